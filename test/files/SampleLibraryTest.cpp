// The class and group libraries on the sample service's own files: pages, search by name
// and uploader, a file sent without length, uploads that then list, and group removal.
#include "FilesFixture.h"

#include "contacts/MVTGroupDetailViewController.h"
#include "files/MVTFilesManagersViewController.h"
#include "files/MVTGroupFilesViewController.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"

using namespace platform;

namespace {

class SampleLibraryTest : public testing_support::FilesTest {
protected:
    static constexpr const char* kClassList = "user/1001/class/lib/list";
    static constexpr const char* kGroupList = "forum/1001/601/3/lib/list";

    std::shared_ptr<MVTFilesManagersViewController> openClassFiles() {
        signIn("teacher");
        auto screen = showRoot(std::make_shared<MVTFilesManagersViewController>());
        EXPECT_TRUE(pumpUntil([&] { return !requestsTo(kClassList).empty() && !screen->refreshing(); }));
        return screen;
    }
    std::shared_ptr<MVTGroupFilesViewController> openGroupFiles(const std::string& memberType) {
        signIn("teacher");
        auto screen = std::make_shared<MVTGroupFilesViewController>();
        screen->setForumId("601");
        screen->setFieldId("3");
        screen->setIsmanager(memberType);
        showPushed(screen);
        EXPECT_TRUE(pumpUntil([&] { return !requestsTo(kGroupList).empty() && !screen->refreshing(); }));
        return screen;
    }
    static std::vector<std::string> names(const std::vector<MVTFIleInfo>& files) {
        std::vector<std::string> shown;
        for (const auto& file : files) shown.push_back(filesShownName(file.resName));
        return shown;
    }
};

TEST_F(SampleLibraryTest, TheClassFilesComeInTwoPagesOverTodayThisWeekAndEarlier) {
    auto screen = openClassFiles();
    EXPECT_EQ(screen->allDataArray().size(), 15u);
    EXPECT_EQ(screen->titleArray(), std::vector<std::string>({"today", "recWeek", "earlier"}));
    EXPECT_EQ(names(screen->section("today")),
              std::vector<std::string>({"期中复习资料", "班级合影", "作业答案", "安全须知"}));
    EXPECT_EQ(screen->moreBtn()->titleForState(ControlStateNormal), "点击加载更多");
    screen->toGetMoreCourseData();
    ASSERT_TRUE(pumpUntil([&] { return requestsTo(kClassList).size() == 2 && !screen->refreshing(); }));
    EXPECT_EQ(screen->allDataArray().size(), 19u);
    EXPECT_EQ(screen->allDataArray().back().idNumber(), 922);
    EXPECT_EQ(screen->moreBtn()->titleForState(ControlStateNormal), "已经加载全部");
}

TEST_F(SampleLibraryTest, SearchFindsByFileNameOrUploaderAndEmptyHandedSaysSo) {
    auto screen = openClassFiles();
    struct Case {
        const char* text;
        std::size_t found;
    } cases[] = {{"安全", 1}, {"李老师", 6}, {"没有这个文件", 0}};
    std::size_t sent = 1;
    for (const auto& c : cases) {
        screen->searchBar()->setText(c.text);
        screen->searchBarSearchButtonClicked(*screen->searchBar());
        ASSERT_TRUE(pumpUntil([&] { return requestsTo(kClassList).size() == sent + 1 && !screen->refreshing(); }));
        ++sent;
        std::size_t shown = 0;
        for (const char* key : {"today", "recWeek", "earlier"}) shown += screen->section(key).size();
        EXPECT_EQ(shown, c.found) << c.text;
        if (c.found == 0) {
            EXPECT_EQ(screen->moreBtn()->titleForState(ControlStateNormal), "暂无相关内容");
        }
    }
}

TEST_F(SampleLibraryTest, AFileSentWithoutLengthAndAnEmptyFileBothDownloadWhole) {
    auto screen = openClassFiles();
    screen->toGetMoreCourseData();
    ASSERT_TRUE(pumpUntil([&] { return requestsTo(kClassList).size() == 2 && !screen->refreshing(); }));
    const std::string folder = downloadsFolder();
    std::filesystem::create_directories(folder);
    for (const char* stored : {"929^运动会报名须知.txt", "930^空白统计表.xlsx"}) {
        const std::string id = std::string(stored).substr(0, 3);
        auto task = manager().downFileUrl(
            ServiceAddress::baseUrl() + "resource/" + id + "/download?token=" + id, folder + "/" + stored);
        ASSERT_TRUE(task) << stored;
    }
    ASSERT_TRUE(pumpUntil([&] { return manager().tasks().empty(); }));
    EXPECT_EQ(readFile(folder + "/929^运动会报名须知.txt")->size(), 98u);
    EXPECT_TRUE(fileExists(folder + "/930^空白统计表.xlsx"));
    EXPECT_EQ(MVTDownLoadViewController::readFinishedList("1001").size(), 2u);
}

TEST_F(SampleLibraryTest, AnUploadedPhotoIsListedOnTheNextFirstPage) {
    auto screen = openClassFiles();
    manager().addUpLoadTask(Image::imageWithColor(Color::rgb255(200, 60, 60), {40, 30}), "", 1, "来自iPhone的1照片.png",
                            screen, Json::object(), ServiceAddress::servicePrefix() + "user/1001/class/lib/save");
    ASSERT_TRUE(pumpUntil([&] { return manager().tasks().empty(); }));
    screen->getDataObjects("");
    ASSERT_TRUE(pumpUntil([&] { return requestsTo(kClassList).size() == 2 && !screen->refreshing(); }));
    ASSERT_FALSE(screen->section("today").empty());
    EXPECT_EQ(filesShownName(screen->section("today").front().resName), "来自iPhone的1照片");
}

TEST_F(SampleLibraryTest, AGroupManagerRemovesAFileAndTheListLoadsWithoutIt) {
    auto screen = openGroupFiles("2");
    ASSERT_EQ(screen->allDataArray().size(), 3u);
    screen->deleteFiles("962");
    ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
    EXPECT_EQ(driver->alert()->title(), "删除文件成功");
    ASSERT_TRUE(pumpUntil([&] { return requestsTo(kGroupList).size() == 2 && !screen->refreshing(); }));
    EXPECT_EQ(names(screen->allDataArray()), std::vector<std::string>({"读书分享会安排", "读书会合影"}));
    // The same file again: the service no longer has it, and that is a failure.
    driver->pressAlertButton(0);
    screen->deleteFiles("962");
    ASSERT_TRUE(pumpUntil([&] { return driver->alert() && driver->alert()->title() == "删除文件失败"; }));
}

TEST_F(SampleLibraryTest, TheGroupProfileOpensOneGroupLibraryWithTheViewersMemberType) {
    signIn("teacher");
    auto profile = std::make_shared<MVTGroupDetailViewController>();
    profile->setGroupId("601");
    profile->setGroupType("3");
    showRoot(profile);
    ASSERT_TRUE(pumpUntil([&] { return !profile->userType().empty() && !profile->isLoadIng(); }));
    profile->goFiles();
    advance(1);
    auto library = std::dynamic_pointer_cast<MVTGroupFilesViewController>(top());
    ASSERT_TRUE(library);
    EXPECT_EQ(library->forumId(), "601");
    EXPECT_EQ(library->fieldId(), "3");
    EXPECT_EQ(library->ismanager(), profile->userType());
    EXPECT_TRUE(library->selectBtn());  // the creator may upload
    ASSERT_TRUE(pumpUntil([&] { return library->allDataArray().size() == 3; }));
    navigation->popViewController(false);
    profile->goFiles();
    advance(1);
    EXPECT_EQ(top(), library);
    EXPECT_EQ(requestsTo(kGroupList).size(), 1u);  // pushed again, not loaded again
}

}  // namespace
