#include "platform/ui/TableView.h"
#include "platform/ui/TouchDispatcher.h"
#include "support/AppTest.h"

using namespace platform;

namespace {

// A list of texts in sections, recording what the table asks and tells.
struct ListSource : TableViewDataSource, TableViewDelegate {
    std::vector<std::vector<std::string>> sections;
    std::vector<std::string> headerTitles;
    std::vector<std::string> indexTitles;
    int cellsMade = 0;
    std::vector<std::string> log;
    bool editable = false;
    std::string deleteTitle = "Delete";
    std::weak_ptr<TableView> table;

    int numberOfSectionsInTableView(TableView&) override { return int(sections.size()); }
    int numberOfRowsInSection(TableView&, int s) override { return int(sections[size_t(s)].size()); }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& t, const IndexPath& ip) override {
        auto cell = t.dequeueReusableCellWithIdentifier("row");
        if (!cell) {
            cell = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle, "row");
            ++cellsMade;
        }
        cell->textLabel()->setText(sections[size_t(ip.section)][size_t(ip.row)]);
        cell->detailTextLabel()->setText("detail");
        return cell;
    }
    std::string titleForHeaderInSection(TableView&, int s) override {
        return size_t(s) < headerTitles.size() ? headerTitles[size_t(s)] : "";
    }
    std::vector<std::string> sectionIndexTitlesForTableView(TableView&) override { return indexTitles; }
    bool canEditRowAtIndexPath(TableView&, const IndexPath& ip) override { return editable && ip.row != 0; }
    void commitEditingStyle(TableView& t, TableViewCellEditingStyle, const IndexPath& ip) override {
        log.push_back("commit " + std::to_string(ip.section) + "/" + std::to_string(ip.row));
        auto& rows = sections[size_t(ip.section)];
        rows.erase(rows.begin() + ip.row);
        t.deleteRowsAtIndexPaths({ip}, TableViewRowAnimation::Fade);
    }
    std::string titleForDeleteConfirmationButtonForRowAtIndexPath(TableView&, const IndexPath&) override {
        return deleteTitle;
    }
    void didSelectRowAtIndexPath(TableView&, const IndexPath& ip) override {
        log.push_back("select " + std::to_string(ip.section) + "/" + std::to_string(ip.row));
    }
    void didDeselectRowAtIndexPath(TableView&, const IndexPath& ip) override {
        log.push_back("deselect " + std::to_string(ip.section) + "/" + std::to_string(ip.row));
    }
};

class ViewsTableTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        TouchDispatcher::shared().reset();
        root = std::make_shared<View>(Rect(0, 0, 320, 480));
        table = std::make_shared<TableView>(Rect(0, 0, 320, 440));
        root->addSubview(table);
        source = std::make_shared<ListSource>();
        source->table = table;
    }
    void fill(int sections, int rows) {
        source->sections.assign(size_t(sections), {});
        for (int s = 0; s < sections; ++s)
            for (int r = 0; r < rows; ++r)
                source->sections[size_t(s)].push_back("Row " + std::to_string(s) + "." + std::to_string(r));
        table->setDataSource(source);
        table->setDelegate(source);
        table->reloadData();
    }
    void tap(Point p) {
        TouchDispatcher::shared().touchBegan(*root, p);
        TouchDispatcher::shared().touchEnded(*root, p);
        advance(0.5);
    }
    void drag(Point from, Point to, int steps = 8, double dt = 0.02) {
        auto& d = TouchDispatcher::shared();
        d.touchBegan(*root, from);
        for (int i = 1; i <= steps; ++i) {
            advance(dt);
            d.touchMoved(*root, {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
        }
        d.touchEnded(*root, to);
    }
    std::shared_ptr<View> root;
    std::shared_ptr<TableView> table;
    std::shared_ptr<ListSource> source;
};

TEST_F(ViewsTableTest, ThousandRowsScrollWithFewReusedCells) {
    fill(1, 1000);
    EXPECT_EQ(table->numberOfRowsInSection(0), 1000);
    EXPECT_DOUBLE_EQ(table->contentSize().height, 44000);
    auto rows = table->indexPathsForVisibleRows();
    ASSERT_EQ(rows.size(), 10u);  // 440 / 44
    EXPECT_EQ(rows.front(), IndexPath::forRow(0, 0));
    for (double y = 0; y <= 44000 - 440; y += 37) table->setContentOffset({0, y});
    table->setContentOffset({0, 44000 - 440});
    EXPECT_LE(source->cellsMade, 13);
    rows = table->indexPathsForVisibleRows();
    EXPECT_EQ(rows.back(), IndexPath::forRow(999, 0));
    auto cell = table->cellForRowAtIndexPath(IndexPath::forRow(995, 0));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->textLabel()->text(), "Row 0.995");
    EXPECT_EQ(cell->frame(), Rect(0, 995 * 44, 320, 44));
    EXPECT_EQ(table->cellForRowAtIndexPath(IndexPath::forRow(3, 0)), nullptr);
    EXPECT_EQ(table->visibleCells().size(), 10u);

    // Dragging the list by touch scrolls it too, still with the same few cells.
    table->setContentOffset({0, 0});
    drag({160, 400}, {160, 100}, 10, 0.01);
    advance(5);
    EXPECT_GT(table->contentOffset().y, 300);
    EXPECT_LE(source->cellsMade, 13);
}

TEST_F(ViewsTableTest, TapSelectsTheRowAndADragDoesNot) {
    fill(1, 30);
    tap({100, 44 * 2 + 10});
    EXPECT_EQ(source->log, (std::vector<std::string>{"select 0/2"}));
    ASSERT_TRUE(table->indexPathForSelectedRow());
    EXPECT_TRUE(table->cellForRowAtIndexPath(IndexPath::forRow(2, 0))->isSelected());
    tap({100, 44 * 5 + 10});
    EXPECT_EQ(source->log, (std::vector<std::string>{"select 0/2", "deselect 0/2", "select 0/5"}));
    EXPECT_FALSE(table->cellForRowAtIndexPath(IndexPath::forRow(2, 0))->isSelected());

    source->log.clear();
    drag({100, 300}, {100, 200});
    advance(5);
    EXPECT_TRUE(source->log.empty());
}

TEST_F(ViewsTableTest, AButtonInARowKeepsItsTapUnlessItIsDisabled) {
    fill(1, 10);
    auto cell = table->cellForRowAtIndexPath(IndexPath::forRow(1, 0));
    auto button = std::make_shared<Button>(Rect(200, 5, 80, 34));
    cell->contentView()->addSubview(button);
    int pressed = 0;
    button->addTarget(ControlEventTouchUpInside, [&](Control&) { ++pressed; });
    tap({240, 44 + 20});
    EXPECT_EQ(pressed, 1);
    EXPECT_TRUE(source->log.empty());
    button->setEnabled(false);
    tap({240, 44 + 20});
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(source->log, (std::vector<std::string>{"select 0/1"}));
}

TEST_F(ViewsTableTest, SwipeShowsTheCustomDeleteButtonAndTappingItCommits) {
    fill(1, 20);
    source->editable = true;
    source->deleteTitle = "删除";
    drag({250, 44 * 3 + 20}, {150, 44 * 3 + 22});
    ASSERT_TRUE(table->indexPathShowingDeleteConfirmation());
    EXPECT_EQ(*table->indexPathShowingDeleteConfirmation(), IndexPath::forRow(3, 0));
    auto cell = table->cellForRowAtIndexPath(IndexPath::forRow(3, 0));
    ASSERT_TRUE(cell->showingDeleteConfirmation());
    auto button = cell->deleteConfirmationButton();
    EXPECT_EQ(button->currentTitle(), "删除");
    EXPECT_DOUBLE_EQ(table->contentOffset().y, 0);  // a sideways swipe does not scroll
    EXPECT_TRUE(source->log.empty());               // nor select

    Point p = button->convertPointTo({10, 10}, nullptr);
    tap(p);
    EXPECT_EQ(source->log, (std::vector<std::string>{"commit 0/3"}));
    EXPECT_EQ(table->numberOfRowsInSection(0), 19);
    EXPECT_FALSE(table->indexPathShowingDeleteConfirmation());
    ASSERT_FALSE(table->updates().empty());
    EXPECT_EQ(table->updates().back().kind, TableViewUpdate::Kind::DeleteRows);
    EXPECT_EQ(table->updates().back().animation, TableViewRowAnimation::Fade);
    EXPECT_EQ(table->cellForRowAtIndexPath(IndexPath::forRow(3, 0))->textLabel()->text(), "Row 0.4");
}

TEST_F(ViewsTableTest, RowsThatCannotBeEditedDoNotSwipeAndATapElsewhereHidesTheButton) {
    fill(1, 20);
    drag({250, 44 * 3 + 20}, {150, 44 * 3 + 22});  // editing off
    EXPECT_FALSE(table->indexPathShowingDeleteConfirmation());
    source->editable = true;
    drag({250, 20}, {150, 22});  // row 0 is not editable
    EXPECT_FALSE(table->indexPathShowingDeleteConfirmation());

    drag({250, 44 * 3 + 20}, {150, 44 * 3 + 22});
    ASSERT_TRUE(table->indexPathShowingDeleteConfirmation());
    tap({100, 44 * 6 + 10});  // another row: the button goes, nothing is selected
    EXPECT_FALSE(table->indexPathShowingDeleteConfirmation());
    EXPECT_TRUE(source->log.empty());
}

TEST_F(ViewsTableTest, SectionsHeadersAndGeometry) {
    fill(3, 5);
    source->headerTitles = {"A", "B", "C"};
    table->reloadData();
    // Each section: 22 header + 5 x 44.
    EXPECT_EQ(table->rectForHeaderInSection(1), Rect(0, 242, 320, 22));
    EXPECT_EQ(table->rectForRowAtIndexPath(IndexPath::forRow(2, 1)), Rect(0, 242 + 22 + 88, 320, 44));
    EXPECT_EQ(table->indexPathForRowAtPoint({10, 242 + 22 + 90}), IndexPath::forRow(2, 1));
    EXPECT_FALSE(table->indexPathForRowAtPoint({10, 250}));  // on a header
    auto header = table->headerViewForSection(0);
    ASSERT_TRUE(header);
    ASSERT_FALSE(header->subviews().empty());
    EXPECT_EQ(header->subviews()[0]->displayedText(), "A");

    // Plain headers stay pinned at the top while their section scrolls.
    table->setContentOffset({0, 100});
    EXPECT_DOUBLE_EQ(table->headerViewForSection(0)->frame().y(), 100);
    table->setContentOffset({0, 230});  // the end of section 0 pushes its header up
    EXPECT_DOUBLE_EQ(table->headerViewForSection(0)->frame().y(), 242 - 22);
}

TEST_F(ViewsTableTest, ScrollToRowAtEachPosition) {
    fill(1, 100);
    struct Case {
        TableViewScrollPosition position;
        int row;
        double expected;
    } cases[] = {
        {TableViewScrollPosition::Top, 50, 50 * 44},
        {TableViewScrollPosition::Middle, 50, 50 * 44 + 22 - 220},
        {TableViewScrollPosition::Bottom, 50, 51 * 44 - 440},
        {TableViewScrollPosition::Top, 99, 100 * 44 - 440},  // clamped at the end
        {TableViewScrollPosition::Top, 0, 0},
    };
    for (auto& c : cases) {
        table->scrollToRowAtIndexPath(IndexPath::forRow(c.row, 0), c.position, false);
        EXPECT_DOUBLE_EQ(table->contentOffset().y, c.expected) << c.row;
    }
    // None: only as far as needed, and not at all when the row is in view.
    table->scrollToRowAtIndexPath(IndexPath::forRow(5, 0), TableViewScrollPosition::None, false);
    EXPECT_DOUBLE_EQ(table->contentOffset().y, 0);
    table->scrollToRowAtIndexPath(IndexPath::forRow(20, 0), TableViewScrollPosition::None, false);
    EXPECT_DOUBLE_EQ(table->contentOffset().y, 21 * 44 - 440);
}

TEST_F(ViewsTableTest, IndexBarJumpsToTheSection) {
    fill(4, 10);
    source->indexTitles = {"A", "B", "C", "D"};
    table->reloadData();
    auto bar = table->sectionIndexView();
    ASSERT_TRUE(bar);
    Rect f = bar->convertRectTo(bar->bounds(), nullptr);
    EXPECT_DOUBLE_EQ(f.maxX(), 320);
    tap({f.midX(), f.y() + f.height() * 2.5 / 4});  // "C"
    EXPECT_DOUBLE_EQ(table->contentOffset().y, table->rectForSection(2).y());
    EXPECT_TRUE(source->log.empty());
}

TEST_F(ViewsTableTest, TableHeaderAndFooterViewsFrameTheRows) {
    fill(1, 3);
    table->setTableHeaderView(std::make_shared<View>(Rect(0, 0, 100, 50)));
    table->setTableFooterView(std::make_shared<View>(Rect(0, 0, 100, 30)));
    EXPECT_EQ(table->rectForRowAtIndexPath(IndexPath::forRow(0, 0)).y(), 50);
    EXPECT_DOUBLE_EQ(table->contentSize().height, 50 + 3 * 44 + 30);
    table->layoutIfNeeded();
    EXPECT_EQ(table->tableHeaderView()->frame(), Rect(0, 0, 320, 50));
    EXPECT_EQ(table->tableFooterView()->frame(), Rect(0, 50 + 132, 320, 30));
}

TEST_F(ViewsTableTest, ReloadWithFewerRowsBringsTheListBackAndDropsAVanishedSelection) {
    fill(1, 100);
    table->selectRowAtIndexPath(IndexPath::forRow(90, 0), false, TableViewScrollPosition::Bottom);
    EXPECT_DOUBLE_EQ(table->contentOffset().y, 91 * 44 - 440);
    source->sections[0].resize(5);
    table->reloadData();
    auto rows = table->indexPathsForVisibleRows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows.front(), IndexPath::forRow(0, 0));
    EXPECT_DOUBLE_EQ(table->contentOffset().y, 0);
    EXPECT_FALSE(table->indexPathForSelectedRow());
}

TEST_F(ViewsTableTest, ARowWithoutACellStaysEmpty) {
    struct Gappy : ListSource {
        std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& t, const IndexPath& ip) override {
            if (ip.row == 1) return nullptr;
            return ListSource::cellForRowAtIndexPath(t, ip);
        }
    };
    auto gappy = std::make_shared<Gappy>();
    gappy->sections = {{"a", "b", "c"}};
    table->setDataSource(gappy);
    EXPECT_EQ(table->visibleCells().size(), 2u);
    EXPECT_EQ(table->cellForRowAtIndexPath(IndexPath::forRow(1, 0)), nullptr);
    EXPECT_EQ(table->cellForRowAtIndexPath(IndexPath::forRow(2, 0))->textLabel()->text(), "c");
}

TEST_F(ViewsTableTest, CellStylesLayOutTheirLabelsAndAccessory) {
    auto cell = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle, "x");
    cell->setFrame({0, 0, 320, 60});
    cell->textLabel()->setText("Title");
    cell->detailTextLabel()->setText("Detail");
    cell->layoutSubviews();
    EXPECT_LT(cell->textLabel()->frame().maxY(), cell->detailTextLabel()->frame().maxY());
    EXPECT_DOUBLE_EQ(cell->textLabel()->frame().x(), 15);
    double fullWidth = cell->contentView()->frame().width();
    cell->setAccessoryType(TableViewCellAccessoryType::Checkmark);
    EXPECT_LT(cell->contentView()->frame().width(), fullWidth);

    auto plain = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "y");
    plain->detailTextLabel()->setText("hidden");
    EXPECT_EQ(plain->detailTextLabel()->superview(), nullptr);  // the default style shows no detail

    cell->setSelected(true);
    EXPECT_TRUE(cell->textLabel()->isHighlighted());
    cell->prepareForReuse();
    EXPECT_FALSE(cell->isSelected());
}

}  // namespace
