#pragma once

// What the two lesson lists share: 15 records a page behind a footer that loads the next
// one, pull-to-refresh, a search bar with its own cancel button, and the chips of the
// current filter choices above the table. A list names its request, its rows and what a
// successful reply does besides.

#include "tests/TestsScreen.h"
#include "shell/EGORefreshTableHeaderView.h"

#include "platform/Values.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <optional>
#include <string>

class myTableView;

namespace platform {
class Button;
}

namespace microlists {

constexpr int kPageSize = 15;
constexpr double kFilterDelay = 0.1;
constexpr const char* kPageName = "微课";
constexpr const char* kSearchPageName = "搜索";
// Kinds of lesson handed to the detail screen.
constexpr const char* kSchoolKind = "micro";
constexpr const char* kOpenKind = "global_micro";

}  // namespace microlists

class MVTMicroListScreen : public TestsScreen,
                           public platform::TableViewDataSource,
                           public platform::TableViewDelegate,
                           public platform::SearchBarDelegate,
                           public EGORefreshTableHeaderDelegate {
public:
    // Loads page `currentPage` with the current filters and search.
    void getCourseData();
    // Pull-to-refresh: page 1; the rows stay until it arrives.
    void reloadTableViewDataSource();
    // The footer's button.
    void toGetMoreCourseData();
    // A new filter: the rows go at once, page 1 loads.
    void toGetSelectData();
    // Stores the three choices (a non-dictionary clears one), shows or drops the chips
    // and loads page 1 after a moment.
    void applyFilters(const platform::Json& level, const platform::Json& subject, const platform::Json& third);
    void cancelSearchBar();

    void searchBarTextDidBeginEditing(platform::SearchBar& bar) override;
    void searchBarSearchButtonClicked(platform::SearchBar& bar) override;

    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;

    // ---- State, readable by tests and the benchmark.
    const platform::Json& dataArr() const { return dataArr_; }
    int currentPage() const { return currentPage_; }
    const std::optional<std::string>& searchString() const { return searchString_; }
    bool ishaveSearch() const { return ishaveSearch_; }
    bool reloading() const { return reloading_; }
    const platform::Json& levelDic() const { return levelDic_; }
    const platform::Json& subjectDic() const { return subjectDic_; }
    const platform::Json& teacherDic() const { return teacherDic_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    std::shared_ptr<platform::View> myheadView() const { return myheadView_; }
    std::shared_ptr<platform::Button> moreBtn() const { return footer_.moreBtn; }
    std::shared_ptr<platform::SearchBar> searchBar() const { return searchBar_; }
    std::shared_ptr<platform::Button> cancelButton() const { return cancel_; }

protected:
    // Sends the page's request; nullptr when the network is down.
    virtual std::shared_ptr<platform::HttpJsonRequestOperation> sendListRequest(const platform::Json& parameters,
                                                                                Reply reply, Failure failure) = 0;
    // What every successful reply does besides filling the list.
    virtual void listReplied() {}
    // The third chip's text.
    virtual std::string thirdChipText() const = 0;
    // What tapping a chip does: open the filter picker.
    virtual void chipTapped() = 0;

    // The search bar (placeholder given) in `parent` at its top.
    void initSearchView(platform::View& parent, const std::string& placeholder);
    // The table at (0, top, width, height) with its refresh header; later calls reload it.
    void initmytableview(const platform::Rect& frame);
    // page, limit and the grade, level and subject choices.
    platform::Json pageParameters() const;

    platform::Json dataArr_ = platform::Json::array();
    int currentPage_ = 1;
    std::optional<std::string> searchString_;
    bool ishaveSearch_ = false;
    bool reloading_ = false;
    platform::Json levelDic_;
    platform::Json subjectDic_;
    platform::Json teacherDic_;

private:
    void finishLoad();
    void createFooterView();
    void createHeadView();
    void createSelectBtnWith(const std::string& text, double& x);

    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<platform::View> myheadView_;
    quiz::MoreFooter footer_;
    std::shared_ptr<platform::SearchBar> searchBar_;
    std::shared_ptr<platform::Button> cancel_;
};
