#include "me/MVTNewSettingCell.h"

#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"

using namespace platform;

MVTNewSettingCell::MVTNewSettingCell(TableViewCellStyle style, const std::string& reuseIdentifier)
    : TableViewCell(style, reuseIdentifier) {
    setBackgroundColor(Color::clear());
    auto box = std::make_shared<View>(Rect(0, 1, 305, 42));
    box->setBackgroundColor(Color::whiteColor());
    box->setBorderWidth(0.5);
    box->setBorderColor(Color::rgb255(225, 225, 225));
    box->setCornerRadius(2);
    contentView()->addSubview(box);
    titleLa_ = std::make_shared<Label>(Rect(10, 10, 150, 24));
    titleLa_->setBackgroundColor(Color::clear());
    titleLa_->setTextColor(Color::darkGray());
    titleLa_->setFont(Font::fontWithName("Helvetica", 16));
    contentView()->addSubview(titleLa_);
    detalsLa_ = std::make_shared<Label>(Rect(215, 10, 80, 24));
    detalsLa_->setBackgroundColor(Color::clear());
    detalsLa_->setTextColor(Color::darkGray());
    detalsLa_->setFont(Font::fontWithName("Helvetica", 14));
    detalsLa_->setTextAlignment(TextAlignment::Right);
    detalsLa_->setHidden(true);
    contentView()->addSubview(detalsLa_);
    switchBtn_ = std::make_shared<Switch>(Rect(235, 7, 60, 34));
    switchBtn_->setOn(true);
    switchBtn_->addTarget(ControlEventValueChanged, [this](Control&) { toChangeWith(); });
    contentView()->addSubview(switchBtn_);
}

void MVTNewSettingCell::reloadDetalsDataWith(bool on, int kind, const std::string& title, const std::string& detail) {
    const bool detailRow = kind == kDetailKind;
    switchBtn_->setHidden(detailRow);
    detalsLa_->setHidden(!detailRow);
    switchBtn_->setOn(on);
    titleLa_->setText(title);
    detalsLa_->setText(detail);
}

void MVTNewSettingCell::toChangeWith() {
    if (auto delegate = delegate_.lock()) delegate->openOrCloseWith(switchBtn_->isOn(), tag());
}
