// The relevant-to-me list: a refresh (the sample service's first page of 10 reactions on
// loopback: faces, line breaks, a voice comment, quoted posts with pictures, a mood, an
// honour, parsed and every row built anew for its height and display), and one full-screen
// frame of the list (320 x 568 points at scale 2), whose rows are not reused. Aims: 10 ms
// and 8 ms.
#include "support/ScreenBench.h"

#include "details/MVTRelevantMeViewController.h"
#include "shell/MyTabBarController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/BackgroundQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/RunLoop.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

using namespace platform;

namespace {

class ReactionsBench {
public:
    // The list on screen with its first page, the rows' pictures in their files.
    std::shared_ptr<MVTRelevantMeViewController> show() {
        auto list = std::make_shared<MVTRelevantMeViewController>();
        app_.window().setRootViewController(myNavigationController::withRoot(list));
        RunLoop::main().runUntil([&] { return list->dataArray().size() >= 10; }, 10);
        BackgroundQueue::shared().waitIdle();
        RunLoop::main().pump();
        list->myTable()->layoutIfNeeded();
        return list;
    }
    Window& window() { return app_.window(); }

private:
    bench_support::ScreenBench app_{"reactions", {"1001", "teacher", "11,12", "王老师"}};
};

void BM_RelevantRefresh(benchmark::State& state) {
    ReactionsBench bench;
    auto list = bench.show();
    int replies = 0;
    auto token = NotificationCenter::defaultCenter().addObserver(kMarkUpsideNotification,
                                                                 [&replies](const Notification&) { ++replies; });
    for (auto _ : state) {
        const int before = replies;
        list->toReloadRelevantMeData();
        RunLoop::main().runUntil([&] { return replies > before; }, 10);
        list->myTable()->layoutIfNeeded();
        benchmark::DoNotOptimize(list->myTable()->visibleCells().size());
    }
    state.counters["rows"] = double(list->dataArray().size());
}
BENCHMARK(BM_RelevantRefresh)->Unit(benchmark::kMillisecond);

void BM_RelevantFrame(benchmark::State& state) {
    ReactionsBench bench;
    bench.show();
    bench_support::timeWindowFrames(state, bench.window());
}
BENCHMARK(BM_RelevantFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
