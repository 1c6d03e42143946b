#include "contacts/MVTContactViewController.h"

#include "shell/InternationalControl.h"

void MVTContactViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("联系人"));
}
