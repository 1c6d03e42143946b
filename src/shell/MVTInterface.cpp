#include "shell/MVTInterface.h"

#include "platform/NotificationCenter.h"

void MVTInterface::goBack() { platform::NotificationCenter::defaultCenter().postNotification(kToBackToLoginNotification); }

bool MVTInterface::callFromScript(const std::string& operation, const std::vector<std::string>& arguments) {
    (void)arguments;
    if (operation != "goBack") return false;
    goBack();
    return true;
}
