#include "homework/MVTNewHomeworkCell.h"

#include "homework/HomeworkScreen.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {

constexpr double kCellTextTop = 5;
constexpr double kCellMinimumTextHeight = 20;

double cellScreenWidth() { return Screen::mainScreen().bounds().width(); }

// The text label's width: narrower for students, whose rows carry the star.
double cellContentWidth() { return homework::currentRole() == "student" ? cellScreenWidth() - 64 : cellScreenWidth() - 40; }

}  // namespace

MVTNewHomeworkCell::MVTNewHomeworkCell() = default;

std::shared_ptr<MVTNewHomeworkCell> MVTNewHomeworkCell::make() {
    auto cell = std::make_shared<MVTNewHomeworkCell>();
    cell->initWithStyle(TableViewCellStyle::Default, kReuseIdentifier);
    return cell;
}

void MVTNewHomeworkCell::initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier) {
    TableViewCell::initWithStyle(style, reuseIdentifier);
    const double width = cellScreenWidth();
    auto content = contentView();

    dianView_ = std::make_shared<View>(Rect(6, 11, 8, 8));
    dianView_->setBackgroundColor(Color::red());
    dianView_->setCornerRadius(4.1);
    dianView_->setHidden(true);
    content->addSubview(dianView_);

    contentLa_ = std::make_shared<Label>(Rect(15, kCellTextTop, cellContentWidth(), kCellMinimumTextHeight));
    contentLa_->setFont(Font::systemFontOfSize(14));
    contentLa_->setTextColor(homework::kTextGrey);
    contentLa_->setTextAlignment(TextAlignment::Left);
    contentLa_->setNumberOfLines(0);
    contentLa_->setLineBreakMode(LineBreakMode::WordWrap);
    contentLa_->setBackgroundColor(Color::clear());
    content->addSubview(contentLa_);

    timeLa_ = std::make_shared<Label>(Rect(15, 30, 150, 20));
    timeLa_->setFont(Font::systemFontOfSize(12));
    timeLa_->setTextColor(Color::lightGray());
    timeLa_->setBackgroundColor(Color::clear());
    content->addSubview(timeLa_);

    subCountLa_ = std::make_shared<Label>(Rect(width - 215, 30, 200, 20));
    subCountLa_->setFont(Font::systemFontOfSize(12));
    subCountLa_->setTextColor(Color::lightGray());
    subCountLa_->setTextAlignment(TextAlignment::Right);
    subCountLa_->setBackgroundColor(Color::clear());
    content->addSubview(subCountLa_);

    starBtn_ = Button::buttonWithType(ButtonType::Custom);
    starBtn_->setFrame({width - 44, 0, 44, 44});
    starBtn_->setImage(Image::imageNamed("collect.png"));
    starBtn_->setImage(Image::imageNamed("collected.png"), ControlStateSelected);
    starBtn_->setImageEdgeInsets({14, 14, 14, 14});
    std::weak_ptr<View> weak = weak_from_this();
    starBtn_->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        auto self = std::static_pointer_cast<MVTNewHomeworkCell>(weak.lock());
        if (self) self->toMarkStarWith(static_cast<Button&>(control));
    });
    starBtn_->setSelected(false);
    starBtn_->setHidden(true);
    content->addSubview(starBtn_);

    if (homework::currentRole() != "student") {
        arrow_ = std::make_shared<ImageView>(Rect(width - 22, 10, 6.5, 10));
        arrow_->setImage(Image::imageNamed("nhw_jian.png"));
        content->addSubview(arrow_);
    }

    line_ = std::make_shared<ImageView>(Rect(15, 44.5, width - 30, 0.5));
    line_->setImage(Image::imageNamed("line1.png"));
    content->addSubview(line_);
}

void MVTNewHomeworkCell::reloadDataWith(const Json& row, int index) {
    const std::string role = homework::currentRole();
    const double width = cellScreenWidth();

    dianView_->setHidden(false);
    if (role == "parent" || (row.contains("readed") && homework::readsTrue(row["readed"]))) dianView_->setHidden(true);

    contentLa_->setText("");
    timeLa_->setText("");
    subCountLa_->setText("");
    starBtn_->setHidden(true);

    const double textWidth = cellContentWidth();
    contentLa_->setFrame({15, kCellTextTop, textWidth, kCellMinimumTextHeight});
    if (row.contains("content")) {
        std::string text = trimmed(textOf(row, "content"));
        if (text.empty()) text = homework::fill("[%@]", {localized("附件")});
        contentLa_->setText(text);
    }
    const Size fitted = contentLa_->sizeThatFits({textWidth, 0});
    contentLa_->setFrame({15, kCellTextTop, fitted.width, fitted.height});
    if (fitted.height < kCellMinimumTextHeight) contentLa_->setFrame({15, kCellTextTop, textWidth, kCellMinimumTextHeight});

    const double y = contentLa_->frame().height() + 5;
    timeLa_->setFrame({15, y, 150, 20});
    if (row.contains("dateline")) timeLa_->setText(MVTAppDelegate::sharedAppDelegate()->getDateWith(textOf(row, "dateline")));

    subCountLa_->setFrame({width - 215, y, 200, 20});
    if (row.contains("stdCount") && homework::wholeNumber(row["stdCount"]) != 0)
        subCountLa_->setText(homework::fill(localized("发布%@人"), {textOf(row, "stdCount")}));
    if (row.contains("submitCount") && homework::wholeNumber(row["submitCount"]) != 0) {
        const std::string handedIn = homework::fill(localized("%@人提交"), {textOf(row, "submitCount")});
        subCountLa_->setText(subCountLa_->text().empty() ? handedIn
                                                         : homework::fill("%@/%@", {handedIn, subCountLa_->text()}));
    }

    if (row.contains("star")) {
        subCountLa_->setText("");
        if (role == "student") {
            starBtn_->setHidden(false);
            starBtn_->setTag(index);
            starBtn_->setAccessibilityValue(textOf(row, "id"));
            starBtn_->setSelected(homework::wholeNumber(row["star"]) != 0);
        }
    }

    const double height = y + 20;
    if (!starBtn_->isHidden()) starBtn_->setFrame({width - 44, (height - 44) / 2, 44, 44});
    setFrame({0, 0, width, height});
    line_->setFrame({15, height - 0.5, width - 30, 0.5});
}

void MVTNewHomeworkCell::toMarkStarWith(Button& button) {
    if (auto delegate = delegate_.lock()) delegate->newHomeworkCellStarClick(button);
}
