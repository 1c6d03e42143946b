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

#include "platform/NotificationCenter.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"

using namespace platform;

namespace {

class TabBarTest : public testing_support::TabBarFixture {
protected:
    std::vector<std::shared_ptr<Label>> marks(int tag) const {
        std::vector<std::shared_ptr<Label>> found;
        for (auto& v : tabs_->mytabbarView()->subviews())
            if (v->tag() == tag)
                if (auto label = std::dynamic_pointer_cast<Label>(v)) found.push_back(label);
        return found;
    }
    bool hasDot(int tag) const {
        for (auto& v : tabs_->mytabbarView()->subviews())
            if (v->tag() == tag) return true;
        return false;
    }
    size_t pollRequests() { return requestsTo("/services/norvo/user/12/new/count"); }
};

TEST_F(TabBarTest, ButtonsShowFeedMessagesContactsDiscoverAndMeFromLeftToRight) {
    build();
    struct Place {
        long tab;
        double x;
        const char* title;
    };
    const Place places[] = {{0, 15, "动态"}, {1, 76, "消息"}, {4, 137, "联系人"}, {2, 198, "发现"}, {3, 259, "我"}};
    std::vector<std::string> titles;
    for (auto& v : tabs_->mytabbarView()->subviews())
        if (auto label = std::dynamic_pointer_cast<Label>(v)) titles.push_back(label->text());
    EXPECT_EQ(titles, (std::vector<std::string>{"动态", "消息", "联系人", "发现", "我"}));
    for (auto& p : places) {
        auto button = tabs_->buttonForTab(p.tab);
        ASSERT_TRUE(button) << p.tab;
        EXPECT_EQ(button->tag(), p.tab);
        EXPECT_EQ(button->frame(), Rect(p.x, 0, 46, 49)) << p.title;
        auto title = driver_->byText(p.title);
        ASSERT_TRUE(title) << p.title;
        EXPECT_EQ(title->frame(), Rect(p.x - 11, 29, 68, 16)) << p.title;
    }
    // The selected tab's button is the disabled one and its title is blue.
    EXPECT_FALSE(tabs_->dynamicBtn()->isEnabled());
    EXPECT_TRUE(tabs_->newsBtn()->isEnabled());
    EXPECT_EQ(tabs_->mytabbarView()->frame(), Rect(0, 568 - 48, 320, 64));
}

TEST_F(TabBarTest, TappingAButtonSelectsItsTab) {
    service().setReply("GET", "services/norvo/user/12/space/12/info",
                       sample_service::Reply::json({{"success", 1}, {"creditGet", 77}}));
    build();
    struct Case {
        const char* title;
        long index;
    };
    for (Case c : {Case{"联系人", 4}, Case{"发现", 2}, Case{"我", 3}, Case{"消息", 1}, Case{"动态", 0}}) {
        ASSERT_TRUE(driver_->tap(tabs_->buttonForTab(c.index))) << c.title;
        driver_->settle();
        EXPECT_EQ(tabs_->selectedIndex(), c.index) << c.title;
        for (long t = 0; t < 5; ++t) EXPECT_EQ(tabs_->buttonForTab(t)->isEnabled(), t != c.index) << c.title << t;
        for (auto& v : tabs_->mytabbarView()->subviews()) {
            if (auto label = std::dynamic_pointer_cast<Label>(v)) {
                EXPECT_EQ(label->textColor() == Color::rgba(0.38, 0.78, 0.976), label->tag() == c.index)
                    << label->text();
            }
        }
    }
    // The Me screen's header shows the points once the level reply is in.
    EXPECT_TRUE(pumpUntil([&] { return meHeaderText(MVTUserSettingViewController::kPointsValueLabelTag) == "77"; }));
}

TEST_F(TabBarTest, TappingTheSelectedFeedTabWithoutNewPostsReloadsTheFeedOnce) {
    build();
    tabs_->unreadDic()["newFeed"] = "0";
    // Right after sign-in the feed's place is the disabled button: tapping does nothing.
    driver_->tap(tabs_->dynamicBtn());
    EXPECT_EQ(home_->reloadCount(), 0);
    // Coming back to the feed tab arms its reload button.
    ASSERT_TRUE(driver_->tap(tabs_->contactBtn()));
    EXPECT_FALSE(tabs_->reloadDynamicBtn()->isUserInteractionEnabled());
    ASSERT_TRUE(driver_->tap(tabs_->dynamicBtn()));
    EXPECT_TRUE(tabs_->reloadDynamicBtn()->isUserInteractionEnabled());
    EXPECT_EQ(home_->reloadCount(), 0);
    // The next tap on the feed's place reaches the reload button lying over it.
    const Point feedPlace = driver_->centerOf(*tabs_->dynamicBtn());
    ASSERT_TRUE(driver_->tapPoint(feedPlace));
    EXPECT_EQ(home_->reloadCount(), 1);
    EXPECT_FALSE(tabs_->reloadDynamicBtn()->isUserInteractionEnabled());
    driver_->tapPoint(feedPlace);
    EXPECT_EQ(home_->reloadCount(), 1);

    // With a count, selecting the tab reloads at once; another tab disarms the button.
    tabs_->unreadDic()["newPm"] = "4";
    ASSERT_TRUE(driver_->tap(tabs_->newsBtn()));
    // The feed's button is disarmed at once; the messages one reacts again once the
    // centre's loads are done.
    EXPECT_FALSE(tabs_->reloadDynamicBtn()->isUserInteractionEnabled());
    ASSERT_TRUE(pumpUntil([&] {
        advance(0.1);
        return tabs_->reloadNewsBtn()->isUserInteractionEnabled();
    }));
    EXPECT_EQ(messages_->getNewDataCount(), 1);
    EXPECT_FALSE(tabs_->reloadDynamicBtn()->isUserInteractionEnabled());
}

TEST_F(TabBarTest, CountLabelsShowNinetyNinePlusAboveTwoDigits) {
    build();
    struct Case {
        const char* count;
        const char* shown;
        double width;
    };
    const double messageX = tabs_->newsBtn()->frame().minX() + 27;
    for (Case c : {Case{"7", "7", 12}, Case{"99", "99", 12}, Case{"100", "99+", 22}, Case{"2500", "99+", 22}}) {
        tabs_->unreadDic() = {{"newFeed", c.count}, {"newPm", c.count}};
        tabs_->NewMarks(true);
        ASSERT_EQ(marks(MyTabBarController::kFeedCountTag).size(), 1u) << c.count;
        auto feed = marks(MyTabBarController::kFeedCountTag).front();
        EXPECT_EQ(feed->text(), c.shown);
        EXPECT_EQ(feed->frame(), Rect(43, 16, c.width, 12)) << c.count;
        ASSERT_EQ(marks(MyTabBarController::kMessageCountTag).size(), 1u);
        auto pm = marks(MyTabBarController::kMessageCountTag).front();
        EXPECT_EQ(pm->text(), c.shown);
        EXPECT_EQ(pm->frame(), Rect(messageX, 16, c.width, 12)) << c.count;

        // The read-marks path draws the same.
        pm->removeFromSuperview();
        tabs_->cleanNewMarks(1);
        ASSERT_EQ(marks(MyTabBarController::kMessageCountTag).size(), 1u);
        EXPECT_EQ(marks(MyTabBarController::kMessageCountTag).front()->text(), c.shown);
        EXPECT_EQ(marks(MyTabBarController::kMessageCountTag).front()->frame().width(), c.width);
        tabs_->cleanNewMarks(1);
        EXPECT_EQ(marks(MyTabBarController::kMessageCountTag).front()->text(), c.shown) << "update in place";
    }
    // Posts read: the feed label goes and the count is zero.
    tabs_->cleanNewMarks(0);
    EXPECT_TRUE(marks(MyTabBarController::kFeedCountTag).empty());
    EXPECT_EQ(tabs_->unreadDic()["newFeed"], "0");
}

TEST_F(TabBarTest, DrawingMarksWithNothingCountedClearsTheSelectedTab) {
    build();
    tabs_->unreadDic() = Json::object();
    tabs_->NewMarks(true);
    EXPECT_EQ(tabs_->unreadDic()["newFeed"], "0");
    EXPECT_FALSE(tabs_->unreadDic().contains("newPm"));

    tabs_->unreadDic() = {{"newFeed", "3"}, {"newPm", "5"}};
    tabs_->NewMarks(true);
    tabs_->setSelectedIndex(1);
    tabs_->NewMarks(false);
    EXPECT_EQ(tabs_->unreadDic()["newPm"], "0");
    EXPECT_EQ(tabs_->unreadDic()["newFeed"], "3");
    EXPECT_TRUE(marks(MyTabBarController::kMessageCountTag).empty());
    EXPECT_EQ(marks(MyTabBarController::kFeedCountTag).size(), 1u);
}

TEST_F(TabBarTest, RelevantMeLabelStaysSingleAndFollowsTheCount) {
    build();
    auto& account = MVTAccount::sharedInstance();
    account.setNewRelevantMe(5);
    tabs_->myMarks();
    tabs_->myMarks();
    tabs_->myMarks();
    auto labels = marks(MyTabBarController::kRelevantMeCountTag);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels.front()->text(), "5");
    EXPECT_EQ(labels.front()->frame(), Rect(320 - 35, 16, 12, 12));
    account.setNewRelevantMe(99);
    tabs_->myMarks();
    EXPECT_EQ(marks(MyTabBarController::kRelevantMeCountTag).front()->text(), "99");
    account.setNewRelevantMe(0);
    tabs_->myMarks();
    EXPECT_TRUE(marks(MyTabBarController::kRelevantMeCountTag).empty());
}

TEST_F(TabBarTest, AParentsPendingApplicationShowsADotThatACountReplaces) {
    build();
    auto& account = MVTAccount::sharedInstance();
    account.setRole("parent");
    account.setNewApply(true);
    account.setNewHM(true);
    tabs_->cleanNewMarks(1);
    ASSERT_TRUE(hasDot(MyTabBarController::kMessageDotTag));
    tabs_->unreadDic()["newPm"] = "3";
    tabs_->cleanNewMarks(1);
    EXPECT_FALSE(hasDot(MyTabBarController::kMessageDotTag));
    ASSERT_EQ(marks(MyTabBarController::kMessageCountTag).size(), 1u);
    EXPECT_EQ(marks(MyTabBarController::kMessageCountTag).front()->text(), "3");

    // Homework alone does not light a parent's dot.
    account.setNewApply(false);
    tabs_->unreadDic()["newPm"] = "0";
    tabs_->cleanNewMarks(1);
    EXPECT_FALSE(hasDot(MyTabBarController::kMessageDotTag));
    account.setRole("student");
    tabs_->cleanNewMarks(1);
    EXPECT_TRUE(hasDot(MyTabBarController::kMessageDotTag));
}

TEST_F(TabBarTest, MarkUpsideTellsTheTabRootsAndLightsTheAppsDot) {
    build();
    auto& account = MVTAccount::sharedInstance();
    account.setNewExam(true);
    account.setNewRelevantMe(4);
    me_->view();
    const auto shownRow = me_->settingTable()->cellForRowAtIndexPath({1, 0});
    NotificationCenter::defaultCenter().postNotification(kMarkUpsideNotification);
    EXPECT_EQ(apps_->reloadViewCount(), 1);
    // The Me screen redraws its "动态" row, which carries no count.
    EXPECT_NE(me_->settingTable()->cellForRowAtIndexPath({1, 0}), shownRow);
    EXPECT_EQ(home_->relevantMeViewCount(), 1);
    EXPECT_TRUE(hasDot(MyTabBarController::kAppsDotTag));
    EXPECT_EQ(marks(MyTabBarController::kRelevantMeCountTag).size(), 1u);
    tabs_->markUpside();
    size_t dots = 0;
    for (auto& v : tabs_->mytabbarView()->subviews()) dots += v->tag() == MyTabBarController::kAppsDotTag;
    EXPECT_EQ(dots, 1u);

    account.setNewExam(false);
    tabs_->markUpside();
    EXPECT_FALSE(hasDot(MyTabBarController::kAppsDotTag));
}

TEST_F(TabBarTest, AddingTheItemsAgainBuildsNoSecondBarAndNoSecondTimer) {
    build();
    auto bar = tabs_->mytabbarView();
    auto timer = tabs_->refreshTimer();
    ASSERT_TRUE(timer);
    const size_t subviews = tabs_->view()->subviews().size();
    tabs_->addMyitems();
    EXPECT_EQ(tabs_->mytabbarView(), bar);
    EXPECT_EQ(tabs_->refreshTimer(), timer);
    EXPECT_EQ(tabs_->view()->subviews().size(), subviews);
    tabs_->hiddenTabBar(true);
    EXPECT_FALSE(bar->isHidden());
}

TEST_F(TabBarTest, ClearNotifStopsObservingAndStopsThePoll) {
    build();
    auto& center = NotificationCenter::defaultCenter();
    for (auto name : {kShowDynamicActionSheetNotification, kReloadNewsNotification, kReloadTimerNotification,
                      kMarkUpsideNotification, kBecomeActiveNotification, kToCommentDynamicNotification})
        EXPECT_EQ(center.observerCount(name), 1u) << name;
    auto timer = tabs_->refreshTimer();
    tabs_->clearNotif();
    for (auto name : {kShowDynamicActionSheetNotification, kReloadNewsNotification, kReloadTimerNotification,
                      kMarkUpsideNotification, kBecomeActiveNotification, kToCommentDynamicNotification})
        EXPECT_EQ(center.observerCount(name), 0u) << name;
    EXPECT_FALSE(tabs_->refreshTimer());
    EXPECT_FALSE(timer->isValid());
    center.postNotification(kReloadTimerNotification);
    MVTAccount::sharedInstance().setNewExam(true);
    center.postNotification(kMarkUpsideNotification);
    EXPECT_FALSE(tabs_->refreshTimer());
    EXPECT_FALSE(hasDot(MyTabBarController::kAppsDotTag));
}

TEST_F(TabBarTest, AControllerStoppedRightAwayDoesNotRestartItsPoll) {
    tabs_ = std::make_shared<MyTabBarController>();
    tabs_->addMyitems();
    ASSERT_TRUE(tabs_->refreshTimer());
    // Sign-out before the delayed restart of the timer.
    tabs_->clearNotif();
    advance(1.0);
    EXPECT_FALSE(tabs_->refreshTimer());
}

TEST_F(TabBarTest, ThePollAsksForNewItemsAtTheUsersPeriod) {
    MVTtirraDataBase::creatUserNewsSettingTable();
    MVTtirraDataBase::creatDynamicTable();
    MVTtirraDataBase::creatMSGtable();
    MVTtirraDataBase::insertUserNewsSettingWithDic({{"news", "1"}, {"chatNews", "1"}, {"MentionNews", "1"},
                                                    {"commenNews", "1"}, {"HMNews", "1"}, {"NotiNews", "1"},
                                                    {"feedNews", "1"}, {"defaultTime", "120"}},
                                                   "12");
    // Nothing cached yet: no request.
    build();
    advance(0.2);
    driver_->pump();
    EXPECT_EQ(pollRequests(), 0u);

    MVTtirraDataBase::insertDynamicWithArr(Json::array({{{"id", 30}, {"uid", "12"}, {"name", "张老师"},
                                                         {"role", "teacher"}, {"dateline", "1700000000"},
                                                         {"type", "1"}, {"content", "text"}}}),
                                           "12");
    // A poll leaves only when the timer fires: just before it nothing can be on its way.
    ASSERT_TRUE(tabs_->refreshTimer());
    EXPECT_EQ(tabs_->refreshTimer()->interval(), 120.0);
    advance(tabs_->refreshTimer()->fireDate() - now() - 0.01);
    driver_->pump();
    EXPECT_EQ(pollRequests(), 0u);
    advance(0.01);
    ASSERT_TRUE(pumpUntil([&] { return pollRequests() == 1; }));
    auto request = service_->lastRequest("/services/norvo/user/12/new/count");
    EXPECT_EQ(request->queryValue("feedId"), "30");

    // "reloadTimer" polls at once and restarts the count.
    NotificationCenter::defaultCenter().postNotification(kReloadTimerNotification);
    ASSERT_TRUE(pumpUntil([&] { return pollRequests() == 2; }));
    EXPECT_NEAR(tabs_->refreshTimer()->fireDate() - now(), 120.0, 1e-9);
    advance(119.99);
    driver_->pump();
    EXPECT_EQ(pollRequests(), 2u);
    advance(0.01);
    ASSERT_TRUE(pumpUntil([&] { return pollRequests() == 3; }));
}

TEST_F(TabBarTest, ScreenshotShowsTheBarWithItsMarks) {
    build();
    tabs_->unreadDic() = {{"newFeed", "3"}, {"newPm", "120"}};
    tabs_->NewMarks(true);
    MVTAccount::sharedInstance().setNewRelevantMe(8);
    MVTAccount::sharedInstance().setNewHM(true);
    tabs_->markUpside();
    auto file = std::filesystem::path(testing::TempDir()) / "tab-bar.png";
    ASSERT_TRUE(Renderer::writePNG(driver_->window(), file));
    EXPECT_GT(std::filesystem::file_size(file), 1000u);
}

}  // namespace
