#include "platform/ui/ProgressView.h"

#include "platform/ui/GraphicsContext.h"

#include <algorithm>
#include <cstdio>

namespace platform {

ProgressView::ProgressView(ProgressViewStyle style) : style_(style) {
    setOpaque(false);
    setUserInteractionEnabled(false);
    View::setFrame({0, 0, 150, 2});
}

std::string ProgressView::displayedText() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", progress_);
    return buf;
}

void ProgressView::setProgress(double progress, bool) {
    progress_ = std::clamp(progress, 0.0, 1.0);
    markChanged();
}

void ProgressView::draw(GraphicsContext& context, const Rect& rect) {
    Rect b = bounds();
    Rect filled(b.x(), b.y(), b.width() * progress_, b.height());
    if (trackImage_) context.drawImage(*trackImage_, b);
    else context.fillRect(b, trackTint_);
    if (progressImage_) context.drawImage(*progressImage_, filled);
    else context.fillRect(filled, progressTint_);
    View::draw(context, rect);
}

}  // namespace platform
