#pragma once

#include "shell/ViewViewController.h"

// The screen that asks a user without a class to join one. Sign-in makes it the window's
// root (marked with setIsLogining) for a teacher or student without a school; other
// screens present it from their join-a-class alert.
class MVTInterClassViewController : public ViewViewController {
public:
    std::string className() const override { return "MVTInterClassViewController"; }
    void viewDidLoad() override;

    // YES when the screen was reached at sign-in rather than opened from a screen.
    bool isLogining() const { return isLogining_; }
    void setIsLogining(bool logining) { isLogining_ = logining; }

private:
    bool isLogining_ = false;
};
