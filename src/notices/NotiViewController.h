#pragma once

#include "notices/MVTNotiCell.h"
#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
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
}  // namespace platform

// The class notices of one class (an administrator's: of one grade or receiver group),
// page by page in the service's order. Rows are notice cards; the screen plays their
// voices through the application's one player, opens files under the download overlay,
// links in the web page screen and the read status of a notice.
//
// Presented in its own navigation controller by the messages tab and the Apps tab
// (fromWhere NO), pushed by the notice class picker (fromWhere YES).
class NotiViewController : public ViewViewController,
                           public platform::TableViewDataSource,
                           public platform::TableViewDelegate,
                           public EGORefreshTableHeaderDelegate,
                           public MVTNotiCellDelegate {
public:
    static constexpr const char* kPageName = "查看通知";
    static constexpr const char* kToStopNotiAudioPlay = "toStopNotiAudioPlay";
    static constexpr std::size_t kFullPage = 15;
    static constexpr double kEndLoadingDelay = 0.05;

    NotiViewController();
    ~NotiViewController() override;
    std::string className() const override { return "NotiViewController"; }

    // initWithClassDic: {"id", "name"} or nothing: loads the view and asks the first page.
    static std::shared_ptr<NotiViewController> initWithClassDic(const std::optional<platform::Json>& classDic);

    void setFromWhere(bool pushed) { fromWhere_ = pushed; }
    bool fromWhere() const { return fromWhere_; }

    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;

    void netGetData();
    void initmytableview();
    void reloadTableViewDataSource();
    void doneLoadingTableViewData();
    void goback();
    void toStopNotiAudioPlay();
    void didDownloadAudio(const std::string& resourceId, const std::string& outcome);
    // playRecord:WithBackMusic: (no id: stops the player).
    void playRecord(const std::optional<std::string>& resourceId, const std::string& track);

    // ---- The cards' requests.
    void showImage(const platform::Json& pictures, int index) override;
    void againGetListData() override;
    void sendLinkWith(const std::string& url, const std::string& text) override;
    void toDownLoadAttachWith(const std::string& resourceId, const std::string& name,
                              const std::string& lowerType) override;
    void toOpenOrDownLoadAudio(const std::string& path, const std::string& resourceId, int index,
                               bool exists) override;
    void gotoPrivateNotificationViewControllerWithDic(const platform::Json& notice, int index) override;

    // ---- Table, scroll and pull-down.
    int numberOfSectionsInTableView(platform::TableView&) override { return 1; }
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void willDisplayCell(platform::TableView& tableView, platform::TableViewCell& cell,
                         const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;

    // ---- State, for tests and the benchmark.
    const std::string& classID() const { return classID_; }
    const platform::Json& myArray() const { return myArray_; }
    int currentpage() const { return currentpage_; }
    bool isMoring() const { return isMoring_; }
    bool isloading() const { return isloading_; }
    bool reloading() const { return reloading_; }
    bool failed() const { return failed_; }
    const std::optional<std::string>& playIndexStr() const { return playIndexStr_; }
    bool downloading() const { return downloading_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView() const { return refreshHeaderView_; }
    std::shared_ptr<AttachmentDownloadOverlay> downloadOverlay();
    // The card that row `index` shows now, built afresh (as the table builds it).
    std::shared_ptr<MVTNotiCell> buildCell(int index);

private:
    void pageArrived(const platform::Json& reply);
    void loadFailed(bool offline);
    void markFooterFailed();
    void setAudioRoute();
    void endLoadingSoon();

    std::string classID_ = "0";
    std::string title_;
    platform::Json myArray_ = platform::Json::array();
    int currentpage_ = 1;
    bool isMoring_ = true;
    bool isloading_ = false;
    bool reloading_ = false;
    bool failed_ = false;
    bool fromWhere_ = false;
    std::optional<std::string> playIndexStr_;
    bool downloading_ = false;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<platform::Button> leftBtn_;
    std::shared_ptr<AttachmentDownloadOverlay> overlay_;
    std::shared_ptr<platform::HttpJsonRequestOperation> listOperation_;
    platform::ObserverToken stopToken_;
    platform::ObserverToken proximityToken_;
    std::map<std::string, platform::ObserverToken> audioTokens_;
};
