#pragma once

#include "platform/HttpResponse.h"
#include "platform/UrlRequest.h"
#include "platform/ui/ScrollView.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class HttpRequestOperation;
class WebView;

enum class WebViewNavigationType { LinkClicked, FormSubmitted, BackForward, Reload, FormResubmitted, Other };

// What a web view tells its delegate. Every operation is optional.
class WebViewDelegate {
public:
    virtual ~WebViewDelegate() = default;
    // Asked before every navigation: a load asked for in code and a followed link alike.
    // Answering false refuses it; nothing is loaded.
    virtual bool webViewShouldStartLoadWithRequest(WebView& webView, const UrlRequest& request,
                                                   WebViewNavigationType type) {
        (void)webView;
        (void)request;
        (void)type;
        return true;
    }
    virtual void webViewDidStartLoad(WebView& webView) { (void)webView; }
    virtual void webViewDidFinishLoad(WebView& webView) { (void)webView; }
    virtual void webViewDidFailLoadWithError(WebView& webView, const HttpError& error) {
        (void)webView;
        (void)error;
    }
};

// An object that a web view offers to its pages' scripts under a name (the script bridge).
class ScriptObject {
public:
    virtual ~ScriptObject() = default;
    // A page script called `operation` with these arguments (literals as text). False when
    // the object has no such operation.
    virtual bool callFromScript(const std::string& operation, const std::vector<std::string>& arguments) = 0;
};

// Stand-in for the handset's web view. There is no browser engine here: the view fetches
// a page with the HTTP kit (or reads a file), parses it with libxml2's HTML parser and
// shows its readable text, its links and its pictures, laid out from top to bottom in a
// scroll view. Page scripts do not run. Scripts asked for in code are understood in a few
// forms only (see stringByEvaluatingJavaScriptFromString), and so is a link whose address
// is a script calling an object offered to the page ("javascript:serverinfo.goBack()").
//
// The page lies in the view's scroll view (scrollView()); points of the web view itself
// are points of the visible part of the page.
//
// Loads report to the delegate on the main run loop: start on the next turn of the loop,
// then finish or fail. A reply with an error status is shown as the page it carries, as
// a browser does; a load without a reply (no connection, timeout) or with an address the
// view cannot load fails. Plain text is shown as text, never read as markup.
class WebView : public View {
public:
    WebView();
    explicit WebView(const Rect& frame);
    ~WebView() override;

    std::string className() const override { return "WebView"; }

    // The scroll view that carries the page (bounces, offset, content size).
    const std::shared_ptr<ScrollView>& scrollView() const { return scrollView_; }

    std::shared_ptr<WebViewDelegate> delegate() const { return delegate_.lock(); }
    // Held weakly.
    void setDelegate(const std::shared_ptr<WebViewDelegate>& delegate) { delegate_ = delegate; }

    // With scaling on, a page without a device-width viewport is laid out 980 CSS pixels
    // wide and shrunk to the view's width, as the handset's web view does.
    bool scalesPageToFit() const { return scalesPageToFit_; }
    void setScalesPageToFit(bool on);

    // Loads the request's address: http and https through the HTTP kit, file addresses
    // from the file system, "about:blank" as an empty page. An address that is not a valid
    // address text starts nothing and tells the delegate nothing.
    void loadRequest(const UrlRequest& request);
    // Shows the HTML text; links and pictures resolve against `baseUrl` (may be empty).
    void loadHTMLString(const std::string& html, const std::string& baseUrl);
    void stopLoading();
    bool isLoading() const { return loading_; }
    // The request of the page shown or being loaded.
    const UrlRequest& request() const { return request_; }

    // Understood forms (whitespace and a trailing ";" aside):
    //   document.title                       the page's title
    //   document.body.innerHTML              the body's markup
    //   document.body.innerText              the readable text
    //   document.elementFromPoint(x, y).src  the address of the picture at that viewport
    //                                        point (CSS pixels), empty for anything else
    //   name.operation(arguments)            calls an object offered under that name
    // Anything else answers the empty text. Every script asked for is recorded.
    std::string stringByEvaluatingJavaScriptFromString(const std::string& script);

    // Offers `object` to the page's scripts as `name`; the view keeps it alive.
    void addJavascriptInterfaces(const std::shared_ptr<ScriptObject>& object, const std::string& name);
    std::shared_ptr<ScriptObject> javascriptInterface(const std::string& name) const;

    // Follows a link of the page as a tap on it would: a script address calls the offered
    // object it names; any other address is resolved against the page's address and,
    // when the delegate allows it, loaded. False when nothing was followed.
    bool followLink(const std::string& href);

    // ---- What the page shows (for tests and the screens).
    const std::string& pageTitle() const { return title_; }
    // The readable text, one line per block (paragraph, heading, list item, link).
    std::string pageText() const;
    // The "src" of every picture of the page, in document order ("//img"; a picture
    // without "src" is skipped).
    const std::vector<std::string>& imageSources() const { return imageSources_; }
    // The link addresses of the page, in document order, as written.
    std::vector<std::string> linkAddresses() const;

    // ---- What the view was asked (for tests).
    // Every request it started loading (the delegate allowed it), in order.
    const std::vector<UrlRequest>& loadedRequests() const { return loadedRequests_; }
    const std::vector<std::string>& evaluatedScripts() const { return evaluatedScripts_; }

    // The "src" of every "//img" element of an HTML text, in document order; elements
    // without "src" are skipped.
    static std::vector<std::string> imageSourcesInHtml(const std::string& html);
    // Whether the text can be made into an address: printable ASCII without spaces, quotes,
    // angle brackets, braces, "|", "\", "^" or "`", and "%" only before two hex digits.
    static bool isValidAddress(const std::string& text);
    // Percent-escapes, as UTF-8, every byte that cannot stand in an address (non-ASCII,
    // controls, space and " % < > [ \ ] ^ ` { | }); the address's own punctuation stays.
    static std::string addingPercentEscapes(const std::string& text);
    // The file address of a local path ("file:///..."), every byte that is not plain
    // path text percent-escaped.
    static std::string fileUrlWithPath(const std::string& path);

    void layoutSubviews() override;

    struct Block;
    struct Page;

private:
    bool navigate(const UrlRequest& request, WebViewNavigationType type);
    void begin(const UrlRequest& request, std::function<void(unsigned long)> run);
    void startHttp(unsigned long generation);
    void readFileUrl(unsigned long generation);
    void showHtml(const std::string& html, const std::string& url, const std::string& encoding);
    void showText(const std::string& text);
    void showPicture(const std::string& bytes);
    void showDocument(const std::string& name);
    void reportStart(unsigned long generation);
    void finish(unsigned long generation);
    void fail(unsigned long generation, const HttpError& error);
    void clearPage();
    void buildBlocks();
    void layoutBlocks();
    void fetchPicture(size_t index);
    double pageScale() const;
    std::string callScriptObject(const std::string& script, bool* called);

    std::shared_ptr<ScrollView> scrollView_;
    std::weak_ptr<WebViewDelegate> delegate_;
    bool scalesPageToFit_ = false;
    bool loading_ = false;
    unsigned long generation_ = 0;
    unsigned long startReported_ = 0;
    UrlRequest request_;
    std::string baseUrl_;
    std::shared_ptr<HttpRequestOperation> operation_;
    std::vector<std::shared_ptr<HttpRequestOperation>> pictureOperations_;
    std::shared_ptr<Page> page_;
    std::string title_;
    std::vector<std::string> imageSources_;
    std::vector<UrlRequest> loadedRequests_;
    std::vector<std::string> evaluatedScripts_;
    std::map<std::string, std::shared_ptr<ScriptObject>> interfaces_;
    double laidOutWidth_ = -1;
};

using WebViewRef = std::shared_ptr<WebView>;

}  // namespace platform
