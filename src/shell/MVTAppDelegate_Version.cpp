// The version check of the application delegate: at every launch the service names its
// newest version, and an older running version is offered or required to update.

#include "shell/MVTAppDelegate.h"

#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTIntroViewController.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/Values.h"

std::optional<MVTAppDelegate::VersionOffer> MVTAppDelegate::versionOfferFor(const nlohmann::json& reply,
                                                                             const std::string& runningVersion) {
    if (!reply.is_object() || reply.empty()) return std::nullopt;
    const std::string offered = platform::textOf(reply, "version");
    // Compared run by run as numbers, as the intro compares versions: 10.0 is newer than
    // 2.0, and 1.9 is older than 1.10.
    if (MVTIntroViewController::compareVersions(runningVersion, offered) >= 0) return std::nullopt;
    if (!reply.contains("url")) return std::nullopt;
    const bool required = reply.contains("force") && platform::integerValue(platform::textOf(reply, "force")) != 0;
    VersionOffer offer;
    offer.tag = required ? kRequiredUpdateTag : kOptionalUpdateTag;
    offer.title = localized("版本更新") + "[" + offered + "]";
    offer.message = platform::textOf(reply, "info");
    offer.url = platform::textOf(reply, "url");
    return offer;
}

void MVTAppDelegate::toupdate() {
    const std::string running = bundleShortVersionString();
    auto request = MVTPublicMethod::requestWithMethod("GET", ServiceAddress::servicePrefix() + "config/iphone-version");
    if (!request) {
        showNetworkMessage(NetworkMessageNoNetwork);
        return;
    }
    std::weak_ptr<MVTAppDelegate> weakSelf = weak_from_this();
    auto operation = platform::HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weakSelf, running](platform::HttpJsonRequestOperation&, const nlohmann::json& reply) {
            auto self = weakSelf.lock();
            auto offer = versionOfferFor(reply, running);
            if (!self || !offer) return;
            showVersionOffer(*offer, weakSelf);
        },
        // A check that cannot reach the service stays silent; the next launch asks again.
        [](platform::HttpRequestOperation&, const platform::HttpError&) {});
    operation->start();
}

void MVTAppDelegate::showVersionOffer(const VersionOffer& offer, std::weak_ptr<platform::AlertViewDelegate> delegate) {
    auto alert = std::make_shared<platform::AlertView>();
    if (offer.tag == kRequiredUpdateTag)
        alert->initWithTitle(offer.title, offer.message, std::move(delegate), "", {localized("更新版本")});
    else
        alert->initWithTitle(offer.title, offer.message, std::move(delegate), localized("暂不更新"),
                             {localized("前往更新")});
    alert->setTag(int(offer.tag));
    // The alert carries the address to its answer.
    alert->setAccessibilityHint(offer.url);
    alert->show();
}

void MVTAppDelegate::openVersionOffer(platform::AlertView& alert, long index) {
    if ((alert.tag() == kOptionalUpdateTag && index == 1) || (alert.tag() == kRequiredUpdateTag && index == 0))
        platform::Application::shared().openURL(alert.accessibilityHint());
}

void MVTAppDelegate::alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) {
    openVersionOffer(alert, index);
    alert.setTag(0);
}
