// The road of the class files, driven through the automation scripts against the sample
// service: the teacher opens 班级文件 from 发现, downloads 作业答案.zip, views it, and finds
// the unpacked archive's folders and files under their Chinese names in the grid; then
// opens a folder and the transfer screen's finished list.

#include "RoadFixture.h"
#include "files/MVTDownLoadViewController.h"
#include "files/MVTFilesManagersViewController.h"
#include "files/MVTShowFileViewController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/ui/Button.h"

#include <algorithm>

using namespace platform;

namespace {

class FilesRoadTest : public testing_support::RoadTest {
protected:
    void TearDown() override {
        MVTDownLoadViewController::resetForTesting();
        RoadTest::TearDown();
    }
};

TEST_F(FilesRoadTest, ATeacherDownloadsTheAnswersZipAndBrowsesItsChineseNames) {
    signIn("teacher", "teacher123");
    ASSERT_EQ(run("wait 1\ntap 发现\nwait 1\ntap 班级文件\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto files = onPresentedTop<MVTFilesManagersViewController>();
        return files && files->allDataArray().size() == 15 && !files->refreshing();
    })) << messages.str();
    auto files = onPresentedTop<MVTFilesManagersViewController>();
    ASSERT_EQ(run(shot("class-files")), 0) << messages.str();

    // 作业答案 is the third file of today.
    const auto& today = files->section("today");
    ASSERT_GE(today.size(), 3u);
    ASSERT_EQ(filesShownName(today[2].resName), "作业答案");
    auto row = std::dynamic_pointer_cast<MVTFileInfoCell>(files->mytableview()->cellForRowAtIndexPath({0, 2}));
    ASSERT_TRUE(row);
    ASSERT_EQ(row->button()->titleForState(ControlStateNormal), "下载");
    ASSERT_TRUE(driver->tap(row->button()));
    ASSERT_TRUE(waitFor([] { return MVTDownLoadViewController::shareDownLoadViewController()->tasks().empty(); }));
    ASSERT_TRUE(waitFor([&] {
        row = std::dynamic_pointer_cast<MVTFileInfoCell>(files->mytableview()->cellForRowAtIndexPath({0, 2}));
        return row && row->button()->titleForState(ControlStateNormal) == "查看";
    }));
    ASSERT_TRUE(driver->tap(row->button()));
    ASSERT_TRUE(waitFor([this] {
        auto viewer = onPresentedTop<MVTShowFileViewController>();
        return viewer && viewer->isVisible() && !viewer->fileTemp().empty();
    })) << messages.str();
    auto viewer = onPresentedTop<MVTShowFileViewController>();
    auto names = viewer->fileTemp();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, std::vector<std::string>({"photo.jpg", "第一单元", "第二单元", "说明.txt"}));
    ASSERT_EQ(run("expect 第一单元\nexpect 说明.txt\n" + shot("archive-grid")), 0) << messages.str();

    // The folder's icon (its label is not a control): the grid keeps the file system's order.
    const auto& shown = viewer->fileTemp();
    const auto unit = std::find(shown.begin(), shown.end(), "第一单元");
    ASSERT_NE(unit, shown.end());
    auto icon = driver->findAll([&](const View& v) {
        return v.tag() == static_cast<int>(unit - shown.begin()) + 1 && v.accessibilityValue() == "第一单元";
    });
    ASSERT_FALSE(icon.empty());
    ASSERT_TRUE(driver->tap(icon.front()));
    ASSERT_TRUE(waitFor([&] { return viewer->title() == "第一单元"; }));
    ASSERT_EQ(run("expect 作业答案.txt\nexpect 生字表.doc\n" + shot("archive-folder")), 0) << messages.str();
    // Back to the archive's grid, back to the list, and on to the transfer screen.
    ASSERT_EQ(run("tap back\nwait 1\nexpect 说明.txt\ntap back\nwait 1\ntap 文件列表\nwait 1\ntap 已完成\nwait 1\n"
                  "expect 作业答案.zip\n" + shot("finished")),
              0)
        << messages.str();
    for (const char* name : {"class-files", "archive-grid", "archive-folder", "finished"})
        EXPECT_TRUE(fileExists(home_ / "shots" / (std::string(name) + ".png"))) << name;
}

}  // namespace
