#include "platform/UrlEncoding.h"

#include "platform/Values.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>

namespace platform {

namespace {

bool isUnreserved(unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '_' || c == '.';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool hasScheme(const std::string& text) {
    // scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ) ":"
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
    for (size_t i = 1; i < text.size(); ++i) {
        unsigned char c = text[i];
        if (c == ':') return true;
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return false;
}

}  // namespace

std::string percentEscape(const std::string& text) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (unsigned char c : text) {
        if (isUnreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

std::string queryString(const nlohmann::json& parameters) {
    if (!parameters.is_object()) return {};
    std::string out;
    for (const auto& [name, value] : parameters.items()) {
        if (!out.empty()) out += '&';
        out += percentEscape(name);
        out += '=';
        out += percentEscape(textOf(value));
    }
    return out;
}

std::string percentDecode(const std::string& text, bool plusIsSpace) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%' && i + 2 < text.size()) {
            int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += (plusIsSpace && c == '+') ? ' ' : c;
    }
    return out;
}

std::string resolveUrl(const std::string& base, const std::string& path) {
    if (hasScheme(path) || base.empty()) return path;
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), &curl_url_cleanup);
    if (!url || curl_url_set(url.get(), CURLUPART_URL, base.c_str(), 0) != CURLUE_OK) return path;
    if (!path.empty() && curl_url_set(url.get(), CURLUPART_URL, path.c_str(), 0) != CURLUE_OK) return path;
    char* resolved = nullptr;
    if (curl_url_get(url.get(), CURLUPART_URL, &resolved, 0) != CURLUE_OK || !resolved) return path;
    std::string result = resolved;
    curl_free(resolved);
    return result;
}

}  // namespace platform
