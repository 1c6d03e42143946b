#include "composer/MVTAddFeelingController.h"
#include "composer/ComposerScreen.h"

#include "composer/ComposerText.h"
#include "composer/EmojView.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/Clock.h"
#include "platform/Dates.h"
#include "platform/HttpClient.h"
#include "platform/StatisticsKit.h"
#include "platform/UserDefaults.h"
#include "platform/Values.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/TextView.h"

using namespace platform;

namespace {

constexpr const char* kPageName = "发布心情";
constexpr double kSendTimeout = 30;
// The reply is a small number; anything longer is not an answer of the service.
constexpr std::size_t kMaxReplyBytes = 4096;
constexpr double kPanelHeight = 216;


struct Mood {
    const char* name;
    const char* studentPhrase;
    const char* teacherPhrase;
};

const Mood kMoods[MVTAddFeelingController::kMoodCount] = {
    {"天天向上", "新的一天又开始啦~让我们一起天天向上！", "能看到你们每日的成长是老师最幸福的事情。"},
    {"争当学霸", "谁来与我争当学霸！", "要有一颗争当学霸的奋进之心！"},
    {"互帮互助", "学霸快来~把讲解通过图说告诉我吧~", "增强交流，互帮互助，共同进步！"},
    {"上学啦", "太阳当空照，花儿对我笑，我去上学校，天天不迟到。", "不要睡懒觉，每天上学不迟到。"},
    {"放学啦", "让我们那疲劳的眼睛看一看蓝天，让紧张的大脑吹进清风。",
     "让我们那疲劳的眼睛看一看蓝天，让紧张的大脑吹进清风。"},
    {"睡觉啦", "摇啊摇，摇到外婆桥，早睡早起身体好~", "早睡早起身体好~比一比谁做的更好。"},
    {"强身健体", "扭扭脖子伸伸腰，每天锻炼身体好。", "加强体育锻炼，德智体全面发展。"},
    {"天天开心", "开心就是天天笑~一起来发开心图！", "开心就是天天笑~一起来发开心图！"},
    {"放松心情", "放松心情~考试测验全不惧！", "放松心情~考试测验全不惧！"},
};
constexpr const char* kParentFirstPhrase = "能看到孩子们每日的成长是父母最幸福的事情。";

}  // namespace

MVTAddFeelingController::MVTAddFeelingController() = default;

MVTAddFeelingController::~MVTAddFeelingController() {
    if (operation_) operation_->cancel();
}

// ---- The one-a-day rule -------------------------------------------------------------------

std::string MVTAddFeelingController::feelingTimeKey(const std::string& userId) { return userId + "FeelingTime"; }

std::string MVTAddFeelingController::today() { return formatDate(platform::now(), "yyyy-MM-dd", true); }

bool MVTAddFeelingController::sentToday(const std::string& userId) {
    const auto stored = UserDefaults::standard().stringForKey(feelingTimeKey(userId));
    return stored && stored->substr(0, 10) == today();
}

void MVTAddFeelingController::recordToday(const std::string& userId) {
    auto& defaults = UserDefaults::standard();
    defaults.setString(feelingTimeKey(userId), today());
    defaults.synchronize();
}

nlohmann::json MVTAddFeelingController::moodRecords(const std::string& role) {
    nlohmann::json records = nlohmann::json::array();
    for (int i = 0; i < kMoodCount; ++i) {
        const Mood& mood = kMoods[i];
        std::string phrase = role == "student" ? mood.studentPhrase : mood.teacherPhrase;
        if (role != "student" && role != "teacher" && i == 0) phrase = kParentFirstPhrase;
        records.push_back({{"image", std::to_string(i + 1) + ".png"},
                           {"text", localized(phrase)},
                           {"num", std::to_string(i + 1)},
                           {"feeling", localized(mood.name)}});
    }
    return records;
}

// ---- Loading and layout -------------------------------------------------------------------

void MVTAddFeelingController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    setTitle(localized("今天心情如何？"));
    std::weak_ptr<MVTAddFeelingController> weak = weakAs<MVTAddFeelingController>();
    tempBtn = MVTPublicMethod::navigationleftBarButton();
    tempBtn->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(tempBtn));
    sendButton_ = Button::buttonWithType(ButtonType::Custom);
    sendButton_->setFrame({0, 0, 44, 44});
    sendButton_->setBackgroundColor(Color::clear());
    sendButton_->setTitle(localized("发送"));
    sendButton_->setTitleColor(Color::whiteColor());
    sendButton_->titleLabel()->setFont(Font::systemFontOfSize(14));
    sendButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->sendBtnClicked();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(sendButton_));

    feelingNum = 0;
    postListArray = nlohmann::json::array();
    initMyView();
}

void MVTAddFeelingController::initMyView() {
    if (!myView) {
        myView = std::make_shared<ScrollView>(Rect(0, 0, composer_screen::width(), composer_screen::height() - 64));
        myView->setBackgroundColor(Color::clear());
        view()->addSubview(myView);
    }
    for (auto& sub : std::vector<std::shared_ptr<View>>(myView->subviews())) sub->removeFromSuperview();
    textHeight = kMinimumTextHeight;
    textView();
    myView->addSubview(mytextView);
    picView();
    const Rect grid = allPicView->frame();
    allPicView->setFrame({5, mytextView->frame().height() + 10, composer_screen::width() - 10, grid.height()});
    myView->addSubview(allPicView);
    fitTheView(false);
}

void MVTAddFeelingController::textView() {
    if (!mytextView) {
        mytextView = std::make_shared<TextView>(Rect(5, 5, composer_screen::width() - 10, textHeight));
        mytextView->setBackgroundColor(Color::rgb255(242, 242, 242));
        mytextView->setTextColor(Color::black());
        mytextView->setFont(Font::fontWithName("Helvetica-Bold", 16));
        mytextView->setScrollEnabled(false);
        mytextView->setCornerRadius(2);
        const Font font = Font::systemFontOfSize(14);
        const std::string hint = localized("请输入正文");
        placeholder_ = std::make_shared<Label>(Rect(2, 0, TextMeasure::size(hint, font, composer_screen::width()).width, 35));
        placeholder_->setText(hint);
        placeholder_->setTextColor(Color::lightGray());
        placeholder_->setFont(font);
        placeholder_->setBackgroundColor(Color::clear());
        placeholder_->setTag(100);
        placeholder_->setUserInteractionEnabled(false);
        mytextView->addSubview(placeholder_);
        textDelegate_ =
            std::make_shared<composer_text::TextDelegateOf<MVTAddFeelingController>>(weakAs<MVTAddFeelingController>());
        mytextView->setDelegate(textDelegate_);
    }
    mytextView->setFrame({5, 5, composer_screen::width() - 10, textHeight});
}

double MVTAddFeelingController::moodSide() const { return (composer_screen::width() - 80) / 3; }

void MVTAddFeelingController::picView() {
    if (allPicView) return;
    const double d = moodSide();
    allPicView = std::make_shared<View>(Rect(5, textHeight + 10, composer_screen::width() - 10, 3 * d + 80));
    allPicView->setBackgroundColor(Color::rgba(0.961, 0.961, 0.961));
    allPicView->setCornerRadius(2);
    imageArray = moodRecords(MVTAccount::sharedInstance().role().value_or(""));
    std::weak_ptr<MVTAddFeelingController> weak = weakAs<MVTAddFeelingController>();
    for (int i = 0; i < kMoodCount; ++i) {
        const double x = (d + 25) * (i % 3) + 10, y = (d + 25) * (i / 3) + 5;
        // The name goes under the picture, so the picture is what a name finds.
        auto name = std::make_shared<Label>(Rect(x, y + d + 5, d, 15));
        name->setText(textOf(imageArray[i], "feeling"));
        name->setFont(Font::systemFontOfSize(14));
        name->setTextAlignment(TextAlignment::Center);
        name->setBackgroundColor(Color::clear());
        allPicView->addSubview(name);
        auto picture = std::make_shared<ImageView>(Rect(x, y, d, d));
        picture->setImage(MVTPublicMethod::ScaleImage(Image::imageNamed("feeling_" + textOf(imageArray[i], "image"))));
        picture->setTag(i + 1);
        // Round like the faces, so the chosen mood's shadow follows the face.
        picture->setCornerRadius(d / 2);
        picture->setUserInteractionEnabled(true);
        picture->setAccessibilityLabel(textOf(imageArray[i], "feeling"));
        picture->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer& tap) {
            if (auto self = weak.lock())
                if (tap.view()) self->selectFeeling(tap.view()->tag());
        }));
        allPicView->addSubview(picture);
        if (i == 0) selectFeeling(1);
    }
}

std::shared_ptr<ImageView> MVTAddFeelingController::moodPicture(int tag) const {
    if (!allPicView) return nullptr;
    for (auto& sub : allPicView->subviews())
        if (auto picture = std::dynamic_pointer_cast<ImageView>(sub); picture && picture->tag() == tag) return picture;
    return nullptr;
}

void MVTAddFeelingController::selectFeeling(int tag) {
    if (tag < 1 || tag > kMoodCount || tag > static_cast<int>(imageArray.size())) return;
    placeholder_->setText("");
    feelingNum = tag;
    mytextView->setText(textOf(imageArray[tag - 1], "text"));
    fitTheText();
    for (int i = 1; i <= kMoodCount; ++i) {
        auto picture = moodPicture(i);
        if (!picture) continue;
        const bool chosen = i == tag;
        const std::string image = textOf(imageArray[i - 1], "image");
        picture->setImage(MVTPublicMethod::ScaleImage(Image::imageNamed((chosen ? "feeling_hover_" : "feeling_") + image)));
        picture->setUserInteractionEnabled(!chosen);
        Shadow shadow;
        shadow.color = Color::rgb255(2, 179, 64);
        shadow.offset = {1, 1};
        shadow.opacity = chosen ? 1 : 0;
        picture->setShadow(shadow);
    }
}

void MVTAddFeelingController::refitBoxAndGrid() {
    const double needed = mytextView->textHeight();
    if (needed > kMinimumTextHeight) {
        textHeight = static_cast<float>(needed + 10);
        const Rect box = mytextView->frame();
        mytextView->setFrame({box.minX(), box.minY(), box.width(), textHeight});
    } else {
        textHeight = static_cast<float>(kMinimumTextHeight);
        const Rect box = mytextView->frame();
        mytextView->setFrame({box.minX(), box.minY(), view()->bounds().width() - 10, textHeight});
    }
    if (allPicView) allPicView->setFrame({5, textHeight + 10, composer_screen::width() - 10, allPicView->frame().height()});
}

void MVTAddFeelingController::fitTheText() {
    refitBoxAndGrid();
    fitTheView((myFaceView && !myFaceView->isHidden()) || mytextView->isEditing());
    scrollToCaret();
}

void MVTAddFeelingController::scrollToCaret() {
    const double p =
        mytextView->frame().minY() + mytextView->caretRectForPosition(mytextView->selectedRange().location).minY();
    myView->setContentOffset({0, composer_text::caretScrollOffset(p, view()->bounds().height())}, true);
}

void MVTAddFeelingController::fitTheView(bool withPanel) {
    if (!myView) return;
    double height = (allPicView ? allPicView->frame().height() : 0) + mytextView->frame().height() + 20;
    if (withPanel) height += 80 + kPanelHeight;
    myView->setContentSize({myView->contentSize().width, height});
}

// ---- Appearing, keyboard bar, panel and mentions -------------------------------------------

void MVTAddFeelingController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (hidKeyBoardView) {
        if (!myFaceView || myFaceView->isHidden()) {
            hidKeyBoardView->setHidden(true);
        } else {
            hidKeyBoardView->setFrame({0, view()->bounds().height() - myFaceView->frame().height() - 40, composer_screen::width(), 40});
            hidKeyBoardView->setHidden(false);
        }
    }
    observers_ = composer_text::observeKeyboard(*this);
}

void MVTAddFeelingController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
    observers_.clear();
}

void MVTAddFeelingController::keyboardWillShow(const Notification& notification) {
    composer_text::keyboardDidShow(*this, notification);
}

void MVTAddFeelingController::keyboardChange(const Notification& notification) {
    composer_text::keyboardWillChange(*this, notification);
}

void MVTAddFeelingController::removeKeyBoard() { composer_text::endInput(*this); }

void MVTAddFeelingController::initFaceView(Button& button) {
    composer_text::togglePanel(*this, button);
    composer_text::appendToken(*mytextView, "");
    fitTheText();
}

void MVTAddFeelingController::selectedFacialView(const std::string& token) {
    placeholder_->setText("");
    composer_text::appendToken(*mytextView, token);
    fitTheText();
}

void MVTAddFeelingController::sendMessage() {
    if (myFaceView) myFaceView->setHidden(true);
}

void MVTAddFeelingController::postOther() { composer_text::pushMentionPicker(*this); }

void MVTAddFeelingController::returnList(const nlohmann::json& entry) {
    composer_text::insertMention(*mytextView, textOf(entry, "name"));
    placeholder_->setText("");
    const Range caret = mytextView->selectedRange();
    postListArray.push_back(entry);
    fitTheText();
    mytextView->setSelectedRange(caret);
    scrollToCaret();
}

void MVTAddFeelingController::textViewDidBeginEditing() {
    placeholder_->setText("");
    const double p = mytextView->text().empty()
                         ? mytextView->frame().minY() + 7
                         : mytextView->frame().minY() +
                               mytextView->caretRectForPosition(mytextView->selectedRange().location).minY();
    myView->setContentOffset({0, composer_text::caretScrollOffset(p, view()->bounds().height())}, true);
    fitTheView(true);
}

bool MVTAddFeelingController::textViewShouldChangeText(Range range, const std::string& replacement) {
    if (replacement == "@") {
        postOther();
        return true;
    }
    refitBoxAndGrid();
    fitTheView(true);
    scrollToCaret();
    if (!replacement.empty()) return true;
    composer_text::deleteRange(*mytextView, range);
    return false;
}

void MVTAddFeelingController::textViewDidEndEditing() {
    if (mytextView->text().empty()) placeholder_->setText(localized("请输入正文"));
    fitTheView(false);
}

// ---- Sending ------------------------------------------------------------------------------

void MVTAddFeelingController::sendBtnClicked() {
    const std::string userId = composer_screen::userId();
    std::weak_ptr<AlertViewDelegate> delegate = weakAs<AlertViewDelegate>();
    if (sentToday(userId)) {
        AlertView::make(localized("提示"), localized("一天之内只可以发送一次心情哦"), delegate, localized("知道了"))->show();
        return;
    }
    if (issending) return;
    const std::string content = mytextView->text();
    if (content.empty()) {
        AlertView::make(localized("提示"), localized("你还没有添加内容哦"), delegate, localized("知道了"))->show();
        return;
    }
    if (utf16Length(content) > 1000) {
        AlertView::make(localized("提示"), localized("内容不能超过1000个字"), delegate, localized("知道了"))->show();
        return;
    }
    if (mytextView->isEditing()) {
        mytextView->resignFirstResponder();
        if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
    }
    const std::string url = ServiceAddress::servicePrefix() + "postMessage/essay/" + userId + "/publish";
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        return;
    }
    issending = true;
    sendButton_->setEnabled(false);
    hud_ = ProgressHUD::showHUDAddedTo(view(), true);
    hud_->setLabelText(localized("正在发送"));

    const std::string relative = composer_text::mentionsText(postListArray);
    const std::string mood = std::to_string(feelingNum + 50);
    auto request = client->multipartFormRequestWithMethod("POST", url, nullptr, [&](HttpMultipartForm& form) {
        form.appendPart("content", content);
        if (!relative.empty()) form.appendPart("relative", relative);
        form.appendPart("mood", mood);
    });
    request.setTimeoutInterval(kSendTimeout);

    std::weak_ptr<MVTAddFeelingController> weak = weakAs<MVTAddFeelingController>();
    operation_ = client->HTTPRequestOperationWithRequest(
        std::move(request),
        [weak, userId](HttpRequestOperation&, const std::string& body) {
            auto self = weak.lock();
            if (!self) return;
            self->finishSending();
            const long long answer = integerValue(trimmed(body));
            if (answer == -1) {
                AlertView::make(localized("提示"), localized("今天你已经发布过心情"), {}, localized("确定"))->show();
                recordToday(userId);
            } else if (answer == 0) {
                AlertView::make(localized("提示"), localized("保存失败,请重新发送"), {}, localized("确定"))->show();
            } else {
                recordToday(userId);
                StatisticsKit::shared().endLogPageView(kPageName);
                self->dismissViewController(true);
                NotificationCenter::defaultCenter().postNotification(kToGetNewDataNotification);
            }
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->finishSending();
            AlertView::make(localized("提示"), localized("发送失败,请重新发送"), {}, localized("确定"))->show();
        });
    operation_->setMaxResponseBytes(kMaxReplyBytes);
    operation_->start();
}

void MVTAddFeelingController::finishSending() {
    operation_.reset();
    issending = false;
    sendButton_->setEnabled(true);
    if (hud_) {
        hud_->removeFromSuperview();
        hud_.reset();
    }
}

void MVTAddFeelingController::goback() {
    if (!mytextView->text().empty()) {
        auto alert = AlertView::make(localized("提示"), localized("放弃此次编辑?"), weakAs<AlertViewDelegate>(),
                                     localized("取消"), {localized("确定")});
        alert->setTag(kLeaveAlertTag);
        alert->show();
        return;
    }
    StatisticsKit::shared().endLogPageView(kPageName);
    dismissViewController(true);
}

void MVTAddFeelingController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() != kLeaveAlertTag || index != 1) return;
    StatisticsKit::shared().endLogPageView(kPageName);
    dismissViewController(true);
}
