#pragma once

#include "platform/Timer.h"

#include <functional>
#include <memory>
#include <string>

namespace platform {

// Plays one sound file. The file is opened and checked with libsndfile (any format it
// reads: WAV, AIFF, FLAC, Ogg, MP3); playback position follows the current Clock, so a
// test with a ManualClock moves through a voice without waiting, and the end of the
// file is reported on the main run loop like the platform's player does.
class AudioPlayer : public std::enable_shared_from_this<AudioPlayer> {
public:
    // nullptr when the file cannot be opened as sound; `error` receives the reason.
    static std::shared_ptr<AudioPlayer> open(const std::string& path, std::string* error = nullptr);
    ~AudioPlayer();
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    const std::string& url() const { return path_; }
    double duration() const { return duration_; }
    // Seconds from the start; 0 again after the file has played to its end.
    double currentTime() const;
    // Moves the position (clamped to the file); playback goes on from there.
    void setCurrentTime(double seconds);

    bool prepareToPlay() { return true; }
    bool play();
    void pause();
    // Stops playing; the position stays where it was.
    void stop();
    bool isPlaying() const { return playing_; }

    float volume() const { return volume_; }
    void setVolume(float volume);

    // Called on the main run loop when the file has played to its end.
    void setOnFinish(std::function<void(bool successfully)> handler) { onFinish_ = std::move(handler); }

private:
    AudioPlayer(std::string path, double duration) : path_(std::move(path)), duration_(duration) {}
    void scheduleEnd();
    void finished();

    std::string path_;
    double duration_ = 0;
    bool playing_ = false;
    double position_ = 0;    // when not playing, or at the last play()
    double startedAt_ = 0;   // clock time of the last play()
    float volume_ = 1.0f;
    TimerRef endTimer_;
    std::function<void(bool)> onFinish_;
};

}  // namespace platform
