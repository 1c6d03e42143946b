// The Apps grid's homework launcher: hidden by "zuoye", its red dot, and what a tap does.
#include "HomeworkFixture.h"

#include "homework/MVTNewHWListViewController.h"
#include "me/MVTAppsViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/Button.h"

using namespace platform;

namespace {

class HomeworkLauncherTest : public testing_support::HomeworkTest {
protected:
    std::shared_ptr<MVTAppsViewController> openApps(const std::string& role, const std::string& hidden = "") {
        signIn(role);
        MVTAccount::sharedInstance().setHideAppString(hidden);
        apps = showRoot(std::make_shared<MVTAppsViewController>());
        apps->mytableview()->layoutIfNeeded();
        return apps;
    }
    std::shared_ptr<Button> launcher() {
        return std::dynamic_pointer_cast<Button>(driver->byAccessibilityValue("作业"));
    }
    int dots() {
        auto button = launcher();
        int count = 0;
        for (const auto& sub : button->subviews()) count += sub->tag() == MVTAppsViewController::kDotTag;
        return count;
    }
    std::shared_ptr<MVTNewHWListViewController> presentedList() {
        driver->settle();
        auto presented = apps->presentedViewController();
        auto stack = presented ? presented->asNavigationController() : nullptr;
        if (!stack || stack->viewControllers().empty()) return nullptr;
        return std::dynamic_pointer_cast<MVTNewHWListViewController>(stack->viewControllers().front());
    }

    std::shared_ptr<MVTAppsViewController> apps;
};

TEST_F(HomeworkLauncherTest, TheLauncherIsHiddenByItsCodeOnly) {
    openApps("student", "banjitongzhi,banjiwenjian,banjixiangce,jiaoyufuwu,homeSquare");
    EXPECT_EQ(apps->titleArray(), Json::array({"班级"}));
    ASSERT_NE(launcher(), nullptr);
    EXPECT_EQ(launcher()->frame(), Rect(0, 0, 80, 60));
    EXPECT_NE(driver->byText("作业"), nullptr);

    openApps("student", "banjitongzhi,banjiwenjian,zuoye,banjixiangce,jiaoyufuwu");
    EXPECT_TRUE(apps->titleArray().empty());
    EXPECT_EQ(launcher(), nullptr);
    // Another letter case, or blanks around it, hides nothing.
    openApps("student", "ZUOYE, zuoye");
    EXPECT_NE(launcher(), nullptr);
}

TEST_F(HomeworkLauncherTest, TheRedDotFollowsTheNewHomeworkFlagAndIsNeverDoubled) {
    openApps("teacher");
    EXPECT_EQ(dots(), 0);
    MVTAccount::sharedInstance().setNewHM(true);
    apps->reloadView();
    apps->reloadView();
    apps->mytableview()->layoutIfNeeded();
    EXPECT_EQ(dots(), 1);
    auto dot = launcher()->viewWithTag(MVTAppsViewController::kDotTag);
    EXPECT_EQ(dot->frame(), Rect(80, 10, 10, 10));
    MVTAccount::sharedInstance().setNewHM(false);
    apps->reloadView();
    apps->mytableview()->layoutIfNeeded();
    EXPECT_EQ(dots(), 0);
}

TEST_F(HomeworkLauncherTest, AParentsTapClearsTheFlagFirstAndEveryRoleGetsTheList) {
    openApps("parent");
    MVTAccount::sharedInstance().setNewHM(true);
    ASSERT_TRUE(driver->tap(launcher()));
    EXPECT_FALSE(MVTAccount::sharedInstance().newHM());
    EXPECT_EQ(markUpsides, 1);
    auto parentList = presentedList();
    ASSERT_NE(parentList, nullptr);
    parentList->goback();
    driver->settle();

    for (const char* role : {"student", "teacher"}) {
        openApps(role);
        MVTAccount::sharedInstance().setNewHM(true);
        const int before = markUpsides;
        ASSERT_TRUE(driver->tap(launcher()));
        EXPECT_TRUE(MVTAccount::sharedInstance().newHM()) << role;
        EXPECT_EQ(markUpsides, before) << role;
        auto list = presentedList();
        ASSERT_NE(list, nullptr) << role;
        // The list's back button closes the presentation again.
        list->goback();
        driver->settle();
        EXPECT_EQ(apps->presentedViewController(), nullptr) << role;
    }
}

}  // namespace
