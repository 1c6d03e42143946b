#include "homework/MVTHomeworkListViewController.h"

#include "core/MVTPublicMethod.h"
#include "homework/HMClassViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTWebViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/BackgroundQueue.h"
#include "platform/Clock.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {

void courseListBanner(int kind) {
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(kind);
}

// The dictionaries of a list reply, in order.
Json courseListRows(const Json& reply) {
    Json rows = Json::array();
    for (const auto& row : reply)
        if (row.is_object()) rows.push_back(row);
    return rows;
}

}  // namespace

MVTHomeworkListViewController::MVTHomeworkListViewController() = default;

MVTHomeworkListViewController::~MVTHomeworkListViewController() {
    if (overlay_) overlay_->toCancelDownLoad();
}

void MVTHomeworkListViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    auto weak = weakAs<MVTHomeworkListViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    dataArray_ = Json::array();
    stateArr_.clear();
    pageNum_ = 1;

    const Rect screen = Screen::mainScreen().bounds();
    mytableview_ = homework::makeListTable({0, 0, view()->frame().width(), screen.height() - 64});
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    view()->addSubview(mytableview_);
    const Rect tableFrame = mytableview_->frame();
    refreshHeaderView_ = EGORefreshTableHeaderView::make(
        {0, -tableFrame.height(), tableFrame.width(), tableFrame.height()});
    refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
    mytableview_->addSubview(refreshHeaderView_);
    refreshHeaderView_->refreshLastUpdatedDate();

    auto options = AttachmentDownloadOverlay::courseListOptions();
    // The service answers a missing resource with its own Chinese text, whatever the
    // language of the screens: comparing with the looked-up text would store that answer
    // as the file in English.
    options.localizedNotFound = false;
    overlay_ = AttachmentDownloadOverlay::make(weakAs<ViewController>(), options, {}, weakAs<AlertViewDelegate>());

    MVTPublicMethod::showWaitAnimation(view(), true);
    getListData();
}

void MVTHomeworkListViewController::viewWillAppear(bool animated) {
    HomeworkScreen::viewWillAppear(animated);
}

void MVTHomeworkListViewController::goback() {
    if (overlay_) overlay_->toCancelDownLoad();
    if (navigationController()) navigationController()->popViewController(true);
}

void MVTHomeworkListViewController::getListData() { loadPage(pageNum_, false); }

void MVTHomeworkListViewController::upListData() {
    reloading_ = true;
    ++refreshGeneration_;
    loadPage(1, true);
}

void MVTHomeworkListViewController::loadPage(int page, bool refresh) {
    const std::string url =
        homework::serviceUrl("course/" + subjectId_ + "/homework/" + homework::currentUserId() + "/list");
    const Json parameters = {{"limit", std::to_string(kPageSize)}, {"pageNum", std::to_string(page)}};
    const unsigned generation = refreshGeneration_;
    auto weak = weakAs<MVTHomeworkListViewController>();
    // Only building the request happens off the main thread.
    dispatchBackground([weak, url, parameters, refresh, generation] {
        auto request = MVTPublicMethod::requestWithMethod("GET", url, parameters);
        dispatchMain([weak, request, refresh, generation] {
            auto self = weak.lock();
            if (!self) return;
            if (!request) {
                if (!refresh) {
                    self->isMoring_ = true;
                    self->isFalse_ = true;
                }
                self->initmytableview();
                courseListBanner(MVTAppDelegate::NetworkMessageNoNetwork);
                return;
            }
            auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
                *request,
                [weak, refresh, generation](HttpJsonRequestOperation&, const Json& reply) {
                    auto screen = weak.lock();
                    if (!screen) return;
                    if (refresh)
                        screen->refreshArrived(reply);
                    else
                        screen->pageArrived(reply, generation);
                },
                [weak, refresh, generation](HttpRequestOperation&, const HttpError&) {
                    auto screen = weak.lock();
                    if (!screen) return;
                    if (refresh)
                        screen->initmytableview();
                    else
                        screen->pageFailed(generation);
                });
            operation->start();
        });
    });
}

void MVTHomeworkListViewController::pageArrived(const Json& reply, unsigned generation) {
    if (generation != refreshGeneration_) {
        // A refresh began after this page was asked for: the rows it would append may no
        // longer follow the list. Paging opens again and asks the same page.
        isMoring_ = false;
        isFalse_ = false;
        initmytableview();
        return;
    }
    if (!reply.is_array()) {
        pageFailed(generation);
        return;
    }
    const Json rows = courseListRows(reply);
    if (!rows.empty()) {
        ++pageNum_;
        for (const auto& row : rows) {
            dataArray_.push_back(row);
            stateArr_.push_back("0");
        }
    }
    isMoring_ = reply.size() < static_cast<std::size_t>(kPageSize);
    isFalse_ = false;
    initmytableview();
}

void MVTHomeworkListViewController::pageFailed(unsigned generation) {
    (void)generation;
    isMoring_ = true;
    isFalse_ = true;
    initmytableview();
}

void MVTHomeworkListViewController::refreshArrived(const Json& reply) {
    if (reply.is_array()) {
        const Json rows = courseListRows(reply);
        const bool firstIsNew =
            !rows.empty() && std::none_of(dataArray_.begin(), dataArray_.end(), [&](const Json& row) { return row == rows[0]; });
        if (firstIsNew) {
            dataArray_ = rows;
            stateArr_.assign(rows.size(), "0");
            isMoring_ = reply.size() < static_cast<std::size_t>(kPageSize);
            pageNum_ = 2;
        }
    }
    initmytableview();
}

void MVTHomeworkListViewController::initmytableview() {
    MVTPublicMethod::stopWaitAnimation(view());
    mytableview_->reloadData();
    ++redraws_;
    auto weak = weakAs<MVTHomeworkListViewController>();
    RunLoop::main().performAfter(kEndRefreshDelay, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

void MVTHomeworkListViewController::doneLoadingTableViewData() {
    reloading_ = false;
    refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

// ---- Table

int MVTHomeworkListViewController::numberOfRowsInSection(TableView&, int) {
    return dataArray_.empty() ? 0 : static_cast<int>(dataArray_.size()) + 1;
}

std::shared_ptr<TableViewCell> MVTHomeworkListViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                    const IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<MVTHomeworkCell>(
        tableView.dequeueReusableCellWithIdentifier(MVTHomeworkCell::kReuseIdentifier));
    if (!cell) {
        cell = MVTHomeworkCell::make();
        cell->setDelegate(weakAs<MVTHomeworkCellDelegate>());
    }
    const int row = indexPath.row;
    if (rowExists(row))
        cell->reloadDataWith(dataArray_[row], row, stateArr_[row], false, false, false);
    else
        cell->reloadDataWith(nullptr, row, "", true, isMoring_, isFalse_);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    return cell;
}

double MVTHomeworkListViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    // The height comes from filling a cell exactly as for display.
    if (!sizingCell_) sizingCell_ = MVTHomeworkCell::make();
    const int row = indexPath.row;
    if (rowExists(row))
        sizingCell_->reloadDataWith(dataArray_[row], row, stateArr_[row], false, false, false);
    else
        sizingCell_->reloadDataWith(nullptr, row, "", true, isMoring_, isFalse_);
    return sizingCell_->frame().height();
}

void MVTHomeworkListViewController::willDisplayCell(TableView&, TableViewCell&, const IndexPath& indexPath) {
    if (indexPath.row != static_cast<int>(dataArray_.size()) || isMoring_) return;
    isMoring_ = true;
    getListData();
}

void MVTHomeworkListViewController::didSelectRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    if (homework::currentRole() == "teacher" || !rowExists(indexPath.row)) return;
    const Json& row = dataArray_[indexPath.row];
    openContentWith(textOf(row, "content"), textOf(row, "title"));
}

void MVTHomeworkListViewController::scrollViewDidScroll(ScrollView& scrollView) {
    refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTHomeworkListViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTHomeworkListViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) { upListData(); }

bool MVTHomeworkListViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTHomeworkListViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return now();
}

// ---- Opening, assigning, deleting

void MVTHomeworkListViewController::openContentWith(const std::string& content, const std::string& title) {
    auto page = std::make_shared<MVTWebViewController>();
    auto navigation = myNavigationController::withRoot(page);
    presentViewController(navigation, true);
    page->reloadUrlWithHtmlStr(content, title);
}

void MVTHomeworkListViewController::showActionSheet(int row) {
    if (homework::currentRole() != "teacher") {
        if (rowExists(row)) openContentWith(textOf(dataArray_[row], "content"), textOf(dataArray_[row], "title"));
        return;
    }
    auto sheet = ActionSheet::make("", weakAs<ActionSheetDelegate>(), localized("取消"), "",
                                   {localized("查看"), localized("布置"), localized("删除")});
    sheet->setTag(row);
    sheet->showInView(view().get());
}

void MVTHomeworkListViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    const int row = sheet.tag();
    if (index == 0) {
        if (rowExists(row)) openContentWith(textOf(dataArray_[row], "content"), textOf(dataArray_[row], "title"));
    } else if (index == 1) {
        sendHMAgain(row);
    } else if (index == 2) {
        auto alert = AlertView::make(localized("提示"), localized("删除作业?"), weakAs<AlertViewDelegate>(),
                                     localized("取消"), {localized("确定")});
        alert->setTag(kDeleteAlertTag);
        alert->setAccessibilityHint(std::to_string(row));
        alert->show();
    }
}

void MVTHomeworkListViewController::sendHMAgain(int row) {
    if (!rowExists(row) || homework::currentRole() != "teacher") return;
    auto assign = HMClassViewController::initWithDicti(dataArray_[row]);
    assign->setDelegate(weakAs<SenAgainDelegate>());
    assign->view()->setTag(row);
    if (navigationController()) navigationController()->pushViewController(assign, true);
}

void MVTHomeworkListViewController::takeShareTargets(int row, const Json& shareTargets) {
    if (rowExists(row)) dataArray_[row]["shareTargets"] = shareTargets;
}

void MVTHomeworkListViewController::ReloadOneCell(int row) {
    if (!rowExists(row)) return;
    mytableview_->reloadRowsAtIndexPaths({IndexPath::forRow(row, 0)}, TableViewRowAnimation::None);
}

void MVTHomeworkListViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() != kDeleteAlertTag || index != 1) return;
    deleteRow(static_cast<int>(integerValue(alert.accessibilityHint())));
}

void MVTHomeworkListViewController::deleteRow(int row) {
    if (!rowExists(row)) return;
    const Json record = dataArray_[row];
    const std::string path = "course/homework/" + textOf(record, "id") + "/delete";
    auto request = MVTPublicMethod::requestWithMethod("GET", homework::serviceUrl(path),
                                                      Json{{"courseId", textOf(record, "courseId")}});
    if (!request) {
        initmytableview();
        courseListBanner(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    showHUDWithBool(true);
    if (HUD()) HUD()->setLabelText(localized("正在发送"));
    auto weak = weakAs<MVTHomeworkListViewController>();
    auto failed = [weak] {
        auto self = weak.lock();
        if (!self) return;
        self->showHUDWithBool(false);
        AlertView::make(localized("提示"), localized("删除失败,请重新删除"), {}, localized("确定"))->show();
    };
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak, record, failed](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            // Only a "success" that reads true is a delete; false is the service refusing.
            if (!reply.is_object() || !reply.contains("success") || !homework::readsTrue(reply["success"])) {
                failed();
                return;
            }
            // The row is found again by its record: the list may have changed meanwhile.
            auto& rows = self->dataArray_;
            for (std::size_t i = 0; i < rows.size(); ++i)
                if (rows[i] == record) {
                    rows.erase(rows.begin() + static_cast<long>(i));
                    self->stateArr_.erase(self->stateArr_.begin() + static_cast<long>(i));
                    break;
                }
            self->initmytableview();
            self->showHUDWithBool(false);
        },
        [failed](HttpRequestOperation&, const HttpError&) { failed(); });
    operation->start();
}

// ---- Attachments

void MVTHomeworkListViewController::toSaveShowAttachWith(int row) {
    if (!rowExists(row)) return;
    stateArr_[row] = integerValue(stateArr_[row]) == 0 ? "1" : "0";
    mytableview_->reloadData();
}

void MVTHomeworkListViewController::toDownLoadAttachsWith(Button& button) {
    overlay_->toDownLoadAttachsWith(button.accessibilityHint(), button.accessibilityLabel(), button.currentTitle());
}

void MVTHomeworkListViewController::toAgainGetListData() {
    isFalse_ = false;
    isMoring_ = false;
    getListData();
}
