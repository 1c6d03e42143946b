#pragma once

#include "albums/MVTCropImageNewViewController.h"
#include "shell/ViewViewController.h"

#include "platform/ui/ImagePickerController.h"

#include <memory>
#include <string>

// A screen that lets the user give an own picture: "拍照" or "相册", the picture redrawn
// upright, framed on the square crop screen, then handed to
// cropImageViewControllerDidFinished. The cover chooser and the Me tab's avatar share it.
class OwnPictureScreen : public ViewViewController,
                         public platform::ImagePickerControllerDelegate,
                         public MVTCropImageNewViewControllerDelegate {
public:
    // The action sheet "拍照" / "相册" / "取消".
    void iconBtnClick();
    // The camera picker (editing allowed), or "设备没有照相功能" without a camera.
    void takePhoto();
    // The photo library picker.
    void pickPicture();
    // The crop screen's answer; nullptr when it gave no picture.
    void cropImageViewControllerDidFinished(platform::ImageRef image) override = 0;

    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;
    void imagePickerControllerDidFinishPickingMedia(platform::ImagePickerController& picker,
                                                    const platform::PickedMediaInfo& info) override;
    void imagePickerControllerDidCancel(platform::ImagePickerController& picker) override;

protected:
    // Presents the square crop screen with the picture in a stack of its own.
    void cropImage(const platform::ImageRef& image);
};
