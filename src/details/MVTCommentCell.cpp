#include "details/MVTCommentCell.h"

#include "feed/PostKindRenderer.h"
#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"

#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <filesystem>
#include <regex>

using namespace platform;

namespace {

const Color kCommentNameBlue = Color::rgb255(60, 129, 151);
const Color kCommentLineColour = Color::rgb255(217, 222, 216);

double commentScreenWidth() { return Screen::mainScreen().bounds().width(); }

HtmlTextOptions commentTextOptions() {
    HtmlTextOptions options;
    options.textSizeMultiplier = 1.1;
    options.lineHeightMultiplier = 1.1;
    options.maxImageWidth = 36;
    options.maxImageHeight = 36;
    options.fontFamily = "Helvetica";
    options.textColor = Color::rgb255(0x77, 0x77, 0x77);
    options.linkColor = Color::rgb255(0x77, 0x77, 0x77);
    options.underlineLinks = false;
    return options;
}

std::string regexQuoted(const std::string& text) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, R"(\$&)");
}

std::shared_ptr<Label> commentLabel(const Rect& frame, const Font& font, const Color& colour) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(font);
    label->setTextColor(colour);
    return label;
}

}  // namespace

std::shared_ptr<MVTCommentCell> MVTCommentCell::make() {
    auto cell = std::make_shared<MVTCommentCell>();
    cell->initWithStyle(TableViewCellStyle::Default, kReuseIdentifier);
    return cell;
}

void MVTCommentCell::initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier) {
    TableViewCell::initWithStyle(style, reuseIdentifier);
    setBackgroundColor(Color::clear());
    auto content = contentView();
    const double W = commentScreenWidth();

    auto backdrop = MVTPublicMethod::imageViewWithColor(Color::whiteColor());
    backdrop->setFrame({8, 3, 44, 44});
    backdrop->setCornerRadius(22);
    backdrop->setClipsToBounds(true);
    content->addSubview(backdrop);

    faceImageView_ = std::make_shared<ImageView>(Rect(10, 5, 40, 40));
    faceImageView_->setCornerRadius(20);
    faceImageView_->setClipsToBounds(true);
    faceImageView_->setUserInteractionEnabled(true);
    content->addSubview(faceImageView_);
    faceButton_ = std::make_shared<Button>(Rect(0, 0, 40, 40));
    faceButton_->setBackgroundColor(Color::clear());
    std::weak_ptr<MVTCommentCell> weak = std::static_pointer_cast<MVTCommentCell>(shared_from_this());
    faceButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->clickHeadBtn();
    });
    faceImageView_->addSubview(faceButton_);

    namelb_ = commentLabel({60, 5, 100, 20}, Font::fontWithName("Helvetica", 14), kCommentNameBlue);
    content->addSubview(namelb_);

    videoBtn_ = std::make_shared<Button>(Rect(120, 0, 80, 31));
    videoBtn_->setBackgroundColor(Color::clear());
    videoBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->toPlayVideo(static_cast<Button&>(control));
    });
    videoBtn_->setHidden(true);
    content->addSubview(videoBtn_);
    vedioColorView_ = std::make_shared<ImageView>(Rect(0, 3, 80, 23));
    if (auto bubble = feedPicture("vedioCircle.png")) vedioColorView_->setImage(bubble->stretchableImageWithLeftCapWidth(14, 12));
    videoBtn_->addSubview(vedioColorView_);
    duraLa_ = commentLabel({29, 3, 40, 23}, Font::systemFontOfSize(12), Color::lightGray());
    videoBtn_->addSubview(duraLa_);
    videoBgView_ = std::make_shared<ImageView>(Rect(11, 5.5, 18, 18));
    videoBgView_->setImage(feedPicture("icon_52_2.png"));
    videoBgView_->setAnimationImages({feedPicture("icon_52_1.png"), feedPicture("icon_52.png"),
                                      feedPicture("icon_52_3.png"), feedPicture("icon_52_2.png")});
    videoBgView_->setAnimationDuration(1.5);
    videoBtn_->addSubview(videoBgView_);

    commentTextView_ = std::make_shared<HtmlTextView>(Rect(60, 25, 250, 20));
    commentTextView_->setBackgroundColor(Color::clear());
    content->addSubview(commentTextView_);

    whoLabel_ = commentLabel({60, 25, 95, 20}, Font::boldSystemFontOfSize(12), Color::rgb255(85, 85, 85));
    content->addSubview(whoLabel_);
    timelb_ = commentLabel({60, 25, 135, 20}, Font::systemFontOfSize(12), Color::lightGray());
    content->addSubview(timelb_);
    downLine_ = std::make_shared<View>(Rect(10, 84.5, W - 20, 0.6));
    downLine_->setBackgroundColor(kCommentLineColour);
    content->addSubview(downLine_);
}

std::string MVTCommentCell::durationText(int seconds) {
    if (seconds >= 60)
        return post::fill(localized("%d分%d秒"), {std::to_string(seconds / 60), std::to_string(seconds % 60)});
    return post::fill(localized("%d秒"), {std::to_string(seconds)});
}

std::string MVTCommentCell::commentHtml(const std::string& content, const std::string& baseUrl) {
    static const std::regex code(R"(\[em\:(\d+)\:\])");
    const std::string face = R"(<img style="vertical-align:middle;" src='$1.png' width=16 height=16/>)";
    std::string html = std::regex_replace(content, code, face);
    const std::regex servicePicture("<img src=\"" + regexQuoted(baseUrl) +
                                    R"(static/images/face/(\d+)\.gif" class="face">)");
    return std::regex_replace(html, servicePicture, face);
}

void MVTCommentCell::reloadDataWithDic(const Json& comment, const std::string& playing) {
    const double W = commentScreenWidth();
    faceImageView_->setImage(Image::imageNamed("default_user"));
    myDic_ = comment.is_object() ? comment : Json::object();
    const std::string uid = textOf(myDic_, "uid"), role = textOf(myDic_, "role");
    faceImageView_->setAccessibilityValue(role);
    faceImageView_->setAccessibilityHint(uid);
    MVTPublicMethod::setFaceImage(faceImageView_, MVTPublicMethod::getPathByFileName(uid, "png"), role);
    namelb_->setText(textOf(myDic_, "name"));

    const bool answers = myDic_.contains("replyName");
    const std::string answerText =
        answers ? post::fill(localized("回复 %@ "), {textOf(myDic_, "replyName")}) : std::string();
    const double answerWidth = TextMeasure::size(answerText, whoLabel_->font()).width;
    whoLabel_->setText(answerText);
    timelb_->setText(myDic_.contains("createDate")
                         ? MVTPublicMethod::timeString(int(integerValue(valueFor(myDic_, "createDate"))))
                         : textOf(myDic_, "showTime"));

    double height = kVoiceHeight;
    const Json& attachments = post::listOf(myDic_, "attachmentList");
    if (!attachments.empty()) {
        const Json& voice = attachments[0];
        const int secs = int(integerValue(valueFor(voice, "duration")));
        const double x0 = TextMeasure::size(namelb_->text(), namelb_->font()).width + 60;
        const std::string length = durationText(secs);
        double w = TextMeasure::size(length, Font::systemFontOfSize(12)).width;
        if (w + 29 + 10 < 80) w = 41;
        duraLa_->setFrame({29, 3, w, 23});
        duraLa_->setText(length);
        videoBtn_->setFrame({x0, 0, 29 + w + 10, 31});
        vedioColorView_->setFrame({0, 3, 29 + w + 10, 23});
        videoBtn_->setAccessibilityLabel(textOf(voice, "resModuleId"));
        videoBtn_->setHidden(false);
        commentTextView_->setHidden(true);
        isPlay_ = integerValue(Json(playing)) != 0;
        if (isPlay_) videoBgView_->startAnimating();
        else videoBgView_->stopAnimating();
        if (answers) {
            whoLabel_->setFrame({55, 30, 100, 20});
            timelb_->setFrame({answerWidth + 60, 30, 29 + w + 10, 20});
        } else {
            timelb_->setFrame({55, 30, 140, 20});
        }
    } else {
        videoBtn_->setHidden(true);
        videoBgView_->stopAnimating();
        isPlay_ = false;
        const std::string text = textOf(myDic_, "content");
        if (text.empty() || text == "<null>") {
            commentTextView_->setHidden(true);
            if (answers) {
                whoLabel_->setFrame({55, 30, 100, 20});
                timelb_->setFrame({answerWidth + 60, 30, 100, 20});
            } else {
                timelb_->setFrame({55, 30, 140, 20});
            }
        } else {
            commentTextView_->setHidden(false);
            commentTextView_->setContentInsets({0, 0, 0, 0});
            commentTextView_->setHtml(commentHtml(text, ServiceAddress::baseUrl()), commentTextOptions());
            const double textHeight = std::max(20.0, commentTextView_->contentHeightForWidth(W - 70));
            commentTextView_->setFrame({60, 25, W - 70, textHeight});
            // Taps on the text reach the table, which answers the comment.
            commentTextView_->setUserInteractionEnabled(false);
            const double y = textHeight + 25;
            if (answers) {
                whoLabel_->setFrame({60, y, 95, 20});
                timelb_->setFrame({answerWidth + 60, y, 140, 20});
            } else {
                timelb_->setFrame({60, y, 135, 20});
            }
            height = y + 20;
        }
    }
    setFrame({0, 0, W, height});
    downLine_->setFrame({10, height - 0.6, W - 20, 0.6});
}

void MVTCommentCell::clickHeadBtn() {
    if (auto host = delegate())
        host->chooseNamed(Json{{"id", valueFor(myDic_, "uid")}, {"name", valueFor(myDic_, "name")},
                               {"role", valueFor(myDic_, "role")}});
}

void MVTCommentCell::toPlayVideo(Button& button) {
    const std::string id = button.accessibilityLabel();
    std::optional<std::string> passed = id;
    // The voice's file name comes from the service: only a plain name is looked for.
    if (post::isPlainName(id) && MVTPublicMethod::fileExistsAtPath(post::wavFile(id))) {
        if (isPlay_) {
            videoBgView_->stopAnimating();
            isPlay_ = false;
            passed.reset();
        } else {
            videoBgView_->startAnimating();
            isPlay_ = true;
        }
    }
    if (auto host = delegate()) host->toSendVedio(passed, tag());
}
