#pragma once

// The contacts tab "联系人": a friends pane (the contact list) and a groups pane (the group
// list) under a two-way switch, and a "+" that drops the menu of adding a friend, creating
// a group and joining a class.

#include "contacts/MVTContactTitleDownSelectView.h"

#include "shell/ViewViewController.h"

#include "platform/ui/AlertView.h"

#include <memory>
#include <string>

class MVTContactListViewController;
class MVTGroupListContactViewController;

namespace platform {
class Button;
}

class MVTContactViewController : public ViewViewController,
                                 public MVTContactTitleDownSelectViewDelegate,
                                 public platform::AlertViewDelegate {
public:
    std::string className() const override { return "MVTContactViewController"; }

    static constexpr double kSegmentHeight = 36;
    static constexpr double kTurnTime = 0.3;

    void viewDidLoad() override;

    // The "+" button: opens the menu, or closes the one shown.
    void rightButtonClick();
    void buttonClick(platform::Button& button) override;
    void setRightButton() override;
    void addFriend();
    void addGroup();
    void addToClass();
    // 0 friends, 1 groups.
    void showPane(int pane);
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    int pane() const { return pane_; }
    std::shared_ptr<MVTContactTitleDownSelectView> menu() const { return menu_; }
    std::shared_ptr<MVTContactListViewController> contactList() const { return contactList_; }
    std::shared_ptr<MVTGroupListContactViewController> groupList() const { return groupList_; }
    std::shared_ptr<platform::Button> plusButton() const { return plusButton_; }

private:
    std::shared_ptr<platform::Button> segmentButton(int pane, const std::string& title, double x, double width);

    int pane_ = 0;
    std::shared_ptr<MVTContactTitleDownSelectView> menu_;
    std::shared_ptr<MVTContactListViewController> contactList_;
    std::shared_ptr<MVTGroupListContactViewController> groupList_;
    std::shared_ptr<platform::Button> plusButton_;
    std::shared_ptr<platform::Button> friendsTab_, groupsTab_;
};
