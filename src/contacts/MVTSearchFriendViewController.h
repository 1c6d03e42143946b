#pragma once

// The add-friend screen "添加好友": a user search by a typed text, whose rows offer a friend
// application ("加为好友", with a verification text of at most 20 characters), a chat with
// someone who is already a friend ("发送消息"), or show that an application waits
// ("等待验证"). Parents are never listed. The avatar of a row opens the person's profile.
//
// Opened from a contact screen ("addressList") it is the root of a presented stack and its
// back button dismisses that stack; pushed by the friend requests ("newFriend") its back
// button pops it.

#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

namespace platform {
class Button;
class ProgressHUD;
class TextField;
}  // namespace platform

class MVTSearchFriendViewController : public ViewViewController,
                                      public platform::TableViewDataSource,
                                      public platform::TableViewDelegate,
                                      public platform::AlertViewDelegate {
public:
    ~MVTSearchFriendViewController() override;
    std::string className() const override { return "MVTSearchFriendViewController"; }

    static constexpr const char* kPageName = "添加好友";
    static constexpr long kVerifyAlertTag = 203;
    static constexpr std::size_t kScriptLimit = 20;
    static constexpr double kRowHeight = 60;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void initSearchView();
    void searchFriend();
    void showHUDWithBool(bool show);
    void initmytableview();
    void addFriend(platform::Button& button);
    void makeSureToadd(const std::string& script);
    void sendMessage(platform::Button& button);
    void chooseNamed(platform::Button& button);
    void changeFriendStatus(const platform::Notification& notification);
    void goback();

    const std::string& whereFrom() const { return whereFrom_; }
    void setWhereFrom(const std::string& from) { whereFrom_ = from; }
    const platform::Json& searchedFriendArray() const { return searchedFriendArray_; }
    int addFriendInt() const { return addFriendInt_; }
    std::shared_ptr<platform::TextField> searchFiled() const { return searchFiled_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::ProgressHUD> HUD() const { return hud_; }

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

private:
    void showVerifyPrompt(const std::string& message, const std::string& text);
    // The row whose "uid" is `uid` as a number, or -1.
    int rowOfUid(const platform::Json& uid) const;
    void markWaiting(int row, bool reload);
    const platform::Json& rowAt(long index) const;

    std::string whereFrom_;
    platform::Json searchedFriendArray_ = platform::Json::array();
    int addFriendInt_ = -1;
    std::shared_ptr<platform::TextField> searchFiled_;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    platform::ObserverToken statusToken_;
};
