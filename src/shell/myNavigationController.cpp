#include "shell/myNavigationController.h"

#include "platform/ui/StatusBar.h"

using namespace platform;

void myNavigationController::initWithRootViewController(const std::shared_ptr<ViewController>& root) {
    NavigationController::initWithRootViewController(root);
    if (NavigationBar::supportsBackgroundImage()) {
        navigationBar().setBarStyle(BarStyle::Black);
        navigationBar().setTranslucent(true);
        // A black strip under the status bar.
        auto strip = std::make_shared<View>(Rect(0, 0, 320, 20));
        strip->setBackgroundColor(Color::black());
        view()->addSubview(strip);
        StatusBar::shared().setStyle(StatusBarStyle::LightContent, false);
    }
    TitleTextAttributes attributes;
    attributes.textColor = Color::whiteColor();
    attributes.fontName = "Helvetica-Bold";
    attributes.fontSize = 18;
    attributes.shadowColor = Color::clear();
    navigationBar().setTitleTextAttributes(attributes);
}

std::shared_ptr<myNavigationController> myNavigationController::withRoot(const std::shared_ptr<ViewController>& root) {
    auto nav = std::make_shared<myNavigationController>();
    nav->initWithRootViewController(root);
    return nav;
}
