// The movie player on generated clips and a manual clock: a clip plays picture by picture
// to its end, shows its colour, pauses, goes back to the start after stop and plays again;
// a stream that never answers times out; broken input ends with an error and no crash.

#include "support/MovieWriter.h"
#include "support/ServiceFixture.h"

#include "platform/NotificationCenter.h"
#include "platform/RunLoop.h"
#include "platform/media/MovieControlsView.h"
#include "platform/media/MoviePlayerController.h"
#include "platform/ui/Label.h"
#include "platform/ui/Renderer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using platform::MoviePlaybackState;
using platform::MoviePlayerController;

class TimeoutDelegate : public platform::MoviePlayerDelegate {
public:
    void movieTimedOut() override { ++timeouts; }
    int timeouts = 0;
};

class MoviePlayerTest : public testing_support::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        finishToken = platform::NotificationCenter::defaultCenter().addObserver(
            MoviePlayerController::kPlaybackDidFinishNotification,
            [this](const platform::Notification& note) { finishes.push_back(note.userInfo); });
        stateToken = platform::NotificationCenter::defaultCenter().addObserver(
            MoviePlayerController::kPlaybackStateDidChangeNotification, [this](const platform::Notification& note) {
                auto* sender = std::any_cast<MoviePlayerController*>(note.sender);
                states.push_back(int(sender->playbackState()));
            });
    }
    void TearDown() override {
        player.reset();
        finishToken.reset();
        stateToken.reset();
        ServiceTest::TearDown();
    }

    fs::path clip(const std::string& name, testing_support::MovieSpec spec) {
        const fs::path path = home_ / name;
        EXPECT_TRUE(testing_support::writeMovie(path, spec));
        return path;
    }
    std::shared_ptr<MoviePlayerController> makePlayer(const std::string& url) {
        player = MoviePlayerController::make({0, 0, 320, 200});
        player->setContentURL(url);
        return player;
    }
    // Moves time one picture at a time and waits for each picture (or the end), so that
    // every picture is shown however slowly the decoder runs.
    bool playToEnd(double step, int maxSteps) {
        for (int i = 0; i < maxSteps && finishes.empty(); ++i) {
            const long shown = player->picturesShown();
            advance(step);
            if (!platform::RunLoop::main().runUntil(
                    [&] { return player->picturesShown() > shown || !finishes.empty(); }, 10))
                return false;
        }
        return !finishes.empty();
    }
    platform::Color centreColour() {
        auto picture = platform::Renderer::render(*player->view(), {320, 200}, 1);
        return picture->colorAt(160, 80);
    }

    std::shared_ptr<MoviePlayerController> player;
    std::vector<nlohmann::json> finishes;
    std::vector<int> states;
    platform::ObserverToken finishToken, stateToken;
};

TEST_F(MoviePlayerTest, TwoSecondClipPlaysEveryPictureToTheEndInItsColour) {
    testing_support::MovieSpec spec;
    spec.container = "mp4";
    spec.seconds = 2;
    spec.color = std::array<std::uint8_t, 3>{200, 40, 40};
    spec.sound = true;
    makePlayer(clip("red.mp4", spec).string());
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return player->picturesShown() == 1; }));
    EXPECT_EQ(player->playbackState(), MoviePlaybackState::Playing);
    const auto colour = centreColour();
    EXPECT_NEAR(colour.r, 200 / 255.0, 0.06);
    EXPECT_NEAR(colour.g, 40 / 255.0, 0.06);
    EXPECT_NEAR(colour.b, 40 / 255.0, 0.06);
    EXPECT_NEAR(player->duration(), 2.0, 0.1);

    ASSERT_TRUE(playToEnd(0.04, 200));
    EXPECT_EQ(player->picturesShown(), 50);
    EXPECT_EQ(finishes.front()[MoviePlayerController::kFinishReasonKey], 0);
    EXPECT_EQ(player->playbackState(), MoviePlaybackState::Stopped);
    EXPECT_EQ(states, (std::vector<int>{1, 0}));
    EXPECT_NEAR(player->currentPlaybackTime(), 1.96, 0.01);

    // Played again, it starts over.
    finishes.clear();
    player->play();
    ASSERT_TRUE(playToEnd(0.04, 200));
    EXPECT_EQ(player->picturesShown(), 100);
}

TEST_F(MoviePlayerTest, PauseHoldsThePictureAndStopGoesBackToTheStart) {
    makePlayer(clip("moving.mov", {}).string());
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return player->picturesShown() == 1; }));
    for (int i = 0; i < 5; ++i) {
        const long shown = player->picturesShown();
        advance(0.04);
        ASSERT_TRUE(pumpUntil([&] { return player->picturesShown() > shown; }));
    }
    player->pause();
    EXPECT_EQ(player->playbackState(), MoviePlaybackState::Paused);
    const double held = player->currentPlaybackTime();
    advance(0.5);
    platform::RunLoop::main().pump();
    EXPECT_EQ(player->picturesShown(), 6);
    EXPECT_DOUBLE_EQ(player->currentPlaybackTime(), held);

    player->stop();
    EXPECT_EQ(player->playbackState(), MoviePlaybackState::Stopped);
    EXPECT_DOUBLE_EQ(player->currentPlaybackTime(), 0);
    EXPECT_TRUE(finishes.empty());
    EXPECT_EQ(states, (std::vector<int>{1, 2, 0}));
}

TEST_F(MoviePlayerTest, StreamPlaysOverHttpWithTheControlsCountingDown) {
    testing_support::MovieSpec spec;
    spec.container = "mp4";
    const fs::path path = clip("stream.mp4", spec);
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    service().setReply("GET", "/micro/play", sample_service::Reply::text(bytes.str(), "video/mp4"));
    makePlayer(baseUrl() + "micro/play?id=5&token=T");
    player->setMovieSourceType(platform::MovieSourceType::Streaming);
    auto controls = platform::MovieControlsView::make(player, platform::MovieControlsStyle::EmbeddedFullscreen);
    controls->setTimeRemainingDecrements(true);
    controls->attach();
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return player->picturesShown() == 1; }));
    EXPECT_EQ(controls->timeLabel()->text(), "-0:01");
    EXPECT_EQ(controls->bar()->frame(), (platform::Rect{0, 200 - controls->kEmbeddedBarHeight, 320,
                                                         controls->kEmbeddedBarHeight}));
    ASSERT_TRUE(playToEnd(0.04, 100));
    EXPECT_EQ(player->picturesShown(), 25);
    EXPECT_EQ(controls->timeLabel()->text(), "-0:00");
}

TEST_F(MoviePlayerTest, StreamThatNeverAnswersTimesOutAfterTwentySeconds) {
    service().setReply("GET", "/micro/play", sample_service::Reply::silent(30));
    auto delegate = std::make_shared<TimeoutDelegate>();
    makePlayer(baseUrl() + "micro/play?id=5&token=T");
    player->setDelegate(delegate);
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return service().lastRequest("/micro/play").has_value(); }));
    advance(19.9);
    EXPECT_EQ(delegate->timeouts, 0);
    advance(0.2);
    EXPECT_EQ(delegate->timeouts, 1);
    EXPECT_FALSE(player->isPlayable());
    EXPECT_EQ(player->view()->picture(), nullptr);
    player->stop();  // interrupts the open that still waits
}

TEST_F(MoviePlayerTest, BrokenInputEndsWithAnErrorAndKeepsNothing) {
    testing_support::MovieSpec spec;
    spec.container = "mp4";
    spec.seconds = 2;
    const fs::path whole = clip("whole.mp4", spec);
    std::ifstream in(whole, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    struct Case {
        const char* name;
        std::string content;
    };
    const Case cases[] = {
        {"cut.mp4", bytes.substr(0, bytes.size() / 3)},
        {"text.mp4", "this is no movie at all\n"},
        {"empty.mp4", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(home_ / c.name, std::ios::binary) << c.content;
        finishes.clear();
        makePlayer((home_ / c.name).string());
        player->play();
        // A cut file plays what it holds, then ends; the others end at once with an error.
        for (int i = 0; i < 200 && finishes.empty(); ++i) {
            advance(0.04);
            platform::RunLoop::main().runUntil([&] { return !finishes.empty(); }, 0.05);
        }
        ASSERT_EQ(finishes.size(), 1u);
        EXPECT_EQ(player->playbackState(), MoviePlaybackState::Stopped);
        if (c.content.size() < 100) {
            EXPECT_EQ(finishes.front()[MoviePlayerController::kFinishReasonKey], 1);
            EXPECT_EQ(player->picturesShown(), 0);
        } else {
            EXPECT_LT(player->picturesShown(), 50);
        }
    }
    // A missing file too.
    finishes.clear();
    makePlayer((home_ / "missing.mp4").string());
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return !finishes.empty(); }));
    EXPECT_EQ(finishes.front()[MoviePlayerController::kFinishReasonKey], 1);
}

}  // namespace

namespace {

TEST_F(MoviePlayerTest, SampleServiceClipPlaysToItsEnd) {
    makePlayer(baseUrl() + "micro/play?id=960001&token=T");
    player->setMovieSourceType(platform::MovieSourceType::Streaming);
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return player->picturesShown() == 1; }));
    EXPECT_NEAR(player->duration(), 3.0, 0.1);
    ASSERT_TRUE(playToEnd(0.04, 200));
    EXPECT_EQ(player->picturesShown(), 75);
    EXPECT_EQ(finishes.front()[MoviePlayerController::kFinishReasonKey], 0);
}

}  // namespace
