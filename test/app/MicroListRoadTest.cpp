// The lesson lists and the upload road, driven through the automation scripts against the
// sample service: 李明 opens 微课 (no launcher shows it: the script's launch runs the
// grid's dispatch) and a lesson's detail, filters the school lessons by subject, searches
// them and looks at the open lessons; the teacher picks a QuickTime video from the photo library, chooses a
// course and follows the conversion and upload to "上传成功".

#include "RoadFixture.h"
#include "core/MVTtirraDataBase.h"
#include "microlessons/MVTChooseCourse.h"
#include "microlessons/MVTLessionMovieDetailViewController.h"
#include "microlessons/MVTMicroLessonList.h"
#include "microlessons/MVTUploadForm.h"
#include "microlessons/MVTUploadStatus.h"
#include "support/MovieWriter.h"
#include "tests/MVTTestSelectViewController.h"

#include "platform/PhotoLibrary.h"
#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "shell/myTableView.h"

#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

class MicroListRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override { MVTtirraDataBase::deleteSaveUser(); }
    void TearDown() override {
        platform::ImagePickerController::resetSources();
        RoadTest::TearDown();
    }
    std::shared_ptr<MVTMicroLessonViewController> openLessons() {
        EXPECT_EQ(run("wait 1\nlaunch 微课\nwait 1\n"), 0) << messages.str();
        EXPECT_TRUE(waitFor([this] {
            auto list = onPresentedTop<MVTMicroLessonViewController>();
            return list && !list->dataArr().empty();
        })) << messages.str();
        return onPresentedTop<MVTMicroLessonViewController>();
    }
    static bool allCoursesOf(const platform::Json& courses, const char* subjectId) {
        if (courses.empty()) return false;
        for (const auto& course : courses)
            if (course.value("subjectId", "") != subjectId) return false;
        return true;
    }
};

TEST_F(MicroListRoadTest, AStudentFiltersSearchesAndBrowsesOpenLessons) {
    signIn("student", "student123");
    auto list = openLessons();
    ASSERT_TRUE(list);
    ASSERT_EQ(run("expect 三年级语文\n" + shot("micro-school")), 0) << messages.str();

    // A lesson's thumbnail opens its detail with the course's lessons and the school kind.
    auto cell = std::dynamic_pointer_cast<MVTMicroLessonCell>(list->mytableview()->cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(cell);
    auto thumbnail = cell->strip()->viewWithTag(int(MVTMicroLessonCell::kThumbnailTagBase));
    ASSERT_TRUE(thumbnail && !thumbnail->subviews().empty());
    ASSERT_TRUE(driver->tap(thumbnail->subviews().back()));
    std::shared_ptr<MVTLessionMovieDetailViewController> detail;
    ASSERT_TRUE(waitFor([&] { return (detail = onPresentedTop<MVTLessionMovieDetailViewController>()) != nullptr; }))
        << messages.str();
    EXPECT_EQ(detail->moduleType(), "micro");
    EXPECT_FALSE(detail->aboutArray().empty());
    ASSERT_EQ(run(shot("micro-detail") + "tap 返回\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] { return onPresentedTop<MVTMicroLessonViewController>() == list; })) << messages.str();

    // 筛选 → 学科 → 数学 → 完成: the chip shows, only the mathematics courses come back.
    ASSERT_EQ(run("tap 筛选\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto picker = onPresentedTop<MVTTestSelectViewController>();
        return picker && picker->whereFrom() == "micr" && !picker->dataArr().empty();
    })) << messages.str();
    ASSERT_EQ(run("tap 学科\nwait 1\ntap 数学\ntap 完成\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] { return onPresentedTop<MVTMicroLessonViewController>() == list && allCoursesOf(list->dataArr(), "2"); }))
        << messages.str();
    ASSERT_EQ(run("expect 三年级数学\n" + shot("micro-filtered")), 0) << messages.str();
    EXPECT_TRUE(list->myheadView());

    // A search within the filter: the lessons of that name only.
    ASSERT_EQ(run("tap 请输入课程名\ntype 乘法口诀\nkey return\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] {
        if (list->dataArr().empty() || list->dataArr().size() >= 6) return false;
        for (const auto& course : list->dataArr())
            for (const auto& lesson : course["resList"])
                if (lesson["resourceName"] != "乘法口诀") return false;
        return true;
    })) << messages.str();
    ASSERT_EQ(run("expect 乘法口诀\n" + shot("micro-searched")), 0) << messages.str();

    ASSERT_EQ(run("tap 开放微课\nwait 1\n"), 0) << messages.str();
    auto open = list->openMicroViewController();
    ASSERT_TRUE(waitFor([&] { return open->dataArr().size() == 15; })) << messages.str();
    ASSERT_EQ(run("expect 静夜思朗读\n" + shot("micro-open")), 0) << messages.str();
    EXPECT_EQ(open->moreBtn()->currentTitle(), "点击加载更多");
}

TEST_F(MicroListRoadTest, ATeacherUploadsALibraryVideoToACourse) {
    // The photo library: a picture and a short QuickTime movie.
    const fs::path library = home_ / "Media" / "PhotoLibrary";
    fs::create_directories(library);
    testing_support::MovieSpec movie;
    movie.seconds = 1;
    movie.sound = true;
    ASSERT_TRUE(testing_support::writeMovie(library / "春天的课.MOV", movie));
    std::ofstream(library / "photo.png", std::ios::binary)
        << platform::Image::imageWithColor(platform::Color::blue(), {8, 8})->pngData();
    platform::ImagePickerController::setSourceFiles(platform::ImagePickerSourceType::PhotoLibrary,
                                                    platform::PhotoLibrary::assetsInFolder(library));

    signIn("teacher", "teacher123");
    auto list = openLessons();
    ASSERT_TRUE(list);
    ASSERT_EQ(run("tap 上传微课\nwait 1\n"), 0) << messages.str();
    std::shared_ptr<platform::AssetsPickerController> picker;
    ASSERT_TRUE(waitFor([&] {
        picker = std::dynamic_pointer_cast<platform::AssetsPickerController>(list->presentedViewController());
        return picker != nullptr;
    })) << messages.str();
    ASSERT_EQ(picker->offered().size(), 1u);
    ASSERT_EQ(run(shot("micro-picker") + "tap #1\ntap 完成\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return onPresentedTop<MVTUpMicroInfoViewController>() != nullptr; })) << messages.str();

    ASSERT_EQ(run("tap 请选择课程\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto courses = onPresentedTop<MVTTeacherCourseViewController>();
        return courses && courses->listArr().size() == 15;
    })) << messages.str();
    ASSERT_EQ(run(shot("micro-courses") + "tap 三年级英语\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return onPresentedTop<MVTUpMicroInfoViewController>() != nullptr; }));
    ASSERT_EQ(run("expect 三年级英语\ntap 为这段微课写一个描述吧！\ntype 春天来了\n" + shot("micro-form") + "tap 上传\nwait 1\n"), 0)
        << messages.str();
    std::shared_ptr<MVTSubmitMicroViewController> status;
    ASSERT_TRUE(waitFor([&] {
        status = onPresentedTop<MVTSubmitMicroViewController>();
        return status && status->stateLa()->text() == "上传成功";
    })) << messages.str();
    ASSERT_EQ(run("expect 春天的课.mp4\n" + shot("micro-status")), 0) << messages.str();

    auto upload = service().lastRequest("/services/norvo/course/1001/uploadSmallClass");
    ASSERT_TRUE(upload.has_value());
    std::map<std::string, std::string> fields;
    for (const auto& part : upload->parts) fields[part.name] = part.name == "vedio" ? part.fileName : part.bytes;
    EXPECT_EQ(fields["courseId"], "9103");
    EXPECT_EQ(fields["description"], "春天来了");
    // The converted file travels under the video's name as an MP4.
    EXPECT_NE(fields["vedio"].find(".mp4"), std::string::npos);

    // Back on the list, the refreshed course holds the new lesson.
    ASSERT_EQ(run("tap 返回\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] { return onPresentedTop<MVTMicroLessonViewController>() == list; })) << messages.str();
    list->reloadTableViewDataSource();
    ASSERT_TRUE(waitFor([&] {
        for (const auto& course : list->dataArr())
            if (course["id"] == "9103")
                for (const auto& lesson : course["resList"])
                    if (lesson["resourceName"] == "春天的课") return true;
        return false;
    })) << messages.str();
}

}  // namespace
