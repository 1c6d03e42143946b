#include "FeedFixture.h"

#include "platform/ui/Label.h"

using namespace platform;
using sample_service::Reply;

namespace {

class FeedFrameTest : public testing_support::FeedTest {
protected:
    void showPosts(int count) {
        MVTtirraDataBase::insertDynamicWithArr(posts(100, count), "1001");
        service().setReply("GET", listPath(), Reply::json(Json::array()));
        show();
        settle();
    }
    int rows(int section) { return home->myTable()->numberOfRowsInSection(section); }
};

TEST_F(FeedFrameTest, TheRelevantBarFollowsTheCountAndThePostSectionEndsInTheLoadMoreRow) {
    showPosts(1);
    EXPECT_EQ(rows(0), 1);  // the sample school's advert banner, shown to everyone
    EXPECT_EQ(rows(1), 0);
    EXPECT_EQ(rows(3), 2);
    MVTAccount::sharedInstance().setNewRelevantMe(5);
    home->initTheRelevantMeView();
    EXPECT_EQ(rows(1), 1);
    EXPECT_EQ(home->relevantMeLa()->text(), "5");
    EXPECT_EQ(home->myTable()->rectForRowAtIndexPath({1, 0}).height(), 56);
    MVTAccount::sharedInstance().setNewRelevantMe(0);
    home->initTheRelevantMeView();
    EXPECT_EQ(rows(1), 0);
    EXPECT_EQ(home->relevantMeLa()->text(), "0");
}

TEST_F(FeedFrameTest, ThePublishingRowShowsFailureForAMomentAndASentPostRefreshesTheList) {
    showPosts(2);
    home->addNewUpDynamic();
    home->addNewUpDynamic();
    EXPECT_EQ(rows(2), 1);
    home->myTable()->layoutIfNeeded();
    ASSERT_TRUE(home->stateLa());
    EXPECT_EQ(home->stateLa()->text(), "新图说发布中...");
    home->newDynamicDidUpSucOrErr(false);
    EXPECT_EQ(home->stateLa()->text(), "图说发布失败，请在草稿箱中查看。");
    advance(0.3);
    EXPECT_EQ(rows(2), 1);
    advance(0.2);
    EXPECT_EQ(rows(2), 0);

    home->addNewUpDynamic();
    const auto before = requestsTo(listPath());
    home->newDynamicDidUpSucOrErr(true);
    EXPECT_EQ(rows(2), 0);
    advance(0.9);
    pumpUntil([] { return true; }, 0.1);
    EXPECT_EQ(requestsTo(listPath()), before);
    advance(0.2);
    ASSERT_TRUE(pumpUntil([&] { return requestsTo(listPath()) == before + 1; }));
    EXPECT_EQ(service().lastRequest(listPath())->queryValue("minIdNotIncludeSelf"), "100");
}

TEST_F(FeedFrameTest, MessagesSlideInAndOut) {
    showPosts(2);
    home->showTurnSuccessWith("转发成功");
    auto label = driver->byText("转发成功");
    ASSERT_TRUE(label);
    settle(3);
    EXPECT_FALSE(label->superview());
    // A progress notice for a row out of view changes nothing.
    home->myTable()->setTag(40);
    NotificationCenter::defaultCenter().postNotification(MVTAppDelegate::kToShowHomeProgress, "0.500000");
}

}  // namespace
