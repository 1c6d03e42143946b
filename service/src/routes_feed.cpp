// The class circle of the sample school, and its pictures:
//   GET  services/norvo/feed/<user>/list/1             the posts the user sees, newest first:
//        "limit", "maxIdNotIncludeSelf" (older pages), "minIdNotIncludeSelf" (a refresh:
//        its first element carries "updateTime", "totalCount" and "updateData", the posts
//        changed since "dateline"), "filter" ("user:me", "user:student", "user:teacher",
//        "type:<kind>", "square:school": every class circle post of the user's school, each
//        with the "classId" of its class unless it is for the whole school)
//   GET  services/norvo/user/<user>/feed/<post>/praise  praises or withdraws the praise
//   POST services/norvo/user/<user>/save/vote/<vote>/answer  "answerIds" ("a,b")
//   GET  services/norvo/user/<user>/refresh/<vote>/vote
//   GET  services/norvo/user/<user>/new/count          new posts above "feedId", the
//        relevant-to-me count and its users
//   GET  resource/view/img_thumb/<id>?size=m|big        a post picture's thumbnail
//   GET  vfs/<folder>/transpic/<name>                   the file server's copy
//   GET  account/<user>/avatar                          an author's avatar
//   GET  static/images/honor/<name>                     a badge picture
// Pictures are the files under resources/feed of the data folder (scripts/gen-sample-resources).
#include "FeedStore.h"

#include "platform/Files.h"

#include <algorithm>
#include <chrono>
#include <cctype>
#include <sstream>

namespace sample_service {

namespace {

constexpr std::size_t kLargestPicture = 4u * 1024 * 1024;

std::string textOfValue(const nlohmann::json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number_integer()) return std::to_string(value.get<long long>());
    if (value.is_number()) return std::to_string(value.get<double>());
    return {};
}

long long numberOf(const std::optional<std::string>& text) {
    if (!text) return 0;
    try {
        return std::stoll(*text);
    } catch (...) {
        return 0;
    }
}

long long idOf(const nlohmann::json& post) {
    const auto& id = post.contains("id") ? post["id"] : nlohmann::json();
    return id.is_number_integer() ? id.get<long long>() : numberOf(textOfValue(id));
}

// A name that may name a picture file: letters, digits, "_", "-" and "." (not first).
bool plainName(const std::string& name) {
    if (name.empty() || name[0] == '.' || name.size() > 80) return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'; });
}

Reply picture(const std::filesystem::path& file) {
    if (auto bytes = platform::readFile(file, kLargestPicture)) return Reply::text(std::move(*bytes), "image/png");
    return Reply::text("", "text/plain", 404);
}

// One store per running service: the routes that share it hold it.
std::mutex registryMutex;
std::map<const SampleService*, std::weak_ptr<FeedStore>> registry;

bool matchesFilter(const nlohmann::json& post, const std::string& filter, const std::string& userId) {
    if (filter.empty()) return true;
    if (filter == "user:me") return textOfValue(post["uid"]) == userId;
    if (filter == "user:student" || filter == "user:teacher") return post.value("role", "") == filter.substr(5);
    if (filter.rfind("type:", 0) == 0) return post.value("type", "") == filter.substr(5);
    // The school circle: every post of the school, other classes included.
    if (filter == "square:school") return true;
    return false;
}

// The class a post was written for ("11"), or "" for a post of the whole school; posts
// kept for other lists (personal spaces "space", album photos "album:<class>") have none
// and nullopt.
std::optional<std::string> classOf(const nlohmann::json& stored) {
    const std::string classId = stored.value("classId", "all");
    if (classId == "all") return "";
    const bool number = !classId.empty() && std::all_of(classId.begin(), classId.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
    return number ? std::optional<std::string>(classId) : std::nullopt;
}

// The vote as the user sees it: the results once the user has voted.
nlohmann::json voteFor(const FeedStore& store, nlohmann::json vote, const std::string& userId) {
    auto voted = store.voters.find(textOfValue(vote["id"]));
    if (voted != store.voters.end() && voted->second.count(userId)) vote["showResult"] = 1;
    return vote;
}

}  // namespace

FeedStore::FeedStore(const std::filesystem::path& dataDirectory) {
    nlohmann::json data = readDataFile(dataDirectory, "feed.json");
    if (data.is_object()) {
        if (data.contains("posts") && data["posts"].is_array()) posts = data["posts"];
        if (data.contains("relevant") && data["relevant"].is_object()) relevant = data["relevant"];
    }
    for (const auto& post : posts) {
        nextPostId = std::max(nextPostId, idOf(post) + 1);
        if (post.contains("comments"))
            for (const auto& comment : post["comments"]) nextCommentId = std::max(nextCommentId, idOf(comment) + 1);
    }
}

std::shared_ptr<FeedStore> FeedStore::of(SampleService& service, const std::filesystem::path& dataDirectory) {
    std::lock_guard guard(registryMutex);
    for (auto it = registry.begin(); it != registry.end();)
        it = it->second.expired() ? registry.erase(it) : std::next(it);
    if (auto existing = registry[&service].lock()) return existing;
    auto store = std::make_shared<FeedStore>(dataDirectory);
    registry[&service] = store;
    return store;
}

long long FeedStore::now() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

nlohmann::json* FeedStore::find(long long id) {
    for (auto& post : posts)
        if (idOf(post) == id) return &post;
    return nullptr;
}

bool FeedStore::visibleTo(const nlohmann::json& stored, const nlohmann::json& user) {
    const std::string classId = stored.value("classId", "all");
    if (classId == "all") return true;
    std::stringstream classes(user.value("classIds", ""));
    for (std::string item; std::getline(classes, item, ',');)
        if (item == classId) return true;
    return false;
}

nlohmann::json FeedStore::present(const nlohmann::json& stored, const std::string& userId,
                                  const std::string& baseUrl) const {
    nlohmann::json post = stored;
    for (const char* key : {"classId", "square", "praisers", "comments"}) post.erase(key);
    const nlohmann::json praisers = stored.value("praisers", nlohmann::json::array());
    const nlohmann::json comments = stored.value("comments", nlohmann::json::array());
    bool praised = false;
    for (const auto& praiser : praisers)
        if (textOfValue(praiser["uid"]) == userId) praised = true;
    post["likeCount"] = praisers.size();
    post["love"] = praised ? 1 : 0;
    post["likeUsers"] = praisers;
    post["commentCount"] = comments.size();
    nlohmann::json latest = nlohmann::json::array();
    for (std::size_t i = 0; i < comments.size() && i < 3; ++i) latest.push_back(comments[i]);
    post["comments"] = latest;
    if (textOfValue(stored["uid"]) != userId) post.erase("perm");
    if (post.contains("vote") && post["vote"].is_object()) post["vote"] = voteFor(*this, post["vote"], userId);
    if (post.contains("links") && post["links"].is_array())
        for (auto& link : post["links"]) {
            std::string url = link.value("url", "");
            if (url.rfind("{base}", 0) == 0) link["url"] = baseUrl + url.substr(6);
        }
    return post;
}

void addFeedRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto store = FeedStore::of(service, dataDirectory);
    const std::filesystem::path pictures = dataDirectory / "resources" / "feed";

    service.route("GET", "services/norvo/feed/%@/list/1", [&service, store](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0);
        const auto user = service.data().userWithId(userId);
        if (!user) return Reply::json(nlohmann::json::array());
        if (request.queryValue("filter").value_or("") == "square:school" && user->value("schoolId", "").empty())
            return Reply::json(nlohmann::json::array());
        const long long limit = std::clamp<long long>(numberOf(request.queryValue("limit")), 1, 50);
        const auto maxId = request.queryValue("maxIdNotIncludeSelf");
        const auto minId = request.queryValue("minIdNotIncludeSelf");
        const std::string filter = request.queryValue("filter").value_or("");
        std::lock_guard guard(store->mutex);
        std::vector<const nlohmann::json*> seen;
        for (auto it = store->posts.rbegin(); it != store->posts.rend(); ++it) {
            const long long id = idOf(*it);
            if (maxId && id >= numberOf(maxId)) continue;
            if (minId && id <= numberOf(minId)) continue;
            if (filter == "square:school" ? !classOf(*it) : !FeedStore::visibleTo(*it, *user)) continue;
            if (!matchesFilter(*it, filter, userId)) continue;
            seen.push_back(&*it);
        }
        nlohmann::json reply = nlohmann::json::array();
        for (std::size_t i = 0; i < seen.size() && i < std::size_t(limit); ++i) {
            nlohmann::json shown = store->present(*seen[i], userId, service.baseUrl());
            // The school circle says which class a post came from; posts for the whole
            // school name none.
            if (filter == "square:school")
                if (const auto classId = classOf(*seen[i]); classId && !classId->empty()) shown["classId"] = *classId;
            reply.push_back(std::move(shown));
        }
        if (!minId || !filter.empty()) return Reply::json(reply);

        // A refresh of the class circle: what changed since the given time, in the first element.
        const long long since = numberOf(request.queryValue("dateline"));
        nlohmann::json updates = nlohmann::json::array();
        for (const auto& post : store->posts) {
            const long long id = idOf(post);
            auto changed = store->changed.find(id);
            if (id > numberOf(minId) || changed == store->changed.end() || changed->second < since) continue;
            if (!FeedStore::visibleTo(post, *user)) continue;
            const nlohmann::json shown = store->present(post, userId, service.baseUrl());
            std::string names;
            for (const auto& praiser : shown["likeUsers"]) {
                if (!names.empty()) names += ',';
                names += praiser.value("name", "");
            }
            updates.push_back({{"id", id},
                               {"commentCount", shown["commentCount"]},
                               {"likeCount", shown["likeCount"]},
                               {"love", shown["love"]},
                               {"likeUsers", names},
                               {"comments", shown["comments"]}});
        }
        nlohmann::json summary = {{"updateTime", std::to_string(FeedStore::now())},
                                  {"totalCount", std::to_string(seen.size())}};
        if (!updates.empty()) summary["updateData"] = updates;
        if (reply.empty()) return Reply::json(nlohmann::json::array({summary}));
        reply[0].update(summary);
        return Reply::json(reply);
    });

    service.route("GET", "services/norvo/user/%@/feed/%@/praise", [&service, store](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0);
        const auto user = service.data().userWithId(userId);
        std::lock_guard guard(store->mutex);
        nlohmann::json* post = store->find(numberOf(request.arguments.at(1)));
        if (!post) return Reply::json({{"success", 0}, {"message", "该内容已被删除"}});
        nlohmann::json& praisers = (*post)["praisers"];
        if (!praisers.is_array()) praisers = nlohmann::json::array();
        auto own = std::find_if(praisers.begin(), praisers.end(),
                                [&](const nlohmann::json& praiser) { return textOfValue(praiser["uid"]) == userId; });
        const bool love = own == praisers.end();
        if (love)
            praisers.insert(praisers.begin(),
                            nlohmann::json{{"uid", userId}, {"name", user ? user->value("name", "") : ""}});
        else
            praisers.erase(own);
        store->changed[idOf(*post)] = FeedStore::now();
        return Reply::json({{"success", 1}, {"message", ""}, {"count", praisers.size()}, {"love", love ? 1 : 0}});
    });

    service.route("POST", "services/norvo/user/%@/save/vote/%@/answer", [store](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0), voteId = request.arguments.at(1);
        std::vector<std::string> answers;
        std::stringstream ids(request.formValue("answerIds").value_or(""));
        for (std::string id; std::getline(ids, id, ',');)
            if (!id.empty()) answers.push_back(id);
        std::lock_guard guard(store->mutex);
        for (auto& post : store->posts) {
            if (!post.contains("vote") || textOfValue(post["vote"]["id"]) != voteId) continue;
            nlohmann::json& vote = post["vote"];
            if (store->voters[voteId].count(userId)) return Reply::json({{"success", 0}, {"message", "您已经投过票了"}});
            const long long limit = vote.value("answerLimit", -1);
            if (answers.empty() || (limit > 0 && (long long)answers.size() != limit))
                return Reply::json({{"success", 0}, {"message", "请按要求选择"}});
            for (const auto& answer : answers) {
                auto& list = vote["answerList"];
                auto found = std::find_if(list.begin(), list.end(),
                                          [&](const nlohmann::json& entry) { return textOfValue(entry["id"]) == answer; });
                if (found == list.end()) return Reply::json({{"success", 0}, {"message", "投票选项不存在"}});
            }
            for (auto& entry : vote["answerList"])
                if (std::find(answers.begin(), answers.end(), textOfValue(entry["id"])) != answers.end())
                    entry["count"] = entry.value("count", 0) + 1;
            vote["count"] = vote.value("count", 0) + 1;
            store->voters[voteId].insert(userId);
            store->changed[idOf(post)] = FeedStore::now();
            return Reply::json({{"success", 1}, {"vote", voteFor(*store, vote, userId)}});
        }
        return Reply::json({{"success", 0}, {"message", "投票不存在"}});
    });

    service.route("GET", "services/norvo/user/%@/refresh/%@/vote", [store](const RecordedRequest& request) {
        std::lock_guard guard(store->mutex);
        for (const auto& post : store->posts)
            if (post.contains("vote") && textOfValue(post["vote"]["id"]) == request.arguments.at(1))
                return Reply::json({{"success", 1}, {"vote", voteFor(*store, post["vote"], request.arguments.at(0))}});
        return Reply::json({{"success", 0}, {"message", "投票不存在"}});
    });

    service.route("GET", "services/norvo/user/%@/new/count", [&service, store](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0);
        const auto user = service.data().userWithId(userId);
        const long long newest = numberOf(request.queryValue("feedId"));
        std::lock_guard guard(store->mutex);
        long long fresh = 0;
        for (const auto& post : store->posts)
            if (user && idOf(post) > newest && FeedStore::visibleTo(post, *user)) ++fresh;
        const nlohmann::json relevant = store->relevant.value(userId, nlohmann::json::object());
        return Reply::json({{"success", 1},
                            {"newFeed", fresh},
                            {"count", relevant.value("count", 0)},
                            {"users", relevant.value("users", nlohmann::json::array())}});
    });

    service.route("GET", "resource/view/img_thumb/%@", [pictures](const RecordedRequest& request) {
        const std::string id = request.arguments.at(0);
        return plainName(id) ? picture(pictures / (id + ".png")) : Reply::text("", "text/plain", 404);
    });
    service.route("GET", "vfs/%@/transpic/%@", [pictures](const RecordedRequest& request) {
        // "<resName><size suffix><thumbSuffix>": the picture is named by the part before the first dot.
        const std::string name = request.arguments.at(1).substr(0, request.arguments.at(1).find('.'));
        return plainName(name) ? picture(pictures / (name + ".png")) : Reply::text("", "text/plain", 404);
    });
    service.route("GET", "account/%@/avatar", [pictures](const RecordedRequest& request) {
        const std::string id = request.arguments.at(0);
        return plainName(id) ? picture(pictures / ("avatar-" + id + ".png")) : Reply::text("", "text/plain", 404);
    });
    service.route("GET", "static/images/honor/%@", [pictures](const RecordedRequest& request) {
        const std::string name = request.arguments.at(0);
        return plainName(name) ? picture(pictures / "honor" / name) : Reply::text("", "text/plain", 404);
    });
}

}  // namespace sample_service
