#pragma once

// The administrators of a user group, each with a "取消管理员" button that takes the rank
// away after a confirmation. Works on the copy of the list it was given; every removal
// tells the member list below to reload.

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

namespace platform {
class Button;
class ProgressHUD;
}  // namespace platform

class MVTDeleteGroupManagerViewController : public ViewViewController,
                                            public platform::TableViewDataSource,
                                            public platform::TableViewDelegate,
                                            public platform::AlertViewDelegate {
public:
    std::string className() const override { return "MVTDeleteGroupManagerViewController"; }

    static constexpr double kRowHeight = 60;

    void setGroupId(const std::string& id) { groupId_ = id; }
    const std::string& groupId() const { return groupId_; }
    void setManagerArray(const platform::Json& managers) { managerArray_ = managers.is_array() ? managers : platform::Json::array(); }
    const platform::Json& managerArray() const { return managerArray_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }

    void viewDidLoad() override;
    void deleteGroupManager(platform::Button& button);
    void sureToDelete(int row);
    void showHUDWithBool(bool show);

    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

private:
    std::string groupId_;
    platform::Json managerArray_ = platform::Json::array();
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<platform::ProgressHUD> hud_;
};
