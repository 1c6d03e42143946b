#include "core/RecipientList.h"

#include "core/PinyinInitial.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Values.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>

namespace {

// The Chinese characters the reading table covers.
bool hasReading(UChar32 c) { return c >= 0x4E00 && c <= 0x9FA5; }

// A cache larger than this is not a list the service sent.
constexpr std::size_t kMaxCacheBytes = 32u * 1024 * 1024;

}  // namespace

std::string recipientFirstName(const std::string& name) {
    icu::UnicodeString lower = icu::UnicodeString::fromUTF8(name);
    lower.toLower(icu::Locale::getRoot());
    std::string key;
    bool first = true;
    for (int32_t at = 0; at < lower.length(); at = lower.moveIndex32(at, 1)) {
        const UChar32 c = lower.char32At(at);
        std::string piece;
        if (c < 0x80) {
            piece.push_back(static_cast<char>(c));
        } else if (hasReading(c)) {
            piece.push_back(static_cast<char>(pinyinInitialOfCharacter(static_cast<char16_t>(c))));
        } else {
            icu::UnicodeString(c).toUTF8String(piece);
        }
        const bool isLetter = piece.size() == 1 && piece[0] >= 'a' && piece[0] <= 'z';
        if (first && !isLetter)
            key.push_back('#');
        else
            key.append(piece);
        first = false;
    }
    return key.empty() ? "#" : key;
}

nlohmann::json recipientListFromReply(const nlohmann::json& reply) {
    nlohmann::json list = nlohmann::json::array();
    if (!reply.is_array()) return list;
    for (const auto& entry : reply) {
        if (!entry.is_object()) continue;
        nlohmann::json item = entry;
        const auto name = entry.find("name");
        const bool named = name != entry.end() && (name->is_string() || name->is_number());
        item["firstName"] = recipientFirstName(named ? platform::textOf(*name) : "");
        list.push_back(std::move(item));
    }
    std::stable_sort(list.begin(), list.end(), [](const nlohmann::json& a, const nlohmann::json& b) {
        return a["firstName"].get_ref<const std::string&>() < b["firstName"].get_ref<const std::string&>();
    });
    return list;
}

std::filesystem::path recipientCachePath(const std::string& userId) {
    return platform::Paths::documentsDirectory() / (userId + "_postList.txt");
}

nlohmann::json readRecipientCache(const std::string& userId) {
    const auto text = platform::readFile(recipientCachePath(userId), kMaxCacheBytes);
    if (!text) return nlohmann::json::array();
    auto list = nlohmann::json::parse(*text, nullptr, false);
    if (!list.is_array()) return nlohmann::json::array();
    for (const auto& entry : list)
        if (!entry.is_object()) return nlohmann::json::array();
    return list;
}

bool writeRecipientCache(const std::string& userId, const nlohmann::json& list) {
    return platform::writeFileAtomically(recipientCachePath(userId),
                                         list.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}
