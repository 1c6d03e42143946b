#include "details/CommentMeCell.h"

#include "details/ReferMeViewController.h"
#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/ui/Button.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <regex>

using namespace platform;

namespace {

const Color kCommentMeGrey = Color::white(0.961);

double commentMeWidth() { return Screen::mainScreen().bounds().width(); }

// The service's face pictures of a quoted text become emoticons too.
std::string withServiceFaces(const std::string& html) {
    std::string base = ServiceAddress::baseUrl();
    std::string quoted;
    for (char c : base) {
        if (std::string("\\^$.|?*+()[]{}/").find(c) != std::string::npos) quoted += '\\';
        quoted += c;
    }
    const std::regex face("<img src=\"" + quoted + R"(static/images/face/(\d+)\.png" class="face">)");
    return std::regex_replace(html, face, R"(<img style="vertical-align:middle;" src='$1.png' width=16 height=16/>)");
}

HtmlTextOptions commentMeTextOptions() {
    HtmlTextOptions options;
    options.textSizeMultiplier = 1.3;
    options.lineHeightMultiplier = 1.1;
    options.maxImageWidth = 36;
    options.maxImageHeight = 36;
    options.fontFamily = "Helvetica";
    options.linkColor = Color::rgb255(112, 128, 144);
    options.underlineLinks = false;
    return options;
}

}  // namespace

std::shared_ptr<CommentMeCell> CommentMeCell::initWithtDict(const Json& item, const std::string& reuseIdentifier,
                                                            const std::shared_ptr<CellDelegate>& delegate, int nowIndex) {
    auto cell = std::make_shared<CommentMeCell>();
    cell->fillNew(item, reuseIdentifier, delegate, nowIndex);
    return cell;
}

std::string CommentMeCell::actionText(const Json& item, const std::string& viewerRole) {
    const std::string title = textOf(item, "title");
    if (viewerRole == "parent") return post::fill(localized("%@你的评论"), {title});
    if (title == localized("回复")) return localized("回复你的评论");
    std::string module = ReferMeViewController::moduleNameFor(textOf(item, "module"));
    for (char& c : module) c = char(std::tolower(static_cast<unsigned char>(c)));
    return post::fill(localized("%@你的%@"), {localized(title), module});
}

void CommentMeCell::all() {
    const double W = commentMeWidth();
    auto background = std::make_shared<View>(Rect(0, 0, W, 44));
    background->setBackgroundColor(kCommentMeGrey);
    background->setUserInteractionEnabled(false);
    contentView()->addSubview(background);
    addAvatar({10, 10, 40, 40});
    addLabel({60, 10, 260, 20}, Font::systemFontOfSize(16), Color::rgb255(54, 101, 53), textOf(dataDic_, "name"));
    const std::string action = actionText(dataDic_, MVTAccount::sharedInstance().role().value_or(""));
    const double w = TextMeasure::sizeWithFont(action, Font::systemFontOfSize(12)).width;
    actionLabel_ = addLabel({W - w - 10, 30, w, 20}, Font::systemFontOfSize(12), Color::gray(), action);
    actionLabel_->setTextAlignment(TextAlignment::Right);
    addLabel({60, 30, 140, 20}, Font::systemFontOfSize(12), Color::gray(),
             MVTAppDelegate::sharedAppDelegate()->getDateWith(Json(textOf(dataDic_, "dateline"))));
    double g = addText(55, false);
    g += 5;
    const bool quoted = hasQuoted("reply");
    if (!quoted) g = addLinks(*contentView(), g, W - 40);
    if (quoted) {
        auto box = showShareWithDic(dataDic_["reply"], g);
        contentView()->addSubview(box);
        g += box->frame().height();
    }
    auto line = std::make_shared<View>(Rect(10, g + 5 - 0.6, W - 20, 0.6));
    line->setBackgroundColor(Color::rgb255(217, 222, 216));
    contentView()->addSubview(line);
    background->setFrame({0, 0, W, g + 5});
    setFrame({0, 0, W, g + 5});
}

std::shared_ptr<View> CommentMeCell::showShareWithDic(const Json& quoted, double h) {
    const double W = commentMeWidth();
    auto box = std::make_shared<View>(Rect(10, h, W - 20, 100));
    box->setBackgroundColor(kCommentMeGrey);
    auto title = std::make_shared<Label>(Rect(5, 5, 260, 20));
    title->setBackgroundColor(Color::clear());
    title->setFont(Font::systemFontOfSize(16));
    title->setTextColor(Color::rgb255(54, 101, 53));
    title->setText(textOf(quoted, "name") + " " + textOf(quoted, "title"));
    box->addSubview(title);
    double t = 30;
    const Json& content = valueFor(quoted, "content");
    if (!post::isBlankOrNullText(content)) {
        auto text = std::make_shared<HtmlTextView>(Rect(5, 30, 255, 40));
        text->setBackgroundColor(Color::clear());
        text->setUserInteractionEnabled(false);
        text->setHtml(withServiceFaces(convertText(textOf(content), false)), commentMeTextOptions());
        const double height = text->contentHeightForWidth(255);
        if (height > 0) text->setFrame({5, 30, 255, height});
        box->addSubview(text);
        t = 30 + std::max(0.0, height);
    }
    t = addLinks(*box, t, W - 40);
    t = addMedia(*box, t, W - 20, 135, false);
    box->setFrame({10, h, W - 20, t + 5});
    return box;
}

std::shared_ptr<Button> CommentMeCell::getLinksButtonWith(const Json& link) {
    auto button = ReferMeCell::getLinksButtonWith(link);
    const double W = commentMeWidth();
    button->setFrame({20, 0, W - 40, 40});
    if (auto label = button->viewWithTag(kLinkLabelTag)) label->setFrame({30, 0, W - 80, 40});
    return button;
}

void CommentMeCell::changeState(int state) {
    if (!recordBtn_) return;
    if (state == kVoiceLoading) {
        recordBtn_->setEnabled(false);
    } else if (state == kVoicePlaying) {
        recordBtn_->setSelected(true);
        recordBtn_->setEnabled(true);
    } else if (state == 100) {
        recordBtn_->setUserInteractionEnabled(false);
    }
}

void CommentMeCell::toGetFaceImage(const std::shared_ptr<View>& view) { MVTPublicMethod::getFaceImage(view); }
