#pragma once

#include "shell/ViewViewController.h"

#include "platform/ui/TableView.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class ProgressHUD;
}
class myTableView;

// "空间访问权限设置": four access levels of the signed-in user's space; a tap moves the
// checkmark, and toSetNewSetting sends a level code, one save at a time. Nothing opens the
// page and nothing calls the save; a level's code is 3 minus its row, as the privacy
// settings count their levels.
class MVTPersonalSpaceSettingViewController : public ViewViewController,
                                              public platform::TableViewDataSource,
                                              public platform::TableViewDelegate {
public:
    MVTPersonalSpaceSettingViewController();
    ~MVTPersonalSpaceSettingViewController() override;
    std::string className() const override { return "MVTPersonalSpaceSettingViewController"; }

    static int codeOfRow(int row) { return 3 - row; }

    void viewDidLoad() override;
    void initmytable();
    void initNavBar();
    void backButtonClick();
    void showHUDWithBool(bool show);
    // POST "<user id>/forum/set/update" with "set" the code; a second call while one runs
    // sends nothing.
    void toSetNewSetting(int code);

    const std::string& limitsString() const { return limitsString_; }
    bool isLoadIng() const { return isLoadIng_; }
    std::shared_ptr<myTableView> myTable() const { return myTable_; }
    const std::vector<std::string>& levels() const { return levels_; }

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

private:
    std::vector<std::string> levels_;
    std::string limitsString_;
    bool isLoadIng_ = false;
    std::shared_ptr<myTableView> myTable_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
};
