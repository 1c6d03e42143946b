// Joining a class by its class code: the join-a-class-first screen (as the sign-in root and
// opened from a screen's join-a-class alert) and the in-app join screen, against the
// sample service.
#include "shell/DelegateFixture.h"

#include "account/ClassCodeJoin.h"
#include "account/MVTAddToClassBySelectViewController.h"
#include "account/MVTAddToClassViewController.h"
#include "account/MVTInterClassViewController.h"
#include "account/MVTSearchSchoolViewController.h"
#include "shell/InternationalControl.h"
#include "shell/ViewViewController.h"
#include "shell/myNavigationController.h"

#include "platform/Reachability.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TextField.h"
#include "platform/ui/UiDriver.h"

using namespace platform;
using Json = nlohmann::json;
using sample_service::Reply;

namespace {

constexpr const char* kLookupPath = "services/norvo/1/classcode/8801/info";
constexpr const char* kJoinPath = "services/norvo/2001/json/join/classcode/8801";

class JoinClassTest : public testing_support::DelegateTest {
protected:
    void SetUp() override {
        DelegateTest::SetUp();
        InternationalControl::setUserlanguage("zh-Hans", false);
        launch();
        driver_ = std::make_unique<UiDriver>(Window::keyWindowRef());
        driver_->settle();
    }
    void TearDown() override {
        Reachability::setOverride(ReachabilityState::viaWifi());
        driver_.reset();
        DelegateTest::TearDown();
    }

    // A signed-in student of school `school` in the classes `classes`, saved as the user.
    static void signedInStudent(const std::string& school, const std::string& classes) {
        MVTAccount& account = MVTAccount::sharedInstance();
        account.setUserName("student");
        account.setPassword("student123");
        account.setName("李明");
        account.setUserId("2001");
        account.setRole("student");
        account.setSchoolId(school);
        account.setClassId(classes);
        class_code_join::rewriteSavedUser();
    }

    // A feature screen that raised the join-a-class alert, answered with "确定".
    std::shared_ptr<MVTInterClassViewController> openFromAlert() {
        opener_ = std::make_shared<ViewViewController>();
        app->window()->setRootViewController(myNavigationController::withRoot(opener_));
        driver_->settle();
        auto alert = MVTInterClassViewController::showJoinClassAlert({});
        alert->dismissWithClickedButtonIndex(0, false);
        EXPECT_TRUE(MVTInterClassViewController::answerJoinClassAlert(*opener_, *alert, 0));
        driver_->settle();
        return joinScreenPresented();
    }
    std::shared_ptr<MVTInterClassViewController> joinScreenPresented() const {
        auto navigation = std::dynamic_pointer_cast<NavigationController>(opener_->presentedViewController());
        if (!navigation || navigation->viewControllers().empty()) return nullptr;
        return std::dynamic_pointer_cast<MVTInterClassViewController>(navigation->viewControllers().front());
    }
    // The window's root as the sign-in leaves it for an account without a school.
    std::shared_ptr<MVTInterClassViewController> signInRoot() const {
        auto navigation = std::dynamic_pointer_cast<NavigationController>(root());
        if (!navigation || navigation->viewControllers().empty()) return nullptr;
        return std::dynamic_pointer_cast<MVTInterClassViewController>(navigation->viewControllers().front());
    }

    void typeCode(const std::shared_ptr<TextField>& field, const std::string& code) {
        ASSERT_TRUE(driver_->tap(field));
        driver_->type(code);
    }
    bool waitForAlert(const std::string& text) {
        return pumpUntil([&] {
            auto alert = driver_->alert();
            return alert && (alert->title() == text || alert->message() == text);
        });
    }
    size_t requestsTo(const std::string& path) const {
        size_t n = 0;
        for (const auto& r : service_->requests())
            if (r.path == "/" + path) ++n;
        return n;
    }
    static std::string savedClasses() { return MVTtirraDataBase::selectSaveUserTableData().value("classId", ""); }

    // Types the code, looks it up, confirms and waits for the join to be answered.
    void lookUpAndJoin(const std::shared_ptr<TextField>& field) {
        typeCode(field, "8801");
        ASSERT_TRUE(driver_->tapText("完成"));
        ASSERT_TRUE(waitForAlert("确定加入该班级？"));
        EXPECT_EQ(driver_->alert()->message(), "三年级五班");
        EXPECT_EQ(driver_->alert()->tag(), class_code_join::kConfirmAlertTag);
        ASSERT_TRUE(driver_->pressAlertButton(1));
        ASSERT_TRUE(pumpUntil([&] { return requestsTo(kJoinPath) == 1; }));
    }
    void answerLookup() {
        service().setReply("GET", kLookupPath, Reply::json({{"success", 1}, {"message", "三年级五班"}}));
    }

    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<ViewViewController> opener_;
};

TEST_F(JoinClassTest, TheJoinAlertAsksByRoleAndOnlyANonParentIsOfferedTheJoinScreen) {
    struct Case {
        const char* role;
        const char* message;
        long buttons;
        long answer;
        bool presents;
    };
    for (Case c : {Case{"parent", "您的孩子没有加入班级，请让孩子加入班级", 1, 0, false},
                   Case{"teacher", "请先加入班级，可以查看和分享更多精彩", 2, 0, true},
                   Case{"student", "请先加入班级，可以查看和分享更多精彩", 2, 1, false}}) {
        MVTAccount::sharedInstance().setRole(c.role);
        opener_ = std::make_shared<ViewViewController>();
        app->window()->setRootViewController(myNavigationController::withRoot(opener_));
        auto alert = MVTInterClassViewController::showJoinClassAlert({});
        EXPECT_EQ(alert->tag(), MVTInterClassViewController::kJoinClassAlertTag);
        EXPECT_EQ(alert->title(), "");
        EXPECT_EQ(alert->message(), c.message);
        ASSERT_EQ(alert->numberOfButtons(), c.buttons) << c.role;
        EXPECT_EQ(alert->buttonTitleAtIndex(0), "确定");
        EXPECT_TRUE(MVTInterClassViewController::answerJoinClassAlert(*opener_, *alert, c.answer));
        driver_->settle();
        auto join = joinScreenPresented();
        EXPECT_EQ(join != nullptr, c.presents) << c.role;
        if (join) {
            EXPECT_FALSE(join->isLogining());
        }
        AlertView::clearVisible();
    }
    // Another alert is not the join alert.
    auto other = AlertView::make("", "x", {}, "确定");
    EXPECT_FALSE(MVTInterClassViewController::answerJoinClassAlert(*opener_, *other, 0));
}

TEST_F(JoinClassTest, AJoinPutsTheNewClassFirstStoresItAndClosesTheScreen) {
    signedInStudent("1", "31,40");
    answerLookup();
    service().setReply("GET", kJoinPath, Reply::json({{"success", 1}, {"classId", 52}, {"schoolId", "1"}}));
    auto join = openFromAlert();
    ASSERT_NE(join, nullptr);
    lookUpAndJoin(join->classIdTextField());
    ASSERT_TRUE(pumpUntil([&] { return MVTAccount::sharedInstance().classId() == "52,31,40"; }));
    EXPECT_EQ(savedClasses(), "52,31,40");
    const Json saved = MVTtirraDataBase::selectSaveUserTableData();
    EXPECT_EQ(saved.value("userName", ""), "student");
    EXPECT_EQ(saved.value("userPassword", ""), "student123");
    EXPECT_EQ(saved.value("schoolId", ""), "1");
    // Closed without a word.
    driver_->settle();
    EXPECT_EQ(joinScreenPresented(), nullptr);
    EXPECT_EQ(driver_->alert(), nullptr);
    // The lookup carried the school, the join the user.
    EXPECT_EQ(requestsTo(kLookupPath), 1u);
}

TEST_F(JoinClassTest, AClassAlreadyInTheListIsRefusedAndNothingIsStored) {
    signedInStudent("1", "31,40");
    answerLookup();
    service().setReply("GET", kJoinPath, Reply::json({{"success", 1}, {"classId", "40"}, {"schoolId", "7"}}));
    auto join = openFromAlert();
    ASSERT_NE(join, nullptr);
    lookUpAndJoin(join->classIdTextField());
    ASSERT_TRUE(waitForAlert("已加入该班级，重复操作。"));
    EXPECT_EQ(driver_->alert()->title(), "提示");
    EXPECT_EQ(MVTAccount::sharedInstance().classId(), "31,40");
    EXPECT_EQ(MVTAccount::sharedInstance().schoolId(), "1");
    EXPECT_EQ(savedClasses(), "31,40");
    driver_->pressAlertButton(0);
    driver_->settle();
    EXPECT_NE(joinScreenPresented(), nullptr);
}

TEST_F(JoinClassTest, TheClassListAfterAJoin) {
    struct Case {
        const char* before;
        Json classId;
        const char* after;
        class_code_join::Recorded result;
    };
    using R = class_code_join::Recorded;
    for (Case c : {Case{"", "52", "52", R::Joined}, Case{"(null)", 52, "52", R::Joined},
                   Case{"<null>", "52", "52", R::Joined}, Case{"31,40", 52, "52,31,40", R::Joined},
                   Case{"31,40", "40", "31,40", R::AlreadyJoined}, Case{"520,5", "52", "52,520,5", R::Joined},
                   Case{"31", nullptr, "31", R::NoClassId}}) {
        signedInStudent("1", c.before);
        EXPECT_EQ(class_code_join::recordJoinedClass({{"classId", c.classId}, {"schoolId", "1"}}), c.result)
            << c.before;
        EXPECT_EQ(MVTAccount::sharedInstance().classId(), c.after) << c.before;
        EXPECT_EQ(savedClasses(), c.after) << c.before;
    }
    // A reply without a school keeps the account's school.
    signedInStudent("1", "");
    class_code_join::recordJoinedClass({{"classId", "52"}});
    EXPECT_EQ(MVTAccount::sharedInstance().schoolId(), "1");
}

TEST_F(JoinClassTest, AnApprovalSignsOutSixTenthsOfASecondAfterTheAnswer) {
    signedInStudent("1", "31");
    answerLookup();
    service().setReply("GET", kJoinPath, Reply::json({{"approve", "true"}, {"success", 1}, {"classId", "52"}}));
    auto join = openFromAlert();
    ASSERT_NE(join, nullptr);
    lookUpAndJoin(join->classIdTextField());
    ASSERT_TRUE(waitForAlert("加入的学校正在审核"));
    auto alert = driver_->alert();
    EXPECT_EQ(alert->tag(), class_code_join::kApprovalAlertTag);
    EXPECT_EQ(alert->message(), "");
    EXPECT_EQ(alert->numberOfButtons(), 1);
    // The waiting indicator went before the alert, and the class was not recorded.
    ASSERT_NE(join->HUD(), nullptr);
    EXPECT_FALSE(join->HUD()->isShowing());
    EXPECT_EQ(MVTAccount::sharedInstance().classId(), "31");

    ASSERT_TRUE(driver_->pressAlertButton(0));
    advance(0.5);
    EXPECT_EQ(rootAs<MVTLoginViewController>(), nullptr);
    advance(0.15);
    auto login = rootAs<MVTLoginViewController>();
    ASSERT_NE(login, nullptr);
    // Out to an empty login screen.
    EXPECT_EQ(login->jidField()->text(), "");
    EXPECT_EQ(login->passwordField()->text(), "");
}

TEST_F(JoinClassTest, ARefusedJoinSaysWhyOrAtLeastThatItFailed) {
    struct Case {
        Json reply;
        const char* shown;
    };
    for (Case c : {Case{{{"success", 0}, {"msg", "该班级已满"}}, "该班级已满"},
                   Case{{{"success", "2"}}, "加入班级失败,请重试"}, Case{{{"approve", "0"}}, "加入班级失败,请重试"}}) {
        signedInStudent("1", "31");
        answerLookup();
        service().setReply("GET", kJoinPath, Reply::json(c.reply));
        service().clearRequests();
        auto join = openFromAlert();
        ASSERT_NE(join, nullptr);
        lookUpAndJoin(join->classIdTextField());
        ASSERT_TRUE(waitForAlert(c.shown)) << c.reply.dump();
        EXPECT_EQ(driver_->alert()->title(), "提示");
        EXPECT_EQ(MVTAccount::sharedInstance().classId(), "31");
        AlertView::clearVisible();
        join->dismissViewController(false);
    }
}

TEST_F(JoinClassTest, TheLookupTellsWhyAClassWasNotFoundAndWhenItCouldNotAsk) {
    signedInStudent("1", "31");
    auto join = openFromAlert();
    ASSERT_NE(join, nullptr);
    typeCode(join->classIdTextField(), "8801");

    service().setReply("GET", kLookupPath, Reply::json({{"success", 0}, {"message", "班级编号不存在"}}));
    ASSERT_TRUE(driver_->tapText("完成"));
    ASSERT_TRUE(waitForAlert("班级编号不存在"));
    EXPECT_EQ(driver_->alert()->title(), "提示");
    driver_->pressAlertButton(0);

    service().setReply("GET", kLookupPath, Reply::text("busy", "text/plain"));
    ASSERT_TRUE(driver_->tapText("完成"));
    ASSERT_TRUE(waitForAlert("查询班级信息失败"));
    driver_->pressAlertButton(0);

    // An empty reply is no answer: nothing shows.
    service().setReply("GET", kLookupPath, Reply::text("", "application/json"));
    service().clearRequests();
    ASSERT_TRUE(driver_->tapText("完成"));
    ASSERT_TRUE(pumpUntil([&] { return requestsTo(kLookupPath) == 1; }));
    driver_->settle();
    EXPECT_EQ(driver_->alert(), nullptr);
    EXPECT_EQ(requestsTo(kJoinPath), 0u);
}

TEST_F(JoinClassTest, AnEmptyCodeACancelAndNoNetworkSendNothing) {
    signedInStudent("1", "31");
    auto join = openFromAlert();
    ASSERT_NE(join, nullptr);
    for (const char* code : {"", "(null)", "<null>"}) {
        join->classIdTextField()->setText(code);
        join->addToClass();
        ASSERT_NE(driver_->alert(), nullptr) << code;
        EXPECT_EQ(driver_->alert()->message(), "请输入班级编号");
        AlertView::clearVisible();
    }

    answerLookup();
    join->classIdTextField()->setText("8801");
    join->addToClass();
    ASSERT_TRUE(waitForAlert("确定加入该班级？"));
    ASSERT_TRUE(driver_->pressAlertButton(0));  // "取消"
    driver_->settle();

    Reachability::setOverride(ReachabilityState::offline());
    join->addToClass();
    join->toDone();
    EXPECT_FALSE(bannerText().empty());
    EXPECT_EQ(join->HUD(), nullptr);
    driver_->settle();
    EXPECT_EQ(requestsTo(kLookupPath), 1u);
    EXPECT_EQ(requestsTo(kJoinPath), 0u);
}

TEST_F(JoinClassTest, TheAskToJoinLinkShowsOnlyForAnAccountWithASchool) {
    for (const char* school : {"", "0", "-1", "1"}) {
        signedInStudent(school, "31");
        auto join = openFromAlert();
        ASSERT_NE(join, nullptr);
        const bool shown = std::string(school) == "1";
        EXPECT_EQ(UiDriver::isOnScreen(*join->getClassIdBtn()), shown) << school;
        EXPECT_EQ(join->hintLabel()->text(), class_code_join::kHint);
        EXPECT_EQ(join->schoolOnlyButton(), nullptr);
        if (shown) {
            ASSERT_TRUE(driver_->tap(join->getClassIdBtn()));
            driver_->settle();
            EXPECT_NE(std::dynamic_pointer_cast<MVTAddToClassBySelectViewController>(
                          join->navigationController()->topViewController()),
                      nullptr);
        }
        join->dismissViewController(false);
    }
}

TEST_F(JoinClassTest, OnTheSignInRootBackReturnsToTheLoginScreenWithTheSavedUser) {
    signedInStudent("", "");
    app->userGetLogin();
    driver_->settle();
    auto join = signInRoot();
    ASSERT_NE(join, nullptr);
    EXPECT_TRUE(join->isLogining());
    EXPECT_EQ(join->hintLabel()->text(), class_code_join::kHintWithSchool);
    EXPECT_TRUE(join->classIdTextField()->isFirstResponder());

    ASSERT_NE(join->schoolOnlyButton(), nullptr);
    ASSERT_TRUE(driver_->tap(join->schoolOnlyButton()));
    driver_->settle();
    auto search = std::dynamic_pointer_cast<MVTSearchSchoolViewController>(join->navigationController()->topViewController());
    ASSERT_NE(search, nullptr);
    EXPECT_TRUE(search->isLogining());
    join->navigationController()->popViewController(false);
    driver_->settle();

    join->goback();
    auto login = rootAs<MVTLoginViewController>();
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->jidField()->text(), "student");
    EXPECT_EQ(login->passwordField()->text(), "student123");
}

TEST_F(JoinClassTest, TheInAppScreenSaysTheJoinSucceededAndJudgesBySuccessAlone) {
    signedInStudent("1", "31");
    answerLookup();
    // An approval flag is not read here.
    service().setReply("GET", kJoinPath, Reply::json({{"approve", "1"}, {"success", 1}, {"classId", "52"}, {"schoolId", "1"}}));
    opener_ = std::make_shared<ViewViewController>();
    app->window()->setRootViewController(myNavigationController::withRoot(opener_));
    auto screen = std::make_shared<MVTAddToClassViewController>();
    auto navigation = myNavigationController::withRoot(screen);
    navigation->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
    opener_->presentViewController(navigation, true);
    driver_->settle();
    EXPECT_TRUE(driver_->byText(class_code_join::kHint));
    EXPECT_TRUE(UiDriver::isOnScreen(*screen->getClassIdBtn()));

    lookUpAndJoin(screen->classIdTextFiled());
    ASSERT_TRUE(waitForAlert("班级加入成功"));
    EXPECT_EQ(driver_->alert()->tag(), MVTAddToClassViewController::kJoinedAlertTag);
    EXPECT_EQ(MVTAccount::sharedInstance().classId(), "52,31");
    EXPECT_EQ(savedClasses(), "52,31");
    ASSERT_TRUE(driver_->pressAlertButton(0));
    driver_->settle();
    EXPECT_EQ(opener_->presentedViewController(), nullptr);
    EXPECT_EQ(rootAs<MVTLoginViewController>(), nullptr);
}

TEST_F(JoinClassTest, TheClassCodeOfAScannedText) {
    struct Case {
        const char* scanned;
        const char* code;
    };
    for (Case c : {Case{"http://x/join?param=8801", "8801"}, Case{"8801", "8801"},
                   Case{"a?param=1&param=8801", "8801"}, Case{"param=", ""}})
        EXPECT_EQ(class_code_join::classCodeFromScan(c.scanned), c.code) << c.scanned;
}

TEST_F(JoinClassTest, ClassLookupAndJoinOfTheSampleService) {
    // The newcomer has no school: the lookup path carries an empty school id.
    MVTAccount& account = MVTAccount::sharedInstance();
    account.setUserId("2002");
    account.setRole("student");
    account.setSchoolId("");
    account.setClassId("");
    auto join = openFromAlert();
    ASSERT_NE(join, nullptr);
    typeCode(join->classIdTextField(), "300102");
    ASSERT_TRUE(driver_->tapText("完成"));
    ASSERT_TRUE(waitForAlert("确定加入该班级？"));
    EXPECT_NE(driver_->alert()->message().find("三年级二班"), std::string::npos);
    EXPECT_EQ(requestsTo("services/norvo//classcode/300102/info"), 1u);
    ASSERT_TRUE(driver_->pressAlertButton(1));
    ASSERT_TRUE(pumpUntil([&] { return account.classId() == "12"; }));
    EXPECT_EQ(account.schoolId(), "1");
    auto stored = service().data().userWithId("2002");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->value("classIds", ""), "12");
    EXPECT_EQ(stored->value("schoolId", ""), "1");

    // An unknown code is refused with the service's reason.
    driver_->settle();
    account.setClassId("");
    auto again = openFromAlert();
    ASSERT_NE(again, nullptr);
    typeCode(again->classIdTextField(), "999999");
    ASSERT_TRUE(driver_->tapText("完成"));
    ASSERT_TRUE(pumpUntil([&] { return driver_->alert() != nullptr; }));
    EXPECT_EQ(driver_->alert()->title(), "提示");
    again->toDone();
    ASSERT_TRUE(pumpUntil([&] { return requestsTo("services/norvo/2002/json/join/classcode/999999") == 1; }));
    ASSERT_TRUE(waitForAlert("班级编号不存在"));
}

}  // namespace
