#pragma once

// The member list of a group in sections by rank: creator, administrators and members in
// a group users made themselves (field id 3), teachers, students and parents in others.
// In a user group the creator ("system") and administrators ("admin") manage it from
// here: remove members, add members, and (creator only) add or cancel administrators.

#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

namespace platform {
class HttpJsonRequestOperation;
class ProgressHUD;
}  // namespace platform

class MVTGroupMemberViewController : public ViewViewController,
                                     public platform::TableViewDataSource,
                                     public platform::TableViewDelegate {
public:
    MVTGroupMemberViewController();
    ~MVTGroupMemberViewController() override;
    std::string className() const override { return "MVTGroupMemberViewController"; }

    static constexpr long kCreatorSheetTag = 111;
    static constexpr long kManagerSheetTag = 222;
    static constexpr double kRowHeight = 60;
    static constexpr double kHeaderHeight = 26;
    static constexpr int kMarkTag = 31;

    // ---- Set by the opener before the view loads
    void setForumId(const std::string& id) { forumId_ = id; }
    const std::string& forumId() const { return forumId_; }
    void setFieldId(const std::string& id) { fieldId_ = id; }
    const std::string& fieldId() const { return fieldId_; }
    void setGroupId(const std::string& id) { groupId_ = id; }
    const std::string& groupId() const { return groupId_; }
    void setGroupName(const std::string& name) { groupName_ = name; }
    const std::string& groupName() const { return groupName_; }
    // "system" for the creator, "admin" for an administrator, empty otherwise.
    void setUserRole(const std::string& role) { userRole_ = role; }
    const std::string& userRole() const { return userRole_; }
    void setIsSupportToCommand(bool on) { isSupportToCommand_ = on; }
    bool isSupportToCommand() const { return isSupportToCommand_; }
    void setIsUserGroup(bool on) { isUserGroup_ = on; }
    bool isUserGroup() const { return isUserGroup_; }

    // ---- State
    const platform::Json& dataDictionary() const { return dataDictionary_; }
    // Section keys in display order: "teacher", "student", "parent".
    const platform::Json& titleArray() const { return titleArray_; }
    const platform::Json& sectionArray(const std::string& key) const;
    const platform::Json& deleteArray() const { return deleteArray_; }
    bool isDeleteMember() const { return isDeleteMember_; }
    bool isAddManager() const { return isAddManager_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::ProgressHUD> HUD() const { return hud_; }

    // ---- Operations
    void viewDidLoad() override;
    void netGetData();
    void dealWithData();
    void goback();
    void commandMember();
    void cancleAction();
    void deleteMember();
    void addManager(const std::string& uid);
    void bulkManage(const std::string& query);
    void chooseNamed(const platform::Json& entry);
    void showHUDWithBool(bool show);
    // Kept for callers to come; no control of the screen sends them.
    void groupDeal(const platform::Json& ignored);
    void getIdsOfDeletedMan(const platform::Json& list) { (void)list; }
    // The header text of a section key, as shown ("  群主" ...).
    std::string headerText(const std::string& key) const;
    // Whether a row of section `key` shows a selection mark in the present mode.
    bool showsMark(const std::string& key) const;
    bool isSelected(const platform::Json& member) const;

    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;
    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

private:
    void setNormalBar();
    void setModeBar(const std::string& title, bool confirm);
    // Title, a back button running `back`, and a text button running `right` when
    // `rightTitle` is not empty.
    void setBar(const std::string& title, void (MVTGroupMemberViewController::*back)(),
                const std::string& rightTitle, void (MVTGroupMemberViewController::*right)());
    void openPicker();
    void openManagerRemoval();
    const platform::Json& rowsOfSection(int section) const;

    std::string forumId_, fieldId_, groupId_, groupName_, userRole_;
    bool isSupportToCommand_ = false;
    bool isUserGroup_ = false;
    platform::Json dataDictionary_ = platform::Json::object();
    platform::Json titleArray_ = platform::Json::array();
    platform::Json teacherArray_ = platform::Json::array();
    platform::Json studentArray_ = platform::Json::array();
    platform::Json parentArray_ = platform::Json::array();
    platform::Json deleteArray_ = platform::Json::array();
    bool isDeleteMember_ = false;
    bool isAddManager_ = false;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    platform::ObserverToken memberToken_;
};
