#pragma once

#include "albums/MVTSelectClassOrAlbumViewController.h"
#include "homework/HomeworkScreen.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/TextView.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
class Image;
class ImageView;
class Label;
class ScrollView;
}  // namespace platform

// Up to 9 photos of the photo library and one caption into one class or group album, in a
// single multipart POST. The album comes from the opener or from the chooser (or a new
// album made from the chooser, announced by "addNewAlbumInfo"). A class upload ends back
// on the class album ("toReloadCurrentPicData"), a group upload on the grid
// ("reloadGroupAlbumPic").
class MVTUpAlbumPicViewController : public HomeworkScreen,
                                    public platform::AlertViewDelegate,
                                    public platform::AssetsPickerControllerDelegate,
                                    public MVTSelectClassOrAlbumViewDelegate {
public:
    static constexpr int kMaxPictures = 9;
    static constexpr int kAddButtonTag = 100;
    static constexpr const char* kNewAlbumNotification = "addNewAlbumInfo";

    std::string className() const override { return "MVTUpAlbumPicViewController"; }
    void setAlbumId(const std::string& id) { albumId_ = id; }
    void setNameStr(const std::string& name) { nameStr_ = name; }
    void setForumId(const std::string& id) { forumId_ = id; }
    void setFieldId(const std::string& id) { fieldId_ = id; }

    void viewDidLoad() override;
    void toGoBack();
    void goback();
    void toSelectAlbum();
    void toAddPic();
    void toRemovePic(int index);
    // toUpData: / toUpDataForGroup: by the mode.
    void toUpData();
    void whichSelectdWith(const std::string& name, const std::string& id) override;

    void assetsPickerControllerDidFinishPickingAssets(platform::AssetsPickerController& picker,
                                                      const std::vector<platform::PickedAsset>& assets) override;
    void alertViewClickedButtonAtIndex(platform::AlertView& alert, long index) override;
    // The caption's editing: the placeholder hides while it is edited and shows again when empty.
    void captionEditing(bool editing);

    // The grid's geometry: the container's height for a count, and slot i's frame.
    static double gridHeightFor(std::size_t count);
    static platform::Rect slotFrame(int index);

    std::size_t pictureCount() const { return pictures_.size(); }
    // Pictures still being made from their photos.
    std::size_t pendingPictures() const;
    std::shared_ptr<platform::TextView> textView() const { return textView_; }
    std::shared_ptr<platform::View> picView() const { return picView_; }
    std::shared_ptr<platform::Button> addButton() const { return addBtn_; }
    std::shared_ptr<platform::Label> albumLabel() const { return albumLabel_; }
    const std::string& albumId() const { return albumId_; }

private:
    struct Entry {
        unsigned long serial = 0;
        std::shared_ptr<platform::Image> image;  // null while being made
        std::shared_ptr<platform::ImageView> view;
    };
    bool isGroupMode() const;
    void layoutGrid();
    void pictureMade(unsigned long serial, std::shared_ptr<platform::Image> image);
    void showMindWith(const std::string& title, int tag = 0);
    void uploaded(const platform::Json& reply, const std::vector<std::shared_ptr<platform::Image>>& sent);

    std::string albumId_, nameStr_, forumId_, fieldId_;
    std::vector<Entry> pictures_;
    unsigned long nextSerial_ = 1;
    std::shared_ptr<platform::ScrollView> scroll_;
    std::shared_ptr<platform::TextView> textView_;
    std::shared_ptr<platform::Label> placeholder_;
    std::shared_ptr<platform::Label> albumLabel_;
    std::shared_ptr<platform::View> picView_;
    std::shared_ptr<platform::Button> addBtn_;
    std::shared_ptr<platform::Label> addLabel_;
    std::shared_ptr<platform::HttpJsonRequestOperation> sending_;
    platform::ObserverToken newAlbumObserver_;
    std::shared_ptr<platform::TextViewDelegate> captionDelegate_;
};
