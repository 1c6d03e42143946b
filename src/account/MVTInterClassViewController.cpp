#include "account/MVTInterClassViewController.h"

#include "account/MVTAddToClassBySelectViewController.h"
#include "account/MVTSearchSchoolViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myNavigationController.h"

#include "platform/RunLoop.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"

using namespace platform;
using namespace class_code_join;

namespace {

bool isParent() { return MVTAccount::sharedInstance().role() == std::optional<std::string>("parent"); }

}  // namespace

// ---- The join-a-class-first guard -----------------------------------------------------------

std::shared_ptr<AlertView> MVTInterClassViewController::showJoinClassAlert(std::weak_ptr<AlertViewDelegate> delegate) {
    auto alert = std::make_shared<AlertView>();
    if (isParent())
        alert->initWithTitle("", "您的孩子没有加入班级，请让孩子加入班级", std::move(delegate), localized("确定"));
    else
        alert->initWithTitle("", localized("请先加入班级，可以查看和分享更多精彩"), std::move(delegate), "",
                             {localized("确定"), localized("取消")});
    alert->setTag(static_cast<int>(kJoinClassAlertTag));
    alert->show();
    return alert;
}

bool MVTInterClassViewController::answerJoinClassAlert(ViewController& screen, AlertView& alert, long index) {
    if (alert.tag() != kJoinClassAlertTag) return false;
    if (index == 0 && !isParent()) {
        auto join = std::make_shared<MVTInterClassViewController>();
        screen.presentViewController(myNavigationController::withRoot(join), true);
    }
    return true;
}

// ---- The screen -------------------------------------------------------------------------------

MVTInterClassViewController::MVTInterClassViewController() = default;

MVTInterClassViewController::~MVTInterClassViewController() {
    if (focusTimer_) focusTimer_->invalidate();
}

void MVTInterClassViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("加入班级"));
    auto weak = weakAs<MVTInterClassViewController>();
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

    initInfoView();
    focusTimer_ = RunLoop::main().performAfter(kFocusDelay, [weak] {
        if (auto self = weak.lock()) self->startClassIdField();
    });
}

void MVTInterClassViewController::initInfoView() {
    auto weak = weakAs<MVTInterClassViewController>();
    FormActions actions;
    actions.scan = [weak](Control&) {
        if (auto self = weak.lock()) self->toZXing();
    };
    actions.getClassId = [weak](Control&) {
        if (auto self = weak.lock()) self->doNotKnowTheClassCode();
    };
    if (isLogining_)
        actions.schoolOnly = [weak](Control&) {
            if (auto self = weak.lock()) self->toSearchSchool();
        };
    form_ = buildForm(view(), isLogining_ ? kHintWithSchool : kHint, weakAs<TextFieldDelegate>(), std::move(actions));
}

void MVTInterClassViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (accountHasSchool()) form_.getClassIdBtn->setHidden(false);
}

void MVTInterClassViewController::startClassIdField() {
    focusTimer_.reset();
    form_.codeField->becomeFirstResponder();
}

void MVTInterClassViewController::goback() {
    view()->endEditing(true);
    if (isLogining_) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->gotosetview(false);
        return;
    }
    dismissViewController(true);
}

void MVTInterClassViewController::addToClass() {
    const std::string code = form_.codeField->text();
    if (isEmptyCode(code)) {
        view()->endEditing(true);
        showEmptyCodeAlert();
        return;
    }
    auto weak = weakAs<MVTInterClassViewController>();
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
            // A refusal without a reason still says that the class was not found.
            showNotice(reasonOr(reply, "message", localized("查询班级信息失败")));
        },
        [] { showNotice(localized("查询班级信息失败")); });
}

void MVTInterClassViewController::toDone() {
    const std::string code = form_.codeField->text();
    if (isEmptyCode(code)) {
        view()->endEditing(true);
        showEmptyCodeAlert();
        return;
    }
    auto weak = weakAs<MVTInterClassViewController>();
    sendJsonGet(
        joinUrl(code),
        [weak](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            if (isNoReply(reply)) return;
            if (needsApproval(reply)) {
                auto pending =
                    AlertView::make("加入的学校正在审核", "", self->weakAs<AlertViewDelegate>(), localized("确定"));
                pending->setTag(static_cast<int>(kApprovalAlertTag));
                pending->show();
                return;
            }
            if (isSuccess(reply)) {
                self->successGetClassIdWith(reply);
                return;
            }
            // Neither approval nor success: the service's reason, or at least that it failed.
            auto failed = AlertView::make(localized("提示"), reasonOr(reply, "msg", localized("加入班级失败,请重试")),
                                          self->weakAs<AlertViewDelegate>(), localized("确定"));
            failed->show();
        },
        [weak] {
            if (auto self = weak.lock()) self->showHUDWithBool(false);
        },
        [weak] {
            if (auto self = weak.lock()) self->showHUDWithBool(true);
        });
}

void MVTInterClassViewController::successGetClassIdWith(const Json& reply) {
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
    if (isLogining_) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->userGetLogin();
    } else {
        goback();
    }
}

void MVTInterClassViewController::toZXing() {
    view()->endEditing(true);
    auto scan = std::make_shared<MVTZXingViewController>();
    scan->setDelegate(weakAs<MVTZXingViewControllerDelegate>());
    presentViewController(myNavigationController::withRoot(scan), true);
}

void MVTInterClassViewController::MVTZXingViewControllerDidScanResult(MVTZXingViewController&,
                                                                      const std::string& result) {
    auto weak = weakAs<MVTInterClassViewController>();
    dismissViewController(true, [weak, result] {
        if (auto self = weak.lock()) self->form_.codeField->setText(classCodeFromScan(result));
    });
}

void MVTInterClassViewController::MVTZXingViewControllerDidCancel(MVTZXingViewController&) {
    dismissViewController(true);
}

void MVTInterClassViewController::doNotKnowTheClassCode() {
    if (auto* navigation = navigationController())
        navigation->pushViewController(std::make_shared<MVTAddToClassBySelectViewController>(), true);
}

void MVTInterClassViewController::toSearchSchool() {
    view()->endEditing(true);
    auto search = std::make_shared<MVTSearchSchoolViewController>();
    search->setIsLogining(isLogining_);
    if (auto* navigation = navigationController()) navigation->pushViewController(search, true);
}

void MVTInterClassViewController::nowBackToLogin() {
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->gotosetview(true);
}

void MVTInterClassViewController::showHUDWithBool(bool show) {
    if (show) {
        if (HUD_) HUD_->removeFromSuperview();
        HUD_ = ProgressHUD::showHUDAddedTo(view(), true);
    } else if (HUD_) {
        HUD_->hide(true);
    }
}

void MVTInterClassViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kConfirmAlertTag && index == 1) {
        toDone();
    } else if (alert.tag() == kApprovalAlertTag && index == 0) {
        // The screen stays until the sign-out, even when it is closed meanwhile.
        auto self = std::static_pointer_cast<MVTInterClassViewController>(shared_from_this());
        RunLoop::main().performAfter(kSignOutDelay, [self] { self->nowBackToLogin(); });
    }
}

bool MVTInterClassViewController::textFieldShouldReturn(TextField& field) {
    field.resignFirstResponder();
    return true;
}

bool MVTInterClassViewController::textFieldShouldClear(TextField&) { return true; }
