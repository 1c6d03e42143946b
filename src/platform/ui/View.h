#pragma once

#include "platform/ui/Animation.h"
#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Responder.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class GestureRecognizer;
class GraphicsContext;
class ViewController;
class Window;

// Which sides stretch when the superview's size changes.
enum AutoresizingMask : unsigned {
    AutoresizingNone = 0,
    AutoresizingFlexibleLeftMargin = 1 << 0,
    AutoresizingFlexibleWidth = 1 << 1,
    AutoresizingFlexibleRightMargin = 1 << 2,
    AutoresizingFlexibleTopMargin = 1 << 3,
    AutoresizingFlexibleHeight = 1 << 4,
    AutoresizingFlexibleBottomMargin = 1 << 5,
};

enum class ContentMode {
    ScaleToFill,      // stretch to the bounds
    ScaleAspectFit,   // whole picture visible, letterboxed
    ScaleAspectFill,  // bounds covered, picture cut
    Center,
    Top,
    Bottom,
    Left,
    Right,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
};

struct Shadow {
    Color color = Color::black();
    Size offset{0, -3};
    double radius = 3;
    double opacity = 0;  // 0: no shadow
};

// The animatable values of a view as drawn (see View::presentation).
struct ViewPresentation {
    Point center;
    Rect bounds;
    AffineTransform transform;
    double alpha = 1;
    Color backgroundColor;
    // In the superview's coordinates: with a transform, its bounding box.
    Rect frame() const;
};

// The base of everything on screen. Views form a tree owned from the top: a view holds
// its subviews strongly and its superview weakly. Make them with std::make_shared.
class View : public Responder, public std::enable_shared_from_this<View> {
public:
    View();
    explicit View(const Rect& frame);
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // The class name the headless driver matches and dumps ("View", "Label", "Button", ...).
    virtual std::string className() const { return "View"; }

    // ---- Geometry: frame in the superview's coordinates, bounds in the view's own.
    // With a non-identity transform, frame is the transformed bounding box.
    Rect frame() const;
    virtual void setFrame(const Rect& frame);
    Rect bounds() const { return bounds_; }
    virtual void setBounds(const Rect& bounds);
    Point center() const { return center_; }
    void setCenter(const Point& center);
    AffineTransform transform() const { return transform_; }
    void setTransform(const AffineTransform& transform);
    unsigned autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(unsigned mask) { autoresizingMask_ = mask; }
    bool autoresizesSubviews() const { return autoresizesSubviews_; }
    void setAutoresizesSubviews(bool on) { autoresizesSubviews_ = on; }

    // ---- Tree
    std::shared_ptr<View> superview() const;
    // The superview without taking a reference (valid while this view is attached).
    View* superviewPointer() const { return superview_; }
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    void addSubview(const std::shared_ptr<View>& view);
    void insertSubview(const std::shared_ptr<View>& view, size_t index);
    void insertSubviewBelow(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling);
    void insertSubviewAbove(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling);
    void removeFromSuperview();
    void bringSubviewToFront(const std::shared_ptr<View>& view);
    void sendSubviewToBack(const std::shared_ptr<View>& view);
    bool isDescendantOf(const View* ancestor) const;
    // The window at the root of this view's tree, or nullptr when it is not on screen.
    Window* window() const;
    // Overridden by Window to return itself.
    virtual Window* asWindow() { return nullptr; }
    std::shared_ptr<View> ptr() { return shared_from_this(); }

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    // This view or the first descendant (depth first, in subview order) with the tag.
    std::shared_ptr<View> viewWithTag(int tag);

    // ---- Appearance
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden);
    double alpha() const { return alpha_; }
    void setAlpha(double alpha);
    Color backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(const Color& color);
    bool clipsToBounds() const { return clipsToBounds_; }
    void setClipsToBounds(bool clips);
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool opaque) { opaque_ = opaque; }
    double cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(double radius);
    double borderWidth() const { return borderWidth_; }
    void setBorderWidth(double width);
    Color borderColor() const { return borderColor_; }
    void setBorderColor(const Color& color);
    const Shadow& shadow() const { return shadow_; }
    void setShadow(const Shadow& shadow);
    ContentMode contentMode() const { return contentMode_; }
    void setContentMode(ContentMode mode);

    // ---- Presentation: what the renderer draws. The model values above, except for the
    // properties an animation is moving: those show the value reached at the run loop
    // clock's now. Hit tests and everything else read the model.
    ViewPresentation presentation() const;
    // Whether some animation of this view has not finished yet.
    bool hasAnimations() const;

    // ---- Interaction
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool on) { userInteractionEnabled_ = on; }
    bool isMultipleTouchEnabled() const { return multipleTouchEnabled_; }
    void setMultipleTouchEnabled(bool on) { multipleTouchEnabled_ = on; }
    bool isExclusiveTouch() const { return exclusiveTouch_; }
    void setExclusiveTouch(bool on) { exclusiveTouch_ = on; }

    // ---- Accessibility: screens carry ids and markers in these.
    const std::string& accessibilityLabel() const { return accessibilityLabel_; }
    void setAccessibilityLabel(const std::string& text) { accessibilityLabel_ = text; }
    const std::string& accessibilityHint() const { return accessibilityHint_; }
    void setAccessibilityHint(const std::string& text) { accessibilityHint_ = text; }
    const std::string& accessibilityValue() const { return accessibilityValue_; }
    void setAccessibilityValue(const std::string& text) { accessibilityValue_ = text; }
    const std::string& accessibilityIdentifier() const { return accessibilityIdentifier_; }
    void setAccessibilityIdentifier(const std::string& text) { accessibilityIdentifier_ = text; }

    // The text this view shows (label text, button title, field text), for finding views
    // and dumping the tree. Empty for views that show no text.
    virtual std::string displayedText() const { return {}; }

    // ---- Layout
    virtual void layoutSubviews() {}
    void setNeedsLayout();
    void layoutIfNeeded();
    virtual Size sizeThatFits(const Size& size) const;
    void sizeToFit();

    // ---- Drawing. The renderer draws the background, border and corners, then calls
    // draw() in the view's own coordinates, then the subviews.
    virtual void draw(GraphicsContext& context, const Rect& rect);
    // Custom drawing without a subclass; runs after draw().
    void setDrawHook(std::function<void(GraphicsContext&, const Rect&)> hook);
    void setNeedsDisplay();
    bool needsDisplay() const { return needsDisplay_; }
    void clearNeedsDisplay() { needsDisplay_ = false; }
    // Bumped by every visible change anywhere; the window host redraws when it moves.
    static unsigned long displayGeneration();

    // ---- Hit testing and coordinates
    // The deepest visible, interactive descendant containing `point` (in this view's
    // coordinates), front-most first; nullptr when the point is outside.
    virtual std::shared_ptr<View> hitTest(const Point& point);
    virtual bool pointInside(const Point& point) const;
    // Maps between this view's coordinates and another's; nullptr means the window.
    Point convertPointTo(const Point& point, const View* view) const;
    Point convertPointFrom(const Point& point, const View* view) const;
    Rect convertRectTo(const Rect& rect, const View* view) const;
    Rect convertRectFrom(const Rect& rect, const View* view) const;

    // ---- Touches and gestures. Unhandled touches go up the responder chain: the view's
    // controller when it is a controller's root view, otherwise the superview.
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void touchesCancelled(const Touches& touches) override;
    Responder* nextResponder() const override;
    void addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    void removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const { return gestures_; }

    // ---- Responder
    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool becomeFirstResponder();
    virtual bool resignFirstResponder();
    bool isFirstResponder() const;
    // Asks the first responder inside this view to resign (endEditing:).
    bool endEditing(bool force);

    // The controller whose root view this is. The controller passes itself twice, as
    // controller and as the responder that receives this view's unhandled touches.
    ViewController* viewController() const { return controller_; }
    void setViewController(ViewController* controller, Responder* responder) {
        controller_ = controller;
        controllerResponder_ = responder;
    }
    // The current first responder of the app, if any.
    static std::shared_ptr<View> firstResponder();

protected:
    virtual void willMoveToSuperview(View* newSuperview) { (void)newSuperview; }
    virtual void didMoveToSuperview() {}
    virtual void didMoveToWindow() {}
    virtual void didAddSubview(View* subview) { (void)subview; }
    virtual void willRemoveSubview(View* subview) { (void)subview; }
    void markChanged();

private:
    friend struct AnimationEngine;
    // Called by the setters of animatable properties before the value changes.
    void propertyWillChange(AnimatableProperty property);
    void attach(const std::shared_ptr<View>& view, size_t index);
    void notifyMovedToWindow();
    void resizeSubviews(const Size& oldSize);
    Rect untransformedFrame() const;

    Rect bounds_;
    Point center_;
    AffineTransform transform_;
    // A plain pointer, so that a view can build its subviews in its constructor (before a
    // shared pointer owns it); the superview clears it when it goes away first.
    View* superview_ = nullptr;
    std::vector<std::shared_ptr<View>> subviews_;
    std::vector<std::shared_ptr<GestureRecognizer>> gestures_;
    std::function<void(GraphicsContext&, const Rect&)> drawHook_;
    ViewController* controller_ = nullptr;
    Responder* controllerResponder_ = nullptr;
    int tag_ = 0;
    unsigned autoresizingMask_ = AutoresizingNone;
    bool autoresizesSubviews_ = true;
    bool hidden_ = false;
    double alpha_ = 1;
    Color backgroundColor_ = Color::clear();
    bool clipsToBounds_ = false;
    bool opaque_ = true;
    double cornerRadius_ = 0;
    double borderWidth_ = 0;
    Color borderColor_ = Color::black();
    Shadow shadow_;
    ContentMode contentMode_ = ContentMode::ScaleToFill;
    bool userInteractionEnabled_ = true;
    bool multipleTouchEnabled_ = false;
    bool exclusiveTouch_ = false;
    bool needsLayout_ = true;
    bool needsDisplay_ = true;
    std::string accessibilityLabel_, accessibilityHint_, accessibilityValue_, accessibilityIdentifier_;
    // Animations of this view's properties; empty (and never looked at) for a still view.
    std::vector<PropertyAnimation> animations_;
};

using ViewRef = std::shared_ptr<View>;

}  // namespace platform
