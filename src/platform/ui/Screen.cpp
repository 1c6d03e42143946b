#include "platform/ui/Screen.h"

#include "platform/ui/StatusBar.h"

namespace platform {

Screen& Screen::mainScreen() {
    static Screen screen;
    return screen;
}

Rect Screen::applicationFrame() const {
    double top = StatusBar::shared().isHidden() ? 0 : StatusBar::height;
    return {0, top, size_.width, size_.height - top};
}

void Screen::reset() {
    size_ = {320, 568};
    scale_ = 2;
    version_ = 7.0;
}

}  // namespace platform
