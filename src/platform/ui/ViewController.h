#pragma once

#include "platform/ui/NavigationItem.h"
#include "platform/ui/Responder.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/View.h"
#include "platform/Timer.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class NavigationController;
class TabBarController;
class TabBarItem;

enum class ModalTransitionStyle { CoverVertical, FlipHorizontal, CrossDissolve, PartialCurl };

// Which edges a screen's view extends under translucent bars (system version 7.0 on).
enum RectEdge : unsigned {
    RectEdgeNone = 0,
    RectEdgeTop = 1 << 0,
    RectEdgeLeft = 1 << 1,
    RectEdgeBottom = 1 << 2,
    RectEdgeRight = 1 << 3,
    RectEdgeAll = 15,
};

// A screen: owns a view made on first use (loadView, then viewDidLoad), hears when it
// appears and disappears, sits in a navigation or tab container, and presents other
// screens modally. Make with std::make_shared.
class ViewController : public Responder, public std::enable_shared_from_this<ViewController> {
public:
    ViewController();
    virtual ~ViewController();
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    virtual std::string className() const { return "ViewController"; }

    // ---- The view
    // Loads the view on first access.
    std::shared_ptr<View> view();
    bool isViewLoaded() const { return static_cast<bool>(view_); }
    void setView(const std::shared_ptr<View>& view);
    // Makes the root view: a plain view as big as the screen. Override to make another.
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { (void)animated; }
    virtual void viewDidAppear(bool animated) { (void)animated; }
    virtual void viewWillDisappear(bool animated) { (void)animated; }
    virtual void viewDidDisappear(bool animated) { (void)animated; }
    virtual void viewWillLayoutSubviews() {}
    virtual void viewDidLayoutSubviews() {}
    virtual void didReceiveMemoryWarning() {}
    // True from viewWillAppear until viewWillDisappear.
    bool isVisible() const { return appearance_ == Appearance::Appeared || appearance_ == Appearance::Appearing; }

    // Appearance forwarding; containers call these on their children, and the window and
    // presentations on the screens they show or cover. Repeated calls in the same
    // direction are ignored, so every callback runs once per change.
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();

    // ---- Title and bars
    const std::string& title() const { return title_; }
    virtual void setTitle(const std::string& title);
    NavigationItem& navigationItem() { return *navigationItem_; }
    std::shared_ptr<NavigationItem> navigationItemRef() const { return navigationItem_; }
    std::shared_ptr<TabBarItem> tabBarItem();
    void setTabBarItem(const std::shared_ptr<TabBarItem>& item) { tabBarItem_ = item; }
    bool hidesBottomBarWhenPushed() const { return hidesBottomBarWhenPushed_; }
    void setHidesBottomBarWhenPushed(bool hides) { hidesBottomBarWhenPushed_ = hides; }
    unsigned edgesForExtendedLayout() const { return edgesForExtendedLayout_; }
    void setEdgesForExtendedLayout(unsigned edges) { edgesForExtendedLayout_ = edges; }
    bool automaticallyAdjustsScrollViewInsets() const { return adjustsScrollViewInsets_; }
    void setAutomaticallyAdjustsScrollViewInsets(bool on) { adjustsScrollViewInsets_ = on; }

    // ---- Containment
    ViewController* parentViewController() const { return parent_; }
    const std::vector<std::shared_ptr<ViewController>>& childViewControllers() const { return children_; }
    void addChildViewController(const std::shared_ptr<ViewController>& child);
    void removeFromParentViewController();
    // The nearest navigation / tab bar controller above this screen (a presented screen
    // without a container of its own has none).
    NavigationController* navigationController() const;
    TabBarController* tabBarController() const;
    virtual NavigationController* asNavigationController() { return nullptr; }
    virtual TabBarController* asTabBarController() { return nullptr; }

    // ---- Modal presentation
    // Shows `controller` over the whole window. Animated presentations finish (and run
    // `completion`) after the transition time on the main run loop; others at once.
    // Refused while this screen already presents one.
    void presentViewController(const std::shared_ptr<ViewController>& controller, bool animated,
                               std::function<void()> completion = {});
    // Dismisses what this screen presents, or, when it presents nothing, this screen
    // from its presenter. Screens presented above the dismissed one go with it.
    void dismissViewController(bool animated, std::function<void()> completion = {});
    ViewController* presentingViewController() const;
    // What this screen's outermost container presents.
    std::shared_ptr<ViewController> presentedViewController() const;
    ModalTransitionStyle modalTransitionStyle() const { return transitionStyle_; }
    void setModalTransitionStyle(ModalTransitionStyle style) { transitionStyle_ = style; }
    bool isBeingPresented() const { return beingPresented_; }
    bool isBeingDismissed() const { return beingDismissed_; }

    // ---- Status bar
    virtual bool prefersStatusBarHidden() const { return false; }
    virtual StatusBarStyle preferredStatusBarStyle() const { return StatusBarStyle::Default; }
    // Applies the preferences of the screen in front (the top of the presented chain,
    // through containers) to the status bar.
    void setNeedsStatusBarAppearanceUpdate();
    // The screen whose preferences decide the status bar when this one is in front.
    virtual ViewController* childViewControllerForStatusBar() const { return nullptr; }

    // ---- Touches reach the screen when its root view does not handle them.
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void touchesCancelled(const Touches& touches) override;
    Responder* nextResponder() const override;

    // A weak reference to this screen as one of its delegate interfaces.
    template <class T>
    std::weak_ptr<T> weakAs() {
        return std::dynamic_pointer_cast<T>(shared_from_this());
    }

    // Transition time of animated presentations, pushes and pops.
    static constexpr double transitionDuration = 0.35;

protected:
    // The children whose appearance follows this screen's (default: every child whose
    // view is shown inside this screen's view).
    virtual std::vector<ViewController*> appearanceChildren() const;
    // Containers are told when a child arrives or leaves.
    virtual void childRemoved(ViewController* child) { (void)child; }

private:
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };
    friend class Window;
    ViewController* presentationRoot();
    void finishPresentation();
    void finishDismissal();

    std::shared_ptr<View> view_;
    std::string title_;
    std::shared_ptr<NavigationItem> navigationItem_;
    std::shared_ptr<TabBarItem> tabBarItem_;
    ViewController* parent_ = nullptr;
    std::vector<std::shared_ptr<ViewController>> children_;
    ViewController* presenting_ = nullptr;
    std::shared_ptr<ViewController> presented_;
    std::function<void()> pendingTransition_;
    TimerRef transitionTimer_;
    ModalTransitionStyle transitionStyle_ = ModalTransitionStyle::CoverVertical;
    Appearance appearance_ = Appearance::Disappeared;
    bool appearanceAnimated_ = false;
    bool beingPresented_ = false;
    bool beingDismissed_ = false;
    bool hidesBottomBarWhenPushed_ = false;
    bool adjustsScrollViewInsets_ = true;
    unsigned edgesForExtendedLayout_ = RectEdgeAll;
};

using ViewControllerRef = std::shared_ptr<ViewController>;

}  // namespace platform
