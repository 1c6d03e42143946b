#include "me/MVTUserSettingViewController.h"

#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"

void MVTUserSettingViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("我"));
}

void MVTUserSettingViewController::reloadRelativeAndCommentCount() {
    const int count = MVTAccount::sharedInstance().newRelevantMe();
    if (count != shownRelevantMe_) shownRelevantMe_ = count;
}

void MVTUserSettingViewController::reloadUserLvl() { ++reloadUserLvlCount_; }
