#pragma once

// What the screen benchmarks stand on: a home folder of their own, the network up, the
// screens in Chinese, the local sample service (with the sample data unless told
// otherwise; requests not recorded), the signed-in account and a key window at the
// screen's size. Torn down in reverse: the window's screens go, the service stops, the
// background work ends, the folder goes.

#include "core/MVTAccount.h"
#include "sample_service/SampleService.h"
#include "shell/InternationalControl.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Reachability.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace bench_support {

struct BenchUser {
    std::string id;
    std::string role;
    std::string classes;
    std::string name;
};

inline sample_service::SampleService::Options sampleDataOptions() {
    return {sample_service::SampleService::defaultDataDirectory(), true, false};
}

class ScreenBench {
public:
    // `name` names the home folder; `options` the service (sampleDataOptions() by default).
    ScreenBench(const std::string& name, const BenchUser& user,
                sample_service::SampleService::Options options = sampleDataOptions())
        : home_(platform::makeTemporaryFolder("tirra-bench-" + name)), service_(std::move(options)) {
        platform::Paths::setHome(home_);
        platform::Reachability::setOverride(platform::ReachabilityState::viaWifi());
        InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
        service_.start();
        setenv("TIRRA_BASE_URL", service_.baseUrl().c_str(), 1);
        auto& account = MVTAccount::sharedInstance();
        account.setUserId(user.id);
        account.setRole(user.role);
        account.setClassId(user.classes);
        if (!user.name.empty()) account.setName(user.name);
        window_ = std::make_shared<platform::Window>();
        window_->setFrame(platform::Screen::mainScreen().bounds());
        window_->makeKeyAndVisible();
    }
    ~ScreenBench() {
        window_->setRootViewController(nullptr);
        service_.stop();
        platform::BackgroundQueue::shared().waitIdle();
        std::error_code ec;
        std::filesystem::remove_all(home_, ec);
    }
    ScreenBench(const ScreenBench&) = delete;
    ScreenBench& operator=(const ScreenBench&) = delete;

    sample_service::SampleService& service() { return service_; }
    platform::Window& window() { return *window_; }
    const std::filesystem::path& home() const { return home_; }

private:
    std::filesystem::path home_;
    sample_service::SampleService service_;
    std::shared_ptr<platform::Window> window_;
};

// Times full-screen frames of `window` as it stands, drawn as the window host draws them:
// into one kept picture.
inline void timeWindowFrames(benchmark::State& state, platform::Window& window) {
    platform::Screen& main = platform::Screen::mainScreen();
    auto frame = platform::makeImageContext(main.bounds().size, main.scale(), true);
    platform::Renderer::renderInto(*frame, window);
    for (auto _ : state) {
        platform::Renderer::renderInto(*frame, window);
        benchmark::DoNotOptimize(frame->pixels());
    }
}

}  // namespace bench_support
