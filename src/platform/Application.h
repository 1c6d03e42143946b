#pragma once

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class ApplicationState { Inactive, Active, Background };

// Orientation masks as the app gives them.
enum InterfaceOrientationMask : unsigned {
    OrientationMaskPortrait = 2,
    OrientationMaskLandscapeLeft = 16,
    OrientationMaskLandscapeRight = 8,
};

// A local notification. There is no notification tray here: presenting one records it,
// and a host or test "opens" it by handing it back to the delegate.
struct LocalNotification {
    std::string alertBody;
    std::string soundName;
    long badgeNumber = 0;
    double fireDate = 0;
    nlohmann::json userInfo;
};

// What the app object tells its delegate. Every call comes on the main run loop.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual bool didFinishLaunching(const nlohmann::json& options) = 0;
    virtual void didBecomeActive() {}
    virtual void willResignActive() {}
    virtual void didEnterBackground() {}
    virtual void willEnterForeground() {}
    virtual void willTerminate() {}
    virtual void didReceiveMemoryWarning() {}
    virtual void didReceiveLocalNotification(const LocalNotification& notification) { (void)notification; }
    virtual bool handleOpenURL(const std::string& url) { (void)url; return false; }
    virtual bool openURL(const std::string& url, const std::string& sourceApplication,
                         const nlohmann::json& annotation) {
        (void)sourceApplication;
        (void)annotation;
        return handleOpenURL(url);
    }
    virtual unsigned supportedInterfaceOrientations() { return OrientationMaskPortrait; }
};

// The process-wide app object: lifecycle state, icon badge, local notifications,
// background tasks and the keep-alive handler. Hosts (window, headless) and tests drive
// the lifecycle; the app reads the state and records what it asked for.
class Application {
public:
    static Application& shared();

    void setDelegate(std::shared_ptr<ApplicationDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<ApplicationDelegate> delegate() const { return delegate_; }
    ApplicationState applicationState() const { return state_; }

    // ---- Driven by the host or a test.
    bool launch(const nlohmann::json& options = nlohmann::json::object());
    void becomeActive();
    void enterBackground();
    void terminate();
    void openLocalNotification(const LocalNotification& notification);
    void memoryWarning();

    // ---- Asked for by the app.
    long applicationIconBadgeNumber() const { return badge_; }
    void setApplicationIconBadgeNumber(long badge) { badge_ = badge; }
    void presentLocalNotificationNow(const LocalNotification& notification);
    void scheduleLocalNotification(const LocalNotification& notification);
    void cancelAllLocalNotifications();
    const std::vector<LocalNotification>& presentedNotifications() const { return presented_; }
    const std::vector<LocalNotification>& scheduledNotifications() const { return scheduled_; }

    // Background tasks: ids from 1; 0 is the invalid id.
    unsigned beginBackgroundTask(std::function<void()> expirationHandler);
    void endBackgroundTask(unsigned taskId);
    size_t runningBackgroundTasks() const;
    // The handler the app wants called periodically while in the background.
    bool setKeepAliveTimeout(double seconds, std::function<void()> handler);
    void clearKeepAliveTimeout();
    double keepAliveTimeout() const { return keepAliveTimeout_; }
    void runKeepAliveHandler();

    bool openURL(const std::string& url);  // records the URL (no browser here)
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }

    bool isStatusBarHidden() const { return statusBarHidden_; }
    void setStatusBarHidden(bool hidden) { statusBarHidden_ = hidden; }
    int statusBarStyle() const { return statusBarStyle_; }
    void setStatusBarStyle(int style) { statusBarStyle_ = style; }

    // Forgets everything (tests).
    void reset();

private:
    std::shared_ptr<ApplicationDelegate> delegate_;
    ApplicationState state_ = ApplicationState::Inactive;
    long badge_ = 0;
    std::vector<LocalNotification> presented_, scheduled_;
    struct Task {
        unsigned id;
        std::function<void()> expiration;
    };
    std::vector<Task> tasks_;
    unsigned nextTask_ = 1;
    double keepAliveTimeout_ = 0;
    std::function<void()> keepAlive_;
    std::vector<std::string> openedURLs_;
    bool statusBarHidden_ = false;
    int statusBarStyle_ = 0;
};

}  // namespace platform
