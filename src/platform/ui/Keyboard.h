#pragma once

#include "platform/ui/Geometry.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>

namespace platform {

class View;

enum class KeyboardType { Default, ASCIICapable, NumbersAndPunctuation, URL, NumberPad, PhonePad, NamePhonePad, EmailAddress, DecimalPad };
enum class ReturnKeyType { Default, Go, Google, Join, Next, Route, Search, Send, Yahoo, Done, EmergencyCall };

// Posted through the NotificationCenter when the simulated keyboard comes up or goes
// down. userInfo holds the frames as [x, y, width, height] in screen points and the
// animation duration in seconds.
inline constexpr const char* kKeyboardWillShowNotification = "UIKeyboardWillShowNotification";
inline constexpr const char* kKeyboardDidShowNotification = "UIKeyboardDidShowNotification";
inline constexpr const char* kKeyboardWillHideNotification = "UIKeyboardWillHideNotification";
inline constexpr const char* kKeyboardDidHideNotification = "UIKeyboardDidHideNotification";
inline constexpr const char* kKeyboardFrameBeginUserInfoKey = "UIKeyboardFrameBeginUserInfoKey";
inline constexpr const char* kKeyboardFrameEndUserInfoKey = "UIKeyboardFrameEndUserInfoKey";
inline constexpr const char* kKeyboardAnimationDurationUserInfoKey = "UIKeyboardAnimationDurationUserInfoKey";
inline constexpr const char* kKeyboardAnimationCurveUserInfoKey = "UIKeyboardAnimationCurveUserInfoKey";

// Reads a frame of the keyboard's userInfo ([x, y, width, height]); an empty rectangle
// when the key is missing or malformed.
Rect keyboardFrameFromUserInfo(const nlohmann::json& userInfo, const std::string& key);
nlohmann::json rectToJson(const Rect& rect);

// Text inputs take keystrokes from the keyboard: text fields, text views, search bars.
class TextInput {
public:
    virtual ~TextInput() = default;
    // One keystroke's text (a character, or a composed text).
    virtual void insertText(const std::string& text) = 0;
    virtual void deleteBackward() = 0;
    virtual void returnKeyPressed() = 0;
};

// The simulated on-screen keyboard: 216 points high at the bottom of the screen while a
// text input is first responder. It lies in the key window as an overlay, so it covers
// what is under it.
class Keyboard {
public:
    static Keyboard& shared();

    double height() const { return height_; }
    void setHeight(double height) { height_ = height; }
    double animationDuration() const { return duration_; }
    bool isVisible() const { return visible_; }
    // In screen coordinates; below the screen while hidden.
    Rect frame() const;
    Rect shownFrame() const;
    Rect hiddenFrame() const;

    // Called by text inputs when they become or stop being first responder.
    void show();
    void hide();
    // While a guard lives, hide() does nothing: the first responder moves from one text
    // input to another and the keyboard stays up.
    class SwitchGuard {
    public:
        SwitchGuard();
        ~SwitchGuard();
        SwitchGuard(const SwitchGuard&) = delete;
        SwitchGuard& operator=(const SwitchGuard&) = delete;
    };

    // Types into the first responder, character by character, through its checks: "\n"
    // is the Return key and "\b" the Backspace key. Answers false when no text input is
    // first responder (the keystrokes after that are dropped).
    static bool type(const std::string& text);

    // The keyboard's view in the key window while shown.
    std::shared_ptr<View> view() const;

    // Down, without notifications, at the default height (tests start clean).
    void reset();

private:
    Keyboard() = default;
    double height_ = 216;
    double duration_ = 0.25;
    bool visible_ = false;
    int switching_ = 0;
    std::shared_ptr<View> view_;
};

}  // namespace platform
