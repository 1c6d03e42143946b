#include "platform/ui/View.h"

#include "platform/ui/GestureRecognizer.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace platform {

namespace {
std::atomic<unsigned long> generation{1};
std::weak_ptr<View>& firstResponderSlot() {
    static std::weak_ptr<View> slot;
    return slot;
}

Rect boundingBox(const Rect& r, const AffineTransform& t, const Point& center) {
    // Corners relative to the center, transformed, then back around the center.
    double hw = r.width() / 2, hh = r.height() / 2;
    Point corners[4] = {{-hw, -hh}, {hw, -hh}, {-hw, hh}, {hw, hh}};
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (auto& c : corners) {
        Point p = t.apply(c);
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    return {center.x + x0, center.y + y0, x1 - x0, y1 - y0};
}
}  // namespace

View::View() = default;

View::View(const Rect& frame) { setFrame(frame); }

View::~View() {
    for (auto& sub : subviews_) sub->superview_ = nullptr;
}

std::shared_ptr<View> View::superview() const {
    return superview_ ? superview_->weak_from_this().lock() : nullptr;
}

unsigned long View::displayGeneration() { return generation.load(); }

void View::markChanged() {
    needsDisplay_ = true;
    ++generation;
}

Rect View::untransformedFrame() const {
    return {center_.x - bounds_.width() / 2, center_.y - bounds_.height() / 2, bounds_.width(), bounds_.height()};
}

Rect View::frame() const {
    if (transform_.isIdentity()) return untransformedFrame();
    return boundingBox(bounds_, transform_, center_);
}

Rect ViewPresentation::frame() const {
    if (transform.isIdentity())
        return {center.x - bounds.width() / 2, center.y - bounds.height() / 2, bounds.width(), bounds.height()};
    return boundingBox(bounds, transform, center);
}

ViewPresentation View::presentation() const {
    ViewPresentation shown{center_, bounds_, transform_, alpha_, backgroundColor_};
    if (!animations_.empty()) AnimationEngine::present(animations_, shown);
    return shown;
}

bool View::hasAnimations() const {
    return std::any_of(animations_.begin(), animations_.end(), [](const auto& a) { return a.isActive(); });
}

void View::propertyWillChange(AnimatableProperty property) {
    // A still view outside an animation block pays for one test.
    if (!animations_.empty() || AnimationEngine::isCollecting()) AnimationEngine::propertyWillChange(*this, property);
}

void View::setFrame(const Rect& frame) {
    propertyWillChange(AnimatableProperty::Center);
    propertyWillChange(AnimatableProperty::Bounds);
    Size old = bounds_.size;
    if (transform_.isIdentity()) {
        bounds_.size = frame.size;
        center_ = {frame.midX(), frame.midY()};
    } else {
        // With a transform, setting the frame moves the view; the size stays.
        center_ = {frame.midX(), frame.midY()};
    }
    if (!(old == bounds_.size)) {
        resizeSubviews(old);
        setNeedsLayout();
    }
    markChanged();
}

void View::setBounds(const Rect& bounds) {
    propertyWillChange(AnimatableProperty::Bounds);
    Size old = bounds_.size;
    bounds_ = bounds;
    if (!(old == bounds_.size)) {
        resizeSubviews(old);
        setNeedsLayout();
    }
    markChanged();
}

void View::setCenter(const Point& center) {
    propertyWillChange(AnimatableProperty::Center);
    center_ = center;
    markChanged();
}

void View::setTransform(const AffineTransform& transform) {
    propertyWillChange(AnimatableProperty::Transform);
    transform_ = transform;
    markChanged();
}

void View::resizeSubviews(const Size& oldSize) {
    if (!autoresizesSubviews_ || (oldSize.width == 0 && oldSize.height == 0)) return;
    double dw = bounds_.width() - oldSize.width, dh = bounds_.height() - oldSize.height;
    for (auto& sub : subviews_) {
        unsigned m = sub->autoresizingMask_;
        if (m == AutoresizingNone) continue;
        Rect f = sub->untransformedFrame();
        auto distribute = [](double delta, bool a, bool b, bool c, double& pos, double& len) {
            int parts = int(a) + int(b) + int(c);
            if (parts == 0) return;
            double share = delta / parts;
            if (a) pos += share;
            if (b) len += share;
        };
        double x = f.x(), w = f.width(), y = f.y(), h = f.height();
        distribute(dw, m & AutoresizingFlexibleLeftMargin, m & AutoresizingFlexibleWidth,
                   m & AutoresizingFlexibleRightMargin, x, w);
        distribute(dh, m & AutoresizingFlexibleTopMargin, m & AutoresizingFlexibleHeight,
                   m & AutoresizingFlexibleBottomMargin, y, h);
        sub->setFrame({x, y, std::max(0.0, w), std::max(0.0, h)});
    }
}

// ---- Tree

void View::attach(const std::shared_ptr<View>& view, size_t index) {
    if (!view || view.get() == this) return;
    if (view->superview_ == this) {
        auto it = std::find(subviews_.begin(), subviews_.end(), view);
        size_t from = static_cast<size_t>(it - subviews_.begin());
        subviews_.erase(it);
        if (index > from) --index;
        subviews_.insert(subviews_.begin() + static_cast<long>(std::min(index, subviews_.size())), view);
        markChanged();
        return;
    }
    auto keep = view;  // removing from the old superview must not destroy it
    view->removeFromSuperview();
    view->willMoveToSuperview(this);
    subviews_.insert(subviews_.begin() + static_cast<long>(std::min(index, subviews_.size())), view);
    view->superview_ = this;
    didAddSubview(view.get());
    view->didMoveToSuperview();
    view->notifyMovedToWindow();
    markChanged();
}

void View::addSubview(const std::shared_ptr<View>& view) { attach(view, subviews_.size()); }

void View::insertSubview(const std::shared_ptr<View>& view, size_t index) { attach(view, index); }

void View::insertSubviewBelow(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling) {
    auto it = std::find(subviews_.begin(), subviews_.end(), sibling);
    attach(view, it == subviews_.end() ? 0 : static_cast<size_t>(it - subviews_.begin()));
}

void View::insertSubviewAbove(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling) {
    auto it = std::find(subviews_.begin(), subviews_.end(), sibling);
    attach(view, it == subviews_.end() ? subviews_.size() : static_cast<size_t>(it - subviews_.begin()) + 1);
}

void View::removeFromSuperview() {
    View* parent = superview_;
    if (!parent) return;
    auto self = shared_from_this();
    if (isFirstResponder() || (firstResponder() && firstResponder()->isDescendantOf(this))) {
        if (auto fr = firstResponder()) fr->resignFirstResponder();
    }
    parent->willRemoveSubview(this);
    willMoveToSuperview(nullptr);
    auto& list = parent->subviews_;
    list.erase(std::remove(list.begin(), list.end(), self), list.end());
    superview_ = nullptr;
    didMoveToSuperview();
    notifyMovedToWindow();
    parent->markChanged();
}

void View::bringSubviewToFront(const std::shared_ptr<View>& view) {
    auto it = std::find(subviews_.begin(), subviews_.end(), view);
    if (it == subviews_.end()) return;
    subviews_.erase(it);
    subviews_.push_back(view);
    markChanged();
}

void View::sendSubviewToBack(const std::shared_ptr<View>& view) {
    auto it = std::find(subviews_.begin(), subviews_.end(), view);
    if (it == subviews_.end()) return;
    subviews_.erase(it);
    subviews_.insert(subviews_.begin(), view);
    markChanged();
}

bool View::isDescendantOf(const View* ancestor) const {
    for (const View* v = this; v; v = v->superview_)
        if (v == ancestor) return true;
    return false;
}

Window* View::window() const {
    auto* root = const_cast<View*>(this);
    while (root->superview_) root = root->superview_;
    return root->asWindow();
}

void View::notifyMovedToWindow() {
    didMoveToWindow();
    // Copy: a subclass may change its subviews when it arrives in a window.
    auto children = subviews_;
    for (auto& sub : children) sub->notifyMovedToWindow();
}

std::shared_ptr<View> View::viewWithTag(int tag) {
    if (tag_ == tag) return shared_from_this();
    for (auto& sub : subviews_)
        if (auto found = sub->viewWithTag(tag)) return found;
    return nullptr;
}

// ---- Appearance

void View::setHidden(bool hidden) {
    if (hidden_ == hidden) return;
    hidden_ = hidden;
    if (hidden && firstResponder() && firstResponder()->isDescendantOf(this)) firstResponder()->resignFirstResponder();
    markChanged();
}

void View::setAlpha(double alpha) {
    propertyWillChange(AnimatableProperty::Alpha);
    alpha_ = std::clamp(alpha, 0.0, 1.0);
    markChanged();
}

void View::setBackgroundColor(const Color& color) {
    propertyWillChange(AnimatableProperty::BackgroundColor);
    backgroundColor_ = color;
    markChanged();
}

void View::setClipsToBounds(bool clips) {
    clipsToBounds_ = clips;
    markChanged();
}

void View::setCornerRadius(double radius) {
    cornerRadius_ = radius;
    markChanged();
}

void View::setBorderWidth(double width) {
    borderWidth_ = width;
    markChanged();
}

void View::setBorderColor(const Color& color) {
    borderColor_ = color;
    markChanged();
}

void View::setShadow(const Shadow& shadow) {
    shadow_ = shadow;
    markChanged();
}

void View::setContentMode(ContentMode mode) {
    contentMode_ = mode;
    markChanged();
}

// ---- Layout

void View::setNeedsLayout() {
    needsLayout_ = true;
    ++generation;
}

void View::layoutIfNeeded() {
    if (needsLayout_) {
        needsLayout_ = false;
        layoutSubviews();
    }
    auto children = subviews_;
    for (auto& sub : children) sub->layoutIfNeeded();
}

Size View::sizeThatFits(const Size&) const { return bounds_.size; }

void View::sizeToFit() {
    Size s = sizeThatFits(bounds_.size);
    Rect f = untransformedFrame();
    setFrame({f.x(), f.y(), s.width, s.height});
}

// ---- Drawing

void View::draw(GraphicsContext& context, const Rect& rect) {
    if (drawHook_) drawHook_(context, rect);
}

void View::setDrawHook(std::function<void(GraphicsContext&, const Rect&)> hook) {
    drawHook_ = std::move(hook);
    markChanged();
}

void View::setNeedsDisplay() { markChanged(); }

// ---- Hit testing and coordinates

bool View::pointInside(const Point& point) const { return bounds_.contains(point); }

std::shared_ptr<View> View::hitTest(const Point& point) {
    if (hidden_ || !userInteractionEnabled_ || alpha_ < 0.01) return nullptr;
    if (!pointInside(point)) return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        auto& sub = *it;
        Point local = sub->convertPointFrom(point, this);
        if (auto hit = sub->hitTest(local)) return hit;
    }
    return shared_from_this();
}

namespace {
// From this view's coordinates to its superview's.
Point toSuper(const View& v, const Point& p) {
    Rect b = v.bounds();
    Point rel{p.x - b.x() - b.width() / 2, p.y - b.y() - b.height() / 2};
    Point t = v.transform().apply(rel);
    return {t.x + v.center().x, t.y + v.center().y};
}
Point fromSuper(const View& v, const Point& p) {
    Rect b = v.bounds();
    Point rel{p.x - v.center().x, p.y - v.center().y};
    Point t = v.transform().inverted().apply(rel);
    return {t.x + b.x() + b.width() / 2, t.y + b.y() + b.height() / 2};
}
// To the coordinates of the root of the tree.
Point toRoot(const View* v, Point p) {
    for (; v && v->superviewPointer(); v = v->superviewPointer()) p = toSuper(*v, p);
    return p;
}
Point fromRoot(const View* v, Point p) {
    std::vector<const View*> chain;
    for (; v && v->superviewPointer(); v = v->superviewPointer()) chain.push_back(v);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) p = fromSuper(**it, p);
    return p;
}
}  // namespace

Point View::convertPointTo(const Point& point, const View* view) const {
    Point root = toRoot(this, point);
    return view ? fromRoot(view, root) : root;
}

Point View::convertPointFrom(const Point& point, const View* view) const {
    Point root = view ? toRoot(view, point) : point;
    return fromRoot(this, root);
}

Rect View::convertRectTo(const Rect& rect, const View* view) const {
    Point a = convertPointTo(rect.origin, view);
    Point b = convertPointTo({rect.maxX(), rect.maxY()}, view);
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::fabs(b.x - a.x), std::fabs(b.y - a.y)};
}

Rect View::convertRectFrom(const Rect& rect, const View* view) const {
    Point a = convertPointFrom(rect.origin, view);
    Point b = convertPointFrom({rect.maxX(), rect.maxY()}, view);
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::fabs(b.x - a.x), std::fabs(b.y - a.y)};
}

// ---- Touches

Responder* View::nextResponder() const {
    if (controllerResponder_) return controllerResponder_;
    return superview_;
}

void View::touchesBegan(const Touches& touches) {
    if (controllerResponder_) controllerResponder_->touchesBegan(touches);
    else if (superview_) superview_->touchesBegan(touches);
}
void View::touchesMoved(const Touches& touches) {
    if (controllerResponder_) controllerResponder_->touchesMoved(touches);
    else if (superview_) superview_->touchesMoved(touches);
}
void View::touchesEnded(const Touches& touches) {
    if (controllerResponder_) controllerResponder_->touchesEnded(touches);
    else if (superview_) superview_->touchesEnded(touches);
}
void View::touchesCancelled(const Touches& touches) {
    if (controllerResponder_) controllerResponder_->touchesCancelled(touches);
    else if (superview_) superview_->touchesCancelled(touches);
}

void View::addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer) {
    if (!recognizer) return;
    removeGestureRecognizer(recognizer);
    gestures_.push_back(recognizer);
    recognizer->attachToView(this);
}

void View::removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer) {
    auto it = std::find(gestures_.begin(), gestures_.end(), recognizer);
    if (it == gestures_.end()) return;
    (*it)->attachToView(nullptr);
    gestures_.erase(it);
}

// ---- Responder

std::shared_ptr<View> View::firstResponder() { return firstResponderSlot().lock(); }

bool View::becomeFirstResponder() {
    if (!canBecomeFirstResponder()) return false;
    auto current = firstResponder();
    if (current.get() == this) return true;
    if (current && !current->resignFirstResponder()) return false;
    firstResponderSlot() = weak_from_this();
    markChanged();
    return true;
}

bool View::resignFirstResponder() {
    if (firstResponder().get() == this) {
        firstResponderSlot().reset();
        markChanged();
    }
    return true;
}

bool View::isFirstResponder() const { return firstResponder().get() == this; }

bool View::endEditing(bool) {
    auto fr = firstResponder();
    if (fr && fr->isDescendantOf(this)) return fr->resignFirstResponder();
    return true;
}

}  // namespace platform
