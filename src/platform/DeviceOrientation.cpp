#include "platform/DeviceOrientation.h"

#include "platform/NotificationCenter.h"

#include <utility>

namespace platform {

Device& Device::current() {
    static Device device;
    return device;
}

void Device::setOrientation(DeviceOrientation orientation) {
    if (orientation == orientation_) return;
    orientation_ = orientation;
    NotificationCenter::defaultCenter().postNotification(kOrientationDidChangeNotification, int(orientation));
}

bool Device::orientationNamed(const std::string& name, DeviceOrientation& orientation) {
    static const std::pair<const char*, DeviceOrientation> names[] = {
        {"portrait", DeviceOrientation::Portrait},       {"upside-down", DeviceOrientation::PortraitUpsideDown},
        {"left", DeviceOrientation::LandscapeLeft},      {"right", DeviceOrientation::LandscapeRight},
        {"face-up", DeviceOrientation::FaceUp},          {"face-down", DeviceOrientation::FaceDown},
    };
    for (const auto& [text, value] : names)
        if (name == text) {
            orientation = value;
            return true;
        }
    return false;
}

void Device::reset() {
    orientation_ = DeviceOrientation::Portrait;
    statusBarOrientation_ = InterfaceOrientation::Portrait;
    idiom_ = 0;
}

}  // namespace platform
