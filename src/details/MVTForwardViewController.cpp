// The forward screen: the post drawn read-only at the top, the comment field and send
// button at the bottom, the teacher's visibility row, and the one multipart request.

#include "details/MVTForwardViewController.h"
#include "details/PostReport.h"

#include "feed/PostKindRenderer.h"
#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/Touch.h"

using namespace platform;

namespace {

const Color kForwardGrey = Color::rgba(150 / 255.0, 156 / 255.0, 143 / 255.0);
const Color kForwardLine = Color::rgba(217 / 255.0, 222 / 255.0, 216 / 255.0);

double forwardWidth() { return Screen::mainScreen().bounds().width(); }

const char* const kSheetItems[] = {"全校可见", "我的好友", "全校教师", "我的学生", "学生家长"};

// The post's drawing parts the forward screen shares with the post cell (forwarded box,
// file and link rows, thumbnails of the service's "size=m"), on the screen's copy of
// the post. Nothing it draws acts: the screen's post view takes no touches.
class ForwardPostRenderer : public PostKindRenderer {
public:
    explicit ForwardPostRenderer(const Json& post) : post_(post) {}
    void setImageArray(const Json& pictures) { imageArray_ = pictures; }
    void setSelf(const std::shared_ptr<ForwardPostRenderer>& self) { self_ = self; }

protected:
    const Json& postRecord() const override { return post_; }
    std::shared_ptr<CellDelegate> postDelegate() const override { return nullptr; }
    int voteIndex() const override { return 0; }
    int voiceIndex() const override { return 0; }
    std::weak_ptr<HtmlTextViewDelegate> textDelegate() override { return {}; }
    std::weak_ptr<PostKindRenderer> renderer() override { return self_; }

private:
    const Json& post_;
    std::weak_ptr<ForwardPostRenderer> self_;
};

std::shared_ptr<ForwardPostRenderer> forwardRenderer(const Json& post) {
    auto renderer = std::make_shared<ForwardPostRenderer>(post);
    renderer->setSelf(renderer);
    return renderer;
}

}  // namespace

std::shared_ptr<Button> addPostAvatar(View& host, double x, double y, const Json& post) {
    const std::string uid = textOf(post, "uid"), role = textOf(post, "role");
    auto backdrop = MVTPublicMethod::imageViewWithColor(Color::whiteColor());
    backdrop->setFrame({x, y, 44, 44});
    backdrop->setCornerRadius(22);
    backdrop->setClipsToBounds(true);
    host.addSubview(backdrop);
    auto avatar = std::make_shared<Button>(Rect(x + 2, y + 2, 40, 40));
    avatar->setBackgroundColor(Color::clear());
    avatar->setCornerRadius(20);
    avatar->setClipsToBounds(true);
    avatar->setImage(Image::imageNamed("default_user"));
    avatar->setAccessibilityHint(uid);
    avatar->setAccessibilityValue(role);
    MVTPublicMethod::setFaceImage(avatar, MVTPublicMethod::getPathByFileName(uid, "png"), role);
    host.addSubview(avatar);
    return avatar;
}

void MVTForwardViewController::initWithDic(const Json& post) { myDict_ = post.is_object() ? post : Json::object(); }

double MVTForwardViewController::topInset() const { return SDH; }

int MVTForwardViewController::permissionCodeFor(long position) {
    static const int codes[] = {-1, 1, 2, 3, 4};
    return position >= 0 && position < 5 ? codes[position] : -1;
}

std::string MVTForwardViewController::visibilityLabelFor(const Json& post, const std::string& viewerId,
                                                         const std::string& viewerRole) {
    if (!post::isOwn(post, viewerId) || viewerRole == "parent") return "";
    const Json& perm = valueFor(post, "perm");
    if (post::isBlank(perm) || textOf(perm).empty()) return "";
    const long long code = integerValue(perm);
    static const char* teacher[] = {"全校可见", "我的关系可见", "我的好友可见", "全校老师可见", "我的学生可见", "学生家长可见"};
    static const char* student[] = {"", "班级可见", "我的好友可见", "我的老师可见", "我的同学可见", "我的家长可见"};
    // Codes outside the lists (below 0, above 4) show no label.
    if (code < 0 || code > 4) return "";
    const char* key = (viewerRole == "student" ? student : teacher)[code + 1];
    return *key ? localized(key) : std::string();
}

void MVTForwardViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    permissionNum_ = -1;
    setTitle(localized("转发"));
    auto weak = weakAs<MVTForwardViewController>();
    leftBtn_ = MVTPublicMethod::navigationleftBarButton();
    leftBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(leftBtn_));
    initScroll();
}

void MVTForwardViewController::initScroll() {
    const double H = view()->bounds().height();
    if (!myView_) {
        myView_ = std::make_shared<ScrollView>(Rect(0, 0, view()->bounds().width(), H - topInset() - 100));
        view()->addSubview(myView_);
    }
    createHeadView();
    initButtomView();
}

void MVTForwardViewController::initButtomView() {
    const double W = forwardWidth(), H = view()->bounds().height();
    auto weak = weakAs<MVTForwardViewController>();
    if (!touchDownView_) {
        touchDownView_ = std::make_shared<View>(Rect(0, 0, W, Screen::mainScreen().bounds().height() - 216));
        touchDownView_->setBackgroundColor(Color::clear());
        touchDownView_->setTag(kTouchDownTag);
        touchDownView_->setUserInteractionEnabled(false);
        touchDownView_->setHidden(true);
        view()->addSubview(touchDownView_);
    }
    buttomView_ = std::make_shared<ImageView>(Rect(0, H - topInset() - 100, W, 54));
    buttomView_->setImage(Image::imageNamed("toolsbarbg"));
    buttomView_->setUserInteractionEnabled(true);
    view()->addSubview(buttomView_);
    messageTextView_ = std::make_shared<TextView>(Rect(10, 13, W - 75, 32));
    messageTextView_->setReturnKeyType(ReturnKeyType::Done);
    std::weak_ptr<MVTForwardViewController> owner = weakAs<MVTForwardViewController>();
    textDelegate_ = std::make_shared<DetailsTextDelegate>([owner](Range range, const std::string& replacement) {
        auto self = owner.lock();
        return self ? self->textViewShouldChangeText(range, replacement) : true;
    });
    messageTextView_->setDelegate(textDelegate_);
    messageTextView_->setBorderWidth(0.6);
    messageTextView_->setBorderColor(kForwardLine);
    messageTextView_->setCornerRadius(15);
    messageTextView_->setClipsToBounds(true);
    messageTextView_->setFont(Font::systemFontOfSize(16));
    messageTextView_->setTextAlignment(TextAlignment::Left);
    buttomView_->addSubview(messageTextView_);
    sendBtn_ = std::make_shared<Button>(Rect(W - 60, 14, 50, 30));
    sendBtn_->setTitle(localized("发送"));
    sendBtn_->titleLabel()->setFont(Font::systemFontOfSize(14));
    sendBtn_->setTitleColor(Color::white(0.333));
    sendBtn_->setTitleColor(Color::whiteColor(), ControlStateHighlighted);
    sendBtn_->setBackgroundImage(MVTPublicMethod::imageViewWithColor(Color::rgba(0.988, 1.0, 0.984))->image());
    sendBtn_->setBackgroundImage(MVTPublicMethod::imageViewWithColor(Color::rgba(0.255, 0.651, 0.859))->image(),
                                 ControlStateHighlighted);
    sendBtn_->setCornerRadius(6);
    sendBtn_->setClipsToBounds(true);
    sendBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->sendButton();
    });
    buttomView_->addSubview(sendBtn_);
}

// ---- The post

void MVTForwardViewController::createHeadView() {
    const double W = forwardWidth();
    auto renderer = forwardRenderer(myDict_);
    postRenderer_ = renderer;
    headView_ = std::make_shared<View>(Rect(0, 0, W, 0));
    headView_->setBackgroundColor(Color::clear());
    headView_->setUserInteractionEnabled(false);
    myView_->addSubview(headView_);
    const std::string uid = textOf(myDict_, "uid"), role = textOf(myDict_, "role");

    addPostAvatar(*headView_, 8, 13, myDict_);

    auto label = [](const Rect& frame, double size, const Color& colour, const std::string& text,
                    TextAlignment alignment = TextAlignment::Left) {
        auto l = std::make_shared<Label>(frame);
        l->setBackgroundColor(Color::clear());
        l->setFont(Font::systemFontOfSize(size));
        l->setTextColor(colour);
        l->setTextAlignment(alignment);
        l->setText(text);
        return l;
    };
    headView_->addSubview(label({60, 15, W - 65, 20}, 16, Color::rgba(0.278, 0.533, 0.624), textOf(myDict_, "name")));
    headView_->addSubview(label({W - 200, 12, 190, 20}, 12, kForwardGrey,
                                MVTAppDelegate::sharedAppDelegate()->getDateWith(Json(textOf(myDict_, "dateline"))),
                                TextAlignment::Right));
    double y = 35;
    if (role == "student" && !post::isBlankOrNullText(valueFor(myDict_, "className"))) {
        headView_->addSubview(label({60, 35, 190, 20}, 12, kForwardGrey, textOf(myDict_, "className")));
        y = 60;
    }
    const Json& content = valueFor(myDict_, "content");
    if (!post::isBlank(content) && !textOf(content).empty()) {
        auto text = std::make_shared<HtmlTextView>(Rect(60, y, W - 70, 40));
        text->setBackgroundColor(Color::clear());
        text->setContentInsets({0, 0, 0, 0});
        post::TextConversion conversion;
        conversion.suffixKey = "more";
        text->setHtml(post::convertText(textOf(content), myDict_, conversion), postTextOptions(1.2, 1.1));
        const double height = text->contentHeightForWidth(W - 70);
        text->setFrame({60, y, W - 70, height});
        text->setUserInteractionEnabled(false);
        headView_->addSubview(text);
        y += height;
    }
    const Json& share = post::objectOf(myDict_, "share");
    if (share.contains("name") || share.contains("none")) {
        isShare_ = true;
        auto box = renderer->showShareWithDic(share, y);
        headView_->addSubview(box);
        y += box->frame().height() + 5;
    }
    y += 5;
    if (!isShare_) {
        const post::Attachments split = post::splitAttachments(myDict_);
        imageArray_ = split.pictures;
        renderer->setImageArray(imageArray_);
        if (!imageArray_.empty()) {
            const int n = int(std::min<std::size_t>(imageArray_.size(), 9));
            double f = (W - 71) / 4;
            for (int i = 0; i < n; ++i) {
                auto picture = std::make_shared<ImageView>(Rect(55 + (f + 3) * (i % 4), y + (f + 3) * (i / 4), f, f));
                picture->setTag(i);
                const long long id = integerValue(valueFor(imageArray_[std::size_t(i)], "id"));
                if (id >= 51 && id <= 59) {
                    picture->setFrame({55, picture->frame().y(), 158, 158});
                    picture->setImage(Image::imageNamed("feeling_" + std::to_string(id - 50)));
                    picture->setContentMode(ContentMode::ScaleAspectFit);
                    f = 158;
                } else {
                    picture->setClipsToBounds(true);
                    picture->setContentMode(ContentMode::ScaleAspectFill);
                    renderer->toShowAttachmentsImage(picture);
                }
                headView_->addSubview(picture);
            }
            y += n <= 4 ? f + 5 : (n <= 8 ? 2 * f + 8 : 3 * f + 11);
        }
        if (!split.voices.empty()) y = addVoiceRow(*headView_, split.voices[0], 52.5, y);
        if (!split.files.empty()) {
            y += 5;
            for (const auto& file : split.files) {
                headView_->addSubview(rowButton(file, false, {60, y, W - 75, 40}));
                y += 45;
            }
        }
        const Json& links = post::listOf(myDict_, "links");
        if (!links.empty()) {
            y += 5;
            for (const auto& link : links) {
                headView_->addSubview(rowButton(link, true, {60, y, W - 75, 40}));
                y += 45;
            }
        }
    }
    const std::string viewerId = MVTAccount::sharedInstance().userId().value_or("");
    const std::string viewerRole = MVTAccount::sharedInstance().role().value_or("");
    const std::string visibility = visibilityLabelFor(myDict_, viewerId, viewerRole);
    if (!visibility.empty()) {
        const double width = TextMeasure::size(visibility, Font::systemFontOfSize(12)).width + 4;
        headView_->addSubview(label({60, y, width, 20}, 12, Color::lightGray(), visibility));
        y += 20;
    }
    auto line = std::make_shared<View>(Rect(10, y + 4, W - 20, 0.6));
    line->setBackgroundColor(kForwardLine);
    headView_->addSubview(line);
    headView_->setFrame({0, 0, W, y + 5});
    if (viewerRole == "teacher") {
        myPermissionView();
        permissionView_->setFrame({10, y + 5, W - 20, 40});
        myView_->addSubview(permissionView_);
    }
    myView_->setContentSize({W, y + 55});
    if (buttomView_) view()->bringSubviewToFront(buttomView_);
}

double MVTForwardViewController::addVoiceRow(View& parent, const Json& voice, double x, double y) {
    const double W = forwardWidth();
    auto button = std::make_shared<Button>(Rect(x, y, 44, 44));
    button->setImage(Image::imageNamed("new_play"));
    button->setImageEdgeInsets({2.5, 2.5, 2.5, 2.5});
    parent.addSubview(button);
    auto level = std::make_shared<ImageView>(Rect(94, y + 15.5, 168, 13));
    level->setImage(Image::imageNamed("play_bo01"));
    parent.addSubview(level);
    const Json& duration = valueFor(voice, "duration");
    if (!post::isBlank(duration) && !textOf(duration).empty()) {
        const std::string text = textOf(duration) + "″";
        const double width = TextMeasure::size(text, Font::systemFontOfSize(14)).width + 4;
        auto label = std::make_shared<Label>(Rect(W - width - 10, y + 12, width, 20));
        label->setFont(Font::systemFontOfSize(14));
        label->setTextAlignment(TextAlignment::Center);
        label->setTextColor(kForwardGrey);
        label->setText(text);
        parent.addSubview(label);
        level->setFrame({(label->frame().x() - 94 - 168) / 2 + 94, y + 15.5, 168, 13});
    }
    return button->frame().maxY() + 5;
}

std::shared_ptr<View> MVTForwardViewController::rowButton(const Json& entry, bool link, const Rect& frame) {
    auto renderer = postRenderer_;
    std::shared_ptr<Button> row = link ? renderer->getLinksButtonWith(entry) : renderer->getAttachsButtonWith(entry);
    row->setFrame(frame);
    row->setCornerRadius(2);
    row->setClipsToBounds(true);
    row->setBorderWidth(0.6);
    row->setBorderColor(Color::white(0.882));
    row->setEnabled(false);
    row->removeAllTargets();
    return row;
}

void MVTForwardViewController::myPermissionView() {
    if (permissionView_) return;
    const double W = forwardWidth();
    permissionView_ = std::make_shared<Button>(Rect(10, 0, W - 20, 40));
    permissionView_->setBackgroundColor(Color::clear());
    auto weak = weakAs<MVTForwardViewController>();
    std::static_pointer_cast<Button>(permissionView_)->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->choosePermission();
    });
    auto label = std::make_shared<Label>(Rect(5, 5, W - 40, 30));
    label->setBackgroundColor(Color::clear());
    label->setTextColor(Color::white(0.333));
    label->setFont(Font::systemFontOfSize(14));
    label->setText(localized("全校可见"));
    label->setTag(kPermissionLabelTag);
    permissionView_->addSubview(label);
    auto arrow = std::make_shared<ImageView>(Rect(W - 46, 16, 16, 8));
    arrow->setImage(Image::imageNamed("dydown.png"));
    permissionView_->addSubview(arrow);
    auto line = std::make_shared<View>(Rect(0, 39.4, W - 20, 0.6));
    line->setBackgroundColor(kForwardLine);
    permissionView_->addSubview(line);
    permissionNum_ = -1;
}

void MVTForwardViewController::choosePermission() {
    std::vector<std::string> items;
    for (const char* item : kSheetItems) items.push_back(localized(item));
    auto sheet = ActionSheet::make("", weakAs<ActionSheetDelegate>(), localized("取消"), "", items);
    sheet->setTag(kPermissionSheetTag);
    sheet->showInView(view().get());
}

void MVTForwardViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (sheet.tag() != kPermissionSheetTag || index == sheet.cancelButtonIndex() || index < 0 || index > 4) return;
    permissionNum_ = permissionCodeFor(index);
    if (auto label = std::dynamic_pointer_cast<Label>(permissionView_->viewWithTag(kPermissionLabelTag)))
        label->setText(localized(kSheetItems[index]));
    const std::string uid = MVTAccount::sharedInstance().userId().value_or("");
    const std::string position = std::to_string(index);
    if (!MVTtirraDataBase::selectSaveVisibleWith(uid).empty()) MVTtirraDataBase::updateSaveVisibleWith(uid, position);
    else MVTtirraDataBase::insertSaveVisible(position, uid);
}

// ---- Sending

void MVTForwardViewController::showHUDWithBool(bool show) {
    if (!show) {
        if (HUD_) HUD_->hide(true);
        return;
    }
    if (HUD_) HUD_->removeFromSuperview();
    HUD_ = ProgressHUD::showHUDAddedTo(view(), true);
}

void MVTForwardViewController::showForwardAlert(const std::string& title) {
    auto alert = AlertView::make(title, "", weakAs<AlertViewDelegate>(), localized("知道了"));
    alert->setTag(0);
    alert->show();
}

void MVTForwardViewController::sendFinished() {
    issending_ = false;
    showHUDWithBool(false);
}

void MVTForwardViewController::sendButton() {
    if (issending_) return;
    issending_ = true;
    if (messageTextView_->isFirstResponder()) messageTextView_->resignFirstResponder();
    hideKeyboard();
    showHUDWithBool(true);
    const std::string uid = MVTAccount::sharedInstance().userId().value_or("");
    const std::string address = ServiceAddress::servicePrefix() + "user/" + uid + "/share/" + textOf(myDict_, "id");
    auto client = MVTPublicMethod::clientWithUrl(address);
    if (!client) {
        sendFinished();
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    const std::string message = messageTextView_->text();
    const std::string permission = std::to_string(permissionNum_);
    UrlRequest request = client->multipartFormRequestWithMethod("POST", address, nullptr, [&](HttpMultipartForm& form) {
        form.appendPart("message", message);
        form.appendPart("permission", permission);
    });
    request.setTimeoutInterval(kForwardTimeout);
    auto weak = weakAs<MVTForwardViewController>();
    auto operation = client->JSONRequestOperationWithRequest(
        std::move(request),
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->sendFinished();
            if (!reply.is_object()) {
                self->showForwardAlert(localized("转发失败，请重试"));
            } else if (integerValue(valueFor(reply, "success")) != 0) {
                if (auto opener = self->delegate()) opener->showTurnSuccessWith(localized("转发成功"));
                self->goback();
            } else {
                self->showForwardAlert(textOf(reply, "message"));
            }
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->sendFinished();
            self->showForwardAlert(localized("转发失败，请重试"));
        });
    operation->start();
}

// ---- Leaving

void MVTForwardViewController::toback() {
    if (messageTextView_->text().empty()) {
        goback();
        return;
    }
    auto alert = AlertView::make(localized("提示"), localized("放弃此次编辑？"), weakAs<AlertViewDelegate>(),
                                 localized("取消"), {localized("确定")});
    alert->setTag(kLeaveAlertTag);
    alert->show();
}

void MVTForwardViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kLeaveAlertTag && index == 1) goback();
}

void MVTForwardViewController::goback() {
    if (view()->tag() == kModalTag) {
        dismissViewController(true);
        return;
    }
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

// ---- Keyboard

void MVTForwardViewController::viewDidAppear(bool animated) {
    ViewViewController::viewDidAppear(animated);
    auto weak = weakAs<MVTForwardViewController>();
    auto& centre = NotificationCenter::defaultCenter();
    keyboardTokens_.clear();
    keyboardTokens_.push_back(centre.addObserver("UIKeyboardWillChangeFrameNotification", [weak](const Notification& n) {
        if (auto self = weak.lock()) self->keyboardChange(n);
    }));
    keyboardTokens_.push_back(centre.addObserver(kKeyboardDidShowNotification, [weak](const Notification& n) {
        if (auto self = weak.lock()) self->keyboardWillShow(n);
    }));
    keyboardTokens_.push_back(centre.addObserver(kKeyboardWillHideNotification, [weak](const Notification&) {
        if (auto self = weak.lock()) self->hideKeyboard();
    }));
}

void MVTForwardViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    keyboardTokens_.clear();
}

void MVTForwardViewController::keyboardWillShow(const Notification& notification) {
    touchDownView_->setHidden(false);
    view()->bringSubviewToFront(buttomView_);
    const double keyboard = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey).height();
    const double W = forwardWidth(), H = view()->bounds().height();
    auto scroll = myView_;
    auto bar = buttomView_;
    animate(0.3, [=] {
        scroll->setFrame({0, 0, W, H - keyboard - 51});
        bar->setFrame({0, scroll->frame().height() - 4, W, 59});
    });
}

void MVTForwardViewController::keyboardChange(const Notification& notification) {
    const double keyboard = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey).height();
    const double W = forwardWidth(), H = view()->bounds().height();
    myView_->setFrame({0, 0, W, H - keyboard - 51});
    buttomView_->setFrame({0, myView_->frame().height() - 4, W, 59});
}

void MVTForwardViewController::hideKeyboard() {
    if (!touchDownView_) return;
    touchDownView_->setHidden(true);
    const double W = forwardWidth(), H = view()->bounds().height();
    auto scroll = myView_;
    auto bar = buttomView_;
    animate(0.3, [=] {
        scroll->setFrame({0, 0, W, H - 51});
        bar->setFrame({0, scroll->frame().height() - 4, W, 59});
    });
}

void MVTForwardViewController::touchesBegan(const Touches& touches) {
    if (touches.empty() || !touchDownView_ || touchDownView_->isHidden()) return;
    const Point at = touches.front()->locationInView(touchDownView_.get());
    if (Rect(0, 0, forwardWidth(), buttomView_->frame().y()).contains(at)) {
        messageTextView_->resignFirstResponder();
        hideKeyboard();
    }
}

bool MVTForwardViewController::textViewShouldChangeText(Range, const std::string& replacement) {
    if (replacement != "\n") return true;
    hideKeyboard();
    messageTextView_->resignFirstResponder();
    return false;
}
