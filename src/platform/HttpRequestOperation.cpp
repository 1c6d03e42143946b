#include "platform/HttpRequestOperation.h"

#include "platform/RunLoop.h"

#include <map>

namespace platform {

namespace {

// Started operations that have not finished, for cancelAllOperations.
std::mutex runningMutex;
std::map<HttpRequestOperation*, std::weak_ptr<HttpRequestOperation>>& running() {
    static std::map<HttpRequestOperation*, std::weak_ptr<HttpRequestOperation>> operations;
    return operations;
}

void forget(HttpRequestOperation* operation) {
    std::lock_guard lock(runningMutex);
    running().erase(operation);
}

}  // namespace

HttpRequestOperation::HttpRequestOperation(UrlRequest request) : request_(std::move(request)) {}

std::shared_ptr<HttpRequestOperation> HttpRequestOperation::operationWithRequest(UrlRequest request, Success success,
                                                                                 Failure failure) {
    auto operation = std::make_shared<HttpRequestOperation>(std::move(request));
    operation->setCompletionBlockWithSuccess(std::move(success), std::move(failure));
    return operation;
}

void HttpRequestOperation::setCompletionBlockWithSuccess(Success success, Failure failure) {
    success_ = std::move(success);
    failure_ = std::move(failure);
}

void HttpRequestOperation::setUploadProgressBlock(Progress progress) { uploadProgress_ = std::move(progress); }

void HttpRequestOperation::setDownloadProgressBlock(Progress progress) { downloadProgress_ = std::move(progress); }

void HttpRequestOperation::start() {
    if (cancelled_ || started_.exchange(true)) return;
    auto self = shared_from_this();
    {
        std::lock_guard lock(runningMutex);
        running()[this] = self;
    }
    HttpEngine::Callbacks callbacks;
    callbacks.done = [self](HttpResponse response) { self->complete(std::move(response)); };
    if (uploadProgress_ || downloadProgress_) {
        std::weak_ptr<HttpRequestOperation> weak = self;
        callbacks.progress = [weak](long long sent, long long sendTotal, long long received, long long receiveTotal) {
            if (auto operation = weak.lock()) operation->progressChanged(sent, sendTotal, received, receiveTotal);
        };
    }
    transfer_ = HttpEngine::shared().start(request_, maxResponseBytes_, std::move(callbacks), responseFile_);
}

void HttpRequestOperation::cancel() {
    if (finished_ || cancelled_.exchange(true)) return;
    if (auto id = transfer_.load()) HttpEngine::shared().cancel(id);
    forget(this);
    // The handlers belong to the main thread; drop them there.
    auto self = shared_from_this();
    dispatchMain([self] { self->releaseHandlers(); });
}

void HttpRequestOperation::cancelAllOperations() {
    std::vector<std::shared_ptr<HttpRequestOperation>> operations;
    {
        std::lock_guard lock(runningMutex);
        for (auto& [pointer, weak] : running())
            if (auto operation = weak.lock()) operations.push_back(operation);
    }
    for (auto& operation : operations) operation->cancel();
}

std::optional<HttpError> HttpRequestOperation::examineResponse(const HttpResponse&) { return std::nullopt; }

void HttpRequestOperation::reportSuccess() {
    if (success_) success_(*this, response_.body);
}

void HttpRequestOperation::complete(HttpResponse response) {
    // Network thread: let the subclass parse before handing over to the main thread.
    if (!response.error) response.error = examineResponse(response);
    auto self = shared_from_this();
    dispatchMain([self, response = std::move(response)]() mutable {
        if (self->cancelled_) return;
        self->response_ = std::move(response);
        self->finished_ = true;
        forget(self.get());
        if (self->response_.error) {
            if (self->failure_) self->failure_(*self, *self->response_.error);
        } else {
            self->reportSuccess();
        }
        self->releaseHandlers();
    });
}

void HttpRequestOperation::progressChanged(long long sent, long long sendTotal, long long received,
                                           long long receiveTotal) {
    // Network thread. Changes are coalesced: one delivery is queued at a time and it reports
    // the latest values.
    std::lock_guard lock(progressMutex_);
    progress_[0] = sent;
    progress_[1] = sendTotal;
    progress_[2] = received;
    progress_[3] = receiveTotal;
    if (progressQueued_) return;
    progressQueued_ = true;
    auto self = shared_from_this();
    dispatchMain([self] { self->deliverProgress(); });
}

void HttpRequestOperation::deliverProgress() {
    long long values[4];
    {
        std::lock_guard lock(progressMutex_);
        std::copy(progress_, progress_ + 4, values);
        progressQueued_ = false;
    }
    if (cancelled_ || finished_) return;
    if (uploadProgress_ && (values[0] != delivered_[0] || values[1] != delivered_[1]) && values[1] > 0)
        uploadProgress_(values[0], values[1]);
    if (downloadProgress_ && (values[2] != delivered_[2] || values[3] != delivered_[3]) &&
        (values[2] > 0 || values[3] > 0))
        downloadProgress_(values[2], values[3]);
    std::copy(values, values + 4, delivered_);
}

void HttpRequestOperation::releaseHandlers() {
    success_ = nullptr;
    failure_ = nullptr;
    uploadProgress_ = nullptr;
    downloadProgress_ = nullptr;
}

}  // namespace platform
