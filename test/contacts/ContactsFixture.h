#pragma once

// A contacts test against the sample service: a fresh home and account, the screens in
// Chinese, a sample user signed in, a driver on a window, and helpers for the requests
// the service saw and the contacts cache.

#include "shell/DelegateFixture.h"

#include "contacts/ContactsCacheStore.h"
#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"

#include "platform/NotificationCenter.h"
#include "platform/Reachability.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/UiDriver.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class ContactsTest : public DelegateTest {
protected:
    void SetUp() override {
        DelegateTest::SetUp();
        InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
        driver = std::make_unique<platform::UiDriver>();
    }
    void TearDown() override {
        platform::Reachability::setOverride(platform::ReachabilityState::viaWifi());
        platform::AlertView::clearVisible();
        driver.reset();
        navigation.reset();
        DelegateTest::TearDown();
    }
    // 王老师 1001 (classes 11, 12), 李明 2001 (11), 李明家长 3001 (11).
    void signIn(const std::string& userId, const std::string& role, const std::string& classes = "11") {
        auto& account = MVTAccount::sharedInstance();
        account.setUserId(userId);
        account.setRole(role);
        account.setClassId(classes);
    }
    template <class Screen>
    std::shared_ptr<Screen> showRoot(std::shared_ptr<Screen> screen) {
        navigation = myNavigationController::withRoot(screen);
        driver->show(navigation);
        driver->pump();
        return screen;
    }
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
    // Counts the posts of a notification while the test runs.
    struct Counter {
        int count = 0;
        nlohmann::json last;
        platform::ObserverToken token;
    };
    std::shared_ptr<Counter> count(const std::string& name) {
        auto counter = std::make_shared<Counter>();
        std::weak_ptr<Counter> weak = counter;
        counter->token = platform::NotificationCenter::defaultCenter().addObserver(name, [weak](const platform::Notification& note) {
            if (auto c = weak.lock()) {
                ++c->count;
                c->last = note.object;
            }
        });
        return counter;
    }
    static void setOffline() { platform::Reachability::setOverride(platform::ReachabilityState::offline()); }

    std::unique_ptr<platform::UiDriver> driver;
    std::shared_ptr<myNavigationController> navigation;
};

}  // namespace testing_support
