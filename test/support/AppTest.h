#pragma once

#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace testing_support {

// Every test gets a fresh home folder (documents, caches, defaults), a manual clock, an
// empty main run loop and a quiet log. Time moves only when the test advances it.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Moves the manual clock forward, firing timers on the way.
    void advance(double seconds);
    // Turns the run loop until `condition` holds (real time bound); fails the test if not.
    bool pumpUntil(const std::function<bool()>& condition, double timeout = 10.0);

    std::filesystem::path home_;
    std::shared_ptr<platform::ManualClock> clock_;
};

}  // namespace testing_support
