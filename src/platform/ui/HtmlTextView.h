#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Image.h"
#include "platform/ui/View.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct _PangoLayout;

namespace platform {

class HtmlTextView;

// How a piece of markup is drawn. Font sizes follow a 12-point base: a multiplier of 1.2
// gives 14.4-point text.
struct HtmlTextOptions {
    double textSizeMultiplier = 1.0;
    // Distance between baselines as a multiple of the font's height (1.0: as the font says).
    double lineHeightMultiplier = 1.0;
    // Inline pictures keep their proportions within this box.
    double maxImageWidth = 36;
    double maxImageHeight = 36;
    std::string fontFamily = "Helvetica";
    Color textColor = Color::black();
    Color linkColor = Color::rgb255(0, 0, 238);
    bool underlineLinks = true;

    static constexpr double kBaseFontSize = 12;
    double fontSize() const { return kBaseFontSize * textSizeMultiplier; }
    // A text that tells options apart (part of the layout cache's key).
    std::string key() const;
};

// A picture of the markup ("img"): where it sits in the laid-out text and what it shows.
struct HtmlAttachment {
    std::string source;       // the "src" as written
    Rect frame;               // in the text's coordinates
    ImageRef image;           // an application picture named by the source ("7.png"), or none
    std::string remoteUrl;    // an http or https source, to be loaded; empty otherwise
    // Where the picture sits against the text ("vertical-align:middle" or on the baseline).
    bool middle = false;
};

// A link of the markup ("a" with "href"): its address and the boxes of its text.
struct HtmlLink {
    std::string url;
    std::string identifier;  // the "id" attribute, when any
    std::vector<Rect> rects;
};

// Markup laid out at one width: the pango layout behind it, its height, its plain text,
// its links and its pictures. Immutable once made, and shared: layouts are kept in a
// cache keyed by (markup, options, width), so the same text in a rebuilt view costs a
// lookup. Main thread.
//
// The markup goes through libxml2's HTML parser (no network, errors silent) and only an
// allow-list of elements has meaning: "span" (its style's colour: rgb(), rgba(), #hex or
// a colour name), "a" (links, in the link colour), "b" and "i", "br", the blocks "p",
// "div", "li" (a bulleted item inside "ul") and "ul", "sup" and "sub" (raised or lowered,
// smaller), and "img" (pictures sized by their width and height attributes or their
// style's pixel lengths, kept within the options' box). Text of any other element is
// kept as plain text, except that "script",
// "style", "iframe", "object", "embed" and "head" contribute nothing. Nothing is fetched
// here: a picture source that names an application picture comes with that picture; an
// http or https source is left for an image view to load; any other source (file:,
// data:, a path) shows nothing.
class HtmlLayout {
public:
    ~HtmlLayout();
    HtmlLayout(const HtmlLayout&) = delete;
    HtmlLayout& operator=(const HtmlLayout&) = delete;

    // The cached layout of the markup at `width` points (0 or less: no wrapping).
    static std::shared_ptr<const HtmlLayout> layoutFor(const std::string& markup, const HtmlTextOptions& options,
                                                       double width);

    double width() const { return width_; }
    // Whole points, rounded up; 0 for markup without any text or picture.
    double height() const { return height_; }
    // The text as shown, without markup; pictures contribute nothing, line breaks are "\n".
    const std::string& plainText() const { return plainText_; }
    const std::vector<HtmlLink>& links() const { return links_; }
    const std::vector<HtmlAttachment>& attachments() const { return attachments_; }
    // Draws the text (not the pictures) with its top-left corner at `origin`.
    void draw(GraphicsContext& context, Point origin) const;

    // Layouts made so far (cache misses), and the cache's bound; for tests and benchmarks.
    static std::size_t layoutsMade();
    static constexpr std::size_t kCacheLimit = 600;
    static void clearCache();

private:
    HtmlLayout() = default;
    ::_PangoLayout* layout_ = nullptr;
    double width_ = 0;
    double height_ = 0;
    std::string plainText_;
    std::vector<HtmlLink> links_;
    std::vector<HtmlAttachment> attachments_;
};

// What an HTML text view asks of its owner. Every operation is optional.
class HtmlTextViewDelegate {
public:
    virtual ~HtmlTextViewDelegate() = default;
    // A view laid over a link's first box (the view's frame is set to it); nullptr: none.
    virtual std::shared_ptr<View> viewForLink(HtmlTextView& textView, const HtmlLink& link, const Rect& frame) {
        (void)textView;
        (void)link;
        (void)frame;
        return nullptr;
    }
    // The view that shows a picture of the text at `frame`; nullptr: the picture is not
    // shown. Without a delegate the text view makes a LazyImageView for every picture.
    virtual std::shared_ptr<View> viewForAttachment(HtmlTextView& textView, const HtmlAttachment& attachment,
                                                    const Rect& frame) {
        (void)textView;
        (void)attachment;
        (void)frame;
        return nullptr;
    }
};

// A view that shows markup laid out at its own width (an attributed-text view). It is not
// scrollable: owners size it with contentHeightForWidth() and give it that height.
class HtmlTextView : public View {
public:
    HtmlTextView();
    explicit HtmlTextView(const Rect& frame);
    ~HtmlTextView() override;

    std::string className() const override { return "HtmlTextView"; }
    // The plain text, so that finding views by text and the automation see it.
    std::string displayedText() const override;

    void setHtml(const std::string& markup, const HtmlTextOptions& options);
    const std::string& html() const { return markup_; }
    const HtmlTextOptions& options() const { return options_; }

    std::shared_ptr<HtmlTextViewDelegate> delegate() const { return delegate_.lock(); }
    // Held weakly; set it before the markup so that the pictures' views come from it.
    void setDelegate(const std::shared_ptr<HtmlTextViewDelegate>& delegate) { delegate_ = delegate; }

    // Insets between the bounds and the text (0 by default).
    EdgeInsets contentInsets() const { return insets_; }
    void setContentInsets(const EdgeInsets& insets);

    // The height the text takes at `width` (insets included); 0 without text.
    double contentHeightForWidth(double width) const;
    // The layout at the current width (nullptr without markup).
    std::shared_ptr<const HtmlLayout> layout() const;

    void layoutSubviews() override;
    void setFrame(const Rect& frame) override;
    void draw(GraphicsContext& context, const Rect& rect) override;

private:
    void rebuildSubviews();
    std::string markup_;
    HtmlTextOptions options_;
    std::weak_ptr<HtmlTextViewDelegate> delegate_;
    EdgeInsets insets_;
    mutable std::shared_ptr<const HtmlLayout> layout_;
    std::vector<std::shared_ptr<View>> placed_;
    double placedWidth_ = -1;
};

using HtmlTextViewRef = std::shared_ptr<HtmlTextView>;

}  // namespace platform
