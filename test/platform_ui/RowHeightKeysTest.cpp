#include "platform/ui/TableView.h"
#include "support/AppTest.h"

#include <map>

using namespace platform;

namespace {

// Rows whose height is their text's length; keyed by the text when `keyed`.
class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    std::vector<std::string> texts;
    bool keyed = true;
    std::map<int, int> measured;  // row -> times measured

    int numberOfRowsInSection(TableView&, int) override { return int(texts.size()); }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, const IndexPath&) override {
        return std::make_shared<TableViewCell>();
    }
    double heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) override {
        ++measured[indexPath.row];
        return double(texts[size_t(indexPath.row)].size());
    }
    std::string heightKeyForRowAtIndexPath(TableView&, const IndexPath& indexPath) override {
        return keyed ? texts[size_t(indexPath.row)] : std::string();
    }
};

class RowHeightKeysTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        rows = std::make_shared<Rows>();
        rows->texts = {"aaaa", "bb", "cccccc"};
        table = std::make_shared<TableView>(Rect(0, 0, 320, 400));
        table->setDataSource(rows);
        table->setDelegate(rows);
    }
    std::shared_ptr<Rows> rows;
    std::shared_ptr<TableView> table;
};

TEST_F(RowHeightKeysTest, UnchangedKeysAreNotMeasuredAgain) {
    table->layoutIfNeeded();
    EXPECT_EQ(table->rowsMeasuredInLastLoad(), 3);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 2}).height(), 6);

    rows->texts[1] = "bbbbbbbbbb";  // one row changes
    table->reloadData();
    table->layoutIfNeeded();
    EXPECT_EQ(table->rowsMeasuredInLastLoad(), 1);
    EXPECT_EQ(rows->measured[1], 2);
    EXPECT_EQ(rows->measured[0], 1);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 1}).height(), 10);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 2}).y(), 14);

    // A row inserted with a key already known takes the remembered height.
    rows->texts.insert(rows->texts.begin(), "cccccc");
    table->insertRowsAtIndexPaths({{0, 0}}, TableViewRowAnimation::None);
    EXPECT_EQ(table->numberOfRowsInSection(0), 4);
    EXPECT_EQ(table->rowsMeasuredInLastLoad(), 0);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 0}).height(), 6);
}

TEST_F(RowHeightKeysTest, RowsWithoutKeysAreMeasuredEveryTime) {
    rows->keyed = false;
    table->layoutIfNeeded();
    table->reloadData();
    table->layoutIfNeeded();
    EXPECT_EQ(table->rowsMeasuredInLastLoad(), 3);
    EXPECT_EQ(rows->measured[0], 2);
}

TEST_F(RowHeightKeysTest, KeysOfRowsGoneAreForgotten) {
    table->layoutIfNeeded();
    rows->texts = {"bb"};
    table->reloadData();
    table->layoutIfNeeded();
    rows->texts = {"bb", "aaaa"};
    table->reloadData();
    table->layoutIfNeeded();
    // "aaaa" left the table in between, so it is measured again.
    EXPECT_EQ(table->rowsMeasuredInLastLoad(), 1);
    EXPECT_EQ(rows->measured[1], 2);
}

}  // namespace
