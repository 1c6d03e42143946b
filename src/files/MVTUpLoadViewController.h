#pragma once

// "上传图片" / "上传视频": up to nine photos or videos of the photo library in a grid of
// previews (a tap on one offers "删除"), for a class upload the teacher's classes that may
// see them (all ticked at first), and "上传", which hands every pick as one upload task to
// the transfer manager and closes the screen. The opening library gets the tasks' progress.

#include "files/MVTTransferTask.h"

#include "shell/ViewViewController.h"

#include "platform/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>
#include <vector>

class myTableView;

namespace platform {
class Button;
class Image;
class ImageView;
class View;
}  // namespace platform

class MVTUpLoadViewController : public ViewViewController,
                                public platform::TableViewDataSource,
                                public platform::TableViewDelegate,
                                public platform::AlertViewDelegate,
                                public platform::AssetsPickerControllerDelegate {
public:
    static constexpr std::size_t kMaxPicks = 9;
    static constexpr long kLeaveAlertTag = 1;

    std::string className() const override { return "MVTUpLoadViewController"; }

    void setTypeOfFile(int type) { typeOfFile_ = type; }
    int typeOfFile() const { return typeOfFile_; }
    void setUpTaskdelegateFile(std::shared_ptr<MVTUploadFileDelegate> delegate) { upTaskdelegateFile_ = std::move(delegate); }
    void setWhereFrom(const std::string& from) { whereFrom_ = from; }
    const std::string& whereFrom() const { return whereFrom_; }
    void setFileUpUrl(const std::string& url) { fileUpUrl_ = url; }
    const std::string& fileUpUrl() const { return fileUpUrl_; }

    void viewDidLoad() override;
    void viewDidDisappear(bool animated) override;
    void goback();
    void toAddPic();
    void assetsPickerControllerDidFinishPickingAssets(platform::AssetsPickerController& picker,
                                                      const std::vector<platform::PickedAsset>& assets) override;
    void addNewPicWith(const std::vector<platform::PickedAsset>& assets);
    void deletePic(platform::Button& button);
    void cancelBtnClick();
    void getCourseData();
    void selectAllClass();
    std::string dealWithClassIdArray() const;
    void btnClick();
    void toPostFiles();
    void showHUDWithBool(bool show);
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;

    // The panel's height for a number of picks, and the frame of grid slot i.
    static double panelHeightFor(std::size_t count);
    static platform::Rect slotFrame(std::size_t index);

    int numberOfSectionsInTableView(platform::TableView& tableView) override;
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    double heightForHeaderInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::View> viewForHeaderInSection(platform::TableView& tableView, int section) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   const platform::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(platform::TableView& tableView, const platform::IndexPath& indexPath) override;

    std::size_t pickCount() const { return picks_.size(); }
    // The preview of pick i once loaded (nullptr while it is still only the asset).
    std::shared_ptr<platform::Image> pickImage(std::size_t index) const { return picks_.at(index).image; }
    const platform::Json& dataArray() const { return dataArray_; }
    const std::vector<std::string>& classIdArray() const { return classIdArray_; }
    bool isShowClass() const { return isShowClass_; }
    std::shared_ptr<platform::View> picBgView() const { return picBgView_; }
    std::shared_ptr<platform::Button> addBtn() const { return addBtn_; }
    std::shared_ptr<myTableView> mytableview() const { return mytableview_; }

private:
    struct Pick {
        unsigned long serial = 0;
        platform::PickedAsset asset;              // movieArray's entry
        std::shared_ptr<platform::Image> image;  // picArr's entry once the preview is made
        std::shared_ptr<platform::ImageView> view;
    };
    void layoutPanel();
    void previewMade(unsigned long serial, std::shared_ptr<platform::Image> image);
    void tickClass(const std::string& id);

    int typeOfFile_ = 1;
    std::shared_ptr<MVTUploadFileDelegate> upTaskdelegateFile_;
    std::string whereFrom_;
    std::string fileUpUrl_;
    std::vector<Pick> picks_;
    unsigned long nextSerial_ = 1;
    platform::Json dataArray_ = platform::Json::array();
    std::vector<std::string> classIdArray_;
    bool isShowClass_ = false;
    std::size_t currentIndex_ = 0;
    std::shared_ptr<platform::View> picBgView_;
    std::shared_ptr<platform::Button> addBtn_;
    std::shared_ptr<myTableView> mytableview_;
};
