#pragma once

#include "core/MVTAudioRecordAndTransCoding.h"
#include "homework/HomeworkDelegates.h"
#include "homework/HomeworkScreen.h"

#include "platform/NotificationCenter.h"
#include "platform/UrlRequest.h"
#include "platform/Timer.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/ImagePickerController.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class AudioPlayer;
class Button;
class HttpClient;
class HttpMultipartForm;
class Image;
class ImageView;
class Label;
class ScrollView;
class TextView;
struct Touch;
}  // namespace platform

// The one screen through which homework is written: a teacher or administrator publishes
// a new homework to classes and single students (text, pictures, one voice take); anyone
// else hands in an answer (pictures and one voice take). The mode follows the role.
// Sends one multipart request and leaves the screen after success; everything typed and
// picked stays after a failure.
//
// The voice take: holding the record button of the bottom bar records, with a level meter
// on a panel over the screen; releasing on the button keeps the take (at least a second
// when rounded), releasing off it cancels. A send waits for pictures still loading and for
// the take's AMR file to be complete.
class MVTNHWAddViewController : public HomeworkScreen,
                                public MVTNHWGetStudentsViewDelegate,
                                public MVTAudioRecordAndTransCodingDelegate,
                                public platform::ImagePickerControllerDelegate,
                                public platform::AssetsPickerControllerDelegate,
                                public platform::AlertViewDelegate {
public:
    MVTNHWAddViewController();
    ~MVTNHWAddViewController() override;
    std::string className() const override { return "MVTNHWAddViewController"; }

    static constexpr const char* kPageName = "添加作业";
    static constexpr int kMaxPictures = 9;
    static constexpr double kSendTimeout = 30;
    static constexpr double kLeaveDelay = 0.05;
    static constexpr double kThumbPitch = 85;
    static constexpr double kLevelInterval = 0.1;

    std::shared_ptr<MVTNHWAddViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MVTNHWAddViewDelegate> delegate) { delegate_ = std::move(delegate); }
    const std::string& hwId() const { return hwId_; }
    void setHwId(const std::string& id) { hwId_ = id; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void creatAddPersonBtn();
    void createContentView();
    void getbottomView();
    void createDoneBtn();
    void toDoneKeyboard();
    void keyboardWillShow(const platform::Notification& notification);
    void keyboardWillHidden(const platform::Notification& notification);

    // ---- Recipients (publish mode)
    void toAddNewPerson();
    void didSelectStudentsWith(const std::string& classIds, const std::string& studentIds, int count,
                               const platform::Json& selectClassDic, const platform::Json& selectStudentsDic) override;

    // ---- Pictures
    void takePhoto();
    void getPhotoLibrary();
    void imagePickerControllerDidFinishPickingMedia(platform::ImagePickerController& picker,
                                                    const platform::PickedMediaInfo& info) override;
    void imagePickerControllerDidCancel(platform::ImagePickerController& picker) override;
    void assetsPickerControllerDidFinishPickingAssets(platform::AssetsPickerController& picker,
                                                      const std::vector<platform::PickedAsset>& assets) override;
    void deleteImage(int position);
    void putImageViews(int removedPosition);

    // ---- The voice take
    void touchesBegan(const platform::Touches& touches) override;
    void touchesMoved(const platform::Touches& touches) override;
    void touchesEnded(const platform::Touches& touches) override;
    void touchesCancelled(const platform::Touches& touches) override;
    void levelTimerCallBack();
    void toPalyVideo();
    void closeVideo();
    void audioPlayerDidFinishPlaying(bool successfully);
    void wavToAmrComplete() override;

    // ---- Sending and leaving
    void toSubmit();
    void toPublishHomework();
    void toSubmitHomework();
    void goback();
    void goToRoot();

    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    // ---- State, readable by tests.
    bool isPublishMode() const { return publishMode_; }
    std::shared_ptr<platform::TextView> contentTextView() const { return contentTextView_; }
    std::shared_ptr<platform::Label> contentLa() const { return contentLa_; }
    std::shared_ptr<platform::Label> mindLa() const { return mindLa_; }
    std::shared_ptr<platform::Label> personCountLa() const { return personCountLa_; }
    std::shared_ptr<platform::Button> submitBtn() const { return submitBtn_; }
    std::shared_ptr<platform::Button> doneBtn() const { return doneBtn_; }
    std::shared_ptr<platform::Button> personBtn() const { return personBtn_; }
    std::shared_ptr<platform::ScrollView> picScrollView() const { return picScrollView_; }
    int picNum() const { return picNum_; }
    // Whether picture i has loaded (a library item still loading has not).
    bool pictureLoaded(int position) const;
    std::shared_ptr<platform::Image> pictureAt(int position) const;
    std::shared_ptr<platform::View> thumbnailAt(int position) const;
    std::shared_ptr<platform::Button> videoBtn() const { return videoBtn_; }
    std::shared_ptr<platform::View> buttomview() const { return buttomview_; }
    std::shared_ptr<platform::ImageView> vedioImageView() const { return vedioImageView_; }
    std::shared_ptr<platform::ImageView> videoPalyView() const { return videoPalyView_; }
    std::shared_ptr<platform::Label> duaLa() const { return duaLa_; }
    std::shared_ptr<platform::View> recordPanel() const { return recordPanel_; }
    std::shared_ptr<platform::View> levelView() const { return levelView_; }
    std::shared_ptr<platform::ImageView> cancelHint() const { return cancelHint_; }
    std::shared_ptr<platform::AudioPlayer> myplayer() const { return myplayer_; }
    std::shared_ptr<MVTAudioRecordAndTransCoding> audioRecord() const { return audioRecord_; }
    std::shared_ptr<platform::Timer> timer() const { return timer_; }
    const std::string& vedioPath() const { return vedioPath_; }
    const std::string& lastVedio() const { return lastVedio_; }
    int videoLength() const { return videoLength_; }
    bool vedioing() const { return vedioing_; }
    bool isSubmiting() const { return isSubmiting_; }
    // A send was asked for and waits for pictures or the voice conversion.
    bool isWaitingToSend() const { return waitingToSend_; }
    const std::string& didClassIds() const { return didClassIds_; }
    const std::string& didStudentIds() const { return didStudentIds_; }
    int allSelectCount() const { return allSelectCount_; }
    const platform::Json& selectClassDic() const { return selectClassDic_; }
    const platform::Json& selectStudentsDic() const { return selectStudentsDic_; }
    double topH() const { return topH_; }

    // Whether a publish reply counts as published: its trimmed text is a number other
    // than 0 (the new homework's id). Anything else, an HTML page included, is a failure.
    static bool isPublishedReply(const std::string& body);

private:
    struct PictureEntry {
        unsigned long serial = 0;
        std::shared_ptr<platform::Image> image;        // nullptr while the library item loads
        std::optional<platform::PickedAsset> asset;    // the library item until then
        std::shared_ptr<platform::ImageView> thumbnail;
    };

    void addThumbnail(PictureEntry& entry, int position, std::shared_ptr<platform::Image> shown);
    void afterPictureAdded();
    void pictureLoaded(unsigned long serial, std::shared_ptr<platform::Image> image);
    int positionOf(unsigned long serial) const;
    bool picturesLoading() const;
    void placeVoiceButton();
    void showAlert(const std::string& title, const std::string& message, const std::string& button);
    bool recordButtonContains(const platform::Touch& touch) const;
    void stopPlayback();
    void stopLevelTimer();
    void endTake(bool inside);
    // The checks of the mode; false (with the alert shown) when something is missing.
    bool inputIsComplete();
    // Sends once nothing is loading or converting any more.
    void sendWhenReady();
    void beginSending();
    void endSending();
    // The multipart POST of a send to `url`; nothing, and the send ends with the network
    // banner, while the network is down.
    std::optional<std::pair<std::shared_ptr<platform::HttpClient>, platform::UrlRequest>> sendingRequest(
        const std::string& url, const std::function<void(platform::HttpMultipartForm&)>& build);
    // What a failed send does: the send ends and the alert with the title shows.
    std::function<void()> sendFailed(const std::string& title);
    void sendPublish();
    void sendAnswer();
    void appendMediaParts(platform::HttpMultipartForm& form);
    void stopObservingKeyboard();

    std::weak_ptr<MVTNHWAddViewDelegate> delegate_;
    std::string hwId_;
    bool publishMode_ = false;
    double topH_ = 0;

    std::shared_ptr<platform::TextView> contentTextView_;
    std::shared_ptr<platform::Label> contentLa_;
    std::shared_ptr<platform::Label> mindLa_;
    std::shared_ptr<platform::Label> personCountLa_;
    std::shared_ptr<platform::Button> personBtn_;
    std::shared_ptr<platform::Button> submitBtn_;
    std::shared_ptr<platform::Button> doneBtn_;
    std::shared_ptr<platform::ScrollView> picScrollView_;
    std::vector<PictureEntry> imageArray_;
    unsigned long nextSerial_ = 1;
    int picNum_ = 0;

    std::shared_ptr<platform::Button> videoBtn_;
    std::shared_ptr<platform::ImageView> videoPalyView_;
    std::shared_ptr<platform::Label> duaLa_;
    std::shared_ptr<platform::View> buttomview_;
    std::shared_ptr<platform::ImageView> vedioImageView_;
    std::shared_ptr<platform::View> recordPanel_;
    std::shared_ptr<platform::View> levelView_;
    std::shared_ptr<platform::ImageView> cancelHint_;
    std::string vedioPath_;
    std::string lastVedio_;
    int videoLength_ = 0;
    bool vedioing_ = false;
    std::shared_ptr<MVTAudioRecordAndTransCoding> audioRecord_;
    std::shared_ptr<platform::AudioPlayer> myplayer_;
    std::shared_ptr<platform::Timer> timer_;

    bool isSubmiting_ = false;
    bool waitingToSend_ = false;
    std::string dateline_;
    std::string didClassIds_;
    std::string didStudentIds_;
    int allSelectCount_ = 0;
    platform::Json selectClassArr_ = platform::Json::array();
    platform::Json selectClassDic_ = platform::Json::object();
    platform::Json selectStudentsDic_ = platform::Json::object();

    platform::ObserverToken keyboardShowToken_;
    platform::ObserverToken keyboardHideToken_;
};
