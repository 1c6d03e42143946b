#pragma once

// The receiver list turned into sections: the one home of the section building, the
// pinyin sort key, the sort and the search that the contact list, the member picker and
// the contacts tab's own list share.
//
// The four lists are parallel, one entry per section at the same index:
//   groupArray    {"name": title} (notice classes add "id")
//   groupUserNum  the number of people as text (" %d" for the teacher section)
//   flagArray     0 closed, 1 open
//   myFriendArray the people of the section, or, for the new-friends entry, its title text

#include <nlohmann/json.hpp>

#include <string>

struct ReceiverSections {
    nlohmann::json groupArray = nlohmann::json::array();
    nlohmann::json groupUserNum = nlohmann::json::array();
    nlohmann::json flagArray = nlohmann::json::array();
    nlohmann::json myFriendArray = nlohmann::json::array();

    std::size_t count() const { return groupArray.size(); }
    bool empty() const { return groupArray.empty(); }
    void clear();
    // Appends one closed section.
    void append(const nlohmann::json& title, const std::string& countText, const nlohmann::json& people);
    // The title text of section i ("" past the end).
    std::string titleAt(std::size_t index) const;
    // True for the entry that holds a text instead of people.
    bool isTextEntry(std::size_t index) const;
};

// The sections of a classified receiver reply ("friend", "teacher", "parent", "student",
// "groups") for a user of `role`, closed, in that order. False (and nothing changed) when
// the reply is no dictionary. Titles are looked up in the string table; class and group
// names stand as they are. The new-friends entry is not added here.
// `blankBeforeTeacherCount` writes the teacher section's count " %d" instead of "%d".
bool buildReceiverSections(const nlohmann::json& reply, const std::string& role, ReceiverSections& sections,
                           bool blankBeforeTeacherCount = true);

// Puts the new-friends entry ("新的好友", count "0", the title text as its people) in front,
// for every role but "parent".
void addNewFriendEntry(const std::string& role, ReceiverSections& sections);

// The sort key of a name: the pinyin initial of each UTF-16 unit (the unit's low byte for
// other characters); a first character that is no letter A-Z in capitals gives "#". An
// empty or missing name gives "#". 张三 gives "zs", Tom "Tom", 3班 "#b".
std::string receiverSortKey(const nlohmann::json& name);

// Gives every record of every person list its "firstName" and sorts each list by it,
// comparing character codes ("#" before capitals before small letters); equal keys keep
// their order.
void sortReceiverSections(ReceiverSections& sections);

// The people whose "name" contains `text` (case-sensitive), each person once, with
// "whereFrom" the title of the first section that lists them. A person is the same when
// the "userId" texts are equal; ids without "::" are compared as numbers (12 and "12" are
// one person), ids with "::" as whole texts.
nlohmann::json searchReceiverSections(const ReceiverSections& sections, const std::string& text);

// The identity of a person for the comparisons above.
std::string receiverIdentity(const nlohmann::json& userId);
