#include "platform/ShareKit.h"

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

void ShareKit::reset() {
    appKey_.clear();
    weChatAppId_.clear();
    urls_.clear();
}

}  // namespace platform
