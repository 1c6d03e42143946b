#include "details/MVTFeedLoveMemberViewController.h"

#include "feed/PostRecord.h"
#include "me/MVTTimeSpaceViewController.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

namespace {
// A praisers' list larger than this is no list of a school's users.
constexpr std::size_t kPraisersMaxReplyBytes = 2u * 1024 * 1024;
}  // namespace

void MVTFeedLoveMemberViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    auto weak = weakAs<MVTFeedLoveMemberViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    setTitle(post::fill(localized("%@个人赞过"), {loveCount_}));
    auto refresh = MVTPublicMethod::navigationrightBarButton(localized("刷新"));
    refresh->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->netGetData();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(refresh));
    dataArray_ = Json::array();
    netGetData();
}

void MVTFeedLoveMemberViewController::netGetData() {
    showHUDWithBool(true);
    const std::string uid = MVTAccount::sharedInstance().userId().value_or("");
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + uid + "/praise/" + module_ + "/" + moduleId_ + "/users");
    if (!request) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageNoNetwork);
        showHUDWithBool(false);
        return;
    }
    auto weak = weakAs<MVTFeedLoveMemberViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        std::move(*request),
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            // Only the praisers that are dictionaries make rows; an empty reply keeps the rows.
            Json praisers = Json::array();
            if (reply.is_array())
                for (const auto& entry : reply)
                    if (entry.is_object()) praisers.push_back(entry);
            if (!praisers.empty()) {
                self->dataArray_ = praisers;
                self->initmytable();
            }
            self->showHUDWithBool(false);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
            if (auto self = weak.lock()) self->showHUDWithBool(false);
        });
    operation->setMaxResponseBytes(kPraisersMaxReplyBytes);
    operation->start();
}

void MVTFeedLoveMemberViewController::initmytable() {
    if (mytableview_) {
        mytableview_->reloadData();
        return;
    }
    const Rect bounds = view()->bounds();
    mytableview_ = myTableView::make({0, 0, bounds.width(), bounds.height() - SDH}, TableViewStyle::Plain);
    mytableview_->setBackgroundColor(Color::white(0.961));
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    view()->addSubview(mytableview_);
}

void MVTFeedLoveMemberViewController::showHUDWithBool(bool show) {
    if (!show) {
        if (HUD_) HUD_->hide(true);
        return;
    }
    if (HUD_) HUD_->removeFromSuperview();
    HUD_ = ProgressHUD::showHUDAddedTo(view(), true);
}

void MVTFeedLoveMemberViewController::goback() {
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

int MVTFeedLoveMemberViewController::numberOfRowsInSection(TableView&, int) { return int(dataArray_.size()); }

double MVTFeedLoveMemberViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVTFeedLoveMemberViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                       const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "Cell");
        cell->setBackgroundColor(Color::clear());
    }
    for (const auto& old : cell->contentView()->subviews()) old->removeFromSuperview();
    const std::size_t row = std::size_t(indexPath.row);
    if (row >= dataArray_.size()) return cell;
    const Json& praiser = dataArray_[row];
    const double W = Screen::mainScreen().bounds().width();

    auto name = std::make_shared<Label>(Rect(80, 18, 200, 20));
    name->setBackgroundColor(Color::clear());
    name->setTextColor(Color::rgb255(37, 52, 33));
    name->setFont(Font::systemFontOfSize(14));
    name->setText(textOf(praiser, "name"));
    cell->contentView()->addSubview(name);

    const std::string uid = textOf(praiser, "uid");
    auto avatar = std::make_shared<ImageView>(Rect(20, 10, 40, 40));
    avatar->setUserInteractionEnabled(true);
    avatar->setCornerRadius(20);
    avatar->setClipsToBounds(true);
    avatar->setAccessibilityHint(uid);
    avatar->setAccessibilityValue(textOf(praiser, "role"));
    // The cache file is named by the id read as a number: no id can name another file.
    MVTPublicMethod::setFaceImage(
        avatar, MVTPublicMethod::getPathByFileName(std::to_string(integerValue(Json(uid))), "png"),
        textOf(praiser, "role"));
    auto tap = std::make_shared<Button>(Rect(0, 0, 40, 40));
    tap->setBackgroundColor(Color::clear());
    tap->setTag(indexPath.row);
    auto weak = weakAs<MVTFeedLoveMemberViewController>();
    tap->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->clickHeadBtn(control.tag());
    });
    avatar->addSubview(tap);
    cell->contentView()->addSubview(avatar);

    auto line = std::make_shared<ImageView>(Rect(0, 59, W, 1));
    line->setImage(Image::imageNamed("line_10"));
    cell->contentView()->addSubview(line);
    return cell;
}

void MVTFeedLoveMemberViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
}

void MVTFeedLoveMemberViewController::clickHeadBtn(int row) {
    if (row < 0 || std::size_t(row) >= dataArray_.size()) return;
    const Json& praiser = dataArray_[std::size_t(row)];
    chooseNamed(Json{{"id", valueFor(praiser, "uid")}, {"name", valueFor(praiser, "name")}, {"role", valueFor(praiser, "role")}});
}

void MVTFeedLoveMemberViewController::chooseNamed(const Json& user) {
    if (textOf(user, "role") == "system") return;
    auto space = std::make_shared<MVTTimeSpaceViewController>();
    space->setUserDict(user);
    space->view()->setAccessibilityValue("push");
    if (auto* navigation = navigationController()) navigation->pushViewController(space, true);
}
