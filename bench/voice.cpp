// Voice transcoding speed: a minute of speech-like audio from WAV to AMR (what the recorder
// does while the user speaks) and back from AMR to WAV (what every downloaded voice goes
// through before it plays).
//
// Counters: "audio_s_per_s" is seconds of audio converted per second of wall time;
// "rtf" (real-time factor) is the wall time spent per second of audio.
//
// As a peer, the ffmpeg command line does the same two conversions on the same WAV file
// (AMR-NB at 12.2 kbit/s through libopencore_amrnb, then back to WAV); its times include
// starting the process. The run ends with both times and their ratio. When ffmpeg or its
// AMR-NB encoder is missing, the peer benchmarks are skipped with a message saying so.

#include "core/AmrCodec.h"
#include "core/MVTVoiceJoiner.h"
#include "platform/Files.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <numbers>
#include <random>
#include <string>
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
    fs::path peerAmr = folder / "peer.amr";
    fs::path peerBack = folder / "peer-back.wav";
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

// Mean wall time per conversion, in milliseconds, by what was measured.
std::map<std::string, double>& meanMs() {
    static std::map<std::string, double> m;
    return m;
}

using Clock = std::chrono::steady_clock;

void record(const std::string& what, Clock::duration spent, benchmark::IterationCount iterations) {
    if (iterations > 0)
        meanMs()[what] = std::chrono::duration<double, std::milli>(spent).count() / double(iterations);
}

// Runs a shell command quietly; true when it exited with status 0.
bool run(const std::string& command) {
    int status = std::system((command + " >/dev/null 2>&1").c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string quoted(const fs::path& p) {
    std::string text(1, '\'');
    text += p.string();
    text += '\'';
    return text;
}

// Empty when the peer can run; otherwise why it cannot.
const std::string& peerMissing() {
    static const std::string why = [] () -> std::string {
        if (!run("command -v ffmpeg")) return "ffmpeg is not installed";
        if (!run("ffmpeg -hide_banner -encoders | grep -q libopencore_amrnb"))
            return "this ffmpeg has no libopencore_amrnb encoder (Debian's plain ffmpeg lacks it; "
                   "libavcodec-extra adds it)";
        return "";
    }();
    return why;
}

const char* const kFfmpeg = "ffmpeg -nostdin -hide_banner -loglevel error -y ";

void setCounters(benchmark::State& state) {
    double audio = double(kSeconds) * double(state.iterations());
    state.counters["audio_s_per_s"] = benchmark::Counter(audio, benchmark::Counter::kIsRate);
    state.counters["rtf"] = benchmark::Counter(audio, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_WavToAmr60s(benchmark::State& state) {
    auto& f = files();
    auto start = Clock::now();
    for (auto _ : state) {
        int frames = voicecodec::wavToAmr(f.wav, f.amr);
        if (frames != kSeconds * 50) state.SkipWithError("unexpected frame count");
        benchmark::DoNotOptimize(frames);
    }
    record("ours encode", Clock::now() - start, state.iterations());
    setCounters(state);
}
BENCHMARK(BM_WavToAmr60s)->Unit(benchmark::kMillisecond);

void BM_AmrToWav60s(benchmark::State& state) {
    auto& f = files();
    auto start = Clock::now();
    for (auto _ : state) {
        int frames = MVTVoiceJoiner::amrToWav(f.amr, f.back);
        if (frames != kSeconds * 50) state.SkipWithError("unexpected frame count");
        benchmark::DoNotOptimize(frames);
    }
    record("ours decode", Clock::now() - start, state.iterations());
    setCounters(state);
}
BENCHMARK(BM_AmrToWav60s)->Unit(benchmark::kMillisecond);

void BM_FfmpegWavToAmr60s(benchmark::State& state) {
    if (!peerMissing().empty()) {
        state.SkipWithError(("peer skipped: " + peerMissing()).c_str());
        return;
    }
    auto& f = files();
    std::string command = kFfmpeg;
    command.append("-i ").append(quoted(f.wav));
    command.append(" -ar 8000 -ac 1 -c:a libopencore_amrnb -b:a 12.2k ").append(quoted(f.peerAmr));
    auto start = Clock::now();
    for (auto _ : state) {
        if (!run(command)) {
            state.SkipWithError("ffmpeg failed to encode");
            return;
        }
    }
    record("ffmpeg encode", Clock::now() - start, state.iterations());
    setCounters(state);
}
BENCHMARK(BM_FfmpegWavToAmr60s)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FfmpegAmrToWav60s(benchmark::State& state) {
    if (!peerMissing().empty()) {
        state.SkipWithError(("peer skipped: " + peerMissing()).c_str());
        return;
    }
    auto& f = files();
    // Decodes our own AMR file, the same input our decoder gets.
    std::string command = kFfmpeg;
    command.append("-i ").append(quoted(f.amr)).append(" ").append(quoted(f.peerBack));
    auto start = Clock::now();
    for (auto _ : state) {
        if (!run(command)) {
            state.SkipWithError("ffmpeg failed to decode");
            return;
        }
    }
    record("ffmpeg decode", Clock::now() - start, state.iterations());
    setCounters(state);
}
BENCHMARK(BM_FfmpegAmrToWav60s)->Unit(benchmark::kMillisecond)->UseRealTime();

void printComparison() {
    auto& m = meanMs();
    std::printf("\n60 s of speech-like audio, AMR-NB 12.2 kbit/s, mean wall time per conversion:\n");
    for (const char* step : {"encode", "decode"}) {
        std::string ours = std::string("ours ") + step, peer = std::string("ffmpeg ") + step;
        if (!m.count(ours)) continue;
        if (m.count(peer))
            std::printf("  %s: ours %.2f ms, ffmpeg %.2f ms (process start included), ffmpeg/ours %.2f\n", step,
                        m[ours], m[peer], m[peer] / m[ours]);
        else
            std::printf("  %s: ours %.2f ms, ffmpeg not measured\n", step, m[ours]);
    }
    if (!peerMissing().empty()) std::printf("  peer skipped: %s\n", peerMissing().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printComparison();
    return 0;
}
