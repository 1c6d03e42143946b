#include "tests/MVTSearchTestViewController.h"

#include "tests/MVTStudentTestCell.h"
#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"

using namespace platform;

namespace {

const Color kSearchGrey = Color::rgb255(242, 242, 242);
const std::vector<std::string> kSearchLoadingFrames = {"2", "3", "4", "5", "6", "7", "8", "1"};
constexpr double kSearchFocusDelay = 0.1;

const Json& searchNone() {
    static const Json none = Json::array();
    return none;
}

}  // namespace

int MVTSearchTestViewController::mode() { return view()->tag(); }

void MVTSearchTestViewController::viewDidLoad() {
    TestsScreen::viewDidLoad();
    const Rect screen = Screen::mainScreen().bounds();
    h_ = 20;
    auto strip = std::make_shared<View>(Rect(0, 0, screen.width(), h_));
    strip->setBackgroundColor(Color::white(0.333));
    view()->addSubview(strip);
    dataArr_ = Json::array();
    mytableview_ = homework::makeListTable({0, h_ + 44, view()->bounds().width(), screen.height() - 64});
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    view()->addSubview(mytableview_);
    seaBar_ = std::make_shared<SearchBar>(Rect(0, h_, screen.width(), 44));
    seaBar_->setDelegate(weakAs<SearchBarDelegate>());
    view()->addSubview(seaBar_);
    auto weak = weakAs<MVTSearchTestViewController>();
    RunLoop::main().performAfter(kSearchFocusDelay, [weak] {
        if (auto self = weak.lock()) self->toStartSearch();
    });
    auto& center = NotificationCenter::defaultCenter();
    keyboardShowToken_ = center.addObserver(kKeyboardWillShowNotification, [weak](const Notification& n) {
        if (auto self = weak.lock()) self->searchKeyboardWillShow(n);
    });
    keyboardHideToken_ = center.addObserver(kKeyboardWillHideNotification, [weak](const Notification& n) {
        if (auto self = weak.lock()) self->searchKeyboardWillHidden(n);
    });
}

void MVTSearchTestViewController::viewWillDisappear(bool animated) {
    TestsScreen::viewWillDisappear(animated);
    keyboardShowToken_.reset();
    keyboardHideToken_.reset();
}

void MVTSearchTestViewController::toStartSearch() {
    seaBar_->setShowsCancelButton(true, true);
    seaBar_->searchField()->becomeFirstResponder();
}

void MVTSearchTestViewController::searchKeyboardWillShow(const Notification& notification) {
    const double keyboard = keyboardFrameFromUserInfo(notification.userInfo, kKeyboardFrameEndUserInfoKey).height();
    const Rect screen = Screen::mainScreen().bounds();
    auto table = mytableview_;
    const double top = h_ + 44;
    animate(0.3, [=] { table->setFrame({0, top, screen.width(), screen.height() - 64 - keyboard}); });
}

void MVTSearchTestViewController::searchKeyboardWillHidden(const Notification&) {
    const Rect screen = Screen::mainScreen().bounds();
    auto table = mytableview_;
    const double top = h_ + 44;
    animate(0.3, [=] { table->setFrame({0, top, screen.width(), screen.height() - 64}); });
}

void MVTSearchTestViewController::searchBarSearchButtonClicked(SearchBar& bar) {
    if (bar.text().empty()) {
        AlertView::make(localized("请输入搜索内容"), "", {}, localized("知道了"), {})->show();
        return;
    }
    bar.searchField()->resignFirstResponder();
    getCourseData(true);
}

void MVTSearchTestViewController::searchBarCancelButtonClicked(SearchBar&) { dismissViewController(false); }

void MVTSearchTestViewController::toGetMoreCourseData() {
    footer_.showLoading();
    getCourseData(false);
}

void MVTSearchTestViewController::getCourseData(bool newSearch) {
    if (newSearch) ++generation_;
    showHUDWithBool(true);
    const int page = newSearch ? 1 : int(dataArr_.size()) / quiz::kGroupsPerPage + 1;
    Json parameters = {{"page", std::to_string(page)}, {"limit", std::to_string(quiz::kGroupsPerPage)}};
    quiz::addFilterParameters(parameters, levelDic_, subjectDic_, teacherDic_);
    if (const std::string text = seaBar_->text(); !text.empty()) parameters["searchParam"] = text;
    const std::string path = (mode() == kLessonMode ? "courseMicro/" : "courseExam/") + homework::currentUserId() + "/list";
    const int generation = generation_;
    auto weak = weakAs<MVTSearchTestViewController>();
    auto finish = [weak](const char* title, bool enabled) {
        auto self = weak.lock();
        self->mytableview_->reloadData();
        if (!self->footer_.view) {
            self->footer_ = quiz::MoreFooter::make(true, "1", kSearchLoadingFrames, [weak] {
                if (auto search = weak.lock()) search->toGetMoreCourseData();
            });
            self->mytableview_->setTableFooterView(self->footer_.view);
        }
        self->footer_.finish(title, enabled);
    };
    auto failed = [weak, generation, finish] {
        auto self = weak.lock();
        self->showHUDWithBool(false);
        if (generation == self->generation_) finish("点击加载更多", true);
    };
    auto operation = sendTestRequest(
        "GET", path, parameters,
        [weak, generation, newSearch, finish, failed](const Json& reply) {
            auto self = weak.lock();
            // An earlier search's reply: the rows show a newer one.
            if (generation != self->generation_) return;
            if (reply.is_null()) {
                finish("已加载全部", false);
                return;
            }
            if (!reply.is_array()) {
                failed();
                return;
            }
            if (newSearch) self->dataArr_ = Json::array();
            for (const auto& group : reply) self->dataArr_.push_back(group.is_object() ? group : Json::object());
            const bool more = reply.size() > std::size_t(quiz::kGroupsPerPage - 1);
            finish(more ? "点击加载更多" : "已加载全部", more);
        },
        failed);
    if (!operation) {
        quiz::showNetworkBanner(0);
        failed();
    }
}

void MVTSearchTestViewController::pick(const Json& picked) {
    if (auto delegate = this->delegate()) delegate->toGotoDidSearchedExamWith(picked);
    dismissViewController(false);
}

void MVTSearchTestViewController::showMicroLesson(const Json& lesson) { pick(lesson); }

void MVTSearchTestViewController::showMicroLesson(const Json& lessons, int index, const std::string&) {
    if (!lessons.is_array() || index < 0 || std::size_t(index) >= lessons.size()) return;
    pick(lessons[std::size_t(index)]);
}

// ---- The table.

int MVTSearchTestViewController::numberOfSectionsInTableView(TableView&) { return int(dataArr_.size()); }

int MVTSearchTestViewController::numberOfRowsInSection(TableView&, int section) {
    if (section < 0 || std::size_t(section) >= dataArr_.size()) return 0;
    if (mode() == kLessonMode) return 1;
    const Json& tests = valueFor(dataArr_[std::size_t(section)], listKey());
    return tests.is_array() ? int(tests.size()) : 0;
}

std::shared_ptr<TableViewCell> MVTSearchTestViewController::cellForRowAtIndexPath(TableView& table,
                                                                                  const IndexPath& path) {
    const Json& group = dataArr_[std::size_t(path.section)];
    if (mode() == kLessonMode) {
        auto cell = std::dynamic_pointer_cast<MVTMicroLessonCell>(
            table.dequeueReusableCellWithIdentifier("microLessonSearchCell"));
        if (cell) {
            cell->cleanView();
        } else {
            cell = MVTMicroLessonCell::make("microLessonSearchCell");
        }
        cell->setDelegate(weakAs<microLessonDelegate>());
        const Json& lessons = valueFor(group, "resList");
        cell->reuseCellWithArray(lessons.is_array() ? lessons : searchNone());
        cell->setBackgroundColor(Color::clear());
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        return cell;
    }
    auto cell = std::dynamic_pointer_cast<MVTStudentTestCell>(table.dequeueReusableCellWithIdentifier("testSearchCell"));
    if (!cell) {
        cell = MVTStudentTestCell::make("testSearchCell");
        cell->setBackgroundColor(Color::clear());
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    }
    cell->reloaddataWith(valueFor(group, "examList")[std::size_t(path.row)], true);
    return cell;
}

double MVTSearchTestViewController::heightForRowAtIndexPath(TableView&, const IndexPath& path) {
    if (mode() == kLessonMode) return MVTMicroLessonCell::kRowHeight;
    if (!sizingCell_) sizingCell_ = MVTStudentTestCell::make("testSearchCell");
    sizingCell_->reloaddataWith(valueFor(dataArr_[std::size_t(path.section)], "examList")[std::size_t(path.row)], true);
    return sizingCell_->frame().height();
}

double MVTSearchTestViewController::heightForHeaderInSection(TableView&, int section) {
    return quiz::courseNameHeight(textOf(dataArr_[std::size_t(section)], "courseName")) + 15;
}

std::shared_ptr<View> MVTSearchTestViewController::viewForHeaderInSection(TableView&, int section) {
    const double width = Screen::mainScreen().bounds().width();
    const std::string name = textOf(dataArr_[std::size_t(section)], "courseName");
    const double height = quiz::courseNameHeight(name);
    auto header = std::make_shared<View>(Rect(0, 0, width, height + 15));
    header->setBackgroundColor(kSearchGrey);
    auto box = std::make_shared<View>(Rect(5, 5, width - 10, height + 10));
    box->setBackgroundColor(Color::whiteColor());
    box->setCornerRadius(2);
    box->setBorderWidth(0.5);
    box->setBorderColor(Color::rgb255(225, 225, 225));
    header->addSubview(box);
    auto label = std::make_shared<Label>(Rect(10, 10, width - 20, height));
    label->setBackgroundColor(Color::whiteColor());
    label->setFont(Font::systemFontOfSize(16));
    label->setTextColor(homework::kTextGrey);
    label->setNumberOfLines(0);
    label->setText(name);
    header->addSubview(label);
    return header;
}

void MVTSearchTestViewController::didSelectRowAtIndexPath(TableView&, const IndexPath& path) {
    if (mode() == kLessonMode) return;
    const Json& tests = valueFor(dataArr_[std::size_t(path.section)], "examList");
    if (tests.is_array() && std::size_t(path.row) < tests.size()) pick(tests[std::size_t(path.row)]);
}
