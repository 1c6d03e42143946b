#pragma once

// The mood composer. One mood a day: the day of the last one is kept under "%@FeelingTime".

#include "shell/ViewViewController.h"

#include <string>

class MVTAddFeelingController : public ViewViewController {
public:
    std::string className() const override { return "MVTAddFeelingController"; }

    void init() {}
    void viewDidLoad() override;

    // The defaults key of the user's last mood day.
    static std::string feelingTimeKey(const std::string& userId);
    // The current day, "yyyy-MM-dd" (the first 10 characters of the date text).
    static std::string today();
    // True when the user already sent a mood today.
    static bool sentToday(const std::string& userId);
    // Records today as the user's mood day.
    static void recordToday(const std::string& userId);
};
