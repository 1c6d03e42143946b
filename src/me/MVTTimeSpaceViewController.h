#pragma once

#include "shell/ViewViewController.h"

#include "platform/Values.h"

// The personal space page of one user, made with the owner's dictionary {"id", "name",
// "role"}. Pushed when its view's accessibility value is "push" (back pops it), otherwise
// presented as the root of its own navigation stack (back dismisses it). For now it is the
// page titled with the owner's name; the time line comes with the personal space.
class MVTTimeSpaceViewController : public ViewViewController {
public:
    std::string className() const override { return "MVTTimeSpaceViewController"; }
    void viewDidLoad() override;

    const platform::Json& userDict() const { return userDict_; }
    void setUserDict(const platform::Json& user) { userDict_ = user; }
    void goback();

private:
    platform::Json userDict_ = platform::Json::object();
};
