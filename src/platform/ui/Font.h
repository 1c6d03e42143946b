#pragma once

#include <string>

namespace platform {

// A font by name and size in points. The handset's font names map onto the fonts
// installed here: "Helvetica" and the system font to Liberation Sans (metric-compatible),
// with Noto Sans CJK SC behind it for Chinese; "-Bold" / "-Oblique" names to the styles.
class Font {
public:
    Font() = default;  // the system font at 17 points

    static Font systemFontOfSize(double size);
    static Font boldSystemFontOfSize(double size);
    static Font italicSystemFontOfSize(double size);
    // Any name is accepted; names this system does not know fall back to the family's
    // default (fontconfig's choice) with the CJK fallback behind it.
    static Font fontWithName(const std::string& name, double size);

    const std::string& fontName() const { return name_; }
    std::string familyName() const;
    double pointSize() const { return size_; }
    bool isBold() const { return bold_; }
    bool isItalic() const { return italic_; }
    Font fontWithSize(double size) const;

    // Metrics in points (from the font files, cached).
    double ascender() const;
    double descender() const;  // negative, below the baseline
    double lineHeight() const;

    // The pango font description ("Liberation Sans,Noto Sans CJK SC Bold 17px").
    std::string description() const;

    bool operator==(const Font& other) const {
        return name_ == other.name_ && size_ == other.size_ && bold_ == other.bold_ && italic_ == other.italic_;
    }

private:
    Font(std::string name, double size, bool bold, bool italic)
        : name_(std::move(name)), size_(size), bold_(bold), italic_(italic) {}
    std::string name_ = "System";
    double size_ = 17;
    bool bold_ = false;
    bool italic_ = false;
};

}  // namespace platform
