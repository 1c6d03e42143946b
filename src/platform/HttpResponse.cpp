#include "platform/HttpResponse.h"

#include "platform/UrlRequest.h"

namespace platform {

std::string HttpResponse::header(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (sameHeaderName(key, name)) return value;
    return {};
}

}  // namespace platform
