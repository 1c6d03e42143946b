#include "me/MVTAppsViewController.h"

#include "shell/InternationalControl.h"

void MVTAppsViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("发现"));
}

void MVTAppsViewController::reloadView() { ++reloadViewCount_; }
