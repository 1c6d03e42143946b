// The roads of the contacts tab, driven through the automation scripts against the sample
// service: 王老师 opens a friend's profile and a group's chat, finds a contact by the
// search, creates a group of two, answers a friend request and applies to become someone's
// friend; a student learns that creating groups is switched off for students.

#include "RoadFixture.h"
#include "chat/MVTChatViewController.h"
#include "contacts/MVTContactListViewController.h"
#include "contacts/MVTContactViewController.h"
#include "contacts/MVTNewFriendViewController.h"
#include "contacts/MVTSearchFriendViewController.h"
#include "contacts/MVTSelectMemberViewController.h"
#include "core/MVTtirraDataBase.h"
#include "me/MVTPersonDetailViewController.h"

#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace platform;

namespace {

class ContactsRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override { MVTtirraDataBase::deleteSaveUser(); }
    // The top screen of the stack presented last, over the tab bar or any screen in it.
    template <class Screen>
    std::shared_ptr<Screen> shownTop() const {
        auto tabs = tabBar();
        if (!tabs) return nullptr;
        std::shared_ptr<ViewController> shown;
        for (auto at = tabs->presentedViewController(); at; at = at->presentedViewController()) shown = at;
        if (!shown)
            if (auto stack = tabs->selectedViewController())
                for (auto at = stack->presentedViewController(); at; at = at->presentedViewController()) shown = at;
        auto stack = shown ? shown->asNavigationController() : nullptr;
        return stack ? std::dynamic_pointer_cast<Screen>(stack->topViewController()) : nullptr;
    }
    std::shared_ptr<MVTContactViewController> contactsTab() const {
        auto tabs = tabBar();
        auto stack = tabs ? tabs->selectedViewController() : nullptr;
        auto nav = stack ? stack->asNavigationController() : nullptr;
        return nav ? std::dynamic_pointer_cast<MVTContactViewController>(nav->viewControllers().front()) : nullptr;
    }
    void openContacts() {
        ASSERT_EQ(run("tap 联系人\nwait 1\n"), 0) << messages.str();
        ASSERT_TRUE(waitFor([this] {
            auto tab = contactsTab();
            return tab && tab->contactListViewController() && tab->contactListViewController()->mytableview();
        }));
    }
    void expectShots(std::initializer_list<const char*> names) {
        for (const char* name : names)
            EXPECT_TRUE(fs::exists(home_ / "shots" / (std::string(name) + ".png"))) << name;
    }
};

TEST_F(ContactsRoadTest, TheTeacherOpensAFriendAGroupAndASearchHit) {
    signIn("teacher", "teacher123");
    openContacts();
    ASSERT_EQ(run(shot("contacts") + "tap 我的好友\nwait 1\nexpect 赵老师\n" + shot("friends") + "tap 赵老师\nwait 1\n"),
              0)
        << messages.str();
    ASSERT_TRUE(waitFor([this] { return shownTop<MVTPersonDetailViewController>() != nullptr; }));
    ASSERT_EQ(run(shot("profile")), 0) << messages.str();
    // Back as the profile's own back button goes: its stack leaves.
    shownTop<MVTPersonDetailViewController>()->navigationController()->dismissViewController(false);
    ASSERT_TRUE(waitFor([this] { return shownTop<MVTPersonDetailViewController>() == nullptr; }));

    ASSERT_EQ(run("tap 请输入联系人姓名\ntype 张\nkey return\nwait 1\n" + shot("search") + "tap 张三\nwait 1\n"), 0)
        << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto chat = shownTop<MVTChatViewController>();
        return chat && chat->title() == "张三";
    }));
    // A hit selects the messages tab on the way.
    EXPECT_EQ(tabBar()->selectedIndex(), 1);
    ASSERT_EQ(run(shot("hit-chat")), 0) << messages.str();
    expectShots({"contacts", "friends", "profile", "search", "hit-chat"});
}

TEST_F(ContactsRoadTest, TheTeacherOpensAGroupChatAndCreatesAGroupOfTwo) {
    signIn("teacher", "teacher123");
    openContacts();
    ASSERT_EQ(run("tap 群组\nwait 1\n" + shot("groups") + "tap 读书兴趣小组\nwait 2\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto chat = shownTop<MVTChatViewController>();
        return chat && chat->msgType() == "forum";
    }));
    ASSERT_EQ(run(shot("group-chat") + "tap 返回\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return shownTop<MVTChatViewController>() == nullptr; }));

    ASSERT_EQ(run("tap +\nwait 1\n" + shot("menu") + "tap 创建群组\nwait 2\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto picker = shownTop<MVTSelectMemberViewController>();
        return picker && picker->mytableview();
    }));
    ASSERT_EQ(run("tap 我的好友\nwait 1\ntap Zoe\nwait 1\ntap 张三\nwait 1\n" + shot("picked") +
                  "expect 确定(2)\ntap 确定(2)\nwait 2\n"),
              0)
        << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto chat = shownTop<MVTChatViewController>();
        return chat && chat->msgType() == "forum" && chat->title().find("张三") != std::string::npos;
    }));
    ASSERT_EQ(run(shot("new-group")), 0) << messages.str();
    expectShots({"groups", "group-chat", "menu", "picked", "new-group"});
}

TEST_F(ContactsRoadTest, TheTeacherAcceptsARequestAndAppliesToAStranger) {
    signIn("teacher", "teacher123");
    openContacts();
    ASSERT_EQ(run("tap 新的好友\nwait 2\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto requests = shownTop<MVTNewFriendViewController>();
        return requests && requests->myApplyArray().size() == 2;
    }));
    ASSERT_EQ(run(shot("requests") + "tap 同意\nwait 2\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return shownTop<MVTNewFriendViewController>()->myApplyArray().size() == 1; }));
    ASSERT_EQ(run("wait 0.5\n" + shot("accepted") + "tap 返回\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return shownTop<MVTNewFriendViewController>() == nullptr; }));

    ASSERT_EQ(run("tap +\nwait 1\ntap 添加好友\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return shownTop<MVTSearchFriendViewController>() != nullptr; }));
    ASSERT_EQ(run("tap 请输入联系人姓名\ntype 张\ntap 搜索\nwait 2\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return shownTop<MVTSearchFriendViewController>()->searchedFriendArray().size() >= 3; }));
    ASSERT_EQ(run(shot("found") + "expect 发送消息\nexpect 等待验证\ntap 加为好友\nwait 1\ntype 我是王老师\n" +
                  shot("prompt")),
              0)
        << messages.str();
    // The keyboard covers the prompt's buttons here (the alert does not rise above it):
    // "确定" is pressed on the prompt itself.
    auto prompt = AlertView::topAlert();
    ASSERT_TRUE(prompt);
    prompt->clickButtonAtIndex(1);
    ASSERT_TRUE(waitFor([this] {
        const Json& rows = shownTop<MVTSearchFriendViewController>()->searchedFriendArray();
        return rows[0]["friend_status"] == false;
    }));
    ASSERT_EQ(run(shot("applied")), 0) << messages.str();
    expectShots({"requests", "accepted", "found", "prompt", "applied"});
}

TEST_F(ContactsRoadTest, AStudentMayNotCreateAGroup) {
    signIn("student", "student123");
    openContacts();
    ASSERT_EQ(run("tap +\nwait 1\ntap 创建群组\nwait 0.3\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto banner = contactsTab()->bannerLabel();
        return banner && banner->text() == MVTContactViewController::kCreateGroupClosed;
    }));
    ASSERT_EQ(run(shot("banner") + "tap 群组\nwait 1\n" + shot("student-groups")), 0) << messages.str();
    EXPECT_FALSE(shownTop<MVTSelectMemberViewController>());
    expectShots({"banner", "student-groups"});
}

}  // namespace
