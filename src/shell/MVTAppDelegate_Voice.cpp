// The shared voice playback of the application delegate (one voice at a time, progress
// and stop notifications chosen by page codes), voice length texts and the microphone
// permission check before a recording.

#include "shell/MVTAppDelegate.h"

#include "core/AmrCodec.h"
#include "core/MVTDownLoadView.h"
#include "core/MVTtirraDataBase.h"
#include "shell/InternationalControl.h"

#include "platform/AudioSession.h"
#include "platform/NotificationCenter.h"
#include "platform/RunLoop.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Screen.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

constexpr float kVoiceVolume = 0.9f;
constexpr float kQuietTrackVolume = 0.02f;  // the two loud tracks
constexpr float kTrackVolume = 0.05f;
constexpr double kPermissionSystemVersion = 7.0;

constexpr const char* kMicrophoneMessage = "岚溪校讯需要访问您的麦克风。\n请启用麦克风-设置/隐私/麦克风";
constexpr const char* kMicrophoneButton = "知道了";

// The file begins with the AMR header.
bool isAmrFile(const std::filesystem::path& path) {
    char head[voicecodec::kAmrMagicLength] = {};
    std::ifstream in(path, std::ios::binary);
    return in.read(head, sizeof head) && std::equal(head, head + sizeof head, voicecodec::kAmrMagic);
}

// The engine has a voice to act on.
bool hasVoice(const std::shared_ptr<CMOpenALSoundManager>& engine) {
    return engine && !engine->soundFileNames().empty() && !engine->soundFileNames().front().empty();
}

}  // namespace

const char* MVTAppDelegate::progressNotificationFor(int nowPage) {
    switch (nowPage) {
        case VoicePageHome: return kToShowHomeProgress;
        case VoicePageDetails: return kToShowDetailsProgress;
        case VoicePageSquare: return kToShowSquareProgress;
        case VoicePageSave: return kToShowSaveProgress;
        case VoicePageRelevantMe: return kToShowRelevantMeProgress;
        default: return nullptr;
    }
}

void MVTAppDelegate::toSetAudio(const std::string& path, const std::string& ground) {
    if (!soundMgr_) {
        soundMgr_ = std::make_shared<CMOpenALSoundManager>();
        soundMgr_->init();
        // The engine reads the page codes from here when it stops, and reports progress.
        soundMgr_->setDelegate(weak_from_this().lock());
    } else if (soundMgr_->isPlayingSoundWithID(0)) {
        stopPlayAudio();
    }

    soundMgr_->setSoundFileNames({path});
    soundMgr_->setSoundEffectsVolume(kVoiceVolume);
    soundMgr_->playSoundWithID(0);
    nowPlayPath_ = path;

    if (!ground.empty()) {
        soundMgr_->setBackgroundMusicVolume(ground == "2.mp3" || ground == "5.mp3" ? kQuietTrackVolume : kTrackVolume);
        soundMgr_->playBackgroundMusic(ground);
    }
}

void MVTAppDelegate::stopPlayAudio() {
    if (hasVoice(soundMgr_)) {
        soundMgr_->stopSoundWithID(0);
    } else {
        // No voice was ever given to an engine: the screens still hear the stop.
        CMOpenALSoundManager::postStopNotifications(nowPage_, nowPlayPage_);
    }
    nowPlayPath_.clear();
    nowPlayId_.clear();
}

void MVTAppDelegate::downloadVoice(const std::string& url, const std::string& path,
                                   const std::string& notificationName) {
    auto download = std::make_shared<MVTDownLoadView>();
    download->setAcceptsFile(isAmrFile);
    download->download(url, path, notificationName);
}

bool MVTAppDelegate::isPlaying() const { return soundMgr_ && soundMgr_->isPlayingSoundWithID(0); }

void MVTAppDelegate::pauseSound() {
    if (hasVoice(soundMgr_)) soundMgr_->pauseAllSound();
}

void MVTAppDelegate::playsound() {
    if (hasVoice(soundMgr_)) soundMgr_->playAllSound();
}

void MVTAppDelegate::toChangeSoundMgrWith(float fraction) {
    if (hasVoice(soundMgr_) && soundMgr_->isPlayingSoundWithID(0)) soundMgr_->changeProssWith(fraction);
}

void MVTAppDelegate::toSenderPlayProgress(float progress) {
    const char* name = progressNotificationFor(nowPage_);
    if (!name) return;
    char text[64];
    std::snprintf(text, sizeof text, "%f", double(progress));
    platform::NotificationCenter::defaultCenter().postNotification(name, std::string(text));
}

std::string MVTAppDelegate::soundTimeLengthWith(int32_t seconds) const {
    if (seconds <= 0 || seconds >= 3600) return "00:00";
    char text[32];
    int minutes = seconds / 60;
    int rest = seconds % 60;
    if (seconds < 10) std::snprintf(text, sizeof text, "00:0%d", seconds);
    else if (seconds < 60) std::snprintf(text, sizeof text, "00:%d", seconds);
    else if (seconds < 600 && rest <= 9) std::snprintf(text, sizeof text, "0%d:0%d", minutes, rest);
    else if (seconds < 600) std::snprintf(text, sizeof text, "0%d:%d", minutes, rest);
    else if (rest <= 9) std::snprintf(text, sizeof text, "%d:0%d", minutes, rest);
    else std::snprintf(text, sizeof text, "%d:%d", minutes, rest);
    return text;
}

bool MVTAppDelegate::checkRecordPermission() {
    // Written only on the main thread. A handler that comes later, or on another thread,
    // leaves the answer that was returned (true); its alert still shows.
    auto answer = std::make_shared<bool>(true);
    if (platform::Screen::systemVersion() < kPermissionSystemVersion) return *answer;

    std::weak_ptr<MVTAppDelegate> weak = weak_from_this();
    platform::AudioSession::shared().requestRecordPermission([answer, weak](bool granted) {
        if (granted) return;
        auto refused = [answer, weak] {
            // Only a user who has recorded before is told; the first request after
            // installing is the system's own question.
            if (!MVTtirraDataBase::selectSaveRecordPermission()) return;
            *answer = false;
            auto alert = platform::AlertView::make("", localized(kMicrophoneMessage), weak,
                                                   localized(kMicrophoneButton));
            alert->show();
        };
        if (platform::isMainThread()) refused();
        else platform::dispatchMain(refused);
    });
    return *answer;
}
