#pragma once

#include "platform/ui/TableView.h"

// The table of almost every list: clear background, no background view, a hairline
// header from system version 7.0, and no separator lines for plain tables.
class myTableView : public platform::TableView {
public:
    std::string className() const override { return "myTableView"; }
    // initWithFrame:style:
    void initWithFrame(const platform::Rect& frame, platform::TableViewStyle style);
    // initWithFrame: a plain table that keeps the platform's separators.
    void initWithFrame(const platform::Rect& frame);

    static std::shared_ptr<myTableView> make(const platform::Rect& frame, platform::TableViewStyle style);

private:
    void applyLook();
};
