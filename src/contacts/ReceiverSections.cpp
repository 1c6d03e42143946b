#include "contacts/ReceiverSections.h"

#include "core/PinyinInitial.h"
#include "shell/InternationalControl.h"

#include "platform/Values.h"

#include <algorithm>
#include <unordered_set>

using Json = nlohmann::json;
using platform::textOf;
using platform::valueFor;

void ReceiverSections::clear() {
    groupArray = Json::array();
    groupUserNum = Json::array();
    flagArray = Json::array();
    myFriendArray = Json::array();
}

void ReceiverSections::append(const Json& title, const std::string& countText, const Json& people) {
    groupArray.push_back(title.is_object() ? title : Json{{"name", title}});
    groupUserNum.push_back(countText);
    flagArray.push_back(0);
    myFriendArray.push_back(people);
}

std::string ReceiverSections::titleAt(std::size_t index) const {
    if (index >= groupArray.size()) return "";
    return textOf(groupArray[index], "name");
}

bool ReceiverSections::isTextEntry(std::size_t index) const {
    return index < myFriendArray.size() && myFriendArray[index].is_string();
}

namespace {

std::string peopleCount(const Json& people) { return std::to_string(people.is_array() ? people.size() : 0); }

Json peopleOrEmpty(const Json& people) { return people.is_array() ? people : Json::array(); }

void appendClassEntries(const Json& entries, const char* listKey, const std::string& suffix,
                        ReceiverSections& sections) {
    if (!entries.is_array()) return;
    for (const auto& entry : entries) {
        const Json& people = valueFor(entry, listKey);
        sections.append(textOf(entry, "className") + suffix, peopleCount(people), peopleOrEmpty(people));
    }
}

}  // namespace

bool buildReceiverSections(const Json& reply, const std::string& role, ReceiverSections& sections,
                           bool blankBeforeTeacherCount) {
    if (!reply.is_object()) return false;
    sections.clear();
    if (reply.contains("friend")) {
        const Json& people = reply["friend"];
        sections.append(localized("我的好友"), peopleCount(people), people);
    }
    if (reply.contains("teacher")) {
        const Json& people = reply["teacher"];
        std::string title;
        if (role == "teacher") title = localized("我的同事");
        else if (role == "parent") title = localized("班级老师");
        else if (role == "student") title = localized("我的老师");
        // In the contact list the teacher count alone has a leading blank.
        std::string countText = blankBeforeTeacherCount ? " " : "";
        countText.append(peopleCount(people));
        sections.append(title, countText, people);
    }
    if (reply.contains("parent")) {
        const Json& value = reply["parent"];
        if (role == "teacher") appendClassEntries(value, "parent", localized("家长"), sections);
        else if (role == "parent") sections.append(localized("学生家长"), peopleCount(value), value);
        else if (role == "student") sections.append(localized("我的家长"), peopleCount(value), value);
    }
    if (reply.contains("student")) {
        const Json& value = reply["student"];
        if (role == "teacher") appendClassEntries(value, "student", localized("学生"), sections);
        else if (role == "parent") sections.append(localized("我的孩子"), peopleCount(value), value);
        else if (role == "student") sections.append(localized("我的同学"), peopleCount(value), value);
    }
    if (reply.contains("groups") && reply["groups"].is_array()) {
        for (const auto& group : reply["groups"]) {
            const Json& people = valueFor(group, "users");
            sections.append(textOf(group, "groupName"), peopleCount(people), peopleOrEmpty(people));
        }
    }
    return true;
}

void addNewFriendEntry(const std::string& role, ReceiverSections& sections) {
    if (role == "parent") return;
    const std::string title = localized("新的好友");
    sections.groupArray.insert(sections.groupArray.begin(), Json{{"name", title}});
    sections.groupUserNum.insert(sections.groupUserNum.begin(), "0");
    sections.flagArray.insert(sections.flagArray.begin(), 0);
    sections.myFriendArray.insert(sections.myFriendArray.begin(), title);
}

std::string receiverSortKey(const Json& name) {
    if (name.is_discarded() || name.is_null()) return "#";
    const std::u16string units = platform::toUtf16(name.is_string() ? name.get<std::string>() : textOf(name));
    if (units.empty()) return "#";
    std::u16string key;
    key.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        // The answer is a character code 0-255; 0 (U+9FA6) adds nothing.
        auto code = static_cast<unsigned char>(pinyinInitialOfCharacter(units[i]));
        if (i == 0) {
            char upper = static_cast<char>(code >= 'a' && code <= 'z' ? code - 'a' + 'A' : code);
            if (upper < 'A' || upper > 'Z') {
                key.push_back(u'#');
                continue;
            }
        }
        if (code != 0) key.push_back(static_cast<char16_t>(code));
    }
    return platform::fromUtf16(key);
}

void sortReceiverSections(ReceiverSections& sections) {
    for (auto& people : sections.myFriendArray) {
        if (!people.is_array()) continue;
        std::vector<std::pair<std::string, Json>> keyed;
        keyed.reserve(people.size());
        for (auto& record : people) {
            if (!record.is_object()) continue;
            std::string key = receiverSortKey(valueFor(record, "name"));
            record["firstName"] = key;
            keyed.emplace_back(std::move(key), std::move(record));
        }
        // Every key character is below U+0100, so comparing UTF-8 bytes compares the codes.
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        Json sorted = Json::array();
        for (auto& [key, record] : keyed) sorted.push_back(std::move(record));
        people = std::move(sorted);
    }
}

std::string receiverIdentity(const Json& userId) {
    std::string text = textOf(userId);
    // Notice members carry "prefix::uid": such ids are one person only when equal.
    if (text.find("::") != std::string::npos) return "t:" + text;
    return "n:" + std::to_string(platform::integerValue(userId));
}

Json searchReceiverSections(const ReceiverSections& sections, const std::string& text) {
    Json result = Json::array();
    if (text.empty()) return result;
    std::unordered_set<std::string> seen;
    for (std::size_t i = 0; i < sections.myFriendArray.size(); ++i) {
        const Json& people = sections.myFriendArray[i];
        if (!people.is_array()) continue;
        const std::string where = sections.titleAt(i);
        for (const auto& record : people) {
            if (!record.is_object()) continue;
            if (!seen.insert(receiverIdentity(valueFor(record, "userId"))).second) continue;
            const Json& name = valueFor(record, "name");
            if (!name.is_string() || name.get_ref<const std::string&>().find(text) == std::string::npos) continue;
            Json copy = record;
            copy["whereFrom"] = where;
            result.push_back(std::move(copy));
        }
    }
    return result;
}
