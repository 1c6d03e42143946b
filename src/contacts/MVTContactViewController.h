#pragma once

// The contacts tab "联系人": a segment bar switching between the friends list ("好友") and
// the group list ("群组"), both embedded as views (not child screens) and presenting
// through this screen, and a "+" that drops the menu of adding a friend, creating a group
// (when the service allows it) and joining a class. A user without a class gets the bar
// and the menu but no lists, and the join-a-class-first alert instead of most actions.

#include "contacts/MVTContactTitleDownSelectView.h"

#include "shell/ViewViewController.h"

#include "platform/ui/AlertView.h"

#include <memory>
#include <string>

class MVTContactListViewController;
class MVTGroupListContactViewController;

namespace platform {
class Button;
class ImageView;
class Label;
}  // namespace platform

class MVTContactViewController : public ViewViewController,
                                 public MVTContactTitleDownSelectViewDelegate,
                                 public platform::AlertViewDelegate {
public:
    std::string className() const override { return "MVTContactViewController"; }

    static constexpr const char* kPageName = "联系人";
    static constexpr double kSegmentHeight = 50;
    static constexpr double kTurnTime = 0.3;
    static constexpr long kFriendsSegmentTag = 10;
    static constexpr long kGroupsSegmentTag = 11;
    static constexpr const char* kCreateGroupClosed = "创建群组功能已经被管理员关闭";
    static constexpr double kBannerDrop = 0.1;
    static constexpr double kBannerRise = 2.0;

    void viewDidLoad() override;
    void createSegView();
    void toChangeFriendsOrGroup(platform::Button& segment);
    // The "+" button: opens the menu, or closes the one shown.
    void toSelectContact();
    void removeTitleSelectView();
    void buttonClick(platform::Button& button) override;
    void setRightButton() override;
    void addNewFriend();
    void addNewGroup();
    void addToClass();
    void showNews(const std::string& text);
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    std::shared_ptr<MVTContactListViewController> contactListViewController() const { return contactList_; }
    void setContactListViewController(std::shared_ptr<MVTContactListViewController> list) {
        contactList_ = std::move(list);
    }
    std::shared_ptr<MVTGroupListContactViewController> groupListViewController() const { return groupList_; }
    std::shared_ptr<MVTContactTitleDownSelectView> titleSelectView() const { return titleSelectView_; }
    std::shared_ptr<platform::Button> selectBtn() const { return selectBtn_; }
    std::shared_ptr<platform::View> segView() const { return segView_; }
    std::shared_ptr<platform::ImageView> triImageView() const { return triImageView_; }
    std::shared_ptr<platform::View> friendsView() const { return friendsView_; }
    std::shared_ptr<platform::View> groupView() const { return groupView_; }
    std::shared_ptr<platform::Label> bannerLabel() const { return bannerLabel_; }

private:
    void showJoinClassAlert();

    std::shared_ptr<platform::Button> selectBtn_;
    std::shared_ptr<MVTContactTitleDownSelectView> titleSelectView_;
    std::shared_ptr<platform::View> segView_;
    std::shared_ptr<platform::ImageView> triImageView_;
    std::shared_ptr<MVTContactListViewController> contactList_;
    std::shared_ptr<MVTGroupListContactViewController> groupList_;
    std::shared_ptr<platform::View> friendsView_;
    std::shared_ptr<platform::View> groupView_;
    // Each tab root keeps its own banner, so a banner always shows over the current tab.
    std::shared_ptr<platform::Label> bannerLabel_;
};
