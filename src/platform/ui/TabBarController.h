#pragma once

#include "platform/ui/TabBar.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <vector>

namespace platform {

class TabBarController;

class TabBarControllerDelegate {
public:
    virtual ~TabBarControllerDelegate() = default;
    virtual bool shouldSelectViewController(TabBarController& tabBarController, ViewController& controller) {
        (void)tabBarController;
        (void)controller;
        return true;
    }
    virtual void didSelectViewController(TabBarController& tabBarController, ViewController& controller) {
        (void)tabBarController;
        (void)controller;
    }
};

// Screens side by side behind a tab bar; one is shown at a time. The bar can be hidden
// (or taken out) and replaced by a bar of the app's own: the selected screen then fills
// the whole view.
class TabBarController : public ViewController {
public:
    TabBarController();
    ~TabBarController() override;

    std::string className() const override { return "TabBarController"; }
    TabBarController* asTabBarController() override { return this; }

    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return controllers_; }
    void setViewControllers(const std::vector<std::shared_ptr<ViewController>>& controllers, bool animated = false);
    long selectedIndex() const { return selected_; }
    // Selecting in code asks no delegate (as on the handset).
    void setSelectedIndex(long index);
    std::shared_ptr<ViewController> selectedViewController() const;
    void setSelectedViewController(const std::shared_ptr<ViewController>& controller);

    TabBar& tabBar() { return *tabBar_; }
    std::shared_ptr<TabBar> tabBarRef() { return tabBar_; }
    void setDelegate(std::weak_ptr<TabBarControllerDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<TabBarControllerDelegate> delegate() const { return delegate_.lock(); }

    void loadView() override;
    ViewController* childViewControllerForStatusBar() const override { return selectedViewController().get(); }
    // The frame of the selected screen's view.
    Rect contentFrame();

protected:
    std::vector<ViewController*> appearanceChildren() const override;

private:
    void userSelected(long index);
    void showSelected(const std::shared_ptr<ViewController>& from);
    void layoutContent();

    std::vector<std::shared_ptr<ViewController>> controllers_;
    std::shared_ptr<TabBar> tabBar_;
    std::weak_ptr<TabBarControllerDelegate> delegate_;
    long selected_ = -1;
};

using TabBarControllerRef = std::shared_ptr<TabBarController>;

}  // namespace platform
