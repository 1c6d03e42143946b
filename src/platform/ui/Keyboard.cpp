#include "platform/ui/Keyboard.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"
#include "platform/ui/Touch.h"
#include "platform/ui/Window.h"

#include <cctype>

namespace platform {

namespace {
const Color kKeyboardBackground = Color::rgb255(209, 213, 219);
const Color kLetterKey = Color::whiteColor();
const Color kFunctionKey = Color::rgb255(171, 178, 188);
const Color kKeyShadow = Color::rgb255(136, 138, 142);
const Color kActionKey = Color::rgb255(0, 122, 255);
const Color kKeyTitle = Color::black();

// The keyboard overlay: draws the keys the keyboard lays out and types the key a finger
// lifts on. Touches stay here, so the field under it keeps the caret.
class KeyboardView : public View {
public:
    explicit KeyboardView(const Rect& frame) : View(frame) { setBackgroundColor(kKeyboardBackground); }
    std::string className() const override { return "Keyboard"; }

    void draw(GraphicsContext& context, const Rect&) override {
        auto keys = Keyboard::shared().keys();
        for (size_t i = 0; i < keys.size(); ++i) drawKey(context, keys[i], static_cast<int>(i) == pressed_);
    }

    void touchesBegan(const Touches& touches) override { track(touches); }
    void touchesMoved(const Touches& touches) override { track(touches); }
    void touchesCancelled(const Touches&) override { setPressed(-1); }
    void touchesEnded(const Touches& touches) override {
        auto& keyboard = Keyboard::shared();
        auto keys = keyboard.keys();
        const KeyboardKey* key =
            touches.empty() ? nullptr : keyboard.keyAt(keys, touches.front()->locationInView(this));
        setPressed(-1);
        if (key) keyboard.press(*key);
    }

private:
    void track(const Touches& touches) {
        if (touches.empty()) return;
        auto keys = Keyboard::shared().keys();
        const KeyboardKey* key = Keyboard::shared().keyAt(keys, touches.front()->locationInView(this));
        setPressed(key ? static_cast<int>(key - keys.data()) : -1);
    }
    void setPressed(int index) {
        if (index == pressed_) return;
        pressed_ = index;
        setNeedsDisplay();
    }

    static void drawKey(GraphicsContext& context, const KeyboardKey& key, bool pressed) {
        using Kind = KeyboardKey::Kind;
        bool light = key.kind == Kind::Character || key.kind == Kind::Space;
        Color face = light ? kLetterKey : kFunctionKey;
        Color ink = kKeyTitle;
        if (key.lit) {
            face = key.kind == Kind::Return ? kActionKey : kLetterKey;
            if (key.kind == Kind::Return) ink = Color::whiteColor();
        }
        if (pressed) {
            face = light ? kFunctionKey : kLetterKey;
            ink = kKeyTitle;
        }

        context.setFillColor(kKeyShadow);
        context.fillRoundedRect(key.frame.offsetBy(0, 1), 5);
        context.setFillColor(face);
        context.fillRoundedRect(key.frame, 5);

        if (key.kind == Kind::Shift) return drawShiftArrow(context, key.frame, ink);
        if (key.kind == Kind::Backspace) return drawBackspace(context, key.frame, ink);
        Font font = key.kind == Kind::Character ? Font::systemFontOfSize(22) : Font::systemFontOfSize(15);
        Size size = TextMeasure::sizeWithFont(key.title, font);
        context.drawTextAt(key.title, {key.frame.midX() - size.width / 2, key.frame.midY() - size.height / 2}, font,
                           ink);
    }

    static void drawShiftArrow(GraphicsContext& context, const Rect& f, const Color& ink) {
        double cx = f.midX(), top = f.midY() - 9, w = 8, stem = 4;
        context.setFillColor(ink);
        context.beginPath();
        context.moveTo({cx, top});
        context.lineTo({cx + w, top + 9});
        context.lineTo({cx + stem, top + 9});
        context.lineTo({cx + stem, top + 17});
        context.lineTo({cx - stem, top + 17});
        context.lineTo({cx - stem, top + 9});
        context.lineTo({cx - w, top + 9});
        context.closePath();
        context.fillPath();
    }

    static void drawBackspace(GraphicsContext& context, const Rect& f, const Color& ink) {
        double cx = f.midX() + 2, cy = f.midY(), h = 7;
        context.setStrokeColor(ink);
        context.setLineWidth(1.5);
        context.beginPath();
        context.moveTo({cx - 12, cy});
        context.lineTo({cx - 5, cy - h});
        context.lineTo({cx + 9, cy - h});
        context.lineTo({cx + 9, cy + h});
        context.lineTo({cx - 5, cy + h});
        context.closePath();
        context.strokePath();
        context.beginPath();
        context.moveTo({cx - 2, cy - 3.5});
        context.lineTo({cx + 5, cy + 3.5});
        context.moveTo({cx + 5, cy - 3.5});
        context.lineTo({cx - 2, cy + 3.5});
        context.strokePath();
    }

    int pressed_ = -1;
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

namespace {
// The text input that has the keyboard, if any.
TextInput* currentInput() { return dynamic_cast<TextInput*>(View::firstResponder().get()); }

// A row of character keys of one width, centred in the keyboard.
void centredRow(std::vector<KeyboardKey>& out, const std::vector<std::string>& texts, double gap, double width,
                double y, double height, double keyWidth) {
    double total = static_cast<double>(texts.size()) * keyWidth + static_cast<double>(texts.size() - 1) * gap;
    double x = (width - total) / 2;
    for (const auto& text : texts) {
        out.push_back({KeyboardKey::Kind::Character, text, text, {x, y, keyWidth, height}});
        x += keyWidth + gap;
    }
}

std::vector<std::string> letters(const char* row, bool upper) {
    std::vector<std::string> out;
    for (const char* c = row; *c; ++c) out.emplace_back(1, upper ? static_cast<char>(std::toupper(*c)) : *c);
    return out;
}
}  // namespace

std::string Keyboard::returnKeyTitle(ReturnKeyType type, bool chinese) {
    switch (type) {
        case ReturnKeyType::Go: return chinese ? "前往" : "Go";
        case ReturnKeyType::Google:
        case ReturnKeyType::Yahoo:
        case ReturnKeyType::Search: return chinese ? "搜索" : "Search";
        case ReturnKeyType::Join: return chinese ? "加入" : "Join";
        case ReturnKeyType::Next: return chinese ? "下一项" : "Next";
        case ReturnKeyType::Route: return chinese ? "路线" : "Route";
        case ReturnKeyType::Send: return chinese ? "发送" : "Send";
        case ReturnKeyType::Done: return chinese ? "完成" : "Done";
        case ReturnKeyType::EmergencyCall: return chinese ? "紧急呼叫" : "Emergency Call";
        case ReturnKeyType::Default: break;
    }
    return chinese ? "换行" : "return";
}

bool Keyboard::showsChinese() const { return language_ && language_().rfind("zh", 0) == 0; }

std::vector<KeyboardKey> Keyboard::keys() const {
    using Kind = KeyboardKey::Kind;
    const double width = Screen::mainScreen().bounds().width(), h = height_;
    // The handset's proportions: ten keys and nine gaps fill a row; four rows of keys with
    // gaps of a third of a key between them.
    const double margin = 3, gap = 6, unit = (width - 2 * margin - 9 * gap) / 10;
    const double keyHeight = h * 38 / 216, rowGap = h * 16 / 216, top = h * 10 / 216;
    auto rowY = [&](int row) { return top + row * (keyHeight + rowGap); };
    const double side = unit * 1.4;  // shift, backspace, the layer key

    std::vector<KeyboardKey> out;
    bool upper = shifted_ && layer_ == Layer::Letters;
    if (layer_ == Layer::Letters) {
        centredRow(out, letters("qwertyuiop", upper), gap, width, rowY(0), keyHeight, unit);
        centredRow(out, letters("asdfghjkl", upper), gap, width, rowY(1), keyHeight, unit);
        out.push_back({Kind::Shift, "shift", "", {margin, rowY(2), side, keyHeight}, shifted_});
        centredRow(out, letters("zxcvbnm", upper), gap, width, rowY(2), keyHeight, unit);
    } else {
        centredRow(out, letters("1234567890", false), gap, width, rowY(0), keyHeight, unit);
        centredRow(out, {"-", "/", ":", ";", "(", ")", "$", "&", "@", "\""}, gap, width, rowY(1), keyHeight, unit);
        // Five wider punctuation keys between the row's ends.
        double inner = width - 2 * (margin + side + gap);
        centredRow(out, {".", ",", "?", "!", "'"}, gap, width, rowY(2), keyHeight, (inner - 4 * gap) / 5);
    }
    out.push_back({Kind::Backspace, "delete", "", {width - margin - side, rowY(2), side, keyHeight}});

    bool chinese = showsChinese();
    auto* input = currentInput();
    ReturnKeyType returnType = input ? input->returnKeyType() : ReturnKeyType::Default;
    const double returnWidth = unit * 2.8, layerWidth = unit * 1.6;
    out.push_back(
        {Kind::Layer, layer_ == Layer::Letters ? "123" : "ABC", "", {margin, rowY(3), layerWidth, keyHeight}});
    double spaceX = margin + layerWidth + gap;
    double returnX = width - margin - returnWidth;
    out.push_back({Kind::Space, chinese ? "空格" : "space", " ", {spaceX, rowY(3), returnX - gap - spaceX, keyHeight}});
    out.push_back({Kind::Return, returnKeyTitle(returnType, chinese), "\n", {returnX, rowY(3), returnWidth, keyHeight},
                   returnType != ReturnKeyType::Default});
    return out;
}

const KeyboardKey* Keyboard::keyAt(const std::vector<KeyboardKey>& keys, Point point) const {
    // A finger between two keys takes the nearer one in its row, as on the handset.
    const KeyboardKey* best = nullptr;
    double bestDistance = 0;
    for (const auto& key : keys) {
        if (point.y < key.frame.minY() - 8 || point.y >= key.frame.maxY() + 8) continue;
        double dx = point.x < key.frame.minX() ? key.frame.minX() - point.x
                    : point.x > key.frame.maxX() ? point.x - key.frame.maxX()
                                                 : 0;
        double dy = point.y < key.frame.minY() ? key.frame.minY() - point.y
                    : point.y > key.frame.maxY() ? point.y - key.frame.maxY()
                                                 : 0;
        double distance = dx + dy;
        if (distance > 4) continue;
        if (!best || distance < bestDistance) {
            best = &key;
            bestDistance = distance;
        }
    }
    return best;
}

void Keyboard::press(const KeyboardKey& key) {
    using Kind = KeyboardKey::Kind;
    switch (key.kind) {
        case Kind::Character:
        case Kind::Space:
            type(key.text);
            if (shifted_) {
                shifted_ = false;
                redraw();
            }
            break;
        case Kind::Return: type("\n"); break;
        case Kind::Backspace: type("\b"); break;
        case Kind::Shift:
            shifted_ = !shifted_;
            redraw();
            break;
        case Kind::Layer:
            layer_ = layer_ == Layer::Letters ? Layer::Digits : Layer::Letters;
            shifted_ = false;
            redraw();
            break;
    }
}

void Keyboard::redraw() {
    if (view_) view_->setNeedsDisplay();
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
    // Each input that takes the keyboard starts on the keys of its kind, unshifted.
    KeyboardType kind = currentInput() ? currentInput()->keyboardType() : KeyboardType::Default;
    bool digits = kind == KeyboardType::NumbersAndPunctuation || kind == KeyboardType::NumberPad ||
                  kind == KeyboardType::PhonePad || kind == KeyboardType::DecimalPad;
    layer_ = digits ? Layer::Digits : Layer::Letters;
    shifted_ = false;
    redraw();
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
    layer_ = Layer::Letters;
    shifted_ = false;
}

}  // namespace platform
