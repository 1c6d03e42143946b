// The reactions' road, driven through the automation against the sample service: the
// teacher pages 动态 down to the outing vote, opens it, picks two answers and votes,
// praises the post, opens its praisers and comes back, then takes the relevant bar of 动态
// to the reactions list, keeps the comments and opens a row's post; the screens are saved
// as pictures on the way.

#include "RoadFixture.h"

#include "details/MVTDetailsViewController.h"
#include "details/MVTFeedLoveMemberViewController.h"
#include "details/MVTRelevantMeViewController.h"
#include "feed/MVTHomeViewController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

namespace {

class ReactionsRoadTest : public testing_support::RoadTest {
protected:
    std::shared_ptr<MVTHomeViewController> home() const {
        auto tabs = tabBar();
        if (!tabs || tabs->viewControllers().empty()) return nullptr;
        auto navigation = std::dynamic_pointer_cast<NavigationController>(tabs->viewControllers().front());
        return navigation ? std::dynamic_pointer_cast<MVTHomeViewController>(navigation->viewControllers().front())
                          : nullptr;
    }
    // The navigation stack the home presented (the detail screen's or the reactions list's).
    std::shared_ptr<NavigationController> presented() const {
        return std::dynamic_pointer_cast<NavigationController>(home()->presentedViewController());
    }
    template <class Screen>
    std::shared_ptr<Screen> presentedTop() const {
        auto stack = presented();
        return stack ? std::dynamic_pointer_cast<Screen>(stack->topViewController()) : nullptr;
    }
    // The view showing `text` on the screen `screen` (the feed row under it shows the same
    // answer titles).
    std::shared_ptr<View> textOn(ViewController& screen, const std::string& text) const {
        const View* root = screen.view().get();
        return driver->find([&](const View& v) {
            if (v.displayedText() != text) return false;
            for (auto up = v.superview(); up; up = up->superview())
                if (up.get() == root) return true;
            return false;
        });
    }
    int listedRowOf(const std::string& id) const {
        const auto& rows = home()->dataArray();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (textOf(*rows[i], "id") == id) return int(i);
        return -1;
    }
};

TEST_F(ReactionsRoadTest, TheTeacherVotesPraisesSeesThePraisersAndOpensACommentOnTheirPost) {
    signIn("teacher", "teacher123");
    ASSERT_TRUE(waitFor([this] { return home() && !home()->dataArray().empty(); }));

    // 动态 scrolled down until the outing vote is listed, then to its row.
    auto table = home()->myTable();
    for (int page = 0; page < 5 && listedRowOf("9") < 0; ++page) {
        const std::size_t listed = home()->dataArray().size();
        // What the load-more row asks for when it scrolls into view.
        home()->getData();
        waitFor([this, listed] { return home()->dataArray().size() > listed; });
    }
    const int row = listedRowOf("9");
    ASSERT_GE(row, 0);
    table->scrollToRowAtIndexPath({MVTHomeViewController::kPostSection, row}, TableViewScrollPosition::Top, false);
    driver->settle();
    ASSERT_EQ(run("tap 春游去哪里？大家投票吧\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto details = presentedTop<MVTDetailsViewController>();
        return details && textOf(*details->myDict(), "id") == "9";
    }));
    auto details = presentedTop<MVTDetailsViewController>();

    // Two answers of a vote of any number, in the order chosen.
    for (const char* answer : {"动物园", "植物园", "投票"}) {
        std::shared_ptr<View> control;
        // The vote block comes with the post's content, after the screen shows.
        ASSERT_TRUE(waitFor([&] { return (control = textOn(*details, answer)) != nullptr; })) << answer;
        ASSERT_TRUE(driver->tap(control)) << answer;
        driver->settle();
    }
    ASSERT_TRUE(waitFor([this] { return service().lastRequest("/services/norvo/user/1001/save/vote/501/answer").has_value(); }));
    EXPECT_EQ(service().lastRequest("/services/norvo/user/1001/save/vote/501/answer")->formValue("answerIds"),
              "5013,5011");
    ASSERT_TRUE(waitFor([details] { return integerValue(valueFor((*details->myDict())["vote"], "count")) == 1; }));
    ASSERT_EQ(run(shot("reactions-vote")), 0) << messages.str();

    // 赞: the praisers strip names the teacher; it opens the praisers list.
    ASSERT_EQ(run("tap 赞\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([details] { return textOf(*details->myDict(), "love") == "1"; }));
    ASSERT_TRUE(details->nameMember());
    ASSERT_TRUE(driver->tap(details->nameMember()));
    ASSERT_TRUE(waitFor([this] {
        auto praisers = presentedTop<MVTFeedLoveMemberViewController>();
        return praisers && praisers->dataArray().size() == 2;
    }));
    ASSERT_EQ(run("expect 2个人赞过\n" + shot("reactions-praisers")), 0) << messages.str();
    presented()->popViewController(true);
    ASSERT_TRUE(waitFor([this] { return presentedTop<MVTDetailsViewController>() != nullptr; }));
    details->goback();
    ASSERT_TRUE(waitFor([this] { return !home()->presentedViewController(); }));

    // The relevant bar at the top of 动态 opens the reactions list.
    table->setContentOffset({0, 0});
    ASSERT_TRUE(waitFor([this] { return home()->relevantMeShow() == 1; }));
    ASSERT_EQ(run("tap 与我相关\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] {
        auto list = presentedTop<MVTRelevantMeViewController>();
        return list && !list->dataArray().empty();
    }));
    auto list = presentedTop<MVTRelevantMeViewController>();
    ASSERT_TRUE(driver->tap(list->titleBtn()));
    driver->settle();
    ASSERT_EQ(run("tap 评论\n"), 0) << messages.str();
    // The kept kind's own reply replaces the rows of every kind.
    ASSERT_TRUE(waitFor([list] {
        if (list->relevantMeType() != "comment" || list->dataArray().empty()) return false;
        for (const auto& record : list->dataArray())
            if (textOf(record, "type") != "comment") return false;
        return true;
    }));
    ASSERT_EQ(run(shot("reactions-relevant")), 0) << messages.str();

    // A row opens the post it concerns.
    const std::string postId = textOf(list->dataArray().front(), "feedId");
    ASSERT_TRUE(driver->tap(list->myTable()->cellForRowAtIndexPath({0, 0})));
    ASSERT_TRUE(waitFor([this, postId] {
        auto opened = presentedTop<MVTDetailsViewController>();
        return opened && textOf(*opened->myDict(), "id") == postId;
    }));
    ASSERT_EQ(run(shot("reactions-post")), 0) << messages.str();
    for (const char* name : {"reactions-vote", "reactions-praisers", "reactions-relevant", "reactions-post"})
        EXPECT_TRUE(fileExists(home_ / "shots" / (std::string(name) + ".png"))) << name;
}

}  // namespace
