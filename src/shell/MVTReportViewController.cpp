#include "shell/MVTReportViewController.h"

#include "shell/MVTInterface.h"

#include "platform/ui/Screen.h"

#include <cctype>

using namespace platform;

namespace {

// The address escaped for loading, except that an escape already in it ("%" and two hex
// digits) stays as it is: the report address comes with its values escaped, and escaping
// them a second time would hand the page "%E6…" instead of the name.
std::string reportAddressEscaped(const std::string& address) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t i = 0; i < address.size(); ++i) {
        const bool escape = address[i] == '%' && i + 2 < address.size() &&
                            std::isxdigit(static_cast<unsigned char>(address[i + 1])) &&
                            std::isxdigit(static_cast<unsigned char>(address[i + 2]));
        if (!escape) continue;
        out += WebView::addingPercentEscapes(address.substr(from, i - from));
        out += address.substr(i, 3);
        from = i + 3;
        i += 2;
    }
    out += WebView::addingPercentEscapes(address.substr(from));
    return out;
}

}  // namespace

void MVTReportViewController::loadRegister(const std::string& address) {
    auto root = view();
    const double width = Screen::mainScreen().bounds().width();
    registerWeb_ = std::make_shared<WebView>(Rect(0, h_ + 44, width, root->bounds().height() - 44 - h_));
    registerWeb_->setScalesPageToFit(false);
    registerWeb_->scrollView()->setBounces(false);
    registerWeb_->setDelegate(weakAs<WebViewDelegate>().lock());
    root->addSubview(registerWeb_);
    registerWeb_->loadRequest(UrlRequest(reportAddressEscaped(address)));
    registerWeb_->addJavascriptInterfaces(std::make_shared<MVTInterface>(), MVTInterface::kScriptName);
}
