#include "DelegateFixture.h"

#include "account/MVTInterClassViewController.h"
#include "chat/MVTInteractionViewController.h"
#include "feed/MVTHomeViewController.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"

#include "platform/Reachability.h"
#include "platform/UserDefaults.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TextField.h"

using namespace platform;
using Json = nlohmann::json;

namespace {

class SignInTest : public testing_support::DelegateTest {
protected:
    // The login screen of an empty home.
    void launchToLogin() {
        launch();
        ASSERT_NE(rootAs<MVTLoginViewController>(), nullptr);
    }
    std::shared_ptr<MVTInterClassViewController> joinScreen() const {
        auto navigation = rootAs<myNavigationController>();
        if (!navigation || navigation->viewControllers().empty()) return nullptr;
        return std::dynamic_pointer_cast<MVTInterClassViewController>(navigation->viewControllers().front());
    }
    std::shared_ptr<MVTHomeViewController> homeOf(const std::shared_ptr<MyTabBarController>& tabs) const {
        auto navigation = std::dynamic_pointer_cast<NavigationController>(tabs->viewControllers().at(0));
        return std::dynamic_pointer_cast<MVTHomeViewController>(navigation->viewControllers().front());
    }
    static Json savedUser() { return MVTtirraDataBase::selectSaveUserTableData(); }
};

TEST_F(SignInTest, RequestEscapesEachCredentialAsOneSegmentAndAsksForNoSchoolLogin) {
    auto request = MVTAppDelegate::signInRequest("王 老师", "a/b?c#d&e%");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->httpMethod(), "GET");
    EXPECT_EQ(request->url(), serviceUrl("auth/%E7%8E%8B%20%E8%80%81%E5%B8%88/a%2Fb%3Fc%23d%26e%25?noSchoolLogin=true"));
    EXPECT_EQ(request->timeoutInterval(), 15.0);

    // What the service receives: the two segments exactly as typed, the parameter and the
    // app's fixed credentials.
    service().setReply("GET", "services/norvo/auth/王 老师/a/b?c#d&e%", sample_service::Reply::json(teacherReply()));
    launchToLogin();
    app->login("王 老师", "a/b?c#d&e%", true);
    ASSERT_TRUE(waitForTabBar());
    auto sent = service().lastRequest("services/norvo/auth/王 老师/a/b?c#d&e%");
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->queryValue("noSchoolLogin"), "true");
    EXPECT_TRUE(sent->hasServiceCredentials());
    EXPECT_EQ(savedUser()["userPassword"], "a/b?c#d&e%");

    Reachability::setOverride(ReachabilityState::offline());
    EXPECT_FALSE(MVTAppDelegate::signInRequest("teacher", "teacher123"));
}

TEST_F(SignInTest, ReplyRowsTakeTextNullAndAbsentValuesByTheirRules) {
    struct Case {
        const char* what;
        Json reply;
        bool registration;
        Json expected;  // keys to check
    };
    const Case cases[] = {
        {"teacher points",
         {{"name", "王"}, {"userId", 7}, {"role", "teacher"}, {"creditGet", 12}, {"creditLevel", 5}},
         false,
         {{"userId", "7"}, {"userIntegral", "12"}, {"userLvl", "0"}, {"userIntegralGet", "0"}}},
        {"student points",
         {{"name", "李"}, {"userId", "2"}, {"role", "student"}, {"creditLevel", 3}, {"creditLast", 40}, {"creditGet", 5}},
         false,
         {{"userLvl", "3"}, {"userIntegral", "40"}, {"userIntegralGet", "5"}}},
        {"student null points",
         {{"name", "李"}, {"userId", "2"}, {"role", "student"}, {"creditLevel", nullptr}, {"creditLast", "<null>"}},
         false,
         {{"userLvl", "0"}, {"userIntegral", "0"}, {"userIntegralGet", "0"}}},
        {"parent points",
         {{"name", "家长"}, {"userId", "3"}, {"role", "parent"}, {"creditLevel", 3}, {"creditLast", 40}, {"creditGet", 5}},
         false,
         {{"userLvl", "0"}, {"userIntegral", "0"}, {"userIntegralGet", "0"}}},
        {"apps hide the school circle",
         {{"name", "a"}, {"userId", "1"}, {"role", "teacher"}, {"apps", "banjiwenjian,homeSquare"}},
         false,
         {{"hideString", "banjiwenjian,homeSquare"}, {"hideSquare", "y"}}},
        {"apps without the school circle",
         {{"name", "a"}, {"userId", "1"}, {"role", "teacher"}, {"apps", "homeSquareX"}},
         false,
         {{"hideString", "homeSquareX"}, {"hideSquare", "n"}}},
        {"apps absent or null",
         {{"name", "a"}, {"userId", "1"}, {"role", "teacher"}, {"apps", nullptr}},
         false,
         {{"hideString", ""}, {"hideSquare", "n"}}},
        {"director absent, school null, classes and address absent",
         {{"name", "a"}, {"userId", "1"}, {"role", "teacher"}, {"schoolId", nullptr}},
         false,
         {{"power", "0"}, {"schoolId", ""}, {"classId", ""}, {"vfsUrl", ""}, {"ecampus", "0"}, {"status", "(null)"}}},
        {"director, classes and address null stay as sent",
         {{"name", "a"}, {"userId", "1"}, {"role", "teacher"}, {"director", nullptr}, {"classIds", nullptr},
          {"vfsUrl", nullptr}, {"ecampus", nullptr}, {"status", nullptr}, {"schoolId", 9}},
         false,
         {{"power", "<null>"}, {"classId", "<null>"}, {"vfsUrl", "<null>"}, {"ecampus", "0"}, {"status", "<null>"},
          {"schoolId", "9"}}},
        {"campus flag by its truth value",
         {{"name", "a"}, {"userId", "1"}, {"role", "teacher"}, {"ecampus", "true"}, {"director", 0}},
         false,
         {{"ecampus", "1"}, {"power", "0"}}},
        {"registration status",
         {{"name", "a"}, {"userId", "1"}, {"role", "student"}, {"status", nullptr}},
         true,
         {{"status", ""}}},
    };
    for (const auto& c : cases) {
        Json row = MVTAppDelegate::saveUserRowFromReply(c.reply, "u", "p w", c.registration);
        EXPECT_EQ(row.size(), 16u) << c.what;
        EXPECT_EQ(row["userName"], "u") << c.what;
        EXPECT_EQ(row["userPassword"], "p w") << c.what;
        for (const auto& [key, value] : c.expected.items()) EXPECT_EQ(row[key], value) << c.what << ": " << key;
    }
}

TEST_F(SignInTest, RepliesWithoutAUsableNameUserIdOrRoleAreRefused) {
    const Json good = {{"name", "王"}, {"userId", "1"}, {"role", "teacher"}};
    EXPECT_FALSE(MVTAppDelegate::signInReplyIsRefused(good));
    const Json refused[] = {
        Json::object(),
        Json::array({good}),
        nullptr,
        {{"userId", "1"}, {"role", "teacher"}},
        {{"name", "王"}, {"userId", nullptr}, {"role", "teacher"}},
        {{"name", "王"}, {"userId", "1"}, {"role", ""}},
        {{"name", "<null>"}, {"userId", "1"}, {"role", "teacher"}},
        {{"success", 1}, {"message", "ok"}},
    };
    for (const auto& reply : refused) EXPECT_TRUE(MVTAppDelegate::signInReplyIsRefused(reply)) << reply.dump();
}

TEST_F(SignInTest, TeacherSignsInToTheTabBarWithRecordRowsAndDefaults) {
    launchToLogin();
    app->login("teacher", "teacher123", true);
    // While the request runs: the splash over the window and the progress overlay.
    ASSERT_NE(app->imageView(), nullptr);
    EXPECT_EQ(app->imageView()->frame(), app->window()->bounds());
    EXPECT_TRUE(app->imageView()->clipsToBounds());
    EXPECT_NE(ProgressHUD::HUDForView(app->window()), nullptr);

    ASSERT_TRUE(waitForTabBar());
    EXPECT_EQ(app->imageView(), nullptr);
    auto tabs = rootAs<MyTabBarController>();
    EXPECT_EQ(tabs->selectedIndex(), 0);
    ASSERT_EQ(tabs->viewControllers().size(), 5u);
    EXPECT_NE(homeOf(tabs), nullptr);
    EXPECT_NE(tabs->mytabbarView(), nullptr);
    EXPECT_FALSE(StatusBar::shared().isHidden());

    auto& account = MVTAccount::sharedInstance();
    EXPECT_EQ(account.userName(), "teacher");
    EXPECT_EQ(account.password(), "teacher123");
    EXPECT_EQ(account.name(), "王老师");
    EXPECT_EQ(account.userId(), "1001");
    EXPECT_EQ(account.role(), "teacher");
    EXPECT_EQ(account.power(), "1");
    EXPECT_EQ(account.schoolId(), "1");
    EXPECT_EQ(account.classId(), "11,12");
    EXPECT_TRUE(account.ecampus());
    EXPECT_EQ(account.hideSquare(), "n");
    EXPECT_EQ(account.userIntegral(), "12");
    EXPECT_EQ(account.vfsUrl(), baseUrl() + "vfs/");

    Json row = savedUser();
    EXPECT_EQ(row["userName"], "teacher");
    EXPECT_EQ(row["userId"], "1001");
    EXPECT_EQ(row["ecampus"], "1");
    Json remembered = MVTtirraDataBase::selectUsersTableData();
    ASSERT_EQ(remembered.size(), 1u);
    EXPECT_EQ(remembered[0]["userName"], "teacher");
    EXPECT_EQ(remembered[0]["password"], "teacher123");
    EXPECT_EQ(remembered[0]["power"], "1");
    Json settings = MVTtirraDataBase::selectUserNewsSettingDataWith("1001");
    EXPECT_EQ(settings["defaultTime"], "60");
    EXPECT_EQ(settings["feedNews"], "1");
    EXPECT_EQ(UserDefaults::standard().objectForKey(MVTAppDelegate::kLoadingLatesTime), "1767600000000");
    const auto& events = StatisticsKit::shared().pageEvents();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[0], std::make_pair(std::string("begin"), std::string("登录")));
    EXPECT_EQ(events[1], std::make_pair(std::string("end"), std::string("登录")));
    // Then the home feed's own page view.
    EXPECT_EQ(events[2], std::make_pair(std::string("begin"), std::string("动态")));
}

TEST_F(SignInTest, RememberedUserUnderTheSameIntegerIdIsNotAddedAgain) {
    launchToLogin();
    MVTtirraDataBase::insertUsersTableWithDic(
        {{"userId", "0001001"}, {"name", "旧"}, {"userName", "old"}, {"password", "x"}, {"role", "teacher"},
         {"power", "0"}, {"schoolId", "1"}});
    MVTtirraDataBase::insertUserNewsSettingWithDic(
        {{"news", "0"}, {"chatNews", "0"}, {"MentionNews", "0"}, {"commenNews", "0"}, {"HMNews", "0"},
         {"NotiNews", "0"}, {"feedNews", "0"}, {"defaultTime", "300"}},
        "1001");
    UserDefaults::standard().setString(MVTAppDelegate::kLoadingLatesTime, "1767600000000");
    app->login("teacher", "teacher123", false);
    ASSERT_TRUE(waitForTabBar());
    Json remembered = MVTtirraDataBase::selectUsersTableData();
    ASSERT_EQ(remembered.size(), 1u);
    EXPECT_EQ(remembered[0]["userName"], "old");
    // The user's own reminder settings stay.
    EXPECT_EQ(MVTtirraDataBase::selectUserNewsSettingDataWith("1001")["defaultTime"], "300");
    EXPECT_EQ(UserDefaults::standard().objectForKey(MVTAppDelegate::kLoadingLatesTime), "1767600000000");
}

TEST_F(SignInTest, UsersWithoutASchoolTakeTheRoadOfTheirRole) {
    // A student of the sample data without a school: the join-a-class screen, reached at
    // sign-in.
    launchToLogin();
    app->login("newcomer", "newcomer123", true);
    ASSERT_TRUE(pumpUntil([this] { return joinScreen() != nullptr; }));
    EXPECT_TRUE(joinScreen()->isLogining());

    // A teacher with school "-1": the same screen.
    Json teacher = teacherReply();
    teacher["schoolId"] = "-1";
    service().setReply("GET", "services/norvo/auth/t2/pw", sample_service::Reply::json(teacher));
    app->window()->setRootViewController(nullptr);
    app->login("t2", "pw", true);
    ASSERT_TRUE(pumpUntil([this] { return joinScreen() != nullptr; }));

    // A parent without a school: back to the login screen, pre-filled with the accepted
    // row that stays saved, and the alert.
    Json parent = {{"name", "家长"}, {"userId", "3009"}, {"role", "parent"}, {"schoolId", nullptr}};
    service().setReply("GET", "services/norvo/auth/p2/pw", sample_service::Reply::json(parent));
    app->login("p2", "pw", true);
    ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
    EXPECT_EQ(AlertView::topAlert()->title(), "没有加入学校，请去网页端关联学生。");
    EXPECT_EQ(AlertView::topAlert()->message(), "");
    auto login = rootAs<MVTLoginViewController>();
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->jidField()->text(), "p2");
    EXPECT_EQ(savedUser()["userId"], "3009");
    EXPECT_EQ(savedUser()["role"], "parent");
    EXPECT_TRUE(MVTtirraDataBase::selectUsersTableData().empty());
}

TEST_F(SignInTest, RefusalWritesTheRefusalRowAndShowsTheServicesMessage) {
    struct Case {
        Json reply;
        std::string message;
    };
    const Case cases[] = {
        {{{"success", 0}, {"message", "账号已停用"}}, "账号已停用"},
        {{{"success", 0}}, localized("用户名或密码错误")},
        {{{"name", "王"}, {"userId", nullptr}, {"role", "teacher"}, {"message", nullptr}},
         localized("用户名或密码错误")},
    };
    launchToLogin();
    for (const auto& c : cases) {
        AlertView::clearVisible();
        service().setReply("GET", "services/norvo/auth/teacher/pw 1", sample_service::Reply::json(c.reply));
        app->login("teacher", "pw 1", true);
        ASSERT_TRUE(pumpUntil([] { return AlertView::topAlert() != nullptr; }));
        EXPECT_EQ(AlertView::topAlert()->title(), "");
        EXPECT_EQ(AlertView::topAlert()->message(), c.message);
        EXPECT_EQ(AlertView::topAlert()->numberOfButtons(), 1);
        EXPECT_EQ(AlertView::topAlert()->buttonTitleAtIndex(0), localized("确定"));
        Json row = savedUser();
        EXPECT_EQ(row, MVTAppDelegate::refusalRow("teacher", "pw 1"));
        EXPECT_EQ(row["userId"], "");
        EXPECT_EQ(row["hideSquare"], "");
        auto login = rootAs<MVTLoginViewController>();
        ASSERT_NE(login, nullptr);
        EXPECT_EQ(login->jidField()->text(), "teacher");
        EXPECT_EQ(login->passwordField()->text(), "pw 1");
        EXPECT_EQ(app->imageView(), nullptr);
        auto hud = ProgressHUD::HUDForView(app->window());
        EXPECT_TRUE(!hud || !hud->isShowing());
    }
}

TEST_F(SignInTest, NoReplyKeepsTheSavedUserAndTheTypedCredentials) {
    saveSignedInUser(teacherReply(), "teacher", "teacher123");
    MVTtirraDataBase::insertSaveVersion("1.0.0");
    const Json before = savedUser();
    service().setReply("GET", "services/norvo/auth/student/typed", sample_service::Reply::json({{"error", "x"}}, 500));
    launch();
    advance(2.0);
    ASSERT_TRUE(waitForTabBar());
    app->login("student", "typed", false);
    ASSERT_TRUE(pumpUntil([this] { return rootAs<MVTLoginViewController>() != nullptr && !bannerText().empty(); }));
    EXPECT_EQ(bannerText(), localized("请求失败,请稍后再试"));
    EXPECT_EQ(savedUser(), before);
    auto login = rootAs<MVTLoginViewController>();
    EXPECT_EQ(login->jidField()->text(), "student");
    EXPECT_EQ(login->passwordField()->text(), "typed");
    EXPECT_TRUE(StatusBar::shared().isHidden());
    EXPECT_FALSE(MVTAccount::sharedInstance().userId());
}

TEST_F(SignInTest, WithoutNetworkNothingIsSentOrStored) {
    launchToLogin();
    MVTtirraDataBase::insertSaveUserTableWithDict(MVTAppDelegate::refusalRow("old", "pw"));
    Reachability::setOverride(ReachabilityState::offline());
    app->login("teacher", "teacher123", true);
    EXPECT_EQ(bannerText(), localized("没有网络,请检查网络连接"));
    EXPECT_EQ(rootAs<MVTLoginViewController>()->jidField()->text(), "old");
    EXPECT_EQ(savedUser()["userName"], "old");
    EXPECT_EQ(app->imageView(), nullptr);
    EXPECT_FALSE(service().lastRequest("services/norvo/auth/teacher/teacher123"));
}

TEST_F(SignInTest, SignInOverTheTabBarStopsItsPollFirstAndMarksTheOldHome) {
    launchToLogin();
    app->login("teacher", "teacher123", false);
    ASSERT_TRUE(waitForTabBar());
    auto old = rootAs<MyTabBarController>();
    ASSERT_NE(old->refreshTimer(), nullptr);
    auto oldHome = homeOf(old);
    app->login("student", "student123", false);
    EXPECT_EQ(old->refreshTimer(), nullptr);
    ASSERT_TRUE(pumpUntil([&] { return root() != old && rootAs<MyTabBarController>() != nullptr; }));
    EXPECT_TRUE(oldHome->isSetNil());
    EXPECT_FALSE(homeOf(rootAs<MyTabBarController>())->isSetNil());
    EXPECT_EQ(MVTAccount::sharedInstance().hideSquare(), "y");
    EXPECT_EQ(MVTtirraDataBase::selectUsersTableData().size(), 2u);
}

TEST_F(SignInTest, LanguageChangeBuildsANewTabBarOnTheFirstTab) {
    launchToLogin();
    app->login("teacher", "teacher123", false);
    ASSERT_TRUE(waitForTabBar());
    auto old = rootAs<MyTabBarController>();
    old->setSelectedIndex(3);
    app->reloadAllViewWhenLanguageHaveChanged();
    auto fresh = rootAs<MyTabBarController>();
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, old);
    EXPECT_EQ(fresh->selectedIndex(), 0);
    EXPECT_EQ(old->refreshTimer(), nullptr);
    EXPECT_TRUE(homeOf(old)->isSetNil());
}

TEST_F(SignInTest, ReturnToLoginClearsTheIdentityAndPreFillsOnlyWhenAsked) {
    launchToLogin();
    app->login("teacher", "teacher123", false);
    ASSERT_TRUE(waitForTabBar());
    MVTAccount::sharedInstance().setNewRelevantMe(4);

    app->gotosetview(false);
    auto login = rootAs<MVTLoginViewController>();
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(app->loginViewController(), login);
    EXPECT_EQ(login->jidField()->text(), "teacher");
    EXPECT_EQ(login->passwordField()->text(), "teacher123");
    auto& account = MVTAccount::sharedInstance();
    EXPECT_FALSE(account.userName());
    EXPECT_FALSE(account.schoolId());
    EXPECT_EQ(account.hideSquare(), "n");
    EXPECT_EQ(account.newRelevantMe(), 4);
    EXPECT_TRUE(StatusBar::shared().isHidden());

    // The sign-out of the Me tab drops the saved user first: an empty login screen.
    MVTtirraDataBase::deleteSaveUser();
    app->gotosetview(true);
    EXPECT_EQ(rootAs<MVTLoginViewController>()->jidField()->text(), "");
}

TEST_F(SignInTest, RegistrationReplyOpensTheAppWithoutARefusalTest) {
    launchToLogin();
    Json reply = teacherReply();
    reply.erase("name");
    reply["status"] = nullptr;
    app->firstRegisterToHomeWith(reply, "newteacher", "pw");
    ASSERT_NE(rootAs<MyTabBarController>(), nullptr);
    EXPECT_EQ(savedUser()["name"], "(null)");
    EXPECT_EQ(savedUser()["status"], "");
    EXPECT_EQ(MVTAccount::sharedInstance().userName(), "newteacher");
}

// ---- Automatic sign-in at launch ----------------------------------------------------------

class AutoLoginTest : public SignInTest {
protected:
    void SetUp() override {
        SignInTest::SetUp();
        MVTtirraDataBase::insertSaveVersion("1.0.0");
    }
};

TEST_F(AutoLoginTest, SavedUserSeesTheSplashThenTheTabBarAndIsCheckedAgain) {
    Json stale = teacherReply();
    stale["name"] = "旧名字";
    saveSignedInUser(stale, "teacher", "teacher123");
    launch();
    // The record comes from the saved row; the splash covers the window for 2.0 s.
    EXPECT_EQ(MVTAccount::sharedInstance().name(), "旧名字");
    ASSERT_NE(app->imageView(), nullptr);
    EXPECT_EQ(root(), nullptr);
    advance(1.9);
    EXPECT_EQ(root(), nullptr);
    advance(0.1);
    ASSERT_NE(rootAs<MyTabBarController>(), nullptr);
    EXPECT_EQ(app->imageView(), nullptr);
    EXPECT_FALSE(service().lastRequest("services/norvo/auth/teacher/teacher123"));

    // 1.0 s later the background re-check refreshes record and rows, not the screens.
    auto tabs = rootAs<MyTabBarController>();
    advance(1.0);
    ASSERT_TRUE(pumpUntil([] { return MVTAccount::sharedInstance().name() == std::optional<std::string>("王老师"); }));
    EXPECT_EQ(savedUser()["name"], "王老师");
    ASSERT_TRUE(pumpUntil([] {
        auto rows = MVTtirraDataBase::selectUsersTableData();
        return rows.size() == 1 && rows[0]["name"] == "王老师";
    }));
    EXPECT_EQ(root(), tabs);
    EXPECT_EQ(MVTAccount::sharedInstance().userName(), "teacher");
}

TEST_F(AutoLoginTest, RecheckRefusedReturnsToLoginWithTheFixedMessage) {
    service().setReply("GET", "services/norvo/auth/teacher/old",
                       sample_service::Reply::json({{"success", 0}, {"message", "密码已修改"}}));
    saveSignedInUser(teacherReply(), "teacher", "old");
    launch();
    advance(2.0);
    ASSERT_TRUE(waitForTabBar());
    advance(1.0);
    ASSERT_TRUE(pumpUntil([this] { return rootAs<MVTLoginViewController>() != nullptr; }));
    ASSERT_NE(AlertView::topAlert(), nullptr);
    EXPECT_EQ(AlertView::topAlert()->message(), localized("用户名或密码错误"));
    EXPECT_EQ(savedUser(), MVTAppDelegate::refusalRow("teacher", "old"));
    EXPECT_EQ(rootAs<MVTLoginViewController>()->jidField()->text(), "teacher");
}

TEST_F(AutoLoginTest, RecheckWithoutReplyKeepsTheUserSignedInNowAndAtTheNextLaunch) {
    service().setReply("GET", "services/norvo/auth/teacher/teacher123", sample_service::Reply::text("busy", "text/plain", 503));
    saveSignedInUser(teacherReply(), "teacher", "teacher123");
    const Json before = savedUser();
    launch();
    advance(2.0);
    ASSERT_TRUE(waitForTabBar());
    advance(1.0);
    ASSERT_TRUE(pumpUntil([this] { return !bannerText().empty(); }));
    EXPECT_EQ(bannerText(), localized("没有网络,请检查网络连接"));
    EXPECT_EQ(savedUser(), before);
    EXPECT_NE(rootAs<MyTabBarController>(), nullptr);
}

TEST_F(AutoLoginTest, WithoutSavedCredentialsTheLoginScreenIsRootAndTheRecordUntouched) {
    MVTtirraDataBase::insertSaveUserTableWithDict(MVTAppDelegate::refusalRow("teacher", ""));
    MVTAccount::sharedInstance().setName("keep");
    launch();
    auto login = rootAs<MVTLoginViewController>();
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->jidField()->text(), "");
    EXPECT_EQ(MVTAccount::sharedInstance().name(), "keep");
    EXPECT_EQ(app->imageView(), nullptr);
}

// What a refused sign-in saves, and a row that lost its user id: nobody is signed in, the
// login screen shows the remembered name, and no sign-in is tried.
class RowWithoutIdentityTest : public AutoLoginTest, public testing::WithParamInterface<const char*> {};

TEST_P(RowWithoutIdentityTest, ShowsTheLoginScreenWithTheNameFilledIn) {
    const std::string missing = GetParam();
    Json row = MVTAppDelegate::refusalRow("teacher", "wrong");
    if (!missing.empty()) {
        row = MVTAppDelegate::saveUserRowFromReply(teacherReply(), "teacher", "wrong");
        row[missing] = "(null)";
    }
    MVTtirraDataBase::insertSaveUserTableWithDict(row);
    launch();
    auto login = rootAs<MVTLoginViewController>();
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->jidField()->text(), "teacher");
    EXPECT_EQ(app->imageView(), nullptr);
    EXPECT_FALSE(MVTAccount::sharedInstance().userId());
    advance(3.0);
    EXPECT_NE(rootAs<MVTLoginViewController>(), nullptr);
    EXPECT_FALSE(service().lastRequest("services/norvo/auth/teacher/wrong"));
}

INSTANTIATE_TEST_SUITE_P(Rows, RowWithoutIdentityTest, testing::Values("", "userId"));

TEST_F(AutoLoginTest, SavedStudentWithoutASchoolGetsTheJoinScreenWithoutSplash) {
    Json reply = {{"name", "张新"}, {"userId", "2002"}, {"role", "student"}, {"schoolId", ""}};
    saveSignedInUser(reply, "newcomer", "newcomer123");
    launch();
    EXPECT_NE(joinScreen(), nullptr);
    EXPECT_EQ(app->imageView(), nullptr);
}

}  // namespace
