#pragma once

// The home feed of a signed-in user against the sample service: a fresh home folder,
// cache and defaults, the screens in Chinese, the account of the sample teacher 王老师
// (user 1001, classes 11 and 12) unless a test signs in someone else. show() puts the
// home screen on a window inside its navigation stack, as the first tab has it.

#include "support/ServiceFixture.h"

#include "feed/MVTHomeViewController.h"
#include "feed/MVTPersonCell.h"

#include "core/MVTAccount.h"
#include "core/MVTtirraDataBase.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MyTabBarController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/Application.h"
#include "platform/BackgroundQueue.h"
#include "platform/HttpEngine.h"
#include "platform/RunLoop.h"
#include "platform/AudioRoute.h"
#include "platform/AudioSession.h"
#include "platform/ProximitySensor.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/HtmlTextView.h"
#include "platform/ui/MenuController.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UiDriver.h"

#include <memory>
#include <string>

namespace testing_support {

class FeedTest : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        platform::Screen::mainScreen().reset();
        platform::Application::shared().reset();
        platform::AlertView::clearVisible();
        platform::ProximitySensor::shared().reset();
        platform::AudioRoute::shared().reset();
        platform::AudioSession::shared().reset();
        platform::MenuController::shared().reset();
        platform::Pasteboard::generalPasteboard().clear();
        platform::HtmlLayout::clearCache();
        InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
        signIn("1001", "王老师", "teacher", "11,12");
        driver = std::make_unique<platform::UiDriver>();
    }
    void TearDown() override {
        auto app = MVTAppDelegate::sharedAppDelegate();
        if (!app->nowPlayPath().empty()) app->stopPlayAudio();
        driver.reset();
        home.reset();
        platform::AlertView::clearVisible();
        platform::Application::shared().reset();
        MVTAccount::resetSharedInstanceForTests();
        ServiceTest::TearDown();
    }

    static void signIn(const std::string& userId, const std::string& name, const std::string& role,
                       const std::string& classes, const std::string& hideSquare = "n") {
        MVTAccount::resetSharedInstanceForTests();
        auto& account = MVTAccount::sharedInstance();
        account.setUserId(userId);
        account.setName(name);
        account.setRole(role);
        account.setClassId(classes);
        account.setSchoolId("1");
        account.setHideSquare(hideSquare);
        account.setVfsUrl(std::string());
    }

    // The home screen on screen, its view loaded (which starts the first load).
    void show() {
        home = std::make_shared<MVTHomeViewController>();
        driver->show(myNavigationController::withRoot(home));
    }
    // Lets the requests, the loads and the animations of the screen finish: every
    // exchange in flight is answered and handled before the clock moves on.
    void settle(double seconds = 2.0) {
        auto quiet = [] {
            platform::RunLoop::main().pump();
            return platform::HttpEngine::shared().activeCount() == 0 && !platform::RunLoop::main().hasPendingTasks();
        };
        for (double spent = 0; spent < seconds; spent += 0.25) {
            platform::BackgroundQueue::shared().waitIdle();
            pumpUntil(quiet);
            advance(0.25);
        }
        platform::BackgroundQueue::shared().waitIdle();
        pumpUntil(quiet);
    }

    // A post as the service sends one.
    static platform::Json post(long long id, const std::string& content = "text", const std::string& uid = "2001") {
        return {{"id", id},       {"uid", uid},          {"name", "李明"},          {"role", "student"},
                {"dateline", 1767500000}, {"type", "essay"}, {"content", content}, {"commentCount", "0"},
                {"likeCount", "0"}, {"love", "0"}, {"likeUsers", platform::Json::array()},
                {"comments", platform::Json::array()}, {"attachments", platform::Json::array()}};
    }
    // Posts with ids first, first - 1, ... (newest first).
    static platform::Json posts(long long first, int count) {
        platform::Json list = platform::Json::array();
        for (int i = 0; i < count; ++i) list.push_back(post(first - i, "post " + std::to_string(first - i)));
        return list;
    }
    static std::string listPath(const std::string& userId = "1001") {
        return "/services/norvo/feed/" + userId + "/list/1";
    }
    std::vector<long long> listedIds() const {
        std::vector<long long> ids;
        for (const auto& record : home->dataArray()) ids.push_back(platform::integerValue(platform::valueFor(*record, "id")));
        return ids;
    }
    // Requests to the path, the school circle's own list requests left out.
    size_t requestsTo(const std::string& path) {
        size_t n = 0;
        for (auto& r : service().requests())
            if (r.path == path && r.queryValue("filter").value_or("") != "square:school") ++n;
        return n;
    }

    std::unique_ptr<platform::UiDriver> driver;
    std::shared_ptr<MVTHomeViewController> home;
};

}  // namespace testing_support
