#include "notices/MVTChannelListViewController.h"

#include "notices/NoticeShared.h"

#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/MVTWebViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/HttpJsonRequestOperation.h"
#include "platform/UrlEncoding.h"
#include "platform/ui/ImageLoader.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

using namespace platform;

std::string MVTChannelListViewController::authorOf(const Json& thread) {
    const Json& author = valueFor(thread, "author");
    const std::string text = author.is_null() ? std::string() : textOf(author);
    if (text.empty() || text == "<null>" || text == "(null)") return localized("匿名");
    return text;
}

void MVTChannelListViewController::viewDidLoad() {
    NewsListScreen::viewDidLoad();
    const std::string name = isTeacherChannel() ? "教师频道" : "家长频道";
    setUpScreen(localized(name), name);
    isHaveMore_ = true;
    currentPage_ = 1;
    dataArr_ = Json::array();
    netGetData();
}

void MVTChannelListViewController::goback() {
    endPageView();
    dismissViewController(true);
}

void MVTChannelListViewController::netGetData() {
    if (isLoading_) return;
    isLoading_ = true;
    // No overlay for the first load: the view is not on a window yet.
    if (isViewLoaded() && view()->window()) showHUDWithBool(true);
    const Json parameters = {{"limit", std::to_string(kPageSize)},
                             {"page", std::to_string(currentPage_)},
                             {"type", isTeacherChannel() ? "teacher" : "parent"}};
    std::weak_ptr<MVTChannelListViewController> weak = weakAs<MVTChannelListViewController>();
    auto operation = notices::requestJson(
        weakAs<ViewController>(), "GET", notices::serviceUrl(notices::currentUserId() + "/bbs/thread/list"), parameters,
        [weak](notices::LoadOutcome outcome, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->operation_.reset();
            self->isLoading_ = false;
            auto threads = outcome == notices::LoadOutcome::Reply ? notices::dictionaryList(reply) : std::nullopt;
            if (outcome == notices::LoadOutcome::Offline) {
                self->doneLoadingTableViewData();
                if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
            } else if (threads) {
                self->pageArrived(*threads);
            } else {
                // A failed load, or a reply that is no list of threads.
                if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(2);
                self->endPullAfter(kFailedPullDelay);
            }
            self->showHUDWithBool(false);
        });
    if (operation) operation_ = operation;
}

void MVTChannelListViewController::pageArrived(const Json& threads) {
    if (!threads.empty()) {
        if (currentPage_ == 1) dataArr_ = Json::array();
        ++currentPage_;
        isHaveMore_ = threads.size() >= std::size_t(kPageSize);
        for (const auto& thread : threads) dataArr_.push_back(thread);
    } else {
        isHaveMore_ = false;
    }
    initmytable();
}

void MVTChannelListViewController::initmytable() { showTable(Color::white(0.961), kEndPullDelay); }

void MVTChannelListViewController::reloadTableViewDataSource() {
    // A pull while a page is on its way is dropped: that page's reply would otherwise be
    // taken for page 1 and replace the list.
    if (isLoading_) {
        doneLoadingTableViewData();
        return;
    }
    reloading_ = true;
    currentPage_ = 1;
    netGetData();
}

std::shared_ptr<TableViewCell> MVTChannelListViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                  const IndexPath& indexPath) {
    auto cell = plainCell(tableView);
    if (indexPath.row < 0 || indexPath.row >= int(dataArr_.size())) return cell;
    const Json& thread = dataArr_[std::size_t(indexPath.row)];
    const double W = Screen::mainScreen().bounds().width();
    auto& content = *cell->contentView();
    auto label = [&content](Rect frame, int tag, double size, const std::string& text) {
        auto made = std::make_shared<Label>(frame);
        made->setTag(tag);
        made->setFont(Font::systemFontOfSize(size));
        made->setText(text);
        content.addSubview(made);
        return made;
    };
    auto picture = [&content](Rect frame, const std::string& name) {
        auto made = std::make_shared<ImageView>(frame);
        made->setImage(Image::imageNamed(name));
        content.addSubview(made);
        return made;
    };

    auto subject = label({10, 10, W - 20, 40}, kSubjectTag, 16, textOf(thread, "subject"));
    subject->setNumberOfLines(0);
    subject->setTextAlignment(TextAlignment::Left);

    auto avatar = std::make_shared<ImageView>(Rect(10, 55, 25, 25));
    avatar->setTag(kAvatarTag);
    content.addSubview(avatar);
    const Json& address = valueFor(thread, "avatar");
    ImageLoader::setImageWithURL(avatar, address.is_string() ? address.get<std::string>() : std::string(),
                                 Image::imageNamed("default_user"));

    label({45, 55, 100, 25}, kAuthorTag, 14, authorOf(thread))->setTextColor(Color::white(0.667));
    picture({W - 175, 57, 20, 20}, "channel_time");
    auto app = MVTAppDelegate::sharedAppDelegate();
    label({W - 155, 55, 85, 25}, kTimeTag, 12, app ? app->getDateWith(textOf(thread, "dateline")) : "")
        ->setTextColor(Color::gray());
    picture({W - 67, 59, 20, 20}, "channel_replies");
    label({W - 45, 56, 40, 25}, kRepliesTag, 12, std::to_string(intValue(valueFor(thread, "replies"))))
        ->setTextColor(Color::gray());
    picture({0, 89, W, 1}, "line_10");
    return cell;
}

void MVTChannelListViewController::willDisplayCell(TableView&, TableViewCell&, const IndexPath& indexPath) {
    if (indexPath.row == int(dataArr_.size()) - 1 && !isLoading_ && isHaveMore_) netGetData();
}

void MVTChannelListViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row < 0 || indexPath.row >= int(dataArr_.size())) return;
    const Json thread = dataArr_[std::size_t(indexPath.row)];
    auto page = std::make_shared<MVTWebViewController>();
    page->setIsFromHomeView(true);
    page->setIsNeedToShare(false);
    page->setMyDict(thread);
    presentViewController(myNavigationController::withRoot(page), true);
    // The thread id comes from the service: escaped, it stays one segment of the path.
    page->reloadUrlWith(ServiceAddress::baseUrl() + "forum/bbs/thread/" + percentEscape(textOf(thread, "tid")) + "/index",
                        textOf(thread, "subject"));
}
