#include "ScriptRunner.h"

#include "LaunchApp.h"

#include "platform/Application.h"
#include "platform/DeviceOrientation.h"
#include "platform/Files.h"
#include "platform/Values.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/TextField.h"
#include "platform/ui/UiDriver.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <ostream>
#include <sstream>

using namespace platform;
using nlohmann::json;

namespace {
constexpr int kExpectFailed = 1;
constexpr int kScriptError = 2;

bool parseNumber(const std::string& text, double& out) {
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && !text.empty();
}

// A script's text is trimmed, so a label drawn with leading or trailing spaces is matched
// by its trimmed text too.
bool showsText(const View& v, const std::string& text) {
    if (v.accessibilityLabel() == text) return true;
    if (const std::string shown = v.displayedText(); shown == text || platform::trimmed(shown) == text) return true;
    auto* field = dynamic_cast<const TextField*>(&v);
    return field && field->placeholder() == text;
}

json dumpView(View& v) {
    Rect f = v.convertRectTo(v.bounds(), nullptr);
    json node = {{"class", v.className()},
                 {"frame", {f.x(), f.y(), f.width(), f.height()}},
                 {"tag", v.tag()},
                 {"hidden", v.isHidden()}};
    if (auto text = v.displayedText(); !text.empty()) node["text"] = text;
    if (auto* field = dynamic_cast<TextField*>(&v); field && !field->placeholder().empty())
        node["placeholder"] = field->placeholder();
    if (!v.accessibilityLabel().empty()) node["accessibilityLabel"] = v.accessibilityLabel();
    if (!v.accessibilityValue().empty()) node["accessibilityValue"] = v.accessibilityValue();
    if (!v.accessibilityHint().empty()) node["accessibilityHint"] = v.accessibilityHint();
    if (v.isHidden()) return node;
    if (auto keyboard = Keyboard::shared().view(); keyboard.get() == &v) {
        json keys = json::array();
        for (const auto& key : Keyboard::shared().keys()) {
            Rect k = v.convertRectTo(key.frame, nullptr);
            keys.push_back({{"title", key.title}, {"frame", {k.x(), k.y(), k.width(), k.height()}}});
        }
        node["keys"] = std::move(keys);
    }
    json children = json::array();
    for (auto& sub : v.subviews())
        if (sub->alpha() > 0) children.push_back(dumpView(*sub));
    if (!children.empty()) node["subviews"] = std::move(children);
    return node;
}
}  // namespace

ScriptRunner::ScriptRunner(UiDriver& driver, std::ostream& messages) : driver_(driver), messages_(messages) {}

std::string ScriptRunner::dumpJson(View& root) {
    root.layoutIfNeeded();
    return dumpView(root).dump(1, ' ', false, json::error_handler_t::replace);
}

bool ScriptRunner::fail(int number, const std::string& message, int) {
    messages_ << "script line " << number << ": " << message << "\n";
    return false;
}

int ScriptRunner::runFile(const std::filesystem::path& file) {
    auto text = readFile(file, 1 << 20);
    if (!text) {
        messages_ << "cannot read script " << file.string() << "\n";
        return kScriptError;
    }
    return runText(*text);
}

int ScriptRunner::runText(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        bool quit = false;
        if (int code = runLine(platform::trimmed(line), number, quit); code != 0) return code;
        if (quit) break;
    }
    return 0;
}

bool ScriptRunner::isVisible(const View& v) const { return !driver_.visibleRectOf(v).isEmpty(); }

std::shared_ptr<View> ScriptRunner::findShowing(const std::string& text) const {
    auto all = driver_.findAll([&](const View& v) { return showsText(v, text) && isVisible(v); });
    return all.empty() ? nullptr : all.back();  // front-most: last in drawing order
}

int ScriptRunner::runLine(const std::string& line, int number, bool& quit) {
    if (line.empty() || line[0] == '#') return 0;
    size_t space = line.find(' ');
    std::string command = line.substr(0, space);
    std::string arg = space == std::string::npos ? "" : platform::trimmed(line.substr(space + 1));
    auto error = [&](const std::string& message) {
        fail(number, message, kScriptError);
        return kScriptError;
    };

    if (command == "quit") {
        quit = true;
        return 0;
    }
    if (command == "wait") {
        double seconds = 0;
        if (!parseNumber(arg, seconds) || seconds < 0 || seconds > 3600) return error("wait wants seconds");
        driver_.advance(seconds);
        return 0;
    }
    if (command == "tap" || command == "longpress") {
        // "longpress 2.5s TEXT" holds the finger that long (default 1 s): a voice take
        // must be held for more than 1.1 s.
        double hold = command == "tap" ? 0 : 1.0;
        if (command == "longpress") {
            const size_t gap = arg.find(' ');
            double seconds = 0;
            if (gap != std::string::npos && gap > 1 && arg[gap - 1] == 's' &&
                parseNumber(arg.substr(0, gap - 1), seconds)) {
                if (seconds <= 0 || seconds > 600) return error("longpress wants a hold of 0 to 600 s");
                hold = seconds;
                arg = platform::trimmed(arg.substr(gap + 1));
            }
        }
        if (arg.empty()) return error(command + " wants a text or #TAG");
        std::shared_ptr<View> target;
        if (arg.size() > 1 && arg[0] == '#') {
            double tag = 0;
            if (!parseNumber(arg.substr(1), tag)) return error("bad tag " + arg);
            auto all = driver_.findAll([&](const View& v) { return v.tag() == int(tag) && isVisible(v); });
            if (!all.empty()) target = all.back();
        } else {
            target = findShowing(arg);
        }
        if (!target) return error("nothing to tap showing \"" + arg + "\"");
        auto landing = driver_.touchLikeAFinger(target, hold);
        if (landing == UiDriver::Landing::Covered) return error("\"" + arg + "\" is under another screen");
        if (landing == UiDriver::Landing::NotShowing) return error("\"" + arg + "\" is not on screen");
        return 0;
    }
    if (command == "launch") {
        if (arg.empty()) return error("launch wants a launcher's name");
        if (!launchAppNamed(driver_, arg)) return error("no Apps tab to launch \"" + arg + "\" from");
        return 0;
    }
    if (command == "drag") {
        std::istringstream in(arg);
        double x1, y1, x2, y2;
        if (!(in >> x1 >> y1 >> x2 >> y2)) return error("drag wants X1 Y1 X2 Y2");
        driver_.drag({x1, y1}, {x2, y2});
        return 0;
    }
    if (command == "type") {
        if (!View::firstResponder()) return error("nothing is focused to type into");
        driver_.type(arg);
        return 0;
    }
    if (command == "key") {
        const std::string keys[][2] = {{"return", "\n"}, {"backspace", "\b"}};
        for (const auto& [name, stroke] : keys) {
            if (arg != name) continue;
            if (!View::firstResponder()) return error("nothing is focused to press " + arg + " in");
            driver_.type(stroke);
            return 0;
        }
        return error("key wants return or backspace");
    }
    if (command == "background" || command == "foreground") {
        if (!arg.empty()) return error(command + " takes nothing more");
        if (command == "background") Application::shared().enterBackground();
        else Application::shared().becomeActive();
        driver_.pump();
        return 0;
    }
    if (command == "rotate") {
        DeviceOrientation orientation;
        if (!Device::orientationNamed(arg, orientation) || arg == "face-down")
            return error("rotate wants portrait, left, right, upside-down or face-up");
        Device::current().setOrientation(orientation);
        driver_.pump();
        return 0;
    }
    if (command == "alert") {
        double index = 0;
        if (!parseNumber(arg, index)) return error("alert wants a button index");
        bool pressed = driver_.alert() ? driver_.pressAlertButton(long(index))
                                       : driver_.sheet() && driver_.pressSheetButton(long(index));
        if (!pressed) return error("no alert or sheet with button " + arg);
        return 0;
    }
    if (command == "screenshot") {
        if (arg.empty()) return error("screenshot wants a file name");
        driver_.pump();
        if (!Renderer::writePNG(driver_.window(), arg)) return error("cannot write " + arg);
        return 0;
    }
    if (command == "dump") {
        if (arg.empty()) return error("dump wants a file name");
        if (!writeFileAtomically(arg, dumpJson(driver_.window()))) return error("cannot write " + arg);
        return 0;
    }
    if (command == "expect") {
        if (arg.empty()) return error("expect wants a text");
        driver_.pump();
        if (!findShowing(arg)) {
            fail(number, "expected to see \"" + arg + "\"", kExpectFailed);
            return kExpectFailed;
        }
        return 0;
    }
    return error("unknown command \"" + command + "\"");
}
