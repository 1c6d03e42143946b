#include "account/MVTRegisterViewController.h"

#include "account/MVTPerfectInfoViewController.h"
#include "account/RegisterForm.h"
#include "account/RegisterMessageStrip.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/Values.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

#include <algorithm>

using namespace platform;
using namespace register_form;

namespace {

constexpr const char* kValidateFailed = "验证失败";

}  // namespace

MVTRegisterViewController::MVTRegisterViewController() = default;

MVTRegisterViewController::~MVTRegisterViewController() = default;

void MVTRegisterViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("注册"));
    std::weak_ptr<MVTRegisterViewController> weak =
        std::static_pointer_cast<MVTRegisterViewController>(shared_from_this());
    setBackArrow(*this, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    initRegisterView();
    RunLoop::main().performAfter(kFocusDelay, [weak] {
        if (auto self = weak.lock()) self->startAccountField();
    });
}

void MVTRegisterViewController::initRegisterView() {
    const double width = Screen::mainScreen().bounds().width() - 20;
    auto root = view();

    auto makeField = [&](double y, const std::string& placeholder) {
        auto box = whiteBox({10, y, width, 44});
        root->addSubview(box);
        return addField(*box, width - 20, placeholder, weakAs<TextFieldDelegate>());
    };

    // Placeholders are shown as they stand in every language.
    accountField_ = makeField(10, registerRole_ == "student" ? "用户名（用于登录的账号）" : "手机号（可以作为登录用户名）");
    accountField_->setKeyboardType(KeyboardType::ASCIICapable);
    accountField_->setReturnKeyType(ReturnKeyType::Next);

    passwordField_ = makeField(64, "登录密码");
    passwordField_->setSecureTextEntry(true);
    passwordField_->setKeyboardType(KeyboardType::Default);
    passwordField_->setReturnKeyType(ReturnKeyType::Done);

    std::weak_ptr<MVTRegisterViewController> weak =
        std::static_pointer_cast<MVTRegisterViewController>(shared_from_this());
    nextButton_ = wideButton({10, 64 + 44 + 10, width, 44}, localized("下一步"), [weak](Control&) {
        if (auto self = weak.lock()) self->toDoNext();
    });
    root->addSubview(nextButton_);
}

void MVTRegisterViewController::startAccountField() {
    if (accountField_) accountField_->becomeFirstResponder();
}

void MVTRegisterViewController::goback() {
    accountField_->resignFirstResponder();
    passwordField_->resignFirstResponder();
    dismissViewController(true);
}

bool MVTRegisterViewController::textFieldShouldReturn(TextField& field) {
    if (&field == accountField_.get()) {
        passwordField_->becomeFirstResponder();
    } else {
        // Return in the password field only closes the keyboard; "下一步" submits.
        field.resignFirstResponder();
    }
    return true;
}

bool MVTRegisterViewController::textFieldShouldClear(TextField&) { return true; }

void MVTRegisterViewController::toDoNext() {
    view();
    accountField_->resignFirstResponder();
    passwordField_->resignFirstResponder();

    const std::string typed = accountField_->text();
    const std::string account = withoutSpaces(typed);
    const std::string password = withoutSpaces(passwordField_->text());
    // Everything after this point sees the password without its spaces.
    passwordField_->setText(password);

    const bool student = registerRole_ == "student";
    if (account.empty()) {
        mindErr(student ? "请输入用户名" : "请输入手机号");
        return;
    }
    if (utf16Length(password) < kShortestPassword) {
        mindErr("请输入密码，不少于6位(空格无效)");
        return;
    }
    const bool mobile = MVTPublicMethod::validateMobile(typed);
    if (!student && !mobile) {
        mindErr("请输入真实的手机号");
        return;
    }

    const Json param{{student && !mobile ? "username" : "mobile", typed}};
    auto request = MVTPublicMethod::requestWithMethod("POST", ServiceAddress::servicePrefix() + "registerValidate", param);
    if (!request) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showHUDWithBool(true);
    request->setTimeoutInterval(kRequestTimeout);
    std::weak_ptr<MVTRegisterViewController> weak =
        std::static_pointer_cast<MVTRegisterViewController>(shared_from_this());
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            self->handleValidateReply(reply);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            self->mindErr(kValidateFailed);
        });
    operation->start();
}

void MVTRegisterViewController::handleValidateReply(const Json& reply) {
    if (reply.is_null()) {
        mindErr(kValidateFailed);
        return;
    }
    if (integerValue(valueFor(reply, "success")) != 0) {
        goToPerfectInfo();
        return;
    }
    // A refusal without a reason of its own reads as a failed check.
    const Json& message = valueFor(reply, "message");
    mindErr(MVTPublicMethod::stringIsClassNull(message) ? kValidateFailed : textOf(message));
}

void MVTRegisterViewController::goToPerfectInfo() {
    auto next = std::make_shared<MVTPerfectInfoViewController>();
    next->setRegisterRole(registerRole_);
    next->setAccountStr(accountField_->text());
    next->setPasswordStr(passwordField_->text());
    if (auto* navigation = navigationController()) navigation->pushViewController(next, true);
}

void MVTRegisterViewController::mindErr(const std::string& text) {
    const double width = Screen::mainScreen().bounds().width();
    showRegisterMessageStrip(view(), text, {0, 0, width, 26}, 0);
}

void MVTRegisterViewController::showHUDWithBool(bool show) { showWaiting(HUD_, view(), show); }
