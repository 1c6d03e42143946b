#pragma once

// The member picker: the contact list (or, for notices, the user's classes) with check
// marks, a strip of the people picked, and a "确定(n)" button whose action depends on the
// mode:
//   "groupNew"  create a group with the picked people, then open its chat
//   "groupAdd"  add the picked people to the group `groupId`
//   "chatNew"   pick the one person a message is forwarded to (`forwardDictionary`)
//   "notic"     pick the receivers of a class notice: whole classes or single members;
//               the answer is the notification "reloadDataForReceivers" with the entries
// Openers set the mode and what it needs before the view loads; see the setters.

#include "contacts/MVTLinkManListViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"

#include <memory>
#include <string>

namespace platform {
class ScrollView;
}

class MVTSelectMemberViewController : public MVTLinkManListViewController {
public:
    MVTSelectMemberViewController();
    ~MVTSelectMemberViewController() override;
    std::string className() const override { return "MVTSelectMemberViewController"; }

    static constexpr const char* kGroupNew = "groupNew";
    static constexpr const char* kGroupAdd = "groupAdd";
    static constexpr const char* kChatNew = "chatNew";
    static constexpr const char* kNotic = "notic";
    static constexpr const char* kGroupListChaged = "groupListChaged";
    static constexpr const char* kGroupDetailChaged = "groupDetailChaged";
    static constexpr const char* kMemberListChaged = "memberListChaged";
    static constexpr const char* kReloadDataForReceivers = "reloadDataForReceivers";
    static constexpr const char* kAddNewManager = "addNewManager";
    static constexpr std::size_t kGroupCap = 100;
    static constexpr double kStripStep = 45;

    // ---- Set by the opener before the view loads
    const std::string& whereFrom() const { return whereFrom_; }
    void setWhereFrom(const std::string& mode) { whereFrom_ = mode; }
    const std::string& groupId() const { return groupId_; }
    void setGroupId(const std::string& id) { groupId_ = id; }
    // The group's members, dictionaries with at least "uid".
    const platform::Json& memberArray() const { return memberArray_; }
    void setMemberArray(const platform::Json& members) { memberArray_ = members; }
    void setIsNeedToLoadGroupData(bool on) { isNeedToLoadGroupData_ = on; }
    // The notice composer's receivers so far: class entries {"name", "id"} and member
    // entries {"name", "uid"}.
    const platform::Json& noticSelectedArray() const { return noticSelectedArray_; }
    void setNoticSelectedArray(const platform::Json& receivers) { noticSelectedArray_ = receivers; }
    const platform::Json& forwardDictionary() const { return forwardDictionary_; }
    void setForwardDictionary(const platform::Json& message) { forwardDictionary_ = message; }
    void setForumId(const std::string& id) { forumId_ = id; }
    void setFieldId(const std::string& id) { fieldId_ = id; }

    // ---- State
    const platform::Json& seleceedManagerArray() const { return seleceedManagerArray_; }
    const platform::Json& selectDict() const { return selectDict_; }
    const platform::Json& selectedArrayIndex() const { return selectedArrayIndex_; }
    bool isSuccess() const { return isSuccess_; }
    std::shared_ptr<platform::ScrollView> selectedManagerView() const { return selectedManagerView_; }
    // The "确定(n)" button, nullptr while nothing is picked.
    std::shared_ptr<platform::Button> confirmButton() const { return confirmButton_; }

    // ---- Operations
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void getData() override;
    void initTitleView() override;
    void initSelectedView();
    void getGroupData();
    void getNewNoticReceivers();
    void dealWithDataArray(const platform::Json& classes);
    void groupClick(platform::Button& button);
    void addNewManager(const platform::Notification& notification);
    void addNewGroup();
    void addGroup();
    void bulkManage(const std::string& query);
    void createNewChat();
    void addReceivers();
    void goback() override;
    void showHUDWithBool(bool show);
    // Taps a row as the table would (tests and the search pick use it).
    void selectMember(int section, int row);

    void btnClick(platform::Button& button) override;
    void searchBarTextDidBeginEditing(platform::SearchBar& bar) override;
    void showNagView(bool show) override;
    void cancelSearchBar() override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    // The member entry of a record: {"name", "uid" from "userId", "role"}; without a
    // role (notice members) {"name", "uid"}.
    static platform::Json memberEntry(const platform::Json& record);
    // A record matches an entry: in "notic" equal id texts, otherwise equal numbers.
    bool matches(const platform::Json& record, const platform::Json& entry) const;
    bool isExistingMember(const platform::Json& record) const;
    bool isSelectedRecord(const platform::Json& record) const;
    // Members of section `section` that match some selection entry.
    int pickedCount(int section) const;

private:
    bool groupMode() const { return whereFrom_ == kGroupNew || whereFrom_ == kGroupAdd; }
    std::string modeTitle() const;
    bool hasStripSection() const;
    void selectionChanged();
    void showAlert(const std::string& title, const std::string& message, const std::string& button);
    std::shared_ptr<platform::View> stripHeader();

    std::string whereFrom_;
    std::string groupId_;
    std::string forumId_, fieldId_;
    platform::Json memberArray_ = platform::Json::array();
    bool isNeedToLoadGroupData_ = false;
    platform::Json seleceedManagerArray_ = platform::Json::array();
    platform::Json selectedArrayIndex_ = platform::Json::array();
    platform::Json noticSelectedArray_ = platform::Json::array();
    platform::Json forwardDictionary_;  // null: not forwarding
    platform::Json selectDict_ = platform::Json::object();
    bool isSuccess_ = false;
    bool noticLoading_ = false;
    std::shared_ptr<platform::ScrollView> selectedManagerView_;
    std::shared_ptr<platform::Button> confirmButton_;
    std::shared_ptr<platform::ProgressHUD> pickerHud_;
    platform::ObserverToken addNewManagerToken_;
};
