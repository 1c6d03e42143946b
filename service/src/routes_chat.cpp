// Messages: the conversation list of each sample user, the messages of a conversation
// page by page, sending (multipart: text, picture or voice), read marks, removing a
// message or a whole conversation, the unread sum in the new-item poll and the pictures
// sent while the service runs.
//
//   GET  services/norvo/pm/<user>/classify/list?limit=&maxIdNotIncludeSelf=
//   GET  services/norvo/pm/<user>/conversation/<peer or forum>?limit=&fieldId=&minIdNotIncludeSelf=&maxIdNotIncludeSelf=
//   GET  services/norvo/pm/<user>/conversation/<peer or forum>/readed?fieldId=
//   POST services/norvo/pm/<user>/send/<peer or forum>        (fieldId, msg, image, audio + duration)
//   GET  services/norvo/pm/<user>/remove/<message id>          "true" / "false"
//   GET  services/norvo/pm/<user>/removeSession/<peer or forum>?fieldId=   "true" / "false"
//
// The sample conversations come from chat.json. In a person conversation the peer answers
// a sent text a few seconds later (the chat finds it by its poll). What changes is kept
// until the service stops; one lock guards it.
#include "sample_service/SampleService.h"

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Values.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace sample_service {

namespace {

using nlohmann::json;

constexpr std::size_t kChatLargestPage = 50;
constexpr double kChatAnswerDelay = 3;
constexpr std::size_t kChatLargestUpload = 16u * 1024 * 1024;

double chatWallClock() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

struct ChatStore {
    std::mutex mutex;
    json people = json::object();
    json conversations = json::array();
    json rows = json::object();
    json answers = json::array();
    // Per user: the id of the last message read in each conversation (by conversation id).
    std::map<std::string, std::map<long long, long long>> readUpTo;
    // Per user: conversations removed from the list.
    std::map<std::string, std::set<long long>> removed;
    std::map<std::string, std::string> pictures;  // uploaded pictures by resource id
    long long nextMessageId = 800001;
    long long nextResourceId = 1;
    int nextAnswer = 0;
};

std::shared_ptr<ChatStore> loadChatStore(const std::filesystem::path& folder) {
    auto store = std::make_shared<ChatStore>();
    auto text = platform::readFile(folder / "chat.json", 4u * 1024 * 1024);
    json data = text ? json::parse(*text, nullptr, false) : json();
    if (!data.is_object()) return store;
    store->people = data.value("people", json::object());
    store->conversations = data.value("conversations", json::array());
    store->rows = data.value("rows", json::object());
    store->answers = data.value("answers", json::array());
    for (auto& conversation : store->conversations) {
        const json& messages = conversation["messages"];
        const json unread = conversation.value("unread", json::object());
        for (const auto& [user, count] : unread.items()) {
            long long unread = count.get<long long>();
            long long mark = 0;
            long long seen = static_cast<long long>(messages.size()) - unread;
            if (seen > 0) mark = messages[static_cast<std::size_t>(seen - 1)]["id"].get<long long>();
            store->readUpTo[user][conversation["id"].get<long long>()] = mark;
        }
    }
    return store;
}

class ChatRoutes {
public:
    ChatRoutes(SampleService& service, std::shared_ptr<ChatStore> store) : service_(service), store_(std::move(store)) {}

    // ---- Reading the store (the caller holds the lock).
    json person(const std::string& id) const {
        if (auto user = service_.data().userWithId(id)) return {{"name", user->value("name", "")}, {"role", user->value("role", "")}};
        if (store_->people.contains(id)) return store_->people[id];
        return {{"name", id}, {"role", "student"}};
    }
    static bool hasMember(const json& conversation, const std::string& user) {
        for (const auto& member : conversation["members"])
            if (member.get<std::string>() == user) return true;
        return false;
    }
    static std::string peerOf(const json& conversation, const std::string& user) {
        for (const auto& member : conversation["members"])
            if (member.get<std::string>() != user) return member.get<std::string>();
        return "";
    }
    // The conversation a path names: a person's id, or a forum id with "fieldId".
    json* conversationFor(const std::string& user, const std::string& key, const std::optional<std::string>& fieldId) {
        for (auto& conversation : store_->conversations) {
            if (!hasMember(conversation, user)) continue;
            if (conversation["type"] == "forum") {
                if (fieldId && platform::textOf(conversation, "forumId") == key &&
                    platform::textOf(conversation, "fieldId") == *fieldId)
                    return &conversation;
            } else if (!fieldId && peerOf(conversation, user) == key) {
                return &conversation;
            }
        }
        return nullptr;
    }
    bool visible(const json& message) const { return message.value("visibleAfter", 0.0) <= chatWallClock(); }
    long long readMark(const std::string& user, const json& conversation) {
        auto& marks = store_->readUpTo[user];
        auto found = marks.find(conversation["id"].get<long long>());
        return found == marks.end() ? 0 : found->second;
    }
    long long unreadOf(const std::string& user, const json& conversation) {
        long long mark = readMark(user, conversation), count = 0;
        for (const auto& message : conversation["messages"])
            if (visible(message) && message["from"] != user && message["id"].get<long long>() > mark) ++count;
        return count;
    }
    json messageFor(const std::string& user, const json& conversation, const json& message) {
        bool forum = conversation["type"] == "forum";
        std::string from = message["from"].get<std::string>();
        json sender = person(from);
        json out = {{"id", message["id"]},
                    {"uid", forum ? from : peerOf(conversation, user)},
                    {"status", from == user ? "1" : "0"},
                    {"msg", message.value("msg", "")},
                    {"sendTime", message["sendTime"]},
                    {"isReaded", message["id"].get<long long>() <= readMark(user, conversation) ? "1" : "0"},
                    {"name", sender["name"]},
                    {"role", sender["role"]}};
        if (message.contains("attachments")) out["attachments"] = message["attachments"];
        if (forum) {
            out["forumId"] = conversation["forumId"];
            out["fieldId"] = conversation["fieldId"];
        }
        return out;
    }
    json rowFor(const std::string& user, const json& conversation) {
        json last;
        for (const auto& message : conversation["messages"])
            if (visible(message)) last = message;
        json row = {{"id", conversation["id"]}, {"type", conversation["type"]}, {"unreadCount", unreadOf(user, conversation)}};
        if (last.is_object()) {
            row["msg"] = last.value("msg", "");
            row["sendTime"] = last["sendTime"];
            if (last.contains("attachments")) row["attachments"] = last["attachments"];
        }
        if (conversation["type"] == "forum") {
            row["name"] = conversation["name"];
            row["forumId"] = conversation["forumId"];
            row["fieldId"] = conversation["fieldId"];
        } else {
            std::string peer = peerOf(conversation, user);
            json who = person(peer);
            row["uid"] = std::stoll(peer);
            row["name"] = who["name"];
            row["role"] = who["role"];
            if (conversation.contains("sysflag")) row["sysflag"] = conversation["sysflag"];
        }
        return row;
    }

    // ---- Routes
    Reply list(const RecordedRequest& request) {
        const std::string user = request.arguments.at(0);
        std::lock_guard guard(store_->mutex);
        json rows = json::array();
        for (const auto& conversation : store_->conversations)
            if (hasMember(conversation, user) && !store_->removed[user].count(conversation["id"].get<long long>()))
                rows.push_back(rowFor(user, conversation));
        for (const auto& row : store_->rows.value(user, json::array()))
            if (!store_->removed[user].count(row["id"].get<long long>())) rows.push_back(row);
        auto timeOf = [](const json& row) {
            return platform::integerValue(platform::textOf(row.contains("dateline") ? row["dateline"] : row.value("sendTime", json(0))));
        };
        std::stable_sort(rows.begin(), rows.end(), [&](const json& a, const json& b) { return timeOf(a) > timeOf(b); });
        std::size_t first = 0;
        if (auto after = request.queryValue("maxIdNotIncludeSelf")) {
            first = rows.size();
            for (std::size_t i = 0; i < rows.size(); ++i)
                if (platform::textOf(rows[i], "id") == *after) first = i + 1;
        }
        long long limit = std::clamp<long long>(platform::integerValue(request.queryValue("limit").value_or("10")), 1,
                                                static_cast<long long>(kChatLargestPage));
        json page = json::array();
        for (std::size_t i = first; i < rows.size() && page.size() < static_cast<std::size_t>(limit); ++i)
            page.push_back(rows[i]);
        return Reply::json(page);
    }

    Reply conversation(const RecordedRequest& request) {
        const std::string user = request.arguments.at(0);
        std::lock_guard guard(store_->mutex);
        json* found = conversationFor(user, request.arguments.at(1), request.queryValue("fieldId"));
        if (!found) return Reply::json(json::array());
        long long limit = std::clamp<long long>(platform::integerValue(request.queryValue("limit").value_or("10")), 1,
                                                static_cast<long long>(kChatLargestPage));
        auto newer = request.queryValue("minIdNotIncludeSelf");
        auto older = request.queryValue("maxIdNotIncludeSelf");
        std::vector<json> chosen;
        for (const auto& message : (*found)["messages"]) {
            long long id = message["id"].get<long long>();
            if (!visible(message)) continue;
            if (newer && id <= platform::integerValue(*newer)) continue;
            if (older && id >= platform::integerValue(*older)) continue;
            chosen.push_back(message);
        }
        // Newer than an id: the oldest of them first; otherwise the newest page.
        std::size_t count = std::min<std::size_t>(chosen.size(), static_cast<std::size_t>(limit));
        std::size_t start = newer ? 0 : chosen.size() - count;
        json page = json::array();
        for (std::size_t i = start; i < start + count; ++i) page.push_back(messageFor(user, *found, chosen[i]));
        return Reply::json(page);
    }

    Reply readed(const RecordedRequest& request) {
        const std::string user = request.arguments.at(0);
        std::lock_guard guard(store_->mutex);
        json* found = conversationFor(user, request.arguments.at(1), request.queryValue("fieldId"));
        if (!found) return Reply::json({{"success", 0}, {"message", "会话不存在"}});
        long long last = 0;
        for (const auto& message : (*found)["messages"])
            if (visible(message)) last = message["id"].get<long long>();
        store_->readUpTo[user][(*found)["id"].get<long long>()] = last;
        return Reply::json({{"success", 1}});
    }

    Reply send(const RecordedRequest& request) {
        const std::string user = request.arguments.at(0);
        std::optional<std::string> fieldId;
        std::string text, duration;
        json attachment;
        std::lock_guard guard(store_->mutex);
        for (const auto& part : request.parts) {
            if (part.name == "fieldId") fieldId = part.bytes;
            if (part.name == "msg") text = part.bytes;
            if (part.name == "duration") duration = part.bytes;
            if ((part.name == "image" || part.name == "audio") && !part.bytes.empty() &&
                part.bytes.size() <= kChatLargestUpload) {
                std::string id = "chat" + std::to_string(store_->nextResourceId++);
                attachment = {{"id", id}, {"type", part.name}, {"resModuleId", id}};
                if (part.name == "image") store_->pictures[id] = part.bytes;
            }
        }
        if (attachment.is_object() && attachment["type"] == "audio") attachment["duration"] = duration;
        if (text.empty() && !attachment.is_object())
            return Reply::json({{"success", 0}, {"message", "消息不能为空"}});
        json* found = conversationFor(user, request.arguments.at(1), fieldId);
        if (!found) return Reply::json({{"success", 0}, {"message", "会话不存在"}});
        long long now = static_cast<long long>(chatWallClock());
        long long id = store_->nextMessageId++;
        json message = {{"id", id}, {"from", user}, {"msg", text}, {"sendTime", now}};
        if (attachment.is_object()) message["attachments"] = json::array({attachment});
        (*found)["messages"].push_back(message);
        store_->readUpTo[user][(*found)["id"].get<long long>()] = id;
        if ((*found)["type"] == "person" && !text.empty() && !store_->answers.empty()) {
            std::string peer = peerOf(*found, user);
            const json& answer = store_->answers[static_cast<std::size_t>(store_->nextAnswer++) % store_->answers.size()];
            (*found)["messages"].push_back({{"id", store_->nextMessageId++},
                                            {"from", peer},
                                            {"msg", answer},
                                            {"sendTime", now + static_cast<long long>(kChatAnswerDelay)},
                                            {"visibleAfter", chatWallClock() + kChatAnswerDelay}});
        }
        json reply = {{"id", id}, {"time", now}, {"success", 1}};
        if (attachment.is_object()) reply["resId"] = attachment["resModuleId"];
        return Reply::json(reply);
    }

    Reply remove(const RecordedRequest& request) {
        const std::string user = request.arguments.at(0);
        const long long id = platform::integerValue(request.arguments.at(1));
        std::lock_guard guard(store_->mutex);
        for (auto& conversation : store_->conversations) {
            if (!hasMember(conversation, user)) continue;
            auto& messages = conversation["messages"];
            for (auto it = messages.begin(); it != messages.end(); ++it) {
                if ((*it)["id"].get<long long>() != id) continue;
                messages.erase(it);
                return Reply::text("true");
            }
        }
        return Reply::text("false");
    }

    Reply removeSession(const RecordedRequest& request) {
        const std::string user = request.arguments.at(0);
        std::lock_guard guard(store_->mutex);
        if (json* found = conversationFor(user, request.arguments.at(1), request.queryValue("fieldId"))) {
            store_->removed[user].insert((*found)["id"].get<long long>());
            return Reply::text("true");
        }
        // The rows of the course notification centre carry no conversation: removed by id.
        for (const auto& row : store_->rows.value(user, json::array())) {
            if (platform::textOf(row, "id") == request.arguments.at(1) || platform::textOf(row, "uid") == request.arguments.at(1)) {
                store_->removed[user].insert(row["id"].get<long long>());
                return Reply::text("true");
            }
        }
        return Reply::text("false");
    }

    long long unreadSum(const std::string& user) {
        std::lock_guard guard(store_->mutex);
        long long sum = 0;
        for (const auto& conversation : store_->conversations)
            if (hasMember(conversation, user) && !store_->removed[user].count(conversation["id"].get<long long>()))
                sum += unreadOf(user, conversation);
        return sum;
    }

    std::optional<std::string> uploadedPicture(const std::string& id) {
        std::lock_guard guard(store_->mutex);
        auto found = store_->pictures.find(id);
        if (found == store_->pictures.end()) return std::nullopt;
        return found->second;
    }

private:
    SampleService& service_;
    std::shared_ptr<ChatStore> store_;
};

}  // namespace

void addChatRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto chat = std::make_shared<ChatRoutes>(service, loadChatStore(dataDirectory));
    auto add = [&service, chat](const char* method, const char* pattern, Reply (ChatRoutes::*handler)(const RecordedRequest&)) {
        service.route(method, pattern, [chat, handler](const RecordedRequest& request) { return ((*chat).*handler)(request); });
    };
    add("GET", "services/norvo/pm/%@/classify/list", &ChatRoutes::list);
    add("GET", "services/norvo/pm/%@/conversation/%@", &ChatRoutes::conversation);
    add("GET", "services/norvo/pm/%@/conversation/%@/readed", &ChatRoutes::readed);
    add("POST", "services/norvo/pm/%@/send/%@", &ChatRoutes::send);
    add("GET", "services/norvo/pm/%@/remove/%@", &ChatRoutes::remove);
    add("GET", "services/norvo/pm/%@/removeSession/%@", &ChatRoutes::removeSession);

    // The new-item poll reports the unread messages too.
    auto poll = service.handlerFor("GET", "services/norvo/user/%@/new/count");
    service.route("GET", "services/norvo/user/%@/new/count", [chat, poll](const RecordedRequest& request) {
        Reply reply = poll ? poll(request) : Reply::json({{"success", 1}});
        json body = json::parse(reply.body, nullptr, false);
        if (!body.is_object()) return reply;
        body["newPm"] = chat->unreadSum(request.arguments.at(0));
        return Reply::json(body, reply.status);
    });
    // Pictures sent while the service runs; every other thumbnail as before.
    auto thumbnails = service.handlerFor("GET", "resource/view/img_thumb/%@");
    service.route("GET", "resource/view/img_thumb/%@", [chat, thumbnails](const RecordedRequest& request) {
        if (auto bytes = chat->uploadedPicture(request.arguments.at(0))) return Reply::text(*bytes, "image/jpeg");
        return thumbnails ? thumbnails(request) : Reply::text("", "text/plain", 404);
    });
}

}  // namespace sample_service
