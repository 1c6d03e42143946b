#pragma once

#include "platform/HttpResponse.h"
#include "platform/UrlRequest.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {
class HttpRequestOperation;
}

// The User-Agent header, the only header of their own that the downloaders send.
inline constexpr const char* kDownloaderUserAgent = "Mozilla/5.0 (compatible; MSIE 7.0; Windows NT 5.1)";

// Receiver of a download's reports, on the main thread. Every operation is optional.
class SGdownloaderDelegate {
public:
    virtual ~SGdownloaderDelegate() = default;
    // progress from 0 to 1, percentage from 0 to 100.
    virtual void SGDownloadProgress(float progress, int percentage) {
        (void)progress;
        (void)percentage;
    }
    // All received bytes.
    virtual void SGDownloadFinished(const std::string& data) { (void)data; }
    // The connection's error; nothing when the reply stated no length.
    virtual void SGDownloadFail(const std::optional<platform::HttpError>& error) { (void)error; }
};

// Downloads one resource into memory, reporting progress, the data or a failure. A reply
// must state its length; a reply with an error status is a failure, not data.
class SGdownloader : public std::enable_shared_from_this<SGdownloader> {
public:
    SGdownloader() = default;
    ~SGdownloader();
    SGdownloader(const SGdownloader&) = delete;
    SGdownloader& operator=(const SGdownloader&) = delete;

    // Prepares the download; nothing is sent yet. Timeout in whole seconds.
    void initWithURL(const std::string& url, int timeout);
    // Stores the delegate and starts. Does nothing when there is no connection.
    void startWithDelegate(std::shared_ptr<SGdownloaderDelegate> delegate);
    // Cancels the running download; no report follows.
    void cancel();

    // The whole body once finished (the transfer is assembled off the main thread).
    const std::string& receiveData() const { return receiveData_; }
    const platform::UrlRequest& request() const { return request_; }
    // The running connection; nothing once it finished, failed or was cancelled.
    std::shared_ptr<platform::HttpRequestOperation> connection() const { return connection_; }
    // The length the reply states; -1 when it states none.
    float exceptedBytes() const { return exceptedBytes_; }
    float receiveBytes() const { return receiveBytes_; }
    float progress() const { return progress_; }
    int downloadedPercentage() const { return downloadedPercentage_; }
    // Held until the download ends (its last report) or is cancelled.
    std::shared_ptr<SGdownloaderDelegate> delegate() const { return delegate_; }

private:
    void received(long long bytes, long long expected);
    void finished(const std::string& body, const std::string& contentLength);
    void failed(const std::optional<platform::HttpError>& error);
    void end();

    platform::UrlRequest request_;
    std::shared_ptr<platform::HttpRequestOperation> connection_;
    std::string receiveData_;
    float exceptedBytes_ = 0;
    float receiveBytes_ = 0;
    float progress_ = 0;
    int downloadedPercentage_ = 0;
    bool done_ = false;
    std::shared_ptr<SGdownloaderDelegate> delegate_;
};
