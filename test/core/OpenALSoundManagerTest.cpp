#include "core/CMOpenALSoundManager.h"
#include "platform/AudioPlayer.h"
#include "platform/AudioSession.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "support/AppTest.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <sndfile.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using platform::AudioSession;
using platform::AudioSessionCategory;

namespace {

// The application delegate as the engine sees it: progress receiver and now-playing state.
class AppDelegateDouble : public soundManagerDelegate {
public:
    void toSenderPlayProgress(float progress) override { reports.push_back(progress); }
    int nowPage() const override { return page; }
    int nowPlayPage() const override { return playPage; }
    void setNowPlayPath(const std::string& path) override { nowPlayPath = path; }
    void setNowPlayId(const std::string& id) override { nowPlayId = id; }

    int page = 0;
    int playPage = 0;
    std::string nowPlayPath = "voice.wav";
    std::string nowPlayId = "1024";
    std::vector<float> reports;
};

const char* const kStopNames[] = {kToStopRelevantMeAudioPlay, kToStopSaveAudioPlay, kToStopNotiAudioPlay,
                                  kToStopDetailsRecord,       kToStopHomeAudioPlay, kToStopSquareAudioPlay};

class OpenALSoundManagerTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        setenv("ALSOFT_DRIVERS", "null", 0);
        AppTest::SetUp();
        AudioSession::shared().reset();
        for (const char* name : kStopNames) {
            tokens_.push_back(platform::NotificationCenter::defaultCenter().addObserver(
                name, [this](const platform::Notification& n) { stops_.push_back(n.name); }));
        }
        delegate_ = std::make_shared<AppDelegateDouble>();
    }
    void TearDown() override {
        manager_.reset();
        tokens_.clear();
        AppTest::TearDown();
    }

    std::shared_ptr<CMOpenALSoundManager> makeManager() {
        manager_ = std::make_shared<CMOpenALSoundManager>();
        manager_->init();
        manager_->setDelegate(delegate_);
        return manager_;
    }

    std::string voice(double seconds, const std::string& name = "voice.wav") {
        auto path = home_ / name;
        SF_INFO info{};
        info.samplerate = 8000;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
        std::vector<short> samples(size_t(seconds * 8000), 1000);
        sf_write_short(f, samples.data(), sf_count_t(samples.size()));
        sf_close(f);
        return path.string();
    }

    void play(const std::string& path) {
        manager_->setSoundFileNames({path});
        manager_->playSoundWithID(0);
        platform::RunLoop::main().pump();  // the first report comes on the next turn
    }

    std::shared_ptr<CMOpenALSoundManager> manager_;
    std::shared_ptr<AppDelegateDouble> delegate_;
    std::vector<platform::ObserverToken> tokens_;
    std::vector<std::string> stops_;
};

TEST_F(OpenALSoundManagerTest, StartsWithOpenALRunningAndTheAudioConfigurationActive) {
    auto m = makeManager();
    EXPECT_NE(alcGetCurrentContext(), nullptr);
    EXPECT_TRUE(AudioSession::shared().isActive());
    EXPECT_EQ(AudioSession::shared().category(), AudioSessionCategory::SoloAmbient);
    EXPECT_FALSE(m->isiPodAudioPlaying());
    EXPECT_FLOAT_EQ(m->soundEffectsVolume(), 1.0f);
    EXPECT_FLOAT_EQ(m->backgroundMusicVolume(), 1.0f);
    EXPECT_EQ(m->nowbgAudio(), "");
    EXPECT_TRUE(m->soundDictionary().empty());
}

TEST_F(OpenALSoundManagerTest, AnotherProgramsAudioKeepsPlayingUnderOurs) {
    AudioSession::shared().setOtherAudioIsPlaying(true);
    auto m = makeManager();
    EXPECT_TRUE(m->isiPodAudioPlaying());
    EXPECT_EQ(AudioSession::shared().category(), AudioSessionCategory::Ambient);
    m->setupAudioCategorySilenceIpod(true);
    EXPECT_FALSE(m->isiPodAudioPlaying());
    EXPECT_EQ(AudioSession::shared().category(), AudioSessionCategory::SoloAmbient);
}

TEST_F(OpenALSoundManagerTest, ProgressEveryFortyMillisecondsUntilTheVoiceEnds) {
    auto m = makeManager();
    play(voice(1.0));
    EXPECT_TRUE(m->isPlayingSoundWithID(0));
    ASSERT_EQ(delegate_->reports.size(), 1u);
    EXPECT_FLOAT_EQ(delegate_->reports[0], 0.0f);

    advance(0.04);
    ASSERT_EQ(delegate_->reports.size(), 2u);
    EXPECT_NEAR(delegate_->reports[1], 0.04f, 1e-4);
    advance(0.4);
    ASSERT_EQ(delegate_->reports.size(), 12u);
    for (size_t i = 1; i < delegate_->reports.size(); ++i)
        EXPECT_NEAR(delegate_->reports[i] - delegate_->reports[i - 1], 0.04f, 1e-4) << i;
    EXPECT_TRUE(stops_.empty());

    advance(0.6);
    // The end of the voice stops everything and tells the page that plays.
    EXPECT_FALSE(m->isPlayingSoundWithID(0));
    EXPECT_EQ(stops_, std::vector<std::string>{kToStopHomeAudioPlay});
    EXPECT_EQ(delegate_->nowPlayPath, "");
    EXPECT_EQ(delegate_->nowPlayId, "");
    EXPECT_FALSE(m->soundPlayTime());
    for (float p : delegate_->reports) {
        EXPECT_GE(p, 0.0f);
        EXPECT_LE(p, 1.0f);
    }
    EXPECT_GE(delegate_->reports.size(), 25u);
    size_t count = delegate_->reports.size();
    advance(1.0);
    EXPECT_EQ(delegate_->reports.size(), count) << "no reports after the stop";
    EXPECT_EQ(stops_.size(), 1u);
}

TEST_F(OpenALSoundManagerTest, StopNotificationsFollowThePageCodes) {
    struct Case {
        int page, playPage;
        std::vector<std::string> expected;
    } cases[] = {
        {1, 1, {kToStopDetailsRecord}},
        {1, 0, {kToStopHomeAudioPlay}},
        {0, 0, {kToStopHomeAudioPlay}},
        {120, 120, {}},
        {333, 0, {kToStopSaveAudioPlay, kToStopHomeAudioPlay}},
        {333, 333, {kToStopSaveAudioPlay}},
        {4444, 4444, {kToStopRelevantMeAudioPlay}},
        {120, 3, {kToStopNotiAudioPlay}},
        {0, 3, {kToStopNotiAudioPlay, kToStopHomeAudioPlay}},
        {111, 111, {kToStopSquareAudioPlay}},
        {120, 111, {kToStopSquareAudioPlay}},
        {1, 111, {kToStopSquareAudioPlay}},
    };
    auto m = makeManager();
    std::string path = voice(2.0);
    const std::string playId = "7";
    for (auto& c : cases) {
        play(path);
        delegate_->page = c.page;
        delegate_->playPage = c.playPage;
        delegate_->nowPlayPath = path;
        delegate_->nowPlayId = playId;
        stops_.clear();
        m->stopSoundWithID(0);
        EXPECT_EQ(stops_, c.expected) << c.page << "/" << c.playPage;
        EXPECT_EQ(delegate_->nowPlayPath, "");
        EXPECT_EQ(delegate_->nowPlayId, "");
        EXPECT_FALSE(m->isPlayingSoundWithID(0));
    }
    // The same rule without an engine's voice, as the application delegate uses it.
    stops_.clear();
    CMOpenALSoundManager::postStopNotifications(333, 0);
    EXPECT_EQ(stops_, (std::vector<std::string>{kToStopSaveAudioPlay, kToStopHomeAudioPlay}));
}

TEST_F(OpenALSoundManagerTest, SeekingContinuesFromThatPointAndSeekingToTheEndStops) {
    auto m = makeManager();
    play(voice(10.0));
    advance(1.0);
    m->changeProssWith(0.5f);
    EXPECT_DOUBLE_EQ(m->currentAudio()->currentTime(), 5.0);
    EXPECT_TRUE(m->isPlayingSoundWithID(0));
    advance(1.0);
    EXPECT_NEAR(m->currentAudio()->currentTime(), 6.0, 1e-6);
    EXPECT_NEAR(delegate_->reports.back(), 0.6f, 1e-4);
    EXPECT_TRUE(stops_.empty());

    m->changeProssWith(1.0f);
    EXPECT_FALSE(m->isPlayingSoundWithID(0));
    EXPECT_EQ(stops_, std::vector<std::string>{kToStopHomeAudioPlay});
    EXPECT_EQ(delegate_->nowPlayPath, "");
}

TEST_F(OpenALSoundManagerTest, PausedVoiceHoldsItsPlaceUntilResumed) {
    auto m = makeManager();
    play(voice(2.0));
    advance(0.5);
    m->pauseAllSound();
    EXPECT_FALSE(m->isPlayingSoundWithID(0));
    advance(5.0);
    EXPECT_NEAR(delegate_->reports.back(), 0.25f, 1e-4);
    EXPECT_TRUE(stops_.empty());
    m->playAllSound();
    advance(1.0);
    EXPECT_NEAR(m->currentAudio()->currentTime(), 1.5, 1e-6);
    advance(0.6);
    EXPECT_EQ(stops_, std::vector<std::string>{kToStopHomeAudioPlay});
}

TEST_F(OpenALSoundManagerTest, AVoiceThatCannotBeOpenedPlaysNothing) {
    auto m = makeManager();
    auto garbage = home_ / "garbage.wav";
    std::FILE* f = std::fopen(garbage.c_str(), "wb");
    std::fputs("RIFF not really a sound", f);
    std::fclose(f);
    for (std::string path : {(home_ / "missing.wav").string(), garbage.string(), std::string()}) {
        play(path);
        EXPECT_FALSE(m->isPlayingSoundWithID(0));
        EXPECT_FALSE(m->soundPlayTime());
    }
    advance(1.0);
    EXPECT_TRUE(delegate_->reports.empty());
    EXPECT_TRUE(stops_.empty());
    EXPECT_EQ(delegate_->nowPlayPath, "voice.wav") << "the caller's state stays until the next stop";
}

TEST_F(OpenALSoundManagerTest, VolumesGoToTheVoiceAndTheTrack) {
    auto m = makeManager();
    m->setSoundEffectsVolume(0.9f);
    play(voice(2.0));
    EXPECT_FLOAT_EQ(m->currentAudio()->volume(), 0.9f);
    m->setBackgroundMusicVolume(0.02f);
    m->playBackgroundMusic("2.mp3");
    auto track = m->soundDictionary().at("2.mp3");
    EXPECT_FLOAT_EQ(track->volume(), 0.02f);
    ALfloat gain = 0;
    alGetSourcef(track->sourceID(), AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.02f);
    m->setBackgroundMusicVolume(0.05f);
    alGetSourcef(track->sourceID(), AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.05f);
}

TEST_F(OpenALSoundManagerTest, BackgroundTrackPlaysUnderTheVoiceAndStopsWithIt) {
    auto m = makeManager();
    play(voice(1.0));
    m->playBackgroundMusic("1.mp3");
    ASSERT_EQ(m->soundDictionary().count("1.mp3"), 1u);
    auto first = m->soundDictionary().at("1.mp3");
    EXPECT_TRUE(first->isPlaying());
    EXPECT_EQ(first->sourceFileName(), "1.mp3");
    EXPECT_NEAR(first->duration(), 3.0, 0.1);
    EXPECT_EQ(m->nowbgAudio(), "1.mp3");

    // A second track replaces the first, which is destroyed before the new one starts.
    std::weak_ptr<CMOpenALSound> weakFirst = first;
    first.reset();
    m->playBackgroundMusic("5.mp3");
    EXPECT_TRUE(weakFirst.expired());
    ASSERT_EQ(m->soundDictionary().size(), 1u);
    auto second = m->soundDictionary().at("5.mp3");
    EXPECT_TRUE(second->isPlaying());

    m->pauseAllSound();
    EXPECT_FALSE(second->isPlaying());
    m->playAllSound();
    EXPECT_TRUE(second->isPlaying());

    advance(1.0);  // the voice ends
    EXPECT_FALSE(second->isPlaying());
    EXPECT_EQ(m->nowbgAudio(), "");
}

TEST_F(OpenALSoundManagerTest, AMissingTrackIsSkippedAndTheVoiceStillPlays) {
    auto m = makeManager();
    play(voice(1.0));
    m->playBackgroundMusic("9.mp3");
    EXPECT_TRUE(m->soundDictionary().empty());
    EXPECT_TRUE(m->isPlayingSoundWithID(0));
    advance(1.0);
    EXPECT_EQ(stops_.size(), 1u);
}

TEST_F(OpenALSoundManagerTest, SoundVolumeIsClampedAndOverlappingPlaysUseExtraSources) {
    auto m = makeManager();
    CMOpenALSound sound;
    ASSERT_TRUE(sound.initWithSoundFile("3.mp3", false));
    struct Case {
        float in, out;
    } cases[] = {{1.5f, 1.0f}, {-0.2f, 0.0f}, {0.5f, 0.5f}, {0.0f, 0.0f}, {1.0f, 1.0f}};
    for (auto c : cases) {
        sound.setVolume(c.in);
        EXPECT_FLOAT_EQ(sound.volume(), c.out) << c.in;
        ALfloat gain = -1;
        alGetSourcef(sound.sourceID(), AL_GAIN, &gain);
        EXPECT_FLOAT_EQ(gain, c.out) << c.in;
    }
    sound.play();
    EXPECT_EQ(sound.error(), AL_NO_ERROR);
    EXPECT_TRUE(sound.isPlaying());
    sound.play();
    ASSERT_EQ(sound.temporarySounds().size(), 1u);
    sound.setPitch(1.5f);
    ALfloat pitch = 0;
    alGetSourcef(sound.temporarySounds()[0], AL_PITCH, &pitch);
    EXPECT_FLOAT_EQ(pitch, 1.5f);
    sound.pause();
    EXPECT_FALSE(sound.isPlaying());

    CMOpenALSound missing;
    EXPECT_FALSE(missing.initWithSoundFile("nothing.mp3", false));
    missing.play();
    EXPECT_FALSE(missing.isPlaying());
}

TEST_F(OpenALSoundManagerTest, InterruptionDropsTheTrackAndItsEndRestoresAudioWithoutIt) {
    auto m = makeManager();
    play(voice(5.0));
    m->playBackgroundMusic("4.mp3");
    auto track = m->soundDictionary().at("4.mp3");
    std::weak_ptr<CMOpenALSound> weakTrack = track;
    track.reset();

    AudioSession::shared().beginInterruption();
    platform::RunLoop::main().pump();
    EXPECT_TRUE(m->interrupted());
    EXPECT_TRUE(weakTrack.expired());
    EXPECT_TRUE(m->soundDictionary().empty());
    EXPECT_EQ(m->nowbgAudio(), "");
    EXPECT_EQ(alcGetCurrentContext(), nullptr);
    EXPECT_EQ(AudioSession::shared().category(), AudioSessionCategory::MediaPlayback);
    EXPECT_FALSE(AudioSession::shared().isActive());
    EXPECT_TRUE(m->currentAudio()) << "a voice still playing is kept";

    AudioSession::shared().endInterruption();
    platform::RunLoop::main().pump();
    EXPECT_FALSE(m->interrupted());
    EXPECT_NE(alcGetCurrentContext(), nullptr);
    EXPECT_TRUE(AudioSession::shared().isActive());
    EXPECT_EQ(AudioSession::shared().category(), AudioSessionCategory::SoloAmbient);
    EXPECT_TRUE(m->soundDictionary().empty()) << "the track is not restarted";

    // A track can be played again afterwards.
    m->playBackgroundMusic("4.mp3");
    EXPECT_TRUE(m->soundDictionary().at("4.mp3")->isPlaying());
}

TEST_F(OpenALSoundManagerTest, InterruptionDropsAPausedVoiceAndOtherAudioGetsEffectsCategory) {
    AudioSession::shared().setOtherAudioIsPlaying(true);
    auto m = makeManager();
    play(voice(5.0));
    m->pauseAllSound();
    AudioSession::shared().beginInterruption();
    platform::RunLoop::main().pump();
    EXPECT_FALSE(m->currentAudio());
    EXPECT_EQ(AudioSession::shared().category(), AudioSessionCategory::UserInterfaceSoundEffects);
    advance(1.0);  // the progress timer finds no voice and ends
    EXPECT_FALSE(m->soundPlayTime());

    // An end without a beginning is ignored.
    AudioSession::shared().endInterruption();
    AudioSession::shared().endInterruption();
    platform::RunLoop::main().pump();
    EXPECT_FALSE(m->interrupted());
    auto history = AudioSession::shared().activationHistory();
    // init: active; begin: active, inactive; one end: active.
    EXPECT_EQ(history, (std::vector<bool>{true, true, false, true}));
}

TEST_F(OpenALSoundManagerTest, LoaderReadsTracksAndRefusesWhatItCannotPlay) {
    auto data = MyGetOpenALAudioData(platform::Paths::resourcePath("sounds/1.mp3").string());
    ASSERT_TRUE(data);
    EXPECT_EQ(data->format, AL_FORMAT_MONO16);
    EXPECT_EQ(data->sampleRate, 16000);
    EXPECT_NEAR(data->duration, 3.0, 0.1);
    EXPECT_GT(data->size, 16000 * 2 * 2);

    EXPECT_FALSE(MyGetOpenALAudioData((home_ / "missing.wav").string()));
    auto surround = home_ / "surround.wav";
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 3;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(surround.c_str(), SFM_WRITE, &info);
    std::vector<short> samples(300, 5);
    sf_write_short(f, samples.data(), 300);
    sf_close(f);
    EXPECT_FALSE(MyGetOpenALAudioData(surround.string()));
}

TEST_F(OpenALSoundManagerTest, DebugLinesNameTheSourceFileAndLine) {
    std::vector<std::string> lines;
    platform::setLogSink([&](const std::string& line) { lines.push_back(line); });
    DebugOutput::sharedDebug().output("/some/where/Engine.mm", 42, "value %d", 7);
    platform::setLogSink(nullptr);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Engine.mm[42]: value 7");
    EXPECT_EQ(&DebugOutput::sharedDebug(), &DebugOutput::sharedDebug());
}

}  // namespace
