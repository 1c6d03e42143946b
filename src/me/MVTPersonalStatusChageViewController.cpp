#include "me/MVTPersonalStatusChageViewController.h"

#include "me/SpaceShared.h"

#include "shell/InternationalControl.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"

#include "platform/HttpMultipartForm.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {

constexpr const char* kSignaturePage = "个性签名";

void showSignatureAlert(const std::string& message, const std::string& button) {
    AlertView::make(localized("提示"), localized(message), {}, localized(button))->show();
}

// The text view's delegate, handing each change to the screen.
class StatusTextDelegate : public TextViewDelegate {
public:
    explicit StatusTextDelegate(std::weak_ptr<MVTPersonalStatusChageViewController> screen) : screen_(std::move(screen)) {}
    void textViewDidChange(TextView& view) override {
        if (auto screen = screen_.lock()) screen->textViewDidChange(view);
    }

private:
    std::weak_ptr<MVTPersonalStatusChageViewController> screen_;
};

}  // namespace

MVTPersonalStatusChageViewController::MVTPersonalStatusChageViewController() = default;
MVTPersonalStatusChageViewController::~MVTPersonalStatusChageViewController() = default;

std::string MVTPersonalStatusChageViewController::currentStatus() {
    const std::string status = MVTAccount::sharedInstance().status().value_or("");
    return MVTPublicMethod::stringIsClassNull(Json(status)) ? std::string() : status;
}

std::string MVTPersonalStatusChageViewController::counterText(std::size_t length) {
    std::string text = length <= kLimit ? localized("字符数最大为45，您已经输入了%d个")
                                        : localized("字符数最大为45，您已经超出范围%d个");
    const std::size_t shown = length <= kLimit ? length : length - kLimit;
    if (auto at = text.find("%d"); at != std::string::npos) text.replace(at, 2, std::to_string(shown));
    return text;
}

void MVTPersonalStatusChageViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kSignaturePage);
    setTitle(localized("个性签名"));
    std::weak_ptr<MVTPersonalStatusChageViewController> weak = weakAs<MVTPersonalStatusChageViewController>();
    space::installBackButton(*this, [weak] {
        if (auto self = weak.lock()) self->goback();
    });
    auto done = MVTPublicMethod::navigationrightBarButton(localized("完成"));
    done->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->sendStatus();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(done));
    initTextView();
    observeKeyboard();
}

void MVTPersonalStatusChageViewController::observeKeyboard() {
    std::weak_ptr<MVTPersonalStatusChageViewController> weak = weakAs<MVTPersonalStatusChageViewController>();
    auto& center = NotificationCenter::defaultCenter();
    observers_.clear();
    observers_.push_back(center.addObserver(kKeyboardWillShowNotification, [weak](const Notification& n) {
        if (auto self = weak.lock()) self->keyboardChange(n);
    }));
    observers_.push_back(center.addObserver(kKeyboardDidShowNotification, [weak](const Notification& n) {
        if (auto self = weak.lock()) self->keyboardWillShow(n);
    }));
}

void MVTPersonalStatusChageViewController::viewDidDisappear(bool animated) {
    ViewViewController::viewDidDisappear(animated);
    observers_.clear();
}

void MVTPersonalStatusChageViewController::initTextView() {
    const double W = Screen::mainScreen().bounds().width();
    statusTextView_ = std::make_shared<TextView>(Rect(0, 0, W, 150));
    statusTextView_->setBackgroundColor(Color::rgb255(249, 253, 248));
    statusTextView_->setTextColor(Color::white(0.333));
    statusTextView_->setFont(Font::fontWithName("Helvetica", 16));
    statusTextView_->setTag(kTextViewTag);
    textDelegate_ = std::make_shared<StatusTextDelegate>(weakAs<MVTPersonalStatusChageViewController>());
    statusTextView_->setDelegate(textDelegate_);
    statusTextView_->setText(currentStatus());
    view()->addSubview(statusTextView_);
    warringlabel_ = std::make_shared<Label>(Rect(0, 150, W, 20));
    warringlabel_->setBackgroundColor(Color::clear());
    warringlabel_->setFont(Font::fontWithName("Helvetica", 14));
    warringlabel_->setTextAlignment(TextAlignment::Right);
    warringlabel_->setTextColor(Color::white(0.667));
    warringlabel_->setText(localized("输入的字符数不能超过45个"));
    view()->addSubview(warringlabel_);
}

void MVTPersonalStatusChageViewController::textViewDidChange(TextView& textView) {
    warringlabel_->setText(counterText(utf16Length(textView.text())));
}

void MVTPersonalStatusChageViewController::keyboardWillShow(const Notification& notification) {
    const Rect screen = Screen::mainScreen().bounds();
    const double keyboard = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey).height();
    if (hidKeyBoardView_) {
        hidKeyBoardView_->setHidden(false);
        return;
    }
    hidKeyBoardView_ = std::make_shared<View>(Rect(0, screen.height() - 100 - keyboard, screen.width(), 40));
    hidKeyBoardView_->setBackgroundColor(Color::clear());
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({screen.width() - 44, 0, 44, 40});
    button->setBackgroundColor(Color::rgb255(216, 218, 222));
    button->setTitle(localized("完成"));
    button->setTitleColor(Color::white(0.333));
    button->titleLabel()->setFont(Font::systemFontOfSize(14));
    button->setCornerRadius(2);
    button->setClipsToBounds(true);
    std::weak_ptr<MVTPersonalStatusChageViewController> weak = weakAs<MVTPersonalStatusChageViewController>();
    button->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->removeKeyBoard();
    });
    hidKeyBoardView_->addSubview(button);
    view()->addSubview(hidKeyBoardView_);
}

void MVTPersonalStatusChageViewController::keyboardChange(const Notification& notification) {
    if (!hidKeyBoardView_) return;
    const Rect screen = Screen::mainScreen().bounds();
    const double keyboard = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey).height();
    hidKeyBoardView_->setFrame({0, screen.height() - 100 - keyboard, screen.width(), 40});
    hidKeyBoardView_->setHidden(false);
}

void MVTPersonalStatusChageViewController::removeKeyBoard() {
    statusTextView_->resignFirstResponder();
    if (hidKeyBoardView_) hidKeyBoardView_->setHidden(true);
}

void MVTPersonalStatusChageViewController::sendStatus() {
    view()->endEditing(true);
    const std::string text = statusTextView_->text();
    if (utf16Length(text) > kLimit) {
        showSignatureAlert("个性签名字符数超过了45个字符的限制", "我知道了");
        return;
    }
    const std::string status = currentStatus();
    if (!status.empty() && text == status) {
        showSignatureAlert("个性签名没有变化,无法提交", "我知道了");
        return;
    }
    makeSureToPostStatus();
}

void MVTPersonalStatusChageViewController::makeSureToPostStatus() {
    const std::string text = statusTextView_->text();
    std::weak_ptr<MVTPersonalStatusChageViewController> weak = weakAs<MVTPersonalStatusChageViewController>();
    space::sendMultipart(
        "user/" + space::currentUserId() + "/update/status",
        [&](HttpMultipartForm& form) { form.appendPart("text", text); }, HUD_, view(),
        [weak, text](const std::string&) {
            MVTAccount::sharedInstance().setStatus(text);
            auto self = weak.lock();
            if (!self) return;
            if (auto* navigation = self->navigationController()) navigation->popViewController(true);
        },
        [] { showSignatureAlert("发送失败,请重新发送", "确定"); });
}

void MVTPersonalStatusChageViewController::showHUDWithBool(bool show) { space::showOverlay(HUD_, view(), show); }

void MVTPersonalStatusChageViewController::goback() {
    const std::string status = currentStatus();
    if (!status.empty() && statusTextView_->text() != status) {
        auto alert = AlertView::make(localized("提示"), localized("个性签名有变化,是否退出编辑"),
                                     weakAs<MVTPersonalStatusChageViewController>(), localized("取消"),
                                     {localized("确定")});
        alert->setTag(int(kLeaveAlertTag));
        alert->show();
        return;
    }
    StatisticsKit::shared().endLogPageView(kSignaturePage);
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

void MVTPersonalStatusChageViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() != kLeaveAlertTag || index != 1) return;
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}
