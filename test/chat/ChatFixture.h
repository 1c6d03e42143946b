#pragma once

// A chat test against the sample service: a fresh home and account, the screens in
// Chinese, a sample user signed in, a driver on a window holding the screen under test,
// and helpers to read what the service was asked.

#include "shell/DelegateFixture.h"

#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"

#include "platform/NotificationCenter.h"
#include "platform/Reachability.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/MenuController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/UiDriver.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class ChatTest : public DelegateTest {
protected:
    void SetUp() override {
        DelegateTest::SetUp();
        InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
        platform::MenuController::shared().reset();
        driver = std::make_unique<platform::UiDriver>();
    }
    void TearDown() override {
        platform::Reachability::setOverride(platform::ReachabilityState::viaWifi());
        platform::AlertView::clearVisible();
        platform::MenuController::shared().reset();
        driver.reset();
        navigation.reset();
        DelegateTest::TearDown();
    }
    // 王老师 (1001, classes 11 and 12), 李明 (2001, class 11), or a student without a class.
    void signIn(const std::string& userId, const std::string& role, const std::string& classes) {
        auto& account = MVTAccount::sharedInstance();
        account.setUserId(userId);
        account.setRole(role);
        account.setClassId(classes);
        account.setName(userId == "1001" ? "王老师" : "李明");
    }
    template <class Screen>
    std::shared_ptr<Screen> showRoot(std::shared_ptr<Screen> screen) {
        navigation = myNavigationController::withRoot(screen);
        driver->show(navigation);
        driver->pump();
        return screen;
    }
    // Requests to a path (without the service prefix), in order.
    std::vector<sample_service::RecordedRequest> requestsTo(const std::string& path) const {
        std::vector<sample_service::RecordedRequest> found;
        for (const auto& request : service_->requests())
            if (request.path == "/services/norvo/" + path) found.push_back(request);
        return found;
    }
    bool waitFor(const std::function<bool()>& condition) {
        return pumpUntil([&] {
            driver->pump();
            return condition();
        });
    }

    std::unique_ptr<platform::UiDriver> driver;
    std::shared_ptr<myNavigationController> navigation;
};

}  // namespace testing_support
