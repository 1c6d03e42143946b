#include "contacts/MVTSearchFriendViewController.h"

#include "chat/MVTChatViewController.h"
#include "contacts/ContactsShared.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "me/MVTPersonDetailViewController.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"

using namespace platform;

namespace {

const Json& noRow() {
    static const Json none = Json::object();
    return none;
}

// The second line of a row: the role, or the class a student is in.
std::string searchRoleLine(const Json& row) {
    const std::string role = textOf(row, "role");
    if (role == "teacher") return localized("教师");
    if (role != "student") return "";
    const Json& className = valueFor(row, "className");
    if (className.is_string() && !className.get<std::string>().empty())
        return className.get<std::string>() + localized("的学生");
    return localized("学生");
}

std::shared_ptr<Button> searchRowButton(const std::string& title, double width, long row) {
    auto button = std::make_shared<Button>(Rect(width - 90, 17, 70, 25));
    button->setBackgroundImage(Image::imageNamed("friend_btn"));
    button->setCornerRadius(4);
    button->setClipsToBounds(true);
    button->setTitle(title);
    button->setTitleColor(Color::whiteColor());
    button->titleLabel()->setFont(Font::boldSystemFontOfSize(12));
    button->setAccessibilityLabel(title);
    button->setTag(row);
    return button;
}

}  // namespace

MVTSearchFriendViewController::~MVTSearchFriendViewController() = default;

void MVTSearchFriendViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    setTitle(localized("添加好友"));
    searchedFriendArray_ = Json::array();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->setAccessibilityLabel(localized("返回"));
    auto weak = weakAs<MVTSearchFriendViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    initSearchView();
}

void MVTSearchFriendViewController::initSearchView() {
    const double width = Screen::mainScreen().bounds().width();
    const bool chinese = InternationalControl::userLanguage() == InternationalControl::kChinese;
    const double fieldWidth = width - (chinese ? 80 : 100);
    searchFiled_ = std::make_shared<TextField>(Rect(20, 30, fieldWidth, 30));
    searchFiled_->setBackgroundColor(Color::whiteColor());
    searchFiled_->setBorderStyle(TextBorderStyle::RoundedRect);
    searchFiled_->setPlaceholder(localized("请输入联系人姓名"));
    view()->addSubview(searchFiled_);
    auto search = std::make_shared<Button>(Rect(20 + fieldWidth + (chinese ? 0 : 5), 30, 60, 30));
    search->setTitle(localized("搜索"));
    search->setTitleColor(Color::rgb255(55, 152, 28));
    search->titleLabel()->setFont(Font::systemFontOfSize(18));
    search->setCornerRadius(4);
    search->setAccessibilityLabel(localized("搜索"));
    auto weak = weakAs<MVTSearchFriendViewController>();
    search->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->searchFriend();
    });
    view()->addSubview(search);
}

void MVTSearchFriendViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (mytableview_) mytableview_->reloadData();
}

void MVTSearchFriendViewController::showHUDWithBool(bool show) { contacts::showProgress(hud_, view(), show); }

void MVTSearchFriendViewController::searchFriend() {
    searchFiled_->resignFirstResponder();
    searchedFriendArray_ = Json::array();
    if (mytableview_) mytableview_->reloadData();
    showHUDWithBool(true);
    const std::string text = searchFiled_->text();
    if (text.empty()) {
        showHUDWithBool(false);
        AlertView::make(localized("提示"), localized("输入内容不能为空"), {}, localized("确定"))->show();
        return;
    }
    auto request = MVTPublicMethod::requestWithMethod(
        "POST", ServiceAddress::servicePrefix() + contacts::accountUserId() + "/search/users",
        Json{{"search", trimmed(text)}});
    if (!request) {
        // Offline: nothing was sent, so nothing may stay waiting.
        showHUDWithBool(false);
        contacts::showBanner(0);
        return;
    }
    auto weak = weakAs<MVTSearchFriendViewController>();
    HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            if (reply.is_array() && !reply.empty()) {
                for (const auto& row : reply)
                    if (row.is_object() && textOf(row, "role").find("parent") == std::string::npos)
                        self->searchedFriendArray_.push_back(row);
            } else {
                AlertView::make(localized("提示"), localized("查无此人，请确定您的输入正确"), {}, localized("确定"))
                    ->show();
            }
            self->initmytableview();
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) self->showHUDWithBool(false);
        })
        ->start();
}

void MVTSearchFriendViewController::initmytableview() {
    if (!mytableview_) {
        const double width = Screen::mainScreen().bounds().width();
        mytableview_ =
            myTableView::make({0, 80, width, view()->frame().height() - 80 - SDH}, TableViewStyle::Plain);
        mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
        mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
        view()->addSubview(mytableview_);
    } else {
        mytableview_->reloadData();
    }
    MVTPublicMethod::stopWaitAnimation(view());
}

const Json& MVTSearchFriendViewController::rowAt(long index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= searchedFriendArray_.size()) return noRow();
    return searchedFriendArray_[static_cast<std::size_t>(index)];
}

int MVTSearchFriendViewController::numberOfRowsInSection(TableView&, int) {
    return static_cast<int>(searchedFriendArray_.size());
}

double MVTSearchFriendViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVTSearchFriendViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                     const IndexPath& indexPath) {
    auto cell = contacts::emptyCell(tableView);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    const Json& row = rowAt(indexPath.row);
    const double width = Screen::mainScreen().bounds().width();
    auto& content = *cell->contentView();
    const std::string uid = std::to_string(integerValue(valueFor(row, "uid")));
    auto avatar = contacts::addAvatar(content, {10, 10}, uid, textOf(row, "role"), false);
    avatar->setAccessibilityHint(textOf(row, "uid"));
    auto weak = weakAs<MVTSearchFriendViewController>();
    auto profile = std::make_shared<Button>(Rect(10, 10, 40, 40));
    profile->setTag(indexPath.row);
    profile->setAccessibilityLabel(textOf(row, "name"));
    profile->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
        if (auto self = weak.lock()) self->chooseNamed(static_cast<Button&>(sender));
    });
    content.addSubview(profile);

    auto name = std::make_shared<Label>(Rect(60, 10, 0, 20));
    name->setFont(Font::boldSystemFontOfSize(16));
    name->setText(textOf(row, "name"));
    name->setFrame({60, 10, name->sizeThatFits({width, 20}).width, 20});
    content.addSubview(name);
    auto roleLine = std::make_shared<Label>(Rect(60, 32, width - 160, 18));
    roleLine->setFont(Font::boldSystemFontOfSize(12));
    roleLine->setTextColor(Color::gray());
    roleLine->setText(searchRoleLine(row));
    content.addSubview(roleLine);

    // Nothing to offer on the user's own row.
    if (integerValue(valueFor(row, "uid")) != integerValue(Json(contacts::accountUserId()))) {
        const Json& status = valueFor(row, "friend_status");
        if (status.is_null()) {
            auto add = searchRowButton(localized("加为好友"), width, indexPath.row);
            add->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
                if (auto self = weak.lock()) self->addFriend(static_cast<Button&>(sender));
            });
            content.addSubview(add);
        } else if (status.is_boolean() && status.get<bool>()) {
            auto send = searchRowButton(localized("发送消息"), width, indexPath.row);
            send->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
                if (auto self = weak.lock()) self->sendMessage(static_cast<Button&>(sender));
            });
            content.addSubview(send);
        } else {
            auto waiting = std::make_shared<Label>(Rect(242, 20, 60, 20));
            waiting->setFont(Font::boldSystemFontOfSize(12));
            waiting->setTextColor(Color::rgb255(243, 164, 39));
            waiting->setText(localized("等待验证"));
            content.addSubview(waiting);
        }
    }
    contacts::addLine(content, {0, kRowHeight - 1, width, 1});
    return cell;
}

// ---- Friend application

void MVTSearchFriendViewController::showVerifyPrompt(const std::string& message, const std::string& text) {
    auto alert = AlertView::make(localized("验证申请"), message, weakAs<AlertViewDelegate>(), localized("取消"),
                                 {localized("确定")});
    alert->setAlertViewStyle(AlertViewStyle::PlainTextInput);
    alert->setTag(kVerifyAlertTag);
    if (auto field = alert->textFieldAtIndex(0)) field->setText(text);
    alert->show();
}

void MVTSearchFriendViewController::addFriend(Button& button) {
    addFriendInt_ = static_cast<int>(button.tag());
    showVerifyPrompt(localized("你需要发送验证请求，并在对方通过后才能成为朋友(20字以内)"), "");
}

void MVTSearchFriendViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kVerifyAlertTag) {
        if (index != 1) return;
        auto field = alert.textFieldAtIndex(0);
        const std::string text = field ? field->text() : std::string();
        if (utf16Length(text) <= kScriptLimit)
            makeSureToadd(text);
        else
            showVerifyPrompt(localized("你所添加的申请信息超出20字符限定,请删除多余的字符"), text);
        return;
    }
    contacts::joinClassAnswer(alert, index, *this);
}

int MVTSearchFriendViewController::rowOfUid(const Json& uid) const {
    const long long wanted = integerValue(uid);
    for (std::size_t i = 0; i < searchedFriendArray_.size(); ++i)
        if (integerValue(valueFor(searchedFriendArray_[i], "uid")) == wanted) return static_cast<int>(i);
    return -1;
}

void MVTSearchFriendViewController::markWaiting(int row, bool reload) {
    if (row < 0 || static_cast<std::size_t>(row) >= searchedFriendArray_.size()) return;
    Json changed = searchedFriendArray_[static_cast<std::size_t>(row)];
    changed["friend_status"] = false;
    searchedFriendArray_[static_cast<std::size_t>(row)] = changed;
    if (reload && mytableview_) mytableview_->reloadRowsAtIndexPaths({IndexPath{0, row}}, TableViewRowAnimation::None);
}

void MVTSearchFriendViewController::makeSureToadd(const std::string& script) {
    const Json& row = rowAt(addFriendInt_);
    if (row.empty()) return;
    const Json uid = valueFor(row, "uid");
    auto request = MVTPublicMethod::requestWithMethod(
        "POST", ServiceAddress::servicePrefix() + contacts::accountUserId() + "/friend/" + textOf(uid) + "/apply",
        Json{{"script", script}});
    if (!request) {
        contacts::showBanner(0);
        return;
    }
    auto weak = weakAs<MVTSearchFriendViewController>();
    auto failed = [] { AlertView::make(localized("提示"), localized("请求添加好友失败"), {}, localized("确定"))->show(); };
    HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak, uid, failed](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            // A reply that says it failed is a failure; the row is found again by its person,
            // since a newer search may have replaced the list meanwhile.
            if (reply.is_object() && reply.contains("success") && !boolValue(reply["success"])) {
                failed();
                return;
            }
            self->markWaiting(self->rowOfUid(uid), true);
        },
        [failed](HttpRequestOperation&, const HttpError&) { failed(); })
        ->start();
}

// ---- Chat and profile

void MVTSearchFriendViewController::sendMessage(Button& button) {
    const Json& row = rowAt(button.tag());
    if (row.empty()) return;
    if (MVTPublicMethod::isUnClassId()) {
        contacts::showJoinClassAlert(weakAs<AlertViewDelegate>());
        return;
    }
    auto chat = std::make_shared<MVTChatViewController>();
    chat->setMyDict(Json{{"name", valueFor(row, "name")}, {"uid", valueFor(row, "uid")}});
    chat->setMsgType("person");
    chat->setTitle(textOf(row, "name"));
    contacts::presentInNavigation(*this, chat);
}

void MVTSearchFriendViewController::chooseNamed(Button& button) {
    const Json& row = rowAt(button.tag());
    if (row.empty()) return;
    statusToken_.reset();
    auto weak = weakAs<MVTSearchFriendViewController>();
    statusToken_ = NotificationCenter::defaultCenter().addObserver(
        MVTPersonDetailViewController::kChageFriendStatusNotification, [weak](const Notification& note) {
            if (auto self = weak.lock()) self->changeFriendStatus(note);
        });
    auto page = std::make_shared<MVTPersonDetailViewController>();
    page->setUserDict(row);
    page->setFromWhere("searchFriend");
    page->view()->setAccessibilityValue("push");
    if (navigationController()) navigationController()->pushViewController(page, true);
}

void MVTSearchFriendViewController::changeFriendStatus(const Notification& notification) {
    statusToken_.reset();
    // Shown as waiting the next time the table is drawn.
    markWaiting(rowOfUid(notification.object), false);
}

void MVTSearchFriendViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    auto* navigation = navigationController();
    if (!navigation) return;
    if (whereFrom_ == "newFriend")
        navigation->popViewController(true);
    else
        navigation->dismissViewController(true);
}
