// Voices, files and votes of the personal space: a voice fetched, converted and played
// with its background track, restarted on the other route; a voice that is no voice; a
// missing resource and a file already on disk; a vote whose answer also reaches the
// cached home feed.

#include "SpaceFixture.h"

#include "me/MVTTimeSpaceCell.h"

#include "feed/PostRecord.h"
#include "shell/AttachmentDownloadOverlay.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTWebViewController.h"

#include "core/CMOpenALSoundManager.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"

#include "platform/AudioRoute.h"
#include "platform/AudioSession.h"
#include "platform/Files.h"
#include "platform/ProximitySensor.h"

#include <filesystem>

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;
using testing_support::SpaceTest;

namespace {

class SpaceMediaTest : public SpaceTest {
protected:
    void SetUp() override {
        SpaceTest::SetUp();
        ProximitySensor::shared().reset();
    }
    void TearDown() override {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->stopPlayAudio();
        ProximitySensor::shared().reset();
        SpaceTest::TearDown();
    }
    // 王老师's space showing the given posts.
    std::shared_ptr<MVTTimeSpaceViewController> spaceWith(const Json& list) {
        service().setReply("GET", "services/norvo/user/2001/space/1001/feed/list",
                           Reply::json({{"spaceInfo", {{"essayCount", 1}, {"viewCount", 1}}}, {"list", list}}));
        return openSpace("1001");
    }
    static Json voicePost(long long id, long long resource, const std::string& bg) {
        return {{"id", id}, {"uid", 1001}, {"dateline", 1767500000},
                {"attachments", {{{"type", "audio"}, {"resModuleId", resource}, {"duration", 3}, {"bg", bg}}}}};
    }
    std::shared_ptr<MVTAppDelegate> app() { return MVTAppDelegate::sharedAppDelegate(); }
};

TEST_F(SpaceMediaTest, AVoiceIsFetchedConvertedPlayedAndRestartedOnTheOtherRoute) {
    auto space = spaceWith(Json::array({voicePost(501, 880002, "2"), voicePost(502, 880001, "")}));
    auto cell = MVTTimeSpaceCell::make(space->dataArray()[0], std::nullopt, 0, space);
    cell->selfplayrecord(*cell->recordBtn());
    EXPECT_TRUE(space->downloading());
    ASSERT_TRUE(pumpUntil([&] { return !app()->nowPlayPath().empty(); }));
    EXPECT_FALSE(space->downloading());
    EXPECT_EQ(app()->nowPlayPath(), post::wavFile("880002"));
    EXPECT_TRUE(MVTPublicMethod::fileExistsAtPath(post::wavFile("880002")));
    EXPECT_EQ(app()->nowPlayId(), "501");
    EXPECT_EQ(app()->nowPlayPage(), MVTAppDelegate::VoicePageHome);
    EXPECT_EQ(app()->soundMgr()->nowbgAudio(), "2.mp3");
    EXPECT_EQ(AudioRoute::shared().currentOverride(), AudioRouteOverride::Speaker);
    // At the ear the voice starts again on the earpiece.
    ASSERT_TRUE(ProximitySensor::shared().isMonitoringEnabled());
    ProximitySensor::shared().setNear(true);
    driver->pump();
    EXPECT_EQ(AudioSession::shared().category(), AudioSessionCategory::PlayAndRecord);
    EXPECT_EQ(AudioRoute::shared().currentOverride(), AudioRouteOverride::None);
    EXPECT_EQ(app()->nowPlayPath(), post::wavFile("880002"));
    // A second tap on the playing row only stops it.
    auto again = MVTTimeSpaceCell::make(space->dataArray()[0], std::nullopt, 0, space);
    again->recordBtn()->setSelected(true);
    again->selfplayrecord(*again->recordBtn());
    EXPECT_TRUE(app()->nowPlayPath().empty());
}

TEST_F(SpaceMediaTest, AVoiceThatIsNoVoiceIsDeletedAndOfferedAgain) {
    auto space = spaceWith(Json::array({voicePost(503, 880003, "")}));
    space->toDownLoadAudioWith("880003", 0);   // the service's text file, not an AMR voice
    ASSERT_TRUE(pumpUntil([&] { return !space->downloading(); }));
    EXPECT_TRUE(app()->nowPlayPath().empty());
    EXPECT_FALSE(MVTPublicMethod::fileExistsAtPath(post::voiceFile("880003")));
    EXPECT_FALSE(MVTPublicMethod::fileExistsAtPath(post::wavFile("880003")));
}

TEST_F(SpaceMediaTest, AMissingResourceIsNotWrittenAndACachedFileOpensWithoutARequest) {
    auto space = spaceWith(Json::array({voicePost(504, 880001, "")}));
    space->toDownLoadAttachWith("999999", "不存在", "txt");
    ASSERT_TRUE(pumpUntil([&] {
        auto alert = AlertView::topAlert();
        return alert && alert->title() == "没有找到资源";
    }));
    EXPECT_FALSE(MVTPublicMethod::fileExistsAtPath(AttachmentDownloadOverlay::attachmentPath("999999", "txt")));
    AlertView::clearVisible();

    const std::string kept = AttachmentDownloadOverlay::attachmentPath("880003", "txt");
    std::filesystem::create_directories(std::filesystem::path(kept).parent_path());
    ASSERT_TRUE(writeFileAtomically(kept, "班级公约"));
    const std::size_t before = service().requests().size();
    space->toDownLoadAttachWith("880003", "班级公约", "txt");
    ASSERT_TRUE(pumpUntil([&] { return space->presentedViewController() != nullptr; }));
    for (std::size_t i = before; i < service().requests().size(); ++i)
        EXPECT_EQ(service().requests()[i].path.find("/resource/880003"), std::string::npos);
}

TEST_F(SpaceMediaTest, AVoteReachesTheRowAndTheCachedFeed) {
    const Json vote = {{"id", 7101}, {"title", "周五下午做什么？"}, {"answerLimit", 1}, {"showResult", 0},
                       {"count", 0}, {"answerList", {{{"id", 71011}, {"title", "看电影"}, {"count", 0}},
                                                     {{"id", 71012}, {"title", "做手工"}, {"count", 0}}}}};
    const Json post = {{"id", 510}, {"uid", 1001}, {"dateline", 1767500000}, {"title", "周五活动"}, {"vote", vote}};
    MVTtirraDataBase::insertDynamicWithArr(Json::array({post}), "2001");
    auto space = spaceWith(Json::array({post}));
    space->toSendVoteWith("510", "7101", "71012", 0);
    ASSERT_TRUE(pumpUntil([&] { return textOf(space->dataArray()[0]["vote"], "showResult") == "1"; }));
    EXPECT_EQ(requestsTo("user/2001/save/vote/7101/answer").front().formValue("answerIds"), "71012");
    EXPECT_EQ(space->dataArray()[0]["vote"]["count"], 1);
    const Json cached = MVTtirraDataBase::selectDynamicData("2001", 0);
    bool found = false;
    for (const auto& entry : cached)
        if (textOf(entry, "id") == "510") {
            found = true;
            EXPECT_EQ(textOf(valueFor(entry, "vote"), "count"), "1") << entry.dump();
        }
    EXPECT_TRUE(found);
    // A refusal leaves the post as it was and says so.
    space->toSendVoteWith("510", "7101", "71011", 0);
    ASSERT_TRUE(pumpUntil([&] {
        auto alert = AlertView::topAlert();
        return alert && alert->title() == "投票失败";
    }));
    EXPECT_EQ(space->dataArray()[0]["vote"]["count"], 1);
}

}  // namespace
