#pragma once

// The forward picker: where a held chat message goes. Under a search bar, a header with
// "选择联系人" (the member picker in its "chatNew" mode), "选择群组" (the group list) and the
// caption "最近联系人", then the recent conversations the message centre handed over,
// paged from the service while pages come full. A search looks through the contact list
// and then the group list, both kept unshown as search sources. Choosing a row asks
// "转发给:" and pushes the chat with the message to send as it loads.
//
// Opening: make_shared, setForwardDictionary (the message), setRecelentArray (the
// centre's rows), then push onto the chat's stack.

#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;
class MVTGroupListViewController;
class MVTLinkManListViewController;

namespace platform {
class Button;
class ProgressHUD;
}  // namespace platform

class MVTForwardMsgViewController : public ViewViewController,
                                    public platform::TableViewDataSource,
                                    public platform::TableViewDelegate,
                                    public platform::SearchBarDelegate,
                                    public platform::AlertViewDelegate {
public:
    MVTForwardMsgViewController();
    ~MVTForwardMsgViewController() override;
    std::string className() const override { return "MVTForwardMsgViewController"; }

    static constexpr const char* kSearchLinkManList = "searchLinkManList";
    static constexpr const char* kSearchGroupList = "searchGroupList";
    static constexpr double kRowHeight = 60;
    static constexpr double kHeaderHeight = 130;
    static constexpr double kSearchSlide = 0.2;
    static constexpr int kPageSize = 10;
    static constexpr long kConfirmAlertTag = 1;

    const platform::Json& forwardDictionary() const { return forwardDictionary_; }
    void setForwardDictionary(const platform::Json& message) { forwardDictionary_ = message; }
    const platform::Json& recelentArray() const { return recelentArray_; }
    void setRecelentArray(const platform::Json& rows);

    void viewDidLoad() override;

    // The kind of a row: its "type" when it has one, else "forum" with a "fieldId", else
    // "person".
    static std::string kindOfRow(const platform::Json& row);

    void creatANewChat();
    void selectAGroup();
    void sureToSendMessage();
    void goback();
    void cancelSearch();
    // The search steps, on the sources' notifications.
    void searchLink();
    void searchData();

    void searchBarTextDidBeginEditing(platform::SearchBar& bar) override;
    void searchBarSearchButtonClicked(platform::SearchBar& bar) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void willDisplayCell(platform::TableView& tableView, platform::TableViewCell& cell,
                         const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    // ---- State, for tests
    const std::string& searchString() const { return searchString_; }
    void setSearchString(const std::string& text) { searchString_ = text; }
    const platform::Json& searchArray() const { return searchArray_; }
    const platform::Json& selectDict() const { return selectDict_; }
    const std::string& maxIdNotIncludeSelf() const { return maxIdNotIncludeSelf_; }
    bool isSearching() const { return isSearching_; }
    bool isLoad() const { return isLoad_; }
    bool loading() const { return loading_; }
    std::shared_ptr<myTableView> mytableView() const { return mytableView_; }
    std::shared_ptr<platform::View> headerView() const { return headerView_; }
    std::shared_ptr<platform::SearchBar> searchBar() const { return searchBar_; }
    std::shared_ptr<platform::Button> cancel() const { return cancel_; }
    std::shared_ptr<platform::View> contentView() const { return contentView_; }
    std::shared_ptr<MVTLinkManListViewController> linkManListViewController() const { return linkManList_; }
    std::shared_ptr<MVTGroupListViewController> groupListViewController() const { return groupList_; }
    std::shared_ptr<platform::AlertView> warming() const { return warming_; }

private:
    void buildHeader();
    void requestNextPage();
    void pageArrived(const platform::Json& reply);
    void showOverlay(bool show);
    // Normal layout: the bar shown, the search bar full width, the table below it.
    void restoreLayout();

    platform::Json forwardDictionary_ = platform::Json::object();
    platform::Json recelentArray_ = platform::Json::array();
    std::string searchString_;
    platform::Json searchArray_ = platform::Json::array();
    platform::Json selectDict_ = platform::Json::object();
    std::string maxIdNotIncludeSelf_;
    bool isSearching_ = false;
    bool isLoad_ = false;
    bool loading_ = false;

    std::shared_ptr<MVTLinkManListViewController> linkManList_;
    std::shared_ptr<MVTGroupListViewController> groupList_;
    std::shared_ptr<platform::AlertView> warming_;
    std::shared_ptr<platform::View> contentView_, searchView_, headerView_;
    std::shared_ptr<platform::SearchBar> searchBar_;
    std::shared_ptr<platform::Button> cancel_;
    std::shared_ptr<myTableView> mytableView_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    platform::ObserverToken linkToken_, groupToken_;
};
