// Registration of new users: the check of the account text ("registerValidate") and the
// registration by role ("register/<role>"). Registered users are kept in the shared data,
// so they can sign in afterwards like the sample users.
#include "sample_service/SampleService.h"

#include <string>

namespace sample_service {

namespace {

bool blank(const std::optional<std::string>& value) {
    return !value || value->find_first_not_of(' ') == std::string::npos;
}

// True when a user already signs in with the text, or has it as a mobile number.
bool accountTaken(SampleService& service, const std::string& text) {
    if (service.data().userWithName(text)) return true;
    for (const auto& user : service.data().users())
        if (user.value("mobile", "") == text) return true;
    return false;
}

bool knownSchool(const nlohmann::json& school, const std::string& schoolId) {
    if (school.value("schoolId", "") == schoolId) return true;
    // Further schools, when the data lists them, as the school search gives them.
    if (school.contains("schools") && school["schools"].is_array())
        for (const auto& other : school["schools"])
            if (other.is_object() && other.value("id", "") == schoolId) return true;
    return false;
}

Reply refusal(const std::string& message) { return Reply::json({{"success", 0}, {"message", message}}); }

// What the service tells about a new account: the user as a sign-in would, without the
// credentials and without a "success" key.
nlohmann::json accountReply(nlohmann::json user, const std::string& baseUrl) {
    user.erase("userName");
    user.erase("password");
    if (!user.contains("vfsUrl")) user["vfsUrl"] = baseUrl + "vfs/";
    return user;
}

}  // namespace

void addRegisterRoutes(SampleService& service) {
    // POST registerValidate, form "mobile" or "username": is the account text still free?
    service.route("POST", "services/norvo/registerValidate", [&service](const RecordedRequest& request) {
        auto mobile = request.formValue("mobile");
        auto userName = request.formValue("username");
        const bool byMobile = !blank(mobile);
        if (!byMobile && blank(userName)) return refusal("请输入手机号或用户名");
        const std::string text = byMobile ? *mobile : *userName;
        if (accountTaken(service, text)) return refusal(byMobile ? "该手机号已被注册" : "该用户名已被注册");
        return Reply::json({{"success", 1}});
    });

    // POST register/<role>: teachers give their school and wait for its approval; students
    // start without a school; parents join the school and class of the child whose access
    // code they give.
    service.route("POST", "services/norvo/register/%@", [&service](const RecordedRequest& request) {
        const std::string& role = request.arguments.at(0);
        if (role != "teacher" && role != "student" && role != "parent") return refusal("角色不正确");
        const std::string accountKey = role == "student" ? "username" : "mobile";
        auto account = request.formValue(accountKey);
        auto password = request.formValue("password");
        auto name = request.formValue("name");
        if (blank(account) || blank(password) || blank(name)) return refusal("注册信息不完整");
        if (accountTaken(service, *account)) return refusal("该账号已被注册");

        nlohmann::json user{{"userName", *account},
                            {"password", *password},
                            {"name", *name},
                            {"role", role},
                            {"status", ""},
                            {"schoolId", ""},
                            {"classIds", ""},
                            {"ecampus", 0},
                            {"apps", ""},
                            {"creditLevel", "0"},
                            {"creditLast", "0"},
                            {"creditGet", "0"},
                            {"loadingLatestTime", 0}};
        if (auto email = request.formValue("email"); !blank(email)) user["email"] = *email;
        if (role == "student") {
            if (auto mobile = request.formValue("mobile"); !blank(mobile)) {
                if (accountTaken(service, *mobile)) return refusal("该手机号已被注册");
                user["mobile"] = *mobile;
            }
        } else {
            user["mobile"] = *account;
        }

        if (role == "teacher") {
            auto schoolId = request.formValue("schoolId");
            if (blank(schoolId) || !knownSchool(service.data().school(), *schoolId)) return refusal("没有找到该学校");
            // The school approves its new teachers first: the account exists, the school
            // comes once approved.
            user["appliedSchoolId"] = *schoolId;
            service.data().addUser(user);
            return Reply::json({{"approve", "1"}});
        }
        if (role == "parent") {
            auto code = request.formValue("childCode");
            std::optional<nlohmann::json> child;
            if (!blank(code))
                for (const auto& candidate : service.data().users())
                    if (candidate.value("role", "") == "student" && candidate.value("childCode", "") == *code)
                        child = candidate;
            if (!child) return refusal("家长准入码不正确");
            user["schoolId"] = child->value("schoolId", "");
            user["classIds"] = child->value("classIds", "");
            user["childId"] = child->value("userId", "");
        }
        const std::string id = service.data().addUser(user);
        user["userId"] = id;
        return Reply::json(accountReply(user, service.baseUrl()));
    });
}

}  // namespace sample_service
