#pragma once

// What alerts and action sheets share: the list of those on screen (one per kind, front
// last), showing over the window, taking down, and rows of buttons that report their
// index. Only AlertView.cpp and ActionSheet.cpp use it.

#include "platform/ui/Button.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace platform::modal_overlay {

// The overlays of kind T on screen, the front one last.
template <class T>
std::vector<std::shared_ptr<T>>& visibleList() {
    static std::vector<std::shared_ptr<T>> list;
    return list;
}

template <class T>
std::shared_ptr<T> front() {
    auto& list = visibleList<T>();
    return list.empty() ? nullptr : list.back();
}

// Puts `overlay` over the whole window (or the key window) and in front of its kind.
template <class T>
void show(const std::shared_ptr<T>& overlay, std::shared_ptr<Window> window) {
    visibleList<T>().push_back(overlay);
    if (!window) window = Window::keyWindowRef();
    if (window) {
        overlay->setFrame(window->bounds());
        window->addOverlayView(overlay);
    }
    overlay->layoutIfNeeded();
}

// Takes `overlay` off the screen and out of its kind's list.
template <class T>
void hide(const std::shared_ptr<T>& overlay) {
    overlay->removeFromSuperview();
    auto& list = visibleList<T>();
    list.erase(std::remove(list.begin(), list.end(), overlay), list.end());
}

// Takes every overlay of kind T down without telling delegates; `markHidden` clears each
// one's own visible flag.
template <class T, class MarkHidden>
void clear(MarkHidden markHidden) {
    auto list = visibleList<T>();
    visibleList<T>().clear();
    for (auto& overlay : list) {
        markHidden(*overlay);
        overlay->removeFromSuperview();
    }
}

// A row button in the system's blue on a light background.
inline std::shared_ptr<Button> rowButton(const std::string& title) {
    auto button = Button::buttonWithType(ButtonType::System);
    button->setTitle(title);
    button->setTitleColor(Color::rgba(0, 0.478, 1));
    button->setBackgroundColor(Color::white(0.97));
    return button;
}

// Appends `button` to `buttons`; a tap on it calls `click` with its index, looked up at
// tap time (indexes never change once given). Returns the index.
template <class Click>
long appendButton(std::vector<std::shared_ptr<Button>>& buttons, const std::shared_ptr<Button>& button, Click click) {
    std::weak_ptr<Button> weakButton = button;
    button->addTarget(ControlEventTouchUpInside, [&buttons, weakButton, click](Control&) {
        auto tapped = weakButton.lock();
        auto it = std::find(buttons.begin(), buttons.end(), tapped);
        if (it != buttons.end()) click(static_cast<long>(it - buttons.begin()));
    });
    buttons.push_back(button);
    return static_cast<long>(buttons.size()) - 1;
}

inline std::string titleAt(const std::vector<std::shared_ptr<Button>>& buttons, long index) {
    if (index < 0 || index >= static_cast<long>(buttons.size())) return {};
    return buttons[static_cast<size_t>(index)]->titleForState(ControlStateNormal);
}

}  // namespace platform::modal_overlay
