#pragma once

#include "shell/ViewViewController.h"

#include "platform/ui/TableView.h"

#include <string>
#include <vector>

class myTableView;

// The "Me" tab, root of tab 3. Its menu holds the box of unsent posts, "草稿箱", which
// opens presented modally in a new navigation controller like the tab's other rows.
class MVTUserSettingViewController : public ViewViewController,
                                     public platform::TableViewDataSource,
                                     public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTUserSettingViewController"; }
    void viewDidLoad() override;

    // Redraws the relevant-to-me row when the account's count differs from the one shown.
    void reloadRelativeAndCommentCount();
    // Redraws the table whose header shows level and points.
    void reloadUserLvl();

    int shownRelevantMe() const { return shownRelevantMe_; }
    int reloadUserLvlCount() const { return reloadUserLvlCount_; }

    // The menu texts (keys of the string table), in order.
    const std::vector<std::string>& setInfoArray() const { return setInfoArray_; }
    // The box of unsent posts, presented over the tab bar.
    void openSaveDynamic();

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

private:
    int shownRelevantMe_ = 0;
    int reloadUserLvlCount_ = 0;
    std::vector<std::string> setInfoArray_{"草稿箱"};
    std::shared_ptr<myTableView> settingTable_;
};
