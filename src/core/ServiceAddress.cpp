#include "core/ServiceAddress.h"

#include <cstdlib>

#ifndef TIRRA_DEFAULT_BASE_URL
#define TIRRA_DEFAULT_BASE_URL "http://127.0.0.1:8860/"
#endif

std::string ServiceAddress::baseUrl() {
    const char* configured = std::getenv("TIRRA_BASE_URL");
    std::string base = configured && *configured ? configured : TIRRA_DEFAULT_BASE_URL;
    if (base.empty() || base.back() != '/') base += '/';
    return base;
}

std::string ServiceAddress::servicePrefix() { return baseUrl() + "services/norvo/"; }
