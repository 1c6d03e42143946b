#include "me/SpaceShared.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/HttpClient.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/HttpMultipartForm.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TextField.h"

using namespace platform;

namespace space {

std::string currentUserId() { return MVTAccount::sharedInstance().userId().value_or(""); }

std::string currentRole() { return MVTAccount::sharedInstance().role().value_or(""); }

std::string serviceUrl(const std::string& path) { return ServiceAddress::servicePrefix() + path; }

bool succeeded(const Json& reply) { return integerValue(textOf(valueFor(reply, "success"))) != 0; }

bool sendJson(const std::string& method, const std::string& path, const Json& parameters,
              std::function<void(const Json&)> reply, std::function<void()> failure) {
    auto request = MVTPublicMethod::requestWithMethod(method, serviceUrl(path), parameters);
    if (!request) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return false;
    }
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request, [reply = std::move(reply)](HttpJsonRequestOperation&, const Json& json) { reply(json); },
        [failure = std::move(failure)](HttpRequestOperation&, const HttpError&) { failure(); });
    operation->start();
    return true;
}

constexpr std::size_t kLargestRefusal = 64 * 1024;

bool sendMultipart(const std::string& path, const std::function<void(HttpMultipartForm&)>& fill,
                   std::shared_ptr<ProgressHUD>& hud, const std::shared_ptr<View>& view,
                   std::function<void(const std::string& body)> done, std::function<void()> failed) {
    const std::string url = serviceUrl(path);
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return false;
    }
    UrlRequest request = client->multipartFormRequestWithMethod("POST", url, nullptr, fill);
    request.setTimeoutInterval(kUploadTimeout);
    showOverlay(hud, view, true);
    // The overlay is the screen's; it is hidden through the screen's own slot, so a screen
    // that has gone leaves nothing to hide.
    std::weak_ptr<ProgressHUD> shown = hud;
    auto operation = client->HTTPRequestOperationWithRequest(
        std::move(request),
        [shown, done = std::move(done), failed](HttpRequestOperation&, const std::string& body) {
            if (auto overlay = shown.lock()) overlay->hide(true);
            // A refusal is a short object; a large body is not parsed at all.
            const Json parsed = body.size() <= kLargestRefusal ? Json::parse(body, nullptr, false) : Json();
            if (parsed.is_object() && parsed.contains("success") && !succeeded(parsed)) failed();
            else done(body);
        },
        [shown, failed](HttpRequestOperation&, const HttpError&) {
            if (auto overlay = shown.lock()) overlay->hide(true);
            failed();
        });
    operation->start();
    return true;
}

void installBackButton(ViewController& screen, std::function<void()> action) {
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [action = std::move(action)](Control&) { action(); });
    screen.navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
}

void showOverlay(std::shared_ptr<ProgressHUD>& hud, const std::shared_ptr<View>& view, bool show) {
    if (show) {
        if (hud) hud->removeFromSuperview();
        hud = ProgressHUD::showHUDAddedTo(view, true);
        hud->setRemoveFromSuperViewOnHide(true);
    } else if (hud) {
        hud->hide(true);
    }
}

std::shared_ptr<AlertView> showApplyAlert(std::weak_ptr<AlertViewDelegate> delegate, bool overLimit,
                                          const std::string& text) {
    auto alert = AlertView::make(localized("验证申请"),
                                 localized(overLimit ? "你所添加的申请信息超出20字符限定,请删除多余的字符"
                                                     : "你需要发送验证请求，并在对方通过后才能成为朋友(20字以内)"),
                                 std::move(delegate), localized("取消"), {localized("确定")});
    alert->setAlertViewStyle(AlertViewStyle::PlainTextInput);
    alert->setTag(int(kApplyAlertTag));
    if (auto field = alert->textFieldAtIndex(0)) field->setText(text);
    alert->show();
    return alert;
}

std::string applyAlertText(AlertView& alert) {
    auto field = alert.textFieldAtIndex(0);
    return field ? field->text() : std::string();
}

bool applyTextFits(const std::string& text) { return utf16Length(text) <= kApplyTextLimit; }

}  // namespace space
