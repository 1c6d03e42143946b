#include "notices/MVTSubscriptionViewController.h"

#include "notices/MVTSubscriptionListViewController.h"
#include "notices/NoticeShared.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

using namespace platform;

// ---- What both lists share

void SubscriptionScreen::makeInfoLabel() {
    movieInfoLabel_ = std::make_shared<Label>(Rect(0, 150, Screen::mainScreen().bounds().width(), 100));
    movieInfoLabel_->setTextAlignment(TextAlignment::Center);
    movieInfoLabel_->setBackgroundColor(Color::clear());
}

void SubscriptionScreen::reloadTableViewDataSource() {
    // A pull while the list is on its way is dropped.
    if (operation_) {
        doneLoadingTableViewData();
        return;
    }
    reloading_ = true;
    initDataArray();
}

void SubscriptionScreen::loadRows(const std::string& url, bool inList, bool overlay) {
    if (overlay) showHUDWithBool(true);
    std::weak_ptr<SubscriptionScreen> weak = weakAs<SubscriptionScreen>();
    auto operation = notices::requestJson(
        weakAs<ViewController>(), "GET", url, Json(), [weak, inList](notices::LoadOutcome outcome, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->operation_.reset();
            if (outcome == notices::LoadOutcome::Offline) {
                if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
                self->doneLoadingTableViewData();
            } else {
                const Json& listed = inList && reply.is_object() ? valueFor(reply, "list") : reply;
                auto rows = outcome == notices::LoadOutcome::Reply ? notices::dictionaryList(listed) : std::nullopt;
                if (rows && !rows->empty()) {
                    self->movieInfoLabel_->removeFromSuperview();
                    self->dataArr_ = *rows;
                    self->showTable(Color::clear(), kEndPullDelay);
                } else if (rows) {
                    // Nothing to show: the label over what was there, and the pull ends.
                    self->movieInfoLabel_->setText(localized("暂无数据"));
                    self->view()->addSubview(self->movieInfoLabel_);
                    self->doneLoadingTableViewData();
                } else {
                    // A failed load (or a reply of another shape): the table, empty on a
                    // first load, so that it can be pulled again.
                    self->showTable(Color::clear(), kEndPullDelay);
                }
            }
            self->showHUDWithBool(false);
        });
    if (operation) operation_ = operation;
}

// ---- The channel list

void MVTSubscriptionViewController::viewDidLoad() {
    SubscriptionScreen::viewDidLoad();
    setUpScreen(localized("校园资讯"), kPageName);
    dataArr_ = Json::array();
    initDataArray();
}

void MVTSubscriptionViewController::initDataArray() {
    if (!movieInfoLabel_) makeInfoLabel();
    loadRows(notices::serviceUrl("rss/" + notices::currentUserId() + "/list"), false, true);
}

void MVTSubscriptionViewController::goback() {
    endPageView();
    dismissViewController(true);
}

std::shared_ptr<TableViewCell> MVTSubscriptionViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                   const IndexPath& indexPath) {
    auto cell = plainCell(tableView);
    if (indexPath.row < 0 || indexPath.row >= int(dataArr_.size())) return cell;
    cell->textLabel()->setText(textOf(dataArr_[std::size_t(indexPath.row)], "name"));
    addSeparator(*cell->contentView(), kRowHeight - 1);
    return cell;
}

void MVTSubscriptionViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row < 0 || indexPath.row >= int(dataArr_.size())) return;
    const Json& row = dataArr_[std::size_t(indexPath.row)];
    auto articles = std::make_shared<MVTSubscriptionListViewController>();
    articles->setTitleString(textOf(row, "name"));
    articles->setRssId(textOf(row, "id"));
    if (auto navigation = navigationController()) navigation->pushViewController(articles, true);
}
