// The campus news channels and articles and the discussion channels against the sample
// service: what a reply with rows, an empty reply and a failed one leave on screen, the
// article rows and pages, thread paging, the thread rows and pages, and bad replies.
#include "NoticeFixture.h"

#include "notices/MVTChannelListViewController.h"
#include "notices/MVTSubscriptionListViewController.h"
#include "notices/MVTSubscriptionViewController.h"
#include "shell/MVTWebViewController.h"
#include "shell/myTableView.h"

#include "core/ServiceAddress.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/WebView.h"

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

class NewsChannelsTest : public testing_support::NoticeTest {
protected:
    void SetUp() override {
        NoticeTest::SetUp();
        signIn("teacher");
    }
    // Waits until the screen's request is answered and its overlay is gone.
    // The requests went out and the last one's reply has been handled (the article list
    // loads without an overlay to wait for).
    bool settled(const std::shared_ptr<NewsListScreen>& screen, const std::string& path, std::size_t count) {
        return waitForRequests(path, count, screen->view()) && pumpUntil([&] { return !screen->requestInFlight(); });
    }
    std::shared_ptr<MVTSubscriptionViewController> openChannels() {
        auto screen = showRoot(std::make_shared<MVTSubscriptionViewController>());
        EXPECT_TRUE(settled(screen, "rss/1001/list", 1));
        return screen;
    }
    std::shared_ptr<MVTChannelListViewController> openThreads(const std::string& kind) {
        auto screen = std::make_shared<MVTChannelListViewController>();
        screen->setTypeString(kind);
        threads = showRoot(screen);
        EXPECT_TRUE(pumpUntil([&] { return !threads->isLoading(); }));
        return threads;
    }
    std::vector<RecordedRequest> threadRequests() { return requestsTo("1001/bbs/thread/list"); }
    // What the table does when the last row comes on screen.
    void showLastThread(bool wait = true) {
        const int last = int(threads->dataArr().size()) - 1;
        auto cell = threads->cellForRowAtIndexPath(*threads->mytableview(), {0, last});
        threads->willDisplayCell(*threads->mytableview(), *cell, {0, last});
        if (wait) {
            EXPECT_TRUE(pumpUntil([&] { return !threads->isLoading(); }));
        }
    }
    std::string rowText(const std::shared_ptr<NewsListScreen>& screen, int row, int tag) {
        auto cell = screen->cellForRowAtIndexPath(*screen->mytableview(), {0, row});
        auto label = std::dynamic_pointer_cast<Label>(cell->contentView()->viewWithTag(tag));
        return label ? label->text() : "(no label)";
    }
    bool labelShown(const std::shared_ptr<MVTSubscriptionViewController>& screen) {
        return screen->movieInfoLabel() && screen->movieInfoLabel()->superview() == screen->view() &&
               screen->movieInfoLabel()->text() == "暂无数据";
    }
    void clearBanner() {
        if (auto banner = app->netWorkLa()) {
            banner->removeFromSuperview();
            banner->setAlpha(0);
        }
    }
    std::shared_ptr<MVTWebViewController> presentedPage(const std::shared_ptr<ViewController>& opener) {
        auto presented = std::dynamic_pointer_cast<NavigationController>(opener->presentedViewController());
        return presented ? std::dynamic_pointer_cast<MVTWebViewController>(presented->topViewController()) : nullptr;
    }

    std::shared_ptr<MVTChannelListViewController> threads;
};

TEST_F(NewsChannelsTest, AChannelOpensItsArticlesWhoseRowsAreOneLineAndWhosePageIsShared) {
    auto channels = openChannels();
    EXPECT_EQ(channels->title(), "校园资讯");
    ASSERT_EQ(channels->dataArr().size(), 3u);
    ASSERT_TRUE(channels->mytableview());
    EXPECT_FALSE(labelShown(channels));

    channels->didSelectRowAtIndexPath(*channels->mytableview(), {0, 0});
    auto articles = std::dynamic_pointer_cast<MVTSubscriptionListViewController>(top());
    ASSERT_TRUE(articles);
    EXPECT_EQ(articles->title(), "校园新闻");
    EXPECT_EQ(articles->rssId(), "301");
    ASSERT_TRUE(settled(articles, "rss/301/content/list", 1));
    ASSERT_EQ(articles->dataArr().size(), 3u);

    // The line break of the first description and the tab of the second title are gone.
    EXPECT_EQ(rowText(articles, 0, MVTSubscriptionListViewController::kDescriptionTag),
              "四月十日，全校师生在操场上举行了春季运动会，各班同学踊跃参赛。");
    EXPECT_EQ(rowText(articles, 1, MVTSubscriptionListViewController::kTitleTag), "新图书馆正式开放");
    // The third article has no picture: the placeholder stays and nothing is asked.
    auto cell = articles->cellForRowAtIndexPath(*articles->mytableview(), {0, 2});
    auto picture = std::dynamic_pointer_cast<ImageView>(
        cell->contentView()->viewWithTag(MVTSubscriptionListViewController::kPictureTag));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->image(), Image::imageNamed("171"));

    articles->didSelectRowAtIndexPath(*articles->mytableview(), {0, 0});
    auto page = presentedPage(articles);
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->isNeedToShare());
    EXPECT_TRUE(page->isFromHomeView());
    EXPECT_EQ(textOf(page->myDict(), "title"), "我校举行春季运动会");
    EXPECT_EQ(textOf(page->myDict(), "link"), service().baseUrl() + "news/article/n1");
    EXPECT_EQ(textOf(page->myDict(), "image"), service().baseUrl() + "news/pictures/article-3.png");
    ASSERT_TRUE(page->web());
    EXPECT_EQ(page->web()->request().url(), service().baseUrl() + "news/article/n1");
    page->dismissViewController(false);
    driver->pump();

    // Back to the channels: their rows as they were, without another request.
    articles->goback();
    driver->pump();
    EXPECT_EQ(top(), channels);
    EXPECT_EQ(channels->dataArr().size(), 3u);
    EXPECT_EQ(requestsTo("rss/1001/list").size(), 1u);
}

TEST_F(NewsChannelsTest, AnEmptyFirstReplyShowsOnlyTheLabelAndRowsLaterTakeItAway) {
    service().setReply("GET", "/services/norvo/rss/1001/list", Reply::json(Json::array()));
    auto channels = openChannels();
    EXPECT_TRUE(labelShown(channels));
    EXPECT_FALSE(channels->mytableview());

    service().clearReplies();
    channels->initDataArray();
    ASSERT_TRUE(settled(channels, "rss/1001/list", 2));
    EXPECT_FALSE(channels->movieInfoLabel()->superview());
    ASSERT_TRUE(channels->mytableview());
    EXPECT_EQ(channels->dataArr().size(), 3u);

    // An empty refresh lays the label over the rows it keeps, and the pull ends.
    service().setReply("GET", "/services/norvo/rss/1001/list", Reply::json(Json::array()));
    channels->reloadTableViewDataSource();
    EXPECT_TRUE(channels->reloading());
    ASSERT_TRUE(settled(channels, "rss/1001/list", 3));
    EXPECT_TRUE(labelShown(channels));
    EXPECT_EQ(channels->dataArr().size(), 3u);
    EXPECT_FALSE(channels->reloading());
}

TEST_F(NewsChannelsTest, AFailedFirstLoadLeavesAnEmptyTableThatCanBePulledAgain) {
    const std::vector<Reply> failures = {
        Reply::text("busy", "text/plain", 500),
        Reply::text("<html>not json</html>", "text/html"),
        Reply::json({{"list", Json::array({{{"name", "x"}}})}}),
        Reply::json(Json::array({1, "two"})),
        Reply::text(std::string(3 * 1024 * 1024, '['), "application/json"),
    };
    std::size_t asked = 0;
    for (const auto& failure : failures) {
        service().setReply("GET", "/services/norvo/rss/1001/list", failure);
        auto channels = openChannels();
        asked = requestsTo("rss/1001/list").size();
        ASSERT_TRUE(channels->mytableview()) << failure.body.substr(0, 40);
        EXPECT_TRUE(channels->dataArr().empty());
        EXPECT_FALSE(labelShown(channels));
        EXPECT_FALSE(driver->alert());

        service().clearReplies();
        channels->reloadTableViewDataSource();
        ASSERT_TRUE(settled(channels, "rss/1001/list", asked + 1));
        EXPECT_EQ(channels->dataArr().size(), 3u);
    }

    // No network: the banner, the overlay gone, nothing else.
    Reachability::setOverride(ReachabilityState::offline());
    auto channels = showRoot(std::make_shared<MVTSubscriptionViewController>());
    ASSERT_TRUE(pumpUntil([&] { return bannerText() == "没有网络,请检查网络连接"; }));
    auto hud = ProgressHUD::HUDForView(channels->view());
    EXPECT_TRUE(!hud || !hud->isShowing());
    EXPECT_FALSE(channels->mytableview());
}

TEST_F(NewsChannelsTest, TwentyFiveTeacherThreadsComeInAFullPageAndAShortOne) {
    openThreads("teacherChannel");
    EXPECT_EQ(threads->title(), "教师频道");
    ASSERT_EQ(threads->dataArr().size(), 20u);
    EXPECT_TRUE(threads->isHaveMore());
    EXPECT_EQ(threads->currentPage(), 2);
    ASSERT_EQ(threadRequests().size(), 1u);
    EXPECT_EQ(threadRequests()[0].queryValue("limit"), "20");
    EXPECT_EQ(threadRequests()[0].queryValue("page"), "1");
    EXPECT_EQ(threadRequests()[0].queryValue("type"), "teacher");

    showLastThread();
    ASSERT_EQ(threadRequests().size(), 2u);
    EXPECT_EQ(threadRequests()[1].queryValue("page"), "2");
    EXPECT_EQ(threads->dataArr().size(), 25u);
    EXPECT_FALSE(threads->isHaveMore());
    EXPECT_EQ(textOf(threads->dataArr()[20], "subject"), "教学反思如何写");

    showLastThread();
    driver->pump();
    EXPECT_EQ(threadRequests().size(), 2u);
}

TEST_F(NewsChannelsTest, AnEmptyPageAfterAFullOneAndAnEmptyRefreshKeepTheRows) {
    bool empty = false;
    service().route("GET", "services/norvo/%@/bbs/thread/list", [&](const RecordedRequest& r) {
        Json rows = Json::array();
        if (r.queryValue("page") == "1" && !empty)
            for (int i = 0; i < 20; ++i) rows.push_back({{"tid", 10 + i}, {"subject", "话题"}});
        return Reply::json(rows);
    });
    openThreads("teacherChannel");
    ASSERT_EQ(threads->dataArr().size(), 20u);
    showLastThread();
    EXPECT_EQ(threadRequests().back().queryValue("page"), "2");
    EXPECT_EQ(threads->dataArr().size(), 20u);
    EXPECT_EQ(threads->currentPage(), 2);
    EXPECT_FALSE(threads->isHaveMore());
    showLastThread();
    EXPECT_EQ(threadRequests().size(), 2u);

    empty = true;
    threads->reloadTableViewDataSource();
    ASSERT_TRUE(pumpUntil([&] { return threadRequests().size() == 3 && !threads->isLoading(); }));
    EXPECT_EQ(threadRequests().back().queryValue("page"), "1");
    EXPECT_EQ(threads->dataArr().size(), 20u);
    advance(MVTChannelListViewController::kEndPullDelay);
    EXPECT_TRUE(pumpUntil([&] { return !threads->reloading(); }));
}

TEST_F(NewsChannelsTest, TheParentChannelByAnyOtherKindWithItsAnonymousAuthorAndMissingReplies) {
    for (const std::string kind : {"parentChannel", ""}) {
        openThreads(kind);
        EXPECT_EQ(threads->title(), "家长频道");
        EXPECT_EQ(threadRequests().back().queryValue("type"), "parent");
        ASSERT_EQ(threads->dataArr().size(), 8u);
        EXPECT_FALSE(threads->isHaveMore());
    }
    EXPECT_EQ(rowText(threads, 0, MVTChannelListViewController::kAuthorTag), "李明家长");
    EXPECT_EQ(rowText(threads, 2, MVTChannelListViewController::kAuthorTag), "匿名");
    EXPECT_EQ(rowText(threads, 4, MVTChannelListViewController::kRepliesTag), "12");
    EXPECT_EQ(rowText(threads, 5, MVTChannelListViewController::kRepliesTag), "0");
    struct Case {
        Json author;
        std::string shown;
    };
    for (const auto& c : std::vector<Case>{{nullptr, "匿名"}, {"", "匿名"}, {"<null>", "匿名"}, {"(null)", "匿名"},
                                           {"王老师", "王老师"}, {7, "7"}}) {
        EXPECT_EQ(MVTChannelListViewController::authorOf({{"author", c.author}}), c.shown) << c.author.dump();
    }
    EXPECT_EQ(MVTChannelListViewController::authorOf(Json::object()), "匿名");
}

TEST_F(NewsChannelsTest, AThreadOpensItsPageOnTheServerWithoutShare) {
    openThreads("teacherChannel");
    threads->didSelectRowAtIndexPath(*threads->mytableview(), {0, 1});
    auto page = presentedPage(threads);
    ASSERT_TRUE(page);
    EXPECT_FALSE(page->isNeedToShare());
    EXPECT_TRUE(page->isFromHomeView());
    EXPECT_EQ(textOf(page->myDict(), "tid"), "4101");
    ASSERT_TRUE(page->web());
    EXPECT_EQ(page->web()->request().url(), ServiceAddress::baseUrl() + "forum/bbs/thread/4101/index");
    EXPECT_TRUE(pumpUntil([&] { return page->webTitle() == "关于集体备课的建议"; }));
}

TEST_F(NewsChannelsTest, BadThreadRepliesShowTheFailureBannerAndKeepRowsAndPage) {
    openThreads("teacherChannel");
    const std::vector<Reply> replies = {
        Reply::text("<html>busy</html>", "text/html"),
        Reply::json({{"list", Json::array()}}),
        Reply::json(Json::array({1, 2, 3})),
        Reply::json(Json::array(), 500),
        Reply::text(std::string(3 * 1024 * 1024, '['), "application/json"),
    };
    for (const auto& reply : replies) {
        service().setReply("GET", "/services/norvo/1001/bbs/thread/list", reply);
        showLastThread();
        EXPECT_EQ(bannerText(), "请求失败,请稍后再试");
        EXPECT_EQ(threads->dataArr().size(), 20u);
        EXPECT_EQ(threads->currentPage(), 2);
        EXPECT_TRUE(threads->isHaveMore());
        clearBanner();
    }
    // A failed pull ends 0.1 s later.
    threads->reloadTableViewDataSource();
    EXPECT_TRUE(pumpUntil([&] { return !threads->isLoading(); }));
    EXPECT_TRUE(threads->reloading());
    advance(MVTChannelListViewController::kFailedPullDelay);
    EXPECT_TRUE(pumpUntil([&] { return !threads->reloading(); }));
    clearBanner();

    Reachability::setOverride(ReachabilityState::offline());
    showLastThread();
    EXPECT_EQ(bannerText(), "没有网络,请检查网络连接");
    EXPECT_EQ(threads->dataArr().size(), 20u);
}

TEST_F(NewsChannelsTest, APullWhileAPageIsOnItsWayIsDropped) {
    openThreads("teacherChannel");
    Reply slow = Reply::json(Json::array({{{"tid", 1}, {"subject", "慢"}}}));
    slow.delay = 0.5;
    service().setReply("GET", "/services/norvo/1001/bbs/thread/list", slow);
    showLastThread(false);
    ASSERT_TRUE(threads->isLoading());
    threads->reloadTableViewDataSource();
    EXPECT_FALSE(threads->reloading());
    EXPECT_EQ(threads->currentPage(), 2);
    ASSERT_TRUE(pumpUntil([&] { return !threads->isLoading(); }));
    // The late page is appended as page 2, not taken for a new page 1.
    EXPECT_EQ(threads->dataArr().size(), 21u);
    EXPECT_EQ(threadRequests().size(), 2u);
}

}  // namespace
