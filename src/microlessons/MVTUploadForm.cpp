#include "microlessons/MVTUploadForm.h"

#include "microlessons/MVTUploadStatus.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/TextView.h"

using namespace platform;

namespace {

const Color kFormAccent = Color::rgba(0.38, 0.78, 0.976);
const Color kFormGrey = Color::white(0.333);
const Color kFormPanel = Color::rgb255(249, 253, 248);

}  // namespace

void MVTUpMicroInfoViewController::viewDidLoad() {
    TestsScreen::viewDidLoad();
    setTitle(localized("上传微课"));
    auto weak = weakAs<MVTUpMicroInfoViewController>();
    auto barButton = [&](const char* title, std::function<void(MVTUpMicroInfoViewController&)> action) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({0, 0, 44, 44});
        button->setBackgroundColor(Color::clear());
        button->setTitle(localized(title));
        button->setTitleColor(kFormAccent);
        button->titleLabel()->setFont(Font::systemFontOfSize(14));
        button->addTarget(ControlEventTouchUpInside, [weak, action](Control&) {
            if (auto self = weak.lock()) action(*self);
        });
        return button;
    };
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(barButton("取消", [](auto& s) { s.goBack(); })));
    navigationItem().setRightBarButtonItem(
        BarButtonItem::withCustomView(barButton("上传", [](auto& s) { s.toSubmitMicroView(); })));
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->setSelectedCourseId("");
    initAllView();
    createDoneBtn();
    auto& center = NotificationCenter::defaultCenter();
    keyboardShowToken_ = center.addObserver(kKeyboardWillShowNotification, [weak](const Notification& n) {
        if (auto self = weak.lock()) self->keyboardWillShow(n);
    });
    keyboardHideToken_ = center.addObserver(kKeyboardWillHideNotification, [weak](const Notification& n) {
        if (auto self = weak.lock()) self->keyboardWillHidden(n);
    });
}

void MVTUpMicroInfoViewController::initAllView() {
    const double width = Screen::mainScreen().bounds().width();
    detailsTextView_ = std::make_shared<TextView>(Rect(0, 10, width, 110));
    detailsTextView_->setBackgroundColor(kFormPanel);
    detailsTextView_->setTextColor(kFormGrey);
    detailsTextView_->setFont(Font::systemFontOfSize(16));
    view()->addSubview(detailsTextView_);
    detailsLa_ = std::make_shared<Label>(Rect(5, 20, width - 10, 20));
    detailsLa_->setBackgroundColor(Color::clear());
    detailsLa_->setTextColor(Color::lightGray());
    detailsLa_->setFont(Font::systemFontOfSize(16));
    detailsLa_->setText(localized("为这段微课写一个描述吧！"));
    detailsLa_->setUserInteractionEnabled(false);
    view()->addSubview(detailsLa_);
    for (double y : {10.0, 120.0, 160.0, 200.0}) {
        auto line = std::make_shared<ImageView>(Rect(0, y, width, 0.3));
        line->setImage(Image::imageNamed("line1"));
        view()->addSubview(line);
    }
    classBtn_ = Button::buttonWithType(ButtonType::Custom);
    classBtn_->setFrame({0, 160, width, 40});
    classBtn_->setBackgroundColor(kFormPanel);
    classBtn_->setImage(Image::imageNamed("rightArrow.png"));
    classBtn_->setImageEdgeInsets({15, width - 10, 15, 4});
    auto weak = weakAs<MVTUpMicroInfoViewController>();
    classBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toSelectClass();
    });
    const std::string to = localized("上传到") + "：";
    auto toLabel = std::make_shared<Label>(Rect(5, 10, TextMeasure::sizeWithFont(to, Font::systemFontOfSize(16)).width, 20));
    toLabel->setBackgroundColor(Color::clear());
    toLabel->setTextColor(kFormGrey);
    toLabel->setFont(Font::systemFontOfSize(16));
    toLabel->setText(to);
    toLabel->setUserInteractionEnabled(false);
    classBtn_->addSubview(toLabel);
    classLa_ = std::make_shared<Label>(Rect(70, 0, 230, 40));
    classLa_->setBackgroundColor(Color::clear());
    classLa_->setTextColor(kFormAccent);
    classLa_->setFont(Font::systemFontOfSize(16));
    classLa_->setTextAlignment(TextAlignment::Right);
    classLa_->setNumberOfLines(0);
    classLa_->setText(localized("请选择课程"));
    classLa_->setUserInteractionEnabled(false);
    classBtn_->addSubview(classLa_);
    view()->addSubview(classBtn_);
}

void MVTUpMicroInfoViewController::createDoneBtn() {
    if (doneBtn_) return;
    doneBtn_ = Button::buttonWithType(ButtonType::Custom);
    doneBtn_->setFrame({Screen::mainScreen().bounds().width() - 44, 0, 44, 40});
    doneBtn_->setBackgroundColor(Color::rgb255(216, 218, 222));
    doneBtn_->setTitle(localized("完成"));
    doneBtn_->setTitleColor(kFormGrey);
    doneBtn_->titleLabel()->setFont(Font::systemFontOfSize(14));
    doneBtn_->setCornerRadius(2);
    doneBtn_->setClipsToBounds(true);
    auto weak = weakAs<MVTUpMicroInfoViewController>();
    doneBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toDoneKeyboard();
    });
    view()->addSubview(doneBtn_);
    doneBtn_->setHidden(true);
}

void MVTUpMicroInfoViewController::setMicroAssetWith(const std::string& assetPath) {
    nowAsset_ = assetPath;
    auto thumbnail = std::make_shared<ImageView>(Rect(10, 210, 100, 100));
    thumbnail->setBackgroundColor(Color::rgb255(242, 242, 242));
    thumbnail->setClipsToBounds(true);
    thumbnail->setBorderColor(Color::whiteColor());
    thumbnail->setBorderWidth(0.5);
    uploadstatus::showVideoThumbnail(*thumbnail, assetPath);
    uploadstatus::addVideoBadge(*thumbnail);
    view()->addSubview(thumbnail);
}

void MVTUpMicroInfoViewController::keyboardWillShow(const Notification& notification) {
    const double keyboard = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey).height();
    const Rect screen = Screen::mainScreen().bounds();
    doneBtn_->removeFromSuperview();
    view()->addSubview(doneBtn_);
    doneBtn_->setFrame({screen.width() - 44, screen.height() - 102 - keyboard, 44, 40});
    doneBtn_->setHidden(false);
    detailsLa_->setHidden(true);
}

void MVTUpMicroInfoViewController::keyboardWillHidden(const Notification&) { doneBtn_->setHidden(true); }

void MVTUpMicroInfoViewController::toDoneKeyboard() { detailsTextView_->resignFirstResponder(); }

void MVTUpMicroInfoViewController::whichCourseSelectdWith(const std::string& courseId, const std::string& courseName) {
    if (!courseId.empty()) {
        nowCourseId_ = courseId;
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->setSelectedCourseId(courseId);
    }
    classLa_->setText(courseName);
}

void MVTUpMicroInfoViewController::toSelectClass() {
    auto picker = std::make_shared<MVTTeacherCourseViewController>();
    picker->setDelegate(weakAs<MVTTeacherCourseViewDelegate>());
    if (auto navigation = navigationController()) navigation->pushViewController(picker, true);
}

void MVTUpMicroInfoViewController::stopObservingKeyboard() {
    keyboardShowToken_.reset();
    keyboardHideToken_.reset();
}

void MVTUpMicroInfoViewController::toSubmitMicroView() {
    if (!nowCourseId_) {
        lastAlert_ = AlertView::make(localized("请选择课程"), "", {}, localized("知道了"));
        lastAlert_->show();
        return;
    }
    stopObservingKeyboard();
    if (auto app = MVTAppDelegate::sharedAppDelegate()) {
        app->setSelectedCourseId(*nowCourseId_);
        app->setMicroDetailsStr(detailsTextView_->text());
        uploadstatus::forgetLastResult();
        app->GetUpMicroAssetWith(nowAsset_);
    }
    auto status = std::make_shared<MVTSubmitMicroViewController>();
    if (auto navigation = navigationController()) navigation->pushViewController(status, true);
}

void MVTUpMicroInfoViewController::goBack() {
    lastAlert_ = AlertView::make(localized("是否取消上传？"), "", weakAs<AlertViewDelegate>(), localized("否"),
                                 {localized("是")});
    lastAlert_->setTag(kLeaveAlertTag);
    lastAlert_->show();
}

void MVTUpMicroInfoViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kLeaveAlertTag && index == 1) tureToGoBack();
}

void MVTUpMicroInfoViewController::tureToGoBack() {
    stopObservingKeyboard();
    if (auto navigation = navigationController()) navigation->popViewController(true);
}
