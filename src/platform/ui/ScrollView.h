#pragma once

#include "platform/Timer.h"
#include "platform/ui/View.h"

#include <memory>

namespace platform {

class ScrollView;
class PanGestureRecognizer;
class PinchGestureRecognizer;

// What a scroll view tells its delegate. Every operation is optional. Classes that adopt
// this together with the table view delegate (which extends it) inherit it virtually.
class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewWillBeginDragging(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewDidEndDragging(ScrollView& scrollView, bool willDecelerate) {
        (void)scrollView;
        (void)willDecelerate;
    }
    virtual void scrollViewWillBeginDecelerating(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewDidEndDecelerating(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewDidEndScrollingAnimation(ScrollView& scrollView) { (void)scrollView; }
    virtual std::shared_ptr<View> viewForZoomingInScrollView(ScrollView& scrollView) {
        (void)scrollView;
        return nullptr;
    }
    virtual void scrollViewWillBeginZooming(ScrollView& scrollView, View* view) {
        (void)scrollView;
        (void)view;
    }
    virtual void scrollViewDidZoom(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewDidEndZooming(ScrollView& scrollView, View* view, double scale) {
        (void)scrollView;
        (void)view;
        (void)scale;
    }
};

enum class ScrollViewIndicatorStyle { Default, Black, White };

// A view whose content (its subviews) is larger than itself and moves under it. The
// content offset is the bounds origin. Dragging comes from the scroll view's own pan
// recognizer (touches through the TouchDispatcher), which cancels the touches of the
// content once the drag starts; after a drag the content decelerates, bounces back or
// settles on a page, stepped by run loop timers on the clock.
class ScrollView : public View {
public:
    ScrollView();
    explicit ScrollView(const Rect& frame);
    ~ScrollView() override;

    std::string className() const override { return "ScrollView"; }

    std::shared_ptr<ScrollViewDelegate> delegate() const { return delegate_.lock(); }
    // Held weakly.
    void setDelegate(const std::shared_ptr<ScrollViewDelegate>& delegate) { delegate_ = delegate; }

    Size contentSize() const { return contentSize_; }
    void setContentSize(const Size& size);
    Point contentOffset() const { return bounds().origin; }
    // Animated: moves over 0.3 seconds with did-scroll reports on the way, then reports the
    // end of the scrolling animation. Not animated: moves now, one did-scroll report.
    void setContentOffset(const Point& offset, bool animated = false);
    EdgeInsets contentInset() const { return contentInset_; }
    // At rest, an offset left outside the new range moves back inside it.
    void setContentInset(const EdgeInsets& inset);
    EdgeInsets scrollIndicatorInsets() const { return indicatorInsets_; }
    void setScrollIndicatorInsets(const EdgeInsets& insets) { indicatorInsets_ = insets; }
    // Scrolls just enough for `rect` (content coordinates) to be visible.
    void scrollRectToVisible(const Rect& rect, bool animated);

    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool on);
    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool on) { pagingEnabled_ = on; }
    bool bounces() const { return bounces_; }
    void setBounces(bool on) { bounces_ = on; }
    bool alwaysBounceVertical() const { return alwaysBounceVertical_; }
    void setAlwaysBounceVertical(bool on) { alwaysBounceVertical_ = on; }
    bool alwaysBounceHorizontal() const { return alwaysBounceHorizontal_; }
    void setAlwaysBounceHorizontal(bool on) { alwaysBounceHorizontal_ = on; }
    bool showsHorizontalScrollIndicator() const { return showsHorizontal_; }
    void setShowsHorizontalScrollIndicator(bool on) { showsHorizontal_ = on; markChanged(); }
    bool showsVerticalScrollIndicator() const { return showsVertical_; }
    void setShowsVerticalScrollIndicator(bool on) { showsVertical_ = on; markChanged(); }
    ScrollViewIndicatorStyle indicatorStyle() const { return indicatorStyle_; }
    void setIndicatorStyle(ScrollViewIndicatorStyle style) { indicatorStyle_ = style; }
    // Fraction of the velocity kept per millisecond (0.998 normal, 0.99 fast).
    double decelerationRate() const { return decelerationRate_; }
    void setDecelerationRate(double rate) { decelerationRate_ = rate; }
    bool isDirectionalLockEnabled() const { return directionalLock_; }
    void setDirectionalLockEnabled(bool on) { directionalLock_ = on; }
    bool scrollsToTop() const { return scrollsToTop_; }
    void setScrollsToTop(bool on) { scrollsToTop_ = on; }
    bool delaysContentTouches() const { return delaysContentTouches_; }
    void setDelaysContentTouches(bool on) { delaysContentTouches_ = on; }
    bool canCancelContentTouches() const { return canCancelContentTouches_; }
    void setCanCancelContentTouches(bool on);

    // ---- Zoom: the delegate names the view that scales.
    double minimumZoomScale() const { return minimumZoomScale_; }
    void setMinimumZoomScale(double scale) { minimumZoomScale_ = scale; }
    double maximumZoomScale() const { return maximumZoomScale_; }
    void setMaximumZoomScale(double scale) { maximumZoomScale_ = scale; }
    double zoomScale() const { return zoomScale_; }
    void setZoomScale(double scale, bool animated = false);
    bool bouncesZoom() const { return bouncesZoom_; }
    void setBouncesZoom(bool on) { bouncesZoom_ = on; }
    bool isZooming() const { return zooming_; }

    // A finger is on the content (from touch down, before any drag starts).
    bool isTracking() const { return tracking_; }
    bool isDragging() const { return dragging_; }
    bool isDecelerating() const { return decelerating_; }

    std::shared_ptr<PanGestureRecognizer> panGestureRecognizer() const { return pan_; }
    std::shared_ptr<PinchGestureRecognizer> pinchGestureRecognizer() const { return pinch_; }

    // Offsets the content can rest at (the insets included).
    Point minimumContentOffset() const;
    Point maximumContentOffset() const;

    void setBounds(const Rect& bounds) override;
    void setFrame(const Rect& frame) override;

protected:
    // Subclasses (the table) follow a change of offset or size here, before the delegate
    // hears of a scroll.
    virtual void visibleRectDidChange() {}

private:
    friend class ScrollPanRecognizer;
    void setup();
    void fingerDown();
    void fingerUp();
    void applyOffset(Point offset);
    void adjustOffsetIfNeeded();
    void handlePan();
    void handlePinch();
    bool canScrollHorizontally() const;
    bool canScrollVertically() const;
    void stopMotion();
    void startDeceleration(Point velocity);
    void decelerationStep();
    void startAnimation(Point target, double duration, bool endsDeceleration);
    void animationStep();
    void finishDeceleration();
    std::shared_ptr<View> zoomView();

    std::weak_ptr<ScrollViewDelegate> delegate_;
    Size contentSize_;
    EdgeInsets contentInset_;
    EdgeInsets indicatorInsets_;
    bool scrollEnabled_ = true;
    bool pagingEnabled_ = false;
    bool bounces_ = true;
    bool alwaysBounceVertical_ = false;
    bool alwaysBounceHorizontal_ = false;
    bool showsHorizontal_ = true;
    bool showsVertical_ = true;
    ScrollViewIndicatorStyle indicatorStyle_ = ScrollViewIndicatorStyle::Default;
    double decelerationRate_ = 0.998;
    bool directionalLock_ = false;
    bool scrollsToTop_ = true;
    bool delaysContentTouches_ = true;
    bool canCancelContentTouches_ = true;
    double minimumZoomScale_ = 1;
    double maximumZoomScale_ = 1;
    double zoomScale_ = 1;
    bool bouncesZoom_ = true;
    bool zooming_ = false;
    bool tracking_ = false;
    bool dragging_ = false;
    bool decelerating_ = false;

    std::shared_ptr<PanGestureRecognizer> pan_;
    std::shared_ptr<PinchGestureRecognizer> pinch_;
    Point dragStart_;
    double pinchStartScale_ = 1;
    Point pinchAnchor_;
    bool lockHorizontal_ = false, lockVertical_ = false;

    TimerRef motionTimer_;
    double lastStep_ = 0;
    Point velocity_;
    // Animated move (programmatic scroll or paging settle).
    Point animFrom_, animTo_;
    double animStart_ = 0, animDuration_ = 0;
    bool animEndsDeceleration_ = false;
};

using ScrollViewRef = std::shared_ptr<ScrollView>;

}  // namespace platform
