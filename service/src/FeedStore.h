#pragma once

// The sample school's posts (service/data/feed.json) as the feed routes change them while
// the service runs: praise, votes, comments and published posts. Shared by the routes of
// the feed, the comments and publishing; one store per service, held by their routes.

#include "sample_service/SampleService.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace sample_service {

class FeedStore {
public:
    // The store of `service`, made from the data folder on first use.
    static std::shared_ptr<FeedStore> of(SampleService& service, const std::filesystem::path& dataDirectory);

    explicit FeedStore(const std::filesystem::path& dataDirectory);

    std::mutex mutex;
    // Stored posts, oldest first; the service-only keys: "classId" ("11", "12" or "all"),
    // "square" (shown in the school circle), "praisers" [{uid, name}] and "comments"
    // (newest first).
    nlohmann::json posts = nlohmann::json::array();
    // New-item counts of relevant items by user id: {"count", "users"}.
    nlohmann::json relevant = nlohmann::json::object();
    // Users who answered each vote.
    std::map<std::string, std::set<std::string>> voters;
    // When each post last changed (seconds since 1970), for the refresh's changed counts.
    std::map<long long, long long> changed;
    long long nextPostId = 1;
    long long nextCommentId = 1000;
    // Voices of comments sent while the service runs, by resource id ("audio" parts).
    std::map<std::string, std::string> voices;
    long long nextVoiceId = 890001;
    // Comments on items of other modules, newest first, by "<module>/<id>".
    std::map<std::string, nlohmann::json> otherComments;

    // The stored post with the id (under the lock); nullptr when there is none.
    nlohmann::json* find(long long id);
    // The post as a user receives it: counts, the user's praise, the first comments,
    // "{base}" in link addresses made the service's base address.
    nlohmann::json present(const nlohmann::json& stored, const std::string& userId, const std::string& baseUrl) const;
    // Whether the user (its classes) sees the post.
    static bool visibleTo(const nlohmann::json& stored, const nlohmann::json& user);
    static long long now();
};

}  // namespace sample_service
