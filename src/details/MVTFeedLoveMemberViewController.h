#pragma once

// The praisers of one item: titled "%@个人赞过" with the count, listing the names the
// service gives for the module and item.

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

class MVTFeedLoveMemberViewController : public ViewViewController,
                                        public platform::TableViewDataSource,
                                        public platform::TableViewDelegate {
public:
    std::string className() const override { return "MVTFeedLoveMemberViewController"; }

    void setModule(const std::string& module) { module_ = module; }
    void setModuleId(const std::string& moduleId) { moduleId_ = moduleId; }
    void setLoveCount(const std::string& count) { loveCount_ = count; }
    const std::string& module() const { return module_; }
    const std::string& moduleId() const { return moduleId_; }
    const std::string& loveCount() const { return loveCount_; }

    void viewDidLoad() override;
    void goback();
    // The praisers' page from the service.
    void getData();

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    const platform::Json& members() const { return members_; }

private:
    std::string module_;
    std::string moduleId_;
    std::string loveCount_;
    platform::Json members_ = platform::Json::array();
    std::shared_ptr<myTableView> table_;
};
