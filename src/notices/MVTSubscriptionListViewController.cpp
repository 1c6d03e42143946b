#include "notices/MVTSubscriptionListViewController.h"

#include "notices/NoticeShared.h"

#include "shell/InternationalControl.h"
#include "shell/MVTWebViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/UrlEncoding.h"
#include "platform/ui/ImageLoader.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

#include <algorithm>

using namespace platform;

std::string MVTSubscriptionListViewController::oneLine(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }),
               text.end());
    return text;
}

void MVTSubscriptionListViewController::viewDidLoad() {
    SubscriptionScreen::viewDidLoad();
    setUpScreen(titleString_, titleString_);
    dataArr_ = Json::array();
    initDataArray();
}

void MVTSubscriptionListViewController::initDataArray() {
    if (!movieInfoLabel_) makeInfoLabel();
    // The channel id comes from the service: escaped, it stays one segment of the path.
    loadRows(notices::serviceUrl("rss/" + percentEscape(rssId_) + "/content/list"), true, false);
}

void MVTSubscriptionListViewController::goback() {
    endPageView();
    if (auto navigation = navigationController()) navigation->popViewController(true);
}

std::shared_ptr<TableViewCell> MVTSubscriptionListViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                       const IndexPath& indexPath) {
    auto cell = plainCell(tableView);
    if (indexPath.row < 0 || indexPath.row >= int(dataArr_.size())) return cell;
    const Json& row = dataArr_[std::size_t(indexPath.row)];
    const double W = Screen::mainScreen().bounds().width();
    auto& content = *cell->contentView();

    auto picture = std::make_shared<ImageView>(Rect(10, 10, 80, 80));
    picture->setTag(kPictureTag);
    content.addSubview(picture);
    ImageLoader::setImageWithURL(picture, textOf(row, "image"), Image::imageNamed("171"));

    auto title = std::make_shared<Label>(Rect(100, 10, W - 120, 30));
    title->setTag(kTitleTag);
    title->setFont(Font::systemFontOfSize(18));
    title->setNumberOfLines(1);
    title->setText(oneLine(textOf(row, "title")));
    content.addSubview(title);

    auto description = std::make_shared<Label>(Rect(100, 40, W - 120, 60));
    description->setTag(kDescriptionTag);
    description->setFont(Font::systemFontOfSize(14));
    description->setNumberOfLines(0);
    description->setTextColor(Color::darkGray());
    description->setText(oneLine(textOf(row, "description")));
    content.addSubview(description);

    addSeparator(content, kRowHeight - 1);
    return cell;
}

void MVTSubscriptionListViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row < 0 || indexPath.row >= int(dataArr_.size())) return;
    const Json row = dataArr_[std::size_t(indexPath.row)];
    auto page = std::make_shared<MVTWebViewController>();
    page->setIsFromHomeView(true);
    page->setIsNeedToShare(true);
    page->setMyDict(row);
    presentViewController(myNavigationController::withRoot(page), true);
    page->reloadUrlWith(textOf(row, "link"), textOf(row, "title"));
}
