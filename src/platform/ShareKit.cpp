#include "platform/ShareKit.h"

#include "platform/RunLoop.h"

#include <algorithm>

namespace platform {

ShareKit& ShareKit::shared() {
    static auto* kit = new ShareKit();
    return *kit;
}

void ShareKit::registerApp(const std::string& appKey) { appKey_ = appKey; }

bool ShareKit::handleOpenURL(const std::string& url) {
    urls_.push_back(url);
    return url.rfind("wx", 0) == 0 && url.find("://") != std::string::npos;
}

std::vector<std::string> ShareKit::platforms() const {
    if (weChatAppId_.empty()) return {};
    return {kWeChatSession, kWeChatTimeline, kWeChatFav};
}

void ShareKit::showShareActionSheet(View* sender, ShareRequest request) {
    if (waiting_) cancelShare();
    request.hadSender = sender != nullptr;
    requests_.push_back(request);
    if (platforms().empty()) {
        // Reported later, so that a delegate set right after the call still hears it.
        auto result = request.result;
        if (result) dispatchMain([result] { result(ShareState::Fail, "", kNoPlatform); });
        return;
    }
    waiting_ = std::move(request);
}

void ShareKit::choosePlatform(const std::string& platform) {
    if (!waiting_) return;
    auto result = waiting_->result;
    waiting_.reset();
    if (!result) return;
    result(ShareState::Begin, platform, "");
    auto list = platforms();
    bool known = std::find(list.begin(), list.end(), platform) != list.end();
    // Every platform we offer goes through the messenger, which this machine lacks.
    result(ShareState::Fail, platform, known ? kMessengerMissing : kUnknownPlatform);
}

void ShareKit::cancelShare() {
    if (!waiting_) return;
    auto result = waiting_->result;
    waiting_.reset();
    if (result) result(ShareState::Cancel, "", "");
}

void ShareKit::reset() {
    appKey_.clear();
    weChatAppId_.clear();
    urls_.clear();
    requests_.clear();
    waiting_.reset();
}

}  // namespace platform
