#include "platform/ui/Font.h"

#include "platform/ui/PangoText.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace platform {

namespace {
std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}
bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }
}  // namespace

Font Font::systemFontOfSize(double size) { return Font("System", size, false, false); }
Font Font::boldSystemFontOfSize(double size) { return Font("System-Bold", size, true, false); }
Font Font::italicSystemFontOfSize(double size) { return Font("System-Italic", size, false, true); }

Font Font::fontWithName(const std::string& name, double size) {
    std::string l = lower(name);
    bool bold = l.find("bold") != std::string::npos || l.find("heavy") != std::string::npos ||
                l.find("black") != std::string::npos;
    bool italic = l.find("italic") != std::string::npos || l.find("oblique") != std::string::npos;
    return Font(name, size, bold, italic);
}

Font Font::fontWithSize(double size) const { return Font(name_, size, bold_, italic_); }

std::string Font::familyName() const {
    std::string l = lower(name_);
    if (startsWith(l, "system") || startsWith(l, "helvetica") || startsWith(l, ".helvetica") ||
        startsWith(l, "arial") || startsWith(l, "stheiti") || startsWith(l, "heiti") || startsWith(l, "pingfang"))
        return "Liberation Sans";
    if (startsWith(l, "courier") || startsWith(l, "menlo")) return "Liberation Mono";
    if (startsWith(l, "times") || startsWith(l, "georgia")) return "Liberation Serif";
    std::string family = name_.substr(0, name_.find('-'));
    return family.empty() ? "Liberation Sans" : family;
}

std::string Font::description() const {
    std::string d = familyName() + ",Noto Sans CJK SC";
    if (bold_) d += " Bold";
    if (italic_) d += " Italic";
    return d;
}

namespace {
struct Metrics {
    double ascent, descent;
};
Metrics metricsFor(const Font& font) {
    static std::map<std::pair<std::string, double>, Metrics> cache;
    std::lock_guard guard(pangotext::lock());
    auto key = std::make_pair(font.description(), font.pointSize());
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    // Measure a line of the primary font: its logical extent gives ascent and descent.
    PangoLayout* layout = pango_layout_new(pangotext::sharedContext());
    pango_layout_set_font_description(layout, pangotext::description(font));
    pango_layout_set_text(layout, "Ag", -1);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    double baseline = double(pango_layout_get_baseline(layout)) / PANGO_SCALE;
    double height = double(logical.height) / PANGO_SCALE;
    g_object_unref(layout);
    Metrics m{baseline, baseline - height};
    cache[key] = m;
    return m;
}
}  // namespace

double Font::ascender() const { return metricsFor(*this).ascent; }
double Font::descender() const { return metricsFor(*this).descent; }
double Font::lineHeight() const {
    Metrics m = metricsFor(*this);
    return m.ascent - m.descent;
}

}  // namespace platform
