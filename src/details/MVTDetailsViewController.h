#pragma once

#include "details/MVTCommentCell.h"
#include "details/MVTForwardViewController.h"

#include "composer/MVTFacePanel.h"
#include "core/MVTAudioRecordAndTransCoding.h"
#include "shell/MVTShareViewController.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Timer.h"
#include "platform/UrlRequest.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextView.h"

class AttachmentDownloadOverlay;

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class Button;
class GestureRecognizer;
class ImageView;
class Label;
class ProgressHUD;
class ScrollView;
class Slider;
}  // namespace platform

class myTableView;
class MVTFacialView;
class DetailKindRenderer;

// What the detail screen tells the list that opened it.
class MVTDetailsViewControllerDelegate {
public:
    virtual ~MVTDetailsViewControllerDelegate() = default;
    // The item's dictionary changed (comment, counts, praise, vote): redraw its row.
    virtual void reloadOneCell() = 0;
    // The item is gone from the service (its cached copy already deleted): drop the row.
    virtual void deleteOneCell(int row) = 0;
    // Voice events, sent only when the screen was opened from a feed list (its view's
    // accessibility hint is "feed").
    virtual void toStartHomeAudio() {}
    virtual void toStopHomeAudio() {}
    virtual void toPlayOrStopAudio(bool playing) { (void)playing; }
    virtual void detalsStopAudio() {}
};

// The detail screen of one item (a post of module "feed", or an item of another module):
// the item as the table's header, its comments page by page, the comment input with
// emoticons and (for posts) voice, and the tool bar for praise, comments, forwarding, the
// share link and the report page.
//
// Its opener makes it, then, before its view loads, hands it the item's own dictionary
// (which the screen changes in place), the module, the item's id, the row it came from
// and itself as delegate; it marks the view with tag 1 when it presents the screen
// modally (the back button then dismisses it instead of popping) and with the hint "feed"
// when it opens from a feed list. Every change of the item reaches the service first,
// then the dictionary, the user's cached copy (posts only) and the opener.
class MVTDetailsViewController : public ViewViewController,
                                 public platform::TableViewDataSource,
                                 public platform::TableViewDelegate,
                                 public platform::AlertViewDelegate,
                                 public MVTFacialViewDelegate,
                                 public MVTAudioRecordAndTransCodingDelegate,
                                 public MVTCommentCellDelegate,
                                 public MVTForwardDelegate,
                                 public shareDelegate {
public:
    MVTDetailsViewController();
    ~MVTDetailsViewController() override;
    std::string className() const override { return "MVTDetailsViewController"; }

    static constexpr const char* kToStopDetailsAudio = "toStopDetailsAudio";
    static constexpr const char* kToStopDetailsRecord = "toStopDetailsRecord";
    static constexpr int kModalTag = 1;
    static constexpr int kDeletedAlertTag = 4321;
    static constexpr int kJoinClassAlertTag = 10010;
    static constexpr int kDeleteAlertTag = 6543;
    static constexpr int kDeleteCommentAlertTag = 1234;
    static constexpr int kDeletedPostAlertTag = 5432;
    // Sheet of the picture viewer's copy (the base screen's).
    static constexpr int kSaveSheetTag = 1000;
    static constexpr int kPageSize = 15;
    static constexpr int kPictureScrollTag = 8998;
    static constexpr int kSeparatorTag = 110;
    static constexpr int kStripLabelTag = 111;
    static constexpr int kToolLabelTag = 111;
    static constexpr int kTouchDownTag = 222;
    static constexpr double kPostCommentTimeout = 30;
    static constexpr double kMaxPictures = 9;
    static constexpr std::size_t kMaxSharePictures = 3;
    // The fixed text of the share link's key.
    static constexpr const char* kShareKeySalt = "Kq5TrwBz2LnxP7d";
    // Defaults key: the user last chose voice input for comments.
    static constexpr const char* kIsTextKey = "istext";

    // ---- Opening contract
    std::shared_ptr<platform::Json> myDict() const { return myDict_; }
    void setMyDict(std::shared_ptr<platform::Json> item) { myDict_ = std::move(item); }
    const std::string& modelName() const { return modelName_; }
    void setModelName(const std::string& name) { modelName_ = name; }
    const std::string& modelID() const { return modelID_; }
    void setModelID(const std::string& id) { modelID_ = id; }
    const std::string& selfIndexStr() const { return selfIndexStr_; }
    void setSelfIndexStr(const std::string& row) { selfIndexStr_ = row; }
    // Held weakly: the opener owns this screen while it shows.
    std::shared_ptr<MVTDetailsViewControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<MVTDetailsViewControllerDelegate>& delegate) { delegate_ = delegate; }

    // ---- Lifecycle and loading
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    // getLikeAndCommentCount: the item's counts, then the first comment page.
    void getLikeAndCommentCount();
    // initData: the next comment page (the first while there are no rows); the footer's action.
    void initData();
    void initmytableview();
    void showClickMore(bool more);
    void showHUDWithBool(bool show);
    // shareResult: the toast of every short result message of the screen.
    void shareResult(const std::string& text) override;
    void chooseNamed(const platform::Json& user) override;
    void goback();
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    // Join-a-class check: true (and the alert, tag 10010) when the user belongs to no class.
    bool needsClass();

    // ---- Header
    void createHeadView();
    void reloadHeadView();
    void creatFooterView();
    void changeCommentCountFrameWith(const std::string& count);
    void createImagePageViewWith(platform::View& view, int count, double y);
    void showWhichImagePageWith(int page);
    void handleLong(platform::GestureRecognizer& recognizer);
    void readyToCopyContent();
    void copyContentString();
    void clickHeadBtn();
    void toDeleteDetailsCell();
    // Deletes the post on the service and tells the feed lists, which drop their rows.
    void toDeleteInfo();
    // The forwarded post: its text, then the outer post's pictures (up to 3 pages), first
    // voice, files and links; a forwarded post that is gone is one 44-point line.
    std::shared_ptr<platform::View> showShareWithDic(const platform::Json& share, double y);
    void scrollViewDidEndDecelerating(platform::ScrollView& scrollView) override;

    // ---- Voice player and praisers strip
    static std::string returnAudioPath(const std::string& resourceId);
    void setRecordBtnWith(bool playing);
    void toRewindOrForward(platform::Button& button);
    void changingSliderValue();
    void toChangeValueForAudio();
    void toShowDetailsProgress(const platform::Notification& notification);
    void showPrasieNameWith(double y);
    void newLike();
    void toShowMoreMember();
    void selfplayrecord(platform::Button& button);
    void toStopDetailsRecord();
    void toStopDetailsAudio();

    // ---- Comment input and recording
    void initButtomView();
    void vedioClick();
    // textView:shouldChangeTextInRange:replacementText: of the comment text.
    bool textViewShouldChangeText(platform::Range range, const std::string& replacement);
    void changeButtomViewFrame();
    void keyboardWillShow(const platform::Notification& notification);
    void hideKeyboard();
    void faceBtClick();
    void selectedFacialView(const std::string& token) override;
    void sendMessage() override;
    void sendButton();
    void touchesBegan(const platform::Touches& touches) override;
    void touchesMoved(const platform::Touches& touches) override;
    void touchesEnded(const platform::Touches& touches) override;
    void showRecoding();
    void levelTimerCallBack();
    void wavToAmrComplete() override;
    void toSendCommentForDynamic();
    void toSendCommentOtherPersonWith(const platform::Json& comment);
    void toWhom();
    void toSender();
    void toSendVedio(const std::optional<std::string>& resourceId, int row) override;

    // ---- Tool bar
    void createButtomToolView();
    void whichButtomBtnClicked(platform::Button& button);
    void toForwardViewController();
    void showTurnSuccessWith(const std::string& text) override;
    void sendBtnClicked(platform::Button& sender);
    void reportFeedWithWeb();
    void praiseBtnClicked(platform::Button& button);
    // ---- Comment actions, votes, attachments and links
    void selectWhichCell(int row);
    void toSendDeleteCellWith(const std::string& commentId);
    void reportWithWeb();
    void toSendVoteWith(const std::string& postId, const std::string& voteId, const std::string& answerIds,
                        int row) override;
    void toRefreshVoteWith(const std::string& postId, const std::string& voteId, int row) override;
    void toDownLoadAttachWith(const std::string& resourceId, const std::string& name, const std::string& type) override;
    void sendLinkWith(const std::string& url, const std::string& title) override;
    std::shared_ptr<AttachmentDownloadOverlay> attachmentOverlay() const { return attachments_; }
    int selectIndex() const { return selectIndex_; }
    bool isSelf() const { return isSelf_; }
    const std::string& detailsFeedId() const { return detailsFeedId_; }
    const std::string& shareImageData() const { return shareImageData_; }
    // The tool bar's titles for an item and viewer, in order.
    static std::vector<std::string> toolTitlesFor(const platform::Json& item, const std::string& userId);
    // The share link's key: uppercase MD5 of the item id and the fixed text.
    static std::string shareKeyFor(const std::string& itemId);
    // The share dictionary of an item (without the pictures).
    static platform::Json shareDictionaryFor(const platform::Json& item, const std::string& plainText);

    // ---- Table
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;

    // ---- State (tests and the road)
    const std::vector<platform::Json>& dataArray() const { return dataArray_; }
    const std::vector<std::string>& stateArr() const { return stateArr_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::View> headView() const { return headView_; }
    std::shared_ptr<platform::Button> footerBtn() const { return footerBtn_; }
    std::shared_ptr<platform::ImageView> buttomView() const { return buttomView_; }
    std::shared_ptr<platform::ImageView> buttomToolView() const { return buttomToolView_; }
    std::shared_ptr<platform::Label> buttomLa() const { return buttomLa_; }
    std::shared_ptr<platform::TextView> messageTextView() const { return messageTextView_; }
    std::shared_ptr<platform::Button> vedioBt() const { return vedioBt_; }
    std::shared_ptr<platform::Button> faceBt() const { return faceBt_; }
    std::shared_ptr<platform::ImageView> vedioImageView() const { return vedioImageView_; }
    std::shared_ptr<platform::View> recordingView() const { return recordingView_; }
    std::shared_ptr<platform::View> touchDownView() const { return touchDownView_; }
    std::shared_ptr<MVTFacialView> myFaceView() const { return myFaceView_; }
    std::shared_ptr<platform::Label> adjustlb() const { return adjustlb_; }
    std::shared_ptr<platform::Button> headPraiseBtn() const { return headPraiseBtn_; }
    std::shared_ptr<platform::Button> recordBtn() const { return recordBtn_; }
    std::shared_ptr<platform::Slider> prossSlider() const { return prossSlider_; }
    std::shared_ptr<platform::Label> currentLa() const { return currentLa_; }
    std::shared_ptr<platform::Button> nameMember() const { return nameMember_; }
    std::shared_ptr<platform::View> imagePageBgView() const { return imagePageBgView_; }
    std::shared_ptr<platform::View> whomView() const { return whomView_; }
    std::shared_ptr<platform::ProgressHUD> HUD() const { return HUD_; }
    std::shared_ptr<platform::Label> toastLabel() const { return toastLabel_; }
    const platform::Timer* levelTimer() const { return timer_.get(); }
    const std::string& HCStr() const { return HCStr_; }
    const std::string& SHStr() const { return SHStr_; }
    const std::string& nameString() const { return nameString_; }
    void setNameString(const std::string& names) { nameString_ = names; }
    const std::string& msgString() const { return msgString_; }
    const std::string& replyId() const { return replyId_; }
    const std::string& vedioPath() const { return vedioPath_; }
    const std::string& bgVedioStr() const { return bgVedioStr_; }
    const std::string& shareUrl() const { return shareUrl_; }
    const std::string& reportUrl() const { return reportUrl_; }
    int messageType() const { return messageType_; }
    int allLength() const { return allLength_; }
    int nowPlay() const { return nowPlay_; }
    void setNowPlay(int value) { nowPlay_ = value; }
    bool changing() const { return changing_; }
    bool isSubmitting() const { return isSubmitting_; }
    bool vedioing() const { return vedioing_; }
    bool isShare() const { return isShare_; }
    bool isDecoration() const { return isDecoration_; }
    const platform::Rect& longRect() const { return longRect_; }
    const platform::Json& imageArray() const { return imageArray_; }
    const std::shared_ptr<platform::Json>& lastShareDictionary() const { return lastShare_; }

private:
    static std::string userId();
    static void banner(int kind);
    bool isFeed() const { return modelName_ == "feed"; }
    platform::Json& item();
    void sendJson(platform::UrlRequest request, std::function<void(MVTDetailsViewController&, const platform::Json&)> done,
                  std::function<void(MVTDetailsViewController&)> failed);
    // No network for the counts or a comment page.
    void openedOffline();
    void stateReplied(const platform::Json& reply);
    void pageReplied(const platform::Json& reply);
    void commentStored(const platform::Json& row);
    void postCommentReplied(const platform::Json& reply, bool voice);
    void otherCommentReplied(const platform::Json& reply);
    void endSubmitting();
    void showToolBar();
    void closeInput();
    void stopLevelTimer();
    bool recordButtonContains(const platform::Touch& touch) const;
    double screenHeight() const;
    void addVoicePlayer(platform::View& host, double& y, bool withPictures, const platform::Json& voice);
    double addPictures(platform::View& host, double y, std::size_t most);
    void relayoutHeader(double height);
    void stopCommentRow();
    void downloadVoice(const std::string& resourceId, std::function<void(MVTDetailsViewController&)> then);
    void showDetailsAlert(const std::string& title, const std::string& message);
    void praiseReplied(const platform::Json& reply);
    void voteReplied(const platform::Json& reply, const std::string& postId, const std::string& failure);
    void firstPictureForShare();

    std::shared_ptr<platform::Json> myDict_;
    std::string modelName_;
    std::string modelID_;
    std::string selfIndexStr_;
    std::weak_ptr<MVTDetailsViewControllerDelegate> delegate_;

    std::shared_ptr<myTableView> mytableview_;
    std::vector<platform::Json> dataArray_;
    std::vector<std::string> stateArr_;
    std::string module_;
    std::string moduleId_;
    std::string replyId_;
    std::string commentName_;
    std::string HCStr_;
    std::string SHStr_;
    std::string nameString_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
    std::shared_ptr<platform::Button> leftBtn_;
    std::shared_ptr<platform::Label> toastLabel_;

    // Header
    std::shared_ptr<platform::View> headView_;
    std::shared_ptr<platform::Button> footerBtn_;
    std::string detailsFeedId_;
    std::string msgString_;
    platform::Rect longRect_;
    bool isDecoration_ = false;
    bool isShare_ = false;
    platform::Json imageArray_ = platform::Json::array();
    std::shared_ptr<platform::View> imagePageBgView_;
    std::shared_ptr<platform::Label> adjustlb_;
    std::shared_ptr<platform::Button> headCommentBtn_;
    std::shared_ptr<platform::Button> headPraiseBtn_;
    std::shared_ptr<DetailKindRenderer> renderer_;

    // Voice player and praisers
    std::shared_ptr<platform::Button> recordBtn_;
    std::shared_ptr<platform::ImageView> loadView_;
    std::shared_ptr<platform::Slider> prossSlider_;
    std::shared_ptr<platform::Label> currentLa_;
    int allLength_ = 0;
    int nowPlay_ = 0;
    bool changing_ = false;
    std::string bgVedioStr_;
    std::shared_ptr<platform::Button> nameMember_;
    bool isCommentVedio_ = false;
    int CommentVedioTag_ = 0;

    // Input bar and recording
    std::shared_ptr<platform::ImageView> buttomView_;
    std::shared_ptr<platform::TextView> messageTextView_;
    std::shared_ptr<MVTFacialView> myFaceView_;
    std::shared_ptr<platform::View> touchDownView_;
    std::shared_ptr<platform::View> whomView_;
    double keyBoardH_ = 0;
    std::shared_ptr<platform::Button> vedioBt_;
    std::shared_ptr<platform::Button> faceBt_;
    std::shared_ptr<platform::ImageView> vedioImageView_;
    std::shared_ptr<platform::View> recordingView_;
    std::shared_ptr<MVTAudioRecordAndTransCoding> audioRecord_;
    std::shared_ptr<platform::Timer> timer_;
    std::string vedioPath_;
    std::string sendData_;
    int messageType_ = 1;
    bool vedioStart_ = false;
    bool vedioing_ = false;
    bool isSubmitting_ = false;

    // Comment actions and attachments
    int selectIndex_ = 0;
    bool isSelf_ = false;
    std::shared_ptr<AttachmentDownloadOverlay> attachments_;

    // Tool bar
    std::shared_ptr<platform::ImageView> buttomToolView_;
    std::shared_ptr<platform::Label> buttomLa_;
    std::string shareImageData_;
    std::string shareUrl_;
    std::string reportUrl_;
    std::shared_ptr<platform::Json> lastShare_;

    std::vector<platform::ObserverToken> observers_;
    platform::ObserverToken keyboardToken_;
    std::map<std::string, platform::ObserverToken> downloadTokens_;
    std::shared_ptr<DetailsTextDelegate> textDelegate_;
};
