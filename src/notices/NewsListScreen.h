#pragma once

#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/Color.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

namespace platform {
class HttpJsonRequestOperation;
class ProgressHUD;
}  // namespace platform

// What the news channel, article and discussion lists share: a plain table under the
// navigation bar with a pull-to-refresh header above its rows, the loading overlay, the
// back button and the statistics page the screen reports under.
class NewsListScreen : public ViewViewController,
                       public platform::TableViewDataSource,
                       public platform::TableViewDelegate,
                       public EGORefreshTableHeaderDelegate {
public:
    ~NewsListScreen() override;

    // Pull-to-refresh: starts the screen's load again from its first page.
    virtual void reloadTableViewDataSource() = 0;
    // Ends the pull: `_reloading` NO and the header back at rest.
    void doneLoadingTableViewData();
    // showHUDWithBool: YES puts a new overlay over the view (removing an earlier one), NO
    // hides it.
    void showHUDWithBool(bool show);
    virtual void goback() = 0;

    int numberOfSectionsInTableView(platform::TableView&) override { return 1; }
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;

    // ---- State, for tests.
    const platform::Json& dataArr() const { return dataArr_; }
    bool reloading() const { return reloading_; }
    bool requestInFlight() const { return static_cast<bool>(operation_); }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::ProgressHUD> hud() const { return hud_; }

protected:
    // The title, the statistics page and the back button.
    void setUpScreen(const std::string& title, const std::string& pageName);
    void endPageView();
    // Makes the table and its header on first use (the screen's height less the bars, at
    // the top of the view, no separators), else reloads it; the header's date is renewed
    // and the pull ends `endDelay` seconds later.
    void showTable(const platform::Color& background, double endDelay);
    void endPullAfter(double delay);
    // A reused cell cleared of its views, or a new plain one; clear and without highlight.
    static std::shared_ptr<platform::TableViewCell> plainCell(platform::TableView& tableView);
    // The separator picture across a row's bottom.
    static void addSeparator(platform::View& content, double y);

    platform::Json dataArr_ = platform::Json::array();
    bool reloading_ = false;
    std::string pageName_;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    std::shared_ptr<platform::HttpJsonRequestOperation> operation_;
};
