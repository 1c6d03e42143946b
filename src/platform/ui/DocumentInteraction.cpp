#include "platform/ui/DocumentInteraction.h"

namespace platform {

namespace {
std::vector<DocumentInteraction::Offer>& documentOffers() {
    static std::vector<DocumentInteraction::Offer> offers;
    return offers;
}
}  // namespace

bool DocumentInteraction::presentOpenInMenu(const std::filesystem::path& file, const std::string& typeIdentifier) {
    documentOffers().push_back({file, typeIdentifier});
    return false;
}

const std::vector<DocumentInteraction::Offer>& DocumentInteraction::offers() { return documentOffers(); }

void DocumentInteraction::clearOffers() { documentOffers().clear(); }

}  // namespace platform
