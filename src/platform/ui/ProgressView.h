#pragma once

#include "platform/ui/Image.h"
#include "platform/ui/View.h"

namespace platform {

enum class ProgressViewStyle { Default, Bar };

// A bar filled to the progress, 0 to 1.
class ProgressView : public View {
public:
    explicit ProgressView(ProgressViewStyle style = ProgressViewStyle::Default);

    std::string className() const override { return "ProgressView"; }
    std::string displayedText() const override;

    ProgressViewStyle progressViewStyle() const { return style_; }
    double progress() const { return progress_; }
    void setProgress(double progress, bool animated = false);
    Color progressTintColor() const { return progressTint_; }
    void setProgressTintColor(const Color& c) { progressTint_ = c; markChanged(); }
    Color trackTintColor() const { return trackTint_; }
    void setTrackTintColor(const Color& c) { trackTint_ = c; markChanged(); }
    void setProgressImage(ImageRef image) { progressImage_ = std::move(image); markChanged(); }
    void setTrackImage(ImageRef image) { trackImage_ = std::move(image); markChanged(); }

    void draw(GraphicsContext& context, const Rect& rect) override;

private:
    ProgressViewStyle style_;
    double progress_ = 0;
    Color progressTint_ = Color::rgba(0, 0.478, 1);
    Color trackTint_ = Color::rgba(0.72, 0.72, 0.72);
    ImageRef progressImage_, trackImage_;
};

}  // namespace platform
