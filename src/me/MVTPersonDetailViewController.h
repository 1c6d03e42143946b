#pragma once

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class Label;
class ProgressHUD;
class View;
}  // namespace platform
class MVTPathView;
class myTableView;

// The profile page "个人资料" of one user: the space header (cover, avatar, name,
// signature), the user's classes, an entry to the user's personal space, and what the
// signed-in user can do towards that user: send a message, apply to become friends,
// remove the friend.
//
// Opening: make it with make_shared, call setUserDict with at least "uid", "name" and
// "role" (other keys of the opener's list entry travel along), optionally setFromWhere
// ("linkMan" from contact lists and group members, "searchFriend" from the friend search),
// set the view's accessibility value to "push" and push it on the opener's stack. A
// personal space that opens it also sets the accessibility hint "timeSpace", so the page's
// feed row pops back to that space instead of stacking a new one. Openers fill "uid" from
// "id" where their entries carry only "id".
//
// Back dismisses the navigation controller holding the page (with the value "push") or the
// page itself, without animation.
class MVTPersonDetailViewController : public ViewViewController,
                                      public platform::TableViewDataSource,
                                      public platform::TableViewDelegate,
                                      public platform::AlertViewDelegate {
public:
    MVTPersonDetailViewController();
    ~MVTPersonDetailViewController() override;
    std::string className() const override { return "MVTPersonDetailViewController"; }

    static constexpr const char* kPageName = "个人资料";
    // Posted after a successful application opened from the friend search; object: "uid".
    static constexpr const char* kChageFriendStatusNotification = "chageFriendStatus";
    // Posted, in this order, after a successful removal; object {"name", "role", "userId"}.
    static constexpr const char* kNativeReceiversChangedNotification = "nativeReceiversHaveChanged";
    static constexpr const char* kNativeReceiversChangedHdNotification = "nativeReceiversHaveChanged_hd";
    static constexpr long kApplyAlertTag = 203;
    static constexpr long kRemoveAlertTag = 205;
    static constexpr long kJoinClassAlertTag = 10010;
    static constexpr long kMoreSheetTag = 10;
    static constexpr int kAddFriendButtonTag = 1122;

    const platform::Json& userDict() const { return userDict_; }
    void setUserDict(const platform::Json& user) { userDict_ = user; }
    const std::string& fromWhere() const { return fromWhere_; }
    void setFromWhere(const std::string& from) { fromWhere_ = from; }
    std::shared_ptr<MVTPathView> headView() const { return headView_; }
    // The last successful space-info reply (empty until one arrives).
    const platform::Json& myDict() const { return myDict_; }
    std::shared_ptr<myTableView> tableView() const { return myTable_; }
    std::shared_ptr<platform::View> tableFooterView() const { return tableFooterView_; }
    bool feedError() const { return feedError_; }

    void viewDidLoad() override;
    // Sends the space-info request.
    void netGetData();
    // The footer button and the right bar button for the relationship in myDict.
    void initButton();
    // First call builds the table and the header; later calls reload the table.
    void initmytable();
    void initNavBar();
    void backButtonClick();
    bool isMySelf() const;
    void sendMessage();
    void addFriend();
    void makeSureToadd(const std::string& script);
    void moreAction();
    void deleteFriend();
    void makeSureToDeleteFriend();
    // Drops the removed friend from the contacts cache (through the contacts-cache store).
    void dealWithNativeReceivers();
    void showHUDWithBool(bool show);

    // The footer button, or nothing.
    std::shared_ptr<platform::Button> footerButton() const;

    // Table.
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;

    // Level or points, prepared but not placed (the header container is exactly the
    // header's height).
    std::shared_ptr<platform::Label> userLvLabel() const { return userLvLabel_; }
    std::shared_ptr<platform::Label> userIntegralLabel() const { return userIntegralLabel_; }

private:
    enum class RowKind { Classes, Honor, Feed };
    RowKind rowKind(int row) const;
    std::shared_ptr<platform::TableViewCell> buildCell(int row);
    void handleInfoReply(const platform::Json& reply);
    void handleRemoveReply(const platform::Json& reply);
    void showApplyAlert(const std::string& message, const std::string& text);
    bool guardJoinClass();
    void refreshLevelLabels();

    platform::Json userDict_ = platform::Json::object();
    std::string fromWhere_;
    platform::Json myDict_ = platform::Json::object();
    bool feedError_ = false;
    bool decorationError_ = false;
    std::shared_ptr<MVTPathView> headView_;
    std::shared_ptr<myTableView> myTable_;
    std::shared_ptr<platform::View> tableFooterView_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    std::shared_ptr<platform::Label> userLvLabel_;
    std::shared_ptr<platform::Label> userIntegralLabel_;
};
