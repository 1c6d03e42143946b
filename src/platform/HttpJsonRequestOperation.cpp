#include "platform/HttpJsonRequestOperation.h"

#include <algorithm>
#include <cctype>

namespace platform {

namespace {

// "Text/HTML ; charset=utf-8" -> "text/html"
std::string mediaType(const std::string& contentType) {
    std::string type = contentType.substr(0, contentType.find(';'));
    auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    type.erase(type.begin(), std::find_if(type.begin(), type.end(), notSpace));
    type.erase(std::find_if(type.rbegin(), type.rend(), notSpace).base(), type.end());
    std::transform(type.begin(), type.end(), type.begin(), [](unsigned char c) { return std::tolower(c); });
    return type;
}

}  // namespace

std::shared_ptr<HttpJsonRequestOperation> HttpJsonRequestOperation::JSONRequestOperationWithRequest(
    UrlRequest request, JsonSuccess success, Failure failure) {
    auto operation = std::make_shared<HttpJsonRequestOperation>(std::move(request));
    operation->setJsonCompletionBlock(std::move(success), std::move(failure));
    return operation;
}

void HttpJsonRequestOperation::setJsonCompletionBlock(JsonSuccess success, Failure failure) {
    jsonSuccess_ = std::move(success);
    setCompletionBlockWithSuccess(nullptr, std::move(failure));
}

const std::set<std::string>& HttpJsonRequestOperation::acceptableContentTypes() {
    static const std::set<std::string> types{"application/json", "text/json", "text/javascript", "text/html"};
    return types;
}

std::optional<HttpError> HttpJsonRequestOperation::examineResponse(const HttpResponse& response) {
    std::string type = mediaType(response.header("Content-Type"));
    if (!acceptableContentTypes().count(type))
        return HttpError{HttpError::Kind::BadContentType, response.statusCode,
                         "unexpected content type \"" + type + "\""};
    const std::string& body = response.body;
    if (std::all_of(body.begin(), body.end(), [](unsigned char c) { return std::isspace(c); })) {
        json_ = nullptr;
        return std::nullopt;
    }
    json_ = nlohmann::json::parse(body, nullptr, false);
    if (json_.is_discarded()) {
        json_ = nullptr;
        return HttpError{HttpError::Kind::BadJson, response.statusCode, "reply is not JSON"};
    }
    return std::nullopt;
}

void HttpJsonRequestOperation::reportSuccess() {
    if (jsonSuccess_) jsonSuccess_(*this, json_);
}

void HttpJsonRequestOperation::releaseHandlers() {
    jsonSuccess_ = nullptr;
    HttpRequestOperation::releaseHandlers();
}

}  // namespace platform
