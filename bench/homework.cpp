// The homework list: one page (a loopback reply of 20 rows from the sample service,
// parsed, every row's height found by filling its cell, the first screen laid out), and
// one full-screen frame of that list (320 x 568 points at scale 2). Time per page and per
// frame; the aims are 10 ms and 8 ms.
#include "support/ScreenBench.h"

#include "homework/MVTNewHWListViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

using namespace platform;

namespace {

// The sample service answering every list page with 20 rows of homework text, a home of
// its own and a signed-in teacher.
class ListBench {
public:
    ListBench() {
        nlohmann::json rows = nlohmann::json::array();
        for (int i = 0; i < 20; ++i)
            rows.push_back({{"id", std::to_string(5000 + i)},
                            {"content", "第" + std::to_string(i + 1) +
                                            "课：背诵并默写古诗，完成练习册第12页的口算题，错题抄写三遍，"
                                            "明天早读时交给组长检查。"},
                            {"dateline", 1767500000 - i * 3600},
                            {"stdCount", "30"},
                            {"submitCount", std::to_string(i)},
                            {"readed", i % 3 ? "1" : "0"}});
        app_.service().setReply("GET", "/services/norvo/homework/list/1001", sample_service::Reply::json(rows));
    }

    // A new list screen in the window, with its first page shown and laid out.
    std::shared_ptr<MVTNewHWListViewController> showPage() {
        auto list = std::make_shared<MVTNewHWListViewController>();
        app_.window().setRootViewController(myNavigationController::withRoot(list));
        RunLoop::main().runUntil([&] { return list->dataArray().size() == 20; }, 10);
        list->myTable()->layoutIfNeeded();
        return list;
    }
    Window& window() { return app_.window(); }

private:
    // No sample data: only the list reply above.
    bench_support::ScreenBench app_{"homework", {"1001", "teacher", "11,12", ""}, {}};
};

void BM_HomeworkListPage(benchmark::State& state) {
    ListBench bench;
    bench.showPage();  // warm the connection and the font caches
    for (auto _ : state) {
        TextMeasure::clearCache();  // every row's text measured for real
        auto list = bench.showPage();
        benchmark::DoNotOptimize(list->myTable()->visibleCells().size());
    }
}
BENCHMARK(BM_HomeworkListPage)->Unit(benchmark::kMillisecond);

void BM_HomeworkListFrame(benchmark::State& state) {
    ListBench bench;
    auto list = bench.showPage();
    // The still screen: the waiting overlay has faded out.
    RunLoop::main().runUntil([] { return animationsInFlight() == 0; }, 10);
    bench_support::timeWindowFrames(state, bench.window());
}
BENCHMARK(BM_HomeworkListFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
