#include "contacts/ContactsCacheStore.h"

#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/Paths.h"

#include <mutex>

using Json = nlohmann::json;

namespace {

// One lock for every read-modify-write of every user's contacts cache.
std::mutex& contactsCacheMutex() {
    static std::mutex mutex;
    return mutex;
}

// The cache is at most a few thousand people; a file far larger than that is no cache.
constexpr std::size_t kContactsCacheMaxBytes = 32u * 1024 * 1024;

bool isNullCacheText(const std::string& text) { return text.empty() || text == "<null>" || text == "(null)"; }

std::optional<std::string> readContactsText(const std::string& userId) {
    return platform::readFile(ContactsCacheStore::cachePath(userId), kContactsCacheMaxBytes);
}

bool writeContactsObject(const std::string& userId, const Json& object) {
    auto text = object.dump(2, ' ', false, Json::error_handler_t::replace);
    if (platform::writeFileAtomically(ContactsCacheStore::cachePath(userId), text)) return true;
    platform::logText("contacts cache: can't write the file of user " + userId);
    return false;
}

}  // namespace

std::filesystem::path ContactsCacheStore::cachePath(const std::string& userId) {
    return platform::Paths::documentsDirectory() / (userId + "_friendType_receivers");
}

std::optional<std::string> ContactsCacheStore::readText(const std::string& userId) {
    std::lock_guard lock(contactsCacheMutex());
    return readContactsText(userId);
}

std::optional<Json> ContactsCacheStore::readObject(const std::string& userId) {
    auto text = readText(userId);
    if (!text || isNullCacheText(*text)) return std::nullopt;
    auto object = Json::parse(*text, nullptr, false);
    if (!object.is_object()) return std::nullopt;
    return object;
}

bool ContactsCacheStore::writeObject(const std::string& userId, const Json& object) {
    if (!object.is_object()) return false;
    std::lock_guard lock(contactsCacheMutex());
    return writeContactsObject(userId, object);
}

Json ContactsCacheStore::friendEntry(const Json& name, const Json& role, const Json& userId) {
    // A value missing from a record is stored as null, never as a discarded value.
    auto stored = [](const Json& value) { return value.is_discarded() ? Json(nullptr) : value; };
    return Json{{"name", stored(name)}, {"role", stored(role)}, {"userId", stored(userId)}};
}

ContactsCacheStore::FriendChange ContactsCacheStore::changeFriends(const std::string& userId, bool nonObjectAsEmpty,
                                                                   const std::function<bool(Json& friends)>& change) {
    std::lock_guard lock(contactsCacheMutex());
    auto text = readContactsText(userId);
    if (!text || isNullCacheText(*text)) return FriendChange::NoCache;
    auto object = Json::parse(*text, nullptr, false);
    if (!object.is_object()) {
        if (!nonObjectAsEmpty) return FriendChange::Unchanged;
        object = Json::object();
    }
    Json friends = Json::array();
    if (auto found = object.find("friend"); found != object.end() && found->is_array()) friends = *found;
    if (!change(friends)) return FriendChange::Unchanged;
    object["friend"] = std::move(friends);
    return writeContactsObject(userId, object) ? FriendChange::Written : FriendChange::WriteFailed;
}

ContactsCacheStore::FriendChange ContactsCacheStore::addFriendOnce(const std::string& userId, const Json& entry) {
    return changeFriends(userId, true, [&](Json& friends) {
        for (const auto& element : friends)
            if (element == entry) return false;
        friends.push_back(entry);
        return true;
    });
}

ContactsCacheStore::FriendChange ContactsCacheStore::appendFriend(const std::string& userId, const Json& entry) {
    return changeFriends(userId, true, [&](Json& friends) {
        friends.push_back(entry);
        return true;
    });
}

ContactsCacheStore::FriendChange ContactsCacheStore::removeFriend(const std::string& userId, const Json& entry) {
    return changeFriends(userId, false, [&](Json& friends) {
        Json kept = Json::array();
        for (const auto& element : friends)
            if (element != entry) kept.push_back(element);
        if (kept.size() == friends.size()) return false;
        friends = std::move(kept);
        return true;
    });
}
