// The homework details screen and its attachment list against the sample service: the
// statistics button, read reports, the deleted homework, stars, the bottom bar, the
// description, voices and files.
#include "HomeworkFixture.h"

#include "core/MVTPublicMethod.h"
#include "homework/HomeworkAttachmentList.h"
#include "homework/MVTNHWAddViewController.h"
#include "homework/MVTNHWAnswerInfoViewController.h"
#include "homework/MVTNHWDetailsViewController.h"
#include "homework/MVTNHWSubmitStudentsListViewController.h"
#include "shell/MVTWebViewController.h"

#include "platform/AudioPlayer.h"
#include "platform/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextMeasure.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace platform;
using sample_service::Reply;
using testing_support::delayedReply;

namespace {

class SpyDetailsDelegate : public MVTNHWDetailsViewDelegate {
public:
    void didReadHomework() override { calls.push_back("read"); }
    void didStarOrNotHomeworkWith(bool starred) override { calls.push_back(starred ? "star" : "unstar"); }
    void reloadNewHomeworkData() override { calls.push_back("reload"); }
    std::vector<std::string> calls;
};

class HomeworkDetailsTest : public testing_support::HomeworkTest {
protected:
    // The screen as the list opens it: set up, marked, given its delegate, pushed.
    std::shared_ptr<MVTNHWDetailsViewController> open(const std::string& id, const std::string& marker = "",
                                                      std::optional<std::string> subCount = std::nullopt,
                                                      bool star = false) {
        spy = std::make_shared<SpyDetailsDelegate>();
        details = std::make_shared<MVTNHWDetailsViewController>();
        details->setHwId(id);
        if (subCount) details->setSubCount(*subCount);
        details->setIsStar(star);
        details->setDidSubmit(false);
        if (!marker.empty()) details->view()->setAccessibilityValue(marker);
        details->setDelegate(spy);
        showPushed(details);
        return details;
    }
    std::string contentPath(const std::string& id) const {
        return "homework/" + MVTAccount::sharedInstance().userId().value_or("") + "/content/" + id;
    }
    bool waitForContent(const std::string& id) { return waitForRequests(contentPath(id), 1, details->view()); }
    static fs::path cached(const std::string& file) {
        return fs::path(MVTPublicMethod::getPathByFileName("x", "x")).parent_path() / file;
    }

    std::shared_ptr<SpyDetailsDelegate> spy;
    std::shared_ptr<MVTNHWDetailsViewController> details;
};

TEST_F(HomeworkDetailsTest, ATeachersStatisticsButtonComesFromTheCountOrFromTheReply) {
    signIn("teacher");
    service().setReply("GET", "/services/norvo/homework/1001/content/7", Reply::json({{"content", "背诵"}, {"stdCount", 3}}));
    open("7", "", std::string("0"));
    EXPECT_EQ(details->rightBtn(), nullptr);
    ASSERT_TRUE(waitForContent("7"));
    ASSERT_NE(details->statisticsButton(), nullptr);
    EXPECT_EQ(details->statisticsButton()->currentTitle(), "提交统计(3)");
    EXPECT_TRUE(details->statisticsButton()->isEnabled());
    EXPECT_EQ(details->subCount(), std::optional<std::string>("3"));

    // The reply held back a moment, so the button is seen before it comes.
    Reply held = Reply::json({{"content", "背诵"}, {"stdCount", 3}});
    held.delay = 0.5;
    service().setReply("GET", "/services/norvo/homework/1001/content/7", held);
    open("7", "", std::string("3"));
    ASSERT_NE(details->statisticsButton(), nullptr);
    EXPECT_FALSE(details->statisticsButton()->isEnabled());
    ASSERT_TRUE(pumpUntil([&] { return details->statisticsButton()->isEnabled(); }));
    EXPECT_EQ(details->title(), "作业详情");

    // No button for a count of 0 in the reply either.
    service().setReply("GET", "/services/norvo/homework/1001/content/8", Reply::json({{"content", "x"}, {"stdCount", 0}}));
    open("8");
    ASSERT_TRUE(waitForContent("8"));
    EXPECT_EQ(details->statisticsButton(), nullptr);

    // The button opens the statistics with the count and the id.
    open("7", "", std::string("3"));
    ASSERT_TRUE(pumpUntil([&] { return details->statisticsButton()->isEnabled(); }));
    ASSERT_TRUE(driver->tap(details->statisticsButton()));
    driver->settle();
    auto statistics = std::dynamic_pointer_cast<MVTNHWSubmitStudentsListViewController>(top());
    ASSERT_NE(statistics, nullptr);
    EXPECT_EQ(statistics->hwId(), "7");
    EXPECT_EQ(statistics->title(), "提交统计(3)");
}

TEST_F(HomeworkDetailsTest, ADeletedHomeworkIsStillReportedReadThenClosesAndAsksForAReload) {
    signIn("student");
    service().setReply("GET", "/services/norvo/homework/2001/content/404", Reply::json({{"success", false}}));
    open("404", "one un read");
    ASSERT_TRUE(waitForContent("404"));
    EXPECT_EQ(spy->calls, std::vector<std::string>{"read"});
    auto alert = AlertView::topAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->tag(), 6336);
    EXPECT_EQ(alert->title(), "提示");
    EXPECT_EQ(alert->message(), "当前没有学生作业或已经被删除");
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "知道了");
    EXPECT_TRUE(details->starButton()->isEnabled());
    ASSERT_TRUE(driver->pressAlertButton(0));
    driver->settle();
    EXPECT_EQ(spy->calls, (std::vector<std::string>{"read", "reload"}));
    EXPECT_NE(top(), details);
}

TEST_F(HomeworkDetailsTest, RepliesOfAnyOtherKindLeaveTheScreenEmptyAndUsable) {
    signIn("student");
    const Reply replies[] = {
        Reply::json(Json::array({1, 2})), Reply::json("homework"), Reply::text("<html></html>", "text/html"),
        Reply::text("oops", "text/plain", 500), Reply::text("{\"content\": \"cut", "application/json"),
    };
    int id = 900;
    for (const Reply& reply : replies) {
        const std::string hw = std::to_string(id++);
        service().setReply("GET", "/services/norvo/homework/2001/content/" + hw, reply);
        open(hw, "one un read");
        ASSERT_TRUE(waitForContent(hw));
        EXPECT_TRUE(details->starButton()->isEnabled()) << reply.body;
        EXPECT_EQ(details->descriptionLabel(), nullptr) << reply.body;
        EXPECT_EQ(AlertView::topAlert(), nullptr) << reply.body;
        EXPECT_TRUE(spy->calls.empty()) << reply.body;
    }
}

TEST_F(HomeworkDetailsTest, TheDescriptionAndTheSeparatorBelowIt) {
    signIn("student");
    struct Case {
        Json reply;
        std::string text;
    };
    const Case cases[] = {
        {{{"content", "背诵古诗"}}, "背诵古诗"},
        {{{"content", ""}}, "暂无描述"},
        {{{"content", nullptr}}, "暂无描述"},
        {Json::object(), "暂无描述"},
    };
    int id = 300;
    for (const Case& c : cases) {
        const std::string hw = std::to_string(id++);
        service().setReply("GET", "/services/norvo/homework/2001/content/" + hw, Reply::json(c.reply));
        open(hw);
        ASSERT_TRUE(waitForContent(hw));
        ASSERT_NE(details->descriptionLabel(), nullptr);
        EXPECT_EQ(details->descriptionLabel()->text(), c.text);
        // One line: at least the label's 20 points, and the separator 5 below it.
        const double line = std::max(20.0, TextMeasure::size(c.text, Font::systemFontOfSize(14), 300).height);
        EXPECT_EQ(details->descriptionLabel()->frame().height(), line);
        EXPECT_EQ(details->separator()->frame().y(), 35 + line + 5);
        EXPECT_NE(driver->byText("作业描述:"), nullptr);
    }
}

TEST_F(HomeworkDetailsTest, TheBottomBarOpensTheOwnAnswerOrTheAnswerComposer) {
    // 李明 handed in 5001 but not 5002.
    signIn("student");
    open("5001", "", std::nullopt, true);
    ASSERT_TRUE(waitForContent("5001"));
    ASSERT_NE(details->downButton(), nullptr);
    EXPECT_EQ(details->downButton()->currentTitle(), "查看作业提交");
    EXPECT_EQ(details->contentScrol()->frame().height(), Screen::mainScreen().bounds().height() - 104);
    EXPECT_TRUE(details->starButton()->isSelected());
    ASSERT_TRUE(driver->tap(details->downButton()));
    driver->settle();
    auto answer = std::dynamic_pointer_cast<MVTNHWAnswerInfoViewController>(top());
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer->hwId(), "5001");

    open("5002");
    ASSERT_TRUE(waitForContent("5002"));
    ASSERT_NE(details->downButton(), nullptr);
    EXPECT_EQ(details->downButton()->currentTitle(), "提交作业");
    ASSERT_TRUE(driver->tap(details->downButton()));
    driver->settle();
    auto composer = std::dynamic_pointer_cast<MVTNHWAddViewController>(top());
    ASSERT_NE(composer, nullptr);
    EXPECT_EQ(composer->hwId(), "5002");
    EXPECT_FALSE(composer->isPublishMode());

    // A parent whose child's homework is shown: a bar only for an answer, and no star.
    signIn("parent");
    service().setReply("GET", "/services/norvo/homework/3001/content/5003",
                       Reply::json({{"content", "x"}, {"isAnswered", "1"}}));
    open("5003");
    ASSERT_TRUE(waitForContent("5003"));
    EXPECT_EQ(details->starButton(), nullptr);
    ASSERT_NE(details->downButton(), nullptr);
    EXPECT_EQ(details->downButton()->currentTitle(), "查看作业提交");
    open("5001");
    ASSERT_TRUE(waitForContent("5001"));
    EXPECT_EQ(details->downButton(), nullptr);
}

TEST_F(HomeworkDetailsTest, AStarChangeIsToldOnlyWhenTheServiceTookIt) {
    signIn("student");
    open("5002");
    ASSERT_TRUE(waitForContent("5002"));
    auto star = details->starButton();
    ASSERT_FALSE(star->isSelected());
    // The refusal is held back a moment, so the tap is seen while the request is out.
    Reply refused = Reply::json({{"success", 0}});
    refused.delay = 0.3;
    service().setReply("GET", "/services/norvo/homework/2001/fav/5002/star", refused);
    ASSERT_TRUE(driver->tap(star));
    EXPECT_FALSE(star->isUserInteractionEnabled());
    ASSERT_TRUE(waitForRequests("homework/2001/fav/5002/star", 1, details->view()));
    EXPECT_TRUE(star->isUserInteractionEnabled());
    EXPECT_FALSE(star->isSelected());
    EXPECT_TRUE(spy->calls.empty());

    service().clearReplies();
    ASSERT_TRUE(driver->tap(star));
    ASSERT_TRUE(waitForRequests("homework/2001/fav/5002/star", 2, details->view()));
    EXPECT_EQ(requestsTo("homework/2001/fav/5002/star").back().queryValue("flag"), "1");
    EXPECT_TRUE(star->isSelected());
    ASSERT_TRUE(driver->tap(star));
    ASSERT_TRUE(waitForRequests("homework/2001/fav/5002/star", 3, details->view()));
    EXPECT_EQ(requestsTo("homework/2001/fav/5002/star").back().queryValue("flag"), "0");
    EXPECT_EQ(spy->calls, (std::vector<std::string>{"star", "unstar"}));
}

TEST_F(HomeworkDetailsTest, AVoiceIsFetchedConvertedAndPlayedThenPlayedFromTheCache) {
    // 5001 carries the three-second sample voice, a text file and a picture.
    signIn("student");
    open("5001", "one un read");
    ASSERT_TRUE(waitForContent("5001"));
    EXPECT_EQ(spy->calls, std::vector<std::string>{"read"});
    auto list = details->attachments();
    ASSERT_NE(list->videoBtn(), nullptr);
    EXPECT_EQ(list->duaLa()->text(), "00:03");
    EXPECT_EQ(list->videoBtn()->frame().y(), details->separator()->frame().y() + 5);
    EXPECT_EQ(list->resListArr().size(), 1u);

    ASSERT_TRUE(driver->tap(list->videoBtn()));
    ASSERT_TRUE(pumpUntil([&] { return list->attAudio() && list->attAudio()->isPlaying(); }));
    EXPECT_TRUE(fs::exists(cached("attachs_880002.amr")));
    EXPECT_TRUE(fs::exists(cached("attachs_880002.wav")));
    EXPECT_TRUE(list->videoPalyView()->isAnimating());
    // A tap while it plays stops it; the next plays the cached file with no request.
    ASSERT_TRUE(driver->tap(list->videoBtn()));
    EXPECT_FALSE(list->attAudio()->isPlaying());
    EXPECT_FALSE(list->videoPalyView()->isAnimating());
    const size_t fetched = service().requests().size();
    ASSERT_TRUE(driver->tap(list->videoBtn()));
    EXPECT_TRUE(list->attAudio()->isPlaying());
    EXPECT_EQ(list->attAudio()->currentTime(), 0);
    EXPECT_EQ(service().requests().size(), fetched);
    // It ends by itself after its three seconds.
    driver->advance(3.5);
    EXPECT_FALSE(list->videoPalyView()->isAnimating());

    // Leaving while it plays silences it.
    ASSERT_TRUE(driver->tap(list->videoBtn()));
    auto player = list->attAudio();
    details->goback();
    EXPECT_FALSE(player->isPlaying());
}

TEST_F(HomeworkDetailsTest, LeavingDuringADownloadCancelsItAndLeavesNoFile) {
    signIn("student");
    service().setReply("GET", "/resource/880003/download", delayedReply("text/plain", "slow"));
    open("5002");
    ASSERT_TRUE(waitForContent("5002"));
    auto list = details->attachments();
    ASSERT_FALSE(list->resListArr().empty());
    auto row = driver->byAccessibilityValue("880003");
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(driver->tap(row));
    EXPECT_TRUE(list->overlay()->attDownloading());
    ASSERT_TRUE(pumpUntil([&] { return service().lastRequest("/resource/880003/download").has_value(); }));
    details->goback();
    EXPECT_FALSE(list->overlay()->attDownloading());
    EXPECT_FALSE(fs::exists(cached("attachs_880003.txt")));
    EXPECT_EQ(list->overlay()->download()->connection(), nullptr);
}

TEST_F(HomeworkDetailsTest, TheAttachmentListLaysOutOneVoiceThenTheFiles) {
    signIn("teacher");
    const Json resources = Json::array({
        {{"id", "1"}, {"fileType", "audio"}, {"suffix", "amr"}, {"resourceName", "一.amr"}, {"duration", "5"}},
        {{"id", "2"}, {"fileType", "file"}, {"suffix", "PDF"}, {"resourceName", "说明.pdf"}, {"size", "1023"}},
        {{"id", "3"}, {"fileType", "audio"}, {"suffix", "amr"}, {"resourceName", "二.amr"}, {"duration", "65"}},
        {{"id", "4"}, {"fileType", "image"}, {"suffix", "JPG"}, {"resourceName", "板书.jpg"}, {"size", 1572864}},
    });
    service().setReply("GET", "/services/norvo/homework/1001/content/20",
                       Reply::json({{"content", "x"}, {"resList", resources}}));
    open("20");
    ASSERT_TRUE(waitForContent("20"));
    auto list = details->attachments();
    // Only the last voice is offered.
    EXPECT_EQ(textOf(list->audioDic(), "id"), "3");
    EXPECT_EQ(list->duaLa()->text(), "01:05");
    EXPECT_EQ(list->videoBtn()->accessibilityValue(), "3");
    EXPECT_EQ(list->videoBtn()->accessibilityLabel(), "amr");
    ASSERT_EQ(list->resListArr().size(), 2u);
    auto pdf = driver->byAccessibilityValue("2");
    auto jpg = driver->byAccessibilityValue("4");
    ASSERT_NE(pdf, nullptr);
    ASSERT_NE(jpg, nullptr);
    EXPECT_EQ(pdf->frame().y(), 110);
    EXPECT_EQ(jpg->frame().y(), 155);
    EXPECT_EQ(pdf->accessibilityLabel(), "pdf");
    EXPECT_EQ(pdf->accessibilityHint(), "说明.pdf");
    EXPECT_NE(driver->byText("1023.0B"), nullptr);
    EXPECT_NE(driver->byText("1.5M"), nullptr);

    struct Size {
        Json bytes;
        const char* text;
    };
    for (const Size& s : {Size{1023, "1023.0B"}, Size{1024, "1.0KB"}, Size{"1572864", "1.5M"}, Size{0, "0.0B"}})
        EXPECT_EQ(HomeworkAttachmentList::sizeText(s.bytes), s.text);
    struct Icon {
        const char* suffix;
        const char* picture;
    };
    for (const Icon& i : {Icon{"PDF", "word.png"}, Icon{"JPG", "picture.png"}, Icon{"txt", "text.png"},
                          Icon{"RAR", "zip.png"}, Icon{"pptx", "ppt.png"}, Icon{"xls", "excel.png"}, Icon{"", "word.png"}})
        EXPECT_EQ(HomeworkAttachmentList::iconNameForSuffix(i.suffix), i.picture);

    // A reply with files only: the first row takes the voice button's place.
    service().setReply("GET", "/services/norvo/homework/1001/content/21",
                       Reply::json({{"content", "x"}, {"resList", Json::array({resources[1]})}}));
    open("21");
    ASSERT_TRUE(waitForContent("21"));
    EXPECT_EQ(details->attachments()->videoBtn(), nullptr);
    EXPECT_EQ(driver->byAccessibilityValue("2")->frame().y(), 65);
}

}  // namespace
