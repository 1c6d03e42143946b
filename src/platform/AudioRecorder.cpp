#include "platform/AudioRecorder.h"

#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/RunLoop.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <numbers>

namespace platform {

namespace {

// Samples are written this often while recording.
constexpr double kCaptureInterval = 0.02;
// A sound file used as microphone input is read up to this length.
constexpr sf_count_t kMaxInputSeconds = 600;

class SilenceSource : public AudioSampleSource {
public:
    void read(int16_t* out, size_t count, double) override { std::fill(out, out + count, 0); }
};

class ToneSource : public AudioSampleSource {
public:
    ToneSource(double frequency, double amplitude)
        : frequency_(frequency), amplitude_(std::clamp(amplitude, 0.0, 1.0)) {}
    void read(int16_t* out, size_t count, double sampleRate) override {
        for (size_t i = 0; i < count; ++i, ++n_) {
            double v = amplitude_ * std::sin(2 * std::numbers::pi * frequency_ * double(n_) / sampleRate);
            out[i] = static_cast<int16_t>(std::lround(v * 32767.0));
        }
    }

private:
    double frequency_, amplitude_;
    uint64_t n_ = 0;
};

class FileSource : public AudioSampleSource {
public:
    FileSource(std::vector<float> samples, double rate) : samples_(std::move(samples)), rate_(rate) {}
    void read(int16_t* out, size_t count, double sampleRate) override {
        double step = rate_ / sampleRate;
        for (size_t i = 0; i < count; ++i, pos_ += step) {
            auto k = static_cast<size_t>(pos_);
            float v = 0;
            if (k + 1 < samples_.size()) {
                double f = pos_ - double(k);
                v = float(samples_[k] * (1 - f) + samples_[k + 1] * f);
            } else if (k < samples_.size()) {
                v = samples_[k];
            }
            out[i] = static_cast<int16_t>(std::clamp(std::lround(v * 32768.0f), -32768L, 32767L));
        }
    }

private:
    std::vector<float> samples_;
    double rate_;
    double pos_ = 0;
};

std::mutex inputMutex;
AudioRecorder::InputFactory& inputSlot() {
    static AudioRecorder::InputFactory factory;
    return factory;
}

std::unique_ptr<AudioSampleSource> defaultInput() {
    const char* mic = std::getenv("TIRRA_MICROPHONE");
    if (mic && std::strcmp(mic, "tone") == 0) return makeToneSource(440.0);
    if (mic && *mic) {
        if (auto source = makeFileSource(mic)) return source;
    }
    return makeSilenceSource();
}

void putLE(unsigned char* p, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// The 44-byte header of a PCM WAV file with `dataBytes` of samples.
void writeHeader(std::FILE* f, const AudioRecorderSettings& s, uint32_t dataBytes) {
    unsigned char h[44];
    auto rate = static_cast<uint32_t>(s.sampleRate);
    auto blockAlign = static_cast<uint32_t>(s.numberOfChannels * 2);
    std::memcpy(h, "RIFF", 4);
    putLE(h + 4, 36 + dataBytes, 4);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    putLE(h + 16, 16, 4);
    putLE(h + 20, 1, 2);
    putLE(h + 22, static_cast<uint32_t>(s.numberOfChannels), 2);
    putLE(h + 24, rate, 4);
    putLE(h + 28, rate * blockAlign, 4);
    putLE(h + 32, blockAlign, 2);
    putLE(h + 34, 16, 2);
    std::memcpy(h + 36, "data", 4);
    putLE(h + 40, dataBytes, 4);
    std::fseek(f, 0, SEEK_SET);
    std::fwrite(h, 1, sizeof h, f);
}

float decibels(double level) {
    if (level <= 0) return -160.0f;
    return std::clamp(float(20.0 * std::log10(level / 32767.0)), -160.0f, 0.0f);
}

}  // namespace

std::unique_ptr<AudioSampleSource> makeSilenceSource() { return std::make_unique<SilenceSource>(); }

std::unique_ptr<AudioSampleSource> makeToneSource(double frequency, double amplitude) {
    return std::make_unique<ToneSource>(frequency, amplitude);
}

std::unique_ptr<AudioSampleSource> makeFileSource(const std::string& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) return nullptr;
    if (info.channels < 1 || info.samplerate <= 0) {
        sf_close(f);
        return nullptr;
    }
    sf_count_t frames = std::min<sf_count_t>(info.frames, kMaxInputSeconds * info.samplerate);
    std::vector<float> interleaved(static_cast<size_t>(std::max<sf_count_t>(frames, 0)) * info.channels);
    sf_count_t got = interleaved.empty() ? 0 : sf_readf_float(f, interleaved.data(), frames);
    sf_close(f);
    std::vector<float> mono(static_cast<size_t>(std::max<sf_count_t>(got, 0)));
    for (size_t i = 0; i < mono.size(); ++i) {
        float sum = 0;
        for (int c = 0; c < info.channels; ++c) sum += interleaved[i * info.channels + c];
        mono[i] = sum / float(info.channels);
    }
    return std::make_unique<FileSource>(std::move(mono), double(info.samplerate));
}

void AudioRecorder::setInput(InputFactory factory) {
    std::lock_guard lock(inputMutex);
    inputSlot() = std::move(factory);
}

std::shared_ptr<AudioRecorder> AudioRecorder::make(const std::string& path,
                                                   const AudioRecorderSettings& settings) {
    if (settings.bitDepth != 16 || settings.numberOfChannels < 1 || settings.numberOfChannels > 2 ||
        settings.sampleRate < 1000 || settings.sampleRate > 192000)
        return nullptr;
    return std::shared_ptr<AudioRecorder>(new AudioRecorder(path, settings));
}

AudioRecorder::AudioRecorder(std::string path, AudioRecorderSettings settings)
    : path_(std::move(path)), settings_(settings) {}

AudioRecorder::~AudioRecorder() {
    if (captureTimer_) captureTimer_->invalidate();
    if (file_) {
        if (recording_) capture();
        finishFile();
    }
}

bool AudioRecorder::prepareToRecord() {
    if (prepared_) return true;
    file_ = std::fopen(path_.c_str(), "w+b");
    if (!file_) {
        log("AudioRecorder: cannot write %s", path_.c_str());
        return false;
    }
    writeHeader(file_, settings_, 0);
    std::fflush(file_);
    {
        std::lock_guard lock(inputMutex);
        source_ = inputSlot() ? inputSlot()() : nullptr;
    }
    if (!source_) source_ = defaultInput();
    prepared_ = true;
    return true;
}

bool AudioRecorder::record() {
    if (recording_) return true;
    if (!prepared_ && !prepareToRecord()) return false;
    if (!file_) return false;  // a stopped recorder does not record again
    recording_ = true;
    startedAt_ = now();
    std::weak_ptr<AudioRecorder> weak = weak_from_this();
    captureTimer_ = RunLoop::main().scheduleTimer(kCaptureInterval, true, [weak](Timer& timer) {
        if (auto self = weak.lock()) self->capture();
        else timer.invalidate();
    });
    return true;
}

void AudioRecorder::pause() {
    if (!recording_) return;
    capture();
    accumulated_ += now() - startedAt_;
    recording_ = false;
    if (captureTimer_) captureTimer_->invalidate();
    captureTimer_.reset();
}

void AudioRecorder::stop() {
    if (!file_) return;
    if (recording_) capture();
    recording_ = false;
    if (captureTimer_) captureTimer_->invalidate();
    captureTimer_.reset();
    bool ok = finishFile();
    if (onFinish_) {
        auto handler = onFinish_;
        RunLoop::main().post([handler, ok] { handler(ok); });
    }
}

double AudioRecorder::elapsed() const {
    return accumulated_ + (recording_ ? now() - startedAt_ : 0.0);
}

double AudioRecorder::currentTime() const {
    if (!recording_) return 0.0;
    return elapsed();
}

void AudioRecorder::capture() {
    if (!file_ || !recording_) return;
    // Rounded: clock times are large numbers, and their differences carry tiny errors.
    auto target = static_cast<uint64_t>(std::max(0LL, std::llround(elapsed() * settings_.sampleRate)));
    if (target <= framesWritten_) return;
    size_t count = static_cast<size_t>(target - framesWritten_);
    scratch_.resize(count);
    source_->read(scratch_.data(), count, settings_.sampleRate);
    for (int16_t s : scratch_) {
        sumSquares_ += double(s) * double(s);
        meterPeak_ = std::max(meterPeak_, std::abs(int(s)));
    }
    meterCount_ += count;
    std::fseek(file_, 0, SEEK_END);
    if (settings_.numberOfChannels == 1) {
        std::fwrite(scratch_.data(), sizeof(int16_t), count, file_);  // little-endian host
    } else {
        std::vector<int16_t> pairs(count * 2);
        for (size_t i = 0; i < count; ++i) pairs[2 * i] = pairs[2 * i + 1] = scratch_[i];
        std::fwrite(pairs.data(), sizeof(int16_t), pairs.size(), file_);
    }
    std::fflush(file_);
    framesWritten_ = target;
    if (onSamplesWritten_) onSamplesWritten_(false);
}

bool AudioRecorder::finishFile() {
    uint64_t bytes = framesWritten_ * 2u * unsigned(settings_.numberOfChannels);
    writeHeader(file_, settings_, static_cast<uint32_t>(std::min<uint64_t>(bytes, 0xFFFFFFFFu - 36)));
    bool ok = std::fflush(file_) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (onSamplesWritten_) onSamplesWritten_(true);
    return ok;
}

void AudioRecorder::updateMeters() {
    if (recording_) capture();
    if (meterCount_ == 0) return;
    average_ = decibels(std::sqrt(sumSquares_ / double(meterCount_)));
    peak_ = decibels(double(meterPeak_));
    sumSquares_ = 0;
    meterCount_ = 0;
    meterPeak_ = 0;
}

float AudioRecorder::averagePowerForChannel(int channel) const {
    if (!metering_ || channel < 0 || channel >= settings_.numberOfChannels) return -160.0f;
    return average_;
}

float AudioRecorder::peakPowerForChannel(int channel) const {
    if (!metering_ || channel < 0 || channel >= settings_.numberOfChannels) return -160.0f;
    return peak_;
}

}  // namespace platform
