#include "me/MVTPersonalSpaceSettingViewController.h"

#include "me/SpaceShared.h"

#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/HttpMultipartForm.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

MVTPersonalSpaceSettingViewController::MVTPersonalSpaceSettingViewController() = default;
MVTPersonalSpaceSettingViewController::~MVTPersonalSpaceSettingViewController() = default;

void MVTPersonalSpaceSettingViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    levels_ = {localized("学校用户可见"), localized("班级用户可见"), localized("好友可见"), localized("仅自己可见")};
    initmytable();
    initNavBar();
}

void MVTPersonalSpaceSettingViewController::initmytable() {
    myTable_ = myTableView::make({0, 0, Screen::mainScreen().bounds().width(), 480}, TableViewStyle::Plain);
    myTable_->setScrollEnabled(false);
    myTable_->setBackgroundColor(Color::white(0.961));
    auto self = std::static_pointer_cast<MVTPersonalSpaceSettingViewController>(shared_from_this());
    myTable_->setDataSource(self);
    myTable_->setDelegate(self);
    view()->addSubview(myTable_);
}

void MVTPersonalSpaceSettingViewController::initNavBar() {
    setTitle(localized("空间访问权限设置"));
    std::weak_ptr<MVTPersonalSpaceSettingViewController> weak = weakAs<MVTPersonalSpaceSettingViewController>();
    space::installBackButton(*this, [weak] {
        if (auto self = weak.lock()) self->backButtonClick();
    });
}

void MVTPersonalSpaceSettingViewController::backButtonClick() {
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

void MVTPersonalSpaceSettingViewController::showHUDWithBool(bool show) { space::showOverlay(HUD_, view(), show); }

int MVTPersonalSpaceSettingViewController::numberOfRowsInSection(TableView&, int) { return int(levels_.size()); }
double MVTPersonalSpaceSettingViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 50; }

std::shared_ptr<TableViewCell> MVTPersonalSpaceSettingViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                            const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "Cell");
    for (auto& sub : std::vector<std::shared_ptr<View>>(cell->contentView()->subviews())) sub->removeFromSuperview();
    cell->setBackgroundColor(Color::clear());
    const std::string level =
        indexPath.row >= 0 && indexPath.row < int(levels_.size()) ? levels_[std::size_t(indexPath.row)] : std::string();
    auto label = std::make_shared<Label>(Rect(20, 14, 200, 25));
    label->setFont(Font::systemFontOfSize(14));
    label->setTextColor(Color::rgb255(37, 52, 33));
    label->setTextAlignment(TextAlignment::Left);
    label->setBackgroundColor(Color::clear());
    label->setText(level);
    cell->contentView()->addSubview(label);
    cell->setAccessoryType(!level.empty() && level == limitsString_ ? TableViewCellAccessoryType::Checkmark
                                                                     : TableViewCellAccessoryType::None);
    auto line = std::make_shared<ImageView>(Rect(10, 49, Screen::mainScreen().bounds().width() - 20, 1));
    line->setImage(Image::imageNamed("line_10"));
    cell->contentView()->addSubview(line);
    return cell;
}

void MVTPersonalSpaceSettingViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row < 0 || indexPath.row >= int(levels_.size())) return;
    limitsString_ = levels_[std::size_t(indexPath.row)];
    myTable_->reloadData();
}

void MVTPersonalSpaceSettingViewController::toSetNewSetting(int code) {
    // The running save hides the overlay when it ends.
    if (isLoadIng_) return;
    isLoadIng_ = true;
    std::weak_ptr<MVTPersonalSpaceSettingViewController> weak = weakAs<MVTPersonalSpaceSettingViewController>();
    const bool sent = space::sendMultipart(
        space::currentUserId() + "/forum/set/update",
        [code](HttpMultipartForm& form) { form.appendPart("set", std::to_string(code)); }, HUD_, view(),
        [weak](const std::string&) {
            auto self = weak.lock();
            if (!self) return;
            self->isLoadIng_ = false;
            self->myTable_->reloadData();
        },
        [weak] {
            if (auto self = weak.lock()) self->isLoadIng_ = false;
            AlertView::make(localized("提示"), localized("设置失败,请重新设置"), {}, localized("确定"))->show();
        });
    if (!sent) isLoadIng_ = false;
}
