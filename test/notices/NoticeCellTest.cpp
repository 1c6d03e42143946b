// The notice card: heights of its parts, the voice button's place, the read line, file
// icons and the thumbnail cache.
#include "NoticeFixture.h"

#include "notices/MVTNotiCell.h"
#include "notices/NoticeShared.h"

#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/LazyImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

#include <cmath>

using namespace platform;

namespace {

class RecordingCellDelegate : public MVTNotiCellDelegate {
public:
    void showImage(const Json& pictures, int index) override {
        shownPictures = pictures;
        shownIndex = index;
    }
    void againGetListData() override { ++retries; }
    void sendLinkWith(const std::string&, const std::string&) override {}
    void toDownLoadAttachWith(const std::string& id, const std::string& name, const std::string& type) override {
        file = {id, name, type};
    }
    void toOpenOrDownLoadAudio(const std::string&, const std::string&, int, bool) override {}
    void gotoPrivateNotificationViewControllerWithDic(const Json&, int) override {}

    Json shownPictures;
    int shownIndex = -1;
    int retries = 0;
    std::vector<std::string> file;
};

Json pictures(int count) {
    Json list = Json::array();
    for (int i = 0; i < count; ++i) list.push_back({{"type", "image"}, {"id", std::to_string(881001 + i)}});
    return list;
}

class NoticeCellTest : public testing_support::NoticeTest {
protected:
    std::shared_ptr<MVTNotiCell> build(const Json& notice) {
        auto cell = MVTNotiCell::make();
        cell->setDelegate(delegate);
        cell->reloadCellWith(notice, 0);
        return cell;
    }
    std::shared_ptr<RecordingCellDelegate> delegate = std::make_shared<RecordingCellDelegate>();
};

TEST_F(NoticeCellTest, ABareNoticeIsFiftyFivePointsAndAVoiceAddsSixtyWithoutPicturesAndThirtyFiveWith) {
    signIn("student");
    EXPECT_EQ(build({{"name", "王老师"}})->frame().height(), 55);
    const Json voice = {{"type", "audio"}, {"resModuleId", "880002"}};
    EXPECT_EQ(build({{"attachments", Json::array({voice})}})->frame().height(), 55 + 60);
    Json withPicture = pictures(1);
    withPicture.push_back(voice);
    const auto pictureOnly = build({{"attachments", pictures(1)}});
    const auto both = build({{"attachments", withPicture}});
    EXPECT_EQ(both->frame().height(), pictureOnly->frame().height() + 35);
    EXPECT_EQ(pictureOnly->thumbnails().size(), 1u);
}

TEST_F(NoticeCellTest, TheVoiceButtonSitsByTheCountOfAllPictures) {
    struct Case {
        std::size_t pictures;
        double offset;
    } cases[] = {{0, 0}, {1, -39}, {2, -30}, {3, -30}, {4, -45}, {6, -45}, {7, -39}, {9, -39}};
    for (const auto& c : cases) EXPECT_EQ(MVTNotiCell::voiceButtonTop(100, c.pictures), 100 + c.offset) << c.pictures;
}

TEST_F(NoticeCellTest, FivePicturesShowThreeThumbnailsAndTheThirdOpensTheViewerAtTwoWithAllFive) {
    signIn("student");
    Json attachments = pictures(5);
    attachments.push_back({{"type", "audio"}, {"resModuleId", "880002"}});
    auto cell = build({{"attachments", attachments}});
    ASSERT_EQ(cell->thumbnails().size(), 3u);
    const double side = (Screen::mainScreen().bounds().width() - 71) / 4;
    const double y = 30;
    EXPECT_EQ(cell->recordBtn()->frame().y(), std::floor(y + side + 5) - 45);
    cell->tapImage(2);
    EXPECT_EQ(delegate->shownIndex, 2);
    EXPECT_EQ(delegate->shownPictures.size(), 5u);
}

TEST_F(NoticeCellTest, TheReadLineClampsReadAtZeroAndCountsSentFromBothNumbers) {
    struct Case {
        Json notice;
        std::string text;
    } cases[] = {
        {{{"readCount", -1}, {"notReadCount", 5}}, "0人已读/发送4人"},
        {{{"readCount", 3}, {"notReadCount", 2}, {"receipt", 1}}, "3人回执/发送5人"},
        {{{"readCount", "2"}, {"notReadCount", "0"}}, "2人已读/发送2人"},
        {{{"readCount", 0}, {"notReadCount", 0}}, ""},
        {Json::object(), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(MVTNotiCell::readLineText(c.notice), c.text) << c.notice.dump();
    signIn("student");
    EXPECT_EQ(build({{"readCount", 1}, {"notReadCount", 1}})->readButton()->currentTitle(), "1人已读/发送2人");
    EXPECT_FALSE(build(Json::object())->readButton());
}

TEST_F(NoticeCellTest, AFileTypeInCapitalsShowsTheLowerCaseIconKeepsItsLabelAndHandsOverLowerCase) {
    signIn("student");
    auto cell = build({{"attachments", Json::array({{{"type", "ZIP"}, {"resModuleId", "880004"}, {"name", "复习资料"}}})}});
    auto button = std::dynamic_pointer_cast<Button>(
        testing_support::findInside(cell->bgView(), [](const View& v) { return v.accessibilityHint() == "880004"; }));
    ASSERT_TRUE(button);
    auto label = std::dynamic_pointer_cast<Label>(button->viewWithTag(MVTNotiCell::kLinkLabelTag));
    EXPECT_EQ(label->text(), "复习资料.ZIP");
    cell->toDownLoadAttachWith(*button);
    EXPECT_EQ(delegate->file, (std::vector<std::string>{"880004", "复习资料", "zip"}));
    EXPECT_EQ(notices::fileIconName("zip"), "zip.png");
    EXPECT_EQ(notices::fileIconName("docx"), "word.png");
    EXPECT_EQ(notices::fileIconName("exe"), "link.png");
}

TEST_F(NoticeCellTest, BodyLinesBecomeListItemsWithEmoticonsAndMedalsFromTheApplication) {
    const std::string markup = notices::noticeBodyMarkup(
        "一</br>二[em:12:]<img src=\"http://x.cn/static/images/honor/honor_meyo.gif\" class=\"honor-icon\"/>");
    EXPECT_EQ(markup.rfind("<li>", 0), 0u);
    EXPECT_NE(markup.find("</li><li>"), std::string::npos);
    EXPECT_NE(markup.find("src='12.png'"), std::string::npos);
    EXPECT_NE(markup.find("src='honor_meyo.gif'"), std::string::npos);
    EXPECT_EQ(markup.find("http://x.cn"), std::string::npos);
}

TEST_F(NoticeCellTest, TheBodyIsMeasuredAtTheWidthItIsShownAt) {
    signIn("student");
    std::string content;
    for (int i = 0; i < 40; ++i) content += "通知内容很长";
    auto cell = build({{"content", content}});
    auto body = std::dynamic_pointer_cast<HtmlTextView>(
        testing_support::findInside(cell->bgView(), [](const View& v) { return v.className() == "HtmlTextView"; }));
    ASSERT_TRUE(body);
    EXPECT_EQ(body->frame().height(), body->contentHeightForWidth(body->frame().width()) + 10);
}

TEST_F(NoticeCellTest, OnePictureIsFetchedBigSeveralMediumAndACachedOneWithoutARequest) {
    signIn("student");
    build({{"attachments", pictures(1)}});
    ASSERT_TRUE(pumpUntil([&] { return notices::cachedThumbnail("881001").has_value(); }));
    auto first = service().lastRequest("/resource/view/img_thumb/881001");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->queryValue("size"), "big");
    build({{"attachments", Json::array({pictures(3)[1], pictures(3)[2]})}});
    ASSERT_TRUE(pumpUntil([&] { return notices::cachedThumbnail("881003").has_value(); }));
    EXPECT_EQ(service().lastRequest("/resource/view/img_thumb/881003")->queryValue("size"), "m");

    service().clearRequests();
    auto cell = build({{"attachments", pictures(1)}});
    EXPECT_TRUE(cell->thumbnails()[0]->image());
    driver->pump();
    EXPECT_EQ(service().requestCount(), 0u);
}

TEST_F(NoticeCellTest, ThumbnailsThatArriveTogetherWriteTheDefaultsFileOnce) {
    const int before = notices::thumbnailWrites();
    for (int i = 0; i < 45; ++i) {
        std::string key = "t";
        key += std::to_string(i);
        notices::storeThumbnail(key, "bytes");
    }
    driver->pump();
    EXPECT_EQ(notices::thumbnailWrites(), before + 1);
    UserDefaults::reloadStandard();
    EXPECT_EQ(UserDefaults::standard().dataForKey("t44"), "bytes");
}

TEST_F(NoticeCellTest, TheFooterShowsMoreNoMoreOrTheRetryThatAsksAgain) {
    signIn("student");
    auto footer = [&](bool more, bool failed) {
        auto cell = MVTNotiCell::make();
        cell->setDelegate(delegate);
        cell->reloadMoreWith(more, failed);
        EXPECT_EQ(cell->frame().height(), 40);
        return cell;
    };
    EXPECT_EQ(footer(true, false)->footerLabel()->text(), "更多...");
    EXPECT_EQ(footer(false, false)->footerLabel()->text(), "没有更多了");
    auto failed = footer(true, true);
    EXPECT_EQ(failed->footerLabel()->text(), "加载失败,点击重新加载");
    auto retry = std::dynamic_pointer_cast<Button>(failed->contentView()->subviews().back());
    ASSERT_TRUE(retry);
    failed->toAgainLoadData(*retry);
    EXPECT_EQ(delegate->retries, 1);
    EXPECT_FALSE(retry->isEnabled());
}

}  // namespace

namespace {

TEST_F(NoticeCellTest, ABodyPictureFromTheWebShowsTheMedalUntilItComesThenFitsItsBoxAboutItsCentre) {
    signIn("student");
    const std::string address = service().baseUrl() + "news/pictures/article-1.png";
    auto cell = build({{"content", "看图<img src=\"" + address + "\" width=16 height=16/>[em:12:]"}});
    ASSERT_TRUE(cell->bodyView());
    cell->bodyView()->layoutSubviews();  // as when the row is shown
    std::vector<std::shared_ptr<LazyImageView>> pictures;
    for (const auto& sub : cell->bodyView()->subviews())
        if (auto picture = std::dynamic_pointer_cast<LazyImageView>(sub)) pictures.push_back(picture);
    ASSERT_EQ(pictures.size(), 2u);
    auto remote = pictures[0]->url() == address ? pictures[0] : pictures[1];
    auto emoticon = remote == pictures[0] ? pictures[1] : pictures[0];
    EXPECT_EQ(emoticon->image(), Image::imageNamed("12.png"));
    EXPECT_EQ(remote->image(), Image::imageNamed("honor_meyo.gif"));
    // Building the card (as for a row height) fetches nothing.
    driver->pump();
    EXPECT_FALSE(service().lastRequest("/news/pictures/article-1.png"));

    const Rect before = remote->frame();
    remote->startLoading();
    emoticon->startLoading();
    ASSERT_TRUE(pumpUntil([&] { return remote->image() != Image::imageNamed("honor_meyo.gif"); }));
    // The 160-point picture is shown within the 36-point box, about the same centre.
    EXPECT_DOUBLE_EQ(remote->frame().width(), 36);
    EXPECT_DOUBLE_EQ(remote->frame().height(), 36);
    EXPECT_DOUBLE_EQ(remote->frame().midX(), before.midX());
    EXPECT_DOUBLE_EQ(remote->frame().midY(), before.midY());
    EXPECT_EQ(service().requestCount(), 1u);
}

}  // namespace
