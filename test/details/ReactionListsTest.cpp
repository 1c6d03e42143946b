// The lists of reactions: the relevant-to-me list with its pages, kinds and rows, and
// the praisers of a post.

#include "details/DetailsFixture.h"

#include "details/MVTFeedLoveMemberViewController.h"
#include "details/MVTRelevantMeCell.h"
#include "details/MVTRelevantMeViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;
using testing_support::DetailsTest;

namespace {

const std::string kRelativePath = "/services/norvo/1001/relative/";

class ReactionListsTest : public DetailsTest {
protected:
    static Json reaction(int id, const std::string& type = "comment") {
        return {{"id", std::to_string(7000 + id)}, {"uid", "2001"},      {"name", "李明"}, {"role", "student"},
                {"type", type},                    {"dateline", "1767800000"}, {"feedId", "9"}, {"feedType", "vote"}};
    }
    static Json reactions(int count) {
        Json page = Json::array();
        for (int i = 0; i < count; ++i) page.push_back(reaction(i));
        return page;
    }
    static std::string pagePath(int page) { return kRelativePath + std::to_string(page) + "/list"; }
    void showList() {
        list = std::make_shared<MVTRelevantMeViewController>();
        driver->show(myNavigationController::withRoot(list));
        settle();
    }
    int rows() { return list->numberOfRowsInSection(*list->myTable(), 0); }
    std::shared_ptr<TableViewCell> row(int index) { return list->cellForRowAtIndexPath(*list->myTable(), {0, index}); }
    static bool shows(const std::shared_ptr<View>& view, const std::string& text) {
        if (auto label = std::dynamic_pointer_cast<Label>(view); label && label->text() == text) return true;
        if (auto button = std::dynamic_pointer_cast<Button>(view); button && button->titleForState(ControlStateNormal) == text)
            return true;
        for (const auto& child : view->subviews())
            if (shows(child, text)) return true;
        return false;
    }
    std::shared_ptr<MVTRelevantMeViewController> list;
};

TEST_F(ReactionListsTest, PagesOfNineEndAndPagesOfTenLoadMoreWhenTheLastRowShows) {
    service().setReply("GET", pagePath(1), sample_service::Reply::json(reactions(9)));
    showList();
    ASSERT_EQ(rows(), 10);
    EXPECT_TRUE(shows(row(9), "已加载全部"));
    EXPECT_EQ(list->pageIndex(), 2);

    service().setReply("GET", pagePath(1), sample_service::Reply::json(reactions(10)));
    service().setReply("GET", pagePath(2), sample_service::Reply::json(Json::array()));
    list->toReloadRelevantMeData();
    settle();
    ASSERT_EQ(rows(), 11);
    EXPECT_TRUE(shows(row(10), "更多..."));
    auto last = row(10);
    list->willDisplayCell(*list->myTable(), *last, {0, 10});
    settle();
    ASSERT_TRUE(service().lastRequest(pagePath(2)));
    // An empty page still moves the page on and ends the list.
    EXPECT_EQ(list->pageIndex(), 3);
    EXPECT_FALSE(list->isLoading());
    EXPECT_TRUE(shows(row(10), "已加载全部"));
}

TEST_F(ReactionListsTest, EveryRefreshReplyClearsTheCountEvenAnEmptyOne) {
    MVTAccount::sharedInstance().setNewRelevantMe(5);
    int marks = 0;
    auto token = NotificationCenter::defaultCenter().addObserver("markUpside", [&](const Notification&) { ++marks; });
    service().setReply("GET", pagePath(1), sample_service::Reply::json(Json::array()));
    showList();
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(MVTAccount::sharedInstance().newRelevantMe(), 0);
    EXPECT_EQ(marks, 1);
}

TEST_F(ReactionListsTest, AFailedLoadMoreOffersARetryOfTheSamePage) {
    service().setReply("GET", pagePath(1), sample_service::Reply::json(reactions(10)));
    service().setReply("GET", pagePath(2), sample_service::Reply::text("", "text/plain", 500));
    showList();
    list->willDisplayCell(*list->myTable(), *row(10), {0, 10});
    settle();
    EXPECT_TRUE(list->isFalse());
    EXPECT_EQ(list->pageIndex(), 2);
    EXPECT_TRUE(shows(row(10), "点击重新加载"));

    service().setReply("GET", pagePath(2), sample_service::Reply::json(reactions(3)));
    service().clearRequests();
    auto retry = std::static_pointer_cast<MVTRelevantMeCell>(row(10));
    retry->againToGetListData();
    settle();
    EXPECT_TRUE(service().lastRequest(pagePath(2)));
    EXPECT_EQ(rows(), 14);
}

TEST_F(ReactionListsTest, ChoosingAKindAsksForItsFirstPage) {
    showList();
    ASSERT_TRUE(list->titleBtn()->isUserInteractionEnabled());
    list->toChangeTitle();
    settle();
    auto comments = std::dynamic_pointer_cast<Button>(list->litebgView()->viewWithTag(MVTRelevantMeViewController::kKindButtonTag + 2));
    ASSERT_TRUE(comments);
    driver->tap(comments);
    settle();
    auto request = service().lastRequest(pagePath(1));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->queryValue("type").value_or(""), "comment");
    EXPECT_EQ(list->titleLa()->text(), "评论");
    EXPECT_FALSE(comments->isUserInteractionEnabled());
    EXPECT_FALSE(list->titleSelectView()->superview());
    for (const auto& record : list->dataArray()) EXPECT_EQ(textOf(record, "type"), "comment");
}

TEST_F(ReactionListsTest, RowHeightsByWhatTheyShow) {
    Json voice = reaction(1);
    voice["commentAudoResourceId"] = "880001";
    Json quote = reaction(2);
    quote["resourceId"] = "881001";
    quote["fname"] = "王老师";
    Json nullComment = reaction(3);
    nullComment["comment"] = "null";
    struct Case {
        Json record;
        double height;
    };
    const Case cases[] = {{reaction(0), 60}, {voice, 87}, {quote, 140}, {nullComment, 60}};
    for (const auto& c : cases) EXPECT_EQ(MVTRelevantMeCell::initWithtData(c.record)->frame().height(), c.height);

    // A comment of two lines is two list items each ending in the white full stop.
    const std::string markup = MVTRelevantMeCell::markupOf("一</br>二[em:12:]");
    EXPECT_NE(markup.find("<li>一<span style=\"color:white;\">.</span></li><li>二"), std::string::npos) << markup;
    EXPECT_NE(markup.find("src='12.png' width=16 height=16"), std::string::npos) << markup;

    // A video shows the round play icon, lower and smaller than a thumbnail.
    Json video = quote;
    video["isImage"] = "0";
    video["message"] = "一段视频";
    auto cell = MVTRelevantMeCell::initWithtData(video);
    ASSERT_TRUE(cell->picture());
    EXPECT_EQ(cell->picture()->frame().width(), 40);
}

TEST_F(ReactionListsTest, TheHonourBlockIsReadFromTheContent) {
    struct Case {
        const char* content;
        Json decoration;
    };
    const Case cases[] = {
        {"<img src=\"/static/images/honor/reading.png\"/><span>阅读之星：获得：坚持阅读</span>",
         {{"img", "reading.gif"}, {"name", "阅读之星"}, {"description", "坚持阅读"}}},
        {"<span>只有文字：说明</span>", nullptr},
        {"/static/images/honor/x.png 没有标签", nullptr},
    };
    for (const auto& c : cases) EXPECT_EQ(MVTRelevantMeViewController::decorationFromContent(c.content), c.decoration);
}

TEST_F(ReactionListsTest, ARowOpensItsPostWithTheListAsDelegate) {
    showList();
    ASSERT_FALSE(list->dataArray().empty());
    list->didSelectRowAtIndexPath(*list->myTable(), {0, 0});
    settle();
    auto details = std::dynamic_pointer_cast<MVTDetailsViewController>(list->navigationController()->topViewController());
    ASSERT_TRUE(details);
    EXPECT_EQ(details->modelID(), textOf(list->dataArray()[0], "feedId"));
    EXPECT_EQ(details->delegate().get(), static_cast<MVTDetailsViewControllerDelegate*>(list.get()));
    EXPECT_EQ(textOf(*details->myDict(), "type"), textOf(list->dataArray()[0], "feedType"));
}

TEST_F(ReactionListsTest, PraisersAreListedAndAnEmptyRefreshKeepsThem) {
    auto praisers = std::make_shared<MVTFeedLoveMemberViewController>();
    praisers->setModule("feed");
    praisers->setModuleId("1");
    praisers->setLoveCount("3");
    driver->show(myNavigationController::withRoot(praisers));
    settle();
    EXPECT_EQ(praisers->title(), "3个人赞过");
    ASSERT_EQ(praisers->dataArray().size(), 3u);
    EXPECT_EQ(praisers->dataArray()[0]["role"], "student");
    EXPECT_EQ(praisers->heightForRowAtIndexPath(*praisers->mytableview(), {0, 0}), 60);

    service().setReply("GET", "/services/norvo/1001/praise/feed/1/users", sample_service::Reply::json(Json::array()));
    praisers->netGetData();
    settle();
    EXPECT_EQ(praisers->dataArray().size(), 3u);

    praisers->clickHeadBtn(0);
    settle();
    EXPECT_EQ(praisers->navigationController()->topViewController()->className(), "MVTTimeSpaceViewController");
}

}  // namespace
