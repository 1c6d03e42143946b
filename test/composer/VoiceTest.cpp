// The composers' voice: takes held, refused, cancelled, locked and joined with the finger
// on the record button; the clip played with a tune on the route the proximity sensor
// picks; a send during the conversion; leaving while a take records.
#include "ComposerFixture.h"

#include "composer/ComposerScreen.h"

#include "platform/AudioRecorder.h"
#include "platform/AudioRoute.h"
#include "platform/AudioSession.h"
#include "platform/ProximitySensor.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/UiDriver.h"

#include <sndfile.h>

#include <fstream>
#include <iterator>

namespace {

using testing_support::ComposerTest;
using platform::Point;

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The samples of a WAV file.
std::vector<short> samplesOf(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return {};
    std::vector<short> samples(static_cast<size_t>(info.frames));
    sf_readf_short(file, samples.data(), info.frames);
    sf_close(file);
    return samples;
}

class VoiceTest : public ComposerTest {
protected:
    void SetUp() override {
        ComposerTest::SetUp();
        // Each take gets its own input: a tone for odd takes, silence for even ones, so a
        // joined clip shows which take came first.
        platform::AudioRecorder::setInput([this]() -> std::unique_ptr<platform::AudioSampleSource> {
            return (takes_++ % 2 == 0) ? platform::makeToneSource(440.0, 0.5) : platform::makeSilenceSource();
        });
        platform::ProximitySensor::shared().reset();
        platform::AudioRoute::shared().reset();
    }
    void TearDown() override {
        platform::AudioRecorder::setInput(nullptr);
        platform::ProximitySensor::shared().reset();
        ComposerTest::TearDown();
    }
    Point buttonOf(MVTPostComposerViewController& composer) { return driver_->centerOf(*composer.vedioImageView); }
    // A finger on the record button for `seconds`, lifted where `release` says.
    int press(MVTPostComposerViewController& composer) { return driver_->beginTouch(buttonOf(composer)); }
    void hold(MVTPostComposerViewController& composer, double seconds) {
        const int finger = press(composer);
        driver_->advance(seconds);
        driver_->endTouch(finger);
    }
    // Lets the conversion of the last take end and reach the composer.
    void converted(MVTPostComposerViewController& composer) {
        pumpUntil([&] { return !composer.audioRecord || composer.audioRecord->isWavToAmrCompleted(); });
        platform::BackgroundQueue::shared().waitIdle();
        driver_->pump();
    }
    static std::string wav(const std::string& name) { return MVTPublicMethod::getPathByFileName(name, "wav"); }
    static std::string amr(const std::string& name) {
        return MVTPublicMethod::getPathByFileName(name + "wavToAmr", "amr");
    }
    int takes_ = 0;
};

TEST_F(VoiceTest, TakesByHowLongTheyAreHeldAndWhereTheFingerLifts) {
    struct Case {
        const char* what;
        bool picture;
        double seconds;
        bool kept;
        const char* label;
    };
    const Case cases[] = {
        {"under 1.1 s", false, 1.0, false, ""},
        {"1.2 s on the voice composer", false, 1.2, true, "1 ″"},
        {"1.2 s on the picture composer", true, 1.2, true, "1 秒"},
        {"75 s", false, 75.0, true, "01:15 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::shared_ptr<MVTPostComposerViewController> composer;
        if (c.picture)
            composer = open<AddPicViewController>();
        else
            composer = open<AddRecordViewController>();
        hold(*composer, c.seconds);
        converted(*composer);
        if (c.kept) {
            EXPECT_FALSE(composer->vedioPath.empty());
            EXPECT_EQ(composer->lastVedio, composer->vedioPath);
            EXPECT_EQ(composer->recordLabel->text(), c.label);
            EXPECT_FALSE(composer->myvedioView->isHidden());
            EXPECT_TRUE(std::filesystem::exists(wav(composer->vedioPath)));
        } else {
            EXPECT_EQ(alertMessage(), "录音时间过短,请重新录制");
            EXPECT_TRUE(composer->vedioPath.empty());
            EXPECT_TRUE(composer->myvedioView->isHidden());
            // The refused take leaves no file behind, whatever second it was named after.
            for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(wav("x")).parent_path()))
                EXPECT_NE(entry.path().extension(), ".wav") << entry.path();
        }
        EXPECT_FALSE(composer->vedioing);
        EXPECT_TRUE(composer->recordingView->isHidden());
        closePresented();
    }
}

TEST_F(VoiceTest, OffTheButtonThePanelShowsAndTheCancelTargetThrowsTheTakeAway) {
    auto composer = open<AddRecordViewController>();
    const int finger = press(*composer);
    driver_->advance(2.0);
    driver_->moveTouch(finger, {buttonOf(*composer).x, buttonOf(*composer).y + 200});
    ASSERT_TRUE(composer->lockAndDeleteView && !composer->lockAndDeleteView->isHidden());
    // The targets share the width evenly.
    const double g = (composer_screen::width() - 158) / 3;
    EXPECT_DOUBLE_EQ(composer->lockView->frame().minX(), g);
    EXPECT_DOUBLE_EQ(composer->deleteView->frame().minX(), 2 * g + 79);
    driver_->moveTouch(finger, buttonOf(*composer));
    EXPECT_TRUE(composer->lockAndDeleteView->isHidden());
    driver_->moveTouch(finger, driver_->centerOf(*composer->deleteView));
    EXPECT_TRUE(composer->deleteView->isHighlighted());
    driver_->endTouch(finger);
    converted(*composer);
    EXPECT_TRUE(composer->vedioPath.empty());
    EXPECT_TRUE(composer->myvedioView->isHidden());
    EXPECT_FALSE(composer->vedioing);
    EXPECT_TRUE(platform::AlertView::topAlert() == nullptr);
}

TEST_F(VoiceTest, ALockedTakeRecordsWithoutTheFingerUntilTheNextPress) {
    auto composer = open<AddRecordViewController>();
    int finger = press(*composer);
    driver_->advance(1.0);
    driver_->moveTouch(finger, {buttonOf(*composer).x, buttonOf(*composer).y + 200});
    driver_->moveTouch(finger, driver_->centerOf(*composer->lockView));
    driver_->endTouch(finger);
    EXPECT_TRUE(composer->vedioing);
    EXPECT_TRUE(composer->islock);
    EXPECT_EQ(composer->vedioImageView->image(), platform::Image::imageNamed("tap_end.png"));
    driver_->advance(2.0);
    // A press off the button changes nothing while locked.
    finger = driver_->beginTouch({5, 5});
    driver_->endTouch(finger);
    EXPECT_TRUE(composer->vedioing);
    hold(*composer, 0.2);
    converted(*composer);
    EXPECT_FALSE(composer->vedioing);
    EXPECT_EQ(composer->recordLabel->text(), "3 ″");
}

TEST_F(VoiceTest, ALaterTakeJoinsTheClipKeptSamplesFirstAndAmrFramesByteForByte) {
    auto composer = open<AddRecordViewController>();
    hold(*composer, 3.0);
    converted(*composer);
    const std::string first = composer->vedioPath;
    const std::string firstAmr = bytesOf(amr(first));
    ASSERT_GT(firstAmr.size(), 6u);
    const size_t firstSamples = samplesOf(wav(first)).size();

    advance(5.0);
    hold(*composer, 4.0);
    // The join waits for the new take's conversion: read its AMR before the composer hears.
    EXPECT_TRUE(composer->isSaving);
    platform::BackgroundQueue::shared().waitIdle();
    std::string secondAmr;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(amr(first)).parent_path()))
        if (entry.path().extension() == ".amr" && entry.path().string() != amr(first)) secondAmr = bytesOf(entry.path());
    converted(*composer);

    EXPECT_FALSE(composer->isSaving);
    EXPECT_EQ(composer->vedioPath.size(), 14u + 4u);
    EXPECT_EQ(composer->vedioPath.substr(14), "_new");
    EXPECT_EQ(composer->lastVedio, composer->vedioPath);
    EXPECT_EQ(composer->recordLabel->text(), "7 ″");
    const auto joined = samplesOf(wav(composer->vedioPath));
    ASSERT_GT(joined.size(), firstSamples);
    // The first take was a tone, the second silence.
    short loudest = 0;
    for (size_t i = 0; i < 800; ++i) loudest = std::max<short>(loudest, std::abs(joined[i]));
    EXPECT_GT(loudest, 1000);
    EXPECT_EQ(joined.back(), 0);
    ASSERT_GT(secondAmr.size(), 6u);
    EXPECT_EQ(bytesOf(amr(composer->vedioPath)), firstAmr + secondAmr.substr(6));
    // The takes' own files went.
    EXPECT_FALSE(std::filesystem::exists(wav(first)));
    EXPECT_FALSE(std::filesystem::exists(amr(first)));
}

TEST_F(VoiceTest, AShortSecondTakeLeavesTheClip) {
    auto composer = open<AddRecordViewController>();
    hold(*composer, 3.0);
    converted(*composer);
    const std::string first = composer->vedioPath;
    advance(2.0);
    hold(*composer, 0.8);
    converted(*composer);
    EXPECT_EQ(alertMessage(), "录音时间过短,请重新录制");
    EXPECT_EQ(composer->vedioPath, first);
    EXPECT_EQ(composer->recordLabel->text(), "3 ″");
    EXPECT_TRUE(std::filesystem::exists(amr(first)));
    platform::AlertView::clearVisible();
    composer->sendBtnClicked(composer->sendControl().get());
    ASSERT_EQ(queued().size(), 1u);
    EXPECT_EQ(queued()[0]["vedioPath"], first);
}

TEST_F(VoiceTest, ASendDuringTheConversionHandsOverOnceUnpressed) {
    auto composer = open<AddRecordViewController>();
    hold(*composer, 2.0);
    converted(*composer);
    // The send comes while the conversion still runs, and while its AMR file holds only
    // its header: it waits rather than judge the file.
    const std::string whole = bytesOf(amr(composer->vedioPath));
    std::ofstream(amr(composer->vedioPath), std::ios::binary) << "#!AMR\n";
    composer->audioRecord->setIsWavToAmrCompleted(false);
    composer->sendBtnClicked(composer->sendControl().get());
    EXPECT_TRUE(queued().empty());
    EXPECT_FALSE(composer->complete);
    EXPECT_FALSE(composer->sendControl()->isEnabled());
    std::ofstream(amr(composer->vedioPath), std::ios::binary) << whole;
    composer->audioRecord->setIsWavToAmrCompleted(true);
    composer->wavToAmrComplete();
    composer->wavToAmrComplete();
    ASSERT_EQ(queued().size(), 1u);
    EXPECT_EQ(queued()[0]["vedioPath"], composer->vedioPath);
}

TEST_F(VoiceTest, TheClipPlaysWithTheChosenTuneAndStopsAfterItsDuration) {
    auto composer = open<AddPicViewController>();
    hold(*composer, 4.0);
    converted(*composer);
    ASSERT_FALSE(composer->bgVedioScroll->isHidden());
    auto happy = std::dynamic_pointer_cast<platform::Button>(composer->bgVedioScroll->viewWithTag(2));
    ASSERT_TRUE(happy);
    std::shared_ptr<platform::View> original;
    for (const auto& item : composer->bgVedioScroll->subviews())
        if (item->tag() == 0 && std::dynamic_pointer_cast<platform::Button>(item)) original = item;
    ASSERT_TRUE(original);
    EXPECT_EQ(original->shadow().opacity, 1);
    ASSERT_TRUE(driver_->tap(happy));
    EXPECT_EQ(composer->backMusic, "2.mp3");
    EXPECT_EQ(happy->shadow().opacity, 1);
    EXPECT_EQ(original->shadow().opacity, 0);
    // The chosen item takes no touch until the playback stops.
    EXPECT_FALSE(happy->isUserInteractionEnabled());
    auto app = MVTAppDelegate::sharedAppDelegate();
    EXPECT_EQ(app->nowPlayPath(), MVTPublicMethod::getPathByFileName(composer->vedioPath, "wav"));
    ASSERT_TRUE(app->soundMgr());
    EXPECT_FLOAT_EQ(app->soundMgr()->backgroundMusicVolume(), 0.02f);
    EXPECT_EQ(composer->animationView->animationRepeatCount(), 3);
    EXPECT_EQ(platform::AudioRoute::shared().currentOverride(), platform::AudioRouteOverride::Speaker);

    // Held to the ear: the clip starts again on the earpiece.
    platform::ProximitySensor::shared().setNear(true);
    driver_->pump();
    EXPECT_EQ(platform::AudioSession::shared().category(), platform::AudioSessionCategory::PlayAndRecord);
    EXPECT_EQ(platform::AudioRoute::shared().currentOverride(), platform::AudioRouteOverride::None);
    platform::ProximitySensor::shared().setNear(false);
    driver_->pump();

    // Three one-second cycles of the speaker; the stop 0.1 s after the clip's 4 s.
    advance(2.9);
    EXPECT_TRUE(composer->animationView->isAnimating());
    advance(1.15);
    EXPECT_FALSE(composer->animationView->isAnimating());
    EXPECT_TRUE(composer->playerTimer);
    advance(0.1);
    EXPECT_FALSE(composer->playerTimer);
    EXPECT_TRUE(app->nowPlayPath().empty());
    EXPECT_TRUE(happy->isUserInteractionEnabled());
    EXPECT_FALSE(platform::ProximitySensor::shared().isMonitoringEnabled());

    // Removing the clip resets the strip to "原声".
    composer->deleteallVedio();
    EXPECT_TRUE(composer->backMusic.empty());
    EXPECT_EQ(happy->shadow().opacity, 0);
    EXPECT_EQ(original->shadow().opacity, 1);
    EXPECT_TRUE(composer->bgVedioScroll->isHidden());
}

TEST_F(VoiceTest, LeavingWhileALockedTakeRecordsEndsItBeforeItsFilesGo) {
    auto composer = open<AddRecordViewController>();
    int finger = press(*composer);
    driver_->advance(1.0);
    driver_->moveTouch(finger, {buttonOf(*composer).x, buttonOf(*composer).y + 200});
    driver_->moveTouch(finger, driver_->centerOf(*composer->lockView));
    driver_->endTouch(finger);
    driver_->advance(1.0);
    const std::string take = composer->vedioPath;
    ASSERT_TRUE(composer->islock);
    composer->goback();
    ASSERT_TRUE(driver_->pressAlertButton(1));
    EXPECT_FALSE(composer->audioRecord->recorder());
    converted(*composer);
    driver_->settle();
    EXPECT_FALSE(std::filesystem::exists(wav(take)));
    EXPECT_FALSE(std::filesystem::exists(amr(take)));
    EXPECT_TRUE(queued().empty());
}

}  // namespace
