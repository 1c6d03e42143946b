#include "account/MVTAddToClassViewController.h"

#include "shell/InternationalControl.h"

#include "platform/RunLoop.h"
#include "platform/ui/Button.h"

using namespace platform;
using namespace class_code_join;

MVTAddToClassViewController::MVTAddToClassViewController() = default;

MVTAddToClassViewController::~MVTAddToClassViewController() {
    if (focusTimer_) focusTimer_->invalidate();
}

void MVTAddToClassViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    initTitleView();
    initMainView();
    auto weak = weakAs<MVTAddToClassViewController>();
    focusTimer_ = RunLoop::main().performAfter(kFocusDelay, [weak] {
        if (auto self = weak.lock()) self->startClassIdField();
    });
}

void MVTAddToClassViewController::initTitleView() {
    auto weak = weakAs<MVTAddToClassViewController>();
    setUpNavigationBar(
        *this,
        [weak](Control&) {
            if (auto self = weak.lock()) self->goback();
        },
        [weak](Control&) {
            if (auto self = weak.lock()) self->addToClass();
        });
}

void MVTAddToClassViewController::initMainView() {
    form_ = buildForm(view(), kHint, weakAs<TextFieldDelegate>(),
                      scanAndChoiceActions(weakAs<MVTAddToClassViewController>()));
}

void MVTAddToClassViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (accountHasSchool()) form_.getClassIdBtn->setHidden(false);
}

void MVTAddToClassViewController::startClassIdField() {
    focusTimer_.reset();
    form_.codeField->becomeFirstResponder();
}

void MVTAddToClassViewController::goback() {
    view()->endEditing(true);
    dismissViewController(true);
}

void MVTAddToClassViewController::addToClass() {
    view()->endEditing(true);
    const std::string code = form_.codeField->text();
    if (isEmptyCode(code)) {
        showEmptyCodeAlert();
        return;
    }
    offerClassWithCode(code, weakAs<AlertViewDelegate>());
}

void MVTAddToClassViewController::sureToAddToClass() {
    const std::string code = form_.codeField->text();
    if (refuseEmptyCode(code, *view())) return;
    auto weak = weakAs<MVTAddToClassViewController>();
    sendJsonGet(
        joinUrl(code),
        [weak](const Json& reply) {
            auto self = weak.lock();
            if (!self || isNoReply(reply)) return;
            // This screen judges a join by "success" alone.
            if (isSuccess(reply)) {
                self->successGetClassIdWith(reply);
                return;
            }
            showJoinFailed(reply, self->weakAs<AlertViewDelegate>());
        },
        [] {});
}

void MVTAddToClassViewController::successGetClassIdWith(const Json& reply) {
    if (!recordJoinedClassOrTell(reply)) return;
    auto joined = AlertView::make(localized("提示"), "班级加入成功", weakAs<AlertViewDelegate>(), localized("确定"));
    joined->setTag(static_cast<int>(kJoinedAlertTag));
    joined->show();
}

void MVTAddToClassViewController::toZXing() { presentScanScreen(*this, weakAs<MVTZXingViewControllerDelegate>()); }

void MVTAddToClassViewController::MVTZXingViewControllerDidScanResult(MVTZXingViewController&,
                                                                      const std::string& result) {
    auto weak = weakAs<MVTAddToClassViewController>();
    dismissViewController(true, [weak, result] {
        if (auto self = weak.lock()) self->form_.codeField->setText(classCodeFromScan(result));
    });
}

void MVTAddToClassViewController::MVTZXingViewControllerDidCancel(MVTZXingViewController&) {
    dismissViewController(true);
}

void MVTAddToClassViewController::doNotKnowTheClassCode() { pushJoinByChoice(*this); }

void MVTAddToClassViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kConfirmAlertTag && index == 1)
        sureToAddToClass();
    else if (alert.tag() == kJoinedAlertTag)
        goback();
}

bool MVTAddToClassViewController::textFieldShouldChangeCharacters(TextField& field, Range, const std::string& replacement) {
    if (replacement == "\n") {
        field.resignFirstResponder();
        return false;
    }
    return true;
}

bool MVTAddToClassViewController::textFieldShouldReturn(TextField& field) {
    field.resignFirstResponder();
    return true;
}

bool MVTAddToClassViewController::textFieldShouldClear(TextField&) { return true; }
