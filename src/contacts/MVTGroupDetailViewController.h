#pragma once

#include "shell/ViewViewController.h"

#include <string>

// The group profile "群资料" pushed from a group chat. For now it shows the group's title
// and ids only; the members, managers and settings come with the contacts screens.
class MVTGroupDetailViewController : public ViewViewController {
public:
    std::string className() const override { return "MVTGroupDetailViewController"; }
    void viewDidLoad() override;

    const std::string& groupId() const { return groupId_; }
    void setGroupId(const std::string& id) { groupId_ = id; }
    const std::string& groupType() const { return groupType_; }
    void setGroupType(const std::string& type) { groupType_ = type; }

private:
    std::string groupId_;
    std::string groupType_;
};
