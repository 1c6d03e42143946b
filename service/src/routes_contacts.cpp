// Contacts: the classified receiver list of each sample user, the user's groups, creating a
// group, a group's member ids and the member operations, the class receivers of notices,
// and friend applications (list, answer, and "newApply" in the new-item poll).
//
//   GET services/norvo/pm/<user>/receivers/group/classify
//   GET services/norvo/forum/<user>/list
//   GET services/norvo/forum/user/<user>/create?fuids=a,b       {"success", "forumId", "fieldId", "name"} / "msg"
//   GET services/norvo/forum/<forum>/user/<user>/member/uid      [uid...]
//   GET services/norvo/forum/<forum>/user/<user>/member/operate?cancel=&admin=&uids=
//   GET services/norvo/user/<user>/class/user/receivers          [{"id", "name", "list": [{"id": "s::uid", "name"}]}]
//   GET services/norvo/friend/<user>/apply/list
//   GET services/norvo/friend/<user>/apply/deel?ids=&agree=      "true" / "false" (plain text)
//   POST services/norvo/<user>/search/users  (form "search")       [{"uid", "name", "role", "className", "friend_status"}]
//   POST services/norvo/<user>/friend/<other>/apply  (form "script") {"success": true}
//   GET services/norvo/auth/<name>/<password> also tells "configs": {"createForum"} (students may not)
//
// The data comes from contacts.json; what changes is kept until the service stops, under
// one lock.
#include "sample_service/SampleService.h"

#include "platform/Files.h"
#include "platform/Values.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <sstream>

namespace sample_service {

namespace {

using nlohmann::json;

// New groups made while the service runs are user groups (field id 3).
constexpr long long kContactsUserGroupField = 3;
constexpr std::size_t kContactsLargestGroup = 100;

struct ContactsStore {
    std::mutex mutex;
    json receivers = json::object();
    json groups = json::array();
    json classReceivers = json::object();
    json applications = json::object();
    json directory = json::array();
    json sentApplications = json::object();
    long long nextForumId = 701;
    long long nextApplicationId = 801;
};

std::shared_ptr<ContactsStore> loadContactsStore(const std::filesystem::path& folder) {
    auto store = std::make_shared<ContactsStore>();
    auto text = platform::readFile(folder / "contacts.json", 4u * 1024 * 1024);
    json data = text ? json::parse(*text, nullptr, false) : json();
    if (!data.is_object()) return store;
    store->receivers = data.value("receivers", json::object());
    store->groups = data.value("groups", json::array());
    store->classReceivers = data.value("classReceivers", json::object());
    store->applications = data.value("applications", json::object());
    store->directory = data.value("directory", json::array());
    store->sentApplications = data.value("sentApplications", json::object());
    return store;
}

std::vector<long long> contactIdList(const std::string& text) {
    std::vector<long long> ids;
    std::stringstream stream(text);
    std::string piece;
    while (std::getline(stream, piece, ','))
        if (!piece.empty()) ids.push_back(platform::integerValue(piece));
    return ids;
}

bool contactListHas(const json& list, long long id) {
    return std::any_of(list.begin(), list.end(), [id](const json& v) { return platform::integerValue(v) == id; });
}

void contactListRemove(json& list, long long id) {
    json kept = json::array();
    for (const auto& v : list)
        if (platform::integerValue(v) != id) kept.push_back(v);
    list = std::move(kept);
}

class ContactsRoutes {
public:
    ContactsRoutes(SampleService& service, std::shared_ptr<ContactsStore> store)
        : service_(service), store_(std::move(store)) {}

    // A sample user, else the first record of that id in any receiver list.
    json person(long long id) const {
        if (auto user = service_.data().userWithId(std::to_string(id)))
            return {{"userId", id}, {"name", user->value("name", "")}, {"role", user->value("role", "")}};
        for (const auto& [owner, reply] : store_->receivers.items()) {
            (void)owner;
            for (const auto& [key, value] : reply.items()) {
                (void)key;
                if (!value.is_array()) continue;
                for (const auto& entry : value) {
                    json flat = json::array();
                    if (entry.contains("userId")) flat.push_back(entry);
                    for (const char* inner : {"parent", "student", "users"})
                        if (entry.contains(inner) && entry[inner].is_array())
                            for (const auto& p : entry[inner]) flat.push_back(p);
                    for (const auto& p : flat)
                        if (platform::integerValue(p.value("userId", json(0))) == id) return p;
                }
            }
        }
        return {{"userId", id}, {"name", std::to_string(id)}, {"role", "student"}};
    }

    json* group(long long forumId) {
        for (auto& g : store_->groups)
            if (platform::integerValue(g["id"]) == forumId) return &g;
        return nullptr;
    }

    Reply receivers(const RecordedRequest& request) {
        std::lock_guard guard(store_->mutex);
        return Reply::json(store_->receivers.value(request.arguments.at(0), json::object()));
    }

    Reply forumList(const RecordedRequest& request) {
        const long long user = platform::integerValue(request.arguments.at(0));
        std::lock_guard guard(store_->mutex);
        json list = json::array();
        for (const auto& g : store_->groups)
            if (contactListHas(g["members"], user)) list.push_back({{"id", g["id"]}, {"name", g["name"]}, {"fieldId", g["fieldId"]}});
        return Reply::json(list);
    }

    Reply create(const RecordedRequest& request) {
        const long long user = platform::integerValue(request.arguments.at(0));
        auto uids = contactIdList(request.queryValue("fuids").value_or(""));
        if (uids.empty()) return Reply::json({{"success", false}, {"msg", "请选择群成员"}});
        if (uids.size() + 1 > kContactsLargestGroup) return Reply::json({{"success", false}, {"msg", "群组人数不能超过100人"}});
        std::lock_guard guard(store_->mutex);
        json members = json::array({user});
        std::string name = person(user).value("name", "");
        int named = 0;
        for (long long id : uids) {
            if (contactListHas(members, id)) continue;
            members.push_back(id);
            if (named++ < 2) name += "、" + person(id).value("name", "");
        }
        if (uids.size() > 2) name += "等";
        const long long forumId = store_->nextForumId++;
        store_->groups.push_back({{"id", forumId}, {"name", name}, {"fieldId", kContactsUserGroupField}, {"creator", user},
                                  {"admins", json::array()}, {"members", members}});
        return Reply::json({{"success", true}, {"forumId", forumId}, {"fieldId", kContactsUserGroupField}, {"name", name}});
    }

    Reply memberIds(const RecordedRequest& request) {
        std::lock_guard guard(store_->mutex);
        json* g = group(platform::integerValue(request.arguments.at(0)));
        return Reply::json(g ? (*g)["members"] : json::array());
    }

    Reply operate(const RecordedRequest& request) {
        const long long user = platform::integerValue(request.arguments.at(1));
        const bool cancel = request.queryValue("cancel").value_or("") == "true";
        const bool admin = request.queryValue("admin").value_or("") == "true";
        auto uids = contactIdList(request.queryValue("uids").value_or(""));
        std::lock_guard guard(store_->mutex);
        json* g = group(platform::integerValue(request.arguments.at(0)));
        if (!g) return Reply::json({{"success", false}, {"msg", "群组不存在"}});
        const bool creator = platform::integerValue((*g)["creator"]) == user;
        const bool manager = creator || contactListHas((*g)["admins"], user);
        if (!contactListHas((*g)["members"], user)) return Reply::json({{"success", false}, {"msg", "你不是群成员"}});
        if ((cancel || admin) && !manager) return Reply::json({{"success", false}, {"msg", "只有群主和管理员可以操作"}});
        if (admin && !creator) return Reply::json({{"success", false}, {"msg", "只有群主可以设置管理员"}});
        if (!cancel && !admin && (*g)["members"].size() + uids.size() > kContactsLargestGroup)
            return Reply::json({{"success", false}, {"msg", "群组人数已经达到上线100人了"}});
        for (long long id : uids) {
            if (!cancel && !admin && !contactListHas((*g)["members"], id)) (*g)["members"].push_back(id);
            if (cancel && !admin && id != platform::integerValue((*g)["creator"])) {
                contactListRemove((*g)["members"], id);
                contactListRemove((*g)["admins"], id);
            }
            if (!cancel && admin && contactListHas((*g)["members"], id) && !contactListHas((*g)["admins"], id)) (*g)["admins"].push_back(id);
            if (cancel && admin) contactListRemove((*g)["admins"], id);
        }
        return Reply::json({{"success", true}});
    }

    Reply classReceivers(const RecordedRequest& request) {
        auto user = service_.data().userWithId(request.arguments.at(0));
        std::lock_guard guard(store_->mutex);
        json classes = json::array();
        if (user)
            for (long long id : contactIdList(user->value("classIds", "")))
                if (store_->classReceivers.contains(std::to_string(id)))
                    classes.push_back(store_->classReceivers[std::to_string(id)]);
        return Reply::json(classes);
    }

    Reply applications(const RecordedRequest& request) {
        std::lock_guard guard(store_->mutex);
        return Reply::json(store_->applications.value(request.arguments.at(0), json::array()));
    }

    Reply answer(const RecordedRequest& request) {
        const std::string user = request.arguments.at(0);
        const std::string ids = request.queryValue("ids").value_or("");
        const std::string agree = request.queryValue("agree").value_or("");
        if (agree != "true" && agree != "false") return Reply::text("false");
        std::lock_guard guard(store_->mutex);
        json& waiting = store_->applications[user];
        if (!waiting.is_array()) waiting = json::array();
        for (auto it = waiting.begin(); it != waiting.end(); ++it) {
            if (platform::textOf(*it, "friend_id") != ids) continue;
            if (agree == "true") makeFriends(user, *it);
            waiting.erase(it);
            return Reply::text("true");
        }
        return Reply::text("false");
    }

    void makeFriends(const std::string& user, const json& application) {
        json& mine = store_->receivers[user];
        if (!mine.is_object()) mine = json::object();
        if (!mine["friend"].is_array()) mine["friend"] = json::array();
        const long long other = platform::integerValue(application["uid"]);
        if (!std::any_of(mine["friend"].begin(), mine["friend"].end(),
                         [other](const json& p) { return platform::integerValue(p.value("userId", json(0))) == other; }))
            mine["friend"].push_back({{"userId", other}, {"name", application.value("name", "")},
                                      {"role", application.value("role", "")}});
        json& theirs = store_->receivers[std::to_string(other)];
        if (theirs.is_object() && theirs["friend"].is_array()) {
            json me = person(platform::integerValue(user));
            if (!std::any_of(theirs["friend"].begin(), theirs["friend"].end(), [&](const json& p) {
                    return platform::integerValue(p.value("userId", json(0))) == platform::integerValue(user);
                }))
                theirs["friend"].push_back(me);
        }
    }

    // Sample users and the directory whose name holds the text; each person once, with the
    // relation to the asking user: null none, true friends, false an application waits.
    Reply searchUsers(const RecordedRequest& request) {
        const std::string user = request.arguments.at(0);
        const std::string text = request.formValue("search").value_or("");
        std::lock_guard guard(store_->mutex);
        json found = json::array();
        std::vector<long long> seen;
        auto consider = [&](const json& entry) {
            const long long id = platform::integerValue(entry.value("uid", json(0)));
            const std::string name = entry.value("name", "");
            if (name.find(text) == std::string::npos) return;
            if (std::find(seen.begin(), seen.end(), id) != seen.end()) return;
            seen.push_back(id);
            json row = entry;
            row["friend_status"] = relation(user, id);
            found.push_back(row);
        };
        for (const auto& u : service_.data().users())
            consider({{"uid", platform::integerValue(u.value("userId", json("0")))}, {"name", u.value("name", "")},
                      {"role", u.value("role", "")}, {"className", u.value("role", "") == "student" ? "三年级一班" : ""}});
        for (const auto& entry : store_->directory) consider(entry);
        return Reply::json(found);
    }

    json relation(const std::string& user, long long other) const {
        const json& mine = store_->receivers.value(user, json::object());
        const json& friends = mine.is_object() ? mine.value("friend", json::array()) : json::array();
        if (friends.is_array())
            for (const auto& p : friends)
                if (platform::integerValue(p.value("userId", json(0))) == other) return true;
        const json& sent = store_->sentApplications.value(user, json::array());
        if (sent.is_array() && contactListHas(sent, other)) return false;
        return nullptr;
    }

    // Keeps the application and shows it among the other user's friend requests.
    Reply apply(const RecordedRequest& request) {
        const std::string user = request.arguments.at(0);
        const long long other = platform::integerValue(request.arguments.at(1));
        std::lock_guard guard(store_->mutex);
        json& sent = store_->sentApplications[user];
        if (!sent.is_array()) sent = json::array();
        if (!contactListHas(sent, other)) sent.push_back(other);
        json& theirs = store_->applications[std::to_string(other)];
        if (!theirs.is_array()) theirs = json::array();
        json me = person(platform::integerValue(user));
        theirs.push_back({{"friend_id", store_->nextApplicationId++}, {"uid", me["userId"]}, {"name", me["name"]},
                          {"role", me["role"]}, {"post_script", request.formValue("script").value_or("")}});
        return Reply::json({{"success", true}});
    }

    bool applicationsWait(const std::string& user) {
        std::lock_guard guard(store_->mutex);
        const json& waiting = store_->applications.value(user, json::array());
        return waiting.is_array() && !waiting.empty();
    }

private:
    SampleService& service_;
    std::shared_ptr<ContactsStore> store_;
};

}  // namespace

void addContactsRoutes(SampleService& service, const std::filesystem::path& dataDirectory) {
    auto contacts = std::make_shared<ContactsRoutes>(service, loadContactsStore(dataDirectory));
    auto add = [&](const std::string& pattern, Reply (ContactsRoutes::*handler)(const RecordedRequest&)) {
        service.route("GET", pattern, [contacts, handler](const RecordedRequest& request) {
            return ((*contacts).*handler)(request);
        });
    };
    add("services/norvo/pm/%@/receivers/group/classify", &ContactsRoutes::receivers);
    add("services/norvo/forum/%@/list", &ContactsRoutes::forumList);
    add("services/norvo/forum/user/%@/create", &ContactsRoutes::create);
    add("services/norvo/forum/%@/user/%@/member/uid", &ContactsRoutes::memberIds);
    add("services/norvo/forum/%@/user/%@/member/operate", &ContactsRoutes::operate);
    add("services/norvo/user/%@/class/user/receivers", &ContactsRoutes::classReceivers);
    add("services/norvo/friend/%@/apply/list", &ContactsRoutes::applications);
    add("services/norvo/friend/%@/apply/deel", &ContactsRoutes::answer);

    service.route("POST", "services/norvo/%@/search/users",
                  [contacts](const RecordedRequest& request) { return contacts->searchUsers(request); });
    service.route("POST", "services/norvo/%@/friend/%@/apply",
                  [contacts](const RecordedRequest& request) { return contacts->apply(request); });

    // The sign-in reply tells whether the user may create groups: students may not.
    auto signIn = service.handlerFor("GET", "services/norvo/auth/%@/%@");
    service.route("GET", "services/norvo/auth/%@/%@", [signIn](const RecordedRequest& request) {
        Reply reply = signIn ? signIn(request) : Reply::json(json::object());
        json body = json::parse(reply.body, nullptr, false);
        if (!body.is_object() || !body.contains("role")) return reply;
        body["configs"] = {{"createForum", body.value("role", "") != "student"}};
        return Reply::json(body, reply.status);
    });

    // The new-item poll tells of applications that wait.
    auto poll = service.handlerFor("GET", "services/norvo/user/%@/new/count");
    service.route("GET", "services/norvo/user/%@/new/count", [contacts, poll](const RecordedRequest& request) {
        Reply reply = poll ? poll(request) : Reply::json({{"success", 1}});
        json body = json::parse(reply.body, nullptr, false);
        if (!body.is_object()) return reply;
        body["newApply"] = contacts->applicationsWait(request.arguments.at(0));
        return Reply::json(body, reply.status);
    });
}

}  // namespace sample_service
