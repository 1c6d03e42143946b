// Posts: publishing a post of the class circle. The multipart body is kept (the request
// record holds its parts) and the answer is the new post's number, a text that is not 0.
// The post joins the sample feed (in the author's first class) with its text and its
// visibility; its pictures and voice are not kept.
#include "FeedStore.h"

#include <sstream>

namespace sample_service {

void addPostRoutes(SampleService& service) {
    auto store = FeedStore::of(service, service.options().dataDirectory);
    service.route("POST", "services/norvo/postMessage/essay/%@/publish", [&service, store](const RecordedRequest& request) {
        if (request.arguments.empty() || request.arguments[0].empty() || request.parts.empty())
            return Reply::text("0");
        const std::string userId = request.arguments[0];
        const auto user = service.data().userWithId(userId);
        std::map<std::string, std::string> fields;
        for (const auto& part : request.parts)
            if (part.fileName.empty()) fields[part.name] = part.bytes;
        std::string classId = "all";
        if (user) std::getline(std::stringstream(user->value("classIds", "")), classId, ',');
        std::lock_guard guard(store->mutex);
        const long long id = store->nextPostId++;
        nlohmann::json post = {{"id", id},
                               {"uid", userId},
                               {"name", user ? user->value("name", "") : ""},
                               {"role", user ? user->value("role", "") : ""},
                               {"dateline", FeedStore::now()},
                               {"type", "essay"},
                               {"title", ""},
                               {"content", fields["content"]},
                               {"perm", fields["permission"]},
                               {"classId", classId.empty() ? "all" : classId},
                               {"attachments", nlohmann::json::array()},
                               {"links", nlohmann::json::array()},
                               {"praisers", nlohmann::json::array()},
                               {"comments", nlohmann::json::array()}};
        store->posts.push_back(post);
        return Reply::text(std::to_string(id));
    });
}

}  // namespace sample_service
