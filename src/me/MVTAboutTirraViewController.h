#pragma once

#include "shell/MVTIntroViewController.h"
#include "shell/ViewViewController.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class ProgressHUD;
}  // namespace platform
class myTableView;

// "关于岚溪": the logo, the product name with the running version, the row "检测新版本"
// (the shell's version check, with an overlay and "当前为最新版本。" when nothing newer
// is offered), a terms button that does nothing and the legal notice. On its first
// appearance after an install or an update the intro pager shows over it, with its
// closing button.
class MVTAboutTirraViewController : public ViewViewController,
                                    public platform::TableViewDataSource,
                                    public platform::TableViewDelegate,
                                    public platform::AlertViewDelegate,
                                    public MVTIntroViewControllerDelegate {
public:
    MVTAboutTirraViewController();
    ~MVTAboutTirraViewController() override;
    std::string className() const override { return "MVTAboutTirraViewController"; }

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void goback();
    // Makes the table once with its header and footer; later calls reload it.
    void initmyTable();
    // The version check.
    void toupdate();
    void showHUDWithBool(bool show);
    // The terms button: nothing is settled for it yet.
    void toShowWeb() {}

    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    void introViewControllerWillDismiss() override;

    std::shared_ptr<MVTIntroViewController> introViewController() const { return introViewController_; }
    std::shared_ptr<myTableView> myTable() const { return myTable_; }
    std::shared_ptr<platform::ProgressHUD> HUD() const { return HUD_; }
    std::shared_ptr<platform::Button> termsButton() const { return termsButton_; }
    // "岚溪校讯V" and the running version.
    static std::string productLine();

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    double heightForFooterInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

private:
    void showIntroOnce();

    std::shared_ptr<myTableView> myTable_;
    std::vector<std::string> setInfoArray_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
    std::shared_ptr<MVTIntroViewController> introViewController_;
    std::shared_ptr<platform::Button> termsButton_;
    bool appeared_ = false;
};
