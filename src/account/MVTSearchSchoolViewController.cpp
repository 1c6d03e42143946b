#include "account/MVTSearchSchoolViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TableViewCell.h"

MVTSearchSchoolViewController::MVTSearchSchoolViewController() = default;
MVTSearchSchoolViewController::~MVTSearchSchoolViewController() = default;

void MVTSearchSchoolViewController::viewDidLoad() { ViewViewController::viewDidLoad(); }
void MVTSearchSchoolViewController::initSearchView() {}
void MVTSearchSchoolViewController::initTable() {}
void MVTSearchSchoolViewController::creatFooter() {}
void MVTSearchSchoolViewController::startSearch() {}
void MVTSearchSchoolViewController::toCancel() {}
void MVTSearchSchoolViewController::toSearchSchool() {}
void MVTSearchSchoolViewController::didSelectWhichSchoolIdWith(const std::string&) {}
void MVTSearchSchoolViewController::nowBackToLogin() {}
void MVTSearchSchoolViewController::goback() {}
void MVTSearchSchoolViewController::showHUDWithBool(bool) {}
bool MVTSearchSchoolViewController::textFieldShouldReturn(platform::TextField&) { return true; }
bool MVTSearchSchoolViewController::textFieldShouldClear(platform::TextField&) { return true; }
int MVTSearchSchoolViewController::numberOfRowsInSection(platform::TableView&, int) {
    return static_cast<int>(resultArr_.size());
}
std::shared_ptr<platform::TableViewCell> MVTSearchSchoolViewController::cellForRowAtIndexPath(
    platform::TableView&, const platform::IndexPath&) {
    return std::make_shared<platform::TableViewCell>();
}
double MVTSearchSchoolViewController::heightForRowAtIndexPath(platform::TableView&, const platform::IndexPath&) {
    return 44;
}
void MVTSearchSchoolViewController::didSelectRowAtIndexPath(platform::TableView&, const platform::IndexPath&) {}
void MVTSearchSchoolViewController::alertViewClickedButtonAtIndex(platform::AlertView&, long) {}
void MVTSearchSchoolViewController::alert(const std::string&, const std::string&) {}
