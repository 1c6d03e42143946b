#include "me/MVTUserSettingViewController.h"

#include "me/MVTAboutTirraViewController.h"
#include "me/MVTTimeSpaceViewController.h"
#include "me/MVTUniversalViewSettingViewController.h"
#include "me/SpaceShared.h"

#include "account/MVTAccountManagementViewController.h"
#include "composer/MVTSaveDynamicViewController.h"
#include "details/MVTRelevantMeViewController.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MyTabBarController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/MVTtirraDataBase.h"

#include "platform/Files.h"
#include "platform/HttpMultipartForm.h"
#include "platform/RunLoop.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {

std::string filled(std::string pattern, const std::vector<std::string>& values) {
    for (const auto& value : values) {
        const auto at = pattern.find("%@");
        if (at == std::string::npos) break;
        pattern.replace(at, 2, value);
        // Keep searching after the value, so a value holding "%@" stays as it is.
    }
    return pattern;
}

std::shared_ptr<Label> headerLabel(const Rect& frame, const std::string& text, const Font& font, const Color& color,
                                   int tag) {
    auto label = std::make_shared<Label>(frame);
    label->setText(text);
    label->setFont(font);
    label->setTextColor(color);
    label->setBackgroundColor(Color::clear());
    label->setTextAlignment(TextAlignment::Left);
    label->setTag(tag);
    return label;
}

}  // namespace

MVTUserSettingViewController::MVTUserSettingViewController() = default;
MVTUserSettingViewController::~MVTUserSettingViewController() = default;

std::string MVTUserSettingViewController::avatarFile(const std::string& userId) {
    return MVTPublicMethod::getPathByFileName(userId, "png");
}

int MVTUserSettingViewController::currentUserIdNumber() {
    return int(integerValue(MVTAccount::sharedInstance().userId().value_or("")));
}

void MVTUserSettingViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("我"));
    oldUserId_ = currentUserIdNumber();
    setInfoArray_ = {"动态", "与我相关", "草稿箱", "账号管理", "系统设置", "关于岚溪"};
    initNewSetTableView();

    // The change-user strip, above the tab bar and over the end of the table.
    const Rect screen = Screen::mainScreen().bounds();
    const double stripY = screen.height() - 114 - kQuitStripHeight;
    auto strip = std::make_shared<View>(Rect(0, stripY, screen.width(), kQuitStripHeight));
    strip->setBackgroundColor(Color::rgb255(234, 234, 234));
    quitButton_ = Button::buttonWithType(ButtonType::Custom);
    quitButton_->setFrame({(screen.width() - 225) / 2, 12, 225, 25});
    quitButton_->setBackgroundImage(Image::imageNamed("quit"));
    quitButton_->setBackgroundImage(Image::imageNamed("quit_press"), ControlStateHighlighted);
    quitButton_->setCornerRadius(2);
    quitButton_->setTitle(localized("更改用户"));
    quitButton_->setTitleColor(Color::whiteColor());
    quitButton_->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
    std::weak_ptr<MVTUserSettingViewController> weak = weakAs<MVTUserSettingViewController>();
    quitButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->quitLogin();
    });
    strip->addSubview(quitButton_);
    view()->addSubview(strip);
}

void MVTUserSettingViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    const int now = currentUserIdNumber();
    if (now == oldUserId_) return;
    // Another account has signed in since: a new bar, and the feed tab in front.
    oldUserId_ = now;
    setInfoArray_ = {"动态", "与我相关", "草稿箱", "账号管理", "系统设置", "关于岚溪"};
    if (auto* tabs = dynamic_cast<MyTabBarController*>(tabBarController())) {
        tabs->addMyitems();
        tabs->changeToDynamic();
    }
    initNewSetTableView();
}

void MVTUserSettingViewController::initNewSetTableView() {
    if (settingTable_) {
        settingTable_->reloadData();
        return;
    }
    const Rect screen = Screen::mainScreen().bounds();
    settingTable_ = myTableView::make({0, 0, screen.width(), screen.height() - 114}, TableViewStyle::Plain);
    settingTable_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    settingTable_->setBackgroundColor(Color::clear());
    settingTable_->setShowsVerticalScrollIndicator(false);
    settingTable_->setShowsHorizontalScrollIndicator(false);
    auto self = std::static_pointer_cast<MVTUserSettingViewController>(shared_from_this());
    settingTable_->setDataSource(self);
    settingTable_->setDelegate(self);
    view()->addSubview(settingTable_);
}

int MVTUserSettingViewController::numberOfSectionsInTableView(TableView&) { return 2; }

int MVTUserSettingViewController::numberOfRowsInSection(TableView&, int section) {
    return section == 0 ? 1 : int(setInfoArray_.size());
}

double MVTUserSettingViewController::heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) {
    return indexPath.section == 0 ? kHeaderRowHeight : kMenuRowHeight;
}
double MVTUserSettingViewController::heightForHeaderInSection(TableView&, int) { return 0; }
double MVTUserSettingViewController::heightForFooterInSection(TableView&, int) { return 0; }

std::shared_ptr<TableViewCell> MVTUserSettingViewController::cellForRowAtIndexPath(TableView&,
                                                                                   const IndexPath& indexPath) {
    return indexPath.section == 0 ? headerCell() : menuCell(indexPath.row);
}

std::shared_ptr<TableViewCell> MVTUserSettingViewController::headerCell() {
    auto& account = MVTAccount::sharedInstance();
    const std::string userId = account.userId().value_or("");
    const std::string role = account.role().value_or("");
    const double W = Screen::mainScreen().bounds().width();
    auto cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "");
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->setAccessoryType(TableViewCellAccessoryType::None);
    auto background = std::make_shared<View>(Rect(0, 0, W, kHeaderRowHeight));
    background->setBackgroundColor(Color::rgb255(30, 44, 58));
    cell->contentView()->addSubview(background);

    auto ring = std::make_shared<View>(Rect(8, 8, 61, 61));
    ring->setBackgroundColor(Color::whiteColor());
    ring->setCornerRadius(30.5);
    cell->contentView()->addSubview(ring);
    auto avatar = Button::buttonWithType(ButtonType::Custom);
    avatar->setFrame({10, 10, 57, 57});
    avatar->setCornerRadius(28.5);
    avatar->setClipsToBounds(true);
    avatar->setTag(kAvatarButtonTag);
    avatar->setImage(Image::imageNamed(MVTPublicMethod::defaultFaceImageName(role)));
    // The avatar download reads whose picture it is from these two.
    avatar->setAccessibilityHint(userId);
    avatar->setAccessibilityValue(role);
    std::weak_ptr<MVTUserSettingViewController> weak = weakAs<MVTUserSettingViewController>();
    avatar->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->iconBtnClick();
    });
    cell->contentView()->addSubview(avatar);
    MVTPublicMethod::setFaceImage(avatar, avatarFile(userId), role);

    const double x = 57 + 20;
    const Color grey = Color::rgb255(170, 170, 170);
    auto name = headerLabel({x, role == "parent" ? 27.0 : 10.0, 150, 23}, account.name().value_or(""),
                            Font::boldSystemFontOfSize(16), Color::whiteColor(), kNameLabelTag);
    cell->contentView()->addSubview(name);
    if (role == "parent") return cell;
    if (role == "student") {
        const std::string level = filled(localized("LV%@(%@分)"), {account.userLvl().value_or(""),
                                                                   account.userIntegralGet().value_or("")});
        // Fitted in the plain font before the bold one is set, as the header always was.
        const double width = TextMeasure::sizeWithFont(level, Font::systemFontOfSize(17)).width;
        auto levelLabel = headerLabel({x, 40, width, 23}, level, Font::boldSystemFontOfSize(14), grey, kLevelLabelTag);
        cell->contentView()->addSubview(levelLabel);
        auto missing = headerLabel({x + width, 40, 150, 23},
                                   filled(localized("还差%@分升级"), {account.userIntegral().value_or("")}),
                                   Font::systemFontOfSize(12), Color::rgb255(180, 180, 180), kMissingLabelTag);
        cell->contentView()->addSubview(missing);
        return cell;
    }
    // The words and the colon in grey, the points in orange.
    const std::string text = filled(localized("经验积分: %@"), {account.userIntegral().value_or("")});
    const std::string words = utf16Substring(text, 0, std::min<std::size_t>(6, utf16Length(text)));
    const std::string points = utf16Substring(text, utf16Length(words), utf16Length(text) - utf16Length(words));
    const Font font = Font::boldSystemFontOfSize(12);
    const double wordsWidth = TextMeasure::sizeWithFont(words, font).width;
    cell->contentView()->addSubview(headerLabel({x, 40, wordsWidth, 23}, words, font, grey, kPointsLabelTag));
    cell->contentView()->addSubview(headerLabel({x + wordsWidth, 40, std::max(0.0, 120 - wordsWidth), 23}, points,
                                                font, Color::rgb255(244, 168, 39), kPointsValueLabelTag));
    return cell;
}

std::shared_ptr<TableViewCell> MVTUserSettingViewController::menuCell(int row) {
    const double W = Screen::mainScreen().bounds().width();
    auto cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "");
    cell->setSelectionStyle(TableViewCellSelectionStyle::Gray);
    cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    auto background = std::make_shared<View>(Rect(0, 0, W, kMenuRowHeight));
    background->setBackgroundColor(Color::rgb255(242, 242, 242));
    cell->setBackgroundView(background);
    if (row < 0 || row >= int(setInfoArray_.size())) return cell;
    auto label = headerLabel({10, 2, W - 100, 40}, localized(setInfoArray_[std::size_t(row)]),
                             Font::fontWithName("Helvetica", 16), Color::rgb255(119, 119, 119), 0);
    cell->contentView()->addSubview(label);
    if (row > 0) {
        auto line = std::make_shared<View>(Rect(0, 0, W, 0.6));
        line->setBackgroundColor(Color::rgb255(217, 222, 216));
        cell->contentView()->addSubview(line);
    }
    return cell;
}

void MVTUserSettingViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.section == 0) {
        openOwnSpace();
        return;
    }
    if (indexPath.row < 0 || indexPath.row >= int(setInfoArray_.size())) return;
    const std::string& row = setInfoArray_[std::size_t(indexPath.row)];
    if (row == "动态") openOwnSpace();
    else if (row == "与我相关") present(std::make_shared<MVTRelevantMeViewController>());
    else if (row == "草稿箱") openSaveDynamic();
    else if (row == "账号管理") present(std::make_shared<MVTAccountManagementViewController>());
    else if (row == "系统设置") present(std::make_shared<MVTUniversalViewSettingViewController>());
    else if (row == "关于岚溪") present(std::make_shared<MVTAboutTirraViewController>());
}

void MVTUserSettingViewController::present(const std::shared_ptr<ViewController>& screen) {
    presentViewController(myNavigationController::withRoot(screen), true);
}

void MVTUserSettingViewController::openOwnSpace() {
    auto& account = MVTAccount::sharedInstance();
    const std::string role = account.role().value_or("");
    if (role == "system") return;
    auto space = std::make_shared<MVTTimeSpaceViewController>();
    space->setUserDict({{"id", account.userId().value_or("")}, {"name", account.name().value_or("")}, {"role", role}});
    present(space);
}

void MVTUserSettingViewController::openSaveDynamic() { present(std::make_shared<MVTSaveDynamicViewController>()); }

void MVTUserSettingViewController::reloadUserLvl() {
    if (settingTable_) settingTable_->reloadData();
}

void MVTUserSettingViewController::reloadRelativeAndCommentCount() {
    if (settingTable_) settingTable_->reloadRowsAtIndexPaths({{1, 0}}, TableViewRowAnimation::None);
}

void MVTUserSettingViewController::quitLogin() {
    if (auto* tabs = dynamic_cast<MyTabBarController*>(tabBarController())) {
        if (auto timer = tabs->refreshTimer()) timer->invalidate();
        tabs->setRefreshTimer(nullptr);
    }
    // What the drops answer does not matter: the user leaves either way.
    MVTtirraDataBase::deleteAllUsers();
    MVTtirraDataBase::deleteAllUserNewsSetting();
    MVTtirraDataBase::deleteSaveUser();
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->gotosetview(true);
}

void MVTUserSettingViewController::cropImageViewControllerDidFinished(ImageRef image) {
    // A crop that gives no picture sends nothing.
    if (!image) return;
    std::weak_ptr<MVTUserSettingViewController> weak = weakAs<MVTUserSettingViewController>();
    RunLoop::main().performAfter(kAvatarUploadDelay, [weak, image] {
        if (auto self = weak.lock()) self->changeHeadImage(image);
    });
}

void MVTUserSettingViewController::changeHeadImage(const ImageRef& image) {
    if (!image) return;
    const std::string me = space::currentUserId();
    const auto upright = MVTPublicMethod::scale(image, image->size());
    const std::string bytes = MVTPublicMethod::imageData(upright);
    const std::string fileName = percentEscape("来自" + MVTPublicMethod::currentDevicemodel() + "的头像图片.png");
    std::weak_ptr<MVTUserSettingViewController> weak = weakAs<MVTUserSettingViewController>();
    const bool sent = space::sendMultipart(
        "user/" + me + "/avatar/upload",
        [&](HttpMultipartForm& form) { form.appendPart("image", fileName, "application/octet-stream", bytes); }, HUD_,
        view(),
        [weak, me, image](const std::string&) {
            const std::string file = avatarFile(me);
            std::error_code ignored;
            std::filesystem::remove(file, ignored);
            writeFileAtomically(file, MVTPublicMethod::imageData(image));
            MVTPublicMethod::saveBackGroudImage(image, "icon");
            auto self = weak.lock();
            if (self && self->settingTable_)
                self->settingTable_->reloadRowsAtIndexPaths({{0, 0}}, TableViewRowAnimation::None);
        },
        [] { AlertView::make(localized("提示"), localized("更改头像失败,请重新更改"), {}, "确定")->show(); });
    if (sent) HUD_->setLabelText(localized("正在更换头像"));
}
