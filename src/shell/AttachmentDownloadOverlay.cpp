#include "shell/AttachmentDownloadOverlay.h"

#include "core/MVTPublicMethod.h"
#include "core/MVTVoiceJoiner.h"
#include "core/ServiceId.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTWebViewController.h"
#include "shell/myNavigationController.h"

#include "platform/Files.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"

#include <algorithm>
#include <cctype>

using namespace platform;

namespace {

const Color kOverlayAccent = Color::rgba(0.38, 0.78, 0.976);

std::string overlayLowerCased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The downloader holds its delegate until the download ends; this go-between holds the
// overlay only weakly, so a screen that goes away takes its overlay and its running
// download with it (the downloader cancels its connection when it is destroyed).
class OverlayDownloadReports : public SGdownloaderDelegate {
public:
    explicit OverlayDownloadReports(std::weak_ptr<AttachmentDownloadOverlay> overlay) : overlay_(std::move(overlay)) {}
    void SGDownloadProgress(float progress, int percentage) override {
        if (auto overlay = overlay_.lock()) overlay->SGDownloadProgress(progress, percentage);
    }
    void SGDownloadFinished(const std::string& data) override {
        if (auto overlay = overlay_.lock()) overlay->SGDownloadFinished(data);
    }
    void SGDownloadFail(const std::optional<HttpError>& error) override {
        if (auto overlay = overlay_.lock()) overlay->SGDownloadFail(error);
    }

private:
    std::weak_ptr<AttachmentDownloadOverlay> overlay_;
};

}  // namespace

std::shared_ptr<AttachmentDownloadOverlay> AttachmentDownloadOverlay::make(
    std::weak_ptr<ViewController> host, Options options, std::function<void(const std::string&)> playVoice,
    std::weak_ptr<AlertViewDelegate> alertDelegate) {
    auto overlay = std::make_shared<AttachmentDownloadOverlay>();
    overlay->host_ = std::move(host);
    overlay->options_ = options;
    overlay->playVoice_ = std::move(playVoice);
    overlay->alertDelegate_ = std::move(alertDelegate);
    return overlay;
}

AttachmentDownloadOverlay::~AttachmentDownloadOverlay() {
    if (download_) download_->cancel();
    if (downLoadBgView_) downLoadBgView_->removeFromSuperview();
}

std::string AttachmentDownloadOverlay::attachmentPath(const std::string& id, const std::string& type) {
    return MVTPublicMethod::getPathByFileName("/attachs_" + id, type);
}

std::string AttachmentDownloadOverlay::downloadUrl(const std::string& id) {
    // The id is one path segment, whatever characters the service gave it.
    return ServiceAddress::baseUrl() + "resource/" + percentEscape(id) +
           "/download?token=" + MVTAppDelegate::sharedAppDelegate()->getTokenWith(id);
}

void AttachmentDownloadOverlay::toDownLoadAttachsWith(const View& control) {
    toDownLoadAttachsWith(control.accessibilityValue(), control.accessibilityLabel(), control.accessibilityHint());
}

void AttachmentDownloadOverlay::toDownLoadAttachsWith(const std::string& id, const std::string& type,
                                                      const std::string& name) {
    realType_ = overlayLowerCased(type);
    if (options_.amrIsVoice && realType_ == "amr") realType_ = "wav";
    realName_ = name;
    // The id and the type name the local copy: anything that could reach outside the
    // download folder is neither fetched nor stored.
    if (!isPlainServiceId(id) || (!realType_.empty() && !isPlainServiceId(realType_))) {
        realPath_.clear();
        showAlert(localized(kFailedTitle));
        return;
    }
    realPath_ = attachmentPath(id, realType_);

    if (MVTPublicMethod::fileExistsAtPath(realPath_)) {
        openDownLoadFileWith(realPath_, realName_);
        return;
    }

    // An overlay kept from an earlier download still shows where that one ended.
    if (progressV_) progressV_->setProgress(kSecondBarStart);
    if (download_) download_->cancel();
    download_ = std::make_shared<SGdownloader>();
    download_->initWithURL(downloadUrl(id), static_cast<int>(kDownloadTimeout));
    download_->startWithDelegate(std::make_shared<OverlayDownloadReports>(weak_from_this()));
    showDownLoadWait(true);
}

void AttachmentDownloadOverlay::buildOverlay(const Rect& frame) {
    downLoadBgView_ = std::make_shared<View>(frame);
    downLoadBgView_->setBackgroundColor(Color::clear());
    const double width = frame.width();

    auto panel = std::make_shared<View>(Rect(20, (frame.height() - 100) / 2, width - 40, 100));
    panel->setBackgroundColor(Color::whiteColor());
    panel->setCornerRadius(2);
    panel->setBorderWidth(0.6);
    panel->setBorderColor(Color::white(0.949));
    panel->setClipsToBounds(true);
    downLoadBgView_->addSubview(panel);

    auto label = std::make_shared<Label>(Rect(20, 10, width - 80, 20));
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(16));
    label->setTextAlignment(TextAlignment::Center);
    label->setTextColor(kOverlayAccent);
    label->setText(localized(kWaitText));
    panel->addSubview(label);

    progressV_ = std::make_shared<ProgressView>(ProgressViewStyle::Bar);
    progressV_->setFrame({20, 39, width - 80, 3});
    progressV_->setTrackImage(Image::imageNamed("jdt1"));
    progressV_->setProgressImage(Image::imageNamed("jdt2"));
    panel->addSubview(progressV_);

    auto cancel = Button::buttonWithType(ButtonType::Custom);
    cancel->setFrame({(panel->frame().width() - 100) / 2, 52, 100, 36});
    cancel->setTitle(localized(kCancelTitle));
    cancel->setTitleColor(kOverlayAccent);
    cancel->titleLabel()->setFont(Font::boldSystemFontOfSize(16));
    cancel->setCornerRadius(2);
    cancel->setBorderWidth(0.5);
    cancel->setBorderColor(Color::white(0.882));
    std::weak_ptr<AttachmentDownloadOverlay> weak = weak_from_this();
    cancel->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toCancelDownLoad();
    });
    panel->addSubview(cancel);
}

void AttachmentDownloadOverlay::toShowFileImageWith(const std::string& id, const std::string& fileName) {
    // "a.b.c": name "a", type "b"; a name without a dot is a picture.
    const auto dot = fileName.find('.');
    const std::string name = fileName.substr(0, dot);
    std::string type = "png";
    if (dot != std::string::npos) {
        const auto next = fileName.find('.', dot + 1);
        type = fileName.substr(dot + 1, next == std::string::npos ? std::string::npos : next - dot - 1);
    }
    toDownLoadAttachsWith(id, type, name);
}

void AttachmentDownloadOverlay::showDownLoadWait(bool show) {
    auto host = host_.lock();
    if (!downLoadBgView_) {
        Rect frame;
        if (options_.overlayFillsHostView && host) {
            const Rect hostFrame = host->view()->frame();
            frame = {0, 0, hostFrame.width(), hostFrame.height()};
        } else {
            const Rect screen = Screen::mainScreen().bounds();
            frame = {0, 0, screen.width(), screen.height() - 64};
        }
        buildOverlay(frame);
    }
    downLoadBgView_->removeFromSuperview();
    if (show && host) host->view()->addSubview(downLoadBgView_);
    attDownloading_ = show;
}

void AttachmentDownloadOverlay::openDownLoadFileWith(const std::string& path, const std::string& name) {
    auto host = host_.lock();
    if (!host) return;
    auto page = std::make_shared<MVTWebViewController>();
    if (options_.openByPush && host->navigationController()) {
        page->view()->setAccessibilityValue("push");
        host->navigationController()->pushViewController(page, true);
    } else {
        host->presentViewController(myNavigationController::withRoot(page), true);
    }
    page->reloadUrlWithPath(path, name);
}

void AttachmentDownloadOverlay::toCancelDownLoad() {
    showDownLoadWait(false);
    if (download_) download_->cancel();
    if (!realPath_.empty() && MVTPublicMethod::fileExistsAtPath(realPath_)) MVTPublicMethod::deleteFileAtPath(realPath_);
}

void AttachmentDownloadOverlay::SGDownloadProgress(float progress, int) {
    if (progressV_) progressV_->setProgress(progress);
}

bool AttachmentDownloadOverlay::isNotFoundBody(const std::string& body) const {
    const std::string notFound = options_.localizedNotFound ? localized(kNotFoundText) : std::string(kNotFoundText);
    return body.size() == 18 && body == notFound;
}

void AttachmentDownloadOverlay::SGDownloadFinished(const std::string& data) {
    showDownLoadWait(false);
    if (data.empty() || isNotFoundBody(data)) {
        showAlert(localized(kNotFoundText));
        return;
    }
    const bool voice = realType_ == "wav" && options_.voiceAction != VoiceAction::AsFile;
    if (voice) {
        const std::string wavPath = realPath_;
        const std::string amrPath = wavPath.substr(0, wavPath.size() - 3) + "amr";
        if (!MVTPublicMethod::fileExistsAtPath(amrPath)) writeFileAtomically(amrPath, data);
        MVTVoiceJoiner::amrToWav(amrPath, wavPath);
        if (options_.voiceAction == VoiceAction::Play) {
            if (playVoice_) playVoice_(wavPath);
        } else {
            openDownLoadFileWith(wavPath, realName_);
        }
        return;
    }
    if (!MVTPublicMethod::fileExistsAtPath(realPath_)) writeFileAtomically(realPath_, data);
    openDownLoadFileWith(realPath_, realName_);
}

void AttachmentDownloadOverlay::SGDownloadFail(const std::optional<HttpError>&) {
    showDownLoadWait(false);
    if (!realPath_.empty() && MVTPublicMethod::fileExistsAtPath(realPath_)) MVTPublicMethod::deleteFileAtPath(realPath_);
    showAlert(localized(kFailedTitle));
}

void AttachmentDownloadOverlay::showAlert(const std::string& title) {
    if (messageHandler_) {
        messageHandler_(title);
        return;
    }
    AlertView::make(title, "", alertDelegate_, localized("知道了"))->show();
}
