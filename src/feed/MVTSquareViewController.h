#pragma once

#include "shell/ViewViewController.h"

// The school circle, embedded in the home feed screen.
class MVTSquareViewController : public ViewViewController {
public:
    std::string className() const override { return "MVTSquareViewController"; }
    void viewDidLoad() override;

    // Asks the service for new posts of the school circle.
    void getNewData() {}

    // YES while this screen waits for the answer to a post action sheet it asked for.
    bool showAS() const { return showAS_; }
    void setShowAS(bool waiting) { showAS_ = waiting; }

private:
    bool showAS_ = false;
};
