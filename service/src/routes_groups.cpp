// Groups: a group's profile data per viewer, its member list in the two shapes (user
// groups by rank, other groups by role), renaming, the message setting, leaving or
// dismissing, and the receiver list by class-mates and friends.
//
//   GET  services/norvo/forum/<forum>/<field>/member
//   GET  services/norvo/<user>/forum/<forum>/<field>/data       {"name", "total", "members", "set", "memberType"} / {"mesage"}
//   POST services/norvo/forum/<forum>/user/<user>/name/update   name=         {"success"} / "msg"
//   POST services/norvo/<user>/forum/<forum>/<field>/set/update multipart set {"success"} / "msg"
//   GET  services/norvo/forum/<forum>/user/<user>/cancel        {"success"}
//   GET  services/norvo/pm/<user>/receivers/classify            {"clazz": [...], "friend": [...]}
//
// Membership itself lives with the contacts routes (creating groups, the operate request):
// these routes ask them for the present members and follow the administrator changes
// they accept. Groups and people come from contacts.json; groups.json adds the message
// settings. What changes is kept until the service stops, under one lock.
#include "sample_service/SampleService.h"

#include "platform/Values.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace sample_service {

namespace {

using nlohmann::json;

constexpr const char* kGroupsUserGroupField = "3";
constexpr std::size_t kGroupsNameLimit = 16;
constexpr std::size_t kGroupsStripSize = 6;

struct GroupRecord {
    std::string name;
    long long creator = 0;
    std::set<long long> admins;
    std::set<long long> left;  // members who left; the contacts routes still list them
    bool dismissed = false;
    std::map<long long, int> settings;  // viewer -> 0, 1 or 2
};

struct GroupsStore {
    std::mutex mutex;
    std::map<long long, GroupRecord> groups;
    std::map<long long, json> people;  // id -> {"userId", "name", "role"}
    json receivers = json::object();
};

void collectGroupPeople(const json& value, std::map<long long, json>& people) {
    if (value.is_object()) {
        if (value.contains("userId") && value.contains("name")) {
            const long long id = platform::integerValue(value["userId"]);
            if (!people.count(id))
                people[id] = {{"userId", id}, {"name", value["name"]}, {"role", value.value("role", "")}};
        }
        for (const auto& [key, inner] : value.items()) {
            (void)key;
            collectGroupPeople(inner, people);
        }
    } else if (value.is_array()) {
        for (const auto& inner : value) collectGroupPeople(inner, people);
    }
}

std::shared_ptr<GroupsStore> loadGroupsStore(const std::filesystem::path& folder) {
    auto store = std::make_shared<GroupsStore>();
    json contacts = readDataFile(folder, "contacts.json");
    json extra = readDataFile(folder, "groups.json");
    if (contacts.is_object()) {
        store->receivers = contacts.value("receivers", json::object());
        collectGroupPeople(store->receivers, store->people);
        for (const auto& g : contacts.value("groups", json::array())) {
            GroupRecord record;
            record.name = g.value("name", "");
            record.creator = platform::integerValue(g.value("creator", json(0)));
            for (const auto& id : g.value("admins", json::array())) record.admins.insert(platform::integerValue(id));
            store->groups[platform::integerValue(g.value("id", json(0)))] = std::move(record);
        }
    }
    // Held in a local: iterating items() of the temporary would read freed memory.
    const json allSettings = extra.is_object() ? extra.value("settings", json::object()) : json::object();
    if (allSettings.is_object())
        for (const auto& [forum, settings] : allSettings.items())
            if (auto found = store->groups.find(platform::integerValue(forum)); found != store->groups.end())
                for (const auto& [user, set] : settings.items())
                    found->second.settings[platform::integerValue(user)] = platform::intValue(set);
    return store;
}

class GroupsRoutes {
public:
    GroupsRoutes(SampleService& service, std::shared_ptr<GroupsStore> store)
        : service_(service), store_(std::move(store)) {}

    // The members as the contacts routes hold them, less those who left.
    std::vector<long long> members(long long forum, const GroupRecord& record) const {
        std::vector<long long> ids;
        auto handler = service_.handlerFor("GET", "services/norvo/forum/%@/user/%@/member/uid");
        if (!handler) return ids;
        RecordedRequest ask;
        ask.arguments = {std::to_string(forum), std::to_string(record.creator)};
        json list = json::parse(handler(ask).body, nullptr, false);
        if (!list.is_array()) return ids;
        for (const auto& id : list) {
            const long long uid = platform::integerValue(id);
            if (!record.left.count(uid)) ids.push_back(uid);
        }
        return ids;
    }

    json person(long long id) const {
        if (auto user = service_.data().userWithId(std::to_string(id)))
            return {{"uid", id}, {"name", user->value("name", "")}, {"role", user->value("role", "")}};
        if (auto found = store_->people.find(id); found != store_->people.end())
            return {{"uid", id}, {"name", found->second["name"]}, {"role", found->second["role"]}};
        return {{"uid", id}, {"name", std::to_string(id)}, {"role", "student"}};
    }

    GroupRecord* group(const std::string& forum) {
        auto found = store_->groups.find(platform::integerValue(forum));
        if (found == store_->groups.end() || found->second.dismissed) return nullptr;
        return &found->second;
    }

    Reply memberList(const RecordedRequest& request) {
        std::lock_guard guard(store_->mutex);
        GroupRecord* record = group(request.arguments.at(0));
        if (!record) return Reply::json(json::object());
        const auto ids = members(platform::integerValue(request.arguments.at(0)), *record);
        if (request.arguments.at(1) == kGroupsUserGroupField) {
            json reply = {{"admin", json::array()}, {"ordinary", json::array()}};
            for (long long id : ids) {
                if (id == record->creator)
                    reply["creater"] = person(id);
                else
                    reply[record->admins.count(id) ? "admin" : "ordinary"].push_back(person(id));
            }
            return Reply::json(reply);
        }
        json reply = json::object();
        for (long long id : ids) {
            json member = person(id);
            std::string role = member.value("role", "student");
            if (role != "teacher" && role != "parent") role = "student";
            if (!reply.contains(role)) reply[role] = json::array();
            reply[role].push_back(member);
        }
        return Reply::json(reply);
    }

    Reply data(const RecordedRequest& request) {
        const long long user = platform::integerValue(request.arguments.at(0));
        std::lock_guard guard(store_->mutex);
        GroupRecord* record = group(request.arguments.at(1));
        if (!record) return Reply::json({{"mesage", "群组不存在"}});
        const auto ids = members(platform::integerValue(request.arguments.at(1)), *record);
        if (std::find(ids.begin(), ids.end(), user) == ids.end()) return Reply::json({{"mesage", "你不是群成员"}});
        json strip = json::array();
        for (long long id : ids)
            if (strip.size() < kGroupsStripSize) strip.push_back(person(id));
        const int type = user == record->creator ? 2 : record->admins.count(user) ? 1 : 0;
        const auto set = record->settings.find(user);
        return Reply::json({{"name", record->name},
                            {"total", ids.size()},
                            {"members", strip},
                            {"set", set == record->settings.end() ? 0 : set->second},
                            {"memberType", type}});
    }

    Reply rename(const RecordedRequest& request) {
        const long long user = platform::integerValue(request.arguments.at(1));
        const std::string name = request.formValue("name").value_or("");
        std::lock_guard guard(store_->mutex);
        GroupRecord* record = group(request.arguments.at(0));
        if (!record) return Reply::json({{"success", false}, {"msg", "群组不存在"}});
        if (record->creator != user) return Reply::json({{"success", false}, {"msg", "只有群主可以修改群名称"}});
        const std::size_t length = platform::utf16Length(name);
        if (length == 0 || length > kGroupsNameLimit)
            return Reply::json({{"success", false}, {"msg", "群名称应为1到16个字符"}});
        record->name = name;
        return Reply::json({{"success", true}});
    }

    Reply setting(const RecordedRequest& request) {
        const long long user = platform::integerValue(request.arguments.at(0));
        std::string value;
        for (const auto& part : request.parts)
            if (part.name == "set") value = part.bytes;
        std::lock_guard guard(store_->mutex);
        GroupRecord* record = group(request.arguments.at(1));
        if (!record) return Reply::json({{"success", false}, {"msg", "群组不存在"}});
        if (value != "0" && value != "1" && value != "2") return Reply::json({{"success", false}, {"msg", "设置无效"}});
        record->settings[user] = std::stoi(value);
        return Reply::json({{"success", true}});
    }

    Reply leave(const RecordedRequest& request) {
        const long long user = platform::integerValue(request.arguments.at(1));
        std::lock_guard guard(store_->mutex);
        GroupRecord* record = group(request.arguments.at(0));
        if (!record) return Reply::json({{"success", false}, {"msg", "群组不存在"}});
        if (record->creator == user)
            record->dismissed = true;
        else
            record->left.insert(user);
        record->admins.erase(user);
        return Reply::json({{"success", true}});
    }

    // The administrator changes the contacts routes accepted.
    void followOperate(const RecordedRequest& request, const Reply& reply) {
        json body = json::parse(reply.body, nullptr, false);
        if (!body.is_object() || body.value("success", false) != true) return;
        if (request.queryValue("admin").value_or("") != "true") return;
        const bool cancel = request.queryValue("cancel").value_or("") == "true";
        std::lock_guard guard(store_->mutex);
        GroupRecord* record = group(request.arguments.at(0));
        if (!record) return;
        const long long uid = platform::integerValue(request.queryValue("uids").value_or(""));
        if (cancel)
            record->admins.erase(uid);
        else
            record->admins.insert(uid);
    }

    // A group made while the service runs: its creator is the one who asked.
    void followCreate(const RecordedRequest& request, const Reply& reply) {
        json body = json::parse(reply.body, nullptr, false);
        if (!body.is_object() || body.value("success", false) != true) return;
        std::lock_guard guard(store_->mutex);
        GroupRecord record;
        record.name = body.value("name", "");
        record.creator = platform::integerValue(request.arguments.at(0));
        store_->groups[platform::integerValue(body.value("forumId", json(0)))] = std::move(record);
    }

    // The contacts routes' group list with the names given since and without the groups
    // dismissed or left.
    json followList(const RecordedRequest& request, const Reply& reply) {
        json list = json::parse(reply.body, nullptr, false);
        if (!list.is_array()) return list;
        const long long user = platform::integerValue(request.arguments.at(0));
        std::lock_guard guard(store_->mutex);
        json kept = json::array();
        for (auto entry : list) {
            auto found = store_->groups.find(platform::integerValue(entry.value("id", json(0))));
            if (found != store_->groups.end()) {
                if (found->second.dismissed || found->second.left.count(user)) continue;
                entry["name"] = found->second.name;
            }
            kept.push_back(entry);
        }
        return kept;
    }

    Reply receivers(const RecordedRequest& request) {
        std::lock_guard guard(store_->mutex);
        const json& mine = store_->receivers.value(request.arguments.at(0), json::object());
        json clazz = json::array();
        std::set<long long> seen;
        for (const char* key : {"teacher", "student", "parent"}) {
            std::map<long long, json> found;
            collectGroupPeople(mine.value(key, json::array()), found);
            for (const auto& [id, entry] : found)
                if (seen.insert(id).second) clazz.push_back(entry);
        }
        return Reply::json({{"clazz", clazz}, {"friend", mine.value("friend", json::array())}});
    }

private:
    SampleService& service_;
    std::shared_ptr<GroupsStore> store_;
};

}  // namespace

void addGroupRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto groups = std::make_shared<GroupsRoutes>(service, loadGroupsStore(dataDirectory));
    auto add = [&](const std::string& method, const std::string& pattern,
                   Reply (GroupsRoutes::*handler)(const RecordedRequest&)) {
        service.route(method, pattern, [groups, handler](const RecordedRequest& request) {
            return ((*groups).*handler)(request);
        });
    };
    add("GET", "services/norvo/forum/%@/%@/member", &GroupsRoutes::memberList);
    add("GET", "services/norvo/%@/forum/%@/%@/data", &GroupsRoutes::data);
    add("POST", "services/norvo/forum/%@/user/%@/name/update", &GroupsRoutes::rename);
    add("POST", "services/norvo/%@/forum/%@/%@/set/update", &GroupsRoutes::setting);
    add("GET", "services/norvo/forum/%@/user/%@/cancel", &GroupsRoutes::leave);
    add("GET", "services/norvo/pm/%@/receivers/classify", &GroupsRoutes::receivers);

    // Follow what the contacts routes change, answering as they answer.
    const std::string operatePattern = "services/norvo/forum/%@/user/%@/member/operate";
    if (auto operate = service.handlerFor("GET", operatePattern))
        service.route("GET", operatePattern, [groups, operate](const RecordedRequest& request) {
            Reply reply = operate(request);
            groups->followOperate(request, reply);
            return reply;
        });
    const std::string createPattern = "services/norvo/forum/user/%@/create";
    if (auto create = service.handlerFor("GET", createPattern))
        service.route("GET", createPattern, [groups, create](const RecordedRequest& request) {
            Reply reply = create(request);
            groups->followCreate(request, reply);
            return reply;
        });
    const std::string listPattern = "services/norvo/forum/%@/list";
    if (auto list = service.handlerFor("GET", listPattern))
        service.route("GET", listPattern, [groups, list](const RecordedRequest& request) {
            Reply reply = list(request);
            if (reply.status != 200) return reply;
            return Reply::json(groups->followList(request, reply));
        });
}

}  // namespace sample_service
