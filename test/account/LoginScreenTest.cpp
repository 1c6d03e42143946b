#include "support/ServiceFixture.h"

#include "account/MVTLoginViewController.h"
#include "account/MVTRegisterViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/Application.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"

using namespace platform;

namespace {

class LoginScreenTest : public testing_support::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        Screen::mainScreen().reset();
        InternationalControl::setUserlanguage("zh-Hans", false);
        // Signing in goes through the application's delegate, as when the app runs (an
        // earlier test of the same program may have cleared it).
        Application::shared().setDelegate(MVTAppDelegate::sharedAppDelegate());
        driver_ = std::make_unique<UiDriver>();
        login_ = std::make_shared<MVTLoginViewController>();
        driver_->show(login_);
        driver_->settle();
    }
    void TearDown() override {
        driver_.reset();
        login_.reset();
        ServiceTest::TearDown();
    }
    // Taps a field and types into it the way a user would.
    void typeInto(const std::shared_ptr<TextField>& field, const std::string& text) {
        ASSERT_TRUE(driver_->tap(field));
        ASSERT_TRUE(field->isFirstResponder());
        driver_->type(text);
    }
    size_t authRequests() const {
        size_t n = 0;
        for (auto& r : service_->requests())
            if (r.path.rfind("/services/norvo/auth/", 0) == 0) ++n;
        return n;
    }

    std::unique_ptr<UiDriver> driver_;
    std::shared_ptr<MVTLoginViewController> login_;
};

TEST_F(LoginScreenTest, TheFormStandsTopToBottomWithoutOverlapsAndLowerOnTallScreens) {
    struct Case {
        Size screen;
        double logoY;
    };
    for (Case c : {Case{{320, 568}, 121}, Case{{320, 480}, 91}}) {
        Screen::mainScreen().setSize(c.screen);
        auto screen = std::make_shared<MVTLoginViewController>();
        driver_->show(screen);
        auto logo = screen->view()->subviews().at(1);
        EXPECT_EQ(logo->frame(), Rect(53, c.logoY, 214, 45)) << c.screen.height;
        const Rect jid = screen->jidField()->frame(), pw = screen->passwordField()->frame();
        const Rect bt = screen->loginbt()->frame(), reg = screen->registerButton()->frame();
        EXPECT_EQ(jid.size, Size(278, 39));
        EXPECT_EQ(pw.minY(), jid.maxY() + 10);
        EXPECT_EQ(bt.minY(), pw.maxY() + 10);
        EXPECT_EQ(reg.minY(), bt.maxY() + 20);
        EXPECT_EQ(reg.size, Size(160, 20));
        EXPECT_LT(logo->frame().maxY(), jid.minY());
        EXPECT_LE(reg.maxY(), c.screen.height);
        for (auto& r : {jid, pw, bt, reg}) EXPECT_DOUBLE_EQ(r.midX(), 160) << c.screen.height;
    }
}

TEST_F(LoginScreenTest, ShowsItsTextsInTheInterfaceLanguage) {
    for (auto text : {"登录", "我要注册"}) EXPECT_TRUE(driver_->byText(text)) << text;
    EXPECT_TRUE(driver_->byPlaceholder("用户名/邮箱/手机号"));
    EXPECT_TRUE(driver_->byPlaceholder("密 码"));
    EXPECT_TRUE(login_->passwordField()->isSecureTextEntry());
    EXPECT_EQ(login_->jidField()->keyboardType(), KeyboardType::EmailAddress);

    InternationalControl::setUserlanguage("en", false);
    auto english = std::make_shared<MVTLoginViewController>();
    driver_->show(english);
    EXPECT_TRUE(driver_->byText("Sign in"));
    EXPECT_TRUE(driver_->byText("Create an account"));
    EXPECT_TRUE(driver_->byPlaceholder("Password"));
}

TEST_F(LoginScreenTest, LoadingWritesTheServerKeys) {
    auto& defaults = UserDefaults::standard();
    EXPECT_EQ(defaults.stringForKey(kXmppServerKey), MVTLoginViewController::kDefaultServer);
    EXPECT_EQ(defaults.stringForKey(kHttpServerKey), MVTLoginViewController::kDefaultServer);
    EXPECT_EQ(defaults.stringForKey(kXmppPortKey), "5222");
    EXPECT_EQ(defaults.stringForKey(kHttpPortKey), "80");
    EXPECT_FALSE(defaults.hasKey(kAlertMusicKey));
}

TEST_F(LoginScreenTest, ReturnInTheNameFieldMovesToThePassword) {
    typeInto(login_->jidField(), "li lei\n");
    EXPECT_TRUE(login_->passwordField()->isFirstResponder());
    EXPECT_EQ(authRequests(), 0u);
    EXPECT_EQ(login_->jidField()->text(), "li lei");
}

TEST_F(LoginScreenTest, EmptyFieldsShowTheAlertAndSendNothing) {
    struct Case {
        const char* name;
        const char* password;
        const char* nameAfter;
    };
    for (Case c : {Case{"", "secret", ""}, Case{"   ", "secret", ""}, Case{"li lei", "", "lilei"}}) {
        login_->setName(c.name, c.password);
        ASSERT_TRUE(driver_->tap(login_->loginbt()));
        auto alert = driver_->alert();
        ASSERT_TRUE(alert) << c.name;
        EXPECT_EQ(alert->message(), "请输入用户名和密码");
        EXPECT_EQ(alert->numberOfButtons(), 1);
        EXPECT_EQ(alert->buttonTitleAtIndex(0), "确定");
        EXPECT_TRUE(driver_->pressAlertButton(0));
        EXPECT_FALSE(driver_->alert());
        EXPECT_EQ(login_->jidField()->text(), c.nameAfter);
        EXPECT_EQ(login_->passwordField()->text(), c.password);
        EXPECT_TRUE(login_->loginbt()->isUserInteractionEnabled());
    }
    EXPECT_EQ(authRequests(), 0u);
    // The attempt stores the default tone list even though it stopped at the alert.
    EXPECT_EQ(UserDefaults::standard().arrayForKey(kAlertMusicKey), Json::array({"0", "常用", "msg.caf"}));
}

TEST_F(LoginScreenTest, AToneListAlreadyChosenIsKept) {
    auto& defaults = UserDefaults::standard();
    for (Json stored : {Json::array({"2", "铃声", "bell.caf"}), Json::array(), Json("text")}) {
        defaults.setObject(kAlertMusicKey, stored);
        login_->setName("", "");
        login_->login();
        driver_->pressAlertButton(0);
        const Json expected = stored.is_array() && !stored.empty() ? stored : Json::array({"0", "常用", "msg.caf"});
        EXPECT_EQ(defaults.arrayForKey(kAlertMusicKey), expected) << stored.dump();
    }
}

TEST_F(LoginScreenTest, ReturnInThePasswordFieldSignsInWithTheSpacesTakenOutOfTheName) {
    MVTAppDelegate::sharedAppDelegate()->setWindow(driver_->windowRef());
    typeInto(login_->jidField(), " li lei ");
    ASSERT_TRUE(driver_->tap(login_->passwordField()));
    driver_->type("  pass word\n");
    EXPECT_EQ(login_->jidField()->text(), "lilei");
    ASSERT_TRUE(pumpUntil([&] { return authRequests() == 1; }));
    // The password goes as typed, spaces included.
    auto request = service_->lastRequest("/services/norvo/auth/lilei/  pass word");
    ASSERT_TRUE(request) << service_->requests().back().path;
    EXPECT_EQ(request->queryValue("noSchoolLogin"), "true");
}

TEST_F(LoginScreenTest, TheRoleSheetOpensRegistrationForTheChosenRole) {
    struct Case {
        long index;
        const char* role;
    };
    for (Case c : {Case{0, "teacher"}, Case{1, "student"}, Case{2, "parent"}}) {
        ASSERT_TRUE(driver_->tap(login_->registerButton()));
        auto sheet = driver_->sheet();
        ASSERT_TRUE(sheet);
        EXPECT_EQ(sheet->title(), "请选择角色");
        ASSERT_EQ(sheet->numberOfButtons(), 4);
        EXPECT_EQ(sheet->buttonTitleAtIndex(0), "教师");
        EXPECT_EQ(sheet->buttonTitleAtIndex(1), "学生");
        EXPECT_EQ(sheet->buttonTitleAtIndex(2), "家长");
        EXPECT_EQ(sheet->cancelButtonIndex(), 3);
        EXPECT_TRUE(driver_->pressSheetButton(c.index));
        driver_->settle();
        auto stack = std::dynamic_pointer_cast<NavigationController>(login_->presentedViewController());
        ASSERT_TRUE(stack) << c.role;
        auto registration = std::dynamic_pointer_cast<MVTRegisterViewController>(stack->topViewController());
        ASSERT_TRUE(registration);
        EXPECT_EQ(registration->registerRole(), c.role);
        stack->dismissViewController(false);
        driver_->settle();
    }
}

TEST_F(LoginScreenTest, CancellingTheRoleSheetLeavesTheScreenAsItWas) {
    ASSERT_TRUE(driver_->tap(login_->registerButton()));
    EXPECT_TRUE(driver_->pressSheetButton(3));
    driver_->settle();
    EXPECT_FALSE(login_->presentedViewController());
    EXPECT_FALSE(driver_->sheet());
    EXPECT_EQ(driver_->window().rootViewController(), login_);
}

TEST_F(LoginScreenTest, TheKeyboardRaisesTheViewOnceAndATouchOutsideBringsItBack) {
    const double restingY = login_->view()->center().y;
    typeInto(login_->jidField(), "abc");
    driver_->settle();
    EXPECT_EQ(login_->view()->center(), Point(160, 190));
    EXPECT_FLOAT_EQ(login_->selfViewCenterY(), static_cast<float>(restingY));

    // Moving to the other field keeps the keyboard up and the view where it is.
    ASSERT_TRUE(driver_->tap(login_->passwordField()));
    driver_->settle();
    EXPECT_EQ(login_->view()->center(), Point(160, 190));

    // A touch on the background (of the raised view) closes the keyboard.
    ASSERT_TRUE(driver_->tapPoint({20, 100}));
    driver_->settle();
    EXPECT_FALSE(Keyboard::shared().isVisible());
    EXPECT_EQ(login_->view()->center(), Point(160, restingY));
    EXPECT_EQ(login_->selfViewCenterY(), 0);
}

TEST_F(LoginScreenTest, AKeyboardHidingThatNeverRaisedTheViewLeavesItInPlace) {
    const Point resting = login_->view()->center();
    NotificationCenter::defaultCenter().postNotification(kKeyboardWillHideNotification);
    driver_->settle();
    EXPECT_EQ(login_->view()->center(), resting);
    EXPECT_EQ(login_->selfViewCenterY(), 0);
}

TEST_F(LoginScreenTest, ScreenshotShowsTheForm) {
    login_->setName("lilei", "secret");
    auto file = std::filesystem::path(testing::TempDir()) / "login-screen.png";
    ASSERT_TRUE(Renderer::writePNG(driver_->window(), file));
    EXPECT_GT(std::filesystem::file_size(file), 1000u);
}

}  // namespace
