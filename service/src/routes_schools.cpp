// The school's stages, grades and classes; school search and joining a school.
//
// The sample school (school.json) lists its stages under "levels" (each with its
// "grades") and its classes with the "levelId" and "gradeId" they belong to. The schools
// the search knows are under "schools": "id", "name", the pinyin "initials", and
// "approve" true for a school that approves newcomers first.
#include "sample_service/SampleService.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace sample_service {

namespace {

using nlohmann::json;

// The "%@" text of an id as the data holds it (number or text).
std::string idText(const json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number_integer()) return std::to_string(value.get<long long>());
    return {};
}

const json& listIn(const json& object, const char* key) {
    static const json empty = json::array();
    if (!object.is_object()) return empty;
    auto found = object.find(key);
    return found != object.end() && found->is_array() ? *found : empty;
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A whole positive number, or `fallback` for anything else.
long long positiveNumber(const std::optional<std::string>& text, long long fallback) {
    if (!text || text->empty()) return fallback;
    long long value = 0;
    auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size() || value < 1) return fallback;
    return value;
}

// Schools whose name contains the query, or whose initials contain it (any case). The
// empty query finds every school.
json searchSchools(const json& school, const std::string& query) {
    json found = json::array();
    const std::string wanted = lowered(query);
    for (const auto& entry : listIn(school, "schools")) {
        const std::string name = entry.value("name", "");
        const std::string initials = lowered(entry.value("initials", ""));
        if (wanted.empty() || name.find(query) != std::string::npos || initials.find(wanted) != std::string::npos)
            found.push_back({{"id", idText(entry.value("id", json()))}, {"name", name}});
    }
    return found;
}

std::optional<json> schoolWithId(const json& school, const std::string& schoolId) {
    for (const auto& entry : listIn(school, "schools"))
        if (idText(entry.value("id", json())) == schoolId) return entry;
    if (idText(school.value("schoolId", json())) == schoolId)
        return json{{"id", schoolId}, {"name", school.value("name", "")}};
    return std::nullopt;
}

bool inCommaList(const std::string& list, const std::string& id) {
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        if (list.compare(start, comma - start, id) == 0) return true;
        start = comma + 1;
    }
    return false;
}

}  // namespace

void addSchoolRoutes(SampleService& service) {
    // GET <school id>/level/list: the school's stages.
    service.route("GET", "services/norvo/%@/level/list", [&service](const RecordedRequest& request) {
        const json school = service.data().school();
        json levels = json::array();
        if (idText(school.value("schoolId", json())) == request.arguments.at(0))
            for (const auto& level : listIn(school, "levels"))
                levels.push_back({{"id", level.value("id", json())}, {"levelName", level.value("levelName", "")}});
        return Reply::json(levels);
    });

    // GET <school id>/<stage id>/grade/list: the stage's grades.
    service.route("GET", "services/norvo/%@/%@/grade/list", [&service](const RecordedRequest& request) {
        const json school = service.data().school();
        json grades = json::array();
        if (idText(school.value("schoolId", json())) == request.arguments.at(0))
            for (const auto& level : listIn(school, "levels"))
                if (idText(level.value("id", json())) == request.arguments.at(1))
                    for (const auto& grade : listIn(level, "grades"))
                        grades.push_back({{"id", grade.value("id", json())}, {"gradeName", grade.value("gradeName", "")}});
        return Reply::json(grades);
    });

    // GET <stage id>/<grade id>/class/list: the grade's classes.
    service.route("GET", "services/norvo/%@/%@/class/list", [&service](const RecordedRequest& request) {
        const json school = service.data().school();
        json classes = json::array();
        for (const auto& entry : listIn(school, "classes"))
            if (idText(entry.value("levelId", json())) == request.arguments.at(0) &&
                idText(entry.value("gradeId", json())) == request.arguments.at(1))
                classes.push_back({{"id", entry.value("classId", "")}, {"className", entry.value("name", "")}});
        return Reply::json(classes);
    });

    // GET <user id>/join/classid/<class id>: files an application to join the class, which
    // its administrator approves later; the user's classes do not change. Plain text.
    service.route("GET", "services/norvo/%@/join/classid/%@", [&service](const RecordedRequest& request) {
        const std::string& userId = request.arguments.at(0);
        const std::string& classId = request.arguments.at(1);
        const json school = service.data().school();
        const auto& classes = listIn(school, "classes");
        const bool known = std::any_of(classes.begin(), classes.end(),
                                       [&](const json& entry) { return entry.value("classId", "") == classId; });
        const auto user = service.data().userWithId(userId);
        if (!known || !user || inCommaList(user->value("classIds", ""), classId)) return Reply::text("false");
        service.data().updateUser(userId, [&](json& changed) {
            std::string applied = changed.value("appliedClassIds", "");
            if (!inCommaList(applied, classId)) applied = applied.empty() ? classId : classId + "," + applied;
            changed["appliedClassIds"] = applied;
        });
        return Reply::text("true");
    });

    // POST school/search (form "query", "pageNum", "limit"): one page of the matches.
    service.route("POST", "services/norvo/school/search", [&service](const RecordedRequest& request) {
        const json found = searchSchools(service.data().school(), request.formValue("query").value_or(""));
        const long long page = positiveNumber(request.formValue("pageNum"), 1);
        const long long limit = std::min<long long>(positiveNumber(request.formValue("limit"), 20), 100);
        json reply = json::array();
        if (page > static_cast<long long>(found.size())) return Reply::json(reply);
        const long long first = (page - 1) * limit;
        for (long long i = first; i < first + limit && i < static_cast<long long>(found.size()); ++i)
            reply.push_back(found.at(static_cast<std::size_t>(i)));
        return Reply::json(reply);
    });

    // GET <user id>/join/school/<school id>: joins the school at once, or files the
    // application when the school approves newcomers first.
    service.route("GET", "services/norvo/%@/join/school/%@", [&service](const RecordedRequest& request) {
        const std::string& userId = request.arguments.at(0);
        const std::string& schoolId = request.arguments.at(1);
        const auto school = schoolWithId(service.data().school(), schoolId);
        if (!school) return Reply::json({{"success", 0}, {"msg", "没有找到该学校"}});
        if (!service.data().userWithId(userId)) return Reply::json({{"success", 0}, {"msg", "用户不存在"}});
        if (school->value("approve", false)) {
            service.data().updateUser(userId, [&](json& user) { user["appliedSchoolId"] = schoolId; });
            return Reply::json({{"approve", "1"}, {"success", 0}});
        }
        service.data().updateUser(userId, [&](json& user) { user["schoolId"] = schoolId; });
        return Reply::json({{"approve", "0"}, {"success", 1}});
    });
}

}  // namespace sample_service
