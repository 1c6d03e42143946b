#pragma once

#include "feed/MVTActivitiesViewController.h"
#include "feed/FeedListParts.h"
#include "feed/MVTSquareViewController.h"
#include "feed/MVTTitleDownSelectView.h"
#include "details/MVTDetailsViewController.h"
#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Timer.h"
#include "platform/UrlRequest.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class Button;
class ImageView;
class Label;
class ProgressView;
class ScrollView;
}  // namespace platform

class MVTPersonCell;
class myTableView;
class AttachmentDownloadOverlay;

// The home feed, root of the first tab ("动态"): the class circle as a table of four
// sections (advert, relevant-to-me bar, the post being published, the posts and the
// load-more row), with the school circle as the second page of a sideways container.
// Posts open from the user's cache of posts first and page on from the service; a
// pull-to-refresh asks for newer posts and the changed counts of listed ones. The screen
// answers the post cells (praise, votes, copying, comments, voices, files, links, avatars)
// and the detail screen it opens, and keeps each post in step in three places: the
// service, its row and the user's cached copy.
class MVTHomeViewController : public ViewViewController,
                              public platform::TableViewDataSource,
                              public platform::TableViewDelegate,
                              public EGORefreshTableHeaderDelegate,
                              public platform::AlertViewDelegate,
                              public MVTDetailsViewControllerDelegate,
                              public MVTForwardDelegate,
                              public MVTActivitiesViewControllerDelegate,
                              public MVTFeedTitleDownSelectViewDelegate,
                              public MVTDynamicSelectTitleDownSelectViewDelegate {
public:
    MVTHomeViewController();
    ~MVTHomeViewController() override;
    std::string className() const override { return "MVTHomeViewController"; }

    // ---- Names, texts and numbers the screen shares with its tests.
    static constexpr int kPageSize = 15;
    static constexpr double kNextPageTimeout = 20.0;
    // Replies of the feed's requests above this size fail (a page of posts is a few kB).
    static constexpr std::size_t kMaxReplyBytes = 8u * 1024 * 1024;
    static constexpr int kPostSection = 3;
    static constexpr int kListTag = 2;
    static constexpr int kJoinClassAlertTag = 10010;
    static constexpr int kDeleteAlertTag = 4321;
    // Defaults key of the last refresh time: "user:" + the user id.
    static std::string refreshTimeKey(const std::string& userId) { return "user:" + userId; }
    // "toGetNewData": a composer sent a post.
    static constexpr const char* kToGetNewData = "toGetNewData";
    static constexpr const char* kSynchronousDeleteFormHome = "synchronousDeleteFormHome";
    static constexpr const char* kToStopHomeAudioPlay = "toStopHomeAudioPlay";
    static constexpr const char* kToStopDetailsAudio = "toStopDetailsAudio";
    // The texts of the publishing row, shown without the string table.
    static constexpr const char* kPublishingText = "新图说发布中...";
    static constexpr const char* kPublishFailedText = "图说发布失败，请在草稿箱中查看。";

    // ---- Lifecycle
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // ---- Called by the application delegate and the tab bar
    bool isSetNil() const { return isSetNil_; }
    void setIsSetNil(bool setNil) { isSetNil_ = setNil; }
    bool showAS() const { return showAS_; }
    void setShowAS(bool waiting) { showAS_ = waiting; }
    std::shared_ptr<MVTSquareViewController> squareViewController() const { return squareViewController_; }
    // addNewUpDynamic: the row of the post being published appears.
    void addNewUpDynamic();
    // newDynamicDidUpSucOrErr: the post was sent (refresh 1.0 s later when the queue is
    // empty) or failed (the failure text for 0.4 s).
    void newDynamicDidUpSucOrErr(bool succeeded);
    void removeNewUpDynamic();
    // initTheRelevantMeView: the relevant-to-me bar follows the account's count.
    void initTheRelevantMeView();
    void toGoRelevantMeView();
    // showTurnSuccessWith: the forward screen's success message.
    void showTurnSuccessWith(const std::string& text) override;
    void showHUDWithBool(bool show);
    // What the tab bar and the upload queue asked so far (the shell's tests read these).
    int reloadCount() const { return reloadCount_; }
    int relevantMeViewCount() const { return relevantMeViewCount_; }
    int addNewUpDynamicCount() const { return addNewUpDynamicCount_; }
    const std::vector<bool>& upDynamicResults() const { return upDynamicResults_; }

    // ---- Loading, refresh and the cache
    void getData();
    void myTableGetData();
    void reloadNewData();
    void myTableReloadNewData();
    void refreshPraiseAndCommentWith(const platform::Json& first, bool redisplay);
    void reloadTableViewDataSource();
    void toGetNewData();
    void getNewData();
    void newFeedReloadData();
    void changeOtherToDynamic();
    void againGetListData() override;
    // getNowRefreshTime: the local refresh time, the millisecond time cut to 10 characters.
    static std::string getNowRefreshTime();
    void showReloadNews(const std::string& text);
    void initTable();
    void reloadNullTableView();
    void doneLoadingTableViewData();
    void changeReloadDynamic(bool armed);

    // ---- Post actions (the post cells' questions)
    void chooseNamed(const platform::Json& user) override;
    void sendLinkWith(const std::string& url, const std::string& title) override;
    void sendPraiseWith(platform::Button& praiseButton) override;
    void toCommentDynamicWith(const std::string& postId) override;
    void toSendVoteWith(const std::string& postId, const std::string& voteId, const std::string& answerIds,
                        int row) override;
    void toRefreshVoteWith(const std::string& postId, const std::string& voteId, int row) override;
    void readyToCopyContentWith(const platform::Rect& rect, int row, const std::string& text) override;
    void copyContentString();
    void commentFormHome(const platform::Notification& notification);
    void toPresentViewWith(int row);
    void toPresent(const std::shared_ptr<platform::ViewController>& screen);
    void removeDataFromArr(int row);
    void toReloadPraiseCell(int row);
    void synchronousDeleteFormHome(const platform::Notification& notification);
    void toShowHomeProgress(const platform::Notification& notification);
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    // The detail screen's answers.
    void reloadOneCell() override;
    void deleteOneCell(int row) override;
    void toStartHomeAudio() override;
    void toStopHomeAudio() override;
    void toPlayOrStopAudio(bool playing) override;
    void detalsStopAudio() override;

    // ---- Post action sheet: view, delete, forward and report. The sheet is the tab bar's;
    // this screen asks for it and carries out the answer ("showSelectedWhichWith").
    static constexpr const char* kShowDynamicActionSheet = "showDynamicActionSheet";
    static constexpr const char* kSynchronousDeleteFormSquare = "synchronousDeleteFormSquare";
    void deleteDynamicWith(const std::string& postId, int row, int kind) override;
    using ViewViewController::deleteDynamicWith;
    void deleteState(const std::string& postId) override { (void)postId; }
    void showSelectedWhichWith(const platform::Notification& notification);
    void toDeleteDynamicWith(const std::string& postId, int row);
    void readyToForwardWith(const std::string& row) override;
    void toForwardViewController();
    void toForward(const std::shared_ptr<platform::ViewController>& screen);
    // The report page of the sheet's post (no join-a-class check).
    void reportWithWeb();
    // A report page for the address after the join-a-class check (the school circle's).
    void reportWithWebView(const std::string& address);
    int deleteIndex() const { return deleteIndex_; }
    int showATag() const { return showATag_; }

    // ---- Voice and attachments
    void playRecord(const std::optional<std::string>& resourceId, int row) override;
    void toDownLoadAudioWith(const std::string& resourceId, int row) override;
    void didDownloadAudio(const std::string& resourceId, const std::string& outcome);
    void toStopHomeAudioPlay();
    void playAgain();
    void startCellAudioPlay();
    void stopCellAudioPlay();
    void reloadCell();
    void toDownLoadAttachWith(const std::string& resourceId, const std::string& name, const std::string& type) override;
    void openDownLoadFileWith(const std::string& path, const std::string& name);
    void toCancelDownLoad();

    // ---- The school's advert: a banner row (section 0) for the roles it names, and an
    // overlay above the whole window. Asked once per home screen; every failure is silent.
    static constexpr double kAdvertTimeout = 20.0;
    void getAdvertisementData();
    // The banner entry's role code admits the role ("role" missing: nobody).
    static bool bannerAdmits(const platform::Json& banner, const std::string& role);
    void toGetAdImage(const std::string& resourceId);
    void toGetAdImageWith(const platform::Json& banner);
    void showAd();
    void toshowAdView(platform::Button& button);
    void showAdControlWith(const std::string& url, const std::string& title);
    void toCloseAdView();
    void activitiesViewControllerWillDismiss() override;
    void activitiesViewControllerWillDismissWith(const std::string& url, const std::string& title) override;
    const platform::Json& adArray() const { return adArray_; }
    double adH() const { return adH_; }
    std::shared_ptr<MVTActivitiesViewController> activitiesViewController() const { return activitiesViewController_; }

    // ---- Title bar, menus and views
    void initshowView();
    void initSquare();
    void initTitleView();
    void toAddFeed();
    void removeTitleSelectView();
    void setRightButton() override;
    void buttonClick(platform::Button& button) override;
    void newVC(const std::shared_ptr<platform::ViewController>& screen);
    void toSelectWhich();
    void removeDynamicSelectView();
    void resetButton() override;
    void selectButtonClick(platform::Button& button) override;
    void toChangeSelecet(int tag);
    void showDidSelectItem(const platform::Notification& notification);
    void scrollViewDidEndDecelerating(platform::ScrollView& scrollView) override;
    // Sets the title's text and fits the label and its arrow to it.
    void setTitleText(const std::string& text);

    // ---- Table
    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    std::string heightKeyForRowAtIndexPath(platform::TableView& tableView,
                                           const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    void willDisplayCell(platform::TableView& tableView, platform::TableViewCell& cell,
                         const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool decelerate) override;
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;

    // ---- State, for the tab bar, the school circle and the tests
    const std::vector<std::shared_ptr<platform::Json>>& dataArray() const { return dataArray_; }
    std::shared_ptr<myTableView> myTable() const { return myTable_; }
    std::shared_ptr<platform::ScrollView> showAttachmentScrollView() const { return showAttachmentScrollView_; }
    std::shared_ptr<platform::Label> selectLa() const { return selectLa_; }
    std::shared_ptr<platform::Label> showCountLa() const { return showCountLa_; }
    std::shared_ptr<platform::Label> stateLa() const { return stateLa_; }
    std::shared_ptr<platform::Label> relevantMeLa() const { return relevantMeLa_; }
    std::shared_ptr<platform::View> relevantMeView() const { return relevantMeView_; }
    std::shared_ptr<platform::Button> selectBtn() const { return selectBtn_; }
    std::shared_ptr<platform::Button> dynamicTypeBtn() const { return dynamicTypeBtn_; }
    std::shared_ptr<MVTFeedTitleDownSelectView> titleSelectView() const { return titleSelectView_; }
    std::shared_ptr<MVTDynamicSelectTitleDownSelectView> dynamicSelectView() const { return dynamicSelectView_; }
    // The attachment download (its overlay, downloader and file), made on first use.
    std::shared_ptr<AttachmentDownloadOverlay> downloadOverlay();
    bool isLoading() const { return isLoading_; }
    bool isFalse() const { return isFalse_; }
    bool isReloading() const { return reloading_; }
    bool isSeleted() const { return isSeleted_; }
    bool isMytable() const { return isMytable_; }
    bool isFailState() const { return isFailState_; }
    bool downloading() const { return downloading_; }
    int relevantMeShow() const { return relevantMeShow_; }
    int newDynamicCount() const { return int(newDynamicArray_.size()); }
    const std::string& copyContentStr() const { return copyContentStr_; }
    const std::string& audioFeedId() const { return audioFeedId_; }
    // The cell of a row of the post section that the table shows (nullptr when out of view).
    std::shared_ptr<MVTPersonCell> cellAtRow(int row) const;
    // The filter value of a filter label ("由我产生" -> "user:me"); empty when unknown.
    std::string filterFor(const std::string& label) const;

private:
    std::shared_ptr<MVTHomeViewController> me();
    void observeNotifications();
    void clearHomeNoti();
    // The user's id from the account record.
    static std::string userId();
    // The network banner of that kind.
    static void banner(int kind);
    // Sends a JSON request and hands the reply or the failure back on the main thread,
    // to this screen while it lives.
    void sendJson(platform::UrlRequest request,
                  std::function<void(MVTHomeViewController&, const platform::Json&)> success,
                  std::function<void(MVTHomeViewController&)> failure);
    // The list request of the filter in force (or none) with the parameters given.
    std::optional<platform::UrlRequest> listRequest(platform::Json parameters) const;
    void appendPage(const platform::Json& page, bool toCache);
    void listFailed();
    void showEmptyState();
    // Join-a-class check: true (and the alert) when the user belongs to no class.
    bool needsClass();
    int postIndexWithId(const std::string& postId) const;
    // The row of the post whose detail screen was opened last; -1 when it left the list.
    int detailRow() const;
    void cacheComments(const platform::Json& record);
    void animateHeart(const std::shared_ptr<platform::View>& heart, std::function<void()> done);
    void finishPraise(int row, bool strip);
    void praiseReplied(const std::shared_ptr<platform::Button>& button, const std::string& postId,
                       const platform::Json& reply);
    // Sends a vote's answer or its refresh; the reply changes the post of that id.
    void sendVoteRequest(std::optional<platform::UrlRequest> request, const std::string& postId, bool refresh);
    void voteReplied(const std::string& postId, const platform::Json& reply, bool refresh);
    // Lists the first cache page; false (and nothing listed) when the cache has none.
    bool listFirstCachePage();
    void toChangeRelevantMeView();
    std::shared_ptr<platform::TableViewCell> fixedCell(platform::TableView& tableView, int section);
    void setVoiceRow(int row);
    int voiceRow() const;
    void setAudioRoute();

    std::shared_ptr<MVTSquareViewController> squareViewController_;
    std::shared_ptr<myTableView> myTable_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<platform::ScrollView> showAttachmentScrollView_;
    std::vector<std::shared_ptr<platform::Json>> dataArray_;
    bool isLoading_ = false;
    bool isFalse_ = false;
    bool isMoring_ = false;
    bool reloading_ = false;
    bool isSeleted_ = false;
    bool isMytable_ = false;
    // A first page is on its way from the service; a refresh would ask for it twice.
    bool firstPageLoading_ = false;
    std::map<std::string, std::string> selectedDic_;
    std::shared_ptr<platform::Label> showCountLa_;
    feedlist::PostHeightKeys heightKeys_;
    std::shared_ptr<platform::Label> selectLa_;
    std::string dynamicSelectStr_;
    std::shared_ptr<platform::View> titleView_;
    platform::Color titleColor_;
    std::shared_ptr<platform::Button> selectBtn_;
    std::shared_ptr<platform::Button> dynamicTypeBtn_;
    std::shared_ptr<MVTFeedTitleDownSelectView> titleSelectView_;
    std::shared_ptr<MVTDynamicSelectTitleDownSelectView> dynamicSelectView_;
    platform::Json adArray_ = platform::Json::array();
    double adH_ = 0;
    std::shared_ptr<MVTActivitiesViewController> activitiesViewController_;
    void advertReplied(const platform::Json& reply);
    void showOverlay(const std::shared_ptr<MVTActivitiesViewController>& overlay);
    void showBanner(const platform::Json& banner, const platform::ImageRef& picture);
    void removeOverlay();
    void fillAdvertCell(platform::View& content);
    std::vector<std::string> newDynamicArray_;
    std::shared_ptr<platform::Label> stateLa_;
    bool isFailState_ = false;
    std::shared_ptr<platform::View> relevantMeView_;
    std::shared_ptr<platform::Label> relevantMeLa_;
    platform::Json relevantMeUsers_ = platform::Json::array();
    int relevantMeShow_ = 0;
    std::shared_ptr<platform::Label> showTurnLa_;
    std::shared_ptr<platform::View> HUD_;
    std::vector<int> indexPathsArr_;
    // The post whose detail screen was opened last (the detail screen edits this object).
    std::shared_ptr<platform::Json> detailRecord_;
    bool isNewPlay_ = false;
    bool downloading_ = false;
    std::string audioFeedId_;
    std::string vedioStr_;
    std::shared_ptr<AttachmentDownloadOverlay> downLoadBgView_;
    std::string copyContentStr_;
    bool isSetNil_ = false;
    bool showAS_ = false;
    std::string DynamicId_;
    std::string DynamicUid_;
    std::string DynamicName_;
    std::string DynamicType_;
    int deleteIndex_ = 0;
    int showATag_ = 0;
    void confirmDelete();
    // Passes the school circle's appearing or disappearing on when its page comes or goes.
    void setSquareShown(bool shown);
    bool squareShown_ = false;
    void showReportPage(const std::string& address);
    std::recursive_mutex selectLock_;
    std::vector<platform::ObserverToken> observers_;
    platform::ObserverToken proximityToken_;
    std::map<std::string, platform::ObserverToken> audioTokens_;
    int reloadCount_ = 0;
    int relevantMeViewCount_ = 0;
    int addNewUpDynamicCount_ = 0;
    std::vector<bool> upDynamicResults_;
};
