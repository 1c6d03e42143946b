#include "notices/MVTPersonListViewController.h"

#include "notices/NoticeShared.h"

#include "contacts/ReceiverSections.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>
#include <cctype>

using namespace platform;

namespace {

double personListWidth() { return Screen::mainScreen().bounds().width(); }

bool containsValue(const Json& list, const Json& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

void removeValue(Json& list, const Json& value) {
    for (auto it = list.begin(); it != list.end(); ++it)
        if (*it == value) {
            list.erase(it);
            return;
        }
}

}  // namespace

std::shared_ptr<MVTPersonListViewController> MVTPersonListViewController::initWithArray(const Json& receivers,
                                                                                        const Json& roles) {
    auto screen = std::make_shared<MVTPersonListViewController>();
    if (receivers.is_array()) {
        screen->sendArray_ = receivers;
        if (roles.is_array() && !roles.empty()) screen->selectedRoleMArray_ = roles;
    }
    return screen;
}

MVTPersonListViewController::~MVTPersonListViewController() {
    if (listOperation_) listOperation_->cancel();
}

void MVTPersonListViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("添加接收人"));
    auto weak = weakAs<MVTPersonListViewController>();
    leftBtn_ = MVTPublicMethod::navigationleftBarButton();
    leftBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(leftBtn_));
    myArray_ = Json::array();
    titleArray_ = Json::array();
    if (!sendArray_.is_array()) sendArray_ = Json::array();
    markDict_.clear();
    initmytableview();
    roleArray_ = {localized("教师"), localized("家长"), localized("学生")};
    if (!selectedRoleMArray_.is_array()) selectedRoleMArray_ = Json::array();
    loadSelectRoleView();
    MVTPublicMethod::showWaitAnimation(view(), true);
    netGetData();
}

void MVTPersonListViewController::initmytableview() {
    if (!mytableview_) {
        const Rect bounds = view()->bounds();
        mytableview_ = myTableView::make({0, 0, personListWidth(), bounds.height() - 44 - SDH}, TableViewStyle::Plain);
        mytableview_->setBackgroundColor(notices::kBackgroundGrey);
        mytableview_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
        mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
        mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
        view()->addSubview(mytableview_);
    } else {
        mytableview_->reloadData();
    }
    MVTPublicMethod::stopWaitAnimation(view());
}

void MVTPersonListViewController::loadSelectRoleView() {
    const double W = personListWidth();
    auto header = std::make_shared<View>(Rect(0, 0, W, 100));
    header->setBackgroundColor(Color::clear());
    auto caption = [&header](const std::string& text, double y) {
        auto label = std::make_shared<Label>(Rect(15, y, 200, 30));
        label->setText(text);
        label->setFont(Font::systemFontOfSize(16));
        label->setTextColor(Color::black());
        label->setBackgroundColor(Color::clear());
        header->addSubview(label);
    };
    caption(localized("接收人身份"), 0);
    auto strip = std::make_shared<View>(Rect(0, 30, W, 44));
    strip->setBackgroundColor(notices::kBandGreen);
    const double S = (W - 40) / 3;
    auto weak = weakAs<MVTPersonListViewController>();
    for (int i = 0; i < 3; ++i) {
        const std::string& role = roleArray_[std::size_t(i)];
        const double width = std::min(TextMeasure::sizeWithFont(role, Font::systemFontOfSize(14)).width, S - 25);
        const double x = (S + 5) * i + 15;
        auto label = std::make_shared<Label>(Rect(x, 12, width, 20));
        label->setText(role);
        label->setFont(Font::systemFontOfSize(14));
        label->setBackgroundColor(Color::clear());
        strip->addSubview(label);
        auto toggle = Button::buttonWithType(ButtonType::Custom);
        toggle->setFrame({x + width + 5, 12, 20, 20});
        toggle->setTag(kRoleButtonTag + i);
        const bool chosen = containsValue(selectedRoleMArray_, Json(role));
        toggle->setSelected(chosen);
        toggle->setImage(Image::imageNamed(chosen ? "img_r22_c3" : "img_r23_c7"));
        toggle->setAccessibilityLabel(role);
        toggle->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->selecteBtnClick(static_cast<Button&>(control));
        });
        strip->addSubview(toggle);
    }
    header->addSubview(strip);
    caption(localized("接收人年级"), 72);
    for (double y : {28.0, 71.0, 99.0}) {
        auto line = std::make_shared<ImageView>(Rect(0, y, W, 1));
        line->setImage(Image::imageNamed("line_10"));
        header->addSubview(line);
    }
    mytableview_->setTableHeaderView(header);
}

Json MVTPersonListViewController::sortedItems(const Json& reply) {
    Json items = Json::array();
    for (const auto& entry : reply) {
        if (!entry.is_object()) continue;
        Json item = entry;
        item["firstName"] = receiverSortKey(valueFor(entry, "name"));
        items.push_back(item);
    }
    // Compared without case, so a name starting with a capital stays under its own letter
    // and every section's items stand together in section order.
    std::stable_sort(items.begin(), items.end(), [](const Json& a, const Json& b) {
        return notices::lowerCased(textOf(a, "firstName")) < notices::lowerCased(textOf(b, "firstName"));
    });
    return items;
}

int MVTPersonListViewController::seqencingmyArray(const std::string& title) const {
    const char letter = char(std::tolower(static_cast<unsigned char>(title[0])));
    int count = 0;
    for (const auto& item : myArray_) {
        const std::string key = textOf(item, "firstName");
        if (!key.empty() && char(std::tolower(static_cast<unsigned char>(key[0]))) == letter) ++count;
    }
    return count;
}

void MVTPersonListViewController::netGetData() {
    view()->setUserInteractionEnabled(false);
    auto weak = weakAs<MVTPersonListViewController>();
    const std::string url = notices::serviceUrl("admin/" + notices::currentUserId() + "/notice/receiver");
    listOperation_ = notices::requestJson(weakAs<ViewController>(), "GET", url, Json(),
                                          [weak](notices::LoadOutcome outcome, const Json& reply) {
        auto self = weak.lock();
        if (!self) return;
        self->listOperation_.reset();
        auto app = MVTAppDelegate::sharedAppDelegate();
        if (outcome == notices::LoadOutcome::Offline) {
            MVTPublicMethod::stopWaitAnimation(self->view());
            app->showNetworkMessage(0);
            return;
        }
        const auto rows = outcome == notices::LoadOutcome::Reply ? notices::dictionaryList(reply) : std::nullopt;
        if (!rows) {
            app->showNetworkMessage(2);
            return;
        }
        if (rows->empty()) {
            MVTPublicMethod::stopWaitAnimation(self->view());
            auto label = std::make_shared<Label>(Rect(0, 100, personListWidth(), 50));
            label->setText(localized("暂无联系人数据"));
            label->setTextAlignment(TextAlignment::Center);
            label->setBackgroundColor(Color::clear());
            self->view()->addSubview(label);
            AlertView::make(localized("提示"), localized("您还没有联系人数据"), {}, localized("知道了"))->show();
            return;
        }
        self->view()->setUserInteractionEnabled(true);
        self->myArray_ = sortedItems(*rows);
        self->titleArray_ = Json::array();
        const std::string titles = "#ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        for (char letter : titles) {
            const std::string title(1, letter);
            const int count = self->seqencingmyArray(title);
            if (count > 0) self->titleArray_.push_back({{"title", title}, {"num", count}});
        }
        self->initmytableview();
    });
    // The back button stays usable while the list is loading or unusable.
    if (leftBtn_) leftBtn_->setUserInteractionEnabled(true);
}

void MVTPersonListViewController::selecteBtnClick(Button& button) {
    const std::size_t index = std::size_t(button.tag() - kRoleButtonTag);
    if (index >= roleArray_.size()) return;
    const Json role = roleArray_[index];
    button.setSelected(!button.isSelected());
    if (button.isSelected()) {
        button.setImage(Image::imageNamed("img_r22_c3"));
        if (!containsValue(selectedRoleMArray_, role)) selectedRoleMArray_.push_back(role);
    } else {
        button.setImage(Image::imageNamed("img_r23_c7"));
        removeValue(selectedRoleMArray_, role);
    }
}

void MVTPersonListViewController::goback() { sendList(); }

void MVTPersonListViewController::sendList() {
    const bool receivers = !sendArray_.empty();
    const bool roles = !selectedRoleMArray_.empty();
    if (receivers && !roles) {
        AlertView::make(localized("提示"), localized("您没有选择接收人身份"), {}, localized("确定"))->show();
        return;
    }
    if (!receivers && roles) {
        AlertView::make(localized("提示"), localized("您没有选择接收人"), {}, localized("确定"))->show();
        return;
    }
    auto keep = std::static_pointer_cast<MVTPersonListViewController>(shared_from_this());
    if (auto navigation = navigationController()) navigation->popViewController(true);
    if (receivers)
        if (auto delegate = delegate_.lock()) delegate->returnList(sendArray_, selectedRoleMArray_);
}

int MVTPersonListViewController::numberOfSectionsInTableView(TableView&) { return int(titleArray_.size()); }

std::string MVTPersonListViewController::titleForHeaderInSection(TableView&, int section) {
    return section >= 0 && section < int(titleArray_.size()) ? textOf(titleArray_[std::size_t(section)], "title") : "";
}

int MVTPersonListViewController::numberOfRowsInSection(TableView&, int section) {
    return section >= 0 && section < int(titleArray_.size()) ? intValue(titleArray_[std::size_t(section)]["num"]) : 0;
}

double MVTPersonListViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 50; }

const Json* MVTPersonListViewController::itemAt(const IndexPath& indexPath) const {
    int offset = 0;
    for (int s = 0; s < indexPath.section && s < int(titleArray_.size()); ++s)
        offset += intValue(titleArray_[std::size_t(s)]["num"]);
    const int index = offset + indexPath.row;
    return index >= 0 && index < int(myArray_.size()) ? &myArray_[std::size_t(index)] : nullptr;
}

std::shared_ptr<TableViewCell> MVTPersonListViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                  const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "Cell");
    for (const auto& sub : std::vector<std::shared_ptr<View>>(cell->contentView()->subviews())) sub->removeFromSuperview();
    cell->setBackgroundColor(notices::kBandGreen);
    const Json* item = itemAt(indexPath);
    if (!item) return cell;
    const auto key = std::make_pair(indexPath.section, indexPath.row);
    // The picker's items carry "firstName"; the composer's earlier choice may not.
    Json plain = *item;
    plain.erase("firstName");
    if (containsValue(sendArray_, *item) || containsValue(sendArray_, plain)) markDict_[key] = "1";
    if (markDict_[key] == "1") {
        auto holder = std::make_shared<View>(Rect(0, 0, 18, 15));
        auto check = std::make_shared<ImageView>(Rect(0, 0, 15, 15));
        check->setImage(Image::imageNamed("icon_56"));
        holder->addSubview(check);
        cell->setAccessoryView(holder);
    } else {
        cell->setAccessoryView(nullptr);
        markDict_[key] = "0";
    }
    auto name = std::make_shared<Label>(Rect(15, 13, personListWidth() - 60, 24));
    name->setText(textOf(*item, "name"));
    name->setFont(Font::boldSystemFontOfSize(14));
    name->setTextColor(Color::white(0.235));
    name->setBackgroundColor(Color::clear());
    cell->contentView()->addSubview(name);
    auto line = std::make_shared<ImageView>(Rect(0, 49, personListWidth(), 1));
    line->setImage(Image::imageNamed("line_10"));
    cell->contentView()->addSubview(line);
    return cell;
}

void MVTPersonListViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    const Json* item = itemAt(indexPath);
    if (!item) return;
    const auto key = std::make_pair(indexPath.section, indexPath.row);
    Json plain = *item;
    plain.erase("firstName");
    if (markDict_[key] == "1") {
        markDict_[key] = "0";
        removeValue(sendArray_, *item);
        removeValue(sendArray_, plain);
    } else {
        markDict_[key] = "1";
        sendArray_.push_back(*item);
    }
    tableView.reloadRowsAtIndexPaths({indexPath}, TableViewRowAnimation::None);
}

std::vector<std::string> MVTPersonListViewController::sectionIndexTitlesForTableView(TableView&) {
    std::vector<std::string> titles;
    for (const auto& section : titleArray_) titles.push_back(textOf(section, "title"));
    return titles;
}

int MVTPersonListViewController::sectionForSectionIndexTitle(TableView&, const std::string&, int index) {
    return index >= 0 && index < int(titleArray_.size()) ? index : -1;
}
