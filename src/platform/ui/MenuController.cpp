#include "platform/ui/MenuController.h"

#include "platform/ui/BarTextButton.h"
#include "platform/ui/Touch.h"
#include "platform/ui/Window.h"

namespace platform {

namespace {
// Catches taps anywhere in the window while the menu shows; a tap outside the items
// hides the menu.
class MenuShield : public View {
public:
    explicit MenuShield(const Rect& frame) : View(frame) {}
    std::string className() const override { return "MenuShield"; }
    void touchesEnded(const Touches&) override { MenuController::shared().setMenuVisible(false); }
};
}  // namespace

MenuController& MenuController::shared() {
    static MenuController menu;
    return menu;
}

void MenuController::setTargetRect(const Rect& rect, const std::shared_ptr<View>& view) {
    target_ = rect;
    targetView_ = view;
}

void MenuController::setMenuVisible(bool visible, bool) {
    if (visible == visible_) return;
    if (!visible) {
        visible_ = false;
        if (view_) view_->removeFromSuperview();
        view_.reset();
        return;
    }
    if (items_.empty()) return;
    visible_ = true;
    auto window = Window::keyWindowRef();
    if (!window) return;
    auto shield = std::make_shared<MenuShield>(window->bounds());
    auto bar = std::make_shared<View>();
    bar->setBackgroundColor(Color::white(0.1, 0.9));
    bar->setCornerRadius(6);
    double x = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        auto button = std::make_shared<BarTextButton>(items_[i].title, [this, i] { performItem(i); });
        button->setTextColor(Color::whiteColor());
        button->setFontSize(14);
        Size s = button->sizeThatFits({});
        button->setFrame({x, 0, s.width, 36});
        x += s.width;
        bar->addSubview(button);
    }
    // Above the target, centred on it; below it when there is no room above.
    Rect target = target_;
    if (auto v = targetView_.lock()) target = v->convertRectTo(target_, nullptr);
    Rect b = window->bounds();
    double left = std::clamp(target.midX() - x / 2, 4.0, std::max(4.0, b.width() - x - 4));
    double top = target.minY() - 36 - 8;
    if (top < 20) top = target.maxY() + 8;
    bar->setFrame({left, top, x, 36});
    shield->addSubview(bar);
    view_ = shield;
    window->addOverlayView(shield);
}

bool MenuController::performItem(size_t index) {
    if (index >= items_.size()) return false;
    auto action = items_[index].action;
    setMenuVisible(false);
    if (action) action();
    return true;
}

void MenuController::reset() {
    if (view_) view_->removeFromSuperview();
    view_.reset();
    visible_ = false;
    items_.clear();
    targetView_.reset();
}

}  // namespace platform
