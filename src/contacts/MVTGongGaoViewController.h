#pragma once

// The announcements "群公告" of one group. The group profile makes it once and pushes the
// same screen on every opening.

#include "shell/ViewViewController.h"

#include <string>

class MVTGongGaoViewController : public ViewViewController {
public:
    std::string className() const override { return "MVTGongGaoViewController"; }
    void viewDidLoad() override;

    // The viewer's member type: 1 or more may add, any value but 0 may delete.
    void setUserType(const std::string& type) { userType_ = type; }
    const std::string& userType() const { return userType_; }
    void setForumId(const std::string& id) { forumId_ = id; }
    const std::string& forumId() const { return forumId_; }
    void setFieldId(const std::string& id) { fieldId_ = id; }
    const std::string& fieldId() const { return fieldId_; }
    void goback();

private:
    std::string userType_, forumId_, fieldId_;
};
