// School search by pages of 20, as a picker for registration and to join a school at
// sign-in, against the sample service.
#include "shell/DelegateFixture.h"

#include "account/MVTInterClassViewController.h"
#include "account/MVTSearchSchoolViewController.h"
#include "shell/InternationalControl.h"
#include "shell/ViewViewController.h"
#include "shell/myNavigationController.h"

#include "platform/Reachability.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/UiDriver.h"

#include <algorithm>

using namespace platform;
using Json = nlohmann::json;
using sample_service::Reply;

namespace {

constexpr const char* kSearchPath = "/services/norvo/school/search";

// What registration would be told.
class SpySchoolDelegate : public MVTSearchSchoolDelegate {
public:
    void didSelectedSchoolWith(const Json& school) override { chosen.push_back(school); }
    std::vector<Json> chosen;
};

Json schools(int count, int firstId) {
    Json list = Json::array();
    for (int i = 0; i < count; ++i)
        list.push_back({{"id", std::to_string(firstId + i)}, {"name", "学校" + std::to_string(firstId + i)}});
    return list;
}

class SchoolSearchTest : public testing_support::DelegateTest {
protected:
    void SetUp() override {
        DelegateTest::SetUp();
        InternationalControl::setUserlanguage("zh-Hans", false);
    }
    void TearDown() override {
        Reachability::setOverride(ReachabilityState::viaWifi());
        driver_.reset();
        DelegateTest::TearDown();
    }

    // The screen pushed over a plain screen of its own window, as registration pushes it.
    void openAsPicker() {
        driver_ = std::make_unique<UiDriver>();
        opener_ = std::make_shared<ViewViewController>();
        navigation_ = myNavigationController::withRoot(opener_);
        driver_->show(navigation_);
        spy_ = std::make_shared<SpySchoolDelegate>();
        screen_ = std::make_shared<MVTSearchSchoolViewController>();
        screen_->setIsRegistering(true);
        screen_->setDelegate(spy_);
        navigation_->pushViewController(screen_, false);
        driver_->settle();
    }

    std::vector<sample_service::RecordedRequest> searches() {
        std::vector<sample_service::RecordedRequest> found;
        for (const auto& r : service().requests())
            if (r.path == kSearchPath) found.push_back(r);
        return found;
    }
    bool waiting() {
        auto hud = ProgressHUD::HUDForView(screen_->view());
        return hud && hud->isShowing();
    }
    // Waits until a search sent after `before` searches has been answered.
    bool waitForReply(size_t before) {
        return pumpUntil([&] { return searches().size() > before && !waiting(); });
    }
    // Types the text and presses the search key; waits for the reply to be shown.
    void search(const std::string& text) {
        auto field = screen_->searchField();
        field->becomeFirstResponder();
        field->setText(text);
        const size_t before = searches().size();
        screen_->textFieldShouldReturn(*field);
        ASSERT_TRUE(waitForReply(before));
        driver_->settle();
    }
    // Scrolls the list to its end, where the footer is.
    void scrollToFooter() {
        auto table = screen_->searchTable();
        table->layoutIfNeeded();
        table->setContentOffset({0, std::max(0.0, table->contentSize().height - table->bounds().height())});
        driver_->pump();
    }
    void tapMore() {
        const size_t before = searches().size();
        scrollToFooter();
        ASSERT_TRUE(driver_->tap(screen_->moreBtn()));
        ASSERT_TRUE(waitForReply(before));
        driver_->settle();
    }
    std::string footer() const { return screen_->moreBtn()->currentTitle(); }
    bool footerEnabled() const { return screen_->moreBtn()->isEnabled(); }
    // Taps the row and answers the confirmation with `button` (0 "确定", 1 "取消").
    void chooseRow(int row, long button) {
        auto table = screen_->searchTable();
        table->scrollRectToVisible(table->rectForRowAtIndexPath(IndexPath::forRow(row, 0)), false);
        driver_->settle();
        auto cell = table->cellForRowAtIndexPath(IndexPath::forRow(row, 0));
        ASSERT_NE(cell, nullptr);
        ASSERT_TRUE(driver_->tap(cell));
        auto alert = driver_->alert();
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->tag(), 10086);
        EXPECT_EQ(alert->title(), "");
        EXPECT_EQ(alert->message(), "确定加入【" + textOf(screen_->resultArr().at(row), "name") + "】？");
        ASSERT_EQ(alert->numberOfButtons(), 2);
        EXPECT_EQ(alert->buttonTitleAtIndex(0), "确定");
        EXPECT_EQ(alert->buttonTitleAtIndex(1), "取消");
        ASSERT_TRUE(driver_->pressAlertButton(button));
        driver_->pump();
    }

    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<ViewViewController> opener_;
    std::shared_ptr<myNavigationController> navigation_;
    std::shared_ptr<SpySchoolDelegate> spy_;
    std::shared_ptr<MVTSearchSchoolViewController> screen_;
};

TEST_F(SchoolSearchTest, OpensWithAHiddenTableAndFocusesTheFieldAfterAMoment) {
    openAsPicker();
    EXPECT_EQ(screen_->title(), "加入学校");
    EXPECT_TRUE(screen_->searchTable()->isHidden());
    EXPECT_FALSE(screen_->moreBtn()->isEnabled());
    EXPECT_EQ(footer(), "");
    EXPECT_EQ(screen_->searchField()->placeholder(), "输入文字（支持模糊查询）");
    EXPECT_NE(driver_->byText("注:请输入学校名称或首字母支持模糊查询。"), nullptr);
    EXPECT_EQ(searches().size(), 0u);
    // settle() moved the clock by a second: the field has the keyboard.
    EXPECT_TRUE(screen_->searchField()->isFirstResponder());
}

TEST_F(SchoolSearchTest, PagesOfTwentyFollowOneAnotherThroughTheFooter) {
    openAsPicker();
    search("实验");
    auto first = searches().back();
    EXPECT_EQ(first.method, "POST");
    EXPECT_EQ(first.formValue("query"), "实验");
    EXPECT_EQ(first.formValue("pageNum"), "1");
    EXPECT_EQ(first.formValue("limit"), "20");
    EXPECT_FALSE(screen_->searchTable()->isHidden());
    EXPECT_EQ(screen_->resultArr().size(), 20u);
    EXPECT_EQ(screen_->searchTable()->numberOfRowsInSection(0), 20);
    EXPECT_EQ(footer(), "点击加载更多");
    EXPECT_TRUE(footerEnabled());
    EXPECT_EQ(screen_->nowPage(), 2);

    tapMore();
    EXPECT_EQ(searches().back().formValue("pageNum"), "2");
    EXPECT_EQ(searches().back().formValue("query"), "实验");
    // The sample service knows 23 schools with "实验" in their names.
    ASSERT_EQ(screen_->resultArr().size(), 23u);
    EXPECT_EQ(textOf(screen_->resultArr().at(0), "name"), "青禾实验小学");
    EXPECT_EQ(textOf(screen_->resultArr().at(20), "name"), "银杏实验小学");
    EXPECT_EQ(footer(), "已加载全部");
    EXPECT_FALSE(footerEnabled());
    // A disabled footer sends nothing.
    const size_t sent = searches().size();
    scrollToFooter();
    driver_->tap(screen_->moreBtn());
    driver_->settle();
    EXPECT_EQ(searches().size(), sent);
}

TEST_F(SchoolSearchTest, TheFooterTellsNothingFoundOnlyWhenTheSearchFoundNothingAtAll) {
    openAsPicker();
    // Initials find schools as well; no school matches "zzz".
    search("zzz");
    EXPECT_EQ(footer(), "没有相关内容");
    EXPECT_FALSE(footerEnabled());
    EXPECT_FALSE(screen_->searchTable()->isHidden());
    EXPECT_EQ(screen_->searchTable()->numberOfRowsInSection(0), 0);

    // 20 found, then an empty page: everything was loaded.
    service().route("POST", "services/norvo/school/search", [](const sample_service::RecordedRequest& request) {
        return Reply::json(request.formValue("pageNum") == "1" ? schools(20, 100) : Json::array());
    });
    search("任意");
    EXPECT_EQ(footer(), "点击加载更多");
    tapMore();
    EXPECT_EQ(footer(), "已加载全部");
    EXPECT_FALSE(footerEnabled());
    EXPECT_EQ(screen_->resultArr().size(), 20u);
    EXPECT_EQ(screen_->nowPage(), 3);
}

TEST_F(SchoolSearchTest, TheSearchKeyStartsAgainAtPageOneAndAnEmptyFieldIsSearchedToo) {
    openAsPicker();
    search("实验");
    tapMore();
    search("");
    EXPECT_EQ(searches().back().formValue("query"), "");
    EXPECT_EQ(searches().back().formValue("pageNum"), "1");
    EXPECT_EQ(screen_->resultArr().size(), 20u);
    EXPECT_EQ(screen_->nowPage(), 2);
    search("qhsy");
    ASSERT_EQ(screen_->resultArr().size(), 2u);
    EXPECT_EQ(textOf(screen_->resultArr().at(1), "name"), "青禾实验中学");
    EXPECT_EQ(footer(), "已加载全部");
}

TEST_F(SchoolSearchTest, CancelEmptiesFieldAndListAndTheNextSearchStartsAtPageOne) {
    openAsPicker();
    search("实验");
    tapMore();
    ASSERT_TRUE(driver_->tapText("取消"));
    EXPECT_EQ(screen_->searchField()->text(), "");
    EXPECT_TRUE(screen_->resultArr().empty());
    EXPECT_TRUE(screen_->searchTable()->isHidden());
    EXPECT_FALSE(screen_->searchField()->isFirstResponder());
    search("东城");
    EXPECT_EQ(searches().back().formValue("pageNum"), "1");
    EXPECT_EQ(screen_->resultArr().size(), 2u);
}

TEST_F(SchoolSearchTest, AFailedPageIsAskedForAgainByTheFooter) {
    openAsPicker();
    search("实验");
    service().setReply("POST", "services/norvo/school/search", Reply::json({{"error", "busy"}}, 500));
    scrollToFooter();
    ASSERT_TRUE(driver_->tap(screen_->moreBtn()));
    ASSERT_TRUE(waitForReply(1));
    driver_->settle();
    EXPECT_EQ(screen_->nowPage(), 2);
    EXPECT_EQ(screen_->resultArr().size(), 20u);
    EXPECT_EQ(footer(), "点击加载更多");

    service().clearReplies();
    tapMore();
    EXPECT_EQ(searches().back().formValue("pageNum"), "2");
    EXPECT_EQ(screen_->resultArr().size(), 23u);
}

TEST_F(SchoolSearchTest, OfflineTheSearchShowsTheBannerAndSendsNothing) {
    openAsPicker();
    Reachability::setOverride(ReachabilityState::offline());
    screen_->searchField()->setText("实验");
    screen_->textFieldShouldReturn(*screen_->searchField());
    EXPECT_EQ(bannerText(), localized("没有网络,请检查网络连接"));
    driver_->settle();
    EXPECT_TRUE(searches().empty());
    EXPECT_TRUE(screen_->searchTable()->isHidden());
}

TEST_F(SchoolSearchTest, PickerModeHandsTheChosenSchoolBackAndSendsNothing) {
    openAsPicker();
    search("东城");
    const size_t sent = service().requestCount();

    chooseRow(1, 1);  // "取消" keeps the screen.
    EXPECT_TRUE(spy_->chosen.empty());
    EXPECT_EQ(navigation_->topViewController(), screen_);

    chooseRow(1, 0);
    ASSERT_EQ(spy_->chosen.size(), 1u);
    EXPECT_EQ(spy_->chosen[0], Json({{"id", "25"}, {"name", "东城第一中学"}}));
    driver_->settle();
    EXPECT_EQ(navigation_->topViewController(), opener_);
    EXPECT_EQ(service().requestCount(), sent);
}

// Join mode: the newcomer (a student without a school) signs in, lands on the join screen
// and opens the search from there.
class SchoolJoinTest : public SchoolSearchTest {
protected:
    void signInNewcomerAndOpenSearch(const std::string& classIds = "") {
        launch();
        driver_ = std::make_unique<UiDriver>(app->window());
        app->login("newcomer", "newcomer123", false);
        ASSERT_TRUE(pumpUntil([&] {
            auto nav = std::dynamic_pointer_cast<NavigationController>(root());
            return nav && std::dynamic_pointer_cast<MVTInterClassViewController>(nav->topViewController());
        }));
        driver_->settle();
        if (!classIds.empty()) MVTAccount::sharedInstance().setClassId(classIds);
        auto nav = std::dynamic_pointer_cast<NavigationController>(root());
        screen_ = std::make_shared<MVTSearchSchoolViewController>();
        screen_->setIsLogining(true);
        nav->pushViewController(screen_, false);
        driver_->settle();
    }
    static Json savedUser() { return MVTtirraDataBase::selectSaveUserTableData(); }
};

TEST_F(SchoolJoinTest, ASuccessfulJoinStoresTheSchoolAndContinuesTheSignIn) {
    signInNewcomerAndOpenSearch("31");
    search("西城");
    ASSERT_EQ(screen_->resultArr().size(), 1u);
    chooseRow(0, 0);
    ASSERT_TRUE(waitForTabBar());
    const auto join = service().lastRequest("/services/norvo/2002/join/school/4");
    ASSERT_TRUE(join.has_value());
    EXPECT_EQ(join->method, "GET");

    MVTAccount& account = MVTAccount::sharedInstance();
    EXPECT_EQ(account.schoolId(), "4");
    EXPECT_EQ(account.classId(), "31");
    const Json row = savedUser();
    EXPECT_EQ(textOf(row, "schoolId"), "4");
    EXPECT_EQ(textOf(row, "classId"), "31");
    EXPECT_EQ(textOf(row, "userName"), "newcomer");
    EXPECT_EQ(textOf(row, "userPassword"), "newcomer123");
    EXPECT_EQ(textOf(row, "userId"), "2002");
    // The service keeps it: a later sign-in finds the school.
    EXPECT_EQ(service().data().userWithId("2002")->value("schoolId", ""), "4");
}

TEST_F(SchoolJoinTest, ASchoolThatApprovesFirstSignsOutAfterItsAlert) {
    signInNewcomerAndOpenSearch();
    search("明德");
    chooseRow(0, 0);
    ASSERT_TRUE(pumpUntil([&] { return driver_->alert() && driver_->alert()->tag() == 5337; }));
    auto alert = driver_->alert();
    EXPECT_EQ(alert->title(), "加入的学校正在审核");
    EXPECT_EQ(alert->message(), "");
    ASSERT_EQ(alert->numberOfButtons(), 1);
    EXPECT_EQ(MVTAccount::sharedInstance().schoolId().value_or(""), "");

    driver_->pressAlertButton(0);
    driver_->advance(0.5);
    EXPECT_EQ(rootAs<MVTLoginViewController>(), nullptr);
    driver_->advance(0.2);
    auto login = rootAs<MVTLoginViewController>();
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->jidField()->text(), "");
    EXPECT_EQ(service().data().userWithId("2002")->value("schoolId", ""), "");
}

TEST_F(SchoolJoinTest, AReplyWithNeitherApprovalNorSuccessIsToldAndChangesNothing) {
    struct Case {
        Json reply;
        std::string message;
    };
    const Case cases[] = {
        {{{"success", 0}, {"msg", "该学校已停止加入"}}, "该学校已停止加入"},
        {{{"success", 0}, {"message", "学校不存在"}}, "学校不存在"},
        {{{"success", 2}}, "加入学校失败,请重试"},
        {Json::object(), "加入学校失败,请重试"},
        {{{"approve", "0"}, {"success", "0"}}, "加入学校失败,请重试"},
    };
    signInNewcomerAndOpenSearch();
    search("西城");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.dump());
        service().setReply("GET", "services/norvo/2002/join/school/4", Reply::json(c.reply));
        chooseRow(0, 0);
        ASSERT_TRUE(pumpUntil([&] { return driver_->alert() != nullptr; }));
        EXPECT_EQ(driver_->alert()->message(), c.message);
        driver_->pressAlertButton(0);
        driver_->settle();
        EXPECT_EQ(MVTAccount::sharedInstance().schoolId().value_or(""), "");
        EXPECT_EQ(textOf(savedUser(), "schoolId"), "");
        EXPECT_EQ(std::dynamic_pointer_cast<NavigationController>(root())->topViewController(), screen_);
    }
}

TEST_F(SchoolJoinTest, AJoinThatGetsNoReplyOnlyHidesTheIndicator) {
    signInNewcomerAndOpenSearch();
    search("西城");
    service().setReply("GET", "services/norvo/2002/join/school/4", Reply::json({{"error", "x"}}, 500));
    chooseRow(0, 0);
    ASSERT_TRUE(pumpUntil([&] {
        auto hud = ProgressHUD::HUDForView(screen_->view());
        return service().lastRequest("/services/norvo/2002/join/school/4").has_value() && hud && !hud->isShowing();
    }));
    driver_->settle();
    EXPECT_EQ(driver_->alert(), nullptr);
    EXPECT_EQ(MVTAccount::sharedInstance().schoolId().value_or(""), "");
}

}  // namespace
