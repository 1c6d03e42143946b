#pragma once

#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TextView.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Label;
class ProgressHUD;
}  // namespace platform

// "个性签名": edits the signed-in user's signature (at most 45 UTF-16 units) with a live
// counter and saves it to the service as the multipart field "text". On success the
// account holds the new text and the screen pops. Pushed onto a stack; nothing opens it.
class MVTPersonalStatusChageViewController : public ViewViewController, public platform::AlertViewDelegate {
public:
    MVTPersonalStatusChageViewController();
    ~MVTPersonalStatusChageViewController() override;
    std::string className() const override { return "MVTPersonalStatusChageViewController"; }

    static constexpr std::size_t kLimit = 45;
    static constexpr int kTextViewTag = 12;
    static constexpr long kLeaveAlertTag = 888;

    void viewDidLoad() override;
    void viewDidDisappear(bool animated) override;
    void initTextView();
    // The text view's delegate reports each change here.
    void textViewDidChange(platform::TextView& view);
    void keyboardWillShow(const platform::Notification& notification);
    void keyboardChange(const platform::Notification& notification);
    void removeKeyBoard();
    // "完成": refuses a text over the limit or an unchanged signature, else saves.
    void sendStatus();
    void makeSureToPostStatus();
    void showHUDWithBool(bool show);
    // Back: asks first when a signature exists and the text differs from it.
    void goback();
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    // The counter's text for a text of `length` UTF-16 units.
    static std::string counterText(std::size_t length);

    const std::string& statusString() const { return statusString_; }
    void setStatusString(const std::string& text) { statusString_ = text; }
    std::shared_ptr<platform::TextView> statusTextView() const { return statusTextView_; }
    std::shared_ptr<platform::Label> warringlabel() const { return warringlabel_; }
    std::shared_ptr<platform::View> hidKeyBoardView() const { return hidKeyBoardView_; }

private:
    void observeKeyboard();
    // The account's signature, empty when it has none.
    static std::string currentStatus();

    std::shared_ptr<platform::TextView> statusTextView_;
    std::shared_ptr<platform::Label> warringlabel_;
    std::shared_ptr<platform::View> hidKeyBoardView_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
    std::shared_ptr<platform::TextViewDelegate> textDelegate_;
    std::string statusString_;
    std::vector<platform::ObserverToken> observers_;
};
