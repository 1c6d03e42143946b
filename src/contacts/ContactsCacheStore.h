#pragma once

// The contacts cache: the file "<user id>_friendType_receivers" in the documents folder,
// one per signed-in user id. It holds the last classified receiver list the service sent
// (a JSON object whose "friend" key is an array of friend entries {"name", "role",
// "userId"}; the other keys are the other relationship groups), written pretty-printed
// as UTF-8 and atomically (a reader sees the old file or the new one, never half).
//
// Several screens rewrite it: the contact list writes whole replies, the message centre
// adds the person of a first-message conversation, the friend requests screen appends an
// accepted friend, and the profile page removes a deleted friend from a background
// thread. Every read-modify-write goes through this one store, which serialises them
// with one lock, so two writers never lose each other's change (no "last writer wins").
//
// Safe on any thread. Nothing here posts notifications: the callers do.

#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class ContactsCacheStore {
public:
    ContactsCacheStore() = delete;

    // What a change of the "friend" list did.
    enum class FriendChange {
        NoCache,      // no file, or its text is empty, "<null>" or "(null)": nothing written
        Unchanged,    // the change left the list as it was: nothing written
        Written,      // the whole object was written back
        WriteFailed,  // the write failed; the file keeps its old content
    };

    // Documents/<userId>_friendType_receivers.
    static std::filesystem::path cachePath(const std::string& userId);

    // The file's text; nothing when it is missing or cannot be read.
    static std::optional<std::string> readText(const std::string& userId);
    // The file parsed as a JSON object; nothing when missing, empty, null text or not an
    // object.
    static std::optional<nlohmann::json> readObject(const std::string& userId);

    // Replaces the file with a whole reply (the contact list after a fetch). Only a JSON
    // object is written; anything else writes nothing and answers false.
    static bool writeObject(const std::string& userId, const nlohmann::json& object);

    // The friend entry {"name", "role", "userId"} the writers compare and store.
    static nlohmann::json friendEntry(const nlohmann::json& name, const nlohmann::json& role,
                                      const nlohmann::json& userId);

    // Appends `entry` to the "friend" list unless an equal entry (same keys and values)
    // is already there (the message centre). Text that is not a JSON object counts as
    // an empty object, so the file then holds only the "friend" list with the entry.
    static FriendChange addFriendOnce(const std::string& userId, const nlohmann::json& entry);
    // Appends `entry` at the end of the "friend" list without looking for an earlier one
    // (the friend requests screen). Non-object text counts as an empty object too.
    static FriendChange appendFriend(const std::string& userId, const nlohmann::json& entry);
    // Removes every element of the "friend" list equal to `entry` (the profile page after
    // deleting a friend). Text that is not a JSON object is left as it is (Unchanged).
    static FriendChange removeFriend(const std::string& userId, const nlohmann::json& entry);

    // The general form of the three above: under the store's lock, reads the object
    // (`nonObjectAsEmpty`: text that is no JSON object counts as {} instead of leaving
    // the file alone), hands its "friend" array (none counts as empty) to `change`, and
    // when `change` answers true stores the array back under "friend" and writes the
    // whole object. Every other key stays as it was.
    static FriendChange changeFriends(const std::string& userId, bool nonObjectAsEmpty,
                                      const std::function<bool(nlohmann::json& friends)>& change);
};
