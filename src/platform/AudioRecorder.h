#pragma once

#include "platform/Timer.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Where a recording's samples come from. There is no microphone here: the input is a WAV
// file, a tone or silence. Sources give mono 16-bit samples at the rate asked for.
class AudioSampleSource {
public:
    virtual ~AudioSampleSource() = default;
    // Fills `out` with the next `count` samples.
    virtual void read(int16_t* out, size_t count, double sampleRate) = 0;
};

std::unique_ptr<AudioSampleSource> makeSilenceSource();
// A sine tone; amplitude from 0 to 1 of full scale.
std::unique_ptr<AudioSampleSource> makeToneSource(double frequency, double amplitude = 0.5);
// The samples of a sound file (mixed down to mono, resampled to the asked rate), then
// silence. Empty when the file cannot be read.
std::unique_ptr<AudioSampleSource> makeFileSource(const std::string& path);

// Recorder settings (the platform's settings dictionary): linear PCM, 16-bit samples.
struct AudioRecorderSettings {
    double sampleRate = 8000.0;
    int numberOfChannels = 1;
    int bitDepth = 16;
};

// Records the input into a WAV file as the samples arrive: the header is written when
// recording starts and completed when it stops, the samples are appended (and flushed, so
// another reader sees them) on a timer of the main run loop, as many as the current clock
// says have passed. With a ManualClock, a test moves time and the file grows.
class AudioRecorder : public std::enable_shared_from_this<AudioRecorder> {
public:
    using InputFactory = std::function<std::unique_ptr<AudioSampleSource>()>;

    // The microphone of the process. Without one: TIRRA_MICROPHONE ("tone" or the path of
    // a sound file), else silence. nullptr restores that default.
    static void setInput(InputFactory factory);

    // nullptr when the settings are not 16-bit PCM with one or two channels.
    static std::shared_ptr<AudioRecorder> make(const std::string& path,
                                               const AudioRecorderSettings& settings);
    ~AudioRecorder();
    AudioRecorder(const AudioRecorder&) = delete;
    AudioRecorder& operator=(const AudioRecorder&) = delete;

    // Creates the file with its header; answers false when it cannot be written.
    bool prepareToRecord();
    bool record();
    void pause();
    // Completes the file and reports the finish on the main run loop.
    void stop();
    bool isRecording() const { return recording_; }
    // Seconds recorded so far.
    double currentTime() const;
    const std::string& url() const { return path_; }
    const AudioRecorderSettings& settings() const { return settings_; }

    // Level metering in decibels of full scale (0 loudest, -160 silence).
    void setMeteringEnabled(bool enabled) { metering_ = enabled; }
    bool isMeteringEnabled() const { return metering_; }
    // Measures the samples recorded since the last call.
    void updateMeters();
    float averagePowerForChannel(int channel) const;
    float peakPowerForChannel(int channel) const;

    // Called on the main run loop when a recording ends (true when the file is complete).
    void setOnFinish(std::function<void(bool successfully)> handler) { onFinish_ = std::move(handler); }
    // Called on the thread that writes the file, right after new samples were flushed to
    // it (false) and once the file is complete and closed (true), so a reader of the
    // growing file can sleep until there is more to read.
    void setOnSamplesWritten(std::function<void(bool fileComplete)> handler) { onSamplesWritten_ = std::move(handler); }

private:
    AudioRecorder(std::string path, AudioRecorderSettings settings);
    void capture();
    bool finishFile();
    double elapsed() const;

    std::string path_;
    AudioRecorderSettings settings_;
    std::unique_ptr<AudioSampleSource> source_;
    std::FILE* file_ = nullptr;
    bool prepared_ = false;
    bool recording_ = false;
    double startedAt_ = 0;      // clock time of the last record()
    double accumulated_ = 0;    // seconds recorded before the last pause
    uint64_t framesWritten_ = 0;
    TimerRef captureTimer_;
    bool metering_ = false;
    double sumSquares_ = 0;
    uint64_t meterCount_ = 0;
    int meterPeak_ = 0;
    float average_ = -160.0f;
    float peak_ = -160.0f;
    std::function<void(bool)> onFinish_;
    std::function<void(bool)> onSamplesWritten_;
    std::vector<int16_t> scratch_;
};

}  // namespace platform
