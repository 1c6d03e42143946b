#include "files/MVTFilesManagersViewController.h"

#include "files/MVTDownLoadViewController.h"
#include "files/MVTShowFileViewController.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>
#include <ctime>
#include <map>

using namespace platform;

namespace {

const std::vector<MVTFIleInfo> kNoFiles;

void sortByIdDescending(std::vector<MVTFIleInfo>& files) {
    std::stable_sort(files.begin(), files.end(),
                     [](const MVTFIleInfo& a, const MVTFIleInfo& b) { return a.idNumber() > b.idNumber(); });
}

}  // namespace

std::string MVTFilesManagersViewController::sectionKeyFor(long long dateline, long long now) {
    const std::time_t when = static_cast<std::time_t>(dateline), today = static_cast<std::time_t>(now);
    std::tm a{}, b{};
    localtime_r(&when, &a);
    localtime_r(&today, &b);
    if (a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday) return "today";
    if (now - dateline < static_cast<long long>(kWeekSeconds)) return "recWeek";
    return "earlier";
}

const std::vector<MVTFIleInfo>& MVTFilesManagersViewController::section(const std::string& key) const {
    if (key == "today") return todayArray_;
    if (key == "recWeek") return recWeekArray_;
    if (key == "earlier") return earlierArray_;
    return kNoFiles;
}

void MVTFilesManagersViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    const Rect screen = Screen::mainScreen().bounds();
    const double W = screen.width(), H = screen.height();
    setTitle(localized("班级文件"));
    StatisticsKit::shared().beginLogPageView("班级文件");
    auto weak = weakAs<MVTFilesManagersViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->setAccessibilityLabel("back");
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    deleteTaskName_.clear();
    cleanObserver_ = NotificationCenter::defaultCenter().addObserver(
        kCleanDownLoadListBtnNotification, [weak](const Notification& note) {
            if (auto self = weak.lock()) self->cleanDown(textOf(note.object));
        });

    searchBar_ = std::make_shared<SearchBar>(Rect(0, 0, W, 40));
    searchBar_->setPlaceholder(localized("输入文件名/上传者姓名"));
    searchBar_->setDelegate(weakAs<SearchBarDelegate>());
    view()->addSubview(searchBar_);

    mytableview_ = myTableView::make({0, 40, W, H - 144}, TableViewStyle::Plain);
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    mytableview_->setBackgroundColor(Color::clear());
    view()->addSubview(mytableview_);
    refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -(H - 144), W, H - 144});
    refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
    refreshHeaderView_->refreshLastUpdatedDate();
    mytableview_->addSubview(refreshHeaderView_);

    auto footer = std::make_shared<View>(Rect(0, 0, W, 60));
    footer->setBackgroundColor(Color::clear());
    moreBtn_ = Button::buttonWithType(ButtonType::Custom);
    moreBtn_->setFrame({5, 5, W - 10, 50});
    moreBtn_->setTitleColor(Color::darkGray());
    moreBtn_->titleLabel()->setFont(Font::systemFontOfSize(16));
    moreBtn_->setTitle(localized("点击加载更多"));
    moreBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toGetMoreCourseData();
    });
    footer->addSubview(moreBtn_);
    mytableview_->setTableFooterView(footer);

    showDownLoadListBtn_ = Button::buttonWithType(ButtonType::Custom);
    showDownLoadListBtn_->setFrame({0, H - 104, W, 40});
    showDownLoadListBtn_->setBackgroundColor(Color::whiteColor());
    showDownLoadListBtn_->setTitle(localized("文件列表"));
    showDownLoadListBtn_->setTitleColor(Color::black());
    showDownLoadListBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->showDownLoadList();
    });
    progressTrack_ = std::make_shared<View>(Rect(0, 0, 0, 40));
    progressTrack_->setBackgroundColor(Color::rgb255(66, 166, 36, 0.5));
    progressTrack_->setUserInteractionEnabled(false);
    showDownLoadListBtn_->addSubview(progressTrack_);
    view()->addSubview(showDownLoadListBtn_);

    getDataObjects("");
}

void MVTFilesManagersViewController::setFooter(const std::string& text, bool enabled) {
    moreBtn_->setTitle(localized(text));
    moreBtn_->setEnabled(enabled);
}

void MVTFilesManagersViewController::getDataObjects(const std::string& pagingKey) {
    if (refreshing_) return;
    const std::string userId = MVTAccount::sharedInstance().userId().value_or("");
    std::string url = ServiceAddress::servicePrefix() + "user/" + userId + "/class/lib/list";
    if (!searchName_.empty()) url += "?name=" + MVTPublicMethod::encodeURLWhenChinese(searchName_);
    Json parameters = {{"limit", std::to_string(kPageSize)}};
    if (pagingKey == "maxIdNotIncludeSelf") parameters["maxIdNotIncludeSelf"] = maxIdNotIncludeSelf_;
    auto request = MVTPublicMethod::requestWithMethod("GET", url, parameters);
    if (!request) {
        doneLoadingTableViewData();
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        return;
    }
    refreshing_ = true;
    showHUDWithBool(true);
    const std::string searched = searchName_;
    auto weak = weakAs<MVTFilesManagersViewController>();
    auto finish = [weak] {
        auto self = weak.lock();
        if (!self) return;
        self->refreshing_ = false;
        self->doneLoadingTableViewData();
        self->showHUDWithBool(false);
        // A search begun or ended while this load ran: its list comes now.
        if (self->reloadAfterLoad_) {
            self->reloadAfterLoad_ = false;
            self->getDataObjects("");
        }
    };
    auto operation = HttpJsonRequestOperation::JSONRequestOperationWithRequest(
        *request,
        [weak, pagingKey, finish](HttpJsonRequestOperation&, const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            const std::size_t n = reply.is_array() ? reply.size() : 0;
            const bool anyShown = !self->todayArray_.empty() || !self->recWeekArray_.empty() || !self->earlierArray_.empty();
            if (n > 0) {
                if (pagingKey.empty()) {
                    self->todayArray_.clear();
                    self->recWeekArray_.clear();
                    self->earlierArray_.clear();
                    self->allDataArray_.clear();
                    self->titleArray_.clear();
                }
                self->dealWithDataFormNet(reply);
                if (n >= static_cast<std::size_t>(kPageSize))
                    self->setFooter("点击加载更多", true);
                else
                    self->setFooter("已经加载全部", false);
            } else if (anyShown) {
                if (pagingKey == "maxIdNotIncludeSelf") self->setFooter("已经加载全部", false);
                self->mytableview_->reloadData();
            } else {
                self->setFooter("暂无相关内容", false);
                self->mytableview_->reloadData();
            }
            finish();
        },
        [weak, finish](HttpRequestOperation&, const HttpError&) {
            auto self = weak.lock();
            if (!self) return;
            self->mytableview_->reloadData();
            self->setFooter("点击加载更多", true);
            finish();
        });
    operation->start();
}

void MVTFilesManagersViewController::dealWithDataFormNet(const Json& list) {
    if (!list.is_array()) {
        mytableview_->reloadData();
        return;
    }
    const long long now = static_cast<long long>(platform::Clock::current()->now());
    titleArray_.clear();
    for (const auto& item : list) {
        auto info = MVTFIleInfo::fromItem(item);
        if (!info) continue;
        const std::string key = sectionKeyFor(info->datelineSeconds(), now);
        if (key == "today")
            todayArray_.push_back(*info);
        else if (key == "recWeek")
            recWeekArray_.push_back(*info);
        else
            earlierArray_.push_back(*info);
        allDataArray_.push_back(*info);
    }
    for (auto* files : {&todayArray_, &recWeekArray_, &earlierArray_, &allDataArray_}) sortByIdDescending(*files);
    for (const char* key : {"today", "recWeek", "earlier"})
        if (!section(key).empty()) titleArray_.push_back(key);
    mytableview_->reloadData();
}

void MVTFilesManagersViewController::toGetMoreCourseData() {
    reloading_ = true;
    if (allDataArray_.empty()) {
        getDataObjects("");
        return;
    }
    maxIdNotIncludeSelf_ = textOf(allDataArray_.back().resourceId);
    getDataObjects("maxIdNotIncludeSelf");
}

void MVTFilesManagersViewController::reloadTableViewDataSource() {
    reloading_ = true;
    getDataObjects("");
}

void MVTFilesManagersViewController::doneLoadingTableViewData() {
    reloading_ = false;
    if (refreshHeaderView_ && mytableview_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

void MVTFilesManagersViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadTableViewDataSource();
}

bool MVTFilesManagersViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTFilesManagersViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return platform::Clock::current()->now();
}

void MVTFilesManagersViewController::scrollViewDidScroll(ScrollView& scrollView) {
    ViewViewController::scrollViewDidScroll(scrollView);
    if (refreshHeaderView_ && &scrollView == mytableview_.get()) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTFilesManagersViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_ && &scrollView == mytableview_.get())
        refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTFilesManagersViewController::searchBarTextDidBeginEditing(SearchBar&) {
    const double W = Screen::mainScreen().bounds().width();
    const bool chinese = InternationalControl::userLanguage() == "zh-Hans";
    searchBar_->setFrame({0, 0, W - (chinese ? 50 : 60), 40});
    if (!cancelButton_) {
        cancelButton_ = Button::buttonWithType(ButtonType::Custom);
        cancelButton_->setFrame({W - (chinese ? 50 : 60), 5, chinese ? 44.0 : 54.0, 30});
        cancelButton_->setTitle(localized("取消"));
        cancelButton_->titleLabel()->setFont(Font::systemFontOfSize(14));
        cancelButton_->setTitleColor(Color::white(0.467));
        auto weak = weakAs<MVTFilesManagersViewController>();
        cancelButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->cancelSearchBar();
        });
    }
    view()->addSubview(cancelButton_);
}

void MVTFilesManagersViewController::searchBarSearchButtonClicked(SearchBar&) {
    searchBar_->resignFirstResponder();
    searchName_ = searchBar_->text();
    StatisticsKit::shared().beginLogPageView("搜索");
    titleArray_.clear();
    todayArray_.clear();
    recWeekArray_.clear();
    earlierArray_.clear();
    if (refreshing_) reloadAfterLoad_ = true;
    getDataObjects("");
}

void MVTFilesManagersViewController::cancelSearchBar() {
    if (cancelButton_) cancelButton_->removeFromSuperview();
    searchBar_->resignFirstResponder();
    searchBar_->setFrame({0, 0, Screen::mainScreen().bounds().width(), 40});
    searchBar_->setText("");
    const bool changed = !searchName_.empty();
    searchName_.clear();
    if (refreshing_ && changed) reloadAfterLoad_ = true;
    getDataObjects("");
}

void MVTFilesManagersViewController::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (mytableview_) mytableview_->reloadData();
}

void MVTFilesManagersViewController::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    if (showAlert_) {
        if (showAlert_->isVisible()) showAlert_->dismissWithClickedButtonIndex(0, true);
        showAlert_.reset();
    }
}

void MVTFilesManagersViewController::viewDidDisappear(bool animated) {
    ViewViewController::viewDidDisappear(animated);
    if (searchBar_) cancelSearchBar();
}

void MVTFilesManagersViewController::goback() {
    StatisticsKit::shared().endLogPageView("班级文件");
    dismissViewController(true);
}

void MVTFilesManagersViewController::showHUDWithBool(bool show) {
    if (show) {
        ProgressHUD::hideHUDForView(view(), false);
        ProgressHUD::showHUDAddedTo(view(), true);
    } else {
        ProgressHUD::hideHUDForView(view(), true);
    }
}

void MVTFilesManagersViewController::showDownLoadList() {
    if (auto stack = navigationController())
        stack->pushViewController(MVTDownLoadViewController::shareDownLoadViewController(), true);
}

void MVTFilesManagersViewController::fileDown(Button& button) {
    deleteTaskName_.clear();
    const std::string downloading = localized("下载中");
    button.setTitle(downloading);
    const double w = TextMeasure::sizeWithFont(downloading, Font::systemFontOfSize(12)).width;
    const Rect frame = button.frame();
    button.setFrame({Screen::mainScreen().bounds().width() - 5 - w, frame.y(), w, frame.height()});
    std::string token;
    if (auto app = MVTAppDelegate::sharedAppDelegate()) token = app->getTokenWith(button.accessibilityValue());
    const std::string url =
        ServiceAddress::baseUrl() + "resource/" + button.accessibilityValue() + "/download?token=" + token;
    auto task = MVTDownLoadViewController::shareDownLoadViewController()->downFileUrl(url, button.accessibilityHint());
    if (task) task->setDelegateUp(weakAs<MVTTaskFileDelegate>());
}

void MVTFilesManagersViewController::fileShow(Button& button) {
    const std::string path = button.accessibilityHint();
    MVTShowFileViewController::openFile(*this, path, filesShownName(path),
                                        [this](std::shared_ptr<AlertView> notice) { showAlert_ = std::move(notice); });
}

void MVTFilesManagersViewController::showProgress(float progress, const std::string& name) {
    if (name == deleteTaskName_) return;
    showDownLoadListBtn_->setTitle(name);
    if (!progressTrack_->superview()) {
        progressTrack_->setFrame({0, 0, 0, 40});
        showDownLoadListBtn_->addSubview(progressTrack_);
    }
    if (progress >= 0 && progress < 1.1f) {
        const double width = progress * view()->bounds().width();
        auto track = progressTrack_;
        animateWithSpring(0.5, 0, 0.8, 1.0, [track, width] { track->setFrame({0, 0, width, 40}); });
    }
}

void MVTFilesManagersViewController::showFailure(const std::string& name, const std::string& text) {
    deleteTaskName_.clear();
    showDownLoadListBtn_->setTitle(localized(text));
    progressTrack_->removeFromSuperview();
    showReloadNews(name + localized(text));
}

void MVTFilesManagersViewController::updateFileMangeView(float progress, const std::string&, const std::string& fileName) {
    if (progress == -1.0f) {
        showFailure(fileName, "下载失败");
        return;
    }
    showProgress(progress, fileName);
    if (progress == 1.0f) {
        mytableview_->reloadData();
        cleanDownLoadListBtn();
    }
}

void MVTFilesManagersViewController::updateCellData(float progress, const std::string& fileName) {
    if (progress < 0) {
        showFailure(fileName, "上传失败");
        return;
    }
    showProgress(progress, fileName);
    if (progress == 1.0f) cleanDownLoadListBtn();
}

void MVTFilesManagersViewController::cleanDownLoadListBtn() {
    deleteTaskName_.clear();
    showDownLoadListBtn_->setTitle(localized("文件列表"));
    progressTrack_->removeFromSuperview();
}

void MVTFilesManagersViewController::cleanDown(const std::string& name) {
    deleteTaskName_ = name;
    showDownLoadListBtn_->setTitle(localized("文件列表"));
    progressTrack_->removeFromSuperview();
}

void MVTFilesManagersViewController::showReloadNews(const std::string& text) {
    const double W = Screen::mainScreen().bounds().width();
    if (!newsLabel_) {
        newsLabel_ = std::make_shared<Label>(Rect(5, 5, W - 10, 26));
        newsLabel_->setBackgroundColor(Color::rgb255(58, 145, 32));
        newsLabel_->setTextColor(Color::whiteColor());
        newsLabel_->setFont(Font::boldSystemFontOfSize(14));
        newsLabel_->setTextAlignment(TextAlignment::Center);
        newsLabel_->setCornerRadius(4);
        view()->addSubview(newsLabel_);
    }
    newsLabel_->setText(text);
    newsLabel_->setFrame({5, -30, W - 10, 26});
    newsLabel_->setAlpha(0);
    auto label = newsLabel_;
    animate(0.1, [label, W] {
        label->setFrame({5, 5, W - 10, 26});
        label->setAlpha(1);
    });
    animate(2.0, [label, W] { label->setFrame({5, -30, W - 10, 26}); });
}

int MVTFilesManagersViewController::numberOfSectionsInTableView(TableView&) {
    return static_cast<int>(titleArray_.size());
}

int MVTFilesManagersViewController::numberOfRowsInSection(TableView&, int index) {
    return static_cast<int>(section(titleArray_.at(static_cast<std::size_t>(index))).size());
}

std::shared_ptr<TableViewCell> MVTFilesManagersViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                     const IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<MVTFileInfoCell>(tableView.dequeueReusableCellWithIdentifier("LCTSelectCell"));
    if (!cell) {
        cell = std::make_shared<MVTFileInfoCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "LCTSelectCell");
    }
    for (const auto& sub : std::vector<std::shared_ptr<View>>(cell->contentView()->subviews())) sub->removeFromSuperview();
    cell->setDelegate(weakAs<fileDownLoadDelegate>());
    const auto& files = section(titleArray_.at(static_cast<std::size_t>(indexPath.section)));
    cell->setFileInfo(files.at(static_cast<std::size_t>(indexPath.row)));
    cell->initCell();
    cell->setBackgroundColor(Color::clear());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    auto line = std::make_shared<View>(Rect(0, 69, Screen::mainScreen().bounds().width(), 0.3));
    line->setBackgroundColor(Color::white(0.85));
    cell->contentView()->addSubview(line);
    return cell;
}

double MVTFilesManagersViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) {
    return MVTFileInfoCell::kRowHeight;
}

double MVTFilesManagersViewController::heightForHeaderInSection(TableView&, int) { return 26; }

std::shared_ptr<View> MVTFilesManagersViewController::viewForHeaderInSection(TableView&, int index) {
    static const std::map<std::string, std::string> titles = {
        {"today", "今天"}, {"recWeek", "最近一周"}, {"earlier", "更早"}};
    auto label = std::make_shared<Label>(Rect(0, 0, Screen::mainScreen().bounds().width(), 26));
    label->setBackgroundColor(Color::whiteColor());
    label->setTextColor(Color::white(0.333));
    label->setText("  " + localized(titles.at(titleArray_.at(static_cast<std::size_t>(index)))));
    return label;
}

void MVTFilesManagersViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath&) {
    tableView.reloadData();
}
