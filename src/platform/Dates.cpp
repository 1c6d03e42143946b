#include "platform/Dates.h"

#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <memory>
#include <mutex>

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
}  // namespace

std::string formatDate(double time, const std::string& pattern, bool utc) {
    auto f = makeFormatter(pattern, utc);
    if (!f) return {};
    icu::UnicodeString out;
    f->format(static_cast<UDate>(time * 1000.0), out);
    std::string text;
    out.toUTF8String(text);
    return text;
}

std::optional<double> parseDate(const std::string& text, const std::string& pattern, bool utc) {
    auto f = makeFormatter(pattern, utc);
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
    std::lock_guard lock(zoneMutex);
    if (id.empty()) {
        icu::TimeZone::adoptDefault(icu::TimeZone::detectHostTimeZone());
    } else {
        icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(id)));
    }
}

}  // namespace platform
