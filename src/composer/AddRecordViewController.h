#pragma once

// The voice post composer of the home feed's menu.

#include "composer/MVTPostComposerViewController.h"

class AddRecordViewController : public MVTPostComposerViewController {
public:
    std::string className() const override { return "AddRecordViewController"; }
    Kind kind() const override { return Kind::Record; }
};
