// The contact list: loading from the cache or the service, what bad replies and caches
// do, its use as a search source, the sections on screen, a deleted friend and the search.

#include "ContactsFixture.h"

#include "contacts/MVTLinkManListViewController.h"
#include "contacts/MVTSearchViewController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"

using Json = nlohmann::json;
using sample_service::Reply;

namespace {

Json reply() {
    return {{"friend", {{{"userId", 1002}, {"name", "赵老师"}, {"role", "teacher"}},
                        {{"userId", 10}, {"name", "班级通讯小助手"}, {"role", "system"}}}},
            {"teacher", {{{"userId", 1002}, {"name", "赵老师"}, {"role", "teacher"}}}},
            {"groups", {{{"groupName", "读书兴趣小组"}, {"users", {{{"userId", 2001}, {"name", "李明"}, {"role", "student"}}}}}}}};
}

class ContactListTest : public testing_support::ContactsTest {
protected:
    void SetUp() override {
        ContactsTest::SetUp();
        signIn("1001", "teacher", "11,12");
    }
    std::shared_ptr<MVTLinkManListViewController> open() {
        list = std::make_shared<MVTLinkManListViewController>();
        list->setIspresent(true);
        showRoot(list);
        return list;
    }
    std::shared_ptr<MVTLinkManListViewController> list;
};

TEST_F(ContactListTest, AUsableCacheShowsWithoutARequest) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", reply()));
    open();
    ASSERT_TRUE(list->mytableview());
    EXPECT_EQ(list->sections().titleAt(1), "我的好友");
    driver->pump();
    EXPECT_TRUE(requestsTo("pm/1001/receivers/group/classify").empty());
}

TEST_F(ContactListTest, WithoutACacheTheListAsksOnceAndKeepsTheReply) {
    service().setReply("GET", "/services/norvo/pm/1001/receivers/group/classify", Reply::json(reply()));
    open();
    ASSERT_TRUE(waitFor([&] { return list->mytableview() != nullptr; }));
    EXPECT_EQ(requestsTo("pm/1001/receivers/group/classify").size(), 1u);
    EXPECT_EQ(ContactsCacheStore::readObject("1001"), reply());
    // 新的好友, 我的好友, 我的同事, 读书兴趣小组; all closed.
    EXPECT_EQ(list->sections().count(), 4u);
    for (const auto& flag : list->sections().flagArray) EXPECT_EQ(flag, 0);
}

TEST_F(ContactListTest, RepliesThatAreNoDictionaryAreNeitherWrittenNorUsed) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", reply()));
    open();
    const std::size_t sections = list->sections().count();
    std::string big(3u * 1024 * 1024, ' ');
    big.front() = '[';
    big.append("1]");
    for (const std::string& body : {std::string("[1,2]"), std::string("\"text\""), std::string("{not json"), big}) {
        service().setReply("GET", "/services/norvo/pm/1001/receivers/group/classify",
                           Reply::text(body, "application/json"));
        list->netGetData();
        ASSERT_TRUE(waitFor([&] { return !list->loading(); })) << body.substr(0, 10);
        EXPECT_EQ(ContactsCacheStore::readObject("1001"), reply());
        EXPECT_EQ(list->sections().count(), sections);
        platform::AlertView::clearVisible();
    }
}

TEST_F(ContactListTest, ACorruptCacheBuildsNothingAndAsksNothing) {
    ASSERT_TRUE(platform::writeFileAtomically(ContactsCacheStore::cachePath("1001"), "{\"friend\": [ broken"));
    open();
    driver->pump();
    EXPECT_FALSE(list->mytableview());
    EXPECT_TRUE(list->sections().empty());
    EXPECT_TRUE(requestsTo("pm/1001/receivers/group/classify").empty());
}

TEST_F(ContactListTest, AnEmptyOrNullCacheAsksTheService) {
    for (const std::string& text : {std::string(""), std::string("<null>")}) {
        service().clearRequests();
        ASSERT_TRUE(platform::writeFileAtomically(ContactsCacheStore::cachePath("1001"), text));
        service().setReply("GET", "/services/norvo/pm/1001/receivers/group/classify", Reply::json(reply()));
        open();
        ASSERT_TRUE(waitFor([&] { return list->mytableview() != nullptr; })) << text;
        EXPECT_EQ(requestsTo("pm/1001/receivers/group/classify").size(), 1u);
    }
}

TEST_F(ContactListTest, AsASearchSourceAServiceLoadPostsTwice) {
    service().setReply("GET", "/services/norvo/pm/1001/receivers/group/classify", Reply::json(reply()));
    auto source = std::make_shared<MVTLinkManListViewController>();
    source->setIsFormInreractionClick(true);
    source->setIsInteractionViewSearch(true);
    source->setSearchString("赵");
    auto posts = count(MVTLinkManListViewController::kSearchLinkManList);
    source->getData();
    ASSERT_TRUE(waitFor([&] { return posts->count == 2; }));
    driver->pump();
    EXPECT_EQ(posts->count, 2);
    EXPECT_EQ(requestsTo("pm/1001/receivers/group/classify").size(), 1u);
    ASSERT_EQ(source->linkManListSearchArray().size(), 1u);
    EXPECT_EQ(source->linkManListSearchArray()[0]["whereFrom"], "我的好友");
    // From the cache now: one post, no request.
    source->getData();
    EXPECT_EQ(posts->count, 3);
    EXPECT_EQ(requestsTo("pm/1001/receivers/group/classify").size(), 1u);
}

// A chained search (the forward picker) waits for the post: it comes, empty, on every
// outcome that brings no receiver list.
TEST_F(ContactListTest, AsASearchSourceEveryFailedLoadStillPostsAnEmptyResult) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
    };
    const std::string path = "/services/norvo/pm/1001/receivers/group/classify";
    const std::vector<Case> cases = {
        {"offline", [] { setOffline(); }},
        {"refused", [&] { service().setReply("GET", path, Reply::text("no", "text/plain", 500)); }},
        {"empty", [&] { service().setReply("GET", path, Reply::text("", "application/json")); }},
        {"no dictionary", [&] { service().setReply("GET", path, Reply::text("[1,2]", "application/json")); }},
    };
    for (const auto& c : cases) {
        platform::Reachability::setOverride(platform::ReachabilityState::viaWifi());
        std::filesystem::remove(ContactsCacheStore::cachePath("1001"));
        c.arrange();
        auto source = std::make_shared<MVTLinkManListViewController>();
        source->setIsFormInreractionClick(true);
        source->setIsInteractionViewSearch(true);
        source->setSearchString("赵");
        auto posts = count(MVTLinkManListViewController::kSearchLinkManList);
        source->getData();
        ASSERT_TRUE(waitFor([&] { return posts->count >= 1 && !source->loading(); })) << c.name;
        EXPECT_TRUE(source->linkManListSearchArray().empty()) << c.name;
        platform::AlertView::clearVisible();
    }
}

TEST_F(ContactListTest, HeadersOpenAndCloseTheirSection) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", reply()));
    open();
    auto& table = *list->mytableview();
    auto triangle = [&](int section) {
        auto header = list->viewForHeaderInSection(table, section);
        for (const auto& sub : header->subviews())
            if (!sub->accessibilityIdentifier().empty()) return sub->accessibilityIdentifier();
        return std::string();
    };
    EXPECT_EQ(list->numberOfRowsInSection(table, 1), 0);
    EXPECT_EQ(triangle(1), "tri2_03");
    platform::Button header;
    header.setTag(1);
    list->btnClick(header);
    EXPECT_EQ(list->numberOfRowsInSection(table, 1), 2);
    EXPECT_EQ(triangle(1), "tri_03");
    list->btnClick(header);
    EXPECT_EQ(list->numberOfRowsInSection(table, 1), 0);
    // The new-friends entry never opens.
    EXPECT_EQ(list->numberOfRowsInSection(table, 0), 0);
}

TEST_F(ContactListTest, ADeletedFriendLeavesTheFriendsSectionOnly) {
    Json withTwelve = reply();
    withTwelve["friend"].push_back({{"userId", 12}, {"name", "十二"}, {"role", "student"}});
    withTwelve["friend"].push_back({{"userId", 123}, {"name", "一二三"}, {"role", "student"}});
    withTwelve["teacher"].push_back({{"userId", 12}, {"name", "十二"}, {"role", "teacher"}});
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", withTwelve));
    open();
    ASSERT_EQ(list->sections().groupUserNum[1], "4");
    platform::NotificationCenter::defaultCenter().postNotification(
        MVTLinkManListViewController::kReceiversChanged, Json{{"name", "十二"}, {"role", "student"}, {"userId", "12"}});
    const Json& friends = list->sections().myFriendArray[1];
    ASSERT_EQ(friends.size(), 3u);
    // Exactly id 12: 123 stays, and so does the teacher section.
    EXPECT_EQ(list->sections().groupUserNum[1], "3");
    EXPECT_EQ(list->sections().myFriendArray[2].size(), 2u);
}

TEST_F(ContactListTest, WithoutAFriendsSectionADeletionRemovesNothing) {
    Json noFriends = reply();
    noFriends.erase("friend");
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", noFriends));
    open();
    platform::NotificationCenter::defaultCenter().postNotification(
        MVTLinkManListViewController::kReceiversChanged, Json{{"userId", 1002}});
    EXPECT_EQ(list->sections().myFriendArray[1].size(), 1u);
    EXPECT_EQ(list->sections().groupUserNum[1], " 1");
}

TEST_F(ContactListTest, ASearchShowsTheOverlayOrTheNoResultAlert) {
    ASSERT_TRUE(ContactsCacheStore::writeObject("1001", reply()));
    open();
    list->searchBarTextDidBeginEditing(*list->searchBar());
    ASSERT_TRUE(list->SearchListView());
    EXPECT_DOUBLE_EQ(list->SearchListView()->view()->backgroundColor().a, MVTSearchViewController::kVeilAlpha);
    list->searchBar()->setText("不存在");
    list->searchBarSearchButtonClicked(*list->searchBar());
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->message(), "没有找到该联系人");
    platform::AlertView::clearVisible();
    list->searchBar()->setText("李");
    list->searchBarSearchButtonClicked(*list->searchBar());
    ASSERT_EQ(list->SearchListView()->dataArray().size(), 1u);
    EXPECT_TRUE(driver->byText("来自: 读书兴趣小组"));
    list->cancelSearchBar();
    EXPECT_FALSE(list->SearchListView());
}

TEST_F(ContactListTest, AParentHasNoAddFriendButtonAndNoNewFriendsEntry) {
    signIn("3001", "parent");
    ASSERT_TRUE(ContactsCacheStore::writeObject("3001", reply()));
    open();
    EXPECT_FALSE(navigation->topViewController()->navigationItem().rightBarButtonItem());
    EXPECT_EQ(list->sections().titleAt(0), "我的好友");
}

}  // namespace
