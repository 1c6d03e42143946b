#include "files/FileLibraryScreen.h"

#include "files/MVTDownLoadViewController.h"
#include "files/MVTShowFileViewController.h"
#include "files/MVTUpLoadViewController.h"

#include "account/MVTInterClassViewController.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>

using namespace platform;

namespace {

const std::vector<MVTFIleInfo> kNoLibraryFiles;

void sortLibraryFilesByIdDescending(std::vector<MVTFIleInfo>& files) {
    std::stable_sort(files.begin(), files.end(),
                     [](const MVTFIleInfo& a, const MVTFIleInfo& b) { return a.idNumber() > b.idNumber(); });
}

}  // namespace

std::string FileLibraryScreen::sectionKeyFor(long long dateline, long long now) {
    const std::time_t when = static_cast<std::time_t>(dateline), today = static_cast<std::time_t>(now);
    std::tm a{}, b{};
    localtime_r(&when, &a);
    localtime_r(&today, &b);
    if (a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday) return "today";
    if (now - dateline < static_cast<long long>(kWeekSeconds)) return "recWeek";
    return "earlier";
}

const std::vector<MVTFIleInfo>& FileLibraryScreen::section(const std::string& key) const {
    if (key == "today") return todayArray_;
    if (key == "recWeek") return recWeekArray_;
    if (key == "earlier") return earlierArray_;
    return kNoLibraryFiles;
}

void FileLibraryScreen::buildLibrary(double tableTop, double tableHeight) {
    const double W = Screen::mainScreen().bounds().width(), H = Screen::mainScreen().bounds().height();
    StatisticsKit::shared().beginLogPageView(pageName());
    auto weak = weakAs<FileLibraryScreen>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->setAccessibilityLabel("back");
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    if (canUpload()) {
        auto holder = std::make_shared<View>(Rect(0, 0, 44, 44));
        holder->setBackgroundColor(Color::clear());
        selectBtn_ = Button::buttonWithType(ButtonType::Custom);
        selectBtn_->setFrame({8, 0, 44, 44});
        selectBtn_->setImage(Image::imageNamed("add_nor_org"));
        selectBtn_->setImageEdgeInsets({10, 10, 10, 10});
        selectBtn_->setAccessibilityLabel("+");
        selectBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
            if (auto self = weak.lock()) self->toPostFiles();
        });
        holder->addSubview(selectBtn_);
        navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(holder));
    }
    deleteTaskName_.clear();
    cleanObserver_ = NotificationCenter::defaultCenter().addObserver(
        kCleanDownLoadListBtnNotification, [weak](const Notification& note) {
            if (auto self = weak.lock()) self->cleanDown(textOf(note.object));
        });

    mytableview_ = myTableView::make({0, tableTop, W, tableHeight}, TableViewStyle::Plain);
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    mytableview_->setBackgroundColor(Color::clear());
    view()->addSubview(mytableview_);
    refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -tableHeight, W, tableHeight});
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

void FileLibraryScreen::setFooter(const std::string& text, bool enabled) {
    moreBtn_->setTitle(localized(text));
    moreBtn_->setEnabled(enabled);
}

void FileLibraryScreen::clearSections() {
    titleArray_.clear();
    todayArray_.clear();
    recWeekArray_.clear();
    earlierArray_.clear();
}

bool FileLibraryScreen::anyShown() const {
    return !todayArray_.empty() || !recWeekArray_.empty() || !earlierArray_.empty();
}

void FileLibraryScreen::getDataObjects(const std::string& pagingKey) {
    if (refreshing_) return;
    Json parameters = {{"limit", std::to_string(kPageSize)}};
    if (pagingKey == "maxIdNotIncludeSelf") parameters["maxIdNotIncludeSelf"] = maxIdNotIncludeSelf_;
    auto request = MVTPublicMethod::requestWithMethod("GET", listUrl(), parameters);
    if (!request) {
        doneLoadingTableViewData();
        if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(0);
        return;
    }
    refreshing_ = true;
    showHUDWithBool(true);
    auto weak = weakAs<FileLibraryScreen>();
    auto finish = [weak] {
        auto self = weak.lock();
        if (!self) return;
        self->refreshing_ = false;
        self->doneLoadingTableViewData();
        self->showHUDWithBool(false);
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
            const Json files = self->filesOf(reply);
            const std::size_t n = files.is_array() ? files.size() : 0;
            if (n > 0) {
                if (pagingKey.empty()) {
                    self->clearSections();
                    self->allDataArray_.clear();
                }
                self->dealWithDataFormNet(files);
                if (n >= static_cast<std::size_t>(kPageSize))
                    self->setFooter("点击加载更多", true);
                else
                    self->setFooter("已经加载全部", false);
            } else if (self->anyShown()) {
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

void FileLibraryScreen::dealWithDataFormNet(const Json& list) {
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
    for (auto* files : {&todayArray_, &recWeekArray_, &earlierArray_, &allDataArray_})
        sortLibraryFilesByIdDescending(*files);
    for (const char* key : {"today", "recWeek", "earlier"})
        if (!section(key).empty()) titleArray_.push_back(key);
    mytableview_->reloadData();
}

void FileLibraryScreen::toGetMoreCourseData() {
    reloading_ = true;
    if (allDataArray_.empty()) {
        getDataObjects("");
        return;
    }
    maxIdNotIncludeSelf_ = textOf(allDataArray_.back().resourceId);
    getDataObjects("maxIdNotIncludeSelf");
}

void FileLibraryScreen::reloadTableViewDataSource() {
    reloading_ = true;
    getDataObjects("");
}

void FileLibraryScreen::doneLoadingTableViewData() {
    reloading_ = false;
    if (refreshHeaderView_ && mytableview_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

void FileLibraryScreen::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadTableViewDataSource();
}

bool FileLibraryScreen::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) { return reloading_; }

double FileLibraryScreen::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return platform::Clock::current()->now();
}

void FileLibraryScreen::scrollViewDidScroll(ScrollView& scrollView) {
    ViewViewController::scrollViewDidScroll(scrollView);
    if (refreshHeaderView_ && &scrollView == mytableview_.get()) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void FileLibraryScreen::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_ && &scrollView == mytableview_.get())
        refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void FileLibraryScreen::viewWillAppear(bool animated) {
    ViewViewController::viewWillAppear(animated);
    if (mytableview_) mytableview_->reloadData();
}

void FileLibraryScreen::viewWillDisappear(bool animated) {
    ViewViewController::viewWillDisappear(animated);
    if (showAlert_) {
        if (showAlert_->isVisible()) showAlert_->dismissWithClickedButtonIndex(0, true);
        showAlert_.reset();
    }
}

void FileLibraryScreen::goback() {
    StatisticsKit::shared().endLogPageView(pageName());
    removeTitleSelectView();
    leave();
}

void FileLibraryScreen::showHUDWithBool(bool show) {
    if (show) {
        ProgressHUD::hideHUDForView(view(), false);
        ProgressHUD::showHUDAddedTo(view(), true);
    } else {
        ProgressHUD::hideHUDForView(view(), true);
    }
}

void FileLibraryScreen::showDownLoadList() {
    if (auto stack = navigationController())
        stack->pushViewController(MVTDownLoadViewController::shareDownLoadViewController(), true);
}

void FileLibraryScreen::toPostFiles() {
    if (MVTPublicMethod::isUnClassId()) {
        MVTInterClassViewController::showJoinClassAlert(weakAs<AlertViewDelegate>());
        return;
    }
    if (titleSelectView_) {
        removeTitleSelectView();
        return;
    }
    auto plus = selectBtn_;
    if (plus) animate(0.3, [plus] { plus->setTransform(AffineTransform::rotation(-M_PI / 4)); });
    const double H = Screen::mainScreen().bounds().height();
    titleSelectView_ = makeDropDown({0, 0, view()->bounds().width(), H - 64});
    titleSelectView_->setDelegate(weakAs<filelib::MVTTitleDownSelectViewDelegate>());
    view()->addSubview(titleSelectView_);
    titleSelectView_->setSelectViewWith({localized("上传照片"), localized("上传视频")});
}

void FileLibraryScreen::removeTitleSelectView() {
    if (auto menu = titleSelectView_) menu->selfremoveFromSuperview();
}

void FileLibraryScreen::setRightButton() {
    auto plus = selectBtn_;
    if (plus) animate(0.3, [plus] { plus->setTransform(AffineTransform::identity()); });
    titleSelectView_.reset();
}

void FileLibraryScreen::buttonClick(Button& button) {
    const long tag = button.tag();
    removeTitleSelectView();
    typeOfFile_ = tag == 0 ? 1 : 2;
    auto upload = std::make_shared<MVTUpLoadViewController>();
    upload->setTypeOfFile(typeOfFile_);
    upload->setUpTaskdelegateFile(std::dynamic_pointer_cast<MVTUploadFileDelegate>(shared_from_this()));
    if (isGroupLibrary()) upload->setWhereFrom("group");
    upload->setFileUpUrl(uploadUrl());
    presentViewController(myNavigationController::withRoot(upload), true);
}

void FileLibraryScreen::alertViewClickedButtonAtIndex(AlertView& alert, long index) {
    MVTInterClassViewController::answerJoinClassAlert(*this, alert, index);
}

void FileLibraryScreen::fileDown(Button& button) {
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

void FileLibraryScreen::fileShow(Button& button) {
    const std::string path = button.accessibilityHint();
    MVTShowFileViewController::openFile(*this, path, filesShownName(path),
                                        [this](std::shared_ptr<AlertView> notice) { showAlert_ = std::move(notice); });
}

void FileLibraryScreen::showProgress(float progress, const std::string& name) {
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

void FileLibraryScreen::showFailure(const std::string& name, const std::string& text) {
    deleteTaskName_.clear();
    showDownLoadListBtn_->setTitle(localized(text));
    progressTrack_->removeFromSuperview();
    showReloadNews(name + localized(text));
}

void FileLibraryScreen::updateFileMangeView(float progress, const std::string&, const std::string& fileName) {
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

void FileLibraryScreen::updateCellData(float progress, const std::string& fileName) {
    if (progress < 0) {
        showFailure(fileName, "上传失败");
        return;
    }
    showProgress(progress, fileName);
    if (progress == 1.0f) cleanDownLoadListBtn();
}

void FileLibraryScreen::cleanDownLoadListBtn() {
    deleteTaskName_.clear();
    showDownLoadListBtn_->setTitle(localized("文件列表"));
    progressTrack_->removeFromSuperview();
}

void FileLibraryScreen::cleanDown(const std::string& name) {
    deleteTaskName_ = name;
    showDownLoadListBtn_->setTitle(localized("文件列表"));
    progressTrack_->removeFromSuperview();
}

void FileLibraryScreen::showReloadNews(const std::string& text) {
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

int FileLibraryScreen::numberOfSectionsInTableView(TableView&) { return static_cast<int>(titleArray_.size()); }

int FileLibraryScreen::numberOfRowsInSection(TableView&, int index) {
    return static_cast<int>(section(titleArray_.at(static_cast<std::size_t>(index))).size());
}

std::shared_ptr<TableViewCell> FileLibraryScreen::cellForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
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

double FileLibraryScreen::heightForRowAtIndexPath(TableView&, const IndexPath&) { return MVTFileInfoCell::kRowHeight; }

double FileLibraryScreen::heightForHeaderInSection(TableView&, int) { return 26; }

std::shared_ptr<View> FileLibraryScreen::viewForHeaderInSection(TableView&, int index) {
    static const std::map<std::string, std::string> titles = {
        {"today", "今天"}, {"recWeek", "最近一周"}, {"earlier", "更早"}};
    auto label = std::make_shared<Label>(Rect(0, 0, Screen::mainScreen().bounds().width(), 26));
    label->setBackgroundColor(Color::whiteColor());
    label->setTextColor(isGroupLibrary() ? Color::black() : Color::white(0.333));
    label->setText("  " + localized(titles.at(titleArray_.at(static_cast<std::size_t>(index)))));
    return label;
}

void FileLibraryScreen::didSelectRowAtIndexPath(TableView& tableView, const IndexPath&) { tableView.reloadData(); }
