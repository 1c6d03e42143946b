// Lesson lists: the school's lessons by course (18 courses of 1 to 6 lessons, by grade,
// subject and teacher, searched by lesson name), the open lessons of all schools (20, by
// level, subject and topic, searched by name), a teacher's courses for an upload (the
// first 17 school courses) and the upload itself, whose lesson joins its course.
//
// Every access to the uploaded lessons holds one lock.
#include "sample_service/SampleService.h"

#include "platform/UrlEncoding.h"
#include "platform/Values.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace sample_service {

namespace {

using nlohmann::json;

struct SchoolCourseSeed {
    const char* grade;
    int levelId;
    int gradeNumber;
    int subject;  // 0 语文, 1 数学, 2 英语; subjectId is one more
};

// Grades 3 to 8, three subjects each: the grades and subjects the filter offers.
const SchoolCourseSeed kSchoolCourseSeeds[] = {
    {"三年级", 1, 3, 0}, {"三年级", 1, 3, 1}, {"三年级", 1, 3, 2}, {"四年级", 1, 4, 0}, {"四年级", 1, 4, 1},
    {"四年级", 1, 4, 2}, {"五年级", 1, 5, 0}, {"五年级", 1, 5, 1}, {"五年级", 1, 5, 2}, {"六年级", 1, 6, 0},
    {"六年级", 1, 6, 1}, {"六年级", 1, 6, 2}, {"初一", 2, 7, 0},   {"初一", 2, 7, 1},   {"初一", 2, 7, 2},
    {"初二", 2, 8, 0},   {"初二", 2, 8, 1},   {"初二", 2, 8, 2},
};
const char* const kSchoolSubjects[] = {"语文", "数学", "英语"};
const char* const kSchoolLessonTitles[3][6] = {
    {"静夜思朗读", "春晓赏析", "汉字笔画", "课文朗读技巧", "寓言故事", "标点符号"},
    {"两位数加法", "乘法口诀", "分数初步", "图形的认识", "时间的认识", "统计与图表"},
    {"英语字母歌", "自然拼读", "英语问候语", "英语数字", "英语颜色", "英语动物"},
};
constexpr int kSchoolCourseIdBase = 9101;
// The one lesson that frames a page instead of playing a video.
constexpr int kLinkLessonCourse = 3;

struct SchoolTeacher {
    const char* id;
    const char* name;
};
const SchoolTeacher kSchoolTeachers[] = {{"1001", "王老师"}, {"1002", "李老师"}};

// The courses of the school with their lessons (1 to 6 each). `base` is the service's own
// address, for the framed page of the link lesson.
json schoolMicroCourses(const std::string& base) {
    json courses = json::array();
    for (int i = 0; i < int(std::size(kSchoolCourseSeeds)); ++i) {
        const auto& seed = kSchoolCourseSeeds[i];
        const auto& teacher = kSchoolTeachers[i % 4 == 3 ? 1 : 0];
        const std::string courseName = std::string(seed.grade) + kSchoolSubjects[seed.subject];
        json lessons = json::array();
        const int count = 1 + (i * 5) % 6;
        for (int k = 0; k < count; ++k) {
            const std::string title = kSchoolLessonTitles[seed.subject][(seed.gradeNumber + k) % 6];
            json lesson = {{"id", std::to_string(60000 + i * 10 + k)},
                           {"resourceId", std::to_string(950000 + i * 10 + k)},
                           {"resourceName", title},
                           {"description", courseName + "微课“" + title + "”：" + teacher.name + "带大家一步一步学。"},
                           {"name", teacher.name},
                           {"uid", teacher.id},
                           {"schoolName", "实验小学"},
                           {"views", 12 + 5 * i + k},
                           {"suffix", "mp4"}};
            if (i == kLinkLessonCourse && k == count - 1) {
                lesson["suffix"] = "link";
                lesson["filepath"] = base + "pages/micro/" + lesson["id"].get<std::string>();
            }
            lessons.push_back(lesson);
        }
        courses.push_back({{"id", std::to_string(kSchoolCourseIdBase + i)},
                           {"courseName", courseName},
                           {"levelId", std::to_string(seed.levelId)},
                           {"grade", std::to_string(seed.gradeNumber)},
                           {"subjectId", std::to_string(seed.subject + 1)},
                           {"teacherId", teacher.id},
                           {"resList", lessons}});
    }
    return courses;
}

struct MicroUploads {
    std::mutex mutex;
    // course id -> the lessons uploaded to it, in order
    std::map<std::string, json> lessons;
    int count = 0;
};

std::string microBase(const RecordedRequest& request) {
    const std::string host = request.header("Host");
    return host.empty() ? std::string("/") : "http://" + host + "/";
}

bool microMatches(const RecordedRequest& request, const json& course, const char* name) {
    const std::string wanted = request.queryValue(name).value_or("");
    return wanted.empty() || course.value(name, "") == wanted;
}

const char* const kOpenMicroTitles[] = {"静夜思朗读", "两位数加法", "英语字母歌", "春晓赏析", "乘法口诀",
                                        "自然拼读", "古诗词鉴赏", "分数初步", "英语问候语", "汉字笔画",
                                        "图形的认识", "英语数字", "课文朗读技巧", "口算练习", "英语颜色",
                                        "寓言故事", "时间的认识", "英语动物", "标点符号", "统计与图表"};

json openMicroLessons() {
    json lessons = json::array();
    for (int i = 0; i < 20; ++i) {
        json lesson = {{"id", std::to_string(7001 + i)},
                       {"resourceId", "881001"},
                       {"resourceName", kOpenMicroTitles[i]},
                       {"name", i % 2 ? "王老师" : "张老师"},
                       {"schoolName", i % 3 ? "实验小学" : "第一中学"},
                       {"views", 20 + 7 * i},
                       {"description", std::string("开放微课：") + kOpenMicroTitles[i]},
                       {"levelId", std::to_string(1 + i / 10)},
                       {"subjectId", std::to_string(1 + i % 3)},
                       {"tagId", std::to_string(1 + i % 2)}};
        if (i == 4) lesson.erase("views");
        if (i == 7) lesson.erase("schoolName");
        lessons.push_back(lesson);
    }
    return lessons;
}

// The form field's value, empty when absent.
std::string microField(const RecordedRequest& request, const char* name) {
    return request.formValue(name).value_or(request.queryValue(name).value_or(""));
}

json pageOf(const json& all, const RecordedRequest& request) {
    const long long page = std::max(1LL, platform::integerValue(microField(request, "page")));
    const long long limit = std::clamp(platform::integerValue(microField(request, "limit")), 1LL, 50LL);
    json slice = json::array();
    for (long long i = (page - 1) * limit; i < page * limit && i < static_cast<long long>(all.size()); ++i)
        slice.push_back(all[static_cast<std::size_t>(i)]);
    return slice;
}

}  // namespace

void addMicroListRoutes(SampleService& service) {
    const json open = openMicroLessons();
    service.route("POST", "services/norvo/global/micro/resource/list", [open](const RecordedRequest& request) {
        const std::string search = microField(request, "searchParam");
        const std::string level = microField(request, "levelId");
        const std::string subject = microField(request, "subjectId");
        const std::string tag = microField(request, "tagId");
        json found = json::array();
        for (const auto& lesson : open) {
            if (!search.empty() && lesson.value("resourceName", "").find(search) == std::string::npos) continue;
            if (!level.empty() && lesson.value("levelId", "") != level) continue;
            if (!subject.empty() && lesson.value("subjectId", "") != subject) continue;
            if (!tag.empty() && lesson.value("tagId", "") != tag) continue;
            found.push_back(lesson);
        }
        return Reply::json(pageOf(found, request));
    });

    auto uploads = std::make_shared<MicroUploads>();

    // GET courseMicro/<user id>/list?searchParam=<text>: page, limit, grade, levelId,
    // subjectId, teacherId. A search keeps the courses with a lesson of that name, and
    // only those lessons.
    service.route("GET", "services/norvo/courseMicro/%@/list", [uploads](const RecordedRequest& request) {
        const std::string search = request.queryValue("searchParam").value_or("");
        json found = json::array();
        for (json course : schoolMicroCourses(microBase(request))) {
            if (!microMatches(request, course, "levelId") || !microMatches(request, course, "grade") ||
                !microMatches(request, course, "subjectId") || !microMatches(request, course, "teacherId"))
                continue;
            json& lessons = course["resList"];
            {
                std::lock_guard guard(uploads->mutex);
                auto added = uploads->lessons.find(course.value("id", ""));
                if (added != uploads->lessons.end())
                    for (const auto& lesson : added->second) lessons.push_back(lesson);
            }
            json kept = json::array();
            for (const auto& lesson : lessons)
                if (lesson.value("resourceName", "").find(search) != std::string::npos) kept.push_back(lesson);
            if (kept.empty()) continue;
            lessons = kept;
            found.push_back(course);
        }
        return Reply::json(pageOf(found, request));
    });

    // The teacher's courses for an upload: the school's first 17.
    json courses = json::array();
    const json school = schoolMicroCourses("/");
    for (std::size_t i = 0; i + 1 < school.size(); ++i)
        courses.push_back({{"id", kSchoolCourseIdBase + int(i)}, {"courseName", school[i]["courseName"]}});
    service.route("GET", "services/norvo/global/micro/course/%@/list", [courses](const RecordedRequest& request) {
        return Reply::json(pageOf(courses, request));
    });

    // POST course/<user id>/uploadSmallClass: parts "vedio" (the MP4, named "<title>.mp4",
    // percent-escaped), "courseId", "isCanView", "description". The lesson joins the school
    // course of that id.
    service.route("POST", "services/norvo/course/%@/uploadSmallClass", [uploads, &service](const RecordedRequest& request) {
        const RecordedRequest::Part* video = nullptr;
        std::string courseId, description;
        for (const auto& part : request.parts) {
            if (part.name == "vedio" && !part.bytes.empty()) video = &part;
            if (part.name == "courseId") courseId = part.bytes;
            if (part.name == "description") description = part.bytes;
        }
        if (!video) return Reply::json({{"success", 0}, {"message", "没有视频"}});
        if (courseId.empty()) return Reply::json({{"success", 0}, {"message", "请选择课程"}});
        const std::string fileName = platform::percentDecode(video->fileName);
        const std::string title = fileName.substr(0, fileName.find('.'));
        auto user = service.data().userWithId(request.arguments.at(0));
        std::lock_guard guard(uploads->mutex);
        const int n = ++uploads->count;
        json& lessons = uploads->lessons[courseId];
        if (!lessons.is_array()) lessons = json::array();
        lessons.push_back({{"id", std::to_string(69000 + n)},
                           {"resourceId", std::to_string(969000 + n)},
                           {"resourceName", title.empty() ? std::string("微课") : title},
                           {"description", description},
                           {"name", user ? user->value("name", "") : std::string()},
                           {"uid", request.arguments.at(0)},
                           {"schoolName", "实验小学"},
                           {"views", 0},
                           {"suffix", "mp4"}});
        return Reply::json({{"success", 1}});
    });

    // The page the link lesson frames.
    service.route("GET", "pages/micro/%@", [](const RecordedRequest& request) {
        const std::string id = request.arguments.at(0);
        if (id.empty() || !std::all_of(id.begin(), id.end(), [](unsigned char c) { return std::isdigit(c); }))
            return Reply::text("not found", "text/plain; charset=utf-8", 404);
        return Reply::text("<html><head><meta charset=\"utf-8\"></head><body><h3>课外阅读：认识钟表</h3>"
                           "<p>这一课在网页上学习。跟着图片认一认时针、分针和秒针。</p><p>编号 " +
                               id + "</p></body></html>",
                           "text/html; charset=utf-8");
    });
}

}  // namespace sample_service
