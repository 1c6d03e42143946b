// Class notices: the notice pages of a class (15 a page) and of an administrator's receiver
// group, a teacher's classes and the school's receiver groups with their new-notice marks,
// who read a notice, reminders by private letter or SMS, and publishing (multipart), after
// which the notice heads the lists of its receivers; the course events of the notification
// centre, 12 for every user, and their removal per user; with them the campus news and the
// discussion channels.
//
// The sample notices come from notices.json; what is published while the service runs is
// kept until it stops. Every access to that state holds one lock. Pictures of the notices
// are the feed's sample pictures, served by their thumbnail route.
#include "sample_service/SampleService.h"

#include "platform/Values.h"

#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>

namespace sample_service {

// Campus news and the discussion channels (routes_news.cpp), served beside the notices.
void addNewsRoutes(SampleService& service, const std::filesystem::path& dataDirectory);

namespace {

using nlohmann::json;

constexpr std::size_t kNoticePage = 15;

struct NoticeStore {
    std::mutex mutex;
    json notices = json::object();        // id text -> notice
    std::map<std::string, std::vector<std::string>> lists;  // class or group id -> ids, newest first
    json teacherClasses = json::object();
    json receivers = json::array();
    json readLists = json::object();
    json reminders = json::array();
    long long nextId = 7301;
    json courseEvents = json::array();
    std::map<std::string, std::set<long long>> removedEvents;  // user id -> removed event ids
};

std::string noticeIdText(const json& value) {
    return value.is_string() ? value.get<std::string>() : value.dump();
}

std::vector<std::string> noticeSplit(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ','))
        if (!item.empty()) items.push_back(item);
    return items;
}

Reply noticePage(NoticeStore& store, const std::string& listId, const std::string& pageText) {
    std::lock_guard lock(store.mutex);
    long long page = 0;
    try {
        page = std::stoll(pageText);
    } catch (...) {
        return Reply::json({{"success", 0}, {"message", "bad page"}}, 400);
    }
    json rows = json::array();
    auto found = store.lists.find(listId);
    if (page >= 1 && found != store.lists.end()) {
        const auto& ids = found->second;
        for (std::size_t i = std::size_t(page - 1) * kNoticePage; i < ids.size() && rows.size() < kNoticePage; ++i)
            if (store.notices.contains(ids[i])) rows.push_back(store.notices[ids[i]]);
    }
    return Reply::json(rows);
}

std::string partValue(const RecordedRequest& request, const std::string& name) {
    for (const auto& part : request.parts)
        if (part.name == name && part.fileName.empty()) return part.bytes;
    return "";
}

Reply publishNotice(NoticeStore& store, const RecordedRequest& request, const SampleData& data, bool admin) {
    const std::string title = partValue(request, "title");
    const std::string receivers = partValue(request, admin ? "receivers" : "permissions");
    if (title.empty() || receivers.empty()) return Reply::json({{"success", 0}, {"message", "缺少标题或接收人"}});
    const std::string uid = partValue(request, "uid");
    const std::string sender = partValue(request, "name");
    std::lock_guard lock(store.mutex);
    const std::string id = std::to_string(store.nextId++);
    json notice = {{"id", std::stoll(id)},
                   {"uid", uid},
                   {"role", admin ? "admin" : "teacher"},
                   {"name", sender},
                   {"title", title},
                   {"content", partValue(request, "content")},
                   {"attachments", json::array()},
                   {"links", json::array()},
                   {"readCount", 0},
                   {"notReadCount", 0},
                   {"receipt", partValue(request, "receipt") == "1" ? 1 : 0},
                   {"dateline", std::time(nullptr)}};
    if (sender.empty())
        if (auto user = data.userWithId(uid)) notice["name"] = user->value("name", "");
    for (const auto& part : request.parts)
        if (part.name == "amr" && !part.fileName.empty())
            notice["attachments"].push_back(
                {{"type", "audio"}, {"resModuleId", "880002"}, {"duration", partValue(request, "duration")}});
    store.notices[id] = notice;
    for (const auto& target : noticeSplit(receivers)) {
        auto& list = store.lists[target];
        list.insert(list.begin(), id);
    }
    return Reply::json({{"success", 1}, {"id", std::stoll(id)}});
}

// A page of the user's course events ("page" from 1, "limit" rows), without those the user
// removed.
Reply courseEventPage(NoticeStore& store, const RecordedRequest& request) {
    const long long page = platform::integerValue(request.queryValue("page").value_or(""));
    const long long limit = platform::integerValue(request.queryValue("limit").value_or(""));
    if (page < 1 || limit < 1) return Reply::json({{"success", 0}, {"message", "bad page"}}, 400);
    std::lock_guard lock(store.mutex);
    const auto& removed = store.removedEvents[request.arguments.at(0)];
    json rows = json::array();
    long long skip = (page - 1) * limit;
    for (const auto& event : store.courseEvents) {
        if (removed.count(event.value("id", 0LL))) continue;
        if (skip > 0) {
            --skip;
            continue;
        }
        if (static_cast<long long>(rows.size()) == limit) break;
        rows.push_back(event);
    }
    return Reply::json(rows);
}

}  // namespace

void addNoticeRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    addNewsRoutes(service, dataDirectory);
    auto store = std::make_shared<NoticeStore>();
    const json sample = readDataFile(dataDirectory, "notices.json");
    if (sample.is_object()) {
        for (const auto& notice : sample.value("notices", json::array()))
            store->notices[noticeIdText(notice["id"])] = notice;
        for (const char* key : {"classes", "groupNotices"}) {
            const json lists = sample.value(key, json::object());
            for (const auto& [listId, ids] : lists.items())
                for (const auto& id : ids) store->lists[listId].push_back(noticeIdText(id));
        }
        store->teacherClasses = sample.value("teacherClasses", json::object());
        store->receivers = sample.value("receivers", json::array());
        store->readLists = sample.value("readLists", json::object());
        store->courseEvents = sample.value("courseEvents", json::array());
    }

    service.route("GET", "services/norvo/user/%@/class/%@/notice/%@", [store, &service](const RecordedRequest& request) {
        // Class 0 (a student's or parent's list opened without a class): the user's own class.
        std::string classId = request.arguments.at(1);
        if (classId == "0")
            if (auto user = service.data().userWithId(request.arguments.at(0)))
                if (auto own = noticeSplit(user->value("classIds", "")); !own.empty()) classId = own.front();
        return noticePage(*store, classId, request.arguments.at(2));
    });
    service.route("GET", "services/norvo/admin/%@/grade/%@/notice/%@", [store](const RecordedRequest& request) {
        return noticePage(*store, request.arguments.at(1), request.arguments.at(2));
    });
    service.route("GET", "services/norvo/teacher/%@/classes", [store](const RecordedRequest& request) {
        std::lock_guard lock(store->mutex);
        return Reply::json(store->teacherClasses.value(request.arguments.at(0), json::array()));
    });
    service.route("GET", "services/norvo/admin/%@/notice/receiver", [store](const RecordedRequest&) {
        std::lock_guard lock(store->mutex);
        return Reply::json(store->receivers);
    });
    service.route("GET", "services/norvo/class/notice/%@/read/user/list", [store](const RecordedRequest& request) {
        std::lock_guard lock(store->mutex);
        return Reply::json(store->readLists.value(request.arguments.at(0),
                                                  json{{"read", json::array()}, {"unread", json::array()}}));
    });
    service.route("POST", "services/norvo/class/notice/%@/%@/sms", [store](const RecordedRequest& request) {
        const std::string kind = request.arguments.at(1);
        if (kind != "pm" && kind != "mobile") return Reply::json({{"success", 0}, {"message", "bad kind"}}, 400);
        std::lock_guard lock(store->mutex);
        store->reminders.push_back(
            {{"notice", request.arguments.at(0)}, {"kind", kind}, {"uids", request.formValue("uids").value_or("")}});
        return Reply::json({{"success", 1}});
    });
    service.route("POST", "services/norvo/class/notice/%@/publish", [store, &service](const RecordedRequest& request) {
        return publishNotice(*store, request, service.data(), false);
    });
    service.route("POST", "services/norvo/admin/%@/notice/publish", [store, &service](const RecordedRequest& request) {
        return publishNotice(*store, request, service.data(), true);
    });
    service.route("GET", "services/norvo/%@/course/notification/list", [store](const RecordedRequest& request) {
        return courseEventPage(*store, request);
    });
    service.route("GET", "services/norvo/%@/remove/notification", [store](const RecordedRequest& request) {
        const long long id = platform::integerValue(request.queryValue("ids").value_or(""));
        if (id <= 0) return Reply::json({{"success", 0}, {"message", "bad ids"}}, 400);
        std::lock_guard lock(store->mutex);
        store->removedEvents[request.arguments.at(0)].insert(id);
        return Reply::json({{"success", 1}});
    });
}

}  // namespace sample_service
