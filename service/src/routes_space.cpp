// Personal spaces of the sample users (service/data/space.json beside feed.json):
//   GET  services/norvo/user/<viewer>/space/<owner>/feed/list   "limit", "page": the owner's
//        posts newest first, with "spaceInfo"; a space whose privacy keeps the viewer out
//        answers "feedError" beside "spaceInfo" and no posts
//   GET  services/norvo/user/<viewer>/space/<owner>/info        the profile's figures
//   GET  services/norvo/user/<viewer>/space/<owner>/decoration  honors: "get" and "no"
//   POST services/norvo/<viewer>/friend/<owner>/apply           "script": friendStatus 0
//   POST services/norvo/<viewer>/friend/<owner>/remove          friendStatus gone
//   GET  services/norvo/user/<user>/privacy                     spacePrivacy, messagePrivacy
//   POST services/norvo/user/<user>/privacy/update              the same, as form fields
//   POST services/norvo/user/<user>/cover/upload                "front" (a built-in cover id)
//        or an "image" part; answers the new cover version as plain text
//   GET  space/<owner>/frontcover                               the owner's cover picture
//   POST services/norvo/user/<user>/avatar/upload               "image" part (a picture):
//        served from then on as the user's avatar
//   POST services/norvo/user/<user>/update/status               "text" field: the signature
//   POST services/norvo/<user>/forum/set/update                 "set" field, a level 0-3
// The space's own posts join the feed store (shown in no class), so that votes, praise and
// comments on them work as on any post; their "ago" (seconds before the service started)
// becomes their dateline, so the timeline always has today, yesterday and last year.
#include "FeedStore.h"

#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <sstream>

namespace sample_service {

namespace {

constexpr std::size_t kLargestCover = 4u * 1024 * 1024;

std::string spaceText(const nlohmann::json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number_integer()) return std::to_string(value.get<long long>());
    return {};
}

bool spacePlainName(const std::string& name) {
    if (name.empty() || name[0] == '.' || name.size() > 80) return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'; });
}

// PNG or JPEG by its first bytes.
bool spaceLooksLikePicture(const std::string& bytes) {
    return bytes.rfind("\x89PNG\r\n\x1a\n", 0) == 0 || bytes.rfind("\xff\xd8\xff", 0) == 0;
}

// What the running service keeps of the spaces beside the feed store.
struct SpaceState {
    std::mutex mutex;
    nlohmann::json spaces = nlohmann::json::object();       // by user id
    std::map<std::pair<std::string, std::string>, int> friends;  // both orders
    nlohmann::json decorations = nlohmann::json::object();
    long long nextCoverVersion = 1767000100;

    std::optional<int> relation(const std::string& a, const std::string& b) const {
        auto found = friends.find({a, b});
        if (found == friends.end()) return std::nullopt;
        return found->second;
    }
    void setRelation(const std::string& a, const std::string& b, std::optional<int> status) {
        if (status) {
            friends[{a, b}] = *status;
            friends[{b, a}] = *status;
        } else {
            friends.erase({a, b});
            friends.erase({b, a});
        }
    }
    nlohmann::json& space(const std::string& id) {
        if (!spaces.contains(id)) spaces[id] = {{"spacePrivacy", 3}, {"messagePrivacy", 3}, {"viewCount", 0}};
        return spaces[id];
    }
};

bool shareClass(const nlohmann::json& a, const nlohmann::json& b) {
    std::stringstream first(a.value("classIds", ""));
    for (std::string item; std::getline(first, item, ',');) {
        std::stringstream second(b.value("classIds", ""));
        for (std::string other; std::getline(second, other, ',');)
            if (!item.empty() && item == other) return true;
    }
    return false;
}

// Whether the viewer may see the owner's space: 3 everyone, 2 class members and friends,
// 1 friends, 0 the owner alone.
bool maySee(SpaceState& state, const std::optional<nlohmann::json>& viewer, const std::optional<nlohmann::json>& owner,
            const std::string& viewerId, const std::string& ownerId) {
    if (viewerId == ownerId) return true;
    const int privacy = state.space(ownerId).value("spacePrivacy", 3);
    const bool friends = state.relation(viewerId, ownerId).value_or(0) > 0;
    if (privacy >= 3) return true;
    if (privacy == 2) return friends || (viewer && owner && shareClass(*viewer, *owner));
    if (privacy == 1) return friends;
    return false;
}

nlohmann::json statusOf(SpaceState& state, const std::string& viewerId, const std::string& ownerId) {
    auto relation = state.relation(viewerId, ownerId);
    return relation ? nlohmann::json(*relation) : nlohmann::json();
}

}  // namespace

void addSpaceRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto store = FeedStore::of(service, dataDirectory);
    auto state = std::make_shared<SpaceState>();
    const nlohmann::json data = readDataFile(dataDirectory, "space.json");
    const std::filesystem::path pictures = dataDirectory / "resources";
    if (data.is_object()) {
        if (data.contains("spaces") && data["spaces"].is_object()) state->spaces = data["spaces"];
        if (data.contains("decorations") && data["decorations"].is_object()) state->decorations = data["decorations"];
        for (const auto& pair : data.value("friends", nlohmann::json::array()))
            if (pair.is_array() && pair.size() == 3)
                state->setRelation(spaceText(pair[0]), spaceText(pair[1]), pair[2].get<int>());
        const long long now = FeedStore::now();
        std::lock_guard guard(store->mutex);
        for (auto post : data.value("posts", nlohmann::json::array())) {
            post["dateline"] = now - post.value("ago", 0LL);
            post.erase("ago");
            post["classId"] = "space";
            // Their ids (500 and up) stay clear of the class circle's, whose new posts keep
            // counting on from the circle's own.
            store->posts.push_back(post);
        }
    }

    service.route("GET", "services/norvo/user/%@/space/%@/feed/list", [&service, store, state](const RecordedRequest& request) {
        const std::string viewerId = request.arguments.at(0), ownerId = request.arguments.at(1);
        const auto viewer = service.data().userWithId(viewerId), owner = service.data().userWithId(ownerId);
        if (!owner) return Reply::json({{"success", 0}, {"message", "用户不存在"}});
        long long limit = 20, page = 1;
        try {
            limit = std::clamp(std::stoll(request.queryValue("limit").value_or("20")), 1LL, 50LL);
            page = std::max(1LL, std::stoll(request.queryValue("page").value_or("1")));
        } catch (...) {
        }
        std::lock_guard spaceGuard(state->mutex);
        nlohmann::json& space = state->space(ownerId);
        std::lock_guard guard(store->mutex);
        std::vector<const nlohmann::json*> own;
        for (const auto& post : store->posts)
            if (spaceText(post["uid"]) == ownerId) own.push_back(&post);
        std::stable_sort(own.begin(), own.end(), [](const nlohmann::json* a, const nlohmann::json* b) {
            return a->value("dateline", 0LL) > b->value("dateline", 0LL);
        });
        nlohmann::json info = {{"essayCount", own.size()},
                               {"viewCount", space.value("viewCount", 0)},
                               {"status", owner->value("status", "")},
                               {"role", owner->value("role", "")},
                               {"friendStatus", statusOf(*state, viewerId, ownerId)}};
        if (space.contains("dateline")) info["dateline"] = space["dateline"];
        if (!maySee(*state, viewer, owner, viewerId, ownerId))
            return Reply::json({{"spaceInfo", info}, {"feedError", "无访问权限"}});
        if (page == 1 && viewerId != ownerId) space["viewCount"] = space.value("viewCount", 0) + 1;
        nlohmann::json list = nlohmann::json::array();
        for (std::size_t i = std::size_t((page - 1) * limit); i < own.size() && list.size() < std::size_t(limit); ++i)
            list.push_back(store->present(*own[i], viewerId, service.baseUrl()));
        nlohmann::json reply = {{"spaceInfo", info}, {"list", list}, {"success", 1}};
        if (list.empty()) reply["message"] = "没有更多了";
        return Reply::json(reply);
    });

    service.route("GET", "services/norvo/user/%@/space/%@/info", [&service, store, state](const RecordedRequest& request) {
        const std::string viewerId = request.arguments.at(0), ownerId = request.arguments.at(1);
        const auto owner = service.data().userWithId(ownerId);
        if (!owner) return Reply::json({{"success", 0}, {"message", "用户不存在"}});
        const auto viewer = service.data().userWithId(viewerId);
        nlohmann::json reply = {{"success", 1},
                                {"id", ownerId},
                                {"uid", ownerId},
                                {"name", owner->value("name", "")},
                                {"role", owner->value("role", "")},
                                {"status", owner->value("status", "")}};
        for (const char* key : {"creditLevel", "creditLast", "creditGet"})
            if (owner->contains(key)) reply[key] = (*owner)[key];
        std::string classes;
        const nlohmann::json school = service.data().school();
        std::stringstream ids(owner->value("classIds", ""));
        for (std::string id; std::getline(ids, id, ',');)
            for (const auto& entry : school.value("classes", nlohmann::json::array()))
                if (entry.is_object() && spaceText(entry.value("classId", nlohmann::json(""))) == id)
                    classes += (classes.empty() ? "" : "，") + entry.value("name", "");
        if (!classes.empty()) reply["classNames"] = classes;
        std::lock_guard spaceGuard(state->mutex);
        if (auto relation = state->relation(viewerId, ownerId)) reply["friendStatus"] = *relation;
        if (!maySee(*state, viewer, owner, viewerId, ownerId)) {
            reply["feedError"] = "无访问权限";
        } else {
            std::lock_guard guard(store->mutex);
            for (auto it = store->posts.rbegin(); it != store->posts.rend(); ++it)
                if (spaceText((*it)["uid"]) == ownerId && (*it)["content"].is_string()) {
                    reply["feed"] = (*it)["content"];
                    break;
                }
        }
        return Reply::json(reply);
    });

    service.route("GET", "services/norvo/user/%@/space/%@/decoration", [state](const RecordedRequest& request) {
        std::lock_guard guard(state->mutex);
        return Reply::json(state->decorations.value(request.arguments.at(1),
                                                    nlohmann::json{{"get", nlohmann::json::array()},
                                                                   {"no", nlohmann::json::array()}}));
    });

    service.route("POST", "services/norvo/%@/friend/%@/apply", [&service, state](const RecordedRequest& request) {
        const std::string viewerId = request.arguments.at(0), ownerId = request.arguments.at(1);
        if (!service.data().userWithId(ownerId) || viewerId == ownerId)
            return Reply::json({{"success", 0}, {"message", "无法添加该用户"}});
        std::lock_guard guard(state->mutex);
        if (state->relation(viewerId, ownerId).value_or(0) > 0) return Reply::json({{"success", 0}, {"message", "已经是好友了"}});
        state->setRelation(viewerId, ownerId, 0);
        return Reply::json({{"success", 1}, {"message", "好友申请已发送"}});
    });

    service.route("POST", "services/norvo/%@/friend/%@/remove", [&service, state](const RecordedRequest& request) {
        const std::string viewerId = request.arguments.at(0), ownerId = request.arguments.at(1);
        const auto owner = service.data().userWithId(ownerId);
        std::lock_guard guard(state->mutex);
        if (!owner || state->relation(viewerId, ownerId).value_or(0) <= 0)
            return Reply::json({{"success", 0}, {"message", "不是好友"}});
        state->setRelation(viewerId, ownerId, std::nullopt);
        return Reply::json({{"success", 1},
                            {"id", ownerId},
                            {"name", owner->value("name", "")},
                            {"role", owner->value("role", "")}});
    });

    service.route("GET", "services/norvo/user/%@/privacy", [state](const RecordedRequest& request) {
        std::lock_guard guard(state->mutex);
        const nlohmann::json& space = state->space(request.arguments.at(0));
        return Reply::json({{"spacePrivacy", space.value("spacePrivacy", 3)},
                            {"messagePrivacy", space.value("messagePrivacy", 3)}});
    });

    service.route("POST", "services/norvo/user/%@/privacy/update", [state](const RecordedRequest& request) {
        std::lock_guard guard(state->mutex);
        nlohmann::json& space = state->space(request.arguments.at(0));
        for (const char* key : {"spacePrivacy", "messagePrivacy"}) {
            const auto value = request.formValue(key);
            if (!value) continue;
            if (*value != "0" && *value != "1" && *value != "2" && *value != "3")
                return Reply::json({{"success", 0}, {"message", "隐私设置无效"}});
            space[key] = std::stoi(*value);
        }
        return Reply::json({{"success", 1}});
    });

    service.route("POST", "services/norvo/user/%@/cover/upload", [state](const RecordedRequest& request) {
        std::lock_guard guard(state->mutex);
        nlohmann::json& space = state->space(request.arguments.at(0));
        std::string front;
        std::string image;
        for (const auto& part : request.parts) {
            if (part.name == "front") front = part.bytes;
            if (part.name == "image") image = part.bytes;
        }
        if (front.empty() && image.empty()) return Reply::text("{\"success\":false,\"message\":\"没有选择背景\"}",
                                                               "application/json; charset=utf-8");
        if (!front.empty()) {
            const int id = std::atoi(front.c_str());
            if (id < 151 || id > 158) return Reply::text("{\"success\":false,\"message\":\"背景不存在\"}",
                                                         "application/json; charset=utf-8");
            space["cover"] = "cover-" + std::to_string(id - 150);
            space.erase("uploaded");
        } else {
            space["uploaded"] = image;
        }
        space["dateline"] = state->nextCoverVersion++;
        return Reply::text(std::to_string(space["dateline"].get<long long>()));
    });

    service.route("GET", "space/%@/frontcover", [state, pictures](const RecordedRequest& request) {
        std::lock_guard guard(state->mutex);
        const nlohmann::json& space = state->space(request.arguments.at(0));
        if (space.contains("uploaded")) return Reply::text(space["uploaded"].get<std::string>(), "image/jpeg");
        const std::string cover = space.value("cover", "");
        if (!spacePlainName(cover)) return Reply::text("", "text/plain", 404);
        if (auto bytes = platform::readFile(pictures / "space" / (cover + ".png"), kLargestCover))
            return Reply::text(std::move(*bytes), "image/png");
        return Reply::text("", "text/plain", 404);
    });

    auto avatarBefore = service.handlerFor("GET", "account/%@/avatar");
    service.route("GET", "account/%@/avatar", [state, avatarBefore](const RecordedRequest& request) {
        {
            std::lock_guard guard(state->mutex);
            const nlohmann::json& space = state->space(request.arguments.at(0));
            if (space.contains("avatar")) return Reply::text(space["avatar"].get<std::string>(), "image/png");
        }
        return avatarBefore ? avatarBefore(request) : Reply::text("", "text/plain", 404);
    });
    service.route("POST", "services/norvo/user/%@/avatar/upload", [state](const RecordedRequest& request) {
        for (const auto& part : request.parts) {
            if (part.name != "image") continue;
            if (part.bytes.empty() || part.bytes.size() > kLargestCover || !spaceLooksLikePicture(part.bytes))
                return Reply::json({{"success", false}, {"message", "图片无效"}});
            std::lock_guard guard(state->mutex);
            state->space(request.arguments.at(0))["avatar"] = part.bytes;
            return Reply::json({{"success", true}});
        }
        return Reply::json({{"success", false}, {"message", "没有图片"}});
    });
    service.route("POST", "services/norvo/user/%@/update/status", [&service](const RecordedRequest& request) {
        for (const auto& part : request.parts)
            if (part.name == "text" && part.fileName.empty()) {
                const bool known = service.data().updateUser(
                    request.arguments.at(0), [&part](nlohmann::json& user) { user["status"] = part.bytes; });
                return known ? Reply::json({{"success", true}}) : Reply::json({{"success", false}, {"message", "用户不存在"}});
            }
        return Reply::json({{"success", false}, {"message", "没有签名"}});
    });
    service.route("POST", "services/norvo/%@/forum/set/update", [](const RecordedRequest& request) {
        for (const auto& part : request.parts)
            if (part.name == "set" && part.bytes.size() == 1 && part.bytes[0] >= '0' && part.bytes[0] <= '3')
                return Reply::json({{"success", true}});
        return Reply::json({{"success", false}, {"message", "权限无效"}});
    });
}

}  // namespace sample_service
