#include "shell/MVTExplainViewController.h"

#include "shell/InternationalControl.h"
#include "shell/MVTInterface.h"
#include "shell/MVTShowImagesViewController.h"

#include "core/MVTPublicMethod.h"

#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <cstdio>

using namespace platform;

namespace {

double explainScreenWidth() { return Screen::mainScreen().bounds().width(); }
double explainScreenHeight() { return Screen::mainScreen().bounds().height(); }

// Closes `screen` with whatever was presented over it: the presenter takes its stack away.
void closeScreen(ViewController& screen, bool animated) {
    if (auto* presenter = screen.presentingViewController()) presenter->dismissViewController(animated);
    else screen.dismissViewController(animated);
}

}  // namespace

MVTExplainViewController::MVTExplainViewController() = default;

MVTExplainViewController::~MVTExplainViewController() {
    if (web_) web_->setDelegate(nullptr);
    if (registerWeb_) registerWeb_->setDelegate(nullptr);
}

int MVTExplainViewController::statusBarOffset() { return Screen::systemVersion() >= 7.0 ? 20 : 0; }

void MVTExplainViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    h_ = statusBarOffset();
    if (auto* nav = navigationController()) nav->setNavigationBarHidden(true);
    auto root = view();
    const double width = explainScreenWidth();

    auto bar = MVTPublicMethod::imageViewWithColor(Color::rgba(0.137, 0.718, 0.898, 1));
    bar->setFrame(Rect(0, h_ - 100, width, 100 + 44));
    root->addSubview(bar);

    leftBtn_ = Button::buttonWithType(ButtonType::Custom);
    leftBtn_->setFrame(Rect(Screen::systemVersion() >= 7.0 ? 12 : 2, h_, 40, 40));
    leftBtn_->setImage(Image::imageNamed("backbt"), ControlStateNormal);
    leftBtn_->setImage(Image::imageNamed("backbt"), ControlStateHighlighted);
    leftBtn_->setImageEdgeInsets({11, 0, 11, 22});
    std::weak_ptr<MVTExplainViewController> weak = std::static_pointer_cast<MVTExplainViewController>(shared_from_this());
    leftBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    root->addSubview(leftBtn_);

    titleLa_ = std::make_shared<Label>(Rect(60, h_, width - 120, 44));
    titleLa_->setBackgroundColor(Color::clear());
    titleLa_->setTextColor(Color::whiteColor());
    titleLa_->setFont(Font::boldSystemFontOfSize(18));
    titleLa_->setTextAlignment(TextAlignment::Center);
    root->addSubview(titleLa_);

    contentView_ = std::make_shared<View>(Rect(0, h_ + 44, width, explainScreenHeight() - 64));
    contentView_->setBackgroundColor(Color::clear());

    // Observed once, however often the view loads.
    backToLogin_.reset();
    backToLogin_ = NotificationCenter::defaultCenter().addObserver(kToBackToLoginNotification, [weak](const Notification&) {
        if (auto self = weak.lock()) self->goback();
    });
}

void MVTExplainViewController::loadWithUrl(const std::string& url) {
    auto root = view();
    h_ = statusBarOffset();
    web_ = std::make_shared<WebView>(Rect(0, h_ + 44, explainScreenWidth(), explainScreenHeight() - 64));
    if (isFromHomeView_) {
        web_->setScalesPageToFit(true);
        std::weak_ptr<MVTExplainViewController> weak =
            std::static_pointer_cast<MVTExplainViewController>(shared_from_this());
        auto tap = std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer& recognizer) {
            if (auto self = weak.lock()) self->handleSingleTap(recognizer);
        });
        tap->setShouldRecognizeSimultaneously([](GestureRecognizer&, GestureRecognizer&) { return true; });
        tap->setCancelsTouchesInView(false);
        web_->addGestureRecognizer(tap);
    }
    web_->setDelegate(weakAs<WebViewDelegate>().lock());
    root->addSubview(web_);
    web_->loadRequest(UrlRequest(url));
}

void MVTExplainViewController::setNewTitle(const std::string& title) {
    view();
    titleLa_->setText(title);
}

void MVTExplainViewController::goback() {
    showHUDWithBool(false);
    closeScreen(*this, true);
}

void MVTExplainViewController::showHUDWithBool(bool show) {
    if (!isViewLoaded() || !contentView_) return;
    if (show) {
        if (HUD_) HUD_->removeFromSuperview();
        contentView_->removeFromSuperview();
        HUD_ = std::make_shared<ProgressHUD>();
        HUD_->initWithView(contentView_);
        contentView_->addSubview(HUD_);
        view()->addSubview(contentView_);
        HUD_->show(true);
    } else {
        if (HUD_) HUD_->hide(true);
        contentView_->removeFromSuperview();
    }
}

void MVTExplainViewController::handleSingleTap(GestureRecognizer& recognizer) {
    if (!web_) return;
    const Point at = recognizer.locationInView(web_.get());
    char script[128];
    std::snprintf(script, sizeof script, "document.elementFromPoint(%f, %f).src", at.x, at.y);
    const std::string src = web_->stringByEvaluatingJavaScriptFromString(script);
    if (src.empty()) return;
    auto* nav = navigationController();
    if (!nav) return;
    auto viewer = std::make_shared<MVTShowImagesViewController>();
    viewer->setNowImageUrl(src);
    viewer->setAllImagesArr(Json(imageSrcArr_));
    nav->pushViewController(viewer, true);
}

bool MVTExplainViewController::webViewShouldStartLoadWithRequest(WebView&, const UrlRequest&, WebViewNavigationType) {
    return true;
}

void MVTExplainViewController::webViewDidStartLoad(WebView&) { showHUDWithBool(true); }

void MVTExplainViewController::webViewDidFinishLoad(WebView& webView) {
    showHUDWithBool(false);
    if (aTag_ != 1) return;
    const std::string html = webView.stringByEvaluatingJavaScriptFromString("document.body.innerHTML");
    imageSrcArr_ = WebView::imageSourcesInHtml(html);
}

void MVTExplainViewController::webViewDidFailLoadWithError(WebView&, const HttpError&) {
    showHUDWithBool(false);
    AlertView::make(localized("加载失败"), "", weakAs<AlertViewDelegate>(), localized("知道了"))->show();
}

void MVTExplainViewController::alertViewClickedButtonAtIndex(AlertView&, long) { goback(); }
