// Opening the detail screen: the item's counts first, then its comments page by page, and
// what a reply of the wrong shape does.

#include "details/DetailsFixture.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"

using namespace platform;
using testing_support::DetailsTest;

namespace {

Json comments(long long newest, int count) {
    Json list = Json::array();
    for (int i = 0; i < count; ++i)
        list.push_back({{"id", newest - i}, {"uid", "2001"}, {"name", "李明"}, {"role", "student"},
                        {"content", "第" + std::to_string(i) + "条"}, {"attachmentList", Json::array()},
                        {"createDate", 1767500000}});
    return list;
}

class DetailsLoadingTest : public DetailsTest {};

TEST_F(DetailsLoadingTest, CountsFirstThenCommentPagesOfFifteen) {
    Json post42 = samplePost(42);
    ASSERT_TRUE(post42.is_object());
    MVTtirraDataBase::insertDynamicWithArr(Json::array({post42}), "1001");
    service().clearRequests();
    open(post42);

    const auto all = service().requests();
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[0].path, "/services/norvo/user/1001/feed/42/stateCount");
    EXPECT_EQ(all[1].path, "/services/norvo/feed/42/comments/1");
    EXPECT_TRUE(all[1].query.empty());

    ASSERT_EQ(details->dataArray().size(), 15u);
    EXPECT_EQ(details->stateArr(), std::vector<std::string>(15, "0"));
    EXPECT_EQ(details->footerBtn()->titleForState(ControlStateNormal), "点击加载更多");
    EXPECT_TRUE(details->footerBtn()->isEnabled());
    // The first page's three newest comments go into the item and its cached copy.
    ASSERT_EQ((*item)["comments"].size(), 3u);
    EXPECT_EQ(integerValue((*item)["comments"][0]["id"]), 139);
    EXPECT_EQ(cachedPost(42)["comments"], (*item)["comments"]);
    details->footerBtn()->sendActionsForControlEvents(ControlEventTouchUpInside);
    settle();
    auto page = service().lastRequest("/services/norvo/feed/42/comments/1");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->queryValue("limit"), "15");
    EXPECT_EQ(page->queryValue("maxIdNotIncludeSelf"), "125");
    EXPECT_EQ(details->dataArray().size(), 30u);
    // Later pages leave the item's comments alone.
    EXPECT_EQ(integerValue((*item)["comments"][0]["id"]), 139);

    details->initData();
    settle();
    EXPECT_EQ(details->dataArray().size(), 40u);
    EXPECT_EQ(details->footerBtn()->titleForState(ControlStateNormal), "已加载全部");
    EXPECT_FALSE(details->footerBtn()->isEnabled());
}

TEST_F(DetailsLoadingTest, ExactlyFifteenThenAnEmptyPage) {
    answerFor(501, {{"success", 1}, {"commentCount", "15"}, {"likeCount", "0"}, {"love", "0"}}, comments(900, 15));
    open(post(501));
    EXPECT_TRUE(details->footerBtn()->isEnabled());
    service().setReply("GET", "/services/norvo/feed/501/comments/1", sample_service::Reply::json(Json::array()));
    details->initData();
    settle();
    EXPECT_EQ(details->dataArray().size(), 15u);
    EXPECT_EQ(details->footerBtn()->titleForState(ControlStateNormal), "已加载全部");
    EXPECT_FALSE(details->footerBtn()->isEnabled());
}

TEST_F(DetailsLoadingTest, CountsReachTheItemTheCacheAndTheOpenerOnlyWhenChanged) {
    struct Case {
        const char* name;
        Json state;
        int reloads;
        const char* cachedComments;
        const char* cachedLikes;
    };
    const Case cases[] = {
        {"same", {{"success", 1}, {"commentCount", "0"}, {"likeCount", "0"}, {"love", "0"}}, 0, "0", "0"},
        {"likes", {{"success", 1}, {"commentCount", "0"}, {"likeCount", "2"}, {"love", "1"}}, 1, "0", "2"},
        {"comments", {{"success", 1}, {"commentCount", "4"}, {"likeCount", "0"}, {"love", "0"}}, 1, "4", "0"},
    };
    long long id = 600;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ++id;
        Json record = post(id);
        record["likeUsers"] = Json::array({{{"name", "张老师"}, {"uid", "1002"}}});
        MVTtirraDataBase::insertDynamicWithArr(Json::array({record}), "1001");
        answerFor(id, c.state, Json::array());
        opener->reloads = 0;
        open(record);
        EXPECT_EQ(opener->reloads, c.reloads);
        EXPECT_EQ(textOf(*item, "likeCount"), textOf(c.state, "likeCount"));
        EXPECT_EQ(textOf(cachedPost(id), "commentCount"), c.cachedComments);
        EXPECT_EQ(textOf(cachedPost(id), "likeCount"), c.cachedLikes);
        // Without "likeUser" the praisers stay as they were, in the item and the cache.
        EXPECT_EQ((*item)["likeUsers"].size(), 1u);
        EXPECT_EQ(cachedPost(id)["likeUsers"].size(), 1u);
        EXPECT_EQ(details->buttomLa()->text(), textOf(c.state, "love") == "0" ? "赞" : "已赞");
    }
}

TEST_F(DetailsLoadingTest, PraisersAndExtraTextOfTheStateReply) {
    answerFor(610, {{"success", 1}, {"commentCount", "0"}, {"likeCount", "2"}, {"love", "1"},
                    {"likeUser", "张老师,李明"}, {"content", "（补充）"}, {"shareContent", "原文"}},
              Json::array());
    open(post(610, "正文"));
    EXPECT_EQ(details->nameString(), "张老师,李明");
    ASSERT_EQ((*item)["likeUsers"].size(), 2u);
    EXPECT_EQ((*item)["likeUsers"][1]["name"], "李明");
    EXPECT_EQ(details->SHStr(), "原文");
    EXPECT_EQ(details->msgString(), "正文（补充）");
    ASSERT_TRUE(details->nameMember());
    EXPECT_EQ(details->nameMember()->superview(), details->headView());
}

TEST_F(DetailsLoadingTest, AGonePostIsDroppedEverywhere) {
    Json record = post(620);
    MVTtirraDataBase::insertDynamicWithArr(Json::array({record}), "1001");
    answerFor(620, {{"success", 0}}, comments(10, 3));
    open(record, "3");
    auto alert = AlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), MVTDetailsViewController::kDeletedAlertTag);
    EXPECT_EQ(alert->title(), "该动态已被删除");
    EXPECT_EQ(opener->deleted, std::vector<int>{3});
    EXPECT_TRUE(cachedPost(620).is_null());
    EXPECT_TRUE(requestsTo(commentsPath(620)).empty());
}

TEST_F(DetailsLoadingTest, StateRepliesOfTheWrongShapeDeleteNothing) {
    const sample_service::Reply replies[] = {
        sample_service::Reply::json({{"commentCount", "9"}}),  // no "success"
        sample_service::Reply::json(Json::array({1, 2})),
        sample_service::Reply::text("oops"),
        sample_service::Reply::text("", "text/plain", 500),
    };
    long long id = 630;
    for (const auto& reply : replies) {
        ++id;
        SCOPED_TRACE(id);
        Json record = post(id);
        MVTtirraDataBase::insertDynamicWithArr(Json::array({record}), "1001");
        answerFor(id, Json::object(), comments(20, 2));
        service().setReply("GET", statePath(id), reply);
        AlertView::clearVisible();
        open(record);
        EXPECT_FALSE(AlertView::topAlert());
        EXPECT_TRUE(opener->deleted.empty());
        EXPECT_FALSE(cachedPost(id).is_null());
        EXPECT_EQ(details->dataArray().size(), 2u);
    }
}

TEST_F(DetailsLoadingTest, CommentPagesOfTheWrongShapeAddNothing) {
    answerFor(640, {{"success", 1}, {"commentCount", "0"}, {"likeCount", "0"}, {"love", "0"}},
              Json{{"id", 1}});
    open(post(640));
    EXPECT_TRUE(details->dataArray().empty());
    ASSERT_TRUE(details->headView());
    service().setReply("GET", "/services/norvo/feed/640/comments/1",
                       sample_service::Reply::json(Json::array({"x", 3, {{"content", "无编号"}}, {{"id", 7}}})));
    details->initData();
    settle();
    ASSERT_EQ(details->dataArray().size(), 1u);
    EXPECT_EQ(integerValue(details->dataArray()[0]["id"]), 7);
    EXPECT_EQ(details->stateArr().size(), 1u);
}

TEST_F(DetailsLoadingTest, ToolBarButtonsByKindAndAuthor) {
    struct Case {
        const char* type;
        const char* uid;
        std::vector<std::string> titles;
    };
    const Case cases[] = {
        {"essay", "1001", {"赞", "评论", "转发", "分享"}},
        {"essay", "2001", {"赞", "评论", "转发", "分享", "举报"}},
        {"share", "2001", {"赞", "评论", "转发", "分享", "举报"}},
        {"vote", "1001", {"赞", "评论"}},
        {"vote", "2001", {"赞", "评论", "举报"}},
        {"decoration", "2001", {"赞", "评论"}},
        {"activity", "1001", {"赞", "评论"}},
        {"class_album", "2001", {"赞", "评论"}},
        {"lesson", "2001", {"赞", "评论"}},
    };
    for (const auto& c : cases) {
        Json record = post(1, "x", c.uid);
        record["type"] = c.type;
        EXPECT_EQ(MVTDetailsViewController::toolTitlesFor(record, "1001"), c.titles) << c.type << " " << c.uid;
    }
    answerFor(650, {{"success", 1}, {"commentCount", "0"}, {"likeCount", "0"}, {"love", "0"}}, Json::array());
    open(post(650));
    const double W = Screen::mainScreen().bounds().width();
    int buttons = 0;
    for (const auto& view : details->buttomToolView()->subviews())
        if (auto button = std::dynamic_pointer_cast<Button>(view)) {
            ++buttons;
            EXPECT_DOUBLE_EQ(button->frame().width(), W / 5);
        }
    EXPECT_EQ(buttons, 5);
}

}  // namespace
