#include "platform/Reachability.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>

namespace platform {

namespace {

std::mutex overrideMutex;
std::optional<ReachabilityState> overrideState;

bool forcedOffline() {
    const char* value = std::getenv("TIRRA_OFFLINE");
    return value && std::strcmp(value, "1") == 0;
}

}  // namespace

ReachabilityState Reachability::current() {
    {
        std::lock_guard lock(overrideMutex);
        if (overrideState) return *overrideState;
    }
    return readSystem();
}

ReachabilityState Reachability::readSystem() {
    if (forcedOffline()) return ReachabilityState::offline();
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return ReachabilityState::unreadable();
    ReachabilityState state;
    for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || !entry->ifa_name) continue;
        int family = entry->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6) continue;
        unsigned flags = entry->ifa_flags;
        if ((flags & IFF_LOOPBACK) || !(flags & IFF_UP) || !(flags & IFF_RUNNING)) continue;
        state.reachable = true;
        std::string name = entry->ifa_name;
        std::error_code error;
        if (std::filesystem::exists("/sys/class/net/" + name + "/wireless", error)) state.wifi = true;
        if (name.rfind("wwan", 0) == 0) state.cellular = true;
    }
    freeifaddrs(list);
    return state;
}

void Reachability::setOverride(std::optional<ReachabilityState> state) {
    std::lock_guard lock(overrideMutex);
    overrideState = state;
}

}  // namespace platform
