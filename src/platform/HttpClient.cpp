#include "platform/HttpClient.h"

#include "platform/UrlEncoding.h"
#include "platform/Values.h"

namespace platform {

namespace {

bool queryMethod(const std::string& method) {
    return method == "GET" || method == "HEAD" || method == "DELETE";
}

}  // namespace

HttpClient::HttpClient(std::string baseUrl) : baseUrl_(std::move(baseUrl)) {
    setUserAgent(defaultUserAgent());
}

std::shared_ptr<HttpClient> HttpClient::clientWithBaseURL(const std::string& baseUrl) {
    return std::make_shared<HttpClient>(baseUrl);
}

std::string HttpClient::defaultUserAgent() { return "tirra/1.0 (Linux)"; }

void HttpClient::setAuthorizationHeaderWithUsername(const std::string& user, const std::string& password) {
    setDefaultHeader("Authorization", "Basic " + base64Encode(user + ":" + password));
}

void HttpClient::setDefaultHeader(const std::string& field, const std::string& value) {
    std::erase_if(defaultHeaders_, [&](const auto& header) { return sameHeaderName(header.first, field); });
    if (!value.empty()) defaultHeaders_.emplace_back(field, value);
}

std::string HttpClient::defaultValueForHeader(const std::string& field) const {
    for (const auto& [name, value] : defaultHeaders_)
        if (sameHeaderName(name, field)) return value;
    return {};
}

UrlRequest HttpClient::requestWithMethod(const std::string& method, const std::string& path,
                                         const nlohmann::json& parameters) const {
    UrlRequest request(resolveUrl(baseUrl_, path), method);
    for (const auto& [name, value] : defaultHeaders_) request.setValue(value, name);
    std::string query = queryString(parameters);
    if (!query.empty()) {
        if (queryMethod(method)) {
            std::string url = request.url();
            url += url.find('?') == std::string::npos ? '?' : '&';
            request.setUrl(url + query);
        } else {
            request.setValue("application/x-www-form-urlencoded; charset=utf-8", "Content-Type");
            request.setHttpBody(std::move(query));
        }
    }
    return request;
}

UrlRequest HttpClient::multipartFormRequestWithMethod(const std::string& method, const std::string& path,
                                                      const nlohmann::json& parameters,
                                                      const std::function<void(HttpMultipartForm&)>& build) const {
    UrlRequest request = requestWithMethod(method, path);
    HttpMultipartForm form;
    if (parameters.is_object())
        for (const auto& [name, value] : parameters.items()) form.appendPart(name, textOf(value));
    if (build) build(form);
    request.setValue(form.contentType(), "Content-Type");
    request.setHttpBodyStream(form.bodyStream());
    return request;
}

std::shared_ptr<HttpRequestOperation> HttpClient::HTTPRequestOperationWithRequest(
    UrlRequest request, HttpRequestOperation::Success success, HttpRequestOperation::Failure failure) const {
    return HttpRequestOperation::operationWithRequest(std::move(request), std::move(success), std::move(failure));
}

std::shared_ptr<HttpJsonRequestOperation> HttpClient::JSONRequestOperationWithRequest(
    UrlRequest request, HttpJsonRequestOperation::JsonSuccess success, HttpRequestOperation::Failure failure) const {
    return HttpJsonRequestOperation::JSONRequestOperationWithRequest(std::move(request), std::move(success),
                                                                     std::move(failure));
}

}  // namespace platform
