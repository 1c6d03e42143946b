#include "platform/ui/TabBarController.h"

#include "platform/ui/ContainerView.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace platform {

TabBarController::TabBarController() : tabBar_(std::make_shared<TabBar>()) {
    tabBar_->setSelectHandler([this](long index) { userSelected(index); });
}

TabBarController::~TabBarController() { tabBar_->setSelectHandler(nullptr); }

void TabBarController::loadView() {
    auto container = std::make_shared<ContainerView>(Window::controllerFrame());
    container->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    container->setLayoutHandler([this] { layoutContent(); });
    setView(container);
    Rect b = container->bounds();
    tabBar_->setFrame({0, b.height() - TabBar::height, b.width(), TabBar::height});
    container->addSubview(tabBar_);
    showSelected(nullptr);
}

Rect TabBarController::contentFrame() {
    Rect b = isViewLoaded() ? view()->bounds() : Window::controllerFrame();
    bool barShown = !tabBar_->isHidden() && isViewLoaded() && tabBar_->superview() == view();
    return {0, 0, b.width(), barShown ? std::max(0.0, b.height() - TabBar::height) : b.height()};
}

void TabBarController::layoutContent() {
    if (!isViewLoaded()) return;
    Rect b = view()->bounds();
    if (tabBar_->superview() == view()) tabBar_->setFrame({0, b.height() - TabBar::height, b.width(), TabBar::height});
    if (auto sel = selectedViewController(); sel && sel->isViewLoaded()) sel->view()->setFrame(contentFrame());
}

std::vector<ViewController*> TabBarController::appearanceChildren() const {
    if (auto sel = selectedViewController()) return {sel.get()};
    return {};
}

std::shared_ptr<ViewController> TabBarController::selectedViewController() const {
    if (selected_ < 0 || selected_ >= static_cast<long>(controllers_.size())) return nullptr;
    return controllers_[static_cast<size_t>(selected_)];
}

void TabBarController::setViewControllers(const std::vector<std::shared_ptr<ViewController>>& controllers, bool) {
    auto from = selectedViewController();
    for (auto& c : controllers_)
        if (std::find(controllers.begin(), controllers.end(), c) == controllers.end())
            c->removeFromParentViewController();
    controllers_.clear();
    std::vector<std::shared_ptr<TabBarItem>> items;
    for (auto& c : controllers) {
        if (!c) continue;
        if (c->parentViewController() != this) addChildViewController(c);
        controllers_.push_back(c);
        items.push_back(c->tabBarItem());
    }
    tabBar_->setItems(items);
    if (controllers_.empty()) selected_ = -1;
    else if (selected_ < 0 || selected_ >= static_cast<long>(controllers_.size())) selected_ = 0;
    tabBar_->setSelectedIndex(selected_);
    showSelected(from);
}

void TabBarController::setSelectedIndex(long index) {
    if (index < 0 || index >= static_cast<long>(controllers_.size())) return;
    auto from = selectedViewController();
    selected_ = index;
    tabBar_->setSelectedIndex(index);
    showSelected(from);
}

void TabBarController::setSelectedViewController(const std::shared_ptr<ViewController>& controller) {
    auto it = std::find(controllers_.begin(), controllers_.end(), controller);
    if (it != controllers_.end()) setSelectedIndex(it - controllers_.begin());
}

void TabBarController::userSelected(long index) {
    if (index < 0 || index >= static_cast<long>(controllers_.size())) return;
    auto target = controllers_[static_cast<size_t>(index)];
    auto d = delegate();
    if (d && !d->shouldSelectViewController(*this, *target)) return;
    setSelectedIndex(index);
    if (d) d->didSelectViewController(*this, *target);
}

void TabBarController::showSelected(const std::shared_ptr<ViewController>& from) {
    if (!isViewLoaded()) return;
    auto to = selectedViewController();
    bool visible = isVisible();
    bool sameShown = from == to && to && to->isViewLoaded() && to->view()->superview() == view();
    if (sameShown) return;
    if (to) to->view();
    if (visible && from && from != to) from->beginAppearanceTransition(false, false);
    if (to) {
        auto v = to->view();
        v->setFrame(contentFrame());
        if (tabBar_->superview() == view()) view()->insertSubviewBelow(v, tabBar_);
        else view()->insertSubview(v, 0);
        if (visible) to->beginAppearanceTransition(true, false);
    }
    if (from && from != to && from->isViewLoaded() && from->view()->superview() == view())
        from->view()->removeFromSuperview();
    if (visible && from && from != to) from->endAppearanceTransition();
    if (visible && to) to->endAppearanceTransition();
}

}  // namespace platform
