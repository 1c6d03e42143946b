#pragma once

#include "notices/MVTSubscriptionViewController.h"

// The articles of one campus news channel, titled with its name: picture, title and
// description per row; an article opens its web page with a share button.
class MVTSubscriptionListViewController : public SubscriptionScreen {
public:
    static constexpr double kRowHeight = 100;
    // Tags of a row's views.
    static constexpr int kPictureTag = 1;
    static constexpr int kTitleTag = 2;
    static constexpr int kDescriptionTag = 3;

    std::string className() const override { return "MVTSubscriptionListViewController"; }

    const std::string& titleString() const { return titleString_; }
    void setTitleString(const std::string& title) { titleString_ = title; }
    const std::string& rssId() const { return rssId_; }
    void setRssId(const std::string& id) { rssId_ = id; }

    // A text in one line: every line break and tab removed.
    static std::string oneLine(std::string text);

    void viewDidLoad() override;
    void initDataArray() override;
    void goback() override;

    int numberOfRowsInSection(platform::TableView&, int) override { return int(dataArr_.size()); }
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView&, const platform::IndexPath&) override { return kRowHeight; }
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

private:
    std::string titleString_;
    std::string rssId_;
};
