#pragma once

#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class AlertView;
class ActionSheet;
class ViewController;

// Drives the view layer headless, the way a user would: finds views by what they show,
// taps them through real hit testing in the window (a covered view is not reached),
// types through the keyboard, answers alerts and sheets, and moves time on the run loop
// (with the ManualClock of the tests). Making one starts the view layer clean: no alerts,
// sheets, keyboard, fingers or first responder are left from before.
class UiDriver {
public:
    explicit UiDriver(std::shared_ptr<Window> window = nullptr);
    ~UiDriver();

    Window& window() { return *window_; }
    const std::shared_ptr<Window>& windowRef() const { return window_; }
    // Makes `controller` the window's root and the window key and visible.
    void show(const std::shared_ptr<ViewController>& controller);

    // ---- Finding (depth first from the window, front-most last). Only views that are
    // on screen count: in the window, not hidden themselves or through an ancestor.
    using Predicate = std::function<bool(const View&)>;
    std::vector<std::shared_ptr<View>> findAll(const Predicate& predicate) const;
    std::shared_ptr<View> find(const Predicate& predicate) const;
    std::shared_ptr<View> byClass(const std::string& className) const;
    std::shared_ptr<View> byTag(int tag) const;
    std::shared_ptr<View> byText(const std::string& text) const;
    std::shared_ptr<View> byTextContaining(const std::string& text) const;
    std::shared_ptr<View> byPlaceholder(const std::string& placeholder) const;
    std::shared_ptr<View> byAccessibilityLabel(const std::string& label) const;
    std::shared_ptr<View> byAccessibilityValue(const std::string& value) const;
    template <class T>
    std::shared_ptr<T> as(const std::shared_ptr<View>& view) const {
        return std::dynamic_pointer_cast<T>(view);
    }
    static bool isOnScreen(const View& view);
    // Every displayed text on screen, in tree order (for assertions and failure output).
    std::vector<std::string> visibleTexts() const;
    // The tree as indented lines: class, frame, tag and text.
    std::string dump() const;

    // ---- Touches, in window coordinates. Each answers whether the touch landed on the
    // view (or inside it) when it began.
    bool tap(const std::shared_ptr<View>& view);
    bool tapPoint(const Point& point);
    // Taps the front-most view on screen showing `text`; false when there is none.
    bool tapText(const std::string& text);
    // Holds a finger on the view for `seconds` of run-loop time, then lifts it.
    bool longPress(const std::shared_ptr<View>& view, double seconds = 1.0);
    // Drags from `from` to `to` in `steps` moves, `stepSeconds` apart; `release` lifts the
    // finger at the end. Answers the finger's id (for moveTouch / endTouch when it stays down).
    int drag(const Point& from, const Point& to, int steps = 10, double stepSeconds = 0.016, bool release = true);
    // Two fingers about `center`, `spread` points apart, moved in `steps` steps until they
    // are `scale` times as far apart (pinch) or turned by `radians`, clockwise on screen
    // (rotate), then lifted.
    void pinch(const Point& center, double scale, double spread = 100, int steps = 10);
    void rotate(const Point& center, double radians, double spread = 100, int steps = 10);
    // One finger step by step.
    int beginTouch(const Point& point);
    void moveTouch(int touchId, const Point& point);
    // Lifts the finger where it last was.
    void endTouch(int touchId);
    Point centerOf(const View& view) const;

    // ---- Touches as a finger gives them (the automation scripts). The finger lands on
    // the centre of the part of the view that shows (inside the window and every clipping
    // ancestor) and the touch goes to whatever the hit test finds there: a title label
    // lying over its button hands the touch to the button. Only another screen lying over
    // that point (an alert, a sheet, the keyboard, a presented screen) keeps the finger
    // off; then nothing is touched.
    enum class Landing { Touched, NotShowing, Covered };
    // Taps (holdSeconds 0) or holds the finger down for that much run-loop time.
    Landing touchLikeAFinger(const std::shared_ptr<View>& view, double holdSeconds = 0);
    // The part of `view` that shows, in window points; empty when none does.
    Rect visibleRectOf(const View& view) const;
    // The screen `view` belongs to: the window's own subview that holds it (a screen's
    // view or an overlay); null for the window itself or a view outside it.
    static const View* screenOf(const View& view);

    // ---- Keyboard
    // Types into the first responder ("\n" Return, "\b" Backspace).
    bool type(const std::string& text);

    // ---- Alerts and sheets: press button `index` of the front-most one by tapping it.
    std::shared_ptr<AlertView> alert() const;
    std::shared_ptr<ActionSheet> sheet() const;
    bool pressAlertButton(long index);
    bool pressSheetButton(long index);

    // ---- Time
    // Runs what is queued and due now.
    void pump();
    // Moves the run-loop clock, firing timers on the way.
    void advance(double seconds);
    // Lets transitions and animations end (advances one second).
    void settle() { advance(1.0); }

private:
    std::shared_ptr<Window> window_;
    int nextTouch_ = 1;
    std::map<int, Point> fingers_;
};

}  // namespace platform
