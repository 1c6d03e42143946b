// The album photo grid, its rows and the album row cell, and the picture pager: pages and
// footers, batch delete keys and cached files, reused tiles and cells, pager labels.
#include "AlbumFixture.h"

#include "albums/AlbumCommon.h"
#include "albums/MVTAlbumCell.h"
#include "albums/MVTAlbumDetalsViewController.h"
#include "albums/MVTCyclePicViewController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/Screen.h"

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;
using Grid = MVTAlbumDetalsViewController;

namespace {

Json gridPhotos(int count, int first) {
    Json photos = Json::array();
    for (int i = 0; i < count; ++i)
        photos.push_back({{"id", first + i},
                          {"resourceId", std::to_string(770000 + first + i)},
                          {"resourceModuleId", std::to_string(780000 + first + i)}});
    return photos;
}

class AlbumGridTest : public testing_support::AlbumTest {
protected:
    std::shared_ptr<Grid> open(const std::string& albumId, const std::string& manager, bool system = false,
                               const std::string& fieldId = "") {
        signIn("teacher");
        grid = std::make_shared<Grid>();
        grid->setAlbumId(albumId);
        grid->setNameStr("春游");
        grid->setIsmanagerStr(manager);
        grid->setAlbumDic(std::make_shared<Json>(Json{{"id", albumId}, {"name", "春游"}}));
        grid->setIsSysteam(system);
        if (!fieldId.empty()) {
            grid->setForumId("31");
            grid->setFieldId(fieldId);
        }
        showPushed(grid);
        return grid;
    }
    std::string pagePath() const { return "class/album/" + grid->albumId() + "/photo/list"; }
    bool waitForPage(std::size_t count) { return waitFor(pagePath(), count, grid->view()); }
    std::string footer() const { return grid->morePicBtn() ? grid->morePicBtn()->currentTitle() : "(none)"; }

    std::shared_ptr<Grid> grid;
};

TEST_F(AlbumGridTest, TwentyPhotosComeFifteenThenFiveOnPageTwo) {
    open("502", "1");
    ASSERT_TRUE(waitForPage(1));
    EXPECT_EQ(requestsTo(pagePath()).back().queryValue("page"), "1");
    EXPECT_EQ(requestsTo(pagePath()).back().queryValue("limit"), "15");
    ASSERT_EQ(grid->picDataArr().size(), 15u);
    EXPECT_EQ(footer(), "点击加载更多");
    EXPECT_TRUE(grid->rightBtn()->isEnabled());
    EXPECT_EQ(grid->mytableview()->numberOfRowsInSection(0), 5);
    grid->getAlbumPicData();
    ASSERT_TRUE(waitForPage(2));
    EXPECT_EQ(requestsTo(pagePath()).back().queryValue("page"), "2");
    EXPECT_EQ(grid->picDataArr().size(), 20u);
    EXPECT_EQ(footer(), "已加载全部");
    EXPECT_EQ(grid->mytableview()->numberOfRowsInSection(0), 7);
    EXPECT_DOUBLE_EQ(grid->heightForRowAtIndexPath(*grid->mytableview(), IndexPath::forRow(0, 0)),
                     (Screen::mainScreen().bounds().width() - 40) / 3 + 10);
}

TEST_F(AlbumGridTest, PagesOfFourteenAndNoneAndAPhotoAlreadyHeld) {
    struct Case {
        Json page;
        const char* footer;
        std::size_t held;
    } cases[] = {{gridPhotos(14, 1), "已加载全部", 14}, {Json::array(), "没有相关内容", 0}};
    for (const Case& c : cases) {
        service().clearRequests();
        service().setReply("GET", servicePath("class/album/600/photo/list"), Reply::json(c.page));
        open("600", "1");
        ASSERT_TRUE(waitForPage(1));
        EXPECT_EQ(footer(), c.footer);
        EXPECT_EQ(grid->picDataArr().size(), c.held);
    }
    // A page that moved under new uploads repeats photos already shown: they are not added twice.
    service().setReply("GET", servicePath("class/album/600/photo/list"), Reply::json(gridPhotos(15, 1)));
    open("600", "1");
    ASSERT_TRUE(waitForPage(1));
    service().setReply("GET", servicePath("class/album/600/photo/list"), Reply::json(gridPhotos(15, 10)));
    grid->getAlbumPicData();
    ASSERT_TRUE(waitForPage(2));
    EXPECT_EQ(grid->picDataArr().size(), 24u);
}

TEST_F(AlbumGridTest, ManageSheetsFollowTheAlbumKind) {
    struct Case {
        bool system;
        std::string field;
        std::vector<std::string> entries;
    } cases[] = {{false, "", {"上传照片", "编辑相册", "批量删除照片"}},
                 {true, "", {"批量删除照片"}},
                 {true, "41", {"上传照片", "批量删除照片"}}};
    for (const Case& c : cases) {
        ActionSheet::clearVisible();
        open("502", "1", c.system, c.field);
        driver->pump();
        grid->toManageAlbum();
        auto sheet = driver->sheet();
        ASSERT_TRUE(sheet);
        std::vector<std::string> entries;
        for (long i = 0; i < sheet->numberOfButtons(); ++i)
            if (i != sheet->cancelButtonIndex()) entries.push_back(sheet->buttonTitleAtIndex(i));
        EXPECT_EQ(entries, c.entries);
    }
    // A system album seen by someone who manages nothing has no right button.
    open("501", "0", true);
    EXPECT_FALSE(grid->navigationItem().rightBarButtonItem());
}

TEST_F(AlbumGridTest, BatchDeleteSendsTheMarkedModuleIdsAndDropsTheirFiles) {
    open("502", "1");
    ASSERT_TRUE(waitForPage(1));
    const Json first = grid->picDataArr()[0], third = grid->picDataArr()[2];
    const std::string thumb = albums::thumbnailFile(albums::text(first, "resourceId"));
    const std::string whole = albums::fullPictureFile(albums::text(first, "resourceModuleId"));
    ASSERT_TRUE(writeFileAtomically(thumb, "x"));
    ASSERT_TRUE(writeFileAtomically(whole, "x"));
    grid->toManageAlbum();
    ASSERT_TRUE(driver->sheet());
    driver->sheet()->clickButtonAtIndex(driver->sheet()->firstOtherButtonIndex() + 2);
    ASSERT_TRUE(grid->isEdit());
    driver->pump();
    auto row = std::dynamic_pointer_cast<MVTAlbumDetailsCell>(
        grid->mytableview()->cellForRowAtIndexPath(IndexPath::forRow(0, 0)));
    ASSERT_TRUE(row);
    row->whichClickd(*row->modelArr()[0]);
    row->whichClickd(*row->modelArr()[2]);
    grid->toManageAlbum();
    const std::string deletePath = "class/1001/album/502/photo/delete";
    ASSERT_TRUE(waitFor(deletePath, 1, grid->view()));
    const auto request = requestsTo(deletePath).back();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.formValue("moduleTypeIds"),
              albums::text(first, "resourceModuleId") + "," + albums::text(third, "resourceModuleId"));
    EXPECT_EQ(grid->picDataArr().size(), 13u);
    EXPECT_FALSE(fileExists(thumb));
    EXPECT_FALSE(fileExists(whole));
    EXPECT_FALSE(grid->isEdit());
    EXPECT_EQ(grid->rightBtn()->currentTitle(), "管理");
}

TEST_F(AlbumGridTest, ARefusedDeleteKeepsPhotosAndMarksAndAnEmptySelectionSendsNothing) {
    service().setReply("POST", servicePath("class/1001/album/502/photo/delete"), Reply::json({{"success", false}}));
    open("502", "1");
    ASSERT_TRUE(waitForPage(1));
    auto batchDelete = ActionSheet::make("", {}, "取 消", "", {"批量删除照片"});
    grid->actionSheetClickedButtonAtIndex(*batchDelete, batchDelete->firstOtherButtonIndex());
    grid->toManageAlbum();
    EXPECT_FALSE(grid->isEdit());
    EXPECT_TRUE(requestsTo("class/1001/album/502/photo/delete").empty());

    grid->actionSheetClickedButtonAtIndex(*batchDelete, batchDelete->firstOtherButtonIndex());
    grid->deleteOrUnDeleteWith("4", true);
    grid->toManageAlbum();
    ASSERT_TRUE(waitFor("class/1001/album/502/photo/delete", 1, grid->view()));
    EXPECT_EQ(grid->picDataArr().size(), 15u);
    EXPECT_EQ(textOf(valueFor(grid->picDataArr()[4], "selected")), "1");
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->title(), "删除失败,请重新删除");
}

TEST_F(AlbumGridTest, GroupModeAsksTheGroupPathsAndReloadsOnItsNotification) {
    const std::string path = "forum/1001/31/41/700/photo/list";
    service().setReply("GET", servicePath(path), Reply::json({{"list", gridPhotos(3, 1)}}));
    signIn("teacher");
    grid = std::make_shared<Grid>();
    grid->setAlbumId("700");
    grid->setIsmanagerStr("0");
    grid->setForumId("31");
    grid->setFieldId("41");
    showPushed(grid);
    ASSERT_TRUE(waitFor(path, 1, grid->view()));
    EXPECT_EQ(grid->picDataArr().size(), 3u);
    EXPECT_EQ(grid->rightBtn()->currentTitle(), "上传");
    NotificationCenter::defaultCenter().postNotification(Grid::kReloadGroupNotification);
    ASSERT_TRUE(waitFor(path, 2, grid->view()));
    EXPECT_EQ(requestsTo(path).back().queryValue("page"), "1");
}

// ---- Album row cell

class AlbumCellTest : public testing_support::AlbumTest {};

TEST_F(AlbumCellTest, TilesReportTileAndTwiceTheRowAndAReusedTileKeepsOnlyItsCover) {
    struct Recorder : MVTAlbumCellDelegate {
        std::vector<std::string> opened, deleted;
        void goToAlbumDetailsWith(const std::string& index) override { opened.push_back(index); }
        void deleteAlbum(const std::string& index) override { deleted.push_back(index); }
    };
    auto recorder = std::make_shared<Recorder>();
    // The cover of album A comes late; the tile shows album B (no cover) before it arrives.
    service().setReply("GET", "/resource/view/img_thumb/771", testing_support::delayedReply("image/jpeg", "x"));
    auto cell = MVTAlbumCell::make();
    cell->setDelegate(recorder);
    cell->contentView()->setTag(3);
    cell->reloadDataWith(Json::array({{{"id", 1}, {"name", "A"}, {"rId", "771"}, {"classFullName", "三年级一班"}, {"count", 4}},
                                      {{"id", 2}, {"name", "B"}}}));
    auto cover = std::static_pointer_cast<ImageView>(cell->modelArr()[0]->viewWithTag(MVTAlbumCell::kCoverTag));
    EXPECT_EQ(cover->accessibilityHint(), "771");
    auto classLine = std::static_pointer_cast<Label>(cell->modelArr()[0]->viewWithTag(MVTAlbumCell::kClassTag));
    EXPECT_EQ(classLine->text(), "三年级一班 4张");
    EXPECT_FALSE(cell->modelArr()[1]->isHidden());
    EXPECT_TRUE(cell->modelArr()[1]->viewWithTag(MVTAlbumCell::kClassTag)->isHidden());

    cell->reloadDataWith(Json::array({{{"id", 3}, {"name", "B"}}}));
    EXPECT_TRUE(cover->accessibilityHint().empty());
    EXPECT_TRUE(cell->modelArr()[1]->isHidden());
    // The class line is hidden for an album without class and comes back for one with.
    EXPECT_TRUE(classLine->isHidden());
    cell->reloadDataWith(Json::array({{{"id", 4}, {"classFullName", "三年级二班"}, {"count", 0}}}));
    EXPECT_FALSE(classLine->isHidden());

    cell->toGotoAlbum(*cell->modelArr()[1]);
    EXPECT_EQ(recorder->opened, std::vector<std::string>{"7"});
    // A long press in a class list does nothing; the tap still opens.
    Button& left = *cell->modelArr()[0];
    LongPressGestureRecognizer* press = nullptr;
    for (const auto& g : left.gestureRecognizers())
        if (auto* lp = dynamic_cast<LongPressGestureRecognizer*>(g.get())) press = lp;
    ASSERT_TRUE(press);
    EXPECT_DOUBLE_EQ(press->minimumPressDuration(), 1.0);
    cell->deleteAlbum(*press);
    EXPECT_FALSE(cell->isLongPress());
    cell->toGotoAlbum(left);
    EXPECT_EQ(recorder->opened.back(), "6");
    EXPECT_TRUE(recorder->deleted.empty());
}

TEST_F(AlbumCellTest, ACoverIsCachedOnlyWhenItIsAPictureAndOnlyUnderAPlainId) {
    service().route("GET", "resource/view/img_thumb/%@", [](const RecordedRequest& request) {
        if (request.arguments.at(0) == "999") return Reply::text("<html>not found</html>", "text/html");
        return Reply::text("x", "text/plain", 404);
    });
    auto cell = MVTAlbumCell::make();
    for (const char* id : {"999", "/..", "770001"}) {
        cell->reloadDataWith(Json::array({{{"id", 1}, {"resourceId", id}}}));
        driver->pump();
    }
    ASSERT_TRUE(pumpUntil([&] { return service().requests().size() >= 2; }));
    driver->advance(0.1);
    EXPECT_FALSE(fileExists(Paths::documentsDirectory() / "album999"));
    EXPECT_TRUE(albums::thumbnailFile("/..").empty());
    for (const auto& entry : std::filesystem::directory_iterator(Paths::documentsDirectory()))
        EXPECT_NE(entry.path().filename().string().rfind("album", 0), 0u) << entry.path();
}

// ---- Pager

class PagerTest : public testing_support::AlbumTest {
protected:
    std::shared_ptr<MVTCyclePicViewController> openPager(int count, int index) {
        signIn("teacher");
        auto pager = std::make_shared<MVTCyclePicViewController>();
        pager->setPicDataArr(gridPhotos(count, 1));
        pager->setIndex(index);
        driver->show(pager);
        driver->pump();
        return pager;
    }
    static std::string label(const std::shared_ptr<MVTCyclePicViewController>& pager) {
        return pager->cycleView()->pageLa()->text();
    }
    static void swipe(const std::shared_ptr<MVTCyclePicViewController>& pager, bool forward) {
        auto scroll = pager->cycleView()->scrollView();
        scroll->setContentOffset({forward ? scroll->bounds().width() * 2 : 0, 0});
    }
};

TEST_F(PagerTest, LabelsWrapBothWaysWithThreePageViews) {
    auto pager = openPager(5, 4);
    EXPECT_EQ(label(pager), "5 / 5");
    ASSERT_EQ(pager->cycleView()->curViews().size(), 3u);
    const auto views = pager->cycleView()->curViews();
    swipe(pager, true);
    EXPECT_EQ(label(pager), "1 / 5");
    swipe(pager, false);
    EXPECT_EQ(label(pager), "5 / 5");
    swipe(pager, false);
    EXPECT_EQ(label(pager), "4 / 5");
    for (const auto& view : pager->cycleView()->curViews())
        EXPECT_NE(std::find(views.begin(), views.end(), view), views.end());
    // The middle page is loading the photo shown.
    EXPECT_EQ(pager->cycleView()->curViews()[1]->imageView()->accessibilityHint(), "780004");

    auto single = openPager(1, 0);
    swipe(single, true);
    EXPECT_EQ(label(single), "1 / 1");
    auto two = openPager(2, 0);
    swipe(two, false);
    EXPECT_EQ(label(two), "2 / 2");
}

TEST_F(PagerTest, ATapFlipsTheBarsAndALatePictureOfARecycledPageIsOnlyCached) {
    auto pager = openPager(4, 1);
    pager->cycleView()->handleTap();
    EXPECT_TRUE(pager->topView()->isHidden());
    EXPECT_TRUE(pager->cycleView()->pageLa()->isHidden());
    EXPECT_TRUE(pager->prefersStatusBarHidden());
    pager->cycleView()->handleTap();
    EXPECT_FALSE(pager->topView()->isHidden());

    auto page = MVTAlbumBigPicView::make({0, 0, 320, 480});
    page->toGetBigPicWith("770001", "780001");
    page->toGetBigPicWith("770002", "780002");
    ASSERT_TRUE(pumpUntil([] { return fileExists(Paths::documentsDirectory() / "780001") &&
                                      fileExists(Paths::documentsDirectory() / "780002"); }));
    ASSERT_TRUE(pumpUntil([&] { return page->imageView()->image() != nullptr; }));
    EXPECT_EQ(page->imageView()->accessibilityHint(), "780002");
    EXPECT_EQ(page->imageView()->image()->size().width, 1600);
}

}  // namespace
