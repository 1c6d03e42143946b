#pragma once

#include "platform/ui/Geometry.h"

namespace platform {

// The handset's main screen: its size in points and its pixel scale, and the version of
// the system the screens were written for. Tests and the window host may change both.
class Screen {
public:
    static Screen& mainScreen();

    // (0, 0, width, height) in points; 320 x 568 by default.
    Rect bounds() const { return {0, 0, size_.width, size_.height}; }
    void setSize(const Size& size) { size_ = size; }
    // Pixels per point; 2 by default.
    double scale() const { return scale_; }
    void setScale(double scale) { scale_ = scale; }
    // The screen less the status bar when the bar is shown.
    Rect applicationFrame() const;

    // The system version as a number, read by the screens to split their layout at 7.0.
    static double systemVersion() { return mainScreen().version_; }
    static void setSystemVersion(double version) { mainScreen().version_ = version; }

    // Back to 320 x 568 at scale 2 on version 7.0 (tests start clean).
    void reset();

private:
    Screen() = default;
    Size size_{320, 568};
    double scale_ = 2;
    double version_ = 7.0;
};

}  // namespace platform
