// The mentions and comments-on-me lists and their rows against the sample service: pages
// of 14 or fewer end the list, an empty first page says so once, a failed page is asked
// for again, an item opens its detail screen, and the rows lay out their quoted box.

#include "DetailsFixture.h"

#include "details/CommentMeCell.h"
#include "details/CommentMeViewController.h"
#include "details/MVTPraseMeCell.h"
#include "details/PraiseMeViewController.h"
#include "details/ReferMeCell.h"
#include "details/ReferMeViewController.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

using namespace platform;
using sample_service::Reply;

namespace {

class ReferMeListTest : public testing_support::DetailsTest {
protected:
    template <typename List>
    std::shared_ptr<List> present() {
        auto list = std::make_shared<List>();
        auto stack = myNavigationController::withRoot(list);
        driver->show(stack);
        settle();
        return list;
    }
    static Json items(int count, int first = 1) {
        Json list = Json::array();
        for (int i = 0; i < count; ++i)
            list.push_back({{"id", std::to_string(first + i)}, {"commentModule", "feed"}, {"uid", "2001"},
                            {"name", "李明"}, {"dateline", 1767500000}, {"content", "item"}, {"likeCount", "0"},
                            {"love", "0"}, {"commentCount", "0"}});
        return list;
    }
    static std::string mentionPath(int page) { return "/services/norvo/relative/1001/message/" + std::to_string(page); }
    std::string moreText(ReferMeViewController& list) {
        auto box = list.moreView();
        for (auto& view : box->subviews())
            if (auto label = std::dynamic_pointer_cast<Label>(view)) return label->text();
        return "";
    }
    int noDataLabels(ReferMeViewController& list) {
        int n = 0;
        for (auto& view : list.view()->subviews())
            if (view->tag() == ReferMeViewController::kNoDataLabelTag) ++n;
        return n;
    }
};

TEST_F(ReferMeListTest, AnEmptyFirstPageShowsOneLabelAndTheAlertAndItemsTakeTheLabelAway) {
    service().setReply("GET", mentionPath(1), Reply::json(Json::array()));
    auto list = present<ReferMeViewController>();
    EXPECT_TRUE(list->dataArray().empty());
    EXPECT_EQ(list->mytableview()->numberOfRowsInSection(0), 0);
    ASSERT_TRUE(AlertView::topAlert());
    EXPECT_EQ(AlertView::topAlert()->title(), "提示");
    EXPECT_EQ(AlertView::topAlert()->message(), "暂时没有提到我的");
    AlertView::clearVisible();
    list->egoRefreshTableHeaderDidTriggerRefresh(*std::make_shared<EGORefreshTableHeaderView>());
    settle();
    EXPECT_EQ(noDataLabels(*list), 1);
    service().setReply("GET", mentionPath(1), Reply::json(items(3)));
    list->egoRefreshTableHeaderDidTriggerRefresh(*std::make_shared<EGORefreshTableHeaderView>());
    settle();
    EXPECT_EQ(list->dataArray().size(), 3u);
    EXPECT_EQ(noDataLabels(*list), 0);
}

TEST_F(ReferMeListTest, FourteenItemsEndTheListFifteenAskForTheNextPageAndAFailedPageIsAskedAgain) {
    service().setReply("GET", mentionPath(1), Reply::json(items(14)));
    auto list = present<ReferMeViewController>();
    EXPECT_EQ(list->dataArray().size(), 14u);
    EXPECT_EQ(moreText(*list), "没有更多了");

    service().setReply("GET", mentionPath(1), Reply::json(items(15)));
    list->egoRefreshTableHeaderDidTriggerRefresh(*std::make_shared<EGORefreshTableHeaderView>());
    settle();
    ASSERT_EQ(list->dataArray().size(), 15u);
    EXPECT_EQ(textOf(*list->dataArray()[14], "id"), "15");
    EXPECT_EQ(moreText(*list), "更多...");

    service().setReply("GET", mentionPath(2), Reply::text("", "text/plain", 500));
    const IndexPath more{0, 15};
    auto cell = list->cellForRowAtIndexPath(*list->mytableview(), more);
    list->willDisplayCell(*list->mytableview(), *cell, more);
    settle();
    EXPECT_EQ(list->currentpage(), 2);
    EXPECT_TRUE(list->failed());
    EXPECT_EQ(moreText(*list), "加载失败,点击重新加载");

    service().setReply("GET", mentionPath(2), Reply::json(items(2, 16)));
    list->getData();
    settle();
    EXPECT_EQ(list->dataArray().size(), 17u);
    EXPECT_FALSE(list->failed());
    EXPECT_EQ(moreText(*list), "没有更多了");

    // A refresh asks for page 1 and replaces every row.
    service().setReply("GET", mentionPath(1), Reply::json(items(2, 100)));
    list->egoRefreshTableHeaderDidTriggerRefresh(*std::make_shared<EGORefreshTableHeaderView>());
    settle();
    EXPECT_EQ(list->dataArray().size(), 2u);
    EXPECT_EQ(textOf(*list->dataArray()[0], "id"), "100");
}

TEST_F(ReferMeListTest, AnItemOpensItsDetailAndAnEmptyOrBadReplyOpensNothing) {
    service().setReply("GET", mentionPath(1), Reply::json(items(2, 41)));
    auto list = present<ReferMeViewController>();
    auto* stack = list->navigationController();
    ASSERT_TRUE(stack);
    for (const Reply& reply : {Reply::json(Json::object()), Reply::json(Json::array({1})), Reply::text("x", "text/plain", 500)}) {
        service().setReply("GET", "/services/norvo/user/1001/feed/42/message", reply);
        list->getDetailFor(1);
        settle();
        EXPECT_EQ(stack->viewControllers().size(), 1u);
        EXPECT_TRUE(list->view()->isUserInteractionEnabled());
    }
    // The sample service answers with the post itself.
    list->getDetailFor(0);
    settle();
    ASSERT_EQ(stack->viewControllers().size(), 2u);
    auto detail = std::dynamic_pointer_cast<MVTDetailsViewController>(stack->viewControllers().back());
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->modelName(), "feed");
    EXPECT_EQ(detail->modelID(), "41");
    auto request = service().lastRequest("/services/norvo/user/1001/feed/41/message");
    ASSERT_TRUE(request);
}

TEST_F(ReferMeListTest, MentionRowsLayOutTheirQuotedBoxPicturesAndVoice) {
    Json bare = items(1)[0];
    bare.erase("content");
    auto row = ReferMeCell::initWithtDict(bare, "cellIdentifier", nullptr);
    EXPECT_DOUBLE_EQ(row->frame().height(), 90);
    EXPECT_DOUBLE_EQ(row->praiseButton()->frame().y(), 50);

    auto withPictures = [](int n) {
        Json item = items(1)[0];
        item.erase("content");
        item["share"] = {{"name", "王老师"}, {"title", "t"}};
        for (int i = 0; i < n; ++i) item["attachments"].push_back({{"id", 55}, {"type", "image"}});
        return item;
    };
    auto one = ReferMeCell::initWithtDict(withPictures(1), "cellIdentifier", nullptr);
    std::vector<Rect> tiles;
    std::function<void(View&)> collect = [&](View& view) {
        for (auto& sub : view.subviews()) {
            if (std::dynamic_pointer_cast<ImageView>(sub) && sub->frame().width() > 80) tiles.push_back(sub->frame());
            collect(*sub);
        }
    };
    collect(*one->contentView());
    ASSERT_EQ(tiles.size(), 1u);
    EXPECT_DOUBLE_EQ(tiles[0].width(), 290);
    EXPECT_DOUBLE_EQ(tiles[0].height(), 200);

    tiles.clear();
    auto ten = ReferMeCell::initWithtDict(withPictures(10), "cellIdentifier", nullptr);
    collect(*ten->contentView());
    EXPECT_EQ(tiles.size(), 9u);
    // The box grows by 305 for seven pictures or more: 30 (title) + 305 + 5.
    auto none = ReferMeCell::initWithtDict(withPictures(0), "cellIdentifier", nullptr);
    EXPECT_DOUBLE_EQ(ten->frame().height() - none->frame().height(), 305);

    Json voice = withPictures(0);
    voice["attachments"] = Json::array({{{"id", 880001}, {"type", "audio"}, {"resModuleId", 880001}}});
    auto spoken = ReferMeCell::initWithtDict(voice, "cellIdentifier", nullptr);
    ASSERT_TRUE(spoken->recordBtn());
    EXPECT_DOUBLE_EQ(spoken->recordBtn()->frame().x(), 130);
    EXPECT_DOUBLE_EQ(spoken->frame().height() - none->frame().height(), 60);
}

TEST_F(ReferMeListTest, HonourIconsOfTheServiceBecomeLocalPictures) {
    const std::string html = ReferMeCell::convertText(
        "[em:3:]<img src=\"http://school.example/static/images/honor/honor_meyo.gif\" class=\"honor-icon\"/>", true);
    EXPECT_NE(html.find("src='3.png' width=16 height=16"), std::string::npos) << html;
    EXPECT_NE(html.find("src='honor_meyo.gif' width=32 height=32"), std::string::npos) << html;
}

TEST_F(ReferMeListTest, TheCommentsActionReadsByRoleTitleAndModule) {
    struct Case {
        const char* role;
        const char* title;
        const char* module;
        const char* expected;
    };
    const Case cases[] = {{"parent", "评论", "course_quiz", "评论你的评论"},
                          {"teacher", "回复", "feed", "回复你的评论"},
                          {"student", "回复", "course_doc", "回复你的评论"},
                          {"teacher", "评论", "course_quiz", "评论你的课程习题"},
                          {"teacher", "评论", "unknown", "评论你的"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.role) + c.title + c.module);
        EXPECT_EQ(CommentMeCell::actionText({{"title", c.title}, {"module", c.module}}, c.role), c.expected);
    }
}

TEST_F(ReferMeListTest, CommentsOnMeListFromTheSampleServiceAndTheirEmptyPage) {
    auto list = present<CommentMeViewController>();
    EXPECT_EQ(list->dataArray().size(), 8u);
    EXPECT_EQ(moreText(*list), "没有更多了");
    auto cell = std::dynamic_pointer_cast<CommentMeCell>(list->cellForRowAtIndexPath(*list->mytableview(), {0, 0}));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->actionLabel()->text(), "回复你的评论");

    service().setReply("GET", "/services/norvo/comment/1001/message/1", Reply::json(Json::array()));
    list->egoRefreshTableHeaderDidTriggerRefresh(*std::make_shared<EGORefreshTableHeaderView>());
    settle();
    ASSERT_TRUE(AlertView::topAlert());
    EXPECT_EQ(AlertView::topAlert()->message(), "暂时没有评论哦～");
}

TEST_F(ReferMeListTest, PraiseOfMePagesOfFifteenGoOnFourteenEndAndAnEmptyFirstPageSaysSo) {
    auto pagePath = [](int page) { return "/services/norvo/praise/1001/user/" + std::to_string(page); };
    // The sample service's first page: 15 records of several modules.
    auto list = present<PraiseMeViewController>();
    ASSERT_EQ(list->dataArray().size(), 15u);
    EXPECT_EQ(list->mytableview()->numberOfRowsInSection(0), 16);
    EXPECT_EQ(moreText(*list), "更多...");
    EXPECT_DOUBLE_EQ(list->heightForRowAtIndexPath(*list->mytableview(), {0, 0}), 85);
    EXPECT_DOUBLE_EQ(list->heightForRowAtIndexPath(*list->mytableview(), {0, 15}), 40);

    Json fourteen = Json::array();
    for (int i = 0; i < 14; ++i)
        fourteen.push_back({{"uid", "2001"}, {"name", "李明"}, {"role", "student"}, {"dateline", 1767500000},
                            {"module_type", "feed"}, {"module_type_id", std::to_string(i + 1)}});
    service().setReply("GET", pagePath(2), Reply::json(fourteen));
    const IndexPath more{0, 15};
    auto cell = list->cellForRowAtIndexPath(*list->mytableview(), more);
    list->willDisplayCell(*list->mytableview(), *cell, more);
    settle();
    EXPECT_EQ(list->dataArray().size(), 29u);
    EXPECT_EQ(moreText(*list), "没有更多了");
    EXPECT_TRUE(service().lastRequest(pagePath(2)));

    service().setReply("GET", pagePath(1), Reply::json(Json::array()));
    list->egoRefreshTableHeaderDidTriggerRefresh(*std::make_shared<EGORefreshTableHeaderView>());
    settle();
    EXPECT_TRUE(list->dataArray().empty());
    EXPECT_EQ(noDataLabels(*list), 1);
    ASSERT_TRUE(AlertView::topAlert());
    EXPECT_EQ(AlertView::topAlert()->message(), "暂时没有赞我的");
}

TEST_F(ReferMeListTest, PraiseOfMeRowsNameTheModuleShowMoodsAndOpenTheItem) {
    struct Case {
        const char* module;
        const char* action;
    };
    const Case cases[] = {{"course_quiz", "赞了你的课程习题"}, {"class_notice", "赞了你的班级通知"}, {"feed", "赞了你的动态"},
                          {"", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.module);
        Json record = {{"uid", "2001"}, {"name", "李明"}, {"dateline", 1767500000}};
        if (*c.module) record["module_type"] = c.module;
        auto row = MVTPraseMeCell::initWithtDict(record, "cellIdentifier");
        EXPECT_EQ(row->actionLabel()->text(), c.action);
        EXPECT_DOUBLE_EQ(row->frame().height(), 85);
        EXPECT_FALSE(row->picture());
    }
    // Id 55 is the fifth mood: the application's own picture, nothing fetched.
    auto mood = MVTPraseMeCell::initWithtDict({{"uid", "2001"}, {"module_type", "course_image"}, {"resourceId", "55"}},
                                              "cellIdentifier");
    ASSERT_TRUE(mood->picture());
    EXPECT_EQ(mood->picture()->contentMode(), ContentMode::ScaleAspectFit);
    settle();
    EXPECT_FALSE(service().lastRequest("/resource/view/img_thumb/55"));

    // A praised quiz opens from the item route, pushed without a delegate.
    auto list = present<PraiseMeViewController>();
    ASSERT_GT(list->dataArray().size(), 2u);
    ASSERT_EQ(textOf(*list->dataArray()[2], "module_type"), "course_quiz");
    list->getDetailFor(2);
    settle();
    auto request = service().lastRequest("/services/norvo/user/1001/course_quiz/504/message");
    ASSERT_TRUE(request);
    auto* stack = list->navigationController();
    ASSERT_EQ(stack->viewControllers().size(), 2u);
    auto detail = std::dynamic_pointer_cast<MVTDetailsViewController>(stack->viewControllers().back());
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->modelName(), "course_quiz");
    EXPECT_EQ(detail->modelID(), "504");
    EXPECT_FALSE(detail->delegate());
}

}  // namespace
