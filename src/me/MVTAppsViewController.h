#pragma once

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;
class MVTFilesManagersViewController;

namespace platform {
class Button;
}

// The Apps grid, root of tab 2: launchers for the class features, four to a line, grouped
// in titled sections; the service's list of hidden apps hides launchers, and a launcher
// with new items carries a red dot. A tap opens the feature as a modal screen.
class MVTAppsViewController : public ViewViewController,
                              public platform::TableViewDataSource,
                              public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTAppsViewController"; }

    static constexpr const char* kPageName = "应用";
    static constexpr int kDotTag = 222;
    static constexpr double kLineHeight = 60;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Fills the sections from the account's hidden apps and role.
    void reloadArrayForShowApps();
    void initmytableview();
    // Redraws the grid; its red dots follow the account's new-item flags.
    void reloadView();
    int reloadViewCount() const { return reloadViewCount_; }
    // The red dots of the launchers in `content`, by their flags.
    void reloadView(platform::View& content);
    std::shared_ptr<platform::Button> buttonNamed(const std::string& name, int tag, const std::string& imageName);
    // The launcher's tap: dispatched on its name.
    void appButtonClick(platform::Button& button);

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;

    const platform::Json& titleArray() const { return titleArray_; }
    const platform::Json& appsArray() const { return appsArray_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    // The class files screen, held across taps; made anew for another signed-in user.
    std::shared_ptr<MVTFilesManagersViewController> classFile() const { return classFile_; }

private:
    std::shared_ptr<MVTFilesManagersViewController> classFile_;
    long long oldUserId_ = 0;
    int reloadViewCount_ = 0;
    platform::Json titleArray_ = platform::Json::array();
    platform::Json appsArray_ = platform::Json::array();
    std::shared_ptr<myTableView> mytableview_;
};
