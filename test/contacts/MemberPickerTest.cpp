// The member picker: the count on its button, the strip of picked people, the cap of a
// group, rows that cannot be picked, whole classes in the notice mode and the create
// request's refusal. Every step waits for its outcome, never for a fixed time.

#include "ContactsFixture.h"

#include "contacts/MVTSelectMemberViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"

using Json = nlohmann::json;
using sample_service::Reply;

namespace {

Json pickerPerson(long long id, const std::string& name, const std::string& role = "student") {
    return {{"userId", id}, {"name", name}, {"role", role}};
}

// 新的好友 (entry), 我的好友 with a system account, 读书兴趣小组.
Json receivers() {
    return {{"friend", {pickerPerson(1002, "赵老师", "teacher"), pickerPerson(10, "班级通讯小助手", "system")}},
            {"groups", {{{"groupName", "读书兴趣小组"}, {"users", {pickerPerson(2001, "李明"), pickerPerson(2002, "王芳")}}}}}};
}

class MemberPickerTest : public testing_support::ContactsTest {
protected:
    void SetUp() override {
        ContactsTest::SetUp();
        signIn("1001", "teacher", "11,12");
    }
    std::shared_ptr<MVTSelectMemberViewController> open(const std::string& mode, const Json& members = Json::array()) {
        picker = std::make_shared<MVTSelectMemberViewController>();
        picker->setWhereFrom(mode);
        picker->setIspresent(true);
        picker->setMemberArray(members);
        showRoot(picker);
        return picker;
    }
    // The section titled `title`, or -1.
    int section(const std::string& title) const {
        for (std::size_t i = 0; i < picker->sections().count(); ++i)
            if (picker->sections().titleAt(i) == title) return static_cast<int>(i);
        return -1;
    }
    // The text the confirm button shows ("" without the button).
    std::string confirmTitle() const {
        if (!picker->confirmButton()) return "";
        for (const auto& sub : picker->confirmButton()->subviews())
            if (auto label = std::dynamic_pointer_cast<platform::Label>(sub)) return label->text();
        return "";
    }
    std::shared_ptr<MVTSelectMemberViewController> picker;
};

TEST_F(MemberPickerTest, TheButtonCountsThePickedAndTheStripFollowsThem) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", receivers()));
    open(MVTSelectMemberViewController::kGroupNew);
    // No entry and no button before a pick.
    EXPECT_EQ(section("新的好友"), -1);
    EXPECT_FALSE(picker->confirmButton());

    ASSERT_GE(section("读书兴趣小组"), 0);
    picker->selectMember(section("读书兴趣小组"), 0);
    // The first pick put the strip in front: the group moved down one section.
    picker->selectMember(section("读书兴趣小组"), 1);
    EXPECT_EQ(confirmTitle(), "确定(2)");
    // The strip takes the first section while people are picked, 45 points per person.
    ASSERT_EQ(section("新的好友"), 0);
    const int shifted = section("读书兴趣小组");
    picker->viewForHeaderInSection(*picker->mytableview(), 0);
    ASSERT_TRUE(picker->selectedManagerView());
    EXPECT_EQ(picker->selectedManagerView()->contentSize().width, 45.0 * 2 + 20);
    EXPECT_EQ(picker->pickedCount(shifted), 2);

    // A second tap takes a person back; with nobody left the strip and the button go.
    picker->selectMember(shifted, 0);
    EXPECT_EQ(confirmTitle(), "确定(1)");
    picker->selectMember(section("读书兴趣小组"), 1);
    EXPECT_FALSE(picker->confirmButton());
    EXPECT_EQ(section("新的好友"), -1);
}

TEST_F(MemberPickerTest, AGroupTakesAHundredWithItsMembersAndNoMore) {
    Json people = Json::array();
    for (int i = 0; i < 3; ++i) people.push_back(pickerPerson(5000 + i, "同学" + std::to_string(i)));
    ASSERT_TRUE(ContactsCacheStore::writeObject(
        "1001", Json{{"groups", {{{"groupName", "三年级"}, {"users", people}}}}}));
    Json members = Json::array();
    for (int i = 0; i < 98; ++i) members.push_back({{"uid", 9000 + i}});
    open(MVTSelectMemberViewController::kGroupAdd, members);
    const int group = section("三年级");
    picker->selectMember(group, 0);
    picker->selectMember(section("三年级"), 1);
    EXPECT_EQ(picker->seleceedManagerArray().size(), 2u);
    EXPECT_FALSE(platform::AlertView::topAlert());

    picker->selectMember(section("三年级"), 2);
    EXPECT_EQ(picker->seleceedManagerArray().size(), 2u);
    auto alert = platform::AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "群组人数已经达到上线100人了,不能再添加新成员了");
    EXPECT_EQ(confirmTitle(), "确定(2)");
}

TEST_F(MemberPickerTest, ExistingMembersAndSystemAccountsCannotBePicked) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", receivers()));
    open(MVTSelectMemberViewController::kGroupAdd, Json::array({{{"uid", "2001"}}}));
    const int friends = section("我的好友");
    const int group = section("读书兴趣小组");
    // 赵老师 sorts after 班级通讯小助手 (b before z): the system account is row 0.
    ASSERT_EQ(picker->sections().myFriendArray[friends][0]["role"], "system");
    picker->selectMember(friends, 0);
    picker->selectMember(group, 0);  // 李明, already a member ("2001" and 2001 are one id)
    EXPECT_TRUE(picker->seleceedManagerArray().empty());
    EXPECT_FALSE(picker->confirmButton());

    // Their rows carry no check mark and the member's row the mark of a member.
    platform::Button opener;
    opener.setTag(friends);
    picker->btnClick(opener);
    opener.setTag(group);
    picker->btnClick(opener);
    auto& table = *picker->mytableview();
    driver->pump();
    auto systemRow = table.cellForRowAtIndexPath({friends, 0});
    ASSERT_TRUE(systemRow);
    EXPECT_FALSE(systemRow->accessoryView());
    auto memberRow = table.cellForRowAtIndexPath({group, 0});
    ASSERT_TRUE(memberRow && memberRow->accessoryView());
    EXPECT_EQ(memberRow->accessoryView()->accessibilityIdentifier(), "member_selected");
}

TEST_F(MemberPickerTest, NoticeReceiversReturnWholeClassesAndSingleMembersNeverAnEmptyClass) {
    const Json classes = Json::array(
        {{{"id", 11}, {"name", "三年级一班"}, {"list", {{{"id", "s::2001"}, {"name", "李明"}}, {{"id", "s::2002"}, {"name", "王芳"}}}}},
         {{"id", 12}, {"name", "三年级二班"}, {"list", {{{"id", "s::20011"}, {"name", "张三"}}, {{"id", "s::2003"}, {"name", "刘洋"}}}}},
         {{"id", 13}, {"name", "空班"}, {"list", Json::array()}}});
    service().setReply("GET", "/services/norvo/user/1001/class/user/receivers", Reply::json(classes));
    auto posts = count(MVTSelectMemberViewController::kReloadDataForReceivers);
    // The composer had class 11 whole and one member of class 12 whose id holds "s::2001".
    auto composer = std::make_shared<platform::ViewController>();
    showRoot(composer);
    picker = std::make_shared<MVTSelectMemberViewController>();
    picker->setWhereFrom(MVTSelectMemberViewController::kNotic);
    picker->setNoticSelectedArray(Json::array({{{"name", "三年级一班"}, {"id", 11}}, {{"name", "张三"}, {"uid", "s::20011"}}}));
    navigation->pushViewController(picker, false);
    ASSERT_TRUE(waitFor([&] { return picker->sections().count() == 3; }));
    EXPECT_EQ(picker->seleceedManagerArray().size(), 3u);
    // 张三's "s::20011" never marks 李明's "s::2001" or the reverse.
    EXPECT_EQ(picker->pickedCount(0), 2);
    EXPECT_EQ(picker->pickedCount(1), 1);
    EXPECT_EQ(picker->pickedCount(2), 0);
    EXPECT_EQ(confirmTitle(), "确定(3)");

    picker->addReceivers();
    ASSERT_EQ(posts->count, 1);
    const Json expected = Json::array({{{"name", "三年级一班"}, {"id", 11}}, {{"name", "张三"}, {"uid", "s::20011"}}});
    EXPECT_EQ(posts->last, expected);
    ASSERT_TRUE(waitFor([&] { return navigation->topViewController() == composer; }));
}

TEST_F(MemberPickerTest, ARefusedOrMisshapenCreateReplyKeepsThePickerAndItsChoice) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", receivers()));
    const std::string path = "/services/norvo/forum/user/1001/create";
    struct Case {
        const char* name;
        Reply reply;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"refused", Reply::json({{"success", false}, {"msg", "群组数量已达上限"}}), "群组数量已达上限"},
        {"no success", Reply::json({{"forumId", 5}}), ""},
        {"a list", Reply::json(Json::array({1})), ""},
    };
    open(MVTSelectMemberViewController::kGroupNew);
    const int group = section("读书兴趣小组");
    picker->selectMember(group, 0);
    picker->selectMember(section("读书兴趣小组"), 1);
    auto changes = count(MVTSelectMemberViewController::kGroupListChaged);
    for (const auto& c : cases) {
        service().setReply("GET", path, c.reply);
        platform::AlertView::clearVisible();
        picker->addNewGroup();
        ASSERT_TRUE(waitFor([&] { return platform::AlertView::topAlert() != nullptr; })) << c.name;
        EXPECT_EQ(platform::AlertView::topAlert()->message(), c.message) << c.name;
        EXPECT_FALSE(picker->isSuccess()) << c.name;
        EXPECT_EQ(picker->seleceedManagerArray().size(), 2u) << c.name;
        EXPECT_EQ(navigation->topViewController(), picker) << c.name;
        EXPECT_FALSE(navigation->presentedViewController()) << c.name;
    }
    EXPECT_EQ(changes->count, 0);
    auto sent = requestsTo("forum/user/1001/create");
    ASSERT_EQ(sent.size(), cases.size());
    EXPECT_EQ(sent.back().queryValue("fuids"), "2001,2002");
}

TEST_F(MemberPickerTest, ANewGroupTellsTheListsAndOpensItsChat) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", receivers()));
    service().setReply("GET", "/services/norvo/forum/user/1001/create",
                       Reply::json({{"success", true}, {"forumId", 88}, {"fieldId", 3}, {"name", "新群组"}}));
    open(MVTSelectMemberViewController::kGroupNew);
    picker->selectMember(section("读书兴趣小组"), 0);
    auto changes = count(MVTSelectMemberViewController::kGroupListChaged);
    picker->addNewGroup();
    ASSERT_TRUE(waitFor([&] { return picker->presentedViewController() != nullptr; }));
    EXPECT_EQ(changes->count, 1);
    EXPECT_TRUE(picker->isSuccess());
}

}  // namespace
