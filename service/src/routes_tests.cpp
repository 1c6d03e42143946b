// Tests: the test list of 18 course groups (page by page, filtered and searched), the
// answer sheets with questions of all six kinds, the answers posted (kept while the service
// runs and shown on reload), the completion lists, the filter options of the three modes
// and the formula pictures under "img_src/".
//
// Every access to the posted answers holds one lock.
#include "sample_service/SampleService.h"

#include "platform/Files.h"
#include "platform/Values.h"

#include <map>
#include <mutex>
#include <set>

namespace sample_service {

namespace {

using nlohmann::json;

constexpr int kTestsLargestPage = 50;
constexpr std::size_t kTestsLargestFormula = 1u * 1024 * 1024;
constexpr int kTestsPublishedTo = 40;

struct TestGroupSeed {
    const char* grade;
    int levelId;
    int gradeNumber;
    const char* subject;
    int subjectId;
};

// Grades 3 to 8, three subjects each: 18 course groups.
const TestGroupSeed kTestGroupSeeds[] = {
    {"三年级", 1, 3, "语文", 1}, {"三年级", 1, 3, "数学", 2}, {"三年级", 1, 3, "英语", 3},
    {"四年级", 1, 4, "语文", 1}, {"四年级", 1, 4, "数学", 2}, {"四年级", 1, 4, "英语", 3},
    {"五年级", 1, 5, "语文", 1}, {"五年级", 1, 5, "数学", 2}, {"五年级", 1, 5, "英语", 3},
    {"六年级", 1, 6, "语文", 1}, {"六年级", 1, 6, "数学", 2}, {"六年级", 1, 6, "英语", 3},
    {"初一", 2, 7, "语文", 1},   {"初一", 2, 7, "数学", 2},   {"初一", 2, 7, "英语", 3},
    {"初二", 2, 8, "语文", 1},   {"初二", 2, 8, "数学", 2},   {"初二", 2, 8, "英语", 3},
};

struct TestsStore {
    std::mutex mutex;
    // user id -> exam id -> question id -> {"success", "answer"}
    std::map<std::string, std::map<std::string, std::map<std::string, json>>> answers;
};

std::string testsText(const json& value) { return platform::textOf(value); }

// The sheet of a test: every test of the sample shares the six kinds; the first question
// carries a formula picture, the second a question picture.
json testsSheet(const std::string& examId, const std::string& base) {
    const std::string formula = base + "img_src/formula-" + (examId == "5101" ? "1" : "2") + ".png";
    json sheet = json::array();
    sheet.push_back({{"id", examId + "01"},
                     {"questionType", 0},
                     {"questionTitle", "<p>下列词语中，书写正确的是哪一个？<img src=\"" + formula +
                                           "\" width=\"120\" height=\"40\"></p>"},
                     {"options", json::array({{{"text", "<p>迫不急待</p>"}}, {{"text", "<p>迫不及待</p>"}},
                                              {{"text", "<p>迫不极待</p>"}}, {{"text", "<p>迫不既待</p>"}}})},
                     {"answer", "1"},
                     {"analysis", "“及”是赶上的意思。"}});
    sheet.push_back({{"id", examId + "02"},
                     {"questionType", 5},
                     {"options", "<p>“春眠不觉晓”的作者是孟浩然。</p>"},
                     {"answer", "1"},
                     {"fileType", "image"},
                     {"resourceModuleId", "881001"}});
    sheet.push_back({{"id", examId + "03"},
                     {"questionType", 3},
                     {"questionTitle", "<p>床前明月光，疑是_霜。举头望_，低头思_。</p>"},
                     {"answer", json::array({{{"text", "地上"}}, {{"text", "明月"}}, {{"text", "故乡"}}})},
                     {"analysis", "李白《静夜思》。"}});
    sheet.push_back({{"id", examId + "04"},
                     {"questionType", 1},
                     {"questionTitle", "<p>下面哪些是描写春天的诗句？</p>"},
                     {"options", json::array({{{"text", "<p>春色满园关不住</p>"}}, {{"text", "<p>接天莲叶无穷碧</p>"}},
                                              {{"text", "<p>二月春风似剪刀</p>"}}})},
                     {"answer", "0|2"}});
    sheet.push_back({{"id", examId + "05"},
                     {"questionType", 2},
                     {"options", "<p>用一句话写写你喜欢的季节。</p>"},
                     {"answer", "言之有理即可"}});
    sheet.push_back({{"id", examId + "06"},
                     {"questionType", 4},
                     {"questionTitle", "<p>把作者和作品连起来。</p>"},
                     {"options", json::array({{{"text", "李白"}, {"value", "A"}}, {{"text", "杜甫"}, {"value", "B"}},
                                              {{"text", "孟浩然"}, {"value", "C"}}})},
                     {"answer", json::array({{{"text", "静夜思"}}, {{"text", "春夜喜雨"}}, {{"text", "春晓"}}})}});
    return sheet;
}

std::string testsBase(const RecordedRequest& request) {
    const std::string host = request.header("Host");
    return host.empty() ? std::string("/") : "http://" + host + "/";
}

bool testsMatchFilter(const RecordedRequest& request, const char* name, int value) {
    auto wanted = request.queryValue(name);
    return !wanted || wanted->empty() || platform::integerValue(*wanted) == value;
}

// The groups of the list under the request's filters and search text.
json testsGroups(TestsStore& store, const RecordedRequest& request) {
    const std::string search = request.queryValue("searchParam").value_or("");
    json groups = json::array();
    int index = 0;
    for (const auto& seed : kTestGroupSeeds) {
        ++index;
        if (!testsMatchFilter(request, "levelId", seed.levelId) || !testsMatchFilter(request, "grade", seed.gradeNumber) ||
            !testsMatchFilter(request, "subjectId", seed.subjectId) || !testsMatchFilter(request, "teacherId", 1001))
            continue;
        const std::string course = std::string(seed.grade) + seed.subject;
        json items = json::array();
        for (int n = 1; n <= 2; ++n) {
            const std::string id = std::to_string(5000 + index * 100 + n);
            const std::string name = course + (n == 1 ? "单元测验" : "期中练习");
            if (!search.empty() && name.find(search) == std::string::npos) continue;
            int complete = 0;
            {
                std::lock_guard guard(store.mutex);
                for (const auto& [user, exams] : store.answers)
                    if (exams.count(id)) ++complete;
            }
            const bool published = !(index == 2 && n == 2);
            items.push_back({{"id", id},
                             {"examName", name},
                             {"complete", std::to_string(complete)},
                             {"stdCount", published ? std::to_string(kTestsPublishedTo) : std::string("0")},
                             {"dateline", std::to_string(1765000000 - index * 86400 - n * 3600)}});
        }
        if (items.empty()) continue;
        groups.push_back({{"courseName", course}, {"examList", items}});
    }
    long long page = std::max(1LL, platform::integerValue(request.queryValue("page").value_or("1")));
    long long limit = std::clamp(platform::integerValue(request.queryValue("limit").value_or("15")), 1LL,
                                 static_cast<long long>(kTestsLargestPage));
    json slice = json::array();
    for (long long i = (page - 1) * limit; i < page * limit && i < static_cast<long long>(groups.size()); ++i)
        slice.push_back(groups[static_cast<std::size_t>(i)]);
    return slice;
}

json testsOptions(bool openLessons) {
    json grades = json::array();
    std::set<int> seen;
    for (const auto& seed : kTestGroupSeeds)
        if (seen.insert(seed.gradeNumber).second)
            grades.push_back({{"levelId", std::to_string(seed.levelId)},
                              {"grade", std::to_string(seed.gradeNumber)},
                              {"levelGradeName", seed.grade}});
    json subjects = json::array({{{"subjectId", "1"}, {"subjectName", "语文"}},
                                 {{"subjectId", "2"}, {"subjectName", "数学"}},
                                 {{"subjectId", "3"}, {"subjectName", "英语"}}});
    if (openLessons)
        return {{"gradLevelList", grades},
                {"subjectList", subjects},
                {"tagList", json::array({{{"id", "1"}, {"tagName", "古诗词"}}, {{"id", "2"}, {"tagName", "口算"}}})}};
    return json::array({{{"gradLevelList", grades},
                         {"subjectList", subjects},
                         {"teacherList", json::array({{{"teacherId", "1001"}, {"authorName", "王老师"}}})}}});
}

}  // namespace

void addTestRoutes(SampleService& service) {
    auto store = std::make_shared<TestsStore>();
    SampleService* owner = &service;

    service.route("GET", "services/norvo/courseExam/%@/list", [store](const RecordedRequest& request) {
        return Reply::json(testsGroups(*store, request));
    });

    // The sheet of one user: a student's own answers as "stdAnswer" and "success"; for a
    // teacher the statistics of every question.
    service.route("GET", "services/norvo/course/exam/%@/%@/new", [store, owner](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0), examId = request.arguments.at(1);
        json sheet = testsSheet(examId, testsBase(request));
        auto user = owner->data().userWithId(userId);
        const bool teacher = user && testsText(user->value("role", json())) == "teacher";
        std::lock_guard guard(store->mutex);
        for (auto& question : sheet) {
            const std::string id = testsText(question["id"]);
            if (teacher) {
                int answered = 0, wrong = 0;
                for (const auto& [student, exams] : store->answers) {
                    auto exam = exams.find(examId);
                    if (exam == exams.end() || !exam->second.count(id)) continue;
                    ++answered;
                    if (testsText(exam->second.at(id)["success"]) == "0") ++wrong;
                }
                question["faultCount"] = wrong;
                question["correctPercent"] =
                    std::to_string(answered ? (answered - wrong) * 100 / answered : 0) + "%";
                continue;
            }
            auto exams = store->answers.find(userId);
            if (exams == store->answers.end()) continue;
            auto exam = exams->second.find(examId);
            if (exam == exams->second.end()) continue;
            auto answer = exam->second.find(id);
            if (answer == exam->second.end()) continue;
            question["stdAnswer"] = answer->second["answer"];
            question["success"] = answer->second["success"];
        }
        return Reply::json(sheet);
    });

    // POST courseExam/<user id>/anwser: "answers" (JSON text of the records), "examId".
    service.route("POST", "services/norvo/courseExam/%@/anwser", [store](const RecordedRequest& request) {
        const std::string userId = request.arguments.at(0);
        const std::string examId = request.formValue("examId").value_or("");
        json records = json::parse(request.formValue("answers").value_or(""), nullptr, false);
        if (examId.empty() || !records.is_array()) return Reply::json({{"result", "fail"}});
        for (const auto& record : records)
            if (!record.is_object() || !record.contains("id") || !record.contains("answer"))
                return Reply::json({{"result", "fail"}});
        std::lock_guard guard(store->mutex);
        for (const auto& record : records)
            store->answers[userId][examId][testsText(record["id"])] = {{"success", record.value("success", json("0"))},
                                                                       {"answer", record["answer"]}};
        return Reply::json({{"result", "success"}});
    });

    service.route("GET", "services/norvo/course/examStds/%@", [store, owner](const RecordedRequest& request) {
        const std::string examId = request.arguments.at(0);
        json students = json::array();
        std::lock_guard guard(store->mutex);
        for (const auto& [userId, exams] : store->answers) {
            if (!exams.count(examId)) continue;
            auto user = owner->data().userWithId(userId);
            students.push_back({{"uid", userId}, {"name", user ? user->value("name", userId) : userId}});
        }
        return Reply::json(students);
    });

    service.route("GET", "services/norvo/courseSubject/%@/list",
                  [](const RecordedRequest&) { return Reply::json(testsOptions(false)); });
    service.route("GET", "services/norvo/course/micro/%@/subject",
                  [](const RecordedRequest&) { return Reply::json(testsOptions(false)); });
    service.route("GET", "services/norvo/global/micro/category/get",
                  [](const RecordedRequest&) { return Reply::json(testsOptions(true)); });

    // Formula pictures, straight on the base address: img_src/<name>?token=<token>.
    const std::filesystem::path formulas = service.options().dataDirectory / "resources" / "tests";
    service.route("GET", "img_src/%@", [formulas](const RecordedRequest& request) {
        const std::string name = request.arguments.at(0);
        if (name.find('/') == std::string::npos && name.find("..") == std::string::npos && !formulas.empty()) {
            if (auto bytes = platform::readFile(formulas / name, kTestsLargestFormula))
                return Reply::text(std::move(*bytes), "image/png");
        }
        return Reply::text("not found", "text/plain; charset=utf-8", 404);
    });
}

}  // namespace sample_service
