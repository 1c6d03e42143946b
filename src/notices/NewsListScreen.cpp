#include "notices/NewsListScreen.h"

#include "core/MVTPublicMethod.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"

using namespace platform;

NewsListScreen::~NewsListScreen() {
    if (operation_) operation_->cancel();
}

void NewsListScreen::setUpScreen(const std::string& title, const std::string& pageName) {
    setTitle(title);
    pageName_ = pageName;
    StatisticsKit::shared().beginLogPageView(pageName_);
    auto back = MVTPublicMethod::navigationleftBarButton();
    std::weak_ptr<NewsListScreen> weak = weakAs<NewsListScreen>();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
}

void NewsListScreen::endPageView() { StatisticsKit::shared().endLogPageView(pageName_); }

void NewsListScreen::showTable(const Color& background, double endDelay) {
    if (mytableview_) {
        mytableview_->reloadData();
    } else {
        const double height = Screen::mainScreen().bounds().height() - 64;
        mytableview_ = myTableView::make({0, 0, view()->bounds().width(), height}, TableViewStyle::Plain);
        mytableview_->setBackgroundColor(background);
        mytableview_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
        mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
        mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
        view()->addSubview(mytableview_);
    }
    if (!refreshHeaderView_) {
        const Rect table = mytableview_->frame();
        refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -table.height(), table.width(), table.height()});
        refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
        mytableview_->addSubview(refreshHeaderView_);
    }
    refreshHeaderView_->refreshLastUpdatedDate();
    endPullAfter(endDelay);
}

void NewsListScreen::endPullAfter(double delay) {
    std::weak_ptr<NewsListScreen> weak = weakAs<NewsListScreen>();
    RunLoop::main().performAfter(delay, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

void NewsListScreen::doneLoadingTableViewData() {
    reloading_ = false;
    if (refreshHeaderView_ && mytableview_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

void NewsListScreen::showHUDWithBool(bool show) {
    if (show) {
        if (hud_) hud_->removeFromSuperview();
        hud_ = ProgressHUD::showHUDAddedTo(view(), true);
        hud_->setRemoveFromSuperViewOnHide(true);
    } else if (hud_) {
        hud_->hide(true);
        hud_.reset();
    }
}

std::shared_ptr<TableViewCell> NewsListScreen::plainCell(TableView& tableView) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (cell) {
        for (const auto& sub : cell->contentView()->subviews()) sub->removeFromSuperview();
    } else {
        cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "Cell");
    }
    cell->setBackgroundColor(Color::clear());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    return cell;
}

void NewsListScreen::addSeparator(View& content, double y) {
    auto line = std::make_shared<ImageView>(Rect(0, y, Screen::mainScreen().bounds().width(), 1));
    line->setImage(Image::imageNamed("line_10"));
    content.addSubview(line);
}

void NewsListScreen::scrollViewDidScroll(ScrollView& scrollView) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void NewsListScreen::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void NewsListScreen::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) { reloadTableViewDataSource(); }

bool NewsListScreen::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) { return reloading_; }

double NewsListScreen::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) { return platform::now(); }
