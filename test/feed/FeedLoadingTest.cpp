#include "FeedFixture.h"

#include "platform/UserDefaults.h"
#include "platform/ui/Label.h"

using namespace platform;
using sample_service::Reply;

namespace {

class FeedLoadingTest : public testing_support::FeedTest {
protected:
    Json cached(int offset = 0) { return MVTtirraDataBase::selectDynamicData("1001", offset); }
    std::string message() const { return home->showCountLa() ? home->showCountLa()->text() : std::string(); }
};

TEST_F(FeedLoadingTest, TheCacheGivesPagesOfFifteenBeforeTheServiceIsAskedBelowTheOldestPost) {
    MVTtirraDataBase::insertDynamicWithArr(posts(120, 20), "1001");
    service().setReply("GET", listPath(), Reply::json(Json::array()));
    show();
    EXPECT_EQ(listedIds().size(), 15u);
    EXPECT_EQ(listedIds().front(), 120);
    settle();
    // The start's refresh asked for posts above the newest one.
    auto refresh = service().lastRequest(listPath());
    ASSERT_TRUE(refresh);
    EXPECT_EQ(refresh->queryValue("minIdNotIncludeSelf"), "120");
    EXPECT_TRUE(refresh->queryValue("dateline"));
    const auto before = requestsTo(listPath());

    home->getData();
    settle();
    EXPECT_EQ(listedIds().size(), 20u);
    EXPECT_EQ(requestsTo(listPath()), before);

    home->getData();
    ASSERT_TRUE(pumpUntil([&] { return requestsTo(listPath()) == before + 1; }));
    auto page = service().lastRequest(listPath());
    EXPECT_EQ(page->queryValue("maxIdNotIncludeSelf"), "101");
    EXPECT_EQ(page->queryValue("limit"), "15");
    EXPECT_FALSE(page->queryValue("minIdNotIncludeSelf"));
    EXPECT_FALSE(page->queryValue("filter"));
    settle();
    // The empty page ends the list: nothing more is asked for.
    EXPECT_FALSE(home->isLoading());
}

TEST_F(FeedLoadingTest, NewPostsAreCountedAndSixteenOrMoreDropTheUsersCache) {
    struct Case {
        const char* total;
        const char* message;
        bool cacheKept;
    };
    const Case cases[] = {{"15", "发现 15 条动态", true}, {"16", "发现 16 条新动态", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.total);
        MVTtirraDataBase::deleteDynamicWith("1001");
        MVTtirraDataBase::insertDynamicWithArr(posts(100, 15), "1001");
        Json reply = posts(116, 15);
        reply[0]["updateTime"] = "1767600100";
        reply[0]["totalCount"] = c.total;
        reply[0]["updateData"] = Json::array({{{"id", 100},
                                              {"commentCount", "7"},
                                              {"likeCount", "2"},
                                              {"love", "1"},
                                              {"likeUsers", "a,b"},
                                              {"comments", Json::array({{{"name", "a"}, {"content", "hi"}}})}}});
        service().setReply("GET", listPath(), Reply::json(reply));
        show();
        ASSERT_TRUE(pumpUntil([&] { return !listedIds().empty() && listedIds().front() == 116; }));
        EXPECT_EQ(listedIds().size(), 15u);
        EXPECT_EQ(message(), c.message);
        EXPECT_EQ(UserDefaults::standard().stringForKey("user:1001"), "1767600100");
        const Json older = cached(15);
        if (c.cacheKept) {
            ASSERT_EQ(older.size(), 15u);
            EXPECT_EQ(textOf(older[0], "id"), "100");
            EXPECT_EQ(textOf(older[0], "commentCount"), "7");
            EXPECT_EQ(older[0]["likeUsers"], Json::array({{{"name", "a"}, {"uid", ""}}, {{"name", "b"}, {"uid", ""}}}));
        } else {
            EXPECT_TRUE(older.empty());
        }
        settle();
    }
}

TEST_F(FeedLoadingTest, ChangedCountsMatchWholeIdsOnlyAndDoNotReReadTheCache) {
    Json list = Json::array({post(115), post(15), post(5)});
    MVTtirraDataBase::insertDynamicWithArr(list, "1001");
    // No new posts: the first element is no post and carries only the changes.
    Json reply = Json::array({{{"updateTime", "1767600200"},
                               {"updateData", Json::array({{{"id", 5},
                                                            {"commentCount", "4"},
                                                            {"likeCount", "1"},
                                                            {"love", "1"},
                                                            {"likeUsers", "<null>"},
                                                            {"comments", Json::array()}}})}}});
    service().setReply("GET", listPath(), Reply::json(reply));
    show();
    ASSERT_TRUE(pumpUntil([&] { return textOf(*home->dataArray()[2], "commentCount") == "4"; }));
    EXPECT_EQ(message(), "");
    EXPECT_EQ(textOf(*home->dataArray()[0], "commentCount"), "0");
    EXPECT_EQ(textOf(*home->dataArray()[1], "commentCount"), "0");
    EXPECT_EQ((*home->dataArray()[2])["likeUsers"], Json::array());
    const Json stored = cached();
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(textOf(stored[2], "commentCount"), "4");
    EXPECT_EQ(textOf(stored[1], "commentCount"), "0");
    EXPECT_EQ(stored[2]["likeUsers"], Json::array());

    // A comment for "15" goes to post 15, not 115.
    NotificationCenter::defaultCenter().postNotification(
        kCommentFormHomeNotification, Json::array({"15", {{"name", "王老师"}, {"content", "好"}}}));
    EXPECT_EQ(textOf(*home->dataArray()[1], "commentCount"), "1");
    EXPECT_EQ(textOf(*home->dataArray()[0], "commentCount"), "0");
    // A post deleted elsewhere: 5 goes, 15 and 115 stay, in the list and in the cache.
    NotificationCenter::defaultCenter().postNotification(MVTHomeViewController::kSynchronousDeleteFormHome,
                                                         {{"id", 5}});
    EXPECT_EQ(listedIds(), (std::vector<long long>{115, 15}));
    EXPECT_EQ(cached().size(), 2u);
}

TEST_F(FeedLoadingTest, MineIsAskedOfTheServiceATenthOfASecondLaterAndNeverCached) {
    MVTtirraDataBase::insertDynamicWithArr(posts(50, 3), "1001");
    service().setReply("GET", listPath(), Reply::json(Json::array()));
    show();
    settle();
    const auto before = requestsTo(listPath());
    Json mine = Json::array({post(48, "mine", "1001"), post(40, "mine too", "1001")});
    service().setReply("GET", listPath(), Reply::json(mine));
    home->toChangeSelecet(13);
    EXPECT_EQ(home->selectLa()->text(), "我的");
    EXPECT_EQ(requestsTo(listPath()), before);
    advance(0.1);
    ASSERT_TRUE(pumpUntil([&] { return listedIds() == std::vector<long long>{48, 40}; }));
    auto request = service().lastRequest(listPath());
    EXPECT_EQ(request->queryValue("filter"), "user:me");
    EXPECT_FALSE(request->queryValue("maxIdNotIncludeSelf"));
    EXPECT_EQ(requestsTo(listPath()), before + 1);
    EXPECT_TRUE(home->isSeleted());
    EXPECT_EQ(cached().size(), 3u);
    settle();

    // A refresh of "我的" sends the filter, not the refresh time.
    home->getNewData();
    ASSERT_TRUE(pumpUntil([&] { return requestsTo(listPath()) == before + 2; }));
    auto refresh = service().lastRequest(listPath());
    EXPECT_EQ(refresh->queryValue("filter"), "user:me");
    EXPECT_EQ(refresh->queryValue("minIdNotIncludeSelf"), "48");
    EXPECT_FALSE(refresh->queryValue("dateline"));
    settle();
    // Back to the class circle: the cached list again.
    home->toChangeSelecet(10);
    EXPECT_EQ(listedIds(), (std::vector<long long>{50, 49, 48}));
    EXPECT_FALSE(home->isSeleted());
}

TEST_F(FeedLoadingTest, RepliesThatAreNoListOfPostsChangeNothingAndEndTheLoad) {
    const std::pair<const char*, Reply> cases[] = {
        {"object", Reply::json({{"success", 0}})},
        {"text", Reply::text("hello", "text/plain")},
        {"non-JSON", Reply::text("[{\"id\": 3,", "application/json")},
        {"error status", Reply::json(posts(90, 2), 500)},
        {"huge", Reply::text(std::string(MVTHomeViewController::kMaxReplyBytes + 10, ' '), "application/json")},
    };
    MVTtirraDataBase::insertDynamicWithArr(posts(80, 2), "1001");
    service().setReply("GET", listPath(), Reply::json(Json::array()));
    show();
    settle();
    for (const auto& [name, reply] : cases) {
        SCOPED_TRACE(name);
        service().setReply("GET", listPath(), reply);
        // A refresh of the listed posts.
        const auto before = requestsTo(listPath());
        home->getNewData();
        ASSERT_TRUE(pumpUntil([&] { return requestsTo(listPath()) == before + 1; }));
        settle(3);
        EXPECT_FALSE(home->isReloading());
        EXPECT_EQ(listedIds(), (std::vector<long long>{80, 79}));
        EXPECT_EQ(cached().size(), 2u);
        // A next page: the load-more row offers a retry.
        home->againGetListData();
        ASSERT_TRUE(pumpUntil([&] { return requestsTo(listPath()) == before + 2; }));
        settle(3);
        EXPECT_TRUE(home->isFalse());
        EXPECT_FALSE(home->isLoading());
        EXPECT_EQ(listedIds(), (std::vector<long long>{80, 79}));
        EXPECT_EQ(cached().size(), 2u);
    }
    EXPECT_EQ(MVTAppDelegate::sharedAppDelegate()->netWorkLa()->text(), "请求失败,请稍后再试");
}

TEST_F(FeedLoadingTest, PostsOfOddShapesAreListedWithoutHarm) {
    Json reply = Json::array({
        {{"id", 9}},
        {{"id", "8"}, {"content", 5}, {"likeUsers", "x"}, {"comments", {{"a", 1}}}, {"attachments", "none"},
         {"vote", Json::array({1})}, {"share", "s"}, {"activity", {{"id", 1}}}, {"uid", nullptr},
         {"commentCount", nullptr}, {"lesson", {{"courseName", 3}}}, {"links", Json::array({1, "x"})}},
        {{"id", 7}, {"attachments", Json::array({5, {{"type", "image"}}, {{"type", "audio"}}, {{"type", 3}}})},
         {"likeUsers", Json::array({5, Json::object(), "名字"})}, {"comments", Json::array({"c", {{"attachmentList", 1}}})}},
        3,
        "text",
        nullptr,
    });
    service().setReply("GET", listPath(), Reply::json(reply));
    show();
    ASSERT_TRUE(pumpUntil([&] { return listedIds().size() == 3; }));
    settle();
    // Every row was drawn: three posts and the load-more row.
    EXPECT_EQ(home->myTable()->numberOfRowsInSection(MVTHomeViewController::kPostSection), 4);
    EXPECT_TRUE(home->cellAtRow(0));
    EXPECT_EQ(cached().size(), 3u);
}

TEST_F(FeedLoadingTest, AFirstPageOnItsWayIsNotAskedForASecondTime) {
    // The first page comes late; pages below it are empty.
    service().route("GET", "services/norvo/feed/%@/list/1", [](const sample_service::RecordedRequest& request) {
        if (request.queryValue("maxIdNotIncludeSelf")) return Reply::json(Json::array());
        Reply reply = Reply::json(Json::array({Json{{"id", 3}, {"content", "a"}}, Json{{"id", 2}, {"content", "b"}}}));
        reply.delay = 0.3;
        return reply;
    });
    show();
    ASSERT_TRUE(pumpUntil([&] { return requestsTo(listPath()) == 1; }));
    // What a view change or a pull asks for while the list is still empty.
    home->getNewData();
    home->reloadTableViewDataSource();
    ASSERT_TRUE(pumpUntil([&] { return listedIds().size() == 2; }));
    settle();
    // The first page once, then the (empty) page below it.
    size_t firstPages = 0;
    for (const auto& request : service().requests())
        if (request.path == listPath() && !request.queryValue("maxIdNotIncludeSelf") && !request.queryValue("filter"))
            ++firstPages;
    EXPECT_EQ(firstPages, 1u);
    EXPECT_EQ(listedIds(), (std::vector<long long>{3, 2}));
}

TEST_F(FeedLoadingTest, TheTabBarsReloadButtonRestsFromEachLoadToTheEndOfItsClosingAnimation) {
    MVTtirraDataBase::insertDynamicWithArr(posts(115, 15), "1001");
    service().setReply("GET", listPath(), Reply::json(Json::array()));
    home = std::make_shared<MVTHomeViewController>();
    auto tabs = std::make_shared<MyTabBarController>();
    tabs->addMyitems();
    std::vector<std::shared_ptr<ViewController>> stacks{myNavigationController::withRoot(home)};
    for (int i = 1; i < 5; ++i) stacks.push_back(myNavigationController::withRoot(std::make_shared<ViewController>()));
    tabs->setViewControllers(stacks);
    tabs->setSelectedIndex(0);
    driver->show(tabs);
    settle();
    auto reload = tabs->reloadDynamicBtn();
    ASSERT_TRUE(reload);
    EXPECT_TRUE(reload->isUserInteractionEnabled());

    struct Case {
        const char* name;
        Reply reply;
    };
    Reply late = Reply::json(posts(117, 2));
    late.delay = 0.3;
    Reply failed = Reply::text("busy", "text/plain", 500);
    failed.delay = 0.3;
    const Case cases[] = {{"new posts", late}, {"a failed refresh", failed}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = requestsTo(listPath());
        service().setReply("GET", listPath(), c.reply);
        home->reloadNewData();
        EXPECT_FALSE(reload->isUserInteractionEnabled());
        // Answered and handled, the closing animation still to run: still resting.
        ASSERT_TRUE(pumpUntil([&] {
            BackgroundQueue::shared().waitIdle();
            return requestsTo(listPath()) == before + 1 && HttpEngine::shared().activeCount() == 0 &&
                   !RunLoop::main().hasPendingTasks();
        }));
        advance(0.6);
        EXPECT_FALSE(reload->isUserInteractionEnabled());
        settle();
        EXPECT_TRUE(reload->isUserInteractionEnabled());
    }
    EXPECT_EQ(listedIds().front(), 117);
    tabs->clearNotif();
}

TEST_F(FeedLoadingTest, AnEmptyFirstPageSaysSoAndOfflineListsNothing) {
    service().setReply("GET", listPath(), Reply::json(Json::array()));
    show();
    settle();
    EXPECT_TRUE(listedIds().empty());
    EXPECT_EQ(home->myTable()->numberOfRowsInSection(MVTHomeViewController::kPostSection), 0);
    EXPECT_EQ(MVTAppDelegate::sharedAppDelegate()->netWorkLa()->text(), "暂时没有数据");
}

TEST_F(FeedLoadingTest, TheLocalRefreshTimeIsTheMillisecondTimeCutToTenDigits) {
    clock_->set(1767600123.456);
    EXPECT_EQ(MVTHomeViewController::getNowRefreshTime(), "1767600123");
}

}  // namespace
