#include "me/MVTSelectListViewController.h"

#include "me/SpaceShared.h"

#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/RunLoop.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

void MVTSelectListViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("选择"));
    std::weak_ptr<MVTSelectListViewController> weak = weakAs<MVTSelectListViewController>();
    space::installBackButton(*this, [weak] {
        if (auto self = weak.lock()) self->goback();
    });
    setInfoArray_ = {localized("30秒"), localized("1分钟"), localized("2分钟"), localized("5分钟")};
}

void MVTSelectListViewController::initmyTable() {
    if (myTable_) {
        myTable_->reloadData();
        return;
    }
    const Rect bounds = view()->bounds();
    myTable_ = myTableView::make({0, 0, bounds.width(), bounds.height() - 44 - SDH}, TableViewStyle::Grouped);
    myTable_->setShowsVerticalScrollIndicator(false);
    auto self = std::static_pointer_cast<MVTSelectListViewController>(shared_from_this());
    myTable_->setDataSource(self);
    myTable_->setDelegate(self);
    view()->addSubview(myTable_);
}

void MVTSelectListViewController::goback() {
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

int MVTSelectListViewController::numberOfRowsInSection(TableView&, int) { return int(setInfoArray_.size()); }
double MVTSelectListViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 44; }
double MVTSelectListViewController::heightForHeaderInSection(TableView&, int) { return 15; }
double MVTSelectListViewController::heightForFooterInSection(TableView&, int) { return 0; }

std::shared_ptr<TableViewCell> MVTSelectListViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                  const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "Cell");
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    if (indexPath.row >= 0 && indexPath.row < int(setInfoArray_.size()))
        cell->textLabel()->setText(setInfoArray_[std::size_t(indexPath.row)]);
    cell->setAccessoryType(indexPath.row == select_ ? TableViewCellAccessoryType::Checkmark
                                                    : TableViewCellAccessoryType::None);
    return cell;
}

void MVTSelectListViewController::didSelectRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    if (indexPath.row < 0 || indexPath.row >= int(setInfoArray_.size())) return;
    select_ = indexPath.row;
    initmyTable();
    if (auto delegate = delegate_.lock()) delegate->didSelectedWhichWith(indexPath.row);
    std::weak_ptr<MVTSelectListViewController> weak = weakAs<MVTSelectListViewController>();
    RunLoop::main().performAfter(kPopDelay, [weak] {
        if (auto self = weak.lock()) self->goback();
    });
}
