// The group profile: what each viewer sees, the rename limits and replies, the message
// setting and its guard, leaving, and replies that are no group data.

#include "ContactsFixture.h"

#include "chat/MVTChatViewController.h"
#include "contacts/MVTGongGaoViewController.h"
#include "contacts/MVTGroupDetailViewController.h"
#include "contacts/MVTGroupMemberViewController.h"
#include "contacts/MVTSelectMemberViewController.h"
#include "shell/ViewViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TextField.h"

using Json = nlohmann::json;
using sample_service::Reply;

namespace {

Json groupMembers(int count) {
    Json members = Json::array();
    for (int i = 0; i < count; ++i)
        members.push_back({{"uid", 2001 + i}, {"name", "成员" + std::to_string(i)}, {"role", "student"}});
    return members;
}

class GroupDetailTest : public testing_support::ContactsTest {
protected:
    void SetUp() override {
        ContactsTest::SetUp();
        signIn("1001", "teacher", "11,12");
    }
    std::string dataPath(const std::string& group, const std::string& field) const {
        return "/services/norvo/1001/forum/" + group + "/" + field + "/data";
    }
    void replyData(const std::string& group, const std::string& field, const Json& data) {
        service().setReply("GET", dataPath(group, field), Reply::json(data));
    }
    // The profile pushed over a group chat, the stack presented over a base screen.
    std::shared_ptr<MVTGroupDetailViewController> open(const std::string& group, const std::string& field,
                                                       bool waitForData = true) {
        chat = std::make_shared<MVTChatViewController>();
        chat->setTitle("群聊");
        stack = myNavigationController::withRoot(chat);
        base = std::make_shared<ViewViewController>();
        showRoot(base);
        base->presentViewController(stack, false);
        profile = std::make_shared<MVTGroupDetailViewController>();
        profile->setGroupId(group);
        profile->setGroupType(field);
        stack->pushViewController(profile, false);
        driver->pump();
        if (waitForData) {
            EXPECT_TRUE(waitFor([&] { return !profile->isLoadIng(); }));
        }
        return profile;
    }
    std::shared_ptr<platform::View> onPage(const std::string& label) {
        return driver->find([&](const platform::View& v) {
            return v.accessibilityLabel() == label && v.isDescendantOf(profile->view().get());
        });
    }
    int avatars() {
        return static_cast<int>(driver
                                    ->findAll([&](const platform::View& v) {
                                        return v.className() == "ImageView" && !v.accessibilityHint().empty() &&
                                               v.isDescendantOf(profile->view().get());
                                    })
                                    .size());
    }
    void rename(const std::string& text) {
        profile->changeGroupName();
        auto alert = driver->alert();
        ASSERT_TRUE(alert);
        alert->textFieldAtIndex(0)->setText(text);
        driver->pressAlertButton(1);
        driver->pump();
    }
    std::shared_ptr<MVTChatViewController> chat;
    std::shared_ptr<myNavigationController> stack;
    std::shared_ptr<ViewViewController> base;
    std::shared_ptr<MVTGroupDetailViewController> profile;
};

TEST_F(GroupDetailTest, EachViewerSeesTheControlsOfTheirRank) {
    struct Case {
        const char* field;
        int memberType;
        int avatars;
        bool add, rename;
        const char* bar;  // nullptr: no bottom bar
    };
    const Case cases[] = {
        {"3", 2, 5, true, true, "解散群组"},
        {"3", 1, 5, true, false, "离开群组"},
        {"3", 0, 6, false, false, "离开群组"},
        {"1", 2, 6, false, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + "/" + std::to_string(c.memberType));
        replyData("601", c.field,
                  {{"name", "读书兴趣小组"}, {"total", 8}, {"members", groupMembers(8)}, {"set", 0},
                   {"memberType", c.memberType}});
        open("601", c.field);
        EXPECT_EQ(avatars(), c.avatars);
        EXPECT_EQ(onPage("添加") != nullptr, c.add);
        EXPECT_EQ(onPage("修改群名称") != nullptr, c.rename);
        EXPECT_EQ(driver->byText("解散群组") != nullptr, c.bar && std::string(c.bar) == "解散群组");
        EXPECT_EQ(driver->byText("离开群组") != nullptr, c.bar && std::string(c.bar) == "离开群组");
        EXPECT_TRUE(driver->byText("群成员 (8)"));
        // The member list gets management only for a manager of a user group.
        profile->showMembers();
        driver->settle();
        auto members = std::dynamic_pointer_cast<MVTGroupMemberViewController>(stack->topViewController());
        ASSERT_TRUE(members);
        EXPECT_EQ(members->isSupportToCommand(), c.add);
        EXPECT_EQ(members->userRole(), c.memberType == 2 ? "system" : c.memberType == 1 ? "admin" : "");
        EXPECT_EQ(members->fieldId(), c.field);
        base->dismissViewController(false);
        driver->pump();
    }
}

TEST_F(GroupDetailTest, TheSettingRowShowsOnlyAKnownValue) {
    const std::pair<Json, std::string> cases[] = {
        {1, "仅接收消息不提醒  >"}, {2, "屏蔽群消息  >"}, {7, ""}, {-1, ""}, {"1", ""}, {Json(), ""}};
    for (const auto& [set, shown] : cases) {
        SCOPED_TRACE(set.dump());
        Json data{{"name", "读书兴趣小组"}, {"total", 3}, {"members", groupMembers(3)}, {"memberType", 0}};
        if (!set.is_null()) data["set"] = set;
        replyData("601", "3", data);
        open("601", "3");
        ASSERT_TRUE(profile->groupNewsSettingSelect());
        EXPECT_EQ(profile->groupNewsSettingSelect()->text(), shown);
        base->dismissViewController(false);
        driver->pump();
    }
}

TEST_F(GroupDetailTest, AReplyWithoutMemberTypeKeepsTheEarlierRank) {
    replyData("601", "3", {{"name", "读书兴趣小组"}, {"total", 3}, {"members", groupMembers(3)}, {"memberType", "2"}});
    open("601", "3");
    EXPECT_EQ(profile->userType(), "2");
    replyData("601", "3", {{"name", "新名字"}, {"total", 3}, {"members", groupMembers(3)}});
    profile->netGetData();
    ASSERT_TRUE(waitFor([&] { return profile->groupNameString() == "新名字"; }));
    EXPECT_EQ(profile->userType(), "2");
    EXPECT_TRUE(driver->byText("解散群组"));
}

TEST_F(GroupDetailTest, RepliesThatAreNoGroupDataChangeNothing) {
    replyData("601", "3", {{"name", "读书兴趣小组"}, {"total", 3}, {"members", groupMembers(3)}, {"memberType", 2}});
    open("601", "3");
    const Json before = profile->dataDictionary();
    const Reply replies[] = {Reply::json({{"mesage", "群组不存在"}, {"name", "x"}}), Reply::json(Json::array({1, 2})),
                             Reply::json("text"), Reply::text("<html>not json"), Reply::json({{"memberType", "abc"}}),
                             Reply::text(std::string(3u << 20, '['), "application/json")};
    int n = 0;
    for (const auto& reply : replies) {
        SCOPED_TRACE(n++);
        service().setReply("GET", dataPath("601", "3"), reply);
        profile->netGetData();
        ASSERT_TRUE(waitFor([&] { return !profile->isLoadIng(); }));
        if (n < 5) {
            EXPECT_EQ(profile->dataDictionary(), before);
        }
        EXPECT_FALSE(profile->HUD());
    }
    // A member type that is no number counts as an ordinary member.
    EXPECT_EQ(profile->userType(), "0");
}

TEST_F(GroupDetailTest, RenameCountsUtf16UnitsAndAsksAgainWithTheTypedText) {
    replyData("601", "3", {{"name", "读书兴趣小组"}, {"total", 3}, {"members", groupMembers(3)}, {"memberType", 2}});
    open("601", "3");
    const std::string sixteen = "一二三四五六七八九十一二三四五六";
    const std::string seventeen = "一二三四五六七八九十一二三四五" + std::string("\xF0\x9F\x98\x80");  // 15 + a pair
    struct Case {
        std::string text;
        bool sent;
        const char* message;
    };
    const Case cases[] = {{sixteen, true, nullptr},
                          {seventeen, false, "你所修改的群名称超出16字符限定,请删除多余的字符"},
                          {"", false, "你所修改的群名称为空,请填写"}};
    service().setReply("POST", "/services/norvo/forum/601/user/1001/name/update", Reply::json({{"success", false}, {"msg", "不行"}}));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        platform::AlertView::clearVisible();
        service().clearRequests();
        rename(c.text);
        if (c.sent) {
            ASSERT_TRUE(waitFor([&] { return !requestsTo("forum/601/user/1001/name/update").empty(); }));
            EXPECT_EQ(requestsTo("forum/601/user/1001/name/update")[0].formValue("name"), c.text);
        } else {
            auto again = driver->alert();
            ASSERT_TRUE(again);
            EXPECT_EQ(again->title(), "修改群名称");
            EXPECT_EQ(again->message(), c.message);
            EXPECT_EQ(again->textFieldAtIndex(0)->text(), c.text);
            EXPECT_EQ(again->tag(), MVTGroupDetailViewController::kRenameAlertTag);
            EXPECT_TRUE(requestsTo("forum/601/user/1001/name/update").empty());
        }
    }
}

TEST_F(GroupDetailTest, ARefusedRenameShowsTheMessageAndKeepsTheName) {
    replyData("601", "3", {{"name", "读书兴趣小组"}, {"total", 3}, {"members", groupMembers(3)}, {"memberType", 2}});
    open("601", "3");
    service().setReply("POST", "/services/norvo/forum/601/user/1001/name/update",
                       Reply::json({{"success", false}, {"msg", "名称已被使用"}}));
    rename("新名字");
    ASSERT_TRUE(waitFor([&] { return driver->alert() && driver->alert()->message() == "名称已被使用"; }));
    EXPECT_EQ(driver->alert()->buttonTitleAtIndex(0), "确定");
    EXPECT_EQ(profile->groupNameString(), "读书兴趣小组");
    EXPECT_EQ(chat->title(), "群聊");
}

TEST_F(GroupDetailTest, ARenameRetitlesTheChatAndTellsTheListsThenReloads) {
    open("601", "3");  // the sample group 王老师 created
    ASSERT_EQ(profile->userType(), "2");
    auto lists = count("groupListChaged");
    std::vector<std::string> order;
    auto listToken = platform::NotificationCenter::defaultCenter().addObserver(
        "groupListChaged", [&](const platform::Notification&) { order.push_back("list"); });
    auto detailToken = platform::NotificationCenter::defaultCenter().addObserver(
        "groupDetailChaged", [&](const platform::Notification&) { order.push_back("detail"); });
    service().clearRequests();
    rename("读书会");
    ASSERT_TRUE(waitFor([&] { return chat->title() == "读书会"; }));
    EXPECT_EQ(profile->groupNameLabel()->text(), "读书会");
    EXPECT_EQ(order, (std::vector<std::string>{"list", "detail"}));
    EXPECT_EQ(lists->count, 1);
    // The page reloads through its own notification and shows the service's name.
    ASSERT_TRUE(waitFor([&] { return requestsTo("1001/forum/601/3/data").size() == 1 && !profile->isLoadIng(); }));
    EXPECT_EQ(platform::textOf(profile->dataDictionary(), "name"), "读书会");
}

TEST_F(GroupDetailTest, ASettingChosenDuringALoadIsDropped) {
    open("601", "3");
    Reply slow = Reply::json({{"name", "读书兴趣小组"}, {"total", 3}, {"members", groupMembers(3)}, {"set", 0}, {"memberType", 0}});
    slow.delay = 0.3;
    service().setReply("GET", dataPath("601", "3"), slow);
    service().clearRequests();
    profile->netGetData();
    profile->tosetNewsGet(2);
    EXPECT_TRUE(profile->HUD());
    ASSERT_TRUE(waitFor([&] { return !profile->isLoadIng(); }));
    EXPECT_FALSE(profile->HUD());
    EXPECT_TRUE(requestsTo("1001/forum/601/3/set/update").empty());
    EXPECT_EQ(profile->groupNewsSettingSelect()->text(), "接收消息并提醒  >");
}

TEST_F(GroupDetailTest, ASettingShowsTheChosenValueOrTheFailure) {
    open("601", "3");
    profile->tosetNewsGet(1);
    ASSERT_TRUE(waitFor([&] { return !profile->isLoadIng(); }));
    auto sent = requestsTo("1001/forum/601/3/set/update");
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].parts.size(), 1u);
    EXPECT_EQ(sent[0].parts[0].name, "set");
    EXPECT_EQ(sent[0].parts[0].bytes, "1");
    EXPECT_EQ(profile->groupNewsSettingSelect()->text(), "仅接收消息不提醒  >");
    // A body that says it failed is a failure, whatever the status.
    for (const Reply& reply : {Reply::json({{"success", false}, {"msg", "不行"}}), Reply::text("", "text/plain", 500)}) {
        platform::AlertView::clearVisible();
        service().setReply("POST", "/services/norvo/1001/forum/601/3/set/update", reply);
        profile->tosetNewsGet(2);
        ASSERT_TRUE(waitFor([&] { return !profile->isLoadIng(); }));
        ASSERT_TRUE(driver->alert());
        EXPECT_EQ(driver->alert()->message(), "设置失败,请重新设置");
        EXPECT_EQ(profile->groupNewsSettingSelect()->text(), "仅接收消息不提醒  >");
    }
}

TEST_F(GroupDetailTest, LeavingClosesTheStackEvenWithoutTheMessageCentre) {
    signIn("2001", "student");
    service().setReply("GET", "/services/norvo/2001/forum/601/3/data",
                       Reply::json({{"name", "读书兴趣小组"}, {"total", 3}, {"members", groupMembers(3)}, {"memberType", 0}}));
    open("601", "3");
    auto lists = count("groupListChaged");
    profile->outOfThisGroup();
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->title(), "确认离开群组?");
    driver->pressAlertButton(1);
    ASSERT_TRUE(waitFor([&] { return lists->count == 1; }));
    driver->settle();
    EXPECT_FALSE(base->presentedViewController());
    EXPECT_EQ(requestsTo("forum/601/user/2001/cancel").size(), 1u);
}

TEST_F(GroupDetailTest, ARefusedLeaveKeepsThePage) {
    replyData("601", "3", {{"name", "读书兴趣小组"}, {"total", 3}, {"members", groupMembers(3)}, {"memberType", 2}});
    open("601", "3");
    service().setReply("GET", "/services/norvo/forum/601/user/1001/cancel", Reply::json({{"success", false}}));
    auto lists = count("groupListChaged");
    profile->sureOutOfThisGroup();
    ASSERT_TRUE(waitFor([&] { return driver->alert() != nullptr; }));
    EXPECT_EQ(driver->alert()->message(), "解散群组,请重试");
    EXPECT_EQ(lists->count, 0);
    EXPECT_EQ(base->presentedViewController(), stack);
}

TEST_F(GroupDetailTest, OfflineNothingIsSentAndTheOverlayGoes) {
    open("601", "3");
    setOffline();
    service().clearRequests();
    profile->netGetData();
    profile->tosetNewsGet(1);
    profile->sureOutOfThisGroup();
    driver->pump();
    EXPECT_FALSE(profile->isLoadIng());
    EXPECT_FALSE(profile->HUD());
    EXPECT_TRUE(requestsTo("1001/forum/601/3/data").empty());
    EXPECT_TRUE(requestsTo("1001/forum/601/3/set/update").empty());
    EXPECT_TRUE(requestsTo("forum/601/user/1001/cancel").empty());
}

TEST_F(GroupDetailTest, TheEntriesMakeTheirScreenOnceAndTheRowIsNotPlaced) {
    replyData("601", "3", {{"name", "读书兴趣小组"}, {"total", 3}, {"members", groupMembers(3)}, {"memberType", 1}});
    open("601", "3");
    EXPECT_FALSE(driver->byText("公告"));
    auto row = profile->initFileAndPhotoView();
    EXPECT_FALSE(row->superview());
    profile->goGonggao();
    driver->settle();
    auto first = profile->gongGaoViewController();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->userType(), "1");
    EXPECT_EQ(first->forumId(), "601");
    EXPECT_EQ(first->fieldId(), "3");
    stack->popViewController(false);
    profile->goGonggao();
    driver->settle();
    EXPECT_EQ(profile->gongGaoViewController(), first);
    EXPECT_EQ(stack->topViewController(), first);
}

TEST_F(GroupDetailTest, AddMembersPresentsThePickerThatLoadsTheMembers) {
    open("601", "3");
    profile->addMembers();
    driver->settle();
    auto presented = std::dynamic_pointer_cast<platform::NavigationController>(stack->presentedViewController());
    ASSERT_TRUE(presented);
    auto picker = std::dynamic_pointer_cast<MVTSelectMemberViewController>(presented->topViewController());
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->whereFrom(), "groupAdd");
    EXPECT_EQ(picker->groupId(), "601");
}

}  // namespace
