#include "homework/MVTHomeworkViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "homework/MVTAddHWViewController.h"
#include "homework/MVTHomeworkListViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myNavigationController.h"

#include "platform/BackgroundQueue.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScrollView.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

void subjectGridBanner(int kind) {
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(kind);
}

// Ids compare by value when both are numbers, else by their texts.
bool subjectIdBefore(const Json& a, const Json& b) {
    const Json& x = valueFor(a, "id");
    const Json& y = valueFor(b, "id");
    if (x.is_number() && y.is_number()) return x.get<double>() < y.get<double>();
    return textOf(x) < textOf(y);
}

}  // namespace

MVTHomeworkViewController::MVTHomeworkViewController() = default;
MVTHomeworkViewController::~MVTHomeworkViewController() = default;

void MVTHomeworkViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    setTitle(localized("科目"));
    auto weak = weakAs<MVTHomeworkViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    if (homework::currentRole() == "teacher") {
        auto add = MVTPublicMethod::navigationrightBarButtonWithImage("icon_05");
        add->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->addNewHM();
        });
        navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(add));
    }
    scrollView_ = std::make_shared<ScrollView>(
        Rect(0, 0, view()->frame().width(), view()->frame().height() - 44 - SDH));
    scrollView_->setBackgroundColor(Color::clear());
    view()->addSubview(scrollView_);

    subjectsArr_ = Json::array();
    MVTPublicMethod::showWaitAnimation(view(), true);
    getHomeworkData();
    publishObserver_ = NotificationCenter::defaultCenter().addObserver("publishNewHM", [weak](const Notification&) {
        if (auto self = weak.lock()) self->refreshList();
    });
}

void MVTHomeworkViewController::viewWillAppear(bool animated) { HomeworkScreen::viewWillAppear(animated); }

void MVTHomeworkViewController::getHomeworkData() {
    const std::string url = homework::serviceUrl("user/" + homework::currentUserId() + "/subjects");
    auto weak = weakAs<MVTHomeworkViewController>();
    // Only building the request happens off the main thread.
    dispatchBackground([weak, url] {
        auto request = MVTPublicMethod::requestWithMethod("GET", url, Json{{"homework", "1"}});
        dispatchMain([weak, request] {
            auto self = weak.lock();
            if (!self) return;
            if (!request) {
                MVTPublicMethod::stopWaitAnimation(self->view());
                subjectGridBanner(MVTAppDelegate::NetworkMessageNoNetwork);
                return;
            }
            auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
                *request,
                [weak](HttpJsonRequestOperation&, const Json& reply) {
                    if (auto screen = weak.lock()) screen->subjectsArrived(reply);
                },
                [weak](HttpRequestOperation&, const HttpError&) {
                    auto screen = weak.lock();
                    if (!screen) return;
                    MVTPublicMethod::stopWaitAnimation(screen->view());
                    subjectGridBanner(MVTAppDelegate::NetworkMessageBusy);
                });
            operation->start();
        });
    });
}

void MVTHomeworkViewController::subjectsArrived(const Json& reply) {
    Json subjects = Json::array();
    if (reply.is_array())
        for (const auto& subject : reply)
            if (subject.is_object()) subjects.push_back(subject);
    if (!reply.is_array()) {
        // Not a list: the load failed.
        MVTPublicMethod::stopWaitAnimation(view());
        subjectGridBanner(MVTAppDelegate::NetworkMessageBusy);
        return;
    }
    unreadC_ = 0;
    if (subjects.empty()) {
        MVTPublicMethod::stopWaitAnimation(view());
        // A first list with no subject says so rather than leaving the screen blank.
        if (subjectButtons().empty()) showNODataLabel(true);
        return;
    }
    showNODataLabel(false);
    std::stable_sort(subjects.begin(), subjects.end(), subjectIdBefore);
    subjectsArr_ = subjects;
    reloadIconView();
}

void MVTHomeworkViewController::refreshList() {
    subjectsArr_ = Json::array();
    getHomeworkData();
}

void MVTHomeworkViewController::reloadIconView() {
    MVTPublicMethod::stopWaitAnimation(view());
    const std::vector<std::shared_ptr<View>> old = scrollView_->subviews();
    for (const auto& view : old) view->removeFromSuperview();
    auto weak = weakAs<MVTHomeworkViewController>();
    int i = 0;
    for (const auto& subject : subjectsArr_) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        const double x = std::trunc((i % 3) * 100 + 12.5);
        const double y = (i / 3) * 105 + 10;
        button->setFrame({x, y, 95, 95});
        button->setBackgroundColor(Color::whiteColor());
        button->setImage(Image::imageNamed("suibi"));
        button->setImageEdgeInsets({15, 30, 45, 30});
        button->setTitle(textOf(subject, "name"));
        button->setTitleEdgeInsets({60, -70, 10, 0});
        button->titleLabel()->setFont(Font::boldSystemFontOfSize(16));
        button->setTitleColor(Color::darkGray());
        button->setAccessibilityHint(textOf(subject, "id"));
        button->setShadow({Color::lightGray(), {0, 0.3}, 3, 0.2});
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toShowSelectedHomework(static_cast<Button&>(control));
        });
        if (homework::readsTrue(valueFor(subject, "isNew"))) {
            auto dot = std::make_shared<View>(Rect(70, 10, 10, 10));
            dot->setBackgroundColor(Color::red());
            dot->setBorderColor(Color::red());
            dot->setBorderWidth(0.5);
            dot->setCornerRadius(5.2);
            dot->setClipsToBounds(true);
            dot->setTag(kDotTag);
            dot->setUserInteractionEnabled(false);
            button->addSubview(dot);
            ++unreadC_;
        }
        scrollView_->addSubview(button);
        ++i;
    }
    const int rows = (static_cast<int>(subjectsArr_.size()) + 2) / 3;
    scrollView_->setContentSize({view()->frame().width(), rows * 105.0 + 10});
}

std::vector<std::shared_ptr<Button>> MVTHomeworkViewController::subjectButtons() const {
    std::vector<std::shared_ptr<Button>> buttons;
    if (!scrollView_) return buttons;
    for (const auto& view : scrollView_->subviews())
        if (auto button = std::dynamic_pointer_cast<Button>(view)) buttons.push_back(button);
    return buttons;
}

void MVTHomeworkViewController::toShowSelectedHomework(Button& button) {
    if (auto dot = button.viewWithTag(kDotTag)) {
        dot->removeFromSuperview();
        if (--unreadC_ == 0) {
            MVTAccount::sharedInstance().setNewHM(false);
            NotificationCenter::defaultCenter().postNotification("markUpside");
        }
    }
    auto list = std::make_shared<MVTHomeworkListViewController>();
    list->setSubjectId(button.accessibilityHint());
    list->setTitle(button.currentTitle());
    if (navigationController()) navigationController()->pushViewController(list, true);
}

void MVTHomeworkViewController::addNewHM() {
    auto composer = std::make_shared<MVTAddHWViewController>();
    presentViewController(myNavigationController::withRoot(composer), true);
    view()->setUserInteractionEnabled(true);
}

void MVTHomeworkViewController::goback() {
    dismissViewController(true);
    StatisticsKit::shared().endLogPageView(kPageName);
    publishObserver_.reset();
}

void MVTHomeworkViewController::showNODataLabel(bool show) {
    if (!show) {
        if (noDataLabel_) noDataLabel_->setHidden(true);
        return;
    }
    if (!noDataLabel_) {
        noDataLabel_ = std::make_shared<Label>(Rect(0, 0, view()->frame().width(), 200));
        noDataLabel_->setTag(kNoDataTag);
        noDataLabel_->setTextAlignment(TextAlignment::Center);
        noDataLabel_->setTextColor(Color::gray());
        noDataLabel_->setBackgroundColor(Color::clear());
        noDataLabel_->setText(localized("暂无作业数据"));
        view()->addSubview(noDataLabel_);
    }
    noDataLabel_->setHidden(false);
}

void MVTHomeworkViewController::alertViewClickedButtonAtIndex(AlertView&, long) {
    if (homework::currentRole() == "teacher")
        showNODataLabel(true);
    else
        goback();
}
