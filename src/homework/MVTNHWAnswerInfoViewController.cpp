#include "homework/MVTNHWAnswerInfoViewController.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"

using namespace platform;

void MVTNHWAnswerInfoViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    setTitle(localized("提交内容"));
    auto weak = weakAs<MVTNHWAnswerInfoViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    const Rect screen = Screen::mainScreen().bounds();
    contentScrol_ = std::make_shared<ScrollView>(Rect(0, 0, screen.width(), screen.height() - 64));
    contentScrol_->setBackgroundColor(Color::clear());
    view()->addSubview(contentScrol_);
    attachments_ = HomeworkAttachmentList::make(weakAs<ViewController>(), weakAs<AlertViewDelegate>());
    attachments_->setScrollView(contentScrol_);
    if (infoDic_.is_object()) {
        isTeacher_ = true;
        reloadDataWith(infoDic_);
    } else {
        getInfoData();
    }
}

Json MVTNHWAnswerInfoViewController::answerResources(const Json& reply) {
    Json resources = Json::array();
    if (!reply.is_array()) return resources;
    for (const auto& element : reply) {
        if (!element.is_object()) continue;
        if (element.contains("answers")) {
            if (element["answers"].is_array())
                for (const auto& resource : element["answers"]) resources.push_back(resource);
        } else {
            resources.push_back(element);
        }
    }
    return resources;
}

void MVTNHWAnswerInfoViewController::getInfoData() {
    auto weak = weakAs<MVTNHWAnswerInfoViewController>();
    sendRequest(
        "GET", "homework/" + homework::currentUserId() + "/answers/" + hwId_ + "/get",
        Json{{"limit", std::to_string(homework::kPageSize)}, {"page", "1"}},
        [weak](const Json& reply) {
            auto self = weak.lock();
            // Any other shape is no answer: the screen stays empty, as after a failure.
            if (!reply.is_array()) return;
            self->infoDic_ = Json{{"answers", answerResources(reply)}};
            self->reloadDataWith(self->infoDic_);
        },
        [] {});
}

void MVTNHWAnswerInfoViewController::reloadDataWith(const Json& info) {
    double y = 5;
    if (isTeacher_) {
        auto& header = *contentScrol_;
        homework::addSubmissionViews(header);
        auto avatar = std::static_pointer_cast<ImageView>(header.viewWithTag(11));
        if (faceImage_) {
            avatar->setImage(faceImage_);
        } else {
            avatar->setImage(Image::imageNamed("default_user"));
            const std::string uid = textOf(info, "uid");
            avatar->setAccessibilityValue(uid);
            std::weak_ptr<ImageView> weakAvatar = avatar;
            homework::loadPictureInBackground("account/" + uid + "/avatar?default=false",
                                              [weakAvatar](std::shared_ptr<Image> image) {
                                                  auto view = weakAvatar.lock();
                                                  if (view && image) view->setImage(image);
                                              });
        }
        const std::string name = textOf(info, "name");
        std::static_pointer_cast<Label>(header.viewWithTag(12))->setText(name);
        setTitle(homework::fill("%@%@", {name, localized("的作业")}));
        homework::setSubmissionClass(header, textOf(info, "className"));
        std::static_pointer_cast<Label>(header.viewWithTag(14))
            ->setText(MVTAppDelegate::sharedAppDelegate()->getDateWith(textOf(info, "dateline")));
        std::static_pointer_cast<Label>(header.viewWithTag(15))
            ->setText(homework::fill("%d %@", {std::to_string(intValue(textOf(info, "count"))), localized("附件")}));
        y = 55;
    }
    attachments_->splitResources(info.contains("answers") ? info["answers"] : Json());
    attachments_->layoutFrom(y);
}

void MVTNHWAnswerInfoViewController::goback() {
    attachments_->leave();
    if (auto stack = navigationController()) stack->popViewController(true);
}
