#pragma once

// The text and picture post composer.

#include "shell/ViewViewController.h"

#include "platform/ui/Image.h"

#include <vector>

class AddPicViewController : public ViewViewController {
public:
    std::string className() const override { return "AddPicViewController"; }

    // initWithImage:isTaShowImage: a picture or nothing; YES when the picture came from the camera.
    void initWithImage(platform::ImageRef image, bool isTaShowImage);
    // initWithMutableImages: the picked photos.
    void initWithMutableImages(std::vector<platform::ImageRef> images);
    void viewDidLoad() override;

    const std::vector<platform::ImageRef>& images() const { return images_; }
    bool isTaShowImage() const { return isTaShowImage_; }

private:
    std::vector<platform::ImageRef> images_;
    bool isTaShowImage_ = false;
};
