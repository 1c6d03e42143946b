// The question cell: answering each kind through its controls, the submitted and teacher
// views, and the pictures inside question texts.
#include "TestsFixture.h"

#include "platform/Paths.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/LazyImageView.h"

#include <filesystem>

using namespace testing_support;
using platform::Json;

namespace {

Json fillInQuestion() {
    return {{"id", "q3"},
            {"questionType", 3},
            {"questionTitle", "<p>床前明月光，疑是_霜。举头望_，低头思_。</p>"},
            {"answer", Json::array({{{"text", "地上"}}, {{"text", "明月"}}, {{"text", "故乡"}}})}};
}

Json matchingQuestion() {
    return {{"id", "q4"},
            {"questionType", 4},
            {"questionTitle", "连线"},
            {"options", Json::array({{{"text", "1"}, {"value", "A"}}, {{"text", "2"}, {"value", "B"}},
                                     {{"text", "3"}, {"value", "C"}}})},
            {"answer", Json::array({{{"text", "A"}}, {{"text", "B"}}, {{"text", "C"}}})}};
}

TEST_F(QuestionCellTest, ThreeBlanksAndReturnGiveTheirValuesInOrder) {
    auto cell = fill(fillInQuestion());
    const auto& fields = cell->fieldArr();
    ASSERT_EQ(fields.size(), 3u);
    // The fields sit at their placeholders in reading order.
    platform::Point last{-1, -1};
    for (const auto& field : fields) {
        const platform::Point at = field->convertPointTo({0, 0}, nullptr);
        EXPECT_TRUE(at.y > last.y + 1 || (std::abs(at.y - last.y) <= 1 && at.x > last.x)) << at.x << "," << at.y;
        last = at;
    }
    const char* typed[] = {"地上", "明月", "故乡"};
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(driver->tap(fields[std::size_t(i)]));
        driver->type(typed[i]);
    }
    driver->type("\n");
    EXPECT_TRUE(sheet->sent.empty()) << "two blanks filled send nothing";
    EXPECT_EQ(sheet->doneButtonHides, 2);

    ASSERT_TRUE(driver->tap(fields[2]));
    driver->type(typed[2]);
    driver->type("\n");
    ASSERT_EQ(sheet->sent.size(), 1u);
    const Json& record = sheet->sent[0].first;
    EXPECT_EQ(record["id"], "q3");
    EXPECT_EQ(record["success"], "1");
    ASSERT_EQ(record["answer"].size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(record["answer"][std::size_t(i)]["value"], std::to_string(i));
        EXPECT_EQ(record["answer"][std::size_t(i)]["text"], typed[i]);
    }
}

TEST_F(QuestionCellTest, DraggingCBAIntoABCJudgesOnce) {
    auto cell = fill(matchingQuestion());
    auto list = cell->liteSelectView();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->dataList(), Json::array({{{"text", "C"}}, {{"text", "B"}}, {{"text", "A"}}}));
    auto top = list->getStartSelectedItem({10, 10});
    auto bottom = list->getStartSelectedItem({10, list->bounds().height() - 10});
    ASSERT_TRUE(top && bottom && top != bottom);
    // A point on the border between two items picks the upper one.
    EXPECT_EQ(list->getStartSelectedItem({10, double(list->itemH() + 5)})->tag(), MVTItemChangeView::kHolderTag);

    const platform::Point from = top->convertPointTo(platform::Point{top->bounds().midX(), top->bounds().midY()}, nullptr);
    const platform::Point to = bottom->convertPointTo(platform::Point{bottom->bounds().midX(), bottom->bounds().midY()}, nullptr);
    driver->drag(from, to);
    driver->pump();
    EXPECT_EQ(list->dataList(), Json::array({{{"text", "A"}}, {{"text", "B"}}, {{"text", "C"}}}));
    EXPECT_TRUE(list->isDone());
    ASSERT_EQ(sheet->sent.size(), 1u);
    EXPECT_EQ(sheet->sent[0].first["success"], "1");
    EXPECT_EQ(sheet->sent[0].first["answer"][2]["value"], "3");
    // Scrolling stopped for the drag and came back after it.
    ASSERT_FALSE(sheet->scrolling.empty());
    EXPECT_FALSE(sheet->scrolling.front());
    EXPECT_TRUE(sheet->scrolling.back());
    // Tags follow positions.
    for (int b = 0; b < 3; ++b) {
        auto holder = list->getStartSelectedItem({10, b * (list->itemH() + 5.0) + 10});
        ASSERT_TRUE(holder);
        EXPECT_EQ(holder->tag(), MVTItemChangeView::kHolderTag + b);
    }
}

TEST_F(QuestionCellTest, ChoicesAreJudgedAtEveryTap) {
    Json question = {{"id", "q1"},
                     {"questionType", 1},
                     {"questionTitle", "多选"},
                     {"options", Json::array({{{"text", "甲"}}, {{"text", "乙"}}, {{"text", "丙"}}})},
                     {"answer", "0|2"}};
    auto cell = fill(question);
    ASSERT_EQ(cell->allBtnArr().size(), 3u);
    driver->tap(cell->allBtnArr()[2]);
    driver->tap(cell->allBtnArr()[0]);
    ASSERT_EQ(sheet->sent.size(), 2u);
    EXPECT_EQ(sheet->sent[1].first["answer"], "2|0");
    EXPECT_EQ(sheet->sent[1].first["success"], "1");
    driver->tap(cell->allBtnArr()[0]);
    driver->tap(cell->allBtnArr()[2]);
    EXPECT_EQ(sheet->withdrawn, std::vector<int>{0});
}

TEST_F(QuestionCellTest, TeacherSeesRightAnswersLockedWithStatistics) {
    const struct {
        const char* percent;
        Json faults;
        const char* line;
    } cases[] = {
        {"0%", 0, "暂无答题统计"},
        {"0%", 3, "正确率: 0% 错误人数: 3人"},
        {"75%", "1", "正确率: 75% 错误人数: 1人"},
    };
    for (const auto& c : cases) {
        Json question = {{"id", "q5"},           {"questionType", 5},     {"options", "判断"},
                         {"answer", "1"},        {"faultCount", c.faults}, {"correctPercent", c.percent},
                         {"analysis", "<null>"}};
        auto cell = fill(question, "teacher");
        ASSERT_TRUE(cell->statisticsLabel());
        EXPECT_EQ(cell->statisticsLabel()->text(), c.line);
        EXPECT_TRUE(cell->didSubmit());
        EXPECT_TRUE(cell->allBtnArr()[0]->isSelected());
        EXPECT_FALSE(cell->allBtnArr()[0]->isUserInteractionEnabled());
        EXPECT_FALSE(cell->resultLabel());
        // No verdict: the analysis box names the right answer.
        ASSERT_TRUE(cell->analysisView());
        EXPECT_EQ(cell->analysisView()->displayedText(), "答案：正确");
        driver->tap(cell->allBtnArr()[1]);
        EXPECT_TRUE(sheet->sent.empty());
    }
}

TEST_F(QuestionCellTest, SubmittedAnswerIsMarkedAndLocked) {
    Json question = {{"id", "q2"},       {"questionType", 2}, {"options", "写一句话"},
                     {"answer", "随意"}, {"stdAnswer", "春天来了"}, {"success", 2}};
    auto cell = fill(question);
    ASSERT_TRUE(cell->resultLabel());
    EXPECT_EQ(cell->resultLabel()->text(), "[合理即可]");
    EXPECT_EQ(cell->answerTextView()->text(), "春天来了");
    EXPECT_FALSE(cell->analysisView()) << "a free answer with a verdict and no analysis shows no box";
}

TEST_F(QuestionCellTest, OddQuestionsStillLayOut) {
    const Json odd[] = {
        {{"id", "x"}, {"questionType", 9}, {"questionTitle", "?"}},
        {{"id", "y"}, {"questionType", 3}, {"questionTitle", "_"}, {"answer", "not a list"}},
        {{"id", "z"}, {"questionType", 4}, {"options", nullptr}, {"answer", Json::object()}},
        {{"id", "w"}, {"questionType", 0}, {"options", nullptr}, {"answer", "1"}, {"stdAnswer", Json::array()}},
        Json::object(),
    };
    for (const auto& question : odd) {
        auto cell = fill(question);
        EXPECT_GT(cell->frame().height(), 30) << question.dump();
        cell->toCheckDoneAndGetAnswer();
    }
    EXPECT_TRUE(sheet->sent.empty());
}

TEST_F(QuestionCellTest, FormulaPictureIsFetchedOnceThenReadFromItsFile) {
    const std::string address = baseUrl() + "img_src/formula-1.png";
    Json question = {{"id", "f"},
                     {"questionType", 0},
                     {"questionTitle", "<p>算一算<img src=\"" + address + "\" width=\"120\" height=\"40\"></p>"},
                     {"options", Json::array({{{"text", "1"}}})},
                     {"answer", "0"}};
    const auto cached = platform::Paths::documentsDirectory() / "gongshiformula-1.png.png";
    auto fetches = [&] {
        std::size_t count = 0;
        for (const auto& r : service().requests())
            if (r.path == "/img_src/formula-1.png") ++count;
        return count;
    };
    auto first = fill(question);
    ASSERT_TRUE(pumpUntil([&] { return std::filesystem::exists(cached); }));
    EXPECT_EQ(fetches(), 1u);
    auto request = service().lastRequest("/img_src/formula-1.png");
    ASSERT_TRUE(request);
    EXPECT_TRUE(request->queryValue("token").has_value());

    auto second = fill(question, "student", 1);
    driver->pump();
    EXPECT_EQ(fetches(), 1u);
    auto picture = driver->find([&](const platform::View& v) {
        return v.accessibilityValue() == address && dynamic_cast<const platform::LazyImageView*>(&v) &&
               v.isDescendantOf(second.get());
    });
    ASSERT_TRUE(picture);
    EXPECT_TRUE(std::static_pointer_cast<platform::LazyImageView>(picture)->image());
}

}  // namespace
