#include "platform/ui/ViewController.h"

#include "platform/RunLoop.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace platform {

ViewController::ViewController() : navigationItem_(std::make_shared<NavigationItem>()) {}

ViewController::~ViewController() {
    for (auto& child : children_) child->parent_ = nullptr;
    if (presented_) presented_->presenting_ = nullptr;
    if (transitionTimer_) transitionTimer_->invalidate();
    if (view_) view_->setViewController(nullptr, nullptr);
}

// ---- The view

std::shared_ptr<View> ViewController::view() {
    if (!view_) {
        loadView();
        if (!view_) setView(std::make_shared<View>(Window::controllerFrame()));
        viewDidLoad();
    }
    return view_;
}

void ViewController::setView(const std::shared_ptr<View>& view) {
    if (view_) view_->setViewController(nullptr, nullptr);
    view_ = view;
    if (view_) view_->setViewController(this, this);
}

void ViewController::loadView() {
    auto v = std::make_shared<View>(Window::controllerFrame());
    v->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    setView(v);
}

void ViewController::setTitle(const std::string& title) {
    title_ = title;
    navigationItem_->setTitle(title);
}

std::shared_ptr<TabBarItem> ViewController::tabBarItem() {
    if (!tabBarItem_) {
        tabBarItem_ = std::make_shared<TabBarItem>();
        tabBarItem_->setTitle(title_);
    }
    return tabBarItem_;
}

// ---- Appearance

std::vector<ViewController*> ViewController::appearanceChildren() const {
    std::vector<ViewController*> out;
    for (auto& child : children_)
        if (child->isViewLoaded() && view_ && child->view_->isDescendantOf(view_.get())) out.push_back(child.get());
    return out;
}

void ViewController::beginAppearanceTransition(bool appearing, bool animated) {
    if (appearing) {
        if (appearance_ == Appearance::Appeared || appearance_ == Appearance::Appearing) return;
        view();
        appearance_ = Appearance::Appearing;
        appearanceAnimated_ = animated;
        viewWillAppear(animated);
    } else {
        if (appearance_ == Appearance::Disappeared || appearance_ == Appearance::Disappearing) return;
        appearance_ = Appearance::Disappearing;
        appearanceAnimated_ = animated;
        viewWillDisappear(animated);
    }
    for (auto* child : appearanceChildren()) child->beginAppearanceTransition(appearing, animated);
}

void ViewController::endAppearanceTransition() {
    if (appearance_ == Appearance::Appearing) {
        appearance_ = Appearance::Appeared;
        viewDidAppear(appearanceAnimated_);
    } else if (appearance_ == Appearance::Disappearing) {
        appearance_ = Appearance::Disappeared;
        viewDidDisappear(appearanceAnimated_);
    } else {
        return;
    }
    for (auto* child : appearanceChildren()) child->endAppearanceTransition();
}

// ---- Containment

void ViewController::addChildViewController(const std::shared_ptr<ViewController>& child) {
    if (!child || child.get() == this || child->parent_ == this) return;
    auto keep = child;
    child->removeFromParentViewController();
    children_.push_back(child);
    child->parent_ = this;
}

void ViewController::removeFromParentViewController() {
    auto* parent = parent_;
    if (!parent) return;
    auto self = shared_from_this();
    auto& list = parent->children_;
    list.erase(std::remove(list.begin(), list.end(), self), list.end());
    parent_ = nullptr;
    parent->childRemoved(this);
}

NavigationController* ViewController::navigationController() const {
    for (auto* up = parent_; up; up = up->parent_)
        if (auto* nav = up->asNavigationController()) return nav;
    return nullptr;
}

TabBarController* ViewController::tabBarController() const {
    for (auto* up = parent_; up; up = up->parent_)
        if (auto* tab = up->asTabBarController()) return tab;
    return nullptr;
}

// ---- Modal presentation

ViewController* ViewController::presentationRoot() {
    ViewController* root = this;
    while (root->parent_) root = root->parent_;
    return root;
}

ViewController* ViewController::presentingViewController() const {
    if (presenting_) return presenting_;
    // A screen inside a presented container counts as presented by the same screen.
    for (auto* up = parent_; up; up = up->parent_)
        if (up->presenting_) return up->presenting_;
    return nullptr;
}

std::shared_ptr<ViewController> ViewController::presentedViewController() const {
    const ViewController* root = this;
    while (root->parent_) root = root->parent_;
    return root->presented_;
}

void ViewController::presentViewController(const std::shared_ptr<ViewController>& controller, bool animated,
                                           std::function<void()> completion) {
    if (!controller || controller.get() == this || controller->presenting_ || controller->parent_) return;
    // The presentation belongs to the outermost container of this screen.
    auto* root = presentationRoot();
    if (root != this) return root->presentViewController(controller, animated, std::move(completion));
    // A dismissal still running finishes first, so the new screen can take its place.
    if (presented_ && presented_->beingDismissed_ && presented_->pendingTransition_) {
        auto finish = std::move(presented_->pendingTransition_);
        finish();
    }
    if (presented_) return;
    auto rootRef = root->shared_from_this();
    presented_ = controller;
    controller->presenting_ = this;
    controller->beingPresented_ = true;

    Window* window = root->isViewLoaded() ? root->view_->window() : nullptr;
    if (!window) window = Window::keyWindow();
    auto v = controller->view();
    if (window) {
        Rect f = Window::controllerFrame();
        v->setFrame(f.offsetBy(-window->frame().x(), -window->frame().y()));
    }
    controller->beginAppearanceTransition(true, animated);
    rootRef->beginAppearanceTransition(false, animated);
    if (window) window->addControllerView(v);

    controller->pendingTransition_ = [controller, rootRef, completion = std::move(completion)]() {
        controller->transitionTimer_.reset();
        controller->beingPresented_ = false;
        controller->endAppearanceTransition();
        rootRef->endAppearanceTransition();
        if (completion) completion();
    };
    if (animated) {
        std::weak_ptr<ViewController> weak = controller;
        controller->transitionTimer_ = RunLoop::main().performAfter(transitionDuration, [weak] {
            auto c = weak.lock();
            if (c && c->pendingTransition_) {
                auto finish = std::move(c->pendingTransition_);
                finish();
            }
        });
    } else {
        auto finish = std::move(controller->pendingTransition_);
        finish();
    }
}

void ViewController::dismissViewController(bool animated, std::function<void()> completion) {
    auto* root = presentationRoot();
    ViewController* presenter = root->presented_ ? root : root->presenting_;
    if (!presenter || !presenter->presented_) return;
    auto target = presenter->presented_;
    if (target->beingDismissed_) return;
    // A presentation still running finishes before it is undone.
    if (target->pendingTransition_) {
        auto finish = std::move(target->pendingTransition_);
        finish();
        if (target->transitionTimer_) target->transitionTimer_->invalidate();
    }
    // Screens presented above the target leave with it, at once.
    if (target->presented_) target->dismissViewController(false);

    auto presenterRef = presenter->shared_from_this();
    auto rootRef = presenter->presentationRoot()->shared_from_this();
    target->beingDismissed_ = true;
    target->beginAppearanceTransition(false, animated);
    rootRef->beginAppearanceTransition(true, animated);
    target->pendingTransition_ = [target, presenterRef, rootRef, completion = std::move(completion)]() {
        target->transitionTimer_.reset();
        if (target->isViewLoaded()) target->view()->removeFromSuperview();
        target->beingDismissed_ = false;
        if (presenterRef->presented_ == target) presenterRef->presented_.reset();
        target->presenting_ = nullptr;
        target->endAppearanceTransition();
        rootRef->endAppearanceTransition();
        if (completion) completion();
    };
    if (animated) {
        std::weak_ptr<ViewController> weak = target;
        target->transitionTimer_ = RunLoop::main().performAfter(transitionDuration, [weak] {
            auto c = weak.lock();
            if (c && c->pendingTransition_) {
                auto finish = std::move(c->pendingTransition_);
                finish();
            }
        });
    } else {
        auto finish = std::move(target->pendingTransition_);
        finish();
    }
}

// ---- Status bar

void ViewController::setNeedsStatusBarAppearanceUpdate() {
    // The screen in front: from the window's root (or this screen's root) up the
    // presented chain, then into the containers.
    ViewController* front = presentationRoot();
    if (auto* w = Window::keyWindow(); w && w->rootViewController()) front = w->rootViewController().get();
    while (front->presented_ && !front->presented_->beingDismissed_) front = front->presented_.get();
    for (auto* child = front->childViewControllerForStatusBar(); child; child = child->childViewControllerForStatusBar())
        front = child;
    StatusBar::shared().setHidden(front->prefersStatusBarHidden());
}

// ---- Touches: what the root view does not handle ends here.

Responder* ViewController::nextResponder() const { return view_ ? view_->superviewPointer() : nullptr; }

void ViewController::touchesBegan(const Touches& touches) {
    if (view_) {
        if (auto up = view_->superview()) up->touchesBegan(touches);
    }
}
void ViewController::touchesMoved(const Touches& touches) {
    if (view_) {
        if (auto up = view_->superview()) up->touchesMoved(touches);
    }
}
void ViewController::touchesEnded(const Touches& touches) {
    if (view_) {
        if (auto up = view_->superview()) up->touchesEnded(touches);
    }
}
void ViewController::touchesCancelled(const Touches& touches) {
    if (view_) {
        if (auto up = view_->superview()) up->touchesCancelled(touches);
    }
}

}  // namespace platform
