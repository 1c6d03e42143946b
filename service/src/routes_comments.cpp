// Comments on feed posts: POST user/<user>/<post>/feedcomment with the text in the
// multipart part "msg", or a voice in the file part "audio" with its "duration"; "replyId"
// answers a comment of the post. A comment is answered as a whole comment record ("id",
// "uid", "name", "role", "content", "attachmentList", "createDate", "module", "moduleId";
// "msg" repeats the text as sent; "replyName" for an answer) and counted into its post
// when the post is one of the sample feed's. A voice becomes a new resource, named by the
// first entry of "attachmentList" ("resModuleId", "duration").
// GET user/<user>/comment/<comment>/delete removes one of the user's own comments, from
// a post of the feed or an item of another module: "success" 1, or 0 with "message".
#include "FeedStore.h"

#include <optional>

namespace sample_service {

void addCommentRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto store = FeedStore::of(service, dataDirectory);
    service.route("POST", "services/norvo/user/%@/%@/feedcomment", [&service, store](const RecordedRequest& request) {
        std::string text, voice, duration, replyId;
        bool hasVoice = false;
        for (auto& part : request.parts) {
            if (part.name == "msg") text = part.bytes;
            if (part.name == "audio") {
                voice = part.bytes;
                hasVoice = true;
            }
            if (part.name == "duration") duration = part.bytes;
            if (part.name == "replyId") replyId = part.bytes;
        }
        if (text.empty() && (!hasVoice || voice.empty())) return Reply::json({{"success", 0}, {"message", "评论内容不能为空"}});
        const std::string userId = request.arguments.at(0), postId = request.arguments.at(1);
        const auto user = service.data().userWithId(userId);
        std::lock_guard guard(store->mutex);
        nlohmann::json attachments = nlohmann::json::array();
        if (hasVoice) {
            const std::string resource = std::to_string(store->nextVoiceId++);
            store->voices[resource] = voice;
            long long seconds = 0;
            try {
                seconds = std::stoll(duration);
            } catch (...) {
            }
            attachments.push_back({{"resModuleId", resource}, {"duration", seconds}, {"type", "audio"}});
        }
        nlohmann::json comment = {{"id", store->nextCommentId++},
                                  {"uid", userId},
                                  {"name", user ? user->value("name", "") : ""},
                                  {"role", user ? user->value("role", "") : ""},
                                  {"content", text},
                                  {"msg", text},
                                  {"attachmentList", attachments},
                                  {"createDate", FeedStore::now()},
                                  {"module", "feed"},
                                  {"moduleId", postId}};
        long long id = 0;
        auto replied = [&](const nlohmann::json& comments) {
            for (const auto& each : comments)
                if (each.contains("id") && (each["id"].is_string() ? each["id"].get<std::string>() : each["id"].dump()) == replyId)
                    comment["replyName"] = each.value("name", "");
        };
        try {
            id = std::stoll(postId);
        } catch (...) {
        }
        if (nlohmann::json* post = store->find(id)) {
            nlohmann::json& comments = (*post)["comments"];
            if (!comments.is_array()) comments = nlohmann::json::array();
            if (!replyId.empty()) replied(comments);
            comments.insert(comments.begin(), comment);
            store->changed[id] = FeedStore::now();
        }
        return Reply::json({{"success", 1}, {"comment", comment}});
    });

    service.route("GET", "services/norvo/user/%@/comment/%@/delete", [store](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0), commentId = request.arguments.at(1);
        auto textOfId = [](const nlohmann::json& value) {
            return value.is_string() ? value.get<std::string>() : value.is_number() ? value.dump() : std::string();
        };
        // Removes the comment from `comments` when it is there; "" when it is the user's.
        auto removeFrom = [&](nlohmann::json& comments) -> std::optional<std::string> {
            if (!comments.is_array()) return std::nullopt;
            for (auto it = comments.begin(); it != comments.end(); ++it) {
                if (!it->is_object() || textOfId(it->value("id", nlohmann::json())) != commentId) continue;
                if (textOfId(it->value("uid", nlohmann::json())) != userId) return std::string("只能删除自己的评论");
                comments.erase(it);
                return std::string();
            }
            return std::nullopt;
        };
        std::lock_guard guard(store->mutex);
        std::optional<std::string> outcome;
        for (auto& post : store->posts) {
            if (!post.contains("comments")) continue;
            outcome = removeFrom(post["comments"]);
            if (outcome) {
                if (outcome->empty() && post.contains("id") && post["id"].is_number_integer())
                    store->changed[post["id"].get<long long>()] = FeedStore::now();
                break;
            }
        }
        for (auto it = store->otherComments.begin(); !outcome && it != store->otherComments.end(); ++it)
            outcome = removeFrom(it->second);
        if (!outcome) return Reply::json({{"success", 0}, {"message", "该评论已被删除"}});
        if (!outcome->empty()) return Reply::json({{"success", 0}, {"message", *outcome}});
        return Reply::json({{"success", 1}});
    });
}

}  // namespace sample_service
