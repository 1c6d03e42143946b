#pragma once

#include <optional>
#include <string>

// Command line of the app:
//   tirra [--headless] [--script FILE] [--base-url URL] [--home DIR] [--size WxH]
//         [--dump FILE]
// --dump: the window host writes what it shows (the app's state, the window's scale and
// the visible view tree as JSON) to FILE each time it receives SIGUSR1.
struct HostOptions {
    bool headless = false;
    std::string script;
    std::string dumpFile;
    std::string baseUrl;
    std::string home;
    double width = 320, height = 568;

    // nullopt and a message in `error` for a bad command line.
    static std::optional<HostOptions> parse(int argc, const char* const argv[], std::string& error);
    static const char* usage();
    // Applies the home folder, base address and screen size before the app starts, and
    // lets the keyboard title its keys in the interface language.
    void apply() const;
    // The keyboard's key titles follow the interface language.
    static void followInterfaceLanguage();
};
