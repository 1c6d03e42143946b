// The question cell's answer capture: choices, the free answer, the blanks and the drag
// list each turn into a judged AnswerRecord for the sheet, or withdraw the row's answer.
#include "tests/MVTStudentCourseCell.h"

#include "shell/InternationalControl.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"

#include <algorithm>

using namespace platform;

namespace {

const Color kAnswersGreen = Color::rgba(0.192, 0.565, 0.106);
const Color kAnswersOrange = Color::rgba(0.863, 0.365, 0.118);

}  // namespace

void MVTStudentCourseCell::toSelectBtn(Button& tapped) {
    const std::string tag = std::to_string(tapped.tag());
    if (type_ == quiz::kSingle || type_ == quiz::kTrueFalse) {
        allAnswerArr_.clear();
        for (const auto& button : allBtnArr_) button->setSelected(button->tag() == tapped.tag());
        allAnswerArr_.push_back(tag);
    } else if (type_ == quiz::kMultiple) {
        for (const auto& button : allBtnArr_) {
            if (button->tag() != tapped.tag()) continue;
            if (button->isSelected()) {
                allAnswerArr_.erase(std::remove(allAnswerArr_.begin(), allAnswerArr_.end(), tag), allAnswerArr_.end());
                button->setSelected(false);
            } else {
                allAnswerArr_.push_back(tag);
                button->setSelected(true);
            }
        }
    }
    toCheckDoneAndGetAnswer();
}

quiz::AnswerInput MVTStudentCourseCell::currentInput() const {
    quiz::AnswerInput input;
    input.kind = type_;
    input.teacherAnswers = teacherAnswerArr_;
    input.chosen = allAnswerArr_;
    if (answerTextView_) input.freeText = answerTextView_->text();
    for (const auto& field : fieldArr_) input.blanks.push_back(field->text());
    if (liteSelectView_) {
        input.dragEntries = liteSelectView_->dataList();
        input.dragDone = liteSelectView_->isDone();
    }
    return input;
}

void MVTStudentCourseCell::report(int success, Json answer) {
    sucInt_ = success;
    Json record = {{"id", contentView()->accessibilityHint()}, {"success", std::to_string(success)},
                   {"answer", std::move(answer)}};
    if (auto delegate = this->delegate()) delegate->toSendAnswer(record, contentView()->tag());
}

void MVTStudentCourseCell::withdraw() {
    if (auto delegate = this->delegate()) delegate->moreAnswerAt(contentView()->tag());
}

void MVTStudentCourseCell::toCheckDoneAndGetAnswer() {
    if (didSubmit_ || type_ < 0 || type_ >= quiz::kKindCount) return;
    const quiz::Judgement judgement = quiz::judge(currentInput());
    if (judgement.outcome == quiz::Judgement::Outcome::Withdraw) withdraw();
    if (judgement.outcome == quiz::Judgement::Outcome::Record) report(judgement.success, judgement.answer);
}

void MVTStudentCourseCell::toSetCourseListScrol(bool on) {
    if (auto delegate = this->delegate()) delegate->toSetCourseTableViewScrol(on);
}

void MVTStudentCourseCell::textFieldDidBeginEditing(TextField&) {
    if (auto delegate = this->delegate()) delegate->showDoneBtn(nullptr);
}

bool MVTStudentCourseCell::textFieldShouldReturn(TextField& field) {
    toCheckDoneAndGetAnswer();
    field.resignFirstResponder();
    return true;
}

bool MVTStudentCourseCell::textViewShouldBeginEditing(TextView& view) {
    if (auto delegate = this->delegate()) delegate->showDoneBtn(&view);
    return true;
}

void MVTStudentCourseCell::textViewDidEndEditing(TextView&) { toCheckDoneAndGetAnswer(); }

// ---- The per-question buttons that no screen places.

std::shared_ptr<Button> MVTStudentCourseCell::addPanelButton(int row, const std::string& questionId,
                                                             const std::string& normal, const std::string& selected) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({285, 5, 30, 25});
    button->setBackgroundColor(kAnswersGreen);
    button->setTitle(localized(normal));
    button->setTitle(localized(selected), ControlStateSelected);
    button->titleLabel()->setFont(Font::systemFontOfSize(13));
    button->setCornerRadius(2);
    button->setBorderWidth(0.5);
    button->setBorderColor(Color::white(0.882));
    button->setTag(row);
    button->setAccessibilityHint(questionId);
    contentView()->addSubview(button);
    return button;
}

std::shared_ptr<Button> MVTStudentCourseCell::addEditAndDoneBtnWith(int row, const std::string& questionId) {
    auto button = addPanelButton(row, questionId, "完成", "编辑");
    std::weak_ptr<MVTStudentCourseCell> weak = std::static_pointer_cast<MVTStudentCourseCell>(shared_from_this());
    button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->toSaveAnswerBtn(static_cast<Button&>(control));
    });
    return button;
}

std::shared_ptr<Button> MVTStudentCourseCell::addAnswerBtnWith(int row, const std::string& questionId) {
    auto button = addPanelButton(row, questionId, "答案", "我的");
    std::weak_ptr<MVTStudentCourseCell> weak = std::static_pointer_cast<MVTStudentCourseCell>(shared_from_this());
    button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->toShowAnswerBtn(static_cast<Button&>(control));
    });
    return button;
}

void MVTStudentCourseCell::toSaveAnswerBtn(Button& button) {
    auto delegate = this->delegate();
    if (button.isSelected()) {
        button.setSelected(false);
        button.setBackgroundColor(kAnswersGreen);
        bgView_->setUserInteractionEnabled(true);
        if (delegate) delegate->moreAnswerAt(button.tag());
        return;
    }
    quiz::AnswerInput input = currentInput();
    // Here a missing answer is asked for rather than withdrawn, and the free answer goes
    // as typed.
    bool missing = false;
    switch (type_) {
    case quiz::kSingle:
    case quiz::kMultiple:
    case quiz::kTrueFalse:
        missing = input.chosen.empty();
        break;
    case quiz::kFree:
        missing = input.freeText.value_or("").empty();
        break;
    case quiz::kFillIn:
        missing = input.blanks.empty() ||
                  std::any_of(input.blanks.begin(), input.blanks.end(), [](const auto& b) { return !b || b->empty(); });
        break;
    case quiz::kMatching:
        input.dragDone = true;
        break;
    default:
        return;
    }
    if (missing) {
        showAlert();
        return;
    }
    quiz::Judgement judgement = quiz::judge(input);
    if (type_ == quiz::kFree) judgement.answer = *input.freeText;
    if (judgement.outcome != quiz::Judgement::Outcome::Record) return;
    sucInt_ = judgement.success;
    Json record = {{"id", button.accessibilityHint()}, {"success", std::to_string(judgement.success)},
                   {"answer", judgement.answer}};
    if (delegate) delegate->toSendAnswer(record, button.tag());
    button.setSelected(true);
    button.setBackgroundColor(kAnswersOrange);
    bgView_->setUserInteractionEnabled(false);
}

void MVTStudentCourseCell::toShowAnswerBtn(Button& button) {
    button.setSelected(!button.isSelected());
    button.setBackgroundColor(button.isSelected() ? kAnswersOrange : kAnswersGreen);
    const Json& shown = button.isSelected() ? teacherAnswerArr_ : studentAnswerArr_;
    if (type_ == quiz::kSingle || type_ == quiz::kMultiple || type_ == quiz::kTrueFalse) {
        for (const auto& choice : allBtnArr_) {
            bool chosen = false;
            for (const auto& entry : shown) chosen = chosen || intValue(textOf(entry)) == choice->tag();
            choice->setSelected(chosen);
        }
    } else if (type_ == quiz::kFillIn) {
        for (std::size_t i = 0; i < fieldArr_.size(); ++i) {
            fieldArr_[i]->setEnabled(true);
            fieldArr_[i]->setText(i < shown.size() ? textOf(shown[i], "text") : std::string());
            fieldArr_[i]->setEnabled(false);
        }
    }
}

void MVTStudentCourseCell::showAlert() {
    auto alert = AlertView::make(localized("请先答题"), "", {}, localized("知道了"), {});
    alert->show();
}
