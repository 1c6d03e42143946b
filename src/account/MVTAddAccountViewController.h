#pragma once

#include "shell/ViewViewController.h"

#include "platform/ui/TextField.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>

namespace platform {
class Button;
class HttpRequestOperation;
class ProgressHUD;
}  // namespace platform

// Told by the add screen once a new account is remembered.
class MVTAddAccountDelegate {
public:
    virtual ~MVTAddAccountDelegate() = default;
    // reloadUserWith: the remembered-accounts row just stored.
    virtual void reloadUserWith(const nlohmann::json& row) = 0;
};

// Adds an account to the remembered ones: checks the typed user name and password with the
// service's sign-in request, remembers the account (with default reminder settings when it
// has none) and then switches to it through a full sign-in. Pushed by the accounts list.
class MVTAddAccountViewController : public ViewViewController, public platform::TextFieldDelegate {
public:
    MVTAddAccountViewController();
    ~MVTAddAccountViewController() override;
    std::string className() const override { return "MVTAddAccountViewController"; }

    void viewDidLoad() override;

    std::shared_ptr<MVTAddAccountDelegate> delegate() const { return delegate_.lock(); }
    // Held weakly: the list screen that pushed this one.
    void setDelegate(const std::shared_ptr<MVTAddAccountDelegate>& delegate) { delegate_ = delegate; }

    // The check and the remembering; the button's action and Return in the password field.
    void addAccount();
    // toChangeUserWith: tells the delegate about the stored row, then signs in with it.
    void toChangeUserWith(const nlohmann::json& row);
    // Pops this screen.
    void goback();

    bool textFieldShouldReturn(platform::TextField& field) override;
    void textFieldDidEndEditing(platform::TextField& field) override;

    std::shared_ptr<platform::TextField> jidField() const { return jidField_; }
    std::shared_ptr<platform::TextField> passwordField() const { return passwordField_; }
    std::shared_ptr<platform::Button> addButton() const { return addButton_; }
    // The progress overlay while the check runs; nothing otherwise.
    std::shared_ptr<platform::ProgressHUD> HUD() const { return HUD_; }

    // Seconds between remembering the account and starting the switch.
    static constexpr double kChangeUserDelay = 0.1;

private:
    void removeHUD();
    void accountChecked(const nlohmann::json& reply, const std::string& userName, const std::string& password);

    std::shared_ptr<platform::TextField> jidField_;
    std::shared_ptr<platform::TextField> passwordField_;
    std::shared_ptr<platform::Button> addButton_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
    std::weak_ptr<MVTAddAccountDelegate> delegate_;
    std::shared_ptr<platform::HttpRequestOperation> operation_;
};
