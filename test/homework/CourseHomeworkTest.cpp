// The course-based homework chain against the sample service: the subject grid and its
// red dots, the course list's pages, refresh and rows, the class assignment, the chooser,
// the subject-based composer, and replies of the wrong kind.
#include "HomeworkFixture.h"

#include "core/MVTPublicMethod.h"
#include "homework/HMClassViewController.h"
#include "homework/MVTAddHWViewController.h"
#include "homework/MVTClassListViewcontroller.h"
#include "homework/MVTHomeworkCell.h"
#include "homework/MVTHomeworkListViewController.h"
#include "homework/MVTHomeworkViewController.h"
#include "shell/MVTWebViewController.h"
#include "shell/myTableView.h"

#include "platform/AudioRecorder.h"
#include "platform/BackgroundQueue.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <cmath>

using namespace platform;
using sample_service::RecordedRequest;
using sample_service::Reply;

namespace {

// `count` course homework rows numbered from `first`.
Json courseRows(int count, int first) {
    Json rows = Json::array();
    for (int i = 0; i < count; ++i)
        rows.push_back({{"id", std::to_string(first + i)},
                        {"courseId", "3"},
                        {"title", "作业" + std::to_string(first + i)},
                        {"name", "王老师"},
                        {"content", "内容"},
                        {"dateline", 1767500000},
                        {"shareTargets", Json::array()},
                        {"resList", Json::array()}});
    return rows;
}

class CourseHomeworkTest : public testing_support::HomeworkTest {
protected:
    std::shared_ptr<MVTHomeworkListViewController> openList(const std::string& role, const std::string& course = "3") {
        signIn(role);
        auto list = std::make_shared<MVTHomeworkListViewController>();
        list->setSubjectId(course);
        showPushed(list);
        return list;
    }
    // The list path of the signed-in user.
    std::string listPath(const std::string& course = "3") {
        return "course/" + course + "/homework/" + MVTAccount::sharedInstance().userId().value_or("") + "/list";
    }
    bool waitForListRequests(std::size_t count, const std::string& course = "3") {
        return pumpUntil([&] { return requestsTo(listPath(course)).size() >= count; });
    }
    // Lets the replies of the requests sent so far arrive.
    void settle() {
        for (int i = 0; i < 20; ++i) {
            BackgroundQueue::shared().waitIdle();
            driver->pump();
        }
        advance(0.6);
    }
    // The first page handled: the waiting animation stops at the redraw.
    bool firstPage(MVTHomeworkListViewController& list) {
        return pumpUntil([&] { return !MVTPublicMethod::isShowingAnimation(list.view()); });
    }
    // A pull to refresh, waited for until its end (0.5 s after the redraw).
    bool refreshed(MVTHomeworkListViewController& list) {
        list.upListData();
        return pumpUntil([&] {
            advance(0.1);
            return !list.reloading();
        });
    }
    std::shared_ptr<MVTHomeworkCell> cellAt(MVTHomeworkListViewController& list, int row) {
        // The row as the list fills it, whether or not it is on screen.
        return std::dynamic_pointer_cast<MVTHomeworkCell>(
            list.cellForRowAtIndexPath(*list.mytableview(), IndexPath::forRow(row, 0)));
    }
};

TEST_F(CourseHomeworkTest, SevenSubjectsSortedByIdLieInRowsOfThreeWithA325PointContent) {
    service().route("GET", "services/norvo/user/%@/subjects", [](const RecordedRequest& request) {
        EXPECT_EQ(request.queryValue("homework").value_or(""), "1");
        Json subjects = Json::array();
        for (int id : {7, 3, 12, 1, 5, 2, 4}) subjects.push_back({{"id", id}, {"name", "科目" + std::to_string(id)}});
        return Reply::json(subjects);
    });
    signIn("teacher");
    auto grid = showRoot(std::make_shared<MVTHomeworkViewController>());
    ASSERT_TRUE(pumpUntil([&] { return grid->subjectButtons().size() == 7; }));
    const auto buttons = grid->subjectButtons();
    const int expectedIds[] = {1, 2, 3, 4, 5, 7, 12};
    const double xs[] = {12, 112, 212};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->accessibilityHint(), std::to_string(expectedIds[i]));
        EXPECT_EQ(buttons[i]->frame().x(), xs[i % 3]);
        EXPECT_EQ(buttons[i]->frame().y(), static_cast<double>(i / 3) * 105 + 10);
    }
    EXPECT_EQ(grid->scrollView()->contentSize().height, 325);
    // Teachers compose; the right bar button is there for them only.
    EXPECT_NE(grid->navigationItem().rightBarButtonItem(), nullptr);
}

TEST_F(CourseHomeworkTest, TheLastRedDotClearsTheNewHomeworkFlagWithOneMarkUpside) {
    signIn("student");
    MVTAccount::sharedInstance().setNewHM(true);
    auto grid = showRoot(std::make_shared<MVTHomeworkViewController>());
    ASSERT_TRUE(pumpUntil([&] { return grid->subjectButtons().size() == 4; }));
    EXPECT_EQ(grid->navigationItem().rightBarButtonItem(), nullptr);
    EXPECT_EQ(grid->unreadC(), 2);
    auto buttons = grid->subjectButtons();
    std::vector<std::shared_ptr<Button>> dotted;
    for (const auto& b : buttons)
        if (b->viewWithTag(MVTHomeworkViewController::kDotTag)) dotted.push_back(b);
    ASSERT_EQ(dotted.size(), 2u);
    const int before = markUpsides;
    grid->toShowSelectedHomework(*dotted[0]);
    EXPECT_TRUE(MVTAccount::sharedInstance().newHM());
    EXPECT_EQ(markUpsides, before);
    navigation->popViewController(false);
    grid->toShowSelectedHomework(*dotted[1]);
    EXPECT_FALSE(MVTAccount::sharedInstance().newHM());
    EXPECT_EQ(markUpsides, before + 1);
    navigation->popViewController(false);
    grid->toShowSelectedHomework(*dotted[0]);
    EXPECT_EQ(markUpsides, before + 1);
    // The pushed list is for the tapped subject, under its name.
    auto list = std::dynamic_pointer_cast<MVTHomeworkListViewController>(top());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->subjectId(), dotted[0]->accessibilityHint());
    EXPECT_EQ(list->title(), dotted[0]->currentTitle());
}

TEST_F(CourseHomeworkTest, AnEmptyFirstSubjectListSaysSoAndAFailureKeepsTheGrid) {
    service().setReply("GET", "/services/norvo/user/1001/subjects", Reply::json(Json::array()));
    signIn("teacher");
    auto grid = showRoot(std::make_shared<MVTHomeworkViewController>());
    ASSERT_TRUE(pumpUntil([&] { return grid->view()->viewWithTag(MVTHomeworkViewController::kNoDataTag) != nullptr; }));
    EXPECT_FALSE(grid->view()->viewWithTag(MVTHomeworkViewController::kNoDataTag)->isHidden());

    service().clearReplies();
    grid->refreshList();
    ASSERT_TRUE(pumpUntil([&] { return grid->subjectButtons().size() == 4; }));
    EXPECT_TRUE(grid->view()->viewWithTag(MVTHomeworkViewController::kNoDataTag)->isHidden());
    for (const Reply& bad : {Reply::text("<html>", "text/html"), Reply::json({{"id", 1}}), Reply::json(nullptr, 500)}) {
        service().setReply("GET", "/services/norvo/user/1001/subjects", bad);
        const auto asked = service().requestCount();
        grid->refreshList();
        ASSERT_TRUE(pumpUntil([&] { return service().requestCount() > asked; }));
        settle();
        EXPECT_EQ(grid->subjectButtons().size(), 4u);
    }
}

TEST_F(CourseHomeworkTest, APageOfTenKeepsPagingOpenAndAnEmptyNextPageShowsAllLoadedWithThePageKept) {
    service().route("GET", "services/norvo/course/3/homework/%@/list", [](const RecordedRequest& request) {
        EXPECT_EQ(request.queryValue("limit").value_or(""), "10");
        return Reply::json(request.queryValue("pageNum").value_or("") == "1" ? courseRows(10, 100) : Json::array());
    });
    auto list = openList("student");
    ASSERT_TRUE(firstPage(*list));
    EXPECT_EQ(list->dataArray().size(), 10u);
    EXPECT_EQ(list->pageNum(), 2);
    EXPECT_FALSE(list->isMoring());
    EXPECT_EQ(list->mytableview()->numberOfRowsInSection(0), 11);
    // The "more" row appearing asks page 2.
    const int redraws = list->redraws();
    list->willDisplayCell(*list->mytableview(), *cellAt(*list, 10), IndexPath::forRow(10, 0));
    ASSERT_TRUE(pumpUntil([&] { return list->redraws() > redraws; }));
    EXPECT_EQ(requestsTo(listPath()).back().queryValue("pageNum").value_or(""), "2");
    EXPECT_EQ(list->dataArray().size(), 10u);
    EXPECT_EQ(list->pageNum(), 2);
    EXPECT_TRUE(list->isMoring());
    EXPECT_FALSE(list->isFalse());
    EXPECT_EQ(cellAt(*list, 10)->moreLa()->text(), "已加载全部");
}

TEST_F(CourseHomeworkTest, AFailedPageOffersAReloadThatAsksTheSamePage) {
    signIn("student");
    service().setReply("GET", "/services/norvo/" + listPath(), Reply::json(nullptr, 500));
    service().route("GET", "services/norvo/course/3/homework/%@/list", [](const RecordedRequest&) { return Reply::json(courseRows(10, 1)); });
    auto list = openList("student");
    ASSERT_TRUE(firstPage(*list));
    EXPECT_TRUE(list->dataArray().empty());
    EXPECT_EQ(list->mytableview()->numberOfRowsInSection(0), 0);
    service().clearReplies();
    ASSERT_TRUE(refreshed(*list));
    ASSERT_EQ(list->dataArray().size(), 10u);
    service().setReply("GET", "/services/norvo/" + listPath(), Reply::text("not json"));
    const int redraws = list->redraws();
    list->getListData();
    ASSERT_TRUE(pumpUntil([&] { return list->redraws() > redraws; }));
    EXPECT_TRUE(list->isMoring());
    auto more = cellAt(*list, 10);
    EXPECT_EQ(more->moreLa()->text(), "点击重新加载");
    ASSERT_NE(more->againBtn()->superview(), nullptr);
    service().clearReplies();
    const auto asked = requestsTo(listPath()).size();
    list->toAgainGetListData();
    ASSERT_TRUE(waitForListRequests(asked + 1));
    ASSERT_TRUE(pumpUntil([&] { return list->dataArray().size() == 20; }));
    EXPECT_EQ(requestsTo(listPath()).back().queryValue("pageNum").value_or(""), "2");
}

TEST_F(CourseHomeworkTest, ARefreshReplacesTheRowsOnlyWhenItsFirstRowIsNew) {
    int served = 0;
    service().route("GET", "services/norvo/course/3/homework/%@/list", [&served](const RecordedRequest&) {
        ++served;
        if (served == 1) return Reply::json(courseRows(10, 100));
        if (served == 2) return Reply::json(courseRows(3, 100));  // first row already listed
        if (served == 3) return Reply::json(Json::array());
        return Reply::json(courseRows(4, 500));
    });
    auto list = openList("student");
    ASSERT_TRUE(firstPage(*list));
    for (int refresh = 0; refresh < 2; ++refresh) {
        ASSERT_TRUE(refreshed(*list));
        EXPECT_EQ(list->dataArray().size(), 10u);
        EXPECT_EQ(textOf(list->dataArray()[0], "id"), "100");
    }
    ASSERT_TRUE(refreshed(*list));
    ASSERT_EQ(list->dataArray().size(), 4u);
    EXPECT_EQ(textOf(list->dataArray()[0], "id"), "500");
    EXPECT_EQ(list->pageNum(), 2);
    EXPECT_TRUE(list->isMoring());
    EXPECT_FALSE(list->reloading());
}

TEST_F(CourseHomeworkTest, APageReplyFromBeforeARefreshIsDropped) {
    service().route("GET", "services/norvo/course/3/homework/%@/list", [](const RecordedRequest& request) {
        if (request.queryValue("pageNum").value_or("") == "2") {
            Reply late = Reply::json(courseRows(10, 200));
            late.delay = 0.3;
            return late;
        }
        return Reply::json(courseRows(10, 100));
    });
    auto list = openList("student");
    ASSERT_TRUE(firstPage(*list));
    list->getListData();
    ASSERT_TRUE(waitForListRequests(2));
    ASSERT_TRUE(refreshed(*list));
    // Page 2 arrives after the refresh began: its rows are not appended.
    ASSERT_TRUE(pumpUntil([&] { return !list->isMoring(); }, 5));
    for (const auto& row : list->dataArray()) EXPECT_NE(textOf(row, "id").substr(0, 1), "2");
    EXPECT_EQ(list->pageNum(), 2);
}

TEST_F(CourseHomeworkTest, RowsLayOutByTheirTextsAndFoldOutTheirAttachments) {
    signIn("teacher");
    const double W = Screen::mainScreen().bounds().width();
    auto cell = MVTHomeworkCell::make();
    Json row = {{"title", nullptr}, {"name", "王老师"}, {"content", ""}, {"dateline", 1767500000}};
    cell->reloadDataWith(row, 0, "0", false, false, false);
    EXPECT_EQ(cell->titleLa()->text(), "无题");
    EXPECT_EQ(cell->nameLa()->frame().y(), 35);
    // An empty text takes no room; no classes: the time at K + 25.
    EXPECT_EQ(cell->datelineLa()->frame().y(), 60);
    EXPECT_TRUE(cell->attachBtn()->isHidden());
    EXPECT_EQ(cell->frame().height(), 60 + 15 + 5);

    row["resList"] = Json::array({{{"id", "1"}, {"suffix", "JPG"}, {"resourceName", "a"}, {"size", 10}},
                                  {{"id", "2"}, {"suffix", "Docx"}, {"resourceName", "b"}},
                                  {{"id", "3"}, {"suffix", "mp3"}, {"resourceName", "c"}}});
    cell->reloadDataWith(row, 0, "0", false, false, false);
    const double folded = cell->frame().height();
    cell->reloadDataWith(row, 0, "1", false, false, false);
    EXPECT_EQ(cell->frame().height() - folded, 5 + 45 * 3);
    std::vector<ImageRef> icons;
    for (const auto& view : cell->contentView()->subviews())
        if (view->tag() == MVTHomeworkCell::kAttachmentTag)
            for (const auto& inside : view->subviews())
                if (auto icon = std::dynamic_pointer_cast<ImageView>(inside)) icons.push_back(icon->image());
    ASSERT_EQ(icons.size(), 3u);
    EXPECT_EQ(icons[0], Image::imageNamed("picture.png"));
    EXPECT_EQ(icons[1], Image::imageNamed("word.png"));
    EXPECT_EQ(icons[2], Image::imageNamed("link.png"));
    EXPECT_EQ(MVTHomeworkCell::iconNameForSuffix("AMR"), "icon_52.png");
    EXPECT_EQ(MVTHomeworkCell::iconNameForSuffix("PPTX"), "ppt.png");

    // Teachers see the classes; the same record seen by a student never shows them.
    row["shareTargets"] = Json::array({{{"id", 11}, {"name", "一班"}}, {{"id", 12}, {"name", "二班"}}});
    cell->reloadDataWith(row, 0, "0", false, false, false);
    EXPECT_EQ(cell->shareTargetLB()->text(), "作业班级:一班,二班");
    EXPECT_NE(cell->shareTargetLB()->superview(), nullptr);
    signIn("student");
    auto studentCell = MVTHomeworkCell::make();
    studentCell->reloadDataWith(row, 0, "0", false, false, false);
    EXPECT_EQ(studentCell->shareTargetLB()->superview(), nullptr);
    EXPECT_EQ(studentCell->sendBtn(), nullptr);

    // The "more" row keeps only its frame; a homework row after it has no more text.
    cell->reloadDataWith(nullptr, 1, "", true, false, false);
    EXPECT_EQ(cell->frame().height(), 40);
    EXPECT_EQ(cell->moreLa()->text(), "      更多...");
    cell->reloadDataWith(row, 0, "0", false, false, false);
    EXPECT_EQ(cell->moreLa()->superview(), nullptr);
    EXPECT_EQ(cell->againBtn()->superview(), nullptr);
    EXPECT_EQ(cell->bgView()->frame().width(), W - 10);
}

TEST_F(CourseHomeworkTest, SizeTextsFollowTheByteCount) {
    const std::pair<Json, std::string> cases[] = {
        {Json(), "未知"},           {Json(0), "未知"},           {Json(-5), "未知"},
        {Json(1024), "1024B"},      {Json(1025), "1.0KB"},       {Json(1048575), "1024.0KB"},
        {Json(1048576), "1.0MB"},   {Json("2048"), "2.0KB"},     {Json(5242880), "5.0MB"},
    };
    for (const auto& [size, text] : cases) EXPECT_EQ(MVTHomeworkCell::sizeText(size), text) << size.dump();
}

TEST_F(CourseHomeworkTest, StudentsOpenTheTextByTappingTeachersThroughTheMenu) {
    auto list = openList("student");
    ASSERT_TRUE(firstPage(*list));
    ASSERT_FALSE(list->dataArray().empty());
    list->didSelectRowAtIndexPath(*list->mytableview(), IndexPath::forRow(0, 0));
    driver->pump();
    auto presented = std::dynamic_pointer_cast<myNavigationController>(list->presentedViewController());
    ASSERT_NE(presented, nullptr);
    EXPECT_NE(std::dynamic_pointer_cast<MVTWebViewController>(presented->topViewController()), nullptr);
    list->dismissViewController(false);
    driver->pump();

    auto teacherList = openList("teacher");
    ASSERT_TRUE(pumpUntil([&] { return teacherList->dataArray().size() == 10; }));
    teacherList->didSelectRowAtIndexPath(*teacherList->mytableview(), IndexPath::forRow(0, 0));
    EXPECT_EQ(teacherList->presentedViewController(), nullptr);
    teacherList->showActionSheet(1);
    auto sheet = ActionSheet::topSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->buttonTitleAtIndex(0), "查看");
    EXPECT_EQ(sheet->buttonTitleAtIndex(1), "布置");
    EXPECT_EQ(sheet->buttonTitleAtIndex(2), "删除");
    sheet->clickButtonAtIndex(1);
    driver->pump();
    auto assign = std::dynamic_pointer_cast<HMClassViewController>(top());
    ASSERT_NE(assign, nullptr);
    EXPECT_EQ(assign->view()->tag(), 1);
}

TEST_F(CourseHomeworkTest, DeletingNeedsATrueSuccessAndKeepsTheOtherRowsFoldState) {
    service().route("GET", "services/norvo/course/3/homework/%@/list", [](const RecordedRequest&) { return Reply::json(courseRows(3, 1)); });
    auto list = openList("teacher");
    ASSERT_TRUE(firstPage(*list));
    list->toSaveShowAttachWith(2);
    EXPECT_EQ(list->stateArr(), (std::vector<std::string>{"0", "0", "1"}));

    service().setReply("GET", "/services/norvo/course/homework/2/delete", Reply::json({{"success", false}}));
    list->actionSheetClickedButtonAtIndex(*ActionSheet::make("", {}, "取消", ""), 2);
    auto confirm = AlertView::topAlert();
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(confirm->message(), "删除作业?");
    EXPECT_EQ(confirm->tag(), MVTHomeworkListViewController::kDeleteAlertTag);
    confirm->setAccessibilityHint("1");
    confirm->clickButtonAtIndex(1);
    ASSERT_TRUE(pumpUntil([] {
        auto alert = AlertView::topAlert();
        return alert && alert->message() == "删除失败,请重新删除";
    }));
    EXPECT_EQ(list->dataArray().size(), 3u);
    auto request = service().lastRequest("/services/norvo/course/homework/2/delete");
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->queryValue("courseId").value_or(""), "3");
    AlertView::clearVisible();

    service().setReply("GET", "/services/norvo/course/homework/2/delete", Reply::json({{"success", true}}));
    auto again = AlertView::make("提示", "删除作业?", list, "取消", {"确定"});
    again->setTag(MVTHomeworkListViewController::kDeleteAlertTag);
    again->setAccessibilityHint("1");
    list->alertViewClickedButtonAtIndex(*again, 1);
    ASSERT_TRUE(pumpUntil([&] { return list->dataArray().size() == 2; }));
    EXPECT_EQ(list->stateArr(), (std::vector<std::string>{"0", "1"}));
}

TEST_F(CourseHomeworkTest, AssigningSendsWithdrawnAndNewClassesAndTheRowShowsTheNewOnes) {
    service().route("GET", "services/norvo/course/3/homework/%@/list", [](const RecordedRequest&) {
        Json rows = courseRows(2, 1);
        rows[1]["shareTargets"] = Json::array({{{"id", 11}, {"name", "三年级1班"}}, {{"id", 12}, {"name", "三年级2班"}},
                                               {{"id", 99}, {"name", "旧班"}}});
        return Reply::json(rows);
    });
    service().setReply("POST", "/services/norvo/course/3/publish/2", Reply::json({{"success", true}}));
    auto list = openList("teacher");
    ASSERT_TRUE(firstPage(*list));
    list->sendHMAgain(1);
    driver->pump();
    auto assign = std::dynamic_pointer_cast<HMClassViewController>(top());
    ASSERT_NE(assign, nullptr);
    ASSERT_TRUE(pumpUntil([&] { return assign->myArray().size() == 3; }));
    auto table = assign->mytableview();
    table->reloadData();
    driver->pump();
    EXPECT_EQ(table->cellForRowAtIndexPath(IndexPath::forRow(0, 0))->accessoryType(), TableViewCellAccessoryType::Checkmark);
    EXPECT_EQ(table->cellForRowAtIndexPath(IndexPath::forRow(2, 0))->accessoryType(), TableViewCellAccessoryType::None);
    // Off and on again leaves both lists as they were.
    assign->didSelectRowAtIndexPath(*table, IndexPath::forRow(0, 0));
    assign->didSelectRowAtIndexPath(*table, IndexPath::forRow(0, 0));
    EXPECT_EQ(assign->abolishIds(), "");
    EXPECT_EQ(assign->publishIds(), "");
    assign->didSelectRowAtIndexPath(*table, IndexPath::forRow(1, 0));  // B off
    assign->didSelectRowAtIndexPath(*table, IndexPath::forRow(2, 0));  // C on
    EXPECT_EQ(assign->abolishIds(), "12");
    EXPECT_EQ(assign->publishIds(), "13");
    assign->sendBtnClicked();
    ASSERT_TRUE(pumpUntil([&] { return top() == list; }));
    auto sent = service().lastRequest("/services/norvo/course/3/publish/2");
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->formValue("abolishIds").value_or("?"), "12");
    EXPECT_EQ(sent->formValue("publishIds").value_or("?"), "13");
    EXPECT_EQ(sent->formValue("type").value_or(""), "course_homework");
    EXPECT_EQ(sent->formValue("uid").value_or(""), "1001");
    // The class missing from the course's list is kept but left out of the new targets.
    const Json& targets = list->dataArray()[1]["shareTargets"];
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(textOf(targets[0], "name"), "三年级1班");
    EXPECT_EQ(textOf(targets[1], "name"), "三年级3班");
    EXPECT_EQ(textOf(targets[1], "type"), "CLAZZ");
    EXPECT_EQ(cellAt(*list, 1)->shareTargetLB()->text(), "作业班级:三年级1班,三年级3班");
}

TEST_F(CourseHomeworkTest, ARefusedAssignmentStaysWithItsChoice) {
    service().setReply("POST", "/services/norvo/course/3/publish/1", Reply::json({{"success", false}}));
    signIn("teacher");
    auto assign = HMClassViewController::initWithDicti(courseRows(1, 1)[0]);
    showPushed(assign);
    ASSERT_TRUE(pumpUntil([&] { return assign->myArray().size() == 3; }));
    assign->didSelectRowAtIndexPath(*assign->mytableview(), IndexPath::forRow(0, 0));
    assign->sendBtnClicked();
    ASSERT_TRUE(pumpUntil([] {
        auto alert = AlertView::topAlert();
        return alert && alert->message() == "保存失败,请重新发送";
    }));
    EXPECT_EQ(top(), assign);
    EXPECT_TRUE(assign->sendButton()->isEnabled());
    EXPECT_EQ(assign->publishIds(), "11");
}

// A stand-in for the composer, recording what the chooser hands back.
class ChoiceCatcher : public AllListDelegate {
public:
    void returnList(const Json& list, const Json& roles) override {
        lists.push_back(list);
        rolesGiven.push_back(roles);
    }
    std::vector<Json> lists;
    std::vector<Json> rolesGiven;
};

TEST_F(CourseHomeworkTest, TheChooserReturnsClassesInTickingOrderOnceAfterItsPopAndIsFreed) {
    signIn("teacher");
    auto catcher = std::make_shared<ChoiceCatcher>();
    std::weak_ptr<MVTClassListViewcontroller> weakChooser;
    {
        auto chooser = MVTClassListViewcontroller::initWithArray(nullptr, 3, "3");
        chooser->setDelegate(catcher);
        weakChooser = chooser;
        showPushed(chooser);
        ASSERT_TRUE(pumpUntil([&] { return chooser->myArray().size() == 3; }));
        auto table = chooser->mytableview();
        for (int row : {2, 0, 1}) chooser->didSelectRowAtIndexPath(*table, IndexPath::forRow(row, 0));
        chooser->didSelectRowAtIndexPath(*table, IndexPath::forRow(0, 0));
        chooser->goback();
    }
    driver->settle();
    ASSERT_EQ(catcher->lists.size(), 1u);
    ASSERT_EQ(catcher->lists[0].size(), 2u);
    EXPECT_EQ(textOf(catcher->lists[0][0], "id"), "13");
    EXPECT_EQ(textOf(catcher->lists[0][1], "id"), "12");
    EXPECT_TRUE(catcher->rolesGiven[0].is_null());
    navigation.reset();
    driver.reset();
    EXPECT_TRUE(weakChooser.expired());
}

TEST_F(CourseHomeworkTest, SubjectsAreSingleChoiceAndAnEqualRecordCountsAsChosen) {
    signIn("teacher");
    auto catcher = std::make_shared<ChoiceCatcher>();
    const Json chosen = Json::array({{{"id", 1}, {"name", "数学"}}});
    auto chooser = MVTClassListViewcontroller::initWithArray(chosen, 1, "");
    chooser->setDelegate(catcher);
    showPushed(chooser);
    ASSERT_TRUE(pumpUntil([&] { return chooser->myArray().size() == 4; }));
    auto table = chooser->mytableview();
    table->reloadData();
    driver->pump();
    EXPECT_EQ(table->cellForRowAtIndexPath(IndexPath::forRow(1, 0))->accessoryType(), TableViewCellAccessoryType::Checkmark);
    chooser->didSelectRowAtIndexPath(*table, IndexPath::forRow(0, 0));
    chooser->goback();
    ASSERT_EQ(catcher->lists.size(), 1u);
    ASSERT_EQ(catcher->lists[0].size(), 1u);
    EXPECT_EQ(textOf(catcher->lists[0][0], "name"), "语文");
}

TEST_F(CourseHomeworkTest, AnEmptyChoiceListShowsItsAlertAndStillHandsBackTheOpenersChoice) {
    service().setReply("GET", "/services/norvo/user/1001/courses", Reply::json(Json::array()));
    signIn("teacher");
    auto catcher = std::make_shared<ChoiceCatcher>();
    const Json chosen = Json::array({{{"id", "31"}, {"name", "旧课程"}}});
    auto chooser = MVTClassListViewcontroller::initWithArray(chosen, 2, "3");
    chooser->setDelegate(catcher);
    showPushed(chooser);
    ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(AlertView::topAlert()->message(), "您还没有添加本科目课程");
    ASSERT_NE(chooser->noDataLabel(), nullptr);
    EXPECT_EQ(chooser->noDataLabel()->text(), "暂无数据");
    EXPECT_EQ(service().lastRequest("/services/norvo/user/1001/courses")->queryValue("subjectId").value_or(""), "3");
    chooser->goback();
    ASSERT_EQ(catcher->lists.size(), 1u);
    EXPECT_EQ(catcher->lists[0], chosen);
}

class CourseComposerTest : public CourseHomeworkTest {
protected:
    void SetUp() override {
        CourseHomeworkTest::SetUp();
        AudioRecorder::setInput([] { return makeToneSource(440.0, 0.5); });
    }
    void TearDown() override {
        AudioRecorder::setInput(nullptr);
        CourseHomeworkTest::TearDown();
    }
    std::shared_ptr<MVTAddHWViewController> openComposer() {
        signIn("teacher");
        auto composer = std::make_shared<MVTAddHWViewController>();
        showRoot(composer);
        composer->addTableView->reloadData();
        driver->pump();
        return composer;
    }
    // Chooses through the composer's own chain: subject 语文, course 3, classes 11 and 12.
    void choose(MVTAddHWViewController& composer, bool classes = true) {
        composer.showLists(MVTAddHWViewController::kSubjectButtonTag);
        composer.returnList(Json::array({{{"id", 3}, {"name", "语文"}}}), nullptr);
        composer.showLists(MVTAddHWViewController::kCourseButtonTag);
        composer.returnList(Json::array({{{"id", "3"}, {"name", "三年级语文"}}}), nullptr);
        if (classes) {
            composer.showLists(MVTAddHWViewController::kClassButtonTag);
            composer.returnList(Json::array({{{"id", 11}, {"name", "三年级1班"}}, {{"id", 12}, {"name", "三年级2班"}}}), nullptr);
        }
        navigation->popToRootViewController(false);
        driver->pump();
    }
    std::string lastAlert() {
        auto alert = AlertView::topAlert();
        std::string message = alert ? alert->message() : "";
        AlertView::clearVisible();
        return message;
    }
    static std::string partText(const RecordedRequest& request, const std::string& name) {
        for (const auto& part : request.parts)
            if (part.name == name) return part.bytes;
        return "(none)";
    }
};

TEST_F(CourseComposerTest, TheChainAsksForEachEarlierChoiceAndANewSubjectEmptiesTheRest) {
    auto composer = openComposer();
    composer->showLists(MVTAddHWViewController::kCourseButtonTag);
    EXPECT_EQ(lastAlert(), "选择科目");
    composer->showLists(MVTAddHWViewController::kClassButtonTag);
    EXPECT_EQ(lastAlert(), "选择课程");
    EXPECT_EQ(top(), composer);
    choose(*composer);
    EXPECT_EQ(composer->classArray().size(), 2u);
    // The same subject again changes nothing; another empties course and classes.
    composer->showLists(MVTAddHWViewController::kSubjectButtonTag);
    composer->returnList(Json::array({{{"id", 3}, {"name", "语文"}}}), nullptr);
    EXPECT_EQ(composer->classArray().size(), 2u);
    composer->returnList(Json::array({{{"id", 1}, {"name", "数学"}}}), nullptr);
    EXPECT_TRUE(composer->courseArray().empty());
    EXPECT_TRUE(composer->classArray().empty());
}

TEST_F(CourseComposerTest, ThreeClassesCollapseToTwoChipsAndExpandToThree) {
    auto composer = openComposer();
    choose(*composer, false);
    composer->showLists(MVTAddHWViewController::kClassButtonTag);
    navigation->popToRootViewController(false);
    composer->returnList(Json::array({{{"id", 11}, {"name", "一班"}}, {{"id", 12}, {"name", "二班"}}, {{"id", 13}, {"name", "三班"}}}),
                         nullptr);
    auto table = composer->addTableView;
    table->cellForRowAtIndexPath(IndexPath::forRow(3, 0));
    EXPECT_EQ(composer->heightForRowAtIndexPath(*table, IndexPath::forRow(3, 0)), 80);
    ASSERT_NE(composer->upDownBt(), nullptr);
    EXPECT_EQ(composer->upDownBt()->imageForState(ControlStateNormal), Image::imageNamed("listdown"));
    EXPECT_EQ(composer->classesView()->subviews().size(), 2u);
    composer->upAndDown();
    table->cellForRowAtIndexPath(IndexPath::forRow(3, 0));
    EXPECT_EQ(composer->heightForRowAtIndexPath(*table, IndexPath::forRow(3, 0)), 110);
    EXPECT_EQ(composer->classesView()->subviews().size(), 3u);
    EXPECT_EQ(composer->upDownBt()->imageForState(ControlStateNormal), Image::imageNamed("listup"));
    // Deleting the middle chip leaves two classes, 80 high, no expand button.
    composer->deleteReceiver(1);
    composer->cancelBtnClick();
    table->cellForRowAtIndexPath(IndexPath::forRow(3, 0));
    EXPECT_EQ(composer->classArray().size(), 2u);
    EXPECT_EQ(textOf(composer->classArray()[1], "id"), "13");
    EXPECT_EQ(composer->heightForRowAtIndexPath(*table, IndexPath::forRow(3, 0)), 80);
    EXPECT_EQ(composer->upDownBt(), nullptr);
}

TEST_F(CourseComposerTest, ChecksRunInOrderAndAFiftyUnitTitleIsSentWhereFiftyOneIsRefused) {
    auto composer = openComposer();
    composer->sendBtnClicked(composer->publishButton.get());
    EXPECT_EQ(lastAlert(), "请选择课程后提交");
    choose(*composer, false);
    composer->sendBtnClicked(composer->publishButton.get());
    EXPECT_EQ(lastAlert(), "请选择班级后提交");
    choose(*composer);
    composer->sendBtnClicked(composer->publishButton.get());
    EXPECT_EQ(lastAlert(), "请输入内容后提交");
    composer->mytextView->setText("今天的作业");
    composer->sendBtnClicked(composer->publishButton.get());
    EXPECT_EQ(lastAlert(), "请输入标题后提交");
    composer->titletField()->setText(std::string(49, 'a') + "题");  // 50 UTF-16 units
    std::string fiftyOne = composer->titletField()->text() + "x";
    composer->titletField()->setText(fiftyOne);
    composer->sendBtnClicked(composer->publishButton.get());
    EXPECT_EQ(lastAlert(), "标题不能超过50个字");

    int published = 0;
    auto token = NotificationCenter::defaultCenter().addObserver("publishNewHM", [&](const Notification&) { ++published; });
    composer->titletField()->setText(std::string(49, 'a') + "题");
    composer->sendBtnClicked(composer->publishButton.get());
    ASSERT_TRUE(pumpUntil([&] { return published == 1; }));
    auto sent = service().lastRequest("/services/norvo/course/homework/3/publish");
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(partText(*sent, "title"), std::string(49, 'a') + "题");
    EXPECT_EQ(partText(*sent, "content"), "今天的作业");
    EXPECT_EQ(partText(*sent, "classes"), "11,12");
    EXPECT_EQ(partText(*sent, "amr"), "(none)");
}

TEST_F(CourseComposerTest, ARefusedPublishKeepsEverythingAndASendRightAfterATakeWaitsAndSendsOnce) {
    auto composer = openComposer();
    choose(*composer);
    composer->titletField()->setText("朗读");
    service().setReply("POST", "/services/norvo/course/homework/3/publish", Reply::text("0"));
    composer->mytextView->setText("读课文");
    composer->sendBtnClicked(composer->publishButton.get());
    ASSERT_TRUE(pumpUntil([] {
        auto alert = AlertView::topAlert();
        return alert && alert->message() == "保存失败,请重新发送";
    }));
    EXPECT_TRUE(composer->publishButton->isEnabled());
    EXPECT_EQ(composer->titletField()->text(), "朗读");
    EXPECT_EQ(composer->classArray().size(), 2u);
    AlertView::clearVisible();
    service().clearReplies();

    // A take whose conversion has not ended: the send waits under its overlay.
    const Point button = driver->centerOf(*composer->vedioImageView);
    const int finger = driver->beginTouch(button);
    driver->advance(1.2);
    driver->endTouch(finger);
    ASSERT_FALSE(composer->vedioPath.empty());
    pumpUntil([&] { return composer->audioRecord->isWavToAmrCompleted(); });
    BackgroundQueue::shared().waitIdle();
    composer->audioRecord->setIsWavToAmrCompleted(false);
    const auto before = requestsTo("course/homework/3/publish").size();
    composer->sendBtnClicked(composer->publishButton.get());
    driver->pump();
    EXPECT_FALSE(composer->complete);
    EXPECT_FALSE(composer->publishButton->isEnabled());
    EXPECT_EQ(requestsTo("course/homework/3/publish").size(), before);
    composer->audioRecord->setIsWavToAmrCompleted(true);
    composer->wavToAmrComplete();
    composer->wavToAmrComplete();
    ASSERT_TRUE(pumpUntil([&] { return requestsTo("course/homework/3/publish").size() == before + 1; }));
    settle();
    EXPECT_EQ(requestsTo("course/homework/3/publish").size(), before + 1);
    const auto sent = requestsTo("course/homework/3/publish").back();
    EXPECT_NE(partText(sent, "amr"), "(none)");
    EXPECT_NE(partText(sent, "duration"), "(none)");
}

TEST_F(CourseComposerTest, BackDismissesAtOnceWithOnlyASubjectAndAsksOtherwise) {
    auto composer = openComposer();
    composer->showLists(MVTAddHWViewController::kSubjectButtonTag);
    navigation->popToRootViewController(false);
    composer->returnList(Json::array({{{"id", 3}, {"name", "语文"}}}), nullptr);
    EXPECT_EQ(AlertView::topAlert(), nullptr);
    composer->titletField()->setText("t");
    composer->goback();
    ASSERT_NE(AlertView::topAlert(), nullptr);
    EXPECT_EQ(AlertView::topAlert()->message(), "放弃此次编辑?");
}

}  // namespace
