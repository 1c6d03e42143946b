// The row of an unsent post: layout from the PendingPost, its buttons and its voice state.
#include "composer/MVTSaveDynamicCell.h"

#include "composer/ComposerScreen.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/BackgroundQueue.h"
#include "platform/Markup.h"
#include "platform/RunLoop.h"
#include "platform/Values.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextMeasure.h"

#include <regex>

using namespace platform;

namespace {

const Color kLightBlue = Color::rgba(0.38, 0.78, 0.976);
constexpr int kSoundWaveFrames = 14;

std::string textIfAny(const nlohmann::json& post, const char* key) {
    if (!post.is_object() || !post.contains(key) || post.at(key).is_null()) return "";
    return textOf(post, key);
}

HtmlTextOptions rowTextOptions() {
    HtmlTextOptions options;
    options.textSizeMultiplier = 1.3;
    options.lineHeightMultiplier = 1.1;
    options.maxImageWidth = 36;
    options.maxImageHeight = 36;
    options.fontFamily = "Helvetica";
    options.textColor = Color::rgb255(0x77, 0x77, 0x77);
    options.linkColor = Color::rgb255(0x3C, 0x81, 0x97);
    options.underlineLinks = false;
    return options;
}

std::shared_ptr<Button> textButton(const std::string& title) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setBackgroundColor(Color::clear());
    button->setTitle(title);
    button->setTitleColor(kLightBlue);
    button->titleLabel()->setFont(Font::systemFontOfSize(16));
    return button;
}

double titleWidth(const std::string& title) {
    return TextMeasure::sizeWithFont(title, Font::systemFontOfSize(16)).width + 20;
}

}  // namespace

void MVTSaveDynamicCell::initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier) {
    TableViewCell::initWithStyle(style, reuseIdentifier);
}

int MVTSaveDynamicCell::row() const { return const_cast<MVTSaveDynamicCell*>(this)->contentView()->tag(); }

std::string MVTSaveDynamicCell::markupOf(const std::string& content) {
    // The typed text is escaped first, so "<" and "&" stay text; only the emoticon
    // tokens and the line breaks the app itself writes become markup.
    static const std::regex face(R"(\[em:(\d+):\])");
    std::string result;
    std::size_t from = 0;
    bool lines = false;
    while (true) {
        const std::size_t at = content.find("</br>", from);
        std::string piece = escapeHtml(content.substr(from, at == std::string::npos ? std::string::npos : at - from));
        result += std::regex_replace(
            piece, face, "<img src=\"$1.png\" width=\"16\" height=\"16\" style=\"vertical-align:middle;\">");
        if (at == std::string::npos) break;
        result += "<span style=\"color:white;\">.</span></li><li>";
        lines = true;
        from = at + 5;
    }
    return lines ? "<li>" + result + "</li>" : result;
}

std::string MVTSaveDynamicCell::visibilityKey(const std::string& permission, const std::string& role) {
    static const char* const kStudent[] = {"", "班级可见", "我的好友可见", "我的老师可见", "我的同学可见", "我的家长可见"};
    static const char* const kOthers[] = {"全校可见", "我的关系可见", "我的好友可见",
                                          "全校老师可见", "我的学生可见", "学生家长可见"};
    if (permission.empty() || role == "parent") return "";
    const long long value = integerValue(permission);
    if (value < 0 || value + 1 > 5) return "";
    return role == "student" ? kStudent[value + 1] : kOthers[value + 1];
}

void MVTSaveDynamicCell::pictureGrid(int count, double W, double& side, int& columns) {
    if (count == 1) {
        side = W;
        columns = 3;
    } else if (count == 2 || count == 4) {
        side = (W - 3) / 2;
        columns = 2;
    } else {
        side = (W - 6) / 3;
        columns = 3;
    }
}

void MVTSaveDynamicCell::reloadDataWith(const nlohmann::json& post, bool loadPictures) {
    auto content = contentView();
    for (auto& sub : std::vector<std::shared_ptr<View>>(content->subviews())) sub->removeFromSuperview();
    const double W = composer_screen::width();
    auto& account = MVTAccount::sharedInstance();
    const std::string role = account.role().value_or("");
    const std::string userId = account.userId().value_or("");
    dynamicId_ = textIfAny(post, "dynamicId");

    auto avatar = Button::buttonWithType(ButtonType::Custom);
    avatar->setFrame({10, 10, 40, 40});
    avatar->setBackgroundColor(Color::clear());
    avatar->setCornerRadius(20);
    avatar->setClipsToBounds(true);
    const char* fallback = role == "teacher" || role == "admin" || role == "system" ? "default_teacher"
                           : role == "parent"                                       ? "default_parent"
                                                                                    : "default_student";
    avatar->setImage(Image::imageNamed(fallback));
    avatar->setAccessibilityHint(userId);
    content->addSubview(avatar);
    MVTPublicMethod::setFaceImage(avatar, MVTPublicMethod::getPathByFileName(userId, "png"), role);

    auto name = std::make_shared<Label>(Rect(55, 10, W - 60, 20));
    name->setBackgroundColor(Color::clear());
    name->setTextColor(Color::rgba(0.278, 0.533, 0.624));
    name->setFont(Font::systemFontOfSize(14));
    name->setText(account.name().value_or(""));
    content->addSubview(name);

    auto time = std::make_shared<Label>(Rect(55, 30, 190, 20));
    time->setBackgroundColor(Color::clear());
    time->setTextColor(Color::white(0.467));
    time->setFont(Font::systemFontOfSize(12));
    time->setText(MVTAppDelegate::sharedAppDelegate()->getDateWith(dynamicId_));
    content->addSubview(time);

    const std::string visibility = visibilityKey(textIfAny(post, "permission"), role);
    if (!visibility.empty()) {
        const std::string text = localized(visibility);
        const double F = TextMeasure::sizeWithFont(text, Font::systemFontOfSize(12)).width;
        auto label = std::make_shared<Label>(Rect(W - 10 - F, 30, F, 20));
        label->setBackgroundColor(Color::clear());
        label->setTextColor(Color::lightGray());
        label->setTextAlignment(TextAlignment::Right);
        label->setFont(Font::systemFontOfSize(12));
        label->setText(text);
        content->addSubview(label);
    }

    double bottom = 55;
    const std::string body = textIfAny(post, "content");
    if (!body.empty() && body != "<null>") {
        auto text = std::make_shared<HtmlTextView>(Rect(10, 55, W - 20, 20));
        text->setBackgroundColor(Color::clear());
        text->setUserInteractionEnabled(false);
        text->setHtml(markupOf(body), rowTextOptions());
        const double height = text->contentHeightForWidth(W - 20);
        text->setFrame({10, 55, W - 20, height});
        content->addSubview(text);
        bottom = 55 + height;
    }

    imageArray_.clear();
    const nlohmann::json images = post.is_object() ? post.value("imagePath", nlohmann::json::array()) : nlohmann::json();
    if (images.is_array())
        for (const auto& path : images) imageArray_.push_back(textOf(path));
    const int shown = std::min<int>(static_cast<int>(imageArray_.size()), kMaxPictures);
    if (shown > 0) {
        double s = 0;
        int c = 3;
        pictureGrid(shown, W, s, c);
        for (int i = 0; i < shown; ++i) {
            auto picture = std::make_shared<ImageView>(Rect((s + 3) * (i % c), bottom + (s + 3) * (i / c), s, s));
            picture->setBackgroundColor(Color::clear());
            picture->setContentMode(ContentMode::ScaleAspectFill);
            picture->setClipsToBounds(true);
            picture->setTag(i);
            picture->setAccessibilityHint(imageArray_[i]);
            content->addSubview(picture);
            if (!loadPictures) continue;
            // Decoded off the main thread, shown on it.
            std::weak_ptr<ImageView> weak = picture;
            const std::string path = imageArray_[i];
            dispatchBackground([weak, path] {
                if (!MVTPublicMethod::fileExistsAtPath(path)) return;
                auto image = Image::imageWithContentsOfFile(path);
                if (!image) return;
                dispatchMain([weak, image] {
                    if (auto view = weak.lock()) view->setImage(image);
                });
            });
        }
        const int rows = (shown + 2) / 3;
        bottom += rows * (s + 3) + 2;
    }

    recordUrl_ = textIfAny(post, "vedioPath");
    prossLengthView_.reset();
    recordBtn_.reset();
    recordPalyImageView_.reset();
    durationLa_.reset();
    if (!recordUrl_.empty()) {
        const double y = shown > 0 ? bottom - 5 : bottom + 22;
        prossLengthView_ = std::make_shared<View>(Rect(0, y, W, 2));
        prossLengthView_->setBackgroundColor(Color::rgb255(202, 207, 199));
        auto progress = std::make_shared<View>(Rect(0, 0, 0, 2));
        progress->setBackgroundColor(kLightBlue);
        progress->setTag(kProgressTag);
        progress->setHidden(true);
        prossLengthView_->addSubview(progress);
        content->addSubview(prossLengthView_);

        recordBtn_ = Button::buttonWithType(ButtonType::Custom);
        recordBtn_->setFrame({(W - 44) / 2, y - 21, 44, 44});
        recordBtn_->setTag(kRecordButtonTag);
        recordBtn_->setAccessibilityLabel("selfplayrecord");
        std::weak_ptr<MVTSaveDynamicCell> weakSelf = std::static_pointer_cast<MVTSaveDynamicCell>(shared_from_this());
        recordBtn_->addTarget(ControlEventTouchUpInside, [weakSelf](Control&) {
            if (auto self = weakSelf.lock()) self->selfplayrecord();
        });
        recordPalyImageView_ = std::make_shared<ImageView>(Rect(0, 0, 44, 44));
        recordPalyImageView_->setBackgroundColor(Color::clear());
        recordPalyImageView_->setUserInteractionEnabled(false);
        recordPalyImageView_->setImage(Image::imageNamed("icon_media_play_round_black"));
        std::vector<ImageRef> frames;
        for (int i = 1; i <= kSoundWaveFrames; ++i) frames.push_back(Image::imageNamed("icon_feed_soundwave_" + std::to_string(i)));
        recordPalyImageView_->setAnimationImages(std::move(frames));
        recordPalyImageView_->setAnimationDuration(1.4);
        recordBtn_->addSubview(recordPalyImageView_);
        content->addSubview(recordBtn_);

        durationLa_ = std::make_shared<Label>(Rect(W - 60, y + 2, 50, 20));
        durationLa_->setBackgroundColor(Color::clear());
        durationLa_->setFont(Font::systemFontOfSize(14));
        durationLa_->setTextAlignment(TextAlignment::Right);
        durationLa_->setTextColor(Color::rgb255(150, 156, 143));
        durationLa_->setText(
            MVTAppDelegate::sharedAppDelegate()->soundTimeLengthWith(MVTPublicMethod::getVedioLength(recordUrl_)));
        content->addSubview(durationLa_);
        bottom = y - 21 + 44 + 5;
    }

    std::weak_ptr<MVTSaveDynamicCell> weakSelf = std::static_pointer_cast<MVTSaveDynamicCell>(shared_from_this());
    const std::string remove = localized("删除");
    deleteBtn_ = textButton(remove);
    deleteBtn_->setFrame({0, bottom, titleWidth(remove), 44});
    deleteBtn_->setAccessibilityHint(dynamicId_);
    deleteBtn_->addTarget(ControlEventTouchUpInside, [weakSelf](Control&) {
        if (auto self = weakSelf.lock()) self->toDeleteData();
    });
    content->addSubview(deleteBtn_);
    const std::string send = localized("发送");
    submitBtn_ = textButton(send);
    submitBtn_->setFrame({W - titleWidth(send), bottom, titleWidth(send), 44});
    submitBtn_->addTarget(ControlEventTouchUpInside, [weakSelf](Control&) {
        if (auto self = weakSelf.lock()) self->toSubmitData();
    });
    content->addSubview(submitBtn_);

    auto separator = std::make_shared<View>(Rect(10, bottom + 49, W - 20, 0.6));
    separator->setBackgroundColor(Color::rgb255(217, 222, 216));
    content->addSubview(separator);
    setFrame({0, 0, W, bottom + 50});
}

void MVTSaveDynamicCell::toDeleteData() {
    if (delegate_) delegate_->toDeleteSaveDynamicWith(deleteBtn_ ? deleteBtn_->accessibilityHint() : dynamicId_, row());
}

void MVTSaveDynamicCell::toSubmitData() {
    changeSubmitBtnState(true);
    if (delegate_) delegate_->toSubmitWhichDynamicWith(row());
}

void MVTSaveDynamicCell::selfplayrecord() {
    if (!recordBtn_) return;
    recordBtn_->setSelected(!recordBtn_->isSelected());
    setRecordbtnWith(recordBtn_->isSelected());
    if (delegate_) delegate_->playRecord(recordBtn_->isSelected() ? recordUrl_ : "", row());
}

void MVTSaveDynamicCell::setRecordbtnWith(bool on) {
    if (!recordBtn_) return;
    recordBtn_->setSelected(on);
    if (on)
        recordPalyImageView_->startAnimating();
    else
        recordPalyImageView_->stopAnimating();
}

void MVTSaveDynamicCell::changeState(int state) {
    if (!recordBtn_) return;
    recordBtn_->setEnabled(true);
    auto progress = prossLengthView_ ? prossLengthView_->viewWithTag(kProgressTag) : nullptr;
    if (state == 2) {
        recordBtn_->setSelected(MVTAppDelegate::sharedAppDelegate()->isPlaying());
        if (progress) progress->setHidden(false);
    } else {
        recordBtn_->setSelected(false);
        if (progress) progress->setHidden(true);
    }
    setRecordbtnWith(recordBtn_->isSelected());
}

void MVTSaveDynamicCell::showAudioProgress(double fraction) {
    if (!prossLengthView_) return;
    auto progress = prossLengthView_->viewWithTag(kProgressTag);
    if (!progress) return;
    progress->setFrame({0, 0, fraction * composer_screen::width(), 2});
    if (fraction >= 1) {
        progress->setFrame({0, 0, 2, 2});
        changeState(3);
    }
}

void MVTSaveDynamicCell::placeSubmit(const std::string& title) {
    const double W = composer_screen::width();
    const double width = titleWidth(title);
    submitBtn_->setTitle(title);
    submitBtn_->setFrame({W - width, submitBtn_->frame().minY(), width, 44});
}

void MVTSaveDynamicCell::changeSubmitBtnState(bool sending) {
    if (!submitBtn_) return;
    placeSubmit(localized(sending ? "正在发送" : "发送"));
    submitBtn_->setUserInteractionEnabled(!sending);
}
