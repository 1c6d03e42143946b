#pragma once

// The praisers of one item: titled "%@个人赞过" with the count, one 60-point row per
// praiser (avatar and name) in the service's order, and "刷新" to ask again. An empty
// reply keeps the rows there are; an avatar opens that praiser's personal space.

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

namespace platform {
class ProgressHUD;
}

class myTableView;

class MVTFeedLoveMemberViewController : public ViewViewController,
                                        public platform::TableViewDataSource,
                                        public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTFeedLoveMemberViewController"; }
    static constexpr double kRowHeight = 60;

    void setModule(const std::string& module) { module_ = module; }
    void setModuleId(const std::string& moduleId) { moduleId_ = moduleId; }
    void setLoveCount(const std::string& count) { loveCount_ = count; }
    const std::string& module() const { return module_; }
    const std::string& moduleId() const { return moduleId_; }
    const std::string& loveCount() const { return loveCount_; }

    void viewDidLoad() override;
    void goback();
    // netGetData: the praisers from the service (on load and by "刷新").
    void netGetData();
    void initmytable();
    // clickHeadBtn: the avatar of the row in the button's tag.
    void clickHeadBtn(int row);
    void chooseNamed(const platform::Json& user) override;
    void showHUDWithBool(bool show);

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    const platform::Json& dataArray() const { return dataArray_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::ProgressHUD> HUD() const { return HUD_; }

private:
    std::string module_;
    std::string moduleId_;
    std::string loveCount_;
    platform::Json dataArray_ = platform::Json::array();
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
};
