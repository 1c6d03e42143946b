// Registration, step 1: the account and password checks by role, the "registerValidate"
// request and what its reply leads to, against the sample service.

#include "RegisterFixture.h"

#include "account/MVTLoginViewController.h"
#include "account/MVTPerfectInfoViewController.h"
#include "account/MVTRegisterViewController.h"
#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/Reachability.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
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

constexpr const char* kValidatePath = "/services/norvo/registerValidate";

class RegisterStepOneTest : public testing_support::RegisterTest {
protected:
    std::shared_ptr<MVTRegisterViewController> open(const std::string& role) { return openStepOne(role); }
    void fill(const std::shared_ptr<MVTRegisterViewController>& screen, const std::string& account,
              const std::string& password) {
        screen->accountField()->setText(account);
        screen->passwordField()->setText(password);
    }
    size_t validateRequests() const {
        size_t n = 0;
        for (const auto& r : service_->requests())
            if (r.path == kValidatePath) ++n;
        return n;
    }
    std::shared_ptr<MVTPerfectInfoViewController> stepTwo() const {
        return stack_ ? std::dynamic_pointer_cast<MVTPerfectInfoViewController>(stack_->topViewController()) : nullptr;
    }
};

TEST_F(RegisterStepOneTest, TheFormByRoleWithTheKeyboardOnTheAccountAfterAQuarterSecond) {
    struct Case {
        const char* role;
        const char* placeholder;
    };
    for (Case c : {Case{"student", "用户名（用于登录的账号）"}, Case{"teacher", "手机号（可以作为登录用户名）"},
                   Case{"parent", "手机号（可以作为登录用户名）"}}) {
        auto screen = std::make_shared<MVTRegisterViewController>();
        screen->setRegisterRole(c.role);
        driver_->show(screen);
        EXPECT_EQ(screen->title(), "注册");
        EXPECT_EQ(screen->accountField()->placeholder(), c.placeholder) << c.role;
        EXPECT_EQ(screen->passwordField()->placeholder(), "登录密码");
        EXPECT_TRUE(screen->passwordField()->isSecureTextEntry());
        EXPECT_EQ(screen->accountField()->keyboardType(), KeyboardType::ASCIICapable);
        EXPECT_EQ(screen->nextButton()->currentTitle(), "下一步");
        const Rect account = screen->accountField()->superview()->frame();
        const Rect password = screen->passwordField()->superview()->frame();
        EXPECT_EQ(account, Rect(10, 10, 300, 44));
        EXPECT_EQ(password.minY(), account.maxY() + 10);
        EXPECT_EQ(screen->nextButton()->frame(), Rect(10, password.maxY() + 10, 300, 44));

        EXPECT_FALSE(screen->accountField()->isFirstResponder());
        advance(0.24);
        EXPECT_TRUE(screen->accountField()->isFirstResponder()) << c.role;
    }
}

TEST_F(RegisterStepOneTest, EachFailedCheckShowsItsStripAndSendsNothing) {
    struct Case {
        const char* role;
        const char* account;
        const char* password;
        const char* strip;
        const char* passwordAfter;
    };
    const Case cases[] = {
        {"student", "   ", "secret1", "请输入用户名", "secret1"},
        {"teacher", "", "secret1", "请输入手机号", "secret1"},
        {"parent", "  ", "secret1", "请输入手机号", "secret1"},
        // Five characters and any number of spaces are too short.
        {"student", "lilei", " a b c d e   ", "请输入密码，不少于6位(空格无效)", "abcde"},
        {"teacher", "13800138000", "", "请输入密码，不少于6位(空格无效)", ""},
        // The mobile check reads the account as typed: spaces inside fail it.
        {"teacher", "138 0013 8000", "secret1", "请输入真实的手机号", "secret1"},
        {"parent", "lilei", "secret1", "请输入真实的手机号", "secret1"},
        {"parent", "12345678901", "secret1", "请输入真实的手机号", "secret1"},
        // The account check comes first.
        {"teacher", " ", "abc", "请输入手机号", "abc"},
    };
    for (const Case& c : cases) {
        auto screen = open(c.role);
        ASSERT_TRUE(screen) << c.role;
        fill(screen, c.account, c.password);
        ASSERT_TRUE(driver_->tap(screen->nextButton()));
        EXPECT_TRUE(strip(screen, c.strip)) << c.role << " [" << c.account << "] [" << c.password << "]";
        EXPECT_EQ(screen->accountField()->text(), c.account);
        EXPECT_EQ(screen->passwordField()->text(), c.passwordAfter);
        EXPECT_FALSE(screen->HUD());
        EXPECT_EQ(stack_->viewControllers().size(), 1u);
    }
    pumpUntil([] { return true; });
    EXPECT_EQ(validateRequests(), 0u);
}

TEST_F(RegisterStepOneTest, TheStripSlidesInStaysASecondAndGoes) {
    auto screen = open("student");
    fill(screen, "", "");
    screen->toDoNext();
    auto label = strip(screen, "请输入用户名");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->frame(), Rect(0, 0, 320, 26));
    EXPECT_EQ(label->alpha(), 1);
    EXPECT_EQ(label->cornerRadius(), 0);
    // A second call makes a strip of its own.
    screen->toDoNext();
    size_t strips = 0;
    for (const auto& view : screen->view()->subviews())
        if (auto l = std::dynamic_pointer_cast<Label>(view); l && l->text() == "请输入用户名") ++strips;
    EXPECT_EQ(strips, 2u);
    // Shown until 1.4 s, then sliding up and fading out, gone at 1.8 s.
    advance(1.3);
    ASSERT_TRUE(strip(screen, "请输入用户名"));
    EXPECT_EQ(strip(screen, "请输入用户名")->alpha(), 1);
    EXPECT_EQ(strip(screen, "请输入用户名")->frame().y(), 0);
    advance(0.2);
    ASSERT_TRUE(strip(screen, "请输入用户名"));
    EXPECT_EQ(strip(screen, "请输入用户名")->frame().y(), -30);
    EXPECT_EQ(lastAnimation().curve, AnimationCurve::EaseOut);
    advance(0.4);
    EXPECT_FALSE(strip(screen, "请输入用户名"));
}

TEST_F(RegisterStepOneTest, TheAccountGoesUnderMobileOrUsernameAsTyped) {
    struct Case {
        const char* role;
        const char* account;
        const char* key;
    };
    const Case cases[] = {
        {"student", "lilei", "username"},
        {"student", "li lei", "username"},
        {"student", "13800138000", "mobile"},
        {"teacher", "13800138000", "mobile"},
        {"parent", "15912345678", "mobile"},
    };
    for (const Case& c : cases) {
        service_->clearRequests();
        service_->setReply("POST", kValidatePath, Reply::json({{"success", 0}, {"message", "已被注册"}}));
        auto screen = open(c.role);
        fill(screen, c.account, "secret1");
        ASSERT_TRUE(driver_->tap(screen->nextButton()));
        ASSERT_TRUE(pumpUntil([&] { return strip(screen, "已被注册") != nullptr; })) << c.account;
        auto request = service_->lastRequest(kValidatePath);
        ASSERT_TRUE(request);
        EXPECT_EQ(request->method, "POST");
        EXPECT_TRUE(request->hasServiceCredentials());
        ASSERT_EQ(request->form.size(), 1u) << c.account;
        EXPECT_EQ(request->form[0].first, c.key);
        EXPECT_EQ(request->form[0].second, c.account);
    }
}

TEST_F(RegisterStepOneTest, AnAcceptedAccountPushesStepTwoWithThePasswordWithoutSpaces) {
    for (Json success : {Json(true), Json(1), Json("1")}) {
        // Held back a little, so the waiting sign is seen however fast the tap returns.
        Reply accepted = Reply::json({{"success", success}});
        accepted.delay = 0.2;
        service_->setReply("POST", kValidatePath, accepted);
        auto screen = open("student");
        fill(screen, "li lei", " 1 2 3 4 5 6 ");
        ASSERT_TRUE(driver_->tap(screen->nextButton()));
        EXPECT_TRUE(screen->HUD() && screen->HUD()->isShowing());
        ASSERT_TRUE(pumpUntil([&] { return stepTwo() != nullptr; })) << success.dump();
        EXPECT_FALSE(screen->HUD()->isShowing());
        auto next = stepTwo();
        EXPECT_EQ(next->registerRole(), "student");
        EXPECT_EQ(next->accountStr(), "li lei");
        EXPECT_EQ(next->passwordStr(), "123456");
        EXPECT_EQ(screen->passwordField()->text(), "123456");
        driver_->settle();

        // Back from step 2: the form as it was left; "下一步" checks again and pushes anew.
        next->goback();
        driver_->settle();
        EXPECT_EQ(stack_->topViewController(), screen);
        EXPECT_EQ(screen->accountField()->text(), "li lei");
        ASSERT_TRUE(driver_->tap(screen->nextButton()));
        ASSERT_TRUE(pumpUntil([&] { return stepTwo() != nullptr; }));
        EXPECT_NE(stepTwo(), next);
    }
}

TEST_F(RegisterStepOneTest, RefusalsAndFailuresShowAStripAndStay) {
    struct Case {
        Reply reply;
        const char* strip;
    };
    const Case cases[] = {
        {Reply::json({{"success", 0}, {"message", "该手机号已被注册"}}), "该手机号已被注册"},
        {Reply::json({{"success", false}, {"message", "不能注册"}}), "不能注册"},
        {Reply::json({{"success", "abc"}, {"message", "不对"}}), "不对"},
        // A refusal without a message, no reply object, and a failed request.
        {Reply::json({{"success", 0}}), "验证失败"},
        {Reply::text("", "application/json"), "验证失败"},
        {Reply::json({{"error", "boom"}}, 500), "验证失败"},
        {Reply::text("<html>", "image/png"), "验证失败"},
    };
    for (const Case& c : cases) {
        service_->setReply("POST", kValidatePath, c.reply);
        auto screen = open("teacher");
        fill(screen, "13800138000", "secret1");
        ASSERT_TRUE(driver_->tap(screen->nextButton()));
        ASSERT_TRUE(pumpUntil([&] { return strip(screen, c.strip) != nullptr; })) << c.reply.body;
        EXPECT_FALSE(screen->HUD()->isShowing());
        EXPECT_EQ(stack_->viewControllers().size(), 1u);
        EXPECT_EQ(screen->accountField()->text(), "13800138000");
    }
}

TEST_F(RegisterStepOneTest, TheSampleServiceRefusesATakenAccountAndAcceptsAFreeOne) {
    auto screen = open("student");
    fill(screen, "student", "secret1");
    screen->toDoNext();
    ASSERT_TRUE(pumpUntil([&] { return strip(screen, "该用户名已被注册") != nullptr; }));
    fill(screen, "newstudent", "secret1");
    screen->toDoNext();
    ASSERT_TRUE(pumpUntil([&] { return stepTwo() != nullptr; }));
}

TEST_F(RegisterStepOneTest, OfflineShowsTheBannerInsteadOfAStrip) {
    auto screen = open("teacher");
    Reachability::setOverride(ReachabilityState::offline());
    fill(screen, "13800138000", "secret1");
    ASSERT_TRUE(driver_->tap(screen->nextButton()));
    ASSERT_TRUE(app_->netWorkLa());
    EXPECT_EQ(app_->netWorkLa()->text(), "没有网络,请检查网络连接");
    EXPECT_FALSE(screen->HUD());
    for (const auto& view : screen->view()->subviews()) EXPECT_FALSE(std::dynamic_pointer_cast<Label>(view));
    EXPECT_EQ(validateRequests(), 0u);
}

TEST_F(RegisterStepOneTest, ReturnMovesToThePasswordAndThereOnlyClosesTheKeyboard) {
    auto screen = open("teacher");
    ASSERT_TRUE(driver_->tap(screen->accountField()));
    driver_->type("13800138000\n");
    EXPECT_TRUE(screen->passwordField()->isFirstResponder());
    driver_->type("secret1\n");
    EXPECT_FALSE(screen->passwordField()->isFirstResponder());
    pumpUntil([] { return true; });
    EXPECT_EQ(validateRequests(), 0u);
    EXPECT_FALSE(screen->HUD());
}

TEST_F(RegisterStepOneTest, TheBackButtonClosesTheWholeRegistration) {
    auto screen = open("parent");
    ASSERT_TRUE(driver_->tap(screen->accountField()));
    auto back = screen->navigationItem().leftBarButtonItem();
    ASSERT_TRUE(back && back->customView());
    ASSERT_TRUE(driver_->tap(back->customView()));
    driver_->settle();
    EXPECT_FALSE(screen->accountField()->isFirstResponder());
    EXPECT_FALSE(login_->presentedViewController());
    EXPECT_EQ(driver_->window().rootViewController(), login_);
}

}  // namespace
