#include "DelegateFixture.h"

#include "shell/InternationalControl.h"
#include "shell/MVTInternationalViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/UiDriver.h"

#include <cstdlib>

using namespace platform;

namespace {

class LanguagePageTest : public testing_support::DelegateTest {
protected:
    void SetUp() override {
        DelegateTest::SetUp();
        if (const char* old = std::getenv("LANGUAGE")) oldLanguage_ = old;
        setenv("LANGUAGE", "zh_CN", 1);
        InternationalControl::setUserlanguage("zh-Hans", false);
        launch();
        app->login("teacher", "teacher123", false);
        ASSERT_TRUE(waitForTabBar());
        driver = std::make_unique<UiDriver>(app->window());
    }
    void TearDown() override {
        driver.reset();
        if (oldLanguage_) setenv("LANGUAGE", oldLanguage_->c_str(), 1);
        else unsetenv("LANGUAGE");
        DelegateTest::TearDown();
    }

    std::shared_ptr<MVTInternationalViewController> openPage() {
        auto page = std::make_shared<MVTInternationalViewController>();
        root()->presentViewController(myNavigationController::withRoot(page), true);
        driver->settle();
        return page;
    }
    std::shared_ptr<TableViewCell> cell(const std::shared_ptr<MVTInternationalViewController>& page, int row) {
        return page->mytableV()->cellForRowAtIndexPath(IndexPath::forRow(row, 0));
    }
    // The rows that carry a check mark.
    std::vector<int> checked(const std::shared_ptr<MVTInternationalViewController>& page) {
        std::vector<int> rows;
        for (int row = 0; row < 3; ++row)
            if (cell(page, row)->accessoryType() == TableViewCellAccessoryType::Checkmark) rows.push_back(row);
        return rows;
    }
    void tapRow(const std::string& text) {
        ASSERT_TRUE(driver->tapText(text)) << text;
        driver->settle();
    }
    void leave(const std::shared_ptr<MVTInternationalViewController>& page) {
        auto back = page->navigationItem().leftBarButtonItem();
        ASSERT_NE(back, nullptr);
        ASSERT_TRUE(driver->tap(back->customView()));
        driver->settle();
    }
    std::vector<std::string> tabTitles() {
        auto tabs = rootAs<MyTabBarController>();
        std::vector<std::string> titles;
        for (auto& view : tabs->mytabbarView()->subviews())
            if (auto label = std::dynamic_pointer_cast<Label>(view)) {
                // The unread marks are labels of the bar too; only the titles count here.
                const long tag = label->tag();
                if (tag == MyTabBarController::kFeedCountTag || tag == MyTabBarController::kMessageCountTag ||
                    tag == MyTabBarController::kRelevantMeCountTag)
                    continue;
                titles.push_back(label->text());
            }
        return titles;
    }

    std::optional<std::string> oldLanguage_;
    std::unique_ptr<UiDriver> driver;
};

TEST_F(LanguagePageTest, ShowsThreeRowsWithTheCheckMarkOnTheLanguageInForce) {
    auto page = openPage();
    EXPECT_EQ(page->title(), "语言设置");
    EXPECT_EQ(page->dataArray(), (std::vector<std::string>{"跟随系统", "简体中文", "English"}));
    EXPECT_EQ(page->userLanguage(), "简体中文");
    EXPECT_EQ(page->oldLanguage(), "简体中文");
    EXPECT_EQ(checked(page), (std::vector<int>{1}));
    EXPECT_EQ(page->mytableV()->frame(), Rect(0, 0, 320, 568 - 113));
    EXPECT_EQ(cell(page, 0)->textLabel()->font(), Font::fontWithName("Helvetica", 16));
    EXPECT_EQ(page->mytableV()->rectForRowAtIndexPath(IndexPath::forRow(2, 0)).height(), 44);

    // Drawn: ink at the right end of the checked row only, where the mark stands.
    auto shot = Renderer::renderScreen(*app->window());
    ASSERT_TRUE(shot);
    const double scale = double(shot->pixelWidth()) / app->window()->bounds().width();
    auto inkAtRightEnd = [&](int row) {
        auto rowCell = cell(page, row);
        const Rect place = rowCell->convertRectTo(rowCell->bounds(), nullptr);
        const Color paper = shot->colorAt(int((place.minX() + 4) * scale), int(place.midY() * scale));
        int ink = 0;
        for (double x = place.maxX() - 40; x < place.maxX() - 2; x += 0.5)
            for (double y = place.minY() + 6; y < place.maxY() - 6; y += 0.5)
                if (shot->colorAt(int(x * scale), int(y * scale)) != paper) ++ink;
        return ink;
    };
    EXPECT_GT(inkAtRightEnd(1), 20);
    EXPECT_EQ(inkAtRightEnd(0), 0);
    EXPECT_EQ(inkAtRightEnd(2), 0);

    UserDefaults::standard().setBool(InternationalControl::kIsFollowSystemLanguage, true);
    page->changeLanguage();
    EXPECT_EQ(checked(page), (std::vector<int>{0}));
}

TEST_F(LanguagePageTest, ChoosingEnglishAndLeavingRebuildsTheWholeTabBarInEnglishAndBack) {
    auto old = rootAs<MyTabBarController>();
    old->setSelectedIndex(3);
    EXPECT_EQ(tabTitles().front(), "动态");
    auto page = openPage();
    tapRow("English");
    EXPECT_EQ(InternationalControl::getUserlanguage(), "en");
    EXPECT_FALSE(UserDefaults::standard().boolForKey(InternationalControl::kIsFollowSystemLanguage));
    EXPECT_EQ(page->userLanguage(), "English");
    EXPECT_EQ(checked(page), (std::vector<int>{2}));
    // The page keeps the texts it was built with.
    EXPECT_EQ(page->title(), "语言设置");
    EXPECT_TRUE(driver->byText("跟随系统"));

    leave(page);
    auto fresh = rootAs<MyTabBarController>();
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, old);
    EXPECT_EQ(fresh->selectedIndex(), 0);
    EXPECT_FALSE(page->view()->window());
    EXPECT_EQ(tabTitles(), (std::vector<std::string>{"Feed", "Messages", "Contacts", "Discover", "Me"}));
    EXPECT_TRUE(driver->byText("Feed"));

    auto english = openPage();
    EXPECT_EQ(english->title(), "Language");
    EXPECT_EQ(english->dataArray().front(), "Follows System");
    EXPECT_EQ(checked(english), (std::vector<int>{2}));
    tapRow("简体中文");
    leave(english);
    auto chinese = rootAs<MyTabBarController>();
    EXPECT_NE(chinese, fresh);
    EXPECT_EQ(tabTitles(), (std::vector<std::string>{"动态", "消息", "联系人", "发现", "我"}));
}

TEST_F(LanguagePageTest, EnglishThenFollowingAChineseSystemLeavesTheTabBarAsItWas) {
    auto tabs = rootAs<MyTabBarController>();
    auto page = openPage();
    tapRow("English");
    tapRow("跟随系统");
    EXPECT_EQ(InternationalControl::getUserlanguage(), "zh-Hans");
    EXPECT_TRUE(UserDefaults::standard().boolForKey(InternationalControl::kIsFollowSystemLanguage));
    EXPECT_EQ(page->userLanguage(), "简体中文");
    EXPECT_EQ(checked(page), (std::vector<int>{0}));
    leave(page);
    EXPECT_EQ(rootAs<MyTabBarController>(), tabs);
    EXPECT_FALSE(root()->presentedViewController());
}

TEST_F(LanguagePageTest, TheEnglishFollowRowFollowsAnEnglishSystem) {
    setenv("LANGUAGE", "fr_FR", 1);
    InternationalControl::setUserlanguage("en", false);
    auto page = openPage();
    EXPECT_EQ(page->dataArray().front(), "Follows System");
    tapRow("Follows System");
    EXPECT_EQ(InternationalControl::getUserlanguage(), "en");
    EXPECT_TRUE(UserDefaults::standard().boolForKey(InternationalControl::kIsFollowSystemLanguage));
    EXPECT_EQ(checked(page), (std::vector<int>{0}));
}

}  // namespace
