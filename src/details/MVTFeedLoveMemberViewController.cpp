#include "details/MVTFeedLoveMemberViewController.h"

#include "feed/PostRecord.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

void MVTFeedLoveMemberViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(post::fill(localized("%@个人赞过"), {loveCount_}));
    auto weak = weakAs<MVTFeedLoveMemberViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    table_ = myTableView::make(view()->bounds(), TableViewStyle::Plain);
    table_->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    table_->setDataSource(weakAs<TableViewDataSource>().lock());
    table_->setDelegate(weakAs<TableViewDelegate>().lock());
    view()->addSubview(table_);
    getData();
}

void MVTFeedLoveMemberViewController::getData() {
    const std::string uid = MVTAccount::sharedInstance().userId().value_or("");
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + uid + "/praise/" + module_ + "/" + moduleId_ + "/users");
    if (!request) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        return;
    }
    auto weak = weakAs<MVTFeedLoveMemberViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        std::move(*request),
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->members_ = Json::array();
            if (reply.is_array())
                for (const auto& entry : reply)
                    if (entry.is_object()) self->members_.push_back(entry);
            self->table_->reloadData();
        },
        [](HttpRequestOperation&, const HttpError&) {
            MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
        });
    operation->start();
}

void MVTFeedLoveMemberViewController::goback() {
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

int MVTFeedLoveMemberViewController::numberOfRowsInSection(TableView&, int) { return int(members_.size()); }

std::shared_ptr<TableViewCell> MVTFeedLoveMemberViewController::cellForRowAtIndexPath(TableView&,
                                                                                       const IndexPath& indexPath) {
    auto cell = std::make_shared<TableViewCell>();
    cell->initWithStyle(TableViewCellStyle::Default, "");
    cell->textLabel()->setText(textOf(members_[std::size_t(indexPath.row)], "name"));
    return cell;
}
