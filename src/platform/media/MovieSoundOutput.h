#pragma once

// Plays a movie's sound through OpenAL Soft: a thread of its own keeps a few short buffers
// queued on one streaming source, filled from the decoder. The device and context are this
// object's own, current on its thread only, so the voice player's context is left alone.
// Where the machine has no sound card, ALSOFT_DRIVERS=null runs the mixer without output.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {

class MovieDecoder;

class MovieSoundOutput {
public:
    // nullptr when OpenAL cannot open a device or keep a context per thread.
    static std::unique_ptr<MovieSoundOutput> start(std::shared_ptr<MovieDecoder> decoder);
    ~MovieSoundOutput();
    MovieSoundOutput(const MovieSoundOutput&) = delete;
    MovieSoundOutput& operator=(const MovieSoundOutput&) = delete;

    void setPaused(bool paused);
    // Movie time of the sample being heard now; negative before the first one.
    double clock() const { return clock_.load(); }
    // After a seek the decoder's sound starts afresh: drops what is queued.
    void flush();

private:
    explicit MovieSoundOutput(std::shared_ptr<MovieDecoder> decoder);
    void run();

    std::shared_ptr<MovieDecoder> decoder_;
    std::atomic<bool> stop_{false}, paused_{false}, flush_{false};
    std::atomic<double> clock_{-1};
    std::mutex mutex_;
    std::condition_variable wake_;
    void* device_ = nullptr;
    void* context_ = nullptr;
    std::thread thread_;
};

}  // namespace platform
