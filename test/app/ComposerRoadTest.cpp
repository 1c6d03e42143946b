// The road of a post and a mood, driven through the automation scripts: 李明 signs in,
// opens the publish menu with the floating "+", picks two photos of the album, mentions
// 王老师, adds a face and sends; then posts the mood of the day, and a second mood that day
// is refused. The real application delegate, headless, against the sample service.

#include "RoadFixture.h"
#include "composer/AddPicViewController.h"
#include "composer/MVTAddFeelingController.h"

#include "platform/Paths.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextView.h"

#include <filesystem>
#include <fstream>

using namespace platform;

namespace {

constexpr const char* kPublish = "services/norvo/postMessage/essay/2001/publish";

class ComposerRoadTest : public testing_support::RoadTest {
protected:
    void SetUp() override {
        RoadTest::SetUp();
        photos_ = AppTest::home_ / "photos";
        std::filesystem::create_directories(photos_);
        const Color colours[] = {Color::rgb255(70, 140, 210), Color::rgb255(230, 160, 60)};
        for (int i = 0; i < 2; ++i)
            std::ofstream(photos_ / ("photo" + std::to_string(i + 1) + ".jpg"), std::ios::binary)
                << Image::imageWithColor(colours[i], {800, 600})->jpegData(0.9);
    }
    void TearDown() override {
        ImagePickerController::resetSources();
        RoadTest::TearDown();
    }
    void beforeLaunch() override {
        ImagePickerController::setSourceFiles(ImagePickerSourceType::PhotoLibrary,
                                              {photos_ / "photo1.jpg", photos_ / "photo2.jpg"});
    }
    std::vector<const sample_service::RecordedRequest::Part*> parts(const sample_service::RecordedRequest& request,
                                                                    const std::string& name) {
        std::vector<const sample_service::RecordedRequest::Part*> found;
        for (const auto& part : request.parts)
            if (part.name == name) found.push_back(&part);
        return found;
    }
    std::string field(const sample_service::RecordedRequest& request, const std::string& name) {
        auto found = parts(request, name);
        return found.empty() ? "(none)" : found.front()->bytes;
    }
    std::filesystem::path photos_;
};

TEST_F(ComposerRoadTest, APostWithPhotosAMentionAndAFaceThenOneMoodADay) {
    start();
    ASSERT_EQ(run("tap 用户名/邮箱/手机号\ntype student\ntap 密 码\ntype student123\ntap 登录\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return tabBar() != nullptr; }));
    driver->settle();
    const auto shots = AppTest::home_;

    ASSERT_EQ(run("tap +\nwait 1\ntap 相册\nwait 1\ntap #1\ntap #2\ntap 完成\nwait 1\n"), 0) << messages.str();
    auto stack = std::dynamic_pointer_cast<NavigationController>(tabBar()->presentedViewController());
    ASSERT_TRUE(stack);
    auto composer = std::dynamic_pointer_cast<AddPicViewController>(stack->viewControllers().front());
    ASSERT_TRUE(composer);
    ASSERT_TRUE(pumpUntil([&] { return composer->picNum == 2 && !composer->isLoadingPictures(); }));
    driver->settle();

    ASSERT_EQ(run("tap 文字内容\ntype 春游\ntype @\nwait 1\nscreenshot " + (shots / "picker.png").string() +
                  "\ntap W\nwait 1\ntap 王老师\nwait 1\n"),
              0)
        << messages.str();
    ASSERT_EQ(composer->mytextView->text(), "春游@@王老师 ");
    ASSERT_EQ(run("tap 文字内容\nwait 1\ntap emoji\nwait 1\ntap [em:1:]\nwait 1\nscreenshot " +
                  (shots / "composer.png").string() + "\n"), 0);
    ASSERT_EQ(run("tap 发送\nwait 1\n"),
              0)
        << messages.str();
    ASSERT_TRUE(pumpUntil([&] { return service().lastRequest(kPublish).has_value(); }));
    const auto post = *service().lastRequest(kPublish);
    EXPECT_EQ(field(post, "content"), "春游@@王老师 [em:1:]");
    EXPECT_EQ(field(post, "relative"), "@王老师 :1001");
    EXPECT_EQ(field(post, "permission"), "-1");
    EXPECT_EQ(parts(post, "image").size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(shots / "picker.png"));
    EXPECT_TRUE(std::filesystem::exists(shots / "composer.png"));
    driver->settle();

    service().clearRequests();
    // The composer that sent goes away once the service has answered; the "+" is free again.
    ASSERT_TRUE(waitFor([&] { return !tabBar()->presentedViewController(); }));
    ASSERT_EQ(run("wait 1\ntap +\nwait 1\ntap 心情\nwait 1\ntap 放学啦\ntap 发送\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([&] { return service().lastRequest(kPublish).has_value(); }));
    const auto mood = *service().lastRequest(kPublish);
    EXPECT_EQ(field(mood, "mood"), "55");
    EXPECT_EQ(field(mood, "content"), "让我们那疲劳的眼睛看一看蓝天，让紧张的大脑吹进清风。");
    driver->settle();
    // The composer that sent goes away once the service has answered; the "+" is free again.
    ASSERT_TRUE(waitFor([&] { return !tabBar()->presentedViewController(); }));
    ASSERT_EQ(run("wait 1\ntap +\nwait 1\ntap 心情\nwait 1\nexpect 一天之内只可以发送一次心情哦\n"), 0) << messages.str();
    EXPECT_FALSE(tabBar()->presentedViewController());
}

}  // namespace
