// The class album against the sample service: recent photo pages and pulls, the album
// pages, praise replies, the reload after an upload, and replies of every wrong kind.
#include "AlbumFixture.h"

#include "albums/MVTAlbumDetalsViewController.h"
#include "albums/MVTClassAlbumViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;
using Album = MVTClassAlbumViewController;

namespace {

constexpr const char* kPostsPath = "feed/1001/list/1";
constexpr const char* kAlbumsPath = "class/1001/album/list";

class ClassAlbumTest : public testing_support::AlbumTest {
protected:
    std::shared_ptr<Album> open(const std::string& role = "teacher") {
        signIn(role);
        screen = showRoot(std::make_shared<Album>());
        return screen;
    }
    bool waitForPosts(std::size_t count) { return waitFor(kPostsPath, count, screen->view()); }
    bool waitForAlbums(std::size_t count) { return waitFor(kAlbumsPath, count, screen->view()); }
    std::string footer(const std::shared_ptr<Button>& button) const { return button ? button->currentTitle() : "(none)"; }
    void chooseAlbums() {
        screen->toChangePicOrAlbum(*std::static_pointer_cast<Button>(screen->segView()->viewWithTag(11)));
    }
    void pull() { screen->egoRefreshTableHeaderDidTriggerRefresh(*screen->picRefreshHeaderView()); }

    std::shared_ptr<Album> screen;
};

TEST_F(ClassAlbumTest, SamplePhotoPostsComeFifteenThenTheRestByTheLastId) {
    open();
    ASSERT_TRUE(waitForPosts(1));
    auto first = requestsTo(kPostsPath).back();
    EXPECT_EQ(first.queryValue("limit"), "15");
    EXPECT_EQ(first.queryValue("filter"), "type:class_album");
    EXPECT_FALSE(first.queryValue("maxIdNotIncludeSelf").has_value());
    ASSERT_EQ(screen->picDataArr().size(), 15u);
    EXPECT_EQ(footer(screen->picMoreBtn()), "点击加载更多");
    const std::string last = textOf(valueFor(*screen->picDataArr().back(), "id"));

    screen->getPicData();
    ASSERT_TRUE(waitForPosts(2));
    EXPECT_EQ(requestsTo(kPostsPath).back().queryValue("maxIdNotIncludeSelf"), last);
    // The teacher's two classes hold 18 photo posts; the class circle's own list has none of them.
    EXPECT_EQ(screen->picDataArr().size(), 18u);
    EXPECT_EQ(footer(screen->picMoreBtn()), "已加载全部");
    EXPECT_FALSE(screen->picMoreBtn()->isUserInteractionEnabled());
}

TEST_F(ClassAlbumTest, FootersOfRecentPhotosAndAlbumsFollowTheReplySize) {
    struct Case {
        Json posts;
        const char* postFooter;
        Json albums;
        const char* albumFooter;
    } cases[] = {
        {photoPosts(14, 100), "已加载全部", albumRecords(9, 1), "已加载全部"},
        {photoPosts(15, 100), "点击加载更多", albumRecords(10, 1), "点击加载更多"},
        {Json::array(), "没有相关内容", Json::array(), "没有相关内容"},
    };
    for (const Case& c : cases) {
        service().clearRequests();
        service().setReply("GET", servicePath(kPostsPath), Reply::json(c.posts));
        service().setReply("GET", servicePath(kAlbumsPath), Reply::json(c.albums));
        open();
        ASSERT_TRUE(waitForPosts(1));
        EXPECT_EQ(footer(screen->picMoreBtn()), c.postFooter);
        chooseAlbums();
        ASSERT_TRUE(waitForAlbums(1));
        EXPECT_EQ(footer(screen->albumMoreBtn()), c.albumFooter);
        EXPECT_EQ(screen->albumTableview()->numberOfRowsInSection(0), int((c.albums.size() + 1) / 2));
    }
}

TEST_F(ClassAlbumTest, WrongRepliesLeaveTheListsAsTheyWereAndTheAlbumsAskAgain) {
    const Reply wrong[] = {Reply::json({{"list", Json::array()}}), Reply::text("<html>busy</html>", "text/html"),
                           Reply::text("busy", "text/plain", 500), Reply::json(nullptr),
                           Reply::json(Json::array({{{"content", std::string(70u * 1024 * 1024, 'x')}}}))};
    for (const Reply& reply : wrong) {
        service().clearRequests();
        service().setReply("GET", servicePath(kPostsPath), reply);
        service().setReply("GET", servicePath(kAlbumsPath), reply);
        open();
        ASSERT_TRUE(waitForPosts(1));
        EXPECT_TRUE(screen->picDataArr().empty());
        EXPECT_FALSE(screen->picMoreBtn());
        chooseAlbums();
        ASSERT_TRUE(waitForAlbums(1));
        EXPECT_FALSE(screen->albumMoreBtn());
        // No album load has succeeded: choosing the segment again asks again.
        screen->toChangePicOrAlbum(*std::static_pointer_cast<Button>(screen->segView()->viewWithTag(10)));
        chooseAlbums();
        ASSERT_TRUE(waitForAlbums(2));
    }
}

TEST_F(ClassAlbumTest, APullPutsNewPostsFirstAndKeepsFifteenAtMost) {
    struct Case {
        int listed, fresh;
        std::size_t kept;
        const char* footer;
    } cases[] = {{30, 1, 15, "点击加载更多"}, {10, 3, 13, "已加载全部"}, {10, 0, 10, "已加载全部"}};
    for (const Case& c : cases) {
        service().clearRequests();
        Json listed = photoPosts(std::min(c.listed, 15), 100);
        service().setReply("GET", servicePath(kPostsPath), Reply::json(listed));
        open();
        ASSERT_TRUE(waitForPosts(1));
        if (c.listed > 15) {
            service().setReply("GET", servicePath(kPostsPath), Reply::json(photoPosts(c.listed - 15, 85)));
            screen->getPicData();
            ASSERT_TRUE(waitForPosts(2));
        }
        ASSERT_EQ(screen->picDataArr().size(), std::size_t(c.listed));
        service().setReply("GET", servicePath(kPostsPath), Reply::json(photoPosts(c.fresh, 200)));
        const std::size_t before = requestsTo(kPostsPath).size();
        pull();
        ASSERT_TRUE(waitForPosts(before + 1));
        EXPECT_EQ(requestsTo(kPostsPath).back().queryValue("minIdNotIncludeSelf"), "100");
        EXPECT_EQ(screen->picDataArr().size(), c.kept);
        EXPECT_EQ(footer(screen->picMoreBtn()), c.footer);
        if (c.fresh) {
            EXPECT_EQ(textOf(valueFor(*screen->picDataArr().front(), "id")), "200");
        }
    }
}

TEST_F(ClassAlbumTest, PraiseRepliesShowTheCountRemoveTheRowOrShowItPraised) {
    struct Case {
        Json reply;
        std::size_t rows;
        const char* count;
    } cases[] = {
        {{{"success", 1}, {"count", 7}}, 3, "7"},
        {{{"success", 0}, {"message", "该内容已被删除"}}, 2, nullptr},
        {{{"success", 0}, {"message", "已经赞过了，不能再赞了"}}, 3, "1"},
    };
    for (const Case& c : cases) {
        service().clearRequests();
        service().setReply("GET", servicePath(kPostsPath), Reply::json(photoPosts(3, 100)));
        service().setReply("GET", servicePath("user/1001/feed/99/praise"), Reply::json(c.reply));
        open();
        ASSERT_TRUE(waitForPosts(1));
        driver->pump();
        auto cell = std::dynamic_pointer_cast<MVTClassPicCell>(
            screen->picTableview()->cellForRowAtIndexPath(IndexPath::forRow(1, 0)));
        ASSERT_TRUE(cell);
        screen->sendPraisePicWith(*cell->praiseButton());
        ASSERT_TRUE(waitFor("user/1001/feed/99/praise", 1, screen->view()));
        EXPECT_EQ(screen->picDataArr().size(), c.rows);
        if (!c.count) continue;
        auto label = std::dynamic_pointer_cast<Label>(cell->praiseButton()->viewWithTag(MVTClassPicCell::kPraiseCountTag));
        EXPECT_EQ(label->text(), c.count);
        EXPECT_FALSE(cell->praiseButton()->isUserInteractionEnabled());
        EXPECT_EQ(textOf(valueFor(*screen->picDataArr()[1], "love")), "1");
        EXPECT_EQ(textOf(valueFor(*screen->picDataArr()[1], "likeCount")), c.count);
    }
}

TEST_F(ClassAlbumTest, AnUploadShowsTheRecentPhotosAndRefreshesThemLater) {
    open();
    ASSERT_TRUE(waitForPosts(1));
    chooseAlbums();
    ASSERT_TRUE(waitForAlbums(1));
    ASSERT_TRUE(screen->showsAlbums());
    NotificationCenter::defaultCenter().postNotification(Album::kReloadNotification);
    EXPECT_FALSE(screen->showsAlbums());
    driver->advance(0.7);
    EXPECT_EQ(requestsTo(kPostsPath).size(), 1u);
    driver->advance(0.2);
    ASSERT_TRUE(waitForPosts(2));
    EXPECT_TRUE(requestsTo(kPostsPath).back().queryValue("minIdNotIncludeSelf").has_value());
}

TEST_F(ClassAlbumTest, AlbumsOpenTheirGridAsSystemOrOrdinaryAlbums) {
    open();
    ASSERT_TRUE(waitForPosts(1));
    chooseAlbums();
    ASSERT_TRUE(waitForAlbums(1));
    // The sample teacher sees ten of the twelve albums on the first page; the first is the system one.
    ASSERT_EQ(screen->albumDataArr().size(), 10u);
    screen->goToAlbumDetailsWith("10");
    EXPECT_EQ(top(), screen);
    screen->goToAlbumDetailsWith("0");
    driver->settle();
    auto grid = std::dynamic_pointer_cast<MVTAlbumDetalsViewController>(top());
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->albumId(), "501");
    EXPECT_EQ(textOf(valueFor(*grid->albumDic(), "uid")), "-1");
}

}  // namespace
