#pragma once

#include <string>

namespace platform {
class UiDriver;
}

// The automation's "launch NAME": selects the Apps tab and runs its tap handler for a
// launcher of that name, as a tap on such a launcher would, whether or not the grid shows
// one. False when no tab bar with an Apps tab is up.
bool launchAppNamed(platform::UiDriver& driver, const std::string& name);
