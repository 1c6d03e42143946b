#pragma once

#include <mutex>

namespace platform {

// Posted on the default notification centre when the proximity state changes while
// monitoring is on; no object (read ProximitySensor::shared().proximityState()).
inline constexpr const char* kProximityStateDidChangeNotification = "proximityStateDidChange";

// Stand-in for the handset's proximity sensor (is the handset held to the ear?). There is
// no sensor here: the state is a switch that the host or a test flips. Monitoring is what
// the app asks for; while it is off the state reads "far" and changes are not announced,
// as on the handset.
class ProximitySensor {
public:
    static ProximitySensor& shared();

    void setMonitoringEnabled(bool enabled);
    bool isMonitoringEnabled() const;
    // True while the handset is held close (at the ear); false whenever monitoring is off.
    bool proximityState() const;
    // The outside world: the handset comes close or goes away. Main thread.
    void setNear(bool near);

    // Back to a fresh process: monitoring off, far (tests).
    void reset();

private:
    ProximitySensor() = default;
    mutable std::mutex mutex_;
    bool monitoring_ = false;
    bool near_ = false;
};

}  // namespace platform
