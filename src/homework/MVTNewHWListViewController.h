#pragma once

#include "homework/HomeworkDelegates.h"
#include "homework/HomeworkScreen.h"
#include "homework/MVTNewHomeworkCell.h"
#include "shell/EGORefreshTableHeaderView.h"

#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

namespace platform {
class Button;
class Label;
class ScrollView;
}  // namespace platform

// The entry of homework: every role's homework, page by page. Students have the tabs
// "全部" and "星标", star rows and filter by teacher; parents filter by teacher; teachers and
// administrators see counts and open the composer. Unread homework carries a red dot, and
// the account's new-homework flag follows what is still unread.
//
// Made plainly and shown inside a navigation controller that the Apps tab presents; its
// back button dismisses that presentation.
class MVTNewHWListViewController : public HomeworkScreen,
                                   public platform::TableViewDataSource,
                                   public platform::TableViewDelegate,
                                   public platform::AlertViewDelegate,
                                   public MVTNHWDetailsViewDelegate,
                                   public MVTNHWSelectViewDelegate,
                                   public MVTNHWAddViewDelegate,
                                   public MVTNewHomeworkCellDelegate,
                                   public EGORefreshTableHeaderDelegate {
public:
    MVTNewHWListViewController();
    ~MVTNewHWListViewController() override;
    std::string className() const override { return "MVTNewHWListViewController"; }

    static constexpr const char* kPageName = "查看作业";
    // Which list is shown; the tabs' buttons carry the same values as tags.
    static constexpr int kAllTab = 6;
    static constexpr int kStarredTab = 3;
    static constexpr int kNoTabs = 0;
    static constexpr const char* kUnreadStudentMarker = "one un read";
    static constexpr const char* kUnreadTeacherMarker = "one have submit";
    static constexpr const char* kMarkUpside = "markUpside";
    static constexpr double kApplyFilterDelay = 0.2;
    static constexpr double kEndRefreshDelay = 0.5;

    void viewDidLoad() override;

    void initTable();
    void creatTableFooter();
    void initSelectView();
    void whichSelectBtn(platform::Button& button);
    void initAddBtn();
    // The next page of the current list (also the footer's action).
    void getNewHomeworkData();
    void doneLoadingTableViewData();
    void toSelectTeacher();
    void toGetSelectNHWData(const platform::Json& teachers);
    void createHeadViewWith(const platform::Json& teachers);
    void showHomeworkInfoWith(int index);
    void toAddNewHomework();
    void goback();

    // ---- Reports of the details screen, the filter, the composer and the rows.
    void didReadHomework() override;
    void didStarOrNotHomeworkWith(bool starred) override;
    void reloadNewHomeworkData() override;
    // Applied 0.2 s later; null or an empty list clears the filter.
    void whichTeacherDidSelectWith(const platform::Json& teachers) override;
    void didAddSuccessWith(const platform::Json& row) override;
    void newHomeworkCellStarClick(platform::Button& button) override;

    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

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

    // ---- State, readable by tests and the benchmark.
    const platform::Json& dataArray() const { return dataArray_; }
    int selectFlag() const { return selectFlag_; }
    const platform::Json& std_all_dataArr() const { return stdAllRows_; }
    int std_all_page() const { return stdAllPage_; }
    bool std_all_more() const { return stdAllMore_; }
    const platform::Json& did_mark_dataArr() const { return starredRows_; }
    int did_mark_page() const { return starredPage_; }
    bool did_mark_more() const { return starredMore_; }
    const std::string& teacherIdStr() const { return teacherIdStr_; }
    int unReadCount() const { return unReadCount_; }
    int interDetailsIndex() const { return interDetailsIndex_; }
    const platform::Json& starDic() const { return starDic_; }
    bool reloading() const { return reloading_; }
    std::shared_ptr<myTableView> myTable() const { return myTable_; }
    std::shared_ptr<platform::Button> moreBtn() const { return moreBtn_; }
    std::shared_ptr<platform::View> nagTopView() const { return nagTopView_; }
    std::shared_ptr<platform::View> selectView() const { return selectView_; }
    std::shared_ptr<platform::View> selectDownLine() const { return selectDownLine_; }
    std::shared_ptr<platform::View> headView() const { return headView_; }
    std::shared_ptr<platform::ScrollView> headScrol() const { return headScrol_; }
    std::shared_ptr<platform::Button> addButton() const { return addBtn_; }
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView() const { return refreshHeaderView_; }

private:
    // What a page or refresh asks for; "page" is filled in by the caller.
    platform::Json listParameters(int page) const;
    // Which tab's rows a reply belongs to (the tab may have changed while it came).
    platform::Json* cacheOf(int flag);
    int* pageOf(int flag);
    bool* moreOf(int flag);
    // Counts a reply's unread rows where this list counts them, and raises the flag.
    void countUnread(const platform::Json& rows, int flag);
    // The footer after a reply of `received` rows.
    void setFooterAfter(std::size_t received);
    void setFooter(const std::string& title, bool reacts);
    void pageLoaded(const platform::Json& reply, int flag);
    void pageFailed(int flag);
    void refreshed(const platform::Json& reply, int flag);
    // Replaces every row with the id in `rows` by `row`; answers how many were replaced.
    static int replaceRowsWithId(platform::Json& rows, const platform::Json& row);
    void scheduleEndOfRefresh();
    void cancelListRequest();

    platform::Json dataArray_ = platform::Json::array();
    int selectFlag_ = kNoTabs;
    platform::Json stdAllRows_ = platform::Json::array();
    int stdAllPage_ = 1;
    bool stdAllMore_ = true;
    platform::Json starredRows_ = platform::Json::array();
    int starredPage_ = 1;
    bool starredMore_ = true;
    std::string teacherIdStr_;
    int unReadCount_ = 0;
    int interDetailsIndex_ = -1;
    platform::Json starDic_;
    bool reloading_ = false;

    std::shared_ptr<platform::View> nagTopView_;
    std::shared_ptr<platform::View> selectView_;
    std::shared_ptr<platform::View> selectDownLine_;
    std::shared_ptr<platform::View> headView_;
    std::shared_ptr<platform::ScrollView> headScrol_;
    std::shared_ptr<myTableView> myTable_;
    std::shared_ptr<platform::Button> moreBtn_;
    std::shared_ptr<platform::Button> addBtn_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    // The cell filled to measure row heights.
    std::shared_ptr<MVTNewHomeworkCell> sizingCell_;
    // The page or refresh in flight: one at a time, so no page is asked twice.
    std::shared_ptr<platform::HttpJsonRequestOperation> pageOperation_;
};
