#pragma once

// Pieces the chat's lists share.

#include "platform/Values.h"
#include "platform/ui/Color.h"

#include <string>

namespace chat_rows {

// The thin bar at the left of a person or group row, by role: blue for teachers,
// administrators and the system, grey for parents, green for groups, orange otherwise.
inline platform::Color roleColour(const std::string& role) {
    if (role == "teacher" || role == "admin" || role == "system") return platform::Color::rgb255(81, 186, 247);
    if (role == "parent") return platform::Color::rgb255(130, 130, 130);
    if (role == "group") return platform::Color::rgb255(153, 173, 123);
    return platform::Color::rgb255(243, 164, 39);
}

// The seconds of a voice attachment as shown: its "duration", "0" when null or empty.
inline std::string voiceDuration(const platform::Json& attachment) {
    std::string seconds = platform::textOf(attachment, "duration");
    const bool none = seconds.empty() || seconds == "<null>" || seconds == "(null)";
    return none ? std::string(1, '0') : seconds;
}

}  // namespace chat_rows
