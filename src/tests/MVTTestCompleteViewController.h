#pragma once

#include "tests/TestsScreen.h"
#include "shell/EGORefreshTableHeaderView.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

// The students who completed one test, by name; pulled down it loads again. A row opens
// that student's sheet ("teacherToLook").
class MVTTestCompleteViewController : public TestsScreen,
                                      public platform::TableViewDataSource,
                                      public platform::TableViewDelegate,
                                      public EGORefreshTableHeaderDelegate {
public:
    std::string className() const override { return "MVTTestCompleteViewController"; }
    static constexpr double kRowHeight = 45;

    void setExamId(const std::string& id) { examId_ = id; }
    const std::string& examId() const { return examId_; }
    void setTitleStr(const std::string& title) { titleStr_ = title; }
    const std::string& titleStr() const { return titleStr_; }

    void viewDidLoad() override;
    void getCourseData();
    void toExamWith(const std::string& uid);

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;

    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;

    const platform::Json& dataArray() const { return dataArray_; }
    bool reloading() const { return reloading_; }
    std::shared_ptr<myTableView> completeList() const { return completeList_; }

private:
    void endRefresh();

    std::string examId_;
    std::string titleStr_;
    platform::Json dataArray_ = platform::Json::array();
    bool reloading_ = false;
    std::shared_ptr<myTableView> completeList_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    // The load in flight; a newer load drops its reply.
    std::shared_ptr<platform::HttpJsonRequestOperation> loadOperation_;
};
