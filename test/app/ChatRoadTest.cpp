// The road of messages, driven through the automation scripts against the sample service:
// 王老师 opens the messages tab, opens the chat with 李明, sends a text, a face and a
// picture, and finds 李明's answer by the poll; then the class group's chat.

#include "RoadFixture.h"
#include "chat/MVTChatViewController.h"
#include "chat/MVTInteractionViewController.h"
#include "core/MVTtirraDataBase.h"

#include "platform/Files.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/NavigationController.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace platform;

namespace {

class ChatRoadTest : public testing_support::RoadTest {
protected:
    void SetUp() override {
        RoadTest::SetUp();
        fs::create_directories(home_ / "photos");
        std::ofstream(home_ / "photos" / "photo1.jpg", std::ios::binary)
            << Image::imageWithColor(Color::rgb255(70, 140, 210), {400, 300})->jpegData(0.9);
    }
    void TearDown() override {
        ImagePickerController::resetSources();
        RoadTest::TearDown();
    }
    void beforeLaunch() override {
        MVTtirraDataBase::deleteSaveUser();
        ImagePickerController::setSourceFiles(ImagePickerSourceType::PhotoLibrary, {home_ / "photos" / "photo1.jpg"});
    }
    std::shared_ptr<MVTChatViewController> chat() const {
        auto tabs = tabBar();
        auto stack = tabs ? tabs->selectedViewController() : nullptr;
        auto centre = stack && stack->asNavigationController()
                          ? stack->asNavigationController()->viewControllers().front()
                          : nullptr;
        auto presented = centre ? centre->presentedViewController() : nullptr;
        auto navigation = presented ? presented->asNavigationController() : nullptr;
        return navigation ? std::dynamic_pointer_cast<MVTChatViewController>(navigation->topViewController()) : nullptr;
    }
    bool confirmed(const std::string& text) {
        auto screen = chat();
        if (!screen) return false;
        for (const auto& row : screen->dataArray())
            if (textOf(row, "msg") == text && textOf(row, "issuccess") == "1") return true;
        return false;
    }
};

TEST_F(ChatRoadTest, TheTeacherChatsWithLiMingAndTheClassGroup) {
    start();
    ASSERT_EQ(run("tap 用户名/邮箱/手机号\ntype teacher\ntap 密 码\ntype teacher123\ntap 登录\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return tabBar() != nullptr; }));
    driver->settle();
    ASSERT_EQ(run("tap 消息\nwait 2\nexpect 李明\nexpect 三年级一班\n" + shot("centre")), 0) << messages.str();
    ASSERT_EQ(run("tap 李明\nwait 2\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return chat() && chat()->dataArray().size() >= 6; }));

    // A text with the send key, then a face from the panel with its send button.
    chat()->messageTextView()->becomeFirstResponder();
    ASSERT_EQ(run("type 第三题我们明天课上讲\nkey return\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return confirmed("第三题我们明天课上讲"); }));
    ASSERT_EQ(run("tap 表情\nwait 1\ntap [em:2:]\ntap 发送\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return confirmed("[em:2:]"); }));

    // A picture from the photo library.
    ASSERT_EQ(run("tap 图片\nwait 1\ntap 相册\nwait 1\ntap photo1.jpg\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto screen = chat();
        if (!screen || screen->dataArray().empty()) return false;
        const auto& last = screen->dataArray().back();
        return last.contains("attachments") && textOf(last, "issuccess") == "1";
    }));
    // 李明 answers the text a few seconds later; the poll brings the answer.
    const auto before = chat()->dataArray().size();
    ASSERT_TRUE(waitFor([&] {
        driver->advance(1);
        return chat()->dataArray().size() > before;
    }));
    ASSERT_EQ(run(shot("chat")), 0) << messages.str();

    ASSERT_EQ(run("tap 返回\nwait 2\ntap 三年级一班\nwait 2\nexpect 群资料\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return chat() && chat()->msgType() == "forum" && !chat()->dataArray().empty(); }));
    chat()->messageTextView()->becomeFirstResponder();
    ASSERT_EQ(run("type 明天见\nkey return\nwait 1\n" + shot("group")), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return confirmed("明天见"); }));
    for (const char* name : {"centre", "chat", "group"}) EXPECT_TRUE(fs::exists(home_ / "shots" / (std::string(name) + ".png")));
}

}  // namespace
