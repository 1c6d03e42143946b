#include "FeedFixture.h"

#include "details/MVTDetailsViewController.h"
#include "me/MVTTimeSpaceViewController.h"
#include "shell/MVTWebViewController.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"

#include <functional>

using namespace platform;
using sample_service::Reply;

namespace {

class FeedActionsTest : public testing_support::FeedTest {
protected:
    // The home screen listing these posts (from the cache; refreshes find nothing new).
    void showPosts(const Json& list) {
        MVTtirraDataBase::insertDynamicWithArr(list, "1001");
        service().setReply("GET", listPath(), Reply::json(Json::array()));
        show();
        settle();
    }
    static std::string praisePath(long long id) {
        return "/services/norvo/user/1001/feed/" + std::to_string(id) + "/praise";
    }
    Json cachedPost(long long id) {
        for (const auto& record : MVTtirraDataBase::selectDynamicData("1001", 0))
            if (textOf(record, "id") == std::to_string(id)) return record;
        return nullptr;
    }
    // Praises the post of the row and waits until `handled` holds.
    void praise(int row, const std::function<bool()>& handled) {
        auto cell = home->cellAtRow(row);
        ASSERT_TRUE(cell);
        home->sendPraiseWith(*cell->praiseButton());
        ASSERT_TRUE(pumpUntil(handled));
        settle(1);
    }
    Json& row(int index) { return *home->dataArray()[size_t(index)]; }
    int reloadsOfRow(int index) {
        int count = 0;
        for (const auto& update : home->myTable()->updates())
            if (update.kind == TableViewUpdate::Kind::ReloadRows)
                for (const auto& path : update.rows) count += path.row == index && path.section == 3;
        return count;
    }
    std::shared_ptr<ViewController> presentedRoot() {
        auto navigation = std::dynamic_pointer_cast<NavigationController>(home->presentedViewController());
        return navigation && !navigation->viewControllers().empty() ? navigation->viewControllers().front() : nullptr;
    }
};

TEST_F(FeedActionsTest, PraiseAddsTheUserAndRedrawsTheRowWhenTheLineAppears) {
    Json second = post(20);
    second["likeUsers"] = Json::array({{{"name", "李明"}, {"uid", 2001}}});
    second["likeCount"] = "1";
    showPosts(Json::array({post(21), second}));
    service().setReply("GET", praisePath(21), Reply::json({{"success", 1}, {"count", 1}, {"love", 1}}));
    praise(0, [&] { return textOf(row(0), "love") == "1"; });
    EXPECT_EQ(textOf(row(0), "likeCount"), "1");
    EXPECT_EQ(row(0)["likeUsers"], Json::array({{{"name", "王老师"}, {"uid", "1001"}}}));
    EXPECT_EQ(reloadsOfRow(0), 1);
    Json cached = cachedPost(21);
    EXPECT_EQ(textOf(cached, "love"), "1");
    EXPECT_EQ(cached["likeUsers"], row(0)["likeUsers"]);

    // A post with praisers already: the line changes in place, the row stays.
    service().setReply("GET", praisePath(20), Reply::json({{"success", 1}, {"count", 2}, {"love", 1}}));
    praise(1, [&] { return textOf(row(1), "likeCount") == "2"; });
    EXPECT_EQ(reloadsOfRow(1), 0);
    EXPECT_EQ(home->cellAtRow(1)->praiseUsersLa()->text(), "王老师,李明");
    auto count = std::dynamic_pointer_cast<Label>(home->cellAtRow(1)->praiseButton()->viewWithTag(MVTPersonCell::kPraiseCountTag));
    EXPECT_EQ(count->text(), "2");
}

TEST_F(FeedActionsTest, WithdrawingRemovesTheUsersOwnEntry) {
    Json byId = post(30);
    byId["love"] = "1";
    byId["likeCount"] = "3";
    byId["likeUsers"] = Json::array({{{"name", "王老师"}, {"uid", 1001}}, {{"name", "王老师"}, {"uid", 1002}},
                                     {{"name", "李明"}, {"uid", 2001}}});
    Json byName = post(29);
    byName["love"] = "1";
    byName["likeCount"] = "2";
    byName["likeUsers"] = Json::array({{{"name", "王老师"}, {"uid", ""}}, {{"name", "李明"}, {"uid", ""}}});
    Json last = post(28);
    last["love"] = "1";
    last["likeCount"] = "1";
    last["likeUsers"] = Json::array({{{"name", "王老师"}, {"uid", 1001}}});
    showPosts(Json::array({byId, byName, last}));
    for (long long id : {30, 29, 28})
        service().setReply("GET", praisePath(id), Reply::json({{"success", 1}, {"count", 0}, {"love", 0}}));
    praise(0, [&] { return textOf(row(0), "love") == "0"; });
    // The other 王老师 (another user of the same name) keeps the praise.
    EXPECT_EQ(row(0)["likeUsers"], Json::array({{{"name", "王老师"}, {"uid", 1002}}, {{"name", "李明"}, {"uid", 2001}}}));
    praise(1, [&] { return textOf(row(1), "love") == "0"; });
    EXPECT_EQ(row(1)["likeUsers"], Json::array({{{"name", "李明"}, {"uid", ""}}}));
    praise(2, [&] { return textOf(row(2), "love") == "0"; });
    EXPECT_EQ(row(2)["likeUsers"], Json::array());
    EXPECT_EQ(cachedPost(28)["likeUsers"], Json::array());
    auto heart = std::dynamic_pointer_cast<ImageView>(home->cellAtRow(2)->praiseButton()->viewWithTag(MVTPersonCell::kPraiseIconTag));
    EXPECT_EQ(heart->image(), Image::imageNamed("like.png"));
}

TEST_F(FeedActionsTest, RefusedPraiseSaysWhatTheServiceSaid) {
    Json counted = post(40);
    counted["likeCount"] = "3";
    showPosts(Json::array({post(42), post(41), counted}));
    service().setReply("GET", praisePath(41), Reply::json({{"success", 0}, {"message", "已经赞过了，不能再赞了"}}));
    service().setReply("GET", praisePath(40), Reply::json({{"success", 0}, {"message", "已经赞过了，不能再赞了"}}));
    service().setReply("GET", praisePath(42), Reply::json({{"success", 0}, {"message", "该内容已被删除"}}));
    praise(1, [&] { return textOf(row(1), "love") == "1"; });
    EXPECT_EQ(textOf(row(1), "likeCount"), "1");
    EXPECT_FALSE(home->cellAtRow(1)->praiseButton()->isUserInteractionEnabled());
    EXPECT_EQ(textOf(cachedPost(41), "love"), "1");
    praise(2, [&] { return textOf(row(2), "love") == "1"; });
    EXPECT_EQ(textOf(row(2), "likeCount"), "3");
    praise(0, [&] { return listedIds().size() == 2; });
    EXPECT_EQ(listedIds(), (std::vector<long long>{41, 40}));
    EXPECT_TRUE(cachedPost(42).is_null());

    settle(3);
    service().setReply("GET", praisePath(41), Reply::json({{"success", 0}, {"message", "别的原因"}}));
    praise(0, [&] {
        auto hud = ProgressHUD::HUDForView(home->view());
        return hud && !hud->isShowing();
    });
    EXPECT_EQ(MVTAppDelegate::sharedAppDelegate()->netWorkLa()->text(), "请求失败,请稍后再试");
}

TEST_F(FeedActionsTest, AUserWithoutAClassIsAskedToJoinOne) {
    signIn("1001", "王老师", "teacher", "");
    showPosts(Json::array({post(50)}));
    home->sendPraiseWith(*home->cellAtRow(0)->praiseButton());
    auto alert = AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), MVTHomeViewController::kJoinClassAlertTag);
    EXPECT_EQ(alert->message(), "请先加入班级，可以查看和分享更多精彩");
    pumpUntil([] { return true; }, 0.2);
    EXPECT_EQ(requestsTo(praisePath(50)), 0u);
}

TEST_F(FeedActionsTest, VotesStoreTheServicesVoteOrSayWhyNot) {
    showPosts(Json::array({post(60)}));
    const std::string answer = "/services/norvo/user/1001/save/vote/7/answer";
    const std::string refresh = "/services/norvo/user/1001/refresh/7/vote";
    Json vote = {{"id", 7}, {"showResult", 1}, {"count", 1}, {"answerList", Json::array({{{"id", 1}, {"count", 1}}})}};
    service().setReply("POST", answer, Reply::json({{"success", 1}, {"vote", vote}}));
    home->toSendVoteWith("60", "7", "1,2", 0);
    ASSERT_TRUE(pumpUntil([&] { return row(0)["vote"] == vote; }));
    EXPECT_EQ(service().lastRequest(answer)->formValue("answerIds"), "1,2");
    EXPECT_EQ(row(0)["vote"], vote);
    EXPECT_EQ(cachedPost(60)["vote"], vote);

    struct Case {
        std::string path;
        Reply reply;
        bool refresh;
        const char* title;
    };
    const Case cases[] = {
        {answer, Reply::json({{"success", 0}, {"message", "已截止"}}), false, "已截止"},
        {answer, Reply::json({{"success", "0"}, {"message", "<null>"}}), false, "投票失败"},
        {answer, Reply::json({{"success", 1}}, 500), false, "投票上传失败"},
        {refresh, Reply::json({{"success", 0}}), true, "刷新失败"},
        {refresh, Reply::text("", "application/json"), true, "刷新失败"},
        {refresh, Reply::text("x", "text/plain"), true, "刷新失败"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        AlertView::clearVisible();
        service().setReply(c.refresh ? "GET" : "POST", c.path, c.reply);
        if (c.refresh) home->toRefreshVoteWith("60", "7", 0);
        else home->toSendVoteWith("60", "7", "1", 0);
        ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
        EXPECT_EQ(AlertView::topAlert()->title(), c.title);
        EXPECT_EQ(row(0)["vote"], vote);
    }
}

TEST_F(FeedActionsTest, CommentsCountOnlyOnTheirOwnPost) {
    Json empty = post(71);
    empty["commentCount"] = "";
    Json missing = post(70);
    missing.erase("commentCount");
    showPosts(Json::array({empty, missing}));
    auto comment = [](const char* id) {
        NotificationCenter::defaultCenter().postNotification(kCommentFormHomeNotification,
                                                             Json::array({id, {{"name", "王老师"}, {"content", "好"}}}));
    };
    comment("71");
    comment("70");
    comment("7");
    EXPECT_EQ(textOf(row(0), "commentCount"), "");
    EXPECT_EQ(textOf(row(1), "commentCount"), "1");
    EXPECT_EQ(row(1)["comments"].size(), 1u);
    EXPECT_EQ(textOf(cachedPost(70), "commentCount"), "1");
    EXPECT_EQ(cachedPost(70)["comments"][0]["content"], "好");
    // The comment button asks the tab bar to open its comment bar.
    std::string asked;
    auto token = NotificationCenter::defaultCenter().addObserver(
        kToCommentDynamicNotification, [&](const Notification& n) { asked = textOf(n.object); });
    home->cellAtRow(1)->readyToCommentDynamicWith(*home->cellAtRow(1)->commentButton());
    EXPECT_EQ(asked, "70");
}

TEST_F(FeedActionsTest, TheDetailScreenEditsTheRowsOwnRecordAndFindsItLater) {
    showPosts(Json::array({post(82), post(81), post(80)}));
    service().setReply("GET", "/services/norvo/user/1001/feed/81/stateCount",
                       sample_service::Reply::json({{"success", 1}, {"commentCount", "0"}, {"likeCount", "0"}, {"love", "0"}}));
    home->toPresentViewWith(1);
    settle();
    auto details = std::dynamic_pointer_cast<MVTDetailsViewController>(presentedRoot());
    ASSERT_TRUE(details);
    EXPECT_EQ(details->myDict(), home->dataArray()[1]);
    EXPECT_EQ(details->modelName(), "feed");
    EXPECT_EQ(details->modelID(), "81");
    EXPECT_EQ(details->selfIndexStr(), "1");
    EXPECT_EQ(details->view()->tag(), 1);
    EXPECT_EQ(details->view()->accessibilityHint(), "feed");
    EXPECT_EQ(MVTAppDelegate::sharedAppDelegate()->nowPage(), MVTAppDelegate::VoicePageDetails);

    // The list lost its first row meanwhile: the screen's answers still find post 81.
    home->removeDataFromArr(0);
    (*details->myDict())["commentCount"] = "9";
    home->reloadOneCell();
    EXPECT_EQ(reloadsOfRow(0), 1);
    home->deleteOneCell(1);
    EXPECT_EQ(listedIds(), std::vector<long long>{80});
    details->goback();
    settle();
    EXPECT_FALSE(home->presentedViewController());
}

TEST_F(FeedActionsTest, PeopleLinksAndCopying) {
    showPosts(Json::array({post(90, "复制我")}));
    home->chooseNamed({{"id", 1}, {"name", "系统消息"}, {"role", "system"}});
    EXPECT_FALSE(home->presentedViewController());
    home->chooseNamed({{"id", 2001}, {"name", "李明"}, {"role", "student"}});
    settle();
    auto space = std::dynamic_pointer_cast<MVTTimeSpaceViewController>(presentedRoot());
    ASSERT_TRUE(space);
    EXPECT_EQ(space->userDict()["name"], "李明");
    EXPECT_EQ(space->title(), "个人动态");
    space->goback();
    settle();

    home->sendLinkWith(baseUrl() + "pages/advert", "园地");
    settle();
    EXPECT_TRUE(std::dynamic_pointer_cast<MVTWebViewController>(presentedRoot()));
    home->dismissViewController(false);
    settle();

    home->readyToCopyContentWith({65, 60, 200, 20}, 0, "复制我");
    auto& menu = MenuController::shared();
    EXPECT_TRUE(menu.isMenuVisible());
    EXPECT_TRUE(menu.performItem(0));
    EXPECT_EQ(Pasteboard::generalPasteboard().string(), "复制我");
}

}  // namespace
