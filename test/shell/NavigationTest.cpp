#include "support/AppTest.h"

#include "shell/ViewViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"
#include "shell/myimagePickerViewController.h"

#include "platform/Files.h"
#include "platform/ui/Image.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/UiDriver.h"

#include <fstream>

using namespace platform;

namespace {

class NavigationTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Screen::mainScreen().reset();
        StatusBar::shared().setHidden(false);
        StatusBar::shared().setStyle(StatusBarStyle::Default);
        ImagePickerController::resetSources();
        driver_ = std::make_unique<UiDriver>();
    }
    void TearDown() override {
        driver_.reset();
        ImagePickerController::resetSources();
        AppTest::TearDown();
    }
    std::filesystem::path writePicture(const std::string& name, Size size) {
        auto path = home_ / name;
        auto image = Image::imageWithColor(Color::red(), size);
        std::ofstream(path, std::ios::binary) << image->pngData();
        return path;
    }
    std::unique_ptr<UiDriver> driver_;
};

TEST_F(NavigationTest, AppNavigationHasABlackTranslucentBarWhiteBoldTitlesAndALightStatusBar) {
    auto root = std::make_shared<ViewViewController>();
    root->setTitle("动态");
    auto nav = myNavigationController::withRoot(root);
    driver_->show(nav);
    auto& bar = nav->navigationBar();
    EXPECT_EQ(bar.barStyle(), BarStyle::Black);
    EXPECT_TRUE(bar.isTranslucent());
    EXPECT_EQ(bar.titleTextAttributes().textColor, Color::whiteColor());
    EXPECT_EQ(bar.titleTextAttributes().fontName, "Helvetica-Bold");
    EXPECT_EQ(bar.titleTextAttributes().fontSize, 18);
    EXPECT_TRUE(bar.titleTextAttributes().shadowColor.isClear());
    EXPECT_EQ(StatusBar::shared().style(), StatusBarStyle::LightContent);
    EXPECT_FALSE(StatusBar::shared().lastChangeAnimated());
    auto strip = driver_->find([&](const View& v) {
        return v.frame() == Rect(0, 0, 320, 20) && v.backgroundColor() == Color::black() &&
               v.superview() == nav->view();
    });
    EXPECT_TRUE(strip);
    EXPECT_TRUE(driver_->byText("动态"));
}

TEST_F(NavigationTest, PushingAndGoingBackThroughTheBar) {
    auto root = std::make_shared<ViewViewController>();
    root->setTitle("联系人");
    auto nav = myNavigationController::withRoot(root);
    driver_->show(nav);
    auto detail = std::make_shared<ViewViewController>();
    detail->setTitle("详细资料");
    nav->pushViewController(detail, true);
    driver_->settle();
    EXPECT_TRUE(driver_->byText("详细资料"));
    EXPECT_EQ(detail->view()->frame().y(), 64);
    ASSERT_TRUE(driver_->tap(driver_->byText("联系人")));
    driver_->settle();
    EXPECT_EQ(nav->topViewController(), root);
}

TEST_F(NavigationTest, TablesGetTheirLookByStyleAndVersion) {
    auto plain = myTableView::make({0, 0, 320, 400}, TableViewStyle::Plain);
    auto grouped = myTableView::make({0, 0, 320, 400}, TableViewStyle::Grouped);
    auto search = std::make_shared<myTableView>();
    search->initWithFrame({0, 0, 320, 400});
    auto defaultSeparator = std::make_shared<TableView>(Rect(0, 0, 320, 400))->separatorColor();

    EXPECT_TRUE(plain->separatorColor().isClear());
    EXPECT_EQ(grouped->separatorColor(), defaultSeparator);
    EXPECT_EQ(search->separatorColor(), defaultSeparator);
    for (auto* t : {plain.get(), grouped.get(), search.get()}) {
        EXPECT_TRUE(t->backgroundColor().isClear());
        EXPECT_FALSE(t->backgroundView());
        EXPECT_TRUE(t->showsVerticalScrollIndicator());
        EXPECT_FALSE(t->showsHorizontalScrollIndicator());
        ASSERT_TRUE(t->tableHeaderView());
        EXPECT_EQ(t->tableHeaderView()->frame().size, (Size{320, 0.5}));
    }

    Screen::setSystemVersion(6.1);
    auto old = myTableView::make({0, 0, 320, 400}, TableViewStyle::Plain);
    EXPECT_FALSE(old->tableHeaderView());
}

class PickerClient : public ViewViewController, public ImagePickerControllerDelegate {
public:
    void imagePickerControllerDidFinishPickingMedia(ImagePickerController& picker, const PickedMediaInfo& info) override {
        picked = info;
        picker.dismissViewController(true);
    }
    void imagePickerControllerDidCancel(ImagePickerController& picker) override {
        ++cancels;
        picker.dismissViewController(true);
    }
    PickedMediaInfo picked;
    int cancels = 0;
};

TEST_F(NavigationTest, PickerDarkensTheStatusBarWhileShownAndRestoresItLightAndVisible) {
    for (bool hiddenBefore : {false, true}) {
        auto client = std::make_shared<PickerClient>();
        auto nav = myNavigationController::withRoot(client);
        driver_->show(nav);
        StatusBar::shared().setHidden(hiddenBefore);
        auto picker = std::make_shared<myimagePickerViewController>();
        picker->setSourceType(ImagePickerSourceType::PhotoLibrary);
        picker->setDelegate(client->weakAs<ImagePickerControllerDelegate>());
        client->presentViewController(picker, true);
        driver_->settle();
        EXPECT_EQ(StatusBar::shared().style(), StatusBarStyle::Default);
        ASSERT_TRUE(driver_->tapText("Cancel"));
        driver_->settle();
        EXPECT_EQ(client->cancels, 1);
        EXPECT_FALSE(client->presentedViewController());
        EXPECT_FALSE(StatusBar::shared().isHidden()) << hiddenBefore;
        EXPECT_EQ(StatusBar::shared().style(), StatusBarStyle::LightContent);
    }
}

TEST_F(NavigationTest, BeforeVersion7ThePickerLeavesTheStatusBarDark) {
    Screen::setSystemVersion(6.1);
    auto client = std::make_shared<PickerClient>();
    driver_->show(client);
    auto picker = std::make_shared<myimagePickerViewController>();
    picker->setDelegate(client->weakAs<ImagePickerControllerDelegate>());
    client->presentViewController(picker, false);
    picker->cancel();
    EXPECT_EQ(StatusBar::shared().style(), StatusBarStyle::Default);
    EXPECT_FALSE(StatusBar::shared().isHidden());
}

TEST_F(NavigationTest, CameraIsUnavailableUntilFedAndAPickedFileComesBackAsAPicture) {
    EXPECT_FALSE(ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera));
    EXPECT_TRUE(ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::PhotoLibrary));
    auto wide = writePicture("wide.png", {40, 20});
    auto broken = home_ / "broken.png";
    std::ofstream(broken) << "not a picture";
    ImagePickerController::setSourceFiles(ImagePickerSourceType::Camera, {broken, wide});
    EXPECT_TRUE(ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera));

    auto client = std::make_shared<PickerClient>();
    driver_->show(client);
    auto picker = std::make_shared<myimagePickerViewController>();
    picker->setSourceType(ImagePickerSourceType::Camera);
    picker->setAllowsEditing(true);
    picker->setDelegate(client->weakAs<ImagePickerControllerDelegate>());
    client->presentViewController(picker, false);
    EXPECT_FALSE(picker->pickFileAtIndex(0));
    EXPECT_FALSE(client->picked.originalImage);
    ASSERT_TRUE(driver_->tapText("wide.png"));
    ASSERT_TRUE(client->picked.originalImage);
    EXPECT_EQ(client->picked.originalImage->size(), (Size{40, 20}));
    ASSERT_TRUE(client->picked.editedImage);
    EXPECT_EQ(client->picked.editedImage->size(), (Size{20, 20}));
    EXPECT_EQ(client->picked.fileUrl, wide);
    driver_->settle();
    EXPECT_FALSE(client->presentedViewController());
}

}  // namespace
