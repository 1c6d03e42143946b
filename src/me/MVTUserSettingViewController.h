#pragma once

#include "shell/ViewViewController.h"

// The "Me" tab, root of tab 3.
class MVTUserSettingViewController : public ViewViewController {
public:
    std::string className() const override { return "MVTUserSettingViewController"; }
    void viewDidLoad() override;

    // Redraws the relevant-to-me row when the account's count differs from the one shown.
    void reloadRelativeAndCommentCount();
    // Redraws the table whose header shows level and points.
    void reloadUserLvl();

    int shownRelevantMe() const { return shownRelevantMe_; }
    int reloadUserLvlCount() const { return reloadUserLvlCount_; }

private:
    int shownRelevantMe_ = 0;
    int reloadUserLvlCount_ = 0;
};
