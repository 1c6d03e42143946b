// The 我 tab's roads, driven through the automation against the sample service: the teacher
// opens 我 and, from 系统设置, the reminder settings; then the remembered accounts, the
// language page (to English and back) and the about page with its intro and version check.
// Every screen passed is saved as a picture.

#include "RoadFixture.h"

#include "account/MVTAccountManagementViewController.h"
#include "me/MVTAboutTirraViewController.h"
#include "me/MVTNewsAlertViewController.h"
#include "me/MVTUniversalViewSettingViewController.h"
#include "me/MVTUserSettingViewController.h"
#include "shell/MVTIntroViewController.h"
#include "shell/MVTInternationalViewController.h"

#include "core/MVTtirraDataBase.h"

#include "platform/Files.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBar.h"

using namespace platform;

namespace {

class MeRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override { MVTtirraDataBase::deleteSaveUser(); }
    // The top screen of the last stack presented over the tab bar (a settings page presents
    // its own pages over itself).
    template <class Screen>
    std::shared_ptr<Screen> frontmost() const {
        std::shared_ptr<ViewController> front = tabBar();
        while (front && front->presentedViewController()) front = front->presentedViewController();
        auto stack = front ? front->asNavigationController() : nullptr;
        return stack ? std::dynamic_pointer_cast<Screen>(stack->topViewController()) : nullptr;
    }
    template <class Screen>
    bool showing() const {
        return frontmost<Screen>() != nullptr;
    }
    bool nothingPresented() const { return tabBar() && !tabBar()->presentedViewController(); }
    void go(const std::string& script) { ASSERT_EQ(run(script), 0) << messages.str(); }
};

TEST_F(MeRoadTest, TheTeacherOpensMeAndTheReminderSettings) {
    signIn("teacher", "teacher123");
    go("tap 我\nwait 1\nexpect 王老师\nexpect 更改用户\nexpect 系统设置\n" + shot("me"));
    go("tap 系统设置\n");
    ASSERT_TRUE(waitFor([this] { return showing<MVTUniversalViewSettingViewController>(); })) << messages.str();
    go("expect 语言设置\ntap 消息提醒\nwait 1\n" + shot("reminders"));
    for (const char* name : {"me", "reminders"})
        EXPECT_TRUE(fileExists(home_ / "shots" / (std::string(name) + ".png"))) << name;
}

// Every other way out of 我: the remembered accounts and back, the language page to English
// and back to Chinese, and the about page with the intro of a first visit and the version check.
TEST_F(MeRoadTest, AccountsLanguageAndTheAboutPageWithItsIntroAndVersionCheck) {
    signIn("teacher", "teacher123");
    go("tap 我\nwait 1\ntap 账号管理\n");
    ASSERT_TRUE(waitFor([this] { return showing<MVTAccountManagementViewController>(); })) << messages.str();
    go("expect 添加账号\nexpect teacher\n" + shot("accounts") + "tap 返回\n");
    ASSERT_TRUE(waitFor([this] { return nothingPresented(); })) << messages.str();

    // To English: the page itself changes nothing until it is left; leaving it builds the
    // tabs again, in English.
    go("tap 系统设置\n");
    ASSERT_TRUE(waitFor([this] { return showing<MVTUniversalViewSettingViewController>(); })) << messages.str();
    go("expect 简体中文\ntap 语言设置\n");
    ASSERT_TRUE(waitFor([this] { return showing<MVTInternationalViewController>(); })) << messages.str();
    go("tap English\nwait 0.5\n" + shot("language") + "tap 返回\n");
    ASSERT_TRUE(waitFor([this] { return nothingPresented(); })) << messages.str();
    go("tap Me\nwait 1\nexpect Settings\nexpect Change user\n" + shot("me-english"));

    // And back to Chinese from the English pages.
    go("tap Settings\n");
    ASSERT_TRUE(waitFor([this] { return showing<MVTUniversalViewSettingViewController>(); })) << messages.str();
    go("expect English\ntap Language\n");
    ASSERT_TRUE(waitFor([this] { return showing<MVTInternationalViewController>(); })) << messages.str();
    go("tap 简体中文\nwait 0.5\ntap 返回\n");
    ASSERT_TRUE(waitFor([this] { return nothingPresented(); })) << messages.str();
    go("tap 我\nwait 1\nexpect 系统设置\nexpect 更改用户\n");

    // The about page: a first visit of this version shows the intro over it; it is paged to
    // its last picture and closed with the button there.
    go("tap 关于岚溪\n");
    ASSERT_TRUE(waitFor([this] { return showing<MVTAboutTirraViewController>(); })) << messages.str();
    auto about = frontmost<MVTAboutTirraViewController>();
    ASSERT_TRUE(about->introViewController()) << "no intro on the first visit";
    go("wait 0.5\n" + shot("intro") + "drag 280 300 40 300\nwait 1\ndrag 280 300 40 300\nwait 1\n");
    ASSERT_TRUE(about->introViewController()) << "the intro closed before its button was tapped";
    // The closing button covers the lower middle of the last picture; it shows no text, so
    // the finger lands there and lifts.
    go("drag 160 383 160 383\nwait 1.5\n");
    ASSERT_TRUE(waitFor([&] { return !about->introViewController(); })) << messages.str();
    go("tap 检测新版本\n");
    ASSERT_TRUE(waitFor([] { return !AlertView::visibleAlerts().empty(); })) << messages.str();
    go("expect 当前为最新版本。\n" + shot("version") + "alert 0\ntap 返回\n");
    ASSERT_TRUE(waitFor([this] { return nothingPresented(); })) << messages.str();
    for (const char* name : {"accounts", "language", "me-english", "intro", "version"})
        EXPECT_TRUE(fileExists(home_ / "shots" / (std::string(name) + ".png"))) << name;
}

}  // namespace
