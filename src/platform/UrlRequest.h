#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class HttpBodyStream;

// One HTTP request as a value: method, absolute URL, header fields, body and timeout.
// Header names are compared without regard to case; setting a field replaces it.
class UrlRequest {
public:
    static constexpr double kDefaultTimeout = 15.0;

    UrlRequest() = default;
    explicit UrlRequest(std::string url, std::string method = "GET")
        : url_(std::move(url)), method_(std::move(method)) {}

    const std::string& url() const { return url_; }
    void setUrl(std::string url) { url_ = std::move(url); }

    const std::string& httpMethod() const { return method_; }
    void setHttpMethod(std::string method) { method_ = std::move(method); }

    // The longest time the exchange may go without data moving (connecting, waiting for
    // the reply, a stalled link), not the time of the whole exchange: a large upload or a
    // slow download runs as long as its data keeps coming. Zero or less means no limit.
    double timeoutInterval() const { return timeout_; }
    void setTimeoutInterval(double seconds) { timeout_ = seconds; }

    // The body is either bytes held here or a stream read while the request is sent;
    // setting one drops the other.
    const std::string& httpBody() const { return body_; }
    void setHttpBody(std::string body);
    const std::shared_ptr<const HttpBodyStream>& httpBodyStream() const { return bodyStream_; }
    void setHttpBodyStream(std::shared_ptr<const HttpBodyStream> stream);
    std::uintmax_t httpBodyLength() const;

    // Empty when the field is not set.
    std::string valueForHttpHeaderField(const std::string& field) const;
    bool hasHttpHeaderField(const std::string& field) const;
    // An empty value removes the field.
    void setValue(const std::string& value, const std::string& field);
    const std::vector<std::pair<std::string, std::string>>& allHttpHeaderFields() const { return headers_; }

private:
    std::string url_;
    std::string method_ = "GET";
    std::vector<std::pair<std::string, std::string>> headers_;
    std::string body_;
    std::shared_ptr<const HttpBodyStream> bodyStream_;
    double timeout_ = kDefaultTimeout;
};

// Case-insensitive comparison of header names (ASCII).
bool sameHeaderName(const std::string& a, const std::string& b);

}  // namespace platform
