#include "chat/MVTForwardMsgViewController.h"

#include "chat/ChatRows.h"
#include "chat/MVTChatViewController.h"
#include "contacts/ContactsShared.h"
#include "contacts/MVTGroupListViewController.h"
#include "contacts/MVTLinkManListViewController.h"
#include "contacts/MVTSelectMemberViewController.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"

using namespace platform;

namespace {

constexpr double kForwardSearchHeight = 41;

Rect forwardScreen() { return Screen::mainScreen().bounds(); }

bool forwardChinese() { return InternationalControl::userLanguage() == InternationalControl::kChinese; }

// "%@" of a row's value; empty for a missing or null one.
std::string forwardPlainText(const Json& row, const char* key) {
    const Json& value = valueFor(row, key);
    return MVTPublicMethod::stringIsClassNull(value) ? std::string() : textOf(value);
}

std::string forwardDecimal(const std::string& text) { return std::to_string(integerValue(text)); }

}  // namespace

MVTForwardMsgViewController::MVTForwardMsgViewController() = default;

MVTForwardMsgViewController::~MVTForwardMsgViewController() = default;

void MVTForwardMsgViewController::setRecelentArray(const Json& rows) {
    recelentArray_ = Json::array();
    if (!rows.is_array()) return;
    for (const auto& row : rows)
        if (row.is_object()) recelentArray_.push_back(row);
}

std::string MVTForwardMsgViewController::kindOfRow(const Json& row) {
    const Json& type = valueFor(row, "type");
    if (!type.is_discarded() && !type.is_null()) return textOf(type);
    return row.is_object() && row.contains("fieldId") ? "forum" : "person";
}

void MVTForwardMsgViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    isLoad_ = true;
    auto weak = weakAs<MVTForwardMsgViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->setAccessibilityLabel(localized("返回"));
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));

    const Rect screen = forwardScreen();
    contentView_ = std::make_shared<View>(Rect(0, 0, screen.width(), screen.height() - 64));
    view()->addSubview(contentView_);
    searchView_ = std::make_shared<View>(Rect(0, 0, screen.width(), kForwardSearchHeight));
    searchBar_ = std::make_shared<SearchBar>(Rect(0, 0, screen.width(), 40));
    searchBar_->setPlaceholder(localized("请输入联系人姓名"));
    searchBar_->setDelegate(weakAs<SearchBarDelegate>());
    searchView_->addSubview(searchBar_);
    contacts::addLine(*searchView_, {0, 40, screen.width(), 1});
    contentView_->addSubview(searchView_);

    searchArray_ = Json::array();
    buildHeader();
    mytableView_ = myTableView::make({0, kForwardSearchHeight, screen.width(), screen.height() - 108},
                                     TableViewStyle::Plain);
    mytableView_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    mytableView_->setTableHeaderView(headerView_);
    mytableView_->setDelegate(weakAs<TableViewDelegate>().lock());
    mytableView_->setDataSource(weakAs<TableViewDataSource>().lock());
    contentView_->addSubview(mytableView_);

    linkManList_ = std::make_shared<MVTLinkManListViewController>();
    linkManList_->setIspresent(true);
    linkManList_->setIsFormInreractionClick(true);
    groupList_ = std::make_shared<MVTGroupListViewController>();
}

void MVTForwardMsgViewController::buildHeader() {
    const double W = forwardScreen().width();
    headerView_ = std::make_shared<View>(Rect(0, 0, W, kHeaderHeight));
    headerView_->setAlpha(0.9);
    auto weak = weakAs<MVTForwardMsgViewController>();
    auto tapArea = [&](double y, const std::string& text, void (MVTForwardMsgViewController::*action)()) {
        auto area = std::make_shared<Button>(Rect(0, y, W, 44));
        area->setAccessibilityLabel(text);
        auto label = std::make_shared<Label>(Rect(15, 0, W - 30, 44));
        label->setText(text);
        label->setFont(Font::systemFontOfSize(16));
        label->setTextColor(Color::white(0.2));
        label->setBackgroundColor(Color::clear());
        label->setUserInteractionEnabled(false);
        area->addSubview(label);
        area->addTarget(ControlEventTouchUpInside, [weak, action](Control&) {
            if (auto self = weak.lock()) ((*self).*action)();
        });
        headerView_->addSubview(area);
    };
    tapArea(0, localized("选择联系人"), &MVTForwardMsgViewController::creatANewChat);
    contacts::addLine(*headerView_, {0, 50, W, 1});
    tapArea(55, localized("选择群组"), &MVTForwardMsgViewController::selectAGroup);
    contacts::addLine(*headerView_, {0, 99, W, 1});
    auto caption = std::make_shared<Label>(Rect(0, 100, W, 29));
    caption->setBackgroundColor(Color::whiteColor());
    caption->setFont(Font::systemFontOfSize(14));
    caption->setTextColor(Color::white(0.467));
    caption->setText("  " + localized("最近联系人"));
    headerView_->addSubview(caption);
    contacts::addLine(*headerView_, {0, 129, W, 1});
}

// ---- Recent rows and paging

int MVTForwardMsgViewController::numberOfRowsInSection(TableView&, int) {
    return static_cast<int>(isSearching_ ? searchArray_.size() : recelentArray_.size());
}

double MVTForwardMsgViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVTForwardMsgViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                   const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "Cell");
    }
    auto& content = *cell->contentView();
    auto subviews = content.subviews();
    for (const auto& sub : subviews) sub->removeFromSuperview();
    const Json& rows = isSearching_ ? searchArray_ : recelentArray_;
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(rows.size())) return cell;
    const Json& row = rows[static_cast<std::size_t>(indexPath.row)];
    const double W = forwardScreen().width();

    std::string userId = forwardPlainText(row, "uid");
    if (userId.empty()) userId = textOf(row, "userId");
    const Json& roleValue = valueFor(row, "role");
    std::string role = roleValue.is_discarded() || roleValue.is_null() ? std::string("group") : textOf(roleValue);
    auto bar = std::make_shared<View>(Rect(0, 0, 3, kRowHeight));
    bar->setBackgroundColor(chat_rows::roleColour(role));
    content.addSubview(bar);
    contacts::addAvatar(content, {10, 10}, userId, role, false);

    const std::string name = textOf(row, "name");
    const bool contact = isSearching_ && !(row.is_object() && row.contains("fieldId"));
    auto nameLabel = std::make_shared<Label>(Rect(60, contact ? 8 : 0, W - 80, contact ? 22 : kRowHeight));
    nameLabel->setFont(Font::systemFontOfSize(16));
    nameLabel->setTextColor(Color::white(0.2));
    nameLabel->setBackgroundColor(Color::clear());
    nameLabel->setText(name);
    content.addSubview(nameLabel);
    if (contact) {
        auto from = std::make_shared<Label>(Rect(60, 32, W - 80, 20));
        from->setFont(Font::systemFontOfSize(13));
        from->setTextColor(Color::white(0.6));
        from->setBackgroundColor(Color::clear());
        from->setText(localized("来自") + ":" + textOf(row, "whereFrom"));
        content.addSubview(from);
    }
    contacts::addLine(content, {0, kRowHeight - 1, W, 1});
    return cell;
}

void MVTForwardMsgViewController::willDisplayCell(TableView&, TableViewCell&, const IndexPath& indexPath) {
    if (isSearching_ || !isLoad_ || recelentArray_.empty()) return;
    if (indexPath.row + 1 != static_cast<int>(recelentArray_.size())) return;
    maxIdNotIncludeSelf_ = textOf(recelentArray_.back(), "id");
    requestNextPage();
}

void MVTForwardMsgViewController::requestNextPage() {
    if (loading_) return;
    Json parameters = {{"limit", std::to_string(kPageSize)}, {"maxIdNotIncludeSelf", maxIdNotIncludeSelf_}};
    showOverlay(true);
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "pm/" + contacts::accountUserId() + "/classify/list", parameters);
    if (!request) {
        contacts::showBanner(0);
        showOverlay(false);
        return;
    }
    loading_ = true;
    auto weak = weakAs<MVTForwardMsgViewController>();
    HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            if (auto self = weak.lock()) self->pageArrived(reply);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            contacts::showBanner(2);
            self->loading_ = false;
            self->showOverlay(false);
        })
        ->start();
}

void MVTForwardMsgViewController::pageArrived(const Json& reply) {
    loading_ = false;
    showOverlay(false);
    if (!reply.is_array()) {
        // Only a list is a page: the rows and the paging stay as they were.
        contacts::showBanner(2);
        return;
    }
    isLoad_ = reply.size() >= static_cast<std::size_t>(kPageSize);
    for (const auto& row : reply)
        if (row.is_object()) recelentArray_.push_back(row);
    if (mytableView_) mytableView_->reloadData();
}

void MVTForwardMsgViewController::showOverlay(bool show) {
    if (!isViewLoaded()) return;
    contacts::showProgress(hud_, view(), show);
}

// ---- Search

void MVTForwardMsgViewController::searchBarTextDidBeginEditing(SearchBar&) {
    isSearching_ = true;
    const Rect screen = forwardScreen();
    const bool chinese = forwardChinese();
    if (!cancel_) {
        cancel_ = std::make_shared<Button>(Rect(0, 0, 54, 30));
        cancel_->setTitle(localized("取消"), ControlStateNormal);
        cancel_->setTitleColor(Color::rgb255(55, 152, 28), ControlStateNormal);
        cancel_->setAccessibilityLabel(localized("取消"));
        auto weak = weakAs<MVTForwardMsgViewController>();
        cancel_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->cancelSearch();
        });
    }
    auto* navigation = navigationController();
    animate(kSearchSlide, [&] {
        if (navigation) navigation->setNavigationBarHidden(true, true);
        contentView_->setFrame({0, SDH > 0 ? 20.0 : 0.0, screen.width(), screen.height() - 20});
        searchBar_->setFrame({0, 0, screen.width() - (chinese ? 50 : 60), 40});
        cancel_->setFrame({screen.width() - (chinese ? 55 : 65), 5, 54, 30});
        searchView_->addSubview(cancel_);
    });
    mytableView_->setTableHeaderView(nullptr);
    mytableView_->reloadData();
}

void MVTForwardMsgViewController::searchBarSearchButtonClicked(SearchBar& bar) {
    bar.resignFirstResponder();
    searchString_ = bar.text();
    showOverlay(true);
    auto weak = weakAs<MVTForwardMsgViewController>();
    linkToken_ = NotificationCenter::defaultCenter().addObserver(kSearchLinkManList, [weak](const Notification&) {
        if (auto self = weak.lock()) self->searchLink();
    });
    // Both sources report, empty when they cannot load, so a search always ends.
    linkManList_->setIsInteractionViewSearch(true);
    linkManList_->setSearchString(searchString_);
    linkManList_->getData();
}

void MVTForwardMsgViewController::searchLink() {
    auto weak = weakAs<MVTForwardMsgViewController>();
    groupToken_ = NotificationCenter::defaultCenter().addObserver(kSearchGroupList, [weak](const Notification&) {
        if (auto self = weak.lock()) self->searchData();
    });
    groupList_->setIsInteractionViewSearch(true);
    groupList_->setSearchString(searchBar_ ? searchBar_->text() : searchString_);
    groupList_->getData();
}

void MVTForwardMsgViewController::searchData() {
    Json joined = Json::array();
    for (const Json* source : {&linkManList_->linkManListSearchArray(), &groupList_->searchArray()})
        if (source->is_array())
            for (const auto& row : *source) joined.push_back(row);
    Json found = Json::array();
    for (const auto& row : joined) {
        const Json& name = valueFor(row, "name");
        if (name.is_string() && name.get_ref<const std::string&>().find(searchString_) != std::string::npos)
            found.push_back(row);
    }
    showOverlay(false);
    if (!found.empty()) {
        searchArray_ = std::move(found);
    } else {
        mytableView_->setHidden(false);
        if (!warming_ || !warming_->isVisible()) {
            warming_ = AlertView::make(localized("提示"), localized("没有找到该联系人"), {}, localized("确定"));
            warming_->show();
        }
    }
    mytableView_->reloadData();
}

void MVTForwardMsgViewController::restoreLayout() {
    const Rect screen = forwardScreen();
    if (auto* navigation = navigationController()) navigation->setNavigationBarHidden(false, true);
    searchBar_->resignFirstResponder();
    contentView_->setFrame({0, 0, screen.width(), screen.height() - 64});
    searchBar_->setFrame({0, 0, screen.width(), 44});
    if (cancel_) cancel_->removeFromSuperview();
    mytableView_->setFrame({0, kForwardSearchHeight, screen.width(), screen.height() - 108});
}

void MVTForwardMsgViewController::cancelSearch() {
    isSearching_ = false;
    animate(kSearchSlide, [&] { restoreLayout(); });
    showOverlay(false);
    searchBar_->setText("");
    auto weak = weakAs<MVTForwardMsgViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->setAccessibilityLabel(localized("返回"));
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    searchArray_ = Json::array();
    mytableView_->setTableHeaderView(headerView_);
    mytableView_->reloadData();
}

// ---- Choosing

void MVTForwardMsgViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    const Json& rows = isSearching_ ? searchArray_ : recelentArray_;
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(rows.size())) return;
    selectDict_ = rows[static_cast<std::size_t>(indexPath.row)];
    std::string title = "%@:";
    title.replace(0, 2, localized("转发给"));
    auto alert = AlertView::make(title, textOf(selectDict_, "name"), weakAs<AlertViewDelegate>(), localized("取消"),
                                 {localized("确定")});
    alert->setTag(kConfirmAlertTag);
    alert->show();
}

void MVTForwardMsgViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (alert.tag() == kConfirmAlertTag && index == 1) sureToSendMessage();
}

void MVTForwardMsgViewController::sureToSendMessage() {
    restoreLayout();
    const std::string kind = kindOfRow(selectDict_);
    auto chat = std::make_shared<MVTChatViewController>();
    chat->setForwardDictionary(forwardDictionary_);
    Json dict = selectDict_.is_object() ? selectDict_ : Json::object();
    if (kind == "person") {
        if (forwardPlainText(dict, "uid").empty()) dict["uid"] = valueFor(selectDict_, "userId");
        chat->setMyDict(dict);
    } else {
        if (forwardPlainText(dict, "forumid").empty()) {
            std::string forumId = forwardPlainText(selectDict_, "forumId");
            dict["forumid"] = forumId.empty() ? textOf(selectDict_, "id") : forumId;
        }
        chat->setMyDict(dict);
        chat->setFieldid(forwardDecimal(textOf(dict, "fieldId")));
        chat->setForumid(forwardDecimal(textOf(dict, "forumid")));
    }
    chat->setMsgType(kind);
    chat->setTitle(textOf(selectDict_, "name"));
    if (auto* navigation = navigationController()) navigation->pushViewController(chat, true);
}

void MVTForwardMsgViewController::creatANewChat() {
    if (isSearching_) return;
    auto picker = std::make_shared<MVTSelectMemberViewController>();
    picker->setWhereFrom("chatNew");
    picker->setIspresent(true);
    picker->setForwardDictionary(forwardDictionary_);
    if (auto* navigation = navigationController()) navigation->pushViewController(picker, true);
}

void MVTForwardMsgViewController::selectAGroup() {
    if (isSearching_) return;
    groupList_->setIsPresent(true);
    groupList_->setForwardDictionary(forwardDictionary_);
    if (auto* navigation = navigationController()) navigation->pushViewController(groupList_, true);
}

void MVTForwardMsgViewController::goback() {
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}
