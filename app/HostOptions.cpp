#include "HostOptions.h"

#include "shell/InternationalControl.h"

#include "platform/Paths.h"
#include "platform/PhotoLibrary.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Screen.h"

#include <cstdio>
#include <cstdlib>

const char* HostOptions::usage() {
    return "usage: tirra [--headless] [--script FILE] [--base-url URL] [--home DIR] [--size WxH] [--dump FILE]";
}

std::optional<HostOptions> HostOptions::parse(int argc, const char* const argv[], std::string& error) {
    HostOptions o;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char* name) -> std::optional<std::string> {
            if (i + 1 >= argc) {
                error = std::string(name) + " needs a value";
                return std::nullopt;
            }
            return std::string(argv[++i]);
        };
        if (arg == "--headless") {
            o.headless = true;
        } else if (arg == "--script") {
            auto v = value("--script");
            if (!v) return std::nullopt;
            o.script = *v;
        } else if (arg == "--base-url") {
            auto v = value("--base-url");
            if (!v) return std::nullopt;
            if (v->rfind("http://", 0) != 0 && v->rfind("https://", 0) != 0) {
                error = "--base-url must start with http:// or https://";
                return std::nullopt;
            }
            o.baseUrl = *v;
            if (o.baseUrl.back() != '/') o.baseUrl += '/';
        } else if (arg == "--dump") {
            auto v = value("--dump");
            if (!v) return std::nullopt;
            o.dumpFile = *v;
        } else if (arg == "--home") {
            auto v = value("--home");
            if (!v) return std::nullopt;
            o.home = *v;
        } else if (arg == "--size") {
            auto v = value("--size");
            if (!v) return std::nullopt;
            double w = 0, h = 0;
            char x = 0;
            if (std::sscanf(v->c_str(), "%lf%c%lf", &w, &x, &h) != 3 || (x != 'x' && x != 'X') || w < 100 ||
                h < 100 || w > 4000 || h > 4000) {
                error = "--size wants WIDTHxHEIGHT in points, e.g. 320x568";
                return std::nullopt;
            }
            o.width = w;
            o.height = h;
        } else if (arg == "--help" || arg == "-h") {
            error = usage();
            return std::nullopt;
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    if (!o.dumpFile.empty() && o.headless) {
        error = "--dump is for the window; a headless script has its own dump command";
        return std::nullopt;
    }
    if (!o.script.empty() && !o.headless) {
        error = "--script runs headless: add --headless";
        return std::nullopt;
    }
    return o;
}

void HostOptions::apply() const {
    if (!home.empty()) {
        setenv("TIRRA_HOME", home.c_str(), 1);
        platform::Paths::setHome(home);
    }
    if (!baseUrl.empty()) setenv("TIRRA_BASE_URL", baseUrl.c_str(), 1);
    platform::Screen::mainScreen().setSize({width, height});
    // The photo library shows the pictures and videos of a folder, as the camera shows its
    // frames: <home>/Media/PhotoLibrary unless another folder is named.
    const char* folder = std::getenv(platform::PhotoLibrary::kFolderVariable);
    platform::ImagePickerController::setSourceFiles(
        platform::ImagePickerSourceType::PhotoLibrary,
        platform::PhotoLibrary::assetsInFolder(folder ? std::filesystem::path(folder)
                                                      : platform::Paths::home() / platform::PhotoLibrary::kHomeFolder));
    followInterfaceLanguage();
}

void HostOptions::followInterfaceLanguage() {
    platform::Keyboard::shared().setLanguageSource([] { return InternationalControl::bundle()->code(); });
}
