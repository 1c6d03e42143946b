#include "homework/CourseCheckListScreen.h"

#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"
#include "shell/MVTAppDelegate.h"
#include "shell/ViewViewController.h"
#include "shell/myTableView.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {
void checkListBanner(int kind) {
    if (auto app = MVTAppDelegate::sharedAppDelegate()) app->showNetworkMessage(kind);
}
}  // namespace

void CourseCheckListScreen::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    myArray_ = Json::array();
    markDict_ = Json::object();
    initmytableview();
    MVTPublicMethod::showWaitAnimation(view(), true);
    netGetData();
}

void CourseCheckListScreen::initmytableview() {
    MVTPublicMethod::stopWaitAnimation(view());
    if (mytableview_) {
        mytableview_->reloadData();
        return;
    }
    const double width = Screen::mainScreen().bounds().width();
    mytableview_ = myTableView::make({0, 0, width, view()->frame().height() - 44 - SDH}, TableViewStyle::Plain);
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    view()->addSubview(mytableview_);
}

void CourseCheckListScreen::netGetData() {
    auto weak = weakAs<CourseCheckListScreen>();
    auto operation = sendRequest(
        "GET", listPath(), listParameters(),
        [weak](const Json& reply) {
            auto self = weak.lock();
            Json rows = Json::array();
            if (reply.is_array())
                for (const auto& record : reply)
                    if (record.is_object()) rows.push_back(record);
            if (!rows.empty()) {
                for (const auto& record : rows) self->myArray_.push_back(record);
                self->initmytableview();
                return;
            }
            self->myArray_ = Json::array();
            MVTPublicMethod::stopWaitAnimation(self->view());
            if (!self->noDataLabel_) {
                self->noDataLabel_ = std::make_shared<Label>(Rect(0, 100, self->view()->frame().width(), 50));
                self->noDataLabel_->setBackgroundColor(Color::clear());
                self->noDataLabel_->setTextAlignment(TextAlignment::Center);
                self->noDataLabel_->setText(localized("暂无数据"));
                self->view()->addSubview(self->noDataLabel_);
            }
            AlertView::make(localized("提示"), self->emptyMessage(), {}, localized("知道了"))->show();
        },
        [weak] {
            if (auto self = weak.lock()) {
                MVTPublicMethod::stopWaitAnimation(self->view());
                checkListBanner(MVTAppDelegate::NetworkMessageFailed);
            }
        },
        false, MVTPublicMethod::kRequestTimeout);
    if (!operation) {
        MVTPublicMethod::stopWaitAnimation(view());
        checkListBanner(MVTAppDelegate::NetworkMessageNoNetwork);
    }
}

void CourseCheckListScreen::setMark(int row, bool on) { markDict_[std::to_string(row)] = on ? "1" : "0"; }

bool CourseCheckListScreen::marked(int row) const { return textOf(markDict_, std::to_string(row)) == "1"; }

int CourseCheckListScreen::numberOfRowsInSection(TableView&, int) { return static_cast<int>(myArray_.size()); }

double CourseCheckListScreen::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

std::shared_ptr<TableViewCell> CourseCheckListScreen::cellForRowAtIndexPath(TableView& tableView,
                                                                            const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier(kCellId);
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, kCellId);
    }
    auto content = cell->contentView();
    const std::vector<std::shared_ptr<View>> old = content->subviews();
    for (const auto& view : old) view->removeFromSuperview();
    const int row = indexPath.row;
    const Json& record = myArray_.at(static_cast<std::size_t>(row));
    addName(*content, textOf(record, "name"));
    auto line = std::make_shared<ImageView>(Rect(0, kRowHeight - 1, Screen::mainScreen().bounds().width(), 1));
    line->setImage(Image::imageNamed("line_10"));
    content->addSubview(line);
    if (isChosen(row)) setMark(row, true);
    if (marked(row)) {
        cell->setAccessoryType(TableViewCellAccessoryType::Checkmark);
    } else {
        cell->setAccessoryType(TableViewCellAccessoryType::None);
        setMark(row, false);
    }
    cell->setBackgroundColor(Color::clear());
    return cell;
}
