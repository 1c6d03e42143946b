#pragma once

#include "platform/ui/ImagePickerController.h"

// The camera and photo-library picker: dark status bar while it is in front, shown and
// light again when it leaves.
class myimagePickerViewController : public platform::ImagePickerController {
public:
    std::string className() const override { return "myimagePickerViewController"; }
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

private:
    void restoreStatusBar();
};
