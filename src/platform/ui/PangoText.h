#pragma once

// Shared pango plumbing for TextMeasure and GraphicsContext (internal to the view layer).

#include "platform/ui/TextMeasure.h"

#include <pango/pangocairo.h>

#include <mutex>

namespace platform::pangotext {

// Pango's font map is not safe to share across threads: every use holds this lock.
std::recursive_mutex& lock();
// A context on our own font map, with fixed font options (no hinting, fractional metrics),
// so that measuring and drawing agree and do not depend on the display.
PangoContext* sharedContext();
// Cached description for a font (owned by the cache).
const PangoFontDescription* description(const Font& font);
// Text, font, wrapping, truncation and alignment as the views ask for them. A truncating
// mode puts its ellipsis in the last line shown: the line limit, else the last line that
// fits in maxHeight; with neither, nothing is cut.
void configure(PangoLayout* layout, const std::string& text, const Font& font, double width, LineBreakMode mode,
               int numberOfLines, TextAlignment alignment, double maxHeight = 0);
// The lines that are shown (limited by count and height) and their extent in points.
struct Extent {
    int lines = 0;
    double width = 0;
    double height = 0;
};
Extent visibleExtent(PangoLayout* layout, int numberOfLines, double maxHeight);

}  // namespace platform::pangotext
