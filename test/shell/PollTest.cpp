#include "TabBarFixture.h"

#include "chat/MVTInteractionViewController.h"
#include "contacts/MVTContactViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTtirraDataBase.h"
#include "feed/MVTHomeViewController.h"
#include "me/MVTAppsViewController.h"
#include "me/MVTUserSettingViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MyTabBarController.h"
#include "shell/myNavigationController.h"

#include "platform/Application.h"
#include "platform/NotificationCenter.h"
#include "platform/Paths.h"
#include "platform/Reachability.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"

#include <fstream>
#include <sstream>

using namespace platform;

namespace {

constexpr const char* kPollPath = "/services/norvo/user/12/new/count";

class PollTest : public testing_support::TabBarFixture {
protected:
    void SetUp() override {
        TabBarFixture::SetUp();
        MVTtirraDataBase::creatUserNewsSettingTable();
        MVTtirraDataBase::creatDynamicTable();
        MVTtirraDataBase::creatMSGtable();
        MVTtirraDataBase::creatSaveUserTable();
    }
    static void cacheMessage() {
        MVTtirraDataBase::insertMSGtable(Json::array({{{"id", 5},
                                                       {"uid", "40"},
                                                       {"msg", "hi"},
                                                       {"sendTime", "2026-01-01 10:00:00"},
                                                       {"status", 0},
                                                       {"isReaded", 1}}}),
                                         "12");
    }
    void build() {
        MVTtirraDataBase::insertUserNewsSettingWithDic(settings_, "12");
        TabBarFixture::build();
    }
    // Builds the bar, lets the two polls of the start go, then answers every poll with `reply`.
    void start() {
        cacheMessage();
        // The second poll of the start goes a tenth of a second after the screen loads
        // (which build() does at this clock time).
        startPollTime_ = platform::now() + 0.1;
        build();
        advance(0.2);
        ASSERT_TRUE(pumpUntil([&] { return requestsTo(kPollPath) == 2; }));
        driver_->pump();
    }
    // The repeating poll runs every `period` seconds and the next one is a whole period
    // after the one of the start: nothing is asked just before it, one poll at it. (A poll
    // only leaves when its timer fires, so no request can be on its way before that.)
    void expectNextPollAfter(double period) {
        auto timer = tabs_->refreshTimer();
        ASSERT_TRUE(timer);
        EXPECT_EQ(timer->interval(), period);
        EXPECT_NEAR(timer->fireDate() - startPollTime_, period, 1e-9);
        const size_t before = requestsTo(kPollPath);
        advance(timer->fireDate() - platform::now() - 0.01);
        driver_->pump();
        EXPECT_EQ(requestsTo(kPollPath), before);
        advance(0.01);
        ASSERT_TRUE(pumpUntil([&] { return requestsTo(kPollPath) == before + 1; }));
    }
    // One poll answered with `reply`; waits until its handling is over (the "users" list of
    // each reply is unique, and the handling copies it).
    void poll(Json reply) {
        reply["users"] = Json::array({++seq_});
        service_->setReply("GET", "services/norvo/user/12/new/count", sample_service::Reply::json(reply));
        tabs_->refreshDatas();
        ASSERT_TRUE(pumpUntil([&] { return tabs_->relevantMeUsersArr() == reply["users"]; }));
    }
    std::vector<std::string> bodies() const {
        std::vector<std::string> found;
        for (auto& n : Application::shared().presentedNotifications()) found.push_back(n.alertBody);
        return found;
    }
    std::shared_ptr<Label> markLabel(int tag) const {
        for (auto& v : tabs_->mytabbarView()->subviews())
            if (v->tag() == tag) return std::dynamic_pointer_cast<Label>(v);
        return nullptr;
    }

    int seq_ = 1000;
    double startPollTime_ = 0;
    Json settings_ = {{"news", "1"},   {"chatNews", "1"}, {"MentionNews", "1"}, {"commenNews", "1"},
                      {"HMNews", "1"}, {"NotiNews", "1"}, {"feedNews", "1"},    {"defaultTime", "60"}};
};

TEST_F(PollTest, NothingIsAskedWithoutACachedPostOrMessage) {
    build();
    advance(0.2);
    advance(60);
    driver_->pump();
    EXPECT_EQ(requestsTo(kPollPath), 0u);
    // A cached message alone is enough; the request then carries no post id.
    cacheMessage();
    tabs_->refreshDatas();
    ASSERT_TRUE(pumpUntil([&] { return requestsTo(kPollPath) == 1; }));
    EXPECT_FALSE(service_->lastRequest(kPollPath)->queryValue("feedId"));
}

TEST_F(PollTest, TheBarPollsTwiceAtStartAndThenOnItsPeriod) {
    start();
    EXPECT_EQ(requestsTo(kPollPath), 2u);
    expectNextPollAfter(60);
}

TEST_F(PollTest, ANonPositivePeriodFallsBackToAMinute) {
    settings_["defaultTime"] = "0";
    start();
    expectNextPollAfter(60);
}

TEST_F(PollTest, ARepliesCountsReachTheAccountTheMarksAndTheBadge) {
    start();
    Application::shared().becomeActive();
    poll({{"success", 1}, {"newPm", 120}, {"newFeed", 3}, {"count", 150}, {"newNotice", true},
          {"newHomework", true}, {"newApply", true}, {"newExam", true}});
    auto& account = MVTAccount::sharedInstance();
    EXPECT_EQ(account.newRelevantMe(), 99);
    EXPECT_TRUE(account.newNoti());
    EXPECT_TRUE(account.newHM());
    EXPECT_TRUE(account.newApply());
    EXPECT_FALSE(account.newExam()) << "tests are for students";
    EXPECT_EQ(tabs_->unreadDic()["newPm"], "120");
    EXPECT_EQ(tabs_->unreadDic()["newFeed"], "3");
    EXPECT_EQ(account.unreadCount(), 120 + 3 + 99);
    EXPECT_EQ(Application::shared().applicationIconBadgeNumber(), 222);
    ASSERT_TRUE(markLabel(MyTabBarController::kRelevantMeCountTag));
    EXPECT_EQ(markLabel(MyTabBarController::kRelevantMeCountTag)->text(), "99");
    ASSERT_TRUE(markLabel(MyTabBarController::kMessageCountTag));
    EXPECT_EQ(markLabel(MyTabBarController::kMessageCountTag)->text(), "99+");
    ASSERT_TRUE(markLabel(MyTabBarController::kFeedCountTag));
    EXPECT_EQ(markLabel(MyTabBarController::kFeedCountTag)->text(), "3");
    EXPECT_TRUE(bodies().empty()) << "nothing is announced in the foreground";

    // A reply without "success", or an empty one, changes nothing, not even the badge.
    tabs_->handlePollReply({{"newPm", 0}, {"newFeed", 0}, {"count", 0}, {"users", Json::array()}});
    tabs_->handlePollReply(Json::object());
    EXPECT_EQ(tabs_->relevantMeUsersArr(), Json::array({1001}));
    EXPECT_EQ(Application::shared().applicationIconBadgeNumber(), 222);
    EXPECT_EQ(account.newRelevantMe(), 99);

    // All quiet: the badge goes to zero and so do the marks.
    poll({{"success", 1}, {"newPm", 0}, {"newFeed", 0}, {"count", 0}});
    EXPECT_EQ(account.unreadCount(), 0);
    EXPECT_EQ(Application::shared().applicationIconBadgeNumber(), 0);
    EXPECT_FALSE(markLabel(MyTabBarController::kRelevantMeCountTag));
    EXPECT_FALSE(account.newApply());
}

TEST_F(PollTest, ABackgroundReplyAnnouncesNewMessagesOnce) {
    start();
    Application::shared().enterBackground();
    const Json reply = {{"success", 1}, {"newPm", 3}, {"pmid", nullptr}};
    poll(reply);
    EXPECT_EQ(bodies(), std::vector<std::string>{"3条新私信"});
    const auto& presented = Application::shared().presentedNotifications().front();
    EXPECT_EQ(presented.soundName, "default");
    poll(reply);
    EXPECT_EQ(bodies().size(), 1u) << "the same count is not announced twice";

    // Back in the foreground the announced counts are forgotten.
    Application::shared().becomeActive();
    NotificationCenter::defaultCenter().postNotification(kBecomeActiveNotification);
    Application::shared().enterBackground();
    poll(reply);
    EXPECT_EQ(bodies(), (std::vector<std::string>{"3条新私信", "3条新私信"}));
}

TEST_F(PollTest, AMessageIdNotAboveTheLastAnnouncedOneIsNotAnnounced) {
    start();
    Application::shared().enterBackground();
    poll({{"success", 1}, {"newPm", 2}, {"pmid", 50}});
    NotificationCenter::defaultCenter().postNotification(kBecomeActiveNotification);
    poll({{"success", 1}, {"newPm", 2}, {"pmid", 50}});
    poll({{"success", 1}, {"newPm", 2}, {"pmid", "49"}});
    EXPECT_EQ(bodies(), std::vector<std::string>{"2条新私信"});
    poll({{"success", 1}, {"newPm", 2}, {"pmid", 51}});
    EXPECT_EQ(bodies(), (std::vector<std::string>{"2条新私信", "2条新私信"}));
}

TEST_F(PollTest, SwitchesDecideWhatIsAnnounced) {
    settings_["chatNews"] = "0";
    MVTAccount::sharedInstance().setRole("student");
    start();
    Application::shared().enterBackground();
    poll({{"success", 1}, {"newPm", 4}, {"newFeed", 2}, {"count", 5}, {"newNotice", 1}, {"newHomework", "1"},
          {"newExam", true}, {"newMicro", true}});
    // The relevant-me rise shows at the next poll.
    poll({{"success", 1}, {"newPm", 4}, {"newFeed", 2}, {"count", 5}, {"newNotice", 1}, {"newHomework", "1"},
          {"newExam", true}, {"newMicro", true}});
    EXPECT_EQ(bodies(), (std::vector<std::string>{"新班级通知", "新作业", "2条新动态", "新测验", "新微课",
                                                  "5条新与我相关"}));
    EXPECT_TRUE(MVTAccount::sharedInstance().newExam());
}

TEST_F(PollTest, ForegroundPollsAnnounceNothingAndForgetTheCounts) {
    start();
    Application::shared().enterBackground();
    poll({{"success", 1}, {"newPm", 3}});
    Application::shared().becomeActive();
    // A would-be announcement in the foreground forgets what was announced instead.
    poll({{"success", 1}, {"newPm", 3}, {"newFeed", 2}});
    EXPECT_EQ(bodies(), std::vector<std::string>{"3条新私信"});
    Application::shared().enterBackground();
    poll({{"success", 1}, {"newPm", 3}});
    EXPECT_EQ(bodies(), (std::vector<std::string>{"3条新私信", "3条新私信"}));
}

TEST_F(PollTest, SelectingMeTwiceAsksForTheLevelOnceAndSavesIt) {
    auto& account = MVTAccount::sharedInstance();
    account.setUserId("2001");
    account.setRole("student");
    account.setUserName("liming");
    account.setPassword("pw");
    // The level reply held back a moment: the second ask comes while the first is running.
    auto info = service_->handlerFor("GET", "services/norvo/user/%@/space/%@/info");
    ASSERT_TRUE(info);
    service_->route("GET", "services/norvo/user/%@/space/%@/info", [info](const sample_service::RecordedRequest& r) {
        auto reply = info(r);
        reply.delay = 0.5;
        return reply;
    });
    build();
    ASSERT_TRUE(driver_->tap(tabs_->mineBtn()));
    tabs_->reloadUserLvl();
    const std::string path = "/services/norvo/user/2001/space/2001/info";
    ASSERT_TRUE(pumpUntil([&] { return meHeaderText(MVTUserSettingViewController::kLevelLabelTag) == "LV3(5分)"; }));
    EXPECT_EQ(requestsTo(path), 1u);
    EXPECT_EQ(service_->lastRequest(path)->queryValue("refresh"), "true");
    EXPECT_EQ(account.userLvl(), "3");
    EXPECT_EQ(account.userIntegral(), "40");
    EXPECT_EQ(account.userIntegralGet(), "5");
    auto saved = MVTtirraDataBase::selectSaveUserTableData();
    ASSERT_TRUE(saved.is_object()) << saved.dump();
    EXPECT_EQ(saved["userName"], "liming");
    EXPECT_EQ(saved["userLvl"], "3");
    // After the reply a new selection asks again.
    tabs_->reloadUserLvl();
    ASSERT_TRUE(pumpUntil([&] { return requestsTo(path) == 2; }));
}

TEST_F(PollTest, TheMentionListIsFetchedSortedByInitialsAndKept) {
    service_->setReply("GET", "services/norvo/postMessage/essay/12/recipient",
                       sample_service::Reply::json(Json::array(
                           {{{"id", 1}, {"name", "王老师"}}, {{"id", 2}, {"name", "8班"}}, {{"id", 3}, {"name", "Amy"}},
                            {{"id", 4}, {"name", "李明"}}})));
    tabs_ = std::make_shared<MyTabBarController>();
    tabs_->getpostMessage(false);
    const auto file = Paths::documentsDirectory() / "12_postList.txt";
    ASSERT_TRUE(pumpUntil([&] { return std::filesystem::exists(file); }));
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    const Json list = Json::parse(text.str());
    std::vector<std::string> names, initials;
    for (auto& e : list) {
        names.push_back(e["name"]);
        initials.push_back(e["firstName"]);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"8班", "Amy", "李明", "王老师"}));
    EXPECT_EQ(initials, (std::vector<std::string>{"#b", "amy", "lm", "wls"}));

    // A kept list is not fetched again unless forced.
    tabs_->getpostMessage(false);
    driver_->pump();
    EXPECT_EQ(requestsTo("/services/norvo/postMessage/essay/12/recipient"), 1u);
    tabs_->getpostMessage(true);
    ASSERT_TRUE(pumpUntil([&] { return requestsTo("/services/norvo/postMessage/essay/12/recipient") == 2; }));
}

}  // namespace
