#include "contacts/MVTGongGaoTableViewCell.h"

#include "feed/PostKindRenderer.h"
#include "feed/PostRecord.h"

#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/HttpEngine.h"
#include "platform/RunLoop.h"
#include "platform/UrlRequest.h"
#include "platform/ui/Button.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"

#include <cctype>
#include <filesystem>
#include <map>

using namespace platform;

namespace {

constexpr std::size_t kGongGaoThumbnailLimit = 8u * 1024 * 1024;
const Color kGongGaoCardBackground = Color::white(0.98);
const Color kGongGaoPlaceholder = Color::white(0.93);
const Color kGongGaoVoiceGreen = Color::rgb255(54, 101, 53);

std::shared_ptr<Label> gongGaoLabel(const Rect& frame, double size, const std::string& text) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(size));
    label->setText(text);
    return label;
}

std::string gongGaoLowered(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

HtmlTextOptions gongGaoTextOptions() {
    HtmlTextOptions options;
    options.textSizeMultiplier = 1.3;
    options.lineHeightMultiplier = 1.1;
    options.fontFamily = "Helvetica";
    options.textColor = Color::black();
    options.linkColor = Color::rgb255(112, 128, 144);  // slategray
    options.underlineLinks = false;
    options.maxImageWidth = 36;
    options.maxImageHeight = 36;
    return options;
}

// Thumbnails decoded from their cache files, kept on the main thread: every row is built
// once to be measured and again to be shown, and again after each voice change, so its
// pictures are decoded once. A rewritten file is decoded anew.
struct GongGaoDecoded {
    std::filesystem::file_time_type written;
    ImageRef image;
};
constexpr std::size_t kGongGaoDecodedLimit = 150;
std::map<std::string, GongGaoDecoded>& gongGaoDecoded() {
    static std::map<std::string, GongGaoDecoded> decoded;
    return decoded;
}
std::filesystem::file_time_type gongGaoWritten(const std::string& file) {
    std::error_code error;
    return std::filesystem::last_write_time(file, error);
}

}  // namespace

std::string MVTGongGaoTableViewCell::thumbnailFile(const std::string& pictureId) {
    return MVTPublicMethod::getPathByFileName("gongGao_" + pictureId, "png");
}

MVTGongGaoTableViewCell::Grid MVTGongGaoTableViewCell::gridFor(std::size_t count, double W) {
    if (count == 1) return {W - 40, 1};
    if (count == 2 || count == 4) return {(W - 43) / 2, 2};
    return {(W - 46) / 3, 3};
}

std::string MVTGongGaoTableViewCell::bodyMarkup(const std::string& content) {
    static const std::string breakTag = "</br>";
    if (content.find(breakTag) == std::string::npos) return content;
    std::string markup;
    std::size_t from = 0;
    for (std::size_t at; (at = content.find(breakTag, from)) != std::string::npos; from = at + breakTag.size())
        markup += content.substr(from, at - from) + "<span style=\"color:white;\">.</span></li><li>";
    markup += content.substr(from);
    return "<li>" + markup + "</li>";
}

std::shared_ptr<MVTGongGaoTableViewCell> MVTGongGaoTableViewCell::initCellWithDic(
    const Json& row, int index, const std::string& userType, std::weak_ptr<MVTGongGaoCellDelegate> delegate) {
    auto cell = std::make_shared<MVTGongGaoTableViewCell>();
    cell->initWithStyle(TableViewCellStyle::Default, "LCTSelectCell");
    cell->delegate_ = std::move(delegate);
    cell->gongGaoDictionary_ = row.is_object() ? row : Json::object();
    cell->nowIndex_ = index;
    cell->layout(userType);
    return cell;
}

void MVTGongGaoTableViewCell::layout(const std::string& userType) {
    const double W = Screen::mainScreen().bounds().width();
    const Json& row = gongGaoDictionary_;
    card_ = std::make_shared<View>(Rect(10, 5, W - 20, 0));
    card_->setTag(kCardTag);
    card_->setCornerRadius(8);
    card_->setBorderWidth(0.2);
    card_->setBorderColor(Color::lightGray());
    card_->setBackgroundColor(kGongGaoCardBackground);
    contentView()->addSubview(card_);

    auto title = gongGaoLabel({10, 5, W - 40, 20}, 18, post::text(row, "title"));
    title->setTag(kTitleTag);
    title->setTextColor(Color::black());
    title->setNumberOfLines(0);
    title->setFrame({10, 5, W - 40, title->sizeThatFits({W - 40, 1e6}).height});
    card_->addSubview(title);
    const double b = title->frame().height() + 10;

    card_->addSubview(gongGaoLabel({10, b, 100, 20}, 14, post::text(row, "name")));
    auto time = gongGaoLabel({W - 210, b, 120, 20}, 14,
                             MVTPublicMethod::timeString(int(integerValue(valueFor(row, "dateline")))));
    time->setTag(kTimeTag);
    time->setTextAlignment(TextAlignment::Right);
    card_->addSubview(time);

    if (integerValue(Json(userType)) != 0) {
        deleteBtn_ = deleteButton(localized("删除"), {W - 70, b, 40, 20});
        std::weak_ptr<MVTGongGaoTableViewCell> weak = std::static_pointer_cast<MVTGongGaoTableViewCell>(shared_from_this());
        deleteBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->deleteGonggao();
        });
        card_->addSubview(deleteBtn_);
    }

    auto line = std::make_shared<ImageView>(Rect(0, b + 25, W - 20, 0.3));
    line->setImage(Image::imageNamed("line1"));
    card_->addSubview(line);

    auto body = std::make_shared<HtmlTextView>(Rect(10, b + 35, W - 40, 0));
    body->setTag(kBodyTag);
    body->setBackgroundColor(Color::clear());
    body->setUserInteractionEnabled(false);
    body->setHtml(bodyMarkup(post::text(row, "content")), gongGaoTextOptions());
    const double bodyHeight = body->contentHeightForWidth(W - 40);
    body->setFrame({10, b + 35, W - 40, bodyHeight});
    card_->addSubview(body);
    double y = b + 35 + bodyHeight + 10;

    Json voices = Json::array(), files = Json::array();
    imageArray_ = Json::array();
    for (const auto& attachment : post::listOf(row, "attachmentList")) {
        if (!attachment.is_object()) continue;
        const std::string type = post::text(attachment, "type");
        (type == "image" ? imageArray_ : type == "audio" ? voices : files).push_back(attachment);
    }
    if (!imageArray_.empty()) y = addPictures(y);
    if (!voices.empty()) y = addVoice(voices[0], y);
    if (!files.empty()) {
        y += 5;
        for (const auto& file : files) {
            auto button = getAttachsButtonWith(file);
            button->setFrame({10, y, W - 40, 40});
            button->setCornerRadius(2);
            button->setBorderWidth(0.6);
            button->setBorderColor(Color::lightGray());
            card_->addSubview(button);
            y += 45;
        }
    }
    y += 10;
    card_->setFrame({10, 5, W - 20, y});
    setFrame({0, 0, W, y + 10});
}

double MVTGongGaoTableViewCell::addPictures(double y) {
    const double W = Screen::mainScreen().bounds().width();
    const std::size_t count = imageArray_.size();
    const Grid grid = gridFor(count, W);
    const std::size_t shown = std::min(count, kShownPictures);
    std::weak_ptr<MVTGongGaoTableViewCell> weak = std::static_pointer_cast<MVTGongGaoTableViewCell>(shared_from_this());
    for (std::size_t i = 0; i < shown; ++i) {
        const int column = int(i) % grid.columns, line = int(i) / grid.columns;
        auto picture = std::make_shared<ImageView>(
            Rect(10 + (grid.side + 3) * column, y + (grid.side + 3) * line, grid.side, grid.side));
        picture->setTag(int(i));
        picture->setAccessibilityValue(post::text(imageArray_[i], "id"));
        picture->setContentMode(ContentMode::ScaleAspectFill);
        picture->setClipsToBounds(true);
        picture->setBackgroundColor(kGongGaoPlaceholder);
        picture->setUserInteractionEnabled(true);
        const int tag = int(i);
        picture->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak, tag](GestureRecognizer&) {
            if (auto self = weak.lock()) self->tapImage(tag);
        }));
        card_->addSubview(picture);
        toGetAttachmentsImage(picture);
    }
    const int rows = count <= 3 ? 1 : count <= 6 ? 2 : 3;
    return y + rows * grid.side + 3 * (rows - 1) + 5;
}

double MVTGongGaoTableViewCell::addVoice(const Json& voice, double y) {
    recordBtn_ = Button::buttonWithType(ButtonType::Custom);
    recordBtn_->setFrame({12, y, 80, 30});
    recordBtn_->setBackgroundColor(Color::clear());
    recordBtn_->setTag(kRecordButtonTag);
    recordUrl_ = post::text(voice, "resModuleId");
    std::weak_ptr<MVTGongGaoTableViewCell> weak = std::static_pointer_cast<MVTGongGaoTableViewCell>(shared_from_this());
    recordBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->selfplayrecord(static_cast<Button&>(control));
    });
    auto bubble = std::make_shared<ImageView>(Rect(0, 3, 80, 23));
    if (auto image = feedPicture("vedioCircle.png")) bubble->setImage(image->stretchableImageWithLeftCapWidth(14, 12));
    recordBtn_->addSubview(bubble);
    recordPlayView_ = std::make_shared<ImageView>(Rect(11, 5.5, 18, 18));
    recordPlayView_->setImage(feedPicture("icon_52_2"));
    std::vector<ImageRef> frames;
    for (const char* name : {"icon_52_1", "icon_52", "icon_52_3", "icon_52_2"})
        if (auto image = feedPicture(name)) frames.push_back(image);
    recordPlayView_->setAnimationImages(frames);
    recordPlayView_->setAnimationDuration(1.5);
    recordBtn_->addSubview(recordPlayView_);
    const std::string duration = post::text(voice, "duration");
    if (!duration.empty() && duration != "<null>") {
        auto length = gongGaoLabel({30, 7, 30, 15}, 12, post::fill(localized("%@ 秒"), {duration}));
        length->setTextColor(kGongGaoVoiceGreen);
        length->setTextAlignment(TextAlignment::Right);
        recordBtn_->addSubview(length);
    }
    card_->addSubview(recordBtn_);
    // The whole button stays inside the card, with the usual gap below it.
    return y + 30 + 5;
}

std::shared_ptr<Button> MVTGongGaoTableViewCell::deleteButton(const std::string& title, const Rect& frame) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame(frame);
    button->setBackgroundImage(Image::imageNamed("header_leftbtn_nor"), ControlStateNormal);
    button->setBackgroundImage(Image::imageNamed("header_leftbtn_press"), ControlStateHighlighted);
    button->setAccessibilityLabel(title);
    const Font bold = Font::boldSystemFontOfSize(14);
    const double width = TextMeasure::sizeWithFont(title, bold).width;
    auto label = std::make_shared<Label>(Rect(0, 0, width, 20));
    label->setBackgroundColor(Color::clear());
    label->setFont(bold);
    label->setTextAlignment(TextAlignment::Right);
    label->setText(title);
    button->addSubview(label);
    return button;
}

std::shared_ptr<Button> MVTGongGaoTableViewCell::getAttachsButtonWith(const Json& attachment) {
    const double W = Screen::mainScreen().bounds().width();
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setBackgroundColor(Color::clear());
    const std::string name = post::text(attachment, "name"), type = post::text(attachment, "type");
    button->setTitle(name);
    button->setTitleColor(Color::clear());
    button->setAccessibilityHint(post::text(attachment, "resModuleId"));
    button->setAccessibilityLabel(gongGaoLowered(type));
    std::weak_ptr<MVTGongGaoTableViewCell> weak = std::static_pointer_cast<MVTGongGaoTableViewCell>(shared_from_this());
    button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->toDownLoadAttachWith(static_cast<Button&>(control));
    });
    auto icon = std::make_shared<ImageView>(Rect(5, 10, 20, 20));
    icon->setImage(feedPicture(PostKindRenderer::fileIconFor(gongGaoLowered(type))));
    button->addSubview(icon);
    auto label = gongGaoLabel({30, 0, W - 70, 40}, 14, name + "." + type);
    label->setTag(kFileLabelTag);
    label->setTextColor(Color::darkGray());
    label->setNumberOfLines(0);
    button->addSubview(label);
    return button;
}

void MVTGongGaoTableViewCell::toGetAttachmentsImage(const std::shared_ptr<ImageView>& view) {
    const std::string id = view->accessibilityValue();
    // The id names the cache file: anything but a plain name is neither kept nor fetched.
    if (!post::isPlainName(id)) return;
    const std::string file = thumbnailFile(id);
    std::error_code error;
    if (MVTPublicMethod::fileExistsAtPath(file) && MVTPublicMethod::isNewmodify(file) &&
        std::filesystem::file_size(file, error) > 0 && !error) {
        const auto written = gongGaoWritten(file);
        auto known = gongGaoDecoded().find(file);
        if (known != gongGaoDecoded().end() && known->second.written == written) {
            view->setImage(known->second.image);
            return;
        }
        // Decoded on the background queue, so building a page never waits on its pictures.
        dispatchBackground([view, file, written] {
            auto bytes = readFile(file, kGongGaoThumbnailLimit);
            ImageRef image = bytes && !bytes->empty() ? Image::imageWithData(*bytes) : nullptr;
            if (!image) return;
            dispatchMain([view, file, written, image] {
                auto& decoded = gongGaoDecoded();
                if (decoded.size() >= kGongGaoDecodedLimit) decoded.clear();
                decoded[file] = {written, image};
                view->setImage(image);
            });
        });
        return;
    }
    const std::string url = ServiceAddress::baseUrl() + "resource/view/img_thumb/" + id +
                            "?size=m&token=" + MVTAppDelegate::sharedAppDelegate()->getTokenWith(id);
    dispatchBackground([view, url, file] {
        HttpResponse response = HttpEngine::shared().fetch(UrlRequest(url), kGongGaoThumbnailLimit);
        ImageRef image = response.ok() ? Image::imageWithData(response.body) : nullptr;
        if (!image) return;
        MVTPublicMethod::deleteFileAtPath(file);
        writeFileAtomically(file, response.body);
        dispatchMain([view, image] { view->setImage(image); });
    });
}

// ---- Taps

void MVTGongGaoTableViewCell::deleteGonggao() {
    if (auto d = delegate()) d->deleteGonggao(nowIndex_);
}

void MVTGongGaoTableViewCell::tapImage(int tag) {
    if (auto d = delegate()) d->showImage(imageArray_, tag);
}

void MVTGongGaoTableViewCell::toDownLoadAttachWith(Button& file) {
    if (auto d = delegate())
        d->toDownLoadAttachWith(file.accessibilityHint(), file.titleForState(ControlStateNormal), file.accessibilityLabel());
}

void MVTGongGaoTableViewCell::selfplayrecord(Button& button) {
    auto d = delegate();
    if (!d) return;
    const bool known = post::isPlainName(recordUrl_);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(post::voiceFile("0")).parent_path(), ignored);
    if (known && MVTPublicMethod::fileExistsAtPath(post::voiceFile(recordUrl_))) {
        button.setSelected(!button.isSelected());
        if (button.isSelected()) {
            recordPlayView_->startAnimating();
            d->playRecord(recordUrl_, nowIndex_);
        } else {
            recordPlayView_->stopAnimating();
            recordPlayView_->setImage(feedPicture("icon_52_2"));
            d->playRecord(std::nullopt, nowIndex_);
        }
        return;
    }
    recordPlayView_->setImage(feedPicture("icon_52_2"));
    d->toDownLoadAudioWith(recordUrl_, nowIndex_);
}
