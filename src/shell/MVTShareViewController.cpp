#include "shell/MVTShareViewController.h"

#include "platform/Values.h"

using namespace platform;

MVTShareViewController::MVTShareViewController() : viewDelegate_(std::make_shared<MVTShareViewDelegate>()) {}

MVTShareViewController::~MVTShareViewController() = default;

std::shared_ptr<MVTShareViewController> MVTShareViewController::shareViewController() {
    // A function-local static is made once even when two threads ask first.
    static std::shared_ptr<MVTShareViewController> wrapper = std::make_shared<MVTShareViewController>();
    return wrapper;
}

std::string MVTShareViewController::outcomeText(ShareState state, const std::string& errorDescription) {
    switch (state) {
    case ShareState::Success: return kShareSucceeded;
    case ShareState::Fail: return std::string("分享失败 ") + errorDescription;
    default: return {};
    }
}

void MVTShareViewController::shareTo(const Json& dictionary, View* sender) {
    (void)dictionary;
    (void)sender;
}

void MVTShareViewDelegate::viewOnWillDisplay(ViewController& screen) { (void)screen; }

void MVTShareViewDelegate::didRotateFromInterfaceOrientation(ViewController& screen, bool landscape) {
    (void)screen;
    (void)landscape;
}

std::string MVTShareViewDelegate::navigationBarBackground(bool tablet, bool fourInchPhone, bool landscape) {
    if (tablet) return landscape ? "iPadLandscapeNavigationBarBG.png" : "iPadNavigationBarBG.png";
    if (!landscape) return "iPhoneNavigationBarBG.png";
    return fourInchPhone ? "iPhoneLandscapeNavigationBarBG-568h.png" : "iPhoneLandscapeNavigationBarBG.png";
}
