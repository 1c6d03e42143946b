#include "tests/MVTTestCompleteViewController.h"

#include "tests/MVTCourseListViewController.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

void MVTTestCompleteViewController::viewDidLoad() {
    TestsScreen::viewDidLoad();
    setTitle(titleStr_);
    auto weak = weakAs<MVTTestCompleteViewController>();
    setBackButton([weak] {
        auto self = weak.lock();
        if (self && self->navigationController()) self->navigationController()->popViewController(true);
    });
    dataArray_ = Json::array();
    getCourseData();
    const Rect screen = Screen::mainScreen().bounds();
    completeList_ = homework::makeListTable({0, 0, view()->bounds().width(), screen.height() - 64});
    completeList_->setDelegate(weakAs<TableViewDelegate>().lock());
    completeList_->setDataSource(weakAs<TableViewDataSource>().lock());
    const Rect frame = completeList_->frame();
    refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -frame.height(), frame.width(), frame.height()});
    refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
    completeList_->addSubview(refreshHeaderView_);
    refreshHeaderView_->refreshLastUpdatedDate();
    view()->addSubview(completeList_);
}

void MVTTestCompleteViewController::endRefresh() {
    reloading_ = false;
    if (refreshHeaderView_ && completeList_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*completeList_);
}

void MVTTestCompleteViewController::getCourseData() {
    if (loadOperation_) loadOperation_->cancel();
    loadOperation_.reset();
    dataArray_ = Json::array();
    if (completeList_) completeList_->reloadData();
    auto weak = weakAs<MVTTestCompleteViewController>();
    loadOperation_ = sendTestRequest(
        "GET", "course/examStds/" + examId_, Json::object(),
        [weak](const Json& reply) {
            auto self = weak.lock();
            self->loadOperation_.reset();
            self->endRefresh();
            if (reply.is_array())
                for (const auto& student : reply)
                    if (student.is_object()) self->dataArray_.push_back(student);
            if (self->completeList_) self->completeList_->reloadData();
        },
        [weak] {
            auto self = weak.lock();
            self->loadOperation_.reset();
            self->endRefresh();
            if (self->completeList_) self->completeList_->reloadData();
        });
    if (!loadOperation_) {
        endRefresh();
        quiz::showNetworkBanner(0);
    }
}

int MVTTestCompleteViewController::numberOfRowsInSection(TableView&, int) { return int(dataArray_.size()); }

std::shared_ptr<TableViewCell> MVTTestCompleteViewController::cellForRowAtIndexPath(TableView& table,
                                                                                    const IndexPath& path) {
    static const std::string identifier = "testCompleteCell";
    auto cell = table.dequeueReusableCellWithIdentifier(identifier);
    if (!cell) {
        cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, identifier);
        cell->setBackgroundColor(Color::clear());
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        auto line = std::make_shared<View>(Rect(5, 44.5, Screen::mainScreen().bounds().width() - 10, 0.5));
        line->setBackgroundColor(Color::rgb255(225, 225, 225));
        cell->contentView()->addSubview(line);
    }
    const Json& student = dataArray_[std::size_t(path.row)];
    const Json& name = valueFor(student, "name");
    cell->textLabel()->setText(name.is_string() ? name.get<std::string>() : std::string());
    return cell;
}

double MVTTestCompleteViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

void MVTTestCompleteViewController::didSelectRowAtIndexPath(TableView&, const IndexPath& path) {
    if (path.row < 0 || std::size_t(path.row) >= dataArray_.size()) return;
    view()->setTag(1);
    toExamWith(textOf(dataArray_[std::size_t(path.row)], "uid"));
}

void MVTTestCompleteViewController::toExamWith(const std::string& uid) {
    auto sheet = std::make_shared<MVTCourseListViewController>();
    sheet->setTitleStr(titleStr_);
    sheet->setExamId(examId_);
    sheet->setStdId(uid);
    sheet->setWhereShow(MVTCourseListViewController::kTeacherToLook);
    sheet->view()->setTag(view()->tag());
    if (auto navigation = navigationController()) navigation->pushViewController(sheet, true);
}

void MVTTestCompleteViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTTestCompleteViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTTestCompleteViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloading_ = true;
    getCourseData();
}

bool MVTTestCompleteViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTTestCompleteViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return platform::now();
}
