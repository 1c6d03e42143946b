#include "contacts/MVTNewFriendViewController.h"

#include "contacts/ContactsCacheStore.h"
#include "contacts/ContactsShared.h"
#include "contacts/MVTSearchFriendViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "me/MVTPersonDetailViewController.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/HttpRequestOperation.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {

std::shared_ptr<Button> applyButton(const std::string& title, const Rect& frame, int row) {
    auto button = std::make_shared<Button>(frame);
    button->setTag(row);
    button->setTitle(title);
    button->setTitleColor(Color::rgb255(55, 155, 28));
    button->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
    button->setBackgroundImage(Image::imageNamed("friend_little_btn"));
    button->setCornerRadius(4);
    button->setAccessibilityLabel(title);
    return button;
}

}  // namespace

void MVTNewFriendViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("新的好友"));
    auto weak = weakAs<MVTNewFriendViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->setAccessibilityLabel(localized("返回"));
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    auto add = MVTPublicMethod::navigationrightBarButton(localized("添加"));
    add->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->searchFriend();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(add));
    isAddedFriend_ = false;
    myApplyArray_ = Json::array();
    getFriendApplyList();
}

void MVTNewFriendViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (isNeedToReload_) {
        isNeedToReload_ = false;
        getFriendApplyList();
    }
}

void MVTNewFriendViewController::getFriendApplyList() {
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "friend/" + contacts::accountUserId() + "/apply/list");
    if (!request) return;
    auto weak = weakAs<MVTNewFriendViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            MVTAccount::sharedInstance().setNewApply(false);
            NotificationCenter::defaultCenter().postNotification(kMarkUpside);
            self->myApplyArray_ = Json::array();
            if (reply.is_array())
                for (const auto& record : reply)
                    if (record.is_object()) self->myApplyArray_.push_back(record);
            if (self->myApplyArray_.empty()) {
                self->showWarringLabel();
            } else if (self->warringLabel_) {
                self->warringLabel_->removeFromSuperview();
            }
            self->initmytableview();
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->myApplyArray_ = Json::array();
            self->initmytableview();
        });
    operation->start();
}

void MVTNewFriendViewController::initmytableview() {
    if (!mytableview_) {
        const double width = Screen::mainScreen().bounds().width();
        mytableview_ = myTableView::make({0, 0, width, view()->frame().height() - 44 - SDH}, TableViewStyle::Plain);
        mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
        mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
        view()->addSubview(mytableview_);
        if (warringLabel_ && warringLabel_->superview()) view()->bringSubviewToFront(warringLabel_);
    } else {
        mytableview_->reloadData();
    }
    MVTPublicMethod::stopWaitAnimation(view());
}

void MVTNewFriendViewController::showWarringLabel() {
    if (!warringLabel_) {
        const double width = Screen::mainScreen().bounds().width();
        warringLabel_ = std::make_shared<Label>(Rect((width - 160) / 2, 150, 160, 55));
        warringLabel_->setTextAlignment(TextAlignment::Center);
        warringLabel_->setFont(Font::systemFontOfSize(20));
        warringLabel_->setTextColor(Color::gray());
        warringLabel_->setNumberOfLines(0);
        warringLabel_->setText(localized("暂无好友请求"));
    }
    view()->addSubview(warringLabel_);
}

void MVTNewFriendViewController::showHUDWithBool(bool show) { contacts::showProgress(hud_, view(), show); }

void MVTNewFriendViewController::shareResult(const std::string& text) {
    const double width = Screen::mainScreen().bounds().width();
    auto label = std::make_shared<Label>(Rect(5, 5, width - 10, 26));
    label->setBackgroundColor(Color::rgb255(58, 145, 32));
    label->setTextColor(Color::whiteColor());
    label->setFont(Font::boldSystemFontOfSize(14));
    label->setTextAlignment(TextAlignment::Center);
    label->setCornerRadius(4);
    label->setClipsToBounds(true);
    label->setText(text);
    view()->addSubview(label);
    resultLabel_ = label;
    std::weak_ptr<Label> weakLabel = label;
    animate(
        kResultFade,
        [label, width] {
            label->setAlpha(0);
            label->setFrame({5, -30, width - 10, 26});
        },
        [weakLabel](bool) {
            if (auto shown = weakLabel.lock()) shown->removeFromSuperview();
        });
}

void MVTNewFriendViewController::addFriend(Button& button) { deelWithFriendApply(button, "true"); }
void MVTNewFriendViewController::passThisOne(Button& button) { deelWithFriendApply(button, "false"); }

void MVTNewFriendViewController::deelWithFriendApply(Button& button, const std::string& statu) {
    const int row = static_cast<int>(button.tag());
    if (row < 0 || static_cast<std::size_t>(row) >= myApplyArray_.size()) return;
    const bool agree = statu == "true";
    const Json record = myApplyArray_[static_cast<std::size_t>(row)];
    showHUDWithBool(true);
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "friend/" + contacts::accountUserId() + "/apply/deel",
        Json{{"ids", valueFor(record, "friend_id").is_discarded() ? Json("") : record["friend_id"]}, {"agree", statu}});
    if (!request) {
        // Nothing was sent: the overlay must not stay over the screen.
        showHUDWithBool(false);
        contacts::showBanner(0);
        return;
    }
    auto weak = weakAs<MVTNewFriendViewController>();
    const std::string friendId = textOf(record, "friend_id");
    auto operation = HttpRequestOperation::operationWithRequest(
        *request,
        [weak, friendId, agree](HttpRequestOperation&, const std::string& body) {
            auto self = weak.lock();
            if (!self) return;
            // The row may have moved while the answer was under way: find it again.
            int index = -1;
            for (std::size_t i = 0; i < self->myApplyArray_.size(); ++i)
                if (textOf(self->myApplyArray_[i], "friend_id") == friendId) index = static_cast<int>(i);
            self->answered(index, agree, body == "true");
        },
        [weak, agree](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) self->answered(-1, agree, false);
        });
    operation->start();
}

void MVTNewFriendViewController::answered(int row, bool agree, bool accepted) {
    const std::string title = localized(agree ? "添加好友" : "忽略好友请求");
    if (accepted && row >= 0) {
        shareResult(title + localized("成功"));
        const Json record = myApplyArray_[static_cast<std::size_t>(row)];
        if (agree) saveNewFriendToNative(record);
        myApplyArray_.erase(static_cast<std::size_t>(row));
        if (mytableview_) mytableview_->reloadData();
        if (myApplyArray_.empty())
            showWarringLabel();
        else if (warringLabel_)
            warringLabel_->removeFromSuperview();
    } else {
        shareResult(title + localized("失败"));
    }
    showHUDWithBool(false);
}

bool MVTNewFriendViewController::saveNewFriendToNative(const Json& record) {
    Json entry = ContactsCacheStore::friendEntry(valueFor(record, "name"), valueFor(record, "role"),
                                                 valueFor(record, "uid"));
    auto change = ContactsCacheStore::appendFriend(contacts::accountUserId(), entry);
    if (change != ContactsCacheStore::FriendChange::Written) return false;
    isAddedFriend_ = true;
    return true;
}

void MVTNewFriendViewController::chooseNamed(Button& button) {
    const int row = static_cast<int>(button.tag());
    if (row < 0 || static_cast<std::size_t>(row) >= myApplyArray_.size()) return;
    isNeedToReload_ = true;
    auto page = std::make_shared<MVTPersonDetailViewController>();
    page->setUserDict(myApplyArray_[static_cast<std::size_t>(row)]);
    page->view()->setAccessibilityValue("push");
    if (navigationController()) navigationController()->pushViewController(page, true);
}

void MVTNewFriendViewController::searchFriend() {
    if (MVTPublicMethod::isUnClassId()) {
        contacts::showJoinClassAlert(weakAs<AlertViewDelegate>());
        return;
    }
    auto search = std::make_shared<MVTSearchFriendViewController>();
    search->setWhereFrom("newFriend");
    if (navigationController()) navigationController()->pushViewController(search, true);
}

void MVTNewFriendViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    contacts::joinClassAnswer(alert, index, *this);
}

void MVTNewFriendViewController::goback() {
    if (isAddedFriend_)
        if (auto delegate = delegate_.lock()) delegate->refreshData();
    if (navigationController()) navigationController()->dismissViewController(true);
}

int MVTNewFriendViewController::numberOfRowsInSection(TableView&, int) { return static_cast<int>(myApplyArray_.size()); }

double MVTNewFriendViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVTNewFriendViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                  const IndexPath& indexPath) {
    auto cell = contacts::emptyCell(tableView);
    cell->setBackgroundColor(Color::clear());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    const int row = indexPath.row;
    const Json& record = myApplyArray_[static_cast<std::size_t>(row)];
    const double width = Screen::mainScreen().bounds().width();
    auto& content = *cell->contentView();
    contacts::addAvatar(content, {10, 10}, std::to_string(integerValue(valueFor(record, "uid"))), textOf(record, "role"),
                        false);
    auto weak = weakAs<MVTNewFriendViewController>();
    auto avatarButton = std::make_shared<Button>(Rect(10, 10, 40, 40));
    avatarButton->setTag(row);
    avatarButton->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
        if (auto self = weak.lock()) self->chooseNamed(static_cast<Button&>(sender));
    });
    content.addSubview(avatarButton);
    const std::string nameText = textOf(record, "name");
    auto nameFont = Font::boldSystemFontOfSize(16);
    auto name = std::make_shared<Label>(Rect(60, 10, TextMeasure::sizeWithFont(nameText, nameFont).width, 20));
    name->setFont(nameFont);
    name->setTextColor(Color::rgb255(60, 60, 60));
    name->setText(nameText);
    content.addSubview(name);
    auto script = std::make_shared<Label>(Rect(60, 30, 130, 30));
    script->setFont(Font::boldSystemFontOfSize(12));
    script->setTextColor(Color::gray());
    script->setNumberOfLines(0);
    const Json& postScript = valueFor(record, "post_script");
    script->setText(postScript.is_null() || postScript.is_discarded() ? "" : textOf(postScript));
    content.addSubview(script);
    auto agree = applyButton(localized("同意"), {width - 120, 15, 50, 25}, row);
    agree->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
        if (auto self = weak.lock()) self->addFriend(static_cast<Button&>(sender));
    });
    content.addSubview(agree);
    auto ignore = applyButton(localized("忽略"), {width - 60, 15, 50, 25}, row);
    ignore->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
        if (auto self = weak.lock()) self->passThisOne(static_cast<Button&>(sender));
    });
    content.addSubview(ignore);
    contacts::addLine(content, {0, 59, width, 1});
    return cell;
}
