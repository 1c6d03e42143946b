#include "contacts/MVTLinkManListViewController.h"

#include "chat/MVTChatViewController.h"
#include "contacts/ContactsCacheStore.h"
#include "contacts/ContactsShared.h"
#include "contacts/MVTNewFriendViewController.h"
#include "contacts/MVTSearchFriendViewController.h"
#include "contacts/MVTSearchViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "me/MVTPersonDetailViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MyTabBarController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

using namespace platform;

namespace {

const Json& emptyPeople() {
    static const Json empty = Json::array();
    return empty;
}

const Json& missingRecord() {
    static const Json none = Json::object();
    return none;
}

}  // namespace

MVTLinkManListViewController::MVTLinkManListViewController() = default;
MVTLinkManListViewController::~MVTLinkManListViewController() = default;

std::string MVTLinkManListViewController::userId() const { return contacts::accountUserId(); }
std::string MVTLinkManListViewController::role() const { return contacts::accountRole(); }

// ---- Screen

void MVTLinkManListViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    StatisticsKit::shared().beginLogPageView(kPageName);
    const Rect screen = Screen::mainScreen().bounds();
    contentView_ = std::make_shared<View>(Rect(0, 0, screen.width(), screen.height() - 64));
    contentView_->setBackgroundColor(Color::clear());
    view()->addSubview(contentView_);
    loading_ = false;
    if (ispresent_) initTitleView();

    hightForTableView_ = view()->frame().height() - 44 - SDH;
    searchBar_ = std::make_shared<SearchBar>(Rect(0, 0, screen.width(), 40));
    searchBar_->setPlaceholder(localized("请输入联系人姓名"));
    searchBar_->setDelegate(weakAs<SearchBarDelegate>());
    searchView_ = std::make_shared<View>(Rect(0, 0, screen.width(), 41));
    searchView_->addSubview(searchBar_);
    auto line = std::make_shared<ImageView>(Rect(0, 40, screen.width(), 1));
    line->setImage(Image::imageNamed("line_10"));
    line->setTag(kSearchLineTag);
    searchView_->addSubview(line);
    fistGetData_ = true;
    contentView_->addSubview(searchView_);

    if (sectionsCreated_)
        initmytableview();
    else
        getData();

    auto weak = weakAs<MVTLinkManListViewController>();
    receiversToken_.reset();
    receiversToken_ = NotificationCenter::defaultCenter().addObserver(kReceiversChanged, [weak](const Notification& note) {
        if (auto self = weak.lock()) self->receiversChange(note);
    });
}

void MVTLinkManListViewController::initTitleView() {
    setTitle(localized("联系人"));
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->setAccessibilityLabel(localized("返回"));
    auto weak = weakAs<MVTLinkManListViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    if (role() == "parent") {
        navigationItem().setRightBarButtonItem(nullptr);
        return;
    }
    auto add = MVTPublicMethod::navigationrightBarButton(localized("添加好友"));
    add->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->addFriend();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(add));
}

void MVTLinkManListViewController::viewDidAppear(bool animated) {
    ViewViewController::viewDidAppear(animated);
    if (MVTAccount::sharedInstance().newApply()) {
        if (markView_ && newFriendButton_) newFriendButton_->addSubview(markView_);
    } else if (markView_) {
        markView_->removeFromSuperview();
        markView_.reset();
    }
    if (isGoBack_ && !isFormInreractionClick_) {
        // Once: a chat opened from here sent the user to the message centre.
        isGoBack_ = false;
        auto app = MVTAppDelegate::sharedAppDelegate();
        auto* tabs = app && app->window() ? dynamic_cast<MyTabBarController*>(app->window()->rootViewController().get())
                                          : nullptr;
        if (tabs) {
            tabs->setSelectedIndex(1);
            Button button;
            button.setTag(1);
            tabs->itemCliced(button);
        }
        if (navigationController()) navigationController()->dismissViewController(false);
    }
}

void MVTLinkManListViewController::initmytableview() {
    ++tableBuildCount_;
    if (mytableview_) {
        mytableview_->reloadData();
    } else {
        const double width = Screen::mainScreen().bounds().width();
        const double height = hightForTableView_ - (ispresent_ ? 45 : 89);
        const double top = (searchBar_ ? searchBar_->frame().height() : 40) + 1;
        mytableview_ = myTableView::make({0, top, width, height}, TableViewStyle::Plain);
        mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
        mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
        if (headView_) mytableview_->setTableHeaderView(headView_);
        if (contentView_) contentView_->addSubview(mytableview_);
        if (searchListView_ && contentView_) contentView_->bringSubviewToFront(searchListView_->view());
    }
    if (!isSelect_ && !refreshHeaderView_) {
        const Rect bounds = mytableview_->bounds();
        refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -bounds.height(), bounds.width(), bounds.height()});
        refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
        mytableview_->addSubview(refreshHeaderView_);
        refreshHeaderView_->refreshLastUpdatedDate();
    }
    auto weak = weakAs<MVTLinkManListViewController>();
    RunLoop::main().performAfter(kDoneLoadingDelay, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

void MVTLinkManListViewController::reloadTable() {
    if (mytableview_) mytableview_->reloadData();
}

// ---- Data

void MVTLinkManListViewController::getData() {
    sectionsCreated_ = true;
    auto text = ContactsCacheStore::readText(userId());
    const std::string cached = text.value_or("(null)");
    if (cached == "(null)" && !fistGetData_ && !isFormInreractionClick_) {
        // The cache is still missing after a reply: show what there is, ask nothing.
        if (isViewLoaded()) {
            MVTPublicMethod::stopWaitAnimation(view());
            initmytableview();
        }
        return;
    }
    if (MVTPublicMethod::stringIsClassNull(Json(cached))) {
        // An instance without a screen asks again only once after a reply.
        if (!fistGetData_ && isFormInreractionClick_ && refetchedAfterReply_) {
            endSearchWithoutReply();
            return;
        }
        netGetData();
        return;
    }
    const Json parsed = Json::parse(cached, nullptr, false);
    if (!parsed.is_object()) endSearchWithoutReply();
    dealWithData(parsed);
    dealWithArray();
    if (!sections_.groupArray.empty() && !sections_.groupUserNum.empty() && !sections_.myFriendArray.empty() &&
        !isInteractionViewSearch_ && isViewLoaded())
        initmytableview();
}

void MVTLinkManListViewController::netGetData() {
    if (loading_) return;
    loading_ = true;
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "pm/" + userId() + "/receivers/group/classify");
    if (!request) {
        if (isViewLoaded()) MVTPublicMethod::stopWaitAnimation(view());
        contacts::showBanner(0);
        loading_ = false;
        doneLoadingTableViewData();
        endSearchWithoutReply();
        return;
    }
    if (showsRefreshingOverlay() && isViewLoaded() && !MVTPublicMethod::isShowingAnimation(view())) {
        contacts::showProgress(hud_, view(), true);
        hud_->setLabelText(localized("正在刷新"));
    }
    auto weak = weakAs<MVTLinkManListViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            if (auto self = weak.lock()) self->netReply(reply);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) self->netFailed();
        });
    operation->start();
}

void MVTLinkManListViewController::hideWaitingOverlay() {
    if (!isViewLoaded() || !MVTPublicMethod::isShowingAnimation(view())) contacts::showProgress(hud_, nullptr, false);
}

void MVTLinkManListViewController::netReply(const Json& reply) {
    loading_ = false;
    if (fistGetData_ == false) refetchedAfterReply_ = true;
    fistGetData_ = false;
    hideWaitingOverlay();
    if (reply.is_null()) {
        doneLoadingTableViewData();
        endSearchWithoutReply();
        AlertView::make("", localized("暂无私信接收人"), {}, localized("确定"))->show();
        return;
    }
    // Only a dictionary is a receiver list; anything else is neither kept nor used.
    if (reply.is_object()) {
        writeDataToLoacalFile(reply);
        dealWithData(reply);
        dealWithArray();
    }
    if (!sections_.myFriendArray.empty()) {
        getData();
        return;
    }
    doneLoadingTableViewData();
    endSearchWithoutReply();
    if (isViewLoaded()) {
        MVTPublicMethod::stopWaitAnimation(view());
        if (mytableview_) mytableview_->removeFromSuperview();
        mytableview_.reset();
        refreshHeaderView_.reset();
        initmytableview();
        AlertView::make("", localized("暂无同学和好友"), {}, localized("确定"))->show();
    }
}

void MVTLinkManListViewController::netFailed() {
    hideWaitingOverlay();
    loading_ = false;
    contacts::showBanner(2);
    doneLoadingTableViewData();
    endSearchWithoutReply();
}

void MVTLinkManListViewController::endSearchWithoutReply() {
    // A screen searching through this list waits for the post: it comes, empty, also
    // when the list could not be fetched.
    if (!isInteractionViewSearch_) return;
    linkManListSearchArray_ = Json::array();
    NotificationCenter::defaultCenter().postNotification(kSearchLinkManList);
}

void MVTLinkManListViewController::dealWithData(const Json& reply) {
    if (!buildReceiverSections(reply, role(), sections_, blankBeforeTeacherCount())) return;
    sectionsCreated_ = true;
    if (isInteractionViewSearch_) searchData();
    addNewFriendEntry(role(), sections_);
}

void MVTLinkManListViewController::dealWithArray() { sortReceiverSections(sections_); }

Json MVTLinkManListViewController::searchData() {
    Json result = searchReceiverSections(sections_, searchString_);
    if (isInteractionViewSearch_) {
        linkManListSearchArray_ = result;
        NotificationCenter::defaultCenter().postNotification(kSearchLinkManList);
    }
    return result;
}

void MVTLinkManListViewController::receiversChange(const Notification& notification) {
    if (sectionsCreated_) {
        // The friends section sits behind the new-friends entry, except for parents. A list
        // without friends has none there: nothing is removed then.
        const std::size_t index = role() == "parent" ? 0 : 1;
        if (index < sections_.count() && sections_.titleAt(index) == localized("我的好友") &&
            sections_.myFriendArray[index].is_array()) {
            const std::string gone = receiverIdentity(valueFor(notification.object, "userId"));
            Json& people = sections_.myFriendArray[index];
            Json kept = Json::array();
            bool removed = false;
            for (const auto& record : people) {
                if (!removed && receiverIdentity(valueFor(record, "userId")) == gone) {
                    removed = true;
                    continue;
                }
                kept.push_back(record);
            }
            if (removed) {
                people = std::move(kept);
                long long count = integerValue(textOf(sections_.groupUserNum[index]));
                if (count != 0) sections_.groupUserNum[index] = std::to_string(count - 1);
            }
        }
    }
    if (isViewLoaded() && !isInteractionViewSearch_) initmytableview();
}

void MVTLinkManListViewController::writeDataToLoacalFile(const Json& value) {
    ContactsCacheStore::writeObject(userId(), value);
}

// ---- Table

const Json& MVTLinkManListViewController::peopleAt(int section) const {
    if (section < 0 || static_cast<std::size_t>(section) >= sections_.myFriendArray.size()) return emptyPeople();
    const Json& people = sections_.myFriendArray[static_cast<std::size_t>(section)];
    return people.is_array() ? people : emptyPeople();
}

const Json& MVTLinkManListViewController::recordAt(const IndexPath& indexPath) const {
    const Json& people = peopleAt(indexPath.section);
    if (sections_.titleAt(static_cast<std::size_t>(indexPath.section)) == "student" && !people.empty()) {
        const Json& students = valueFor(people[0], "students");
        if (students.is_array() && indexPath.row >= 0 && static_cast<std::size_t>(indexPath.row) < students.size())
            return students[static_cast<std::size_t>(indexPath.row)];
        return missingRecord();
    }
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= people.size()) return missingRecord();
    return people[static_cast<std::size_t>(indexPath.row)];
}

int MVTLinkManListViewController::numberOfSectionsInTableView(TableView&) {
    return static_cast<int>(sections_.count());
}

int MVTLinkManListViewController::numberOfRowsInSection(TableView&, int section) {
    if (section < 0 || static_cast<std::size_t>(section) >= sections_.flagArray.size()) return 0;
    if (intValue(sections_.flagArray[static_cast<std::size_t>(section)]) == 0) return 0;
    const Json& people = peopleAt(section);
    if (sections_.titleAt(static_cast<std::size_t>(section)) == "student") {
        if (people.empty()) return 0;
        const Json& students = valueFor(people[0], "students");
        return students.is_array() ? static_cast<int>(students.size()) : 0;
    }
    return static_cast<int>(people.size());
}

double MVTLinkManListViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }
double MVTLinkManListViewController::heightForHeaderInSection(TableView&, int) { return kHeaderHeight; }

std::shared_ptr<View> MVTLinkManListViewController::makeHeader(int section, std::shared_ptr<Label>* titleLabel) {
    const double width = Screen::mainScreen().bounds().width();
    auto header = std::make_shared<View>(Rect(0, 0, width, kHeaderHeight));
    header->setBackgroundColor(Color::rgb255(244, 249, 243));
    header->setAlpha(0.9);
    contacts::addLine(*header, {0, kHeaderHeight - 1, width, 1});
    auto title = std::make_shared<Label>(Rect(30, 15, 200, 20));
    title->setFont(Font::systemFontOfSize(14));
    title->setBackgroundColor(Color::clear());
    title->setText(sections_.titleAt(static_cast<std::size_t>(section)));
    header->addSubview(title);
    if (titleLabel) *titleLabel = title;
    return header;
}

std::shared_ptr<View> MVTLinkManListViewController::viewForHeaderInSection(TableView&, int section) {
    const double width = Screen::mainScreen().bounds().width();
    std::shared_ptr<Label> title;
    auto header = makeHeader(section, &title);
    auto weak = weakAs<MVTLinkManListViewController>();
    if (title->text() == localized("新的好友")) {
        title->setFrame({50, 5, width - 100, 40});
        auto icon = std::make_shared<ImageView>(Rect(10, 10, 30, 30));
        icon->setImage(Image::imageNamed("interaction_newFriend"));
        icon->setCornerRadius(6);
        icon->setClipsToBounds(true);
        header->addSubview(icon);
        auto arrow = std::make_shared<ImageView>(Rect(width - 20, 17.5, 8, 15));
        arrow->setImage(Image::imageNamed("nhw_jian@2x.png"));
        header->addSubview(arrow);
        newFriendButton_ = std::make_shared<Button>(Rect(0, 0, width, kHeaderHeight));
        newFriendButton_->setTag(section);
        newFriendButton_->setAccessibilityLabel(localized("新的好友"));
        newFriendButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->newFriend();
        });
        header->addSubview(newFriendButton_);
        if (MVTAccount::sharedInstance().newApply()) {
            if (!markView_) {
                markView_ = std::make_shared<View>(Rect(35, 8, 10, 10));
                markView_->setBackgroundColor(Color::red());
                markView_->setBorderColor(Color::red());
                markView_->setBorderWidth(0.5);
                markView_->setCornerRadius(5.2);
            }
            newFriendButton_->addSubview(markView_);
        } else if (markView_) {
            markView_->removeFromSuperview();
            markView_.reset();
        }
        return header;
    }
    auto count = std::make_shared<Label>(Rect(width - 60, 15, 50, 20));
    count->setTextAlignment(TextAlignment::Right);
    count->setFont(Font::systemFontOfSize(14));
    count->setText(textOf(sections_.groupUserNum[static_cast<std::size_t>(section)]));
    header->addSubview(count);
    auto button = std::make_shared<Button>(Rect(0, 0, width, kHeaderHeight));
    button->setTag(section);
    button->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
        if (auto self = weak.lock()) self->btnClick(static_cast<Button&>(sender));
    });
    header->addSubview(button);
    bool open = intValue(sections_.flagArray[static_cast<std::size_t>(section)]) == 1;
    auto triangle = Image::imageNamed(open ? "tri_03" : "tri2_03");
    Size size = triangle ? triangle->size() : Size{10, 10};
    auto mark = std::make_shared<ImageView>(Rect(10, (kHeaderHeight - size.height) / 2, size.width, size.height));
    mark->setImage(triangle);
    mark->setAccessibilityIdentifier(open ? "tri_03" : "tri2_03");
    header->addSubview(mark);
    return header;
}

void MVTLinkManListViewController::btnClick(Button& button) {
    auto index = static_cast<std::size_t>(button.tag());
    if (index >= sections_.flagArray.size()) return;
    sections_.flagArray[index] = intValue(sections_.flagArray[index]) == 1 ? 0 : 1;
    reloadTable();
}

std::shared_ptr<TableViewCell> MVTLinkManListViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                    const IndexPath& indexPath) {
    auto cell = contacts::emptyCell(tableView);
    cell->setBackgroundColor(Color::clear());
    cell->setAccessoryType(TableViewCellAccessoryType::None);
    const Json& record = recordAt(indexPath);
    const double width = Screen::mainScreen().bounds().width();
    auto& content = *cell->contentView();
    auto name = std::make_shared<Label>(Rect(80, 20, width - 120, 20));
    name->setFont(Font::systemFontOfSize(14));
    name->setTextColor(Color::rgb255(37, 52, 33));
    name->setText(textOf(record, "name"));
    content.addSubview(name);
    auto avatar = contacts::addAvatar(content, {20, 10}, std::to_string(integerValue(valueFor(record, "userId"))),
                                      textOf(record, "role"), false);
    avatar->setAccessibilityHint(textOf(record, "userId"));
    contacts::addLine(content, {60, 59, width - 60, 1});
    return cell;
}

void MVTLinkManListViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    // The row's tap reads the record the row draws.
    const Json& record = recordAt(indexPath);
    Json person = {{"name", valueFor(record, "name")}, {"uid", valueFor(record, "userId")}, {"role", valueFor(record, "role")}};
    for (auto it = person.begin(); it != person.end();)
        it = it->is_discarded() ? person.erase(it) : std::next(it);
    if (textOf(record, "role") == "system") {
        if (ispresent_) {
            openSystemChat(person);
        } else if (auto delegate = delegate_.lock()) {
            delegate->showNewChat(person);
        }
        return;
    }
    chooseNamed(person);
}

void MVTLinkManListViewController::openSystemChat(const Json& person) { openChatWith(person); }

void MVTLinkManListViewController::openChatWith(const Json& person, bool toMessages) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    if (toMessages && app && app->window())
        if (auto* tabs = dynamic_cast<MyTabBarController*>(app->window()->rootViewController().get())) {
            tabs->setSelectedIndex(1);
            Button button;
            button.setTag(1);
            tabs->itemCliced(button);
        }
    auto weak = weakAs<MVTLinkManListViewController>();
    goBackToken_ = NotificationCenter::defaultCenter().addObserver(kGoBackWhenRoleIsParent, [weak](const Notification&) {
        if (auto self = weak.lock()) self->didmissView();
    });
    auto chat = std::make_shared<MVTChatViewController>();
    chat->setMyDict(person);
    chat->setMsgType("person");
    chat->setTitle(textOf(person, "name"));
    contacts::presentInNavigation(presenter(), chat);
}

void MVTLinkManListViewController::didmissView() {
    if (!ispresent_) return;
    goBackToken_.reset();
    isGoBack_ = true;
}

std::shared_ptr<ViewController> MVTLinkManListViewController::profilePage(const Json& person) {
    auto page = std::make_shared<MVTPersonDetailViewController>();
    Json user = person;
    if (!user.contains("uid") && user.contains("id")) user["uid"] = user["id"];
    page->setUserDict(user);
    page->setFromWhere("linkMan");
    page->view()->setAccessibilityValue("push");
    return page;
}

void MVTLinkManListViewController::chooseNamed(const Json& person) {
    if (navigationController()) navigationController()->pushViewController(profilePage(person), true);
}

void MVTLinkManListViewController::newFriend() {
    auto requests = std::make_shared<MVTNewFriendViewController>();
    presenter().presentViewController(myNavigationController::withRoot(requests), true);
}

void MVTLinkManListViewController::addFriend() {
    if (MVTPublicMethod::isUnClassId()) {
        showJoinClassAlert();
        return;
    }
    auto search = std::make_shared<MVTSearchFriendViewController>();
    search->setWhereFrom("addressList");
    presenter().presentViewController(myNavigationController::withRoot(search), true);
}

void MVTLinkManListViewController::showJoinClassAlert() { contacts::showJoinClassAlert(weakAs<AlertViewDelegate>()); }

void MVTLinkManListViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    contacts::joinClassAnswer(alert, index, presenter());
}

void MVTLinkManListViewController::groupList() {
    if (auto delegate = delegate_.lock()) delegate->groupList();
}

void MVTLinkManListViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    if (navigationController()) navigationController()->dismissViewController(true);
}

// ---- Search

void MVTLinkManListViewController::makeSearchOverlay(const std::string& kind, const Json& selected) {
    if (searchListView_) return;
    searchListView_ = std::make_shared<MVTSearchViewController>();
    searchListView_->setMyDelegate(weakAs<SearchListDelegate>());
    searchListView_->setWhereSearch(kind);
    searchListView_->setSelectedArray(selected);
    searchListView_->setDataArray(Json::array());
    const double width = Screen::mainScreen().bounds().width();
    const double height = hightForTableView_ - (ispresent_ ? 40 : 80);
    searchListView_->view()->setFrame({0, 40, width, height});
    if (contentView_) contentView_->addSubview(searchListView_->view());
}

void MVTLinkManListViewController::searchBarTextDidBeginEditing(SearchBar&) {
    isSearching_ = true;
    if (cancel_) cancel_->setHidden(false);
    if (mytableview_) mytableview_->setScrollEnabled(false);
    makeSearchOverlay("linkMan", Json::array());
    showNagView(false);
}

void MVTLinkManListViewController::showNagView(bool show) {
    const Rect screen = Screen::mainScreen().bounds();
    const bool chinese = InternationalControl::userLanguage() == InternationalControl::kChinese;
    auto weak = weakAs<MVTLinkManListViewController>();
    if (!show && !cancel_) {
        cancel_ = std::make_shared<Button>(Rect(0, 0, 44, 30));
        cancel_->setAccessibilityLabel(localized("取消"));
        auto label = std::make_shared<Label>(Rect(0, 0, 44, 30));
        label->setText(localized("取消"));
        label->setFont(Font::systemFontOfSize(14));
        label->setTextAlignment(TextAlignment::Center);
        label->setTextColor(Color::rgb255(55, 152, 28));
        label->setTag(1);
        cancel_->addSubview(label);
        cancel_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->cancelSearchBar();
        });
    }
    auto* navigation = navigationController();
    animate(kSearchSlide, [&] {
        if (!show) {
            if (navigation) navigation->setNavigationBarHidden(true, true);
            if (contentView_) contentView_->setFrame({0, navigation && SDH > 0 ? 20.0 : 0.0, screen.width(), screen.height() - 20});
            Rect frame = chinese ? Rect(screen.width() - 55, 5, 44, 30) : Rect(screen.width() - 65, 5, 54, 30);
            cancel_->setFrame(frame);
            if (auto label = cancel_->viewWithTag(1)) label->setFrame({0, 0, frame.width(), frame.height()});
            if (searchBar_) searchBar_->setFrame({0, 0, screen.width() - (chinese ? 50 : 60), 40});
            if (searchView_) searchView_->addSubview(cancel_);
        } else {
            if (navigation) navigation->setNavigationBarHidden(false, true);
            if (searchBar_) searchBar_->resignFirstResponder();
            if (contentView_) contentView_->setFrame({0, 0, screen.width(), screen.height() - 64});
            if (cancel_) cancel_->removeFromSuperview();
            if (searchBar_) searchBar_->setFrame({0, 0, screen.width(), 44});
        }
    });
}

void MVTLinkManListViewController::searchBarSearchButtonClicked(SearchBar& bar) {
    isSearching_ = true;
    StatisticsKit::shared().beginLogPageView(kSearchPageName);
    bar.resignFirstResponder();
    searchString_ = bar.text();
    Json result = searchData();
    if (!result.empty() && searchListView_) {
        searchListView_->setDataArray(result);
        searchListView_->view()->setBackgroundColor(Color::whiteColor());
        searchListView_->updateTableView();
        return;
    }
    if (mytableview_) mytableview_->setHidden(false);
    AlertView::make(localized("提示"), localized("没有找到该联系人"), {}, localized("确定"))->show();
}

void MVTLinkManListViewController::cancelSearchBar() {
    isSearching_ = false;
    if (searchView_)
        if (auto line = searchView_->viewWithTag(kSearchLineTag)) line->setHidden(false);
    if (mytableview_) mytableview_->setScrollEnabled(true);
    showNagView(true);
    if (searchBar_) searchBar_->setText("");
    if (searchListView_) searchListView_->view()->removeFromSuperview();
    searchListView_.reset();
    if (mytableview_) mytableview_->setHidden(false);
}

void MVTLinkManListViewController::pushInformation(const Json& row) {
    Json person = {{"name", valueFor(row, "name")}, {"uid", valueFor(row, "userId")}};
    if (auto delegate = delegate_.lock()) {
        delegate->showNewChat(person);
        return;
    }
    openChatWith(person);
}

// ---- Pull-to-refresh

void MVTLinkManListViewController::reloadTableViewDataSource() {
    netGetData();
    reloading_ = true;
    // The load may have ended at once (offline): the pull ends with it.
    if (!loading_) doneLoadingTableViewData();
}

void MVTLinkManListViewController::doneLoadingTableViewData() {
    reloading_ = false;
    if (refreshHeaderView_ && mytableview_)
        refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

void MVTLinkManListViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadTableViewDataSource();
}

bool MVTLinkManListViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTLinkManListViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return platform::now();
}

void MVTLinkManListViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (refreshHeaderView_ && &scrollView == mytableview_.get())
        refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTLinkManListViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_ && &scrollView == mytableview_.get())
        refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}
