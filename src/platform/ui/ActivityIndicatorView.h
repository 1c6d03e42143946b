#pragma once

#include "platform/Timer.h"
#include "platform/ui/View.h"

namespace platform {

enum class ActivityIndicatorViewStyle { WhiteLarge, White, Gray };

// A spinner: 20 x 20 points (37 x 37 for the large style). Hidden while stopped unless
// hidesWhenStopped is switched off.
class ActivityIndicatorView : public View {
public:
    explicit ActivityIndicatorView(ActivityIndicatorViewStyle style = ActivityIndicatorViewStyle::White);
    ~ActivityIndicatorView() override;

    std::string className() const override { return "ActivityIndicatorView"; }

    ActivityIndicatorViewStyle activityIndicatorViewStyle() const { return style_; }
    void setActivityIndicatorViewStyle(ActivityIndicatorViewStyle style);
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return animating_; }
    bool hidesWhenStopped() const { return hidesWhenStopped_; }
    void setHidesWhenStopped(bool on);
    Color color() const { return color_; }
    void setColor(const Color& color) { color_ = color; markChanged(); }

    Size sizeThatFits(const Size& size) const override;
    void draw(GraphicsContext& context, const Rect& rect) override;

protected:
    void didMoveToWindow() override;

private:
    // While animating in a window, a timer asks for a redraw twelve times a second.
    void updateTicker();
    TimerRef ticker_;
    ActivityIndicatorViewStyle style_;
    bool animating_ = false;
    bool hidesWhenStopped_ = true;
    Color color_;
};

}  // namespace platform
