// What question texts need of the HTML text view: pictures sized by their attributes or
// style, raised and lowered text, and views of the delegate (text fields) standing at the
// pictures that hold their place.
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/ViewController.h"
#include "support/AppTest.h"

#include <pango/pango.h>

using namespace platform;

namespace {

class HtmlQuestionFeaturesTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        HtmlLayout::clearCache();
    }
};

// Hands a text field for every picture whose source is "blank:".
struct BlankFields : HtmlTextViewDelegate {
    std::vector<std::shared_ptr<TextField>> fields;
    std::vector<Rect> frames;
    std::shared_ptr<View> viewForAttachment(HtmlTextView&, const HtmlAttachment& attachment, const Rect& frame) override {
        if (attachment.source != "blank:") return nullptr;
        auto holder = std::make_shared<View>(frame);
        auto field = std::make_shared<TextField>(Rect(0, 0, frame.width(), frame.height()));
        holder->addSubview(field);
        fields.push_back(field);
        frames.push_back(frame);
        return holder;
    }
};

TEST_F(HtmlQuestionFeaturesTest, PicturesTakeTheirStyledOrGivenSize) {
    HtmlTextOptions options;
    options.maxImageWidth = options.maxImageHeight = 100;
    const struct {
        const char* markup;
        double w, h;
    } cases[] = {
        {"<img src=\"x:\" style=\"width: 72px; height: 36px;\">", 72, 36},
        {"<img src=\"x:\" width=\"40\" height=\"20\">", 40, 20},
        {"<img src=\"x:\" width=\"10\" height=\"10\" style=\"width:30px\">", 30, 10},
        {"<img src=\"x:\" width=\"400\" height=\"100\">", 100, 25},
        {"<img src=\"x:\" style=\"width: 50%; height: 20px\">", 100, 20},
    };
    for (const auto& c : cases) {
        auto layout = HtmlLayout::layoutFor(c.markup, options, 300);
        ASSERT_EQ(layout->attachments().size(), 1u) << c.markup;
        EXPECT_NEAR(layout->attachments()[0].frame.width(), c.w, 0.01) << c.markup;
        EXPECT_NEAR(layout->attachments()[0].frame.height(), c.h, 0.01) << c.markup;
        EXPECT_EQ(layout->attachments()[0].source, "x:");
    }
}

TEST_F(HtmlQuestionFeaturesTest, SuperscriptsAndSubscriptsKeepTheirText) {
    auto plain = HtmlLayout::layoutFor("x2", {}, 300);
    auto raised = HtmlLayout::layoutFor("x<sup>2</sup>", {}, 300);
    auto lowered = HtmlLayout::layoutFor("H<sub>2</sub>O", {}, 300);
    EXPECT_EQ(raised->plainText(), "x2");
    EXPECT_EQ(lowered->plainText(), "H2O");
    // The raised figure makes the line taller than the plain one.
    EXPECT_GT(raised->height(), plain->height() - 0.5);
}

TEST_F(HtmlQuestionFeaturesTest, ThreeBlanksGiveThreeFieldsInReadingOrderToTypeInto) {
    UiDriver driver;
    auto host = std::make_shared<ViewController>();
    driver.show(host);
    auto blanks = std::make_shared<BlankFields>();
    auto view = std::make_shared<HtmlTextView>(Rect(10, 100, 300, 20));
    view->setDelegate(blanks);
    HtmlTextOptions options;
    options.maxImageWidth = options.maxImageHeight = 280;
    const std::string blank = "<img style=\"vertical-align:middle; width: 60px; height: 28px;\" src=\"blank:\">";
    view->setHtml("一" + blank + "二二二二二二二二" + blank + "三三三三三三三三三三三" + blank + "四", options);
    view->setFrame({10, 100, 300, view->contentHeightForWidth(300)});
    host->view()->addSubview(view);
    // The delegate's views are asked for when the view lays out.
    view->layoutIfNeeded();
    driver.pump();

    ASSERT_EQ(blanks->fields.size(), 3u);
    const auto& pictures = view->layout()->attachments();
    ASSERT_EQ(pictures.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        // Each field stands where its picture holds the place.
        EXPECT_EQ(blanks->frames[i], pictures[i].frame);
        if (i > 0) {
            const Rect a = pictures[i - 1].frame, b = pictures[i].frame;
            EXPECT_TRUE(b.y() > a.y() + 1 || (std::abs(b.y() - a.y()) <= 1 && b.x() > a.x())) << i;
        }
    }
    const char* typed[] = {"甲", "乙", "丙"};
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(driver.tap(blanks->fields[i])) << i;
        EXPECT_TRUE(blanks->fields[i]->isFirstResponder()) << i;
        driver.type(typed[i]);
        EXPECT_EQ(blanks->fields[i]->text(), typed[i]);
    }
}

}  // namespace
