// The school circle inside the home feed against the sample service: its pages, refresh
// and empty states, that nothing reaches the feed cache, deletes and comments kept in step
// with the class circle, the action sheet's answers on both lists, and reports.

#include "FeedFixture.h"

#include "feed/MVTSquareViewController.h"

#include "details/MVTForwardViewController.h"
#include "shell/MVTReportViewController.h"

#include "platform/ui/Label.h"

#include <deque>
#include <mutex>

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

class SquareTest : public testing_support::FeedTest {
protected:
    void SetUp() override {
        FeedTest::SetUp();
        // The class circle gets an empty list; the school circle the replies queued here
        // (an empty list once they run out).
        service().route("GET", "services/norvo/feed/%@/list/1", [this](const RecordedRequest& request) {
            std::lock_guard guard(mutex_);
            if (request.queryValue("filter").value_or("") != "square:school" || squareReplies_.empty())
                return Reply::json(Json::array());
            Reply reply = squareReplies_.front();
            squareReplies_.pop_front();
            return reply;
        });
    }
    void queue(Reply reply) {
        std::lock_guard guard(mutex_);
        squareReplies_.push_back(std::move(reply));
    }
    void showSquare() {
        show();
        square = home->squareViewController();
        ASSERT_TRUE(square);
        settle();
    }
    std::vector<long long> squareIds() const {
        std::vector<long long> ids;
        for (const auto& record : square->squareArray()) ids.push_back(integerValue(valueFor(*record, "id")));
        return ids;
    }
    std::vector<RecordedRequest> squareRequests() {
        std::vector<RecordedRequest> found;
        for (auto& r : service().requests())
            if (r.path == listPath() && r.queryValue("filter").value_or("") == "square:school") found.push_back(r);
        return found;
    }
    std::string banner() const {
        auto label = MVTAppDelegate::sharedAppDelegate()->netWorkLa();
        return label ? label->text() : std::string();
    }
    int rows() { return square->squareTable()->numberOfRowsInSection(0); }

    std::mutex mutex_;
    std::deque<Reply> squareReplies_;
    std::shared_ptr<MVTSquareViewController> square;
};

TEST_F(SquareTest, AFullPageListsSixteenRowsAndTheLoadMoreRowAsksBelowTheFifteenth) {
    queue(Reply::json(posts(300, 15)));
    showSquare();
    ASSERT_EQ(squareIds().size(), 15u);
    EXPECT_EQ(rows(), 16);
    const IndexPath more{0, 15};
    EXPECT_EQ(square->heightForRowAtIndexPath(*square->squareTable(), more), 40);
    auto first = squareRequests();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].queryValue("limit"), "15");
    EXPECT_FALSE(first[0].queryValue("maxIdNotIncludeSelf"));
    EXPECT_FALSE(first[0].queryValue("dateline"));

    queue(Reply::json(posts(285, 3)));
    auto cell = square->cellForRowAtIndexPath(*square->squareTable(), more);
    square->willDisplayCell(*square->squareTable(), *cell, more);
    EXPECT_EQ(squareRequests().size(), 1u);  // 0.01 s later, not at once
    advance(0.01);
    ASSERT_TRUE(pumpUntil([&] { return squareRequests().size() == 2; }));
    EXPECT_EQ(squareRequests()[1].queryValue("maxIdNotIncludeSelf"), "286");
    settle();
    // A short page still leaves the spinner; only an empty page ends the list.
    EXPECT_EQ(squareIds().size(), 18u);
    EXPECT_TRUE(square->isLoading());
    square->getData();
    settle();
    EXPECT_FALSE(square->isLoading());
    // Nothing of the school circle reaches the user's cache of posts.
    EXPECT_TRUE(MVTtirraDataBase::selectDynamicData("1001", 0).empty());
}

TEST_F(SquareTest, AnEmptyFirstPageShowsNoRowsAndARefreshAsksForTheFirstPageAgain) {
    showSquare();
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(banner(), "暂时没有数据");
    queue(Reply::json(posts(10, 2)));
    square->reloadTableViewDataSource();
    settle();
    auto requests = squareRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[1].queryValue("maxIdNotIncludeSelf"));
    EXPECT_FALSE(requests[1].queryValue("minIdNotIncludeSelf"));
    EXPECT_EQ(squareIds(), (std::vector<long long>{10, 9}));
}

TEST_F(SquareTest, ARefreshAddsWhatIsNewReplacesAListedPostByIdAndCountsTheWholeReply) {
    queue(Reply::json(posts(20, 3)));
    showSquare();
    Json reply = Json::array({post(21, "new"), post(20, "changed")});
    reply[1]["likeCount"] = "5";
    queue(Reply::json(reply));
    square->reloadTableViewDataSource();
    ASSERT_TRUE(pumpUntil([&] { return squareIds().size() == 4; }));
    EXPECT_EQ(squareRequests().back().queryValue("minIdNotIncludeSelf"), "20");
    EXPECT_EQ(squareIds(), (std::vector<long long>{21, 20, 19, 18}));
    EXPECT_EQ(textOf(*square->squareArray()[1], "likeCount"), "5");
    ASSERT_TRUE(square->showCountLa());
    EXPECT_EQ(square->showCountLa()->text(), "发现 2 条动态");
}

TEST_F(SquareTest, RepliesOfTheWrongShapeListNothingAndLoseNothing) {
    queue(Reply::json(posts(20, 2)));
    showSquare();
    const Reply bad[] = {Reply::json({{"success", 0}}), Reply::text("<html>", "text/html"),
                         Reply::json(Json::array({1, "x", nullptr})), Reply::text("", "text/plain", 500)};
    for (const auto& reply : bad) {
        queue(reply);
        square->reloadTableViewDataSource();
        settle();
        EXPECT_EQ(squareIds(), (std::vector<long long>{20, 19}));
    }
}

TEST_F(SquareTest, DeletesAndCommentsStayInStepWithTheClassCircleBothWays) {
    Json shared = posts(50, 2);
    shared[0]["uid"] = "1001";
    queue(Reply::json(shared));
    showSquare();
    ASSERT_EQ(squareIds().size(), 2u);

    // A comment sent from the tab bar raises the count where the post is listed.
    NotificationCenter::defaultCenter().postNotification(
        kCommentFormSquareNotification, Json::array({"50", {{"content", "好"}, {"role", "teacher"}}}));
    EXPECT_EQ(textOf(*square->squareArray()[0], "commentCount"), "1");
    EXPECT_EQ(textOf(square->squareArray()[0]->at("comments")[0], "content"), "好");

    // A delete in the class circle or on the detail screen removes it here.
    NotificationCenter::defaultCenter().postNotification(MVTSquareViewController::kSynchronousDeleteFormSquare,
                                                         Json{{"id", 49}});
    EXPECT_EQ(squareIds(), (std::vector<long long>{50}));

    // A delete here tells the class circle before the row goes.
    std::vector<std::string> told;
    auto token = NotificationCenter::defaultCenter().addObserver(
        MVTHomeViewController::kSynchronousDeleteFormHome,
        [&](const Notification& n) { told.push_back(textOf(n.object, "id")); });
    service().setReply("GET", "/services/norvo/user/1001/feed/50/message/delete", Reply::json({{"success", 1}}));
    square->toDeleteDynamicWith("50", 0);
    ASSERT_TRUE(pumpUntil([&] { return squareIds().empty(); }));
    EXPECT_EQ(told, std::vector<std::string>{"50"});
}

TEST_F(SquareTest, AFailedDeleteTellsTheUserAndKeepsThePost) {
    queue(Reply::json(posts(50, 1)));
    showSquare();
    for (const Reply& reply : {Reply::json({{"success", 0}, {"message", "只能删除自己的动态"}}),
                               Reply::text("oops", "text/plain", 500)}) {
        service().setReply("GET", "/services/norvo/user/1001/feed/50/message/delete", reply);
        square->toDeleteDynamicWith("50", 0);
        ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
        EXPECT_EQ(AlertView::topAlert()->title(), "删除失败,请重新删除");
        AlertView::clearVisible();
        EXPECT_EQ(squareIds(), (std::vector<long long>{50}));
    }
}

TEST_F(SquareTest, SheetAnswersMeanWhatTheirKindSaysOnBothLists) {
    queue(Reply::json(posts(60, 2)));
    MVTtirraDataBase::insertDynamicWithArr(posts(60, 2), "1001");
    showSquare();
    struct Case {
        int kind;
        const char* answer;
        const char* expected;  // "forward", "delete", "report" or ""
    };
    const Case cases[] = {{0, "4", "report"}, {0, "1", ""},       {1, "1", "forward"}, {1, "4", "report"},
                          {2, "1", "delete"}, {2, "4", "delete"}, {3, "1", "delete"},  {3, "2", "forward"},
                          {3, "4", ""},       {5, "1", ""}};
    auto outcome = [&](ViewController& screen) -> std::string {
        if (AlertView::topAlert() && AlertView::topAlert()->title() == "确认删除？") return "delete";
        auto presented = screen.presentedViewController();
        if (!presented) return "";
        if (std::dynamic_pointer_cast<MVTReportViewController>(presented)) return "report";
        if (auto stack = presented->asNavigationController())
            if (!stack->viewControllers().empty() &&
                std::dynamic_pointer_cast<MVTForwardViewController>(stack->viewControllers().front()))
                return "forward";
        return "other";
    };
    for (bool onSquare : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(onSquare ? "square " : "home ") + std::to_string(c.kind) + " " + c.answer);
            if (onSquare) square->deleteDynamicWith("60", 0, c.kind);
            else home->deleteDynamicWith("60", 0, c.kind);
            NotificationCenter::defaultCenter().postNotification(
                onSquare ? kShowSquareSelectedWhichWithNotification : kShowSelectedWhichWithNotification,
                std::string(c.answer));
            settle(0.5);
            EXPECT_EQ(outcome(*home), c.expected);
            AlertView::clearVisible();
            if (home->presentedViewController()) home->dismissViewController(false);
            square->setShowAS(false);
            home->setShowAS(false);
        }
    }
}

TEST_F(SquareTest, OneSheetIsPendingAndAnOutgoingHomeIgnoresAnswers) {
    queue(Reply::json(posts(60, 2)));
    showSquare();
    int sheets = 0;
    auto token = NotificationCenter::defaultCenter().addObserver(
        MVTSquareViewController::kShowDynamicActionSheet, [&](const Notification&) { ++sheets; });
    square->deleteDynamicWith("60", 0, 0);
    square->deleteDynamicWith("59", 1, 2);
    EXPECT_EQ(sheets, 1);
    // The second request still chose the post the open sheet acts on.
    EXPECT_EQ(square->dynamicId(), "59");
    EXPECT_EQ(square->showATag(), 2);

    home->deleteDynamicWith("60", 0, 2);
    home->setIsSetNil(true);
    NotificationCenter::defaultCenter().postNotification(kShowSelectedWhichWithNotification, std::string("1"));
    EXPECT_EQ(AlertView::topAlert(), nullptr);
}

TEST_F(SquareTest, AReportNameWithAmpersandAndChineseStaysOneValue) {
    Json list = posts(70, 1);
    list[0]["name"] = "李&明=1";
    list[0]["uid"] = "2001";
    queue(Reply::json(list));
    showSquare();
    square->deleteDynamicWith("70", 0, 0);
    NotificationCenter::defaultCenter().postNotification(kShowSquareSelectedWhichWithNotification, std::string("4"));
    settle(0.5);
    auto report = std::dynamic_pointer_cast<MVTReportViewController>(home->presentedViewController());
    ASSERT_TRUE(report);
    // The home's join-a-class check came first: 王老师 has classes, so the page opened.
    auto request = service().lastRequest("/report/70");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->queryValue("name"), "李&明=1");
    EXPECT_EQ(request->queryValue("targetUid"), "2001");
    EXPECT_EQ(request->queryValue("uid"), "1001");
    EXPECT_EQ(request->queryValue("type"), "essay");
    EXPECT_EQ(request->queryValue("mobile"), "1");
}

}  // namespace
