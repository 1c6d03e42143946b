// Requests and network state of MVTPublicMethod.
#include "core/MVTPublicMethod.h"

#include "platform/Log.h"
#include "platform/Reachability.h"
#include "platform/Values.h"

#include <cctype>
#include <cstdio>

std::optional<platform::UrlRequest> MVTPublicMethod::requestWithMethod(const std::string& method,
                                                                       const std::string& url,
                                                                       const nlohmann::json& param) {
    if (!connectedToNetwork()) return std::nullopt;
    // A new client per request keeps requests independent of each other.
    platform::HttpClient client(url);
    client.setAuthorizationHeaderWithUsername(kServiceUser, kServicePassword);
    platform::UrlRequest request = client.requestWithMethod(method, url, param);
    request.setTimeoutInterval(kRequestTimeout);
    return request;
}

std::shared_ptr<platform::HttpClient> MVTPublicMethod::clientWithUrl(const std::string& url) {
    if (!connectedToNetwork()) return nullptr;
    auto client = platform::HttpClient::clientWithBaseURL(url);
    client->setAuthorizationHeaderWithUsername(kServiceUser, kServicePassword);
    return client;
}

bool MVTPublicMethod::connectedToNetwork() {
    platform::ReachabilityState state = platform::Reachability::current();
    if (!state.readable) {
        platform::logText("Error. Could not recover network reachability flags");
        return false;
    }
    return state.reachable && !state.connectionRequired;
}

bool MVTPublicMethod::iSEnableWIFI() {
    platform::ReachabilityState state = platform::Reachability::current();
    return state.readable && state.reachable && state.wifi;
}

bool MVTPublicMethod::iSEnable3G() {
    platform::ReachabilityState state = platform::Reachability::current();
    return state.readable && state.reachable;
}

int MVTPublicMethod::netWorkConnectType() {
    if (iSEnableWIFI()) return 1;
    if (iSEnable3G()) return 2;
    return 0;
}

std::string MVTPublicMethod::encodeURLWhenChinese(const std::string& text) {
    if (text.empty()) return {};
    std::string escaped;
    for (char16_t unit : platform::toUtf16(text)) {
        bool plain = unit < 0x80 && (std::isalnum(static_cast<unsigned char>(unit)) || unit == '-' ||
                                     unit == '.' || unit == '_' || unit == '~');
        if (plain) {
            escaped += static_cast<char>(unit);
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "%%u%04X", static_cast<unsigned>(unit));
            escaped += code;
        }
    }
    // Escaping for the URL leaves only the "%" marks to do.
    std::string result;
    for (char c : escaped) result += c == '%' ? std::string("%25") : std::string(1, c);
    return result + "&_app_encoding_tag_=1";
}
