#include "chat/MVTChatViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"
#include "contacts/MVTGroupDetailViewController.h"
#include "core/ServiceId.h"
#include "me/MVTPersonDetailViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/AudioPlayer.h"
#include "platform/Clock.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/Timer.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

#include <algorithm>

using namespace platform;

namespace {

Rect chatScreenBounds() { return Screen::mainScreen().bounds(); }

// The messages of a fetch reply worth storing: dictionaries with a service id.
Json chatStorableMessages(const Json& reply) {
    Json messages = Json::array();
    if (!reply.is_array()) return messages;
    for (const auto& message : reply)
        if (message.is_object() && integerValue(textOf(message, "id")) > 0) messages.push_back(message);
    return messages;
}

}  // namespace

MVTChatViewController::MVTChatViewController() = default;

MVTChatViewController::~MVTChatViewController() {
    if (refreshTimer_) refreshTimer_->invalidate();
    if (timer_) timer_->invalidate();
    if (showAlertTimer_) showAlertTimer_->invalidate();
}

std::string MVTChatViewController::userId() const { return MVTAccount::sharedInstance().userId().value_or(""); }

std::string MVTChatViewController::conversationKey() const { return textOf(myDict_, "uid"); }

ChatMessages MVTChatViewController::conversationRows() const {
    return ChatMessages(MVTtirraDataBase::selectMSGKeyRowswith(userId(), conversationKey(), forumid_, fieldid_));
}

void MVTChatViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(view()->accessibilityHint().empty() ? kPageName
                                                                                 : view()->accessibilityHint());
    auto weak = weakAs<MVTChatViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->setAccessibilityLabel(localized("返回"));
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    if (msgType_ == "forum") {
        auto profile = MVTPublicMethod::navigationrightBarButton(localized("群资料"));
        profile->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->groupDetail();
        });
        navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(profile));
    }
    refreshing_ = false;
    messageType_ = kTextMessage;
    vedioing_ = false;
    vedioStart_ = false;
    isPlay_ = false;
    isLoad_ = true;
    dataArray_ = ChatMessages();
    initmytableview();
    buildInputBar();
    selectDataBase();
    if (forwardDictionary_.is_object()) {
        Json message = forwardDictionary_;
        forwardDictionary_ = nullptr;
        if (MVTPublicMethod::stringIsClassNull(valueFor(message, "msg"))) {
            const Json& attachments = valueFor(message, "attachments");
            if (attachments.is_array() && !attachments.empty()) {
                // A picture is forwarded from its stored copy; without one nothing is sent.
                std::string id = textOf(attachments[0], "id");
                std::string path = MVTPublicMethod::getPathByFileName(MVTChatCell::kThumbnailPrefix + id, "png");
                auto image = isPlainServiceId(id) ? Image::imageWithContentsOfFile(path) : nullptr;
                if (image) {
                    messageType_ = kPictureMessage;
                    imagePath_ = id;
                    sendData_ = MVTPublicMethod::imageData(MVTPublicMethod::scale(image, image->size()));
                    sendButton();
                }
            }
        } else {
            messageTextView_->setText(textOf(message, "msg"));
            messageType_ = kTextMessage;
            sendButton();
        }
    }
}

void MVTChatViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    hideKeyboard();
    NotificationCenter::defaultCenter().postNotification(kGoBackWhenRoleIsParent);
    if (integerValue(textOf(myDict_, "unreadCount")) > 0) becomeRead();
    if (!refreshTimer_) {
        auto weak = weakAs<MVTChatViewController>();
        refreshTimer_ = RunLoop::main().scheduleTimer(kPollInterval, true, [weak](Timer&) {
            if (auto self = weak.lock()) self->refreshData();
        });
    }
}

void MVTChatViewController::viewDidAppear(bool animated) { ViewViewController::viewDidAppear(animated); }

void MVTChatViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    stopPlay();
    stopLevelTimer();
    hideKeyboard();
    MVTtirraDataBase::setunread(userId(), conversationKey(), forumid_, fieldid_);
    if (refreshTimer_) refreshTimer_->invalidate();
    refreshTimer_.reset();
    refreshing_ = false;
}

// ---- Local rows and ids

void MVTChatViewController::sortDataArray() { dataArray_.sortBySendTime(); }

std::optional<std::string> MVTChatViewController::newerThanId(const ChatMessages& rows) {
    // The newest message of the other side; else the newest confirmed one. A temporary
    // id (a row still being sent, or failed) is a time, not a service id: never sent.
    // Read from the stored rows: no message becomes a dictionary for this.
    for (std::size_t i = rows.size(); i-- > 0;)
        if (std::to_string(rows.row(i).status).find('0') != std::string::npos) return std::to_string(rows.row(i).msgid);
    for (std::size_t i = rows.size(); i-- > 0;)
        if (rows.row(i).issuccess == 1) return std::to_string(rows.row(i).msgid);
    return std::nullopt;
}

void MVTChatViewController::computeIds() {
    if (dataArray_.empty()) return;
    maxIdNotIncludeSelf_ = std::to_string(dataArray_.row(0).msgid);
    minIdNotIncludeSelf_ = newerThanId(dataArray_).value_or("");
}

void MVTChatViewController::refillFromTable() {
    ChatMessages rows = conversationRows();
    if (rows.empty()) return;
    dataArray_ = std::move(rows);
    sortDataArray();
    computeIds();
}

void MVTChatViewController::selectDataBase() {
    ChatMessages rows = conversationRows();
    if (!rows.empty()) {
        dataArray_ = std::move(rows);
        sortDataArray();
        computeIds();
        initmytableview();
        scrollViewToEnd();
        fetchNewerLater();
    } else {
        getDataObjects(std::nullopt);
    }
}

void MVTChatViewController::fetchNewerLater() {
    // The fetch starts from the run loop, after what is on the way now; the flag that
    // keeps fetches from overlapping is only ever read and set on the main thread.
    auto weak = weakAs<MVTChatViewController>();
    RunLoop::main().post([weak] {
        if (auto self = weak.lock()) self->getDataObjects(std::string("minIdNotIncludeSelf"));
    });
}

void MVTChatViewController::getDataObjects(const std::optional<std::string>& mode) {
    if (refreshing_) return;
    refreshing_ = true;
    std::string path;
    if (msgType_ == "person") {
        path = "pm/" + userId() + "/conversation/" + conversationKey() + "?limit=10";
    } else if (msgType_ == "forum") {
        path = "pm/" + userId() + "/conversation/" + forumid_.value_or("") + "?fieldId=" + fieldid_ + "&limit=10";
    } else {
        refreshing_ = false;
        return;
    }
    bool older = mode && *mode == "maxIdNotIncludeSelf";
    if (mode && *mode == "minIdNotIncludeSelf" && !minIdNotIncludeSelf_.empty())
        path += "&minIdNotIncludeSelf=" + minIdNotIncludeSelf_;
    if (older) path += "&maxIdNotIncludeSelf=" + maxIdNotIncludeSelf_;
    auto request = MVTPublicMethod::requestWithMethod("GET", ServiceAddress::servicePrefix() + path);
    if (!request) {
        refreshing_ = false;
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        return;
    }
    auto weak = weakAs<MVTChatViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak, older](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->refreshing_ = false;
            Json messages = chatStorableMessages(reply);
            if (messages.empty()) {
                if (older && reply.is_array() && reply.empty()) self->isLoad_ = false;
                return;
            }
            // Stored one by one in one transaction: a message already cached fails alone.
            if (MVTtirraDataBase::insertMSGtable(messages, self->userId()) == -1) return;
            self->dataArray_ = ChatMessages();
            self->refillFromTable();
            self->initmytableview();
            if (!older && !self->dataArray_.empty()) self->scrollViewToEnd();
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) self->refreshing_ = false;
        });
    operation->start();
}

void MVTChatViewController::refreshData() {
    if (!MVTPublicMethod::connectedToNetwork()) return;
    getDataObjects(std::string("minIdNotIncludeSelf"));
}

void MVTChatViewController::becomeRead() {
    std::string path = forumid_ ? "pm/" + userId() + "/conversation/" + *forumid_ + "/readed?fieldId=" + fieldid_
                                : "pm/" + userId() + "/conversation/" + conversationKey() + "/readed";
    auto request = MVTPublicMethod::requestWithMethod("GET", ServiceAddress::servicePrefix() + path);
    if (!request) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        return;
    }
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [](HttpJsonRequestOperation&, const Json& reply) {
            if (!reply.is_object() || !boolValue(valueFor(reply, "success"))) return;
            auto& center = NotificationCenter::defaultCenter();
            center.postNotification(kChatReaded);
            center.postNotification(kReloadTimer);
        },
        [](HttpRequestOperation&, const HttpError&) {});
    operation->start();
}

// ---- The list

void MVTChatViewController::initmytableview() {
    if (mytableview_) {
        sortDataArray();
        mytableview_->reloadData();
        return;
    }
    const Rect screen = chatScreenBounds();
    mytableview_ = myTableView::make({0, 0, screen.width(), screen.height() - 118}, TableViewStyle::Plain);
    mytableview_->setTag(kTableTag);
    mytableview_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    // A long conversation builds cells only for the rows shown, not for every message.
    mytableview_->setEstimatedRowHeight(kEstimatedRowHeight);
    refreshHeaderView_ = EGORefreshTableHeaderView::make(
        {0, -mytableview_->frame().height(), screen.width(), mytableview_->frame().height()});
    refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
    mytableview_->addSubview(refreshHeaderView_);
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    view()->addSubview(mytableview_);
}

void MVTChatViewController::scrollViewToEnd() {
    if (dataArray_.empty() || !mytableview_) return;
    int last = static_cast<int>(dataArray_.size()) - 1;
    if (mytableview_->numberOfRowsInSection(0) <= last) mytableview_->reloadData();
    mytableview_->scrollToRowAtIndexPath({0, last}, TableViewScrollPosition::Bottom, true);
}

int MVTChatViewController::numberOfRowsInSection(TableView&, int) { return static_cast<int>(dataArray_.size()); }

std::shared_ptr<TableViewCell> MVTChatViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                             const IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<MVTChatCell>(tableView.dequeueReusableCellWithIdentifier("Cell"));
    if (!cell) {
        cell = std::make_shared<MVTChatCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "Cell");
    } else {
        auto subviews = cell->contentView()->subviews();
        for (const auto& sub : subviews) sub->removeFromSuperview();
    }
    int row = indexPath.row;
    const Json& message = dataArray_[static_cast<std::size_t>(row)];
    cell->setIsForum(msgType_ == "forum");
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->setBackgroundColor(Color::clear());
    cell->setIndex(row);
    // A reused cell in the first row shows its time too: it has no row above it.
    cell->setTimeString(row > 0 ? Json(dataArray_.row(static_cast<std::size_t>(row - 1)).sendTime) : Json(nullptr));
    cell->initWith(message, textOf(message, "friendid"), textOf(message, "role"));
    cell->setDelegate(weakAs<chatCellDelegate>());
    return cell;
}

double MVTChatViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    auto cell = std::make_shared<MVTChatCell>();
    cell->initWithStyle(TableViewCellStyle::Default, "Cell");
    int row = indexPath.row;
    const Json& message = dataArray_[static_cast<std::size_t>(row)];
    cell->setIsForum(msgType_ == "forum");
    cell->setIndex(row);
    cell->setTimeString(row > 0 ? Json(dataArray_.row(static_cast<std::size_t>(row - 1)).sendTime) : Json(nullptr));
    cell->initWith(message, textOf(message, "friendid"), textOf(message, "role"));
    return std::max(cell->frame().height(), kMinimumRowHeight);
}

std::string MVTChatViewController::heightKeyForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    // A row's height depends on its message and the time of the row above.
    int row = indexPath.row;
    const MVTMessageRow& message = dataArray_.row(static_cast<std::size_t>(row));
    std::string above = row > 0 ? dataArray_.row(static_cast<std::size_t>(row - 1)).sendTime : "";
    return std::to_string(message.nid) + "|" + std::to_string(message.msgid) + "|" +
           std::to_string(message.issuccess) + "|" + message.sendTime + "|" + above + "|" + msgType_;
}

void MVTChatViewController::didSelectRowAtIndexPath(TableView&, const IndexPath&) { hideKeyboard(); }

void MVTChatViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (scrollView.tag() == kPagingViewTag) {
        showIMagePageWith(scrollView);
        return;
    }
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTChatViewController::scrollViewWillBeginDragging(ScrollView& scrollView) {
    if (&scrollView != mytableview_.get()) return;
    scrollView.setBounces(false);
    hideKeyboard();
}

void MVTChatViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_ && &scrollView == mytableview_.get())
        refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTChatViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloading_ = true;
    if (isLoad_) getDataObjects(std::string("maxIdNotIncludeSelf"));
    auto weak = weakAs<MVTChatViewController>();
    RunLoop::main().performAfter(kHeaderCloseDelay, [weak] {
        if (auto self = weak.lock()) self->closeRefreshHeader();
    });
}

void MVTChatViewController::closeRefreshHeader() {
    reloading_ = false;
    if (refreshHeaderView_ && mytableview_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

bool MVTChatViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) { return reloading_; }

double MVTChatViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return Clock::current()->now();
}

// ---- Heads and pictures

void MVTChatViewController::chooseNamed(const Json& person) {
    if (textOf(person, "role") == "system") return;
    Json user = person.is_object() ? person : Json::object();
    if (!user.contains("uid")) user["uid"] = valueFor(person, "id");
    auto page = std::make_shared<MVTPersonDetailViewController>();
    page->setUserDict(user);
    page->view()->setAccessibilityValue("push");
    if (auto* navigation = navigationController()) navigation->pushViewController(page, true);
}

void MVTChatViewController::showImage(const Json& attachments, int index) {
    ViewViewController::showImage(attachments, index);
}

void MVTChatViewController::groupDetail() {
    auto profile = std::make_shared<MVTGroupDetailViewController>();
    profile->setGroupId(forumid_.value_or(""));
    profile->setGroupType(fieldid_);
    if (auto* navigation = navigationController()) navigation->pushViewController(profile, true);
}

void MVTChatViewController::goback() {
    StatisticsKit::shared().endLogPageView(view()->accessibilityHint().empty() ? kPageName
                                                                               : view()->accessibilityHint());
    if (auto* navigation = navigationController())
        navigation->dismissViewController(false);
    else
        dismissViewController(false);
}
