#pragma once

#include "platform/ui/WebView.h"

#include <string>
#include <vector>

// Posted by the page object's goBack; every open advert and report screen closes on it.
inline constexpr const char* kToBackToLoginNotification = "toBackToLogin";

// The object that bridge web views offer to their pages' scripts under the name
// "serverinfo" (serverinfo.goBack()). It lives as long as the web view that offers it.
class MVTInterface : public platform::ScriptObject {
public:
    static constexpr const char* kScriptName = "serverinfo";

    // Posts "toBackToLogin" with no object on the default notification centre.
    void goBack();

    bool callFromScript(const std::string& operation, const std::vector<std::string>& arguments) override;
};
