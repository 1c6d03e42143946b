// The box of unsent posts and the joining of voice takes: a box of 50 posts with nine
// pictures each up to its laid-out first screen, one full-screen frame of that box (320 x
// 568 points at scale 2), and joining two 60-second takes (the WAV samples and the AMR
// frames). The aims are 20 ms, 8 ms and 30 ms.
#include "support/ScreenBench.h"

#include "composer/MVTSaveDynamicViewController.h"
#include "core/MVTAudioRecordAndTransCoding.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTVoiceJoiner.h"
#include "core/MVTtirraDataBase.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/AudioRecorder.h"
#include "platform/BackgroundQueue.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Image.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

using namespace platform;

namespace {

class BoxBench {
public:
    BoxBench() {
        const std::string picture = (app_.home() / "photo.jpg").string();
        std::ofstream(picture, std::ios::binary)
            << Image::imageWithColor(Color::rgb255(70, 140, 210), {800, 600})->jpegData(0.8);
        for (int i = 0; i < 50; ++i) {
            nlohmann::json paths = nlohmann::json::array();
            for (int p = 0; p < 9; ++p) paths.push_back(picture);
            const std::string id = std::to_string(1767500000 - i * 60);
            MVTtirraDataBase::insertSaveDynamicWithDic(
                {{"content", "第" + std::to_string(i + 1) + "篇：今天的春游照片[em:3:]，大家玩得很开心！"},
                 {"relative", ""}, {"permission", "3"}, {"imagePath", paths}, {"vedioPath", ""},
                 {"vedioBg", ""}, {"dynamicId", id}},
                id, "1001");
        }
    }

    // A new box in the window with its rows read and its first screen laid out.
    std::shared_ptr<MVTSaveDynamicViewController> showBox() {
        auto box = std::make_shared<MVTSaveDynamicViewController>();
        app_.window().setRootViewController(myNavigationController::withRoot(box));
        box->view();
        box->toGetData();
        box->myTable()->layoutIfNeeded();
        return box;
    }
    Window& window() { return app_.window(); }

private:
    bench_support::ScreenBench app_{"voice-posts", {"1001", "teacher", "", "王老师"}};
};

void BM_UnsentBoxFirstScreen(benchmark::State& state) {
    BoxBench bench;
    bench.showBox();
    for (auto _ : state) {
        TextMeasure::clearCache();
        auto box = bench.showBox();
        benchmark::DoNotOptimize(box->myTable()->visibleCells().size());
        state.PauseTiming();
        BackgroundQueue::shared().waitIdle();
        RunLoop::main().runUntil([] { return true; }, 0.01);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UnsentBoxFirstScreen)->Unit(benchmark::kMillisecond);

void BM_UnsentBoxFrame(benchmark::State& state) {
    BoxBench bench;
    auto box = bench.showBox();
    BackgroundQueue::shared().waitIdle();
    RunLoop::main().runUntil([] { return animationsInFlight() == 0; }, 10);
    bench_support::timeWindowFrames(state, bench.window());
}
BENCHMARK(BM_UnsentBoxFrame)->Unit(benchmark::kMillisecond);

// Two 60-second takes, recorded and converted as the composer does, then joined: the WAV
// samples into a new file and the second AMR's frames onto the first.
void BM_JoinTwoMinuteTakes(benchmark::State& state) {
    const auto home = makeTemporaryFolder("tirra-bench-voice-join");
    Paths::setHome(home);
    auto clock = std::make_shared<ManualClock>(1767500000);
    Clock::setCurrent(clock);
    AudioRecorder::setInput([] { return makeToneSource(440.0, 0.5); });
    auto recorder = std::make_shared<MVTAudioRecordAndTransCoding>();
    for (const char* name : {"first", "second"}) {
        recorder->beginRecordByFileName(name);
        for (int i = 0; i < 600; ++i) {
            clock->advance(0.1);
            RunLoop::main().runUntil([] { return true; }, 0.001);
        }
        recorder->endRecord();
        RunLoop::main().runUntil([&] { return recorder->isWavToAmrCompleted(); }, 60);
    }
    const std::string wavA = MVTPublicMethod::getPathByFileName("second", "wav");
    const std::string wavB = MVTPublicMethod::getPathByFileName("first", "wav");
    const std::string amrA = MVTPublicMethod::getPathByFileName("firstwavToAmr", "amr");
    const std::string amrB = MVTPublicMethod::getPathByFileName("secondwavToAmr", "amr");
    const std::string kept = (home / "kept.amr").string();
    const std::string joined = MVTPublicMethod::getPathByFileName("second_new", "wav");
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(amrA, kept, std::filesystem::copy_options::overwrite_existing);
        state.ResumeTiming();
        MVTVoiceJoiner::mixMusic(wavA, wavB, joined);
        benchmark::DoNotOptimize(MVTVoiceJoiner::mixAmr(kept, amrB));
    }
    AudioRecorder::setInput(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
}
BENCHMARK(BM_JoinTwoMinuteTakes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
