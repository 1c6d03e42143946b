#include "homework/MVTNHWAddViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "homework/MVTNHWGetStudentsViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myimagePickerViewController.h"

#include "platform/AudioPlayer.h"
#include "platform/AudioRecorder.h"
#include "platform/BackgroundQueue.h"
#include "platform/Clock.h"
#include "platform/HttpClient.h"
#include "platform/HttpMultipartForm.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Touch.h"

#include <algorithm>
#include <cstdio>

using namespace platform;

namespace {

constexpr const char* kComposerOctetStream = "application/octet-stream";
const Color kComposerLevelColour = Color::rgba(0.255, 0.651, 0.859);
const Color kComposerKeyboardButton = Color::rgba(0.847, 0.855, 0.871);

Rect composerScreenBounds() { return Screen::mainScreen().bounds(); }

// The text without blanks and line breaks: what must not be empty to publish.
std::string composerTextWithoutBlanks(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\n'; }), text.end());
    return text;
}

}  // namespace

MVTNHWAddViewController::MVTNHWAddViewController() = default;

MVTNHWAddViewController::~MVTNHWAddViewController() {
    if (timer_) timer_->invalidate();
    if (myplayer_) myplayer_->stop();
}

bool MVTNHWAddViewController::isPublishedReply(const std::string& body) {
    const std::string text = trimmed(body);
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return false;
    return text.find_first_not_of('0') != std::string::npos;
}

void MVTNHWAddViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    publishMode_ = homework::isTeacherOrAdmin();
    setTitle(localized(publishMode_ ? "新作业" : "提交作业"));
    auto weak = weakAs<MVTNHWAddViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    submitBtn_ = setRightTextButton(localized("完成"), [weak] {
        if (auto self = weak.lock()) self->toSubmit();
    });

    topH_ = publishMode_ ? 154 : 0;
    creatAddPersonBtn();
    createDoneBtn();
    createContentView();
    getbottomView();

    picNum_ = 0;
    didClassIds_.clear();
    didStudentIds_.clear();
    selectClassArr_ = Json::array();
    selectClassDic_ = Json::object();
    selectStudentsDic_ = Json::object();
    imageArray_.clear();

    keyboardShowToken_ = NotificationCenter::defaultCenter().addObserver(
        kKeyboardWillShowNotification, [weak](const Notification& notification) {
            if (auto self = weak.lock()) self->keyboardWillShow(notification);
        });
    keyboardHideToken_ = NotificationCenter::defaultCenter().addObserver(
        kKeyboardWillHideNotification, [weak](const Notification& notification) {
            if (auto self = weak.lock()) self->keyboardWillHidden(notification);
        });
}

void MVTNHWAddViewController::viewWillAppear(bool animated) {
    HomeworkScreen::viewWillAppear(animated);
    if (publishMode_ && contentTextView_ && contentLa_) contentLa_->setHidden(!contentTextView_->text().empty());
}

void MVTNHWAddViewController::viewWillDisappear(bool animated) {
    HomeworkScreen::viewWillDisappear(animated);
    // A voice still playing does not go on behind the next screen.
    stopPlayback();
}

void MVTNHWAddViewController::creatAddPersonBtn() {
    const double width = composerScreenBounds().width();
    personBtn_ = Button::buttonWithType(ButtonType::Custom);
    personBtn_->setFrame({10, 0, width - 20, 44});
    personBtn_->setBackgroundColor(Color::clear());
    auto weak = weakAs<MVTNHWAddViewController>();
    personBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toAddNewPerson();
    });
    auto title = std::make_shared<Label>(Rect(5, 0, width - 140, 44));
    title->setFont(Font::boldSystemFontOfSize(14));
    title->setTextColor(homework::kTextGrey);
    title->setBackgroundColor(Color::clear());
    title->setText(localized("作业接收人"));
    title->setUserInteractionEnabled(false);
    personBtn_->addSubview(title);
    personCountLa_ = std::make_shared<Label>(Rect(width - 130, 0, 100, 44));
    personCountLa_->setFont(Font::systemFontOfSize(14));
    personCountLa_->setTextColor(Color::darkGray());
    personCountLa_->setTextAlignment(TextAlignment::Right);
    personCountLa_->setBackgroundColor(Color::clear());
    personCountLa_->setText(localized("0人"));
    personCountLa_->setUserInteractionEnabled(false);
    personBtn_->addSubview(personCountLa_);
    auto line = std::make_shared<ImageView>(Rect(0, 43.5, width - 20, 0.5));
    line->setImage(Image::imageNamed("line1.png"));
    personBtn_->addSubview(line);
    auto arrow = std::make_shared<ImageView>(Rect(width - 27, 17, 6.5, 10));
    arrow->setImage(Image::imageNamed("nhw_jian.png"));
    personBtn_->addSubview(arrow);
    personBtn_->setHidden(!publishMode_);
    view()->addSubview(personBtn_);
}

void MVTNHWAddViewController::createContentView() {
    const Rect screen = composerScreenBounds();
    const double width = screen.width();
    contentTextView_ = std::make_shared<TextView>(Rect(10, 44, width - 20, 110));
    contentTextView_->setBackgroundColor(Color::clear());
    contentTextView_->setTextColor(homework::kTextGrey);
    contentTextView_->setFont(Font::systemFontOfSize(14));
    contentTextView_->setAccessibilityLabel(localized("添加作业内容"));
    view()->addSubview(contentTextView_);
    contentLa_ = std::make_shared<Label>(Rect(15, 50, width - 25, 20));
    contentLa_->setTextColor(Color::lightGray());
    contentLa_->setFont(Font::systemFontOfSize(14));
    contentLa_->setBackgroundColor(Color::clear());
    contentLa_->setText(localized("添加作业内容"));
    contentLa_->setUserInteractionEnabled(false);
    view()->addSubview(contentLa_);
    auto line = std::make_shared<ImageView>(Rect(10, 154, width - 20, 0.5));
    line->setImage(Image::imageNamed("line1"));
    view()->addSubview(line);
    if (!publishMode_) {
        contentTextView_->setHidden(true);
        contentLa_->setHidden(true);
        line->setHidden(true);
        mindLa_ = std::make_shared<Label>(Rect(0, (screen.height() - 148) / 2, width, 30));
        mindLa_->setFont(Font::systemFontOfSize(16));
        mindLa_->setTextColor(Color::lightGray());
        mindLa_->setTextAlignment(TextAlignment::Center);
        mindLa_->setBackgroundColor(Color::clear());
        mindLa_->setText(localized("添加语音、图片"));
        view()->addSubview(mindLa_);
    }

    picScrollView_ = std::make_shared<ScrollView>(Rect(0, topH_ + 10, width, 90));
    picScrollView_->setBackgroundColor(Color::clear());
    picScrollView_->setHidden(true);
    view()->addSubview(picScrollView_);

    auto weak = weakAs<MVTNHWAddViewController>();
    videoBtn_ = Button::buttonWithType(ButtonType::Custom);
    videoBtn_->setFrame({10, topH_ + 10, 142, 43});
    videoBtn_->setImage(Image::imageNamed("vedio_bg.png"));
    videoBtn_->setImageEdgeInsets({10, 0, 10, 0});
    videoBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toPalyVideo();
    });
    videoBtn_->setHidden(true);
    videoPalyView_ = std::make_shared<ImageView>(Rect(10, 12.5, 18, 18));
    videoPalyView_->setImage(Image::imageNamed("icon_52_white.png"));
    videoPalyView_->setAnimationImages({Image::imageNamed("icon_52_3white.png"), Image::imageNamed("icon_52_2white.png"),
                                        Image::imageNamed("icon_52_1white.png"), Image::imageNamed("icon_52_white.png")});
    videoPalyView_->setAnimationDuration(0.8);
    videoPalyView_->setUserInteractionEnabled(false);
    videoBtn_->addSubview(videoPalyView_);
    duaLa_ = std::make_shared<Label>(Rect(28, 11, 80, 21));
    duaLa_->setTextColor(Color::whiteColor());
    duaLa_->setFont(Font::systemFontOfSize(14));
    duaLa_->setTextAlignment(TextAlignment::Center);
    duaLa_->setBackgroundColor(Color::clear());
    videoBtn_->addSubview(duaLa_);
    auto remove = Button::buttonWithType(ButtonType::Custom);
    remove->setFrame({110, 0, 43, 43});
    remove->setImage(Image::imageNamed("removePic.png"));
    remove->setImageEdgeInsets({10.5, 8, 8.5, 11});
    remove->setAccessibilityLabel("closeVideo");
    remove->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->closeVideo();
    });
    videoBtn_->addSubview(remove);
    view()->addSubview(videoBtn_);
}

void MVTNHWAddViewController::getbottomView() {
    const Rect screen = composerScreenBounds();
    buttomview_ = std::make_shared<View>(Rect(0, screen.height() - 118, screen.width(), 54));
    buttomview_->setBackgroundColor(homework::kBarGreen);
    auto line = std::make_shared<ImageView>(Rect(0, 0, screen.width(), 0.5));
    line->setImage(Image::imageNamed("line1"));
    buttomview_->addSubview(line);
    auto weak = weakAs<MVTNHWAddViewController>();
    auto camera = Button::buttonWithType(ButtonType::Custom);
    camera->setFrame({5, 7, 40, 40});
    camera->setImage(Image::imageNamed("photo"));
    camera->setImage(Image::imageNamed("photo_h"), ControlStateHighlighted);
    camera->setAccessibilityLabel("takePhoto");
    camera->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->takePhoto();
    });
    buttomview_->addSubview(camera);
    auto album = Button::buttonWithType(ButtonType::Custom);
    album->setFrame({50, 7, 40, 40});
    album->setImage(Image::imageNamed("pic"));
    album->setImage(Image::imageNamed("pic_h"), ControlStateHighlighted);
    album->setAccessibilityLabel("getPhotoLibrary");
    album->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->getPhotoLibrary();
    });
    buttomview_->addSubview(album);
    vedioImageView_ = std::make_shared<ImageView>(Rect(95, 12, 215, 30));
    vedioImageView_->setImage(Image::imageNamed("record_begin"));
    vedioImageView_->setUserInteractionEnabled(false);
    buttomview_->addSubview(vedioImageView_);
    view()->addSubview(buttomview_);
}

void MVTNHWAddViewController::createDoneBtn() {
    doneBtn_ = Button::buttonWithType(ButtonType::Custom);
    doneBtn_->setFrame({0, 0, 44, 40});
    doneBtn_->setBackgroundColor(kComposerKeyboardButton);
    doneBtn_->setTitle(localized("完成"));
    doneBtn_->setTitleColor(homework::kTextGrey);
    doneBtn_->titleLabel()->setFont(Font::systemFontOfSize(14));
    doneBtn_->setCornerRadius(2);
    doneBtn_->setHidden(true);
    auto weak = weakAs<MVTNHWAddViewController>();
    doneBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toDoneKeyboard();
    });
    view()->addSubview(doneBtn_);
}

void MVTNHWAddViewController::toDoneKeyboard() {
    if (contentTextView_) contentTextView_->resignFirstResponder();
}

void MVTNHWAddViewController::keyboardWillShow(const Notification& notification) {
    const Rect keyboard = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey);
    const Rect screen = composerScreenBounds();
    view()->bringSubviewToFront(doneBtn_);
    doneBtn_->setFrame({screen.width() - 44, screen.height() - 102 - keyboard.height(), 44, 40});
    doneBtn_->setHidden(false);
    contentLa_->setHidden(true);
}

void MVTNHWAddViewController::keyboardWillHidden(const Notification&) { doneBtn_->setHidden(true); }

void MVTNHWAddViewController::stopObservingKeyboard() {
    keyboardShowToken_.reset();
    keyboardHideToken_.reset();
}

// ---- Recipients

void MVTNHWAddViewController::toAddNewPerson() {
    if (contentLa_->isHidden()) toDoneKeyboard();
    auto picker = std::make_shared<MVTNHWGetStudentsViewController>();
    // Copies all the way down: leaving the picker by its back button changes nothing here.
    picker->setSelectClassArr(selectClassArr_);
    picker->setSelectClassDic(selectClassDic_);
    picker->setSelectStudentsDic(selectStudentsDic_);
    picker->setDelegate(weakAs<MVTNHWGetStudentsViewDelegate>());
    if (auto stack = navigationController()) stack->pushViewController(picker, true);
}

void MVTNHWAddViewController::didSelectStudentsWith(const std::string& classIds, const std::string& studentIds,
                                                    int count, const Json& selectClassDic,
                                                    const Json& selectStudentsDic) {
    didClassIds_ = classIds;
    didStudentIds_ = studentIds;
    personCountLa_->setText(homework::fill(localized("%d人"), {std::to_string(count)}));
    allSelectCount_ = count;
    selectClassArr_ = Json::array();
    selectClassDic_ = selectClassDic.is_object() ? selectClassDic : Json::object();
    selectStudentsDic_ = selectStudentsDic.is_object() ? selectStudentsDic : Json::object();
}

// ---- Pictures

void MVTNHWAddViewController::showAlert(const std::string& title, const std::string& message, const std::string& button) {
    AlertView::make(title, message, weakAs<AlertViewDelegate>(), button)->show();
}

void MVTNHWAddViewController::takePhoto() {
    if (picNum_ >= kMaxPictures) {
        showAlert(localized("提示"), localized("最多添加9张图片"), localized("知道了"));
        return;
    }
    if (!ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera)) {
        showAlert(localized("提示"), localized("设备没有照相功能"), localized("确定"));
        return;
    }
    auto picker = std::make_shared<myimagePickerViewController>();
    picker->setSourceType(ImagePickerSourceType::Camera);
    picker->setAllowsEditing(true);
    picker->setDelegate(weakAs<ImagePickerControllerDelegate>());
    presentViewController(picker, true);
}

void MVTNHWAddViewController::imagePickerControllerDidFinishPickingMedia(ImagePickerController& picker,
                                                                         const PickedMediaInfo& info) {
    picker.dismissViewController(true);
    if (info.mediaType != "public.image" || !info.originalImage) return;
    picScrollView_->setHidden(false);
    PictureEntry entry;
    entry.serial = nextSerial_++;
    entry.image = MVTPublicMethod::scale(info.originalImage, info.originalImage->size());
    auto shown = MVTPublicMethod::ScaleImage(entry.image);
    imageArray_.push_back(entry);
    addThumbnail(imageArray_.back(), picNum_, shown);
    ++picNum_;
    afterPictureAdded();
}

void MVTNHWAddViewController::imagePickerControllerDidCancel(ImagePickerController& picker) {
    picker.dismissViewController(true);
}

void MVTNHWAddViewController::getPhotoLibrary() {
    if (picNum_ >= kMaxPictures) {
        showAlert(localized("提示"), localized("最多添加9张图片"), localized("知道了"));
        return;
    }
    auto picker = std::make_shared<AssetsPickerController>();
    picker->setMaximumNumberOfSelection(static_cast<size_t>(kMaxPictures - picNum_));
    picker->setDelegate(weakAs<AssetsPickerControllerDelegate>());
    presentViewController(picker, true);
}

void MVTNHWAddViewController::assetsPickerControllerDidFinishPickingAssets(AssetsPickerController&,
                                                                           const std::vector<PickedAsset>& assets) {
    if (assets.empty()) return;
    showHUDWithBool(true);
    picScrollView_->setHidden(false);
    auto weak = weakAs<MVTNHWAddViewController>();
    for (const auto& asset : assets) {
        if (picNum_ >= kMaxPictures) break;
        PictureEntry entry;
        entry.serial = nextSerial_++;
        entry.asset = asset;
        imageArray_.push_back(entry);
        addThumbnail(imageArray_.back(), picNum_, nullptr);
        ++picNum_;
        const unsigned long serial = entry.serial;
        dispatchBackground([weak, asset, serial] {
            auto image = asset.fullScreenImage();
            dispatchMain([weak, serial, image] {
                if (auto self = weak.lock()) self->pictureLoaded(serial, image);
            });
        });
    }
    afterPictureAdded();
}

void MVTNHWAddViewController::pictureLoaded(unsigned long serial, std::shared_ptr<Image> image) {
    const int position = positionOf(serial);
    if (position < 0) return;  // removed while it loaded
    const bool last = position == static_cast<int>(imageArray_.size()) - 1;
    if (!image) {
        // The library item could not be read: it leaves the strip rather than being sent
        // as nothing.
        deleteImage(position);
    } else {
        PictureEntry& entry = imageArray_[position];
        entry.image = image;
        entry.asset.reset();
        entry.thumbnail->setImage(image);
    }
    // The overlay of the loading pictures goes with the last of them, unless a send waits.
    if (!waitingToSend_ && (last || !picturesLoading())) showHUDWithBool(false);
    sendWhenReady();
}

int MVTNHWAddViewController::positionOf(unsigned long serial) const {
    for (size_t i = 0; i < imageArray_.size(); ++i)
        if (imageArray_[i].serial == serial) return static_cast<int>(i);
    return -1;
}

bool MVTNHWAddViewController::picturesLoading() const {
    return std::any_of(imageArray_.begin(), imageArray_.end(), [](const PictureEntry& e) { return !e.image; });
}

bool MVTNHWAddViewController::pictureLoaded(int position) const {
    return position >= 0 && position < static_cast<int>(imageArray_.size()) && imageArray_[position].image != nullptr;
}

std::shared_ptr<Image> MVTNHWAddViewController::pictureAt(int position) const {
    if (position < 0 || position >= static_cast<int>(imageArray_.size())) return nullptr;
    return imageArray_[position].image;
}

std::shared_ptr<View> MVTNHWAddViewController::thumbnailAt(int position) const {
    if (position < 0 || position >= static_cast<int>(imageArray_.size())) return nullptr;
    return imageArray_[position].thumbnail;
}

void MVTNHWAddViewController::addThumbnail(PictureEntry& entry, int position, std::shared_ptr<Image> shown) {
    auto thumbnail = std::make_shared<ImageView>(Rect(position * kThumbPitch + 10, 5, 75, 75));
    thumbnail->setImage(shown);
    thumbnail->setUserInteractionEnabled(true);
    thumbnail->setTag(position);
    auto remove = Button::buttonWithType(ButtonType::Custom);
    remove->setFrame({49, -12, 38, 38});
    remove->setImage(Image::imageNamed("removePic.png"));
    remove->setImageEdgeInsets({7, 7, 7, 7});
    remove->setAccessibilityLabel("deleteImage");
    auto weak = weakAs<MVTNHWAddViewController>();
    std::weak_ptr<View> weakThumb = thumbnail;
    remove->addTarget(ControlEventTouchUpInside, [weak, weakThumb](Control&) {
        auto self = weak.lock();
        auto thumb = weakThumb.lock();
        if (self && thumb) self->deleteImage(thumb->tag());
    });
    thumbnail->addSubview(remove);
    picScrollView_->addSubview(thumbnail);
    entry.thumbnail = thumbnail;
}

void MVTNHWAddViewController::afterPictureAdded() {
    const double width = composerScreenBounds().width();
    const double contentWidth = picNum_ * kThumbPitch + 10;
    picScrollView_->setContentSize({contentWidth, 90});
    if (contentWidth > width) picScrollView_->setContentOffset({contentWidth - width, 0}, true);
    placeVoiceButton();
    if (mindLa_) mindLa_->setHidden(true);
}

void MVTNHWAddViewController::placeVoiceButton() {
    const double y = picScrollView_->isHidden() || imageArray_.empty() ? topH_ + 10 : topH_ + 100;
    videoBtn_->setFrame({10, y, 142, 43});
}

void MVTNHWAddViewController::deleteImage(int position) {
    if (position < 0 || position >= static_cast<int>(imageArray_.size())) return;
    imageArray_[position].thumbnail->removeFromSuperview();
    imageArray_.erase(imageArray_.begin() + position);
    --picNum_;
    picScrollView_->setContentSize({picNum_ * kThumbPitch + 10, 90});
    putImageViews(position);
}

void MVTNHWAddViewController::putImageViews(int removedPosition) {
    if (imageArray_.empty()) {
        if (!videoBtn_->isHidden()) videoBtn_->setFrame({10, topH_ + 10, 142, 43});
        return;
    }
    for (int i = removedPosition; i < static_cast<int>(imageArray_.size()); ++i) {
        auto& thumbnail = imageArray_[i].thumbnail;
        thumbnail->setFrame({i * kThumbPitch + 10, 5, 75, 75});
        thumbnail->setTag(i);
    }
}

// ---- The voice take

bool MVTNHWAddViewController::recordButtonContains(const Touch& touch) const {
    return vedioImageView_->frame().contains(touch.locationInView(buttomview_.get()));
}

void MVTNHWAddViewController::touchesBegan(const Touches& touches) {
    if (touches.empty() || isSubmiting_ || vedioing_) return;
    if (!recordButtonContains(*touches.front())) return;
    if (!MVTAppDelegate::sharedAppDelegate()->checkRecordPermission()) return;
    stopPlayback();
    vedioing_ = true;

    const Rect screen = composerScreenBounds();
    recordPanel_ = std::make_shared<View>(Rect(0, 0, screen.width(), screen.height() - 108));
    recordPanel_->setBackgroundColor(Color::clear());
    recordPanel_->setUserInteractionEnabled(false);
    const double w = recordPanel_->frame().width(), h = recordPanel_->frame().height();
    auto column = std::make_shared<View>(Rect((w - 170) / 2 + 60, (h - 150) / 2 + 10, 40, 120));
    column->setBackgroundColor(Color::whiteColor());
    recordPanel_->addSubview(column);
    levelView_ = std::make_shared<View>(Rect((w - 170) / 2 + 60, (h - 150) / 2 + 40, 40, 60));
    levelView_->setBackgroundColor(kComposerLevelColour);
    recordPanel_->addSubview(levelView_);
    auto picture = std::make_shared<ImageView>(Rect((w - 170) / 2, (h - 150) / 2, 170, 150));
    picture->setImage(Image::imageNamed("vedio_ing"));
    recordPanel_->addSubview(picture);
    cancelHint_.reset();
    view()->addSubview(recordPanel_);

    vedioImageView_->setImage(Image::imageNamed("record_ing"));
    vedioPath_ = MVTPublicMethod::getCurrentTimeString();
    if (!audioRecord_) {
        audioRecord_ = std::make_shared<MVTAudioRecordAndTransCoding>();
        audioRecord_->setDelegate(weakAs<MVTAudioRecordAndTransCodingDelegate>());
    }
    audioRecord_->beginRecordByFileName(vedioPath_);
    auto weak = weakAs<MVTNHWAddViewController>();
    timer_ = RunLoop::main().scheduleTimer(kLevelInterval, true, [weak](Timer&) {
        if (auto self = weak.lock()) self->levelTimerCallBack();
    });
}

void MVTNHWAddViewController::levelTimerCallBack() {
    if (!recordPanel_ || !recordPanel_->superview() || !audioRecord_ || !audioRecord_->recorder()) return;
    auto recorder = audioRecord_->recorder();
    recorder->updateMeters();
    const double power = std::clamp(static_cast<double>(recorder->averagePowerForChannel(0)), -100.0, 0.0);
    const double a = -power;
    const double h = recordPanel_->frame().height();
    const Rect frame = levelView_->frame();
    levelView_->setFrame({frame.x(), (h - 150) / 2 + 25 + 60 * a / 100, 40, 60 * (100 - a) / 100});
}

void MVTNHWAddViewController::touchesMoved(const Touches& touches) {
    if (!vedioing_ || touches.empty()) return;
    if (recordButtonContains(*touches.front())) {
        vedioImageView_->setImage(Image::imageNamed("record_ing"));
        if (cancelHint_) cancelHint_->removeFromSuperview();
        return;
    }
    vedioImageView_->setImage(Image::imageNamed("record_begin"));
    const double w = recordPanel_->frame().width(), h = recordPanel_->frame().height();
    if (!cancelHint_) {
        cancelHint_ = std::make_shared<ImageView>(Rect((w - 170) / 2, (h - 150) / 2 + 124, 170, 26));
        cancelHint_->setImage(Image::imageNamed("vedio_fail"));
    }
    if (!cancelHint_->superview()) recordPanel_->addSubview(cancelHint_);
}

void MVTNHWAddViewController::touchesEnded(const Touches& touches) {
    if (!vedioing_) return;
    endTake(!touches.empty() && recordButtonContains(*touches.front()));
}

void MVTNHWAddViewController::touchesCancelled(const Touches&) {
    if (vedioing_) endTake(false);
}

void MVTNHWAddViewController::stopLevelTimer() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}

void MVTNHWAddViewController::endTake(bool inside) {
    vedioing_ = false;
    if (recordPanel_) recordPanel_->removeFromSuperview();
    if (audioRecord_ && audioRecord_->recorder() && audioRecord_->recorder()->isRecording()) audioRecord_->endRecord();
    vedioImageView_->setImage(Image::imageNamed("record_begin"));
    stopLevelTimer();
    if (!inside) {
        vedioPath_ = lastVedio_;
        return;
    }
    const int length = MVTPublicMethod::getVedioLength(vedioPath_);
    if (length < 1) {
        vedioPath_ = lastVedio_;
        showAlert(localized("提示"), localized("录音时间过短,请重新录制"), localized("知道了"));
        return;
    }
    videoLength_ = length;
    lastVedio_ = vedioPath_;
    duaLa_->setText(MVTAppDelegate::sharedAppDelegate()->soundTimeLengthWith(length));
    videoBtn_->setHidden(false);
    placeVoiceButton();
    if (mindLa_) mindLa_->setHidden(true);
}

void MVTNHWAddViewController::toPalyVideo() {
    if (myplayer_) {
        stopPlayback();
        return;
    }
    myplayer_ = AudioPlayer::open(MVTPublicMethod::getPathByFileName(vedioPath_, "wav"));
    if (!myplayer_) return;
    myplayer_->setVolume(1.0f);
    auto weak = weakAs<MVTNHWAddViewController>();
    myplayer_->setOnFinish([weak](bool successfully) {
        if (auto self = weak.lock()) self->audioPlayerDidFinishPlaying(successfully);
    });
    myplayer_->prepareToPlay();
    myplayer_->play();
    videoPalyView_->startAnimating();
}

void MVTNHWAddViewController::stopPlayback() {
    if (myplayer_) myplayer_->stop();
    myplayer_.reset();
    if (videoPalyView_) videoPalyView_->stopAnimating();
}

void MVTNHWAddViewController::audioPlayerDidFinishPlaying(bool) { stopPlayback(); }

void MVTNHWAddViewController::closeVideo() {
    // Removing the take also silences it.
    stopPlayback();
    videoBtn_->setHidden(true);
}

void MVTNHWAddViewController::wavToAmrComplete() { sendWhenReady(); }

// ---- Sending

bool MVTNHWAddViewController::inputIsComplete() {
    if (publishMode_) {
        if (composerTextWithoutBlanks(contentTextView_->text()).empty()) {
            showAlert(localized("请输入作业内容"), "", localized("知道了"));
            return false;
        }
        if (didStudentIds_.empty() && didClassIds_.empty()) {
            showAlert(localized("请选择接收人"), "", localized("知道了"));
            return false;
        }
        return true;
    }
    if (videoBtn_->isHidden() && picNum_ == 0) {
        showAlert(localized("请添加图片、语音"), "", localized("知道了"));
        return false;
    }
    return true;
}

void MVTNHWAddViewController::toSubmit() {
    if (isSubmiting_) return;
    if (publishMode_)
        toPublishHomework();
    else
        toSubmitHomework();
}

void MVTNHWAddViewController::toPublishHomework() {
    if (!inputIsComplete()) return;
    beginSending();
}

void MVTNHWAddViewController::toSubmitHomework() {
    if (!inputIsComplete()) return;
    beginSending();
}

void MVTNHWAddViewController::beginSending() {
    if (!MVTPublicMethod::connectedToNetwork()) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    toDoneKeyboard();
    dateline_ = [] {
        char text[64];
        std::snprintf(text, sizeof text, "%f", now());
        return std::string(text).substr(0, 10);
    }();
    showHUDWithBool(true);
    submitBtn_->setEnabled(false);
    isSubmiting_ = true;
    waitingToSend_ = true;
    sendWhenReady();
}

void MVTNHWAddViewController::endSending() {
    showHUDWithBool(false);
    isSubmiting_ = false;
    waitingToSend_ = false;
    submitBtn_->setEnabled(true);
}

void MVTNHWAddViewController::sendWhenReady() {
    if (!waitingToSend_) return;
    if (picturesLoading()) return;
    const bool voice = !videoBtn_->isHidden();
    if (voice && audioRecord_ && !audioRecord_->isWavToAmrCompleted()) return;
    waitingToSend_ = false;
    // A picture that could not load has left the strip: the input may no longer do.
    if (!inputIsComplete()) {
        endSending();
        return;
    }
    if (publishMode_)
        sendPublish();
    else
        sendAnswer();
}

void MVTNHWAddViewController::appendMediaParts(HttpMultipartForm& form) {
    const std::string model = MVTPublicMethod::currentDevicemodel();
    if (!videoBtn_->isHidden()) {
        form.appendPartWithFile("amr", MVTAudioRecordAndTransCoding::amrPathForName(vedioPath_),
                                percentEscape("来自" + model + "的音频.amr"), kComposerOctetStream);
        form.appendPart("duration", std::to_string(videoLength_));
    }
    if (picNum_ != 0 && !imageArray_.empty()) {
        int number = 1;
        for (const auto& entry : imageArray_) {
            const std::string name = imageArray_.size() == 1
                                         ? "来自" + model + "的图片.png"
                                         : "来自" + model + "的图片" + std::to_string(number) + ".png";
            form.appendPart("image", percentEscape(name), kComposerOctetStream, MVTPublicMethod::imageData(entry.image));
            ++number;
        }
    }
}

std::optional<std::pair<std::shared_ptr<HttpClient>, UrlRequest>> MVTNHWAddViewController::sendingRequest(
    const std::string& url, const std::function<void(HttpMultipartForm&)>& build) {
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        endSending();
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return std::nullopt;
    }
    UrlRequest request = client->multipartFormRequestWithMethod("POST", url, nullptr, build);
    request.setTimeoutInterval(kSendTimeout);
    return std::make_pair(client, request);
}

std::function<void()> MVTNHWAddViewController::sendFailed(const std::string& title) {
    auto weak = weakAs<MVTNHWAddViewController>();
    return [weak, title] {
        auto self = weak.lock();
        if (!self) return;
        self->endSending();
        self->showAlert(localized(title), "", localized("知道了"));
    };
}

void MVTNHWAddViewController::sendPublish() {
    const std::string text = contentTextView_->text();
    auto send = sendingRequest(homework::serviceUrl("homework/publish/" + homework::currentUserId()),
                               [&](HttpMultipartForm& form) {
                                   if (!didClassIds_.empty()) form.appendPart("classes", didClassIds_);
                                   if (!didStudentIds_.empty()) form.appendPart("students", didStudentIds_);
                                   if (!text.empty()) form.appendPart("content", text);
                                   appendMediaParts(form);
                               });
    if (!send) return;
    auto weak = weakAs<MVTNHWAddViewController>();
    auto failed = sendFailed("发布失败");
    auto operation = send->first->HTTPRequestOperationWithRequest(
        send->second,
        [weak, failed, text](HttpRequestOperation&, const std::string& body) {
            auto self = weak.lock();
            if (!self) return;
            if (!isPublishedReply(body)) {
                failed();
                return;
            }
            self->endSending();
            const Json row = {{"content", text},
                              {"dateline", self->dateline_},
                              {"id", trimmed(body)},
                              {"submitCount", "0"},
                              {"stdCount", std::to_string(self->allSelectCount_)},
                              {"readed", "1"}};
            if (auto delegate = self->delegate_.lock()) delegate->didAddSuccessWith(row);
            RunLoop::main().performAfter(kLeaveDelay, [weak] {
                if (auto self = weak.lock()) self->goback();
            });
        },
        [failed](HttpRequestOperation&, const HttpError&) { failed(); });
    operation->start();
}

void MVTNHWAddViewController::sendAnswer() {
    auto send = sendingRequest(
        homework::serviceUrl("homework/" + homework::currentUserId() + "/answer/" + hwId_ + "?default=false"),
        [this](HttpMultipartForm& form) { appendMediaParts(form); });
    if (!send) return;
    auto weak = weakAs<MVTNHWAddViewController>();
    auto failed = sendFailed("提交失败");
    auto operation = send->first->JSONRequestOperationWithRequest(
        send->second,
        [weak, failed](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            if (!reply.is_object() || !reply.contains("success") || homework::wholeNumber(reply["success"]) == 0) {
                failed();
                return;
            }
            self->endSending();
            RunLoop::main().performAfter(kLeaveDelay, [weak] {
                if (auto self = weak.lock()) self->goToRoot();
            });
        },
        [failed](HttpRequestOperation&, const HttpError&) { failed(); });
    operation->start();
}

void MVTNHWAddViewController::alertViewClickedButtonAtIndex(AlertView&, long) {}

void MVTNHWAddViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    stopObservingKeyboard();
    stopPlayback();
    if (auto stack = navigationController()) stack->popViewController(true);
}

void MVTNHWAddViewController::goToRoot() {
    stopObservingKeyboard();
    stopPlayback();
    if (auto stack = navigationController()) stack->popToRootViewController(true);
}
