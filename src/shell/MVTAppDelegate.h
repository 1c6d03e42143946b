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

    // ---- Shared voice playback and microphone permission -------------------------------
    void toSenderPlayProgress(float progress) override;
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
