// The road of the class album, driven through the automation scripts against the sample
// service: the teacher opens 班级相册 from 发现, looks at the recent photos, opens an album
// and a photo in the pager.

#include "RoadFixture.h"
#include "albums/MVTAlbumDetalsViewController.h"
#include "albums/MVTClassAlbumViewController.h"
#include "albums/MVTCyclePicViewController.h"
#include "core/MVTtirraDataBase.h"

#include "platform/Files.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

namespace {

class AlbumRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override { MVTtirraDataBase::deleteSaveUser(); }
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

}  // namespace
