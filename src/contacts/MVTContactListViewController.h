#pragma once

// The friends pane of the contacts tab: the contact list without a title bar of its own,
// with the new-friends entry; the friend requests it opens are presented by the tab and
// report back through refreshData.

#include "contacts/MVTLinkManListViewController.h"

class MVTContactListViewController : public MVTLinkManListViewController {
public:
    std::string className() const override { return "MVTContactListViewController"; }
    void newFriend() override;
};
