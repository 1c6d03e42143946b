#include "homework/MVTNHWDetailsViewController.h"

#include "core/MVTPublicMethod.h"
#include "homework/MVTNHWAddViewController.h"
#include "homework/MVTNHWAnswerInfoViewController.h"
#include "homework/MVTNHWSubmitStudentsListViewController.h"
#include "shell/InternationalControl.h"

#include "platform/StatisticsKit.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {

Rect detailsScreenBounds() { return Screen::mainScreen().bounds(); }

constexpr const char* kDetailsStudentMarker = "one un read";
constexpr const char* kDetailsTeacherMarker = "one have submit";

}  // namespace

MVTNHWDetailsViewController::MVTNHWDetailsViewController() = default;
MVTNHWDetailsViewController::~MVTNHWDetailsViewController() = default;

void MVTNHWDetailsViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    setTitle(localized("作业详情"));
    auto weak = weakAs<MVTNHWDetailsViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    const Rect screen = detailsScreenBounds();
    contentScrol_ = std::make_shared<ScrollView>(Rect(0, 0, screen.width(), screen.height() - 64));
    contentScrol_->setBackgroundColor(Color::clear());
    view()->addSubview(contentScrol_);
    attachments_ = HomeworkAttachmentList::make(weakAs<ViewController>(), weakAs<AlertViewDelegate>());
    attachments_->setScrollView(contentScrol_);
    createInfoView();
}

void MVTNHWDetailsViewController::makeStatisticsButton(bool enabled) {
    const std::string title =
        homework::fill("%@(%d)", {localized("提交统计"), std::to_string(intValue(subCount_.value_or("")))});
    statisticsBtn_ = Button::buttonWithType(ButtonType::Custom);
    statisticsBtn_->setFrame({0, 0, TextMeasure::sizeWithFont(title, Font::systemFontOfSize(14)).width + 4, 44});
    statisticsBtn_->setTitle(title);
    statisticsBtn_->setTitleColor(homework::kAccent);
    statisticsBtn_->titleLabel()->setFont(Font::systemFontOfSize(14));
    auto weak = weakAs<MVTNHWDetailsViewController>();
    statisticsBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toSubmitStudentsList();
    });
    statisticsBtn_->setEnabled(enabled);
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(statisticsBtn_));
    rightBtn_ = statisticsBtn_;
}

void MVTNHWDetailsViewController::createInfoView() {
    if (subCount_ && intValue(*subCount_) != 0) makeStatisticsButton(false);
    if (homework::currentRole() == "student") {
        starBtn_ = Button::buttonWithType(ButtonType::Custom);
        starBtn_->setFrame({detailsScreenBounds().width() - 44, 0, 44, 44});
        starBtn_->setImage(Image::imageNamed("collect.png"));
        starBtn_->setImage(Image::imageNamed("collected.png"), ControlStateSelected);
        starBtn_->setImageEdgeInsets({10, 18, 18, 10});
        starBtn_->setSelected(isStar_);
        auto weak = weakAs<MVTNHWDetailsViewController>();
        starBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toStarHomework(static_cast<Button&>(control));
        });
        contentScrol_->addSubview(starBtn_);
        starBtn_->setEnabled(false);
        rightBtn_ = starBtn_;
    }
    getInfoData();
}

void MVTNHWDetailsViewController::loadEnded() {
    if (rightBtn_) rightBtn_->setEnabled(true);
}

void MVTNHWDetailsViewController::getInfoData() {
    auto weak = weakAs<MVTNHWDetailsViewController>();
    auto operation = sendRequest(
        "GET", "homework/" + homework::currentUserId() + "/content/" + hwId_, nullptr,
        [weak](const Json& reply) {
            if (auto self = weak.lock()) self->handleContentReply(reply);
        },
        [weak] {
            if (auto self = weak.lock()) self->loadEnded();
        });
    if (!operation) loadEnded();
}

void MVTNHWDetailsViewController::handleContentReply(const Json& reply) {
    if (!reply.is_null() && !reply.is_object()) {
        // Not a homework: the screen stays as after a failed load.
        loadEnded();
        return;
    }
    const std::string marker = view()->accessibilityValue();
    if (!readReported_ && (marker == kDetailsStudentMarker || marker == kDetailsTeacherMarker)) {
        readReported_ = true;
        if (auto delegate = delegate_.lock()) delegate->didReadHomework();
    }
    loadEnded();
    if (reply.is_null()) return;
    if (reply.contains("success") && !homework::readsTrue(reply["success"])) {
        auto alert = AlertView::make(localized("提示"), localized("当前没有学生作业或已经被删除"),
                                     weakAs<AlertViewDelegate>(), localized("知道了"));
        alert->setTag(kDeletedAlertTag);
        alert->show();
        return;
    }
    const std::string role = homework::currentRole();
    if (role != "teacher" && role != "admin") {
        const bool answered = reply.contains("isAnswered") && homework::wholeNumber(reply["isAnswered"]) != 0;
        if (answered)
            createDownView(localized("查看作业提交"), true);
        else if (role == "student")
            createDownView(localized("提交作业"), false);
    }
    initInfoViewWith(reply);
}

void MVTNHWDetailsViewController::createDownView(const std::string& title, bool answered) {
    const Rect screen = detailsScreenBounds();
    contentScrol_->setFrame({0, 0, screen.width(), screen.height() - 104});
    auto bar = std::make_shared<View>(Rect(0, screen.height() - 104, screen.width(), 40));
    bar->setBackgroundColor(homework::kBarGreen);
    view()->addSubview(bar);
    downBtn_ = Button::buttonWithType(ButtonType::Custom);
    downBtn_->setFrame({0, 0, screen.width(), 40});
    downBtn_->setBackgroundColor(Color::clear());
    downBtn_->setTitle(title);
    downBtn_->setTitleColor(homework::kAccent);
    downBtn_->titleLabel()->setFont(Font::systemFontOfSize(16));
    auto weak = weakAs<MVTNHWDetailsViewController>();
    downBtn_->addTarget(ControlEventTouchUpInside, [weak, answered](Control&) {
        auto self = weak.lock();
        if (!self) return;
        if (answered)
            self->toSeeDidSubmit();
        else
            self->toSubmitNewHomework();
    });
    bar->addSubview(downBtn_);
    auto line = std::make_shared<ImageView>(Rect(0, 0, screen.width(), 0.5));
    line->setImage(Image::imageNamed("line1"));
    bar->addSubview(line);
}

void MVTNHWDetailsViewController::initInfoViewWith(const Json& reply) {
    const double width = detailsScreenBounds().width();
    if (homework::isTeacherOrAdmin() && reply.contains("stdCount")) {
        const std::string count = textOf(reply, "stdCount");
        if (!rightBtn_ && intValue(count) != 0) {
            subCount_ = count;
            makeStatisticsButton(true);
        }
    }
    auto heading = std::make_shared<Label>(Rect(10, 10, width - 20, 20));
    heading->setBackgroundColor(Color::clear());
    heading->setFont(Font::boldSystemFontOfSize(14));
    heading->setTextColor(homework::kAccent);
    heading->setText(homework::fill("%@:", {localized("作业描述")}));
    contentScrol_->addSubview(heading);

    std::string description;
    if (reply.contains("content") && !reply["content"].is_null()) description = textOf(reply, "content");
    if (description.empty()) description = localized("暂无描述");
    descriptionLa_ = std::make_shared<Label>(Rect(10, 35, width - 20, 20));
    descriptionLa_->setBackgroundColor(Color::clear());
    descriptionLa_->setFont(Font::systemFontOfSize(14));
    descriptionLa_->setTextColor(homework::kTextGrey);
    descriptionLa_->setNumberOfLines(0);
    descriptionLa_->setLineBreakMode(LineBreakMode::WordWrap);
    descriptionLa_->setText(description);
    const Size fitted = descriptionLa_->sizeThatFits({width - 20, 0});
    descriptionLa_->setFrame({10, 35, fitted.width, fitted.height});
    if (fitted.height < 20) descriptionLa_->setFrame({10, 35, width - 20, 20});
    contentScrol_->addSubview(descriptionLa_);

    double y = 35 + descriptionLa_->frame().height() + 5;
    auto line = std::make_shared<ImageView>(Rect(10, y, width - 20, 0.5));
    line->setImage(Image::imageNamed("line1.png"));
    contentScrol_->addSubview(line);
    separator_ = line;

    attachments_->splitResources(reply.contains("resList") ? reply["resList"] : Json());
    attachments_->layoutFrom(y + 5);
}

void MVTNHWDetailsViewController::toStarHomework(Button& sender) {
    sender.setUserInteractionEnabled(false);
    const bool wasStarred = sender.isSelected();
    auto weak = weakAs<MVTNHWDetailsViewController>();
    auto operation = sendRequest(
        "GET", "homework/" + homework::currentUserId() + "/fav/" + hwId_ + "/star",
        Json{{"flag", wasStarred ? "0" : "1"}},
        [weak](const Json& reply) {
            auto self = weak.lock();
            self->starBtn_->setUserInteractionEnabled(true);
            if (!reply.is_object() || !reply.contains("success") || homework::wholeNumber(reply["success"]) == 0) return;
            self->starBtn_->setSelected(!self->starBtn_->isSelected());
            if (auto delegate = self->delegate_.lock()) delegate->didStarOrNotHomeworkWith(self->starBtn_->isSelected());
        },
        [weak] {
            if (auto self = weak.lock()) self->starBtn_->setUserInteractionEnabled(true);
        });
    if (!operation) sender.setUserInteractionEnabled(true);
}

void MVTNHWDetailsViewController::toSubmitStudentsList() {
    auto statistics = std::make_shared<MVTNHWSubmitStudentsListViewController>();
    statistics->setSubCount(subCount_.value_or(""));
    statistics->setHwId(hwId_);
    if (auto stack = navigationController()) stack->pushViewController(statistics, true);
}

void MVTNHWDetailsViewController::toSeeDidSubmit() {
    auto answer = std::make_shared<MVTNHWAnswerInfoViewController>();
    answer->setHwId(hwId_);
    if (auto stack = navigationController()) stack->pushViewController(answer, true);
}

void MVTNHWDetailsViewController::toSubmitNewHomework() {
    auto composer = std::make_shared<MVTNHWAddViewController>();
    composer->setHwId(hwId_);
    if (auto stack = navigationController()) stack->pushViewController(composer, true);
}

void MVTNHWDetailsViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() != kDeletedAlertTag || index != 0) return;
    if (auto delegate = delegate_.lock()) delegate->reloadNewHomeworkData();
    goback();
}

void MVTNHWDetailsViewController::goback() {
    attachments_->leave();
    StatisticsKit::shared().endLogPageView(kPageName);
    if (auto stack = navigationController()) stack->popViewController(true);
}
