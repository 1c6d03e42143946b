#pragma once

#include <optional>
#include <string>

namespace platform {

// Date texts with the patterns the app names ("yyyy-MM-dd HH:mm:ss", "MM-dd HH:mm",
// "yyyyMMddHHmmssSSS", ...), in the local time zone or in UTC. Times are seconds since
// 1970-01-01 UTC. The patterns are those of ICU's date formatter; the locale is fixed
// ("en_US_POSIX") so that digits and month names do not follow the user's settings.
std::string formatDate(double time, const std::string& pattern, bool utc = false);
std::optional<double> parseDate(const std::string& text, const std::string& pattern, bool utc = false);

// Calendar fields of a time in the local zone.
struct DateParts {
    int year, month, day, hour, minute, second, weekday;  // weekday: 1 = Sunday
};
DateParts dateParts(double time, bool utc = false);

// The local time zone (tests pin it, e.g. "Asia/Shanghai"); empty restores the system's.
void setLocalTimeZone(const std::string& id);

}  // namespace platform
