#include "shell/MVTShowImagesViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

MVTShowImagesViewController::MVTShowImagesViewController() = default;

MVTShowImagesViewController::~MVTShowImagesViewController() = default;

void MVTShowImagesViewController::viewDidLoad() { ViewController::viewDidLoad(); }

void MVTShowImagesViewController::goback() {
    if (auto* navigation = navigationController()) navigation->popToRootViewController(true);
}

void MVTShowImagesViewController::toloadImageWith(const std::string& nowImageUrl, const Json& allImagesArr) {
    (void)nowImageUrl;
    (void)allImagesArr;
}

void MVTShowImagesViewController::toGetLiteImage(const std::shared_ptr<ImageView>& pictureView) { (void)pictureView; }

void MVTShowImagesViewController::showHiddenBar() { isHidden_ = !isHidden_; }

void MVTShowImagesViewController::scrollViewDidScroll(ScrollView& scrollView) { (void)scrollView; }

std::shared_ptr<View> MVTShowImagesViewController::viewForZoomingInScrollView(ScrollView& scrollView) {
    (void)scrollView;
    return nullptr;
}
