// The lesson lists and the upload road, driven through the automation scripts against the
// sample service: 李明 opens 微课 (no launcher shows it: the script's launch runs the
// grid's dispatch) and its open lessons; the teacher uploads a video to a course of his.

#include "RoadFixture.h"
#include "core/MVTtirraDataBase.h"
#include "microlessons/MVTChooseCourse.h"
#include "microlessons/MVTMicroLessonList.h"
#include "microlessons/MVTUploadForm.h"
#include "microlessons/MVTUploadStatus.h"

#include "platform/ui/Label.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class MicroListRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override { MVTtirraDataBase::deleteSaveUser(); }
    std::shared_ptr<MVTMicroLessonViewController> openLessons() {
        EXPECT_EQ(run("wait 1\nlaunch 微课\nwait 1\n"), 0) << messages.str();
        EXPECT_TRUE(waitFor([this] {
            auto list = onPresentedTop<MVTMicroLessonViewController>();
            return list && !list->dataArr().empty();
        })) << messages.str();
        return onPresentedTop<MVTMicroLessonViewController>();
    }
};

TEST_F(MicroListRoadTest, AStudentBrowsesSchoolAndOpenLessons) {
    signIn("student", "student123");
    auto list = openLessons();
    ASSERT_TRUE(list);
    ASSERT_EQ(run("expect 三年级语文\n" + shot("micro-school") + "tap 开放微课\nwait 1\n"), 0) << messages.str();
    auto open = list->openMicroViewController();
    ASSERT_TRUE(waitFor([&] { return open->dataArr().size() == 15; })) << messages.str();
    ASSERT_EQ(run("expect 静夜思朗读\n" + shot("micro-open")), 0) << messages.str();
    EXPECT_EQ(open->moreBtn()->currentTitle(), "点击加载更多");
}

TEST_F(MicroListRoadTest, ATeacherUploadsAVideoToACourse) {
    signIn("teacher", "teacher123");
    auto list = openLessons();
    ASSERT_TRUE(list);
    // The photo library's video picker is not part of this road: the picked file is handed
    // to the list's check directly.
    const fs::path video = home_ / "library" / "lesson.mp4";
    fs::create_directories(video.parent_path());
    std::ofstream(video, std::ios::binary) << std::string(200000, 'v');
    list->checkPickedVideo(video.string());
    ASSERT_TRUE(waitFor([this] { return onPresentedTop<MVTUpMicroInfoViewController>() != nullptr; }));
    ASSERT_EQ(run("tap 请选择课程\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto picker = onPresentedTop<MVTTeacherCourseViewController>();
        return picker && picker->listArr().size() == 15;
    })) << messages.str();
    ASSERT_EQ(run(shot("micro-courses") + "tap 英语·1年级\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return onPresentedTop<MVTUpMicroInfoViewController>() != nullptr; }));
    ASSERT_EQ(run("expect 英语·1年级\n" + shot("micro-form") + "tap 上传\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto status = onPresentedTop<MVTSubmitMicroViewController>();
        return status && status->stateLa()->text() == "上传成功";
    })) << messages.str();
    ASSERT_EQ(run(shot("micro-status")), 0) << messages.str();
    auto upload = service().lastRequest("/services/norvo/course/1001/uploadSmallClass");
    ASSERT_TRUE(upload.has_value());
    bool course = false;
    for (const auto& part : upload->parts)
        if (part.name == "courseId") course = part.bytes == "9103";
    EXPECT_TRUE(course);
}

}  // namespace
