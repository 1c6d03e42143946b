// The homework list row: texts, counts, the red dot, the star and the row height.
#include "HomeworkFixture.h"

#include "homework/MVTNewHomeworkCell.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {

class SpyStarDelegate : public MVTNewHomeworkCellDelegate {
public:
    void newHomeworkCellStarClick(Button& button) override { taps.emplace_back(button.tag(), button.accessibilityValue()); }
    std::vector<std::pair<int, std::string>> taps;
};

class HomeworkCellTest : public testing_support::HomeworkTest {
protected:
    std::shared_ptr<MVTNewHomeworkCell> filled(const Json& row, int index = 0) {
        auto cell = MVTNewHomeworkCell::make();
        cell->reloadDataWith(row, index);
        return cell;
    }
    double width() const { return Screen::mainScreen().bounds().width(); }
};

TEST_F(HomeworkCellTest, TextsAndCountsOfATeachersRow) {
    signIn("teacher");
    struct Case {
        Json row;
        std::string content;
        std::string counts;
    };
    const Case cases[] = {
        {{{"content", "  \n 背诵课文\n "}, {"stdCount", 30}, {"submitCount", "3"}}, "背诵课文", "3人提交/发布30人"},
        {{{"content", " \n\n  "}, {"stdCount", "0"}, {"submitCount", "3"}}, "[附件]", "3人提交"},
        {{{"content", "口算"}, {"stdCount", "12"}}, "口算", "发布12人"},
        {{{"stdCount", "0"}, {"submitCount", "0"}}, "", ""},
    };
    for (const Case& c : cases) {
        auto cell = filled(c.row);
        EXPECT_EQ(cell->contentLa()->text(), c.content) << c.row.dump();
        EXPECT_EQ(cell->subCountLa()->text(), c.counts) << c.row.dump();
        EXPECT_TRUE(cell->starBtn()->isHidden());
        ASSERT_NE(cell->arrow(), nullptr);
    }
}

TEST_F(HomeworkCellTest, TheRowIsTheWrappedTextPlusTwentyFivePointsHigh) {
    signIn("teacher");
    // One line of this font is a little over 20 points high here.
    const double line = std::max(20.0, TextMeasure::size("背诵", Font::systemFontOfSize(14), width() - 40).height);
    auto one = filled({{"content", "背诵"}, {"dateline", "1767500000"}});
    EXPECT_EQ(one->frame().height(), line + 25);
    EXPECT_EQ(one->line()->frame().y(), line + 24.5);
    EXPECT_EQ(one->timeLa()->frame().y(), line + 5);
    // No text at all keeps the label's 20 points.
    EXPECT_EQ(filled({{"id", "1"}})->frame().height(), 45);
    EXPECT_FALSE(one->timeLa()->text().empty());

    const std::string words = "把第三单元的生字每个写三遍，再用其中五个字各组两个词，明天早读时交给组长检查，家长签字。";
    auto three = filled({{"content", words + words}});
    const double wrapped = TextMeasure::size(words + words, Font::systemFontOfSize(14), width() - 40).height;
    ASSERT_GT(wrapped, 40);
    EXPECT_EQ(three->frame().height(), wrapped + 25);
    EXPECT_EQ(three->contentLa()->frame().height(), wrapped);
}

TEST_F(HomeworkCellTest, AStudentsRowShowsTheStarInsteadOfCountsAndReportsItsTap) {
    signIn("student");
    auto spy = std::make_shared<SpyStarDelegate>();
    auto cell = filled({{"id", 5004}, {"content", "作文"}, {"star", "1"}, {"stdCount", "30"}, {"readed", "0"}}, 7);
    cell->setDelegate(spy);
    EXPECT_EQ(cell->subCountLa()->text(), "");
    EXPECT_FALSE(cell->starBtn()->isHidden());
    EXPECT_TRUE(cell->starBtn()->isSelected());
    const double height = cell->frame().height();
    EXPECT_EQ(cell->starBtn()->frame(), Rect(width() - 44, (height - 44) / 2, 44, 44));
    // A student's text wraps short of the star.
    const std::string long_text(60, 'w');
    cell->reloadDataWith({{"id", "1"}, {"content", long_text + " " + long_text}, {"star", "0"}}, 0);
    EXPECT_LE(cell->contentLa()->frame().width(), width() - 64);
    EXPECT_GT(cell->contentLa()->frame().height(), 21);
    cell->reloadDataWith({{"id", 5004}, {"content", "作文"}, {"star", "1"}, {"readed", "0"}}, 7);
    EXPECT_EQ(cell->arrow(), nullptr);
    EXPECT_FALSE(cell->dianView()->isHidden());
    cell->starBtn()->sendActionsForControlEvents(ControlEventTouchUpInside);
    ASSERT_EQ(spy->taps.size(), 1u);
    EXPECT_EQ(spy->taps[0], std::make_pair(7, std::string("5004")));

    cell->reloadDataWith({{"id", "5005"}, {"star", "0"}, {"readed", "1"}}, 2);
    EXPECT_FALSE(cell->starBtn()->isSelected());
    EXPECT_TRUE(cell->dianView()->isHidden());
}

TEST_F(HomeworkCellTest, TheRedDotShowsWhileUnreadExceptToParents) {
    struct Case {
        const char* role;
        Json row;
        bool dot;
    };
    const Case cases[] = {
        {"teacher", {{"content", "a"}}, true},
        {"teacher", {{"readed", "0"}}, true},
        {"teacher", {{"readed", true}}, false},
        {"student", {{"readed", "1"}}, false},
        {"parent", {{"readed", "0"}}, false},
        {"parent", {{"content", "a"}}, false},
    };
    for (const Case& c : cases) {
        signIn(c.role);
        EXPECT_EQ(!filled(c.row)->dianView()->isHidden(), c.dot) << c.role << " " << c.row.dump();
    }
}

}  // namespace
