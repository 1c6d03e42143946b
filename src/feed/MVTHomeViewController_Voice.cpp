// Voices and files of the home feed: a voice is downloaded as "audio<id>", converted to
// "audio<id>.wav" beside it and played by the application's one player; the row that
// plays is kept in the table's tag, so its button shows the right state however often
// the rows are rebuilt. Files are fetched under the download overlay and opened in the
// web page screen.

#include "feed/MVTHomeViewController.h"

#include "feed/FeedListParts.h"
#include "feed/MVTPersonCell.h"
#include "feed/PostRecord.h"

#include "shell/AttachmentDownloadOverlay.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "core/MVTPublicMethod.h"
#include "core/MVTVoiceJoiner.h"
#include "core/ServiceAddress.h"

#include "platform/AudioRoute.h"
#include "platform/AudioSession.h"
#include "platform/ProximitySensor.h"

using namespace platform;

using feedlist::backgroundTrackOf;
using feedlist::ensureWav;

void MVTHomeViewController::setVoiceRow(int row) {
    if (myTable_) myTable_->setTag(row);
}

int MVTHomeViewController::voiceRow() const { return myTable_ ? myTable_->tag() : 0; }

void MVTHomeViewController::toDownLoadAudioWith(const std::string& resourceId, int row) {
    // The id names the voice's files, so only a plain name is fetched.
    if (!post::isPlainName(resourceId)) {
        reloadCell();
        return;
    }
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty()) app->stopPlayAudio();
    downloading_ = true;
    setVoiceRow(row);
    audioFeedId_ = row >= 0 && row < int(dataArray_.size()) ? textOf(*dataArray_[size_t(row)], "id") : "";
    const std::string target = post::voiceFile(resourceId);
    const std::string url =
        ServiceAddress::baseUrl() + "resource/" + resourceId + "/download?token=" + app->getTokenWith(resourceId);
    auto weak = weakAs<MVTHomeViewController>();
    audioTokens_.erase(resourceId);
    audioTokens_[resourceId] =
        NotificationCenter::defaultCenter().addObserver(resourceId, [weak, resourceId](const Notification& notification) {
            if (auto self = weak.lock()) self->didDownloadAudio(resourceId, textOf(notification.object));
        });
    MVTAppDelegate::downloadVoice(url, target, resourceId);
}

void MVTHomeViewController::didDownloadAudio(const std::string& resourceId, const std::string& outcome) {
    if (outcome == "downloadSuccess") {
        downloading_ = false;
        // A download that is no voice is never played, nor kept: the row goes back to idle.
        if (!ensureWav(resourceId)) {
            MVTPublicMethod::deleteFileAtPath(post::voiceFile(resourceId));
            reloadCell();
            return;
        }
        playRecord(resourceId, voiceRow());
        startCellAudioPlay();
    } else if (outcome == "downloadFailed") {
        // Nothing half-fetched stays under the voice's name.
        MVTPublicMethod::deleteFileAtPath(post::voiceFile(resourceId));
        downloading_ = false;
        reloadCell();
    }
}

void MVTHomeViewController::reloadCell() {
    if (!myTable_ || dataArray_.empty()) return;
    const int row = voiceRow();
    if (row >= 0 && row < int(dataArray_.size()))
        myTable_->reloadRowsAtIndexPaths({{kPostSection, row}}, TableViewRowAnimation::None);
}

void MVTHomeViewController::playRecord(const std::optional<std::string>& resourceId, int row) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    app->setNowPlayPage(MVTAppDelegate::VoicePageHome);
    const bool listed = row >= 0 && row < int(dataArray_.size());
    audioFeedId_ = listed ? textOf(*dataArray_[size_t(row)], "id") : "";
    if (!app->nowPlayPath().empty() || downloading_) {
        if (row == voiceRow()) {
            if (resourceId) app->playsound();
            else app->pauseSound();
            return;
        }
        app->stopPlayAudio();
    }
    if (!resourceId || !listed) return;
    if (!post::isPlainName(*resourceId) || !ensureWav(*resourceId)) {
        setVoiceRow(row);
        reloadCell();
        return;
    }
    vedioStr_ = *resourceId;
    const std::string track = backgroundTrackOf(*dataArray_[size_t(row)]);
    ProximitySensor::shared().setMonitoringEnabled(true);
    app->setNowPlayId(audioFeedId_);
    app->toSetAudio(post::wavFile(*resourceId), track);
    setAudioRoute();
    setVoiceRow(row);
}

void MVTHomeViewController::setAudioRoute() { feedlist::setAudioRoute(); }

void MVTHomeViewController::playAgain() {
    if (!MVTAppDelegate::sharedAppDelegate()->nowPlayPath().empty()) playRecord(vedioStr_, voiceRow());
}

void MVTHomeViewController::toStopHomeAudioPlay() {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (app->nowPlayPage() == MVTAppDelegate::VoicePageHome && app->nowPage() == MVTAppDelegate::VoicePageDetails)
        NotificationCenter::defaultCenter().postNotification(kToStopDetailsAudio);
    downloading_ = false;
    ProximitySensor::shared().setMonitoringEnabled(false);
    stopCellAudioPlay();
}

void MVTHomeViewController::startCellAudioPlay() {
    if (auto cell = cellAtRow(voiceRow())) cell->changeState(PostKindRenderer::VoicePlaying);
}

void MVTHomeViewController::stopCellAudioPlay() {
    if (auto cell = cellAtRow(voiceRow())) cell->showAudioProgress(1.1f);
}

void MVTHomeViewController::toStartHomeAudio() { isNewPlay_ = true; }

void MVTHomeViewController::toStopHomeAudio() {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app->nowPlayPath().empty() || downloading_) app->stopPlayAudio();
}

void MVTHomeViewController::toPlayOrStopAudio(bool playing) {
    if (indexPathsArr_.empty()) return;
    if (auto cell = cellAtRow(indexPathsArr_.front())) cell->showPlayOrPause(playing);
}

void MVTHomeViewController::detalsStopAudio() {
    if (indexPathsArr_.empty()) return;
    if (auto cell = cellAtRow(indexPathsArr_.front())) cell->changeState(PostKindRenderer::VoiceEnded);
}

// ---- Files

void MVTHomeViewController::toDownLoadAttachWith(const std::string& resourceId, const std::string& name,
                                                 const std::string& type) {
    // The id and the type name the cached file: anything but plain names is not fetched.
    if (!post::isPlainName(resourceId) || !post::isPlainName(type)) return;
    downloadOverlay()->toDownLoadAttachsWith(resourceId, type, name);
}

void MVTHomeViewController::openDownLoadFileWith(const std::string& path, const std::string& name) {
    downloadOverlay()->openDownLoadFileWith(path, name);
}

void MVTHomeViewController::toCancelDownLoad() { downloadOverlay()->toCancelDownLoad(); }
