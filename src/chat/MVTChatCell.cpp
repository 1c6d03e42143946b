#include "chat/MVTChatCell.h"

#include "chat/ChatMarkup.h"
#include "chat/ChatRows.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceId.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/HttpEngine.h"
#include "platform/RunLoop.h"
#include "platform/UrlEncoding.h"
#include "platform/UrlRequest.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/Application.h"
#include "platform/ui/LazyImageView.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

constexpr std::size_t kChatThumbnailLargest = 8u * 1024 * 1024;

double chatScreenWidth() { return Screen::mainScreen().bounds().width(); }

std::string firstAttachmentType(const Json& message) {
    const Json& attachments = valueFor(message, "attachments");
    if (!attachments.is_array() || attachments.empty()) return "";
    return textOf(attachments[0], "type");
}

std::string cellDateText(const Json& message) {
    auto delegate = MVTAppDelegate::sharedAppDelegate();
    return delegate ? delegate->getDateWith(textOf(message, "sendTime")) : textOf(message, "sendTime");
}

}  // namespace

void MVTChatCell::fetchThumbnail(const std::string& id, std::weak_ptr<ImageView> weakView,
                                 std::function<void(const std::string&)> keep) {
    auto delegate = MVTAppDelegate::sharedAppDelegate();
    std::string token = delegate ? delegate->getTokenWith(id) : "";
    std::string url = ServiceAddress::baseUrl() + "resource/view/img_thumb/" + percentEscape(id) +
                      "?size=m&token=" + token;
    dispatchBackground([url, weakView, keep = std::move(keep)] {
        UrlRequest request(url);
        request.setTimeoutInterval(MVTPublicMethod::avatarTimeout());
        HttpResponse response = HttpEngine::shared().fetch(request, kChatThumbnailLargest);
        if (!response.ok()) return;
        auto image = Image::imageWithData(response.body);
        if (!image) return;
        if (keep) keep(response.body);
        dispatchMain([weakView, image] {
            if (auto view = weakView.lock()) view->setImage(image);
        });
    });
}

void MVTChatCell::initWith(const Json& message, const std::string& friendId, const std::string& friendRole) {
    const double W = chatScreenWidth();
    // A reused cell drops the long press of its previous message.
    auto gestures = gestureRecognizers();
    for (const auto& gesture : gestures) removeGestureRecognizer(gesture);
    myDict_ = Json::object();
    dictoryForInfo_ = message;
    timeTitleLabelY_ = 5;
    timeTitleLabelHeight_ = 0;
    textView_.reset();
    timeLabel_.reset();
    nameLabel_.reset();
    sendMark_.reset();
    voiceButton_.reset();
    avatar_.reset();
    isMy_ = boolValue(valueFor(message, "status"));
    nameLabelHeight_ = (isForum_ && !isMy_) ? 20 : 0;

    long long sent = integerValue(textOf(message, "sendTime"));
    long long above = timeString_.is_null() ? 0 : integerValue(textOf(timeString_));
    if (sent - above >= 121) initTimeLabel();
    if (isForum_ && !isMy_) initNameLabel();
    if (textOf(message, "name") == "friend-first-pm") {
        initNewFriendTextView(textOf(message, "msg"));
        return;
    }

    auto content = contentView();
    auto weak = std::static_pointer_cast<MVTChatCell>(shared_from_this());
    std::weak_ptr<MVTChatCell> weakSelf = weak;
    avatar_ = std::make_shared<ImageView>(Rect(0, 0, 40, 40));
    avatar_->setCornerRadius(20);
    avatar_->setClipsToBounds(true);
    avatar_->setContentMode(ContentMode::ScaleAspectFill);
    avatar_->setBackgroundColor(Color::clear());
    avatar_->setUserInteractionEnabled(true);
    auto tap = std::make_shared<TapGestureRecognizer>();
    tap->setAction([weakSelf](GestureRecognizer&) {
        if (auto cell = weakSelf.lock()) cell->enterEssay();
    });
    avatar_->addGestureRecognizer(tap);
    auto head = Button::buttonWithType(ButtonType::Custom);
    head->setFrame({0, 0, 40, 40});
    head->addTarget(ControlEventTouchUpInside, [weakSelf](Control&) {
        if (auto cell = weakSelf.lock()) cell->clickHeadBtn();
    });
    avatar_->addSubview(head);
    auto disc = MVTPublicMethod::imageViewWithColor(Color::whiteColor());
    disc->setCornerRadius(22);
    disc->setClipsToBounds(true);
    std::string avatarId, avatarRole;
    if (isMy_) {
        auto& account = MVTAccount::sharedInstance();
        avatarId = account.userId().value_or("");
        avatarRole = account.role().value_or("");
        myDict_ = {{"id", avatarId}, {"role", avatarRole}, {"name", account.name().value_or("")}};
        avatar_->setFrame({W - 50, timeTitleLabelY_, 40, 40});
        disc->setFrame({W - 52, timeTitleLabelY_ - 2, 44, 44});
    } else {
        avatarId = friendId;
        avatarRole = friendRole;
        myDict_ = {{"id", friendId}, {"role", friendRole}, {"name", valueFor(message, "name").is_discarded()
                                                                        ? Json("(null)")
                                                                        : message["name"]}};
        avatar_->setFrame({10, timeTitleLabelHeight_, 40, 40});
        disc->setFrame({8, timeTitleLabelHeight_ - 2, 44, 44});
    }
    avatar_->setAccessibilityHint(avatarId);
    avatar_->setAccessibilityValue(avatarRole);
    content->addSubview(disc);
    MVTPublicMethod::setFaceImage(avatar_, MVTPublicMethod::getPathByFileName(avatarId, "png"), avatarRole);

    bubble_ = std::make_shared<ImageView>(Rect(60, timeTitleLabelY_ + nameLabelHeight_, 85, 40));
    bubble_->setUserInteractionEnabled(true);
    bubble_->setImage(isMy_ ? Image::imageNamed("myselfbg.png")->stretchableImageWithLeftCapWidth(20, 20)
                            : Image::imageNamed("friendbg.png")->stretchableImageWithLeftCapWidth(30, 20));

    std::string text = textOf(message, "msg");
    if (!MVTPublicMethod::stringIsClassNull(valueFor(message, "msg"))) initMessageTextView(text);
    std::string kind = firstAttachmentType(message);
    if (kind == "image") {
        initImage(message["attachments"]);
    } else if (kind == "audio") {
        initAudio(message["attachments"]);
        if (textView_) textView_->removeFromSuperview();
    }
    if (!bubble_->superview()) content->addSubview(bubble_);
    content->addSubview(avatar_);

    auto press = std::make_shared<LongPressGestureRecognizer>();
    press->setMinimumPressDuration(kLongPressSeconds);
    press->setAction([weakSelf](GestureRecognizer& recognizer) {
        auto cell = weakSelf.lock();
        if (!cell || recognizer.state() != GestureState::Began) return;
        if (auto delegate = cell->delegate())
            delegate->longPressGestureWith(textOf(cell->dictoryForInfo_, "id"), cell->dictoryForInfo_, cell->index_);
    });
    addGestureRecognizer(press);

    Rect b = bubble_->frame();
    Rect markFrame{b.x() - 30, b.y() + b.height() / 2 - 15, 29, 29};
    int state = static_cast<int>(integerValue(textOf(message, "issuccess")));
    if (state == 0) {
        auto mark = Button::buttonWithType(ButtonType::Custom);
        mark->setFrame(markFrame);
        mark->setImage(Image::imageNamed("tips_message_failed"));
        mark->setTag(index_ + kFailedMarkTagBase);
        mark->addTarget(ControlEventTouchUpInside, [weakSelf](Control& control) {
            auto cell = weakSelf.lock();
            if (!cell) return;
            if (auto delegate = cell->delegate()) delegate->reSendMessage(static_cast<Button&>(control));
        });
        content->addSubview(mark);
        sendMark_ = mark;
    } else if (state == 2) {
        auto turning = std::make_shared<ImageView>(markFrame);
        std::vector<ImageRef> frames;
        for (const char* name : {"fresh1", "fresh6", "fresh5", "fresh4", "fresh3", "fresh2"})
            frames.push_back(Image::imageNamed(name));
        turning->setAnimationImages(frames);
        turning->setAnimationDuration(2.0);
        turning->startAnimating();
        content->addSubview(turning);
        sendMark_ = turning;
    }
}

void MVTChatCell::initTimeLabel() {
    timeTitleLabelY_ = 30;
    timeTitleLabelHeight_ = 30;
    std::string text = cellDateText(dictoryForInfo_);
    Font font = Font::systemFontOfSize(12);
    double width = TextMeasure::sizeWithFont(text, font, {140, 20}).width;
    timeLabel_ = std::make_shared<Label>(Rect((chatScreenWidth() - width) / 2, 5, width, 20));
    timeLabel_->setFont(font);
    timeLabel_->setText(text);
    timeLabel_->setTextColor(Color::rgba(0.624, 0.651, 0.596));
    timeLabel_->setBackgroundColor(Color::clear());
    contentView()->addSubview(timeLabel_);
}

void MVTChatCell::initNameLabel() {
    std::string text = textOf(dictoryForInfo_, "name");
    Font font = Font::systemFontOfSize(16);
    double width = TextMeasure::sizeWithFont(text, font, {140, 20}).width;
    nameLabel_ = std::make_shared<Label>(Rect(60, timeTitleLabelHeight_, width, 20));
    nameLabel_->setFont(font);
    nameLabel_->setText(text);
    nameLabel_->setTextColor(Color::white(0.333));
    nameLabel_->setBackgroundColor(Color::clear());
    contentView()->addSubview(nameLabel_);
}

void MVTChatCell::initNewFriendTextView(const std::string& text) {
    const double W = chatScreenWidth();
    auto strip = std::make_shared<View>(Rect(20, timeTitleLabelHeight_, W - 40, 60));
    strip->setBackgroundColor(Color::rgba(0, 0, 0, 0.25));
    strip->setCornerRadius(10);
    auto label = std::make_shared<Label>(Rect(10, 0, W - 60, 60));
    label->setText(text);
    label->setTextColor(Color::whiteColor());
    label->setNumberOfLines(0);
    label->setBackgroundColor(Color::clear());
    strip->addSubview(label);
    contentView()->addSubview(strip);
    setFrame({0, 0, W, 60 + 20 + timeTitleLabelHeight_ + nameLabelHeight_});
}

double MVTChatCell::widthOfStrings(const std::string& text, int maximum) const {
    return chatmarkup::bubbleWidth(text, maximum);
}

void MVTChatCell::initMessageTextView(const std::string& text) {
    const double W = chatScreenWidth();
    double b = std::floor(widthOfStrings(text, static_cast<int>(W - 140)));
    textView_ = std::make_shared<HtmlTextView>(Rect(10, 4, b, 0));
    textView_->setDelegate(std::dynamic_pointer_cast<HtmlTextViewDelegate>(shared_from_this()));
    textView_->setHtml(chatmarkup::htmlOf(text), chatmarkup::bubbleOptions(isMy_));
    textView_->setBackgroundColor(Color::clear());
    double height = textView_->contentHeightForWidth(b);
    textView_->setFrame({10, 4, b, height});
    textView_->setUserInteractionEnabled(false);
    double y = timeTitleLabelY_ + nameLabelHeight_ + 5;
    if (isMy_)
        bubble_->setFrame({W - 60 - (b + 25), y, b + 23, height + 10});
    else
        bubble_->setFrame({60, y, b + 20, height + 10});
    bubble_->addSubview(textView_);
    finishFrame();
}

void MVTChatCell::finishFrame() {
    if (!bubble_->superview()) contentView()->addSubview(bubble_);
    setFrame({0, 0, chatScreenWidth(), bubble_->frame().height() + 20 + timeTitleLabelHeight_ + nameLabelHeight_});
}

void MVTChatCell::initImage(const Json& attachments) {
    const double W = chatScreenWidth();
    bool withText = textView_ && textView_->superview().get() == bubble_.get();
    double a = withText ? textView_->frame().height() + 10 : 0;
    double b = withText ? textView_->frame().width() : 0;
    std::weak_ptr<MVTChatCell> weakSelf = std::static_pointer_cast<MVTChatCell>(shared_from_this());
    for (std::size_t i = 0; i < attachments.size(); ++i) {
        int r = static_cast<int>(i) / 3, c = static_cast<int>(i) % 3;
        auto picture = std::make_shared<ImageView>(Rect((isMy_ ? 80 * c + 5 : 80 * c + 10), a + 75 * r + 5, 70, 70));
        picture->setCornerRadius(18);
        picture->setClipsToBounds(true);
        picture->setImage(Image::imageNamed("171"));
        picture->setTag(static_cast<int>(i));
        std::string id = textOf(attachments[i], "id");
        picture->setAccessibilityValue(id);
        picture->setUserInteractionEnabled(true);
        auto tap = std::make_shared<TapGestureRecognizer>();
        int index = static_cast<int>(i);
        tap->setAction([weakSelf, index](GestureRecognizer&) {
            if (auto cell = weakSelf.lock()) cell->tapImage(index);
        });
        picture->addGestureRecognizer(tap);
        bubble_->addSubview(picture);
        // Only a plain id names a cache file; any other is fetched and shown uncached.
        bool plain = isPlainServiceId(id);
        std::string path = plain ? MVTPublicMethod::getPathByFileName(kThumbnailPrefix + id, "png") : "";
        if (plain && MVTPublicMethod::fileExistsAtPath(path)) {
            if (auto image = Image::imageWithContentsOfFile(path)) picture->setImage(image);
        } else if (!id.empty()) {
            std::function<void(const std::string&)> keep;
            if (plain) keep = [path](const std::string& data) { writeFileAtomically(path, data); };
            fetchThumbnail(id, picture, std::move(keep));
        }
    }
    double P = widthOfMessage(dictoryForInfo_), Q = heightOfMessage(dictoryForInfo_);
    double width, height;
    if (b > P) {
        width = b + 25;
        height = a + Q + 5;
    } else {
        width = P + 5;
        height = b != 0 ? a + Q + 5 : a + Q;
    }
    double x = isMy_ ? W - 60 - width : 60;
    bubble_->setFrame({x, timeTitleLabelY_ + nameLabelHeight_, width, height});
    finishFrame();
}

void MVTChatCell::initAudio(const Json& attachments) {
    const double W = chatScreenWidth();
    const Json& first = attachments[0];
    voiceButton_ = Button::buttonWithType(ButtonType::Custom);
    voiceButton_->setBackgroundColor(Color::clear());
    voiceButton_->setAccessibilityHint(textOf(first, "resModuleId"));
    std::weak_ptr<MVTChatCell> weakSelf = std::static_pointer_cast<MVTChatCell>(shared_from_this());
    voiceButton_->addTarget(ControlEventTouchUpInside, [weakSelf](Control& control) {
        if (auto cell = weakSelf.lock()) cell->selfplayVedio(static_cast<Button&>(control));
    });
    const std::string duration = chat_rows::voiceDuration(first);
    std::string format = localized("%@秒");
    auto at = format.find("%@");
    std::string text = at == std::string::npos ? format : format.replace(at, 2, duration);
    Font font = Font::systemFontOfSize(14);
    double w = TextMeasure::sizeWithFont(text, font).width;
    auto icon = std::make_shared<ImageView>(Rect(isMy_ ? 15 : 20, 10, 18, 18));
    auto label = std::make_shared<Label>(Rect(isMy_ ? 35 : 40, 10, w, 20));
    std::vector<ImageRef> frames;
    if (isMy_) {
        icon->setImage(Image::imageNamed("icon_52_3white"));
        for (const char* name : {"icon_52_white", "icon_52_1white", "icon_52_2white", "icon_52_3white"})
            frames.push_back(Image::imageNamed(name));
        label->setTextColor(Color::whiteColor());
    } else {
        icon->setImage(Image::imageNamed("voice_green"));
        for (const char* name : {"voice_green_1", "voice_green_2", "voice_green_3", "voice_green"})
            frames.push_back(Image::imageNamed(name));
        label->setTextColor(Color::black());
    }
    icon->setAnimationImages(frames);
    icon->setAnimationDuration(2.0);
    label->setFont(font);
    label->setText(text);
    label->setTextAlignment(TextAlignment::Center);
    label->setBackgroundColor(Color::clear());
    voiceButton_->addSubview(icon);
    voiceButton_->addSubview(label);
    double width = std::max(widthOfMessage(dictoryForInfo_), w + 35) + 10;
    double height = heightOfMessage(dictoryForInfo_) + 20;
    double x = isMy_ ? W - 60 - width : 60;
    bubble_->setFrame({x, timeTitleLabelY_ + nameLabelHeight_, width, height});
    voiceButton_->setFrame({0, 0, width, height});
    bubble_->addSubview(voiceButton_);
    finishFrame();
}

double MVTChatCell::heightOfMessage(const Json& message) const {
    std::string kind = firstAttachmentType(message);
    if (kind == "image") {
        auto count = valueFor(message, "attachments").size();
        return 80.0 * static_cast<double>((count + 2) / 3);
    }
    if (kind == "audio") return 20;
    return 0;
}

double MVTChatCell::widthOfMessage(const Json& message) const {
    double t = TextMeasure::sizeWithFont(cellDateText(message), Font::systemFontOfSize(10), {140, 20}).width + 25;
    std::string kind = firstAttachmentType(message);
    double width = t;
    if (kind == "image") {
        auto count = valueFor(message, "attachments").size();
        width = std::max(t, 80.0 * static_cast<double>(std::min<std::size_t>(count, 3)));
    } else if (kind == "audio") {
        width = std::max(t, 70.0);
    }
    return std::min(width, 250.0);
}

void MVTChatCell::clickHeadBtn() {
    if (auto d = delegate()) d->chooseNamed(myDict_);
}

void MVTChatCell::enterEssay() {
    if (auto d = delegate()) d->enterEssay(valueFor(dictoryForInfo_, "uid"));
}

void MVTChatCell::tapImage(int index) {
    if (auto d = delegate()) d->showImage(valueFor(dictoryForInfo_, "attachments"), index);
}

void MVTChatCell::selfplayVedio(Button& button) { reportVoiceTap(delegate().get(), button); }

std::shared_ptr<View> MVTChatCell::viewForAttachment(HtmlTextView&, const HtmlAttachment& attachment, const Rect& frame) {
    auto picture = std::make_shared<LazyImageView>(frame);
    picture->setDisplaySize(frame.size);
    picture->setImage(attachment.image ? attachment.image : Image::imageNamed("honor_meyo"));
    if (!attachment.remoteUrl.empty()) picture->setUrl(attachment.remoteUrl);
    return picture;
}

std::shared_ptr<View> MVTChatCell::viewForLink(HtmlTextView&, const HtmlLink& link, const Rect& frame) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({frame.x(), frame.y(), std::max(frame.width(), 25.0), std::max(frame.height(), 25.0)});
    button->setAccessibilityHint(link.url);
    const std::string url = link.url;
    button->addTarget(ControlEventTouchUpInside, [url](Control&) { Application::shared().openURL(url); });
    return button;
}
