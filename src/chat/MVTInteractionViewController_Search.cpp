// The message centre's search mode, quick-action menu and direct openers. The screen shows
// no control that leads here: the search bar is never placed until a search has been left,
// and the "+" button is made but never put on the navigation bar.

#include "chat/MVTInteractionViewController.h"

#include "account/MVTAddToClassViewController.h"
#include "contacts/MVTGroupListViewController.h"
#include "contacts/MVTNewFriendViewController.h"
#include "contacts/MVTSearchFriendViewController.h"
#include "contacts/MVTSearchViewController.h"
#include "contacts/MVTSelectMemberViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "homework/MVTNewHWListViewController.h"
#include "me/MVTTimeSpaceViewController.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/StatisticsKit.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include <algorithm>

using namespace platform;

namespace {

double centreSearchWidth() { return Screen::mainScreen().bounds().width(); }

bool centreSearchChinese() { return InternationalControl::userLanguage() == InternationalControl::kChinese; }

std::string centreSearchRole() { return MVTAccount::sharedInstance().role().value_or(""); }

}  // namespace

// ---- Search mode

void MVTInteractionViewController::buildSearchBar() {
    const double W = centreSearchWidth();
    searchView_ = std::make_shared<View>(Rect(0, 0, W, 40));
    searchBar_ = std::make_shared<SearchBar>(Rect(0, 0, W, 40));
    searchBar_->setPlaceholder(localized("请输入联系人姓名"));
    searchBar_->setDelegate(weakAs<SearchBarDelegate>());
    searchView_->addSubview(searchBar_);
}

void MVTInteractionViewController::searchBarTextDidBeginEditing(SearchBar&) {
    const double W = centreSearchWidth();
    const bool chinese = centreSearchChinese();
    navigationItem().setRightBarButtonItem(nullptr);
    searchBar_->setFrame({0, 0, W - (chinese ? 50 : 60), 40});
    navigationItem().setTitleView(searchView_);
    if (!cancel_) {
        const double width = chinese ? 44 : 54;
        cancel_ = Button::buttonWithType(ButtonType::Custom);
        cancel_->setFrame({W - width, 5, width, 30});
        cancel_->setAccessibilityLabel(localized("取消"));
        auto label = std::make_shared<Label>(Rect(0, 0, width, 30));
        label->setText(localized("取消"));
        label->setFont(Font::systemFontOfSize(14));
        label->setTextColor(Color::rgb255(55, 152, 28));
        label->setTextAlignment(TextAlignment::Center);
        label->setBackgroundColor(Color::clear());
        label->setUserInteractionEnabled(false);
        cancel_->addSubview(label);
        auto weak = weakAs<MVTInteractionViewController>();
        cancel_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->cancelSearchBar();
        });
    }
    cancel_->setHidden(false);
    searchView_->addSubview(cancel_);
    if (mytableview_) mytableview_->setScrollEnabled(false);
    if (!searchListView_) {
        searchListView_ = std::make_shared<MVTSearchViewController>();
        searchListView_->setMyDelegate(weakAs<SearchListDelegate>());
        searchListView_->setWhereSearch("interaction");
        const double height = mytableview_ ? mytableview_->frame().height() : view()->bounds().height();
        searchListView_->view()->setFrame({0, 0, W, height});
        searchListView_->setDataArray(Json::array());
        view()->addSubview(searchListView_->view());
    }
}

void MVTInteractionViewController::searchBarSearchButtonClicked(SearchBar& bar) {
    StatisticsKit::shared().beginLogPageView(kSearchPageName);
    bar.resignFirstResponder();
    auto weak = weakAs<MVTInteractionViewController>();
    searchLinkToken_ = NotificationCenter::defaultCenter().addObserver(kSearchLinkManList, [weak](const Notification&) {
        if (auto self = weak.lock()) self->searchData();
    });
    linkManList_->setIsInteractionViewSearch(true);
    linkManList_->setSearchString(bar.text());
    linkManList_->getData();
}

void MVTInteractionViewController::searchData() {
    // One search is shown once, however often the contact list reports it.
    searchLinkToken_ = {};
    const std::string text = searchBar_->text();
    Json conversations = Json::array();
    for (const auto& row : dataArray_) {
        const Json& name = valueFor(row, "name");
        if (name.is_string() && name.get_ref<const std::string&>().find(text) != std::string::npos)
            conversations.push_back(row);
    }
    Json result = conversations;
    const Json& contacts = linkManList_->linkManListSearchArray();
    if (contacts.is_array())
        for (const auto& contact : contacts) {
            const long long userId = integerValue(textOf(contact, "userId"));
            const bool hasConversation = std::any_of(conversations.begin(), conversations.end(), [&](const Json& row) {
                return integerValue(textOf(row, "uid")) == userId;
            });
            if (!hasConversation) result.push_back(contact);
        }
    if (!result.empty() && searchListView_) {
        searchListView_->setDataArray(result);
        searchListView_->view()->setBackgroundColor(Color::whiteColor());
        searchListView_->updateTableView();
    } else if (result.empty()) {
        if (mytableview_) mytableview_->setHidden(false);
        AlertView::make(localized("提示"), localized("没有找到该联系人"), {}, localized("确定"))->show();
    }
    StatisticsKit::shared().endLogPageView(kSearchPageName);
}

void MVTInteractionViewController::pushInformation(const Json& row) {
    const std::string type = textOf(row, "type");
    if (type == "notice") {
        classNotButtonClick();
        return;
    }
    // Here even the service account's conversation needs a class.
    if (MVTPublicMethod::isUnClassId()) {
        showJoinClassAlert();
        return;
    }
    Json dict = row;
    if (type == "person" || type == "forum") {
        if (type == "forum") dict["uid"] = valueFor(row, "id");
        presentChat(std::move(dict), type, nullptr);
        return;
    }
    // A contact: the person's id is its "userId".
    dict["uid"] = textOf(row, "userId");
    presentChat(std::move(dict), "person", nullptr);
}

void MVTInteractionViewController::cancelSearchBar() {
    const double W = centreSearchWidth();
    linkManList_->setIsInteractionViewSearch(false);
    navigationItem().setTitleView(nullptr);
    initNavBar();
    searchView_->setFrame({0, 0, W, 40});
    headView_->addSubview(searchView_);
    if (cancel_) cancel_->removeFromSuperview();
    if (mytableview_) mytableview_->setScrollEnabled(true);
    searchBar_->resignFirstResponder();
    searchBar_->setFrame({0, 0, W, 40});
    searchBar_->setText("");
    if (searchListView_) searchListView_->view()->removeFromSuperview();
    searchListView_.reset();
    if (mytableview_) mytableview_->setHidden(false);
}

// ---- Quick-action menu

void MVTInteractionViewController::initNavBar() {
    addButton_ = Button::buttonWithType(ButtonType::Custom);
    addButton_->setFrame({0, 0, 44, 44});
    addButton_->setImage(Image::imageNamed("add_nor_org"), ControlStateNormal);
    addButton_->setImageEdgeInsets({10, 10, 10, 10});
    auto weak = weakAs<MVTInteractionViewController>();
    addButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toAdd();
    });
}

void MVTInteractionViewController::buildMenu() {
    const Rect screen = Screen::mainScreen().bounds();
    const bool parent = centreSearchRole() == "parent";
    struct Item {
        const char* title;
        const char* icon;
        void (MVTInteractionViewController::*action)();
    };
    std::vector<Item> items = {{"创建群组", "interaction_addNewFriend", &MVTInteractionViewController::addNewGroup}};
    if (!parent) {
        items.push_back({"添加好友", "interaction_newGroup", &MVTInteractionViewController::addNewFriend});
        items.push_back({"加入班级", "interaction_insertClass", &MVTInteractionViewController::addToClass});
    }
    const double height = 10 + kMenuItemHeight * static_cast<double>(items.size());
    addToClassView_ = std::make_shared<ImageView>(Rect(screen.width() - kMenuWidth - 5, 64, kMenuWidth, height));
    addToClassView_->setImage(Image::imageNamed("interaction_popupBg")->stretchableImageWithLeftCapWidth(145, 16));
    addToClassView_->setUserInteractionEnabled(true);
    auto weak = weakAs<MVTInteractionViewController>();
    double y = 10;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            auto line = std::make_shared<ImageView>(Rect(5, y - 0.5, kMenuWidth - 10, 1));
            line->setImage(Image::imageNamed("line_10"));
            addToClassView_->addSubview(line);
        }
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({0, y, kMenuWidth, kMenuItemHeight});
        const std::string title = localized(items[i].title);
        button->setTitle(title, ControlStateNormal);
        button->setTitleColor(Color::black(), ControlStateNormal);
        button->setAccessibilityLabel(title);
        auto icon = std::make_shared<ImageView>(Rect(12, 10, 20, 20));
        icon->setImage(Image::imageNamed(items[i].icon));
        icon->setUserInteractionEnabled(false);
        button->addSubview(icon);
        auto action = items[i].action;
        button->addTarget(ControlEventTouchUpInside, [weak, action](Control&) {
            if (auto self = weak.lock()) ((*self).*action)();
        });
        addToClassView_->addSubview(button);
        y += kMenuItemHeight;
    }
    backView = std::make_shared<View>(screen);
    backView->setBackgroundColor(Color::clear());
    auto closer = Button::buttonWithType(ButtonType::Custom);
    closer->setFrame(screen);
    closer->setBackgroundColor(Color::clear());
    closer->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->toClickedMove(control);
    });
    backView->addSubview(closer);
}

void MVTInteractionViewController::toAdd() {
    if (!addToClassView_ || !backView) buildMenu();
    if (addToClassView_->superview() != backView) backView->addSubview(addToClassView_);
    if (auto window = Window::keyWindow()) window->addSubview(backView);
}

void MVTInteractionViewController::closeMenu() {
    if (backView) backView->removeFromSuperview();
}

void MVTInteractionViewController::presentInNavigation(const std::shared_ptr<ViewController>& screen,
                                                       bool crossDissolve) {
    auto navigation = myNavigationController::withRoot(screen);
    if (crossDissolve) navigation->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
    presentViewController(navigation, true);
}

void MVTInteractionViewController::addNewGroup() {
    closeMenu();
    if (MVTPublicMethod::isUnClassId()) {
        showJoinClassAlert();
        return;
    }
    auto picker = std::make_shared<MVTSelectMemberViewController>();
    picker->setWhereFrom("groupNew");
    picker->setIspresent(true);
    presentInNavigation(picker, true);
}

void MVTInteractionViewController::addNewFriend() {
    closeMenu();
    if (MVTPublicMethod::isUnClassId()) {
        showJoinClassAlert();
        return;
    }
    auto search = std::make_shared<MVTSearchFriendViewController>();
    search->setWhereFrom("addressList");
    presentInNavigation(search, false);
}

void MVTInteractionViewController::addToClass() {
    closeMenu();
    if (centreSearchRole() == "student" && !MVTPublicMethod::isUnClassId()) {
        AlertView::make(localized("已加入班级"), "", {}, localized("确定"))->show();
        return;
    }
    presentInNavigation(std::make_shared<MVTAddToClassViewController>(), true);
}

// ---- Direct openers

void MVTInteractionViewController::linkManButtonClick() {
    if (MVTPublicMethod::isUnClassId()) {
        showJoinClassAlert();
        return;
    }
    linkManList_->setIsInteractionViewSearch(false);
    presentInNavigation(linkManList_, false);
}

void MVTInteractionViewController::groupButtonClick() {
    if (MVTPublicMethod::isUnClassId()) {
        showJoinClassAlert();
        return;
    }
    presentInNavigation(std::make_shared<MVTGroupListViewController>(), false);
}

void MVTInteractionViewController::homeWorkButtonClick() {
    presentInNavigation(std::make_shared<MVTNewHWListViewController>(), false);
}

void MVTInteractionViewController::newFriendButtonClick() {
    presentInNavigation(std::make_shared<MVTNewFriendViewController>(), false);
}

void MVTInteractionViewController::clickedHeadImage(Button& button) {
    const int row = button.tag();
    if (row < 0 || row >= static_cast<int>(dataArray_.size())) return;
    const Json& conversation = dataArray_[static_cast<std::size_t>(row)];
    if (textOf(conversation, "role") == "system") return;
    auto space = std::make_shared<MVTTimeSpaceViewController>();
    space->setUserDict({{"id", valueFor(conversation, "uid")},
                        {"name", valueFor(conversation, "name")},
                        {"role", valueFor(conversation, "role")}});
    presentInNavigation(space, false);
}

void MVTInteractionViewController::sendTableViewToRightFrame() {
    if (!mytableview_) return;
    animate(0.3, [&] { mytableview_->setContentOffset({0, 0}); });
}

void MVTInteractionViewController::didmissView() {
    // The screen never observes "goBackWhenRoleIsParent"; it only notes that it was told.
    isGoBack_ = true;
}
