#include "platform/ui/TableView.h"

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Label.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Touch.h"

#include <algorithm>
#include <cmath>

namespace platform {

double TableViewDelegate::heightForRowAtIndexPath(TableView& tableView, const IndexPath&) {
    return tableView.rowHeight();
}

double TableViewDelegate::estimatedHeightForRowAtIndexPath(TableView& tableView, const IndexPath&) {
    return tableView.estimatedRowHeight();
}

double TableViewDelegate::heightForHeaderInSection(TableView&, int) { return TableView::automaticDimension; }

double TableViewDelegate::heightForFooterInSection(TableView&, int) { return TableView::automaticDimension; }

namespace {

// The index bar at the right edge: a tap or a drag over a title jumps to its section.
class SectionIndexView : public View {
public:
    explicit SectionIndexView(TableView* table) : table_(table) { setOpaque(false); }
    std::string className() const override { return "TableViewIndex"; }
    std::string displayedText() const override {
        std::string all;
        for (auto& t : titles_) all += t;
        return all;
    }
    void setTitles(std::vector<std::string> titles) {
        titles_ = std::move(titles);
        markChanged();
    }
    void install() {
        auto pan = std::make_shared<PanGestureRecognizer>([this](GestureRecognizer& r) {
            if (r.state() == GestureState::Began || r.state() == GestureState::Changed) jump(r.locationInView(this));
        });
        addGestureRecognizer(pan);
    }
    void touchesBegan(const Touches& touches) override {
        if (!touches.empty()) jump(touches.front()->locationInView(this));
    }
    void touchesMoved(const Touches&) override {}
    void touchesEnded(const Touches&) override {}
    void touchesCancelled(const Touches&) override {}
    void draw(GraphicsContext& context, const Rect& rect) override {
        if (!titles_.empty()) {
            double h = bounds().height() / double(titles_.size());
            Font font = Font::boldSystemFontOfSize(11);
            for (size_t i = 0; i < titles_.size(); ++i)
                context.drawText(titles_[i], Rect(0, h * double(i), bounds().width(), h), font,
                                 Color::rgba(0, 0.478, 1), TextAlignment::Center, LineBreakMode::Clip, 1);
        }
        View::draw(context, rect);
    }

private:
    void jump(Point p) {
        if (titles_.empty() || bounds().height() <= 0) return;
        int index = int(std::floor(p.y / (bounds().height() / double(titles_.size()))));
        index = std::clamp(index, 0, int(titles_.size()) - 1);
        table_->scrollToSectionIndex(index);
    }
    TableView* table_;
    std::vector<std::string> titles_;
};

constexpr double kIndexWidth = 16;

}  // namespace

TableView::TableView() { setupTable(); }

TableView::TableView(const Rect& frame, TableViewStyle style) : ScrollView(frame), style_(style) { setupTable(); }

TableView::~TableView() = default;

void TableView::setupTable() {
    setAlwaysBounceVertical(true);
    setBackgroundColor(style_ == TableViewStyle::Grouped ? Color::rgba(0.94, 0.94, 0.96) : Color::whiteColor());
    swipe_ = std::make_shared<PanGestureRecognizer>();
    swipe_->setShouldBegin([this](GestureRecognizer&) { return swipeMayBegin(); });
    swipe_->setAction([this](GestureRecognizer&) { handleSwipe(); });
    addGestureRecognizer(swipe_);
}

void TableView::initWithFrame(const Rect& frame, TableViewStyle style) {
    style_ = style;
    setBackgroundColor(style_ == TableViewStyle::Grouped ? Color::rgba(0.94, 0.94, 0.96) : Color::whiteColor());
    setFrame(frame);
    needsReload_ = true;
}

void TableView::setDataSource(const std::shared_ptr<TableViewDataSource>& dataSource) {
    dataSource_ = dataSource;
    needsReload_ = true;
    setNeedsLayout();
}

void TableView::setDelegate(const std::shared_ptr<TableViewDelegate>& delegate) {
    tableDelegate_ = delegate;
    ScrollView::setDelegate(delegate);
    needsReload_ = true;
    setNeedsLayout();
}

void TableView::setRowHeight(double height) {
    rowHeight_ = height;
    needsReload_ = true;
    setNeedsLayout();
}

void TableView::setEstimatedRowHeight(double height) {
    estimatedRowHeight_ = std::max(0.0, height);
    needsReload_ = true;
    setNeedsLayout();
}

void TableView::setSeparatorStyle(TableViewCellSeparatorStyle style) {
    separatorStyle_ = style;
    for (auto& [ip, cell] : visible_) cell->setSeparator(separatorStyle_, separatorColor_);
}

void TableView::setSeparatorColor(const Color& color) {
    separatorColor_ = color;
    for (auto& [ip, cell] : visible_) cell->setSeparator(separatorStyle_, separatorColor_);
}

void TableView::setTableHeaderView(std::shared_ptr<View> view) {
    if (tableHeaderView_) tableHeaderView_->removeFromSuperview();
    tableHeaderView_ = std::move(view);
    if (tableHeaderView_) addSubview(tableHeaderView_);
    needsReload_ = true;
    setNeedsLayout();
}

void TableView::setTableFooterView(std::shared_ptr<View> view) {
    if (tableFooterView_) tableFooterView_->removeFromSuperview();
    tableFooterView_ = std::move(view);
    if (tableFooterView_) addSubview(tableFooterView_);
    needsReload_ = true;
    setNeedsLayout();
}

void TableView::setBackgroundView(std::shared_ptr<View> view) {
    if (backgroundView_) backgroundView_->removeFromSuperview();
    backgroundView_ = std::move(view);
    if (backgroundView_) {
        backgroundView_->setUserInteractionEnabled(false);
        insertSubview(backgroundView_, 0);
        backgroundView_->setFrame(bounds());
    }
}

// ---- Model

void TableView::reloadData() {
    needsReload_ = true;
    setNeedsLayout();
}

void TableView::recordUpdate(TableViewUpdate update) {
    updates_.push_back(std::move(update));
    if (selected_) {
        bool gone = false;
        auto& u = updates_.back();
        if (u.kind == TableViewUpdate::Kind::DeleteRows)
            gone = std::find(u.rows.begin(), u.rows.end(), *selected_) != u.rows.end();
        if (u.kind == TableViewUpdate::Kind::DeleteSections)
            gone = std::find(u.sections.begin(), u.sections.end(), selected_->section) != u.sections.end();
        if (gone) selected_.reset();
    }
    needsReload_ = true;
    tile();
}

void TableView::insertRowsAtIndexPaths(const std::vector<IndexPath>& rows, TableViewRowAnimation animation) {
    recordUpdate({TableViewUpdate::Kind::InsertRows, rows, {}, animation});
}

void TableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& rows, TableViewRowAnimation animation) {
    recordUpdate({TableViewUpdate::Kind::DeleteRows, rows, {}, animation});
}

void TableView::reloadRowsAtIndexPaths(const std::vector<IndexPath>& rows, TableViewRowAnimation animation) {
    recordUpdate({TableViewUpdate::Kind::ReloadRows, rows, {}, animation});
}

void TableView::insertSections(const std::vector<int>& sections, TableViewRowAnimation animation) {
    recordUpdate({TableViewUpdate::Kind::InsertSections, {}, sections, animation});
}

void TableView::deleteSections(const std::vector<int>& sections, TableViewRowAnimation animation) {
    recordUpdate({TableViewUpdate::Kind::DeleteSections, {}, sections, animation});
}

void TableView::reloadSections(const std::vector<int>& sections, TableViewRowAnimation animation) {
    recordUpdate({TableViewUpdate::Kind::ReloadSections, {}, sections, animation});
}

double TableView::resolvedHeaderHeight(int section, const std::string& title) {
    auto d = delegate();
    double h = d ? d->heightForHeaderInSection(*this, section) : automaticDimension;
    if (h >= 0) return h;
    if (style_ == TableViewStyle::Plain) return title.empty() ? 0 : sectionHeaderHeight_;
    return title.empty() ? 10 : 38;
}

double TableView::resolvedFooterHeight(int section, const std::string& title) {
    auto d = delegate();
    double h = d ? d->heightForFooterInSection(*this, section) : automaticDimension;
    if (h >= 0) return h;
    if (style_ == TableViewStyle::Plain) return title.empty() ? 0 : sectionFooterHeight_;
    return title.empty() ? 10 : 30;
}

void TableView::loadModel() {
    auto ds = dataSource();
    auto d = delegate();
    sections_.clear();
    rowsMeasured_ = 0;
    const bool estimate = estimating() && d;
    std::map<std::string, double> remembered;
    int count = ds ? std::max(0, ds->numberOfSectionsInTableView(*this)) : 0;
    double y = tableHeaderView_ ? tableHeaderView_->frame().height() : 0;
    int totalRows = 0;
    for (int s = 0; s < count; ++s) {
        Section sec;
        sec.top = y;
        sec.rows = std::max(0, ds->numberOfRowsInSection(*this, s));
        totalRows += sec.rows;
        sec.headerTitle = ds->titleForHeaderInSection(*this, s);
        sec.footerTitle = ds->titleForFooterInSection(*this, s);
        sec.headerHeight = std::max(0.0, resolvedHeaderHeight(s, sec.headerTitle));
        sec.rowTops.reserve(size_t(sec.rows) + 1);
        if (estimate) sec.estimated.assign(size_t(sec.rows), true);
        double r = 0;
        sec.rowTops.push_back(0);
        for (int row = 0; row < sec.rows; ++row) {
            double h = rowHeight_;
            if (estimate)
                h = d->estimatedHeightForRowAtIndexPath(*this, {s, row});
            else if (d)
                h = measuredHeight(d, {s, row}, remembered);
            r += std::max(0.0, h);
            sec.rowTops.push_back(r);
        }
        sec.footerHeight = std::max(0.0, resolvedFooterHeight(s, sec.footerTitle));
        y += sec.height();
        sections_.push_back(std::move(sec));
    }
    if (tableFooterView_) y += tableFooterView_->frame().height();
    contentHeight_ = y;
    if (estimate) {
        // Rows are measured after the load, so the heights stay remembered across loads;
        // a map grown far past the rows listed starts again.
        if (rememberedHeights_.size() > size_t(totalRows) * 2 + 1024) rememberedHeights_.clear();
    } else {
        rememberedHeights_.swap(remembered);
    }
    indexTitles_ = ds ? ds->sectionIndexTitlesForTableView(*this) : std::vector<std::string>{};
}

double TableView::measuredHeight(const std::shared_ptr<TableViewDelegate>& d, const IndexPath& ip,
                                 std::map<std::string, double>& remembered) {
    const std::string key = d->heightKeyForRowAtIndexPath(*this, ip);
    auto known = key.empty() ? rememberedHeights_.end() : rememberedHeights_.find(key);
    double h;
    if (known != rememberedHeights_.end()) {
        h = known->second;
    } else {
        h = d->heightForRowAtIndexPath(*this, ip);
        ++rowsMeasured_;
    }
    if (!key.empty()) remembered[key] = h;
    return h;
}

double TableView::measureRow(const IndexPath& ip) {
    if (!validIndexPath(ip)) return 0;
    auto& sec = sections_[size_t(ip.section)];
    if (sec.estimated.empty() || !sec.estimated[size_t(ip.row)]) return 0;
    auto d = delegate();
    if (!d) return 0;
    sec.estimated[size_t(ip.row)] = false;
    double h = std::max(0.0, measuredHeight(d, ip, rememberedHeights_));
    double delta = h - (sec.rowTops[size_t(ip.row) + 1] - sec.rowTops[size_t(ip.row)]);
    if (delta == 0) return 0;
    for (size_t k = size_t(ip.row) + 1; k < sec.rowTops.size(); ++k) sec.rowTops[k] += delta;
    for (size_t later = size_t(ip.section) + 1; later < sections_.size(); ++later) sections_[later].top += delta;
    contentHeight_ += delta;
    return delta;
}

bool TableView::stepRow(IndexPath& at, int direction) const {
    if (direction < 0 && at.row > 0) {
        --at.row;
        return true;
    }
    if (direction > 0 && at.row + 1 < sections_[size_t(at.section)].rows) {
        ++at.row;
        return true;
    }
    int section = at.section + direction;
    while (section >= 0 && section < int(sections_.size()) && sections_[size_t(section)].rows == 0) section += direction;
    if (section < 0 || section >= int(sections_.size())) return false;
    at = {section, direction < 0 ? sections_[size_t(section)].rows - 1 : 0};
    return true;
}

bool TableView::isEstimated(const IndexPath& ip) const {
    auto& sec = sections_[size_t(ip.section)];
    return !sec.estimated.empty() && sec.estimated[size_t(ip.row)];
}

double TableView::rowTop(const IndexPath& ip) const {
    auto& sec = sections_[size_t(ip.section)];
    return sec.rowsTop() + sec.rowTops[size_t(ip.row)];
}

void TableView::measureVisibleRows() {
    if (!estimating()) return;
    Rect visible = bounds();
    auto rows = indexPathsForRowsInRect(visible);
    if (rows.empty()) return;
    // The rows already measured in view stay where they are on screen: rows measured above
    // them move the offset by what they grew. Without one, the top of the view holds.
    auto anchor = std::find_if(rows.begin(), rows.end(), [&](const IndexPath& ip) { return !isEstimated(ip); });
    bool changed = false;
    double shift = 0;
    IndexPath start = anchor == rows.end() ? rows.front() : *anchor;
    if (anchor != rows.end()) {
        for (IndexPath below = start, at = start; stepRow(at, -1); below = at) {
            if (rowTop(below) <= visible.minY()) break;  // `at` ends above the view
            if (!isEstimated(at)) continue;
            double delta = measureRow(at);
            changed = true;
            shift += delta;
            visible.origin.y += delta;
        }
    } else if (isEstimated(start)) {
        double top = rowTop(start);
        double delta = measureRow(start);
        changed = true;
        if (top < visible.minY()) {
            shift += delta;
            visible.origin.y += delta;
        }
    }
    for (IndexPath at = start; stepRow(at, 1) && rowTop(at) < visible.maxY();) {
        if (!isEstimated(at)) continue;
        measureRow(at);
        changed = true;
    }
    if (!changed) return;
    if (!(contentSize() == Size{bounds().width(), contentHeight_})) setContentSize({bounds().width(), contentHeight_});
    if (shift != 0) {
        Rect b = bounds();
        b.origin.y += shift;
        setBounds(b);
    }
}

void TableView::measureRowsAround(const IndexPath& ip) {
    if (!estimating() || !validIndexPath(ip)) return;
    const double screen = std::max(bounds().height(), 1.0);
    measureRow(ip);
    // Upwards two screens (an animated scroll comes from there), downwards one.
    double covered = 0;
    for (IndexPath at = ip; covered < 2 * screen && stepRow(at, -1);) {
        measureRow(at);
        covered += rectForRowAtIndexPath(at).height();
    }
    covered = 0;
    for (IndexPath at = ip; covered < screen && stepRow(at, 1);) {
        measureRow(at);
        covered += rectForRowAtIndexPath(at).height();
    }
    if (!(contentSize() == Size{bounds().width(), contentHeight_})) setContentSize({bounds().width(), contentHeight_});
}

void TableView::ensureLoaded() {
    if (!needsReload_ || loading_) return;
    loading_ = true;
    hideDeleteConfirmation();
    auto cells = visible_;
    visible_.clear();
    for (auto& [ip, cell] : cells) recycle(cell);
    for (auto& [s, v] : headers_) v->removeFromSuperview();
    for (auto& [s, v] : footers_) v->removeFromSuperview();
    headers_.clear();
    footers_.clear();
    loadModel();
    needsReload_ = false;
    setContentSize({bounds().width(), contentHeight_});
    if (selected_ && !validIndexPath(*selected_)) selected_.reset();
    loading_ = false;
}

bool TableView::validIndexPath(const IndexPath& ip) {
    return ip.section >= 0 && ip.section < int(sections_.size()) && ip.row >= 0 &&
           ip.row < sections_[size_t(ip.section)].rows;
}

int TableView::numberOfSections() {
    ensureLoaded();
    return int(sections_.size());
}

int TableView::numberOfRowsInSection(int section) {
    ensureLoaded();
    if (section < 0 || section >= int(sections_.size())) return 0;
    return sections_[size_t(section)].rows;
}

// ---- Geometry

Rect TableView::rectForSection(int section) {
    ensureLoaded();
    if (section < 0 || section >= int(sections_.size())) return {};
    auto& s = sections_[size_t(section)];
    return {0, s.top, bounds().width(), s.height()};
}

Rect TableView::rectForRowAtIndexPath(const IndexPath& ip) {
    ensureLoaded();
    if (!validIndexPath(ip)) return {};
    if (measureRow(ip) != 0 && !tiling_) setContentSize({bounds().width(), contentHeight_});
    auto& s = sections_[size_t(ip.section)];
    double top = s.rowsTop() + s.rowTops[size_t(ip.row)];
    return {0, top, bounds().width(), s.rowTops[size_t(ip.row) + 1] - s.rowTops[size_t(ip.row)]};
}

Rect TableView::rectForHeaderInSection(int section) {
    ensureLoaded();
    if (section < 0 || section >= int(sections_.size())) return {};
    auto& s = sections_[size_t(section)];
    return {0, s.top, bounds().width(), s.headerHeight};
}

Rect TableView::rectForFooterInSection(int section) {
    ensureLoaded();
    if (section < 0 || section >= int(sections_.size())) return {};
    auto& s = sections_[size_t(section)];
    return {0, s.rowsTop() + s.rowTops.back(), bounds().width(), s.footerHeight};
}

std::vector<IndexPath> TableView::indexPathsForRowsInRect(const Rect& rect) {
    ensureLoaded();
    std::vector<IndexPath> result;
    double y0 = rect.minY(), y1 = rect.maxY();
    for (size_t si = 0; si < sections_.size(); ++si) {
        auto& s = sections_[si];
        double rowsTop = s.rowsTop(), rowsBottom = rowsTop + s.rowTops.back();
        if (rowsBottom <= y0 || s.rows == 0) continue;
        if (rowsTop >= y1) break;
        // First row whose bottom is below y0.
        auto it = std::upper_bound(s.rowTops.begin() + 1, s.rowTops.end(), y0 - rowsTop);
        int row = int(it - s.rowTops.begin()) - 1;
        for (; row < s.rows && rowsTop + s.rowTops[size_t(row)] < y1; ++row) {
            if (s.rowTops[size_t(row) + 1] == s.rowTops[size_t(row)]) continue;  // zero height
            result.push_back({int(si), row});
        }
    }
    return result;
}

std::optional<IndexPath> TableView::indexPathForRowAtPoint(const Point& p) {
    auto rows = indexPathsForRowsInRect({0, p.y, bounds().width(), 0.001});
    if (rows.empty() || p.x < 0 || p.x >= bounds().width()) return std::nullopt;
    return rows.front();
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell& cell) {
    for (auto& [ip, c] : visible_)
        if (c.get() == &cell) return ip;
    return std::nullopt;
}

// ---- Cells

std::shared_ptr<TableViewCell> TableView::dequeueReusableCellWithIdentifier(const std::string& identifier) {
    auto it = reusePool_.find(identifier);
    if (it == reusePool_.end() || it->second.empty()) return nullptr;
    auto cell = it->second.back();
    it->second.pop_back();
    cell->prepareForReuse();
    return cell;
}

void TableView::recycle(const std::shared_ptr<TableViewCell>& cell) {
    cell->hideDeleteButton();
    cell->setHighlighted(false);
    cell->removeFromSuperview();
    if (cell->reuseIdentifier().empty()) return;
    auto& pool = reusePool_[cell->reuseIdentifier()];
    if (pool.size() < 64) pool.push_back(cell);
}

std::shared_ptr<TableViewCell> TableView::cellForRowAtIndexPath(const IndexPath& ip) {
    tile();
    auto it = visible_.find(ip);
    return it == visible_.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<TableViewCell>> TableView::visibleCells() {
    tile();
    std::vector<std::shared_ptr<TableViewCell>> cells;
    for (auto& [ip, cell] : visible_) cells.push_back(cell);
    return cells;
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows() {
    tile();
    std::vector<IndexPath> rows;
    for (auto& [ip, cell] : visible_) rows.push_back(ip);
    return rows;
}

std::shared_ptr<View> TableView::headerViewForSection(int section) {
    tile();
    auto it = headers_.find(section);
    return it == headers_.end() ? nullptr : it->second;
}

void TableView::tile() {
    if (tiling_ || loading_) return;
    if (needsReload_ && !dataSource()) return;
    tiling_ = true;
    ensureLoaded();
    measureVisibleRows();
    if (!(contentSize() == Size{bounds().width(), contentHeight_})) setContentSize({bounds().width(), contentHeight_});
    Rect visible = bounds();
    auto wanted = indexPathsForRowsInRect(visible);
    std::map<IndexPath, bool> keep;
    for (auto& ip : wanted) keep[ip] = true;
    for (auto it = visible_.begin(); it != visible_.end();) {
        if (keep.count(it->first)) {
            ++it;
            continue;
        }
        if (deleteRow_ && *deleteRow_ == it->first) deleteRow_.reset();
        recycle(it->second);
        it = visible_.erase(it);
    }
    auto ds = dataSource();
    auto d = delegate();
    size_t cellIndex = backgroundView_ && backgroundView_->superview().get() == this ? 1 : 0;
    for (auto& ip : wanted) {
        auto it = visible_.find(ip);
        std::shared_ptr<TableViewCell> cell;
        if (it != visible_.end()) {
            cell = it->second;
            cell->setFrame(rectForRowAtIndexPath(ip));
            continue;
        }
        if (!ds) break;
        cell = ds->cellForRowAtIndexPath(*this, ip);
        if (!cell) continue;  // a data source that gives no cell leaves the row empty
        bool alreadyShown = false;
        for (auto& [other, c] : visible_) alreadyShown = alreadyShown || c == cell;
        if (alreadyShown) continue;
        cell->setSeparator(separatorStyle_, separatorColor_);
        cell->setFrame(rectForRowAtIndexPath(ip));
        cell->contentView();
        cell->setSelected(selected_ && *selected_ == ip);
        insertSubview(cell, cellIndex);
        cell->setNeedsLayout();
        cell->layoutIfNeeded();
        visible_[ip] = cell;
        if (d) d->willDisplayCell(*this, *cell, ip);
    }
    placeSectionViews(visible);
    placeFixedViews();
    updateIndexView();
    lastOffset_ = contentOffset();
    tiling_ = false;
}

void TableView::placeSectionViews(const Rect& visible) {
    auto d = delegate();
    double width = bounds().width();
    auto makeTitleView = [&](const std::string& title, bool header) {
        auto v = std::make_shared<View>();
        v->setBackgroundColor(style_ == TableViewStyle::Plain ? Color::rgba(0.97, 0.97, 0.97) : Color::clear());
        auto label = std::make_shared<Label>();
        label->setText(title);
        label->setFont(style_ == TableViewStyle::Plain && header ? Font::boldSystemFontOfSize(14)
                                                                   : Font::systemFontOfSize(14));
        label->setTextColor(style_ == TableViewStyle::Plain ? Color::black() : Color::rgba(0.43, 0.43, 0.45));
        label->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
        v->addSubview(label);
        return std::make_pair(v, label);
    };
    for (int si = 0; si < int(sections_.size()); ++si) {
        auto& s = sections_[size_t(si)];
        Rect sectionRect(0, s.top, width, s.height());
        bool inView = sectionRect.intersects(visible) || (sectionRect.height() > 0 && visible.contains(sectionRect.origin));
        for (int pass = 0; pass < 2; ++pass) {
            bool header = pass == 0;
            auto& map = header ? headers_ : footers_;
            double h = header ? s.headerHeight : s.footerHeight;
            if (!inView || h <= 0) {
                if (auto it = map.find(si); it != map.end()) {
                    it->second->removeFromSuperview();
                    map.erase(it);
                }
                continue;
            }
            auto it = map.find(si);
            if (it == map.end()) {
                std::shared_ptr<View> v = d ? (header ? d->viewForHeaderInSection(*this, si)
                                                      : d->viewForFooterInSection(*this, si))
                                            : nullptr;
                const std::string& title = header ? s.headerTitle : s.footerTitle;
                if (!v && !title.empty()) {
                    auto [view, label] = makeTitleView(title, header);
                    label->setFrame({15, 0, width - 30, h});
                    v = view;
                }
                if (!v) continue;
                addSubview(v);
                it = map.emplace(si, v).first;
            }
            double y = header ? s.top : s.rowsTop() + s.rowTops.back();
            if (header && style_ == TableViewStyle::Plain) {
                // Plain headers stay at the top while their section scrolls under them.
                double pinned = visible.minY() + contentInset().top;
                double last = s.rowsTop() + s.rowTops.back() - h;
                y = std::max(s.top, std::min(pinned, last));
            }
            it->second->setFrame({0, y, width, h});
            bringSubviewToFront(it->second);
        }
    }
}

void TableView::placeFixedViews() {
    double width = bounds().width();
    if (tableHeaderView_) {
        Rect f = tableHeaderView_->frame();
        tableHeaderView_->setFrame({0, 0, width, f.height()});
    }
    if (tableFooterView_) {
        Rect f = tableFooterView_->frame();
        double y = sections_.empty() ? (tableHeaderView_ ? tableHeaderView_->frame().height() : 0)
                                     : sections_.back().top + sections_.back().height();
        tableFooterView_->setFrame({0, y, width, f.height()});
    }
    if (backgroundView_) {
        backgroundView_->setFrame(bounds());
        sendSubviewToBack(backgroundView_);
    }
}

void TableView::updateIndexView() {
    if (indexTitles_.empty()) {
        if (indexView_) {
            indexView_->removeFromSuperview();
            indexView_.reset();
        }
        return;
    }
    if (!indexView_) {
        auto v = std::make_shared<SectionIndexView>(this);
        v->install();
        indexView_ = v;
        addSubview(indexView_);
    }
    static_cast<SectionIndexView*>(indexView_.get())->setTitles(indexTitles_);
    Rect b = bounds();
    double top = b.y() + contentInset().top, height = b.height() - contentInset().top - contentInset().bottom;
    indexView_->setFrame({b.maxX() - kIndexWidth, top, kIndexWidth, std::max(0.0, height)});
    bringSubviewToFront(indexView_);
}

std::shared_ptr<View> TableView::sectionIndexView() {
    tile();
    return indexView_;
}

void TableView::scrollToSectionIndex(int index) {
    auto ds = dataSource();
    if (!ds || index < 0 || index >= int(indexTitles_.size())) return;
    int section = ds->sectionForSectionIndexTitle(*this, indexTitles_[size_t(index)], index);
    if (section < 0 || section >= int(sections_.size())) return;
    Point lo = minimumContentOffset(), hi = maximumContentOffset();
    double y = std::clamp(sections_[size_t(section)].top - contentInset().top, lo.y, hi.y);
    setContentOffset({contentOffset().x, y}, false);
}

void TableView::layoutSubviews() { tile(); }

void TableView::setFrame(const Rect& frame) {
    ScrollView::setFrame(frame);
    tile();
}

void TableView::visibleRectDidChange() {
    if (loading_) return;
    if (deleteRow_ && !(contentOffset() == lastOffset_)) hideDeleteConfirmation();
    tile();
}

// ---- Selection and scrolling

void TableView::selectRowAtIndexPath(const std::optional<IndexPath>& ip, bool animated, TableViewScrollPosition position) {
    ensureLoaded();
    if (selected_ && (!ip || *selected_ != *ip)) {
        if (auto it = visible_.find(*selected_); it != visible_.end()) it->second->setSelected(false, animated);
        selected_.reset();
    }
    if (!ip || !validIndexPath(*ip)) return;
    selected_ = ip;
    if (auto it = visible_.find(*ip); it != visible_.end()) it->second->setSelected(true, animated);
    if (position != TableViewScrollPosition::None) scrollToRowAtIndexPath(*ip, position, animated);
}

void TableView::deselectRowAtIndexPath(const IndexPath& ip, bool animated) {
    if (!selected_ || *selected_ != ip) return;
    selected_.reset();
    if (auto it = visible_.find(ip); it != visible_.end()) it->second->setSelected(false, animated);
}

void TableView::scrollToRowAtIndexPath(const IndexPath& ip, TableViewScrollPosition position, bool animated) {
    ensureLoaded();
    if (!validIndexPath(ip)) return;
    measureRowsAround(ip);
    EdgeInsets in = contentInset();
    double visibleHeight = bounds().height() - in.top - in.bottom;
    auto target = [&]() -> std::optional<double> {
        Rect r = rectForRowAtIndexPath(ip);
        double visibleTop = contentOffset().y + in.top;
        double y = contentOffset().y;
        TableViewScrollPosition at = position;
        if (at == TableViewScrollPosition::None) {
            if (r.minY() < visibleTop) at = TableViewScrollPosition::Top;
            else if (r.maxY() > visibleTop + visibleHeight) at = TableViewScrollPosition::Bottom;
            else return std::nullopt;
        }
        switch (at) {
        case TableViewScrollPosition::Top: y = r.minY() - in.top; break;
        case TableViewScrollPosition::Middle: y = r.midY() - in.top - visibleHeight / 2; break;
        case TableViewScrollPosition::Bottom: y = r.maxY() - in.top - visibleHeight; break;
        case TableViewScrollPosition::None: break;
        }
        Point lo = minimumContentOffset(), hi = maximumContentOffset();
        return std::clamp(y, lo.y, hi.y);
    };
    auto y = target();
    if (!y) return;
    if (animated && estimating() && std::fabs(*y - contentOffset().y) > visibleHeight) {
        // A long way through rows not measured yet: jump to a screen before the row, so
        // that the animation crosses only measured rows and ends where it aimed.
        double near = *y > contentOffset().y ? *y - visibleHeight : *y + visibleHeight;
        setContentOffset({contentOffset().x, near}, false);
        y = target();
        if (!y) return;
    }
    setContentOffset({contentOffset().x, *y}, animated);
}

void TableView::userSelect(const IndexPath& ip) {
    if (!allowsSelection_ || !validIndexPath(ip)) return;
    auto d = delegate();
    if (selected_ && *selected_ != ip) {
        IndexPath old = *selected_;
        deselectRowAtIndexPath(old, false);
        if (d) d->didDeselectRowAtIndexPath(*this, old);
    }
    selected_ = ip;
    if (auto it = visible_.find(ip); it != visible_.end()) it->second->setSelected(true);
    if (d) d->didSelectRowAtIndexPath(*this, ip);
}

void TableView::touchesBegan(const Touches& touches) {
    if (touches.empty()) return;
    if (deleteRow_) {
        // A touch anywhere else only puts the delete button away.
        hideDeleteConfirmation();
        touchDismissedDelete_ = true;
        return;
    }
    touchDismissedDelete_ = false;
    touchStart_ = touches.front()->locationInWindow;
    touched_ = indexPathForRowAtPoint(touches.front()->locationInView(this));
    if (touched_ && allowsSelection_)
        if (auto it = visible_.find(*touched_); it != visible_.end()) it->second->setHighlighted(true);
}

void TableView::touchesMoved(const Touches& touches) {
    // A finger that wanders off its row is not choosing it.
    if (!touched_ || touches.empty()) return;
    Point p = touches.front()->locationInWindow;
    if (std::hypot(p.x - touchStart_.x, p.y - touchStart_.y) > 10) touchesCancelled(touches);
}

void TableView::touchesEnded(const Touches& touches) {
    if (touchDismissedDelete_) {
        touchDismissedDelete_ = false;
        return;
    }
    auto touched = touched_;
    touched_.reset();
    if (!touched || touches.empty()) return;
    if (auto it = visible_.find(*touched); it != visible_.end()) it->second->setHighlighted(false);
    auto now = indexPathForRowAtPoint(touches.front()->locationInView(this));
    if (now && *now == *touched) userSelect(*touched);
}

void TableView::touchesCancelled(const Touches&) {
    touchDismissedDelete_ = false;
    if (touched_)
        if (auto it = visible_.find(*touched_); it != visible_.end()) it->second->setHighlighted(false);
    touched_.reset();
}

// ---- Swipe to delete

bool TableView::swipeMayBegin() {
    auto ds = dataSource();
    if (!ds || isDragging()) return false;
    Point t = swipe_->translationInView(this);
    if (std::fabs(t.x) <= std::fabs(t.y)) return false;
    if (deleteRow_) return true;  // any sideways swipe puts the shown button away
    if (t.x >= 0) return false;
    Point now = swipe_->locationInView(this);
    auto ip = indexPathForRowAtPoint({now.x - t.x, now.y - t.y});
    if (!ip || !ds->canEditRowAtIndexPath(*this, *ip)) return false;
    auto d = delegate();
    if (d && d->editingStyleForRowAtIndexPath(*this, *ip) != TableViewCellEditingStyle::Delete) return false;
    swipeRow_ = ip;
    return true;
}

void TableView::handleSwipe() {
    if (swipe_->state() != GestureState::Began) return;
    if (deleteRow_) {
        hideDeleteConfirmation();
        return;
    }
    if (swipeRow_) showDeleteConfirmationForRowAtIndexPath(*swipeRow_);
    swipeRow_.reset();
}

void TableView::showDeleteConfirmationForRowAtIndexPath(const IndexPath& ip) {
    auto cell = cellForRowAtIndexPath(ip);
    if (!cell) return;
    hideDeleteConfirmation();
    auto d = delegate();
    std::string title = d ? d->titleForDeleteConfirmationButtonForRowAtIndexPath(*this, ip) : "Delete";
    std::weak_ptr<View> weak = weak_from_this();
    cell->showDeleteButton(title, [weak, ip] {
        auto self = weak.lock();
        if (!self) return;
        auto* table = static_cast<TableView*>(self.get());
        table->hideDeleteConfirmation();
        // The row that was swiped is the one removed, whatever happened since.
        if (auto ds = table->dataSource()) ds->commitEditingStyle(*table, TableViewCellEditingStyle::Delete, ip);
    });
    deleteRow_ = ip;
}

void TableView::hideDeleteConfirmation() {
    if (!deleteRow_) return;
    if (auto it = visible_.find(*deleteRow_); it != visible_.end()) it->second->hideDeleteButton();
    deleteRow_.reset();
}

}  // namespace platform
