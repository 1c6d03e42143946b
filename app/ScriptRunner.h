#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>

namespace platform {
class UiDriver;
class View;
}

// Runs an automation script against the app, one command per line:
//   wait SECONDS          turn the run loop for that long
//   tap TEXT | tap #TAG   a finger on the front-most visible view showing TEXT (text,
//                         title, placeholder or accessibility label), or with that tag:
//                         it lands on the centre of the part that shows and touches
//                         whatever is there; refused when another screen (an alert, a
//                         sheet, the keyboard, a presented screen) lies over it
//   longpress [Ns] TEXT   hold a finger on it for N seconds (default 1); TEXT or #TAG
//   drag X1 Y1 X2 Y2      drag in window points
//   launch NAME           select the Apps tab and run its tap handler for a launcher
//                         named NAME (a screen the grid may not show)
//   type TEXT             type into the first responder
//   key return|backspace  press that key in the first responder
//   background            the app goes to the background (as when the window is minimised)
//   foreground            the app comes back to the front
//   rotate WAY            turn the handset: portrait, left, right, upside-down, face-up
//   alert N               press button N of the visible alert or action sheet
//   screenshot FILE.png   the screen as a picture
//   dump FILE.json        the visible view tree
//   expect TEXT           fail (exit 1) unless a visible view shows TEXT
//   quit                  stop here
// Blank lines and lines starting with "#" are skipped. A script error (unknown command,
// nothing to tap, a file that cannot be written) stops with exit code 2.
class ScriptRunner {
public:
    ScriptRunner(platform::UiDriver& driver, std::ostream& messages);

    int runFile(const std::filesystem::path& file);
    int runText(const std::string& text);

    // The visible tree as JSON (class, frame in window points, text, tag, hidden,
    // accessibility values, subviews; the keyboard lists its keys with their titles and
    // frames).
    static std::string dumpJson(platform::View& root);

private:
    int runLine(const std::string& line, int number, bool& quit);
    std::shared_ptr<platform::View> findShowing(const std::string& text) const;
    // Some part of it shows on screen.
    bool isVisible(const platform::View& v) const;
    bool fail(int number, const std::string& message, int code);

    platform::UiDriver& driver_;
    std::ostream& messages_;
};
