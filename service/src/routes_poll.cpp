// What the signed-in app asks for beside the new-item poll: the level and points of a user
// (from the sample users).
#include "sample_service/SampleService.h"

namespace sample_service {

void addPollRoutes(SampleService& service, const std::filesystem::path&) {
    // GET user/<user id>/space/<user id>/info?refresh=true
    service.route("GET", "services/norvo/user/%@/space/%@/info", [&service](const RecordedRequest& request) {
        const std::string& id = request.arguments.at(1);
        for (const auto& user : service.data().users()) {
            if (user.value("userId", "") != id) continue;
            nlohmann::json reply = {{"success", 1}, {"status", user.value("status", "")}};
            for (const char* key : {"creditLevel", "creditLast", "creditGet"})
                if (user.contains(key)) reply[key] = user[key];
            return Reply::json(reply);
        }
        return Reply::json({{"success", 0}, {"message", "用户不存在"}});
    });
}

}  // namespace sample_service
