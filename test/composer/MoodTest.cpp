// The mood composer: the mood chosen at opening, phrases by role, the parts it sends, the
// replies, and one mood a day by the universal-time day.
#include "ComposerFixture.h"

#include "composer/MVTAddFeelingController.h"

#include "platform/Dates.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextView.h"

namespace {

using testing_support::ComposerTest;
using sample_service::Reply;

constexpr const char* kPublish = "services/norvo/postMessage/essay/12/publish";

class MoodTest : public ComposerTest {
protected:
    void SetUp() override {
        ComposerTest::SetUp();
        platform::setLocalTimeZone("Asia/Shanghai");
        token_ = platform::NotificationCenter::defaultCenter().addObserver(
            kToGetNewDataNotification, [this](const platform::Notification&) { ++newData_; });
    }
    void TearDown() override {
        token_.reset();
        platform::setLocalTimeZone("");
        ComposerTest::TearDown();
    }
    std::shared_ptr<MVTAddFeelingController> openMood() {
        auto mood = std::make_shared<MVTAddFeelingController>();
        mood->init();
        present(mood);
        return mood;
    }
    size_t publishes() { return requestsTo(std::string("/") + kPublish); }
    // Sends and waits for the reply.
    void send(MVTAddFeelingController& mood) {
        const size_t before = publishes();
        mood.sendBtnClicked();
        pumpUntil([&] { return publishes() > before && !mood.issending; });
        driver_->pump();
    }
    platform::ObserverToken token_;
    int newData_ = 0;
};

TEST_F(MoodTest, OpensOnTheFirstMoodWithThePhraseOfTheRole) {
    const std::pair<const char*, const char*> cases[] = {
        {"student", "新的一天又开始啦~让我们一起天天向上！"},
        {"teacher", "能看到你们每日的成长是老师最幸福的事情。"},
        {"parent", "能看到孩子们每日的成长是父母最幸福的事情。"},
    };
    for (const auto& [role, phrase] : cases) {
        SCOPED_TRACE(role);
        setRole(role);
        auto mood = openMood();
        EXPECT_EQ(mood->feelingNum, 1);
        EXPECT_EQ(mood->mytextView->text(), phrase);
        EXPECT_FALSE(mood->moodPicture(1)->isUserInteractionEnabled());
        EXPECT_TRUE(mood->moodPicture(2)->isUserInteractionEnabled());
        closePresented();
    }
    setRole("parent");
    EXPECT_EQ(MVTAddFeelingController::moodRecords("parent")[1]["text"], "要有一颗争当学霸的奋进之心！");
}

TEST_F(MoodTest, AChosenMoodReplacesTheTextAndIsSentAsItsNumberPlusFifty) {
    service().setReply("POST", kPublish, Reply::text("801"));
    auto mood = openMood();
    mood->mytextView->setText("typed by hand");
    mood->selectFeeling(5);
    EXPECT_EQ(mood->mytextView->text(), "让我们那疲劳的眼睛看一看蓝天，让紧张的大脑吹进清风。");
    send(*mood);
    auto request = service().lastRequest(kPublish);
    ASSERT_TRUE(request);
    std::vector<std::string> names;
    for (const auto& part : request->parts) names.push_back(part.name);
    EXPECT_EQ(names, (std::vector<std::string>{"content", "mood"}));
    EXPECT_EQ(request->parts[1].bytes, "55");
    EXPECT_EQ(request->parts[0].bytes, "让我们那疲劳的眼睛看一看蓝天，让紧张的大脑吹进清风。");
    EXPECT_EQ(newData_, 1);
    driver_->settle();
    EXPECT_FALSE(tabs_->presentedViewController());
}

TEST_F(MoodTest, MentionsGoAsOnePart) {
    service().setReply("POST", kPublish, Reply::text("9"));
    auto mood = openMood();
    mood->returnList({{"name", "王老师"}, {"user", "7"}});
    mood->returnList({{"name", "李明"}, {"user", "8"}});
    send(*mood);
    auto request = service().lastRequest(kPublish);
    ASSERT_TRUE(request);
    ASSERT_EQ(request->parts.size(), 3u);
    EXPECT_EQ(request->parts[1].name, "relative");
    EXPECT_EQ(request->parts[1].bytes, "@王老师 :7,@李明 :8");
}

TEST_F(MoodTest, AMoodAtTenToMidnightUniversalTimeBlocksTheNextUntilMidnight) {
    service().setReply("POST", kPublish, Reply::text("12"));
    clock_->set(*platform::parseDate("2026-01-05 23:50:00", "yyyy-MM-dd HH:mm:ss", true));
    auto mood = openMood();
    send(*mood);
    EXPECT_EQ(platform::UserDefaults::standard().stringForKey("12FeelingTime"), "2026-01-05");
    driver_->settle();

    // In Shanghai it is already the next morning; the day that counts is the universal one.
    tabs_->whichMenuClickedWith("3");
    EXPECT_EQ(alertMessage(), "一天之内只可以发送一次心情哦");
    EXPECT_FALSE(tabs_->presentedViewController());
    platform::AlertView::clearVisible();
    auto again = openMood();
    const size_t before = publishes();
    again->sendBtnClicked();
    EXPECT_EQ(alertMessage(), "一天之内只可以发送一次心情哦");
    EXPECT_EQ(publishes(), before);
    closePresented();

    clock_->set(*platform::parseDate("2026-01-06 00:00:00", "yyyy-MM-dd HH:mm:ss", true));
    tabs_->whichMenuClickedWith("3");
    driver_->settle();
    EXPECT_EQ(alertMessage(), "");
    EXPECT_TRUE(tabs_->presentedViewController());
}

TEST_F(MoodTest, RepliesOtherThanSuccessKeepTheScreenAndTheText) {
    struct Case {
        const char* name;
        Reply reply;
        const char* message;
        bool stored;
    };
    const Case cases[] = {
        {"already posted", Reply::text("-1"), "今天你已经发布过心情", true},
        {"refused", Reply::text("0"), "保存失败,请重新发送", false},
        {"a web page", Reply::text("<html><body>502</body></html>", "text/html"), "保存失败,请重新发送", false},
        {"empty", Reply::text(""), "保存失败,请重新发送", false},
        {"huge", Reply::text(std::string(64 * 1024, '7')), "发送失败,请重新发送", false},
        {"server error", Reply::text("oops", "text/plain", 500), "发送失败,请重新发送", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::UserDefaults::standard().removeObjectForKey("12FeelingTime");
        service().setReply("POST", kPublish, c.reply);
        auto mood = openMood();
        mood->mytextView->setText("今天很好");
        send(*mood);
        EXPECT_EQ(alertMessage(), c.message);
        EXPECT_EQ(MVTAddFeelingController::sentToday("12"), c.stored);
        EXPECT_EQ(mood->mytextView->text(), "今天很好");
        EXPECT_TRUE(mood->sendButton()->isEnabled());
        EXPECT_TRUE(tabs_->presentedViewController());
        EXPECT_EQ(newData_, 0);
        closePresented();
    }
}

TEST_F(MoodTest, TheSampleServiceTakesOneMoodADayAndEveryOtherPost) {
    service().clearReplies();
    auto mood = openMood();
    send(*mood);
    driver_->settle();
    EXPECT_FALSE(tabs_->presentedViewController());
    // The handset forgets its day: the service still refuses a second mood that day.
    platform::UserDefaults::standard().removeObjectForKey("12FeelingTime");
    auto again = openMood();
    send(*again);
    EXPECT_EQ(alertMessage(), "今天你已经发布过心情");
    EXPECT_TRUE(MVTAddFeelingController::sentToday("12"));
    platform::AlertView::clearVisible();
    // Posts without a mood go on being published.
    closePresented();
    auto composer = open<AddFeedViewController>();
    composer->mytextView->setText("一篇动态");
    composer->sendBtnClicked(composer->sendControl().get());
    pumpUntil([&] { return queued().empty(); });
    auto post = service().lastRequest(kPublish);
    ASSERT_TRUE(post);
    EXPECT_EQ(post->parts.front().bytes, "一篇动态");
}

TEST_F(MoodTest, EmptyOrTooLongTextsAreRefusedBeforeAnyRequest) {
    auto mood = openMood();
    mood->mytextView->setText("");
    mood->sendBtnClicked();
    EXPECT_EQ(alertMessage(), "你还没有添加内容哦");
    platform::AlertView::clearVisible();
    mood->mytextView->setText(std::string(1001, 'x'));
    mood->sendBtnClicked();
    EXPECT_EQ(alertMessage(), "内容不能超过1000个字");
    EXPECT_EQ(publishes(), 0u);
}

}  // namespace
