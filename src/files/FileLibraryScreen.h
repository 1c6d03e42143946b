#pragma once

// What the class and the group file libraries share: the list in sections 今天 / 最近一周 /
// 更早, fifteen at a time with a footer that loads older files and a pull-to-refresh
// header, file rows that download through the transfer manager or open the viewer, the
// bottom bar that opens the transfer screen and shows the running transfer's progress,
// the notice label, and the "+" with its drop-down that opens the upload screen. Each
// library says where its list comes from, who may upload and where uploads go.

#include "files/MVTFileInfoCell.h"
#include "files/MVTTitleDownSelectView.h"
#include "files/MVTTransferTask.h"

#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>
#include <vector>

class myTableView;

namespace platform {
class Button;
class Label;
class View;
}  // namespace platform

class FileLibraryScreen : public ViewViewController,
                          public platform::TableViewDataSource,
                          public platform::TableViewDelegate,
                          public platform::AlertViewDelegate,
                          public EGORefreshTableHeaderDelegate,
                          public fileDownLoadDelegate,
                          public MVTTaskFileDelegate,
                          public MVTUploadFileDelegate,
                          public filelib::MVTTitleDownSelectViewDelegate {
public:
    static constexpr int kPageSize = 15;
    static constexpr double kWeekSeconds = 604800;

    // The section of an upload time against now: "today", "recWeek" or "earlier".
    static std::string sectionKeyFor(long long dateline, long long now);

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void getDataObjects(const std::string& pagingKey);
    void dealWithDataFormNet(const platform::Json& list);
    void toGetMoreCourseData();
    void reloadTableViewDataSource();
    void doneLoadingTableViewData();
    void showDownLoadList();
    void cleanDownLoadListBtn();
    void cleanDown(const std::string& name);
    void showReloadNews(const std::string& text);
    void goback();
    void showHUDWithBool(bool show);

    // The "+": the join-a-class alert, or the drop-down opened or closed.
    void toPostFiles();
    void removeTitleSelectView();
    void buttonClick(platform::Button& button) override;
    void setRightButton() override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

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
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::Button> selectBtn() const { return selectBtn_; }
    std::shared_ptr<filelib::MVTTitleDownSelectView> titleSelectView() const { return titleSelectView_; }
    const std::string& deleteTaskName() const { return deleteTaskName_; }
    bool refreshing() const { return refreshing_; }
    int typeOfFile() const { return typeOfFile_; }

protected:
    // Builds the bar buttons, the table at `tableTop` of `tableHeight`, its header and
    // footer and the bottom bar, then loads the first page.
    void buildLibrary(double tableTop, double tableHeight);
    // The list address (service prefix included) and the files of a list reply.
    virtual std::string listUrl() const = 0;
    virtual platform::Json filesOf(const platform::Json& reply) const = 0;
    virtual std::string pageName() const = 0;
    // Who gets the "+", where uploads go, and the drop-down it shows.
    virtual bool canUpload() const = 0;
    virtual std::string uploadUrl() const = 0;
    virtual bool isGroupLibrary() const = 0;
    virtual std::shared_ptr<filelib::MVTTitleDownSelectView> makeDropDown(const platform::Rect& frame) const = 0;
    // Closes the screen (dismissed or popped, by how it was opened).
    virtual void leave() = 0;

    void clearSections();
    bool anyShown() const;

    std::vector<MVTFIleInfo> todayArray_, recWeekArray_, earlierArray_, allDataArray_;
    std::vector<std::string> titleArray_;
    std::string maxIdNotIncludeSelf_;
    std::string deleteTaskName_;
    bool refreshing_ = false;
    bool reloading_ = false;
    // The list asked for changed while a load ran: the list is loaded again after it.
    bool reloadAfterLoad_ = false;
    int typeOfFile_ = 1;
    std::shared_ptr<myTableView> mytableview_;

private:
    void setFooter(const std::string& text, bool enabled);
    void showProgress(float progress, const std::string& name);
    void showFailure(const std::string& name, const std::string& text);

    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<platform::Button> moreBtn_;
    std::shared_ptr<platform::Button> showDownLoadListBtn_;
    std::shared_ptr<platform::View> progressTrack_;
    std::shared_ptr<platform::Label> newsLabel_;
    std::shared_ptr<platform::Button> selectBtn_;
    std::shared_ptr<filelib::MVTTitleDownSelectView> titleSelectView_;
    std::shared_ptr<platform::AlertView> showAlert_;
    platform::ObserverToken cleanObserver_;
};
