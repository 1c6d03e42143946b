#include "platform/ui/PageControl.h"

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Touch.h"

#include <algorithm>

namespace platform {

namespace {
constexpr double kDot = 7;
constexpr double kSpacing = 9;
}  // namespace

PageControl::PageControl() { setOpaque(false); }

PageControl::PageControl(const Rect& frame) : Control(frame) { setOpaque(false); }

std::string PageControl::displayedText() const { return std::to_string(current_ + 1) + "/" + std::to_string(pages_); }

void PageControl::setNumberOfPages(int pages) {
    pages_ = std::max(0, pages);
    current_ = std::clamp(current_, 0, std::max(0, pages_ - 1));
    markChanged();
}

void PageControl::setCurrentPage(int page) {
    current_ = std::clamp(page, 0, std::max(0, pages_ - 1));
    markChanged();
}

Size PageControl::sizeForNumberOfPages(int pages) const {
    return {pages > 0 ? pages * kDot + (pages - 1) * kSpacing : 0, 37};
}

void PageControl::endTracking(const Touch& touch) {
    Point p = touch.locationInView(this);
    if (!bounds().contains(p) || pages_ < 2) return;
    Size dots = sizeForNumberOfPages(pages_);
    double start = bounds().midX() - dots.width / 2;
    double litX = start + current_ * (kDot + kSpacing) + kDot / 2;
    int page = p.x > litX ? current_ + 1 : current_ - 1;
    page = std::clamp(page, 0, pages_ - 1);
    if (page == current_) return;
    current_ = page;
    markChanged();
    sendActionsForControlEvents(ControlEventValueChanged);
}

void PageControl::draw(GraphicsContext& context, const Rect& rect) {
    if (pages_ > 0 && !(hidesForSinglePage_ && pages_ == 1)) {
        Size dots = sizeForNumberOfPages(pages_);
        double x = bounds().midX() - dots.width / 2;
        double y = bounds().midY() - kDot / 2;
        context.save();
        for (int i = 0; i < pages_; ++i) {
            context.setFillColor(i == current_ ? currentColor_ : dotColor_);
            context.fillEllipse({x + i * (kDot + kSpacing), y, kDot, kDot});
        }
        context.restore();
    }
    View::draw(context, rect);
}

}  // namespace platform
