// Registration, step 2: the form by role, its checks, the "register/<role>" request and the
// two ends of a registration (signed in on the tab bar, or waiting for the school's
// approval back on the login screen), against the sample service.

#include "RegisterFixture.h"

#include "account/MVTLoginViewController.h"
#include "account/MVTPerfectInfoViewController.h"
#include "account/MVTRegisterViewController.h"
#include "account/MVTSearchSchoolViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTtirraDataBase.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MyTabBarController.h"

#include "platform/Reachability.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/Window.h"

using namespace platform;
using sample_service::Reply;

namespace {

class RegisterStepTwoTest : public testing_support::RegisterTest {
protected:
    // The login screen as root, step 1 presented over it, and step 2 pushed by step 1 as
    // after an accepted account check.
    std::shared_ptr<MVTPerfectInfoViewController> open(const std::string& role, const std::string& account,
                                                        const std::string& password = "secret1") {
        auto first = openStepOne(role);
        if (!first) return nullptr;
        first->accountField()->setText(account);
        first->passwordField()->setText(password);
        first->goToPerfectInfo();
        driver_->settle();
        return std::dynamic_pointer_cast<MVTPerfectInfoViewController>(stack_->topViewController());
    }
    // Strips are the only labels straight in the screen's view.
    static size_t strips(const std::shared_ptr<MVTPerfectInfoViewController>& screen) {
        size_t n = 0;
        for (const auto& view : screen->view()->subviews())
            if (std::dynamic_pointer_cast<Label>(view)) ++n;
        return n;
    }
    size_t registerRequests() const {
        size_t n = 0;
        for (const auto& r : service_->requests())
            if (r.path.rfind("/services/norvo/register/", 0) == 0) ++n;
        return n;
    }
    std::shared_ptr<MyTabBarController> tabBar() const {
        return std::dynamic_pointer_cast<MyTabBarController>(driver_->window().rootViewController());
    }
    static Json formOf(const sample_service::RecordedRequest& request) {
        Json form = Json::object();
        for (const auto& [key, value] : request.form) form[key] = value;
        return form;
    }
};

TEST_F(RegisterStepTwoTest, TheRowsByRoleAndWhereTheKeyboardGoes) {
    struct Case {
        const char* role;
        const char* third;  // placeholder or text of row 3
        int optionalMarks;
    };
    for (Case c : {Case{"teacher", "选择学校", 0}, Case{"student", "手机号（可以作为登录账号）", 2},
                   Case{"parent", "家长准入码（登录孩子网页端可见）", 0}}) {
        auto screen = open(c.role, "13800138000");
        ASSERT_TRUE(screen) << c.role;
        EXPECT_EQ(screen->title(), "完善信息");
        EXPECT_EQ(screen->nameField()->placeholder(), "真实姓名");
        EXPECT_EQ(screen->emailField()->placeholder(), "邮箱（可作为登录账号）");
        EXPECT_TRUE(driver_->byPlaceholder(c.third) || driver_->byText(c.third)) << c.role;
        EXPECT_EQ(static_cast<int>(driver_->findAll([](const View& v) { return v.displayedText() == "选填"; }).size()),
                  c.optionalMarks);
        EXPECT_EQ(screen->nameField()->superview()->frame(), Rect(10, 10, 300, 44));
        EXPECT_EQ(screen->emailField()->superview()->frame(), Rect(10, 64, 300, 44));
        EXPECT_EQ(screen->doneButton()->frame(), Rect(10, 172, 300, 44));
        EXPECT_EQ(screen->doneButton()->currentTitle(), "完成");
        EXPECT_EQ(!!screen->schoolLa(), std::string(c.role) == "teacher");
        EXPECT_EQ(!!screen->phoneField(), std::string(c.role) == "student");
        EXPECT_EQ(!!screen->interField(), std::string(c.role) == "parent");

        // 0.6 seconds after loading: the name for students, the access code for parents,
        // nothing for teachers (the settle above has already passed that time).
        const std::string role = c.role;
        EXPECT_EQ(screen->nameField()->isFirstResponder(), role == "student") << role;
        if (screen->interField()) {
            EXPECT_TRUE(screen->interField()->isFirstResponder());
        }
        stack_->dismissViewController(false);
    }
}

TEST_F(RegisterStepTwoTest, ReturnWalksTheFieldsInTheOrderOfTheRole) {
    auto student = open("student", "lilei");
    EXPECT_TRUE(student->nameField()->isFirstResponder());
    driver_->type("李雷\n");
    EXPECT_TRUE(student->phoneField()->isFirstResponder());
    driver_->type("\n");
    EXPECT_TRUE(student->emailField()->isFirstResponder());
    driver_->type("\n");
    EXPECT_FALSE(student->emailField()->isFirstResponder());
    stack_->dismissViewController(false);

    auto parent = open("parent", "13800138000");
    EXPECT_TRUE(parent->interField()->isFirstResponder());
    driver_->type("LM2001\n");
    EXPECT_TRUE(parent->nameField()->isFirstResponder());
    driver_->type("\n");
    EXPECT_TRUE(parent->emailField()->isFirstResponder());
    stack_->dismissViewController(false);

    auto teacher = open("teacher", "13800138000");
    ASSERT_TRUE(driver_->tap(teacher->nameField()));
    driver_->type("\n");
    EXPECT_TRUE(teacher->emailField()->isFirstResponder());
    driver_->type("\n");
    EXPECT_FALSE(teacher->emailField()->isFirstResponder());
    EXPECT_EQ(registerRequests(), 0u);
}

TEST_F(RegisterStepTwoTest, EachFailedCheckShowsItsStripInOrderAndSendsNothing) {
    struct Case {
        const char* role;
        bool school;
        const char* code;
        const char* name;
        const char* mobile;
        const char* email;
        const char* strip;
    };
    const Case cases[] = {
        // The school comes before everything else.
        {"teacher", false, "", "", "", "", "请加入学校"},
        {"teacher", false, "", "王老师", "", "wang@example.com", "请加入学校"},
        {"parent", false, "", "", "", "", "请输入家长准入码"},
        {"parent", false, "   ", "李爸爸", "", "li@example.com", "请输入家长准入码"},
        {"student", false, "", "  ", "", "", "请输入真实姓名"},
        {"teacher", true, "", "", "", "", "请输入真实姓名"},
        {"student", false, "", "李雷", "138 00138000", "", "请输入真实的手机号"},
        {"student", false, "", "李雷", "12345", "", "请输入真实的手机号"},
        {"teacher", true, "", "王老师", "", " ", "请输入邮箱"},
        {"parent", false, "LM2001", "李爸爸", "", "", "请输入邮箱"},
        {"parent", false, "LM2001", "李爸爸", "", "li @example.com", "请输入真实的邮箱"},
        {"student", false, "", "李雷", "", "lilei", "请输入真实的邮箱"},
    };
    for (const Case& c : cases) {
        auto screen = open(c.role, "13800138000");
        ASSERT_TRUE(screen);
        if (c.school) screen->didSelectedSchoolWith({{"id", 1}, {"name", "青禾实验小学"}});
        if (auto field = screen->interField()) field->setText(c.code);
        if (auto field = screen->phoneField()) field->setText(c.mobile);
        screen->nameField()->setText(c.name);
        screen->emailField()->setText(c.email);
        ASSERT_TRUE(driver_->tap(screen->doneButton()));
        auto shown = strip(screen, c.strip);
        ASSERT_TRUE(shown) << c.role << " " << c.strip << " / " << c.name << " " << c.email;
        EXPECT_EQ(shown->frame(), Rect(5, 5, 310, 26));
        EXPECT_EQ(shown->cornerRadius(), 4);
        EXPECT_FALSE(screen->HUD());
        // The fields keep what was typed.
        EXPECT_EQ(screen->nameField()->text(), c.name);
        EXPECT_EQ(screen->emailField()->text(), c.email);
        stack_->dismissViewController(false);
    }
    EXPECT_EQ(registerRequests(), 0u);
}

TEST_F(RegisterStepTwoTest, TheParametersOfEachRoleAsTyped) {
    struct Case {
        const char* role;
        const char* account;
        const char* code;
        const char* mobile;
        const char* email;
        Json expected;
    };
    const Case cases[] = {
        {"student", "lilei", "", "", "", {{"username", "lilei"}, {"password", "secret1"}, {"name", "李 雷"}}},
        {"student",
         "lilei",
         "",
         "13800138000",
         "li@example.com",
         {{"username", "lilei"},
          {"password", "secret1"},
          {"name", "李 雷"},
          {"mobile", "13800138000"},
          {"email", "li@example.com"}}},
        {"teacher",
         "13800138000",
         "",
         "",
         "wang@example.com",
         {{"mobile", "13800138000"},
          {"password", "secret1"},
          {"schoolId", "1"},
          {"name", "李 雷"},
          {"email", "wang@example.com"}}},
        {"parent",
         "15912345678",
         " LM2001",
         "",
         "li@example.com",
         {{"mobile", "15912345678"},
          {"password", "secret1"},
          {"childCode", " LM2001"},
          {"name", "李 雷"},
          {"email", "li@example.com"}}},
    };
    for (const Case& c : cases) {
        const std::string path = std::string("services/norvo/register/") + c.role;
        service_->setReply("POST", path, Reply::json({{"success", 0}, {"message", "收到"}}));
        auto screen = open(c.role, c.account);
        if (screen->schoolLa()) screen->didSelectedSchoolWith({{"id", 1}, {"name", "青禾实验小学"}});
        if (auto field = screen->interField()) field->setText(c.code);
        if (auto field = screen->phoneField()) field->setText(c.mobile);
        screen->nameField()->setText("李 雷");
        screen->emailField()->setText(c.email);
        ASSERT_TRUE(driver_->tap(screen->doneButton()));
        ASSERT_TRUE(pumpUntil([&] { return strip(screen, "收到") != nullptr; })) << c.role;
        auto request = service_->lastRequest(path);
        ASSERT_TRUE(request);
        EXPECT_EQ(request->method, "POST");
        EXPECT_TRUE(request->hasServiceCredentials());
        EXPECT_EQ(formOf(*request), c.expected) << c.role;
        stack_->dismissViewController(false);
    }
}

TEST_F(RegisterStepTwoTest, TheSchoolRowOpensTheSearchAsAPickerAndTakesTheChosenSchool) {
    auto screen = open("teacher", "13800138000");
    EXPECT_TRUE(screen->schoolId().empty());
    ASSERT_TRUE(driver_->tap(screen->schoolButton()));
    driver_->settle();
    auto search = std::dynamic_pointer_cast<MVTSearchSchoolViewController>(stack_->topViewController());
    ASSERT_TRUE(search);
    EXPECT_TRUE(search->isRegistering());
    EXPECT_FALSE(search->isLogining());
    EXPECT_EQ(search->delegate().get(), static_cast<MVTSearchSchoolDelegate*>(screen.get()));

    search->delegate()->didSelectedSchoolWith({{"id", 7}, {"name", "东湖中学"}});
    search->goback();
    driver_->settle();
    EXPECT_EQ(stack_->topViewController(), screen);
    EXPECT_EQ(screen->schoolLa()->text(), "东湖中学");
    EXPECT_EQ(screen->schoolId(), "7");
    // Choosing again replaces both.
    screen->didSelectedSchoolWith({{"id", "1"}, {"name", "青禾实验小学"}});
    EXPECT_EQ(screen->schoolLa()->text(), "青禾实验小学");
    EXPECT_EQ(screen->schoolId(), "1");
}

TEST_F(RegisterStepTwoTest, ANewParentIsSignedInFromTheReplyAndLandsOnTheTabBar) {
    auto screen = open("parent", "15912345678", "secret1");
    screen->interField()->setText("LM2001");
    screen->nameField()->setText("李雷爸爸");
    screen->emailField()->setText("li@example.com");
    ASSERT_TRUE(driver_->tap(screen->doneButton()));
    EXPECT_TRUE(screen->HUD() && screen->HUD()->isShowing());
    ASSERT_TRUE(pumpUntil([&] { return tabBar() != nullptr; }));
    driver_->settle();

    auto& account = MVTAccount::sharedInstance();
    EXPECT_EQ(account.userName(), "15912345678");
    EXPECT_EQ(account.password(), "secret1");
    EXPECT_EQ(account.name(), "李雷爸爸");
    EXPECT_EQ(account.role(), "parent");
    EXPECT_EQ(account.schoolId(), "1");
    EXPECT_EQ(account.classId(), "11");
    const Json saved = MVTtirraDataBase::selectSaveUserTableData();
    EXPECT_EQ(saved.value("userName", ""), "15912345678");
    EXPECT_EQ(saved.value("userPassword", ""), "secret1");
    EXPECT_EQ(saved.value("userId", ""), account.userId().value_or("?"));
    // The registration screens went with the login screen.
    EXPECT_FALSE(UiDriver::isOnScreen(*screen->view()));
    EXPECT_FALSE(driver_->byText("完善信息"));
    // The service keeps the new user.
    EXPECT_TRUE(service_->data().userWithCredentials("15912345678", "secret1"));
}

TEST_F(RegisterStepTwoTest, ATeacherWaitingForApprovalIsTakenBackToAnEmptyLoginScreen) {
    auto screen = open("teacher", "13800138000");
    screen->didSelectedSchoolWith({{"id", "1"}, {"name", "青禾实验小学"}});
    screen->nameField()->setText("赵老师");
    screen->emailField()->setText("zhao@example.com");
    ASSERT_TRUE(driver_->tap(screen->doneButton()));
    ASSERT_TRUE(pumpUntil([&] { return driver_->alert() != nullptr; }));
    auto alert = driver_->alert();
    EXPECT_EQ(alert->title(), "加入的学校正在审核");
    EXPECT_EQ(alert->message(), "");
    EXPECT_EQ(alert->tag(), MVTPerfectInfoViewController::kApprovalAlertTag);
    ASSERT_EQ(alert->numberOfButtons(), 1);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "确定");
    EXPECT_FALSE(screen->HUD()->isShowing());

    ASSERT_TRUE(driver_->pressAlertButton(0));
    advance(0.5);
    EXPECT_EQ(driver_->window().rootViewController(), login_);
    advance(0.1);
    auto fresh = std::dynamic_pointer_cast<MVTLoginViewController>(driver_->window().rootViewController());
    ASSERT_TRUE(fresh);
    EXPECT_NE(fresh, login_);
    EXPECT_EQ(fresh->jidField()->text(), "");
    EXPECT_EQ(fresh->passwordField()->text(), "");
    EXPECT_FALSE(fresh->presentedViewController());
    EXPECT_FALSE(UiDriver::isOnScreen(*screen->view()));
    EXPECT_FALSE(tabBar());
}

TEST_F(RegisterStepTwoTest, RepliesThatDoNotSignIn) {
    struct Case {
        Reply reply;
        const char* strip;  // nullptr: no strip at all
    };
    const Case cases[] = {
        {Reply::json({{"success", 0}, {"message", "该账号已被注册"}}), "该账号已被注册"},
        {Reply::json({{"success", "0"}}), "注册失败"},
        // Any other "success": nothing happens, the form stays.
        {Reply::json({{"success", 1}, {"message", "已受理"}}), nullptr},
        // No reply object.
        {Reply::text("", "application/json"), nullptr},
        // A failed request.
        {Reply::text("oops", "image/png"), "注册失败"},
        // A reply without "success" that is no usable account does not sign in.
        {Reply::json({{"userId", "9"}, {"role", "student"}}), "注册失败"},
        {Reply::json({{"name", "李雷"}, {"userId", nullptr}, {"role", "student"}}), "注册失败"},
        {Reply::json({{"name", "李雷"}, {"userId", "9"}, {"role", ""}}), "注册失败"},
        {Reply::json({{"approve", 0}, {"success", nullptr}}), "注册失败"},
    };
    for (const Case& c : cases) {
        service_->setReply("POST", "services/norvo/register/student", c.reply);
        auto screen = open("student", "lilei");
        screen->nameField()->setText("李雷");
        ASSERT_TRUE(driver_->tap(screen->doneButton()));
        ASSERT_TRUE(pumpUntil([&] { return !screen->HUD()->isShowing(); })) << c.reply.body;
        if (c.strip)
            EXPECT_TRUE(strip(screen, c.strip)) << c.reply.body;
        else
            EXPECT_EQ(strips(screen), 0u) << c.reply.body;
        EXPECT_EQ(stack_->topViewController(), screen);
        EXPECT_EQ(driver_->window().rootViewController(), login_);
        EXPECT_FALSE(driver_->alert());
        EXPECT_EQ(screen->nameField()->text(), "李雷");
        EXPECT_FALSE(MVTAccount::sharedInstance().userId().has_value()) << c.reply.body;
        stack_->dismissViewController(false);
    }
}

TEST_F(RegisterStepTwoTest, AnApprovalOfZeroWithoutSuccessIsTheNewAccount) {
    service_->setReply("POST", "services/norvo/register/student",
                       Reply::json({{"approve", false},
                                    {"name", "李雷"},
                                    {"userId", "2100"},
                                    {"role", "student"},
                                    {"schoolId", "1"},
                                    {"classIds", "11"}}));
    auto screen = open("student", "lilei");
    screen->nameField()->setText("李雷");
    screen->toDone();
    ASSERT_TRUE(pumpUntil([&] { return tabBar() != nullptr; }));
    EXPECT_EQ(MVTAccount::sharedInstance().userId(), "2100");
    EXPECT_EQ(MVTAccount::sharedInstance().userName(), "lilei");
}

TEST_F(RegisterStepTwoTest, ANewStudentWithoutASchoolIsAskedToJoinAClass) {
    auto screen = open("student", "hanmeimei");
    screen->nameField()->setText("韩梅梅");
    screen->toDone();
    ASSERT_TRUE(pumpUntil([&] {
        auto stack = std::dynamic_pointer_cast<NavigationController>(driver_->window().rootViewController());
        return stack && stack->topViewController()->className() == "MVTInterClassViewController";
    }));
    EXPECT_EQ(MVTAccount::sharedInstance().role(), "student");
}

TEST_F(RegisterStepTwoTest, OfflineShowsTheBannerAndSendsNothing) {
    auto screen = open("student", "lilei");
    screen->nameField()->setText("李雷");
    Reachability::setOverride(ReachabilityState::offline());
    screen->toDone();
    ASSERT_TRUE(app_->netWorkLa());
    EXPECT_EQ(app_->netWorkLa()->text(), "没有网络,请检查网络连接");
    EXPECT_FALSE(screen->HUD());
    EXPECT_EQ(registerRequests(), 0u);
}

}  // namespace
