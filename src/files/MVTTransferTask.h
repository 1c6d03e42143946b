#pragma once

// The transfer manager's tasks: downloads of library files into the user's downloads
// folder and multipart uploads of pictures and videos to a library. Either kind reports
// its progress to the library screen that queued it and, through the relay, to its row on
// the transfer screen; the manager learns of an end by "downComplete" / "upLoadComplete".

#include "platform/Values.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace platform {
class HttpRequestOperation;
class Image;
}  // namespace platform

inline constexpr const char* kDownCompleteNotification = "downComplete";
inline constexpr const char* kUpLoadCompleteNotification = "upLoadComplete";

// The library screen told of a download's progress (progress −1: failed).
class MVTTaskFileDelegate {
public:
    virtual ~MVTTaskFileDelegate() = default;
    virtual void updateFileMangeView(float progress, const std::string& bytesPro, const std::string& fileName) = 0;
};

// The library screen told of an upload's progress (below 0: failed).
class MVTUploadFileDelegate {
public:
    virtual ~MVTUploadFileDelegate() = default;
    virtual void updateCellData(float progress, const std::string& fileName) = 0;
};

// What the manager and the rows use of either kind of task.
class MVTTransferTask : public std::enable_shared_from_this<MVTTransferTask> {
public:
    virtual ~MVTTransferTask() = default;

    virtual bool isDownload() const = 0;
    virtual void start() = 0;
    virtual void stop() = 0;
    // The name shown in lists: a download's stored name after its "^", an upload's name.
    virtual std::string shownName() const = 0;

    const std::string& url() const { return url_; }
    const std::string& filePath() const { return filePath_; }
    const std::string& fileName() const { return fileName_; }
    const std::string& bytesProgress() const { return bytesProgress_; }
    float progress() const { return progress_; }
    bool isWaitting() const { return isWaitting_; }
    bool isCompleted() const { return isCompleted_; }
    // The user whose list records the transfer (the one signed in when it was queued).
    const std::string& userId() const { return userId_; }

    // The relay: one handler kept on the task (the row that registered last).
    void receiveObject(std::function<void(const platform::Json&)> handler) { relay_ = std::move(handler); }
    void sendObject(const platform::Json& value) {
        if (auto handler = relay_) handler(value);
    }
    bool hasRelay() const { return static_cast<bool>(relay_); }

protected:
    std::string url_;
    std::string filePath_;
    std::string fileName_;
    std::string bytesProgress_;
    std::string userId_;
    float progress_ = 0;
    bool isWaitting_ = true;
    bool isCompleted_ = false;
    std::function<void(const platform::Json&)> relay_;
};

class MVTDownloadTask : public MVTTransferTask {
public:
    // Seconds without any byte moving (connecting included) before a download fails.
    static double idleTimeout();
    static void setIdleTimeout(double seconds);

    // Nothing when either is empty. An address without "http" in front gets "http://".
    static std::shared_ptr<MVTDownloadTask> initWithUrl(const std::string& url, const std::string& filePath);

    bool isDownload() const override { return true; }
    void start() override;
    void stop() override;
    std::string shownName() const override { return fileNameDealed_; }

    const std::string& fileNameDealed() const { return fileNameDealed_; }
    const std::string& bytesTotal() const { return bytesTotal_; }
    const std::string& error() const { return error_; }
    std::shared_ptr<MVTTaskFileDelegate> delegateUp() const { return delegateUp_.lock(); }
    void setDelegateUp(std::weak_ptr<MVTTaskFileDelegate> delegate) { delegateUp_ = std::move(delegate); }

    void updateFileMangeView(float progress, const std::string& bytesPro);
    void updateCell(float progress, const std::string& bytesPro);
    // The size text of a byte count: decimal multiples ("1.2 MB", "999 bytes").
    static std::string formatByteCount(long long bytes);

private:
    void progressChanged(long long received, long long expected);
    void finished(long long received);
    void failed(const std::string& why);
    void complete();

    std::string fileNameDealed_;
    std::string bytesTotal_;
    std::string error_;
    std::weak_ptr<MVTTaskFileDelegate> delegateUp_;
    std::shared_ptr<platform::HttpRequestOperation> operation_;
};

class MVTUpLoadTask : public MVTTransferTask {
public:
    // The request's limit of seconds without data moving.
    static constexpr double kUploadTimeout = 30;

    // `content`: for type 1 a picture (shared_ptr<Image> in `image`), otherwise a video
    // of the photo library by its file (`video`).
    static std::shared_ptr<MVTUpLoadTask> initWithData(std::shared_ptr<platform::Image> image,
                                                       std::filesystem::path video, int type,
                                                       const std::string& fileName, const platform::Json& parms,
                                                       const std::string& fileUpUrl);

    bool isDownload() const override { return false; }
    void start() override;
    void stop() override;
    std::string shownName() const override { return fileName_; }

    int fileType() const { return fileType_; }
    const platform::Json& parms() const { return parms_; }
    const std::string& upFileUrl() const { return upFileUrl_; }
    std::shared_ptr<MVTUploadFileDelegate> delegateFile() const { return delegateFile_.lock(); }
    void setDelegateFile(std::weak_ptr<MVTUploadFileDelegate> delegate) { delegateFile_ = std::move(delegate); }
    // The temporary copy of a video, while it exists.
    const std::filesystem::path& tempFile() const { return tempFile_; }

    void upFileProess(float progress, const std::string& fileName);
    void upCellProess(float progress);
    // The video's copy in the temporary folder, in 8192-byte reads (background queue).
    static std::filesystem::path videoAssetURLToTempFile(const std::filesystem::path& video, std::string* error);

private:
    void send(const std::string& fileBytes);
    void startmovieWithTempFileName(const std::filesystem::path& path);
    void reportFailure();
    void deleteTempFile();

    int fileType_ = 1;
    std::shared_ptr<platform::Image> image_;
    std::filesystem::path video_;
    std::filesystem::path tempFile_;
    platform::Json parms_;
    std::string upFileUrl_;
    bool stopped_ = false;
    std::weak_ptr<MVTUploadFileDelegate> delegateFile_;
    std::shared_ptr<platform::HttpRequestOperation> operation_;
};

// The text after the first "^" of a path's last component (the whole component without one).
std::string filesShownName(const std::string& path);

// A reply of the service that says "success" with a true value (true, 1, "1", "true").
bool filesReplySucceeded(const platform::Json& reply);
