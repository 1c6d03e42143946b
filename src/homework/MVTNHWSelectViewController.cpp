#include "homework/MVTNHWSelectViewController.h"

#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {
constexpr const char* kTeacherCellId = "Cell";
const Color kTeacherSeparator = Color::rgba(0.851, 0.871, 0.847);
}  // namespace

void MVTNHWSelectViewController::viewDidLoad() {
    HomeworkScreen::viewDidLoad();
    setTitle(localized("选择教师"));
    auto weak = weakAs<MVTNHWSelectViewController>();
    setBackButton([weak] {
        auto self = weak.lock();
        if (self && self->navigationController()) self->navigationController()->popViewController(true);
    });
    doneBtn_ = setRightTextButton(localized("完成"), [weak] {
        if (auto self = weak.lock()) self->toDone();
    });
    doneBtn_->setEnabled(false);
    listArr_ = Json::array();
    initMyTableView();
    getSelectData();
}

void MVTNHWSelectViewController::initMyTableView() {
    const Rect screen = Screen::mainScreen().bounds();
    mytableview_ = homework::makeListTable({0, 0, screen.width(), screen.height() - 64});
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    view()->addSubview(mytableview_);
}

void MVTNHWSelectViewController::getSelectData() {
    auto weak = weakAs<MVTNHWSelectViewController>();
    sendRequest(
        "GET", "homework/" + homework::currentUserId() + "/teacher/list", nullptr,
        [weak](const Json& reply) {
            auto self = weak.lock();
            self->doneBtn_->setEnabled(true);
            if (!reply.is_array()) return;
            for (const auto& teacher : reply)
                if (teacher.is_object()) self->listArr_.push_back(teacher);
            self->mytableview_->reloadData();
        },
        [weak] {
            if (auto self = weak.lock()) self->doneBtn_->setEnabled(true);
        });
}

bool MVTNHWSelectViewController::isChosen(const std::string& uid) const {
    if (!selectTeaArr_.is_array()) return false;
    for (const auto& chosen : selectTeaArr_)
        if (textOf(chosen) == uid) return true;
    return false;
}

int MVTNHWSelectViewController::numberOfRowsInSection(TableView&, int) { return static_cast<int>(listArr_.size()); }

std::shared_ptr<TableViewCell> MVTNHWSelectViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                                 const IndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier(kTeacherCellId);
    if (!cell) {
        cell = std::make_shared<TableViewCell>();
        cell->initWithStyle(TableViewCellStyle::Default, kTeacherCellId);
        auto line = std::make_shared<View>(Rect(10, 43.5, Screen::mainScreen().bounds().width() - 20, 0.5));
        line->setBackgroundColor(kTeacherSeparator);
        cell->contentView()->addSubview(line);
    }
    const Json& teacher = listArr_.at(indexPath.row);
    cell->textLabel()->setFont(Font::systemFontOfSize(16));
    cell->textLabel()->setNumberOfLines(0);
    cell->textLabel()->setText(textOf(teacher, "name"));
    cell->setAccessoryType(isChosen(textOf(teacher, "uid")) ? TableViewCellAccessoryType::Checkmark
                                                             : TableViewCellAccessoryType::None);
    cell->setBackgroundColor(Color::clear());
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    return cell;
}

double MVTNHWSelectViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return 44; }

void MVTNHWSelectViewController::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(listArr_.size())) return;
    if (!selectTeaArr_.is_array()) selectTeaArr_ = Json::array();
    const std::string uid = textOf(listArr_[indexPath.row], "uid");
    auto at = std::find_if(selectTeaArr_.begin(), selectTeaArr_.end(), [&](const Json& v) { return textOf(v) == uid; });
    if (at != selectTeaArr_.end())
        selectTeaArr_.erase(at);
    else
        selectTeaArr_.push_back(uid);
    tableView.reloadData();
}

void MVTNHWSelectViewController::toDone() {
    if (auto delegate = delegate_.lock()) {
        if (!selectTeaArr_.is_array() || selectTeaArr_.empty()) {
            delegate->whichTeacherDidSelectWith(nullptr);
        } else {
            Json chosen = Json::array();
            for (const auto& teacher : listArr_)
                if (isChosen(textOf(teacher, "uid"))) chosen.push_back(teacher);
            delegate->whichTeacherDidSelectWith(chosen);
        }
    }
    auto weak = weakAs<MVTNHWSelectViewController>();
    RunLoop::main().performAfter(kPopDelay, [weak] {
        auto self = weak.lock();
        if (self && self->navigationController()) self->navigationController()->popViewController(true);
    });
}
