#include "FeedFixture.h"

#include "feed/PostRecord.h"
#include "shell/AttachmentDownloadOverlay.h"
#include "shell/MVTWebViewController.h"

#include "core/MVTPublicMethod.h"

#include "platform/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"

using namespace platform;
using sample_service::Reply;

namespace {

class FeedVoiceTest : public testing_support::FeedTest {
protected:
    static Json voicePost(long long id, long long resource, const std::string& bg) {
        Json record = post(id);
        record["attachments"] =
            Json::array({{{"type", "audio"}, {"resModuleId", resource}, {"duration", 1}, {"bg", bg}}});
        return record;
    }
    void showPosts(const Json& list) {
        MVTtirraDataBase::insertDynamicWithArr(list, "1001");
        service().setReply("GET", listPath(), Reply::json(Json::array()));
        show();
        settle();
    }
    std::shared_ptr<Button> voiceButton(int row) { return home->cellAtRow(row)->recordBtn(); }
    void pressVoice(int row) { home->cellAtRow(row)->selfplayrecord(*voiceButton(row)); }
    std::shared_ptr<MVTAppDelegate> app() { return MVTAppDelegate::sharedAppDelegate(); }
    std::shared_ptr<ViewController> presentedRoot() {
        auto navigation = std::dynamic_pointer_cast<NavigationController>(home->presentedViewController());
        return navigation && !navigation->viewControllers().empty() ? navigation->viewControllers().front() : nullptr;
    }
};

TEST_F(FeedVoiceTest, AVoiceIsFetchedConvertedAndPlayedThenPausedResumedAndSwitched) {
    showPosts(Json::array({voicePost(11, 880001, "3"), voicePost(10, 880002, "0")}));
    pressVoice(0);
    EXPECT_TRUE(home->downloading());
    EXPECT_FALSE(voiceButton(0)->isEnabled() && home->cellAtRow(0)->loadView()->isHidden());
    ASSERT_TRUE(pumpUntil([&] { return !app()->nowPlayPath().empty(); }));
    EXPECT_FALSE(home->downloading());
    EXPECT_EQ(app()->nowPlayPath(), post::wavFile("880001"));
    EXPECT_TRUE(fileExists(post::voiceFile("880001")));
    EXPECT_EQ(app()->nowPlayId(), "11");
    EXPECT_EQ(app()->soundMgr()->nowbgAudio(), "3.mp3");
    EXPECT_TRUE(voiceButton(0)->isSelected());
    EXPECT_EQ(AudioRoute::shared().currentOverride(), AudioRouteOverride::Speaker);
    EXPECT_EQ(AudioSession::shared().category(), AudioSessionCategory::MediaPlayback);
    // A rebuilt row shows the voice still playing.
    home->myTable()->reloadData();
    home->myTable()->layoutIfNeeded();
    EXPECT_TRUE(voiceButton(0)->isSelected());

    pressVoice(0);
    EXPECT_FALSE(app()->isPlaying());
    EXPECT_EQ(app()->nowPlayPath(), post::wavFile("880001"));
    // Held to the ear while paused: the voice plays on, not from the start.
    ProximitySensor::shared().setNear(true);
    EXPECT_TRUE(app()->isPlaying());
    ProximitySensor::shared().setNear(false);
    EXPECT_TRUE(app()->isPlaying());

    // Another row: the first stops, the second plays alone (no background track).
    pressVoice(1);
    ASSERT_TRUE(pumpUntil([&] { return app()->nowPlayPath() == post::wavFile("880002"); }));
    EXPECT_FALSE(voiceButton(0)->isSelected());
    EXPECT_TRUE(voiceButton(1)->isSelected());
    EXPECT_EQ(app()->soundMgr()->nowbgAudio(), "");
    EXPECT_EQ(home->myTable()->tag(), 1);
}

TEST_F(FeedVoiceTest, AVoiceThatCannotBeFetchedOrConvertedIsNeverPlayed) {
    showPosts(Json::array({voicePost(21, 999999, ""), voicePost(20, 123456, "")}));
    // The service has no such voice: the row goes back to idle.
    pressVoice(0);
    ASSERT_TRUE(pumpUntil([&] { return !home->downloading(); }));
    driver->settle();
    EXPECT_TRUE(app()->nowPlayPath().empty());
    EXPECT_TRUE(voiceButton(0)->isEnabled());
    EXPECT_TRUE(home->cellAtRow(0)->loadView()->isHidden());
    EXPECT_FALSE(fileExists(post::voiceFile("999999")));

    // A stored voice that is no AMR file: nothing plays, and no WAV file appears.
    ASSERT_TRUE(writeFileAtomically(post::voiceFile("123456"), "not a voice"));
    pressVoice(1);
    driver->settle();
    EXPECT_TRUE(app()->nowPlayPath().empty());
    EXPECT_FALSE(fileExists(post::wavFile("123456")));
    EXPECT_FALSE(voiceButton(1)->isSelected());
}

TEST_F(FeedVoiceTest, TheDetailScreensVoiceEventsShowOnItsRow) {
    showPosts(Json::array({voicePost(31, 880001, "")}));
    home->toPresentViewWith(0);
    settle();
    home->toPlayOrStopAudio(true);
    EXPECT_TRUE(voiceButton(0)->isSelected());
    home->toPlayOrStopAudio(false);
    EXPECT_FALSE(voiceButton(0)->isSelected());
    home->toPlayOrStopAudio(true);
    home->detalsStopAudio();
    EXPECT_FALSE(voiceButton(0)->isSelected());
}

TEST_F(FeedVoiceTest, AttachmentsOpenFromTheCacheOrAreFetchedUnderTheOverlay) {
    showPosts(Json::array({post(40)}));
    const std::string cachedFile = MVTPublicMethod::getPathByFileName("attachs_880003", "txt");
    ASSERT_TRUE(writeFileAtomically(cachedFile, "班级公约"));
    const auto before = service().requestCount();
    home->toDownLoadAttachWith("880003", "班级公约", "txt");
    settle();
    EXPECT_TRUE(std::dynamic_pointer_cast<MVTWebViewController>(presentedRoot()));
    EXPECT_EQ(service().requestCount(), before);
    home->dismissViewController(false);
    settle();

    // Missing on the service: said so, nothing stored.
    home->toDownLoadAttachWith("999999", "没有的", "doc");
    ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(AlertView::topAlert()->title(), "没有找到资源");
    EXPECT_FALSE(fileExists(MVTPublicMethod::getPathByFileName("attachs_999999", "doc")));
    AlertView::clearVisible();

    // A failed transfer.
    service().setReply("GET", "/resource/880004/download", Reply::text("broken", "text/plain", 500));
    home->toDownLoadAttachWith("880004", "寒假作业", "zip");
    ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(AlertView::topAlert()->title(), "下载失败");
    EXPECT_FALSE(fileExists(MVTPublicMethod::getPathByFileName("attachs_880004", "zip")));
    AlertView::clearVisible();

    // Cancelled while it runs.
    service().setReply("GET", "/resource/880004/download", Reply::silent(5));
    home->toDownLoadAttachWith("880004", "寒假作业", "zip");
    ASSERT_TRUE(home->downloadOverlay()->download());
    home->toCancelDownLoad();
    settle();
    EXPECT_FALSE(AlertView::topAlert());
    EXPECT_FALSE(fileExists(MVTPublicMethod::getPathByFileName("attachs_880004", "zip")));

    // Ids and types that are not plain names name no file and fetch nothing.
    const auto count = service().requestCount();
    home->toDownLoadAttachWith("../../x", "x", "txt");
    home->toDownLoadAttachWith("5", "x", "../txt");
    pumpUntil([] { return true; }, 0.2);
    EXPECT_EQ(service().requestCount(), count);
}

}  // namespace
