// Preparing question texts and judging answers: each rule as one table.
#include "tests/QuestionText.h"

#include "shell/InternationalControl.h"
#include "support/AppTest.h"

#include <gtest/gtest.h>

using platform::Json;
using testing_support::AppTest;

namespace {

class QuestionTextTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
    }
};

TEST_F(QuestionTextTest, PreparationReplacesInItsOrder) {
    const struct {
        const char* input;
        const char* prepared;
    } cases[] = {
        {"a</br>b", "a<span style=\"color:white;\">.</span></li><li>b"},
        {"<v:shape>", "<style=\"width: 72px; height: 36px;\"shape>"},
        // With a width or height the "v:" stays.
        {"<v:shape width=3>", "<v:shape width=3>"},
        {"<img style=\"height: 44px;\">", "<img style=\"height: 36px;\">"},
        {"<img style=\"height: 37px;\"><img style=\"height: 50px;\">",
         "<img style=\"height: 36px;\"><img style=\"height: 36px;\">"},
        {"<img style=\"height: 51px;\">", "<img style=\"height: 51px;\">"},
        {"<img style=\"height: 36px;\">", "<img style=\"height: 36px;\">"},
        {"a<br>b<br/>c", "abc"},
        {"<p>x</p>", "<span>x</span>"},
        // Only paragraph tags become spans: superscripts stay.
        {"x<sup>2</sup>", "x<sup>2</sup>"},
        {"<?xml:namespace prefix=o>", "<?<style=namespace prefix=o>"},
        {"a <xml:b>", "a <style=b>"},
        {"plain 文字", "plain 文字"},
    };
    for (const auto& c : cases) EXPECT_EQ(quiz::replaceStringWith(c.input), c.prepared) << c.input;
}

TEST_F(QuestionTextTest, FillInPiecesAndBlanks) {
    EXPECT_EQ(quiz::fillInPieces("床前_光，\n疑是_霜。_"), (std::vector<std::string>{"床前", "光，疑是", "霜。"}));
    EXPECT_EQ(quiz::fillInPieces("_开头_"), (std::vector<std::string>{"开头"}));

    const Json answers = Json::array({{{"text", "a"}}, {{"text", "b"}}, {{"text", "c"}}});
    const std::string html = quiz::fillInHtml({"p1", "p2", "p3", "p4"}, answers, 300);
    // piece, blank, piece, blank, piece, blank, then the fourth piece.
    std::vector<std::size_t> at;
    for (const char* part : {"p1", "tirra-blank", "p2", "tirra-blank", "p3", "tirra-blank", "p4"}) {
        const std::size_t from = at.empty() ? 0 : at.back() + 1;
        at.push_back(html.find(part, from));
        ASSERT_NE(at.back(), std::string::npos) << part << " in " << html;
    }
    // A missing piece is empty rather than read past the pieces.
    const std::string short_ = quiz::fillInHtml({"only"}, answers, 300);
    EXPECT_EQ(short_.find("only"), 0u);
    std::size_t blanks = 0;
    for (auto at = short_.find(quiz::kBlankPlaceholder); at != std::string::npos;
         at = short_.find(quiz::kBlankPlaceholder, at + 1))
        ++blanks;
    EXPECT_EQ(blanks, 3u);

    // A right answer wider than the line gives a blank exactly that wide.
    EXPECT_EQ(quiz::blankWidth(std::string(200, 'W'), 280), 280);
    EXPECT_LT(quiz::blankWidth("a", 280), 60);
}

TEST_F(QuestionTextTest, PictureDisplaySizes) {
    const struct {
        double w, h, maxW, shownW, shownH;
    } cases[] = {
        {1000, 500, 300, 300, 150},
        {200, 800, 300, 75, 300},
        {40, 20, 300, 40, 20},
        {300, 300, 300, 300, 300},
    };
    for (const auto& c : cases) {
        const platform::Size size = quiz::displaySize(c.w, c.h, c.maxW);
        EXPECT_DOUBLE_EQ(size.width, c.shownW) << c.w << "x" << c.h;
        EXPECT_DOUBLE_EQ(size.height, c.shownH) << c.w << "x" << c.h;
    }
}

TEST_F(QuestionTextTest, FormulaKeysNeverNameOtherFiles) {
    const struct {
        const char* address;
        std::optional<std::string> key;
    } cases[] = {
        {"http://host/img_src/f1.png", "f1.png"},
        {"http://host/img_src/a/img_src/f2.png", "f2.png"},
        {"f3.png", "f3.png"},
        {"http://host/img_src/../../etc/passwd", std::nullopt},
        {"http://host/img_src/", std::nullopt},
        {"http://host/img_src/a\\b.png", std::nullopt},
        {"http://host/pictures/x.png", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(quiz::formulaKey(c.address), c.key) << c.address;
    EXPECT_TRUE(quiz::isWebAddress("https://a/b"));
    EXPECT_TRUE(quiz::isWebAddress("HTTP://a/b"));
    EXPECT_FALSE(quiz::isWebAddress("file:///etc/passwd"));
    EXPECT_FALSE(quiz::isWebAddress("javascript:alert(1)"));
    EXPECT_EQ(quiz::hideImageSources("a/img_src/b"), "a/imgsrc/b");
    EXPECT_EQ(quiz::restoreImageSources("a/imgsrc/b"), "a/img_src/b");
}

TEST_F(QuestionTextTest, RightAnswerInWords) {
    const Json pair = Json::array({{{"text", "甲"}}, {{"text", "乙"}}});
    const struct {
        int kind;
        Json answers;
        std::vector<std::string> pieces;
        const char* words;
    } cases[] = {
        {quiz::kMultiple, Json::array({"0", "2"}), {}, "A,C"},
        {quiz::kSingle, Json::array({"30"}), {}, "有误"},
        {quiz::kSingle, Json::array({"-1"}), {}, "有误"},
        {quiz::kTrueFalse, Json::array({"1"}), {}, "正确"},
        {quiz::kTrueFalse, Json::array({"0"}), {}, "错误"},
        {quiz::kFillIn, pair, {"一", "二", "三"}, "一[甲]二[乙]三"},
        {quiz::kFillIn, pair, {"一"}, "一[甲][乙]"},
        {quiz::kMatching, pair, {}, "A 配 甲 ,B 配 乙 "},
        {quiz::kFillIn, Json("not a list"), {"一"}, "一"},
        {9, Json::array({"1"}), {}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(quiz::answerInWords(c.kind, c.answers, c.pieces), c.words) << c.kind;
    EXPECT_EQ(quiz::optionLetter(8), "I");
    EXPECT_EQ(quiz::optionLetter(25), "Z");
    EXPECT_EQ(quiz::optionLetter(26), "27");
}

TEST_F(QuestionTextTest, AnswerListsByKind) {
    EXPECT_EQ(quiz::answerList(quiz::kMultiple, "0|2"), Json::array({"0", "2"}));
    EXPECT_EQ(quiz::answerList(quiz::kSingle, 3), Json::array({"3"}));
    EXPECT_EQ(quiz::answerList(quiz::kFillIn, Json::array({{{"text", "a"}}})).size(), 1u);
    // Kinds 3 and 4 take only arrays: anything else is no answer at all.
    EXPECT_TRUE(quiz::answerList(quiz::kFillIn, "a").empty());
    EXPECT_TRUE(quiz::answerList(quiz::kMatching, Json::object()).empty());
}

using Outcome = quiz::Judgement::Outcome;

quiz::AnswerInput choiceInput(int kind, Json right, std::vector<std::string> chosen) {
    quiz::AnswerInput input;
    input.kind = kind;
    input.teacherAnswers = std::move(right);
    input.chosen = std::move(chosen);
    return input;
}

quiz::AnswerInput blanksInput(std::vector<std::optional<std::string>> blanks) {
    quiz::AnswerInput input;
    input.kind = quiz::kFillIn;
    input.teacherAnswers = Json::array({{{"text", "Apple"}}, {{"text", " "}}, {{"text", "猫"}}});
    input.blanks = std::move(blanks);
    return input;
}

TEST_F(QuestionTextTest, JudgingTable) {
    quiz::AnswerInput free;
    free.kind = quiz::kFree;
    free.freeText = "two words\non two lines";
    quiz::AnswerInput spaces = free;
    spaces.freeText = "  \n ";
    quiz::AnswerInput noText = free;
    noText.freeText.reset();
    quiz::AnswerInput noBlanks;
    noBlanks.kind = quiz::kFillIn;
    quiz::AnswerInput matchingBefore;
    matchingBefore.kind = quiz::kMatching;
    matchingBefore.teacherAnswers = Json::array({{{"text", "A"}}, {{"text", "B"}}});
    matchingBefore.dragEntries = Json::array({{{"text", "B"}}, {{"text", "A"}}});
    quiz::AnswerInput matchingWrong = matchingBefore;
    matchingWrong.dragDone = true;
    quiz::AnswerInput matchingRight = matchingWrong;
    matchingRight.dragEntries = Json::array({{{"text", "A"}}, {{"text", "B"}}});
    quiz::AnswerInput unknown = choiceInput(7, Json::array({"1"}), {"1"});

    const Json blanksRight = Json::array({{{"text", "Apple"}, {"value", "0"}},
                                          {{"text", " "}, {"value", "1"}},
                                          {{"text", "猫"}, {"value", "2"}}});
    const struct {
        const char* name;
        quiz::AnswerInput input;
        Outcome outcome;
        int success;
        Json answer;
    } cases[] = {
        {"single right", choiceInput(0, Json::array({"1"}), {"1"}), Outcome::Record, 1, "1"},
        {"single wrong", choiceInput(0, Json::array({"1"}), {"2"}), Outcome::Record, 0, "2"},
        {"single by integer value", choiceInput(0, Json::array({"01"}), {"1"}), Outcome::Record, 1, "1"},
        {"single nothing chosen", choiceInput(0, Json::array({"1"}), {}), Outcome::Nothing, 0, nullptr},
        {"true/false right", choiceInput(5, Json::array({"1"}), {"1"}), Outcome::Record, 1, "1"},
        {"true/false wrong", choiceInput(5, Json::array({"1"}), {"0"}), Outcome::Record, 0, "0"},
        {"multiple in tick order", choiceInput(1, Json::array({"0", "2"}), {"2", "0"}), Outcome::Record, 1, "2|0"},
        {"multiple one too many", choiceInput(1, Json::array({"0", "2"}), {"0", "1", "2"}), Outcome::Record, 0,
         "0|1|2"},
        {"multiple one too few", choiceInput(1, Json::array({"0", "2"}), {"0"}), Outcome::Record, 0, "0"},
        {"multiple exact texts", choiceInput(1, Json::array({"0", "2"}), {"0", "02"}), Outcome::Record, 0, "0|02"},
        {"multiple ticked off", choiceInput(1, Json::array({"0", "2"}), {}), Outcome::Withdraw, 0, nullptr},
        {"free answer", free, Outcome::Record, 2, "twowordsontwolines"},
        {"free answer of spaces", spaces, Outcome::Withdraw, 0, nullptr},
        {"free answer without text", noText, Outcome::Withdraw, 0, nullptr},
        {"blanks all right", blanksInput({"Apple", " ", "猫"}), Outcome::Record, 1, blanksRight},
        {"blanks case counts", blanksInput({"apple", " ", "猫"}), Outcome::Record, 0,
         Json::array({{{"text", "apple"}, {"value", "0"}}, {{"text", " "}, {"value", "1"}},
                      {{"text", "猫"}, {"value", "2"}}})},
        {"blanks one empty", blanksInput({"Apple", "", "猫"}), Outcome::Nothing, 0, nullptr},
        {"blanks one missing", blanksInput({"Apple", std::nullopt, "猫"}), Outcome::Nothing, 0, nullptr},
        {"blanks all spaces", blanksInput({" ", "", "  "}), Outcome::Withdraw, 0, nullptr},
        {"no blanks", noBlanks, Outcome::Withdraw, 0, nullptr},
        {"more blanks than answers", blanksInput({"Apple", " ", "猫", "x"}), Outcome::Record, 0,
         Json::array({{{"text", "Apple"}, {"value", "0"}}, {{"text", " "}, {"value", "1"}},
                      {{"text", "猫"}, {"value", "2"}}, {{"text", "x"}, {"value", "3"}}})},
        {"matching before a swap", matchingBefore, Outcome::Nothing, 0, nullptr},
        {"matching wrong order", matchingWrong, Outcome::Record, 0,
         Json::array({{{"text", "B"}, {"value", "1"}}, {{"text", "A"}, {"value", "2"}}})},
        {"matching right order", matchingRight, Outcome::Record, 1,
         Json::array({{{"text", "A"}, {"value", "1"}}, {{"text", "B"}, {"value", "2"}}})},
        {"unknown kind", unknown, Outcome::Nothing, 0, nullptr},
    };
    for (const auto& c : cases) {
        const quiz::Judgement judgement = quiz::judge(c.input);
        EXPECT_EQ(judgement.outcome, c.outcome) << c.name;
        if (c.outcome != Outcome::Record) continue;
        EXPECT_EQ(judgement.success, c.success) << c.name;
        EXPECT_EQ(judgement.answer, c.answer) << c.name;
    }
}

}  // namespace
