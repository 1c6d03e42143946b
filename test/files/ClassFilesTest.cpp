// The file row, the class file library (sections, pages, search, bad replies, the bottom
// bar), the viewer opening an archive into its grid, and the Apps tab's grid.
#include "FilesFixture.h"

#include "files/MVTFilesManagersViewController.h"
#include "core/MVTPublicMethod.h"
#include "shell/myTableView.h"
#include "support/ZipWriter.h"

#include "platform/Files.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"

using namespace platform;
using sample_service::Reply;

namespace {

class ClassFilesTest : public testing_support::FilesTest {
protected:
    static constexpr const char* kListPath = "user/1001/class/lib/list";
    std::shared_ptr<MVTFilesManagersViewController> open(const Json& reply) {
        service().setReply("GET", "/services/norvo/" + std::string(kListPath), Reply::json(reply));
        signIn("teacher");
        screen = showRoot(std::make_shared<MVTFilesManagersViewController>());
        EXPECT_TRUE(waitForRequests(kListPath, 1, screen->view()));
        return screen;
    }
    Json page(int count, long long firstId, long long dateline) {
        Json items = Json::array();
        for (int i = 0; i < count; ++i)
            items.push_back(fileItem(firstId - i, "文件" + std::to_string(i), "txt", 2048, dateline));
        return items;
    }
    std::shared_ptr<MVTFilesManagersViewController> screen;
};

TEST_F(ClassFilesTest, RowIconSizeAndNameFollowTheirRules) {
    struct Case {
        Json suffix;
        const char* icon;
    } icons[] = {{nullptr, "171"},        {"PDF", "171"},         {"wav", "file_movie"}, {"mp3", "file_movie"},
                 {"mp4", "file_movie"},   {"txt", "file_txt"},    {"rar", "file_zip"},   {"docx", "file_word"},
                 {"xlsx", "file_Excel"},  {"pptx", "file_ppt"},   {"jpg", "file_iamge"}, {"pdf", "file_pdf"},
                 {"7-zip", "171"}};
    for (const auto& c : icons) {
        auto info = MVTFIleInfo::fromItem(fileItem(1, "a", c.suffix, 1, 0));
        EXPECT_EQ(MVTFileInfoCell::iconName(info->suffixText()), c.icon) << c.suffix;
    }
    struct SizeCase {
        Json size;
        const char* text;
    } sizes[] = {{0, "未知"},          {1, "1B"},           {1024, "1024B"},  {1025, "1.0KB"},
                 {1048576, "1.0MB"},   {"2097152", "2.0MB"}, {"abc", "未知"},   {nullptr, "未知"}};
    for (const auto& c : sizes) EXPECT_EQ(MVTFileInfoCell::sizeText(c.size), c.text) << c.size;
    EXPECT_EQ(MVTFileInfoCell::shownName("7^一二三四五六七八九十", std::string("doc")), "一二三四五六七八九十.doc");
    EXPECT_EQ(MVTFileInfoCell::shownName("7^一二三四五六七八九十一", std::string("doc")), "一二三···六七八九十一.doc");
    EXPECT_EQ(MVTFileInfoCell::shownName("7^没有后缀", std::nullopt), "没有后缀");
}

TEST_F(ClassFilesTest, SectionsByLocalDayAndSevenDays) {
    const long long now = 1767600000;  // the manual clock's start
    EXPECT_EQ(MVTFilesManagersViewController::sectionKeyFor(now - 60, now), "today");
    EXPECT_EQ(MVTFilesManagersViewController::sectionKeyFor(now - 604799, now), "recWeek");
    EXPECT_EQ(MVTFilesManagersViewController::sectionKeyFor(now - 604800, now), "earlier");
    EXPECT_EQ(MVTFilesManagersViewController::sectionKeyFor(now - 365 * 86400, now), "earlier");
    EXPECT_EQ(MVTFilesManagersViewController::sectionKeyFor(now + 3 * 86400, now), "recWeek");
}

TEST_F(ClassFilesTest, FootersForFourteenFifteenAndNone) {
    const long long now = static_cast<long long>(clock_->now());
    open(page(14, 500, now - 60));
    EXPECT_EQ(screen->moreBtn()->titleForState(ControlStateNormal), "已经加载全部");
    EXPECT_FALSE(screen->moreBtn()->isEnabled());
    EXPECT_EQ(screen->titleArray(), std::vector<std::string>({"today"}));
    EXPECT_EQ(screen->section("today").front().idNumber(), 500);

    service().setReply("GET", "/services/norvo/" + std::string(kListPath), Reply::json(page(15, 400, now - 700000)));
    screen->getDataObjects("");
    ASSERT_TRUE(waitForRequests(kListPath, 2, screen->view()));
    EXPECT_EQ(screen->moreBtn()->titleForState(ControlStateNormal), "点击加载更多");
    EXPECT_TRUE(screen->moreBtn()->isEnabled());
    EXPECT_EQ(screen->titleArray(), std::vector<std::string>({"earlier"}));

    service().setReply("GET", "/services/norvo/" + std::string(kListPath), Reply::json(Json::array()));
    screen->toGetMoreCourseData();
    ASSERT_TRUE(waitForRequests(kListPath, 3, screen->view()));
    const auto paged = requestsTo(kListPath).back();
    EXPECT_EQ(paged.queryValue("maxIdNotIncludeSelf"), "386");
    EXPECT_EQ(paged.queryValue("limit"), "15");
    EXPECT_EQ(screen->moreBtn()->titleForState(ControlStateNormal), "已经加载全部");
    EXPECT_EQ(screen->allDataArray().size(), 15u);
}

TEST_F(ClassFilesTest, AnEmptyClassAndBadRepliesChangeNothingAndCrashNothing) {
    open(Json::array());
    EXPECT_TRUE(screen->titleArray().empty());
    EXPECT_EQ(screen->moreBtn()->titleForState(ControlStateNormal), "暂无相关内容");
    std::size_t sent = 1;
    for (const Reply& bad : {Reply::json({{"list", "x"}}), Reply::text("not json", "application/json"),
                             Reply::json(Json::array({1, "two", nullptr})), Reply::text(std::string(1 << 20, '['))}) {
        service().setReply("GET", "/services/norvo/" + std::string(kListPath), bad);
        screen->getDataObjects("");
        ASSERT_TRUE(waitForRequests(kListPath, ++sent, screen->view()));
        EXPECT_FALSE(screen->refreshing());
        EXPECT_TRUE(screen->titleArray().empty());
    }
    // Numbers as text and a null suffix are read as they come.
    service().setReply("GET", "/services/norvo/" + std::string(kListPath),
                       Reply::json(Json::array({fileItem(9, "九", nullptr, "12", 0), {{"id", "10"}, {"size", "x"}}})));
    screen->getDataObjects("");
    ASSERT_TRUE(waitForRequests(kListPath, ++sent, screen->view()));
    EXPECT_EQ(screen->allDataArray().size(), 2u);
    EXPECT_EQ(screen->allDataArray().front().idNumber(), 10);
}

TEST_F(ClassFilesTest, SearchGoesInThePathEncodedAndCancellingReloads) {
    open(page(2, 50, 0));
    screen->searchBar()->setText("期中");
    screen->searchBarSearchButtonClicked(*screen->searchBar());
    ASSERT_TRUE(waitForRequests(kListPath, 2, screen->view()));
    const auto searched = requestsTo(kListPath).back();
    EXPECT_NE(searched.target.find("?name=" + MVTPublicMethod::encodeURLWhenChinese("期中")), std::string::npos)
        << searched.target;
    EXPECT_NE(searched.target.find("&limit=15"), std::string::npos) << searched.target;
    screen->cancelSearchBar();
    ASSERT_TRUE(waitForRequests(kListPath, 3, screen->view()));
    EXPECT_EQ(requestsTo(kListPath).back().target.find("name="), std::string::npos);
}

TEST_F(ClassFilesTest, TheBottomBarFollowsTransfersButNotARemovedOne) {
    open(page(1, 5, 0));
    screen->updateFileMangeView(0.5f, "", "报告.pdf");
    EXPECT_EQ(screen->showDownLoadListBtn()->titleForState(ControlStateNormal), "报告.pdf");
    EXPECT_TRUE(screen->progressTrack()->superview());
    EXPECT_EQ(lastAnimation().curve, AnimationCurve::Spring);
    EXPECT_DOUBLE_EQ(lastAnimation().damping, 0.8);
    screen->cleanDown("报告.pdf");
    EXPECT_EQ(screen->showDownLoadListBtn()->titleForState(ControlStateNormal), "文件列表");
    screen->updateFileMangeView(0.7f, "", "报告.pdf");
    EXPECT_EQ(screen->showDownLoadListBtn()->titleForState(ControlStateNormal), "文件列表");
    EXPECT_FALSE(screen->progressTrack()->superview());
    screen->updateFileMangeView(-1.0f, "", "报告.pdf");
    EXPECT_EQ(screen->showDownLoadListBtn()->titleForState(ControlStateNormal), "下载失败");
    EXPECT_EQ(screen->newsLabel()->text(), "报告.pdf下载失败");
    screen->updateCellData(-1.0f, "来自iPhone的1照片.png");
    EXPECT_EQ(screen->showDownLoadListBtn()->titleForState(ControlStateNormal), "上传失败");
}

TEST_F(ClassFilesTest, DownloadingAZipThenViewingShowsItsGridWithChineseNames) {
    const std::string gbk = "\xD7\xF7\xD2\xB5\xB4\xF0\xB0\xB8";  // 作业答案 in GBK
    const auto archive = home_ / "answers.zip";
    ASSERT_TRUE(testing_support::writeZipArchive(
        archive, {{"\xB5\xDA\xD2\xBB\xB5\xA5\xD4\xAA\\" + gbk + ".txt", "答案"}, {gbk + ".doc", "doc"}}));
    const std::string bytes = *readFile(archive);
    service().route("GET", "resource/777/download", [bytes](const auto&) {
        return Reply::text(bytes, "application/zip");
    });
    open(Json::array({fileItem(777, "作业答案", "zip", static_cast<long long>(bytes.size()), 0)}));
    auto row = std::dynamic_pointer_cast<MVTFileInfoCell>(screen->mytableview()->cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->button()->titleForState(ControlStateNormal), "下载");
    ASSERT_TRUE(driver->tap(row->button()));
    ASSERT_TRUE(pumpUntil([&] { return manager().tasks().empty(); }));
    screen->mytableview()->reloadData();
    row = std::dynamic_pointer_cast<MVTFileInfoCell>(screen->mytableview()->cellForRowAtIndexPath({0, 0}));
    ASSERT_EQ(row->button()->titleForState(ControlStateNormal), "查看");
    // The notice is up before the unpacking, which waits for the next turn of the loop; the
    // list's disappearing under the viewer takes it away again.
    screen->fileShow(*row->button());
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->message(), "文件正在解压中，请耐心等待⋯⋯");
    EXPECT_FALSE(fileExists(downloadsFolder() + "/777^作业答案"));
    ASSERT_TRUE(pumpUntil([&] { return std::dynamic_pointer_cast<MVTShowFileViewController>(top()) != nullptr; }));
    auto viewer = std::static_pointer_cast<MVTShowFileViewController>(top());
    driver->pump();
    auto names = viewer->fileTemp();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, std::vector<std::string>({"作业答案.doc", "第一单元"}));
    EXPECT_EQ(viewer->title(), "作业答案.zip");
    EXPECT_FALSE(driver->alert() && driver->alert()->isVisible());
    EXPECT_TRUE(fileExists(downloadsFolder() + "/777^作业答案/第一单元/作业答案.txt"));
}

TEST_F(ClassFilesTest, AnArchiveThatCannotOpenIsDeletedAndSaidOnceTheViewerIsUp) {
    signIn("teacher");
    auto root = showRoot(std::make_shared<ViewViewController>());
    const std::string path = downloadsFolder() + "/5^坏.zip";
    ASSERT_TRUE(writeFileAtomically(path, "not a zip"));
    MVTShowFileViewController::openFile(*root, path, "坏.zip", [](std::shared_ptr<AlertView>) {});
    ASSERT_TRUE(pumpUntil([&] { return std::dynamic_pointer_cast<MVTShowFileViewController>(top()) != nullptr; }));
    EXPECT_FALSE(driver->alert() && driver->alert()->title() == "解压失败");
    advance(1);  // the push ends: the viewer is up
    ASSERT_TRUE(driver->alert());
    EXPECT_EQ(driver->alert()->title(), "解压失败");
    EXPECT_FALSE(fileExists(path));
}

TEST_F(ClassFilesTest, AFileNoPageCanShowIsOfferedToOtherProgramsAndNoneTakesIt) {
    signIn("teacher");
    auto root = showRoot(std::make_shared<ViewViewController>());
    const std::string path = downloadsFolder() + "/6^讲义.pdf";
    ASSERT_TRUE(writeFileAtomically(path, "%PDF-1.4 nothing"));
    MVTShowFileViewController::openFile(*root, path, "讲义.pdf", [](std::shared_ptr<AlertView>) {});
    auto viewer = std::dynamic_pointer_cast<MVTShowFileViewController>(top());
    ASSERT_TRUE(viewer);
    viewer->openDocumentIn();
    ASSERT_FALSE(DocumentInteraction::offers().empty());
    EXPECT_EQ(DocumentInteraction::offers().back().typeIdentifier, "com.adobe.pdf");
    EXPECT_EQ(driver->alert()->title(), "提示信息");
}

}  // namespace
