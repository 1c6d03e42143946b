#include "account/MVTRegisterViewController.h"

#include "shell/InternationalControl.h"

void MVTRegisterViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("注册"));
}
