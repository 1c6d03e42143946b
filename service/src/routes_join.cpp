// Joining a class by its class code.
#include "sample_service/SampleService.h"

#include <sstream>

namespace sample_service {

namespace {

// The text of a value as the data files hold it (ids are texts there, but numbers are
// taken as well).
std::string textOf(const nlohmann::json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number_integer()) return std::to_string(value.get<long long>());
    return {};
}

// The class of the sample school with this class code, if any.
std::optional<nlohmann::json> classWithCode(const nlohmann::json& school, const std::string& code) {
    if (code.empty() || !school.contains("classes") || !school["classes"].is_array()) return std::nullopt;
    for (const auto& entry : school["classes"])
        if (entry.is_object() && textOf(entry.value("classCode", nlohmann::json())) == code) return entry;
    return std::nullopt;
}

// A school id the asking account may name: its own school, or none at all ("", "0" or
// "-1": an account without a school looks classes up in any school).
bool mayLookIn(const nlohmann::json& school, const std::string& schoolId) {
    return schoolId.empty() || schoolId == "0" || schoolId == "-1" ||
           schoolId == textOf(school.value("schoolId", nlohmann::json()));
}

bool listHas(const std::string& list, const std::string& id) {
    std::stringstream items(list);
    for (std::string item; std::getline(items, item, ',');)
        if (item == id) return true;
    return false;
}

}  // namespace

void addJoinRoutes(SampleService& service) {
    // GET <school id>/classcode/<class code>/info: which class the code belongs to. The
    // school id is empty (a path with "//") for an account that has none yet.
    service.route("GET", "services/norvo/%@/classcode/%@/info", [&service](const RecordedRequest& request) {
        const nlohmann::json school = service.data().school();
        const std::string& schoolId = request.arguments.at(0);
        const auto found = mayLookIn(school, schoolId) ? classWithCode(school, request.arguments.at(1)) : std::nullopt;
        if (!found) return Reply::json({{"success", 0}, {"message", "没有找到该班级编号对应的班级"}});
        return Reply::json({{"success", 1},
                            {"message", textOf(school.value("name", nlohmann::json())) + " " +
                                            textOf(found->value("name", nlohmann::json()))}});
    });

    // GET <user id>/json/join/classcode/<class code>: the user joins the class (newest
    // first in the user's class list) and its school, so a later sign-in sees both.
    service.route("GET", "services/norvo/%@/json/join/classcode/%@", [&service](const RecordedRequest& request) {
        const std::string& userId = request.arguments.at(0);
        const nlohmann::json school = service.data().school();
        const auto found = classWithCode(school, request.arguments.at(1));
        if (!found) return Reply::json({{"success", 0}, {"msg", "班级编号不存在"}});
        const std::string classId = textOf(found->value("classId", nlohmann::json()));
        const std::string schoolId = textOf(school.value("schoolId", nlohmann::json()));
        const bool known = service.data().updateUser(userId, [&](nlohmann::json& user) {
            const std::string classes = textOf(user.value("classIds", nlohmann::json()));
            if (!listHas(classes, classId)) user["classIds"] = classes.empty() ? classId : classId + "," + classes;
            user["schoolId"] = schoolId;
        });
        if (!known) return Reply::json({{"success", 0}, {"msg", "用户不存在"}});
        return Reply::json({{"success", 1}, {"classId", classId}, {"schoolId", schoolId}, {"msg", "加入成功"}});
    });
}

}  // namespace sample_service
