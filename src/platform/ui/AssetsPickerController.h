#pragma once

// The photo asset picker: several pictures chosen at once from the photo library feed of
// the image picker (the host or a test feeds it with files). Only files that decode as
// pictures are offered, or, when asked for videos, only the movie files, each shown by
// its first picture; the picker refuses choices past its maximum and, on "完成", hands
// the chosen assets to its delegate and closes itself.

#include "platform/ui/Image.h"
#include "platform/ui/ViewController.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace platform {

class AssetsPickerController;

// What the picker offers.
enum class AssetsFilter { Photos, Videos };

// One chosen picture or video of the library.
struct PickedAsset {
    std::filesystem::path file;
    // Whether the file is a movie, by its extension (mov, mp4, m4v, 3gp, any case).
    bool isVideo() const;
    // The asset's file name and its size in bytes (-1 when it cannot be read).
    std::string filename() const;
    long long size() const;
    // The picture at full size (nullptr when the file went away since it was offered).
    ImageRef fullResolutionImage() const;
    // The picture fitted within the screen's pixels, its sides in proportion (a smaller
    // picture as it is); nullptr when the file went away.
    ImageRef fullScreenImage() const;
    // A square thumbnail of the given side; a video's first picture, fitted inside the
    // square (nullptr when none decodes).
    ImageRef thumbnail(double side = 75) const;

private:
    ImageRef videoThumbnail(double side) const;
};

class AssetsPickerControllerDelegate {
public:
    virtual ~AssetsPickerControllerDelegate() = default;
    // assetsPickerController:didFinishPickingAssets:
    virtual void assetsPickerControllerDidFinishPickingAssets(AssetsPickerController& picker,
                                                              const std::vector<PickedAsset>& assets) = 0;
    virtual void assetsPickerControllerDidCancel(AssetsPickerController& picker) { (void)picker; }
};

class AssetsPickerController : public ViewController {
public:
    std::string className() const override { return "AssetsPickerController"; }

    void setMaximumNumberOfSelection(size_t maximum) { maximum_ = maximum; }
    size_t maximumNumberOfSelection() const { return maximum_; }
    void setDelegate(std::weak_ptr<AssetsPickerControllerDelegate> delegate) { delegate_ = std::move(delegate); }
    // Photos (the default) or videos; set before the picker is shown.
    void setAssetsFilter(AssetsFilter filter) { filter_ = filter; }
    AssetsFilter assetsFilter() const { return filter_; }
    // Whether the picker slides away when it closes after a pick (it does by default).
    void setClosesAnimated(bool animated) { closesAnimated_ = animated; }

    // The pictures (or videos) offered, in the library's order.
    const std::vector<std::filesystem::path>& offered();
    // Toggles offered picture `index`; false when the index is out of range or the
    // maximum is already chosen.
    bool toggleAssetAtIndex(size_t index);
    const std::vector<size_t>& selectedIndexes() const { return selected_; }
    // "完成": the delegate gets the chosen pictures in the order they were chosen, then
    // the picker closes.
    void finish();
    void cancel();

    void loadView() override;

private:
    void refreshButtons();

    size_t maximum_ = 9;
    AssetsFilter filter_ = AssetsFilter::Photos;
    bool closesAnimated_ = true;
    std::weak_ptr<AssetsPickerControllerDelegate> delegate_;
    std::vector<std::filesystem::path> offered_;
    bool loaded_ = false;
    std::vector<size_t> selected_;
};

}  // namespace platform
