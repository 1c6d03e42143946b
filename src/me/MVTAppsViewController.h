#pragma once

#include "shell/ViewViewController.h"

// The Apps grid, root of tab 2.
class MVTAppsViewController : public ViewViewController {
public:
    std::string className() const override { return "MVTAppsViewController"; }
    void viewDidLoad() override;

    // Redraws the grid; its red dots follow the account's new-item flags.
    void reloadView();
    int reloadViewCount() const { return reloadViewCount_; }

private:
    int reloadViewCount_ = 0;
};
