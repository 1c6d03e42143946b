#pragma once

// The text and picture composer of the home feed's menu.

#include "composer/MVTPostComposerViewController.h"

class AddFeedViewController : public MVTPostComposerViewController {
public:
    std::string className() const override { return "AddFeedViewController"; }
    Kind kind() const override { return Kind::Feed; }
};
