#include "tests/MVTTestSelectViewController.h"

#include "shell/InternationalControl.h"

#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

using namespace platform;

namespace {

const Color kPickerLineGrey = Color::rgb255(225, 225, 225);
const Color kPickerTabGreen = Color::rgb255(66, 165, 36);

double pickerWidth() { return Screen::mainScreen().bounds().width(); }

// The option lists of the three tabs, by tab number.
const char* pickerListKey(int tab, bool openLessons) {
    if (tab == 1) return "gradLevelList";
    if (tab == 2) return "subjectList";
    return openLessons ? "tagList" : "teacherList";
}

const char* pickerTextKey(int tab, bool openLessons) {
    if (tab == 1) return "levelGradeName";
    if (tab == 2) return "subjectName";
    return openLessons ? "tagName" : "authorName";
}

// Values compared as whole numbers: the leading digits of their text, 0 when missing.
bool pickerSameNumber(const Json& a, const Json& b, const char* key) {
    return integerValue(textOf(a, key)) == integerValue(textOf(b, key));
}

}  // namespace

// ---- The option cell.

MVTLCTSelectCell::MVTLCTSelectCell() = default;

std::shared_ptr<MVTLCTSelectCell> MVTLCTSelectCell::make(const std::string& reuseIdentifier) {
    auto cell = std::make_shared<MVTLCTSelectCell>();
    cell->initWithStyle(TableViewCellStyle::Default, reuseIdentifier);
    return cell;
}

void MVTLCTSelectCell::initWithStyle(TableViewCellStyle style, const std::string& reuseIdentifier) {
    TableViewCell::initWithStyle(style, reuseIdentifier);
    const double W = pickerWidth();
    auto content = contentView();
    topView_ = std::make_shared<View>(Rect(10, 0.5, W - 20, 0.5));
    topView_->setBackgroundColor(kPickerLineGrey);
    topView_->setHidden(true);
    content->addSubview(topView_);
    textLa_ = std::make_shared<Label>(Rect(20, 1, W - 60, 42));
    textLa_->setBackgroundColor(Color::clear());
    textLa_->setFont(Font::systemFontOfSize(15));
    textLa_->setTextColor(Color::white(0.333));
    textLa_->setNumberOfLines(0);
    content->addSubview(textLa_);
    auto bottom = std::make_shared<View>(Rect(10, 43, W - 20, 0.5));
    bottom->setBackgroundColor(kPickerLineGrey);
    content->addSubview(bottom);
}

void MVTLCTSelectCell::reloadDataWith(const std::string& text, int row) {
    textLa_->setText(text);
    topView_->setHidden(row != 0);
}

// ---- The picker.

void MVTTestSelectViewController::viewDidLoad() {
    TestsScreen::viewDidLoad();
    view()->setBackgroundColor(Color::whiteColor());
    setTitle(localized("筛选"));
    auto weak = weakAs<MVTTestSelectViewController>();
    setBackButton([weak] {
        if (auto self = weak.lock()) self->goback();
    });
    setRightTextButton(localized("完成"), [weak] {
        if (auto self = weak.lock()) self->toDone();
    });
    allDataDic_ = Json::object();
    dataArr_ = Json::array();
    selectIndex_ = 1;
    getCourseData();
}

void MVTTestSelectViewController::goback() {
    if (auto navigation = navigationController()) navigation->popViewController(true);
}

void MVTTestSelectViewController::toDone() {
    if (auto delegate = this->delegate()) delegate->getLevel(levelDic_, subjectDic_, teacherDic_);
    goback();
}

std::string MVTTestSelectViewController::modePath() const {
    if (whereFrom_ == "test") return "courseSubject/" + homework::currentUserId() + "/list";
    if (whereFrom_ == "micr") return "course/micro/" + homework::currentUserId() + "/subject";
    if (whereFrom_ == "global_micro") return "global/micro/category/get";
    return {};
}

void MVTTestSelectViewController::getCourseData() {
    // A mode without a service path asks nothing: the picker stays empty, and "完成"
    // hands back the choices as they came.
    const std::string path = modePath();
    if (path.empty()) return;
    auto weak = weakAs<MVTTestSelectViewController>();
    auto operation = sendTestRequest(
        "GET", path, Json::object(),
        [weak](const Json& reply) {
            auto self = weak.lock();
            Json lists;
            if (self->isOpenLessons()) {
                if (!reply.is_object()) return;
                lists = reply;
            } else {
                if (!reply.is_array()) return;
                lists = !reply.empty() && reply[0].is_object() ? reply[0] : Json::object();
            }
            for (const auto& [key, value] : lists.items()) self->allDataDic_[key] = value;
            const Json& grades = valueFor(self->allDataDic_, "gradLevelList");
            if (grades.is_array())
                for (const auto& option : grades) self->dataArr_.push_back(option);
            self->createSegment();
            self->initmytableview();
        },
        [] {});
    if (!operation) quiz::showNetworkBanner(0);
}

void MVTTestSelectViewController::createSegment() {
    if (segView_) return;
    segView_ = std::make_shared<View>(Rect((pickerWidth() - 300) / 2, 15, 300, 30));
    segView_->setBackgroundColor(Color::clear());
    const bool open = isOpenLessons();
    const char* titles[3] = {open ? "学段" : "年级", "学科", open ? "主题" : "教师"};
    auto weak = weakAs<MVTTestSelectViewController>();
    for (int i = 0; i < 3; ++i) {
        auto tab = Button::buttonWithType(ButtonType::Custom);
        tab->setFrame({100.0 * i, 0, 100, 30});
        tab->setTag(kFirstTabTag + i);
        tab->setTitle(localized(titles[i]));
        tab->titleLabel()->setFont(Font::boldSystemFontOfSize(14));
        tab->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toSelect(static_cast<Button&>(control));
        });
        segView_->addSubview(tab);
    }
    view()->addSubview(segView_);
    toSelect(*std::static_pointer_cast<Button>(segView_->subviews().front()));
}

void MVTTestSelectViewController::toSelect(Button& tapped) {
    const int n = tapped.tag() - 10;
    for (const auto& sub : segView_->subviews()) {
        auto tab = std::dynamic_pointer_cast<Button>(sub);
        if (!tab) continue;
        const int number = tab->tag() - 10;
        const bool current = tab.get() == &tapped;
        tab->setBackgroundImage(Image::imageNamed("Segmented-" + std::to_string(number) + (current ? "-act.png" : ".png")));
        if (number == 1 && current) tab->setBackgroundImage(Image::imageNamed("Segmented-1.png"), ControlStateHighlighted);
        tab->setTitleColor(current ? Color::whiteColor() : kPickerTabGreen);
        tab->setUserInteractionEnabled(!current);
    }
    selectIndex_ = n;
    dataArr_ = Json::array();
    const Json& list = valueFor(allDataDic_, pickerListKey(n, isOpenLessons()));
    if (list.is_array())
        for (const auto& option : list) dataArr_.push_back(option);
    if (mytableview_) mytableview_->reloadData();
}

void MVTTestSelectViewController::initmytableview() {
    if (mytableview_) {
        mytableview_->reloadData();
        return;
    }
    const Rect screen = Screen::mainScreen().bounds();
    mytableview_ = std::make_shared<TableView>(Rect(0, 60, view()->bounds().width(), screen.height() - 124));
    mytableview_->setBackgroundColor(Color::clear());
    mytableview_->setSeparatorStyle(TableViewCellSeparatorStyle::None);
    mytableview_->setDelegate(weakAs<TableViewDelegate>().lock());
    mytableview_->setDataSource(weakAs<TableViewDataSource>().lock());
    view()->addSubview(mytableview_);
}

Json& MVTTestSelectViewController::choiceOfTab(int tab) {
    if (tab == 1) return levelDic_;
    if (tab == 2) return subjectDic_;
    return teacherDic_;
}

bool MVTTestSelectViewController::matchesChoice(const Json& option) const {
    const Json& choice = const_cast<MVTTestSelectViewController*>(this)->choiceOfTab(selectIndex_);
    if (!choice.is_object()) return false;
    if (selectIndex_ == 1) return pickerSameNumber(choice, option, "levelId") && pickerSameNumber(choice, option, "grade");
    if (selectIndex_ == 2) return pickerSameNumber(choice, option, "subjectId");
    return pickerSameNumber(choice, option, isOpenLessons() ? "id" : "teacherId");
}

int MVTTestSelectViewController::numberOfRowsInSection(TableView&, int) { return int(dataArr_.size()); }

std::shared_ptr<TableViewCell> MVTTestSelectViewController::cellForRowAtIndexPath(TableView& table,
                                                                                 const IndexPath& path) {
    auto cell = std::dynamic_pointer_cast<MVTLCTSelectCell>(table.dequeueReusableCellWithIdentifier("LCTSelectCell"));
    if (!cell) {
        cell = MVTLCTSelectCell::make("LCTSelectCell");
        cell->setBackgroundColor(Color::clear());
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    }
    const Json& option = dataArr_[std::size_t(path.row)];
    cell->reloadDataWith(textOf(option, pickerTextKey(selectIndex_, isOpenLessons())), path.row);
    cell->setAccessoryType(matchesChoice(option) ? TableViewCellAccessoryType::Checkmark
                                                 : TableViewCellAccessoryType::None);
    return cell;
}

double MVTTestSelectViewController::heightForRowAtIndexPath(TableView&, const IndexPath&) { return kRowHeight; }

void MVTTestSelectViewController::didSelectRowAtIndexPath(TableView& table, const IndexPath& path) {
    if (path.row < 0 || std::size_t(path.row) >= dataArr_.size()) return;
    const Json& option = dataArr_[std::size_t(path.row)];
    Json& choice = choiceOfTab(selectIndex_);
    choice = matchesChoice(option) ? Json() : option;
    table.reloadData();
}
