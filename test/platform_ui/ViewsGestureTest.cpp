#include "platform/ui/Button.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/PinchGestureRecognizer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/RotationGestureRecognizer.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TouchDispatcher.h"
#include "support/AppTest.h"

#include <cmath>

using namespace platform;

namespace {

class ViewsGestureTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        TouchDispatcher::shared().reset();
        root = std::make_shared<View>(Rect(0, 0, 320, 480));
    }
    void tap(Point p, int id = 0) {
        TouchDispatcher::shared().touchBegan(*root, p, id);
        TouchDispatcher::shared().touchEnded(*root, p, id);
    }
    void drag(Point from, Point to, int steps = 5, double dt = 0.016, int id = 0) {
        auto& d = TouchDispatcher::shared();
        d.touchBegan(*root, from, id);
        for (int i = 1; i <= steps; ++i) {
            advance(dt);
            d.touchMoved(*root, {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps}, id);
        }
        d.touchEnded(*root, to, id);
    }
    std::shared_ptr<View> root;
};

TEST_F(ViewsGestureTest, TapOnButtonFoundByHitTestingRunsItsAction) {
    auto panel = std::make_shared<View>(Rect(20, 100, 200, 100));
    root->addSubview(panel);
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({10, 10, 80, 40});
    button->setTitle("OK");
    panel->addSubview(button);
    std::vector<std::string> events;
    button->addTarget(ControlEventTouchDown, [&](Control&) { events.push_back("down"); });
    button->addTarget(ControlEventTouchUpInside, [&](Control&) { events.push_back("up-inside"); });

    tap({50, 125});  // window point inside the button (20+10..20+90, 100+10..100+50)
    EXPECT_EQ(events, (std::vector<std::string>{"down", "up-inside"}));
    EXPECT_FALSE(button->isHighlighted());

    events.clear();
    tap({150, 125});  // inside the panel, outside the button
    EXPECT_TRUE(events.empty());
}

TEST_F(ViewsGestureTest, ButtonIsHighlightedWhileHeldAndLiftingFarOutsideIsTouchUpOutside) {
    auto button = std::make_shared<Button>(Rect(10, 10, 80, 40));
    root->addSubview(button);
    std::vector<std::string> events;
    button->addTarget(ControlEventTouchUpInside, [&](Control&) { events.push_back("inside"); });
    button->addTarget(ControlEventTouchUpOutside, [&](Control&) { events.push_back("outside"); });
    auto& d = TouchDispatcher::shared();
    d.touchBegan(*root, {20, 20});
    EXPECT_TRUE(button->isHighlighted());
    d.touchMoved(*root, {300, 400});
    EXPECT_FALSE(button->isHighlighted());
    d.touchEnded(*root, {300, 400});
    EXPECT_EQ(events, (std::vector<std::string>{"outside"}));
}

TEST_F(ViewsGestureTest, DisabledButtonPassesTheTapToItsSuperview) {
    auto button = std::make_shared<Button>(Rect(10, 10, 80, 40));
    root->addSubview(button);
    int pressed = 0, tapped = 0;
    button->addTarget(ControlEventTouchUpInside, [&](Control&) { ++pressed; });
    root->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([&](GestureRecognizer&) { ++tapped; }));
    button->setEnabled(false);
    tap({20, 20});
    EXPECT_EQ(pressed, 0);
    EXPECT_EQ(tapped, 1);
}

TEST_F(ViewsGestureTest, ControlTapWinsOverItsParentsTapRecognizer) {
    auto parent = std::make_shared<View>(Rect(0, 0, 320, 480));
    root->addSubview(parent);
    int parentTaps = 0, buttonTaps = 0;
    parent->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([&](GestureRecognizer&) { ++parentTaps; }));
    auto button = std::make_shared<Button>(Rect(100, 100, 60, 30));
    parent->addSubview(button);
    button->addTarget(ControlEventTouchUpInside, [&](Control&) { ++buttonTaps; });

    tap({110, 110});
    EXPECT_EQ(buttonTaps, 1);
    EXPECT_EQ(parentTaps, 0);
    advance(1);
    tap({10, 400});  // outside the button the parent's recognizer still works
    EXPECT_EQ(buttonTaps, 1);
    EXPECT_EQ(parentTaps, 1);
}

TEST_F(ViewsGestureTest, RecognizedTapCancelsTheViewsTouches) {
    struct Recorder : View {
        using View::View;
        std::vector<std::string> seen;
        void touchesBegan(const Touches&) override { seen.push_back("began"); }
        void touchesEnded(const Touches&) override { seen.push_back("ended"); }
        void touchesCancelled(const Touches&) override { seen.push_back("cancelled"); }
    };
    auto view = std::make_shared<Recorder>(Rect(0, 0, 100, 100));
    root->addSubview(view);
    int taps = 0;
    auto tapRecognizer = std::make_shared<TapGestureRecognizer>([&](GestureRecognizer&) { ++taps; });
    view->addGestureRecognizer(tapRecognizer);
    tap({50, 50});
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(view->seen, (std::vector<std::string>{"began", "cancelled"}));

    view->seen.clear();
    tapRecognizer->setCancelsTouchesInView(false);
    advance(1);
    tap({50, 50});
    EXPECT_EQ(taps, 2);
    EXPECT_EQ(view->seen, (std::vector<std::string>{"began", "ended"}));
}

TEST_F(ViewsGestureTest, TapFailsWhenTheFingerMoves) {
    int taps = 0;
    root->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([&](GestureRecognizer&) { ++taps; }));
    drag({50, 50}, {50, 120});
    EXPECT_EQ(taps, 0);
    advance(1);
    tap({50, 50});  // the recognizer is ready again
    EXPECT_EQ(taps, 1);
}

TEST_F(ViewsGestureTest, DoubleTapNeedsTwoQuickTaps) {
    int taps = 0;
    auto doubleTap = std::make_shared<TapGestureRecognizer>([&](GestureRecognizer&) { ++taps; });
    doubleTap->setNumberOfTapsRequired(2);
    root->addGestureRecognizer(doubleTap);
    tap({50, 50});
    EXPECT_EQ(taps, 0);
    advance(0.1);
    tap({52, 51});
    EXPECT_EQ(taps, 1);
    // Two taps too far apart in time do not count.
    advance(1);
    tap({50, 50});
    advance(0.5);
    tap({50, 50});
    EXPECT_EQ(taps, 1);
}

TEST_F(ViewsGestureTest, LongPressBeginsAfterItsMinimumDurationOnTheClock) {
    std::vector<GestureState> states;
    auto press = std::make_shared<LongPressGestureRecognizer>([&](GestureRecognizer& r) { states.push_back(r.state()); });
    press->setMinimumPressDuration(0.3);
    root->addGestureRecognizer(press);
    auto& d = TouchDispatcher::shared();
    d.touchBegan(*root, {100, 100});
    advance(0.29);
    EXPECT_TRUE(states.empty());
    advance(0.02);
    ASSERT_EQ(states, (std::vector<GestureState>{GestureState::Began}));
    EXPECT_EQ(press->locationInView(root.get()).x, 100);
    d.touchMoved(*root, {130, 100});
    d.touchEnded(*root, {130, 100});
    EXPECT_EQ(states, (std::vector<GestureState>{GestureState::Began, GestureState::Changed, GestureState::Ended}));
    EXPECT_EQ(press->state(), GestureState::Possible);
}

TEST_F(ViewsGestureTest, LongPressFailsWhenLiftedEarlyOrMoved) {
    int calls = 0;
    auto press = std::make_shared<LongPressGestureRecognizer>([&](GestureRecognizer&) { ++calls; });
    root->addGestureRecognizer(press);
    auto& d = TouchDispatcher::shared();
    d.touchBegan(*root, {100, 100});
    advance(0.2);
    d.touchEnded(*root, {100, 100});
    advance(1);
    d.touchBegan(*root, {100, 100});
    d.touchMoved(*root, {100, 130});
    advance(1);
    d.touchEnded(*root, {100, 130});
    EXPECT_EQ(calls, 0);
}

TEST_F(ViewsGestureTest, LongPressOnAPagedPictureWinsOverTheOverlaysTap) {
    // An overlay closed by a tap, paging pictures, each picture held for a save menu.
    auto overlay = std::make_shared<View>(Rect(0, 0, 320, 480));
    root->addSubview(overlay);
    int closes = 0, presses = 0;
    overlay->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([&](GestureRecognizer&) { ++closes; }));
    auto pager = std::make_shared<ScrollView>(Rect(0, 0, 320, 480));
    pager->setContentSize({640, 480});
    pager->setPagingEnabled(true);
    overlay->addSubview(pager);
    auto zoom = std::make_shared<ScrollView>(Rect(0, 0, 320, 480));
    pager->addSubview(zoom);
    auto picture = std::make_shared<ImageView>(Rect(0, 0, 320, 480));
    picture->setUserInteractionEnabled(true);
    picture->setTag(100);
    zoom->addSubview(picture);
    auto press = std::make_shared<LongPressGestureRecognizer>([&](GestureRecognizer& r) {
        if (r.state() != GestureState::Began) return;
        auto hit = r.view()->hitTest(r.locationInView(r.view()));
        if (hit && hit->tag() == 100) ++presses;
    });
    press->setMinimumPressDuration(0.3);
    picture->addGestureRecognizer(press);

    auto& d = TouchDispatcher::shared();
    d.touchBegan(*root, {160, 240});
    advance(0.4);
    d.touchEnded(*root, {160, 240});
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(closes, 0);
    advance(1);
    tap({160, 240});  // a short tap closes
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(closes, 1);
    advance(1);
    drag({300, 240}, {100, 240}, 5, 0.01);  // a swipe turns the page and closes nothing
    advance(1);
    EXPECT_DOUBLE_EQ(pager->contentOffset().x, 320);
    EXPECT_EQ(closes, 1);
}

TEST_F(ViewsGestureTest, PanReportsTranslationAndVelocity) {
    std::vector<GestureState> states;
    Point lastTranslation, endVelocity;
    auto pan = std::make_shared<PanGestureRecognizer>();
    pan->setAction([&](GestureRecognizer& r) {
        auto& p = static_cast<PanGestureRecognizer&>(r);
        states.push_back(r.state());
        lastTranslation = p.translationInView(root.get());
        if (r.state() == GestureState::Ended) endVelocity = p.velocityInView(root.get());
    });
    root->addGestureRecognizer(pan);
    drag({100, 100}, {100, 200}, 10, 0.01);  // 100 points in 0.1 s
    ASSERT_GE(states.size(), 3u);
    EXPECT_EQ(states.front(), GestureState::Began);
    EXPECT_EQ(states.back(), GestureState::Ended);
    EXPECT_DOUBLE_EQ(lastTranslation.y, 100);
    EXPECT_DOUBLE_EQ(lastTranslation.x, 0);
    EXPECT_NEAR(endVelocity.y, 1000, 1);
}

TEST_F(ViewsGestureTest, RecognizersSharingTouchesExcludeEachOtherUnlessAllowed) {
    int panA = 0, panB = 0;
    auto child = std::make_shared<View>(Rect(0, 0, 200, 200));
    root->addSubview(child);
    auto a = std::make_shared<PanGestureRecognizer>([&](GestureRecognizer& r) { if (r.state() == GestureState::Began) ++panA; });
    auto b = std::make_shared<PanGestureRecognizer>([&](GestureRecognizer& r) { if (r.state() == GestureState::Began) ++panB; });
    child->addGestureRecognizer(a);
    root->addGestureRecognizer(b);
    drag({50, 50}, {50, 150});
    EXPECT_EQ(panA, 1);  // the deepest view's recognizer moves first and wins
    EXPECT_EQ(panB, 0);

    a->setShouldRecognizeSimultaneously([](GestureRecognizer&, GestureRecognizer&) { return true; });
    drag({50, 50}, {50, 150});
    EXPECT_EQ(panA, 2);
    EXPECT_EQ(panB, 1);

    // A delegate that refuses lets the other one have the gesture.
    a->setShouldRecognizeSimultaneously({});
    a->setShouldBegin([](GestureRecognizer&) { return false; });
    drag({50, 50}, {50, 150});
    EXPECT_EQ(panA, 2);
    EXPECT_EQ(panB, 2);
}

TEST_F(ViewsGestureTest, PinchAndRotationFollowTwoFingers) {
    double scale = 0, rotation = 0;
    auto pinch = std::make_shared<PinchGestureRecognizer>(
        [&](GestureRecognizer& r) { scale = static_cast<PinchGestureRecognizer&>(r).scale(); });
    auto rotate = std::make_shared<RotationGestureRecognizer>(
        [&](GestureRecognizer& r) { rotation = static_cast<RotationGestureRecognizer&>(r).rotation(); });
    pinch->setShouldRecognizeSimultaneously([](GestureRecognizer&, GestureRecognizer&) { return true; });
    root->addGestureRecognizer(pinch);
    root->addGestureRecognizer(rotate);
    auto& d = TouchDispatcher::shared();
    d.touchBegan(*root, {100, 200}, 1);
    d.touchBegan(*root, {200, 200}, 2);
    advance(0.05);
    d.touchMoved(*root, {50, 200}, 1);
    d.touchMoved(*root, {250, 200}, 2);
    EXPECT_DOUBLE_EQ(scale, 2);
    // Turn a quarter: the second finger goes below the first.
    d.touchMoved(*root, {150, 100}, 1);
    d.touchMoved(*root, {150, 300}, 2);
    EXPECT_NEAR(rotation, M_PI / 2, 1e-9);
    d.touchEnded(*root, {150, 100}, 1);
    d.touchEnded(*root, {150, 300}, 2);
    EXPECT_EQ(pinch->state(), GestureState::Possible);
}

TEST_F(ViewsGestureTest, DisablingARecognizerMidGestureCancelsIt) {
    std::vector<GestureState> states;
    auto pan = std::make_shared<PanGestureRecognizer>([&](GestureRecognizer& r) { states.push_back(r.state()); });
    root->addGestureRecognizer(pan);
    auto& d = TouchDispatcher::shared();
    d.touchBegan(*root, {10, 10});
    d.touchMoved(*root, {10, 40});
    pan->setEnabled(false);
    d.touchMoved(*root, {10, 80});
    d.touchEnded(*root, {10, 80});
    EXPECT_EQ(states, (std::vector<GestureState>{GestureState::Began, GestureState::Cancelled}));
}

}  // namespace
