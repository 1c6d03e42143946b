#pragma once

#include "feed/FeedListParts.h"

#include "details/MVTDetailsViewController.h"
#include "details/MVTForwardViewController.h"
#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/UrlRequest.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class Button;
class Label;
}  // namespace platform

class MVTHomeViewController;
class MVTPersonCell;
class myTableView;

// The school circle ("学校圈"): the posts of the whole school, from the service only
// (filter "square:school"), as the second page of the home feed. It draws the same post
// cell as the class circle and answers the same cell requests, but keeps no cache: every
// change stays in its list. It presents nothing itself: the detail and forward screens,
// report pages, personal spaces, files and links go to its delegate, the home, which
// presents them. Deletes and comments are kept in step with the class circle both ways.
class MVTSquareViewController : public ViewViewController,
                                public platform::TableViewDataSource,
                                public platform::TableViewDelegate,
                                public EGORefreshTableHeaderDelegate,
                                public platform::AlertViewDelegate,
                                public MVTDetailsViewControllerDelegate,
                                public MVTForwardDelegate {
public:
    MVTSquareViewController();
    ~MVTSquareViewController() override;
    std::string className() const override { return "MVTSquareViewController"; }

    static constexpr int kPageSize = 15;
    static constexpr double kListTimeout = 20.0;
    static constexpr int kListTag = 2;
    static constexpr int kDeleteAlertTag = 4321;
    static constexpr double kTableChrome = 113;
    static constexpr const char* kFilter = "square:school";
    static constexpr const char* kToStopSquareAudioPlay = "toStopSquareAudioPlay";
    static constexpr const char* kSynchronousDeleteFormSquare = "synchronousDeleteFormSquare";
    static constexpr const char* kShowDynamicActionSheet = "showDynamicActionSheet";

    // ---- The home that embeds this screen (held weakly: the home owns this screen).
    std::shared_ptr<MVTHomeViewController> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<MVTHomeViewController>& home) { delegate_ = home; }
    // YES while this screen waits for the answer to a post action sheet it asked for.
    bool showAS() const { return showAS_; }
    void setShowAS(bool waiting) { showAS_ = waiting; }

    // ---- Lifecycle. The home passes its own appearing and disappearing on while this
    // screen is its visible page.
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // ---- Loading and refresh
    void getData();
    void squareTableGetData();
    void reloadNewData();
    void squareReloadNewData();
    // Shows the pull-to-refresh and starts a refresh (the home, on paging here).
    void getNewData();
    void toGetNewData();
    void willToReload();
    void ToReload();
    void againGetListData() override;
    void showReloadNews(const std::string& text);
    void initSquareTable();
    void reloadNullTableView();
    void doneLoadingTableViewData();
    void reloadTableViewDataSource();
    void changeReloadDynamic(bool armed);
    void removeSquareNoti();
    void showHUDWithBool(bool show);
    void toPresentViewWith(int row);
    void toPresentNowAudioPlayView();

    // ---- Post actions (the post cells' requests)
    void sendPraiseWith(platform::Button& praiseButton) override;
    void toCommentDynamicWith(const std::string& postId) override;
    void deleteDynamicWith(const std::string& postId, int row, int kind) override;
    using ViewViewController::deleteDynamicWith;
    void deleteState(const std::string& postId) override { (void)postId; }
    void readyToForwardWith(const std::string& row) override;
    void toForwardViewController();
    void readyToCopyContentWith(const platform::Rect& rect, int row, const std::string& text) override;
    void copyContentString();
    void toSendVoteWith(const std::string& postId, const std::string& voteId, const std::string& answerIds,
                        int row) override;
    void toRefreshVoteWith(const std::string& postId, const std::string& voteId, int row) override;
    void toDownLoadAttachWith(const std::string& resourceId, const std::string& name, const std::string& type) override;
    void sendLinkWith(const std::string& url, const std::string& title) override;
    void chooseNamed(const platform::Json& user) override;
    void showSquareSelectedWhichWith(const platform::Notification& notification);
    void toDeleteDynamicWith(const std::string& postId, int row);
    void reportWithWeb();
    void removeDataFromArr(int row);
    void toReloadPraiseCell(int row);
    void synchronousDeleteFormSquare(const platform::Notification& notification);
    void commentFormSquare(const platform::Notification& notification);
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    void showTurnSuccessWith(const std::string& text) override;
    // The detail screen's answers.
    void reloadOneCell() override;
    void deleteOneCell(int row) override;
    void toStartHomeAudio() override;
    void toStopHomeAudio() override;
    void toPlayOrStopAudio(bool playing) override;
    void detalsStopAudio() override;

    // ---- Voice
    void playRecord(const std::optional<std::string>& resourceId, int row) override;
    void toDownLoadAudioWith(const std::string& resourceId, int row) override;
    void didDownloadAudio(const std::string& resourceId, const std::string& outcome);
    void toStopSquareAudioPlay();
    void toShowSquareProgress(const platform::Notification& notification);
    void playAgain();
    void startCellAudioPlay();
    void stopCellAudioPlay();
    void reloadCell();

    // ---- Table
    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    std::string heightKeyForRowAtIndexPath(platform::TableView& tableView,
                                           const platform::IndexPath& indexPath) override;
    void willDisplayCell(platform::TableView& tableView, platform::TableViewCell& cell,
                         const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool decelerate) override;
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;

    // ---- State, for the home and the tests
    const std::vector<std::shared_ptr<platform::Json>>& squareArray() const { return squareArray_; }
    std::shared_ptr<myTableView> squareTable() const { return squareTable_; }
    std::shared_ptr<platform::Label> showCountLa() const { return showCountLa_; }
    bool isLoading() const { return isLoading_; }
    bool isFalse() const { return isFalse_; }
    bool isMoring() const { return isMoring_; }
    bool isReloading() const { return reloading_; }
    bool downloading() const { return downloading_; }
    int deleteIndex() const { return deleteIndex_; }
    int showATag() const { return showATag_; }
    const std::string& dynamicId() const { return DynamicId_; }
    const std::string& copyContentStr() const { return copyContentStr_; }
    // The cell of a row that the table shows (nullptr when out of view).
    std::shared_ptr<MVTPersonCell> cellAtRow(int row) const;
    // The row of the listed post with that id; -1 when none.
    int postIndexWithId(const std::string& postId) const;

private:
    static std::string userId();
    static void banner(int kind);
    void observeNotifications();
    void sendJson(platform::UrlRequest request,
                  std::function<void(MVTSquareViewController&, const platform::Json&)> success,
                  std::function<void(MVTSquareViewController&)> failure);
    std::optional<platform::UrlRequest> listRequest(platform::Json parameters) const;
    void listImpossible();
    void scheduleDone(double delay);
    void praiseReplied(const std::shared_ptr<platform::Button>& button, const std::string& postId,
                       const platform::Json& reply);
    void sendVoteRequest(std::optional<platform::UrlRequest> request, const std::string& postId, bool refresh);
    void confirmDelete();
    int detailRow() const;
    void setVoiceRow(int row);
    int voiceRow() const;

    std::weak_ptr<MVTHomeViewController> delegate_;
    bool showAS_ = false;
    std::shared_ptr<platform::Label> showCountLa_;
    feedlist::PostHeightKeys heightKeys_;
    std::shared_ptr<platform::Label> showTurnLa_;
    std::vector<int> indexPathsArr_;
    // The post whose detail screen was opened last (the detail screen edits this object).
    std::shared_ptr<platform::Json> detailRecord_;
    std::shared_ptr<myTableView> squareTable_;
    std::vector<std::shared_ptr<platform::Json>> squareArray_;
    std::string vedioStr_;
    std::shared_ptr<EGORefreshTableHeaderView> squareHeaderView_;
    bool reloading_ = false;
    bool isLoading_ = false;
    bool downloading_ = false;
    bool isMoring_ = false;
    bool isFalse_ = false;
    std::shared_ptr<platform::View> HUD_;
    std::string DynamicId_;
    std::string DynamicUid_;
    std::string DynamicName_;
    std::string DynamicType_;
    int deleteIndex_ = 0;
    int showATag_ = 0;
    long long oldUserId_ = 0;
    bool isNewPlay_ = false;
    std::string copyContentStr_;
    std::vector<platform::ObserverToken> observers_;
    platform::ObserverToken proximityToken_;
    std::map<std::string, platform::ObserverToken> audioTokens_;
};
