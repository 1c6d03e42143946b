#pragma once

#include "notices/NewsListScreen.h"

namespace platform {
class Label;
}

// What the campus news channel list and a channel's article list share: a list loaded
// whole, replaced by each reply that holds rows, "暂无数据" over the screen for a reply
// without rows, and an empty table after a failed first load so it can be pulled again.
class SubscriptionScreen : public NewsListScreen {
public:
    static constexpr double kEndPullDelay = 0.05;

    // initDataArray: loads the list.
    virtual void initDataArray() = 0;
    void reloadTableViewDataSource() override;

    std::shared_ptr<platform::Label> movieInfoLabel() const { return movieInfoLabel_; }

protected:
    void makeInfoLabel();
    // GET `url`; the rows are the reply itself or, with `inList`, its "list".
    void loadRows(const std::string& url, bool inList, bool overlay);

    std::shared_ptr<platform::Label> movieInfoLabel_;
};

// The campus news channels offered to the signed-in user ("校园资讯"); a channel opens its
// articles. Presented in its own navigation controller.
class MVTSubscriptionViewController : public SubscriptionScreen {
public:
    static constexpr double kRowHeight = 60;
    static constexpr const char* kPageName = "校园资讯";

    std::string className() const override { return "MVTSubscriptionViewController"; }
    void viewDidLoad() override;
    void initDataArray() override;
    void goback() override;

    int numberOfRowsInSection(platform::TableView&, int) override { return int(dataArr_.size()); }
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView&, const platform::IndexPath&) override { return kRowHeight; }
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
};
