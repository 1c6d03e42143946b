#include "support/AppTest.h"

#include "shell/EGORefreshTableHeaderView.h"
#include "shell/InternationalControl.h"
#include "shell/ViewViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"

#include <cmath>

using namespace platform;

namespace {

// A list screen the way the app's lists use the header.
class ListScreen : public ViewViewController,
                   public TableViewDelegate,
                   public TableViewDataSource,
                   public EGORefreshTableHeaderDelegate {
public:
    void viewDidLoad() override {
        ViewViewController::viewDidLoad();
        Rect b = view()->bounds();
        table = myTableView::make({0, 0, b.width(), b.height() - 44 - SDH}, TableViewStyle::Plain);
        table->setDataSource(std::dynamic_pointer_cast<TableViewDataSource>(shared_from_this()));
        table->setDelegate(std::dynamic_pointer_cast<TableViewDelegate>(shared_from_this()));
        view()->addSubview(table);
        header = EGORefreshTableHeaderView::make({0, -table->bounds().height(), table->bounds().width(),
                                                  table->bounds().height()});
        header->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
        table->addSubview(header);
        header->refreshLastUpdatedDate();
    }
    int numberOfRowsInSection(TableView&, int) override { return 30; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& t, const IndexPath&) override {
        auto cell = t.dequeueReusableCellWithIdentifier("row");
        if (!cell) {
            cell = std::make_shared<TableViewCell>();
            cell->initWithStyle(TableViewCellStyle::Default, "row");
        }
        return cell;
    }
    void scrollViewDidScroll(ScrollView& s) override {
        if (s.tag() != 200) header->egoRefreshScrollViewDidScroll(s);
    }
    void scrollViewDidEndDragging(ScrollView& s, bool) override { header->egoRefreshScrollViewDidEndDragging(s); }
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) override {
        ++triggers;
        loading = true;
    }
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) override { return loading; }
    void finishLoading() {
        loading = false;
        header->egoRefreshScrollViewDataSourceDidFinishedLoading(*table);
    }

    std::shared_ptr<myTableView> table;
    std::shared_ptr<EGORefreshTableHeaderView> header;
    bool loading = false;
    int triggers = 0;
};

class RefreshHeaderTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Screen::mainScreen().reset();
        InternationalControl::setUserlanguage("zh-Hans", false);
        driver_ = std::make_unique<UiDriver>();
        screen_ = std::make_shared<ListScreen>();
        driver_->show(screen_);
    }
    void TearDown() override {
        driver_.reset();
        AppTest::TearDown();
    }
    // A finger pulls the list down until the offset reaches `y` (beyond its top the list
    // follows half the finger's way) and stays down; answers the finger.
    int pullTo(double y) {
        start_ = driver_->centerOf(*screen_->table);
        start_.y -= 200;
        int id = driver_->beginTouch(start_);
        for (int i = 1; i <= 10; ++i) {
            driver_->advance(0.05);
            driver_->moveTouch(id, {start_.x, start_.y - 2 * y * i / 10});
        }
        return id;
    }
    void moveTo(int id, double y) {
        driver_->advance(0.05);
        driver_->moveTouch(id, {start_.x, start_.y - 2 * y});
    }
    double offset() const { return screen_->table->contentOffset().y; }
    std::string text() const { return screen_->header->statusLabel()->text(); }
    bool arrowTurned() const { return std::fabs(screen_->header->arrowImage()->transform().a + 1) < 1e-9; }
    double insetTop() const { return screen_->table->contentInset().top; }

    Point start_;
    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<ListScreen> screen_;
};

TEST_F(RefreshHeaderTest, StartsNormalWithArrowAndNoAnimation) {
    auto& h = *screen_->header;
    EXPECT_EQ(h.state(), EGOOPullRefreshNormal);
    EXPECT_EQ(text(), "下拉刷新...");
    EXPECT_FALSE(h.arrowImage()->isHidden());
    EXPECT_TRUE(h.waitView()->isHidden());
    EXPECT_EQ(h.waitView()->tag(), 1);
    EXPECT_EQ(h.waitView()->animationImages().size(), 8u);
    EXPECT_DOUBLE_EQ(h.waitView()->animationDuration(), 0.8);
    // Its bottom edge meets the first row.
    EXPECT_DOUBLE_EQ(h.frame().maxY(), 0);
    EXPECT_EQ(h.statusLabel()->frame(), Rect(0, h.bounds().height() - 48, 320, 20));
    h.refreshLastUpdatedDate();
    EXPECT_EQ(text(), "下拉刷新...");
    EXPECT_EQ(h.state(), EGOOPullRefreshNormal);
}

TEST_F(RefreshHeaderTest, ReleaseAt64DoesNotReload) {
    int id = pullTo(-64);
    ASSERT_DOUBLE_EQ(offset(), -64);
    EXPECT_EQ(text(), "下拉刷新...");
    driver_->endTouch(id);
    driver_->settle();
    EXPECT_EQ(screen_->triggers, 0);
    EXPECT_EQ(text(), "下拉刷新...");
    EXPECT_DOUBLE_EQ(offset(), 0);
}

TEST_F(RefreshHeaderTest, PastTheThresholdTheArrowTurnsAndBackItTurnsAgain) {
    int id = pullTo(-66);
    ASSERT_DOUBLE_EQ(offset(), -66);
    EXPECT_EQ(text(), "释放立即刷新...");
    EXPECT_TRUE(arrowTurned());
    EXPECT_DOUBLE_EQ(lastAnimation().duration, 0.18);
    moveTo(id, -30);
    EXPECT_EQ(text(), "下拉刷新...");
    EXPECT_FALSE(arrowTurned());
    driver_->endTouch(id);
    driver_->settle();
    EXPECT_EQ(screen_->triggers, 0);
}

TEST_F(RefreshHeaderTest, ReleaseAtExactly65ReloadsWithoutEverShowingRelease) {
    int id = pullTo(-65);
    ASSERT_DOUBLE_EQ(offset(), -65);
    EXPECT_EQ(text(), "下拉刷新...");
    driver_->endTouch(id);
    EXPECT_EQ(screen_->triggers, 1);
    EXPECT_EQ(screen_->header->state(), EGOOPullRefreshLoading);
    EXPECT_EQ(text(), "正在刷新...");
    EXPECT_TRUE(screen_->header->arrowImage()->isHidden());
    EXPECT_FALSE(screen_->header->waitView()->isHidden());
    EXPECT_TRUE(screen_->header->waitView()->isAnimating());
    EXPECT_DOUBLE_EQ(insetTop(), 60);
    driver_->settle();
    EXPECT_DOUBLE_EQ(offset(), -60);  // the header stays in view while loading

    // A drag while loading changes nothing and starts nothing.
    int again = pullTo(-90);
    EXPECT_EQ(text(), "正在刷新...");
    driver_->endTouch(again);
    EXPECT_EQ(screen_->triggers, 1);

    screen_->finishLoading();
    EXPECT_EQ(screen_->header->state(), EGOOPullRefreshNormal);
    EXPECT_EQ(text(), "下拉刷新...");
    EXPECT_DOUBLE_EQ(insetTop(), 0);
    EXPECT_DOUBLE_EQ(lastAnimation().duration, 0.3);
    EXPECT_FALSE(screen_->header->waitView()->isAnimating());
    EXPECT_TRUE(screen_->header->waitView()->isHidden());
    EXPECT_FALSE(screen_->header->arrowImage()->isHidden());
}

TEST_F(RefreshHeaderTest, ReleaseWhileTheScreenIsLoadingDoesNothing) {
    screen_->loading = true;
    int id = pullTo(-80);
    EXPECT_EQ(text(), "下拉刷新...");
    driver_->endTouch(id);
    EXPECT_EQ(screen_->triggers, 0);
    EXPECT_EQ(screen_->header->state(), EGOOPullRefreshNormal);
}

TEST_F(RefreshHeaderTest, WhileLoadingTheInsetFollowsTheOffsetUpTo60) {
    screen_->header->egoRefreshScrollViewFirst(*screen_->table);
    EXPECT_EQ(screen_->header->state(), EGOOPullRefreshLoading);
    EXPECT_DOUBLE_EQ(insetTop(), 0);
    struct Case {
        double y, inset;
    };
    for (Case c : {Case{-100, 60}, Case{-20, 20}, Case{-60, 60}, Case{50, 0}}) {
        screen_->table->setContentOffset({0, c.y});
        EXPECT_DOUBLE_EQ(insetTop(), c.inset) << "offset " << c.y;
    }
}

TEST_F(RefreshHeaderTest, ADragClearsALeftoverInsetWhenNotLoading) {
    screen_->table->setContentInset({60, 0, 0, 0});
    int id = pullTo(-10);
    EXPECT_DOUBLE_EQ(insetTop(), 0);
    driver_->endTouch(id);
}

TEST_F(RefreshHeaderTest, PagingIsOffWhileLoadingAndBackAfterTheFinish) {
    screen_->table->setPagingEnabled(true);
    // A finish without a reload leaves paging alone.
    screen_->finishLoading();
    EXPECT_TRUE(screen_->table->isPagingEnabled());

    int id = pullTo(-70);
    driver_->endTouch(id);
    ASSERT_EQ(screen_->triggers, 1);
    EXPECT_FALSE(screen_->table->isPagingEnabled());
    driver_->settle();
    screen_->finishLoading();
    EXPECT_TRUE(screen_->table->isPagingEnabled());

    // A reload the screen starts itself never touches paging.
    screen_->header->egoRefreshScrollViewFirst(*screen_->table);
    screen_->finishLoading();
    EXPECT_TRUE(screen_->table->isPagingEnabled());
}

}  // namespace
