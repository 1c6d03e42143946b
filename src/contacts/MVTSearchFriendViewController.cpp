#include "contacts/MVTSearchFriendViewController.h"

#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

void MVTSearchFriendViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("添加好友"));
    auto back = MVTPublicMethod::navigationleftBarButton();
    auto weak = weakAs<MVTSearchFriendViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
}

void MVTSearchFriendViewController::goback() {
    auto* navigation = navigationController();
    if (!navigation) return;
    if (whereFrom_ == "newFriend")
        navigation->popViewController(true);
    else
        navigation->dismissViewController(true);
}
