#include "shell/MVTReportViewController.h"

#include "shell/MVTInterface.h"

#include "platform/ui/Screen.h"

using namespace platform;

void MVTReportViewController::loadRegister(const std::string& address) {
    auto root = view();
    const double width = Screen::mainScreen().bounds().width();
    registerWeb_ = std::make_shared<WebView>(Rect(0, h_ + 44, width, root->bounds().height() - 44 - h_));
    registerWeb_->setScalesPageToFit(false);
    registerWeb_->scrollView()->setBounces(false);
    registerWeb_->setDelegate(weakAs<WebViewDelegate>().lock());
    root->addSubview(registerWeb_);
    registerWeb_->loadRequest(UrlRequest(WebView::addingPercentEscapes(address)));
    registerWeb_->addJavascriptInterfaces(std::make_shared<MVTInterface>(), MVTInterface::kScriptName);
}
