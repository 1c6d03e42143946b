#pragma once

// Text input pieces shared by the post composers and the mood composer: the text view's
// delegate, the keyboard bar, the emoticon panel in the keyboard's place, the mention
// picker, mention insertion and deletions made by the screen itself.
//
// The templates work on a screen (Owner) with the fields mytextView, hidKeyBoardView and
// myFaceView and the operations keyboardWillShow:, keyboardChange:, initFaceView:,
// postOther, removeKeyBoard and the three text view delegate steps.

#include "composer/EmojView.h"
#include "composer/MVTPostListViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/Button.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextView.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace composer_text {

inline constexpr double kBarHeight = 40;
inline constexpr double kPanelHeight = 216;

// The text view's delegate: an object of its own, so the screen does not inherit the
// scroll view delegate a second time.
template <class Owner>
class TextDelegateOf : public platform::TextViewDelegate {
public:
    explicit TextDelegateOf(std::weak_ptr<Owner> owner) : owner_(std::move(owner)) {}
    void textViewDidBeginEditing(platform::TextView&) override {
        if (auto owner = owner_.lock()) owner->textViewDidBeginEditing();
    }
    bool textViewShouldChangeText(platform::TextView&, platform::Range range, const std::string& replacement) override {
        auto owner = owner_.lock();
        return owner ? owner->textViewShouldChangeText(range, replacement) : true;
    }
    void textViewDidEndEditing(platform::TextView&) override {
        if (auto owner = owner_.lock()) owner->textViewDidEndEditing();
    }

private:
    std::weak_ptr<Owner> owner_;
};

// The bar above the keyboard or the emoticon panel: the emoticon toggle (tag 1), the
// mention button and the done button, 40 points high, `width` wide, at `top`.
std::shared_ptr<platform::View> makeKeyboardBar(double top, double width,
                                                std::function<void(platform::Button&)> onFace,
                                                std::function<void()> onMention, std::function<void()> onDone);
// Shows the bar again with its emoticon toggle back to the keyboard state.
void resetKeyboardBar(platform::View& bar);
// Puts "@<name> " in place of the selection and the caret after its space.
void insertMention(platform::TextView& textView, const std::string& name);
// Removes `range` from the text and leaves the caret at its start.
void deleteRange(platform::TextView& textView, platform::Range range);
// Appends a face's token at the end of the text, the caret after it.
void appendToken(platform::TextView& textView, const std::string& token);
// The "relative" text of a post: each picked person as "@<name> :<user>", joined by ",".
std::string mentionsText(const nlohmann::json& picked);
// The offset that keeps the caret line at `caretTop` (in the page) above a keyboard or
// panel of 216 points in a view `viewHeight` high.
double caretScrollOffset(double caretTop, double viewHeight);

// The keyboard's notifications while the screen is in view: will-show (its frame changes)
// to keyboardChange:, did-show to keyboardWillShow:.
template <class Owner>
std::vector<platform::ObserverToken> observeKeyboard(Owner& owner) {
    std::weak_ptr<Owner> weak = owner.template weakAs<Owner>();
    auto& center = platform::NotificationCenter::defaultCenter();
    std::vector<platform::ObserverToken> tokens;
    tokens.push_back(center.addObserver(platform::kKeyboardWillShowNotification, [weak](const platform::Notification& n) {
        if (auto self = weak.lock()) self->keyboardChange(n);
    }));
    tokens.push_back(center.addObserver(platform::kKeyboardDidShowNotification, [weak](const platform::Notification& n) {
        if (auto self = weak.lock()) self->keyboardWillShow(n);
    }));
    return tokens;
}

// The height of the keyboard in a keyboard notification.
inline double keyboardHeight(const platform::Notification& notification) {
    return platform::keyboardFrameFromUserInfo(notification.userInfo, platform::kKeyboardFrameEndUserInfoKey).height();
}

// Puts the bar at `top` and shows it over the screen's views.
template <class Owner>
void barTo(Owner& owner, double top) {
    if (!owner.hidKeyBoardView) return;
    owner.hidKeyBoardView->setFrame({0, top, platform::Screen::mainScreen().bounds().width(), kBarHeight});
    owner.hidKeyBoardView->setHidden(false);
    owner.view()->bringSubviewToFront(owner.hidKeyBoardView);
}

// The keyboard came up while the text is edited: the bar is made the first time, later
// shown again with its emoticon toggle back to the keyboard state.
template <class Owner>
void keyboardDidShow(Owner& owner, const platform::Notification& notification) {
    if (!owner.mytextView || !owner.mytextView->isEditing()) return;
    if (owner.hidKeyBoardView) {
        resetKeyboardBar(*owner.hidKeyBoardView);
        return;
    }
    std::weak_ptr<Owner> weak = owner.template weakAs<Owner>();
    owner.hidKeyBoardView = makeKeyboardBar(
        owner.view()->bounds().height() - keyboardHeight(notification) - kBarHeight,
        platform::Screen::mainScreen().bounds().width(),
        [weak](platform::Button& button) {
            if (auto self = weak.lock()) self->initFaceView(button);
        },
        [weak] {
            if (auto self = weak.lock()) self->postOther();
        },
        [weak] {
            if (auto self = weak.lock()) self->removeKeyBoard();
        });
    owner.view()->addSubview(owner.hidKeyBoardView);
}

// The keyboard's frame changes: the bar rides on it.
template <class Owner>
void keyboardWillChange(Owner& owner, const platform::Notification& notification) {
    if (!owner.hidKeyBoardView) return;
    barTo(owner, owner.view()->bounds().height() - keyboardHeight(notification) - kBarHeight);
}

// The emoticon toggle: selected, the panel (made the first time) takes the keyboard's
// place; deselected, the keyboard comes back. The bar stands on the panel's top.
template <class Owner>
void togglePanel(Owner& owner, platform::Button& button) {
    const double height = owner.view()->bounds().height();
    button.setSelected(!button.isSelected());
    if (button.isSelected()) {
        owner.mytextView->resignFirstResponder();
        if (!owner.myFaceView) {
            owner.myFaceView = std::make_shared<EmojView>();
            owner.myFaceView->initWithFrame(
                platform::Rect(0, height - kPanelHeight, owner.view()->bounds().width(), kPanelHeight));
            owner.myFaceView->setDelegate(std::dynamic_pointer_cast<MVTFacialViewDelegate>(owner.shared_from_this()));
            owner.view()->addSubview(owner.myFaceView);
        }
        owner.myFaceView->setHidden(false);
        owner.view()->bringSubviewToFront(owner.myFaceView);
    } else {
        if (owner.myFaceView) owner.myFaceView->setHidden(true);
        owner.mytextView->becomeFirstResponder();
    }
    barTo(owner, height - kPanelHeight - kBarHeight);
}

// The bar's done button: panel and keyboard go, the page shrinks back, the bar hides.
template <class Owner>
void endInput(Owner& owner) {
    if (owner.myFaceView) owner.myFaceView->setHidden(true);
    if (owner.mytextView && owner.mytextView->isEditing()) owner.mytextView->resignFirstResponder();
    owner.fitTheView(false);
    if (owner.hidKeyBoardView) owner.hidKeyBoardView->setHidden(true);
}

// The mention picker, pushed with the screen as its delegate.
template <class Owner>
void pushMentionPicker(Owner& owner) {
    auto picker = std::make_shared<MVTPostListViewController>();
    picker->init();
    picker->setDelegate(std::dynamic_pointer_cast<MVTPostListDelegate>(owner.shared_from_this()));
    if (auto stack = owner.navigationController()) stack->pushViewController(picker, true);
}

}  // namespace composer_text
