// The app in a real window, used the way a new user uses it: its own X display (Xvfb),
// mouse clicks and typing sent with xdotool, the screen read back with xwd. Covers the
// window host's own work: mouse to touch, keys and text to the focused field (Return and
// Backspace included), clicks on the drawn keyboard, the window's size and scale, redraws
// and hiding and showing the window. Where views are comes from the dump the host writes
// on SIGUSR1; what the window shows is checked in the captured picture at those places.

#include "support/ServiceFixture.h"

#include "platform/Files.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <poll.h>
#include <sys/prctl.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using nlohmann::json;
using SteadyClock = std::chrono::steady_clock;

// ---- Programs ---------------------------------------------------------------------------

// The program's file in PATH; empty when there is none.
std::string pathOf(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= dirs.size();) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string file = dirs.substr(start, end - start) + "/" + program;
        if (end > start && access(file.c_str(), X_OK) == 0) return file;
        start = end + 1;
    }
    return "";
}

// A program started in the background, its output going to `log`; stopped (TERM, then
// KILL when it lingers) when the object goes.
class SpawnedProgram {
public:
    SpawnedProgram() = default;
    SpawnedProgram(const SpawnedProgram&) = delete;
    SpawnedProgram& operator=(const SpawnedProgram&) = delete;
    ~SpawnedProgram() { stop(); }

    bool start(const std::vector<std::string>& args, const std::vector<std::string>& env,
               const std::filesystem::path& log) {
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e) {
            std::string entry = *e;
            bool replaced = false;
            for (auto& mine : env)
                replaced |= entry.substr(0, entry.find('=') + 1) == mine.substr(0, mine.find('=') + 1);
            if (!replaced) environment.push_back(entry);
        }
        environment.insert(environment.end(), env.begin(), env.end());
        std::vector<char*> envp;
        for (auto& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);

        std::string program = args[0].find('/') == std::string::npos ? pathOf(args[0]) : args[0];
        if (program.empty()) return false;
        int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
        pid_t parent = getpid();
        pid_ = fork();
        if (pid_ == 0) {
            // Goes with the test: a test killed at its time limit leaves no display or app.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent) _exit(127);
            dup2(in, 0);
            dup2(out, 1);
            dup2(out, 2);
            execve(program.c_str(), argv.data(), envp.data());
            _exit(127);
        }
        close(out);
        close(in);
        return pid_ > 0;
    }

    pid_t pid() const { return pid_; }
    bool running() {
        if (pid_ <= 0) return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        return true;
    }
    void stop() {
        if (!running()) return;
        kill(pid_, SIGTERM);
        for (auto end = SteadyClock::now() + std::chrono::seconds(5); SteadyClock::now() < end;) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

// Turns `condition` until it holds, `seconds` at most, looking every 50 ms.
bool holdsWithin(double seconds, const std::function<bool()>& condition) {
    auto end = SteadyClock::now() + std::chrono::duration<double>(seconds);
    while (true) {
        if (condition()) return true;
        if (SteadyClock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// ---- The captured picture (xwd's format: a big-endian header, a colour map, pixels) ------

struct PixelColour {
    int r = 0, g = 0, b = 0;
    int distance(const PixelColour& o) const { return std::abs(r - o.r) + std::abs(g - o.g) + std::abs(b - o.b); }
};

class WindowPicture {
public:
    static std::optional<WindowPicture> parse(const std::string& bytes) {
        auto word = [&](size_t i) -> uint32_t {
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + i * 4;
            return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
        };
        if (bytes.size() < 100 || word(1) != 7 || word(2) != 2) return std::nullopt;  // version 7, ZPixmap
        WindowPicture c;
        size_t headerSize = word(0);
        c.width_ = int(word(4));
        c.height_ = int(word(5));
        c.msbFirst_ = word(7) == 1;
        c.bytesPerPixel_ = int(word(11)) / 8;
        c.bytesPerLine_ = word(12);
        c.masks_[0] = word(14);
        c.masks_[1] = word(15);
        c.masks_[2] = word(16);
        size_t colours = word(19);
        c.offset_ = headerSize + colours * 12;
        if (c.bytesPerPixel_ < 3 || c.bytesPerPixel_ > 4 ||
            bytes.size() < c.offset_ + c.bytesPerLine_ * size_t(c.height_))
            return std::nullopt;
        c.bytes_ = bytes;
        return c;
    }

    int width() const { return width_; }
    int height() const { return height_; }

    PixelColour at(int x, int y) const {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data()) + offset_ + size_t(y) * bytesPerLine_ +
                        size_t(x) * size_t(bytesPerPixel_);
        uint32_t v = 0;
        for (int i = 0; i < bytesPerPixel_; ++i)
            v |= uint32_t(p[i]) << (msbFirst_ ? 8 * (bytesPerPixel_ - 1 - i) : 8 * i);
        auto channel = [&](uint32_t mask) {
            if (!mask) return 0;
            int shift = 0;
            while (!((mask >> shift) & 1)) ++shift;
            return int(((v & mask) >> shift) * 255 / (mask >> shift));
        };
        return {channel(masks_[0]), channel(masks_[1]), channel(masks_[2])};
    }

    // How many pixels in the rectangle (pixels) lie within `tolerance` of `colour`.
    int count(int x0, int y0, int x1, int y1, const PixelColour& colour, int tolerance) const {
        int n = 0;
        for (int y = std::max(0, y0); y < std::min(height_, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(width_, x1); ++x)
                if (at(x, y).distance(colour) <= tolerance) ++n;
        return n;
    }

private:
    std::string bytes_;
    size_t offset_ = 0, bytesPerLine_ = 0;
    int width_ = 0, height_ = 0, bytesPerPixel_ = 4;
    bool msbFirst_ = false;
    uint32_t masks_[3] = {};
};

// ---- The dump ---------------------------------------------------------------------------

// The front-most node (last in drawing order) for which `match` holds.
const json* findDumpNode(const json& node, const std::function<bool(const json&)>& match) {
    const json* found = match(node) ? &node : nullptr;
    if (node.contains("subviews"))
        for (const auto& sub : node["subviews"])
            if (const json* inner = findDumpNode(sub, match)) found = inner;
    return found;
}

struct PointBox {
    double x = 0, y = 0, w = 0, h = 0;
    double midX() const { return x + w / 2; }
    double midY() const { return y + h / 2; }
};

PointBox boxOfFrame(const json& frame) { return {frame[0], frame[1], frame[2], frame[3]}; }

// The display number Xvfb writes to `fd` once it is ready; empty when it does not within
// 20 seconds.
std::string readDisplayNumber(int fd) {
    std::string text;
    pollfd ready{fd, POLLIN, 0};
    auto end = SteadyClock::now() + std::chrono::seconds(20);
    while (text.find('\n') == std::string::npos && SteadyClock::now() < end) {
        if (poll(&ready, 1, 100) <= 0) continue;
        char buf[16];
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        text.append(buf, size_t(n));
    }
    size_t newline = text.find('\n');
    return newline == std::string::npos ? "" : text.substr(0, newline);
}

class WindowRoadTest : public testing_support::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        if (pathOf("Xvfb").empty()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
        ASSERT_TRUE(!pathOf("xdotool").empty() && !pathOf("xwd").empty())
            << "xdotool and xwd (x11-apps) are needed: bash scripts/setup";
        log_ = home_ / "window-road.log";
        dumpFile_ = home_ / "window-dump.json";

        // Xvfb picks a free display itself and writes its number to the pipe (inherited by
        // it) once it accepts clients.
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        ASSERT_TRUE(display_.start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "800x1300x24",
                                    "-nolisten", "tcp"},
                                   {}, log_));
        close(fds[1]);
        std::string number = readDisplayNumber(fds[0]);
        close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start:\n" << logText();
        displayName_ = ":";
        displayName_ += number;

        ASSERT_TRUE(app_.start({TIRRA_APP_BINARY, "--base-url", baseUrl(), "--home", (home_ / "app").string(),
                                "--dump", dumpFile_.string()},
                               {"DISPLAY=" + displayName_, "SDL_VIDEODRIVER=x11", "LANGUAGE=zh_CN", "LANG=zh_CN.UTF-8",
                                "ALSOFT_DRIVERS=null"},
                               log_));
        ASSERT_TRUE(holdsWithin(30, [&] {
            windowId_ = trimmed(x("xdotool search --name '^Tirra$'"));
            return !windowId_.empty() || !app_.running();
        }));
        ASSERT_FALSE(windowId_.empty()) << "no window:\n" << logText();
        windowId_ = windowId_.substr(0, windowId_.find('\n'));
        // No window manager here: give the window the keyboard the way one would.
        x("xdotool windowfocus " + windowId_);
    }

    void TearDown() override {
        app_.stop();
        display_.stop();
        ServiceTest::TearDown();
    }

    static std::string trimmed(std::string s) {
        while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
        return s;
    }

    std::string logText() const { return platform::readFile(log_).value_or(""); }

    // Runs an X client on the test's display; answers what it printed.
    std::string x(const std::string& command) {
        std::string out;
        // A client that hangs is stopped after 10 s, so the test fails rather than stalls.
        std::string line = "DISPLAY=";
        line += displayName_ + " timeout 10 " + command + " 2>>" + log_.string();
        FILE* pipe = popen(line.c_str(), "r");
        if (!pipe) return out;
        char buf[65536];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
        pclose(pipe);
        return out;
    }

    // What the window shows, from the host's dump.
    json dump() {
        std::filesystem::remove(dumpFile_);
        kill(app_.pid(), SIGUSR1);
        std::optional<std::string> text;
        holdsWithin(10, [&] { return (text = platform::readFile(dumpFile_)).has_value() || !app_.running(); });
        if (!text) return json();
        return json::parse(*text, nullptr, false);
    }

    // Dumps until `condition` holds on the dump (20 s at most); answers the last dump.
    json dumpUntil(const std::function<bool(const json&)>& condition) {
        json last;
        holdsWithin(20, [&] {
            last = dump();
            return (last.is_object() && condition(last)) || !app_.running();
        });
        return last;
    }

    // The view tree of a dump; an empty node when the dump did not come.
    static const json& treeOf(const json& d) {
        static const json nothing = json::object();
        return d.is_object() && d.contains("tree") ? d["tree"] : nothing;
    }

    static const json* byText(const json& d, const std::string& text) {
        return findDumpNode(treeOf(d), [&](const json& n) {
            return n.value("text", "") == text || n.value("placeholder", "") == text;
        });
    }

    // A click at a point of the screen (window points).
    void click(double px, double py) {
        char at[64];
        std::snprintf(at, sizeof at, "%d %d", int(std::lround(px * scale_)), int(std::lround(py * scale_)));
        x("xdotool mousemove --window " + windowId_ + " " + at + " click 1");
    }
    void clickText(const json& d, const std::string& text) {
        const json* node = byText(d, text);
        ASSERT_TRUE(node) << "nothing shows \"" << text << "\"";
        PointBox b = boxOfFrame((*node)["frame"]);
        click(b.midX(), b.midY());
    }
    // A key of the drawn keyboard, by its title.
    std::optional<PointBox> drawnKey(const json& d, const std::string& title) {
        const json* keyboard =
            findDumpNode(treeOf(d), [](const json& n) { return n.value("class", "") == "Keyboard"; });
        if (!keyboard || !keyboard->contains("keys")) return std::nullopt;
        for (const auto& key : (*keyboard)["keys"])
            if (key.value("title", "") == title) return boxOfFrame(key["frame"]);
        return std::nullopt;
    }

    WindowPicture capture() {
        auto picture = WindowPicture::parse(x("xwd -silent -id " + windowId_));
        EXPECT_TRUE(picture) << "xwd gave no picture";
        return picture.value_or(WindowPicture());
    }
    // Pixels of the box (window points) near `colour` in the captured window.
    int pixelsLike(const WindowPicture& c, const PointBox& b, const PixelColour& colour, int tolerance = 40) const {
        return c.count(int(b.x * scale_), int(b.y * scale_), int((b.x + b.w) * scale_), int((b.y + b.h) * scale_),
                       colour, tolerance);
    }

    // A title of the tab bar (the bottom 49 points).
    static const json* tabTitle(const json& d, const std::string& text) {
        return findDumpNode(treeOf(d), [&](const json& n) {
            return n.value("text", "") == text && n.contains("frame") && n["frame"][1].get<double>() > 568 - 49;
        });
    }

    static std::string fieldText(const json& d, const std::string& placeholder) {
        const json* node =
            findDumpNode(treeOf(d), [&](const json& n) { return n.value("placeholder", "") == placeholder; });
        return node ? node->value("text", "") : "<no field>";
    }

    SpawnedProgram display_, app_;
    std::string displayName_, windowId_;
    std::filesystem::path log_, dumpFile_;
    double scale_ = 1;
};

TEST_F(WindowRoadTest, ANewUserSignsInByMouseAndKeyboardAndSwitchesTabs) {
    const std::string userField = "用户名/邮箱/手机号", passwordField = "密 码";
    json d = dumpUntil([&](const json& j) { return byText(j, userField) != nullptr; });
    ASSERT_TRUE(byText(d, userField)) << "the login screen did not show:\n" << logText();
    scale_ = d["pixelsPerPoint"];
    EXPECT_EQ(d["applicationState"], "active");

    // The window is the screen (320 x 568 points) at the host's scale.
    WindowPicture shot = capture();
    EXPECT_EQ(shot.width(), int(std::lround(320 * scale_)));
    EXPECT_EQ(shot.height(), int(std::lround(568 * scale_)));

    // A click in the user field brings up the drawn keyboard; typing and Backspace go to
    // the field.
    clickText(d, userField);
    d = dumpUntil([&](const json& j) { return drawnKey(j, "下一项").has_value(); });
    ASSERT_TRUE(drawnKey(d, "下一项")) << "no keyboard with a 下一项 key after the click:\n" << logText();
    // The screen slides up above the keyboard: the window shows the field's empty white
    // right half where the dump puts the field now.
    const json* field = findDumpNode(treeOf(d), [&](const json& n) { return n.value("placeholder", "") == userField; });
    ASSERT_TRUE(field);
    PointBox blank = boxOfFrame((*field)["frame"]);
    blank = {blank.x + blank.w * 0.7, blank.y + blank.h * 0.3, blank.w * 0.25, blank.h * 0.4};
    const int blankPixels = int(blank.w * scale_) * int(blank.h * scale_);
    EXPECT_TRUE(holdsWithin(5, [&] { return pixelsLike(capture(), blank, {255, 255, 255}, 6) > blankPixels * 9 / 10; }))
        << "the window does not show the field where it went";
    x("xdotool type --delay 30 teacherz");
    x("xdotool key BackSpace");
    d = dumpUntil([&](const json& j) { return fieldText(j, userField) == "teacher"; });
    ASSERT_EQ(fieldText(d, userField), "teacher");

    // The window shows it: the typed name in dark ink inside the field, the keyboard's grey
    // and its blue Return key where the dump puts them.
    shot = capture();
    field = findDumpNode(treeOf(d), [&](const json& n) { return n.value("placeholder", "") == userField; });
    ASSERT_TRUE(field);
    EXPECT_GT(pixelsLike(shot, boxOfFrame((*field)["frame"]), {0, 0, 0}, 120), 20) << "the typed name does not show";
    PointBox next = *drawnKey(d, "下一项");
    EXPECT_GT(pixelsLike(shot, next, {0, 122, 255}), int(next.w * next.h * scale_ * scale_ / 2));

    // Return moves to the password field; its keyboard has a 加入 key. Part of the password
    // is clicked on the drawn keyboard: "123", then "3".
    x("xdotool key Return");
    d = dumpUntil([&](const json& j) { return drawnKey(j, "加入").has_value(); });
    ASSERT_TRUE(drawnKey(d, "加入")) << "Return did not move to the password field";
    x("xdotool type --delay 30 teacher12");
    auto digits = drawnKey(d, "123");
    ASSERT_TRUE(digits);
    click(digits->midX(), digits->midY());
    d = dumpUntil([&](const json& j) { return drawnKey(j, "3").has_value(); });
    auto three = drawnKey(d, "3");
    ASSERT_TRUE(three) << "the 123 key did not switch to digits";
    click(three->midX(), three->midY());
    std::string dots;
    for (int i = 0; i < 10; ++i) dots += "\u2022";  // the secure field shows one dot a character
    d = dumpUntil([&](const json& j) { return fieldText(j, passwordField) == dots; });
    ASSERT_EQ(fieldText(d, passwordField), dots);

    // Return in the password field signs in: the tab bar.
    x("xdotool key Return");
    d = dumpUntil([&](const json& j) { return tabTitle(j, "我") && tabTitle(j, "发现") && tabTitle(j, "动态"); });
    ASSERT_TRUE(tabTitle(d, "我") && tabTitle(d, "发现") && tabTitle(d, "动态")) << "not signed in:\n" << logText();

    // Clicks on the tab bar switch tabs: the clicked title turns blue in the window.
    const PixelColour selected{97, 199, 249};
    for (const std::string tab : {"我", "发现"}) {
        PointBox title = boxOfFrame((*tabTitle(d, tab))["frame"]);
        click(title.midX(), title.midY());
        ASSERT_TRUE(holdsWithin(10, [&] { return pixelsLike(capture(), title, selected) > 3; }))
            << "the " << tab << " tab was not selected";
        d = dump();
    }
    PointBox home = boxOfFrame((*tabTitle(d, "动态"))["frame"]);
    EXPECT_EQ(pixelsLike(capture(), home, selected), 0);

    // Hiding the window sends the app to the background; showing it brings it back.
    x("xdotool windowunmap " + windowId_);
    d = dumpUntil([](const json& j) { return j["applicationState"] == "background"; });
    EXPECT_EQ(d["applicationState"], "background");
    x("xdotool windowmap " + windowId_);
    d = dumpUntil([](const json& j) { return j["applicationState"] == "active"; });
    EXPECT_EQ(d["applicationState"], "active");
    EXPECT_TRUE(app_.running()) << logText();
}

}  // namespace
