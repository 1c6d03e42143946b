// Lesson lists: the open lessons of all schools (20, by level, subject and topic, searched
// by name) and a teacher's courses for an upload (17). The school lessons grouped by course
// are served with the tests' course groups.
#include "sample_service/SampleService.h"

#include "platform/Values.h"

#include <algorithm>
#include <mutex>

namespace sample_service {

namespace {

using nlohmann::json;

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
        const std::string subject = microField(request, "subjectId");
        const std::string tag = microField(request, "tagId");
        json found = json::array();
        for (const auto& lesson : open) {
            if (!search.empty() && lesson.value("resourceName", "").find(search) == std::string::npos) continue;
            if (!subject.empty() && lesson.value("subjectId", "") != subject) continue;
            if (!tag.empty() && lesson.value("tagId", "") != tag) continue;
            found.push_back(lesson);
        }
        return Reply::json(pageOf(found, request));
    });

    json courses = json::array();
    const char* const subjects[] = {"语文", "数学", "英语"};
    for (int i = 0; i < 17; ++i)
        courses.push_back({{"id", 9101 + i},
                           {"courseName", std::string(subjects[i % 3]) + "·" + std::to_string(1 + i / 3) + "年级"}});
    service.route("GET", "services/norvo/global/micro/course/%@/list", [courses](const RecordedRequest& request) {
        return Reply::json(pageOf(courses, request));
    });
}

}  // namespace sample_service
