#include "account/MVTPerfectInfoViewController.h"

#include "account/RegisterForm.h"
#include "account/RegisterMessageStrip.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

#include <algorithm>

using namespace platform;
using namespace register_form;

namespace {

constexpr const char* kRegisterFailed = "注册失败";
constexpr const char* kChooseSchool = "选择学校";
constexpr const char* kApprovalTitle = "加入的学校正在审核";

bool isBlank(const std::shared_ptr<TextField>& field) { return !field || withoutSpaces(field->text()).empty(); }

std::shared_ptr<Label> optionalMark(const Rect& frame) {
    auto mark = std::make_shared<Label>(frame);
    mark->setText("选填");
    mark->setFont(Font::systemFontOfSize(14));
    mark->setTextColor(Color::lightGray());
    mark->setTextAlignment(TextAlignment::Right);
    mark->setBackgroundColor(Color::clear());
    return mark;
}

}  // namespace

MVTPerfectInfoViewController::MVTPerfectInfoViewController() = default;

MVTPerfectInfoViewController::~MVTPerfectInfoViewController() = default;

void MVTPerfectInfoViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("完善信息"));
    std::weak_ptr<MVTPerfectInfoViewController> weak =
        std::static_pointer_cast<MVTPerfectInfoViewController>(shared_from_this());
    setBackArrow(*this, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    initPerfectInfoView();
    RunLoop::main().performAfter(kFocusDelay, [weak] {
        if (auto self = weak.lock()) self->startInfoField();
    });
}

void MVTPerfectInfoViewController::initPerfectInfoView() {
    const double width = Screen::mainScreen().bounds().width() - 20;
    const bool teacher = registerRole_ == "teacher", student = registerRole_ == "student";
    auto root = view();
    std::weak_ptr<MVTPerfectInfoViewController> weak =
        std::static_pointer_cast<MVTPerfectInfoViewController>(shared_from_this());

    auto row = [&](int index) {
        auto box = whiteBox({10, 10 + 54.0 * index, width, 44});
        root->addSubview(box);
        return box;
    };
    auto makeField = [&](const std::shared_ptr<View>& box, double fieldWidth, const std::string& placeholder) {
        return addField(*box, fieldWidth, placeholder, weakAs<TextFieldDelegate>());
    };
    const double fullField = width - 20;
    const double shortField = width - 60;

    // Row 1: the name, for every role. Placeholders show as they stand in every language.
    nameField_ = makeField(row(0), fullField, "真实姓名");
    nameField_->setReturnKeyType(ReturnKeyType::Next);

    // Row 2: the e-mail address, optional for students.
    auto mailRow = row(1);
    emailField_ = makeField(mailRow, student ? shortField : fullField, "邮箱（可作为登录账号）");
    emailField_->setKeyboardType(KeyboardType::EmailAddress);
    emailField_->setReturnKeyType(ReturnKeyType::Done);
    if (student) mailRow->addSubview(optionalMark({width - 50, 0, 40, 44}));

    // Row 3 by role.
    auto third = row(2);
    if (teacher) {
        schoolLa_ = std::make_shared<Label>(Rect(10, 0, width - 54, 44));
        schoolLa_->setFont(Font::systemFontOfSize(16));
        schoolLa_->setTextColor(Color::lightGray());
        schoolLa_->setBackgroundColor(Color::clear());
        schoolLa_->setText(kChooseSchool);
        third->addSubview(schoolLa_);
        schoolButton_ = Button::buttonWithType(ButtonType::Custom);
        schoolButton_->setFrame({0, 0, width, 44});
        schoolButton_->setImage(Image::imageNamed("search"));
        schoolButton_->setImageEdgeInsets({0, width - 44, 0, 0});
        schoolButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->toSelectSchool();
        });
        third->addSubview(schoolButton_);
    } else if (student) {
        phoneField_ = makeField(third, shortField, "手机号（可以作为登录账号）");
        phoneField_->setKeyboardType(KeyboardType::NumbersAndPunctuation);
        phoneField_->setReturnKeyType(ReturnKeyType::Next);
        third->addSubview(optionalMark({width - 50, 0, 40, 44}));
    } else {
        interField_ = makeField(third, fullField, "家长准入码（登录孩子网页端可见）");
        interField_->setReturnKeyType(ReturnKeyType::Next);
    }

    doneButton_ = wideButton({10, third->frame().maxY() + 10, width, 44}, localized("完成"), [weak](Control&) {
        if (auto self = weak.lock()) self->toDone();
    });
    root->addSubview(doneButton_);
}

void MVTPerfectInfoViewController::startInfoField() {
    if (registerRole_ == "student" && nameField_) nameField_->becomeFirstResponder();
    if (registerRole_ == "parent" && interField_) interField_->becomeFirstResponder();
}

void MVTPerfectInfoViewController::goback() {
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

bool MVTPerfectInfoViewController::textFieldShouldReturn(TextField& field) {
    std::shared_ptr<TextField> next;
    if (&field == nameField_.get()) {
        next = registerRole_ == "student" ? phoneField_ : emailField_;
    } else if (&field == phoneField_.get()) {
        next = emailField_;
    } else if (&field == interField_.get()) {
        next = nameField_;
    }
    if (next)
        next->becomeFirstResponder();
    else
        field.resignFirstResponder();
    return true;
}

bool MVTPerfectInfoViewController::textFieldShouldClear(TextField&) { return true; }

void MVTPerfectInfoViewController::toSelectSchool() {
    auto search = std::make_shared<MVTSearchSchoolViewController>();
    search->setIsRegistering(true);
    search->setDelegate(std::dynamic_pointer_cast<MVTSearchSchoolDelegate>(shared_from_this()));
    if (auto* navigation = navigationController()) navigation->pushViewController(search, true);
}

void MVTPerfectInfoViewController::didSelectedSchoolWith(const Json& school) {
    view();
    if (!schoolLa_) return;
    schoolLa_->setText(textOf(school, "name"));
    schoolLa_->setTextColor(Color::darkGray());
    const Json& id = valueFor(school, "id");
    schoolId_ = MVTPublicMethod::stringIsClassNull(id) ? std::string() : textOf(id);
}

std::string MVTPerfectInfoViewController::firstFailedCheck() {
    const bool teacher = registerRole_ == "teacher", student = registerRole_ == "student";
    if (teacher && schoolId_.empty()) return "请加入学校";
    if (interField_) {
        interField_->resignFirstResponder();
        if (isBlank(interField_)) return "请输入家长准入码";
    }
    nameField_->resignFirstResponder();
    if (isBlank(nameField_)) return "请输入真实姓名";
    if (student && phoneField_) {
        phoneField_->resignFirstResponder();
        if (!isBlank(phoneField_) && !MVTPublicMethod::validateMobile(phoneField_->text())) return "请输入真实的手机号";
    }
    emailField_->resignFirstResponder();
    if (isBlank(emailField_)) {
        if (!student) return "请输入邮箱";
    } else if (!MVTPublicMethod::validateEmail(emailField_->text())) {
        return "请输入真实的邮箱";
    }
    return {};
}

Json MVTPerfectInfoViewController::registerParameters() const {
    Json param = Json::object();
    if (registerRole_ == "student") {
        param["username"] = accountStr_;
        if (!isBlank(phoneField_)) param["mobile"] = phoneField_->text();
    } else {
        param["mobile"] = accountStr_;
    }
    param["password"] = passwordStr_;
    param["name"] = nameField_->text();
    if (registerRole_ == "teacher") param["schoolId"] = schoolId_;
    if (interField_) param["childCode"] = interField_->text();
    if (!isBlank(emailField_)) param["email"] = emailField_->text();
    return param;
}

void MVTPerfectInfoViewController::toDone() {
    view();
    if (const std::string failed = firstFailedCheck(); !failed.empty()) {
        mindErr(failed);
        return;
    }
    // The role is one path segment: escaped like any other value put into a path.
    auto request = MVTPublicMethod::requestWithMethod(
        "POST", ServiceAddress::servicePrefix() + "register/" + percentEscape(registerRole_), registerParameters());
    if (!request) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showHUDWithBool(true);
    request->setTimeoutInterval(kRequestTimeout);
    std::weak_ptr<MVTPerfectInfoViewController> weak =
        std::static_pointer_cast<MVTPerfectInfoViewController>(shared_from_this());
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            self->handleRegisterReply(reply);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            self->mindErr(kRegisterFailed);
        });
    operation->start();
}

void MVTPerfectInfoViewController::handleRegisterReply(const Json& reply) {
    if (reply.is_null()) return;
    const std::string approve = textOf(reply, "approve");
    if (approve == "1" || approve == "true") {
        auto alert = AlertView::make(kApprovalTitle, "", weakAs<AlertViewDelegate>(), localized("确定"));
        alert->setTag(kApprovalAlertTag);
        alert->show();
        return;
    }
    const Json& success = valueFor(reply, "success");
    if (MVTPublicMethod::stringIsClassNull(success)) {
        // Without "success" the reply is the new account. One that lacks a usable name,
        // user id or role cannot be signed in: it would leave a saved user nobody can use.
        if (MVTAppDelegate::signInReplyIsRefused(reply)) {
            mindErr(kRegisterFailed);
            return;
        }
        const Json account = reply;
        const std::string userName = accountStr_, password = passwordStr_;
        closeRegistration();
        MVTAppDelegate::sharedAppDelegate()->firstRegisterToHomeWith(account, userName, password);
        return;
    }
    if (integerValue(success) == 0) {
        const Json& message = valueFor(reply, "message");
        mindErr(MVTPublicMethod::stringIsClassNull(message) ? kRegisterFailed : textOf(message));
    }
}

void MVTPerfectInfoViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() != kApprovalAlertTag || index != 0) return;
    std::weak_ptr<MVTPerfectInfoViewController> weak =
        std::static_pointer_cast<MVTPerfectInfoViewController>(shared_from_this());
    RunLoop::main().performAfter(kBackToLoginDelay, [weak] {
        if (auto self = weak.lock()) self->goBackToLogin();
    });
}

void MVTPerfectInfoViewController::goBackToLogin() {
    closeRegistration();
    MVTAppDelegate::sharedAppDelegate()->gotosetview(true);
}

void MVTPerfectInfoViewController::closeRegistration() {
    if (presentingViewController()) dismissViewController(false);
}

void MVTPerfectInfoViewController::mindErr(const std::string& text) {
    const double width = Screen::mainScreen().bounds().width();
    showRegisterMessageStrip(view(), text, {5, 5, width - 10, 26}, 4);
}

void MVTPerfectInfoViewController::showHUDWithBool(bool show) { showWaiting(HUD_, view(), show); }
