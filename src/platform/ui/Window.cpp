#include "platform/ui/Window.h"

#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/TouchDispatcher.h"
#include "platform/ui/ViewController.h"

#include <algorithm>

namespace platform {

namespace {
std::weak_ptr<Window>& keySlot() {
    static std::weak_ptr<Window> slot;
    return slot;
}
}  // namespace

Window::Window() : View(Screen::mainScreen().bounds()) {}

Window::Window(const Rect& frame) : View(frame) {}

Window::~Window() = default;

Rect Window::controllerFrame() {
    if (Screen::systemVersion() >= 7.0) return Screen::mainScreen().bounds();
    Rect screen = Screen::mainScreen().bounds();
    return {0, StatusBar::height, screen.width(), screen.height() - StatusBar::height};
}

void Window::setRootViewController(const std::shared_ptr<ViewController>& controller) {
    if (controller == root_) return;
    auto old = root_;
    if (old && visible_) old->beginAppearanceTransition(false, false);
    if (old && old->isViewLoaded()) old->view()->removeFromSuperview();
    if (old && visible_) old->endAppearanceTransition();
    root_ = controller;
    if (!controller) return;
    auto v = controller->view();
    Rect f = controllerFrame();
    v->setFrame(f.offsetBy(-frame().x(), -frame().y()));
    if (visible_) controller->beginAppearanceTransition(true, false);
    insertSubview(v, 0);
    if (visible_) controller->endAppearanceTransition();
}

void Window::makeKeyAndVisible() {
    makeKeyWindow();
    if (visible_) return;
    visible_ = true;
    setHidden(false);
    if (root_) {
        root_->beginAppearanceTransition(true, false);
        root_->endAppearanceTransition();
    }
}

void Window::makeKeyWindow() { keySlot() = std::static_pointer_cast<Window>(shared_from_this()); }

bool Window::isKeyWindow() const { return keySlot().lock().get() == this; }

Window* Window::keyWindow() { return keySlot().lock().get(); }

std::shared_ptr<Window> Window::keyWindowRef() { return keySlot().lock(); }

void Window::addControllerView(const std::shared_ptr<View>& view) {
    // Below the first overlay that is still in the window.
    for (size_t i = 0; i < subviews().size(); ++i) {
        if (isOverlay(subviews()[i].get())) {
            insertSubview(view, i);
            return;
        }
    }
    addSubview(view);
}

void Window::addOverlayView(const std::shared_ptr<View>& view) {
    overlays_.erase(std::remove_if(overlays_.begin(), overlays_.end(),
                                   [&](const std::weak_ptr<View>& w) {
                                       auto v = w.lock();
                                       return !v || v == view || v->superview().get() != this;
                                   }),
                    overlays_.end());
    overlays_.push_back(view);
    addSubview(view);
}

bool Window::isOverlay(const View* view) const {
    for (auto& w : overlays_)
        if (w.lock().get() == view) return true;
    return false;
}

void Window::didAddSubview(View* subview) {
    if (!isOverlay(subview)) raiseOverlays();
}

void Window::raiseOverlays() {
    if (raising_) return;
    raising_ = true;
    for (auto& w : overlays_) {
        auto v = w.lock();
        if (v && v->superview().get() == this) bringSubviewToFront(v);
    }
    raising_ = false;
}

void Window::touchBegan(const Point& point, int touchId) {
    auto self = shared_from_this();
    layoutIfNeeded();
    TouchDispatcher::shared().touchBegan(*this, point, touchId);
}

void Window::touchMoved(const Point& point, int touchId) {
    auto self = shared_from_this();
    layoutIfNeeded();
    TouchDispatcher::shared().touchMoved(*this, point, touchId);
}

void Window::touchEnded(const Point& point, int touchId) {
    auto self = shared_from_this();
    layoutIfNeeded();
    TouchDispatcher::shared().touchEnded(*this, point, touchId);
}

void Window::touchCancelled(int touchId) {
    auto self = shared_from_this();
    TouchDispatcher::shared().touchCancelled(*this, touchId);
}

std::shared_ptr<View> Window::viewAtPoint(const Point& point) {
    layoutIfNeeded();
    return hitTest(point);
}

}  // namespace platform
