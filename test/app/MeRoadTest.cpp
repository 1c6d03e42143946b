// The 我 tab's road, driven through the automation against the sample service: the teacher
// opens 我 and, from 系统设置, the reminder settings; both are saved as pictures.

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
    // Whether the screen on top of what the tab bar presents is a `Screen`.
    template <class Screen>
    bool showing() const {
        return onPresentedTop<Screen>() != nullptr;
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

}  // namespace
