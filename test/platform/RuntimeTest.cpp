#include "platform/BackgroundQueue.h"
#include "platform/Clock.h"
#include "platform/NotificationCenter.h"
#include "platform/RunLoop.h"
#include "support/AppTest.h"

#include <atomic>
#include <thread>
#include <vector>

using namespace platform;

namespace {

class RunLoopTest : public testing_support::AppTest {};

TEST_F(RunLoopTest, PerformAfterFiresOnlyWhenItsTimeHasCome) {
    std::vector<std::string> order;
    RunLoop::main().performAfter(0.4, [&] { order.push_back("0.4"); });
    RunLoop::main().performAfter(0.1, [&] { order.push_back("0.1"); });
    advance(0.39);
    EXPECT_EQ(order, (std::vector<std::string>{"0.1"}));
    advance(0.01);
    EXPECT_EQ(order, (std::vector<std::string>{"0.1", "0.4"}));
}

TEST_F(RunLoopTest, RepeatingTimerFiresOncePerPeriodUntilInvalidated) {
    int fired = 0;
    auto timer = RunLoop::main().scheduleTimer(60, true, [&](Timer&) { ++fired; });
    advance(179);
    EXPECT_EQ(fired, 2);
    advance(1);
    EXPECT_EQ(fired, 3);
    timer->invalidate();
    advance(600);
    EXPECT_EQ(fired, 3);
}

TEST_F(RunLoopTest, TimerCanInvalidateItselfFromItsAction) {
    int fired = 0;
    RunLoop::main().scheduleTimer(1, true, [&](Timer& t) {
        if (++fired == 2) t.invalidate();
    });
    advance(10);
    EXPECT_EQ(fired, 2);
}

TEST_F(RunLoopTest, InvalidatedOneShotNeverRuns) {
    bool ran = false;
    auto timer = RunLoop::main().performAfter(1, [&] { ran = true; });
    timer->invalidate();
    advance(5);
    EXPECT_FALSE(ran);
}

TEST_F(RunLoopTest, WorkFromBackgroundThreadsRunsOnTheLoopThread) {
    std::atomic<int> done{0};
    std::vector<bool> onMain;
    for (int i = 0; i < 20; ++i) {
        dispatchBackground([&] {
            dispatchMain([&] {
                onMain.push_back(isMainThread());
                ++done;
            });
        });
    }
    ASSERT_TRUE(pumpUntil([&] { return done == 20; }));
    for (bool b : onMain) EXPECT_TRUE(b);
}

TEST_F(RunLoopTest, RunUntilGivesUpAfterItsBound) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(RunLoop::main().runUntil([] { return false; }, 0.2));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

class NotificationTest : public testing_support::AppTest {};

TEST_F(NotificationTest, ObserversReceiveNameAndObjectUntilTheirTokenDies) {
    auto& center = NotificationCenter::defaultCenter();
    std::vector<std::string> seen;
    {
        auto token = center.addObserver("reloadTimer", [&](const Notification& n) {
            seen.push_back(n.name + ":" + n.object.get<std::string>());
        });
        center.postNotification("reloadTimer", "1");
        center.postNotification("otherName", "2");
    }
    center.postNotification("reloadTimer", "3");
    EXPECT_EQ(seen, (std::vector<std::string>{"reloadTimer:1"}));
    EXPECT_EQ(center.observerCount("reloadTimer"), 0u);
}

TEST_F(NotificationTest, ObserverRemovedDuringDeliveryIsNotCalled) {
    auto& center = NotificationCenter::defaultCenter();
    ObserverToken second;
    int firstCalls = 0, secondCalls = 0;
    auto first = center.addObserver("n", [&](const Notification&) {
        ++firstCalls;
        second.reset();
    });
    second = center.addObserver("n", [&](const Notification&) { ++secondCalls; });
    center.postNotification("n");
    EXPECT_EQ(firstCalls, 1);
    EXPECT_EQ(secondCalls, 0);
}

}  // namespace
