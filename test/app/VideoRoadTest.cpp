// The road of a lesson announced in the course notices, driven through the automation
// scripts against the sample service: 李明 opens 消息中心 from 消息, opens 王老师's lesson,
// comments on it, looks at its related lessons and turns the handset.

#include "RoadFixture.h"
#include "core/MVTtirraDataBase.h"
#include "microlessons/MVTLessionMovieDetailViewController.h"

#include "platform/DeviceOrientation.h"
#include "platform/media/MoviePlayerController.h"

using namespace platform;

namespace {

class VideoRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override { MVTtirraDataBase::deleteSaveUser(); }
    bool showing(const std::string& text) {
        std::ostringstream quiet;
        return ScriptRunner(*driver, quiet).runText("expect " + text + "\n") == 0;
    }
    void TearDown() override {
        if (auto detail = onTabPresentedTop<MVTLessionMovieDetailViewController>(); detail && detail->player())
            detail->player()->stopWhenBack();
        Device::current().reset();
        RoadTest::TearDown();
    }
};

TEST_F(VideoRoadTest, APupilOpensALessonFromTheCourseNoticesCommentsAndTurnsTheHandset) {
    signIn("student", "student123");
    ASSERT_EQ(run("wait 1\ntap 消息\nwait 1\ntap 消息中心\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return showing("王老师发布了微课"); })) << ::testing::PrintToString(driver->visibleTexts());
    ASSERT_EQ(run("tap 王老师发布了微课\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto detail = onTabPresentedTop<MVTLessionMovieDetailViewController>();
        return detail && detail->player() && detail->movieDetailView();
    })) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto player = onTabPresentedTop<MVTLessionMovieDetailViewController>()->player()->moviePlayer();
        return player && player->picturesShown() > 3;
    })) << messages.str();
    ASSERT_EQ(run("expect 分数的初步认识\n" + shot("lesson-playing")), 0) << messages.str();
    EXPECT_TRUE(service().lastRequest("/micro/play").has_value());

    auto detail = onTabPresentedTop<MVTLessionMovieDetailViewController>();
    ASSERT_EQ(run("tap 评论\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] { return detail->pointArray().size() == 3; })) << messages.str();
    detail->showCommentMessageTextView();
    ASSERT_EQ(run("wait 1\n"), 0);
    detail->messageTextView()->setText("我也学会了");
    detail->textViewShouldChangeText(*detail->messageTextView(), "\n");
    ASSERT_TRUE(waitFor([&] { return detail->pointArray().size() == 4; })) << messages.str();
    ASSERT_EQ(run("wait 1\n" + shot("lesson-commented")), 0) << messages.str();

    ASSERT_EQ(run("tap 相关\nwait 1\n"), 0) << messages.str();
    ASSERT_EQ(run("rotate left\nwait 1\n" + shot("lesson-landscape")), 0) << messages.str();
    EXPECT_TRUE(detail->isShow());
    ASSERT_EQ(run("rotate portrait\nwait 1\n"), 0) << messages.str();
    EXPECT_FALSE(detail->presentedViewController());
}

}  // namespace
