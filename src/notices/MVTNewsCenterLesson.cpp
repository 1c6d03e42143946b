// The centre's way into the lesson detail screen, kept apart so the lessons' screens are
// wired in here alone.
#include "notices/MVTNewsCenterViewController.h"

#include "microlessons/MVTLessionMovieDetailViewController.h"

#include "platform/ui/NavigationController.h"

bool MVTNewsCenterViewController::openLesson(platform::NavigationController& navigation, const std::string& movieId) {
    MVTLessionMovieDetailViewController::openById(navigation, movieId);
    return true;
}
