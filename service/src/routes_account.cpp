// Accounts: sign-in with a user name and a password from the sample users, and the
// new-item poll of a signed-in user.
#include "sample_service/SampleService.h"

namespace sample_service {

namespace {

// What the service tells about a user after a good sign-in: everything but the
// credentials, plus the picture server address on this service.
nlohmann::json signInReply(const nlohmann::json& user, const std::string& baseUrl) {
    nlohmann::json reply = user;
    reply.erase("userName");
    reply.erase("password");
    if (!reply.contains("vfsUrl")) reply["vfsUrl"] = baseUrl + "vfs/";
    return reply;
}

}  // namespace

void addAccountRoutes(SampleService& service, const std::filesystem::path&) {
    // GET auth/<user name>/<password>?noSchoolLogin=true
    service.route("GET", "services/norvo/auth/%@/%@", [&service](const RecordedRequest& request) {
        const std::string& userName = request.arguments.at(0);
        const std::string& password = request.arguments.at(1);
        if (auto user = service.data().userWithCredentials(userName, password))
            return Reply::json(signInReply(*user, service.baseUrl()));
        // A refusal is an ordinary reply without the user's fields.
        return Reply::json({{"success", 0}, {"message", "用户名或密码错误"}});
    });

    // GET user/<user id>/new/count: the new-item poll. The sample school is quiet: nothing
    // new for anyone.
    service.route("GET", "services/norvo/user/%@/new/count", [](const RecordedRequest&) {
        return Reply::json({{"success", 1},
                            {"newNotice", false},
                            {"newHomework", false},
                            {"newPm", 0},
                            {"pmid", nullptr},
                            {"newFeed", 0},
                            {"users", nlohmann::json::array()},
                            {"count", 0},
                            {"newExam", false},
                            {"newMicro", false},
                            {"newApply", false}});
    });
}

}  // namespace sample_service
