// Voice transcoding speed: a minute of speech-like audio from WAV to AMR (what the recorder
// does while the user speaks) and back from AMR to WAV (what every downloaded voice goes
// through before it plays).
//
// Counters: "audio_s_per_s" is seconds of audio converted per second of wall time;
// "rtf" (real-time factor) is the wall time spent per second of audio.

#include "core/AmrCodec.h"
#include "core/MVTVoiceJoiner.h"
#include "platform/Files.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <random>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kSeconds = 60;
constexpr int kRate = 8000;

// Voiced syllables about four times a second: a gliding pitch with harmonics shaped by two
// moving formants, short pauses between words, and a little breath noise.
std::vector<int16_t> speechLike() {
    std::vector<int16_t> out(size_t(kSeconds) * kRate);
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0.0, 0.02);
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / kRate;
        double pitch = 140 + 40 * std::sin(2 * std::numbers::pi * 0.7 * t) + 15 * std::sin(2 * std::numbers::pi * 3.1 * t);
        phase += 2 * std::numbers::pi * pitch / kRate;
        double f1 = 500 + 250 * std::sin(2 * std::numbers::pi * 2.3 * t);
        double f2 = 1500 + 600 * std::sin(2 * std::numbers::pi * 1.7 * t + 1);
        double v = 0;
        for (int h = 1; h * pitch < 3800; ++h) {
            double f = h * pitch;
            double gain = std::exp(-std::pow((f - f1) / 200, 2)) + 0.6 * std::exp(-std::pow((f - f2) / 300, 2)) + 0.05;
            v += gain * std::sin(h * phase) / h;
        }
        double syllable = std::pow(std::max(0.0, std::sin(2 * std::numbers::pi * 4.0 * t)), 0.5);
        double word = std::fmod(t, 2.5) < 2.1 ? 1.0 : 0.0;
        double sample = 0.35 * v * syllable * word + noise(rng);
        out[i] = int16_t(std::lround(std::clamp(sample, -1.0, 1.0) * 32767));
    }
    return out;
}

struct Files {
    fs::path folder = platform::makeTemporaryFolder("tirra-bench-voice");
    fs::path wav = folder / "speech.wav";
    fs::path amr = folder / "speech.amr";
    fs::path back = folder / "back.wav";
    Files() {
        auto samples = speechLike();
        std::FILE* f = std::fopen(wav.c_str(), "wb");
        voicecodec::writeVoiceWavHeader(f, uint32_t(samples.size() * 2));
        std::fwrite(samples.data(), 2, samples.size(), f);
        std::fclose(f);
        voicecodec::wavToAmr(wav, amr);
    }
    ~Files() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

Files& files() {
    static Files f;
    return f;
}

void setCounters(benchmark::State& state) {
    double audio = double(kSeconds) * double(state.iterations());
    state.counters["audio_s_per_s"] = benchmark::Counter(audio, benchmark::Counter::kIsRate);
    state.counters["rtf"] = benchmark::Counter(audio, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_WavToAmr60s(benchmark::State& state) {
    auto& f = files();
    for (auto _ : state) {
        int frames = voicecodec::wavToAmr(f.wav, f.amr);
        if (frames != kSeconds * 50) state.SkipWithError("unexpected frame count");
        benchmark::DoNotOptimize(frames);
    }
    setCounters(state);
}
BENCHMARK(BM_WavToAmr60s)->Unit(benchmark::kMillisecond);

void BM_AmrToWav60s(benchmark::State& state) {
    auto& f = files();
    for (auto _ : state) {
        int frames = MVTVoiceJoiner::amrToWav(f.amr, f.back);
        if (frames != kSeconds * 50) state.SkipWithError("unexpected frame count");
        benchmark::DoNotOptimize(frames);
    }
    setCounters(state);
}
BENCHMARK(BM_AmrToWav60s)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
