#pragma once

// The contact list: the people the signed-in user may write to, fetched from the service,
// kept in the contacts cache and shown as collapsible sections under a search bar. The
// same class is a silent search source for the message centre and the forward picker,
// and the base of the member picker.

#include "contacts/ReceiverSections.h"

#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;
class MVTSearchViewController;

namespace platform {
class Button;
class ProgressHUD;
}  // namespace platform

// What the search overlay reports for a tapped row (outside the member picker).
class SearchListDelegate {
public:
    virtual ~SearchListDelegate() = default;
    virtual void pushInformation(const platform::Json& row) = 0;
};

// The friend requests screen tells its delegate that friends were added.
class addNewFriendDelegate {
public:
    virtual ~addNewFriendDelegate() = default;
    virtual void refreshData() = 0;
};

// An optional receiver of the chats the list would open itself.
class showNewFriendDelegate {
public:
    virtual ~showNewFriendDelegate() = default;
    virtual void showNewChat(const platform::Json& person) { (void)person; }
    virtual void groupList() {}
};

class MVTLinkManListViewController : public ViewViewController,
                                     public platform::TableViewDataSource,
                                     public platform::TableViewDelegate,
                                     public platform::SearchBarDelegate,
                                     public platform::AlertViewDelegate,
                                     public EGORefreshTableHeaderDelegate,
                                     public SearchListDelegate,
                                     public addNewFriendDelegate {
public:
    MVTLinkManListViewController();
    ~MVTLinkManListViewController() override;
    std::string className() const override { return "MVTLinkManListViewController"; }

    static constexpr const char* kPageName = "联系人";
    static constexpr const char* kSearchPageName = "搜索";
    static constexpr const char* kSearchLinkManList = "searchLinkManList";
    static constexpr const char* kReceiversChanged = "nativeReceiversHaveChanged";
    static constexpr const char* kGoBackWhenRoleIsParent = "goBackWhenRoleIsParent";
    static constexpr long kJoinClassAlertTag = 10010;
    static constexpr int kSearchLineTag = 1110;
    static constexpr double kRowHeight = 60;
    static constexpr double kHeaderHeight = 50;
    static constexpr double kDoneLoadingDelay = 1.0;
    static constexpr double kSearchSlide = 0.2;

    // The contacts cache of the signed-in user: Documents/<user id>_friendType_receivers.
    static std::string cacheFileName(const std::string& userId) { return userId + "_friendType_receivers"; }

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    // ---- Data (the receiver list and its cache)
    virtual void getData();
    void netGetData();
    // Builds the sections of a reply; a value that is no dictionary changes nothing.
    void dealWithData(const platform::Json& reply);
    // Sort keys and sorting of every section.
    void dealWithArray();
    platform::Json searchData();
    void receiversChange(const platform::Notification& notification);
    // Writes a dictionary to the cache; anything else is not written.
    void writeDataToLoacalFile(const platform::Json& value);
    void refreshData() override { getData(); }
    void reloadTable();

    // ---- Screen
    virtual void initTitleView();
    void initmytableview();
    virtual void btnClick(platform::Button& button);
    virtual void chooseNamed(const platform::Json& person);
    virtual void newFriend();
    void addFriend();
    void groupList();
    virtual void goback();
    void didmissView();
    // Opens a one-to-one chat, from `presenter()`; with `toMessages` the tab bar first
    // selects the messages tab.
    void openChatWith(const platform::Json& person, bool toMessages = true);
    void showJoinClassAlert();

    // ---- Search
    void searchBarTextDidBeginEditing(platform::SearchBar& bar) override;
    virtual void showNagView(bool show);
    void searchBarSearchButtonClicked(platform::SearchBar& bar) override;
    virtual void cancelSearchBar();
    void pushInformation(const platform::Json& row) override;

    // ---- Pull-to-refresh
    void reloadTableViewDataSource();
    void doneLoadingTableViewData();
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;

    // ---- Table
    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    // ---- Properties
    ReceiverSections& sections() { return sections_; }
    const ReceiverSections& sections() const { return sections_; }
    bool sectionsCreated() const { return sectionsCreated_; }
    bool ispresent() const { return ispresent_; }
    void setIspresent(bool on) { ispresent_ = on; }
    bool isFormInreractionClick() const { return isFormInreractionClick_; }
    void setIsFormInreractionClick(bool on) { isFormInreractionClick_ = on; }
    bool isInteractionViewSearch() const { return isInteractionViewSearch_; }
    void setIsInteractionViewSearch(bool on) { isInteractionViewSearch_ = on; }
    bool isSelect() const { return isSelect_; }
    void setIsSelect(bool on) { isSelect_ = on; }
    bool isSearching() const { return isSearching_; }
    const std::string& searchString() const { return searchString_; }
    void setSearchString(const std::string& text) { searchString_ = text; }
    const platform::Json& linkManListSearchArray() const { return linkManListSearchArray_; }
    void setDelegate(std::weak_ptr<showNewFriendDelegate> delegate) { delegate_ = std::move(delegate); }
    bool loading() const { return loading_; }
    bool fistGetData() const { return fistGetData_; }
    bool isGoBack() const { return isGoBack_; }
    bool reloading() const { return reloading_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::View> contentView() const { return contentView_; }
    std::shared_ptr<platform::SearchBar> searchBar() const { return searchBar_; }
    std::shared_ptr<platform::View> searchView() const { return searchView_; }
    std::shared_ptr<platform::Button> cancel() const { return cancel_; }
    std::shared_ptr<MVTSearchViewController> SearchListView() const { return searchListView_; }
    std::shared_ptr<platform::View> markView() const { return markView_; }
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView() const { return refreshHeaderView_; }
    double hightForTableView() const { return hightForTableView_; }
    int tableBuildCount() const { return tableBuildCount_; }

protected:
    // The screen that presents what the list opens: the list itself here.
    virtual platform::ViewController& presenter() { return *this; }
    // The list shows "正在刷新" while it fetches.
    virtual bool showsRefreshingOverlay() const { return true; }
    // The teacher section's count is written " %d".
    virtual bool blankBeforeTeacherCount() const { return true; }
    // A tap on a system account's row.
    virtual void openSystemChat(const platform::Json& person);
    // The profile page of a person of the list, marked as pushed.
    std::shared_ptr<platform::ViewController> profilePage(const platform::Json& person);
    std::string userId() const;
    std::string role() const;
    // The section's people, or an empty list for the new-friends entry.
    const platform::Json& peopleAt(int section) const;
    // The record a row draws (a "student" section draws from its first record's "students").
    const platform::Json& recordAt(const platform::IndexPath& indexPath) const;
    // The 50-point header with the background, bottom line and title.
    std::shared_ptr<platform::View> makeHeader(int section, std::shared_ptr<platform::Label>* titleLabel = nullptr);
    // Builds or replaces the search overlay; `kind` is the overlay's kind.
    void makeSearchOverlay(const std::string& kind, const platform::Json& selected);
    void hideWaitingOverlay();
    void netReply(const platform::Json& reply);
    void netFailed();
    // In search-only mode: an empty result and the post, when no receiver list came.
    void endSearchWithoutReply();

    ReceiverSections sections_;
    bool sectionsCreated_ = false;
    bool fistGetData_ = false;
    bool loading_ = false;
    bool ispresent_ = false;
    bool isFormInreractionClick_ = false;
    bool isInteractionViewSearch_ = false;
    bool isSelect_ = false;
    bool isSearching_ = false;
    bool isGoBack_ = false;
    bool reloading_ = false;
    // A reply came but the cache still could not be read: one more fetch at most.
    bool refetchedAfterReply_ = false;
    std::string searchString_;
    platform::Json linkManListSearchArray_ = platform::Json::array();
    std::weak_ptr<showNewFriendDelegate> delegate_;
    double hightForTableView_ = 0;
    int tableBuildCount_ = 0;

    std::shared_ptr<platform::View> contentView_;
    std::shared_ptr<platform::View> searchView_;
    std::shared_ptr<platform::SearchBar> searchBar_;
    std::shared_ptr<platform::Button> cancel_;
    std::shared_ptr<MVTSearchViewController> searchListView_;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<platform::View> headView_;
    std::shared_ptr<platform::Button> newFriendButton_;
    std::shared_ptr<platform::View> markView_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    platform::ObserverToken receiversToken_;
    platform::ObserverToken goBackToken_;
};
