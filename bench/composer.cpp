// The composer's two heavy paths.
//
// BM_CameraPictureToFile: a 4000 x 3000 camera picture handed to the text and picture
// composer until its file is written (redraw to twice the screen width, display picture,
// JPEG, file), with the longest single turn of the main run loop meanwhile ("max_stall_ms":
// the work left on the main thread, which should stay a few milliseconds).
//
// BM_RecipientsFirstScreen: the mention picker opened on a kept list of 2,000 people until
// its first screen is laid out (cache read, sort keys checked, sections, index bar, rows).

#include "composer/AddFeedViewController.h"
#include "composer/MVTPostListViewController.h"
#include "core/MVTAccount.h"
#include "core/RecipientList.h"
#include "shell/myTableView.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/ui/Screen.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

using namespace platform;

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Home {
    Home() {
        folder = makeTemporaryFolder("tirra-bench-composer");
        Paths::setHome(folder);
        Screen::mainScreen().reset();
        MVTAccount::sharedInstance().setUserId("12");
        MVTAccount::sharedInstance().setRole("teacher");
    }
    ~Home() {
        BackgroundQueue::shared().waitIdle();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::filesystem::path folder;
};

void BM_CameraPictureToFile(benchmark::State& state) {
    Home home;
    const auto picture = Image::imageWithColor(Color::rgb255(40, 120, 200), {4000, 3000});
    double longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto composer = std::make_shared<AddFeedViewController>();
        composer->initWithImage(nullptr, false);
        RunLoop::main().pump();
        state.ResumeTiming();

        auto turn = Clock::now();
        composer->toAddCamImageWith(picture);
        longest = std::max(longest, millisecondsSince(turn));
        while (composer->isLoadingPictures()) {
            turn = Clock::now();
            const bool worked = RunLoop::main().runOnce(0.0005);
            if (worked) longest = std::max(longest, millisecondsSince(turn));
        }

        state.PauseTiming();
        for (const auto& path : *composer->picPathArr) std::filesystem::remove(path);
        state.ResumeTiming();
    }
    state.counters["max_stall_ms"] = longest;
}
BENCHMARK(BM_CameraPictureToFile)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_RecipientsFirstScreen(benchmark::State& state) {
    Home home;
    const char* family = "王李张刘陈杨赵黄周吴徐孙胡朱高林何郭马罗";
    nlohmann::json reply = nlohmann::json::array();
    for (int i = 0; i < 2000; ++i) {
        const std::string surname(family + 3 * (i % 20), 3);
        reply.push_back({{"name", surname + "同学" + std::to_string(i)}, {"user", std::to_string(5000 + i)}});
    }
    writeRecipientCache("12", recipientListFromReply(reply));
    for (auto _ : state) {
        auto picker = std::make_shared<MVTPostListViewController>();
        picker->init();
        picker->view()->layoutIfNeeded();
        benchmark::DoNotOptimize(picker->mytableview()->visibleCells().size());
    }
}
BENCHMARK(BM_RecipientsFirstScreen)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
