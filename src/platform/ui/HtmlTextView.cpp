#include "platform/ui/HtmlTextView.h"

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/LazyImageView.h"
#include "platform/ui/PangoText.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <list>
#include <optional>
#include <unordered_map>

namespace platform {

namespace {

constexpr const char* kObjectReplacement = "\xEF\xBF\xBC";
constexpr std::size_t kObjectReplacementLength = 3;

std::string lowered(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string trimmedCss(const std::string& text) {
    std::size_t a = 0, b = text.size();
    while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
    return text.substr(a, b - a);
}

// The CSS colour names (CSS Color Module Level 3), as 0xRRGGBB.
const std::unordered_map<std::string, unsigned>& namedColors() {
    static const std::unordered_map<std::string, unsigned> names = {
        {"aliceblue", 0xF0F8FF}, {"antiquewhite", 0xFAEBD7}, {"aqua", 0x00FFFF}, {"aquamarine", 0x7FFFD4},
        {"azure", 0xF0FFFF}, {"beige", 0xF5F5DC}, {"bisque", 0xFFE4C4}, {"black", 0x000000},
        {"blanchedalmond", 0xFFEBCD}, {"blue", 0x0000FF}, {"blueviolet", 0x8A2BE2}, {"brown", 0xA52A2A},
        {"burlywood", 0xDEB887}, {"cadetblue", 0x5F9EA0}, {"chartreuse", 0x7FFF00}, {"chocolate", 0xD2691E},
        {"coral", 0xFF7F50}, {"cornflowerblue", 0x6495ED}, {"cornsilk", 0xFFF8DC}, {"crimson", 0xDC143C},
        {"cyan", 0x00FFFF}, {"darkblue", 0x00008B}, {"darkcyan", 0x008B8B}, {"darkgoldenrod", 0xB8860B},
        {"darkgray", 0xA9A9A9}, {"darkgreen", 0x006400}, {"darkgrey", 0xA9A9A9}, {"darkkhaki", 0xBDB76B},
        {"darkmagenta", 0x8B008B}, {"darkolivegreen", 0x556B2F}, {"darkorange", 0xFF8C00},
        {"darkorchid", 0x9932CC}, {"darkred", 0x8B0000}, {"darksalmon", 0xE9967A}, {"darkseagreen", 0x8FBC8F},
        {"darkslateblue", 0x483D8B}, {"darkslategray", 0x2F4F4F}, {"darkslategrey", 0x2F4F4F},
        {"darkturquoise", 0x00CED1}, {"darkviolet", 0x9400D3}, {"deeppink", 0xFF1493}, {"deepskyblue", 0x00BFFF},
        {"dimgray", 0x696969}, {"dimgrey", 0x696969}, {"dodgerblue", 0x1E90FF}, {"firebrick", 0xB22222},
        {"floralwhite", 0xFFFAF0}, {"forestgreen", 0x228B22}, {"fuchsia", 0xFF00FF}, {"gainsboro", 0xDCDCDC},
        {"ghostwhite", 0xF8F8FF}, {"gold", 0xFFD700}, {"goldenrod", 0xDAA520}, {"gray", 0x808080},
        {"grey", 0x808080}, {"green", 0x008000}, {"greenyellow", 0xADFF2F}, {"honeydew", 0xF0FFF0},
        {"hotpink", 0xFF69B4}, {"indianred", 0xCD5C5C}, {"indigo", 0x4B0082}, {"ivory", 0xFFFFF0},
        {"khaki", 0xF0E68C}, {"lavender", 0xE6E6FA}, {"lavenderblush", 0xFFF0F5}, {"lawngreen", 0x7CFC00},
        {"lemonchiffon", 0xFFFACD}, {"lightblue", 0xADD8E6}, {"lightcoral", 0xF08080}, {"lightcyan", 0xE0FFFF},
        {"lightgoldenrodyellow", 0xFAFAD2}, {"lightgray", 0xD3D3D3}, {"lightgreen", 0x90EE90},
        {"lightgrey", 0xD3D3D3}, {"lightpink", 0xFFB6C1}, {"lightsalmon", 0xFFA07A}, {"lightseagreen", 0x20B2AA},
        {"lightskyblue", 0x87CEFA}, {"lightslategray", 0x778899}, {"lightslategrey", 0x778899},
        {"lightsteelblue", 0xB0C4DE}, {"lightyellow", 0xFFFFE0}, {"lime", 0x00FF00}, {"limegreen", 0x32CD32},
        {"linen", 0xFAF0E6}, {"magenta", 0xFF00FF}, {"maroon", 0x800000}, {"mediumaquamarine", 0x66CDAA},
        {"mediumblue", 0x0000CD}, {"mediumorchid", 0xBA55D3}, {"mediumpurple", 0x9370DB},
        {"mediumseagreen", 0x3CB371}, {"mediumslateblue", 0x7B68EE}, {"mediumspringgreen", 0x00FA9A},
        {"mediumturquoise", 0x48D1CC}, {"mediumvioletred", 0xC71585}, {"midnightblue", 0x191970},
        {"mintcream", 0xF5FFFA}, {"mistyrose", 0xFFE4E1}, {"moccasin", 0xFFE4B5}, {"navajowhite", 0xFFDEAD},
        {"navy", 0x000080}, {"oldlace", 0xFDF5E6}, {"olive", 0x808000}, {"olivedrab", 0x6B8E23},
        {"orange", 0xFFA500}, {"orangered", 0xFF4500}, {"orchid", 0xDA70D6}, {"palegoldenrod", 0xEEE8AA},
        {"palegreen", 0x98FB98}, {"paleturquoise", 0xAFEEEE}, {"palevioletred", 0xDB7093},
        {"papayawhip", 0xFFEFD5}, {"peachpuff", 0xFFDAB9}, {"peru", 0xCD853F}, {"pink", 0xFFC0CB},
        {"plum", 0xDDA0DD}, {"powderblue", 0xB0E0E6}, {"purple", 0x800080}, {"red", 0xFF0000},
        {"rosybrown", 0xBC8F8F}, {"royalblue", 0x4169E1}, {"saddlebrown", 0x8B4513}, {"salmon", 0xFA8072},
        {"sandybrown", 0xF4A460}, {"seagreen", 0x2E8B57}, {"seashell", 0xFFF5EE}, {"sienna", 0xA0522D},
        {"silver", 0xC0C0C0}, {"skyblue", 0x87CEEB}, {"slateblue", 0x6A5ACD}, {"slategray", 0x708090},
        {"slategrey", 0x708090}, {"snow", 0xFFFAFA}, {"springgreen", 0x00FF7F}, {"steelblue", 0x4682B4},
        {"tan", 0xD2B48C}, {"teal", 0x008080}, {"thistle", 0xD8BFD8}, {"tomato", 0xFF6347},
        {"turquoise", 0x40E0D0}, {"violet", 0xEE82EE}, {"wheat", 0xF5DEB3}, {"white", 0xFFFFFF},
        {"whitesmoke", 0xF5F5F5}, {"yellow", 0xFFFF00}, {"yellowgreen", 0x9ACD32},
    };
    return names;
}

Color colorOfHex(unsigned value) {
    return Color::rgb255(int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF));
}

// One rgb() component: a number 0-255 or a percentage; nothing for anything else.
std::optional<double> rgbComponent(const std::string& text) {
    std::string t = trimmedCss(text);
    if (t.empty()) return std::nullopt;
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (end == t.c_str()) return std::nullopt;
    std::string rest = trimmedCss(end);
    if (rest == "%") v = v * 255.0 / 100.0;
    else if (!rest.empty()) return std::nullopt;
    return std::clamp(v, 0.0, 255.0) / 255.0;
}

// A CSS colour: rgb(), rgba(), #rgb, #rrggbb or a name; nothing when it is none of them.
std::optional<Color> parseCssColor(const std::string& value) {
    std::string v = lowered(trimmedCss(value));
    if (v.empty()) return std::nullopt;
    if (v[0] == '#') {
        std::string hex = v.substr(1);
        if (hex.empty() || !std::all_of(hex.begin(), hex.end(), [](char c) { return std::isxdigit(c) != 0; }))
            return std::nullopt;
        if (hex.size() == 3) hex = {hex[0], hex[0], hex[1], hex[1], hex[2], hex[2]};
        if (hex.size() != 6) return std::nullopt;
        return colorOfHex(unsigned(std::strtoul(hex.c_str(), nullptr, 16)));
    }
    if (v.rfind("rgb", 0) == 0) {
        auto open = v.find('('), close = v.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open) return std::nullopt;
        std::vector<std::string> parts;
        std::string inner = v.substr(open + 1, close - open - 1), part;
        for (char c : inner) {
            if (c == ',') {
                parts.push_back(part);
                part.clear();
            } else {
                part += c;
            }
        }
        parts.push_back(part);
        if (parts.size() != 3 && parts.size() != 4) return std::nullopt;
        auto r = rgbComponent(parts[0]), g = rgbComponent(parts[1]), b = rgbComponent(parts[2]);
        if (!r || !g || !b) return std::nullopt;
        double a = parts.size() == 4 ? std::clamp(std::strtod(trimmedCss(parts[3]).c_str(), nullptr), 0.0, 1.0) : 1.0;
        return Color::rgba(*r, *g, *b, a);
    }
    auto found = namedColors().find(v);
    if (found != namedColors().end()) return colorOfHex(found->second);
    if (v == "transparent") return Color::clear();
    return std::nullopt;
}

// The value of one property of an inline style ("color:red; vertical-align:middle").
std::string styleProperty(const std::string& style, const std::string& property) {
    std::size_t start = 0;
    while (start <= style.size()) {
        std::size_t end = style.find(';', start);
        if (end == std::string::npos) end = style.size();
        std::string declaration = style.substr(start, end - start);
        auto colon = declaration.find(':');
        if (colon != std::string::npos && lowered(trimmedCss(declaration.substr(0, colon))) == property)
            return trimmedCss(declaration.substr(colon + 1));
        start = end + 1;
    }
    return {};
}

std::string htmlAttribute(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value) return {};
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

// A size attribute ("16", "16px"); 0 when it is not a positive number.
double htmlSizeAttribute(xmlNode* node, const char* name) {
    std::string text = trimmedCss(htmlAttribute(node, name));
    double v = std::strtod(text.c_str(), nullptr);
    return std::isfinite(v) && v > 0 ? v : 0;
}

// A CSS length in pixels ("36px", "36"); 0 for anything else (percentages, em).
double cssPixels(const std::string& value) {
    std::string text = lowered(trimmedCss(value));
    if (text.size() > 2 && text.compare(text.size() - 2, 2, "px") == 0) text.resize(text.size() - 2);
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !trimmedCss(end).empty()) return 0;
    return std::isfinite(v) && v > 0 ? v : 0;
}

// A source that can only be the name of an application picture: a plain file name.
bool isApplicationPictureName(const std::string& source) {
    if (source.empty() || source[0] == '.' || source.size() > 64) return false;
    return std::all_of(source.begin(), source.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' || c == '@';
    });
}

struct TextStyle {
    std::optional<Color> color;
    bool bold = false;
    bool italic = false;
    int link = -1;
    // "sup" raises the text, "sub" lowers it; both draw it smaller.
    int shift = 0;
};

struct StyledRange {
    std::size_t start, end;
    TextStyle style;
};

struct Picture {
    std::size_t index;
    double width, height;
    HtmlAttachment attachment;
};

struct LinkRange {
    std::size_t start, end;
    std::string url, identifier;
};

bool isSkippedElement(const std::string& name) {
    return name == "script" || name == "style" || name == "iframe" || name == "object" || name == "embed" ||
           name == "head" || name == "noscript" || name == "template";
}

bool isBlockElement(const std::string& name) { return name == "p" || name == "div" || name == "li" || name == "ul"; }

PangoAttribute* ranged(PangoAttribute* attribute, std::size_t start, std::size_t end) {
    attribute->start_index = guint(start);
    attribute->end_index = guint(end);
    return attribute;
}

guint16 colorChannel(double v) { return guint16(std::lround(std::clamp(v, 0.0, 1.0) * 65535)); }

struct LayoutCache {
    std::list<std::pair<std::string, std::shared_ptr<const HtmlLayout>>> order;
    std::unordered_map<std::string, decltype(order)::iterator> index;
    std::size_t made = 0;
};

LayoutCache& layoutCache() {
    static LayoutCache cache;
    return cache;
}


// Walks the parsed document into text, styled ranges, links and pictures.
struct MarkupBuilder {
    explicit MarkupBuilder(const HtmlTextOptions& o) : options(o) {}

    const HtmlTextOptions& options;
    std::string text;
    std::vector<StyledRange> ranges;
    std::vector<LinkRange> links;
    std::vector<Picture> pictures;
    bool atLineStart = true;
    bool pendingSpace = false;
    bool pendingBreak = false;
    int listDepth = 0;

    // Before content: the pending paragraph break, then a collapsed space.
    void beginContent() {
        if (pendingBreak && !text.empty()) {
            text += '\n';
            atLineStart = true;
        }
        pendingBreak = false;
        if (pendingSpace && !atLineStart) text += ' ';
        pendingSpace = false;
    }

    void appendText(const std::string& chunk, const TextStyle& style) {
        std::size_t start = std::string::npos;
        for (char c : chunk) {
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
                if (!atLineStart) pendingSpace = true;
                continue;
            }
            beginContent();
            if (start == std::string::npos) start = text.size();
            text += c;
            atLineStart = false;
        }
        if (start != std::string::npos) ranges.push_back({start, text.size(), style});
    }

    void lineBreak() {
        if (pendingBreak && !text.empty()) text += '\n';
        pendingBreak = false;
        pendingSpace = false;
        text += '\n';
        atLineStart = true;
    }

    void blockBoundary() {
        if (!text.empty() && !atLineStart) pendingBreak = true;
        pendingSpace = false;
    }

    void picture(xmlNode* node) {
        const std::string source = trimmedCss(htmlAttribute(node, "src"));
        HtmlAttachment attachment;
        attachment.source = source;
        attachment.middle = lowered(styleProperty(htmlAttribute(node, "style"), "vertical-align")) == "middle";
        if (LazyImageView::isRemoteAddress(source)) {
            attachment.remoteUrl = source;
        } else if (isApplicationPictureName(source)) {
            auto image = Image::imageNamed(source);
            if (image && !image->isPlaceholder()) attachment.image = image;
        }
        double w = htmlSizeAttribute(node, "width"), h = htmlSizeAttribute(node, "height");
        // An inline style ("width: 72px; height: 36px;") wins over the attributes.
        const std::string style = htmlAttribute(node, "style");
        if (double styled = cssPixels(styleProperty(style, "width")); styled > 0) w = styled;
        if (double styled = cssPixels(styleProperty(style, "height")); styled > 0) h = styled;
        if (attachment.image) {
            Size natural = attachment.image->size();
            if (w <= 0 && h <= 0) {
                w = natural.width;
                h = natural.height;
            } else if (w <= 0) {
                w = natural.height > 0 ? h * natural.width / natural.height : h;
            } else if (h <= 0) {
                h = natural.width > 0 ? w * natural.height / natural.width : w;
            }
        }
        if (w <= 0) w = options.maxImageWidth;
        if (h <= 0) h = options.maxImageHeight;
        double fit = std::min({1.0, options.maxImageWidth / w, options.maxImageHeight / h});
        w *= fit;
        h *= fit;
        beginContent();
        pictures.push_back({text.size(), w, h, attachment});
        text += kObjectReplacement;
        atLineStart = false;
    }

    void walk(xmlNode* node, const TextStyle& inherited) {
        for (xmlNode* child = node; child; child = child->next) {
            if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
                if (child->content) appendText(reinterpret_cast<const char*>(child->content), inherited);
                continue;
            }
            if (child->type != XML_ELEMENT_NODE) continue;
            const std::string name = lowered(reinterpret_cast<const char*>(child->name));
            if (isSkippedElement(name)) continue;
            TextStyle style = inherited;
            if (name == "br") {
                lineBreak();
                continue;
            }
            if (name == "img") {
                picture(child);
                continue;
            }
            if (name == "b") style.bold = true;
            if (name == "i") style.italic = true;
            if (name == "sup") style.shift = 1;
            if (name == "sub") style.shift = -1;
            if (name == "span") {
                if (auto color = parseCssColor(styleProperty(htmlAttribute(child, "style"), "color"))) style.color = color;
            }
            std::size_t linkIndex = 0;
            if (name == "a") {
                std::string href = trimmedCss(htmlAttribute(child, "href"));
                if (!href.empty()) {
                    linkIndex = links.size();
                    links.push_back({0, 0, href, htmlAttribute(child, "id")});
                    style.link = int(linkIndex);
                    style.color = options.linkColor;
                }
            }
            const bool block = isBlockElement(name);
            if (block) blockBoundary();
            if (name == "ul") ++listDepth;
            if (name == "li" && listDepth > 0) {
                beginContent();
                appendText("\xE2\x80\xA2", style);
                pendingSpace = true;
            }
            const std::size_t before = text.size();
            walk(child->children, style);
            if (style.link >= 0 && name == "a") {
                links[linkIndex].start = before;
                links[linkIndex].end = text.size();
            }
            if (name == "ul") --listDepth;
            if (block) blockBoundary();
        }
    }
};

}  // namespace

std::string HtmlTextOptions::key() const {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "%g|%g|%g|%g|%.4f,%.4f,%.4f,%.4f|%.4f,%.4f,%.4f,%.4f|%d|", textSizeMultiplier,
                  lineHeightMultiplier, maxImageWidth, maxImageHeight, textColor.r, textColor.g, textColor.b,
                  textColor.a, linkColor.r, linkColor.g, linkColor.b, linkColor.a, underlineLinks ? 1 : 0);
    return buffer + fontFamily;
}

HtmlLayout::~HtmlLayout() {
    if (!layout_) return;
    std::lock_guard guard(pangotext::lock());
    g_object_unref(layout_);
}

std::size_t HtmlLayout::layoutsMade() { return layoutCache().made; }

void HtmlLayout::clearCache() {
    auto& cache = layoutCache();
    cache.order.clear();
    cache.index.clear();
}

std::shared_ptr<const HtmlLayout> HtmlLayout::layoutFor(const std::string& markup, const HtmlTextOptions& options,
                                                        double width) {
    if (!(width > 0) || !std::isfinite(width)) width = 0;
    char widthText[32];
    std::snprintf(widthText, sizeof widthText, "%.3f", width);
    std::string key = options.key() + '\x1f' + widthText + '\x1f' + markup;
    auto& cache = layoutCache();
    if (auto found = cache.index.find(key); found != cache.index.end()) {
        cache.order.splice(cache.order.begin(), cache.order, found->second);
        return found->second->second;
    }

    MarkupBuilder builder(options);
    if (!markup.empty()) {
        const int parseOptions = HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_RECOVER |
                                 HTML_PARSE_NOIMPLIED | HTML_PARSE_COMPACT;
        // A wrapper keeps fragments (a bare text, several top-level elements) in one tree.
        const std::string document = "<div>" + markup + "</div>";
        htmlDocPtr doc =
            htmlReadMemory(document.data(), int(document.size()), nullptr, "UTF-8", parseOptions);
        if (doc) {
            builder.walk(xmlDocGetRootElement(doc), TextStyle{});
            xmlFreeDoc(doc);
        }
    }

    std::shared_ptr<HtmlLayout> result(new HtmlLayout());
    result->width_ = width;
    const std::string& text = builder.text;
    {
        std::lock_guard guard(pangotext::lock());
        PangoLayout* layout = pango_layout_new(pangotext::sharedContext());
        result->layout_ = layout;
        pango_layout_set_text(layout, text.c_str(), int(text.size()));
        Font font = Font::fontWithName(options.fontFamily, options.fontSize());
        pango_layout_set_font_description(layout, pangotext::description(font));
        pango_layout_set_width(layout, width > 0 ? int(width * PANGO_SCALE) : -1);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        if (options.lineHeightMultiplier > 0)
            pango_layout_set_line_spacing(layout, float(options.lineHeightMultiplier));

        PangoAttrList* list = pango_attr_list_new();
        const Color base = options.textColor;
        if (!text.empty()) {
            pango_attr_list_insert(list, ranged(pango_attr_foreground_new(colorChannel(base.r), colorChannel(base.g),
                                                                           colorChannel(base.b)),
                                                0, text.size()));
            if (base.a < 1)
                pango_attr_list_insert(list, ranged(pango_attr_foreground_alpha_new(colorChannel(base.a)), 0, text.size()));
        }
        for (const auto& range : builder.ranges) {
            if (range.style.color) {
                const Color c = *range.style.color;
                pango_attr_list_insert(
                    list, ranged(pango_attr_foreground_new(colorChannel(c.r), colorChannel(c.g), colorChannel(c.b)), range.start,
                                 range.end));
                pango_attr_list_insert(list,
                                       ranged(pango_attr_foreground_alpha_new(colorChannel(c.a)), range.start, range.end));
            }
            if (range.style.bold)
                pango_attr_list_insert(list, ranged(pango_attr_weight_new(PANGO_WEIGHT_BOLD), range.start, range.end));
            if (range.style.italic)
                pango_attr_list_insert(list, ranged(pango_attr_style_new(PANGO_STYLE_ITALIC), range.start, range.end));
            if (range.style.shift != 0) {
                const double rise = range.style.shift * options.fontSize() * 0.35;
                pango_attr_list_insert(list, ranged(pango_attr_rise_new(int(std::lround(rise * PANGO_SCALE))),
                                                    range.start, range.end));
                pango_attr_list_insert(list, ranged(pango_attr_scale_new(0.7), range.start, range.end));
            }
            if (range.style.link >= 0 && options.underlineLinks)
                pango_attr_list_insert(list,
                                       ranged(pango_attr_underline_new(PANGO_UNDERLINE_SINGLE), range.start, range.end));
        }
        // Pictures take their box in the line; "middle" centres them on the text.
        const double middleOfText = (font.ascender() + font.descender()) / 2;
        std::vector<double> pictureTop(builder.pictures.size());
        for (std::size_t i = 0; i < builder.pictures.size(); ++i) {
            const auto& p = builder.pictures[i];
            double top = p.attachment.middle ? -(middleOfText + p.height / 2) : -p.height;
            pictureTop[i] = top;
            PangoRectangle box{0, int(std::lround(top * PANGO_SCALE)), int(std::lround(p.width * PANGO_SCALE)),
                               int(std::lround(p.height * PANGO_SCALE))};
            pango_attr_list_insert(list, ranged(pango_attr_shape_new(&box, &box), p.index,
                                                p.index + kObjectReplacementLength));
        }
        pango_layout_set_attributes(layout, list);
        pango_attr_list_unref(list);

        PangoRectangle logical;
        pango_layout_get_extents(layout, nullptr, &logical);
        result->height_ = text.empty() ? 0 : std::ceil(double(logical.y + logical.height) / PANGO_SCALE - 1e-6);

        // Baselines of the lines, to place the pictures; line boxes for the links.
        struct LineBox {
            int start, end;
            double top, height, baseline;
            PangoLayoutLine* line;
        };
        std::vector<LineBox> lines;
        PangoLayoutIter* iter = pango_layout_get_iter(layout);
        do {
            PangoLayoutLine* line = pango_layout_iter_get_line_readonly(iter);
            PangoRectangle extents;
            pango_layout_iter_get_line_extents(iter, nullptr, &extents);
            lines.push_back({line->start_index, line->start_index + line->length, double(extents.y) / PANGO_SCALE,
                             double(extents.height) / PANGO_SCALE,
                             double(pango_layout_iter_get_baseline(iter)) / PANGO_SCALE, line});
        } while (pango_layout_iter_next_line(iter));
        pango_layout_iter_free(iter);

        for (std::size_t i = 0; i < builder.pictures.size(); ++i) {
            const auto& p = builder.pictures[i];
            int lineNumber = 0, x = 0;
            pango_layout_index_to_line_x(layout, int(p.index), 0, &lineNumber, &x);
            double baseline = lineNumber >= 0 && std::size_t(lineNumber) < lines.size() ? lines[lineNumber].baseline : 0;
            HtmlAttachment attachment = p.attachment;
            attachment.frame = Rect(double(x) / PANGO_SCALE, baseline + pictureTop[i], p.width, p.height);
            result->attachments_.push_back(std::move(attachment));
        }
        for (const auto& range : builder.links) {
            HtmlLink link{range.url, range.identifier, {}};
            for (const auto& box : lines) {
                int from = std::max(int(range.start), box.start), to = std::min(int(range.end), box.end);
                if (from >= to) continue;
                int* ranges = nullptr;
                int count = 0;
                pango_layout_line_get_x_ranges(box.line, from, to, &ranges, &count);
                // One box per line: the runs of a link's text on a line lie side by side.
                if (count > 0) {
                    int left = ranges[0], right = ranges[1];
                    for (int k = 1; k < count; ++k) {
                        left = std::min(left, ranges[2 * k]);
                        right = std::max(right, ranges[2 * k + 1]);
                    }
                    link.rects.emplace_back(double(left) / PANGO_SCALE, box.top, double(right - left) / PANGO_SCALE,
                                            box.height);
                }
                g_free(ranges);
            }
            result->links_.push_back(std::move(link));
        }
    }

    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, kObjectReplacementLength, kObjectReplacement) == 0) {
            i += kObjectReplacementLength;
            continue;
        }
        plain += text[i++];
    }
    result->plainText_ = std::move(plain);

    ++cache.made;
    cache.order.emplace_front(key, result);
    cache.index[key] = cache.order.begin();
    while (cache.order.size() > kCacheLimit) {
        cache.index.erase(cache.order.back().first);
        cache.order.pop_back();
    }
    return result;
}

void HtmlLayout::draw(GraphicsContext& context, Point origin) const {
    if (!layout_ || plainText_.empty()) return;
    std::lock_guard guard(pangotext::lock());
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, context.alpha());
    cairo_move_to(cr, origin.x, origin.y);
    if (context.alpha() < 1) {
        cairo_push_group(cr);
        pango_cairo_show_layout(cr, layout_);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, context.alpha());
    } else {
        pango_cairo_show_layout(cr, layout_);
    }
    cairo_restore(cr);
}

// ---- The view

HtmlTextView::HtmlTextView() = default;

HtmlTextView::HtmlTextView(const Rect& frame) : View(frame) {}

HtmlTextView::~HtmlTextView() = default;

std::string HtmlTextView::displayedText() const {
    auto current = layout();
    return current ? current->plainText() : std::string();
}

void HtmlTextView::setHtml(const std::string& markup, const HtmlTextOptions& options) {
    markup_ = markup;
    options_ = options;
    layout_.reset();
    placedWidth_ = -1;
    setNeedsLayout();
    setNeedsDisplay();
}

void HtmlTextView::setContentInsets(const EdgeInsets& insets) {
    insets_ = insets;
    layout_.reset();
    placedWidth_ = -1;
    setNeedsLayout();
    setNeedsDisplay();
}

double HtmlTextView::contentHeightForWidth(double width) const {
    if (markup_.empty()) return 0;
    auto measured = HtmlLayout::layoutFor(markup_, options_, width - insets_.left - insets_.right);
    return measured->height() > 0 ? measured->height() + insets_.top + insets_.bottom : 0;
}

std::shared_ptr<const HtmlLayout> HtmlTextView::layout() const {
    if (markup_.empty()) return nullptr;
    const double width = bounds().width() - insets_.left - insets_.right;
    const double wanted = width > 0 ? width : 0;
    if (!layout_ || std::abs(layout_->width() - wanted) > 1e-6) layout_ = HtmlLayout::layoutFor(markup_, options_, width);
    return layout_;
}

void HtmlTextView::setFrame(const Rect& frame) {
    const double oldWidth = bounds().width();
    View::setFrame(frame);
    if (std::abs(bounds().width() - oldWidth) > 1e-6) {
        setNeedsLayout();
        setNeedsDisplay();
    }
}

void HtmlTextView::layoutSubviews() {
    View::layoutSubviews();
    if (std::abs(placedWidth_ - bounds().width()) > 1e-6) rebuildSubviews();
}

void HtmlTextView::rebuildSubviews() {
    placedWidth_ = bounds().width();
    for (auto& view : placed_) view->removeFromSuperview();
    placed_.clear();
    auto current = layout();
    if (!current) return;
    auto owner = delegate();
    const Point offset{insets_.left, insets_.top};
    for (const auto& attachment : current->attachments()) {
        Rect frame = attachment.frame.offsetBy(offset.x, offset.y);
        std::shared_ptr<View> view;
        if (owner) {
            view = owner->viewForAttachment(*this, attachment, frame);
        } else {
            auto picture = std::make_shared<LazyImageView>(frame);
            picture->setImage(attachment.image);
            picture->setDisplaySize(frame.size);
            if (!attachment.remoteUrl.empty()) picture->setUrl(attachment.remoteUrl);
            view = picture;
        }
        if (!view) continue;
        view->setFrame(frame);
        addSubview(view);
        placed_.push_back(view);
    }
    if (!owner) return;
    for (const auto& link : current->links()) {
        if (link.rects.empty()) continue;
        Rect frame = link.rects.front().offsetBy(offset.x, offset.y);
        if (auto view = owner->viewForLink(*this, link, frame)) {
            view->setFrame(frame);
            addSubview(view);
            placed_.push_back(view);
        }
    }
}

void HtmlTextView::draw(GraphicsContext& context, const Rect& rect) {
    View::draw(context, rect);
    if (auto current = layout()) current->draw(context, {insets_.left, insets_.top});
}

}  // namespace platform
