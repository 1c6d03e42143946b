// New-item polling, the announcements it raises while the app is away, the level and points
// reload of the Me tab and the list file of the mention picker.

#include "shell/MyTabBarController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/RecipientList.h"
#include "core/SavedUser.h"
#include "core/ServiceAddress.h"
#include "me/MVTUserSettingViewController.h"
#include "shell/MVTAppDelegate.h"

#include "platform/Application.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/NotificationCenter.h"
#include "platform/RunLoop.h"
#include "platform/Values.h"
#include "platform/ui/NavigationController.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

using namespace platform;

namespace {

constexpr const char* kChatReadedNotification = "chatReaded";
// The relevant-me count is kept within two digits.
constexpr int kRelevantMeCap = 99;

std::string currentUserId() { return MVTAccount::sharedInstance().userId().value_or(""); }
std::string currentRole() { return MVTAccount::sharedInstance().role().value_or(""); }

bool isActive() { return Application::shared().applicationState() == ApplicationState::Active; }

void present(const std::string& body) {
    LocalNotification note;
    note.alertBody = body;
    note.soundName = "default";
    note.badgeNumber = Application::shared().applicationIconBadgeNumber();
    Application::shared().presentLocalNotificationNow(note);
}

// The root screen of the Me tab, under its navigation stack.
std::shared_ptr<MVTUserSettingViewController> meRoot(const MyTabBarController& tabs) {
    const auto& stacks = tabs.viewControllers();
    if (stacks.size() <= 3 || !stacks[3]) return nullptr;
    std::shared_ptr<ViewController> root = stacks[3];
    if (auto stack = root->asNavigationController())
        root = stack->viewControllers().empty() ? nullptr : stack->viewControllers().front();
    return std::dynamic_pointer_cast<MVTUserSettingViewController>(root);
}

}  // namespace

// ---- One poll -----------------------------------------------------------------------------

void MyTabBarController::refreshDatas() {
    if (!MVTPublicMethod::connectedToNetwork()) return;
    const std::string id = currentUserId();
    if (id.empty()) return;
    const auto newestPost = MVTtirraDataBase::selectTheFirst(id);
    const auto newestMessage = MVTtirraDataBase::selectFirstMSG(id);
    if (!newestPost && !newestMessage) return;
    nlohmann::json param = nlohmann::json::object();
    if (newestPost) param["feedId"] = *newestPost;
    auto request = MVTPublicMethod::requestWithMethod("GET", ServiceAddress::servicePrefix() + "user/" + id + "/new/count",
                                                      param);
    if (!request) return;
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        std::move(*request),
        [weak](HttpJsonRequestOperation&, const nlohmann::json& reply) {
            if (auto self = weak.lock()) self->handlePollReply(reply);
        },
        [](HttpRequestOperation&, const HttpError&) {});
    operation->start();
}

void MyTabBarController::handlePollReply(const nlohmann::json& reply) {
    if (!reply.is_object() || reply.empty() || !reply.contains("success")) return;
    auto& account = MVTAccount::sharedInstance();
    const std::string role = currentRole();
    const bool student = role == "student";

    if (boolValue(valueFor(reply, "newNotice")) && !sysNoti_) {
        sysNoti_ = true;
        systemNoti("班级通知", 0, "NotiNews");
    }
    if (boolValue(valueFor(reply, "newHomework")) && !sysHM_ && student) {
        sysHM_ = true;
        systemNoti("作业", 0, "HMNews");
    }

    const long long newPm = integerValue(valueFor(reply, "newPm"));
    if (newPm != 0 && newPm != sysPM_) {
        bool announce = true;
        const auto& pmid = valueFor(reply, "pmid");
        if (!pmid.is_discarded() && !pmid.is_null()) {
            const long long id = integerValue(pmid);
            if (id > 0) {
                // A message already announced is not announced again.
                if (id <= pmid_)
                    announce = false;
                else
                    pmid_ = id;
            }
        }
        if (announce) {
            systemNoti("私信", static_cast<int>(newPm - sysPM_), "chatNews");
            sysPM_ = static_cast<int>(std::max(integerValue(valueFor(unreadDic_, "newPm")), newPm));
        }
    }

    const long long newFeed = integerValue(valueFor(reply, "newFeed"));
    if (newFeed != 0 && newFeed != sysFeed_) {
        systemNoti("动态", static_cast<int>(newFeed - sysFeed_), "feedNews");
        sysFeed_ = static_cast<int>(newFeed);
    }

    relevantMeUsersArr_ = nlohmann::json::array();
    const auto& users = valueFor(reply, "users");
    if (users.is_array())
        for (const auto& user : users) relevantMeUsersArr_.push_back(user);

    // The relevant-me count stored before is the one announced: a rise shows at the next poll.
    const int storedRelevant = account.newRelevantMe();
    if (storedRelevant != 0 && storedRelevant != sysRelevantMe_) {
        systemNoti("与我相关", storedRelevant - sysRelevantMe_, "MentionNews");
        sysRelevantMe_ = storedRelevant;
    }
    long long count = reply.contains("count") ? integerValue(textOf(reply, "count")) : 0;
    if (count >= 100) count = kRelevantMeCap;
    account.setNewRelevantMe(static_cast<int32_t>(count));

    account.setNewHM(boolValue(valueFor(reply, "newHomework")));
    account.setNewNoti(boolValue(valueFor(reply, "newNotice")));

    if (student) {
        const bool exam = boolValue(valueFor(reply, "newExam"));
        if (!account.newExam() && exam) showSystemNo("测验");
        account.setNewExam(exam);
        const bool micro = boolValue(valueFor(reply, "newMicro"));
        if (!account.newMicro() && micro) showSystemNo("微课");
        account.setNewMicro(micro);
    } else {
        account.setNewExam(false);
        account.setNewMicro(false);
    }

    unreadDic_ = nlohmann::json::object();
    markUpside();
    myMarks();

    const int relevant = account.newRelevantMe();
    if (newPm == 0 && newFeed == 0 && relevant == 0) {
        account.setUnreadCount(0);
    } else {
        const long long pm = std::max(integerValue(valueFor(unreadDic_, "newPm")), newPm);
        const long long feed = std::max(integerValue(valueFor(unreadDic_, "newFeed")), newFeed);
        unreadDic_["newPm"] = std::to_string(pm);
        unreadDic_["newFeed"] = std::to_string(feed);
        cleanNewMarks(1);
        refreshDataForInteraction();
        if (selectedIndex() == 1) NotificationCenter::defaultCenter().postNotification(kChatReadedNotification);
        account.setUnreadCount(static_cast<int32_t>(newPm + newFeed + relevant));
        NewMarks(true);
    }

    if (role != "parent") {
        account.setNewApply(boolValue(valueFor(reply, "newApply")));
        cleanNewMarks(1);
        refreshDataForInteraction();
    }
    Application::shared().setApplicationIconBadgeNumber(account.unreadCount());
}

// ---- Announcements ------------------------------------------------------------------------

void MyTabBarController::systemNoti(const std::string& text, int count, const std::string& key) {
    if (isActive()) {
        cleanSys();
        return;
    }
    if (!boolValue(valueFor(localNotiDic_, "news")) || !boolValue(valueFor(localNotiDic_, key))) return;
    std::string body;
    if (count == 0)
        body = "新" + text;
    else if (count > 0)
        body = std::to_string(count) + "条新" + text;
    present(body);
}

void MyTabBarController::showSystemNo(const std::string& text) {
    if (isActive()) return;
    present("新" + text);
}

// ---- Level and points ---------------------------------------------------------------------

void MyTabBarController::reloadUserLvl() {
    if (userLvlReload_) return;
    userLvlReload_ = true;
    const std::string id = currentUserId();
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "user/" + id + "/space/" + id + "/info?refresh=true",
        nlohmann::json::object());
    if (!request) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(0);
        userLvlReload_ = false;
        return;
    }
    std::weak_ptr<MyTabBarController> weak = std::static_pointer_cast<MyTabBarController>(shared_from_this());
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        std::move(*request),
        [weak](HttpJsonRequestOperation&, const nlohmann::json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->userLvlReload_ = false;
            if (!reply.is_object() || !reply.contains("success")) return;
            auto& account = MVTAccount::sharedInstance();
            const std::string role = currentRole();
            auto take = [&reply](const char* key, auto setter) {
                const auto& value = valueFor(reply, key);
                if (!MVTPublicMethod::stringIsClassNull(value)) setter(textOf(value));
            };
            if (role == "student") {
                take("creditLevel", [&](const std::string& v) { account.setUserLvl(v); });
                take("creditLast", [&](const std::string& v) { account.setUserIntegral(v); });
                take("creditGet", [&](const std::string& v) { account.setUserIntegralGet(v); });
            } else if (role != "parent") {
                take("creditGet", [&](const std::string& v) { account.setUserIntegral(v); });
            }
            account.setStatus(textOf(reply, "status"));
            rewriteSavedUserFromAccount();
            if (auto me = meRoot(*self)) me->reloadUserLvl();
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            if (auto self = weak.lock()) self->userLvlReload_ = false;
        });
    operation->start();
}

// ---- Mention-picker list ------------------------------------------------------------------

void MyTabBarController::getpostMessage(bool force) {
    const std::string id = currentUserId();
    if (id.empty()) return;
    if (!readRecipientCache(id).empty()) {
        if (!force) return;
        std::error_code ignored;
        std::filesystem::remove(recipientCachePath(id), ignored);
    }
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "postMessage/essay/" + id + "/recipient", nlohmann::json::object());
    if (!request) {
        MVTAppDelegate::sharedAppDelegate()->showNetworkMessage(0);
        return;
    }
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        std::move(*request),
        [id](HttpJsonRequestOperation&, const nlohmann::json& reply) {
            const auto list = recipientListFromReply(reply);
            if (!list.empty()) writeRecipientCache(id, list);
        },
        [](HttpRequestOperation&, const HttpError&) {});
    operation->start();
}
