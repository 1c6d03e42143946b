#include "details/MVTRelevantMeCell.h"

#include "feed/PostKindRenderer.h"
#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/HttpEngine.h"
#include "platform/Markup.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {

constexpr std::size_t kRelevantPictureBytes = 8u * 1024 * 1024;
const Color kRelevantNameBlue = Color::rgba(0.278, 0.533, 0.624);
const Color kRelevantLine = Color::rgb255(217, 222, 216);

double relevantWidth() { return Screen::mainScreen().bounds().width(); }

std::shared_ptr<Label> relevantLabel(const Rect& frame, const Font& font, const Color& colour, const std::string& text,
                                     TextAlignment alignment = TextAlignment::Left) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(font);
    label->setTextColor(colour);
    label->setTextAlignment(alignment);
    label->setText(text);
    return label;
}

std::string kindText(const std::string& type) {
    if (type == "relative") return localized("提到了你");
    if (type == "comment") return localized("评论了你");
    if (type == "like") return localized("赞了你");
    if (type == "comment_like") return localized("参与了");
    return "(null)";
}

Color roleColour(const std::string& role) {
    if (role == "teacher" || role == "admin" || role == "system") return Color::rgba(0.318, 0.729, 0.969);
    if (role == "parent") return Color::white(0.51);
    return Color::rgba(0.953, 0.643, 0.153);
}

// A rich text of the row, laid out at `width`; nothing when the markup renders to nothing.
std::shared_ptr<HtmlTextView> relevantText(const std::string& markup, double textSize, const Rect& frame) {
    auto view = std::make_shared<HtmlTextView>(frame);
    view->setBackgroundColor(Color::clear());
    view->setContentInsets({0, 0, 0, 0});
    view->setUserInteractionEnabled(false);
    view->setHtml(markup, postTextOptions(textSize, 1.1));
    const double height = view->contentHeightForWidth(frame.width());
    if (height <= 0) return nullptr;
    view->setFrame({frame.x(), frame.y(), frame.width(), height});
    return view;
}

// Background: the picture at `url` into `view` (reached weakly: a row that is gone gets
// nothing) and, when it is a picture, written whole to `cacheFile` (`replace`: over an
// older file; otherwise only when there is none).
void loadRelevantPicture(std::weak_ptr<ImageView> view, std::string url, std::string cacheFile, bool replace) {
    dispatchBackground([view = std::move(view), url = std::move(url), cacheFile = std::move(cacheFile), replace] {
        HttpResponse response = HttpEngine::shared().fetch(UrlRequest(url), kRelevantPictureBytes);
        ImageRef image = response.ok() ? Image::imageWithData(response.body) : nullptr;
        if (!image) return;
        if (replace || !fileExists(cacheFile)) writeFileAtomically(cacheFile, response.body);
        dispatchMain([view, image] {
            if (auto shown = view.lock()) shown->setImage(image);
        });
    });
}

void showHonour(const std::shared_ptr<ImageView>& view, const std::string& file) {
    view->setImage(Image::imageNamed("honor_meyo.gif"));
    if (!post::isPlainName(file)) return;
    const auto cache = Paths::documentsDirectory() / file;
    if (fileExists(cache)) {
        if (auto bytes = readFile(cache, kRelevantPictureBytes))
            if (auto image = Image::imageWithData(*bytes)) view->setImage(image);
        return;
    }
    loadRelevantPicture(view, ServiceAddress::baseUrl() + "static/images/honor/" + file, cache.string(), false);
}

}  // namespace

void MVTRelevantMeCell::showThumbnail(const std::shared_ptr<ImageView>& view, const std::string& resourceId) {
    // The id names a cache file and a path segment: plain names only.
    if (!post::isPlainName(resourceId)) return;
    const std::string cache = MVTPublicMethod::getPathByFileName("account_" + resourceId, "png");
    if (MVTPublicMethod::fileExistsAtPath(cache) && MVTPublicMethod::isNewmodify(cache)) {
        auto bytes = readFile(cache, kRelevantPictureBytes);
        if (bytes && !bytes->empty())
            if (auto image = Image::imageWithData(*bytes)) view->setImage(image);
        return;
    }
    loadRelevantPicture(view,
                        ServiceAddress::baseUrl() + "resource/view/img_thumb/" + resourceId + "?size=m&token=" +
                            MVTAppDelegate::sharedAppDelegate()->getTokenWith(resourceId),
                        cache, true);
}

bool MVTRelevantMeCell::noNullOrSpaceWith(const Json& value) {
    if (value.is_null()) return false;
    const std::string text = textOf(value);
    return !(text.empty() || text == "<null>" || text == "(null)");
}

std::string MVTRelevantMeCell::markupOf(const std::string& text) {
    return post::convertText(text, Json::object(), post::TextConversion{nullptr, false, 16, false});
}

std::string MVTRelevantMeCell::honourFileOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::shared_ptr<MVTRelevantMeCell> MVTRelevantMeCell::initWithtData(const Json& record) {
    auto cell = std::make_shared<MVTRelevantMeCell>();
    cell->TableViewCell::initWithStyle(TableViewCellStyle::Default, "");
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->reloadRelevantMeDataWith(record.is_object() ? record : Json::object());
    return cell;
}

void MVTRelevantMeCell::reloadRelevantMeDataWith(const Json& record) {
    const double W = relevantWidth();
    auto value = [&](const char* key) -> const Json& { return valueFor(record, key); };
    auto content = contentView();

    auto circle = MVTPublicMethod::imageViewWithColor(Color::whiteColor());
    circle->setFrame({13, 8, 44, 44});
    circle->setCornerRadius(22);
    circle->setClipsToBounds(true);
    addSubview(circle);
    const std::string uid = textOf(value("uid")), role = textOf(value("role"));
    auto avatar = std::make_shared<Button>(Rect(15, 10, 40, 40));
    avatar->setBackgroundColor(Color::clear());
    avatar->setImage(Image::imageNamed("default_user"));
    avatar->setAccessibilityHint(uid);
    avatar->setAccessibilityValue("student");
    avatar->setCornerRadius(20);
    avatar->setClipsToBounds(true);
    avatar->setUserInteractionEnabled(false);
    addSubview(avatar);
    // The avatar's cache file is named by the id read as a number: no id names another file.
    MVTPublicMethod::setFaceImage(
        avatar, MVTPublicMethod::getPathByFileName(std::to_string(integerValue(Json(uid))), "png"), role);

    const std::string name = textOf(value("name"));
    const Font nameFont = Font::systemFontOfSize(16);
    const double w = TextMeasure::sizeWithFont(name, nameFont).width;
    content->addSubview(relevantLabel({65, 10, w + 10, 20}, nameFont, kRelevantNameBlue, name));
    content->addSubview(
        relevantLabel({w + 75, 10, 190, 20}, Font::systemFontOfSize(14), Color::lightGray(), kindText(textOf(value("type")))));
    content->addSubview(relevantLabel({65, 30, 190, 20}, Font::systemFontOfSize(12), Color::lightGray(),
                                      MVTAppDelegate::sharedAppDelegate()->getDateWith(Json(textOf(value("dateline"))))));

    double L = 55;
    bool commentShown = false;
    const Json& comment = value("comment");
    if (noNullOrSpaceWith(comment) && textOf(comment) != "null") {
        if (auto text = relevantText(markupOf(textOf(comment)), 1.2, {65, 55, W - 75, 40})) {
            content->addSubview(text);
            commentView_ = text;
            L = 55 + text->frame().height() + 5;
            commentShown = true;
        }
    }
    if (noNullOrSpaceWith(value("commentAudoResourceId"))) {
        content->addSubview(relevantLabel({58, L + 2, 180, 20}, Font::fontWithName("Helvetica", 14), Color::white(0.467),
                                          "【语音】评论"));
        L += 27;
        commentShown = true;
    }

    const bool hasMessage = noNullOrSpaceWith(value("message"));
    const bool hasResource = noNullOrSpaceWith(value("resourceId"));
    const bool hasHonour = noNullOrSpaceWith(value("decorationPicPath"));
    if (hasMessage || hasResource || hasHonour) {
        if (!commentShown) L += 5;
        quoteBox_ = std::make_shared<View>(Rect(65, L, W - 75, 70));
        quoteBox_->setBackgroundColor(Color::whiteColor());
        quoteBox_->setCornerRadius(2);
        quoteBox_->setClipsToBounds(true);
        content->addSubview(quoteBox_);
        double T = W - 80;
        auto pictureAt = [&](const std::string& hint) {
            auto view = std::make_shared<ImageView>(Rect(W - 75, L + 5, 60, 60));
            view->setBackgroundColor(Color::clear());
            view->setAccessibilityValue(hint);
            view->setContentMode(ContentMode::ScaleAspectFill);
            view->setClipsToBounds(true);
            view->setUserInteractionEnabled(true);
            return view;
        };
        if (hasResource) {
            const std::string resourceId = textOf(value("resourceId"));
            picture_ = pictureAt(resourceId);
            const Json& isImage = value("isImage");
            if (isImage.is_null() || integerValue(Json(textOf(isImage))) == 1) {
                showThumbnail(picture_, resourceId);
            } else {
                picture_->setFrame({W - 75, L + 15, 40, 40});
                picture_->setImage(Image::imageNamed("icon_media_play_round_black"));
            }
            T = W - 150;
        }
        if (hasHonour) {
            const std::string file = honourFileOf(textOf(value("decorationPicPath")));
            picture_ = pictureAt(file);
            showHonour(picture_, file);
            T = W - 140;
        }
        const std::string author = textOf(value("fname"));
        if (hasMessage) {
            // The author's name is text, never markup; the message is the post's own markup.
            const std::string markup = "<span style=\"color:rgb(60, 129, 151);\">" + escapeHtml(author) + ":</span>" +
                                       textOf(value("message"));
            if (auto text = relevantText(markupOf(markup), 1.14, {75, L, T - 20, 40})) {
                const double h = text->frame().height();
                if (h >= 70) {
                    text->setFrame({70, L, T + 5, h});
                    quoteBox_->setFrame({65, L, W - 75, h});
                    L += h + 5;
                } else {
                    text->setFrame({70, L + (70 - h) / 2, T, h});
                    L += 75;
                }
                content->addSubview(text);
            }
        } else if (picture_) {
            const Font font = Font::fontWithName("Helvetica", 14);
            const std::string said = author + ":";
            const double n = TextMeasure::sizeWithFont(said, font).width;
            content->addSubview(relevantLabel({70, L + 24, n + 5, 20}, font, kRelevantNameBlue, said));
            picture_->setFrame({n + 75, L + 5, 60, 60});
            L += 75;
        } else {
            L += 75;
        }
        if (picture_) content->addSubview(picture_);
    }

    auto bar = std::make_shared<View>(Rect(0, 3, 3, L - 1.6));
    auto fill = MVTPublicMethod::imageViewWithColor(roleColour(role));
    fill->setFrame({0, 0, 3, L - 1.6});
    bar->addSubview(fill);
    content->addSubview(bar);
    auto line = std::make_shared<View>(Rect(10, L + 4.4, W - 20, 0.6));
    line->setBackgroundColor(kRelevantLine);
    content->addSubview(line);
    setFrame({0, 0, W, L + 5});
}

std::shared_ptr<MVTRelevantMeCell> MVTRelevantMeCell::initWithStyle(const std::string& identifier, bool isLoad,
                                                                     bool isFalse) {
    auto cell = std::make_shared<MVTRelevantMeCell>();
    cell->TableViewCell::initWithStyle(TableViewCellStyle::Default, identifier);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    const double W = relevantWidth();
    cell->setFrame({0, 0, W, kLoadRowHeight});
    if (isLoad) {
        cell->addLoadingLook();
    } else if (isFalse) {
        auto retry = Button::buttonWithType(ButtonType::Custom);
        retry->setFrame({0, 0, W, kLoadRowHeight});
        retry->setTag(kRetryTag);
        retry->setTitle(localized("点击重新加载"));
        retry->setTitleColor(Color::darkGray());
        retry->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
        std::weak_ptr<MVTRelevantMeCell> weak = std::static_pointer_cast<MVTRelevantMeCell>(cell->shared_from_this());
        retry->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->againToGetListData();
        });
        cell->contentView()->addSubview(retry);
    } else {
        cell->contentView()->addSubview(relevantLabel({10, 5, W - 20, 30}, Font::boldSystemFontOfSize(14), Color::gray(),
                                                      localized("已加载全部"), TextAlignment::Center));
    }
    return cell;
}

void MVTRelevantMeCell::addLoadingLook() {
    const double W = relevantWidth();
    auto spinner = std::make_shared<ImageView>(Rect(W / 2 - 35, 10, 20, 20));
    spinner->setTag(kLoadingTag);
    spinner->setImage(feedPicture("load_1"));
    std::vector<ImageRef> frames;
    for (const char* name : {"load_2", "load_3", "load_4", "load_5", "load_6", "load_7", "load_8", "load_1"})
        if (auto image = feedPicture(name)) frames.push_back(image);
    spinner->setAnimationImages(frames);
    spinner->setAnimationDuration(0.8);
    spinner->startAnimating();
    contentView()->addSubview(spinner);
    contentView()->addSubview(relevantLabel({W / 2 - 35, 5, 100, 30}, Font::boldSystemFontOfSize(14), Color::gray(),
                                            localized("更多..."), TextAlignment::Center));
}

void MVTRelevantMeCell::againToGetListData() {
    for (const auto& view : contentView()->subviews())
        if (view->tag() == kRetryTag) view->removeFromSuperview();
    addLoadingLook();
    if (auto list = delegate()) list->againGetListData();
}
