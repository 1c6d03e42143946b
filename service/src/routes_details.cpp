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
//   GET  services/norvo/<user>/praise/<module>/<id>/users   the praisers ("uid", "name",
//        "role")
//   GET  services/norvo/<user>/relative/<page>/list     the reactions to the user, pages
//        of 10 from 1, newest first; "type" ("relative", "comment", "like",
//        "comment_like") keeps one kind. Page 1 clears the user's relevant count of the poll
//   GET  services/norvo/praise/<user>/user/<page>      the praise of the user's items, pages
//        of 15 from 1 (30 records of several modules)
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


constexpr long long kReactionsPage = 10;
constexpr long long kPraiseMePage = 15;

// Page `page` (from 1) of `size` entries.
nlohmann::json pageNumbered(const nlohmann::json& all, long long page, long long size) {
    nlohmann::json shown = nlohmann::json::array();
    if (page < 1) return shown;
    for (long long i = (page - 1) * size; i < page * size && i < (long long)all.size(); ++i) shown.push_back(all[i]);
    return shown;
}

struct SampleReaction {
    const char* type;
    const char* uid;
    long long postId;
    const char* comment;
    const char* voice;        // resource id of a voice comment
    const char* resourceId;   // the quoted post's picture, mood or video
    const char* isImage;
};

// Twenty-five reactions to the sample teacher's posts, newest first: faces, lines,
// a voice comment, quotes with pictures, a mood, an honour picture and a video.
nlohmann::json sampleReactions(FeedStore& store, SampleService& service) {
    static const SampleReaction kReactions[] = {
        {"comment", "2001", 9, "王老师，我选了两个答案[em:12:]", "", "", ""},
        {"like", "1002", 9, "", "", "", ""},
        {"relative", "2003", 5, "@王老师 照片拍得真好</br>下次还想去", "", "881001", "1"},
        {"comment", "3001", 1, "收到，孩子会按时完成[em:3:]", "", "", ""},
        {"comment_like", "2004", 1, "我也觉得[em:5:]", "", "", ""},
        {"comment", "2001", 7, "", "880001", "", ""},
        {"like", "2003", 5, "", "", "881002", "1"},
        {"comment", "1002", 15, "文件已下载</br>谢谢王老师</br>[em:1:]", "", "", ""},
        {"relative", "9001", 19, "恭喜获得新勋章", "", "", ""},
        {"comment", "2004", 20, "相册里有我[em:8:]", "", "881004", "1"},
        {"like", "3001", 1, "", "", "", ""},
        {"comment", "2003", 29, "明天见", "", "53", "1"},
        {"relative", "2001", 38, "@王老师 请看这个视频", "", "881005", "0"},
        {"comment_like", "1002", 9, "投票结果出来了吗", "", "", ""},
        {"comment", "2001", 5, "这张是我拍的", "", "881003", "1"},
        {"like", "2004", 15, "", "", "", ""},
        {"comment", "3001", 7, "", "880001", "", ""},
        {"relative", "2003", 1, "@王老师 好的", "", "", ""},
        {"comment", "1002", 29, "<b>加粗</b>的字&amp;符号", "", "", ""},
        {"like", "2001", 20, "", "", "881006", "1"},
        {"comment_like", "2003", 38, "我也参加", "", "", ""},
        {"comment", "9001", 9, "请大家都来投票[em:20:]", "", "", ""},
        {"relative", "2004", 29, "@王老师 收到", "", "", ""},
        {"like", "1002", 1, "", "", "", ""},
        {"comment", "2001", 15, "null", "", "", ""},
    };
    nlohmann::json all = nlohmann::json::array();
    long long id = 7001;
    long long dateline = 1767800000;
    for (const auto& reaction : kReactions) {
        const auto user = service.data().userWithId(reaction.uid);
        const nlohmann::json* post = store.find(reaction.postId);
        nlohmann::json record = {{"id", std::to_string(id++)},
                                 {"uid", reaction.uid},
                                 {"name", user ? user->value("name", "") : ""},
                                 {"role", user ? user->value("role", "") : ""},
                                 {"type", reaction.type},
                                 {"dateline", std::to_string(dateline)},
                                 {"feedId", std::to_string(reaction.postId)},
                                 {"likeCount", "0"},
                                 {"love", "0"},
                                 {"commentCount", "0"}};
        dateline -= 3600;
        if (*reaction.comment) record["comment"] = reaction.comment;
        if (*reaction.voice) record["commentAudoResourceId"] = reaction.voice;
        if (*reaction.resourceId) {
            record["resourceId"] = reaction.resourceId;
            record["isImage"] = reaction.isImage;
        }
        if (post) {
            const std::string type = post->value("type", "");
            record["feedType"] = type;
            record["fname"] = post->value("name", "");
            record["attachments"] = post->value("attachments", nlohmann::json::array());
            std::string message = post->value("content", "");
            if (message.empty() && post->contains("vote") && (*post)["vote"].is_object())
                message = (*post)["vote"].value("title", "");
            if (type == "decoration") {
                const std::string img = (*post)["decoration"].value("img", "");
                record["decorationPicPath"] = "/static/images/honor/" + img;
            }
            if (!message.empty()) record["message"] = message;
        }
        all.push_back(record);
    }
    return all;
}

// Thirty praises of the sample teacher's items, newest first, of several modules.
nlohmann::json samplePraiseOfMe(SampleService& service) {
    static const char* const kPraisers[] = {"2001", "2003", "3001", "1002", "2004", "9001"};
    struct Item {
        const char* module;
        const char* id;
        const char* resourceId;
    };
    // Items of other modules that the item route knows (school-circle.json), and a few it
    // does not.
    static const Item kItems[] = {{"feed", "9", ""},           {"feed", "5", "881001"},   {"course_quiz", "504", ""},
                                  {"class_notice", "503", ""},  {"feed", "1", ""},         {"course_doc", "502", ""},
                                  {"feed", "20", "881004"},     {"pm", "507", ""},          {"course_image", "4301", "55"},
                                  {"post_message", "5201", ""}, {"feed", "29", ""},        {"course_homework", "4401", ""},
                                  {"course_video", "4501", ""}, {"feed", "38", ""},        {"course_forum", "4601", ""}};
    nlohmann::json all = nlohmann::json::array();
    long long dateline = 1767790000;
    for (int i = 0; i < 30; ++i) {
        const Item& item = kItems[i % 15];
        const char* uid = kPraisers[i % 6];
        const auto user = service.data().userWithId(uid);
        nlohmann::json record = {{"id", 8001 + i},
                                 {"uid", uid},
                                 {"name", user ? user->value("name", "") : ""},
                                 {"role", user ? user->value("role", "") : ""},
                                 {"dateline", dateline},
                                 {"module_type", item.module},
                                 {"module_type_id", item.id}};
        if (*item.resourceId) record["resourceId"] = item.resourceId;
        dateline -= 1800;
        all.push_back(record);
    }
    return all;
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

    service.route("GET", "services/norvo/%@/praise/%@/%@/users", [&service, store](const RecordedRequest& request) {
        std::lock_guard guard(store->mutex);
        if (request.arguments.at(1) != "feed") return Reply::json(nlohmann::json::array());
        const nlohmann::json* stored = store->find(detailsNumber(request.arguments.at(2)));
        nlohmann::json praisers = nlohmann::json::array();
        if (!stored) return Reply::json(praisers);
        for (nlohmann::json praiser : stored->value("praisers", nlohmann::json::array())) {
            const auto user = service.data().userWithId(detailsText(praiser.value("uid", nlohmann::json())));
            if (user && !praiser.contains("role")) praiser["role"] = user->value("role", "");
            praisers.push_back(praiser);
        }
        return Reply::json(praisers);
    });

    // The sample teacher has three new reactions until the list's first page is read.
    {
        std::lock_guard guard(store->mutex);
        if (!store->relevant.contains("1001"))
            store->relevant["1001"] = {{"count", 3}, {"users", nlohmann::json::array({"2001", "1002"})}};
    }
    service.route("GET", "services/norvo/%@/relative/%@/list", [&service, store](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0);
        const long long page = detailsNumber(request.arguments.at(1));
        const std::string type = request.queryValue("type").value_or("");
        std::lock_guard guard(store->mutex);
        if (page == 1 && store->relevant.contains(userId)) store->relevant[userId]["count"] = 0;
        nlohmann::json kept = nlohmann::json::array();
        for (const auto& reaction : sampleReactions(*store, service))
            if (type.empty() || reaction.value("type", "") == type) kept.push_back(reaction);
        return Reply::json(pageNumbered(kept, page, kReactionsPage));
    });

    service.route("GET", "services/norvo/praise/%@/user/%@", [&service](const RecordedRequest& request) {
        return Reply::json(pageNumbered(samplePraiseOfMe(service), detailsNumber(request.arguments.at(1)),
                                        kPraiseMePage));
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
