#pragma once

#include "platform/ui/Geometry.h"

namespace platform {

// Numbered as the application object stores them.
enum class StatusBarStyle { Default = 0, LightContent = 1 };

// The status bar, 20 points high. Its state (hidden, style) is the application object's;
// this is the view layer's typed access to it. Screens change it directly or through
// their preferences (prefersStatusBarHidden) when they ask for an appearance update.
class StatusBar {
public:
    static StatusBar& shared();

    bool isHidden() const;
    void setHidden(bool hidden, bool animated = false);
    StatusBarStyle style() const;
    void setStyle(StatusBarStyle style, bool animated = false);
    // How the last change was asked for, for tests that check the animation flag.
    bool lastChangeAnimated() const { return lastAnimated_; }
    static constexpr double height = 20;
    Rect frame() const;

private:
    StatusBar() = default;
    bool lastAnimated_ = false;
};

}  // namespace platform
