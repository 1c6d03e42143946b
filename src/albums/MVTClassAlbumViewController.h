#pragma once

#include "albums/MVTAlbumCell.h"
#include "albums/MVTClassPicCell.h"
#include "details/MVTDetailsViewController.h"
#include "homework/HomeworkScreen.h"
#include "shell/EGORefreshTableHeaderView.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/IndexPath.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class myTableView;

namespace platform {
class Button;
class ImageView;
}  // namespace platform

// The class album: a segment bar between the recent photo posts of the user's classes
// ("最近照片") and the class albums ("相册"), a "+" menu to upload photos or create an album,
// praise and delete of the recent photos, pull-to-refresh and load-more footers on both
// lists. Made plainly and presented inside its own navigation controller by the Apps tab;
// its back button dismisses that presentation.
class MVTClassAlbumViewController : public HomeworkScreen,
                                    public platform::TableViewDataSource,
                                    public platform::TableViewDelegate,
                                    public platform::AlertViewDelegate,
                                    public MVTClassPicCellDelegate,
                                    public MVTAlbumCellDelegate,
                                    public MVTDetailsViewControllerDelegate,
                                    public EGORefreshTableHeaderDelegate {
public:
    static constexpr const char* kPageName = "班级相册";
    static constexpr const char* kReloadNotification = "toReloadCurrentPicData";
    static constexpr int kPicTableTag = 11;
    static constexpr int kAlbumTableTag = 12;
    static constexpr int kDimmingTag = 2222;
    static constexpr double kPicPageSize = 15;
    static constexpr int kAlbumPageSize = 10;
    static constexpr double kReloadAfterUpload = 0.8;

    MVTClassAlbumViewController();
    ~MVTClassAlbumViewController() override;
    std::string className() const override { return "MVTClassAlbumViewController"; }

    void viewDidLoad() override;
    void goback();

    void toChangePicOrAlbum(platform::Button& segment);
    void toSelect();
    void toMoveTopView();
    void toUpPicOrCreatAlbum(int tag);
    void createNewAlbum();

    void getPicData();
    void reloadPicData();
    void getAlbumData();
    void reloadAlbumData();
    void reloadTableViewDataSource();
    void doneLoadingTableViewData();
    void toReloadCurrentPicData();

    // ---- Rows, the detail screen and the refresh header.
    void showImage(const platform::Json& pictures, int index) override;
    void sendPraisePicWith(platform::Button& button) override;
    void toDeletePicWith(const std::string& postId, int row) override;
    void goToAlbumDetailsWith(const std::string& index) override;
    void reloadOneCell() override;
    void deleteOneCell(int row) override;
    void removePicDataWith(const std::string& postId);

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
    const std::vector<std::shared_ptr<platform::Json>>& picDataArr() const { return picDataArr_; }
    const platform::Json& albumDataArr() const { return albumDataArr_; }
    std::shared_ptr<myTableView> picTableview() const { return picTableview_; }
    std::shared_ptr<myTableView> albumTableview() const { return albumTableview_; }
    std::shared_ptr<platform::Button> picMoreBtn() const { return picMoreBtn_; }
    std::shared_ptr<platform::Button> albumMoreBtn() const { return albumMoreBtn_; }
    std::shared_ptr<platform::View> segView() const { return segView_; }
    std::shared_ptr<platform::Button> selectBtn() const { return selectBtn_; }
    std::shared_ptr<platform::View> topView() const { return topView_; }
    std::shared_ptr<platform::View> topSelectView() const { return topSelectView_; }
    std::shared_ptr<EGORefreshTableHeaderView> picRefreshHeaderView() const { return picRefreshHeaderView_; }
    bool reloading() const { return reloading_; }
    bool showsAlbums() const;

private:
    void createSegView();
    std::shared_ptr<myTableView> makeList(int tag, std::shared_ptr<EGORefreshTableHeaderView>& header);
    void initPicTableView();
    void initAlbumTableView();
    void setFooter(platform::Button& footer, const std::string& title, bool reacts);
    void endRefreshAfter(double seconds);
    void listFailed(const std::shared_ptr<platform::Button>& footer, double endAfter);
    void picPageArrived(const platform::Json& reply);
    void picRefreshArrived(const platform::Json& reply);
    void albumPageArrived(const platform::Json& reply, bool refresh);
    // Sends a list request; offline it shows banner 0 and ends as a failure.
    void sendListRequest(const std::string& path, const platform::Json& parameters, Reply reply, Failure failure);
    void deleteCachedPictures(const platform::Json& post);
    void closeMenu(bool animated);
    double triX(bool albums) const;

    std::vector<std::shared_ptr<platform::Json>> picDataArr_;
    platform::Json albumDataArr_ = platform::Json::array();
    std::shared_ptr<myTableView> picTableview_, albumTableview_;
    std::shared_ptr<EGORefreshTableHeaderView> picRefreshHeaderView_, albumRefreshHeaderView_;
    bool reloading_ = false;
    std::shared_ptr<platform::Button> picMoreBtn_, albumMoreBtn_;
    std::optional<platform::IndexPath> selectdIndexPath_;
    std::shared_ptr<platform::View> segView_;
    std::shared_ptr<platform::ImageView> triImageView_;
    std::shared_ptr<platform::Button> selectBtn_;
    std::shared_ptr<platform::View> topView_, topSelectView_;
    platform::ObserverToken reloadObserver_;
};
