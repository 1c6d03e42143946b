// Sign-in, the automatic sign-in at launch with its background re-check, and the return
// to the login screen: who is signed in, and what the window shows.

#include "shell/MVTAppDelegate.h"
#include "shell/SignOut.h"

#include "account/MVTInterClassViewController.h"
#include "account/MVTLoginViewController.h"
#include "chat/MVTInteractionViewController.h"
#include "contacts/MVTContactViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"
#include "core/ServiceAddress.h"
#include "feed/MVTHomeViewController.h"
#include "me/MVTAppsViewController.h"
#include "me/MVTUserSettingViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MyTabBarController.h"
#include "shell/myNavigationController.h"

#include "platform/BackgroundQueue.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/UrlEncoding.h"
#include "platform/UserDefaults.h"
#include "platform/Values.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <sstream>

namespace {

using Json = nlohmann::json;

constexpr const char* kNoSchoolForParent = "没有加入学校，请去网页端关联学生。";

// The reply's value written as "%@" writes it: "(null)" when absent, "<null>" for null.
std::string textForm(const Json& reply, const char* key) { return platform::textOf(reply, key); }

// The text form unless the null test holds, then `fallback`.
std::string nonNullText(const Json& reply, const char* key, const std::string& fallback) {
    const Json& value = platform::valueFor(reply, key);
    return MVTPublicMethod::stringIsClassNull(value) ? fallback : platform::textOf(value);
}

// The text form when the key is there at all (so null gives "<null>"), else `fallback`.
std::string presentText(const Json& reply, const char* key, const std::string& fallback) {
    return reply.is_object() && reply.contains(key) ? platform::textOf(reply, key) : fallback;
}

std::string rowText(const Json& row, const char* key) {
    return row.is_object() && row.contains(key) ? platform::textOf(row, key) : std::string();
}

std::string recordText(const MVTAccount::Text& text) { return platform::textOfOptional(text); }

bool hasNoSchool(const MVTAccount& account) {
    const std::string school = account.schoolId().value_or("");
    return school.empty() || school == "-1";
}

Json rememberedAccountRow(const MVTAccount& account) {
    return Json{{"userName", recordText(account.userName())}, {"password", recordText(account.password())},
                {"name", recordText(account.name())},         {"userId", recordText(account.userId())},
                {"role", recordText(account.role())},         {"power", recordText(account.power())},
                {"schoolId", recordText(account.schoolId())}};
}

Json defaultReminderSettings() {
    return Json{{"news", "1"},   {"chatNews", "1"}, {"MentionNews", "1"}, {"commenNews", "1"},
                {"HMNews", "1"}, {"NotiNews", "1"}, {"feedNews", "1"},    {"defaultTime", "60"}};
}

// The sixteen fields of the record from a saved-user row; the credentials only when asked.
void applyRow(const Json& row, bool withCredentials) {
    auto& account = MVTAccount::sharedInstance();
    if (withCredentials) {
        account.setUserName(rowText(row, "userName"));
        account.setPassword(rowText(row, "userPassword"));
    }
    account.setName(rowText(row, "name"));
    account.setUserId(rowText(row, "userId"));
    account.setRole(rowText(row, "role"));
    account.setStatus(rowText(row, "status"));
    account.setPower(rowText(row, "power"));
    account.setSchoolId(rowText(row, "schoolId"));
    account.setClassId(rowText(row, "classId"));
    account.setVfsUrl(rowText(row, "vfsUrl"));
    account.setEcampus(platform::boolValue(rowText(row, "ecampus")));
    account.setHideAppString(rowText(row, "hideString"));
    account.setHideSquare(rowText(row, "hideSquare"));
    account.setUserLvl(rowText(row, "userLvl"));
    account.setUserIntegral(rowText(row, "userIntegral"));
    account.setUserIntegralGet(rowText(row, "userIntegralGet"));
}

// The service's last load time, kept when it changed.
void storeLoadingLatestTime(const Json& reply) {
    const std::string latest = std::to_string(platform::integerValue(platform::valueFor(reply, "loadingLatestTime")));
    auto& defaults = platform::UserDefaults::standard();
    if (latest != platform::textOf(defaults.objectForKey(MVTAppDelegate::kLoadingLatesTime))) {
        defaults.setString(MVTAppDelegate::kLoadingLatesTime, latest);
        defaults.synchronize();
    }
}

void showPlainAlert(const std::string& title, const std::string& message) {
    platform::AlertView::make(title, message, {}, localized("确定"))->show();
}

// Makes `controller` the window's root. Screens presented over the outgoing root (the
// remembered accounts, registration, joining a class) leave with it instead of staying in
// front of the new root.
void replaceRoot(const std::shared_ptr<platform::Window>& window,
                 const std::shared_ptr<platform::ViewController>& controller) {
    if (!window) return;
    if (auto old = window->rootViewController(); old && old != controller && old->presentedViewController())
        old->dismissViewController(false);
    window->setRootViewController(controller);
}

std::shared_ptr<MyTabBarController> tabBarOf(const std::shared_ptr<platform::Window>& window) {
    return window ? std::dynamic_pointer_cast<MyTabBarController>(window->rootViewController()) : nullptr;
}

void markOutgoingHome(const std::shared_ptr<MyTabBarController>& tabs) {
    const auto& stacks = tabs->viewControllers();
    if (stacks.empty()) return;
    auto navigation = std::dynamic_pointer_cast<platform::NavigationController>(stacks.front());
    if (!navigation || navigation->viewControllers().empty()) return;
    if (auto home = std::dynamic_pointer_cast<MVTHomeViewController>(navigation->viewControllers().front()))
        home->setIsSetNil(true);
}

}  // namespace

// ---- The request and the reply --------------------------------------------------------------

std::optional<platform::UrlRequest> MVTAppDelegate::signInRequest(const std::string& userName,
                                                                  const std::string& password) {
    // Each credential is one path segment: "/", "?", "#" and "&" in a password are escaped
    // with everything else a URL cannot carry, so the service sees exactly what was typed.
    const std::string url = ServiceAddress::servicePrefix() + "auth/" + platform::percentEscape(userName) + "/" +
                            platform::percentEscape(password);
    return MVTPublicMethod::requestWithMethod("GET", url, Json{{"noSchoolLogin", "true"}});
}

bool MVTAppDelegate::signInReplyIsRefused(const Json& reply) {
    if (!reply.is_object() || reply.empty()) return true;
    for (const char* key : {"name", "userId", "role"})
        if (MVTPublicMethod::stringIsClassNull(Json(textForm(reply, key)))) return true;
    return false;
}

Json MVTAppDelegate::saveUserRowFromReply(const Json& reply, const std::string& userName, const std::string& password,
                                          bool registration) {
    const std::string role = textForm(reply, "role");
    const Json& apps = platform::valueFor(reply, "apps");
    const bool appsNull = MVTPublicMethod::stringIsClassNull(apps);
    const std::string appsText = appsNull ? std::string() : platform::textOf(apps);
    bool hidesSquare = false;
    if (!appsNull) {
        std::stringstream items(appsText);
        for (std::string item; std::getline(items, item, ',');)
            if (item == "homeSquare") hidesSquare = true;
    }
    const Json& ecampus = platform::valueFor(reply, "ecampus");
    const bool ecampusOn = reply.is_object() && reply.contains("ecampus") && !ecampus.is_null() &&
                           platform::boolValue(ecampus);

    std::string level = "0", integral = "0", integralGet = "0";
    if (role == "student") {
        level = nonNullText(reply, "creditLevel", "0");
        integral = nonNullText(reply, "creditLast", "0");
        integralGet = nonNullText(reply, "creditGet", "0");
    } else if (role != "parent") {
        integral = nonNullText(reply, "creditGet", "0");
    }

    return Json{{"userName", userName},
                {"userPassword", password},
                {"name", textForm(reply, "name")},
                {"userId", textForm(reply, "userId")},
                {"role", role},
                {"status", registration ? nonNullText(reply, "status", "") : textForm(reply, "status")},
                {"power", presentText(reply, "director", "0")},
                {"schoolId", nonNullText(reply, "schoolId", "")},
                {"classId", presentText(reply, "classIds", "")},
                {"vfsUrl", presentText(reply, "vfsUrl", "")},
                {"ecampus", ecampusOn ? "1" : "0"},
                {"hideString", appsText},
                {"hideSquare", hidesSquare ? "y" : "n"},
                {"userLvl", level},
                {"userIntegral", integral},
                {"userIntegralGet", integralGet}};
}

Json MVTAppDelegate::refusalRow(const std::string& userName, const std::string& password) {
    Json row = saveUserRowFromReply(Json::object(), userName, password);
    for (auto& [key, value] : row.items())
        if (key != "userName" && key != "userPassword") value = "";
    return row;
}

// ---- Interactive sign-in ------------------------------------------------------------------

void MVTAppDelegate::login(const std::string& userName, const std::string& password, bool showLoadingImageView) {
    if (auto tabs = tabBarOf(window_)) tabs->clearNotif();
    auto request = signInRequest(userName, password);
    if (!request) {
        gotosetview(false);
        showNetworkMessage(NetworkMessageNoNetwork);
        return;
    }
    if (showLoadingImageView) {
        showSplash();
    } else if (imageView_) {
        imageView_->removeFromSuperview();
        imageView_.reset();
    }
    if (window_) HUD_ = platform::ProgressHUD::showHUDAddedTo(window_, true);

    std::weak_ptr<MVTAppDelegate> weakSelf = weak_from_this();
    auto operation = platform::HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weakSelf, userName, password](platform::HttpJsonRequestOperation&, const Json& reply) {
            auto self = weakSelf.lock();
            if (!self) return;
            self->endSignInWaiting();
            if (signInReplyIsRefused(reply))
                self->refuseSignIn(reply, userName, password);
            else
                self->acceptSignIn(reply, userName, password, false);
        },
        [weakSelf, userName, password](platform::HttpRequestOperation&, const platform::HttpError&) {
            auto self = weakSelf.lock();
            if (!self) return;
            self->endSignInWaiting();
            // No answer is no verdict on the credentials: the saved user stays, so the next
            // launch signs in as before, and the login screen keeps what was typed.
            self->gotosetview(false);
            if (auto screen = std::dynamic_pointer_cast<MVTLoginViewController>(self->loginViewController_))
                screen->setName(userName, password);
            self->showNetworkMessage(NetworkMessageFailed);
        });
    operation->start();
}

void MVTAppDelegate::endSignInWaiting() {
    if (imageView_) {
        imageView_->removeFromSuperview();
        imageView_.reset();
    }
    if (auto hud = std::dynamic_pointer_cast<platform::ProgressHUD>(HUD_)) {
        hud->setRemoveFromSuperViewOnHide(true);
        hud->hide(true);
    }
    HUD_.reset();
}

void MVTAppDelegate::refuseSignIn(const Json& reply, const std::string& userName, const std::string& password) {
    MVTtirraDataBase::deleteSaveUser();
    MVTtirraDataBase::insertSaveUserTableWithDict(refusalRow(userName, password));
    gotosetview(false);
    const Json& message = platform::valueFor(reply, "message");
    showPlainAlert("", MVTPublicMethod::stringIsClassNull(message) ? localized("用户名或密码错误")
                                                                   : platform::textOf(message));
}

void MVTAppDelegate::acceptSignIn(const Json& reply, const std::string& userName, const std::string& password,
                                  bool recheck) {
    storeLoadingLatestTime(reply);
    platform::StatisticsKit::shared().beginLogPageView(kLoginPage);
    const Json row = saveUserRowFromReply(reply, userName, password);
    MVTtirraDataBase::deleteSaveUser();
    MVTtirraDataBase::insertSaveUserTableWithDict(row);
    applyRow(row, !recheck);
    if (recheck) {
        // The screens read the new values the next time they look at the record.
        MVTtirraDataBase::deleteUsersTableWithUserName(userName);
        MVTtirraDataBase::insertUsersTableWithDic(rememberedAccountRow(MVTAccount::sharedInstance()));
        return;
    }
    userGetLogin();
}

void MVTAppDelegate::firstRegisterToHomeWith(const Json& reply, const std::string& userName,
                                             const std::string& password) {
    const Json row = saveUserRowFromReply(reply, userName, password, true);
    MVTtirraDataBase::deleteSaveUser();
    MVTtirraDataBase::insertSaveUserTableWithDict(row);
    applyRow(row, true);
    userGetLogin();
}

// ---- The signed-in state ------------------------------------------------------------------

bool MVTAppDelegate::openWithoutSchool() {
    auto& account = MVTAccount::sharedInstance();
    if (!hasNoSchool(account)) return false;
    if (account.role() == std::optional<std::string>("parent")) {
        gotosetview(false);
        showPlainAlert(kNoSchoolForParent, "");
        return true;
    }
    auto join = std::make_shared<MVTInterClassViewController>();
    join->setIsLogining(true);
    replaceRoot(window_, myNavigationController::withRoot(join));
    return true;
}

void MVTAppDelegate::userGetLogin() {
    platform::StatusBar::shared().setHidden(false);
    platform::StatisticsKit::shared().endLogPageView(kLoginPage);
    if (openWithoutSchool()) return;

    auto& account = MVTAccount::sharedInstance();
    const std::string userId = platform::textOfOptional(account.userId());
    if (!MVTtirraDataBase::selectUserNewsSettingDataWith(userId).contains("defaultTime"))
        MVTtirraDataBase::insertUserNewsSettingWithDic(defaultReminderSettings(), userId);

    const long long id = platform::integerValue(userId);
    bool remembered = false;
    for (const auto& row : MVTtirraDataBase::selectUsersTableData())
        if (platform::integerValue(platform::textOf(row, "userId")) == id) remembered = true;
    if (!remembered) MVTtirraDataBase::insertUsersTableWithDic(rememberedAccountRow(account));

    if (auto tabs = tabBarOf(window_)) markOutgoingHome(tabs);
    buildTabBar();
}

void MVTAppDelegate::buildTabBar() {
    auto home = std::make_shared<MVTHomeViewController>();
    auto messages = std::make_shared<MVTInteractionViewController>();
    auto apps = std::make_shared<MVTAppsViewController>();
    auto me = std::make_shared<MVTUserSettingViewController>();
    auto contacts = std::make_shared<MVTContactViewController>();
    std::vector<std::shared_ptr<platform::ViewController>> stacks{
        myNavigationController::withRoot(home), myNavigationController::withRoot(messages),
        myNavigationController::withRoot(apps), myNavigationController::withRoot(me),
        myNavigationController::withRoot(contacts)};

    auto tabs = std::make_shared<MyTabBarController>();
    tabs->addMyitems();
    tabs->setViewControllers(stacks);
    tabs->setSelectedIndex(0);
    replaceRoot(window_, tabs);
}

void MVTAppDelegate::reloadAllViewWhenLanguageHaveChanged() {
    if (auto tabs = tabBarOf(window_)) {
        tabs->clearNotif();
        markOutgoingHome(tabs);
    }
    buildTabBar();
}

// ---- Automatic sign-in at launch ------------------------------------------------------------

void MVTAppDelegate::showSplash() {
    if (!window_) return;
    if (imageView_) imageView_->removeFromSuperview();
    imageView_ = std::make_shared<platform::ImageView>(window_->bounds());
    imageView_->setImage(platform::Image::imageNamed("Default"));
    imageView_->setContentMode(platform::ContentMode::ScaleAspectFill);
    imageView_->setClipsToBounds(true);
    imageView_->setBackgroundColor(platform::Color::rgb255(249, 253, 248));
    // The splash swallows touches: nothing under it can be tapped while it shows.
    imageView_->setUserInteractionEnabled(true);
    window_->addOverlayView(imageView_);
}

void MVTAppDelegate::autoLogin() {
    const Json row = MVTtirraDataBase::selectSaveUserTableData();
    if (rowText(row, "userName").empty() || rowText(row, "userPassword").empty()) {
        loginViewController_ = std::make_shared<MVTLoginViewController>();
        replaceRoot(window_, loginViewController_);
        return;
    }
    // A row without a user id is what a refused sign-in leaves behind: the user name is
    // remembered for the login screen, but nobody is signed in. (A row carried over from an
    // old version keeps only name, password and id; its re-check fills in the rest.)
    if (MVTPublicMethod::stringIsClassNull(platform::valueFor(row, "userId"))) {
        gotosetview(false);
        return;
    }
    applyRow(row, true);
    if (openWithoutSchool()) return;
    showSplash();
    std::weak_ptr<MVTAppDelegate> weakSelf = weak_from_this();
    platform::animate(kSplashSeconds, [] {}, [weakSelf](bool) {
        if (auto self = weakSelf.lock()) self->reloadLoaginView();
    });
}

void MVTAppDelegate::reloadLoaginView() {
    if (imageView_) {
        imageView_->removeFromSuperview();
        imageView_.reset();
    }
    userGetLogin();
    std::weak_ptr<MVTAppDelegate> weakSelf = weak_from_this();
    platform::RunLoop::main().performAfter(kRecheckDelay, [weakSelf] {
        if (auto self = weakSelf.lock()) self->testUserInfo();
    });
}

void MVTAppDelegate::testUserInfo() {
    auto& account = MVTAccount::sharedInstance();
    const std::string userName = account.userName().value_or("");
    const std::string password = account.password().value_or("");
    std::weak_ptr<MVTAppDelegate> weakSelf = weak_from_this();
    platform::dispatchBackground([weakSelf, userName, password] {
        auto request = signInRequest(userName, password);
        if (!request) {
            platform::dispatchMain([weakSelf] {
                if (auto self = weakSelf.lock()) self->showNetworkMessage(NetworkMessageNoNetwork);
            });
            return;
        }
        auto operation = platform::HttpJsonRequestOperation::JSONRequestOperationWithRequest(
            *request,
            [weakSelf, userName, password](platform::HttpJsonRequestOperation&, const Json& reply) {
                auto self = weakSelf.lock();
                if (!self) return;
                if (!signInReplyIsRefused(reply)) {
                    self->acceptSignIn(reply, userName, password, true);
                    return;
                }
                MVTtirraDataBase::deleteSaveUser();
                MVTtirraDataBase::insertSaveUserTableWithDict(refusalRow(userName, password));
                showPlainAlert("", localized("用户名或密码错误"));
                self->gotosetview(false);
            },
            [weakSelf](platform::HttpRequestOperation&, const platform::HttpError&) {
                // No answer leaves the saved user as it is: the user stays signed in, now
                // and at the next launch.
                if (auto self = weakSelf.lock()) self->showNetworkMessage(NetworkMessageNoNetwork);
            });
        operation->start();
    });
}

// ---- Back to the login screen ---------------------------------------------------------------

void MVTAppDelegate::gotosetview(bool empty) {
    platform::NotificationCenter::defaultCenter().postNotification(kSignedOutNotification);
    MVTAccount::sharedInstance().clearIdentity();
    auto screen = std::make_shared<MVTLoginViewController>();
    loginViewController_ = screen;
    replaceRoot(window_, screen);
    if (!empty) {
        const Json row = MVTtirraDataBase::selectSaveUserTableData();
        const std::string userName = rowText(row, "userName"), password = rowText(row, "userPassword");
        if (!userName.empty() && !password.empty()) screen->setName(userName, password);
    }
    platform::StatusBar::shared().setHidden(true);
}
