// The app's entry point: reads the command line, hands control to the application
// delegate through the window or headless host, and returns the host's exit code.
#include "HeadlessHost.h"
#include "HostOptions.h"
#include "WindowHost.h"
#include "microlessons/MVTLessionMovieDetailViewController.h"
#include "microlessons/MVTMicroLessonList.h"
#include "shell/MVTAppDelegate.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    std::string error;
    auto options = HostOptions::parse(argc, argv, error);
    if (!options) {
        std::cerr << "tirra: " << error << "\n" << HostOptions::usage() << "\n";
        return 2;
    }
    options->apply();
    if (options->headless) setenv("ALSOFT_DRIVERS", "null", 0);

    // The application delegate registers itself with the application object.
    MVTAppDelegate::sharedAppDelegate();
    // A lesson tapped in the lesson lists opens on its detail screen.
    MVTMicroLessonViewController::setDetailOpener(MVTLessionMovieDetailViewController::openFromList);
    return options->headless ? runHeadless(*options) : runInWindow(*options);
}
