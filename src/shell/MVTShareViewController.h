#pragma once

#include "shell/ViewViewController.h"

#include "platform/ShareKit.h"
#include "platform/Values.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class View;
}

// Receives the outcome of a share as a short text ("分享成功" or "分享失败 <reason>").
class shareDelegate {
public:
    virtual ~shareDelegate() = default;
    virtual void shareResult(const std::string& text) = 0;
};

// Gives the sharing kit's own screens (authorisation, editing, friends) the app's look:
// white bar button titles and title, and the navigation bar background for the device and
// orientation.
class MVTShareViewDelegate {
public:
    // A kit screen is about to show.
    void viewOnWillDisplay(platform::ViewController& screen);
    // A kit screen turned to another orientation (both landscape ones count as landscape).
    void didRotateFromInterfaceOrientation(platform::ViewController& screen, bool landscape);
    // This build runs as a phone with a 4-inch (568-point) screen or not; no tablet.
    // The bar background for a device and orientation.
    static std::string navigationBarBackground(bool tablet, bool fourInchPhone, bool landscape);
};

// The one place that talks to the sharing kit: turns a share dictionary into the kit's
// content (a general entry and the three WeChat entries), opens the kit's sheet and reports
// the outcome to the delegate. A process-wide object; its view is never shown.
//
// Share dictionary: "title" and "content" (texts, HTML character entities allowed),
// "image" and "thumbImage" (picture bytes: a JSON binary value or a text holding the
// bytes), "url" (text). A missing key is handed to the kit as missing.
class MVTShareViewController : public ViewViewController {
public:
    static constexpr const char* kShareSucceeded = "分享成功";
    static constexpr const char* kShareFailedFormat = "分享失败 %@";
    static constexpr const char* kShareDescription = "岚溪校讯";
    // The kit's platform sheet.
    static constexpr int kShareSheetTag = 4040;

    MVTShareViewController();
    ~MVTShareViewController() override;
    std::string className() const override { return "MVTShareViewController"; }

    // The single wrapper, made on first use (once, from any thread).
    static std::shared_ptr<MVTShareViewController> shareViewController();

    // shareTo:sender: builds the content and shows the kit's share sheet; returns at once.
    // The outcome reaches the delegate later, on the main thread.
    void shareTo(const platform::Json& dictionary, platform::View* sender);

    // The receiver of the outcome; owned until another replaces it.
    std::shared_ptr<shareDelegate> delegate() const { return delegate_; }
    void setDelegate(std::shared_ptr<shareDelegate> delegate) { delegate_ = std::move(delegate); }

    const std::shared_ptr<MVTShareViewDelegate>& viewDelegate() const { return viewDelegate_; }

    // The kit's sheet: a platform chosen, or closed.
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;

    // Replaces every HTML character entity (named, decimal or hexadecimal) by the
    // character it stands for; anything that is not an entity stays as it is.
    static std::string decodeEntities(const std::string& text);

    // The outcome text for a report of the kit ("" for begin and cancel, which report
    // nothing).
    static std::string outcomeText(platform::ShareState state, const std::string& errorDescription);

private:
    std::shared_ptr<MVTShareViewDelegate> viewDelegate_;
    std::shared_ptr<shareDelegate> delegate_;
    std::vector<std::string> sheetPlatforms_;
    std::weak_ptr<platform::ActionSheet> sheet_;
};
