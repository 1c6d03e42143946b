#include "tests/MXSCycleScrollView.h"

#include "platform/ui/Label.h"

#include <cmath>

using namespace platform;

MXSCycleScrollView::MXSCycleScrollView(const Rect& frame) : View(frame) {}

std::shared_ptr<MXSCycleScrollView> MXSCycleScrollView::make(const Rect& frame) {
    auto wheel = std::make_shared<MXSCycleScrollView>(frame);
    wheel->initWithFrame(frame);
    return wheel;
}

void MXSCycleScrollView::initWithFrame(const Rect& frame) {
    const double h = frame.height() / 5;
    scrollView_ = std::make_shared<ScrollView>(Rect(0, 0, frame.width(), frame.height()));
    scrollView_->setDelegate(std::static_pointer_cast<ScrollViewDelegate>(
        std::static_pointer_cast<MXSCycleScrollView>(shared_from_this())));
    scrollView_->setContentSize({frame.width(), kRows * h});
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setShowsVerticalScrollIndicator(false);
    scrollView_->setContentOffset({0, h});
    addSubview(scrollView_);
}

void MXSCycleScrollView::setDataource(std::weak_ptr<MXSCycleScrollViewDatasource> datasource) {
    datasource_ = std::move(datasource);
    reloadData();
}

void MXSCycleScrollView::reloadData() {
    auto source = datasource_.lock();
    if (!source) return;
    totalPages_ = source->numberOfPages(*this);
    if (totalPages_ > 0) loadData();
}

int MXSCycleScrollView::validPageValue(int value) const {
    if (totalPages_ <= 0) return 0;
    int page = value % totalPages_;
    if (page < 0) page += totalPages_;
    return page;
}

void MXSCycleScrollView::loadData() {
    auto source = datasource_.lock();
    if (!source || totalPages_ <= 0) return;
    const std::vector<std::shared_ptr<View>> old = scrollView_->subviews();
    for (const auto& view : old) view->removeFromSuperview();
    curViews_.clear();
    for (int i = 0; i < kRows; ++i) {
        auto row = source->pageAtIndex(validPageValue(curPage_ - 1 + i), *this);
        if (!row) row = std::make_shared<View>(Rect(0, 0, bounds().width(), rowHeight()));
        curViews_.push_back(row);
    }
    for (int i = 0; i < kRows; ++i) {
        auto& row = curViews_[static_cast<std::size_t>(i)];
        const Rect frame = row->frame();
        row->setFrame({frame.x(), frame.y() + frame.height() * i, frame.width(), frame.height()});
        scrollView_->addSubview(row);
    }
    scrollView_->setContentOffset({0, rowHeight()});
}

void MXSCycleScrollView::setAfterScrollShowView(ScrollView& scrollView, int firstRow) {
    const auto& rows = scrollView.subviews();
    struct Look {
        double size;
        Color colour;
    };
    const Look looks[] = {{14, Color::rgb255(186, 186, 186)},
                          {16, Color::rgb255(113, 113, 113)},
                          {18, Color::black()},
                          {16, Color::rgb255(113, 113, 113)},
                          {14, Color::rgb255(186, 186, 186)}};
    for (int i = 0; i < 5; ++i) {
        const std::size_t at = static_cast<std::size_t>(firstRow + i);
        if (at >= rows.size()) break;
        if (auto label = std::dynamic_pointer_cast<Label>(rows[at])) {
            label->setFont(Font::systemFontOfSize(looks[i].size));
            label->setTextColor(looks[i].colour);
        }
    }
}

void MXSCycleScrollView::setViewContent(const std::shared_ptr<View>& view, int index) {
    if (!view) return;
    if (index == curPage_ && curViews_.size() > 1) curViews_[1] = view;
    for (std::size_t i = 0; i < curViews_.size(); ++i) {
        auto& row = curViews_[i];
        row->setUserInteractionEnabled(true);
        const Rect frame = row->frame();
        row->setFrame({frame.x(), frame.y() + frame.height() * static_cast<double>(i), frame.width(), frame.height()});
        scrollView_->addSubview(row);
    }
}

void MXSCycleScrollView::handleTap() {
    if (auto delegate = delegate_.lock()) delegate->didClickPage(*this, curPage_);
}

void MXSCycleScrollView::tellDelegate() {
    if (auto delegate = delegate_.lock()) delegate->scrollviewDidChangeNumber(*this);
}

void MXSCycleScrollView::scrollViewDidScroll(ScrollView& scrollView) {
    const double h = rowHeight();
    const double y = scrollView.contentOffset().y;
    const long whole = static_cast<long>(y);
    if (totalPages_ > 0) {
        if (whole > 2 * h) {
            curPage_ = validPageValue(curPage_ + 1);
            loadData();
        } else if (whole <= 0) {
            curPage_ = validPageValue(curPage_ - 1);
            loadData();
        }
    }
    if (h > 0 && static_cast<long>(y / h) != 1) setAfterScrollShowView(*scrollView_, 1);
    tellDelegate();
}

void MXSCycleScrollView::snapBack() {
    scrollView_->setContentOffset({0, rowHeight()}, true);
    setAfterScrollShowView(*scrollView_, 1);
    tellDelegate();
}

void MXSCycleScrollView::scrollViewWillBeginDragging(ScrollView&) { setAfterScrollShowView(*scrollView_, 1); }

void MXSCycleScrollView::scrollViewDidEndDragging(ScrollView&, bool) { snapBack(); }

void MXSCycleScrollView::scrollViewWillBeginDecelerating(ScrollView&) { setAfterScrollShowView(*scrollView_, 1); }

void MXSCycleScrollView::scrollViewDidEndDecelerating(ScrollView&) { snapBack(); }
