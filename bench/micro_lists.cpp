// The lesson lists: one full-screen frame of the school lessons (a page of 15 courses, a
// sideways row of lessons each) and of the open lessons (a page of 15 rows), 320 x 568
// points at scale 2, drawn as the window host draws them. The aim is 8 ms a frame.
#include "support/ScreenBench.h"

#include "microlessons/MVTMicroLessonList.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"

#include <benchmark/benchmark.h>

using namespace platform;

namespace {

// The list in the window with its first page shown; `open`: the open segment.
std::shared_ptr<MVTMicroLessonViewController> showLessonList(bench_support::ScreenBench& app, bool open) {
    auto list = std::make_shared<MVTMicroLessonViewController>();
    app.window().setRootViewController(myNavigationController::withRoot(list));
    RunLoop::main().runUntil([&] { return list->dataArr().size() == 15; }, 10);
    if (list->dataArr().size() != 15) std::abort();
    if (open) {
        list->recommendButtonClick(MVTMicroLessonViewController::kOpenSegmentTag);
        auto openList = list->openMicroViewController();
        RunLoop::main().runUntil([&] { return openList->dataArr().size() == 15; }, 10);
        if (openList->dataArr().size() != 15) std::abort();
        openList->mytableview()->layoutIfNeeded();
    }
    list->mytableview()->layoutIfNeeded();
    RunLoop::main().runUntil([] { return animationsInFlight() == 0; }, 10);
    return list;
}

void BM_SchoolLessonsFrame(benchmark::State& state) {
    bench_support::ScreenBench app{"micro-lists", {"2001", "student", "11", "李明"}};
    auto list = showLessonList(app, false);
    bench_support::timeWindowFrames(state, app.window());
}
BENCHMARK(BM_SchoolLessonsFrame)->Unit(benchmark::kMillisecond);

void BM_OpenLessonsFrame(benchmark::State& state) {
    bench_support::ScreenBench app{"micro-lists", {"2001", "student", "11", "李明"}};
    auto list = showLessonList(app, true);
    bench_support::timeWindowFrames(state, app.window());
}
BENCHMARK(BM_OpenLessonsFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
