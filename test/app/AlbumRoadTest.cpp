// The road of the class album, driven through the automation scripts against the sample
// service: the teacher opens 班级相册 from 发现, looks at the recent photos, opens an album
// and a photo in the pager; and uploads a library picture with a caption into an album
// chosen on the chooser, then finds it among the recent photos.

#include "RoadFixture.h"
#include "albums/MVTAlbumDetalsViewController.h"
#include "albums/MVTClassAlbumViewController.h"
#include "albums/MVTCyclePicViewController.h"
#include "albums/MVTSelectClassOrAlbumViewController.h"
#include "albums/MVTUpAlbumPicViewController.h"
#include "core/MVTtirraDataBase.h"

#include "platform/Files.h"
#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/Button.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

namespace {

class AlbumRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override { MVTtirraDataBase::deleteSaveUser(); }
    void TearDown() override {
        ImagePickerController::resetSources();
        RoadTest::TearDown();
    }
    NavigationController* albumStack() const {
        auto tabs = tabBar();
        auto presented = tabs ? tabs->presentedViewController() : nullptr;
        return presented ? presented->asNavigationController() : nullptr;
    }
    template <class Screen>
    std::shared_ptr<Screen> onTop() const {
        auto stack = albumStack();
        return stack ? std::dynamic_pointer_cast<Screen>(stack->topViewController()) : nullptr;
    }
};

TEST_F(AlbumRoadTest, ATeacherOpensTheRecentPhotosAnAlbumAndAPhoto) {
    start();
    ASSERT_EQ(run("tap 用户名/邮箱/手机号\ntype teacher\ntap 密 码\ntype teacher123\ntap 登录\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return tabBar() != nullptr; }));
    driver->settle();
    ASSERT_EQ(run("wait 1\ntap 发现\nwait 1\ntap 班级相册\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto album = onTop<MVTClassAlbumViewController>();
        return album && album->picDataArr().size() == 15;
    }));
    ASSERT_EQ(run(shot("recent") + "tap 相册\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto album = onTop<MVTClassAlbumViewController>();
        return album && album->albumDataArr().size() == 10;
    }));
    ASSERT_EQ(run(shot("albums") + "tap 春游\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto grid = onTop<MVTAlbumDetalsViewController>();
        return grid && grid->picDataArr().size() == 15;
    })) << messages.str();
    onTop<MVTAlbumDetalsViewController>()->whichSelectdWith("0");
    ASSERT_TRUE(waitFor([this] {
        auto grid = onTop<MVTAlbumDetalsViewController>();
        auto pager = grid ? std::dynamic_pointer_cast<MVTCyclePicViewController>(grid->presentedViewController()) : nullptr;
        return pager && pager->cycleView()->curViews()[1]->imageView()->image();
    }));
    ASSERT_EQ(run("expect 1 / 15\n" + shot("pager")), 0) << messages.str();
    for (const char* name : {"recent", "albums", "pager"})
        EXPECT_TRUE(fileExists(home_ / "shots" / (std::string(name) + ".png"))) << name;
}

TEST_F(AlbumRoadTest, ATeacherUploadsALibraryPictureWithACaptionAndFindsItsPost) {
    // One picture in the photo library.
    auto ctx = makeImageContext({400, 300}, 1, true);
    ctx->fillRect({0, 0, 400, 300}, Color::rgb255(120, 180, 230));
    ctx->fillRect({60, 150, 280, 150}, Color::rgb255(80, 150, 70));
    const auto library = home_ / "library" / "kite.jpg";
    ASSERT_TRUE(writeFileAtomically(library, ctx->image()->jpegData(0.9)));
    ImagePickerController::setSourceFiles(ImagePickerSourceType::PhotoLibrary, {library});

    start();
    ASSERT_EQ(run("tap 用户名/邮箱/手机号\ntype teacher\ntap 密 码\ntype teacher123\ntap 登录\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return tabBar() != nullptr; }));
    driver->settle();
    ASSERT_EQ(run("wait 1\ntap 发现\nwait 1\ntap 班级相册\nwait 1\n"), 0) << messages.str();
    std::shared_ptr<MVTClassAlbumViewController> album;
    ASSERT_TRUE(waitFor([&] {
        album = onTop<MVTClassAlbumViewController>();
        return album && album->picDataArr().size() == 15;
    }));
    // "+" → 上传照片, into 春游.
    ASSERT_TRUE(driver->tap(album->selectBtn()));
    ASSERT_EQ(run("wait 1\ntap 上传照片\nwait 1\n"), 0) << messages.str();
    std::shared_ptr<MVTUpAlbumPicViewController> upload;
    ASSERT_TRUE(waitFor([&] { return (upload = onTop<MVTUpAlbumPicViewController>()) != nullptr; }));
    // The album as the chooser hands it back.
    upload->whichSelectdWith("春游", "502");
    EXPECT_EQ(upload->albumLabel()->text(), "春游");
    // The library picture, through the asset picker.
    ASSERT_EQ(run("tap #" + std::to_string(MVTUpAlbumPicViewController::kAddButtonTag) + "\n"), 0) << messages.str();
    std::shared_ptr<AssetsPickerController> picker;
    ASSERT_TRUE(waitFor([&] {
        picker = std::dynamic_pointer_cast<AssetsPickerController>(upload->presentedViewController());
        return picker != nullptr;
    }));
    ASSERT_TRUE(picker->toggleAssetAtIndex(0));
    ASSERT_EQ(run("tap 完成\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] { return !upload->presentedViewController() && upload->pendingPictures() == 0; }));
    ASSERT_EQ(run("tap 图片说明\ntype 放风筝\n"), 0) << messages.str();
    // The keyboard goes down before the button under it is tapped.
    upload->textView()->resignFirstResponder();
    driver->settle();
    ASSERT_EQ(run("tap 确认上传\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] { return driver->alert() != nullptr; })) << messages.str();
    EXPECT_EQ(driver->alert()->title(), "上传成功");
    const auto sent = service().lastRequest("/services/norvo/class/1001/album/502/upload/photo");
    ASSERT_TRUE(sent);
    ASSERT_EQ(sent->parts.size(), 2u);
    EXPECT_EQ(sent->parts[0].bytes, "放风筝");
    driver->pressAlertButton(0);
    // Back on the recent photos, refreshed: the new post comes first.
    ASSERT_TRUE(waitFor([&] {
        auto shown = onTop<MVTClassAlbumViewController>();
        return shown && !shown->picDataArr().empty() && textOf(*shown->picDataArr().front(), "content") == "放风筝";
    })) << messages.str();
    ASSERT_EQ(run("wait 1\n" + shot("uploaded")), 0) << messages.str();
}

}  // namespace
