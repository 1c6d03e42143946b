// The road of the timetable and the course-based homework chain. The timetable has no
// launcher: the script's launch runs the Apps grid's dispatch. No screen opens the subject
// grid at all, so the road presents it in a new navigation controller, as its opener would,
// and goes on through the script: a subject, a homework's 布置, one more class, 发送.

#include "RoadFixture.h"
#include "core/MVTtirraDataBase.h"
#include "homework/HMClassViewController.h"
#include "homework/MVTAddHWViewController.h"
#include "homework/MVTHomeworkListViewController.h"
#include "homework/MVTHomeworkViewController.h"
#include "shell/myNavigationController.h"
#include "tests/MVTSchoolTimeTableViewController.h"

#include "platform/Files.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

namespace {

class CourseHomeworkRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override { MVTtirraDataBase::deleteSaveUser(); }
};

TEST_F(CourseHomeworkRoadTest, TheTeacherPicksADayThenAssignsAHomeworkToOneMoreClass) {
    signIn("teacher", "teacher123");
    ASSERT_EQ(run("wait 1\nlaunch 课程表\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto timetable = onPresentedTop<MVTSchoolTimeTableViewController>();
        return timetable && service().lastRequest("/app/courseSchedule").has_value();
    })) << messages.str();
    auto timetable = onPresentedTop<MVTSchoolTimeTableViewController>();
    const std::string title = timetable->titleLa()->text();
    ASSERT_EQ(run(shot("timetable") + "tap " + title + "\nwait 1\n" + shot("timetable-picker") + "tap 确定\nwait 1\n"), 0)
        << messages.str();
    EXPECT_EQ(timetable->selectBackView()->superview(), nullptr);
    timetable->goback();
    ASSERT_TRUE(waitFor([this] { return tabBar()->presentedViewController() == nullptr; }));

    auto grid = std::make_shared<MVTHomeworkViewController>();
    tabBar()->presentViewController(myNavigationController::withRoot(grid), false);
    ASSERT_TRUE(waitFor([&] { return grid->subjectButtons().size() == 4; })) << messages.str();
    ASSERT_EQ(run(shot("course-grid") + "tap 语文\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto list = onPresentedTop<MVTHomeworkListViewController>();
        return list && list->dataArray().size() == 10;
    })) << messages.str();
    auto list = onPresentedTop<MVTHomeworkListViewController>();
    // The row's action button is a picture: its tap runs showActionSheet.
    list->showActionSheet(2);
    ASSERT_EQ(run(shot("course-list") + "tap 布置\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto assign = onPresentedTop<HMClassViewController>();
        return assign && assign->myArray().size() == 3;
    })) << messages.str();
    ASSERT_EQ(run("tap 三年级3班\nwait 1\n" + shot("course-assign") + "tap 发送\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] { return onPresentedTop<MVTHomeworkListViewController>() == list; })) << messages.str();
    const Json& targets = list->dataArray()[2]["shareTargets"];
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(textOf(targets[0], "name"), "三年级3班");
    ASSERT_EQ(run("expect 作业班级:三年级3班\n"), 0) << messages.str();

    list->navigationController()->popViewController(false);
    grid->addNewHM();
    ASSERT_TRUE(waitFor([&] { return std::dynamic_pointer_cast<myNavigationController>(grid->presentedViewController()) != nullptr; }));
    ASSERT_EQ(run("wait 1\n" + shot("course-composer")), 0) << messages.str();

    for (const char* name : {"timetable", "timetable-picker", "course-grid", "course-list", "course-assign", "course-composer"}) {
        auto picture = readFile(home_ / "shots" / (std::string(name) + ".png"));
        ASSERT_TRUE(picture.has_value()) << name;
        EXPECT_GT(picture->size(), 5000u) << name;
    }
}

}  // namespace
