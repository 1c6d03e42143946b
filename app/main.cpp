// The app's entry point: reads the command line, hands control to the application
// delegate through the window or headless host, and returns the host's exit code.
#include "DemoApp.h"
#include "HeadlessHost.h"
#include "HostOptions.h"
#include "WindowHost.h"
#include "platform/Application.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    std::string error;
    auto options = HostOptions::parse(argc, argv, error);
    if (!options) {
        std::cerr << "tirra: " << error << "\n" << HostOptions::usage() << "\n";
        return 2;
    }
    options->apply();
    if (options->headless) setenv("ALSOFT_DRIVERS", "null", 0);

    platform::Application::shared().setDelegate(std::make_shared<DemoAppDelegate>());
    return options->headless ? runHeadless(*options) : runInWindow(*options);
}
