#pragma once

// The announcement composer "编辑公告": a title of at most 20 characters, a text of at most
// 1000 and up to nine pictures from the camera or the album, saved as a new announcement
// of the group with one multipart request. Pushed by the group's announcement list, which
// reloads on "toReloadCurrentGongGaoData" after a save.
//
// Each picture gets its cell, its place in imageArray and its file path the moment it
// arrives, in cell order; the picture itself and its file are made on the background
// queue. A save waits until every picture is ready and sends the pictures' files.

#include "composer/ShowPicViewController.h"
#include "shell/ViewViewController.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImagePickerController.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace platform {
class Button;
class HttpRequestOperation;
class ImageView;
class Label;
class ProgressHUD;
class ScrollView;
class TextField;
class TextView;
class TextViewDelegate;
class View;
}  // namespace platform

class MVTEditGongGaoViewController : public ViewViewController,
                                     public platform::AlertViewDelegate,
                                     public platform::ImagePickerControllerDelegate,
                                     public platform::AssetsPickerControllerDelegate,
                                     public showPicDelegate {
public:
    static constexpr const char* kPageName = "发布公告";
    static constexpr int kAddTileTag = 100000;
    static constexpr int kAddCaptionTag = 100001;
    static constexpr int kDiscardAlertTag = 888;
    static constexpr int kMaxPictures = 9;
    static constexpr std::size_t kMaxTitle = 20;
    static constexpr std::size_t kMaxText = 1000;
    static constexpr double kSaveTimeout = 30;
    static constexpr double kGridTop = 180;

    MVTEditGongGaoViewController();
    ~MVTEditGongGaoViewController() override;
    std::string className() const override { return "MVTEditGongGaoViewController"; }

    void setForumId(const std::string& id) { forumId_ = id; }
    const std::string& forumId() const { return forumId_; }
    void setFieldId(const std::string& id) { fieldId_ = id; }
    const std::string& fieldId() const { return fieldId_; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void stopPlay();

    // ---- The form.
    void initMyView();
    void picView();
    void putImageViews();
    void removeKeyBoard();
    void keyboardWillShow(const platform::Notification& notification);
    void keyboardChange(const platform::Notification& notification);
    void textViewDidBeginEditing();
    void textViewDidEndEditing();
    bool textViewShouldChangeText(platform::Range range, const std::string& replacement);
    void textViewDidChange();

    // ---- Pictures.
    void addnewPic();
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;
    void takePhoto();
    void getPhotoLibrary();
    void imagePickerControllerDidFinishPickingMedia(platform::ImagePickerController& picker,
                                                    const platform::PickedMediaInfo& info) override;
    void imagePickerControllerDidCancel(platform::ImagePickerController& picker) override;
    void assetsPickerControllerDidFinishPickingAssets(platform::AssetsPickerController& picker,
                                                      const std::vector<platform::PickedAsset>& assets) override;
    void toAddCamImageWith(const platform::ImageRef& image);
    void addAlbumPictures(const std::vector<platform::PickedAsset>& assets);
    void showBigImage(int tag);
    void reloadViewWithImageArray(const std::vector<platform::ImageRef>& images) override;
    void showHUDWithBool(bool show);

    // ---- Leaving and saving.
    void goback();
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    void sendBtnClicked(platform::Button* sender);

    // The picture file names: "dyna<stamp>" for the camera, "dyna<stamp>_<cell from 1>"
    // for an album pick; the stamp is whole seconds since 1 January 2001.
    static std::string cameraFileName(double secondsSince1970);
    static std::string albumFileName(double secondsSince1970, int cellNumber);
    // The file name of picture `number` (from 1) among `count`.
    static std::string uploadFileName(const std::string& model, int number, int count);

    // ---- State, for tests.
    std::shared_ptr<platform::TextField> myTextField() const { return myTextField_; }
    std::shared_ptr<platform::TextView> mytextView() const { return mytextView_; }
    std::shared_ptr<platform::Label> tipsLabel() const { return tipsLabel_; }
    std::shared_ptr<platform::View> allPicView() const { return allPicView_; }
    std::shared_ptr<platform::ScrollView> myView() const { return myView_; }
    std::shared_ptr<platform::Button> addTile() const { return addTile_; }
    std::shared_ptr<platform::Button> sendButton() const { return sendButton_; }
    std::shared_ptr<platform::View> hidKeyBoardView() const { return hidKeyBoardView_; }
    double pwh() const { return pwh_; }
    int picNum() const { return picNum_; }
    const std::vector<platform::ImageRef>& imageArray() const { return imageArray_; }
    const std::shared_ptr<std::vector<std::string>>& picPathArr() const { return picPathArr_; }
    bool issending() const { return issending_; }
    bool isPreparing() const { return !preparing_.empty(); }
    std::vector<std::shared_ptr<platform::ImageView>> cells() const;

private:
    std::shared_ptr<platform::ImageView> makeCell(int slot);
    bool pathTaken(const std::string& path) const;
    void pictureMade(const std::string& path, const platform::ImageRef& display, bool written);
    void save();
    void finishSave();
    void showCheck(const std::string& message);

    std::string forumId_, fieldId_;
    std::shared_ptr<platform::ScrollView> myView_;
    std::shared_ptr<platform::TextField> myTextField_;
    std::shared_ptr<platform::TextView> mytextView_;
    std::shared_ptr<platform::TextViewDelegate> textDelegate_;
    std::shared_ptr<platform::Label> tipsLabel_;
    std::shared_ptr<platform::View> allPicView_;
    std::shared_ptr<platform::Button> addTile_;
    std::shared_ptr<platform::Label> addCaption_;
    std::shared_ptr<platform::Button> sendButton_;
    std::shared_ptr<platform::View> hidKeyBoardView_;
    std::shared_ptr<platform::ProgressHUD> hud_;
    std::shared_ptr<platform::ProgressHUD> sendHud_;
    double pwh_ = 0;
    int picNum_ = 0;
    std::vector<platform::ImageRef> imageArray_;
    std::shared_ptr<std::vector<std::string>> picPathArr_ = std::make_shared<std::vector<std::string>>();
    std::set<std::string> preparing_;
    bool issending_ = false;
    bool sendWaiting_ = false;
    bool closed_ = false;
    std::shared_ptr<platform::HttpRequestOperation> saving_;
    std::vector<platform::ObserverToken> keyboardTokens_;
};
