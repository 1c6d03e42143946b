#pragma once

// A signed-in teacher (user 12) in front of the tab bar, built the way sign-in builds it,
// against the sample service.

#include "support/ServiceFixture.h"

#include "chat/MVTInteractionViewController.h"
#include "contacts/MVTContactViewController.h"
#include "core/MVTAccount.h"
#include "feed/MVTHomeViewController.h"
#include "me/MVTAppsViewController.h"
#include "me/MVTUserSettingViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MyTabBarController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"

#include <memory>
#include <string>

namespace testing_support {

class TabBarFixture : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        platform::Screen::mainScreen().reset();
        platform::Application::shared().reset();
        InternationalControl::setUserlanguage("zh-Hans", false);
        MVTAccount::resetSharedInstanceForTests();
        auto& account = MVTAccount::sharedInstance();
        account.setUserId("12");
        account.setRole("teacher");
        // A teacher of a class: the message centre lays its hint for users without a class
        // over the whole window.
        account.setClassId("11");
        driver_ = std::make_unique<platform::UiDriver>();
    }
    void TearDown() override {
        if (tabs_) tabs_->clearNotif();
        driver_.reset();
        tabs_.reset();
        platform::Application::shared().reset();
        MVTAccount::resetSharedInstanceForTests();
        ServiceTest::TearDown();
    }
    // The five tab roots, the bar, the first tab selected, on screen.
    void build() {
        home_ = std::make_shared<MVTHomeViewController>();
        messages_ = std::make_shared<MVTInteractionViewController>();
        apps_ = std::make_shared<MVTAppsViewController>();
        me_ = std::make_shared<MVTUserSettingViewController>();
        contacts_ = std::make_shared<MVTContactViewController>();
        tabs_ = std::make_shared<MyTabBarController>();
        tabs_->addMyitems();
        tabs_->setViewControllers({myNavigationController::withRoot(home_), myNavigationController::withRoot(messages_),
                                   myNavigationController::withRoot(apps_), myNavigationController::withRoot(me_),
                                   myNavigationController::withRoot(contacts_)});
        tabs_->setSelectedIndex(0);
        driver_->show(tabs_);
        driver_->settle();
    }
    // The text of a label of the Me screen's header row ("" while there is none).
    std::string meHeaderText(int tag) {
        auto table = me_ ? me_->settingTable() : nullptr;
        auto cell = table ? table->cellForRowAtIndexPath({0, 0}) : nullptr;
        auto label = cell ? std::dynamic_pointer_cast<platform::Label>(cell->viewWithTag(tag)) : nullptr;
        return label ? label->text() : std::string();
    }
    // How many requests reached the service at `path` ("/services/norvo/...").
    size_t requestsTo(const std::string& path) {
        size_t n = 0;
        for (auto& r : service().requests())
            if (r.path == path) ++n;
        return n;
    }

    std::unique_ptr<platform::UiDriver> driver_;
    std::shared_ptr<MyTabBarController> tabs_;
    std::shared_ptr<MVTHomeViewController> home_;
    std::shared_ptr<MVTInteractionViewController> messages_;
    std::shared_ptr<MVTAppsViewController> apps_;
    std::shared_ptr<MVTUserSettingViewController> me_;
    std::shared_ptr<MVTContactViewController> contacts_;
};

}  // namespace testing_support
