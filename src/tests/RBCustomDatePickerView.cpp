#include "tests/RBCustomDatePickerView.h"

#include "shell/InternationalControl.h"

#include "platform/Clock.h"
#include "platform/Dates.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

#include <cstdio>

using namespace platform;

namespace {

std::string twoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// The local year: a day picked around New Year belongs to the year the user sees.
int pickerYear() { return dateParts(now()).year; }

}  // namespace

std::shared_ptr<RBCustomDatePickerView> RBCustomDatePickerView::make(const Rect& frame) {
    auto picker = std::make_shared<RBCustomDatePickerView>(frame);
    picker->build();
    return picker;
}

int RBCustomDatePickerView::setNowTimeShow(int part) {
    const DateParts parts = dateParts(now());
    switch (part) {
    case 0: return parts.year;
    case 1: return parts.month;
    case 2: return parts.day;
    case 3: return parts.hour;
    case 4: return parts.minute;
    default: return parts.second;
    }
}

void RBCustomDatePickerView::build() {
    timeBroadcastView_ = std::make_shared<View>(Rect(20, 0, 278.5, 190));
    timeBroadcastView_->setBackgroundColor(Color::clear());
    addSubview(timeBroadcastView_);
    auto band = std::make_shared<View>(Rect(0, 75, 278.5, 38));
    band->setBackgroundColor(Color::rgb255(249, 138, 20, 0.5));
    band->setUserInteractionEnabled(false);
    timeBroadcastView_->addSubview(band);

    setMonthScrollView();
    const int day = setNowTimeShow(2);
    dayString_ = twoDigits(day);
    setDayScrollView(day - 3);

    sureButton_ = Button::buttonWithType(ButtonType::Custom);
    sureButton_->setFrame({20, 200, 280, 40});
    sureButton_->setBackgroundColor(Color::rgba(0.38, 0.78, 0.976));
    sureButton_->setTitle(localized("确定"));
    sureButton_->setTitleColor(Color::whiteColor());
    sureButton_->titleLabel()->setFont(Font::boldSystemFontOfSize(16));
    sureButton_->setCornerRadius(4);
    std::weak_ptr<RBCustomDatePickerView> weak = std::static_pointer_cast<RBCustomDatePickerView>(shared_from_this());
    sureButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->sureSelect();
    });
    addSubview(sureButton_);
}

void RBCustomDatePickerView::setMonthScrollView() {
    const int month = setNowTimeShow(1);
    monthString_ = twoDigits(month);
    monthScrollView_ = MXSCycleScrollView::make({30, 0, 100, 190});
    monthScrollView_->setCurrentSelectPage(month - 3);
    auto self = std::static_pointer_cast<RBCustomDatePickerView>(shared_from_this());
    monthScrollView_->setDelegate(std::static_pointer_cast<MXSCycleScrollViewDelegate>(self));
    monthScrollView_->setDataource(std::static_pointer_cast<MXSCycleScrollViewDatasource>(self));
    monthScrollView_->setAfterScrollShowView(*monthScrollView_->scrollView(), 1);
    timeBroadcastView_->addSubview(monthScrollView_);
}

void RBCustomDatePickerView::setDayScrollView(int currentPage) {
    if (dayScrollView_) dayScrollView_->removeFromSuperview();
    dayScrollView_ = MXSCycleScrollView::make({150, 0, 100, 190});
    dayScrollView_->setCurrentSelectPage(currentPage);
    auto self = std::static_pointer_cast<RBCustomDatePickerView>(shared_from_this());
    dayScrollView_->setDelegate(std::static_pointer_cast<MXSCycleScrollViewDelegate>(self));
    dayScrollView_->setDataource(std::static_pointer_cast<MXSCycleScrollViewDatasource>(self));
    dayScrollView_->setAfterScrollShowView(*dayScrollView_->scrollView(), 1);
    timeBroadcastView_->addSubview(dayScrollView_);
}

int RBCustomDatePickerView::daysInMonth(int month, int year) {
    switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
        return 31;
    case 4: case 6: case 9: case 11:
        return 30;
    case 2:
        return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
    default:
        return 60;
    }
}

int RBCustomDatePickerView::numberOfPages(MXSCycleScrollView& wheel) {
    if (&wheel == monthScrollView_.get()) return 12;
    return daysInMonth(static_cast<int>(integerValue(monthString_)), pickerYear());
}

std::shared_ptr<View> RBCustomDatePickerView::pageAtIndex(int page, MXSCycleScrollView& wheel) {
    const Rect bounds = wheel.bounds();
    auto label = std::make_shared<Label>(Rect(0, 0, bounds.width(), bounds.height() / 5));
    label->setTag(page + 1);
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(12));
    label->setTextAlignment(TextAlignment::Center);
    const bool month = &wheel == monthScrollView_.get();
    label->setText(std::to_string(page + 1) + localized(month ? "月" : "日"));
    return label;
}

void RBCustomDatePickerView::scrollviewDidChangeNumber(MXSCycleScrollView& wheel) {
    if (&wheel == monthScrollView_.get()) {
        // The day wheel is made anew with the 30th in the middle; its length follows the
        // month as it stood before this movement, as the month wheel settles it again
        // at the end of every drag.
        dayString_ = "30";
        setDayScrollView(27);
    }
    auto middleTag = [](MXSCycleScrollView& w) {
        const auto& rows = w.scrollView()->subviews();
        return rows.size() > 3 ? rows[3]->tag() : 0;
    };
    monthString_ = twoDigits(middleTag(*monthScrollView_));
    dayString_ = twoDigits(middleTag(*dayScrollView_));
}

void RBCustomDatePickerView::sureSelect() {
    if (auto delegate = delegate_.lock()) delegate->sureToSelectDay(monthString_, dayString_);
}

std::string RBCustomDatePickerView::fromDateToWeek(const std::string& monthDay) {
    if (monthDay.size() < 4) return "";
    const int y = pickerYear();
    const int m = static_cast<int>(integerValue(monthDay.substr(0, 2)));
    const int d = static_cast<int>(integerValue(monthDay.substr(2, 2)));
    const int w = ((26 * m + 26) / 10 + y + d + (y - 1) / 4 - 37) % 7;
    static const char* const kNames[] = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};
    if (w < 0) return "";
    return localized(kNames[w]);
}
