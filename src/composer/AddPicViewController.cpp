#include "composer/AddPicViewController.h"

#include "shell/InternationalControl.h"

void AddPicViewController::initWithImage(platform::ImageRef image, bool isTaShowImage) {
    images_.clear();
    if (image) images_.push_back(std::move(image));
    isTaShowImage_ = isTaShowImage;
}

void AddPicViewController::initWithMutableImages(std::vector<platform::ImageRef> images) {
    images_ = std::move(images);
    isTaShowImage_ = false;
}

void AddPicViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("发图说"));
}
