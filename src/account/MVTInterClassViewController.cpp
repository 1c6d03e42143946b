#include "account/MVTInterClassViewController.h"

#include "shell/InternationalControl.h"

void MVTInterClassViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("加入班级"));
}
