#pragma once

// The friend requests "新的好友": the applications other users sent, each answered with
// "同意" or "忽略". An accepted applicant is appended to the friends of the contacts
// cache at once; every loaded list clears the account's friend-request flag.

#include "contacts/MVTLinkManListViewController.h"

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

namespace platform {
class Button;
class Label;
class ProgressHUD;
}  // namespace platform

class MVTNewFriendViewController : public ViewViewController,
                                   public platform::TableViewDataSource,
                                   public platform::TableViewDelegate,
                                   public platform::AlertViewDelegate {
public:
    std::string className() const override { return "MVTNewFriendViewController"; }

    static constexpr const char* kMarkUpside = "markUpside";
    static constexpr double kRowHeight = 60;
    static constexpr double kResultFade = 1.0;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    void getFriendApplyList();
    void addFriend(platform::Button& button);
    void passThisOne(platform::Button& button);
    void deelWithFriendApply(platform::Button& button, const std::string& statu);
    // Appends the applicant to the friends of the contacts cache; false when there is no
    // cache to append to.
    bool saveNewFriendToNative(const platform::Json& record);
    void chooseNamed(platform::Button& button);
    void searchFriend();
    void goback();
    void showHUDWithBool(bool show);
    void showWarringLabel();
    void shareResult(const std::string& text);
    void initmytableview();

    // Held weakly: the delegate is the list that opened this screen.
    void setDelegate(std::weak_ptr<addNewFriendDelegate> delegate) { delegate_ = std::move(delegate); }
    const platform::Json& myApplyArray() const { return myApplyArray_; }
    bool isAddedFriend() const { return isAddedFriend_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::Label> warringLabel() const { return warringLabel_; }
    // The last result line shown ("添加好友成功" ...), nullptr before any.
    std::shared_ptr<platform::Label> resultLabel() const { return resultLabel_; }
    std::shared_ptr<platform::ProgressHUD> HUD() const { return hud_; }

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

private:
    void answered(int row, bool agree, bool accepted);

    platform::Json myApplyArray_ = platform::Json::array();
    bool isAddedFriend_ = false;
    bool isNeedToReload_ = false;
    std::weak_ptr<addNewFriendDelegate> delegate_;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<platform::Label> warringLabel_;
    std::shared_ptr<platform::Label> resultLabel_;
    std::shared_ptr<platform::ProgressHUD> hud_;
};
