#include "chat/MVTForwardMsgViewController.h"

#include "chat/MVTChatViewController.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

using namespace platform;

void MVTForwardMsgViewController::setRecelentArray(const Json& rows) {
    recelentArray_ = Json::array();
    if (!rows.is_array()) return;
    for (const auto& row : rows) {
        std::string type = textOf(row, "type");
        if (type == "person" || type == "forum") recelentArray_.push_back(row);
    }
}

void MVTForwardMsgViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("转发"));
    auto back = MVTPublicMethod::navigationleftBarButton();
    auto weak = weakAs<MVTForwardMsgViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        auto self = weak.lock();
        if (self && self->navigationController()) self->navigationController()->popViewController(true);
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    const Rect screen = Screen::mainScreen().bounds();
    table_ = myTableView::make({0, 0, screen.width(), screen.height() - 64}, TableViewStyle::Plain);
    table_->setDelegate(weakAs<TableViewDelegate>().lock());
    table_->setDataSource(weakAs<TableViewDataSource>().lock());
    view()->addSubview(table_);
}

int MVTForwardMsgViewController::numberOfRowsInSection(TableView&, int) {
    return static_cast<int>(recelentArray_.size());
}

std::shared_ptr<TableViewCell> MVTForwardMsgViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                   const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "Cell");
    }
    cell->textLabel()->setText(textOf(recelentArray_[static_cast<std::size_t>(indexPath.row)], "name"));
    return cell;
}

double MVTForwardMsgViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 50; }

void MVTForwardMsgViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    const Json& row = recelentArray_[static_cast<std::size_t>(indexPath.row)];
    auto chat = std::make_shared<MVTChatViewController>();
    Json dict = row;
    std::string type = textOf(row, "type");
    if (type == "forum") {
        dict["uid"] = valueFor(row, "id");
        chat->setFieldid(std::to_string(integerValue(textOf(row, "fieldId"))));
        chat->setForumid(std::to_string(integerValue(textOf(row, "forumId"))));
    }
    chat->setMyDict(dict);
    chat->setMsgType(type);
    chat->setForwardDictionary(forwardDictionary_);
    chat->setTitle(textOf(row, "name"));
    if (auto* navigation = navigationController()) navigation->pushViewController(chat, true);
}
