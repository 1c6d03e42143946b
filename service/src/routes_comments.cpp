// Comments on feed posts: POST user/<user>/<post>/feedcomment with the text in the
// multipart part "msg". A non-empty comment is answered as a whole comment record
// ("id", "uid", "name", "role", "content", "attachmentList", "createDate", "module",
// "moduleId"; "msg" repeats the text as sent) and counted into its post when the post is
// one of the sample feed's.
#include "FeedStore.h"

namespace sample_service {

void addCommentRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto store = FeedStore::of(service, dataDirectory);
    service.route("POST", "services/norvo/user/%@/%@/feedcomment", [&service, store](const RecordedRequest& request) {
        std::string text;
        for (auto& part : request.parts)
            if (part.name == "msg") text = part.bytes;
        if (text.empty()) return Reply::json({{"success", 0}});
        const std::string userId = request.arguments.at(0), postId = request.arguments.at(1);
        const auto user = service.data().userWithId(userId);
        std::lock_guard guard(store->mutex);
        nlohmann::json comment = {{"id", store->nextCommentId++},
                                  {"uid", userId},
                                  {"name", user ? user->value("name", "") : ""},
                                  {"role", user ? user->value("role", "") : ""},
                                  {"content", text},
                                  {"msg", text},
                                  {"attachmentList", nlohmann::json::array()},
                                  {"createDate", FeedStore::now()},
                                  {"module", "feed"},
                                  {"moduleId", postId}};
        long long id = 0;
        try {
            id = std::stoll(postId);
        } catch (...) {
        }
        if (nlohmann::json* post = store->find(id)) {
            nlohmann::json& comments = (*post)["comments"];
            if (!comments.is_array()) comments = nlohmann::json::array();
            comments.insert(comments.begin(), comment);
            store->changed[id] = FeedStore::now();
        }
        return Reply::json({{"success", 1}, {"comment", comment}});
    });
}

}  // namespace sample_service
