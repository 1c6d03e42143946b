// The centre's way into the lesson detail screen, kept apart so the lessons' screens can
// be wired in here alone.
#include "notices/MVTNewsCenterViewController.h"

#include "platform/ui/NavigationController.h"

bool MVTNewsCenterViewController::openLesson(platform::NavigationController& navigation, const std::string& movieId) {
    // No lesson detail screen is built yet: a lesson event opens nothing.
    (void)navigation;
    (void)movieId;
    return false;
}
