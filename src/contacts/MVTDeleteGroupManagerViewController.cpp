#include "contacts/MVTDeleteGroupManagerViewController.h"

#include "contacts/ContactsShared.h"
#include "contacts/GroupShared.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

using namespace platform;

void MVTDeleteGroupManagerViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("取消管理员"));
    auto weak = weakAs<MVTDeleteGroupManagerViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        auto self = weak.lock();
        if (self && self->navigationController()) self->navigationController()->popViewController(true);
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    const double width = Screen::mainScreen().bounds().width();
    mytableview_ = myTableView::make({0, 0, width, view()->frame().height()}, TableViewStyle::Plain);
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    view()->addSubview(mytableview_);
}

void MVTDeleteGroupManagerViewController::showHUDWithBool(bool show) {
    if (!isViewLoaded()) return;
    contacts::showProgress(hud_, view(), show);
}

void MVTDeleteGroupManagerViewController::deleteGroupManager(Button& button) {
    auto alert = AlertView::make(localized("确认") + localized("取消管理员") + "?", "", weakAs<AlertViewDelegate>(),
                                 localized("取消"), {localized("确定")});
    alert->setTag(button.tag());
    alert->show();
}

void MVTDeleteGroupManagerViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (index == 1) sureToDelete(static_cast<int>(alert.tag()));
}

void MVTDeleteGroupManagerViewController::sureToDelete(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= managerArray_.size()) return;
    const Json manager = managerArray_[static_cast<std::size_t>(row)];
    auto weak = weakAs<MVTDeleteGroupManagerViewController>();
    auto sent = groups::sendMemberOperate(
        groupId_, groups::cancelManagerQuery(groups::memberUid(manager)),
        [weak, manager](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            if (!groups::replySucceeded(reply)) {
                groups::showRefusal(reply);
                return;
            }
            NotificationCenter::defaultCenter().postNotification(groups::kMemberListChaged);
            // The rows may have moved while the request ran: drop the entry it was for.
            auto& list = self->managerArray_;
            auto found = std::find(list.begin(), list.end(), manager);
            if (found != list.end()) list.erase(found);
            if (self->mytableview_) self->mytableview_->reloadData();
        },
        [] { AlertView::make(localized("提示"), localized("删除失败,请重新删除"), {}, "确定")->show(); });
    if (!sent) contacts::showBanner(0);
}

int MVTDeleteGroupManagerViewController::numberOfRowsInSection(TableView&, int) {
    return static_cast<int>(managerArray_.size());
}

double MVTDeleteGroupManagerViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVTDeleteGroupManagerViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                          const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("ManagerCell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "ManagerCell");
    } else {
        auto subviews = cell->contentView()->subviews();
        for (const auto& sub : subviews) sub->removeFromSuperview();
    }
    cell->setBackgroundColor(Color::whiteColor());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    const Json& manager = managerArray_[static_cast<std::size_t>(indexPath.row)];
    const double width = Screen::mainScreen().bounds().width();
    auto& content = *cell->contentView();
    contacts::addAvatar(content, {15, 10}, groups::memberUid(manager), textOf(manager, "role"), false);
    auto name = std::make_shared<Label>(Rect(65, 20, width - 180, 20));
    name->setFont(Font::boldSystemFontOfSize(16));
    name->setTextColor(Color::rgb255(60, 60, 60));
    name->setText(textOf(manager, "name"));
    content.addSubview(name);
    auto button = std::make_shared<Button>(Rect(width - 100, 15, 90, 30));
    button->setTitle(localized("取消管理员"));
    button->setTitleColor(Color::whiteColor());
    button->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
    button->setBackgroundColor(Color::rgb255(220, 70, 60));
    button->setCornerRadius(4);
    button->setTag(indexPath.row);
    auto weak = weakAs<MVTDeleteGroupManagerViewController>();
    button->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
        if (auto self = weak.lock()) self->deleteGroupManager(static_cast<Button&>(sender));
    });
    content.addSubview(button);
    contacts::addLine(content, {0, kRowHeight - 1, width, 1});
    return cell;
}
