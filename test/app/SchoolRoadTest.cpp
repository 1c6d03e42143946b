// The school circle's road, driven through the automation against the sample service: the
// parent signs in, closes the school's advert overlay, finds the advert banner on 动态,
// switches to 学校圈 through the title's arrow, praises a school post, plays a voice there
// and returns to 班级圈; the screens are saved as pictures on the way, with the post action
// sheet and the mentions and comments-on-me lists, which no control opens, brought up by
// the operations that would open them.

#include "RoadFixture.h"

#include "details/CommentMeViewController.h"
#include "details/ReferMeViewController.h"
#include "feed/MVTActivitiesViewController.h"
#include "feed/MVTHomeViewController.h"
#include "feed/MVTPersonCell.h"
#include "feed/MVTSquareViewController.h"

#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

#include <algorithm>

using namespace platform;

namespace {

class SchoolRoadTest : public testing_support::RoadTest {
protected:
    std::shared_ptr<MVTHomeViewController> home() const {
        auto tabs = tabBar();
        if (!tabs || tabs->viewControllers().empty()) return nullptr;
        auto navigation = std::dynamic_pointer_cast<NavigationController>(tabs->viewControllers().front());
        return navigation ? std::dynamic_pointer_cast<MVTHomeViewController>(navigation->viewControllers().front())
                          : nullptr;
    }
    std::shared_ptr<MVTSquareViewController> square() const { return home()->squareViewController(); }
    bool overlayShown() const {
        auto overlay = home() ? home()->activitiesViewController() : nullptr;
        return overlay && overlay->isViewLoaded() && overlay->view()->superview();
    }
    int squareRowOf(const std::string& id) const { return square()->postIndexWithId(id); }
};

TEST_F(SchoolRoadTest, TheParentClosesTheAdvertPraisesAndListensInTheSchoolCircle) {
    signIn("parent", "parent123");
    ASSERT_TRUE(home());

    // The overlay comes once its picture is stored; the banner row waits under it.
    ASSERT_TRUE(waitFor([this] { return overlayShown() && home()->adArray().size() == 1; }));
    ASSERT_EQ(run(shot("school-overlay")), 0) << messages.str();
    auto overlay = home()->activitiesViewController();
    ASSERT_TRUE(driver->tap(overlay->closeButton()));
    ASSERT_TRUE(waitFor([this] { return !overlayShown(); }));
    EXPECT_FALSE(overlay->view()->superview());
    EXPECT_DOUBLE_EQ(home()->adH(), 200.0 / 640 * Screen::mainScreen().bounds().width());
    ASSERT_TRUE(waitFor([this] { return !home()->dataArray().empty(); }));
    ASSERT_EQ(run(shot("school-banner")), 0) << messages.str();

    // 学校圈 from the title's arrow: every post of the school, the other class's too.
    ASSERT_TRUE(driver->tap(home()->dynamicTypeBtn()));
    driver->settle();
    ASSERT_EQ(run("tap 学校圈\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return square()->squareArray().size() == 15; }));
    EXPECT_EQ(home()->selectLa()->text(), "学校圈");
    const auto& schoolPosts = square()->squareArray();
    EXPECT_TRUE(std::any_of(schoolPosts.begin(), schoolPosts.end(),
                            [](const auto& post) { return textOf(*post, "classId") == "12"; }))
        << "the parent's child is in class 11 only";
    ASSERT_EQ(run(shot("school-circle")), 0) << messages.str();

    // Praise the newest school post.
    const std::string newest = textOf(*square()->squareArray()[0], "id");
    ASSERT_TRUE(driver->tap(square()->cellAtRow(0)->praiseButton()));
    ASSERT_TRUE(waitFor([this] { return textOf(*square()->squareArray()[0], "love") == "1"; }));
    EXPECT_TRUE(service().lastRequest("/services/norvo/user/3001/feed/" + newest + "/praise"));

    // A voice plays in the school circle: the first post with one, paged to when needed.
    auto voiceRowNow = [this] {
        const auto& rows = square()->squareArray();
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (const auto& attachment : valueFor(*rows[i], "attachments"))
                if (textOf(attachment, "type") == "audio") return int(i);
        return -1;
    };
    for (int page = 0; page < 4 && voiceRowNow() < 0; ++page) {
        const std::size_t listed = square()->squareArray().size();
        square()->getData();
        waitFor([this, listed] { return square()->squareArray().size() > listed; });
    }
    const int voiceRow = voiceRowNow();
    ASSERT_GE(voiceRow, 0);
    square()->squareTable()->scrollToRowAtIndexPath({0, voiceRow}, TableViewScrollPosition::Top, false);
    driver->settle();
    auto cell = square()->cellAtRow(voiceRow);
    ASSERT_TRUE(cell && cell->recordBtn());
    cell->recordBtn()->sendActionsForControlEvents(ControlEventTouchUpInside);
    ASSERT_TRUE(waitFor([this] { return !app->nowPlayPath().empty(); }));
    EXPECT_EQ(app->nowPlayPage(), MVTAppDelegate::VoicePageSquare);
    ASSERT_EQ(run(shot("school-voice")), 0) << messages.str();

    // Back to 班级圈.
    ASSERT_TRUE(driver->tap(home()->dynamicTypeBtn()));
    driver->settle();
    ASSERT_EQ(run("tap 班级圈\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return home()->selectLa()->text() == "班级圈"; }));

    // The action sheet of the parent's own post: delete or forward.
    int own = 0;
    while (own < int(home()->dataArray().size()) && textOf(*home()->dataArray()[size_t(own)], "uid") != "3001") ++own;
    ASSERT_LT(own, int(home()->dataArray().size()));
    home()->deleteDynamicWith(textOf(*home()->dataArray()[size_t(own)], "id"), own, 3);
    ASSERT_TRUE(waitFor([this] { return driver->byText("取 消") != nullptr; }));
    ASSERT_EQ(run(shot("school-sheet") + "tap 取 消\n"), 0) << messages.str();
    ASSERT_TRUE(waitFor([this] { return driver->byText("取 消") == nullptr; }));

    // The mentions and the comments on the parent's items.
    auto mentions = std::make_shared<ReferMeViewController>();
    home()->presentViewController(myNavigationController::withRoot(mentions), false);
    ASSERT_TRUE(waitFor([mentions] { return !mentions->dataArray().empty(); }));
    ASSERT_EQ(run(shot("school-mentions")), 0) << messages.str();
    home()->dismissViewController(false);
    auto comments = std::make_shared<CommentMeViewController>();
    home()->presentViewController(myNavigationController::withRoot(comments), false);
    ASSERT_TRUE(waitFor([comments] { return !comments->dataArray().empty(); }));
    ASSERT_EQ(run(shot("school-comments")), 0) << messages.str();
    home()->dismissViewController(false);

    for (const char* name : {"school-overlay", "school-banner", "school-circle", "school-voice", "school-sheet",
                             "school-mentions", "school-comments"})
        EXPECT_TRUE(fileExists(home_ / "shots" / (std::string(name) + ".png"))) << name;
}

}  // namespace
