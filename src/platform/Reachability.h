#pragma once

#include <optional>

namespace platform {

// Whether this machine can reach a network now, read locally and synchronously (no
// traffic): an interface other than loopback is up and running with an address. WiFi when
// such an interface is wireless; cellular when it is a mobile broadband one ("wwan...").
//
// Tests and the demo replace the reading with setOverride; TIRRA_OFFLINE=1 in the
// environment makes the machine reading report offline.
struct ReachabilityState {
    bool readable = true;            // false: the state could not be read
    bool reachable = false;          // some connection is usable
    bool connectionRequired = false; // a connection must be set up first (never on Linux)
    bool wifi = false;
    bool cellular = false;

    static ReachabilityState offline() { return {}; }
    static ReachabilityState viaWifi() { return {true, true, false, true, false}; }
    static ReachabilityState viaCellular() { return {true, true, false, false, true}; }
    static ReachabilityState unreadable() { return {false, false, false, false, false}; }
};

class Reachability {
public:
    // The override when one is set, otherwise the machine's reading.
    static ReachabilityState current();
    static ReachabilityState readSystem();
    // nullopt returns to the machine's reading. Thread-safe.
    static void setOverride(std::optional<ReachabilityState> state);
};

}  // namespace platform
