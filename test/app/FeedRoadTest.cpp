// The home feed's road, driven through the automation against the sample service: the
// teacher signs in and finds the class circle on 动态, praises a post, comments through the
// tab bar's comment bar, plays a voice, opens a text file, switches to 我的 and opens a
// composer; the screen is saved as a picture on the way.

#include "RoadFixture.h"

#include "composer/AddFeedViewController.h"
#include "feed/MVTHomeViewController.h"
#include "feed/MVTPersonCell.h"
#include "shell/MVTWebViewController.h"

#include "platform/Files.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

namespace {

class FeedRoadTest : public testing_support::RoadTest {
protected:
    std::shared_ptr<MVTHomeViewController> home() const {
        auto navigation = std::dynamic_pointer_cast<NavigationController>(tabBar()->viewControllers().front());
        return std::dynamic_pointer_cast<MVTHomeViewController>(navigation->viewControllers().front());
    }
    std::shared_ptr<ViewController> presentedRoot() const {
        auto navigation = std::dynamic_pointer_cast<NavigationController>(home()->presentedViewController());
        return navigation ? navigation->viewControllers().front() : nullptr;
    }
    Json& row(int index) const { return *home()->dataArray()[size_t(index)]; }
};

TEST_F(FeedRoadTest, TheTeacherPraisesCommentsListensOpensAFileAndWrites) {
    start();
    ASSERT_EQ(run("tap 用户名/邮箱/手机号\ntype teacher\nkey return\ntype teacher123\nkey return\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return tabBar() && !home()->dataArray().empty(); }));
    driver->settle();
    // The school's advert banner above the posts is closed first.
    ASSERT_TRUE(pumpUntil([this] { return home()->adArray().size() == 1; }));
    home()->toCloseAdView();
    driver->settle();
    ASSERT_EQ(run("expect 班级圈\nexpect 班级公约和寒假作业，请同学们下载\nexpect 今天的朗读作业，请同学们听一听\n"), 0)
        << messages.str();
    const auto shot = home_ / "feed.png";
    ASSERT_EQ(run("screenshot " + shot.string() + "\n"), 0) << messages.str();
    EXPECT_TRUE(fileExists(shot));

    // Praise the newest post: the heart and the count change, and so does the service.
    ASSERT_TRUE(driver->tap(home()->cellAtRow(0)->praiseButton()));
    ASSERT_TRUE(pumpUntil([this] { return textOf(row(0), "love") == "1"; }));
    EXPECT_TRUE(service().lastRequest("/services/norvo/user/1001/feed/42/praise"));
    driver->settle();

    // Comment through the tab bar's bar: the row counts it.
    const std::string before = textOf(row(0), "commentCount");
    ASSERT_TRUE(driver->tap(home()->cellAtRow(0)->commentButton()));
    driver->settle();
    ASSERT_EQ(run("type 收到，谢谢老师[em:2:]\ntap 发送\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this, before] { return textOf(row(0), "commentCount") != before; }));
    driver->settle();
    // The row's comment previews start with it.
    EXPECT_EQ(row(0)["comments"][0]["content"], "收到，谢谢老师[em:2:]");
    EXPECT_EQ(row(0)["comments"][0]["name"], "王老师");

    // The voice of the second post plays (its button lies under the floating "+" bar after
    // the comment's row grew: its action runs as a tap would run it).
    home()->cellAtRow(1)->recordBtn()->sendActionsForControlEvents(ControlEventTouchUpInside);
    ASSERT_TRUE(pumpUntil([this] { return !app->nowPlayPath().empty(); }));
    EXPECT_TRUE(home()->cellAtRow(1)->recordBtn()->isSelected());
    driver->settle();

    // The text file opens in the web page screen.
    ASSERT_EQ(run("tap 班级公约.txt\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return std::dynamic_pointer_cast<MVTWebViewController>(presentedRoot()) != nullptr; }));
    ASSERT_TRUE(pumpUntil([this] { return driver->byTextContaining("按时到校") != nullptr; }));
    home()->dismissViewController(false);
    driver->settle();

    // 我的: the user's own posts, from the service.
    ASSERT_TRUE(driver->tap(home()->dynamicTypeBtn()));
    driver->settle();
    ASSERT_EQ(run("tap 我的\nwait 0.2\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] {
        auto request = service().lastRequest("/services/norvo/feed/1001/list/1");
        return request && request->queryValue("filter") == "user:me" && !home()->dataArray().empty();
    }));
    driver->settle();
    for (const auto& record : home()->dataArray()) EXPECT_EQ(textOf(*record, "uid"), "1001");
    ASSERT_EQ(run("expect 我的\n"), 0) << messages.str();

    // The "+" opens the composer menu; "图文" the text and picture composer.
    ASSERT_TRUE(driver->tap(home()->selectBtn()));
    driver->settle();
    ASSERT_EQ(run("tap 图文\nwait 1\n"), 0) << messages.str();
    EXPECT_TRUE(std::dynamic_pointer_cast<AddFeedViewController>(presentedRoot()));
}

}  // namespace
