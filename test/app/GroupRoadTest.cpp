// The road of a group's members, driven through the automation scripts against the sample
// service: 王老师 opens the 读书兴趣小组 chat, its profile, the member list, and removes 陈小雨
// from the group; the list and the profile show one member fewer.

#include "RoadFixture.h"
#include "chat/MVTChatViewController.h"
#include "contacts/MVTGroupDetailViewController.h"
#include "contacts/MVTGroupMemberViewController.h"
#include "core/MVTtirraDataBase.h"

#include "platform/ui/NavigationController.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace platform;

namespace {

class GroupRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override { MVTtirraDataBase::deleteSaveUser(); }
    template <class Screen>
    std::shared_ptr<Screen> top() const {
        return onTabPresentedTop<Screen>();
    }
};

TEST_F(GroupRoadTest, TheCreatorRemovesAMemberFromTheMemberList) {
    signIn("teacher", "teacher123");
    ASSERT_EQ(run("tap 消息\nwait 2\ntap 读书兴趣小组\nwait 2\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return top<MVTChatViewController>() != nullptr; }));
    ASSERT_EQ(run("tap 群资料\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto profile = top<MVTGroupDetailViewController>();
        return profile && profile->userType() == "2" && !profile->isLoadIng();
    }));
    ASSERT_EQ(run("expect 群成员 (3)\nexpect 解散群组\n" + shot("profile")), 0) << messages.str();

    // A member under the strip: the row opens the member list (the add button sits in its middle).
    ASSERT_EQ(run("tap 陈小雨\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto list = top<MVTGroupMemberViewController>();
        return list && list->titleArray().size() == 3;
    }));
    ASSERT_EQ(run("expect 陈小雨\n" + shot("members") + "tap 管理\nwait 1\n" + shot("menu") +
                  "tap 移除群成员\nwait 1\ntap 陈小雨\nwait 1\n" + shot("chosen") + "tap 确定\nwait 2\n"),
              0)
        << messages.str();
    auto list = top<MVTGroupMemberViewController>();
    ASSERT_TRUE(list);
    ASSERT_TRUE(waitFor([&] { return list->sectionArray("parent").empty() && !list->isDeleteMember(); }));
    ASSERT_EQ(run(shot("removed")), 0) << messages.str();
    list->goback();
    ASSERT_TRUE(waitFor([this] {
        auto profile = top<MVTGroupDetailViewController>();
        return profile && platform::textOf(profile->dataDictionary(), "total") == "2";
    }));
    ASSERT_EQ(run("expect 群成员 (2)\n" + shot("profile-after")), 0) << messages.str();
    for (const char* name : {"profile", "members", "menu", "chosen", "removed", "profile-after"})
        EXPECT_TRUE(fs::exists(home_ / "shots" / (std::string(name) + ".png"))) << name;
}

}  // namespace
