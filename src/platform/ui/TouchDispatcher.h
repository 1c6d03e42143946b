#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/Touch.h"

#include <map>
#include <memory>
#include <vector>

namespace platform {

class GestureRecognizer;
class View;

// Turns raw finger events (from the window host or the headless driver) into touches for
// the views and their gesture recognizers.
//
// When a finger lands, the tree under `root` is hit-tested at the window point; the view
// hit keeps the touch until it lifts. Every event goes first to the recognizers of the
// hit view and of its ancestors (deepest first), then to the hit view's touches methods,
// which pass unhandled touches up the responder chain. When a recognizer recognizes and
// cancels touches in views, the view gets touchesCancelled and nothing more of that touch.
// A control hit by the touch keeps taps to itself: the tap recognizers of its ancestors do
// not see the touch.
class TouchDispatcher {
public:
    static TouchDispatcher& shared();

    void touchBegan(View& root, Point windowPoint, int touchId = 0);
    void touchMoved(View& root, Point windowPoint, int touchId = 0);
    void touchEnded(View& root, Point windowPoint, int touchId = 0);
    void touchCancelled(View& root, int touchId = 0);

    bool isTracking(int touchId) const { return tracking_.count(touchId) != 0; }
    // The view a finger landed on, while it is down.
    std::shared_ptr<View> viewForTouch(int touchId) const;
    // Forgets every finger without telling anyone (a test starting clean).
    void reset();

    // ---- For the recognizers.
    // Whether `recognizer` may begin: no recognizer sharing its touches is already in the
    // middle of a gesture that cannot run alongside it.
    bool mayRecognize(GestureRecognizer& recognizer);
    // `recognizer` began or recognized: recognizers sharing its touches that cannot run
    // alongside it fail, and the views stop receiving those touches if it cancels them.
    void recognizerDidRecognize(GestureRecognizer& recognizer);

private:
    struct Tracking {
        std::shared_ptr<Touch> touch;
        std::shared_ptr<View> view;
        std::vector<std::shared_ptr<GestureRecognizer>> recognizers;
        bool viewCancelled = false;
    };
    TouchDispatcher() = default;
    static std::vector<std::shared_ptr<GestureRecognizer>> recognizersFor(View& hit);
    void finish(int touchId, bool cancelled);

    std::map<int, Tracking> tracking_;
    double lastTapTime_ = -1;
    Point lastTapPoint_;
    int lastTapCount_ = 0;
};

}  // namespace platform
