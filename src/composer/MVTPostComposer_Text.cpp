// Writing the text: the keyboard bar riding on the keyboard, the emoticon panel in the
// keyboard's place, mentions from the picker, and deletions made by the composer itself.
#include "composer/MVTPostComposerViewController.h"
#include "composer/ComposerScreen.h"

#include "composer/ComposerText.h"
#include "composer/EmojView.h"
#include "shell/InternationalControl.h"

#include "platform/Values.h"
#include "platform/ui/Button.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/TextView.h"

using namespace platform;

namespace {


}  // namespace

void MVTPostComposerViewController::keyboardBarTo(double top) {
    if (!hidKeyBoardView) return;
    hidKeyBoardView->setFrame({0, top, composer_screen::width(), kKeyboardBarHeight});
    hidKeyBoardView->setHidden(false);
    view()->bringSubviewToFront(hidKeyBoardView);
}

void MVTPostComposerViewController::keyboardWillShow(const Notification& notification) {
    if (!mytextView || !mytextView->isEditing()) return;
    if (hidKeyBoardView) {
        composer_text::resetKeyboardBar(*hidKeyBoardView);
        return;
    }
    const double k = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey).height();
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    hidKeyBoardView = composer_text::makeKeyboardBar(
        view()->bounds().height() - k - kKeyboardBarHeight, composer_screen::width(),
        [weak](Button& button) {
            if (auto self = weak.lock()) self->initFaceView(button);
        },
        [weak] {
            if (auto self = weak.lock()) self->postOther();
        },
        [weak] {
            if (auto self = weak.lock()) self->removeKeyBoard();
        });
    view()->addSubview(hidKeyBoardView);
}

void MVTPostComposerViewController::keyboardChange(const Notification& notification) {
    if (!hidKeyBoardView) return;
    const double k = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey).height();
    keyboardBarTo(view()->bounds().height() - k - kKeyboardBarHeight);
}

void MVTPostComposerViewController::removeKeyBoard() {
    if (myFaceView) myFaceView->setHidden(true);
    if (mytextView && mytextView->isEditing()) mytextView->resignFirstResponder();
    fitTheView(false);
    if (hidKeyBoardView) hidKeyBoardView->setHidden(true);
}

void MVTPostComposerViewController::initFaceView(Button& button) {
    if (!mytextView) return;
    const double H = view()->bounds().height();
    button.setSelected(!button.isSelected());
    if (button.isSelected()) {
        mytextView->resignFirstResponder();
        if (!myFaceView) {
            myFaceView = std::make_shared<EmojView>();
            myFaceView->initWithFrame(Rect(0, H - kFacePanelHeight, view()->bounds().width(), kFacePanelHeight));
            myFaceView->setDelegate(std::dynamic_pointer_cast<MVTFacialViewDelegate>(shared_from_this()));
            view()->addSubview(myFaceView);
        }
        myFaceView->setHidden(false);
        view()->bringSubviewToFront(myFaceView);
    } else {
        if (myFaceView) myFaceView->setHidden(true);
        mytextView->becomeFirstResponder();
    }
    keyboardBarTo(H - kFacePanelHeight - kKeyboardBarHeight);

    if (mytextView->frame().height() > 40) {
        const std::string content = mytextView->text();
        long pieces = 1;
        for (char c : content)
            if (c == '\n') ++pieces;
        const double line = TextMeasure::sizeWithFont("A", mytextView->font()).height;
        const double v = pieces >= 4 ? line * static_cast<double>(pieces - 2) : 0;
        if (v > myView->contentOffset().y) myView->setContentOffset({0, v}, true);
    }
    const long end = static_cast<long>(utf16Length(mytextView->text()));
    mytextView->setSelectedRange({end, 0});
    fitTheText();
}

void MVTPostComposerViewController::postOther() {
    auto picker = std::make_shared<MVTPostListViewController>();
    picker->init();
    picker->setDelegate(std::dynamic_pointer_cast<MVTPostListDelegate>(shared_from_this()));
    if (auto stack = navigationController()) stack->pushViewController(picker, true);
}

void MVTPostComposerViewController::selectedFacialView(const std::string& token) {
    if (!mytextView) return;
    if (placeholder_) placeholder_->setText("");
    composer_text::appendToken(*mytextView, token);
    fitTheText();
    scrollToCaret();
}

void MVTPostComposerViewController::sendMessage() {
    if (myFaceView) myFaceView->setHidden(true);
}

void MVTPostComposerViewController::returnList(const nlohmann::json& entry) {
    if (!mytextView) return;
    composer_text::insertMention(*mytextView, textOf(entry, "name"));
    if (placeholder_) placeholder_->setText("");
    const Range caret = mytextView->selectedRange();
    postListArray.push_back(entry);
    fitTheText();
    if (myFaceView && !myFaceView->isHidden())
        keyboardBarTo(view()->bounds().height() - myFaceView->frame().height() - kKeyboardBarHeight);
    mytextView->setSelectedRange(caret);
    scrollToCaret();
}

// ---- The text view's delegate -----------------------------------------------------------

void MVTPostComposerViewController::textViewDidBeginEditing() {
    if (placeholder_) placeholder_->setText("");
    const double p = mytextView->text().empty()
                         ? mytextView->frame().minY() + 7
                         : mytextView->frame().minY() +
                               mytextView->caretRectForPosition(mytextView->selectedRange().location).minY();
    myView->setContentOffset({0, composer_text::caretScrollOffset(p, view()->bounds().height())}, true);
    fitTheView(true);
    if (myFaceView && !myFaceView->isHidden()) myFaceView->setHidden(true);
}

bool MVTPostComposerViewController::textViewShouldChangeText(Range range, const std::string& replacement) {
    if (replacement == "@") {
        postOther();
        return true;
    }
    // Refit from the text before the change.
    fitTheText();
    if (textHeight <= minimumTextHeight()) {
        const Rect frame = mytextView->frame();
        const double width = view()->bounds().width() - (kind() == Kind::Feed ? 0 : 20);
        mytextView->setFrame({frame.minX(), frame.minY(), width, frame.height()});
    }
    fitTheView(true);
    if (!replacement.empty()) return true;
    // Deletions are made here, so the caret lands at the start of what was removed.
    composer_text::deleteRange(*mytextView, range);
    return false;
}

void MVTPostComposerViewController::textViewDidEndEditing() {
    if (placeholder_ && mytextView->text().empty()) placeholder_->setText(localized("说点什么"));
    if (myFaceView && !myFaceView->isHidden()) fitTheView(false);
}
