#pragma once

// The add-friend screen "添加好友". This first version is the screen itself with its back
// button: opened from a contact screen ("addressList") it is the root of a presented stack
// and its back button dismisses that stack; pushed by the friend requests ("newFriend")
// its back button pops it. The user search and the application come later.

#include "shell/ViewViewController.h"

#include <string>

class MVTSearchFriendViewController : public ViewViewController {
public:
    std::string className() const override { return "MVTSearchFriendViewController"; }
    void viewDidLoad() override;
    void goback();

    const std::string& whereFrom() const { return whereFrom_; }
    void setWhereFrom(const std::string& from) { whereFrom_ = from; }

private:
    std::string whereFrom_;
};
