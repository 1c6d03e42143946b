#pragma once

#include <optional>
#include <string>

// Command line of the app:
//   tirra [--headless] [--script FILE] [--base-url URL] [--home DIR] [--size WxH]
struct HostOptions {
    bool headless = false;
    std::string script;
    std::string baseUrl;
    std::string home;
    double width = 320, height = 568;

    // nullopt and a message in `error` for a bad command line.
    static std::optional<HostOptions> parse(int argc, const char* const argv[], std::string& error);
    static const char* usage();
    // Applies the home folder, base address and screen size before the app starts.
    void apply() const;
};
