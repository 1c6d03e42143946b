#include "platform/ui/PangoText.h"

#include <algorithm>
#include <map>

namespace platform::pangotext {

namespace {
constexpr double kNoLimit = 1e6;
}

std::recursive_mutex& lock() {
    static std::recursive_mutex m;
    return m;
}

PangoContext* sharedContext() {
    static PangoContext* context = [] {
        PangoFontMap* map = pango_cairo_font_map_new();
        PangoContext* c = pango_font_map_create_context(map);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(c, options);
        cairo_font_options_destroy(options);
        pango_cairo_context_set_resolution(c, 72);
        return c;
    }();
    return context;
}

const PangoFontDescription* description(const Font& font) {
    static std::map<std::string, PangoFontDescription*> cache;
    std::string key = font.description() + "@" + std::to_string(font.pointSize());
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    PangoFontDescription* d = pango_font_description_from_string(font.description().c_str());
    // Sizes are in points, and a point is one unit of our drawing space.
    pango_font_description_set_absolute_size(d, font.pointSize() * PANGO_SCALE);
    cache[key] = d;
    return d;
}

void configure(PangoLayout* layout, const std::string& text, const Font& font, double width, LineBreakMode mode,
               int numberOfLines, TextAlignment alignment, double maxHeight) {
    // Callers pass huge numbers (a float's maximum) for "no limit"; pango takes ints.
    if (!(width < kNoLimit)) width = 0;
    if (!(maxHeight < kNoLimit)) maxHeight = 0;
    pango_layout_set_text(layout, text.c_str(), int(text.size()));
    pango_layout_set_font_description(layout, description(font));
    // A single clipped line is not wrapped: it runs on and is cut at the edge.
    bool oneClippedLine = mode == LineBreakMode::Clip && numberOfLines == 1;
    pango_layout_set_width(layout, width > 0 && !oneClippedLine ? int(width * PANGO_SCALE) : -1);
    pango_layout_set_wrap(layout, mode == LineBreakMode::CharWrap ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
    PangoEllipsizeMode ellipsize = PANGO_ELLIPSIZE_NONE;
    if (width > 0 && (numberOfLines > 0 || maxHeight > 0)) {
        if (mode == LineBreakMode::TruncateTail) ellipsize = PANGO_ELLIPSIZE_END;
        else if (mode == LineBreakMode::TruncateHead) ellipsize = PANGO_ELLIPSIZE_START;
        else if (mode == LineBreakMode::TruncateMiddle) ellipsize = PANGO_ELLIPSIZE_MIDDLE;
    }
    pango_layout_set_ellipsize(layout, ellipsize);
    // A negative height limits the layout to that many lines when ellipsizing, a positive
    // one to the lines that fit.
    int height = -1;
    if (ellipsize != PANGO_ELLIPSIZE_NONE)
        height = numberOfLines > 0 ? -numberOfLines : int(maxHeight * PANGO_SCALE);
    pango_layout_set_height(layout, height);
    PangoAlignment a = PANGO_ALIGN_LEFT;
    if (alignment == TextAlignment::Center) a = PANGO_ALIGN_CENTER;
    else if (alignment == TextAlignment::Right) a = PANGO_ALIGN_RIGHT;
    pango_layout_set_alignment(layout, a);
    pango_layout_set_justify(layout, alignment == TextAlignment::Justified);
}

Extent visibleExtent(PangoLayout* layout, int numberOfLines, double maxHeight) {
    Extent e;
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    int index = 0;
    do {
        if (numberOfLines > 0 && index >= numberOfLines) break;
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        double bottom = double(logical.y + logical.height) / PANGO_SCALE;
        if (maxHeight > 0 && maxHeight < kNoLimit && index > 0 && bottom > maxHeight + 0.01) break;
        e.height = bottom;
        // Widths from x 0, so alignment inside a fixed width does not change the answer.
        PangoLayoutLine* line = pango_layout_iter_get_line_readonly(iter);
        PangoRectangle lineLogical;
        pango_layout_line_get_extents(line, nullptr, &lineLogical);
        e.width = std::max(e.width, double(lineLogical.width) / PANGO_SCALE);
        ++index;
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    e.lines = index;
    return e;
}

}  // namespace platform::pangotext
