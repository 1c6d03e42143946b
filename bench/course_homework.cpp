// The course-based homework chain and the timetable picker: one movement of the month
// wheel (the day wheel made anew, as on every movement; aim 1 ms) and one full-screen
// frame of the course homework list (10 rows of the sample course; aim 8 ms).
#include "support/ScreenBench.h"

#include "homework/MVTHomeworkListViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"
#include "tests/RBCustomDatePickerView.h"

#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

using namespace platform;

namespace {

void BM_MonthWheelMovement(benchmark::State& state) {
    bench_support::ScreenBench app{"course-wheel", {"1001", "teacher", "11,12", "王老师"}, {}};
    auto picker = RBCustomDatePickerView::make({0, 0, 320, 250});
    auto month = picker->monthScrollView();
    const double h = month->rowHeight();
    double y = h + 1;
    for (auto _ : state) {
        // A small step of the finger: the wheel tells the picker, which rebuilds the day wheel.
        month->scrollView()->setContentOffset({0, y});
        y = y > h + 10 ? h + 1 : y + 1;
        benchmark::DoNotOptimize(picker->dayString());
    }
}
BENCHMARK(BM_MonthWheelMovement)->Unit(benchmark::kMicrosecond);

void BM_CourseHomeworkListFrame(benchmark::State& state) {
    bench_support::ScreenBench app{"course-list", {"1001", "teacher", "11,12", "王老师"}};
    auto list = std::make_shared<MVTHomeworkListViewController>();
    list->setSubjectId("3");
    app.window().setRootViewController(myNavigationController::withRoot(list));
    RunLoop::main().runUntil([&] { return list->dataArray().size() == 10; }, 10);
    list->mytableview()->layoutIfNeeded();
    RunLoop::main().runUntil([] { return animationsInFlight() == 0; }, 10);
    bench_support::timeWindowFrames(state, app.window());
}
BENCHMARK(BM_CourseHomeworkListFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
