// The road of a student without a school, driven through the automation scripts: sign-in
// lands on the join-a-class screen, the sample class code joins a class, and the tab bar
// opens. The real application delegate, headless, against the sample service.

#include "RoadFixture.h"
#include "account/MVTInterClassViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTtirraDataBase.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MyTabBarController.h"

#include "platform/Application.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/Window.h"

#include <sstream>

using namespace platform;

namespace {

class JoinRoadTest : public testing_support::RoadTest {
protected:
    std::shared_ptr<MVTInterClassViewController> joinScreen() const {
        auto navigation = std::dynamic_pointer_cast<NavigationController>(app->window()->rootViewController());
        if (!navigation || navigation->viewControllers().empty()) return nullptr;
        return std::dynamic_pointer_cast<MVTInterClassViewController>(navigation->viewControllers().front());
    }
};

TEST_F(JoinRoadTest, AStudentWithoutASchoolJoinsTheSampleClassAndReachesTheTabBar) {
    start();
    ASSERT_EQ(run("tap 用户名/邮箱/手机号\ntype newcomer\ntap 密 码\ntype newcomer123\ntap 登录\n"), 0)
        << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return joinScreen() != nullptr; }));
    driver->settle();
    EXPECT_TRUE(joinScreen()->isLogining());
    ASSERT_EQ(run("expect 加入班级\nexpect 请先加入班级或学校，可以查看和分享更多精彩。\n"
                  "expect 扫描二维码\nexpect 不知道班级编号，仅加入学校\n"),
              0)
        << messages.str();
    // No school yet: the ask-to-join link stays away.
    EXPECT_FALSE(UiDriver::isOnScreen(*joinScreen()->getClassIdBtn()));

    ASSERT_EQ(run("tap 输入班级编号\ntype 300101\ntap 完成\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
    ASSERT_EQ(run("expect 确定加入该班级？\nexpect 青禾实验小学 三年级一班\nalert 1\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return tabBar() != nullptr; }));
    driver->settle();
    ASSERT_EQ(run("expect 动态\nexpect 消息\nexpect 我\n"), 0) << messages.str();

    MVTAccount& account = MVTAccount::sharedInstance();
    EXPECT_EQ(account.classId(), "11");
    EXPECT_EQ(account.schoolId(), "1");
    EXPECT_EQ(MVTtirraDataBase::selectSaveUserTableData().value("classId", ""), "11");
    // The lookup went out with the empty school id.
    EXPECT_TRUE(service().lastRequest("services/norvo//classcode/300101/info").has_value());

    // The service keeps the join: the next start signs in to the tab bar, and its
    // background re-check finds the class there too.
    start();
    driver->advance(2.0);
    ASSERT_NE(tabBar(), nullptr);
    account.setClassId("");
    driver->advance(1.0);
    ASSERT_TRUE(pumpUntil([&] { return account.classId() == "11"; }));
    EXPECT_EQ(account.schoolId(), "1");
}

TEST_F(JoinRoadTest, ReturnInTheSchoolSearchFieldSearches) {
    start();
    ASSERT_EQ(run("tap 用户名/邮箱/手机号\ntype newcomer\ntap 密 码\ntype newcomer123\nkey return\n"), 0)
        << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return joinScreen() != nullptr; }));
    driver->settle();
    ASSERT_EQ(run("tap 不知道班级编号，仅加入学校\nwait 1\ntap 输入文字（支持模糊查询）\ntype 实验\n"), 0)
        << messages.str();
    // The keyboard offers the search on its Return key.
    auto keys = Keyboard::shared().keys();
    EXPECT_EQ(keys.back().title, "搜索");
    ASSERT_EQ(run("key return\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return driver->byText("青禾实验小学") != nullptr; })) << driver->dump();
    auto search = service().lastRequest("services/norvo/school/search");
    ASSERT_TRUE(search);
    EXPECT_EQ(search->formValue("query"), "实验");
    EXPECT_FALSE(Keyboard::shared().isVisible());
}

}  // namespace
