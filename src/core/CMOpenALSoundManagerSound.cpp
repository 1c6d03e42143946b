// The sounds under the voice engine: loading a sound file into PCM and playing it from an
// OpenAL buffer.

#include "core/CMOpenALSoundManager.h"

#include "platform/Log.h"
#include "platform/Paths.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <sndfile.h>

#include <algorithm>

#define DEBUG_LOG(...) DebugOutput::sharedDebug().output(__FILE__, __LINE__, __VA_ARGS__)

namespace {

// Background tracks are a few seconds long; anything far longer is not read into memory.
constexpr sf_count_t kMaxSeconds = 600;

using BufferDataStatic = void (*)(ALuint buffer, ALenum format, const ALvoid* data, ALsizei size, ALsizei freq);

// The OpenAL extension that hands memory to a buffer without copying it, looked up once.
// OpenAL Soft does not offer it, and the buffer then gets a copy.
BufferDataStatic bufferDataStatic() {
    static BufferDataStatic proc = [] {
        void* p = alcGetProcAddress(nullptr, "alBufferDataStatic");
        if (!p && alIsExtensionPresent("AL_EXT_STATIC_BUFFER")) p = alGetProcAddress("alBufferDataStatic");
        return reinterpret_cast<BufferDataStatic>(p);
    }();
    return proc;
}

std::filesystem::path findSound(const std::string& file) {
    auto path = platform::Paths::resourcePath(file);
    if (path.empty()) path = platform::Paths::resourcePath("sounds/" + file);
    return path;
}

}  // namespace

std::optional<OpenALAudioData> MyGetOpenALAudioData(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        platform::log("MyGetOpenALAudioData: ExtAudioFileOpenURL FAILED, Error = %ld", long(sf_error(nullptr)));
        return std::nullopt;
    }
    if (info.samplerate <= 0 || info.channels <= 0) {
        platform::log("MyGetOpenALAudioData: ExtAudioFileGetProperty(kExtAudioFileProperty_FileDataFormat) FAILED, Error = %ld",
                      long(sf_error(file)));
        sf_close(file);
        return std::nullopt;
    }
    if (info.channels > 2) {
        platform::log("MyGetOpenALAudioData - Unsupported Format, channel count is greater than stereo");
        sf_close(file);
        return std::nullopt;
    }
    sf_count_t frames = std::clamp<sf_count_t>(info.frames, 0, kMaxSeconds * info.samplerate);
    OpenALAudioData result;
    auto samples = size_t(frames) * size_t(info.channels);
    result.data = std::make_unique<int16_t[]>(std::max<size_t>(samples, 1));
    sf_count_t got = frames > 0 ? sf_readf_short(file, result.data.get(), frames) : 0;
    if (got <= 0) {
        platform::log("MyGetOpenALAudioData: ExtAudioFileRead FAILED, Error = %ld", long(sf_error(file)));
        sf_close(file);
        return std::nullopt;
    }
    sf_close(file);
    result.size = int32_t(got * info.channels * 2);
    result.format = info.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    result.sampleRate = info.samplerate;
    result.duration = double(info.frames) / double(info.samplerate);
    return result;
}

CMOpenALSound::~CMOpenALSound() { release(); }

void CMOpenALSound::release() {
    if (!made_) return;
    DEBUG_LOG("Deallocing sound: sourceID:%u, bufferID:%u", sourceID_, bufferID_);
    for (ALuint extra : temporarySounds_) alDeleteSources(1, &extra);
    temporarySounds_.clear();
    alDeleteSources(1, &sourceID_);
    alDeleteBuffers(1, &bufferID_);
    bufferData_.reset();
    made_ = false;
}

bool CMOpenALSound::initWithSoundFile(const std::string& file, bool) {
    error_ = 0;
    auto made = [&]() -> bool {
        auto path = findSound(file);
        if (path.empty()) return false;
        auto audio = MyGetOpenALAudioData(path.string());
        if (!audio) return false;
        duration_ = audio->duration;
        if (!alcGetCurrentContext()) return false;
        alGetError();
        alGenBuffers(1, &bufferID_);
        if (alGetError() != AL_NO_ERROR) return false;
        if (auto staticData = bufferDataStatic()) {
            staticData(bufferID_, audio->format, audio->data.get(), audio->size, audio->sampleRate);
            bufferData_ = std::move(audio->data);  // the buffer plays from this memory
        } else {
            alBufferData(bufferID_, audio->format, audio->data.get(), audio->size, audio->sampleRate);
        }
        alGenSources(1, &sourceID_);
        alSourcei(sourceID_, AL_BUFFER, ALint(bufferID_));
        ALenum error = alGetError();
        if (error != AL_NO_ERROR) {
            DEBUG_LOG("error loading sound: %x\n", unsigned(error));
            alDeleteSources(1, &sourceID_);
            alDeleteBuffers(1, &bufferID_);
            alGetError();
            sourceID_ = bufferID_ = 0;
            bufferData_.reset();
            return false;
        }
        return true;
    }();
    if (!made) {
        DEBUG_LOG("Failed to load the sound file: %s...", file.c_str());
        return false;
    }
    made_ = true;
    sourceFileName_ = file;
    temporarySounds_.clear();
    volume_ = 1.0f;
    pitch_ = 1.0f;
    return true;
}

void CMOpenALSound::play() {
    if (!made_) return;
    alGetError();
    if (isPlaying()) {
        // Already playing: a second source on the same buffer plays over it.
        ALuint extra = 0;
        alGenSources(1, &extra);
        alSourcei(extra, AL_BUFFER, ALint(bufferID_));
        alSourcef(extra, AL_GAIN, volume_);
        alSourcef(extra, AL_PITCH, pitch_);
        alSourcePlay(extra);
        temporarySounds_.push_back(extra);
    } else {
        alSourcePlay(sourceID_);
    }
    error_ = alGetError();
}

void CMOpenALSound::stop() {
    if (!made_) return;
    alGetError();
    alSourceStop(sourceID_);
    error_ = alGetError();
}

void CMOpenALSound::pause() {
    if (!made_) return;
    alGetError();
    alSourcePause(sourceID_);
    error_ = alGetError();
}

bool CMOpenALSound::isPlaying() const {
    if (!made_) return false;
    ALint state = 0;
    alGetSourcei(sourceID_, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

void CMOpenALSound::setVolume(float volume) {
    volume_ = std::clamp(volume, 0.0f, 1.0f);
    if (!made_) return;
    alSourcef(sourceID_, AL_GAIN, volume_);
    for (ALuint extra : temporarySounds_) alSourcef(extra, AL_GAIN, volume_);
}

void CMOpenALSound::setPitch(float pitch) {
    pitch_ = pitch;
    if (!made_) return;
    alSourcef(sourceID_, AL_PITCH, pitch_);
    for (ALuint extra : temporarySounds_) alSourcef(extra, AL_PITCH, pitch_);
}
