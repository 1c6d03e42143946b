#pragma once

#include "platform/ui/Image.h"

#include <optional>
#include <string>
#include <vector>

namespace platform {

// A QR symbol's modules, row by row: `width` × `width`, true for a dark module.
struct QrMatrix {
    int width = 0;
    std::vector<bool> modules;
    bool dark(int x, int y) const { return modules[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

// Makes QR codes with libqrencode.
class QrEncoder {
public:
    // Error-correction levels, lowest to highest.
    enum Level { L = 0, M = 1, Q = 2, H = 3 };

    // The symbol of the UTF-8 text (8-bit mode) at `level`; `version` 1-40, or 0 (or
    // below) for the smallest version that holds the text. Nothing for an empty text or
    // one that does not fit.
    static std::optional<QrMatrix> encode(const std::string& text, Level level, int version);
    // The symbol drawn black on white into a square picture of `size` points (twice as
    // many pixels), every module a square of the same whole number of pixels, centred
    // with a white margin of at least two modules.
    static ImageRef render(const QrMatrix& matrix, double size);
};

}  // namespace platform
