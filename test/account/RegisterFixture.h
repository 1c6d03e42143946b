#pragma once

// A test of the two registration steps against the sample service: a fresh home, a new
// account record, no alerts, the screens in Chinese, the app delegate on a driver's window
// without the network banner, and a way to open step 1 over the login screen.

#include "support/ServiceFixture.h"

#include "account/MVTLoginViewController.h"
#include "account/MVTRegisterViewController.h"
#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <memory>
#include <string>

namespace testing_support {

class RegisterTest : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        platform::Screen::mainScreen().reset();
        platform::AlertView::clearVisible();
        MVTAccount::resetSharedInstanceForTests();
        InternationalControl::setUserlanguage("zh-Hans", false);
        driver_ = std::make_unique<platform::UiDriver>();
        app_ = MVTAppDelegate::sharedAppDelegate();
        app_->setWindow(driver_->windowRef());
        if (auto banner = app_->netWorkLa()) banner->removeFromSuperview();
    }
    void TearDown() override {
        platform::AlertView::clearVisible();
        driver_->window().setRootViewController(nullptr);
        app_->setWindow(nullptr);
        driver_.reset();
        ServiceTest::TearDown();
    }

    // The login screen as the window's root and step 1 presented over it for `role`.
    std::shared_ptr<MVTRegisterViewController> openStepOne(const std::string& role) {
        app_->gotosetview(true);
        login_ = std::dynamic_pointer_cast<MVTLoginViewController>(app_->loginViewController());
        login_->toRegister(role);
        driver_->settle();
        stack_ = std::dynamic_pointer_cast<platform::NavigationController>(login_->presentedViewController());
        if (!stack_) return nullptr;
        return std::dynamic_pointer_cast<MVTRegisterViewController>(stack_->topViewController());
    }
    // The strip with the text, while it is in the screen's view.
    static std::shared_ptr<platform::Label> strip(const std::shared_ptr<platform::ViewController>& screen,
                                                  const std::string& text) {
        for (const auto& view : screen->view()->subviews())
            if (auto label = std::dynamic_pointer_cast<platform::Label>(view); label && label->text() == text)
                return label;
        return nullptr;
    }

    std::unique_ptr<platform::UiDriver> driver_;
    std::shared_ptr<MVTAppDelegate> app_;
    std::shared_ptr<MVTLoginViewController> login_;
    std::shared_ptr<platform::NavigationController> stack_;
};

}  // namespace testing_support
