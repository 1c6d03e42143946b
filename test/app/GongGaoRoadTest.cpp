// The road of a group's announcements against the sample service: 王老师 opens the
// 读书兴趣小组 chat and its profile; the profile's announcements (no control of the profile
// opens them, so the road calls the profile's own opening) show the first page of 15, the
// pictures and the footer; the next page brings the last two; 王老师 writes a new
// announcement, which comes first after the save, and plays a voice.

#include "RoadFixture.h"
#include "chat/MVTChatViewController.h"
#include "contacts/MVTGongGaoEdit.h"
#include "contacts/MVTGongGaoTableViewCell.h"
#include "contacts/MVTGongGaoViewController.h"
#include "contacts/MVTGroupDetailViewController.h"
#include "core/MVTtirraDataBase.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/ui/NavigationController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace platform;

namespace {

class GongGaoRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override { MVTtirraDataBase::deleteSaveUser(); }
    template <class Screen>
    std::shared_ptr<Screen> top() const {
        return onTabPresentedTop<Screen>();
    }
};

TEST_F(GongGaoRoadTest, TheCreatorReadsPagesWritesAnAnnouncementAndPlaysAVoice) {
    signIn("teacher", "teacher123");
    ASSERT_EQ(run("tap 消息\nwait 2\ntap 读书兴趣小组\nwait 2\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return top<MVTChatViewController>() != nullptr; }));
    ASSERT_EQ(run("tap 群资料\nwait 1\n"), 0) << messages.str();
    std::shared_ptr<MVTGroupDetailViewController> profile;
    ASSERT_TRUE(waitFor([&] {
        profile = top<MVTGroupDetailViewController>();
        return profile && profile->userType() == "2" && !profile->isLoadIng();
    }));

    profile->goGonggao();
    std::shared_ptr<MVTGongGaoViewController> list;
    ASSERT_TRUE(waitFor([&] {
        list = top<MVTGongGaoViewController>();
        return list && list->dataArray().size() == 15 && !list->refreshing();
    }));
    ASSERT_EQ(run("wait 2\nexpect 群公告\nexpect 本周读书会改到周五下午\n" + shot("announcements")), 0) << messages.str();

    // The four-picture and nine-picture rows further down.
    list->mytableview()->scrollToRowAtIndexPath({0, 3}, TableViewScrollPosition::Top, false);
    ASSERT_TRUE(waitFor([] {
        for (int i = 1; i <= 9; ++i)
            if (!fs::exists(MVTGongGaoTableViewCell::thumbnailFile("89020" + std::to_string(i))))
                return false;
        return true;
    }));
    list->mytableview()->reloadData();
    ASSERT_EQ(run("wait 2\nexpect 读书笔记展示\n" + shot("pictures")), 0) << messages.str();

    // The footer at the end asks for the last two.
    list->mytableview()->scrollToRowAtIndexPath({0, 14}, TableViewScrollPosition::Top, false);
    ASSERT_EQ(run("wait 1\ntap 点击加载更多\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] { return list->dataArray().size() == 17 && !list->refreshing(); }));
    list->mytableview()->scrollToRowAtIndexPath({0, 16}, TableViewScrollPosition::Top, false);
    ASSERT_EQ(run("wait 1\nexpect 已经加载全部\n" + shot("all-loaded")), 0) << messages.str();

    // A new announcement.
    list->mytableview()->scrollToRowAtIndexPath({0, 0}, TableViewScrollPosition::Top, false);
    list->addNewGongGao();
    std::shared_ptr<MVTEditGongGaoViewController> composer;
    ASSERT_TRUE(waitFor([&] {
        composer = top<MVTEditGongGaoViewController>();
        return composer != nullptr;
    }));
    composer->myTextField()->setText("下周读书会");
    composer->mytextView()->setText("下周一起读《小王子》第三章。");
    composer->textViewDidBeginEditing();
    ASSERT_EQ(run("wait 1\nexpect 编辑公告\n" + shot("composer") + "tap 发布\nwait 2\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([&] {
        return top<MVTGongGaoViewController>() == list && !list->dataArray().empty() &&
               platform::textOf(list->dataArray()[0], "title") == "下周读书会" && !list->refreshing();
    }));
    ASSERT_EQ(run("wait 1\nexpect 下周读书会\n" + shot("saved")), 0) << messages.str();

    // The voice of the second row.
    auto app = MVTAppDelegate::sharedAppDelegate();
    auto cell = list->buildCell(1);
    list->toDownLoadAudioWith(cell->recordUrl(), 1);
    ASSERT_TRUE(waitFor([&] { return !app->nowPlayPath().empty(); }));
    ASSERT_EQ(run("wait 1\n" + shot("voice")), 0) << messages.str();
    app->stopPlayAudio();

    for (const char* name : {"announcements", "pictures", "all-loaded", "composer", "saved", "voice"})
        EXPECT_TRUE(fs::exists(home_ / "shots" / (std::string(name) + ".png"))) << name;
}

}  // namespace
