#pragma once

// A road through the whole app, driven the way a user drives it through the automation
// scripts: the real application delegate, headless, against the sample service. A fresh
// home, a new account record, no alerts, the screens in Chinese; start() launches the app
// as the headless host does and puts a driver on its window, run() plays a script.

#include "HostOptions.h"
#include "ScriptRunner.h"
#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MyTabBarController.h"
#include "support/ServiceFixture.h"

#include "platform/Application.h"
#include "platform/Log.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/Window.h"

#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

class RoadTest : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        // Every picture a road shows is one of the application's own: a missing one fails it.
        platform::setLogSink([this](const std::string& line) {
            if (line.find("missing picture resource") == std::string::npos) return;
            std::lock_guard guard(missingMutex_);
            missingPictures_.push_back(line);
        });
        platform::Screen::mainScreen().reset();
        platform::Application::shared().reset();
        platform::AlertView::clearVisible();
        MVTAccount::resetSharedInstanceForTests();
        // The screens in Chinese, whatever the machine's language.
        InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
        HostOptions::followInterfaceLanguage();
        // The sample service offers the build's own version: no update alert.
        MVTAppDelegate::setBundleShortVersionString("");
        app = MVTAppDelegate::sharedAppDelegate();
        platform::Application::shared().setDelegate(app);
    }
    void TearDown() override {
        driver.reset();
        platform::AlertView::clearVisible();
        if (app->window()) app->window()->setRootViewController(nullptr);
        platform::Application::shared().reset();
        platform::Keyboard::shared().setLanguageSource(nullptr);
        platform::setLogSink(nullptr);
        for (const auto& line : missingPictures_) ADD_FAILURE() << line;
        ServiceTest::TearDown();
    }

    // A launch of the app as the headless host makes it, with a driver on its window.
    void start() {
        platform::Application::shared().terminate();
        platform::Application::shared().reset();
        beforeLaunch();
        platform::Application::shared().setDelegate(app);
        platform::Application::shared().launch();
        driver = std::make_unique<platform::UiDriver>(platform::Window::keyWindowRef());
        driver->pump();
    }
    // What a road needs done between the quit and the next launch.
    virtual void beforeLaunch() {}

    int run(const std::string& script) {
        ScriptRunner runner(*driver, messages);
        return runner.runText(script);
    }
    std::shared_ptr<MyTabBarController> tabBar() const {
        return std::dynamic_pointer_cast<MyTabBarController>(app->window()->rootViewController());
    }
    // A fresh launch signed in through the login screen's fields, on the tab bar.
    void signIn(const std::string& user, const std::string& password) {
        start();
        ASSERT_EQ(run("tap 用户名/邮箱/手机号\ntype " + user + "\ntap 密 码\ntype " + password + "\ntap 登录\n"), 0)
            << messages.str();
        ASSERT_TRUE(pumpUntil([this] { return tabBar() != nullptr; }));
        driver->settle();
    }
    // The screen on top of the navigation stack the tab bar presented (an Apps screen).
    template <class Screen>
    std::shared_ptr<Screen> onPresentedTop() const {
        auto tabs = tabBar();
        auto presented = tabs ? tabs->presentedViewController() : nullptr;
        auto stack = presented ? presented->asNavigationController() : nullptr;
        return stack ? std::dynamic_pointer_cast<Screen>(stack->topViewController()) : nullptr;
    }
    // The navigation stack that the first screen of the selected tab presented (a chat
    // opened from the message centre), and the screen on its top.
    std::shared_ptr<platform::NavigationController> presentedOverTab() const {
        auto tabs = tabBar();
        auto stack = tabs ? tabs->selectedViewController() : nullptr;
        auto first = stack && stack->asNavigationController() && !stack->asNavigationController()->viewControllers().empty()
                         ? stack->asNavigationController()->viewControllers().front()
                         : nullptr;
        auto presented = first ? first->presentedViewController() : nullptr;
        return presented ? std::dynamic_pointer_cast<platform::NavigationController>(presented) : nullptr;
    }
    template <class Screen>
    std::shared_ptr<Screen> onTabPresentedTop() const {
        auto stack = presentedOverTab();
        return stack ? std::dynamic_pointer_cast<Screen>(stack->topViewController()) : nullptr;
    }
    // Turns the run loop, moving its clock on a little each turn (screens leave after
    // short delays and transitions), until the condition holds.
    bool waitFor(const std::function<bool()>& condition) {
        const bool ok = pumpUntil([&] {
            driver->advance(0.05);
            return condition();
        });
        driver->settle();
        return ok;
    }
    // The script line that writes a picture of the window to shots/<name>.png in the home.
    std::string shot(const std::string& name) const {
        return "screenshot " + (home_ / "shots" / (name + ".png")).string() + "\n";
    }

    std::shared_ptr<MVTAppDelegate> app;
    std::unique_ptr<platform::UiDriver> driver;
    std::ostringstream messages;

private:
    std::mutex missingMutex_;
    std::vector<std::string> missingPictures_;
};

}  // namespace testing_support
