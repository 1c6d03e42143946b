#include "FramePacer.h"
#include "HostOptions.h"
#include "ScriptRunner.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "support/AppTest.h"

#include <nlohmann/json.hpp>

#include <sstream>

using namespace platform;

namespace {

TEST(HostOptionsTest, CommandLines) {
    struct Case {
        std::vector<const char*> args;
        bool ok;
        std::string errorPart;
    };
    const Case cases[] = {
        {{"tirra"}, true, ""},
        {{"tirra", "--headless", "--script", "s.txt", "--size", "375x667"}, true, ""},
        {{"tirra", "--base-url", "http://127.0.0.1:9/x"}, true, ""},
        {{"tirra", "--script", "s.txt"}, false, "--headless"},
        {{"tirra", "--size", "big"}, false, "--size"},
        {{"tirra", "--size", "10x10"}, false, "--size"},
        {{"tirra", "--home"}, false, "needs a value"},
        {{"tirra", "--base-url", "ftp://x/"}, false, "http"},
        {{"tirra", "--frobnicate"}, false, "unknown option"},
        {{"tirra", "--dump", "d.json"}, true, ""},
        {{"tirra", "--headless", "--dump", "d.json"}, false, "--dump is for the window"},
    };
    for (const auto& c : cases) {
        std::string error;
        auto o = HostOptions::parse(int(c.args.size()), c.args.data(), error);
        EXPECT_EQ(o.has_value(), c.ok) << c.args.back();
        if (!c.ok) {
            EXPECT_NE(error.find(c.errorPart), std::string::npos) << error;
        }
    }
    std::string error;
    const char* args[] = {"tirra", "--base-url", "http://h:1/x", "--size", "375x667"};
    auto o = HostOptions::parse(5, args, error);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->baseUrl, "http://h:1/x/");
    EXPECT_EQ(o->width, 375);
    EXPECT_EQ(o->height, 667);
}

class FramePacerTest : public testing_support::AppTest {};

TEST_F(FramePacerTest, DrawsAfterChangesAndOnEveryTurnWhileAnimationsRun) {
    FramePacer pacer;
    auto view = std::make_shared<View>(Rect{0, 0, 10, 10});
    EXPECT_TRUE(pacer.needsFrame());  // the first frame
    EXPECT_FALSE(pacer.needsFrame());
    view->setAlpha(0.5);
    EXPECT_TRUE(pacer.needsFrame());
    EXPECT_FALSE(pacer.needsFrame());
    pacer.invalidate();
    EXPECT_TRUE(pacer.needsFrame());

    animate(1.0, [&] { view->setAlpha(1); });
    for (int turn = 0; turn < 5; ++turn) {
        EXPECT_TRUE(pacer.needsFrame()) << turn;
        advance(0.1);
    }
    advance(1.0);  // it ends
    EXPECT_TRUE(pacer.needsFrame());  // where it stopped
    EXPECT_FALSE(pacer.needsFrame());

    // A delayed slide: nothing to draw while it waits, frames once it moves.
    animate(0.5, [&] { view->setAlpha(0.2); }, {}, 1.0);
    pacer.needsFrame();
    advance(0.5);
    EXPECT_FALSE(pacer.needsFrame());
    advance(0.6);
    EXPECT_TRUE(pacer.needsFrame());
    advance(0.1);
    EXPECT_TRUE(pacer.needsFrame());
}

class ScriptTest : public testing_support::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        driver = std::make_unique<UiDriver>();
        auto screen = std::make_shared<ViewController>();
        driver->show(screen);
        auto root = screen->view();
        button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({20, 100, 200, 44});
        button->setTitle("登录");
        button->setTag(77);
        button->addTarget(ControlEventTouchUpInside, [this](Control&) { ++taps; });
        root->addSubview(button);
        field = std::make_shared<TextField>(Rect{20, 160, 200, 30});
        field->setPlaceholder("请输入用户名");
        root->addSubview(field);
        cover = std::make_shared<Label>(Rect{20, 300, 200, 40});
        cover->setText("被遮住的");
        root->addSubview(cover);
        // Another screen lies over it.
        auto lid = std::make_shared<View>(Rect{0, 290, 320, 60});
        lid->setBackgroundColor(Color::whiteColor());
        driver->window().addOverlayView(lid);
        // A tab: its title lies over the lower part of its button and takes no touches.
        auto tab = Button::buttonWithType(ButtonType::Custom);
        tab->setFrame({40, 400, 40, 49});
        tab->addTarget(ControlEventTouchUpInside, [this](Control&) { ++tabTaps; });
        root->addSubview(tab);
        auto title = std::make_shared<Label>(Rect{29, 429, 62, 16});
        title->setText("我");
        root->addSubview(title);
        // Texts that do not show: below the screen, and scrolled out of a clipping box.
        auto below = std::make_shared<Label>(Rect{20, 600, 200, 20});
        below->setText("屏幕下面");
        root->addSubview(below);
        auto box = std::make_shared<View>(Rect{20, 460, 200, 40});
        box->setClipsToBounds(true);
        auto clipped = std::make_shared<Label>(Rect{0, 50, 200, 20});
        clipped->setText("裁掉的");
        box->addSubview(clipped);
        root->addSubview(box);
    }
    void TearDown() override {
        driver.reset();
        AppTest::TearDown();
    }
    int run(const std::string& script) {
        ScriptRunner runner(*driver, messages);
        return runner.runText(script);
    }

    std::unique_ptr<UiDriver> driver;
    std::shared_ptr<Button> button;
    std::shared_ptr<TextField> field;
    std::shared_ptr<Label> cover;
    std::ostringstream messages;
    int taps = 0, tabTaps = 0;
};

TEST_F(ScriptTest, TapsByTextAndTagAndTypesIntoTheFocusedField) {
    EXPECT_EQ(run("# a comment\n\ntap 登录\ntap #77\ntap 请输入用户名\ntype teacher1\nexpect 登录\n"), 0)
        << messages.str();
    EXPECT_EQ(taps, 2);
    EXPECT_EQ(field->text(), "teacher1");
}

TEST_F(ScriptTest, ATapLandsWhereTheTextShowsAndReachesTheViewThere) {
    // The title takes no touches: the finger on it presses the button under it.
    EXPECT_EQ(run("tap 我\n"), 0) << messages.str();
    EXPECT_EQ(tabTaps, 1);
    // A field half under the screen's bottom edge is touched in the part that shows.
    field->setFrame({20, 560, 200, 30});
    EXPECT_EQ(run("tap 请输入用户名\n"), 0) << messages.str();
    EXPECT_TRUE(field->isFirstResponder());
}

TEST_F(ScriptTest, KeysReturnAndBackspaceGoToTheFocusedField) {
    int returns = 0;
    struct Delegate : TextFieldDelegate {
        int* count;
        bool textFieldShouldReturn(TextField&) override {
            ++*count;
            return true;
        }
    };
    auto delegate = std::make_shared<Delegate>();
    delegate->count = &returns;
    field->setDelegate(delegate);
    field->setFrame({20, 60, 200, 30});  // above the keyboard
    EXPECT_EQ(run("tap 请输入用户名\ntype 实验x\nkey backspace\nkey return\n"), 0) << messages.str();
    EXPECT_EQ(field->text(), "实验");
    EXPECT_EQ(returns, 1);
}

TEST_F(ScriptTest, BackgroundAndForegroundMoveTheAppThroughItsLifecycle) {
    struct Recorder : ApplicationDelegate {
        std::vector<std::string> calls;
        bool didFinishLaunching(const nlohmann::json&) override { return true; }
        void didBecomeActive() override { calls.push_back("active"); }
        void willResignActive() override { calls.push_back("resign"); }
        void didEnterBackground() override { calls.push_back("background"); }
        void willEnterForeground() override { calls.push_back("foreground"); }
    };
    auto recorder = std::make_shared<Recorder>();
    Application::shared().setDelegate(recorder);
    Application::shared().launch();
    recorder->calls.clear();
    EXPECT_EQ(run("background\n"), 0) << messages.str();
    EXPECT_EQ(Application::shared().applicationState(), ApplicationState::Background);
    EXPECT_EQ(run("foreground\n"), 0) << messages.str();
    EXPECT_EQ(Application::shared().applicationState(), ApplicationState::Active);
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"resign", "background", "foreground", "active"}));
    Application::shared().reset();
}

TEST_F(ScriptTest, FailuresStopWithTheirExitCodes) {
    struct Case {
        std::string script;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {"expect 没有这个字\ntap 登录\n", 1, "expected to see"},
        {"jump 3\n", 2, "unknown command"},
        {"tap 不存在\n", 2, "nothing to tap"},
        {"tap 被遮住的\n", 2, "under another screen"},
        {"tap 屏幕下面\n", 2, "nothing to tap"},
        {"longpress 裁掉的\n", 2, "nothing to tap"},
        {"key return\n", 2, "nothing is focused"},
        {"key escape\n", 2, "key wants return or backspace"},
        {"background now\n", 2, "takes nothing more"},
        {"alert 0\n", 2, "no alert"},
        {"wait soon\n", 2, "wait wants seconds"},
        {"drag 1 2 3\n", 2, "drag wants"},
        {"type abc\n", 2, "nothing is focused"},
    };
    for (const auto& c : cases) {
        messages.str("");
        EXPECT_EQ(run(c.script), c.code) << c.script;
        EXPECT_NE(messages.str().find(c.message), std::string::npos) << messages.str();
    }
    EXPECT_EQ(taps, 0);  // the failed expect stopped the script before its tap
}

TEST_F(ScriptTest, QuitStopsAndAlertButtonsArePressedByIndex) {
    long pressed = -1;
    struct Delegate : AlertViewDelegate {
        long* out;
        void alertViewClickedButtonAtIndex(AlertView&, long index) override { *out = index; }
    };
    auto delegate = std::make_shared<Delegate>();
    delegate->out = &pressed;
    button->addTarget(ControlEventTouchUpInside,
                      [&](Control&) { AlertView::make("提示", "确定要退出吗", delegate, "取消", {"退出"})->show(); });
    EXPECT_EQ(run("tap 登录\nalert 1\nquit\ntap 不存在\n"), 0) << messages.str();
    EXPECT_EQ(pressed, 1);
}

TEST_F(ScriptTest, ScreenshotAndDumpWriteTheirFiles) {
    auto png = home_ / "shot.png";
    auto json = home_ / "tree.json";
    button->setBackgroundColor(Color::rgb255(0, 122, 255));
    field->setFrame({20, 60, 200, 30});  // above the keyboard
    EXPECT_EQ(run("tap 请输入用户名\nscreenshot " + png.string() + "\ndump " + json.string() + "\n"), 0)
        << messages.str();
    auto bytes = readFile(png);
    ASSERT_TRUE(bytes);
    auto image = Image::imageWithData(*bytes);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->pixelWidth(), 640);
    // The blue button, the white lid over the covered label, the keyboard's grey left of
    // its first key.
    auto near = [&](Point p, int r, int g, int b) {
        Color c = image->colorAt(int(p.x * 2), int(p.y * 2));
        return std::abs(c.r * 255 - r) + std::abs(c.g * 255 - g) + std::abs(c.b * 255 - b) < 12;
    };
    EXPECT_TRUE(near({24, 104}, 0, 122, 255));
    EXPECT_TRUE(near({5, 320}, 255, 255, 255));
    EXPECT_TRUE(near({1, 568 - 216 + 30}, 209, 213, 219));
    auto tree = nlohmann::json::parse(*readFile(json));
    EXPECT_EQ(tree["class"], "Window");
    EXPECT_NE(tree.dump().find("请输入用户名"), std::string::npos);
    EXPECT_NE(tree.dump().find("\"tag\":77"), std::string::npos);
    // The keyboard lists its keys, the Return key last.
    const nlohmann::json* keys = nullptr;
    std::function<void(const nlohmann::json&)> look = [&](const nlohmann::json& node) {
        if (node.contains("keys")) keys = &node["keys"];
        if (node.contains("subviews"))
            for (const auto& sub : node["subviews"]) look(sub);
    };
    look(tree);
    ASSERT_TRUE(keys);
    EXPECT_EQ(keys->back()["title"], "return");
    // A folder that cannot exist: its parent is a plain file.
    ASSERT_TRUE(writeFileAtomically(home_ / "plain", "x"));
    EXPECT_EQ(run("screenshot " + (home_ / "plain" / "y.png").string() + "\n"), 2);
}

}  // namespace
