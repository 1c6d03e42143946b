#include "me/MVTPrivacySettingViewController.h"

#include "me/SpaceShared.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "core/MVTPublicMethod.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"

using namespace platform;

namespace {

void showPrivacyAlert(const std::string& message) {
    AlertView::make(localized("提示"), message, {}, localized("确定"))->show();
}

void showFailedBanner() {
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
}

}  // namespace

MVTPrivacySettingViewController::MVTPrivacySettingViewController() = default;
MVTPrivacySettingViewController::~MVTPrivacySettingViewController() = default;

void MVTPrivacySettingViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("隐私设置"));
    titleArray_ = {localized("哪些人可以查看个人空间？")};
    setInfoArray_ = {localized("学校中所有用户"), localized("班级成员及好友"), localized("仅好友"), localized("仅自己")};
    auto back = MVTPublicMethod::navigationleftBarButton();
    std::weak_ptr<MVTPrivacySettingViewController> weak = weakAs<MVTPrivacySettingViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    initmyTable();
    netGetData();
}

void MVTPrivacySettingViewController::initmyTable() {
    if (myTable_) {
        myTable_->reloadData();
        return;
    }
    const Rect bounds = view()->bounds();
    myTable_ = myTableView::make({7.5, 0, bounds.width() - 15, bounds.height() - 44 - SDH}, TableViewStyle::Grouped);
    myTable_->setShowsVerticalScrollIndicator(false);
    auto self = std::static_pointer_cast<MVTPrivacySettingViewController>(shared_from_this());
    myTable_->setDataSource(self);
    myTable_->setDelegate(self);
    view()->addSubview(myTable_);
}

void MVTPrivacySettingViewController::showHUD(bool show) { space::showOverlay(HUD_, view(), show); }

void MVTPrivacySettingViewController::netGetData() {
    std::weak_ptr<MVTPrivacySettingViewController> weak = weakAs<MVTPrivacySettingViewController>();
    const bool sent = space::sendJson(
        "GET", "user/" + space::currentUserId() + "/privacy", nullptr,
        [weak](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUD(false);
            if (!reply.is_object() || reply.empty()) {
                showPrivacyAlert("隐私权限获取失败");
                return;
            }
            self->myDict_ = reply;
            self->initmyTable();
        },
        [weak] {
            if (auto self = weak.lock()) self->showHUD(false);
            showFailedBanner();
        });
    if (sent) showHUD(true);
}

void MVTPrivacySettingViewController::changPrivaacy(const Json& values) {
    Json parameters = Json::object();
    if (values.contains("spacePrivacy")) {
        parameters["spacePrivacy"] = textOf(values, "spacePrivacy");
        if (values.contains("messagePrivacy")) parameters["messagePrivacy"] = textOf(values, "messagePrivacy");
    }
    std::weak_ptr<MVTPrivacySettingViewController> weak = weakAs<MVTPrivacySettingViewController>();
    const bool sent = space::sendJson(
        "POST", "user/" + space::currentUserId() + "/privacy/update", parameters,
        [weak, parameters](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUD(false);
            if (!reply.is_object() || reply.empty()) return;
            if (space::succeeded(reply)) {
                if (!self->myDict_) self->myDict_ = Json::object();
                for (const auto& [key, value] : parameters.items()) (*self->myDict_)[key] = value;
                self->initmyTable();
                return;
            }
            const Json& message = valueFor(reply, "message");
            showPrivacyAlert(MVTPublicMethod::stringIsClassNull(message) ? localized("隐私权限获取失败") : textOf(message));
        },
        [weak] {
            if (auto self = weak.lock()) self->showHUD(false);
            showFailedBanner();
        });
    if (sent) showHUD(true);
}

int MVTPrivacySettingViewController::tickedRow() const {
    if (!myDict_ || !myDict_->contains("spacePrivacy")) return -1;
    const int row = 3 - intValue(Json(textOf(*myDict_, "spacePrivacy")));
    return row >= 0 && row <= 3 ? row : -1;
}

void MVTPrivacySettingViewController::goback() {
    if (view()->accessibilityHint() == "personalSpace") {
        if (auto* navigation = navigationController()) navigation->popViewController(true);
        return;
    }
    dismissViewController(true);
}

int MVTPrivacySettingViewController::numberOfSectionsInTableView(TableView&) { return int(titleArray_.size()); }

int MVTPrivacySettingViewController::numberOfRowsInSection(TableView&, int) { return int(setInfoArray_.size()); }

std::shared_ptr<TableViewCell> MVTPrivacySettingViewController::cellForRowAtIndexPath(TableView&,
                                                                                      const IndexPath& indexPath) {
    auto cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "");
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    if (indexPath.row >= 0 && indexPath.row < int(setInfoArray_.size())) {
        cell->textLabel()->setText(setInfoArray_[std::size_t(indexPath.row)]);
        cell->textLabel()->setFont(Font::systemFontOfSize(16));
        cell->textLabel()->setTextColor(Color::white(60.0 / 255));
    }
    if (indexPath.row == tickedRow()) cell->setAccessoryType(TableViewCellAccessoryType::Checkmark);
    return cell;
}

std::string MVTPrivacySettingViewController::titleForHeaderInSection(TableView&, int section) {
    return section >= 0 && section < int(titleArray_.size()) ? titleArray_[std::size_t(section)] : std::string();
}

double MVTPrivacySettingViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 44; }
double MVTPrivacySettingViewController::heightForHeaderInSection(TableView&, int) { return 45; }
double MVTPrivacySettingViewController::heightForFooterInSection(TableView&, int) { return 0; }

void MVTPrivacySettingViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row == tickedRow() || indexPath.row < 0 || indexPath.row > 3) return;
    Json values = Json::object();
    if (myDict_ && myDict_->contains("spacePrivacy")) {
        values["spacePrivacy"] = (*myDict_)["spacePrivacy"];
        // A student's save always lets the whole school write to him or her.
        if (space::currentRole() == "student") values["messagePrivacy"] = "3";
        else if (myDict_->contains("messagePrivacy")) values["messagePrivacy"] = (*myDict_)["messagePrivacy"];
    }
    values["spacePrivacy"] = std::to_string(3 - indexPath.row);
    changPrivaacy(values);
}
