#include "composer/MVTAddFeelingController.h"

#include "shell/InternationalControl.h"

#include "platform/Clock.h"
#include "platform/Dates.h"
#include "platform/UserDefaults.h"
#include "platform/Values.h"

std::string MVTAddFeelingController::feelingTimeKey(const std::string& userId) { return userId + "FeelingTime"; }

std::string MVTAddFeelingController::today() {
    return platform::formatDate(platform::Clock::current()->now(), "yyyy-MM-dd");
}

bool MVTAddFeelingController::sentToday(const std::string& userId) {
    auto stored = platform::UserDefaults::standard().objectForKey(feelingTimeKey(userId));
    return platform::textOf(stored) == today();
}

void MVTAddFeelingController::recordToday(const std::string& userId) {
    platform::UserDefaults::standard().setObject(feelingTimeKey(userId), today());
}

void MVTAddFeelingController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("发心情"));
}
