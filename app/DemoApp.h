#pragma once

#include "platform/Application.h"

#include <memory>

namespace platform {
class Window;
}

// The first screen until the application shell takes over the launch: a navigation
// screen with Chinese labels, a table and a button that opens an alert, made only of the
// platform's own classes.
class DemoAppDelegate : public platform::ApplicationDelegate {
public:
    bool didFinishLaunching(const nlohmann::json& options) override;
    std::shared_ptr<platform::Window> window() const { return window_; }

private:
    std::shared_ptr<platform::Window> window_;
};
