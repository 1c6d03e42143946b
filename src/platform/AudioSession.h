#pragma once

#include "platform/NotificationCenter.h"

#include <functional>
#include <mutex>
#include <vector>

namespace platform {

// The process-wide audio configuration: category, activation, whether another program's
// audio is playing, system interruptions (a call, an alarm) and the microphone permission.
// There is no phone here, so the outside world is a set of switches that the app's host or
// a test flips; everything the app asks is recorded so it can be read back.
enum class AudioSessionCategory {
    SoloAmbient,
    Ambient,
    UserInterfaceSoundEffects,
    MediaPlayback,
    PlayAndRecord,
};

enum class AudioInterruptionState { Begin, End };

class AudioSession {
public:
    using InterruptionListener = std::function<void(AudioInterruptionState)>;

    static AudioSession& shared();

    // Registers an interruption listener; it is called on the main run loop while the
    // token lives. Answers an empty token when the session cannot be set up (never here).
    [[nodiscard]] ObserverToken initialize(InterruptionListener listener);

    // 0 on success, like the platform's status codes.
    int setCategory(AudioSessionCategory category);
    AudioSessionCategory category() const;
    int setActive(bool active);
    bool isActive() const;
    // Every activation change in order (true = made active), for tests.
    std::vector<bool> activationHistory() const;

    // Whether another program's audio plays; `error` (when given) receives 0.
    bool otherAudioIsPlaying(int* error = nullptr) const;
    void setOtherAudioIsPlaying(bool playing);

    // Starts or ends a system interruption: every listener hears of it on the main run loop.
    void beginInterruption();
    void endInterruption();

    // Microphone permission: the handler is called at once with the current answer.
    void requestRecordPermission(const std::function<void(bool granted)>& handler);
    void setRecordPermissionGranted(bool granted);

    // Back to the state of a fresh process (tests).
    void reset();

private:
    AudioSession() = default;
    void deliver(AudioInterruptionState state);

    struct Entry {
        unsigned long id;
        std::shared_ptr<InterruptionListener> listener;
    };
    mutable std::mutex mutex_;
    std::vector<Entry> listeners_;
    unsigned long nextId_ = 1;
    AudioSessionCategory category_ = AudioSessionCategory::SoloAmbient;
    bool active_ = false;
    std::vector<bool> activations_;
    bool otherAudio_ = false;
    bool permission_ = true;
};

}  // namespace platform
