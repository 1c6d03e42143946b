#include "support/AppTest.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/TextField.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/ViewController.h"

#include <string>
#include <vector>

using namespace platform;

namespace {

// A screen that writes down its appearance callbacks.
class LoggingScreen : public ViewController {
public:
    LoggingScreen(std::string name, std::vector<std::string>* log) : name_(std::move(name)), log_(log) {}
    void viewDidLoad() override { log_->push_back(name_ + ".load"); }
    void viewWillAppear(bool) override { log_->push_back(name_ + ".willAppear"); }
    void viewDidAppear(bool) override { log_->push_back(name_ + ".didAppear"); }
    void viewWillDisappear(bool) override { log_->push_back(name_ + ".willDisappear"); }
    void viewDidDisappear(bool) override { log_->push_back(name_ + ".didDisappear"); }

private:
    std::string name_;
    std::vector<std::string>* log_;
};

class ControllersTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Screen::mainScreen().reset();
        driver_ = std::make_unique<UiDriver>();
    }
    void TearDown() override {
        driver_.reset();
        AppTest::TearDown();
    }
    std::shared_ptr<LoggingScreen> screen(const std::string& name) { return std::make_shared<LoggingScreen>(name, &log_); }
    std::shared_ptr<Button> addButton(ViewController& c, const std::string& title, Rect frame, int* taps) {
        auto b = Button::buttonWithType(ButtonType::System);
        b->setTitle(title);
        b->setFrame(frame);
        b->addTarget(ControlEventTouchUpInside, [taps](Control&) { ++*taps; });
        c.view()->addSubview(b);
        return b;
    }
    std::vector<std::string> log_;
    std::unique_ptr<UiDriver> driver_;
};

TEST_F(ControllersTest, ViewLoadsOnceOnFirstAccessAndRootAppearsWhenWindowShows) {
    auto a = screen("a");
    EXPECT_FALSE(a->isViewLoaded());
    driver_->show(a);
    a->view();
    EXPECT_EQ(log_, (std::vector<std::string>{"a.load", "a.willAppear", "a.didAppear"}));
    EXPECT_EQ(a->view()->frame(), Screen::mainScreen().bounds());
}

TEST_F(ControllersTest, TappingAButtonByTitleRunsItsActionButNotWhenAnAlertCoversIt) {
    auto a = screen("a");
    driver_->show(a);
    int taps = 0;
    addButton(*a, "Send", {20, 200, 100, 44}, &taps);
    EXPECT_TRUE(driver_->tapText("Send"));
    EXPECT_EQ(taps, 1);

    auto alert = AlertView::make("Title", "Message", {}, "OK");
    alert->show();
    auto button = a->view()->subviews().back();
    EXPECT_FALSE(driver_->tap(button));
    EXPECT_EQ(taps, 1);
    EXPECT_TRUE(driver_->pressAlertButton(0));
    EXPECT_TRUE(driver_->tap(button));
    EXPECT_EQ(taps, 2);
}

TEST_F(ControllersTest, PushAndPopCallAppearanceInOrderAndMoveTheBar) {
    auto root = screen("root");
    root->setTitle("Home");
    auto nav = std::make_shared<NavigationController>();
    nav->initWithRootViewController(root);
    driver_->show(nav);
    log_.clear();

    auto next = screen("next");
    next->setTitle("Detail");
    nav->pushViewController(next, true);
    EXPECT_EQ(nav->topViewController(), next);
    EXPECT_EQ(next->navigationController(), nav.get());
    EXPECT_EQ(log_, (std::vector<std::string>{"next.load", "root.willDisappear", "next.willAppear"}));
    driver_->advance(ViewController::transitionDuration);
    EXPECT_EQ(log_, (std::vector<std::string>{"next.load", "root.willDisappear", "next.willAppear",
                                              "root.didDisappear", "next.didAppear"}));
    EXPECT_FALSE(root->view()->window());
    EXPECT_EQ(nav->navigationBar().backButtonTitle(), "Home");
    EXPECT_TRUE(driver_->byText("Detail"));

    // The back button pops, through a real tap.
    log_.clear();
    ASSERT_TRUE(driver_->tap(nav->navigationBar().backButtonShown()));
    driver_->settle();
    EXPECT_EQ(nav->viewControllers().size(), 1u);
    EXPECT_EQ(log_, (std::vector<std::string>{"next.willDisappear", "root.willAppear", "next.didDisappear",
                                              "root.didAppear"}));
    EXPECT_EQ(next->navigationController(), nullptr);
    EXPECT_EQ(nav->popViewController(false), nullptr);
}

TEST_F(ControllersTest, ContentStartsBelowTheBarOnlyWhenTheScreenAsksOnVersion7) {
    auto root = screen("root");
    auto nav = std::make_shared<NavigationController>();
    nav->initWithRootViewController(root);
    driver_->show(nav);
    EXPECT_EQ(nav->navigationBar().frame(), Rect(0, 20, 320, 44));
    EXPECT_EQ(root->view()->frame().y(), 0);  // under the translucent bar

    auto below = screen("below");
    below->setEdgesForExtendedLayout(RectEdgeNone);
    nav->pushViewController(below, false);
    EXPECT_EQ(below->view()->frame(), Rect(0, 64, 320, 568 - 64));

    nav->setNavigationBarHidden(true);
    driver_->pump();
    EXPECT_EQ(below->view()->frame(), Rect(0, 0, 320, 568));
}

TEST_F(ControllersTest, PopToRootAndPopToViewControllerAnswerThePoppedScreens) {
    auto nav = std::make_shared<NavigationController>();
    auto a = screen("a"), b = screen("b"), c = screen("c"), d = screen("d");
    nav->initWithRootViewController(a);
    driver_->show(nav);
    nav->pushViewController(b, false);
    nav->pushViewController(c, false);
    nav->pushViewController(d, false);
    auto popped = nav->popToViewController(b.get(), false);
    ASSERT_EQ(popped.size(), 2u);
    EXPECT_EQ(popped[0], c);
    EXPECT_EQ(popped[1], d);
    EXPECT_EQ(nav->topViewController(), b);
    EXPECT_EQ(c->parentViewController(), nullptr);
    nav->pushViewController(c, false);
    EXPECT_EQ(nav->popToRootViewController(false).size(), 2u);
    EXPECT_EQ(nav->topViewController(), a);
    EXPECT_TRUE(a->isVisible());
}

TEST_F(ControllersTest, RightBarItemWithCustomViewIsTappable) {
    auto root = screen("root");
    auto nav = std::make_shared<NavigationController>();
    nav->initWithRootViewController(root);
    driver_->show(nav);
    int taps = 0;
    auto b = Button::buttonWithType(ButtonType::Custom);
    b->setFrame({0, 0, 44, 40});
    b->setTitle("Edit");
    b->addTarget(ControlEventTouchUpInside, [&](Control&) { ++taps; });
    root->navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(b));
    EXPECT_TRUE(driver_->tapText("Edit"));
    EXPECT_EQ(taps, 1);
    EXPECT_GT(b->convertPointTo({0, 0}, nullptr).x, 200);
}

TEST_F(ControllersTest, PresentAndDismissModallyWithCompletionAfterTheTransition) {
    auto root = screen("root");
    driver_->show(root);
    log_.clear();
    auto modal = screen("modal");
    modal->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
    bool presented = false;
    root->presentViewController(modal, true, [&] { presented = true; });
    EXPECT_FALSE(presented);
    EXPECT_EQ(root->presentedViewController(), modal);
    EXPECT_EQ(modal->presentingViewController(), root.get());
    driver_->advance(ViewController::transitionDuration);
    EXPECT_TRUE(presented);
    EXPECT_EQ(log_, (std::vector<std::string>{"modal.load", "modal.willAppear", "root.willDisappear",
                                              "modal.didAppear", "root.didDisappear"}));
    EXPECT_EQ(modal->modalTransitionStyle(), ModalTransitionStyle::CrossDissolve);

    // A second presentation while one is shown is refused.
    auto other = screen("other");
    root->presentViewController(other, false);
    EXPECT_EQ(root->presentedViewController(), modal);

    // The presented screen dismisses itself; the link goes when the transition ends.
    log_.clear();
    bool dismissed = false;
    modal->dismissViewController(false, [&] { dismissed = true; });
    EXPECT_TRUE(dismissed);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(modal->presentingViewController(), nullptr);
    EXPECT_FALSE(modal->view()->window());
    EXPECT_EQ(log_, (std::vector<std::string>{"modal.willDisappear", "root.willAppear", "modal.didDisappear",
                                              "root.didAppear"}));
}

TEST_F(ControllersTest, DismissingAChainTakesTheScreensAboveAlong) {
    auto root = screen("root");
    driver_->show(root);
    auto nav = std::make_shared<NavigationController>();
    auto first = screen("first");
    nav->initWithRootViewController(first);
    root->presentViewController(nav, false);
    EXPECT_EQ(first->presentingViewController(), root.get());
    auto second = screen("second");
    first->presentViewController(second, false);
    root->dismissViewController(false);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(first->presentedViewController(), nullptr);
    EXPECT_FALSE(second->view()->window());
    EXPECT_FALSE(nav->view()->window());
    EXPECT_TRUE(root->isVisible());
}

class SelectionDelegate : public TabBarControllerDelegate {
public:
    bool shouldSelectViewController(TabBarController&, ViewController& c) override { return c.title() != "Locked"; }
    void didSelectViewController(TabBarController& t, ViewController&) override { selections.push_back(t.selectedIndex()); }
    std::vector<long> selections;
};

TEST_F(ControllersTest, TabBarSelectsByTapAndAsksItsDelegate) {
    auto tabs = std::make_shared<TabBarController>();
    auto a = screen("a"), b = screen("b"), c = screen("c");
    a->setTitle("One");
    b->setTitle("Two");
    c->setTitle("Locked");
    tabs->setViewControllers({a, b, c});
    auto delegate = std::make_shared<SelectionDelegate>();
    tabs->setDelegate(delegate);
    driver_->show(tabs);
    EXPECT_EQ(tabs->selectedIndex(), 0);
    EXPECT_EQ(a->tabBarController(), tabs.get());
    EXPECT_EQ(a->view()->frame().height(), 568 - 49);

    log_.clear();
    EXPECT_TRUE(driver_->tap(tabs->tabBar().buttons()[1]));
    EXPECT_EQ(tabs->selectedViewController(), b);
    EXPECT_EQ(delegate->selections, std::vector<long>{1});
    EXPECT_EQ(log_, (std::vector<std::string>{"b.load", "a.willDisappear", "b.willAppear", "a.didDisappear",
                                              "b.didAppear"}));
    EXPECT_TRUE(driver_->tap(tabs->tabBar().buttons()[2]));
    EXPECT_EQ(tabs->selectedIndex(), 1);

    // A hidden bar gives the whole height to the screens.
    tabs->tabBar().setHidden(true);
    tabs->setSelectedIndex(0);
    EXPECT_EQ(a->view()->frame().height(), 568);
}

TEST_F(ControllersTest, PreVersion7ScreensStartBelowTheStatusBar) {
    Screen::setSystemVersion(6.1);
    auto root = screen("root");
    auto nav = std::make_shared<NavigationController>();
    nav->initWithRootViewController(root);
    driver_->show(nav);
    EXPECT_EQ(nav->view()->frame(), Rect(0, 20, 320, 548));
    EXPECT_EQ(nav->navigationBar().frame().y(), 0);
    EXPECT_EQ(root->view()->frame(), Rect(0, 44, 320, 504));
}

class HiddenBarScreen : public ViewController {
public:
    bool prefersStatusBarHidden() const override { return hide; }
    bool hide = false;
};

TEST_F(ControllersTest, StatusBarAppearanceUpdateReadsTheFrontScreen) {
    auto nav = std::make_shared<NavigationController>();
    auto top = std::make_shared<HiddenBarScreen>();
    nav->initWithRootViewController(top);
    driver_->show(nav);
    top->hide = true;
    top->setNeedsStatusBarAppearanceUpdate();
    EXPECT_TRUE(StatusBar::shared().isHidden());
    top->hide = false;
    top->setNeedsStatusBarAppearanceUpdate();
    EXPECT_FALSE(StatusBar::shared().isHidden());
}

// A screen that closes the keyboard when a touch ends anywhere outside its fields.
class TouchScreen : public ViewController {
public:
    void touchesEnded(const Touches& touches) override {
        ++ended;
        view()->endEditing(true);
        ViewController::touchesEnded(touches);
    }
    int ended = 0;
};

TEST_F(ControllersTest, UnhandledTouchesReachTheScreenThroughItsView) {
    auto s = std::make_shared<TouchScreen>();
    auto nav = std::make_shared<NavigationController>();
    nav->initWithRootViewController(s);
    driver_->show(nav);
    auto field = std::make_shared<TextField>(Rect(20, 100, 200, 30));
    auto panel = std::make_shared<View>(Rect(0, 200, 320, 100));
    s->view()->addSubview(field);
    s->view()->addSubview(panel);
    driver_->tap(field);
    ASSERT_TRUE(field->isFirstResponder());
    EXPECT_TRUE(driver_->tap(panel));
    EXPECT_EQ(s->ended, 1);
    EXPECT_FALSE(field->isFirstResponder());
}

TEST_F(ControllersTest, LeftItemOrHiddenBackButtonTakesThePlaceOfTheBackButton) {
    auto nav = std::make_shared<NavigationController>();
    auto root = screen("root");
    root->setTitle("Home");
    nav->initWithRootViewController(root);
    driver_->show(nav);
    EXPECT_FALSE(nav->navigationBar().backButtonShown());
    auto next = screen("next");
    nav->pushViewController(next, false);
    EXPECT_TRUE(nav->navigationBar().backButtonShown());
    next->navigationItem().setHidesBackButton(true);
    EXPECT_FALSE(nav->navigationBar().backButtonShown());
    next->navigationItem().setHidesBackButton(false);
    int backs = 0;
    next->navigationItem().setLeftBarButtonItem(BarButtonItem::withTitle("返回", [&](BarButtonItem&) { ++backs; }));
    EXPECT_FALSE(nav->navigationBar().backButtonShown());
    EXPECT_TRUE(driver_->tapText("返回"));
    EXPECT_EQ(backs, 1);
    EXPECT_EQ(nav->topViewController(), next);
    // The item below names the back button: its back item, else its title, else "Back".
    nav->pushViewController(screen("third"), false);
    EXPECT_EQ(nav->navigationBar().backButtonTitle(), "Back");
    nav->popToRootViewController(false);
    root->navigationItem().setBackBarButtonItem(BarButtonItem::withTitle("上一页"));
    nav->pushViewController(screen("again"), false);
    EXPECT_EQ(nav->navigationBar().backButtonTitle(), "上一页");
}

TEST_F(ControllersTest, LongPressHoldsTheFingerForRunLoopTime) {
    auto a = screen("a");
    driver_->show(a);
    auto target = std::make_shared<View>(Rect(50, 200, 200, 100));
    a->view()->addSubview(target);
    int began = 0;
    auto press = std::make_shared<LongPressGestureRecognizer>([&](GestureRecognizer& g) {
        if (g.state() == GestureState::Began) ++began;
    });
    press->setMinimumPressDuration(0.3);
    target->addGestureRecognizer(press);
    EXPECT_TRUE(driver_->longPress(target, 0.2));
    EXPECT_EQ(began, 0);
    EXPECT_TRUE(driver_->longPress(target, 0.5));
    EXPECT_EQ(began, 1);
}

TEST_F(ControllersTest, ACustomBarCanReplaceTheTabBar) {
    auto tabs = std::make_shared<TabBarController>();
    auto a = screen("a"), b = screen("b");
    tabs->setViewControllers({a, b});
    driver_->show(tabs);
    tabs->tabBar().removeFromSuperview();
    auto custom = std::make_shared<View>(Rect(0, 568 - 48, 320, 64));
    tabs->view()->addSubview(custom);
    int taps = 0;
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({100, 0, 50, 49});
    button->setTag(1);
    button->addTarget(ControlEventTouchUpInside, [&](Control& c) {
        ++taps;
        tabs->setSelectedIndex(c.tag());
    });
    custom->addSubview(button);
    EXPECT_TRUE(driver_->tap(button));
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(tabs->selectedViewController(), b);
    EXPECT_EQ(b->view()->frame().height(), 568);
    // The custom bar stays above the selected screen.
    EXPECT_TRUE(driver_->tap(button));
    EXPECT_EQ(taps, 2);
}

TEST_F(ControllersTest, ABarTitleAlertAndFieldDrawIntoTheScreenshot) {
    auto root = screen("root");
    root->setTitle("Home");
    auto nav = std::make_shared<NavigationController>();
    nav->initWithRootViewController(root);
    nav->navigationBar().setBarStyle(BarStyle::Black);
    TitleTextAttributes white;
    white.textColor = Color::whiteColor();
    nav->navigationBar().setTitleTextAttributes(white);
    driver_->show(nav);
    auto field = std::make_shared<TextField>(Rect(20, 100, 280, 30));
    field->setBorderStyle(TextBorderStyle::RoundedRect);
    field->setText("text");
    root->view()->addSubview(field);
    auto plain = Renderer::renderScreen(driver_->window());
    ASSERT_TRUE(plain);
    // White title pixels on the black bar.
    auto title = nav->navigationBar().titleViewShown();
    Rect t = title->convertRectTo(title->bounds(), nullptr);
    bool whitePixel = false;
    double scale = plain->scale();
    for (int x = int(t.minX() * scale); x < int(t.maxX() * scale) && !whitePixel; ++x)
        for (int y = int(t.minY() * scale); y < int(t.maxY() * scale) && !whitePixel; ++y)
            whitePixel = plain->colorAt(x, y).r > 0.9 && plain->colorAt(x, y).b > 0.9;
    EXPECT_TRUE(whitePixel);

    auto alert = AlertView::make("Title", "Message", {}, "OK");
    alert->show();
    auto dimmed = Renderer::renderScreen(driver_->window());
    ASSERT_TRUE(dimmed);
    // The alert dims what lies under it.
    EXPECT_LT(dimmed->colorAt(10, 600).r, plain->colorAt(10, 600).r);
}

}  // namespace
