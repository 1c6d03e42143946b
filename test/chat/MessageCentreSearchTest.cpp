// The message centre's search mode, quick-action menu and openers, reached only by calling
// them: the merge of conversations and contacts, the chosen result, the menu by role and
// its items, and the lists opened directly.

#include "ChatFixture.h"

#include "account/MVTAddToClassViewController.h"
#include "chat/MVTChatViewController.h"
#include "chat/MVTInteractionViewController.h"
#include "contacts/ContactsCacheStore.h"
#include "contacts/MVTGroupListViewController.h"
#include "contacts/MVTSearchViewController.h"
#include "contacts/MVTSelectMemberViewController.h"
#include "homework/MVTNewHWListViewController.h"
#include "me/MVTTimeSpaceViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Window.h"

using Json = nlohmann::json;
using sample_service::Reply;

namespace {

Json conversation(long long id, const std::string& type, const Json& uid, const std::string& name,
                  const std::string& role = "teacher") {
    return {{"id", id}, {"type", type}, {"uid", uid}, {"name", name}, {"role", role}, {"msg", "好"},
            {"sendTime", 1767650000 - id}, {"unreadCount", 2}};
}

class MessageCentreSearchTest : public testing_support::ChatTest {
protected:
    void SetUp() override {
        ChatTest::SetUp();
        signIn("1001", "teacher", "11,12");
        ASSERT_TRUE(ContactsCacheStore::writeObject(
            "1001", {{"friend", {{{"userId", 15}, {"name", "王老师"}, {"role", "teacher"}},
                                 {{"userId", 22}, {"name", "王芳"}, {"role", "teacher"}}}},
                     {"teacher", {{{"userId", 23}, {"name", "赵老师"}, {"role", "teacher"}}}}}));
        Json forum = conversation(7, "forum", 0, "王老师的读书小组", "");
        forum["forumId"] = 501;
        forum["fieldId"] = 3;
        service().setReply("GET", "/services/norvo/pm/1001/classify/list",
                           Reply::json(Json::array({conversation(3, "person", 15, "王老师"), forum,
                                                    conversation(9, "person", 31, "李明", "student"),
                                                    conversation(11, "person", 10, "系统消息", "system")})));
    }
    void open() {
        centre = showRoot(std::make_shared<MVTInteractionViewController>());
        ASSERT_TRUE(waitFor([&] { return centre->dataArray().size() == 4; }));
        platform::AlertView::clearVisible();
    }
    void search(const std::string& text) {
        centre->searchBarTextDidBeginEditing(*centre->searchBar());
        centre->searchBar()->setText(text);
        centre->searchBarSearchButtonClicked(*centre->searchBar());
        driver->pump();
    }
    Json names(const Json& rows) {
        Json found = Json::array();
        for (const auto& row : rows) found.push_back(platform::textOf(row, "name"));
        return found;
    }
    template <class Screen>
    std::shared_ptr<Screen> presented() {
        auto shown = centre->presentedViewController();
        auto stack = shown ? shown->asNavigationController() : nullptr;
        return stack ? std::dynamic_pointer_cast<Screen>(stack->viewControllers().front()) : nullptr;
    }
    std::shared_ptr<MVTInteractionViewController> centre;
};

TEST_F(MessageCentreSearchTest, APersonWithAConversationIsListedOnceAsTheConversation) {
    open();
    search("王");
    auto overlay = centre->searchListView();
    ASSERT_TRUE(overlay);
    EXPECT_EQ(names(overlay->dataArray()), Json::array({"王老师", "王老师的读书小组", "王芳"}));
    EXPECT_EQ(centre->navigationItem().titleView(), centre->searchView());
    EXPECT_FALSE(platform::AlertView::topAlert());

    // A later report of the same search is not shown again; a search matching nothing
    // alerts and leaves the results as they were.
    overlay->setDataArray(Json::array());
    platform::NotificationCenter::defaultCenter().postNotification("searchLinkManList");
    EXPECT_TRUE(overlay->dataArray().empty());
    overlay->setDataArray(Json::array({conversation(3, "person", 15, "王老师")}));
    search("没有这个人");
    auto alert = platform::AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "没有找到该联系人");
    EXPECT_EQ(names(overlay->dataArray()), Json::array({"王老师"}));
    EXPECT_EQ(centre->dataArray().size(), 4u);

    // Leaving puts the bar under the table's header; entering again makes a new overlay.
    centre->cancelSearchBar();
    EXPECT_FALSE(centre->searchListView());
    EXPECT_FALSE(overlay->view()->superview());
    EXPECT_EQ(centre->searchView()->superview(), centre->headView());
    EXPECT_EQ(centre->searchBar()->text(), "");
    EXPECT_FALSE(centre->cancel()->superview());
    centre->searchBarTextDidBeginEditing(*centre->searchBar());
    ASSERT_TRUE(centre->searchListView());
    EXPECT_NE(centre->searchListView(), overlay);
}

TEST_F(MessageCentreSearchTest, AChosenResultOpensItsChatWithoutForwardRowsOrLoweringTheCount) {
    open();
    struct Case {
        const char* what;
        Json row;
        std::string type, uid;
        std::optional<std::string> forumid;
    };
    Json forum = centre->dataArray()[1];
    const Case cases[] = {
        {"conversation", centre->dataArray()[0], "person", "15", std::nullopt},
        {"group", forum, "forum", "7", "501"},
        {"contact", {{"userId", 22}, {"name", "王芳"}, {"role", "teacher"}}, "person", "22", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        centre->pushInformation(c.row);
        auto chat = presented<MVTChatViewController>();
        ASSERT_TRUE(chat);
        EXPECT_EQ(chat->msgType(), c.type);
        EXPECT_EQ(platform::textOf(chat->myDict(), "uid"), c.uid);
        EXPECT_EQ(chat->forumid(), c.forumid);
        EXPECT_TRUE(chat->forwardRecetArray().empty());
        EXPECT_EQ(chat->title(), platform::textOf(c.row, "name"));
        centre->dismissViewController(false);
        driver->pump();
    }
}

TEST_F(MessageCentreSearchTest, WithoutAClassEvenTheServiceAccountAsksToJoinFirst) {
    open();
    MVTAccount::sharedInstance().setClassId("");
    MVTAccount::sharedInstance().setRole("student");
    centre->pushInformation(centre->dataArray()[3]);
    auto alert = platform::AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), MVTInteractionViewController::kJoinClassAlertTag);
    EXPECT_FALSE(centre->presentedViewController());
    platform::AlertView::clearVisible();
    for (auto opener : {&MVTInteractionViewController::addNewGroup, &MVTInteractionViewController::addNewFriend,
                        &MVTInteractionViewController::linkManButtonClick,
                        &MVTInteractionViewController::groupButtonClick}) {
        ((*centre).*opener)();
        ASSERT_TRUE(platform::AlertView::topAlert());
        EXPECT_EQ(platform::AlertView::topAlert()->tag(), MVTInteractionViewController::kJoinClassAlertTag);
        EXPECT_FALSE(centre->presentedViewController());
        platform::AlertView::clearVisible();
    }
}

TEST_F(MessageCentreSearchTest, TheMenuHoldsOneItemForParentsAndThreeForOthers) {
    struct Case {
        std::string role;
        double height;
        std::vector<std::string> items;
    };
    const Case cases[] = {{"parent", 50, {"创建群组"}}, {"teacher", 130, {"创建群组", "添加好友", "加入班级"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.role);
        signIn("1001", c.role, "11");
        open();
        centre->toAdd();
        auto menu = centre->addToClassView();
        ASSERT_TRUE(menu);
        EXPECT_DOUBLE_EQ(menu->frame().height(), c.height);
        EXPECT_DOUBLE_EQ(menu->frame().width(), 150);
        EXPECT_EQ(centre->backView->superview().get(), static_cast<platform::View*>(platform::Window::keyWindow()));
        for (const auto& item : c.items) EXPECT_TRUE(driver->byText(item)) << item;
        if (c.items.size() == 1) {
            EXPECT_FALSE(driver->byText("添加好友"));
        }
        // A tap beside the menu closes it.
        driver->tapPoint({20, 400});
        EXPECT_FALSE(centre->backView->superview());
    }
}

TEST_F(MessageCentreSearchTest, MenuItemsAndOpenersPresentTheirScreens) {
    open();
    centre->toAdd();
    driver->tapText("创建群组");
    EXPECT_FALSE(centre->backView->superview());
    auto picker = presented<MVTSelectMemberViewController>();
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->whereFrom(), "groupNew");
    centre->dismissViewController(false);

    centre->addToClass();
    EXPECT_TRUE(presented<MVTAddToClassViewController>());
    centre->dismissViewController(false);
    centre->homeWorkButtonClick();
    EXPECT_TRUE(presented<MVTNewHWListViewController>());
    centre->dismissViewController(false);
    centre->groupButtonClick();
    EXPECT_TRUE(presented<MVTGroupListViewController>());
    centre->dismissViewController(false);

    // A student who has a class is told so; the join screen is not opened.
    signIn("2001", "student", "11");
    centre->addToClass();
    ASSERT_TRUE(platform::AlertView::topAlert());
    EXPECT_EQ(platform::AlertView::topAlert()->title(), "已加入班级");
    EXPECT_FALSE(centre->presentedViewController());
}

TEST_F(MessageCentreSearchTest, AHeadOpensThePersonsSpaceExceptTheSystems) {
    open();
    platform::Button head;
    head.setTag(3);
    centre->clickedHeadImage(head);
    EXPECT_FALSE(centre->presentedViewController());
    head.setTag(2);
    centre->clickedHeadImage(head);
    auto space = presented<MVTTimeSpaceViewController>();
    ASSERT_TRUE(space);
    EXPECT_EQ(space->userDict(), Json({{"id", 31}, {"name", "李明"}, {"role", "student"}}));
}

}  // namespace
