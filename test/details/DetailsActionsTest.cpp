// Acting on the detail screen: how openers are answered and left, the comment sheet with
// deleting and reporting comments, praise, deleting the post, and replies of the wrong
// shape that must leave the item and its cached row as they were.

#include "details/DetailsFixture.h"

#include "details/PostReport.h"

#include "shell/MVTReportViewController.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"

using namespace platform;
using testing_support::DetailsTest;

namespace {

constexpr long long kOwnPost = 901;

class DetailsActionsTest : public DetailsTest {
protected:
    // A post of the user with five comments: the second and the fourth are the user's.
    Json ownPost(const Json& praisers = Json::array()) {
        Json record = post(kOwnPost, "我的动态", "1001");
        record["name"] = "王老师";
        record["role"] = "teacher";
        record["commentCount"] = "5";
        record["likeCount"] = std::to_string(praisers.size());
        record["likeUsers"] = praisers;
        Json comments = Json::array();
        for (int i = 0; i < 5; ++i) {
            const bool own = i == 1 || i == 3;
            comments.push_back({{"id", std::to_string(501 + i)},
                                {"uid", own ? "1001" : "2001"},
                                {"name", own ? "王老师" : "李 明"},
                                {"content", "评论" + std::to_string(i)},
                                {"module", "feed"},
                                {"moduleId", std::to_string(kOwnPost)}});
        }
        Json first3 = Json::array({comments[0], comments[1], comments[2]});
        record["comments"] = first3;
        answerFor(kOwnPost, {{"success", 1}, {"commentCount", "5"}, {"likeCount", record["likeCount"]}, {"love", "0"}},
                  comments);
        MVTtirraDataBase::insertDynamicWithArr(Json::array({record}), "1001");
        return record;
    }
    std::string bannerText() {
        auto label = MVTAppDelegate::sharedAppDelegate()->netWorkLa();
        return label ? label->text() : std::string();
    }
    void clearBanner() {
        if (auto label = MVTAppDelegate::sharedAppDelegate()->netWorkLa()) label->setText("");
    }
    std::vector<std::string> sheetTitles() {
        std::vector<std::string> titles;
        auto sheet = ActionSheet::topSheet();
        if (!sheet) return titles;
        for (long i = 0; i < sheet->numberOfButtons(); ++i) titles.push_back(sheet->buttonTitleAtIndex(i));
        return titles;
    }
    // Taps comment `row`, its sheet's first button and the confirmation's "确定".
    void deleteComment(int row) {
        details->didSelectRowAtIndexPath(*details->mytableview(), {0, row});
        ASSERT_EQ(sheetTitles(), (std::vector<std::string>{"删 除", "取 消"}));
        ActionSheet::topSheet()->clickButtonAtIndex(0);
        ActionSheet::clearVisible();
        auto alert = AlertView::topAlert();
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->tag(), MVTDetailsViewController::kDeleteCommentAlertTag);
        EXPECT_EQ(alert->buttonTitleAtIndex(1), "确定");
        alert->clickButtonAtIndex(1);
        AlertView::clearVisible();
        settle();
    }
    static std::string deletePath(const std::string& comment) {
        std::string path = "/services/norvo/user/1001/comment/";
        path += comment;
        path += "/delete";
        return path;
    }
    static std::string praisePath() {
        std::string path = "/services/norvo/user/1001/feed/";
        path += std::to_string(kOwnPost);
        path += "/praise";
        return path;
    }
};

TEST_F(DetailsActionsTest, OpenersAreLeftAndToldByTheirContract) {
    struct Case {
        int tag;
        const char* hint;
        bool modal;
        bool voiceReports;
    };
    const Case cases[] = {
        {1, "feed", true, true},     // the feed lists
        {111, "feed", false, true},  // the personal space timeline
        {4, "", false, false},       // the class album
        {0, "", false, false},       // the lists of reactions
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        opener = std::make_shared<testing_support::SpyOpener>();
        auto host = std::make_shared<ViewViewController>();
        auto stack = myNavigationController::withRoot(host);
        driver->show(stack);
        item = std::make_shared<Json>(samplePost(7));
        details = std::make_shared<MVTDetailsViewController>();
        details->setDelegate(opener);
        details->setMyDict(item);
        details->setModelName("feed");
        details->setModelID("7");
        details->view()->setTag(c.tag);
        details->view()->setAccessibilityHint(c.hint);
        if (c.modal) host->presentViewController(myNavigationController::withRoot(details), false);
        else stack->pushViewController(details, false);
        settle();

        // The post's voice: only a feed list hears about it.
        ASSERT_TRUE(details->recordBtn());
        details->selfplayrecord(*details->recordBtn());
        settle(0.5);  // the voice lasts a second
        EXPECT_EQ(MVTAppDelegate::sharedAppDelegate()->nowPlayId(), "7");
        EXPECT_EQ(opener->audio, c.voiceReports ? std::vector<std::string>{"start"} : std::vector<std::string>{});

        details->goback();
        settle();
        if (c.modal) EXPECT_FALSE(host->presentedViewController());
        else EXPECT_EQ(stack->topViewController(), host);
        MVTAppDelegate::sharedAppDelegate()->stopPlayAudio();
    }
}

TEST_F(DetailsActionsTest, OnlyAnOpenerThatGaveItsRowHearsThatThePostIsGone) {
    for (const std::string row : {"3", ""}) {
        opener = std::make_shared<testing_support::SpyOpener>();
        answerFor(kOwnPost, {{"success", 0}}, Json::array());
        open(post(kOwnPost), row);
        EXPECT_EQ(opener->deleted, row.empty() ? std::vector<int>{} : std::vector<int>{3});
        auto alert = AlertView::topAlert();
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->title(), "该动态已被删除");
        AlertView::clearVisible();
    }
}

TEST_F(DetailsActionsTest, TheSheetOffersDeleteForOwnCommentsAndReplyOrReportForOthers) {
    open(ownPost(), "0");
    ASSERT_EQ(details->dataArray().size(), 5u);
    details->didSelectRowAtIndexPath(*details->mytableview(), {0, 0});
    EXPECT_EQ(sheetTitles(), (std::vector<std::string>{"回 复", "举 报", "取 消"}));
    EXPECT_FALSE(details->isSelf());

    // 举 报: the report page for the comment, presented alone, with the name as a value.
    ActionSheet::topSheet()->clickButtonAtIndex(1);
    ActionSheet::clearVisible();
    auto report = std::dynamic_pointer_cast<MVTReportViewController>(details->presentedViewController());
    ASSERT_TRUE(report);
    const std::string url = details->reportUrl();
    EXPECT_NE(url.find("report/501?targetUid=2001&uid=1001&name=" + percentEscape("李 明") + "&type=comment&token="),
              std::string::npos)
        << url;
    const std::string token = MVTAppDelegate::sharedAppDelegate()->getTokenWith("10012001501comment");
    EXPECT_EQ(url.substr(url.find("&token=") + 7, 32), token.substr(0, 32));
    details->dismissViewController(false);
    settle();

    // 回 复 answers the comment.
    details->didSelectRowAtIndexPath(*details->mytableview(), {0, 2});
    ActionSheet::topSheet()->clickButtonAtIndex(0);
    ActionSheet::clearVisible();
    EXPECT_EQ(details->replyId(), "503");
}

TEST_F(DetailsActionsTest, DeletingTheFourthThenTheSecondComment) {
    const Json record = ownPost();
    open(record, "0");
    service().setReply("GET", deletePath("504"), sample_service::Reply::json({{"success", 1}}));
    service().setReply("GET", deletePath("502"), sample_service::Reply::json({{"success", 1}}));
    const int reloads = opener->reloads;

    // The fourth is no preview: only the count changes, here and in the cache.
    deleteComment(3);
    ASSERT_TRUE(service().lastRequest(deletePath("504")));
    ASSERT_EQ(details->dataArray().size(), 4u);
    EXPECT_EQ(details->stateArr().size(), 4u);
    EXPECT_EQ(details->adjustlb()->text(), "4");
    EXPECT_EQ(textOf(*item, "commentCount"), "4");
    EXPECT_EQ((*item)["comments"], record["comments"]);
    EXPECT_EQ(textOf(cachedPost(kOwnPost), "commentCount"), "4");
    EXPECT_EQ(cachedPost(kOwnPost)["comments"], record["comments"]);
    EXPECT_EQ(opener->reloads, reloads + 1);

    // The second was a preview: the first three are written again.
    deleteComment(1);
    ASSERT_EQ(details->dataArray().size(), 3u);
    EXPECT_EQ(textOf(*item, "commentCount"), "3");
    std::vector<std::string> previews;
    for (const auto& comment : (*item)["comments"]) previews.push_back(textOf(comment, "id"));
    EXPECT_EQ(previews, (std::vector<std::string>{"501", "503", "505"}));
    EXPECT_EQ(cachedPost(kOwnPost)["comments"], (*item)["comments"]);
    EXPECT_EQ(textOf(cachedPost(kOwnPost), "commentCount"), "3");
}

TEST_F(DetailsActionsTest, ARefusedOrFailedCommentDeleteKeepsTheCommentAndSaysSo) {
    open(ownPost(), "0");
    const Json before = *item;
    for (const auto& reply : {sample_service::Reply::json({{"success", 0}}), sample_service::Reply::text("<html>",
                                                                                                           "text/html"),
                              sample_service::Reply::text("", "text/plain", 500)}) {
        service().setReply("GET", deletePath("502"), reply);
        deleteComment(1);
        EXPECT_EQ(toast(), "删除失败,请重新删除");
        EXPECT_EQ(details->dataArray().size(), 5u);
        EXPECT_EQ(*item, before);
        EXPECT_EQ(textOf(cachedPost(kOwnPost), "commentCount"), "5");
    }
}

TEST_F(DetailsActionsTest, PraiseWaitsForTheReplyAndTakesBackOnlyTheUsersOwnEntry) {
    // Two other praisers share the user's display name.
    const Json praisers = Json::array({{{"name", "王老师"}, {"uid", "1009"}}, {{"name", "李明"}, {"uid", "2001"}},
                                       {{"name", "王老师"}, {"uid", "1010"}}});
    open(ownPost(praisers), "0");
    details->setNameString("王老师,李明,王老师");
    service().setReply("GET", praisePath(), sample_service::Reply::json({{"success", 1}, {"count", 4}, {"love", 1}}));
    details->praiseBtnClicked(*details->headPraiseBtn());
    // Nothing changes before the reply.
    EXPECT_EQ(textOf(*item, "likeCount"), "3");
    settle();
    EXPECT_EQ(textOf(*item, "likeCount"), "4");
    EXPECT_EQ(textOf(*item, "love"), "1");
    ASSERT_EQ((*item)["likeUsers"].size(), 4u);
    EXPECT_EQ((*item)["likeUsers"][0], (Json{{"name", "王老师"}, {"uid", "1001"}}));
    EXPECT_EQ(details->nameString(), "王老师,王老师,李明,王老师");
    EXPECT_EQ(details->buttomLa()->text(), "已赞");
    EXPECT_EQ(textOf(cachedPost(kOwnPost), "likeCount"), "4");
    EXPECT_EQ(cachedPost(kOwnPost)["likeUsers"], (*item)["likeUsers"]);

    // Taken back, without "count": "0", and only the user's own entry goes.
    service().setReply("GET", praisePath(), sample_service::Reply::json({{"success", 1}, {"love", 0}}));
    details->praiseBtnClicked(*details->headPraiseBtn());
    settle();
    EXPECT_EQ(textOf(*item, "likeCount"), "0");
    EXPECT_EQ(textOf(*item, "love"), "0");
    EXPECT_EQ((*item)["likeUsers"], praisers);
    EXPECT_EQ(details->nameString(), "王老师,李明,王老师");
    EXPECT_EQ(details->buttomLa()->text(), "赞");
}

TEST_F(DetailsActionsTest, TakingBackTheOnlyPraiseEmptiesTheNamesAndTheCachedList) {
    open(ownPost(Json::array({{{"name", "王老师"}, {"uid", "1001"}}})), "0");
    details->setNameString("王老师");
    service().setReply("GET", praisePath(), sample_service::Reply::json({{"success", 1}, {"count", "0"}, {"love", "0"}}));
    details->praiseBtnClicked(*details->headPraiseBtn());
    settle();
    EXPECT_EQ(details->nameString(), "");
    EXPECT_EQ((*item)["likeUsers"], Json::array());
    EXPECT_TRUE(textOf(cachedPost(kOwnPost), "likeUsers").empty() || cachedPost(kOwnPost)["likeUsers"] == Json::array());
}

TEST_F(DetailsActionsTest, PraiseRefusalsAndBadRepliesChangeNothing) {
    open(ownPost(), "0");
    const Json before = *item;
    struct Case {
        sample_service::Reply reply;
        std::string banner;
    };
    const Case cases[] = {
        {sample_service::Reply::json({{"success", 0}, {"message", "不能赞"}}), "请求失败,请稍后再试"},
        {sample_service::Reply::json(Json::array({1, 2})), "请求失败,请稍后再试"},
        {sample_service::Reply::text(std::string(200000, '<'), "text/html"), "请求失败,请稍后再试"},
        {sample_service::Reply::text("", "text/plain", 500), "请求失败,请稍后再试"},
    };
    for (const auto& c : cases) {
        clearBanner();
        service().setReply("GET", praisePath(), c.reply);
        details->praiseBtnClicked(*details->headPraiseBtn());
        settle();
        EXPECT_EQ(bannerText(), c.banner);
        EXPECT_EQ(*item, before);
        EXPECT_TRUE(cachedPost(kOwnPost).is_object());
    }
    // Gone on the service: the cached row goes, silently; the screen stays.
    clearBanner();
    service().setReply("GET", praisePath(),
                       sample_service::Reply::json({{"success", 0}, {"message", "该内容已被删除"}}));
    details->praiseBtnClicked(*details->headPraiseBtn());
    settle();
    EXPECT_EQ(bannerText(), "");
    EXPECT_TRUE(cachedPost(kOwnPost).is_null());
    EXPECT_EQ(*item, before);
}

TEST_F(DetailsActionsTest, DeletingThePostTellsBothListsWithCopiesAndConfirms) {
    open(ownPost(), "0");
    std::vector<std::string> heard;
    auto& centre = NotificationCenter::defaultCenter();
    auto square = centre.addObserver("synchronousDeleteFormSquare", [&](const Notification& n) {
        heard.push_back("square " + textOf(n.object, "id"));
    });
    auto homeToken = centre.addObserver("synchronousDeleteFormHome", [&](const Notification& n) {
        heard.push_back("home " + textOf(n.object, "id"));
    });
    std::string path = "/services/norvo/user/1001/feed/";
    path += std::to_string(kOwnPost);
    path += "/message/delete";

    service().setReply("GET", path, sample_service::Reply::json({{"success", 0}}));
    details->toDeleteDetailsCell();
    auto confirm = AlertView::topAlert();
    ASSERT_TRUE(confirm);
    EXPECT_EQ(confirm->tag(), MVTDetailsViewController::kDeleteAlertTag);
    EXPECT_EQ(confirm->buttonTitleAtIndex(0), "确定");
    confirm->clickButtonAtIndex(0);
    AlertView::clearVisible();
    settle();
    EXPECT_EQ(toast(), "删除失败,请重新删除");
    EXPECT_TRUE(heard.empty());

    service().setReply("GET", path, sample_service::Reply::json({{"success", 1}}));
    details->toDeleteInfo();
    settle();
    const std::string id = std::to_string(kOwnPost);
    EXPECT_EQ(heard, (std::vector<std::string>{"square " + id, "home " + id}));
    auto done = AlertView::topAlert();
    ASSERT_TRUE(done);
    EXPECT_EQ(done->message(), "删除成功");
    EXPECT_EQ(done->tag(), MVTDetailsViewController::kDeletedPostAlertTag);
    // The screen reports no row itself: the lists do on the notices.
    EXPECT_TRUE(opener->deleted.empty());
}

}  // namespace
