#pragma once

// The frame the three post composers share (text and picture, voice, picture and text):
// one set of fields and operations, the differences decided by `kind()`. A composer
// checks the post, builds a PendingPost and hands it to the application delegate's upload
// queue, then closes; the queue sends it, keeps it as unsent when that fails and tells the
// home feed.
//
// Pictures: each picture gets a cell, a place in imageArray and a file path the moment it
// arrives, all three in slot order; its file is made on the background queue. A path is
// never one that exists or is taken by another picture, so two pictures of the same second
// never share a file. The waiting overlay, and a send, wait until every file is made.

#include "composer/MVTFacePanel.h"
#include "composer/MVTPostListViewController.h"
#include "composer/ShowPicViewController.h"
#include "core/MVTAudioRecordAndTransCoding.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Timer.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImagePickerController.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace platform {
class Button;
class ImageView;
class Label;
class ProgressHUD;
class ScrollView;
class TextView;
class TextViewDelegate;
class View;
}  // namespace platform
class EmojView;

class MVTPostComposerViewController : public ViewViewController,
                                      public platform::AlertViewDelegate,
                                      public platform::ImagePickerControllerDelegate,
                                      public platform::AssetsPickerControllerDelegate,
                                      public MVTFacialViewDelegate,
                                      public MVTPostListDelegate,
                                      public showPicDelegate,
                                      public MVTAudioRecordAndTransCodingDelegate {
public:
    enum class Kind { Feed, Record, Pic };

    // Tags of the screen's views and alerts.
    static constexpr int kHairlineTag = 10000;
    static constexpr int kPlaceholderTag = 100;
    static constexpr int kAddButtonTag = 100000;
    static constexpr int kPermissionLabelTag = 1;
    static constexpr int kPictureSheetTag = 1;
    static constexpr int kPermissionSheetTag = 100;
    static constexpr int kLeaveAlertTag = 888;
    static constexpr int kEmojiButtonTag = 1;
    static constexpr int kMaxPictures = 9;
    static constexpr int kMaxLength = 1000;
    static constexpr double kFacePanelHeight = 216;
    static constexpr double kKeyboardBarHeight = 40;

    MVTPostComposerViewController();
    ~MVTPostComposerViewController() override;
    std::string className() const override { return "MVTPostComposerViewController"; }
    virtual Kind kind() const = 0;

    // ---- Creation and screen ------------------------------------------------------------
    // initWithImage:isTaShowImage: a picture (or nothing) to start with; YES opens in
    // picture mode even without a picture.
    void initWithImage(platform::ImageRef image, bool isTaShowImage);
    // initWithMutableImages: the album pictures chosen before opening, taken as they are;
    // their pictures are read on the background queue.
    void initWithMutableImages(const std::vector<platform::PickedAsset>& assets);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    // initMyView: the scroll view's blocks anew.
    void initMyView();
    // The bgView operation: the bottom bar (publish bar, or the record bar of the picture
    // composer).
    void makeBottomBar();
    // textView: the text view, made once, then sized.
    void textView();
    // fitTheText: refits the text view and the blocks under it.
    void fitTheText();
    // fitTheView: the scroll view's content height (with room for a panel when YES).
    void fitTheView(bool withPanel);
    // The caret scroll rule: keeps the caret line above a keyboard or panel of 216 points.
    void scrollToCaret();
    // goback: leaves, asking "放弃此次编辑?" first when something was entered.
    void goback();
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    // showHUDWithBool: the picture waiting overlay.
    void showHUDWithBool(bool show);
    // The minimum height of the text view.
    double minimumTextHeight() const;
    // The text (empty for a composer without a text view).
    std::string text() const;

    // ---- Sending ------------------------------------------------------------------------
    // sendBtnClicked: checks, then hands the post to the upload queue and closes. `sender`
    // is the send control, or nullptr when a waiting send is repeated.
    void sendBtnClicked(platform::Button* sender);
    void wavToAmrComplete() override;
    // The post as it would be handed over now.
    nlohmann::json pendingPost() const;
    // The send control (publish button or the bar's "发送").
    std::shared_ptr<platform::Button> sendControl() const { return sendButton_; }

    // ---- Visibility ---------------------------------------------------------------------
    // myPermissionView: the row at `top` (text and voice composers); once only.
    void myPermissionView(double top);
    // myPermissionView: the picture composer's row; once only.
    void myPermissionView();
    // choosePermission: the role's audiences in a sheet (tag 100).
    void choosePermission();
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;
    // The audiences of the user's role, in sheet order; empty for a role that has none.
    static std::vector<std::string> permissionTitles(const std::string& role);

    // ---- Pictures -----------------------------------------------------------------------
    void putFirstImage(const platform::ImageRef& image);
    void putFirstImageArr(const std::vector<platform::PickedAsset>& assets);
    void picView();
    void putImageViews();
    // addnewPic: the picture-source sheet (tag 1).
    void addnewPic();
    void takePhoto();
    void getPhotoLibrary();
    void imagePickerControllerDidFinishPickingMedia(platform::ImagePickerController& picker,
                                                    const platform::PickedMediaInfo& info) override;
    void imagePickerControllerDidCancel(platform::ImagePickerController& picker) override;
    void assetsPickerControllerDidFinishPickingAssets(platform::AssetsPickerController& picker,
                                                      const std::vector<platform::PickedAsset>& assets) override;
    // toAddCamImageWith: a camera picture into the next slot.
    void toAddCamImageWith(const platform::ImageRef& image);
    // showBigImage: the preview of the cell's picture.
    void showBigImage(int tag);
    void reloadViewWithImageArray(const std::vector<platform::ImageRef>& images) override;
    // Whether some picture's file is still being made.
    bool isLoadingPictures() const { return !loadingPaths_.empty(); }
    // The free path for a camera picture taken at `now` (seconds since 1970).
    std::string cameraPicturePath(double now) const;
    // The free paths of an album batch of `count` pictures arriving at `now`, numbered from
    // picNum + 1 under one stamp.
    std::vector<std::string> albumPicturePaths(double now, int count) const;

    // ---- Text ---------------------------------------------------------------------------
    void keyboardWillShow(const platform::Notification& notification);
    void keyboardChange(const platform::Notification& notification);
    // removeKeyBoard: the bar's done button.
    void removeKeyBoard();
    // initFaceView: the bar's emoticon button swaps keyboard and panel.
    void initFaceView(platform::Button& button);
    // postOther: the mention picker.
    void postOther();
    void selectedFacialView(const std::string& token) override;
    void sendMessage() override;
    void returnList(const nlohmann::json& entry) override;
    void textViewDidBeginEditing();
    bool textViewShouldChangeText(platform::Range range, const std::string& replacement);
    void textViewDidEndEditing();

    // ---- Voice: hold-to-record, joining takes, playback with a tune ------------------------
    // The record button takes no touches itself: touches on its strip or bar reach these.
    void touchesBegan(const platform::Touches& touches) override;
    void touchesMoved(const platform::Touches& touches) override;
    void touchesEnded(const platform::Touches& touches) override;
    void touchesCancelled(const platform::Touches& touches) override;
    // vedioView: the voice bar, made once.
    void vedioView();
    // showRecoding: the meter overlay, made once, then shown.
    void showRecoding();
    // lockAndDelete: the lock/cancel panel, made once, then shown.
    void lockAndDelete();
    // The 0.1-second meter tick.
    void levelTimerCallBack();
    // compeleteRecord: ends the take; refuses one held under 1.1 s (or empty with no clip).
    void compeleteRecord();
    // stopRecord: keeps the first good take as the clip, or joins a later one to it.
    void stopRecord();
    // mixAmr: completes a join once the new take's AMR file is whole.
    void mixAmr();
    // becomeLast: throws the current take away; the clip stays as it was.
    void becomeLast();
    // showVedioTime: the clip's duration in the bar; the take ends.
    void showVedioTime();
    void addHud();
    void removeHUD();
    // playVedio: the clip from its start with the chosen tune, routed by the proximity sensor.
    void playVedio();
    void stopPlay();
    // playAgain: the proximity state changed.
    void playAgain();
    // backgroundVedioView: the music strip (picture composer only), made once.
    void backgroundVedioView();
    // toPlayVedio: a music item was chosen.
    void toPlayVedio(platform::Button& item);
    // deleteVedioNamed: the take's WAV and AMR files.
    void deleteVedioNamed(const std::string& name);
    // deleteallVedio: the clip, its files and the music choice.
    void deleteallVedio();
    // The duration text of a clip of `seconds`, in the unit of this composer.
    std::string durationText(int seconds) const;
    // The record button's picture at rest.
    std::string restPictureName() const;
    // Ends a take still recording (leaving the screen) before its files go.
    void endTakeForLeaving();

    // Music items: titles, pictures and numbers, in strip order.
    static constexpr int kMusicItems = 6;
    static const char* const kMusicTitles[kMusicItems];
    static const char* const kMusicPictures[kMusicItems];
    static constexpr int kLevelBarTag = 100;
    static constexpr int kLevelColumnTag = 101;
    static constexpr int kRecordingPictureTag = 200;

    // ---- Fields ---------------------------------------------------------------------------
    nlohmann::json postListArray = nlohmann::json::array();
    std::shared_ptr<platform::Button> tempBtn;
    std::shared_ptr<platform::ScrollView> myView;
    std::shared_ptr<platform::View> permissionView;
    std::shared_ptr<platform::View> hidKeyBoardView;
    std::shared_ptr<EmojView> myFaceView;
    std::shared_ptr<platform::View> bgView;
    std::shared_ptr<platform::TextView> mytextView;
    std::shared_ptr<platform::ImageView> vedioImageView;
    float pwh = 0;
    std::shared_ptr<platform::View> allPicView;
    std::shared_ptr<platform::ScrollView> bgVedioScroll;
    std::shared_ptr<platform::ImageView> animationView;
    std::shared_ptr<platform::ImageView> myvedioView;
    std::shared_ptr<platform::Label> recordLabel;
    std::shared_ptr<platform::Label> addPiclb;
    std::string vedioPath;
    std::string lastVedio;
    std::string backMusic;
    std::shared_ptr<MVTAudioRecordAndTransCoding> audioRecord;
    int picNum = 0;
    // Full paths of the picture files, in slot order; the preview edits this very list.
    std::shared_ptr<std::vector<std::string>> picPathArr = std::make_shared<std::vector<std::string>>();
    int permissionNum = 0;
    float textHeight = 0;
    bool vedioing = false;
    bool issending = false;
    bool complete = true;
    // One entry a slot: the display picture, or nullptr while it is being made.
    std::vector<platform::ImageRef> imageArray;
    bool isImage = false;
    bool isSaving = false;
    std::shared_ptr<platform::ProgressHUD> hud;
    // Voice take state.
    platform::TimerRef timer;
    platform::TimerRef playerTimer;
    double startTime = 0;
    double oldTime = 0;
    bool islock = false;
    bool unlock = false;
    std::shared_ptr<platform::View> recordingView;
    std::shared_ptr<platform::View> lockAndDeleteView;
    std::shared_ptr<platform::ImageView> lockView;
    std::shared_ptr<platform::ImageView> deleteView;
    std::shared_ptr<platform::ProgressHUD> waitingMB;

protected:
    std::string pageName() const;
    // The picture cell of a slot.
    std::shared_ptr<platform::ImageView> makeCell(int slot);
    // Ends the screen: the page view ends and the screen goes.
    void close();

private:
    void applyPermission(long index);
    // Hands a picture's made file back to the main thread (or removes it when the composer
    // is gone).
    static void deliverPicture(const std::weak_ptr<MVTPostComposerViewController>& weak, const std::string& path,
                               const platform::ImageRef& display, bool written);
    void pictureMade(const std::string& path, const platform::ImageRef& display, bool written);
    void pictureDone(const std::string& path);
    std::vector<std::shared_ptr<platform::ImageView>> cells() const;
    bool pathTaken(const std::string& path) const;
    void addAlbumBatch(const std::vector<platform::PickedAsset>& assets);
    void keyboardBarTo(double top);
    std::string nextDynamicId() const;
    void showAlert(const std::string& message, const std::string& button);

    platform::ImageRef firstImage_;
    std::vector<platform::PickedAsset> firstAssets_;
    std::shared_ptr<platform::Button> sendButton_;
    std::shared_ptr<platform::Button> addButton_;
    std::shared_ptr<platform::View> hairline_;
    std::shared_ptr<platform::Label> placeholder_;
    std::shared_ptr<platform::TextViewDelegate> textDelegate_;
    std::vector<platform::ObserverToken> observers_;
    // Paths whose picture work has not ended yet.
    std::set<std::string> loadingPaths_;
    // A send waits for the pictures or the voice; it runs again when they are done.
    bool sendWaiting_ = false;
    bool closed_ = false;
    platform::TimerRef firstImageTimer_;
    platform::ObserverToken proximityObserver_;
    void stopLevelTimer();
    void hideRecordingViews();
    // Lays the voice bar and the music strip out under the text (picture composers).
    void placeVoiceBar();
};
