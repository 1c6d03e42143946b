#include "LaunchApp.h"

#include "me/MVTAppsViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MyTabBarController.h"

#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/Window.h"

using namespace platform;

namespace {
constexpr long kAppsTab = 2;
}

bool launchAppNamed(UiDriver& driver, const std::string& name) {
    auto tabs = std::dynamic_pointer_cast<TabBarController>(driver.window().rootViewController());
    if (!tabs || tabs->viewControllers().size() <= std::size_t(kAppsTab)) return false;
    tabs->setSelectedIndex(kAppsTab);
    driver.pump();
    auto navigation = std::dynamic_pointer_cast<NavigationController>(tabs->viewControllers()[kAppsTab]);
    auto apps = std::dynamic_pointer_cast<MVTAppsViewController>(
        navigation && !navigation->viewControllers().empty() ? navigation->viewControllers().front()
                                                             : tabs->viewControllers()[kAppsTab]);
    if (!apps) return false;
    apps->view();
    // A launcher as the grid makes it: its localized title is what the handler reads.
    auto launcher = apps->buttonNamed(localized(name), 0, "");
    apps->appButtonClick(*launcher);
    driver.pump();
    return true;
}
