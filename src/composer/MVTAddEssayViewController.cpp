// The composer base of the notice and homework composers: its frame, text box, picture
// strip, bottom bar, voice row with hold-to-record and playback, and the resumption of a
// send that waited.
#include "composer/MVTAddEssayViewController.h"

#include "composer/ComposerScreen.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"
#include "shell/myimagePickerViewController.h"

#include "platform/AudioPlayer.h"
#include "platform/AudioRecorder.h"
#include "platform/AudioRoute.h"
#include "platform/AudioSession.h"
#include "platform/BackgroundQueue.h"
#include "platform/ProximitySensor.h"
#include "platform/RunLoop.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Touch.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

const Color kEssayLevelColour = Color::rgba(0.255, 0.651, 0.859);
constexpr double kEssayMeterInterval = 0.1;
constexpr double kEssayBarHeight = 55;

}  // namespace

MVTAddEssayViewController::~MVTAddEssayViewController() {
    if (timer) timer->invalidate();
}

// ---- Frame --------------------------------------------------------------------------------

void MVTAddEssayViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    auto weak = weakAs<MVTAddEssayViewController>();
    tempBtn = MVTPublicMethod::navigationleftBarButton();
    tempBtn->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(tempBtn));
    picNum = 0;
    initmyTableView();
    getbottomView();
}

void MVTAddEssayViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    gone_ = false;
    if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
    auto weak = weakAs<MVTAddEssayViewController>();
    auto& center = NotificationCenter::defaultCenter();
    observers_.clear();
    observers_.push_back(center.addObserver(kKeyboardWillShowNotification, [weak](const Notification& n) {
        if (auto self = weak.lock()) self->keyboardChange(n);
    }));
    observers_.push_back(center.addObserver(kKeyboardDidShowNotification, [weak](const Notification& n) {
        if (auto self = weak.lock()) self->keyboardWillShow(n);
    }));
    observers_.push_back(center.addObserver(kKeyboardWillHideNotification, [weak](const Notification& n) {
        if (auto self = weak.lock()) self->keyboardWillHidden(n);
    }));
    observers_.push_back(center.addObserver(kProximityStateDidChangeNotification, [weak](const Notification&) {
        if (auto self = weak.lock()) self->playAgain();
    }));
}

void MVTAddEssayViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    stopMeterTimer();
    // A take cannot go on without the screen: it ends before the subclass discards files.
    if (vedioing && audioRecord && audioRecord->recorder() && audioRecord->recorder()->isRecording())
        audioRecord->endRecord();
    vedioing = false;
    if (auto overlay = meterOverlay()) overlay->removeFromSuperview();
    if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
    observers_.clear();
    if (!presentedViewController()) gone_ = true;
}

void MVTAddEssayViewController::initmyTableView() {
    if (addTableView) {
        addTableView->reloadData();
        return;
    }
    const double W = view()->bounds().width(), H = view()->bounds().height();
    addTableView = myTableView::make({0, 0, W, H - kEssayBarHeight - SDH - 44}, TableViewStyle::Plain);
    auto self = weakAs<MVTAddEssayViewController>().lock();
    addTableView->setDataSource(std::static_pointer_cast<TableViewDataSource>(self));
    addTableView->setDelegate(std::static_pointer_cast<TableViewDelegate>(self));
    view()->addSubview(addTableView);
}

std::shared_ptr<TableViewCell> MVTAddEssayViewController::cellForRowAtIndexPath(TableView&, const IndexPath&) {
    auto cell = std::make_shared<TableViewCell>();
    cell->initWithStyle(TableViewCellStyle::Default, "essayCell");
    return cell;
}

void MVTAddEssayViewController::getbottomView() {
    if (buttomview) return;
    const double W = view()->bounds().width(), H = view()->bounds().height();
    auto weak = weakAs<MVTAddEssayViewController>();
    buttomview = std::make_shared<View>(Rect(0, H - kEssayBarHeight - SDH - 44, W, kEssayBarHeight));
    buttomview->setBackgroundColor(Color::whiteColor());

    cameraButton = Button::buttonWithType(ButtonType::Custom);
    cameraButton->setFrame({5, 7, 40, 40});
    cameraButton->setImage(Image::imageNamed("photo"));
    cameraButton->setImage(Image::imageNamed("photo_h"), ControlStateHighlighted);
    cameraButton->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->takePhoto();
    });
    albumButton = Button::buttonWithType(ButtonType::Custom);
    albumButton->setFrame({50, 7, 40, 40});
    albumButton->setImage(Image::imageNamed("pic"));
    albumButton->setImage(Image::imageNamed("pic_h"), ControlStateHighlighted);
    albumButton->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->getPhotoLibrary();
    });

    publishButton = Button::buttonWithType(ButtonType::Custom);
    publishButton->setBackgroundImage(Image::imageNamed("publish"));
    publishButton->setBackgroundImage(Image::imageNamed("publish_press"), ControlStateHighlighted);
    publishButton->setTitle(localized("发布"));
    publishButton->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
    publishButton->setTitleColor(Color::whiteColor());
    publishButton->setCornerRadius(2);
    publishButton->setClipsToBounds(true);
    publishButton->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->sendBtnClicked(static_cast<Button*>(&control));
    });
    // With the picture buttons placed, the publish button starts after them and keeps its
    // right end.
    if (placesPictureButtons()) {
        buttomview->addSubview(cameraButton);
        buttomview->addSubview(albumButton);
        publishButton->setFrame({95, 14.5, W - 145, 25});
    } else {
        publishButton->setFrame({50, 14.5, W - 100, 25});
    }
    buttomview->addSubview(publishButton);

    vedioImageView = std::make_shared<ImageView>(Rect(W - 30, 17, 20, 20));
    vedioImageView->setImage(Image::imageNamed("recordbegin.png"));
    vedioImageView->setContentMode(ContentMode::ScaleToFill);
    vedioImageView->setAccessibilityLabel("recordButton");
    buttomview->addSubview(vedioImageView);
    view()->addSubview(buttomview);
}

std::shared_ptr<TextView> MVTAddEssayViewController::textView() {
    if (mytextView) return mytextView;
    const double W = view()->bounds().width(), H = view()->bounds().height();
    mytextView = std::make_shared<TextView>(Rect(5, 2, W - 10, H - 268));
    mytextView->setBackgroundColor(Color::clear());
    mytextView->setTextColor(Color::black());
    mytextView->setFont(Font::systemFontOfSize(18));
    const std::string hint = localized("请输入正文");
    const double width = std::min(TextMeasure::sizeWithFont(hint, Font::systemFontOfSize(14)).width,
                                  composer_screen::width());
    auto placeholder = std::make_shared<Label>(Rect(15, 0, width, 35));
    placeholder->setText(hint);
    placeholder->setTextColor(Color::lightGray());
    placeholder->setFont(Font::systemFontOfSize(14));
    placeholder->setBackgroundColor(Color::clear());
    placeholder->setTag(kPlaceholderTag);
    placeholder->setUserInteractionEnabled(false);
    mytextView->addSubview(placeholder);
    return mytextView;
}

// ---- Pictures -----------------------------------------------------------------------------

void MVTAddEssayViewController::picView() {
    if (picScrollView) return;
    const double W = view()->bounds().width();
    picScrollView = std::make_shared<ScrollView>(Rect(5, 5, W - 10, 80));
    picScrollView->setBackgroundColor(Color::clear());
    picScrollView->setContentSize({W - 10, 80});
    picScrollView->setShowsHorizontalScrollIndicator(false);
    picScrollView->setShowsVerticalScrollIndicator(false);
    picScrollView->setScrollEnabled(false);
    auto weak = weakAs<MVTAddEssayViewController>();
    auto twice = std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
        if (auto self = weak.lock()) self->removeKeyBoard();
    });
    twice->setNumberOfTapsRequired(2);
    picScrollView->addGestureRecognizer(twice);
}

void MVTAddEssayViewController::takePhoto() {
    if (picNum >= kMaxPictures) {
        AlertView::make(localized("提示"), localized("最多添加9张图片"), {}, localized("知道了"))->show();
        return;
    }
    if (!ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera)) {
        AlertView::make(localized("提示"), localized("设备没有照相功能"), {}, localized("确定"))->show();
        return;
    }
    auto picker = std::make_shared<myimagePickerViewController>();
    picker->setDelegate(weakAs<ImagePickerControllerDelegate>());
    picker->setSourceType(ImagePickerSourceType::Camera);
    picker->setAllowsEditing(true);
    presentViewController(picker, true);
}

void MVTAddEssayViewController::getPhotoLibrary() {
    if (picNum >= kMaxPictures) {
        AlertView::make(localized("提示"), localized("最多添加9张图片"), {}, localized("知道了"))->show();
        return;
    }
    auto picker = std::make_shared<AssetsPickerController>();
    picker->setMaximumNumberOfSelection(static_cast<size_t>(kMaxPictures - picNum));
    picker->setDelegate(weakAs<AssetsPickerControllerDelegate>());
    presentViewController(picker, true);
}

void MVTAddEssayViewController::addSlot(int slot, const ImageRef& shown) {
    picView();
    auto cell = std::make_shared<ImageView>(Rect(slot * kSlotPitch + 10, 5, 75, 75));
    cell->setTag(slot);
    cell->setImage(shown);
    cell->setUserInteractionEnabled(true);
    auto remove = Button::buttonWithType(ButtonType::Custom);
    remove->setFrame({49, -12, 38, 38});
    remove->setImage(Image::imageNamed("removePic.png"));
    remove->setImageEdgeInsets({7, 7, 7, 7});
    remove->setAccessibilityLabel("deleteImage");
    auto weak = weakAs<MVTAddEssayViewController>();
    remove->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->deleteImage(control);
    });
    cell->addSubview(remove);
    picScrollView->addSubview(cell);
}

void MVTAddEssayViewController::afterPicturesAdded() {
    picScrollView->setContentSize({picNum * kSlotPitch, 80});
    picScrollView->setUserInteractionEnabled(true);
    if (picNum > 3) {
        picScrollView->setScrollEnabled(true);
        picScrollView->setContentOffset({picNum * kSlotPitch - 315, 0}, true);
    }
}

void MVTAddEssayViewController::imagePickerControllerDidFinishPickingMedia(ImagePickerController& picker,
                                                                           const PickedMediaInfo& info) {
    picker.dismissViewController(true);
    if (info.mediaType != "public.image" || !info.originalImage || picNum >= kMaxPictures) return;
    const ImageRef taken = info.originalImage;
    imageArray.push_back({MVTPublicMethod::scale(taken, taken->size()), std::nullopt, nextSerial_++});
    addSlot(picNum, MVTPublicMethod::ScaleImage(taken));
    ++picNum;
    afterPicturesAdded();
}

void MVTAddEssayViewController::imagePickerControllerDidCancel(ImagePickerController& picker) {
    picker.dismissViewController(true);
}

void MVTAddEssayViewController::assetsPickerControllerDidFinishPickingAssets(AssetsPickerController&,
                                                                             const std::vector<PickedAsset>& assets) {
    if (assets.empty()) return;
    auto weak = weakAs<MVTAddEssayViewController>();
    for (const auto& asset : assets) {
        if (picNum >= kMaxPictures) break;
        const int serial = nextSerial_++;
        imageArray.push_back({nullptr, asset, serial});
        addSlot(picNum, nullptr);
        ++picNum;
        // Read off the main thread; the slot and imageArray change on the main thread only.
        dispatchBackground([weak, serial, file = asset.file] {
            ImageRef image = Image::imageWithContentsOfFile(file);
            dispatchMain([weak, serial, image] {
                if (auto self = weak.lock()) self->pictureLoaded(serial, image);
            });
        });
    }
    afterPicturesAdded();
}

void MVTAddEssayViewController::pictureLoaded(int serial, const ImageRef& image) {
    for (size_t i = 0; i < imageArray.size(); ++i) {
        if (imageArray[i].serial != serial) continue;
        // A picture that cannot be read keeps an empty slot the user can remove; the
        // sends then find no picture to send for it rather than waiting for ever.
        imageArray[i].image = image ? image : Image::imageWithColor(Color::clear());
        imageArray[i].asset.reset();
        if (picScrollView)
            for (const auto& sub : picScrollView->subviews())
                if (auto cell = std::dynamic_pointer_cast<ImageView>(sub); cell && cell->tag() == static_cast<int>(i))
                    cell->setImage(image);
        break;
    }
    resumeWaitingSend();
}

void MVTAddEssayViewController::deleteImage(View& removeButton) {
    auto slot = removeButton.superview();
    if (!slot || !picScrollView) return;
    const int index = slot->tag();
    if (index >= 0 && index < static_cast<int>(imageArray.size())) imageArray.erase(imageArray.begin() + index);
    slot->removeFromSuperview();
    picNum = std::max(0, picNum - 1);
    picScrollView->setContentSize({picNum * kSlotPitch, 80});
    putImageViews();
    // The removed picture may be the last one a waiting send waited for.
    resumeWaitingSend();
}

void MVTAddEssayViewController::putImageViews() {
    if (!picScrollView) return;
    if (picNum == 0) {
        picScrollView->setUserInteractionEnabled(false);
        return;
    }
    int i = 0;
    for (const auto& sub : picScrollView->subviews()) {
        if (!std::dynamic_pointer_cast<ImageView>(sub)) continue;
        sub->setFrame({i * kSlotPitch + 10, 5, 75, 75});
        sub->setTag(i);
        ++i;
    }
    if (i > 3) picScrollView->setScrollEnabled(true);
    picScrollView->setUserInteractionEnabled(true);
}

// ---- Send-state protocol --------------------------------------------------------------------

bool MVTAddEssayViewController::readyToSend() const {
    if (!vedioPath.empty() && audioRecord && !audioRecord->isWavToAmrCompleted()) return false;
    return std::none_of(imageArray.begin(), imageArray.end(), [](const Picture& p) { return !p.image; });
}

void MVTAddEssayViewController::resumeWaitingSend() {
    if (complete || gone_ || !readyToSend()) return;
    // Exactly once: the resumed send finds `complete` set and the next report changes nothing.
    complete = true;
    sendBtnClicked(nullptr);
}

void MVTAddEssayViewController::wavToAmrComplete() {
    // Late reports reach no composer that has gone.
    if (gone_ || !audioRecord || !audioRecord->isWavToAmrCompleted()) return;
    resumeWaitingSend();
}

// ---- Voice --------------------------------------------------------------------------------

void MVTAddEssayViewController::vedioView() {
    if (myvedioView) return;
    myvedioView = std::make_shared<ImageView>(Rect(15, 10, 200, 30));
    myvedioView->setImage(Image::imageNamed("vedio_bg"));
    myvedioView->setContentMode(ContentMode::ScaleToFill);
    myvedioView->setBackgroundColor(Color::clear());
    myvedioView->setUserInteractionEnabled(true);
    auto weak = weakAs<MVTAddEssayViewController>();
    auto play = Button::buttonWithType(ButtonType::Custom);
    play->setFrame({20, 0, 30, 30});
    play->setAccessibilityLabel("playVedio");
    play->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->playVedio();
    });
    animationView = std::make_shared<ImageView>(Rect(0, 0, 30, 30));
    animationView->setImage(Image::imageNamed("icon_52_white"));
    animationView->setAnimationImages(composer_screen::speakerFrames());
    animationView->setAnimationDuration(2.0);
    animationView->setUserInteractionEnabled(false);
    play->addSubview(animationView);
    myvedioView->addSubview(play);
    auto logo = std::make_shared<ImageView>(Rect(20, 9, 12, 12));
    logo->setImage(Image::imageNamed("vedio_logo"));
    logo->setUserInteractionEnabled(false);
    myvedioView->addSubview(logo);
    recordLabel = std::make_shared<Label>(Rect(40, 2, 90, 25));
    recordLabel->setBackgroundColor(Color::clear());
    recordLabel->setFont(Font::systemFontOfSize(12));
    myvedioView->addSubview(recordLabel);
    auto remove = Button::buttonWithType(ButtonType::Custom);
    remove->setFrame({200, 8.5, 13, 13});
    remove->setImage(Image::imageNamed("icon_57.png"));
    remove->setTag(kDeleteVoiceTag);
    remove->setAccessibilityLabel("deleteVedio");
    remove->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->deleteVedio();
    });
    myvedioView->addSubview(remove);
}

std::shared_ptr<View> MVTAddEssayViewController::meterOverlay() const {
    for (const auto& sub : const_cast<MVTAddEssayViewController*>(this)->view()->subviews())
        if (sub->tag() == kMeterOverlayTag) return sub;
    return nullptr;
}

bool MVTAddEssayViewController::onRecordButton(const Touch& touch) const {
    return buttomview && vedioImageView && vedioImageView->frame().contains(touch.locationInView(buttomview.get()));
}

void MVTAddEssayViewController::stopMeterTimer() {
    if (timer) timer->invalidate();
    timer.reset();
}

void MVTAddEssayViewController::dropPlayer() {
    if (myplayer) myplayer->stop();
    myplayer.reset();
    if (animationView) animationView->stopAnimating();
    ProximitySensor::shared().setMonitoringEnabled(false);
}

void MVTAddEssayViewController::touchesBegan(const Touches& touches) {
    if (touches.empty() || isSubmitting) return;
    if (!MVTAppDelegate::sharedAppDelegate()->checkRecordPermission()) return;
    if (vedioing) return;
    if (myplayer) dropPlayer();
    vedioing = true;
    complete = true;
    if (!onRecordButton(*touches.front())) return;

    const double w = view()->bounds().width(), h = view()->bounds().height() - 44;
    auto overlay = std::make_shared<View>(Rect(0, 0, w, h));
    overlay->setBackgroundColor(Color::clear());
    overlay->setTag(kMeterOverlayTag);
    overlay->setUserInteractionEnabled(false);
    auto backing = std::make_shared<View>(Rect((w - 170) / 2 + 60, (h - 150) / 2 + 10, 40, 120));
    backing->setBackgroundColor(Color::whiteColor());
    backing->setTag(101);
    overlay->addSubview(backing);
    auto level = std::make_shared<View>(Rect((w - 170) / 2 + 60, (h - 150) / 2 + 40, 40, 60));
    level->setBackgroundColor(kEssayLevelColour);
    level->setTag(100);
    overlay->addSubview(level);
    auto picture = std::make_shared<ImageView>(Rect((w - 170) / 2, (h - 150) / 2, 170, 150));
    picture->setImage(Image::imageNamed("vedio_ing"));
    picture->setTag(200);
    overlay->addSubview(picture);
    view()->addSubview(overlay);

    vedioImageView->setImage(Image::imageNamed("recording.png"));
    vedioPath = MVTPublicMethod::getCurrentTimeString();
    if (!audioRecord) {
        audioRecord = std::make_shared<MVTAudioRecordAndTransCoding>();
        audioRecord->setDelegate(weakAs<MVTAudioRecordAndTransCodingDelegate>());
    }
    audioRecord->beginRecordByFileName(vedioPath);
    auto weak = weakAs<MVTAddEssayViewController>();
    stopMeterTimer();
    timer = RunLoop::main().scheduleTimer(kEssayMeterInterval, true, [weak](Timer&) {
        if (auto self = weak.lock()) self->levelTimerCallBack();
    });
}

void MVTAddEssayViewController::levelTimerCallBack() {
    auto recorder = audioRecord ? audioRecord->recorder() : nullptr;
    auto overlay = meterOverlay();
    if (!recorder || !overlay) return;
    recorder->updateMeters();
    const double a = -std::clamp(static_cast<double>(recorder->averagePowerForChannel(0)), -100.0, 0.0);
    auto level = overlay->viewWithTag(100);
    if (!level) return;
    const double h = overlay->frame().height();
    level->setFrame({level->frame().minX(), (h - 150) * 0.5 + 25 + a / 100 * 60, 40, (100 - a) / 100 * 60});
}

void MVTAddEssayViewController::touchesMoved(const Touches& touches) {
    if (touches.empty() || !vedioing) return;
    auto overlay = meterOverlay();
    if (onRecordButton(*touches.front())) {
        vedioImageView->setImage(Image::imageNamed("recording.png"));
        if (overlay)
            if (auto hint = overlay->viewWithTag(kReleaseToCancelTag)) hint->removeFromSuperview();
        return;
    }
    vedioImageView->setImage(Image::imageNamed("recordbegin.png"));
    if (overlay && !overlay->viewWithTag(kReleaseToCancelTag)) {
        const double w = overlay->frame().width(), h = overlay->frame().height();
        auto hint = std::make_shared<ImageView>(Rect((w - 170) / 2, (h - 150) / 2 + 124, 170, 26));
        hint->setImage(Image::imageNamed("vedio_fail"));
        hint->setTag(kReleaseToCancelTag);
        overlay->addSubview(hint);
    }
}

void MVTAddEssayViewController::touchesEnded(const Touches& touches) {
    if (!vedioing) return;
    vedioing = false;
    if (auto overlay = meterOverlay()) overlay->removeFromSuperview();
    const bool inside = !touches.empty() && onRecordButton(*touches.front());
    const bool recording = audioRecord && audioRecord->recorder() && audioRecord->recorder()->isRecording();
    if (recording) audioRecord->endRecord();
    if (!inside) {
        // The new take is not kept; its files stay on disk.
        vedioPath = lastVedio;
    } else if (!vedioPath.empty()) {
        vedioImageView->setImage(Image::imageNamed("recordbegin.png"));
        const int d = MVTPublicMethod::getVedioLength(vedioPath);
        if (d == 0) {
            vedioPath = lastVedio;
            AlertView::make(localized("提示"), localized("录音时间过短,请重新录制"), weakAs<AlertViewDelegate>(),
                            localized("知道了"))
                ->show();
        } else {
            lastVedio = vedioPath;
            vedioView();
            myvedioView->setHidden(false);
            const std::string text = std::to_string(d) + localized("″");
            recordLabel->setText(text);
            const Size size = TextMeasure::sizeWithFont(text, Font::systemFontOfSize(12));
            recordLabel->setFrame({recordLabel->frame().minX(), (30 - size.height) / 2, size.width, size.height});
            recordLabel->setTextColor(Color::gray());
            if (auto remove = myvedioView->viewWithTag(kDeleteVoiceTag))
                remove->setFrame({200 - remove->frame().width() - 5, remove->frame().minY(), remove->frame().width(),
                                  remove->frame().height()});
            const Rect row = myvedioView->frame();
            myvedioView->setFrame({row.minX(), row.minY(), 200, row.height()});
            if (addTableView)
                addTableView->scrollRectToVisible(
                    {0, addTableView->contentSize().height - 80, composer_screen::width(), 80}, true);
        }
    }
    stopMeterTimer();
}

void MVTAddEssayViewController::touchesCancelled(const Touches& touches) {
    // A finger the system takes away keeps nothing: as a release off the button.
    if (!vedioing) return;
    (void)touches;
    touchesEnded({});
}

void MVTAddEssayViewController::deleteVedio() {
    if (myvedioView) myvedioView->setHidden(true);
    if (!vedioPath.empty()) MVTPublicMethod::deleteFileAtPath(MVTPublicMethod::getPathByFileName(vedioPath, "wav"));
    vedioPath.clear();
    lastVedio.clear();
}

void MVTAddEssayViewController::playVedio() {
    if (vedioPath.empty()) return;
    if (myplayer) {
        myplayer->stop();
        myplayer.reset();
    }
    ProximitySensor::shared().setMonitoringEnabled(true);
    myplayer = AudioPlayer::open(MVTPublicMethod::getPathByFileName(vedioPath, "wav"));
    const int d = MVTPublicMethod::getVedioLength(vedioPath);
    animationView->setAnimationRepeatCount(static_cast<int>(std::floor(d * 0.5 + 1)));
    animationView->startAnimating();
    composer_screen::routeVoiceByProximity();
    if (!myplayer) return;
    myplayer->setVolume(0.8f);
    auto weak = weakAs<MVTAddEssayViewController>();
    myplayer->setOnFinish([weak](bool successfully) {
        if (auto self = weak.lock()) self->audioPlayerDidFinishPlaying(successfully);
    });
    myplayer->prepareToPlay();
    myplayer->play();
}

void MVTAddEssayViewController::playAgain() {
    if (myplayer)
        playVedio();
    else
        ProximitySensor::shared().setMonitoringEnabled(false);
}

void MVTAddEssayViewController::audioPlayerDidFinishPlaying(bool) { dropPlayer(); }

void MVTAddEssayViewController::audioPlayerBeginInterruption() { dropPlayer(); }

// ---- Sending --------------------------------------------------------------------------------

bool MVTAddEssayViewController::startSend(View* titleInput) {
    if (titleInput) titleInput->resignFirstResponder();
    if (mytextView) mytextView->resignFirstResponder();
    issending = true;
    if (publishButton) publishButton->setEnabled(false);
    if (!sendingHUD_) {
        sendingHUD_ = ProgressHUD::showHUDAddedTo(view(), true);
        sendingHUD_->setRemoveFromSuperViewOnHide(true);
        sendingHUD_->setLabelText(localized("正在发送"));
    }
    if (!readyToSend()) {
        complete = false;
        issending = false;
        return false;
    }
    complete = true;
    return true;
}

void MVTAddEssayViewController::finishSend() {
    issending = false;
    if (publishButton) publishButton->setEnabled(true);
    if (sendingHUD_) sendingHUD_->hide(true);
    sendingHUD_.reset();
}
