#include "platform/ui/UiDriver.h"

#include <cmath>

#include "platform/RunLoop.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/MenuController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TouchDispatcher.h"
#include "platform/ui/ViewController.h"

#include <cstdio>
#include <sstream>

namespace platform {

namespace {
void collect(const std::shared_ptr<View>& v, const UiDriver::Predicate& pred, std::vector<std::shared_ptr<View>>& out) {
    if (v->isHidden() || v->alpha() <= 0) return;
    if (pred(*v)) out.push_back(v);
    for (auto& sub : v->subviews()) collect(sub, pred, out);
}

// The touch reached `view` when it landed on it, inside it, or on the view that owns it
// (a label inside a button takes no touches itself: the button gets them).
bool reached(const std::shared_ptr<View>& hit, const View& view) {
    return hit && (hit->isDescendantOf(&view) || view.isDescendantOf(hit.get()));
}

void dumpTree(const View& v, int depth, std::ostringstream& out) {
    Rect f = v.frame();
    char buf[160];
    std::snprintf(buf, sizeof buf, "(%g %g; %g %g)", f.x(), f.y(), f.width(), f.height());
    out << std::string(static_cast<size_t>(depth) * 2, ' ') << v.className() << ' ' << buf;
    if (v.tag()) out << " tag=" << v.tag();
    if (v.isHidden()) out << " hidden";
    if (!v.displayedText().empty()) out << " \"" << v.displayedText() << '"';
    if (!v.accessibilityLabel().empty()) out << " label=" << v.accessibilityLabel();
    out << '\n';
    for (auto& sub : v.subviews()) dumpTree(*sub, depth + 1, out);
}
}  // namespace

UiDriver::UiDriver(std::shared_ptr<Window> window) : window_(std::move(window)) {
    AlertView::clearVisible();
    ActionSheet::clearVisible();
    TouchDispatcher::shared().reset();
    MenuController::shared().reset();
    if (auto fr = View::firstResponder()) fr->resignFirstResponder();
    Keyboard::shared().reset();
    if (!window_) window_ = std::make_shared<Window>();
    window_->makeKeyWindow();
}

UiDriver::~UiDriver() {
    MenuController::shared().reset();
    AlertView::clearVisible();
    ActionSheet::clearVisible();
    TouchDispatcher::shared().reset();
    Keyboard::shared().reset();
}

void UiDriver::show(const std::shared_ptr<ViewController>& controller) {
    window_->setRootViewController(controller);
    window_->makeKeyAndVisible();
    window_->layoutIfNeeded();
}

bool UiDriver::isOnScreen(const View& view) {
    if (!view.window()) return false;
    for (const View* v = &view; v; v = v->superview().get())
        if (v->isHidden() || v->alpha() <= 0) return false;
    return true;
}

std::vector<std::shared_ptr<View>> UiDriver::findAll(const Predicate& predicate) const {
    window_->layoutIfNeeded();
    std::vector<std::shared_ptr<View>> out;
    collect(window_, predicate, out);
    return out;
}

std::shared_ptr<View> UiDriver::find(const Predicate& predicate) const {
    auto all = findAll(predicate);
    // The front-most: the last in tree order.
    return all.empty() ? nullptr : all.back();
}

std::shared_ptr<View> UiDriver::byClass(const std::string& className) const {
    return find([&](const View& v) { return v.className() == className; });
}

std::shared_ptr<View> UiDriver::byTag(int tag) const {
    return find([&](const View& v) { return v.tag() == tag; });
}

std::shared_ptr<View> UiDriver::byText(const std::string& text) const {
    return find([&](const View& v) { return v.displayedText() == text; });
}

std::shared_ptr<View> UiDriver::byTextContaining(const std::string& text) const {
    return find([&](const View& v) { return v.displayedText().find(text) != std::string::npos; });
}

std::shared_ptr<View> UiDriver::byPlaceholder(const std::string& placeholder) const {
    return find([&](const View& v) {
        auto* field = dynamic_cast<const TextField*>(&v);
        return field && field->placeholder() == placeholder;
    });
}

std::shared_ptr<View> UiDriver::byAccessibilityLabel(const std::string& label) const {
    return find([&](const View& v) { return v.accessibilityLabel() == label; });
}

std::shared_ptr<View> UiDriver::byAccessibilityValue(const std::string& value) const {
    return find([&](const View& v) { return v.accessibilityValue() == value; });
}

std::vector<std::string> UiDriver::visibleTexts() const {
    std::vector<std::string> out;
    for (auto& v : findAll([](const View& v) { return !v.displayedText().empty(); })) out.push_back(v->displayedText());
    return out;
}

std::string UiDriver::dump() const {
    window_->layoutIfNeeded();
    std::ostringstream out;
    dumpTree(*window_, 0, out);
    return out.str();
}

Point UiDriver::centerOf(const View& view) const {
    Rect b = view.bounds();
    return view.convertPointTo({b.midX(), b.midY()}, nullptr);
}

bool UiDriver::tapPoint(const Point& point) {
    int id = nextTouch_++;
    window_->touchBegan(point, id);
    auto hit = TouchDispatcher::shared().viewForTouch(id);
    window_->touchEnded(point, id);
    pump();
    return static_cast<bool>(hit);
}

bool UiDriver::tap(const std::shared_ptr<View>& view) {
    if (!view || !isOnScreen(*view)) return false;
    window_->layoutIfNeeded();
    Point p = centerOf(*view);
    int id = nextTouch_++;
    window_->touchBegan(p, id);
    auto hit = TouchDispatcher::shared().viewForTouch(id);
    window_->touchEnded(p, id);
    pump();
    return reached(hit, *view);
}

bool UiDriver::tapText(const std::string& text) { return tap(byText(text)); }

Rect UiDriver::visibleRectOf(const View& view) const {
    if (!isOnScreen(view) || view.window() != window_.get()) return {};
    window_->layoutIfNeeded();
    Rect shown = view.convertRectTo(view.bounds(), nullptr);
    // A view of no size still has a point a finger can land on.
    if (shown.isEmpty()) shown = {shown.midX() - 0.5, shown.midY() - 0.5, 1, 1};
    shown = shown.intersection(window_->bounds());
    for (auto v = view.superview(); v && !shown.isEmpty(); v = v->superview())
        if (v->clipsToBounds()) shown = shown.intersection(v->convertRectTo(v->bounds(), nullptr));
    return shown;
}

const View* UiDriver::screenOf(const View& view) {
    const View* v = &view;
    for (auto parent = v->superview(); parent; parent = parent->superview()) {
        if (parent->asWindow()) return v;
        v = parent.get();
    }
    return nullptr;
}

UiDriver::Landing UiDriver::touchLikeAFinger(const std::shared_ptr<View>& view, double holdSeconds) {
    if (!view) return Landing::NotShowing;
    Rect shown = visibleRectOf(*view);
    if (shown.isEmpty()) return Landing::NotShowing;
    Point p{shown.midX(), shown.midY()};
    auto hit = window_->viewAtPoint(p);
    const View* hitScreen = hit ? screenOf(*hit) : nullptr;
    if (hitScreen && hitScreen != screenOf(*view)) return Landing::Covered;
    int id = nextTouch_++;
    window_->touchBegan(p, id);
    if (holdSeconds > 0) advance(holdSeconds);
    window_->touchEnded(p, id);
    pump();
    return Landing::Touched;
}

bool UiDriver::longPress(const std::shared_ptr<View>& view, double seconds) {
    if (!view || !isOnScreen(*view)) return false;
    window_->layoutIfNeeded();
    Point p = centerOf(*view);
    int id = nextTouch_++;
    window_->touchBegan(p, id);
    auto hit = TouchDispatcher::shared().viewForTouch(id);
    advance(seconds);
    window_->touchEnded(p, id);
    pump();
    return reached(hit, *view);
}

int UiDriver::drag(const Point& from, const Point& to, int steps, double stepSeconds, bool release) {
    int id = beginTouch(from);
    steps = std::max(1, steps);
    for (int i = 1; i <= steps; ++i) {
        advance(stepSeconds);
        double t = static_cast<double>(i) / steps;
        moveTouch(id, {from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t});
    }
    if (release) endTouch(id);
    return id;
}

namespace {
// The two fingers of a pinch or turn: opposite each other about the centre.
std::pair<Point, Point> uiDriverFingerPair(const Point& center, double halfSpread, double angle) {
    const double dx = std::cos(angle) * halfSpread, dy = std::sin(angle) * halfSpread;
    return {{center.x - dx, center.y - dy}, {center.x + dx, center.y + dy}};
}
}  // namespace

void UiDriver::pinch(const Point& center, double scale, double spread, int steps) {
    steps = std::max(1, steps);
    auto [a, b] = uiDriverFingerPair(center, spread / 2, 0);
    const int first = beginTouch(a), second = beginTouch(b);
    for (int i = 1; i <= steps; ++i) {
        advance(0.016);
        const double half = spread / 2 * (1 + (scale - 1) * double(i) / steps);
        auto [p, q] = uiDriverFingerPair(center, half, 0);
        moveTouch(first, p);
        moveTouch(second, q);
    }
    endTouch(first);
    endTouch(second);
}

void UiDriver::rotate(const Point& center, double radians, double spread, int steps) {
    steps = std::max(1, steps);
    auto [a, b] = uiDriverFingerPair(center, spread / 2, 0);
    const int first = beginTouch(a), second = beginTouch(b);
    for (int i = 1; i <= steps; ++i) {
        advance(0.016);
        auto [p, q] = uiDriverFingerPair(center, spread / 2, radians * double(i) / steps);
        moveTouch(first, p);
        moveTouch(second, q);
    }
    endTouch(first);
    endTouch(second);
}

int UiDriver::beginTouch(const Point& point) {
    int id = nextTouch_++;
    fingers_[id] = point;
    window_->touchBegan(point, id);
    return id;
}

void UiDriver::moveTouch(int touchId, const Point& point) {
    fingers_[touchId] = point;
    window_->touchMoved(point, touchId);
}

void UiDriver::endTouch(int touchId) {
    auto it = fingers_.find(touchId);
    if (it == fingers_.end()) return;
    Point p = it->second;
    fingers_.erase(it);
    window_->touchEnded(p, touchId);
    pump();
}

bool UiDriver::type(const std::string& text) {
    bool ok = Keyboard::type(text);
    pump();
    return ok;
}

std::shared_ptr<AlertView> UiDriver::alert() const { return AlertView::topAlert(); }

std::shared_ptr<ActionSheet> UiDriver::sheet() const { return ActionSheet::topSheet(); }

bool UiDriver::pressAlertButton(long index) {
    auto a = alert();
    if (!a || index < 0 || index >= a->numberOfButtons()) return false;
    if (a->window()) return tap(a->buttons()[static_cast<size_t>(index)]);
    a->clickButtonAtIndex(index);
    pump();
    return true;
}

bool UiDriver::pressSheetButton(long index) {
    auto s = sheet();
    if (!s || index < 0 || index >= s->numberOfButtons()) return false;
    if (s->window()) return tap(s->buttons()[static_cast<size_t>(index)]);
    s->clickButtonAtIndex(index);
    pump();
    return true;
}

void UiDriver::pump() {
    for (int i = 0; i < 100 && RunLoop::main().pump(); ++i) {
    }
}

void UiDriver::advance(double seconds) {
    RunLoop::main().advance(seconds);
    pump();
}

}  // namespace platform
