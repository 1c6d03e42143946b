// The video lesson upload queue of the application delegate: copy out of the photo
// library, conversion to MP4, size test, multipart upload and the state reports.

#include "shell/MVTAppDelegate.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"

#include "platform/BackgroundQueue.h"
#include "platform/Clock.h"
#include "platform/Dates.h"
#include "platform/HttpClient.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/Paths.h"
#include "platform/PhotoLibrary.h"
#include "platform/RunLoop.h"
#include "platform/UrlEncoding.h"
#include "platform/Values.h"
#include "platform/VideoExport.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace {

constexpr std::size_t kCopyChunk = 8192;
// The longest time the upload may go without data moving: a large video on a slow link
// runs for as long as it keeps moving.
constexpr double kUploadTimeout = 30.0;
constexpr double kSecondsFrom1970To2001 = 978307200.0;

void postMicroState(const std::string& text) {
    platform::NotificationCenter::defaultCenter().postNotification(MVTAppDelegate::kToGetSubmitMicroState, text);
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

void removeFile(const std::string& path) {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove(path, ec);
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The asset held in the slot: the path of the file the photo library gives.
std::string assetPath(const nlohmann::json& asset) { return asset.is_string() ? asset.get<std::string>() : ""; }

}  // namespace

void MVTAppDelegate::GetUpMicroAssetWith(const nlohmann::json& asset) {
    if (!upMicroArr_.is_array()) upMicroArr_ = nlohmann::json::array();
    if (!upMicroArr_.empty()) upMicroArr_.erase(upMicroArr_.size() - 1);
    upMicroArr_.push_back(asset);
    auto self = shared_from_this();
    platform::dispatchBackground([self] { self->getUpMicroData(); });
}

void MVTAppDelegate::getUpMicroData() {
    const nlohmann::json slot = upMicroArr_;
    if (!slot.is_array() || slot.empty()) return;
    const std::string url = platform::PhotoLibrary::urlForAsset(assetPath(slot.front()));
    const auto ext = url.find("ext=");
    const std::string extension = ext == std::string::npos ? std::string() : url.substr(ext + 4);

    char name[64];
    std::snprintf(name, sizeof name, "%f.", platform::now() - kSecondsFrom1970To2001);
    const std::string tmpPath = (platform::Paths::temporaryDirectory() / (name + extension)).string();
    auto self = shared_from_this();
    // A copy that cannot be made ends like a failed conversion, so the status screen is told.
    auto giveUp = [self, tmpPath] { platform::dispatchMain([self, tmpPath] { self->encodeFailed(tmpPath); }); };

    std::string error;
    auto asset = platform::PhotoLibrary::assetForURL(url, &error);
    if (!asset) {
        platform::log("Can not get asset - %s", error.c_str());
        return giveUp();
    }
    {
        std::ofstream out(tmpPath, std::ios::binary | std::ios::trunc);
        if (!out) {
            platform::log("Can not create tmp file.");
            return giveUp();
        }
        if (asset->size() != 0) {
            std::vector<std::uint8_t> buffer(kCopyChunk);
            long long offset = 0;
            for (;;) {
                error.clear();
                const std::size_t got = asset->getBytes(buffer.data(), offset, buffer.size(), &error);
                if (got == 0) break;
                out.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(got));
                offset += static_cast<long long>(got);
            }
            out.flush();
            // A copy cut short by a read or write error would go out as a broken video.
            if (!error.empty() || !out) {
                platform::log("Can not copy asset - %s", error.empty() ? "write failed" : error.c_str());
                return giveUp();
            }
        }
    }
    if (!fileExists(tmpPath)) return giveUp();
    const auto dot = tmpPath.rfind('.');
    const std::string kind = lowered(dot == std::string::npos ? std::string() : tmpPath.substr(dot + 1));
    if (kind == "mov") {
        encodeVideoWith(tmpPath);
    } else if (kind == "mp4") {
        platform::dispatchMain([self, tmpPath] {
            self->setMP4Path(tmpPath);
            self->ToUpMicroWith({"", tmpPath});
        });
    } else {
        platform::log("Can not convert a .%s video", kind.c_str());
        giveUp();
    }
}

void MVTAppDelegate::encodeVideoWith(const std::string& path) {
    auto self = shared_from_this();
    if (!platform::VideoExport::supportsMediumQuality(path)) {
        platform::log("No medium quality export for %s", path.c_str());
        platform::dispatchMain([self, path] { self->encodeFailed(path); });
        return;
    }
    const std::string name = "micro-" + platform::formatDate(platform::now(), "yyyy-MM-dd-HH:mm:ss") + ".mp4";
    const std::string output = (platform::Paths::documentsDirectory() / name).string();
    platform::dispatchBackground([self, path, output] {
        const auto began = std::chrono::steady_clock::now();
        std::string error;
        if (platform::VideoExport::exportMediumQualityMP4(path, output, &error)) {
            platform::log("Successful!");
            platform::log("encoding time = %f s",
                          std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
            platform::dispatchMain([self, path, output] {
                self->setMP4Path(output);
                self->ToUpMicroWith({path, output});
            });
        } else {
            platform::log("Export failed: %s", error.c_str());
            platform::dispatchMain([self, path] { self->encodeFailed(path); });
        }
    });
}

void MVTAppDelegate::encodeFailed(const std::string& path) {
    platform::log("转码失败");
    if (fileExists(path)) removeFile(path);
    upMicroArr_ = nlohmann::json::array();
    postMicroState(localized("转码失败"));
}

void MVTAppDelegate::ToUpMicroWith(const std::vector<std::string>& paths) {
    const std::string first = paths.size() > 0 ? paths[0] : "";
    const std::string second = paths.size() > 1 ? paths[1] : "";
    if (fileExists(first)) removeFile(first);
    if (!fileExists(second)) return;
    std::error_code ec;
    const auto size = std::filesystem::file_size(second, ec);
    if (ec || static_cast<long long>(size) >= kMaxMicroBytes) {
        postMicroState(localized("视频过大，不支持"));
        return;
    }
    startUpMicroWith(second);
}

void MVTAppDelegate::startUpMicroWith(const std::string& path) {
    auto self = shared_from_this();
    platform::dispatchBackground([self, path] { self->upMicroWith(path); });
}

void MVTAppDelegate::upMicroWith(const std::string& path) {
    auto self = shared_from_this();
    auto failed = [self, path] { platform::dispatchMain([self, path] { self->upMicroFailed(path); }); };
    const std::string url = ServiceAddress::servicePrefix() + "course/" +
                            MVTAccount::sharedInstance().userId().value_or("(null)") + "/uploadSmallClass";
    auto client = MVTPublicMethod::clientWithUrl(url);
    // Without a network there is no client; the upload ends as failed so it can be retried.
    if (!client) return failed();
    client->setAuthorizationHeaderWithUsername(MVTPublicMethod::kServiceUser, MVTPublicMethod::kServicePassword);

    // The slot is read here, off the main thread, as it stands when the upload begins.
    const nlohmann::json slot = upMicroArr_;
    std::string fileName = "微课.mp4";
    if (slot.is_array() && !slot.empty()) {
        const std::string assetName = std::filesystem::path(assetPath(slot.front())).filename().string();
        fileName = assetName.substr(0, assetName.find('.')) + ".mp4";
    }
    const std::string courseId = selectedCourseId_;
    const std::string description = microDetailsStr_;
    // The video is not read here: its part streams from the file while the request goes out.
    bool fileRead = false;
    auto request = client->multipartFormRequestWithMethod(
        "POST", url, nullptr, [&](platform::HttpMultipartForm& form) {
            fileRead = form.appendPartWithFile("vedio", path, platform::percentEscape(fileName),
                                               "application/octet-stream", static_cast<std::uintmax_t>(kMaxMicroBytes));
            form.appendPart("courseId", courseId);
            form.appendPart("isCanView", "1");
            form.appendPart("description", description);
        });
    // Sending the fields without the video would only look like an upload.
    if (!fileRead) {
        platform::log("Can not read %s", path.c_str());
        return failed();
    }
    request.setTimeoutInterval(kUploadTimeout);
    auto operation = client->JSONRequestOperationWithRequest(
        std::move(request),
        [self, path](platform::HttpJsonRequestOperation&, const nlohmann::json& reply) {
            const bool accepted = reply.is_object() && reply.contains("success") &&
                                  platform::integerValue(platform::textOf(reply["success"])) != 0;
            if (accepted)
                self->upMicroSuccess(path);
            else
                self->upMicroFailed(path);
        },
        [self, path](platform::HttpRequestOperation&, const platform::HttpError&) { self->upMicroFailed(path); });
    operation->setUploadProgressBlock([](long long done, long long expected) {
        if (expected <= 0) return;
        const double fraction = std::min(1.0, static_cast<double>(done) / static_cast<double>(expected));
        char text[32];
        std::snprintf(text, sizeof text, "%f", fraction);
        postMicroState(text);
        platform::log("upData poss = %f", fraction);
    });
    operation->start();
}

void MVTAppDelegate::upMicroSuccess(const std::string& path) {
    platform::log("上传成功");
    if (fileExists(path)) removeFile(path);
    upMicroArr_ = nlohmann::json::array();
    postMicroState(localized("上传成功"));
}

void MVTAppDelegate::upMicroFailed(const std::string& path) {
    platform::log("mp4Path = %s \n上传失败", path.c_str());
    postMicroState(localized("上传失败"));
}
