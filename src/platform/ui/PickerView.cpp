#include "platform/ui/PickerView.h"

#include "platform/ui/BarTextButton.h"
#include "platform/ui/Screen.h"

#include <algorithm>

namespace platform {

PickerView::PickerView() : View(Rect(0, 0, Screen::mainScreen().bounds().width(), 216)) {
    setBackgroundColor(Color::whiteColor());
    setClipsToBounds(true);
}

PickerView::PickerView(const Rect& frame) : View(frame) {
    setBackgroundColor(Color::whiteColor());
    setClipsToBounds(true);
}

void PickerView::setDelegate(std::weak_ptr<PickerViewDelegate> delegate) {
    delegate_ = std::move(delegate);
    reloadAllComponents();
}

int PickerView::numberOfComponents() const {
    auto d = delegate();
    return d ? std::max(0, d->numberOfComponentsInPickerView(const_cast<PickerView&>(*this))) : 0;
}

int PickerView::numberOfRowsInComponent(int component) const {
    auto d = delegate();
    if (!d || component < 0 || component >= numberOfComponents()) return 0;
    return std::max(0, d->numberOfRowsInComponent(const_cast<PickerView&>(*this), component));
}

void PickerView::selectRow(int row, int component, bool) {
    if (component < 0) return;
    int rows = numberOfRowsInComponent(component);
    if (rows == 0) return;
    if (static_cast<int>(selected_.size()) <= component) selected_.resize(static_cast<size_t>(component) + 1, 0);
    selected_[static_cast<size_t>(component)] = std::clamp(row, 0, rows - 1);
    setNeedsLayout();
}

int PickerView::selectedRowInComponent(int component) const {
    if (component < 0 || numberOfRowsInComponent(component) == 0) return -1;
    if (component >= static_cast<int>(selected_.size())) return 0;
    return selected_[static_cast<size_t>(component)];
}

void PickerView::userSelectRow(int row, int component) {
    if (row < 0 || row >= numberOfRowsInComponent(component)) return;
    selectRow(row, component);
    if (auto d = delegate()) d->didSelectRow(*this, row, component);
}

void PickerView::reloadAllComponents() {
    int components = numberOfComponents();
    selected_.resize(static_cast<size_t>(std::max(components, 0)), 0);
    for (int c = 0; c < components; ++c) {
        int rows = numberOfRowsInComponent(c);
        auto& s = selected_[static_cast<size_t>(c)];
        s = rows == 0 ? 0 : std::clamp(s, 0, rows - 1);
    }
    rebuild();
}

void PickerView::reloadComponent(int) { reloadAllComponents(); }

void PickerView::rebuild() {
    for (auto& v : rowViews_) v->removeFromSuperview();
    rowViews_.clear();
    auto d = delegate();
    int components = numberOfComponents();
    for (int c = 0; c < components; ++c) {
        int rows = numberOfRowsInComponent(c);
        for (int r = 0; r < rows; ++r) {
            auto row = std::make_shared<BarTextButton>(d->titleForRow(*this, r, c), [this, r, c] { userSelectRow(r, c); });
            row->setTextColor(Color::black());
            row->setFontSize(20);
            row->setTag(r);
            rowViews_.push_back(row);
            addSubview(row);
        }
    }
    setNeedsLayout();
}

void PickerView::layoutSubviews() {
    int components = numberOfComponents();
    if (components == 0) return;
    double w = bounds().width() / components;
    double middle = bounds().height() / 2 - kRowHeight / 2;
    size_t i = 0;
    for (int c = 0; c < components; ++c) {
        int rows = numberOfRowsInComponent(c);
        int sel = selectedRowInComponent(c);
        for (int r = 0; r < rows && i < rowViews_.size(); ++r, ++i) {
            auto& v = rowViews_[i];
            double y = middle + (r - sel) * kRowHeight;
            v->setFrame({w * c, y, w, kRowHeight});
            // Rows outside the wheel are not shown (and cannot be tapped).
            v->setHidden(y + kRowHeight <= 0 || y >= bounds().height());
            static_cast<BarTextButton*>(v.get())->setTextColor(r == sel ? Color::black() : Color::gray());
        }
    }
}

}  // namespace platform
