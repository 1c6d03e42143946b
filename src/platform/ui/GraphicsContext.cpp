#include "platform/ui/GraphicsContext.h"

#include "platform/ui/PangoText.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

GraphicsContext::GraphicsContext(cairo_t* cr) : cr_(cr) {}

GraphicsContext::~GraphicsContext() = default;

void GraphicsContext::save() {
    cairo_save(cr_);
    saved_.push_back(state_);
}

void GraphicsContext::restore() {
    cairo_restore(cr_);
    if (!saved_.empty()) {
        state_ = saved_.back();
        saved_.pop_back();
    }
}

void GraphicsContext::translate(double dx, double dy) { cairo_translate(cr_, dx, dy); }
void GraphicsContext::scale(double sx, double sy) { cairo_scale(cr_, sx, sy); }
void GraphicsContext::rotate(double radians) { cairo_rotate(cr_, radians); }

void GraphicsContext::concat(const AffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_transform(cr_, &m);
}

void GraphicsContext::clipToRect(const Rect& rect) {
    cairo_new_path(cr_);
    cairo_rectangle(cr_, rect.x(), rect.y(), rect.width(), rect.height());
    cairo_clip(cr_);
}

void GraphicsContext::clipToRoundedRect(const Rect& rect, double radius) {
    cairo_new_path(cr_);
    roundedRectPath(rect, radius);
    cairo_clip(cr_);
}

void GraphicsContext::setSource(const Color& color) {
    cairo_set_source_rgba(cr_, color.r, color.g, color.b, color.a * state_.alpha);
}

void GraphicsContext::roundedRectPath(const Rect& rect, double radius) {
    double r = std::min({radius, rect.width() / 2, rect.height() / 2});
    if (r <= 0) {
        cairo_rectangle(cr_, rect.x(), rect.y(), rect.width(), rect.height());
        return;
    }
    double x0 = rect.minX(), y0 = rect.minY(), x1 = rect.maxX(), y1 = rect.maxY();
    constexpr double pi = std::numbers::pi;
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, x1 - r, y0 + r, r, -pi / 2, 0);
    cairo_arc(cr_, x1 - r, y1 - r, r, 0, pi / 2);
    cairo_arc(cr_, x0 + r, y1 - r, r, pi / 2, pi);
    cairo_arc(cr_, x0 + r, y0 + r, r, pi, 3 * pi / 2);
    cairo_close_path(cr_);
}

void GraphicsContext::fillRect(const Rect& rect) { fillRect(rect, state_.fill); }

void GraphicsContext::fillRect(const Rect& rect, const Color& color) {
    cairo_new_path(cr_);
    cairo_rectangle(cr_, rect.x(), rect.y(), rect.width(), rect.height());
    setSource(color);
    cairo_fill(cr_);
}

void GraphicsContext::strokeRect(const Rect& rect) {
    cairo_new_path(cr_);
    double h = state_.lineWidth / 2;
    cairo_rectangle(cr_, rect.x() + h, rect.y() + h, rect.width() - 2 * h, rect.height() - 2 * h);
    setSource(state_.stroke);
    cairo_set_line_width(cr_, state_.lineWidth);
    cairo_stroke(cr_);
}

void GraphicsContext::clearRect(const Rect& rect) {
    cairo_save(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_CLEAR);
    cairo_new_path(cr_);
    cairo_rectangle(cr_, rect.x(), rect.y(), rect.width(), rect.height());
    cairo_fill(cr_);
    cairo_restore(cr_);
}

void GraphicsContext::fillRoundedRect(const Rect& rect, double radius) {
    cairo_new_path(cr_);
    roundedRectPath(rect, radius);
    setSource(state_.fill);
    cairo_fill(cr_);
}

void GraphicsContext::strokeRoundedRect(const Rect& rect, double radius) {
    cairo_new_path(cr_);
    double h = state_.lineWidth / 2;
    roundedRectPath(rect.insetBy(h, h), std::max(0.0, radius - h));
    setSource(state_.stroke);
    cairo_set_line_width(cr_, state_.lineWidth);
    cairo_stroke(cr_);
}

namespace {
void ellipsePath(cairo_t* cr, const Rect& rect) {
    if (rect.isEmpty()) return;
    cairo_save(cr);
    cairo_translate(cr, rect.midX(), rect.midY());
    cairo_scale(cr, rect.width() / 2, rect.height() / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_restore(cr);
}
}  // namespace

void GraphicsContext::fillEllipse(const Rect& rect) {
    cairo_new_path(cr_);
    ellipsePath(cr_, rect);
    setSource(state_.fill);
    cairo_fill(cr_);
}

void GraphicsContext::strokeEllipse(const Rect& rect) {
    cairo_new_path(cr_);
    ellipsePath(cr_, rect);
    setSource(state_.stroke);
    cairo_set_line_width(cr_, state_.lineWidth);
    cairo_stroke(cr_);
}

void GraphicsContext::drawLine(Point from, Point to) {
    cairo_new_path(cr_);
    cairo_move_to(cr_, from.x, from.y);
    cairo_line_to(cr_, to.x, to.y);
    setSource(state_.stroke);
    cairo_set_line_width(cr_, state_.lineWidth);
    cairo_stroke(cr_);
}

void GraphicsContext::beginPath() { cairo_new_path(cr_); }
void GraphicsContext::moveTo(Point p) { cairo_move_to(cr_, p.x, p.y); }
void GraphicsContext::lineTo(Point p) { cairo_line_to(cr_, p.x, p.y); }
void GraphicsContext::curveTo(Point c1, Point c2, Point e) { cairo_curve_to(cr_, c1.x, c1.y, c2.x, c2.y, e.x, e.y); }
void GraphicsContext::arc(Point c, double radius, double a0, double a1, bool clockwise) {
    // y points down, so cairo's positive direction is clockwise on screen.
    if (clockwise) cairo_arc(cr_, c.x, c.y, radius, a0, a1);
    else cairo_arc_negative(cr_, c.x, c.y, radius, a0, a1);
}
void GraphicsContext::addRect(const Rect& r) { cairo_rectangle(cr_, r.x(), r.y(), r.width(), r.height()); }
void GraphicsContext::addRoundedRect(const Rect& r, double radius) { roundedRectPath(r, radius); }
void GraphicsContext::closePath() { cairo_close_path(cr_); }

void GraphicsContext::fillPath() {
    setSource(state_.fill);
    cairo_fill(cr_);
}

void GraphicsContext::strokePath() {
    setSource(state_.stroke);
    cairo_set_line_width(cr_, state_.lineWidth);
    cairo_stroke(cr_);
}

Size GraphicsContext::drawText(const std::string& text, const Rect& rect, const Font& font, const Color& color,
                               TextAlignment alignment, LineBreakMode mode, int numberOfLines) {
    if (text.empty()) return {};
    std::lock_guard guard(pangotext::lock());
    PangoLayout* layout = pango_layout_new(pangotext::sharedContext());
    pangotext::configure(layout, text, font, rect.width(), mode, numberOfLines, alignment, rect.height());
    auto extent = pangotext::visibleExtent(layout, numberOfLines, rect.height());
    cairo_save(cr_);
    // Lines that do not fit are not drawn: clip below the last visible one.
    cairo_new_path(cr_);
    cairo_rectangle(cr_, rect.x() - 1, rect.y() - 1, rect.width() > 0 ? rect.width() + 2 : 1e6, extent.height + 1);
    cairo_clip(cr_);
    setSource(color);
    cairo_move_to(cr_, rect.x(), rect.y());
    pango_cairo_show_layout(cr_, layout);
    cairo_restore(cr_);
    g_object_unref(layout);
    return {std::ceil(extent.width), std::ceil(extent.height)};
}

Size GraphicsContext::drawTextAt(const std::string& text, Point point, const Font& font, const Color& color) {
    return drawText(text, Rect(point.x, point.y, 0, 0), font, color, TextAlignment::Left, LineBreakMode::Clip, 1);
}

Rect GraphicsContext::rectForContentMode(Size content, const Rect& b, ContentMode mode) {
    double w = content.width, h = content.height;
    switch (mode) {
    case ContentMode::ScaleToFill: return b;
    case ContentMode::ScaleAspectFit:
    case ContentMode::ScaleAspectFill: {
        if (w <= 0 || h <= 0) return b;
        double sx = b.width() / w, sy = b.height() / h;
        double s = mode == ContentMode::ScaleAspectFit ? std::min(sx, sy) : std::max(sx, sy);
        return {b.midX() - w * s / 2, b.midY() - h * s / 2, w * s, h * s};
    }
    case ContentMode::Center: return {b.midX() - w / 2, b.midY() - h / 2, w, h};
    case ContentMode::Top: return {b.midX() - w / 2, b.minY(), w, h};
    case ContentMode::Bottom: return {b.midX() - w / 2, b.maxY() - h, w, h};
    case ContentMode::Left: return {b.minX(), b.midY() - h / 2, w, h};
    case ContentMode::Right: return {b.maxX() - w, b.midY() - h / 2, w, h};
    case ContentMode::TopLeft: return {b.minX(), b.minY(), w, h};
    case ContentMode::TopRight: return {b.maxX() - w, b.minY(), w, h};
    case ContentMode::BottomLeft: return {b.minX(), b.maxY() - h, w, h};
    case ContentMode::BottomRight: return {b.maxX() - w, b.maxY() - h, w, h};
    }
    return b;
}

namespace {
// Paints the part `src` (pixels) of the surface into `dst` (points). The part is cut out
// as its own surface so that stretching it does not blend in its neighbours.
void paintPart(cairo_t* cr, cairo_surface_t* surface, double sx, double sy, double sw, double sh, const Rect& dst,
               double alpha) {
    if (sw <= 0 || sh <= 0 || dst.width() <= 0 || dst.height() <= 0) return;
    bool whole = sx == 0 && sy == 0 && sw == cairo_image_surface_get_width(surface) &&
                 sh == cairo_image_surface_get_height(surface);
    cairo_surface_t* part = whole ? cairo_surface_reference(surface)
                                  : cairo_surface_create_for_rectangle(surface, sx, sy, sw, sh);
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, dst.x(), dst.y(), dst.width(), dst.height());
    cairo_clip(cr);
    cairo_translate(cr, dst.x(), dst.y());
    cairo_scale(cr, dst.width() / sw, dst.height() / sh);
    cairo_set_source_surface(cr, part, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
    cairo_surface_destroy(part);
}
}  // namespace

void GraphicsContext::drawImage(const Image& image, const Rect& rect, ContentMode mode, double alpha) {
    double a = alpha * state_.alpha;
    double s = image.scale();
    cairo_surface_t* surface = image.surface();
    if (!image.isStretchable()) {
        Rect dst = rectForContentMode(image.size(), rect, mode);
        paintPart(cr_, surface, 0, 0, image.pixelWidth(), image.pixelHeight(), dst, a);
        return;
    }
    // Nine parts: caps keep their size (shrunk only when the rect is smaller than both).
    const EdgeInsets& c = image.capInsets();
    Size size = image.size();
    double l = c.left, r = c.right, t = c.top, b = c.bottom;
    if (l + r > rect.width() && l + r > 0) {
        double k = rect.width() / (l + r);
        l *= k;
        r *= k;
    }
    if (t + b > rect.height() && t + b > 0) {
        double k = rect.height() / (t + b);
        t *= k;
        b *= k;
    }
    double srcX[4] = {0, c.left * s, (size.width - c.right) * s, size.width * s};
    double srcY[4] = {0, c.top * s, (size.height - c.bottom) * s, size.height * s};
    double dstX[4] = {rect.minX(), rect.minX() + l, rect.maxX() - r, rect.maxX()};
    double dstY[4] = {rect.minY(), rect.minY() + t, rect.maxY() - b, rect.maxY()};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            paintPart(cr_, surface, srcX[j], srcY[i], srcX[j + 1] - srcX[j], srcY[i + 1] - srcY[i],
                      Rect(dstX[j], dstY[i], dstX[j + 1] - dstX[j], dstY[i + 1] - dstY[i]), a);
}

// ---- Offscreen

ImageGraphicsContext::ImageGraphicsContext(Size size, double scale, bool opaque)
    : GraphicsContext(nullptr), size_(size), scale_(scale > 0 ? scale : 1), opaque_(opaque) {
    int w = std::max(1, int(std::ceil(size.width * scale_))), h = std::max(1, int(std::ceil(size.height * scale_)));
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cr_ = cairo_create(surface_);
    clear();
}

void ImageGraphicsContext::clear() {
    // Unwind what a drawing left saved, so that frames do not pile up cairo states.
    for (; !saved_.empty(); saved_.pop_back()) cairo_restore(cr_);
    state_ = State{};
    cairo_reset_clip(cr_);
    cairo_new_path(cr_);
    cairo_identity_matrix(cr_);
    cairo_save(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
    if (opaque_)
        cairo_set_source_rgb(cr_, 1, 1, 1);
    else
        cairo_set_source_rgba(cr_, 0, 0, 0, 0);
    cairo_paint(cr_);
    cairo_restore(cr_);
    cairo_scale(cr_, scale_, scale_);
}

_cairo_surface* ImageGraphicsContext::pixels() const {
    cairo_surface_flush(surface_);
    return surface_;
}

ImageGraphicsContext::~ImageGraphicsContext() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

ImageRef ImageGraphicsContext::image() const {
    cairo_surface_flush(surface_);
    // A copy, so that drawing on afterwards does not change the answered picture.
    int w = cairo_image_surface_get_width(surface_), h = cairo_image_surface_get_height(surface_);
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(copy);
    cairo_set_source_surface(cr, surface_, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    auto image = Image::fromSurface(copy, scale_);
    cairo_surface_destroy(copy);
    return image;
}

std::unique_ptr<ImageGraphicsContext> makeImageContext(Size size, double scale, bool opaque) {
    return std::make_unique<ImageGraphicsContext>(size, scale, opaque);
}

}  // namespace platform
