#pragma once

#include <algorithm>
#include <cmath>

namespace platform {

// Geometry in points, origin top-left, y down (the handset's convention).
struct Point {
    double x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0, height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    Point origin;
    Size size;

    Rect() = default;
    Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}
    Rect(Point o, Size s) : origin(o), size(s) {}

    double x() const { return origin.x; }
    double y() const { return origin.y; }
    double width() const { return size.width; }
    double height() const { return size.height; }
    double minX() const { return std::min(origin.x, origin.x + size.width); }
    double minY() const { return std::min(origin.y, origin.y + size.height); }
    double maxX() const { return std::max(origin.x, origin.x + size.width); }
    double maxY() const { return std::max(origin.y, origin.y + size.height); }
    double midX() const { return origin.x + size.width / 2; }
    double midY() const { return origin.y + size.height / 2; }
    bool isEmpty() const { return size.width <= 0 || size.height <= 0; }
    bool contains(Point p) const { return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY(); }
    bool intersects(const Rect& r) const {
        return !isEmpty() && !r.isEmpty() && minX() < r.maxX() && r.minX() < maxX() && minY() < r.maxY() &&
               r.minY() < maxY();
    }
    Rect intersection(const Rect& r) const {
        double x0 = std::max(minX(), r.minX()), y0 = std::max(minY(), r.minY());
        double x1 = std::min(maxX(), r.maxX()), y1 = std::min(maxY(), r.maxY());
        if (x1 <= x0 || y1 <= y0) return {};
        return {x0, y0, x1 - x0, y1 - y0};
    }
    Rect offsetBy(double dx, double dy) const { return {origin.x + dx, origin.y + dy, size.width, size.height}; }
    Rect insetBy(double dx, double dy) const {
        return {origin.x + dx, origin.y + dy, size.width - 2 * dx, size.height - 2 * dy};
    }
    bool operator==(const Rect&) const = default;
};

struct EdgeInsets {
    double top = 0, left = 0, bottom = 0, right = 0;
    bool operator==(const EdgeInsets&) const = default;
};

inline Rect insetRect(const Rect& r, const EdgeInsets& e) {
    return {r.x() + e.left, r.y() + e.top, r.width() - e.left - e.right, r.height() - e.top - e.bottom};
}

// A range of UTF-16 code units in a text (selection, replacement).
struct Range {
    long location = 0;
    long length = 0;
    bool operator==(const Range&) const = default;
};
constexpr long NotFound = -1;

// 2-D affine transform: [a b 0; c d 0; tx ty 1], applied as x' = a x + c y + tx.
struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static AffineTransform identity() { return {}; }
    static AffineTransform scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static AffineTransform rotation(double radians) {
        double cs = std::cos(radians), sn = std::sin(radians);
        return {cs, sn, -sn, cs, 0, 0};
    }
    static AffineTransform translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    // this, then other.
    AffineTransform concat(const AffineTransform& o) const {
        return {a * o.a + b * o.c,          a * o.b + b * o.d,          c * o.a + d * o.c,
                c * o.b + d * o.d,          tx * o.a + ty * o.c + o.tx, tx * o.b + ty * o.d + o.ty};
    }
    AffineTransform inverted() const {
        double det = a * d - b * c;
        if (std::fabs(det) < 1e-12) return *this;
        return {d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
    }
    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    bool isIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1 && tx == 0 && ty == 0; }
    bool operator==(const AffineTransform&) const = default;
};

}  // namespace platform
