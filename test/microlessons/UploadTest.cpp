// The teacher's upload road against the sample service: the course picker's pages and
// check mark, the form's refusals and hand-over, the status screen's states, and a small
// QuickTime movie converted and uploaded to "上传成功".
#include "homework/HomeworkFixture.h"
#include "support/MovieWriter.h"

#include "microlessons/MVTChooseCourse.h"
#include "microlessons/MVTMicroLessonList.h"
#include "microlessons/MVTUploadForm.h"
#include "microlessons/MVTUploadStatus.h"
#include "shell/myTableView.h"

#include "platform/Paths.h"
#include "platform/PhotoLibrary.h"
#include "platform/Reachability.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextView.h"

#include <filesystem>
#include <fstream>

using namespace testing_support;
using platform::Json;
namespace fs = std::filesystem;

namespace {

class UploadTest : public HomeworkTest {
protected:
    void SetUp() override {
        HomeworkTest::SetUp();
        signIn("teacher");
        app->setUpMicroArr(Json::array());
        app->setMP4Path("");
        app->setSelectedCourseId("");
        uploadstatus::keepLastResult();
        uploadstatus::forgetLastResult();
    }
    fs::path pickedFile(const std::string& name, const std::string& bytes = "v") {
        fs::path path = platform::Paths::home() / "library" / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string coursePath() const { return "global/micro/course/1001/list"; }
};

TEST_F(UploadTest, CoursePickerPagesByCountAndChecksTheChosenCourse) {
    app->setSelectedCourseId("9102");
    auto picker = showPushed(std::make_shared<MVTTeacherCourseViewController>());
    ASSERT_TRUE(waitForRequests(coursePath(), 1, picker->view()));
    ASSERT_EQ(picker->listArr().size(), 15u);
    EXPECT_EQ(requestsTo(coursePath()).back().queryValue("page"), "1");
    EXPECT_EQ(requestsTo(coursePath()).back().queryValue("limit"), "15");
    EXPECT_EQ(picker->moreBtn()->currentTitle(), "点击加载更多");
    // The numeric id 9102 and the text "9102" are the same course.
    auto table = picker->mytableview();
    EXPECT_EQ(picker->cellForRowAtIndexPath(*table, {0, 1})->accessoryType(),
              platform::TableViewCellAccessoryType::Checkmark);
    EXPECT_EQ(picker->cellForRowAtIndexPath(*table, {0, 0})->accessoryType(),
              platform::TableViewCellAccessoryType::None);

    picker->getSelectData();
    ASSERT_TRUE(waitForRequests(coursePath(), 2, picker->view()));
    EXPECT_EQ(requestsTo(coursePath()).back().queryValue("page"), "2");
    EXPECT_EQ(picker->listArr().size(), 17u);
    EXPECT_EQ(picker->moreBtn()->currentTitle(), "已加载全部");
    EXPECT_FALSE(picker->moreBtn()->isEnabled());
}

TEST_F(UploadTest, CoursePickerEmptyFailedAndOffline) {
    struct Case {
        std::optional<Json> reply;  // none: the network is down
        const char* title;
        bool enabled;
    };
    const std::vector<Case> cases = {
        {Json::array(), "暂无相关数据", false},
        {Json::object(), "加载失败，点击重新加载", true},
        {std::nullopt, "加载失败，点击重新加载", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        if (c.reply) {
            platform::Reachability::setOverride(platform::ReachabilityState::viaWifi());
            service().setReply("GET", "/services/norvo/" + coursePath(), sample_service::Reply::json(*c.reply));
        } else {
            platform::Reachability::setOverride(platform::ReachabilityState::offline());
        }
        auto picker = showPushed(std::make_shared<MVTTeacherCourseViewController>());
        ASSERT_TRUE(pumpUntil([&] { return picker->moreBtn() != nullptr; }));
        EXPECT_EQ(picker->moreBtn()->currentTitle(), c.title);
        EXPECT_EQ(picker->moreBtn()->isEnabled(), c.enabled);
    }
}

TEST_F(UploadTest, FormRefusesWithoutACourseThenHandsAllToTheQueue) {
    app->setSelectedCourseId("9105");
    const fs::path video = pickedFile("lesson.mov", "not a movie");
    auto form = std::make_shared<MVTUpMicroInfoViewController>();
    form->setMicroAssetWith(video.string());
    showPushed(form);
    // A fresh form forgets the course of an earlier upload.
    EXPECT_EQ(app->selectedCourseId(), "");
    EXPECT_EQ(form->classLa()->text(), "请选择课程");

    form->whichCourseSelectdWith("", "无编号课程");
    EXPECT_EQ(form->classLa()->text(), "无编号课程");
    form->toSubmitMicroView();
    ASSERT_TRUE(form->lastAlert());
    EXPECT_EQ(form->lastAlert()->title(), "请选择课程");
    EXPECT_TRUE(app->upMicroArr().empty());
    EXPECT_EQ(top(), form);

    form->whichCourseSelectdWith("9103", "英语·1年级");
    EXPECT_EQ(app->selectedCourseId(), "9103");
    form->detailsTextView()->setText("第一课");
    form->toSubmitMicroView();
    EXPECT_EQ(app->microDetailsStr(), "第一课");
    EXPECT_EQ(app->upMicroArr(), Json::array({video.string()}));
    ASSERT_TRUE(pumpUntil([&] { return std::dynamic_pointer_cast<MVTSubmitMicroViewController>(top()) != nullptr; }));
    // The file is no movie: the conversion fails and the status screen says so.
    auto status = std::dynamic_pointer_cast<MVTSubmitMicroViewController>(top());
    ASSERT_TRUE(pumpUntil([&] { return status->stateLa()->text() == "转码失败"; }, 30));
    // Back leaves at once after any result but an upload failure.
    status->goback();
    ASSERT_TRUE(pumpUntil([&] { return top() != status; }));
}

TEST_F(UploadTest, StatusScreenFollowsTheQueue) {
    const fs::path mp4 = pickedFile("done.mp4", "converted");
    app->setUpMicroArr(Json::array({pickedFile("a.b.MOV").string()}));
    app->setMP4Path(mp4.string());
    auto status = showPushed(std::make_shared<MVTSubmitMicroViewController>());
    EXPECT_EQ(status->nameLa()->text(), "a.mp4");
    EXPECT_EQ(status->stateLa()->text(), "转码中...");

    struct Case {
        const char* text;
        const char* state;
        double bar;
    };
    for (const Case& c : {Case{"0.500000", "上传中...", 90}, Case{"1.000000", "上传中...", 180}}) {
        platform::NotificationCenter::defaultCenter().postNotification(MVTAppDelegate::kToGetSubmitMicroState, c.text);
        EXPECT_EQ(status->stateLa()->text(), c.state);
        EXPECT_DOUBLE_EQ(status->bar()->frame().width(), c.bar);
        EXPECT_FALSE(status->possView()->isHidden());
    }
    platform::NotificationCenter::defaultCenter().postNotification(MVTAppDelegate::kToGetSubmitMicroState, "上传失败");
    EXPECT_FALSE(status->selectView()->isHidden());
    EXPECT_TRUE(status->possView()->isHidden());

    // Back after a failure asks instead of leaving; "取消上传" frees file and slot.
    status->goback();
    auto alert = status->lastAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "上传失败");
    EXPECT_EQ(top(), status);
    status->alertViewClickedButtonAtIndex(*alert, 1);
    EXPECT_FALSE(fs::exists(mp4));
    EXPECT_EQ(app->MP4Path(), "");
    EXPECT_TRUE(app->upMicroArr().empty());
    ASSERT_TRUE(pumpUntil([&] { return top() != status; }));
}

TEST_F(UploadTest, AResultNoScreenSawIsShownByTheNextStatusScreen) {
    const fs::path mp4 = pickedFile("big.mp4", "converted");
    app->setUpMicroArr(Json::array({pickedFile("big.mov").string()}));
    app->setMP4Path(mp4.string());
    platform::NotificationCenter::defaultCenter().postNotification(MVTAppDelegate::kToGetSubmitMicroState,
                                                                   "视频过大，不支持");
    ASSERT_EQ(uploadstatus::lastResult(), "视频过大，不支持");
    ASSERT_EQ(app->upMicroArr().size(), 1u);
    auto status = showPushed(std::make_shared<MVTSubmitMicroViewController>());
    EXPECT_EQ(status->stateLa()->text(), "视频过大，不支持");
    // The slot is free again, so the list lets the teacher pick another video.
    EXPECT_TRUE(app->upMicroArr().empty());
    EXPECT_FALSE(fs::exists(mp4));
}

TEST_F(UploadTest, ListedNames) {
    const std::pair<const char*, const char*> cases[] = {{"clip.MOV", "clip.mp4"}, {"a.b.mov", "a.mp4"}, {"clip", "clip.mp4"}};
    for (const auto& [name, listed] : cases) EXPECT_EQ(uploadstatus::listedName(name), listed);
}

TEST_F(UploadTest, PickerOffersTheLibrarysVideosByTheirFirstPicture) {
    const fs::path folder = platform::Paths::home() / "Media" / "PhotoLibrary";
    fs::create_directories(folder);
    MovieSpec red;
    red.color = std::array<std::uint8_t, 3>{220, 30, 30};
    ASSERT_TRUE(writeMovie(folder / "a-red.MOV", red));
    MovieSpec mp4;
    mp4.container = "mp4";
    ASSERT_TRUE(writeMovie(folder / "b-gradient.mp4", mp4));
    std::ofstream(folder / "c-broken.mp4", std::ios::binary) << "no movie in here";
    std::ofstream(folder / "d-photo.png", std::ios::binary) << platform::Image::imageWithColor(platform::Color::red(), {8, 8})->pngData();
    platform::ImagePickerController::setSourceFiles(platform::ImagePickerSourceType::PhotoLibrary,
                                                    platform::PhotoLibrary::assetsInFolder(folder));

    auto list = showRoot(std::make_shared<MVTMicroLessonViewController>());
    list->toUpMicro();
    std::shared_ptr<platform::AssetsPickerController> picker;
    ASSERT_TRUE(pumpUntil([&] {
        picker = std::dynamic_pointer_cast<platform::AssetsPickerController>(list->presentedViewController());
        return picker != nullptr;
    }));
    EXPECT_EQ(picker->maximumNumberOfSelection(), 1u);
    // Videos only, a photo left out; a file that is no movie shows without a picture.
    const std::vector<fs::path> videos = {folder / "a-red.MOV", folder / "b-gradient.mp4", folder / "c-broken.mp4"};
    ASSERT_EQ(picker->offered(), videos);
    platform::PickedAsset first{videos[0]};
    EXPECT_EQ(first.filename(), "a-red.MOV");
    EXPECT_EQ(first.size(), static_cast<long long>(fs::file_size(videos[0])));
    auto thumbnail = first.thumbnail(40);
    ASSERT_TRUE(thumbnail);
    // The 4:3 picture in the middle of a black square, in the movie's colour.
    const int side = thumbnail->pixelWidth();
    EXPECT_EQ(thumbnail->pixelHeight(), side);
    const std::uint32_t middle = thumbnail->pixelAt(side / 2, side / 2);
    EXPECT_NEAR(int((middle >> 16) & 0xff), 220, 12);
    EXPECT_NEAR(int((middle >> 8) & 0xff), 30, 12);
    EXPECT_EQ(thumbnail->pixelAt(side / 2, 0) & 0xffffff, 0u);
    EXPECT_FALSE(platform::PickedAsset{videos[2]}.thumbnail(40));

    // One pick goes on to the form, whose thumbnail is the video's first picture.
    ASSERT_TRUE(picker->toggleAssetAtIndex(0));
    EXPECT_FALSE(picker->toggleAssetAtIndex(1));
    picker->finish();
    EXPECT_FALSE(list->presentedViewController());  // gone at once, before the form is pushed
    advance(MVTMicroLessonViewController::kPickedPushDelay);
    ASSERT_TRUE(pumpUntil([&] { return std::dynamic_pointer_cast<MVTUpMicroInfoViewController>(top()) != nullptr; }));
    auto form = std::dynamic_pointer_cast<MVTUpMicroInfoViewController>(top());
    EXPECT_EQ(form->nowAsset(), videos[0].string());
    platform::ImagePickerController::resetSources();
}

TEST_F(UploadTest, ListUploadBarGoesToTheFormThenTheStatusWhileTheSlotIsTaken) {
    auto list = showRoot(std::make_shared<MVTMicroLessonViewController>());
    ASSERT_TRUE(list->upButton());
    const fs::path movie = platform::Paths::home() / "library" / "road.mov";
    fs::create_directories(movie.parent_path());
    ASSERT_TRUE(writeMovie(movie));
    list->checkPickedVideo(movie.string());
    advance(MVTMicroLessonViewController::kPickedPushDelay);
    ASSERT_TRUE(pumpUntil([&] { return std::dynamic_pointer_cast<MVTUpMicroInfoViewController>(top()) != nullptr; }));
    auto form = std::dynamic_pointer_cast<MVTUpMicroInfoViewController>(top());
    EXPECT_EQ(form->nowAsset(), movie.string());

    form->toSelectClass();
    ASSERT_TRUE(pumpUntil([&] { return std::dynamic_pointer_cast<MVTTeacherCourseViewController>(top()) != nullptr; }));
    auto picker = std::dynamic_pointer_cast<MVTTeacherCourseViewController>(top());
    ASSERT_TRUE(waitForRequests(coursePath(), 1, picker->view()));
    picker->didSelectRowAtIndexPath(*picker->mytableview(), {0, 2});
    advance(MVTTeacherCourseViewController::kCloseDelay);
    ASSERT_TRUE(pumpUntil([&] { return top() == form; }));
    EXPECT_EQ(form->nowCourseId(), "9103");

    form->toSubmitMicroView();
    ASSERT_TRUE(pumpUntil([&] { return std::dynamic_pointer_cast<MVTSubmitMicroViewController>(top()) != nullptr; }));
    auto status = std::dynamic_pointer_cast<MVTSubmitMicroViewController>(top());
    ASSERT_TRUE(pumpUntil([&] { return status->stateLa()->text() == "上传成功"; }, 60)) << status->stateLa()->text();
    auto upload = service().lastRequest("/services/norvo/course/1001/uploadSmallClass");
    ASSERT_TRUE(upload);
    bool course = false;
    for (const auto& part : upload->parts)
        if (part.name == "courseId") course = part.bytes == "9103";
    EXPECT_TRUE(course);
    EXPECT_TRUE(app->upMicroArr().empty());

    // Back on the list, a refresh shows the lesson in its course, named after its file.
    status->goback();
    ASSERT_TRUE(pumpUntil([&] { return top() == list; }));
    const std::size_t asked = requestsTo("courseMicro/1001/list").size();
    list->reloadTableViewDataSource();
    ASSERT_TRUE(waitForRequests("courseMicro/1001/list", asked + 1, list->view()));
    driver->pump();
    bool joined = false;
    for (const auto& entry : list->dataArr())
        if (entry["id"] == "9103")
            for (const auto& lesson : entry["resList"]) joined = joined || lesson["resourceName"] == "road";
    EXPECT_TRUE(joined);
}

}  // namespace
