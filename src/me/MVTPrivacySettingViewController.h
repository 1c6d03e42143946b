#pragma once

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class ProgressHUD;
}
class myTableView;

// "隐私设置": who may see the signed-in user's personal space. Reads the privacy codes from
// the service, ticks the current level and saves a new one when a row is tapped. A row
// shows the code 3 minus its index: 学校中所有用户 (3), 班级成员及好友 (2), 仅好友 (1),
// 仅自己 (0). Pushed from a space with the view's accessibility hint "personalSpace"
// (back pops), otherwise back dismisses.
class MVTPrivacySettingViewController : public ViewViewController,
                                        public platform::TableViewDataSource,
                                        public platform::TableViewDelegate {
public:
    MVTPrivacySettingViewController();
    ~MVTPrivacySettingViewController() override;
    std::string className() const override { return "MVTPrivacySettingViewController"; }

    void viewDidLoad() override;
    void initmyTable();
    void netGetData();
    // Saves {"spacePrivacy", "messagePrivacy"} (either may be missing).
    void changPrivaacy(const platform::Json& values);
    void goback();

    // The last privacy reply, or nothing before one came.
    const std::optional<platform::Json>& myDict() const { return myDict_; }
    // The ticked row, or -1.
    int tickedRow() const;
    std::shared_ptr<myTableView> myTable() const { return myTable_; }

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    std::string titleForHeaderInSection(platform::TableView& tableView, int section) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    double heightForFooterInSection(platform::TableView& tableView, int section) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

private:
    void showHUD(bool show);

    std::optional<platform::Json> myDict_;
    std::vector<std::string> titleArray_;
    std::vector<std::string> setInfoArray_;
    std::shared_ptr<myTableView> myTable_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
};
