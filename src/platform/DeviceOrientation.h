#pragma once

// How the handset is held, and which way the status bar (the interface) is turned. The
// window host turns the device by keys and scripts by the "rotate" command; tests set it.
// A change of the device orientation is posted as kOrientationDidChangeNotification.

#include <string>

namespace platform {

enum class DeviceOrientation {
    Unknown = 0,
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeLeft = 3,
    LandscapeRight = 4,
    FaceUp = 5,
    FaceDown = 6,
};

// Numbered as the interface counts them: landscape right and left swap places with the
// device's, since turning the device left turns the interface right.
enum class InterfaceOrientation {
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeRight = 3,
    LandscapeLeft = 4,
};

class Device {
public:
    static constexpr const char* kOrientationDidChangeNotification = "UIDeviceOrientationDidChangeNotification";

    static Device& current();

    DeviceOrientation orientation() const { return orientation_; }
    // Posts the change notification (on the calling thread, the main one) when it changes.
    void setOrientation(DeviceOrientation orientation);

    InterfaceOrientation statusBarOrientation() const { return statusBarOrientation_; }
    void setStatusBarOrientation(InterfaceOrientation orientation) { statusBarOrientation_ = orientation; }

    // A tablet answers 1 to the question of its kind of interface; a phone 0.
    int userInterfaceIdiom() const { return idiom_; }
    void setUserInterfaceIdiom(int idiom) { idiom_ = idiom; }

    // "portrait", "left", "right", "upside-down", "face-up", "face-down"; false for others.
    static bool orientationNamed(const std::string& name, DeviceOrientation& orientation);

    // Portrait, portrait status bar, a phone (tests start clean).
    void reset();

private:
    Device() = default;
    DeviceOrientation orientation_ = DeviceOrientation::Portrait;
    InterfaceOrientation statusBarOrientation_ = InterfaceOrientation::Portrait;
    int idiom_ = 0;
};

}  // namespace platform
