#include "platform/Dates.h"

#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace platform {

namespace {
std::mutex zoneMutex;

std::unique_ptr<icu::TimeZone> zoneFor(bool utc) {
    std::lock_guard lock(zoneMutex);
    if (utc) return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone("UTC"));
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createDefault());
}

std::unique_ptr<icu::SimpleDateFormat> makeFormatter(const std::string& pattern, bool utc) {
    UErrorCode status = U_ZERO_ERROR;
    auto f = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString::fromUTF8(pattern),
                                                     icu::Locale("en_US_POSIX"), status);
    if (U_FAILURE(status)) return nullptr;
    f->adoptTimeZone(zoneFor(utc).release());
    f->setLenient(false);
    return f;
}

// Making a formatter costs far more than formatting with it, and lists format a date a row,
// so formatters are kept by pattern and zone (a few patterns in all) until the local zone
// changes. ICU formatters are not safe to share between threads: each use holds the lock.
std::mutex formatterMutex;
std::map<std::pair<std::string, bool>, std::unique_ptr<icu::SimpleDateFormat>> formatters;

// With formatterMutex held.
icu::SimpleDateFormat* cachedFormatter(const std::string& pattern, bool utc) {
    auto key = std::make_pair(pattern, utc);
    if (auto it = formatters.find(key); it != formatters.end()) return it->second.get();
    auto made = makeFormatter(pattern, utc);
    if (!made) return nullptr;
    if (formatters.size() >= 64) formatters.clear();
    return formatters.emplace(std::move(key), std::move(made)).first->second.get();
}
}  // namespace

std::string formatDate(double time, const std::string& pattern, bool utc) {
    std::lock_guard lock(formatterMutex);
    auto* f = cachedFormatter(pattern, utc);
    if (!f) return {};
    icu::UnicodeString out;
    f->format(static_cast<UDate>(time * 1000.0), out);
    std::string text;
    out.toUTF8String(text);
    return text;
}

std::optional<double> parseDate(const std::string& text, const std::string& pattern, bool utc) {
    std::lock_guard lock(formatterMutex);
    auto* f = cachedFormatter(pattern, utc);
    if (!f) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    UDate d = f->parse(icu::UnicodeString::fromUTF8(text), status);
    if (U_FAILURE(status)) return std::nullopt;
    return d / 1000.0;
}

DateParts dateParts(double time, bool utc) {
    UErrorCode status = U_ZERO_ERROR;
    icu::GregorianCalendar cal(zoneFor(utc).release(), status);
    cal.setTime(static_cast<UDate>(time * 1000.0), status);
    auto get = [&](UCalendarDateFields f) { return cal.get(f, status); };
    return {get(UCAL_YEAR), get(UCAL_MONTH) + 1, get(UCAL_DATE),   get(UCAL_HOUR_OF_DAY),
            get(UCAL_MINUTE), get(UCAL_SECOND), get(UCAL_DAY_OF_WEEK)};
}

void setLocalTimeZone(const std::string& id) {
    {
        std::lock_guard lock(zoneMutex);
        if (id.empty()) {
            icu::TimeZone::adoptDefault(icu::TimeZone::detectHostTimeZone());
        } else {
            icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(id)));
        }
    }
    std::lock_guard lock(formatterMutex);
    formatters.clear();  // they hold the old zone
}

}  // namespace platform
