// The lesson detail: lessons by id (the three the course notices announce, one of them a
// framed page), the recommendations of an open lesson, view logs (counted), and the
// comments of each lesson with replies and a voice: listed, sent and removed by their
// author only. "micro/play" streams one of three short clips by resource id, honouring a
// byte range.
//
// Every access to the comments and view counts holds one lock.
#include "sample_service/SampleService.h"

#include "platform/Values.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>

namespace sample_service {

namespace {

using nlohmann::json;

std::string lessonServiceBase(const RecordedRequest& request) {
    const std::string host = request.header("Host");
    return host.empty() ? std::string("/") : "http://" + host + "/";
}

// The lessons the course notices point at.
json noticeLesson(const std::string& id, const std::string& base) {
    if (id == "6001")
        return {{"id", "6001"}, {"resourceId", "960001"}, {"resourceName", "分数的初步认识"}, {"suffix", "mp4"},
                {"name", "王老师"}, {"uid", "1001"}, {"schoolName", "实验小学"}, {"views", 36},
                {"description", "王老师用切蛋糕的例子讲二分之一、四分之一，适合三年级复习。"}};
    if (id == "6002")
        return {{"id", "6002"}, {"resourceId", "960002"}, {"resourceName", "英语自然拼读"}, {"suffix", "mp4"},
                {"name", "李 老师"}, {"uid", "1002"}, {"schoolName", "实验小学"}, {"views", 18},
                {"description", nullptr}};
    if (id == "6003")
        return {{"id", "6003"}, {"resourceId", "960003"}, {"resourceName", "古诗里的春天"}, {"suffix", "link"},
                {"filepath", base + "pages/micro/6003"}, {"name", "王老师"}, {"uid", "1001"},
                {"schoolName", "实验小学"}, {"views", 9}, {"description", "读一读，说一说诗里的春天。"}};
    return nullptr;
}

json recommendedLessons() {
    return json::array({
        {{"id", "7101"}, {"resourceId", "970101"}, {"resourceName", "开放微课：认识钟表"}, {"suffix", "mp4"},
         {"name", "赵老师"}, {"schoolName", "第二实验小学"}, {"views", 120}, {"description", "整点和半点。"}},
        {{"id", "7102"}, {"resourceId", "970102"}, {"resourceName", "开放微课：小数加减"}, {"suffix", "mp4"},
         {"name", "钱老师"}, {"schoolName", "育才中学"}, {"views", 88}, {"description", "对齐小数点再计算。"}},
    });
}

struct LessonComments {
    std::mutex mutex;
    std::map<std::string, json> byLesson;
    std::map<std::string, int> views;
    int nextId = 90001;
};

json seededComments(const std::string& lessonId) {
    if (lessonId != "6001") return json::array();
    return json::array({
        {{"id", "80001"}, {"uid", "2002"}, {"name", "王小红"}, {"role", "student"}, {"message", "蛋糕的例子好懂！"},
         {"showTime", "10分钟前"}, {"attachmentList", json::array()}, {"moduleType", "micro"},
         {"moduleTypeId", lessonId}, {"author", nullptr}},
        {{"id", "80002"}, {"uid", "1001"}, {"name", "王老师"}, {"role", "teacher"}, {"message", "谢谢，记得做课后练习。"},
         {"showTime", "8分钟前"}, {"attachmentList", json::array()}, {"moduleType", "micro"},
         {"moduleTypeId", lessonId}, {"author", "王小红"}},
        {{"id", "80003"}, {"uid", "3001"}, {"name", "李明家长"}, {"role", "parent"}, {"message", ""},
         {"showTime", "5分钟前"},
         {"attachmentList", json::array({{{"resModuleId", "voice-80003"}, {"duration", 6}, {"type", "voice"}}})},
         {"moduleType", "micro"}, {"moduleTypeId", lessonId}, {"author", nullptr}},
    });
}

json& commentsOf(LessonComments& store, const std::string& lessonId) {
    auto found = store.byLesson.find(lessonId);
    if (found == store.byLesson.end()) found = store.byLesson.emplace(lessonId, seededComments(lessonId)).first;
    return found->second;
}

std::string partOf(const RecordedRequest& request, const std::string& name) {
    for (const auto& part : request.parts)
        if (part.name == name && part.fileName.empty()) return part.bytes;
    return request.formValue(name).value_or("");
}

// The bytes of a clip file, read whole (the clips are small; anything over 16 MB is not
// one of them).
std::string clipBytes(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > 16u * 1024 * 1024) return {};
    std::ifstream in(path, std::ios::binary);
    std::string bytes(size, '\0');
    in.read(bytes.data(), std::streamsize(size));
    return in ? bytes : std::string();
}

// "bytes=first-last" or "bytes=first-" within `size`; false for any other form.
bool parseByteRange(const std::string& header, std::size_t size, std::size_t& first, std::size_t& last) {
    const std::string prefix = "bytes=";
    if (header.rfind(prefix, 0) != 0) return false;
    const std::string range = header.substr(prefix.size());
    const auto dash = range.find('-');
    if (dash == std::string::npos || dash == 0 || range.find(',') != std::string::npos) return false;
    try {
        first = std::stoull(range.substr(0, dash));
        last = dash + 1 < range.size() ? std::stoull(range.substr(dash + 1)) : size - 1;
    } catch (const std::exception&) {
        return false;
    }
    if (size == 0 || first >= size || last < first) return false;
    last = std::min(last, size - 1);
    return true;
}

Reply playReply(const std::filesystem::path& folder, const RecordedRequest& request) {
    const std::string id = request.queryValue("id").value_or("");
    if (id.empty()) return Reply::text("no id", "text/plain; charset=utf-8", 404);
    const std::string bytes = clipBytes(folder / "micro" / ("clip-" + std::to_string(1 + (id.back() % 3)) + ".mp4"));
    if (bytes.empty()) return Reply::text("no clip", "text/plain; charset=utf-8", 404);
    const std::string header = request.header("Range");
    if (header.empty()) {
        Reply whole = Reply::text(bytes, "video/mp4");
        whole.headers.emplace_back("Accept-Ranges", "bytes");
        return whole;
    }
    std::size_t first = 0, last = 0;
    if (!parseByteRange(header, bytes.size(), first, last)) {
        Reply refused = Reply::text("", "video/mp4", 416);
        refused.headers.emplace_back("Content-Range", "bytes */" + std::to_string(bytes.size()));
        return refused;
    }
    Reply part = Reply::text(bytes.substr(first, last - first + 1), "video/mp4", 206);
    part.headers.emplace_back("Accept-Ranges", "bytes");
    part.headers.emplace_back("Content-Range", "bytes " + std::to_string(first) + "-" + std::to_string(last) + "/" +
                                                   std::to_string(bytes.size()));
    return part;
}

}  // namespace

void addMicroRoutes(SampleService& service) {
    auto store = std::make_shared<LessonComments>();
    const std::filesystem::path folder = service.options().dataDirectory;
    service.route("GET", "micro/play", [folder](const RecordedRequest& request) { return playReply(folder, request); });
    service.route("GET", "services/norvo/coursemicro/info/%@/%@", [](const RecordedRequest& request) {
        const json lesson = noticeLesson(request.arguments.at(1), lessonServiceBase(request));
        return lesson.is_null() ? Reply::json({{"success", 0}, {"message", "微课不存在"}}) : Reply::json(lesson);
    });
    service.route("GET", "services/norvo/global/micro/%@/recommed/%@/list", [](const RecordedRequest&) {
        return Reply::json({{"description", "编辑推荐：和这节课相关的开放微课。"}, {"about", recommendedLessons()}});
    });
    service.route("GET", "services/norvo/coursemicro/viewlog/%@/%@", [store](const RecordedRequest& request) {
        std::lock_guard lock(store->mutex);
        const int views = ++store->views[request.arguments.at(1)];
        return Reply::json({{"success", 1}, {"views", views}});
    });
    service.route("GET", "services/norvo/courseMicroComment/%@/list", [store](const RecordedRequest& request) {
        std::lock_guard lock(store->mutex);
        return Reply::json(commentsOf(*store, request.arguments.at(0)));
    });
    service.route("POST", "services/norvo/courseMicro/%@/%@/comment", [store](const RecordedRequest& request) {
        const std::string text = partOf(request, "msg");
        if (text.empty()) return Reply::json({{"success", 0}, {"message", "评论内容不能为空"}});
        const std::string uid = request.arguments.at(0);
        const std::string lessonId = request.arguments.at(1);
        std::lock_guard lock(store->mutex);
        json& comments = commentsOf(*store, lessonId);
        json author = nullptr;
        const std::string replyId = partOf(request, "replyId");
        for (const auto& comment : comments)
            if (!replyId.empty() && platform::textOf(comment, "id") == replyId) author = comment["name"];
        comments.push_back({{"id", std::to_string(store->nextId++)}, {"uid", uid},
                            {"name", uid == "1001" ? "王老师" : uid == "3001" ? "李明家长" : "李明"},
                            {"role", uid == "1001" ? "teacher" : uid == "3001" ? "parent" : "student"},
                            {"message", text}, {"showTime", "刚刚"}, {"attachmentList", json::array()},
                            {"moduleType", partOf(request, "moduleType").empty() ? "micro" : "global_micro"},
                            {"moduleTypeId", lessonId}, {"author", author}});
        return Reply::json({{"success", 1}, {"message", "评论成功"}});
    });
    service.route("GET", "services/norvo/courseMicroComment/%@/%@/remove", [store](const RecordedRequest& request) {
        const std::string uid = request.arguments.at(0);
        const std::string commentId = request.arguments.at(1);
        std::lock_guard lock(store->mutex);
        for (auto& [lessonId, comments] : store->byLesson)
            for (auto it = comments.begin(); it != comments.end(); ++it)
                if (platform::textOf(*it, "id") == commentId) {
                    // Only the author removes a comment.
                    if (platform::textOf(*it, "uid") != uid) return Reply::json({{"success", 0}});
                    comments.erase(it);
                    return Reply::json({{"success", 1}});
                }
        return Reply::json({{"success", 0}});
    });
}

}  // namespace sample_service
