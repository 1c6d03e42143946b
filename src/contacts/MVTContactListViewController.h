#pragma once

// The friends side of the contacts tab: the contact list's sections, cache, sort and
// search, drawn with a role stripe per person and every count as a plain number, without
// a waiting overlay. Embedded in the tab it is no child screen: what it opens (friend
// requests, profiles, chats, the add-friend search) is presented by `pDelegate` over the
// whole window. A system account's row opens its chat where the list stands; a search hit
// first selects the messages tab.

#include "contacts/MVTLinkManListViewController.h"

#include <memory>

class MVTContactListViewController : public MVTLinkManListViewController {
public:
    std::string className() const override { return "MVTContactListViewController"; }

    // The screen that presents for the list; held weakly (it holds the list).
    void setPDelegate(std::weak_ptr<platform::ViewController> presenter) { pDelegate_ = std::move(presenter); }
    std::shared_ptr<platform::ViewController> pDelegate() const { return pDelegate_.lock(); }

    void newFriend() override;
    void chooseNamed(const platform::Json& person) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;

protected:
    platform::ViewController& presenter() override;
    bool showsRefreshingOverlay() const override { return false; }
    bool blankBeforeTeacherCount() const override { return false; }
    void openSystemChat(const platform::Json& person) override { openChatWith(person, false); }

private:
    std::weak_ptr<platform::ViewController> pDelegate_;
};
