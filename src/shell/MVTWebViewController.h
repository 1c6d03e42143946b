#pragma once

#include "shell/MVTShareViewController.h"
#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/WebView.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {
class Button;
class HttpRequestOperation;
class Label;
}  // namespace platform

// The general in-app web page screen: web pages by address, downloaded files (plain text
// shown as text) and, for the homework list, a plain text shown natively. It may offer a
// share button for articles. The opener presents it inside a navigation stack, or pushes it
// after setting its accessibility value to "push", and only then calls one load operation.
// A page that navigates to "closewebview:" closes the screen.
class MVTWebViewController : public ViewViewController,
                             public platform::WebViewDelegate,
                             public platform::AlertViewDelegate,
                             public shareDelegate {
public:
    // The address by which a page asks to close the screen.
    static constexpr const char* kCloseAddress = "closewebview:";
    // The page a plain text file is shown in; the text goes in escaped.
    static constexpr const char* kTextPageFormat = "<HTML><body><pre style= 'font-size:300%%'>%@</pre></body></HTML>";
    static constexpr const char* kTextSizeScript =
        "document.getElementsByTagName('body')[0].style.webkitTextSizeAdjust='300%'";
    // Tag of the screen's view while it shows a plain text file.
    static constexpr int kTextModeTag = 3;
    static constexpr long kJoinClassAlertTag = 10010;

    MVTWebViewController();
    ~MVTWebViewController() override;
    std::string className() const override { return "MVTWebViewController"; }

    void viewDidLoad() override;

    // "push" when the opener pushed the screen onto its own stack; anything else: presented.
    const std::string& accessibilityValue() const { return accessibilityValue_; }
    void setAccessibilityValue(const std::string& value) { accessibilityValue_ = value; }

    bool isFromHomeView() const { return isFromHomeView_; }
    void setIsFromHomeView(bool fromHome) { isFromHomeView_ = fromHome; }
    // Set before the view loads.
    bool isNeedToShare() const { return isNeedToShare_; }
    void setIsNeedToShare(bool share) { isNeedToShare_ = share; }
    // "title", "description", "image" (picture address), "link"; set before the view loads.
    const platform::Json& myDict() const { return myDict_; }
    void setMyDict(const platform::Json& dict) { myDict_ = dict; }

    // reloadUrlWith:And: the page at the address as given.
    void reloadUrlWith(const std::string& url, const std::string& title);
    // reloadUrlWithInfo:And: a full-height page for an opener that hides the bar.
    void reloadUrlWithInfo(const std::string& url, const std::string& title);
    // reloadUrlWithPath:And: a downloaded file; ".txt" (any case) is shown as text when it
    // reads as UTF-8 or GB18030.
    void reloadUrlWithPath(const std::string& path, const std::string& title);
    // reloadUrlWithHtmlStr:And: a plain text under a headline, shown natively.
    void reloadUrlWithHtmlStr(const std::string& content, const std::string& headline);

    // Pops (pushed) or dismisses (presented) the screen.
    void goback();
    // The share button: the join-a-class alert for a user without a class, else the share.
    void sendBtnClicked(platform::Button& sender);
    // The share wrapper's outcome, shown in a green banner that rises and fades.
    void shareResult(const std::string& text) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    bool webViewShouldStartLoadWithRequest(platform::WebView& webView, const platform::UrlRequest& request,
                                           platform::WebViewNavigationType type) override;
    void webViewDidStartLoad(platform::WebView& webView) override;
    void webViewDidFinishLoad(platform::WebView& webView) override;
    void webViewDidFailLoadWithError(platform::WebView& webView, const platform::HttpError& error) override;

    // The share dictionary for the article data and picture bytes (empty: the default
    // picture "tirra.png").
    static platform::Json shareDictionary(const platform::Json& myDict, const std::string& imageBytes);
    // A file's text: UTF-8, else GB18030; nothing when it reads as neither (or is missing).
    static std::optional<std::string> readText(const std::string& path);

    std::shared_ptr<platform::WebView> web() const { return web_; }
    const std::string& webTitle() const { return webTitle_; }
    std::shared_ptr<platform::Button> leftBtn() const { return leftBtn_; }
    std::shared_ptr<platform::Button> shareBtn() const { return shareBtn_; }
    const std::string& shareImageData() const { return shareImageData_; }
    bool isTextMode() const { return textMode_; }
    std::shared_ptr<platform::Label> shareBanner() const { return shareBanner_; }

private:
    void replaceWebView(const platform::Rect& frame, bool scales);
    void fetchShareImage();

    std::shared_ptr<platform::WebView> web_;
    std::string webTitle_;
    std::shared_ptr<platform::Button> leftBtn_;
    std::shared_ptr<platform::Button> shareBtn_;
    bool isFromHomeView_ = false;
    bool isNeedToShare_ = false;
    platform::Json myDict_ = platform::Json::object();
    std::string shareImageData_;
    std::shared_ptr<platform::HttpRequestOperation> shareImageOperation_;
    bool textMode_ = false;
    std::string accessibilityValue_;
    std::shared_ptr<platform::View> textArea_;
    std::shared_ptr<platform::Label> shareBanner_;
};
