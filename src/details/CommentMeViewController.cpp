#include "details/CommentMeViewController.h"

#include "details/CommentMeCell.h"

#include "shell/InternationalControl.h"

using namespace platform;

void CommentMeViewController::getData() {
    auto request = serviceRequest("comment/" + userId() + "/message/" + std::to_string(currentpage_));
    if (!request) return pageFailed(true);
    if (isloading_) return;
    isloading_ = true;
    sendJson(
        std::move(*request),
        [](ReferMeViewController& self, const Json& reply) {
            auto& list = static_cast<CommentMeViewController&>(self);
            list.isloading_ = false;
            if (!reply.is_array()) return list.pageFailed(false);
            list.pageArrived(reply, localized("暂时没有评论哦～"));
        },
        [](ReferMeViewController& self) { static_cast<CommentMeViewController&>(self).pageFailed(false); });
}

std::shared_ptr<TableViewCell> CommentMeViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                             const IndexPath& indexPath) {
    const int row = indexPath.row;
    if (row >= int(dataArray_.size())) return moreCell(tableView);
    auto cell = std::dynamic_pointer_cast<CommentMeCell>(tableView.dequeueReusableCellWithIdentifier(kItemIdentifier));
    if (cell) {
        cell->setNowIndex(row);
        cell->reuseCellWithDic(*dataArray_[size_t(row)]);
        return cell;
    }
    return CommentMeCell::initWithtDict(*dataArray_[size_t(row)], kItemIdentifier,
                                        std::dynamic_pointer_cast<CellDelegate>(shared_from_this()), row);
}

double CommentMeViewController::heightForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    return builtRowHeight(tableView, indexPath);
}

void CommentMeViewController::getDetailFor(int row) {
    if (row < 0 || row >= int(dataArray_.size())) return;
    const Json& item = *dataArray_[size_t(row)];
    openDetail(textOf(item, "module"), textOf(item, "moduleId"), std::nullopt, false);
}
