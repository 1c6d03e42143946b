#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace platform {
class HttpRequestOperation;
}

// Downloads one resource straight into a file and announces the outcome with a
// notification named by the caller, whose object is "downloadSuccess" or
// "downloadFailed". The caller observes the name, starts the download and lets the
// object go: the running download keeps it alive until it ends.
class MVTDownLoadView : public std::enable_shared_from_this<MVTDownLoadView> {
public:
    MVTDownLoadView() = default;

    // Callers that expect one kind of file check it here (the voice lists: an AMR file).
    // A body it refuses ends as "downloadFailed" and is not left at the destination. Set
    // before download().
    void setAcceptsFile(std::function<bool(const std::filesystem::path& file)> check) { accepts_ = std::move(check); }

    // (URL text, full destination path, notification name). An existing file at the
    // destination is deleted first, so a failed download leaves no file behind. The body
    // streams to a file beside the destination and takes its place once complete, so its
    // size is bounded by the free space only. A reply with an error status, or an empty
    // one, fails.
    void download(const std::string& url, const std::string& fileName, const std::string& notificationN);

    const std::string& openPath() const { return openPath_; }
    const std::string& notificationName() const { return notificationName_; }
    std::shared_ptr<platform::HttpRequestOperation> connection() const { return connection_; }

private:
    void finished();
    void failed();
    void post(const char* outcome);

    std::string openPath_;
    std::string notificationName_;
    std::filesystem::path partPath_;  // where the body arrives
    std::function<bool(const std::filesystem::path&)> accepts_;
    std::shared_ptr<platform::HttpRequestOperation> connection_;
};
