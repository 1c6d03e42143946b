// The course-based homework chain: the user's subjects (with "isNew" for the grid), the
// courses of a subject, the classes of a course, each course's homework page by page,
// assigning a homework to classes, deleting it and publishing a new one; and the school
// timetable page of a day. Changes are kept while the service runs, under one lock.
#include "sample_service/SampleService.h"

#include "platform/Dates.h"
#include "platform/Values.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <sstream>

namespace sample_service {

namespace {

using nlohmann::json;

constexpr long long kCourseHomeworkLargestPage = 50;

// The subjects out of id order, as the service sends them.
json courseHomeworkSubjects(bool withNew) {
    json subjects = json::array();
    const std::tuple<int, const char*, bool> seeds[] = {{3, "语文", true}, {1, "数学", true}, {7, "英语", false}, {2, "科学", false}};
    for (const auto& [id, name, isNew] : seeds) {
        json subject = {{"id", id}, {"name", name}};
        if (withNew) subject["isNew"] = isNew;
        subjects.push_back(subject);
    }
    return subjects;
}

json courseHomeworkCourses(const std::string& subjectId) {
    static const std::map<std::string, std::vector<std::pair<std::string, std::string>>> kCourses = {
        {"3", {{"3", "三年级语文"}, {"31", "三年级语文阅读拓展课程：古诗文诵读、整本书阅读与写作实践"}}},
        {"1", {{"1", "三年级数学"}, {"11", "数学思维训练"}}},
        {"7", {{"7", "三年级英语"}}},
        {"2", {{"2", "三年级科学"}}},
    };
    json courses = json::array();
    auto found = kCourses.find(subjectId);
    if (found == kCourses.end()) return courses;
    for (const auto& [id, name] : found->second) courses.push_back({{"id", id}, {"name", name}});
    return courses;
}

json courseHomeworkClasses() {
    return json::array({{{"id", 11}, {"name", "三年级1班"}}, {{"id", 12}, {"name", "三年级2班"}}, {{"id", 13}, {"name", "三年级3班"}}});
}

struct CourseHomeworkStore {
    std::mutex mutex;
    // course id -> homework, newest first
    std::map<std::string, json> homework;
    long long nextId = 7100;
};

json courseHomeworkAttachments(int seed) {
    json all = json::array({{{"id", "hw101"}, {"suffix", "PNG"}, {"resourceName", "静夜思板书.png"}, {"size", 20480}},
                            {{"id", "880002"}, {"suffix", "amr"}, {"resourceName", "朗读示范.amr"}, {"size", 4806}},
                            {{"id", "880003"}, {"suffix", "txt"}, {"resourceName", "班级公约.txt"}, {"size", 1025}},
                            {{"id", "880005"}, {"suffix", "Docx"}, {"resourceName", "致家长的一封信.docx"}, {"size", 1048576}}});
    json chosen = json::array();
    for (int i = 0; i < seed % 4; ++i) chosen.push_back(all[static_cast<std::size_t>((seed + i) % 4)]);
    return chosen;
}

void seedCourseHomework(CourseHomeworkStore& store) {
    static const char* const kTitles[] = {
        "古诗背诵《静夜思》", "第一单元生字抄写", "课外阅读：《小英雄雨来》", "看图写话", "词语搭配练习",
        "朗读课文第三课",     "日记一篇",         "近义词与反义词",           "修改病句",   "背诵《咏柳》",
        "成语接龙",           "阅读理解练习",     "期中复习",
    };
    const long long base = 1767590000;
    json chinese = json::array();
    for (int i = 0; i < 13; ++i) {
        json row = {{"id", std::to_string(7001 + i)},
                    {"courseId", "3"},
                    {"title", kTitles[i]},
                    {"name", "王老师"},
                    {"content", std::string("请在本周内完成：") + kTitles[i] + "。完成后请家长检查并签字。"},
                    {"dateline", base - i * 86400},
                    {"shareTargets", i % 3 == 2 ? json::array()
                                                : json::array({{{"id", 11}, {"isShare", "1"}, {"type", "CLAZZ"}, {"name", "三年级1班"}},
                                                               {{"id", 12}, {"isShare", "1"}, {"type", "CLAZZ"}, {"name", "三年级2班"}}})},
                    {"resList", courseHomeworkAttachments(i)}};
        if (i == 4) row["title"] = nullptr;
        chinese.push_back(row);
    }
    store.homework["3"] = chinese;
    json maths = json::array();
    for (int i = 0; i < 3; ++i)
        maths.push_back({{"id", std::to_string(7051 + i)},
                         {"courseId", "1"},
                         {"title", "口算练习第" + std::to_string(i + 1) + "页"},
                         {"name", "王老师"},
                         {"content", "练习册第" + std::to_string(12 + i) + "页，限时十分钟。"},
                         {"dateline", base - i * 43200},
                         {"shareTargets", json::array({{{"id", 11}, {"isShare", "1"}, {"type", "CLAZZ"}, {"name", "三年级1班"}}})},
                         {"resList", json::array()}});
    store.homework["1"] = maths;
}

std::string courseClassName(const std::string& id) {
    for (const auto& c : courseHomeworkClasses())
        if (platform::textOf(c, "id") == id) return platform::textOf(c, "name");
    return "";
}

std::vector<std::string> splitIds(const std::string& text) {
    std::vector<std::string> ids;
    std::stringstream stream(text);
    std::string id;
    while (std::getline(stream, id, ','))
        if (!id.empty()) ids.push_back(id);
    return ids;
}

// The day's periods: the subjects turn with the weekday of the asked date.
std::string timetablePage(const std::string& uid, const std::string& date) {
    static const char* const kSubjects[] = {"语文", "数学", "英语", "科学", "音乐", "美术", "体育", "道德与法治"};
    const auto time = platform::parseDate(date, "yyyy-MM-dd");
    int weekday = time ? platform::dateParts(*time).weekday : 2;
    std::string html = "<html><head><meta charset=\"utf-8\"><title>课程表</title></head><body>";
    html += "<h2>" + date + " 课程表</h2>";
    if (!time) {
        html += "<p>日期无效</p></body></html>";
        return html;
    }
    if (weekday == 1 || weekday == 7) {
        html += "<p>今天没有课程。</p></body></html>";
        return html;
    }
    html += "<table border=\"1\"><tr><th>节次</th><th>时间</th><th>课程</th></tr>";
    static const char* const kTimes[] = {"08:00-08:40", "08:50-09:30", "10:00-10:40", "10:50-11:30", "14:00-14:40", "14:50-15:30"};
    for (int period = 0; period < 6; ++period) {
        const char* subject = kSubjects[(period + weekday * 3) % 8];
        html += "<tr><td>第" + std::to_string(period + 1) + "节</td><td>" + kTimes[period] + "</td><td>" + subject + "</td></tr>";
    }
    html += "</table><p>用户 " + uid + "</p></body></html>";
    return html;
}

}  // namespace

void addCourseHomeworkRoutes(SampleService& service) {
    auto store = std::make_shared<CourseHomeworkStore>();
    seedCourseHomework(*store);

    service.route("GET", "services/norvo/user/%@/subjects", [](const RecordedRequest& request) {
        return Reply::json(courseHomeworkSubjects(request.queryValue("homework").value_or("") == "1"));
    });
    service.route("GET", "services/norvo/user/%@/courses", [](const RecordedRequest& request) {
        return Reply::json(courseHomeworkCourses(request.queryValue("subjectId").value_or("")));
    });
    service.route("GET", "services/norvo/course/%@/classes", [](const RecordedRequest&) {
        return Reply::json(courseHomeworkClasses());
    });
    service.route("GET", "services/norvo/course/%@/homework/%@/list", [store](const RecordedRequest& request) {
        const long long limit = std::clamp(platform::integerValue(request.queryValue("limit").value_or("10")), 1LL,
                                           kCourseHomeworkLargestPage);
        const long long page = std::max(1LL, platform::integerValue(request.queryValue("pageNum").value_or("1")));
        std::lock_guard<std::mutex> lock(store->mutex);
        const json& rows = store->homework[request.arguments.at(0)];
        json answer = json::array();
        for (long long i = (page - 1) * limit; i < page * limit && i < static_cast<long long>(rows.size()); ++i)
            answer.push_back(rows[static_cast<std::size_t>(i)]);
        return Reply::json(answer);
    });
    service.route("GET", "services/norvo/course/homework/%@/delete", [store](const RecordedRequest& request) {
        const std::string id = request.arguments.at(0);
        std::lock_guard<std::mutex> lock(store->mutex);
        auto& rows = store->homework[request.queryValue("courseId").value_or("")];
        for (auto it = rows.begin(); it != rows.end(); ++it)
            if (platform::textOf(*it, "id") == id) {
                rows.erase(it);
                return Reply::json({{"success", true}});
            }
        return Reply::json({{"success", false}});
    });
    service.route("POST", "services/norvo/course/%@/publish/%@", [store](const RecordedRequest& request) {
        const std::string course = request.arguments.at(0);
        const std::string id = request.arguments.at(1);
        std::lock_guard<std::mutex> lock(store->mutex);
        for (auto& row : store->homework[course]) {
            if (platform::textOf(row, "id") != id) continue;
            json targets = json::array();
            const auto withdrawn = splitIds(request.formValue("abolishIds").value_or(""));
            for (const auto& target : row["shareTargets"])
                if (std::find(withdrawn.begin(), withdrawn.end(), platform::textOf(target, "id")) == withdrawn.end())
                    targets.push_back(target);
            for (const auto& added : splitIds(request.formValue("publishIds").value_or("")))
                targets.push_back({{"id", added}, {"isShare", "1"}, {"type", "CLAZZ"}, {"name", courseClassName(added)}});
            row["shareTargets"] = targets;
            return Reply::json({{"success", true}});
        }
        return Reply::json({{"success", false}});
    });
    service.route("POST", "services/norvo/course/homework/%@/publish", [store](const RecordedRequest& request) {
        std::string title, content, classes;
        json attachments = json::array();
        for (const auto& part : request.parts) {
            if (part.name == "title") title = part.bytes;
            if (part.name == "content") content = part.bytes;
            if (part.name == "classes") classes = part.bytes;
        }
        if (title.empty() || classes.empty()) return Reply::text("0");
        json targets = json::array();
        for (const auto& id : splitIds(classes))
            targets.push_back({{"id", id}, {"isShare", "1"}, {"type", "CLAZZ"}, {"name", courseClassName(id)}});
        std::lock_guard<std::mutex> lock(store->mutex);
        const std::string id = std::to_string(++store->nextId);
        auto& rows = store->homework[request.arguments.at(0)];
        if (!rows.is_array()) rows = json::array();
        rows.insert(rows.begin(), json{{"id", id},
                                       {"courseId", request.arguments.at(0)},
                                       {"title", title},
                                       {"name", "王老师"},
                                       {"content", content},
                                       {"dateline", 1767600000},
                                       {"shareTargets", targets},
                                       {"resList", attachments}});
        return Reply::text(id);
    });
    service.route("GET", "app/courseSchedule", [](const RecordedRequest& request) {
        return Reply::text(timetablePage(request.queryValue("uid").value_or(""), request.queryValue("date").value_or("")),
                           "text/html; charset=utf-8");
    });
}

}  // namespace sample_service
