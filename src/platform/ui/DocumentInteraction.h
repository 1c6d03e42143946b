#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// The open-in menu: offers a file, with its type identifier, to other programs. Here no
// program is installed to take files, so presenting answers false; every offer is
// recorded so that tests can read back what was handed over.
class DocumentInteraction {
public:
    struct Offer {
        std::filesystem::path file;
        std::string typeIdentifier;
    };
    // Answers whether some program offered to open the file.
    static bool presentOpenInMenu(const std::filesystem::path& file, const std::string& typeIdentifier);
    static const std::vector<Offer>& offers();
    static void clearOffers();
};

}  // namespace platform
