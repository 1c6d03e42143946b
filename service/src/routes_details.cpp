// The post detail screen's routes over the sample feed:
//   GET  services/norvo/user/<user>/feed/<post>/stateCount   the post's counts: "success"
//        (0 when there is no such post), "commentCount", "likeCount", "love", "content",
//        "shareContent" and "likeUser" (the praisers' names joined by ",")
//   GET  services/norvo/<module>/<id>/comments/1     a page of comments, newest first:
//        the first page without parameters, later ones with "limit" and
//        "maxIdNotIncludeSelf"; "{base}" in a comment becomes the service's base address
//   POST services/norvo/user/<user>/<module>/<id>/comment   a comment on an item of
//        another module: form "msg" and "replyId"
//   POST services/norvo/user/<user>/share/<post>      forwards a post: multipart "message"
//        and "permission"; the feed gains a "share" post of the user
//   GET  services/norvo/user/<user>/feed/<post>/message/delete   deletes the user's post
//   GET  services/norvo/<user>/praise/<module>/<id>/users   the praisers
//   GET  resource/<id>/download                        also the voices of new comments
#include "FeedStore.h"

#include <algorithm>

namespace sample_service {

namespace {

constexpr std::size_t kDetailsPageSize = 15;

std::string detailsText(const nlohmann::json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number_integer()) return std::to_string(value.get<long long>());
    return {};
}

long long detailsNumber(const std::string& text) {
    try {
        return std::stoll(text);
    } catch (...) {
        return 0;
    }
}

std::string withBase(std::string text, const std::string& baseUrl) {
    for (std::size_t at = text.find("{base}"); at != std::string::npos; at = text.find("{base}", at))
        text.replace(at, 6, baseUrl);
    return text;
}

// A page of a newest-first list: the first `limit` entries, or those after `maxId`.
nlohmann::json pageOf(const nlohmann::json& comments, const RecordedRequest& request, const std::string& baseUrl) {
    const auto limitText = request.queryValue("limit");
    const std::size_t limit = limitText ? std::size_t(std::clamp<long long>(detailsNumber(*limitText), 1, 50))
                                        : kDetailsPageSize;
    const auto maxId = request.queryValue("maxIdNotIncludeSelf");
    nlohmann::json page = nlohmann::json::array();
    if (!comments.is_array()) return page;
    for (const auto& comment : comments) {
        if (maxId && detailsNumber(detailsText(comment.value("id", nlohmann::json()))) >= detailsNumber(*maxId))
            continue;
        if (page.size() >= limit) break;
        nlohmann::json shown = comment;
        if (shown.contains("content") && shown["content"].is_string())
            shown["content"] = withBase(shown["content"].get<std::string>(), baseUrl);
        page.push_back(shown);
    }
    return page;
}

}  // namespace

void addDetailsRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto store = FeedStore::of(service, dataDirectory);

    service.route("GET", "services/norvo/user/%@/feed/%@/stateCount", [store](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0);
        std::lock_guard guard(store->mutex);
        const nlohmann::json* stored = store->find(detailsNumber(request.arguments.at(1)));
        if (!stored) return Reply::json({{"success", 0}});
        const nlohmann::json post = store->present(*stored, userId, "");
        std::string names;
        for (const auto& praiser : post.value("likeUsers", nlohmann::json::array()))
        {
            if (!names.empty()) names += ',';
            names += praiser.value("name", "");
        }
        nlohmann::json reply = {{"success", 1},
                                {"commentCount", post["commentCount"]},
                                {"likeCount", post["likeCount"]},
                                {"love", post["love"]},
                                {"content", ""}};
        if (post.contains("share") && post["share"].is_object())
            reply["shareContent"] = post["share"].value("content", nlohmann::json(""));
        if (!names.empty()) reply["likeUser"] = names;
        return Reply::json(reply);
    });

    service.route("GET", "services/norvo/%@/%@/comments/1", [&service, store](const RecordedRequest& request) {
        const std::string module = request.arguments.at(0), id = request.arguments.at(1);
        std::lock_guard guard(store->mutex);
        if (module == "feed") {
            const nlohmann::json* stored = store->find(detailsNumber(id));
            if (!stored) return Reply::json(nlohmann::json::array());
            return Reply::json(pageOf(stored->value("comments", nlohmann::json::array()), request, service.baseUrl()));
        }
        return Reply::json(pageOf(store->otherComments[module + "/" + id], request, service.baseUrl()));
    });

    service.route("POST", "services/norvo/user/%@/%@/%@/comment", [&service, store](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0), module = request.arguments.at(1),
                          id = request.arguments.at(2);
        const std::string text = request.formValue("msg").value_or("");
        if (text.empty()) return Reply::json({{"success", 0}});
        const auto user = service.data().userWithId(userId);
        std::lock_guard guard(store->mutex);
        nlohmann::json comment = {{"id", store->nextCommentId++},
                                  {"uid", userId},
                                  {"name", user ? user->value("name", "") : ""},
                                  {"message", text},
                                  {"dateline", FeedStore::now()},
                                  {"moduleType", module},
                                  {"moduleTypeId", id}};
        nlohmann::json row = {{"id", comment["id"]},         {"uid", userId},
                              {"name", comment["name"]},     {"role", user ? user->value("role", "") : ""},
                              {"content", text},             {"attachmentList", nlohmann::json::array()},
                              {"createDate", comment["dateline"]}, {"module", module}, {"moduleId", id}};
        nlohmann::json& list = store->otherComments[module + "/" + id];
        if (!list.is_array()) list = nlohmann::json::array();
        list.insert(list.begin(), row);
        return Reply::json({{"success", 1}, {"comment", comment}});
    });

    service.route("POST", "services/norvo/user/%@/share/%@", [&service, store](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0);
        std::string message, permission = "-1";
        for (const auto& part : request.parts) {
            if (part.name == "message") message = part.bytes;
            if (part.name == "permission") permission = part.bytes;
        }
        const auto user = service.data().userWithId(userId);
        if (!user) return Reply::json({{"success", 0}, {"message", "用户不存在"}});
        std::lock_guard guard(store->mutex);
        const nlohmann::json* original = store->find(detailsNumber(request.arguments.at(1)));
        if (!original) return Reply::json({{"success", 0}, {"message", "该动态已被删除"}});
        const std::string originalText = original->value("content", "");
        nlohmann::json forwarded = {{"id", store->nextPostId++},
                                    {"uid", detailsNumber(userId)},
                                    {"name", user->value("name", "")},
                                    {"role", user->value("role", "")},
                                    {"dateline", FeedStore::now()},
                                    {"type", "share"},
                                    {"title", ""},
                                    {"content", message},
                                    {"classId", original->value("classId", nlohmann::json("all"))},
                                    {"attachments", original->value("attachments", nlohmann::json::array())},
                                    {"links", nlohmann::json::array()},
                                    {"praisers", nlohmann::json::array()},
                                    {"comments", nlohmann::json::array()},
                                    {"perm", detailsNumber(permission)},
                                    {"share", {{"name", original->value("name", "")}, {"content", originalText}}}};
        store->changed[forwarded["id"].get<long long>()] = FeedStore::now();
        store->posts.push_back(forwarded);
        return Reply::json({{"success", 1}});
    });

    service.route("GET", "services/norvo/user/%@/feed/%@/message/delete", [store](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0);
        const long long id = detailsNumber(request.arguments.at(1));
        std::lock_guard guard(store->mutex);
        auto& posts = store->posts;
        for (auto it = posts.begin(); it != posts.end(); ++it) {
            if (detailsNumber(detailsText((*it)["id"])) != id) continue;
            if (detailsText((*it)["uid"]) != userId) return Reply::json({{"success", 0}, {"message", "只能删除自己的动态"}});
            posts.erase(it);
            return Reply::json({{"success", 1}});
        }
        return Reply::json({{"success", 0}, {"message", "该内容已被删除"}});
    });

    service.route("GET", "services/norvo/%@/praise/%@/%@/users", [store](const RecordedRequest& request) {
        std::lock_guard guard(store->mutex);
        if (request.arguments.at(1) != "feed") return Reply::json(nlohmann::json::array());
        const nlohmann::json* stored = store->find(detailsNumber(request.arguments.at(2)));
        return Reply::json(stored ? stored->value("praisers", nlohmann::json::array()) : nlohmann::json::array());
    });

    // Voices of comments sent meanwhile; every other resource as the resource routes have it.
    auto resources = service.handlerFor("GET", "resource/%@/download");
    service.route("GET", "resource/%@/download", [store, resources](const RecordedRequest& request) {
        {
            std::lock_guard guard(store->mutex);
            auto found = store->voices.find(request.arguments.at(0));
            if (found != store->voices.end()) return Reply::text(found->second, "audio/amr");
        }
        return resources ? resources(request) : Reply::text(kResourceNotFound, "text/plain; charset=utf-8");
    });
}

}  // namespace sample_service
