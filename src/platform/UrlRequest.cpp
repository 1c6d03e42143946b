#include "platform/UrlRequest.h"

#include "platform/HttpBodyStream.h"

#include <algorithm>
#include <cctype>

namespace platform {

bool sameHeaderName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

void UrlRequest::setHttpBody(std::string body) {
    body_ = std::move(body);
    bodyStream_.reset();
}

void UrlRequest::setHttpBodyStream(std::shared_ptr<const HttpBodyStream> stream) {
    bodyStream_ = std::move(stream);
    body_.clear();
}

std::uintmax_t UrlRequest::httpBodyLength() const { return bodyStream_ ? bodyStream_->size() : body_.size(); }

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
