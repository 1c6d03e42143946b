// Chat texts: the split into pieces, ChatView's three walks (drawing, height, width), the
// bubble's HTML form and the bubble width.

#include "chat/ChatMarkup.h"
#include "chat/ChatView.h"
#include "platform/ui/Font.h"
#include "platform/ui/TextMeasure.h"
#include "support/AppTest.h"

#include <string>
#include <vector>

using Pieces = std::vector<std::string>;

namespace {

class ChatMarkupTest : public testing_support::AppTest {};

double textWidth(const std::string& text) {
    double sum = 0;
    for (const auto& c : ChatView::characters(text, false))
        sum += platform::TextMeasure::sizeWithFont(c, platform::Font::systemFontOfSize(16)).width;
    return sum;
}

std::string faces(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += "[em:" + std::to_string(i) + ":]";
    return text;
}

TEST_F(ChatMarkupTest, SplitsTextsIntoPieces) {
    struct Case {
        std::string text;
        Pieces pieces;
    };
    const std::vector<Case> cases = {
        {"word[em:2:]", {"word", "[em:2:]", ""}},
        {"[em:1:][em:2:]", {"[em:1:]", "[em:2:]", ""}},
        {"plain text", {"plain text"}},
        {"a[em:1 open", {"a[em:1 open"}},
        {"", {""}},
        {"[em:x:]b", {"[em:x:]", "b"}},
        // A ":]" before the opening closes nothing; the pieces still cover the text.
        {"a:]b[em:3:]", {"a:]b", "[em:3:]", ""}},
        {"[em:]x:]", {"[em:]x:]", ""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChatView::parserMessage(c.text), c.pieces) << c.text;
        std::string joined;
        for (const auto& p : ChatView::parserMessage(c.text)) joined += p;
        EXPECT_EQ(joined, c.text);
    }
}

TEST_F(ChatMarkupTest, CharactersCountUtf16UnitsAndKeycaps) {
    EXPECT_EQ(ChatView::characters("1\u20E3", true), (Pieces{"1\u20E3"}));
    EXPECT_EQ(ChatView::characters("1\u20E3", false).size(), 2u);
    EXPECT_EQ(ChatView::characters("12", true), (Pieces{"1", "2"}));
    EXPECT_EQ(ChatView::characters("a😄b", false), (Pieces{"a", "😄", "b"}));
    EXPECT_EQ(ChatView::characters("中文", false), (Pieces{"中", "文"}));
}

TEST_F(ChatMarkupTest, FacesBreakEarlierForTheHeightThanForDrawing) {
    ChatView view;
    view.initWithFrame({{0, 0}, {96, 48}});
    view.setDatas(ChatView::parserMessage(faces(4)));
    auto placed = view.layout(96);
    ASSERT_EQ(placed.size(), 4u);
    for (const auto& item : placed) EXPECT_EQ(item.origin.y, 2);  // all on the first line
    EXPECT_EQ(ChatView::heightOfStrings(ChatView::parserMessage(faces(4)), 96), 48);
    EXPECT_EQ(ChatView::heightOfStrings({}, 96), 24);
}

TEST_F(ChatMarkupTest, WidthIsTheLineOrTheWholeWidthAfterABreak) {
    EXPECT_EQ(ChatView::widthOfStrings(ChatView::parserMessage(faces(3)), 230), 72);
    EXPECT_EQ(ChatView::widthOfStrings(ChatView::parserMessage(faces(10)), 230), 230);
    EXPECT_EQ(ChatView::widthOfStrings({}, 230), 0);
}

TEST_F(ChatMarkupTest, AFaceWithoutPictureIsDrawnAsItsCharacters) {
    ChatView view;
    view.initWithFrame({{0, 0}, {300, 24}});
    view.setDatas(ChatView::parserMessage("[em:x:]"));
    auto placed = view.layout(300);
    ASSERT_EQ(placed.size(), 7u);
    EXPECT_FALSE(placed[0].face);
    // A number that names no plain resource is never looked up.
    EXPECT_FALSE(ChatView::hasFacePicture("../1"));
    EXPECT_TRUE(ChatView::hasFacePicture("1"));
}

TEST_F(ChatMarkupTest, ListModeDrawsGreyFourteenPoints) {
    ChatView view;
    view.initWithFrame({{0, 0}, {300, 24}}, true);
    EXPECT_EQ(view.myTextColor(), platform::Color::whiteColor());
    view.setIsFromChatList(true);
    view.setDatas({"ab"});
    auto placed = view.layout(300);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0].origin.y, 5);  // (24 - 14) / 2
}

TEST_F(ChatMarkupTest, HtmlFormOfAChatText) {
    struct Case {
        std::string text, html;
    };
    const std::string face12 = R"(<img style="vertical-align:middle;" src='12.png' width=21 height=21/>)";
    const std::vector<Case> cases = {
        {"[em:12:]", face12},
        {R"(<img src="http://host:8080/static/images/face/12.png" class="face">)",
         R"(<img style="vertical-align:middle;" src='12.png' width=20 height=20/>)"},
        {"one</br>two", R"(<li>one<span style="color:white;">.</span></li><li>two</li>)"},
        {"[em:a:]", "[em:a:]"},
        // Markup a message holds shows as text.
        {"<b>x</b> & y", "&lt;b&gt;x&lt;/b&gt; &amp; y"},
        {"<script>[em:12:]", "&lt;script&gt;" + face12},
    };
    for (const auto& c : cases) EXPECT_EQ(chatmarkup::htmlOf(c.text), c.html) << c.text;
}

TEST_F(ChatMarkupTest, BubbleWidthWithFacesAndTheTenthTokenCut) {
    EXPECT_EQ(chatmarkup::bubbleWidth("", 180), 0);
    EXPECT_DOUBLE_EQ(chatmarkup::bubbleWidth("[em:1:]word[em:2:]", 500), textWidth("😄word😄"));
    EXPECT_DOUBLE_EQ(chatmarkup::bubbleWidth("word[em:1:]", 500), textWidth("word[em:1:]"));
    // The same token twice is one replacement.
    EXPECT_DOUBLE_EQ(chatmarkup::bubbleWidth("[em:1:]a[em:1:]", 500), textWidth("😄a😄"));
    EXPECT_EQ(chatmarkup::bubbleWidth(faces(10), 500), 500);
    EXPECT_DOUBLE_EQ(chatmarkup::bubbleWidth(faces(9), 500), textWidth("😄😄😄😄😄😄😄😄😄"));
    EXPECT_EQ(chatmarkup::bubbleWidth(std::string(200, 'w'), 180), 180);
}

}  // namespace
