#include "chat/MVTMsgView.h"

#include "chat/ChatRows.h"
#include "chat/ChatView.h"
#include "chat/MVTChatCell.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceId.h"
#include "shell/MVTAppDelegate.h"

#include "platform/Paths.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>
#include <filesystem>

using namespace platform;

namespace {

const Json& msgViewAttachments(const Json& message) { return valueFor(message, "attachments"); }

std::string msgViewKind(const Json& message) {
    const Json& attachments = msgViewAttachments(message);
    if (!attachments.is_array() || attachments.empty()) return "";
    return textOf(attachments[0], "type");
}

bool msgViewHasText(const Json& message) { return !MVTPublicMethod::stringIsClassNull(valueFor(message, "msg")); }

std::string msgViewTime(const Json& message) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    std::string time = textOf(message, "sendTime");
    return app ? app->getDateWith(time) : time;
}

Size msgViewTimeSize(const Json& message) {
    return TextMeasure::sizeWithFont(msgViewTime(message), Font::systemFontOfSize(10), {140, 20});
}

}  // namespace

void MVTMsgView::initWithFrame(const Rect& frame, const Json& message, const std::string& chatId) {
    setFrame(frame);
    setBackgroundColor(Color::clear());
    myDict_ = message;
    myChatID_ = chatId;
    initView();
}

void MVTMsgView::initView() {
    double h = 0;
    if (msgViewHasText(myDict_)) {
        msgArr_ = ChatView::parserMessage(textOf(myDict_, "msg"));
        h = ChatView::heightOfStrings(msgArr_, kTextWidth);
        chatV_ = std::make_shared<ChatView>();
        chatV_->initWithFrame({0, 0, ChatView::widthOfStrings(msgArr_, kTextWidth), h}, true);
        chatV_->setDatas(msgArr_);
        addSubview(chatV_);
    }
    const std::string kind = msgViewKind(myDict_);
    if (kind == "image") addThumbnails(msgViewAttachments(myDict_), h);
    else if (kind == "audio") addVoice(msgViewAttachments(myDict_)[0], h);

    const Size time = msgViewTimeSize(myDict_);
    timelb_ = std::make_shared<Label>(Rect(0, heightOfMessage(myDict_) - 20, time.width, 20));
    timelb_->setFont(Font::systemFontOfSize(10));
    timelb_->setText(msgViewTime(myDict_));
    timelb_->setTextColor(Color::whiteColor());
    timelb_->setBackgroundColor(Color::clear());
    timelb_->setTextAlignment(TextAlignment::Left);
    addSubview(timelb_);

    auto press = std::make_shared<LongPressGestureRecognizer>();
    press->setMinimumPressDuration(kLongPressSeconds);
    std::weak_ptr<MVTMsgView> weakSelf = std::static_pointer_cast<MVTMsgView>(shared_from_this());
    press->setAction([weakSelf](GestureRecognizer& recognizer) {
        auto self = weakSelf.lock();
        if (self && recognizer.state() == GestureState::Began) self->handleLongPress();
    });
    addGestureRecognizer(press);
}

void MVTMsgView::addThumbnails(const Json& attachments, double top) {
    std::weak_ptr<MVTMsgView> weakSelf = std::static_pointer_cast<MVTMsgView>(shared_from_this());
    auto& defaults = UserDefaults::standard();
    for (std::size_t i = 0; i < attachments.size(); ++i) {
        const int index = static_cast<int>(i);
        const int r = index / 3, c = index % 3;
        auto picture = std::make_shared<ImageView>(Rect(80 * c + 5, top + 80 * r + 5, 70, 70));
        picture->setContentMode(ContentMode::ScaleAspectFit);
        picture->setImage(Image::imageNamed("default_user"));
        picture->setTag(index);
        picture->setUserInteractionEnabled(true);
        auto tap = std::make_shared<TapGestureRecognizer>();
        tap->setAction([weakSelf, index](GestureRecognizer&) {
            if (auto self = weakSelf.lock()) self->tapImage(index);
        });
        picture->addGestureRecognizer(tap);
        addSubview(picture);
        thumbnails_.push_back(picture);

        const std::string id = textOf(attachments[i], "id");
        if (id.empty()) continue;
        // Only a plain id names a file; the defaults take any id as a key.
        const auto file = Paths::documentsDirectory() / id;
        if (isPlainServiceId(id) && std::filesystem::is_regular_file(file)) {
            if (auto image = Image::imageWithContentsOfFile(file)) picture->setImage(image);
        } else if (defaults.hasKey(id)) {
            toShowAttachmentsImage(*picture);
        } else {
            toGetAttachmentsImage(picture);
        }
    }
}

void MVTMsgView::addVoice(const Json& first, double top) {
    voiceButton_ = Button::buttonWithType(ButtonType::Custom);
    voiceButton_->setFrame(bounds());
    voiceButton_->setBackgroundColor(Color::clear());
    voiceButton_->setAccessibilityHint(textOf(first, "resModuleId"));
    std::weak_ptr<MVTMsgView> weakSelf = std::static_pointer_cast<MVTMsgView>(shared_from_this());
    voiceButton_->addTarget(ControlEventTouchUpInside, [weakSelf](Control& control) {
        if (auto self = weakSelf.lock()) self->selfplayVedio(static_cast<Button&>(control));
    });
    imageV_ = std::make_shared<ImageView>(Rect(0, top, 18, 18));
    setVoiceIcon("icon_52_white", {"icon_52_3white", "icon_52_2white", "icon_52_1white", "icon_52_white"});
    voiceButton_->addSubview(imageV_);

    durationLb_ = std::make_shared<Label>(Rect(30, top, 40, 20));
    durationLb_->setText(chat_rows::voiceDuration(first) + "秒");
    durationLb_->setTextColor(Color::whiteColor());
    durationLb_->setFont(Font::systemFontOfSize(14));
    durationLb_->setTextAlignment(TextAlignment::Center);
    durationLb_->setBackgroundColor(Color::clear());
    voiceButton_->addSubview(durationLb_);
    addSubview(voiceButton_);
}

void MVTMsgView::setVoiceIcon(const char* still, std::initializer_list<const char*> frames) {
    std::vector<ImageRef> pictures;
    for (const char* name : frames) pictures.push_back(Image::imageNamed(name));
    imageV_->setImage(Image::imageNamed(still));
    imageV_->setAnimationImages(std::move(pictures));
    imageV_->setAnimationDuration(2.0);
}

void MVTMsgView::chageVoiceImage() {
    if (imageV_) setVoiceIcon("icon_52", {"icon_52_3", "icon_52_2", "icon_52_1", "icon_52"});
    if (timelb_) timelb_->setTextColor(Color::white(0.6));
    if (durationLb_) durationLb_->setTextColor(Color::black());
    if (chatV_) {
        auto grey = std::make_shared<ChatView>();
        grey->initWithFrame(chatV_->frame(), false);
        grey->setDatas(msgArr_);
        chatV_->removeFromSuperview();
        chatV_ = grey;
        addSubview(chatV_);
    }
}

double MVTMsgView::heightOfMessage(const Json& message) {
    double height = 0;
    if (msgViewHasText(message)) height = ChatView::heightOfStrings(ChatView::parserMessage(textOf(message, "msg")), kTextWidth);
    const std::string kind = msgViewKind(message);
    if (kind == "image") height += 80.0 * static_cast<double>((msgViewAttachments(message).size() + 2) / 3);
    else if (kind == "audio") height += 20;
    return height + 20;
}

double MVTMsgView::widthOfMessage(const Json& message) {
    double width = msgViewTimeSize(message).width + 25;
    if (msgViewHasText(message))
        width = std::max(width, ChatView::widthOfStrings(ChatView::parserMessage(textOf(message, "msg")), kTextWidth));
    const std::string kind = msgViewKind(message);
    if (kind == "image")
        width = std::max(width, 80.0 * static_cast<double>(std::min<std::size_t>(msgViewAttachments(message).size(), 3)));
    else if (kind == "audio")
        width = std::max(width, 70.0);
    return width;
}

void MVTMsgView::handleLongPress() {
    if (auto d = delegate()) d->longPressGestureWith(textOf(myDict_, "id"), myDict_, tag());
}

void MVTMsgView::tapImage(int index) {
    if (auto d = delegate()) d->showImage(msgViewAttachments(myDict_), index);
}

void MVTMsgView::selfplayVedio(Button& button) { reportVoiceTap(delegate().get(), button); }

void reportVoiceTap(MsgShowImageDelegate* delegate, Button& button) {
    // Only a plain id names a file: any other clip counts as not downloaded.
    const std::string id = button.accessibilityHint();
    const bool present =
        isPlainServiceId(id) && MVTPublicMethod::fileExistsAtPath(MVTPublicMethod::getPathByFileName(id, "wav"));
    if (present) {
        button.setSelected(!button.isSelected());
        if (delegate) delegate->playRecord(button.isSelected() ? std::optional<std::string>(id) : std::nullopt, button);
    } else if (delegate) {
        delegate->toDownLoadAudioWith(button);
    }
}

void MVTMsgView::toShowAttachmentsImage(ImageView& picture) {
    const Json& attachments = msgViewAttachments(myDict_);
    const auto index = static_cast<std::size_t>(picture.tag());
    if (!attachments.is_array() || index >= attachments.size()) return;
    auto data = UserDefaults::standard().dataForKey(textOf(attachments[index], "id"));
    if (!data) return;
    if (auto image = Image::imageWithData(*data)) picture.setImage(image);
}

void MVTMsgView::toGetAttachmentsImage(const std::shared_ptr<ImageView>& picture) {
    const Json& attachments = msgViewAttachments(myDict_);
    const auto index = static_cast<std::size_t>(picture->tag());
    if (!attachments.is_array() || index >= attachments.size()) return;
    const std::string id = textOf(attachments[index], "id");
    MVTChatCell::fetchThumbnail(id, picture, [id](const std::string& data) {
        // Written through at once, from the fetching thread.
        UserDefaults::standard().setData(id, data);
    });
}
