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

void MVTPostComposerViewController::keyboardBarTo(double top) { composer_text::barTo(*this, top); }

void MVTPostComposerViewController::keyboardWillShow(const Notification& notification) {
    composer_text::keyboardDidShow(*this, notification);
}

void MVTPostComposerViewController::keyboardChange(const Notification& notification) {
    composer_text::keyboardWillChange(*this, notification);
}

void MVTPostComposerViewController::removeKeyBoard() { composer_text::endInput(*this); }

void MVTPostComposerViewController::initFaceView(Button& button) {
    if (!mytextView) return;
    composer_text::togglePanel(*this, button);

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

void MVTPostComposerViewController::postOther() { composer_text::pushMentionPicker(*this); }

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
