#include "chat/MVTInteractionViewController.h"

#include "account/MVTInterClassViewController.h"
#include "chat/ChatView.h"
#include "notices/NoticeScreens.h"
#include "chat/MVTChatViewController.h"
#include "contacts/ContactsCacheStore.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTWebViewController.h"
#include "shell/MyTabBarController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/HttpClient.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/Window.h"

#include <algorithm>

using namespace platform;

namespace {

const Color kCentreBlue = Color::rgba(0.318, 0.729, 0.969);

std::string centreUserId() { return MVTAccount::sharedInstance().userId().value_or(""); }
std::string centreRole() { return MVTAccount::sharedInstance().role().value_or(""); }

Color stripeColour(const Json& row) {
    std::string type = textOf(row, "type");
    if (type == "notice" || type == "message") return kCentreBlue;
    std::string role = valueFor(row, "role").is_discarded() || valueFor(row, "role").is_null()
                           ? std::string("group")
                           : textOf(row, "role");
    if (role == "teacher" || role == "admin" || role == "system") return kCentreBlue;
    if (role == "parent") return Color::white(0.51);
    if (role == "group") return Color::rgba(0.6, 0.678, 0.482);
    return Color::rgba(0.953, 0.643, 0.153);
}

std::shared_ptr<View> redDot(double side, double radius, const Color& border, double borderWidth) {
    auto dot = std::make_shared<View>(Rect(0, 0, side, side));
    dot->setBackgroundColor(Color::red());
    dot->setCornerRadius(radius);
    dot->setBorderColor(border);
    dot->setBorderWidth(borderWidth);
    return dot;
}

void placeDot(const std::shared_ptr<View>& dot, View& host) {
    Rect f = dot->frame();
    dot->setFrame({50 - f.width() / 2, 15 - f.height() / 2, f.width(), f.height()});
    if (dot->superview().get() != &host) {
        dot->removeFromSuperview();
        host.addSubview(dot);
    }
}

std::string badgeText(const Json& row) {
    std::string text = textOf(row, "unreadCount");
    if (MVTPublicMethod::stringIsClassNull(valueFor(row, "unreadCount"))) return "";
    long long count = integerValue(text);
    if (count < 1) return "";
    return std::to_string(std::min(count, 99LL));
}

std::string secondLine(const Json& row) {
    if (!MVTPublicMethod::stringIsClassNull(valueFor(row, "msg"))) return textOf(row, "msg");
    const Json& attachments = valueFor(row, "attachments");
    if (!attachments.is_array() || attachments.empty()) return "";
    std::string type = textOf(attachments[0], "type");
    if (type == "image") return localized("图片");
    if (type == "audio") return localized("语音");
    return "";
}

std::string centreDate(const Json& time) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    return app ? app->getDateWith(textOf(time)) : textOf(time);
}

}  // namespace

MVTInteractionViewController::MVTInteractionViewController() = default;
MVTInteractionViewController::~MVTInteractionViewController() = default;

MyTabBarController* MVTInteractionViewController::tabBar() const {
    if (auto* tabs = dynamic_cast<MyTabBarController*>(tabBarController())) return tabs;
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (!app || !app->window()) return nullptr;
    return dynamic_cast<MyTabBarController*>(app->window()->rootViewController().get());
}

void MVTInteractionViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("消息列表"));
    linkManList_ = std::make_shared<MVTLinkManListViewController>();
    linkManList_->setIspresent(true);
    linkManList_->setIsFormInreractionClick(true);
    isLoad_ = true;
    dataArray_ = Json::array();
    headView_ = std::make_shared<View>(Rect(0, 0, Screen::mainScreen().bounds().width(), 0));
    headView_->setBackgroundColor(Color::clear());
    buildSearchBar();
    initNavBar();
    initmytable();
    netGetData(std::nullopt);
    auto weak = weakAs<MVTInteractionViewController>();
    friendDeletedToken_ = NotificationCenter::defaultCenter().addObserver(
        kFriendDeletedNotification, [weak](const Notification& note) {
            if (auto self = weak.lock()) self->receiversChange(note);
        });
}

void MVTInteractionViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (!chatReadedToken_) {
        auto weak = weakAs<MVTInteractionViewController>();
        chatReadedToken_ = NotificationCenter::defaultCenter().addObserver(kChatReaded, [weak](const Notification&) {
            if (auto self = weak.lock()) self->updateDataAndTableView();
        });
    }
    reloadHeadView();
    if (mytableview_) mytableview_->reloadData();
    noticeClassIdString_.clear();
    if (!showAddClass_ && MVTPublicMethod::isUnClassId() && centreRole() != "parent") {
        showAddClass_ = true;
        showHintOverlay();
    }
}

void MVTInteractionViewController::showHintOverlay() {
    auto window = Window::keyWindowRef();
    if (!window) return;
    const Rect bounds = window->bounds();
    auto overlay = std::make_shared<View>(bounds);
    overlay->setBackgroundColor(Color::rgba(0, 0, 0, 0.86));
    overlay->setTag(kHintOverlayTag);
    auto picture = [&](const char* name, Rect frame) {
        auto view = std::make_shared<ImageView>(frame);
        view->setImage(Image::imageNamed(name));
        overlay->addSubview(view);
    };
    picture("showAdd", {bounds.width() - 49 - 38, 23, 38, 38});
    picture("showJian", {bounds.width() - 112 - 38, 80, 38, 38});
    picture("showWords", {(bounds.width() - 140) / 2, 130, 140, 140});
    auto tap = std::make_shared<TapGestureRecognizer>();
    tap->setAction([](GestureRecognizer&) {
        if (auto key = Window::keyWindowRef())
            if (auto shown = key->viewWithTag(kHintOverlayTag)) shown->removeFromSuperview();
    });
    overlay->addGestureRecognizer(tap);
    window->addSubview(overlay);
}

// ---- Loading

void MVTInteractionViewController::changeReloadNews(bool enabled) {
    if (auto* tabs = tabBar()) tabs->changeReloadDynamicAndNewsBtnWith(1, enabled);
}

void MVTInteractionViewController::netGetData(const std::optional<std::string>& mode) {
    changeReloadNews(false);
    if (!isLoad_ || loading_) return;
    Json parameters = {{"limit", kPageSize}};
    bool next = mode && *mode == "maxIdNotIncludeSelf";
    if (next) parameters["maxIdNotIncludeSelf"] = maxIdNotIncludeSelf_;
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "pm/" + centreUserId() + "/classify/list", parameters);
    if (!request) {
        doneLoadingTableViewData();
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        return;
    }
    if (next) showHUDWithBool(true);
    loading_ = true;
    auto weak = weakAs<MVTInteractionViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak, mode](HttpJsonRequestOperation&, const Json& reply) {
            if (auto self = weak.lock()) self->loadReply(mode, reply);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) self->loadFailed();
        });
    operation->start();
}

void MVTInteractionViewController::loadReply(const std::optional<std::string>& mode, const Json& reply) {
    loading_ = false;
    showHUDWithBool(false);
    if (!reply.is_array()) {
        // Anything but a list is no page of conversations.
        loadFailed();
        return;
    }
    if (reply.empty()) {
        doneLoadingTableViewData();
        return;
    }
    isLoad_ = reply.size() >= static_cast<std::size_t>(kPageRows);
    if (!mode || *mode == "minIdNotIncludeSelf") dataArray_ = Json::array();
    for (const auto& row : reply)
        if (row.is_object()) dataArray_.push_back(row);
    initmytable();
}

void MVTInteractionViewController::loadFailed() {
    loading_ = false;
    showHUDWithBool(false);
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(2);
    doneLoadingTableViewData();
}

void MVTInteractionViewController::updateDataAndTableView() {
    if (!mytableview_) return;
    isLoad_ = true;
    netGetData(dataArray_.empty() ? std::nullopt : std::optional<std::string>("minIdNotIncludeSelf"));
}

void MVTInteractionViewController::reloadTableViewDataSource() {
    reloading_ = true;
    isLoad_ = true;
    netGetData(dataArray_.empty() ? std::nullopt : std::optional<std::string>("minIdNotIncludeSelf"));
}

void MVTInteractionViewController::getNewData() {
    ++getNewDataCount_;
    if (!mytableview_) return;
    mytableview_->setContentOffset({0, -60}, true);
    refreshHeaderView_->egoRefreshScrollViewFirst(*mytableview_);
    egoRefreshTableHeaderDidTriggerRefresh(*refreshHeaderView_);
}

void MVTInteractionViewController::reloadTable() {
    ++reloadTableCount_;
    if (!mytableview_) return;
    initmytable();
}

void MVTInteractionViewController::initmytable() {
    auto weak = weakAs<MVTInteractionViewController>();
    if (!mytableview_) {
        const Rect screen = Screen::mainScreen().bounds();
        const double height = view()->frame().height() - 44 - 49 - SDH;
        mytableview_ = myTableView::make({0, 0, screen.width(), height}, TableViewStyle::Plain);
        mytableview_->setBackgroundColor(Color::white(0.961));
        mytableview_->setTableHeaderView(headView_);
        refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -height, screen.width(), height});
        refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
        mytableview_->addSubview(refreshHeaderView_);
        refreshHeaderView_->refreshLastUpdatedDate();
        mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
        mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
        view()->addSubview(mytableview_);
    } else {
        mytableview_->reloadData();
        if (auto* tabs = tabBar()) {
            long long current = integerValue(textOf(tabs->unreadDic(), "newPm"));
            tabs->unreadDic()["newPm"] = std::to_string(std::max<long long>(current, unReadNum()));
            tabs->cleanNewMarks(1);
        }
        reloadHeadView();
    }
    RunLoop::main().performAfter(kDoneLoadingDelay, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

void MVTInteractionViewController::doneLoadingTableViewData() {
    reloading_ = false;
    changeReloadNews(true);
    if (refreshHeaderView_ && mytableview_)
        refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

// ---- Unread count and marks

int MVTInteractionViewController::unReadNum() const {
    long long sum = 0;
    for (const auto& row : dataArray_) {
        if (MVTPublicMethod::stringIsClassNull(valueFor(row, "unreadCount"))) continue;
        sum += std::max<long long>(0, integerValue(textOf(row, "unreadCount")));
    }
    return static_cast<int>(std::min<long long>(sum, 1000000000LL));
}

void MVTInteractionViewController::lowerNewPm(long long count) {
    auto* tabs = tabBar();
    if (!tabs) return;
    long long lowered = integerValue(textOf(tabs->unreadDic(), "newPm")) - count;
    if (lowered >= 0) tabs->unreadDic()["newPm"] = std::to_string(lowered);
}

void MVTInteractionViewController::reloadHeadView() {
    if (MVTAccount::sharedInstance().newApply()) {
        if (!newFriendMark_) newFriendMark_ = redDot(12, 6.4, Color::red(), 0.5);
        placeDot(newFriendMark_, *headView_);
    } else if (newFriendMark_) {
        newFriendMark_->removeFromSuperview();
    }
}

void MVTInteractionViewController::showHUDWithBool(bool show) {
    if (!isViewLoaded() || !view()->window()) return;
    if (show) {
        if (hud_) hud_->removeFromSuperview();
        hud_ = ProgressHUD::showHUDAddedTo(view(), true);
        hud_->setRemoveFromSuperViewOnHide(true);
    } else if (hud_) {
        hud_->hide(true);
    }
}

// ---- Removal

void MVTInteractionViewController::deleteChat(int index) {
    if (index < 0 || index >= static_cast<int>(dataArray_.size())) return;
    const Json row = dataArray_[static_cast<std::size_t>(index)];
    lowerNewPm(integerValue(textOf(row, "unreadCount")));
    bool group = row.contains("fieldId");
    std::string path = "pm/" + centreUserId() + "/removeSession/" +
                       (group ? textOf(row, "forumId") + "?fieldId=" + textOf(row, "fieldId") : textOf(row, "uid"));
    const std::string url = ServiceAddress::servicePrefix() + path;
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        return;
    }
    auto request = client->requestWithMethod("GET", url);
    request.setTimeoutInterval(kRemoveTimeout);
    auto overlay = ProgressHUD::showHUDAddedTo(view(), true);
    overlay->setLabelText(localized("正在删除"));
    overlay->setRemoveFromSuperViewOnHide(true);
    auto weak = weakAs<MVTInteractionViewController>();
    auto operation = client->HTTPRequestOperationWithRequest(
        std::move(request),
        [weak, row, overlay](HttpRequestOperation&, const std::string& body) {
            overlay->removeFromSuperview();
            auto self = weak.lock();
            if (!self) return;
            if (boolValue(body)) {
                self->removeSwipedConversation(row);
            } else {
                AlertView::make(localized("提示"), localized("删除失败,请重新删除"), {}, localized("确定"))->show();
            }
        },
        [weak, overlay](HttpRequestOperation&, const HttpError&) {
            overlay->removeFromSuperview();
            if (weak.lock())
                AlertView::make(localized("提示"), localized("删除失败,请重新删除"), {}, localized("确定"))->show();
        });
    operation->start();
}

void MVTInteractionViewController::removeSwipedConversation(const Json& row) {
    // The list may have been reloaded while the request ran: the swiped conversation goes,
    // found by what it is, not by where it stood.
    auto same = [&row](const Json& candidate) {
        if (candidate == row) return true;
        return textOf(candidate, "type") == textOf(row, "type") && textOf(candidate, "id") == textOf(row, "id");
    };
    auto found = std::find_if(dataArray_.begin(), dataArray_.end(), same);
    if (found != dataArray_.end()) dataArray_.erase(found);
    initmytable();
    if (row.contains("fieldId"))
        MVTtirraDataBase::deleteMSGListwith(centreUserId(), "", std::string(textOf(row, "forumId")),
                                            textOf(row, "fieldId"));
    else
        MVTtirraDataBase::deleteMSGListwith(centreUserId(), textOf(row, "uid"), std::nullopt, "");
}

void MVTInteractionViewController::receiversChange(const Notification& notification) {
    const std::string friendId = textOf(notification.object, "userId");
    auto found = std::find_if(dataArray_.begin(), dataArray_.end(),
                              [&friendId](const Json& row) { return textOf(row, "uid") == friendId; });
    if (found != dataArray_.end()) dataArray_.erase(found);
    initmytable();
}

// ---- Table

int MVTInteractionViewController::numberOfSectionsInTableView(TableView&) { return 2; }

int MVTInteractionViewController::numberOfRowsInSection(TableView&, int section) {
    return section == 0 ? 1 : static_cast<int>(dataArray_.size());
}

double MVTInteractionViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVTInteractionViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                    const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "Cell");
    } else {
        MVTPublicMethod::stopWaitAnimation(cell->contentView());
        auto subviews = cell->contentView()->subviews();
        for (const auto& sub : subviews) sub->removeFromSuperview();
    }
    cell->setBackgroundColor(Color::clear());
    cell->setAccessoryType(TableViewCellAccessoryType::None);
    auto& content = *cell->contentView();
    if (indexPath.section == 0)
        drawEducationRow(content);
    else
        drawSessionRow(content, dataArray_[static_cast<std::size_t>(indexPath.row)]);
    return cell;
}

void MVTInteractionViewController::drawEducationRow(View& content) {
    const double W = Screen::mainScreen().bounds().width();
    auto disc = MVTPublicMethod::imageViewWithColor(Color::whiteColor());
    disc->setFrame({8, 8, 44, 44});
    disc->setCornerRadius(22);
    content.addSubview(disc);
    auto icon = std::make_shared<ImageView>(Rect(10, 10, 40, 40));
    icon->setImage(Image::imageNamed("educationServices"));
    icon->setCornerRadius(20);
    icon->setClipsToBounds(true);
    content.addSubview(icon);
    auto title = std::make_shared<Label>(Rect(60, 7, 160, 20));
    title->setFont(Font::systemFontOfSize(16));
    title->setTextColor(Color::white(0.333));
    title->setText(localized("教育服务"));
    content.addSubview(title);
    auto line = std::make_shared<Label>(Rect(60, 26, W - 100, 25));
    line->setFont(Font::systemFontOfSize(14));
    line->setTextColor(Color::white(0.467));
    line->setText(localized("本地信息"));
    content.addSubview(line);
    auto separator = std::make_shared<ImageView>(Rect(60, kRowHeight - 0.3, W - 60, 0.3));
    separator->setImage(Image::imageNamed("line1"));
    content.addSubview(separator);
}

std::string MVTInteractionViewController::courseLine(const Json& row) const {
    std::string kind = textOf(row, "ntype");
    std::string word = kind == "course_homework" ? localized("作业")
                       : kind == "course_quiz"   ? localized("测验")
                       : kind == "course_media"  ? localized("微课")
                                                 : "";
    std::string role = centreRole();
    std::string text = role == "teacher" || role == "admin"
                           ? localized("有学生") + " " + localized("提交了") + " " + word
                           : textOf(row, "name") + " " + localized("发布了") + " " + word;
    if (InternationalControl::userLanguage() == InternationalControl::kChinese)
        text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

void MVTInteractionViewController::drawSessionRow(View& content, const Json& row) {
    const double W = Screen::mainScreen().bounds().width();
    const std::string type = textOf(row, "type");
    auto stripe = std::make_shared<View>(Rect(0, 3, 3, 52.5));
    stripe->setBackgroundColor(stripeColour(row));
    content.addSubview(stripe);
    auto disc = MVTPublicMethod::imageViewWithColor(Color::whiteColor());
    disc->setFrame({8, 8, 44, 44});
    disc->setCornerRadius(22);
    content.addSubview(disc);
    auto icon = std::make_shared<ImageView>(Rect(10, 10, 40, 40));
    icon->setCornerRadius(20);
    icon->setClipsToBounds(true);
    content.addSubview(icon);

    std::string title, line;
    Json time;
    if (type == "notice") {
        noticeClassIdString_ = textOf(row, "classId");
        bool admin = centreRole() == "admin";
        title = localized(admin ? "学校通知" : "班级通知");
        std::string format = localized(admin ? "%@发来的学校通知" : "%@发来的班级通知");
        if (auto at = format.find("%@"); at != std::string::npos) format.replace(at, 2, textOf(row, "name"));
        line = format;
        time = valueFor(row, "sendTime");
        icon->setImage(Image::imageNamed("interaction_classNotic"));
        if (MVTAccount::sharedInstance().newNoti()) {
            if (!noticeMark_) noticeMark_ = redDot(10, 5.2, Color::red(), 0.5);
            placeDot(noticeMark_, content);
        } else if (noticeMark_) {
            noticeMark_->removeFromSuperview();
        }
    } else if (type == "message") {
        title = localized("消息中心");
        line = courseLine(row);
        time = valueFor(row, "dateline");
        icon->setImage(Image::imageNamed("newsCenter"));
        if (boolValue(valueFor(row, "hasNew"))) {
            if (!courseMark_) courseMark_ = redDot(12, 6, Color::lightGray(), 1);
            placeDot(courseMark_, content);
        } else if (courseMark_ && courseMark_->superview().get() == &content) {
            courseMark_->removeFromSuperview();
        }
    } else {
        if (textOf(row, "sysflag") == "friend-first-pm")
            saveNewFriendToNative(ContactsCacheStore::friendEntry(valueFor(row, "name"), valueFor(row, "role"),
                                                                  valueFor(row, "uid")));
        if (type == "forum") {
            icon->setImage(Image::imageNamed("interaction_group"));
        } else {
            std::string uid = textOf(row, "uid");
            icon->setAccessibilityHint(uid);
            MVTPublicMethod::setFaceImage(icon, MVTPublicMethod::getPathByFileName(uid, "png"), textOf(row, "role"));
        }
        title = textOf(row, "name");
        line = secondLine(row);
        time = valueFor(row, "sendTime");
        std::string badge = badgeText(row);
        if (!badge.empty()) {
            Font font = Font::systemFontOfSize(14);
            double width = TextMeasure::sizeWithFont(badge, font).width + 10;
            auto back = std::make_shared<ImageView>(Rect(36, 5, width, 18));
            back->setImage(Image::imageNamed("message")->stretchableImageWithLeftCapWidth(6, 9));
            auto count = std::make_shared<Label>(Rect(0, 0, width, 18));
            count->setFont(font);
            count->setTextColor(Color::whiteColor());
            count->setTextAlignment(TextAlignment::Center);
            count->setBackgroundColor(Color::clear());
            count->setText(badge);
            back->addSubview(count);
            content.addSubview(back);
        }
    }
    auto titleLabel = std::make_shared<Label>(Rect(60, 7, 160, 20));
    titleLabel->setFont(Font::systemFontOfSize(16));
    titleLabel->setTextColor(Color::white(0.333));
    titleLabel->setBackgroundColor(Color::clear());
    titleLabel->setText(title);
    content.addSubview(titleLabel);
    auto lineView = std::make_shared<ChatView>();
    lineView->initWithFrame({60, 28, W - 100, 25});
    lineView->setIsFromChatList(true);
    lineView->setDatas(ChatView::parserMessage(line));
    lineView->setAccessibilityLabel(line);
    content.addSubview(lineView);
    auto timeLabel = std::make_shared<Label>(Rect(W - 110, 7, 100, 20));
    timeLabel->setFont(Font::systemFontOfSize(12));
    timeLabel->setTextAlignment(TextAlignment::Right);
    timeLabel->setTextColor(Color::white(0.467));
    timeLabel->setBackgroundColor(Color::clear());
    timeLabel->setText(centreDate(time));
    content.addSubview(timeLabel);
    auto separator = std::make_shared<ImageView>(Rect(60, kRowHeight - 0.3, W - 60, 0.3));
    separator->setImage(Image::imageNamed("line1"));
    content.addSubview(separator);
}

void MVTInteractionViewController::willDisplayCell(TableView&, TableViewCell&, const IndexPath& indexPath) {
    if (indexPath.section != 1 || dataArray_.empty() || !isLoad_) return;
    if (indexPath.row != static_cast<int>(dataArray_.size()) - 1) return;
    maxIdNotIncludeSelf_ = textOf(dataArray_.back(), "id");
    netGetData(std::string("maxIdNotIncludeSelf"));
}

bool MVTInteractionViewController::canEditRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    return indexPath.section == 1 && indexPath.row < static_cast<int>(dataArray_.size()) &&
           textOf(dataArray_[static_cast<std::size_t>(indexPath.row)], "type") != "notice";
}

void MVTInteractionViewController::commitEditingStyle(TableView&, TableViewCellEditingStyle style,
                                                      const IndexPath& indexPath) {
    if (style == TableViewCellEditingStyle::Delete && indexPath.section == 1) deleteChat(indexPath.row);
}

std::string MVTInteractionViewController::titleForDeleteConfirmationButtonForRowAtIndexPath(TableView&,
                                                                                            const IndexPath&) {
    return localized("删除");
}

void MVTInteractionViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTInteractionViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTInteractionViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadTableViewDataSource();
}

bool MVTInteractionViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTInteractionViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return Clock::current()->now();
}

// ---- Routing

std::string MVTInteractionViewController::educationServicesUrl() {
    // The page signs the user in with the name and password in its query, as that web
    // application expects. Both are escaped so that no character of them can change the
    // address; they still travel in the clear, in the address, over plain HTTP.
    auto& account = MVTAccount::sharedInstance();
    return ServiceAddress::baseUrl() + "webapp/?wapid=" + percentEscape(account.userName().value_or("")) +
           "&userpwd=" + percentEscape(account.password().value_or(""));
}

void MVTInteractionViewController::saveNewFriendToNative(const Json& person) {
    ContactsCacheStore::addFriendOnce(centreUserId(), person);
}

void MVTInteractionViewController::classNotButtonClick() {
    auto& account = MVTAccount::sharedInstance();
    std::string role = centreRole();
    const bool list = role == "student" || role == "parent" || (!noticeClassIdString_.empty() && account.newNoti());
    if (list) {
        account.setNewNoti(false);
        NotificationCenter::defaultCenter().postNotification(kMarkUpside);
    }
    notices::presentNoticesFromMessages(*this, list, noticeClassIdString_);
}

void MVTInteractionViewController::showJoinClassAlert() {
    bool parent = centreRole() == "parent";
    auto weak = weakAs<AlertViewDelegate>();
    auto alert = parent ? AlertView::make("", "您的孩子没有加入班级，请让孩子加入班级", weak, localized("确定"))
                        : AlertView::make("", localized("请先加入班级，可以查看和分享更多精彩"), weak,
                                          localized("确定"), {localized("取消")});
    alert->setTag(kJoinClassAlertTag);
    alert->show();
}

void MVTInteractionViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() != kJoinClassAlertTag || index != 0 || centreRole() == "parent") return;
    presentViewController(myNavigationController::withRoot(std::make_shared<MVTInterClassViewController>()), true);
}

void MVTInteractionViewController::openChat(const Json& row) {
    if (MVTPublicMethod::isUnClassId() && integerValue(textOf(row, "uid")) != kServiceAccountId) {
        showJoinClassAlert();
        return;
    }
    Json forward = Json::array();
    bool skippedMessage = false, skippedNotice = false;
    for (const auto& candidate : dataArray_) {
        std::string type = textOf(candidate, "type");
        if (!skippedMessage && type.find("message") != std::string::npos) {
            skippedMessage = true;
            continue;
        }
        if (!skippedNotice && type.find("notice") != std::string::npos) {
            skippedNotice = true;
            continue;
        }
        forward.push_back(candidate);
    }
    lowerNewPm(integerValue(textOf(row, "unreadCount")));
    std::string type = textOf(row, "type");
    Json dict = row;
    if (type != "person") dict["uid"] = valueFor(row, "id");
    presentChat(dict, type, forward);
}

void MVTInteractionViewController::presentChat(Json dict, const std::string& type, const Json& forwardRows) {
    auto chat = std::make_shared<MVTChatViewController>();
    if (forwardRows.is_array()) chat->setForwardRecetArray(forwardRows);
    if (type != "person") {
        chat->setFieldid(std::to_string(integerValue(textOf(dict, "fieldId"))));
        chat->setForumid(std::to_string(integerValue(textOf(dict, "forumId"))));
    }
    const std::string name = textOf(dict, "name");
    chat->setMyDict(std::move(dict));
    chat->setMsgType(type);
    chat->setTitle(name);
    auto navigation = myNavigationController::withRoot(chat);
    navigation->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
    presentViewController(navigation, true);
}

void MVTInteractionViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    if (indexPath.section == 0) {
        auto page = std::make_shared<MVTWebViewController>();
        auto navigation = myNavigationController::withRoot(page);
        navigation->setNavigationBarHidden(true);
        presentViewController(navigation, true);
        page->reloadUrlWithInfo(educationServicesUrl(), localized("本地信息"));
        return;
    }
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row >= static_cast<int>(dataArray_.size())) return;
    Json row = dataArray_[static_cast<std::size_t>(indexPath.row)];
    if (textOf(row, "sysflag") == "friend-first-pm")
        saveNewFriendToNative(
            ContactsCacheStore::friendEntry(valueFor(row, "name"), valueFor(row, "role"), valueFor(row, "uid")));
    std::string type = textOf(row, "type");
    if (type == "notice") {
        noticeClassIdString_ = textOf(row, "classId");
        classNotButtonClick();
    } else if (type == "message") {
        row["hasNew"] = "0";
        dataArray_[static_cast<std::size_t>(indexPath.row)] = row;
        if (courseMark_) courseMark_->removeFromSuperview();
        notices::presentCourseCentre(*this);
    } else {
        openChat(row);
    }
}
