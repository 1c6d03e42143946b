#pragma once

#include "homework/HomeworkScreen.h"
#include "shell/EGORefreshTableHeaderView.h"

#include "platform/NotificationCenter.h"
#include "platform/Values.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>
#include <vector>

class myTableView;

namespace platform {
class Button;
class ImageView;
}  // namespace platform

// What the grid hears from its rows; indexes are decimal texts into the photo list.
class MVTAlbumDetailsDelegate {
public:
    virtual ~MVTAlbumDetailsDelegate() = default;
    virtual void whichSelectdWith(const std::string& index) = 0;
    virtual void deleteOrUnDeleteWith(const std::string& index, bool marked) = 0;
};

// A row of the photo grid: three square thumbnails, each with a check mark in select mode.
class MVTAlbumDetailsCell : public platform::TableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "albumDetailsCell";
    static constexpr int kPictureTag = 1111;
    static constexpr int kMarkTag = 2222;

    std::string className() const override { return "MVTAlbumDetailsCell"; }
    static std::shared_ptr<MVTAlbumDetailsCell> make();
    // The side of a thumbnail: (screen width - 40) / 3; rows are side + 10 high.
    static double side();

    void showEdit(bool edit) { edit_ = edit; }
    void reloadDataWith(const platform::Json& photos);
    void whichClickd(platform::Button& button);
    void setDelegate(std::weak_ptr<MVTAlbumDetailsDelegate> delegate) { delegate_ = std::move(delegate); }
    const std::vector<std::shared_ptr<platform::Button>>& modelArr() const { return modelArr_; }

private:
    std::vector<std::shared_ptr<platform::Button>> modelArr_;
    bool edit_ = false;
    std::weak_ptr<MVTAlbumDetailsDelegate> delegate_;
};

// The photos of one class or group album, three to a row, in pages of 15 with a footer and
// pull-to-refresh. A tap opens the pager; the right button offers upload, album edit and
// batch delete by the user's rights. Group mode (a group field id is set) asks the group
// paths and reloads on "reloadGroupAlbumPic".
class MVTAlbumDetalsViewController : public HomeworkScreen,
                                     public platform::TableViewDataSource,
                                     public platform::TableViewDelegate,
                                     public platform::AlertViewDelegate,
                                     public MVTAlbumDetailsDelegate,
                                     public EGORefreshTableHeaderDelegate {
public:
    static constexpr const char* kReloadGroupNotification = "reloadGroupAlbumPic";
    static constexpr int kPageSize = 15;

    MVTAlbumDetalsViewController();
    ~MVTAlbumDetalsViewController() override;
    std::string className() const override { return "MVTAlbumDetalsViewController"; }

    void setAlbumId(const std::string& id) { albumId_ = id; }
    void setNameStr(const std::string& name) { nameStr_ = name; }
    void setIsmanagerStr(const std::string& manager) { ismanagerStr_ = manager; }
    void setAlbumDic(std::shared_ptr<platform::Json> album) { albumDic_ = std::move(album); }
    void setIsSysteam(bool system) { isSysteam_ = system; }
    void setForumId(const std::string& id) { forumId_ = id; }
    void setFieldId(const std::string& id) { fieldId_ = id; }
    const std::string& albumId() const { return albumId_; }
    std::shared_ptr<platform::Json> albumDic() const { return albumDic_; }
    const std::string& ismanagerStr() const { return ismanagerStr_; }
    bool isSysteam() const { return isSysteam_; }
    const std::string& forumId() const { return forumId_; }
    const std::string& fieldId() const { return fieldId_; }
    bool isGroupMode() const;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void goback();

    // The next page (also the footer's action), from page 1 again, the right button, delete.
    void getAlbumPicData();
    void reloadAlbumPicData();
    void toManageAlbum();
    void deleteSelectPic();
    void doneLoadingTableViewData();

    void whichSelectdWith(const std::string& index) override;
    void deleteOrUnDeleteWith(const std::string& index, bool marked) override;
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;
    void egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView& view) override;
    bool egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView& view) override;
    double egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView& view) override;

    const platform::Json& picDataArr() const { return picDataArr_; }
    bool isEdit() const { return isEdit_; }
    std::shared_ptr<platform::Button> rightBtn() const { return rightBtn_; }
    std::shared_ptr<platform::Button> morePicBtn() const { return morePicBtn_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }

private:
    void initmytableview();
    std::string pagePath() const;
    void pageArrived(const platform::Json& reply, bool fromFirst);
    void pageFailed();
    void deleteEnded(const platform::Json& reply, const platform::Json& collected);
    void leaveSelectMode();
    void setFooter(const std::string& title, bool reacts);

    std::string albumId_, nameStr_, ismanagerStr_, forumId_, fieldId_;
    std::shared_ptr<platform::Json> albumDic_;
    bool isSysteam_ = false;
    platform::Json picDataArr_ = platform::Json::array();
    bool isEdit_ = false;
    bool reloading_ = false;
    std::shared_ptr<platform::Button> rightBtn_;
    std::shared_ptr<platform::Button> morePicBtn_;
    std::shared_ptr<myTableView> mytableview_;
    std::shared_ptr<EGORefreshTableHeaderView> refreshHeaderView_;
    platform::ObserverToken groupObserver_;
};
