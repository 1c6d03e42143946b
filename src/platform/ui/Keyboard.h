#pragma once

#include "platform/ui/Geometry.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

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
    // What the keyboard offers while this input has it: the Return key's kind (its title)
    // and the kind of keys (digits first for numbers).
    virtual ReturnKeyType returnKeyType() const { return ReturnKeyType::Default; }
    virtual KeyboardType keyboardType() const { return KeyboardType::Default; }
};

// One key of the drawn keyboard, in the keyboard's own points (top-left 0, 0).
struct KeyboardKey {
    enum class Kind { Character, Shift, Backspace, Layer, Space, Return };
    Kind kind = Kind::Character;
    std::string title;  // what the key shows
    std::string text;   // what a character key types
    Rect frame;
    // Drawn stand-out: shift while on, a Return key that does more than start a new line.
    bool lit = false;
};

// The simulated on-screen keyboard: 216 points high at the bottom of the screen while a
// text input is first responder. It lies in the key window as an overlay, so it covers
// what is under it, and is drawn as the handset's keyboard: three rows of letters (or
// digits and punctuation), shift, backspace, the digits switch, space and the Return key
// titled by the input's return key kind, in Chinese when the interface is. A tap on a key
// types it into the first responder.
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

    // ---- The drawn keys
    // The keys as they show now (layer, shift and the first responder's Return key).
    std::vector<KeyboardKey> keys() const;
    // The key under `point` (keyboard points); nullptr between keys.
    const KeyboardKey* keyAt(const std::vector<KeyboardKey>& keys, Point point) const;
    // Does what the key does: types its character, deletes backward, shifts, switches
    // between letters and digits, or presses Return.
    void press(const KeyboardKey& key);
    // The Return key's title for a kind: Chinese ("完成", "下一项", ...) or English.
    static std::string returnKeyTitle(ReturnKeyType type, bool chinese);
    // Where the interface language comes from (a code such as "zh-Hans" or "en"); the key
    // titles are Chinese while it begins with "zh". Without one the titles are English.
    void setLanguageSource(std::function<std::string()> languageCode) { language_ = std::move(languageCode); }
    bool showsChinese() const;

    // Down, without notifications, at the default height (tests start clean).
    void reset();

private:
    Keyboard() = default;
    // Letters, or digits and punctuation; chosen by the input's keyboard kind when it
    // takes the keyboard, switched by the layer key.
    enum class Layer { Letters, Digits };
    void redraw();

    Layer layer_ = Layer::Letters;
    bool shifted_ = false;
    std::function<std::string()> language_;
    double height_ = 216;
    double duration_ = 0.25;
    bool visible_ = false;
    int switching_ = 0;
    std::shared_ptr<View> view_;
};

}  // namespace platform
