#include "account/MVTAddAccountViewController.h"

#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/Application.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

using namespace platform;
using Json = nlohmann::json;

namespace {

// The reply's value as "%@" writes it, or `fallback` when the key is not there at all.
std::string presentText(const Json& reply, const char* key, const std::string& fallback) {
    return reply.is_object() && reply.contains(key) ? textOf(reply, key) : fallback;
}

Json defaultReminderSettings() {
    return Json{{"news", "1"},   {"chatNews", "1"}, {"MentionNews", "1"}, {"commenNews", "1"},
                {"HMNews", "1"}, {"NotiNews", "1"}, {"feedNews", "1"},    {"defaultTime", "60"}};
}

std::shared_ptr<MVTAppDelegate> appDelegate() {
    return std::dynamic_pointer_cast<MVTAppDelegate>(Application::shared().delegate());
}

}  // namespace

MVTAddAccountViewController::MVTAddAccountViewController() = default;

MVTAddAccountViewController::~MVTAddAccountViewController() {
    if (operation_) operation_->cancel();
}

void MVTAddAccountViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("添加账号"));

    std::weak_ptr<MVTAddAccountViewController> weak = weakAs<MVTAddAccountViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));

    const double width = Screen::mainScreen().bounds().width();
    auto panel = std::make_shared<ImageView>(Rect((width - 237) / 2, 50, 237, 100));
    panel->setImage(Image::imageNamed("login_name"));
    // The fields sit on the picture and must take touches through it.
    panel->setUserInteractionEnabled(true);
    view()->addSubview(panel);

    auto makeField = [&](double y) {
        auto field = std::make_shared<TextField>(Rect(63.5, y, 170, 31));
        field->setFont(Font::systemFontOfSize(18));
        field->setBorderStyle(TextBorderStyle::None);
        field->setBackgroundColor(Color::clear());
        field->setAutocorrection(false);
        field->setDelegate(weakAs<TextFieldDelegate>());
        panel->addSubview(field);
        return field;
    };
    jidField_ = makeField(18);
    jidField_->setKeyboardType(KeyboardType::ASCIICapable);
    jidField_->setReturnKeyType(ReturnKeyType::Next);
    passwordField_ = makeField(69);
    passwordField_->setSecureTextEntry(true);
    passwordField_->setReturnKeyType(ReturnKeyType::Join);

    addButton_ = Button::buttonWithType(ButtonType::Custom);
    addButton_->setFrame({(width - 237) / 2, 171, 237, 30});
    addButton_->setBackgroundImage(Image::imageNamed("publish"));
    addButton_->setBackgroundImage(Image::imageNamed("publish_press"), ControlStateHighlighted);
    addButton_->setTitle(localized("添加账号"));
    addButton_->setTitleColor(Color::whiteColor());
    addButton_->titleLabel()->setFont(Font::systemFontOfSize(16));
    addButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->addAccount();
    });
    view()->addSubview(addButton_);
}

void MVTAddAccountViewController::goback() {
    if (auto navigation = navigationController()) navigation->popViewController(true);
}

bool MVTAddAccountViewController::textFieldShouldReturn(TextField& field) {
    if (&field == jidField_.get()) {
        passwordField_->becomeFirstResponder();
    } else if (&field == passwordField_.get()) {
        passwordField_->resignFirstResponder();
        addAccount();
    }
    return true;
}

void MVTAddAccountViewController::textFieldDidEndEditing(TextField& field) { field.resignFirstResponder(); }

void MVTAddAccountViewController::addAccount() {
    view();
    // Both texts as typed: spaces are part of what the account was made with.
    const std::string userName = jidField_->text();
    const std::string password = passwordField_->text();
    if (userName.empty() || password.empty()) return;

    // The same request as the sign-in itself: each credential escaped as one path segment,
    // "noSchoolLogin" "true", the factory's credentials and timeout.
    auto request = MVTAppDelegate::signInRequest(userName, password);
    if (!request) {
        if (auto app = appDelegate()) app->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    HUD_ = ProgressHUD::showHUDAddedTo(view(), true);

    std::weak_ptr<MVTAddAccountViewController> weak = weakAs<MVTAddAccountViewController>();
    operation_ = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        std::move(*request),
        [weak, userName, password](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->operation_.reset();
            self->removeHUD();
            self->accountChecked(reply, userName, password);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->operation_.reset();
            self->removeHUD();
            if (auto app = appDelegate()) app->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
        });
    operation_->start();
}

void MVTAddAccountViewController::removeHUD() {
    if (!HUD_) return;
    HUD_->setRemoveFromSuperViewOnHide(true);
    HUD_->hide(true);
    HUD_.reset();
}

void MVTAddAccountViewController::accountChecked(const Json& reply, const std::string& userName,
                                                 const std::string& password) {
    if (MVTAppDelegate::signInReplyIsRefused(reply)) {
        AlertView::make("", localized("用户名或密码错误"), {}, localized("确定"))->show();
        return;
    }
    const std::string userId = textOf(reply, "userId");
    const long long id = integerValue(userId);
    for (const auto& remembered : MVTtirraDataBase::selectUsersTableData()) {
        if (integerValue(textOf(remembered, "userId")) == id) {
            AlertView::make("", localized("已添加该用户"), {}, localized("知道了"))->show();
            return;
        }
    }
    if (!MVTtirraDataBase::selectUserNewsSettingDataWith(userId).contains("defaultTime"))
        MVTtirraDataBase::insertUserNewsSettingWithDic(defaultReminderSettings(), userId);

    const Json row{{"userName", userName},
                   {"password", password},
                   {"name", textOf(reply, "name")},
                   {"userId", userId},
                   {"role", textOf(reply, "role")},
                   {"power", presentText(reply, "director", "0")},
                   {"schoolId", presentText(reply, "schoolId", "")}};
    MVTtirraDataBase::insertUsersTableWithDic(row);

    // The screen stays alive until the switch starts, even if it is popped meanwhile.
    auto self = std::static_pointer_cast<MVTAddAccountViewController>(shared_from_this());
    RunLoop::main().performAfter(kChangeUserDelay, [self, row] { self->toChangeUserWith(row); });
}

void MVTAddAccountViewController::toChangeUserWith(const Json& row) {
    if (auto list = delegate()) list->reloadUserWith(row);
    if (auto app = appDelegate())
        app->login(textOf(row, "userName"), textOf(row, "password"), false);
}
