// The home feed's post action sheet: the tab bar shows the sheet this screen asks for and
// posts the chosen answer back; the screen opens the post, deletes it after a
// confirmation, forwards it or shows the service's report page. A screen being replaced
// (isSetNil) ignores the answers.

#include "feed/MVTHomeViewController.h"

#include "feed/PostRecord.h"
#include "details/PostReport.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTReportViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"

using namespace platform;

void MVTHomeViewController::deleteDynamicWith(const std::string& postId, int row, int kind) {
    DynamicId_ = postId;
    deleteIndex_ = row;
    showATag_ = kind;
    if (row >= 0 && row < int(dataArray_.size())) {
        const Json& record = *dataArray_[size_t(row)];
        DynamicUid_ = textOf(record, "uid");
        DynamicType_ = textOf(record, "type");
        DynamicName_ = textOf(record, "name");
    }
    if (showAS_) return;
    showAS_ = true;
    NotificationCenter::defaultCenter().postNotification(kShowDynamicActionSheet, std::to_string(kind));
}

void MVTHomeViewController::showSelectedWhichWith(const Notification& notification) {
    if (isSetNil_) return;
    const long long n = integerValue(textOf(notification.object));
    if (n == 0) return toPresentViewWith(deleteIndex_);
    switch (showATag_) {
    case 0:
        if (n == 4) reportWithWeb();
        break;
    case 1:
        if (n == 1) toForwardViewController();
        else if (n == 4) reportWithWeb();
        break;
    case 2: confirmDelete(); break;
    case 3:
        if (n == 1) confirmDelete();
        else if (n == 2) toForwardViewController();
        break;
    default: break;
    }
}

void MVTHomeViewController::confirmDelete() {
    auto alert = AlertView::make(localized("确认删除？"), "", weakAs<AlertViewDelegate>(), "",
                                 {localized("取消"), localized("确定")});
    alert->setTag(kDeleteAlertTag);
    alert->show();
}

void MVTHomeViewController::toDeleteDynamicWith(const std::string& postId, int row) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (row == voiceRow() && !app->nowPlayPath().empty()) app->stopPlayAudio();
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/feed/" + postId + "/message/delete");
    if (!request) {
        MVTPublicMethod::stopWaitAnimation(view());
        banner(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showHUDWithBool(true);
    auto failed = [] { AlertView::make(localized("删除失败,请重新删除"), "", {}, localized("知道了"))->show(); };
    sendJson(
        std::move(*request),
        [postId, failed](MVTHomeViewController& self, const Json& reply) {
            self.showHUDWithBool(false);
            if (reply.is_null()) return;
            if (integerValue(Json(textOf(reply, "success"))) == 0) return failed();
            // The post is found by its id: the list may have changed while the request ran.
            const int listed = self.postIndexWithId(postId);
            const Json deleted = listed >= 0 ? *self.dataArray_[size_t(listed)] : Json{{"id", postId}};
            NotificationCenter::defaultCenter().postNotification(kSynchronousDeleteFormSquare, deleted);
            MVTtirraDataBase::deleteDynamicWith(userId(), postId);
            self.removeDataFromArr(self.postIndexWithId(postId));
        },
        [failed](MVTHomeViewController& self) {
            self.showHUDWithBool(false);
            failed();
        });
}

void MVTHomeViewController::readyToForwardWith(const std::string& row) {
    deleteIndex_ = int(integerValue(row));
    toForwardViewController();
}

void MVTHomeViewController::toForwardViewController() {
    if (needsClass()) return;
    if (deleteIndex_ < 0 || deleteIndex_ >= int(dataArray_.size())) return;
    const Json& record = *dataArray_[size_t(deleteIndex_)];
    auto forward = std::make_shared<MVTForwardViewController>();
    forward->initWithDic(record);
    forward->setModelName("feed");
    forward->setModelID(textOf(record, "id"));
    forward->view()->setTag(1);
    forward->setDelegate(weakAs<MVTForwardDelegate>());
    toForward(forward);
}

void MVTHomeViewController::toForward(const std::shared_ptr<ViewController>& screen) {
    presentViewController(myNavigationController::withRoot(screen), true);
}

void MVTHomeViewController::reportWithWeb() {
    const Json reported = {{"id", DynamicId_}, {"uid", DynamicUid_}, {"name", DynamicName_}, {"type", DynamicType_}};
    showReportPage(postReportAddress(reported, userId()));
}

void MVTHomeViewController::reportWithWebView(const std::string& address) {
    if (needsClass()) return;
    showReportPage(address);
}

void MVTHomeViewController::showReportPage(const std::string& address) {
    auto report = std::make_shared<MVTReportViewController>();
    report->setATag(1);
    presentViewController(report, true);
    report->loadRegister(address);
    report->setNewTitle(localized("举报"));
}
