#pragma once

#include "account/ClassCodeJoin.h"
#include "account/MVTZXingViewController.h"
#include "shell/ViewViewController.h"

#include "platform/Timer.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TextField.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class ProgressHUD;
}  // namespace platform

// The screen that asks a user without a class to join one by its class code (typed or
// scanned). Sign-in makes it the window's root (marked with setIsLogining) for a teacher
// or student without a school; then a join continues the sign-in, and a school alone may
// be joined instead. Other screens present it, inside a navigation controller, from their
// join-a-class alert (tag 10010; showJoinClassAlert / answerJoinClassAlert below); then a
// join closes it.
class MVTInterClassViewController : public ViewViewController,
                                    public platform::TextFieldDelegate,
                                    public platform::AlertViewDelegate,
                                    public MVTZXingViewControllerDelegate {
public:
    MVTInterClassViewController();
    ~MVTInterClassViewController() override;
    std::string className() const override { return "MVTInterClassViewController"; }

    // ---- The join-a-class-first guard, shared by every screen that needs a class.
    static constexpr long kJoinClassAlertTag = 10010;
    // Shows the untitled alert tagged 10010 for the account's role, with `delegate`: a
    // parent is told to let the child join ("确定" only); others are asked to join first
    // ("确定" 0, "取消" 1).
    static std::shared_ptr<platform::AlertView> showJoinClassAlert(std::weak_ptr<platform::AlertViewDelegate> delegate);
    // The answer to that alert: button 0 from a user who is not a parent presents a new
    // join screen from `screen`, inside a navigation controller. True when the alert was
    // the join-a-class alert (whatever the answer).
    static bool answerJoinClassAlert(platform::ViewController& screen, platform::AlertView& alert, long index);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // YES when the screen was reached at sign-in rather than opened from a screen.
    bool isLogining() const { return isLogining_; }
    void setIsLogining(bool logining) { isLogining_ = logining; }

    // Gives the code field the keyboard (0.24 seconds after loading).
    void startClassIdField();
    // Back: at sign-in, to the login screen with the saved user; otherwise closes.
    void goback();
    // "完成": looks the typed class code up.
    void addToClass();
    // The confirmed join.
    void toDone();
    // A join the service accepted: the class goes into the account and the saved user.
    void successGetClassIdWith(const platform::Json& reply);
    // "扫描二维码": presents the scan screen.
    void toZXing();
    // "无法获取班级编号,经审核加入": pushes the join-by-choice screen.
    void doNotKnowTheClassCode();
    // "不知道班级编号，仅加入学校": pushes the school search in join mode.
    void toSearchSchool();
    // Signs out to an empty login screen.
    void nowBackToLogin();
    void showHUDWithBool(bool show);

    void MVTZXingViewControllerDidScanResult(MVTZXingViewController& screen, const std::string& result) override;
    void MVTZXingViewControllerDidCancel(MVTZXingViewController& screen) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    bool textFieldShouldReturn(platform::TextField& field) override;
    bool textFieldShouldClear(platform::TextField& field) override;

    const std::shared_ptr<platform::TextField>& classIdTextField() const { return form_.codeField; }
    const std::shared_ptr<platform::Button>& getClassIdBtn() const { return form_.getClassIdBtn; }
    const std::shared_ptr<platform::Button>& schoolOnlyButton() const { return form_.schoolOnlyButton; }
    const std::shared_ptr<platform::Label>& hintLabel() const { return form_.hint; }
    const std::shared_ptr<platform::ProgressHUD>& HUD() const { return HUD_; }

private:
    void initInfoView();

    bool isLogining_ = false;
    class_code_join::Form form_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
    platform::TimerRef focusTimer_;
};
