#pragma once

// The message centre, root of tab 1: the signed-in user's conversations as the service
// lists them (persons, groups, the class notices, the course notification centre), ten
// rows a page, newest first, under the fixed education-services row. It keeps the tab
// bar's unread count ("newPm") in step, removes a conversation on a swipe, drops the
// conversation of a deleted friend, and opens what a row stands for.
//
// It also carries a search mode (conversations and contacts by name), a quick-action menu
// and openers of other lists; the screen shows no control for them: they are entered by
// calling searchBarTextDidBeginEditing and toAdd (MVTInteractionViewController_Search.cpp).

#include "contacts/MVTLinkManListViewController.h"
#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <optional>
#include <string>

class myTableView;
class MyTabBarController;
class MVTSearchViewController;

namespace platform {
class Button;
class ImageView;
class ProgressHUD;
}  // namespace platform

class MVTInteractionViewController : public ViewViewController,
                                     public platform::TableViewDataSource,
                                     public platform::TableViewDelegate,
                                     public platform::AlertViewDelegate,
                                     public platform::SearchBarDelegate,
                                     public SearchListDelegate,
                                     public EGORefreshTableHeaderDelegate {
public:
    MVTInteractionViewController();
    ~MVTInteractionViewController() override;
    std::string className() const override { return "MVTInteractionViewController"; }

    static constexpr const char* kChatReaded = "chatReaded";
    static constexpr const char* kFriendDeletedNotification = "nativeReceiversHaveChanged_hd";
    static constexpr const char* kMarkUpside = "markUpside";
    static constexpr const char* kPageSize = "10";
    static constexpr int kPageRows = 10;
    static constexpr double kRowHeight = 60;
    static constexpr double kRemoveTimeout = 30;
    static constexpr double kDoneLoadingDelay = 1.0;
    static constexpr int kHintOverlayTag = 998;
    static constexpr long kJoinClassAlertTag = 10010;
    static constexpr const char* kSearchPageName = "搜索";
    static constexpr const char* kSearchLinkManList = "searchLinkManList";
    static constexpr double kMenuWidth = 150;
    static constexpr double kMenuItemHeight = 40;
    // The conversation with this user can be opened without a class.
    static constexpr long long kServiceAccountId = 10;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // ---- Loading
    // nullopt or "minIdNotIncludeSelf": the first page, replacing the list;
    // "maxIdNotIncludeSelf": the page after the last row, appended.
    void netGetData(const std::optional<std::string>& mode);
    void updateDataAndTableView();
    void reloadTableViewDataSource();
    // Shows the pull-to-refresh state without a pull and reloads (the tab bar's button).
    void getNewData();
    // Redraws rows and marks from the rows held, without a request.
    void reloadTable();
    void initmytable();
    void doneLoadingTableViewData();

    // ---- Unread count and marks
    int unReadNum() const;
    void reloadHeadView();
    void changeReloadNews(bool enabled);

    // ---- Removal and changes
    void deleteChat(int row);
    void receiversChange(const platform::Notification& notification);
    void showHUDWithBool(bool show);

    // ---- Routing
    void classNotButtonClick();
    void saveNewFriendToNative(const platform::Json& person);
    // The education-services address for the signed-in user (name and password escaped).
    static std::string educationServicesUrl();

    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    // ---- Search mode
    void searchBarTextDidBeginEditing(platform::SearchBar& bar) override;
    void searchBarSearchButtonClicked(platform::SearchBar& bar) override;
    // Conversations whose name holds the text, then the contacts found, less those who
    // have one of these conversations.
    void searchData();
    // A result chosen in the overlay.
    void pushInformation(const platform::Json& row) override;
    void cancelSearchBar();

    // ---- Quick actions and openers
    // Makes the "+" button (toAdd); the navigation bar carries no right-hand button.
    void initNavBar();
    void toAdd();
    void addNewGroup();
    void addNewFriend();
    void addToClass();
    void linkManButtonClick();
    void groupButtonClick();
    void homeWorkButtonClick();
    void newFriendButtonClick();
    // The button's tag is the row of the conversation whose person is shown.
    void clickedHeadImage(platform::Button& button);
    void sendTableViewToRightFrame();
    void didmissView();

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void willDisplayCell(platform::TableView& tableView, platform::TableViewCell& cell,
                         const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    bool canEditRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void commitEditingStyle(platform::TableView& tableView, platform::TableViewCellEditingStyle style,
                            const platform::IndexPath& indexPath) override;
    std::string titleForDeleteConfirmationButtonForRowAtIndexPath(platform::TableView& tableView,
                                                                  const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;

    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;

    // ---- State, for tests and the benchmark
    const platform::Json& dataArray() const { return dataArray_; }
    bool isLoad() const { return isLoad_; }
    bool loading() const { return loading_; }
    bool reloading() const { return reloading_; }
    const std::string& maxIdNotIncludeSelf() const { return maxIdNotIncludeSelf_; }
    const std::string& noticeClassIdString() const { return noticeClassIdString_; }
    bool showAddClass() const { return showAddClass_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::View> headView() const { return headView_; }
    std::shared_ptr<platform::View> newFriendMark() const { return newFriendMark_; }
    std::shared_ptr<platform::View> noticeMark() const { return noticeMark_; }
    std::shared_ptr<platform::View> courseMark() const { return courseMark_; }
    int getNewDataCount() const { return getNewDataCount_; }
    int reloadTableCount() const { return reloadTableCount_; }
    std::shared_ptr<MVTLinkManListViewController> linkManListViewController() const { return linkManList_; }
    std::shared_ptr<platform::SearchBar> searchBar() const { return searchBar_; }
    std::shared_ptr<platform::View> searchView() const { return searchView_; }
    std::shared_ptr<platform::Button> cancel() const { return cancel_; }
    std::shared_ptr<MVTSearchViewController> searchListView() const { return searchListView_; }
    std::shared_ptr<platform::ImageView> addToClassView() const { return addToClassView_; }
    std::shared_ptr<platform::Button> addButton() const { return addButton_; }
    bool isGoBack() const { return isGoBack_; }

private:
    MyTabBarController* tabBar() const;
    // "newPm" of the tab bar lowered by `count` when that leaves it at 0 or more.
    void lowerNewPm(long long count);
    void loadReply(const std::optional<std::string>& mode, const platform::Json& reply);
    void loadFailed();
    void removeSwipedConversation(const platform::Json& row);
    void drawSessionRow(platform::View& content, const platform::Json& row);
    void drawEducationRow(platform::View& content);
    std::string courseLine(const platform::Json& row) const;
    void showHintOverlay();
    void showJoinClassAlert();
    void openChat(const platform::Json& row);
    // Presents the chat of a person ("uid" in the dictionary) or a group.
    void presentChat(platform::Json dict, const std::string& type, const platform::Json& forwardRows);
    void buildSearchBar();
    void buildMenu();
    void closeMenu();
    void presentInNavigation(const std::shared_ptr<platform::ViewController>& screen, bool crossDissolve);

    platform::Json dataArray_ = platform::Json::array();
    bool isLoad_ = true;
    bool loading_ = false;
    bool reloading_ = false;
    bool showAddClass_ = false;
    std::string maxIdNotIncludeSelf_;
    std::string noticeClassIdString_;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<platform::View> headView_;
    std::shared_ptr<platform::View> newFriendMark_, noticeMark_, courseMark_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    platform::ObserverToken chatReadedToken_;
    platform::ObserverToken friendDeletedToken_;
    platform::ObserverToken searchLinkToken_;
    std::shared_ptr<MVTLinkManListViewController> linkManList_;
    std::shared_ptr<platform::SearchBar> searchBar_;
    std::shared_ptr<platform::View> searchView_;
    std::shared_ptr<platform::Button> cancel_;
    std::shared_ptr<MVTSearchViewController> searchListView_;
    std::shared_ptr<platform::ImageView> addToClassView_;
    std::shared_ptr<platform::Button> addButton_;
    bool isGoBack_ = false;
    int getNewDataCount_ = 0;
    int reloadTableCount_ = 0;
};
