#pragma once

// "班级文件": the files of the user's classes, newest first, in sections 今天 / 最近一周 /
// 更早, fifteen at a time, with a search by file or uploader name, and the bottom bar that
// opens the transfer screen and shows the running transfer's progress.

#include "files/MVTFileInfoCell.h"
#include "files/MVTTransferTask.h"

#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>
#include <vector>

class myTableView;

namespace platform {
class AlertView;
class Button;
class Label;
class View;
}  // namespace platform

class MVTFilesManagersViewController : public ViewViewController,
                                       public platform::TableViewDataSource,
                                       public platform::TableViewDelegate,
                                       public platform::SearchBarDelegate,
                                       public EGORefreshTableHeaderDelegate,
                                       public fileDownLoadDelegate,
                                       public MVTTaskFileDelegate,
                                       public MVTUploadFileDelegate {
public:
    std::string className() const override { return "MVTFilesManagersViewController"; }
    static constexpr int kPageSize = 15;
    static constexpr double kWeekSeconds = 604800;

    // The section of an upload time against now: "today", "recWeek" or "earlier".
    static std::string sectionKeyFor(long long dateline, long long now);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    void getDataObjects(const std::string& pagingKey);
    void dealWithDataFormNet(const platform::Json& list);
    void toGetMoreCourseData();
    void reloadTableViewDataSource();
    void doneLoadingTableViewData();
    void searchBarTextDidBeginEditing(platform::SearchBar& bar) override;
    void searchBarSearchButtonClicked(platform::SearchBar& bar) override;
    void cancelSearchBar();
    void showDownLoadList();
    void cleanDownLoadListBtn();
    void cleanDown(const std::string& name);
    void showReloadNews(const std::string& text);
    void goback();
    void showHUDWithBool(bool show);

    void fileDown(platform::Button& button) override;
    void fileShow(platform::Button& button) override;
    void updateFileMangeView(float progress, const std::string& bytesPro, const std::string& fileName) override;
    void updateCellData(float progress, const std::string& fileName) override;

    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool decelerate) override;

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    const std::vector<std::string>& titleArray() const { return titleArray_; }
    const std::vector<MVTFIleInfo>& section(const std::string& key) const;
    const std::vector<MVTFIleInfo>& allDataArray() const { return allDataArray_; }
    std::shared_ptr<platform::Button> moreBtn() const { return moreBtn_; }
    std::shared_ptr<platform::Button> showDownLoadListBtn() const { return showDownLoadListBtn_; }
    std::shared_ptr<platform::View> progressTrack() const { return progressTrack_; }
    std::shared_ptr<platform::Label> newsLabel() const { return newsLabel_; }
    std::shared_ptr<platform::SearchBar> searchBar() const { return searchBar_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    const std::string& deleteTaskName() const { return deleteTaskName_; }
    const std::string& searchName() const { return searchName_; }
    bool refreshing() const { return refreshing_; }

private:
    void setFooter(const std::string& text, bool enabled);
    void showProgress(float progress, const std::string& name);
    void showFailure(const std::string& name, const std::string& text);

    std::vector<MVTFIleInfo> todayArray_, recWeekArray_, earlierArray_, allDataArray_;
    std::vector<std::string> titleArray_;
    std::string maxIdNotIncludeSelf_;
    std::string searchName_;
    std::string deleteTaskName_;
    bool refreshing_ = false;
    bool reloading_ = false;
    // The search in force changed while a load ran: the list is loaded again after it.
    bool reloadAfterLoad_ = false;
    std::shared_ptr<platform::SearchBar> searchBar_;
    std::shared_ptr<platform::Button> cancelButton_;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<platform::Button> moreBtn_;
    std::shared_ptr<platform::Button> showDownLoadListBtn_;
    std::shared_ptr<platform::View> progressTrack_;
    std::shared_ptr<platform::Label> newsLabel_;
    std::shared_ptr<platform::AlertView> showAlert_;
    platform::ObserverToken cleanObserver_;
};
