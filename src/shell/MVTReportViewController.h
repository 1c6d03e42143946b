#pragma once

#include "shell/MVTExplainViewController.h"

#include <string>

// The remote report page: a page screen whose web view offers the page the object
// "serverinfo", so that the page's script can close it (serverinfo.goBack()).
class MVTReportViewController : public MVTExplainViewController {
public:
    std::string className() const override { return "MVTReportViewController"; }

    // A bridge web view below the top bar loading the complete report page address,
    // percent-escaped as UTF-8 (an escape already in it stays as it is), with "serverinfo"
    // offered to its scripts.
    void loadRegister(const std::string& address);
};
