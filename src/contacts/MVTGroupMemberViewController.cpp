#include "contacts/MVTGroupMemberViewController.h"

#include "contacts/ContactsShared.h"
#include "contacts/GroupShared.h"
#include "contacts/MVTDeleteGroupManagerViewController.h"
#include "contacts/MVTSelectMemberViewController.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "me/MVTPersonDetailViewController.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {

Json groupMemberCopies(const Json& list, const char* role) {
    Json copies = Json::array();
    if (!list.is_array()) return copies;
    for (const auto& member : list) {
        if (!member.is_object()) continue;
        Json copy = member;
        if (role) copy["role"] = role;
        copies.push_back(std::move(copy));
    }
    return copies;
}

Color groupSectionColor(const std::string& key) {
    if (key == "teacher") return Color::rgb255(120, 190, 240);
    if (key == "student") return Color::rgb255(250, 150, 40);
    return Color::rgb255(170, 170, 170);
}

}  // namespace

MVTGroupMemberViewController::MVTGroupMemberViewController() = default;
MVTGroupMemberViewController::~MVTGroupMemberViewController() = default;

void MVTGroupMemberViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setNormalBar();
    dataDictionary_ = Json::object();
    netGetData();
    auto weak = weakAs<MVTGroupMemberViewController>();
    memberToken_.reset();
    memberToken_ = NotificationCenter::defaultCenter().addObserver(groups::kMemberListChaged, [weak](const Notification&) {
        if (auto self = weak.lock()) self->netGetData();
    });
}

void MVTGroupMemberViewController::setNormalBar() {
    setBar(groupName_, &MVTGroupMemberViewController::goback, isSupportToCommand_ ? localized("管理") : "",
           &MVTGroupMemberViewController::commandMember);
}

void MVTGroupMemberViewController::setModeBar(const std::string& title, bool confirm) {
    setBar(title, &MVTGroupMemberViewController::cancleAction, confirm ? localized("确定") : "",
           &MVTGroupMemberViewController::deleteMember);
}

void MVTGroupMemberViewController::setBar(const std::string& title, void (MVTGroupMemberViewController::*back)(),
                                          const std::string& rightTitle,
                                          void (MVTGroupMemberViewController::*right)()) {
    setTitle(title);
    auto weak = weakAs<MVTGroupMemberViewController>();
    auto backButton = MVTPublicMethod::navigationleftBarButton();
    backButton->addTarget(ControlEventTouchUpInside, [weak, back](Control&) {
        if (auto self = weak.lock()) ((*self).*back)();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(backButton));
    // No right title: the bar keeps no right button.
    if (rightTitle.empty()) {
        navigationItem().setRightBarButtonItem(nullptr);
        return;
    }
    addButtonWithTitle(rightTitle, [weak, right](Control&) {
        if (auto self = weak.lock()) ((*self).*right)();
    });
}

void MVTGroupMemberViewController::showHUDWithBool(bool show) {
    if (!isViewLoaded()) return;
    contacts::showProgress(hud_, view(), show);
}

void MVTGroupMemberViewController::netGetData() {
    showHUDWithBool(true);
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "forum/" + forumId_ + "/" + fieldId_ + "/member");
    if (!request) {
        contacts::showBanner(0);
        showHUDWithBool(false);
        return;
    }
    auto weak = weakAs<MVTGroupMemberViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            // Only a dictionary with keys is a list; anything else changes nothing.
            if (reply.is_object() && !reply.empty()) {
                self->dataDictionary_ = reply;
                self->dealWithData();
                if (!self->mytableview_) {
                    const double width = Screen::mainScreen().bounds().width();
                    self->mytableview_ =
                        myTableView::make({0, 0, width, self->view()->frame().height()}, TableViewStyle::Plain);
                    self->mytableview_->setDataSource(self->weakAs<TableViewDataSource>().lock());
                    self->mytableview_->setDelegate(self->weakAs<TableViewDelegate>().lock());
                    self->view()->addSubview(self->mytableview_);
                    if (self->hud_) self->view()->bringSubviewToFront(self->hud_);
                } else {
                    self->mytableview_->reloadData();
                }
            }
            self->showHUDWithBool(false);
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            contacts::showBanner(2);
            self->showHUDWithBool(false);
        });
    operation->start();
}

void MVTGroupMemberViewController::dealWithData() {
    titleArray_ = Json::array();
    teacherArray_ = Json::array();
    studentArray_ = Json::array();
    parentArray_ = Json::array();
    const Json& data = dataDictionary_;
    if (isUserGroup_) {
        const Json& creater = valueFor(data, "creater");
        if (creater.is_object()) {
            teacherArray_.push_back(creater);
            titleArray_.push_back("teacher");
        }
        studentArray_ = groupMemberCopies(valueFor(data, "admin"), nullptr);
        if (!studentArray_.empty()) titleArray_.push_back("student");
        parentArray_ = groupMemberCopies(valueFor(data, "ordinary"), nullptr);
        if (!parentArray_.empty()) titleArray_.push_back("parent");
        return;
    }
    // Elsewhere a present key makes its section, also with no one in it.
    for (const char* key : {"teacher", "student", "parent"}) {
        if (!data.contains(key)) continue;
        Json copies = groupMemberCopies(data[key], key);
        if (std::string(key) == "teacher") teacherArray_ = std::move(copies);
        if (std::string(key) == "student") studentArray_ = std::move(copies);
        if (std::string(key) == "parent") parentArray_ = std::move(copies);
        titleArray_.push_back(key);
    }
}

const Json& MVTGroupMemberViewController::sectionArray(const std::string& key) const {
    if (key == "teacher") return teacherArray_;
    if (key == "student") return studentArray_;
    return parentArray_;
}

const Json& MVTGroupMemberViewController::rowsOfSection(int section) const {
    static const Json kNone = Json::array();
    if (section < 0 || static_cast<std::size_t>(section) >= titleArray_.size()) return kNone;
    return sectionArray(titleArray_[static_cast<std::size_t>(section)].get<std::string>());
}

std::string MVTGroupMemberViewController::headerText(const std::string& key) const {
    const char* text = key == "teacher" ? (isUserGroup_ ? "群主" : "老师")
                       : key == "student" ? (isUserGroup_ ? "群管理员" : "学生")
                                          : (isUserGroup_ ? "群成员" : "家长");
    return "  " + localized(text);
}

bool MVTGroupMemberViewController::showsMark(const std::string& key) const {
    if (isAddManager_) return key != "teacher" && key != "student";
    if (isDeleteMember_) return key != "teacher" && !(userRole_ == "admin" && key == "student");
    return false;
}

bool MVTGroupMemberViewController::isSelected(const Json& member) const {
    const long long uid = integerValue(valueFor(member, "uid"));
    for (const auto& entry : deleteArray_)
        if (integerValue(valueFor(entry, "uid")) == uid) return true;
    return false;
}

void MVTGroupMemberViewController::goback() {
    memberToken_.reset();
    if (navigationController()) navigationController()->popViewController(true);
}

// ---- Management ----------------------------------------------------------------------------

void MVTGroupMemberViewController::commandMember() {
    std::shared_ptr<ActionSheet> sheet;
    if (userRole_ == "system") {
        sheet = ActionSheet::make("", weakAs<ActionSheetDelegate>(), localized("取 消"), "",
                                  {localized("移除群成员"), localized("添加群成员"), localized("取消管理员"),
                                   localized("添加管理员")});
        sheet->setTag(kCreatorSheetTag);
    } else if (userRole_ == "admin") {
        sheet = ActionSheet::make("", weakAs<ActionSheetDelegate>(), localized("取 消"), "",
                                  {localized("移除群成员"), localized("添加群成员")});
        sheet->setTag(kManagerSheetTag);
    } else {
        return;
    }
    sheet->showInView(view().get());
}

void MVTGroupMemberViewController::actionSheetClickedButtonAtIndex(ActionSheet& sheet, long index) {
    if (sheet.tag() != kCreatorSheetTag && sheet.tag() != kManagerSheetTag) {
        ViewViewController::actionSheetClickedButtonAtIndex(sheet, index);
        return;
    }
    if (index == sheet.cancelButtonIndex()) return;
    switch (index) {
        case 0:
            isDeleteMember_ = true;
            isAddManager_ = false;
            deleteArray_ = Json::array();
            setModeBar(localized("移除群成员"), true);
            break;
        case 1:
            openPicker();
            return;
        case 2:
            openManagerRemoval();
            return;
        case 3:
            isAddManager_ = true;
            isDeleteMember_ = false;
            deleteArray_ = Json::array();
            setModeBar(localized("添加管理员"), false);
            break;
        default:
            return;
    }
    if (mytableview_) mytableview_->reloadData();
}

void MVTGroupMemberViewController::openPicker() {
    Json members = Json::array();
    for (const Json* list : {&teacherArray_, &studentArray_, &parentArray_})
        for (const auto& member : *list) members.push_back(member);
    auto picker = std::make_shared<MVTSelectMemberViewController>();
    picker->setWhereFrom(MVTSelectMemberViewController::kGroupAdd);
    picker->setIspresent(true);
    picker->setGroupId(groupId_);
    picker->setMemberArray(members);
    contacts::presentInNavigation(*this, picker);
}

void MVTGroupMemberViewController::openManagerRemoval() {
    auto removal = std::make_shared<MVTDeleteGroupManagerViewController>();
    removal->setGroupId(groupId_);
    removal->setManagerArray(studentArray_);
    if (navigationController()) navigationController()->pushViewController(removal, true);
}

void MVTGroupMemberViewController::cancleAction() {
    isDeleteMember_ = false;
    isAddManager_ = false;
    deleteArray_ = Json::array();
    setNormalBar();
    if (mytableview_) mytableview_->reloadData();
}

void MVTGroupMemberViewController::deleteMember() {
    bulkManage(groups::removeMembersQuery(MVTPublicMethod::getAllDataBeAString(deleteArray_, "uid")));
}

void MVTGroupMemberViewController::addManager(const std::string& uid) { bulkManage(groups::addManagerQuery(uid)); }

void MVTGroupMemberViewController::bulkManage(const std::string& query) {
    showHUDWithBool(true);
    auto weak = weakAs<MVTGroupMemberViewController>();
    auto sent = groups::sendMemberOperate(
        groupId_, query,
        [weak](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            if (groups::replySucceeded(reply)) {
                NotificationCenter::defaultCenter().postNotification(groups::kGroupDetailChaged);
                self->netGetData();
                self->cancleAction();
            } else {
                groups::showRefusal(reply);
            }
            self->showHUDWithBool(false);
        },
        [weak] {
            auto self = weak.lock();
            if (!self) return;
            contacts::showBanner(2);
            self->showHUDWithBool(false);
        });
    if (!sent) {
        contacts::showBanner(0);
        showHUDWithBool(false);
    }
}

void MVTGroupMemberViewController::chooseNamed(const Json& entry) {
    auto page = std::make_shared<MVTPersonDetailViewController>();
    page->setUserDict(entry);
    page->setFromWhere("linkMan");
    page->view()->setAccessibilityValue("push");
    if (navigationController()) navigationController()->pushViewController(page, true);
}

void MVTGroupMemberViewController::groupDeal(const Json&) {
    showHUDWithBool(true);
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + "forum/" + groupId_ + "/" + contacts::accountUserId() + "/member");
    if (!request) {
        contacts::showBanner(0);
        showHUDWithBool(false);
        return;
    }
    auto weak = weakAs<MVTGroupMemberViewController>();
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak](HttpJsonRequestOperation&, const Json&) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            self->goback();
        },
        [weak](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            contacts::showBanner(2);
            self->showHUDWithBool(false);
        });
    operation->start();
}

// ---- Table ---------------------------------------------------------------------------------

int MVTGroupMemberViewController::numberOfSectionsInTableView(TableView&) { return static_cast<int>(titleArray_.size()); }

int MVTGroupMemberViewController::numberOfRowsInSection(TableView&, int section) {
    return static_cast<int>(rowsOfSection(section).size());
}

double MVTGroupMemberViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }
double MVTGroupMemberViewController::heightForHeaderInSection(TableView&, int) { return kHeaderHeight; }

std::shared_ptr<View> MVTGroupMemberViewController::viewForHeaderInSection(TableView&, int section) {
    const double width = Screen::mainScreen().bounds().width();
    auto label = std::make_shared<Label>(Rect(0, 0, width, kHeaderHeight));
    label->setBackgroundColor(Color::rgb255(230, 230, 231));
    label->setFont(Font::systemFontOfSize(14));
    label->setTextColor(Color::rgb255(90, 90, 90));
    if (section >= 0 && static_cast<std::size_t>(section) < titleArray_.size())
        label->setText(headerText(titleArray_[static_cast<std::size_t>(section)].get<std::string>()));
    return label;
}

std::shared_ptr<TableViewCell> MVTGroupMemberViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                   const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("MemberCell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "MemberCell");
    } else {
        auto subviews = cell->contentView()->subviews();
        for (const auto& sub : subviews) sub->removeFromSuperview();
    }
    cell->setBackgroundColor(Color::whiteColor());
    cell->setAccessoryType(TableViewCellAccessoryType::None);
    const std::string key = titleArray_[static_cast<std::size_t>(indexPath.section)].get<std::string>();
    const Json& member = rowsOfSection(indexPath.section)[static_cast<std::size_t>(indexPath.row)];
    const double width = Screen::mainScreen().bounds().width();
    auto& content = *cell->contentView();
    auto bar = std::make_shared<View>(Rect(0, 0, 3, kRowHeight));
    bar->setBackgroundColor(groupSectionColor(key));
    content.addSubview(bar);
    contacts::addAvatar(content, {15, 10}, groups::memberUid(member), key, false);
    auto name = std::make_shared<Label>(Rect(65, 20, width - 120, 20));
    name->setFont(Font::boldSystemFontOfSize(16));
    name->setTextColor(Color::rgb255(60, 60, 60));
    name->setText(textOf(member, "name"));
    content.addSubview(name);
    if (showsMark(key)) {
        const char* picture = isSelected(member) ? "member_select" : "member_normal";
        auto mark = std::make_shared<ImageView>(Rect(width - 40, 20, 20, 20));
        mark->setImage(Image::imageNamed(picture));
        mark->setTag(kMarkTag);
        mark->setAccessibilityValue(picture);
        content.addSubview(mark);
    }
    contacts::addLine(content, {0, kRowHeight - 1, width, 1});
    return cell;
}

void MVTGroupMemberViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.section < 0 || static_cast<std::size_t>(indexPath.section) >= titleArray_.size()) return;
    const Json& rows = rowsOfSection(indexPath.section);
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= rows.size()) return;
    const Json& member = rows[static_cast<std::size_t>(indexPath.row)];
    const Json entry{{"name", valueFor(member, "name").is_discarded() ? Json("") : member["name"]},
                     {"uid", valueFor(member, "uid").is_discarded() ? Json(0) : member["uid"]},
                     {"role", titleArray_[static_cast<std::size_t>(indexPath.section)]}};
    if (isDeleteMember_) {
        auto found = std::find(deleteArray_.begin(), deleteArray_.end(), entry);
        if (found != deleteArray_.end())
            deleteArray_.erase(found);
        else
            deleteArray_.push_back(entry);
        tableView.reloadData();
    } else if (isAddManager_) {
        addManager(groups::memberUid(member));
    } else {
        chooseNamed(entry);
    }
}
