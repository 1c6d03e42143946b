// The group album list: pages by the last id with a footer threshold of 10, refreshes,
// delete rights and replies, what an opened album is given, and listening again after a
// later visit.
#include "AlbumFixture.h"

#include "albums/MVTAlbumDetalsViewController.h"
#include "albums/MVTCreateAlbumViewController.h"
#include "albums/MVTGroupPhotosViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/Button.h"

using namespace platform;
using sample_service::Reply;
using Groups = MVTGroupPhotosViewController;

namespace {

constexpr const char* kListPath = "forum/1001/31/41/album/list";

Json groupAlbums(int count, int first, const std::string& uid = "2001") {
    Json albums = Json::array();
    for (int i = 0; i < count; ++i)
        albums.push_back({{"id", first + i}, {"uid", uid}, {"name", "群相册" + std::to_string(first + i)}});
    return albums;
}

class GroupAlbumsTest : public testing_support::AlbumTest {
protected:
    std::shared_ptr<Groups> open(const std::string& manager, const Json& albums) {
        service().setReply("GET", servicePath(kListPath), Reply::json({{"list", albums}}));
        signIn("teacher");
        screen = std::make_shared<Groups>();
        screen->setForumId("31");
        screen->setFieldId("41");
        screen->setIsmanager(manager);
        showPushed(screen);
        EXPECT_TRUE(waitFor(kListPath, requests + 1, screen->view()));
        ++requests;
        return screen;
    }
    std::string footer() const { return screen->albumMoreBtn() ? screen->albumMoreBtn()->currentTitle() : "(none)"; }
    int rows() { return screen->numberOfRowsInSection(*screen->albumTableview(), 0); }

    std::shared_ptr<Groups> screen;
    std::size_t requests = 0;
};

TEST_F(GroupAlbumsTest, FootersAndRowsFollowTheCountWithAThresholdOfTen) {
    struct Case {
        int count;
        int rows;
        const char* footer;
        bool reacts;
    } cases[] = {{12, 6, "点击加载更多", true}, {10, 5, "点击加载更多", true}, {9, 5, "已加载全部", false},
                 {7, 4, "已加载全部", false}, {0, 0, "没有相关内容", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        open("0", groupAlbums(c.count, 1));
        EXPECT_EQ(requestsTo(kListPath).back().queryValue("limit"), "15");
        EXPECT_FALSE(requestsTo(kListPath).back().queryValue("maxIdNotIncludeSelf").has_value());
        EXPECT_EQ(rows(), c.rows);
        EXPECT_EQ(footer(), c.footer);
        EXPECT_EQ(screen->albumMoreBtn()->isUserInteractionEnabled(), c.reacts);
    }
}

TEST_F(GroupAlbumsTest, TheNextPageAsksAfterTheLastIdAndARefreshReplacesTheList) {
    open("0", groupAlbums(12, 1));
    service().setReply("GET", servicePath(kListPath), Reply::json({{"list", Json::array()}}));
    screen->getAlbumData();
    ASSERT_TRUE(waitFor(kListPath, 2, screen->view()));
    EXPECT_EQ(requestsTo(kListPath).back().queryValue("maxIdNotIncludeSelf"), "12");
    EXPECT_EQ(screen->albumDataArr().size(), 12u);
    EXPECT_EQ(footer(), "已加载全部");

    // Replies of the wrong shape add nothing and leave the footer ready to try again.
    for (const Reply& bad : {Reply::json(Json::array({1})), Reply::text("oops"), Reply::json({{"list", nullptr}}, 500)}) {
        service().setReply("GET", servicePath(kListPath), bad);
        screen->getAlbumData();
        ASSERT_TRUE(waitFor(kListPath, requestsTo(kListPath).size(), screen->view()));
        driver->pump();
        EXPECT_EQ(screen->albumDataArr().size(), 12u);
    }
    EXPECT_EQ(footer(), "点击加载更多");

    service().setReply("GET", servicePath(kListPath), Reply::json({{"list", Json::array()}}));
    screen->egoRefreshTableHeaderDidTriggerRefresh(*std::make_shared<EGORefreshTableHeaderView>());
    EXPECT_TRUE(screen->reloading());
    ASSERT_TRUE(waitFor(kListPath, requestsTo(kListPath).size(), screen->view()));
    driver->advance(0.6);
    EXPECT_TRUE(screen->albumDataArr().empty());
    EXPECT_EQ(footer(), "没有相关内容");
    EXPECT_FALSE(screen->reloading());

    // Offline: nothing is sent and the header comes back to rest.
    Reachability::setOverride(ReachabilityState::offline());
    const auto before = requestsTo(kListPath).size();
    screen->reloadTableViewDataSource();
    driver->advance(0.6);
    EXPECT_EQ(requestsTo(kListPath).size(), before);
    EXPECT_FALSE(screen->reloading());
    EXPECT_EQ(footer(), "点击加载更多");
}

TEST_F(GroupAlbumsTest, DeleteRightsFollowTheMemberTypeAndTheSystemAlbumIsKept) {
    Json albums = groupAlbums(1, 1, "-1");
    for (auto& a : groupAlbums(1, 2, "1001")) albums.push_back(a);
    for (auto& a : groupAlbums(1, 3, "2001")) albums.push_back(a);
    struct Case {
        const char* manager;
        int index;
        const char* alert;
    } cases[] = {{"2", 0, "提示"},      {"0", 0, "提示"},         {"0", 2, "(none)"},
                 {"0", 1, "确定要删除相册:"}, {"1", 2, "确定要删除相册:"}, {"2", 2, "确定要删除相册:"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.manager) + " " + std::to_string(c.index));
        AlertView::clearVisible();
        open(c.manager, albums);
        screen->deleteAlbum(std::to_string(c.index));
        EXPECT_EQ(driver->alert() ? driver->alert()->title() : "(none)", c.alert);
    }
    EXPECT_EQ(driver->alert()->message(), "群相册3");
    // Indexes past the list are ignored.
    AlertView::clearVisible();
    screen->deleteAlbum("3");
    screen->deleteAlbum("-1");
    EXPECT_FALSE(driver->alert());
}

TEST_F(GroupAlbumsTest, OnlyATrueSuccessRemovesTheAlbum) {
    const std::string path = "forum/1001/31/41/album/3/remove";
    struct Case {
        Reply reply;
        std::size_t left;
        const char* alert;
    } cases[] = {{Reply::json({{"success", 0}, {"msg", "无权删除"}}), 4, "删除相册失败"},
                 {Reply::json({{"msg", "不存在"}}), 4, "删除相册失败"},
                 {Reply::json(Json::array()), 4, "删除相册失败"},
                 {Reply::json({{"success", "1"}}), 3, "(none)"}};
    for (const auto& c : cases) {
        AlertView::clearVisible();
        open("1", groupAlbums(4, 1));
        service().setReply("GET", servicePath(path), c.reply);
        screen->deleteAlbum("2");
        driver->pressAlertButton(1);
        ASSERT_TRUE(waitFor(path, requestsTo(path).size() ? requestsTo(path).size() : 1, screen->view()));
        driver->settle();
        EXPECT_EQ(screen->albumDataArr().size(), c.left);
        EXPECT_EQ(driver->alert() ? driver->alert()->title() : "(none)", c.alert);
    }
    // The later albums moved one place back.
    EXPECT_EQ(textOf(screen->albumDataArr()[2], "id"), "4");
}

TEST_F(GroupAlbumsTest, AnOpenedAlbumIsInGroupModeWithTheRightManagerText) {
    Json albums = groupAlbums(1, 1, "1001");
    for (auto& a : groupAlbums(1, 2, "-1")) albums.push_back(a);
    open("0", albums);
    screen->goToAlbumDetailsWith("0");
    driver->settle();
    auto grid = std::dynamic_pointer_cast<MVTAlbumDetalsViewController>(top());
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->ismanagerStr(), "3");
    EXPECT_EQ(grid->forumId(), "31");
    EXPECT_EQ(grid->fieldId(), "41");
    EXPECT_FALSE(grid->isSysteam());
    navigation->popViewController(false);
    screen->goToAlbumDetailsWith("1");
    driver->settle();
    grid = std::dynamic_pointer_cast<MVTAlbumDetalsViewController>(top());
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->ismanagerStr(), "0");
    EXPECT_TRUE(grid->isSysteam());
}

TEST_F(GroupAlbumsTest, PlusCreatesAGroupAlbumAndTheListListensAgainOnALaterVisit) {
    open("0", groupAlbums(2, 1));
    driver->tap(screen->selectBtn());
    driver->settle();
    auto create = std::dynamic_pointer_cast<MVTCreateAlbumViewController>(top());
    ASSERT_TRUE(create);
    EXPECT_EQ(create->forumId(), "31");
    EXPECT_EQ(create->fieldId(), "41");
    navigation->popViewController(false);

    screen->goback();
    driver->settle();
    EXPECT_FALSE(screen->observing());
    navigation->pushViewController(screen, false);
    driver->settle();
    EXPECT_TRUE(screen->observing());
    const auto before = requestsTo(kListPath).size();
    NotificationCenter::defaultCenter().postNotification(Groups::kReloadNotification);
    ASSERT_TRUE(waitFor(kListPath, before + 1, screen->view()));
    EXPECT_FALSE(requestsTo(kListPath).back().queryValue("maxIdNotIncludeSelf").has_value());

    // A parent without a class is told about the child, with one button.
    MVTAccount::sharedInstance().setRole("parent");
    MVTAccount::sharedInstance().setClassId("");
    screen->toUpPicOrCreatAlbum();
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->numberOfButtons(), 1);
}

}  // namespace
