// System settings, reminder settings with the interval list, and the about page with its
// version check and the intro on a first visit.

#include "SpaceFixture.h"

#include "me/MVTAboutTirraViewController.h"
#include "me/MVTNewsAlertViewController.h"
#include "me/MVTSelectListViewController.h"
#include "me/MVTUniversalViewSettingViewController.h"

#include "shell/MVTInternationalViewController.h"
#include "shell/MyTabBarController.h"
#include "shell/myTableView.h"

#include "core/MVTtirraDataBase.h"

#include "platform/Application.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"

using namespace platform;
using sample_service::Reply;
using testing_support::SpaceTest;

namespace {

class SettingsTest : public SpaceTest {
protected:
    void SetUp() override {
        SpaceTest::SetUp();
        for (const char* name : {kReloadNewsNotification, kReloadTimerNotification})
            tokens_.push_back(NotificationCenter::defaultCenter().addObserver(name, [this, name](const Notification&) {
                posted_.push_back(name);
            }));
    }
    void TearDown() override {
        tokens_.clear();
        MVTAppDelegate::setBundleShortVersionString("");
        SpaceTest::TearDown();
    }
    void storeRow(const std::string& news, const std::string& homework, const std::string& notices,
                  const std::string& seconds = "60") {
        MVTtirraDataBase::deleteUserNewsSettingDataWith("2001");
        MVTtirraDataBase::insertUserNewsSettingWithDic({{"news", news},       {"feedNews", news},
                                                        {"chatNews", news},   {"MentionNews", news},
                                                        {"commenNews", news}, {"HMNews", homework},
                                                        {"NotiNews", notices}, {"defaultTime", seconds}},
                                                       "2001");
    }
    template <class T>
    std::shared_ptr<T> present() {
        auto screen = std::make_shared<T>();
        navigation = myNavigationController::withRoot(screen);
        driver->show(navigation);
        driver->pump();
        return screen;
    }
    static Json row() { return MVTtirraDataBase::selectUserNewsSettingDataWith("2001"); }
    static std::string intervalDetail(MVTNewsAlertViewController& screen) {
        auto& table = *screen.myTable();
        auto cell = std::dynamic_pointer_cast<MVTNewSettingCell>(
            table.cellForRowAtIndexPath({table.numberOfSections() - 1, 0}));
        return cell ? cell->detalsLa()->text() : "?";
    }
    std::vector<ObserverToken> tokens_;
    std::vector<std::string> posted_;
};

TEST_F(SettingsTest, TheSwitchRuleCountsTheKindsWithoutARow) {
    // Starting row (master, homework, notices), the switch flipped, and what follows:
    // the master, the sections, homework and notices.
    struct Case {
        const char* name;
        const char* news;
        const char* hm;
        const char* noti;
        std::vector<std::pair<int, bool>> flips;
        bool master;
        int sections;
        const char* hmAfter;
    };
    const Case cases[] = {
        {"master off turns all off", "1", "1", "1", {{11, false}}, false, 2, "0"},
        {"master on turns all on", "0", "0", "0", {{11, true}}, true, 3, "1"},
        {"four kinds off, homework still on", "1", "1", "1", {{21, false}, {22, false}, {23, false}, {24, false}}, true, 3, "1"},
        {"last kind off with homework and notices off", "1", "0", "0", {{21, false}, {22, false}, {23, false}, {24, false}}, false, 2, "0"},
        {"a kind on turns the master on", "0", "0", "0", {{22, true}}, true, 3, "0"},
        {"other tags change nothing", "1", "1", "1", {{99, false}}, true, 3, "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        storeRow(c.news, c.hm, c.noti);
        auto screen = present<MVTNewsAlertViewController>();
        EXPECT_EQ(screen->sectionNum(), std::string(c.news) == "1" ? 3 : 2);
        posted_.clear();
        for (auto [tag, on] : c.flips) screen->openOrCloseWith(on, tag);
        EXPECT_EQ(screen->allNews(), c.master);
        EXPECT_EQ(screen->sectionNum(), c.sections);
        EXPECT_EQ(screen->myTable()->numberOfSections(), c.sections);
        EXPECT_EQ(textOf(row(), "news"), c.master ? "1" : "0");
        EXPECT_EQ(textOf(row(), "HMNews"), c.hmAfter);
        EXPECT_EQ(posted_.size(), c.flips.size());
    }
}

TEST_F(SettingsTest, FlippingASwitchCellReachesTheScreen) {
    storeRow("1", "0", "0");
    auto screen = present<MVTNewsAlertViewController>();
    auto cell = std::dynamic_pointer_cast<MVTNewSettingCell>(screen->myTable()->cellForRowAtIndexPath({1, 1}));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->tag(), 22);
    EXPECT_EQ(cell->titleLa()->text(), "消息提醒");
    ASSERT_TRUE(driver->tap(cell->switchBtn()));
    driver->pump();
    EXPECT_EQ(textOf(row(), "chatNews"), "0");
    EXPECT_EQ(posted_, std::vector<std::string>{kReloadNewsNotification});
}

TEST_F(SettingsTest, IntervalTextsChoicesAndTheStoredSeconds) {
    struct Case {
        const char* stored;
        const char* shown;
        int checked;
    };
    const Case cases[] = {{"60", "1分钟", 1},   {"30", "30秒", 0},  {"300.000000", "5分钟", 3},
                          {"45", "30秒", 0},    {"abc", "30秒", 0}, {"", "30秒", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        storeRow("1", "1", "1", c.stored);
        auto screen = present<MVTNewsAlertViewController>();
        EXPECT_EQ(intervalDetail(*screen), c.shown);
        screen->toSelectTimeSpace();
        driver->pump();
        auto list = std::dynamic_pointer_cast<MVTSelectListViewController>(navigation->topViewController());
        ASSERT_TRUE(list);
        EXPECT_EQ(list->select(), c.checked);
        for (int r = 0; r < 4; ++r)
            EXPECT_EQ(list->myTable()->cellForRowAtIndexPath({0, r})->accessoryType() ==
                          TableViewCellAccessoryType::Checkmark,
                      r == c.checked);
    }
    // "2分钟" stores 120 seconds as "%f" writes them, restarts the poll, and the list goes.
    auto screen = std::dynamic_pointer_cast<MVTNewsAlertViewController>(navigation->viewControllers().front());
    auto list = std::dynamic_pointer_cast<MVTSelectListViewController>(navigation->topViewController());
    posted_.clear();
    list->didSelectRowAtIndexPath(*list->myTable(), {0, 2});
    EXPECT_EQ(textOf(row(), "defaultTime"), "120.000000");
    EXPECT_EQ(posted_, std::vector<std::string>{kReloadTimerNotification});
    EXPECT_EQ(list->select(), 2);
    EXPECT_EQ(intervalDetail(*screen), "2分钟");
    advance(0.2);
    driver->pump();
    EXPECT_EQ(navigation->topViewController(), list);
    advance(0.2);
    ASSERT_TRUE(pumpUntil([&] { return navigation->topViewController() == screen; }));
}

TEST_F(SettingsTest, AUserWithoutARowGetsTheDefaultRowBeforeAWrite) {
    MVTtirraDataBase::deleteUserNewsSettingDataWith("2001");
    auto screen = present<MVTNewsAlertViewController>();
    EXPECT_EQ(screen->sectionNum(), 2);
    EXPECT_EQ(intervalDetail(*screen), "30秒");
    screen->openOrCloseWith(false, 24);
    // The default row is made, then written with what the screen held (everything off);
    // the screen then shows what was stored, its interval included.
    EXPECT_EQ(textOf(row(), "commenNews"), "0");
    EXPECT_EQ(textOf(row(), "HMNews"), "0");
    EXPECT_EQ(textOf(row(), "defaultTime"), "60");
    EXPECT_FALSE(screen->allNews());
    EXPECT_EQ(screen->sectionNum(), 2);
    EXPECT_EQ(intervalDetail(*screen), "1分钟");
    MVTtirraDataBase::deleteUserNewsSettingDataWith("2001");
    screen->didSelectedWhichWith(0);
    EXPECT_EQ(textOf(row(), "defaultTime"), "30.000000");
}

TEST_F(SettingsTest, SystemSettingsShowTheLanguageAndOpenBothPages) {
    auto screen = present<MVTUniversalViewSettingViewController>();
    EXPECT_EQ(screen->myArray(), (std::vector<std::string>{"消息提醒", "语言设置"}));
    auto languageText = [&] {
        auto cell = screen->mytableView()->cellForRowAtIndexPath({0, 1});
        auto label = cell ? std::dynamic_pointer_cast<Label>(cell->viewWithTag(MVTUniversalViewSettingViewController::kLanguageLabelTag)) : nullptr;
        return label ? label->text() : std::string("?");
    };
    EXPECT_EQ(languageText(), "简体中文");
    InternationalControl::setUserlanguage(InternationalControl::kEnglish, false);
    screen->viewWillAppear(false);
    EXPECT_EQ(languageText(), "English");
    InternationalControl::setUserlanguage(InternationalControl::kChinese, true);
    screen->viewWillAppear(false);
    EXPECT_EQ(languageText(), "跟随系统");
    InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
    for (auto [index, name] : {std::pair{0, "MVTNewsAlertViewController"}, std::pair{1, "MVTInternationalViewController"}}) {
        screen->didSelectRowAtIndexPath(*screen->mytableView(), {0, index});
        driver->pump();
        auto stack = std::dynamic_pointer_cast<NavigationController>(screen->presentedViewController());
        ASSERT_TRUE(stack);
        EXPECT_EQ(stack->viewControllers().front()->className(), name);
        screen->dismissViewController(false);
        driver->pump();
    }
}

TEST_F(SettingsTest, TheVersionCheckAnswersEveryReply) {
    MVTAppDelegate::setBundleShortVersionString("2.0");
    auto page = present<MVTAboutTirraViewController>();
    EXPECT_EQ(page->productLine(), "岚溪校讯V2.0");
    struct Case {
        const char* name;
        Reply reply;
        const char* title;  // "" : no alert
        std::size_t buttons;
    };
    const Case cases[] = {
        {"force 1", Reply::json({{"version", "10.0"}, {"url", "http://d"}, {"force", 1}, {"info", "新"}}), "版本更新[10.0]", 1},
        {"force \"1\"", Reply::json({{"version", "2.1"}, {"url", "http://d"}, {"force", "1"}}), "版本更新[2.1]", 1},
        {"force \"0\"", Reply::json({{"version", "2.1"}, {"url", "http://d"}, {"force", "0"}}), "版本更新[2.1]", 2},
        {"no force", Reply::json({{"version", "2.1"}, {"url", "http://d"}}), "版本更新[2.1]", 2},
        {"force abc", Reply::json({{"version", "2.1"}, {"url", "http://d"}, {"force", "abc"}}), "版本更新[2.1]", 2},
        {"a number", Reply::json({{"version", 3}, {"url", "http://d"}}), "版本更新[3]", 2},
        {"older", Reply::json({{"version", "1.9"}, {"url", "http://d"}}), "当前为最新版本。", 1},
        {"no address", Reply::json({{"version", "3.0"}}), "当前为最新版本。", 1},
        {"not an object", Reply::json(Json::array({1, 2})), "当前为最新版本。", 1},
        {"empty", Reply::json(Json::object()), "", 0},
        {"not JSON", Reply::text("<html>"), "", 0},
        {"huge", Reply::text(std::string(2 * 1024 * 1024, ' ')), "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AlertView::clearVisible();
        service().setReply("GET", "services/norvo/config/iphone-version", c.reply);
        const std::size_t before = countTo("config/iphone-version");
        page->toupdate();
        EXPECT_TRUE(hudShowing(page->view()));
        ASSERT_TRUE(pumpUntil([&] { return countTo("config/iphone-version") == before + 1 && !hudShowing(page->view()); }));
        driver->pump();
        auto alert = AlertView::topAlert();
        if (!*c.title) {
            EXPECT_FALSE(alert);
            continue;
        }
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->title(), c.title);
        EXPECT_EQ(std::size_t(alert->numberOfButtons()), c.buttons);
    }
    // The update button opens the address.
    AlertView::clearVisible();
    service().setReply("GET", "services/norvo/config/iphone-version",
                       Reply::json({{"version", "2.1"}, {"url", "http://example.test/get"}}));
    page->toupdate();
    ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
    AlertView::topAlert()->clickButtonAtIndex(1);
    ASSERT_FALSE(Application::shared().openedURLs().empty());
    EXPECT_EQ(Application::shared().openedURLs().back(), "http://example.test/get");
    // Offline: the banner and no overlay.
    Reachability::setOverride(ReachabilityState::offline());
    AlertView::clearVisible();
    page->toupdate();
    EXPECT_FALSE(hudShowing(page->view()));
    EXPECT_FALSE(AlertView::topAlert());
}

TEST_F(SettingsTest, TheIntroShowsOnTheFirstVisitOfAVersionOnly) {
    MVTAppDelegate::setBundleShortVersionString("3.1");
    auto page = present<MVTAboutTirraViewController>();
    auto intro = page->introViewController();
    ASSERT_TRUE(intro);
    EXPECT_TRUE(intro->isShowDismissButton());
    EXPECT_TRUE(intro->view()->superview());
    intro->dismiss();
    for (int i = 0; i < 20 && page->introViewController(); ++i) {
        advance(0.1);
        driver->pump();
    }
    EXPECT_FALSE(page->introViewController());
    EXPECT_FALSE(intro->view()->superview());
    auto again = present<MVTAboutTirraViewController>();
    EXPECT_FALSE(again->introViewController());
    // The terms button does nothing.
    driver->tap(again->termsButton());
    driver->pump();
    EXPECT_EQ(navigation->topViewController(), again);
    EXPECT_FALSE(again->presentedViewController());
}

}  // namespace
