#include "homework/HomeworkAttachmentList.h"

#include "core/MVTPublicMethod.h"
#include "homework/HomeworkScreen.h"
#include "shell/MVTAppDelegate.h"

#include "platform/AudioPlayer.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/ViewController.h"

#include <algorithm>
#include <cstdio>

using namespace platform;

namespace {

double attachmentScreenWidth() { return Screen::mainScreen().bounds().width(); }

std::string attachmentLowerText(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

}  // namespace

std::shared_ptr<HomeworkAttachmentList> HomeworkAttachmentList::make(std::weak_ptr<ViewController> host,
                                                                     std::weak_ptr<AlertViewDelegate> alertDelegate) {
    auto list = std::make_shared<HomeworkAttachmentList>();
    list->host_ = host;
    std::weak_ptr<HomeworkAttachmentList> weak = list;
    list->overlay_ = AttachmentDownloadOverlay::make(
        std::move(host), AttachmentDownloadOverlay::detailsOptions(),
        [weak](const std::string& path) {
            if (auto self = weak.lock()) self->playAttVideoWith(path);
        },
        std::move(alertDelegate));
    return list;
}

std::string HomeworkAttachmentList::iconNameForSuffix(const std::string& suffix, const char* otherwise) {
    const std::string type = attachmentLowerText(suffix);
    auto any = [&type](std::initializer_list<const char*> names) {
        return std::any_of(names.begin(), names.end(), [&type](const char* name) { return type == name; });
    };
    if (any({"text", "txt"})) return "text.png";
    if (any({"zip", "rar"})) return "zip.png";
    if (any({"doc", "doct", "docx"})) return "word.png";
    if (any({"ppt", "pptx"})) return "ppt.png";
    if (any({"image", "png", "jpg", "bmp", "gif", "tif", "pcx", "tga", "ico", "tiff", "jpeg"})) return "picture.png";
    if (any({"excel", "xlsx", "xls"})) return "excel.png";
    return otherwise;
}

std::string HomeworkAttachmentList::sizeText(const Json& size) {
    const double bytes = doubleValue(size);
    char text[64];
    if (bytes >= 1048576)
        std::snprintf(text, sizeof text, "%.1fM", bytes / 1048576);
    else if (bytes >= 1024)
        std::snprintf(text, sizeof text, "%.1fKB", bytes / 1024);
    else
        std::snprintf(text, sizeof text, "%.1fB", bytes);
    return text;
}

void HomeworkAttachmentList::splitResources(const Json& resources) {
    resListArr_ = Json::array();
    if (!resources.is_array()) return;
    for (const auto& resource : resources) {
        if (!resource.is_object()) continue;
        if (textOf(resource, "fileType") == "audio")
            audioDic_ = resource;
        else
            resListArr_.push_back(resource);
    }
}

double HomeworkAttachmentList::layoutFrom(double y) {
    if (audioDic_.is_object()) {
        createAudioBtnWith(y);
        y += kRowPitch;
    }
    for (const auto& resource : resListArr_) {
        createResBtnWith(resource, y);
        y += kRowPitch;
    }
    if (scrollView_ && y > scrollView_->frame().height()) scrollView_->setContentSize({attachmentScreenWidth(), y + 10});
    return y;
}

void HomeworkAttachmentList::createResBtnWith(const Json& resource, double y) {
    const double width = attachmentScreenWidth();
    auto row = Button::buttonWithType(ButtonType::Custom);
    row->setFrame({10, y, width - 20, 40});
    if (resource.contains("suffix")) row->setAccessibilityLabel(attachmentLowerText(textOf(resource, "suffix")));
    if (resource.contains("resourceName")) row->setAccessibilityHint(textOf(resource, "resourceName"));
    if (resource.contains("id")) row->setAccessibilityValue(textOf(resource, "id"));
    std::weak_ptr<AttachmentDownloadOverlay> overlay = overlay_;
    row->addTarget(ControlEventTouchUpInside, [overlay](Control& control) {
        if (auto self = overlay.lock()) self->toDownLoadAttachsWith(control);
    });

    auto icon = std::make_shared<ImageView>(Rect(5, 7.5, 25, 25));
    icon->setBackgroundColor(Color::clear());
    icon->setImage(Image::imageNamed(iconNameForSuffix(textOf(resource, "suffix"))));
    icon->setUserInteractionEnabled(false);
    row->addSubview(icon);

    auto name = std::make_shared<Label>(Rect(35, 0, width - 120, 40));
    name->setFont(Font::systemFontOfSize(14));
    name->setTextColor(homework::kTextGrey);
    name->setNumberOfLines(0);
    name->setBackgroundColor(Color::clear());
    if (resource.contains("resourceName")) name->setText(textOf(resource, "resourceName"));
    row->addSubview(name);

    auto size = std::make_shared<Label>(Rect(width - 85, 0, 60, 40));
    size->setFont(Font::systemFontOfSize(12));
    size->setTextColor(homework::kTextGrey);
    size->setTextAlignment(TextAlignment::Right);
    size->setBackgroundColor(Color::clear());
    if (resource.contains("size")) size->setText(sizeText(resource["size"]));
    row->addSubview(size);

    auto line = std::make_shared<ImageView>(Rect(0, 39.5, width - 20, 0.5));
    line->setImage(Image::imageNamed("line1.png"));
    row->addSubview(line);
    if (scrollView_) scrollView_->addSubview(row);
}

void HomeworkAttachmentList::createAudioBtnWith(double y) {
    if (!videoBtn_) {
        videoBtn_ = Button::buttonWithType(ButtonType::Custom);
        videoBtn_->setFrame({10, y, 142, 43});
        videoBtn_->setBackgroundColor(Color::clear());
        videoBtn_->setImage(Image::imageNamed("vedio_bg.png"));
        videoBtn_->setImageEdgeInsets({10, 0, 10, 0});
        std::weak_ptr<HomeworkAttachmentList> weak = weak_from_this();
        videoBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toPalyVideo(static_cast<Button&>(control));
        });
        videoPalyView_ = std::make_shared<ImageView>(Rect(15, 12.5, 18, 18));
        videoPalyView_->setBackgroundColor(Color::clear());
        videoPalyView_->setImage(Image::imageNamed("icon_52_white.png"));
        videoPalyView_->setAnimationImages({Image::imageNamed("icon_52_3white.png"),
                                            Image::imageNamed("icon_52_2white.png"),
                                            Image::imageNamed("icon_52_1white.png"),
                                            Image::imageNamed("icon_52_white.png")});
        videoPalyView_->setAnimationDuration(0.8);
        videoPalyView_->setUserInteractionEnabled(false);
        videoBtn_->addSubview(videoPalyView_);
        duaLa_ = std::make_shared<Label>(Rect(35, 11, 94, 21));
        duaLa_->setBackgroundColor(Color::clear());
        duaLa_->setFont(Font::systemFontOfSize(14));
        duaLa_->setTextColor(Color::whiteColor());
        duaLa_->setTextAlignment(TextAlignment::Center);
        duaLa_->setNumberOfLines(0);
        videoBtn_->addSubview(duaLa_);
    }
    videoBtn_->setFrame({10, y, 142, 43});
    if (scrollView_ && videoBtn_->superview() != scrollView_) scrollView_->addSubview(videoBtn_);
    if (audioDic_.contains("duration"))
        duaLa_->setText(MVTAppDelegate::sharedAppDelegate()->soundTimeLengthWith(intValue(audioDic_["duration"])));
    videoBtn_->setAccessibilityLabel("amr");
    if (audioDic_.contains("resourceName")) videoBtn_->setAccessibilityHint(textOf(audioDic_, "resourceName"));
    if (audioDic_.contains("id")) videoBtn_->setAccessibilityValue(textOf(audioDic_, "id"));
}

void HomeworkAttachmentList::toPalyVideo(Button& button) {
    const std::string wavPath = AttachmentDownloadOverlay::attachmentPath(button.accessibilityValue(), "wav");
    if (MVTPublicMethod::fileExistsAtPath(wavPath)) {
        playAttVideoWith(wavPath);
        return;
    }
    overlay_->toDownLoadAttachsWith(button);
}

void HomeworkAttachmentList::playAttVideoWith(const std::string& wavPath) {
    if (attAudio_ && attAudio_->isPlaying()) {
        attAudio_->stop();
        if (videoPalyView_) videoPalyView_->stopAnimating();
        return;
    }
    attAudio_ = AudioPlayer::open(wavPath);
    if (!attAudio_) return;
    attAudio_->setVolume(1.0f);
    std::weak_ptr<HomeworkAttachmentList> weak = weak_from_this();
    attAudio_->setOnFinish([weak](bool successfully) {
        if (auto self = weak.lock()) self->audioPlayerDidFinishPlaying(successfully);
    });
    attAudio_->prepareToPlay();
    attAudio_->play();
    if (videoPalyView_) videoPalyView_->startAnimating();
}

void HomeworkAttachmentList::audioPlayerDidFinishPlaying(bool) {
    if (audioDic_.is_object() && attAudio_) attAudio_->stop();
    if (videoPalyView_) videoPalyView_->stopAnimating();
}

void HomeworkAttachmentList::leave() {
    if (overlay_->attDownloading()) overlay_->toCancelDownLoad();
    if (attAudio_ && attAudio_->isPlaying()) {
        attAudio_->stop();
        if (videoPalyView_) videoPalyView_->stopAnimating();
    }
}
