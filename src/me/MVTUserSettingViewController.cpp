#include "me/MVTUserSettingViewController.h"

#include "composer/MVTSaveDynamicViewController.h"
#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

void MVTUserSettingViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("我"));
    const Rect bounds = view()->bounds();
    settingTable_ = myTableView::make({0, 0, bounds.width(), bounds.height()}, TableViewStyle::Grouped);
    auto self = std::static_pointer_cast<MVTUserSettingViewController>(weakAs<MVTUserSettingViewController>().lock());
    settingTable_->setDataSource(std::static_pointer_cast<TableViewDataSource>(self));
    settingTable_->setDelegate(std::static_pointer_cast<TableViewDelegate>(self));
    view()->addSubview(settingTable_);
}

int MVTUserSettingViewController::numberOfRowsInSection(TableView&, int) {
    return static_cast<int>(setInfoArray_.size());
}

std::shared_ptr<TableViewCell> MVTUserSettingViewController::cellForRowAtIndexPath(TableView&,
                                                                                   const IndexPath& indexPath) {
    auto cell = std::make_shared<TableViewCell>();
    cell->initWithStyle(TableViewCellStyle::Default, "settingCell");
    cell->textLabel()->setText(localized(setInfoArray_.at(indexPath.row)));
    return cell;
}

void MVTUserSettingViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (setInfoArray_.at(indexPath.row) == "草稿箱") openSaveDynamic();
}

void MVTUserSettingViewController::openSaveDynamic() {
    auto box = std::make_shared<MVTSaveDynamicViewController>();
    presentViewController(myNavigationController::withRoot(box), true);
}

void MVTUserSettingViewController::reloadRelativeAndCommentCount() {
    const int count = MVTAccount::sharedInstance().newRelevantMe();
    if (count != shownRelevantMe_) shownRelevantMe_ = count;
}

void MVTUserSettingViewController::reloadUserLvl() { ++reloadUserLvlCount_; }
