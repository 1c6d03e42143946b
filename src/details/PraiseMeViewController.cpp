#include "details/PraiseMeViewController.h"

#include "details/MVTPraseMeCell.h"

#include "shell/InternationalControl.h"

#include "platform/ui/TableViewCell.h"

using namespace platform;

void PraiseMeViewController::getData() {
    if (isloading_) return;
    isloading_ = true;
    auto request = serviceRequest("praise/" + userId() + "/user/" + std::to_string(currentpage_));
    if (!request) {
        isloading_ = false;
        pageFailed(true);
        return;
    }
    sendJson(
        std::move(*request),
        [](ReferMeViewController& self, const Json& reply) {
            static_cast<PraiseMeViewController&>(self).isloading_ = false;
            static_cast<PraiseMeViewController&>(self).pageArrived(reply, localized("暂时没有赞我的"));
        },
        [](ReferMeViewController& self) {
            static_cast<PraiseMeViewController&>(self).isloading_ = false;
            static_cast<PraiseMeViewController&>(self).pageFailed(false);
        });
}

std::shared_ptr<TableViewCell> PraiseMeViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                             const IndexPath& indexPath) {
    const std::size_t row = std::size_t(indexPath.row);
    if (row >= dataArray_.size()) return moreCell(tableView);
    const Json& record = *dataArray_[row];
    auto cell = std::dynamic_pointer_cast<MVTPraseMeCell>(tableView.dequeueReusableCellWithIdentifier(kItemIdentifier));
    if (cell) {
        cell->reuseCellWithDic(record);
    } else {
        cell = MVTPraseMeCell::initWithtDict(record, kItemIdentifier);
        cell->setDelegate(weakAs<CellDelegate>());
    }
    return cell;
}

double PraiseMeViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    return std::size_t(indexPath.row) < dataArray_.size() ? kRowHeight : kMoreRowHeight;
}

void PraiseMeViewController::getDetailFor(int row) {
    if (row < 0 || std::size_t(row) >= dataArray_.size()) return;
    const Json& record = *dataArray_[std::size_t(row)];
    openDetail(textOf(record, "module_type"), textOf(record, "module_type_id"), kDetailTimeout, false);
}
