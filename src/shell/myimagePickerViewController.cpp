#include "shell/myimagePickerViewController.h"

#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"

using namespace platform;

void myimagePickerViewController::viewDidAppear(bool animated) {
    ImagePickerController::viewDidAppear(animated);
    StatusBar::shared().setStyle(StatusBarStyle::Default);
}

void myimagePickerViewController::viewWillDisappear(bool animated) {
    ImagePickerController::viewWillDisappear(animated);
    restoreStatusBar();
}

void myimagePickerViewController::viewDidDisappear(bool animated) {
    ImagePickerController::viewDidDisappear(animated);
    restoreStatusBar();
}

void myimagePickerViewController::restoreStatusBar() {
    StatusBar::shared().setHidden(false);
    if (Screen::systemVersion() >= 7.0) StatusBar::shared().setStyle(StatusBarStyle::LightContent);
}
