// The composers' voice: hold the record button to record a take, slide off it to the lock
// or cancel target, join later takes to the clip, play the clip with a background tune on
// the route the proximity sensor picks, and remove it again.
#include "composer/MVTPostComposerViewController.h"

#include "composer/ComposerScreen.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/AudioPlayer.h"
#include "platform/AudioRecorder.h"
#include "platform/AudioRoute.h"
#include "platform/AudioSession.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/ProximitySensor.h"
#include "platform/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Touch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

using namespace platform;

const char* const MVTPostComposerViewController::kMusicTitles[kMusicItems] = {"原声", "古典", "欢快",
                                                                              "抒情", "轻柔", "热情"};
const char* const MVTPostComposerViewController::kMusicPictures[kMusicItems] = {"yuansheng", "gudian", "happy",
                                                                                "shuqing",   "shuhuan", "blaze"};

namespace {

const Color kTakeGrey = Color::rgba(0.716, 0.716, 0.716);
const Color kLevelColour = Color::rgba(0.255, 0.651, 0.859);
const Color kMark = Color::rgba(0.008, 0.702, 0.251);
constexpr double kLevelInterval = 0.1;
// A take held for less than this is refused.
constexpr float kShortestHold = 1.1f;
// The waiting overlay of a join stays this long after the join.
constexpr double kHudLinger = 0.2;

std::string wavOf(const std::string& name) { return MVTPublicMethod::getPathByFileName(name, "wav"); }
std::string amrOf(const std::string& name) { return MVTPublicMethod::getPathByFileName(name + "wavToAmr", "amr"); }

void markItem(View& item, bool marked) {
    Shadow shadow;
    shadow.color = kMark;
    shadow.offset = {1, 1};
    shadow.opacity = marked ? 1 : 0;
    item.setShadow(shadow);
}

}  // namespace

// ---- Views --------------------------------------------------------------------------------

void MVTPostComposerViewController::vedioView() {
    if (myvedioView) return;
    myvedioView = std::make_shared<ImageView>(Rect(10, 10, 170, 30));
    myvedioView->setImage(Image::imageNamed("vedio_bg"));
    myvedioView->setUserInteractionEnabled(true);
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    auto play = Button::buttonWithType(ButtonType::Custom);
    play->setFrame({8, 0, 30, 40});
    play->setAccessibilityLabel("playVedio");
    play->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->playVedio();
    });
    animationView = std::make_shared<ImageView>(Rect(2, 1.4, 26, 26));
    animationView->setImage(Image::imageNamed("icon_52_white"));
    animationView->setAnimationImages(composer_screen::speakerFrames());
    animationView->setAnimationDuration(1.0);
    animationView->setUserInteractionEnabled(false);
    play->addSubview(animationView);
    myvedioView->addSubview(play);
    const bool record = kind() == Kind::Record;
    recordLabel = std::make_shared<Label>(Rect(record ? 40 : 45, 2, 85, 25));
    recordLabel->setBackgroundColor(Color::clear());
    recordLabel->setFont(Font::systemFontOfSize(record ? 12 : 14));
    recordLabel->setTextAlignment(record ? TextAlignment::Left : TextAlignment::Center);
    if (!record) recordLabel->setTextColor(Color::whiteColor());
    myvedioView->addSubview(recordLabel);
    if (record) {
        auto logo = std::make_shared<ImageView>(Rect(20, 9, 12, 12));
        logo->setImage(Image::imageNamed("vedio_logo"));
        myvedioView->addSubview(logo);
    }
    auto remove = Button::buttonWithType(ButtonType::Custom);
    remove->setFrame({135, 0, 30, 30});
    remove->setImage(Image::imageNamed("icon_57.png"));
    remove->setImageEdgeInsets({6, 6, 6, 6});
    remove->setAccessibilityLabel("deleteallVedio");
    remove->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->deleteallVedio();
    });
    myvedioView->addSubview(remove);

    if (record && !bgView) {
        const double W = composer_screen::width();
        bgView = std::make_shared<View>(Rect(0, 60, W, 55));
        bgView->setBackgroundColor(Color::clear());
        vedioImageView = std::make_shared<ImageView>(Rect((W - 245) / 2, 10, 245, 35));
        vedioImageView->setImage(Image::imageNamed("recordbegin.png"));
        vedioImageView->setContentMode(ContentMode::Center);
        vedioImageView->setBackgroundColor(Color::whiteColor());
        vedioImageView->setCornerRadius(4);
        vedioImageView->setAccessibilityLabel("recordButton");
        vedioImageView->setUserInteractionEnabled(true);
        bgView->addSubview(vedioImageView);
    }
}

void MVTPostComposerViewController::showRecoding() {
    auto root = view();
    if (!recordingView) {
        const double W = root->bounds().width(), H = root->bounds().height() - 44;
        recordingView = std::make_shared<View>(Rect(0, 0, W, H));
        recordingView->setBackgroundColor(Color::clear());
        // The finger stays on the record button under it.
        recordingView->setUserInteractionEnabled(false);
        const double x = (W - 170) / 2, y = (H - 150) / 2;
        auto column = std::make_shared<View>(Rect(x + 60, y + 10, 40, 120));
        column->setBackgroundColor(Color::whiteColor());
        column->setTag(kLevelColumnTag);
        recordingView->addSubview(column);
        auto level = std::make_shared<View>(Rect(x + 60, y + 40, 40, 60));
        level->setBackgroundColor(kLevelColour);
        level->setTag(kLevelBarTag);
        recordingView->addSubview(level);
        auto picture = std::make_shared<ImageView>(Rect(x, y, 170, 150));
        picture->setImage(Image::imageNamed("vedio_ing"));
        picture->setTag(kRecordingPictureTag);
        recordingView->addSubview(picture);
    }
    if (recordingView->superview().get() != root.get()) root->addSubview(recordingView);
    recordingView->setHidden(false);
}

void MVTPostComposerViewController::lockAndDelete() {
    auto root = view();
    if (!lockAndDeleteView) {
        const double W = root->bounds().width(), H = root->bounds().height() - 44;
        lockAndDeleteView = std::make_shared<View>(Rect(0, 0, W, H));
        lockAndDeleteView->setBackgroundColor(Color::rgba(0, 0, 0, 0.6));
        lockAndDeleteView->setUserInteractionEnabled(false);
        // The two targets and the three gaps share the width.
        const double g = (composer_screen::width() - 158) / 3;
        lockView = std::make_shared<ImageView>(Rect(g, H - 120, 79, 79));
        lockView->setImage(Image::imageNamed("pub_recorder_lock"));
        lockView->setHighlightedImage(Image::imageNamed("pub_recorder_lock_h"));
        lockAndDeleteView->addSubview(lockView);
        deleteView = std::make_shared<ImageView>(Rect(2 * g + 79, H - 120, 79, 79));
        deleteView->setImage(Image::imageNamed("pub_recorder_cancel"));
        deleteView->setHighlightedImage(Image::imageNamed("pub_recorder_cancel_h"));
        lockAndDeleteView->addSubview(deleteView);
    }
    if (lockAndDeleteView->superview().get() != root.get()) root->addSubview(lockAndDeleteView);
    lockAndDeleteView->setHidden(false);
}

void MVTPostComposerViewController::hideRecordingViews() {
    if (lockAndDeleteView) lockAndDeleteView->setHidden(true);
    if (recordingView) recordingView->setHidden(true);
}

void MVTPostComposerViewController::stopLevelTimer() {
    if (timer) timer->invalidate();
    timer.reset();
}

std::string MVTPostComposerViewController::restPictureName() const {
    return kind() == Kind::Pic && !lastVedio.empty() ? "tap_start.png" : "recordbegin.png";
}

std::string MVTPostComposerViewController::durationText(int seconds) const {
    char text[64];
    if (seconds >= 60) {
        std::snprintf(text, sizeof text, "%.2d:%.2d ", seconds / 60, seconds % 60);
        return text;
    }
    return std::to_string(seconds) + " " + localized(kind() == Kind::Record ? "″" : "秒");
}

// ---- Touches ------------------------------------------------------------------------------

void MVTPostComposerViewController::touchesBegan(const Touches& touches) {
    if (touches.empty() || closed_ || isSaving) return;
    const bool onButton =
        vedioImageView && bgView && vedioImageView->frame().contains(touches.front()->locationInView(bgView.get()));
    if (onButton && !MVTAppDelegate::sharedAppDelegate()->checkRecordPermission()) return;
    if (vedioing && !islock) return;
    if (!vedioing && !islock) {
        stopPlay();
        if (!onButton) return;
        vedioing = true;
        complete = true;
        startTime = platform::now();
        showRecoding();
        vedioImageView->setImage(Image::imageNamed("recording.png"));
        if (kind() == Kind::Record) vedioImageView->setBackgroundColor(kTakeGrey);
        vedioPath = MVTPublicMethod::getCurrentTimeString();
        if (!audioRecord) {
            audioRecord = std::make_shared<MVTAudioRecordAndTransCoding>();
            audioRecord->setDelegate(weakAs<MVTAudioRecordAndTransCodingDelegate>());
        }
        audioRecord->beginRecordByFileName(vedioPath);
        std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
        stopLevelTimer();
        timer = RunLoop::main().scheduleTimer(kLevelInterval, true, [weak](Timer&) {
            if (auto self = weak.lock()) self->levelTimerCallBack();
        });
        return;
    }
    if (islock && onButton) unlock = true;
}

void MVTPostComposerViewController::touchesMoved(const Touches& touches) {
    if (touches.empty() || !vedioing || (islock && !unlock)) return;
    const Touch& touch = *touches.front();
    if (vedioImageView->frame().contains(touch.locationInView(bgView.get()))) {
        showRecoding();
        if (lockAndDeleteView) lockAndDeleteView->setHidden(true);
    } else {
        lockAndDelete();
        const Point p = touch.locationInView(lockAndDeleteView.get());
        const bool onLock = lockView->frame().contains(p);
        lockView->setHighlighted(onLock);
        deleteView->setHighlighted(!onLock && deleteView->frame().contains(p));
    }
    vedioImageView->setImage(Image::imageNamed("recording.png"));
}

void MVTPostComposerViewController::touchesEnded(const Touches& touches) {
    if (touches.empty() || !vedioing || (islock && !unlock)) {
        if (lockAndDeleteView) lockAndDeleteView->setHidden(true);
        return;
    }
    const Touch& touch = *touches.front();
    const bool onButton = vedioImageView->frame().contains(touch.locationInView(bgView.get()));
    // The targets count only where the panel showed.
    const bool panel = lockAndDeleteView && !lockAndDeleteView->isHidden();
    const Point p = panel ? touch.locationInView(lockAndDeleteView.get()) : Point{};
    if (onButton) {
        oldTime = platform::now();
        compeleteRecord();
        vedioImageView->setImage(Image::imageNamed(restPictureName()));
    } else if (panel && lockView->frame().contains(p)) {
        vedioing = true;
        islock = true;
        showRecoding();
        lockView->setHighlighted(true);
        deleteView->setHighlighted(false);
        vedioImageView->setImage(Image::imageNamed("tap_end.png"));
    } else if (panel && deleteView->frame().contains(p)) {
        lockView->setHighlighted(false);
        deleteView->setHighlighted(true);
        vedioImageView->setImage(Image::imageNamed(restPictureName()));
        if (kind() == Kind::Record) vedioImageView->setBackgroundColor(Color::whiteColor());
        becomeLast();
    } else {
        oldTime = platform::now();
        compeleteRecord();
        vedioImageView->setImage(Image::imageNamed(restPictureName()));
    }
    unlock = false;
    if (lockAndDeleteView) lockAndDeleteView->setHidden(true);
}

void MVTPostComposerViewController::touchesCancelled(const Touches& touches) {
    // A finger taken away by the system ends the take as a release elsewhere would.
    if (vedioing && !islock) touchesEnded(touches);
}

void MVTPostComposerViewController::levelTimerCallBack() {
    auto recorder = audioRecord ? audioRecord->recorder() : nullptr;
    if (!recorder || !recordingView) return;
    recorder->updateMeters();
    const double power = std::clamp(static_cast<double>(recorder->averagePowerForChannel(0)), -100.0, 0.0);
    auto level = recordingView->viewWithTag(kLevelBarTag);
    if (!level) return;
    const double H = recordingView->frame().height();
    level->setFrame({level->frame().minX(), (H - 150) / 2 + 25 + 60 * (-power) / 100, 40, 60 * (power + 100) / 100});
}

// ---- Takes --------------------------------------------------------------------------------

void MVTPostComposerViewController::compeleteRecord() {
    if (audioRecord && audioRecord->recorder() && audioRecord->recorder()->isRecording()) audioRecord->endRecord();
    islock = false;
    if (!vedioPath.empty()) {
        vedioImageView->setImage(Image::imageNamed("recordbegin.png"));
        const int length = MVTPublicMethod::getVedioLength(vedioPath);
        bool refused = true;
        if (length > 0 || !lastVedio.empty()) refused = static_cast<float>(oldTime - startTime) < kShortestHold;
        if (refused) {
            AlertView::make(localized("提示"), localized("录音时间过短,请重新录制"), {}, localized("知道了"))->show();
            deleteVedioNamed(vedioPath);
            vedioPath = lastVedio;
            stopLevelTimer();
            islock = isSaving = vedioing = false;
        } else {
            stopRecord();
        }
    }
    vedioing = false;
    if (recordingView) recordingView->setHidden(true);
    if (kind() == Kind::Record) vedioImageView->setBackgroundColor(Color::whiteColor());
}

void MVTPostComposerViewController::stopRecord() {
    if (!vedioing) return;
    myvedioView->setHidden(false);
    if (bgVedioScroll) bgVedioScroll->setHidden(false);
    placeVoiceBar();
    if (lastVedio.empty()) {
        lastVedio = vedioPath;
        showVedioTime();
        return;
    }
    if (lastVedio == vedioPath) return;
    isSaving = true;
    addHud();
    if (MVTPublicMethod::getVedioLength(vedioPath) == 0) {
        becomeLast();
        return;
    }
    const std::string joined = vedioPath + "_new";
    platform::log("拼接前时间 %s", MVTPublicMethod::getCurrentTimeString().c_str());
    audioRecord->mixAudio(wavOf(vedioPath), wavOf(lastVedio), wavOf(joined));
    platform::log("拼接后时间 %s", MVTPublicMethod::getCurrentTimeString().c_str());
    if (audioRecord->isWavToAmrCompleted()) mixAmr();
}

void MVTPostComposerViewController::mixAmr() {
    if (!isSaving || lastVedio.empty() || vedioPath.empty()) return;
    const std::string joined = vedioPath + "_new";
    audioRecord->mixAmr(amrOf(lastVedio), amrOf(vedioPath));
    std::error_code error;
    std::filesystem::copy_file(amrOf(lastVedio), amrOf(joined), std::filesystem::copy_options::overwrite_existing,
                               error);
    deleteVedioNamed(lastVedio);
    deleteVedioNamed(vedioPath);
    isSaving = false;
    vedioPath = joined;
    lastVedio = vedioPath;
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    RunLoop::main().performAfter(kHudLinger, [weak] {
        if (auto self = weak.lock()) self->removeHUD();
    });
    showVedioTime();
}

void MVTPostComposerViewController::becomeLast() {
    // The recorder stops before its files go, so nothing writes them again.
    if (audioRecord && audioRecord->recorder() && audioRecord->recorder()->isRecording()) audioRecord->endRecord();
    if (!vedioPath.empty() && vedioPath != lastVedio) deleteVedioNamed(vedioPath);
    vedioPath = lastVedio;
    hideRecordingViews();
    stopLevelTimer();
    islock = isSaving = vedioing = false;
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    RunLoop::main().performAfter(kHudLinger, [weak] {
        if (auto self = weak.lock()) self->removeHUD();
    });
}

void MVTPostComposerViewController::showVedioTime() {
    recordLabel->setText(durationText(MVTPublicMethod::getVedioLength(vedioPath)));
    const Rect bar = myvedioView->frame();
    if (myView) myView->scrollRectToVisible({0, bar.minY(), bar.width(), bar.height()}, true);
    hideRecordingViews();
    stopLevelTimer();
    islock = isSaving = vedioing = false;
}

void MVTPostComposerViewController::addHud() {
    hideRecordingViews();
    if (waitingMB) waitingMB->removeFromSuperview();
    waitingMB = std::make_shared<ProgressHUD>();
    waitingMB->initWithView(view());
    view()->addSubview(waitingMB);
    waitingMB->show(true);
}

void MVTPostComposerViewController::removeHUD() {
    if (!waitingMB) return;
    waitingMB->removeFromSuperview();
    waitingMB.reset();
}

void MVTPostComposerViewController::endTakeForLeaving() {
    stopLevelTimer();
    if (vedioing && audioRecord && audioRecord->recorder() && audioRecord->recorder()->isRecording())
        audioRecord->endRecord();
    vedioing = islock = unlock = false;
    hideRecordingViews();
}

void MVTPostComposerViewController::deleteVedioNamed(const std::string& name) {
    MVTPublicMethod::deleteFileAtPath(wavOf(name));
    MVTPublicMethod::deleteFileAtPath(amrOf(name));
}

void MVTPostComposerViewController::deleteallVedio() {
    stopPlay();
    if (myvedioView) myvedioView->setHidden(true);
    if (bgVedioScroll) {
        bgVedioScroll->setHidden(true);
        for (const auto& item : bgVedioScroll->subviews())
            if (dynamic_cast<Button*>(item.get())) {
                item->setUserInteractionEnabled(true);
                markItem(*item, item->tag() == 0);
            }
    }
    backMusic.clear();
    if (vedioImageView) vedioImageView->setImage(Image::imageNamed("recordbegin.png"));
    if (!vedioPath.empty()) deleteVedioNamed(vedioPath);
    isSaving = false;
    vedioPath.clear();
    lastVedio.clear();
    vedioing = false;
}

// ---- Playback -----------------------------------------------------------------------------

void MVTPostComposerViewController::playVedio() {
    if (vedioPath.empty()) return;
    auto app = MVTAppDelegate::sharedAppDelegate();
    animationView->stopAnimating();
    app->stopPlayAudio();
    if (playerTimer) playerTimer->invalidate();
    playerTimer.reset();
    ProximitySensor::shared().setMonitoringEnabled(true);
    const std::string path = wavOf(vedioPath);
    app->toSetAudio(path, backMusic);
    auto player = AudioPlayer::open(path);
    const double duration = player ? player->duration() : 0;
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    playerTimer = RunLoop::main().performAfter(duration + 0.1, [weak] {
        if (auto self = weak.lock()) self->stopPlay();
    });
    animationView->setAnimationRepeatCount(
        static_cast<int>(std::floor(MVTPublicMethod::getVedioLength(vedioPath) * 0.5 + 1)));
    animationView->setAnimationDuration(1.0);
    animationView->startAnimating();
    composer_screen::routeVoiceByProximity();
}

void MVTPostComposerViewController::stopPlay() {
    if (playerTimer) playerTimer->invalidate();
    playerTimer.reset();
    if (bgVedioScroll)
        for (const auto& item : bgVedioScroll->subviews()) item->setUserInteractionEnabled(true);
    if (animationView) animationView->stopAnimating();
    ProximitySensor::shared().setMonitoringEnabled(false);
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->stopPlayAudio();
}

void MVTPostComposerViewController::playAgain() {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (app && app->isPlaying())
        playVedio();
    else
        stopPlay();
}

void MVTPostComposerViewController::backgroundVedioView() {
    if (bgVedioScroll) return;
    bgVedioScroll = std::make_shared<ScrollView>(Rect(0, 45, view()->bounds().width(), 108));
    bgVedioScroll->setBackgroundColor(Color::rgba(0.949, 0.949, 0.949));
    bgVedioScroll->setCornerRadius(2);
    bgVedioScroll->setBorderWidth(1);
    bgVedioScroll->setBorderColor(Color::clear());
    bgVedioScroll->setClipsToBounds(true);
    bgVedioScroll->setShowsHorizontalScrollIndicator(false);
    bgVedioScroll->setContentSize({419, 108});
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    for (int i = 0; i < kMusicItems; ++i) {
        const double x = 10 + 68 * i;
        auto title = std::make_shared<Label>(Rect(x, 78, 60, 20));
        title->setBackgroundColor(Color::clear());
        title->setText(localized(kMusicTitles[i]));
        title->setTextAlignment(TextAlignment::Center);
        title->setTextColor(Color::rgba(0.4, 0.4, 0.4));
        bgVedioScroll->addSubview(title);
        auto item = Button::buttonWithType(ButtonType::Custom);
        item->setFrame({x, 10, 60, 60});
        item->setBackgroundColor(Color::whiteColor());
        item->setTag(i);
        item->setBackgroundImage(Image::imageNamed(kMusicPictures[i]));
        item->setBackgroundImage(Image::imageNamed(std::string(kMusicPictures[i]) + "_press"), ControlStateHighlighted);
        item->setAccessibilityHint(i == 0 ? "" : std::to_string(i));
        item->setAccessibilityLabel(localized(kMusicTitles[i]));
        markItem(*item, i == 0);
        item->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toPlayVedio(static_cast<Button&>(control));
        });
        bgVedioScroll->addSubview(item);
    }
}

void MVTPostComposerViewController::toPlayVedio(Button& chosen) {
    for (const auto& item : bgVedioScroll->subviews()) {
        if (!dynamic_cast<Button*>(item.get())) continue;
        const bool selected = item->tag() == chosen.tag();
        markItem(*item, selected);
        item->setUserInteractionEnabled(!selected);
    }
    backMusic = chosen.tag() == 0 ? "" : chosen.accessibilityHint() + ".mp3";
    playVedio();
}
