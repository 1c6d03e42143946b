#pragma once

// A personal space test against the sample service: a fresh home and account, the screens
// in Chinese, the Shanghai time zone, a sample user signed in, a driver on a window, and
// helpers to open a space or a profile and to read what the service was asked.

#include "me/MVTPersonDetailViewController.h"
#include "me/MVTTimeSpaceViewController.h"

#include "shell/DelegateFixture.h"

#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"

#include "platform/Dates.h"
#include "platform/Reachability.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/UiDriver.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class SpaceTest : public DelegateTest {
protected:
    void SetUp() override {
        DelegateTest::SetUp();
        InternationalControl::setUserlanguage(InternationalControl::kChinese, false);
        platform::setLocalTimeZone("Asia/Shanghai");
        driver = std::make_unique<platform::UiDriver>();
        signIn("2001");
    }
    void TearDown() override {
        platform::Reachability::setOverride(platform::ReachabilityState::viaWifi());
        platform::AlertView::clearVisible();
        driver.reset();
        navigation.reset();
        platform::setLocalTimeZone("");
        DelegateTest::TearDown();
    }

    // The sample users: 1001 王老师 (teacher, classes 11 and 12), 2001 李明 (student, 11),
    // 3001 李明家长 (parent, 11), 2002 张新 (student without a class).
    void signIn(const std::string& id) {
        static const std::map<std::string, std::vector<std::string>> users = {
            {"1001", {"teacher", "11,12", "王老师"}},
            {"2001", {"student", "11", "李明"}},
            {"3001", {"parent", "11", "李明家长"}},
            {"2002", {"student", "", "张新"}}};
        const auto& user = users.at(id);
        auto& account = MVTAccount::sharedInstance();
        account.setUserId(id);
        account.setRole(user[0]);
        account.setClassId(user[1]);
        account.setName(user[2]);
    }

    static nlohmann::json owner(const std::string& id) {
        static const std::map<std::string, std::pair<std::string, std::string>> names = {
            {"1001", {"王老师", "teacher"}}, {"2001", {"李明", "student"}}, {"3001", {"李明家长", "parent"}},
            {"2002", {"张新", "student"}}};
        const auto& [name, role] = names.at(id);
        return {{"id", id}, {"name", name}, {"role", role}};
    }

    // A space presented as the home feed opens it, once its first page has come.
    std::shared_ptr<MVTTimeSpaceViewController> openSpace(const std::string& id, bool waitForPage = true) {
        auto space = std::make_shared<MVTTimeSpaceViewController>();
        space->setUserDict(owner(id));
        navigation = myNavigationController::withRoot(space);
        driver->show(navigation);
        driver->pump();
        if (waitForPage) {
            EXPECT_TRUE(pumpUntil([&] { return !space->isLoading(); })) << "the first page never came";
        }
        return space;
    }

    std::shared_ptr<MVTPersonDetailViewController> openProfile(const std::string& id, const std::string& from) {
        auto profile = std::make_shared<MVTPersonDetailViewController>();
        nlohmann::json user = owner(id);
        user["uid"] = user["id"];
        profile->setUserDict(user);
        profile->setFromWhere(from);
        auto root = std::make_shared<ViewViewController>();
        navigation = myNavigationController::withRoot(root);
        driver->show(navigation);
        profile->view()->setAccessibilityValue("push");
        navigation->pushViewController(profile, false);
        driver->pump();
        EXPECT_TRUE(pumpUntil([&] { return requestsTo("user/" + currentUser() + "/space/" + id + "/info").size() >= 1 &&
                                           !hudShowing(profile->view()); }));
        return profile;
    }

    static std::string currentUser() { return MVTAccount::sharedInstance().userId().value_or(""); }

    static bool hudShowing(const std::shared_ptr<platform::View>& view) {
        auto hud = platform::ProgressHUD::HUDForView(view);
        return hud && hud->isShowing();
    }

    std::vector<sample_service::RecordedRequest> requestsTo(const std::string& path) {
        std::vector<sample_service::RecordedRequest> found;
        for (const auto& r : service().requests())
            if (r.path == "/services/norvo/" + path) found.push_back(r);
        return found;
    }
    std::size_t countTo(const std::string& path) { return requestsTo(path).size(); }

    std::unique_ptr<platform::UiDriver> driver;
    std::shared_ptr<myNavigationController> navigation;
};

}  // namespace testing_support
