#include "contacts/MVTContactViewController.h"

#include "account/MVTAddToClassViewController.h"
#include "contacts/ContactsShared.h"
#include "contacts/MVTContactListViewController.h"
#include "contacts/MVTGroupListViewController.h"
#include "contacts/MVTNewFriendViewController.h"
#include "contacts/MVTSearchFriendViewController.h"
#include "contacts/MVTSelectMemberViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"

#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Screen.h"

#include <cmath>

using namespace platform;

void MVTContactListViewController::newFriend() {
    auto requests = std::make_shared<MVTNewFriendViewController>();
    requests->setDelegate(weakAs<addNewFriendDelegate>());
    // Presented by the tab that holds this pane.
    ViewController* presenter = parentViewController() ? parentViewController() : this;
    presenter->presentViewController(myNavigationController::withRoot(requests), true);
}

std::shared_ptr<Button> MVTContactViewController::segmentButton(int pane, const std::string& title, double x,
                                                                double width) {
    auto button = std::make_shared<Button>(Rect(x, 0, width, kSegmentHeight));
    button->setTitle(title);
    button->setTitleColor(Color::rgb255(60, 60, 60));
    button->setTitleColor(Color::rgb255(55, 152, 28), ControlStateSelected);
    button->titleLabel()->setFont(Font::systemFontOfSize(14));
    button->setAccessibilityLabel(title);
    auto weak = weakAs<MVTContactViewController>();
    button->addTarget(ControlEventTouchUpInside, [weak, pane](Control&) {
        if (auto self = weak.lock()) self->showPane(pane);
    });
    view()->addSubview(button);
    return button;
}

void MVTContactViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("联系人"));
    auto weak = weakAs<MVTContactViewController>();
    plusButton_ = MVTPublicMethod::navigationrightBarButtonWithImage("add_nor_org");
    plusButton_->setAccessibilityLabel("+");
    plusButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->rightButtonClick();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(plusButton_));

    const double width = Screen::mainScreen().bounds().width();
    friendsTab_ = segmentButton(0, localized("好友"), 0, width / 2);
    groupsTab_ = segmentButton(1, localized("群组"), width / 2, width / 2);
    auto line = std::make_shared<View>(Rect(0, kSegmentHeight - 0.5, width, 0.5));
    line->setBackgroundColor(Color::rgb255(217, 222, 216));
    view()->addSubview(line);

    contactList_ = std::make_shared<MVTContactListViewController>();
    addChildViewController(contactList_);
    groupList_ = std::make_shared<MVTGroupListContactViewController>();
    groupList_->setPDelegate(weakAs<ViewController>());
    addChildViewController(groupList_);
    showPane(0);
}

void MVTContactViewController::showPane(int pane) {
    pane_ = pane;
    friendsTab_->setSelected(pane == 0);
    groupsTab_->setSelected(pane == 1);
    const Rect bounds = view()->bounds();
    const Rect frame(0, kSegmentHeight, bounds.width(), bounds.height() - kSegmentHeight);
    std::shared_ptr<ViewController> shown = pane == 0 ? std::static_pointer_cast<ViewController>(contactList_)
                                                      : std::static_pointer_cast<ViewController>(groupList_);
    std::shared_ptr<ViewController> hidden = pane == 0 ? std::static_pointer_cast<ViewController>(groupList_)
                                                       : std::static_pointer_cast<ViewController>(contactList_);
    if (hidden->isViewLoaded()) hidden->view()->removeFromSuperview();
    shown->view()->setFrame(frame);
    view()->addSubview(shown->view());
    if (menu_) view()->bringSubviewToFront(menu_);
}

void MVTContactViewController::rightButtonClick() {
    if (menu_) {
        menu_->selfremoveFromSuperview();
        return;
    }
    auto plus = plusButton_;
    animate(kTurnTime, [plus] { plus->setTransform(AffineTransform::rotation(-M_PI / 4)); });
    const double width = view()->bounds().width();
    menu_ = std::make_shared<MVTContactTitleDownSelectView>(
        Rect(0, 0, width, Screen::mainScreen().bounds().height() - 64));
    view()->addSubview(menu_);
    menu_->setDelegate(weakAs<MVTContactTitleDownSelectViewDelegate>());
    menu_->setSelectViewWith({localized("添加好友"), localized("创建群组"), localized("加入班级")});
}

void MVTContactViewController::setRightButton() {
    auto plus = plusButton_;
    animate(kTurnTime, [plus] { plus->setTransform(AffineTransform::identity()); });
    menu_.reset();
}

void MVTContactViewController::buttonClick(Button& button) {
    if (menu_) menu_->selfremoveFromSuperview();
    switch (button.tag()) {
        case 1: addGroup(); break;
        case 2: addToClass(); break;
        default: addFriend(); break;
    }
}

void MVTContactViewController::addFriend() {
    auto search = std::make_shared<MVTSearchFriendViewController>();
    search->setWhereFrom("addressList");
    presentViewController(myNavigationController::withRoot(search), true);
}

void MVTContactViewController::addGroup() {
    if (MVTPublicMethod::isUnClassId()) {
        contacts::showJoinClassAlert(weakAs<AlertViewDelegate>());
        return;
    }
    auto picker = std::make_shared<MVTSelectMemberViewController>();
    picker->setWhereFrom(MVTSelectMemberViewController::kGroupNew);
    picker->setIspresent(true);
    contacts::presentInNavigation(*this, picker);
}

void MVTContactViewController::addToClass() {
    auto& account = MVTAccount::sharedInstance();
    if (contacts::accountRole() == "student" && !account.classId().value_or("").empty()) {
        AlertView::make(localized("已加入班级"), "", {}, localized("确定"))->show();
        return;
    }
    contacts::presentInNavigation(*this, std::make_shared<MVTAddToClassViewController>());
}

void MVTContactViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    contacts::joinClassAnswer(alert, index, *this);
}
