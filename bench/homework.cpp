// The homework list: one page (a loopback reply of 20 rows from the sample service,
// parsed, every row's height found by filling its cell, the first screen laid out), and
// one full-screen frame of that list (320 x 568 points at scale 2). Time per page and per
// frame; the aims are 10 ms and 8 ms.
#include "core/MVTAccount.h"
#include "homework/MVTNewHWListViewController.h"
#include "sample_service/SampleService.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Reachability.h"
#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

using namespace platform;

namespace {

// The sample service answering every list page with 20 rows of homework text, a home of
// its own and a signed-in teacher.
class ListBench {
public:
    ListBench() {
        home_ = makeTemporaryFolder("tirra-bench-homework");
        Paths::setHome(home_);
        Reachability::setOverride(ReachabilityState::viaWifi());
        InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
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
        service_.start();
        service_.setReply("GET", "/services/norvo/homework/list/1001", sample_service::Reply::json(rows));
        setenv("TIRRA_BASE_URL", service_.baseUrl().c_str(), 1);
        auto& account = MVTAccount::sharedInstance();
        account.setUserId("1001");
        account.setRole("teacher");
        account.setClassId("11,12");
        window_ = std::make_shared<Window>();
        window_->setFrame(Screen::mainScreen().bounds());
        window_->makeKeyAndVisible();
    }
    ~ListBench() {
        window_->setRootViewController(nullptr);
        service_.stop();
        std::error_code ec;
        std::filesystem::remove_all(home_, ec);
    }

    // A new list screen in the window, with its first page shown and laid out.
    std::shared_ptr<MVTNewHWListViewController> showPage() {
        auto list = std::make_shared<MVTNewHWListViewController>();
        window_->setRootViewController(myNavigationController::withRoot(list));
        RunLoop::main().runUntil([&] { return list->dataArray().size() == 20; }, 10);
        list->myTable()->layoutIfNeeded();
        return list;
    }
    Window& window() { return *window_; }

private:
    std::filesystem::path home_;
    sample_service::SampleService service_;
    std::shared_ptr<Window> window_;
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
    // The window's frame loop: one picture drawn over on every frame.
    Screen& main = Screen::mainScreen();
    auto frame = makeImageContext(main.bounds().size, main.scale(), true);
    Renderer::renderInto(*frame, bench.window());
    for (auto _ : state) {
        Renderer::renderInto(*frame, bench.window());
        benchmark::DoNotOptimize(frame->pixels());
    }
}
BENCHMARK(BM_HomeworkListFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
