#include "HeadlessHost.h"

#include "ScriptRunner.h"
#include "platform/Application.h"
#include "platform/RunLoop.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/Window.h"

#include <csignal>
#include <iostream>

namespace {
volatile std::sig_atomic_t stopRequested = 0;
void onSignal(int) { stopRequested = 1; }
}  // namespace

int runHeadless(const HostOptions& options) {
    auto& app = platform::Application::shared();
    app.launch();
    auto window = platform::Window::keyWindowRef();
    if (!window) {
        std::cerr << "tirra: the app made no window\n";
        return 2;
    }
    if (!options.script.empty()) {
        platform::UiDriver driver(window);
        driver.pump();
        ScriptRunner runner(driver, std::cerr);
        int code = runner.runFile(options.script);
        app.terminate();
        return code;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    while (!stopRequested) platform::RunLoop::main().runOnce(0.1);
    app.terminate();
    return 0;
}
