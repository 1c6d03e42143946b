// The roads of class notices, driven through the automation scripts against the sample
// service: 李明 opens 班级通知, pages to the list's end and opens a file of a notice as a
// text page; 王老师 opens the read status of her notice, looks for who has not read it and
// reminds them by text message.

#include "RoadFixture.h"
#include "core/MVTtirraDataBase.h"
#include "notices/AllClassViewController.h"
#include "notices/MVTPriNotViewController.h"
#include "notices/NotiViewController.h"
#include "shell/MVTWebViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

namespace {

class NoticeRoadTest : public testing_support::RoadTest {
protected:
    void beforeLaunch() override { MVTtirraDataBase::deleteSaveUser(); }

    bool showing(const std::string& text) {
        std::ostringstream quiet;
        return ScriptRunner(*driver, quiet).runText("expect " + text + "\n") == 0;
    }
    // Drags the list until the condition holds (a finger's flick at a time).
    bool dragUntil(const std::string& drag, const std::function<bool()>& condition) {
        for (int i = 0; i < 40 && !condition(); ++i) {
            if (run(drag) != 0) return false;
            driver->advance(0.5);
            driver->settle();
        }
        return condition();
    }
};

TEST_F(NoticeRoadTest, APupilPagesToTheEndAndOpensANoticesFileAsText) {
    signIn("student", "student123");
    ASSERT_EQ(run("wait 1\ntap 发现\nwait 1\ntap 班级通知\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto list = onTabPresentedTop<NotiViewController>();
        return list && list->myArray().size() == 15 && !list->isloading();
    }));
    ASSERT_EQ(run("expect 期末考试安排\n" + shot("notice-list")), 0) << messages.str();

    // Up to the footer: page 2 brings the last two notices and the list ends.
    auto list = onTabPresentedTop<NotiViewController>();
    ASSERT_TRUE(dragUntil("drag 160 450 160 80\n", [&] { return list->myArray().size() == 17 && !list->isloading(); }));
    ASSERT_TRUE(dragUntil("drag 160 450 160 80\n", [&] { return showing("没有更多了"); })) << messages.str();
    ASSERT_EQ(run("expect 第1号通知\n" + shot("notice-list-end")), 0) << messages.str();

    // Back at the top (the first card is taller than the window), then down a little at a
    // time to the first notice's rules, which open as text.
    ASSERT_FALSE(dragUntil("drag 160 80 160 500\n", [&] { return false; }));
    ASSERT_TRUE(dragUntil("drag 160 300 160 200\n", [&] { return showing("班级公约.txt"); })) << messages.str();
    ASSERT_EQ(run("tap 班级公约.txt\n"), 0) << messages.str();
    // The file's page comes up in a stack of its own, presented over the list.
    ASSERT_TRUE(waitFor([this] {
        auto list = onTabPresentedTop<NotiViewController>();
        auto stack = list ? std::dynamic_pointer_cast<NavigationController>(list->presentedViewController()) : nullptr;
        auto page = stack ? std::dynamic_pointer_cast<MVTWebViewController>(stack->topViewController()) : nullptr;
        return page && page->isTextMode();
    })) << messages.str();
    ASSERT_EQ(run("wait 1\n" + shot("notice-file")), 0) << messages.str();
    EXPECT_TRUE(service().lastRequest("/resource/880003/download").has_value());
}

TEST_F(NoticeRoadTest, TheAuthorFindsWhoHasNotReadAndRemindsThemByText) {
    signIn("teacher", "teacher123");
    ASSERT_EQ(run("wait 1\ntap 发现\nwait 1\ntap 班级通知\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto picker = onTabPresentedTop<AllClassViewController>();
        return picker && showing("高一  一班");
    })) << messages.str();
    ASSERT_EQ(run(shot("notice-classes") + "tap 高一  一班\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto list = onTabPresentedTop<NotiViewController>();
        return list && list->myArray().size() == 15 && !list->isloading();
    }));
    ASSERT_EQ(run("tap 3人回执/发送5人\nwait 1\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return onTabPresentedTop<MVTPriNotViewController>() && showing("钱多多"); }))
        << messages.str();
    ASSERT_EQ(run(shot("notice-read-status") + "tap 查漏\nwait 1\n" + shot("notice-unread-ticked") +
                  "tap 短信通知\nwait 1\n"),
              0)
        << messages.str();
    ASSERT_TRUE(waitFor([this] { return showing("发送成功"); })) << messages.str();
    ASSERT_EQ(run(shot("notice-reminded")), 0) << messages.str();
    auto sms = service().lastRequest("/services/norvo/class/notice/7101/mobile/sms");
    ASSERT_TRUE(sms.has_value());
    EXPECT_EQ(sms->formValue("uids"), "2004,2005");
}

}  // namespace
