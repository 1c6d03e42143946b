#pragma once

#include "me/OwnPictureScreen.h"

#include <memory>
#include <string>

namespace platform {
class ProgressHUD;
class ScrollView;
}  // namespace platform

// "更换背景": the cover chooser of the signed-in user's own space, pushed by the space
// below it. A built-in picture is handed to that space as a preview (bytes, id and the
// preview flag) and sent only when the user confirms there; an own picture (camera or
// album), made upright and cropped, is uploaded from here.
class MVTChageBgImageViewController : public OwnPictureScreen {
public:
    MVTChageBgImageViewController();
    ~MVTChageBgImageViewController() override;
    std::string className() const override { return "MVTChageBgImageViewController"; }

    // The tiles in order; every tile but the last is a built-in picture ("%d.jpg" with the
    // index plus 1, cover id the index plus 151); the last chooses an own picture.
    static const std::vector<std::string>& tileNames();
    static std::string coverIdOfTile(int tag) { return std::to_string(tag + 151); }

    void viewDidLoad() override;
    void imageButtonClick(int tag);
    // The crop screen's answer: a picture is uploaded; none sends nothing.
    void cropImageViewControllerDidFinished(platform::ImageRef image) override;
    // Uploads the picture as the new cover.
    void changeHeadImage(const platform::ImageRef& image);
    void backButtonClick();

    std::shared_ptr<platform::ScrollView> backGroundScrollView() const { return backGroundScrollView_; }

private:
    // The screen below this one on the stack (the space), or nothing.
    std::shared_ptr<platform::ViewController> screenBelow() const;

    std::shared_ptr<platform::ScrollView> backGroundScrollView_;
    std::shared_ptr<platform::ProgressHUD> HUD_;
};
