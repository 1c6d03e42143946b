// The detail screen's header: the item drawn in full above its comments (author row,
// visibility, text, kind views, picture pages with dots, the voice player, files, links,
// the delete button, the comment and praise row and the praisers strip), the footer
// button, the copy menu, and the voice player's and praisers strip's behaviour.

#include "details/MVTDetailsViewController.h"

#include "details/MVTDetailsKindRenderer.h"
#include "details/MVTFeedLoveMemberViewController.h"
#include "details/PostReport.h"

#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTVoiceJoiner.h"
#include "core/ServiceAddress.h"

#include "platform/Markup.h"
#include "platform/ui/Button.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/MenuController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"

#include <cmath>

using namespace platform;

namespace {

const Color kHeaderNameBlue = Color::rgb255(71, 136, 159);
const Color kHeaderGrey = Color::rgb255(119, 119, 119);
const Color kHeaderCountGrey = Color::rgb255(150, 156, 143);
const Color kHeaderLine = Color::rgb255(217, 222, 216);
const Color kHeaderButtonBorder = Color::rgb255(225, 225, 225);

double headerWidth() { return Screen::mainScreen().bounds().width(); }

std::shared_ptr<Label> headerLabel(const Rect& frame, const Font& font, const Color& colour, const std::string& text,
                                   TextAlignment alignment = TextAlignment::Left) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(font);
    label->setTextColor(colour);
    label->setTextAlignment(alignment);
    label->setText(text);
    return label;
}

// The text the header shows, and copies, for an item.
std::string headerText(const Json& record) { return post::bodyText(record); }

}  // namespace

// ---- The kind renderer on the screen's item

const Json& DetailKindRenderer::postRecord() const {
    static const Json empty = Json::object();
    auto record = screen_.myDict();
    return record ? *record : empty;
}

std::shared_ptr<CellDelegate> DetailKindRenderer::postDelegate() const {
    return std::dynamic_pointer_cast<CellDelegate>(screen_.shared_from_this());
}

PostGeometry DetailKindRenderer::geometry() const {
    PostGeometry g;
    g.screenWidth = headerWidth();
    g.left = 10;
    g.rightMargin = 10;
    return g;
}

// ---- Building

void MVTDetailsViewController::createHeadView() {
    const double W = headerWidth();
    Json& record = item();
    if (!headView_) {
        headView_ = std::make_shared<View>(Rect(0, 0, W, 0));
        headView_->setBackgroundColor(Color::clear());
    }
    detailsFeedId_ = textOf(record, "id");
    auto weak = weakAs<MVTDetailsViewController>();
    const std::string uid = textOf(record, "uid"), role = textOf(record, "role");

    auto avatar = addPostAvatar(*headView_, 8, 8, record);
    avatar->setBorderWidth(0.5);
    avatar->setBorderColor(Color::rgb255(242, 242, 242));
    avatar->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->clickHeadBtn();
    });

    const std::string name = textOf(record, "name");
    const Font nameFont = Font::systemFontOfSize(16);
    headView_->addSubview(headerLabel({60, 10, W - 60, 20}, nameFont, kHeaderNameBlue, name));
    const double m = TextMeasure::size(name, nameFont).width + 5 + 60;
    if (role == "teacher") {
        auto mark = std::make_shared<ImageView>(Rect(m, 12, 14, 14));
        mark->setImage(Image::imageNamed("teacherMark.png"));
        headView_->addSubview(mark);
    }
    headView_->addSubview(headerLabel({W - 200, 7, 190, 20}, Font::systemFontOfSize(12), kHeaderGrey,
                                      MVTAppDelegate::sharedAppDelegate()->getDateWith(Json(textOf(record, "dateline"))),
                                      TextAlignment::Right));
    double h = 60;
    const Font smallFont = Font::systemFontOfSize(10);
    const std::string className = textOf(record, "className");
    if (role == "student" && !className.empty() && className != "(null)") {
        headView_->addSubview(headerLabel({60, 30, 190, 20}, smallFont, kHeaderGrey, className));
        h = TextMeasure::size(className, smallFont).width + 10 + 60;
    }
    const std::string viewerRole = MVTAccount::sharedInstance().role().value_or("");
    if (post::isOwn(record, userId()) && viewerRole != "parent") {
        const std::string key = post::visibilityKey(record, viewerRole);
        if (!key.empty()) {
            const std::string text = localized(key);
            headView_->addSubview(headerLabel({h, 30, TextMeasure::size(text, smallFont).width + 4, 20}, smallFont,
                                              kHeaderGrey, text));
        }
    }

    double y = 55;
    const std::string type = textOf(record, "type");
    if (type == "decoration" && !post::isBlank(valueFor(post::objectOf(record, "decoration"), "img"))) {
        isDecoration_ = true;
        headView_->addSubview(renderer_->showDecorationWithDic(post::objectOf(record, "decoration"), 55));
        y = 160;
    }

    const std::string text = headerText(record);
    if (!text.empty() && !isDecoration_) {
        auto textView = std::make_shared<HtmlTextView>(Rect(10, y, W - 20, 40));
        textView->setBackgroundColor(Color::clear());
        const std::string shown = HCStr_.empty() ? text : text + HCStr_;
        textView->setContentInsets({0, 0, 0, 0});
        textView->setHtml(post::convertText(shown, record, post::TextConversion{}), postTextOptions(1.2, 1.1));
        msgString_ = textView->layout() ? textView->layout()->plainText() : std::string();
        const double height = textView->contentHeightForWidth(W - 20);
        textView->setFrame({10, y, W - 20, height});
        textView->setUserInteractionEnabled(false);
        headView_->addSubview(textView);
        longRect_ = textView->frame();
        y += height + 5;
        auto press = std::make_shared<LongPressGestureRecognizer>();
        press->setMinimumPressDuration(0.3);
        press->setAction([weak](GestureRecognizer& recognizer) {
            if (auto self = weak.lock()) self->handleLong(recognizer);
        });
        headView_->addGestureRecognizer(press);
    }

    auto addKind = [&](const std::shared_ptr<View>& kind) {
        headView_->addSubview(kind);
        y += kind->frame().height();
    };
    if (!post::isBlank(valueFor(post::objectOf(record, "vote"), "id")))
        addKind(renderer_->showVoteWithDic(post::objectOf(record, "vote"), textOf(record, "title"), y));
    if (!post::isBlank(valueFor(post::objectOf(record, "lesson"), "courseName")))
        addKind(renderer_->showLessonWithDic(post::objectOf(record, "lesson"), y));
    if (!post::isBlank(valueFor(post::objectOf(record, "activity"), "id")))
        addKind(renderer_->showActiveWithDic(post::objectOf(record, "activity"), y));
    const Json& share = post::objectOf(record, "share");
    if (share.contains("name") || share.contains("none")) {
        isShare_ = true;
        addKind(showShareWithDic(share, y));
    }

    y += 5;
    if (!isShare_) {
        const post::Attachments split = post::splitAttachments(record);
        imageArray_ = split.pictures;
        renderer_->setImageArray(imageArray_);
        if (!imageArray_.empty()) y = addPictures(*headView_, y, std::size_t(kMaxPictures));
        if (!split.voices.empty()) addVoicePlayer(*headView_, y, !imageArray_.empty(), split.voices[0]);
        // File and link rows: 40 high, 45 apart, 5 points before the first of each kind.
        auto addRows = [&](const Json& entries, bool links) {
            if (entries.empty()) return;
            y += 5;
            for (const auto& entry : entries) {
                auto button = links ? renderer_->getLinksButtonWith(entry) : renderer_->getAttachsButtonWith(entry);
                button->setFrame({20, y, W - 40, 40});
                button->setCornerRadius(2);
                button->setClipsToBounds(true);
                button->setBorderWidth(0.5);
                button->setBorderColor(kHeaderButtonBorder);
                headView_->addSubview(button);
                y += 45;
            }
        };
        addRows(split.files, false);
        addRows(post::listOf(record, "links"), true);
    }

    if (post::isOwn(record, userId()) &&
        (type == "share" || type == "essay" || type == "class_album" || type == "activity")) {
        auto remove = std::make_shared<Button>(Rect(0, y, 48, 40));
        remove->setTitle("删除");
        remove->setTitleColor(kHeaderNameBlue);
        remove->titleLabel()->setFont(Font::systemFontOfSize(14));
        remove->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->toDeleteDetailsCell();
        });
        headView_->addSubview(remove);
    }

    std::string count = textOf(record, "commentCount");
    if (count.empty()) count = "0";
    const Font countFont = Font::systemFontOfSize(16);
    const double g = TextMeasure::size(count, countFont).width + 4;
    adjustlb_ = headerLabel({W - 10 - g, y, g, 40}, countFont, kHeaderCountGrey, count, TextAlignment::Right);
    headView_->addSubview(adjustlb_);
    headCommentBtn_ = std::make_shared<Button>(Rect(W - 30 - g, y, g + 20, 40));
    headCommentBtn_->setBackgroundColor(Color::clear());
    auto bubble = std::make_shared<ImageView>(Rect(3, 12, 14, 14));
    bubble->setImage(Image::imageNamed("message_p.png"));
    headCommentBtn_->addSubview(bubble);
    headCommentBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toSendCommentForDynamic();
    });
    headView_->addSubview(headCommentBtn_);
    headPraiseBtn_ = std::make_shared<Button>(Rect(headCommentBtn_->frame().x() - 61, y, 61, 40));
    headPraiseBtn_->setBackgroundColor(Color::clear());
    headPraiseBtn_->setAccessibilityHint(textOf(record, "id"));
    auto heart = std::make_shared<ImageView>(Rect(12, 12, 14, 14));
    heart->setTag(102);
    heart->setImage(Image::imageNamed(post::isPraised(record) ? "liked.png" : "like.png"));
    headPraiseBtn_->addSubview(heart);
    auto praiseCount = headerLabel({33, 10, 40, 20}, countFont, kHeaderCountGrey, textOf(record, "likeCount"));
    praiseCount->setTag(1121);
    headPraiseBtn_->addSubview(praiseCount);
    headPraiseBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->praiseBtnClicked(static_cast<Button&>(control));
    });
    headView_->addSubview(headPraiseBtn_);

    y += 45;
    if (!nameString_.empty()) {
        showPrasieNameWith(y);
        y += 40;
    }
    auto line = std::make_shared<View>(Rect(10, y - 0.6, W - 20, 0.6));
    line->setBackgroundColor(kHeaderLine);
    line->setTag(kSeparatorTag);
    headView_->addSubview(line);
    headView_->setFrame({0, 0, W, y});
}

// ---- The forwarded post

std::shared_ptr<View> MVTDetailsViewController::showShareWithDic(const Json& share, double y) {
    const double W = headerWidth();
    auto block = std::make_shared<View>(Rect(0, y, W, 100));
    block->setBackgroundColor(Color::clear());
    auto white = std::make_shared<View>(Rect(0, 0, W, 44));
    white->setBackgroundColor(Color::whiteColor());
    block->addSubview(white);
    const Json& content = valueFor(share, "content");
    if (share.contains("none") && content.is_null()) {
        block->addSubview(headerLabel({10, 12, W - 20, 20}, Font::systemFontOfSize(14), kHeaderGrey,
                                      textOf(valueFor(share, "none")), TextAlignment::Center));
        block->setFrame({0, y, W, 44});
        return block;
    }
    // The name is the forwarded author's as the service gave it, never markup.
    std::string html = "<span style=\"color:rgb(60, 129, 151);\">" + escapeHtml(textOf(share, "name")) + " :  </span>";
    if (!post::isBlankOrNullText(content)) html += textOf(content);
    if (!SHStr_.empty()) html += SHStr_;
    auto textView = std::make_shared<HtmlTextView>(Rect(10, 5, W - 20, 40));
    textView->setBackgroundColor(Color::clear());
    textView->setContentInsets({0, 0, 0, 0});
    textView->setHtml(post::convertText(html, share, post::TextConversion{nullptr, false, 14, true}),
                      postTextOptions(1.2, 1.1));
    const double height = textView->contentHeightForWidth(W - 20);
    textView->setFrame({10, 5, W - 20, height});
    textView->setUserInteractionEnabled(false);
    block->addSubview(textView);
    double v = height + 15;

    // A forwarded post carries its pictures, voice and files on the outer post.
    const post::Attachments split = post::splitAttachments(item());
    if (!split.pictures.empty() || !split.voices.empty() || !split.files.empty()) {
        imageArray_ = split.pictures;
        renderer_->setImageArray(imageArray_);
    }
    if (!split.pictures.empty()) v = addPictures(*block, v, kMaxSharePictures);
    if (!split.voices.empty()) addVoicePlayer(*block, v, !split.pictures.empty(), split.voices[0]);
    auto addRows = [&](const Json& entries, bool links) {
        if (entries.empty()) return;
        v += 5;
        for (const auto& entry : entries) {
            auto button = links ? renderer_->getLinksButtonWith(entry) : renderer_->getAttachsButtonWith(entry);
            button->setFrame({20, v, W - 40, 40});
            button->setCornerRadius(2);
            button->setClipsToBounds(true);
            button->setBorderWidth(0.5);
            button->setBorderColor(kHeaderButtonBorder);
            block->addSubview(button);
            v += 45;
        }
    };
    addRows(split.files, false);
    addRows(post::listOf(item(), "links"), true);
    white->setFrame({0, 0, W, v});
    block->setFrame({0, y, W, v});
    return block;
}

double MVTDetailsViewController::addPictures(View& host, double y, std::size_t most) {
    const double W = headerWidth();
    const int n = int(std::min<std::size_t>(imageArray_.size(), most));
    auto pages = std::make_shared<ScrollView>(Rect(0, y, W, W));
    pages->setPagingEnabled(true);
    pages->setShowsHorizontalScrollIndicator(false);
    pages->setShowsVerticalScrollIndicator(false);
    pages->setDelegate(weakAs<ScrollViewDelegate>().lock());
    pages->setContentSize({W * n, W});
    pages->setTag(kPictureScrollTag);
    const std::string vfs = MVTAccount::sharedInstance().vfsUrl().value_or("");
    auto weakRenderer = std::weak_ptr<DetailKindRenderer>(renderer_);
    for (int i = 0; i < n; ++i) {
        const Json& entry = imageArray_[std::size_t(i)];
        auto picture = std::make_shared<ImageView>(Rect(i * W, 0, W, W));
        picture->setTag(i);
        picture->setUserInteractionEnabled(true);
        const long long id = integerValue(valueFor(entry, "id"));
        if (id >= 51 && id <= 59) {
            pages->setFrame({10, y, 158, 158});
            pages->setContentSize({158, 158});
            picture->setFrame({0, 0, 158, 158});
            picture->setImage(Image::imageNamed("feeling_" + std::to_string(id - 50)));
            picture->setContentMode(ContentMode::ScaleAspectFit);
        } else {
            picture->setContentMode(ContentMode::ScaleAspectFill);
            picture->setClipsToBounds(true);
            const bool big = n == 1;
            if (!vfs.empty() && !post::isBlank(valueFor(entry, "resPath"))) {
                if (!post::isBlank(valueFor(entry, "resName"))) {
                    picture->setAccessibilityValue(big ? ".big" : ".middle");
                    renderer_->toGetThumbImageWith(picture);
                }
            } else if (big) {
                picture->setAccessibilityValue(".big");
                renderer_->toGetThumbImageWith(picture);
            } else {
                renderer_->toShowAttachmentsImage(picture);
            }
        }
        auto tap = std::make_shared<TapGestureRecognizer>();
        tap->setAction([weakRenderer](GestureRecognizer& recognizer) {
            if (auto renderer = weakRenderer.lock()) renderer->tapImage(recognizer);
        });
        picture->addGestureRecognizer(tap);
        pages->addSubview(picture);
    }
    host.addSubview(pages);
    y = pages->frame().y() + pages->frame().height() + 5;
    if (n > 1) createImagePageViewWith(host, n, y);
    return y;
}

void MVTDetailsViewController::createImagePageViewWith(View& host, int count, double y) {
    const double W = headerWidth();
    if (imagePageBgView_) imagePageBgView_->removeFromSuperview();
    const double width = 15.0 * count + 10;
    imagePageBgView_ = std::make_shared<View>(Rect((W - width) / 2, y - 20, width, 10));
    imagePageBgView_->setBackgroundColor(Color::clear());
    for (int i = 0; i < count; ++i) {
        auto dot = std::make_shared<ImageView>(Rect(15.0 * i + 10, 2.5, 5, 5));
        dot->setTag(i + 10);
        dot->setImage(Image::imageNamed(i == 0 ? "doting.png" : "doted.png"));
        imagePageBgView_->addSubview(dot);
    }
    host.addSubview(imagePageBgView_);
}

void MVTDetailsViewController::showWhichImagePageWith(int page) {
    if (!imagePageBgView_) return;
    const int dots = int(imagePageBgView_->subviews().size());
    if (page < 0 || page >= dots) return;
    for (const auto& dot : imagePageBgView_->subviews())
        if (auto picture = std::dynamic_pointer_cast<ImageView>(dot))
            picture->setImage(Image::imageNamed(picture->tag() == page + 10 ? "doting.png" : "doted.png"));
}

void MVTDetailsViewController::scrollViewDidEndDecelerating(ScrollView& scrollView) {
    if (scrollView.tag() != kPictureScrollTag) return;
    showWhichImagePageWith(int(scrollView.contentOffset().x / headerWidth()));
}

void MVTDetailsViewController::reloadHeadView() {
    if (!headView_) return;
    for (const auto& subview : std::vector<std::shared_ptr<View>>(headView_->subviews())) subview->removeFromSuperview();
    createHeadView();
    if (mytableview_) mytableview_->setTableHeaderView(headView_);
}

void MVTDetailsViewController::creatFooterView() {
    if (footerBtn_) return;
    footerBtn_ = std::make_shared<Button>(Rect(0, 0, headerWidth(), 44));
    footerBtn_->setBackgroundColor(Color::clear());
    footerBtn_->setTitle("");
    footerBtn_->setTitleColor(Color::darkGray());
    footerBtn_->titleLabel()->setFont(Font::systemFontOfSize(16));
    auto weak = weakAs<MVTDetailsViewController>();
    footerBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->initData();
    });
    footerBtn_->setEnabled(false);
}

void MVTDetailsViewController::changeCommentCountFrameWith(const std::string& text) {
    if (!adjustlb_) return;
    const double W = headerWidth();
    const std::string count = text.empty() ? "0" : text;
    const double g = TextMeasure::size(count, Font::systemFontOfSize(16)).width + 4;
    const double y = adjustlb_->frame().y();
    adjustlb_->setText(count);
    adjustlb_->setFrame({W - 10 - g, y, g, 40});
    headCommentBtn_->setFrame({W - 30 - g, y, g + 20, 40});
    headPraiseBtn_->setFrame({W - 30 - g - 61, y, 61, 40});
}

// ---- Copying

void MVTDetailsViewController::handleLong(GestureRecognizer& recognizer) {
    if (recognizer.state() != GestureState::Began) return;
    if (longRect_.contains(recognizer.locationInView(recognizer.view()))) readyToCopyContent();
}

void MVTDetailsViewController::readyToCopyContent() {
    auto weak = weakAs<MVTDetailsViewController>();
    auto& menu = MenuController::shared();
    menu.setMenuItems({{localized("复制"), [weak] {
                            if (auto self = weak.lock()) self->copyContentString();
                        }}});
    menu.setTargetRect(longRect_, headView_);
    menu.setMenuVisible(true, true);
}

void MVTDetailsViewController::copyContentString() {
    // As stored: emoticon codes stay codes and the extra text of the state reply is not added.
    Pasteboard::generalPasteboard().setString(headerText(item()));
}

void MVTDetailsViewController::clickHeadBtn() {
    const Json& record = item();
    chooseNamed(Json{{"id", valueFor(record, "uid")}, {"name", valueFor(record, "name")}, {"role", valueFor(record, "role")}});
}

// ---- Voice player

std::string MVTDetailsViewController::returnAudioPath(const std::string& resourceId) { return post::wavFile(resourceId); }

void MVTDetailsViewController::addVoicePlayer(View& host, double& running, bool withPictures, const Json& voice) {
    const double W = headerWidth();
    const double Y = running + (withPictures ? 0 : 10);
    const std::string fileId = textOf(voice, "resModuleId");
    auto weak = weakAs<MVTDetailsViewController>();
    recordBtn_ = std::make_shared<Button>(Rect((W - 33) / 2, Y + 10, 33, 33));
    recordBtn_->setImage(Image::imageNamed("audio_play-big.png"));
    recordBtn_->setImage(Image::imageNamed("audio_pause-big.png"), ControlStateSelected);
    recordBtn_->setImageEdgeInsets({6, 6, 6, 6});
    recordBtn_->setTag(PostKindRenderer::kRecordButtonTag);
    recordBtn_->imageView()->setContentMode(ContentMode::ScaleAspectFill);
    recordBtn_->setAccessibilityHint(fileId);
    const std::string bg = textOf(voice, "bg");
    if (bg.empty() || bg == "<null>") bgVedioStr_.clear();
    else if (bg == "1" || bg == "2" || bg == "3" || bg == "4" || bg == "5") bgVedioStr_ = bg + ".mp3";
    setRecordBtnWith(false);
    recordBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->selfplayrecord(static_cast<Button&>(control));
    });
    host.addSubview(recordBtn_);
    loadView_ = std::make_shared<ImageView>(Rect(6, 6, 21, 21));
    loadView_->setBackgroundColor(Color::rgb255(245, 245, 245));
    loadView_->setImage(Image::imageNamed("load_1.png"));
    std::vector<ImageRef> frames;
    for (int i = 2; i <= 8; ++i) frames.push_back(Image::imageNamed("load_" + std::to_string(i) + ".png"));
    frames.push_back(Image::imageNamed("load_1.png"));
    loadView_->setAnimationImages(frames);
    loadView_->setAnimationDuration(0.6);
    loadView_->setHidden(true);
    recordBtn_->addSubview(loadView_);

    const double x = recordBtn_->frame().x();
    struct Jump {
        int tag;
        double x;
        const char* normal;
        const char* pressed;
    };
    for (const Jump& jump : {Jump{0, x - 66, "go-ahead.png", "go-ahead-press.png"},
                             Jump{1, x + 66, "go-back.png", "go-back-press.png"}}) {
        auto button = std::make_shared<Button>(Rect(jump.x, Y + 10, 33, 33));
        button->setImage(Image::imageNamed(jump.normal));
        button->setImage(Image::imageNamed(jump.pressed), ControlStateHighlighted);
        button->setImageEdgeInsets({6, 6, 6, 6});
        button->setTag(jump.tag);
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toRewindOrForward(static_cast<Button&>(control));
        });
        host.addSubview(button);
    }
    if (withPictures) {
        auto band = std::make_shared<View>(Rect(0, Y - 25, W, 20));
        band->setBackgroundColor(Color::rgb255(85, 85, 85));
        band->setAlpha(0.3);
        host.addSubview(band);
    }
    prossSlider_ = std::make_shared<Slider>(Rect(-2, Y - 21, W + 4, 34));
    prossSlider_->setValue(0.005);
    prossSlider_->setThumbImage(Image::imageNamed("jdt.png"));
    prossSlider_->setThumbImage(Image::imageNamed("jdt.png"), ControlStateHighlighted);
    prossSlider_->setMinimumTrackImage(Image::imageNamed("jdt2.png"));
    prossSlider_->setMaximumTrackImage(Image::imageNamed("jdt1.png"));
    prossSlider_->addTarget(ControlEventValueChanged, [weak](Control&) {
        if (auto self = weak.lock()) self->changingSliderValue();
    });
    prossSlider_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toChangeValueForAudio();
    });
    host.addSubview(prossSlider_);

    auto app = MVTAppDelegate::sharedAppDelegate();
    if (app->nowPlayPath() == returnAudioPath(fileId) && detailsFeedId_ == app->nowPlayId()) {
        const bool playing = app->isPlaying();
        recordBtn_->setSelected(playing);
        setRecordBtnWith(playing);
        nowPlay_ = 1;
    }
    currentLa_.reset();
    const std::string duration = textOf(voice, "duration");
    if (!duration.empty() && duration != "<null>") {
        allLength_ = int(integerValue(Json(duration)));
        const std::string total = app->soundTimeLengthWith(allLength_);
        if (withPictures) {
            host.addSubview(headerLabel({W - 105, Y - 25, 100, 20}, Font::systemFontOfSize(12),
                                              Color::whiteColor(), total, TextAlignment::Right));
            currentLa_ = headerLabel({5, Y - 25, 100, 20}, Font::systemFontOfSize(12), Color::whiteColor(), "00:00");
        } else {
            host.addSubview(headerLabel({W - 125, Y + 16, 100, 21}, Font::systemFontOfSize(14), Color::gray(),
                                              total, TextAlignment::Right));
            currentLa_ = headerLabel({25, Y + 16, 100, 21}, Font::systemFontOfSize(14), Color::rgb255(60, 155, 33),
                                     "00:00");
        }
        host.addSubview(currentLa_);
    }
    running = Y + 50;
}

void MVTDetailsViewController::setRecordBtnWith(bool playing) {
    if (!recordBtn_) return;
    recordBtn_->setUserInteractionEnabled(true);
    recordBtn_->setSelected(playing);
    recordBtn_->setImage(Image::imageNamed(playing ? "audio_pause-big-press.png" : "audio_play-big-press.png"),
                         ControlStateHighlighted);
}

namespace {
std::string timeAt(double fraction, int length) {
    return MVTAppDelegate::sharedAppDelegate()->soundTimeLengthWith(int32_t(std::lround(fraction * length)));
}
}  // namespace

void MVTDetailsViewController::changingSliderValue() {
    changing_ = true;
    if (currentLa_ && prossSlider_) currentLa_->setText(timeAt(prossSlider_->value(), allLength_));
}

void MVTDetailsViewController::toChangeValueForAudio() {
    if (recordBtn_ && recordBtn_->isSelected() && prossSlider_)
        MVTAppDelegate::sharedAppDelegate()->toChangeSoundMgrWith(float(prossSlider_->value()));
    changing_ = false;
}

void MVTDetailsViewController::toRewindOrForward(Button& button) {
    if (!prossSlider_) return;
    changing_ = true;
    const double L = allLength_, at = prossSlider_->value() * L;
    if (button.tag() == 0) {
        if (at - 15 <= 0) {
            prossSlider_->setValue(0.005);
            if (currentLa_) currentLa_->setText("00:00");
        } else {
            prossSlider_->setValue((at - 15) / L);
            if (currentLa_) currentLa_->setText(timeAt(prossSlider_->value(), allLength_));
        }
        toChangeValueForAudio();
        return;
    }
    if (L > at + 15) {
        prossSlider_->setValue((at + 15) / L);
        if (currentLa_) currentLa_->setText(timeAt(prossSlider_->value(), allLength_));
        toChangeValueForAudio();
    } else {
        MVTAppDelegate::sharedAppDelegate()->stopPlayAudio();
        changing_ = false;
    }
}

void MVTDetailsViewController::toShowDetailsProgress(const Notification& notification) {
    if (changing_) return;
    const double f = std::atof(textOf(notification.object).c_str());
    auto reset = [this] {
        if (prossSlider_) prossSlider_->setValue(0.005);
        if (currentLa_) currentLa_->setText("00:00");
        if (loadView_) loadView_->stopAnimating();
        if (recordBtn_) recordBtn_->setSelected(false);
    };
    if (nowPlay_ == 1) {
        if (prossSlider_) prossSlider_->setValue(f);
        if (currentLa_) currentLa_->setText(timeAt(f, allLength_));
        if (f >= 1) reset();
    } else if (prossSlider_) {
        reset();
    }
}

void MVTDetailsViewController::selfplayrecord(Button& button) {
    const std::string id = button.accessibilityHint();
    if (!post::isPlainName(id)) return;
    auto app = MVTAppDelegate::sharedAppDelegate();
    const std::string path = returnAudioPath(id);
    auto opener = view()->accessibilityHint() == "feed" ? delegate() : nullptr;
    if (!MVTPublicMethod::fileExistsAtPath(path)) {
        if (!app->nowPlayPath().empty()) app->stopPlayAudio();
        stopCommentRow();
        loadView_->setHidden(false);
        loadView_->startAnimating();
        button.setUserInteractionEnabled(false);
        downloadVoice(id, [](MVTDetailsViewController& self) {
            auto delegateApp = MVTAppDelegate::sharedAppDelegate();
            if (!self.recordBtn_) return;
            self.loadView_->stopAnimating();
            self.loadView_->setHidden(true);
            self.setRecordBtnWith(true);
            self.nowPlay_ = 1;
            self.isCommentVedio_ = false;
            delegateApp->setNowPlayPage(MVTAppDelegate::VoicePageDetails);
            delegateApp->toSetAudio(returnAudioPath(self.recordBtn_->accessibilityHint()), self.bgVedioStr_);
            delegateApp->setNowPlayId(self.detailsFeedId_);
            if (self.view()->accessibilityHint() == "feed")
                if (auto feed = self.delegate()) feed->toStartHomeAudio();
        });
        return;
    }
    isCommentVedio_ = false;
    // Paused here and tapped again: the same file for this very post resumes. The same
    // file attached to another post is another voice.
    const bool thisVoice = app->nowPlayPath() == path && app->nowPlayId() == detailsFeedId_;
    const bool play = !button.isSelected();
    if (play) {
        if (thisVoice) {
            app->playsound();
            setRecordBtnWith(true);
            nowPlay_ = 1;
            if (opener) opener->toPlayOrStopAudio(true);
            return;
        }
        if (!app->nowPlayPath().empty()) app->stopPlayAudio();
        stopCommentRow();
        loadView_->stopAnimating();
        loadView_->setHidden(true);
        setRecordBtnWith(true);
        nowPlay_ = 1;
        app->setNowPlayPage(MVTAppDelegate::VoicePageDetails);
        app->toSetAudio(path, bgVedioStr_);
        app->setNowPlayId(detailsFeedId_);
        if (opener) opener->toStartHomeAudio();
        return;
    }
    setRecordBtnWith(false);
    if (thisVoice) {
        app->pauseSound();
        if (opener) opener->toPlayOrStopAudio(false);
        return;
    }
    if (prossSlider_) prossSlider_->setValue(0.005);
    if (currentLa_) currentLa_->setText("00:00");
    const int page = app->nowPlayPage();
    if (page == MVTAppDelegate::VoicePageHome || page == MVTAppDelegate::VoicePageSquare) {
        if (auto list = delegate()) list->toStopHomeAudio();
    } else if (page == MVTAppDelegate::VoicePageDetails) {
        nowPlay_ = 0;
        app->stopPlayAudio();
    }
}

void MVTDetailsViewController::downloadVoice(const std::string& resourceId,
                                             std::function<void(MVTDetailsViewController&)> then) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    const std::string url =
        ServiceAddress::baseUrl() + "resource/" + resourceId + "/download?token=" + app->getTokenWith(resourceId);
    auto weak = weakAs<MVTDetailsViewController>();
    const std::string name = "Downfile" + resourceId;
    downloadTokens_[name] = NotificationCenter::defaultCenter().addObserver(
        name, [weak, resourceId, name, then](const Notification& notification) {
            auto self = weak.lock();
            if (!self) return;
            self->downloadTokens_.erase(name);
            const bool ok = textOf(notification.object) == "downloadSuccess" &&
                            MVTVoiceJoiner::amrToWav(post::voiceFile(resourceId), post::wavFile(resourceId)) > 0;
            if (!ok) {
                MVTPublicMethod::deleteFileAtPath(post::voiceFile(resourceId));
                if (self->loadView_) {
                    self->loadView_->stopAnimating();
                    self->loadView_->setHidden(true);
                }
                self->setRecordBtnWith(false);
                self->shareResult(localized("下载失败"));
                return;
            }
            then(*self);
        });
    MVTAppDelegate::downloadVoice(url, post::voiceFile(resourceId), name);
}

// ---- Praisers strip

void MVTDetailsViewController::showPrasieNameWith(double y) {
    const double W = headerWidth();
    if (!nameMember_) {
        nameMember_ = std::make_shared<Button>(Rect(10, y, W - 20, 40));
        nameMember_->setBackgroundImage(MVTPublicMethod::imageViewWithColor(Color::clear())->image());
        nameMember_->setBackgroundImage(MVTPublicMethod::imageViewWithColor(Color::rgb255(229, 229, 229))->image(),
                                        ControlStateHighlighted);
        auto weak = weakAs<MVTDetailsViewController>();
        nameMember_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->toShowMoreMember();
        });
        auto heart = std::make_shared<ImageView>(Rect(0, 13, 14, 14));
        heart->setImage(Image::imageNamed("liked.png"));
        nameMember_->addSubview(heart);
        auto names = headerLabel({21, 10, W - 57, 20}, Font::fontWithName("Helvetica", 14), Color::rgb255(60, 129, 151),
                                 nameString_);
        names->setTag(kStripLabelTag);
        nameMember_->addSubview(names);
        auto arrow = std::make_shared<ImageView>(Rect(W - 35, 15, 10, 10));
        arrow->setImage(Image::imageNamed("rightArrow"));
        nameMember_->addSubview(arrow);
        auto line = std::make_shared<View>(Rect(0, 0, W - 20, 0.6));
        line->setBackgroundColor(kHeaderLine);
        nameMember_->addSubview(line);
    } else {
        nameMember_->setFrame({10, y, W - 20, 40});
        if (auto names = std::dynamic_pointer_cast<Label>(nameMember_->viewWithTag(kStripLabelTag)))
            names->setText(nameString_);
    }
    headView_->addSubview(nameMember_);
}

void MVTDetailsViewController::relayoutHeader(double height) {
    const double W = headerWidth();
    headView_->setFrame({0, 0, W, height});
    if (auto line = headView_->viewWithTag(kSeparatorTag)) line->setFrame({10, height - 0.6, W - 20, 0.6});
    if (mytableview_) {
        mytableview_->setTableHeaderView(headView_);
        mytableview_->reloadData();
    }
}

void MVTDetailsViewController::newLike() {
    if (!headView_) return;
    const double W = headerWidth();
    const double H = headView_->frame().height();
    if (!nameString_.empty()) {
        if (nameMember_) {
            if (auto names = std::dynamic_pointer_cast<Label>(nameMember_->viewWithTag(kStripLabelTag)))
                names->setText(nameString_);
            if (nameMember_->superview() != headView_) {
                nameMember_->setFrame({10, H, W - 20, 40});
                headView_->addSubview(nameMember_);
                relayoutHeader(H + 40);
            }
        } else {
            showPrasieNameWith(H);
            relayoutHeader(H + 40);
        }
        return;
    }
    if (nameMember_ && nameMember_->superview() == headView_) {
        nameMember_->removeFromSuperview();
        relayoutHeader(H - 40);
    }
}

void MVTDetailsViewController::toShowMoreMember() {
    auto list = std::make_shared<MVTFeedLoveMemberViewController>();
    list->setModule(modelName_);
    list->setModuleId(modelID_);
    list->setLoveCount(std::to_string(integerValue(valueFor(item(), "likeCount"))));
    if (auto* navigation = navigationController()) navigation->pushViewController(list, true);
}
