#include "platform/Reachability.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace platform;

namespace {

class ReachabilityTest : public ::testing::Test {
protected:
    void TearDown() override {
        Reachability::setOverride(std::nullopt);
        unsetenv("TIRRA_OFFLINE");
    }
};

TEST_F(ReachabilityTest, OverrideReplacesTheMachineReadingUntilCleared) {
    Reachability::setOverride(ReachabilityState::viaCellular());
    ReachabilityState state = Reachability::current();
    EXPECT_TRUE(state.readable);
    EXPECT_TRUE(state.reachable);
    EXPECT_TRUE(state.cellular);
    EXPECT_FALSE(state.wifi);

    Reachability::setOverride(ReachabilityState::unreadable());
    EXPECT_FALSE(Reachability::current().readable);

    Reachability::setOverride(std::nullopt);
    ReachabilityState machine = Reachability::readSystem();
    ReachabilityState current = Reachability::current();
    EXPECT_EQ(current.reachable, machine.reachable);
    EXPECT_EQ(current.wifi, machine.wifi);
}

TEST_F(ReachabilityTest, MachineReadingIsConsistent) {
    ReachabilityState state = Reachability::readSystem();
    EXPECT_TRUE(state.readable);
    EXPECT_FALSE(state.connectionRequired);
    // WiFi or cellular only ever come with a usable connection.
    if (state.wifi || state.cellular) {
        EXPECT_TRUE(state.reachable);
    }
}

TEST_F(ReachabilityTest, OfflineEnvironmentForcesTheMachineReadingOffline) {
    setenv("TIRRA_OFFLINE", "1", 1);
    ReachabilityState state = Reachability::readSystem();
    EXPECT_TRUE(state.readable);
    EXPECT_FALSE(state.reachable);
    EXPECT_FALSE(state.wifi);
}

}  // namespace
