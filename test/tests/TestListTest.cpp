// The test list against the sample service (18 course groups): paging, refresh, filters,
// the completion button and the count taken back from the sheet.
#include "TestsFixture.h"

#include "tests/MVTTestCompleteViewController.h"
#include "tests/MVTTestCourseViewController.h"
#include "tests/MVTTestSelectViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"

#include <chrono>

using namespace testing_support;
using platform::Json;

namespace {

class TestListTest : public HomeworkTest {
protected:
    static constexpr const char* kListPath = "courseExam/2001/list";

    std::shared_ptr<MVTTestCourseViewController> openList() {
        auto list = showRoot(std::make_shared<MVTTestCourseViewController>());
        waitForRequests(listPathFor(), 1, list->view());
        driver->pump();
        return list;
    }
    std::string listPathFor() const {
        return "courseExam/" + MVTAccount::sharedInstance().userId().value_or("") + "/list";
    }
    std::optional<std::string> lastPage() {
        auto request = service().lastRequest("/services/norvo/" + listPathFor());
        return request ? request->queryValue("page") : std::nullopt;
    }
};

TEST_F(TestListTest, FifteenGroupsThenPageTwo) {
    signIn("student");
    auto list = openList();
    ASSERT_EQ(list->dataArr().size(), 15u);
    EXPECT_EQ(lastPage(), "1");
    EXPECT_EQ(service().lastRequest("/services/norvo/" + listPathFor())->queryValue("limit"), "15");
    EXPECT_EQ(list->moreBtn()->currentTitle(), "点击加载更多");
    EXPECT_TRUE(list->moreBtn()->isEnabled());
    EXPECT_GE(markUpsides, 1);
    EXPECT_FALSE(MVTAccount::sharedInstance().newExam());

    list->toGetMoreCourseData();
    ASSERT_TRUE(waitForRequests(listPathFor(), 2, list->view()));
    EXPECT_EQ(lastPage(), "2");
    EXPECT_EQ(list->dataArr().size(), 18u);
    EXPECT_EQ(list->moreBtn()->currentTitle(), "已加载全部");
    EXPECT_FALSE(list->moreBtn()->isEnabled());

    // A refresh asks page 1 and holds only what it brought.
    list->reloadTableViewDataSource();
    ASSERT_TRUE(waitForRequests(listPathFor(), 3, list->view()));
    EXPECT_EQ(lastPage(), "1");
    EXPECT_EQ(list->dataArr().size(), 15u);
    EXPECT_TRUE(list->reloading());
    advance(1.0);
    EXPECT_FALSE(list->reloading());
}

TEST_F(TestListTest, AFilterChangeDropsTheReplyOfTheLoadBefore) {
    signIn("student");
    auto list = openList();
    ASSERT_EQ(list->dataArr().size(), 15u);
    // The next page is slow; the filter's page 1 overtakes it.
    auto plain = service().handlerFor("GET", "services/norvo/courseExam/%@/list");
    service().route("GET", "services/norvo/courseExam/%@/list", [plain](const sample_service::RecordedRequest& r) {
        sample_service::Reply reply = plain(r);
        if (r.queryValue("page") == "2") reply.delay = 0.5;
        return reply;
    });
    list->toGetMoreCourseData();
    ASSERT_TRUE(pumpUntil([&] { return service().requestCount() > 0 && lastPage() == "2"; }));
    const Json math = {{"subjectId", "2"}, {"subjectName", "数学"}};
    list->getLevel(nullptr, math, nullptr);
    ASSERT_TRUE(list->mytableview()->tableHeaderView());
    advance(0.1);
    ASSERT_TRUE(pumpUntil([&] { return list->dataArr().size() == 6; }));
    // Let the slow page come (half a second on the service's side) and go.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    while (std::chrono::steady_clock::now() < until) driver->pump();
    ASSERT_EQ(list->dataArr().size(), 6u);
    for (const auto& group : list->dataArr()) EXPECT_NE(group["courseName"].get<std::string>().find("数学"), std::string::npos);
    EXPECT_EQ(service().lastRequest("/services/norvo/" + listPathFor())->queryValue("subjectId"), "2");

    // Clearing every filter drops the chips and asks page 1 again.
    list->getLevel(nullptr, nullptr, nullptr);
    EXPECT_FALSE(list->mytableview()->tableHeaderView());
    advance(0.1);
    ASSERT_TRUE(pumpUntil([&] { return list->dataArr().size() == 15; }));
}

TEST_F(TestListTest, TeacherRowsOpenTheCompletionListOrExplain) {
    signIn("teacher");
    auto list = openList();
    EXPECT_FALSE(list->selectButton()) << "only students filter";
    auto unpublished = MVTStudentTestCell::make("c");
    unpublished->reloaddataWith({{"id", "9"}, {"examName", "未发"}, {"complete", "3"}, {"stdCount", "0"}}, false);
    EXPECT_EQ(unpublished->completeButton()->currentTitle(), "未发布");
    list->showTestCompleteList(*unpublished->completeButton());
    auto alert = platform::AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "无答题情况统计");
    platform::AlertView::clearVisible();

    // The same cell filled again carries the new test's values, nothing of the old one.
    unpublished->reloaddataWith({{"id", "10"}, {"examName", "第十"}, {"complete", "3"}, {"stdCount", "40"}}, true);
    EXPECT_EQ(unpublished->completeButton()->currentTitle(), "3个人完成/发布40人");
    EXPECT_EQ(unpublished->completeButton()->accessibilityHint(), "10");
    EXPECT_TRUE(unpublished->bgLine()->isHidden());
    unpublished->reloaddataWith({{"id", "11"}, {"examName", "第十一"}, {"complete", nullptr}, {"stdCount", "40"}}, true);
    EXPECT_TRUE(unpublished->completeButton()->accessibilityHint().empty());
    list->showTestCompleteList(*unpublished->completeButton());
    EXPECT_TRUE(platform::AlertView::topAlert());
    platform::AlertView::clearVisible();

    unpublished->reloaddataWith({{"id", "5101"}, {"examName", "三年级语文单元测验"}, {"complete", "1"}, {"stdCount", "40"}},
                                true);
    list->showTestCompleteList(*unpublished->completeButton());
    driver->pump();
    auto complete = std::dynamic_pointer_cast<MVTTestCompleteViewController>(top());
    ASSERT_TRUE(complete);
    EXPECT_EQ(complete->examId(), "5101");
    EXPECT_EQ(complete->title(), "三年级语文单元测验");
}

TEST_F(TestListTest, TheSheetsCountRewritesTheTappedRowOnly) {
    signIn("student");
    auto list = openList();
    list->didSelectRowAtIndexPath(*list->mytableview(), platform::IndexPath::forRow(1, 0));
    driver->pump();
    auto sheet = std::dynamic_pointer_cast<MVTCourseListViewController>(top());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->view()->tag(), 1);
    EXPECT_EQ(sheet->whereShow(), "homeView");
    EXPECT_EQ(sheet->examId(), list->dataArr()[0]["examList"][1]["id"].get<std::string>());
    const Json before = list->dataArr();
    list->updateCompletePerson("12");
    EXPECT_EQ(list->dataArr()[0]["examList"][1]["complete"], "12");
    EXPECT_EQ(list->dataArr()[0]["examList"][0], before[0]["examList"][0]);

    // A searched test opens 0.3 s later with tag 0.
    const Json test = list->dataArr()[2]["examList"][0];
    list->toGotoDidSearchedExamWith(test);
    EXPECT_EQ(list->view()->tag(), 0);
    advance(0.3);
    driver->pump();
    auto searched = std::dynamic_pointer_cast<MVTCourseListViewController>(top());
    ASSERT_TRUE(searched && searched != sheet);
    EXPECT_EQ(searched->view()->tag(), 0);
}

TEST_F(TestListTest, PickerMatchesAndHandsBackChoices) {
    signIn("student");
    struct Taken : MVTTestSelectViewDelegate {
        std::vector<Json> got;
        void getLevel(const Json& l, const Json& s, const Json& t) override { got = {l, s, t}; }
    };
    auto taken = std::make_shared<Taken>();
    auto picker = std::make_shared<MVTTestSelectViewController>();
    const Json grade = {{"levelId", "1"}, {"grade", "4"}, {"levelGradeName", "四年级"}, {"mine", true}};
    const Json teacher = {{"teacherId", "1001"}, {"authorName", "王老师"}};
    picker->setDelegate(taken);
    picker->setWhereFrom("test");
    picker->setLevelDic(grade);
    picker->setTeacherDic(teacher);
    showPushed(picker);
    ASSERT_TRUE(pumpUntil([&] { return picker->mytableview() != nullptr; }));
    ASSERT_EQ(picker->dataArr().size(), 6u);
    int marked = -1;
    for (int row = 0; row < 6; ++row) {
        auto cell = picker->cellForRowAtIndexPath(*picker->mytableview(), platform::IndexPath::forRow(row, 0));
        if (cell->accessoryType() == platform::TableViewCellAccessoryType::Checkmark) marked = row;
    }
    EXPECT_EQ(marked, 1) << "四年级 matches by levelId and grade";
    // Tapping the marked grade clears it; a subject is chosen; "完成" hands back both and
    // the untouched teacher as it came.
    picker->didSelectRowAtIndexPath(*picker->mytableview(), platform::IndexPath::forRow(1, 0));
    picker->toSelect(*std::static_pointer_cast<platform::Button>(picker->segView()->subviews()[1]));
    picker->didSelectRowAtIndexPath(*picker->mytableview(), platform::IndexPath::forRow(2, 0));
    picker->toDone();
    ASSERT_EQ(taken->got.size(), 3u);
    EXPECT_TRUE(taken->got[0].is_null());
    EXPECT_EQ(taken->got[1]["subjectName"], "英语");
    EXPECT_EQ(taken->got[2], teacher);

    // A mode without a service path asks nothing and hands back what it was given.
    auto unknown = std::make_shared<MVTTestSelectViewController>();
    unknown->setWhereFrom("micropen");
    unknown->setDelegate(taken);
    unknown->setLevelDic(grade);
    const std::size_t before = service().requestCount();
    showPushed(unknown);
    driver->pump();
    EXPECT_EQ(service().requestCount(), before);
    unknown->toDone();
    EXPECT_EQ(taken->got[0], grade);
}

}  // namespace
