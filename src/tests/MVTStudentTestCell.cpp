#include "tests/MVTStudentTestCell.h"

#include "homework/HomeworkScreen.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

double testCellWidth() { return Screen::mainScreen().bounds().width(); }

bool testCellTextIsEmpty(const std::string& text) { return text.empty() || text == "<null>" || text == "(null)"; }

std::shared_ptr<Label> testCellLabel(const Rect& frame, double size, const Color& color, TextAlignment alignment) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(size));
    label->setTextColor(color);
    label->setTextAlignment(alignment);
    return label;
}

}  // namespace

MVTStudentTestCell::MVTStudentTestCell() = default;

std::shared_ptr<MVTStudentTestCell> MVTStudentTestCell::make(const std::string& reuseIdentifier) {
    auto cell = std::make_shared<MVTStudentTestCell>();
    cell->initWithStyle(TableViewCellStyle::Default, reuseIdentifier);
    return cell;
}

void MVTStudentTestCell::initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier) {
    TableViewCell::initWithStyle(style, reuseIdentifier);
    const double W = testCellWidth();
    auto content = contentView();
    bgView_ = std::make_shared<View>(Rect(0, 0, W, 40));
    bgView_->setBackgroundColor(Color::whiteColor());
    content->addSubview(bgView_);
    titleLa_ = testCellLabel({10, 5, W - 20, 20}, 14, homework::kTextGrey, TextAlignment::Left);
    titleLa_->setNumberOfLines(0);
    content->addSubview(titleLa_);
    timeLa_ = testCellLabel({10, 25, 150, 20}, 12, Color::lightGray(), TextAlignment::Left);
    timeLa_->setHidden(true);
    content->addSubview(timeLa_);
    if (homework::currentRole() == "student") {
        personLa_ = testCellLabel({W - 60, 25, 50, 20}, 12, Color::darkGray(), TextAlignment::Right);
        personLa_->setText(homework::fill("%@%@", {localized("人"), localized("完成")}));
        personLa_->setHidden(true);
        content->addSubview(personLa_);
        countLa_ = testCellLabel({W - 98, 25, 50, 20}, 16, Color::rgb255(59, 155, 33), TextAlignment::Right);
        countLa_->setHidden(true);
        content->addSubview(countLa_);
    } else {
        completeButton_ = Button::buttonWithType(ButtonType::Custom);
        completeButton_->setFrame({170, 20, 140, 25});
        completeButton_->setBackgroundImage(Image::imageNamed("fileDown"));
        completeButton_->setBackgroundImage(Image::imageNamed("fileDownPress"), ControlStateHighlighted);
        completeButton_->titleLabel()->setFont(Font::systemFontOfSize(12));
        std::weak_ptr<MVTStudentTestCell> weak = std::static_pointer_cast<MVTStudentTestCell>(shared_from_this());
        completeButton_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            auto self = weak.lock();
            if (!self) return;
            if (auto delegate = self->delegate()) delegate->showTestCompleteList(static_cast<Button&>(control));
        });
        content->addSubview(completeButton_);
    }
    bgLine_ = std::make_shared<View>(Rect(5, 44.5, W - 10, 0.5));
    bgLine_->setBackgroundColor(Color::rgb255(225, 225, 225));
    content->addSubview(bgLine_);
}

void MVTStudentTestCell::reloaddataWith(const Json& test, bool last) {
    const double W = testCellWidth();
    const std::string title = textOf(test, "examName");
    titleLa_->setText(title);
    const double h =
        TextMeasure::sizeWithFont(title, titleLa_->font(), {W - 20, 200}, LineBreakMode::CharWrap).height;
    double b = 25;
    if (h < 20) {
        titleLa_->setFrame({10, 5, W - 20, 20});
    } else {
        titleLa_->setFrame({10, 5, W - 20, h});
        b = std::floor(h + 5);
    }

    const std::string dateline = textOf(test, "dateline");
    if (testCellTextIsEmpty(dateline)) {
        timeLa_->setHidden(true);
    } else {
        auto app = MVTAppDelegate::sharedAppDelegate();
        timeLa_->setFrame({10, b, 150, 20});
        timeLa_->setText(homework::fill("%@：%@", {localized("发布时间"), app ? app->getDateWith(dateline) : dateline}));
        timeLa_->setHidden(false);
    }

    const std::string complete = textOf(test, "complete");
    if (personLa_) {
        const bool shown = !testCellTextIsEmpty(complete);
        personLa_->setHidden(!shown);
        countLa_->setHidden(!shown);
        if (shown) {
            personLa_->setFrame({W - 60, b, 50, 20});
            countLa_->setFrame({W - 98, b, 50, 20});
            countLa_->setText(complete);
        }
    } else if (completeButton_) {
        const std::string published = textOf(test, "stdCount");
        const std::string text = published == "0" ? localized("未发布")
                                                   : homework::fill(localized("%@个人完成/发布%@人"), {complete, published});
        const double w = std::min(TextMeasure::sizeWithFont(text, Font::systemFontOfSize(12)).width, W);
        // Every fill sets what the button carries: a reused cell keeps nothing of the
        // test it showed before.
        completeButton_->setTitle(text);
        if (published == "0" || complete == "0" || testCellTextIsEmpty(complete)) {
            completeButton_->setAccessibilityHint("");
            completeButton_->setAccessibilityValue("");
        } else {
            completeButton_->setAccessibilityHint(textOf(test, "id"));
            completeButton_->setAccessibilityValue(title);
        }
        completeButton_->setFrame({W - w - 20, b + 4, w + 10, 16});
    }

    const double H = b + 25;
    bgView_->setFrame({0, 0, W, H});
    bgLine_->setFrame({5, H - 0.5, W - 10, 0.5});
    bgLine_->setHidden(last);
    setFrame({0, 0, W, H});
}
