#pragma once

// The people a post may mention, as the mention picker shows them and the tab bar fetches
// them ahead: the service's list, each entry given a sort key "firstName", sorted by that
// key and kept per user in the documents folder ("<user id>_postList.txt", JSON, UTF-8).

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

// The sort key of a name: the name in lower case, each Chinese character replaced by the
// first letter of its Mandarin reading, so that the names fall into the sections "#" and
// "A" to "Z". The first character, when it gives no letter a to z, becomes "#". "张三"
// gives "zs", "Tom" "tom", "1班" "#b" and "Émile" "#mile"; no name gives "#".
//
// A character that is neither ASCII nor one of the Chinese characters with a reading
// (accented letters, other scripts, symbols outside the basic plane) is kept whole, so the
// key stays valid UTF-8.
std::string recipientFirstName(const std::string& name);

// The list to show and keep for a service reply: every dictionary of the reply, in reply
// order, with "firstName" added from its "name" (a number is read as its text), then sorted
// by "firstName" (plain byte order, so "#" comes first; equal keys keep reply order).
// Anything but a list gives an empty list; entries that are not dictionaries are left out.
nlohmann::json recipientListFromReply(const nlohmann::json& reply);

// "<documents>/<user id>_postList.txt".
std::filesystem::path recipientCachePath(const std::string& userId);
// The cached list, or an empty list when there is none or it is not a list of dictionaries
// (a broken file counts as no cache).
nlohmann::json readRecipientCache(const std::string& userId);
// Replaces the cache file atomically; false when it could not be written.
bool writeRecipientCache(const std::string& userId, const nlohmann::json& list);
