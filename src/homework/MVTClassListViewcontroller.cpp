#include "homework/MVTClassListViewcontroller.h"

#include "shell/InternationalControl.h"
#include "shell/myTableView.h"

#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextMeasure.h"

#include <algorithm>

using namespace platform;

std::shared_ptr<MVTClassListViewcontroller> MVTClassListViewcontroller::initWithArray(const Json& chosen, int kind,
                                                                                     const std::string& idStr) {
    auto screen = std::make_shared<MVTClassListViewcontroller>();
    screen->kindnum_ = kind;
    screen->idStr_ = idStr;
    if (chosen.is_array()) screen->sendArray_ = chosen;
    return screen;
}

void MVTClassListViewcontroller::viewDidLoad() {
    auto weak = weakAs<MVTClassListViewcontroller>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    CourseCheckListScreen::viewDidLoad();
}

std::string MVTClassListViewcontroller::listPath() const {
    if (kindnum_ == 2) return "user/" + homework::currentUserId() + "/courses";
    if (kindnum_ == 3) return "course/" + idStr_ + "/classes";
    return "user/" + homework::currentUserId() + "/subjects";
}

Json MVTClassListViewcontroller::listParameters() const {
    if (kindnum_ == 2) return {{"subjectId", idStr_}};
    return nullptr;
}

std::string MVTClassListViewcontroller::emptyMessage() const {
    if (kindnum_ == 2) return localized("您还没有添加本科目课程");
    if (kindnum_ == 3) return localized("您还没有班级数据");
    return localized("您还没有科目数据");
}

bool MVTClassListViewcontroller::isChosen(int row) const {
    const Json& record = myArray_.at(static_cast<std::size_t>(row));
    // Records compare by content: one the opener handed in matches an equal one sent anew.
    return std::find(sendArray_.begin(), sendArray_.end(), record) != sendArray_.end();
}

void MVTClassListViewcontroller::addName(View& content, const std::string& name) {
    const Font font = Font::boldSystemFontOfSize(16);
    const double width = TextMeasure::sizeWithFont(name, font).width;
    auto label = std::make_shared<Label>(Rect(10, 0, width, kRowHeight));
    label->setFont(font);
    label->setTextColor(Color::white(0.235));
    label->setBackgroundColor(Color::clear());
    label->setText(name);
    if (width <= kWideNameLimit) {
        content.addSubview(label);
        return;
    }
    // A long name scrolls sideways inside its row.
    auto strip = std::make_shared<ScrollView>(Rect(15, 0, kWideNameLimit, kRowHeight));
    strip->setShowsHorizontalScrollIndicator(false);
    strip->setContentSize({width + 10, kRowHeight});
    label->setFrame({0, 0, width, kRowHeight});
    strip->addSubview(label);
    content.addSubview(strip);
}

void MVTClassListViewcontroller::didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    const int row = indexPath.row;
    if (row < 0 || row >= static_cast<int>(myArray_.size())) return;
    const Json record = myArray_[row];
    if (marked(row)) {
        setMark(row, false);
        auto at = std::find(sendArray_.begin(), sendArray_.end(), record);
        if (at != sendArray_.end()) sendArray_.erase(at);
    } else {
        if (kindnum_ == 1 || kindnum_ == 2) {
            sendArray_ = Json::array();
            markDict_ = Json::object();
        }
        sendArray_.push_back(record);
        setMark(row, true);
    }
    tableView.reloadData();
}

void MVTClassListViewcontroller::goback() {
    // The screen stays alive through the pop so it can still hand the choice back.
    auto self = weakAs<MVTClassListViewcontroller>().lock();
    if (navigationController()) navigationController()->popViewController(true);
    sendList();
}

void MVTClassListViewcontroller::sendList() {
    if (auto delegate = delegate_.lock()) delegate->returnList(sendArray_, nullptr);
}
