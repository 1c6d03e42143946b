#pragma once

// The groups of the signed-in user, from the group cache and the service; a tap opens
// the group's chat (after a confirmation when a message is being forwarded), "+" starts a
// new group. `MVTGroupListContactViewController` is the same list inside the contacts tab.
// Also a silent search source for the forward picker ("searchGroupList").

#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <filesystem>
#include <memory>
#include <string>

class myTableView;

namespace platform {
class ProgressHUD;
}

class MVTGroupListViewController : public ViewViewController,
                                   public platform::TableViewDataSource,
                                   public platform::TableViewDelegate,
                                   public platform::AlertViewDelegate,
                                   public EGORefreshTableHeaderDelegate {
public:
    MVTGroupListViewController();
    ~MVTGroupListViewController() override;
    std::string className() const override { return "MVTGroupListViewController"; }

    static constexpr const char* kPageName = "群组";
    static constexpr const char* kGroupListChaged = "groupListChaged";
    static constexpr const char* kSearchGroupList = "searchGroupList";
    static constexpr long kJoinClassAlertTag = 10010;
    static constexpr long kForwardAlertTag = 1;
    static constexpr double kRowHeight = 50;
    static constexpr double kOfflineDoneDelay = 0.1;
    static constexpr double kDoneLoadingDelay = 1.0;

    // Documents/<user id>_friendType_groups: {"group": [ForumRecord...]}.
    static std::filesystem::path cachePath(const std::string& userId);

    void viewDidLoad() override;

    void getData();
    void netGetData();
    void dealWithData(const platform::Json& cached);
    void writeDataToLoacalFile(const platform::Json& value);
    void searchData();
    void newGroup();
    void createANewChat();
    void goback();
    void initmytable();
    void doneLoadingTableViewData();

    bool isPresent() const { return isPresent_; }
    void setIsPresent(bool on) { isPresent_ = on; }
    const platform::Json& forwardDictionary() const { return forwardDictionary_; }
    void setForwardDictionary(const platform::Json& message) { forwardDictionary_ = message; }
    bool isInteractionViewSearch() const { return isInteractionViewSearch_; }
    void setIsInteractionViewSearch(bool on) { isInteractionViewSearch_ = on; }
    const std::string& searchString() const { return searchString_; }
    void setSearchString(const std::string& text) { searchString_ = text; }
    const platform::Json& searchArray() const { return searchArray_; }
    const platform::Json& dataArray() const { return dataArray_; }
    const platform::Json& selectDict() const { return selectDict_; }
    bool isLoading() const { return isLoading_; }
    bool reloading() const { return reloading_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }

    // Chooses row `row` as a tap would.
    void chooseRow(int row);

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;

protected:
    // The contacts-tab variant differs in these.
    virtual double tableHeight() const;
    virtual platform::Color tableBackground() const;
    virtual void drawRow(platform::View& content, const platform::Json& row);
    // Presents the chat's stack when the list is not pushed.
    virtual void presentChat(const std::shared_ptr<platform::ViewController>& navigation);
    void drawGroupRow(platform::View& content, const platform::Json& row, double picture, const platform::Color& bar,
                      const std::string& name);
    void reply(const platform::Json& reply);
    void showHUDWithBool(bool show);

    platform::Json dataArray_ = platform::Json::array();
    platform::Json selectDict_ = platform::Json::object();
    platform::Json forwardDictionary_;  // null: not forwarding
    platform::Json searchArray_ = platform::Json::array();
    std::string searchString_;
    bool isPresent_ = false;
    bool isInteractionViewSearch_ = false;
    bool isLoading_ = false;
    bool reloading_ = false;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    platform::ObserverToken groupListToken_;
};

class MVTContactViewController;

// The group list shown inside the contacts tab: its chats are presented by the tab.
class MVTGroupListContactViewController : public MVTGroupListViewController {
public:
    std::string className() const override { return "MVTGroupListContactViewController"; }
    void setPDelegate(std::weak_ptr<platform::ViewController> owner) { pDelegate_ = std::move(owner); }
    std::shared_ptr<platform::ViewController> pDelegate() const { return pDelegate_.lock(); }

protected:
    double tableHeight() const override;
    platform::Color tableBackground() const override;
    void drawRow(platform::View& content, const platform::Json& row) override;
    void presentChat(const std::shared_ptr<platform::ViewController>& navigation) override;

private:
    std::weak_ptr<platform::ViewController> pDelegate_;
};
