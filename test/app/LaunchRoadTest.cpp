// The app's main road, driven the way a user drives it through the automation scripts:
// the real application delegate, headless, against the sample service.

#include "RoadFixture.h"
#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MyTabBarController.h"

#include "platform/Application.h"
#include "platform/ShareKit.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/Window.h"

#include <sstream>

using namespace platform;

namespace {

class LaunchRoadTest : public testing_support::RoadTest {};

TEST_F(LaunchRoadTest, LoginScreenSignInTabBarAndAutomaticSignInOnTheNextStart) {
    start();
    ASSERT_EQ(run("expect 登录\nexpect 我要注册\n"), 0) << messages.str();

    // Return in the user field moves to the password field, Return there signs in.
    ASSERT_EQ(run("tap 用户名/邮箱/手机号\ntype teacher\nkey return\ntype teacher123\nkey return\n"), 0)
        << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return tabBar() != nullptr; }));
    driver->settle();
    EXPECT_EQ(tabBar()->selectedIndex(), 0);
    ASSERT_EQ(run("expect 动态\nexpect 消息\nexpect 联系人\nexpect 发现\nexpect 我\n"), 0) << messages.str();
    EXPECT_EQ(MVTAccount::sharedInstance().name(), "王老师");

    // A finger on a tab's title selects the tab.
    const std::pair<const char*, long> tabs[] = {{"我", 3}, {"发现", 2}, {"联系人", 4}, {"消息", 1}};
    for (const auto& [title, index] : tabs) {
        ASSERT_EQ(run(std::string("tap ") + title + "\nwait 0.5\n"), 0) << messages.str();
        EXPECT_EQ(tabBar()->selectedIndex(), index) << title;
    }

    // The next start with the same home: the splash, then the tab bar without typing.
    start();
    ASSERT_NE(app->imageView(), nullptr);
    EXPECT_TRUE(UiDriver::isOnScreen(*app->imageView()));
    EXPECT_EQ(tabBar(), nullptr);
    driver->advance(2.0);
    ASSERT_NE(tabBar(), nullptr);
    EXPECT_EQ(app->imageView(), nullptr);
    EXPECT_EQ(tabBar()->selectedIndex(), 0);
    // The background re-check a second later asks the service with the saved credentials.
    driver->advance(1.0);
    EXPECT_TRUE(pumpUntil([this] { return service().lastRequest("services/norvo/auth/teacher/teacher123").has_value(); }));
}

TEST_F(LaunchRoadTest, WrongPasswordShowsTheServicesMessage) {
    service().setReply("GET", "services/norvo/auth/teacher/wrong",
                       sample_service::Reply::json({{"success", 0}, {"message", "密码不对，请再试一次"}}));
    start();
    ASSERT_EQ(run("tap 用户名/邮箱/手机号\ntype teacher\ntap 密 码\ntype wrong\ntap 登录\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(AlertView::topAlert()->message(), "密码不对，请再试一次");
    EXPECT_EQ(run("expect 密码不对，请再试一次\nalert 0\nexpect 登录\n"), 0) << messages.str();
    EXPECT_EQ(tabBar(), nullptr);
}

}  // namespace
