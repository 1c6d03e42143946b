#include "feed/MVTSquareViewController.h"

#include "shell/InternationalControl.h"

void MVTSquareViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("校园圈"));
}
