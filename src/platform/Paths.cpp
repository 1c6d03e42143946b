#include "platform/Paths.h"

#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {

namespace {
std::mutex pathsMutex;
fs::path& homeSlot() {
    static fs::path home;
    return home;
}

fs::path defaultHome() {
    if (const char* env = std::getenv("TIRRA_HOME"); env && *env) return env;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return fs::path(xdg) / "tirra";
    const char* user = std::getenv("HOME");
    return fs::path(user && *user ? user : "/tmp") / ".local/share/tirra";
}

void makeFolders(const fs::path& home) {
    std::error_code ec;
    for (auto sub : {"Documents", "Library/Caches", "Library/Preferences", "tmp"})
        fs::create_directories(home / sub, ec);
}

fs::path executableFolder() {
    std::error_code ec;
    auto exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}
}  // namespace

fs::path Paths::home() {
    std::lock_guard lock(pathsMutex);
    if (homeSlot().empty()) {
        homeSlot() = defaultHome();
        makeFolders(homeSlot());
    }
    return homeSlot();
}

void Paths::setHome(const fs::path& home) {
    std::lock_guard lock(pathsMutex);
    homeSlot() = home;
    makeFolders(home);
}

fs::path Paths::documentsDirectory() { return home() / "Documents"; }
fs::path Paths::cachesDirectory() { return home() / "Library/Caches"; }
fs::path Paths::preferencesDirectory() { return home() / "Library/Preferences"; }
fs::path Paths::temporaryDirectory() { return home() / "tmp"; }

fs::path Paths::resourcesDirectory() {
    if (const char* env = std::getenv("TIRRA_RESOURCES"); env && *env) return env;
    std::error_code ec;
    if (auto beside = executableFolder() / "resources"; fs::is_directory(beside, ec)) return beside;
#ifdef TIRRA_SOURCE_RESOURCES
    return TIRRA_SOURCE_RESOURCES;
#else
    return "resources";
#endif
}

fs::path Paths::resourcePath(const std::string& name, const std::string& type) {
    std::string file = type.empty() ? name : name + "." + type;
    if (file.empty() || file.find("..") != std::string::npos) return {};
    std::error_code ec;
    auto root = resourcesDirectory();
    for (auto candidate : {root / file, root / "images" / file}) {
        if (fs::is_regular_file(candidate, ec)) return candidate;
    }
    return {};
}

}  // namespace platform
