#include "core/MVTDownLoadView.h"

#include "core/SGdownloader.h"
#include "platform/HttpRequestOperation.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"

#include <unistd.h>

#include <atomic>
#include <system_error>

namespace {
constexpr double kDownloadTimeout = 30.0;

// A name beside the destination that no other download uses at the same time.
std::filesystem::path partPathFor(const std::string& destination) {
    static std::atomic<unsigned> counter{0};
    return destination + ".part" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}
}  // namespace

void MVTDownLoadView::download(const std::string& url, const std::string& fileName,
                               const std::string& notificationN) {
    notificationName_ = notificationN;
    openPath_ = fileName;
    std::error_code ec;
    if (!openPath_.empty() && std::filesystem::exists(openPath_, ec)) {
        platform::log("file Exist");
        std::filesystem::remove(openPath_, ec);
    }
    platform::UrlRequest request(url);
    request.setTimeoutInterval(kDownloadTimeout);
    request.setValue(kDownloaderUserAgent, "User-Agent");
    if (url.empty() || openPath_.empty()) {
        platform::log("Could not create the connection");
        failed();
        return;
    }
    const std::filesystem::path destination(openPath_);
    if (destination.has_parent_path()) std::filesystem::create_directories(destination.parent_path(), ec);
    partPath_ = partPathFor(openPath_);
    connection_ = std::make_shared<platform::HttpRequestOperation>(request);
    connection_->setResponseFile(partPath_);
    // The handlers hold this object until the download ends.
    auto self = shared_from_this();
    connection_->setCompletionBlockWithSuccess(
        [self](platform::HttpRequestOperation&, const std::string&) { self->finished(); },
        [self](platform::HttpRequestOperation&, const platform::HttpError&) { self->failed(); });
    platform::log("Successfully created the connection");
    connection_->start();
}

void MVTDownLoadView::finished() {
    std::error_code ec;
    const auto size = std::filesystem::file_size(partPath_, ec);
    bool usable = !ec && size > 0;
    if (usable && accepts_ && !accepts_(partPath_)) {
        platform::log("refused download: %ju bytes", static_cast<uintmax_t>(size));
        usable = false;
    }
    if (usable) {
        std::filesystem::rename(partPath_, openPath_, ec);
        if (!ec) {
            connection_.reset();
            post("downloadSuccess");
            return;
        }
    }
    std::filesystem::remove(partPath_, ec);
    failed();
}

void MVTDownLoadView::failed() {
    if (connection_) connection_->cancel();
    connection_.reset();
    post("downloadFailed");
}

void MVTDownLoadView::post(const char* outcome) {
    platform::NotificationCenter::defaultCenter().postNotification(notificationName_, outcome);
}
