#include "homework/HMClassViewController.h"

#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"

#include <algorithm>

using namespace platform;

namespace {

bool assignContains(const std::vector<Json>& ids, const Json& id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

void assignErase(std::vector<Json>& ids, const Json& id) {
    auto at = std::find(ids.begin(), ids.end(), id);
    if (at != ids.end()) ids.erase(at);
}

std::string assignJoined(const std::vector<Json>& ids) {
    std::string joined;
    for (const auto& id : ids) {
        if (!joined.empty()) joined += ",";
        joined += textOf(id);
    }
    return joined;
}

}  // namespace

std::shared_ptr<HMClassViewController> HMClassViewController::initWithDicti(const Json& record) {
    auto screen = std::make_shared<HMClassViewController>();
    screen->dataDic_ = record.is_object() ? record : Json::object();
    screen->idStr_ = textOf(record, "courseId");
    screen->HMStr_ = textOf(record, "id");
    const Json& targets = valueFor(record, "shareTargets");
    if (targets.is_array())
        for (const auto& target : targets)
            if (target.is_object() && target.contains("id")) screen->fomArray_.push_back(target["id"]);
    screen->sendArray_ = screen->fomArray_;
    return screen;
}

void HMClassViewController::viewDidLoad() {
    setTitle(localized("布置") + localized("作业"));
    auto weak = weakAs<HMClassViewController>();
    setBackButton([weak] {
        auto self = weak.lock();
        if (self && self->navigationController()) self->navigationController()->popViewController(true);
    });
    sendButton_ = setRightTextButton(localized("发送"), [weak] {
        if (auto self = weak.lock()) self->sendBtnClicked();
    });
    sendButton_->setTitleColor(Color::whiteColor());
    nomoreArray_.clear();
    CourseCheckListScreen::viewDidLoad();
}

std::string HMClassViewController::emptyMessage() const { return localized("您还没有班级数据"); }

bool HMClassViewController::isChosen(int row) const {
    return assignContains(sendArray_, valueFor(myArray_.at(static_cast<std::size_t>(row)), "id"));
}

void HMClassViewController::addName(View& content, const std::string& name) {
    auto label = std::make_shared<Label>(Rect(30, 0, content.frame().width() - 60, kRowHeight));
    label->setFont(Font::boldSystemFontOfSize(16));
    label->setTextColor(Color::white(0.235));
    label->setBackgroundColor(Color::clear());
    label->setText(name);
    content.addSubview(label);
}

void HMClassViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    const int row = indexPath.row;
    if (row < 0 || row >= static_cast<int>(myArray_.size())) return;
    const Json id = valueFor(myArray_[row], "id");
    if (marked(row)) {
        setMark(row, false);
        assignErase(sendArray_, id);
        if (assignContains(fomArray_, id) && !assignContains(nomoreArray_, id)) nomoreArray_.push_back(id);
    } else {
        setMark(row, true);
        sendArray_.push_back(id);
        if (assignContains(fomArray_, id) && assignContains(nomoreArray_, id)) assignErase(nomoreArray_, id);
    }
    tableView.reloadRowsAtIndexPaths({indexPath}, TableViewRowAnimation::None);
}

std::string HMClassViewController::abolishIds() const { return assignJoined(nomoreArray_); }

std::string HMClassViewController::publishIds() const {
    std::vector<Json> fresh;
    for (const auto& id : sendArray_)
        if (!assignContains(fomArray_, id)) fresh.push_back(id);
    return assignJoined(fresh);
}

Json HMClassViewController::newShareTargets() const {
    Json targets = Json::array();
    for (const auto& id : sendArray_) {
        for (const auto& course : myArray_) {
            if (textOf(course, "id") != textOf(id)) continue;
            targets.push_back({{"id", id}, {"isShare", "1"}, {"type", "CLAZZ"}, {"name", textOf(course, "name")}});
            break;
        }
    }
    return targets;
}

void HMClassViewController::sendEnded() {
    sendButton_->setEnabled(true);
    showHUDWithBool(false);
}

void HMClassViewController::sendBtnClicked() {
    sendButton_->setEnabled(false);
    const Json parameters = {{"abolishIds", abolishIds()},
                             {"publishIds", publishIds()},
                             {"type", "course_homework"},
                             {"uid", homework::currentUserId()}};
    auto request = MVTPublicMethod::requestWithMethod(
        "POST", homework::serviceUrl("course/" + idStr_ + "/publish/" + HMStr_), parameters);
    if (!request) {
        sendButton_->setEnabled(true);
        MVTPublicMethod::stopWaitAnimation(view());
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showHUDWithBool(true);
    if (HUD()) HUD()->setLabelText(localized("正在发送"));
    auto weak = weakAs<HMClassViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->sendEnded();
            // A "success" that reads false is the service refusing the change.
            if (!reply.is_object() || !reply.contains("success") || !homework::readsTrue(reply["success"])) {
                AlertView::make(localized("提示"), localized("保存失败,请重新发送"), {}, localized("确定"))->show();
                return;
            }
            const Json targets = self->newShareTargets();
            self->dataDic_["shareTargets"] = targets;
            const int row = self->view()->tag();
            if (auto delegate = self->delegate()) {
                delegate->takeShareTargets(row, targets);
                delegate->ReloadOneCell(row);
            }
            if (self->navigationController()) self->navigationController()->popViewController(true);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->sendEnded();
            AlertView::make(localized("提示"), localized("发送失败,请重新发送"), {}, localized("确定"))->show();
        });
    operation->start();
}
