#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class View;

// A picture handed to the kit: its bytes, the kind of file and the file name it goes by.
struct ShareAttachment {
    std::string bytes;
    std::string kind = "png";
    std::string fileName = "share";
};

enum class ShareContentKind { Default, Text, Image, News };

// What one platform (or every platform without an entry of its own) is given. A missing
// value stays missing.
struct ShareContent {
    std::optional<std::string> text;
    std::optional<std::string> defaultText;
    std::optional<ShareAttachment> image;
    std::optional<ShareAttachment> thumbImage;  // the small preview (WeChat entries)
    std::optional<std::string> title;
    std::optional<std::string> url;
    std::optional<std::string> description;
    ShareContentKind kind = ShareContentKind::Default;
};

// Options of the kit's authorisation and share screens.
struct ShareOptions {
    bool autoAuth = true;
    bool authViewModal = true;
    bool hasAuthCallback = false;
    std::string editingTitle;
    bool oneKeyShareListDefault = true;
    bool qqButtonHidden = false;
    bool weChatSessionButtonHidden = false;
    bool weChatTimelineButtonHidden = false;
    bool autoShowKeyboard = true;
    bool styledAuthScreens = false;
    bool styledShareScreens = false;
    bool styledPictureViewer = false;
    bool statusBarTips = false;
};

enum class ShareState { Begin, Success, Fail, Cancel };
// A report of the kit: the state, the platform chosen and, on failure, the error's description.
using ShareResultHandler = std::function<void(ShareState state, const std::string& platform,
                                              const std::string& errorDescription)>;

// One share the kit was asked for, as the caller handed it over.
struct ShareRequest {
    ShareContent general;
    std::optional<ShareContent> weChatSession;
    std::optional<ShareContent> weChatTimeline;
    std::optional<ShareContent> weChatFav;
    ShareOptions options;
    bool arrowUp = false;
    bool hadSender = false;
    ShareResultHandler result;
};

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

    // Names of the platforms on the share sheet: the three WeChat ones once the WeChat
    // channel is connected.
    static constexpr const char* kWeChatSession = "微信好友";
    static constexpr const char* kWeChatTimeline = "微信朋友圈";
    static constexpr const char* kWeChatFav = "微信收藏";
    std::vector<std::string> platforms() const;
    // The error the kit reports for a WeChat platform while the messenger is missing, and
    // when no platform is registered at all.
    static constexpr const char* kMessengerMissing = "尚未安装微信客户端";
    static constexpr const char* kNoPlatform = "没有可用的分享平台";
    static constexpr const char* kUnknownPlatform = "不支持的分享平台";

    // Records the request and makes it the one waiting for a platform; the sheet that
    // offers platforms() calls choosePlatform or cancelShare. With no platform registered
    // the kit reports a failure on the next turn of the main loop. A request still waiting
    // when another comes is cancelled first.
    void showShareActionSheet(View* sender, ShareRequest request);
    // Sends the waiting request to a platform: reports Begin, then, as there is no
    // messenger on this machine, a failure with kMessengerMissing (an unknown platform
    // fails too). Nothing is ever reported as shared by this stand-in.
    void choosePlatform(const std::string& platform);
    // The sheet was closed without a choice: reports Cancel.
    void cancelShare();
    bool hasWaitingShare() const { return waiting_.has_value(); }
    // Every request asked for, oldest first.
    const std::vector<ShareRequest>& shareRequests() const { return requests_; }

    void reset();

private:
    std::string appKey_;
    std::string weChatAppId_;
    std::vector<std::string> urls_;
    std::vector<ShareRequest> requests_;
    std::optional<ShareRequest> waiting_;
};

}  // namespace platform
