#include "FeedFixture.h"

#include "composer/AddFeedViewController.h"
#include "composer/AddRecordViewController.h"

#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScrollView.h"

using namespace platform;
using sample_service::Reply;

namespace {

class MenuOwner : public MVTDynamicSelectTitleDownSelectViewDelegate, public MVTFeedTitleDownSelectViewDelegate {
public:
    std::vector<int> tapped;
    int closed = 0;
    void selectButtonClick(Button& button) override { tapped.push_back(button.tag()); }
    void resetButton() override { ++closed; }
    void buttonClick(Button& button) override { tapped.push_back(button.tag()); }
    void setRightButton() override { ++closed; }
};

class TitleMenuTest : public testing_support::FeedTest {
protected:
    std::shared_ptr<ViewController> screen = std::make_shared<ViewController>();
    std::shared_ptr<MenuOwner> owner = std::make_shared<MenuOwner>();

    template <class Menu>
    std::shared_ptr<Menu> open(const std::vector<std::string>& items) {
        driver->show(screen);
        auto menu = std::make_shared<Menu>(Rect(0, 0, 320, 504));
        screen->view()->addSubview(menu);
        menu->setDelegate(owner);
        menu->setSelectViewWith(items);
        driver->settle();
        return menu;
    }
};

TEST_F(TitleMenuTest, ItemsReportTheirTagsAndTheDimmedAreaClosesTheMenuOnce) {
    auto menu = open<MVTDynamicSelectTitleDownSelectView>({"学校圈", "班级圈", "我的", "第四"});
    ASSERT_EQ(menu->buttons().size(), 4u);
    EXPECT_EQ(menu->titleView()->frame(), Rect(0, 0, 320, 50));
    std::vector<int> tags;
    for (auto& button : menu->buttons()) tags.push_back(button->tag());
    EXPECT_EQ(tags, (std::vector<int>{11, 10, 13, 0}));
    EXPECT_EQ(menu->buttons()[3]->frame().width(), 80);
    auto icons = [](const std::shared_ptr<Button>& button) {
        int n = 0;
        for (auto& view : button->subviews()) n += view->frame() == Rect(27.5, 7, 25, 25);
        return n;
    };
    EXPECT_EQ(icons(menu->buttons()[0]), 1);
    EXPECT_EQ(icons(menu->buttons()[3]), 0);
    ASSERT_TRUE(driver->tap(menu->buttons()[2]));
    EXPECT_EQ(owner->tapped, std::vector<int>{13});
    EXPECT_EQ(owner->closed, 0);
    EXPECT_TRUE(menu->superview());

    ASSERT_TRUE(driver->tapPoint({160, 300}));
    EXPECT_EQ(owner->closed, 1);
    menu->selfremoveFromSuperview();
    EXPECT_EQ(owner->closed, 1);
    driver->settle();
    EXPECT_FALSE(menu->superview());
}

TEST_F(TitleMenuTest, AnEmptyComposerMenuStillSlidesInAndCloses) {
    auto menu = open<MVTFeedTitleDownSelectView>({});
    EXPECT_TRUE(menu->buttons().empty());
    EXPECT_EQ(menu->titleView()->frame().y(), 0);
    ASSERT_TRUE(driver->tapPoint({160, 300}));
    driver->settle();
    EXPECT_EQ(owner->closed, 1);
    EXPECT_FALSE(menu->superview());
}

TEST_F(TitleMenuTest, ThePlusAndTheArrowToggleTheirMenusAndOpenComposers) {
    service().setReply("GET", listPath(), Reply::json(Json::array()));
    show();
    settle();
    home->toAddFeed();
    ASSERT_TRUE(home->titleSelectView());
    home->toAddFeed();
    EXPECT_FALSE(home->titleSelectView());
    home->toAddFeed();
    home->toSelectWhich();
    EXPECT_FALSE(home->titleSelectView());
    ASSERT_TRUE(home->dynamicSelectView());
    home->toSelectWhich();
    EXPECT_FALSE(home->dynamicSelectView());
    driver->settle();

    home->toAddFeed();
    auto menu = home->titleSelectView();
    ASSERT_TRUE(driver->tap(menu->buttons()[1]));
    EXPECT_FALSE(home->titleSelectView());
    settle();
    auto navigation = std::dynamic_pointer_cast<NavigationController>(home->presentedViewController());
    ASSERT_TRUE(navigation);
    EXPECT_TRUE(std::dynamic_pointer_cast<AddRecordViewController>(navigation->viewControllers().front()));
    EXPECT_TRUE(home->view()->isUserInteractionEnabled());
}

TEST_F(TitleMenuTest, ViewsSwitchPagesUnlessTheSchoolCircleIsHiddenOrARefreshRuns) {
    service().setReply("GET", listPath(), Reply::json(Json::array()));
    show();
    settle();
    home->toChangeSelecet(11);
    EXPECT_EQ(home->selectLa()->text(), "学校圈");
    EXPECT_EQ(home->showAttachmentScrollView()->contentOffset().x, 320);
    EXPECT_FALSE(home->isMytable());
    EXPECT_EQ(MVTAppDelegate::sharedAppDelegate()->nowPage(), MVTAppDelegate::VoicePageSquare);
    home->toChangeSelecet(10);
    settle();
    EXPECT_EQ(home->selectLa()->text(), "班级圈");
    EXPECT_EQ(home->showAttachmentScrollView()->contentOffset().x, 0);

    // A change asked for while a refresh runs is dropped.
    home->reloadTableViewDataSource();
    ASSERT_TRUE(home->isReloading());
    home->toChangeSelecet(11);
    EXPECT_EQ(home->selectLa()->text(), "班级圈");
    settle(3);

    // With the school circle hidden there is no second page to go to.
    signIn("2001", "李明", "student", "11", "y");
    show();
    settle();
    EXPECT_EQ(home->showAttachmentScrollView()->contentSize().width, 320);
    home->toChangeSelecet(11);
    EXPECT_EQ(home->selectLa()->text(), "班级圈");
    EXPECT_TRUE(home->isMytable());
}

}  // namespace
