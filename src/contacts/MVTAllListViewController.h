#pragma once

// "联系人": the people the user may write to as two lists, class-mates ("classType") and
// friends ("friendType"), each sorted by the pinyin key of the names (case ignored) in
// letter sections "#", "A" ... "Z" with a letter index bar, a name search and a refresh
// button. Both lists come from one request and are kept in one cache file per type;
// the screen shows its list from the file. A row opens a chat with that person.
//
// Set-up shows the class-mates; the switch between the lists (initTitleView) exists but
// the set-up does not build it.

#include "contacts/MVTLinkManListViewController.h"
#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/Font.h"
#include "platform/ui/IndexBar.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class myTableView;
class MVTSearchViewController;

namespace platform {
class Button;

class ImageView;
class Label;
class ProgressHUD;
}  // namespace platform

class MVTAllListViewController : public ViewViewController,
                                 public platform::TableViewDataSource,
                                 public platform::TableViewDelegate,
                                 public platform::SearchBarDelegate,
                                 public platform::IndexBarDelegate,
                                 public SearchListDelegate {
public:
    MVTAllListViewController();
    ~MVTAllListViewController() override;
    std::string className() const override { return "MVTAllListViewController"; }

    static constexpr const char* kClassType = "classType";
    static constexpr const char* kFriendType = "friendType";
    static constexpr const char* kPageName = "新的好友";
    static constexpr double kRowHeight = 45;
    static constexpr double kHeaderHeight = 22;
    static constexpr double kNewFriendHeaderHeight = 70;
    static constexpr double kBigLetterDelay = 0.5;
    static constexpr int kClassButtonTag = 101;
    static constexpr int kFriendButtonTag = 102;

    bool ispresent() const { return ispresent_; }
    void setIspresent(bool on) { ispresent_ = on; }

    // The cache file of a list type for a user: "<user>_<type>_receivers.txt".
    static std::filesystem::path cachePath(const std::string& userId, const std::string& type);
    // Gives every person its "firstName" and sorts the list by it, case ignored; "#"
    // first. Entries that are no dictionaries are dropped.
    static platform::Json sortedPeople(const platform::Json& people);
    // The letter sections {"title", "num"} of a sorted list.
    static platform::Json letterSections(const platform::Json& people);

    // ---- State
    const std::string& typeOfShowList() const { return typeOfShowList_; }
    const platform::Json& myClassArray() const { return myClassArray_; }
    // Null until the friends are first read or fetched.
    const platform::Json& myFriendArray() const { return myFriendArray_; }
    const platform::Json& titleArray() const { return titleArray_; }
    bool fistGetData() const { return fistGetData_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::SearchBar> searchBar() const { return searchBar_; }
    std::shared_ptr<platform::IndexBar> indexBar() const { return indexBar_; }
    std::shared_ptr<platform::Label> showTableIndexView() const { return showTableIndexView_; }
    std::shared_ptr<platform::Label> warringLabel() const { return warringLabel_; }
    std::shared_ptr<MVTSearchViewController> searchListView() const { return searchListView_; }
    std::shared_ptr<platform::View> titleView() const { return titleView_; }

    // ---- Operations
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void getData();
    void netGetData();
    void dealWithArray(const platform::Json& people, const std::string& type);
    void refreshTitleArray();
    int seqencingmyClassArray(const std::string& letter) const;
    void initmytableview();
    void initIndexBar();
    void initShowTableIndexView();
    void updateTableView();
    void pushInformation(const platform::Json& row) override;
    void cancelSearchBar();
    void newFriend();
    void initTitleView();
    void recommendButtonClick(platform::Button& button);
    std::shared_ptr<platform::Button> buttonWithTag(int tag, const platform::Rect& frame, const std::string& title,
                                                    const std::optional<platform::Color>& titleColor,
                                                    const std::optional<platform::Font>& titleFont,
                                                    std::function<void(platform::Button&)> action, bool hidden);
    void hideShowTableIndexView();
    void goback();
    // The person at a row: the flat index over the sections.
    const platform::Json& personAt(const platform::IndexPath& indexPath) const;

    void searchBarTextDidBeginEditing(platform::SearchBar& bar) override;
    void searchBarSearchButtonClicked(platform::SearchBar& bar) override;
    void indexBarDidSelectSection(platform::IndexBar& bar, int section) override;
    void indexBarTouchesEnded(platform::IndexBar& bar) override;

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    int sectionForSectionIndexTitle(platform::TableView& tableView, const std::string& title, int index) override;

private:
    bool friendsShown() const { return typeOfShowList_ == kFriendType; }
    const platform::Json& shownList() const;
    void showList(const platform::Json& people);
    void openChat(const platform::Json& person, const std::string& hint);
    void dropTable();
    void showHud(bool show);

    std::string typeOfShowList_ = kClassType;
    platform::Json myClassArray_ = platform::Json::array();
    platform::Json myFriendArray_;  // null: not held yet
    platform::Json titleArray_ = platform::Json::array();
    bool fistGetData_ = true;
    bool readingAfterReply_ = false;
    double hightForTableView_ = 0;
    bool ispresent_ = false;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<platform::SearchBar> searchBar_;
    std::shared_ptr<platform::Button> cancel_;
    std::shared_ptr<MVTSearchViewController> searchListView_;
    std::shared_ptr<platform::IndexBar> indexBar_;
    std::shared_ptr<platform::Label> showTableIndexView_;
    std::shared_ptr<platform::Label> warringLabel_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    std::shared_ptr<platform::ImageView> titleView_;
    std::shared_ptr<platform::Button> classBtn_, friendBtn_;
    std::shared_ptr<bool> hideTicket_;
};
