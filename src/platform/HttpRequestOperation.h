#pragma once

#include "platform/HttpEngine.h"
#include "platform/HttpResponse.h"
#include "platform/UrlRequest.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace platform {

// Runs one request on the network thread and reports on the main run loop: the success
// handler with the reply body, or the failure handler with the error (no connection,
// timeout, a status of 400 or more, a body above the size limit, a malformed URL).
// Progress handlers also run on the main run loop.
//
// Cancelling is silent: after cancel() neither handler is called, not even one whose
// reply was already on its way. Handlers are released after the one call, so they may
// hold the operation.
//
// Status, headers and body are readable from the handlers on (main thread).
class HttpRequestOperation : public std::enable_shared_from_this<HttpRequestOperation> {
public:
    using Success = std::function<void(HttpRequestOperation& operation, const std::string& body)>;
    using Failure = std::function<void(HttpRequestOperation& operation, const HttpError& error)>;
    // (bytes done so far, bytes expected in all; 0 when not known)
    using Progress = std::function<void(long long done, long long expected)>;

    explicit HttpRequestOperation(UrlRequest request);
    virtual ~HttpRequestOperation() = default;
    HttpRequestOperation(const HttpRequestOperation&) = delete;
    HttpRequestOperation& operator=(const HttpRequestOperation&) = delete;

    static std::shared_ptr<HttpRequestOperation> operationWithRequest(UrlRequest request, Success success,
                                                                      Failure failure);

    void setCompletionBlockWithSuccess(Success success, Failure failure);
    void setUploadProgressBlock(Progress progress);
    void setDownloadProgressBlock(Progress progress);
    // Replies with a larger body fail with HttpError::Kind::TooLarge. Set before start().
    void setMaxResponseBytes(std::size_t bytes) { maxResponseBytes_ = bytes; }
    std::size_t maxResponseBytes() const { return maxResponseBytes_; }
    // Set before start(): the reply body goes to this file (created or truncated) as it
    // arrives instead of into memory, so its size is bounded by the free space, not by
    // maxResponseBytes(); responseData() stays empty. A failed or cancelled exchange
    // removes the file.
    void setResponseFile(std::filesystem::path path) { responseFile_ = std::move(path); }
    const std::filesystem::path& responseFile() const { return responseFile_; }

    // Starts the exchange (once; later calls do nothing). Any thread.
    void start();
    // Any thread; see above. Does nothing after the operation finished.
    void cancel();

    bool isCancelled() const { return cancelled_; }
    bool isExecuting() const { return started_ && !finished_ && !cancelled_; }
    bool isFinished() const { return finished_; }

    const UrlRequest& request() const { return request_; }
    // The reply, readable once finished (main thread).
    int statusCode() const { return response_.statusCode; }
    std::string responseHeader(const std::string& name) const { return response_.header(name); }
    const std::vector<std::pair<std::string, std::string>>& responseHeaders() const { return response_.headers; }
    const std::string& responseData() const { return response_.body; }
    const std::string& responseString() const { return response_.body; }
    const std::optional<HttpError>& error() const { return response_.error; }
    // The byte counts last handed to the progress handlers (main thread; 0 before any).
    long long bytesSent() const { return std::max(0LL, delivered_[0]); }
    long long bytesReceived() const { return std::max(0LL, delivered_[2]); }

    // Cancels every started operation that has not finished (shutdown, end of a test).
    static void cancelAllOperations();

protected:
    // Runs on the network thread once a reply without transport or status error has come
    // back; an error returned here turns the reply into a failure. Subclasses parse here.
    virtual std::optional<HttpError> examineResponse(const HttpResponse& response);
    // Main thread: calls the success handler; subclasses call their own kind of handler.
    virtual void reportSuccess();
    // Main thread: drops every handler (after the one call, or after cancel).
    virtual void releaseHandlers();

    Success success_;
    Failure failure_;

private:
    void complete(HttpResponse response);
    void progressChanged(long long sent, long long sendTotal, long long received, long long receiveTotal);
    void deliverProgress();

    UrlRequest request_;
    HttpResponse response_;
    std::size_t maxResponseBytes_ = kDefaultMaxResponseBytes;
    std::filesystem::path responseFile_;
    Progress uploadProgress_;
    Progress downloadProgress_;
    std::atomic<bool> started_{false};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    std::atomic<HttpEngine::TransferId> transfer_{0};

    std::mutex progressMutex_;
    long long progress_[4] = {0, 0, 0, 0};
    long long delivered_[4] = {-1, -1, -1, -1};
    bool progressQueued_ = false;
};

}  // namespace platform
