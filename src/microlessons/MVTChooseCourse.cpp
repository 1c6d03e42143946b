#include "microlessons/MVTChooseCourse.h"

#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/myTableView.h"

#include "platform/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"

using namespace platform;

void MVTTeacherCourseViewController::viewDidLoad() {
    TestsScreen::viewDidLoad();
    setTitle(localized("选择课程"));
    auto weak = weakAs<MVTTeacherCourseViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    listArr_ = Json::array();
    mytableview_ = homework::makeListTable({0, 0, view()->bounds().width(), Screen::mainScreen().bounds().height() - 64});
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    view()->addSubview(mytableview_);
    getSelectData();
}

void MVTTeacherCourseViewController::goback() {
    if (auto navigation = navigationController()) navigation->popViewController(true);
}

void MVTTeacherCourseViewController::getSelectData() {
    const int page = int(listArr_.size()) / kPageSize + 1;
    Json parameters = {{"page", std::to_string(page)}, {"limit", std::to_string(kPageSize)}};
    auto weak = weakAs<MVTTeacherCourseViewController>();
    auto failed = [weak] {
        if (auto self = weak.lock()) self->showFooter("加载失败，点击重新加载", true);
    };
    auto operation = sendRequest(
        "GET", "global/micro/course/" + homework::currentUserId() + "/list", parameters,
        [weak, failed](const Json& reply) {
            auto self = weak.lock();
            if (!self) return;
            // Anything but a list is no page: it can be asked again.
            if (!reply.is_array()) {
                failed();
                return;
            }
            const std::size_t n = reply.size();
            if (n >= std::size_t(kPageSize))
                self->showFooter("点击加载更多", true);
            else if (n > 0 || !self->listArr_.empty())
                self->showFooter("已加载全部", false);
            else
                self->showFooter("暂无相关数据", false);
            for (const auto& course : reply) self->listArr_.push_back(course.is_object() ? course : Json::object());
            self->mytableview_->reloadData();
        },
        failed, true, kTimeout);
    if (!operation) {
        quiz::showNetworkBanner(0);
        failed();
    }
}

void MVTTeacherCourseViewController::initMoreFooterView() {
    if (moreBtn_) return;
    const double width = view()->bounds().width();
    auto footer = std::make_shared<View>(Rect(0, 0, width, 44));
    footer->setBackgroundColor(homework::kBackgroundGrey);
    moreBtn_ = Button::buttonWithType(ButtonType::Custom);
    moreBtn_->setFrame({0, 0, width, 44});
    moreBtn_->setBackgroundColor(Color::clear());
    moreBtn_->setTitleColor(Color::darkGray());
    moreBtn_->titleLabel()->setFont(Font::systemFontOfSize(16));
    moreBtn_->setEnabled(false);
    auto weak = weakAs<MVTTeacherCourseViewController>();
    moreBtn_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->getSelectData();
    });
    footer->addSubview(moreBtn_);
    mytableview_->setTableFooterView(footer);
}

void MVTTeacherCourseViewController::showFooter(const char* title, bool enabled) {
    initMoreFooterView();
    moreBtn_->setTitle(localized(title));
    moreBtn_->setEnabled(enabled);
}

int MVTTeacherCourseViewController::numberOfRowsInSection(TableView&, int) { return int(listArr_.size()); }

double MVTTeacherCourseViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> MVTTeacherCourseViewController::cellForRowAtIndexPath(TableView& table,
                                                                                    const IndexPath& path) {
    auto cell = table.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, "Cell");
        auto line = std::make_shared<View>(Rect(10, 43.5, Screen::mainScreen().bounds().width() - 20, 0.5));
        line->setBackgroundColor(Color::rgb255(217, 222, 216));
        cell->contentView()->addSubview(line);
        cell->setBackgroundColor(Color::clear());
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    }
    const Json& course = listArr_[std::size_t(path.row)];
    auto app = MVTAppDelegate::sharedAppDelegate();
    const bool chosen = app && textOf(course, "id") == app->selectedCourseId();
    cell->setAccessoryType(chosen ? TableViewCellAccessoryType::Checkmark : TableViewCellAccessoryType::None);
    cell->textLabel()->setFont(Font::systemFontOfSize(16));
    cell->textLabel()->setNumberOfLines(0);
    cell->textLabel()->setText(textOf(course, "courseName"));
    return cell;
}

void MVTTeacherCourseViewController::didSelectRowAtIndexPath(TableView&, const IndexPath& path) {
    if (path.row < 0 || std::size_t(path.row) >= listArr_.size()) return;
    const Json& course = listArr_[std::size_t(path.row)];
    if (auto delegate = delegate_.lock()) delegate->whichCourseSelectdWith(textOf(course, "id"), textOf(course, "courseName"));
    mytableview_->reloadData();
    auto weak = weakAs<MVTTeacherCourseViewController>();
    RunLoop::main().performAfter(kCloseDelay, [weak] {
        if (auto self = weak.lock()) self->goback();
    });
}
