#include "files/MVTGroupFilesViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

#include <algorithm>

using namespace platform;

void MVTGroupFilesViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("群文件"));
    buildLibrary(0, Screen::mainScreen().bounds().height() - 104);
}

std::string MVTGroupFilesViewController::forumUrl(const std::string& operation) const {
    return ServiceAddress::servicePrefix() + "forum/" + MVTAccount::sharedInstance().userId().value_or("") + "/" +
           forumId_ + "/" + fieldId_ + "/lib/" + operation;
}

Json MVTGroupFilesViewController::filesOf(const Json& reply) const {
    if (reply.is_object() && reply.contains("list")) return reply["list"];
    return Json::array();
}

void MVTGroupFilesViewController::leave() {
    if (auto stack = navigationController()) stack->popViewController(true);
}

bool MVTGroupFilesViewController::canEditRowAtIndexPath(TableView&, const IndexPath&) { return isManager(); }

void MVTGroupFilesViewController::commitEditingStyle(TableView&, TableViewCellEditingStyle style,
                                                     const IndexPath& indexPath) {
    if (style != TableViewCellEditingStyle::Delete || !isManager()) return;
    if (indexPath.section < 0 || static_cast<std::size_t>(indexPath.section) >= titleArray_.size()) return;
    const auto& files = section(titleArray_[static_cast<std::size_t>(indexPath.section)]);
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= files.size()) return;
    deleteFiles(textOf(files[static_cast<std::size_t>(indexPath.row)].resourceId));
}

void MVTGroupFilesViewController::deleteFiles(const std::string& resourceId) {
    showHUDWithBool(true);
    auto request = MVTPublicMethod::requestWithMethod("GET", forumUrl("remove"), {{"ids", resourceId}});
    if (!request) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        showHUDWithBool(false);
        return;
    }
    auto weak = weakAs<MVTGroupFilesViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak, resourceId](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            // Only a true "success" deleted the file: a refusal leaves its row in place.
            const bool deleted = filesReplySucceeded(reply);
            AlertView::make(localized(deleted ? "删除文件成功" : "删除文件失败"), "", {}, localized("我知道了"))->show();
            if (deleted) self->dropFile(resourceId);
            self->showHUDWithBool(false);
            self->getDataObjects("");
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            AlertView::make(localized("删除文件失败"), "", {}, localized("我知道了"))->show();
            self->showHUDWithBool(false);
        });
    operation->start();
}

void MVTGroupFilesViewController::dropFile(const std::string& resourceId) {
    auto same = [&resourceId](const MVTFIleInfo& info) { return textOf(info.resourceId) == resourceId; };
    for (auto* files : {&todayArray_, &recWeekArray_, &earlierArray_, &allDataArray_})
        files->erase(std::remove_if(files->begin(), files->end(), same), files->end());
    titleArray_.clear();
    for (const char* key : {"today", "recWeek", "earlier"})
        if (!section(key).empty()) titleArray_.push_back(key);
    mytableview_->reloadData();
}
