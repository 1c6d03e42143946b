#include "platform/ui/TextMeasure.h"

#include "platform/ui/PangoText.h"

#include <cmath>
#include <unordered_map>

namespace platform {

namespace {
struct CacheEntry {
    Size size;
    int lines;
};
std::unordered_map<std::string, CacheEntry>& cache() {
    static std::unordered_map<std::string, CacheEntry> c;
    return c;
}
constexpr size_t kCacheLimit = 20000;

CacheEntry measure(const std::string& text, const Font& font, double maxWidth, LineBreakMode mode, int lines,
                   double maxHeight) {
    std::string key;
    key.reserve(text.size() + 64);
    key += font.description();
    key += '|';
    key += std::to_string(font.pointSize());
    key += '|';
    key += std::to_string(maxWidth);
    key += '|';
    key += std::to_string(int(mode));
    key += '|';
    key += std::to_string(lines);
    key += '|';
    key += std::to_string(maxHeight);
    key += '|';
    key += text;
    std::lock_guard guard(pangotext::lock());
    auto& c = cache();
    if (auto it = c.find(key); it != c.end()) return it->second;
    PangoLayout* layout = pango_layout_new(pangotext::sharedContext());
    pangotext::configure(layout, text, font, maxWidth, mode, lines, TextAlignment::Left, maxHeight);
    auto extent = pangotext::visibleExtent(layout, lines, maxHeight);
    g_object_unref(layout);
    double w = std::ceil(extent.width - 1e-6);
    if (maxWidth > 0) w = std::min(w, std::ceil(maxWidth));
    CacheEntry e{{w, std::ceil(extent.height - 1e-6)}, extent.lines};
    if (c.size() >= kCacheLimit) c.clear();
    c.emplace(std::move(key), e);
    return e;
}
}  // namespace

Size TextMeasure::size(const std::string& text, const Font& font, double maxWidth, LineBreakMode mode,
                       int numberOfLines, double maxHeight) {
    if (text.empty()) return {0, 0};
    if (!(maxWidth < 1e6)) maxWidth = 0;  // "no limit" given as a huge number
    if (!(maxHeight < 1e6)) maxHeight = 0;
    return measure(text, font, maxWidth, mode, numberOfLines, maxHeight).size;
}

int TextMeasure::lineCount(const std::string& text, const Font& font, double maxWidth, LineBreakMode mode) {
    if (text.empty()) return 0;
    return measure(text, font, maxWidth, mode, 0, 0).lines;
}

void TextMeasure::clearCache() {
    std::lock_guard guard(pangotext::lock());
    cache().clear();
}

}  // namespace platform
