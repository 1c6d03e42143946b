#include "microlessons/MVTUploadStatus.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

#include <filesystem>

using namespace platform;

namespace uploadstatus {

namespace {

std::string& lastResultText() {
    static std::string text;
    return text;
}

bool isResult(const std::string& text) {
    for (const char* key : {"转码失败", "视频过大，不支持", "上传失败", "上传成功"})
        if (text == localized(key)) return true;
    return false;
}

}  // namespace

void keepLastResult() {
    static ObserverToken token = NotificationCenter::defaultCenter().addObserver(
        MVTAppDelegate::kToGetSubmitMicroState, [](const Notification& notification) {
            if (!notification.object.is_string()) return;
            const std::string text = notification.object.get<std::string>();
            if (isResult(text)) lastResultText() = text;
        });
}

void forgetLastResult() { lastResultText().clear(); }

const std::string& lastResult() { return lastResultText(); }

void addVideoBadge(View& thumbnail) {
    auto badge = std::make_shared<Label>(Rect(0, 84, 100, 16));
    badge->setBackgroundColor(Color::rgba(0, 0, 0, 0.4));
    badge->setTextColor(Color::whiteColor());
    badge->setTextAlignment(TextAlignment::Center);
    badge->setFont(Font::systemFontOfSize(12));
    badge->setText(localized("视频"));
    auto camera = std::make_shared<ImageView>(Rect(5, 4, 15, 8));
    camera->setBackgroundColor(Color::clear());
    camera->setImage(Image::imageNamed("AssetsPickerVideo"));
    badge->addSubview(camera);
    thumbnail.addSubview(badge);
}

void showVideoThumbnail(ImageView& thumbnail, const std::string& videoPath) {
    thumbnail.setImage(PickedAsset{videoPath}.thumbnail(thumbnail.frame().width()));
}

std::string listedName(const std::string& fileName) { return fileName.substr(0, fileName.find('.')) + ".mp4"; }

}  // namespace uploadstatus

namespace {

const Color kStatusAccent = Color::rgba(0.38, 0.78, 0.976);
const Color kStatusGrey = Color::white(0.333);

std::shared_ptr<MVTAppDelegate> uploadQueue() { return MVTAppDelegate::sharedAppDelegate(); }

std::string slotAssetPath() {
    auto app = uploadQueue();
    if (!app || !app->upMicroArr().is_array() || app->upMicroArr().empty()) return "";
    const Json& asset = app->upMicroArr().front();
    return asset.is_string() ? asset.get<std::string>() : "";
}

}  // namespace

void MVTSubmitMicroViewController::viewDidLoad() {
    TestsScreen::viewDidLoad();
    setTitle(localized("上传列表"));
    auto weak = weakAs<MVTSubmitMicroViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    const double width = view()->bounds().width();
    auto card = std::make_shared<View>(Rect(10, 10, width - 20, 110));
    card->setBackgroundColor(Color::whiteColor());
    card->setCornerRadius(2);
    card->setBorderWidth(0.5);
    card->setBorderColor(Color::rgb255(225, 225, 225));
    view()->addSubview(card);

    imageView_ = std::make_shared<ImageView>(Rect(5, 5, 100, 100));
    imageView_->setBackgroundColor(Color::rgb255(242, 242, 242));
    imageView_->setClipsToBounds(true);
    imageView_->setBorderWidth(0.5);
    imageView_->setBorderColor(Color::rgb255(242, 242, 242));
    uploadstatus::addVideoBadge(*imageView_);
    card->addSubview(imageView_);

    nameLa_ = std::make_shared<Label>(Rect(115, 15, 180, 20));
    nameLa_->setBackgroundColor(Color::clear());
    nameLa_->setTextColor(kStatusGrey);
    nameLa_->setFont(Font::boldSystemFontOfSize(16));
    nameLa_->setNumberOfLines(0);
    card->addSubview(nameLa_);

    stateLa_ = std::make_shared<Label>(Rect(115, 75, 180, 20));
    stateLa_->setBackgroundColor(Color::clear());
    stateLa_->setTextColor(kStatusAccent);
    stateLa_->setFont(Font::systemFontOfSize(16));
    card->addSubview(stateLa_);

    encodeImageView_ = std::make_shared<ImageView>(Rect(190, 75, 20, 20));
    encodeImageView_->setImage(Image::imageNamed("fresh6.png"));
    std::vector<ImageRef> frames;
    for (const char* name : {"fresh5.png", "fresh4.png", "fresh3.png", "fresh2.png", "fresh1.png", "fresh6.png"})
        frames.push_back(Image::imageNamed(name));
    encodeImageView_->setAnimationImages(frames);
    encodeImageView_->setAnimationDuration(0.8);
    encodeImageView_->startAnimating();
    card->addSubview(encodeImageView_);

    possView_ = std::make_shared<View>(Rect(115, 102, kTrackWidth, 3));
    possView_->setBackgroundColor(Color::rgb255(193, 198, 192));
    possView_->setHidden(true);
    bar_ = std::make_shared<View>(Rect(0, 0, 5, 3));
    bar_->setBackgroundColor(kStatusAccent);
    bar_->setTag(11);
    possView_->addSubview(bar_);
    card->addSubview(possView_);

    selectView_ = std::make_shared<View>(Rect(10, 130, width - 20, 44));
    selectView_->setBackgroundColor(Color::clear());
    selectView_->setHidden(true);
    for (auto [tag, x, title] : {std::tuple{kRetryTag, 46.6, "重新上传"}, std::tuple{kCancelTag, 173.2, "取消上传"}}) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({x, 4, 80, 36});
        button->setTag(tag);
        button->setBackgroundColor(Color::whiteColor());
        button->setTitle(localized(title));
        button->setTitleColor(kStatusAccent);
        button->titleLabel()->setFont(Font::boldSystemFontOfSize(16));
        button->setCornerRadius(2);
        button->setClipsToBounds(true);
        button->addTarget(ControlEventTouchUpInside, [weak, tag = tag](Control&) {
            if (auto self = weak.lock()) self->whichBtnClilked(tag);
        });
        selectView_->addSubview(button);
    }
    view()->addSubview(selectView_);

    const std::string asset = slotAssetPath();
    if (!asset.empty()) {
        uploadstatus::showVideoThumbnail(*imageView_, asset);
        nameLa_->setText(uploadstatus::listedName(std::filesystem::path(asset).filename().string()));
        nameLa_->sizeToFit();
        stateLa_->setText(localized("转码中..."));
    }
    stateToken_ = NotificationCenter::defaultCenter().addObserver(
        MVTAppDelegate::kToGetSubmitMicroState, [weak](const Notification& notification) {
            auto self = weak.lock();
            if (self && notification.object.is_string()) self->toGetSubmitMicroState(notification.object.get<std::string>());
        });
    // A failure that came while no status screen listened still holds the slot: show it
    // now, so retry, cancel or another pick stay possible.
    const std::string last = uploadstatus::lastResult();
    if (!asset.empty() && (last == localized("上传失败") || last == localized("视频过大，不支持")))
        toGetSubmitMicroState(last);
}

void MVTSubmitMicroViewController::stopWheel() {
    encodeImageView_->stopAnimating();
    encodeImageView_->setHidden(true);
}

void MVTSubmitMicroViewController::toGetSubmitMicroState(const std::string& text) {
    stopWheel();
    if (text == localized("转码失败") || text == localized("视频过大，不支持")) {
        if (text == localized("视频过大，不支持")) toClear();
        stateLa_->setText(text);
        possView_->setHidden(true);
    } else if (text == localized("上传失败")) {
        stateLa_->setText(text);
        possView_->setHidden(true);
        selectView_->setHidden(false);
    } else if (text == localized("上传成功")) {
        stateLa_->setText(text);
        possView_->setHidden(true);
    } else {
        const double fraction = std::clamp(std::strtod(text.c_str(), nullptr), 0.0, 1.0);
        stateLa_->setText(localized("上传中..."));
        possView_->setHidden(false);
        bar_->setFrame({0, 0, kTrackWidth * fraction, 3});
    }
}

void MVTSubmitMicroViewController::whichBtnClilked(int tag) {
    if (tag == kRetryTag) againSubmit();
    if (tag == kCancelTag) cancelSubmit();
}

void MVTSubmitMicroViewController::againSubmit() {
    stateLa_->setText(localized("上传中..."));
    possView_->setHidden(false);
    bar_->setFrame({0, 0, 5, 3});
    if (auto app = uploadQueue()) app->startUpMicroWith(app->MP4Path());
}

void MVTSubmitMicroViewController::cancelSubmit() {
    toClear();
    leave();
}

void MVTSubmitMicroViewController::toClear() {
    auto app = uploadQueue();
    if (!app) return;
    std::error_code error;
    if (!app->MP4Path().empty() && std::filesystem::exists(app->MP4Path(), error))
        std::filesystem::remove(app->MP4Path(), error);
    app->setMP4Path("");
    app->setUpMicroArr(Json::array());
    uploadstatus::forgetLastResult();
}

void MVTSubmitMicroViewController::leave() {
    stateToken_.reset();
    if (auto navigation = navigationController()) navigation->popToRootViewController(true);
}

void MVTSubmitMicroViewController::goback() {
    if (stateLa_->text() == localized("上传失败")) {
        lastAlert_ = AlertView::make(localized("上传失败"), "", weakAs<AlertViewDelegate>(), localized("重新上传"),
                                     {localized("取消上传")});
        lastAlert_->setTag(kFailedAlertTag);
        lastAlert_->show();
        return;
    }
    leave();
}

void MVTSubmitMicroViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() != kFailedAlertTag) return;
    if (index == 0) againSubmit();
    if (index == 1) cancelSubmit();
}
