#pragma once

#include "platform/HttpRequestOperation.h"

#include <nlohmann/json.hpp>

#include <set>

namespace platform {

// A request operation whose reply is JSON. The reply must come with one of the content
// types "application/json", "text/json", "text/javascript" or "text/html" (parameters such
// as "; charset=utf-8" aside) and must parse; otherwise the failure handler gets
// BadContentType or BadJson. An empty body (or only white space) is a success with a null
// value, so a caller can tell "nothing" from a list or a dictionary.
// The body is parsed on the network thread; handlers run on the main run loop.
class HttpJsonRequestOperation : public HttpRequestOperation {
public:
    using JsonSuccess = std::function<void(HttpJsonRequestOperation& operation, const nlohmann::json& json)>;

    explicit HttpJsonRequestOperation(UrlRequest request) : HttpRequestOperation(std::move(request)) {}

    static std::shared_ptr<HttpJsonRequestOperation> JSONRequestOperationWithRequest(UrlRequest request,
                                                                                     JsonSuccess success,
                                                                                     Failure failure);

    void setJsonCompletionBlock(JsonSuccess success, Failure failure);

    // The parsed reply (main thread, once finished); null before.
    const nlohmann::json& responseJSON() const { return json_; }

    static const std::set<std::string>& acceptableContentTypes();

protected:
    std::optional<HttpError> examineResponse(const HttpResponse& response) override;
    void reportSuccess() override;
    void releaseHandlers() override;

private:
    JsonSuccess jsonSuccess_;
    nlohmann::json json_;
};

}  // namespace platform
