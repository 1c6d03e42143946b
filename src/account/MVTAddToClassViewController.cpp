#include "account/MVTAddToClassViewController.h"

#include "account/MVTAddToClassBySelectViewController.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"

#include "platform/RunLoop.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"

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
    setTitle(localized("加入班级"));
    auto weak = weakAs<MVTAddToClassViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    auto done = MVTPublicMethod::navigationrightBarButton(localized("完成"));
    done->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->addToClass();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(done));
}

void MVTAddToClassViewController::initMainView() {
    auto weak = weakAs<MVTAddToClassViewController>();
    FormActions actions;
    actions.scan = [weak](Control&) {
        if (auto self = weak.lock()) self->toZXing();
    };
    actions.getClassId = [weak](Control&) {
        if (auto self = weak.lock()) self->doNotKnowTheClassCode();
    };
    form_ = buildForm(view(), kHint, weakAs<TextFieldDelegate>(), std::move(actions));
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
    auto weak = weakAs<MVTAddToClassViewController>();
    sendJsonGet(
        classQueryUrl(code),
        [weak](const Json& reply) {
            auto self = weak.lock();
            if (!self || isNoReply(reply)) return;
            if (isSuccess(reply)) {
                auto confirm = AlertView::make(localized("确定加入该班级？"), reasonOr(reply, "message", ""),
                                               self->weakAs<AlertViewDelegate>(), localized("取消"),
                                               {localized("确定")});
                confirm->setTag(static_cast<int>(kConfirmAlertTag));
                confirm->show();
                return;
            }
            showNotice(reasonOr(reply, "message", localized("查询班级信息失败")));
        },
        [] { showNotice(localized("查询班级信息失败")); });
}

void MVTAddToClassViewController::sureToAddToClass() {
    const std::string code = form_.codeField->text();
    if (isEmptyCode(code)) {
        view()->endEditing(true);
        showEmptyCodeAlert();
        return;
    }
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
            auto failed = AlertView::make(localized("提示"), reasonOr(reply, "msg", localized("加入班级失败,请重试")),
                                          self->weakAs<AlertViewDelegate>(), localized("确定"));
            failed->show();
        },
        [] {});
}

void MVTAddToClassViewController::successGetClassIdWith(const Json& reply) {
    switch (recordJoinedClass(reply)) {
        case Recorded::AlreadyJoined:
            showNotice("已加入该班级，重复操作。");
            return;
        case Recorded::NoClassId:
            showNotice(localized("加入班级失败,请重试"));
            return;
        case Recorded::Joined:
            break;
    }
    auto joined = AlertView::make(localized("提示"), "班级加入成功", weakAs<AlertViewDelegate>(), localized("确定"));
    joined->setTag(static_cast<int>(kJoinedAlertTag));
    joined->show();
}

void MVTAddToClassViewController::toZXing() {
    auto scan = std::make_shared<MVTZXingViewController>();
    scan->setDelegate(weakAs<MVTZXingViewControllerDelegate>());
    presentViewController(myNavigationController::withRoot(scan), true);
}

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

void MVTAddToClassViewController::doNotKnowTheClassCode() {
    if (auto* navigation = navigationController())
        navigation->pushViewController(std::make_shared<MVTAddToClassBySelectViewController>(), true);
}

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
