#include "core/CMOpenALSoundManager.h"

#include "platform/AudioPlayer.h"
#include "platform/AudioSession.h"
#include "platform/Log.h"
#include "platform/RunLoop.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <cstdarg>
#include <cstdlib>
#include <filesystem>
#include <functional>

#define DEBUG_LOG(...) DebugOutput::sharedDebug().output(__FILE__, __LINE__, __VA_ARGS__)

namespace {

constexpr double kProgressInterval = 0.04;

// The stop rule, reading the page codes afresh for each test: an observer of one
// notification may change them before the next test.
void postStopRule(const std::function<int()>& nowPage, const std::function<int()>& nowPlayPage) {
    auto& center = platform::NotificationCenter::defaultCenter();
    if (nowPage() == 4444) center.postNotification(kToStopRelevantMeAudioPlay);
    if (nowPage() == 333) center.postNotification(kToStopSaveAudioPlay);
    if (nowPlayPage() == 3) center.postNotification(kToStopNotiAudioPlay);
    if (nowPage() == 1 && nowPlayPage() == 1) {
        center.postNotification(kToStopDetailsRecord);
    } else if (nowPage() == 0 || nowPlayPage() == 0) {
        center.postNotification(kToStopHomeAudioPlay);
    } else if (nowPage() == 111 || nowPlayPage() == 111) {
        center.postNotification(kToStopSquareAudioPlay);
    }
}

}  // namespace

// ---- DebugOutput -------------------------------------------------------------------------

DebugOutput& DebugOutput::sharedDebug() {
    // Made once, under a lock, and never destroyed.
    static std::mutex lock;
    static DebugOutput* shared = nullptr;
    std::lock_guard guard(lock);
    if (!shared) shared = new DebugOutput();
    return *shared;
}

void DebugOutput::output(const char* file, int lineNumber, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = platform::vformat(format, args);
    va_end(args);
    std::string name = std::filesystem::path(file ? file : "").filename().string();
    platform::logText(name + "[" + std::to_string(lineNumber) + "]: " + message);
}

// ---- CMOpenALSoundManager ----------------------------------------------------------------

CMOpenALSoundManager::CMOpenALSoundManager() = default;

CMOpenALSoundManager::~CMOpenALSoundManager() {
    stopProgressTimer();
    interruptionListener_.reset();
    soundDictionary_.clear();
    currentAudio_.reset();
    shutdownOpenAL();
}

void CMOpenALSoundManager::init() {
    std::weak_ptr<CMOpenALSoundManager> weak = weak_from_this();
    interruptionListener_ = platform::AudioSession::shared().initialize([weak](platform::AudioInterruptionState state) {
        auto self = weak.lock();
        if (!self) return;
        if (state == platform::AudioInterruptionState::Begin) {
            DEBUG_LOG("Start audio interruption");
            self->beginInterruption();
            self->interrupted_ = true;
        } else if (self->interrupted_) {
            DEBUG_LOG("Stop audio interruption");
            self->endInterruption();
            self->interrupted_ = false;
        }
    });
    if (!interruptionListener_) DEBUG_LOG("AudioSessionInitialize failed! %d", -1);
    soundDictionary_.clear();
    soundEffectsVolume_ = 1.0f;
    backgroundMusicVolume_ = 1.0f;
    nowbgAudio_.clear();
    endInterruption();
}

void CMOpenALSoundManager::setupAudioCategorySilenceIpod(bool silenceOthers) {
    auto& session = platform::AudioSession::shared();
    int error = 0;
    bool other = session.otherAudioIsPlaying(&error);
    if (error) DEBUG_LOG("AudioSessionGetProperty error:%i", error);
    DEBUG_LOG("kAudioSessionProperty_OtherAudioIsPlaying = %s", other ? "YES" : "NO");
    if (!other || silenceOthers) {
        isiPodAudioPlaying_ = false;
        session.setCategory(platform::AudioSessionCategory::SoloAmbient);
    } else {
        // Let the other program's audio go on under ours.
        isiPodAudioPlaying_ = true;
        session.setCategory(platform::AudioSessionCategory::Ambient);
    }
}

bool CMOpenALSoundManager::startupOpenAL() {
    if (context_) return true;
    // There is no sound card on the build and test machines: the null driver runs the
    // real mixer without output. A driver chosen by the environment is kept.
    setenv("ALSOFT_DRIVERS", "null", 0);
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device) return false;
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (!context) {
        alcCloseDevice(device);
        return false;
    }
    alcMakeContextCurrent(context);
    device_ = device;
    context_ = context;
    DEBUG_LOG("oal inited ok");
    return true;
}

void CMOpenALSoundManager::shutdownOpenAL() {
    if (!context_) return;
    auto* context = static_cast<ALCcontext*>(context_);
    if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(static_cast<ALCdevice*>(device_));
    context_ = nullptr;
    device_ = nullptr;
}

void CMOpenALSoundManager::purgeSounds() {
    soundDictionary_.clear();
    if (currentAudio_ && !currentAudio_->isPlaying()) currentAudio_.reset();
}

void CMOpenALSoundManager::beginInterruption() {
    DEBUG_LOG("begin interruption");
    stopBackgroundMusic();
    purgeSounds();
    shutdownOpenAL();
    auto& session = platform::AudioSession::shared();
    session.setCategory(isiPodAudioPlaying_ ? platform::AudioSessionCategory::UserInterfaceSoundEffects
                                            : platform::AudioSessionCategory::MediaPlayback);
    session.setActive(true);
    session.setActive(false);
}

void CMOpenALSoundManager::endInterruption() {
    DEBUG_LOG("end interruption");
    setupAudioCategorySilenceIpod(false);
    startupOpenAL();
    platform::AudioSession::shared().setActive(true);
}

void CMOpenALSoundManager::stopProgressTimer() {
    if (soundPlayTime_) soundPlayTime_->invalidate();
    soundPlayTime_.reset();
}

void CMOpenALSoundManager::playSoundWithID(unsigned) {
    std::string path = soundFileNames_.empty() ? std::string() : soundFileNames_.front();
    auto player = platform::AudioPlayer::open(path);
    if (!player) {
        DEBUG_LOG("***** ERROR creando backgroundMusicPlayer file:%s", path.c_str());
        return;
    }
    player->setVolume(soundEffectsVolume_);
    player->play();
    std::weak_ptr<CMOpenALSoundManager> weak = weak_from_this();
    player->setOnFinish([weak](bool) {
        if (auto self = weak.lock()) self->stopSoundWithID(0);
    });
    if (currentAudio_) currentAudio_->stop();
    currentAudio_ = player;

    // One progress timer at a time: the timer of an earlier voice must not report on.
    stopProgressTimer();
    auto timer = platform::RunLoop::main().scheduleTimer(kProgressInterval, true, [weak](platform::Timer& t) {
        if (auto self = weak.lock()) self->getPross();
        else t.invalidate();
    });
    soundPlayTime_ = timer;
    // The first report comes at once, on the next turn of the run loop.
    platform::RunLoop::main().performAfter(0, [weak, timer] {
        auto self = weak.lock();
        if (self && timer->isValid() && self->soundPlayTime_ == timer) self->getPross();
    });
}

void CMOpenALSoundManager::getPross() {
    if (!currentAudio_) {
        stopProgressTimer();
        return;
    }
    double duration = currentAudio_->duration();
    float p = duration > 0 ? float(currentAudio_->currentTime() / duration) : 1.0f;
    if (p >= 1.0f) {
        if (delegate_) delegate_->toSenderPlayProgress(1.0f);
        stopProgressTimer();
    }
    if (delegate_) delegate_->toSenderPlayProgress(p);
}

void CMOpenALSoundManager::postStopNotifications(int nowPage, int nowPlayPage) {
    postStopRule([nowPage] { return nowPage; }, [nowPlayPage] { return nowPlayPage; });
}

void CMOpenALSoundManager::stopSoundWithID(unsigned) {
    auto delegate = delegate_;
    postStopRule([delegate] { return delegate ? delegate->nowPage() : 0; },
                 [delegate] { return delegate ? delegate->nowPlayPage() : 0; });
    if (delegate) {
        delegate->setNowPlayPath("");
        delegate->setNowPlayId("");
    }
    stopProgressTimer();
    if (currentAudio_) currentAudio_->stop();
    stopBackgroundMusic();
}

void CMOpenALSoundManager::pauseSoundWithID(unsigned) {
    if (currentAudio_) currentAudio_->pause();
}

bool CMOpenALSoundManager::isPlayingSoundWithID(unsigned) const {
    return currentAudio_ && currentAudio_->isPlaying();
}

void CMOpenALSoundManager::pauseAllSound() {
    if (currentAudio_) currentAudio_->pause();
    pauseBackgroundMusic();
}

void CMOpenALSoundManager::playAllSound() {
    if (currentAudio_) currentAudio_->play();
    resumeBackgroundMusic();
}

void CMOpenALSoundManager::changeProssWith(float fraction) {
    if (fraction < 1.0f) {
        pauseAllSound();
        if (currentAudio_) currentAudio_->setCurrentTime(double(fraction) * currentAudio_->duration());
        playAllSound();
    } else {
        stopSoundWithID(0);
    }
}

void CMOpenALSoundManager::setSoundEffectsVolume(float volume) {
    soundEffectsVolume_ = volume;
    if (currentAudio_) currentAudio_->setVolume(volume);
}

void CMOpenALSoundManager::setBackgroundMusicVolume(float volume) {
    backgroundMusicVolume_ = volume;
    for (auto& [name, sound] : soundDictionary_) sound->setVolume(volume);
}

void CMOpenALSoundManager::playBackgroundMusic(const std::string& name) {
    nowbgAudio_ = name;
    soundDictionary_.clear();
    auto sound = std::make_shared<CMOpenALSound>();
    if (!sound->initWithSoundFile(name, false)) return;
    soundDictionary_[name] = sound;
    sound->play();
    sound->setVolume(backgroundMusicVolume_);
}

void CMOpenALSoundManager::stopBackgroundMusic() {
    auto it = soundDictionary_.find(nowbgAudio_);
    if (it != soundDictionary_.end()) it->second->stop();
    nowbgAudio_.clear();
}

void CMOpenALSoundManager::pauseBackgroundMusic() {
    auto it = soundDictionary_.find(nowbgAudio_);
    if (it != soundDictionary_.end()) it->second->pause();
}

void CMOpenALSoundManager::resumeBackgroundMusic() {
    auto it = soundDictionary_.find(nowbgAudio_);
    if (it != soundDictionary_.end()) it->second->play();
}
