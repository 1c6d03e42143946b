#include "contacts/MVTContactListViewController.h"

#include "contacts/ContactsShared.h"
#include "contacts/MVTNewFriendViewController.h"
#include "shell/myNavigationController.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

using namespace platform;

ViewController& MVTContactListViewController::presenter() {
    if (auto shown = pDelegate_.lock()) return *shown;
    return *this;
}

void MVTContactListViewController::newFriend() {
    // The requests screen gets no delegate: an accepted friend is in the cache file and
    // shows at the list's next load.
    presenter().presentViewController(myNavigationController::withRoot(std::make_shared<MVTNewFriendViewController>()),
                                      true);
}

void MVTContactListViewController::chooseNamed(const Json& person) {
    contacts::presentInNavigation(presenter(), profilePage(person));
}

std::shared_ptr<TableViewCell> MVTContactListViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                    const IndexPath& indexPath) {
    auto cell = contacts::emptyCell(tableView);
    cell->setBackgroundColor(Color::clear());
    cell->setSelectionStyle(TableViewCellSelectionStyle::Blue);
    cell->setAccessoryType(TableViewCellAccessoryType::None);
    const Json& record = recordAt(indexPath);
    const double width = Screen::mainScreen().bounds().width();
    auto& content = *cell->contentView();
    const std::string role = textOf(record, "role");
    auto avatar =
        contacts::addAvatar(content, {10, 10}, std::to_string(integerValue(valueFor(record, "userId"))), role, true);
    avatar->setAccessibilityHint(textOf(record, "userId"));
    auto name = std::make_shared<Label>(Rect(60, 20, width - 120, 20));
    name->setBackgroundColor(Color::clear());
    name->setFont(Font::systemFontOfSize(14));
    name->setTextColor(Color::white(0.333));
    name->setText(textOf(record, "name"));
    content.addSubview(name);
    auto stripe = std::make_shared<View>(Rect(0, 3, 3, 54));
    stripe->setBackgroundColor(contacts::roleStripeColour(role));
    content.addSubview(stripe);
    contacts::addLine(content, {60, 59, width - 60, 1});
    return cell;
}
