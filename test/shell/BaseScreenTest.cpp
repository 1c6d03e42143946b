#include "support/AppTest.h"

#include "shell/InternationalControl.h"
#include "shell/ViewViewController.h"
#include "shell/myNavigationController.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/UiDriver.h"

using namespace platform;

namespace {

class BaseScreenTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Screen::mainScreen().reset();
        StatusBar::shared().setHidden(false);
        InternationalControl::setUserlanguage("zh-Hans", false);
        driver_ = std::make_unique<UiDriver>();
        token_ = NotificationCenter::defaultCenter().addObserver(
            kShowDidSelectItemNotification, [this](const Notification& n) { selected_.push_back(n.object); });
    }
    void TearDown() override {
        token_.reset();
        driver_.reset();
        AppTest::TearDown();
    }
    std::unique_ptr<UiDriver> driver_;
    ObserverToken token_;
    std::vector<Json> selected_;
};

TEST_F(BaseScreenTest, LoadingSetsTheVersionOffsetAndTheGreyBackground) {
    struct Case {
        double version;
        float sdh;
        unsigned edges;
    };
    for (Case c : {Case{7.0, 20, RectEdgeNone}, Case{8.1, 20, RectEdgeNone}, Case{6.1, 0, RectEdgeAll}}) {
        Screen::setSystemVersion(c.version);
        auto screen = std::make_shared<ViewViewController>();
        screen->view();
        EXPECT_EQ(screen->SDH, c.sdh) << c.version;
        EXPECT_EQ(screen->edgesForExtendedLayout(), c.edges) << c.version;
        EXPECT_EQ(screen->view()->backgroundColor(), Color::rgba(0.961, 0.961, 0.961, 1));
    }
}

TEST_F(BaseScreenTest, OnVersion7ItsViewStartsBelowTheBar) {
    auto screen = std::make_shared<ViewViewController>();
    driver_->show(myNavigationController::withRoot(screen));
    EXPECT_EQ(screen->view()->frame(), Rect(0, 64, 320, 568 - 64));
}

TEST_F(BaseScreenTest, EmptyStateShowsOnceInTheLastHostCentredOnTheScreenWidth) {
    auto screen = std::make_shared<ViewViewController>();
    driver_->show(screen);
    // Hiding before any show does nothing.
    screen->isNoDataNowWith(false, screen->view());
    EXPECT_FALSE(screen->noDataView);

    auto first = std::make_shared<View>(Rect(0, 0, 320, 400));
    auto second = std::make_shared<View>(Rect(10, 64, 100, 300));
    screen->view()->addSubview(first);
    screen->view()->addSubview(second);
    screen->isNoDataNowWith(true, first);
    auto shown = screen->noDataView;
    screen->isNoDataNowWith(true, second);
    EXPECT_EQ(screen->noDataView, shown);
    EXPECT_TRUE(first->subviews().empty());
    ASSERT_EQ(second->subviews().size(), 1u);
    EXPECT_EQ(shown->center(), (Point{160, 150}));
    EXPECT_EQ(shown->bounds().size, (Size{120, 150}));
    EXPECT_TRUE(driver_->byText("暂无数据"));
    auto picture = std::dynamic_pointer_cast<ImageView>(shown->subviews().front());
    ASSERT_TRUE(picture);
    EXPECT_TRUE(picture->image());
    EXPECT_EQ(picture->frame(), Rect(0, 0, 120, 120));

    screen->isNoDataNowWith(false, second);
    EXPECT_TRUE(second->subviews().empty());
    EXPECT_FALSE(driver_->byText("暂无数据"));
}

TEST_F(BaseScreenTest, FilterChoiceIsAnnouncedATenthOfASecondLaterInOrder) {
    auto screen = std::make_shared<ViewViewController>();
    auto mine = Button::buttonWithType(ButtonType::Custom);
    mine->setTitle("由我产生");
    auto all = Button::buttonWithType(ButtonType::Custom);
    all->setTitle("全部");
    screen->didSelectWhich(*mine);
    driver_->advance(0.05);
    screen->didSelectWhich(*all);
    EXPECT_TRUE(selected_.empty());
    driver_->advance(0.05);
    ASSERT_EQ(selected_.size(), 1u);
    EXPECT_EQ(selected_[0], "由我产生");
    driver_->advance(0.05);
    EXPECT_EQ(selected_, (std::vector<Json>{"由我产生", "全部"}));

    // A button without a title announces an empty text; the screen may be gone by then.
    auto untitled = Button::buttonWithType(ButtonType::Custom);
    screen->didSelectWhich(*untitled);
    screen.reset();
    driver_->advance(0.1);
    EXPECT_EQ(selected_.back(), "");
}

TEST_F(BaseScreenTest, RightButtonIsReplacedByASecondCallAndATapRunsIt) {
    auto screen = std::make_shared<ViewViewController>();
    auto nav = myNavigationController::withRoot(screen);
    driver_->show(nav);
    int first = 0, second = 0;
    screen->addButtonWithTitle("编辑", [&](Control&) { ++first; });
    auto button = screen->addButtonWithTitle("完成", [&](Control&) { ++second; });
    EXPECT_FALSE(driver_->byText("编辑"));
    EXPECT_EQ(button->frame().size, (Size{44, 40}));
    EXPECT_EQ(button->currentTitleColor(), Color::rgba(0.38, 0.78, 0.976, 1));
    EXPECT_EQ(button->titleLabel()->font().pointSize(), 18);
    EXPECT_EQ(nav->navigationBar().rightViewShown(), button);
    EXPECT_TRUE(driver_->tapText("完成"));
    EXPECT_EQ(second, 1);
    EXPECT_EQ(first, 0);
}

TEST_F(BaseScreenTest, StatusBarFollowsTheScreensState) {
    auto screen = std::make_shared<ViewViewController>();
    driver_->show(myNavigationController::withRoot(screen));
    EXPECT_FALSE(screen->prefersStatusBarHidden());
    screen->setStatusBarState(true);
    screen->setNeedsStatusBarAppearanceUpdate();
    EXPECT_TRUE(StatusBar::shared().isHidden());
    screen->setStatusBarState(false);
    screen->setNeedsStatusBarAppearanceUpdate();
    EXPECT_FALSE(StatusBar::shared().isHidden());
    EXPECT_EQ(screen->preferredStatusBarStyle(), StatusBarStyle::Default);
    screen->setStatusBarLightContent(true);
    EXPECT_EQ(screen->preferredStatusBarStyle(), StatusBarStyle::LightContent);
}

// A screen that answers one post cell question only.
class PraiseScreen : public ViewViewController {
public:
    void sendPraiseWith(platform::Button& button) override { praised.push_back(button.accessibilityHint()); }
    std::vector<std::string> praised;
};

TEST_F(BaseScreenTest, CellQuestionsNotAnsweredChangeNothing) {
    auto screen = std::make_shared<PraiseScreen>();
    driver_->show(screen);
    size_t views = screen->view()->subviews().size();
    CellDelegate& cell = *screen;
    Json post = {{"id", 7}};
    cell.chooseNamed(post);
    cell.deleteState("7");
    cell.playRecord(std::string("7"), 2);
    cell.toDownLoadAttachWith("7", "a.doc", "doc");
    cell.deleteDynamicWith("7", 1, 0);
    cell.readyToCopyContentWith({0, 0, 10, 10}, 1, "text");
    cell.againGetListData();
    screen->deleteDynamicWith(post, 1);
    auto praise = std::make_shared<platform::Button>();
    praise->setAccessibilityHint("7");
    cell.sendPraiseWith(*praise);
    EXPECT_EQ(screen->praised, std::vector<std::string>{"7"});
    EXPECT_EQ(screen->view()->subviews().size(), views);
    EXPECT_TRUE(selected_.empty());
    EXPECT_FALSE(driver_->alert());
}

}  // namespace
