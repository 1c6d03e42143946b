// Lesson video: decoding a 60-second 720p30 H.264 + AAC file as the player does (pictures
// scaled to a 320 x 200 view at scale 2), beside Debian's ffmpeg decoding the same file to
// nothing with the same threads (aim: at most 1.1 times ffmpeg's time; ffmpeg also makes
// the file, and without it that measurement is skipped with a message); one 720p picture
// scaled to the view's pixels (aim: 2 ms); one full-screen frame of the lesson detail
// while its clip plays (aim: 8 ms).
#include "support/ScreenBench.h"

#include "microlessons/MVTLessionMovieDetailViewController.h"
#include "shell/myNavigationController.h"

#include "platform/Files.h"
#include "platform/RunLoop.h"
#include "platform/media/MovieDecoder.h"
#include "platform/ui/Animation.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <cstdlib>
#include <filesystem>
#include <vector>

using namespace platform;

namespace {

constexpr int kViewWidth = 640, kViewHeight = 400;  // 320 x 200 points at scale 2

bool haveFfmpeg() { return std::system("command -v ffmpeg > /dev/null 2>&1") == 0; }

// The 60-second test file, made once per run with ffmpeg; empty when it cannot be made.
std::filesystem::path testMovie() {
    static std::filesystem::path made;
    static bool tried = false;
    if (tried) return made;
    tried = true;
    const auto folder = makeTemporaryFolder("tirra-bench-video");
    const auto path = folder / "lesson-720p.mp4";
    const std::string command =
        "ffmpeg -v error -y -f lavfi -i testsrc2=size=1280x720:rate=30 -f lavfi -i sine=frequency=440 -t 60 "
        "-c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -shortest '" +
        path.string() + "'";
    if (std::system(command.c_str()) == 0) made = path;
    return made;
}

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_DecodeLessonAgainstFfmpeg(benchmark::State& state) {
    if (!haveFfmpeg()) {
        state.SkipWithError("ffmpeg is not installed (scripts/setup --bench installs it): nothing to compare with");
        return;
    }
    const auto movie = testMovie();
    if (movie.empty()) {
        state.SkipWithError("ffmpeg could not make the 720p H.264 test file");
        return;
    }
    double ours = 0, theirs = 0;
    long pictures = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        // Like the player, the consumer sleeps until the decoder says something changed.
        std::mutex mutex;
        std::condition_variable changed;
        long changes = 0;
        MovieDecoder decoder(movie.string(), kViewWidth, kViewHeight, [&] {
            {
                std::lock_guard lock(mutex);
                ++changes;
            }
            changed.notify_one();
        });
        MovieFrame frame;
        std::vector<std::int16_t> sound(4096 * MovieDecoder::kChannels);
        long seen = 0;
        while (decoder.state() != MovieDecoderState::Failed &&
               !(decoder.state() == MovieDecoderState::Ended && !decoder.hasQueuedFrame())) {
            if (decoder.takeFrameDueAt(1e12, frame)) ++pictures;
            while (decoder.readSound(sound.data(), 4096) > 0) {
            }
            std::unique_lock lock(mutex);
            changed.wait_for(lock, std::chrono::milliseconds(5), [&] { return changes != seen; });
            seen = changes;
        }
        ours += seconds(std::chrono::steady_clock::now() - start);
        const auto before = std::chrono::steady_clock::now();
        const std::string command = "ffmpeg -v error -i '" + movie.string() + "' -f null -";
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffmpeg could not decode the test file");
            return;
        }
        theirs += seconds(std::chrono::steady_clock::now() - before);
    }
    state.counters["player_s"] = ours / double(state.iterations());
    state.counters["ffmpeg_s"] = theirs / double(state.iterations());
    state.counters["ratio"] = theirs > 0 ? ours / theirs : 0;
    state.counters["pictures"] = double(pictures) / double(state.iterations());
}
BENCHMARK(BM_DecodeLessonAgainstFfmpeg)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_Scale720pPictureToView(benchmark::State& state) {
    std::vector<std::uint8_t> planes[3] = {std::vector<std::uint8_t>(1280 * 720, 90),
                                          std::vector<std::uint8_t>(640 * 360, 120),
                                          std::vector<std::uint8_t>(640 * 360, 140)};
    const std::uint8_t* source[4] = {planes[0].data(), planes[1].data(), planes[2].data(), nullptr};
    const int sourceStrides[4] = {1280, 640, 640, 0};
    std::vector<std::uint8_t> pixels(std::size_t(kViewWidth) * kViewHeight * 4);
    std::uint8_t* target[4] = {pixels.data(), nullptr, nullptr, nullptr};
    const int targetStrides[4] = {kViewWidth * 4, 0, 0, 0};
    SwsContext* scaler = sws_getContext(1280, 720, AV_PIX_FMT_YUV420P, kViewWidth, kViewHeight, AV_PIX_FMT_BGRA,
                                        SWS_BILINEAR, nullptr, nullptr, nullptr);
    for (auto _ : state) {
        sws_scale(scaler, source, sourceStrides, 0, 720, target, targetStrides);
        benchmark::DoNotOptimize(pixels.data());
    }
    sws_freeContext(scaler);
}
BENCHMARK(BM_Scale720pPictureToView)->Unit(benchmark::kMillisecond);

void BM_PlayingLessonFrame(benchmark::State& state) {
    bench_support::ScreenBench app{"video", {"2001", "student", "11", "李明"}};
    auto detail = std::make_shared<MVTLessionMovieDetailViewController>();
    detail->setMovieId("6001");
    detail->setIsNewShow(true);
    app.window().setRootViewController(myNavigationController::withRoot(detail));
    RunLoop::main().runUntil(
        [&] {
            auto player = detail->player() ? detail->player()->moviePlayer() : nullptr;
            return player && player->picturesShown() > 0;
        },
        10);
    if (!detail->player() || !detail->player()->moviePlayer() || detail->player()->moviePlayer()->picturesShown() == 0)
        std::abort();
    RunLoop::main().runUntil([] { return animationsInFlight() == 0; }, 10);
    bench_support::timeWindowFrames(state, app.window());
    detail->player()->stopWhenBack();
}
BENCHMARK(BM_PlayingLessonFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
