// The launch of the application delegate and its later lifecycle events: becoming active,
// entering the background and an opened local notification.

#include "shell/MVTAppDelegate.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "shell/InternationalControl.h"
#include "shell/MyTabBarController.h"
#include "shell/NdUncaughtExceptionHandler.h"
#include "shell/myNavigationController.h"
#include "feed/MVTHomeViewController.h"
#include "chat/MVTInteractionViewController.h"

#include "platform/Files.h"
#include "platform/NotificationCenter.h"
#include "platform/Paths.h"
#include "platform/ShareKit.h"
#include "platform/StatisticsKit.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"
#include "platform/ui/Color.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#ifndef TIRRA_APP_VERSION
#define TIRRA_APP_VERSION "1.0.0"
#endif

namespace {

std::string& versionOverride() {
    static std::string version;
    return version;
}

// The one version that decides whether the preferences repair runs at all.
constexpr const char* kRepairedUpTo = "2.0.0";
// Stored versions below this kept only the credentials and the user id of the saved user.
constexpr const char* kWholeSavedUserSince = "2.4.0";
constexpr double kKeepAliveSeconds = 600;

// The preferences folder's file names, sorted so that "the last entry" is always the same.
std::vector<std::string> preferenceEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// True when the file is a regular file of the folder itself (not a link to somewhere else)
// whose contents are a dictionary in the form this platform keeps preferences in (JSON).
bool readsAsPreferencesDictionary(const std::filesystem::path& file) {
    std::error_code ec;
    auto status = std::filesystem::symlink_status(file, ec);
    if (ec || !std::filesystem::is_regular_file(status)) return false;
    auto text = platform::readFile(file, 16u * 1024 * 1024);
    if (!text) return false;
    auto value = nlohmann::json::parse(*text, nullptr, false);
    return !value.is_discarded() && value.is_object();
}

void dropTheSixTables() {
    MVTtirraDataBase::deleteSaveUser();
    MVTtirraDataBase::dropMSList();
    MVTtirraDataBase::deleteAllUsers();
    MVTtirraDataBase::deleteDynamicTable();
    MVTtirraDataBase::deleteAllUserNewsSetting();
    MVTtirraDataBase::deleteSaveVersion();
}

}  // namespace

std::string MVTAppDelegate::bundleShortVersionString() {
    return versionOverride().empty() ? std::string(TIRRA_APP_VERSION) : versionOverride();
}

void MVTAppDelegate::setBundleShortVersionString(const std::string& version) { versionOverride() = version; }

bool MVTAppDelegate::didFinishLaunching(const nlohmann::json&) {
    isFull_ = true;

    window_ = std::make_shared<platform::Window>();
    window_->setFrame(platform::Screen::mainScreen().bounds());
    window_->setBackgroundColor(platform::Color::rgb255(249, 253, 248));
    window_->makeKeyAndVisible();

    const std::string stored = MVTtirraDataBase::selectSaveVersion();
    const std::string running = bundleShortVersionString();

    repairPreferences(running);

    // A user who follows the system language picks up a changed system language.
    if (!InternationalControl::getUserlanguage().empty() &&
        platform::UserDefaults::standard().boolForKey(InternationalControl::kIsFollowSystemLanguage))
        InternationalControl::setUserlanguage(InternationalControl::systemPreferredLanguage(), true);

    platform::ShareKit::shared().registerApp(kShareAppKey);
    platform::ShareKit::shared().connectWeChat(kWeChatAppId);
    platform::StatisticsKit::shared().setDebugMode(true);
    platform::StatisticsKit::shared().startWithAppkey(kStatisticsAppKey);

    if (platform::Screen::systemVersion() >= 7.0)
        platform::StatusBar::shared().setStyle(platform::StatusBarStyle::LightContent);

    nowPlayPath_.clear();
    nowPlayId_.clear();
    nowPlayPage_ = 0;
    nowPage_ = 0;

    toupdate();
    migrateDatabase(stored, running);
    NdUncaughtExceptionHandler::setDefaultHandler();
    autoLogin();

    upMicroArr_ = nlohmann::json::array();
    upDynamicArr_ = nlohmann::json::array();
    return true;
}

void MVTAppDelegate::repairPreferences(const std::string& runningVersion) {
    const auto marker = platform::Paths::documentsDirectory() / kPreferencesFile;
    std::error_code ec;
    if (versionIsOlder(kRepairedUpTo, runningVersion)) {
        std::filesystem::remove(marker, ec);
        return;
    }
    auto text = platform::readFile(marker, 4096);
    if (text && !text->empty() && *text != "0") return;

    const auto folder = platform::Paths::preferencesDirectory();
    auto entries = preferenceEntries(folder);
    bool repaired = true;
    if (entries.size() >= 3) {
        const auto last = folder / entries.back();
        if (!readsAsPreferencesDictionary(last)) {
            // Replaced in place: a link there is replaced by the new file, never followed.
            repaired = platform::writeFileAtomically(last, "{}");
            if (repaired && last == platform::UserDefaults::standard().file())
                platform::UserDefaults::reloadStandard();
        }
    }
    platform::writeFileAtomically(marker, repaired ? std::string("1") : std::string("0"));
}

void MVTAppDelegate::migrateDatabase(const std::string& storedVersion, const std::string& runningVersion) {
    if (storedVersion.empty()) {
        dropTheSixTables();
        MVTtirraDataBase::insertSaveVersion(runningVersion);
        // Silently: a first start has nothing to report about a cache it never had.
        MVTPublicMethod::cleanCacheFiles();
    } else if (versionIsOlder(storedVersion, runningVersion)) {
        const nlohmann::json kept = versionIsOlder(storedVersion, kWholeSavedUserSince)
                                        ? MVTtirraDataBase::selectSaveUserUserNameAndPassward()
                                        : MVTtirraDataBase::selectSaveUserTableData();
        dropTheSixTables();
        MVTtirraDataBase::insertSaveVersion(runningVersion);
        if (kept.is_object() && !kept.empty()) {
            MVTtirraDataBase::creatSaveUserTable();
            MVTtirraDataBase::insertSaveUserTableWithDict(kept);
        }
    }
}

void MVTAppDelegate::didBecomeActive() {
    auto& app = platform::Application::shared();
    app.endBackgroundTask(bgTask_);
    bgTask_ = 0;
    platform::NotificationCenter::defaultCenter().postNotification(kBecomeActive);
    if (platform::Screen::systemVersion() >= 7.0)
        platform::StatusBar::shared().setStyle(platform::StatusBarStyle::LightContent);
    app.cancelAllLocalNotifications();
    if (auto tabs = window_ ? std::dynamic_pointer_cast<MyTabBarController>(window_->rootViewController()) : nullptr)
        tabs->cleanMarkWhenBecomeAction();
}

void MVTAppDelegate::didEnterBackground() {
    auto& app = platform::Application::shared();
    // The handler has nothing to do: being woken keeps the poll going.
    app.setKeepAliveTimeout(kKeepAliveSeconds, [] {});
    app.setApplicationIconBadgeNumber(MVTAccount::sharedInstance().unreadCount());
    bgTask_ = app.beginBackgroundTask([] {});
}

int MVTAppDelegate::tabForNotificationText(const std::string& text) {
    auto has = [&text](const char* word) { return text.find(word) != std::string::npos; };
    if (has("测验") || has("微课") || has("订阅")) return 2;
    if (has("动态")) return 0;
    if (has("作业") || has("私信") || has("班级通知")) return 1;
    if (has("评论") || has("提到我的")) return 3;
    return -1;
}

void MVTAppDelegate::didReceiveLocalNotification(const platform::LocalNotification& notification) {
    platform::Application::shared().endBackgroundTask(bgTask_);
    bgTask_ = 0;
    auto tabs = window_ ? std::dynamic_pointer_cast<MyTabBarController>(window_->rootViewController()) : nullptr;
    if (!tabs) return;

    for (const auto& stack : tabs->viewControllers()) {
        auto navigation = std::dynamic_pointer_cast<platform::NavigationController>(stack);
        if (!navigation) continue;
        const auto screens = navigation->viewControllers();
        for (const auto& screen : screens) {
            auto presented = std::dynamic_pointer_cast<myNavigationController>(screen->presentedViewController());
            if (!presented) continue;
            presented->popToRootViewController(false);
            presented->dismissViewController(false);
                }
    }

    const int tab = tabForNotificationText(notification.alertBody);
    if (tab < 0) return;
    tabs->setSelectedIndex(tab);
    auto button = platform::Button::buttonWithType(platform::ButtonType::Custom);
    button->setTag(tab);
    tabs->itemCliced(*button);

    auto rootOf = [&tabs](int index) -> std::shared_ptr<platform::ViewController> {
        const auto& stacks = tabs->viewControllers();
        if (index >= int(stacks.size())) return nullptr;
        auto navigation = std::dynamic_pointer_cast<platform::NavigationController>(stacks[size_t(index)]);
        if (!navigation || navigation->viewControllers().empty()) return nullptr;
        return navigation->viewControllers().front();
    };
    if (tab == 0) {
        if (auto home = std::dynamic_pointer_cast<MVTHomeViewController>(rootOf(0))) home->getNewData();
    } else if (tab == 1) {
        if (auto messages = std::dynamic_pointer_cast<MVTInteractionViewController>(rootOf(1))) messages->getNewData();
    }
}
