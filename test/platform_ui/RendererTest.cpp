#include "platform/ui/Animation.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Label.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/View.h"
#include "support/AppTest.h"

using namespace platform;

namespace {

class RendererTest : public testing_support::AppTest {
protected:
    // A 100 x 100 root at scale 1 so that points are pixels.
    std::shared_ptr<View> root = std::make_shared<View>(Rect{0, 0, 100, 100});

    ImageRef draw() { return Renderer::render(*root, {100, 100}, 1); }

    static bool near(const Color& c, double r, double g, double b) {
        return std::abs(c.r - r) < 0.05 && std::abs(c.g - g) < 0.05 && std::abs(c.b - b) < 0.05;
    }
};

TEST_F(RendererTest, BackgroundsDrawWhereTheViewIs) {
    auto red = std::make_shared<View>(Rect{10, 10, 30, 30});
    red->setBackgroundColor(Color::red());
    root->addSubview(red);
    auto image = draw();
    EXPECT_TRUE(near(image->colorAt(20, 20), 1, 0, 0));
    EXPECT_TRUE(near(image->colorAt(50, 50), 1, 1, 1));  // untouched: white
}

TEST_F(RendererTest, AReusedFramePicturesOnlyTheTreeAsItNowStands) {
    auto frame = makeImageContext({100, 100}, 1, true);
    auto red = std::make_shared<View>(Rect{10, 10, 30, 30});
    red->setBackgroundColor(Color::red());
    root->addSubview(red);
    Renderer::renderInto(*frame, *root);
    EXPECT_TRUE(near(frame->image()->colorAt(20, 20), 1, 0, 0));

    // Whatever the last frame left behind (moved views, a clip, a shifted origin, a save
    // never restored), the next frame starts from a clean picture.
    red->setFrame({60, 60, 30, 30});
    frame->save();
    frame->clipToRect({0, 0, 5, 5});
    frame->translate(40, 40);
    Renderer::renderInto(*frame, *root);
    auto image = frame->image();
    EXPECT_TRUE(near(image->colorAt(20, 20), 1, 1, 1));
    EXPECT_TRUE(near(image->colorAt(70, 70), 1, 0, 0));
    EXPECT_TRUE(near(image->colorAt(95, 95), 1, 1, 1));
}

TEST_F(RendererTest, HiddenAndTransparentViewsAreNotDrawnNorTheirChildren) {
    auto hidden = std::make_shared<View>(Rect{0, 0, 50, 50});
    hidden->setBackgroundColor(Color::red());
    hidden->setHidden(true);
    auto child = std::make_shared<View>(Rect{0, 0, 10, 10});
    child->setBackgroundColor(Color::blue());
    hidden->addSubview(child);
    auto clear = std::make_shared<View>(Rect{50, 50, 50, 50});
    clear->setBackgroundColor(Color::red());
    clear->setAlpha(0);
    root->addSubview(hidden);
    root->addSubview(clear);
    auto image = draw();
    EXPECT_TRUE(near(image->colorAt(5, 5), 1, 1, 1));
    EXPECT_TRUE(near(image->colorAt(70, 70), 1, 1, 1));
}

TEST_F(RendererTest, ClippedChildDoesNotLeakButUnclippedOneDoes) {
    auto parent = std::make_shared<View>(Rect{0, 0, 40, 40});
    auto child = std::make_shared<View>(Rect{20, 20, 60, 60});
    child->setBackgroundColor(Color::blue());
    parent->addSubview(child);
    root->addSubview(parent);

    EXPECT_TRUE(near(draw()->colorAt(60, 60), 0, 0, 1));
    parent->setClipsToBounds(true);
    auto image = draw();
    EXPECT_TRUE(near(image->colorAt(30, 30), 0, 0, 1));
    EXPECT_TRUE(near(image->colorAt(60, 60), 1, 1, 1));
}

TEST_F(RendererTest, AlphaBlendsAndBoundsOriginScrollsContent) {
    auto half = std::make_shared<View>(Rect{0, 0, 50, 50});
    half->setBackgroundColor(Color::black());
    half->setAlpha(0.5);
    root->addSubview(half);
    auto scroller = std::make_shared<View>(Rect{50, 50, 50, 50});
    auto content = std::make_shared<View>(Rect{0, 0, 50, 20});
    content->setBackgroundColor(Color::red());
    scroller->addSubview(content);
    scroller->setBounds({0, 10, 50, 50});  // scrolled down by 10: content now at y 40..50 on screen
    root->addSubview(scroller);
    auto image = draw();
    EXPECT_TRUE(near(image->colorAt(25, 25), 0.5, 0.5, 0.5));
    EXPECT_TRUE(near(image->colorAt(60, 52), 1, 0, 0));
    EXPECT_TRUE(near(image->colorAt(60, 65), 1, 1, 1));
}

TEST_F(RendererTest, RotatedViewCoversItsTransformedBox) {
    auto bar = std::make_shared<View>(Rect{45, 10, 10, 80});  // tall thin bar at the centre
    bar->setBackgroundColor(Color::red());
    bar->setTransform(AffineTransform::rotation(M_PI / 2));  // now wide and flat
    root->addSubview(bar);
    auto image = draw();
    EXPECT_TRUE(near(image->colorAt(15, 50), 1, 0, 0));
    EXPECT_TRUE(near(image->colorAt(50, 15), 1, 1, 1));
}

TEST_F(RendererTest, BorderIsDrawnAboveSubviews) {
    auto box = std::make_shared<View>(Rect{10, 10, 40, 40});
    box->setBorderWidth(4);
    box->setBorderColor(Color::blue());
    auto fill = std::make_shared<View>(Rect{0, 0, 40, 40});
    fill->setBackgroundColor(Color::red());
    box->addSubview(fill);
    root->addSubview(box);
    auto image = draw();
    EXPECT_TRUE(near(image->colorAt(11, 30), 0, 0, 1));
    EXPECT_TRUE(near(image->colorAt(30, 30), 1, 0, 0));
}

TEST_F(RendererTest, ChineseLabelTextPutsInkOnTheScreen) {
    auto label = std::make_shared<Label>(Rect{0, 0, 100, 40});
    label->setText("没有网络");
    label->setTextColor(Color::black());
    root->addSubview(label);
    auto image = draw();
    int dark = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            if (image->colorAt(x, y).r < 0.5) ++dark;
    EXPECT_GT(dark, 40);
}

TEST_F(RendererTest, AnAnimatingViewIsDrawnWhereItHasGotTo) {
    auto box = std::make_shared<View>(Rect{0, 0, 20, 20});
    box->setBackgroundColor(Color::red());
    root->addSubview(box);
    animate(1.0, [&] {
        box->setFrame({60, 0, 20, 20});
        box->setBackgroundColor(Color::blue());
    }, {}, 0, AnimationCurve::Linear);
    advance(0.5);  // half way: x 30..50, half red half blue
    auto image = draw();
    EXPECT_TRUE(near(image->colorAt(40, 10), 0.5, 0, 0.5));
    EXPECT_TRUE(near(image->colorAt(10, 10), 1, 1, 1));
    EXPECT_TRUE(near(image->colorAt(70, 10), 1, 1, 1));

    advance(0.5);
    image = draw();
    EXPECT_TRUE(near(image->colorAt(70, 10), 0, 0, 1));
    EXPECT_TRUE(near(image->colorAt(40, 10), 1, 1, 1));
}

TEST_F(RendererTest, AViewLeavingAClippingParentIsDrawnUntilItHasLeft) {
    root->setClipsToBounds(true);
    auto box = std::make_shared<View>(Rect{10, 10, 20, 20});
    box->setBackgroundColor(Color::red());
    root->addSubview(box);
    // Its model is outside the parent at once; what shows waits out the delay.
    animate(0.4, [&] { box->setFrame({150, 10, 20, 20}); }, {}, 1.0);
    advance(0.5);
    EXPECT_TRUE(near(draw()->colorAt(20, 20), 1, 0, 0));
    advance(1);
    EXPECT_TRUE(near(draw()->colorAt(20, 20), 1, 1, 1));
}

TEST_F(RendererTest, AFadingViewIsDrawnPartlySeeThrough) {
    auto box = std::make_shared<View>(Rect{0, 0, 50, 50});
    box->setBackgroundColor(Color::black());
    root->addSubview(box);
    animate(1.0, [&] { box->setAlpha(0); }, {}, 0, AnimationCurve::Linear);
    advance(0.5);
    EXPECT_TRUE(near(draw()->colorAt(25, 25), 0.5, 0.5, 0.5));
    advance(0.5);
    EXPECT_TRUE(near(draw()->colorAt(25, 25), 1, 1, 1));
}

}  // namespace
