#include "me/MVTTimeWork.h"

#include "shell/InternationalControl.h"

#include "platform/Clock.h"
#include "platform/Dates.h"

#include <cmath>

using namespace platform;

namespace {

double secondsOf(const Json& dateline) { return std::floor(doubleValue(Json(textOf(dateline)))); }

std::string dayOf(double seconds) { return formatDate(seconds, "yyyy-MM-dd"); }

}  // namespace

std::string MVTTimeWork::dateFormate(const Json& dateline) { return formatDate(secondsOf(dateline), "MM-dd"); }

bool MVTTimeWork::isToday(const Json& dateline) { return dayOf(secondsOf(dateline)) == dayOf(platform::now()); }

bool MVTTimeWork::isYesterday(const Json& dateline) {
    return dayOf(secondsOf(dateline)) == dayOf(platform::now() - 86400);
}

std::string MVTTimeWork::columnText(const Json& dateline) {
    if (isToday(dateline)) return localized("今天");
    if (isYesterday(dateline)) return localized("昨天");
    const std::string monthDay = dateFormate(dateline);
    const auto dash = monthDay.find('-');
    if (dash == std::string::npos) return monthDay;
    return std::to_string(std::atoi(monthDay.substr(0, dash).c_str())) + "-" + monthDay.substr(dash + 1);
}
