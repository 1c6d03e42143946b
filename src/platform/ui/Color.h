#pragma once

#include <cstdint>

namespace platform {

// An RGBA colour, components 0..1.
struct Color {
    double r = 0, g = 0, b = 0, a = 0;

    static Color rgba(double r, double g, double b, double a = 1) { return {r, g, b, a}; }
    // From 0..255 components, as the screens give them.
    static Color rgb255(int r, int g, int b, double a = 1) { return {r / 255.0, g / 255.0, b / 255.0, a}; }
    static Color white(double w, double a = 1) { return {w, w, w, a}; }
    static Color clear() { return {0, 0, 0, 0}; }
    static Color black() { return {0, 0, 0, 1}; }
    static Color whiteColor() { return {1, 1, 1, 1}; }
    static Color red() { return {1, 0, 0, 1}; }
    static Color gray() { return {0.5, 0.5, 0.5, 1}; }
    static Color lightGray() { return {2.0 / 3, 2.0 / 3, 2.0 / 3, 1}; }
    static Color darkGray() { return {1.0 / 3, 1.0 / 3, 1.0 / 3, 1}; }
    static Color blue() { return {0, 0, 1, 1}; }

    Color withAlpha(double alpha) const { return {r, g, b, alpha}; }
    bool isClear() const { return a <= 0; }
    bool operator==(const Color&) const = default;
};

}  // namespace platform
