#pragma once

// The voice playback engine: one voice at a time through the platform's audio player,
// optionally over a short background track played through OpenAL, with progress reports
// every 0.04 seconds, seeking, pausing, the stop notifications of the page that plays,
// and the audio category kept right around other programs' audio and interruptions.

#include "platform/NotificationCenter.h"
#include "platform/Timer.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class AudioPlayer;
}

// Stop notifications (no object): which list or screen resets its playing row.
inline constexpr const char* kToStopRelevantMeAudioPlay = "toStopRelevantMeAudioPlay";
inline constexpr const char* kToStopSaveAudioPlay = "toStopSaveAudioPlay";
inline constexpr const char* kToStopNotiAudioPlay = "toStopNotiAudioPlay";
inline constexpr const char* kToStopDetailsRecord = "toStopDetailsRecord";
inline constexpr const char* kToStopHomeAudioPlay = "toStopHomeAudioPlay";
inline constexpr const char* kToStopSquareAudioPlay = "toStopSquareAudioPlay";

// The receiver of the progress reports: the application delegate, which also owns the
// now-playing state that a stop reads (the page codes) and empties (path and id). The
// application delegate's own accessors of that state override these.
class soundManagerDelegate {
public:
    virtual ~soundManagerDelegate() = default;
    // Progress from 0 to 1.
    virtual void toSenderPlayProgress(float progress) = 0;

    // Page code of the screen in front, and of the screen that started the voice.
    virtual int nowPage() const { return 0; }
    virtual int nowPlayPage() const { return 0; }
    virtual void setNowPlayPath(const std::string&) {}
    virtual void setNowPlayId(const std::string&) {}
};

// The single logger of the engine's diagnostic lines.
class DebugOutput {
public:
    static DebugOutput& sharedDebug();
    // Writes "<file name>[<line>]: <message>" to the system log.
    void output(const char* file, int lineNumber, const char* format, ...) __attribute__((format(printf, 4, 5)));

private:
    DebugOutput() = default;
};

// A sound file read into 16-bit PCM in memory.
struct OpenALAudioData {
    std::unique_ptr<int16_t[]> data;  // owned by the caller
    int32_t size = 0;                 // bytes
    int32_t format = 0;               // AL_FORMAT_MONO16 or AL_FORMAT_STEREO16
    int32_t sampleRate = 0;
    double duration = 0;              // estimated, seconds
};
// Nothing when the file cannot be read or has more than two channels.
std::optional<OpenALAudioData> MyGetOpenALAudioData(const std::string& path);

// One sound of the application loaded into an OpenAL buffer, with its source. Needs the
// engine's OpenAL context to be current.
class CMOpenALSound {
public:
    CMOpenALSound() = default;
    ~CMOpenALSound();
    CMOpenALSound(const CMOpenALSound&) = delete;
    CMOpenALSound& operator=(const CMOpenALSound&) = delete;

    // `file` is the name of a sound of the application ("1.mp3"). False when the sound
    // cannot be made (missing file, unreadable, OpenAL error); the object is then empty.
    bool initWithSoundFile(const std::string& file, bool loops);

    void play();
    void stop();
    void pause();
    bool isPlaying() const;
    // Clamped to 0..1; the gain of the main source and every extra one.
    void setVolume(float volume);
    float volume() const { return volume_; }
    void setPitch(float pitch);
    float pitch() const { return pitch_; }

    uint32_t sourceID() const { return sourceID_; }
    uint32_t bufferID() const { return bufferID_; }
    const std::vector<uint32_t>& temporarySounds() const { return temporarySounds_; }
    const std::string& sourceFileName() const { return sourceFileName_; }
    double duration() const { return duration_; }
    // The OpenAL error of the last play, stop or pause (0 when none).
    int32_t error() const { return error_; }

private:
    void release();

    uint32_t sourceID_ = 0;
    uint32_t bufferID_ = 0;
    std::unique_ptr<int16_t[]> bufferData_;
    std::vector<uint32_t> temporarySounds_;
    std::string sourceFileName_;
    float volume_ = 1.0f;
    float pitch_ = 1.0f;
    double duration_ = 0;
    int32_t error_ = 0;
    bool made_ = false;
};

class CMOpenALSoundManager : public std::enable_shared_from_this<CMOpenALSoundManager> {
public:
    CMOpenALSoundManager();
    ~CMOpenALSoundManager();
    CMOpenALSoundManager(const CMOpenALSoundManager&) = delete;
    CMOpenALSoundManager& operator=(const CMOpenALSoundManager&) = delete;

    // Sets up the audio configuration and OpenAL. Call once after make_shared.
    void init();

    const std::vector<std::string>& soundFileNames() const { return soundFileNames_; }
    void setSoundFileNames(std::vector<std::string> names) { soundFileNames_ = std::move(names); }

    // The index arguments are not used: there is one voice, the first path of
    // soundFileNames.
    void playSoundWithID(unsigned index);
    void stopSoundWithID(unsigned index);
    void pauseSoundWithID(unsigned index);
    bool isPlayingSoundWithID(unsigned index) const;
    void pauseAllSound();
    void playAllSound();
    // Seeks the voice to that fraction of its length; 1 or more stops it.
    void changeProssWith(float fraction);

    void playBackgroundMusic(const std::string& name);
    void stopBackgroundMusic();
    void pauseBackgroundMusic();
    void resumeBackgroundMusic();

    float soundEffectsVolume() const { return soundEffectsVolume_; }
    void setSoundEffectsVolume(float volume);
    float backgroundMusicVolume() const { return backgroundMusicVolume_; }
    void setBackgroundMusicVolume(float volume);

    std::shared_ptr<soundManagerDelegate> delegate() const { return delegate_; }
    void setDelegate(std::shared_ptr<soundManagerDelegate> delegate) { delegate_ = std::move(delegate); }

    // Steps of the audio configuration, also run by the interruption listener.
    void beginInterruption();
    void endInterruption();
    void setupAudioCategorySilenceIpod(bool silenceOthers);
    bool startupOpenAL();
    void shutdownOpenAL();
    void purgeSounds();

    // The progress step of the timer.
    void getPross();

    // Posts the stop notifications for these page codes: the rule a stop follows, shared
    // with the application delegate's stop when there is no engine yet.
    static void postStopNotifications(int nowPage, int nowPlayPage);

    std::shared_ptr<platform::AudioPlayer> currentAudio() const { return currentAudio_; }
    platform::TimerRef soundPlayTime() const { return soundPlayTime_; }
    const std::map<std::string, std::shared_ptr<CMOpenALSound>>& soundDictionary() const { return soundDictionary_; }
    const std::string& nowbgAudio() const { return nowbgAudio_; }
    bool isiPodAudioPlaying() const { return isiPodAudioPlaying_; }
    bool interrupted() const { return interrupted_; }
    void setInterrupted(bool interrupted) { interrupted_ = interrupted; }

private:
    void stopProgressTimer();

    std::vector<std::string> soundFileNames_;
    std::shared_ptr<platform::AudioPlayer> currentAudio_;
    platform::TimerRef soundPlayTime_;
    std::map<std::string, std::shared_ptr<CMOpenALSound>> soundDictionary_;
    std::string nowbgAudio_;
    float soundEffectsVolume_ = 1.0f;
    float backgroundMusicVolume_ = 1.0f;
    bool isiPodAudioPlaying_ = false;
    bool interrupted_ = false;
    std::shared_ptr<soundManagerDelegate> delegate_;
    platform::ObserverToken interruptionListener_;
    void* device_ = nullptr;   // ALCdevice
    void* context_ = nullptr;  // ALCcontext
};
