// Registration driven the way a user drives it through the automation scripts: the real
// application delegate, headless, against the sample service. A new parent registers in
// two steps, lands on the tab bar, and is signed in again at the next start.

#include "RoadFixture.h"
#include "account/MVTPerfectInfoViewController.h"
#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MyTabBarController.h"

#include "platform/Application.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <sstream>

using namespace platform;

namespace {

class RegisterRoadTest : public testing_support::RoadTest {
protected:
    // A start after a quit begins with an empty account record: what it knows comes from
    // the home folder.
    void beforeLaunch() override {
        AlertView::clearVisible();
        MVTAccount::resetSharedInstanceForTests();
    }
};

TEST_F(RegisterRoadTest, ANewParentRegistersInTwoStepsAndIsSignedInAgainAtTheNextStart) {
    // A password with "/" and "?" travels in the sign-in path at the next start.
    const std::string mobile = "15912345678", password = "pa/ss?wd1";
    start();
    // The role sheet: 教师 0, 学生 1, 家长 2.
    ASSERT_EQ(run("tap 我要注册\nexpect 请选择角色\nalert 2\nwait 1\nexpect 注册\n"), 0) << messages.str();

    ASSERT_EQ(run("tap 手机号（可以作为登录用户名）\ntype " + mobile + "\ntap 登录密码\ntype " + password +
                  "\ntap 下一步\n"),
              0)
        << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return driver->byText("完善信息") != nullptr; })) << driver->dump();
    // The access code field has the keyboard 0.6 seconds after step 2 loads.
    ASSERT_EQ(run("wait 1\ntype LM2001\ntap 真实姓名\ntype 李雷爸爸\ntap 邮箱（可作为登录账号）\ntype "
                  "li@example.com\ntap 完成\n"),
              0)
        << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return tabBar() != nullptr; })) << driver->dump();
    driver->settle();
    EXPECT_EQ(tabBar()->selectedIndex(), 0);
    ASSERT_EQ(run("expect 动态\nexpect 消息\nexpect 联系人\nexpect 发现\nexpect 我\n"), 0) << messages.str();
    EXPECT_FALSE(driver->byText("完善信息"));
    EXPECT_EQ(MVTAccount::sharedInstance().name(), "李雷爸爸");
    EXPECT_EQ(MVTAccount::sharedInstance().role(), "parent");
    const std::string userId = MVTAccount::sharedInstance().userId().value_or("");
    EXPECT_FALSE(userId.empty());
    auto registration = service().lastRequest("services/norvo/register/parent");
    ASSERT_TRUE(registration);
    EXPECT_EQ(registration->formValue("password"), password);

    // Quit and start again on the same home folder: the splash, then the tab bar as the
    // new parent without typing anything.
    start();
    ASSERT_NE(app->imageView(), nullptr);
    EXPECT_EQ(tabBar(), nullptr);
    driver->advance(2.0);
    ASSERT_NE(tabBar(), nullptr) << driver->dump();
    EXPECT_EQ(MVTAccount::sharedInstance().userName(), mobile);
    EXPECT_EQ(MVTAccount::sharedInstance().userId(), userId);
    EXPECT_EQ(MVTAccount::sharedInstance().schoolId(), "1");

    // The background re-check asks the service with the new account's credentials, each
    // one path segment, and the service knows them: accepted (it logs the sign-in page
    // again), no refusal, the tab bar stays.
    StatisticsKit::shared().reset();
    driver->advance(1.0);
    ASSERT_TRUE(pumpUntil([&] { return service().lastRequest("services/norvo/auth/" + mobile + "/" + password).has_value(); }));
    auto check = service().lastRequest("services/norvo/auth/" + mobile + "/" + password);
    EXPECT_EQ(check->arguments, (std::vector<std::string>{mobile, password}));
    EXPECT_NE(check->target.find("pa%2Fss%3Fwd1"), std::string::npos) << check->target;
    const std::pair<std::string, std::string> accepted{"begin", MVTAppDelegate::kLoginPage};
    ASSERT_TRUE(pumpUntil([&] {
        const auto& events = StatisticsKit::shared().pageEvents();
        return std::find(events.begin(), events.end(), accepted) != events.end();
    }));
    driver->settle();
    EXPECT_FALSE(AlertView::topAlert());
    EXPECT_NE(tabBar(), nullptr);
    EXPECT_EQ(MVTAccount::sharedInstance().name(), "李雷爸爸");
}

}  // namespace
