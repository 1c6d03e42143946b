#include "account/MVTInterClassViewController.h"

#include "account/MVTSearchSchoolViewController.h"
#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myNavigationController.h"

#include "platform/RunLoop.h"
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
    auto weak = weakAs<MVTInterClassViewController>();
    setUpNavigationBar(
        *this,
        [weak](Control&) {
            if (auto self = weak.lock()) self->goback();
        },
        [weak](Control&) {
            if (auto self = weak.lock()) self->addToClass();
        });

    initInfoView();
    focusTimer_ = RunLoop::main().performAfter(kFocusDelay, [weak] {
        if (auto self = weak.lock()) self->startClassIdField();
    });
}

void MVTInterClassViewController::initInfoView() {
    auto weak = weakAs<MVTInterClassViewController>();
    FormActions actions = scanAndChoiceActions(weak);
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
    if (refuseEmptyCode(code, *view())) return;
    offerClassWithCode(code, weakAs<AlertViewDelegate>());
}

void MVTInterClassViewController::toDone() {
    const std::string code = form_.codeField->text();
    if (refuseEmptyCode(code, *view())) return;
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
            showJoinFailed(reply, self->weakAs<AlertViewDelegate>());
        },
        [weak] {
            if (auto self = weak.lock()) self->showHUDWithBool(false);
        },
        [weak] {
            if (auto self = weak.lock()) self->showHUDWithBool(true);
        });
}

void MVTInterClassViewController::successGetClassIdWith(const Json& reply) {
    if (!recordJoinedClassOrTell(reply)) return;
    if (isLogining_) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->userGetLogin();
    } else {
        goback();
    }
}

void MVTInterClassViewController::toZXing() {
    view()->endEditing(true);
    presentScanScreen(*this, weakAs<MVTZXingViewControllerDelegate>());
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

void MVTInterClassViewController::doNotKnowTheClassCode() { pushJoinByChoice(*this); }

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
