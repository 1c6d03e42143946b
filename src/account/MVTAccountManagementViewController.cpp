#include "account/MVTAccountManagementViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/Application.h"
#include "platform/StatisticsKit.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

using namespace platform;
using Json = nlohmann::json;

namespace {

constexpr const char* kAccountCellId = "accountCell";
constexpr const char* kAddCellId = "addCell";

std::string rowText(const Json& row, const char* key) {
    return row.is_object() && row.contains(key) ? textOf(row, key) : std::string();
}

}  // namespace

MVTAccountManagementViewController::MVTAccountManagementViewController() = default;

MVTAccountManagementViewController::~MVTAccountManagementViewController() = default;

void MVTAccountManagementViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("账号管理"));
    StatisticsKit::shared().beginLogPageView(kPageName);

    std::weak_ptr<MVTAccountManagementViewController> weak = weakAs<MVTAccountManagementViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));

    accounts_ = MVTtirraDataBase::selectUsersTableData();
    if (!accounts_.is_array()) accounts_ = Json::array();

    // Built once; later loads only reload it.
    if (!myTable_) {
        const Rect screen = Screen::mainScreen().bounds();
        myTable_ = myTableView::make(Rect(7.5, 0, screen.width() - 15, screen.height() - 64), TableViewStyle::Plain);
        myTable_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
        myTable_->setBackgroundColor(Color::clear());
        myTable_->setDataSource(weakAs<TableViewDataSource>().lock());
        myTable_->setDelegate(weakAs<TableViewDelegate>().lock());
        view()->addSubview(myTable_);
    }
    myTable_->reloadData();
}

void MVTAccountManagementViewController::reloadUserWith(const Json& row) {
    (void)row;
    accounts_ = MVTtirraDataBase::selectUsersTableData();
    if (!accounts_.is_array()) accounts_ = Json::array();
    if (myTable_) myTable_->reloadData();
}

void MVTAccountManagementViewController::addAccount() {
    auto add = std::make_shared<MVTAddAccountViewController>();
    add->setDelegate(weakAs<MVTAddAccountDelegate>().lock());
    if (auto navigation = navigationController()) navigation->pushViewController(add, true);
}

void MVTAccountManagementViewController::login(const std::string& userName, const std::string& password) {
    if (auto app = std::dynamic_pointer_cast<MVTAppDelegate>(Application::shared().delegate()))
        app->login(userName, password, false);
}

void MVTAccountManagementViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    dismissViewController(true);
}

bool MVTAccountManagementViewController::isSignedInAccount(const Json& row) {
    const auto signedIn = MVTAccount::sharedInstance().userId();
    if (!signedIn) return false;
    return integerValue(rowText(row, "userId")) == integerValue(*signedIn);
}

// ---- Table ------------------------------------------------------------------------------------

int MVTAccountManagementViewController::numberOfSectionsInTableView(TableView&) { return 2; }

int MVTAccountManagementViewController::numberOfRowsInSection(TableView&, int section) {
    return section == 0 ? static_cast<int>(accounts_.size()) : 1;
}

double MVTAccountManagementViewController::heightForHeaderInSection(TableView&, int) { return kHeaderHeight; }

std::shared_ptr<View> MVTAccountManagementViewController::viewForHeaderInSection(TableView& tableView, int) {
    auto header = std::make_shared<View>(Rect(0, 0, tableView.bounds().width(), kHeaderHeight));
    header->setBackgroundColor(Color::clear());
    return header;
}

double MVTAccountManagementViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    return indexPath.section == 0 ? kAccountRowHeight : kAddRowHeight;
}

std::shared_ptr<TableViewCell> MVTAccountManagementViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                        const IndexPath& indexPath) {
    return indexPath.section == 0 ? accountCell(tableView, indexPath.row) : addCell(tableView);
}

std::shared_ptr<TableViewCell> MVTAccountManagementViewController::accountCell(TableView& tableView, int row) {
    auto cell = tableView.dequeueReusableCellWithIdentifier(kAccountCellId);
    if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, kAccountCellId);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->setBackgroundColor(Color::clear());
    auto content = cell->contentView();
    for (auto& old : std::vector<std::shared_ptr<View>>(content->subviews())) old->removeFromSuperview();

    const Json& account = accounts_.at(static_cast<size_t>(row));
    const double width = tableView.bounds().width();

    auto background = std::make_shared<View>(Rect(0, 0, width, kAccountRowHeight));
    background->setBackgroundColor(Color::whiteColor());
    content->addSubview(background);

    const std::string userId = rowText(account, "userId");
    const std::string role = rowText(account, "role");
    auto avatar = std::make_shared<ImageView>(Rect(5, 5, 40, 40));
    avatar->setCornerRadius(20);
    avatar->setClipsToBounds(true);
    avatar->setBorderColor(Color::white(0.882));
    avatar->setBorderWidth(0.6);
    avatar->setImage(Image::imageNamed("default_user"));
    // The loader fetches a missing or stale picture by the user id the view carries.
    avatar->setAccessibilityHint(userId);
    avatar->setAccessibilityValue(role);
    content->addSubview(avatar);
    MVTPublicMethod::setFaceImage(avatar, MVTPublicMethod::getPathByFileName(userId, "png"), role);

    auto name = std::make_shared<Label>(Rect(50, 5, 200, 20));
    name->setBackgroundColor(Color::clear());
    name->setTextColor(Color::white(0.235));
    name->setFont(Font::fontWithName("Helvetica", 16));
    name->setText(rowText(account, "name"));
    content->addSubview(name);

    auto userName = std::make_shared<Label>(Rect(50, 25, 200, 20));
    userName->setBackgroundColor(Color::clear());
    userName->setTextColor(Color::lightGray());
    userName->setFont(Font::systemFontOfSize(14));
    userName->setText(rowText(account, "userName"));
    content->addSubview(userName);

    if (row + 1 < static_cast<int>(accounts_.size())) {
        auto hairline = std::make_shared<View>(Rect(5, kAccountRowHeight - 0.6, width - 10, 0.6));
        hairline->setBackgroundColor(Color::rgba(0.847, 0.851, 0.871));
        content->addSubview(hairline);
    }

    cell->setAccessoryType(isSignedInAccount(account) ? TableViewCellAccessoryType::Checkmark
                                                      : TableViewCellAccessoryType::None);
    return cell;
}

std::shared_ptr<TableViewCell> MVTAccountManagementViewController::addCell(TableView& tableView) {
    auto cell = tableView.dequeueReusableCellWithIdentifier(kAddCellId);
    if (cell) return cell;
    cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, kAddCellId);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->setBackgroundColor(Color::clear());

    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({0, 0, tableView.bounds().width(), kAddRowHeight});
    button->setBackgroundImage(Image::imageNamed("publish"));
    button->setBackgroundImage(Image::imageNamed("publish_press"), ControlStateHighlighted);
    button->setTitle(localized("添加账号"));
    button->setTitleColor(Color::whiteColor());
    button->titleLabel()->setFont(Font::boldSystemFontOfSize(16));
    std::weak_ptr<MVTAccountManagementViewController> weak = weakAs<MVTAccountManagementViewController>();
    button->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->addAccount();
    });
    cell->contentView()->addSubview(button);
    return cell;
}

void MVTAccountManagementViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    // The add row answers through its button only.
    if (indexPath.section != 0 || indexPath.row >= static_cast<int>(accounts_.size())) return;
    const Json account = accounts_.at(static_cast<size_t>(indexPath.row));
    if (isSignedInAccount(account)) return;
    tableView.deselectRowAtIndexPath(indexPath, true);
    login(rowText(account, "userName"), rowText(account, "password"));
}

bool MVTAccountManagementViewController::canEditRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    return indexPath.section == 0;
}

TableViewCellEditingStyle MVTAccountManagementViewController::editingStyleForRowAtIndexPath(
    TableView&, const IndexPath& indexPath) {
    return indexPath.section == 0 ? TableViewCellEditingStyle::Delete : TableViewCellEditingStyle::None;
}

std::string MVTAccountManagementViewController::titleForDeleteConfirmationButtonForRowAtIndexPath(TableView&,
                                                                                                 const IndexPath&) {
    return localized("删除");
}

void MVTAccountManagementViewController::commitEditingStyle(TableView& tableView, TableViewCellEditingStyle style,
                                                            const IndexPath& indexPath) {
    if (style != TableViewCellEditingStyle::Delete || indexPath.section != 0 ||
        indexPath.row >= static_cast<int>(accounts_.size()))
        return;
    const Json account = accounts_.at(static_cast<size_t>(indexPath.row));
    if (isSignedInAccount(account)) {
        AlertView::make(localized("当前用户不可删除"), "", {}, localized("知道了"))->show();
        return;
    }
    const std::string userId = rowText(account, "userId");
    MVTtirraDataBase::deleteUserNewsSettingDataWith(userId);
    MVTtirraDataBase::deleteUsersTableWith(userId);
    accounts_.erase(static_cast<size_t>(indexPath.row));
    tableView.reloadData();
}
