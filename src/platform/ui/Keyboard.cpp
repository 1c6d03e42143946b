#include "platform/ui/Keyboard.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

namespace platform {

namespace {
class KeyboardView : public View {
public:
    explicit KeyboardView(const Rect& frame) : View(frame) { setBackgroundColor(Color::rgb255(209, 213, 219)); }
    std::string className() const override { return "Keyboard"; }
};

// Splits UTF-8 text into characters (code points).
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        n = std::min(n, text.size() - i);
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}
}  // namespace

Rect keyboardFrameFromUserInfo(const nlohmann::json& userInfo, const std::string& key) {
    if (!userInfo.is_object() || !userInfo.contains(key)) return {};
    const auto& v = userInfo[key];
    if (!v.is_array() || v.size() != 4) return {};
    for (auto& n : v)
        if (!n.is_number()) return {};
    return {v[0].get<double>(), v[1].get<double>(), v[2].get<double>(), v[3].get<double>()};
}

nlohmann::json rectToJson(const Rect& rect) {
    return nlohmann::json::array({rect.x(), rect.y(), rect.width(), rect.height()});
}

Keyboard& Keyboard::shared() {
    static Keyboard keyboard;
    return keyboard;
}

Rect Keyboard::shownFrame() const {
    Rect s = Screen::mainScreen().bounds();
    return {0, s.height() - height_, s.width(), height_};
}

Rect Keyboard::hiddenFrame() const {
    Rect s = Screen::mainScreen().bounds();
    return {0, s.height(), s.width(), height_};
}

Rect Keyboard::frame() const { return visible_ ? shownFrame() : hiddenFrame(); }

std::shared_ptr<View> Keyboard::view() const { return visible_ ? view_ : nullptr; }

void Keyboard::show() {
    if (visible_) return;
    visible_ = true;
    nlohmann::json info = {{kKeyboardFrameBeginUserInfoKey, rectToJson(hiddenFrame())},
                           {kKeyboardFrameEndUserInfoKey, rectToJson(shownFrame())},
                           {kKeyboardAnimationDurationUserInfoKey, duration_},
                           {kKeyboardAnimationCurveUserInfoKey, 7}};
    if (auto window = Window::keyWindowRef()) {
        view_ = std::make_shared<KeyboardView>(window->convertRectFrom(shownFrame(), nullptr));
        window->addOverlayView(view_);
    }
    NotificationCenter::defaultCenter().postNotification(kKeyboardWillShowNotification, nullptr, info);
    NotificationCenter::defaultCenter().postNotification(kKeyboardDidShowNotification, nullptr, info);
}

void Keyboard::hide() {
    if (!visible_ || switching_ > 0) return;
    visible_ = false;
    nlohmann::json info = {{kKeyboardFrameBeginUserInfoKey, rectToJson(shownFrame())},
                           {kKeyboardFrameEndUserInfoKey, rectToJson(hiddenFrame())},
                           {kKeyboardAnimationDurationUserInfoKey, duration_},
                           {kKeyboardAnimationCurveUserInfoKey, 7}};
    if (view_) view_->removeFromSuperview();
    view_.reset();
    NotificationCenter::defaultCenter().postNotification(kKeyboardWillHideNotification, nullptr, info);
    NotificationCenter::defaultCenter().postNotification(kKeyboardDidHideNotification, nullptr, info);
}

Keyboard::SwitchGuard::SwitchGuard() { ++Keyboard::shared().switching_; }
Keyboard::SwitchGuard::~SwitchGuard() { --Keyboard::shared().switching_; }

bool Keyboard::type(const std::string& text) {
    for (auto& ch : characters(text)) {
        auto responder = View::firstResponder();
        auto* input = dynamic_cast<TextInput*>(responder.get());
        if (!input) return false;
        if (ch == "\n" || ch == "\r") input->returnKeyPressed();
        else if (ch == "\b") input->deleteBackward();
        else input->insertText(ch);
    }
    return true;
}

void Keyboard::reset() {
    if (view_) view_->removeFromSuperview();
    view_.reset();
    visible_ = false;
    switching_ = 0;
    height_ = 216;
}

}  // namespace platform
