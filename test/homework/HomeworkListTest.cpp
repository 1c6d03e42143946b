// The homework list against the sample service: pages, footers, the students' tabs, read
// reports and the new-homework flag, stars, the teacher filter, publishing, and replies
// of every wrong kind.
#include "HomeworkFixture.h"

#include "homework/MVTNHWAddViewController.h"
#include "homework/MVTNHWDetailsViewController.h"
#include "homework/MVTNHWSelectViewController.h"
#include "homework/MVTNewHWListViewController.h"
#include "shell/myTableView.h"

#include "platform/StatisticsKit.h"
#include "platform/ui/Button.h"
#include "platform/ui/ScrollView.h"

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;
using List = MVTNewHWListViewController;

namespace {

constexpr const char* kListTeacherPath = "homework/list/1001";
constexpr const char* kListStudentPath = "homework/list/2001";

// The path of a service route as the sample service records it.
std::string servicePath(const char* route) {
    std::string path = "/services/norvo/";
    path += route;
    return path;
}

// `count` rows numbered from `first`, all read unless `unread` says how many are not.
Json listRows(int count, int first, int unread = 0) {
    Json list = Json::array();
    for (int i = 0; i < count; ++i)
        list.push_back({{"id", std::to_string(first + i)},
                        {"content", "作业" + std::to_string(first + i)},
                        {"dateline", 1767500000 - i},
                        {"stdCount", "30"},
                        {"submitCount", "3"},
                        {"readed", i < unread ? "0" : "1"}});
    return list;
}

class HomeworkListTest : public testing_support::HomeworkTest {
protected:
    static std::string userIdOf(const std::string& role) {
        if (role == "teacher" || role == "admin") return "1001";
        return role == "student" ? "2001" : "3001";
    }
    std::shared_ptr<List> open(const std::string& role) {
        signIn(role);
        list = showRoot(std::make_shared<List>());
        return list;
    }
    bool waitForPage(const std::string& path, std::size_t count) { return waitForRequests(path, count, list->view()); }
    std::string footer() const { return list->moreBtn()->currentTitle(); }
    bool footerReacts() const { return list->moreBtn()->isUserInteractionEnabled(); }
    // Pages of 20 made up by the test: `total` rows in all.
    void servePages(const std::string& path, int total) {
        service().route("GET", "services/norvo/" + path, [total](const RecordedRequest& request) {
            const int page = std::stoi(request.queryValue("page").value_or("1"));
            const int first = (page - 1) * 20;
            return Reply::json(listRows(std::max(0, std::min(20, total - first)), 100 + first));
        });
    }
    void tapFooter() {
        auto table = list->myTable();
        table->layoutIfNeeded();
        table->setContentOffset({0, std::max(0.0, table->contentSize().height - table->bounds().height())});
        driver->pump();
        list->getNewHomeworkData();
    }
    std::shared_ptr<Button> tab(int tag) { return std::static_pointer_cast<Button>(list->selectView()->viewWithTag(tag)); }

    std::shared_ptr<List> list;
};

TEST_F(HomeworkListTest, ATeachersFirstPageAsksTwentyRowsAndCountsTheUnreadOnes) {
    open("teacher");
    ASSERT_TRUE(waitForPage(kListTeacherPath, 1));
    auto request = requestsTo(kListTeacherPath).back();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.queryValue("limit"), "20");
    EXPECT_EQ(request.queryValue("page"), "1");
    EXPECT_FALSE(request.queryValue("flag").has_value());
    EXPECT_FALSE(request.queryValue("teacherId").has_value());
    EXPECT_TRUE(request.hasServiceCredentials());
    // The sample teacher's dozen, two of them with hand-ins not yet looked at.
    EXPECT_EQ(list->dataArray().size(), 12u);
    EXPECT_EQ(list->unReadCount(), 2);
    EXPECT_TRUE(MVTAccount::sharedInstance().newHM());
    EXPECT_EQ(footer(), "已加载全部");
    EXPECT_FALSE(footerReacts());
    EXPECT_EQ(list->selectFlag(), List::kNoTabs);
    EXPECT_EQ(list->myTable()->frame().y(), 0);
    EXPECT_EQ(list->addButton()->currentImage(), Image::imageNamed("add_nor_org"));
    EXPECT_EQ(StatisticsKit::shared().pageEvents().front(), std::make_pair(std::string("begin"), std::string("查看作业")));
}

TEST_F(HomeworkListTest, FootersTellMoreAllNothingAndFailure) {
    struct Case {
        const char* name;
        Reply reply;
        const char* footer;
        bool reacts;
    };
    const Case cases[] = {
        {"empty", Reply::json(Json::array()), "没有相关内容", false},
        {"full page", Reply::json(listRows(20, 1)), "点击加载更多", true},
        {"short page", Reply::json(listRows(7, 1)), "已加载全部", false},
        {"error status", Reply::text("busy", "text/plain", 500), "加载失败，点击重新加载", true},
        {"not JSON", Reply::text("<html>busy</html>", "text/html"), "加载失败，点击重新加载", true},
        {"dictionary", Reply::json({{"error", "no"}}), "加载失败，点击重新加载", true},
        {"text", Reply::json("rows"), "加载失败，点击重新加载", true},
        {"huge", Reply::json(Json::array({{{"content", std::string(70u * 1024 * 1024, 'x')}}})),
         "加载失败，点击重新加载", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        service().clearRequests();
        service().setReply("GET", servicePath(kListTeacherPath), c.reply);
        open("teacher");
        ASSERT_TRUE(waitForPage(kListTeacherPath, 1));
        EXPECT_EQ(footer(), c.footer);
        EXPECT_EQ(footerReacts(), c.reacts);
    }
}

TEST_F(HomeworkListTest, FortyRowsShownAskPageThreeAlsoAfterAPublishAtThatPoint) {
    servePages(kListTeacherPath, 60);
    open("teacher");
    ASSERT_TRUE(waitForPage(kListTeacherPath, 1));
    tapFooter();
    ASSERT_TRUE(waitForPage(kListTeacherPath, 2));
    EXPECT_EQ(requestsTo(kListTeacherPath).back().queryValue("page"), "2");
    ASSERT_EQ(list->dataArray().size(), 40u);

    // Published at a multiple of 20: the new row first, the 40th dropped.
    list->didAddSuccessWith({{"id", "9999"}, {"content", "新的作业"}, {"readed", "1"}, {"stdCount", "30"},
                             {"submitCount", "0"}, {"dateline", "1767500000"}});
    ASSERT_EQ(list->dataArray().size(), 40u);
    EXPECT_EQ(textOf(list->dataArray()[0], "id"), "9999");
    EXPECT_EQ(textOf(list->dataArray()[39], "id"), "138");
    tapFooter();
    ASSERT_TRUE(waitForPage(kListTeacherPath, 3));
    EXPECT_EQ(requestsTo(kListTeacherPath).back().queryValue("page"), "3");
    EXPECT_EQ(list->dataArray().size(), 60u);
    EXPECT_EQ(footer(), "点击加载更多");

}

TEST_F(HomeworkListTest, APublishBelowAFullPageAddsItsRowAndAloneItIsTheOnlyOne) {
    service().setReply("GET", servicePath(kListTeacherPath), Reply::json(listRows(7, 1)));
    open("teacher");
    ASSERT_TRUE(waitForPage(kListTeacherPath, 1));
    list->didAddSuccessWith({{"id", "9998"}});
    ASSERT_EQ(list->dataArray().size(), 8u);
    EXPECT_EQ(textOf(list->dataArray()[7], "id"), "7");

    service().setReply("GET", servicePath(kListTeacherPath), Reply::json(Json::array()));
    open("teacher");
    ASSERT_TRUE(waitForPage(kListTeacherPath, 2));
    list->didAddSuccessWith({{"id", "9997"}});
    EXPECT_EQ(list->dataArray(), Json::array({{{"id", "9997"}}}));
}

TEST_F(HomeworkListTest, AFooterTappedTwiceAsksThePageOnceAndAFailedPageIsAskedAgain) {
    servePages(kListTeacherPath, 45);
    open("teacher");
    ASSERT_TRUE(waitForPage(kListTeacherPath, 1));
    list->getNewHomeworkData();
    list->getNewHomeworkData();
    ASSERT_TRUE(waitForPage(kListTeacherPath, 2));
    driver->settle();
    EXPECT_EQ(requestsTo(kListTeacherPath).size(), 2u);
    EXPECT_EQ(list->dataArray().size(), 40u);

    service().setReply("GET", servicePath(kListTeacherPath), Reply::text("", "text/plain", 502));
    list->getNewHomeworkData();
    ASSERT_TRUE(waitForPage(kListTeacherPath, 3));
    EXPECT_EQ(footer(), "加载失败，点击重新加载");
    EXPECT_EQ(list->dataArray().size(), 40u);
    service().clearReplies();
    list->getNewHomeworkData();
    ASSERT_TRUE(waitForPage(kListTeacherPath, 4));
    EXPECT_EQ(requestsTo(kListTeacherPath).back().queryValue("page"), "3");
    EXPECT_EQ(list->dataArray().size(), 45u);
    EXPECT_EQ(footer(), "已加载全部");
}

TEST_F(HomeworkListTest, AStudentsTabsKeepTheirOwnRowsAndAskOnlyOnce) {
    open("student");
    ASSERT_TRUE(waitForPage(kListStudentPath, 1));
    EXPECT_EQ(list->selectFlag(), List::kAllTab);
    EXPECT_EQ(list->myTable()->frame().y(), 40);
    EXPECT_EQ(list->addButton()->currentTitle(), "筛选");
    const auto all = list->dataArray();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(list->std_all_page(), 2);
    EXPECT_FALSE(tab(List::kAllTab)->isUserInteractionEnabled());

    ASSERT_TRUE(driver->tap(tab(List::kStarredTab)));
    ASSERT_TRUE(waitForPage(kListStudentPath, 2));
    auto starred = requestsTo(kListStudentPath).back();
    EXPECT_EQ(starred.queryValue("page"), "1");
    EXPECT_EQ(starred.queryValue("flag"), "3");
    EXPECT_EQ(list->selectFlag(), List::kStarredTab);
    // 李明 starred three of his homework.
    EXPECT_EQ(list->dataArray().size(), 3u);
    for (const auto& row : list->dataArray()) EXPECT_EQ(textOf(row, "star"), "1");
    EXPECT_EQ(list->did_mark_page(), 2);

    list->myTable()->setContentOffset({0, 20});
    ASSERT_TRUE(driver->tap(tab(List::kAllTab)));
    driver->settle();
    EXPECT_EQ(requestsTo(kListStudentPath).size(), 2u);
    EXPECT_EQ(list->dataArray(), all);
    EXPECT_EQ(list->myTable()->contentOffset().y, 0);
    EXPECT_EQ(footer(), "已加载全部");
    ASSERT_TRUE(driver->tap(tab(List::kStarredTab)));
    driver->settle();
    EXPECT_EQ(requestsTo(kListStudentPath).size(), 2u);
    EXPECT_EQ(list->dataArray().size(), 3u);
}

TEST_F(HomeworkListTest, ReadMarkersGoIntoTheDetailsScreenOnlyForUnreadRows) {
    struct Case {
        const char* role;
        const char* readed;  // nullptr: no "readed" key
        const char* marker;
    };
    const Case cases[] = {
        {"student", "0", "one un read"}, {"teacher", "0", "one have submit"}, {"admin", "false", "one have submit"},
        {"parent", "0", ""},             {"student", "1", ""},                {"student", nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.role) + " " + (c.readed ? c.readed : "none"));
        Json row = {{"id", "77"}, {"content", "背诵"}, {"star", "1"}, {"stdCount", "5"}};
        if (c.readed) row["readed"] = c.readed;
        service().setReply("GET", "/services/norvo/homework/list/" + userIdOf(c.role), Reply::json(Json::array({row})));
        open(c.role);
        ASSERT_TRUE(pumpUntil([&] { return list->dataArray().size() == 1; }));
        list->showHomeworkInfoWith(0);
        driver->settle();
        auto details = std::dynamic_pointer_cast<MVTNHWDetailsViewController>(top());
        ASSERT_NE(details, nullptr);
        EXPECT_EQ(details->view()->accessibilityValue(), c.marker);
        EXPECT_EQ(details->hwId(), "77");
        EXPECT_EQ(details->subCount(), std::optional<std::string>("5"));
        EXPECT_TRUE(details->isStar());
        EXPECT_EQ(details->delegate().get(), static_cast<MVTNHWDetailsViewDelegate*>(list.get()));
    }
}

TEST_F(HomeworkListTest, ReadingTheLastUnreadHomeworkClearsTheFlagWithOneMarkUpside) {
    service().setReply("GET", servicePath(kListTeacherPath), Reply::json(listRows(5, 1, 2)));
    open("teacher");
    ASSERT_TRUE(waitForPage(kListTeacherPath, 1));
    EXPECT_EQ(list->unReadCount(), 2);
    EXPECT_TRUE(MVTAccount::sharedInstance().newHM());

    list->showHomeworkInfoWith(0);
    list->didReadHomework();
    EXPECT_EQ(list->unReadCount(), 1);
    EXPECT_EQ(markUpsides, 0);
    EXPECT_EQ(textOf(list->dataArray()[0], "readed"), "1");
    list->showHomeworkInfoWith(1);
    list->didReadHomework();
    EXPECT_EQ(list->unReadCount(), 0);
    EXPECT_FALSE(MVTAccount::sharedInstance().newHM());
    EXPECT_EQ(markUpsides, 1);
    // A read one read again changes nothing more.
    list->didReadHomework();
    EXPECT_EQ(markUpsides, 1);
    EXPECT_EQ(list->starDic(), list->dataArray()[1]);
}

TEST_F(HomeworkListTest, OpeningAnUnreadHomeworkReportsTheReadThroughTheRealDetailsScreen) {
    open("student");
    ASSERT_TRUE(waitForPage(kListStudentPath, 1));
    const int unread = list->unReadCount();
    ASSERT_GT(unread, 0);
    int row = -1;
    for (size_t i = 0; i < list->dataArray().size(); ++i)
        if (textOf(list->dataArray()[i], "readed") == "0") row = static_cast<int>(i);
    ASSERT_GE(row, 0);
    list->showHomeworkInfoWith(row);
    const std::string id = textOf(list->dataArray()[row], "id");
    ASSERT_TRUE(pumpUntil([&] { return list->unReadCount() == unread - 1; }));
    EXPECT_EQ(textOf(list->dataArray()[row], "readed"), "1");
    EXPECT_EQ(requestsTo("homework/2001/content/" + id).size(), 1u);

    // Leaving with unread rows keeps the flag up.
    MVTAccount::sharedInstance().setNewHM(false);
    list->goback();
    EXPECT_EQ(MVTAccount::sharedInstance().newHM(), list->unReadCount() > 0);
}

TEST_F(HomeworkListTest, AParentsListHasNoDotsAndLeavingClearsTheFlag) {
    open("parent");
    ASSERT_TRUE(waitForPage("homework/list/3001", 1));
    EXPECT_EQ(list->selectFlag(), List::kNoTabs);
    EXPECT_EQ(list->unReadCount(), 0);
    ASSERT_FALSE(list->dataArray().empty());
    list->myTable()->layoutIfNeeded();
    for (const auto& cell : list->myTable()->visibleCells())
        EXPECT_TRUE(std::static_pointer_cast<MVTNewHomeworkCell>(cell)->dianView()->isHidden());
    MVTAccount::sharedInstance().setNewHM(true);
    list->goback();
    EXPECT_FALSE(MVTAccount::sharedInstance().newHM());
}

TEST_F(HomeworkListTest, UnstarringFromARowRemovesItOnStarredAndKeepsItOnAll) {
    open("student");
    ASSERT_TRUE(waitForPage(kListStudentPath, 1));
    ASSERT_TRUE(driver->tap(tab(List::kStarredTab)));
    ASSERT_TRUE(waitForPage(kListStudentPath, 2));
    ASSERT_EQ(list->dataArray().size(), 3u);
    list->myTable()->layoutIfNeeded();
    auto cell = std::static_pointer_cast<MVTNewHomeworkCell>(list->myTable()->cellForRowAtIndexPath(IndexPath::forRow(0, 0)));
    ASSERT_NE(cell, nullptr);
    auto star = cell->starBtn();
    EXPECT_TRUE(star->isSelected());
    const std::string id = star->accessibilityValue();
    EXPECT_EQ(id, textOf(list->dataArray()[0], "id"));
    ASSERT_TRUE(driver->tap(star));
    ASSERT_TRUE(waitForRequests("homework/2001/fav/" + id + "/star", 1, list->view()));
    EXPECT_EQ(requestsTo("homework/2001/fav/" + id + "/star").back().queryValue("flag"), "0");
    EXPECT_EQ(list->dataArray().size(), 2u);
    EXPECT_EQ(list->did_mark_dataArr().size(), 2u);
    // The same homework in "全部" shows its star cleared.
    for (const auto& row : list->std_all_dataArr()) {
        if (textOf(row, "id") != id) continue;
        EXPECT_EQ(textOf(row, "star"), "0");
    }

    // On "全部" a star keeps the row and "星标" loads afresh from page 1.
    ASSERT_TRUE(driver->tap(tab(List::kAllTab)));
    driver->settle();
    list->myTable()->layoutIfNeeded();
    auto first = std::static_pointer_cast<MVTNewHomeworkCell>(list->myTable()->cellForRowAtIndexPath(IndexPath::forRow(0, 0)));
    ASSERT_NE(first, nullptr);
    const std::string firstId = textOf(list->dataArray()[0], "id");
    const bool wasStarred = first->starBtn()->isSelected();
    const size_t before = list->dataArray().size();
    ASSERT_TRUE(driver->tap(first->starBtn()));
    ASSERT_TRUE(waitForRequests("homework/2001/fav/" + firstId + "/star", 1, list->view()));
    driver->settle();
    EXPECT_EQ(list->dataArray().size(), before);
    EXPECT_EQ(textOf(list->dataArray()[0], "star"), wasStarred ? "0" : "1");
    EXPECT_TRUE(list->did_mark_dataArr().empty());
    EXPECT_EQ(list->did_mark_page(), 1);
    const size_t sent = requestsTo(kListStudentPath).size();
    ASSERT_TRUE(driver->tap(tab(List::kStarredTab)));
    ASSERT_TRUE(waitForPage(kListStudentPath, sent + 1));
    EXPECT_EQ(requestsTo(kListStudentPath).back().queryValue("page"), "1");
}

TEST_F(HomeworkListTest, StarReportsOfTheDetailsScreenPutARowBackWhereItWas) {
    open("student");
    ASSERT_TRUE(waitForPage(kListStudentPath, 1));
    ASSERT_TRUE(driver->tap(tab(List::kStarredTab)));
    ASSERT_TRUE(waitForPage(kListStudentPath, 2));
    const Json before = list->dataArray();
    ASSERT_EQ(before.size(), 3u);
    list->showHomeworkInfoWith(1);
    list->didReadHomework();
    list->didStarOrNotHomeworkWith(false);
    EXPECT_EQ(list->dataArray().size(), 2u);
    list->didStarOrNotHomeworkWith(true);
    ASSERT_EQ(list->dataArray().size(), 3u);
    EXPECT_EQ(textOf(list->dataArray()[1], "id"), textOf(before[1], "id"));
    EXPECT_EQ(textOf(list->dataArray()[1], "readed"), "1");
    EXPECT_EQ(list->did_mark_dataArr(), list->dataArray());
}

TEST_F(HomeworkListTest, AFilterOfTwoTeachersAsksForBothAndShowsTwoChipsUntilCleared) {
    open("student");
    ASSERT_TRUE(waitForPage(kListStudentPath, 1));
    list->whichTeacherDidSelectWith(Json::array({{{"uid", "1003"}, {"name", "陈老师"}}, {{"uid", "1001"}, {"name", "王老师"}}}));
    // Applied a moment later.
    driver->advance(0.1);
    EXPECT_EQ(requestsTo(kListStudentPath).size(), 1u);
    driver->advance(0.15);
    ASSERT_TRUE(waitForPage(kListStudentPath, 2));
    auto request = requestsTo(kListStudentPath).back();
    EXPECT_EQ(request.queryValue("teacherId"), "1003,1001");
    EXPECT_EQ(request.queryValue("page"), "1");
    EXPECT_EQ(list->teacherIdStr(), "1003,1001");
    ASSERT_NE(list->myTable()->tableHeaderView(), nullptr);
    std::vector<std::string> chips;
    for (const auto& sub : list->headScrol()->subviews())
        if (auto chip = std::dynamic_pointer_cast<Button>(sub)) chips.push_back(chip->currentTitle());
    EXPECT_EQ(chips, (std::vector<std::string>{"陈老师", "王老师"}));
    for (const auto& row : list->dataArray()) EXPECT_NE(textOf(row, "teacherId"), "1002");

    // A chip opens the filter with the chosen teachers.
    ASSERT_TRUE(driver->tapText("陈老师"));
    driver->settle();
    auto filter = std::dynamic_pointer_cast<MVTNHWSelectViewController>(top());
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->selectTeaArr(), Json::array({"1003", "1001"}));
    navigation->popViewController(false);

    list->whichTeacherDidSelectWith(Json::array());
    driver->settle();
    ASSERT_TRUE(waitForPage(kListStudentPath, 3));
    EXPECT_EQ(list->myTable()->tableHeaderView(), nullptr);
    EXPECT_FALSE(requestsTo(kListStudentPath).back().queryValue("teacherId").has_value());
    EXPECT_EQ(requestsTo(kListStudentPath).back().queryValue("page"), "1");
}

TEST_F(HomeworkListTest, ATeacherWithoutAClassIsAskedToJoinOneInsteadOfTheComposer) {
    open("teacher");
    ASSERT_TRUE(waitForPage(kListTeacherPath, 1));
    MVTAccount::sharedInstance().setClassId("");
    list->toAddNewHomework();
    auto alert = AlertView::topAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->tag(), 10010);
    EXPECT_EQ(alert->message(), "请先加入班级，可以查看和分享更多精彩");
    alert->clickButtonAtIndex(1);
    EXPECT_EQ(top(), list);

    MVTAccount::sharedInstance().setClassId("11,12");
    ASSERT_TRUE(driver->tap(list->addButton()));
    driver->settle();
    auto composer = std::dynamic_pointer_cast<MVTNHWAddViewController>(top());
    ASSERT_NE(composer, nullptr);
    EXPECT_EQ(composer->delegate().get(), static_cast<MVTNHWAddViewDelegate*>(list.get()));
}

TEST_F(HomeworkListTest, ARefreshReplacesTheRowsAndKeepsThemWhenItFails) {
    open("teacher");
    ASSERT_TRUE(waitForPage(kListTeacherPath, 1));
    const auto shown = list->dataArray();
    service().setReply("GET", servicePath(kListTeacherPath), Reply::json({{"rows", 1}}));
    list->reloadNewHomeworkData();
    ASSERT_TRUE(waitForPage(kListTeacherPath, 2));
    EXPECT_EQ(list->dataArray(), shown);
    EXPECT_EQ(requestsTo(kListTeacherPath).back().queryValue("page"), "1");

    service().setReply("GET", servicePath(kListTeacherPath), Reply::json(listRows(3, 500, 1)));
    list->reloadNewHomeworkData();
    ASSERT_TRUE(waitForPage(kListTeacherPath, 3));
    EXPECT_EQ(list->dataArray().size(), 3u);
    EXPECT_EQ(list->unReadCount(), 1);

    // Offline: nothing is sent and the pull ends as after a failure.
    Reachability::setOverride(ReachabilityState::offline());
    list->egoRefreshTableHeaderDidTriggerRefresh(*list->refreshHeaderView());
    EXPECT_TRUE(list->reloading());
    driver->advance(0.6);
    EXPECT_FALSE(list->reloading());
    EXPECT_EQ(requestsTo(kListTeacherPath).size(), 3u);
    EXPECT_EQ(list->dataArray().size(), 3u);
}

}  // namespace
