#pragma once

#include "composer/MVTAddEssayViewController.h"
#include "shell/AllListDelegate.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <memory>
#include <string>

namespace platform {
class HttpRequestOperation;
class ProgressHUD;
class ScrollView;
}  // namespace platform

// "发布通知": a teacher's class notice or an administrator's school notice: receivers
// (chips), a title of at most 20 characters, a body and one voice take; a teacher may ask
// for a receipt, an administrator chooses the receivers' roles and may name the sender.
// No pictures. Sent as one multipart request; on success it closes and posts
// "publishNewNoti" and "reloadTimer". Presented in its own navigation controller by the
// notice class picker.
class MVTAddNotViewController : public MVTAddEssayViewController,
                                public AllListDelegate,
                                public platform::TextFieldDelegate {
public:
    std::string className() const override { return "MVTAddNotViewController"; }

    static constexpr const char* kPageName = "发布通知";
    static constexpr const char* kPublishNewNoti = "publishNewNoti";
    static constexpr const char* kReloadTimer = "reloadTimer";
    static constexpr std::size_t kTitleLimit = 20;
    static constexpr double kSendTimeout = 30;
    static constexpr int kChipTagBase = 10000;
    static constexpr int kDeleteButtonTag = 100;
    static constexpr int kReceiptSwitchTag = 111;
    static constexpr long kLeaveAlertTag = 888;

    ~MVTAddNotViewController() override;
    void viewDidLoad() override;

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;

    void addList();
    void reloadDataForReceivers(const platform::Json& receivers);
    void returnList(const platform::Json& list, const platform::Json& roleList) override;
    void loadRecipientScrollView();
    void deleteReceiver(int chip);
    void tapToremoveDelete();
    void cancelBtnClick();
    std::string dealSelectedRole() const;
    std::string dealSelectedRoleParam() const;
    void huizhi();

    bool textFieldShouldBeginEditing(platform::TextField& field) override;
    bool textFieldShouldReturn(platform::TextField& field) override;
    bool textViewShouldBeginEditing();
    void textViewDidEndEditing();
    void keyboardWillShow(const platform::Notification& notification) override;
    void keyboardWillHidden(const platform::Notification& notification) override;
    void keyboardChange(const platform::Notification& notification) override;
    void removeKeyBoard() override;

    void sendBtnClicked(platform::Button* sender) override;
    void goback() override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    // The text of the "receivers"/"permissions" part: each receiver's "id", else "uid".
    static std::string receiverIds(const platform::Json& receivers);

    // ---- State, for tests.
    const platform::Json& recievedArray() const { return recievedArray_; }
    const platform::Json& roleMArray() const { return roleMArray_; }
    bool isNeedHuizhi() const { return isNeedHuizhi_; }
    std::shared_ptr<platform::TextField> mytextField() const { return mytextField_; }
    std::shared_ptr<platform::TextField> nameTextField() const { return nameTextField_; }
    std::shared_ptr<platform::ScrollView> recipientScrollView() const { return recipientScrollView_; }
    std::shared_ptr<platform::ProgressHUD> HUD() const { return sendingHUD(); }
    int selectTag() const { return selectTag_; }
    // Row kinds, in the order the form shows them for the role and receivers.
    enum class Row { Title, ReceiverHeader, Chips, Sender, Body, Pictures, Voice };
    std::vector<Row> rows() const;

private:
    std::shared_ptr<platform::Label> labelNamed(const std::string& text, const platform::Rect& rect);
    void ensureKeyboardBar(double keyboardHeight);
    void showAlert(const std::string& message, const std::string& button);
    void leave();
    bool admin() const;
    double bodyRowHeight();
    double normalBodyHeight();

    platform::Json recievedArray_ = platform::Json::array();
    platform::Json roleMArray_ = platform::Json::array();
    bool isNeedHuizhi_ = false;
    bool isFirst_ = false;
    int selectTag_ = 0;
    std::shared_ptr<platform::TextField> mytextField_;
    std::shared_ptr<platform::TextField> nameTextField_;
    std::shared_ptr<platform::ScrollView> recipientScrollView_;
    std::shared_ptr<platform::ImageView> receiptSwitch_;
    std::shared_ptr<platform::TextViewDelegate> bodyDelegate_;
    std::shared_ptr<platform::HttpRequestOperation> sending_;
    platform::ObserverToken receiversToken_;
};
