#include "WindowHost.h"

#include "FramePacer.h"
#include "ScriptRunner.h"
#include "platform/Application.h"
#include "platform/DeviceOrientation.h"
#include "platform/Files.h"
#include "platform/RunLoop.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/Window.h"

#include <iostream>

#ifdef TIRRA_HAVE_SDL2
#include <SDL.h>
#include <cairo.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <csignal>

using namespace platform;

namespace {

volatile std::sig_atomic_t dumpRequested = 0;
void onDumpSignal(int) { dumpRequested = 1; }

const char* stateName(ApplicationState state) {
    switch (state) {
        case ApplicationState::Active: return "active";
        case ApplicationState::Background: return "background";
        case ApplicationState::Inactive: break;
    }
    return "inactive";
}

// What the window shows, for a test that drives the window from outside: the app's state,
// the window's pixels per point and the visible view tree.
bool writeWindowDump(const std::string& file, View& root, double pixelsPerPoint) {
    nlohmann::json dump = {{"applicationState", stateName(Application::shared().applicationState())},
                           {"pixelsPerPoint", pixelsPerPoint},
                           {"tree", nlohmann::json::parse(ScriptRunner::dumpJson(root))}};
    return writeFileAtomically(file, dump.dump(1, ' ', false, nlohmann::json::error_handler_t::replace));
}

// The app goes to the background while the window is minimised or hidden, and comes back
// to the front when the window is restored or shown again.
void followWindowState(const SDL_WindowEvent& event) {
    auto& app = Application::shared();
    switch (event.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN: app.enterBackground(); break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_FOCUS_GAINED: app.becomeActive(); break;
        default: break;
    }
}

// The nearest scroll view at or above `view`.
ScrollView* scrollViewAt(std::shared_ptr<View> view) {
    for (; view; view = view->superview())
        if (auto* scroll = dynamic_cast<ScrollView*>(view.get()); scroll && scroll->isScrollEnabled()) return scroll;
    return nullptr;
}

void wheelScroll(ScrollView& scroll, double dy) {
    Point offset = scroll.contentOffset();
    EdgeInsets inset = scroll.contentInset();
    double maxY = std::max(-inset.top, scroll.contentSize().height + inset.bottom - scroll.bounds().height());
    offset.y = std::clamp(offset.y - dy * 40, -inset.top, maxY);
    scroll.setContentOffset(offset, false);
}

// The handset has no motion sensor here: ctrl with an arrow key turns it (left and right to
// landscape, up to portrait, down upside down).
void turnDevice(SDL_Keycode key) {
    DeviceOrientation orientation;
    switch (key) {
        case SDLK_LEFT: orientation = DeviceOrientation::LandscapeLeft; break;
        case SDLK_RIGHT: orientation = DeviceOrientation::LandscapeRight; break;
        case SDLK_UP: orientation = DeviceOrientation::Portrait; break;
        case SDLK_DOWN: orientation = DeviceOrientation::PortraitUpsideDown; break;
        default: return;
    }
    Device::current().setOrientation(orientation);
}

// A mouse has no second finger: one wheel notch with ctrl held is a small pinch about the
// pointer (up spreads the fingers), with shift held a small turn (up is clockwise).
void wheelGesture(UiDriver& driver, Point at, double notches, bool turn) {
    const double half = 50;
    auto place = [&](double step) -> std::pair<Point, Point> {
        if (turn) {
            const double angle = notches * 0.15 * step;
            return {{at.x - half * std::cos(angle), at.y - half * std::sin(angle)},
                    {at.x + half * std::cos(angle), at.y + half * std::sin(angle)}};
        }
        const double spread = half * (1 + notches * 0.1 * step);
        return {{at.x - spread, at.y}, {at.x + spread, at.y}};
    };
    auto [a, b] = place(0);
    const int first = driver.beginTouch(a), second = driver.beginTouch(b);
    // Several small steps: a recognizer's first callback only begins the gesture.
    for (int i = 1; i <= 4; ++i) {
        auto [p, q] = place(i / 4.0);
        driver.moveTouch(first, p);
        driver.moveTouch(second, q);
    }
    driver.endTouch(first);
    driver.endTouch(second);
}

}  // namespace

int runInWindow(const HostOptions& options) {
    // Before the window shows: whoever waits for it may ask for a dump at once.
    if (!options.dumpFile.empty()) std::signal(SIGUSR1, onDumpSignal);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::cerr << "tirra: no display (" << SDL_GetError() << "); try --headless\n";
        return 2;
    }
    Screen& screen = Screen::mainScreen();
    Size points = screen.bounds().size;
    double scale = screen.scale();

    // Fit the window to the desktop: at most the screen's own scale, in steps of 0.25.
    double fit = scale;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.h > 0)
        fit = std::clamp(std::floor((mode.h - 80) / points.height * 4) / 4, 0.5, scale);
    int winW = int(points.width * fit), winH = int(points.height * fit);

    SDL_Window* sdlWindow = SDL_CreateWindow("Tirra", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, winW, winH,
                                             SDL_WINDOW_SHOWN);
    SDL_Renderer* renderer = sdlWindow ? SDL_CreateRenderer(sdlWindow, -1, 0) : nullptr;
    int texW = int(points.width * scale), texH = int(points.height * scale);
    SDL_Texture* texture =
        renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, texW, texH)
                 : nullptr;
    if (!texture) {
        std::cerr << "tirra: cannot open a window (" << SDL_GetError() << ")\n";
        SDL_Quit();
        return 2;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");

    auto& app = Application::shared();
    app.launch();
    auto window = Window::keyWindowRef();
    if (!window) {
        std::cerr << "tirra: the app made no window\n";
        SDL_Quit();
        return 2;
    }
    UiDriver driver(window);
    SDL_StartTextInput();

    auto toPoint = [&](int x, int y) { return Point{x / fit, y / fit}; };
    FramePacer pacer;
    // One picture for every frame: a screen-sized allocation per frame costs more than
    // the drawing of a list.
    auto frame = makeImageContext(points, scale, true);
    bool fingerDown = false, running = true;
    while (running) {
        double untilTimer = RunLoop::main().secondsUntilNextTimer();
        int waitMs = RunLoop::main().hasPendingTasks() ? 0 : int(std::clamp(untilTimer * 1000, 0.0, 16.0));
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, std::max(waitMs, 1))) {
            do {
                switch (event.type) {
                    case SDL_QUIT: running = false; break;
                    case SDL_MOUSEBUTTONDOWN:
                        if (event.button.button == SDL_BUTTON_LEFT) {
                            fingerDown = true;
                            window->touchBegan(toPoint(event.button.x, event.button.y));
                        }
                        break;
                    case SDL_MOUSEMOTION:
                        if (fingerDown) window->touchMoved(toPoint(event.motion.x, event.motion.y));
                        break;
                    case SDL_MOUSEBUTTONUP:
                        if (event.button.button == SDL_BUTTON_LEFT && fingerDown) {
                            fingerDown = false;
                            window->touchEnded(toPoint(event.button.x, event.button.y));
                        }
                        break;
                    case SDL_MOUSEWHEEL: {
                        int mx = 0, my = 0;
                        SDL_GetMouseState(&mx, &my);
                        const SDL_Keymod mods = SDL_GetModState();
                        if ((mods & (KMOD_CTRL | KMOD_SHIFT)) && !fingerDown) {
                            wheelGesture(driver, toPoint(mx, my), event.wheel.y, (mods & KMOD_SHIFT) != 0);
                            break;
                        }
                        if (auto* scroll = scrollViewAt(window->viewAtPoint(toPoint(mx, my))))
                            wheelScroll(*scroll, event.wheel.y);
                        break;
                    }
                    case SDL_TEXTINPUT: driver.type(event.text.text); break;
                    case SDL_KEYDOWN:
                        if (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER)
                            driver.type("\n");
                        else if (event.key.keysym.sym == SDLK_BACKSPACE)
                            driver.type("\b");
                        else if (event.key.keysym.mod & KMOD_CTRL)
                            turnDevice(event.key.keysym.sym);
                        break;
                    case SDL_WINDOWEVENT:
                        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) pacer.invalidate();
                        followWindowState(event.window);
                        break;
                    default: break;
                }
            } while (running && SDL_PollEvent(&event));
        }
        RunLoop::main().pump();
        if (dumpRequested) {
            dumpRequested = 0;
            if (!writeWindowDump(options.dumpFile, *window, fit))
                std::cerr << "tirra: cannot write " << options.dumpFile << "\n";
        }

        if (pacer.needsFrame()) {
            Renderer::renderInto(*frame, *window);
            cairo_surface_t* surface = frame->pixels();
            SDL_UpdateTexture(texture, nullptr, cairo_image_surface_get_data(surface),
                              cairo_image_surface_get_stride(surface));
            SDL_RenderClear(renderer);
            SDL_RenderCopy(renderer, texture, nullptr, nullptr);
            SDL_RenderPresent(renderer);
        }
    }
    app.terminate();
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(sdlWindow);
    SDL_Quit();
    return 0;
}

#else

int runInWindow(const HostOptions&) {
    std::cerr << "tirra: built without SDL2; use --headless\n";
    return 2;
}

#endif
