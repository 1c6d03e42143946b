#pragma once

// The one application delegate: owns the window and decides what it shows, signs in and
// out, runs the post and video lesson upload queues, shows the network banner, makes
// resource tokens and time texts, and keeps the shared voice playback state. Screens
// reach it through sharedAppDelegate().

#include "core/CMOpenALSoundManager.h"
#include "platform/Application.h"
#include "platform/UrlRequest.h"
#include "platform/ui/AlertView.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class HttpMultipartForm;
class HttpRequestOperation;
class ImageView;
class Timer;
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
    // The launch, in order: the window; the old preferences repair; the followed system
    // language; the sharing and statistics kits; the version check (not waited for); the
    // database wipe or upgrade by the stored version; the crash handler; the automatic
    // sign-in, which sets the window's root; empty upload queues. Always true.
    bool didFinishLaunching(const nlohmann::json& options) override;
    // Ends the background task, posts "becomeActive", lights the status bar, drops every
    // local notification and, on the tab bar, clears the badges whose counts are zero.
    void didBecomeActive() override;
    // A do-nothing keep-alive handler (600 s), the icon badge set to the account's unread
    // count, and a background task so that the new-item poll goes on.
    void didEnterBackground() override;
    // Ends the background task. On the tab bar: closes every stack presented over a tab and
    // selects the tab the notification's words name (tabForNotificationText), as a tap on
    // that tab would.
    void didReceiveLocalNotification(const platform::LocalNotification& notification) override;

    static constexpr const char* kBecomeActive = "becomeActive";
    static constexpr const char* kPreferencesFile = "preferences.txt";
    static constexpr const char* kShareAppKey = "a91e7c3f20db";
    static constexpr const char* kWeChatAppId = "wx0a9c3b7d5e1f4a2b";
    static constexpr const char* kStatisticsAppKey = "QT3MZ8KBW2PA";
    // The running version (the bundle's "CFBundleShortVersionString"): the build's version
    // unless a test put another in its place (an empty text restores the build's).
    static std::string bundleShortVersionString();
    static void setBundleShortVersionString(const std::string& version);
    // Version texts compare character by character, not as numbers: "2.10.0" < "2.9.0".
    static bool versionIsOlder(const std::string& version, const std::string& than) { return version < than; }
    // Launch step: the preferences file of versions up to "2.0.0" that could not be read
    // is replaced once by an empty one; "preferences.txt" in the documents folder records
    // that ("1" done). Only files of the app's own preferences folder are read or written.
    void repairPreferences(const std::string& runningVersion);
    // Launch step: a first start (nothing stored) drops the tables and the download cache;
    // an older stored version drops the tables but keeps the signed-in user; the same or a
    // newer stored version changes nothing. Unsent posts are always kept.
    void migrateDatabase(const std::string& storedVersion, const std::string& runningVersion);
    // The tab an opened local notification leads to, by the first words found: tests,
    // lessons and subscriptions 2; posts 0; homework, messages and notices 1; comments and
    // mentions 3; -1 for none.
    static int tabForNotificationText(const std::string& text);
    unsigned bgTask() const { return bgTask_; }

    // ---- Sign-in, automatic sign-in and sign-out ---------------------------------------
    // Interactive sign-in with the typed credentials: the splash picture over the window
    // when `showLoadingImageView`, the progress overlay while the request runs. Accepted:
    // the account record and the saved user are filled and userGetLogin opens the app.
    // Refused: the refusal row, a fresh login screen and the service's message. No reply:
    // a fresh login screen holding the typed credentials and the banner; the saved user
    // stays as it was, so the next launch still signs in.
    void login(const std::string& userName, const std::string& password, bool showLoadingImageView);
    // Opens the signed-in state for the filled account record: without a school the
    // join-a-class screen (teachers, students) or the login screen and an alert (parents);
    // otherwise default reminder settings, the remembered account and a new tab bar.
    void userGetLogin();
    // The reply of registration step 2, applied as an accepted sign-in.
    void firstRegisterToHomeWith(const nlohmann::json& reply, const std::string& userName,
                                 const std::string& password);
    // Launch: with saved credentials the account record is filled from the saved user, the
    // splash shows for 2.0 s and reloadLoaginView follows; otherwise the login screen.
    void autoLogin();
    // End of the launch splash: userGetLogin, and the background re-check 1.0 s later.
    void reloadLoaginView();
    // Checks the saved credentials again in the background and refreshes the record.
    void testUserInfo();
    // Back to a new login screen; `empty` NO pre-fills it with the saved user.
    void gotosetview(bool empty);
    // A new tab bar, every screen made anew in the current language.
    void reloadAllViewWhenLanguageHaveChanged();

    // Defaults key of the service's last load time ("%lld" text).
    static constexpr const char* kLoadingLatesTime = "loadingLatesTime";
    static constexpr const char* kLoginPage = "登录";
    static constexpr double kSplashSeconds = 2.0;
    static constexpr double kRecheckDelay = 1.0;
    // GET <service>auth/<user name>/<password>?noSchoolLogin=true, the user name and the
    // password each escaped as one path segment; nothing while the network is down.
    static std::optional<platform::UrlRequest> signInRequest(const std::string& userName,
                                                             const std::string& password);
    // True when the reply is no dictionary, is empty, or lacks a usable name, user id or role.
    static bool signInReplyIsRefused(const nlohmann::json& reply);
    // The sixteen-key saved-user row made of a sign-in (or, with `registration`, a
    // registration) reply and the credentials used.
    static nlohmann::json saveUserRowFromReply(const nlohmann::json& reply, const std::string& userName,
                                               const std::string& password, bool registration = false);
    // The row a refused sign-in leaves: the credentials and fourteen empty texts.
    static nlohmann::json refusalRow(const std::string& userName, const std::string& password);
    // The splash picture view while a sign-in runs; nothing otherwise.
    std::shared_ptr<platform::ImageView> imageView() const { return imageView_; }
    // The login screen last made root.
    std::shared_ptr<platform::ViewController> loginViewController() const { return loginViewController_; }

private:
    // The reply of a sign-in that the service accepted, stored and applied; `recheck`
    // keeps the screens and refreshes only the record and the remembered account.
    void acceptSignIn(const nlohmann::json& reply, const std::string& userName, const std::string& password,
                      bool recheck);
    void refuseSignIn(const nlohmann::json& reply, const std::string& userName, const std::string& password);
    // Teachers and students without a school get the join-a-class screen, parents the
    // login screen and an alert; false when the user has a school.
    bool openWithoutSchool();
    void buildTabBar();
    void showSplash();
    void endSignInWaiting();

public:

    // ---- Version check -----------------------------------------------------------------
    // Asks the service for the newest version; when the running one is older (numerically) and
    // the reply names a download address, an alert offers (tag 100) or demands (tag 200)
    // the update. A transport failure shows nothing.
    void toupdate();
    static constexpr long kOptionalUpdateTag = 100;
    static constexpr long kRequiredUpdateTag = 200;
    // What a version reply asks for: the alert's tag, title and message and the download
    // address; nothing when the reply is empty, names no address, or the running version
    // is not older, its runs of digits compared as numbers.
    struct VersionOffer {
        long tag = 0;
        std::string title, message, url;
    };
    static std::optional<VersionOffer> versionOfferFor(const nlohmann::json& reply, const std::string& runningVersion);
    // The offer's alert: "暂不更新"/"前往更新" (100) or the single "更新版本" (200), carrying
    // the address as its accessibility hint.
    static void showVersionOffer(const VersionOffer& offer, std::weak_ptr<platform::AlertViewDelegate> delegate);
    // Opens the address of a version alert when `index` is its update button.
    static void openVersionOffer(platform::AlertView& alert, long index);
    // The version alerts: "前往更新" (100) or "更新版本" (200) opens the stored address.
    // Every alert of this delegate has its tag set to 0 afterwards.
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    // ---- Post upload queue -------------------------------------------------------------
    // Posts handed over by the composers are sent one at a time as multipart requests; the
    // home feed (root of tab 0) is told when each starts and ends. A post that cannot be
    // sent is kept as an unsent post of its user, its files left in place.
    //
    // getOneDynamicWith: appends the post and starts it when it is the only one. A post
    // handed over offline is not dropped: its turn ends as a failed send (no network), so
    // it is kept as unsent and the home feed shows the same notice as for any failed send.
    void getOneDynamicWith(const nlohmann::json& post);
    // Tells the home feed, then sends the first entry.
    void willToUpOneDynamic();
    // POST <service>postMessage/essay/<userId>/publish for the first entry. Without a
    // network the entry ends as a failure at once. The request's timeout is an idle limit,
    // and so is the queue's own watchdog on the app clock: when no data has moved for
    // kPostUploadTimeout seconds (a link that stalls, a reply that never comes) the entry
    // ends as a failure, so the queue never stalls; a slow upload that keeps moving runs on.
    void toUpOneDynamic();
    // oneDynamicDidUpSucOrErr: ends the first entry, "1" sent, anything else failed:
    // files removed or the post stored as unsent, the entry removed, the home feed told,
    // and the next entry started kNextPostDelay seconds later.
    void oneDynamicDidUpSucOrErr(const std::string& result);
    static constexpr const char* kPublishPath = "postMessage/essay/%@/publish";
    // The publish address of a user's posts. The queue and the box of unsent posts send
    // the same request: this address and the parts of appendPostParts.
    static std::string publishUrl(const std::string& userId);
    // The parts of a post's body, in order: "content" and "relative" when not empty,
    // "permission", an "image" part for each picture file, and for a voice its "amr"
    // file, "duration" and "bg" (when not empty). A file that is gone is left out.
    static void appendPostParts(platform::HttpMultipartForm& form, const nlohmann::json& post);
    // Deletes a sent or discarded post's picture files and its voice's WAV and AMR files;
    // files already gone are skipped.
    static void deletePostFiles(const nlohmann::json& post);
    static constexpr double kPostUploadTimeout = 30.0;
    static constexpr double kNextPostDelay = 1.0;
    // True while a request of the queue runs.
    bool isSendingPost() const { return postOperation_ != nullptr; }
    // The request of the queue that runs now; nothing between sends.
    std::shared_ptr<platform::HttpRequestOperation> postOperation() const { return postOperation_; }

private:
    // Stores the post as unsent for the user; the files stay where they are.
    static void storeUnsentPost(const nlohmann::json& post, const std::string& userId);
    // (Re)arms the idle watchdog of the running send to end it kPostUploadTimeout seconds
    // after postLastActivity_, unless data moves again before.
    void armPostWatchdog();
    std::shared_ptr<platform::HttpRequestOperation> postOperation_;
    std::shared_ptr<platform::Timer> postTimeout_;
    double postLastActivity_ = 0;  // app clock: the send began or last moved data
    std::string postUserId_;

public:

    // ---- Video lesson upload queue -----------------------------------------------------
    // One picked video at a time: copied out of the photo library, converted to MP4 when it
    // is a QuickTime movie, refused from 524,288,000 bytes on, uploaded as multipart with
    // progress. Every step is reported by "toGetSubmitMicroState" with a text object: the
    // fraction sent ("%f"), or the localized "上传成功", "上传失败", "转码失败" or
    // "视频过大，不支持". A copy or conversion that cannot start ends as "转码失败" too, so
    // the status screen never waits for nothing.
    static constexpr const char* kToGetSubmitMicroState = "toGetSubmitMicroState";
    static constexpr long long kMaxMicroBytes = 524288000;
    // Takes the video (the photo library asset: its file path) into the slot, replacing the
    // last entry, and copies it on a background queue.
    void GetUpMicroAssetWith(const nlohmann::json& asset);
    // Copies the slot's first asset to the temporary folder in 8,192-byte chunks, then
    // converts ("mov") or size-tests ("mp4") the copy. Background queue.
    void getUpMicroData();
    // Converts the copy to a medium-quality MP4 in the documents folder (asynchronously).
    void encodeVideoWith(const std::string& path);
    // Ends a failed conversion: deletes the copy, empties the slot, posts "转码失败".
    void encodeFailed(const std::string& path);
    // [file to delete first, file to upload]: deletes the first, then refuses the second
    // when too large or uploads it. Main thread.
    void ToUpMicroWith(const std::vector<std::string>& paths);
    // Uploads the file on a background thread (also the status screen's retry with MP4Path).
    void startUpMicroWith(const std::string& path);
    // POST <service>course/<userId>/uploadSmallClass: "vedio" file part, "courseId",
    // "isCanView" 1, "description", the video streamed from its file; a 30 s idle limit;
    // progress reposted as the fraction sent.
    void upMicroWith(const std::string& path);
    // Deletes the uploaded file, empties the slot, posts "上传成功".
    void upMicroSuccess(const std::string& path);
    // Posts "上传失败"; file and slot stay for a retry.
    void upMicroFailed(const std::string& path);


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
    // Downloads a voice (an AMR file) to `path` with MVTDownLoadView, which posts
    // `notificationName` with "downloadSuccess" or "downloadFailed". A body that is not an
    // AMR file (the service answers an unknown id with a short text and status 200) fails,
    // and nothing is kept under the voice's name, where it would pass for a cached voice.
    static void downloadVoice(const std::string& url, const std::string& path, const std::string& notificationName);
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
