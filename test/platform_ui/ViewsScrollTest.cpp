#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TouchDispatcher.h"
#include "support/AppTest.h"

using namespace platform;

namespace {

struct ScrollRecorder : ScrollViewDelegate {
    std::vector<std::string> events;
    int scrolls = 0;
    std::shared_ptr<View> zoom;
    void note(const std::string& e) {
        if (events.empty() || events.back() != e) events.push_back(e);
    }
    void scrollViewDidScroll(ScrollView&) override {
        ++scrolls;
        note("scroll");
    }
    void scrollViewWillBeginDragging(ScrollView& s) override {
        EXPECT_FALSE(s.isDecelerating());
        note("willBeginDragging");
    }
    void scrollViewDidEndDragging(ScrollView& s, bool decelerate) override {
        EXPECT_FALSE(s.isDragging());
        note(decelerate ? "didEndDragging(decelerate)" : "didEndDragging");
    }
    void scrollViewWillBeginDecelerating(ScrollView&) override { note("willBeginDecelerating"); }
    void scrollViewDidEndDecelerating(ScrollView& s) override {
        EXPECT_FALSE(s.isDecelerating());
        note("didEndDecelerating");
    }
    void scrollViewDidEndScrollingAnimation(ScrollView&) override { note("didEndScrollingAnimation"); }
    std::shared_ptr<View> viewForZoomingInScrollView(ScrollView&) override { return zoom; }
    void scrollViewDidZoom(ScrollView&) override { note("didZoom"); }
    void scrollViewDidEndZooming(ScrollView&, View*, double) override { note("didEndZooming"); }
};

class ViewsScrollTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        setAnimationsEnabled(true);
        TouchDispatcher::shared().reset();
        root = std::make_shared<View>(Rect(0, 0, 320, 480));
        scroll = std::make_shared<ScrollView>(Rect(0, 0, 320, 480));
        scroll->setContentSize({320, 2000});
        root->addSubview(scroll);
        delegate = std::make_shared<ScrollRecorder>();
        scroll->setDelegate(delegate);
    }
    // A drag of `steps` moves of `dt` seconds each, then lifts (after `hold` seconds still).
    void drag(Point from, Point to, int steps = 10, double dt = 0.01, double hold = 0) {
        auto& d = TouchDispatcher::shared();
        d.touchBegan(*root, from);
        for (int i = 1; i <= steps; ++i) {
            advance(dt);
            d.touchMoved(*root, {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
        }
        if (hold > 0) {
            advance(hold);
            d.touchMoved(*root, to);
        }
        d.touchEnded(*root, to);
    }
    std::shared_ptr<View> root;
    std::shared_ptr<ScrollView> scroll;
    std::shared_ptr<ScrollRecorder> delegate;
};

TEST_F(ViewsScrollTest, FlingReportsItsEventsInOrderAndDecelerates) {
    drag({160, 400}, {160, 200}, 10, 0.01);  // 200 points up in 0.1 s
    EXPECT_FALSE(scroll->isDragging());
    EXPECT_TRUE(scroll->isDecelerating());
    double released = scroll->contentOffset().y;
    EXPECT_DOUBLE_EQ(released, 200);
    advance(5);
    EXPECT_FALSE(scroll->isDecelerating());
    EXPECT_GT(scroll->contentOffset().y, released + 100);
    EXPECT_LE(scroll->contentOffset().y, 2000 - 480);
    EXPECT_EQ(delegate->events,
              (std::vector<std::string>{"willBeginDragging", "scroll", "didEndDragging(decelerate)",
                                        "willBeginDecelerating", "scroll", "didEndDecelerating"}));
}

TEST_F(ViewsScrollTest, SettingTheOffsetStopsAFling) {
    drag({160, 400}, {160, 200}, 10, 0.01);
    advance(0.1);
    ASSERT_TRUE(scroll->isDecelerating());
    scroll->setContentOffset({0, 500});
    EXPECT_FALSE(scroll->isDecelerating());
    advance(3);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, 500);
}

TEST_F(ViewsScrollTest, DragThatStopsBeforeLiftingDoesNotDecelerate) {
    drag({160, 400}, {160, 300}, 10, 0.05, 0.5);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, 100);
    EXPECT_FALSE(scroll->isDecelerating());
    EXPECT_EQ(delegate->events.back(), "didEndDragging");
}

TEST_F(ViewsScrollTest, PullingPastTheTopStretchesAndBouncesBack) {
    auto& d = TouchDispatcher::shared();
    d.touchBegan(*root, {160, 100});
    advance(0.05);
    d.touchMoved(*root, {160, 300});
    EXPECT_TRUE(scroll->isDragging());
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, -100);  // half of the 200-point pull
    advance(0.5);
    d.touchEnded(*root, {160, 300});
    EXPECT_EQ(delegate->events.back(), "willBeginDecelerating");
    advance(3);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, 0);
    EXPECT_EQ(delegate->events.back(), "didEndDecelerating");

    // Without bouncing the content stops at the edge.
    scroll->setBounces(false);
    drag({160, 100}, {160, 300});
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, 0);
}

TEST_F(ViewsScrollTest, InsetSetWhenADragEndsHoldsTheContentAndRemovingItSlidesBack) {
    // A pull-down list: a release past 65 points keeps a 60-point band open.
    struct Puller : ScrollRecorder {
        void scrollViewDidEndDragging(ScrollView& s, bool decelerate) override {
            ScrollRecorder::scrollViewDidEndDragging(s, decelerate);
            if (s.contentOffset().y <= -65) s.setContentInset({60, 0, 0, 0});
        }
    };
    auto puller = std::make_shared<Puller>();
    scroll->setDelegate(puller);
    auto& d = TouchDispatcher::shared();
    d.touchBegan(*root, {160, 100});
    advance(0.1);
    d.touchMoved(*root, {160, 232});
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, -66);
    advance(0.5);
    d.touchEnded(*root, {160, 232});
    advance(3);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, -60);
    scroll->setContentInset({});
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, 0);
}

TEST_F(ViewsScrollTest, PagingSettlesOnAWholePage) {
    scroll->setContentSize({320 * 3, 480});
    scroll->setPagingEnabled(true);
    // Slow half-way drag: back to the nearest page.
    drag({300, 200}, {160, 200}, 10, 0.1, 0.5);  // 140 points
    advance(1);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().x, 0);
    drag({300, 200}, {120, 200}, 10, 0.1, 0.5);  // 180 points: past half
    advance(1);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().x, 320);
    // A quick short swipe turns one page.
    delegate->events.clear();
    drag({200, 200}, {150, 200}, 5, 0.01);
    advance(1);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().x, 640);
    EXPECT_EQ(delegate->events.back(), "didEndDecelerating");
    // No page beyond the last.
    drag({200, 200}, {150, 200}, 5, 0.01);
    advance(1);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().x, 640);
}

TEST_F(ViewsScrollTest, DraggingFromAButtonCancelsItsTapButATapStillWorks) {
    auto button = std::make_shared<Button>(Rect(100, 100, 120, 60));
    scroll->addSubview(button);
    int pressed = 0, cancelled = 0;
    button->addTarget(ControlEventTouchUpInside, [&](Control&) { ++pressed; });
    button->addTarget(ControlEventTouchCancel, [&](Control&) { ++cancelled; });
    drag({150, 130}, {150, 30}, 10, 0.05, 0.5);
    EXPECT_EQ(pressed, 0);
    EXPECT_EQ(cancelled, 1);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, 100);
    // The button moved up with the content: tap it where it is now.
    Point p = button->convertPointTo({60, 30}, nullptr);
    TouchDispatcher::shared().touchBegan(*root, p);
    TouchDispatcher::shared().touchEnded(*root, p);
    EXPECT_EQ(pressed, 1);
}

TEST_F(ViewsScrollTest, AnimatedOffsetReportsOnTheWayAndAtTheEnd) {
    scroll->setContentOffset({0, 300}, true);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, 0);
    advance(0.1);
    double mid = scroll->contentOffset().y;
    EXPECT_GT(mid, 0);
    EXPECT_LT(mid, 300);
    advance(0.3);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, 300);
    EXPECT_GT(delegate->scrolls, 3);
    EXPECT_EQ(delegate->events.back(), "didEndScrollingAnimation");

    setAnimationsEnabled(false);
    delegate->events.clear();
    scroll->setContentOffset({0, 10}, true);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, 10);
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"scroll", "didEndScrollingAnimation"}));
    setAnimationsEnabled(true);
}

TEST_F(ViewsScrollTest, InsetsWidenTheRangeAndScrollRectToVisibleMovesJustEnough) {
    scroll->setContentInset({60, 0, 0, 0});
    EXPECT_DOUBLE_EQ(scroll->minimumContentOffset().y, -60);
    EXPECT_DOUBLE_EQ(scroll->maximumContentOffset().y, 2000 - 480);
    scroll->scrollRectToVisible({0, 900, 10, 100}, false);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, 1000 - 480);
    scroll->scrollRectToVisible({0, 100, 10, 10}, false);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().y, 100);
}

TEST_F(ViewsScrollTest, SidewaysDragOnAVerticalListPagesTheOuterView) {
    scroll->setContentSize({320 * 2, 480});
    scroll->setPagingEnabled(true);
    auto inner = std::make_shared<ScrollView>(Rect(320, 0, 320, 480));  // the second page
    inner->setContentSize({320, 3000});
    scroll->addSubview(inner);
    drag({300, 200}, {100, 210}, 5, 0.01);
    advance(1);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().x, 320);
    EXPECT_DOUBLE_EQ(inner->contentOffset().y, 0);
    drag({100, 400}, {110, 200}, 5, 0.01);  // vertical: the inner list scrolls
    advance(5);
    EXPECT_DOUBLE_EQ(scroll->contentOffset().x, 320);
    EXPECT_GT(inner->contentOffset().y, 0);
}

TEST_F(ViewsScrollTest, ZoomScalesTheDelegatesViewWithinItsLimits) {
    auto image = std::make_shared<View>(Rect(0, 0, 320, 480));
    scroll->addSubview(image);
    scroll->setContentSize({320, 480});
    delegate->zoom = image;
    scroll->setMinimumZoomScale(1);
    scroll->setMaximumZoomScale(3);
    scroll->setZoomScale(2);
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 2);
    EXPECT_EQ(scroll->contentSize(), (Size{640, 960}));
    EXPECT_EQ(image->frame(), Rect(0, 0, 640, 960));
    scroll->setZoomScale(5);
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 3);
    scroll->setZoomScale(1);
    EXPECT_EQ(scroll->contentSize(), (Size{320, 480}));

    // Two fingers spreading to twice their distance zoom in twice.
    delegate->events.clear();
    auto& d = TouchDispatcher::shared();
    d.touchBegan(*root, {110, 240}, 1);
    d.touchBegan(*root, {210, 240}, 2);
    advance(0.05);
    d.touchMoved(*root, {107, 240}, 1);
    d.touchMoved(*root, {213, 240}, 2);  // begins here, centred on x 160
    d.touchMoved(*root, {60, 240}, 1);
    d.touchMoved(*root, {260, 240}, 2);
    d.touchEnded(*root, {60, 240}, 1);
    d.touchEnded(*root, {260, 240}, 2);
    EXPECT_NEAR(scroll->zoomScale(), 2, 1e-9);
    EXPECT_NEAR(scroll->contentOffset().x, 160, 1e-9);  // the point between the fingers stays put
    EXPECT_EQ(delegate->events.back(), "didEndZooming");
}

}  // namespace
