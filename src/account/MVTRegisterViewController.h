#pragma once

#include "shell/ViewViewController.h"

#include <string>

// Registration, step 1: opened by the login screen for the chosen role.
class MVTRegisterViewController : public ViewViewController {
public:
    std::string className() const override { return "MVTRegisterViewController"; }
    void viewDidLoad() override;

    // "teacher", "student" or "parent".
    const std::string& registerRole() const { return registerRole_; }
    void setRegisterRole(const std::string& role) { registerRole_ = role; }

private:
    std::string registerRole_;
};
