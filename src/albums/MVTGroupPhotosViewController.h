#pragma once

#include "albums/MVTAlbumCell.h"
#include "homework/HomeworkScreen.h"
#include "shell/EGORefreshTableHeaderView.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class myTableView;

namespace platform {
class Button;
}

// The albums of one group ("forum"), two to a row, in pages with a load-more footer and
// pull-to-refresh. "+" creates an album; a 1-second press on a tile deletes one as far as
// the member's standing allows ("1" and "2" any but the system album, others their own).
class MVTGroupPhotosViewController : public HomeworkScreen,
                                     public platform::TableViewDataSource,
                                     public platform::TableViewDelegate,
                                     public platform::AlertViewDelegate,
                                     public MVTAlbumCellDelegate,
                                     public EGORefreshTableHeaderDelegate {
public:
    static constexpr const char* kPageName = "群相册";
    static constexpr const char* kReloadNotification = "toReloadData";
    static constexpr const char* kCreateNotification = "toCreateNewAlbum";
    static constexpr int kTableTag = 12;
    static constexpr int kDeleteAlertTag = 1111;
    static constexpr std::size_t kFullPage = 10;

    std::string className() const override { return "MVTGroupPhotosViewController"; }
    void setForumId(const std::string& id) { forumId_ = id; }
    void setFieldId(const std::string& id) { fieldId_ = id; }
    void setIsmanager(const std::string& manager) { ismanager_ = manager; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void goback();
    void toUpPicOrCreatAlbum();
    void createNewAlbum();
    void getAlbumData();
    void reloadAlbumData();
    void reloadTableViewDataSource();
    void doneLoadingTableViewData();
    void makeSureToDelete();

    void goToAlbumDetailsWith(const std::string& index) override;
    void deleteAlbum(const std::string& index) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView&, const platform::IndexPath&) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;

    // ---- Read by tests.
    const platform::Json& albumDataArr() const { return albumDataArr_; }
    std::shared_ptr<myTableView> albumTableview() const { return albumTableview_; }
    std::shared_ptr<platform::Button> albumMoreBtn() const { return albumMoreBtn_; }
    std::shared_ptr<platform::Button> selectBtn() const { return selectBtn_; }
    bool reloading() const { return reloading_; }
    bool observing() const { return static_cast<bool>(reloadObserver_); }

private:
    void initAlbumTableView();
    void observe();
    void pageArrived(const platform::Json& reply, bool refresh);
    void loadFailed(bool refresh);
    void sendPage(bool refresh);
    void setFooter(const std::string& title, bool reacts);

    std::string forumId_, fieldId_, ismanager_;
    platform::Json albumDataArr_ = platform::Json::array();
    long deleteIndex_ = -1;
    bool reloading_ = false;
    std::shared_ptr<myTableView> albumTableview_;
    std::shared_ptr<EGORefreshTableHeaderView> albumRefreshHeaderView_;
    std::shared_ptr<platform::Button> albumMoreBtn_, selectBtn_;
    platform::ObserverToken reloadObserver_, createObserver_;
};
