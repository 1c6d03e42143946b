#include "platform/Application.h"

#include <algorithm>

namespace platform {

Application& Application::shared() {
    static auto* app = new Application();
    return *app;
}

bool Application::launch(const nlohmann::json& options) {
    if (!delegate_) return false;
    bool ok = delegate_->didFinishLaunching(options);
    becomeActive();
    return ok;
}

void Application::becomeActive() {
    if (state_ == ApplicationState::Active) return;
    if (state_ == ApplicationState::Background && delegate_) delegate_->willEnterForeground();
    state_ = ApplicationState::Active;
    if (delegate_) delegate_->didBecomeActive();
}

void Application::enterBackground() {
    if (state_ == ApplicationState::Background) return;
    if (delegate_) delegate_->willResignActive();
    state_ = ApplicationState::Background;
    if (delegate_) delegate_->didEnterBackground();
}

void Application::terminate() {
    if (delegate_) delegate_->willTerminate();
}

void Application::openLocalNotification(const LocalNotification& notification) {
    if (delegate_) delegate_->didReceiveLocalNotification(notification);
}

void Application::memoryWarning() {
    if (delegate_) delegate_->didReceiveMemoryWarning();
}

void Application::presentLocalNotificationNow(const LocalNotification& notification) {
    presented_.push_back(notification);
}

void Application::scheduleLocalNotification(const LocalNotification& notification) {
    scheduled_.push_back(notification);
}

void Application::cancelAllLocalNotifications() { scheduled_.clear(); }

unsigned Application::beginBackgroundTask(std::function<void()> expirationHandler) {
    unsigned id = nextTask_++;
    tasks_.push_back({id, std::move(expirationHandler)});
    return id;
}

void Application::endBackgroundTask(unsigned taskId) {
    std::erase_if(tasks_, [taskId](const Task& t) { return t.id == taskId; });
}

size_t Application::runningBackgroundTasks() const { return tasks_.size(); }

bool Application::setKeepAliveTimeout(double seconds, std::function<void()> handler) {
    // The handset refused periods under ten minutes; keep the same answer.
    if (seconds < 600) return false;
    keepAliveTimeout_ = seconds;
    keepAlive_ = std::move(handler);
    return true;
}

void Application::clearKeepAliveTimeout() {
    keepAliveTimeout_ = 0;
    keepAlive_ = nullptr;
}

void Application::runKeepAliveHandler() {
    if (keepAlive_) keepAlive_();
}

bool Application::openURL(const std::string& url) {
    openedURLs_.push_back(url);
    return true;
}

void Application::reset() {
    delegate_.reset();
    state_ = ApplicationState::Inactive;
    badge_ = 0;
    presented_.clear();
    scheduled_.clear();
    tasks_.clear();
    nextTask_ = 1;
    clearKeepAliveTimeout();
    openedURLs_.clear();
    statusBarHidden_ = false;
    statusBarStyle_ = 0;
}

}  // namespace platform
