#include "platform/ProximitySensor.h"

#include "platform/NotificationCenter.h"

namespace platform {

ProximitySensor& ProximitySensor::shared() {
    static ProximitySensor sensor;
    return sensor;
}

void ProximitySensor::setMonitoringEnabled(bool enabled) {
    std::lock_guard guard(mutex_);
    monitoring_ = enabled;
}

bool ProximitySensor::isMonitoringEnabled() const {
    std::lock_guard guard(mutex_);
    return monitoring_;
}

bool ProximitySensor::proximityState() const {
    std::lock_guard guard(mutex_);
    return monitoring_ && near_;
}

void ProximitySensor::setNear(bool near) {
    bool announce = false;
    {
        std::lock_guard guard(mutex_);
        announce = monitoring_ && near_ != near;
        near_ = near;
    }
    if (announce) NotificationCenter::defaultCenter().postNotification(kProximityStateDidChangeNotification);
}

void ProximitySensor::reset() {
    std::lock_guard guard(mutex_);
    monitoring_ = false;
    near_ = false;
}

}  // namespace platform
