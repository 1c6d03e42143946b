#include "tests/MVTStudentCourseCell.h"

#include "homework/HomeworkScreen.h"
#include "shell/InternationalControl.h"

#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/LazyImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

const Color kCellHeaderGrey = Color::white(0.867);
const Color kCellTextGrey = Color::white(0.333);
const Color kCellLineGrey = Color::white(0.882);
const Color kCellFieldGrey = Color::white(0.949);
const Color kCellRightGreen = Color::rgba(0.192, 0.565, 0.106);
const Color kCellWrongOrange = Color::rgba(0.863, 0.365, 0.118);
const Color kCellDarkGreen = Color::rgba(0.212, 0.396, 0.208);
const Color kCellStatisticsBlue = Color::rgba(0.38, 0.78, 0.976);

const char* const kCellKindNames[quiz::kKindCount] = {"单选", "多选", "问答", "填空", "匹配", "判断"};

double cellWidth() { return Screen::mainScreen().bounds().width(); }

// Missing, null, empty or "<null>".
bool cellTextIsAbsent(const Json& value) {
    if (value.is_discarded() || value.is_null()) return true;
    const std::string text = textOf(value);
    return text.empty() || text == "<null>" || text == "(null)";
}

std::shared_ptr<Label> cellLabel(const Rect& frame, const Font& font, const Color& color) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(font);
    label->setTextColor(color);
    return label;
}

std::shared_ptr<View> cellLine(const Rect& frame) {
    auto line = std::make_shared<View>(frame);
    line->setBackgroundColor(kCellLineGrey);
    return line;
}

bool listHoldsText(const Json& list, const std::string& text) {
    for (const auto& entry : list)
        if (textOf(entry) == text) return true;
    return false;
}

}  // namespace

MVTStudentCourseCell::MVTStudentCourseCell() = default;

std::shared_ptr<MVTStudentCourseCell> MVTStudentCourseCell::make(const std::string& reuseIdentifier) {
    auto cell = std::make_shared<MVTStudentCourseCell>();
    cell->initWithStyle(TableViewCellStyle::Default, reuseIdentifier);
    return cell;
}

void MVTStudentCourseCell::initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier) {
    TableViewCell::initWithStyle(style, reuseIdentifier);
    const double width = cellWidth();
    bgView_ = std::make_shared<View>(Rect(5, 5, width - 10, 20));
    bgView_->setBackgroundColor(Color::whiteColor());
    contentView()->addSubview(bgView_);
    numLa_ = cellLabel({0, 0, width - 10, 30}, Font::boldSystemFontOfSize(14), kCellTextGrey);
    numLa_->setBackgroundColor(kCellHeaderGrey);
    numLa_->setTextAlignment(TextAlignment::Left);
    bgView_->addSubview(numLa_);
    type_ = 0;
    sucInt_ = 0;
}

double MVTStudentCourseCell::headerTextWidth() const {
    return TextMeasure::sizeWithFont(numLa_->text(), Font::boldSystemFontOfSize(14)).width;
}

std::shared_ptr<HtmlTextView> MVTStudentCourseCell::makeHtmlView(const Rect& frame, const std::string& prepared,
                                                                 double lineHeight, bool touches, bool* ok) {
    auto view = std::make_shared<HtmlTextView>(frame);
    view->setBackgroundColor(Color::clear());
    view->setDelegate(std::static_pointer_cast<MVTStudentCourseCell>(shared_from_this()));
    view->setUserInteractionEnabled(touches);
    view->setHtml(prepared, quiz::questionOptions(imageMaxW_, lineHeight));
    const double height = view->contentHeightForWidth(frame.width());
    if (ok) *ok = height > 0;
    if (height > 0) {
        view->setContentInsets({});
        view->setFrame({frame.x(), frame.y(), frame.width(), height});
    }
    // The pictures (and blanks) are asked for now, while imageMaxW is this text's width.
    view->layoutIfNeeded();
    return view;
}

void MVTStudentCourseCell::reloadWith(const Json& question, int row) {
    const double W = cellWidth();
    auto content = contentView();
    content->setTag(row);
    content->setAccessibilityHint(textOf(question, "id"));
    type_ = intValue(textOf(question, "questionType"));
    const bool knownKind = type_ >= 0 && type_ < quiz::kKindCount;

    numLa_->setText(homework::fill(localized(" %d. %@题"),
                                  {std::to_string(row + 1), knownKind ? localized(kCellKindNames[type_]) : ""}));

    bool picture = false;
    if (textOf(question, "fileType") == "image") {
        auto button = addFileBtnWith(textOf(question, "resourceModuleId"), kBlankPictureName);
        button->setFrame({headerTextWidth() + 5, -5, kPictureButtonSize, kPictureButtonSize});
        bgView_->addSubview(button);
        picture = true;
    }

    const bool student = userRole_ == "student";
    const char* storedKey = student ? "stdAnswer" : "answer";
    int verdict = 0;
    if (question.is_object() && question.contains(storedKey)) {
        didSubmit_ = true;
        verdict = intValue(textOf(question, "success"));
        if (student) showSuccessOrFailedWith(verdict != 0, row, type_, picture);
        studentAnswerArr_ = quiz::answerList(type_, question[storedKey]);
    } else {
        didSubmit_ = false;
    }
    const bool right = verdict != 0;
    teacherAnswerArr_ = quiz::answerList(type_, valueFor(question, "answer"));

    double y = 30;
    const Json& text = type_ == quiz::kSingle || type_ == quiz::kMultiple || type_ == quiz::kMatching
                           ? valueFor(question, "questionTitle")
                           : (type_ == quiz::kFree || type_ == quiz::kTrueFalse ? valueFor(question, "options")
                                                                              : Json(nullptr));
    if (knownKind && type_ != quiz::kFillIn && !cellTextIsAbsent(text)) {
        imageMaxW_ = W - 20;
        bool ok = false;
        auto view = makeHtmlView({5, 35, W - 20, 20}, quiz::replaceStringWith(textOf(text)), 1.1, false, &ok);
        bgView_->addSubview(view);
        y = ok ? 35 + view->frame().height() + 5 : 35;
        bgView_->addSubview(cellLine({0, y, W - 10, 0.6}));
    }

    switch (type_) {
    case quiz::kSingle:
    case quiz::kMultiple:
        y = layoutChoices(y, question);
        break;
    case quiz::kFree:
        y = layoutFreeAnswer(y);
        break;
    case quiz::kFillIn:
        fieldQusStr_ = quiz::hideImageSources(quiz::replaceStringWith(textOf(question, "questionTitle")));
        y = setNewFieldViewWith(y + 5, fieldQusStr_, teacherAnswerArr_);
        break;
    case quiz::kMatching:
        y = layoutMatching(y, question);
        break;
    case quiz::kTrueFalse:
        y = layoutTrueFalse(y);
        break;
    default:
        break;
    }

    if (!student && type_ != quiz::kFree && question.is_object() && question.contains("faultCount") &&
        question.contains("correctPercent")) {
        const std::string percent = textOf(question, "correctPercent");
        const std::string faults = textOf(question, "faultCount");
        statisticsLabel_ = cellLabel({5, y, W - 20, 20}, Font::systemFontOfSize(14), kCellStatisticsBlue);
        statisticsLabel_->setText(percent == "0%" && intValue(faults) == 0
                                      ? std::string("暂无答题统计")
                                      : homework::fill("正确率: %@ 错误人数: %@人", {percent, faults}));
        bgView_->addSubview(statisticsLabel_);
        y += 25;
    }

    if (didSubmit_) {
        const Json& analysis = valueFor(question, "analysis");
        if (cellTextIsAbsent(analysis)) {
            if (!right) y = showAnalysis("", y, false);
        } else {
            y = showAnalysis(homework::fill("%@：%@", {localized("解析"), textOf(analysis)}), y, right);
        }
    }

    bgView_->setFrame({5, 5, W - 10, y});
    setFrame({0, 0, W, y + 5});
}

void MVTStudentCourseCell::showSuccessOrFailedWith(bool right, int, int, bool picture) {
    const double x = headerTextWidth() + 10 + (picture ? kPictureButtonSize : 0);
    resultLabel_ = cellLabel({x, 0, 200, 30}, Font::boldSystemFontOfSize(14), right ? kCellRightGreen : kCellWrongOrange);
    const char* word = right ? (type_ == quiz::kFree ? "合理即可" : "正确") : "错误";
    resultLabel_->setText(homework::fill("[%@]", {localized(word)}));
    bgView_->addSubview(resultLabel_);
}

std::shared_ptr<Button> MVTStudentCourseCell::addFileBtnWith(const std::string& resourceId, const std::string& fileName) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({0, 0, kPictureButtonSize, kPictureButtonSize});
    button->setImage(Image::imageNamed("picture.png"));
    button->setImageEdgeInsets({5, 5, 5, 5});
    button->setBackgroundColor(Color::clear());
    button->setTitle(fileName);
    button->setTitleColor(Color::clear());
    button->setAccessibilityHint(resourceId);
    std::weak_ptr<MVTStudentCourseCell> weak = std::static_pointer_cast<MVTStudentCourseCell>(shared_from_this());
    button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->toDownLoadOrShowFileImage(static_cast<Button&>(control));
    });
    return button;
}

void MVTStudentCourseCell::toDownLoadOrShowFileImage(Button& button) {
    if (auto delegate = this->delegate()) delegate->toShowFileImageWith(button.accessibilityHint(), button.currentTitle());
}

double MVTStudentCourseCell::layoutChoices(double y, const Json& question) {
    const double W = cellWidth();
    allBtnArr_.clear();
    y += 5;
    const Json& options = valueFor(question, "options");
    if (!options.is_array()) return y;
    std::weak_ptr<MVTStudentCourseCell> weak = std::static_pointer_cast<MVTStudentCourseCell>(shared_from_this());
    const bool multiple = type_ == quiz::kMultiple;
    for (std::size_t i = 0; i < options.size(); ++i) {
        imageMaxW_ = W - 65;
        bool ok = false;
        auto text = makeHtmlView({50, 0, W - 65, 30}, quiz::replaceStringWith(textOf(options[i], "text")), 1.1, false, &ok);
        const double textHeight = ok ? text->frame().height() : 30;
        const double h = textHeight > 30 ? textHeight : 30;
        if (textHeight <= 30) text->setFrame({50, (30 - textHeight) / 2, W - 65, textHeight});
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({0, y, W - 10, h});
        button->setBackgroundColor(Color::clear());
        button->setTag(int(i));
        button->setImage(Image::imageNamed(multiple ? "un_more.png" : "un_one.png"));
        button->setImage(Image::imageNamed(multiple ? "un_more_h.png" : "un_one_h.png"), ControlStateHighlighted);
        button->setImage(Image::imageNamed(multiple ? "did_more.png" : "did_one.png"), ControlStateSelected);
        button->setImageEdgeInsets({(h - 20) / 2, 5, (h - 20) / 2, W - 10 - 30});
        button->setSelected(false);
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toSelectBtn(static_cast<Button&>(control));
        });
        auto letter = cellLabel({30, 0, 20, h}, Font::boldSystemFontOfSize(14), kCellDarkGreen);
        letter->setText(quiz::optionLetter(i));
        letter->setUserInteractionEnabled(false);
        button->addSubview(letter);
        button->addSubview(text);
        bgView_->addSubview(button);
        bgView_->addSubview(cellLine({30, y + h, W - 45, 0.5}));
        y = y + h + 5;
        if (didSubmit_) {
            button->setSelected(listHoldsText(studentAnswerArr_, std::to_string(i)));
            button->setUserInteractionEnabled(false);
        }
        allBtnArr_.push_back(button);
    }
    return y;
}

double MVTStudentCourseCell::layoutFreeAnswer(double y) {
    const double W = cellWidth();
    if (!answerTextView_) {
        answerTextView_ = std::make_shared<TextView>(Rect(5, y + 5, W - 20, 100));
        answerTextView_->setTextColor(kCellTextGrey);
        answerTextView_->setFont(Font::fontWithName("Helvetica", 18));
        answerTextView_->setBackgroundColor(kCellFieldGrey);
        answerTextView_->setReturnKeyType(ReturnKeyType::Default);
        answerTextView_->setDelegate(std::static_pointer_cast<MVTStudentCourseCell>(shared_from_this()));
    }
    answerTextView_->setFrame({5, y + 5, W - 20, 100});
    if (didSubmit_ && !studentAnswerArr_.empty()) {
        answerTextView_->setText(textOf(studentAnswerArr_[0]));
        answerTextView_->setEditable(false);
    }
    bgView_->addSubview(answerTextView_);
    return y + 110;
}

double MVTStudentCourseCell::layoutMatching(double y, const Json& question) {
    const double W = cellWidth();
    imageMaxW_ = W / 2 - 25;
    const Json& left = valueFor(question, "options");
    const Json leftEntries = left.is_array() ? left : Json::array();
    const Json& rightEntries = didSubmit_ ? studentAnswerArr_ : teacherAnswerArr_;
    std::vector<std::shared_ptr<HtmlTextView>> leftViews, rightViews;
    double m = 40;
    auto render = [&](const Json& entry) {
        bool ok = false;
        auto view = makeHtmlView({0, 0, imageMaxW_, 20}, quiz::replaceStringWith(textOf(entry, "text")), 1.1, false, &ok);
        m = std::max(m, view->frame().height());
        return view;
    };
    for (const auto& entry : leftEntries) leftViews.push_back(render(entry));
    for (const auto& entry : rightEntries) rightViews.push_back(render(entry));

    const int itemHeight = m == 40 ? 40 : int(std::lround(m));
    if (!liteSelectView_) {
        liteSelectView_ = MVTItemChangeView::make(
            {W / 2 + 5, y, W / 2 - 15, double(teacherAnswerArr_.size()) * (itemHeight + 5)});
        liteSelectView_->setTag(itemHeight);
        liteSelectView_->setSelectDelegate(std::static_pointer_cast<MVTStudentCourseCell>(shared_from_this()));
    }
    std::vector<std::shared_ptr<View>> contents(rightViews.begin(), rightViews.end());
    if (didSubmit_) {
        liteSelectView_->reloadDataWith(studentAnswerArr_, int(y), true, contents);
    } else {
        auto hint = cellLabel({headerTextWidth() + 10, 0, 160, 30}, Font::boldSystemFontOfSize(14), kCellRightGreen);
        hint->setText(homework::fill("[%@]", {localized("拖动右侧")}));
        bgView_->addSubview(hint);
        liteSelectView_->reloadDataWith(teacherAnswerArr_, int(y), false, contents);
    }

    y += 5;
    for (std::size_t i = 0; i < leftViews.size(); ++i) {
        auto value = cellLabel({5, y, 165, m}, Font::systemFontOfSize(14), kCellDarkGreen);
        value->setText(textOf(leftEntries[i], "value"));
        bgView_->addSubview(value);
        auto box = std::make_shared<View>(Rect(15, y, W / 2 - 25, m));
        box->setBackgroundColor(kCellFieldGrey);
        box->setCornerRadius(2);
        box->setBorderWidth(0.6);
        box->setBorderColor(Color::lightGray());
        const double h = leftViews[i]->frame().height();
        leftViews[i]->setFrame({5, (m - h) / 2, leftViews[i]->frame().width(), h});
        box->addSubview(leftViews[i]);
        bgView_->addSubview(box);
        auto pair = cellLabel({15 + W / 2 - 25, y, 20, m}, Font::systemFontOfSize(14), kCellDarkGreen);
        pair->setTextAlignment(TextAlignment::Center);
        pair->setText(localized("配"));
        bgView_->addSubview(pair);
        y = y + m + 5;
    }
    bgView_->addSubview(liteSelectView_);
    return y + 5;
}

double MVTStudentCourseCell::layoutTrueFalse(double y) {
    allBtnArr_.clear();
    std::weak_ptr<MVTStudentCourseCell> weak = std::static_pointer_cast<MVTStudentCourseCell>(shared_from_this());
    const std::pair<const char*, int> choices[] = {{"正确", 1}, {"错误", 0}};
    for (int i = 0; i < 2; ++i) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({5 + 85.0 * i, y + 5, 80, 30});
        button->setTag(choices[i].second);
        button->setTitle(localized(choices[i].first));
        button->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
        button->setTitleColor(kCellDarkGreen);
        button->setImage(Image::imageNamed("un_one.png"));
        button->setImage(Image::imageNamed("did_one.png"), ControlStateSelected);
        button->setImageEdgeInsets({5, 5, 5, 50});
        button->setSelected(false);
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toSelectBtn(static_cast<Button&>(control));
        });
        bgView_->addSubview(button);
        bgView_->addSubview(cellLine({30 + 85.0 * i, y + 35, 50, 0.5}));
        if (didSubmit_) {
            button->setSelected(listHoldsText(studentAnswerArr_, std::to_string(choices[i].second)));
            button->setUserInteractionEnabled(false);
        }
        allBtnArr_.push_back(button);
    }
    return y + 40;
}
