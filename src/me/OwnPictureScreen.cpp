#include "me/OwnPictureScreen.h"

#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"
#include "shell/myimagePickerViewController.h"

#include "core/MVTPublicMethod.h"

#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"

using namespace platform;

void OwnPictureScreen::iconBtnClick() {
    auto sheet = ActionSheet::make("", weakAs<OwnPictureScreen>(), localized("取消"), "",
                                   {localized("拍照"), localized("相册")});
    sheet->showInView(view().get());
}

void OwnPictureScreen::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    const long first = sheet.firstOtherButtonIndex();
    if (index == first) takePhoto();
    else if (index == first + 1) pickPicture();
}

void OwnPictureScreen::takePhoto() {
    if (!ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera)) {
        AlertView::make(localized("提示"), localized("设备没有照相功能"), {}, localized("确定"))->show();
        return;
    }
    auto picker = std::make_shared<myimagePickerViewController>();
    picker->setSourceType(ImagePickerSourceType::Camera);
    picker->setAllowsEditing(true);
    picker->setDelegate(weakAs<OwnPictureScreen>());
    presentViewController(picker, true);
}

void OwnPictureScreen::pickPicture() {
    auto picker = std::make_shared<myimagePickerViewController>();
    picker->setSourceType(ImagePickerSourceType::PhotoLibrary);
    picker->setDelegate(weakAs<OwnPictureScreen>());
    presentViewController(picker, true);
}

void OwnPictureScreen::imagePickerControllerDidFinishPickingMedia(ImagePickerController& picker,
                                                                 const PickedMediaInfo& info) {
    ImageRef image = info.mediaType == "public.image" ? info.originalImage : nullptr;
    std::weak_ptr<OwnPictureScreen> weak = weakAs<OwnPictureScreen>();
    picker.dismissViewController(true, [weak, image] {
        auto self = weak.lock();
        if (!self || !image) return;
        // Redrawn at its own size: an upright copy, whatever the camera's orientation.
        self->cropImage(MVTPublicMethod::scale(image, image->size()));
    });
}

void OwnPictureScreen::imagePickerControllerDidCancel(ImagePickerController& picker) {
    picker.dismissViewController(true);
}

void OwnPictureScreen::cropImage(const ImageRef& image) {
    auto crop = std::make_shared<MVTCropImageNewViewController>();
    crop->setDelegate(weakAs<MVTCropImageNewViewControllerDelegate>());
    crop->setOriginImg(image);
    presentViewController(myNavigationController::withRoot(crop), true);
}
