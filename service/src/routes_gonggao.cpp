// Group announcements, newest first:
//   GET  services/norvo/forum/<user>/<forum>/<field>/notice/list    "limit", "maxIdNotIncludeSelf"
//        (the "rescourseId" of the last row seen)                     {"list": [...]}
//   GET  services/norvo/forum/<user>/<forum>/<field>/notice/remove  "ids"  {"success": 1} / {"success": 0, "msg"}
//   POST services/norvo/forum/<user>/<forum>/<field>/notice/save    multipart "title", "content",
//        "image" files                                                {"success": 1} / {"success": 0, "msg"}
//   GET  resource/view/img_thumb/8902<nn>                           an announcement picture
// The rows come from gonggao.json; saved announcements go first and, like removals, are
// kept until the service stops. Their pictures are the feed pictures in turn.
#include "sample_service/SampleService.h"

#include "platform/Values.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

namespace sample_service {

namespace {

using nlohmann::json;

constexpr std::size_t kGongGaoLargestPage = 50;
constexpr std::size_t kGongGaoTitleLimit = 20;
constexpr const char* kGongGaoPicturePrefix = "8902";
constexpr int kGongGaoFeedPictures = 6;

struct GongGaoStore {
    std::mutex mutex;
    std::map<std::string, json> groups;  // forum id -> rows, newest first
    long long nextId = 20000;
};

Reply gongGaoList(GongGaoStore& store, const RecordedRequest& request) {
    std::size_t limit = 15;
    if (auto text = request.queryValue("limit")) {
        const long long asked = platform::integerValue(json(*text));
        if (asked <= 0) return Reply::json({{"success", 0}, {"msg", "limit 不正确"}});
        limit = std::min<std::size_t>(std::size_t(asked), kGongGaoLargestPage);
    }
    const auto after = request.queryValue("maxIdNotIncludeSelf");
    std::lock_guard guard(store.mutex);
    json page = json::array();
    auto found = store.groups.find(request.arguments.at(1));
    if (found != store.groups.end()) {
        bool taking = !after;
        for (const auto& row : found->second) {
            if (!taking) {
                taking = platform::textOf(row, "rescourseId") == *after;
                continue;
            }
            if (page.size() >= limit) break;
            page.push_back(row);
        }
    }
    return Reply::json({{"list", page}});
}

Reply gongGaoRemove(GongGaoStore& store, const RecordedRequest& request) {
    const auto ids = request.queryValue("ids");
    std::lock_guard guard(store.mutex);
    auto found = store.groups.find(request.arguments.at(1));
    if (ids && found != store.groups.end()) {
        json& rows = found->second;
        for (auto it = rows.begin(); it != rows.end(); ++it) {
            if (platform::textOf(*it, "id") == *ids) {
                rows.erase(it);
                return Reply::json({{"success", 1}});
            }
        }
    }
    return Reply::json({{"success", 0}, {"msg", "公告不存在"}});
}

Reply gongGaoSave(GongGaoStore& store, const RecordedRequest& request) {
    std::string title, content;
    int pictures = 0;
    for (const auto& part : request.parts) {
        if (part.name == "title") title = part.bytes;
        else if (part.name == "content") content = part.bytes;
        else if (part.name == "image" && !part.bytes.empty()) ++pictures;
    }
    if (title.empty() || content.empty()) return Reply::json({{"success", 0}, {"msg", "标题和内容不能为空"}});
    if (platform::utf16Length(title) > kGongGaoTitleLimit) return Reply::json({{"success", 0}, {"msg", "标题太长"}});
    std::lock_guard guard(store.mutex);
    const long long id = ++store.nextId;
    json attachments = json::array();
    for (int i = 0; i < pictures; ++i) {
        char picture[16];
        std::snprintf(picture, sizeof picture, "%s%02d", kGongGaoPicturePrefix, i % kGongGaoFeedPictures + 1);
        attachments.push_back({{"type", "image"}, {"id", picture}, {"resModuleId", picture}});
    }
    json row{{"id", id},       {"rescourseId", id + 100000}, {"title", title}, {"name", "王老师"},
             {"dateline", 1765100000}, {"content", content}, {"attachmentList", attachments}};
    json& rows = store.groups[request.arguments.at(1)];
    if (!rows.is_array()) rows = json::array();
    rows.insert(rows.begin(), row);
    return Reply::json({{"success", 1}});
}

}  // namespace

void addGongGaoRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto store = std::make_shared<GongGaoStore>();
    const json data = readDataFile(dataDirectory, "gonggao.json");
    if (data.is_object() && data.contains("groups") && data["groups"].is_object())
        for (const auto& [forum, rows] : data["groups"].items())
            if (rows.is_array()) store->groups[forum] = rows;

    service.route("GET", "services/norvo/forum/%@/%@/%@/notice/list",
                  [store](const RecordedRequest& request) { return gongGaoList(*store, request); });
    service.route("GET", "services/norvo/forum/%@/%@/%@/notice/remove",
                  [store](const RecordedRequest& request) { return gongGaoRemove(*store, request); });
    service.route("POST", "services/norvo/forum/%@/%@/%@/notice/save",
                  [store](const RecordedRequest& request) { return gongGaoSave(*store, request); });

    // Announcement pictures 890201.. are the feed pictures 881001..881006 in turn. The route
    // names the announcements' own prefix, so the thumbnails of every other id (album
    // pictures among them) keep the routes registered before.
    auto thumbnails = service.handlerFor("GET", "resource/view/img_thumb/%@");
    service.route("GET", std::string("resource/view/img_thumb/") + kGongGaoPicturePrefix + "%@",
                  [thumbnails](const RecordedRequest& request) {
                      RecordedRequest asked = request;
                      const std::string& number = request.arguments.at(0);
                      if (number.size() != 2 || !std::isdigit((unsigned char)number[0]) ||
                          !std::isdigit((unsigned char)number[1]) || std::stoi(number) < 1)
                          return Reply::text("", "text/plain", 404);
                      asked.arguments[0] =
                          std::to_string(881000 + (std::stoi(number) - 1) % kGongGaoFeedPictures + 1);
                      return thumbnails ? thumbnails(asked) : Reply::text("", "text/plain", 404);
                  });
}

}  // namespace sample_service
