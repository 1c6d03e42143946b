#include "contacts/MVTSelectMemberViewController.h"

#include "chat/MVTChatViewController.h"
#include "contacts/ContactsShared.h"
#include "contacts/MVTSearchViewController.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/HttpJsonRequestOperation.h"
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
#include "platform/ui/ScrollView.h"

#include <algorithm>

using namespace platform;

namespace {

// The text a select-all button holds as its state.
constexpr const char* kSelectAllState = "全选";
constexpr const char* kDeselectAllState = "取消";

bool containsEntry(const Json& list, const Json& entry) {
    return std::find(list.begin(), list.end(), entry) != list.end();
}

void removeEntry(Json& list, const Json& entry) {
    for (auto it = list.begin(); it != list.end(); ++it)
        if (*it == entry) {
            list.erase(it);
            return;
        }
}

// The user id of a notice member "prefix::uid" (the whole id without "::").
std::string noticeAvatarId(const std::string& id) {
    auto at = id.find("::");
    return at == std::string::npos ? id : id.substr(at + 2);
}

bool replySucceeded(const Json& reply) { return reply.is_object() && boolValue(valueFor(reply, "success")); }

}  // namespace

MVTSelectMemberViewController::MVTSelectMemberViewController() { setIsSelect(true); }
MVTSelectMemberViewController::~MVTSelectMemberViewController() = default;

std::string MVTSelectMemberViewController::modeTitle() const {
    if (whereFrom_ == kGroupAdd) return "添加群成员";
    if (whereFrom_ == kGroupNew) return "创建群组";
    if (whereFrom_ == kChatNew) return "选择联系人";
    if (whereFrom_ == kNotic) return "添加接收人";
    return "";
}

Json MVTSelectMemberViewController::memberEntry(const Json& record) {
    // The entry ends at the first missing value, as the dictionary it stands for does.
    Json entry = Json::object();
    const Json& name = valueFor(record, "name");
    if (name.is_discarded()) return entry;
    entry["name"] = name;
    const Json& uid = valueFor(record, "userId");
    if (uid.is_discarded()) return entry;
    entry["uid"] = uid;
    const Json& role = valueFor(record, "role");
    if (!role.is_discarded()) entry["role"] = role;
    return entry;
}

bool MVTSelectMemberViewController::matches(const Json& record, const Json& entry) const {
    if (whereFrom_ == kNotic) return textOf(entry, "uid") == textOf(record, "userId");
    return integerValue(valueFor(entry, "uid")) == integerValue(valueFor(record, "userId"));
}

bool MVTSelectMemberViewController::isExistingMember(const Json& record) const {
    if (!memberArray_.is_array()) return false;
    const long long id = integerValue(valueFor(record, "userId"));
    return std::any_of(memberArray_.begin(), memberArray_.end(),
                       [id](const Json& member) { return integerValue(valueFor(member, "uid")) == id; });
}

bool MVTSelectMemberViewController::isSelectedRecord(const Json& record) const {
    return std::any_of(seleceedManagerArray_.begin(), seleceedManagerArray_.end(),
                       [&](const Json& entry) { return matches(record, entry); });
}

int MVTSelectMemberViewController::pickedCount(int section) const {
    int count = 0;
    for (const auto& record : peopleAt(section))
        if (isSelectedRecord(record)) ++count;
    return count;
}

// ---- Loading

void MVTSelectMemberViewController::viewDidLoad() {
    setIspresent(true);
    MVTLinkManListViewController::viewDidLoad();
    if (whereFrom_ != kNotic) StatisticsKit::shared().beginLogPageView(modeTitle());
    if (!memberArray_.is_array()) memberArray_ = Json::array();
    if (!seleceedManagerArray_.is_array()) seleceedManagerArray_ = Json::array();
    if (whereFrom_ == kNotic) selectedArrayIndex_ = Json::array();
    initTitleView();
    initSelectedView();
    if (isNeedToLoadGroupData_) getGroupData();
    if (whereFrom_ == kNotic) {
        sections_.clear();
        getNewNoticReceivers();
    }
}

void MVTSelectMemberViewController::getData() {
    // The notice mode lists the user's classes, never the contacts.
    if (whereFrom_ == kNotic) {
        sectionsCreated_ = true;
        return;
    }
    MVTLinkManListViewController::getData();
}

void MVTSelectMemberViewController::initTitleView() {
    setTitle(localized(modeTitle()));
    auto weak = weakAs<MVTSelectMemberViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->setAccessibilityLabel(localized("返回"));
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    if (seleceedManagerArray_.empty()) {
        confirmButton_.reset();
        navigationItem().setRightBarButtonItem(nullptr);
        return;
    }
    confirmButton_ = MVTPublicMethod::navigationrightBarButton(localized("确定") + "(" +
                                                               std::to_string(seleceedManagerArray_.size()) + ")");
    confirmButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        auto self = weak.lock();
        if (!self) return;
        if (self->whereFrom_ == kGroupAdd) self->addGroup();
        else if (self->whereFrom_ == kGroupNew) self->addNewGroup();
        else if (self->whereFrom_ == kChatNew) self->createNewChat();
        else if (self->whereFrom_ == kNotic) self->addReceivers();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(confirmButton_));
}

bool MVTSelectMemberViewController::hasStripSection() const {
    const Json placeholder = {{"name", localized("新的好友")}};
    return containsEntry(sections_.groupArray, placeholder);
}

void MVTSelectMemberViewController::initSelectedView() {
    const std::string title = localized("新的好友");
    const bool wanted = !seleceedManagerArray_.empty() && whereFrom_ != kNotic;
    const bool present = hasStripSection();
    if (wanted && !present) {
        sections_.groupArray.insert(sections_.groupArray.begin(), Json{{"name", title}});
        sections_.groupUserNum.insert(sections_.groupUserNum.begin(), "0");
        sections_.flagArray.insert(sections_.flagArray.begin(), 0);
        sections_.myFriendArray.insert(sections_.myFriendArray.begin(), title);
    } else if (!wanted && present) {
        if (!sections_.groupUserNum.empty()) sections_.groupUserNum.erase(0);
        if (!sections_.flagArray.empty()) sections_.flagArray.erase(0);
        removeEntry(sections_.groupArray, Json{{"name", title}});
        removeEntry(sections_.myFriendArray, Json(title));
    }
}

void MVTSelectMemberViewController::showHUDWithBool(bool show) { contacts::showProgress(pickerHud_, view(), show); }

void MVTSelectMemberViewController::getGroupData() {
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "forum/" + groupId_ + "/user/" + userId() + "/member/uid");
    if (!request) {
        contacts::showBanner(0);
        return;
    }
    showHUDWithBool(true);
    auto weak = weakAs<MVTSelectMemberViewController>();
    HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            if (!reply.is_array()) return;
            self->memberArray_ = Json::array();
            for (const auto& id : reply) self->memberArray_.push_back(Json{{"uid", id}});
            self->reloadTable();
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            contacts::showBanner(2);
        })
        ->start();
}

void MVTSelectMemberViewController::getNewNoticReceivers() {
    if (noticLoading_) return;
    noticLoading_ = true;
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "user/" + userId() + "/class/user/receivers");
    if (!request) {
        MVTPublicMethod::stopWaitAnimation(view());
        contacts::showBanner(0);
        noticLoading_ = false;
        return;
    }
    if (!MVTPublicMethod::isShowingAnimation(view())) showHUDWithBool(true);
    auto weak = weakAs<MVTSelectMemberViewController>();
    HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->noticLoading_ = false;
            if (!MVTPublicMethod::isShowingAnimation(self->view())) self->showHUDWithBool(false);
            if (reply.is_null()) {
                AlertView::make("", localized("没有可以发送的对象"), {}, localized("确定"))->show();
                return;
            }
            self->dealWithDataArray(reply);
            self->initmytableview();
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            self->noticLoading_ = false;
            contacts::showBanner(2);
        })
        ->start();
}

void MVTSelectMemberViewController::dealWithDataArray(const Json& classes) {
    sections_.clear();
    if (classes.is_array()) {
        for (const auto& entry : classes) {
            if (!entry.is_object()) continue;
            Json members = Json::array();
            const Json& list = valueFor(entry, "list");
            if (list.is_array())
                for (const auto& member : list)
                    members.push_back(Json{{"name", valueFor(member, "name").is_discarded() ? Json("") : member["name"]},
                                           {"userId", valueFor(member, "id").is_discarded() ? Json("") : member["id"]}});
            Json record = {{"name", valueFor(entry, "name").is_discarded() ? Json("") : entry["name"]},
                           {"id", valueFor(entry, "id").is_discarded() ? Json("") : entry["id"]}};
            sections_.append(record, std::to_string(members.size()), members);
        }
    }
    if (whereFrom_ == kNotic && noticSelectedArray_.is_array() && !noticSelectedArray_.empty()) {
        seleceedManagerArray_ = Json::array();
        for (const auto& receiver : noticSelectedArray_) {
            bool wholeClass = false;
            if (receiver.contains("id")) {
                for (std::size_t i = 0; i < sections_.count(); ++i) {
                    if (textOf(sections_.groupArray[i], "id") != textOf(receiver, "id")) continue;
                    for (const auto& member : sections_.myFriendArray[i]) {
                        Json entry = memberEntry(member);
                        if (!containsEntry(seleceedManagerArray_, entry)) seleceedManagerArray_.push_back(entry);
                    }
                    wholeClass = true;
                    break;
                }
            }
            if (!wholeClass && !containsEntry(seleceedManagerArray_, receiver)) seleceedManagerArray_.push_back(receiver);
        }
    }
    initTitleView();
}

// ---- Picking

void MVTSelectMemberViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    selectMember(indexPath.section, indexPath.row);
}

void MVTSelectMemberViewController::selectMember(int section, int row) {
    const Json& record = recordAt(IndexPath{section, row});
    if (!record.is_object() || record.empty()) return;
    const Json entry = memberEntry(record);
    if (whereFrom_ != kNotic && textOf(record, "role") == "system") return;
    if (!forwardDictionary_.is_null()) {
        selectDict_ = entry;
        auto alert = AlertView::make(localized("转发给") + ":", textOf(record, "name"), weakAs<AlertViewDelegate>(),
                                     "", {localized("取消"), localized("确定")});
        alert->show();
        return;
    }
    if (isExistingMember(record)) return;
    if (whereFrom_ == kNotic) {
        if (containsEntry(seleceedManagerArray_, entry)) removeEntry(seleceedManagerArray_, entry);
        else seleceedManagerArray_.push_back(entry);
    } else {
        if (!containsEntry(seleceedManagerArray_, entry)) {
            if (seleceedManagerArray_.size() + memberArray_.size() < kGroupCap) {
                seleceedManagerArray_.push_back(entry);
            } else {
                // The button text of this alert is shown as it stands.
                AlertView::make(localized("提示"), localized("群组人数已经达到上线100人了,不能再添加新成员了"), {}, "确定")
                    ->show();
            }
        } else {
            removeEntry(seleceedManagerArray_, entry);
        }
        initSelectedView();
    }
    selectionChanged();
}

void MVTSelectMemberViewController::selectionChanged() {
    initTitleView();
    reloadTable();
}

void MVTSelectMemberViewController::groupClick(Button& button) {
    const int section = static_cast<int>(button.tag());
    const bool selectAll = button.accessibilityValue() != kDeselectAllState;
    for (const auto& member : peopleAt(section)) {
        Json entry = memberEntry(member);
        if (selectAll && !containsEntry(seleceedManagerArray_, entry)) seleceedManagerArray_.push_back(entry);
        if (!selectAll) removeEntry(seleceedManagerArray_, entry);
    }
    selectionChanged();
}

void MVTSelectMemberViewController::alertViewClickedButtonAtIndex(AlertView&, long index) {
    if (index == 1) createNewChat();
}

// ---- Search

void MVTSelectMemberViewController::searchBarTextDidBeginEditing(SearchBar&) {
    if (searchView_)
        if (auto line = searchView_->viewWithTag(kSearchLineTag)) line->setHidden(true);
    showNagView(false);
    isSearching_ = true;
    if (cancel_) cancel_->setHidden(false);
    if (mytableview_) mytableview_->setScrollEnabled(false);
    makeSearchOverlay(MVTSearchViewController::kSelectManager, seleceedManagerArray_);
    addNewManagerToken_.reset();
    auto weak = weakAs<MVTSelectMemberViewController>();
    addNewManagerToken_ = NotificationCenter::defaultCenter().addObserver(kAddNewManager, [weak](const Notification& note) {
        if (auto self = weak.lock()) self->addNewManager(note);
    });
}

void MVTSelectMemberViewController::showNagView(bool show) { MVTLinkManListViewController::showNagView(show); }

void MVTSelectMemberViewController::cancelSearchBar() {
    initTitleView();
    MVTLinkManListViewController::cancelSearchBar();
}

void MVTSelectMemberViewController::addNewManager(const Notification& notification) {
    cancelSearchBar();
    const Json& entry = notification.object;
    if (!entry.is_object()) return;
    if (containsEntry(seleceedManagerArray_, entry)) return;
    const long long id = integerValue(valueFor(entry, "uid"));
    bool existing = std::any_of(memberArray_.begin(), memberArray_.end(),
                                [id](const Json& member) { return integerValue(valueFor(member, "uid")) == id; });
    if (!existing) {
        seleceedManagerArray_.push_back(entry);
        initSelectedView();
    }
    // While forwarding, a search pick is the person the message goes to.
    if (!forwardDictionary_.is_null()) {
        selectDict_ = entry;
        auto alert = AlertView::make(localized("转发给") + ":", textOf(entry, "name"), weakAs<AlertViewDelegate>(), "",
                                     {localized("取消"), localized("确定")});
        alert->show();
    }
    selectionChanged();
}

// ---- Confirming

void MVTSelectMemberViewController::addNewGroup() {
    if (seleceedManagerArray_.empty()) return;
    isSuccess_ = true;
    const std::string uids = MVTPublicMethod::getAllDataBeAString(seleceedManagerArray_, "uid");
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "forum/user/" + userId() + "/create", Json{{"fuids", uids}});
    if (!request) {
        isSuccess_ = false;
        contacts::showBanner(0);
        return;
    }
    showHUDWithBool(true);
    auto weak = weakAs<MVTSelectMemberViewController>();
    HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            if (!replySucceeded(reply)) {
                // The picker stays with its selection; it closes only after a new group.
                self->isSuccess_ = false;
                self->showAlert(localized("提示"), textOf(valueFor(reply, "msg").is_discarded() ? Json("") : reply["msg"]),
                                localized("知道了"));
                return;
            }
            NotificationCenter::defaultCenter().postNotification(kGroupListChaged);
            auto chat = std::make_shared<MVTChatViewController>();
            chat->setMyDict(Json{{"fieldId", valueFor(reply, "fieldId")},
                                 {"forumId", valueFor(reply, "forumId")},
                                 {"type", "forum"},
                                 {"name", valueFor(reply, "name")}});
            chat->setFieldid(std::to_string(integerValue(valueFor(reply, "fieldId"))));
            chat->setForumid(std::to_string(integerValue(valueFor(reply, "forumId"))));
            chat->setMsgType("forum");
            chat->setTitle(textOf(reply, "name"));
            contacts::presentInNavigation(*self, chat);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->isSuccess_ = false;
            self->showHUDWithBool(false);
            contacts::showBanner(2);
        })
        ->start();
}

void MVTSelectMemberViewController::showAlert(const std::string& title, const std::string& message,
                                              const std::string& button) {
    AlertView::make(title, message, {}, button)->show();
}

void MVTSelectMemberViewController::addGroup() {
    bulkManage("cancel=false&admin=false&uids=" + MVTPublicMethod::getAllDataBeAString(seleceedManagerArray_, "uid"));
}

void MVTSelectMemberViewController::bulkManage(const std::string& query) {
    auto request = MVTPublicMethod::requestWithMethod("GET", ServiceAddress::servicePrefix() + "forum/" + groupId_ +
                                                                 "/user/" + userId() + "/member/operate?" + query);
    if (!request) {
        contacts::showBanner(0);
        return;
    }
    showHUDWithBool(true);
    auto weak = weakAs<MVTSelectMemberViewController>();
    HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            if (replySucceeded(reply)) {
                NotificationCenter::defaultCenter().postNotification(kGroupDetailChaged);
                NotificationCenter::defaultCenter().postNotification(kMemberListChaged);
                self->goback();
                return;
            }
            self->showAlert(localized("提示"), textOf(valueFor(reply, "msg").is_discarded() ? Json("") : reply["msg"]),
                            "确定");
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            contacts::showBanner(2);
        })
        ->start();
}

void MVTSelectMemberViewController::createNewChat() {
    if (selectDict_.empty()) return;
    auto chat = std::make_shared<MVTChatViewController>();
    chat->setMyDict(selectDict_);
    chat->setMsgType("person");
    chat->setForwardDictionary(forwardDictionary_);
    chat->setTitle(textOf(selectDict_, "name"));
    if (navigationController()) navigationController()->pushViewController(chat, true);
}

void MVTSelectMemberViewController::addReceivers() {
    Json result = Json::array();
    for (std::size_t j = 0; j < sections_.count(); ++j) {
        const Json& members = peopleAt(static_cast<int>(j));
        std::size_t counted = 0;
        for (const auto& member : members) {
            // A member is chosen when an entry has exactly its id: "::" ids are whole ids.
            const std::string id = textOf(member, "userId");
            if (std::any_of(seleceedManagerArray_.begin(), seleceedManagerArray_.end(),
                            [&](const Json& entry) { return textOf(entry, "uid") == id; }))
                ++counted;
        }
        if (counted != 0 && counted == members.size()) {
            if (!containsEntry(selectedArrayIndex_, Json(j))) selectedArrayIndex_.push_back(j);
            result.push_back(sections_.groupArray[j]);
        }
    }
    Json remaining = seleceedManagerArray_;
    for (const auto& index : selectedArrayIndex_)
        for (const auto& member : peopleAt(intValue(index))) removeEntry(remaining, memberEntry(member));
    for (const auto& entry : remaining) result.push_back(entry);
    seleceedManagerArray_ = remaining;
    NotificationCenter::defaultCenter().postNotification(kReloadDataForReceivers, result);
    if (navigationController()) navigationController()->popViewController(true);
}

void MVTSelectMemberViewController::goback() {
    if (whereFrom_ != kNotic) StatisticsKit::shared().endLogPageView(modeTitle());
    auto* navigation = navigationController();
    if (!navigation) return;
    if (whereFrom_ == kChatNew || whereFrom_ == kNotic)
        navigation->popViewController(true);
    else
        navigation->dismissViewController(true);
}

void MVTSelectMemberViewController::viewDidAppear(bool animated) {
    ViewViewController::viewDidAppear(animated);
    if (isSuccess_ && navigationController()) navigationController()->dismissViewController(false);
}

// ---- Drawing

int MVTSelectMemberViewController::numberOfSectionsInTableView(TableView&) {
    if (!sections_.groupArray.empty()) initSelectedView();
    return static_cast<int>(sections_.count());
}

void MVTSelectMemberViewController::btnClick(Button& button) {
    auto index = static_cast<std::size_t>(button.tag());
    if (index >= sections_.flagArray.size()) return;
    sections_.flagArray[index] = intValue(sections_.flagArray[index]) == 1 ? 0 : 1;
    reloadTable();
}

std::shared_ptr<View> MVTSelectMemberViewController::stripHeader() {
    const double width = Screen::mainScreen().bounds().width();
    auto header = std::make_shared<View>(Rect(0, 0, width, kHeaderHeight));
    header->setBackgroundColor(Color::rgb255(244, 249, 243));
    header->setAlpha(0.9);
    selectedManagerView_ = std::make_shared<ScrollView>(Rect(0, 0, width, kHeaderHeight));
    selectedManagerView_->setShowsHorizontalScrollIndicator(false);
    int shown = 0;
    for (const auto& entry : seleceedManagerArray_) {
        if (containsEntry(memberArray_, entry)) continue;
        const double x = 10 + kStripStep * shown++;
        contacts::addAvatar(*selectedManagerView_, {x, 5}, std::to_string(integerValue(valueFor(entry, "uid"))),
                            textOf(entry, "role"), true);
    }
    selectedManagerView_->setContentSize(
        {kStripStep * static_cast<double>(seleceedManagerArray_.size()) + 20, kHeaderHeight});
    header->addSubview(selectedManagerView_);
    contacts::addLine(*header, {0, kHeaderHeight - 1, width, 1});
    return header;
}

std::shared_ptr<View> MVTSelectMemberViewController::viewForHeaderInSection(TableView&, int section) {
    if (sections_.titleAt(static_cast<std::size_t>(section)) == localized("新的好友") &&
        sections_.isTextEntry(static_cast<std::size_t>(section)))
        return stripHeader();
    const double width = Screen::mainScreen().bounds().width();
    auto header = makeHeader(section);
    bool open = intValue(sections_.flagArray[static_cast<std::size_t>(section)]) == 1;
    auto triangle = Image::imageNamed(open ? "tri_03" : "tri2_03");
    Size size = triangle ? triangle->size() : Size{10, 10};
    auto mark = std::make_shared<ImageView>(Rect(10, (kHeaderHeight - size.height) / 2, size.width, size.height));
    mark->setImage(triangle);
    mark->setAccessibilityIdentifier(open ? "tri_03" : "tri2_03");
    header->addSubview(mark);
    auto weak = weakAs<MVTSelectMemberViewController>();
    auto button = std::make_shared<Button>(Rect(0, 0, width, kHeaderHeight));
    button->setTag(section);
    button->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
        if (auto self = weak.lock()) self->btnClick(static_cast<Button&>(sender));
    });
    header->addSubview(button);
    const int picked = pickedCount(section);
    const std::string total = textOf(sections_.groupUserNum[static_cast<std::size_t>(section)]);
    const bool notic = whereFrom_ == kNotic;
    auto count = std::make_shared<Label>(Rect(width - (notic ? 120 : 60), 15, 50, 20));
    count->setTextAlignment(TextAlignment::Right);
    count->setFont(Font::systemFontOfSize(14));
    count->setText(picked < 1 ? total : std::to_string(picked) + "/" + total);
    header->addSubview(count);
    if (notic) {
        const std::size_t members = peopleAt(section).size();
        const bool all = picked != 0 && static_cast<std::size_t>(picked) == members;
        auto check = std::make_shared<ImageView>(Rect(width - 50, 16, 39, 18));
        check->setImage(Image::imageNamed(all ? "member_select" : "member_normal"));
        header->addSubview(check);
        auto selectAll = std::make_shared<Button>(Rect(width - 60, 0, 60, kHeaderHeight));
        selectAll->setTag(section);
        selectAll->setAccessibilityValue(all ? kDeselectAllState : kSelectAllState);
        selectAll->setAccessibilityLabel(localized(all ? kDeselectAllState : kSelectAllState));
        selectAll->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
            if (auto self = weak.lock()) self->groupClick(static_cast<Button&>(sender));
        });
        header->addSubview(selectAll);
    }
    return header;
}

std::shared_ptr<TableViewCell> MVTSelectMemberViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                     const IndexPath& indexPath) {
    auto cell = contacts::emptyCell(tableView);
    cell->setBackgroundColor(Color::clear());
    cell->setAccessoryView(nullptr);
    const Json& record = recordAt(indexPath);
    const double width = Screen::mainScreen().bounds().width();
    auto& content = *cell->contentView();
    const std::string role = textOf(record, "role");
    auto bar = std::make_shared<View>(Rect(0, 0, 3, kRowHeight));
    bar->setBackgroundColor(contacts::roleStripeColour(valueFor(record, "role").is_string() ? role : ""));
    content.addSubview(bar);
    const std::string id = whereFrom_ == kNotic ? noticeAvatarId(textOf(record, "userId")) : textOf(record, "userId");
    contacts::addAvatar(content, {20, 10}, id, role, true);
    auto name = std::make_shared<Label>(Rect(80, 20, width - 140, 20));
    name->setFont(Font::systemFontOfSize(14));
    name->setTextColor(Color::rgb255(37, 52, 33));
    name->setText(textOf(record, "name"));
    content.addSubview(name);
    contacts::addLine(content, {0, kRowHeight - 1, width, 1});
    if (forwardDictionary_.is_null() && !(whereFrom_ != kNotic && role == "system")) {
        const char* picture = isExistingMember(record)   ? "member_selected"
                              : isSelectedRecord(record) ? "member_select"
                                                         : "member_normal";
        auto check = std::make_shared<ImageView>(Rect(0, 0, 39, 18));
        check->setImage(Image::imageNamed(picture));
        check->setAccessibilityIdentifier(picture);
        cell->setAccessoryView(check);
    }
    return cell;
}
