#include "contacts/MVTGroupDetailViewController.h"

#include "albums/MVTGroupPhotosViewController.h"
#include "chat/MVTChatViewController.h"
#include "chat/MVTInteractionViewController.h"
#include "contacts/ContactsShared.h"
#include "contacts/GroupShared.h"
#include "contacts/MVTGongGaoViewController.h"
#include "contacts/MVTGroupMemberViewController.h"
#include "contacts/MVTSelectMemberViewController.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "files/MVTGroupFilesViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"

#include "platform/HttpClient.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/HttpMultipartForm.h"
#include "platform/HttpRequestOperation.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/Window.h"

using namespace platform;

namespace {

constexpr const char* kGroupSettingTexts[] = {"接收消息并提醒", "仅接收消息不提醒", "屏蔽群消息"};
constexpr double kGroupSettingValueWidth = 150;

std::shared_ptr<Button> groupClearButton(const Rect& frame, std::function<void()> action) {
    auto button = std::make_shared<Button>(frame);
    button->setBackgroundColor(Color::clear());
    button->addTarget(ControlEventTouchUpInside, [action = std::move(action)](Control&) { action(); });
    return button;
}

std::shared_ptr<View> groupWhiteRow(const Rect& frame) {
    auto row = std::make_shared<View>(frame);
    row->setBackgroundColor(Color::whiteColor());
    return row;
}

}  // namespace

MVTGroupDetailViewController::MVTGroupDetailViewController() = default;
MVTGroupDetailViewController::~MVTGroupDetailViewController() = default;

void MVTGroupDetailViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("群资料"));
    auto back = MVTPublicMethod::navigationleftBarButton();
    auto weak = weakAs<MVTGroupDetailViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    dataDictionary_ = Json::object();
    netGetData();
    detailToken_.reset();
    detailToken_ = NotificationCenter::defaultCenter().addObserver(groups::kGroupDetailChaged, [weak](const Notification&) {
        if (auto self = weak.lock()) self->netGetData();
    });
}

void MVTGroupDetailViewController::showHUDWithBool(bool show) {
    if (!isViewLoaded()) return;
    contacts::showProgress(hud_, view(), show);
}

void MVTGroupDetailViewController::netGetData() {
    if (isLoadIng_) return;
    isLoadIng_ = true;
    showHUDWithBool(true);
    auto request = MVTPublicMethod::requestWithMethod("GET", ServiceAddress::servicePrefix() + contacts::accountUserId() +
                                                                 "/forum/" + groupId_ + "/" + groupType_ + "/data");
    if (!request) {
        contacts::showBanner(0);
        isLoadIng_ = false;
        showHUDWithBool(false);
        return;
    }
    auto weak = weakAs<MVTGroupDetailViewController>();
    running_ = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->running_.reset();
            // An error reply carries "mesage"; anything but a dictionary is no group data.
            if (reply.is_object() && !reply.contains("mesage")) {
                const Json& type = reply.contains("memberType") ? reply["memberType"] : Json();
                if (type.is_number() || type.is_string()) self->userType_ = std::to_string(intValue(type));
                self->isUserGroup_ = integerValue(self->groupType_) == 3;
                self->dataDictionary_ = reply;
                self->initAllView();
            }
            self->isLoadIng_ = false;
            self->showHUDWithBool(false);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->running_.reset();
            contacts::showBanner(2);
            self->isLoadIng_ = false;
            self->showHUDWithBool(false);
        });
    running_->start();
}

void MVTGroupDetailViewController::goback() {
    detailToken_.reset();
    if (navigationController()) navigationController()->popViewController(true);
}

// ---- The page ------------------------------------------------------------------------------

int MVTGroupDetailViewController::avatarLimit() const {
    return isUserGroup_ && groups::isManagerType(userType_) ? 5 : 6;
}

std::string MVTGroupDetailViewController::settingText(const Json& value) {
    if (!value.is_number_integer() && !value.is_number_unsigned()) return "";
    const long long set = integerValue(value);
    if (set < 0 || set > 2) return "";
    return localized(kGroupSettingTexts[set]);
}

std::string MVTGroupDetailViewController::barText() const {
    return localized(userType_ == "2" ? "解散群组" : "离开群组");
}

void MVTGroupDetailViewController::initAllView() {
    auto subviews = view()->subviews();
    for (const auto& sub : subviews) sub->removeFromSuperview();
    groupNameLabel_.reset();
    groupNewsSettingSelect_.reset();
    settingRow_.reset();
    double y = 10;
    initGroupNameView(y);
    initGroupMemberView(y);
    initGroupNewsSettingView(y);
    if (isUserGroup_) initUserAction();
    if (hud_) view()->bringSubviewToFront(hud_);
}

void MVTGroupDetailViewController::initGroupNameView(double& y) {
    const double width = Screen::mainScreen().bounds().width();
    auto row = groupWhiteRow({0, y, width, 60});
    auto disc = MVTPublicMethod::imageViewWithColor(Color::whiteColor());
    disc->setFrame({10, 8, 44, 44});
    disc->setCornerRadius(22);
    row->addSubview(disc);
    auto picture = std::make_shared<ImageView>(Rect(12, 10, 40, 40));
    picture->setCornerRadius(20);
    picture->setClipsToBounds(true);
    picture->setImage(Image::imageNamed("avatar-group"));
    row->addSubview(picture);
    groupNameString_ = textOf(dataDictionary_, "name");
    groupNameLabel_ = std::make_shared<Label>(Rect(64, 20, width - 100, 20));
    groupNameLabel_->setFont(Font::boldSystemFontOfSize(16));
    groupNameLabel_->setTextColor(Color::rgb255(60, 60, 60));
    groupNameLabel_->setText(groupNameString_);
    row->addSubview(groupNameLabel_);
    if (isUserGroup_ && userType_ == "2") {
        auto mark = std::make_shared<Label>(Rect(width - 30, 20, 20, 20));
        mark->setText(">");
        mark->setTextColor(Color::gray());
        row->addSubview(mark);
        auto weak = weakAs<MVTGroupDetailViewController>();
        auto button = groupClearButton({0, 0, width, 40}, [weak] {
            if (auto self = weak.lock()) self->changeGroupName();
        });
        button->setAccessibilityLabel(localized("修改群名称"));
        row->addSubview(button);
    }
    view()->addSubview(row);
    y += 70;
}

void MVTGroupDetailViewController::initGroupMemberView(double& y) {
    const double width = Screen::mainScreen().bounds().width();
    auto row = groupWhiteRow({0, y, width, 100});
    auto title = std::make_shared<Label>(Rect(12, 8, width - 60, 20));
    title->setFont(Font::systemFontOfSize(15));
    title->setText(localized("群成员") + " (" + textOf(dataDictionary_, "total") + ")");
    row->addSubview(title);
    auto mark = std::make_shared<Label>(Rect(width - 40, 8, 30, 20));
    mark->setText("  >");
    mark->setTextColor(Color::gray());
    row->addSubview(mark);
    auto weak = weakAs<MVTGroupDetailViewController>();
    auto open = groupClearButton({0, 0, width, 100}, [weak] {
        if (auto self = weak.lock()) self->showMembers();
    });
    open->setAccessibilityLabel(localized("群成员"));
    row->addSubview(open);
    const Json& members = valueFor(dataDictionary_, "members");
    int shown = 0;
    if (members.is_array()) {
        for (const auto& member : members) {
            if (shown >= avatarLimit()) break;
            if (!member.is_object()) continue;
            const double x = 12 + kAvatarStep * shown;
            contacts::addAvatar(*row, {x, 34}, groups::memberUid(member), textOf(member, "role"), true);
            auto name = std::make_shared<Label>(Rect(x - 4, 78, 48, 16));
            name->setFont(Font::systemFontOfSize(11));
            name->setTextAlignment(TextAlignment::Center);
            name->setText(textOf(member, "name"));
            row->addSubview(name);
            ++shown;
        }
    }
    if (isUserGroup_ && groups::isManagerType(userType_)) {
        const double x = 12 + kAvatarStep * shown;
        auto add = std::make_shared<Button>(Rect(x, 34, 40, 40));
        add->setImage(Image::imageNamed("addPic"));
        add->setAccessibilityLabel("添加");
        add->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->addMembers();
        });
        row->addSubview(add);
        auto label = std::make_shared<Label>(Rect(x - 4, 78, 48, 16));
        label->setFont(Font::systemFontOfSize(11));
        label->setTextAlignment(TextAlignment::Center);
        label->setText("添加");
        row->addSubview(label);
    }
    view()->addSubview(row);
    y += 110;
}

void MVTGroupDetailViewController::initGroupNewsSettingView(double& y) {
    const double width = Screen::mainScreen().bounds().width();
    settingRow_ = groupWhiteRow({0, y, width, 40});
    auto label = std::make_shared<Label>(Rect(12, 10, 120, 20));
    label->setFont(Font::systemFontOfSize(15));
    label->setText(localized("群消息设置") + ":");
    settingRow_->addSubview(label);
    groupNewsSettingSelect_ = std::make_shared<Label>(Rect(width - kGroupSettingValueWidth - 10, 10, kGroupSettingValueWidth, 20));
    groupNewsSettingSelect_->setFont(Font::systemFontOfSize(14));
    groupNewsSettingSelect_->setTextColor(Color::gray());
    groupNewsSettingSelect_->setTextAlignment(TextAlignment::Right);
    groupNewsSettingSelect_->setNumberOfLines(0);
    settingRow_->addSubview(groupNewsSettingSelect_);
    auto weak = weakAs<MVTGroupDetailViewController>();
    auto button = groupClearButton({0, 0, width, 40}, [weak] {
        if (auto self = weak.lock()) self->showSelect();
    });
    button->setAccessibilityLabel(localized("群消息设置"));
    button->setAutoresizingMask(AutoresizingFlexibleHeight);
    settingRow_->addSubview(button);
    view()->addSubview(settingRow_);
    // A value outside the three settings shows nothing rather than a wrong setting.
    const std::string text = settingText(valueFor(dataDictionary_, "set"));
    layoutSettingValue(text.empty() ? "" : text + "  >");
    y += settingRow_->frame().height() + 10;
}

void MVTGroupDetailViewController::layoutSettingValue(const std::string& text) {
    if (!groupNewsSettingSelect_ || !settingRow_) return;
    auto font = Font::systemFontOfSize(14);
    const double height = text.empty() ? 20 : TextMeasure::size(text, font, kGroupSettingValueWidth).height;
    groupNewsSettingSelect_->setText(text);
    Rect value = groupNewsSettingSelect_->frame();
    value.size.height = height;
    groupNewsSettingSelect_->setFrame(value);
    Rect row = settingRow_->frame();
    row.size.height = std::max(40.0, height + 30);
    settingRow_->setFrame(row);
}

void MVTGroupDetailViewController::initUserAction() {
    const Rect bounds = view()->bounds();
    auto bar = std::make_shared<View>(Rect(0, bounds.height() - 50, bounds.width(), 50));
    bar->setBackgroundColor(Color::rgb255(240, 240, 240));
    auto button = std::make_shared<Button>(Rect(20, 7, bounds.width() - 40, 36));
    button->setTitle(barText());
    button->setTitleColor(Color::whiteColor());
    button->setBackgroundColor(Color::rgb255(220, 70, 60));
    button->setCornerRadius(4);
    auto weak = weakAs<MVTGroupDetailViewController>();
    button->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->outOfThisGroup();
    });
    bar->addSubview(button);
    view()->addSubview(bar);
}

std::shared_ptr<View> MVTGroupDetailViewController::initFileAndPhotoView() {
    const double width = Screen::mainScreen().bounds().width();
    auto row = groupWhiteRow({0, 0, width, 80});
    struct Entry {
        const char* picture;
        const char* title;
        void (MVTGroupDetailViewController::*action)();
    };
    const Entry entries[] = {{"group_gonggao.png", "公告", &MVTGroupDetailViewController::goGonggao},
                             {"group_photo.png", "相册", &MVTGroupDetailViewController::goPhotos},
                             {"group_file.png", "文件", &MVTGroupDetailViewController::goFiles}};
    const double step = width / 3;
    auto weak = weakAs<MVTGroupDetailViewController>();
    for (int i = 0; i < 3; ++i) {
        const Entry& entry = entries[i];
        auto icon = std::make_shared<ImageView>(Rect(step * i + (step - 40) / 2, 10, 40, 40));
        icon->setImage(Image::imageNamed(entry.picture));
        row->addSubview(icon);
        auto label = std::make_shared<Label>(Rect(step * i, 54, step, 18));
        label->setTextAlignment(TextAlignment::Center);
        label->setFont(Font::systemFontOfSize(13));
        label->setText(localized(entry.title));
        row->addSubview(label);
        auto action = entry.action;
        auto button = groupClearButton({step * i, 0, step, 80}, [weak, action] {
            if (auto self = weak.lock()) ((*self).*action)();
        });
        button->setAccessibilityLabel(localized(entry.title));
        row->addSubview(button);
    }
    return row;
}

// ---- Rename --------------------------------------------------------------------------------

void MVTGroupDetailViewController::showRenameAlert(const std::string& title, const std::string& message,
                                                   const std::string& text) {
    auto alert = AlertView::make(title, message, weakAs<AlertViewDelegate>(), localized("取消"), {localized("确定")});
    alert->setAlertViewStyle(AlertViewStyle::PlainTextInput);
    alert->textFieldAtIndex(0)->setText(text);
    alert->setTag(kRenameAlertTag);
    alert->show();
}

void MVTGroupDetailViewController::changeGroupName() {
    showRenameAlert(localized("修改群名称(最多16个字符)"), "", textOf(dataDictionary_, "name"));
}

void MVTGroupDetailViewController::makeSureToChange(const std::string& name) {
    auto request = MVTPublicMethod::requestWithMethod(
        "POST", ServiceAddress::servicePrefix() + "forum/" + groupId_ + "/user/" + contacts::accountUserId() + "/name/update",
        Json{{"name", name}});
    if (!request) {
        contacts::showBanner(0);
        return;
    }
    auto weak = weakAs<MVTGroupDetailViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak, name](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            if (groups::replySucceeded(reply))
                self->renamed(name);
            else
                groups::showRefusal(reply);
            self->showHUDWithBool(false);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            AlertView::make(localized("提示"), localized("设置失败,请重新设置"), {}, localized("确定"))->show();
            self->showHUDWithBool(false);
        });
    operation->start();
}

void MVTGroupDetailViewController::renamed(const std::string& name) {
    groupNameString_ = name;
    if (groupNameLabel_) groupNameLabel_->setText(name);
    if (auto* navigation = navigationController(); navigation && !navigation->viewControllers().empty())
        if (auto chat = std::dynamic_pointer_cast<MVTChatViewController>(navigation->viewControllers().front()))
            chat->setTitle(name);
    NotificationCenter::defaultCenter().postNotification(groups::kGroupListChaged);
    NotificationCenter::defaultCenter().postNotification(groups::kGroupDetailChaged);
}

// ---- Message setting -----------------------------------------------------------------------

void MVTGroupDetailViewController::showSelect() {
    auto sheet = ActionSheet::make("", weakAs<ActionSheetDelegate>(), localized("取 消"), "",
                                   {localized(kGroupSettingTexts[0]), localized(kGroupSettingTexts[1]),
                                    localized(kGroupSettingTexts[2])});
    sheet->setTag(kSettingSheetTag);
    sheet->showInView(view().get());
}

void MVTGroupDetailViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (sheet.tag() != kSettingSheetTag) {
        ViewViewController::actionSheetClickedButtonAtIndex(sheet, index);
        return;
    }
    if (index >= 0 && index <= 2) tosetNewsGet(static_cast<int>(index));
}

void MVTGroupDetailViewController::tosetNewsGet(int value) {
    showHUDWithBool(true);
    // A load or another change is under way: the overlay goes when it ends.
    if (isLoadIng_) return;
    isLoadIng_ = true;
    const std::string url = ServiceAddress::servicePrefix() + contacts::accountUserId() + "/forum/" + groupId_ + "/" +
                            groupType_ + "/set/update";
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        isLoadIng_ = false;
        contacts::showBanner(0);
        showHUDWithBool(false);
        return;
    }
    UrlRequest request = client->multipartFormRequestWithMethod(
        "POST", url, nullptr, [value](HttpMultipartForm& form) { form.appendPart("set", std::to_string(value)); });
    request.setTimeoutInterval(kSettingTimeout);
    auto weak = weakAs<MVTGroupDetailViewController>();
    auto failed = [weak] {
        auto self = weak.lock();
        if (!self) return;
        self->running_.reset();
        self->isLoadIng_ = false;
        self->showHUDWithBool(false);
        AlertView::make(localized("提示"), localized("设置失败,请重新设置"), {}, localized("确定"))->show();
    };
    running_ = client->HTTPRequestOperationWithRequest(
        request,
        [weak, value, failed](HttpRequestOperation&, const std::string& body) {
            auto self = weak.lock();
            if (!self) return;
            // A body that says "success": false is a refusal, not a change.
            if (!groups::plainReplySucceeded(body)) {
                failed();
                return;
            }
            self->running_.reset();
            self->showHUDWithBool(false);
            self->isLoadIng_ = false;
            self->layoutSettingValue(settingText(Json(value)) + "  >");
        },
        [failed](HttpRequestOperation&, const HttpError&) { failed(); });
    running_->start();
}

// ---- Leave or dismiss ----------------------------------------------------------------------

void MVTGroupDetailViewController::outOfThisGroup() {
    auto alert = AlertView::make(localized("确认") + barText() + "?", "", weakAs<AlertViewDelegate>(), localized("取消"),
                                 {localized("确定")});
    alert->setTag(kLeaveAlertTag);
    alert->show();
}

void MVTGroupDetailViewController::sureOutOfThisGroup() {
    showHUDWithBool(true);
    const std::string url =
        ServiceAddress::servicePrefix() + "forum/" + groupId_ + "/user/" + contacts::accountUserId() + "/cancel";
    auto client = MVTPublicMethod::clientWithUrl(url);
    auto request = MVTPublicMethod::requestWithMethod("GET", url);
    if (!client || !request) {
        contacts::showBanner(0);
        showHUDWithBool(false);
        return;
    }
    request->setTimeoutInterval(kLeaveTimeout);
    auto weak = weakAs<MVTGroupDetailViewController>();
    const std::string failure = barText() + "," + localized("请重试");
    auto failed = [weak, failure] {
        auto self = weak.lock();
        if (!self) return;
        self->showHUDWithBool(false);
        AlertView::make(localized("提示"), failure, {}, localized("确定"))->show();
    };
    auto operation = client->HTTPRequestOperationWithRequest(
        *request,
        [weak, failed](HttpRequestOperation&, const std::string& body) {
            auto self = weak.lock();
            if (!self) return;
            if (!groups::plainReplySucceeded(body)) {
                failed();
                return;
            }
            auto app = MVTAppDelegate::sharedAppDelegate();
            auto tabs = app && app->window() ? std::dynamic_pointer_cast<TabBarController>(app->window()->rootViewController())
                                             : nullptr;
            if (tabs && tabs->viewControllers().size() > 1) {
                std::shared_ptr<ViewController> root = tabs->viewControllers()[1];
                if (auto* stack = root ? root->asNavigationController() : nullptr)
                    root = stack->viewControllers().empty() ? nullptr : stack->viewControllers().front();
                if (auto centre = std::dynamic_pointer_cast<MVTInteractionViewController>(root))
                    centre->netGetData(std::nullopt);
            }
            NotificationCenter::defaultCenter().postNotification(groups::kGroupListChaged);
            self->detailToken_.reset();
            self->showHUDWithBool(false);
            if (auto* navigation = self->navigationController()) navigation->dismissViewController(true);
        },
        [failed](HttpRequestOperation&, const HttpError&) { failed(); });
    operation->start();
}

void MVTGroupDetailViewController::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    if (index != 1) return;
    if (alert.tag() == kLeaveAlertTag) {
        sureOutOfThisGroup();
        return;
    }
    if (alert.tag() != kRenameAlertTag) return;
    auto field = alert.textFieldAtIndex(0);
    const std::string text = field ? field->text() : "";
    const std::size_t length = utf16Length(text);
    if (length > 0 && length <= kNameLimit) {
        makeSureToChange(text);
        return;
    }
    showRenameAlert(localized("修改群名称"),
                    localized(length == 0 ? "你所修改的群名称为空,请填写" : "你所修改的群名称超出16字符限定,请删除多余的字符"),
                    text);
}

// ---- Entries -------------------------------------------------------------------------------

void MVTGroupDetailViewController::showMembers() {
    auto members = std::make_shared<MVTGroupMemberViewController>();
    members->setForumId(groupId_);
    members->setFieldId(groupType_);
    members->setGroupName(groupNameString_);
    if (userType_ == "2") members->setUserRole("system");
    if (userType_ == "1") members->setUserRole("admin");
    members->setGroupId(groupId_);
    members->setIsSupportToCommand(isUserGroup_ && groups::isManagerType(userType_));
    members->setIsUserGroup(isUserGroup_);
    if (navigationController()) navigationController()->pushViewController(members, true);
}

void MVTGroupDetailViewController::addMembers() {
    auto picker = std::make_shared<MVTSelectMemberViewController>();
    picker->setWhereFrom(MVTSelectMemberViewController::kGroupAdd);
    picker->setIsNeedToLoadGroupData(true);
    picker->setIspresent(true);
    picker->setGroupId(groupId_);
    contacts::presentInNavigation(*this, picker);
}

void MVTGroupDetailViewController::goGonggao() {
    if (!gongGaoViewController_) gongGaoViewController_ = std::make_shared<MVTGongGaoViewController>();
    // The kept list learns the viewer's member type on every opening: it can change while
    // the profile stays (made an administrator, or no longer one).
    gongGaoViewController_->setUserType(userType_);
    gongGaoViewController_->setForumId(groupId_);
    gongGaoViewController_->setFieldId(groupType_);
    if (navigationController()) navigationController()->pushViewController(gongGaoViewController_, true);
}

void MVTGroupDetailViewController::goPhotos() {
    if (!groupPhotosViewController_) {
        groupPhotosViewController_ = std::make_shared<MVTGroupPhotosViewController>();
        groupPhotosViewController_->setForumId(groupId_);
        groupPhotosViewController_->setFieldId(groupType_);
        groupPhotosViewController_->setIsmanager(userType_);
    }
    if (navigationController()) navigationController()->pushViewController(groupPhotosViewController_, true);
}

void MVTGroupDetailViewController::goFiles() {
    if (!groupFilesViewController_) {
        groupFilesViewController_ = std::make_shared<MVTGroupFilesViewController>();
        groupFilesViewController_->setForumId(groupId_);
        groupFilesViewController_->setFieldId(groupType_);
        groupFilesViewController_->setIsmanager(userType_);
    }
    if (navigationController()) navigationController()->pushViewController(groupFilesViewController_, true);
}
