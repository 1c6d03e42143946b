#pragma once

// The group profile "群资料", pushed onto a group chat's stack: the name, the member count
// with a strip of avatars, the viewer's message setting and, in a group users made
// themselves (field id 3), renaming, adding members and leaving or dismissing by the
// viewer's rank. The members row opens the member list with its management.

#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class HttpRequestOperation;
class Label;
class ProgressHUD;
class View;
}  // namespace platform

class MVTGongGaoViewController;
class MVTGroupPhotosViewController;
class MVTGroupFilesViewController;

class MVTGroupDetailViewController : public ViewViewController, public platform::AlertViewDelegate {
public:
    MVTGroupDetailViewController();
    ~MVTGroupDetailViewController() override;
    std::string className() const override { return "MVTGroupDetailViewController"; }

    static constexpr long kRenameAlertTag = 222;
    static constexpr long kLeaveAlertTag = 111;
    static constexpr long kSettingSheetTag = 333;
    static constexpr std::size_t kNameLimit = 16;
    static constexpr double kSettingTimeout = 30;
    static constexpr double kLeaveTimeout = 30;
    static constexpr double kAvatarStep = 48;

    // ---- Set by the opener before the view loads
    const std::string& groupId() const { return groupId_; }
    void setGroupId(const std::string& id) { groupId_ = id; }
    // The field id; "3" is a user group.
    const std::string& groupType() const { return groupType_; }
    void setGroupType(const std::string& type) { groupType_ = type; }

    // ---- State
    const platform::Json& dataDictionary() const { return dataDictionary_; }
    const std::string& userType() const { return userType_; }
    bool isUserGroup() const { return isUserGroup_; }
    bool isLoadIng() const { return isLoadIng_; }
    const std::string& groupNameString() const { return groupNameString_; }
    std::shared_ptr<platform::Label> groupNameLabel() const { return groupNameLabel_; }
    std::shared_ptr<platform::Label> groupNewsSettingSelect() const { return groupNewsSettingSelect_; }
    std::shared_ptr<platform::ProgressHUD> HUD() const { return hud_; }
    std::shared_ptr<MVTGongGaoViewController> gongGaoViewController() const { return gongGaoViewController_; }
    std::shared_ptr<MVTGroupPhotosViewController> groupPhotosViewController() const { return groupPhotosViewController_; }
    std::shared_ptr<MVTGroupFilesViewController> groupFilesViewController() const { return groupFilesViewController_; }

    // ---- Operations
    void viewDidLoad() override;
    void netGetData();
    void goback();
    void initAllView();
    // The row of the announcement, album and file entries; the composed page has none,
    // so nothing places it.
    std::shared_ptr<platform::View> initFileAndPhotoView();
    void changeGroupName();
    void makeSureToChange(const std::string& name);
    void showSelect();
    void tosetNewsGet(int value);
    void outOfThisGroup();
    void sureOutOfThisGroup();
    void showMembers();
    void addMembers();
    void goGonggao();
    void goPhotos();
    void goFiles();
    void showHUDWithBool(bool show);

    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;

    // The text of a message setting value, "" for a value outside 0..2.
    static std::string settingText(const platform::Json& value);
    // How many avatars the strip shows.
    int avatarLimit() const;

private:
    void initGroupNameView(double& y);
    void initGroupMemberView(double& y);
    void initGroupNewsSettingView(double& y);
    void initUserAction();
    void layoutSettingValue(const std::string& text);
    void showRenameAlert(const std::string& title, const std::string& message, const std::string& text);
    void renamed(const std::string& name);
    std::string barText() const;

    std::string groupId_, groupType_;
    platform::Json dataDictionary_ = platform::Json::object();
    std::string userType_;
    bool isUserGroup_ = false;
    bool isLoadIng_ = false;
    std::string groupNameString_;
    std::shared_ptr<platform::Label> groupNameLabel_;
    std::shared_ptr<platform::Label> groupNewsSettingSelect_;
    std::shared_ptr<platform::View> settingRow_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    std::shared_ptr<platform::HttpRequestOperation> running_;
    std::shared_ptr<MVTGongGaoViewController> gongGaoViewController_;
    std::shared_ptr<MVTGroupPhotosViewController> groupPhotosViewController_;
    std::shared_ptr<MVTGroupFilesViewController> groupFilesViewController_;
    platform::ObserverToken detailToken_;
};
