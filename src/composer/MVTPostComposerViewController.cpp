#include "composer/MVTPostComposerViewController.h"

#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"

using namespace platform;

void MVTPostComposerViewController::initWithImage(ImageRef image, bool isTaShowImage) {
    firstImage_ = std::move(image);
    isImage_ = firstImage_ || isTaShowImage;
}

void MVTPostComposerViewController::initWithMutableImages(const std::vector<PickedAsset>& assets) {
    firstAssets_ = assets;
    if (!assets.empty()) isImage_ = true;
}

void MVTPostComposerViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized(kind() == Kind::Record ? "发表声音动态" : "发表图文动态"));
    auto back = MVTPublicMethod::navigationleftBarButton();
    std::weak_ptr<MVTPostComposerViewController> weak = weakAs<MVTPostComposerViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
}

void MVTPostComposerViewController::goback() { dismissViewController(true); }
