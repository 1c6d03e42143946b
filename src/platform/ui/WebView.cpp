#include "platform/ui/WebView.h"

#include "platform/Files.h"
#include "platform/HttpRequestOperation.h"
#include "platform/Markup.h"
#include "platform/RunLoop.h"
#include "platform/UrlEncoding.h"
#include "platform/Values.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextMeasure.h"

#include <libxml/HTMLparser.h>
#include <libxml/HTMLtree.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <regex>

namespace platform {

namespace {

// Largest page or local file the view reads; larger ones fail rather than fill memory.
constexpr std::size_t kMaxPageBytes = 16u * 1024 * 1024;
// Largest picture of a page.
constexpr std::size_t kMaxPictureBytes = 16u * 1024 * 1024;
// Width in CSS pixels a page without a device-width viewport is laid out at.
constexpr double kDesktopWidth = 980;
constexpr double kBaseFontPx = 16;
constexpr double kMarginPx = 8;

const Color kLinkColor = Color::rgba(0.0, 0.4, 0.8, 1);

std::string lower(std::string text) {
    for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string collapseWhitespace(const std::string& text) {
    std::string out;
    bool space = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
            space = true;
            continue;
        }
        if (space && !out.empty()) out += ' ';
        if (space && out.empty()) out += ' ';
        space = false;
        out += c;
    }
    if (space) out += ' ';
    return out;
}

std::string schemeOf(const std::string& url) {
    size_t colon = url.find(':');
    if (colon == std::string::npos || colon == 0) return {};
    for (size_t i = 0; i < colon; ++i) {
        char c = url[i];
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.')) return {};
    }
    return lower(url.substr(0, colon));
}

std::string extensionOf(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    return lower(ext);
}

// Bytes in a named character set to UTF-8; bytes that do not decode become U+FFFD.
std::string decodeLossy(const std::string& bytes, const std::string& charset) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(charset.empty() ? "UTF-8" : charset.c_str(), &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        converter = ucnv_open("UTF-8", &status);
        if (U_FAILURE(status)) return bytes;
    }
    std::u16string wide(bytes.size() * 2 + 2, u'\0');
    int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(wide.data()), static_cast<int32_t>(wide.size()),
                                   bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    ucnv_close(converter);
    if (U_FAILURE(status)) return {};
    wide.resize(static_cast<size_t>(length));
    return fromUtf16(wide);
}

// The character set named in a content type or in the first part of a page ("charset=").
std::string charsetIn(const std::string& text) {
    std::string head = lower(text.substr(0, 2048));
    size_t at = head.find("charset=");
    if (at == std::string::npos) return {};
    at += 8;
    while (at < head.size() && (head[at] == '"' || head[at] == '\'' || head[at] == ' ')) ++at;
    size_t end = at;
    while (end < head.size() && (std::isalnum(static_cast<unsigned char>(head[end])) || head[end] == '-' ||
                                 head[end] == '_' || head[end] == ':' || head[end] == '.'))
        ++end;
    return head.substr(at, end - at);
}

void initParser() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

}  // namespace

// Outside the anonymous namespace: WebView::Page holds one.
struct WebViewDocDeleter {
    void operator()(xmlDoc* doc) const {
        if (doc) xmlFreeDoc(doc);
    }
};
using DocPtr = std::unique_ptr<xmlDoc, WebViewDocDeleter>;

namespace {

DocPtr parseHtml(const std::string& html, const std::string& url, const std::string& encoding) {
    initParser();
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
    // An empty document still needs a tree for the queries.
    const std::string& text = html.empty() ? std::string("<html><body></body></html>") : html;
    return DocPtr(htmlReadMemory(text.data(), static_cast<int>(text.size()), url.empty() ? nullptr : url.c_str(),
                                 encoding.empty() ? "UTF-8" : encoding.c_str(), options));
}

std::string nodeName(const xmlNode* node) {
    return node && node->name ? lower(reinterpret_cast<const char*>(node->name)) : std::string();
}

std::optional<std::string> attribute(xmlNode* node, const char* name) {
    if (!xmlHasProp(node, BAD_CAST name)) return std::nullopt;
    xmlChar* value = xmlGetProp(node, BAD_CAST name);
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    if (value) xmlFree(value);
    return text;
}

std::string textContent(xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char*>(content) : "";
    if (content) xmlFree(content);
    return text;
}

std::vector<xmlNode*> select(xmlDoc* doc, const char* query) {
    std::vector<xmlNode*> nodes;
    if (!doc) return nodes;
    xmlXPathContext* context = xmlXPathNewContext(doc);
    if (!context) return nodes;
    xmlXPathObject* result = xmlXPathEvalExpression(BAD_CAST query, context);
    if (result && result->nodesetval) {
        for (int i = 0; i < result->nodesetval->nodeNr; ++i) nodes.push_back(result->nodesetval->nodeTab[i]);
    }
    if (result) xmlXPathFreeObject(result);
    xmlXPathFreeContext(context);
    return nodes;
}

std::vector<std::string> imageSourcesOf(xmlDoc* doc) {
    std::vector<std::string> sources;
    for (xmlNode* image : select(doc, "//img"))
        if (auto src = attribute(image, "src")) sources.push_back(*src);
    return sources;
}

xmlNode* bodyOf(xmlDoc* doc) {
    auto bodies = select(doc, "//body");
    return bodies.empty() ? nullptr : bodies.front();
}

std::string innerHtmlOf(xmlDoc* doc, xmlNode* parent) {
    std::string html;
    if (!doc || !parent) return html;
    for (xmlNode* child = parent->children; child; child = child->next) {
        xmlOutputBuffer* out = xmlAllocOutputBuffer(nullptr);
        if (!out) break;
        // Unformatted: the markup as the page has it, without added line ends.
        htmlNodeDumpFormatOutput(out, doc, child, "UTF-8", 0);
        xmlOutputBufferFlush(out);
        if (const xmlChar* content = xmlOutputBufferGetContent(out))
            html.append(reinterpret_cast<const char*>(content), xmlOutputBufferGetSize(out));
        xmlOutputBufferClose(out);
    }
    return html;
}

double parseNumber(const std::string& text) {
    try {
        size_t used = 0;
        double value = std::stod(text, &used);
        return used > 0 ? value : 0;
    } catch (...) {
        return 0;
    }
}

}  // namespace

// One thing the page shows, top to bottom.
struct WebView::Block {
    enum class Kind { Text, Link, Picture };
    Kind kind = Kind::Text;
    std::string text;
    std::string href;
    std::string src;
    double fontScale = 1;
    bool bold = false;
    bool preformatted = false;
    // Picture size from the element's attributes, in CSS pixels (0: not given).
    double cssWidth = 0, cssHeight = 0;
    ImageRef image;
    std::shared_ptr<View> view;
};

struct WebView::Page {
    DocPtr doc;
    std::vector<Block> blocks;
    // Laid out at the view's width (a device-width viewport, a text, a picture).
    bool deviceWidth = false;
    // Markup of the body for pages that are not HTML (a text, a picture).
    std::string innerHtml;
};

namespace {

// Turns the body of an HTML tree into blocks: paragraphs of running text, links, pictures.
class BlockBuilder {
public:
    explicit BlockBuilder(std::vector<WebView::Block>& out) : out_(out) {}

    struct Style {
        double scale = 1;
        bool bold = false;
        bool preformatted = false;
        std::string href;
    };

    void walk(xmlNode* node, Style style) {
        for (xmlNode* child = node->children; child; child = child->next) {
            if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
                appendText(textContent(child), style);
                continue;
            }
            if (child->type != XML_ELEMENT_NODE) continue;
            element(child, style);
        }
    }

    void flush() {
        if (!hasContent_) {
            pending_.clear();
            return;
        }
        std::string text = pending_;
        if (pendingStyle_.preformatted) {
            // A line end just after the start of a preformatted block is not shown.
            if (!text.empty() && text[0] == '\n') text.erase(0, 1);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        } else {
            text = trimmed(text);
        }
        WebView::Block block;
        block.kind = pendingStyle_.href.empty() ? WebView::Block::Kind::Text : WebView::Block::Kind::Link;
        block.text = text;
        block.href = pendingStyle_.href;
        block.fontScale = pendingStyle_.scale;
        block.bold = pendingStyle_.bold;
        block.preformatted = pendingStyle_.preformatted;
        out_.push_back(std::move(block));
        pending_.clear();
        hasContent_ = false;
    }

private:
    static bool isSkipped(const std::string& name) {
        static const char* skipped[] = {"head",   "script", "style",  "noscript", "template", "title",
                                        "iframe", "object", "embed",  "svg",      "input",    "select",
                                        "textarea", "option", "meta", "link"};
        return std::any_of(std::begin(skipped), std::end(skipped), [&](const char* s) { return name == s; });
    }
    static bool isBlock(const std::string& name) {
        static const char* blocks[] = {"p",       "div",    "h1",   "h2",     "h3",      "h4",     "h5",  "h6",
                                       "ul",      "ol",     "li",   "pre",    "blockquote", "section", "article",
                                       "header",  "footer", "nav",  "aside",  "main",    "table",  "tr",  "form",
                                       "figure",  "figcaption", "dl", "dt",   "dd",      "hr",     "address",
                                       "center",  "body",   "html"};
        return std::any_of(std::begin(blocks), std::end(blocks), [&](const char* s) { return name == s; });
    }

    // "font-size: 300%", "24px" or "18pt" in a style attribute.
    static void applyInlineStyle(xmlNode* node, Style& style) {
        auto css = attribute(node, "style");
        if (!css) return;
        static const std::regex fontSize(R"(font-size\s*:\s*([0-9.]+)\s*(%|px|pt|em)?)", std::regex::icase);
        std::smatch match;
        std::string text = *css;
        if (!std::regex_search(text, match, fontSize)) return;
        double value = parseNumber(match[1].str());
        std::string unit = lower(match[2].str());
        if (value <= 0) return;
        if (unit == "%") style.scale *= value / 100;
        else if (unit == "em") style.scale *= value;
        else if (unit == "pt") style.scale = value * 4 / 3 / kBaseFontPx;
        else style.scale = value / kBaseFontPx;
    }

    void appendText(const std::string& raw, const Style& style) {
        std::string text = style.preformatted ? raw : collapseWhitespace(raw);
        if (!hasContent_) {
            if (trimmed(text).empty() && !style.preformatted) return;
            // The block takes the style of its first text.
            pendingStyle_ = style;
            hasContent_ = !trimmed(text).empty();
        }
        if (!style.preformatted && !text.empty() && text[0] == ' ' &&
            (pending_.empty() || pending_.back() == ' ' || pending_.back() == '\n'))
            text.erase(0, 1);
        pending_ += text;
    }

    void element(xmlNode* node, Style style) {
        const std::string name = nodeName(node);
        if (isSkipped(name)) return;
        applyInlineStyle(node, style);

        if (name == "br") {
            if (hasContent_ || style.preformatted) pending_ += '\n';
            return;
        }
        if (name == "img") {
            flush();
            WebView::Block block;
            block.kind = WebView::Block::Kind::Picture;
            block.src = attribute(node, "src").value_or("");
            block.href = style.href;
            block.cssWidth = parseNumber(attribute(node, "width").value_or(""));
            block.cssHeight = parseNumber(attribute(node, "height").value_or(""));
            out_.push_back(std::move(block));
            return;
        }
        if (name == "a") {
            if (auto href = attribute(node, "href")) {
                flush();
                style.href = *href;
                walk(node, style);
                flush();
                return;
            }
        }
        if (name == "b" || name == "strong" || name == "th") style.bold = true;
        if (name == "small") style.scale *= 0.83;
        if (name == "pre") style.preformatted = true;
        if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
            static const double scales[] = {2.0, 1.5, 1.17, 1.0, 0.83, 0.67};
            style.scale *= scales[name[1] - '1'];
            style.bold = true;
        }

        if (!isBlock(name)) {
            walk(node, style);
            return;
        }
        flush();
        if (name == "li") pending_ = "• ";
        walk(node, style);
        flush();
    }

    std::vector<WebView::Block>& out_;
    std::string pending_;
    Style pendingStyle_;
    bool hasContent_ = false;
};

}  // namespace

// ---- Life

WebView::WebView() : WebView(Rect{}) {}

WebView::WebView(const Rect& frame) : View(frame) {
    setBackgroundColor(Color::whiteColor());
    setClipsToBounds(true);
    scrollView_ = std::make_shared<ScrollView>(Rect(0, 0, frame.width(), frame.height()));
    scrollView_->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    scrollView_->setBackgroundColor(Color::clear());
    addSubview(scrollView_);
}

WebView::~WebView() {
    if (operation_) operation_->cancel();
    for (auto& picture : pictureOperations_) picture->cancel();
}

void WebView::setScalesPageToFit(bool on) {
    scalesPageToFit_ = on;
    laidOutWidth_ = -1;
    setNeedsLayout();
}

// ---- Addresses

bool WebView::isValidAddress(const std::string& text) {
    if (text.empty()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c <= 0x20 || c >= 0x7F) return false;
        if (std::strchr("\"<>\\^`{|}", c)) return false;
        if (c == '%') {
            if (i + 2 >= text.size()) return false;
            if (!std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
                !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
                return false;
        }
    }
    return true;
}

std::string WebView::addingPercentEscapes(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (c <= 0x20 || c >= 0x7F || std::strchr("\"%<>[\\]^`{|}", c)) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string WebView::fileUrlWithPath(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
    std::string out = "file://";
    for (unsigned char c : absolute) {
        if (std::isalnum(c) || std::strchr("-._~/!$&'()*+,;=:@", c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// ---- Loading

void WebView::loadRequest(const UrlRequest& request) { navigate(request, WebViewNavigationType::Other); }

bool WebView::navigate(const UrlRequest& request, WebViewNavigationType type) {
    const std::string url = request.url();
    if (!isValidAddress(url)) return false;
    if (auto d = delegate(); d && !d->webViewShouldStartLoadWithRequest(*this, request, type)) return false;
    const std::string scheme = schemeOf(url);
    if (scheme == "http" || scheme == "https") {
        begin(request, [this](unsigned long generation) { startHttp(generation); });
    } else if (scheme == "file") {
        begin(request, [this](unsigned long generation) { readFileUrl(generation); });
    } else if (lower(url) == "about:blank") {
        begin(request, [this](unsigned long generation) {
            showHtml("", "", "UTF-8");
            finish(generation);
        });
    } else {
        begin(request, [this](unsigned long generation) {
            fail(generation, HttpError{HttpError::Kind::BadUrl, 0, "unsupported address: " + request_.url()});
        });
    }
    return true;
}

void WebView::loadHTMLString(const std::string& html, const std::string& baseUrl) {
    UrlRequest request(baseUrl.empty() ? std::string("about:blank") : baseUrl);
    if (auto d = delegate(); d && !d->webViewShouldStartLoadWithRequest(*this, request, WebViewNavigationType::Other))
        return;
    begin(request, [this, html, baseUrl](unsigned long generation) {
        showHtml(html, baseUrl, "UTF-8");
        finish(generation);
    });
}

// Starts a load: the old one stops, the delegate hears of the start on the next turn of
// the run loop, and `run` does the work (then or, for the network, when the reply comes).
void WebView::begin(const UrlRequest& request, std::function<void(unsigned long)> run) {
    stopLoading();
    const unsigned long generation = ++generation_;
    request_ = request;
    loadedRequests_.push_back(request);
    loading_ = true;
    std::weak_ptr<WebView> weak = std::static_pointer_cast<WebView>(shared_from_this());
    const std::string scheme = schemeOf(request.url());
    const bool network = scheme == "http" || scheme == "https";
    RunLoop::main().post([weak, generation, network, run] {
        auto self = weak.lock();
        if (!self || self->generation_ != generation) return;
        self->reportStart(generation);
        if (!network && self->generation_ == generation) run(generation);
    });
    if (network) run(generation);
}

// The delegate hears of the start once per load, before its end.
void WebView::reportStart(unsigned long generation) {
    if (startReported_ == generation) return;
    startReported_ = generation;
    auto self = std::static_pointer_cast<WebView>(shared_from_this());
    if (auto d = delegate()) d->webViewDidStartLoad(*self);
}

void WebView::stopLoading() {
    if (operation_) {
        operation_->cancel();
        operation_.reset();
    }
    if (loading_) ++generation_;
    loading_ = false;
}

void WebView::startHttp(unsigned long generation) {
    std::weak_ptr<WebView> weak = std::static_pointer_cast<WebView>(shared_from_this());
    UrlRequest request = request_;
    auto operation = HttpRequestOperation::operationWithRequest(
        request,
        [weak, generation](HttpRequestOperation& op, const std::string& body) {
            auto self = weak.lock();
            if (!self || self->generation_ != generation) return;
            self->operation_.reset();
            std::string type = lower(op.responseHeader("Content-Type"));
            if (type.rfind("image/", 0) == 0) self->showPicture(body);
            else if (type.rfind("text/plain", 0) == 0) self->showText(decodeLossy(body, charsetIn(type)));
            else {
                std::string charset = charsetIn(type);
                if (charset.empty()) charset = charsetIn(body);
                self->showHtml(body, self->request_.url(), charset);
            }
            self->finish(generation);
        },
        [weak, generation](HttpRequestOperation& op, const HttpError& error) {
            auto self = weak.lock();
            if (!self || self->generation_ != generation) return;
            self->operation_.reset();
            // An error status still brings a page, and a browser shows it.
            if (error.kind == HttpError::Kind::HttpStatus) {
                const std::string& body = op.responseString();
                self->showHtml(body, self->request_.url(), charsetIn(body));
                self->finish(generation);
                return;
            }
            self->fail(generation, error);
        });
    operation->setMaxResponseBytes(kMaxPageBytes);
    operation_ = operation;
    operation->start();
}

void WebView::readFileUrl(unsigned long generation) {
    std::string rest = request_.url().substr(5);  // after "file:"
    if (rest.rfind("//", 0) == 0) {
        rest.erase(0, 2);
        size_t slash = rest.find('/');
        // "file://localhost/path" and "file:///path"
        rest = slash == std::string::npos ? std::string() : rest.substr(slash);
    }
    size_t query = rest.find_first_of("?#");
    if (query != std::string::npos) rest.erase(query);
    const std::string path = percentDecode(rest);
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) {
        fail(generation, HttpError{HttpError::Kind::Network, 0, "no such file: " + path});
        return;
    }
    auto bytes = readFile(path, kMaxPageBytes);
    if (!bytes) {
        fail(generation, HttpError{HttpError::Kind::TooLarge, 0, "the file cannot be read: " + path});
        return;
    }
    const std::string ext = extensionOf(path);
    static const char* htmlTypes[] = {"html", "htm", "xhtml", "shtml"};
    static const char* textTypes[] = {"txt", "text", "log", "csv", "md", "json", "c", "h", "cpp", "ini"};
    static const char* pictureTypes[] = {"png", "jpg", "jpeg", "gif", "bmp", "tif", "tiff", "ico"};
    auto is = [&](const auto& list) {
        return std::any_of(std::begin(list), std::end(list), [&](const char* t) { return ext == t; });
    };
    if (is(htmlTypes)) showHtml(*bytes, request_.url(), charsetIn(*bytes));
    else if (is(textTypes)) showText(decodeLossy(*bytes, ""));
    else if (is(pictureTypes) && Image::isPicture(*bytes)) showPicture(*bytes);
    else showDocument(std::filesystem::path(path).filename().string());
    finish(generation);
}

void WebView::finish(unsigned long generation) {
    if (generation != generation_) return;
    reportStart(generation);
    if (generation != generation_) return;
    loading_ = false;
    auto self = std::static_pointer_cast<WebView>(shared_from_this());
    if (auto d = delegate()) d->webViewDidFinishLoad(*self);
}

void WebView::fail(unsigned long generation, const HttpError& error) {
    if (generation != generation_) return;
    reportStart(generation);
    if (generation != generation_) return;
    loading_ = false;
    auto self = std::static_pointer_cast<WebView>(shared_from_this());
    if (auto d = delegate()) d->webViewDidFailLoadWithError(*self, error);
}

// ---- Pages

void WebView::clearPage() {
    for (auto& picture : pictureOperations_) picture->cancel();
    pictureOperations_.clear();
    if (page_) {
        for (auto& block : page_->blocks)
            if (block.view) block.view->removeFromSuperview();
    }
    page_ = std::make_shared<Page>();
    title_.clear();
    imageSources_.clear();
    laidOutWidth_ = -1;
    scrollView_->setContentOffset({0, 0});
}

void WebView::showHtml(const std::string& html, const std::string& url, const std::string& encoding) {
    clearPage();
    baseUrl_ = url;
    page_->doc = parseHtml(html, url, encoding);
    xmlDoc* doc = page_->doc.get();
    if (doc) {
        auto titles = select(doc, "//title");
        if (!titles.empty()) title_ = trimmed(collapseWhitespace(textContent(titles.front())));
        imageSources_ = imageSourcesOf(doc);
        for (xmlNode* meta : select(doc, "//meta")) {
            if (lower(attribute(meta, "name").value_or("")) != "viewport") continue;
            std::string content = lower(attribute(meta, "content").value_or(""));
            if (content.find("device-width") != std::string::npos || content.find("initial-scale") != std::string::npos)
                page_->deviceWidth = true;
        }
        if (xmlNode* body = bodyOf(doc)) {
            BlockBuilder builder(page_->blocks);
            builder.walk(body, {});
            builder.flush();
        }
    }
    buildBlocks();
}

void WebView::showText(const std::string& text) {
    clearPage();
    baseUrl_ = request_.url();
    page_->deviceWidth = true;
    page_->innerHtml = "<pre>" + escapeHtml(text) + "</pre>";
    Block block;
    block.text = text;
    block.preformatted = true;
    page_->blocks.push_back(std::move(block));
    buildBlocks();
}

void WebView::showPicture(const std::string& bytes) {
    clearPage();
    baseUrl_ = request_.url();
    page_->deviceWidth = true;
    page_->innerHtml = "<img src=\"" + escapeHtml(request_.url()) + "\">";
    imageSources_ = {request_.url()};
    Block block;
    block.kind = Block::Kind::Picture;
    block.src = request_.url();
    block.image = Image::imageWithData(bytes);
    page_->blocks.push_back(std::move(block));
    buildBlocks();
}

void WebView::showDocument(const std::string& name) {
    clearPage();
    baseUrl_ = request_.url();
    page_->deviceWidth = true;
    page_->innerHtml = "<p>" + escapeHtml(name) + "</p>";
    title_ = name;
    Block block;
    block.text = name;
    page_->blocks.push_back(std::move(block));
    buildBlocks();
}

// Makes the views of the blocks and starts fetching the pictures.
void WebView::buildBlocks() {
    std::weak_ptr<WebView> weak = std::static_pointer_cast<WebView>(shared_from_this());
    for (size_t i = 0; i < page_->blocks.size(); ++i) {
        Block& block = page_->blocks[i];
        switch (block.kind) {
            case Block::Kind::Text: {
                auto label = std::make_shared<Label>();
                label->setText(block.text);
                label->setNumberOfLines(0);
                label->setLineBreakMode(block.preformatted ? LineBreakMode::CharWrap : LineBreakMode::WordWrap);
                label->setTextColor(Color::black());
                block.view = label;
                break;
            }
            case Block::Kind::Link: {
                auto button = Button::buttonWithType(ButtonType::Custom);
                button->setTitle(block.text);
                button->setTitleColor(kLinkColor);
                button->setContentHorizontalAlignment(ControlContentHorizontalAlignment::Left);
                button->setAccessibilityValue(block.href);
                std::string href = block.href;
                button->addTarget(ControlEventTouchUpInside, [weak, href](Control&) {
                    if (auto self = weak.lock()) self->followLink(href);
                });
                block.view = button;
                break;
            }
            case Block::Kind::Picture: {
                auto picture = std::make_shared<ImageView>();
                picture->setContentMode(ContentMode::ScaleAspectFit);
                picture->setClipsToBounds(true);
                picture->setAccessibilityValue(block.src);
                if (block.image) picture->setImage(block.image);
                else picture->setBackgroundColor(Color::rgba(0.93, 0.93, 0.93, 1));
                block.view = picture;
                break;
            }
        }
        scrollView_->addSubview(block.view);
    }
    layoutBlocks();
    for (size_t i = 0; i < page_->blocks.size(); ++i)
        if (page_->blocks[i].kind == Block::Kind::Picture && !page_->blocks[i].image) fetchPicture(i);
}

double WebView::pageScale() const {
    const double width = bounds().width();
    if (!scalesPageToFit_ || !page_ || page_->deviceWidth || width <= 0) return 1;
    return width / kDesktopWidth;
}

void WebView::layoutBlocks() {
    if (!page_) return;
    const double width = bounds().width();
    laidOutWidth_ = width;
    const double s = pageScale();
    const double margin = kMarginPx * s;
    const double available = std::max(1.0, width - 2 * margin);
    double y = margin;
    for (auto& block : page_->blocks) {
        if (!block.view) continue;
        const double px = kBaseFontPx * block.fontScale * s;
        Font font = block.preformatted ? Font::fontWithName("Courier", px)
                    : block.bold       ? Font::boldSystemFontOfSize(px)
                                       : Font::systemFontOfSize(px);
        switch (block.kind) {
            case Block::Kind::Text: {
                auto label = std::static_pointer_cast<Label>(block.view);
                label->setFont(font);
                Size size = TextMeasure::size(block.text, font, available,
                                              block.preformatted ? LineBreakMode::CharWrap : LineBreakMode::WordWrap);
                label->setFrame({margin, y, available, std::ceil(size.height)});
                y += std::ceil(size.height) + px * 0.6;
                break;
            }
            case Block::Kind::Link: {
                auto button = std::static_pointer_cast<Button>(block.view);
                button->titleLabel()->setFont(font);
                double height = std::ceil(font.lineHeight()) + 4;
                button->setFrame({margin, y, available, height});
                y += height + px * 0.6;
                break;
            }
            case Block::Kind::Picture: {
                double w = block.cssWidth * s, h = block.cssHeight * s;
                Size natural = block.image ? block.image->size() : Size{0, 0};
                if (w <= 0 && h <= 0) {
                    w = natural.width > 0 ? natural.width * s : 100 * s;
                    h = natural.height > 0 ? natural.height * s : 100 * s;
                } else if (w <= 0) {
                    w = natural.height > 0 ? h * natural.width / natural.height : h;
                } else if (h <= 0) {
                    h = natural.width > 0 ? w * natural.height / natural.width : w;
                }
                if (w > available) {
                    h = h * available / w;
                    w = available;
                }
                block.view->setFrame({margin, y, w, h});
                y += h + kMarginPx * s;
                break;
            }
        }
    }
    scrollView_->setContentSize({width, y + margin});
}

void WebView::layoutSubviews() {
    View::layoutSubviews();
    if (page_ && bounds().width() != laidOutWidth_) layoutBlocks();
}

void WebView::fetchPicture(size_t index) {
    const std::string src = page_->blocks[index].src;
    if (src.empty()) return;
    const std::string url = resolveUrl(baseUrl_.empty() ? request_.url() : baseUrl_, src);
    std::weak_ptr<WebView> weak = std::static_pointer_cast<WebView>(shared_from_this());
    std::weak_ptr<Page> page = page_;
    auto deliver = [weak, page, index](const std::string& bytes) {
        auto self = weak.lock();
        auto shown = page.lock();
        if (!self || !shown || shown != self->page_ || index >= shown->blocks.size()) return;
        auto image = Image::imageWithData(bytes);
        if (!image) return;
        Block& block = shown->blocks[index];
        block.image = image;
        if (auto picture = std::dynamic_pointer_cast<ImageView>(block.view)) {
            picture->setImage(image);
            picture->setBackgroundColor(Color::clear());
        }
        self->layoutBlocks();
    };
    const std::string scheme = schemeOf(url);
    if (scheme == "http" || scheme == "https") {
        if (!isValidAddress(url)) return;
        auto operation = HttpRequestOperation::operationWithRequest(
            UrlRequest(url), [deliver](HttpRequestOperation&, const std::string& body) { deliver(body); },
            [](HttpRequestOperation&, const HttpError&) {});
        operation->setMaxResponseBytes(kMaxPictureBytes);
        pictureOperations_.push_back(operation);
        operation->start();
    } else if (scheme == "file") {
        std::string path = url.substr(7);
        if (auto bytes = readFile(percentDecode(path), kMaxPictureBytes)) {
            std::string body = *bytes;
            RunLoop::main().post([deliver, body] { deliver(body); });
        }
    }
}

// ---- What the page shows

std::string WebView::pageText() const {
    std::string text;
    if (!page_) return text;
    for (const auto& block : page_->blocks) {
        if (block.kind == Block::Kind::Picture) continue;
        if (!text.empty()) text += '\n';
        text += block.text;
    }
    return text;
}

std::vector<std::string> WebView::linkAddresses() const {
    std::vector<std::string> links;
    if (!page_) return links;
    for (const auto& block : page_->blocks)
        if (block.kind == Block::Kind::Link) links.push_back(block.href);
    return links;
}

std::vector<std::string> WebView::imageSourcesInHtml(const std::string& html) {
    auto doc = parseHtml(html, "", "UTF-8");
    return imageSourcesOf(doc.get());
}

// ---- Scripts and the bridge

void WebView::addJavascriptInterfaces(const std::shared_ptr<ScriptObject>& object, const std::string& name) {
    if (!object || name.empty()) return;
    interfaces_[name] = object;
}

std::shared_ptr<ScriptObject> WebView::javascriptInterface(const std::string& name) const {
    auto found = interfaces_.find(name);
    return found == interfaces_.end() ? nullptr : found->second;
}

// "name.operation(arguments)" on an offered object; `called` tells whether one ran.
std::string WebView::callScriptObject(const std::string& script, bool* called) {
    *called = false;
    static const std::regex call(R"(^([A-Za-z_$][\w$]*)\.([A-Za-z_$][\w$]*)\s*\((.*)\)$)");
    std::smatch match;
    if (!std::regex_match(script, match, call)) return {};
    auto object = javascriptInterface(match[1].str());
    if (!object) return {};
    std::vector<std::string> arguments;
    std::string all = trimmed(match[3].str());
    std::string current;
    char quote = 0;
    for (char c : all) {
        if (quote) {
            if (c == quote) quote = 0;
            else current += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ',') {
            arguments.push_back(trimmed(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!all.empty()) arguments.push_back(trimmed(current));
    // The object may close the screen that holds this view: keep the view alive meanwhile.
    auto keep = shared_from_this();
    *called = object->callFromScript(match[2].str(), arguments);
    return {};
}

std::string WebView::stringByEvaluatingJavaScriptFromString(const std::string& script) {
    evaluatedScripts_.push_back(script);
    std::string code = trimmed(script);
    while (!code.empty() && code.back() == ';') code = trimmed(code.substr(0, code.size() - 1));

    if (code == "document.title") return title_;
    if (code == "document.body.innerHTML") {
        if (!page_) return {};
        if (!page_->doc) return page_->innerHtml;
        return innerHtmlOf(page_->doc.get(), bodyOf(page_->doc.get()));
    }
    if (code == "document.body.innerText") return pageText();

    static const std::regex fromPoint(
        R"(^document\.elementFromPoint\(\s*(-?[0-9]*\.?[0-9]+)\s*,\s*(-?[0-9]*\.?[0-9]+)\s*\)\.src$)");
    std::smatch match;
    if (std::regex_match(code, match, fromPoint)) {
        if (!page_) return {};
        const double s = pageScale();
        const Point offset = scrollView_->contentOffset();
        Point point{parseNumber(match[1].str()) * s + offset.x, parseNumber(match[2].str()) * s + offset.y};
        for (const auto& block : page_->blocks) {
            if (block.kind != Block::Kind::Picture || !block.view || block.src.empty()) continue;
            if (block.view->frame().contains(point))
                return resolveUrl(baseUrl_.empty() ? request_.url() : baseUrl_, block.src);
        }
        return {};
    }

    bool called = false;
    return callScriptObject(code, &called);
}

bool WebView::followLink(const std::string& href) {
    const std::string link = trimmed(href);
    if (lower(link).rfind("javascript:", 0) == 0) {
        std::string code = trimmed(percentDecode(link.substr(11)));
        while (!code.empty() && code.back() == ';') code = trimmed(code.substr(0, code.size() - 1));
        bool called = false;
        callScriptObject(code, &called);
        return called;
    }
    const std::string base = baseUrl_.empty() ? request_.url() : baseUrl_;
    UrlRequest request(base.empty() || base == "about:blank" ? link : resolveUrl(base, link));
    return navigate(request, WebViewNavigationType::LinkClicked);
}

}  // namespace platform
