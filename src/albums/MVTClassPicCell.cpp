#include "albums/MVTClassPicCell.h"

#include "albums/AlbumCommon.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceId.h"
#include "feed/PostKindRenderer.h"
#include "feed/PostRecord.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/ui/Button.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {

// The post id whose delete confirmation is showing: one for all rows.
std::string& pendingDeletePostId() {
    static std::string id;
    return id;
}

const Color kClassPicCounterGrey = Color::rgb255(100, 108, 95);

std::shared_ptr<Label> classPicLabel(const Rect& frame, double size, const Color& color, TextAlignment alignment) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(size));
    label->setTextColor(color);
    label->setTextAlignment(alignment);
    return label;
}

// Absent: missing, null, "" or "<null>"; the class name and praise flag also take "(null)".
bool classPicAbsent(const Json& post, const char* key, bool nullText = false) {
    return nullText ? post::isBlankOrNullText(valueFor(post, key)) : post::isBlank(valueFor(post, key));
}

}  // namespace

std::shared_ptr<MVTClassPicCell> MVTClassPicCell::make() {
    auto cell = std::make_shared<MVTClassPicCell>();
    cell->initWithStyle(TableViewCellStyle::Default, kReuseIdentifier);
    return cell;
}

void MVTClassPicCell::showAttachmentThumbnail(const std::shared_ptr<ImageView>& view, const std::string& id, bool single) {
    const long long number = integerValue(id);
    if (number >= 51 && number <= 59) {
        view->setContentMode(ContentMode::ScaleAspectFit);
        view->setImage(Image::imageNamed("feeling_" + std::to_string(number - 50)));
        return;
    }
    view->setContentMode(ContentMode::ScaleAspectFill);
    view->setClipsToBounds(true);
    view->setAccessibilityValue(id);
    const std::string file = isPlainServiceId(id) ? MVTPublicMethod::getPathByFileName("account_" + id, "png") : "";
    if (!file.empty() && MVTPublicMethod::fileExistsAtPath(file) && MVTPublicMethod::isNewmodify(file)) {
        if (auto cached = albums::cachedPicture(file)) {
            view->setImage(cached);
            return;
        }
    }
    std::weak_ptr<ImageView> weak = view;
    // The stale copy goes before the fresh one is written.
    if (!file.empty() && MVTPublicMethod::fileExistsAtPath(file)) std::filesystem::remove(file);
    albums::fetchPicture(albums::thumbnailPath(id, single ? "big" : "m"), file, [weak](std::shared_ptr<Image> image) {
        if (auto target = weak.lock(); target && image) target->setImage(image);
    });
}

void MVTClassPicCell::reloadDataWith(const Json& post) {
    dataDic_ = post.is_object() ? post : Json::object();
    const double W = Screen::mainScreen().bounds().width();
    auto content = contentView();
    auto weak = std::static_pointer_cast<MVTClassPicCell>(shared_from_this());
    std::weak_ptr<MVTClassPicCell> weakSelf = weak;

    // Avatar.
    auto ring = MVTPublicMethod::imageViewWithColor(Color::whiteColor());
    ring->setFrame({8, 8, 44, 44});
    ring->setCornerRadius(22);
    ring->setClipsToBounds(true);
    content->addSubview(ring);
    auto avatar = Button::buttonWithType(ButtonType::Custom);
    avatar->setFrame({10, 10, 40, 40});
    avatar->setBackgroundColor(Color::clear());
    avatar->setCornerRadius(20);
    avatar->setClipsToBounds(true);
    avatar->setImage(Image::imageNamed("default_user"));
    const std::string uid = albums::text(dataDic_, "uid");
    const std::string role = albums::text(dataDic_, "role");
    avatar->setAccessibilityHint(uid);
    avatar->setAccessibilityValue(role);
    content->addSubview(avatar);
    if (isPlainServiceId(uid)) MVTPublicMethod::setFaceImage(avatar, MVTPublicMethod::getPathByFileName(uid, "png"), role);

    auto name = classPicLabel({65, 10, W - 70, 20}, 16, Color::rgba(0.278, 0.533, 0.624), TextAlignment::Left);
    name->setText(albums::text(dataDic_, "name"));
    content->addSubview(name);
    auto time = classPicLabel({W - 200, 7, 190, 20}, 12, Color::white(0.467), TextAlignment::Right);
    if (auto app = MVTAppDelegate::sharedAppDelegate()) time->setText(app->getDateWith(albums::text(dataDic_, "dateline")));
    content->addSubview(time);

    const bool student = !classPicAbsent(dataDic_, "role") && role == "student";
    double y = student ? 55 : 30;
    if (student && !classPicAbsent(dataDic_, "className", true)) {
        const std::string className = albums::text(dataDic_, "className");
        auto classLabel = classPicLabel({65, 30, 190, 20}, 12, Color::rgb255(150, 156, 143), TextAlignment::Left);
        classLabel->setText(className);
        content->addSubview(classLabel);
        time->setFrame({65 + TextMeasure::sizeWithFont(className, Font::systemFontOfSize(12)).width, 30, 190, 20});
    }

    // Text: the title and the content as list items, emoticons and "</br>" lines converted.
    std::string markup;
    if (!classPicAbsent(dataDic_, "title")) markup += "<li>" + albums::text(dataDic_, "title") + "</li>";
    if (!classPicAbsent(dataDic_, "content")) markup += "<li>" + albums::text(dataDic_, "content") + "</li>";
    textView_ = std::make_shared<HtmlTextView>(Rect(65, y, W - 75, 40));
    textView_->setBackgroundColor(Color::clear());
    textView_->setUserInteractionEnabled(false);
    if (!markup.empty()) {
        textView_->setHtml(post::convertText(markup, dataDic_, post::TextConversion{}), postTextOptions(1.2, 1.0));
        const double height = textView_->contentHeightForWidth(W - 70);
        if (height > 0) {
            textView_->setFrame({65, y, W - 70, height});
            y += height + 5;
        }
    }
    content->addSubview(textView_);

    // Thumbnails: the first three picture attachments.
    imageArray_ = Json::array();
    if (const Json& attachments = valueFor(dataDic_, "attachments"); attachments.is_array())
        for (const auto& attachment : attachments)
            if (albums::text(attachment, "type") == "image") imageArray_.push_back(attachment);
    thumbnails_.clear();
    if (!imageArray_.empty()) {
        const double s = (W - 6 - 20 - 45) / 4;
        const std::size_t n = std::min<std::size_t>(imageArray_.size(), 3);
        for (std::size_t k = 0; k < n; ++k) {
            auto thumb = std::make_shared<ImageView>(Rect(65 + (s + 3) * double(k), y, s, s));
            thumb->setBackgroundColor(Color::clear());
            thumb->setTag(int(k));
            thumb->setUserInteractionEnabled(true);
            const int index = int(k);
            thumb->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weakSelf, index](GestureRecognizer&) {
                if (auto self = weakSelf.lock()) self->tapImage(index);
            }));
            showAttachmentThumbnail(thumb, albums::text(imageArray_[k], "id"), n == 1);
            content->addSubview(thumb);
            thumbnails_.push_back(thumb);
        }
        y += s + 5;
    }

    // Comment counter.
    std::string comments = albums::text(dataDic_, "commentCount");
    if (classPicAbsent(dataDic_, "commentCount")) comments = "0";
    const double g = TextMeasure::sizeWithFont(comments, Font::systemFontOfSize(12)).width + 4;
    auto commentBox = std::make_shared<View>(Rect(W - 30 - g, y, g + 20, 30));
    commentBox->setBackgroundColor(Color::clear());
    auto commentIcon = std::make_shared<ImageView>(Rect(5, 7, 13, 13));
    commentIcon->setImage(Image::imageNamed("message_p.png"));
    commentBox->addSubview(commentIcon);
    auto commentLabel = classPicLabel({20, 5, g, 20}, 12, kClassPicCounterGrey, TextAlignment::Right);
    commentLabel->setText(comments);
    commentBox->addSubview(commentLabel);
    content->addSubview(commentBox);

    // Praise.
    const std::string postId = albums::text(dataDic_, "id");
    praiseBtn_ = Button::buttonWithType(ButtonType::Custom);
    praiseBtn_->setFrame({commentBox->frame().x() - 61, y, 61, 30});
    praiseBtn_->setBackgroundColor(Color::clear());
    praiseBtn_->setAccessibilityHint(postId);
    praiseBtn_->addTarget(ControlEventTouchUpInside, [weakSelf](Control&) {
        if (auto self = weakSelf.lock()) self->praiseBtnClicked();
    });
    auto praiseIcon = std::make_shared<ImageView>(Rect(15, 7, 13, 13));
    praiseIcon->setTag(kPraiseIconTag);
    praiseBtn_->addSubview(praiseIcon);
    auto praiseCount = classPicLabel({33, 5, 40, 20}, 12, kClassPicCounterGrey, TextAlignment::Left);
    praiseCount->setTag(kPraiseCountTag);
    praiseCount->setText(albums::text(dataDic_, "likeCount"));
    praiseBtn_->addSubview(praiseCount);
    const bool praised = !classPicAbsent(dataDic_, "love", true) && intValue(albums::text(dataDic_, "love")) != 0;
    praiseIcon->setImage(Image::imageNamed(praised ? "liked.png" : "like.png"));
    praiseBtn_->setUserInteractionEnabled(!praised);
    content->addSubview(praiseBtn_);

    // Delete, on the user's own posts.
    deleteBtn_.reset();
    const std::string me = MVTAccount::sharedInstance().userId().value_or("");
    if (!me.empty() && integerValue(me) == integerValue(uid)) {
        deleteBtn_ = Button::buttonWithType(ButtonType::Custom);
        deleteBtn_->setFrame({praiseBtn_->frame().x() - 60, y, 60, 36});
        deleteBtn_->setBackgroundColor(Color::clear());
        deleteBtn_->setAccessibilityHint(postId);
        deleteBtn_->addTarget(ControlEventTouchUpInside, [weakSelf](Control&) {
            if (auto self = weakSelf.lock()) self->toDeletePic();
        });
        auto label = classPicLabel({0, 5, 50, 20}, 14, kClassPicCounterGrey, TextAlignment::Right);
        label->setText(localized("删除"));
        deleteBtn_->addSubview(label);
        content->addSubview(deleteBtn_);
    }

    y += 35;
    Color bar = Color::rgba(0.953, 0.643, 0.153);
    if (role == "teacher" || role == "admin" || role == "system") bar = Color::rgba(0.318, 0.729, 0.969);
    else if (role == "parent") bar = Color::white(0.51);
    auto roleBar = MVTPublicMethod::imageViewWithColor(bar);
    roleBar->setFrame({0, 3, 3, y - 6});
    roleBar->setBackgroundColor(bar);
    content->addSubview(roleBar);
    auto line = std::make_shared<View>(Rect(65, y + 4, W - 60, 0.5));
    line->setBackgroundColor(Color::rgb255(217, 222, 216));
    content->addSubview(line);
    setFrame({0, 0, W, y + 5});
}

void MVTClassPicCell::tapImage(int index) {
    if (auto delegate = delegate_.lock()) delegate->showImage(imageArray_, index);
}

void MVTClassPicCell::praiseBtnClicked() {
    if (auto delegate = delegate_.lock(); delegate && praiseBtn_) delegate->sendPraisePicWith(*praiseBtn_);
}

void MVTClassPicCell::toDeletePic() {
    if (!deleteBtn_) return;
    pendingDeletePostId() = deleteBtn_->accessibilityHint();
    auto alert = AlertView::make(localized("确认删除？"), localized("该操作只会删除此动态不会删除图片"),
                                 std::static_pointer_cast<MVTClassPicCell>(shared_from_this()), localized("取消"),
                                 {localized("删除")});
    alert->setTag(kDeleteAlertTag);
    alert->show();
}

void MVTClassPicCell::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() != kDeleteAlertTag || index != 1) return;
    if (auto delegate = delegate_.lock()) delegate->toDeletePicWith(pendingDeletePostId(), contentView()->tag());
}
