#pragma once

#include "shell/ViewViewController.h"

// The list of reactions to the user (mentions, comments and praise of the user's posts),
// opened from the home feed's relevant-to-me bar as the root of its own navigation stack.
// For now it is the titled screen with its back button; the list comes with the reactions.
class MVTRelevantMeViewController : public ViewViewController {
public:
    std::string className() const override { return "MVTRelevantMeViewController"; }
    void viewDidLoad() override;
    // Back: closes the screen.
    void goback();
};
