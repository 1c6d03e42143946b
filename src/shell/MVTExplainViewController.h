#pragma once

#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class GestureRecognizer;
class Label;
class ProgressHUD;
class View;
}  // namespace platform

// A page screen with a top bar of its own and a loading overlay: the advert pages of the
// home feed. With picture mode 1 it collects the page's picture addresses after every
// finished load, and with isFromHomeView a tap on a picture opens the web page picture
// viewer on the screen's navigation stack. It closes from its back button, after a failed
// load, and on "toBackToLogin" (a report page's serverinfo.goBack()).
class MVTExplainViewController : public platform::ViewController,
                                 public platform::WebViewDelegate,
                                 public platform::AlertViewDelegate {
public:
    MVTExplainViewController();
    ~MVTExplainViewController() override;
    std::string className() const override { return "MVTExplainViewController"; }

    void viewDidLoad() override;

    void setATag(int tag) { aTag_ = tag; }
    int aTag() const { return aTag_; }
    void setIsFromHomeView(bool fromHome) { isFromHomeView_ = fromHome; }
    bool isFromHomeView() const { return isFromHomeView_; }

    // A new web view below the top bar loading the address (as given).
    void loadWithUrl(const std::string& url);
    // The text of the top bar.
    void setNewTitle(const std::string& title);
    // Hides the overlay and closes the screen (with everything presented over it).
    void goback();
    // YES: a new overlay in the content area, on top; NO: hides it and takes the area away.
    void showHUDWithBool(bool show);
    // A single tap on the page: the picture under it opens the picture viewer.
    void handleSingleTap(platform::GestureRecognizer& recognizer);

    bool webViewShouldStartLoadWithRequest(platform::WebView& webView, const platform::UrlRequest& request,
                                           platform::WebViewNavigationType type) override;
    void webViewDidStartLoad(platform::WebView& webView) override;
    void webViewDidFinishLoad(platform::WebView& webView) override;
    void webViewDidFailLoadWithError(platform::WebView& webView, const platform::HttpError& error) override;
    // The failure alert: any answer closes the screen.
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    int h() const { return h_; }
    std::shared_ptr<platform::Button> leftBtn() const { return leftBtn_; }
    std::shared_ptr<platform::Label> titleLa() const { return titleLa_; }
    std::shared_ptr<platform::View> contentView() const { return contentView_; }
    std::shared_ptr<platform::ProgressHUD> HUD() const { return HUD_; }
    std::shared_ptr<platform::WebView> web() const { return web_; }
    std::shared_ptr<platform::WebView> registerWeb() const { return registerWeb_; }
    const std::vector<std::string>& imageSrcArr() const { return imageSrcArr_; }

protected:
    // 20 from system version 7, else 0.
    static int statusBarOffset();
    int h_ = 0;
    std::shared_ptr<platform::WebView> registerWeb_;

private:
    std::shared_ptr<platform::Button> leftBtn_;
    std::shared_ptr<platform::Label> titleLa_;
    std::shared_ptr<platform::View> contentView_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
    std::shared_ptr<platform::WebView> web_;
    std::vector<std::string> imageSrcArr_;
    bool isFromHomeView_ = false;
    int aTag_ = 0;
    platform::ObserverToken backToLogin_;
};
