#pragma once

// What the composer screens read again and again: the screen's size and the signed-in
// user.

#include "core/MVTAccount.h"

#include "platform/ui/Screen.h"

#include <string>

namespace composer_screen {

inline double width() { return platform::Screen::mainScreen().bounds().width(); }
inline double height() { return platform::Screen::mainScreen().bounds().height(); }
inline std::string role() { return MVTAccount::sharedInstance().role().value_or(""); }
inline std::string userId() { return MVTAccount::sharedInstance().userId().value_or(""); }

}  // namespace composer_screen
