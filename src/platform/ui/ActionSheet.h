#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

class ActionSheet;
class Button;
class Label;

// Button indexes: the destructive button first when there is one, then the other
// buttons in the order given, the cancel button last.
class ActionSheetDelegate {
public:
    virtual ~ActionSheetDelegate() = default;
    // actionSheet:clickedButtonAtIndex:
    virtual void actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) { (void)sheet; (void)index; }
    virtual void actionSheetWillDismiss(ActionSheet& sheet, long index) { (void)sheet; (void)index; }
    virtual void actionSheetDidDismiss(ActionSheet& sheet, long index) { (void)sheet; (void)index; }
};

// A list of choices that slides up from the bottom of the window.
class ActionSheet : public View {
public:
    ActionSheet();
    ~ActionSheet() override;

    std::string className() const override { return "ActionSheet"; }
    std::string displayedText() const override { return title_; }

    // initWithTitle:delegate:cancelButtonTitle:destructiveButtonTitle:otherButtonTitles:
    // (empty titles mean no such button).
    void initWithTitle(const std::string& title, std::weak_ptr<ActionSheetDelegate> delegate,
                       const std::string& cancelButtonTitle, const std::string& destructiveButtonTitle,
                       const std::vector<std::string>& otherButtonTitles = {});
    static std::shared_ptr<ActionSheet> make(const std::string& title, std::weak_ptr<ActionSheetDelegate> delegate,
                                             const std::string& cancelButtonTitle,
                                             const std::string& destructiveButtonTitle,
                                             const std::vector<std::string>& otherButtonTitles = {});

    const std::string& title() const { return title_; }
    void setTitle(const std::string& title);
    void setDelegate(std::weak_ptr<ActionSheetDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<ActionSheetDelegate> delegate() const { return delegate_.lock(); }

    long addButtonWithTitle(const std::string& title);
    long numberOfButtons() const { return static_cast<long>(buttons_.size()); }
    std::string buttonTitleAtIndex(long index) const;
    long cancelButtonIndex() const { return cancelIndex_; }
    void setCancelButtonIndex(long index) { cancelIndex_ = index; setNeedsLayout(); }
    long destructiveButtonIndex() const { return destructiveIndex_; }
    void setDestructiveButtonIndex(long index) { destructiveIndex_ = index; }
    long firstOtherButtonIndex() const;

    // showInView: / showFromTabBar: / showFromToolbar: all cover the key window (the
    // window of `view` when it has one).
    void showInView(View* view);
    bool isVisible() const { return visible_; }
    void clickButtonAtIndex(long index);
    void dismissWithClickedButtonIndex(long index, bool animated);

    static std::vector<std::shared_ptr<ActionSheet>> visibleSheets();
    static std::shared_ptr<ActionSheet> topSheet();
    static void clearVisible();
    const std::vector<std::shared_ptr<Button>>& buttons() const { return buttons_; }

    void layoutSubviews() override;
    // A tap outside the choices counts as the cancel button.
    void touchesEnded(const Touches& touches) override;

private:
    void build();
    std::string title_;
    std::weak_ptr<ActionSheetDelegate> delegate_;
    std::vector<std::shared_ptr<Button>> buttons_;
    long cancelIndex_ = -1;
    long destructiveIndex_ = -1;
    std::shared_ptr<View> panel_;
    std::shared_ptr<Label> titleLabel_;
    bool visible_ = false;
};

using ActionSheetRef = std::shared_ptr<ActionSheet>;

}  // namespace platform
