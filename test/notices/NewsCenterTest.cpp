// The course notification centre against the sample service: pages of ten, empty and bad
// replies, the sentence of each event by role and language, opening rows, the star
// written back, and removing events.
#include "NoticeFixture.h"

#include "notices/MVTNewsCenterViewController.h"
#include "homework/MVTNHWDetailsViewController.h"
#include "homework/MVTNHWSubmitStudentsListViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/Label.h"

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

class NewsCenterTest : public testing_support::NoticeTest {
protected:
    static constexpr const char* kList = "course/notification/list";

    std::shared_ptr<MVTNewsCenterViewController> open() {
        centre = showRoot(std::make_shared<MVTNewsCenterViewController>());
        EXPECT_TRUE(settled());
        return centre;
    }
    bool settled() {
        return pumpUntil([&] {
            auto hud = ProgressHUD::HUDForView(centre->view());
            return !centre->isLoading() && (!hud || !hud->isShowing());
        });
    }
    std::vector<RecordedRequest> listRequests() { return requestsTo(userId() + "/" + kList); }
    std::string userId() { return MVTAccount::sharedInstance().userId().value_or(""); }
    // What the table does when the last row comes on screen.
    void showLastRow() {
        const int last = int(centre->dataArray().size()) - 1;
        auto cell = centre->cellForRowAtIndexPath(*centre->mytableview(), {0, last});
        centre->willDisplayCell(*centre->mytableview(), *cell, {0, last});
    }
    std::shared_ptr<View> rowView(int row, int tag) {
        auto cell = centre->cellForRowAtIndexPath(*centre->mytableview(), {0, row});
        return cell->contentView()->viewWithTag(tag);
    }
    // Takes the banner away at once, so the next one shows.
    void clearBanner() {
        if (auto banner = app->netWorkLa()) {
            banner->removeFromSuperview();
            banner->setAlpha(0);
        }
    }
    void serveList(std::function<Reply(int page)> reply) {
        service().route("GET", "services/norvo/%@/course/notification/list", [reply](const RecordedRequest& r) {
            return reply(int(integerValue(r.queryValue("page").value_or("0"))));
        });
    }

    std::shared_ptr<MVTNewsCenterViewController> centre;
};

TEST_F(NewsCenterTest, AFullPageOfTenAsksPageTwoWhoseTwoRowsEndThePaging) {
    signIn("student");
    open();
    EXPECT_EQ(centre->title(), "消息中心");
    ASSERT_EQ(centre->dataArray().size(), 10u);
    EXPECT_TRUE(centre->isHaveMore());
    ASSERT_EQ(listRequests().size(), 1u);
    EXPECT_EQ(listRequests()[0].queryValue("page"), "1");
    EXPECT_EQ(listRequests()[0].queryValue("limit"), "10");

    showLastRow();
    ASSERT_TRUE(settled());
    EXPECT_EQ(centre->dataArray().size(), 12u);
    EXPECT_FALSE(centre->isHaveMore());
    EXPECT_EQ(centre->currentPage(), 3);
    EXPECT_EQ(listRequests().back().queryValue("page"), "2");

    showLastRow();
    driver->pump();
    EXPECT_EQ(listRequests().size(), 2u);
}

TEST_F(NewsCenterTest, AnEmptyLaterPageChangesNothingAndAnEmptyRefreshKeepsTheRows) {
    signIn("student");
    bool empty = false;
    serveList([&](int page) {
        Json rows = Json::array();
        if (page == 1 && !empty)
            for (int i = 0; i < 10; ++i) rows.push_back({{"type", "course_quiz"}, {"id", 100 + i}, {"name", "王老师"}});
        return Reply::json(rows);
    });
    open();
    showLastRow();
    ASSERT_TRUE(settled());
    EXPECT_EQ(centre->dataArray().size(), 10u);
    EXPECT_TRUE(centre->isHaveMore());
    EXPECT_EQ(centre->currentPage(), 2);
    showLastRow();
    ASSERT_TRUE(settled());
    EXPECT_EQ(listRequests().back().queryValue("page"), "2");

    empty = true;
    centre->reloadTableViewDataSource();
    ASSERT_TRUE(settled());
    EXPECT_EQ(listRequests().back().queryValue("page"), "1");
    EXPECT_EQ(centre->dataArray().size(), 10u);
    advance(MVTNewsCenterViewController::kEndLoadingDelay);
    EXPECT_TRUE(pumpUntil([&] { return !centre->reloading(); }));
}

TEST_F(NewsCenterTest, BadRepliesShowTheFailureBannerAndKeepTheRows) {
    signIn("teacher");
    open();
    ASSERT_EQ(centre->dataArray().size(), 10u);
    const std::vector<Reply> replies = {
        Reply::text("<html>busy</html>", "text/html"),
        Reply::json({{"list", Json::array()}}),
        Reply::json(Json::array({1, 2, 3})),
        Reply::json(Json::array(), 500),
        Reply::text(std::string(3 * 1024 * 1024, '['), "application/json"),
    };
    for (const auto& reply : replies) {
        service().setReply("GET", "/services/norvo/1001/course/notification/list", reply);
        centre->reloadTableViewDataSource();
        ASSERT_TRUE(settled());
        EXPECT_EQ(bannerText(), "请求失败,请稍后再试");
        EXPECT_EQ(centre->dataArray().size(), 10u);
        advance(MVTNewsCenterViewController::kEndLoadingDelay);
        EXPECT_TRUE(pumpUntil([&] { return !centre->reloading(); }));
        clearBanner();
    }
    Reachability::setOverride(ReachabilityState::offline());
    centre->reloadTableViewDataSource();
    ASSERT_TRUE(settled());
    EXPECT_EQ(bannerText(), "没有网络,请检查网络连接");
    EXPECT_EQ(centre->dataArray().size(), 10u);
}

TEST_F(NewsCenterTest, SentencesByTypeRoleAndLanguage) {
    const Json homework = {{"type", "course_homework"}, {"name", "王 老师"}};
    const Json quiz = {{"type", "course_quiz"}, {"name", "王 老师"}};
    const Json lesson = {{"type", "course_media"}, {"name", "王 老师"}};
    const Json other = {{"type", "course_exam"}, {"name", "王 老师"}};
    struct Case {
        Json row;
        std::string role, language, sentence;
    };
    const std::string zh = InternationalControl::kChinese, en = InternationalControl::kEnglish;
    const std::vector<Case> cases = {
        {homework, "student", zh, "王老师发布了作业"},
        {homework, "teacher", zh, "有学生提交了作业"},
        {homework, "admin", zh, "有学生提交了作业"},
        {quiz, "parent", zh, "王老师发布了测验"},
        {quiz, "teacher", zh, "有学生提交了测验"},
        {lesson, "teacher", zh, "王老师发布了微课"},
        {other, "student", zh, "王老师"},
        {homework, "student", en, "王 老师 published Homework"},
        {homework, "teacher", en, " A student handed in Homework"},
        {quiz, "student", en, "王 老师 publishedTests"},
        {lesson, "student", en, "王 老师 published a lesson"},
    };
    for (const auto& c : cases) {
        InternationalControl::setUserlanguage(c.language, false);
        EXPECT_EQ(MVTNewsCenterViewController::sentenceFor(c.row, c.role, c.language), c.sentence)
            << c.row.dump() << " " << c.role << " " << c.language;
    }
}

TEST_F(NewsCenterTest, AStudentOpensTheHomeworkWhoseStarComesBackAndTheDotGoes) {
    signIn("student");
    open();
    // Row 0: homework 5001, unread, not starred.
    EXPECT_TRUE(rowView(0, MVTNewsCenterViewController::kDotTag));
    EXPECT_EQ(std::dynamic_pointer_cast<Label>(rowView(0, MVTNewsCenterViewController::kSentenceTag))->text(),
              "王老师发布了作业");
    centre->didSelectRowAtIndexPath(*centre->mytableview(), {0, 0});
    auto details = std::dynamic_pointer_cast<MVTNHWDetailsViewController>(top());
    ASSERT_TRUE(details);
    EXPECT_EQ(details->hwId(), "5001");
    EXPECT_FALSE(details->isStar());
    EXPECT_EQ(details->delegate().get(), static_cast<MVTNHWDetailsViewDelegate*>(centre.get()));
    details->delegate()->didStarOrNotHomeworkWith(true);
    details->delegate()->didReadHomework();
    details->delegate()->reloadNewHomeworkData();
    navigation->popViewController(false);
    driver->pump();
    EXPECT_FALSE(rowView(0, MVTNewsCenterViewController::kDotTag));

    centre->didSelectRowAtIndexPath(*centre->mytableview(), {0, 0});
    details = std::dynamic_pointer_cast<MVTNHWDetailsViewController>(top());
    ASSERT_TRUE(details);
    EXPECT_TRUE(details->isStar());
    EXPECT_EQ(centre->didSelectedIndex(), 0);
    EXPECT_TRUE(requestsTo("remove/notification").empty());
}

TEST_F(NewsCenterTest, ATeacherOpensTheHandInsAndAQuizOpensNothing) {
    signIn("teacher");
    open();
    centre->didSelectRowAtIndexPath(*centre->mytableview(), {0, 2});  // quiz 5101
    driver->pump();
    EXPECT_EQ(top(), centre);
    EXPECT_EQ(textOf(centre->dataArray()[2], "readed"), "1");

    centre->didSelectRowAtIndexPath(*centre->mytableview(), {0, 4});  // homework 5003
    auto handIns = std::dynamic_pointer_cast<MVTNHWSubmitStudentsListViewController>(top());
    ASSERT_TRUE(handIns);
    EXPECT_EQ(handIns->hwId(), "5003");
    EXPECT_TRUE(handIns->isNewsCenter());
    EXPECT_EQ(handIns->subCount(), "作文（第1周）");
}

TEST_F(NewsCenterTest, RemovingSendsTheIdAndTheRowGoesOnlyWhenTheServiceAnswered) {
    signIn("teacher");
    open();
    const Json first = centre->dataArray()[0];

    Reachability::setOverride(ReachabilityState::offline());
    centre->commitEditingStyle(*centre->mytableview(), TableViewCellEditingStyle::Delete, {0, 0});
    EXPECT_EQ(bannerText(), "没有网络,请检查网络连接");
    EXPECT_EQ(centre->dataArray().size(), 10u);
    Reachability::setOverride(ReachabilityState::viaWifi());

    service().setReply("GET", "/services/norvo/1001/remove/notification", Reply::text("no", "text/plain", 500));
    centre->commitEditingStyle(*centre->mytableview(), TableViewCellEditingStyle::Delete, {0, 0});
    ASSERT_TRUE(pumpUntil([&] { return driver->alert() != nullptr; }));
    EXPECT_EQ(driver->alert()->message(), "删除失败,请重新删除");
    EXPECT_EQ(centre->dataArray().size(), 10u);
    AlertView::clearVisible();

    // The rows are refreshed while the removal runs: the removed event is found by its id.
    service().clearReplies();
    Reply slow = Reply::json({{"success", 1}});
    slow.delay = 1;
    service().setReply("GET", "/services/norvo/1001/remove/notification", slow);
    centre->commitEditingStyle(*centre->mytableview(), TableViewCellEditingStyle::Delete, {0, 0});
    ASSERT_TRUE(pumpUntil([&] { return requestsTo("1001/remove/notification").size() == 2; }));
    serveList([](int) { return Reply::json(Json::array({{{"type", "course_quiz"}, {"id", 1}}, {{"type", "course_homework"}, {"id", 5001}}})); });
    centre->reloadTableViewDataSource();
    ASSERT_TRUE(pumpUntil([&] { return centre->dataArray().size() == 2; }));
    ASSERT_TRUE(pumpUntil([&] { return centre->dataArray().size() == 1; }));
    EXPECT_EQ(textOf(centre->dataArray()[0], "id"), "1");
    EXPECT_EQ(requestsTo("1001/remove/notification").back().queryValue("ids"), textOf(first, "id"));
    EXPECT_FALSE(driver->alert());
}

}  // namespace
