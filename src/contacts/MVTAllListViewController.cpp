#include "contacts/MVTAllListViewController.h"

#include "chat/MVTChatViewController.h"
#include "contacts/ContactsShared.h"
#include "contacts/MVTNewFriendViewController.h"
#include "contacts/MVTSearchViewController.h"
#include "contacts/ReceiverSections.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MyTabBarController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LazyImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>

using namespace platform;

namespace {

// A few thousand people are well under this; a larger file is no cache.
constexpr std::size_t kAllListCacheMaxBytes = 16u * 1024 * 1024;
constexpr double kAllListSearchHeight = 40;

std::string allListLower(std::string text) {
    for (auto& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

int allListCount(const Json& people, const std::string& letter) {
    const std::string wanted = allListLower(letter);
    int count = 0;
    for (const auto& person : people) {
        const std::string key = allListLower(textOf(person, "firstName"));
        if (key.compare(0, wanted.size(), wanted) == 0) ++count;
    }
    return count;
}

}  // namespace

MVTAllListViewController::MVTAllListViewController() = default;
MVTAllListViewController::~MVTAllListViewController() = default;

std::filesystem::path MVTAllListViewController::cachePath(const std::string& userId, const std::string& type) {
    return Paths::documentsDirectory() / (userId + "_" + type + "_receivers.txt");
}

Json MVTAllListViewController::sortedPeople(const Json& people) {
    std::vector<std::pair<std::string, Json>> keyed;
    if (people.is_array()) {
        keyed.reserve(people.size());
        for (const auto& person : people) {
            if (!person.is_object()) continue;
            Json copy = person;
            copy["firstName"] = receiverSortKey(valueFor(person, "name"));
            keyed.emplace_back(allListLower(copy["firstName"].get<std::string>()), std::move(copy));
        }
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    Json sorted = Json::array();
    for (auto& [key, person] : keyed) sorted.push_back(std::move(person));
    return sorted;
}

Json MVTAllListViewController::letterSections(const Json& people) {
    Json sections = Json::array();
    for (const auto& letter : IndexBar::letters()) {
        const int count = allListCount(people, letter);
        if (count > 0) sections.push_back({{"title", letter}, {"num", count}});
    }
    return sections;
}

void MVTAllListViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("联系人"));
    StatisticsKit::shared().beginLogPageView(kPageName);
    auto weak = weakAs<MVTAllListViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    addButtonWithTitle(localized("刷新"), [weak](Control&) {
        if (auto self = weak.lock()) self->netGetData();
    });
    const double width = Screen::mainScreen().bounds().width();
    searchBar_ = std::make_shared<SearchBar>(Rect(0, 0, width, kAllListSearchHeight));
    searchBar_->setPlaceholder(localized("请输入联系人姓名"));
    searchBar_->setDelegate(weakAs<SearchBarDelegate>());
    typeOfShowList_ = kClassType;
    myClassArray_ = Json::array();
    titleArray_ = Json::array();
    fistGetData_ = true;
    hightForTableView_ = view()->frame().height() - 44 - SDH;
    initmytableview();
    initIndexBar();
    initShowTableIndexView();
    MVTPublicMethod::showWaitAnimation(view(), true);
}

void MVTAllListViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (auto* tabs = dynamic_cast<MyTabBarController*>(tabBarController())) tabs->hiddenTabBar(true);
    getData();
}

const Json& MVTAllListViewController::shownList() const {
    static const Json kNone = Json::array();
    if (friendsShown()) return myFriendArray_.is_array() ? myFriendArray_ : kNone;
    return myClassArray_;
}

void MVTAllListViewController::showList(const Json& people) {
    (friendsShown() ? myFriendArray_ : myClassArray_) = people;
}

// ---- Reading, fetching, processing ---------------------------------------------------------

void MVTAllListViewController::getData() {
    const bool afterReply = readingAfterReply_;
    readingAfterReply_ = false;
    auto text = readFile(cachePath(contacts::accountUserId(), typeOfShowList_), kAllListCacheMaxBytes);
    const std::string content = text ? *text : "(null)";
    auto showHeld = [this] {
        MVTPublicMethod::stopWaitAnimation(view());
        refreshTitleArray();
        initmytableview();
    };
    if (content == "(null)" && !fistGetData_) {
        showHeld();
        return;
    }
    if (content.empty()) return;
    const Json parsed = Json::parse(content, nullptr, false);
    if (parsed.is_array() && !parsed.empty()) {
        showList(parsed);
        refreshTitleArray();
        initmytableview();
        return;
    }
    // Right after a reply the file is what that reply made it: asking again would only
    // bring the same list back, so the list held is shown instead.
    if (afterReply) {
        showHeld();
        return;
    }
    netGetData();
}

void MVTAllListViewController::showHud(bool show) {
    if (MVTPublicMethod::isShowingAnimation(view())) return;
    if (show) {
        contacts::showProgress(hud_, view(), true);
        hud_->setLabelText(localized("正在刷新"));
    } else if (hud_) {
        hud_->removeFromSuperview();
        hud_.reset();
    }
}

void MVTAllListViewController::netGetData() {
    view()->setUserInteractionEnabled(false);
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "pm/" + contacts::accountUserId() + "/receivers/classify");
    if (!request) {
        MVTPublicMethod::stopWaitAnimation(view());
        contacts::showBanner(0);
        return;
    }
    showHud(true);
    auto weak = weakAs<MVTAllListViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->fistGetData_ = false;
            self->showHud(false);
            if (!reply.is_object() || reply.empty()) {
                AlertView::make("", localized("暂无私信接收人"), {}, localized("确定"))->show();
                return;
            }
            self->view()->setUserInteractionEnabled(true);
            const Json clazz = valueFor(reply, "clazz").is_array() ? reply["clazz"] : Json::array();
            const Json friends = valueFor(reply, "friend").is_array() ? reply["friend"] : Json::array();
            self->dealWithArray(clazz, kClassType);
            self->dealWithArray(friends, kFriendType);
            if (!clazz.empty() || !friends.empty()) {
                self->readingAfterReply_ = true;
                self->getData();
                return;
            }
            MVTPublicMethod::stopWaitAnimation(self->view());
            if (self->friendsShown()) self->dropTable();
            self->refreshTitleArray();
            self->initmytableview();
            AlertView::make("", localized("暂无同学和好友"), {}, localized("确定"))->show();
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->showHud(false);
            contacts::showBanner(2);
        });
    operation->start();
}

void MVTAllListViewController::dealWithArray(const Json& people, const std::string& type) {
    Json sorted = sortedPeople(people);
    Json& held = type == kClassType ? myClassArray_ : myFriendArray_;
    if (held.is_array() && held == sorted) return;
    const auto path = cachePath(contacts::accountUserId(), type);
    if (auto text = readFile(path, kAllListCacheMaxBytes)) {
        const Json present = Json::parse(*text, nullptr, false);
        if (present.is_array() && !present.empty()) std::filesystem::remove(path);
    }
    writeFileAtomically(path, sorted.dump(-1, ' ', false, Json::error_handler_t::replace));
    // The copy held is what the file now holds.
    held = std::move(sorted);
}

void MVTAllListViewController::refreshTitleArray() {
    titleArray_ = Json::array();
    for (const auto& letter : IndexBar::letters()) {
        const int count = seqencingmyClassArray(letter);
        if (count > 0) titleArray_.push_back({{"title", letter}, {"num", count}});
    }
}

int MVTAllListViewController::seqencingmyClassArray(const std::string& letter) const {
    return allListCount(shownList(), letter);
}

// ---- Views ---------------------------------------------------------------------------------

void MVTAllListViewController::initmytableview() {
    const double width = Screen::mainScreen().bounds().width();
    if (mytableview_) {
        mytableview_->reloadData();
    } else {
        if (titleView_) view()->addSubview(titleView_);
        mytableview_ = myTableView::make({0, kAllListSearchHeight, width, hightForTableView_ - kAllListSearchHeight},
                                         TableViewStyle::Plain);
        mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
        mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
        auto header = std::make_shared<View>(Rect(0, 0, width, kAllListSearchHeight));
        header->addSubview(searchBar_);
        mytableview_->setTableHeaderView(header);
        mytableview_->setContentOffset({0, kAllListSearchHeight});
        view()->addSubview(mytableview_);
        view()->sendSubviewToBack(mytableview_);
    }
    if (!titleArray_.empty()) {
        if (warringLabel_) warringLabel_->removeFromSuperview();
        if (indexBar_) {
            if (!indexBar_->superview()) view()->addSubview(indexBar_);
            view()->bringSubviewToFront(indexBar_);
        }
    } else {
        if (!warringLabel_) {
            warringLabel_ = std::make_shared<Label>(Rect(80, 150, 160, 30));
            warringLabel_->setTextAlignment(TextAlignment::Center);
            warringLabel_->setBackgroundColor(Color::clear());
            warringLabel_->setFont(Font::systemFontOfSize(20));
            warringLabel_->setText(localized("暂无班级内成员"));
        }
        if (!friendsShown()) view()->addSubview(warringLabel_);
        if (indexBar_) indexBar_->removeFromSuperview();
    }
    MVTPublicMethod::stopWaitAnimation(view());
}

void MVTAllListViewController::updateTableView() {
    if (mytableview_) mytableview_->reloadData();
}

void MVTAllListViewController::dropTable() {
    if (!mytableview_) return;
    mytableview_->removeFromSuperview();
    mytableview_.reset();
}

void MVTAllListViewController::initIndexBar() {
    const double width = Screen::mainScreen().bounds().width();
    indexBar_ = std::make_shared<IndexBar>(Rect(width - 20, kAllListSearchHeight, 20, view()->frame().height() - 44 - SDH - 50));
    indexBar_->setDelegate(weakAs<IndexBarDelegate>());
    view()->addSubview(indexBar_);
}

void MVTAllListViewController::initShowTableIndexView() {
    showTableIndexView_ = std::make_shared<Label>(Rect(130, 200, 60, 60));
    showTableIndexView_->setBackgroundColor(Color(0, 0, 0, 0.6));
    showTableIndexView_->setTextColor(Color::whiteColor());
    showTableIndexView_->setFont(Font::systemFontOfSize(26));
    showTableIndexView_->setTextAlignment(TextAlignment::Center);
    showTableIndexView_->setHidden(true);
    view()->addSubview(showTableIndexView_);
    if (mytableview_) view()->sendSubviewToBack(mytableview_);
}

void MVTAllListViewController::indexBarDidSelectSection(IndexBar&, int section) {
    if (section < 0 || static_cast<std::size_t>(section) >= titleArray_.size()) return;
    if (!mytableview_ || section >= mytableview_->numberOfSections()) return;
    mytableview_->scrollToRowAtIndexPath(IndexPath{section, 0}, TableViewScrollPosition::Top, true);
    showTableIndexView_->setText(textOf(titleArray_[static_cast<std::size_t>(section)], "title"));
    showTableIndexView_->setHidden(false);
    view()->bringSubviewToFront(showTableIndexView_);
    // A newer touch keeps the letter up: only the last touch's timer hides it.
    hideTicket_.reset();
}

void MVTAllListViewController::indexBarTouchesEnded(IndexBar&) {
    auto ticket = std::make_shared<bool>(true);
    hideTicket_ = ticket;
    std::weak_ptr<bool> weakTicket = ticket;
    auto weak = weakAs<MVTAllListViewController>();
    RunLoop::main().performAfter(kBigLetterDelay, [weak, weakTicket] {
        auto self = weak.lock();
        if (self && weakTicket.lock()) self->hideShowTableIndexView();
    });
}

void MVTAllListViewController::hideShowTableIndexView() {
    if (showTableIndexView_) showTableIndexView_->setHidden(true);
}

int MVTAllListViewController::sectionForSectionIndexTitle(TableView& tableView, const std::string& title, int) {
    int found = 0;
    for (std::size_t i = 0; i < titleArray_.size(); ++i)
        if (textOf(titleArray_[i], "title") == title) found = static_cast<int>(i);
    if (found < tableView.numberOfSections() && tableView.numberOfRowsInSection(found) > 0)
        tableView.scrollToRowAtIndexPath(IndexPath{found, 0}, TableViewScrollPosition::Top, true);
    return found;
}

// ---- Table ---------------------------------------------------------------------------------

int MVTAllListViewController::numberOfSectionsInTableView(TableView&) {
    if (indexBar_) {
        std::vector<std::string> titles;
        for (const auto& section : titleArray_) titles.push_back(textOf(section, "title"));
        indexBar_->setSectionTitles(std::move(titles));
    }
    if (friendsShown() && titleArray_.empty()) return 1;
    return static_cast<int>(titleArray_.size());
}

int MVTAllListViewController::numberOfRowsInSection(TableView&, int section) {
    if (section < 0 || static_cast<std::size_t>(section) >= titleArray_.size()) return 0;
    return intValue(titleArray_[static_cast<std::size_t>(section)]["num"]);
}

double MVTAllListViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

double MVTAllListViewController::heightForHeaderInSection(TableView&, int section) {
    if (friendsShown() && section == 0) return kNewFriendHeaderHeight;
    return static_cast<std::size_t>(section) < titleArray_.size() ? kHeaderHeight : 0;
}

std::shared_ptr<View> MVTAllListViewController::viewForHeaderInSection(TableView&, int section) {
    const double width = Screen::mainScreen().bounds().width();
    const std::string title =
        static_cast<std::size_t>(section) < titleArray_.size() ? textOf(titleArray_[static_cast<std::size_t>(section)], "title") : "";
    if (!(friendsShown() && section == 0)) {
        if (title.empty()) return nullptr;
        auto label = std::make_shared<Label>(Rect(0, 0, width, kHeaderHeight));
        label->setBackgroundColor(Color::rgb255(230, 230, 231));
        label->setText("   " + title);
        return label;
    }
    auto header = std::make_shared<View>(Rect(0, 0, width, kNewFriendHeaderHeight));
    header->setBackgroundColor(Color::whiteColor());
    auto weak = weakAs<MVTAllListViewController>();
    auto button = std::make_shared<Button>(Rect(0, 0, width, 48));
    button->setBackgroundColor(Color::rgb255(245, 245, 245));
    button->setAccessibilityLabel(localized("新的好友"));
    button->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->newFriend();
    });
    auto picture = std::make_shared<ImageView>(Rect(15, 10, 30, 30));
    picture->setImage(Image::imageNamed("default_user"));
    picture->setCornerRadius(4);
    picture->setClipsToBounds(true);
    picture->setUserInteractionEnabled(false);
    button->addSubview(picture);
    auto label = std::make_shared<Label>(Rect(60, 17, 100, 18));
    label->setFont(Font::boldSystemFontOfSize(16));
    label->setText(localized("新的好友"));
    label->setUserInteractionEnabled(false);
    button->addSubview(label);
    header->addSubview(button);
    if (!titleArray_.empty()) {
        auto letter = std::make_shared<Label>(Rect(0, 48, width, 22));
        letter->setBackgroundColor(Color::rgb255(230, 230, 231));
        letter->setText("   " + textOf(titleArray_[0], "title"));
        header->addSubview(letter);
    }
    return header;
}

const Json& MVTAllListViewController::personAt(const IndexPath& indexPath) const {
    static const Json kNone = Json::object();
    std::size_t flat = static_cast<std::size_t>(indexPath.row);
    for (int s = 0; s < indexPath.section && static_cast<std::size_t>(s) < titleArray_.size(); ++s)
        flat += static_cast<std::size_t>(intValue(titleArray_[static_cast<std::size_t>(s)]["num"]));
    const Json& list = shownList();
    return flat < list.size() ? list[flat] : kNone;
}

std::shared_ptr<TableViewCell> MVTAllListViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                               const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("AllListCell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "AllListCell");
    } else {
        auto subviews = cell->contentView()->subviews();
        for (const auto& sub : subviews) sub->removeFromSuperview();
    }
    cell->setBackgroundColor(Color::clear());
    const Json& person = personAt(indexPath);
    const double width = Screen::mainScreen().bounds().width();
    auto& content = *cell->contentView();
    const std::string name = textOf(person, "name");
    auto font = Font::boldSystemFontOfSize(16);
    auto label = std::make_shared<Label>(Rect(60, 12.5, std::min(width - 80, TextMeasure::sizeWithFont(name, font).width), 20));
    label->setFont(font);
    label->setTextColor(Color::rgb255(60, 60, 60));
    label->setText(name);
    content.addSubview(label);
    auto avatar = std::make_shared<LazyImageView>(Rect(15, 7.5, 30, 30));
    avatar->setCornerRadius(4);
    avatar->setClipsToBounds(true);
    avatar->setImage(Image::imageNamed("default_user"));
    avatar->setUrl(ServiceAddress::baseUrl() + "account/" + textOf(person, "userId") + "/avatar");
    content.addSubview(avatar);
    contacts::addLine(content, {0, 44, width, 1});
    return cell;
}

void MVTAllListViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    const Json& person = personAt(indexPath);
    if (person.empty()) return;
    openChat(person, localized(friendsShown() ? "好友" : "班级"));
}

void MVTAllListViewController::openChat(const Json& person, const std::string& hint) {
    auto chat = std::make_shared<MVTChatViewController>();
    chat->setMyDict({{"name", valueFor(person, "name").is_discarded() ? Json("") : person["name"]},
                     {"uid", valueFor(person, "userId").is_discarded() ? Json("") : person["userId"]}});
    chat->setMsgType("person");
    chat->setTitle(textOf(person, "name"));
    if (!hint.empty()) chat->view()->setAccessibilityHint(hint);
    contacts::presentInNavigation(*this, chat);
}

void MVTAllListViewController::pushInformation(const Json& row) { openChat(row, ""); }

// ---- Search --------------------------------------------------------------------------------

void MVTAllListViewController::searchBarTextDidBeginEditing(SearchBar& bar) {
    const double width = Screen::mainScreen().bounds().width();
    bar.setFrame({0, 0, width - 50, kAllListSearchHeight});
    if (!cancel_) {
        cancel_ = std::make_shared<Button>(Rect(width - 45, 5, 44, 30));
        auto label = std::make_shared<Label>(Rect(0, 0, 44, 30));
        label->setText(localized("取消"));
        label->setTextAlignment(TextAlignment::Center);
        label->setFont(Font::systemFontOfSize(18));
        label->setTextColor(Color::rgb255(55, 152, 28));
        label->setUserInteractionEnabled(false);
        cancel_->addSubview(label);
        cancel_->setAccessibilityLabel(localized("取消"));
        auto weak = weakAs<MVTAllListViewController>();
        cancel_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->cancelSearchBar();
        });
    }
    if (mytableview_) {
        mytableview_->addSubview(cancel_);
        mytableview_->setScrollEnabled(false);
    }
    if (indexBar_) indexBar_->setHidden(true);
    if (!searchListView_) {
        searchListView_ = std::make_shared<MVTSearchViewController>();
        searchListView_->setMyDelegate(weakAs<SearchListDelegate>());
        searchListView_->setDataArray(Json::array());
        searchListView_->view()->setFrame(
            {0, kAllListSearchHeight + 40, width, hightForTableView_ - 80});
        view()->addSubview(searchListView_->view());
    }
}

void MVTAllListViewController::searchBarSearchButtonClicked(SearchBar& bar) {
    StatisticsKit::shared().beginLogPageView("搜索");
    bar.resignFirstResponder();
    const std::string text = bar.text();
    Json found = Json::array();
    for (const auto& person : shownList())
        if (textOf(person, "name").find(text) != std::string::npos) found.push_back(person);
    if (!found.empty() && searchListView_) {
        searchListView_->setDataArray(found);
        searchListView_->view()->setBackgroundColor(Color::whiteColor());
        searchListView_->updateTableView();
    } else {
        if (mytableview_) mytableview_->setHidden(false);
        AlertView::make(localized("提示"), localized("没有找到该联系人"), {}, localized("确定"))->show();
    }
    StatisticsKit::shared().endLogPageView("搜索");
}

void MVTAllListViewController::cancelSearchBar() {
    if (cancel_) cancel_->removeFromSuperview();
    if (mytableview_) mytableview_->setScrollEnabled(true);
    if (indexBar_) indexBar_->setHidden(false);
    searchBar_->resignFirstResponder();
    searchBar_->setFrame({0, 0, Screen::mainScreen().bounds().width(), kAllListSearchHeight});
    searchBar_->setText("");
    if (searchListView_) {
        searchListView_->view()->removeFromSuperview();
        searchListView_.reset();
    }
    if (mytableview_) mytableview_->setHidden(false);
}

// ---- Other screens and the switch ----------------------------------------------------------

void MVTAllListViewController::newFriend() {
    contacts::presentInNavigation(*this, std::make_shared<MVTNewFriendViewController>());
}

std::shared_ptr<Button> MVTAllListViewController::buttonWithTag(int tag, const Rect& frame, const std::string& title,
                                                                const std::optional<Color>& titleColor,
                                                                const std::optional<Font>& titleFont,
                                                                std::function<void(Button&)> action, bool hidden) {
    auto button = std::make_shared<Button>(frame);
    button->setTag(tag);
    button->setTitle(title);
    if (titleColor) button->setTitleColor(*titleColor);
    if (titleFont) button->titleLabel()->setFont(*titleFont);
    button->addTarget(ControlEventTouchUpInside,
                      [action = std::move(action)](Control& sender) { action(static_cast<Button&>(sender)); });
    button->setHidden(hidden);
    return button;
}

void MVTAllListViewController::initTitleView() {
    titleView_ = std::make_shared<ImageView>(Rect(100, 5, 120, 30));
    titleView_->setImage(Image::imageNamed("title_tailored"));
    titleView_->setUserInteractionEnabled(true);
    auto weak = weakAs<MVTAllListViewController>();
    auto click = [weak](Button& button) {
        if (auto self = weak.lock()) self->recommendButtonClick(button);
    };
    classBtn_ = buttonWithTag(kClassButtonTag, {0, 0, 60, 30}, localized("班级"), Color::whiteColor(),
                              Font::boldSystemFontOfSize(14), click, false);
    classBtn_->setBackgroundImage(Image::imageNamed("Segmented-left-active"));
    friendBtn_ = buttonWithTag(kFriendButtonTag, {60, 0, 60, 30}, localized("好友"), Color::black(),
                               Font::boldSystemFontOfSize(14), click, false);
    friendBtn_->setBackgroundImage(Image::imageNamed("Segmented-right"));
    titleView_->addSubview(classBtn_);
    titleView_->addSubview(friendBtn_);
}

void MVTAllListViewController::recommendButtonClick(Button& button) {
    if (cancel_ && cancel_->superview()) cancelSearchBar();
    const bool friends = button.tag() == kFriendButtonTag;
    if (classBtn_ && friendBtn_) {
        classBtn_->setTitleColor(friends ? Color::black() : Color::whiteColor());
        friendBtn_->setTitleColor(friends ? Color::whiteColor() : Color::black());
        classBtn_->setBackgroundImage(Image::imageNamed(friends ? "Segmented-left" : "Segmented-left-active"));
        friendBtn_->setBackgroundImage(Image::imageNamed(friends ? "Segmented-right-active" : "Segmented-right"));
    }
    if (titleView_) titleView_->setImage(Image::imageNamed(friends ? "title_character" : "title_tailored"));
    typeOfShowList_ = friends ? kFriendType : kClassType;
    dropTable();
    getData();
}

void MVTAllListViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    if (ispresent_) {
        dismissViewController(true);
    } else if (navigationController()) {
        navigationController()->popViewController(true);
    }
}
