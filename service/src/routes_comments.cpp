// Comments on feed posts: every non-empty comment is stored and handed back.
#include "sample_service/SampleService.h"

#include <atomic>

namespace sample_service {

void addCommentRoutes(SampleService& service, const std::filesystem::path&) {
    service.route("POST", "services/norvo/user/%@/%@/feedcomment", [](const RecordedRequest& request) {
        static std::atomic<long long> nextId{1};
        std::string text;
        for (auto& part : request.parts)
            if (part.name == "msg") text = part.bytes;
        if (text.empty()) return Reply::json({{"success", 0}});
        nlohmann::json comment = {{"id", nextId++},
                                  {"uid", request.arguments.size() > 0 ? request.arguments[0] : ""},
                                  {"msg", text}};
        return Reply::json({{"success", 1}, {"comment", comment}});
    });
}

}  // namespace sample_service
