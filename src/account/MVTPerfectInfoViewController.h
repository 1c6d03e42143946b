#pragma once

#include "account/MVTSearchSchoolViewController.h"
#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TextField.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class Label;
class ProgressHUD;
}  // namespace platform

// Registration, step 2 ("完善信息"): pushed by step 1 with the role, the account text and
// the password. It collects the full name and, by role, the e-mail address, the school
// (teachers, through the school search as a picker), an optional mobile number (students)
// or the parent access code (parents), and sends "register/<role>". The reply either is
// the new account, which is signed in at once, or says that the school must approve
// first, and the user goes back to the login screen.
class MVTPerfectInfoViewController : public ViewViewController,
                                     public platform::TextFieldDelegate,
                                     public platform::AlertViewDelegate,
                                     public MVTSearchSchoolDelegate {
public:
    MVTPerfectInfoViewController();
    ~MVTPerfectInfoViewController() override;
    std::string className() const override { return "MVTPerfectInfoViewController"; }

    static constexpr double kRequestTimeout = 20.0;
    // The keyboard goes to the first field this long after loading.
    static constexpr double kFocusDelay = 0.6;
    // The approval alert; its button returns to the login screen this long afterwards.
    static constexpr long kApprovalAlertTag = 5337;
    static constexpr double kBackToLoginDelay = 0.6;

    void viewDidLoad() override;

    // "teacher", "student" or "parent".
    const std::string& registerRole() const { return registerRole_; }
    void setRegisterRole(const std::string& role) { registerRole_ = role; }
    // Step 1's account text as typed.
    const std::string& accountStr() const { return accountStr_; }
    void setAccountStr(const std::string& text) { accountStr_ = text; }
    // Step 1's password, without spaces.
    const std::string& passwordStr() const { return passwordStr_; }
    void setPasswordStr(const std::string& text) { passwordStr_ = text; }

    // The checks and the "register/<role>" request ("完成").
    void toDone();
    // Teachers: pushes the school search as a picker with this screen as its delegate.
    void toSelectSchool();
    // The chosen school: its "name" shows in the school row, its "id" is kept.
    void didSelectedSchoolWith(const platform::Json& school) override;
    // The approval alert's button.
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    // A fresh, empty login screen becomes the window's root; registration ends.
    void goBackToLogin();
    // Gives the keyboard to the name field (students) or the access code field (parents).
    void startInfoField();
    // mindErr: the red message strip at the top of the screen.
    void mindErr(const std::string& text);
    void showHUDWithBool(bool show);
    // The back button: pops back to step 1.
    void goback();

    bool textFieldShouldReturn(platform::TextField& field) override;
    bool textFieldShouldClear(platform::TextField& field) override;

    // The form; a field that the role does not have is null.
    std::shared_ptr<platform::TextField> nameField() const { return nameField_; }
    std::shared_ptr<platform::TextField> emailField() const { return emailField_; }
    std::shared_ptr<platform::TextField> phoneField() const { return phoneField_; }
    std::shared_ptr<platform::TextField> interField() const { return interField_; }
    std::shared_ptr<platform::Label> schoolLa() const { return schoolLa_; }
    std::shared_ptr<platform::Button> schoolButton() const { return schoolButton_; }
    std::shared_ptr<platform::Button> doneButton() const { return doneButton_; }
    // The chosen school's id, empty until a school is chosen.
    const std::string& schoolId() const { return schoolId_; }
    std::shared_ptr<platform::ProgressHUD> HUD() const { return HUD_; }

private:
    void initPerfectInfoView();
    // The first check that fails, or the empty text.
    std::string firstFailedCheck();
    platform::Json registerParameters() const;
    void handleRegisterReply(const platform::Json& reply);
    // The registration stack was presented over the login screen; it goes before the
    // window's root changes.
    void closeRegistration();

    std::string registerRole_, accountStr_, passwordStr_;
    std::shared_ptr<platform::TextField> nameField_, emailField_, phoneField_, interField_;
    std::shared_ptr<platform::Label> schoolLa_;
    std::shared_ptr<platform::Button> schoolButton_;
    std::shared_ptr<platform::Button> doneButton_;
    std::string schoolId_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
};
