#pragma once

#include "platform/ui/Image.h"
#include "platform/ui/ViewController.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class ImagePickerController;

enum class ImagePickerSourceType { PhotoLibrary = 0, Camera = 1, SavedPhotosAlbum = 2 };

// What the picker hands back for a chosen picture.
struct PickedMediaInfo {
    std::string mediaType = "public.image";
    ImageRef originalImage;
    // Set when editing is allowed: the part of the picture the user kept.
    ImageRef editedImage;
    std::filesystem::path fileUrl;
};

class ImagePickerControllerDelegate {
public:
    virtual ~ImagePickerControllerDelegate() = default;
    // imagePickerController:didFinishPickingMediaWithInfo:
    virtual void imagePickerControllerDidFinishPickingMedia(ImagePickerController& picker,
                                                            const PickedMediaInfo& info) {
        (void)picker;
        (void)info;
    }
    virtual void imagePickerControllerDidCancel(ImagePickerController& picker) { (void)picker; }
};

// The camera and photo-library picker. There is no camera or photo library here: the
// host (or a test) feeds each source with picture files, and a source without a feed is
// not available (the camera is not available until fed). The picker shows the fed files
// as a list to choose from, and a cancel button.
class ImagePickerController : public ViewController {
public:
    ImagePickerController();
    std::string className() const override { return "ImagePickerController"; }

    static bool isSourceTypeAvailable(ImagePickerSourceType type);
    // Pictures the source offers; an empty list makes the source unavailable.
    static void setSourceFiles(ImagePickerSourceType type, std::vector<std::filesystem::path> files);
    static std::vector<std::filesystem::path> sourceFiles(ImagePickerSourceType type);
    // Forgets every feed (tests start clean): the photo library and album are then
    // available and empty, the camera unavailable.
    static void resetSources();

    ImagePickerSourceType sourceType() const { return sourceType_; }
    void setSourceType(ImagePickerSourceType type) { sourceType_ = type; }
    bool allowsEditing() const { return allowsEditing_; }
    void setAllowsEditing(bool allows) { allowsEditing_ = allows; }
    void setDelegate(std::weak_ptr<ImagePickerControllerDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<ImagePickerControllerDelegate> delegate() const { return delegate_.lock(); }

    // The user chose file `index` of the source: the delegate gets the picture (a file
    // that does not decode is not offered as a choice and answers false).
    bool pickFileAtIndex(size_t index);
    bool pickFile(const std::filesystem::path& file);
    // The user cancelled.
    void cancel();

    void loadView() override;

private:
    ImagePickerSourceType sourceType_ = ImagePickerSourceType::PhotoLibrary;
    bool allowsEditing_ = false;
    std::weak_ptr<ImagePickerControllerDelegate> delegate_;
};

}  // namespace platform
