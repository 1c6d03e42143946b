#pragma once

#include "homework/HomeworkDelegates.h"
#include "homework/HomeworkScreen.h"
#include "homework/MVTHomeworkCell.h"
#include "shell/AttachmentDownloadOverlay.h"
#include "shell/EGORefreshTableHeaderView.h"

#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

// The homework of one course, ten rows a page, with the title, author, text, time and a
// fold-out attachment list per row; teachers also see the assigned classes. Anyone but a
// teacher opens a homework's text by tapping its row; teachers get a menu per row to view
// it, assign it to classes of the course, or delete it. Pushed by the subject grid.
class MVTHomeworkListViewController : public HomeworkScreen,
                                      public platform::TableViewDataSource,
                                      public platform::TableViewDelegate,
                                      public platform::AlertViewDelegate,
                                      public MVTHomeworkCellDelegate,
                                      public SenAgainDelegate,
                                      public EGORefreshTableHeaderDelegate {
public:
    MVTHomeworkListViewController();
    ~MVTHomeworkListViewController() override;
    std::string className() const override { return "MVTHomeworkListViewController"; }

    static constexpr int kPageSize = 10;
    static constexpr int kDeleteAlertTag = 888;
    static constexpr double kEndRefreshDelay = 0.5;

    const std::string& subjectId() const { return subjectId_; }
    void setSubjectId(const std::string& id) { subjectId_ = id; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // getListData: the next page; upListData: page 1 again (pull to refresh).
    void getListData();
    void upListData();
    // initmytableview: stops the waiting animation, reloads, ends the refresh 0.5 s later.
    void initmytableview();
    void doneLoadingTableViewData();
    void openContentWith(const std::string& content, const std::string& title);
    void sendHMAgain(int row);
    void goback();

    // ---- The rows' reports.
    void toSaveShowAttachWith(int row) override;
    void toDownLoadAttachsWith(platform::Button& button) override;
    void toAgainGetListData() override;
    void showActionSheet(int row) override;
    // ---- The class assignment screen's.
    void takeShareTargets(int row, const platform::Json& shareTargets) override;
    void ReloadOneCell(int row) override;

    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void willDisplayCell(platform::TableView& tableView, platform::TableViewCell& cell,
                         const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;

    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;

    // ---- State, readable by tests and the benchmark.
    int pageNum() const { return pageNum_; }
    bool isMoring() const { return isMoring_; }
    bool isFalse() const { return isFalse_; }
    bool reloading() const { return reloading_; }
    // How many times the table was redrawn after a load (each reply, failure or offline).
    int redraws() const { return redraws_; }
    const platform::Json& dataArray() const { return dataArray_; }
    const std::vector<std::string>& stateArr() const { return stateArr_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<AttachmentDownloadOverlay> overlay() const { return overlay_; }

private:
    // Builds the list request for `page` on the background queue and starts it on the main
    // thread; `generation` tells a page reply that a later refresh has begun.
    void loadPage(int page, bool refresh);
    void pageArrived(const platform::Json& reply, unsigned generation);
    void pageFailed(unsigned generation);
    void refreshArrived(const platform::Json& reply);
    bool rowExists(int row) const { return row >= 0 && row < static_cast<int>(dataArray_.size()); }
    void deleteRow(int row);

    std::string subjectId_;
    int pageNum_ = 1;
    bool isMoring_ = false;
    bool isFalse_ = false;
    bool reloading_ = false;
    int redraws_ = 0;
    // Counts refreshes: a page reply from before the latest refresh began is dropped.
    unsigned refreshGeneration_ = 0;
    platform::Json dataArray_ = platform::Json::array();
    std::vector<std::string> stateArr_;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<MVTHomeworkCell> sizingCell_;
    std::shared_ptr<AttachmentDownloadOverlay> overlay_;
};
