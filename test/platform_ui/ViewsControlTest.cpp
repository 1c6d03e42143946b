#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TouchDispatcher.h"
#include "support/AppTest.h"

using namespace platform;

namespace {

class ViewsControlTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        setAnimationsEnabled(true);
        TouchDispatcher::shared().reset();
        root = std::make_shared<View>(Rect(0, 0, 320, 480));
    }
    void tap(Point p) {
        TouchDispatcher::shared().touchBegan(*root, p);
        TouchDispatcher::shared().touchEnded(*root, p);
        advance(0.5);
    }
    std::shared_ptr<View> root;
};

TEST_F(ViewsControlTest, ButtonValuesFollowTheStateWithFallbacks) {
    auto b = Button::buttonWithType(ButtonType::Custom);
    b->setFrame({0, 0, 100, 40});
    b->setTitle("原图");
    b->setTitle("Pressed", ControlStateHighlighted);
    b->setTitleColor(Color::whiteColor());
    b->setTitleColor(Color::red(), ControlStateSelected);
    auto normalBg = Image::imageWithColor(Color::black());
    b->setBackgroundImage(normalBg);
    EXPECT_EQ(b->displayedText(), "原图");
    EXPECT_EQ(b->titleLabel()->text(), "原图");
    b->setHighlighted(true);
    EXPECT_EQ(b->titleLabel()->text(), "Pressed");
    EXPECT_EQ(b->currentBackgroundImage(), normalBg);  // nothing set for highlighted: normal's
    b->setHighlighted(false);
    b->setSelected(true);
    EXPECT_EQ(b->currentTitle(), "原图");
    EXPECT_EQ(b->titleLabel()->textColor(), Color::red());
    b->setHighlighted(true);  // selected + highlighted falls back to selected's colour
    EXPECT_EQ(b->currentTitleColor(), Color::red());
}

TEST_F(ViewsControlTest, ButtonLaysOutImageAndTitleWithInsets) {
    auto b = std::make_shared<Button>(Rect(0, 0, 200, 44));
    b->setImage(Image::imageWithColor(Color::red(), {20, 20}));
    b->setTitle("Title");
    Rect image = b->imageView()->frame(), title = b->titleLabel()->frame();
    EXPECT_DOUBLE_EQ(image.maxX(), title.x());
    EXPECT_NEAR(image.x() - 0, 200 - title.maxX(), 1);  // the pair is centred
    EXPECT_DOUBLE_EQ(image.midY(), 22);
    // Insets shrink a part's own box: centred, it moves by half their difference; set
    // against an edge, by the inset on that edge.
    b->setTitleEdgeInsets({0, 10, 0, 0});
    EXPECT_DOUBLE_EQ(b->titleLabel()->frame().x(), title.x() + 5);
    b->setImageEdgeInsets({0, -10, 0, 20});
    EXPECT_DOUBLE_EQ(b->imageView()->frame().x(), image.x() - 15);
    b->setContentHorizontalAlignment(ControlContentHorizontalAlignment::Left);
    b->layoutSubviews();
    EXPECT_DOUBLE_EQ(b->imageView()->frame().x(), -10);
    EXPECT_DOUBLE_EQ(b->titleLabel()->frame().x(), 20 + 10);
    b->setImageEdgeInsets({});
    b->layoutSubviews();
    EXPECT_DOUBLE_EQ(b->imageView()->frame().x(), 0);
    Size fit = b->sizeThatFits({});
    EXPECT_GE(fit.width, 20 + b->titleLabel()->frame().width());
}

TEST_F(ViewsControlTest, TargetsRunInOrderAndCanBeRemoved) {
    auto b = std::make_shared<Button>(Rect(0, 0, 100, 40));
    std::vector<int> calls;
    int first = b->addTarget(ControlEventTouchUpInside, [&](Control&) { calls.push_back(1); });
    b->addTarget(ControlEventTouchUpInside | ControlEventValueChanged, [&](Control&) { calls.push_back(2); });
    b->sendActionsForControlEvents(ControlEventTouchUpInside);
    b->removeTarget(first);
    b->sendActionsForControlEvents(ControlEventValueChanged);
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 2}));
    EXPECT_TRUE(b->hasTargetsForEvents(ControlEventValueChanged));
    EXPECT_FALSE(b->hasTargetsForEvents(ControlEventTouchDown));
}

TEST_F(ViewsControlTest, SwitchFlipsOnTap) {
    auto s = std::make_shared<Switch>(Rect(10, 10, 100, 100));
    root->addSubview(s);
    EXPECT_EQ(s->frame().size, (Size{51, 31}));
    int changes = 0;
    s->addTarget(ControlEventValueChanged, [&](Control&) { ++changes; });
    tap({20, 20});
    EXPECT_TRUE(s->isOn());
    tap({20, 20});
    EXPECT_FALSE(s->isOn());
    EXPECT_EQ(changes, 2);
}

TEST_F(ViewsControlTest, SliderDragsItsThumbInsideAScrollView) {
    auto scroll = std::make_shared<ScrollView>(Rect(0, 0, 320, 480));
    scroll->setContentSize({640, 480});
    root->addSubview(scroll);
    auto slider = std::make_shared<Slider>(Rect(10, 100, 228, 30));  // 200 points of travel
    scroll->addSubview(slider);
    std::vector<double> values;
    slider->addTarget(ControlEventValueChanged, [&](Control& c) { values.push_back(static_cast<Slider&>(c).value()); });
    int released = 0;
    slider->addTarget(ControlEventTouchUpInside, [&](Control&) { ++released; });
    auto& d = TouchDispatcher::shared();
    d.touchBegan(*root, {24, 115});  // on the thumb at value 0
    d.touchMoved(*root, {74, 115});
    d.touchMoved(*root, {124, 115});
    d.touchEnded(*root, {124, 115});
    EXPECT_EQ(values, (std::vector<double>{0.25, 0.5}));
    EXPECT_EQ(released, 1);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().x, 0);  // the drag was the slider's

    slider->setContinuous(false);
    values.clear();
    Point thumb = slider->convertPointTo({slider->thumbRect().midX(), 15}, nullptr);
    d.touchBegan(*root, thumb);
    d.touchMoved(*root, {thumb.x + 50, thumb.y});
    d.touchEnded(*root, {thumb.x + 50, thumb.y});
    EXPECT_EQ(values, (std::vector<double>{0.75}));
    slider->setValue(7);
    EXPECT_DOUBLE_EQ(slider->value(), 1);
}

TEST_F(ViewsControlTest, PageControlStepsTowardsTheTap) {
    auto pc = std::make_shared<PageControl>(Rect(0, 0, 320, 37));
    root->addSubview(pc);
    pc->setNumberOfPages(5);
    pc->setCurrentPage(2);
    int changes = 0;
    pc->addTarget(ControlEventValueChanged, [&](Control&) { ++changes; });
    tap({300, 18});
    EXPECT_EQ(pc->currentPage(), 3);
    tap({10, 18});
    EXPECT_EQ(pc->currentPage(), 2);
    EXPECT_EQ(changes, 2);
    pc->setCurrentPage(9);
    EXPECT_EQ(pc->currentPage(), 4);
}

TEST_F(ViewsControlTest, SmallViewsKeepTheirValues) {
    ProgressView progress;
    progress.setProgress(1.5);
    EXPECT_DOUBLE_EQ(progress.progress(), 1);
    ActivityIndicatorView spinner(ActivityIndicatorViewStyle::White);
    EXPECT_EQ(spinner.frame().size, (Size{20, 20}));
    EXPECT_TRUE(spinner.isHidden());
    spinner.startAnimating();
    EXPECT_TRUE(spinner.isAnimating());
    EXPECT_FALSE(spinner.isHidden());
    spinner.stopAnimating();
    EXPECT_TRUE(spinner.isHidden());
    EXPECT_EQ(ActivityIndicatorView(ActivityIndicatorViewStyle::WhiteLarge).frame().size, (Size{37, 37}));
}

TEST_F(ViewsControlTest, AnimationAppliesAtOnceAndCompletesOnTheClock) {
    auto view = std::make_shared<View>(Rect(0, 0, 10, 10));
    std::vector<bool> done;
    animate(0.4, [&] { view->setAlpha(0); }, [&](bool finished) { done.push_back(finished); }, 0.1);
    EXPECT_DOUBLE_EQ(view->alpha(), 0);
    EXPECT_EQ(animationsInFlight(), 1);
    EXPECT_DOUBLE_EQ(lastAnimation().duration, 0.4);
    advance(0.49);
    EXPECT_TRUE(done.empty());
    advance(0.01);
    EXPECT_EQ(done, (std::vector<bool>{true}));
    EXPECT_EQ(animationsInFlight(), 0);

    setAnimationsEnabled(false);
    animate(0.4, [&] { view->setAlpha(1); }, [&](bool finished) { done.push_back(finished); });
    EXPECT_EQ(done.size(), 2u);  // immediate
    setAnimationsEnabled(true);
    performWithoutAnimation([&] { animate(1, {}, [&](bool) { done.push_back(true); }); });
    EXPECT_EQ(done.size(), 3u);
    EXPECT_TRUE(areAnimationsEnabled());
}

}  // namespace
