#pragma once

#include "details/MVTDetailsViewController.h"
#include "shell/EGORefreshTableHeaderView.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/Timer.h"
#include "platform/UrlRequest.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class Button;
class Label;
class View;
}  // namespace platform

class myTableView;

// The items in which other users mention the signed-in user, page by page from the
// service ("relative/<user>/message/<page>", pages numbered from 1). A row opens its item
// on the detail screen (fetched first), praises it, plays its voice through the shared
// player and opens the author's space. Pages of 14 items or fewer are the last; a failed
// page keeps its number, so the retry of the more row asks for it again.
//
// The other reaction lists (comments on the user's items, praise of them) derive from this
// screen and replace four operations: `getData` (the page request), the item row, its
// height and `getDetailFor` (opening an item). Everything else they inherit, and the
// protected helpers below give them the shared handling of a page reply, a failed page,
// the more row and the detail request.
//
// The screen is presented inside its own navigation controller: its back button dismisses
// it, and it pushes the detail screen and the personal space onto that stack.
class ReferMeViewController : public ViewViewController,
                              public platform::TableViewDataSource,
                              public platform::TableViewDelegate,
                              public EGORefreshTableHeaderDelegate,
                              public platform::AlertViewDelegate,
                              public MVTDetailsViewControllerDelegate {
public:
    ReferMeViewController();
    ~ReferMeViewController() override;
    std::string className() const override { return "ReferMeViewController"; }

    static constexpr const char* kItemIdentifier = "cellIdentifier";
    static constexpr const char* kMoreIdentifier = "cell";
    static constexpr int kMoreViewTag = 100;
    static constexpr double kMoreRowHeight = 40;
    // A page of this many items or fewer is the last one.
    static constexpr int kLastPageSize = 14;
    static constexpr double kDetailTimeout = 10;
    // The "暂无数据" label of an empty first page.
    static constexpr int kNoDataLabelTag = 4040;

    // The localized name of a module code ("feed" -> "动态", "course_quiz" -> "课程习题");
    // empty for a code without a name.
    static std::string moduleNameFor(const std::string& module);

    // ---- Lifecycle
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void back();

    // ---- The four operations the derived lists replace
    // Requests page `currentpage`.
    virtual void getData();
    // The row of an item (below the item count) or the more row.
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    // Fetches the item of a row and pushes its detail screen.
    virtual void getDetailFor(int row);

    // ---- Table and paging
    void initmytable();
    std::shared_ptr<platform::View> moreView();
    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    void willDisplayCell(platform::TableView& tableView, platform::TableViewCell& cell,
                         const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool decelerate) override;
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    void reloadTableViewDataSource();
    void doneLoadingTableViewData();
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    // ---- Detail screen answers
    void reloadOneCell() override;
    void deleteOneCell(int row) override;

    // ---- Row taps (CellDelegate)
    void sendPraiseWith(platform::Button& praiseButton) override;
    void chooseNamed(const platform::Json& user) override;
    void toDownLoadAudioWith(const std::string& resourceId, int row) override;
    void didDownloadAudio(const std::string& resourceId, const std::string& outcome);
    void playRecord(const std::optional<std::string>& resourceId, int row) override;
    void reloadCell();
    void tostop();
    void playAgain();

    // ---- State, for the derived lists and the tests
    const std::vector<std::shared_ptr<platform::Json>>& dataArray() const { return dataArray_; }
    std::shared_ptr<platform::Json> selectdict() const { return selectdict_; }
    int selectedRow() const { return selectedRow_; }
    int currentpage() const { return currentpage_; }
    bool isMoring() const { return isMoring_; }
    bool isloading() const { return isloading_; }
    bool isReloading() const { return reloading_; }
    bool failed() const { return failed_; }
    bool downloading() const { return downloading_; }
    bool isPlaying() const { return playerTimer_ != nullptr; }
    const std::string& vedioStr() const { return vedioStr_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }
    // The row whose voice downloads or plays (0 until a voice starts).
    int markedRow() const;

protected:
    // The signed-in user's id.
    static std::string userId();
    // GET <service prefix> + path; nothing when offline.
    static std::optional<platform::UrlRequest> serviceRequest(const std::string& path,
                                                              std::optional<double> timeout = std::nullopt);
    // Sends a JSON request; the reply or the failure comes back on the main thread while
    // the screen lives.
    void sendJson(platform::UrlRequest request, std::function<void(ReferMeViewController&, const platform::Json&)> reply,
                  std::function<void(ReferMeViewController&)> failure);
    // A page reply: page 1 replaces the rows; an empty first page shows the "暂无数据"
    // label and the alert with `emptyMessage`; then the table is redrawn.
    void pageArrived(const platform::Json& reply, const std::string& emptyMessage);
    // A failed (or, offline, impossible) page request.
    void pageFailed(bool offline);
    // The more row.
    std::shared_ptr<platform::TableViewCell> moreCell(platform::TableView& tableView);
    // The height of a row: the cell built for it, or the more row's.
    double builtRowHeight(platform::TableView& tableView, const platform::IndexPath& indexPath);
    // Fetches "user/<user>/<module>/<id>/message" and pushes the detail screen with it;
    // `delegate` is handed to the detail screen (or none).
    void openDetail(const std::string& module, const std::string& itemId, std::optional<double> timeout,
                    bool withDelegate);

    std::vector<std::shared_ptr<platform::Json>> dataArray_;
    std::shared_ptr<platform::Json> selectdict_;
    int selectedRow_ = 0;
    int currentpage_ = 1;
    bool isMoring_ = false;
    bool isloading_ = false;
    bool reloading_ = false;
    bool failed_ = false;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    std::shared_ptr<platform::Button> tempbt_;

private:
    void makeBackButton();
    void redrawMoreRow();
    void showNoDataLabel();

    bool downloading_ = false;
    platform::TimerRef playerTimer_;
    std::string vedioStr_;
    std::vector<platform::ObserverToken> audioTokens_;
};
