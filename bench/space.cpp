// The personal space: one page (a loopback reply of 20 posts of every kind from the sample
// service, parsed, every row measured by building its cell, the first screen laid out,
// where every shown row is built a second time), and one full-screen frame of that
// timeline (320 x 568 points at scale 2). Time per page and per frame; the aims are 10 ms
// and 8 ms.
#include "core/MVTAccount.h"
#include "me/MVTTimeSpaceViewController.h"
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

// The sample service with its data (王老师's space has posts of every kind), a home of its
// own and 李明 signed in.
class SpaceBench {
public:
    SpaceBench()
        : service_(sample_service::SampleService::Options{sample_service::SampleService::defaultDataDirectory(), true,
                                                          false}) {
        home_ = makeTemporaryFolder("tirra-bench-space");
        Paths::setHome(home_);
        Reachability::setOverride(ReachabilityState::viaWifi());
        InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
        service_.start();
        setenv("TIRRA_BASE_URL", service_.baseUrl().c_str(), 1);
        auto& account = MVTAccount::sharedInstance();
        account.setUserId("2001");
        account.setRole("student");
        account.setClassId("11");
        window_ = std::make_shared<Window>();
        window_->setFrame(Screen::mainScreen().bounds());
        window_->makeKeyAndVisible();
    }
    ~SpaceBench() {
        window_->setRootViewController(nullptr);
        service_.stop();
        std::error_code ec;
        std::filesystem::remove_all(home_, ec);
    }

    // A new space in the window, with its first page shown and laid out.
    std::shared_ptr<MVTTimeSpaceViewController> showPage() {
        auto space = std::make_shared<MVTTimeSpaceViewController>();
        space->setUserDict({{"id", "1001"}, {"name", "王老师"}, {"role", "teacher"}});
        window_->setRootViewController(myNavigationController::withRoot(space));
        RunLoop::main().runUntil([&] { return space->dataArray().size() == 20; }, 10);
        space->tableView()->layoutIfNeeded();
        return space;
    }
    Window& window() { return *window_; }

private:
    std::filesystem::path home_;
    sample_service::SampleService service_;
    std::shared_ptr<Window> window_;
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
    Screen& main = Screen::mainScreen();
    auto frame = makeImageContext(main.bounds().size, main.scale(), true);
    Renderer::renderInto(*frame, bench.window());
    for (auto _ : state) {
        Renderer::renderInto(*frame, bench.window());
        benchmark::DoNotOptimize(frame->pixels());
    }
}
BENCHMARK(BM_SpaceFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
