// The shared voice playback of the application delegate: which screen hears progress and
// stops by its page code, one voice at a time, background tracks, pausing and seeking,
// voice length texts, the microphone permission check, and a downloaded voice played to
// its end.
#include "core/AmrCodec.h"
#include "core/MVTAudioRecordAndTransCoding.h"
#include "core/MVTVoiceJoiner.h"
#include "core/MVTtirraDataBase.h"
#include "core/SGdownloader.h"
#include "platform/AudioPlayer.h"
#include "platform/Files.h"
#include "platform/AudioSession.h"
#include "platform/NotificationCenter.h"
#include "platform/RunLoop.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Screen.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "support/ServiceFixture.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using platform::AlertView;
using platform::AudioSession;

namespace {

const char* const kStopNames[] = {kToStopRelevantMeAudioPlay, kToStopSaveAudioPlay, kToStopNotiAudioPlay,
                                  kToStopDetailsRecord,       kToStopHomeAudioPlay, kToStopSquareAudioPlay};
const char* const kProgressNames[] = {MVTAppDelegate::kToShowHomeProgress, MVTAppDelegate::kToShowDetailsProgress,
                                      MVTAppDelegate::kToShowSquareProgress, MVTAppDelegate::kToShowSaveProgress,
                                      MVTAppDelegate::kToShowRelevantMeProgress};

const std::string kMicrophoneMessage = "岚溪校讯需要访问您的麦克风。\n请启用麦克风-设置/隐私/麦克风";

using Names = std::vector<std::string>;

struct Event {
    std::string name;
    std::string object;  // the progress text; empty for a stop
};

// Listens to every stop and progress notification, in the order they come.
class Listener {
public:
    Listener() {
        auto& center = platform::NotificationCenter::defaultCenter();
        for (const char* name : kStopNames)
            tokens_.push_back(center.addObserver(name, [this](const platform::Notification& n) {
                events.push_back({n.name, ""});
            }));
        for (const char* name : kProgressNames)
            tokens_.push_back(center.addObserver(name, [this](const platform::Notification& n) {
                events.push_back({n.name, n.object.is_string() ? n.object.get<std::string>() : "<not text>"});
            }));
    }

    Names stops() const {
        Names names;
        for (const auto& e : events)
            if (e.object.empty()) names.push_back(e.name);
        return names;
    }
    std::vector<Event> progress() const {
        std::vector<Event> list;
        for (const auto& e : events)
            if (!e.object.empty()) list.push_back(e);
        return list;
    }

    std::vector<Event> events;

private:
    std::vector<platform::ObserverToken> tokens_;
};

// The last report of a voice that played to its end: the progress step runs every 0.04
// seconds and the player's own end report stops it, so the last step comes at most one
// step before the end (exactly 1 when a step falls on the end itself).
void expectAtTheEnd(const Event& last) {
    double p = std::stod(last.object);
    EXPECT_GT(p, 1.0 - 0.04) << last.object;
    EXPECT_LE(p, 1.0) << last.object;
}

// A voice as the joiner and the AMR decoder write it: 8 kHz mono 16-bit behind the
// 48-byte header.
std::string writeVoice(const fs::path& path, double seconds) {
    std::vector<short> samples(size_t(seconds * 8000));
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = short(std::lround(8000 * std::sin(i * 0.2)));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    voicecodec::writeVoiceWavHeader(file, uint32_t(samples.size() * 2));
    std::fwrite(samples.data(), 2, samples.size(), file);
    std::fclose(file);
    return path.string();
}

// Each test has an application delegate of its own, so "no engine yet" and the page codes
// start fresh; the engine holds its delegate strongly, so the end of a test breaks the pair.
template <class Base>
class VoiceFixture : public Base {
protected:
    void SetUp() override {
        setenv("ALSOFT_DRIVERS", "null", 0);
        Base::SetUp();
        AudioSession::shared().reset();
        AlertView::clearVisible();
        platform::Screen::mainScreen().reset();
        app_ = std::make_shared<MVTAppDelegate>();
        listener_ = std::make_unique<Listener>();
    }
    void TearDown() override {
        listener_.reset();
        release(app_);
        AlertView::clearVisible();
        Base::TearDown();
    }

    static void release(std::shared_ptr<MVTAppDelegate>& app) {
        if (app && app->soundMgr()) {
            app->soundMgr()->stopSoundWithID(0);
            app->soundMgr()->setDelegate(nullptr);
        }
        app.reset();
    }

    std::string voice(double seconds, const std::string& name = "voice.wav") {
        return writeVoice(this->home_ / name, seconds);
    }

    // Starts a voice the way a list does: stop what plays, name the page and the item,
    // then play.
    void playAsList(const std::string& path, int page, const std::string& id, const std::string& ground = "") {
        app_->stopPlayAudio();
        app_->setNowPlayPage(page);
        app_->setNowPlayId(id);
        app_->toSetAudio(path, ground);
        platform::RunLoop::main().pump();  // the first progress report comes on the next turn
    }

    double position() const { return app_->soundMgr()->currentAudio()->currentTime(); }

    std::shared_ptr<MVTAppDelegate> app_;
    std::unique_ptr<Listener> listener_;
};

using VoicePlaybackTest = VoiceFixture<testing_support::AppTest>;

TEST_F(VoicePlaybackTest, ProgressGoesToTheScreenInFrontByItsPageCode) {
    struct Case {
        int nowPage;
        const char* notification;  // nullptr: nothing is posted
    } cases[] = {
        {0, "toShowHomeProgress"},     {1, "toShowDetailsProgress"},     {111, "toShowSquareProgress"},
        {333, "toShowSaveProgress"},   {4444, "toShowRelevantMeProgress"}, {3, nullptr},
        {120, nullptr},                {2, nullptr},                      {-1, nullptr},
    };
    std::string path = voice(1.0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nowPage);
        app_->setNowPage(c.nowPage);
        playAsList(path, 0, "17");
        listener_->events.clear();
        advance(0.24);
        auto progress = listener_->progress();
        if (!c.notification) {
            EXPECT_TRUE(progress.empty());
            continue;
        }
        // Reports every 0.04 seconds, each written with "%f".
        ASSERT_EQ(progress.size(), 6u);
        for (const auto& e : progress) EXPECT_EQ(e.name, c.notification);
        EXPECT_EQ(progress.front().object, "0.040000");
        EXPECT_EQ(progress.back().object, "0.240000");
    }
    app_->setNowPage(0);
    listener_->events.clear();
    app_->toSenderPlayProgress(0.25f);
    ASSERT_EQ(listener_->events.size(), 1u);
    EXPECT_EQ(listener_->events[0].object, "0.250000");
}

TEST_F(VoicePlaybackTest, StopNotificationsFollowThePageCodesWithAndWithoutAnEngine) {
    const std::string home = kToStopHomeAudioPlay, details = kToStopDetailsRecord, square = kToStopSquareAudioPlay,
                      save = kToStopSaveAudioPlay, relevant = kToStopRelevantMeAudioPlay, notice = kToStopNotiAudioPlay;
    struct Case {
        int nowPage, nowPlayPage;
        Names stops;
    } cases[] = {
        {0, 0, {home}},           {1, 1, {details}},          {1, 0, {home}},          {0, 1, {home}},
        {333, 0, {save, home}},   {333, 333, {save}},         {4444, 4444, {relevant}}, {4444, 111, {relevant, square}},
        {120, 120, {}},           {120, 3, {notice}},         {3, 3, {notice}},         {111, 1, {square}},
        {1, 111, {square}},       {0, 111, {home}},           {120, 0, {home}},
    };
    std::string path = voice(2.0);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.nowPage) + "/" + std::to_string(c.nowPlayPage));

        // Before any voice was played there is no engine: the stop is still heard.
        auto fresh = std::make_shared<MVTAppDelegate>();
        fresh->setNowPage(c.nowPage);
        fresh->setNowPlayPage(c.nowPlayPage);
        fresh->setNowPlayId("55");
        listener_->events.clear();
        fresh->stopPlayAudio();
        EXPECT_EQ(listener_->stops(), c.stops);
        EXPECT_EQ(fresh->nowPlayId(), "");
        EXPECT_FALSE(fresh->soundMgr());
        EXPECT_FALSE(fresh->isPlaying());

        // With a voice playing, the engine stops it and posts the same.
        app_->setNowPage(c.nowPage);
        playAsList(path, c.nowPlayPage, "55");
        ASSERT_TRUE(app_->isPlaying());
        listener_->events.clear();
        app_->stopPlayAudio();
        EXPECT_EQ(listener_->stops(), c.stops);
        EXPECT_FALSE(app_->isPlaying());
        EXPECT_EQ(app_->nowPlayPath(), "");
        EXPECT_EQ(app_->nowPlayId(), "");
        advance(2.5);
        EXPECT_EQ(listener_->stops(), c.stops) << "a stopped voice does not end again";
    }
}

TEST_F(VoicePlaybackTest, AfterAPageChangeProgressFollowsTheFrontScreenAndTheEndResetsTheStarter) {
    app_->setNowPage(0);
    playAsList(voice(1.0), MVTAppDelegate::VoicePageHome, "301");
    EXPECT_EQ(app_->nowPlayId(), "301");
    advance(0.2);
    for (const auto& e : listener_->progress()) EXPECT_EQ(e.name, "toShowHomeProgress");

    // The post detail screen opens over the feed; the voice goes on.
    app_->setNowPage(MVTAppDelegate::VoicePageDetails);
    listener_->events.clear();
    advance(0.2);
    ASSERT_FALSE(listener_->progress().empty());
    for (const auto& e : listener_->progress()) EXPECT_EQ(e.name, "toShowDetailsProgress");

    // A time-line screen in front hears nothing.
    app_->setNowPage(MVTAppDelegate::VoicePageTimeLine);
    listener_->events.clear();
    advance(0.2);
    EXPECT_TRUE(listener_->events.empty());

    // Back on the detail screen the voice plays to its end: the detail screen sees it
    // reach 1, and the feed row that started it is reset, not the detail screen's.
    app_->setNowPage(MVTAppDelegate::VoicePageDetails);
    listener_->events.clear();
    advance(0.5);
    auto progress = listener_->progress();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back().name, "toShowDetailsProgress");
    expectAtTheEnd(progress.back());
    EXPECT_EQ(listener_->stops(), Names{kToStopHomeAudioPlay});
    EXPECT_FALSE(app_->isPlaying());
    EXPECT_EQ(app_->nowPlayPath(), "");
    EXPECT_EQ(app_->nowPlayId(), "");
}

TEST_F(VoicePlaybackTest, ASecondVoiceStopsTheFirst) {
    std::string first = voice(1.0, "first.wav");
    std::string second = voice(2.0, "second.wav");
    app_->setNowPage(0);
    playAsList(first, 0, "first-id");
    advance(0.2);
    listener_->events.clear();

    // A caller that sets the new id and plays without stopping first loses the id: the
    // stop of the old voice empties it.
    app_->setNowPlayId("second-id");
    app_->toSetAudio(second, "");
    platform::RunLoop::main().pump();
    EXPECT_EQ(listener_->stops(), Names{kToStopHomeAudioPlay});
    EXPECT_EQ(app_->nowPlayId(), "");
    EXPECT_EQ(app_->nowPlayPath(), second);
    EXPECT_TRUE(app_->isPlaying());
    EXPECT_EQ(app_->soundMgr()->currentAudio()->url(), second);

    // The first voice would have ended here; only the second one goes on.
    advance(1.0);
    EXPECT_EQ(listener_->stops().size(), 1u);
    EXPECT_EQ(listener_->progress().back().object, "0.500000");
    advance(1.0);
    EXPECT_EQ(listener_->stops(), (Names{kToStopHomeAudioPlay, kToStopHomeAudioPlay}));

    // The way the lists do it keeps the id of the new item.
    playAsList(first, 0, "third-id");
    EXPECT_EQ(app_->nowPlayId(), "third-id");
    EXPECT_EQ(app_->nowPlayPath(), first);
}

TEST_F(VoicePlaybackTest, BackgroundTracksPlayQuietlyUnderTheVoice) {
    struct Case {
        std::string ground;
        float volume;
    } cases[] = {{"1.mp3", 0.05f}, {"2.mp3", 0.02f}, {"3.mp3", 0.05f}, {"4.mp3", 0.05f}, {"5.mp3", 0.02f}, {"", 0}};
    std::string path = voice(1.0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ground);
        playAsList(path, 0, "8", c.ground);
        auto engine = app_->soundMgr();
        EXPECT_FLOAT_EQ(engine->currentAudio()->volume(), 0.9f);
        EXPECT_EQ(engine->nowbgAudio(), c.ground);
        if (c.ground.empty()) continue;
        ASSERT_EQ(engine->soundDictionary().count(c.ground), 1u);
        auto track = engine->soundDictionary().at(c.ground);
        EXPECT_FLOAT_EQ(track->volume(), c.volume);
        EXPECT_TRUE(track->isPlaying());
        app_->stopPlayAudio();
        EXPECT_FALSE(track->isPlaying()) << "stopping the voice stops its track";
    }
}

TEST_F(VoicePlaybackTest, PausingResumingAndSeeking) {
    // Without an engine nothing happens, and nothing is posted.
    app_->pauseSound();
    app_->playsound();
    app_->toChangeSoundMgrWith(0.5f);
    EXPECT_FALSE(app_->soundMgr());
    EXPECT_FALSE(app_->isPlaying());
    EXPECT_TRUE(listener_->events.empty());

    app_->setNowPage(MVTAppDelegate::VoicePageDetails);
    playAsList(voice(10.0), MVTAppDelegate::VoicePageDetails, "9", "1.mp3");
    auto track = app_->soundMgr()->soundDictionary().at("1.mp3");
    advance(2.0);
    app_->pauseSound();
    EXPECT_FALSE(app_->isPlaying());
    EXPECT_FALSE(track->isPlaying());
    advance(1.0);
    EXPECT_DOUBLE_EQ(position(), 2.0);

    // A paused voice is not moved.
    app_->toChangeSoundMgrWith(0.5f);
    EXPECT_DOUBLE_EQ(position(), 2.0);
    EXPECT_FALSE(app_->isPlaying());

    app_->playsound();
    EXPECT_TRUE(app_->isPlaying());
    EXPECT_TRUE(track->isPlaying());
    app_->toChangeSoundMgrWith(0.5f);
    EXPECT_DOUBLE_EQ(position(), 5.0);
    EXPECT_TRUE(app_->isPlaying());
    listener_->events.clear();
    advance(0.04);
    ASSERT_FALSE(listener_->progress().empty());
    EXPECT_EQ(listener_->progress().back().object, "0.504000");

    // Seeking to the end stops the voice as if it had ended.
    app_->toChangeSoundMgrWith(1.0f);
    EXPECT_EQ(listener_->stops(), Names{kToStopDetailsRecord});
    EXPECT_FALSE(app_->isPlaying());
    EXPECT_EQ(app_->nowPlayPath(), "");
    EXPECT_EQ(app_->nowPlayId(), "");
}

TEST_F(VoicePlaybackTest, VoiceLengthTexts) {
    struct Case {
        int32_t seconds;
        const char* text;
    } cases[] = {{0, "00:00"},    {-5, "00:00"},   {1, "00:01"},    {7, "00:07"},     {9, "00:09"},
                 {10, "00:10"},   {42, "00:42"},   {59, "00:59"},   {60, "01:00"},    {65, "01:05"},
                 {69, "01:09"},   {70, "01:10"},   {599, "09:59"},  {600, "10:00"},   {609, "10:09"},
                 {610, "10:10"},  {3599, "59:59"}, {3600, "00:00"}, {99999, "00:00"}, {INT32_MIN, "00:00"}};
    for (const auto& c : cases) EXPECT_EQ(app_->soundTimeLengthWith(c.seconds), c.text) << c.seconds;
}

TEST_F(VoicePlaybackTest, RefusedMicrophoneIsReportedOnlyToAUserWhoHasRecorded) {
    InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
    struct Case {
        bool granted;
        double systemVersion;
        bool answer;
        bool alert;
    };
    auto check = [&](const Case& c) {
        SCOPED_TRACE(std::string(c.granted ? "granted" : "refused") + " on " + std::to_string(c.systemVersion));
        AudioSession::shared().setRecordPermissionGranted(c.granted);
        platform::Screen::setSystemVersion(c.systemVersion);
        EXPECT_EQ(app_->checkRecordPermission(), c.answer);
        platform::RunLoop::main().pump();
        auto alerts = AlertView::visibleAlerts();
        if (!c.alert) {
            EXPECT_TRUE(alerts.empty());
            return;
        }
        ASSERT_EQ(alerts.size(), 1u);
        auto alert = alerts[0];
        EXPECT_EQ(alert->title(), "");
        EXPECT_EQ(alert->message(), kMicrophoneMessage);
        ASSERT_EQ(alert->numberOfButtons(), 1);
        EXPECT_EQ(alert->buttonTitleAtIndex(0), "知道了");
        EXPECT_EQ(alert->delegate(), app_);
        // The button only closes it.
        alert->clickButtonAtIndex(0);
        EXPECT_TRUE(AlertView::visibleAlerts().empty());
        EXPECT_TRUE(listener_->events.empty());
    };

    // Nobody has recorded yet: a refusal still lets the screen start.
    for (const Case& c : {Case{true, 7.0, true, false}, Case{false, 7.0, true, false}, Case{false, 6.1, true, false}})
        check(c);

    // One recording leaves the mark.
    auto recorder = std::make_shared<MVTAudioRecordAndTransCoding>();
    recorder->beginRecordByFileName("first-take");
    advance(0.2);
    recorder->endRecord();
    ASSERT_TRUE(pumpUntil([&] { return recorder->isWavToAmrCompleted(); }));
    ASSERT_TRUE(MVTtirraDataBase::selectSaveRecordPermission());

    for (const Case& c : {Case{true, 7.0, true, false}, Case{false, 7.0, false, true}, Case{false, 8.1, false, true},
                          Case{false, 6.1, true, false}, Case{true, 10.0, true, false}})
        check(c);
}

TEST_F(VoicePlaybackTest, MicrophoneAlertSpeaksTheInterfaceLanguage) {
    InternationalControl::setUserlanguage(InternationalControl::kEnglish, false);
    MVTtirraDataBase::insertSaveRecordPermission("1");
    AudioSession::shared().setRecordPermissionGranted(false);
    EXPECT_FALSE(app_->checkRecordPermission());
    auto alert = AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "Tirra needs access to your microphone.\nPlease turn it on in Settings > Privacy > Microphone.");
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "Got it");
}

// ---- A voice from the service, end to end ------------------------------------------------

using VoiceFromServiceTest = VoiceFixture<testing_support::ServiceTest>;

TEST_F(VoiceFromServiceTest, ADownloadedVoicePlaysToItsEndThroughTheSharedPlayback) {
    // The feed downloads the voice of post 880001 into its cache, named by the resource id.
    const std::string id = "880001";
    const std::string url = baseUrl() + "resource/" + id + "/download?token=" + app_->getTokenWith(id);
    const std::string amr = (home_ / ("audio" + id)).string();
    std::string outcome;
    auto observer = platform::NotificationCenter::defaultCenter().addObserver(
        id, [&](const platform::Notification& n) { outcome = n.object.get<std::string>(); });
    MVTAppDelegate::downloadVoice(url, amr, id);
    ASSERT_TRUE(pumpUntil([&] { return !outcome.empty(); }));
    ASSERT_EQ(outcome, "downloadSuccess");
    auto request = service().lastRequest("resource/" + id + "/download");
    ASSERT_TRUE(request);
    EXPECT_FALSE(request->basicUser) << "resources are fetched without the service credentials";
    EXPECT_EQ(request->header("User-Agent"), kDownloaderUserAgent);
    EXPECT_TRUE(request->queryValue("timestamp"));

    // Converted to WAV and played by the feed, with a background track.
    const std::string wav = amr + ".wav";
    ASSERT_EQ(MVTVoiceJoiner::amrToWav(amr, wav), 50);
    app_->setNowPage(MVTAppDelegate::VoicePageHome);
    playAsList(wav, MVTAppDelegate::VoicePageHome, id, "3.mp3");
    EXPECT_TRUE(app_->isPlaying());
    EXPECT_EQ(app_->nowPlayPath(), wav);
    EXPECT_EQ(app_->nowPlayId(), id);
    EXPECT_DOUBLE_EQ(app_->soundMgr()->currentAudio()->duration(), 1.0);
    auto track = app_->soundMgr()->soundDictionary().at("3.mp3");
    EXPECT_TRUE(track->isPlaying());
    listener_->events.clear();

    for (int step = 0; step < 12; ++step) advance(0.1);
    auto progress = listener_->progress();
    ASSERT_GE(progress.size(), 25u);
    for (size_t i = 1; i < progress.size(); ++i) {
        EXPECT_EQ(progress[i].name, "toShowHomeProgress");
        EXPECT_GE(std::stod(progress[i].object), std::stod(progress[i - 1].object)) << i;
    }
    expectAtTheEnd(progress.back());
    EXPECT_EQ(listener_->stops(), Names{kToStopHomeAudioPlay});
    EXPECT_FALSE(app_->isPlaying());
    EXPECT_FALSE(track->isPlaying());
    EXPECT_EQ(app_->nowPlayPath(), "");
    EXPECT_EQ(app_->nowPlayId(), "");
}

TEST_F(VoiceFromServiceTest, AVoiceDownloadRefusesWhatIsNoVoiceAndKeepsNothingUnderItsName) {
    // The service answers an id it does not have with a short text and status 200. Kept as
    // "audio999999", it would pass for a cached voice and every later play would skip the
    // download and fail to decode.
    const std::string id = "999999";
    const auto amr = home_ / "Downloads" / ("audio" + id);
    ASSERT_TRUE(platform::writeFileAtomically(amr, "#!AMR\n an earlier voice"));
    std::string outcome;
    auto observer = platform::NotificationCenter::defaultCenter().addObserver(
        id, [&](const platform::Notification& n) { outcome = n.object.get<std::string>(); });
    MVTAppDelegate::downloadVoice(baseUrl() + "resource/" + id + "/download?token=" + app_->getTokenWith(id),
                                  amr.string(), id);
    ASSERT_TRUE(pumpUntil([&] { return !outcome.empty(); }));
    EXPECT_EQ(outcome, "downloadFailed");
    EXPECT_TRUE(std::filesystem::is_empty(amr.parent_path()));
}

}  // namespace
