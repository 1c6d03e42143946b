#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Where the app keeps its files. Everything lives under one home folder:
// TIRRA_HOME when set, otherwise $XDG_DATA_HOME/tirra (~/.local/share/tirra).
//   home/Documents        documents folder (database, caches of downloads, language file)
//   home/Library/Caches   caches
//   home/Library/Preferences  the defaults store
//   home/tmp              temporary files
// Bundle resources come from TIRRA_RESOURCES, a "resources" folder beside the binary, or
// the source tree's src/resources, in that order.
class Paths {
public:
    static std::filesystem::path home();
    // Points the app at another home (tests: a fresh temp folder). Creates the folders.
    static void setHome(const std::filesystem::path& home);

    static std::filesystem::path documentsDirectory();
    static std::filesystem::path cachesDirectory();
    static std::filesystem::path preferencesDirectory();
    static std::filesystem::path temporaryDirectory();
    static std::filesystem::path resourcesDirectory();

    // Path of a bundle resource ("nodataImg.png", or name plus type); empty when missing.
    static std::filesystem::path resourcePath(const std::string& name, const std::string& type = "");

    // Text forms, as the app builds file names by appending to them.
    static std::string documentsPath() { return documentsDirectory().string(); }
};

}  // namespace platform
