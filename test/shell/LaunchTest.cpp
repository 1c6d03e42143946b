#include "DelegateFixture.h"

#include "chat/MVTInteractionViewController.h"
#include "feed/MVTHomeViewController.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"

#include "core/MVTPublicMethod.h"

#include "platform/Files.h"
#include "platform/NotificationCenter.h"
#include "platform/Paths.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"

#include <cstdlib>
#include <filesystem>

using namespace platform;
using Json = nlohmann::json;
namespace fs = std::filesystem;

namespace {

class LaunchTest : public testing_support::DelegateTest {
protected:
    static fs::path preferencesMarker() { return Paths::documentsDirectory() / "preferences.txt"; }
    static std::string readText(const fs::path& path) { return platform::readFile(path).value_or("<missing>"); }

    // Every table a version change may touch, filled; and a file in the download cache.
    void fillEverything() {
        saveSignedInUser(teacherReply(), "teacher", "teacher123");
        MVTtirraDataBase::insertUsersTableWithDic({{"userId", "1001"}, {"name", "王老师"}, {"userName", "teacher"},
                                                   {"password", "teacher123"}, {"role", "teacher"},
                                                   {"power", "1"}, {"schoolId", "1"}});
        MVTtirraDataBase::insertUserNewsSettingWithDic(
            {{"news", "1"}, {"chatNews", "1"}, {"MentionNews", "1"}, {"commenNews", "1"}, {"HMNews", "1"},
             {"NotiNews", "1"}, {"feedNews", "1"}, {"defaultTime", "60"}},
            "1001");
        MVTtirraDataBase::insertDynamicWithArr(Json::array({{{"id", "5"}, {"content", "x"}}}), "1001");
        MVTtirraDataBase::insertSaveDynamicWithDic({{"content", "unsent"}}, "d1", "1001");
        MVTtirraDataBase::insertSaveVisible("2", "1001");
        writeFileAtomically(MVTPublicMethod::getPathByFileName("cached", "png"), "bytes");
    }
    static bool cacheHasFile() { return fs::exists(Paths::documentsDirectory() / "Downloads" / "cached.png"); }
};

TEST_F(LaunchTest, FirstStartWipesStoresTheVersionAndShowsTheLoginScreen) {
    fillEverything();
    launch();
    EXPECT_NE(rootAs<MVTLoginViewController>(), nullptr);
    EXPECT_EQ(MVTtirraDataBase::selectSaveVersion(), "1.0.0");
    EXPECT_TRUE(MVTtirraDataBase::selectSaveUserTableData().empty());
    EXPECT_TRUE(MVTtirraDataBase::selectUsersTableData().empty());
    EXPECT_TRUE(MVTtirraDataBase::selectUserNewsSettingDataWith("1001").empty());
    EXPECT_TRUE(MVTtirraDataBase::selectDynamicData("1001", 0).empty());
    EXPECT_FALSE(cacheHasFile());
    // Never dropped here: unsent posts and the chosen visibility.
    EXPECT_EQ(MVTtirraDataBase::selectSaveDynamicData("1001").size(), 1u);
    EXPECT_EQ(MVTtirraDataBase::selectSaveVisibleWith("1001"), "2");
    // No alert reports the emptied cache at a first start.
    EXPECT_EQ(AlertView::topAlert(), nullptr);
}

TEST_F(LaunchTest, VersionChangesMigrateByTheStoredVersionComparedAsText) {
    struct Case {
        std::string stored, running;
        bool dropped;         // caches, remembered accounts and settings gone
        std::string kept;     // "all", "credentials" or "" (saved user gone)
        std::string version;  // stored afterwards
    };
    const Case cases[] = {
        {"2.3.9", "2.4.1", true, "credentials", "2.4.1"},
        {"2.4.0", "2.4.1", true, "all", "2.4.1"},
        {"1.0.0", "1.0.0", false, "all", "1.0.0"},
        // Compared as text: "2.10.0" is the smaller, "2.9.0" the greater.
        {"2.10.0", "2.9.0", true, "credentials", "2.9.0"},
        {"2.9.0", "2.10.0", false, "all", "2.9.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored + " -> " + c.running);
        MVTtirraDataBase::deleteSaveVersion();
        MVTtirraDataBase::deleteAllUsers();
        MVTtirraDataBase::deleteAllUserNewsSetting();
        MVTtirraDataBase::deleteDynamicTable();
        fillEverything();
        MVTtirraDataBase::insertSaveVersion(c.stored);
        const Json before = MVTtirraDataBase::selectSaveUserTableData();

        app->migrateDatabase(MVTtirraDataBase::selectSaveVersion(), c.running);

        EXPECT_EQ(MVTtirraDataBase::selectSaveVersion(), c.version);
        EXPECT_EQ(MVTtirraDataBase::selectUsersTableData().empty(), c.dropped);
        EXPECT_EQ(MVTtirraDataBase::selectUserNewsSettingDataWith("1001").empty(), c.dropped);
        EXPECT_EQ(MVTtirraDataBase::selectDynamicData("1001", 0).empty(), c.dropped);
        EXPECT_TRUE(cacheHasFile());
        EXPECT_EQ(MVTtirraDataBase::selectSaveDynamicData("1001").size(), 1u);
        const Json after = MVTtirraDataBase::selectSaveUserTableData();
        if (c.kept == "all") {
            EXPECT_EQ(after, before);
        } else {
            EXPECT_EQ(after["userName"], "teacher");
            EXPECT_EQ(after["userPassword"], "teacher123");
            EXPECT_EQ(after["userId"], "1001");
            EXPECT_EQ(after["name"], "(null)");
            EXPECT_EQ(after["schoolId"], "(null)");
        }
    }
}

TEST_F(LaunchTest, UpgradeFromAnOldVersionSignsTheUserInAgainWithoutTheLoginScreen) {
    fillEverything();
    MVTtirraDataBase::insertSaveVersion("2.3.9");
    MVTAppDelegate::setBundleShortVersionString("2.4.1");
    launch();
    ASSERT_NE(app->imageView(), nullptr);
    advance(2.0);
    ASSERT_TRUE(waitForTabBar());
    EXPECT_EQ(MVTAccount::sharedInstance().userId(), "1001");
    // The re-check fills the rest of the record from the service.
    advance(1.0);
    ASSERT_TRUE(pumpUntil([] { return MVTAccount::sharedInstance().schoolId() == std::optional<std::string>("1"); }));
}

TEST_F(LaunchTest, LaunchRegistersTheKitsAndSetsUpTheDelegate) {
    app->setNowPage(111);
    app->setNowPlayPage(4444);
    app->setNowPlayId("9");
    app->setIsFull(false);
    app->upDynamicArr().push_back({{"content", "x"}});
    launch();
    ASSERT_NE(app->window(), nullptr);
    EXPECT_TRUE(app->window()->isKeyWindow());
    EXPECT_EQ(app->window()->frame(), Screen::mainScreen().bounds());
    EXPECT_EQ(app->window()->backgroundColor(), Color::rgb255(249, 253, 248));
    EXPECT_TRUE(app->isFull());
    EXPECT_EQ(app->nowPage(), 0);
    EXPECT_EQ(app->nowPlayPage(), 0);
    EXPECT_EQ(app->nowPlayId(), "");
    EXPECT_EQ(app->nowPlayPath(), "");
    EXPECT_TRUE(app->upDynamicArr().empty());
    EXPECT_TRUE(app->upMicroArr().is_array() && app->upMicroArr().empty());
    EXPECT_EQ(ShareKit::shared().registeredAppKey(), "a91e7c3f20db");
    EXPECT_EQ(ShareKit::shared().weChatAppId(), "wx0a9c3b7d5e1f4a2b");
    EXPECT_EQ(StatisticsKit::shared().appKey(), "QT3MZ8KBW2PA");
    EXPECT_TRUE(StatisticsKit::shared().debugMode());
    EXPECT_EQ(StatusBar::shared().style(), StatusBarStyle::LightContent);
    // The version check went out without holding the launch up.
    EXPECT_TRUE(pumpUntil([this] { return service().lastRequest("services/norvo/config/iphone-version").has_value(); }));
}

TEST_F(LaunchTest, FollowedSystemLanguageIsPickedUpAgain) {
    const char* saved = std::getenv("LANGUAGE");
    const std::string previous = saved ? saved : "";
    struct Case {
        std::string stored;
        bool follow;
        std::string system, expected;
    };
    const Case cases[] = {
        {"en", true, "zh_CN.UTF-8", "zh-Hans"},
        {"zh-Hans", true, "en_US.UTF-8", "en"},
        {"en", false, "zh_CN.UTF-8", "en"},
    };
    for (const auto& c : cases) {
        InternationalControl::setUserlanguage(c.stored, c.follow);
        setenv("LANGUAGE", c.system.c_str(), 1);
        MVTtirraDataBase::insertSaveVersion("1.0.0");
        launch();
        EXPECT_EQ(InternationalControl::getUserlanguage(), c.expected) << c.stored << " " << c.system;
        Application::shared().enterBackground();
    }
    if (saved) setenv("LANGUAGE", previous.c_str(), 1);
    else unsetenv("LANGUAGE");
}

TEST_F(LaunchTest, PreferencesRepairStaysInTheAppsOwnFolder) {
    const fs::path folder = Paths::preferencesDirectory();
    const fs::path outside = home_ / "outside.plist";

    // Newer than 2.0.0: only the marker goes.
    writeFileAtomically(preferencesMarker(), "1");
    app->repairPreferences("2.4.1");
    EXPECT_FALSE(fs::exists(preferencesMarker()));

    // Up to 2.0.0 and fewer than three entries: marked done.
    app->repairPreferences("2.0.0");
    EXPECT_EQ(readText(preferencesMarker()), "1");

    // Done already: nothing is read or written.
    writeFileAtomically(folder / "a.json", "{}");
    writeFileAtomically(folder / "b.json", "{}");
    writeFileAtomically(folder / "zz.json", "garbage");
    app->repairPreferences("1.9.9");
    EXPECT_EQ(readText(folder / "zz.json"), "garbage");

    // Not done ("0"): the unreadable last entry is replaced by an empty dictionary.
    writeFileAtomically(preferencesMarker(), "0");
    app->repairPreferences("1.9.9");
    EXPECT_EQ(readText(folder / "zz.json"), "{}");
    EXPECT_EQ(readText(preferencesMarker()), "1");

    // A readable last entry stays as it is.
    writeFileAtomically(folder / "zz.json", R"({"k": 1})");
    fs::remove(preferencesMarker());
    app->repairPreferences("1.0.0");
    EXPECT_EQ(readText(folder / "zz.json"), R"({"k": 1})");
    EXPECT_EQ(readText(preferencesMarker()), "1");

    // A link in the folder is never followed: the file it points to stays untouched.
    writeFileAtomically(outside, "not a dictionary");
    fs::create_symlink(outside, folder / "zzz.json");
    fs::remove(preferencesMarker());
    app->repairPreferences("1.0.0");
    EXPECT_EQ(readText(outside), "not a dictionary");
    EXPECT_FALSE(fs::is_symlink(folder / "zzz.json"));
    EXPECT_EQ(readText(folder / "zzz.json"), "{}");
    EXPECT_EQ(readText(preferencesMarker()), "1");
}

TEST_F(LaunchTest, BackgroundAndActivation) {
    MVTtirraDataBase::insertSaveVersion("1.0.0");
    launch();
    auto& platformApp = Application::shared();
    MVTAccount::sharedInstance().setUnreadCount(7);
    platformApp.enterBackground();
    EXPECT_EQ(platformApp.applicationIconBadgeNumber(), 7);
    EXPECT_EQ(platformApp.keepAliveTimeout(), 600);
    EXPECT_EQ(platformApp.runningBackgroundTasks(), 1u);
    EXPECT_NE(app->bgTask(), 0u);

    int posted = 0;
    auto token = NotificationCenter::defaultCenter().addObserver("becomeActive", [&](const Notification&) { ++posted; });
    platformApp.scheduleLocalNotification({"新动态", "", 0, 0, nullptr});
    StatusBar::shared().setStyle(StatusBarStyle::Default);
    platformApp.becomeActive();
    EXPECT_EQ(posted, 1);
    EXPECT_EQ(platformApp.runningBackgroundTasks(), 0u);
    EXPECT_TRUE(platformApp.scheduledNotifications().empty());
    EXPECT_EQ(StatusBar::shared().style(), StatusBarStyle::LightContent);
}

TEST_F(LaunchTest, NotificationTextsSelectTheirTabs) {
    struct Case {
        const char* text;
        int tab;
    };
    const Case cases[] = {
        {"您有3条新动态", 0},      {"新动态和新作业", 0}, {"新作业", 1},       {"2条新私信", 1},
        {"新班级通知", 1},         {"新测验", 2},         {"新动态 新测验", 2}, {"新微课", 2},
        {"订阅有更新", 2},         {"新评论", 3},         {"提到我的", 3},      {"3条新与我相关", -1},
        {"", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(MVTAppDelegate::tabForNotificationText(c.text), c.tab) << c.text;
}

TEST_F(LaunchTest, OpenedNotificationClosesPresentedStacksAndSelectsItsTab) {
    saveSignedInUser(teacherReply(), "teacher", "teacher123");
    MVTtirraDataBase::insertSaveVersion("1.0.0");
    launch();
    advance(2.0);
    ASSERT_TRUE(waitForTabBar());
    auto tabs = rootAs<MyTabBarController>();
    auto stackOf = [&](int tab) {
        return std::dynamic_pointer_cast<NavigationController>(tabs->viewControllers().at(size_t(tab)));
    };
    auto messages = std::dynamic_pointer_cast<MVTInteractionViewController>(stackOf(1)->viewControllers().front());
    ASSERT_NE(messages, nullptr);

    // A stack presented over the contacts tab, two screens deep.
    auto presentedRoot = std::make_shared<ViewController>();
    auto presented = myNavigationController::withRoot(presentedRoot);
    presented->pushViewController(std::make_shared<ViewController>(), false);
    stackOf(4)->viewControllers().front()->presentViewController(presented, false);
    ASSERT_NE(stackOf(4)->viewControllers().front()->presentedViewController(), nullptr);

    Application::shared().enterBackground();
    Application::shared().openLocalNotification({"3条新与我相关", "", 0, 0, nullptr});
    EXPECT_EQ(Application::shared().runningBackgroundTasks(), 0u);
    EXPECT_EQ(stackOf(4)->viewControllers().front()->presentedViewController(), nullptr);
    EXPECT_EQ(presented->viewControllers().size(), 1u);
    EXPECT_EQ(tabs->selectedIndex(), 0);

    const int before = messages->getNewDataCount();
    // Selecting the tab reloads the centre by itself while messages are unread; the
    // notification then asks for new ones once more.
    const bool unread = integerValue(valueFor(tabs->unreadDic(), "newPm")) != 0;
    Application::shared().openLocalNotification({"2条新私信", "", 0, 0, nullptr});
    EXPECT_EQ(tabs->selectedIndex(), 1);
    EXPECT_EQ(messages->getNewDataCount(), before + (unread ? 2 : 1));
    // The tab buttons follow as after a tap: the selected one shows its selected look.
    EXPECT_TRUE(tabs->buttonForTab(1)->isHighlighted());
    EXPECT_TRUE(tabs->buttonForTab(0)->isEnabled());

    Application::shared().openLocalNotification({"新测验", "", 0, 0, nullptr});
    EXPECT_EQ(tabs->selectedIndex(), 2);
    Application::shared().openLocalNotification({"新评论", "", 0, 0, nullptr});
    EXPECT_EQ(tabs->selectedIndex(), 3);
    Application::shared().openLocalNotification({"新动态", "", 0, 0, nullptr});
    EXPECT_EQ(tabs->selectedIndex(), 0);
}

TEST_F(LaunchTest, OpenedNotificationOverTheLoginScreenOnlyEndsTheBackgroundTask) {
    launch();
    auto login = root();
    Application::shared().enterBackground();
    Application::shared().openLocalNotification({"新动态", "", 0, 0, nullptr});
    EXPECT_EQ(Application::shared().runningBackgroundTasks(), 0u);
    EXPECT_EQ(root(), login);
}

}  // namespace
