#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

struct _cairo;
struct _cairo_surface;

namespace platform {

// What views draw through: a cairo context in points. Fill and stroke colours, line width
// and alpha are part of the saved state.
class GraphicsContext {
public:
    // Draws on `cr` (borrowed), whose user space is already in points.
    explicit GraphicsContext(_cairo* cr);
    virtual ~GraphicsContext();
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    _cairo* cairo() const { return cr_; }

    void save();
    void restore();
    void translate(double dx, double dy);
    void scale(double sx, double sy);
    void rotate(double radians);
    void concat(const AffineTransform& transform);

    void clipToRect(const Rect& rect);
    void clipToRoundedRect(const Rect& rect, double radius);

    void setFillColor(const Color& color) { state_.fill = color; }
    void setStrokeColor(const Color& color) { state_.stroke = color; }
    void setLineWidth(double width) { state_.lineWidth = width; }
    // Multiplies everything drawn from now on (until restore).
    void setAlpha(double alpha) { state_.alpha = alpha; }
    double alpha() const { return state_.alpha; }

    void fillRect(const Rect& rect);
    void fillRect(const Rect& rect, const Color& color);
    void strokeRect(const Rect& rect);
    void clearRect(const Rect& rect);
    void fillRoundedRect(const Rect& rect, double radius);
    void strokeRoundedRect(const Rect& rect, double radius);
    void fillEllipse(const Rect& rect);
    void strokeEllipse(const Rect& rect);
    void drawLine(Point from, Point to);

    // Paths: build with move/line/curve/arc, then fill or stroke (which clears the path).
    void beginPath();
    void moveTo(Point p);
    void lineTo(Point p);
    void curveTo(Point c1, Point c2, Point end);
    void arc(Point center, double radius, double startAngle, double endAngle, bool clockwise = true);
    void addRect(const Rect& rect);
    void addRoundedRect(const Rect& rect, double radius);
    void closePath();
    void fillPath();
    void strokePath();

    // Text in `rect`, wrapped and truncated as a label would, from the rect's top. Answers
    // the size used.
    Size drawText(const std::string& text, const Rect& rect, const Font& font, const Color& color,
                  TextAlignment alignment = TextAlignment::Left, LineBreakMode mode = LineBreakMode::WordWrap,
                  int numberOfLines = 0);
    // A single line with its top-left at `point`.
    Size drawTextAt(const std::string& text, Point point, const Font& font, const Color& color);

    // The picture placed in `rect` by `mode`; a stretchable picture stretches between its
    // caps. Drawn at the current alpha times `alpha`.
    void drawImage(const Image& image, const Rect& rect, ContentMode mode = ContentMode::ScaleToFill,
                   double alpha = 1);

    // Where `mode` puts content of `content` size inside `bounds`.
    static Rect rectForContentMode(Size content, const Rect& bounds, ContentMode mode);

protected:
    struct State {
        Color fill = Color::black();
        Color stroke = Color::black();
        double lineWidth = 1;
        double alpha = 1;
    };
    void setSource(const Color& color);
    void roundedRectPath(const Rect& rect, double radius);

    _cairo* cr_;
    State state_;
    std::vector<State> saved_;
};

// An offscreen picture to draw into: `size` points at `scale` pixels per point, clear
// (or white when opaque). image() answers what has been drawn so far.
class ImageGraphicsContext : public GraphicsContext {
public:
    ImageGraphicsContext(Size size, double scale = 1, bool opaque = false);
    ~ImageGraphicsContext() override;
    ImageRef image() const;
    // Starts the picture over (clear or white, as made) with a fresh drawing state, keeping
    // its pixels' memory: what a window's frame loop draws into, so that a frame does not
    // allocate a screen-sized picture.
    void clear();
    // The pixels drawn so far, without a copy; valid until the next drawing or clear().
    _cairo_surface* pixels() const;
    Size size() const { return size_; }
    double contextScale() const { return scale_; }

private:
    _cairo_surface* surface_;
    Size size_;
    double scale_;
    bool opaque_;
};

std::unique_ptr<ImageGraphicsContext> makeImageContext(Size size, double scale = 1, bool opaque = false);

}  // namespace platform
