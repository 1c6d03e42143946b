#include "platform/AudioSession.h"

#include "platform/RunLoop.h"

#include <algorithm>

namespace platform {

AudioSession& AudioSession::shared() {
    static auto* session = new AudioSession();
    return *session;
}

ObserverToken AudioSession::initialize(InterruptionListener listener) {
    std::lock_guard lock(mutex_);
    unsigned long id = nextId_++;
    listeners_.push_back({id, std::make_shared<InterruptionListener>(std::move(listener))});
    return ObserverToken([this, id] {
        std::lock_guard lock(mutex_);
        std::erase_if(listeners_, [id](const Entry& e) { return e.id == id; });
    });
}

int AudioSession::setCategory(AudioSessionCategory category) {
    std::lock_guard lock(mutex_);
    category_ = category;
    return 0;
}

AudioSessionCategory AudioSession::category() const {
    std::lock_guard lock(mutex_);
    return category_;
}

int AudioSession::setActive(bool active) {
    std::lock_guard lock(mutex_);
    active_ = active;
    activations_.push_back(active);
    return 0;
}

bool AudioSession::isActive() const {
    std::lock_guard lock(mutex_);
    return active_;
}

std::vector<bool> AudioSession::activationHistory() const {
    std::lock_guard lock(mutex_);
    return activations_;
}

bool AudioSession::otherAudioIsPlaying(int* error) const {
    std::lock_guard lock(mutex_);
    if (error) *error = 0;
    return otherAudio_;
}

void AudioSession::setOtherAudioIsPlaying(bool playing) {
    std::lock_guard lock(mutex_);
    otherAudio_ = playing;
}

void AudioSession::deliver(AudioInterruptionState state) {
    RunLoop::main().post([this, state] {
        std::vector<std::pair<unsigned long, std::shared_ptr<InterruptionListener>>> targets;
        {
            std::lock_guard lock(mutex_);
            for (auto& e : listeners_) targets.emplace_back(e.id, e.listener);
        }
        for (auto& [id, listener] : targets) {
            bool stillThere;
            {
                std::lock_guard lock(mutex_);
                stillThere = std::any_of(listeners_.begin(), listeners_.end(),
                                         [id = id](const Entry& e) { return e.id == id; });
            }
            if (stillThere) (*listener)(state);
        }
    });
}

void AudioSession::beginInterruption() { deliver(AudioInterruptionState::Begin); }
void AudioSession::endInterruption() { deliver(AudioInterruptionState::End); }

void AudioSession::requestRecordPermission(const std::function<void(bool granted)>& handler) {
    bool granted;
    {
        std::lock_guard lock(mutex_);
        granted = permission_;
    }
    if (handler) handler(granted);
}

void AudioSession::setRecordPermissionGranted(bool granted) {
    std::lock_guard lock(mutex_);
    permission_ = granted;
}

void AudioSession::reset() {
    std::lock_guard lock(mutex_);
    category_ = AudioSessionCategory::SoloAmbient;
    active_ = false;
    activations_.clear();
    otherAudio_ = false;
    permission_ = true;
}

}  // namespace platform
