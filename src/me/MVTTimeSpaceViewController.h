#pragma once

#include "me/MVTPathView.h"
#include "me/MVTTimeSpaceCell.h"

#include "shell/ViewViewController.h"

#include "core/SGdownloader.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class Button;
class ProgressHUD;
}  // namespace platform
class myTableView;
class AttachmentDownloadOverlay;
class MVTChageBgImageViewController;

// The personal space of one user: a timeline of that user's posts, twenty to a page,
// under the space header with the cover, avatar, name, signature and the space's post
// and view counts. The header's own spinner shows the pull-to-refresh.
//
// Opening: make it, call setUserDict with {"id", "name", "role"} (and "uid", which then
// decides whether the space is the signed-in user's own), and present it inside a new
// navigation controller, or push it with the view's accessibility value "push" (back then
// pops). A profile page that pushes it also sets the accessibility hint "personalDetail",
// so the avatar pops back to that profile instead of stacking a new one. Openers never
// open a space of role "system".
//
// In the own space the settings button opens the privacy screen and the cover starts a
// cover change through the cover chooser, which hands back a preview to confirm here. In
// another user's space an add-friend button shows when the two users are not related.
class MVTTimeSpaceViewController : public ViewViewController,
                                   public platform::TableViewDataSource,
                                   public platform::TableViewDelegate,
                                   public platform::AlertViewDelegate,
                                   public MVTPersonDetailDelegate,
                                   public MVTTimeSpaceCellDelegate {
public:
    MVTTimeSpaceViewController();
    ~MVTTimeSpaceViewController() override;
    std::string className() const override { return "MVTTimeSpaceViewController"; }

    static constexpr const char* kPageName = "个人空间";
    static constexpr int kPageSize = 20;
    static constexpr long kApplyAlertTag = 203;
    static constexpr int kCoverSheetTag = 100;
    static constexpr int kDetailViewTag = 111;
    static constexpr int kFooterSpinnerTag = 100;
    static constexpr double kRequestTimeout = 15;
    static constexpr double kCoverUploadTimeout = 30;
    // The defaults key of the last cover version seen for an owner ("%@_spaceBGDateLine").
    static std::string coverVersionKey(const std::string& ownerId);
    // The cover file of an owner: Documents/Downloads/<owner id>_backGround.png.
    static std::string coverFile(const std::string& ownerId);

    const platform::Json& userDict() const { return userDict_; }
    void setUserDict(const platform::Json& user) { userDict_ = user; }
    // Cover preview, set by the cover chooser before it pops back here.
    bool isScanBackGround() const { return isScanBackGround_; }
    void setIsScanBackGround(bool on) { isScanBackGround_ = on; }
    const std::string& imageData() const { return imageData_; }
    void setImageData(const std::string& bytes) { imageData_ = bytes; }
    const std::string& imageId() const { return imageId_; }
    void setImageId(const std::string& id) { imageId_ = id; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    // The own space: "uid" when present, else "id", equals the signed-in user id.
    bool isOwnSpace() const;
    // Refresh from page 1 / the next page (nothing while one runs or in preview).
    void refreshTimeline();
    void loadMore();
    void addFriend();
    void goback();
    void gotoSetting();
    // The confirm bar's buttons.
    void cancelCoverChange();
    void confirmCoverChange();

    // MVTPersonDetailDelegate; the avatar's action arrives up the responder chain.
    void goToPersonDetail() override;
    void goToChageBgImage() override;
    bool performResponderAction(const std::string& action) override;

    // MVTTimeSpaceCellDelegate.
    void sendLinkWith(const std::string& url, const std::string& title) override;
    void toDownLoadAudioWith(const std::string& resourceId, int row) override;
    void toDownLoadAttachWith(const std::string& resourceId, const std::string& name, const std::string& type) override;
    void toSendVoteWith(const std::string& postId, const std::string& voteId, const std::string& answerIds,
                        int row) override;
    void toRefreshVoteWith(const std::string& postId, const std::string& voteId, int row) override;
    void showImage(const platform::Json& pictures, int index) override;
    void playRecord(const std::optional<std::string>& resourceId, int row) override;
    // The notification named after a voice id: "downloadSuccess" or "downloadFailed".
    void didDownloadAudio(const std::string& resourceId, const std::string& outcome);
    // "toStopHomeAudioPlay" and the proximity change.
    void toStopHomeAudioPlay();
    void playAgain();

    // Table.
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    // A row is measured again only when its post or the day above it changed.
    std::string heightKeyForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void willDisplayCell(platform::TableView& tableView, platform::TableViewCell& cell,
                         const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewWillBeginDragging(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;
    void scrollViewDidEndDecelerating(platform::ScrollView& scrollView) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;

    // State read by tests.
    const std::vector<platform::Json>& dataArray() const { return dataArray_; }
    int currentPage() const { return currentPage_; }
    bool isLoading() const { return isLoading_; }
    bool isMoring() const { return isMoring_; }
    bool isHaveMore() const { return isHaveMore_; }
    bool downloading() const { return downloading_; }
    int voiceRow() const { return voiceRow_; }
    const std::string& essayCount() const { return essayCount_; }
    const std::string& viewCount() const { return viewCount_; }
    std::shared_ptr<myTableView> tableView() const { return tableView_; }
    std::shared_ptr<MVTPathView> headView() const { return headView_; }
    std::shared_ptr<platform::Button> loadMoreButton() const { return loadMoreButton_; }
    std::shared_ptr<platform::Button> addFriendButton() const { return addFriendButton_; }
    std::shared_ptr<platform::View> confirmBar() const { return confirmBar_; }
    std::shared_ptr<MVTChageBgImageViewController> chageBgImageViewController() const { return chooser_; }

private:
    enum class FooterState { Active, AllLoaded, Loading };
    void setFooterState(FooterState state);
    void rebuildNavigationBar();
    void showConfirmBar(bool show);
    void handleRefreshReply(const platform::Json& reply);
    void handleMoreReply(const platform::Json& reply);
    void compareCoverVersion(const platform::Json& dateline);
    void fetchCover(const std::string& version);
    void sendFriendApplication(const std::string& script);
    void sendVote(const std::string& method, const std::string& path, const platform::Json& parameters, int row,
                  const std::string& failureTitle);
    void reloadVoiceRow();
    std::optional<platform::Json> previousDateline(int row) const;
    std::shared_ptr<AttachmentDownloadOverlay> downloadOverlay();
    std::string ownerId() const;
    void showHUD(bool show);

    platform::Json userDict_ = platform::Json::object();
    std::vector<platform::Json> dataArray_;
    int currentPage_ = 1;
    bool isLoading_ = false;
    bool isMoring_ = false;
    bool isHaveMore_ = false;
    std::string essayCount_, viewCount_;
    platform::Json status_;
    bool isScanBackGround_ = false;
    std::string imageData_, imageId_;
    bool firstAppearance_ = true;

    bool downloading_ = false;
    std::string vedioStr_;
    int voiceRow_ = 0;

    std::shared_ptr<myTableView> tableView_;
    std::shared_ptr<MVTPathView> headView_;
    std::shared_ptr<platform::Button> loadMoreButton_;
    std::shared_ptr<platform::View> footerView_;
    std::shared_ptr<platform::Button> addFriendButton_;
    std::shared_ptr<platform::View> confirmBar_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
    std::shared_ptr<MVTChageBgImageViewController> chooser_;
    std::shared_ptr<AttachmentDownloadOverlay> overlay_;
    platform::ObserverToken stopToken_;
    platform::ObserverToken proximityToken_;
    std::map<std::string, platform::ObserverToken> audioTokens_;
};
