#pragma once

#include "platform/ui/NavigationController.h"

// The navigation stack of every screen with a bar: black translucent bar, light status
// bar, white bold titles.
class myNavigationController : public platform::NavigationController {
public:
    std::string className() const override { return "myNavigationController"; }
    // initWithRootViewController: the platform's steps, then the app's bar look.
    void initWithRootViewController(const std::shared_ptr<platform::ViewController>& root);
    static std::shared_ptr<myNavigationController> withRoot(const std::shared_ptr<platform::ViewController>& root);
};
