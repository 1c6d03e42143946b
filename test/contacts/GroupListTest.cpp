// The group lists: cache and service, bad replies, quick refreshes, ids handed to the
// chat, the forward confirmation and the contacts-tab variant.

#include "ContactsFixture.h"

#include "chat/MVTChatViewController.h"
#include "contacts/MVTGroupListViewController.h"
#include "contacts/MVTSelectMemberViewController.h"

#include "platform/Files.h"

using Json = nlohmann::json;
using sample_service::Reply;

namespace {

const Json kGroups = Json::array({{{"id", 12}, {"name", "读书兴趣小组"}, {"fieldId", 3}},
                                  {{"id", 13}, {"forumid", 77}, {"name", "三年级一班"}, {"fieldId", 1}}});

class GroupListTest : public testing_support::ContactsTest {
protected:
    void SetUp() override {
        ContactsTest::SetUp();
        signIn("1001", "teacher", "11,12");
    }
    void writeCache(const Json& groups) {
        ASSERT_TRUE(platform::writeFileAtomically(MVTGroupListViewController::cachePath("1001"),
                                                  Json{{"group", groups}}.dump(2)));
    }
    Json cache() {
        auto text = platform::readFile(MVTGroupListViewController::cachePath("1001"), 1u << 20);
        return text ? Json::parse(*text, nullptr, false) : Json();
    }
    std::shared_ptr<MVTGroupListViewController> open(bool pushed = false) {
        list = std::make_shared<MVTGroupListViewController>();
        list->setIsPresent(pushed);
        showRoot(list);
        return list;
    }
    // The chat the list opened (presented or pushed).
    std::shared_ptr<MVTChatViewController> openedChat() {
        if (auto shown = std::dynamic_pointer_cast<platform::NavigationController>(navigation->presentedViewController()))
            return std::dynamic_pointer_cast<MVTChatViewController>(shown->topViewController());
        return std::dynamic_pointer_cast<MVTChatViewController>(navigation->topViewController());
    }
    std::shared_ptr<MVTGroupListViewController> list;
};

TEST_F(GroupListTest, ACachedListShowsWithoutARequest) {
    writeCache(kGroups);
    open();
    EXPECT_EQ(list->dataArray(), kGroups);
    ASSERT_TRUE(list->mytableview());
    driver->pump();
    EXPECT_TRUE(requestsTo("forum/1001/list").empty());
}

TEST_F(GroupListTest, AReplyWithGroupsIsWrittenAndShownInReplyOrder) {
    service().setReply("GET", "/services/norvo/forum/1001/list", Reply::json(kGroups));
    open();
    ASSERT_TRUE(waitFor([&] { return list->dataArray().size() == 2; }));
    EXPECT_EQ(cache(), (Json{{"group", kGroups}}));
    EXPECT_EQ(list->dataArray()[0]["name"], "读书兴趣小组");
}

TEST_F(GroupListTest, TwoQuickRefreshesSendOneRequest) {
    writeCache(kGroups);
    open();
    service().setReply("GET", "/services/norvo/forum/1001/list", Reply::json(kGroups));
    list->netGetData();
    list->netGetData();
    ASSERT_TRUE(waitFor([&] { return !list->isLoading(); }));
    EXPECT_EQ(requestsTo("forum/1001/list").size(), 1u);
}

TEST_F(GroupListTest, AnEmptyReplyOrOneThatIsNoListChangesNothing) {
    writeCache(kGroups);
    open();
    for (const std::string& body : {std::string("[]"), std::string("{\"group\":[]}"), std::string("\"text\""),
                                    std::string("<html>")}) {
        service().setReply("GET", "/services/norvo/forum/1001/list", Reply::text(body, "application/json"));
        list->netGetData();
        ASSERT_TRUE(waitFor([&] { return !list->isLoading(); })) << body;
        EXPECT_EQ(cache(), (Json{{"group", kGroups}})) << body;
        EXPECT_EQ(list->dataArray(), kGroups) << body;
    }
}

TEST_F(GroupListTest, GroupListChagedRefreshesFromTheService) {
    writeCache(kGroups);
    open();
    Json more = kGroups;
    more.push_back({{"id", 14}, {"name", "新群"}, {"fieldId", 3}});
    service().setReply("GET", "/services/norvo/forum/1001/list", Reply::json(more));
    platform::NotificationCenter::defaultCenter().postNotification(MVTGroupListViewController::kGroupListChaged);
    ASSERT_TRUE(waitFor([&] { return list->dataArray().size() == 3; }));
}

TEST_F(GroupListTest, TheChatGetsDecimalIdsAndForumidBeforeId) {
    writeCache(kGroups);
    open();
    list->chooseRow(0);
    ASSERT_TRUE(waitFor([&] { return openedChat() != nullptr; }));
    EXPECT_EQ(openedChat()->forumid(), std::optional<std::string>("12"));
    EXPECT_EQ(openedChat()->fieldid(), "3");
    EXPECT_EQ(openedChat()->msgType(), "forum");
    navigation->dismissViewController(false);
    driver->pump();
    list->chooseRow(1);
    ASSERT_TRUE(waitFor([&] { return openedChat() != nullptr; }));
    EXPECT_EQ(openedChat()->forumid(), std::optional<std::string>("77"));
    EXPECT_EQ(openedChat()->title(), "三年级一班");
}

TEST_F(GroupListTest, ForwardingAsksFirstAndCancelLeavesTheList) {
    writeCache(kGroups);
    open(true);
    list->setForwardDictionary(Json{{"msg", "转发的话"}});
    EXPECT_FALSE(list->navigationItem().rightBarButtonItem());
    list->chooseRow(0);
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->title(), "转发给:");
    EXPECT_EQ(driver->alert()->message(), "读书兴趣小组");
    driver->pressAlertButton(0);
    EXPECT_EQ(navigation->topViewController(), list);
    list->chooseRow(0);
    driver->pressAlertButton(1);
    ASSERT_TRUE(waitFor([&] { return openedChat() != nullptr; }));
    EXPECT_EQ(openedChat()->msgType(), "forum");
}

TEST_F(GroupListTest, PlusAsksAStudentWithoutAClassToJoinOne) {
    signIn("2002", "student", "");
    writeCache(kGroups);
    open();
    list->newGroup();
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->tag(), MVTGroupListViewController::kJoinClassAlertTag);
    EXPECT_EQ(driver->alert()->numberOfButtons(), 2);
    platform::AlertView::clearVisible();
    signIn("1001", "teacher", "11,12");
    list->newGroup();
    ASSERT_TRUE(waitFor([&] { return navigation->presentedViewController() != nullptr; }));
    auto shown = std::dynamic_pointer_cast<platform::NavigationController>(navigation->presentedViewController());
    auto picker = std::dynamic_pointer_cast<MVTSelectMemberViewController>(shown->topViewController());
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->whereFrom(), "groupNew");
}

TEST_F(GroupListTest, TheContactsTabVariantPresentsItsChatsFromTheTab) {
    writeCache(kGroups);
    auto owner = std::make_shared<ViewViewController>();
    showRoot(owner);
    auto variant = std::make_shared<MVTGroupListContactViewController>();
    variant->setPDelegate(owner);
    owner->addChildViewController(variant);
    owner->view()->addSubview(variant->view());
    variant->chooseRow(1);
    ASSERT_TRUE(waitFor([&] { return owner->presentedViewController() != nullptr; }));
}

}  // namespace
