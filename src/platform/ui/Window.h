#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <vector>

namespace platform {

class ViewController;

// The top of a view tree on screen. It shows its root screen's view, the views of
// screens presented over it, and overlay views (alerts, sheets, the keyboard, progress
// overlays) above all of them. Touches from the host enter here.
class Window : public View {
public:
    Window();
    explicit Window(const Rect& frame);
    ~Window() override;

    std::string className() const override { return "Window"; }
    Window* asWindow() override { return this; }

    std::shared_ptr<ViewController> rootViewController() const { return root_; }
    // Replaces the root screen; its view fills the window (below the status bar before
    // system version 7.0). A visible window tells the screens they appear / disappear.
    void setRootViewController(const std::shared_ptr<ViewController>& controller);

    void makeKeyAndVisible();
    void makeKeyWindow();
    bool isKeyWindow() const;
    bool isVisibleWindow() const { return visible_; }
    static Window* keyWindow();
    static std::shared_ptr<Window> keyWindowRef();

    // Frame of a full-screen controller view: the whole screen on 7.0 and later, the
    // screen less the status bar before.
    static Rect controllerFrame();

    // A view of a presented screen: above the root view, below every overlay.
    void addControllerView(const std::shared_ptr<View>& view);
    // A view that stays above everything else until it is removed.
    void addOverlayView(const std::shared_ptr<View>& view);
    bool isOverlay(const View* view) const;

    // ---- Touches from the host (or the test driver), in window coordinates. Lays the
    // tree out first, so hit testing sees current frames.
    void touchBegan(const Point& point, int touchId = 0);
    void touchMoved(const Point& point, int touchId = 0);
    void touchEnded(const Point& point, int touchId = 0);
    void touchCancelled(int touchId = 0);
    // The view a touch at `point` would reach, after a layout pass.
    std::shared_ptr<View> viewAtPoint(const Point& point);

protected:
    void didAddSubview(View* subview) override;

private:
    void raiseOverlays();
    std::shared_ptr<ViewController> root_;
    std::vector<std::weak_ptr<View>> overlays_;
    bool visible_ = false;
    bool raising_ = false;
};

using WindowRef = std::shared_ptr<Window>;

}  // namespace platform
