#include "platform/media/MovieSoundOutput.h"

#include "platform/media/MovieDecoder.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <vector>

namespace platform {

namespace {

constexpr int kBuffers = 4;
constexpr std::size_t kBufferSamples = MovieDecoder::kSampleRate / 20;  // 50 ms

PFNALCSETTHREADCONTEXTPROC threadContextSetter() {
    if (!alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context")) return nullptr;
    return reinterpret_cast<PFNALCSETTHREADCONTEXTPROC>(alcGetProcAddress(nullptr, "alcSetThreadContext"));
}

}  // namespace

std::unique_ptr<MovieSoundOutput> MovieSoundOutput::start(std::shared_ptr<MovieDecoder> decoder) {
    setenv("ALSOFT_DRIVERS", "null", 0);  // a driver chosen by the environment is kept
    if (!threadContextSetter()) return nullptr;
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device) return nullptr;
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (!context) {
        alcCloseDevice(device);
        return nullptr;
    }
    std::unique_ptr<MovieSoundOutput> output(new MovieSoundOutput(std::move(decoder)));
    output->device_ = device;
    output->context_ = context;
    output->thread_ = std::thread([raw = output.get()] { raw->run(); });
    return output;
}

MovieSoundOutput::MovieSoundOutput(std::shared_ptr<MovieDecoder> decoder) : decoder_(std::move(decoder)) {}

MovieSoundOutput::~MovieSoundOutput() {
    stop_ = true;
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    alcDestroyContext(static_cast<ALCcontext*>(context_));
    alcCloseDevice(static_cast<ALCdevice*>(device_));
}

void MovieSoundOutput::setPaused(bool paused) {
    paused_ = paused;
    wake_.notify_all();
}

void MovieSoundOutput::flush() {
    flush_ = true;
    wake_.notify_all();
}

void MovieSoundOutput::run() {
    auto setContext = threadContextSetter();
    setContext(static_cast<ALCcontext*>(context_));
    ALuint source = 0;
    ALuint buffers[kBuffers] = {};
    alGenSources(1, &source);
    alGenBuffers(kBuffers, buffers);
    std::deque<ALuint> idle(buffers, buffers + kBuffers);
    // Movie time and length of each queued buffer, oldest first.
    std::deque<std::pair<double, std::size_t>> queued;
    std::vector<std::int16_t> chunk(kBufferSamples * MovieDecoder::kChannels);
    bool playing = false;

    while (!stop_) {
        if (flush_.exchange(false)) {
            alSourceStop(source);
            alSourcei(source, AL_BUFFER, 0);
            idle.assign(buffers, buffers + kBuffers);
            queued.clear();
            playing = false;
            clock_ = -1;
        }
        ALint processed = 0;
        alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
        while (processed-- > 0 && !queued.empty()) {
            ALuint done = 0;
            alSourceUnqueueBuffers(source, 1, &done);
            idle.push_back(done);
            queued.pop_front();
        }
        if (paused_) {
            if (playing) alSourcePause(source);
            playing = false;
        } else {
            while (!idle.empty()) {
                const double at = decoder_->soundTime();
                const std::size_t got = decoder_->readSound(chunk.data(), kBufferSamples);
                if (got == 0) break;
                const ALuint buffer = idle.front();
                idle.pop_front();
                alBufferData(buffer, AL_FORMAT_STEREO16, chunk.data(),
                             ALsizei(got * MovieDecoder::kChannels * sizeof(std::int16_t)), MovieDecoder::kSampleRate);
                alSourceQueueBuffers(source, 1, &buffer);
                queued.emplace_back(at, got);
            }
            ALint state = 0;
            alGetSourcei(source, AL_SOURCE_STATE, &state);
            if (!queued.empty() && state != AL_PLAYING) alSourcePlay(source);
            playing = !queued.empty();
        }
        if (!queued.empty()) {
            ALint offset = 0;
            alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
            clock_ = queued.front().first + double(offset) / MovieDecoder::kSampleRate;
        }
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, std::chrono::milliseconds(10), [&] { return stop_.load() || flush_.load(); });
    }
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    alDeleteSources(1, &source);
    alDeleteBuffers(kBuffers, buffers);
    setContext(nullptr);
}

}  // namespace platform
