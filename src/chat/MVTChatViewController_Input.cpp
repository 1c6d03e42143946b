// The chat's frame around its list: the input bar (voice toggle, text, faces, picture),
// the input panel, the keyboard, picture picking; and voice: recording while the talk
// button is held, the level meter, playing and downloading clips.

#include "chat/MVTChatViewController.h"

#include "core/MVTPublicMethod.h"
#include "core/MVTVoiceJoiner.h"
#include "core/MVTDownLoadView.h"
#include "core/ServiceAddress.h"
#include "core/ServiceId.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"
#include "shell/myimagePickerViewController.h"

#include "platform/AudioPlayer.h"
#include "platform/AudioRecorder.h"
#include "platform/AudioRoute.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/Timer.h"
#include "platform/UserDefaults.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Camera.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Touch.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

constexpr std::size_t kChatLargestVoice = 16u * 1024 * 1024;
constexpr int kPictureSheetTag = 77;

double inputScreenWidth() { return Screen::mainScreen().bounds().width(); }
double inputScreenHeight() { return Screen::mainScreen().bounds().height(); }

std::shared_ptr<Button> inputBarButton(const Rect& frame, const char* normal, const char* highlighted) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame(frame);
    button->setImage(Image::imageNamed(normal));
    button->setImage(Image::imageNamed(highlighted), ControlStateHighlighted);
    return button;
}

}  // namespace

void MVTChatViewController::buildInputBar() {
    const double W = inputScreenWidth(), H = inputScreenHeight();
    auto weak = weakAs<MVTChatViewController>();
    buttomView_ = std::make_shared<ImageView>(Rect(0, H - 118, W, 54));
    buttomView_->setImage(Image::imageNamed("toolsbarbg"));
    buttomView_->setBackgroundColor(Color::clear());
    buttomView_->setUserInteractionEnabled(true);

    vedioBt_ = inputBarButton({0, 8.5, 40, 40}, "icon_17", "icon_09");
    vedioBt_->setImageEdgeInsets({7.5, 7.5, 7.5, 7.5});
    vedioBt_->setAccessibilityLabel(localized("语音"));
    vedioBt_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->vedioClick();
    });
    buttomView_->addSubview(vedioBt_);

    messageTextView_ = std::make_shared<TextView>(Rect(45, 13, W - 140, 32));
    messageTextView_->setFont(Font::systemFontOfSize(16));
    messageTextView_->setTextAlignment(TextAlignment::Left);
    messageTextView_->setReturnKeyType(ReturnKeyType::Send);
    messageTextView_->setBorderWidth(0.6);
    messageTextView_->setBorderColor(Color::rgba(0.851, 0.871, 0.847));
    messageTextView_->setCornerRadius(15);
    textDelegate_ = std::make_shared<composer_text::TextDelegateOf<MVTChatViewController>>(weakAs<MVTChatViewController>());
    messageTextView_->setDelegate(textDelegate_);
    buttomView_->addSubview(messageTextView_);

    sendBt_ = inputBarButton({W - 80, 16, 25, 25}, "emoji", "emoji_h");
    sendBt_->setAccessibilityLabel(localized("表情"));
    sendBt_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->emojiBtClick();
    });
    buttomView_->addSubview(sendBt_);

    addBt_ = inputBarButton({W - 40, 16, 25, 25}, "add_nor", "add_pes");
    addBt_->setAccessibilityLabel(localized("图片"));
    addBt_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->imageClick();
    });
    buttomView_->addSubview(addBt_);
    view()->addSubview(buttomView_);

    keyboardToken_ = NotificationCenter::defaultCenter().addObserver(kKeyboardWillShowNotification, [weak](
                                                                                                   const Notification& note) {
        auto self = weak.lock();
        // Only a chat on screen follows the keyboard.
        if (!self || !self->isViewLoaded() || !self->view()->window()) return;
        self->keyBoardH_ = keyboardFrameFromUserInfo(note.userInfo, kKeyboardFrameEndUserInfoKey).height();
        animate(
            0.25,
            [weak] {
                auto chat = weak.lock();
                if (!chat) return;
                chat->changeButtomViewFrame();
                chat->mytableview_->setFrame({0, 0, inputScreenWidth(), inputScreenHeight() - 64 -
                                                                             chat->buttomView_->frame().height() -
                                                                             chat->keyBoardH_});
            },
            [weak](bool) {
                if (auto chat = weak.lock()) chat->scrollViewToEnd();
            });
    });
    if (UserDefaults::standard().boolForKey(kIsTextKey)) vedioClick();
}

void MVTChatViewController::changeButtomViewFrame() {
    if (!messageTextView_ || !buttomView_) return;
    const double H = inputScreenHeight();
    const double height = std::clamp(messageTextView_->textHeight(), 32.0, 76.0);
    Rect text = messageTextView_->frame();
    text.size.height = height;
    messageTextView_->setFrame(text);
    buttomView_->setFrame({0, H - 86 - height - keyBoardH_, inputScreenWidth(), height + 22});
    if (keyinputView_)
        keyinputView_->setFrame({0, buttomView_->frame().y() + buttomView_->frame().height(), inputScreenWidth(), 216});
}

bool MVTChatViewController::textViewShouldChangeText(Range, const std::string& replacement) {
    changeButtomViewFrame();
    if (replacement == "\n") {
        // The send key sends; the line break itself is never typed.
        sendButton();
        return false;
    }
    return true;
}

void MVTChatViewController::hideKeyboard() {
    keyBoardH_ = 0;
    if (!messageTextView_) return;
    messageTextView_->resignFirstResponder();
    const double W = inputScreenWidth(), H = inputScreenHeight();
    auto weak = weakAs<MVTChatViewController>();
    animate(
        0.25,
        [weak, W, H] {
            auto self = weak.lock();
            if (!self) return;
            if (self->mytableview_) self->mytableview_->setFrame({0, 0, W, H - 118});
            self->buttomView_->setFrame({0, H - 118, W, 54});
            Rect text = self->messageTextView_->frame();
            text.size.height = 32;
            self->messageTextView_->setFrame(text);
            if (self->keyinputView_) self->keyinputView_->setFrame({0, H - 64, W, 216});
        },
        [weak](bool) {
            auto self = weak.lock();
            if (self && self->mytableview_) self->mytableview_->setBounces(true);
        });
}

void MVTChatViewController::setVoiceMode(bool on) {
    vedioBt_->setImage(Image::imageNamed(on ? "key_1" : "icon_17"));
    vedioBt_->setImage(Image::imageNamed(on ? "key_2" : "icon_09"), ControlStateHighlighted);
    if (on && !vedioImageView_) {
        vedioImageView_ = std::make_shared<ImageView>(Rect(inputScreenWidth() / 2 - 115, 10.5, 185, 37));
        vedioImageView_->setImage(Image::imageNamed("vedio_start"));
        vedioImageView_->setAccessibilityLabel(localized("按住说话"));
        buttomView_->addSubview(vedioImageView_);
    }
    if (vedioImageView_) vedioImageView_->setHidden(!on);
    messageTextView_->setHidden(on);
}

void MVTChatViewController::vedioClick() {
    vedioBt_->setSelected(!vedioBt_->isSelected());
    auto& defaults = UserDefaults::standard();
    if (vedioBt_->isSelected()) {
        hideKeyboard();
        setVoiceMode(true);
        vedioStart_ = true;
        defaults.setBool(kIsTextKey, true);
        messageType_ = kVoiceMessage;
    } else {
        setVoiceMode(false);
        vedioStart_ = false;
        messageTextView_->becomeFirstResponder();
        messageType_ = kTextMessage;
        defaults.setBool(kIsTextKey, false);
    }
    defaults.synchronize();
}

void MVTChatViewController::emojiBtClick() {
    addBtClick();
    keyinputView_->emojiBtClick();
}

void MVTChatViewController::addBtClick() {
    if (vedioBt_->isSelected()) {
        vedioBt_->setSelected(false);
        setVoiceMode(false);
    }
    const double W = inputScreenWidth(), H = inputScreenHeight();
    if (!keyinputView_) {
        keyinputView_ = std::make_shared<MVTKeyinputView>();
        keyinputView_->initWithFrame({0, H - 64, W, 216});
        keyinputView_->setDelegate(weakAs<MVTKeyinputViewDelegate>());
        keyinputView_->setType(1);
        keyinputView_->setIsFromChatView(true);
        view()->addSubview(keyinputView_);
    }
    if (keyinputView_->type() == 2) keyinputView_->changType(1);
    messageType_ = kTextMessage;
    keyBoardH_ = 216;
    auto weak = weakAs<MVTChatViewController>();
    animate(0.3, [weak, W, H] {
        auto self = weak.lock();
        if (!self) return;
        self->changeButtomViewFrame();
        self->mytableview_->setFrame({0, 0, W, H - 64 - self->buttomView_->frame().height() - 216});
    });
    messageTextView_->resignFirstResponder();
}

void MVTChatViewController::selectedFacialView(const std::string& token) {
    messageTextView_->setText(messageTextView_->text() + token);
    changeButtomViewFrame();
}

void MVTChatViewController::sendMessage() {
    hideKeyboard();
    sendButton();
}

// ---- Pictures

void MVTChatViewController::imageClick() {
    auto sheet = ActionSheet::make(localized("选择发送的图片"), weakAs<ActionSheetDelegate>(), localized("取消"), "",
                                   {localized("相册"), localized("拍照")});
    sheet->setTag(kPictureSheetTag);
    sheet->showInView(view().get());
}

void MVTChatViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (sheet.tag() != kPictureSheetTag) {
        ViewViewController::actionSheetClickedButtonAtIndex(sheet, index);
        return;
    }
    if (index != 0 && index != 1) return;
    bool camera = index == 1;
    if (camera && !ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera)) {
        AlertView::make(localized("提示"), localized("设备没有照相功能"), {}, localized("确定"))->show();
        return;
    }
    auto picker = std::make_shared<myimagePickerViewController>();
    picker->setSourceType(camera ? ImagePickerSourceType::Camera : ImagePickerSourceType::PhotoLibrary);
    picker->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
    if (camera) picker->setAllowsEditing(true);
    picker->setDelegate(weakAs<ImagePickerControllerDelegate>());
    presentViewController(picker, true);
}

void MVTChatViewController::imagePickerControllerDidFinishPickingMedia(ImagePickerController& picker,
                                                                      const PickedMediaInfo& info) {
    picker.dismissViewController(true);
    if (info.mediaType != "public.image" || !info.originalImage) return;
    imagePath_ = MVTPublicMethod::getCurrentTimeString() + ".png";
    messageType_ = kPictureMessage;
    sendData_ = MVTPublicMethod::imageData(MVTPublicMethod::scale(info.originalImage, info.originalImage->size()));
    saveImageToDocuments();
    sendButton();
}

void MVTChatViewController::imagePickerControllerDidCancel(ImagePickerController& picker) {
    picker.dismissViewController(true);
}

void MVTChatViewController::saveImageToDocuments() {
    std::string name = imagePath_;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0) name.resize(name.size() - 4);
    if (!isPlainServiceId(name) || sendData_.empty()) return;
    std::string cached = MVTPublicMethod::getPathByFileName(MVTChatCell::kThumbnailPrefix + name, "png");
    if (MVTPublicMethod::fileExistsAtPath(cached)) return;
    for (const char* prefix : {MVTChatCell::kThumbnailPrefix, "og_", "yuantu_"})
        writeFileAtomically(MVTPublicMethod::getPathByFileName(prefix + name, "png"), sendData_);
    if (mytableview_) mytableview_->reloadData();
}

// ---- Recording

void MVTChatViewController::stopLevelTimer() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}

void MVTChatViewController::touchesBegan(const Touches& touches) {
    if (touches.empty()) return;
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (app && !app->checkRecordPermission()) return;
    if (vedioing_ || !vedioStart_) return;
    vedioing_ = true;
    const Point at = touches.front()->locationInView(buttomView_.get());
    if (!vedioImageView_ || !vedioImageView_->frame().contains(at)) return;
    stopPlay();
    showRecoding();
    vedioImageView_->setImage(Image::imageNamed("vedio_end"));
    vedioPath_ = MVTPublicMethod::getCurrentTimeString();
    if (!audioRecord_) {
        audioRecord_ = std::make_shared<MVTAudioRecordAndTransCoding>();
        audioRecord_->setDelegate(weakAs<MVTAudioRecordAndTransCodingDelegate>());
    }
    audioRecord_->beginRecordByFileName(vedioPath_);
    stopLevelTimer();
    auto weak = weakAs<MVTChatViewController>();
    timer_ = RunLoop::main().scheduleTimer(kLevelInterval, true, [weak](Timer&) {
        if (auto self = weak.lock()) self->levelTimerCallBack();
    });
}

void MVTChatViewController::touchesMoved(const Touches& touches) {
    if (touches.empty() || !vedioStart_ || !vedioing_ || !vedioImageView_) return;
    vedioImageView_->setImage(Image::imageNamed("vedio_end"));
    if (vedioImageView_->frame().contains(touches.front()->locationInView(buttomView_.get()))) showRecoding();
}

void MVTChatViewController::touchesEnded(const Touches&) {
    if (!vedioStart_ || !vedioing_) return;
    vedioing_ = false;
    messageType_ = kVoiceMessage;
    if (audioRecord_ && audioRecord_->recorder() && audioRecord_->recorder()->isRecording()) audioRecord_->endRecord();
    if (vedioImageView_) vedioImageView_->setImage(Image::imageNamed("vedio_start"));
    if (recordingView_) recordingView_->setHidden(true);
    stopLevelTimer();
}

void MVTChatViewController::showRecoding() {
    if (!recordingView_) {
        const Rect bounds = view()->bounds();
        recordingView_ = std::make_shared<View>(Rect(0, 0, bounds.width(), bounds.height() - 44));
        recordingView_->setBackgroundColor(Color::clear());
        recordingView_->setUserInteractionEnabled(false);
        const double W = recordingView_->frame().width(), H = recordingView_->frame().height();
        const double left = (W - 170) / 2, top = (H - 150) / 2;
        auto column = std::make_shared<View>(Rect(left + 60, top + 10, 40, 120));
        column->setBackgroundColor(Color::whiteColor());
        column->setTag(101);
        recordingView_->addSubview(column);
        auto level = std::make_shared<View>(Rect(left + 60, top + 40, 40, 60));
        level->setBackgroundColor(Color::rgba(0.255, 0.651, 0.859));
        level->setTag(100);
        recordingView_->addSubview(level);
        auto picture = std::make_shared<ImageView>(Rect(left, top, 170, 150));
        picture->setImage(Image::imageNamed("vedio_ing"));
        picture->setTag(200);
        recordingView_->addSubview(picture);
        view()->addSubview(recordingView_);
    }
    recordingView_->setHidden(false);
}

void MVTChatViewController::levelTimerCallBack() {
    if (!audioRecord_ || !audioRecord_->recorder() || !recordingView_) return;
    auto level = recordingView_->viewWithTag(100);
    if (!level) return;
    auto recorder = audioRecord_->recorder();
    recorder->updateMeters();
    const double power = std::clamp(double(recorder->averagePowerForChannel(0)), -100.0, 0.0);
    const double height = 60 * (100 + power) / 100;
    const double bottom = (recordingView_->frame().height() - 150) / 2 + 85;
    level->setFrame({level->frame().x(), bottom - height, 40, height});
}

void MVTChatViewController::wavToAmrComplete() {
    if (!audioRecord_ || !audioRecord_->isWavToAmrCompleted()) return;
    if (!vedioPath_.empty() && messageType_ == kVoiceMessage)
        sendData_ =
            readFile(MVTPublicMethod::getPathByFileName(vedioPath_ + "wavToAmr", "amr"), kChatLargestVoice).value_or("");
    sendButton();
}

// ---- Playing

void MVTChatViewController::toDownLoadAudioWith(Button& button) {
    stopPlay();
    currentPlayBtn_ = std::static_pointer_cast<Button>(button.shared_from_this());
    const std::string id = button.accessibilityHint();
    if (!isPlainServiceId(id)) {
        // An id that can name no file is never downloaded.
        initShowAlertLabel(localized("音频下载失败"));
        return;
    }
    auto app = MVTAppDelegate::sharedAppDelegate();
    const std::string url = ServiceAddress::baseUrl() + "resource/" + id + "/download?token=" +
                            (app ? app->getTokenWith(id) : "");
    const std::string target = (Paths::documentsDirectory() / "Downloads" / (id + ".amr")).string();
    auto weak = weakAs<MVTChatViewController>();
    downloadTokens_.erase(id);
    downloadTokens_[id] = NotificationCenter::defaultCenter().addObserver(id, [weak, id](const Notification& note) {
        if (auto self = weak.lock()) self->didDownloadAudio(id, textOf(note.object));
    });
    std::filesystem::create_directories(Paths::documentsDirectory() / "Downloads");
    auto download = std::make_shared<MVTDownLoadView>();
    download->download(url, target, id);
}

void MVTChatViewController::didDownloadAudio(const std::string& resourceId, const std::string& outcome) {
    if (outcome != "downloadSuccess") {
        initShowAlertLabel(localized("音频下载失败"));
        return;
    }
    const auto folder = Paths::documentsDirectory() / "Downloads";
    MVTVoiceJoiner::amrToWav((folder / (resourceId + ".amr")).string(), (folder / (resourceId + ".wav")).string());
    if (currentPlayBtn_) playRecord(currentPlayBtn_->accessibilityHint(), *currentPlayBtn_);
}

void MVTChatViewController::playRecord(const std::optional<std::string>& resModuleId, Button& button) {
    auto pressed = std::static_pointer_cast<Button>(button.shared_from_this());
    if (flageButton_.lock() == pressed && isPlay_) {
        stopPlay();
        return;
    }
    if (flageButton_.lock() != pressed) {
        flageButton_ = pressed;
        stopPlay();
    }
    isPlay_ = true;
    if (!resModuleId) return;
    myplayer_ = AudioPlayer::open(
        (Paths::documentsDirectory() / "Downloads" / (*resModuleId + ".wav")).string());
    if (!myplayer_) return;
    const int repeats = static_cast<int>(std::round(myplayer_->duration()) * 0.5 + 1);
    for (const auto& sub : pressed->subviews())
        if (auto icon = std::dynamic_pointer_cast<ImageView>(sub)) {
            icon->setAnimationRepeatCount(repeats);
            icon->startAnimating();
        }
    currentPlayBtn_ = pressed;
    AudioRoute::shared().overrideOutputAudioPort(AudioRouteOverride::Speaker);
    myplayer_->setVolume(0.8f);
    myplayer_->prepareToPlay();
    auto weak = weakAs<MVTChatViewController>();
    myplayer_->setOnFinish([weak](bool) {
        if (auto self = weak.lock()) self->stopPlay();
    });
    myplayer_->play();
}

void MVTChatViewController::stopPlay() {
    isPlay_ = false;
    if (!myplayer_) return;
    if (currentPlayBtn_) {
        currentPlayBtn_->setSelected(false);
        for (const auto& sub : currentPlayBtn_->subviews())
            if (auto icon = std::dynamic_pointer_cast<ImageView>(sub)) icon->stopAnimating();
        currentPlayBtn_.reset();
    }
    myplayer_->stop();
    myplayer_.reset();
}

void MVTChatViewController::initShowAlertLabel(const std::string& text) {
    if (!showAlertLabel_) {
        showAlertLabel_ = std::make_shared<Label>(Rect((inputScreenWidth() - 160) / 2, 0, 160, 30));
        showAlertLabel_->setBackgroundColor(Color::whiteColor());
        showAlertLabel_->setBorderColor(Color::rgba(0, 0.6, 0));
        showAlertLabel_->setBorderWidth(0.5);
        showAlertLabel_->setCornerRadius(4);
        showAlertLabel_->setTextAlignment(TextAlignment::Center);
        view()->addSubview(showAlertLabel_);
    }
    showAlertLabel_->setText(text);
    showAlertLabel_->setHidden(false);
    if (showAlertTimer_) showAlertTimer_->invalidate();
    auto weak = weakAs<MVTChatViewController>();
    showAlertTimer_ = RunLoop::main().scheduleTimer(kNoticeSeconds, false, [weak](Timer&) {
        auto self = weak.lock();
        if (self && self->showAlertLabel_) self->showAlertLabel_->setHidden(true);
    });
}
