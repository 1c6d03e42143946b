#include "me/MVTPersonDetailViewController.h"

#include "me/MVTHonorWallViewController.h"
#include "me/MVTPathView.h"
#include "me/MVTTimeSpaceViewController.h"
#include "me/SpaceShared.h"

#include "account/MVTInterClassViewController.h"
#include "chat/MVTChatViewController.h"
#include "contacts/ContactsCacheStore.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "core/MVTPublicMethod.h"

#include "platform/BackgroundQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/Window.h"

using namespace platform;

namespace {

const Color kProfileText = Color::rgb255(37, 52, 33);

// "friendStatus" as the page reads it: absent, null or empty text = not friends; 0 =
// waiting for the other side; any other integer = friends.
enum class Relation { NotFriends, Waiting, Friends };

Relation relationOf(const Json& reply) {
    const Json& status = valueFor(reply, "friendStatus");
    if (status.is_discarded() || status.is_null()) return Relation::NotFriends;
    const std::string text = textOf(status);
    if (text.empty()) return Relation::NotFriends;
    return integerValue(text) == 0 ? Relation::Waiting : Relation::Friends;
}

std::shared_ptr<Label> profileLabel(const Rect& frame, const std::string& text) {
    auto label = std::make_shared<Label>(frame);
    label->setFont(Font::systemFontOfSize(14));
    label->setTextColor(kProfileText);
    label->setBackgroundColor(Color::clear());
    label->setText(text);
    return label;
}

}  // namespace

MVTPersonDetailViewController::MVTPersonDetailViewController() = default;
MVTPersonDetailViewController::~MVTPersonDetailViewController() = default;

void MVTPersonDetailViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    view()->setBackgroundColor(Color::whiteColor());
    setTitle(localized(kPageName));
    myDict_ = Json::object();
    initNavBar();
    tableFooterView_ = std::make_shared<View>(Rect(0, 0, Screen::mainScreen().bounds().width(), 100));
    netGetData();
    initmytable();
}

void MVTPersonDetailViewController::initNavBar() {
    auto back = MVTPublicMethod::navigationleftBarButton();
    std::weak_ptr<MVTPersonDetailViewController> weak = weakAs<MVTPersonDetailViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->backButtonClick();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
}

void MVTPersonDetailViewController::backButtonClick() {
    StatisticsKit::shared().endLogPageView(kPageName);
    if (view()->accessibilityValue() == "push") {
        if (auto* navigation = navigationController()) {
            navigation->dismissViewController(false);
            return;
        }
    }
    dismissViewController(false);
}

bool MVTPersonDetailViewController::isMySelf() const {
    return textOf(userDict_, "uid") == space::currentUserId();
}

void MVTPersonDetailViewController::initmytable() {
    if (myTable_) {
        myTable_->reloadData();
        return;
    }
    const Rect screen = Screen::mainScreen().bounds();
    myTable_ = myTableView::make({0, 0, screen.width(), screen.height() - 64}, TableViewStyle::Plain);
    auto self = std::static_pointer_cast<MVTPersonDetailViewController>(shared_from_this());
    myTable_->setDataSource(self);
    myTable_->setDelegate(self);
    myTable_->setBackgroundColor(Color::white(0.961));
    myTable_->setTableFooterView(tableFooterView_);
    view()->addSubview(myTable_);

    headView_ = MVTPathView::make(textOf(userDict_, "uid"), true);
    headView_->setAvatorName(textOf(userDict_, "name"));
    headView_->setAvatorImage(textOf(userDict_, "uid"), textOf(userDict_, "role"));
    if (textOf(userDict_, "role") == "parent") {
        myTable_->setTableHeaderView(headView_);
    } else {
        auto container = std::make_shared<View>(Rect(0, 0, screen.width(), headView_->frame().height()));
        container->addSubview(headView_);
        myTable_->setTableHeaderView(container);
        refreshLevelLabels();
    }
}

// Level (students) or points (everyone else), prepared below the header but not placed.
void MVTPersonDetailViewController::refreshLevelLabels() {
    if (textOf(userDict_, "role") == "parent" || !headView_) return;
    const double y = headView_->frame().height() + 2;
    const bool student = textOf(userDict_, "role") == "student";
    const char* source = student ? "creditLevel" : "creditGet";
    const char* fallback = student ? "userLvl" : "userIntegral";
    Json value = myDict_.contains(source) ? myDict_[source] : valueFor(userDict_, fallback);
    const std::string shown = MVTPublicMethod::stringIsClassNull(value) ? std::string("0") : textOf(value);
    if (student) {
        if (!userLvLabel_) userLvLabel_ = profileLabel({20, y, 100, 23}, "");
        userLvLabel_->setTextColor(Color::white(0.667));
        userLvLabel_->setText("等级: " + shown + " 级");
    } else {
        if (!userIntegralLabel_) userIntegralLabel_ = profileLabel({20, y, 120, 23}, "");
        userIntegralLabel_->setTextColor(Color::white(0.667));
        std::string text = localized("经验积分: %@ 分");
        if (auto at = text.find("%@"); at != std::string::npos) text.replace(at, 2, shown);
        userIntegralLabel_->setText(text);
    }
}

void MVTPersonDetailViewController::showHUDWithBool(bool show) { space::showOverlay(hud_, view(), show); }

// ---- Space information

void MVTPersonDetailViewController::netGetData() {
    std::weak_ptr<MVTPersonDetailViewController> weak = weakAs<MVTPersonDetailViewController>();
    const bool sent = space::sendJson(
        "GET", "user/" + space::currentUserId() + "/space/" + textOf(userDict_, "uid") + "/info", nullptr,
        [weak](const Json& reply) {
            if (auto self = weak.lock()) self->handleInfoReply(reply);
        },
        [weak] {
            if (auto self = weak.lock()) self->showHUDWithBool(false);
            if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
        });
    if (sent) showHUDWithBool(true);
}

void MVTPersonDetailViewController::handleInfoReply(const Json& reply) {
    showHUDWithBool(false);
    // Only a dictionary is a reply the page can read; anything else leaves it as it was.
    if (!reply.is_object()) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(MVTAppDelegate::NetworkMessageFailed);
        return;
    }
    if (!space::succeeded(reply)) {
        MVTPublicMethod::showMessage(textOf(reply, "message"), view());
        return;
    }
    myDict_ = reply;
    if (!isMySelf()) initButton();
    initmytable();
    const Json& status = valueFor(reply, "status");
    if (status.is_string() && !status.get<std::string>().empty()) headView_->setUserSignLabel(status.get<std::string>());
    refreshLevelLabels();
}

std::shared_ptr<Button> MVTPersonDetailViewController::footerButton() const {
    if (!tableFooterView_) return nullptr;
    for (const auto& sub : tableFooterView_->subviews())
        if (auto button = std::dynamic_pointer_cast<Button>(sub)) return button;
    return nullptr;
}

void MVTPersonDetailViewController::initButton() {
    const Relation relation = relationOf(myDict_);
    const bool parentInvolved = space::currentRole() == "parent" || textOf(userDict_, "role") == "parent";
    const bool linkMan = fromWhere_ == "linkMan";
    std::weak_ptr<MVTPersonDetailViewController> weak = weakAs<MVTPersonDetailViewController>();
    auto footer = [&](const std::string& title, void (MVTPersonDetailViewController::*action)(), int tag) {
        for (const auto& sub : std::vector<std::shared_ptr<View>>(tableFooterView_->subviews())) sub->removeFromSuperview();
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({10, 30, Screen::mainScreen().bounds().width() - 20, 40});
        button->setBackgroundImage(Image::imageNamed("btn01"));
        button->setBackgroundImage(Image::imageNamed("btn01-dn"), ControlStateHighlighted);
        button->setTitle(localized(title));
        button->setTitleColor(Color::whiteColor());
        if (tag) button->setTag(tag);
        if (action)
            button->addTarget(ControlEventTouchUpInside, [weak, action](Control&) {
                if (auto self = weak.lock()) (self.get()->*action)();
            });
        tableFooterView_->addSubview(button);
    };
    auto right = [&](const std::string& title, void (MVTPersonDetailViewController::*action)()) {
        auto button = MVTPublicMethod::navigationrightBarButton(localized(title));
        button->addTarget(ControlEventTouchUpInside, [weak, action](Control&) {
            if (auto self = weak.lock()) (self.get()->*action)();
        });
        navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(button));
    };
    if (linkMan) {
        footer("发消息", &MVTPersonDetailViewController::sendMessage, 0);
        if (parentInvolved || relation == Relation::Waiting) return;
        if (relation == Relation::NotFriends) right("添加好友", &MVTPersonDetailViewController::addFriend);
        else right("更多", &MVTPersonDetailViewController::moreAction);
        return;
    }
    if (relation == Relation::NotFriends) {
        if (parentInvolved) return;
        footer("添加好友", &MVTPersonDetailViewController::addFriend, kAddFriendButtonTag);
        navigationItem().setRightBarButtonItem(nullptr);
    } else if (relation == Relation::Waiting) {
        footer("等待验证", nullptr, 0);
        navigationItem().setRightBarButtonItem(nullptr);
    } else {
        footer("发消息", &MVTPersonDetailViewController::sendMessage, 0);
        right("更多", &MVTPersonDetailViewController::moreAction);
    }
}

// ---- Actions

bool MVTPersonDetailViewController::guardJoinClass() {
    if (!MVTPublicMethod::isUnClassId()) return false;
    MVTInterClassViewController::showJoinClassAlert(weakAs<MVTPersonDetailViewController>());
    return true;
}

void MVTPersonDetailViewController::sendMessage() {
    if (guardJoinClass()) return;
    auto chat = std::make_shared<MVTChatViewController>();
    chat->setMyDict(userDict_);
    chat->setMsgType("person");
    chat->setTitle(textOf(userDict_, "name"));
    auto navigation = myNavigationController::withRoot(chat);
    navigation->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
    presentViewController(navigation, true);
}

void MVTPersonDetailViewController::addFriend() {
    if (guardJoinClass()) return;
    space::showApplyAlert(weakAs<MVTPersonDetailViewController>(), false, "");
}

void MVTPersonDetailViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (MVTInterClassViewController::answerJoinClassAlert(*this, alert, index)) return;
    if (alert.tag() == kApplyAlertTag && index == 1) {
        const std::string text = space::applyAlertText(alert);
        if (!space::applyTextFits(text)) space::showApplyAlert(weakAs<MVTPersonDetailViewController>(), true, text);
        else makeSureToadd(text);
    } else if (alert.tag() == kRemoveAlertTag && index == 1) {
        makeSureToDeleteFriend();
    }
}

void MVTPersonDetailViewController::makeSureToadd(const std::string& script) {
    std::weak_ptr<MVTPersonDetailViewController> weak = weakAs<MVTPersonDetailViewController>();
    const bool sent = space::sendJson(
        "POST", space::currentUserId() + "/friend/" + textOf(userDict_, "uid") + "/apply", Json{{"script", script}},
        [weak](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            // A refusal is not reported as a sent application.
            if (reply.is_object() && reply.contains("success") && !space::succeeded(reply)) {
                AlertView::make(localized("提示"), localized("请求添加好友失败"), {}, localized("确定"))->show();
                return;
            }
            MVTPublicMethod::showMessage(localized("好友申请成功"), self->view());
            if (self->fromWhere_ == "linkMan") {
                auto waiting = MVTPublicMethod::navigationrightBarButton(localized("等待验证"));
                self->navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(waiting));
                return;
            }
            if (self->fromWhere_ == "searchFriend")
                NotificationCenter::defaultCenter().postNotification(kChageFriendStatusNotification,
                                                                     valueFor(self->userDict_, "uid"));
            if (auto button = std::dynamic_pointer_cast<Button>(self->tableFooterView_->viewWithTag(kAddFriendButtonTag)))
                button->setTitle(localized("等待验证"));
        },
        [weak] {
            if (auto self = weak.lock()) self->showHUDWithBool(false);
            AlertView::make(localized("提示"), localized("请求添加好友失败"), {}, localized("确定"))->show();
        });
    if (sent) showHUDWithBool(true);
}

void MVTPersonDetailViewController::moreAction() {
    auto sheet = ActionSheet::make("", weakAs<MVTPersonDetailViewController>(), localized("取 消"), "",
                                   {localized("删除好友")});
    sheet->setTag(kMoreSheetTag);
    sheet->showInView(view().get());
}

void MVTPersonDetailViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (sheet.tag() != kMoreSheetTag) return ViewViewController::actionSheetClickedButtonAtIndex(sheet, index);
    if (index == sheet.firstOtherButtonIndex()) deleteFriend();
}

void MVTPersonDetailViewController::deleteFriend() {
    auto alert = AlertView::make(localized("提示"), localized("确定要删除该好友吗？"),
                                 weakAs<MVTPersonDetailViewController>(), localized("取消"), {localized("确定")});
    alert->setTag(int(kRemoveAlertTag));
    alert->show();
}

void MVTPersonDetailViewController::makeSureToDeleteFriend() {
    std::weak_ptr<MVTPersonDetailViewController> weak = weakAs<MVTPersonDetailViewController>();
    const bool sent = space::sendJson(
        "POST", space::currentUserId() + "/friend/" + textOf(userDict_, "uid") + "/remove", nullptr,
        [weak](const Json& reply) {
            if (auto self = weak.lock()) self->handleRemoveReply(reply);
        },
        [weak] {
            if (auto self = weak.lock()) self->showHUDWithBool(false);
            AlertView::make(localized("提示"), localized("好友删除成功失败"), {}, localized("确定"))->show();
        });
    if (sent) showHUDWithBool(true);
}

void MVTPersonDetailViewController::handleRemoveReply(const Json& reply) {
    if (!space::succeeded(reply)) {
        MVTPublicMethod::showMessage(localized("好友删除失败"), view());
        showHUDWithBool(false);
        return;
    }
    MVTPublicMethod::showMessage(localized("好友删除成功"), view());
    myDict_["friendStatus"] = "";
    for (const auto& sub : std::vector<std::shared_ptr<View>>(tableFooterView_->subviews())) sub->removeFromSuperview();
    dealWithNativeReceivers();
    initButton();
    initmytable();
    showHUDWithBool(false);
    const Json removed = ContactsCacheStore::friendEntry(valueFor(reply, "name"), valueFor(reply, "role"),
                                                        valueFor(reply, "id"));
    NotificationCenter::defaultCenter().postNotification(kNativeReceiversChangedNotification, removed);
    NotificationCenter::defaultCenter().postNotification(kNativeReceiversChangedHdNotification, removed);
}

void MVTPersonDetailViewController::dealWithNativeReceivers() {
    // The store serialises this rewrite with every other writer of the cache.
    const Json entry = ContactsCacheStore::friendEntry(valueFor(myDict_, "name"), valueFor(myDict_, "role"),
                                                      valueFor(myDict_, "id"));
    const std::string me = space::currentUserId();
    dispatchBackground([me, entry] { ContactsCacheStore::removeFriend(me, entry); });
}

// ---- Table

MVTPersonDetailViewController::RowKind MVTPersonDetailViewController::rowKind(int row) const {
    if (row == 0) return RowKind::Classes;
    if (textOf(userDict_, "role") == "parent") return RowKind::Feed;
    return row == 1 ? RowKind::Honor : RowKind::Feed;
}

int MVTPersonDetailViewController::numberOfRowsInSection(TableView&, int) {
    return textOf(userDict_, "role") == "parent" ? 2 : 3;
}

std::shared_ptr<TableViewCell> MVTPersonDetailViewController::buildCell(int row) {
    const double W = Screen::mainScreen().bounds().width();
    auto cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "Cell");
    cell->setBackgroundColor(Color::whiteColor());
    const RowKind kind = rowKind(row);
    if (kind == RowKind::Honor) return cell;
    auto content = cell->contentView();
    double height = 50;
    if (kind == RowKind::Classes) {
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        content->addSubview(profileLabel({18, 14, 40, 25}, localized("班级:")));
        const Json& names = valueFor(myDict_, "classNames");
        const std::string text =
            names.is_string() && !names.get<std::string>().empty() ? names.get<std::string>() : localized("暂无班级");
        auto value = profileLabel({60, 18, W - 70, 20}, text);
        value->setNumberOfLines(0);
        const Size fit = value->sizeThatFits({W - 70, 1e6});
        value->setFrame({60, 18, W - 70, fit.height});
        content->addSubview(value);
        height = std::max(50.0, fit.height + 28);
    } else {
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        const std::string title = localized("个人动态");
        const double width = TextMeasure::sizeWithFont(title, Font::systemFontOfSize(14)).width;
        content->addSubview(profileLabel({18, 14, width, 25}, title));
        std::string text;
        if (myDict_.contains("feedError")) {
            feedError_ = true;
            text = localized("无访问权限");
        } else {
            const Json& feed = valueFor(myDict_, "feed");
            text = MVTPublicMethod::stringIsClassNull(feed) ? localized("暂无动态") : textOf(feed);
        }
        content->addSubview(profileLabel({18 + width + 5, 14, 180, 25}, text));
    }
    cell->setFrame({0, 0, W, height});
    auto line = std::make_shared<ImageView>(Rect(0, height <= 50 ? 49 : height - 1, W, 1));
    line->setImage(Image::imageNamed("line_10"));
    content->addSubview(line);
    return cell;
}

std::shared_ptr<TableViewCell> MVTPersonDetailViewController::cellForRowAtIndexPath(TableView&,
                                                                                    const IndexPath& indexPath) {
    return buildCell(indexPath.row);
}

double MVTPersonDetailViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    const RowKind kind = rowKind(indexPath.row);
    if (kind == RowKind::Honor) return 0;
    if (kind == RowKind::Feed && textOf(userDict_, "role") == "parent" && fromWhere_ != "linkMan") return 0;
    return std::max(50.0, buildCell(indexPath.row)->frame().height());
}

void MVTPersonDetailViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    const RowKind kind = rowKind(indexPath.row);
    auto* navigation = navigationController();
    if (kind == RowKind::Feed) {
        if (feedError_) return;
        if (view()->accessibilityHint() == "timeSpace") {
            if (navigation) navigation->popViewController(true);
            return;
        }
        const Json& id = valueFor(myDict_, "id");
        auto space = std::make_shared<MVTTimeSpaceViewController>();
        space->setUserDict(Json{{"id", id.is_discarded() ? valueFor(myDict_, "uid") : id},
                                {"name", valueFor(myDict_, "name")},
                                {"role", valueFor(myDict_, "role")}});
        space->view()->setAccessibilityValue("push");
        space->view()->setAccessibilityHint("personalDetail");
        if (navigation) navigation->pushViewController(space, true);
    } else if (kind == RowKind::Honor && !decorationError_) {
        auto wall = std::make_shared<MVTHonorWallViewController>();
        wall->setUserDict(userDict_);
        if (navigation) navigation->pushViewController(wall, true);
    }
}

void MVTPersonDetailViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (scrollView.tag() == kPagingViewTag) return ViewViewController::scrollViewDidScroll(scrollView);
    if (headView_) headView_->setOffsetY(scrollView.contentOffset().y);
}
