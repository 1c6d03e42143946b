#pragma once

// A homework screen test against the sample service: a fresh home and account, the
// screens in Chinese, a user of the sample school signed in by role, a driver on a window
// whose navigation stack holds the screen under test, and helpers to read what the
// service was asked.

#include "shell/DelegateFixture.h"

#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"

#include "platform/NotificationCenter.h"
#include "platform/Reachability.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/UiDriver.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// A reply the service holds back for half a minute: a download still running.
inline sample_service::Reply delayedReply(const std::string& contentType, const std::string& body) {
    sample_service::Reply reply = sample_service::Reply::text(body, contentType);
    reply.delay = 30;
    return reply;
}

class HomeworkTest : public DelegateTest {
protected:
    void SetUp() override {
        DelegateTest::SetUp();
        InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
        platform::ImagePickerController::resetSources();
        driver = std::make_unique<platform::UiDriver>();
        markUpsides = 0;
        markUpsideToken = platform::NotificationCenter::defaultCenter().addObserver(
            "markUpside", [this](const platform::Notification&) { ++markUpsides; });
    }
    void TearDown() override {
        markUpsideToken.reset();
        platform::Reachability::setOverride(platform::ReachabilityState::viaWifi());
        platform::AlertView::clearVisible();
        driver.reset();
        navigation.reset();
        DelegateTest::TearDown();
    }

    // The sample users: teacher 1001 (classes 11 and 12), student 2001 李明 and parent
    // 3001 (class 11).
    void signIn(const std::string& role) {
        auto& account = MVTAccount::sharedInstance();
        account.setRole(role);
        if (role == "teacher" || role == "admin") {
            account.setUserId("1001");
            account.setClassId("11,12");
            account.setName("王老师");
        } else if (role == "student") {
            account.setUserId("2001");
            account.setClassId("11");
            account.setName("李明");
        } else {
            account.setUserId("3001");
            account.setClassId("11");
            account.setName("李明家长");
        }
    }

    // The screen as the root of a navigation stack on the driver's window.
    template <class Screen>
    std::shared_ptr<Screen> showRoot(std::shared_ptr<Screen> screen) {
        navigation = myNavigationController::withRoot(screen);
        driver->show(navigation);
        driver->pump();
        return screen;
    }
    // A screen pushed over a plain root, as its openers push it.
    template <class Screen>
    std::shared_ptr<Screen> showPushed(std::shared_ptr<Screen> screen) {
        auto root = std::make_shared<ViewViewController>();
        navigation = myNavigationController::withRoot(root);
        driver->show(navigation);
        navigation->pushViewController(screen, false);
        driver->pump();
        return screen;
    }
    std::shared_ptr<platform::ViewController> top() const {
        return navigation ? navigation->topViewController() : nullptr;
    }

    // The requests that went to a path under "services/norvo/".
    std::vector<sample_service::RecordedRequest> requestsTo(const std::string& path) {
        std::vector<sample_service::RecordedRequest> found;
        for (const auto& r : service().requests())
            if (r.path == "/services/norvo/" + path) found.push_back(r);
        return found;
    }
    // Waits until `count` requests went to the path and the screen's overlay is gone.
    bool waitForRequests(const std::string& path, std::size_t count, const std::shared_ptr<platform::View>& screenView) {
        return pumpUntil([&] {
            if (requestsTo(path).size() < count) return false;
            auto hud = platform::ProgressHUD::HUDForView(screenView);
            return !hud || !hud->isShowing();
        });
    }

    std::unique_ptr<platform::UiDriver> driver;
    std::shared_ptr<myNavigationController> navigation;
    int markUpsides = 0;
    platform::ObserverToken markUpsideToken;
};

}  // namespace testing_support
