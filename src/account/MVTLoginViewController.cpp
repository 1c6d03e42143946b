#include "account/MVTLoginViewController.h"

#include "account/MVTRegisterViewController.h"
#include "account/MVToutSettingViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myNavigationController.h"

#include "platform/Application.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Screen.h"

#include <algorithm>

using namespace platform;

namespace {

constexpr double kFieldWidth = 278;
constexpr double kFieldHeight = 39;
constexpr double kKeyboardAnimation = 0.24;

bool isTallScreen() { return Screen::mainScreen().bounds().height() > 480; }

}  // namespace

MVTLoginViewController::MVTLoginViewController() = default;

MVTLoginViewController::~MVTLoginViewController() = default;

void MVTLoginViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    auto& center = NotificationCenter::defaultCenter();
    std::weak_ptr<MVTLoginViewController> weak = std::static_pointer_cast<MVTLoginViewController>(shared_from_this());
    showToken_ = center.addObserver(kKeyboardWillShowNotification, [weak](const Notification&) {
        if (auto self = weak.lock()) self->keyBoardWillShow();
    });
    hideToken_ = center.addObserver(kKeyboardWillHideNotification, [weak](const Notification&) {
        if (auto self = weak.lock()) self->keyBoardWillDown();
    });

    // The pre-login settings screen shows these; the address is a private one of ours.
    auto& defaults = UserDefaults::standard();
    defaults.setString(kXmppServerKey, kDefaultServer);
    defaults.setString(kXmppPortKey, "5222");
    defaults.setString(kHttpServerKey, kDefaultServer);
    defaults.setString(kHttpPortKey, "80");
    defaults.synchronize();

    initview();
}

void MVTLoginViewController::initview() {
    const Rect screen = Screen::mainScreen().bounds();
    const double width = screen.width();
    const double lower = isTallScreen() ? 30 : 0;
    auto root = view();
    root->setBackgroundColor(Color::white(0.961));

    auto background = std::make_shared<ImageView>(screen);
    background->setImage(Image::imageNamed("login_bg"));
    background->setContentMode(ContentMode::ScaleAspectFill);
    background->setClipsToBounds(true);
    root->addSubview(background);

    auto logo = std::make_shared<ImageView>(Rect((width - 214) / 2, 91 + lower, 214, 45));
    logo->setImage(Image::imageNamed("login_logo"));
    root->addSubview(logo);

    const double panelY = 200 + lower;
    auto panel = std::make_shared<ImageView>(Rect((width - 290) / 2, panelY, 290, 100));
    panel->setImage(Image::imageNamed("login_input"));
    root->addSubview(panel);

    auto makeField = [&](double y, const std::string& placeholder) {
        auto field = std::make_shared<TextField>(Rect((width - kFieldWidth) / 2, y, kFieldWidth, kFieldHeight));
        field->setBackgroundColor(Color::whiteColor());
        field->setBorderStyle(TextBorderStyle::RoundedRect);
        field->setFont(Font::systemFontOfSize(14));
        field->setTextAlignment(TextAlignment::Center);
        field->setAutocorrection(false);
        field->setPlaceholder(placeholder);
        field->setPlaceholderColor(Color::white(0.6));
        field->setDelegate(weakAs<TextFieldDelegate>());
        root->addSubview(field);
        return field;
    };
    // The two fields sit inside the panel with equal margins above and below.
    const double firstY = panelY + (100 - 2 * kFieldHeight - 10) / 2;
    jidField_ = makeField(firstY, localized("用户名/邮箱/手机号"));
    jidField_->setKeyboardType(KeyboardType::EmailAddress);
    jidField_->setReturnKeyType(ReturnKeyType::Next);
    passwordField_ = makeField(firstY + kFieldHeight + 10, localized("密 码"));
    passwordField_->setSecureTextEntry(true);
    passwordField_->setReturnKeyType(ReturnKeyType::Join);

    std::weak_ptr<MVTLoginViewController> weak = std::static_pointer_cast<MVTLoginViewController>(shared_from_this());
    loginbt_ = Button::buttonWithType(ButtonType::Custom);
    loginbt_->setFrame({(width - kFieldWidth) / 2, passwordField_->frame().maxY() + 10, kFieldWidth, kFieldHeight});
    loginbt_->setBackgroundImage(Image::imageNamed("login_login"));
    loginbt_->setBackgroundImage(Image::imageNamed("login_login_press"), ControlStateHighlighted);
    loginbt_->setTitle(localized("登录"));
    loginbt_->setTitleColor(Color::whiteColor());
    loginbt_->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
    loginbt_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->login();
    });
    root->addSubview(loginbt_);

    registerBt_ = Button::buttonWithType(ButtonType::Custom);
    registerBt_->setFrame({(width - 160) / 2, loginbt_->frame().maxY() + 20, 160, 20});
    registerBt_->setTitle(localized("我要注册"));
    registerBt_->setTitleColor(Color::rgba(0.42, 0.706, 0.769));
    registerBt_->titleLabel()->setFont(Font::boldSystemFontOfSize(12));
    registerBt_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toSelectRoleRegister();
    });
    root->addSubview(registerBt_);

    // The server settings kept before sign-in are offered here, out of the form's way.
    settingBt_ = Button::buttonWithType(ButtonType::Custom);
    settingBt_->setFrame({width - 60, 20, 50, 30});
    settingBt_->setTitle(localized("设置"));
    settingBt_->setTitleColor(Color::rgba(0.42, 0.706, 0.769));
    settingBt_->titleLabel()->setFont(Font::systemFontOfSize(12));
    settingBt_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toOutSetting();
    });
    root->addSubview(settingBt_);
}

void MVTLoginViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    setStatusBarState(true);
    setNeedsStatusBarAppearanceUpdate();
}

void MVTLoginViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    setStatusBarState(false);
    setNeedsStatusBarAppearanceUpdate();
}

void MVTLoginViewController::setName(const std::string& userName, const std::string& password) {
    view();
    jidField_->setText(userName);
    passwordField_->setText(password);
}

void MVTLoginViewController::login() {
    view();
    loginbt_->setUserInteractionEnabled(false);

    auto& defaults = UserDefaults::standard();
    auto tones = defaults.arrayForKey(kAlertMusicKey);
    if (!tones.is_array() || tones.empty()) {
        defaults.setObject(kAlertMusicKey, Json::array({"0", "常用", "msg.caf"}));
        defaults.synchronize();
    }

    jidField_->resignFirstResponder();
    passwordField_->resignFirstResponder();

    std::string userName = jidField_->text();
    userName.erase(std::remove(userName.begin(), userName.end(), ' '), userName.end());
    jidField_->setText(userName);
    const std::string password = passwordField_->text();

    loginbt_->setUserInteractionEnabled(true);

    if (!userName.empty() && !password.empty()) {
        if (auto app = std::dynamic_pointer_cast<MVTAppDelegate>(Application::shared().delegate()))
            app->login(userName, password, true);
        return;
    }
    AlertView::make("", localized("请输入用户名和密码"), {}, localized("确定"))->show();
}

void MVTLoginViewController::toSelectRoleRegister() {
    auto sheet = ActionSheet::make(localized("请选择角色"), weakAs<ActionSheetDelegate>(), localized("取消"), "",
                                   {localized("教师"), localized("学生"), localized("家长")});
    sheet->showInView(view().get());
}

void MVTLoginViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    (void)sheet;
    static const char* const roles[] = {"teacher", "student", "parent"};
    if (index >= 0 && index < 3) toRegister(roles[index]);
}

void MVTLoginViewController::toRegister(const std::string& role) {
    auto registration = std::make_shared<MVTRegisterViewController>();
    registration->setRegisterRole(role);
    presentViewController(myNavigationController::withRoot(registration), true);
}

void MVTLoginViewController::toOutSetting() {
    presentViewController(myNavigationController::withRoot(std::make_shared<MVToutSettingViewController>()), true);
}

bool MVTLoginViewController::textFieldShouldReturn(TextField& field) {
    if (&field == jidField_.get()) {
        passwordField_->becomeFirstResponder();
    } else if (&field == passwordField_.get()) {
        passwordField_->resignFirstResponder();
        login();
    }
    return true;
}

void MVTLoginViewController::textFieldDidEndEditing(TextField& field) { field.resignFirstResponder(); }

void MVTLoginViewController::touchesEnded(const Touches& touches) {
    ViewViewController::touchesEnded(touches);
    if (isViewLoaded()) view()->endEditing(true);
}

void MVTLoginViewController::keyBoardWillShow() {
    if (selfViewCenterY_ != 0) return;
    auto root = view();
    selfViewCenterY_ = static_cast<float>(root->center().y);
    const double x = Screen::mainScreen().bounds().width() / 2;
    const double y = isTallScreen() ? 190 : 90;
    animate(kKeyboardAnimation, [root, x, y] { root->setCenter({x, y}); });
}

void MVTLoginViewController::keyBoardWillDown() {
    // Nothing to bring back when the view was never raised (0 is no saved height).
    if (selfViewCenterY_ == 0) return;
    auto root = view();
    const double x = Screen::mainScreen().bounds().width() / 2;
    const double y = selfViewCenterY_;
    animate(kKeyboardAnimation, [root, x, y] { root->setCenter({x, y}); });
    selfViewCenterY_ = 0;
}
