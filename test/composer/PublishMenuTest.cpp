// The publish menu: its layout, its animation, what its taps tell, the floating "+" of the
// tab bar, and the composers its items open.
#include "ComposerFixture.h"

#include "composer/MVTAddFeelingController.h"
#include "composer/MVTOtherMenuView.h"
#include "shell/myimagePickerViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TapGestureRecognizer.h"

namespace {

using testing_support::ComposerTest;

struct MenuRecorder : MVTOtherMenuViewDelegate {
    std::vector<int> items;
    int blanks = 0;
    void btnClickedWith(int index) override { items.push_back(index); }
    void blankSpaceClicked() override { ++blanks; }
};

class PublishMenuTest : public ComposerTest {
protected:
    std::filesystem::path picture(const std::string& name, double width, double height) {
        auto path = AppTest::home_ / name;
        std::ofstream(path, std::ios::binary)
            << platform::Image::imageWithColor(platform::Color::rgb255(200, 10, 10), {width, height})->pngData();
        return path;
    }
    template <class T>
    std::shared_ptr<T> presentedRoot() {
        auto nav = std::dynamic_pointer_cast<myNavigationController>(tabs_->presentedViewController());
        if (!nav || nav->viewControllers().empty()) return nullptr;
        return std::dynamic_pointer_cast<T>(nav->viewControllers().front());
    }
    std::shared_ptr<MVTOtherMenuView> menu(std::shared_ptr<MenuRecorder> recorder) {
        auto view = std::make_shared<MVTOtherMenuView>();
        view->initWithFrame({0, 0, 320, 519});
        view->setDelegate(recorder);
        driver_->window().addSubview(view);
        return view;
    }
};

TEST_F(PublishMenuTest, FourItemsStandInAnArchWithTheirLabelsBelow) {
    auto recorder = std::make_shared<MenuRecorder>();
    auto view = menu(recorder);
    ASSERT_EQ(view->buttons().size(), 4u);
    EXPECT_EQ(view->labels()[0]->text(), "文本");
    view->showAlphAndMenu(true);
    driver_->settle();
    std::vector<double> xs;
    for (auto& button : view->buttons()) xs.push_back(button->frame().minX());
    EXPECT_EQ(xs, (std::vector<double>{16, 76, 184, 244}));
    for (size_t i = 0; i < 4; ++i) {
        const auto button = view->buttons()[i]->frame();
        const auto label = view->labels()[i]->frame();
        EXPECT_DOUBLE_EQ(label.minY(), button.minY() + 65);
        EXPECT_NEAR(label.midX(), button.midX(), 0.01);
        EXPECT_DOUBLE_EQ(view->labels()[i]->alpha(), 1);
    }
}

TEST_F(PublishMenuTest, OneSchoolHasThreeItemsTheFirstForHomework) {
    MVTAccount::sharedInstance().setSchoolId("114922");
    auto view = menu(std::make_shared<MenuRecorder>());
    ASSERT_EQ(view->buttons().size(), 3u);
    EXPECT_EQ(view->labels()[0]->text(), "作业");
    EXPECT_EQ(view->buttons()[0]->imageForState(platform::ControlStateNormal), platform::Image::imageNamed("new_howk"));
}

TEST_F(PublishMenuTest, LabelsShowAfterTheOpeningAndBlankTapsCountOnlyWhileOpen) {
    auto recorder = std::make_shared<MenuRecorder>();
    auto view = menu(recorder);
    view->showAlphAndMenu(true);
    advance(0.2);
    EXPECT_DOUBLE_EQ(view->labels()[0]->alpha(), 0);
    EXPECT_FALSE(view->tap()->isEnabled());
    advance(0.3);
    EXPECT_DOUBLE_EQ(view->labels()[0]->alpha(), 1);
    EXPECT_TRUE(view->tap()->isEnabled());
    driver_->tapPoint({10, 100});
    EXPECT_EQ(recorder->blanks, 1);
    driver_->tap(view->buttons()[2]);
    EXPECT_EQ(recorder->items, (std::vector<int>{2}));
    EXPECT_FALSE(view->isHidden());

    view->showAlphAndMenu(false);
    EXPECT_DOUBLE_EQ(view->labels()[0]->alpha(), 0);
    driver_->settle();
    EXPECT_TRUE(view->isHidden());
    const auto rest = view->buttons()[0]->frame();
    EXPECT_DOUBLE_EQ(rest.minX(), 130);
    EXPECT_DOUBLE_EQ(rest.minY(), 519 - 60);
}

TEST_F(PublishMenuTest, ThePlusFloatsOverTheBarWhileTheHomeFeedIsInFront) {
    auto box = tabs_->addMenuBgView();
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->isHidden());
    EXPECT_DOUBLE_EQ(box->frame().maxY(), tabs_->view()->bounds().height() - 49 - 4);
    EXPECT_DOUBLE_EQ(box->frame().midX(), 160);
    driver_->tap(tabs_->middleAddBtn());
    driver_->settle();
    EXPECT_FALSE(tabs_->otherMenuView()->isHidden());
    driver_->tap(tabs_->otherMenuView()->buttons()[0]);
    advance(0.5);
    driver_->settle();
    EXPECT_TRUE(tabs_->otherMenuView()->isHidden());
    auto composer = presentedRoot<AddPicViewController>();
    ASSERT_TRUE(composer);
    EXPECT_FALSE(composer->isImage);
    closePresented();

    tabs_->itemCliced(*tabs_->buttonForTab(1));
    EXPECT_TRUE(box->isHidden());
    tabs_->itemCliced(*tabs_->buttonForTab(0));
    EXPECT_FALSE(box->isHidden());
}

TEST_F(PublishMenuTest, EveryItemAsksAUserWithoutAClassToJoinFirst) {
    MVTAccount::sharedInstance().setClassId(std::nullopt);
    for (const char* item : {"0", "1", "2", "3", "4"}) {
        SCOPED_TRACE(item);
        tabs_->whichMenuClickedWith(item);
        auto alert = driver_->alert();
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->tag(), MyTabBarController::kJoinClassAlertTag);
        driver_->pressAlertButton(1);
        driver_->settle();
        EXPECT_FALSE(tabs_->presentedViewController());
    }
}

TEST_F(PublishMenuTest, WithoutACameraTheUserIsToldSo) {
    tabs_->whichMenuClickedWith("1");
    auto alert = driver_->alert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "提示");
    EXPECT_EQ(alert->message(), "设备没有照相功能");
    EXPECT_FALSE(tabs_->presentedViewController());
}

TEST_F(PublishMenuTest, ACameraPictureOpensThePictureComposerWithIt) {
    platform::ImagePickerController::setSourceFiles(platform::ImagePickerSourceType::Camera, {picture("shot.png", 40, 30)});
    tabs_->whichMenuClickedWith("1");
    auto picker = std::dynamic_pointer_cast<myimagePickerViewController>(tabs_->presentedViewController());
    ASSERT_TRUE(picker);
    EXPECT_TRUE(picker->allowsEditing());
    ASSERT_TRUE(picker->pickFileAtIndex(0));
    driver_->settle();
    auto composer = presentedRoot<AddPicViewController>();
    ASSERT_TRUE(composer);
    EXPECT_TRUE(composer->isImage);
    waitForPictures(*composer);
    ASSERT_EQ(composer->picNum, 1);
    EXPECT_EQ(composer->imageArray[0]->size().width, 40);
}

TEST_F(PublishMenuTest, AlbumOffersPhotosOnlyAtMostNineAndOpensTheComposerWithTheChoice) {
    std::vector<std::filesystem::path> library;
    for (int i = 0; i < 11; ++i) library.push_back(picture(std::to_string(i) + ".png", 10 + i, 10));
    auto movie = AppTest::home_ / "clip.mov";
    std::ofstream(movie) << "not a picture";
    library.insert(library.begin() + 3, movie);
    platform::ImagePickerController::setSourceFiles(platform::ImagePickerSourceType::PhotoLibrary, library);
    tabs_->whichMenuClickedWith("2");
    auto picker = std::dynamic_pointer_cast<platform::AssetsPickerController>(tabs_->presentedViewController());
    ASSERT_TRUE(picker);
    ASSERT_EQ(picker->offered().size(), 11u);
    for (size_t i = 0; i < 9; ++i) EXPECT_TRUE(picker->toggleAssetAtIndex(10 - i));
    EXPECT_FALSE(picker->toggleAssetAtIndex(0));  // the tenth is refused
    EXPECT_TRUE(picker->toggleAssetAtIndex(10));  // un-choosing frees a place
    EXPECT_TRUE(picker->toggleAssetAtIndex(0));
    picker->finish();
    driver_->settle();
    auto composer = presentedRoot<AddPicViewController>();
    ASSERT_TRUE(composer);
    EXPECT_TRUE(composer->isImage);
    waitForPictures(*composer);
    ASSERT_EQ(composer->picNum, 9);
    // In the order chosen: the first file holds the picture 19 points wide.
    EXPECT_EQ(platform::Image::imageWithContentsOfFile(composer->picPathArr->at(0))->size().width, 19);
    EXPECT_EQ(platform::Image::imageWithContentsOfFile(composer->picPathArr->at(8))->size().width, 10);
}

TEST_F(PublishMenuTest, OneMoodADay) {
    tabs_->whichMenuClickedWith("3");
    driver_->settle();
    EXPECT_TRUE(presentedRoot<MVTAddFeelingController>());
    closePresented();

    MVTAddFeelingController::recordToday("12");
    tabs_->whichMenuClickedWith("3");
    auto alert = driver_->alert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "一天之内只可以发送一次心情哦");
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "好的");
    EXPECT_FALSE(tabs_->presentedViewController());
}

}  // namespace
