// The remembered accounts: the list over the signed-in tab bar, switching, forgetting and
// adding, against the sample service and the real application delegate.

#include "shell/DelegateFixture.h"

#include "account/MVTAccountManagementViewController.h"
#include "account/MVTAddAccountViewController.h"
#include "composer/MVTAddFeelingController.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"

#include "platform/Paths.h"
#include "platform/Reachability.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/UiDriver.h"

#include <algorithm>
#include <filesystem>

using namespace platform;
using Json = nlohmann::json;

namespace {

// Records what the list would be told, and how many sign-in requests had been sent then.
class SpyListDelegate : public MVTAddAccountDelegate {
public:
    explicit SpyListDelegate(std::function<size_t()> authCount) : authCount_(std::move(authCount)) {}
    void reloadUserWith(const Json& row) override {
        rows.push_back(row);
        authRequestsAtReload.push_back(authCount_());
    }
    std::vector<Json> rows;
    std::vector<size_t> authRequestsAtReload;

private:
    std::function<size_t()> authCount_;
};

class RememberedAccountsTest : public testing_support::DelegateTest {
protected:
    void SetUp() override {
        DelegateTest::SetUp();
        InternationalControl::setUserlanguage("zh-Hans", false);
    }
    void TearDown() override {
        driver_.reset();
        DelegateTest::TearDown();
    }

    // The teacher signed in through the login road, with the student remembered from an
    // earlier sign-in on this handset.
    void signInTeacherWithStudentRemembered() {
        launch();
        driver_ = std::make_unique<UiDriver>(app->window());
        app->login("teacher", "teacher123", false);
        ASSERT_TRUE(waitForTabBar());
        MVTtirraDataBase::insertUsersTableWithDic({{"userName", "student"},
                                                   {"password", "student123"},
                                                   {"name", "李明"},
                                                   {"userId", "2001"},
                                                   {"role", "student"},
                                                   {"power", "0"},
                                                   {"schoolId", "1"}});
        MVTtirraDataBase::insertUserNewsSettingWithDic({{"news", "1"},
                                                        {"chatNews", "0"},
                                                        {"MentionNews", "1"},
                                                        {"commenNews", "1"},
                                                        {"HMNews", "1"},
                                                        {"NotiNews", "1"},
                                                        {"feedNews", "1"},
                                                        {"defaultTime", "120"}},
                                                       "2001");
    }
    // The list presented over the tab bar, as the "Me" tab presents it.
    void openList() {
        list_ = std::make_shared<MVTAccountManagementViewController>();
        auto tabs = rootAs<MyTabBarController>();
        ASSERT_NE(tabs, nullptr);
        tabs->presentViewController(myNavigationController::withRoot(list_), false);
        driver_->settle();
    }
    std::shared_ptr<TableViewCell> accountCell(int row) {
        return list_->myTable()->cellForRowAtIndexPath(IndexPath::forRow(row, 0));
    }
    static std::vector<std::string> rememberedIds() {
        std::vector<std::string> ids;
        for (const auto& row : MVTtirraDataBase::selectUsersTableData()) ids.push_back(textOf(row, "userId"));
        return ids;
    }
    size_t authRequests() {
        size_t n = 0;
        for (const auto& r : service().requests())
            if (r.path.rfind("/services/norvo/auth/", 0) == 0) ++n;
        return n;
    }
    // Swipes the row leftwards the way a finger does.
    void swipeLeft(const IndexPath& indexPath) {
        auto table = list_->myTable();
        const Rect row = table->rectForRowAtIndexPath(indexPath);
        const Point from = table->convertPointTo({row.maxX() - 20, row.midY()}, nullptr);
        driver_->drag(from, {from.x - 120, from.y});
        driver_->settle();
    }
    void typeInto(const std::shared_ptr<TextField>& field, const std::string& text) {
        ASSERT_TRUE(driver_->tap(field));
        driver_->type(text);
    }
    // The add screen pushed from the list's own button.
    std::shared_ptr<MVTAddAccountViewController> openAddScreen() {
        auto button = driver_->byText(localized("添加账号"));
        EXPECT_NE(button, nullptr);
        if (!button) return nullptr;
        driver_->tap(button);
        driver_->settle();
        return std::dynamic_pointer_cast<MVTAddAccountViewController>(list_->navigationController()->topViewController());
    }

    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<MVTAccountManagementViewController> list_;
};

TEST_F(RememberedAccountsTest, ListShowsEveryRememberedAccountAndMarksOnlyTheSignedInOne) {
    signInTeacherWithStudentRemembered();
    openList();
    EXPECT_EQ(list_->title(), "账号管理");
    ASSERT_EQ(list_->accounts().size(), 2u);
    auto table = list_->myTable();
    EXPECT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(table->numberOfRowsInSection(0), 2);
    EXPECT_EQ(table->numberOfRowsInSection(1), 1);

    // In stored order: the teacher remembered by sign-in first, then the student.
    auto teacher = accountCell(0), student = accountCell(1);
    ASSERT_TRUE(teacher && student);
    EXPECT_EQ(teacher->accessoryType(), TableViewCellAccessoryType::Checkmark);
    EXPECT_EQ(student->accessoryType(), TableViewCellAccessoryType::None);
    for (const char* text : {"王老师", "teacher", "李明", "student"}) EXPECT_NE(driver_->byText(text), nullptr) << text;
    EXPECT_NE(driver_->byText(localized("添加账号")), nullptr);
    // The avatar carries the user id by which a missing picture is fetched.
    auto avatar = driver_->find([](const View& v) { return v.className() == "ImageView" && v.accessibilityHint() == "2001"; });
    EXPECT_NE(avatar, nullptr);

    const auto& pages = StatisticsKit::shared().pageEvents();
    EXPECT_NE(std::find(pages.begin(), pages.end(), std::make_pair(std::string("begin"), std::string("账号管理"))),
              pages.end());
}

TEST_F(RememberedAccountsTest, TheSignedInAccountIsFoundByItsIdAsAnInteger) {
    MVTAccount::sharedInstance().setUserId("12");
    struct Case {
        const char* rowId;
        bool signedIn;
    };
    for (Case c : {Case{"12", true}, Case{"0012", true}, Case{"13", false}, Case{"", false}})
        EXPECT_EQ(MVTAccountManagementViewController::isSignedInAccount({{"userId", c.rowId}}), c.signedIn) << c.rowId;
    MVTAccount::sharedInstance().setUserId(std::nullopt);
    EXPECT_FALSE(MVTAccountManagementViewController::isSignedInAccount({{"userId", "0"}}));
}

TEST_F(RememberedAccountsTest, TouchingTheSignedInRowDoesNothing) {
    signInTeacherWithStudentRemembered();
    openList();
    const size_t before = authRequests();
    auto tabs = root();
    ASSERT_TRUE(driver_->tap(accountCell(0)));
    driver_->settle();
    EXPECT_EQ(authRequests(), before);
    EXPECT_EQ(root(), tabs);
    EXPECT_TRUE(UiDriver::isOnScreen(*list_->view()));
}

TEST_F(RememberedAccountsTest, SwitchingSignsInAgainWithoutTheSplashAndMovesEveryUserKeyedPlace) {
    signInTeacherWithStudentRemembered();
    openList();
    auto oldTabs = rootAs<MyTabBarController>();
    ASSERT_TRUE(driver_->tap(accountCell(1)));
    // At once, without a confirmation: the sign-in with the stored credentials, no splash.
    ASSERT_TRUE(pumpUntil([this] { return service().lastRequest("services/norvo/auth/student/student123").has_value(); }));
    EXPECT_EQ(app->imageView(), nullptr);
    EXPECT_EQ(oldTabs->refreshTimer(), nullptr);
    ASSERT_TRUE(pumpUntil([&] { return rootAs<MyTabBarController>() && root() != oldTabs; }));

    // The list went with the old root.
    EXPECT_FALSE(UiDriver::isOnScreen(*list_->view()));
    EXPECT_EQ(rootAs<MyTabBarController>()->presentedViewController(), nullptr);

    // The record, the saved user and the rows keyed by the user are the student's now.
    auto& account = MVTAccount::sharedInstance();
    EXPECT_EQ(account.userId(), std::optional<std::string>("2001"));
    EXPECT_EQ(account.userName(), std::optional<std::string>("student"));
    EXPECT_EQ(account.role(), std::optional<std::string>("student"));
    const Json saved = MVTtirraDataBase::selectSaveUserTableData();
    EXPECT_EQ(saved["userId"], "2001");
    EXPECT_EQ(saved["userPassword"], "student123");
    // The student's own reminder settings stay; the teacher's are untouched.
    EXPECT_EQ(MVTtirraDataBase::selectUserNewsSettingDataWith("2001")["defaultTime"], "120");
    EXPECT_EQ(MVTtirraDataBase::selectUserNewsSettingDataWith("1001")["defaultTime"], "60");
    EXPECT_EQ(rememberedIds(), (std::vector<std::string>{"1001", "2001"}));
    // Defaults keys and files named by the user id follow the record.
    EXPECT_EQ(MVTAddFeelingController::feelingTimeKey(account.userId().value_or("")), "2001FeelingTime");
    ASSERT_TRUE(pumpUntil([] { return std::filesystem::exists(Paths::documentsDirectory() / "2001_postList.txt"); }));

    // From the switch on, every request with a user id in its path carries the student's.
    service().clearRequests();
    rootAs<MyTabBarController>()->getpostMessage(true);
    ASSERT_TRUE(pumpUntil([this] { return service().lastRequest("services/norvo/postMessage/essay/2001/recipient").has_value(); }));
    for (const auto& r : service().requests()) EXPECT_EQ(r.path.find("/1001/"), std::string::npos) << r.path;
}

TEST_F(RememberedAccountsTest, ARefusedSwitchEndsOnTheLoginScreen) {
    signInTeacherWithStudentRemembered();
    // The student's password was changed elsewhere.
    service().setReply("GET", "services/norvo/auth/student/student123",
                       sample_service::Reply::json({{"success", 0}, {"message", "密码已修改"}}));
    openList();
    ASSERT_TRUE(driver_->tap(accountCell(1)));
    ASSERT_TRUE(pumpUntil([this] { return rootAs<MVTLoginViewController>() != nullptr; }));
    ASSERT_NE(driver_->alert(), nullptr);
    EXPECT_EQ(driver_->alert()->message(), "密码已修改");
    EXPECT_FALSE(UiDriver::isOnScreen(*list_->view()));
    EXPECT_EQ(rootAs<MVTLoginViewController>()->jidField()->text(), "student");
}

TEST_F(RememberedAccountsTest, ForgettingAnotherAccountDropsItsRowAndItsReminderSettings) {
    signInTeacherWithStudentRemembered();
    openList();
    swipeLeft(IndexPath::forRow(1, 0));
    auto cell = accountCell(1);
    ASSERT_TRUE(cell && cell->showingDeleteConfirmation());
    EXPECT_EQ(cell->deleteConfirmationButton()->currentTitle(), localized("删除"));
    ASSERT_TRUE(driver_->tap(cell->deleteConfirmationButton()));
    driver_->settle();

    EXPECT_EQ(rememberedIds(), std::vector<std::string>{"1001"});
    EXPECT_TRUE(MVTtirraDataBase::selectUserNewsSettingDataWith("2001").empty());
    EXPECT_FALSE(MVTtirraDataBase::selectUserNewsSettingDataWith("1001").empty());
    EXPECT_EQ(list_->accounts().size(), 1u);
    EXPECT_EQ(list_->myTable()->numberOfRowsInSection(0), 1);
    // No row of the list shows the forgotten account (the feed behind may show 李明's posts).
    std::function<bool(const View&)> shows = [&](const View& view) {
        if (view.displayedText() == "李明") return true;
        for (const auto& sub : view.subviews())
            if (shows(*sub)) return true;
        return false;
    };
    EXPECT_FALSE(shows(*list_->myTable()));
    EXPECT_EQ(driver_->alert(), nullptr);
}

TEST_F(RememberedAccountsTest, TheSignedInAccountCannotBeForgotten) {
    signInTeacherWithStudentRemembered();
    openList();
    swipeLeft(IndexPath::forRow(0, 0));
    auto cell = accountCell(0);
    ASSERT_TRUE(cell && cell->showingDeleteConfirmation());
    ASSERT_TRUE(driver_->tap(cell->deleteConfirmationButton()));
    auto alert = driver_->alert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), localized("当前用户不可删除"));
    EXPECT_EQ(alert->buttonTitleAtIndex(0), localized("知道了"));
    driver_->pressAlertButton(0);

    EXPECT_EQ(rememberedIds(), (std::vector<std::string>{"1001", "2001"}));
    EXPECT_EQ(MVTtirraDataBase::selectUserNewsSettingDataWith("1001")["defaultTime"], "60");
    EXPECT_EQ(list_->myTable()->numberOfRowsInSection(0), 2);
}

TEST_F(RememberedAccountsTest, TheAddRowOffersNoDeleteButton) {
    signInTeacherWithStudentRemembered();
    openList();
    swipeLeft(IndexPath::forRow(0, 1));
    EXPECT_FALSE(list_->myTable()->indexPathShowingDeleteConfirmation());
    EXPECT_EQ(list_->myTable()->numberOfRowsInSection(1), 1);
}

TEST_F(RememberedAccountsTest, AddingChecksRemembersWithDefaultSettingsAndSwitches) {
    signInTeacherWithStudentRemembered();
    openList();
    auto add = openAddScreen();
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->title(), "添加账号");
    typeInto(add->jidField(), "parent");
    typeInto(add->passwordField(), "parent123\n");  // Return in the password field adds
    ASSERT_TRUE(pumpUntil([this] { return rememberedIds().size() == 3; }));

    const Json row = MVTtirraDataBase::selectUsersTableData().at(2);
    EXPECT_EQ(row, (Json{{"userName", "parent"},
                         {"password", "parent123"},
                         {"name", "李明家长"},
                         {"userId", "3001"},
                         {"role", "parent"},
                         {"power", "0"},
                         {"schoolId", "1"}}));
    EXPECT_EQ(MVTtirraDataBase::selectUserNewsSettingDataWith("3001"),
              (Json{{"news", "1"}, {"chatNews", "1"}, {"MentionNews", "1"}, {"commenNews", "1"}, {"HMNews", "1"},
                    {"NotiNews", "1"}, {"feedNews", "1"}, {"defaultTime", "60"}}));
    auto sent = service().lastRequest("services/norvo/auth/parent/parent123");
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->queryValue("noSchoolLogin"), "true");
    EXPECT_TRUE(sent->hasServiceCredentials());

    // 0.1 s later the list shows the new account and the switch signs in as the parent.
    auto oldTabs = root();
    advance(MVTAddAccountViewController::kChangeUserDelay);
    ASSERT_TRUE(pumpUntil([&] { return root() != oldTabs && rootAs<MyTabBarController>(); }));
    EXPECT_EQ(MVTAccount::sharedInstance().userId(), std::optional<std::string>("3001"));
    EXPECT_EQ(list_->accounts().size(), 3u);
    EXPECT_FALSE(UiDriver::isOnScreen(*add->view()));
}

TEST_F(RememberedAccountsTest, TheListShowsTheNewAccountBeforeTheSwitchBegins) {
    signInTeacherWithStudentRemembered();
    auto add = std::make_shared<MVTAddAccountViewController>();
    auto spy = std::make_shared<SpyListDelegate>([this] { return authRequests(); });
    add->setDelegate(spy);
    driver_->show(myNavigationController::withRoot(add));
    add->jidField()->setText("parent");
    add->passwordField()->setText("parent123");
    const size_t before = authRequests();
    add->addAccount();
    // The overlay covers the screen while the check runs.
    ASSERT_NE(add->HUD(), nullptr);
    EXPECT_EQ(add->HUD()->superview(), add->view());
    ASSERT_TRUE(pumpUntil([this] { return rememberedIds().size() == 3; }));
    EXPECT_TRUE(spy->rows.empty());
    EXPECT_EQ(add->HUD(), nullptr);
    advance(MVTAddAccountViewController::kChangeUserDelay);
    ASSERT_EQ(spy->rows.size(), 1u);
    EXPECT_EQ(spy->rows[0]["userId"], "3001");
    // Told after the check and before the switch's own sign-in request.
    EXPECT_EQ(spy->authRequestsAtReload[0], before + 1);
    ASSERT_TRUE(pumpUntil([&] { return authRequests() == before + 2; }));
}

TEST_F(RememberedAccountsTest, AddingAnAccountThatIsAlreadyRememberedStoresNothing) {
    signInTeacherWithStudentRemembered();
    openList();
    // The signed-in account, and another one already in the list.
    for (auto [user, password] : {std::pair{"teacher", "teacher123"}, std::pair{"student", "student123"}}) {
        auto add = openAddScreen();
        ASSERT_NE(add, nullptr);
        add->jidField()->setText(user);
        add->passwordField()->setText(password);
        ASSERT_TRUE(driver_->tap(add->addButton()));
        ASSERT_TRUE(pumpUntil([this] { return driver_->alert() != nullptr; })) << user;
        EXPECT_EQ(driver_->alert()->message(), localized("已添加该用户")) << user;
        EXPECT_EQ(driver_->alert()->buttonTitleAtIndex(0), localized("知道了"));
        driver_->pressAlertButton(0);
        advance(1.0);
        EXPECT_EQ(rememberedIds(), (std::vector<std::string>{"1001", "2001"})) << user;
        EXPECT_EQ(MVTAccount::sharedInstance().userId(), std::optional<std::string>("1001"));
        add->goback();
        driver_->settle();
    }
    // The student's own settings were left as they were.
    EXPECT_EQ(MVTtirraDataBase::selectUserNewsSettingDataWith("2001")["chatNews"], "0");
}

TEST_F(RememberedAccountsTest, AnAddedAccountKeepsReminderSettingsItAlreadyHas) {
    signInTeacherWithStudentRemembered();
    MVTtirraDataBase::insertUserNewsSettingWithDic({{"news", "0"},
                                                    {"chatNews", "0"},
                                                    {"MentionNews", "0"},
                                                    {"commenNews", "1"},
                                                    {"HMNews", "0"},
                                                    {"NotiNews", "1"},
                                                    {"feedNews", "0"},
                                                    {"defaultTime", "300"}},
                                                   "3001");
    const Json before = MVTtirraDataBase::selectUserNewsSettingDataWith("3001");
    openList();
    auto add = openAddScreen();
    ASSERT_NE(add, nullptr);
    add->jidField()->setText("parent");
    add->passwordField()->setText("parent123");
    add->addAccount();
    ASSERT_TRUE(pumpUntil([this] { return rememberedIds().size() == 3; }));
    EXPECT_EQ(MVTtirraDataBase::selectUserNewsSettingDataWith("3001"), before);
}

TEST_F(RememberedAccountsTest, AUserNameWithSpacesIsStoredAndSentAsTyped) {
    signInTeacherWithStudentRemembered();
    const Json reply{{"userId", "4001"}, {"name", "李 明"}, {"role", "teacher"}, {"schoolId", "1"}};
    service().setReply("GET", "services/norvo/auth/li ming/p w", sample_service::Reply::json(reply));
    openList();
    auto add = openAddScreen();
    ASSERT_NE(add, nullptr);
    add->jidField()->setText("li ming");
    add->passwordField()->setText("p w");
    add->addAccount();
    ASSERT_TRUE(pumpUntil([this] { return rememberedIds().size() == 3; }));
    EXPECT_EQ(MVTtirraDataBase::selectUsersTableData().at(2)["userName"], "li ming");
    EXPECT_EQ(MVTtirraDataBase::selectUsersTableData().at(2)["password"], "p w");
    advance(MVTAddAccountViewController::kChangeUserDelay);
    // The check and then the switch, both with the name as typed.
    ASSERT_TRUE(pumpUntil([&] { return MVTAccount::sharedInstance().userId() == std::optional<std::string>("4001"); }));
    size_t sent = 0;
    for (const auto& r : service().requests())
        if (r.path == "/services/norvo/auth/li ming/p w") ++sent;
    EXPECT_EQ(sent, 2u);
    EXPECT_EQ(MVTtirraDataBase::selectSaveUserTableData()["userName"], "li ming");
}

TEST_F(RememberedAccountsTest, AddingFailuresStoreNothingAndSayWhy) {
    signInTeacherWithStudentRemembered();
    service().setReply("GET", "services/norvo/auth/broken/pw", sample_service::Reply::json({{"error", "x"}}, 500));
    openList();
    auto add = openAddScreen();
    ASSERT_NE(add, nullptr);
    struct Case {
        const char* what;
        const char* user;
        const char* password;
        bool offline;
        std::string banner;  // expected banner, or empty
        std::string alert;   // expected alert message, or empty
        bool sent;
    };
    const Case cases[] = {
        {"empty user name", "", "pw", false, "", "", false},
        {"empty password", "teacher", "", false, "", "", false},
        {"no network", "parent", "parent123", true, localized("没有网络,请检查网络连接"), "", false},
        {"request fails", "broken", "pw", false, localized("请求失败,请稍后再试"), "", true},
        {"refused", "parent", "wrong", false, "", localized("用户名或密码错误"), true},
    };
    for (const auto& c : cases) {
        service().clearRequests();
        Reachability::setOverride(c.offline ? ReachabilityState::offline() : ReachabilityState::viaWifi());
        add->jidField()->setText(c.user);
        add->passwordField()->setText(c.password);
        add->addAccount();
        if (!c.banner.empty()) {
            ASSERT_TRUE(pumpUntil([&] { return bannerText() == c.banner; })) << c.what;
        } else if (!c.alert.empty()) {
            ASSERT_TRUE(pumpUntil([&] { return driver_->alert() != nullptr; })) << c.what;
            EXPECT_EQ(driver_->alert()->title(), "") << c.what;
            EXPECT_EQ(driver_->alert()->message(), c.alert) << c.what;
            EXPECT_EQ(driver_->alert()->buttonTitleAtIndex(0), localized("确定")) << c.what;
            driver_->pressAlertButton(0);
        } else {
            advance(1.0);
        }
        EXPECT_EQ(authRequests() > 0, c.sent) << c.what;
        EXPECT_EQ(add->HUD(), nullptr) << c.what;
        EXPECT_EQ(rememberedIds(), (std::vector<std::string>{"1001", "2001"})) << c.what;
        EXPECT_EQ(MVTAccount::sharedInstance().userId(), std::optional<std::string>("1001")) << c.what;
        // Let a banner go down before the next case.
        advance(3.0);
    }
}

TEST_F(RememberedAccountsTest, BackButtonsPopTheAddScreenAndDismissTheList) {
    signInTeacherWithStudentRemembered();
    openList();
    auto add = openAddScreen();
    ASSERT_NE(add, nullptr);
    auto navigation = list_->navigationController();
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
    add->goback();
    driver_->settle();
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    list_->goback();
    driver_->settle();
    EXPECT_EQ(rootAs<MyTabBarController>()->presentedViewController(), nullptr);
    const auto& pages = StatisticsKit::shared().pageEvents();
    EXPECT_NE(std::find(pages.begin(), pages.end(), std::make_pair(std::string("end"), std::string("账号管理"))),
              pages.end());
}

}  // namespace
