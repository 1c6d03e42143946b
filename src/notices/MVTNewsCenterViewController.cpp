#include "notices/MVTNewsCenterViewController.h"

#include "notices/NoticeShared.h"

#include "core/MVTPublicMethod.h"
#include "homework/MVTNHWDetailsViewController.h"
#include "homework/MVTNHWSubmitStudentsListViewController.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/HttpClient.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

#include <algorithm>

using namespace platform;

namespace {

bool seesHandIns(const std::string& role) { return role == "teacher" || role == "admin"; }

// The name an event row gives; nothing for a missing or null name.
std::string eventName(const Json& row) {
    const Json& name = valueFor(row, "name");
    return name.is_null() ? std::string() : textOf(name);
}

bool sameEvent(const Json& a, const Json& b) {
    return textOf(a, "type") == textOf(b, "type") && textOf(a, "id") == textOf(b, "id");
}

}  // namespace

MVTNewsCenterViewController::MVTNewsCenterViewController() = default;

MVTNewsCenterViewController::~MVTNewsCenterViewController() {
    if (listOperation_) listOperation_->cancel();
}

std::string MVTNewsCenterViewController::iconNameFor(const std::string& type) {
    if (type == "course_homework") return "news_hmWork";
    if (type == "course_quiz") return "news_test";
    if (type == "course_media") return "news_media";
    return "";
}

std::string MVTNewsCenterViewController::sentenceFor(const Json& row, const std::string& role,
                                                     const std::string& language) {
    const std::string type = textOf(row, "type");
    std::string lead, action;
    if (type == "course_homework" || type == "course_quiz") {
        const std::string item = localized(type == "course_homework" ? "作业" : "测验");
        if (seesHandIns(role)) {
            action = localized("有学生") + " " + localized("提交了") + " " + item;
        } else {
            lead = eventName(row);
            action = type == "course_homework" ? localized("发布了") + " " + item : localized("发布了") + item;
        }
    } else if (type == "course_media") {
        lead = eventName(row);
        action = localized("发布了") + " " + localized("微课");
    } else {
        lead = eventName(row);
    }
    std::string line = action.empty() ? lead : lead + " " + action;
    if (language == InternationalControl::kChinese) line.erase(std::remove(line.begin(), line.end(), ' '), line.end());
    return line;
}

void MVTNewsCenterViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    currentPage_ = 1;
    dataArray_ = Json::array();
    initTitleView();
    netGetData();
    initmytableview();
}

void MVTNewsCenterViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (mytableview_) mytableview_->reloadData();
}

void MVTNewsCenterViewController::initTitleView() {
    auto back = MVTPublicMethod::navigationleftBarButton();
    auto weak = weakAs<MVTNewsCenterViewController>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    setTitle(localized("消息中心"));
}

void MVTNewsCenterViewController::goback() { dismissViewController(true); }

void MVTNewsCenterViewController::initmytableview() {
    if (mytableview_) {
        mytableview_->reloadData();
        return;
    }
    const Rect bounds = view()->bounds();
    const double height = Screen::mainScreen().bounds().height() - 64;
    mytableview_ = myTableView::make({0, 0, bounds.width(), height}, TableViewStyle::Plain);
    mytableview_->setBackgroundColor(Color::clear());
    mytableview_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -height, bounds.width(), height});
    refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
    mytableview_->addSubview(refreshHeaderView_);
    refreshHeaderView_->refreshLastUpdatedDate();
    view()->addSubview(mytableview_);
}

void MVTNewsCenterViewController::showHUDWithBool(bool show) {
    if (show) {
        if (hud_) hud_->removeFromSuperview();
        hud_ = ProgressHUD::showHUDAddedTo(view(), true);
        hud_->setRemoveFromSuperViewOnHide(true);
    } else if (hud_) {
        hud_->hide(true);
        hud_.reset();
    }
}

// ---- Pages

void MVTNewsCenterViewController::netGetData() {
    if (isLoading_) return;
    isLoading_ = true;
    showHUDWithBool(true);
    const std::string url = notices::serviceUrl(notices::currentUserId() + "/course/notification/list");
    const Json parameters = {{"page", std::to_string(currentPage_)}, {"limit", std::to_string(kPageSize)}};
    auto weak = weakAs<MVTNewsCenterViewController>();
    auto operation = notices::requestJson(
        weakAs<ViewController>(), "GET", url, parameters, [weak](notices::LoadOutcome outcome, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->listOperation_.reset();
            if (outcome == notices::LoadOutcome::Reply) {
                // Anything but a list of event rows is a failed load: the rows stay.
                if (auto rows = notices::dictionaryList(reply)) {
                    self->pageArrived(*rows);
                } else if (auto app = MVTAppDelegate::sharedAppDelegate()) {
                    app->showNetworkMessage(2);
                }
            } else if (auto app = MVTAppDelegate::sharedAppDelegate()) {
                app->showNetworkMessage(outcome == notices::LoadOutcome::Offline ? 0 : 2);
            }
            self->loadEnded();
        });
    if (isLoading_) listOperation_ = operation;
}

void MVTNewsCenterViewController::pageArrived(const Json& rows) {
    // An empty page changes nothing: the same page is asked again when the last row shows.
    if (rows.empty()) return;
    if (currentPage_ == 1) {
        isHaveMore_ = true;
        dataArray_ = Json::array();
    }
    for (const auto& row : rows) dataArray_.push_back(row);
    if (rows.size() < std::size_t(kPageSize)) isHaveMore_ = false;
    ++currentPage_;
    initmytableview();
}

void MVTNewsCenterViewController::loadEnded() {
    showHUDWithBool(false);
    isLoading_ = false;
    std::weak_ptr<MVTNewsCenterViewController> weak = weakAs<MVTNewsCenterViewController>();
    RunLoop::main().performAfter(kEndLoadingDelay, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

void MVTNewsCenterViewController::reloadTableViewDataSource() {
    // A refresh asked for while a page is on its way is dropped: that page's reply would
    // otherwise be taken for page 1.
    if (isLoading_) {
        doneLoadingTableViewData();
        return;
    }
    reloading_ = true;
    currentPage_ = 1;
    netGetData();
}

void MVTNewsCenterViewController::doneLoadingTableViewData() {
    reloading_ = false;
    if (refreshHeaderView_ && mytableview_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

// ---- Removal

void MVTNewsCenterViewController::deleteNews(int index) {
    if (index < 0 || index >= int(dataArray_.size())) return;
    const Json row = dataArray_[std::size_t(index)];
    const std::string url = notices::serviceUrl(notices::currentUserId() + "/remove/notification");
    auto client = MVTPublicMethod::clientWithUrl(url);
    if (!client) {
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        return;
    }
    auto request = client->requestWithMethod("GET", url, Json{{"ids", std::to_string(integerValue(valueFor(row, "id")))}});
    request.setTimeoutInterval(kRemoveTimeout);
    auto overlay = ProgressHUD::showHUDAddedTo(view(), true);
    overlay->setLabelText(localized("正在删除"));
    overlay->setRemoveFromSuperViewOnHide(true);
    auto weak = weakAs<MVTNewsCenterViewController>();
    auto operation = client->HTTPRequestOperationWithRequest(
        std::move(request),
        [weak, row, index, overlay](HttpRequestOperation&, const std::string&) {
            overlay->removeFromSuperview();
            if (auto self = weak.lock()) self->removeDeletedRow(row, index);
        },
        [weak, overlay](HttpRequestOperation&, const HttpError&) {
            overlay->removeFromSuperview();
            if (weak.lock()) AlertView::make(localized("提示"), localized("删除失败,请重新删除"), {}, localized("确定"))->show();
        });
    operation->start();
}

void MVTNewsCenterViewController::removeDeletedRow(const Json& row, int index) {
    // The rows may have been reloaded while the request ran: the removed event goes, found
    // by its type and id rather than by where it stood.
    auto at = dataArray_.end();
    if (index < int(dataArray_.size()) && sameEvent(dataArray_[std::size_t(index)], row))
        at = dataArray_.begin() + index;
    else
        at = std::find_if(dataArray_.begin(), dataArray_.end(), [&row](const Json& candidate) { return sameEvent(candidate, row); });
    if (at != dataArray_.end()) dataArray_.erase(at);
    if (mytableview_) mytableview_->reloadData();
}

void MVTNewsCenterViewController::commitEditingStyle(TableView&, TableViewCellEditingStyle style, const IndexPath& indexPath) {
    if (style == TableViewCellEditingStyle::Delete) deleteNews(indexPath.row);
}

// ---- Opening

void MVTNewsCenterViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    if (indexPath.row < 0 || indexPath.row >= int(dataArray_.size())) return;
    didSelectedIndex_ = indexPath.row;
    tableView.deselectRowAtIndexPath(indexPath, true);
    Json& row = dataArray_[std::size_t(indexPath.row)];
    if (!boolValue(valueFor(row, "readed"))) row["readed"] = "1";
    const std::string type = textOf(row, "type");
    const std::string id = textOf(row, "id");
    auto navigation = navigationController();
    if (!navigation) return;
    if (type == "course_homework" && seesHandIns(notices::currentRole())) {
        auto screen = std::make_shared<MVTNHWSubmitStudentsListViewController>();
        screen->setSubCount(textOf(row, "title"));
        screen->setIsNewsCenter(true);
        screen->setHwId(id);
        navigation->pushViewController(screen, true);
    } else if (type == "course_homework") {
        auto screen = std::make_shared<MVTNHWDetailsViewController>();
        screen->setHwId(id);
        screen->setDidSubmit(false);
        screen->setDelegate(weakAs<MVTNHWDetailsViewDelegate>());
        screen->setIsStar(row.contains("star") && integerValue(textOf(row, "star")) == 1);
        navigation->pushViewController(screen, true);
    } else if (type == "course_media") {
        openLesson(*navigation, id);
    }
}

void MVTNewsCenterViewController::didStarOrNotHomeworkWith(bool starred) {
    if (didSelectedIndex_ < 0 || didSelectedIndex_ >= int(dataArray_.size())) return;
    dataArray_[std::size_t(didSelectedIndex_)]["star"] = starred ? "1" : "0";
}

// ---- Table

int MVTNewsCenterViewController::numberOfRowsInSection(TableView&, int) { return int(dataArray_.size()); }

std::shared_ptr<TableViewCell> MVTNewsCenterViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                 const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (cell) {
        for (const auto& sub : cell->contentView()->subviews()) sub->removeFromSuperview();
    } else {
        cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "Cell");
    }
    cell->setBackgroundColor(Color::clear());
    if (indexPath.row < 0 || indexPath.row >= int(dataArray_.size())) return cell;
    const Json& row = dataArray_[std::size_t(indexPath.row)];
    const double W = Screen::mainScreen().bounds().width();
    auto& content = *cell->contentView();

    auto icon = std::make_shared<ImageView>(Rect(20, 10, 40, 40));
    icon->setTag(kIconTag);
    icon->setCornerRadius(4);
    icon->setClipsToBounds(true);
    const std::string iconName = iconNameFor(textOf(row, "type"));
    if (!iconName.empty()) icon->setImage(Image::imageNamed(iconName));
    content.addSubview(icon);

    if (!boolValue(valueFor(row, "readed"))) {
        auto dot = std::make_shared<View>(Rect(55, 5, 10, 10));
        dot->setTag(kDotTag);
        dot->setBackgroundColor(Color::red());
        dot->setCornerRadius(5.2);
        content.addSubview(dot);
    }

    auto sentence = std::make_shared<Label>(Rect(80, 10, W - 90, 20));
    sentence->setTag(kSentenceTag);
    sentence->setFont(Font::systemFontOfSize(16));
    sentence->setTextAlignment(TextAlignment::Left);
    sentence->setTextColor(Color::black());
    sentence->setText(sentenceFor(row, notices::currentRole(), InternationalControl::userLanguage()));
    content.addSubview(sentence);

    auto title = std::make_shared<Label>(Rect(80, 30, W - 120, 20));
    title->setTag(kTitleTag);
    title->setFont(Font::systemFontOfSize(14));
    title->setTextAlignment(TextAlignment::Left);
    title->setTextColor(Color::gray());
    title->setText(textOf(row, "title"));
    content.addSubview(title);

    auto separator = std::make_shared<ImageView>(Rect(60, 59, W - 60, 1));
    separator->setImage(Image::imageNamed("line_10"));
    content.addSubview(separator);
    return cell;
}

void MVTNewsCenterViewController::willDisplayCell(TableView&, TableViewCell&, const IndexPath& indexPath) {
    if (indexPath.row == int(dataArray_.size()) - 1 && isHaveMore_) netGetData();
}

void MVTNewsCenterViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTNewsCenterViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTNewsCenterViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadTableViewDataSource();
}

bool MVTNewsCenterViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTNewsCenterViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return platform::now();
}
