// The answer sheet against the sample service: loading, the confirmation, sending and
// merging, the completion report, and replies that are no sheet.
#include "TestsFixture.h"

#include "tests/MVTCourseListViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"

using namespace testing_support;
using platform::Json;

namespace {

struct CountReports : MVTCourseListViewDelegate {
    std::vector<std::string> counts;
    void updateCompletePerson(const std::string& count) override { counts.push_back(count); }
};

// Five true/false questions, none answered.
Json fiveQuestions() {
    Json sheet = Json::array();
    for (int i = 0; i < 5; ++i) {
        std::string id = "t";
        id += std::to_string(i);
        sheet.push_back({{"id", id}, {"questionType", 5}, {"options", "判断"}, {"answer", "1"}});
    }
    return sheet;
}

class AnswerSheetTest : public HomeworkTest {
protected:
    static constexpr const char* kSheetPath = "/services/norvo/course/exam/2001/77/new";
    static constexpr const char* kSendPath = "/services/norvo/courseExam/2001/anwser";

    std::shared_ptr<MVTCourseListViewController> open(int tag, const std::string& mode = "homeView") {
        auto sheet = std::make_shared<MVTCourseListViewController>();
        sheet->setWhereShow(mode);
        sheet->setExamId("77");
        sheet->setTitleStr("单元测验");
        sheet->setCompleteCount(7);
        sheet->setStdId("2001");
        sheet->view()->setTag(tag);
        sheet->setDelegate(reports);
        showPushed(sheet);
        pumpUntil([&] { return !sheet->HUD() || !sheet->HUD()->isShowing(); });
        return sheet;
    }
    void answerTrue(MVTCourseListViewController& sheet, int row) {
        auto cell = sheet.cellAtRow(row);
        ASSERT_TRUE(cell);
        cell->toSelectBtn(*cell->allBtnArr()[0]);
    }
    std::string alertTitle() {
        auto alert = platform::AlertView::topAlert();
        return alert ? alert->title() : std::string();
    }
    bool send(MVTCourseListViewController& sheet, std::size_t requests) {
        sheet.toSubmit();
        if (!platform::AlertView::topAlert()) return false;
        platform::AlertView::topAlert()->clickButtonAtIndex(1);
        return waitForRequests("courseExam/2001/anwser", requests, sheet.view());
    }

    std::shared_ptr<CountReports> reports = std::make_shared<CountReports>();
};

TEST_F(AnswerSheetTest, ConfirmationCountsAnsweredAndUnanswered) {
    signIn("student");
    service().setReply("GET", kSheetPath, sample_service::Reply::json(fiveQuestions()));
    auto sheet = open(1);
    ASSERT_EQ(sheet->unDidSubmit(), 5);
    sheet->toSubmit();
    EXPECT_EQ(alertTitle(), "请先答题");
    platform::AlertView::clearVisible();

    for (int row : {0, 1, 2}) answerTrue(*sheet, row);
    answerTrue(*sheet, 1);  // answering again keeps one record
    EXPECT_EQ(sheet->allAnswersDic().size(), 3u);
    sheet->toSubmit();
    EXPECT_EQ(alertTitle(), "已答 3 ，未答 2 ，是否提交？");
    platform::AlertView::clearVisible();

    answerTrue(*sheet, 3);
    answerTrue(*sheet, 4);
    sheet->toSubmit();
    EXPECT_EQ(alertTitle(), "已答完所有题目，是否提交？");
}

TEST_F(AnswerSheetTest, TheLastSendReportsTheCountOnceFromARow) {
    signIn("student");
    service().setReply("GET", kSheetPath, sample_service::Reply::json(fiveQuestions()));
    auto sheet = open(1);
    for (int row : {0, 1}) answerTrue(*sheet, row);
    ASSERT_TRUE(send(*sheet, 1));
    auto request = service().lastRequest(kSendPath);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->formValue("examId"), "77");
    const Json answers = Json::parse(request->formValue("answers").value_or("null"));
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0]["success"], "1");
    // A partial send: lowered count, the send button stays, nothing reported.
    EXPECT_EQ(sheet->unDidSubmit(), 3);
    EXPECT_TRUE(sheet->sendButton());
    EXPECT_TRUE(reports->counts.empty());
    EXPECT_TRUE(sheet->allAnswersDic().empty());
    EXPECT_TRUE(sheet->cellAtRow(0)->didSubmit()) << "sent questions show as submitted";
    EXPECT_EQ(sheet->dataArr()[0]["stdAnswer"], "1");
    platform::AlertView::clearVisible();

    for (int row : {2, 3, 4}) answerTrue(*sheet, row);
    ASSERT_TRUE(send(*sheet, 2));
    EXPECT_EQ(sheet->unDidSubmit(), 0);
    EXPECT_FALSE(sheet->sendButton());
    EXPECT_EQ(reports->counts, std::vector<std::string>{"8"});
    EXPECT_EQ(alertTitle(), "提交成功");
}

TEST_F(AnswerSheetTest, ASearchedTestNeverReports) {
    signIn("student");
    service().setReply("GET", kSheetPath, sample_service::Reply::json(fiveQuestions()));
    auto sheet = open(0);
    for (int row = 0; row < 5; ++row) answerTrue(*sheet, row);
    ASSERT_TRUE(send(*sheet, 1));
    EXPECT_FALSE(sheet->sendButton());
    EXPECT_TRUE(reports->counts.empty());
}

TEST_F(AnswerSheetTest, ARefusedOrBrokenSendKeepsTheRecords) {
    signIn("student");
    service().setReply("GET", kSheetPath, sample_service::Reply::json(fiveQuestions()));
    auto sheet = open(1);
    answerTrue(*sheet, 0);
    const sample_service::Reply refusals[] = {
        sample_service::Reply::json({{"result", "fail"}}),
        sample_service::Reply::text("<html>oops</html>", "text/html"),
        sample_service::Reply::json({{"result", "success"}}, 500),
        sample_service::Reply::json(Json::array({"success"})),
    };
    std::size_t sent = 0;
    for (const auto& refusal : refusals) {
        service().setReply("POST", kSendPath, refusal);
        ASSERT_TRUE(send(*sheet, ++sent));
        EXPECT_EQ(alertTitle(), "提交失败");
        platform::AlertView::clearVisible();
        EXPECT_EQ(sheet->allAnswersDic().size(), 1u);
        EXPECT_EQ(sheet->unDidSubmit(), 5);
        EXPECT_FALSE(sheet->dataArr()[0].contains("stdAnswer"));
    }
}

TEST_F(AnswerSheetTest, RepliesThatAreNoSheet) {
    signIn("student");
    const struct {
        sample_service::Reply reply;
        const char* title;
    } cases[] = {
        {sample_service::Reply::json(Json::array()), "测验答题"},
        {sample_service::Reply::text("", "application/json"), "测验答题"},
        {sample_service::Reply::json({{"questions", 1}}), "加载失败"},
        {sample_service::Reply::text("not json", "text/plain"), "加载失败"},
        {sample_service::Reply::json(fiveQuestions(), 503), "加载失败"},
    };
    for (const auto& c : cases) {
        service().setReply("GET", kSheetPath, c.reply);
        auto sheet = open(1);
        EXPECT_EQ(sheet->title(), c.title);
        EXPECT_TRUE(sheet->dataArr().empty());
        EXPECT_FALSE(sheet->sendButton());
    }
}

TEST_F(AnswerSheetTest, TeacherLooksAtAStudentsSheetAsTheStudentSeesIt) {
    signIn("teacher");
    Json answered = fiveQuestions();
    answered[0]["stdAnswer"] = "0";
    answered[0]["success"] = "0";
    service().setReply("GET", kSheetPath, sample_service::Reply::json(answered));
    auto sheet = open(1, "teacherToLook");
    ASSERT_TRUE(service().lastRequest(kSheetPath));
    EXPECT_EQ(sheet->userRole(), "student");
    EXPECT_FALSE(sheet->sendButton());
    auto cell = sheet->cellAtRow(0);
    ASSERT_TRUE(cell->resultLabel());
    EXPECT_EQ(cell->resultLabel()->text(), "[错误]");
    // A teacher leaves without being asked.
    sheet->goback();
    EXPECT_FALSE(platform::AlertView::topAlert());
}

TEST_F(AnswerSheetTest, SampleSheetKeepsWhatWasSent) {
    signIn("student");
    auto sheet = std::make_shared<MVTCourseListViewController>();
    sheet->setWhereShow("homeView");
    sheet->setExamId("5101");
    showPushed(sheet);
    ASSERT_TRUE(pumpUntil([&] { return sheet->dataArr().size() == 6; }));
    answerTrue(*sheet, 1);
    sheet->toSubmit();
    platform::AlertView::topAlert()->clickButtonAtIndex(1);
    ASSERT_TRUE(waitForRequests("courseExam/2001/anwser", 1, sheet->view()));
    EXPECT_EQ(alertTitle(), "提交成功");

    auto again = std::make_shared<MVTCourseListViewController>();
    again->setWhereShow("homeView");
    again->setExamId("5101");
    showPushed(again);
    ASSERT_TRUE(pumpUntil([&] { return again->dataArr().size() == 6; }));
    EXPECT_EQ(again->dataArr()[1]["stdAnswer"], "1");
    EXPECT_EQ(again->unDidSubmit(), 5);
}

}  // namespace
