#pragma once

#include "shell/ViewViewController.h"

// The contacts screen, root of tab 4.
class MVTContactViewController : public ViewViewController {
public:
    std::string className() const override { return "MVTContactViewController"; }
    void viewDidLoad() override;
};
