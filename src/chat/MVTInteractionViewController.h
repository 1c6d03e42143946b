#pragma once

#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"

// The message centre, root of tab 1: the list of conversations.
class MVTInteractionViewController : public ViewViewController {
public:
    MVTInteractionViewController();
    ~MVTInteractionViewController() override;
    std::string className() const override { return "MVTInteractionViewController"; }
    void viewDidLoad() override;

    // Scrolls to the top and loads the first page from the service.
    void getNewData();
    // Redraws the list from the data it holds, without a request.
    void reloadTable();

    int getNewDataCount() const { return getNewDataCount_; }
    int reloadTableCount() const { return reloadTableCount_; }

private:
    platform::ObserverToken chatReadedToken_;
    int getNewDataCount_ = 0;
    int reloadTableCount_ = 0;
};
