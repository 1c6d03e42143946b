#include "contacts/ContactsShared.h"

#include "account/MVTInterClassViewController.h"
#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myNavigationController.h"

#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/ViewController.h"

using namespace platform;

namespace contacts {

std::string accountUserId() { return MVTAccount::sharedInstance().userId().value_or(""); }
std::string accountRole() { return MVTAccount::sharedInstance().role().value_or(""); }

void showBanner(int kind) {
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(kind);
}

std::shared_ptr<AlertView> showJoinClassAlert(std::weak_ptr<AlertViewDelegate> delegate) {
    bool parent = accountRole() == "parent";
    // The parent's message is shown as it stands, without the string table.
    auto alert = parent ? AlertView::make("", "您的孩子没有加入班级，请让孩子加入班级", delegate, localized("确定"))
                        : AlertView::make("", localized("请先加入班级，可以查看和分享更多精彩"), delegate,
                                          localized("确定"), {localized("取消")});
    alert->setTag(kJoinClassAlertTag);
    alert->show();
    return alert;
}

bool joinClassAnswer(AlertView& alert, long index, ViewController& presenter) {
    if (alert.tag() != kJoinClassAlertTag) return false;
    if (index == 0 && accountRole() != "parent")
        presenter.presentViewController(myNavigationController::withRoot(std::make_shared<MVTInterClassViewController>()),
                                        true);
    return true;
}

void showProgress(std::shared_ptr<ProgressHUD>& hud, const std::shared_ptr<View>& view, bool show) {
    if (show) {
        if (hud) hud->removeFromSuperview();
        hud = ProgressHUD::showHUDAddedTo(view, true);
        hud->setRemoveFromSuperViewOnHide(true);
    } else if (hud) {
        hud->hide(true);
        hud.reset();
    }
}

std::shared_ptr<ImageView> addAvatar(View& content, Point origin, const std::string& userId, const std::string& role,
                                     bool disc) {
    if (disc) {
        auto back = MVTPublicMethod::imageViewWithColor(Color::whiteColor());
        back->setFrame({origin.x - 2, origin.y - 2, 44, 44});
        back->setCornerRadius(22);
        back->setClipsToBounds(true);
        content.addSubview(back);
    }
    auto avatar = std::make_shared<ImageView>(Rect(origin.x, origin.y, 40, 40));
    avatar->setCornerRadius(20);
    avatar->setClipsToBounds(true);
    avatar->setAccessibilityHint(userId);
    avatar->setAccessibilityValue(role);
    content.addSubview(avatar);
    MVTPublicMethod::setFaceImage(avatar, MVTPublicMethod::getPathByFileName(userId, "png"), role);
    return avatar;
}

Color roleStripeColour(const std::string& role) {
    if (role == "teacher" || role == "admin" || role == "system") return Color::rgba(0.318, 0.729, 0.969);
    if (role == "parent") return Color::white(0.51);
    return Color::rgba(0.953, 0.643, 0.153);
}

std::shared_ptr<TableViewCell> emptyCell(TableView& tableView) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "Cell");
        return cell;
    }
    auto subviews = cell->contentView()->subviews();
    for (const auto& sub : subviews) sub->removeFromSuperview();
    return cell;
}

void addLine(View& content, const Rect& frame, const char* picture) {
    auto line = std::make_shared<ImageView>(frame);
    line->setImage(Image::imageNamed(picture));
    content.addSubview(line);
}

void presentInNavigation(ViewController& presenter, const std::shared_ptr<ViewController>& root, bool crossDissolve) {
    auto navigation = myNavigationController::withRoot(root);
    if (crossDissolve) navigation->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
    presenter.presentViewController(navigation, true);
}

}  // namespace contacts
