#pragma once

#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/TextField.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class ImageView;
}  // namespace platform

// Defaults keys this screen writes. Only the pre-login server settings read the server
// keys; nothing reads "alertMusic".
inline constexpr const char* kAlertMusicKey = "alertMusic";
inline constexpr const char* kXmppServerKey = "XMPPSERVER";
inline constexpr const char* kXmppPortKey = "XMPPPORT";
inline constexpr const char* kHttpServerKey = "HTTPSERVER";
inline constexpr const char* kHttpPortKey = "HTTPPORT";

// The screen where a user who is not signed in types a user name (or e-mail address or
// mobile number) and a password, or starts registration. It is the window's root, never
// pushed or presented, and has no navigation bar. It only checks that both fields are
// filled and hands them to the application delegate, which signs in and replaces the
// window's root.
class MVTLoginViewController : public ViewViewController, public platform::TextFieldDelegate {
public:
    MVTLoginViewController();
    ~MVTLoginViewController() override;
    std::string className() const override { return "MVTLoginViewController"; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // setName:and: puts the saved credentials into the two fields.
    void setName(const std::string& userName, const std::string& password);
    // login: the sign-in action of the button and of Return in the password field.
    void login();
    // toSelectRoleRegister: the role sheet of the register button.
    void toSelectRoleRegister();
    // toRegister: opens registration for "teacher", "student" or "parent".
    void toRegister(const std::string& role);
    // Presents the pre-login server settings in a navigation stack; the action of the
    // small settings button in the top right corner.
    void toOutSetting();
    // The role sheet's answer.
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;

    bool textFieldShouldReturn(platform::TextField& field) override;
    void textFieldDidEndEditing(platform::TextField& field) override;
    // A touch anywhere outside the fields closes the keyboard.
    void touchesEnded(const platform::Touches& touches) override;

    // Observers of the keyboard's will-show and will-hide notifications.
    void keyBoardWillShow();
    void keyBoardWillDown();

    std::shared_ptr<platform::TextField> jidField() const { return jidField_; }
    std::shared_ptr<platform::TextField> passwordField() const { return passwordField_; }
    std::shared_ptr<platform::Button> loginbt() const { return loginbt_; }
    std::shared_ptr<platform::Button> registerButton() const { return registerBt_; }
    std::shared_ptr<platform::Button> settingButton() const { return settingBt_; }
    // The view's vertical centre saved while the keyboard is up; 0 at rest.
    float selfViewCenterY() const { return selfViewCenterY_; }

    // The private-network address written under the two server keys.
    static constexpr const char* kDefaultServer = "192.168.1.10";

private:
    void initview();

    std::shared_ptr<platform::TextField> jidField_;
    std::shared_ptr<platform::TextField> passwordField_;
    std::shared_ptr<platform::Button> loginbt_;
    std::shared_ptr<platform::Button> registerBt_;
    std::shared_ptr<platform::Button> settingBt_;
    float selfViewCenterY_ = 0;
    platform::ObserverToken showToken_;
    platform::ObserverToken hideToken_;
};
