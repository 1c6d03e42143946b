// Homework: the lists of teachers, students and parents, starring, the teacher filter, a
// homework's content, the hand-in statistics and one's own answer, publishing and
// answering (multipart), the recipients picker's classes, students and search, the
// pictures of the sample homework and the avatars of the sample pupils.
//
// The sample homework comes from homework.json; what is published and answered while the
// service runs is kept until it stops. Every access to that state holds one lock.
#include "sample_service/SampleService.h"

#include "platform/Files.h"
#include "platform/UrlEncoding.h"
#include "platform/Values.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>

namespace sample_service {

namespace {

using nlohmann::json;

constexpr std::size_t kHomeworkLargestFile = 16u * 1024 * 1024;
constexpr int kHomeworkLargestPage = 100;

struct HomeworkUpload {
    std::string bytes;
    std::string contentType;
};

struct HomeworkStore {
    std::mutex mutex;
    std::filesystem::path dataDirectory;
    json teachers = json::array();
    json classes = json::array();
    // Newest first.
    json homework = json::array();
    // Per user id: the homework read and starred.
    std::map<std::string, std::set<std::string>> read, starred;
    // Resources of the homework area ("hw..."): files of the data folder and uploads.
    std::map<std::string, std::filesystem::path> files;
    std::map<std::string, HomeworkUpload> uploads;
    long long nextHomeworkId = 6001;
    long long nextResourceId = 1;
};

std::vector<std::string> homeworkSplitList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ','))
        if (!item.empty()) items.push_back(item);
    return items;
}

// A manifest path that stays inside the data folder: relative, without "..".
bool homeworkFileStaysInData(const std::filesystem::path& relative) {
    if (relative.empty() || relative.is_absolute() || relative.has_root_name()) return false;
    for (const auto& part : relative)
        if (part == "..") return false;
    return true;
}

std::string homeworkLowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// A page number and size from the query: page 1 and 20 rows unless told otherwise,
// within sane bounds.
std::pair<std::size_t, std::size_t> homeworkPageOf(const RecordedRequest& request) {
    long long page = platform::integerValue(request.queryValue("page").value_or("1"));
    long long limit = platform::integerValue(request.queryValue("limit").value_or("20"));
    page = std::max(1LL, page);
    limit = std::clamp(limit, 1LL, static_cast<long long>(kHomeworkLargestPage));
    return {static_cast<std::size_t>(page), static_cast<std::size_t>(limit)};
}

json homeworkRowsOfPage(const json& rows, std::pair<std::size_t, std::size_t> page) {
    json out = json::array();
    const std::size_t first = (page.first - 1) * page.second;
    for (std::size_t i = first; i < rows.size() && i < first + page.second; ++i) out.push_back(rows[i]);
    return out;
}

class HomeworkRoutes {
public:
    HomeworkRoutes(SampleService& service, std::shared_ptr<HomeworkStore> store) : service_(service), store_(std::move(store)) {}

    // ---- Reading the store (the caller holds the lock).
    const json* classWithId(const std::string& id) const {
        for (const auto& c : store_->classes)
            if (platform::textOf(c, "id") == id) return &c;
        return nullptr;
    }
    json* homeworkWithId(const std::string& id) {
        for (auto& h : store_->homework)
            if (platform::textOf(h, "id") == id) return &h;
        return nullptr;
    }
    // The pupil's class, by the rosters.
    const json* classOfStudent(const std::string& uid) const {
        for (const auto& c : store_->classes)
            for (const auto& s : c["students"])
                if (platform::textOf(s, "uid") == uid) return &c;
        return nullptr;
    }
    std::string studentName(const std::string& uid) const {
        for (const auto& c : store_->classes)
            for (const auto& s : c["students"])
                if (platform::textOf(s, "uid") == uid) return platform::textOf(s, "name");
        return "";
    }
    std::string teacherName(const std::string& uid) const {
        for (const auto& t : store_->teachers)
            if (platform::textOf(t, "uid") == uid) return platform::textOf(t, "name");
        return "";
    }
    // Everyone the homework goes to: its classes' pupils, then its single pupils, once each.
    std::vector<std::string> recipients(const json& homework) const {
        std::vector<std::string> uids;
        for (const auto& classId : homework["classes"])
            if (const json* c = classWithId(platform::textOf(classId)))
                for (const auto& s : (*c)["students"]) uids.push_back(platform::textOf(s, "uid"));
        for (const auto& uid : homework["students"]) {
            const std::string text = platform::textOf(uid);
            if (std::find(uids.begin(), uids.end(), text) == uids.end()) uids.push_back(text);
        }
        return uids;
    }
    const json* answerOf(const json& homework, const std::string& uid) const {
        for (const auto& a : homework["answers"])
            if (platform::textOf(a, "uid") == uid) return &a;
        return nullptr;
    }

    struct Viewer {
        std::string uid;
        std::string role;
        std::vector<std::string> classIds;
    };
    std::optional<Viewer> viewer(const std::string& uid) const {
        auto user = service_.data().userWithId(uid);
        if (!user) return std::nullopt;
        return Viewer{uid, platform::textOf(*user, "role"), homeworkSplitList(user->value("classIds", ""))};
    }
    bool concerns(const json& homework, const Viewer& viewer) const {
        if (viewer.role == "admin") return true;
        if (viewer.role == "teacher") return platform::textOf(homework, "teacherId") == viewer.uid;
        for (const auto& classId : homework["classes"])
            if (std::find(viewer.classIds.begin(), viewer.classIds.end(), platform::textOf(classId)) !=
                viewer.classIds.end())
                return true;
        for (const auto& uid : homework["students"])
            if (platform::textOf(uid) == viewer.uid) return true;
        return false;
    }
    // The homework with the id when it concerns the viewer; nothing otherwise.
    json* homeworkOf(const std::string& id, const std::optional<Viewer>& who) {
        json* homework = homeworkWithId(id);
        return who && homework && concerns(*homework, *who) ? homework : nullptr;
    }
    json rowFor(const json& homework, const Viewer& viewer) const {
        const std::string id = platform::textOf(homework, "id");
        json row = {{"id", id},
                    {"content", homework["content"]},
                    {"dateline", homework["dateline"]},
                    {"readed", store_->read[viewer.uid].count(id) ? "1" : "0"},
                    {"teacherId", homework["teacherId"]},
                    {"teacherName", teacherName(platform::textOf(homework, "teacherId"))}};
        // The counts are the teacher's; a pupil's row carries its star instead.
        if (viewer.role == "teacher" || viewer.role == "admin") {
            row["stdCount"] = std::to_string(recipients(homework).size());
            row["submitCount"] = std::to_string(homework["answers"].size());
        }
        if (viewer.role == "student") row["star"] = store_->starred[viewer.uid].count(id) ? "1" : "0";
        return row;
    }
    // One hand-in row of the statistics: the pupil, and the answer when there is one.
    json submissionRow(const json& homework, const std::string& uid) const {
        const json* c = classOfStudent(uid);
        json row = {{"uid", uid}, {"name", studentName(uid)}, {"className", c ? (*c)["name"] : json("")}};
        if (const json* answer = answerOf(homework, uid)) {
            row["dateline"] = (*answer)["dateline"];
            row["count"] = std::to_string((*answer)["resources"].size());
            row["answers"] = (*answer)["resources"];
        } else {
            row["dateline"] = nullptr;
            row["count"] = nullptr;
            row["answers"] = json::array();
        }
        return row;
    }

    // ---- Routes
    Reply list(const RecordedRequest& request) {
        std::lock_guard lock(store_->mutex);
        auto who = viewer(request.arguments.at(0));
        if (!who) return Reply::json(json::array());
        const bool starredOnly = request.queryValue("flag").value_or("") == "3";
        const auto teacherIds = homeworkSplitList(request.queryValue("teacherId").value_or(""));
        json rows = json::array();
        for (const auto& h : store_->homework) {
            if (!concerns(h, *who)) continue;
            const std::string id = platform::textOf(h, "id");
            if (starredOnly && !store_->starred[who->uid].count(id)) continue;
            if (!teacherIds.empty() && std::find(teacherIds.begin(), teacherIds.end(),
                                                 platform::textOf(h, "teacherId")) == teacherIds.end())
                continue;
            rows.push_back(rowFor(h, *who));
        }
        return Reply::json(homeworkRowsOfPage(rows, homeworkPageOf(request)));
    }

    Reply star(const RecordedRequest& request) {
        std::lock_guard lock(store_->mutex);
        const std::string uid = request.arguments.at(0), id = request.arguments.at(1);
        auto who = viewer(uid);
        json* h = homeworkOf(id, who);
        if (!h) return Reply::json({{"success", 0}});
        if (request.queryValue("flag").value_or("") == "1")
            store_->starred[uid].insert(id);
        else
            store_->starred[uid].erase(id);
        return Reply::json({{"success", 1}});
    }

    Reply teachers(const RecordedRequest& request) {
        std::lock_guard lock(store_->mutex);
        auto who = viewer(request.arguments.at(0));
        json list = json::array();
        if (!who) return Reply::json(list);
        std::set<std::string> wanted;
        for (const auto& classId : who->classIds)
            if (const json* c = classWithId(classId))
                for (const auto& t : (*c)["teacherIds"]) wanted.insert(platform::textOf(t));
        for (const auto& t : store_->teachers)
            if (wanted.count(platform::textOf(t, "uid"))) list.push_back(t);
        return Reply::json(list);
    }

    Reply content(const RecordedRequest& request) {
        std::lock_guard lock(store_->mutex);
        const std::string uid = request.arguments.at(0), id = request.arguments.at(1);
        auto who = viewer(uid);
        json* h = homeworkOf(id, who);
        if (!h) return Reply::json({{"success", false}});
        store_->read[uid].insert(id);
        return Reply::json({{"success", true},
                            {"id", id},
                            {"content", (*h)["content"]},
                            {"dateline", (*h)["dateline"]},
                            {"resList", (*h)["resList"]},
                            {"stdCount", std::to_string(recipients(*h).size())},
                            {"submitCount", std::to_string((*h)["answers"].size())},
                            {"isAnswered", answerOf(*h, uid) ? 1 : 0}});
    }

    // A teacher gets every recipient's row (hand-ins first, newest first, then those still
    // missing); anyone else gets the row of their own hand-in, if any.
    Reply answers(const RecordedRequest& request) {
        std::lock_guard lock(store_->mutex);
        const std::string uid = request.arguments.at(0), id = request.arguments.at(1);
        auto who = viewer(uid);
        json* h = homeworkOf(id, who);
        if (!h) return Reply::json(json::array());
        json rows = json::array();
        if (who->role == "teacher" || who->role == "admin") {
            json answers = (*h)["answers"];
            std::stable_sort(answers.begin(), answers.end(), [](const json& a, const json& b) {
                return platform::integerValue(a["dateline"]) > platform::integerValue(b["dateline"]);
            });
            for (const auto& a : answers) rows.push_back(submissionRow(*h, platform::textOf(a, "uid")));
            for (const auto& recipient : recipients(*h))
                if (!answerOf(*h, recipient)) rows.push_back(submissionRow(*h, recipient));
        } else if (answerOf(*h, uid)) {
            rows.push_back(submissionRow(*h, uid));
        }
        return Reply::json(homeworkRowsOfPage(rows, homeworkPageOf(request)));
    }

    // The files of a publish or an answer, kept as resources of this area.
    json storeFiles(const RecordedRequest& request) {
        json resources = json::array();
        for (const auto& part : request.parts) {
            if (part.fileName.empty() || (part.name != "amr" && part.name != "image")) continue;
            const std::string id = "hw" + std::to_string(100000 + store_->nextResourceId++);
            const std::string name = platform::percentDecode(part.fileName);
            const auto dot = name.rfind('.');
            const std::string suffix = dot == std::string::npos ? "" : homeworkLowered(name.substr(dot + 1));
            json resource = {{"id", id},
                             {"fileType", part.name == "amr" ? "audio" : "image"},
                             {"suffix", part.name == "amr" ? "amr" : suffix},
                             {"resourceName", name},
                             {"size", std::to_string(part.bytes.size())}};
            if (part.name == "amr") resource["duration"] = partText(request, "duration");
            store_->uploads[id] = {part.bytes, part.name == "amr" ? "audio/amr" : "image/jpeg"};
            resources.push_back(resource);
        }
        return resources;
    }
    static std::string partText(const RecordedRequest& request, const std::string& name) {
        for (const auto& part : request.parts)
            if (part.name == name && part.fileName.empty()) return part.bytes;
        return "";
    }

    Reply publish(const RecordedRequest& request) {
        std::lock_guard lock(store_->mutex);
        const std::string uid = request.arguments.at(0);
        auto who = viewer(uid);
        if (!who || (who->role != "teacher" && who->role != "admin")) return Reply::text("0");
        json classes = json::array(), students = json::array();
        for (const auto& id : homeworkSplitList(partText(request, "classes")))
            if (std::find(who->classIds.begin(), who->classIds.end(), id) != who->classIds.end() || who->role == "admin")
                classes.push_back(id);
        for (const auto& id : homeworkSplitList(partText(request, "students")))
            if (classOfStudent(id)) students.push_back(id);
        const std::string text = partText(request, "content");
        if ((classes.empty() && students.empty()) || platform::trimmed(text).empty()) return Reply::text("0");
        const std::string id = std::to_string(store_->nextHomeworkId++);
        json homework = {{"id", id},
                         {"teacherId", uid},
                         {"classes", classes},
                         {"students", students},
                         {"content", text},
                         {"dateline", static_cast<long long>(std::time(nullptr))},
                         {"resList", storeFiles(request)},
                         {"answers", json::array()}};
        store_->homework.insert(store_->homework.begin(), homework);
        store_->read[uid].insert(id);
        return Reply::text(id);
    }

    Reply answer(const RecordedRequest& request) {
        std::lock_guard lock(store_->mutex);
        const std::string uid = request.arguments.at(0), id = request.arguments.at(1);
        auto who = viewer(uid);
        json* h = homeworkOf(id, who);
        if (!h) return Reply::json({{"success", 0}});
        json resources = storeFiles(request);
        if (resources.empty()) return Reply::json({{"success", 0}});
        json& answers = (*h)["answers"];
        for (auto it = answers.begin(); it != answers.end(); ++it)
            if (platform::textOf(*it, "uid") == uid) {
                answers.erase(it);
                break;
            }
        answers.push_back({{"uid", uid}, {"dateline", static_cast<long long>(std::time(nullptr))},
                           {"resources", resources}});
        return Reply::json({{"success", 1}});
    }

    Reply teacherClasses(const RecordedRequest& request) {
        std::lock_guard lock(store_->mutex);
        auto who = viewer(request.arguments.at(0));
        json list = json::array();
        if (!who) return Reply::json(list);
        for (const auto& classId : who->classIds)
            if (const json* c = classWithId(classId)) list.push_back({{"id", (*c)["id"]}, {"name", (*c)["name"]}});
        return Reply::json(list);
    }

    Reply classStudents(const RecordedRequest& request) {
        std::lock_guard lock(store_->mutex);
        const json* c = classWithId(request.arguments.at(0));
        return Reply::json(c ? (*c)["students"] : json::array());
    }

    Reply search(const RecordedRequest& request) {
        std::lock_guard lock(store_->mutex);
        auto who = viewer(request.arguments.at(0));
        json hits = json::array();
        if (!who) return Reply::json(hits);
        const std::string name = request.formValue("name").value_or("");
        const auto limit = static_cast<std::size_t>(
            std::clamp(platform::integerValue(request.formValue("limit").value_or("100")), 1LL, 100LL));
        for (const auto& classId : who->classIds) {
            const json* c = classWithId(classId);
            if (!c) continue;
            for (const auto& s : (*c)["students"]) {
                if (hits.size() >= limit) break;
                if (platform::textOf(s, "name").find(name) == std::string::npos) continue;
                hits.push_back({{"uid", s["uid"]}, {"name", s["name"]}, {"classId", (*c)["id"]}, {"className", (*c)["name"]}});
            }
        }
        return Reply::json(hits);
    }

    Reply resource(const RecordedRequest& request) {
        const std::string id = "hw" + request.arguments.at(0);
        std::filesystem::path file;
        {
            std::lock_guard lock(store_->mutex);
            if (auto upload = store_->uploads.find(id); upload != store_->uploads.end())
                return Reply::text(upload->second.bytes, upload->second.contentType);
            if (auto found = store_->files.find(id); found != store_->files.end()) file = found->second;
        }
        if (!file.empty())
            if (auto bytes = platform::readFile(file, kHomeworkLargestFile)) return Reply::text(std::move(*bytes), "image/png");
        return Reply::text(kResourceNotFound, "text/plain; charset=utf-8");
    }

    // The pupils' and teachers' avatars: one of the sample faces, by the user id.
    Reply avatar(const RecordedRequest& request) {
        const std::string uid = request.arguments.at(0);
        {
            std::lock_guard lock(store_->mutex);
            if (studentName(uid).empty() && teacherName(uid).empty())
                return Reply::text("no avatar", "text/plain", 404);
        }
        const auto number = std::hash<std::string>{}(uid) % 6 + 1;
        auto bytes = platform::readFile(store_->dataDirectory / "resources/homework" /
                                            ("avatar-" + std::to_string(number) + ".png"),
                                        kHomeworkLargestFile);
        if (!bytes) return Reply::text("no avatar", "text/plain", 404);
        return Reply::text(std::move(*bytes), "image/png");
    }

private:
    SampleService& service_;
    std::shared_ptr<HomeworkStore> store_;
};

std::shared_ptr<HomeworkStore> loadHomeworkStore(const std::filesystem::path& dataDirectory) {
    auto store = std::make_shared<HomeworkStore>();
    store->dataDirectory = dataDirectory;
    const json data = readDataFile(dataDirectory, "homework.json");
    if (!data.is_object()) return store;
    store->teachers = data.value("teachers", json::array());
    store->classes = data.value("classes", json::array());
    store->homework = data.value("homework", json::array());
    std::stable_sort(store->homework.begin(), store->homework.end(), [](const json& a, const json& b) {
        return platform::integerValue(a["dateline"]) > platform::integerValue(b["dateline"]);
    });
    for (auto& h : store->homework) {
        if (!h.contains("students")) h["students"] = json::array();
        if (!h.contains("answers")) h["answers"] = json::array();
    }
    const json states = data.value("state", json::object());
    for (const auto& [uid, state] : states.items()) {
        for (const auto& id : state.value("read", json::array())) store->read[uid].insert(platform::textOf(id));
        for (const auto& id : state.value("starred", json::array())) store->starred[uid].insert(platform::textOf(id));
    }
    for (const auto& entry : data.value("resources", json::array())) {
        const std::string id = platform::textOf(entry, "id");
        const std::filesystem::path file = entry.value("file", "");
        if (id.rfind("hw", 0) == 0 && homeworkFileStaysInData(file)) store->files[id] = dataDirectory / file;
    }
    return store;
}

}  // namespace

void addHomeworkRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto homework = std::make_shared<HomeworkRoutes>(service, loadHomeworkStore(dataDirectory));
    auto add = [&service, homework](const char* method, const char* pattern, Reply (HomeworkRoutes::*handler)(const RecordedRequest&)) {
        service.route(method, pattern, [homework, handler](const RecordedRequest& request) {
            return ((*homework).*handler)(request);
        });
    };
    add("GET", "services/norvo/homework/list/%@", &HomeworkRoutes::list);
    add("GET", "services/norvo/homework/%@/fav/%@/star", &HomeworkRoutes::star);
    add("GET", "services/norvo/homework/%@/teacher/list", &HomeworkRoutes::teachers);
    add("GET", "services/norvo/homework/%@/content/%@", &HomeworkRoutes::content);
    add("GET", "services/norvo/homework/%@/answers/%@/get", &HomeworkRoutes::answers);
    add("POST", "services/norvo/homework/publish/%@", &HomeworkRoutes::publish);
    add("POST", "services/norvo/homework/%@/answer/%@", &HomeworkRoutes::answer);
    add("GET", "services/norvo/homework/%@/clazz/list", &HomeworkRoutes::teacherClasses);
    add("GET", "services/norvo/homework/clazz/%@/stds", &HomeworkRoutes::classStudents);
    add("POST", "services/norvo/homework/%@/student/search", &HomeworkRoutes::search);
    // Resources whose id begins with "hw" are this area's; every other id stays with the
    // resource manifest.
    add("GET", "resource/hw%@/download", &HomeworkRoutes::resource);
    add("GET", "account/%@/avatar", &HomeworkRoutes::avatar);
}

}  // namespace sample_service
