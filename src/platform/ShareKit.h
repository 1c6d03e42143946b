#pragma once

#include <string>
#include <vector>

namespace platform {

// Stand-in for the social-sharing kit and its WeChat part: there is no messenger app on
// this machine, so the kit records what it was asked and answers as the kit does when
// the messenger is absent.
class ShareKit {
public:
    static ShareKit& shared();

    void registerApp(const std::string& appKey);
    const std::string& registeredAppKey() const { return appKey_; }
    // Connects the WeChat channel with its application id ("wx" + 16 hex digits).
    void connectWeChat(const std::string& appId) { weChatAppId_ = appId; }
    const std::string& weChatAppId() const { return weChatAppId_; }

    // A URL that opened the app, handed over with the messenger delegate. Answers whether
    // the kit took it: only URLs of the messenger's own scheme ("wx" + app id).
    bool handleOpenURL(const std::string& url);
    const std::vector<std::string>& handledURLs() const { return urls_; }

    bool isMessengerInstalled() const { return false; }
    void reset();

private:
    std::string appKey_;
    std::string weChatAppId_;
    std::vector<std::string> urls_;
};

}  // namespace platform
