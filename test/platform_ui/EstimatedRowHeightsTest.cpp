#include "platform/ui/TableView.h"
#include "support/AppTest.h"

#include <map>

using namespace platform;

namespace {

// 1,000 rows, each really 100 points high (row 0: 150), guessed at 50 until measured.
class LongRows : public TableViewDataSource, public TableViewDelegate {
public:
    int count = 1000;
    std::map<int, int> measured;  // row -> times measured

    int numberOfRowsInSection(TableView&, int) override { return count; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, const IndexPath&) override {
        auto cell = table.dequeueReusableCellWithIdentifier("row");
        return cell ? cell : std::make_shared<TableViewCell>(TableViewCellStyle::Default, "row");
    }
    double heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) override {
        ++measured[indexPath.row];
        return indexPath.row == 0 ? 150 : 100;
    }
    std::string heightKeyForRowAtIndexPath(TableView&, const IndexPath& indexPath) override {
        return std::to_string(indexPath.row);
    }
};

class EstimatedRowHeightsTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        rows = std::make_shared<LongRows>();
        table = std::make_shared<TableView>(Rect(0, 0, 320, 400));
        table->setEstimatedRowHeight(50);
        table->setDataSource(rows);
        table->setDelegate(rows);
    }
    int timesMeasured() const {
        int n = 0;
        for (auto& [row, times] : rows->measured) n += times;
        return n;
    }
    std::shared_ptr<LongRows> rows;
    std::shared_ptr<TableView> table;
};

TEST_F(EstimatedRowHeightsTest, OnlyRowsInViewAreMeasured) {
    table->layoutIfNeeded();
    // 400 points show row 0 (150) and rows 1-3 (100 each, the last one cut).
    EXPECT_EQ(timesMeasured(), 4);
    EXPECT_EQ(table->visibleCells().size(), 4u);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 3}), Rect(0, 450 - 100, 320, 100));
    // The rest still count 50 each.
    EXPECT_DOUBLE_EQ(table->contentSize().height, 450 + 996 * 50);
}

TEST_F(EstimatedRowHeightsTest, AskingWhereARowIsMeasuresIt) {
    table->layoutIfNeeded();
    Rect before = table->rectForRowAtIndexPath({0, 500});
    EXPECT_EQ(before.height(), 100);
    EXPECT_EQ(rows->measured[500], 1);
    EXPECT_DOUBLE_EQ(table->contentSize().height, 450 + 100 + 995 * 50);
}

TEST_F(EstimatedRowHeightsTest, ScrollToTheLastRowPutsItAtTheBottom) {
    for (bool animated : {false, true}) {
        SCOPED_TRACE(animated);
        SetUp();
        table->layoutIfNeeded();
        table->scrollToRowAtIndexPath({0, 999}, TableViewScrollPosition::Bottom, animated);
        advance(1.0);
        table->layoutIfNeeded();
        Rect last = table->rectForRowAtIndexPath({0, 999});
        EXPECT_DOUBLE_EQ(last.maxY(), table->contentOffset().y + 400);
        EXPECT_DOUBLE_EQ(table->contentOffset().y, table->contentSize().height - 400);
        ASSERT_FALSE(table->indexPathsForVisibleRows().empty());
        EXPECT_EQ(table->indexPathsForVisibleRows().back(), IndexPath(0, 999));
        // A few screens' rows, not the thousand.
        EXPECT_LT(timesMeasured(), 30);
    }
}

TEST_F(EstimatedRowHeightsTest, RowsComingInAtTheTopLeaveTheShownRowsInPlace) {
    table->layoutIfNeeded();
    table->scrollToRowAtIndexPath({0, 999}, TableViewScrollPosition::Bottom, false);
    table->layoutIfNeeded();
    // Scroll far enough up that estimated rows come into view at the top.
    double onScreen = table->rectForRowAtIndexPath({0, 990}).y() - table->contentOffset().y;
    table->setContentOffset({0, table->contentOffset().y - 900}, false);
    table->layoutIfNeeded();
    double now = table->rectForRowAtIndexPath({0, 990}).y() - table->contentOffset().y;
    EXPECT_DOUBLE_EQ(now, onScreen + 900);
    for (auto& ip : table->indexPathsForVisibleRows())
        EXPECT_EQ(table->rectForRowAtIndexPath(ip).height(), ip.row == 0 ? 150 : 100) << ip.row;
}

TEST_F(EstimatedRowHeightsTest, MeasuredRowsAreRememberedAcrossReloadsByTheirKeys) {
    table->layoutIfNeeded();
    int first = timesMeasured();
    table->reloadData();
    table->layoutIfNeeded();
    EXPECT_EQ(timesMeasured(), first);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 1}).y(), 150);
}

TEST_F(EstimatedRowHeightsTest, WithoutAnEstimateEveryRowIsMeasuredAtLoad) {
    table->setEstimatedRowHeight(0);
    table->layoutIfNeeded();
    EXPECT_EQ(timesMeasured(), 1000);
    EXPECT_DOUBLE_EQ(table->contentSize().height, 150 + 999 * 100);
}

}  // namespace
