// The receiver list's sections, sort keys and search, without a screen.

#include "contacts/ReceiverSections.h"

#include "shell/InternationalControl.h"

#include <gtest/gtest.h>

using Json = nlohmann::json;

namespace {

Json person(long long id, const std::string& name, const std::string& role = "student") {
    return {{"userId", id}, {"name", name}, {"role", role}};
}

Json fullReply() {
    return {{"friend", {person(1, "赵老师", "teacher")}},
            {"teacher", {person(1, "赵老师", "teacher"), person(2, "钱老师", "teacher"), person(3, "孙老师", "teacher")}},
            {"parent",
             {{{"className", "一班"}, {"parent", {person(4, "家长甲", "parent")}}},
              {{"className", "二班"}, {"parent", Json::array()}}}},
            {"student", {{{"className", "一班"}, {"student", {person(5, "张三")}}}, {{"className", "二班"}}}},
            {"groups", {{{"groupName", "兴趣组"}, {"users", {person(1, "赵老师", "teacher"), person(5, "张三")}}}}}};
}

std::vector<std::string> titles(const ReceiverSections& sections) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < sections.count(); ++i) out.push_back(sections.titleAt(i));
    return out;
}

class ReceiverSectionsTest : public ::testing::Test {
protected:
    void SetUp() override { InternationalControl::setUserlanguage(InternationalControl::kChinese, false); }
};

TEST_F(ReceiverSectionsTest, SectionsFollowTheUsersRole) {
    struct Case {
        std::string role;
        Json reply;
        std::vector<std::string> expected;
    };
    const Json flat = {{"friend", Json::array()},
                       {"teacher", Json::array()},
                       {"parent", {person(4, "家长甲", "parent")}},
                       {"student", {person(5, "张三")}},
                       {"groups", {{{"groupName", "兴趣组"}, {"users", Json::array()}}}}};
    const std::vector<Case> cases = {
        {"teacher", fullReply(),
         {"新的好友", "我的好友", "我的同事", "一班家长", "二班家长", "一班学生", "二班学生", "兴趣组"}},
        {"parent", flat, {"我的好友", "班级老师", "学生家长", "我的孩子", "兴趣组"}},
        {"student", flat, {"新的好友", "我的好友", "我的老师", "我的家长", "我的同学", "兴趣组"}},
        {"admin", flat, {"新的好友", "我的好友", "", "兴趣组"}},
    };
    for (const auto& c : cases) {
        ReceiverSections sections;
        ASSERT_TRUE(buildReceiverSections(c.reply, c.role, sections)) << c.role;
        addNewFriendEntry(c.role, sections);
        EXPECT_EQ(titles(sections), c.expected) << c.role;
        for (const auto& flag : sections.flagArray) EXPECT_EQ(flag, 0) << c.role;
    }
}

TEST_F(ReceiverSectionsTest, TheTeacherCountHasALeadingBlankAndMissingListsCountZero) {
    ReceiverSections sections;
    ASSERT_TRUE(buildReceiverSections(fullReply(), "teacher", sections));
    EXPECT_EQ(sections.groupUserNum[1], " 3");
    EXPECT_EQ(sections.groupUserNum[0], "1");
    EXPECT_EQ(sections.groupUserNum[3], "0");  // 二班家长: an empty list
    EXPECT_EQ(sections.groupUserNum[5], "0");  // 二班学生: no list at all
    EXPECT_EQ(sections.myFriendArray[5], Json::array());
    addNewFriendEntry("teacher", sections);
    EXPECT_EQ(sections.myFriendArray[0], "新的好友");
    EXPECT_TRUE(sections.isTextEntry(0));
}

TEST_F(ReceiverSectionsTest, AReplyThatIsNoDictionaryChangesNothing) {
    ReceiverSections sections;
    ASSERT_TRUE(buildReceiverSections(fullReply(), "teacher", sections));
    const auto before = titles(sections);
    for (const Json& bad : {Json::array({fullReply()}), Json("text"), Json(nullptr), Json(12)}) {
        EXPECT_FALSE(buildReceiverSections(bad, "teacher", sections));
        EXPECT_EQ(titles(sections), before);
    }
}

TEST_F(ReceiverSectionsTest, SortKeysComeFromPinyinInitialsAndSortByCharacterCode) {
    EXPECT_EQ(receiverSortKey(Json("张三")), "zs");
    EXPECT_EQ(receiverSortKey(Json("Tom")), "Tom");
    EXPECT_EQ(receiverSortKey(Json("3班")), "#b");
    EXPECT_EQ(receiverSortKey(Json("")), "#");
    EXPECT_EQ(receiverSortKey(Json()), "#");
    ReceiverSections sections;
    sections.append("组", "4", Json{person(1, "李四"), person(2, "Anna"), person(3, "bob"), person(4, "5号")});
    sortReceiverSections(sections);
    std::vector<std::string> names;
    for (const auto& record : sections.myFriendArray[0]) names.push_back(record["name"]);
    EXPECT_EQ(names, (std::vector<std::string>{"5号", "Anna", "bob", "李四"}));
    EXPECT_EQ(sections.myFriendArray[0][0]["firstName"], "#h");
    EXPECT_EQ(sections.myFriendArray[0][3]["firstName"], "ls");
}

TEST_F(ReceiverSectionsTest, EqualKeysKeepTheirReplyOrder) {
    ReceiverSections sections;
    sections.append("组", "3", Json{person(1, "张三"), person(2, "周三"), person(3, "赵四")});
    sortReceiverSections(sections);
    EXPECT_EQ(sections.myFriendArray[0][0]["userId"], 1);
    EXPECT_EQ(sections.myFriendArray[0][1]["userId"], 2);
}

TEST_F(ReceiverSectionsTest, ASearchListsEachPersonOnceWithTheFirstSection) {
    ReceiverSections sections;
    ASSERT_TRUE(buildReceiverSections(fullReply(), "teacher", sections));
    addNewFriendEntry("teacher", sections);
    Json found = searchReceiverSections(sections, "赵");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]["whereFrom"], "我的好友");
    Json zhang = searchReceiverSections(sections, "张");
    ASSERT_EQ(zhang.size(), 1u);
    EXPECT_EQ(zhang[0]["whereFrom"], "一班学生");
    EXPECT_TRUE(searchReceiverSections(sections, "zs").empty());
    EXPECT_TRUE(searchReceiverSections(sections, "").empty());
}

TEST_F(ReceiverSectionsTest, IdsWithTwoColonsAreOnePersonOnlyWhenEqual) {
    ReceiverSections sections;
    sections.append("一班", "2", Json{{{"userId", "s::12"}, {"name", "王一"}}, {{"userId", "p::12"}, {"name", "王二"}}});
    sections.append("二班", "2", Json{{{"userId", "s::12"}, {"name", "王一"}}, {{"userId", "s::123"}, {"name", "王三"}}});
    sections.append("好友", "2", Json{{{"userId", "12"}, {"name", "王四"}}, {{"userId", 12}, {"name", "王四"}}});
    Json found = searchReceiverSections(sections, "王");
    std::vector<std::string> names;
    for (const auto& record : found) names.push_back(record["name"]);
    // "s::12" is not "s::123" nor "p::12"; "12" and 12 are one person.
    EXPECT_EQ(names, (std::vector<std::string>{"王一", "王二", "王三", "王四"}));
}

}  // namespace
