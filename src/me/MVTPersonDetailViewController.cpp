#include "me/MVTPersonDetailViewController.h"

#include "shell/InternationalControl.h"

using namespace platform;

MVTPersonDetailViewController::MVTPersonDetailViewController() = default;
MVTPersonDetailViewController::~MVTPersonDetailViewController() = default;

void MVTPersonDetailViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized(kPageName));
}

int MVTPersonDetailViewController::numberOfRowsInSection(TableView&, int) { return 0; }

std::shared_ptr<TableViewCell> MVTPersonDetailViewController::cellForRowAtIndexPath(TableView&, const IndexPath&) {
    return std::make_shared<TableViewCell>();
}

double MVTPersonDetailViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 50; }
void MVTPersonDetailViewController::didSelectRowAtIndexPath(TableView&, const IndexPath&) {}
void MVTPersonDetailViewController::scrollViewDidScroll(ScrollView& scrollView) {
    ViewViewController::scrollViewDidScroll(scrollView);
}
void MVTPersonDetailViewController::alertViewClickedButtonAtIndex(AlertView&, long) {}
void MVTPersonDetailViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    ViewViewController::actionSheetClickedButtonAtIndex(sheet, index);
}
