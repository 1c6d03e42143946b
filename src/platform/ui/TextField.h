#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Font.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/TextMeasure.h"

#include <memory>
#include <string>

namespace platform {

class TextField;

enum class TextBorderStyle { None, Line, Bezel, RoundedRect };
enum class TextFieldViewMode { Never, WhileEditing, UnlessEditing, Always };

// What a text field asks and tells its delegate. Ranges count UTF-16 code units.
class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    virtual bool textFieldShouldBeginEditing(TextField& field) { (void)field; return true; }
    virtual void textFieldDidBeginEditing(TextField& field) { (void)field; }
    virtual bool textFieldShouldEndEditing(TextField& field) { (void)field; return true; }
    virtual void textFieldDidEndEditing(TextField& field) { (void)field; }
    // textField:shouldChangeCharactersInRange:replacementString:
    virtual bool textFieldShouldChangeCharacters(TextField& field, Range range, const std::string& replacement) {
        (void)field;
        (void)range;
        (void)replacement;
        return true;
    }
    virtual bool textFieldShouldClear(TextField& field) { (void)field; return true; }
    virtual bool textFieldShouldReturn(TextField& field) { (void)field; return true; }
};

// A one-line editable text. Typing goes through the delegate's checks; every accepted
// change sends ControlEventEditingChanged. Setting the text in code asks nobody.
class TextField : public Control, public TextInput {
public:
    TextField();
    explicit TextField(const Rect& frame);
    ~TextField() override;

    std::string className() const override { return "TextField"; }
    // The text as shown: bullets for secure entry, the placeholder is not included.
    std::string displayedText() const override;

    std::string text() const;
    void setText(const std::string& text);
    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(const std::string& text) { placeholder_ = text; markChanged(); }
    Color placeholderColor() const { return placeholderColor_; }
    void setPlaceholderColor(const Color& color) { placeholderColor_ = color; markChanged(); }
    const Font& font() const { return font_; }
    void setFont(const Font& font) { font_ = font; markChanged(); }
    Color textColor() const { return textColor_; }
    void setTextColor(const Color& color) { textColor_ = color; markChanged(); }
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment) { alignment_ = alignment; markChanged(); }
    bool isSecureTextEntry() const { return secure_; }
    void setSecureTextEntry(bool secure) { secure_ = secure; markChanged(); }
    KeyboardType keyboardType() const override { return keyboardType_; }
    void setKeyboardType(KeyboardType type) { keyboardType_ = type; }
    ReturnKeyType returnKeyType() const override { return returnKeyType_; }
    void setReturnKeyType(ReturnKeyType type) { returnKeyType_ = type; }
    TextFieldViewMode clearButtonMode() const { return clearButtonMode_; }
    void setClearButtonMode(TextFieldViewMode mode) { clearButtonMode_ = mode; markChanged(); }
    bool clearsOnBeginEditing() const { return clearsOnBegin_; }
    void setClearsOnBeginEditing(bool on) { clearsOnBegin_ = on; }
    TextBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(TextBorderStyle style) { borderStyle_ = style; markChanged(); }
    const std::shared_ptr<View>& leftView() const { return leftView_; }
    void setLeftView(const std::shared_ptr<View>& view);
    TextFieldViewMode leftViewMode() const { return leftViewMode_; }
    void setLeftViewMode(TextFieldViewMode mode) { leftViewMode_ = mode; setNeedsLayout(); }
    TextFieldViewMode rightViewMode() const { return rightViewMode_; }
    const std::shared_ptr<View>& rightView() const { return rightView_; }
    void setRightView(const std::shared_ptr<View>& view);
    void setRightViewMode(TextFieldViewMode mode) { rightViewMode_ = mode; setNeedsLayout(); }
    bool autocorrection() const { return autocorrection_; }
    void setAutocorrection(bool on) { autocorrection_ = on; }
    bool autocapitalization() const { return autocapitalization_; }
    void setAutocapitalization(bool on) { autocapitalization_ = on; }

    void setDelegate(std::weak_ptr<TextFieldDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<TextFieldDelegate> delegate() const { return delegate_.lock(); }

    bool isEditing() const { return editing_; }
    // The selection, in UTF-16 code units; an empty range is the caret.
    Range selectedRange() const { return selection_; }
    void setSelectedRange(Range range);

    // The clear button: asks textFieldShouldClear, then empties the field.
    void clearButtonTapped();
    // Whether the clear button shows now.
    bool isClearButtonShown() const;

    // ---- Responder and keyboard
    bool canBecomeFirstResponder() const override { return isEnabled(); }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void insertText(const std::string& text) override;
    void deleteBackward() override;
    void returnKeyPressed() override;

    // A tap puts the field into editing.
    void touchesEnded(const Touches& touches) override;
    void layoutSubviews() override;
    void draw(GraphicsContext& context, const Rect& rect) override;
    Rect textRect() const;

private:
    // Replaces `range` with `replacement` when the delegate agrees; answers whether it did.
    bool replace(Range range, const std::u16string& replacement);

    std::u16string text_;
    std::string placeholder_;
    Color placeholderColor_ = Color::white(0.7);
    Font font_ = Font::systemFontOfSize(17);
    Color textColor_ = Color::black();
    TextAlignment alignment_ = TextAlignment::Left;
    bool secure_ = false;
    KeyboardType keyboardType_ = KeyboardType::Default;
    ReturnKeyType returnKeyType_ = ReturnKeyType::Default;
    TextFieldViewMode clearButtonMode_ = TextFieldViewMode::Never;
    bool clearsOnBegin_ = false;
    TextBorderStyle borderStyle_ = TextBorderStyle::None;
    std::shared_ptr<View> leftView_, rightView_;
    TextFieldViewMode leftViewMode_ = TextFieldViewMode::Never;
    TextFieldViewMode rightViewMode_ = TextFieldViewMode::Never;
    bool autocorrection_ = true;
    bool autocapitalization_ = true;
    std::weak_ptr<TextFieldDelegate> delegate_;
    bool editing_ = false;
    Range selection_;
};

using TextFieldRef = std::shared_ptr<TextField>;

}  // namespace platform
