#include "platform/AudioRoute.h"

namespace platform {

AudioRoute& AudioRoute::shared() {
    static AudioRoute route;
    return route;
}

void AudioRoute::overrideOutputAudioPort(AudioRouteOverride route) {
    std::lock_guard guard(mutex_);
    current_ = route;
    history_.push_back(route);
}

AudioRouteOverride AudioRoute::currentOverride() const {
    std::lock_guard guard(mutex_);
    return current_;
}

std::vector<AudioRouteOverride> AudioRoute::history() const {
    std::lock_guard guard(mutex_);
    return history_;
}

void AudioRoute::reset() {
    std::lock_guard guard(mutex_);
    current_ = AudioRouteOverride::None;
    history_.clear();
}

}  // namespace platform
