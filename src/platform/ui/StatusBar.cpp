#include "platform/ui/StatusBar.h"

#include "platform/Application.h"
#include "platform/ui/Screen.h"

namespace platform {

StatusBar& StatusBar::shared() {
    static StatusBar bar;
    return bar;
}

bool StatusBar::isHidden() const { return Application::shared().isStatusBarHidden(); }

void StatusBar::setHidden(bool hidden, bool animated) {
    Application::shared().setStatusBarHidden(hidden);
    lastAnimated_ = animated;
}

StatusBarStyle StatusBar::style() const {
    return Application::shared().statusBarStyle() == 1 ? StatusBarStyle::LightContent : StatusBarStyle::Default;
}

void StatusBar::setStyle(StatusBarStyle style, bool animated) {
    Application::shared().setStatusBarStyle(static_cast<int>(style));
    lastAnimated_ = animated;
}

Rect StatusBar::frame() const {
    if (isHidden()) return {};
    return {0, 0, Screen::mainScreen().bounds().width(), height};
}

}  // namespace platform
