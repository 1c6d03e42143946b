#pragma once

#include "platform/HttpJsonRequestOperation.h"
#include "platform/HttpMultipartForm.h"
#include "platform/HttpRequestOperation.h"
#include "platform/UrlRequest.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Makes requests against one base address, with default header fields (authorization,
// User-Agent) copied into each request it builds, and wraps them in operations.
//
// Parameters (a flat dictionary; texts or numbers, sent in their "%@" text form):
//  - none (null or an empty dictionary): neither query nor body;
//  - GET, HEAD, DELETE: a query appended to the URL after "?", or after "&" when the URL
//    already has a "?";
//  - any other method: the same text as the body, with Content-Type
//    "application/x-www-form-urlencoded; charset=utf-8".
class HttpClient {
public:
    explicit HttpClient(std::string baseUrl);
    static std::shared_ptr<HttpClient> clientWithBaseURL(const std::string& baseUrl);

    const std::string& baseURL() const { return baseUrl_; }

    // "Authorization: Basic base64(user:password)" (RFC 7617; the texts in UTF-8).
    void setAuthorizationHeaderWithUsername(const std::string& user, const std::string& password);
    void clearAuthorizationHeader() { setDefaultHeader("Authorization", ""); }
    // An empty value removes the field.
    void setDefaultHeader(const std::string& field, const std::string& value);
    std::string defaultValueForHeader(const std::string& field) const;
    void setUserAgent(const std::string& userAgent) { setDefaultHeader("User-Agent", userAgent); }
    std::string userAgent() const { return defaultValueForHeader("User-Agent"); }

    // `path` is resolved against the base address (an absolute URL stands for itself).
    UrlRequest requestWithMethod(const std::string& method, const std::string& path,
                                 const nlohmann::json& parameters = nullptr) const;
    // A multipart request: the parameters first as text fields (in the order of their
    // names), then what `build` adds, in order. Its body is a stream, so file parts are
    // read from their files as the request is sent.
    UrlRequest multipartFormRequestWithMethod(const std::string& method, const std::string& path,
                                              const nlohmann::json& parameters,
                                              const std::function<void(HttpMultipartForm&)>& build) const;

    std::shared_ptr<HttpRequestOperation> HTTPRequestOperationWithRequest(
        UrlRequest request, HttpRequestOperation::Success success, HttpRequestOperation::Failure failure) const;
    std::shared_ptr<HttpJsonRequestOperation> JSONRequestOperationWithRequest(
        UrlRequest request, HttpJsonRequestOperation::JsonSuccess success,
        HttpRequestOperation::Failure failure) const;

    static std::string defaultUserAgent();

private:
    std::string baseUrl_;
    std::vector<std::pair<std::string, std::string>> defaultHeaders_;
};

}  // namespace platform
