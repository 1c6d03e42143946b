#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableViewCell.h"

#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class TableView;
class PanGestureRecognizer;

enum class TableViewStyle { Plain, Grouped };
enum class TableViewRowAnimation { Fade, Right, Left, Top, Bottom, None, Middle, Automatic };
enum class TableViewScrollPosition { None, Top, Middle, Bottom };

// Where the rows come from. Only the row count and the cells are required.
class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSectionsInTableView(TableView& tableView) {
        (void)tableView;
        return 1;
    }
    virtual int numberOfRowsInSection(TableView& tableView, int section) = 0;
    virtual std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) = 0;
    virtual std::string titleForHeaderInSection(TableView& tableView, int section) {
        (void)tableView;
        (void)section;
        return {};
    }
    virtual std::string titleForFooterInSection(TableView& tableView, int section) {
        (void)tableView;
        (void)section;
        return {};
    }
    // Rows can be swiped to show the delete button only where this answers true (a data
    // source that commits deletions says which rows it can delete).
    virtual bool canEditRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView;
        (void)indexPath;
        return false;
    }
    // The delete button of a swiped row was tapped.
    virtual void commitEditingStyle(TableView& tableView, TableViewCellEditingStyle style, const IndexPath& indexPath) {
        (void)tableView;
        (void)style;
        (void)indexPath;
    }
    // Titles of the index bar at the right edge (empty: no bar).
    virtual std::vector<std::string> sectionIndexTitlesForTableView(TableView& tableView) {
        (void)tableView;
        return {};
    }
    virtual int sectionForSectionIndexTitle(TableView& tableView, const std::string& title, int index) {
        (void)tableView;
        (void)title;
        return index;
    }
};

// What the table tells and asks its delegate; it is also the table's scroll view delegate.
// Every operation is optional.
class TableViewDelegate : public virtual ScrollViewDelegate {
public:
    // Heights default to the table's rowHeight / header and footer heights
    // (TableView::automaticDimension means "the table's default").
    virtual double heightForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath);
    // A text naming what a row shows (its content, and whatever else its height depends
    // on). A row that gives one is measured once per key: while its key stays the same the
    // table takes the height it remembered instead of asking heightForRowAtIndexPath again.
    // Empty (the default): the row is measured at every reload.
    virtual std::string heightKeyForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView;
        (void)indexPath;
        return {};
    }
    // A cheap guess of a row's height, used while the table estimates (estimatedRowHeight
    // above 0): a row takes its guess until it comes into view or a caller asks where it
    // is, and only then is heightForRowAtIndexPath asked. Default: estimatedRowHeight.
    virtual double estimatedHeightForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath);
    virtual double heightForHeaderInSection(TableView& tableView, int section);
    virtual double heightForFooterInSection(TableView& tableView, int section);
    virtual std::shared_ptr<View> viewForHeaderInSection(TableView& tableView, int section) {
        (void)tableView;
        (void)section;
        return nullptr;
    }
    virtual std::shared_ptr<View> viewForFooterInSection(TableView& tableView, int section) {
        (void)tableView;
        (void)section;
        return nullptr;
    }
    virtual void willDisplayCell(TableView& tableView, TableViewCell& cell, const IndexPath& indexPath) {
        (void)tableView;
        (void)cell;
        (void)indexPath;
    }
    virtual void didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView;
        (void)indexPath;
    }
    virtual void didDeselectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView;
        (void)indexPath;
    }
    virtual TableViewCellEditingStyle editingStyleForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView;
        (void)indexPath;
        return TableViewCellEditingStyle::Delete;
    }
    virtual std::string titleForDeleteConfirmationButtonForRowAtIndexPath(TableView& tableView,
                                                                          const IndexPath& indexPath) {
        (void)tableView;
        (void)indexPath;
        return "Delete";
    }
};

// A change asked of the table (recorded so tests can read which animation was asked for;
// the change itself takes effect at once).
struct TableViewUpdate {
    enum class Kind { InsertRows, DeleteRows, ReloadRows, InsertSections, DeleteSections, ReloadSections };
    Kind kind;
    std::vector<IndexPath> rows;
    std::vector<int> sections;
    TableViewRowAnimation animation;
};

// A vertical list of rows in sections. Only the rows in view have cells: cells that scroll
// out go to a reuse queue by identifier, and the data source takes them back with
// dequeueReusableCellWithIdentifier. Rows are loaded on first layout (or when asked about)
// after reloadData. A tap on a row selects it; a leftward swipe on an editable row shows
// its delete button; the index bar jumps to sections.
class TableView : public ScrollView {
public:
    static constexpr double automaticDimension = -1;

    TableView();
    explicit TableView(const Rect& frame, TableViewStyle style = TableViewStyle::Plain);
    ~TableView() override;
    // For tables made with make_shared<TableView>() and set up afterwards.
    void initWithFrame(const Rect& frame, TableViewStyle style = TableViewStyle::Plain);

    std::string className() const override { return "TableView"; }
    TableViewStyle style() const { return style_; }

    std::shared_ptr<TableViewDataSource> dataSource() const { return dataSource_.lock(); }
    // Held weakly.
    void setDataSource(const std::shared_ptr<TableViewDataSource>& dataSource);
    std::shared_ptr<TableViewDelegate> delegate() const { return tableDelegate_.lock(); }
    // Held weakly; also the scroll view delegate.
    void setDelegate(const std::shared_ptr<TableViewDelegate>& delegate);

    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double height);
    // 0 (the default): every row is measured when the rows load. Above 0: rows take an
    // estimate and are measured when shown or placed (long lists open in the time of the
    // rows in view, not of all of them).
    double estimatedRowHeight() const { return estimatedRowHeight_; }
    void setEstimatedRowHeight(double height);
    double sectionHeaderHeight() const { return sectionHeaderHeight_; }
    void setSectionHeaderHeight(double height) { sectionHeaderHeight_ = height; }
    double sectionFooterHeight() const { return sectionFooterHeight_; }
    void setSectionFooterHeight(double height) { sectionFooterHeight_ = height; }
    TableViewCellSeparatorStyle separatorStyle() const { return separatorStyle_; }
    void setSeparatorStyle(TableViewCellSeparatorStyle style);
    Color separatorColor() const { return separatorColor_; }
    void setSeparatorColor(const Color& color);
    std::shared_ptr<View> tableHeaderView() const { return tableHeaderView_; }
    void setTableHeaderView(std::shared_ptr<View> view);
    std::shared_ptr<View> tableFooterView() const { return tableFooterView_; }
    void setTableFooterView(std::shared_ptr<View> view);
    std::shared_ptr<View> backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<View> view);
    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool on) { allowsSelection_ = on; }

    // ---- Data
    void reloadData();
    void beginUpdates() {}
    void endUpdates() {}
    void insertRowsAtIndexPaths(const std::vector<IndexPath>& rows, TableViewRowAnimation animation);
    void deleteRowsAtIndexPaths(const std::vector<IndexPath>& rows, TableViewRowAnimation animation);
    void reloadRowsAtIndexPaths(const std::vector<IndexPath>& rows, TableViewRowAnimation animation);
    void insertSections(const std::vector<int>& sections, TableViewRowAnimation animation);
    void deleteSections(const std::vector<int>& sections, TableViewRowAnimation animation);
    void reloadSections(const std::vector<int>& sections, TableViewRowAnimation animation);
    const std::vector<TableViewUpdate>& updates() const { return updates_; }
    // How many rows the delegate was asked to measure since the rows last loaded (the
    // others had a remembered height for their key, or, while estimating, were not shown).
    int rowsMeasuredInLastLoad() const { return rowsMeasured_; }

    int numberOfSections();
    int numberOfRowsInSection(int section);

    // ---- Geometry (content coordinates)
    Rect rectForSection(int section);
    Rect rectForRowAtIndexPath(const IndexPath& indexPath);
    Rect rectForHeaderInSection(int section);
    Rect rectForFooterInSection(int section);
    // The row at a point in the table's coordinates (nullopt: none).
    std::optional<IndexPath> indexPathForRowAtPoint(const Point& point);
    std::optional<IndexPath> indexPathForCell(const TableViewCell& cell);
    std::vector<IndexPath> indexPathsForRowsInRect(const Rect& rect);

    // ---- Cells
    std::shared_ptr<TableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);
    // The cell of a visible row, nullptr for rows out of view.
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(const IndexPath& indexPath);
    std::vector<std::shared_ptr<TableViewCell>> visibleCells();
    std::vector<IndexPath> indexPathsForVisibleRows();
    // The header or footer view of a section in view.
    std::shared_ptr<View> headerViewForSection(int section);

    // ---- Selection and scrolling
    std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }
    // Selects without telling the delegate, as the handset does for programmatic selection.
    void selectRowAtIndexPath(const std::optional<IndexPath>& indexPath, bool animated,
                              TableViewScrollPosition position = TableViewScrollPosition::None);
    void deselectRowAtIndexPath(const IndexPath& indexPath, bool animated);
    void scrollToRowAtIndexPath(const IndexPath& indexPath, TableViewScrollPosition position, bool animated);

    // ---- Swipe to delete
    std::optional<IndexPath> indexPathShowingDeleteConfirmation() const { return deleteRow_; }
    void showDeleteConfirmationForRowAtIndexPath(const IndexPath& indexPath);
    void hideDeleteConfirmation();

    // The index bar (nullptr while the data source gives no titles).
    std::shared_ptr<View> sectionIndexView();
    // Jumps to the section the data source names for index title `index`.
    void scrollToSectionIndex(int index);

    void layoutSubviews() override;
    void setFrame(const Rect& frame) override;

protected:
    void visibleRectDidChange() override;
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void touchesCancelled(const Touches& touches) override;

private:
    struct Section {
        double top = 0;
        double headerHeight = 0;
        double footerHeight = 0;
        int rows = 0;
        std::vector<double> rowTops;  // rows + 1 entries, relative to the first row
        std::vector<bool> estimated;  // rows still carrying an estimate (empty: none)
        std::string headerTitle, footerTitle;
        double height() const { return headerHeight + rowTops.back() + footerHeight; }
        double rowsTop() const { return top + headerHeight; }
    };
    void setupTable();
    void ensureLoaded();
    void loadModel();
    bool estimating() const { return estimatedRowHeight_ > 0; }
    // A row's height from its remembered key or the delegate.
    double measuredHeight(const std::shared_ptr<TableViewDelegate>& d, const IndexPath& indexPath,
                          std::map<std::string, double>& remembered);
    // Replaces an estimated row's height by its measure; returns how much it grew.
    double measureRow(const IndexPath& indexPath);
    // Measures the estimated rows in the visible rect, keeping the rows already in view
    // where they are.
    void measureVisibleRows();
    // Measures the rows a scroll to `indexPath` can show: a screen below it and two above.
    void measureRowsAround(const IndexPath& indexPath);
    // The row before (direction -1) or after (+1), across sections; false at either end.
    bool stepRow(IndexPath& indexPath, int direction) const;
    bool isEstimated(const IndexPath& indexPath) const;
    double rowTop(const IndexPath& indexPath) const;
    void tile();
    void recycle(const std::shared_ptr<TableViewCell>& cell);
    void placeSectionViews(const Rect& visible);
    void placeFixedViews();
    void updateIndexView();
    void recordUpdate(TableViewUpdate update);
    bool validIndexPath(const IndexPath& indexPath);
    double resolvedHeaderHeight(int section, const std::string& title);
    double resolvedFooterHeight(int section, const std::string& title);
    bool swipeMayBegin();
    void handleSwipe();
    void userSelect(const IndexPath& indexPath);

    TableViewStyle style_ = TableViewStyle::Plain;
    std::weak_ptr<TableViewDataSource> dataSource_;
    std::weak_ptr<TableViewDelegate> tableDelegate_;
    double rowHeight_ = 44;
    double estimatedRowHeight_ = 0;
    double sectionHeaderHeight_ = 22;
    double sectionFooterHeight_ = 22;
    TableViewCellSeparatorStyle separatorStyle_ = TableViewCellSeparatorStyle::SingleLine;
    Color separatorColor_ = Color::rgba(0.78, 0.78, 0.8);
    std::shared_ptr<View> tableHeaderView_, tableFooterView_, backgroundView_;
    bool allowsSelection_ = true;

    bool needsReload_ = true;
    bool loading_ = false;
    bool tiling_ = false;
    std::vector<Section> sections_;
    double contentHeight_ = 0;
    // Heights by the rows' keys, as of the last load (rows no longer listed are dropped).
    std::map<std::string, double> rememberedHeights_;
    // While estimating: the heights remembered before the last load, taken over by the
    // rows measured since (rows not measured again in a load cycle are forgotten).
    std::map<std::string, double> earlierHeights_;
    int rowsMeasured_ = 0;
    std::map<IndexPath, std::shared_ptr<TableViewCell>> visible_;
    std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>> reusePool_;
    std::map<int, std::shared_ptr<View>> headers_, footers_;
    std::vector<TableViewUpdate> updates_;
    std::optional<IndexPath> selected_;
    std::optional<IndexPath> touched_;
    Point touchStart_;
    std::optional<IndexPath> deleteRow_;
    bool touchDismissedDelete_ = false;
    std::optional<IndexPath> swipeRow_;
    Point lastOffset_;
    std::shared_ptr<PanGestureRecognizer> swipe_;
    std::shared_ptr<View> indexView_;
    std::vector<std::string> indexTitles_;
};

using TableViewRef = std::shared_ptr<TableView>;

}  // namespace platform
