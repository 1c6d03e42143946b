#pragma once

#include "platform/Values.h"

#include <string>

// The date texts of the timeline's date column. A dateline is seconds since 1970, as a
// number or as its text, read to the whole second; dates are those of the device's time
// zone, and "now" is the application clock's.
class MVTTimeWork {
public:
    // "MM-dd" of the moment.
    static std::string dateFormate(const platform::Json& dateline);
    // The moment's "yyyy-MM-dd" is that of now / of now less 86,400 seconds.
    static bool isToday(const platform::Json& dateline);
    static bool isYesterday(const platform::Json& dateline);
    // The date column's text: "今天", "昨天" (both looked up) or the month without its
    // leading zero and the day as written, "3-05".
    static std::string columnText(const platform::Json& dateline);
};
