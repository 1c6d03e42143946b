// The detail screen's tool bar (praise, comment, forward, share link, report, chosen by the
// item's kind and author) and the report page's address.

#include "details/MVTDetailsViewController.h"
#include "details/PostReport.h"

#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTReportViewController.h"
#include "shell/myNavigationController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/MyMD5.h"
#include "core/ServiceAddress.h"

#include "platform/Files.h"
#include "platform/RunLoop.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

#include <algorithm>
#include <cctype>

using namespace platform;

namespace {

struct ToolButton {
    const char* title;
    const char* image;
    const char* pressed;
};

const ToolButton kToolButtons[] = {{"赞", "d_praise", "d_praise_pressed"},
                                   {"评论", "d_comment", "d_comment_pressed"},
                                   {"转发", "d_return", "d_return_pressed"},
                                   {"分享", "d_share", "d_share_pressed"},
                                   {"举报", "d_jubao", "d_jubao_pressed"}};

const ToolButton* toolButtonTitled(const std::string& title) {
    for (const auto& button : kToolButtons)
        if (title == button.title) return &button;
    return nullptr;
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

}  // namespace

std::string postReportAddress(const Json& post, const std::string& viewerId) {
    const std::string id = textOf(post, "id"), uid = textOf(post, "uid"), type = textOf(post, "type");
    const std::string token = MVTAppDelegate::sharedAppDelegate()->getTokenWith(viewerId + uid + id + type);
    // The token already carries its own "&timestamp=" and "&random=" fields.
    return ServiceAddress::baseUrl() + "report/" + percentEscape(id) + "?targetUid=" + percentEscape(uid) +
           "&uid=" + percentEscape(viewerId) + "&name=" + percentEscape(textOf(post, "name")) +
           "&type=" + percentEscape(type) + "&token=" + token + "&mobile=1";
}

std::vector<std::string> MVTDetailsViewController::toolTitlesFor(const Json& item, const std::string& viewerId) {
    const std::string type = textOf(item, "type");
    const bool own = post::isOwn(item, viewerId);
    if (type == "vote") return own ? std::vector<std::string>{"赞", "评论"} : std::vector<std::string>{"赞", "评论", "举报"};
    if (type == "share" || type == "essay") {
        std::vector<std::string> titles{"赞", "评论", "转发", "分享"};
        if (!own) titles.push_back("举报");
        return titles;
    }
    return {"赞", "评论"};
}

void MVTDetailsViewController::createButtomToolView() {
    const double W = Screen::mainScreen().bounds().width();
    buttomToolView_ = std::make_shared<ImageView>(Rect(0, screenHeight() - 120, W, 56));
    buttomToolView_->setBackgroundColor(Color::rgba(0.961, 0.961, 0.961));
    buttomToolView_->setUserInteractionEnabled(true);
    view()->addSubview(buttomToolView_);
    auto white = std::make_shared<View>(Rect(0, 4, W, 50));
    white->setBackgroundColor(Color::whiteColor());
    white->setUserInteractionEnabled(false);
    auto line = std::make_shared<View>(Rect(0, 0, W, 0.6));
    line->setBackgroundColor(Color::rgb255(217, 222, 216));
    line->setUserInteractionEnabled(false);
    white->addSubview(line);
    buttomToolView_->addSubview(white);

    const auto titles = toolTitlesFor(item(), userId());
    const double w = W / double(titles.size());
    auto weak = weakAs<MVTDetailsViewController>();
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const ToolButton* tool = toolButtonTitled(titles[i]);
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setBackgroundColor(Color::clear());
        button->setFrame({w * double(i), 4, w, 50});
        button->setImage(Image::imageNamed(tool->image));
        button->setImage(Image::imageNamed(tool->pressed), ControlStateHighlighted);
        button->setImageEdgeInsets({5, (w - 24) / 2, 21, (w - 24) / 2});
        button->setAccessibilityValue(tool->title);
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->whichButtomBtnClicked(static_cast<Button&>(control));
        });
        // The tool bar's titles are shown as written, in every language.
        auto label = std::make_shared<Label>(Rect(0, 29, w, 21));
        label->setBackgroundColor(Color::clear());
        label->setFont(Font::systemFontOfSize(12));
        label->setTextAlignment(TextAlignment::Center);
        label->setTextColor(Color::rgba(0.235, 0.235, 0.235));
        label->setTag(kToolLabelTag);
        label->setText(tool->title);
        button->addSubview(label);
        buttomToolView_->addSubview(button);
        if (i == 0) {
            buttomLa_ = label;
            buttomLa_->setText(textOf(item(), "love") == "0" ? "赞" : "已赞");
        }
    }
}

void MVTDetailsViewController::whichButtomBtnClicked(Button& button) {
    if (needsClass()) return;
    const std::string title = button.accessibilityValue();
    if (title == "赞") {
        if (headPraiseBtn_) praiseBtnClicked(*headPraiseBtn_);
    } else if (title == "评论") {
        toSendCommentForDynamic();
    } else if (title == "转发") {
        toForwardViewController();
    } else if (title == "分享") {
        sendBtnClicked(button);
    } else if (title == "举报") {
        reportFeedWithWeb();
    }
}

void MVTDetailsViewController::toForwardViewController() {
    if (needsClass()) return;
    auto forward = std::make_shared<MVTForwardViewController>();
    forward->initWithDic(item());
    forward->setModelName("feed");
    forward->setModelID(textOf(item(), "id"));
    forward->view()->setTag(MVTForwardViewController::kModalTag);
    forward->setDelegate(weakAs<MVTForwardDelegate>());
    presentViewController(myNavigationController::withRoot(forward), true);
}

void MVTDetailsViewController::showTurnSuccessWith(const std::string& text) {
    auto weak = weakAs<MVTDetailsViewController>();
    RunLoop::main().performAfter(0.4, [weak, text] {
        if (auto self = weak.lock()) self->shareResult(text);
    });
}

std::string MVTDetailsViewController::shareKeyFor(const std::string& itemId) {
    return upper(MyMD5::md5(itemId + kShareKeySalt));
}

Json MVTDetailsViewController::shareDictionaryFor(const Json& record, const std::string& plainText) {
    const Json& title = valueFor(record, "title");
    const Json& content = valueFor(record, "content");
    Json share = Json::object();
    share["title"] = MVTPublicMethod::stringIsClassNull(title) ? localized("岚溪校讯动态") : textOf(title);
    if (MVTPublicMethod::stringIsClassNull(content) || plainText.empty()) share["content"] = localized("来自岚溪校讯的分享");
    else share["content"] = plainText;
    share["whereFrom"] = "feed";
    const std::string id = textOf(record, "id");
    share["url"] = ServiceAddress::baseUrl() + "feed/share/" + id + "?key=" + shareKeyFor(id);
    return share;
}

void MVTDetailsViewController::sendBtnClicked(Button& sender) {
    if (needsClass()) return;
    Json share = shareDictionaryFor(item(), msgString_);
    firstPictureForShare();
    if (shareImageData_.empty()) {
        if (auto picture = Image::imageNamed("tirra.png")) shareImageData_ = picture->pngData();
    }
    share["thumbImage"] = shareImageData_;
    share["image"] = shareImageData_;
    shareUrl_ = textOf(share, "url");
    lastShare_ = std::make_shared<Json>(share);
    auto wrapper = MVTShareViewController::shareViewController();
    wrapper->shareTo(share, &sender);
    wrapper->setDelegate(std::dynamic_pointer_cast<shareDelegate>(shared_from_this()));
}

void MVTDetailsViewController::reportFeedWithWeb() {
    if (needsClass()) return;
    reportUrl_ = postReportAddress(item(), userId());
    auto report = std::make_shared<MVTReportViewController>();
    report->setATag(1);
    presentViewController(report, true);
    report->loadRegister(reportUrl_);
    report->setNewTitle(localized("举报"));
}
