#include "support/AppTest.h"

#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/ViewController.h"

#include <string>
#include <vector>

using namespace platform;

namespace {

class AlertScreen : public ViewController, public AlertViewDelegate, public ActionSheetDelegate {
public:
    void alertViewClickedButtonAtIndex(AlertView& alert, long index) override {
        events.push_back("clicked " + std::to_string(alert.tag()) + " " + std::to_string(index));
        if (auto f = alert.textFieldAtIndex(0)) typed = f->text();
    }
    void alertViewWillDismiss(AlertView&, long index) override { events.push_back("will " + std::to_string(index)); }
    void alertViewDidDismiss(AlertView&, long index) override { events.push_back("did " + std::to_string(index)); }
    void actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) override {
        events.push_back("sheet " + std::to_string(sheet.tag()) + " " + sheet.buttonTitleAtIndex(index));
    }
    std::vector<std::string> events;
    std::string typed;
};

class AlertTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Screen::mainScreen().reset();
        driver_ = std::make_unique<UiDriver>();
        screen_ = std::make_shared<AlertScreen>();
        driver_->show(screen_);
    }
    void TearDown() override {
        driver_.reset();
        AppTest::TearDown();
    }
    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<AlertScreen> screen_;
};

TEST_F(AlertTest, ButtonIndexesPutCancelFirstAndTheAnswerReachesTheDelegateInOrder) {
    struct Case {
        std::string cancel;
        std::vector<std::string> others;
        long pressed;
        std::string title;
    };
    for (const Case& c : std::vector<Case>{{"取消", {"确定"}, 1, "确定"},
                                           {"取消", {"确定"}, 0, "取消"},
                                           {"", {"取消", "确定"}, 0, "取消"},
                                           {"关闭", {"A", "B"}, 2, "B"}}) {
        screen_->events.clear();
        auto alert = AlertView::make("提示", "放弃此次编辑?", screen_->weakAs<AlertViewDelegate>(), c.cancel, c.others);
        alert->setTag(888);
        alert->show();
        EXPECT_EQ(alert->cancelButtonIndex(), c.cancel.empty() ? -1 : 0);
        EXPECT_EQ(alert->buttonTitleAtIndex(c.pressed), c.title);
        ASSERT_EQ(AlertView::visibleAlerts().size(), 1u);
        EXPECT_TRUE(driver_->byText("放弃此次编辑?"));
        ASSERT_TRUE(driver_->pressAlertButton(c.pressed));
        std::string i = std::to_string(c.pressed);
        EXPECT_EQ(screen_->events, (std::vector<std::string>{"clicked 888 " + i, "will " + i, "did " + i}));
        EXPECT_TRUE(AlertView::visibleAlerts().empty());
        EXPECT_FALSE(alert->window());
    }
}

TEST_F(AlertTest, TextInputAlertTakesTypingAndTheDelegateReadsIt) {
    auto alert = AlertView::make("验证", "", screen_->weakAs<AlertViewDelegate>(), "取消", {"发送"});
    alert->setAlertViewStyle(AlertViewStyle::PlainTextInput);
    alert->show();
    ASSERT_TRUE(alert->textFieldAtIndex(0));
    EXPECT_FALSE(alert->textFieldAtIndex(1));
    EXPECT_TRUE(alert->textFieldAtIndex(0)->isFirstResponder());
    driver_->type("我是老师");
    ASSERT_TRUE(driver_->pressAlertButton(1));
    EXPECT_EQ(screen_->typed, "我是老师");
    EXPECT_FALSE(alert->textFieldAtIndex(0)->isFirstResponder());
}

TEST_F(AlertTest, DismissInCodeSkipsTheClickAndAnAlertWithoutDelegateStillCloses) {
    auto alert = AlertView::make("t", "m", screen_->weakAs<AlertViewDelegate>(), "OK");
    alert->show();
    alert->dismissWithClickedButtonIndex(0, true);
    EXPECT_EQ(screen_->events, (std::vector<std::string>{"will 0", "did 0"}));

    auto lone = AlertView::make("t", "m", {}, "OK");
    lone->show();
    EXPECT_TRUE(driver_->pressAlertButton(0));
    EXPECT_FALSE(driver_->alert());
    EXPECT_FALSE(driver_->pressAlertButton(0));
}

TEST_F(AlertTest, ActionSheetPutsDestructiveFirstAndCancelLast) {
    auto sheet = ActionSheet::make("", screen_->weakAs<ActionSheetDelegate>(), "取消", "删除", {"拍照", "从相册选择"});
    sheet->setTag(100);
    EXPECT_EQ(sheet->destructiveButtonIndex(), 0);
    EXPECT_EQ(sheet->cancelButtonIndex(), 3);
    EXPECT_EQ(sheet->firstOtherButtonIndex(), 1);
    sheet->showInView(screen_->view().get());
    ASSERT_TRUE(driver_->pressSheetButton(2));
    EXPECT_EQ(screen_->events, std::vector<std::string>{"sheet 100 从相册选择"});
    EXPECT_TRUE(ActionSheet::visibleSheets().empty());

    // A tap outside the choices is the cancel button.
    auto plain = ActionSheet::make("", screen_->weakAs<ActionSheetDelegate>(), "取消", "", {"存入相册"});
    plain->setTag(1000);
    plain->showInView(screen_->view().get());
    EXPECT_EQ(plain->cancelButtonIndex(), 1);
    driver_->tapPoint({160, 50});
    EXPECT_EQ(screen_->events.back(), "sheet 1000 取消");
    EXPECT_FALSE(driver_->sheet());
}

}  // namespace
