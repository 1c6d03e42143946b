#pragma once

// The frame of the notice and homework composers, never shown by itself: a table above a
// bottom bar with the publish button and the record button, the text box, the picture
// strip (at most nine pictures, in memory), the voice row with hold-to-record and
// playback, and the send-state protocol through which a subclass's send waits for the
// voice conversion and the album pictures and is resumed once when they are done.
//
// A subclass supplies the title, the table's rows (placing textView(), picView() and
// vedioView() in them), keyboard handling, leaving, alert handling and the send itself.
// Its send follows the protocol: ignore it while `issending` or `isSubmitting`; after its
// own checks set `issending`, disable the sender and ask readyToSend(); when that answers
// false, set `complete` false and `issending` false and stop (the base calls
// sendBtnClicked(nullptr) once when the last conversion or picture ends); otherwise set
// `complete` true and send.

#include "core/MVTAudioRecordAndTransCoding.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Timer.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class myTableView;
namespace platform {
class AudioPlayer;
class Button;
class ImageView;
class Label;
class ProgressHUD;
class ScrollView;
class TextView;
class View;
}  // namespace platform

class MVTAddEssayViewController : public ViewViewController,
                                  public platform::TableViewDataSource,
                                  public platform::TableViewDelegate,
                                  public platform::AlertViewDelegate,
                                  public platform::ImagePickerControllerDelegate,
                                  public platform::AssetsPickerControllerDelegate,
                                  public MVTAudioRecordAndTransCodingDelegate {
public:
    static constexpr int kMaxPictures = 9;
    static constexpr int kPlaceholderTag = 100;
    static constexpr int kMeterOverlayTag = 10086;
    static constexpr int kReleaseToCancelTag = 10010;
    static constexpr int kDeleteVoiceTag = 1111;
    static constexpr double kSlotPitch = 90;

    // One picture slot: the picture, or, until an album picture has loaded, its album item.
    struct Picture {
        platform::ImageRef image;
        std::optional<platform::PickedAsset> asset;
        // Names the slot for its loading picture, whatever slot it has moved to.
        int serial = 0;
    };

    ~MVTAddEssayViewController() override;
    std::string className() const override { return "MVTAddEssayViewController"; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void initmyTableView();
    void getbottomView();
    // Whether the bottom bar places its camera and album buttons (no by default).
    virtual bool placesPictureButtons() const { return false; }
    // textView: the text box, made on the first call.
    std::shared_ptr<platform::TextView> textView();
    // picView: the picture strip, made on the first call.
    void picView();
    // vedioView: the voice row, made on the first call.
    void vedioView();

    // ---- Supplied by the subclass ----
    virtual void sendBtnClicked(platform::Button* sender) { (void)sender; }
    virtual void goback() {}
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override {
        (void)alert;
        (void)index;
    }
    virtual void keyboardWillShow(const platform::Notification& notification) { (void)notification; }
    virtual void keyboardWillHidden(const platform::Notification& notification) { (void)notification; }
    virtual void keyboardChange(const platform::Notification& notification) { (void)notification; }
    virtual void removeKeyBoard() {}
    int numberOfRowsInSection(platform::TableView& tableView, int section) override {
        (void)tableView;
        (void)section;
        return 0;
    }
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;

    // ---- Pictures ----
    void takePhoto();
    void getPhotoLibrary();
    void imagePickerControllerDidFinishPickingMedia(platform::ImagePickerController& picker,
                                                    const platform::PickedMediaInfo& info) override;
    void imagePickerControllerDidCancel(platform::ImagePickerController& picker) override;
    void assetsPickerControllerDidFinishPickingAssets(platform::AssetsPickerController& picker,
                                                      const std::vector<platform::PickedAsset>& assets) override;
    // deleteImage: removes the slot that holds the remove button.
    void deleteImage(platform::View& removeButton);
    void putImageViews();

    // ---- Voice ----
    void touchesBegan(const platform::Touches& touches) override;
    void touchesMoved(const platform::Touches& touches) override;
    void touchesEnded(const platform::Touches& touches) override;
    void touchesCancelled(const platform::Touches& touches) override;
    void levelTimerCallBack();
    void playVedio();
    void playAgain();
    void deleteVedio();
    void audioPlayerDidFinishPlaying(bool successfully);
    void audioPlayerBeginInterruption();
    void wavToAmrComplete() override;

    // ---- Send-state protocol ----
    // True when the take (if any) is converted and every album picture has loaded.
    bool readyToSend() const;
    // The common start of a subclass's send once its own checks passed: the title input
    // (may be null) and the text stop editing, the send is marked running, the publish
    // button is disabled and "正在发送" covers the screen (a send resumed after a wait keeps
    // the overlay of its first run). Answers false, with the send marked waiting
    // (`complete` and `issending` false), while a take converts or a picture loads; then
    // the base resumes the send once. True: `complete` is set and the request may go.
    bool startSend(platform::View* titleInput);
    // The end of a send, whatever its outcome: the publish button reacts again and the
    // overlay leaves.
    void finishSend();
    std::shared_ptr<platform::ProgressHUD> sendingHUD() const { return sendingHUD_; }

    // ---- Fields ----
    std::shared_ptr<myTableView> addTableView;
    std::shared_ptr<platform::TextView> mytextView;
    std::shared_ptr<platform::Label> recordLabel;
    std::shared_ptr<platform::ScrollView> picScrollView;
    std::shared_ptr<platform::ImageView> vedioImageView;
    std::shared_ptr<platform::View> buttomview;
    std::shared_ptr<platform::View> hidKeyBoardView;
    std::shared_ptr<platform::ImageView> myvedioView;
    std::string vedioPath;
    std::string lastVedio;
    std::shared_ptr<MVTAudioRecordAndTransCoding> audioRecord;
    std::shared_ptr<platform::AudioPlayer> myplayer;
    bool vedioing = false;
    int picNum = 0;
    float textHeight = 0;
    std::shared_ptr<platform::Button> tempBtn;
    platform::TimerRef timer;
    std::shared_ptr<platform::ImageView> animationView;
    bool issending = false;
    bool complete = false;
    std::vector<Picture> imageArray;
    // The number of recipients a subclass counts.
    int numcount = 0;
    // A submission is under way: presses on the screen are ignored.
    bool isSubmitting = false;
    // The bar's buttons: publish, and the camera and album buttons it makes.
    std::shared_ptr<platform::Button> publishButton;
    std::shared_ptr<platform::Button> cameraButton;
    std::shared_ptr<platform::Button> albumButton;

protected:
    // Resumes a send that waited, once, when nothing is left to wait for.
    void resumeWaitingSend();
    std::shared_ptr<platform::View> meterOverlay() const;

private:
    void addSlot(int slot, const platform::ImageRef& shown);
    void afterPicturesAdded();
    void pictureLoaded(int serial, const platform::ImageRef& image);
    bool onRecordButton(const platform::Touch& touch) const;
    void stopMeterTimer();
    void dropPlayer();

    std::vector<platform::ObserverToken> observers_;
    std::shared_ptr<platform::ProgressHUD> sendingHUD_;
    bool gone_ = false;
    int nextSerial_ = 1;
};
