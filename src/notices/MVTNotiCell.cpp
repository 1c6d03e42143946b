#include "notices/MVTNotiCell.h"

#include "notices/NoticeShared.h"

#include "core/MVTPublicMethod.h"
#include "feed/PostRecord.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/ui/Button.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>
#include <cmath>

using namespace platform;

std::shared_ptr<View> MVTNotiCell::viewForAttachment(HtmlTextView&, const HtmlAttachment& attachment, const Rect& frame) {
    auto picture = std::make_shared<LazyImageView>(frame);
    picture->setDisplaySize(frame.size);
    picture->setDelegate(std::static_pointer_cast<MVTNotiCell>(shared_from_this()));
    picture->setImage(attachment.image ? attachment.image : Image::imageNamed("honor_meyo.gif"));
    if (!attachment.remoteUrl.empty()) picture->setUrl(attachment.remoteUrl);
    return picture;
}

void MVTNotiCell::lazyImageViewDidChangeImageSize(LazyImageView& view, Size size) {
    if (size.width <= 0 || size.height <= 0) return;
    // A picture larger than the text's picture box is shown within it, in proportion, so
    // that it cannot spread over the rest of the card.
    const HtmlTextOptions options = notices::noticeTextOptions();
    const double scale = std::min({1.0, options.maxImageWidth / size.width, options.maxImageHeight / size.height});
    const Rect frame = view.frame();
    const double width = size.width * scale, height = size.height * scale;
    view.setFrame({frame.midX() - width / 2, frame.midY() - height / 2, width, height});
}

namespace {

const Color kNotiAccentBar = Color::rgba(0.6, 0.678, 0.482);
const Color kNotiNameColor = Color::rgba(0.212, 0.396, 0.208);
const Color kNotiBorder = Color::rgba(0.851, 0.875, 0.843);
const Color kNotiLinkBlue = Color::rgba(0.38, 0.78, 0.976);

double notiScreenWidth() { return Screen::mainScreen().bounds().width(); }

// The running offset keeps whole points: a step that adds a fraction drops it.
double wholePoints(double value) { return std::floor(value); }

bool notiHasText(const Json& record, const char* key) {
    return record.is_object() && record.contains(key) && !MVTPublicMethod::stringIsClassNull(record[key]);
}

std::vector<ImageRef> musicFrames() {
    std::vector<ImageRef> frames;
    for (int i = 1; i <= 14; ++i) frames.push_back(Image::imageNamed("icon_music_" + std::to_string(i)));
    return frames;
}

}  // namespace

std::shared_ptr<MVTNotiCell> MVTNotiCell::make() {
    auto cell = std::make_shared<MVTNotiCell>();
    cell->initWithStyle(TableViewCellStyle::Default, kReuseIdentifier);
    return cell;
}

void MVTNotiCell::initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier) {
    TableViewCell::initWithStyle(style, reuseIdentifier);
    bgView_ = std::make_shared<View>(Rect(0, 0, notiScreenWidth(), 30));
    bgView_->setBackgroundColor(Color::clear());
    contentView()->addSubview(bgView_);
}

std::shared_ptr<Label> MVTNotiCell::labelNamed(const std::string& text, const Rect& frame, const Color& color,
                                               double fontSize) {
    auto label = std::make_shared<Label>(frame);
    label->setText(text);
    label->setTextColor(color);
    label->setFont(Font::systemFontOfSize(fontSize));
    label->setBackgroundColor(Color::clear());
    label->setTextAlignment(TextAlignment::Left);
    return label;
}

double MVTNotiCell::voiceButtonTop(double y, std::size_t pictures) {
    if (pictures == 0) return y;
    if (pictures == 1) return y - 39;
    if (pictures <= 3) return y - 30;
    if (pictures <= 6) return y - 45;
    return y - 39;
}

std::string MVTNotiCell::readLineText(const Json& notice) {
    const long long read = integerValue(valueFor(notice, "readCount"));
    const long long unread = integerValue(valueFor(notice, "notReadCount"));
    if (read == 0 && unread == 0) return "";
    const long long shown = std::max(0LL, read);
    const long long sent = read + unread;
    const bool receipt = integerValue(valueFor(notice, "receipt")) != 0;
    return notices::fill(localized(receipt ? "%d人回执/发送%d人" : "%d人已读/发送%d人"),
                         {std::to_string(shown), std::to_string(sent)});
}

void MVTNotiCell::reloadCellWith(const Json& notice, int index) {
    const double W = notiScreenWidth();
    notDict_ = notice.is_object() ? notice : Json::object();
    notIndex_ = index;
    auto weak = std::weak_ptr<MVTNotiCell>(std::static_pointer_cast<MVTNotiCell>(shared_from_this()));

    // Avatar: a white ring and the author's picture, which takes no taps.
    auto ring = std::make_shared<ImageView>(Rect(8, 8, 44, 44));
    ring->setBackgroundColor(Color::whiteColor());
    ring->setCornerRadius(22);
    bgView_->addSubview(ring);
    auto avatar = Button::buttonWithType(ButtonType::Custom);
    avatar->setFrame({10, 10, 40, 40});
    avatar->setImage(Image::imageNamed("default_user"));
    avatar->setCornerRadius(20);
    avatar->setClipsToBounds(true);
    avatar->setUserInteractionEnabled(false);
    avatar->setAccessibilityHint(textOf(notDict_, "uid"));
    avatar->setAccessibilityValue("teacher");
    bgView_->addSubview(avatar);
    if (post::isPlainName(textOf(notDict_, "uid")))
        MVTPublicMethod::setFaceImage(avatar, MVTPublicMethod::getPathByFileName(textOf(notDict_, "uid"), "png"),
                                      textOf(notDict_, "role"));

    const std::string name = notiHasText(notDict_, "name") ? textOf(notDict_, "name") : "";
    const double nameWidth = TextMeasure::sizeWithFont(name, Font::systemFontOfSize(16)).width;
    bgView_->addSubview(labelNamed(name, {60, 10, nameWidth + 5, 20}, kNotiNameColor, 16));

    double y = 30;
    if (notiHasText(notDict_, "title")) {
        const std::string title = textOf(notDict_, "title");
        const double height =
            TextMeasure::sizeWithFont(title, Font::systemFontOfSize(16), Size(W - 65, 1000)).height;
        auto label = labelNamed(title, {60, 30, W - 65, height}, Color::black(), 14);
        label->setNumberOfLines(0);
        label->setLineBreakMode(LineBreakMode::WordWrap);
        bgView_->addSubview(label);
        y = wholePoints(30 + height);
    }

    if (notiHasText(notDict_, "content")) {
        auto body = std::make_shared<HtmlTextView>(Rect(5, y, W - 20, 40));
        body->setBackgroundColor(Color::clear());
        body->setUserInteractionEnabled(false);
        body->setDelegate(std::static_pointer_cast<MVTNotiCell>(shared_from_this()));
        bodyView_ = body;
        body->setHtml(notices::noticeBodyMarkup(textOf(notDict_, "content")), notices::noticeTextOptions());
        // Measured at the width it is shown at, so no line is cut off at its foot.
        const double height = body->contentHeightForWidth(W - 70);
        if (height > 0) {
            body->setFrame({60, y, W - 70, height + 10});
            y = wholePoints(y + height + 25);
        }
        bgView_->addSubview(body);
    }

    const post::Attachments attachments = post::splitAttachments(notDict_);
    imageArray_ = attachments.pictures;

    if (!imageArray_.empty()) {
        const double side = (W - 71) / 4;
        const bool big = imageArray_.size() == 1;
        for (std::size_t i = 0; i < std::min<std::size_t>(3, imageArray_.size()); ++i) {
            auto thumbnail = std::make_shared<ImageView>(Rect(50 + double(i) * (side + 5), y, side, side));
            thumbnail->setTag(int(i));
            thumbnail->setBackgroundColor(Color::lightGray());
            thumbnail->setContentMode(ContentMode::ScaleAspectFill);
            thumbnail->setClipsToBounds(true);
            thumbnail->setUserInteractionEnabled(true);
            const int tag = int(i);
            thumbnail->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak, tag](GestureRecognizer&) {
                if (auto self = weak.lock()) self->tapImage(tag);
            }));
            fillThumbnail(thumbnail, imageArray_[i], big);
            bgView_->addSubview(thumbnail);
            thumbnails_.push_back(thumbnail);
        }
        y = wholePoints(y + side + 5);
    }

    if (!attachments.voices.empty()) {
        const Json& voice = attachments.voices[0];
        const double v = voiceButtonTop(y, imageArray_.size());
        recordBtn_ = Button::buttonWithType(ButtonType::Custom);
        recordBtn_->setFrame({130, v, 50, 50});
        recordBtn_->setAccessibilityHint(textOf(voice, "resModuleId"));
        recordBtn_->setTag(notIndex_);
        recordBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toPalyOrDownLoadAudio(static_cast<Button&>(control));
        });
        recordPlayView_ = std::make_shared<ImageView>(Rect(0, 0, 50, 50));
        recordPlayView_->setTag(kRecordPlayViewTag);
        recordPlayView_->setImage(Image::imageNamed("icon_play.png"));
        recordPlayView_->setAnimationImages(musicFrames());
        recordPlayView_->setAnimationDuration(1.5);
        recordPlayView_->setUserInteractionEnabled(false);
        recordBtn_->addSubview(recordPlayView_);
        bgView_->addSubview(recordBtn_);
        if (notiHasText(voice, "clicks")) {
            auto clicks = labelNamed(notices::fill("%@: %@ %@", {localized("点击"), textOf(voice, "clicks"), localized("次")}),
                                     {W - 115, v + 30, 100, 15}, Color::lightGray(), 12);
            clicks->setTextAlignment(TextAlignment::Right);
            bgView_->addSubview(clicks);
        }
        if (notiHasText(voice, "duration")) {
            auto length = labelNamed(notices::fill("%@ %@", {textOf(voice, "duration"), localized("秒")}),
                                     {W - 115, v + 45, 100, 15}, Color::lightGray(), 12);
            length->setTextAlignment(TextAlignment::Right);
            bgView_->addSubview(length);
        }
        y += imageArray_.empty() ? 60 : 35;
    }

    if (!attachments.files.empty()) {
        y += 5;
        for (const auto& file : attachments.files) {
            auto button = getAttachsButtonWith(file);
            button->setFrame({55, y, W - 80, 40});
            bgView_->addSubview(button);
            y += 45;
        }
    }

    const Json& links = post::listOf(notDict_, "links");
    if (!links.empty()) {
        y += 5;
        for (const auto& link : links) {
            if (!link.is_object()) continue;
            auto button = getLinksButtonWith(link);
            button->setFrame({55, y, W - 80, 40});
            bgView_->addSubview(button);
            y += 45;
        }
    }

    const std::string readLine = readLineText(notDict_);
    if (!readLine.empty()) {
        const double width = TextMeasure::sizeWithFont(readLine, Font::systemFontOfSize(14)).width + 6;
        readButton_ = Button::buttonWithType(ButtonType::Custom);
        readButton_->setFrame({W - width, y + 5, width, 15});
        readButton_->setTitle(readLine);
        readButton_->setTitleColor(kNotiLinkBlue);
        readButton_->titleLabel()->setFont(Font::systemFontOfSize(10));
        readButton_->setCornerRadius(2);
        readButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->readedBtn();
        });
        contentView()->addSubview(readButton_);
    }

    auto date = labelNamed(MVTAppDelegate::sharedAppDelegate()->getDateWith(valueFor(notDict_, "dateline")),
                           {W - 152, 10, 130, 20}, Color::lightGray(), 12);
    date->setTextAlignment(TextAlignment::Right);
    bgView_->addSubview(date);

    auto bar = std::make_shared<View>(Rect(0, 3, 3, y + 19));
    bar->setBackgroundColor(kNotiAccentBar);
    contentView()->addSubview(bar);

    auto separator = MVTPublicMethod::imageViewWithColor(kNotiBorder);
    separator->setFrame({50, y + 25 - 0.6, W - 20, 0.6});
    bgView_->addSubview(separator);

    bgView_->setFrame({5, 5, W - 10, y + 25});
    setFrame({0, 0, W, y + 25});
}

void MVTNotiCell::fillThumbnail(const std::shared_ptr<ImageView>& view, const Json& picture, bool big) {
    const std::string id = textOf(picture, "id");
    if (id.empty() || id == "<null>" || id == "(null)") return;
    if (auto bytes = notices::cachedThumbnail(id)) {
        if (auto image = Image::imageWithData(*bytes)) {
            view->setImage(image);
            return;
        }
    }
    std::weak_ptr<ImageView> weakView = view;
    notices::loadThumbnail(id, big, [weakView](const std::string& bytes) {
        if (auto shown = weakView.lock()) shown->setImage(Image::imageWithData(bytes));
    });
}

std::shared_ptr<Button> MVTNotiCell::bodyButton(const std::string& hint, const std::string& icon,
                                               const std::string& text, void (MVTNotiCell::*action)(Button&)) {
    const double W = notiScreenWidth();
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setBackgroundColor(Color::clear());
    button->setAccessibilityHint(hint);
    button->setCornerRadius(2);
    button->setClipsToBounds(true);
    button->setBorderWidth(0.5);
    button->setBorderColor(kNotiBorder);
    auto weak = std::weak_ptr<MVTNotiCell>(std::static_pointer_cast<MVTNotiCell>(shared_from_this()));
    button->addTarget(ControlEventTouchUpInside, [weak, action](Control& control) {
        if (auto self = weak.lock()) ((*self).*action)(static_cast<Button&>(control));
    });
    auto image = std::make_shared<ImageView>(Rect(5, 10, 20, 20));
    image->setImage(Image::imageNamed(icon));
    button->addSubview(image);
    auto label = labelNamed(text, {30, 0, W - 80, 40}, notices::kLabelGrey, 14);
    label->setNumberOfLines(0);
    label->setTag(kLinkLabelTag);
    button->addSubview(label);
    return button;
}

std::shared_ptr<Button> MVTNotiCell::getAttachsButtonWith(const Json& file) {
    const std::string type = textOf(file, "type");
    const std::string lowerType = notices::lowerCased(type);
    auto button = bodyButton(textOf(file, "resModuleId"), notices::fileIconName(lowerType),
                             textOf(file, "name") + "." + type, &MVTNotiCell::toDownLoadAttachWith);
    // The name rides in the title, unseen, for the tap.
    button->setTitle(textOf(file, "name"));
    button->setTitleColor(Color::clear());
    button->setAccessibilityLabel(lowerType);
    return button;
}

std::shared_ptr<Button> MVTNotiCell::getLinksButtonWith(const Json& link) {
    return bodyButton(textOf(link, "url"), "link.png", textOf(link, "text"), &MVTNotiCell::toOpenWebWith);
}

void MVTNotiCell::reloadMoreWith(bool more, bool failed) {
    const double W = notiScreenWidth();
    footerLabel_ = std::make_shared<Label>(Rect(0, 0, 150, 30));
    footerLabel_->setFont(Font::boldSystemFontOfSize(14));
    footerLabel_->setTextColor(Color::lightGray());
    footerLabel_->setBackgroundColor(Color::clear());
    if (failed) {
        MVTPublicMethod::stopWaitAnimation(bgView_);
        footerLabel_->setText(localized("加载失败,点击重新加载"));
        footerLabel_->setFrame({W / 2 - 85, 0, 150, 30});
        auto retry = Button::buttonWithType(ButtonType::Custom);
        retry->setFrame({5, 5, W - 10, 40});
        retry->setBackgroundColor(Color::clear());
        auto weak = std::weak_ptr<MVTNotiCell>(std::static_pointer_cast<MVTNotiCell>(shared_from_this()));
        retry->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toAgainLoadData(static_cast<Button&>(control));
        });
        contentView()->addSubview(retry);
    } else if (more) {
        footerLabel_->setText(localized("更多..."));
        footerLabel_->setFrame({W / 2 - 20, 0, 150, 30});
        MVTPublicMethod::showWaitAnimation(bgView_, false);
    } else {
        MVTPublicMethod::stopWaitAnimation(bgView_);
        footerLabel_->setText(localized("没有更多了"));
        footerLabel_->setFrame({W / 2 - 40, 0, 150, 30});
    }
    bgView_->addSubview(footerLabel_);
    setFrame({0, 0, W, kFooterHeight});
}

void MVTNotiCell::toChangeAudio(bool playing, bool downloading) {
    if (!recordBtn_ || !recordPlayView_) return;
    if (downloading) {
        recordBtn_->setEnabled(false);
        recordPlayView_->stopAnimating();
        recordPlayView_->setImage(Image::imageNamed("icon_loading.png"));
        recordBtn_->setSelected(false);
    } else if (playing) {
        recordBtn_->setEnabled(true);
        recordPlayView_->startAnimating();
        recordBtn_->setSelected(true);
    } else {
        recordBtn_->setEnabled(true);
        recordPlayView_->stopAnimating();
        recordPlayView_->setImage(Image::imageNamed("icon_play.png"));
        recordBtn_->setSelected(false);
    }
}

void MVTNotiCell::readedBtn() {
    if (auto delegate = delegate_.lock()) delegate->gotoPrivateNotificationViewControllerWithDic(notDict_, notIndex_);
}

void MVTNotiCell::toAgainLoadData(Button& button) {
    button.setEnabled(false);
    if (auto delegate = delegate_.lock()) delegate->againGetListData();
}

void MVTNotiCell::tapImage(int index) {
    if (auto delegate = delegate_.lock()) delegate->showImage(imageArray_, index);
}

void MVTNotiCell::toDownLoadAttachWith(Button& button) {
    if (auto delegate = delegate_.lock())
        delegate->toDownLoadAttachWith(button.accessibilityHint(), button.currentTitle(), button.accessibilityLabel());
}

void MVTNotiCell::toOpenWebWith(Button& button) {
    auto label = std::dynamic_pointer_cast<Label>(button.viewWithTag(kLinkLabelTag));
    if (auto delegate = delegate_.lock()) delegate->sendLinkWith(button.accessibilityHint(), label ? label->text() : "");
}

void MVTNotiCell::toPalyOrDownLoadAudio(Button& button) {
    if (button.isSelected()) {
        button.setEnabled(true);
        button.setSelected(false);
        MVTAppDelegate::sharedAppDelegate()->stopPlayAudio();
        return;
    }
    const std::string id = button.accessibilityHint();
    // The id names the voice's file: anything but a plain name is never fetched.
    if (!post::isPlainName(id)) return;
    button.setEnabled(false);
    const std::string path = post::voiceFile(id);
    const bool exists = MVTPublicMethod::fileExistsAtPath(path);
    if (exists) {
        button.setEnabled(true);
        if (recordPlayView_) recordPlayView_->startAnimating();
        button.setSelected(true);
    } else if (recordPlayView_) {
        recordPlayView_->setImage(Image::imageNamed("icon_loading.png"));
    }
    if (auto delegate = delegate_.lock()) delegate->toOpenOrDownLoadAudio(path, id, button.tag(), exists);
}
