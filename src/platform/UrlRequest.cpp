#include "platform/UrlRequest.h"

#include <algorithm>
#include <cctype>

namespace platform {

bool sameHeaderName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string UrlRequest::valueForHttpHeaderField(const std::string& field) const {
    for (const auto& [name, value] : headers_)
        if (sameHeaderName(name, field)) return value;
    return {};
}

bool UrlRequest::hasHttpHeaderField(const std::string& field) const {
    return std::any_of(headers_.begin(), headers_.end(),
                       [&](const auto& header) { return sameHeaderName(header.first, field); });
}

void UrlRequest::setValue(const std::string& value, const std::string& field) {
    std::erase_if(headers_, [&](const auto& header) { return sameHeaderName(header.first, field); });
    if (!value.empty()) headers_.emplace_back(field, value);
}

}  // namespace platform
