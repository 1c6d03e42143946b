#include "me/MVTTimeSpaceCell.h"

#include "me/MVTTimeWork.h"

#include "feed/PostKindRenderer.h"
#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/HttpEngine.h"
#include "platform/RunLoop.h"
#include "platform/UrlRequest.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <deque>
#include <cstdio>
#include <filesystem>
#include <random>
#include <regex>

using namespace platform;

namespace {

const Color kLabelGrey = Color::white(0.467);
const Color kCaptionGrey = Color::white(0.667);
const Color kPanelBackground = Color::white(0.95, 0.8);
const Color kBlockBackground = Color::white(0.8, 0.8);
const Color kPlaceholder = Color::white(0.949);
const Color kHairline = Color::rgb255(225, 225, 225);
const Color kTimeline = Color::rgb255(220, 220, 220);
const Color kVoiceGreen = Color::rgb255(54, 101, 53);
const Color kModeGrey = Color::rgb255(172, 178, 168);
const Color kAnswerGrey = Color::white(0.333);
const Color kChosenBlue = Color::rgba(0.38, 0.78, 0.976);
constexpr std::size_t kThumbnailByteLimit = 8u * 1024 * 1024;

std::function<int(int)>& randomSource() {
    static std::function<int(int)> source;
    return source;
}

std::shared_ptr<Label> spaceLabel(const Rect& frame, const Font& font, const Color& color, const std::string& text,
                                  int lines = 1) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(font);
    label->setTextColor(color);
    label->setNumberOfLines(lines);
    label->setText(text);
    return label;
}

// A label of any number of lines as high as its text needs within its width.
std::shared_ptr<Label> fittedLabel(const Rect& frame, const Font& font, const Color& color, const std::string& text) {
    auto label = spaceLabel(frame, font, color, text, 0);
    const Size fit = label->sizeThatFits({frame.width(), 1e6});
    label->setFrame({frame.x(), frame.y(), frame.width(), fit.height});
    return label;
}

void hairline(View& view) {
    view.setCornerRadius(2);
    view.setBorderWidth(0.5);
    view.setBorderColor(kHairline);
    view.setClipsToBounds(true);
}

std::string lowered(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The timeline's options of the HTML text view.
HtmlTextOptions timelineTextOptions(double sizeMultiplier) {
    HtmlTextOptions options = postTextOptions(sizeMultiplier, 1.1);
    options.maxImageWidth = 20;
    options.maxImageHeight = 20;
    return options;
}

// The service's honor pictures are shown from the application's own copies.
std::string replaceHonorPictures(const std::string& text) {
    static const std::regex honor(
        R"re(<img src="http://[\w.:]*[/\w]*/static/images/honor/honor_(\w*).gif" class="honor-icon"/>)re");
    return std::regex_replace(text, honor, "<img style=\"vertical-align:text-bottom;\" src='honor_$1.gif' width=32 height=32/>");
}

// The post's text as markup: "..." after a text the service cut, emoticons, honor
// pictures and "</br>" lines.
std::string timelineMarkup(const std::string& content, bool cut, bool servicePictures) {
    post::TextConversion conversion;
    conversion.servicePictures = servicePictures;
    std::string text = cut ? content + "..." : content;
    return post::convertText(replaceHonorPictures(text), Json::object(), conversion);
}

std::shared_ptr<HtmlTextView> timelineText(const Rect& frame, int tag) {
    auto view = std::make_shared<HtmlTextView>(frame);
    view->setTag(tag);
    view->setBackgroundColor(Color::clear());
    view->setUserInteractionEnabled(false);
    return view;
}

std::string thumbnailFile(const std::string& id) { return MVTPublicMethod::getPathByFileName("account_" + id, "png"); }

// Thumbnails decoded from their files, kept on the main thread: a row is built once to be
// measured and again to be shown, and a page scrolled back shows its pictures at once
// instead of decoding them again. A rewritten file is decoded anew.
struct SpaceThumbnailMemo {
    std::string file;
    std::filesystem::file_time_type written;
    ImageRef image;
};
constexpr std::size_t kSpaceThumbnailMemoSize = 60;
std::deque<SpaceThumbnailMemo>& spaceThumbnailMemo() {
    static std::deque<SpaceThumbnailMemo> memo;
    return memo;
}
std::filesystem::file_time_type spaceThumbnailWritten(const std::string& file) {
    std::error_code error;
    return std::filesystem::last_write_time(file, error);
}
ImageRef rememberedSpaceThumbnail(const std::string& file, std::filesystem::file_time_type written) {
    for (const auto& entry : spaceThumbnailMemo())
        if (entry.file == file) return entry.written == written ? entry.image : nullptr;
    return nullptr;
}
void rememberSpaceThumbnail(const std::string& file, std::filesystem::file_time_type written, ImageRef image) {
    auto& memo = spaceThumbnailMemo();
    std::erase_if(memo, [&](const SpaceThumbnailMemo& entry) { return entry.file == file; });
    memo.push_back({file, written, std::move(image)});
    while (memo.size() > kSpaceThumbnailMemoSize) memo.pop_front();
}

}  // namespace

void MVTTimeSpaceCell::setRandomSource(std::function<int(int)> source) { randomSource() = std::move(source); }

int MVTTimeSpaceCell::getRandomNumLimit(int n) {
    if (n <= 0) return 0;
    if (randomSource()) return std::clamp(randomSource()(n), 0, n - 1);
    static std::mt19937 engine{std::random_device{}()};
    return std::uniform_int_distribution<int>(0, n - 1)(engine);
}

std::shared_ptr<MVTTimeSpaceCell> MVTTimeSpaceCell::make(const Json& record, const std::optional<Json>& nextDateline,
                                                         int row, std::weak_ptr<MVTTimeSpaceCellDelegate> delegate) {
    auto cell = std::make_shared<MVTTimeSpaceCell>();
    cell->initWithStyle(TableViewCellStyle::Default, "aCell");
    cell->setBackgroundColor(Color::clear());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->nowIndex_ = row;
    cell->delegate_ = std::move(delegate);
    cell->setData(record, nextDateline);
    return cell;
}

double MVTTimeSpaceCell::contentWidth() const { return Screen::mainScreen().bounds().width() - 72; }

void MVTTimeSpaceCell::setData(const Json& record, const std::optional<Json>& nextDateline) {
    auto content = contentView();
    for (const auto& view : std::vector<std::shared_ptr<View>>(content->subviews())) view->removeFromSuperview();
    contentDict_ = record.is_object() ? record : Json::object();
    isShare_ = false;
    imageArray_ = Json::array();
    dateText_.clear();
    const double W = Screen::mainScreen().bounds().width(), L = kLeft, C = contentWidth();
    const Json& dateline = valueFor(contentDict_, "dateline");
    timeStr_ = textOf(dateline);

    double T = 0;
    if (!nextDateline || MVTTimeWork::dateFormate(dateline) != MVTTimeWork::dateFormate(*nextDateline)) {
        drawTimeLabelWithOffsetY(28);
        T = 30;
    }
    double y = T + 4;
    y = addPostText(y);
    y += 10;
    const Json& vote = post::objectOf(contentDict_, "vote");
    if (vote.contains("id")) {
        auto panel = showVoteWithDic(vote, post::text(contentDict_, "title"), y);
        content->addSubview(panel);
        y += panel->frame().height() + 10;
    }
    const Json& lesson = post::objectOf(contentDict_, "lesson");
    if (lesson.contains("courseName")) {
        auto panel = showLessonWithDic(lesson, y);
        content->addSubview(panel);
        y += panel->frame().height();
    }
    const Json& activity = post::objectOf(contentDict_, "activity");
    if (activity.contains("id")) {
        auto panel = showActiveWithDic(activity, y);
        content->addSubview(panel);
        y += panel->frame().height() + 10;
    }
    if (post::text(contentDict_, "type") == "share") {
        const Json& share = post::objectOf(contentDict_, "share");
        if (share.contains("name") || share.contains("none")) {
            isShare_ = true;
            auto box = showShareWithDic(share, y + 2);
            content->addSubview(box);
            y += box->frame().height() + 15;
        } else {
            auto gone = spaceLabel({L, y + 2, C - 8, 30}, Font::systemFontOfSize(12), Color::darkGray(),
                                   localized("转发的内容已删除"));
            gone->setBackgroundColor(Color::whiteColor());
            content->addSubview(gone);
            y += 45;
        }
    }
    y += 5;
    if (!isShare_) {
        const post::Attachments split = post::splitAttachments(contentDict_);
        if (!split.pictures.empty()) {
            y -= addPictureBlock(*content, split.pictures, L + 2, y, kTextTag);
            y += 80;
        }
        if (!split.voices.empty()) {
            addVoiceButton(*content, split.voices.front(), L + 2, y);
            y += 35;
        }
        if (!split.files.empty()) {
            y += 5;
            for (const auto& file : split.files) {
                auto button = getAttachsButtonWith(file);
                button->setFrame({L + 2, y, C - 10, 40});
                hairline(*button);
                content->addSubview(button);
                y += 55;
            }
        }
        const Json& links = post::listOf(contentDict_, "links");
        if (!links.empty()) {
            y += 5;
            for (const auto& link : links) {
                auto button = getLinksButtonWith(link);
                button->setFrame({L + 2, y, C - 10, 40});
                hairline(*button);
                content->addSubview(button);
                y += 55;
            }
        }
    }
    auto panel = std::make_shared<View>(Rect(L - 2, T, C - 5, y - T + 4));
    panel->setBackgroundColor(kPanelBackground);
    content->insertSubview(panel, 0);
    auto views = spaceLabel({W - 70, y - 15, 60, 15}, Font::systemFontOfSize(12), kCaptionGrey,
                            post::fill(localized("浏览:%d"), {std::to_string(intValue(Json(post::text(contentDict_, "viewCount"))))}));
    views->setTextAlignment(TextAlignment::Right);
    content->addSubview(views);
    setFrame({0, 0, W, y});
    auto line = std::make_shared<View>(Rect(50, 0, 1, y));
    line->setBackgroundColor(kTimeline);
    content->insertSubview(line, 0);
}

void MVTTimeSpaceCell::drawTimeLabelWithOffsetY(double y) {
    static const Color kDots[] = {Color::rgb255(179, 223, 86), Color::rgb255(55, 224, 218), Color::rgb255(79, 193, 233),
                                  Color::rgb255(255, 206, 84), Color::rgb255(252, 110, 81)};
    dateText_ = MVTTimeWork::columnText(valueFor(contentDict_, "dateline"));
    contentView()->addSubview(spaceLabel({5, y, 40, 30}, Font::systemFontOfSize(12), kLabelGrey, dateText_));
    dot_ = std::make_shared<View>(Rect(50.5 - 7, 44 - 7, 14, 14));
    dot_->setCornerRadius(7);
    dot_->setBorderWidth(1);
    dot_->setBorderColor(Color::whiteColor());
    dot_->setClipsToBounds(true);
    dot_->setBackgroundColor(kDots[getRandomNumLimit(5)]);
    contentView()->addSubview(dot_);
}

double MVTTimeSpaceCell::addPostText(double y) {
    const Json& content = valueFor(contentDict_, "content");
    if (post::isBlank(content)) return y;
    const bool cut = contentDict_.contains("more") && !post::text(contentDict_, "more").empty();
    const double C = contentWidth();
    auto view = timelineText({kLeft + 2, y, C - 4, 40}, kTextTag);
    view->setHtml(timelineMarkup(textOf(content), cut, false), timelineTextOptions(1.2));
    const double height = view->contentHeightForWidth(C - 4);
    contentView()->addSubview(view);
    if (height <= 0) return y;
    view->setFrame({kLeft + 2, y, C - 4, height});
    return y + height;
}

double MVTTimeSpaceCell::addPictureBlock(View& parent, const Json& pictures, double x, double y, int textTag) {
    imageArray_ = pictures;
    double back = 0;
    const bool inShare = textTag == kShareTextTag;
    if (auto text = parent.viewWithTag(textTag)) {
        back = text->frame().height();
        const double top = y - back;
        const Rect was = text->frame();
        const double left = inShare ? 65 : kLeft + 65;
        text->setFrame({left, top, was.x() + was.width() - left, 60});
        y = top;
    }
    const std::size_t count = pictures.size();
    if (count >= 2) {
        parent.addSubview(spaceLabel({inShare ? 5 : kLeft, y + 65, 50, 15}, Font::systemFontOfSize(12), kCaptionGrey,
                                     post::fill(localized("共%d张"), {std::to_string(count)})));
    }
    auto block = Button::buttonWithType(ButtonType::Custom);
    block->setFrame({x, y, 60, 60});
    block->setBackgroundColor(kBlockBackground);
    std::weak_ptr<MVTTimeSpaceCell> weak = std::static_pointer_cast<MVTTimeSpaceCell>(shared_from_this());
    block->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->tapImage();
    });
    std::vector<Rect> frames;
    if (count == 1) frames = {{0, 0, 60, 60}};
    else if (count == 2) frames = {{0, 0, 28, 60}, {32, 0, 28, 60}};
    else if (count == 3) frames = {{0, 0, 28, 60}, {32, 0, 28, 28}, {32, 32, 28, 28}};
    else frames = {{0, 0, 28, 28}, {0, 32, 28, 28}, {32, 0, 28, 28}, {32, 32, 28, 28}};
    for (std::size_t i = 0; i < frames.size() && i < count; ++i) {
        auto thumb = std::make_shared<ImageView>(frames[i]);
        thumb->setTag(int(i));
        thumb->setUserInteractionEnabled(false);
        const std::string id = post::text(pictures[i], "id");
        const int mood = intValue(Json(id));
        if (mood >= 51 && mood <= 59 && id == std::to_string(mood)) {
            thumb->setContentMode(ContentMode::ScaleAspectFit);
            thumb->setBackgroundColor(Color::whiteColor());
            thumb->setImage(feedPicture("feeling_" + std::to_string(mood - 50)));
        } else {
            thumb->setContentMode(ContentMode::ScaleAspectFill);
            thumb->setClipsToBounds(true);
            thumb->setBackgroundColor(kPlaceholder);
            toShowAttachmentsImage(thumb, count == 1);
        }
        block->addSubview(thumb);
    }
    parent.addSubview(block);
    return back;
}

void MVTTimeSpaceCell::toShowAttachmentsImage(const std::shared_ptr<ImageView>& view, bool big) {
    if (!view || view->tag() < 0 || view->tag() >= int(imageArray_.size())) return;
    const std::string id = post::text(imageArray_[std::size_t(view->tag())], "id");
    // The id names the cache file: anything but a plain name is not fetched.
    if (!post::isPlainName(id)) return;
    const std::string file = thumbnailFile(id);
    if (MVTPublicMethod::fileExistsAtPath(file) && MVTPublicMethod::isNewmodify(file)) {
        const auto written = spaceThumbnailWritten(file);
        if (auto image = rememberedSpaceThumbnail(file, written)) {
            view->setImage(image);
            return;
        }
        // Decoding waits on the background queue, never on the page being laid out.
        dispatchBackground([view, file, written] {
            auto bytes = readFile(file);
            ImageRef image = bytes && !bytes->empty() ? Image::imageWithData(*bytes) : nullptr;
            dispatchMain([view, file, written, image] {
                if (!image) return;
                rememberSpaceThumbnail(file, written, image);
                view->setImage(image);
            });
        });
        return;
    }
    const std::string url = ServiceAddress::baseUrl() + "resource/view/img_thumb/" + id +
                            (big ? "?size=big&token=" : "?size=m&token=") +
                            MVTAppDelegate::sharedAppDelegate()->getTokenWith(id);
    dispatchBackground([view, url, file] {
        HttpResponse response = HttpEngine::shared().fetch(UrlRequest(url), kThumbnailByteLimit);
        ImageRef image = response.ok() ? Image::imageWithData(response.body) : nullptr;
        const bool kept = image && writeFileAtomically(file, response.body);
        const auto written = kept ? spaceThumbnailWritten(file) : std::filesystem::file_time_type{};
        dispatchMain([view, image, file, kept, written] {
            if (!image) return;
            if (kept) rememberSpaceThumbnail(file, written, image);
            view->setImage(image);
        });
    });
}

void MVTTimeSpaceCell::addVoiceButton(View& parent, const Json& voice, double x, double y) {
    recordBtn_ = Button::buttonWithType(ButtonType::Custom);
    recordBtn_->setFrame({x, y, 80, 30});
    recordBtn_->setBackgroundColor(Color::clear());
    recordBtn_->setTag(kRecordButtonTag);
    recordUrl_ = post::text(voice, "resModuleId");
    std::weak_ptr<MVTTimeSpaceCell> weak = std::static_pointer_cast<MVTTimeSpaceCell>(shared_from_this());
    recordBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->selfplayrecord(static_cast<Button&>(control));
    });
    auto circle = std::make_shared<ImageView>(Rect(0, 3, 80, 23));
    if (auto image = feedPicture("vedioCircle.png")) circle->setImage(image->stretchableImageWithLeftCapWidth(14, 12));
    recordBtn_->addSubview(circle);
    recordPlayView_ = std::make_shared<ImageView>(Rect(11, 5.5, 18, 18));
    recordPlayView_->setImage(feedPicture("icon_52_2"));
    std::vector<ImageRef> frames;
    for (const char* name : {"icon_52_1", "icon_52", "icon_52_3", "icon_52_2"})
        if (auto image = feedPicture(name)) frames.push_back(image);
    recordPlayView_->setAnimationImages(frames);
    recordPlayView_->setAnimationDuration(1.5);
    recordBtn_->addSubview(recordPlayView_);
    if (!post::isBlank(valueFor(voice, "duration"))) {
        auto duration = spaceLabel({30, 7, 30, 15}, Font::systemFontOfSize(12), kVoiceGreen,
                                   post::fill(localized("%@ 秒"), {post::text(voice, "duration")}));
        duration->setTextAlignment(TextAlignment::Right);
        recordBtn_->addSubview(duration);
    }
    parent.addSubview(recordBtn_);
}

std::shared_ptr<Button> MVTTimeSpaceCell::getAttachsButtonWith(const Json& attachment) {
    const double W = Screen::mainScreen().bounds().width();
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({20, 0, W - 40, 40});
    button->setBackgroundColor(Color::clear());
    button->setTitle(post::text(attachment, "name"));
    button->setTitleColor(Color::clear());
    button->setAccessibilityHint(post::text(attachment, "resModuleId"));
    const std::string type = lowered(post::text(attachment, "type"));
    button->setAccessibilityLabel(type);
    std::weak_ptr<MVTTimeSpaceCell> weak = std::static_pointer_cast<MVTTimeSpaceCell>(shared_from_this());
    button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->toDownLoadAttachWith(static_cast<Button&>(control));
    });
    auto icon = std::make_shared<ImageView>(Rect(5, 10, 20, 20));
    icon->setImage(feedPicture(PostKindRenderer::fileIconFor(type)));
    button->addSubview(icon);
    auto label = spaceLabel({30, 0, isShare_ ? W - 120 : W - 80, 40}, Font::systemFontOfSize(14), Color::darkGray(),
                            post::text(attachment, "name") + "." + post::text(attachment, "type"), 0);
    label->setTag(kControlLabelTag);
    button->addSubview(label);
    return button;
}

std::shared_ptr<Button> MVTTimeSpaceCell::getLinksButtonWith(const Json& link) {
    const double W = Screen::mainScreen().bounds().width();
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({kLeft + 2, 0, contentWidth() - 4, 40});
    button->setBackgroundColor(Color::clear());
    button->setAccessibilityHint(post::text(link, "url"));
    std::weak_ptr<MVTTimeSpaceCell> weak = std::static_pointer_cast<MVTTimeSpaceCell>(shared_from_this());
    button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->toOpenWebWith(static_cast<Button&>(control));
    });
    auto icon = std::make_shared<ImageView>(Rect(5, 10, 20, 20));
    icon->setImage(feedPicture("link.png"));
    button->addSubview(icon);
    auto label = spaceLabel({30, 0, isShare_ ? W - 120 : W - 80, 40}, Font::systemFontOfSize(14), kLabelGrey,
                            post::text(link, "text"), 0);
    label->setTag(kControlLabelTag);
    button->addSubview(label);
    return button;
}

// ---- Taps

void MVTTimeSpaceCell::tapImage() {
    if (auto d = delegate()) d->showImage(imageArray_, 0);
}

void MVTTimeSpaceCell::selfplayrecord(Button& button) {
    auto d = delegate();
    if (!d) return;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(post::voiceFile("0")).parent_path(), ignored);
    if (post::isPlainName(recordUrl_) && MVTPublicMethod::fileExistsAtPath(post::voiceFile(recordUrl_))) {
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

void MVTTimeSpaceCell::toDownLoadAttachWith(Button& file) {
    if (auto d = delegate()) d->toDownLoadAttachWith(file.accessibilityHint(), file.titleForState(ControlStateNormal), file.accessibilityLabel());
}

void MVTTimeSpaceCell::toOpenWebWith(Button& link) {
    auto label = std::dynamic_pointer_cast<Label>(link.viewWithTag(kControlLabelTag));
    if (auto d = delegate()) d->sendLinkWith(link.accessibilityHint(), label ? label->text() : std::string());
}

// ---- Panels

std::shared_ptr<View> MVTTimeSpaceCell::showVoteWithDic(const Json& vote, const std::string& title, double y) {
    const double L = kLeft, C = contentWidth();
    auto panel = std::make_shared<View>(Rect(L, y, C - 2, 100));
    panel->setBackgroundColor(Color::clear());
    const Font bold12 = Font::boldSystemFontOfSize(12), bold14 = Font::boldSystemFontOfSize(14);
    const double h1 = TextMeasure::sizeWithFont(title, bold14, {C - 14, 200}, LineBreakMode::CharWrap).height;
    panel->addSubview(spaceLabel({5, 2, C - 14, h1}, bold12, kLabelGrey, title, 0));
    const double y1 = std::floor(h1 + 7);
    const std::string question = post::text(vote, "title");
    const double h2 = TextMeasure::sizeWithFont(question, bold12, {C - 14, 200}, LineBreakMode::CharWrap).height;
    panel->addSubview(spaceLabel({5, y1, C - 14, h2}, bold12, kLabelGrey, question, 0));
    double r = std::floor(y1 + h2 + 5);
    const std::string postId = post::text(contentDict_, "id"), voteId = post::text(vote, "id");
    std::weak_ptr<MVTTimeSpaceCell> weak = std::static_pointer_cast<MVTTimeSpaceCell>(shared_from_this());
    const Json& answers = post::listOf(vote, "answerList");
    const Font font12 = Font::systemFontOfSize(12);

    if (intValue(Json(post::text(vote, "showResult"))) != 0) {
        const double total = doubleValue(Json(post::text(vote, "count")));
        int number = 1;
        for (const auto& answer : answers) {
            const double count = doubleValue(Json(post::text(answer, "count")));
            std::string text;
            if (count == 0) {
                text = post::fill(" %d. %@ %@票", {std::to_string(number), post::text(answer, "title"),
                                                  post::text(answer, "count")});
            } else {
                // A total of 0 (a reply that contradicts itself) shows no share at all.
                char share[32];
                std::snprintf(share, sizeof share, "%.0f%%", total > 0 ? count / total * 100 : 0.0);
                text = post::fill(" %d. %@ %@ %@票", {std::to_string(number), post::text(answer, "title"), share,
                                                     post::text(answer, "count")});
            }
            auto line = fittedLabel({5, r, C - 14, 20}, font12, kLabelGrey, text);
            line->setBorderWidth(0.5);
            line->setBorderColor(kHairline);
            panel->addSubview(line);
            r = std::floor(r + line->frame().height() + 5);
            ++number;
        }
        const std::string totalText = post::fill(" 总票数: %@票 ", {post::text(vote, "count")});
        auto totalLabel = spaceLabel({5, r, TextMeasure::sizeWithFont(totalText, font12).width, 20}, font12, kModeGrey,
                                     totalText);
        totalLabel->setBorderWidth(0.5);
        totalLabel->setBorderColor(kHairline);
        panel->addSubview(totalLabel);
        const std::string refreshTitle = localized("刷新");
        const double w2 = TextMeasure::sizeWithFont(refreshTitle, bold14).width;
        auto refresh = Button::buttonWithType(ButtonType::Custom);
        refresh->setFrame({C - 50 - w2 / 2, r, w2 + 20, 20});
        refresh->setBackgroundColor(Color::clear());
        refresh->setTitle(refreshTitle);
        refresh->setTitleColor(kVoiceGreen);
        refresh->titleLabel()->setFont(bold12);
        hairline(*refresh);
        refresh->setAccessibilityLabel(postId);
        refresh->setAccessibilityHint(voteId);
        refresh->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toRefashVote(static_cast<Button&>(control));
        });
        panel->addSubview(refresh);
    } else {
        limitVoter_ = intValue(Json(post::text(vote, "answerLimit")));
        const bool single = limitVoter_ < 2;
        const std::string mode = single ? localized("  单选  ")
                                        : post::fill(localized("  多选 %d项  "), {std::to_string(limitVoter_)});
        for (const auto& answer : answers) {
            auto button = Button::buttonWithType(ButtonType::Custom);
            button->setFrame({5, r, C - 10, 20});
            button->setBackgroundColor(Color::clear());
            button->setAccessibilityHint(post::text(answer, "id"));
            button->setImage(feedPicture(single ? "un_one.png" : "un_more.png"));
            button->setImage(feedPicture(single ? "un_one_h.png" : "un_more_h.png"), ControlStateHighlighted);
            button->setImage(feedPicture(single ? "did_one.png" : "did_more.png"), ControlStateSelected);
            button->setImageEdgeInsets({5, 15, 5, 233});
            hairline(*button);
            auto text = spaceLabel({20, 0, 220, 20}, Font::systemFontOfSize(14), kAnswerGrey,
                                   post::text(answer, "title"), 0);
            text->setTag(kControlLabelTag);
            button->addSubview(text);
            button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
                if (auto self = weak.lock()) self->toSelectVote(static_cast<Button&>(control));
            });
            panel->addSubview(button);
            selectVoteArr_.push_back(button);
            r += 25;
        }
        voteArr_.clear();
        auto modeLabel = spaceLabel({5, r, TextMeasure::sizeWithFont(mode, font12).width, 20}, font12, kModeGrey, mode);
        modeLabel->setBorderWidth(0.5);
        modeLabel->setBorderColor(kHairline);
        panel->addSubview(modeLabel);
        voteBtn_ = Button::buttonWithType(ButtonType::Custom);
        voteBtn_->setFrame({C - 50, r, 45, 20});
        voteBtn_->setBackgroundColor(Color::clear());
        voteBtn_->setTitle(localized("投票"));
        voteBtn_->setTitleColor(kVoiceGreen);
        voteBtn_->titleLabel()->setFont(bold12);
        hairline(*voteBtn_);
        voteBtn_->setAccessibilityLabel(postId);
        voteBtn_->setAccessibilityHint(voteId);
        voteBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toSendVote(static_cast<Button&>(control));
        });
        panel->addSubview(voteBtn_);
    }
    panel->setFrame({L, y, C - 2, r + 27});
    return panel;
}

void MVTTimeSpaceCell::toSelectVote(Button& answer) {
    const std::string id = answer.accessibilityHint();
    auto paint = [](Button& button, bool chosen) {
        button.setSelected(chosen);
        if (auto text = std::dynamic_pointer_cast<Label>(button.viewWithTag(kControlLabelTag)))
            text->setTextColor(chosen ? kChosenBlue : kAnswerGrey);
    };
    if (answer.isSelected()) {
        voteArr_.erase(std::remove(voteArr_.begin(), voteArr_.end(), id), voteArr_.end());
        paint(answer, false);
        return;
    }
    if (limitVoter_ < 2) {
        voteArr_.clear();
        for (auto& button : selectVoteArr_) paint(*button, false);
    } else if (int(voteArr_.size()) >= limitVoter_) {
        AlertView::make(localized("最多选择") + " " + std::to_string(limitVoter_) + " " + localized("项"), "", {},
                        localized("知道了"))
            ->show();
        return;
    }
    voteArr_.push_back(id);
    paint(answer, true);
}

void MVTTimeSpaceCell::toSendVote(Button& send) {
    // A vote that asks for no answer (a limit of 0 or none) cannot be sent: nothing would
    // be chosen to send. It asks for one answer instead.
    const int needed = std::max(limitVoter_, 1);
    if (int(voteArr_.size()) != needed) {
        AlertView::make(localized("需选择") + " " + std::to_string(needed) + " " + localized("项"), "", {},
                        localized("知道了"))
            ->show();
        return;
    }
    std::string ids;
    for (const auto& id : voteArr_) ids += (ids.empty() ? "" : ",") + id;
    if (auto d = delegate()) d->toSendVoteWith(send.accessibilityLabel(), send.accessibilityHint(), ids, nowIndex_);
}

void MVTTimeSpaceCell::toRefashVote(Button& refresh) {
    if (auto d = delegate()) d->toRefreshVoteWith(refresh.accessibilityLabel(), refresh.accessibilityHint(), nowIndex_);
}

std::shared_ptr<View> MVTTimeSpaceCell::showLessonWithDic(const Json& lesson, double y) {
    const double C = contentWidth();
    auto panel = std::make_shared<View>(Rect(kLeft, y, C, 95));
    panel->setBackgroundColor(Color::clear());
    panel->setBorderWidth(0.5);
    panel->setBorderColor(kHairline);
    panel->addSubview(spaceLabel({5, 5, C - 10, 20}, Font::boldSystemFontOfSize(12), kLabelGrey,
                                 post::fill(localized("学科: %@  %@"), {post::text(lesson, "courseName"),
                                                                       post::text(lesson, "lessonName")})));
    static const char* kItems[6][2] = {{"文档(%@)", "docCount"},      {"图片(%@)", "picCount"},
                                       {"音视频(%@)", "mediaCount"},  {"作业(%@)", "homeworkCount"},
                                       {"习题(%@)", "questionCount"}, {"讨论(%@)", "discussCount"}};
    for (int i = 0; i < 6; ++i) {
        const double x = 102 * (i % 3), top = 30 * (i / 3) + 30;
        auto icon = std::make_shared<ImageView>(Rect(x + 5, top, 25, 25));
        icon->setBackgroundColor(Color::clear());
        icon->setImage(feedPicture("lesson0" + std::to_string(i) + ".tiff"));
        panel->addSubview(icon);
        auto label = spaceLabel({x + 30, top, 68, 25}, Font::systemFontOfSize(13), kAnswerGrey,
                                post::fill(localized(kItems[i][0]), {post::text(lesson, kItems[i][1])}));
        label->setTextAlignment(TextAlignment::Center);
        panel->addSubview(label);
    }
    return panel;
}

std::shared_ptr<View> MVTTimeSpaceCell::showActiveWithDic(const Json& activity, double y) {
    const double C = contentWidth();
    auto panel = std::make_shared<View>(Rect(kLeft, y, C - 2, 100));
    panel->setBackgroundColor(Color::clear());
    const Font font14 = Font::systemFontOfSize(14);
    double f = 5;
    if (activity.contains("title")) {
        auto title = fittedLabel({10, 5, C - 2, 20}, Font::systemFontOfSize(12), kLabelGrey, post::text(activity, "title"));
        panel->addSubview(title);
        f = title->frame().height() + 5;
    }
    const std::string end =
        activity.contains("end") ? post::fill(localized(" 至 %@"), {post::text(activity, "end")}) : std::string();
    if (activity.contains("start")) {
        panel->addSubview(spaceLabel({10, f, C - 2, 20}, font14, Color::darkGray(),
                                     post::fill(localized("时间：%@%@"), {post::text(activity, "start"), end}), 0));
        f += 20;
    }
    auto captioned = [&](const char* caption, const std::string& value, double width) {
        const std::string text = localized(caption);
        const double w = TextMeasure::sizeWithFont(text, font14).width;
        panel->addSubview(spaceLabel({10, f, w, 20}, font14, Color::darkGray(), text, 0));
        auto valueLabel = fittedLabel({w + 10, f, width, 20}, font14, Color::darkGray(), value);
        panel->addSubview(valueLabel);
        f += valueLabel->frame().height();
    };
    if (activity.contains("location")) captioned("地点：", post::text(activity, "location"), 252);
    if (activity.contains("name")) {
        panel->addSubview(spaceLabel({10, f, C - 2, 20}, font14, Color::darkGray(),
                                     post::fill(localized("发起：%@"), {post::text(activity, "name")}), 0));
        f += 20;
    }
    if (activity.contains("description")) captioned("简介：", post::text(activity, "description"), 180);
    if (activity.contains("coverId")) {
        const std::string cover = post::text(activity, "coverId");
        imageArray_ = Json::array({Json{{"id", cover}, {"resModuleId", cover}}});
        auto view = std::make_shared<ImageView>(Rect(10, f, 200, 200));
        view->setBackgroundColor(Color::clear());
        view->setContentMode(ContentMode::ScaleAspectFill);
        view->setClipsToBounds(true);
        view->setUserInteractionEnabled(true);
        view->setAccessibilityHint(cover);
        view->setTag(0);
        std::weak_ptr<MVTTimeSpaceCell> weak = std::static_pointer_cast<MVTTimeSpaceCell>(shared_from_this());
        view->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
            if (auto self = weak.lock()) self->tapImage();
        }));
        toShowAttachmentsImage(view);
        panel->addSubview(view);
        f += 205;
    }
    panel->setFrame({kLeft, y, C - 2, f});
    return panel;
}

std::shared_ptr<View> MVTTimeSpaceCell::showShareWithDic(const Json& share, double y) {
    const double W = Screen::mainScreen().bounds().width(), C = contentWidth();
    auto box = std::make_shared<View>(Rect(kLeft, y, C - 6, 100));
    box->setBackgroundColor(Color::whiteColor());
    if (share.contains("none") && valueFor(share, "content").is_null()) {
        box->addSubview(spaceLabel({5, 5, 245, 20}, Font::systemFontOfSize(12), kLabelGrey, post::text(share, "none")));
        box->setFrame({kLeft, y, C - 12, 30});
        return box;
    }
    const std::string title = post::text(share, "title");
    const bool forwarded = share.contains("title") && title != "<null>" && title == "转发";
    box->addSubview(spaceLabel({5, 5, 200, 12}, Font::systemFontOfSize(12), Color::rgb255(110, 179, 203),
                               forwarded ? post::fill("%@: %@", {post::text(share, "name"), title})
                                         : post::fill("%@:", {post::text(share, "name")})));
    double t = 20;
    const Json& content = valueFor(share, "content");
    if (!post::isBlank(content)) {
        auto text = timelineText({5, 20, 219, 40}, kShareTextTag);
        text->setHtml(timelineMarkup(textOf(content), share.contains("sharemore"), true), timelineTextOptions(0.8));
        const double height = text->contentHeightForWidth(C - 14);
        box->addSubview(text);
        if (height > 0) {
            text->setFrame({5, 20, C - 14, height});
            t = height + 20;
        }
    }
    const post::Attachments split = post::splitAttachments(contentDict_);
    if (!split.pictures.empty()) {
        t -= addPictureBlock(*box, split.pictures, 2, t, kShareTextTag);
        t += split.pictures.size() == 1 ? 65 : 80;
    }
    if (!split.voices.empty()) {
        addVoiceButton(*box, split.voices.front(), 2, t);
        t += 35;
    }
    auto placeButtons = [&](const Json& entries, bool files) {
        if (entries.empty()) return;
        t += 5;
        for (const auto& entry : entries) {
            auto button = files ? getAttachsButtonWith(entry) : getLinksButtonWith(entry);
            button->setFrame({10, t, W - 80, 40});
            hairline(*button);
            box->addSubview(button);
            t += 55;
        }
    };
    placeButtons(split.files, true);
    placeButtons(post::listOf(contentDict_, "links"), false);
    box->setFrame({kLeft, y, C - 8, t});
    return box;
}
