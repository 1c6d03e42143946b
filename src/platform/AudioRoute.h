#pragma once

#include <mutex>
#include <vector>

namespace platform {

// Where played sound goes when the audio category is play-and-record: the earpiece
// (None: the category's own route) or the loudspeaker (Speaker).
enum class AudioRouteOverride { None, Speaker };

// The audio session's output route override. There is one output here, so the override
// is only recorded, for the screens that set it and the tests that read it back.
class AudioRoute {
public:
    static AudioRoute& shared();

    void overrideOutputAudioPort(AudioRouteOverride route);
    AudioRouteOverride currentOverride() const;
    // Every override asked for, in order.
    std::vector<AudioRouteOverride> history() const;

    // Back to a fresh process: no override, no history (tests).
    void reset();

private:
    AudioRoute() = default;
    mutable std::mutex mutex_;
    AudioRouteOverride current_ = AudioRouteOverride::None;
    std::vector<AudioRouteOverride> history_;
};

}  // namespace platform
