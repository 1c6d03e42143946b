#pragma once

// Reads a movie (a file or an http address) with libavformat and decodes it on a thread of
// its own with libavcodec; two more threads scale the pictures with libswscale to the size
// the view asks for, as cairo's native 32-bit pixels, and sound is resampled by
// libswresample to 16-bit stereo at 44.1 kHz. What is decoded waits in bounded queues for
// the player, which takes pictures by their time; the threads wait while the queues are
// full.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct AVFormatContext;
struct AVFrame;
struct SwrContext;
struct SwsContext;

namespace platform {

// One decoded picture: `pts` seconds from the start of the movie, pixels in cairo's
// ARGB32 layout (premultiplied, opaque), `stride` bytes a row.
struct MovieFrame {
    double pts = 0;
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> pixels;
};

enum class MovieDecoderState { Opening, Ready, Ended, Failed };

class MovieDecoder {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;
    static constexpr std::size_t kFrameQueue = 6;
    // Decoded pictures waiting for the scaling thread.
    static constexpr std::size_t kRawQueue = 6;
    // Sound beyond this many seconds ahead of the player is dropped oldest first, so that a
    // player that does not take sound never holds the pictures back.
    static constexpr double kMaxQueuedSound = 4.0;

    // Starts reading `url` at once. `changed` is called on the decoder's thread whenever a
    // picture arrives or the state changes; keep it short (post to the main loop).
    MovieDecoder(std::string url, int width, int height, std::function<void()> changed);
    // Stops the thread (an open or read under way is interrupted) and waits for it.
    ~MovieDecoder();
    MovieDecoder(const MovieDecoder&) = delete;
    MovieDecoder& operator=(const MovieDecoder&) = delete;

    MovieDecoderState state() const { return state_.load(); }
    const std::string& url() const { return url_; }
    // Known once Ready: the movie's length in seconds (0 when the stream does not say),
    // whether it has sound, and the picture's own size.
    double duration() const { return duration_.load(); }
    bool hasAudio() const { return hasAudio_.load(); }
    int sourceWidth() const { return sourceWidth_.load(); }
    int sourceHeight() const { return sourceHeight_.load(); }
    std::string error() const;

    // Pictures of a later call are made at this size (pixels).
    void setTargetSize(int width, int height);

    // The newest queued picture whose time is at most `seconds`; older ones are dropped.
    // False when none is due yet.
    bool takeFrameDueAt(double seconds, MovieFrame& frame);
    // Whether a picture is queued, and the time of the first one.
    bool hasQueuedFrame() const;
    double nextFrameTime() const;
    // Takes up to `samples` queued stereo samples (interleaved) into `out`; the number taken.
    std::size_t readSound(std::int16_t* out, std::size_t samples);
    // Movie time of the next sound sample readSound gives.
    double soundTime() const;

    // Asks the thread to go on from `seconds`; the queues are emptied.
    void seek(double seconds);
    // Pictures decoded in all (for measurements).
    long framesDecoded() const { return framesDecoded_.load(); }

private:
    struct Codec;
    void run();
    bool open(::AVFormatContext*& format, Codec& video, Codec& audio);
    bool pushPicture(Codec& video, ::AVFrame* decoded);
    void scalePictures();
    void dropRawPictures();  // with the mutex held
    void pushSound(Codec& audio, ::AVFrame* decoded, ::SwrContext*& resampler);
    void setState(MovieDecoderState state);
    static int interrupted(void* self);

    const std::string url_;
    std::function<void()> changed_;
    std::atomic<MovieDecoderState> state_{MovieDecoderState::Opening};
    std::atomic<bool> abort_{false};
    std::atomic<double> duration_{0};
    std::atomic<bool> hasAudio_{false};
    std::atomic<int> sourceWidth_{0}, sourceHeight_{0};
    std::atomic<int> targetWidth_, targetHeight_;
    std::atomic<long> framesDecoded_{0};

    mutable std::mutex mutex_;
    std::condition_variable room_;
    struct RawPicture {
        ::AVFrame* frame;
        double pts;
        long generation;  // pictures of an earlier seek are dropped
    };
    std::deque<RawPicture> raw_;
    int scaling_ = 0;          // pictures the scaling threads hold
    long picturesTaken_ = 0;   // turns handed to the scaling threads
    long picturesQueued_ = 0;  // turns that have been queued or dropped
    long seekGeneration_ = 0;
    std::condition_variable rawReady_;
    std::deque<MovieFrame> frames_;
    std::vector<std::vector<std::uint8_t>> spare_;  // pixel memory of pictures already shown
    std::deque<std::int16_t> sound_;
    double soundTime_ = 0;
    bool seekRequested_ = false;
    double seekTarget_ = 0;
    std::string error_;
    std::thread scalerThreads_[2];
    std::thread thread_;
};

}  // namespace platform
