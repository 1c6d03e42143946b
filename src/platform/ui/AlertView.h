#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

class AlertView;
class Button;
class Label;
class TextField;

// What an alert tells its delegate. Button indexes: the cancel button is 0 when there is
// one, the other buttons follow in the order given.
class AlertViewDelegate {
public:
    virtual ~AlertViewDelegate() = default;
    // alertView:clickedButtonAtIndex:
    virtual void alertViewClickedButtonAtIndex(AlertView& alert, long index) { (void)alert; (void)index; }
    virtual void alertViewWillDismiss(AlertView& alert, long index) { (void)alert; (void)index; }
    virtual void alertViewDidDismiss(AlertView& alert, long index) { (void)alert; (void)index; }
};

enum class AlertViewStyle { Default, SecureTextInput, PlainTextInput, LoginAndPasswordInput };

// A modal alert over the key window: title, message, buttons, optionally a text field.
// Shown alerts are listed for the driver; a button tap tells the delegate and dismisses.
class AlertView : public View {
public:
    AlertView();
    ~AlertView() override;

    std::string className() const override { return "AlertView"; }
    std::string displayedText() const override { return title_; }

    // initWithTitle:message:delegate:cancelButtonTitle:otherButtonTitles: (an empty cancel
    // title means no cancel button).
    void initWithTitle(const std::string& title, const std::string& message, std::weak_ptr<AlertViewDelegate> delegate,
                       const std::string& cancelButtonTitle, const std::vector<std::string>& otherButtonTitles = {});
    static std::shared_ptr<AlertView> make(const std::string& title, const std::string& message,
                                           std::weak_ptr<AlertViewDelegate> delegate,
                                           const std::string& cancelButtonTitle,
                                           const std::vector<std::string>& otherButtonTitles = {});

    const std::string& title() const { return title_; }
    void setTitle(const std::string& title);
    const std::string& message() const { return message_; }
    void setMessage(const std::string& message);
    void setDelegate(std::weak_ptr<AlertViewDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<AlertViewDelegate> delegate() const { return delegate_.lock(); }

    // Answers the new button's index.
    long addButtonWithTitle(const std::string& title);
    long numberOfButtons() const { return static_cast<long>(buttons_.size()); }
    std::string buttonTitleAtIndex(long index) const;
    long cancelButtonIndex() const { return cancelIndex_; }
    void setCancelButtonIndex(long index) { cancelIndex_ = index; }
    long firstOtherButtonIndex() const;

    AlertViewStyle alertViewStyle() const { return style_; }
    void setAlertViewStyle(AlertViewStyle style);
    // The field of a text input style (index 0), or nothing.
    std::shared_ptr<TextField> textFieldAtIndex(long index) const;

    void show();
    bool isVisible() const { return visible_; }
    // A tap on button `index`: the delegate hears the click, then the alert dismisses.
    void clickButtonAtIndex(long index);
    // Dismisses as if button `index` closed it, without a click.
    void dismissWithClickedButtonIndex(long index, bool animated);

    // The alerts on screen, oldest first.
    static std::vector<std::shared_ptr<AlertView>> visibleAlerts();
    static std::shared_ptr<AlertView> topAlert();
    // Takes every alert off the screen without telling anyone (tests start clean).
    static void clearVisible();
    // The button views, in index order.
    const std::vector<std::shared_ptr<Button>>& buttons() const { return buttons_; }

    void layoutSubviews() override;

private:
    void build();
    std::shared_ptr<Button> makeButton(const std::string& title);
    std::string title_, message_;
    std::weak_ptr<AlertViewDelegate> delegate_;
    std::vector<std::shared_ptr<Button>> buttons_;
    long cancelIndex_ = -1;
    AlertViewStyle style_ = AlertViewStyle::Default;
    std::shared_ptr<View> box_;
    std::shared_ptr<Label> titleLabel_, messageLabel_;
    std::shared_ptr<TextField> field_;
    bool visible_ = false;
};

using AlertViewRef = std::shared_ptr<AlertView>;

}  // namespace platform
