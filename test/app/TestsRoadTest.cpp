// The road of a test, driven through the automation scripts against the sample service:
// 李明 opens 测验 (no launcher shows it: the script's launch runs the grid's dispatch),
// answers a single choice, a true/false and a fill-in and sends them; then the teacher
// opens the test's completion list and his sheet.

#include "RoadFixture.h"
#include "core/MVTtirraDataBase.h"
#include "tests/MVTCourseListViewController.h"
#include "tests/MVTTestCompleteViewController.h"
#include "tests/MVTTestCourseViewController.h"

#include "platform/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextField.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace platform;

namespace {

class TestsRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override { MVTtirraDataBase::deleteSaveUser(); }
    void openTestList() {
        ASSERT_EQ(run("wait 1\nlaunch 测验\nwait 1\n"), 0) << messages.str();
        ASSERT_TRUE(waitFor([this] {
            auto list = onPresentedTop<MVTTestCourseViewController>();
            return list && !list->dataArr().empty();
        })) << messages.str();
    }
};

TEST_F(TestsRoadTest, AStudentSendsAnswersAndTheTeacherLooksAtHisSheet) {
    signIn("student", "student123");
    openTestList();
    ASSERT_EQ(run("expect 三年级语文\n" + shot("pupil-list") + "tap 三年级语文单元测验\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto sheet = onPresentedTop<MVTCourseListViewController>();
        return sheet && sheet->dataArr().size() == 6;
    })) << messages.str();
    auto sheet = onPresentedTop<MVTCourseListViewController>();
    ASSERT_EQ(sheet->examId(), "5101");

    // The single choice: 迫不及待 (the option buttons are drawn pictures with the text
    // beside them in an HTML view, so the operation the button's tap runs is used).
    auto choice = sheet->cellAtRow(0);
    ASSERT_TRUE(choice);
    ASSERT_GE(choice->allBtnArr().size(), 2u);
    choice->toSelectBtn(*choice->allBtnArr()[1]);
    // The true/false: 对.
    auto judge = sheet->cellAtRow(1);
    ASSERT_TRUE(judge);
    ASSERT_FALSE(judge->allBtnArr().empty());
    judge->toSelectBtn(*judge->allBtnArr()[0]);
    // The fill-in, scrolled to the top (as a finger would drag it up): typed into its
    // three blanks, Return after the last.
    sheet->mytableview()->scrollToRowAtIndexPath(IndexPath::forRow(2, 0), TableViewScrollPosition::Top, false);
    driver->settle();
    auto fillIn = sheet->cellAtRow(2);
    ASSERT_TRUE(fillIn);
    ASSERT_EQ(fillIn->fieldArr().size(), 3u);
    const char* typed[] = {"地上", "明月", "故乡"};
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(driver->tap(fillIn->fieldArr()[i]));
        driver->type(typed[i]);
    }
    driver->type("\n");
    driver->settle();
    ASSERT_EQ(sheet->allAnswersDic().size(), 3u);

    ASSERT_EQ(run(shot("pupil-sheet") + "tap 发送\nwait 1\nexpect 已答 3 ，未答 3 ，是否提交？\nalert 1\nwait 1\n"), 0)
        << messages.str();
    ASSERT_TRUE(waitFor([&] { return sheet->unDidSubmit() == 3 && sheet->allAnswersDic().empty(); }))
        << messages.str();
    auto sent = service().lastRequest("/services/norvo/courseExam/2001/anwser");
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->formValue("examId"), "5101");
    const Json answers = Json::parse(sent->formValue("answers").value_or("null"));
    ASSERT_EQ(answers.size(), 3u);
    for (const auto& record : answers) EXPECT_EQ(textOf(record, "success"), "1") << record.dump();
    EXPECT_EQ(textOf(sheet->dataArr()[2], "success"), "1");

    // The teacher: the test's completion button, then 李明's row.
    signIn("teacher", "teacher123");
    openTestList();
    ASSERT_EQ(run("expect 1个人完成/发布40人\n" + shot("teacher-list") + "tap 1个人完成/发布40人\nwait 1\n"), 0)
        << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto complete = onPresentedTop<MVTTestCompleteViewController>();
        return complete && complete->dataArray().size() == 1;
    })) << messages.str();
    EXPECT_EQ(onPresentedTop<MVTTestCompleteViewController>()->examId(), "5101");
    ASSERT_EQ(run(shot("complete") + "tap 李明\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto looked = onPresentedTop<MVTCourseListViewController>();
        return looked && looked->dataArr().size() == 6;
    })) << messages.str();
    auto looked = onPresentedTop<MVTCourseListViewController>();
    EXPECT_EQ(looked->whereShow(), MVTCourseListViewController::kTeacherToLook);
    EXPECT_EQ(looked->stdId(), "2001");
    EXPECT_EQ(looked->userRole(), "student");
    EXPECT_FALSE(looked->sendButton());
    EXPECT_EQ(textOf(looked->dataArr()[0], "stdAnswer"), "1");
    ASSERT_EQ(run(shot("teacher-sheet")), 0) << messages.str();

    for (const char* name : {"pupil-list", "pupil-sheet", "teacher-list", "complete", "teacher-sheet"}) {
        auto picture = readFile(home_ / "shots" / (std::string(name) + ".png"));
        ASSERT_TRUE(picture.has_value()) << name;
        EXPECT_GT(picture->size(), 5000u) << name;
    }
}

}  // namespace
