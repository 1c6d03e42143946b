#pragma once

// The one application delegate: owns the window and decides what it shows, signs in and
// out, runs the post and video lesson upload queues, shows the network banner, makes
// resource tokens and time texts, and keeps the shared voice playback state. Screens
// reach it through sharedAppDelegate().

#include "core/CMOpenALSoundManager.h"
#include "platform/Application.h"
#include "platform/ui/AlertView.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>

namespace platform {
class ImageView;
class Label;
class ViewController;
class Window;
}  // namespace platform

class MVTAppDelegate : public platform::ApplicationDelegate,
                       public platform::AlertViewDelegate,
                       public soundManagerDelegate,
                       public std::enable_shared_from_this<MVTAppDelegate> {
public:
    MVTAppDelegate();
    ~MVTAppDelegate() override;

    // The application's delegate object; made on first use and registered with the
    // application object.
    static std::shared_ptr<MVTAppDelegate> sharedAppDelegate();

    // ---- Entry point, launch and lifecycle ---------------------------------------------
    bool didFinishLaunching(const nlohmann::json& options) override;

    // ---- Sign-in, automatic sign-in and sign-out ---------------------------------------

    // ---- Version check -----------------------------------------------------------------

    // ---- Post upload queue -------------------------------------------------------------

    // ---- Video lesson upload queue -----------------------------------------------------

    // ---- Network banner, resource token and time texts ---------------------------------
    // Banner kinds: no network, service busy, request failed, list empty.
    enum NetworkMessage : int {
        NetworkMessageNoNetwork = 0,
        NetworkMessageBusy = 1,
        NetworkMessageFailed = 2,
        NetworkMessageNoData = 3,
    };
    // Slides the banner of that kind up from the bottom edge of the key window (0.4 s),
    // keeps it 1 s and slides it down (0.4 s). A call while a banner shows is dropped.
    // Any other kind shows the banner with the text it had.
    void showNetworkMessage(int kind);
    // The banner label; nothing before the first banner.
    std::shared_ptr<platform::Label> netWorkLa() const { return netWorkLa_; }
    // "<MD5>&timestamp=<T>&random=<R>": T the current time in milliseconds (13 digits), R
    // its last 5 digits, MD5 the uppercase digest of R + id + T + "?<>{}|{}><?".
    std::string getTokenWith(const std::string& id) const;
    // The relative time text of a service time stamp (seconds since 1970, a text or a
    // number; anything else reads as 0): a full date a year or more back, "MM-dd HH:mm"
    // on another day, "今天HH:mm" an hour or more back today, then minutes and seconds.
    std::string getDateWith(const nlohmann::json& timeStamp) const;
    // The time written "MM-dd HH:mm" (local time).
    std::string getDefaultDate(double date) const;

    // ---- Shared voice playback and microphone permission -------------------------------
    // One voice plays at a time in the whole app. Screens tell which of them is in front
    // (nowPage) and which started the voice (nowPlayPage) by these page codes; progress
    // goes to the screen in front, the stop to the screens the codes name.
    enum VoicePage : int {
        VoicePageHome = 0,          // class circle of the home feed, personal space, announcements
        VoicePageDetails = 1,       // post detail screen
        VoicePageNotice = 3,        // notice screen
        VoicePageSquare = 111,      // school circle
        VoicePageTimeLine = 120,    // personal space time-line and announcement list in front
        VoicePageSave = 333,        // unsent-post list
        VoicePageRelevantMe = 4444, // relevant-to-me list
    };
    // Progress notifications by nowPage; the object is the progress written "%f".
    static constexpr const char* kToShowHomeProgress = "toShowHomeProgress";
    static constexpr const char* kToShowDetailsProgress = "toShowDetailsProgress";
    static constexpr const char* kToShowSquareProgress = "toShowSquareProgress";
    static constexpr const char* kToShowSaveProgress = "toShowSaveProgress";
    static constexpr const char* kToShowRelevantMeProgress = "toShowRelevantMeProgress";
    // The progress notification for a front page code; nothing for a page that shows none.
    static const char* progressNotificationFor(int nowPage);

    // toSetAudio:andGround: plays the WAV file, with the background track of the app
    // ("1.mp3" to "5.mp3") under it when `ground` is not empty. Makes the engine on first
    // use. A voice still playing is stopped first, which also empties nowPlayId.
    void toSetAudio(const std::string& path, const std::string& ground);
    // Stops the voice and posts the stop notifications for the page codes, even when no
    // voice was ever given to the engine; empties nowPlayPath and nowPlayId.
    void stopPlayAudio();
    // True while the engine's voice plays; false when there is no engine.
    bool isPlaying() const;
    // Pause or resume voice and track; nothing without an engine holding a voice.
    void pauseSound();
    void playsound();
    // toChangeSoundMgrWith: seeks the playing voice to that fraction (1 or more stops it).
    // A paused voice is not moved.
    void toChangeSoundMgrWith(float fraction);
    // The engine's report, reposted as the progress notification of the screen in front.
    void toSenderPlayProgress(float progress) override;
    // soundTimeLengthWith: "mm:ss" of whole seconds; "00:00" below 1 and from an hour on.
    std::string soundTimeLengthWith(int32_t seconds) const;
    // True when recording may start. Refused permission answers false, with an alert,
    // only to a user who has recorded before; a first refusal still answers true.
    bool checkRecordPermission();
    // The playback engine; nothing before the first voice.
    std::shared_ptr<CMOpenALSoundManager> soundMgr() const { return soundMgr_; }

    int nowPage() const override { return nowPage_; }
    int nowPlayPage() const override { return nowPlayPage_; }
    void setNowPlayPath(const std::string& path) override { nowPlayPath_ = path; }
    void setNowPlayId(const std::string& id) override { nowPlayId_ = id; }

    // ---- Fields readable and writable by other classes ----------------------------------
    std::shared_ptr<platform::Window> window() const { return window_; }
    void setWindow(const std::shared_ptr<platform::Window>& window) { window_ = window; }
    const std::string& nowPlayPath() const { return nowPlayPath_; }
    const std::string& nowPlayId() const { return nowPlayId_; }
    void setNowPlayPage(int page) { nowPlayPage_ = page; }
    void setNowPage(int page) { nowPage_ = page; }
    bool isFull() const { return isFull_; }
    void setIsFull(bool full) { isFull_ = full; }
    // The post upload queue: PendingPost dictionaries; the first is being sent.
    nlohmann::json& upDynamicArr() { return upDynamicArr_; }
    void setUpDynamicArr(const nlohmann::json& list) { upDynamicArr_ = list; }
    // The video lesson upload slot: at most one picked video (its file path).
    nlohmann::json& upMicroArr() { return upMicroArr_; }
    void setUpMicroArr(const nlohmann::json& list) { upMicroArr_ = list; }
    const std::string& MP4Path() const { return MP4Path_; }
    void setMP4Path(const std::string& path) { MP4Path_ = path; }
    const std::string& selectedCourseId() const { return selectedCourseId_; }
    void setSelectedCourseId(const std::string& id) { selectedCourseId_ = id; }
    const std::string& microDetailsStr() const { return microDetailsStr_; }
    void setMicroDetailsStr(const std::string& text) { microDetailsStr_ = text; }

    // Portrait while isFull, otherwise landscape right only.
    unsigned supportedInterfaceOrientations() override;
    // Opening the app by URL goes to the sharing kit, with this delegate as its WeChat
    // delegate; its answer is returned.
    bool handleOpenURL(const std::string& url) override;
    bool openURL(const std::string& url, const std::string& sourceApplication,
                 const nlohmann::json& annotation) override;
    void didReceiveMemoryWarning() override {}

private:
    std::shared_ptr<platform::Window> window_;
    std::shared_ptr<platform::ViewController> loginViewController_;
    std::shared_ptr<platform::ImageView> imageView_;
    std::shared_ptr<platform::View> HUD_;
    unsigned bgTask_ = 0;
    std::shared_ptr<CMOpenALSoundManager> soundMgr_;
    std::string nowPlayPath_;
    std::string nowPlayId_;
    int nowPlayPage_ = 0;
    int nowPage_ = 0;
    std::shared_ptr<platform::Label> netWorkLa_;
    nlohmann::json upDynamicArr_ = nlohmann::json::array();
    nlohmann::json upMicroArr_ = nlohmann::json::array();
    std::string MP4Path_;
    std::string selectedCourseId_;
    std::string microDetailsStr_;
    bool isFull_ = true;
};
