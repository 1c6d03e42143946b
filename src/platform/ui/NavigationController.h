#pragma once

#include "platform/ui/NavigationBar.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <vector>

namespace platform {

// A stack of screens under a navigation bar. Pushing and popping swap the top screen's
// view, keep the bar's items in step and tell both screens they appear and disappear
// (will-callbacks at once, did-callbacks when the transition ends).
class NavigationController : public ViewController {
public:
    NavigationController();
    ~NavigationController() override;

    std::string className() const override { return "NavigationController"; }
    NavigationController* asNavigationController() override { return this; }

    // initWithRootViewController:
    void initWithRootViewController(const std::shared_ptr<ViewController>& root);

    void pushViewController(const std::shared_ptr<ViewController>& controller, bool animated);
    // Answers the screen taken off, or nothing when only the root is left.
    std::shared_ptr<ViewController> popViewController(bool animated);
    // Pops down to `controller` (which stays); answers the screens taken off.
    std::vector<std::shared_ptr<ViewController>> popToViewController(ViewController* controller, bool animated);
    std::vector<std::shared_ptr<ViewController>> popToRootViewController(bool animated);
    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return stack_; }
    void setViewControllers(const std::vector<std::shared_ptr<ViewController>>& controllers, bool animated);
    std::shared_ptr<ViewController> topViewController() const { return stack_.empty() ? nullptr : stack_.back(); }
    // The top screen, or what it presents.
    std::shared_ptr<ViewController> visibleViewController() const;

    NavigationBar& navigationBar();
    std::shared_ptr<NavigationBar> navigationBarRef();
    bool isNavigationBarHidden() const { return barHidden_; }
    void setNavigationBarHidden(bool hidden, bool animated = false);

    void loadView() override;
    ViewController* childViewControllerForStatusBar() const override { return topViewController().get(); }
    StatusBarStyle preferredStatusBarStyle() const override;

    // Where the top screen's view goes: below the bar, or under it when the screen
    // extends under a translucent bar (7.0 on) or the bar is hidden.
    Rect contentFrameFor(const ViewController& controller);

protected:
    std::vector<ViewController*> appearanceChildren() const override;
    void childRemoved(ViewController* child) override;

private:
    void layoutContent();
    void showTop(const std::shared_ptr<ViewController>& from, bool animated);
    void finishPending();
    void syncBarItems();

    std::vector<std::shared_ptr<ViewController>> stack_;
    std::shared_ptr<NavigationBar> bar_;
    std::shared_ptr<View> shownView_;
    bool barHidden_ = false;
    std::function<void()> pending_;
    TimerRef pendingTimer_;
};

using NavigationControllerRef = std::shared_ptr<NavigationController>;

}  // namespace platform
