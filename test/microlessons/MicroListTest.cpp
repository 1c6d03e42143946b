// The lesson lists against the sample service: the school list's pages and search in the
// path, the open list's form fields and late first load, the network question before a
// lesson opens and the checks of a picked video.
#include "homework/HomeworkFixture.h"

#include "microlessons/MVTMicroLessonList.h"
#include "microlessons/MVTMicroOpenList.h"
#include "core/MVTPublicMethod.h"
#include "shell/myTableView.h"

#include "platform/Reachability.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"

using namespace testing_support;
using platform::Json;

namespace {

struct OpenedLesson {
    Json movieDic, aboutArray;
    std::string kind;
};

class MicroListTest : public HomeworkTest {
protected:
    void SetUp() override {
        HomeworkTest::SetUp();
        opened.clear();
        MVTMicroLessonViewController::setDetailOpener(
            [this](MVTMicroLessonViewController&, const Json& movie, const Json& about, const std::string& kind) {
                opened.push_back({movie, about, kind});
            });
    }
    void TearDown() override {
        MVTMicroLessonViewController::setDetailOpener(nullptr);
        HomeworkTest::TearDown();
    }

    std::string schoolPath() const { return "courseMicro/" + MVTAccount::sharedInstance().userId().value_or("") + "/list"; }

    std::shared_ptr<MVTMicroLessonViewController> openList(const std::string& role = "student") {
        signIn(role);
        auto list = showRoot(std::make_shared<MVTMicroLessonViewController>());
        EXPECT_TRUE(waitForRequests(schoolPath(), 1, list->view()));
        driver->pump();
        return list;
    }

    // n open lessons, numbered from `first`.
    static Json openLessons(int n, int first = 1) {
        Json lessons = Json::array();
        for (int i = first; i < first + n; ++i) {
            const std::string number = std::to_string(i);
            lessons.push_back({{"id", number}, {"resourceId", "881001"}, {"resourceName", homework::fill("开放微课%@", {number})},
                               {"name", "张老师"}, {"schoolName", "实验小学"}, {"views", i}});
        }
        return lessons;
    }
    void serveOpen(Json reply) {
        service().route("POST", "services/norvo/global/micro/resource/list",
                        [reply](const sample_service::RecordedRequest&) { return sample_service::Reply::json(reply); });
    }

    std::vector<OpenedLesson> opened;
};

TEST_F(MicroListTest, SchoolPagesOfFifteenCoursesThenTheEnd) {
    auto list = openList();
    ASSERT_EQ(list->dataArr().size(), 15u);
    auto first = requestsTo(schoolPath()).back();
    EXPECT_EQ(first.queryValue("page"), "1");
    EXPECT_EQ(first.queryValue("limit"), "15");
    EXPECT_EQ(list->moreBtn()->currentTitle(), "点击加载更多");
    EXPECT_TRUE(list->moreBtn()->isEnabled());
    EXPECT_GE(markUpsides, 1);
    EXPECT_FALSE(MVTAccount::sharedInstance().newMicro());

    const int marksBefore = markUpsides;
    list->toGetMoreCourseData();
    ASSERT_TRUE(waitForRequests(schoolPath(), 2, list->view()));
    EXPECT_EQ(requestsTo(schoolPath()).back().queryValue("page"), "2");
    EXPECT_EQ(list->dataArr().size(), 18u);
    EXPECT_EQ(list->moreBtn()->currentTitle(), "已加载全部");
    EXPECT_FALSE(list->moreBtn()->isEnabled());
    // Every successful reply marks the tab bar, paging included.
    EXPECT_EQ(markUpsides, marksBefore + 1);

    // A refresh keeps the rows until page 1 arrives, then holds only it.
    list->reloadTableViewDataSource();
    EXPECT_EQ(list->dataArr().size(), 18u);
    ASSERT_TRUE(waitForRequests(schoolPath(), 3, list->view()));
    EXPECT_EQ(list->dataArr().size(), 15u);
    EXPECT_FALSE(list->reloading());
}

TEST_F(MicroListTest, SchoolFootersByReplySizeAndFailure) {
    struct Case {
        Json reply;
        int status;
        const char* title;
        bool enabled;
        const char* text = nullptr;  // a body that is no JSON, sent instead of `reply`
    };
    Json fifteen = Json::array(), fourteen = Json::array();
    for (int i = 0; i < 15; ++i) fifteen.push_back({{"courseName", homework::fill("课%@", {std::to_string(i)})}, {"resList", Json::array()}});
    fourteen = fifteen;
    fourteen.erase(fourteen.size() - 1);
    const std::vector<Case> cases = {
        {fifteen, 200, "点击加载更多", true},   {fourteen, 200, "已加载全部", false},
        {Json::array(), 200, "没有相关内容", false}, {Json::object(), 200, "已加载全部", false},
        {Json(nullptr), 500, "点击加载更多", true},
        // Records that are no courses still count; a body that is no JSON fails like a
        // failed request, to be asked again.
        {Json::array({nullptr, 1, "x"}), 200, "已加载全部", false},
        {Json(nullptr), 200, "点击加载更多", true, "<html>oops</html>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.dump());
        service().route("GET", "services/norvo/courseMicro/%@/list", [c](const sample_service::RecordedRequest&) {
            if (c.text) return sample_service::Reply::text(c.text, "text/html", c.status);
            return c.status == 200 ? sample_service::Reply::json(c.reply)
                                   : sample_service::Reply::text("oops", "text/plain", c.status);
        });
        auto list = openList();
        EXPECT_EQ(list->moreBtn()->currentTitle(), c.title);
        EXPECT_EQ(list->moreBtn()->isEnabled(), c.enabled);
        service().clearRequests();
    }
}

TEST_F(MicroListTest, SchoolSearchTravelsEscapedInThePath) {
    auto list = openList();
    const std::size_t before = requestsTo(schoolPath()).size();
    // Cancelling without a search asks nothing.
    list->searchBarTextDidBeginEditing(*list->searchBar());
    ASSERT_TRUE(list->cancelButton());
    list->cancelSearchBar();
    driver->pump();
    EXPECT_EQ(requestsTo(schoolPath()).size(), before);

    for (const std::string text : {"", "静夜思"}) {
        list->searchBar()->setText(text);
        list->searchBarSearchButtonClicked(*list->searchBar());
        ASSERT_TRUE(waitForRequests(schoolPath(), before + (text.empty() ? 1 : 2), list->view()));
        auto request = requestsTo(schoolPath()).back();
        const std::string escaped = MVTPublicMethod::encodeURLWhenChinese(text);
        EXPECT_NE(request.target.find("?searchParam=" + escaped), std::string::npos) << request.target;
        EXPECT_EQ(request.queryValue("page"), "1");
    }
    // The service reads the escaped text back: only courses with such a lesson, and only
    // those lessons, come back.
    driver->pump();
    ASSERT_FALSE(list->dataArr().empty());
    EXPECT_LT(list->dataArr().size(), 15u);
    for (const auto& course : list->dataArr()) {
        ASSERT_FALSE(course["resList"].empty());
        for (const auto& lesson : course["resList"])
            EXPECT_NE(lesson["resourceName"].get<std::string>().find("静夜思"), std::string::npos);
    }
    list->cancelSearchBar();
    ASSERT_TRUE(waitForRequests(schoolPath(), before + 3, list->view()));
    EXPECT_EQ(requestsTo(schoolPath()).back().target.find("searchParam"), std::string::npos);
    EXPECT_FALSE(list->ishaveSearch());
}

TEST_F(MicroListTest, OpenListLoadsOnFirstShowOnlyAndSendsRawFields) {
    serveOpen(openLessons(15));
    auto list = openList();
    EXPECT_TRUE(requestsTo("global/micro/resource/list").empty());
    auto open = list->openMicroViewController();
    list->recommendButtonClick(MVTMicroLessonViewController::kOpenSegmentTag);
    ASSERT_TRUE(waitForRequests("global/micro/resource/list", 1, open->view()));
    driver->pump();
    EXPECT_FALSE(list->showsSchoolSegment());
    EXPECT_EQ(open->dataArr().size(), 15u);
    EXPECT_EQ(open->moreBtn()->currentTitle(), "点击加载更多");
    auto first = requestsTo("global/micro/resource/list").back();
    EXPECT_EQ(first.method, "POST");
    EXPECT_EQ(first.formValue("page"), "1");
    EXPECT_EQ(first.formValue("limit"), "15");

    list->recommendButtonClick(MVTMicroLessonViewController::kSchoolSegmentTag);
    list->recommendButtonClick(MVTMicroLessonViewController::kOpenSegmentTag);
    driver->pump();
    EXPECT_EQ(requestsTo("global/micro/resource/list").size(), 1u);

    // A filter while the open segment shows changes only the open list.
    serveOpen(openLessons(14));
    list->getLevel(Json(), {{"subjectId", "2"}, {"subjectName", "数学"}}, {{"id", "7"}, {"tagName", "古诗词"}});
    advance(microlists::kFilterDelay);
    ASSERT_TRUE(waitForRequests("global/micro/resource/list", 2, open->view()));
    EXPECT_TRUE(list->teacherDic().is_null());
    EXPECT_TRUE(list->myheadView() == nullptr || list->mytableview()->tableHeaderView() == nullptr);
    auto filtered = requestsTo("global/micro/resource/list").back();
    EXPECT_EQ(filtered.formValue("tagId"), "7");
    EXPECT_EQ(filtered.formValue("subjectId"), "2");
    EXPECT_EQ(open->moreBtn()->currentTitle(), "已加载全部");

    open->searchBar()->setText("古诗 词");
    open->searchBarSearchButtonClicked(*open->searchBar());
    ASSERT_TRUE(waitForRequests("global/micro/resource/list", 3, open->view()));
    EXPECT_EQ(requestsTo("global/micro/resource/list").back().formValue("searchParam"), "古诗 词");
}

TEST_F(MicroListTest, OpenRowTextsFillWhatTheRecordLacks) {
    const Json full = {{"resourceName", "课"}, {"name", "张"}, {"schoolName", "一小"}, {"views", 12}};
    const Json bare = {{"resourceName", nullptr}};
    EXPECT_EQ(MVTOpenMicroViewController::viewsText(full), "浏览量: 12");
    EXPECT_EQ(MVTOpenMicroViewController::viewsText(bare), "浏览量: 0");
    EXPECT_EQ(MVTOpenMicroViewController::schoolText(full), "一小");
    EXPECT_EQ(MVTOpenMicroViewController::schoolText(bare), "未知");
    EXPECT_EQ(MVTOpenMicroViewController::titleText(bare), "未知");
    EXPECT_EQ(MVTOpenMicroViewController::authorText(bare), "未知");
}

TEST_F(MicroListTest, NetworkTypeDecidesHowALessonOpens) {
    auto list = openList();
    const Json lessons = openLessons(3);
    using platform::Reachability;
    using platform::ReachabilityState;

    Reachability::setOverride(ReachabilityState::viaWifi());
    list->showMicroLesson(lessons, 2, "micro");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].movieDic, lessons[2]);
    EXPECT_EQ(opened[0].aboutArray, lessons);
    EXPECT_EQ(opened[0].kind, "micro");

    Reachability::setOverride(ReachabilityState::offline());
    list->showMicroLesson(lessons, 0, "micro");
    ASSERT_TRUE(list->lastAlert());
    EXPECT_EQ(list->lastAlert()->message(), "您现在的网络连接异常,无法访问视频资源");
    EXPECT_EQ(opened.size(), 1u);

    // On a mobile network the confirmed lesson keeps its list and kind, so an open lesson
    // stays an open lesson.
    Reachability::setOverride(ReachabilityState::viaCellular());
    list->showMicroLesson(Json::array({lessons[1]}), 0, "global_micro");
    auto alert = list->lastAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->tag(), MVTMicroLessonViewController::kMobileListAlertTag);
    list->alertViewClickedButtonAtIndex(*alert, 0);
    EXPECT_EQ(opened.size(), 1u);
    list->alertViewClickedButtonAtIndex(*alert, 1);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].movieDic, lessons[1]);
    EXPECT_EQ(opened[1].kind, "global_micro");

    // A single record (from a search screen) opens alone.
    list->showMicroLesson(lessons[0]);
    ASSERT_EQ(list->lastAlert()->tag(), MVTMicroLessonViewController::kMobileSingleAlertTag);
    list->alertViewClickedButtonAtIndex(*list->lastAlert(), 1);
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_TRUE(opened[2].aboutArray.is_null());
    EXPECT_EQ(opened[2].kind, "");
}

TEST_F(MicroListTest, LessonRowLaysOutThumbnailsAndReportsTheTappedOne) {
    struct Recorder : microLessonDelegate {
        Json lessons;
        int index = -1;
        std::string kind;
        void showMicroLesson(const Json& l, int i, const std::string& k) override {
            lessons = l;
            index = i;
            kind = k;
        }
    };
    auto recorder = std::make_shared<Recorder>();
    const Json lessons = Json::array({{{"resourceId", "1"}, {"resourceName", nullptr}},
                                      {{"resourceId", "2"}, {"resourceName", "一个很长很长很长很长很长的微课标题"}},
                                      {{"resourceId", "3"}, {"resourceName", "短"}}});
    auto cell = MVTMicroLessonCell::make("microLessonCell");
    cell->setDelegate(recorder);
    cell->reuseCellWithArray(lessons);
    EXPECT_DOUBLE_EQ(cell->strip()->contentSize().width, 163 * 3 + 15);
    std::vector<std::shared_ptr<platform::Label>> titles;
    for (const auto& sub : cell->strip()->subviews())
        if (auto label = std::dynamic_pointer_cast<platform::Label>(sub)) titles.push_back(label);
    ASSERT_EQ(titles.size(), 3u);
    EXPECT_EQ(titles[0]->text(), "");
    EXPECT_DOUBLE_EQ(titles[1]->frame().height(), 40);
    EXPECT_DOUBLE_EQ(titles[2]->frame().height(), 20);
    EXPECT_DOUBLE_EQ(titles[2]->frame().x(), 10 + 163 * 2);

    auto third = cell->strip()->viewWithTag(int(MVTMicroLessonCell::kThumbnailTagBase) + 2);
    ASSERT_TRUE(third);
    auto button = std::dynamic_pointer_cast<platform::Button>(third->viewWithTag(2));
    ASSERT_TRUE(button);
    button->sendActionsForControlEvents(platform::ControlEventTouchUpInside);
    EXPECT_EQ(recorder->index, 2);
    EXPECT_EQ(recorder->lessons, lessons);
    EXPECT_EQ(recorder->kind, "micro");

    // A reused row is emptied and starts at its first lesson.
    cell->strip()->setContentOffset({200, 0});
    cell->cleanView();
    cell->reuseCellWithArray(Json::array());
    EXPECT_DOUBLE_EQ(cell->strip()->contentSize().width, 15);
    EXPECT_DOUBLE_EQ(cell->strip()->contentOffset().x, 0);
    EXPECT_FALSE(cell->strip()->viewWithTag(int(MVTMicroLessonCell::kThumbnailTagBase)));
}

TEST(MicroVideoCheck, SizeAndExtension) {
    struct Case {
        const char* name;
        std::int64_t bytes;
        const char* refusal;
    };
    const Case cases[] = {
        {"clip.mov", 1073741824, ""},
        {"clip.mov", 1073741825, "视频大于1G，暂不支持上传"},
        {"clip.MOV", 10, ""},
        {"a.b.Mp4", 10, ""},
        {"clip.avi", 10, "暂不支持mov、mp4格式外视频上传"},
        {"mov", 10, ""},
        {"clip", 10, "暂不支持mov、mp4格式外视频上传"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MVTMicroLessonViewController::refusalOfVideo(c.name, c.bytes), c.refusal) << c.name << " " << c.bytes;
}

}  // namespace
