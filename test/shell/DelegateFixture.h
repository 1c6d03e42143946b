#pragma once

// A test of the application delegate's launch and sign-in against the sample service:
// a fresh home, a new account record, no alerts, the running version "1.0.0" (the sample
// service's own, so no update is offered), and helpers to launch and to read the window.

#include "account/MVTLoginViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTtirraDataBase.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MyTabBarController.h"
#include "support/ServiceFixture.h"

#include "platform/Application.h"
#include "platform/ShareKit.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include <memory>
#include <string>

namespace testing_support {

class DelegateTest : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        platform::Screen::mainScreen().reset();
        platform::Application::shared().reset();
        platform::AlertView::clearVisible();
        platform::ShareKit::shared().reset();
        platform::StatisticsKit::shared().reset();
        MVTAccount::resetSharedInstanceForTests();
        MVTAppDelegate::setBundleShortVersionString("1.0.0");
        app = MVTAppDelegate::sharedAppDelegate();
        platform::Application::shared().setDelegate(app);
        // A banner of an earlier test may still be up: the run loop that would take it
        // down was reset.
        if (auto banner = app->netWorkLa()) {
            banner->removeFromSuperview();
            banner->setAlpha(0);
        }
    }

    void TearDown() override {
        platform::AlertView::clearVisible();
        if (app->window()) app->window()->setRootViewController(nullptr);
        MVTAppDelegate::setBundleShortVersionString("");
        platform::Application::shared().reset();
        ServiceTest::TearDown();
    }

    // The launch as the platform runs it; the stored version is taken as the running one
    // unless a test stored another before.
    void launch() { platform::Application::shared().launch(); }

    std::shared_ptr<platform::ViewController> root() const {
        return app->window() ? app->window()->rootViewController() : nullptr;
    }
    template <class T>
    std::shared_ptr<T> rootAs() const {
        return std::dynamic_pointer_cast<T>(root());
    }
    // The banner's text while it is in the window; empty otherwise.
    std::string bannerText() const {
        auto banner = app->netWorkLa();
        return banner && banner->superview() ? banner->text() : std::string();
    }
    // Waits for the tab bar to become the root.
    bool waitForTabBar() {
        return pumpUntil([this] { return rootAs<MyTabBarController>() != nullptr; });
    }
    // Stores the row of an accepted sign-in for one of the sample users, as a launch
    // after that sign-in finds it.
    static void saveSignedInUser(const nlohmann::json& reply, const std::string& userName,
                                 const std::string& password) {
        MVTtirraDataBase::deleteSaveUser();
        MVTtirraDataBase::insertSaveUserTableWithDict(MVTAppDelegate::saveUserRowFromReply(reply, userName, password));
    }
    static nlohmann::json teacherReply() {
        return {{"userId", "1001"}, {"name", "王老师"},  {"role", "teacher"}, {"status", "认真备课中"},
                {"schoolId", "1"},  {"classIds", "11,12"}, {"director", "1"},  {"ecampus", 1},
                {"apps", ""},       {"creditGet", "12"}};
    }

    std::shared_ptr<MVTAppDelegate> app;
};

}  // namespace testing_support
