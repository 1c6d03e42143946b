#include "feed/MVTPersonCell.h"

#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Markup.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/Screen.h"

#include <unordered_map>

using namespace platform;

namespace {

const Color kCellGrey = Color::rgb255(119, 119, 119);
const Color kCountColor = Color::rgb255(150, 156, 143);
const Color kPraiserColor = Color::rgb255(60, 129, 151);

Color roleBarColor(const std::string& role) {
    if (role == "teacher" || role == "admin" || role == "system") return Color::rgb255(81, 186, 247);
    if (role == "parent") return Color::rgb255(130, 130, 130);
    return Color::rgb255(243, 164, 39);
}

std::shared_ptr<Label> cellLabel(const Rect& frame, const Font& font, const Color& color, const std::string& text,
                                 TextAlignment alignment = TextAlignment::Left) {
    auto view = std::make_shared<Label>(frame);
    view->setBackgroundColor(Color::clear());
    view->setFont(font);
    view->setTextColor(color);
    view->setTextAlignment(alignment);
    view->setText(text);
    return view;
}

// A count as shown: its text, "0" when the record has none.
std::string countText(const Json& record, const std::string& key) {
    const Json& value = valueFor(record, key);
    return post::isBlankOrNullText(value) ? std::string("0") : textOf(value);
}

// The time text of a post, which depends on the time now and the language: remembered
// for the current second, since every row is built twice (for its height and for display).
std::string timeText(const std::string& dateline) {
    static long long second = -1;
    static std::string language;
    static std::unordered_map<std::string, std::string> texts;
    const long long now = static_cast<long long>(platform::now());
    const std::string current = InternationalControl::bundle()->code();
    if (now != second || current != language) {
        second = now;
        language = current;
        texts.clear();
    }
    auto found = texts.find(dateline);
    if (found != texts.end()) return found->second;
    return texts[dateline] = MVTAppDelegate::sharedAppDelegate()->getDateWith(Json(dateline));
}

std::vector<ImageRef> loadingFrames() {
    std::vector<ImageRef> frames;
    for (const char* name : {"load_2", "load_3", "load_4", "load_5", "load_6", "load_7", "load_8", "load_1"})
        if (auto image = feedPicture(name)) frames.push_back(image);
    return frames;
}

}  // namespace

MVTPersonCell::MVTPersonCell() : TableViewCell(TableViewCellStyle::Default, "") {}

MVTPersonCell::~MVTPersonCell() = default;

std::shared_ptr<MVTPersonCell> MVTPersonCell::self() {
    return std::static_pointer_cast<MVTPersonCell>(shared_from_this());
}

std::weak_ptr<HtmlTextViewDelegate> MVTPersonCell::textDelegate() { return self(); }

std::weak_ptr<PostKindRenderer> MVTPersonCell::renderer() { return self(); }

int MVTPersonCell::voteIndex() const {
    auto content = const_cast<MVTPersonCell*>(this)->contentView();
    return content->tag();
}

std::shared_ptr<MVTPersonCell> MVTPersonCell::initWithtData(const Json& record, int tag, int index,
                                                            const std::shared_ptr<CellDelegate>& delegate) {
    auto cell = std::make_shared<MVTPersonCell>();
    cell->setBackgroundColor(Color::clear());
    cell->setTag(tag);
    cell->dataDic_ = record.is_object() ? record : Json::object();
    cell->nowIndex_ = index;
    cell->delegate_ = delegate;
    cell->all();
    return cell;
}

std::shared_ptr<MVTPersonCell> MVTPersonCell::initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier,
                                                            bool isLoad, bool isFalse,
                                                            const std::shared_ptr<CellDelegate>& delegate) {
    auto cell = std::make_shared<MVTPersonCell>();
    cell->initWithStyle(style, reuseIdentifier);
    cell->delegate_ = delegate;
    cell->buildLastRow(isLoad, isFalse);
    return cell;
}

// ---- The last row

void MVTPersonCell::buildLastRow(bool isLoad, bool isFalse) {
    const double W = Screen::mainScreen().bounds().width();
    setSelectionStyle(TableViewCellSelectionStyle::Gray);
    setFrame({0, 0, W, 40});
    if (isLoad) {
        addSpinnerRow();
    } else if (isFalse) {
        auto retry = Button::buttonWithType(ButtonType::Custom);
        retry->setFrame({0, 0, W, 40});
        retry->setTag(kRetryTag);
        retry->setTitle(localized("点击重新加载"));
        retry->setTitleColor(Color::darkGray());
        retry->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
        std::weak_ptr<MVTPersonCell> weak = self();
        retry->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto cell = weak.lock()) cell->againToGetListData();
        });
        contentView()->addSubview(retry);
    } else {
        contentView()->addSubview(cellLabel({10, 5, W - 20, 30}, Font::boldSystemFontOfSize(14), Color::gray(),
                                            localized("已加载全部"), TextAlignment::Center));
    }
}

void MVTPersonCell::addSpinnerRow() {
    const double W = Screen::mainScreen().bounds().width();
    auto spinner = std::make_shared<ImageView>(Rect(W / 2 - 35, 10, 20, 20));
    spinner->setTag(kSpinnerTag);
    spinner->setImage(feedPicture("load_1"));
    spinner->setAnimationImages(loadingFrames());
    spinner->setAnimationDuration(0.8);
    spinner->startAnimating();
    contentView()->addSubview(spinner);
    contentView()->addSubview(cellLabel({W / 2 - 35, 5, 100, 30}, Font::boldSystemFontOfSize(14), Color::gray(),
                                        localized("更多..."), TextAlignment::Center));
}

void MVTPersonCell::againToGetListData() {
    for (auto& view : std::vector<std::shared_ptr<View>>(contentView()->subviews()))
        if (view->tag() == kRetryTag) view->removeFromSuperview();
    addSpinnerRow();
    if (auto list = delegate()) list->againGetListData();
}

// ---- The post

void MVTPersonCell::all() {
    const double W = Screen::mainScreen().bounds().width();
    auto content = contentView();
    const Json& record = dataDic_;
    const std::string role = post::text(record, "role");
    std::weak_ptr<MVTPersonCell> weak = self();

    auto ring = std::make_shared<ImageView>(Rect(11, 13, 44, 44));
    ring->setBackgroundColor(Color::whiteColor());
    ring->setCornerRadius(22);
    ring->setClipsToBounds(true);
    content->addSubview(ring);
    auto avatar = Button::buttonWithType(ButtonType::Custom);
    avatar->setFrame({13, 15, 40, 40});
    avatar->setCornerRadius(20);
    avatar->setClipsToBounds(true);
    avatar->setBackgroundColor(Color::clear());
    const std::string uid = post::text(record, "uid");
    avatar->setAccessibilityHint(uid);
    avatar->setAccessibilityValue(role);
    avatar->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto cell = weak.lock()) cell->clickHeadBtn();
    });
    content->addSubview(avatar);
    MVTPublicMethod::setFaceImage(avatar, MVTPublicMethod::getPathByFileName(uid, "png"), role);

    auto roleBar = std::make_shared<View>(Rect(0, 3, 3, 0));
    roleBar->setBackgroundColor(roleBarColor(role));
    content->addSubview(roleBar);

    const Font nameFont = Font::systemFontOfSize(16);
    const std::string name = post::text(record, "name");
    content->addSubview(cellLabel({65, 15, W - 60, 20}, nameFont, Color::rgb255(71, 136, 159), name));
    if (role == "teacher") {
        auto mark = std::make_shared<ImageView>(
            Rect(65 + TextMeasure::sizeWithFont(name, nameFont).width + 5, 17, 14, 14));
        mark->setImage(feedPicture("teacherMark.png"));
        content->addSubview(mark);
    }
    content->addSubview(cellLabel({W - 200, 15, 190, 20}, Font::systemFontOfSize(12), kCellGrey,
                                  timeText(post::text(record, "dateline")),
                                  TextAlignment::Right));

    double y = 35;
    if (role == "student") {
        const Json& className = valueFor(record, "className");
        content->addSubview(cellLabel({65, 35, 190, 20}, Font::systemFontOfSize(12), kCellGrey,
                                      post::isBlankOrNullText(className) ? "" : textOf(className)));
        y = 60;
    }
    const auto& account = MVTAccount::sharedInstance();
    const std::string viewerRole = account.role().value_or("");
    if (post::isOwn(record, account.userId().value_or("")) && viewerRole != "parent") {
        const std::string key = post::visibilityKey(record, viewerRole);
        if (!key.empty()) {
            const Font font = Font::systemFontOfSize(10);
            const std::string text = localized(key);
            content->addSubview(cellLabel({65, y, TextMeasure::sizeWithFont(text, font).width + 4, 20}, font, kCellGrey, text));
            y += 19;
        }
    }

    const Json& decoration = post::objectOf(record, "decoration");
    if (post::text(record, "type") == "decoration" && !post::isBlank(valueFor(decoration, "img"))) {
        isDecoration_ = true;
        content->addSubview(showDecorationWithDic(decoration, y));
        y += 75;
    }
    y = addPostText(y);

    auto addKind = [&](const std::shared_ptr<View>& view) {
        content->addSubview(view);
        y += view->frame().height();
    };
    const Json& vote = post::objectOf(record, "vote");
    if (!post::isBlank(valueFor(vote, "id"))) addKind(showVoteWithDic(vote, post::text(record, "title"), y));
    const Json& lesson = post::objectOf(record, "lesson");
    if (!post::isBlank(valueFor(lesson, "courseName"))) addKind(showLessonWithDic(lesson, y));
    const Json& activity = post::objectOf(record, "activity");
    if (!post::isBlank(valueFor(activity, "id"))) addKind(showActiveWithDic(activity, y));
    const Json& share = post::objectOf(record, "share");
    if (!post::isBlank(valueFor(share, "name")) || !post::isBlank(valueFor(share, "none"))) {
        isShare_ = true;
        addKind(showShareWithDic(share, y));
    }
    y += 5;

    if (!isShare_) {
        const auto parts = post::splitAttachments(record);
        if (!parts.pictures.empty()) y = addPictureRow(*content, parts.pictures, y, false);
        if (!parts.voices.empty()) y = addVoiceRow(*content, parts.voices[0], y, false);
        for (const auto& file : parts.files) {
            auto button = getAttachsButtonWith(file);
            button->setFrame({65, y, W - 75, 40});
            button->setCornerRadius(2);
            button->setClipsToBounds(true);
            button->setBorderWidth(0.6);
            button->setBorderColor(Color::rgb255(225, 225, 225));
            content->addSubview(button);
            y += 40;
        }
        if (!parts.files.empty()) y += 5;
        const Json& links = post::listOf(record, "links");
        for (const auto& link : links) {
            auto button = getLinksButtonWith(link);
            button->setFrame({65, y, W - 75, 30});
            button->setCornerRadius(2);
            button->setClipsToBounds(true);
            button->setBorderWidth(0.6);
            button->setBorderColor(Color::rgb255(225, 225, 225));
            content->addSubview(button);
            y += 33;
        }
        if (!links.empty()) y += 5;
    }

    y = addActionRow(y);
    const bool praisers = !post::listOf(record, "likeUsers").empty();
    if (praisers) y = addPraisers(y);
    y = addCommentPreviews(y, praisers);

    roleBar->setFrame({0, 3, 3, y - 6});
    auto separator = std::make_shared<View>(Rect(65, y - 0.6, W - 20, 0.6));
    separator->setBackgroundColor(Color::rgb255(217, 222, 216));
    content->addSubview(separator);
    setFrame({0, 0, W, y});
}

double MVTPersonCell::addPostText(double y) {
    const std::string body = post::bodyText(dataDic_);
    if (body.empty() || isDecoration_) return y;
    const double W = Screen::mainScreen().bounds().width();
    contentText_ = std::make_shared<HtmlTextView>(Rect(65, y, W - 70, 40));
    contentText_->setBackgroundColor(Color::clear());
    contentText_->setUserInteractionEnabled(false);
    contentText_->setDelegate(self());
    post::TextConversion conversion{"more", false, 16, false};
    contentText_->setHtml(post::convertText(body, dataDic_, conversion), postTextOptions(1.2, 1.0));
    const double height = contentText_->contentHeightForWidth(W - 70);
    if (height > 0) {
        contentText_->setFrame({65, y, W - 70, height});
        y += height + 5;
    }
    contentView()->addSubview(contentText_);
    longRect_ = contentText_->frame();
    auto press = std::make_shared<LongPressGestureRecognizer>();
    press->setMinimumPressDuration(kLongPressSeconds);
    std::weak_ptr<MVTPersonCell> weak = self();
    press->setAction([weak](GestureRecognizer& recognizer) {
        if (auto cell = weak.lock()) cell->handleLong(recognizer);
    });
    contentView()->addGestureRecognizer(press);
    return y;
}

double MVTPersonCell::addActionRow(double y) {
    const double W = Screen::mainScreen().bounds().width();
    auto content = contentView();
    const Font font = Font::systemFontOfSize(12);
    const std::string comments = countText(dataDic_, "commentCount");
    const double w = TextMeasure::sizeWithFont(comments, font).width + 4;
    content->addSubview(cellLabel({W - 10 - w, y, w, 40}, font, kCountColor, comments, TextAlignment::Right));
    std::weak_ptr<MVTPersonCell> weak = self();

    commentButton_ = Button::buttonWithType(ButtonType::Custom);
    commentButton_->setFrame({W - 32 - w, y, w + 20, 40});
    commentButton_->setBackgroundColor(Color::clear());
    commentButton_->setImage(feedPicture("message_p.png"));
    commentButton_->setImage(feedPicture("messaged_p.png"), ControlStateHighlighted);
    commentButton_->setAccessibilityValue(post::text(dataDic_, "id"));
    commentButton_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto cell = weak.lock()) cell->readyToCommentDynamicWith(static_cast<Button&>(control));
    });
    content->addSubview(commentButton_);

    praiseButton_ = Button::buttonWithType(ButtonType::Custom);
    praiseButton_->setFrame({commentButton_->frame().x() - 61, y, 61, 40});
    praiseButton_->setBackgroundColor(Color::clear());
    praiseButton_->setTag(nowIndex_);
    praiseButton_->setAccessibilityHint(post::text(dataDic_, "id"));
    praiseButton_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto cell = weak.lock()) cell->praiseBtnClicked(static_cast<Button&>(control));
    });
    auto heart = std::make_shared<ImageView>(Rect(15, 13.5, 13, 13));
    heart->setTag(kPraiseIconTag);
    heart->setImage(feedPicture(post::isPraised(dataDic_) ? "liked.png" : "like.png"));
    praiseButton_->addSubview(heart);
    auto count = cellLabel({33, 10, 40, 20}, font, kCountColor, countText(dataDic_, "likeCount"));
    count->setTag(kPraiseCountTag);
    praiseButton_->addSubview(count);
    content->addSubview(praiseButton_);
    return y + 40;
}

double MVTPersonCell::addPraisers(double y) {
    const double W = Screen::mainScreen().bounds().width();
    auto strip = std::make_shared<View>(Rect(65, y, W - 75, 18));
    strip->setBackgroundColor(Color::whiteColor());
    auto heart = std::make_shared<ImageView>(Rect(5, 2.5, 13, 13));
    heart->setImage(feedPicture("liked.png"));
    strip->addSubview(heart);
    praiseUsersLa_ = cellLabel({26, 0, W - 96, 18}, Font::fontWithName("Helvetica", 12), kPraiserColor, "");
    strip->addSubview(praiseUsersLa_);
    contentView()->addSubview(strip);
    reloadpraiseUsersWith(dataDic_);
    return y + 18.6;
}

double MVTPersonCell::addCommentPreviews(double y, bool praisersDrawn) {
    const Json& comments = post::listOf(dataDic_, "comments");
    if (comments.empty()) return praisersDrawn ? y + 15 : y;
    std::string joined;
    std::size_t shown = 0;
    for (const auto& comment : comments) {
        if (shown++ == 3) break;
        const Json& voice = valueFor(comment, "attachmentList");
        const Json& said = valueFor(comment, "content");
        const std::string text = voice.is_array() && !voice.empty() ? std::string("[语音]")
                                 : post::isBlankOrNullText(said)     ? std::string()
                                                                     : textOf(said);
        joined += "<li><span style=\"color:rgb(60, 129, 151);\">" + escapeHtml(post::text(comment, "name")) +
                  " </span>" + text + "</li>";
    }
    const double W = Screen::mainScreen().bounds().width();
    auto white = std::make_shared<View>(Rect(65, y, W - 75, 40));
    white->setBackgroundColor(Color::whiteColor());
    commentText_ = std::make_shared<HtmlTextView>(Rect(70, y, W - 75, 40));
    commentText_->setBackgroundColor(Color::clear());
    commentText_->setUserInteractionEnabled(false);
    commentText_->setDelegate(self());
    post::TextConversion conversion{nullptr, false, 15, false};
    commentText_->setHtml(post::convertText(joined, dataDic_, conversion), postTextOptions(1.0, 1.0));
    contentView()->addSubview(white);
    contentView()->addSubview(commentText_);
    const double height = commentText_->contentHeightForWidth(W - 75);
    if (height <= 0) return y;
    commentText_->setFrame({70, y, W - 75, height});
    white->setFrame({65, y, W - 75, height});
    return y + height + 15;
}

std::string MVTPersonCell::praisersText(const Json& likeUsers) {
    std::string text;
    if (!likeUsers.is_array()) return text;
    for (const auto& entry : likeUsers) {
        if (entry.is_object()) {
            // A praiser without a name shows nothing.
            const Json& name = valueFor(entry, "name");
            if (!post::isBlankOrNullText(name)) {
                text += ',';
                text += textOf(name);
            }
        } else if (entry.is_string()) {
            text += ',';
            text += entry.get_ref<const std::string&>();
        }
    }
    return text.empty() ? text : text.substr(1);
}

void MVTPersonCell::reloadpraiseUsersWith(const Json& record) {
    if (praiseUsersLa_) praiseUsersLa_->setText(praisersText(post::listOf(record, "likeUsers")));
}

// ---- Selection and taps

void MVTPersonCell::setSelected(bool selected, bool animated) {
    setSelectedBackgroundView(MVTPublicMethod::imageViewWithColor(Color::rgb255(229, 229, 229)));
    TableViewCell::setSelected(selected, animated);
}

void MVTPersonCell::setHighlighted(bool, bool) {}

void MVTPersonCell::clickHeadBtn() {
    if (tag() != 2) return;
    const Json user = {{"id", valueFor(dataDic_, "uid").is_discarded() ? Json() : dataDic_["uid"]},
                       {"name", valueFor(dataDic_, "name").is_discarded() ? Json() : dataDic_["name"]},
                       {"role", valueFor(dataDic_, "role").is_discarded() ? Json() : dataDic_["role"]}};
    if (auto list = delegate()) list->chooseNamed(user);
}

void MVTPersonCell::praiseBtnClicked(Button& button) {
    if (auto list = delegate()) list->sendPraiseWith(button);
}

void MVTPersonCell::readyToCommentDynamicWith(Button& button) {
    if (auto list = delegate()) list->toCommentDynamicWith(button.accessibilityValue());
}

void MVTPersonCell::handleLong(GestureRecognizer& recognizer) {
    if (recognizer.state() != GestureState::Began) return;
    const Point at = recognizer.locationInView(recognizer.view());
    if (!longRect_.contains(at)) return;
    std::string text;
    if (post::text(dataDic_, "type") == "class_album")
        text = post::bodyText(dataDic_);
    else
        text = post::text(dataDic_, "content");
    if (auto list = delegate()) list->readyToCopyContentWith(longRect_, nowIndex_, text);
}

void MVTPersonCell::zfBtnClicked(Button& button) {
    if (auto list = delegate()) list->readyToForwardWith(std::to_string(button.tag()));
}

void MVTPersonCell::deleBtnClicked() {
    if (auto list = delegate()) list->deleteState(post::text(dataDic_, "id"));
}

void MVTPersonCell::DeleteDynamic(Button& button) {
    if (auto list = delegate()) list->deleteDynamicWith(post::text(dataDic_, "id"), nowIndex_, button.tag());
}

// ---- Text view answers

std::shared_ptr<View> MVTPersonCell::viewForLink(HtmlTextView&, const HtmlLink& link, const Rect& frame) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame(frame);
    button->setAccessibilityHint(link.url);
    const std::string url = link.url;
    button->addTarget(ControlEventTouchUpInside, [url](Control&) { Application::shared().openURL(url); });
    return button;
}

std::shared_ptr<View> MVTPersonCell::viewForAttachment(HtmlTextView&, const HtmlAttachment& attachment,
                                                       const Rect& frame) {
    auto picture = std::make_shared<LazyImageView>(frame);
    picture->setDisplaySize(frame.size);
    picture->setDelegate(self());
    picture->setImage(attachment.image ? attachment.image : feedPicture("honor_meyo.gif"));
    if (!attachment.remoteUrl.empty()) picture->setUrl(attachment.remoteUrl);
    return picture;
}
