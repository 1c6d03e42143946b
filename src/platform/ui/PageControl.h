#pragma once

#include "platform/ui/Control.h"

namespace platform {

// A row of dots, one per page, the current one lit. A tap right of the lit dot goes one
// page on, left of it one page back, and sends ValueChanged.
class PageControl : public Control {
public:
    PageControl();
    explicit PageControl(const Rect& frame);

    std::string className() const override { return "PageControl"; }
    std::string displayedText() const override;

    int numberOfPages() const { return pages_; }
    void setNumberOfPages(int pages);
    int currentPage() const { return current_; }
    void setCurrentPage(int page);
    bool hidesForSinglePage() const { return hidesForSinglePage_; }
    void setHidesForSinglePage(bool on) { hidesForSinglePage_ = on; markChanged(); }
    Color pageIndicatorTintColor() const { return dotColor_; }
    void setPageIndicatorTintColor(const Color& c) { dotColor_ = c; markChanged(); }
    Color currentPageIndicatorTintColor() const { return currentColor_; }
    void setCurrentPageIndicatorTintColor(const Color& c) { currentColor_ = c; markChanged(); }

    Size sizeForNumberOfPages(int pages) const;
    Size sizeThatFits(const Size&) const override { return sizeForNumberOfPages(pages_); }
    void draw(GraphicsContext& context, const Rect& rect) override;

protected:
    void endTracking(const Touch& touch) override;

private:
    int pages_ = 0;
    int current_ = 0;
    bool hidesForSinglePage_ = false;
    Color dotColor_ = Color::white(1, 0.3);
    Color currentColor_ = Color::whiteColor();
};

}  // namespace platform
