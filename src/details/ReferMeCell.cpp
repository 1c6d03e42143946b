#include "details/ReferMeCell.h"

#include "feed/PostKindRenderer.h"
#include "feed/PostRecord.h"

#include "shell/MVTAppDelegate.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"

#include "platform/ui/Button.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <regex>

using namespace platform;

namespace {

const Color kReferNameColour = Color::rgb255(54, 101, 53);
const Color kReferCountColour = Color::rgb255(100, 108, 95);
const Color kReferBorderColour = Color::rgb255(225, 225, 225);

HtmlTextOptions referTextOptions() {
    HtmlTextOptions options;
    options.textSizeMultiplier = 1.3;
    options.lineHeightMultiplier = 1.1;
    options.maxImageWidth = 36;
    options.maxImageHeight = 36;
    options.fontFamily = "Helvetica";
    options.linkColor = Color::rgb255(112, 128, 144);  // slategray
    options.underlineLinks = false;
    return options;
}

double referScreenWidth() { return Screen::mainScreen().bounds().width(); }

}  // namespace

ReferMeCell::ReferMeCell() = default;
ReferMeCell::~ReferMeCell() = default;

std::shared_ptr<ReferMeCell> ReferMeCell::self() { return std::static_pointer_cast<ReferMeCell>(shared_from_this()); }

std::shared_ptr<ReferMeCell> ReferMeCell::initWithtDict(const Json& item, const std::string& reuseIdentifier,
                                                        const std::shared_ptr<CellDelegate>& delegate, int nowIndex) {
    auto cell = std::make_shared<ReferMeCell>();
    cell->fillNew(item, reuseIdentifier, delegate, nowIndex);
    return cell;
}

void ReferMeCell::fillNew(const Json& item, const std::string& reuseIdentifier,
                          const std::shared_ptr<CellDelegate>& delegate, int nowIndex) {
    initWithStyle(TableViewCellStyle::Default, reuseIdentifier);
    setBackgroundColor(Color::clear());
    setSelectionStyle(TableViewCellSelectionStyle::None);
    delegate_ = delegate;
    nowIndex_ = nowIndex;
    dataDic_ = item.is_object() ? item : Json::object();
    all();
}

void ReferMeCell::reuseCellWithDic(const Json& item) {
    for (auto& view : std::vector<std::shared_ptr<View>>(contentView()->subviews())) view->removeFromSuperview();
    dataDic_ = item.is_object() ? item : Json::object();
    imageArray_ = Json::array();
    recordBtn_.reset();
    praiseButton_.reset();
    recordUrl_.clear();
    all();
}

std::string ReferMeCell::convertText(const std::string& content, bool honours) {
    static const std::regex face(R"(\[em\:(\d+)\:\])");
    std::string html =
        std::regex_replace(content, face, R"(<img style="vertical-align:middle;" src='$1.png' width=16 height=16/>)");
    if (honours) {
        static const std::regex honour(
            R"re(<img src="http://[\w.]*[/\w]*/static/images/honor/honor_(\w*)\.gif" class="honor-icon"/>)re");
        html = std::regex_replace(html, honour,
                                  R"(<img style="vertical-align:text-bottom;" src='honor_$1.gif' width=32 height=32/>)");
    }
    return html;
}

bool ReferMeCell::hasQuoted(const char* key) const {
    const Json& quoted = valueFor(dataDic_, key);
    return quoted.is_object() && quoted.contains("name") && !quoted["name"].is_null();
}

std::shared_ptr<Button> ReferMeCell::addAvatar(const Rect& frame) {
    auto avatar = Button::buttonWithType(ButtonType::Custom);
    avatar->setFrame(frame);
    avatar->setBackgroundColor(Color::clear());
    avatar->setCornerRadius(20);
    avatar->setClipsToBounds(true);
    avatar->setImage(Image::imageNamed("default_user"));
    const std::string uid = textOf(dataDic_, "uid"), role = textOf(dataDic_, "role");
    avatar->setAccessibilityValue(role);
    avatar->setAccessibilityHint(uid);
    if (post::isPlainName(uid)) MVTPublicMethod::setFaceImage(avatar, MVTPublicMethod::getPathByFileName(uid, "png"), role);
    std::weak_ptr<ReferMeCell> weak = self();
    avatar->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto cell = weak.lock()) cell->clickHeadBtn();
    });
    contentView()->addSubview(avatar);
    return avatar;
}

std::shared_ptr<Label> ReferMeCell::addLabel(const Rect& frame, const Font& font, const Color& colour,
                                             const std::string& text) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(font);
    label->setTextColor(colour);
    label->setText(text);
    contentView()->addSubview(label);
    return label;
}

double ReferMeCell::addText(double y, bool honours) {
    const Json& content = valueFor(dataDic_, "content");
    if (post::isBlankOrNullText(content)) return y;
    const double W = referScreenWidth();
    auto text = std::make_shared<HtmlTextView>(Rect(10, y, W - 20, 40));
    text->setBackgroundColor(Color::clear());
    text->setUserInteractionEnabled(false);
    text->setHtml(convertText(textOf(content), honours), referTextOptions());
    const double height = text->contentHeightForWidth(W - 20);
    contentView()->addSubview(text);
    if (height <= 0) return y;
    text->setFrame({10, y, W - 20, height});
    return y + height;
}

double ReferMeCell::addLinks(View& host, double y, double width) {
    const Json& links = post::listOf(dataDic_, "links");
    if (links.empty()) return y;
    y += 5;
    for (const auto& link : links) {
        auto button = getLinksButtonWith(link);
        button->setFrame({20, y, width, 40});
        button->setCornerRadius(2);
        button->setClipsToBounds(true);
        button->setBorderWidth(0.5);
        button->setBorderColor(kReferBorderColour);
        host.addSubview(button);
        y += 45;
    }
    return y;
}

void ReferMeCell::all() {
    const double W = referScreenWidth();
    addAvatar({10, 7, 40, 40});
    addLabel({60, 5, 200, 20}, Font::systemFontOfSize(16), kReferNameColour, textOf(dataDic_, "name"));
    addLabel({60, 25, 160, 20}, Font::systemFontOfSize(12), Color::gray(),
             MVTAppDelegate::sharedAppDelegate()->getDateWith(Json(textOf(dataDic_, "dateline"))));
    double f = addText(50, true);
    f += 5;
    const bool quoted = hasQuoted("share");
    // Without a quoted post the links stand under the text; with one they are in its box.
    if (!quoted) f = addLinks(*contentView(), f, W - 40);
    if (quoted) {
        auto box = showShareWithDic(dataDic_["share"], f);
        contentView()->addSubview(box);
        f += box->frame().height();
    }

    praiseButton_ = Button::buttonWithType(ButtonType::Custom);
    praiseButton_->setBackgroundColor(Color::clear());
    praiseButton_->setFrame({5, f - 5, 55, 40});
    praiseButton_->setTag(nowIndex_);
    praiseButton_->setAccessibilityHint(textOf(dataDic_, "id"));
    auto icon = std::make_shared<ImageView>(Rect(10, 12, 16, 16));
    icon->setBackgroundColor(Color::clear());
    icon->setTag(kPraiseIconTag);
    const Json& love = valueFor(dataDic_, "love");
    const bool praised = !post::isBlankOrNullText(love) && integerValue(love) != 0;
    icon->setImage(feedPicture(praised ? "liked.png" : "like.png"));
    praiseButton_->addSubview(icon);
    auto count = std::make_shared<Label>(Rect(30, 10, 40, 20));
    count->setTag(kPraiseCountTag);
    count->setBackgroundColor(Color::clear());
    count->setFont(Font::systemFontOfSize(16));
    count->setTextColor(kReferCountColour);
    count->setText(textOf(dataDic_, "likeCount"));
    praiseButton_->addSubview(count);
    if (praised) praiseButton_->setUserInteractionEnabled(false);
    std::weak_ptr<ReferMeCell> weak = self();
    praiseButton_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto cell = weak.lock()) cell->praiseBtnClicked(static_cast<Button&>(control));
    });
    contentView()->addSubview(praiseButton_);

    auto comments = std::make_shared<View>(Rect(260, f, 50, 30));
    comments->setBackgroundColor(Color::clear());
    comments->setUserInteractionEnabled(false);
    auto bubble = std::make_shared<ImageView>(Rect(5, 7, 16, 16));
    bubble->setImage(feedPicture("message_p.png"));
    comments->addSubview(bubble);
    auto commentCount = std::make_shared<Label>(Rect(27, 5, 40, 20));
    commentCount->setBackgroundColor(Color::clear());
    commentCount->setFont(Font::systemFontOfSize(16));
    commentCount->setTextColor(kReferCountColour);
    commentCount->setText(textOf(dataDic_, "commentCount"));
    comments->addSubview(commentCount);
    contentView()->addSubview(comments);

    setFrame({0, 0, W, f + 35});
    auto card = std::make_shared<View>(Rect(5, 5, W - 10, f + 27));
    card->setBackgroundColor(Color::whiteColor());
    card->setUserInteractionEnabled(false);
    contentView()->insertSubview(card, 0);
}

std::shared_ptr<View> ReferMeCell::showShareWithDic(const Json& quoted, double h) {
    const double W = referScreenWidth();
    auto box = std::make_shared<View>(Rect(10, h, W - 20, 100));
    box->setBackgroundColor(Color::clear());
    auto title = std::make_shared<Label>(Rect(5, 5, 260, 20));
    title->setBackgroundColor(Color::clear());
    title->setFont(Font::systemFontOfSize(16));
    title->setTextColor(kReferNameColour);
    title->setText(textOf(quoted, "name") + " " + textOf(quoted, "title"));
    box->addSubview(title);
    double t = 30;
    const Json& content = valueFor(quoted, "content");
    if (!post::isBlankOrNullText(content)) {
        auto text = std::make_shared<HtmlTextView>(Rect(5, 30, 255, 40));
        text->setBackgroundColor(Color::clear());
        text->setUserInteractionEnabled(false);
        text->setHtml(convertText(textOf(content), true), referTextOptions());
        const double height = text->contentHeightForWidth(255);
        if (height > 0) text->setFrame({5, 30, 255, height});
        box->addSubview(text);
        t = 30 + std::max(0.0, height);
    }
    t = addLinks(*box, t, 280);
    t = addMedia(*box, t, 290, 130, true);
    box->setFrame({10, h, 300, t + 5});
    box->setBorderWidth(0.6);
    box->setBorderColor(kReferBorderColour);
    return box;
}

double ReferMeCell::addMedia(View& box, double t, double singleWidth, double voiceX, bool moods) {
    const post::Attachments split = post::splitAttachments(dataDic_);
    imageArray_ = split.pictures;
    const int n = int(imageArray_.size());
    if (n > 0) {
        const double w = n == 1 ? singleWidth : (moods ? 86.666664 : (referScreenWidth() - 20) / 3 - 10);
        const double hgt = n == 1 ? 200 : 90;
        std::weak_ptr<ReferMeCell> weak = self();
        for (int i = 0; i < std::min(n, 9); ++i) {
            const Json& entry = imageArray_[size_t(i)];
            auto tile = std::make_shared<ImageView>(
                Rect(5 + (w + 5) * (i % 3), t + (hgt + 5) * (i / 3), w, hgt));
            tile->setTag(i);
            tile->setUserInteractionEnabled(true);
            const long long id = integerValue(valueFor(entry, "id"));
            if (moods && id >= 51 && id <= 59) {
                tile->setImage(Image::imageNamed("feeling_" + std::to_string(id - 50)));
                tile->setContentMode(ContentMode::ScaleAspectFit);
                tile->setBackgroundColor(Color::whiteColor());
            } else {
                tile->setBackgroundColor(Color::lightGray());
                tile->setClipsToBounds(true);
                tile->setContentMode(ContentMode::ScaleAspectFill);
                if (!postpictures::showFreshCache(*tile, postpictures::pictureCacheFile(textOf(entry, "id")))) {
                    if (n == 1) toGetBigAttachmentsImage(tile);
                    else toGetAttachmentsImage(tile);
                }
            }
            tile->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer& recognizer) {
                if (auto cell = weak.lock()) cell->tapImage(recognizer);
            }));
            box.addSubview(tile);
        }
        t += n == 1 ? 215 : n <= 3 ? 95 : n <= 6 ? 210 : 305;
    }
    if (!split.voices.empty()) {
        const double y = (n > 6 || n == 1) ? t - 39 : (n == 2 || n == 3) ? t - 30 : n == 0 ? t : t - 45;
        recordBtn_ = Button::buttonWithType(ButtonType::Custom);
        recordBtn_->setFrame({voiceX, y, 50, 50});
        recordBtn_->setTag(kVoiceButtonTag);
        recordBtn_->setContentMode(ContentMode::ScaleAspectFill);
        recordBtn_->setImage(Image::imageNamed("icon_play.png"));
        recordBtn_->setImage(Image::imageNamed("icon_pause.png"), ControlStateSelected);
        recordBtn_->setImage(Image::imageNamed("icon_loading.png"), ControlStateHighlighted);
        recordUrl_ = textOf(split.voices[0], "resModuleId");
        std::weak_ptr<ReferMeCell> weak = self();
        recordBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto cell = weak.lock()) cell->selfplayrecord(static_cast<Button&>(control));
        });
        box.addSubview(recordBtn_);
        t += n > 0 ? 35 : 60;
    }
    return t;
}

std::shared_ptr<Button> ReferMeCell::getLinksButtonWith(const Json& link) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({20, 0, 280, 40});
    button->setBackgroundColor(Color::clear());
    button->setAccessibilityHint(textOf(link, "url"));
    auto icon = std::make_shared<ImageView>(Rect(5, 10, 20, 20));
    icon->setImage(feedPicture("link.png"));
    icon->setUserInteractionEnabled(false);
    button->addSubview(icon);
    auto label = std::make_shared<Label>(Rect(30, 0, 240, 40));
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(14));
    label->setNumberOfLines(0);
    label->setTag(kLinkLabelTag);
    label->setTextColor(Color::darkGray());
    label->setText(textOf(link, "text"));
    label->setUserInteractionEnabled(false);
    button->addSubview(label);
    std::weak_ptr<ReferMeCell> weak = self();
    button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto cell = weak.lock()) cell->toOpenWebWith(static_cast<Button&>(control));
    });
    return button;
}

void ReferMeCell::changeState(int state) {
    if (!recordBtn_) return;
    if (state == kVoiceLoading) {
        recordBtn_->setEnabled(false);
    } else if (state == kVoicePlaying) {
        recordBtn_->setEnabled(true);
        recordBtn_->setSelected(true);
    } else {
        recordBtn_->setSelected(false);
        recordBtn_->setEnabled(true);
    }
}

void ReferMeCell::praiseBtnClicked(Button& button) {
    if (auto list = delegate()) list->sendPraiseWith(button);
}

void ReferMeCell::toOpenWebWith(Button& button) {
    auto label = std::dynamic_pointer_cast<Label>(button.viewWithTag(kLinkLabelTag));
    if (auto list = delegate()) list->sendLinkWith(button.accessibilityHint(), label ? label->text() : std::string());
}

void ReferMeCell::selfplayrecord(Button& button) {
    auto list = delegate();
    if (!list || !post::isPlainName(recordUrl_)) return;
    if (MVTPublicMethod::fileExistsAtPath(post::voiceFile(recordUrl_))) {
        button.setSelected(!button.isSelected());
        button.setEnabled(true);
        list->playRecord(button.isSelected() ? std::optional<std::string>(recordUrl_) : std::nullopt, nowIndex_);
    } else {
        list->toDownLoadAudioWith(recordUrl_, nowIndex_);
    }
}

void ReferMeCell::tapImage(GestureRecognizer& recognizer) {
    auto list = delegate();
    if (list && recognizer.view()) list->showImage(imageArray_, recognizer.view()->tag());
}

void ReferMeCell::clickHeadBtn() {
    if (auto list = delegate()) list->chooseNamed({{"id", textOf(dataDic_, "uid")}, {"name", textOf(dataDic_, "name")}});
}

void ReferMeCell::toShowAttachmentsImage(const std::shared_ptr<ImageView>& tile) {
    const int at = tile->tag();
    if (at < 0 || at >= int(imageArray_.size())) return;
    postpictures::showFreshCache(*tile, postpictures::pictureCacheFile(textOf(imageArray_[size_t(at)], "id")));
}

void ReferMeCell::toGetAttachmentsImage(const std::shared_ptr<ImageView>& tile) {
    const int at = tile->tag();
    if (at < 0 || at >= int(imageArray_.size())) return;
    const std::string id = textOf(imageArray_[size_t(at)], "id");
    // The id names the cache file: only a plain name is fetched.
    if (!post::isPlainName(id)) return;
    postpictures::startPictureLoad({tile, {postpictures::serviceThumbnail(id, false)}, postpictures::pictureCacheFile(id)});
}

void ReferMeCell::toGetBigAttachmentsImage(const std::shared_ptr<ImageView>& tile) {
    const int at = tile->tag();
    if (at < 0 || at >= int(imageArray_.size())) return;
    const std::string id = textOf(imageArray_[size_t(at)], "id");
    if (!post::isPlainName(id)) return;
    postpictures::startPictureLoad({tile, {postpictures::serviceThumbnail(id, true)}, postpictures::pictureCacheFile(id)});
}
