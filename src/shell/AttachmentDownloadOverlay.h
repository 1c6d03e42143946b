#pragma once

// Opening an attachment that lives on the service as a resource: fetched once into the
// download cache (Documents/Downloads/attachs_<id>.<type>) under an overlay with a
// progress bar and a cancel button, then opened in the web page screen; a voice is
// converted from AMR to WAV and handed back to its screen to play.
//
// Each screen that lists attachments owns one of these objects, so that every screen has
// its own download state. The screens differ in a few points, which the options say.

#include "core/SGdownloader.h"

#include "platform/ui/Geometry.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {
class AlertView;
class AlertViewDelegate;
class ProgressView;
class View;
class ViewController;
}  // namespace platform

class AttachmentDownloadOverlay : public SGdownloaderDelegate,
                                  public std::enable_shared_from_this<AttachmentDownloadOverlay> {
public:
    // What a finished voice (type "wav") becomes.
    enum class VoiceAction {
        Play,      // stored as AMR, converted, then handed to the screen's player
        OpenWav,   // stored as AMR, converted, then the WAV file opened like any file
        AsFile,    // no conversion: stored and opened like any other file
    };

    struct Options {
        // Type "amr" is kept as "wav" (the voice way); off, "amr" stays a plain file type.
        bool amrIsVoice = true;
        VoiceAction voiceAction = VoiceAction::Play;
        // The not-found body is compared with the looked-up text of "没有找到资源" rather
        // than with the service's own Chinese text.
        bool localizedNotFound = false;
        // The overlay is as big as the host view's frame; off, it is the screen's width by
        // the screen's height less the status and navigation bars (64 points).
        bool overlayFillsHostView = false;
        // An opened file is pushed on the host's own navigation stack (its back button
        // pops it) rather than presented in a stack of its own.
        bool openByPush = false;
    };
    // The three screens' settings: homework details and one answer; a test's answer
    // sheet; the course homework list.
    static Options detailsOptions() { return {}; }
    static Options answerSheetOptions() { return {false, VoiceAction::AsFile, false, true}; }
    static Options courseListOptions() { return {true, VoiceAction::OpenWav, true, true}; }
    // The class-notice list: files only, the service's own not-found text, the overlay
    // as big as the list's view.
    static Options noticeListOptions() { return {false, VoiceAction::AsFile, false, true}; }

    static constexpr double kDownloadTimeout = 60;
    // The service's answer for a resource it does not have: six characters, 18 bytes.
    static constexpr const char* kNotFoundText = "没有找到资源";
    static constexpr const char* kWaitText = "下载中...";
    static constexpr const char* kCancelTitle = "取 消";
    static constexpr const char* kFailedTitle = "下载失败";
    static constexpr double kSecondBarStart = 0.01;

    // `host`: the screen whose view the overlay covers and that presents opened files.
    // `playVoice`: the screen's player, given the WAV path of a converted voice.
    // `alertDelegate`: the delegate of the not-found and failure alerts (may be empty).
    static std::shared_ptr<AttachmentDownloadOverlay> make(std::weak_ptr<platform::ViewController> host,
                                                           Options options,
                                                           std::function<void(const std::string&)> playVoice = {},
                                                           std::weak_ptr<platform::AlertViewDelegate> alertDelegate = {});
    AttachmentDownloadOverlay() = default;
    ~AttachmentDownloadOverlay() override;

    // Cache path of an attachment: attachs_<id>.<type> directly in the Downloads folder,
    // whatever the id holds.
    static std::string attachmentPath(const std::string& id, const std::string& type);
    // Download address: "<base>resource/<id>/download?token=<token>".
    static std::string downloadUrl(const std::string& id);

    // toDownLoadAttachsWith: by the texts the screen read from the tapped control. Opens a
    // cached file at once; otherwise starts the download under the overlay. An id or a
    // type that is no plain name gives the failure alert and fetches nothing.
    void toDownLoadAttachsWith(const std::string& id, const std::string& type, const std::string& name);
    // The details and answer screens' controls: id in the accessibility value, type in the
    // accessibility label, name in the accessibility hint.
    void toDownLoadAttachsWith(const platform::View& control);
    // toShowFileImageWith:and: the answer sheet's entry: the file name split at its dots
    // gives the name (first part) and the type (second part; "png" without a dot).
    void toShowFileImageWith(const std::string& id, const std::string& fileName);
    // showDownLoadWait: puts the overlay over the host's view or takes it away.
    void showDownLoadWait(bool show);
    // openDownLoadFileWith:andName: the file in the web page screen, presented by the host.
    void openDownLoadFileWith(const std::string& path, const std::string& name);
    // The cancel button (and the back button of the details and answer screens).
    void toCancelDownLoad();

    void SGDownloadProgress(float progress, int percentage) override;
    void SGDownloadFinished(const std::string& data) override;
    void SGDownloadFail(const std::optional<platform::HttpError>& error) override;

    // Where the not-found and failure messages go instead of an alert (the detail screen
    // shows them as its toast).
    void setMessageHandler(std::function<void(const std::string&)> handler) { messageHandler_ = std::move(handler); }

    // State, per host screen.
    const std::string& realType() const { return realType_; }
    const std::string& realName() const { return realName_; }
    const std::string& realPath() const { return realPath_; }
    std::shared_ptr<SGdownloader> download() const { return download_; }
    std::shared_ptr<platform::View> downLoadBgView() const { return downLoadBgView_; }
    std::shared_ptr<platform::ProgressView> progressV() const { return progressV_; }
    bool attDownloading() const { return attDownloading_; }
    const Options& options() const { return options_; }

private:
    void buildOverlay(const platform::Rect& frame);
    void showAlert(const std::string& title);
    bool isNotFoundBody(const std::string& body) const;

    std::weak_ptr<platform::ViewController> host_;
    Options options_;
    std::function<void(const std::string&)> playVoice_;
    std::weak_ptr<platform::AlertViewDelegate> alertDelegate_;
    std::function<void(const std::string&)> messageHandler_;

    std::string realType_;
    std::string realName_;
    std::string realPath_;
    std::shared_ptr<SGdownloader> download_;
    std::shared_ptr<platform::View> downLoadBgView_;
    std::shared_ptr<platform::ProgressView> progressV_;
    bool attDownloading_ = false;
};
