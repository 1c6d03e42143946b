#include "core/MVTDownLoadView.h"

#include "core/AmrCodec.h"
#include "core/SGdownloader.h"
#include "platform/Files.h"
#include "platform/HttpRequestOperation.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"

#include <filesystem>

namespace {
constexpr double kDownloadTimeout = 30.0;
}

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
    connectionData_.clear();
    if (url.empty()) {
        platform::log("Could not create the connection");
        failed();
        return;
    }
    connection_ = std::make_shared<platform::HttpRequestOperation>(request);
    // The handlers hold this object until the download ends.
    auto self = shared_from_this();
    connection_->setCompletionBlockWithSuccess(
        [self](platform::HttpRequestOperation&, const std::string& body) { self->finished(body); },
        [self](platform::HttpRequestOperation&, const platform::HttpError&) { self->failed(); });
    platform::log("Successfully created the connection");
    connection_->start();
}

void MVTDownLoadView::finished(const std::string& body) {
    connectionData_ = body;
    bool isVoice = connectionData_.compare(0, voicecodec::kAmrMagicLength, voicecodec::kAmrMagic) == 0;
    if (!isVoice) platform::log("not a voice file: %zu bytes", connectionData_.size());
    if (isVoice && !openPath_.empty() && platform::writeFileAtomically(openPath_, connectionData_)) {
        connection_.reset();
        post("downloadSuccess");
        return;
    }
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
