#include "files/MVTTransferTask.h"

#include "files/MVTDownLoadViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/Clock.h"
#include "platform/BackgroundQueue.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/Paths.h"
#include "platform/PhotoLibrary.h"
#include "platform/RunLoop.h"
#include "platform/UrlEncoding.h"
#include "platform/HttpClient.h"
#include "platform/HttpRequestOperation.h"

#include <cstdio>

using namespace platform;

namespace {

double gDownloadIdleTimeout = 5.0;

std::string transferRelayNumber(float progress) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(progress));
    return text;
}

}  // namespace

std::string filesShownName(const std::string& path) {
    const std::string last = std::filesystem::path(path).filename().string();
    const auto caret = last.find('^');
    return caret == std::string::npos ? last : last.substr(caret + 1);
}

// ---- Downloads --------------------------------------------------------------------------

double MVTDownloadTask::idleTimeout() { return gDownloadIdleTimeout; }
void MVTDownloadTask::setIdleTimeout(double seconds) { gDownloadIdleTimeout = seconds; }

std::shared_ptr<MVTDownloadTask> MVTDownloadTask::initWithUrl(const std::string& url, const std::string& filePath) {
    if (url.empty() || filePath.empty()) return nullptr;
    auto task = std::make_shared<MVTDownloadTask>();
    task->isWaitting_ = true;
    task->isCompleted_ = false;
    task->url_ = url.rfind("http", 0) == 0 ? url : "http://" + url;
    task->filePath_ = filePath;
    task->fileNameDealed_ = filesShownName(filePath);
    task->userId_ = MVTAccount::sharedInstance().userId().value_or("");
    return task;
}

std::string MVTDownloadTask::formatByteCount(long long bytes) {
    if (bytes == 0) return "Zero KB";
    if (bytes < 1000) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    const char* units[] = {"KB", "MB", "GB", "TB", "PB"};
    double value = static_cast<double>(bytes);
    int unit = -1;
    while (value >= 1000 && unit < 4) {
        value /= 1000;
        ++unit;
    }
    char text[32];
    // Kilobytes whole, larger units with one decimal, as the platform's file-size style.
    if (unit == 0)
        std::snprintf(text, sizeof text, "%.0f %s", value, units[unit]);
    else
        std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

void MVTDownloadTask::start() {
    if (!isWaitting_ && operation_) return;
    isWaitting_ = false;
    UrlRequest request(url_);
    // The limit is the time without data moving (connecting included), never the whole
    // download: a large file on a slow link keeps going while bytes come.
    request.setTimeoutInterval(gDownloadIdleTimeout);
    std::weak_ptr<MVTTransferTask> weak = weak_from_this();
    auto self = [weak] { return std::static_pointer_cast<MVTDownloadTask>(weak.lock()); };
    operation_ = HttpRequestOperation::operationWithRequest(
        request,
        [self](HttpRequestOperation& operation, const std::string&) {
            if (auto task = self()) task->finished(operation.bytesReceived());
        },
        [self](HttpRequestOperation&, const HttpError& error) {
            if (auto task = self()) task->failed(error.message);
        });
    operation_->setResponseFile(filePath_);
    operation_->setDownloadProgressBlock([self](long long done, long long expected) {
        if (auto task = self()) task->progressChanged(done, expected);
    });
    operation_->start();
}

void MVTDownloadTask::stop() {
    if (operation_) operation_->cancel();
}

void MVTDownloadTask::progressChanged(long long received, long long expected) {
    if (isCompleted_) return;
    // Without a length the share is unknown: nothing is reported until the end.
    if (expected <= 0) return;
    // Exactly 1 only once the exchange ended well (every byte in, a good status): an error
    // page of the full length must not pass for the file. A share that rounds to 1 stays below.
    progress_ = std::min(0.999999f, static_cast<float>(static_cast<double>(received) / expected));
    bytesProgress_ = formatByteCount(received) + "/" + formatByteCount(expected);
    updateFileMangeView(progress_, bytesProgress_);
    updateCell(progress_, bytesProgress_);
}

void MVTDownloadTask::finished(long long received) {
    bytesTotal_ = formatByteCount(received);
    if (isCompleted_) return;
    // A reply without a length (or one whose last report did not come) ends here: every
    // byte is in the file, so it completes now.
    progress_ = 1.0f;
    bytesProgress_ = formatByteCount(received) + "/" + formatByteCount(received);
    updateFileMangeView(progress_, bytesProgress_);
    updateCell(progress_, bytesProgress_);
}

void MVTDownloadTask::failed(const std::string& why) {
    if (isCompleted_) return;
    error_ = why;
    const std::string text = localized("失败");
    updateFileMangeView(-1, text);
    updateCell(-1, text);
    isCompleted_ = true;
    std::error_code ec;
    std::filesystem::remove(filePath_, ec);
    MVTDownLoadViewController::shareDownLoadViewController()->taskFiledDetail(
        std::static_pointer_cast<MVTTransferTask>(shared_from_this()));
}

void MVTDownloadTask::updateFileMangeView(float progress, const std::string& bytesPro) {
    if (auto delegate = delegateUp_.lock()) delegate->updateFileMangeView(progress, bytesPro, fileNameDealed_);
}

void MVTDownloadTask::updateCell(float progress, const std::string& bytesPro) {
    sendObject({{"progr", transferRelayNumber(progress)}, {"bytesProgress", bytesPro}});
    if (progress == 1.0f && !isCompleted_) complete();
}

void MVTDownloadTask::complete() {
    isCompleted_ = true;
    auto self = shared_from_this();
    NotificationCenter::defaultCenter().postNotification(kDownCompleteNotification, nullptr, nullptr,
                                                         std::static_pointer_cast<MVTTransferTask>(self));
}

// ---- Uploads ----------------------------------------------------------------------------

std::shared_ptr<MVTUpLoadTask> MVTUpLoadTask::initWithData(std::shared_ptr<Image> image, std::filesystem::path video,
                                                           int type, const std::string& fileName, const Json& parms,
                                                           const std::string& fileUpUrl) {
    auto task = std::make_shared<MVTUpLoadTask>();
    task->image_ = std::move(image);
    task->video_ = std::move(video);
    task->fileType_ = type;
    task->fileName_ = fileName;
    task->parms_ = parms.is_object() ? parms : Json::object();
    task->upFileUrl_ = fileUpUrl;
    task->isWaitting_ = true;
    task->userId_ = MVTAccount::sharedInstance().userId().value_or("");
    return task;
}

void MVTUpLoadTask::upFileProess(float progress, const std::string& fileName) {
    if (auto delegate = delegateFile_.lock()) delegate->updateCellData(progress, fileName);
}

void MVTUpLoadTask::upCellProess(float progress) { sendObject(transferRelayNumber(progress)); }

void MVTUpLoadTask::reportFailure() {
    upFileProess(-1, fileName_);
    upCellProess(-1);
}

void MVTUpLoadTask::deleteTempFile() {
    if (tempFile_.empty()) return;
    std::error_code ec;
    std::filesystem::remove(tempFile_, ec);
    tempFile_.clear();
}

std::filesystem::path MVTUpLoadTask::videoAssetURLToTempFile(const std::filesystem::path& video, std::string* error) {
    const std::string url = PhotoLibrary::urlForAsset(video);
    auto asset = PhotoLibrary::assetForURL(url, error);
    if (!asset) {
        logText("Can not get asset - " + (error ? *error : std::string()));
        return {};
    }
    std::string extension;
    if (const auto at = url.find("ext="); at != std::string::npos) extension = url.substr(at + 4);
    const double seconds = platform::Clock::current()->now() - 978307200.0;  // since 1 January 2001
    char name[96];
    std::snprintf(name, sizeof name, "%f.", seconds);
    const auto path = Paths::temporaryDirectory() / (name + extension);
    logText("Writing to " + path.string());
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        logText("Can not create tmp file.");
        if (error) *error = "Can not create tmp file.";
        return {};
    }
    std::uint8_t buffer[8192];
    long long offset = 0;
    bool ok = true;
    for (;;) {
        std::string readError;
        const std::size_t got = asset->getBytes(buffer, offset, sizeof buffer, &readError);
        if (got == 0) {
            ok = readError.empty();
            break;
        }
        if (std::fwrite(buffer, 1, got, out) != got) {
            ok = false;
            break;
        }
        offset += static_cast<long long>(got);
    }
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        if (error) *error = "copy failed";
        return {};
    }
    return path;
}

void MVTUpLoadTask::start() {
    if (!isWaitting_) return;
    isWaitting_ = false;
    if (fileType_ == 1) {
        if (!image_) {
            reportFailure();
            return;
        }
        send(MVTPublicMethod::imageData(image_));
        return;
    }
    std::weak_ptr<MVTTransferTask> weak = weak_from_this();
    const auto video = video_;
    BackgroundQueue::shared().async([weak, video] {
        std::string error;
        auto copy = videoAssetURLToTempFile(video, &error);
        dispatchMain([weak, copy] {
            auto task = std::static_pointer_cast<MVTUpLoadTask>(weak.lock());
            if (!task) {
                std::error_code ec;
                if (!copy.empty()) std::filesystem::remove(copy, ec);
                return;
            }
            task->startmovieWithTempFileName(copy);
        });
    });
}

void MVTUpLoadTask::startmovieWithTempFileName(const std::filesystem::path& path) {
    tempFile_ = path;
    // A task deleted while its copy ran is never sent; its copy goes.
    if (stopped_) {
        deleteTempFile();
        return;
    }
    if (path.empty()) {
        reportFailure();
        return;
    }
    auto bytes = readFile(path);
    if (!bytes) {
        deleteTempFile();
        reportFailure();
        return;
    }
    send(*bytes);
}

void MVTUpLoadTask::send(const std::string& fileBytes) {
    auto client = MVTPublicMethod::clientWithUrl(upFileUrl_);
    if (!client) {
        reportFailure();
        return;
    }
    const std::string name = fileName_;
    auto request = client->multipartFormRequestWithMethod(
        "POST", upFileUrl_, parms_, [&](HttpMultipartForm& form) {
            form.appendPart("image", percentEscape(name), "application/octet-stream", fileBytes);
        });
    request.setTimeoutInterval(kUploadTimeout);
    std::weak_ptr<MVTTransferTask> weak = weak_from_this();
    auto self = [weak] { return std::static_pointer_cast<MVTUpLoadTask>(weak.lock()); };
    operation_ = client->HTTPRequestOperationWithRequest(
        request,
        [self](HttpRequestOperation&, const std::string& body) {
            auto task = self();
            if (!task) return;
            task->deleteTempFile();
            const Json reply = Json::parse(body, nullptr, false);
            // Only a true "success" counts: the upload is then recorded as finished.
            const bool success = filesReplySucceeded(reply);
            if (!success) {
                task->reportFailure();
                return;
            }
            logText("yes we win--->" + task->fileName_);
            task->progress_ = 1.0f;
            task->isCompleted_ = true;
            task->upFileProess(1.0f, task->fileName_);
            task->upCellProess(1.0f);
            NotificationCenter::defaultCenter().postNotification(kUpLoadCompleteNotification, nullptr, nullptr,
                                                                 std::static_pointer_cast<MVTTransferTask>(task));
        },
        [self](HttpRequestOperation&, const HttpError&) {
            auto task = self();
            if (!task) return;
            task->deleteTempFile();
            task->reportFailure();
        });
    operation_->setUploadProgressBlock([self](long long sent, long long total) {
        auto task = self();
        if (!task || total <= 0 || task->isCompleted_) return;
        // The body sent is not yet the upload done: 1 waits for the service's answer.
        task->progress_ = std::min(0.999f, static_cast<float>(static_cast<double>(sent) / total));
        task->upFileProess(task->progress_, task->fileName_);
        task->upCellProess(task->progress_);
    });
    operation_->start();
}

void MVTUpLoadTask::stop() {
    stopped_ = true;
    if (operation_) operation_->cancel();
    deleteTempFile();
}

bool filesReplySucceeded(const platform::Json& reply) {
    if (!reply.is_object() || !reply.contains("success")) return false;
    const auto& success = reply["success"];
    return success == true || textOf(success) == "1" || textOf(success) == "true";
}
