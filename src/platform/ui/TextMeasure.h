#pragma once

#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"

#include <string>

namespace platform {

enum class LineBreakMode { WordWrap, CharWrap, Clip, TruncateHead, TruncateTail, TruncateMiddle };
enum class TextAlignment { Left, Center, Right, Justified, Natural };

// Text measurement with pango, the same layout the drawing uses, so a label sized by a
// measurement shows its whole text. Results are cached (measuring the same cell text
// again costs a lookup). Safe on any thread.
class TextMeasure {
public:
    // The size `text` takes in `font`, wrapped at `maxWidth` (0: no wrapping), limited to
    // `numberOfLines` lines (0: any number) and to the lines that fit in `maxHeight`
    // (0: no limit, at least one line is always counted). Rounded up to whole points;
    // empty text measures 0 x 0.
    static Size size(const std::string& text, const Font& font, double maxWidth = 0,
                     LineBreakMode mode = LineBreakMode::WordWrap, int numberOfLines = 0, double maxHeight = 0);

    // The single-line size (sizeWithFont:).
    static Size sizeWithFont(const std::string& text, const Font& font) { return size(text, font); }
    // Wrapped within `constrained` (sizeWithFont:constrainedToSize:lineBreakMode:).
    static Size sizeWithFont(const std::string& text, const Font& font, Size constrained,
                             LineBreakMode mode = LineBreakMode::WordWrap) {
        return size(text, font, constrained.width, mode, 0, constrained.height);
    }

    // Number of lines `text` wraps to in `maxWidth`.
    static int lineCount(const std::string& text, const Font& font, double maxWidth,
                         LineBreakMode mode = LineBreakMode::WordWrap);

    static void clearCache();
};

}  // namespace platform
