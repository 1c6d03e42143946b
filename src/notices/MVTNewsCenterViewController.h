#pragma once

#include "homework/HomeworkDelegates.h"
#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

namespace platform {
class HttpJsonRequestOperation;
class NavigationController;
class ProgressHUD;
}  // namespace platform

// The course notification centre: the signed-in user's course events (homework published
// or handed in, quizzes published or handed in, lessons published), ten to a page. A row
// names its event in one sentence by type and the viewer's role, shows the title, an icon
// by type and a red dot while unread. Homework rows open the hand-ins (teachers and
// administrators) or the homework, lesson rows the lesson; a swipe removes the event.
//
// The messages tab presents it as the root of its own navigation controller.
class MVTNewsCenterViewController : public ViewViewController,
                                   public platform::TableViewDataSource,
                                   public platform::TableViewDelegate,
                                   public EGORefreshTableHeaderDelegate,
                                   public MVTNHWDetailsViewDelegate {
public:
    static constexpr int kPageSize = 10;
    static constexpr double kRowHeight = 60;
    static constexpr double kRemoveTimeout = 30;
    static constexpr double kEndLoadingDelay = 0.1;
    // Tags of a row's views.
    static constexpr int kIconTag = 1;
    static constexpr int kDotTag = 2;
    static constexpr int kSentenceTag = 3;
    static constexpr int kTitleTag = 4;

    MVTNewsCenterViewController();
    ~MVTNewsCenterViewController() override;
    std::string className() const override { return "MVTNewsCenterViewController"; }

    // The first line of an event row for a viewer of `role` in `language`.
    static std::string sentenceFor(const platform::Json& row, const std::string& role, const std::string& language);
    // The icon of an event type; empty for a type without one.
    static std::string iconNameFor(const std::string& type);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    void initTitleView();
    void goback();
    void initmytableview();
    void showHUDWithBool(bool show);
    void netGetData();
    void deleteNews(int index);
    void reloadTableViewDataSource();
    void doneLoadingTableViewData();

    // ---- The homework details screen's reports.
    void didStarOrNotHomeworkWith(bool starred) override;
    void didReadHomework() override {}
    void reloadNewHomeworkData() override {}

    // ---- Table, scroll and pull-down.
    int numberOfSectionsInTableView(platform::TableView&) override { return 1; }
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView&, const platform::IndexPath&) override { return kRowHeight; }
    void willDisplayCell(platform::TableView& tableView, platform::TableViewCell& cell,
                         const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    bool canEditRowAtIndexPath(platform::TableView&, const platform::IndexPath&) override { return true; }
    void commitEditingStyle(platform::TableView& tableView, platform::TableViewCellEditingStyle style,
                            const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;

    // ---- State, for tests and the benchmark.
    const platform::Json& dataArray() const { return dataArray_; }
    int currentPage() const { return currentPage_; }
    bool isHaveMore() const { return isHaveMore_; }
    bool isLoading() const { return isLoading_; }
    bool reloading() const { return reloading_; }
    int didSelectedIndex() const { return didSelectedIndex_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }

private:
    void pageArrived(const platform::Json& rows);
    void loadEnded();
    void removeDeletedRow(const platform::Json& row, int index);
    // Pushes the lesson detail of a lesson event; false while no lesson screen is built in.
    bool openLesson(platform::NavigationController& navigation, const std::string& movieId);

    platform::Json dataArray_ = platform::Json::array();
    int currentPage_ = 1;
    bool isHaveMore_ = false;
    bool isLoading_ = false;
    bool reloading_ = false;
    int didSelectedIndex_ = -1;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    std::shared_ptr<platform::HttpJsonRequestOperation> listOperation_;
};
