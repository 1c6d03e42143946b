#pragma once

#include "platform/ui/Geometry.h"

#include <memory>
#include <string>

namespace platform {
class Label;
class View;
}  // namespace platform

// The red message strip of the registration screens: a label that starts 30 points above
// the top of `view`, transparent, slides down to `shown` while becoming opaque (0.4 s),
// stays for 1.0 s, slides back up while fading out (0.4 s, ease-out) and is removed.
// Every call makes its own strip. Answers the strip.
std::shared_ptr<platform::Label> showRegisterMessageStrip(const std::shared_ptr<platform::View>& view,
                                                          const std::string& text, const platform::Rect& shown,
                                                          double cornerRadius);

inline constexpr double kRegisterStripSlide = 0.4;
inline constexpr double kRegisterStripPause = 1.0;
