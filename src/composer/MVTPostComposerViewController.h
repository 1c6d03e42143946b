#pragma once

// The frame the three post composers share (text and picture, voice, picture and text):
// one set of fields and operations; the subclasses differ only in what `kind()` decides.

#include "shell/ViewViewController.h"

#include "platform/ui/AssetsPickerController.h"
#include "platform/ui/Image.h"

#include <memory>
#include <string>
#include <vector>

class MVTPostComposerViewController : public ViewViewController {
public:
    enum class Kind { Feed, Record, Pic };

    std::string className() const override { return "MVTPostComposerViewController"; }
    virtual Kind kind() const = 0;

    // initWithImage:isTaShowImage: a picture (or nothing) to start with; YES opens in
    // picture mode even without a picture.
    void initWithImage(platform::ImageRef image, bool isTaShowImage);
    // initWithMutableImages: the album pictures chosen before opening, taken as they are.
    void initWithMutableImages(const std::vector<platform::PickedAsset>& assets);

    void viewDidLoad() override;

    // goback: leaves, asking first when something was entered.
    void goback();

    bool isImage() const { return isImage_; }

protected:
    bool isImage_ = false;
    platform::ImageRef firstImage_;
    std::vector<platform::PickedAsset> firstAssets_;
};
