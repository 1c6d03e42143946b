#pragma once

// The announcements "群公告" of one group, fifteen to a page in the service's order. The
// group profile makes the screen once and pushes the same object on every opening, so the
// first page is asked for only when the view is first loaded; a pull, the footer and a
// saved announcement load again. Managers add announcements; any member type but 0 may
// delete them. Voices play through the application's one player, files open under the
// download overlay.

#include "contacts/MVTGongGaoTableViewCell.h"

#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

class AttachmentDownloadOverlay;
class myTableView;

namespace platform {
class Button;
class HttpJsonRequestOperation;
class ProgressHUD;
}  // namespace platform

class MVTGongGaoViewController : public ViewViewController,
                                 public platform::TableViewDataSource,
                                 public platform::TableViewDelegate,
                                 public EGORefreshTableHeaderDelegate,
                                 public platform::AlertViewDelegate,
                                 public MVTGongGaoCellDelegate {
public:
    static constexpr const char* kPageName = "群公告";
    static constexpr const char* kToReloadCurrentGongGaoData = "toReloadCurrentGongGaoData";
    static constexpr const char* kToStopHomeAudioPlay = "toStopHomeAudioPlay";
    static constexpr const char* kToStopDetailsAudio = "toStopDetailsAudio";
    static constexpr const char* kPageSize = "15";
    static constexpr std::size_t kFullPage = 15;
    static constexpr const char* kPagingKey = "maxIdNotIncludeSelf";

    MVTGongGaoViewController();
    ~MVTGongGaoViewController() override;
    std::string className() const override { return "MVTGongGaoViewController"; }

    // The viewer's member type: 1 or more may add, any value but 0 may delete.
    void setUserType(const std::string& type) { userType_ = type; }
    const std::string& userType() const { return userType_; }
    void setForumId(const std::string& id) { forumId_ = id; }
    const std::string& forumId() const { return forumId_; }
    void setFieldId(const std::string& id) { fieldId_ = id; }
    const std::string& fieldId() const { return fieldId_; }

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void goback();
    void showHUDWithBool(bool show);
    void initmytableview();
    // getDataObjects: nothing for a first page, the paging key for the page after the last row.
    void getDataObjects(const std::optional<std::string>& pagingKey);
    void toGetMoreCourseData();
    void reloadCurrentData();
    void addNewGongGao();
    void deleteGongGao(int row);

    // ---- What the cards ask for.
    void toDownLoadAudioWith(const std::string& resourceId, int row) override;
    void toDownLoadAttachWith(const std::string& resourceId, const std::string& name, const std::string& type) override;
    void showImage(const platform::Json& pictures, int index) override;
    void playRecord(const std::optional<std::string>& resourceId, int row) override;
    void deleteGonggao(int row) override;

    // ---- Voices.
    void didDownloadAudio(const std::string& resourceId, const std::string& outcome);
    void toStopHomeAudioPlay();
    void playAgain();
    void reloadCell();

    void alertViewClickedButtonAtIndex(platform::AlertView& alertView, long buttonIndex) override;

    // ---- Table, scroll and pull-down.
    int numberOfSectionsInTableView(platform::TableView&) override { return 1; }
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;
    void reloadTableViewDataSource();
    void doneLoadingTableViewData();

    // ---- State, for tests and the benchmark.
    const platform::Json& dataArray() const { return dataArray_; }
    bool refreshing() const { return refreshing_; }
    bool reloading() const { return reloading_; }
    bool downloading() const { return downloading_; }
    int voiceRow() const { return voiceRow_; }
    const std::string& vedioStr() const { return vedioStr_; }
    std::shared_ptr<platform::Button> moreBtn() const { return moreBtn_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView() const { return refreshHeaderView_; }
    std::shared_ptr<AttachmentDownloadOverlay> downloadOverlay();
    // The card of a row, built as the table builds it.
    std::shared_ptr<MVTGongGaoTableViewCell> buildCell(int row);

private:
    void createFooterView();
    void setFooter(const std::string& title, bool enabled);
    void pageArrived(const platform::Json& rows, bool firstPage);
    void deletionAnswered(const std::string& id, bool done);

    std::string userType_, forumId_, fieldId_;
    platform::Json dataArray_ = platform::Json::array();
    std::string maxIdNotIncludeSelf_;
    bool refreshing_ = false;
    bool reloading_ = false;
    bool downloading_ = false;
    std::string vedioStr_;
    int voiceRow_ = 0;
    std::shared_ptr<platform::Button> moreBtn_;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
    std::shared_ptr<AttachmentDownloadOverlay> overlay_;
    std::shared_ptr<platform::HttpJsonRequestOperation> listOperation_;
    std::shared_ptr<platform::HttpJsonRequestOperation> deleteOperation_;
    platform::ObserverToken reloadToken_;
    platform::ObserverToken stopToken_;
    platform::ObserverToken proximityToken_;
    std::map<std::string, platform::ObserverToken> audioTokens_;
};
