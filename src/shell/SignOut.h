#pragma once

// Posted (no object) when the user goes back to the login screen, before the identity is
// cleared: whatever runs for the signed-in user (transfers) stops on it.
inline constexpr const char* kSignedOutNotification = "tirraSignedOut";
