#pragma once

#include "tests/MXSCycleScrollView.h"

#include <memory>
#include <string>

namespace platform {
class Button;
}

// Told the month and day the user confirmed, each as two digits ("03", "05").
class sureToSelectDayDelegate {
public:
    virtual ~sureToSelectDayDelegate() = default;
    virtual void sureToSelectDay(const std::string& month, const std::string& day) = 0;
};

// A month wheel and a day wheel of the current year over an orange band, and "确定". It
// opens at today's month and day; the day wheel has as many days as the month in the
// month wheel's middle row (made anew whenever the month wheel moves).
class RBCustomDatePickerView : public platform::View,
                               public MXSCycleScrollViewDatasource,
                               public MXSCycleScrollViewDelegate {
public:
    explicit RBCustomDatePickerView(const platform::Rect& frame) : platform::View(frame) {}
    std::string className() const override { return "RBCustomDatePickerView"; }
    // initWithFrame: builds the whole picker.
    static std::shared_ptr<RBCustomDatePickerView> make(const platform::Rect& frame);

    void setDelegate(std::weak_ptr<sureToSelectDayDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<sureToSelectDayDelegate> delegate() const { return delegate_.lock(); }

    int numberOfPages(MXSCycleScrollView& wheel) override;
    std::shared_ptr<platform::View> pageAtIndex(int page, MXSCycleScrollView& wheel) override;
    void scrollviewDidChangeNumber(MXSCycleScrollView& wheel) override;
    void sureSelect();

    // The days of `month` in `year` (60 for a number that is no month).
    static int daysInMonth(int month, int year);
    // fromDateToWeek: the weekday name of a "MMdd" text in the current year.
    static std::string fromDateToWeek(const std::string& monthDay);
    // setNowTimeShow: a part of the current local time (0 year, 1 month, 2 day, 3 hour,
    // 4 minute, 5 second).
    static int setNowTimeShow(int part);

    const std::string& monthString() const { return monthString_; }
    const std::string& dayString() const { return dayString_; }
    std::shared_ptr<MXSCycleScrollView> monthScrollView() const { return monthScrollView_; }
    std::shared_ptr<MXSCycleScrollView> dayScrollView() const { return dayScrollView_; }
    std::shared_ptr<platform::View> timeBroadcastView() const { return timeBroadcastView_; }
    std::shared_ptr<platform::Button> sureButton() const { return sureButton_; }

private:
    void build();
    void setMonthScrollView();
    void setDayScrollView(int currentPage);

    std::weak_ptr<sureToSelectDayDelegate> delegate_;
    std::string monthString_;
    std::string dayString_;
    std::shared_ptr<platform::View> timeBroadcastView_;
    std::shared_ptr<MXSCycleScrollView> monthScrollView_;
    std::shared_ptr<MXSCycleScrollView> dayScrollView_;
    std::shared_ptr<platform::Button> sureButton_;
};
