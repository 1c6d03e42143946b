#include "platform/AudioPlayer.h"

#include "platform/Clock.h"
#include "platform/RunLoop.h"

#include <sndfile.h>

#include <algorithm>

namespace platform {

std::shared_ptr<AudioPlayer> AudioPlayer::open(const std::string& path, std::string* error) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) {
        if (error) *error = sf_strerror(nullptr);
        return nullptr;
    }
    sf_close(f);
    if (info.samplerate <= 0 || info.channels < 1 || info.frames < 0) {
        if (error) *error = "unsupported sound format";
        return nullptr;
    }
    double duration = double(info.frames) / double(info.samplerate);
    return std::shared_ptr<AudioPlayer>(new AudioPlayer(path, duration));
}

AudioPlayer::~AudioPlayer() {
    if (endTimer_) endTimer_->invalidate();
}

double AudioPlayer::currentTime() const {
    if (!playing_) return position_;
    return std::clamp(position_ + (now() - startedAt_), 0.0, duration_);
}

void AudioPlayer::setCurrentTime(double seconds) {
    position_ = std::clamp(seconds, 0.0, duration_);
    if (playing_) {
        startedAt_ = now();
        scheduleEnd();
    }
}

bool AudioPlayer::play() {
    if (playing_) return true;
    if (position_ >= duration_) position_ = 0;
    playing_ = true;
    startedAt_ = now();
    scheduleEnd();
    return true;
}

void AudioPlayer::pause() {
    if (!playing_) return;
    position_ = currentTime();
    playing_ = false;
    if (endTimer_) endTimer_->invalidate();
    endTimer_.reset();
}

void AudioPlayer::stop() { pause(); }

void AudioPlayer::setVolume(float volume) { volume_ = std::clamp(volume, 0.0f, 1.0f); }

void AudioPlayer::scheduleEnd() {
    if (endTimer_) endTimer_->invalidate();
    std::weak_ptr<AudioPlayer> weak = weak_from_this();
    endTimer_ = RunLoop::main().performAfter(std::max(0.0, duration_ - position_), [weak] {
        if (auto self = weak.lock()) self->finished();
    });
}

void AudioPlayer::finished() {
    if (!playing_) return;
    playing_ = false;
    position_ = 0;
    endTimer_.reset();
    if (onFinish_) {
        auto handler = onFinish_;  // the handler may release this player
        handler(true);
    }
}

}  // namespace platform
