// The road of a forwarded message, driven through the automation scripts against the
// sample service: 王老师 opens 李明's chat, holds one of 李明's messages, forwards it, looks
// through the picker (its recent rows and a search) and sends it to the class group,
// where it arrives as a sent message.

#include "RoadFixture.h"
#include "chat/MVTChatViewController.h"
#include "chat/MVTForwardMsgViewController.h"
#include "core/MVTtirraDataBase.h"

#include "platform/ui/NavigationController.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace platform;

namespace {

constexpr const char* kForwarded = "好的王老师，我已经写完一半了";

class ForwardRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override { MVTtirraDataBase::deleteSaveUser(); }
    // The navigation stack the message centre presented.
    std::shared_ptr<NavigationController> chatStack() const {
        auto tabs = tabBar();
        auto stack = tabs ? tabs->selectedViewController() : nullptr;
        auto centre = stack && stack->asNavigationController()
                          ? stack->asNavigationController()->viewControllers().front()
                          : nullptr;
        auto presented = centre ? centre->presentedViewController() : nullptr;
        return presented ? std::dynamic_pointer_cast<NavigationController>(presented) : nullptr;
    }
    template <class Screen>
    std::shared_ptr<Screen> top() const {
        auto stack = chatStack();
        return stack ? std::dynamic_pointer_cast<Screen>(stack->topViewController()) : nullptr;
    }
};

TEST_F(ForwardRoadTest, TheTeacherForwardsLiMingsMessageToTheClassGroup) {
    signIn("teacher", "teacher123");
    ASSERT_EQ(run("tap 消息\nwait 2\ntap 李明\nwait 2\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto chat = top<MVTChatViewController>();
        return chat && chat->dataArray().size() >= 6;
    }));
    ASSERT_EQ(run(std::string("longpress ") + kForwarded + "\nwait 1\n" + shot("held")), 0) << messages.str();
    ASSERT_EQ(run("tap 转发\nwait 1\n"), 0) << messages.str();
    auto picker = top<MVTForwardMsgViewController>();
    ASSERT_TRUE(picker);
    EXPECT_EQ(textOf(picker->forwardDictionary(), "msg"), kForwarded);
    ASSERT_EQ(run("expect 选择联系人\nexpect 选择群组\nexpect 三年级一班\n" + shot("picker")), 0) << messages.str();

    // A search through the contacts and the groups, then back to the recent rows.
    ASSERT_EQ(run("tap 请输入联系人姓名\ntype 王\nkey return\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] { return !picker->searchArray().empty(); }));
    ASSERT_EQ(run("wait 1\n" + shot("search") + "tap 取消\nwait 1\n"), 0) << messages.str();
    EXPECT_FALSE(picker->isSearching());

    ASSERT_EQ(run("tap 三年级一班\nwait 1\nexpect 转发给:\nalert 1\nwait 2\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto group = top<MVTChatViewController>();
        if (!group || group->msgType() != "forum") return false;
        for (const auto& row : group->dataArray())
            if (textOf(row, "msg") == kForwarded && textOf(row, "issuccess") == "1" && textOf(row, "status") == "1")
                return true;
        return false;
    }));
    // The picker stays under the group chat.
    auto stack = chatStack()->viewControllers();
    ASSERT_GE(stack.size(), 3u);
    EXPECT_TRUE(std::dynamic_pointer_cast<MVTForwardMsgViewController>(stack[stack.size() - 2]));
    ASSERT_EQ(run(shot("forwarded")), 0) << messages.str();
    for (const char* name : {"held", "picker", "search", "forwarded"})
        EXPECT_TRUE(fs::exists(home_ / "shots" / (std::string(name) + ".png"))) << name;
}

}  // namespace
