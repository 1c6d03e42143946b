// The contacts tab: the lists only for users with a class, the segment switch, the add
// menu, the create-group question and its banner, joining a class, and the embedded
// friends list presenting from the tab over the whole window.

#include "ContactsFixture.h"

#include "account/MVTAddToClassViewController.h"
#include "account/MVTInterClassViewController.h"
#include "chat/MVTChatViewController.h"
#include "contacts/MVTContactListViewController.h"
#include "contacts/MVTContactViewController.h"
#include "contacts/MVTGroupListViewController.h"
#include "contacts/MVTNewFriendViewController.h"
#include "contacts/MVTSearchFriendViewController.h"
#include "contacts/MVTSelectMemberViewController.h"
#include "me/MVTPersonDetailViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"

using Json = nlohmann::json;
using sample_service::Reply;

namespace {

class ContactsTabTest : public testing_support::ContactsTest {
protected:
    void SetUp() override {
        ContactsTest::SetUp();
        signInAs("teacher", "teacher123", "1001", "teacher", "11,12");
    }
    void signInAs(const std::string& name, const std::string& password, const std::string& id,
                  const std::string& role, const std::string& classes) {
        signIn(id, role, classes);
        MVTAccount::sharedInstance().setUserName(name);
        MVTAccount::sharedInstance().setPassword(password);
    }
    std::shared_ptr<MVTContactViewController> open() {
        tab = std::make_shared<MVTContactViewController>();
        showRoot(tab);
        return tab;
    }
    std::shared_ptr<platform::Button> segment(long tag) const {
        return std::dynamic_pointer_cast<platform::Button>(tab->segView()->viewWithTag(tag));
    }
    // The root of what the tab presented, when it is a `Screen`.
    template <class Screen>
    std::shared_ptr<Screen> presented() const {
        auto shown = std::dynamic_pointer_cast<platform::NavigationController>(tab->presentedViewController());
        return shown ? std::dynamic_pointer_cast<Screen>(shown->topViewController()) : nullptr;
    }
    std::shared_ptr<MVTContactViewController> tab;
};

TEST_F(ContactsTabTest, OnlyUsersWithAClassOrWithoutClassesGetTheLists) {
    struct Case {
        const char* role;
        const char* classes;
        bool lists;
        int alertButtons;  // 0: no alert
    };
    const std::vector<Case> cases = {
        {"teacher", "11,12", true, 0}, {"student", "", false, 2}, {"parent", "", false, 1}, {"admin", "", true, 0}};
    for (const auto& c : cases) {
        platform::AlertView::clearVisible();
        signIn("1001", c.role, c.classes);
        open();
        EXPECT_EQ(tab->contactListViewController() != nullptr, c.lists) << c.role;
        EXPECT_EQ(tab->friendsView() != nullptr, c.lists) << c.role;
        EXPECT_EQ(tab->groupListViewController() != nullptr, c.lists) << c.role;
        auto alert = platform::AlertView::topAlert();
        EXPECT_EQ(alert ? alert->numberOfButtons() : 0, c.alertButtons) << c.role;
        if (alert) {
            EXPECT_EQ(alert->tag(), 10010) << c.role;
        }
        ASSERT_TRUE(tab->segView()) << c.role;
        EXPECT_TRUE(segment(MVTContactViewController::kFriendsSegmentTag)->isSelected()) << c.role;
    }
}

TEST_F(ContactsTabTest, SegmentsSwitchTheVisibleListAndWithoutAClassOnlyAsk) {
    open();
    ASSERT_TRUE(tab->groupView()->isHidden());
    auto groups = segment(MVTContactViewController::kGroupsSegmentTag);
    auto friends = segment(MVTContactViewController::kFriendsSegmentTag);
    EXPECT_FALSE(friends->isUserInteractionEnabled());
    tab->toChangeFriendsOrGroup(*groups);
    EXPECT_FALSE(tab->groupView()->isHidden());
    EXPECT_TRUE(tab->friendsView()->isHidden());
    EXPECT_TRUE(groups->isSelected());
    EXPECT_FALSE(groups->isUserInteractionEnabled());
    EXPECT_TRUE(friends->isUserInteractionEnabled());
    advance(MVTContactViewController::kTurnTime);
    EXPECT_DOUBLE_EQ(tab->triImageView()->frame().midX(), groups->frame().midX());

    signIn("2002", "student", "");
    tab->toChangeFriendsOrGroup(*friends);
    EXPECT_TRUE(tab->friendsView()->isHidden());
    ASSERT_TRUE(platform::AlertView::topAlert());
    EXPECT_EQ(platform::AlertView::topAlert()->tag(), 10010);
}

TEST_F(ContactsTabTest, ThePlusOpensAndClosesTheMenuAndAnEntryClosesItFirst) {
    open();
    tab->toSelectContact();
    auto menu = tab->titleSelectView();
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->items().size(), 3u);
    EXPECT_EQ(menu->items()[0]->accessibilityLabel(), "添加好友");
    advance(MVTContactViewController::kTurnTime);
    EXPECT_NE(tab->selectBtn()->transform(), platform::AffineTransform::identity());
    // The plus again: closed at once, upright after the turn.
    tab->toSelectContact();
    EXPECT_FALSE(tab->titleSelectView());
    advance(MVTContactViewController::kTurnTime);
    EXPECT_EQ(tab->selectBtn()->transform(), platform::AffineTransform::identity());

    tab->toSelectContact();
    advance(MVTContactTitleDownSelectView::kShowTime);
    tab->titleSelectView()->items()[0]->sendActionsForControlEvents(platform::ControlEventTouchUpInside);
    EXPECT_FALSE(tab->titleSelectView());
    auto search = presented<MVTSearchFriendViewController>();
    ASSERT_TRUE(search);
    EXPECT_EQ(search->whereFrom(), "addressList");
}

TEST_F(ContactsTabTest, CreatingAGroupAsksTheServiceEachTime) {
    signInAs("teacher", "a/b?c", "1001", "teacher", "11,12");
    service().setReply("GET", "/services/norvo/auth/teacher/a/b?c",
                       Reply::json({{"name", "王老师"}, {"role", "teacher"}, {"configs", {{"createForum", true}}}}));
    open();
    tab->addNewGroup();
    ASSERT_TRUE(waitFor([&] { return presented<MVTSelectMemberViewController>() != nullptr; }));
    EXPECT_EQ(presented<MVTSelectMemberViewController>()->whereFrom(), "groupNew");
    // The password is one path segment: its "/" and "?" reach the service as typed.
    auto sent = service().lastRequest("/services/norvo/auth/teacher/a/b?c");
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->queryValue("noSchoolLogin"), "true");
    EXPECT_NE(sent->target.find("a%2Fb%3Fc"), std::string::npos);
}

TEST_F(ContactsTabTest, ARefusalShowsTheBannerAndFailuresOpenNothing) {
    const std::string path = "/services/norvo/auth/teacher/teacher123";
    struct Case {
        const char* name;
        Reply reply;
        bool banner;
    };
    const std::vector<Case> cases = {
        {"off", Reply::json({{"role", "teacher"}, {"configs", {{"createForum", false}}}}), true},
        {"missing", Reply::json({{"role", "teacher"}}), true},
        {"refused", Reply::text("busy", "text/plain", 503), false},
        {"not json", Reply::text("<html>", "text/html"), false},
    };
    open();
    for (const auto& c : cases) {
        service().setReply("GET", path, c.reply);
        if (tab->bannerLabel()) tab->bannerLabel()->setText("");
        const std::size_t before = requestsTo("auth/teacher/teacher123").size();
        tab->addNewGroup();
        ASSERT_TRUE(waitFor([&] { return requestsTo("auth/teacher/teacher123").size() > before; })) << c.name;
        if (c.banner) {
            ASSERT_TRUE(waitFor([&] { return tab->bannerLabel() != nullptr; })) << c.name;
            EXPECT_EQ(tab->bannerLabel()->text(), "创建群组功能已经被管理员关闭") << c.name;
        } else {
            driver->pump();
            EXPECT_TRUE(!tab->bannerLabel() || tab->bannerLabel()->text().empty()) << c.name;
        }
        EXPECT_FALSE(tab->presentedViewController()) << c.name;
    }
    // The banner drops in and slides back out of sight.
    EXPECT_EQ(tab->bannerLabel()->presentation().frame().y(), -30);
    advance(MVTContactViewController::kBannerDrop);
    EXPECT_EQ(tab->bannerLabel()->presentation().frame().y(), 5);
    EXPECT_EQ(tab->bannerLabel()->presentation().alpha, 1);
    advance(MVTContactViewController::kBannerRise);
    EXPECT_EQ(tab->bannerLabel()->presentation().frame().y(), -30);

    setOffline();
    const std::size_t before = service().requestCount();
    tab->addNewGroup();
    EXPECT_EQ(bannerText(), "没有网络,请检查网络连接");
    EXPECT_EQ(service().requestCount(), before);
}

TEST_F(ContactsTabTest, WithoutAClassTheAllowedGroupAsksToJoinFirst) {
    signInAs("newcomer", "newcomer123", "2002", "student", "");
    service().setReply("GET", "/services/norvo/auth/newcomer/newcomer123",
                       Reply::json({{"role", "student"}, {"configs", {{"createForum", true}}}}));
    open();
    platform::AlertView::clearVisible();
    tab->addNewGroup();
    ASSERT_TRUE(waitFor([&] { return platform::AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(platform::AlertView::topAlert()->tag(), 10010);
    EXPECT_FALSE(tab->presentedViewController());
}

TEST_F(ContactsTabTest, JoiningAClassByRole) {
    struct Case {
        const char* role;
        const char* classes;
        bool alreadyJoined;
    };
    for (const Case& c : {Case{"student", "11", true}, Case{"student", "", false}, Case{"teacher", "11,12", false},
                          Case{"parent", "11", false}}) {
        platform::AlertView::clearVisible();
        signIn("1001", c.role, c.classes);
        open();
        platform::AlertView::clearVisible();
        tab->addToClass();
        if (c.alreadyJoined) {
            ASSERT_TRUE(platform::AlertView::topAlert()) << c.role;
            EXPECT_EQ(platform::AlertView::topAlert()->title(), "已加入班级");
            EXPECT_FALSE(tab->presentedViewController());
        } else {
            EXPECT_TRUE(presented<MVTAddToClassViewController>()) << c.role << c.classes;
        }
    }
}

// ---- The embedded friends list

Json tabReceivers() {
    return {{"friend",
             {{{"userId", 2201}, {"name", "张三"}, {"role", "student"}},
              {{"userId", 2202}, {"name", "Zoe"}, {"role", "student"}},
              {{"userId", 11}, {"name", "3班助手"}, {"role", "system"}}}},
            {"teacher", {{{"userId", 1002}, {"name", "赵老师"}, {"role", "teacher"}}}}};
}

TEST_F(ContactsTabTest, TheFriendsListCountsPlainlyAndSortsByCharacterCode) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", tabReceivers()));
    open();
    auto list = tab->contactListViewController();
    ASSERT_TRUE(list && list->mytableview());
    const auto& sections = list->sections();
    EXPECT_EQ(sections.titleAt(2), "我的同事");
    EXPECT_EQ(sections.groupUserNum[2], "1");
    std::vector<std::string> order;
    for (const auto& p : sections.myFriendArray[1]) order.push_back(p["name"]);
    EXPECT_EQ(order, (std::vector<std::string>{"3班助手", "Zoe", "张三"}));
    EXPECT_TRUE(requestsTo("pm/1001/receivers/group/classify").empty());
}

TEST_F(ContactsTabTest, AnotherWritersFriendShowsAtTheNextLoad) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", tabReceivers()));
    open();
    auto list = tab->contactListViewController();
    ContactsCacheStore::appendFriend("1001", ContactsCacheStore::friendEntry("孙悦", "student", 2103));
    EXPECT_EQ(list->sections().myFriendArray[1].size(), 3u);
    list->getData();
    EXPECT_EQ(list->sections().myFriendArray[1].size(), 4u);
    EXPECT_EQ(list->sections().groupUserNum[1], "4");
}

TEST_F(ContactsTabTest, APullAsksWithoutAnOverlayAndEndsOnEveryOutcome) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", tabReceivers()));
    open();
    auto list = tab->contactListViewController();
    const std::string path = "/services/norvo/pm/1001/receivers/group/classify";
    service().setReply("GET", path, Reply::json(tabReceivers()));
    list->reloadTableViewDataSource();
    EXPECT_TRUE(list->reloading());
    EXPECT_FALSE(platform::ProgressHUD::HUDForView(list->view()));
    ASSERT_TRUE(waitFor([&] { return !list->loading(); }));
    advance(MVTLinkManListViewController::kDoneLoadingDelay);
    EXPECT_FALSE(list->reloading());
    EXPECT_EQ(requestsTo("pm/1001/receivers/group/classify").size(), 1u);
    for (const Reply& reply : {Reply::text("busy", "text/plain", 503), Reply::text("", "application/json")}) {
        service().setReply("GET", path, reply);
        list->reloadTableViewDataSource();
        ASSERT_TRUE(waitFor([&] { return !list->reloading(); }));
        platform::AlertView::clearVisible();
    }
    setOffline();
    list->reloadTableViewDataSource();
    EXPECT_FALSE(list->reloading());
}

TEST_F(ContactsTabTest, TheListPresentsFromTheTab) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", tabReceivers()));
    open();
    auto list = tab->contactListViewController();
    auto& table = *list->mytableview();
    platform::Button header;
    header.setTag(1);
    list->btnClick(header);

    // A system account: its chat, from the tab, without leaving the contacts tab.
    list->didSelectRowAtIndexPath(table, {1, 0});
    auto chat = presented<MVTChatViewController>();
    ASSERT_TRUE(chat);
    EXPECT_EQ(chat->myDict()["uid"], 11);
    EXPECT_EQ(chat->msgType(), "person");
    tab->dismissViewController(false);
    driver->pump();

    // A person: the profile page, marked as pushed.
    list->didSelectRowAtIndexPath(table, {1, 2});
    auto profile = presented<MVTPersonDetailViewController>();
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->fromWhere(), "linkMan");
    EXPECT_EQ(profile->userDict()["uid"], 2201);
    EXPECT_EQ(profile->view()->accessibilityValue(), "push");
    tab->dismissViewController(false);
    driver->pump();

    list->newFriend();
    EXPECT_TRUE(presented<MVTNewFriendViewController>());
}

}  // namespace
