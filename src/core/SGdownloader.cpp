#include "core/SGdownloader.h"

#include "platform/HttpRequestOperation.h"

#include <cstdlib>

SGdownloader::~SGdownloader() {
    if (connection_) connection_->cancel();
}

void SGdownloader::initWithURL(const std::string& url, int timeout) {
    receiveBytes_ = 0;
    exceptedBytes_ = 0;
    receiveData_.clear();
    progress_ = 0;
    downloadedPercentage_ = 0;
    done_ = false;
    request_ = platform::UrlRequest(url);
    request_.setTimeoutInterval(timeout);
    request_.setValue(kDownloaderUserAgent, "User-Agent");
    connection_.reset();
    if (url.empty()) return;
    connection_ = std::make_shared<platform::HttpRequestOperation>(request_);
}

void SGdownloader::startWithDelegate(std::shared_ptr<SGdownloaderDelegate> delegate) {
    delegate_ = std::move(delegate);
    if (!connection_ || connection_->isExecuting() || connection_->isFinished()) return;
    // The handlers hold the downloader only weakly: the screen that owns it decides how
    // long it lives, and a released downloader reports nothing.
    std::weak_ptr<SGdownloader> weak = weak_from_this();
    connection_->setDownloadProgressBlock([weak](long long done, long long expected) {
        if (auto self = weak.lock()) self->received(done, expected);
    });
    connection_->setCompletionBlockWithSuccess(
        [weak](platform::HttpRequestOperation& operation, const std::string& body) {
            if (auto self = weak.lock()) self->finished(body, operation.responseHeader("Content-Length"));
        },
        [weak](platform::HttpRequestOperation&, const platform::HttpError& error) {
            if (auto self = weak.lock()) self->failed(error);
        });
    connection_->start();
}

void SGdownloader::cancel() {
    if (connection_) connection_->cancel();
    connection_.reset();
    done_ = true;
    delegate_.reset();
}

void SGdownloader::received(long long bytes, long long expected) {
    if (done_) return;
    if (expected <= 0) {
        // The reply states no length: the download cannot be measured and is refused.
        if (bytes > 0) {
            exceptedBytes_ = -1;
            if (connection_) connection_->cancel();
            failed(std::nullopt);
        }
        return;
    }
    exceptedBytes_ = float(expected);
    receiveBytes_ = float(bytes);
    progress_ = receiveBytes_ / exceptedBytes_;
    downloadedPercentage_ = int(progress_ * 100);
    if (delegate_) delegate_->SGDownloadProgress(progress_, downloadedPercentage_);
}

void SGdownloader::finished(const std::string& body, const std::string& contentLength) {
    if (done_) return;
    if (contentLength.empty()) {
        exceptedBytes_ = -1;
        failed(std::nullopt);
        return;
    }
    exceptedBytes_ = float(std::strtoll(contentLength.c_str(), nullptr, 10));
    // Progress reports are merged when data comes fast; the last one always says all of it.
    if (receiveBytes_ < float(body.size()) && exceptedBytes_ > 0) received((long long)body.size(), (long long)exceptedBytes_);
    receiveData_ = body;
    receiveBytes_ = float(body.size());
    auto delegate = delegate_;
    end();
    if (delegate) delegate->SGDownloadFinished(receiveData_);
}

void SGdownloader::failed(const std::optional<platform::HttpError>& error) {
    if (done_) return;
    auto delegate = delegate_;
    end();
    if (delegate) delegate->SGDownloadFail(error);
}

void SGdownloader::end() {
    done_ = true;
    connection_.reset();
    delegate_.reset();
}
