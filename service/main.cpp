// tirra-sample-service --port N --data DIR
// Serves the sample data on 127.0.0.1 until stopped (Ctrl-C).
#include "sample_service/SampleService.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

int main(int argc, char** argv) {
    int port = 8860;
    std::filesystem::path data = sample_service::SampleService::defaultDataDirectory();
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--port" && i + 1 < argc) {
            port = std::atoi(argv[++i]);
        } else if (argument == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--port N] [--data DIR]\n", argv[0]);
            return 2;
        }
    }
    if (port < 0 || port > 65535) {
        std::fprintf(stderr, "bad port %d\n", port);
        return 2;
    }

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // before the server's threads start

    sample_service::SampleService service({data, true, false});
    if (!service.start(port)) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::printf("sample service on %s (data %s)\n", service.baseUrl().c_str(), data.c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&signals, &signal);
    service.stop();
    return 0;
}
