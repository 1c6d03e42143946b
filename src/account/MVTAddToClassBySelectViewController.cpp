#include "account/MVTAddToClassBySelectViewController.h"

#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"

MVTAddToClassBySelectViewController::MVTAddToClassBySelectViewController() = default;
MVTAddToClassBySelectViewController::~MVTAddToClassBySelectViewController() = default;

void MVTAddToClassBySelectViewController::viewDidLoad() { ViewViewController::viewDidLoad(); }
void MVTAddToClassBySelectViewController::initTitleView() {}
void MVTAddToClassBySelectViewController::initMainView() {}
void MVTAddToClassBySelectViewController::goback() {}
void MVTAddToClassBySelectViewController::getLvlData() {}
void MVTAddToClassBySelectViewController::getLevelData() {}
void MVTAddToClassBySelectViewController::getGradeData() {}
void MVTAddToClassBySelectViewController::getClassData() {}
void MVTAddToClassBySelectViewController::pickerReloadAllComponents() {}
void MVTAddToClassBySelectViewController::addToClass() {}
void MVTAddToClassBySelectViewController::showHUDWithBool(bool) {}
int MVTAddToClassBySelectViewController::numberOfComponentsInPickerView(platform::PickerView&) { return 1; }
int MVTAddToClassBySelectViewController::numberOfRowsInComponent(platform::PickerView&, int) {
    return static_cast<int>(dataArray_.size());
}
std::string MVTAddToClassBySelectViewController::titleForRow(platform::PickerView&, int, int) { return {}; }
void MVTAddToClassBySelectViewController::didSelectRow(platform::PickerView&, int, int) {}
void MVTAddToClassBySelectViewController::alertViewClickedButtonAtIndex(platform::AlertView&, long) {}
bool MVTAddToClassBySelectViewController::classListContains(const std::string&, const std::string&) { return false; }
