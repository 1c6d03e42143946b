#include "shell/MVTWebViewController.h"

#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"

#include "account/MVTInterClassViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"

#include "platform/Files.h"
#include "platform/HttpRequestOperation.h"
#include "platform/Markup.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/TextView.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <cctype>

using namespace platform;

namespace {

double webScreenWidth() { return Screen::mainScreen().bounds().width(); }
double webScreenHeight() { return Screen::mainScreen().bounds().height(); }

// Largest text file shown as text.
constexpr std::size_t kMaxTextFileBytes = 16u * 1024 * 1024;
// Largest share picture fetched.
constexpr std::size_t kMaxShareImageBytes = 8u * 1024 * 1024;

// Bytes in `charset` to UTF-8; nothing when any byte sequence is not valid in it.
std::optional<std::string> decodeStrict(const std::string& bytes, const char* charset) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(charset, &status);
    if (U_FAILURE(status)) return std::nullopt;
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    std::u16string wide(bytes.size() + 1, u'\0');
    int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(wide.data()), static_cast<int32_t>(wide.size()),
                                   bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    ucnv_close(converter);
    if (U_FAILURE(status)) return std::nullopt;
    wide.resize(static_cast<size_t>(length));
    return fromUtf16(wide);
}

// A format with one "%@" and "%%" escapes, filled with `text`.
std::string fill(const std::string& format, const std::string& text) {
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (format[i + 1] == '@') {
                out += text;
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

bool endsWithTxt(const std::string& path) {
    std::string lowered = path;
    for (auto& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lowered.size() >= 4 && lowered.compare(lowered.size() - 4, 4, ".txt") == 0;
}

}  // namespace

MVTWebViewController::MVTWebViewController() = default;

MVTWebViewController::~MVTWebViewController() {
    if (web_) web_->setDelegate(nullptr);
    if (shareImageOperation_) shareImageOperation_->cancel();
}

void MVTWebViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    std::weak_ptr<MVTWebViewController> weak = std::static_pointer_cast<MVTWebViewController>(shared_from_this());
    leftBtn_ = MVTPublicMethod::navigationleftBarButton();
    leftBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(leftBtn_));

    if (isNeedToShare_) {
        fetchShareImage();
        shareBtn_ = Button::buttonWithType(ButtonType::Custom);
        shareBtn_->setFrame(Rect(0, 0, 44, 44));
        shareBtn_->setTitle(localized("分享"));
        shareBtn_->setTitleColor(Color::whiteColor());
        shareBtn_->titleLabel()->setFont(Font::systemFontOfSize(14));
        shareBtn_->setBackgroundColor(Color::clear());
        shareBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
            if (auto self = weak.lock()) self->sendBtnClicked(static_cast<Button&>(sender));
        });
        navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(shareBtn_));
    }
}

// The share picture comes in the background; a share made before it arrives (or when it
// never does) uses the default picture.
void MVTWebViewController::fetchShareImage() {
    const Json image = myDict_.is_object() && myDict_.contains("image") ? myDict_["image"] : Json();
    if (!image.is_string() || image.get<std::string>().empty()) return;
    const std::string address = image.get<std::string>();
    if (!WebView::isValidAddress(address)) return;
    std::weak_ptr<MVTWebViewController> weak = std::static_pointer_cast<MVTWebViewController>(shared_from_this());
    shareImageOperation_ = HttpRequestOperation::operationWithRequest(
        UrlRequest(address),
        [weak](HttpRequestOperation&, const std::string& body) {
            if (auto self = weak.lock()) {
                self->shareImageOperation_.reset();
                if (!body.empty()) self->shareImageData_ = body;
            }
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) self->shareImageOperation_.reset();
        });
    shareImageOperation_->setMaxResponseBytes(kMaxShareImageBytes);
    shareImageOperation_->start();
}

// ---- Loading

void MVTWebViewController::replaceWebView(const Rect& frame, bool scales) {
    // A second load replaces the first page view rather than lying over it.
    if (web_) {
        web_->setDelegate(nullptr);
        web_->stopLoading();
        web_->removeFromSuperview();
    }
    if (textArea_) {
        textArea_->removeFromSuperview();
        textArea_.reset();
    }
    web_ = std::make_shared<WebView>(frame);
    web_->setScalesPageToFit(scales);
    web_->setDelegate(weakAs<WebViewDelegate>().lock());
    view()->addSubview(web_);
}

void MVTWebViewController::reloadUrlWith(const std::string& url, const std::string& title) {
    setTitle(localized("加载中..."));
    webTitle_ = title;
    replaceWebView(Rect(0, 0, webScreenWidth(), webScreenHeight() - 64), isFromHomeView_);
    web_->loadRequest(UrlRequest(url));
}

void MVTWebViewController::reloadUrlWithInfo(const std::string& url, const std::string& title) {
    setTitle(localized("加载中..."));
    webTitle_ = title;
    replaceWebView(Rect(0, 20, webScreenWidth(), webScreenHeight() - 20), isFromHomeView_);
    StatisticsKit::shared().beginLogPageView("本地信息");
    web_->loadRequest(UrlRequest(url));
}

std::optional<std::string> MVTWebViewController::readText(const std::string& path) {
    auto bytes = readFile(path, kMaxTextFileBytes);
    if (!bytes) return std::nullopt;
    if (auto text = decodeStrict(*bytes, "UTF-8")) return text;
    return decodeStrict(*bytes, "GB18030");
}

void MVTWebViewController::reloadUrlWithPath(const std::string& path, const std::string& title) {
    setTitle(localized("加载中..."));
    webTitle_ = title;
    replaceWebView(Rect(0, 0, webScreenWidth(), webScreenHeight() - 64), true);
    if (endsWithTxt(path)) {
        if (auto text = readText(path)) {
            textMode_ = true;
            view()->setTag(kTextModeTag);
            web_->loadHTMLString(fill(kTextPageFormat, platform::escapeHtml(*text)), "");
            return;
        }
    }
    web_->loadRequest(UrlRequest(WebView::fileUrlWithPath(path)));
}

void MVTWebViewController::reloadUrlWithHtmlStr(const std::string& content, const std::string& headline) {
    setTitle(localized("加载中..."));
    webTitle_ = headline;
    setTitle(localized("作业详情"));
    if (textArea_) textArea_->removeFromSuperview();
    const double width = webScreenWidth();
    auto area = std::make_shared<ScrollView>(Rect(0, 0, width, webScreenHeight() - 64));
    area->setBackgroundColor(Color::clear());

    auto label = std::make_shared<Label>();
    const Font headlineFont = Font::boldSystemFontOfSize(18);
    label->setFont(headlineFont);
    label->setTextColor(Color::rgba(0.333, 0.333, 0.333, 1));
    label->setNumberOfLines(0);
    label->setText(headline);
    const double labelHeight =
        std::ceil(TextMeasure::sizeWithFont(headline, headlineFont, Size{width - 10, 200}, LineBreakMode::WordWrap).height);
    label->setFrame(Rect(5, 5, width - 10, labelHeight));
    area->addSubview(label);

    auto text = std::make_shared<TextView>();
    text->setEditable(false);
    text->setScrollEnabled(false);
    text->setBackgroundColor(Color::clear());
    text->setFont(Font::boldSystemFontOfSize(16));
    text->setTextColor(Color::darkGray());
    text->setFrame(Rect(0, labelHeight + 10, width, 10));
    text->setText(content);
    const double textHeight = std::ceil(text->contentSize().height);
    text->setFrame(Rect(0, labelHeight + 10, width, textHeight));
    area->addSubview(text);
    area->setContentSize({width, labelHeight + 10 + textHeight});

    textArea_ = area;
    view()->addSubview(area);
}

// ---- Web view answers

bool MVTWebViewController::webViewShouldStartLoadWithRequest(WebView&, const UrlRequest& request,
                                                             WebViewNavigationType) {
    if (request.url() == kCloseAddress) {
        goback();
        return false;
    }
    return true;
}

void MVTWebViewController::webViewDidStartLoad(WebView&) {
    // A page that already shows its title keeps it while its links load.
    if (webTitle_.rfind(title(), 0) != 0) setTitle(localized("加载中..."));
}

void MVTWebViewController::webViewDidFinishLoad(WebView& webView) {
    setTitle(webTitle_);
    if (textMode_) webView.stringByEvaluatingJavaScriptFromString(kTextSizeScript);
}

void MVTWebViewController::webViewDidFailLoadWithError(WebView&, const HttpError&) { setTitle(webTitle_); }

// ---- Leaving

void MVTWebViewController::goback() {
    if (accessibilityValue_ == "push") {
        if (auto* nav = navigationController()) nav->popViewController(true);
        return;
    }
    // The presented stack goes, with anything presented over this screen.
    if (auto* presenter = presentingViewController()) presenter->dismissViewController(false);
    else dismissViewController(false);
}

// ---- Sharing

Json MVTWebViewController::shareDictionary(const Json& myDict, const std::string& imageBytes) {
    auto text = [&](const char* key) -> std::optional<std::string> {
        if (!myDict.is_object() || !myDict.contains(key) || !myDict[key].is_string()) return std::nullopt;
        return myDict[key].get<std::string>();
    };
    Json dict = Json::object();
    dict["title"] = text("title").value_or(localized("岚溪校讯动态"));
    if (auto description = text("description")) {
        std::string content = *description;
        content.erase(std::remove_if(content.begin(), content.end(), [](char c) { return c == '\n' || c == '\t'; }),
                      content.end());
        dict["content"] = content;
    } else {
        dict["content"] = localized("来自岚溪校讯的分享");
    }
    const Json::binary_t bytes(std::vector<std::uint8_t>(imageBytes.begin(), imageBytes.end()));
    dict["thumbImage"] = Json::binary(bytes);
    dict["image"] = Json::binary(bytes);
    if (myDict.is_object() && myDict.contains("link")) dict["url"] = myDict["link"];
    return dict;
}

void MVTWebViewController::sendBtnClicked(Button& sender) {
    if (MVTPublicMethod::isUnClassId()) {
        MVTInterClassViewController::showJoinClassAlert(weakAs<AlertViewDelegate>());
        return;
    }
    if (shareImageData_.empty()) {
        if (auto picture = Image::imageNamed("tirra.png")) shareImageData_ = picture->pngData();
    }
    auto wrapper = MVTShareViewController::shareViewController();
    wrapper->shareTo(shareDictionary(myDict_, shareImageData_), &sender);
    wrapper->setDelegate(std::dynamic_pointer_cast<shareDelegate>(shared_from_this()));
}

void MVTWebViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    MVTInterClassViewController::answerJoinClassAlert(*this, alert, index);
}

void MVTWebViewController::shareResult(const std::string& text) {
    const double width = webScreenWidth();
    auto banner = std::make_shared<Label>(Rect(5, 5, width - 10, 26));
    banner->setText(text);
    banner->setTextColor(Color::whiteColor());
    banner->setFont(Font::boldSystemFontOfSize(14));
    banner->setTextAlignment(TextAlignment::Center);
    banner->setBackgroundColor(Color::rgb255(58, 145, 32));
    banner->setCornerRadius(4);
    banner->setClipsToBounds(true);
    view()->addSubview(banner);
    shareBanner_ = banner;
    animate(1.0, [banner, width] {
        banner->setFrame(Rect(5, -30, width - 10, 26));
        banner->setAlpha(0);
    });
}
