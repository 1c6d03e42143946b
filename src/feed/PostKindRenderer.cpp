#include "feed/PostKindRenderer.h"

#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/HttpEngine.h"
#include "platform/Markup.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/UrlRequest.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>

using namespace platform;

namespace {

const Color kGrey = Color::rgb255(119, 119, 119);
const Color kBlue = Color::rgb255(97, 199, 249);
const Color kLightGrey = Color::rgb255(225, 225, 225);
const Color kAnswerText = Color::rgb255(85, 85, 85);
constexpr double kMoodSidePost = 58;
constexpr double kMoodSideShare = 68;
constexpr std::size_t kPictureByteLimit = 8u * 1024 * 1024;

std::shared_ptr<Label> label(const Rect& frame, const Font& font, const Color& color, const std::string& text,
                             int lines = 1, TextAlignment alignment = TextAlignment::Left) {
    auto view = std::make_shared<Label>(frame);
    view->setBackgroundColor(Color::clear());
    view->setFont(font);
    view->setTextColor(color);
    view->setNumberOfLines(lines);
    view->setTextAlignment(alignment);
    view->setText(text);
    return view;
}

// A label of any number of lines that takes the height its text needs.
std::shared_ptr<Label> sizedLabel(const Rect& frame, const Font& font, const Color& color, const std::string& text) {
    auto view = label(frame, font, color, text, 0);
    Size fit = view->sizeThatFits({frame.width(), 1e6});
    view->setFrame({frame.x(), frame.y(), frame.width(), fit.height});
    return view;
}

double textWidth(const std::string& text, const Font& font) { return TextMeasure::sizeWithFont(text, font).width; }

std::string lowered(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::vector<ImageRef> frames(const std::vector<std::string>& names) {
    std::vector<ImageRef> images;
    for (const auto& name : names)
        if (auto image = feedPicture(name)) images.push_back(image);
    return images;
}

void showAlert(const std::string& title) {
    AlertView::make(title, "", {}, localized("知道了"))->show();
}

// The blue button of a vote (send or refresh), holding the post's and the vote's ids.
std::shared_ptr<Button> voteButton(const std::string& title, const Font& font, const Rect& frame,
                                   const std::string& postId, const std::string& voteId) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame(frame);
    button->setBackgroundColor(kBlue);
    button->setTitle(title);
    button->setTitleColor(Color::whiteColor());
    button->titleLabel()->setFont(font);
    button->setCornerRadius(2);
    button->setClipsToBounds(true);
    button->setAccessibilityLabel(postId);
    button->setAccessibilityHint(voteId);
    return button;
}

}  // namespace

namespace postpictures {

std::string pictureCacheFile(const std::string& id) {
    return MVTPublicMethod::getPathByFileName("account_" + id, "png");
}

bool isFreshFile(const std::string& path) {
    return MVTPublicMethod::fileExistsAtPath(path) && MVTPublicMethod::isNewmodify(path);
}


// Background: the first address that answers with a picture shows it (main thread) and
// replaces the cache file, written whole. The view goes back to the main thread either
// way, so its last reference never drops here.
void fetchPicture(PictureLoad load) {
    ImageRef image;
    std::string bytes;
    for (const auto& url : load.urls) {
        HttpResponse response = HttpEngine::shared().fetch(UrlRequest(url), kPictureByteLimit);
        if (!response.ok()) continue;
        image = Image::imageWithData(response.body);
        if (image) {
            bytes = std::move(response.body);
            break;
        }
    }
    if (image && !load.cacheFile.empty()) writeFileAtomically(load.cacheFile, bytes);
    dispatchMain([view = std::move(load.view), image] {
        if (image) view->setImage(image);
    });
}

void startPictureLoad(PictureLoad load) {
    dispatchBackground([load = std::move(load)]() mutable { fetchPicture(std::move(load)); });
}

bool showFreshCache(ImageView& view, const std::string& cacheFile) {
    if (!isFreshFile(cacheFile)) return false;
    auto bytes = readFile(cacheFile);
    if (bytes && !bytes->empty()) {
        if (auto image = Image::imageWithData(*bytes)) view.setImage(image);
    }
    return true;
}

std::string serviceThumbnail(const std::string& id, bool big) {
    return ServiceAddress::baseUrl() + "resource/view/img_thumb/" + id + (big ? "?size=big&token=" : "?size=m&token=") +
           MVTAppDelegate::sharedAppDelegate()->getTokenWith(id);
}

}  // namespace postpictures

using namespace postpictures;

ImageRef feedPicture(const std::string& name) {
    static std::map<std::string, ImageRef> kept;
    auto found = kept.find(name);
    if (found != kept.end()) return found->second;
    return kept[name] = Image::imageNamed(name);
}

PostGeometry PostGeometry::cell() {
    PostGeometry g;
    g.screenWidth = Screen::mainScreen().bounds().width();
    return g;
}

HtmlTextOptions postTextOptions(double textSizeMultiplier, double lineHeightMultiplier) {
    HtmlTextOptions options;
    options.textSizeMultiplier = textSizeMultiplier;
    options.lineHeightMultiplier = lineHeightMultiplier;
    options.maxImageWidth = 36;
    options.maxImageHeight = 36;
    options.fontFamily = "Helvetica";
    options.textColor = Color::rgb255(0x77, 0x77, 0x77);
    options.linkColor = Color::rgb255(0x3C, 0x81, 0x97);
    options.underlineLinks = false;
    return options;
}

// ---- Vote

std::shared_ptr<View> PostKindRenderer::showVoteWithDic(const Json& vote, const std::string& heading, double y) {
    const PostGeometry g = geometry();
    const double W = g.screenWidth, left = g.left, cw = g.contentWidth();
    auto view = std::make_shared<View>(Rect(0, y, W, 0));
    view->setBackgroundColor(Color::clear());
    const Font helvetica = Font::fontWithName("Helvetica", 14);
    auto head = sizedLabel({left, 5, cw, 20}, helvetica, kGrey, heading);
    view->addSubview(head);
    const double k = std::floor(head->frame().height() + 15);
    auto question = sizedLabel({left, k, cw, 20}, helvetica, kGrey, post::text(vote, "title"));
    view->addSubview(question);
    double u = std::floor(k + question->frame().height() + 5);
    const std::string postId = post::text(postRecord(), "id");
    const std::string voteId = post::text(vote, "id");
    auto weak = renderer();
    const Json& answers = post::listOf(vote, "answerList");

    if (intValue(Json(post::text(vote, "showResult"))) != 0) {
        const double total = doubleValue(valueFor(vote, "count"));
        for (const auto& answer : answers) {
            const std::string title = post::text(answer, "title"), count = post::text(answer, "count");
            const double votes = doubleValue(valueFor(answer, "count"));
            auto answerLabel = label({left, u, W - 115, 35}, Font::systemFontOfSize(14), kGrey, "", 0);
            auto percent = label({W - 60, u, 50, 35}, Font::systemFontOfSize(13), kGrey, "0%", 1, TextAlignment::Right);
            auto track = std::make_shared<View>(Rect(left, u + 35, cw, 5));
            track->setBackgroundColor(Color::rgb255(212, 231, 209));
            view->addSubview(answerLabel);
            view->addSubview(percent);
            view->addSubview(track);
            if (votes == 0) {
                answerLabel->setText(post::fill("%@ (%@票)", {title, count}));
            } else {
                answerLabel->setText(post::fill(localized("%@ (%@票)"), {title, count}));
                // A share of a total of 0 (or beyond the total) would be no width at all.
                const double share = total > 0 ? std::clamp(votes / total, 0.0, 1.0) : 0.0;
                char text[32];
                std::snprintf(text, sizeof text, "%.0f%%", share * 100);
                percent->setText(text);
                auto bar = std::make_shared<View>(Rect(left, u + 35, share * cw, 5));
                bar->setBackgroundColor(kBlue);
                view->addSubview(bar);
            }
            u += 40;
        }
        const std::string totalText = post::fill(localized("总票数: %@"), {post::text(vote, "count")});
        const Font bold = Font::boldSystemFontOfSize(14);
        view->addSubview(label({left, u + 5, textWidth(totalText, bold) + 5, 23}, bold, kGrey, totalText));
        const std::string refreshTitle = localized("刷新");
        const double l = textWidth(refreshTitle, bold) + 10;
        auto refresh = voteButton(refreshTitle, Font::boldSystemFontOfSize(12), {W - 10 - l, u + 5, l, 23}, postId, voteId);
        refresh->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toRefashVote(static_cast<Button&>(control));
        });
        view->addSubview(refresh);
        view->setFrame({0, y, W, u + 5 + 30});
        return view;
    }

    limitVoter_ = post::text(vote, "answerLimit") == "-1" ? 0 : intValue(Json(post::text(vote, "answerLimit")));
    const std::string hint =
        limitVoter_ == 0 ? std::string("任意选择") : post::fill(localized("请选择%d项"), {std::to_string(limitVoter_)});
    const bool single = limitVoter_ < 2;
    selectVoteArr_.clear();
    for (const auto& answer : answers) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({left, u, cw, 35});
        button->setBackgroundColor(Color::clear());
        button->setSelected(false);
        button->setAccessibilityHint(post::text(answer, "id"));
        button->setImage(feedPicture(single ? "un_one.png" : "un_more.png"));
        button->setImage(feedPicture(single ? "un_one_h.png" : "un_more_h.png"), ControlStateHighlighted);
        button->setImage(feedPicture(single ? "did_one.png" : "did_more.png"), ControlStateSelected);
        button->setImageEdgeInsets({5, W - 100, 5, 5});
        auto text = label({0, 0, W - 115, 34}, Font::systemFontOfSize(14), kAnswerText, post::text(answer, "title"), 0);
        text->setTag(kControlLabelTag);
        button->addSubview(text);
        auto line = std::make_shared<View>(Rect(0, 34, cw, 0.5));
        line->setBackgroundColor(kLightGrey);
        button->addSubview(line);
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toSelectVote(static_cast<Button&>(control));
        });
        view->addSubview(button);
        selectVoteArr_.push_back(button);
        u += 40;
    }
    voteArr_.clear();
    const Font bold = Font::boldSystemFontOfSize(14);
    view->addSubview(label({left, u + 5, textWidth(hint, bold) + 5, 25}, bold, Color::rgb255(172, 178, 168), hint));
    const std::string voteTitle = localized("投票");
    const double c = textWidth(voteTitle, bold) + 10;
    voteBtn_ = voteButton(voteTitle, bold, {W - 20 - c, u + 5, c, 25}, postId, voteId);
    voteBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->toSendVote(static_cast<Button&>(control));
    });
    view->addSubview(voteBtn_);
    view->setFrame({0, y, W, u + 5 + 30});
    return view;
}

void PostKindRenderer::toSelectVote(Button& answer) {
    const std::string id = answer.accessibilityHint();
    auto paint = [](Button& button, bool chosen) {
        button.setSelected(chosen);
        if (auto text = std::dynamic_pointer_cast<Label>(button.viewWithTag(kControlLabelTag)))
            text->setTextColor(chosen ? kBlue : kAnswerText);
    };
    if (answer.isSelected()) {
        voteArr_.erase(std::remove(voteArr_.begin(), voteArr_.end(), id), voteArr_.end());
        paint(answer, false);
        return;
    }
    if (limitVoter_ == 1) {
        voteArr_.clear();
        for (auto& button : selectVoteArr_) paint(*button, false);
    } else if (limitVoter_ >= 2 && int(voteArr_.size()) >= limitVoter_) {
        showAlert(localized("最多选择") + " " + std::to_string(limitVoter_) + " " + localized("项"));
        return;
    }
    voteArr_.push_back(id);
    paint(answer, true);
}

void PostKindRenderer::toSendVote(Button& send) {
    if (voteArr_.empty()) {
        showAlert("请先选择，然后投票");
        return;
    }
    if (limitVoter_ != 0 && int(voteArr_.size()) != limitVoter_) {
        showAlert(post::fill("需要选择 %d 项", {std::to_string(limitVoter_)}));
        return;
    }
    std::string ids;
    for (const auto& id : voteArr_) ids += id + ",";
    ids.pop_back();
    if (auto delegate = postDelegate())
        delegate->toSendVoteWith(send.accessibilityLabel(), send.accessibilityHint(), ids, voteIndex());
}

void PostKindRenderer::toRefashVote(Button& refresh) {
    if (auto delegate = postDelegate())
        delegate->toRefreshVoteWith(refresh.accessibilityLabel(), refresh.accessibilityHint(), voteIndex());
}

// ---- Badge, lesson, activity

std::shared_ptr<View> PostKindRenderer::showDecorationWithDic(const Json& decoration, double y) {
    const PostGeometry g = geometry();
    const double W = g.screenWidth, left = g.left;
    auto view = std::make_shared<View>(Rect(0, y, W - 10, 75));
    view->setBackgroundColor(Color::clear());
    view->addSubview(label({left, 5, g.contentWidth(), 20}, Font::fontWithName("Helvetica", 14), kGrey,
                           "获得了新勋章", 0));
    const std::string img = post::text(decoration, "img");
    auto picture = std::make_shared<ImageView>(Rect(left, 30, 48, 48));
    picture->setAccessibilityHint(img);
    view->addSubview(picture);
    view->addSubview(label({left + 60, 20, W - 155, 70}, Font::systemFontOfSize(14), kGrey,
                           post::text(decoration, "name") + ":\n" + post::text(decoration, "description"), 0));
    // The picture's name names a file of the documents folder, so only a plain name is used.
    const std::string file = post::isPlainName(img) ? (Paths::documentsDirectory() / img).string() : std::string();
    ImageRef cached;
    if (!file.empty() && MVTPublicMethod::fileExistsAtPath(file)) cached = Image::imageWithContentsOfFile(file);
    if (cached) {
        picture->setImage(cached);
    } else {
        picture->setImage(feedPicture("honor_meyo.gif"));
        if (!file.empty()) dispatchBackground([picture]() mutable { toGetDecImageWith(picture); });
    }
    return view;
}

void PostKindRenderer::toGetDecImageWith(const std::shared_ptr<ImageView>& view) {
    std::shared_ptr<ImageView> holder = view;
    const std::string img = holder->accessibilityHint();
    if (!post::isPlainName(img)) return;
    HttpResponse response = HttpEngine::shared().fetch(
        UrlRequest(ServiceAddress::baseUrl() + "static/images/honor/" + img), kPictureByteLimit);
    ImageRef image = response.ok() ? Image::imageWithData(response.body) : nullptr;
    if (image) {
        const auto file = Paths::documentsDirectory() / img;
        if (!MVTPublicMethod::fileExistsAtPath(file.string())) writeFileAtomically(file, response.body);
    }
    dispatchMain([holder = std::move(holder), image] {
        if (image) holder->setImage(image);
    });
}

std::shared_ptr<View> PostKindRenderer::showLessonWithDic(const Json& lesson, double y) {
    const double W = geometry().screenWidth;
    auto box = std::make_shared<View>(Rect(10, y, W - 20, 95));
    box->setBackgroundColor(Color::clear());
    box->setBorderWidth(0.5);
    box->setBorderColor(kLightGrey);
    box->addSubview(label({5, 5, 200, 20}, Font::boldSystemFontOfSize(14), kGrey,
                          post::fill(localized("学科: %@  %@"),
                                     {post::text(lesson, "courseName"), post::text(lesson, "lessonName")})));
    static const std::pair<const char*, const char*> items[] = {
        {"文档(%@)", "docCount"},      {"图片(%@)", "picCount"},      {"音视频(%@)", "mediaCount"},
        {"作业(%@)", "homeworkCount"}, {"习题(%@)", "questionCount"}, {"讨论(%@)", "discussCount"},
    };
    for (int i = 0; i < 6; ++i) {
        const double x = 102.0 * (i % 3), top = 30.0 * (i / 3) + 30;
        auto icon = std::make_shared<ImageView>(Rect(x + 5, top, 25, 25));
        icon->setImage(feedPicture("lesson0" + std::to_string(i) + ".tiff"));
        box->addSubview(icon);
        box->addSubview(label({x + 30, top, 68, 25}, Font::systemFontOfSize(14), kGrey,
                              post::fill(localized(items[i].first), {post::text(lesson, items[i].second)}), 1,
                              TextAlignment::Center));
    }
    return box;
}

std::shared_ptr<View> PostKindRenderer::showActiveWithDic(const Json& activity, double y) {
    const PostGeometry g = geometry();
    const double W = g.screenWidth, left = g.left, cw = g.contentWidth();
    const Font font = Font::systemFontOfSize(14);
    auto view = std::make_shared<View>(Rect(0, y, W, 0));
    view->setBackgroundColor(Color::clear());
    auto has = [&](const char* key) { return activity.is_object() && activity.contains(key); };
    double t = 5;
    if (has("title")) {
        auto title = sizedLabel({left, 5, cw, 20}, font, kGrey, post::text(activity, "title"));
        view->addSubview(title);
        t = title->frame().height() + 10;
    }
    if (has("start")) {
        const std::string end = has("end") ? post::fill(localized(" 至 %@"), {post::text(activity, "end")}) : "";
        view->addSubview(
            label({left, t, cw, 20}, font, kGrey, post::fill(localized("时间：%@%@"), {post::text(activity, "start"), end})));
        t += 25;
    }
    auto prefixed = [&](const char* key, const char* prefix) {
        if (!has(key)) return;
        const std::string prefixText = localized(prefix);
        const double p = TextMeasure::sizeWithFont(prefixText, font, {W, 1e6}).width;
        view->addSubview(sizedLabel({left, t, p, 20}, font, kGrey, prefixText));
        auto value = sizedLabel({left + p, t, W - 123, 20}, font, kGrey, post::text(activity, key));
        view->addSubview(value);
        t += value->frame().height() + 5;
    };
    prefixed("location", "地点：");
    if (has("name")) {
        view->addSubview(label({left, t, cw, 20}, font, kGrey, post::fill(localized("发起：%@"), {post::text(activity, "name")})));
        t += 25;
    }
    prefixed("description", "简介：");
    if (has("coverId")) {
        const std::string cover = post::text(activity, "coverId");
        auto picture = pictureView({left, t, 200, 200}, 0);
        picture->setAccessibilityHint(cover);
        view->addSubview(picture);
        imageArray_ = Json::array({{{"id", cover}, {"resModuleId", cover}, {"isCover", "1"}}});
        // toGetCoverImageView: the fresh cache, else the big thumbnail.
        if (post::isPlainName(cover) && !showFreshCache(*picture, pictureCacheFile(cover)))
            startPictureLoad({picture, {serviceThumbnail(cover, true)}, pictureCacheFile(cover)});
        t += 205;
    }
    view->setFrame({0, y, W, t});
    return view;
}

// ---- Forwarded box

std::shared_ptr<View> PostKindRenderer::showShareWithDic(const Json& share, double y) {
    const PostGeometry g = geometry();
    const double W = g.screenWidth, left = g.left, cw = g.contentWidth();
    auto box = std::make_shared<View>(Rect(0, y, W - 10, 100));
    box->setBackgroundColor(Color::clear());
    auto white = std::make_shared<View>(Rect(left, 0, cw, 44));
    white->setBackgroundColor(Color::whiteColor());
    box->addSubview(white);
    const Json& content = valueFor(share, "content");
    if (share.is_object() && share.contains("none") && content.is_null()) {
        box->addSubview(label({left + 10, 12, W - 85, 20}, Font::systemFontOfSize(14), kGrey, post::text(share, "none"),
                              1, TextAlignment::Center));
        box->setFrame({0, y, W - 5, 44});
        return box;
    }
    std::string text = "<span style=\"color:rgb(60, 129, 151);\">" + escapeHtml(post::text(share, "name")) + " :  </span>";
    if (!post::isBlankOrNullText(content)) text += textOf(content);
    double k = 5;
    post::TextConversion conversion{"sharemore", true, 16, true};
    auto textView = std::make_shared<HtmlTextView>(Rect(left + 10, 5, W - 87, 40));
    textView->setBackgroundColor(Color::clear());
    textView->setUserInteractionEnabled(false);
    textView->setDelegate(textDelegate().lock());
    textView->setHtml(post::convertText(text, share, conversion), postTextOptions(1.2, 1.1));
    const double height = textView->contentHeightForWidth(W - 87);
    if (height > 0) {
        textView->setFrame({left + 10, 5, W - 87, height});
        k = height + 10;
    }
    box->addSubview(textView);

    const auto parts = post::splitAttachments(postRecord());
    double o = k;
    bool endsWithPictures = false;
    if (!parts.pictures.empty()) {
        o = addPictureRow(*box, parts.pictures, k, true) + 5;
        endsWithPictures = true;
    }
    if (!parts.voices.empty()) {
        o = addVoiceRow(*box, parts.voices[0], o, true);
        endsWithPictures = false;
    }
    // A file or link button of the forwarded box: framed, one under the other.
    auto placeInBox = [&](const std::shared_ptr<View>& button, double height) {
        button->setFrame({left + 10, o, W - 95, height});
        button->setCornerRadius(2);
        button->setClipsToBounds(true);
        button->setBorderWidth(0.5);
        button->setBorderColor(kLightGrey);
        box->addSubview(button);
        o += 45;
    };
    if (!parts.files.empty()) {
        o += 5;
        for (const auto& file : parts.files) {
            placeInBox(getAttachsButtonWith(file, true), 40);
        }
        endsWithPictures = false;
    }
    const Json& links = post::listOf(postRecord(), "links");
    if (!links.empty()) {
        o += 5;
        for (const auto& link : links) {
            placeInBox(getLinksButtonWith(link, true), 30);
        }
        endsWithPictures = false;
    }
    const double bottom = endsWithPictures ? o - 5 : o;
    white->setFrame({left, 0, cw, bottom});
    box->setFrame({0, y, W - 70, bottom});
    return box;
}

// ---- File and link buttons

std::string PostKindRenderer::fileIconFor(const std::string& type) {
    if (type == "text" || type == "txt") return "text.png";
    if (type == "zip" || type == "rar") return "zip.png";
    if (type == "doc" || type == "doct" || type == "docx") return "word.png";
    if (type == "ppt" || type == "pptx") return "ppt.png";
    static const char* const pictures[] = {"image", "png", "jpg", "bmp", "gif", "tif", "pcx", "tga", "ico", "tiff", "jpeg"};
    for (const char* picture : pictures)
        if (type == picture) return "picture.png";
    if (type == "excel" || type == "xlsx" || type == "xls") return "excel.png";
    return "link.png";
}

std::shared_ptr<Button> PostKindRenderer::getAttachsButtonWith(const Json& attachment, bool inShare) {
    const PostGeometry g = geometry();
    const double W = g.screenWidth;
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({g.left, 0, g.contentWidth(), 40});
    button->setBackgroundColor(Color::clear());
    const std::string name = post::text(attachment, "name"), type = post::text(attachment, "type");
    button->setTitle(name);
    button->setTitleColor(Color::clear());
    button->setAccessibilityHint(post::text(attachment, "resModuleId"));
    button->setAccessibilityLabel(lowered(type));
    auto icon = std::make_shared<ImageView>(Rect(5, 10, 20, 20));
    icon->setImage(feedPicture(fileIconFor(lowered(type))));
    button->addSubview(icon);
    auto text = label({30, 0, W - (inShare ? 125 : 110), 40}, Font::systemFontOfSize(14), kGrey, name + "." + type, 0);
    text->setTag(kControlLabelTag);
    button->addSubview(text);
    auto weak = renderer();
    button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->toDownLoadAttachWith(static_cast<Button&>(control));
    });
    return button;
}

void PostKindRenderer::toDownLoadAttachWith(Button& file) {
    if (auto delegate = postDelegate())
        delegate->toDownLoadAttachWith(file.accessibilityHint(), file.titleForState(ControlStateNormal),
                                       file.accessibilityLabel());
}

std::shared_ptr<Button> PostKindRenderer::getLinksButtonWith(const Json& link, bool inShare) {
    const PostGeometry g = geometry();
    const double W = g.screenWidth;
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({g.left, 0, g.contentWidth(), 30});
    button->setBackgroundColor(Color::clear());
    button->setAccessibilityHint(post::text(link, "url"));
    auto icon = std::make_shared<ImageView>(Rect(5, 5, 20, 20));
    icon->setImage(feedPicture("link.png"));
    button->addSubview(icon);
    auto text = label({30, 0, W - (inShare ? 120 : 110), 30}, Font::systemFontOfSize(14), kGrey, post::text(link, "text"), 0);
    text->setTag(kControlLabelTag);
    button->addSubview(text);
    auto weak = renderer();
    button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->toOpenWebWith(static_cast<Button&>(control));
    });
    return button;
}

void PostKindRenderer::toOpenWebWith(Button& link) {
    auto text = std::dynamic_pointer_cast<Label>(link.viewWithTag(kControlLabelTag));
    if (auto delegate = postDelegate()) delegate->sendLinkWith(link.accessibilityHint(), text ? text->text() : "");
}

// ---- Pictures

std::shared_ptr<ImageView> PostKindRenderer::pictureView(const Rect& frame, int tag) {
    auto view = std::make_shared<ImageView>(frame);
    view->setTag(tag);
    view->setUserInteractionEnabled(true);
    auto weak = renderer();
    view->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer& recognizer) {
        if (auto self = weak.lock()) self->tapImage(recognizer);
    }));
    return view;
}

double PostKindRenderer::addPictureRow(View& parent, const Json& pictures, double y, bool inShare) {
    const PostGeometry g = geometry();
    const double left = inShare ? g.left + 10 : g.left;
    double s = (g.screenWidth - left - 6) / 4;
    const std::size_t n = pictures.size() < 4 ? pictures.size() : 3;
    const bool fileServer = !MVTAccount::sharedInstance().vfsUrl().value_or("").empty();
    imageArray_ = Json::array();
    for (std::size_t i = 0; i < n; ++i) imageArray_.push_back(pictures[i]);
    for (std::size_t i = 0; i < n; ++i) {
        const Json& entry = pictures[i];
        const double rowY = y + (s + 3) * double(i / 4);
        auto view = pictureView({left + (s + 3) * double(i % 4), rowY, s, s}, int(i));
        parent.addSubview(view);
        const long long id = integerValue(valueFor(entry, "id"));
        if (id >= 51 && id <= 59) {
            view->setFrame({left, rowY, 58, 58});
            view->setImage(feedPicture("feeling_" + std::to_string(id - 50)));
            view->setContentMode(ContentMode::ScaleAspectFit);
            s = inShare ? kMoodSideShare : kMoodSidePost;
            continue;
        }
        view->setClipsToBounds(true);
        view->setContentMode(ContentMode::ScaleAspectFill);
        if (fileServer && !post::isBlank(valueFor(entry, "resPath"))) {
            if (entry.contains("resName")) {
                view->setAccessibilityValue(n == 1 ? ".big" : ".middle");
                toGetThumbImageWith(view);
            }
        } else {
            loadPicture(view, entry, n == 1);
        }
    }
    return y + s;
}

// The cache when it is fresh, else the service's thumbnail of the size in the background.
void PostKindRenderer::loadPicture(const std::shared_ptr<ImageView>& view, const Json& entry, bool big) {
    const std::string id = post::text(entry, "id");
    if (!post::isPlainName(id)) return;
    if (showFreshCache(*view, pictureCacheFile(id))) return;
    startPictureLoad({view, {serviceThumbnail(id, big)}, pictureCacheFile(id)});
}

void PostKindRenderer::toGetThumbImageWith(const std::shared_ptr<ImageView>& view) {
    if (view->tag() < 0 || std::size_t(view->tag()) >= imageArray_.size()) return;
    const Json& entry = imageArray_[std::size_t(view->tag())];
    const std::string id = post::text(entry, "id");
    if (!post::isPlainName(id)) return;
    const std::string cache = pictureCacheFile(id);
    if (showFreshCache(*view, cache)) return;
    const std::string suffix = view->accessibilityValue();
    // thumbImageWith: the file server's thumbnail, then the service's of the same size.
    const std::string fileServer = MVTAccount::sharedInstance().vfsUrl().value_or("") + post::text(entry, "resPath") +
                                   "transpic/" + post::text(entry, "resName") + suffix +
                                   post::text(entry, "thumbSuffix");
    startPictureLoad({view, {fileServer, serviceThumbnail(id, suffix == ".big")}, cache});
}

void PostKindRenderer::toShowAttachmentsImage(const std::shared_ptr<ImageView>& view) {
    if (view->tag() < 0 || std::size_t(view->tag()) >= imageArray_.size()) return;
    loadPicture(view, imageArray_[std::size_t(view->tag())], false);
}

void PostKindRenderer::tapImage(GestureRecognizer& recognizer) {
    if (!recognizer.view()) return;
    if (auto delegate = postDelegate()) delegate->showImage(imageArray_, recognizer.view()->tag());
}

// ---- Voice

double PostKindRenderer::addVoiceRow(View& parent, const Json& voice, double y, bool inShare) {
    const PostGeometry g = geometry();
    const double W = g.screenWidth;
    const double side = inShare ? 33 : 44;
    const double buttonX = inShare ? g.left + 10 : g.left - 12.5;
    const double waveX = inShare ? g.left + 39 : g.left + 29;
    recordBtn_ = Button::buttonWithType(ButtonType::Custom);
    recordBtn_->setFrame({buttonX, y, side, side});
    recordBtn_->setBackgroundColor(Color::clear());
    recordBtn_->setImage(feedPicture("new_play"));
    recordBtn_->setImage(feedPicture("new_pause"), ControlStateSelected);
    recordBtn_->setImageEdgeInsets({2.5, 2.5, 2.5, 2.5});
    recordBtn_->setTag(kRecordButtonTag);
    recordUrl_ = textOf(valueFor(voice, "resModuleId"));
    auto weak = renderer();
    recordBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->selfplayrecord(static_cast<Button&>(control));
    });
    parent.addSubview(recordBtn_);

    recordPalyImageView_ = std::make_shared<ImageView>(
        inShare ? Rect(waveX, y + 9.5, 128, 13) : Rect(waveX, y + 15.5, 168, 13));
    recordPalyImageView_->setImage(feedPicture("play_bo01"));
    recordPalyImageView_->setAnimationImages(frames({"play_bo01", "play_bo02", "play_bo03", "play_bo04", "play_bo05"}));
    recordPalyImageView_->setAnimationDuration(0.8);
    if (inShare) recordPalyImageView_->setContentMode(ContentMode::ScaleAspectFit);
    parent.addSubview(recordPalyImageView_);

    loadView_ = std::make_shared<ImageView>(inShare ? Rect(2.5, 2.5, 28, 28) : Rect(8, 8, 28, 28));
    loadView_->setImage(feedPicture("load_1.png"));
    loadView_->setAnimationImages(
        frames({"load_2.png", "load_3.png", "load_4.png", "load_5.png", "load_6.png", "load_7.png", "load_8.png",
                "load_1.png"}));
    loadView_->setAnimationDuration(0.8);
    if (inShare) loadView_->setBackgroundColor(Color::whiteColor());
    loadView_->setHidden(true);
    recordBtn_->addSubview(loadView_);
    setRecordbtnWith(false);

    const Json& duration = valueFor(voice, "duration");
    if (!post::isBlank(duration)) {
        const std::string text = textOf(duration) + "\u2033";
        const Font font = Font::systemFontOfSize(14);
        const double w = textWidth(text, font) + 4;
        const double labelX = W - w - (inShare ? 20 : 10);
        durationLa_ = label({labelX, y + (inShare ? 6 : 12), w, 20}, font, kGrey, text, 1, TextAlignment::Center);
        parent.addSubview(durationLa_);
        Rect wave = recordPalyImageView_->frame();
        if (inShare)
            recordPalyImageView_->setFrame({(labelX - 94 - 118) / 2 + waveX, wave.y(), 108, 13});
        else
            recordPalyImageView_->setFrame({(labelX - 94 - 168) / 2 + waveX, wave.y(), wave.width(), wave.height()});
    }
    return y + side + 5;
}

void PostKindRenderer::showWave(bool on) {
    if (!recordPalyImageView_) return;
    if (on)
        recordPalyImageView_->startAnimating();
    else
        recordPalyImageView_->stopAnimating();
}

void PostKindRenderer::stopSpinner() {
    if (!loadView_) return;
    loadView_->setHidden(true);
    loadView_->stopAnimating();
}

void PostKindRenderer::setRecordbtnWith(bool playing) {
    if (!recordBtn_) return;
    recordBtn_->setSelected(playing);
    showWave(playing);
}

void PostKindRenderer::selfplayrecord(Button& button) {
    auto delegate = postDelegate();
    if (MVTPublicMethod::fileExistsAtPath(post::voiceFile(recordUrl_))) {
        const bool play = !button.isSelected();
        setRecordbtnWith(play);
        button.setEnabled(true);
        stopSpinner();
        if (delegate) delegate->playRecord(play ? std::optional<std::string>(recordUrl_) : std::nullopt, voiceIndex());
        return;
    }
    if (loadView_) {
        loadView_->setHidden(false);
        loadView_->startAnimating();
    }
    if (delegate) delegate->toDownLoadAudioWith(recordUrl_, voiceIndex());
}

void PostKindRenderer::changeState(int state) {
    if (!recordBtn_) return;
    if (state == VoiceLoading) {
        recordBtn_->setEnabled(false);
        if (loadView_) {
            loadView_->setHidden(false);
            loadView_->startAnimating();
        }
        return;
    }
    recordBtn_->setEnabled(true);
    stopSpinner();
    setRecordbtnWith(state == VoicePlaying && MVTAppDelegate::sharedAppDelegate()->isPlaying());
}

void PostKindRenderer::showPlayOrPause(bool playing) {
    if (!recordBtn_) return;
    recordBtn_->setEnabled(true);
    stopSpinner();
    setRecordbtnWith(playing);
}

void PostKindRenderer::showAudioProgress(float progress) {
    if (progress >= 1) changeState(VoiceEnded);
}
