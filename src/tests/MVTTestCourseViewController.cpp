#include "tests/MVTTestCourseViewController.h"

#include "core/MVTAccount.h"
#include "tests/MVTTestCompleteViewController.h"
#include "shell/InternationalControl.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "platform/Clock.h"
#include "platform/NotificationCenter.h"
#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {

const std::vector<std::string> kListLoadingFrames = {"load_2", "load_3", "load_4", "load_5",
                                                     "load_6", "load_7", "load_8", "load_1"};

const Json& listNone() {
    static const Json none = Json::array();
    return none;
}

}  // namespace

void MVTTestCourseViewController::viewDidLoad() {
    TestsScreen::viewDidLoad();
    setTitle(localized("测验"));
    StatisticsKit::shared().beginLogPageView(kPageName);
    auto weak = weakAs<MVTTestCourseViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    if (homework::currentRole() == "student") {
        selectButton_ = setRightTextButton(localized("筛选"), [weak] {
            if (auto self = weak.lock()) self->toSelect();
        });
    }
    dataArr_ = Json::array();
    initmytableview();
    getCourseData();
}

void MVTTestCourseViewController::goback() {
    StatisticsKit::shared().endLogPageView(kPageName);
    dismissViewController(true);
}

void MVTTestCourseViewController::initmytableview() {
    if (!mytableview_) {
        const Rect screen = Screen::mainScreen().bounds();
        mytableview_ = homework::makeListTable({0, 0, view()->bounds().width(), screen.height() - 64});
        const Rect frame = mytableview_->frame();
        refreshHeaderView_ = EGORefreshTableHeaderView::make({0, -frame.height(), frame.width(), frame.height()});
        refreshHeaderView_->setDelegate(weakAs<EGORefreshTableHeaderDelegate>());
        mytableview_->addSubview(refreshHeaderView_);
        refreshHeaderView_->refreshLastUpdatedDate();
        mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
        mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
        view()->addSubview(mytableview_);
    } else {
        mytableview_->reloadData();
    }
    auto weak = weakAs<MVTTestCourseViewController>();
    RunLoop::main().performAfter(kEndRefreshDelay, [weak] {
        if (auto self = weak.lock()) self->doneLoadingTableViewData();
    });
}

void MVTTestCourseViewController::doneLoadingTableViewData() {
    reloading_ = false;
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDataSourceDidFinishedLoading(*mytableview_);
}

void MVTTestCourseViewController::getCourseData() { load(false); }

void MVTTestCourseViewController::reloadCourseData() {
    ++generation_;
    load(true);
}

void MVTTestCourseViewController::load(bool replace) {
    showHUDWithBool(true);
    const int page = replace ? 1 : int(dataArr_.size()) / quiz::kGroupsPerPage + 1;
    Json parameters = {{"page", std::to_string(page)}, {"limit", std::to_string(quiz::kGroupsPerPage)}};
    quiz::addFilterParameters(parameters, levelDic_, subjectDic_, teacherDic_);
    const int generation = generation_;
    auto weak = weakAs<MVTTestCourseViewController>();
    auto finishFooter = [weak](const char* title, bool enabled) {
        auto self = weak.lock();
        self->initmytableview();
        if (!self->footer_.view) {
            self->footer_ = quiz::MoreFooter::make(false, "load_1", kListLoadingFrames, [weak] {
                if (auto list = weak.lock()) list->toGetMoreCourseData();
            });
            self->mytableview_->setTableFooterView(self->footer_.view);
        }
        self->footer_.finish(title, enabled);
    };
    auto failed = [weak, generation, finishFooter] {
        auto self = weak.lock();
        self->showHUDWithBool(false);
        if (generation != self->generation_) return;
        finishFooter("点击加载更多", true);
    };
    auto operation = sendTestRequest(
        "GET", "courseExam/" + homework::currentUserId() + "/list", parameters,
        [weak, generation, replace, finishFooter, failed](const Json& reply) {
            auto self = weak.lock();
            // A load overtaken by a refresh or a filter change: its page is no longer
            // what the list shows.
            if (generation != self->generation_) return;
            if (!reply.is_null() && !reply.is_array()) {
                failed();
                return;
            }
            if (!replace) {
                MVTAccount::sharedInstance().setNewExam(false);
                NotificationCenter::defaultCenter().postNotification(kMarkUpside);
            }
            if (reply.is_null()) {
                finishFooter("已加载全部", false);
                return;
            }
            if (replace) self->dataArr_ = Json::array();
            for (const auto& group : reply) self->dataArr_.push_back(group.is_object() ? group : Json::object());
            if (reply.size() > std::size_t(quiz::kGroupsPerPage - 1))
                finishFooter("点击加载更多", true);
            else
                finishFooter(self->dataArr_.empty() ? "没有相关内容" : "已加载全部", false);
        },
        failed);
    if (!operation) {
        quiz::showNetworkBanner(0);
        failed();
    }
}

void MVTTestCourseViewController::toGetMoreCourseData() {
    footer_.showLoading();
    getCourseData();
}

const Json& MVTTestCourseViewController::testsOf(const Json& group) {
    const Json& tests = valueFor(group, "examList");
    return tests.is_array() ? tests : listNone();
}

// ---- The table.

int MVTTestCourseViewController::numberOfSectionsInTableView(TableView&) { return int(dataArr_.size()); }

int MVTTestCourseViewController::numberOfRowsInSection(TableView&, int section) {
    if (section < 0 || std::size_t(section) >= dataArr_.size()) return 0;
    return int(testsOf(dataArr_[std::size_t(section)]).size());
}

std::shared_ptr<TableViewCell> MVTTestCourseViewController::cellForRowAtIndexPath(TableView& table,
                                                                                  const IndexPath& path) {
    auto cell = std::dynamic_pointer_cast<MVTStudentTestCell>(table.dequeueReusableCellWithIdentifier("studentTestCell"));
    if (!cell) {
        cell = MVTStudentTestCell::make("studentTestCell");
        cell->setDelegate(weakAs<MVTTeacherTestDelegate>());
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    }
    const Json& tests = testsOf(dataArr_[std::size_t(path.section)]);
    cell->reloaddataWith(tests[std::size_t(path.row)], std::size_t(path.row) + 1 == tests.size());
    return cell;
}

double MVTTestCourseViewController::heightForRowAtIndexPath(TableView&, const IndexPath& path) {
    if (!sizingCell_) sizingCell_ = MVTStudentTestCell::make("studentTestCell");
    const Json& tests = testsOf(dataArr_[std::size_t(path.section)]);
    sizingCell_->reloaddataWith(tests[std::size_t(path.row)], std::size_t(path.row) + 1 == tests.size());
    return sizingCell_->frame().height();
}

double MVTTestCourseViewController::heightForHeaderInSection(TableView&, int section) {
    return quiz::courseNameHeight(textOf(dataArr_[std::size_t(section)], "courseName")) + 20;
}

std::shared_ptr<View> MVTTestCourseViewController::viewForHeaderInSection(TableView&, int section) {
    const double width = Screen::mainScreen().bounds().width();
    const std::string name = textOf(dataArr_[std::size_t(section)], "courseName");
    const double height = quiz::courseNameHeight(name);
    auto header = std::make_shared<View>(Rect(0, 0, width, height + 20));
    header->setBackgroundColor(homework::kBackgroundGrey);
    auto label = std::make_shared<Label>(Rect(10, 10, width - 20, height));
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(16));
    label->setTextColor(homework::kTextGrey);
    label->setNumberOfLines(0);
    label->setText(name);
    header->addSubview(label);
    return header;
}

void MVTTestCourseViewController::didSelectRowAtIndexPath(TableView&, const IndexPath& path) {
    selectIndexPath_ = path;
    view()->setTag(1);
    toExamWith(testsOf(dataArr_[std::size_t(path.section)])[std::size_t(path.row)]);
}

void MVTTestCourseViewController::scrollViewDidScroll(ScrollView& scrollView) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidScroll(scrollView);
}

void MVTTestCourseViewController::scrollViewDidEndDragging(ScrollView& scrollView, bool) {
    if (refreshHeaderView_) refreshHeaderView_->egoRefreshScrollViewDidEndDragging(scrollView);
}

void MVTTestCourseViewController::egoRefreshTableHeaderDidTriggerRefresh(EGORefreshTableHeaderView&) {
    reloadTableViewDataSource();
}

void MVTTestCourseViewController::reloadTableViewDataSource() {
    reloadCourseData();
    reloading_ = true;
}

bool MVTTestCourseViewController::egoRefreshTableHeaderDataSourceIsLoading(EGORefreshTableHeaderView&) {
    return reloading_;
}

double MVTTestCourseViewController::egoRefreshTableHeaderDataSourceLastUpdated(EGORefreshTableHeaderView&) {
    return platform::now();
}

// ---- Opening a test and taking back its count.

void MVTTestCourseViewController::toExamWith(const Json& test) {
    auto sheet = std::make_shared<MVTCourseListViewController>();
    sheet->setWhereShow(MVTCourseListViewController::kHomeView);
    sheet->setTitleStr(textOf(test, "examName"));
    sheet->setExamId(textOf(test, "id"));
    sheet->setCompleteCount(int(integerValue(textOf(test, "complete"))));
    sheet->view()->setTag(view()->tag());
    sheet->setDelegate(weakAs<MVTCourseListViewDelegate>());
    if (auto navigation = navigationController()) navigation->pushViewController(sheet, true);
}

void MVTTestCourseViewController::updateCompletePerson(const std::string& count) {
    const auto [section, row] = std::pair{selectIndexPath_.section, selectIndexPath_.row};
    if (section < 0 || std::size_t(section) >= dataArr_.size()) return;
    Json& group = dataArr_[std::size_t(section)];
    Json tests = testsOf(group);
    if (row < 0 || std::size_t(row) >= tests.size()) return;
    Json test = tests[std::size_t(row)].is_object() ? tests[std::size_t(row)] : Json::object();
    test["complete"] = count;
    tests[std::size_t(row)] = test;
    group["examList"] = tests;
    mytableview_->reloadRowsAtIndexPaths({selectIndexPath_}, TableViewRowAnimation::None);
}

void MVTTestCourseViewController::toGotoDidSearchedExamWith(const Json& test) {
    view()->setTag(0);
    auto weak = weakAs<MVTTestCourseViewController>();
    RunLoop::main().performAfter(kSearchedOpenDelay, [weak, test] {
        if (auto self = weak.lock()) self->toExamWith(test);
    });
}

void MVTTestCourseViewController::showTestCompleteList(Button& button) {
    const std::string id = button.accessibilityHint();
    if (id.empty() && button.accessibilityValue().empty()) {
        AlertView::make(localized("提示"), localized("无答题情况统计"), {}, localized("知道了"), {})->show();
        return;
    }
    auto list = std::make_shared<MVTTestCompleteViewController>();
    list->setExamId(id);
    list->setTitleStr(button.accessibilityValue());
    if (auto navigation = navigationController()) navigation->pushViewController(list, true);
}

// ---- Filters and search.

void MVTTestCourseViewController::toSelect() {
    auto picker = std::make_shared<MVTTestSelectViewController>();
    picker->setDelegate(weakAs<MVTTestSelectViewDelegate>());
    picker->setWhereFrom("test");
    picker->setLevelDic(levelDic_);
    picker->setSubjectDic(subjectDic_);
    picker->setTeacherDic(teacherDic_);
    if (auto navigation = navigationController()) navigation->pushViewController(picker, true);
}

void MVTTestCourseViewController::getLevel(const Json& level, const Json& subject, const Json& teacher) {
    levelDic_ = quiz::isFilterSet(level) ? level : Json();
    subjectDic_ = quiz::isFilterSet(subject) ? subject : Json();
    teacherDic_ = quiz::isFilterSet(teacher) ? teacher : Json();
    // A page still on its way belongs to the filters before.
    ++generation_;
    if (quiz::isFilterSet(levelDic_) || quiz::isFilterSet(subjectDic_) || quiz::isFilterSet(teacherDic_)) {
        createHeadView();
        mytableview_->setTableHeaderView(myheadView_);
    } else {
        mytableview_->setTableHeaderView(nullptr);
    }
    mytableview_->reloadData();
    auto weak = weakAs<MVTTestCourseViewController>();
    RunLoop::main().performAfter(kFilterDelay, [weak] {
        if (auto self = weak.lock()) self->toGetSelectData();
    });
}

void MVTTestCourseViewController::toGetSelectData() {
    dataArr_ = Json::array();
    getCourseData();
}

void MVTTestCourseViewController::createHeadView() {
    const double width = Screen::mainScreen().bounds().width();
    if (!myheadView_) {
        myheadView_ = std::make_shared<View>(Rect(0, 0, width, 56));
        myheadView_->setBackgroundColor(Color::whiteColor());
    }
    for (const auto& sub : std::vector<std::shared_ptr<View>>(myheadView_->subviews())) sub->removeFromSuperview();
    double x = 5;
    if (quiz::isFilterSet(levelDic_)) createSelectBtnWith(textOf(levelDic_, "levelGradeName"), x);
    if (quiz::isFilterSet(subjectDic_)) createSelectBtnWith(textOf(subjectDic_, "subjectName"), x);
    if (quiz::isFilterSet(teacherDic_)) createSelectBtnWith(textOf(teacherDic_, "authorName"), x);
}

void MVTTestCourseViewController::createSelectBtnWith(const std::string& text, double& x) {
    const double w = TextMeasure::sizeWithFont(text, Font::systemFontOfSize(14)).width + 10;
    auto chip = Button::buttonWithType(ButtonType::Custom);
    chip->setFrame({x, 13, w, 30});
    chip->setBackgroundColor(Color::rgb255(210, 210, 210));
    chip->setTitle(text);
    chip->setTitleColor(Color::whiteColor());
    chip->titleLabel()->setFont(Font::systemFontOfSize(14));
    chip->setCornerRadius(4);
    auto weak = weakAs<MVTTestCourseViewController>();
    chip->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toSelect();
    });
    myheadView_->addSubview(chip);
    x += w + 5;
}

void MVTTestCourseViewController::toSearch() {
    auto search = std::make_shared<MVTSearchTestViewController>();
    search->view()->setTag(MVTSearchTestViewController::kTestMode);
    search->setLevelDic(levelDic_);
    search->setSubjectDic(subjectDic_);
    search->setTeacherDic(teacherDic_);
    search->setDelegate(weakAs<MVTSearchTestViewDelegate>());
    presentViewController(search, true);
}
