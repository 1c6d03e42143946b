#pragma once

#include "tests/MVTCourseListViewController.h"
#include "tests/MVTSearchTestViewController.h"
#include "tests/MVTStudentTestCell.h"
#include "tests/MVTTestSelectViewController.h"
#include "tests/TestsScreen.h"
#include "shell/EGORefreshTableHeaderView.h"

#include "platform/Values.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

// The test list "测验": the tests the signed-in user sees, one section per course group,
// 15 groups a page, with pull-to-refresh and a footer that loads the next page. Students
// narrow it by grade, subject and teacher (chips above the list); a row opens the answer
// sheet, and for every other role its button opens the completion list. Made plainly and
// presented inside a navigation controller; its back button dismisses that.
class MVTTestCourseViewController : public TestsScreen,
                                    public platform::TableViewDataSource,
                                    public platform::TableViewDelegate,
                                    public MVTTestSelectViewDelegate,
                                    public MVTSearchTestViewDelegate,
                                    public MVTCourseListViewDelegate,
                                    public MVTTeacherTestDelegate,
                                    public EGORefreshTableHeaderDelegate {
public:
    std::string className() const override { return "MVTTestCourseViewController"; }
    static constexpr const char* kPageName = "测验";
    static constexpr const char* kMarkUpside = "markUpside";
    static constexpr double kFilterDelay = 0.1;
    static constexpr double kSearchedOpenDelay = 0.3;
    static constexpr double kEndRefreshDelay = 1.0;

    void viewDidLoad() override;
    void goback();
    void toSelect();
    void toGetSelectData();
    void toSearch();
    // The next page, appended.
    void getCourseData();
    // Page 1, replacing the rows (pull-to-refresh).
    void reloadCourseData();
    void toGetMoreCourseData();
    void toExamWith(const platform::Json& test);
    void createHeadView();
    void initmytableview();
    void reloadTableViewDataSource();
    void doneLoadingTableViewData();

    void getLevel(const platform::Json& level, const platform::Json& subject, const platform::Json& teacher) override;
    void toGotoDidSearchedExamWith(const platform::Json& test) override;
    void updateCompletePerson(const std::string& count) override;
    void showTestCompleteList(platform::Button& button) override;

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;

    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;

    // ---- State, readable by tests and the benchmark.
    const platform::Json& dataArr() const { return dataArr_; }
    const platform::Json& levelDic() const { return levelDic_; }
    const platform::Json& subjectDic() const { return subjectDic_; }
    const platform::Json& teacherDic() const { return teacherDic_; }
    platform::IndexPath selectIndexPath() const { return selectIndexPath_; }
    bool reloading() const { return reloading_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::View> myheadView() const { return myheadView_; }
    std::shared_ptr<platform::Button> moreBtn() const { return footer_.moreBtn; }
    std::shared_ptr<platform::Button> selectButton() const { return selectButton_; }

private:
    void load(bool replace);
    // The tests of a group ("examList"), or none.
    static const platform::Json& testsOf(const platform::Json& group);
    void createSelectBtnWith(const std::string& text, double& x);

    platform::Json dataArr_ = platform::Json::array();
    platform::Json levelDic_;
    platform::Json subjectDic_;
    platform::Json teacherDic_;
    platform::IndexPath selectIndexPath_{0, 0};
    bool reloading_ = false;
    // A refresh or a filter change makes the replies of earlier loads stale.
    int generation_ = 0;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<platform::View> myheadView_;
    quiz::MoreFooter footer_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<platform::Button> selectButton_;
    std::shared_ptr<MVTStudentTestCell> sizingCell_;
};
