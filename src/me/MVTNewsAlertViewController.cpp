#include "me/MVTNewsAlertViewController.h"

#include "me/SpaceShared.h"

#include "shell/InternationalControl.h"
#include "shell/MyTabBarController.h"
#include "shell/myTableView.h"

#include "core/MVTtirraDataBase.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableViewCell.h"

#include <cmath>
#include <cstdio>

using namespace platform;

namespace {

bool isOn(const Json& row, const char* key) { return textOf(row, key) == "1"; }
const char* flag(bool on) { return on ? "1" : "0"; }

// A number read from the whole text, or nothing ("60", "60.000000"; not "", "1x").
std::optional<double> numberOf(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

const std::vector<std::string>& MVTNewsAlertViewController::timeArr() {
    static const std::vector<std::string> choices = {"0.5", "1", "2", "5"};
    return choices;
}

int MVTNewsAlertViewController::intervalIndexOf(const std::string& defaultTime) {
    const auto seconds = numberOf(defaultTime);
    if (!seconds) return -1;
    for (std::size_t i = 0; i < timeArr().size(); ++i)
        if (std::stod(timeArr()[i]) == *seconds / 60) return int(i);
    return -1;
}

void MVTNewsAlertViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("消息提醒"));
    setInfoArray_ = {"动态提醒", "消息提醒", "提到我的提醒", "评论提醒"};
    loadSettings();
    std::weak_ptr<MVTNewsAlertViewController> weak = weakAs<MVTNewsAlertViewController>();
    space::installBackButton(*this, [weak] {
        if (auto self = weak.lock()) self->goback();
    });
    initmyTable();
}

void MVTNewsAlertViewController::loadSettings() {
    const Json row = MVTtirraDataBase::selectUserNewsSettingDataWith(space::currentUserId());
    allNews_ = isOn(row, "news");
    feedNews_ = isOn(row, "feedNews");
    chatNews_ = isOn(row, "chatNews");
    MentionNews_ = isOn(row, "MentionNews");
    commenNews_ = isOn(row, "commenNews");
    HMNews_ = isOn(row, "HMNews");
    NotiNews_ = isOn(row, "NotiNews");
    const int index = intervalIndexOf(textOf(row, "defaultTime"));
    timeSpace_ = index >= 0 ? timeArr()[std::size_t(index)] : std::string();
    sectionNum_ = allNews_ ? 3 : 2;
}

void MVTNewsAlertViewController::ensureRow(const std::string& userId) {
    if (!MVTtirraDataBase::selectUserNewsSettingDataWith(userId).empty()) return;
    MVTtirraDataBase::insertUserNewsSettingWithDic(
        Json{{"news", "1"},   {"chatNews", "1"}, {"MentionNews", "1"}, {"commenNews", "1"},
             {"HMNews", "1"}, {"NotiNews", "1"}, {"feedNews", "1"},    {"defaultTime", "60"}},
        userId);
}

void MVTNewsAlertViewController::initmyTable() {
    if (myTable_) {
        myTable_->reloadData();
        return;
    }
    const Rect bounds = view()->bounds();
    myTable_ = myTableView::make({7.5, 0, bounds.width(), bounds.height() - 44 - SDH}, TableViewStyle::Grouped);
    myTable_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    myTable_->setBackgroundColor(Color::clear());
    myTable_->setBackgroundView(nullptr);
    myTable_->setShowsVerticalScrollIndicator(false);
    auto self = std::static_pointer_cast<MVTNewsAlertViewController>(shared_from_this());
    myTable_->setDataSource(self);
    myTable_->setDelegate(self);
    view()->addSubview(myTable_);
}

void MVTNewsAlertViewController::goback() { dismissViewController(true); }

std::string MVTNewsAlertViewController::intervalText() const {
    const auto minutes = numberOf(timeSpace_);
    if (!minutes || *minutes < 1) return localized("30秒");
    std::string text = localized("%@分钟");
    if (auto at = text.find("%@"); at != std::string::npos) text.replace(at, 2, timeSpace_);
    return text;
}

int MVTNewsAlertViewController::numberOfSectionsInTableView(TableView&) { return sectionNum_; }

int MVTNewsAlertViewController::numberOfRowsInSection(TableView&, int section) {
    return sectionNum_ == 3 && section == 1 ? int(setInfoArray_.size()) : 1;
}

double MVTNewsAlertViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 44; }
double MVTNewsAlertViewController::heightForHeaderInSection(TableView&, int) { return 0; }
double MVTNewsAlertViewController::heightForFooterInSection(TableView&, int) { return 0; }

std::shared_ptr<View> MVTNewsAlertViewController::viewForHeaderInSection(TableView&, int) {
    auto header = std::make_shared<View>(Rect(0, 0, view()->bounds().width(), 15));
    header->setBackgroundColor(Color::clear());
    return header;
}

std::shared_ptr<TableViewCell> MVTNewsAlertViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                 const IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<MVTNewSettingCell>(tableView.dequeueReusableCellWithIdentifier("newSettingCell"));
    if (!cell) cell = std::make_shared<MVTNewSettingCell>(TableViewCellStyle::Default, "newSettingCell");
    cell->setDelegate(weakAs<MVTNewsAlertViewController>());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    if (indexPath.section == 0) {
        cell->setTag(kMasterTag);
        cell->reloadDetalsDataWith(allNews_, 0, localized("推送通知"), "");
    } else if (sectionNum_ == 3 && indexPath.section == 1) {
        const bool states[] = {feedNews_, chatNews_, MentionNews_, commenNews_};
        const int row = std::clamp(indexPath.row, 0, 3);
        cell->setTag(kFirstKindTag + row);
        cell->reloadDetalsDataWith(states[row], 0, localized(setInfoArray_[std::size_t(row)]), "");
    } else {
        cell->setTag(kIntervalTag);
        cell->reloadDetalsDataWith(false, MVTNewSettingCell::kDetailKind, localized("获取新消息"), intervalText());
    }
    return cell;
}

void MVTNewsAlertViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    auto cell = tableView.cellForRowAtIndexPath(indexPath);
    if (cell && cell->tag() == kIntervalTag) toSelectTimeSpace();
}

void MVTNewsAlertViewController::openOrCloseWith(bool on, int tag) {
    bool* kinds[] = {&feedNews_, &chatNews_, &MentionNews_, &commenNews_, &HMNews_, &NotiNews_};
    if (tag == kMasterTag) {
        allNews_ = on;
        for (bool* kind : kinds) *kind = on;
        sectionNum_ = on ? 3 : 2;
    } else if (tag >= kFirstKindTag && tag < kFirstKindTag + 4) {
        bool* changed = kinds[tag - kFirstKindTag];
        if (on) {
            *changed = true;
            allNews_ = true;
            sectionNum_ = 3;
        } else {
            bool otherOn = false;
            for (bool* kind : kinds)
                if (kind != changed && *kind) otherOn = true;
            *changed = false;
            if (!otherOn) {
                allNews_ = false;
                sectionNum_ = 2;
            }
        }
    }
    const std::string me = space::currentUserId();
    ensureRow(me);
    MVTtirraDataBase::upDataUserNewsSettingWith(me, flag(allNews_), flag(chatNews_), flag(MentionNews_),
                                                flag(commenNews_), flag(HMNews_), flag(NotiNews_), flag(feedNews_));
    NotificationCenter::defaultCenter().postNotification(kReloadNewsNotification);
    // What the screen shows is what was stored.
    loadSettings();
    initmyTable();
}

void MVTNewsAlertViewController::toSelectTimeSpace() {
    auto list = std::make_shared<MVTSelectListViewController>();
    list->setDelegate(weakAs<MVTNewsAlertViewController>());
    const Json row = MVTtirraDataBase::selectUserNewsSettingDataWith(space::currentUserId());
    list->setSelect(std::max(0, intervalIndexOf(textOf(row, "defaultTime"))));
    if (auto* navigation = navigationController()) navigation->pushViewController(list, true);
    list->initmyTable();
}

void MVTNewsAlertViewController::didSelectedWhichWith(int row) {
    if (row < 0 || row >= int(timeArr().size())) return;
    const std::string me = space::currentUserId();
    ensureRow(me);
    char seconds[64];
    std::snprintf(seconds, sizeof seconds, "%f", std::stod(timeArr()[std::size_t(row)]) * 60);
    MVTtirraDataBase::upDataUserNewsSettingWith(me, std::string(seconds));
    loadSettings();
    initmyTable();
    NotificationCenter::defaultCenter().postNotification(kReloadTimerNotification);
}
