#include "contacts/MVTSearchViewController.h"

#include "chat/ChatView.h"
#include "contacts/ContactsShared.h"
#include "contacts/ReceiverSections.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>

using namespace platform;

namespace {

std::shared_ptr<Label> searchRowLabel(View& content, const Rect& frame, double size, const Color& colour,
                                      const std::string& text) {
    auto label = std::make_shared<Label>(frame);
    label->setFont(Font::systemFontOfSize(size));
    label->setTextColor(colour);
    label->setText(text);
    content.addSubview(label);
    return label;
}

std::string searchRowDate(const Json& row) {
    auto app = MVTAppDelegate::sharedAppDelegate();
    std::string time = textOf(row, "sendTime");
    return app ? app->getDateWith(time) : time;
}

}  // namespace

void MVTSearchViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    view()->setBackgroundColor(Color::rgba(0, 0, 0, kVeilAlpha));
}

void MVTSearchViewController::updateTableView() {
    if (!searchTableView_) {
        view()->setAlpha(1.0);
        const double width = Screen::mainScreen().bounds().width();
        searchTableView_ = myTableView::make({0, 0, width, view()->frame().height() - SDH}, TableViewStyle::Plain);
        searchTableView_->setDataSource(weakAs<TableViewDataSource>().lock());
        searchTableView_->setDelegate(weakAs<TableViewDelegate>().lock());
        searchTableView_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
        searchTableView_->setBackgroundColor(Color::whiteColor());
        view()->addSubview(searchTableView_);
    }
    searchTableView_->reloadData();
}

bool MVTSearchViewController::isSelected(const Json& selected, const Json& row) {
    if (!selected.is_array()) return false;
    const std::string id = receiverIdentity(valueFor(row, "userId"));
    return std::any_of(selected.begin(), selected.end(),
                       [&](const Json& entry) { return receiverIdentity(valueFor(entry, "uid")) == id; });
}

std::string MVTSearchViewController::previewText(const Json& row) {
    if (!MVTPublicMethod::stringIsClassNull(valueFor(row, "msg"))) return textOf(row, "msg");
    const Json& attachments = valueFor(row, "attachments");
    if (!attachments.is_array() || attachments.empty()) return "";
    const std::string type = textOf(attachments[0], "type");
    if (type == "image") return localized("图片");
    if (type == "audio") return localized("语音");
    return "";
}

std::string MVTSearchViewController::badgeText(const Json& row) {
    long long count = integerValue(valueFor(row, "unreadCount"));
    if (count <= 0) return "";
    return count > 99 ? "99" : std::to_string(count);
}

int MVTSearchViewController::numberOfRowsInSection(TableView&, int) { return static_cast<int>(dataArray_.size()); }

double MVTSearchViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVTSearchViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                               const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("CellID");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "CellID");
    } else {
        auto subviews = cell->contentView()->subviews();
        for (const auto& sub : subviews) sub->removeFromSuperview();
    }
    cell->setAccessoryType(TableViewCellAccessoryType::None);
    cell->setAccessoryView(nullptr);
    const Json& row = dataArray_[static_cast<std::size_t>(indexPath.row)];
    if (row.contains("whereFrom")) {
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        drawPersonRow(*cell->contentView(), row);
        if (whereSearch_ == kSelectManager && isSelected(selectedArray_, row))
            cell->setAccessoryType(TableViewCellAccessoryType::Checkmark);
    } else {
        drawConversationRow(*cell->contentView(), row);
    }
    return cell;
}

void MVTSearchViewController::drawPersonRow(View& content, const Json& row) {
    const double width = Screen::mainScreen().bounds().width();
    searchRowLabel(content, {60, 10, 250, 20}, 14, Color::rgb255(37, 52, 33), textOf(row, "name"));
    auto avatar = contacts::addAvatar(content, {10, 10}, std::to_string(integerValue(valueFor(row, "userId"))),
                                      textOf(row, "role"), false);
    searchRowLabel(content, {60, 30, 200, 25}, 14, Color::rgb255(159, 166, 152),
                   localized("来自") + ": " + textOf(row, "whereFrom"));
    auto line = std::make_shared<ImageView>(Rect(60, 59, width - 60, 0.6));
    line->setImage(MVTPublicMethod::newImageNotCached("line_10"));
    content.addSubview(line);
}

void MVTSearchViewController::drawConversationRow(View& content, const Json& row) {
    const double width = Screen::mainScreen().bounds().width();
    const std::string type = textOf(row, "type");
    const Color dateColour = Color::rgb255(177, 184, 170);
    if (type == "notice") {
        auto icon = std::make_shared<ImageView>(Rect(10, 10, 40, 40));
        icon->setImage(Image::imageNamed("interaction_classNotic"));
        icon->setCornerRadius(6);
        icon->setClipsToBounds(true);
        content.addSubview(icon);
        searchRowLabel(content, {60, 17, 160, 25}, 14, Color::rgb255(37, 52, 33), localized("班级通知"));
        searchRowLabel(content, {200, 17, 100, 25}, 12, dateColour, searchRowDate(row))
            ->setTextAlignment(TextAlignment::Right);
    } else {
        auto icon = std::make_shared<ImageView>(Rect(10, 10, 40, 40));
        icon->setCornerRadius(20);
        icon->setClipsToBounds(true);
        content.addSubview(icon);
        if (type == "forum") {
            icon->setImage(Image::imageNamed("interaction_group"));
        } else {
            icon->setImage(Image::imageNamed("default_user"));
            icon->setAccessibilityHint(textOf(row, "uid"));
            MVTPublicMethod::setFaceImage(icon, MVTPublicMethod::getPathByFileName(textOf(row, "uid"), "png"),
                                          textOf(row, "role"));
        }
        searchRowLabel(content, {60, 7, 160, 25}, 14, Color::rgb255(37, 52, 33), textOf(row, "name"));
        const std::string badge = badgeText(row);
        if (!badge.empty()) {
            const double textWidth = TextMeasure::sizeWithFont(badge, Font::systemFontOfSize(14)).width;
            auto back = std::make_shared<ImageView>(Rect(36, 0, textWidth + 10, 18));
            auto picture = Image::imageNamed("message");
            back->setImage(picture ? picture->stretchableImageWithLeftCapWidth(6, 9) : nullptr);
            auto label = searchRowLabel(*back, {5, 0, textWidth, 18}, 14, Color::whiteColor(), badge);
            label->setTextAlignment(TextAlignment::Center);
            back->setAccessibilityValue(badge);
            content.addSubview(back);
        }
        auto preview = std::make_shared<ChatView>();
        preview->initWithFrame(Rect(60, 30, 220, 25));
        preview->setIsFromChatList(true);
        preview->setDatas(ChatView::parserMessage(previewText(row)));
        preview->setAccessibilityValue(previewText(row));
        content.addSubview(preview);
        searchRowLabel(content, {200, 7, 100, 25}, 12, dateColour, searchRowDate(row))
            ->setTextAlignment(TextAlignment::Right);
    }
    auto line = std::make_shared<ImageView>(Rect(60, 59, width - 60, 0.6));
    line->setImage(Image::imageNamed("line1"));
    content.addSubview(line);
}

void MVTSearchViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= dataArray_.size()) return;
    const Json row = dataArray_[static_cast<std::size_t>(indexPath.row)];
    if (whereSearch_ == kSelectManager) {
        Json entry = {{"name", valueFor(row, "name")}, {"uid", valueFor(row, "userId")}, {"role", valueFor(row, "role")}};
        if (entry["role"].is_discarded()) entry.erase("role");
        NotificationCenter::defaultCenter().postNotification(kAddNewManager, entry);
        return;
    }
    if (auto delegate = myDelegate_.lock()) delegate->pushInformation(row);
}
