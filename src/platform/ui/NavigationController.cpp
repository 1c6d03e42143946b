#include "platform/ui/NavigationController.h"

#include "platform/RunLoop.h"
#include "platform/ui/ContainerView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace platform {

NavigationController::NavigationController() : bar_(std::make_shared<NavigationBar>()) {
    bar_->setBackAction([this] { popViewController(true); });
}

NavigationController::~NavigationController() {
    if (pendingTimer_) pendingTimer_->invalidate();
    bar_->setItems({});
}

void NavigationController::initWithRootViewController(const std::shared_ptr<ViewController>& root) {
    if (root) setViewControllers({root}, false);
}

NavigationBar& NavigationController::navigationBar() { return *bar_; }

std::shared_ptr<NavigationBar> NavigationController::navigationBarRef() { return bar_; }

void NavigationController::loadView() {
    auto container = std::make_shared<ContainerView>(Window::controllerFrame());
    container->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    container->setLayoutHandler([this] { layoutContent(); });
    setView(container);
    bar_->setFrame({0, Screen::systemVersion() >= 7.0 ? StatusBar::height : 0, container->bounds().width(),
                    NavigationBar::height});
    container->addSubview(bar_);
    if (auto top = topViewController()) {
        auto v = top->view();
        v->setFrame(contentFrameFor(*top));
        container->insertSubviewBelow(v, bar_);
        shownView_ = v;
    }
}

Rect NavigationController::contentFrameFor(const ViewController& controller) {
    Rect b = isViewLoaded() ? view()->bounds() : Window::controllerFrame();
    double barTop = Screen::systemVersion() >= 7.0 ? StatusBar::height : 0;
    double top = barTop + NavigationBar::height;
    if (barHidden_) top = 0;
    else if (Screen::systemVersion() >= 7.0 && (controller.edgesForExtendedLayout() & RectEdgeTop) &&
             bar_->isTranslucent())
        top = 0;
    return {0, top, b.width(), std::max(0.0, b.height() - top)};
}

void NavigationController::layoutContent() {
    if (!isViewLoaded()) return;
    double barTop = Screen::systemVersion() >= 7.0 ? StatusBar::height : 0;
    bar_->setFrame({0, barTop, view()->bounds().width(), NavigationBar::height});
    bar_->setHidden(barHidden_);
    if (auto top = topViewController(); top && shownView_ && top->isViewLoaded() && top->view() == shownView_) {
        top->viewWillLayoutSubviews();
        shownView_->setFrame(contentFrameFor(*top));
        top->viewDidLayoutSubviews();
    }
}

void NavigationController::setNavigationBarHidden(bool hidden, bool animated) {
    (void)animated;
    if (barHidden_ == hidden) return;
    barHidden_ = hidden;
    bar_->setHidden(hidden);
    if (isViewLoaded()) {
        view()->setNeedsLayout();
        layoutContent();
    }
}

StatusBarStyle NavigationController::preferredStatusBarStyle() const {
    return bar_->barStyle() == BarStyle::Black ? StatusBarStyle::LightContent : StatusBarStyle::Default;
}

std::shared_ptr<ViewController> NavigationController::visibleViewController() const {
    if (auto p = presentedViewController()) return p;
    return topViewController();
}

std::vector<ViewController*> NavigationController::appearanceChildren() const {
    if (auto top = topViewController()) return {top.get()};
    return {};
}

void NavigationController::childRemoved(ViewController* child) {
    auto it = std::find_if(stack_.begin(), stack_.end(), [&](auto& c) { return c.get() == child; });
    if (it == stack_.end()) return;
    bool wasTop = it + 1 == stack_.end();
    auto keep = *it;
    stack_.erase(it);
    syncBarItems();
    if (wasTop) showTop(keep, false);
}

void NavigationController::syncBarItems() {
    std::vector<std::shared_ptr<NavigationItem>> items;
    for (auto& c : stack_) items.push_back(c->navigationItemRef());
    bar_->setItems(std::move(items));
}

void NavigationController::finishPending() {
    if (pendingTimer_) {
        pendingTimer_->invalidate();
        pendingTimer_.reset();
    }
    if (pending_) {
        auto run = std::move(pending_);
        pending_ = nullptr;
        run();
    }
}

void NavigationController::showTop(const std::shared_ptr<ViewController>& from, bool animated) {
    auto to = topViewController();
    bool visible = isVisible();
    if (!isViewLoaded()) {
        // Nothing on screen yet: the stack alone changed. Screens that left go now.
        if (from && std::find(stack_.begin(), stack_.end(), from) == stack_.end()) from->removeFromParentViewController();
        return;
    }
    if (from == to) return;
    if (to) {
        auto v = to->view();
        v->setFrame(contentFrameFor(*to));
        view()->insertSubviewBelow(v, bar_);
        shownView_ = v;
    } else {
        shownView_.reset();
    }
    if (visible) {
        if (from) from->beginAppearanceTransition(false, animated);
        if (to) to->beginAppearanceTransition(true, animated);
    }
    auto self = std::static_pointer_cast<NavigationController>(shared_from_this());
    pending_ = [self, from, to, visible] {
        if (from && from->isViewLoaded() && (!to || from->view() != to->view()) &&
            from->view()->superview() == self->view())
            from->view()->removeFromSuperview();
        if (visible) {
            if (from) from->endAppearanceTransition();
            if (to) to->endAppearanceTransition();
        }
        if (from && std::find(self->stack_.begin(), self->stack_.end(), from) == self->stack_.end() &&
            from->parentViewController() == self.get())
            from->removeFromParentViewController();
    };
    if (animated && visible) {
        std::weak_ptr<NavigationController> weak = self;
        pendingTimer_ = RunLoop::main().performAfter(transitionDuration, [weak] {
            if (auto nav = weak.lock()) nav->finishPending();
        });
    } else {
        finishPending();
    }
}

void NavigationController::pushViewController(const std::shared_ptr<ViewController>& controller, bool animated) {
    if (!controller || std::find(stack_.begin(), stack_.end(), controller) != stack_.end()) return;
    if (controller->parentViewController() || controller->presentingViewController()) return;
    finishPending();
    auto from = topViewController();
    addChildViewController(controller);
    stack_.push_back(controller);
    syncBarItems();
    showTop(from, animated);
}

std::shared_ptr<ViewController> NavigationController::popViewController(bool animated) {
    finishPending();
    if (stack_.size() < 2) return nullptr;
    auto from = stack_.back();
    stack_.pop_back();
    syncBarItems();
    showTop(from, animated);
    return from;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToViewController(ViewController* controller,
                                                                                     bool animated) {
    finishPending();
    auto it = std::find_if(stack_.begin(), stack_.end(), [&](auto& c) { return c.get() == controller; });
    if (it == stack_.end() || it + 1 == stack_.end()) return {};
    std::vector<std::shared_ptr<ViewController>> popped(it + 1, stack_.end());
    auto from = stack_.back();
    stack_.erase(it + 1, stack_.end());
    // The screens between leave at once; the top one after the transition.
    for (auto& c : popped)
        if (c != from) c->removeFromParentViewController();
    syncBarItems();
    showTop(from, animated);
    return popped;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToRootViewController(bool animated) {
    if (stack_.empty()) return {};
    return popToViewController(stack_.front().get(), animated);
}

void NavigationController::setViewControllers(const std::vector<std::shared_ptr<ViewController>>& controllers,
                                              bool animated) {
    finishPending();
    auto from = topViewController();
    auto old = stack_;
    stack_.clear();
    for (auto& c : controllers) {
        if (!c || std::find(stack_.begin(), stack_.end(), c) != stack_.end()) continue;
        if (c->parentViewController() != this) addChildViewController(c);
        stack_.push_back(c);
    }
    for (auto& c : old)
        if (c != from && std::find(stack_.begin(), stack_.end(), c) == stack_.end()) c->removeFromParentViewController();
    syncBarItems();
    showTop(from, animated);
}

}  // namespace platform
