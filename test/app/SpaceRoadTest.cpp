// The personal space's road, driven through the automation against the sample service:
// 李明 taps 王老师's picture on a post of 动态 and finds her space, scrolls its timeline, votes in it and
// opens her profile from the avatar; both screens are saved as pictures.

#include "RoadFixture.h"

#include "feed/MVTHomeViewController.h"
#include "me/MVTPathView.h"
#include "me/MVTPersonDetailViewController.h"
#include "me/MVTTimeSpaceCell.h"
#include "me/MVTTimeSpaceViewController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

namespace {

class SpaceRoadTest : public testing_support::RoadTest {
protected:
    std::shared_ptr<MVTHomeViewController> home() const {
        auto navigation = std::dynamic_pointer_cast<NavigationController>(tabBar()->viewControllers().front());
        return std::dynamic_pointer_cast<MVTHomeViewController>(navigation->viewControllers().front());
    }
    std::shared_ptr<NavigationController> spaceStack() const {
        return std::dynamic_pointer_cast<NavigationController>(home()->presentedViewController());
    }
    template <class Screen>
    std::shared_ptr<Screen> onTop() const {
        auto stack = spaceStack();
        return stack ? std::dynamic_pointer_cast<Screen>(stack->topViewController()) : nullptr;
    }
};

TEST_F(SpaceRoadTest, LiMingVisitsWangsSpaceVotesAndOpensHerProfile) {
    start();
    ASSERT_EQ(run("tap 用户名/邮箱/手机号\ntype student\nkey return\ntype student123\nkey return\n"), 0) << messages.str();
    ASSERT_TRUE(pumpUntil([this] { return tabBar() && !home()->dataArray().empty(); }));
    driver->settle();
    ASSERT_EQ(run("tap 动态\nwait 0.5\n"), 0) << messages.str();
    // The author's picture on a post of 王老师 opens her space.
    auto author = driver->find([](const View& view) {
        return view.accessibilityHint() == "1001" && view.frame().width() == 40 && dynamic_cast<const Button*>(&view);
    });
    ASSERT_TRUE(author);
    ASSERT_TRUE(driver->tap(author));
    std::shared_ptr<MVTTimeSpaceViewController> space;
    ASSERT_TRUE(waitFor([&] {
        space = onTop<MVTTimeSpaceViewController>();
        return space && !space->isLoading() && space->dataArray().size() >= 20;
    })) << messages.str() << " presented: " << (home()->presentedViewController() ? home()->presentedViewController()->className() : "none")
        << " space: " << (space ? std::to_string(space->dataArray().size()) + (space->isLoading() ? " loading" : "") : "none");
    EXPECT_EQ(textOf(space->userDict(), "id"), "1001");
    ASSERT_EQ(run("expect 个人动态\nexpect 王老师\nexpect 认真备课中\n"), 0) << messages.str();
    const auto spaceShot = home_ / "space.png";
    ASSERT_EQ(run("screenshot " + spaceShot.string() + "\n"), 0) << messages.str();
    EXPECT_TRUE(fileExists(spaceShot));

    // Scroll down the timeline with a finger.
    ASSERT_EQ(run("drag 160 450 160 120\nwait 1\n"), 0) << messages.str();
    EXPECT_GT(space->tableView()->contentOffset().y, 0);

    // Vote in the single-choice vote.
    int voteRow = -1;
    for (std::size_t i = 0; i < space->dataArray().size(); ++i)
        if (textOf(valueFor(space->dataArray()[i], "vote"), "id") == "7101") voteRow = int(i);
    ASSERT_GE(voteRow, 0);
    space->tableView()->scrollToRowAtIndexPath({0, voteRow}, TableViewScrollPosition::Top, false);
    driver->settle();
    auto cell = std::dynamic_pointer_cast<MVTTimeSpaceCell>(space->tableView()->cellForRowAtIndexPath({0, voteRow}));
    ASSERT_TRUE(cell);
    ASSERT_EQ(cell->selectVoteArr().size(), 2u);
    ASSERT_TRUE(driver->tap(cell->selectVoteArr()[1]));
    ASSERT_TRUE(driver->tap(cell->voteBtn()));
    ASSERT_TRUE(waitFor([&] { return textOf(valueFor(space->dataArray()[std::size_t(voteRow)], "vote"), "showResult") == "1"; }));
    EXPECT_EQ(service().lastRequest("/services/norvo/user/2001/save/vote/7101/answer")->formValue("answerIds"), "71012");

    // The avatar opens the profile.
    space->tableView()->scrollToRowAtIndexPath({0, 0}, TableViewScrollPosition::Top, false);
    space->tableView()->setContentOffset({0, 0});
    driver->settle();
    ASSERT_TRUE(driver->tap(space->headView()->avatarButton()));
    std::shared_ptr<MVTPersonDetailViewController> profile;
    ASSERT_TRUE(waitFor([&] {
        profile = onTop<MVTPersonDetailViewController>();
        return profile && !profile->myDict().empty();
    }));
    ASSERT_EQ(run("expect 个人资料\nexpect 三年级一班，三年级二班\n"), 0) << messages.str();
    const auto profileShot = home_ / "profile.png";
    ASSERT_EQ(run("screenshot " + profileShot.string() + "\n"), 0) << messages.str();
    EXPECT_TRUE(fileExists(profileShot));
}

}  // namespace
