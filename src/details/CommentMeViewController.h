#pragma once

#include "details/ReferMeViewController.h"

// The comments and replies other users made on the signed-in user's items, across the
// modules of the service ("comment/<user>/message/<page>"). It is the mentions list with
// its own page request, rows (CommentMeCell), row height and opening of an item: the
// commented item is fetched and its detail screen pushed without a delegate.
class CommentMeViewController : public ReferMeViewController {
public:
    std::string className() const override { return "CommentMeViewController"; }

    void getData() override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void getDetailFor(int row) override;
};
