#include "support/AppTest.h"

#include "platform/ui/Button.h"
#include "platform/ui/MenuController.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/ViewController.h"

using namespace platform;

namespace {

class OverlaysTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Screen::mainScreen().reset();
        MenuController::shared().reset();
        Pasteboard::generalPasteboard().clear();
        driver_ = std::make_unique<UiDriver>();
        screen_ = std::make_shared<ViewController>();
        driver_->show(screen_);
        button_ = Button::buttonWithType(ButtonType::System);
        button_->setTitle("Send");
        button_->setFrame({100, 300, 120, 44});
        button_->addTarget(ControlEventTouchUpInside, [this](Control&) { ++taps_; });
        screen_->view()->addSubview(button_);
    }
    void TearDown() override {
        MenuController::shared().reset();
        driver_.reset();
        AppTest::TearDown();
    }
    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<ViewController> screen_;
    std::shared_ptr<Button> button_;
    int taps_ = 0;
};

TEST_F(OverlaysTest, CopyMenuPutsTheTextOnThePasteboardAndATapElsewhereHidesIt) {
    auto& menu = MenuController::shared();
    menu.setMenuItems({{"复制", [] { Pasteboard::generalPasteboard().setString("第一条动态"); }}});
    menu.setTargetRect({10, 10, 100, 40}, button_);
    menu.setMenuVisible(true, true);
    EXPECT_TRUE(menu.isMenuVisible());
    // The menu sits above the target.
    auto item = driver_->byText("复制");
    ASSERT_TRUE(item);
    EXPECT_LT(driver_->centerOf(*item).y, 310);
    ASSERT_TRUE(driver_->tap(item));
    EXPECT_FALSE(menu.isMenuVisible());
    EXPECT_EQ(Pasteboard::generalPasteboard().string(), "第一条动态");

    menu.setMenuVisible(true);
    EXPECT_FALSE(driver_->tap(button_));  // the tap only closes the menu
    EXPECT_FALSE(menu.isMenuVisible());
    EXPECT_EQ(taps_, 0);
}

TEST_F(OverlaysTest, ProgressOverlayBlocksTouchesUntilItFadesOut) {
    auto hud = ProgressHUD::showHUDAddedTo(screen_->view(), true);
    hud->setLabelText("正在加载");
    EXPECT_TRUE(driver_->byText("正在加载"));
    EXPECT_EQ(ProgressHUD::HUDForView(screen_->view()), hud);
    EXPECT_FALSE(driver_->tap(button_));
    EXPECT_EQ(taps_, 0);

    EXPECT_TRUE(ProgressHUD::hideHUDForView(screen_->view(), true));
    EXPECT_FALSE(driver_->byText("正在加载"));
    EXPECT_TRUE(hud->superview());
    driver_->advance(0.3);
    EXPECT_FALSE(hud->superview());
    EXPECT_TRUE(driver_->tap(button_));
    EXPECT_EQ(taps_, 1);
    EXPECT_FALSE(ProgressHUD::hideHUDForView(screen_->view(), true));
}

TEST_F(OverlaysTest, DelayedHideIsCancelledByAShowInBetween) {
    auto hud = ProgressHUD::showHUDAddedTo(screen_->view(), false);
    hud->setRemoveFromSuperViewOnHide(true);
    hud->hide(true, 1.0);
    driver_->advance(0.5);
    hud->show(false);
    driver_->advance(2.0);
    EXPECT_TRUE(hud->isShowing());
    EXPECT_TRUE(hud->superview());
    bool finished = false;
    hud->setCompletion([&] { finished = true; });
    hud->hide(false, 1.0);
    driver_->advance(1.0);
    EXPECT_TRUE(finished);
    EXPECT_FALSE(hud->superview());
}

class Grades : public PickerViewDelegate {
public:
    int numberOfRowsInComponent(PickerView&, int) override { return static_cast<int>(names.size()); }
    std::string titleForRow(PickerView&, int row, int) override { return names[static_cast<size_t>(row)]; }
    void didSelectRow(PickerView&, int row, int) override { picked.push_back(row); }
    std::vector<std::string> names{"一年级", "二年级", "三年级", "四年级", "五年级", "六年级", "初一", "初二",
                                   "初三", "高一", "高二", "高三"};
    std::vector<int> picked;
};

TEST_F(OverlaysTest, PickerSelectsTheTappedRowAndShowsOnlyRowsOnItsWheel) {
    auto picker = std::make_shared<PickerView>(Rect(0, 352, 320, 216));
    screen_->view()->addSubview(picker);
    auto grades = std::make_shared<Grades>();
    picker->setDelegate(grades);
    EXPECT_EQ(picker->selectedRowInComponent(0), 0);
    EXPECT_TRUE(driver_->byText("三年级"));
    EXPECT_FALSE(driver_->byText("高三"));
    ASSERT_TRUE(driver_->tapText("二年级"));
    EXPECT_EQ(grades->picked, std::vector<int>{1});
    EXPECT_EQ(picker->selectedRowInComponent(0), 1);

    picker->selectRow(40, 0);
    EXPECT_EQ(picker->selectedRowInComponent(0), 11);
    EXPECT_TRUE(driver_->byText("高三"));
    EXPECT_FALSE(driver_->byText("一年级"));
    EXPECT_EQ(grades->picked.size(), 1u);  // selecting in code tells nobody

    grades->names.resize(3);
    picker->reloadAllComponents();
    EXPECT_EQ(picker->selectedRowInComponent(0), 2);
}

}  // namespace
