// Voices, files, links, pictures and votes of the personal space's timeline. A voice is
// downloaded as "audio<id>", converted to "audio<id>.wav" beside it and played by the
// application's one player under the page code of the home feed; files open through the
// attachment overlay from the home's download cache; votes go to the service and their
// answer also to the cached home feed.

#include "me/MVTTimeSpaceViewController.h"

#include "me/SpaceShared.h"

#include "feed/PostRecord.h"

#include "shell/AttachmentDownloadOverlay.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTWebViewController.h"
#include "shell/myTableView.h"

#include "core/MVTPublicMethod.h"
#include "core/MVTVoiceJoiner.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"

#include "platform/AudioRoute.h"
#include "platform/AudioSession.h"
#include "platform/ProximitySensor.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"

#include <filesystem>

using namespace platform;

namespace {

constexpr const char* kToStopDetailsAudio = "toStopDetailsAudio";

// The background track of a row's voice: "bg" "1" to "5" of its (last) voice entry.
std::string spaceBackgroundTrack(const Json& record) {
    std::string track;
    for (const auto& entry : post::listOf(record, "attachments")) {
        if (textOf(entry, "type") != "audio") continue;
        const std::string bg = textOf(entry, "bg");
        if (bg == "1" || bg == "2" || bg == "3" || bg == "4" || bg == "5") track = bg + ".mp3";
    }
    return track;
}

}  // namespace

// ---- Votes

void MVTTimeSpaceViewController::toSendVoteWith(const std::string&, const std::string& voteId,
                                                const std::string& answerIds, int row) {
    sendVote("POST", "user/" + space::currentUserId() + "/save/vote/" + voteId + "/answer",
             Json{{"answerIds", answerIds}}, row, "投票失败");
}

void MVTTimeSpaceViewController::toRefreshVoteWith(const std::string&, const std::string& voteId, int row) {
    sendVote("GET", "user/" + space::currentUserId() + "/refresh/" + voteId + "/vote", nullptr, row, "刷新失败");
}

void MVTTimeSpaceViewController::sendVote(const std::string& method, const std::string& path, const Json& parameters,
                                          int row, const std::string& failureTitle) {
    std::weak_ptr<MVTTimeSpaceViewController> weak = weakAs<MVTTimeSpaceViewController>();
    auto fail = [failureTitle] { AlertView::make(localized(failureTitle), "", {}, localized("知道了"))->show(); };
    const bool sent = space::sendJson(
        method, path, parameters,
        [weak, row, fail](const Json& reply) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->showHUD(false);
            const Json& vote = valueFor(reply, "vote");
            if (!space::succeeded(reply) || !vote.is_object() || row < 0 || row >= int(screen->dataArray_.size())) {
                fail();
                return;
            }
            Json& record = screen->dataArray_[std::size_t(row)];
            record["vote"] = vote;
            MVTtirraDataBase::updateDynamicData(space::currentUserId(), textOf(record, "id"), vote);
            screen->tableView_->reloadRowsAtIndexPaths({{0, row}}, TableViewRowAnimation::None);
        },
        [weak, fail] {
            if (auto screen = weak.lock()) screen->showHUD(false);
            fail();
        });
    if (sent) showHUD(true);
}

// ---- Links and pictures

void MVTTimeSpaceViewController::sendLinkWith(const std::string& url, const std::string& title) {
    auto page = std::make_shared<MVTWebViewController>();
    page->view()->setAccessibilityValue("push");
    if (auto* navigation = navigationController()) navigation->pushViewController(page, true);
    page->reloadUrlWith(url, title);
}

void MVTTimeSpaceViewController::showImage(const Json& pictures, int index) { ViewViewController::showImage(pictures, index); }

// ---- Files

std::shared_ptr<AttachmentDownloadOverlay> MVTTimeSpaceViewController::downloadOverlay() {
    if (!overlay_) {
        AttachmentDownloadOverlay::Options options;
        options.amrIsVoice = false;
        options.voiceAction = AttachmentDownloadOverlay::VoiceAction::AsFile;
        overlay_ = AttachmentDownloadOverlay::make(weak_from_this(), options);
    }
    return overlay_;
}

void MVTTimeSpaceViewController::toDownLoadAttachWith(const std::string& resourceId, const std::string& name,
                                                      const std::string& type) {
    // The id and the type name the cached file: anything but plain names is not fetched.
    if (isScanBackGround_ || !post::isPlainName(resourceId) || !post::isPlainName(type)) return;
    downloadOverlay()->toDownLoadAttachsWith(resourceId, type, name);
}

// ---- Voices

void MVTTimeSpaceViewController::reloadVoiceRow() {
    if (tableView_ && voiceRow_ >= 0 && voiceRow_ < int(dataArray_.size()))
        tableView_->reloadRowsAtIndexPaths({{0, voiceRow_}}, TableViewRowAnimation::None);
}

void MVTTimeSpaceViewController::playRecord(const std::optional<std::string>& resourceId, int row) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    app->setNowPlayPage(MVTAppDelegate::VoicePageHome);
    bool stopped = false;
    if (app->nowPlayPath().empty()) {
        if (downloading_) {
            app->stopPlayAudio();
            stopped = true;
        }
    } else {
        app->stopPlayAudio();
        stopped = true;
    }
    if (!resourceId) return;
    if (!post::isPlainName(*resourceId) || row < 0 || row >= int(dataArray_.size())) return;
    vedioStr_ = *resourceId;
    const Json& record = dataArray_[std::size_t(row)];
    app->setNowPlayId(textOf(record, "id"));
    app->toSetAudio(post::wavFile(*resourceId), spaceBackgroundTrack(record));
    // After the player took the voice: stopping the one before it announces a stop, whose
    // handler switches the sensor off.
    ProximitySensor::shared().setMonitoringEnabled(true);
    if (ProximitySensor::shared().proximityState()) {
        AudioSession::shared().setCategory(AudioSessionCategory::PlayAndRecord);
        AudioRoute::shared().overrideOutputAudioPort(AudioRouteOverride::None);
    } else {
        AudioSession::shared().setCategory(AudioSessionCategory::MediaPlayback);
        AudioRoute::shared().overrideOutputAudioPort(AudioRouteOverride::Speaker);
    }
    if (stopped && !dataArray_.empty() && voiceRow_ != row) reloadVoiceRow();
    voiceRow_ = row;
}

void MVTTimeSpaceViewController::toDownLoadAudioWith(const std::string& resourceId, int row) {
    MVTPublicMethod::showMessage(localized("下载中"), view());
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty()) app->stopPlayAudio();
    // The id names the voice's files, so only a plain name is fetched.
    if (!post::isPlainName(resourceId)) return;
    voiceRow_ = row;
    downloading_ = true;
    reloadVoiceRow();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(post::voiceFile(resourceId)).parent_path(), ignored);
    std::weak_ptr<MVTTimeSpaceViewController> weak = weakAs<MVTTimeSpaceViewController>();
    audioTokens_.erase(resourceId);
    audioTokens_[resourceId] =
        NotificationCenter::defaultCenter().addObserver(resourceId, [weak, resourceId](const Notification& notification) {
            if (auto screen = weak.lock()) screen->didDownloadAudio(resourceId, textOf(notification.object));
        });
    MVTAppDelegate::downloadVoice(AttachmentDownloadOverlay::downloadUrl(resourceId), post::voiceFile(resourceId),
                                  resourceId);
}

void MVTTimeSpaceViewController::didDownloadAudio(const std::string& resourceId, const std::string& outcome) {
    if (outcome != "downloadSuccess" && outcome != "downloadFailed") return;
    audioTokens_.erase(resourceId);
    downloading_ = false;
    const std::string wav = post::wavFile(resourceId);
    const bool decoded = outcome == "downloadSuccess" &&
                         MVTVoiceJoiner::amrToWav(post::voiceFile(resourceId), wav) > 0 &&
                         MVTPublicMethod::fileExistsAtPath(wav);
    if (!decoded) {
        // What does not decode as a voice is not kept: the row offers the download again.
        MVTPublicMethod::deleteFileAtPath(post::voiceFile(resourceId));
        MVTPublicMethod::showMessage(localized("音频下载失败"), view());
        reloadVoiceRow();
        return;
    }
    if (auto cell = std::dynamic_pointer_cast<MVTTimeSpaceCell>(tableView_->cellForRowAtIndexPath({0, voiceRow_})))
        if (cell->recordPlayView()) cell->recordPlayView()->startAnimating();
    playRecord(resourceId, voiceRow_);
}

void MVTTimeSpaceViewController::toStopHomeAudioPlay() {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (app->nowPlayPage() == MVTAppDelegate::VoicePageHome && app->nowPage() == MVTAppDelegate::VoicePageDetails)
        NotificationCenter::defaultCenter().postNotification(kToStopDetailsAudio);
    downloading_ = false;
    ProximitySensor::shared().setMonitoringEnabled(false);
    reloadVoiceRow();
}

void MVTTimeSpaceViewController::playAgain() {
    // Only the voice this space started is played again.
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (app->nowPlayPath().empty() || vedioStr_.empty() || app->nowPlayPath() != post::wavFile(vedioStr_)) return;
    playRecord(vedioStr_, voiceRow_);
}
