#include "contacts/MVTGroupListViewController.h"

#include "chat/MVTChatViewController.h"
#include "contacts/ContactsShared.h"
#include "contacts/MVTSelectMemberViewController.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {

// A few thousand groups at most; a larger file is no cache.
constexpr std::size_t kGroupCacheMaxBytes = 16u * 1024 * 1024;

std::string forumIdText(const Json& row) {
    const Json& forumid = valueFor(row, "forumid");
    if (!MVTPublicMethod::stringIsClassNull(forumid)) return std::to_string(integerValue(forumid));
    return std::to_string(integerValue(valueFor(row, "id")));
}

}  // namespace

MVTGroupListViewController::MVTGroupListViewController() = default;
MVTGroupListViewController::~MVTGroupListViewController() = default;

std::filesystem::path MVTGroupListViewController::cachePath(const std::string& userId) {
    return Paths::documentsDirectory() / (userId + "_friendType_groups");
}

void MVTGroupListViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    setTitle(localized("群组"));
    auto weak = weakAs<MVTGroupListViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    if (!isPresent_) {
        auto add = MVTPublicMethod::navigationrightBarButtonWithImage("add_nor_org");
        add->setAccessibilityLabel("+");
        add->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->newGroup();
        });
        navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(add));
    }
    dataArray_ = Json::array();
    groupListToken_.reset();
    groupListToken_ = NotificationCenter::defaultCenter().addObserver(kGroupListChaged, [weak](const Notification&) {
        if (auto self = weak.lock()) self->netGetData();
    });
    getData();
}

void MVTGroupListViewController::getData() {
    dataArray_ = Json::array();
    auto text = readFile(cachePath(contacts::accountUserId()), kGroupCacheMaxBytes);
    if (!text || MVTPublicMethod::stringIsClassNull(Json(*text))) {
        netGetData();
        return;
    }
    dealWithData(Json::parse(*text, nullptr, false));
    if (isInteractionViewSearch_) searchData();
    if (!dataArray_.empty()) {
        if (isViewLoaded() && !isInteractionViewSearch_) initmytable();
        return;
    }
    netGetData();
}

void MVTGroupListViewController::dealWithData(const Json& cached) {
    const Json& groups = valueFor(cached, "group");
    if (!groups.is_array()) return;
    dataArray_ = Json::array();
    for (const auto& group : groups)
        if (group.is_object()) dataArray_.push_back(group);
}

void MVTGroupListViewController::writeDataToLoacalFile(const Json& value) {
    if (!value.is_object()) return;
    writeFileAtomically(cachePath(contacts::accountUserId()), value.dump(2, ' ', false, Json::error_handler_t::replace));
}

void MVTGroupListViewController::showHUDWithBool(bool show) {
    if (!isViewLoaded()) return;
    contacts::showProgress(hud_, view(), show);
}

void MVTGroupListViewController::netGetData() {
    if (isLoading_) return;
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "forum/" + contacts::accountUserId() + "/list");
    if (!request) {
        auto weak = weakAs<MVTGroupListViewController>();
        RunLoop::main().performAfter(kOfflineDoneDelay, [weak] {
            if (auto self = weak.lock()) self->doneLoadingTableViewData();
        });
        contacts::showBanner(0);
        // A search must end even when the list cannot load.
        if (isInteractionViewSearch_) searchData();
        return;
    }
    showHUDWithBool(true);
    isLoading_ = true;
    auto weak = weakAs<MVTGroupListViewController>();
    HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            if (auto self = weak.lock()) self->reply(reply);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            contacts::showBanner(2);
            self->isLoading_ = false;
            self->showHUDWithBool(false);
            self->doneLoadingTableViewData();
            if (self->isInteractionViewSearch_) self->searchData();
        })
        ->start();
}

void MVTGroupListViewController::reply(const Json& reply) {
    isLoading_ = false;
    showHUDWithBool(false);
    if (!reply.is_array()) {
        // Only a list of groups is a group list: nothing is written.
        contacts::showBanner(2);
        doneLoadingTableViewData();
        if (isInteractionViewSearch_) searchData();
        return;
    }
    if (reply.empty()) {
        doneLoadingTableViewData();
        if (isInteractionViewSearch_) searchData();
        return;
    }
    writeDataToLoacalFile(Json{{"group", reply}});
    // getData reads the file back; when it cannot, the reply is shown as it came.
    dealWithData(Json{{"group", reply}});
    auto text = readFile(cachePath(contacts::accountUserId()), kGroupCacheMaxBytes);
    if (text && !MVTPublicMethod::stringIsClassNull(Json(*text))) {
        getData();
        return;
    }
    if (isInteractionViewSearch_) searchData();
    if (isViewLoaded() && !isInteractionViewSearch_) initmytable();
}

void MVTGroupListViewController::searchData() {
    searchArray_ = Json::array();
    if (!searchString_.empty())
        for (const auto& row : dataArray_) {
            const Json& name = valueFor(row, "name");
            if (name.is_string() && name.get_ref<const std::string&>().find(searchString_) != std::string::npos)
                searchArray_.push_back(row);
        }
    NotificationCenter::defaultCenter().postNotification(kSearchGroupList);
}

double MVTGroupListViewController::tableHeight() const { return Screen::mainScreen().bounds().height() - 64; }
Color MVTGroupListViewController::tableBackground() const { return Color::rgb255(245, 245, 245); }

void MVTGroupListViewController::initmytable() {
    if (mytableview_) {
        mytableview_->reloadData();
    } else {
        const double width = Screen::mainScreen().bounds().width();
        const double height = tableHeight();
        mytableview_ = myTableView::make({0, 0, width, height}, TableViewStyle::Plain);
        mytableview_->setBackgroundColor(tableBackground());
        mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
        mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
        refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -height, width, height});
        refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
        mytableview_->addSubview(refreshHeaderView_);
        refreshHeaderView_->refreshLastUpdatedDate();
        view()->addSubview(mytableview_);
    }
    auto weak = weakAs<MVTGroupListViewController>();
    RunLoop::main().performAfter(kDoneLoadingDelay, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

void MVTGroupListViewController::doneLoadingTableViewData() {
    reloading_ = false;
    if (refreshHeaderView_ && mytableview_)
        refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

void MVTGroupListViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloading_ = true;
    netGetData();
}

bool MVTGroupListViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTGroupListViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return platform::now();
}

void MVTGroupListViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTGroupListViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

int MVTGroupListViewController::numberOfRowsInSection(TableView&, int) { return static_cast<int>(dataArray_.size()); }

double MVTGroupListViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

void MVTGroupListViewController::drawGroupRow(View& content, const Json& row, double picture, const Color& bar,
                                              const std::string& name) {
    (void)row;
    const double width = Screen::mainScreen().bounds().width();
    const double frame = picture + 4;
    auto disc = MVTPublicMethod::imageViewWithColor(Color::whiteColor());
    disc->setFrame({10, (kRowHeight - frame) / 2, frame, frame});
    disc->setCornerRadius(frame / 2);
    disc->setClipsToBounds(true);
    content.addSubview(disc);
    auto icon = std::make_shared<ImageView>(Rect(12, (kRowHeight - picture) / 2, picture, picture));
    icon->setImage(Image::imageNamed("avatar-group"));
    icon->setCornerRadius(picture / 2);
    icon->setClipsToBounds(true);
    content.addSubview(icon);
    auto label = std::make_shared<Label>(Rect(20 + frame, 15, width - 40 - frame, 20));
    label->setFont(Font::systemFontOfSize(14));
    label->setTextColor(Color::darkGray());
    label->setText(name);
    content.addSubview(label);
    auto stripe = std::make_shared<View>(Rect(0, 3, 3, kRowHeight - 6));
    stripe->setBackgroundColor(bar);
    content.addSubview(stripe);
    contacts::addLine(content, {20 + frame, kRowHeight - 0.5, width - 20 - frame, 0.5}, "line1");
}

void MVTGroupListViewController::drawRow(View& content, const Json& row) {
    const Json& name = valueFor(row, "name");
    drawGroupRow(content, row, 35, Color::rgb255(153, 173, 123), name.is_string() ? name.get<std::string>() : "");
}

std::shared_ptr<TableViewCell> MVTGroupListViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                  const IndexPath& indexPath) {
    auto cell = contacts::emptyCell(tableView);
    cell->setBackgroundColor(Color::clear());
    drawRow(*cell->contentView(), dataArray_[static_cast<std::size_t>(indexPath.row)]);
    return cell;
}

void MVTGroupListViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    chooseRow(indexPath.row);
}

void MVTGroupListViewController::chooseRow(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= dataArray_.size()) return;
    selectDict_ = dataArray_[static_cast<std::size_t>(row)];
    if (!forwardDictionary_.is_null()) {
        auto alert = AlertView::make(localized("转发给") + ":", textOf(selectDict_, "name"), weakAs<AlertViewDelegate>(),
                                     localized("取消"), {localized("确定")});
        alert->setTag(kForwardAlertTag);
        alert->show();
        return;
    }
    createANewChat();
}

void MVTGroupListViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (contacts::joinClassAnswer(alert, index, *this)) return;
    if (alert.tag() == kForwardAlertTag && index == 1) createANewChat();
}

void MVTGroupListViewController::createANewChat() {
    auto chat = std::make_shared<MVTChatViewController>();
    chat->setMyDict(selectDict_);
    chat->setMsgType("forum");
    if (!forwardDictionary_.is_null()) chat->setForwardDictionary(forwardDictionary_);
    chat->setForumid(forumIdText(selectDict_));
    chat->setFieldid(std::to_string(integerValue(valueFor(selectDict_, "fieldId"))));
    chat->setTitle(textOf(selectDict_, "name"));
    if (isPresent_) {
        if (navigationController()) navigationController()->pushViewController(chat, true);
        return;
    }
    auto navigation = myNavigationController::withRoot(chat);
    navigation->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
    presentChat(navigation);
}

void MVTGroupListViewController::presentChat(const std::shared_ptr<ViewController>& navigation) {
    presentViewController(navigation, true);
}

void MVTGroupListViewController::newGroup() {
    if (MVTPublicMethod::isUnClassId()) {
        contacts::showJoinClassAlert(weakAs<AlertViewDelegate>());
        return;
    }
    auto picker = std::make_shared<MVTSelectMemberViewController>();
    picker->setWhereFrom(MVTSelectMemberViewController::kGroupNew);
    picker->setIspresent(true);
    contacts::presentInNavigation(*this, picker);
}

void MVTGroupListViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    auto* navigation = navigationController();
    if (!navigation) return;
    if (isPresent_)
        navigation->popViewController(true);
    else
        navigation->dismissViewController(true);
}

// ---- The contacts tab's variant

double MVTGroupListContactViewController::tableHeight() const { return Screen::mainScreen().bounds().height() - 164; }
Color MVTGroupListContactViewController::tableBackground() const { return Color::clear(); }

void MVTGroupListContactViewController::drawRow(View& content, const Json& row) {
    drawGroupRow(content, row, 30, Color::rgb255(147, 178, 121), textOf(row, "name"));
}

void MVTGroupListContactViewController::presentChat(const std::shared_ptr<ViewController>& navigation) {
    if (auto owner = pDelegate_.lock()) owner->presentViewController(navigation, true);
}
