#pragma once

#include <string>

// Where the remote service lives. The base address is compiled in (the build's
// TIRRA_DEFAULT_BASE_URL) and the environment variable TIRRA_BASE_URL replaces it, so the
// tests and the demo can point the app at the local sample service. It always ends in "/".
//   JSON services:  servicePrefix() + "auth/%@/%@"       ("<base>services/norvo/auth/...")
//   resources:      baseUrl() + "account/%@/avatar?default=false"
class ServiceAddress {
public:
    ServiceAddress() = delete;

    static std::string baseUrl();
    // The format "%@services/norvo/" filled with the base address.
    static std::string servicePrefix();
};
