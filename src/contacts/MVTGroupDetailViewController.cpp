#include "contacts/MVTGroupDetailViewController.h"

#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

void MVTGroupDetailViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("群资料"));
    auto back = MVTPublicMethod::navigationleftBarButton();
    auto weak = weakAs<MVTGroupDetailViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        auto self = weak.lock();
        if (self && self->navigationController()) self->navigationController()->popViewController(true);
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
}
