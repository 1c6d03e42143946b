#pragma once

// The chat screen: one conversation with one person ("person") or inside a group
// ("forum"). It shows the conversation's rows of the local message table at once, then
// asks the service for newer messages, polls every 10 s while shown, pages back on a pull
// at the top, sends the read mark, and sends texts with faces, pictures and voice, with
// resend, delete, copy and forward.
//
// Opening: make_shared, then setMyDict (at least "uid"; "name", "role", "unreadCount"),
// setMsgType ("person" or "forum"), for a group setForumid and setFieldid, optionally
// setForwardDictionary and setForwardRecetArray, then setTitle with the name. Show it as
// the root of a presented myNavigationController (or pushed on a presented stack); its
// back button dismisses that navigation controller.

#include "chat/ChatMessages.h"
#include "chat/MVTChatCell.h"
#include "chat/MVTKeyinputView.h"
#include "composer/ComposerText.h"
#include "core/MVTAudioRecordAndTransCoding.h"
#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextView.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class myTableView;

namespace platform {
class AudioPlayer;
class Button;
class ImageView;
class Label;
class ProgressHUD;
class Timer;
}  // namespace platform

class MVTChatViewController : public ViewViewController,
                              public platform::TableViewDataSource,
                              public platform::TableViewDelegate,
                              public platform::AlertViewDelegate,
                              public platform::ImagePickerControllerDelegate,
                              public chatCellDelegate,
                              public MVTKeyinputViewDelegate,
                              public MVTAudioRecordAndTransCodingDelegate,
                              public EGORefreshTableHeaderDelegate {
public:
    MVTChatViewController();
    ~MVTChatViewController() override;
    std::string className() const override { return "MVTChatViewController"; }

    static constexpr const char* kPageName = "私信";
    static constexpr const char* kChatReaded = "chatReaded";
    static constexpr const char* kReloadTimer = "reloadTimer";
    static constexpr const char* kGoBackWhenRoleIsParent = "goBackWhenRoleIsParent";
    static constexpr const char* kIsTextKey = "istext";
    static constexpr double kPollInterval = 10.0;
    static constexpr double kHeaderCloseDelay = 3.0;
    static constexpr double kSendTimeout = 30.0;
    static constexpr double kLevelInterval = 0.1;
    static constexpr double kNoticeSeconds = 0.5;
    static constexpr double kMinimumRowHeight = 64;
    static constexpr double kEstimatedRowHeight = 80;
    static constexpr int kTableTag = 101;
    static constexpr long kResendAlertTag = 11;
    static constexpr long kJoinClassAlertTag = 10010;
    static constexpr int kTextMessage = 1, kPictureMessage = 2, kVoiceMessage = 3;

    // ---- Opening contract
    const platform::Json& myDict() const { return myDict_; }
    void setMyDict(const platform::Json& dict) { myDict_ = dict; }
    const std::string& msgType() const { return msgType_; }
    void setMsgType(const std::string& type) { msgType_ = type; }
    const std::optional<std::string>& forumid() const { return forumid_; }
    void setForumid(std::optional<std::string> id) { forumid_ = std::move(id); }
    const std::string& fieldid() const { return fieldid_; }
    void setFieldid(const std::string& id) { fieldid_ = id; }
    void setForwardDictionary(const platform::Json& message) { forwardDictionary_ = message; }
    const platform::Json& forwardRecetArray() const { return forwardRecetArray_; }
    void setForwardRecetArray(const platform::Json& rows) { forwardRecetArray_ = rows; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // ---- Conversation (loading, polling, paging, read mark)
    void selectDataBase();
    // nullopt: the first page; "minIdNotIncludeSelf": newer; "maxIdNotIncludeSelf": older.
    void getDataObjects(const std::optional<std::string>& mode);
    void refreshData();
    void becomeRead();
    void initmytableview();
    void scrollViewToEnd();

    // ---- Sending and message actions
    void sendButton();
    void reSend();
    void forwardMsg();
    void deleteMsg();
    void pasteString();

    // ---- Voice
    void touchesBegan(const platform::Touches& touches) override;
    void touchesMoved(const platform::Touches& touches) override;
    void touchesEnded(const platform::Touches& touches) override;
    void showRecoding();
    void levelTimerCallBack();
    void wavToAmrComplete() override;
    void stopPlay();
    void initShowAlertLabel(const std::string& text);

    // ---- Input bar and frame
    void vedioClick();
    void emojiBtClick();
    void addBtClick();
    void hideKeyboard();
    void changeButtomViewFrame();
    void groupDetail();
    void goback();
    void saveImageToDocuments();

    // MVTKeyinputViewDelegate
    void imageClick() override;
    void selectedFacialView(const std::string& token) override;
    void sendMessage() override;

    // chatCellDelegate
    void chooseNamed(const platform::Json& person) override;
    void showImage(const platform::Json& attachments, int index) override;
    void playRecord(const std::optional<std::string>& resModuleId, platform::Button& button) override;
    void toDownLoadAudioWith(platform::Button& button) override;
    void longPressGestureWith(const std::string& messageId, const platform::Json& message, int index) override;
    void reSendMessage(platform::Button& mark) override;

    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;
    void imagePickerControllerDidFinishPickingMedia(platform::ImagePickerController& picker,
                                                            const platform::PickedMediaInfo& info) override;
    void imagePickerControllerDidCancel(platform::ImagePickerController& picker) override;
    // The text view's delegate calls (through an object of its own).
    void textViewDidBeginEditing() {}
    bool textViewShouldChangeText(platform::Range range, const std::string& replacement);
    void textViewDidEndEditing() {}

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    std::string heightKeyForRowAtIndexPath(platform::TableView& tableView,
                                           const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewWillBeginDragging(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;

    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;

    // ---- State, for tests and the benchmark
    const ChatMessages& dataArray() const { return dataArray_; }
    const std::string& minIdNotIncludeSelf() const { return minIdNotIncludeSelf_; }
    const std::string& maxIdNotIncludeSelf() const { return maxIdNotIncludeSelf_; }
    bool refreshing() const { return refreshing_; }
    bool isLoad() const { return isLoad_; }
    int messageType() const { return messageType_; }
    void setMessageType(int type) { messageType_ = type; }
    bool isPolling() const { return refreshTimer_ != nullptr; }
    const std::string& vedioPath() const { return vedioPath_; }
    void setVedioPath(const std::string& name) { vedioPath_ = name; }
    const std::string& imagePath() const { return imagePath_; }
    void setSendData(std::string bytes) { sendData_ = std::move(bytes); }
    bool vedioStart() const { return vedioStart_; }
    bool isPlay() const { return isPlay_; }
    double keyBoardH() const { return keyBoardH_; }
    std::shared_ptr<myTableView> tableView() const { return mytableview_; }
    std::shared_ptr<platform::TextView> messageTextView() const { return messageTextView_; }
    std::shared_ptr<platform::View> buttomView() const { return buttomView_; }
    std::shared_ptr<platform::ImageView> vedioImageView() const { return vedioImageView_; }
    std::shared_ptr<platform::Button> vedioBt() const { return vedioBt_; }
    std::shared_ptr<platform::Button> addBt() const { return addBt_; }
    std::shared_ptr<platform::Button> sendBt() const { return sendBt_; }
    std::shared_ptr<MVTKeyinputView> keyinputView() const { return keyinputView_; }
    std::shared_ptr<platform::View> recordingView() const { return recordingView_; }
    std::shared_ptr<platform::Label> showAlertLabel() const { return showAlertLabel_; }
    std::shared_ptr<platform::Button> currentPlayBtn() const { return currentPlayBtn_; }
    std::shared_ptr<MVTAudioRecordAndTransCoding> audioRecord() const { return audioRecord_; }
    const platform::Json& selectChatDic() const { return selectChatDic_; }

    // The newer-than id to send now: the service id of the newest message of the other
    // side, else of the newest confirmed message; nothing while only temporary rows exist.
    static std::optional<std::string> newerThanId(const ChatMessages& rows);
    // A temporary id: one more than the newest shown sendTime, or the current time.
    std::int64_t temporaryId() const;

private:
    struct PendingSend {
        std::int64_t rowId = -1;
        std::string temporaryTime;
        std::string attachmentType;
        std::string duration;
        std::string recording;  // the recording the send carries (voice only)
        bool resend = false;
    };

    std::string conversationKey() const;
    std::string userId() const;
    ChatMessages conversationRows() const;
    // Refills dataArray from the table when it holds rows; sorts and computes the ids.
    void refillFromTable();
    void computeIds();
    void sortDataArray();
    platform::Json temporaryRow(std::int64_t id, const std::string& text, const platform::Json& attachments) const;
    // Stores a temporary row; a row the table refuses (its id taken) moves to the next free id.
    std::int64_t storeTemporaryRow(platform::Json& row);
    void markFailed(std::int64_t rowId);
    void startSend(const PendingSend& pending, const std::string& text, const platform::Json& attachment,
                   const std::string& fileBytes);
    void sendFinished(const PendingSend& pending, const platform::Json& reply);
    void sendFailed(const PendingSend& pending);
    std::string sendUrl() const;
    void buildInputBar();
    void setVoiceMode(bool on);
    void fetchNewerLater();
    void closeRefreshHeader();
    void stopLevelTimer();
    void didDownloadAudio(const std::string& resourceId, const std::string& outcome);
    void showJoinClassAlert();
    void toDeleteSelectChat();
    void deleteSuccess();
    void failToDelete();

    platform::Json myDict_ = platform::Json::object();
    std::string msgType_;
    std::optional<std::string> forumid_;
    std::string fieldid_;
    platform::Json forwardDictionary_;
    platform::Json forwardRecetArray_ = platform::Json::array();
    ChatMessages dataArray_;
    std::string minIdNotIncludeSelf_;
    std::string maxIdNotIncludeSelf_;
    bool refreshing_ = false;
    bool isLoad_ = true;
    bool reloading_ = false;
    int messageType_ = kTextMessage;
    std::shared_ptr<platform::Timer> refreshTimer_;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;

    // Sending
    std::string sendData_;
    std::string imagePath_;
    std::string vedioPath_;
    platform::Json reSendDict_;
    std::string selectChatId_;
    platform::Json selectChatDic_;
    int selectIndex_ = -1;
    std::shared_ptr<platform::ProgressHUD> hud_;

    // Input bar
    std::shared_ptr<platform::ImageView> buttomView_;
    std::shared_ptr<platform::TextView> messageTextView_;
    std::shared_ptr<platform::Button> vedioBt_, addBt_, sendBt_;
    std::shared_ptr<platform::ImageView> vedioImageView_;
    std::shared_ptr<MVTKeyinputView> keyinputView_;
    double keyBoardH_ = 0;
    bool vedioStart_ = false;
    platform::ObserverToken keyboardToken_;
    std::shared_ptr<composer_text::TextDelegateOf<MVTChatViewController>> textDelegate_;

    // Voice
    bool vedioing_ = false;
    std::shared_ptr<MVTAudioRecordAndTransCoding> audioRecord_;
    std::shared_ptr<platform::Timer> timer_;
    std::shared_ptr<platform::View> recordingView_;
    std::shared_ptr<platform::AudioPlayer> myplayer_;
    std::shared_ptr<platform::Button> currentPlayBtn_;
    std::weak_ptr<platform::Button> flageButton_;
    bool isPlay_ = false;
    std::shared_ptr<platform::Label> showAlertLabel_;
    std::shared_ptr<platform::Timer> showAlertTimer_;
    std::map<std::string, platform::ObserverToken> downloadTokens_;
};
