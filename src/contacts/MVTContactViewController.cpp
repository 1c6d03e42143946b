#include "contacts/MVTContactViewController.h"

#include "account/MVTAddToClassViewController.h"
#include "contacts/ContactsShared.h"
#include "contacts/MVTContactListViewController.h"
#include "contacts/MVTGroupListViewController.h"
#include "contacts/MVTSearchFriendViewController.h"
#include "contacts/MVTSelectMemberViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myNavigationController.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

#include <cmath>

using namespace platform;

namespace {

constexpr double kSegmentWidth = 160;
constexpr long kSegmentPictureTag = 1;
constexpr long kSegmentTitleTag = 2;

struct SegmentLook {
    const char* title;
    const char* picture;
    const char* selectedPicture;
};

SegmentLook segmentLook(long tag) {
    if (tag == MVTContactViewController::kFriendsSegmentTag)
        return {"好友", "contact_friend.png", "contact_friend_selected.png"};
    return {"群组", "contact_group.png", "contact_group_selected.png"};
}

// Picture over title; the picture and the title colour follow the selection.
void paintSegment(Button& segment) {
    const SegmentLook look = segmentLook(segment.tag());
    if (auto picture = std::dynamic_pointer_cast<ImageView>(segment.viewWithTag(kSegmentPictureTag)))
        picture->setImage(Image::imageNamed(segment.isSelected() ? look.selectedPicture : look.picture));
    if (auto title = std::dynamic_pointer_cast<Label>(segment.viewWithTag(kSegmentTitleTag)))
        title->setTextColor(segment.isSelected() ? Color::rgb255(55, 152, 28) : Color::rgb255(110, 110, 110));
}

}  // namespace

void MVTContactViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("联系人"));
    StatisticsKit::shared().beginLogPageView(kPageName);

    auto weak = weakAs<MVTContactViewController>();
    selectBtn_ = std::make_shared<Button>(Rect(8, 0, 44, 44));
    selectBtn_->setBackgroundColor(Color::clear());
    selectBtn_->setImage(Image::imageNamed("add_nor_org"));
    selectBtn_->setImageEdgeInsets({10, 10, 10, 10});
    selectBtn_->setAccessibilityLabel("+");
    selectBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toSelectContact();
    });
    auto holder = std::make_shared<View>(Rect(0, 0, 44, 44));
    holder->setBackgroundColor(Color::clear());
    holder->addSubview(selectBtn_);
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(holder));
    navigationItem().setHidesBackButton(true);

    createSegView();
    if (MVTPublicMethod::isUnClassId()) {
        showJoinClassAlert();
        return;
    }
    const double width = view()->bounds().width();
    const double height = Screen::mainScreen().bounds().height() - 100;
    contactList_ = std::make_shared<MVTContactListViewController>();
    contactList_->setIspresent(true);
    contactList_->setIsFormInreractionClick(true);
    contactList_->setPDelegate(weakAs<ViewController>());
    friendsView_ = std::make_shared<View>(Rect(0, kSegmentHeight, width, height));
    contactList_->view()->setFrame({0, 0, width, height});
    friendsView_->addSubview(contactList_->view());
    view()->addSubview(friendsView_);

    groupList_ = std::make_shared<MVTGroupListContactViewController>();
    groupList_->setPDelegate(weakAs<ViewController>());
    groupView_ = std::make_shared<View>(friendsView_->frame());
    groupList_->view()->setFrame({0, 0, width, height});
    groupView_->addSubview(groupList_->view());
    view()->addSubview(groupView_);
    groupView_->setHidden(true);
}

void MVTContactViewController::createSegView() {
    if (segView_) return;
    const double width = view()->bounds().width();
    segView_ = std::make_shared<View>(Rect(0, 0, width, kSegmentHeight));
    segView_->setBackgroundColor(Color::whiteColor());
    auto weak = weakAs<MVTContactViewController>();
    for (int i = 0; i < 2; ++i) {
        const long tag = i == 0 ? kFriendsSegmentTag : kGroupsSegmentTag;
        const SegmentLook look = segmentLook(tag);
        const double x = (width / 2 - kSegmentWidth) / 2 + i * width / 2;
        auto segment = std::make_shared<Button>(Rect(x, 0, kSegmentWidth, kSegmentHeight));
        segment->setBackgroundColor(Color::whiteColor());
        segment->setTag(tag);
        segment->setAccessibilityLabel(localized(look.title));
        auto picture = std::make_shared<ImageView>(Rect((kSegmentWidth - 22) / 2, 6, 22, 22));
        picture->setContentMode(ContentMode::ScaleAspectFit);
        picture->setTag(kSegmentPictureTag);
        segment->addSubview(picture);
        auto title = std::make_shared<Label>(Rect(0, 31, kSegmentWidth, 14));
        title->setFont(Font::systemFontOfSize(10));
        title->setTextAlignment(TextAlignment::Center);
        title->setText(localized(look.title));
        title->setTag(kSegmentTitleTag);
        segment->addSubview(title);
        segment->setSelected(i == 0);
        segment->setUserInteractionEnabled(i != 0);
        paintSegment(*segment);
        segment->addTarget(ControlEventTouchUpInside, [weak](Control& sender) {
            if (auto self = weak.lock()) self->toChangeFriendsOrGroup(static_cast<Button&>(sender));
        });
        segView_->addSubview(segment);
    }
    // Tags below 10 keep the dividers out of the switching.
    auto divider = std::make_shared<View>(Rect(width / 2, 10, 0.5, kSegmentHeight - 20));
    divider->setBackgroundColor(Color::rgb255(217, 222, 216));
    divider->setTag(0);
    segView_->addSubview(divider);
    auto bottom = std::make_shared<View>(Rect(0, kSegmentHeight - 0.5, width, 0.5));
    bottom->setBackgroundColor(Color::rgb255(217, 222, 216));
    bottom->setTag(1);
    segView_->addSubview(bottom);
    triImageView_ = std::make_shared<ImageView>(Rect((width / 2 - 15) / 2, 41, 15, 9));
    triImageView_->setImage(Image::imageNamed("album_tri"));
    segView_->addSubview(triImageView_);
    view()->addSubview(segView_);
}

void MVTContactViewController::toChangeFriendsOrGroup(Button& tapped) {
    if (MVTPublicMethod::isUnClassId()) {
        showJoinClassAlert();
        return;
    }
    const long chosen = tapped.tag();
    for (const auto& sub : segView_->subviews()) {
        if (sub->tag() < kFriendsSegmentTag) continue;
        auto segment = std::dynamic_pointer_cast<Button>(sub);
        if (!segment) continue;
        segment->setSelected(segment->tag() == chosen);
        segment->setUserInteractionEnabled(!segment->isSelected());
        paintSegment(*segment);
    }
    auto marker = triImageView_;
    const Rect under = tapped.frame();
    animate(kTurnTime, [marker, under] {
        Rect frame = marker->frame();
        marker->setFrame({under.midX() - frame.width() / 2, frame.y(), frame.width(), frame.height()});
    });
    const bool friends = chosen == kFriendsSegmentTag;
    if (friendsView_) friendsView_->setHidden(!friends);
    if (groupView_) groupView_->setHidden(friends);
}

// ---- Add menu

void MVTContactViewController::toSelectContact() {
    if (titleSelectView_) {
        removeTitleSelectView();
        return;
    }
    auto plus = selectBtn_;
    animate(kTurnTime, [plus] { plus->setTransform(AffineTransform::rotation(-M_PI / 4)); });
    titleSelectView_ = std::make_shared<MVTContactTitleDownSelectView>(
        Rect(0, 0, view()->bounds().width(), Screen::mainScreen().bounds().height() - 64));
    view()->addSubview(titleSelectView_);
    // The menu wires its entries to the delegate it has when the titles arrive.
    titleSelectView_->setDelegate(weakAs<MVTContactTitleDownSelectViewDelegate>());
    titleSelectView_->setSelectViewWith({localized("添加好友"), localized("创建群组"), localized("加入班级")});
}

void MVTContactViewController::removeTitleSelectView() {
    if (titleSelectView_) titleSelectView_->selfremoveFromSuperview();
}

void MVTContactViewController::setRightButton() {
    auto plus = selectBtn_;
    animate(kTurnTime, [plus] { plus->setTransform(AffineTransform::identity()); });
    titleSelectView_.reset();
}

void MVTContactViewController::buttonClick(Button& button) {
    if (titleSelectView_) removeTitleSelectView();
    switch (button.tag()) {
        case 0: addNewFriend(); break;
        case 1: addNewGroup(); break;
        case 2: addToClass(); break;
        default: break;
    }
}

void MVTContactViewController::addNewFriend() {
    if (MVTPublicMethod::isUnClassId()) {
        showJoinClassAlert();
        return;
    }
    auto search = std::make_shared<MVTSearchFriendViewController>();
    search->setWhereFrom("addressList");
    presentViewController(myNavigationController::withRoot(search), true);
}

void MVTContactViewController::addNewGroup() {
    auto& account = MVTAccount::sharedInstance();
    // The sign-in request escapes each credential as one path segment; the URL holds the
    // password, so it is never logged.
    auto request = MVTAppDelegate::signInRequest(account.userName().value_or(""), account.password().value_or(""));
    if (!request) {
        contacts::showBanner(0);
        return;
    }
    auto weak = weakAs<MVTContactViewController>();
    HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            const Json& allowed = valueFor(valueFor(reply, "configs"), "createForum");
            if (allowed.is_discarded() || !boolValue(allowed)) {
                // Shown as it stands in every language.
                self->showNews(kCreateGroupClosed);
                return;
            }
            if (MVTPublicMethod::isUnClassId()) {
                self->showJoinClassAlert();
                return;
            }
            auto picker = std::make_shared<MVTSelectMemberViewController>();
            picker->setWhereFrom(MVTSelectMemberViewController::kGroupNew);
            picker->setIspresent(true);
            contacts::presentInNavigation(*self, picker);
        },
        // A failed question opens nothing and says nothing.
        [](HttpRequestOperation&, const HttpError&) {})
        ->start();
}

void MVTContactViewController::addToClass() {
    if (contacts::accountRole() == "student" && !MVTPublicMethod::isUnClassId()) {
        auto alert = AlertView::make("已加入班级", "", weakAs<AlertViewDelegate>(), localized("确定"));
        alert->setTag(0);
        alert->show();
        return;
    }
    contacts::presentInNavigation(*this, std::make_shared<MVTAddToClassViewController>());
}

void MVTContactViewController::showJoinClassAlert() { contacts::showJoinClassAlert(weakAs<AlertViewDelegate>()); }

void MVTContactViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    contacts::joinClassAnswer(alert, index, *this);
}

void MVTContactViewController::showNews(const std::string& text) {
    const double width = Screen::mainScreen().bounds().width();
    if (!bannerLabel_) {
        bannerLabel_ = std::make_shared<Label>(Rect(5, -30, width - 10, 26));
        bannerLabel_->setCornerRadius(4);
        bannerLabel_->setClipsToBounds(true);
        bannerLabel_->setTextAlignment(TextAlignment::Center);
        bannerLabel_->setTextColor(Color::whiteColor());
        bannerLabel_->setFont(Font::boldSystemFontOfSize(14));
        bannerLabel_->setBackgroundColor(Color::rgb255(58, 145, 32));
        view()->addSubview(bannerLabel_);
    }
    view()->bringSubviewToFront(bannerLabel_);
    bannerLabel_->setText(text);
    bannerLabel_->setFrame({5, -30, width - 10, 26});
    bannerLabel_->setAlpha(0);
    auto banner = bannerLabel_;
    // Down into view, then slowly back up out of sight.
    animate(
        kBannerDrop,
        [banner, width] {
            banner->setFrame({5, 5, width - 10, 26});
            banner->setAlpha(1);
        },
        [banner, width](bool finished) {
            if (!finished) return;
            animate(kBannerRise, [banner, width] { banner->setFrame({5, -30, width - 10, 26}); });
        });
}
