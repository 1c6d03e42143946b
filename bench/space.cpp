// The personal space: one page (a loopback reply of 20 posts of every kind from the sample
// service, parsed, every row measured by building its cell, the first screen laid out,
// where every shown row is built a second time), and one full-screen frame of that
// timeline (320 x 568 points at scale 2); full-screen frames of the 我 tab and of the reminder
// settings. Time per page and per frame; the aims are 10 ms and 8 ms.
#include "support/ScreenBench.h"

#include "me/MVTNewsAlertViewController.h"
#include "me/MVTTimeSpaceViewController.h"
#include "me/MVTUserSettingViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

using namespace platform;

namespace {

// The sample service with its data (王老师's space has posts of every kind), a home of its
// own and 李明 signed in.
class SpaceBench {
public:
    // A new space in the window, with its first page shown and laid out.
    std::shared_ptr<MVTTimeSpaceViewController> showPage() {
        auto space = std::make_shared<MVTTimeSpaceViewController>();
        space->setUserDict({{"id", "1001"}, {"name", "王老师"}, {"role", "teacher"}});
        app_.window().setRootViewController(myNavigationController::withRoot(space));
        RunLoop::main().runUntil([&] { return space->dataArray().size() == 20; }, 10);
        space->tableView()->layoutIfNeeded();
        return space;
    }
    Window& window() { return app_.window(); }

private:
    bench_support::ScreenBench app_{"space", {"2001", "student", "11", ""}};
};

void BM_SpacePage(benchmark::State& state) {
    SpaceBench bench;
    bench.showPage();  // warm the connection, the pictures and the font caches
    for (auto _ : state) {
        TextMeasure::clearCache();  // every row's text measured for real
        auto space = bench.showPage();
        benchmark::DoNotOptimize(space->tableView()->visibleCells().size());
    }
}
BENCHMARK(BM_SpacePage)->Unit(benchmark::kMillisecond);

void BM_SpaceFrame(benchmark::State& state) {
    SpaceBench bench;
    bench.showPage();
    RunLoop::main().runUntil([] { return animationsInFlight() == 0; }, 10);
    bench_support::timeWindowFrames(state, bench.window());
}
BENCHMARK(BM_SpaceFrame)->Unit(benchmark::kMillisecond);

// A settings list at the root of a stack in the window, laid out and at rest.
template <class Screen>
void timeSettingsFrames(benchmark::State& state) {
    SpaceBench bench;
    auto screen = std::make_shared<Screen>();
    bench.window().setRootViewController(myNavigationController::withRoot(screen));
    RunLoop::main().runUntil([] { return animationsInFlight() == 0; }, 10);
    RunLoop::main().runUntil([] { return false; }, 0.2);
    bench_support::timeWindowFrames(state, bench.window());
}

void BM_MeTabFrame(benchmark::State& state) { timeSettingsFrames<MVTUserSettingViewController>(state); }
BENCHMARK(BM_MeTabFrame)->Unit(benchmark::kMillisecond);

void BM_ReminderSettingsFrame(benchmark::State& state) { timeSettingsFrames<MVTNewsAlertViewController>(state); }
BENCHMARK(BM_ReminderSettingsFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
