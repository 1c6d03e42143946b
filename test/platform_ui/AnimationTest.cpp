// Animations: the model changes at once, the presentation (what is drawn) moves on the run
// loop clock.

#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/View.h"
#include "support/AppTest.h"

#include <cmath>

using namespace platform;

namespace {

// Times on the run loop clock are seconds since 1970, so a mid-animation value is exact
// only to about a millionth.
constexpr double kNear = 1e-4;

class AnimationTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        setAnimationsEnabled(true);
        root->addSubview(box);
    }
    std::shared_ptr<View> root = std::make_shared<View>(Rect{0, 0, 320, 480});
    std::shared_ptr<View> box = std::make_shared<View>(Rect{0, 0, 100, 20});
};

TEST_F(AnimationTest, TheModelChangesAtOnceAndThePresentationMovesAfterTheDelay) {
    box->setAlpha(0.2);
    box->setBackgroundColor(Color::red());
    std::vector<bool> done;
    animate(
        1.0,
        [&] {
            box->setFrame({0, 100, 100, 20});
            box->setAlpha(1);
            box->setBackgroundColor(Color::blue());
        },
        [&](bool finished) { done.push_back(finished); }, 0.5, AnimationCurve::Linear);

    EXPECT_EQ(box->frame(), (Rect{0, 100, 100, 20}));
    EXPECT_EQ(box->alpha(), 1);
    EXPECT_EQ(box->backgroundColor(), Color::blue());

    advance(0.25);  // still waiting out the delay: the old values show
    auto shown = box->presentation();
    EXPECT_EQ(shown.frame(), (Rect{0, 0, 100, 20}));
    EXPECT_DOUBLE_EQ(shown.alpha, 0.2);
    EXPECT_EQ(shown.backgroundColor, Color::red());

    advance(0.75);  // half way
    shown = box->presentation();
    EXPECT_NEAR(shown.frame().y(), 50, kNear);
    EXPECT_EQ(shown.frame().size, (Size{100, 20}));
    EXPECT_NEAR(shown.alpha, 0.6, kNear);
    EXPECT_NEAR(shown.backgroundColor.r, 0.5, kNear);
    EXPECT_NEAR(shown.backgroundColor.b, 0.5, kNear);
    EXPECT_TRUE(box->hasAnimations());
    EXPECT_TRUE(done.empty());

    advance(0.5);
    shown = box->presentation();
    EXPECT_EQ(shown.frame(), box->frame());
    EXPECT_EQ(shown.alpha, 1);
    EXPECT_EQ(done, std::vector<bool>{true});
    EXPECT_FALSE(box->hasAnimations());
}

TEST_F(AnimationTest, ThePresentationFollowsTheCurve) {
    struct Case {
        AnimationCurve curve;
        double atQuarter;
    };
    for (const Case& c : {Case{AnimationCurve::Linear, 0.25}, Case{AnimationCurve::EaseIn, 0.0625},
                          Case{AnimationCurve::EaseOut, 0.4375}, Case{AnimationCurve::EaseInOut, 0.125}}) {
        box->setAlpha(0);
        animate(1.0, [&] { box->setAlpha(1); }, {}, 0, c.curve);
        advance(0.25);
        EXPECT_NEAR(box->presentation().alpha, c.atQuarter, kNear) << static_cast<int>(c.curve);
        advance(1);
    }
}

TEST_F(AnimationTest, HitTestsUseTheModelWhileTheOldPlaceIsStillShown) {
    animate(0.4, [&] { box->setFrame({200, 0, 100, 20}); }, {}, 1.0);
    EXPECT_EQ(box->presentation().frame().x(), 0);
    EXPECT_EQ(root->hitTest({250, 10}), box);
    EXPECT_EQ(root->hitTest({50, 10}), root);
}

TEST_F(AnimationTest, ANewAnimationOfAPropertyStartsFromTheValueShown) {
    std::vector<int> done;
    animate(1.0, [&] { box->setCenter({150, 10}); }, [&](bool) { done.push_back(1); }, 0, AnimationCurve::Linear);
    advance(0.5);
    EXPECT_NEAR(box->presentation().center.x, 100, kNear);
    animate(1.0, [&] { box->setCenter({50, 10}); }, [&](bool) { done.push_back(2); }, 0, AnimationCurve::Linear);
    EXPECT_NEAR(box->presentation().center.x, 100, kNear);
    advance(0.5);
    EXPECT_NEAR(box->presentation().center.x, 75, kNear);
    EXPECT_EQ(done, std::vector<int>{1});  // the first one's completion still runs, on time
    advance(0.5);
    EXPECT_DOUBLE_EQ(box->presentation().center.x, 50);
    EXPECT_EQ(done, (std::vector<int>{1, 2}));
}

TEST_F(AnimationTest, ChangesMadeWithoutAnimationShowAtOnceAndStopARunningOne) {
    struct Case {
        const char* how;
        std::function<void(std::function<void()>)> set;
    };
    const Case cases[] = {
        {"plain setter", [](const std::function<void()>& f) { f(); }},
        {"performWithoutAnimation", [](const std::function<void()>& f) { performWithoutAnimation(f); }},
        {"animations switched off",
         [](const std::function<void()>& f) {
             setAnimationsEnabled(false);
             animate(1.0, f);
             setAnimationsEnabled(true);
         }},
        {"zero duration", [](const std::function<void()>& f) { animate(0, f); }},
    };
    for (const Case& c : cases) {
        box->setFrame({0, 0, 100, 20});
        animate(1.0, [&] { box->setFrame({0, 200, 100, 20}); });
        advance(0.5);
        c.set([&] { box->setFrame({0, 300, 100, 20}); });
        EXPECT_EQ(box->presentation().frame(), (Rect{0, 300, 100, 20})) << c.how;
        advance(0.1);
        EXPECT_EQ(box->presentation().frame(), (Rect{0, 300, 100, 20})) << c.how;
        advance(1);
    }
}

TEST_F(AnimationTest, ATransformTurnsThroughItsAngleAndScalesEvenly) {
    animate(1.0, [&] { box->setTransform(AffineTransform::rotation(M_PI)); }, {}, 0, AnimationCurve::Linear);
    advance(0.5);
    // A quarter turn half way, not a matrix squashed through zero.
    AffineTransform half = box->presentation().transform;
    EXPECT_NEAR(half.a, 0, kNear);
    EXPECT_NEAR(half.b, 1, kNear);
    EXPECT_NEAR(half.c, -1, kNear);
    EXPECT_NEAR(half.d, 0, kNear);
    advance(1);

    box->setTransform(AffineTransform::scale(0.2, 0.2));
    animate(1.0, [&] { box->setTransform(AffineTransform::translation(10, 0)); }, {}, 0, AnimationCurve::Linear);
    advance(0.5);
    AffineTransform mid = box->presentation().transform;
    EXPECT_NEAR(mid.a, 0.6, kNear);
    EXPECT_NEAR(mid.d, 0.6, kNear);
    EXPECT_NEAR(mid.b, 0, kNear);
    EXPECT_NEAR(mid.tx, 5, kNear);
}

TEST_F(AnimationTest, AFadeFromClearKeepsItsColour) {
    animate(1.0, [&] { box->setBackgroundColor(Color::whiteColor()); }, {}, 0, AnimationCurve::Linear);
    advance(0.5);
    Color mid = box->presentation().backgroundColor;
    EXPECT_NEAR(mid.a, 0.5, kNear);
    EXPECT_NEAR(mid.r, 1, kNear);  // white at half strength, not grey
}

TEST_F(AnimationTest, TheHostRedrawsWhileSomethingMovesAndOnceMoreAtTheEnd) {
    animate(0.4, [&] { box->setAlpha(0); }, {}, 1.0);
    EXPECT_EQ(animationsInFlight(), 1);
    advance(0.5);
    EXPECT_FALSE(animationsRunning());  // nothing moves during the delay
    advance(0.6);
    EXPECT_TRUE(animationsRunning());
    unsigned long generation = View::displayGeneration();
    advance(0.35);
    EXPECT_FALSE(animationsRunning());
    EXPECT_NE(View::displayGeneration(), generation);  // the last frame is drawn
    EXPECT_EQ(animationsInFlight(), 0);

    // A block that only waits moves nothing.
    animate(1.0, [] {});
    EXPECT_FALSE(animationsRunning());
}

TEST_F(AnimationTest, AResetRunLoopDropsThePresentation) {
    animate(1.0, [&] { box->setAlpha(0); });
    advance(0.5);
    EXPECT_GT(box->presentation().alpha, 0);
    RunLoop::main().reset();
    EXPECT_EQ(box->presentation().alpha, 0);
    EXPECT_FALSE(box->hasAnimations());
}

TEST_F(AnimationTest, ViewsMadeInsideABlockTakeTheirValuesAtOnce) {
    std::shared_ptr<View> made;
    animate(1.0, [&] {
        made = std::make_shared<View>(Rect{10, 10, 50, 50});
        root->addSubview(made);
    });
    EXPECT_EQ(made->presentation().frame(), (Rect{10, 10, 50, 50}));
    EXPECT_FALSE(made->hasAnimations());
}

}  // namespace
