// The comment bar over every tab, the post action sheets of the feed lists and the
// join-a-class alert they share (the publish menu uses it too).
#include "shell/MyTabBarController.h"

#include "account/MVTInterClassViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "feed/MVTHomeViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/HttpClient.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/Values.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Window.h"


using namespace platform;

namespace {

constexpr double kBarHeight = 50;
constexpr double kFacePanelHeight = 216;
constexpr double kCommentTimeout = 30;
const Color kLineColor = Color::rgb255(217, 222, 216);

double commentScreenWidth() { return Screen::mainScreen().bounds().width(); }

std::string role() { return MVTAccount::sharedInstance().role().value_or(""); }

Rect textViewFrame() { return Rect(50, 9, commentScreenWidth() - 120, 32); }

struct SheetEntry {
    const char* code;
    long tag;
    std::vector<const char*> buttons;
    std::vector<const char*> answers;
};

const std::vector<SheetEntry>& sheets() {
    static const std::vector<SheetEntry> table = {
        {"0", 10, {"查 看", "举 报"}, {"0", "4"}},
        {"1", 11, {"查 看", "转 发", "举 报"}, {"0", "1", "4"}},
        {"2", 12, {"查 看", "删 除"}, {"0", "1"}},
        {"3", 13, {"查 看", "删 除", "转 发"}, {"0", "1", "2"}},
    };
    return table;
}

}  // namespace

// ---- Comment bar --------------------------------------------------------------------------

void MyTabBarController::initButtomView() {
    if (commentBgView_) return;
    auto root = view();
    const double width = commentScreenWidth();
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());

    if (!commentBgBtn_) {
        commentBgBtn_ = std::make_shared<Button>(Rect(0, 0, width, Screen::mainScreen().bounds().height()));
        commentBgBtn_->setBackgroundColor(Color::clear());
        commentBgBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->closeComment();
        });
        root->addSubview(commentBgBtn_);
        commentBgBtn_->setHidden(true);
    }

    commentBgView_ = std::make_shared<View>(Rect(0, root->bounds().height(), width, kBarHeight));
    commentBgView_->setBackgroundColor(Color::rgb255(246, 248, 245));
    auto line = std::make_shared<View>(Rect(0, 0, width, 0.6));
    line->setBackgroundColor(kLineColor);
    commentBgView_->addSubview(line);

    faceBtn_ = std::make_shared<Button>(Rect(5, 5, 40, 40));
    faceBtn_->setImage(Image::imageNamed("emoji"));
    faceBtn_->setImage(Image::imageNamed("emoji_h"), ControlStateHighlighted);
    faceBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->faceBtClick();
    });
    commentBgView_->addSubview(faceBtn_);

    auto send = std::make_shared<Button>(Rect(width - 60, 14, 50, 30));
    send->setTitle(localized("发送"));
    send->titleLabel()->setFont(Font::systemFontOfSize(14));
    send->setTitleColor(Color::rgb255(85, 85, 85));
    send->setTitleColor(Color::whiteColor(), ControlStateHighlighted);
    send->setBackgroundImage(Image::imageWithColor(Color::rgb255(252, 255, 251)));
    send->setBackgroundImage(Image::imageWithColor(Color::rgb255(65, 166, 219)), ControlStateHighlighted);
    send->setCornerRadius(6);
    send->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toSendCommentData();
    });
    commentBgView_->addSubview(send);

    // The return key writes a line break; only the send button sends.
    commentTextView_ = std::make_shared<TextView>(textViewFrame());
    commentTextView_->setReturnKeyType(ReturnKeyType::Send);
    commentTextView_->setBorderWidth(0.6);
    commentTextView_->setBorderColor(kLineColor);
    commentTextView_->setCornerRadius(15);
    commentTextView_->setFont(Font::systemFontOfSize(16));
    commentTextView_->setTextAlignment(TextAlignment::Left);
    commentBgView_->addSubview(commentTextView_);

    root->addSubview(commentBgView_);
    commentBgView_->setHidden(true);

    initPublishMenu();
}

void MyTabBarController::showJoinClassAlert() {
    MVTInterClassViewController::showJoinClassAlert(weakAs<AlertViewDelegate>());
}

void MyTabBarController::toCommentDynamic(const Notification& notification) {
    if (MVTPublicMethod::isUnClassId()) {
        showJoinClassAlert();
        return;
    }
    commentDynamicId_ = textOf(notification.object);
    keyBoardH_ = 0;
    commentBgBtn_->setHidden(false);
    commentBgView_->setHidden(false);
    // A comment that was not accepted (or a bar closed before sending) comes back for its post.
    auto draft = commentDrafts_.find(commentDynamicId_);
    commentTextView_->setText(draft == commentDrafts_.end() ? "" : draft->second);
    commentTextView_->becomeFirstResponder();
}

void MyTabBarController::keyboardWillShow(const Notification& notification) {
    keyBoardH_ = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey).height();
    if (myFaceView_) myFaceView_->setHidden(true);
    if (!commentBgView_) return;
    const double top = view()->bounds().height() - kBarHeight - keyBoardH_;
    animate(0.24, [this, top] { commentBgView_->setFrame(Rect(0, top, commentScreenWidth(), kBarHeight)); });
}

void MyTabBarController::faceBtClick() {
    commentTextView_->resignFirstResponder();
    const double height = view()->bounds().height();
    commentBgView_->setFrame(Rect(0, height - kBarHeight - kFacePanelHeight, commentScreenWidth(), kBarHeight));
    if (!myFaceView_) {
        myFaceView_ = std::make_shared<MVTFacialView>();
        myFaceView_->initWithFrame(Rect(0, height - kFacePanelHeight, commentScreenWidth(), kFacePanelHeight));
        myFaceView_->setDelegate(std::static_pointer_cast<MyTabBarController>(shared_from_this()));
        view()->addSubview(myFaceView_);
        myFaceView_->setHidden(true);
    }
    if (myFaceView_->isHidden()) myFaceView_->setHidden(false);
}

void MyTabBarController::selectedFacialView(const std::string& token) {
    commentTextView_->setText(commentTextView_->text() + token);
}

void MyTabBarController::sendMessage() {
    if (myFaceView_) myFaceView_->setHidden(true);
    commentTextView_->becomeFirstResponder();
}

void MyTabBarController::toSendCommentData() {
    const std::string text = commentTextView_->text();
    std::string bare;
    for (char c : text)
        if (c != ' ' && c != '\n') bare += c;
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    if (bare.empty()) {
        AlertView::make("", "内容不能为空", weak, localized("确定"))->show();
        return;
    }

    const std::string url = ServiceAddress::servicePrefix() + "user/" +
                            MVTAccount::sharedInstance().userId().value_or("") + "/" + commentDynamicId_ +
                            "/feedcomment";
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        return;
    }

    showHUDWithBool(true);
    auto request = client->multipartFormRequestWithMethod("POST", url, nullptr, [&text](HttpMultipartForm& form) {
        form.appendPart("msg", text);
    });
    request.setTimeoutInterval(kCommentTimeout);
    const std::string dynamicId = commentDynamicId_;
    // A comment the service did not store is said so: the bar is already closed and the
    // typed text would otherwise vanish without a word.
    auto tellFailure = [weak] {
        if (auto self = weak.lock()) {
            auto alert = AlertView::make("", localized("评论失败，请稍后再试"), weak, localized("确定"));
            alert->setTag(int(kCommentFailedAlertTag));
            alert->show();
        }
    };
    auto operation = client->JSONRequestOperationWithRequest(
        std::move(request),
        [weak, dynamicId, text, tellFailure](HttpJsonRequestOperation&, const nlohmann::json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            if (!reply.is_object() || integerValue(valueFor(reply, "success")) == 0) {
                tellFailure();
                return;
            }
            // Accepted: the draft goes, unless the user has typed on since sending.
            if (auto draft = self->commentDrafts_.find(dynamicId);
                draft != self->commentDrafts_.end() && draft->second == text)
                self->commentDrafts_.erase(draft);
            nlohmann::json comment = valueFor(reply, "comment");
            if (!comment.is_object()) comment = nlohmann::json::object();
            comment["role"] = role();
            const nlohmann::json payload = nlohmann::json::array({dynamicId, comment});
            auto& center = NotificationCenter::defaultCenter();
            center.postNotification(kCommentFormHomeNotification, payload);
            center.postNotification(kCommentFormSquareNotification, payload);
        },
        [weak, tellFailure](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            tellFailure();
        });
    operation->start();
    closeComment();
}

void MyTabBarController::closeComment() {
    if (!commentBgView_) return;
    if (commentBgBtn_) commentBgBtn_->setHidden(true);
    if (myFaceView_) myFaceView_->setHidden(true);
    commentTextView_->resignFirstResponder();
    if (!commentDynamicId_.empty()) commentDrafts_[commentDynamicId_] = commentTextView_->text();
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    const double height = view()->bounds().height();
    animate(
        0.24,
        [this, height] {
            commentBgView_->setFrame(Rect(0, height, commentScreenWidth(), kBarHeight));
            commentTextView_->setFrame(textViewFrame());
        },
        [weak](bool) {
            if (auto self = weak.lock()) self->commentBgView_->setHidden(true);
        });
}

void MyTabBarController::showHUDWithBool(bool show) {
    if (show) {
        if (HUD_) HUD_->removeFromSuperview();
        auto hud = std::make_shared<ProgressHUD>();
        hud->initWithView(view());
        view()->addSubview(hud);
        hud->show(true);
        HUD_ = hud;
    } else if (auto hud = std::dynamic_pointer_cast<ProgressHUD>(HUD_)) {
        hud->hide(true);
    }
}

// ---- Post action sheets -------------------------------------------------------------------

std::vector<std::string> MyTabBarController::dynamicSheetButtons(const std::string& code) {
    for (auto& entry : sheets())
        if (code == entry.code) return {entry.buttons.begin(), entry.buttons.end()};
    return {};
}

long MyTabBarController::dynamicSheetTag(const std::string& code) {
    for (auto& entry : sheets())
        if (code == entry.code) return entry.tag;
    return 0;
}

std::string MyTabBarController::dynamicSheetAnswer(long sheetTag, long index) {
    for (auto& entry : sheets())
        if (entry.tag == sheetTag && index >= 0 && index < long(entry.answers.size())) return entry.answers[index];
    return "";
}

void MyTabBarController::showDynamicActionSheet(const Notification& notification) {
    const std::string code = textOf(notification.object);
    auto buttons = dynamicSheetButtons(code);
    if (buttons.empty()) return;
    std::vector<std::string> titles;
    for (auto& b : buttons) titles.push_back(localized(b));
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    auto sheet = ActionSheet::make("", weak, localized("取 消"), "", titles);
    sheet->setTag(int(dynamicSheetTag(code)));
    View* host = nullptr;
    if (auto window = Window::keyWindow(); window && !window->subviews().empty())
        host = window->subviews().back().get();
    sheet->showInView(host ? host : view().get());
}

void MyTabBarController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (sheet.tag() < 10) return;
    std::shared_ptr<MVTHomeViewController> home;
    if (!viewControllers().empty() && viewControllers()[0]) {
        std::shared_ptr<ViewController> root = viewControllers()[0];
        if (auto stack = root->asNavigationController())
            root = stack->viewControllers().empty() ? nullptr : stack->viewControllers().front();
        home = std::dynamic_pointer_cast<MVTHomeViewController>(root);
    }
    std::string name = kShowSelectedWhichWithNotification;
    if (home) {
        if (!home->showAS() && home->squareViewController() && home->squareViewController()->showAS())
            name = kShowSquareSelectedWhichWithNotification;
        home->setShowAS(false);
        if (home->squareViewController()) home->squareViewController()->setShowAS(false);
    }
    if (index == sheet.cancelButtonIndex()) return;
    const std::string code = dynamicSheetAnswer(sheet.tag(), index);
    if (!code.empty()) NotificationCenter::defaultCenter().postNotification(name, code);
}

void MyTabBarController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    MVTInterClassViewController::answerJoinClassAlert(*this, alert, index);
}
