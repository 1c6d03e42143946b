// Joining a class by choosing its stage, grade and class, against the sample school.
#include "shell/DelegateFixture.h"

#include "account/MVTAddToClassBySelectViewController.h"
#include "shell/InternationalControl.h"
#include "shell/ViewViewController.h"
#include "shell/myNavigationController.h"

#include "platform/Reachability.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/Label.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/UiDriver.h"

using namespace platform;
using Json = nlohmann::json;
using sample_service::Reply;

namespace {

constexpr const char* kLevelPath = "services/norvo/1/level/list";

class JoinBySelectTest : public testing_support::DelegateTest {
protected:
    void SetUp() override {
        DelegateTest::SetUp();
        InternationalControl::setUserlanguage("zh-Hans", false);
        // The student of the sample school, in class 11.
        MVTAccount& account = MVTAccount::sharedInstance();
        account.setUserId("2001");
        account.setRole("student");
        account.setSchoolId("1");
        account.setClassId("11");
        driver_ = std::make_unique<UiDriver>();
        opener_ = std::make_shared<ViewViewController>();
        navigation_ = myNavigationController::withRoot(opener_);
        driver_->show(navigation_);
        screen_ = std::make_shared<MVTAddToClassBySelectViewController>();
        navigation_->pushViewController(screen_, false);
        driver_->settle();
    }
    void TearDown() override {
        Reachability::setOverride(ReachabilityState::viaWifi());
        driver_.reset();
        DelegateTest::TearDown();
    }

    std::string level() const { return screen_->lvlLabel()->text(); }
    std::string grade() const { return screen_->gradeLabel()->text(); }
    std::string klass() const { return screen_->classLabel()->text(); }
    size_t requestsTo(const std::string& suffix) {
        size_t n = 0;
        for (const auto& r : service().requests())
            if (r.path.size() >= suffix.size() && r.path.compare(r.path.size() - suffix.size(), suffix.size(), suffix) == 0)
                ++n;
        return n;
    }
    // Taps a row where its value label shows, as a finger would (the row's transparent
    // button over the label takes the touch).
    void tapRow(const std::shared_ptr<Label>& label) { ASSERT_TRUE(driver_->tapPoint(driver_->centerOf(*label))); }
    // ... and waits for the list the tap loads.
    void tapAndWait(const std::shared_ptr<Label>& label, const std::string& kind) {
        const size_t before = service().requestCount();
        tapRow(label);
        ASSERT_TRUE(pumpUntil([&] {
            auto hud = ProgressHUD::HUDForView(screen_->view());
            return service().requestCount() > before && screen_->currentSelect() == kind && (!hud || !hud->isShowing());
        }));
        // Lets the waiting indicator fade out; until then it takes the screen's touches.
        driver_->settle();
    }
    void pick(int row) {
        screen_->typePicker()->userSelectRow(row);
        driver_->pump();
    }
    // Stage 小学, grade 三年级, class 三年级二班 of the sample school.
    void chooseSampleClass12() {
        tapAndWait(screen_->lvlLabel(), "level");
        tapAndWait(screen_->gradeLabel(), "grade");
        pick(2);
        tapAndWait(screen_->classLabel(), "class");
        pick(1);
        ASSERT_EQ(screen_->classId(), "12");
    }
    std::string alertMessage() const {
        auto alert = driver_->alert();
        return alert ? alert->message() : std::string();
    }
    bool waitForAlert() {
        return pumpUntil([&] { return driver_->alert() != nullptr; });
    }

    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<ViewViewController> opener_;
    std::shared_ptr<myNavigationController> navigation_;
    std::shared_ptr<MVTAddToClassBySelectViewController> screen_;
};

TEST_F(JoinBySelectTest, OpensOnPlaceholdersAndSendsNothingUntilTheStageRowIsTapped) {
    EXPECT_EQ(level(), "点击选择学段");
    EXPECT_EQ(grade(), "点击选择年级");
    EXPECT_EQ(klass(), "点击选择班级");
    EXPECT_EQ(screen_->title(), "加入班级");
    EXPECT_EQ(screen_->typePicker()->superview(), nullptr);
    EXPECT_EQ(service().requestCount(), 0u);
    const auto& events = StatisticsKit::shared().pageEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), std::make_pair(std::string("begin"), std::string("加入班级")));
}

TEST_F(JoinBySelectTest, TheStageListTakesItsFirstStageAtOnceAndIsKeptForTheNextTap) {
    tapAndWait(screen_->lvlLabel(), "level");
    EXPECT_EQ(level(), "小学");
    EXPECT_EQ(screen_->levelId(), "1");
    EXPECT_EQ(screen_->typePicker()->superview(), screen_->view());
    EXPECT_EQ(screen_->typePicker()->frame(), Rect(0, 200, 320, 218));
    EXPECT_EQ(requestsTo("/1/level/list"), 1u);
    ASSERT_EQ(screen_->typePicker()->numberOfRowsInComponent(0), 2);

    pick(1);
    EXPECT_EQ(level(), "初中");
    tapRow(screen_->lvlLabel());
    driver_->settle();
    // The kept stages are shown again without a request, and the first one is taken.
    EXPECT_EQ(requestsTo("/1/level/list"), 1u);
    EXPECT_EQ(level(), "小学");
    EXPECT_EQ(screen_->levelId(), "1");
}

TEST_F(JoinBySelectTest, AChoiceOnAHigherLevelResetsTheLevelsBelowItAndTheSameChoiceKeepsThem) {
    chooseSampleClass12();
    EXPECT_EQ(level(), "小学");
    EXPECT_EQ(grade(), "三年级");
    EXPECT_EQ(klass(), "三年级二班");
    EXPECT_EQ(screen_->gradeId(), "103");
    EXPECT_EQ(service().lastRequest("/services/norvo/1/103/class/list").has_value(), true);

    // The same stage again (the kept list takes its first row, 小学) leaves grade and class.
    tapRow(screen_->lvlLabel());
    driver_->settle();
    EXPECT_EQ(grade(), "三年级");
    EXPECT_EQ(klass(), "三年级二班");
    EXPECT_EQ(screen_->classId(), "12");

    // A new grade clears the class only.
    tapAndWait(screen_->gradeLabel(), "grade");
    EXPECT_EQ(grade(), "一年级");
    EXPECT_EQ(screen_->gradeId(), "101");
    EXPECT_EQ(klass(), "点击选择班级");
    EXPECT_EQ(screen_->classId(), "");
    EXPECT_EQ(level(), "小学");

    // A new stage clears grade and class.
    tapRow(screen_->lvlLabel());
    driver_->settle();
    pick(1);
    EXPECT_EQ(level(), "初中");
    EXPECT_EQ(screen_->levelId(), "2");
    EXPECT_EQ(grade(), "点击选择年级");
    EXPECT_EQ(klass(), "点击选择班级");
    EXPECT_EQ(screen_->gradeId(), "");
    EXPECT_EQ(screen_->classId(), "");
}

TEST_F(JoinBySelectTest, LowerRowsAskForTheMissingLevelFirstAndSendNothing) {
    tapRow(screen_->gradeLabel());
    ASSERT_TRUE(waitForAlert());
    EXPECT_EQ(driver_->alert()->title(), "提示");
    EXPECT_EQ(alertMessage(), "点击选择学段");
    driver_->pressAlertButton(0);
    tapRow(screen_->classLabel());
    EXPECT_EQ(alertMessage(), "点击选择学段");
    driver_->pressAlertButton(0);
    EXPECT_EQ(service().requestCount(), 0u);

    tapAndWait(screen_->lvlLabel(), "level");
    tapRow(screen_->classLabel());
    EXPECT_EQ(alertMessage(), "点击选择年级");
    driver_->pressAlertButton(0);
    EXPECT_EQ(requestsTo("/class/list"), 0u);
}

TEST_F(JoinBySelectTest, AnEmptyGradeListLeavesThePlaceholderAndTheJoinIsRefusedAsIncomplete) {
    service().setReply("GET", "services/norvo/1/1/grade/list", Reply::json(Json::array()));
    tapAndWait(screen_->lvlLabel(), "level");
    tapAndWait(screen_->gradeLabel(), "grade");
    EXPECT_EQ(grade(), "点击选择年级");
    EXPECT_EQ(screen_->typePicker()->numberOfRowsInComponent(0), 0);
    screen_->addToClass();
    EXPECT_EQ(alertMessage(), "信息不完整,无法提交");
    EXPECT_EQ(requestsTo("/join/classid/"), 0u);
}

TEST_F(JoinBySelectTest, AFailedListKeepsThePickerRowsAndTheLabels) {
    tapAndWait(screen_->lvlLabel(), "level");
    service().setReply("GET", "services/norvo/1/1/grade/list", Reply::json({{"error", "busy"}}, 500));
    tapRow(screen_->gradeLabel());
    ASSERT_TRUE(waitForAlert());
    EXPECT_EQ(alertMessage(), "数据请求失败,请重试");
    driver_->pressAlertButton(0);
    EXPECT_EQ(level(), "小学");
    EXPECT_EQ(grade(), "点击选择年级");
    ASSERT_EQ(screen_->typePicker()->numberOfRowsInComponent(0), 2);
    // The rows still read as stages: picking one takes a stage, not a grade.
    EXPECT_EQ(screen_->currentSelect(), "level");
    EXPECT_EQ(screen_->titleForRow(*screen_->typePicker(), 1, 0), "初中");
    pick(1);
    EXPECT_EQ(level(), "初中");
    EXPECT_EQ(grade(), "点击选择年级");
}

TEST_F(JoinBySelectTest, IdsBeyondThirtyTwoBitsTravelWithAllTheirDigits) {
    service().setReply("GET", kLevelPath, Reply::json(Json::array({{{"id", 98765432109LL}, {"levelName", "高中"}}})));
    service().setReply("GET", "services/norvo/1/98765432109/grade/list",
                       Reply::json(Json::array({{{"id", 12345678901LL}, {"gradeName", "高一"}}})));
    service().setReply("GET", "services/norvo/98765432109/12345678901/class/list",
                       Reply::json(Json::array({{{"id", 10000000001LL}, {"className", "高一一班"}}})));
    service().setReply("GET", "services/norvo/2001/join/classid/10000000001", Reply::text("true"));
    tapAndWait(screen_->lvlLabel(), "level");
    EXPECT_EQ(screen_->levelId(), "98765432109");
    tapAndWait(screen_->gradeLabel(), "grade");
    tapAndWait(screen_->classLabel(), "class");
    EXPECT_EQ(screen_->classId(), "10000000001");
    screen_->addToClass();
    ASSERT_TRUE(waitForAlert());
    EXPECT_EQ(requestsTo("/2001/join/classid/10000000001"), 1u);
}

TEST_F(JoinBySelectTest, OnlyTheReplyTrueFilesTheApplicationAndEitherAnswerReturnsToTheJoinScreen) {
    struct Case {
        std::string reply;
        std::string message;
    };
    const Case cases[] = {
        {"true", "加入班级申请发送成功,请等待管理员审批"},
        {"false", "加入班级失败,请重试"},
        {"", "加入班级失败,请重试"},
        {"\"true\"", "加入班级失败,请重试"},
        {"{\"success\":1}", "加入班级失败,请重试"},
    };
    navigation_->popViewController(false);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        service().setReply("GET", "services/norvo/2001/join/classid/12", Reply::text(c.reply));
        screen_ = std::make_shared<MVTAddToClassBySelectViewController>();
        navigation_->pushViewController(screen_, false);
        driver_->settle();
        chooseSampleClass12();
        screen_->addToClass();
        ASSERT_TRUE(waitForAlert());
        auto alert = driver_->alert();
        EXPECT_EQ(alert->title(), "提示");
        EXPECT_EQ(alert->message(), c.message);
        EXPECT_EQ(alert->tag(), 888);
        ASSERT_TRUE(driver_->pressAlertButton(0));
        driver_->settle();
        EXPECT_EQ(navigation_->topViewController(), opener_);
        EXPECT_EQ(StatisticsKit::shared().pageEvents().back(),
                  std::make_pair(std::string("end"), std::string("加入班级")));
    }
    // Waiting for approval: the account is as it was.
    EXPECT_EQ(MVTAccount::sharedInstance().classId(), "11");
}

TEST_F(JoinBySelectTest, TheSampleServiceFilesTheApplicationWithoutChangingTheClasses) {
    chooseSampleClass12();
    screen_->addToClass();
    ASSERT_TRUE(waitForAlert());
    EXPECT_EQ(alertMessage(), "加入班级申请发送成功,请等待管理员审批");
    const auto request = service().lastRequest("/services/norvo/2001/join/classid/12");
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->method, "GET");
    EXPECT_TRUE(request->hasServiceCredentials());
    const auto user = service().data().userWithId("2001");
    ASSERT_TRUE(user.has_value());
    EXPECT_EQ(user->value("classIds", ""), "11");
    EXPECT_EQ(user->value("appliedClassIds", ""), "12");
}

TEST_F(JoinBySelectTest, ATransportFailureOfTheJoinKeepsTheScreen) {
    service().setReply("GET", "services/norvo/2001/join/classid/12", Reply::text("oops", "text/plain", 500));
    chooseSampleClass12();
    screen_->addToClass();
    ASSERT_TRUE(waitForAlert());
    EXPECT_EQ(alertMessage(), "加入班级失败,请重试");
    EXPECT_EQ(driver_->alert()->tag(), 0);
    driver_->pressAlertButton(0);
    driver_->settle();
    EXPECT_EQ(navigation_->topViewController(), screen_);
}

TEST_F(JoinBySelectTest, AClassIsAlreadyJoinedOnlyWhenAWholeIdMatches) {
    struct Case {
        std::string classIds;
        std::string classId;
        bool joined;
    };
    const Case cases[] = {
        {"11,12", "12", true}, {"12", "12", true},     {"7, 12 ", "12", true}, {"123,7", "12", false},
        {"112,120", "12", false}, {"1,2", "12", false}, {"", "12", false},      {"12", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MVTAddToClassBySelectViewController::classListContains(c.classIds, c.classId), c.joined)
            << "\"" << c.classIds << "\" / \"" << c.classId << "\"";

    // On the screen: class 12 with "123,7" goes to the service; with "11,12" it does not.
    MVTAccount::sharedInstance().setClassId("123,7");
    chooseSampleClass12();
    screen_->addToClass();
    ASSERT_TRUE(waitForAlert());
    EXPECT_EQ(alertMessage(), "加入班级申请发送成功,请等待管理员审批");
    EXPECT_EQ(requestsTo("/join/classid/12"), 1u);
    AlertView::clearVisible();

    MVTAccount::sharedInstance().setClassId("11,12");
    screen_->addToClass();
    EXPECT_EQ(alertMessage(), "已经加入该班级，请勿重复申请");
    driver_->settle();
    EXPECT_EQ(requestsTo("/join/classid/12"), 1u);
}

TEST_F(JoinBySelectTest, OfflineTheListsAndTheJoinShowTheBannerAndSendNothing) {
    chooseSampleClass12();
    Reachability::setOverride(ReachabilityState::offline());
    const size_t before = service().requestCount();
    tapRow(screen_->gradeLabel());
    EXPECT_EQ(bannerText(), localized("没有网络,请检查网络连接"));
    EXPECT_FALSE(ProgressHUD::HUDForView(screen_->view()) && ProgressHUD::HUDForView(screen_->view())->isShowing());
    driver_->advance(3);
    EXPECT_EQ(bannerText(), "");
    screen_->addToClass();
    EXPECT_EQ(bannerText(), localized("没有网络,请检查网络连接"));
    driver_->advance(3);
    EXPECT_EQ(service().requestCount(), before);
    EXPECT_EQ(grade(), "三年级");
    EXPECT_EQ(screen_->classId(), "12");
}

}  // namespace
