#include "support/AppTest.h"

#include "shell/MVTAppDelegate.h"
#include "shell/MVTIntroViewController.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/UiDriver.h"

#include <cstdlib>

using namespace platform;

namespace {

struct Listener : MVTIntroViewControllerDelegate {
    int told = 0;
    void introViewControllerWillDismiss() override { ++told; }
};

class IntroPagerTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Screen::mainScreen().reset();
        StatusBar::shared().setHidden(false);
        if (const char* old = std::getenv("TIRRA_RESOURCES")) oldResources_ = old;
        driver = std::make_unique<UiDriver>();
        host = std::make_shared<ViewController>();
        driver->show(host);
        listener = std::make_shared<Listener>();
    }
    void TearDown() override {
        if (oldResources_) setenv("TIRRA_RESOURCES", oldResources_->c_str(), 1);
        else unsetenv("TIRRA_RESOURCES");
        MVTAppDelegate::setBundleShortVersionString("");
        driver.reset();
        Screen::mainScreen().reset();
        AppTest::TearDown();
    }
    // A bundle whose intro folder for this pixel size holds `count` pictures.
    void makePictures(const std::string& folder, int count) {
        const auto resources = home_ / "bundle";
        for (int i = 1; i <= count; ++i) {
            auto picture = Image::imageWithColor(Color::rgb255(40 * i, 120, 200), {8, 8});
            ASSERT_TRUE(writeFileAtomically(resources / "introimgs.bundle" / folder / (std::to_string(i) + ".png"),
                                            picture->pngData()));
        }
        ASSERT_TRUE(writeFileAtomically(resources / "introimgs.bundle" / folder / "notes.txt", "not a picture"));
        setenv("TIRRA_RESOURCES", resources.c_str(), 1);
    }
    std::shared_ptr<MVTIntroViewController> show(bool withButton) {
        auto intro = std::make_shared<MVTIntroViewController>();
        intro->init();
        intro->setIsShowDismissButton(withButton);
        intro->setDelegate(listener);
        host->view()->addSubview(intro->view());
        return intro;
    }
    std::shared_ptr<ImageView> dot(const std::shared_ptr<MVTIntroViewController>& intro, int page) {
        return std::dynamic_pointer_cast<ImageView>(intro->pageView()->viewWithTag(MVTIntroViewController::kDotTagBase + page));
    }

    std::optional<std::string> oldResources_;
    std::unique_ptr<UiDriver> driver;
    std::shared_ptr<ViewController> host;
    std::shared_ptr<Listener> listener;
};

TEST_F(IntroPagerTest, VersionsCompareNumericallyRunByRun) {
    struct Case {
        std::string a, b;
        int order;
    };
    for (const Case& c : {Case{"1.10", "1.9", 1}, Case{"1.9", "1.10", -1}, Case{"2.0", "2.0", 0}, Case{"2.0.1", "2.0", 1},
                          Case{"1.01", "1.1", 0}, Case{"10.0", "9.9.9", 1}, Case{"1.2a", "1.2b", -1},
                          Case{"123456789012345678901", "99", 1}}) {
        EXPECT_EQ(MVTIntroViewController::compareVersions(c.a, c.b), c.order) << c.a << " " << c.b;
    }
}

TEST_F(IntroPagerTest, IsNewVersionOnFirstUseAndForANewerVersionOnly) {
    struct Step {
        std::string running;
        bool isNew;
        std::string stored;
    };
    const auto file = Paths::documentsDirectory() / MVTIntroViewController::kIntroFile;
    for (const Step& s : {Step{"1.9", true, "1.9"}, Step{"1.9", false, "1.9"}, Step{"1.10", true, "1.10"},
                          Step{"1.9", false, "1.10"}, Step{"2.0.0", true, "2.0.0"}}) {
        MVTAppDelegate::setBundleShortVersionString(s.running);
        EXPECT_EQ(MVTIntroViewController::isNewVersion(), s.isNew) << s.running;
        EXPECT_EQ(readFile(file), s.stored) << s.running;
    }
}

TEST_F(IntroPagerTest, WithoutPicturesForTheScreenTheIntroClosesAtOnceAndTellsItsDelegate) {
    makePictures("6401136", 2);
    Screen::mainScreen().setSize({320, 480});  // 640 x 960 pixels: no folder
    auto intro = show(false);
    EXPECT_TRUE(intro->pictures().empty());
    EXPECT_EQ(intro->scrollView(), nullptr);
    EXPECT_FALSE(StatusBar::shared().isHidden());
    EXPECT_EQ(listener->told, 0);
    driver->settle();
    EXPECT_EQ(listener->told, 1);
    EXPECT_EQ(intro->view()->alpha(), 0.5);
    EXPECT_FALSE(intro->view()->superview());
}

TEST_F(IntroPagerTest, PagesThroughThePicturesAndADragBeyondTheLastClosesItOnce) {
    makePictures("6401136", 3);
    auto intro = show(false);
    ASSERT_EQ(intro->pictures().size(), 3u);
    EXPECT_EQ(std::filesystem::path(intro->pictures()[0]).filename(), "1.png");
    EXPECT_TRUE(StatusBar::shared().isHidden());
    EXPECT_EQ(intro->view()->backgroundColor(), Color::whiteColor());
    auto pager = intro->scrollView();
    EXPECT_EQ(pager->contentSize(), (Size{960, 568}));
    EXPECT_TRUE(pager->isPagingEnabled());
    EXPECT_FALSE(pager->bounces());
    EXPECT_EQ(intro->pageView()->frame(), Rect(102.5, 528, 115, 15));
    EXPECT_EQ(dot(intro, 0)->image(), Image::imageNamed("doting.png"));
    EXPECT_EQ(dot(intro, 1)->image(), Image::imageNamed("doted.png"));

    // Paging with the finger; once the pager has rested, it bounces.
    for (int i = 0; i < 2; ++i) {
        driver->drag({300, 300}, {20, 300});
        driver->settle();
    }
    EXPECT_EQ(pager->contentOffset().x, 640);
    EXPECT_EQ(intro->shownPage(), 2);
    EXPECT_EQ(dot(intro, 2)->image(), Image::imageNamed("doting.png"));
    EXPECT_EQ(dot(intro, 0)->image(), Image::imageNamed("doted.png"));
    EXPECT_EQ(listener->told, 0);
    EXPECT_TRUE(pager->bounces());

    const int finger = driver->drag({300, 300}, {100, 300}, 10, 0.016, false);
    EXPECT_TRUE(intro->beOut());
    // A second drag beyond the end while it fades closes nothing more.
    driver->endTouch(finger);
    driver->drag({300, 300}, {100, 300});
    driver->settle();
    driver->settle();
    EXPECT_EQ(listener->told, 1);
    EXPECT_FALSE(intro->view()->superview());
    EXPECT_FALSE(StatusBar::shared().isHidden());
}

TEST_F(IntroPagerTest, TheClosingButtonSitsOnTheLastPictureByTheScreensPixelSize) {
    struct Case {
        Size points;
        double scale;
        std::string folder;
        Rect frame;
    };
    for (const Case& c : {Case{{320, 568}, 2, "6401136", {40, 568 - 210, 240, 50}},
                          Case{{375, 667}, 2, "7501334", {40, 667 - 250, 295, 60}},
                          Case{{414, 736}, 3, "12422208", {40, 736 - 270, 334, 60}},
                          Case{{320, 480}, 2, "640960", {40, 480 - 160, 240, 50}}}) {
        Screen::mainScreen().setSize(c.points);
        Screen::mainScreen().setScale(c.scale);
        makePictures(c.folder, 2);
        listener->told = 0;
        auto intro = show(true);
        ASSERT_NE(intro->dismissButton(), nullptr) << c.folder;
        EXPECT_EQ(intro->dismissButton()->frame(), c.frame) << c.folder;
        EXPECT_EQ(intro->dismissButton()->superview()->frame().x(), c.points.width) << c.folder;
        EXPECT_FALSE(StatusBar::shared().isHidden());
        intro->scrollView()->setContentOffset({c.points.width, 0});
        ASSERT_TRUE(driver->tap(intro->dismissButton())) << c.folder;
        driver->settle();
        EXPECT_EQ(listener->told, 1) << c.folder;
        EXPECT_FALSE(intro->view()->superview());
    }
}

}  // namespace
