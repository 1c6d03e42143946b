#pragma once

#include "shell/ViewViewController.h"

#include "platform/ui/TextField.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class ProgressHUD;
}  // namespace platform

// Registration, step 1: the login screen presents it, as the root of a navigation stack
// of its own, for the chosen role. The user gives the account text to sign in with (a
// mobile number; students may use a user name instead) and a password; the service checks
// the account text with "registerValidate" and, when it accepts, step 2 is pushed on the
// same stack to collect the rest.
class MVTRegisterViewController : public ViewViewController, public platform::TextFieldDelegate {
public:
    MVTRegisterViewController();
    ~MVTRegisterViewController() override;
    std::string className() const override { return "MVTRegisterViewController"; }

    static constexpr double kRequestTimeout = 20.0;
    // The keyboard goes to the account field this long after loading.
    static constexpr double kFocusDelay = 0.24;
    static constexpr int kShortestPassword = 6;

    void viewDidLoad() override;

    // "teacher", "student" or "parent", set by the opener before the screen loads.
    const std::string& registerRole() const { return registerRole_; }
    void setRegisterRole(const std::string& role) { registerRole_ = role; }

    // toDoNext: the checks and the "registerValidate" request ("下一步").
    void toDoNext();
    // Pushes step 2 with the role, the account as typed and the password without spaces.
    void goToPerfectInfo();
    // mindErr: the red message strip at the top of the screen.
    void mindErr(const std::string& text);
    // YES: a new progress overlay over the screen (any previous one removed); NO: hides it.
    void showHUDWithBool(bool show);
    // The back button: closes the keyboard and dismisses the whole registration.
    void goback();
    // Gives the keyboard to the account field.
    void startAccountField();

    bool textFieldShouldReturn(platform::TextField& field) override;
    bool textFieldShouldClear(platform::TextField& field) override;

    std::shared_ptr<platform::TextField> accountField() const { return accountField_; }
    std::shared_ptr<platform::TextField> passwordField() const { return passwordField_; }
    std::shared_ptr<platform::Button> nextButton() const { return nextButton_; }
    std::shared_ptr<platform::ProgressHUD> HUD() const { return HUD_; }

private:
    void initRegisterView();
    void handleValidateReply(const platform::Json& reply);

    std::string registerRole_;
    std::shared_ptr<platform::TextField> accountField_;
    std::shared_ptr<platform::TextField> passwordField_;
    std::shared_ptr<platform::Button> nextButton_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
};
