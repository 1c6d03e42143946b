#pragma once

// The praise other users gave to the user's items (posts, course material, messages,
// notices), page by page as the service sends them: who praised what and when, with a
// small picture of the item; a row opens the item on the detail screen. It is the
// mentions list with its own page request, rows, row height and opening of an item.

#include "details/ReferMeViewController.h"

#include <memory>
#include <string>

class PraiseMeViewController : public ReferMeViewController {
public:
    std::string className() const override { return "PraiseMeViewController"; }
    static constexpr double kRowHeight = 85;

    void getData() override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void getDetailFor(int row) override;
};
