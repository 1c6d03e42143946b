#include "shell/MVTAppDelegate.h"

#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/ShareKit.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace {
std::shared_ptr<MVTAppDelegate>& sharedSlot() {
    static std::shared_ptr<MVTAppDelegate> slot;
    return slot;
}
}  // namespace

MVTAppDelegate::MVTAppDelegate() {
    // The shared view helpers of the core library show their texts in the current language.
    MVTPublicMethod::setTextLookup(localized);
}
MVTAppDelegate::~MVTAppDelegate() = default;

std::shared_ptr<MVTAppDelegate> MVTAppDelegate::sharedAppDelegate() {
    auto& slot = sharedSlot();
    if (!slot) {
        // Adopt the delegate the application object already has, or become it.
        slot = std::dynamic_pointer_cast<MVTAppDelegate>(platform::Application::shared().delegate());
        if (!slot) {
            slot = std::make_shared<MVTAppDelegate>();
            platform::Application::shared().setDelegate(slot);
        }
    }
    return slot;
}

unsigned MVTAppDelegate::supportedInterfaceOrientations() {
    return isFull_ ? platform::OrientationMaskPortrait : platform::OrientationMaskLandscapeRight;
}

bool MVTAppDelegate::handleOpenURL(const std::string& url) { return platform::ShareKit::shared().handleOpenURL(url); }

bool MVTAppDelegate::openURL(const std::string& url, const std::string&, const nlohmann::json&) {
    return platform::ShareKit::shared().handleOpenURL(url);
}
