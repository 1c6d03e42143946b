#include "support/AppTest.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/UserDefaults.h"

#include <cstdlib>

namespace testing_support {

void AppTest::SetUp() {
    setenv("TIRRA_QUIET", "1", 1);
    home_ = platform::makeTemporaryFolder("tirra-test");
    platform::Paths::setHome(home_);
    platform::UserDefaults::reloadStandard();
    clock_ = std::make_shared<platform::ManualClock>();
    platform::Clock::setCurrent(clock_);
    platform::RunLoop::main().reset();
}

void AppTest::TearDown() {
    platform::BackgroundQueue::shared().waitIdle();
    platform::RunLoop::main().pump();
    platform::RunLoop::main().reset();
    platform::Clock::setCurrent(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(home_, ec);
}

void AppTest::advance(double seconds) { platform::RunLoop::main().advance(seconds); }

bool AppTest::pumpUntil(const std::function<bool()>& condition, double timeout) {
    bool ok = platform::RunLoop::main().runUntil(condition, timeout);
    EXPECT_TRUE(ok) << "condition not reached within " << timeout << " s";
    return ok;
}

}  // namespace testing_support
