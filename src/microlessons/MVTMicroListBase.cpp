#include "microlessons/MVTMicroListBase.h"

#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {

const std::vector<std::string> kMicroListLoadingFrames = {"load_2", "load_3", "load_4", "load_5",
                                                          "load_6", "load_7", "load_8", "load_1"};

}  // namespace

Json MVTMicroListScreen::pageParameters() const {
    Json parameters = {{"page", std::to_string(currentPage_)}, {"limit", std::to_string(microlists::kPageSize)}};
    quiz::addFilterParameters(parameters, levelDic_, subjectDic_, Json());
    return parameters;
}

void MVTMicroListScreen::getCourseData() {
    auto weak = weakAs<MVTMicroListScreen>();
    auto failed = [weak] {
        auto self = weak.lock();
        if (!self) return;
        self->showHUDWithBool(false);
        self->finishLoad();
        self->footer_.finish("点击加载更多", true);
    };
    auto operation = sendListRequest(
        pageParameters(),
        [weak, failed](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            self->showHUDWithBool(false);
            self->listReplied();
            if (!reply.is_array()) {
                // No list: the end, and during a search no results.
                if (self->searchString_ && !self->searchString_->empty()) self->dataArr_ = Json::array();
                self->finishLoad();
                self->footer_.finish("已加载全部", false);
                return;
            }
            if (self->currentPage_ == 1) self->dataArr_ = Json::array();
            ++self->currentPage_;
            for (const auto& record : reply) self->dataArr_.push_back(record.is_object() ? record : Json::object());
            self->finishLoad();
            if (reply.size() > std::size_t(microlists::kPageSize - 1))
                self->footer_.finish("点击加载更多", true);
            else
                self->footer_.finish(self->dataArr_.empty() ? "没有相关内容" : "已加载全部", false);
        },
        failed);
    if (!operation) {
        quiz::showNetworkBanner(0);
        failed();
        return;
    }
    showHUDWithBool(true);
}

void MVTMicroListScreen::finishLoad() {
    reloading_ = false;
    if (refreshHeaderView_ && mytableview_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
    if (mytableview_) mytableview_->reloadData();
    createFooterView();
}

void MVTMicroListScreen::createFooterView() {
    if (footer_.view || !mytableview_) return;
    auto weak = weakAs<MVTMicroListScreen>();
    footer_ = quiz::MoreFooter::make(false, "load_1", kMicroListLoadingFrames, [weak] {
        if (auto self = weak.lock()) self->toGetMoreCourseData();
    });
    footer_.view->setBackgroundColor(Color::clear());
    footer_.moreBtn->setBackgroundColor(Color::clear());
    mytableview_->setTableFooterView(footer_.view);
}

void MVTMicroListScreen::toGetMoreCourseData() {
    footer_.showLoading();
    getCourseData();
}

void MVTMicroListScreen::reloadTableViewDataSource() {
    reloading_ = true;
    currentPage_ = 1;
    getCourseData();
}

void MVTMicroListScreen::toGetSelectData() {
    dataArr_ = Json::array();
    currentPage_ = 1;
    getCourseData();
}

void MVTMicroListScreen::applyFilters(const Json& level, const Json& subject, const Json& third) {
    levelDic_ = quiz::isFilterSet(level) ? level : Json();
    subjectDic_ = quiz::isFilterSet(subject) ? subject : Json();
    teacherDic_ = quiz::isFilterSet(third) ? third : Json();
    if (mytableview_) {
        if (quiz::isFilterSet(levelDic_) || quiz::isFilterSet(subjectDic_) || quiz::isFilterSet(teacherDic_)) {
            createHeadView();
            mytableview_->setTableHeaderView(myheadView_);
        } else {
            mytableview_->setTableHeaderView(nullptr);
        }
        mytableview_->reloadData();
        if (!dataArr_.empty()) mytableview_->setContentOffset({0, 0}, true);
    }
    auto weak = weakAs<MVTMicroListScreen>();
    RunLoop::main().performAfter(microlists::kFilterDelay, [weak] {
        if (auto self = weak.lock()) self->toGetSelectData();
    });
}

void MVTMicroListScreen::createHeadView() {
    const double width = Screen::mainScreen().bounds().width();
    if (!myheadView_) {
        myheadView_ = std::make_shared<View>(Rect(0, 0, width, 56));
        myheadView_->setBackgroundColor(Color::clear());
    }
    for (const auto& sub : std::vector<std::shared_ptr<View>>(myheadView_->subviews())) sub->removeFromSuperview();
    double x = 5;
    if (quiz::isFilterSet(levelDic_)) createSelectBtnWith(textOf(levelDic_, "levelGradeName"), x);
    if (quiz::isFilterSet(subjectDic_)) createSelectBtnWith(textOf(subjectDic_, "subjectName"), x);
    if (quiz::isFilterSet(teacherDic_)) createSelectBtnWith(thirdChipText(), x);
}

void MVTMicroListScreen::createSelectBtnWith(const std::string& text, double& x) {
    const double textWidth = TextMeasure::sizeWithFont(text, Font::systemFontOfSize(14)).width;
    auto chip = Button::buttonWithType(ButtonType::Custom);
    chip->setFrame({x, 13, textWidth + 10, 30});
    chip->setBackgroundColor(Color::clear());
    chip->setBorderWidth(0.4);
    chip->setBorderColor(Color::rgb255(150, 150, 150));
    chip->setCornerRadius(4);
    chip->setTitle(text);
    chip->setTitleColor(Color::rgb255(100, 100, 100));
    chip->titleLabel()->setFont(Font::systemFontOfSize(14));
    auto weak = weakAs<MVTMicroListScreen>();
    chip->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->chipTapped();
    });
    myheadView_->addSubview(chip);
    x += textWidth + 15;
}

void MVTMicroListScreen::initSearchView(View& parent, const std::string& placeholder) {
    const double width = Screen::mainScreen().bounds().width();
    searchBar_ = std::make_shared<SearchBar>(Rect(0, 0, width, 40));
    searchBar_->setPlaceholder(localized(placeholder));
    searchBar_->setDelegate(weakAs<SearchBarDelegate>());
    parent.addSubview(searchBar_);
}

void MVTMicroListScreen::initmytableview(const Rect& frame) {
    if (mytableview_) {
        mytableview_->reloadData();
        return;
    }
    mytableview_ = homework::makeListTable(frame);
    refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -frame.height(), frame.width(), frame.height()});
    refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
    mytableview_->addSubview(refreshHeaderView_);
    refreshHeaderView_->refreshLastUpdatedDate();
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    view()->addSubview(mytableview_);
}

// ---- Search.

void MVTMicroListScreen::searchBarTextDidBeginEditing(SearchBar& bar) {
    const double width = Screen::mainScreen().bounds().width();
    const bool chinese = InternationalControl::userLanguage() == "zh-Hans";
    const double inset = chinese ? 50 : 60;
    bar.setFrame({0, 0, width - inset, 40});
    if (!cancel_) {
        cancel_ = Button::buttonWithType(ButtonType::Custom);
        cancel_->setFrame({width - inset, 5, inset - 6, 30});
        auto label = std::make_shared<Label>(Rect(0, 0, inset - 6, 30));
        label->setBackgroundColor(Color::clear());
        label->setFont(Font::systemFontOfSize(14));
        label->setTextAlignment(TextAlignment::Center);
        label->setTextColor(Color::rgb255(55, 152, 28));
        label->setText(localized("取消"));
        label->setUserInteractionEnabled(false);
        cancel_->addSubview(label);
        auto weak = weakAs<MVTMicroListScreen>();
        cancel_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->cancelSearchBar();
        });
    }
    if (auto parent = bar.superview()) parent->addSubview(cancel_);
}

void MVTMicroListScreen::searchBarSearchButtonClicked(SearchBar& bar) {
    StatisticsKit::shared().beginLogPageView(microlists::kSearchPageName);
    bar.resignFirstResponder();
    searchString_ = bar.text();
    currentPage_ = 1;
    ishaveSearch_ = true;
    getCourseData();
    StatisticsKit::shared().endLogPageView(microlists::kSearchPageName);
}

void MVTMicroListScreen::cancelSearchBar() {
    if (cancel_) cancel_->removeFromSuperview();
    if (!searchBar_) return;
    searchBar_->resignFirstResponder();
    searchBar_->setFrame({0, 0, Screen::mainScreen().bounds().width(), 40});
    searchBar_->setText("");
    searchString_.reset();
    if (ishaveSearch_) {
        ishaveSearch_ = false;
        currentPage_ = 1;
        getCourseData();
    }
}

// ---- Refresh header.

void MVTMicroListScreen::scrollViewDidScroll(ScrollView& scrollView) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTMicroListScreen::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTMicroListScreen::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadTableViewDataSource();
}

bool MVTMicroListScreen::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) { return reloading_; }

double MVTMicroListScreen::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return platform::now();
}
