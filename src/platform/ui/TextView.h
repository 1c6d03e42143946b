#pragma once

#include "platform/ui/Font.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextMeasure.h"

#include <memory>
#include <string>

namespace platform {

class TextView;

// What a text view asks and tells its delegate (which also hears its scroll events).
// Ranges count UTF-16 code units.
class TextViewDelegate : public ScrollViewDelegate {
public:
    virtual bool textViewShouldBeginEditing(TextView& view) { (void)view; return true; }
    virtual void textViewDidBeginEditing(TextView& view) { (void)view; }
    virtual bool textViewShouldEndEditing(TextView& view) { (void)view; return true; }
    virtual void textViewDidEndEditing(TextView& view) { (void)view; }
    // textView:shouldChangeTextInRange:replacementText: (Return arrives as "\n").
    virtual bool textViewShouldChangeText(TextView& view, Range range, const std::string& replacement) {
        (void)view;
        (void)range;
        (void)replacement;
        return true;
    }
    virtual void textViewDidChange(TextView& view) { (void)view; }
    virtual void textViewDidChangeSelection(TextView& view) { (void)view; }
};

// Editable (or read-only) text of many lines that scrolls; its content height follows
// the text as measured in its font and width.
class TextView : public ScrollView, public TextInput {
public:
    TextView();
    explicit TextView(const Rect& frame);
    ~TextView() override;

    std::string className() const override { return "TextView"; }
    std::string displayedText() const override { return text(); }

    std::string text() const;
    // Setting the text in code asks nobody and tells nobody.
    void setText(const std::string& text);
    const Font& font() const { return font_; }
    void setFont(const Font& font);
    Color textColor() const { return textColor_; }
    void setTextColor(const Color& color) { textColor_ = color; markChanged(); }
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment) { alignment_ = alignment; markChanged(); }
    bool isEditable() const { return editable_; }
    void setEditable(bool editable);
    bool isSelectable() const { return selectable_; }
    void setSelectable(bool selectable) { selectable_ = selectable; }
    KeyboardType keyboardType() const override { return keyboardType_; }
    void setKeyboardType(KeyboardType type) { keyboardType_ = type; }
    ReturnKeyType returnKeyType() const override { return returnKeyType_; }
    void setReturnKeyType(ReturnKeyType type) { returnKeyType_ = type; }
    EdgeInsets textContainerInset() const { return containerInset_; }
    void setTextContainerInset(const EdgeInsets& inset);

    void setDelegate(const std::shared_ptr<TextViewDelegate>& delegate);
    std::shared_ptr<TextViewDelegate> textDelegate() const { return textDelegate_.lock(); }

    bool isEditing() const { return editing_; }
    Range selectedRange() const { return selection_; }
    // Moves the selection; the delegate hears textViewDidChangeSelection.
    void setSelectedRange(Range range);
    // The caret's rectangle before UTF-16 position `position`, in the view's content
    // coordinates (lines wrap as the text is drawn).
    Rect caretRectForPosition(long position) const;
    // The height the text needs at the view's width, insets included.
    double textHeight() const;

    bool canBecomeFirstResponder() const override { return editable_ || selectable_; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void insertText(const std::string& text) override;
    void deleteBackward() override;
    // Return types a line break (through the same checks as any character).
    void returnKeyPressed() override;

    void touchesEnded(const Touches& touches) override;
    void setFrame(const Rect& frame) override;
    void draw(GraphicsContext& context, const Rect& rect) override;

private:
    bool replace(Range range, const std::u16string& replacement);
    void updateContentSize();

    std::u16string text_;
    Font font_ = Font::systemFontOfSize(12);
    Color textColor_ = Color::black();
    TextAlignment alignment_ = TextAlignment::Left;
    bool editable_ = true;
    bool selectable_ = true;
    KeyboardType keyboardType_ = KeyboardType::Default;
    ReturnKeyType returnKeyType_ = ReturnKeyType::Default;
    EdgeInsets containerInset_{8, 5, 8, 5};
    std::weak_ptr<TextViewDelegate> textDelegate_;
    bool editing_ = false;
    Range selection_;
};

using TextViewRef = std::shared_ptr<TextView>;

}  // namespace platform
