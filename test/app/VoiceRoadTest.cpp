// The road of a voice post and of the box of unsent posts, driven through the automation
// scripts: 王老师 signs in, opens "文本" with the floating "+", types, holds the record
// button for 2 seconds, picks "欢快" and sends: the service receives the text, the voice,
// its duration and its tune. The service then refuses a post, which the queue keeps as
// unsent; "我" → "草稿箱" shows it, "发送" there sends it, the notice slides by and the
// empty box closes. The real application delegate, headless, against the sample service.

#include "RoadFixture.h"
#include "composer/AddPicViewController.h"
#include "composer/MVTSaveDynamicViewController.h"
#include "core/MVTtirraDataBase.h"

#include "platform/AudioRecorder.h"
#include "platform/ui/NavigationController.h"

#include <filesystem>

using namespace platform;

namespace {

constexpr const char* kVoicePublish = "services/norvo/postMessage/essay/1001/publish";

class VoiceRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override {
        MVTtirraDataBase::deleteSaveUser();
        AudioRecorder::setInput([] { return makeToneSource(440.0, 0.5); });
    }
    void TearDown() override {
        AudioRecorder::setInput(nullptr);
        RoadTest::TearDown();
    }
    std::string field(const sample_service::RecordedRequest& request, const std::string& name) {
        for (const auto& part : request.parts)
            if (part.name == name) return part.fileName.empty() ? part.bytes : "<file " + part.fileName + ">";
        return "(none)";
    }
    template <class Screen>
    std::shared_ptr<Screen> presented() const {
        auto tabs = tabBar();
        auto screen = tabs ? tabs->presentedViewController() : nullptr;
        auto stack = screen ? screen->asNavigationController() : nullptr;
        return stack ? std::dynamic_pointer_cast<Screen>(stack->topViewController()) : nullptr;
    }
    std::string shot(const std::string& name) { return "screenshot " + (home_ / (name + ".png")).string() + "\n"; }
};

TEST_F(VoiceRoadTest, AVoicePostWithATuneThenARefusedPostSentAgainFromTheBox) {
    start();
    ASSERT_EQ(run("tap 用户名/邮箱/手机号\ntype teacher\ntap 密 码\ntype teacher123\ntap 登录\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return tabBar() != nullptr; }));
    driver->settle();

    ASSERT_EQ(run("tap +\nwait 1\ntap 文本\nwait 1\ntap 文字内容\ntype 春天的声音\nwait 1\ntap 完成\nwait 1\n"), 0) << messages.str();
    auto composer = presented<AddPicViewController>();
    ASSERT_TRUE(composer);
    ASSERT_EQ(run("longpress 2s recordButton\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] { return !composer->lastVedio.empty() && !composer->vedioing; }));
    ASSERT_EQ(run("tap 欢快\nwait 1\n" + shot("voice-composer") + "tap 发送\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] { return service().lastRequest(kVoicePublish).has_value(); }));
    const auto post = *service().lastRequest(kVoicePublish);
    EXPECT_EQ(field(post, "content"), "春天的声音");
    EXPECT_NE(field(post, "amr"), "(none)");
    EXPECT_EQ(field(post, "duration"), "2");
    EXPECT_EQ(field(post, "bg"), "2");
    ASSERT_TRUE(waitFor([&] { return !tabBar()->presentedViewController() && !app->isSendingPost(); }));

    // The service refuses the next post: the queue keeps it as unsent.
    service().setReply("POST", kVoicePublish, sample_service::Reply::text("0"));
    ASSERT_EQ(run("wait 1\ntap +\nwait 1\ntap 文本\nwait 1\ntap 文字内容\ntype 没发出去的\nwait 1\ntap 完成\nwait 1\ntap 发送\nwait 1\n"), 0)
        << messages.str();
    ASSERT_TRUE(waitFor([&] { return !MVTtirraDataBase::selectSaveDynamicData("1001").empty(); }));
    service().clearReplies();

    ASSERT_EQ(run("wait 1\ntap 我\nwait 1\ntap 草稿箱\nwait 1\n"), 0) << messages.str();
    auto box = presented<MVTSaveDynamicViewController>();
    ASSERT_TRUE(box);
    ASSERT_EQ(box->dataArray().size(), 1u);
    ASSERT_EQ(run("expect 没发出去的\n" + shot("unsent-box") + "tap 发送\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] { return box->dataArray().empty(); }));
    EXPECT_EQ(field(*service().lastRequest(kVoicePublish), "content"), "没发出去的");
    ASSERT_TRUE(waitFor([&] { return !tabBar()->presentedViewController(); }));
    EXPECT_TRUE(MVTtirraDataBase::selectSaveDynamicData("1001").empty());
    EXPECT_TRUE(std::filesystem::exists(home_ / "voice-composer.png"));
    EXPECT_TRUE(std::filesystem::exists(home_ / "unsent-box.png"));
}

}  // namespace
