#pragma once

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

    // (URL text, full destination path, notification name). An existing file at the
    // destination is deleted first, so a failed download leaves no file behind. A reply
    // with an error status, or an empty one, fails. The files fetched here are voices, so
    // a body that is not an AMR file (the service answers an unknown id with a short text
    // and status 200) fails too, and nothing is cached under the voice's name.
    void download(const std::string& url, const std::string& fileName, const std::string& notificationN);

    const std::string& openPath() const { return openPath_; }
    const std::string& notificationName() const { return notificationName_; }
    std::shared_ptr<platform::HttpRequestOperation> connection() const { return connection_; }
    // The body of the last response once the download ended.
    const std::string& connectionData() const { return connectionData_; }

private:
    void finished(const std::string& body);
    void failed();
    void post(const char* outcome);

    std::string openPath_;
    std::string notificationName_;
    std::shared_ptr<platform::HttpRequestOperation> connection_;
    std::string connectionData_;
};
